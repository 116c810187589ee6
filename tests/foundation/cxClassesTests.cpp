#include "platform/WinApi.h"
#include "foundation/cxClasses.h"

#include "foundation/cxGeometry.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StringLists.h"

#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

// ---------------------------------------------------------------------------
// Text lookup
// ---------------------------------------------------------------------------

namespace {

// 60800 and 60801 are in tests/foundation/dxCoreTests.rc; 60820 is not.
RESOURCESTRING(sLookupTable, 60800, L"compiled default")
RESOURCESTRING(sLookupChinese, 60801, L"unused")
RESOURCESTRING(sLookupMissing, 60820, L"Only compiled")

// Installs translation lists for one test and always resets them.
class cxLookUp : public ::testing::Test {
 protected:
  void SetUp() override {
    cxTranslationSourceList = Make<TStringList>();
    cxTranslationTargetList = Make<TStringList>();
  }
  void TearDown() override { cxResetTranslationLists(); }
};

}  // namespace

TEST(cxLookUpDefault, WithoutTranslationTheCompiledTextIsReturned) {
  ASSERT_EQ(cxTranslationMode, 2);
  EXPECT_EQ(cxLookUpResourceString(&sLookupTable), L"Text from the table");
  EXPECT_EQ(cxLookUpResourceString(&sLookupChinese), L"岚泽家具");
  EXPECT_EQ(cxLookUpResourceString(&sLookupMissing), L"Only compiled");
  EXPECT_EQ(cxFindTranslatedIndex(&sLookupTable), -1);
}

TEST_F(cxLookUp, ModesSearchByTextByAddressOrNotAtAll) {
  cxTranslationSourceList->AddObject(L"Text from the table",
                                     reinterpret_cast<TObject*>(const_cast<TResStringRec*>(&sLookupMissing)));
  cxTranslationTargetList->Add(L"Translated");

  cxTranslationMode = 0;  // by compiled text
  EXPECT_EQ(cxLookUpResourceString(&sLookupTable), L"Translated");
  EXPECT_EQ(cxLookUpResourceString(&sLookupMissing), L"Only compiled");
  cxTranslationMode = 1;  // by record address
  EXPECT_EQ(cxLookUpResourceString(&sLookupTable), L"Text from the table");
  EXPECT_EQ(cxLookUpResourceString(&sLookupMissing), L"Translated");
  cxTranslationMode = 7;
  EXPECT_EQ(cxLookUpResourceString(&sLookupMissing), L"Only compiled");

  // A target list without the index has no translation for it.
  cxTranslationMode = 0;
  cxTranslationTargetList->Clear();
  EXPECT_EQ(cxFindTranslatedIndex(&sLookupTable), 0);
  EXPECT_EQ(cxLookUpResourceString(&sLookupTable), L"Text from the table");

  cxResetTranslationLists();
  EXPECT_EQ(cxTranslationMode, 2);
  EXPECT_EQ(cxTranslationSourceList, nullptr);
  EXPECT_EQ(cxTranslationTargetList, nullptr);
}

// ---------------------------------------------------------------------------
// TcxEventHandlerCollection
// ---------------------------------------------------------------------------

namespace {

struct EventFixture;

class Handler : public TObject {
 public:
  int Id = 0;
  EventFixture* Fixture = nullptr;
  void Handle(TObject* Sender, const void* AEventArgs);
  TcxEventHandler Event() { return TcxEventHandler::Bind<&Handler::Handle>(this); }
};

struct EventFixture {
  Owned<TcxEventHandlerCollection> Events{Make<TcxEventHandlerCollection>()};
  Handler Handlers[6];
  std::vector<int> Log;
  std::map<int, std::function<void()>> Actions;  // run once, by handler id
  EventFixture() {
    for (int i = 0; i < 6; ++i) {
      Handlers[i].Id = i;
      Handlers[i].Fixture = this;
    }
    for (int i = 0; i < 4; ++i) Events->Add(Handlers[i].Event());
  }
  std::vector<int> Call() {
    Log.clear();
    Events->CallEvents(nullptr, nullptr);
    return Log;
  }
};

void Handler::Handle(TObject*, const void*) {
  Fixture->Log.push_back(Id);
  auto it = Fixture->Actions.find(Id);
  if (it == Fixture->Actions.end()) return;
  auto action = std::move(it->second);
  Fixture->Actions.erase(it);
  action();
}

}  // namespace

TEST(cxEventHandlers, HandlersChangingTheCollectionDuringACallNeitherSkipNorRepeatAnyone) {
  using V = std::vector<int>;
  struct Case {
    const char* name;
    std::function<void(EventFixture&)> action;  // run by handler 1
    V during, after;
  };
  const Case cases[] = {
      {"removes itself", [](EventFixture& f) { f.Events->Remove(f.Handlers[1].Event()); }, {0, 1, 2, 3}, {0, 2, 3}},
      {"removes the next", [](EventFixture& f) { f.Events->Remove(f.Handlers[2].Event()); }, {0, 1, 3}, {0, 1, 3}},
      {"removes an earlier one",
       [](EventFixture& f) { f.Events->Remove(f.Handlers[0].Event()); }, {0, 1, 2, 3}, {1, 2, 3}},
      {"removes itself and the last",
       [](EventFixture& f) {
         f.Events->Remove(f.Handlers[1].Event());
         f.Events->Remove(f.Handlers[3].Event());
       },
       {0, 1, 2}, {0, 2}},
      {"removes everyone",
       [](EventFixture& f) {
         for (int i = 0; i < 4; ++i) f.Events->Remove(f.Handlers[i].Event());
       },
       {0, 1}, {}},
      {"adds one", [](EventFixture& f) { f.Events->Add(f.Handlers[4].Event()); }, {0, 1, 2, 3}, {0, 1, 2, 3, 4}},
      {"adds one twice and an existing one",
       [](EventFixture& f) {
         f.Events->Add(f.Handlers[4].Event());
         f.Events->Add(f.Handlers[4].Event());
         f.Events->Add(f.Handlers[0].Event());
       },
       {0, 1, 2, 3}, {0, 1, 2, 3, 4}},
      {"calls again and removes 2 inside",
       [](EventFixture& f) {
         f.Actions[0] = [&f] { f.Events->Remove(f.Handlers[2].Event()); };
         f.Events->CallEvents(nullptr, nullptr);
       },
       {0, 1, 0, 1, 3, 3}, {0, 1, 3}},
      {"frees the collection", [](EventFixture& f) { f.Events.reset(); }, {0, 1}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EventFixture f;
    f.Actions[1] = [&f, &c] { c.action(f); };
    EXPECT_EQ(f.Call(), c.during);
    if (f.Events) {
      EXPECT_EQ(f.Call(), c.after);
    }
  }
}

TEST(cxEventHandlers, SenderAndArgumentsReachEveryHandler) {
  struct Receiver : TObject {
    std::vector<std::pair<TObject*, const void*>> Got;
    void Handle(TObject* Sender, const void* AArgs) { Got.push_back({Sender, AArgs}); }
  } a, b;
  Owned<TcxEventHandlerCollection> events(Make<TcxEventHandlerCollection>());
  events->Add(TcxEventHandler::Bind<&Receiver::Handle>(&a));
  events->Add(TcxEventHandler::Bind<&Receiver::Handle>(&b));
  events->Add(TcxEventHandler());  // unassigned: ignored
  EXPECT_EQ(events->Count(), 2);
  const int args = 5;
  events->CallEvents(&a, &args);
  ASSERT_EQ(b.Got.size(), 1u);
  EXPECT_EQ(b.Got[0].first, &a);
  EXPECT_EQ(b.Got[0].second, &args);
  events->Remove(TcxEventHandler::Bind<&Receiver::Handle>(&a));
  events->CallEvents(nullptr, nullptr);
  EXPECT_EQ(a.Got.size(), 1u);
  EXPECT_EQ(b.Got.size(), 2u);
}

// ---------------------------------------------------------------------------
// Registries
// ---------------------------------------------------------------------------

namespace {

class TcxTestControl : public TObject {
  DECLARE_CLASS(TcxTestControl, TObject)
};
class TcxTestWinControl : public TcxTestControl {
  DECLARE_CLASS(TcxTestWinControl, TcxTestControl)
};
class TcxTestButton : public TcxTestWinControl {
  DECLARE_CLASS(TcxTestButton, TcxTestWinControl)
};
class TcxTestGraphicControl : public TcxTestControl {
  DECLARE_CLASS(TcxTestGraphicControl, TcxTestControl)
};
class TcxTestHelperA : public TObject {
  DECLARE_CLASS(TcxTestHelperA, TObject)
};
class TcxTestHelperB : public TObject {
  DECLARE_CLASS(TcxTestHelperB, TObject)
};

IMPLEMENT_CLASS(TcxTestControl, TObject, (ConstructPlain<TcxTestControl>))
IMPLEMENT_CLASS(TcxTestWinControl, TcxTestControl, (ConstructPlain<TcxTestWinControl>))
IMPLEMENT_CLASS(TcxTestButton, TcxTestWinControl, (ConstructPlain<TcxTestButton>))
IMPLEMENT_CLASS(TcxTestGraphicControl, TcxTestControl, (ConstructPlain<TcxTestGraphicControl>))
IMPLEMENT_CLASS(TcxTestHelperA, TObject, (ConstructPlain<TcxTestHelperA>))
IMPLEMENT_CLASS(TcxTestHelperB, TObject, (ConstructPlain<TcxTestHelperB>))

}  // namespace

TEST(cxRegisteredClassList, TheNearestRegisteredAncestorAnswersWhateverTheOrderOfRegistration) {
  const TClass control = TcxTestControl::StaticClass(), win = TcxTestWinControl::StaticClass();
  const TClass a = TcxTestHelperA::StaticClass(), b = TcxTestHelperB::StaticClass();
  for (bool ancestorFirst : {true, false}) {
    SCOPED_TRACE(ancestorFirst ? "ancestor first" : "descendant first");
    Owned<TcxRegisteredClassList> list(Make<TcxRegisteredClassList>());
    if (ancestorFirst) {
      list->Register(control, a);
      list->Register(win, b);
    } else {
      list->Register(win, b);
      list->Register(control, a);
    }
    ASSERT_EQ(list->Count(), 2);
    EXPECT_EQ(list->Items(0)->ItemClass, control);  // ancestors before descendants
    EXPECT_EQ(list->FindClass(TcxTestButton::StaticClass()), b);
    EXPECT_EQ(list->FindClass(win), b);
    EXPECT_EQ(list->FindClass(TcxTestGraphicControl::StaticClass()), a);
    EXPECT_EQ(list->FindClass(TObject::StaticClass()), nullptr);

    list->Unregister(win, a);  // not that pair: stays
    EXPECT_EQ(list->Count(), 2);
    list->Unregister(win, b);
    EXPECT_EQ(list->FindClass(TcxTestButton::StaticClass()), a);
    list->Clear();
    EXPECT_EQ(list->Count(), 0);
  }
}

TEST(cxRegisteredClasses, DescriptionsHintsSortingAndLookups) {
  Owned<TcxRegisteredClasses> reg(Make<TcxRegisteredClasses>());
  const TClass control = TcxTestControl::StaticClass(), win = TcxTestWinControl::StaticClass(),
               button = TcxTestButton::StaticClass(), graphic = TcxTestGraphicControl::StaticClass();
  reg->Register(control, L"Zeta|The last one");
  reg->Register(win, L"alpha");
  reg->Register(button, L"Beta|B hint|more");
  reg->Register(win, L"second description");  // registered already: kept as it was
  ASSERT_EQ(reg->Count(), 3);
  EXPECT_EQ(reg->Items(0), control);  // unsorted: registration order

  EXPECT_EQ(reg->GetDescriptionByClass(control), L"Zeta");
  EXPECT_EQ(reg->GetHintByClass(control), L"The last one");
  EXPECT_EQ(reg->GetDescriptionByClass(win), L"alpha");
  EXPECT_EQ(reg->GetHintByClass(win), L"alpha");
  EXPECT_EQ(reg->GetHintByClass(button), L"B hint|more");
  EXPECT_EQ(reg->GetDescriptionByClass(graphic), L"");
  EXPECT_EQ(reg->GetIndexByClass(graphic), -1);

  reg->SetSorted(true);
  EXPECT_EQ(reg->Descriptions(0), L"alpha");
  EXPECT_EQ(reg->Descriptions(1), L"Beta");
  EXPECT_EQ(reg->Descriptions(2), L"Zeta");
  reg->Register(graphic, L"Gamma");
  EXPECT_EQ(reg->GetIndexByClass(graphic), 2);
  EXPECT_EQ(reg->Hints(1), L"B hint|more");
  EXPECT_THROW(reg->Items(4), EListError);

  EXPECT_EQ(reg->FindByDescription(L"Beta"), button);
  EXPECT_EQ(reg->FindByDescription(L"beta"), nullptr);
  EXPECT_EQ(reg->FindByClassName(L"TcxTestButton"), button);
  EXPECT_EQ(reg->FindByClassName(L"tcxtestbutton"), nullptr);

  reg->Unregister(win);
  EXPECT_EQ(reg->Count(), 3);
  EXPECT_EQ(reg->Descriptions(0), L"Beta");
  reg->SetSorted(false);
  reg->Register(win, L"aardvark");
  EXPECT_EQ(reg->Descriptions(3), L"aardvark");
}

TEST(cxRegisteredClasses, RegisteringForStreamingOutlivesUnregistration) {
  const TClass helper = TcxTestHelperA::StaticClass();
  ASSERT_EQ(GetClass(L"TcxTestHelperA"), nullptr);
  {
    Owned<TcxRegisteredClasses> reg(Make<TcxRegisteredClasses>(true));
    reg->Register(helper, L"Helper");
    EXPECT_EQ(GetClass(L"TcxTestHelperA"), helper);
    reg->Unregister(helper);
    EXPECT_EQ(reg->Count(), 0);
  }
  EXPECT_EQ(GetClass(L"TcxTestHelperA"), helper);
  UnRegisterClass(helper);
}

// ---------------------------------------------------------------------------
// Object links and free notifications
// ---------------------------------------------------------------------------

TEST(cxObjectLinks, LinksOfADestroyedObjectReadNullAndTheControllerGoesWithTheLastLink) {
  ASSERT_EQ(cxGetObjectLinkController(), nullptr);
  EXPECT_EQ(cxCreateObjectLink(nullptr), nullptr);
  cxReleaseObjectLink(nullptr);

  auto* component = Make<TcxComponent>(nullptr);
  auto* other = Make<TcxComponent>(nullptr);
  TcxObjectLink* link1 = cxCreateObjectLink(component);
  TcxObjectLink* link2 = cxCreateObjectLink(component);
  TcxObjectLink* otherLink = cxCreateObjectLink(other);
  ASSERT_NE(cxGetObjectLinkController(), nullptr);
  EXPECT_EQ(cxGetObjectLinkController()->LinkCount(), 3);
  EXPECT_EQ(link1->Ref, component);

  TObject::Free(component);
  EXPECT_EQ(link1->Ref, nullptr);
  EXPECT_EQ(link2->Ref, nullptr);
  EXPECT_EQ(otherLink->Ref, other);
  EXPECT_EQ(cxGetObjectLinkController()->LinkCount(), 1);

  cxReleaseObjectLink(link1);
  cxReleaseObjectLink(otherLink);  // a live link leaves the controller
  EXPECT_EQ(cxGetObjectLinkController()->LinkCount(), 0);
  ASSERT_NE(cxGetObjectLinkController(), nullptr);
  cxReleaseObjectLink(link2);
  EXPECT_EQ(cxGetObjectLinkController(), nullptr);

  // Any object can be followed; its owner clears the links itself.
  TcxObjectLink* plain = cxCreateObjectLink(other);
  cxClearObjectLinks(other);
  EXPECT_EQ(plain->Ref, nullptr);
  TObject::Free(other);
  cxReleaseObjectLink(plain);
  EXPECT_EQ(cxGetObjectLinkController(), nullptr);
}

TEST(cxFreeNotificator, ReportsTheFreedComponentsItWatches) {
  struct Watcher : TObject {
    std::vector<TComponent*> Freed;
    void Gone(TComponent* c) { Freed.push_back(c); }
  } watcher;
  auto* notificator = Make<TcxFreeNotificator>(nullptr);
  notificator->OnFreeNotification = TcxFreeNotificationEvent::Bind<&Watcher::Gone>(&watcher);
  auto* a = Make<TComponent>(nullptr);
  auto* b = Make<TComponent>(nullptr);
  notificator->AddSender(a);
  notificator->AddSender(b);
  notificator->AddSender(nullptr);
  notificator->RemoveSender(b);
  notificator->RemoveSender(nullptr);
  TObject::Free(a);
  TObject::Free(b);
  ASSERT_EQ(watcher.Freed.size(), 1u);
  EXPECT_EQ(watcher.Freed[0], a);

  // Freeing the notificator first leaves the watched component safe.
  auto* c = Make<TComponent>(nullptr);
  notificator->AddSender(c);
  TObject::Free(notificator);
  TObject::Free(c);
  EXPECT_EQ(watcher.Freed.size(), 1u);
}

// ---------------------------------------------------------------------------
// Unique component names
// ---------------------------------------------------------------------------

namespace {

class TdxBarScreenTip : public TComponent {
  DECLARE_CLASS(TdxBarScreenTip, TComponent)
  using TComponent::TComponent;
};
IMPLEMENT_CLASS(TdxBarScreenTip, TComponent, (ConstructWith<TdxBarScreenTip, TComponent>))

}  // namespace

TEST(cxUniqueNames, NamesAreBuiltFromParentBaseNameOrClassAndNumberedAgainstClashes) {
  Owned<TComponent> root(Make<TComponent>(nullptr));
  auto* repo = Make<TComponent>(root.get());
  repo->SetName(L"Repo");
  (Make<TComponent>(root.get()))->SetName(L"RepoScreenTip1");
  (Make<TComponent>(root.get()))->SetName(L"reposavefile");
  auto* tip = Make<TdxBarScreenTip>(root.get());
  auto* named = Make<TdxBarScreenTip>(root.get());
  named->SetName(L"RepoFile");

  struct Case {
    TComponent* parent;
    TComponent* component;
    const wchar_t* prefix;
    const wchar_t* base;
    const wchar_t* expected;
  } cases[] = {
      {repo, tip, L"TdxBar", L"", L"RepoScreenTip2"},
      {repo, tip, L"tdxbar", L"", L"RepoScreenTip2"},       // the prefix in another case
      {repo, tip, L"TdxBar", L"Save File", L"RepoSaveFile1"},  // clashes regardless of case
      {repo, tip, L"TdxBar", L"Save-Tip!", L"RepoSaveTip"},
      {repo, tip, L"TdxBar", L"1st", L"RepoScreenTip1st"},   // a leading digit takes the class name
      {repo, tip, L"TcxFoo", L"", L"RepodxBarScreenTip1"},  // no prefix match: the class name without "T"
      {nullptr, tip, L"", L"", L"dxBarScreenTip1"},
      {repo, named, L"TdxBar", L"File", L"RepoFile"},         // its own name is no clash
      {repo, tip, L"TdxBar", L"File", L"RepoFile1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.prefix << " / " << c.base);
    EXPECT_EQ(cxMakeUniqueComponentName(root.get(), c.parent, c.component, c.prefix, c.base), c.expected);
  }
  // No owner: nothing can clash.
  EXPECT_EQ(cxMakeUniqueComponentName(nullptr, repo, tip, L"TdxBar", L""), L"RepoScreenTip1");
  // A non-ASCII character that is a lead byte of the system's double-byte
  // code page takes the next character with it.
  const String expected = IsDBCSLeadByte(0xE9) ? L"RepoScreenTip" : L"Repox";
  EXPECT_EQ(cxMakeUniqueComponentName(nullptr, repo, tip, L"TdxBar", L"\u00E9x"), expected);
}

// ---------------------------------------------------------------------------
// Thread hooks and small routines
// ---------------------------------------------------------------------------

namespace {

LRESULT CALLBACK PassOn(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST(cxThreadHooks, InstallIntoAnEmptyVariableOnlyAndRemoveOnce) {
  HHOOK hook = nullptr;
  ASSERT_TRUE(cxInstallThreadHook(hook, WH_GETMESSAGE, &PassOn));
  ASSERT_NE(hook, nullptr);
  const HHOOK installed = hook;
  EXPECT_THROW(cxInstallThreadHook(hook, WH_GETMESSAGE, &PassOn), EAssertionFailed);
  EXPECT_EQ(hook, installed);
  cxRemoveThreadHook(hook);
  EXPECT_EQ(hook, nullptr);
  cxRemoveThreadHook(hook);
  EXPECT_EQ(hook, nullptr);

  EXPECT_FALSE(cxInstallThreadHook(hook, 12345, &PassOn));
  EXPECT_EQ(hook, nullptr);
}

TEST(cxClassesRoutines, CharacterSizesSignsOwnersAndEvents) {
  const String text = L"a\U0001D11Eb";  // a surrogate pair in the middle
  EXPECT_EQ(dxCharSizeAt(text, 1), 2);
  EXPECT_EQ(dxCharSizeAt(text, 2), 4);
  EXPECT_EQ(dxCharSizeAt(text, 4), 2);
  EXPECT_EQ(dxCharSizeAt(text, 0), 0);
  EXPECT_EQ(dxCharSizeAt(text, 5), 0);

  EXPECT_EQ(cxSignOfValue(0.0), 1);
  EXPECT_EQ(cxSignOfValue(2.5), 1);
  EXPECT_EQ(cxSignOfValue(-0.1), -1);
  EXPECT_EQ(cxMakeSize(3, 4), TSize(3, 4));

  Owned<TComponent> owner(Make<TComponent>(nullptr));
  Owned<TcxRect> rect(Make<TcxRect>(owner.get()));
  EXPECT_EQ(cxGetOwnerOf(rect.get()), owner.get());
  EXPECT_EQ(cxGetOwnerOf(owner.get()), nullptr);
  EXPECT_EQ(cxGetOwnerOf(nullptr), nullptr);

  struct Counter : TObject {
    int Calls = 0;
    TObject* Sender = nullptr;
    void Hit(TObject* s) { ++Calls; Sender = s; }
  } counter, other;
  cxInvokeNotifyEvent(owner.get(), TNotifyEvent());
  const TNotifyEvent event = TNotifyEvent::Bind<&Counter::Hit>(&counter);
  cxInvokeNotifyEvent(owner.get(), event);
  EXPECT_EQ(counter.Calls, 1);
  EXPECT_EQ(counter.Sender, owner.get());
  EXPECT_TRUE(cxIsSameMethod(event, TNotifyEvent::Bind<&Counter::Hit>(&counter)));
  EXPECT_FALSE(cxIsSameMethod(event, TNotifyEvent::Bind<&Counter::Hit>(&other)));
}
