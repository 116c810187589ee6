// Actions, action links and action lists.
#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/Modules.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Streams.h"
#include "platform/core/StringLists.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Menus.h"

#include "tests/platform/gui/MenusTestSupport.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A client link that writes down what the action tells it.
class TRecordingLink : public TActionLink {
  DECLARE_CLASS(TRecordingLink, TActionLink)
  explicit TRecordingLink(TObject* client) : TActionLink(client) {}
  std::vector<String> Calls;
  int Changes = 0;

  void SetAutoCheck(bool v) override { Calls.push_back(L"AutoCheck=" + std::to_wstring(v)); }
  void SetCaption(const String& v) override { Calls.push_back(L"Caption=" + v); }
  void SetChecked(bool v) override { Calls.push_back(L"Checked=" + std::to_wstring(v)); }
  void SetEnabled(bool v) override { Calls.push_back(L"Enabled=" + std::to_wstring(v)); }
  void SetGroupIndex(int v) override { Calls.push_back(L"GroupIndex=" + std::to_wstring(v)); }
  void SetHelpContext(THelpContext v) override { Calls.push_back(L"HelpContext=" + std::to_wstring(v)); }
  void SetHint(const String& v) override { Calls.push_back(L"Hint=" + v); }
  void SetImageIndex(int v) override { Calls.push_back(L"ImageIndex=" + std::to_wstring(v)); }
  void SetShortCut(TShortCut v) override { Calls.push_back(L"ShortCut=" + std::to_wstring(v)); }
  void SetVisible(bool v) override { Calls.push_back(L"Visible=" + std::to_wstring(v)); }
  void Change() override {
    ++Changes;
    TActionLink::Change();
  }
};
IMPLEMENT_CLASS(TRecordingLink, TActionLink, (ConstructWith<TRecordingLink, TObject>))

Owned<TRecordingLink> MakeLink(TBasicAction* action) {
  auto* link = static_cast<TRecordingLink*>(TRecordingLink::StaticClass()->NewInstance(nullptr));
  link->SetAction(action);
  return Owned<TRecordingLink>(link, &TObject::Free);
}

// Event sinks: plain objects whose methods the actions call.
struct TSink : TObject {
  std::vector<String> Log;
  bool HandleInList = false;
  TComponent* SeenComponent = nullptr;
  TBasicAction* Seen = nullptr;
  void Execute(TObject* sender) {
    Seen = static_cast<TBasicAction*>(sender);
    SeenComponent = Seen->ActionComponent();
    Log.push_back(L"execute " + Seen->Name());
  }
  void Update(TObject* sender) { Log.push_back(L"update " + static_cast<TComponent*>(sender)->Name()); }
  void ListExecute(TBasicAction* action, bool& handled) {
    Log.push_back(L"list execute " + action->Name());
    handled = HandleInList;
  }
  void ListUpdate(TBasicAction* action, bool& handled) {
    Log.push_back(L"list update " + action->Name());
    handled = HandleInList;
  }
};

class ActionsTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureMenuModules(); }
};

}  // namespace

// Every property setter tells each link once, with the new value, before it
// reports the change; setting the same value again tells nobody.
TEST_F(ActionsTest, SettersTellTheLinks) {
  auto action = MakeOwned<TAction>(nullptr);
  auto link = MakeLink(action.get());
  auto other = MakeLink(action.get());
  ASSERT_EQ(action->ClientCount(), 2);

  struct Case {
    const char* what;
    std::function<void(TAction*)> set;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {"caption", [](TAction* a) { a->SetCaption(L"&Open"); }, L"Caption=&Open"},
      {"checked", [](TAction* a) { a->SetChecked(true); }, L"Checked=1"},
      {"enabled", [](TAction* a) { a->SetEnabled(false); }, L"Enabled=0"},
      {"visible", [](TAction* a) { a->SetVisible(false); }, L"Visible=0"},
      {"image index", [](TAction* a) { a->SetImageIndex(3); }, L"ImageIndex=3"},
      {"hint", [](TAction* a) { a->SetHint(L"Opens a file"); }, L"Hint=Opens a file"},
      {"shortcut", [](TAction* a) { a->SetShortCut(scCtrl | 'O'); }, L"ShortCut=16463"},
      {"help context", [](TAction* a) { a->SetHelpContext(12); }, L"HelpContext=12"},
      {"group index", [](TAction* a) { a->SetGroupIndex(2); }, L"GroupIndex=2"},
      {"auto check", [](TAction* a) { a->SetAutoCheck(true); }, L"AutoCheck=1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    link->Calls.clear();
    other->Calls.clear();
    const int changes = link->Changes;
    c.set(action.get());
    EXPECT_EQ(link->Calls, std::vector<String>{c.expected});
    EXPECT_EQ(other->Calls, std::vector<String>{c.expected});
    EXPECT_EQ(link->Changes, changes + 1);
    // The same value again: nothing.
    c.set(action.get());
    EXPECT_EQ(link->Calls.size(), 1u);
    EXPECT_EQ(link->Changes, changes + 1);
  }
}

// The link's change event gets the action; a link that left the action
// hears nothing more, and an action that goes leaves its links without one.
TEST_F(ActionsTest, LinkLifetime) {
  auto action = MakeOwned<TAction>(nullptr);
  auto link = MakeLink(action.get());
  TSink sink;
  TObject* changedWith = nullptr;
  struct TChangeSink : TObject {
    TObject** out;
    void Changed(TObject* s) { *out = s; }
  } changeSink;
  changeSink.out = &changedWith;
  link->OnChange = TNotifyEvent::Bind<&TChangeSink::Changed>(&changeSink);
  action->SetCaption(L"x");
  EXPECT_EQ(changedWith, action.get());

  link->SetAction(nullptr);
  EXPECT_EQ(action->ClientCount(), 0);
  action->SetCaption(L"y");
  EXPECT_TRUE(link->Calls.size() == 1u);

  link->SetAction(action.get());
  action.reset();
  EXPECT_EQ(link->Action(), nullptr);
  EXPECT_FALSE(link->Execute(nullptr));
  EXPECT_FALSE(link->Update());
}

TEST_F(ActionsTest, TheBaseLinkFollowsCustomActionsOnly) {
  auto action = MakeOwned<TAction>(nullptr);
  auto plain = MakeOwned<TBasicAction>(nullptr);
  auto link = MakeLink(action.get());
  EXPECT_TRUE(link->IsCaptionLinked());
  EXPECT_TRUE(link->IsOnExecuteLinked());
  link->SetAction(plain.get());
  EXPECT_FALSE(link->IsCaptionLinked());
  EXPECT_FALSE(link->IsShortCutLinked());
}

// Execute runs OnExecute with the link's component as ActionComponent and
// answers whether someone handled it; a disabled action runs nothing; an
// action without any handler is disabled by its update.
TEST_F(ActionsTest, Execute) {
  auto owner = MakeOwned<TComponent>(nullptr);
  auto* action = Make<TAction>(owner.get());
  action->SetName(L"aOpen");
  auto* client = Make<TComponent>(owner.get());
  auto link = MakeLink(action);
  TSink sink;

  EXPECT_FALSE(action->Execute());
  EXPECT_FALSE(action->Enabled()) << "no handler at all: disabled by the update";

  action->SetEnabled(true);
  action->OnExecute = TNotifyEvent::Bind<&TSink::Execute>(&sink);
  EXPECT_TRUE(link->Execute(client));
  EXPECT_EQ(sink.Seen, action);
  EXPECT_EQ(sink.SeenComponent, client);
  EXPECT_EQ(action->ActionComponent(), nullptr) << "only while it runs";

  action->SetEnabled(false);
  sink.Log.clear();
  EXPECT_FALSE(action->Execute());
  EXPECT_TRUE(sink.Log.empty());

  action->SetEnabled(true);
  action->SetDisableIfNoHandler(true);
  action->Update();
  EXPECT_TRUE(action->Enabled()) << "it has a handler";
}

TEST_F(ActionsTest, AutoCheckTogglesAndGroupsKeepOneChecked) {
  auto list = MakeOwned<TActionList>(nullptr);
  TSink sink;
  TAction* a[3];
  for (TAction*& x : a) {
    x = Make<TAction>(list.get());
    x->SetActionList(list.get());
    x->OnExecute = TNotifyEvent::Bind<&TSink::Execute>(&sink);
  }
  a[0]->SetAutoCheck(true);
  a[0]->Execute();
  EXPECT_TRUE(a[0]->Checked());
  a[0]->Execute();
  EXPECT_FALSE(a[0]->Checked());

  for (TAction* x : a) x->SetGroupIndex(1);
  a[1]->SetChecked(true);
  a[2]->SetChecked(true);
  EXPECT_FALSE(a[1]->Checked());
  EXPECT_TRUE(a[2]->Checked());
  // A checked action of a group stays checked when executed with AutoCheck.
  a[2]->SetAutoCheck(true);
  a[2]->Execute();
  EXPECT_TRUE(a[2]->Checked());
}

// The list's events come first and may take the action; a suspended list
// runs and updates nothing.
TEST_F(ActionsTest, ActionListEventsAndState) {
  auto list = MakeOwned<TActionList>(nullptr);
  auto* action = Make<TAction>(list.get());
  action->SetName(L"aSave");
  action->SetActionList(list.get());
  TSink sink;
  action->OnExecute = TNotifyEvent::Bind<&TSink::Execute>(&sink);
  action->OnUpdate = TNotifyEvent::Bind<&TSink::Update>(&sink);
  list->OnExecute = TActionEvent::Bind<&TSink::ListExecute>(&sink);
  list->OnUpdate = TActionEvent::Bind<&TSink::ListUpdate>(&sink);

  EXPECT_TRUE(action->Execute());
  EXPECT_EQ(sink.Log, (std::vector<String>{L"list update aSave", L"update aSave", L"list execute aSave",
                                           L"execute aSave"}));
  sink.Log.clear();
  sink.HandleInList = true;
  EXPECT_TRUE(action->Execute());
  EXPECT_EQ(sink.Log, (std::vector<String>{L"list update aSave", L"list execute aSave"}));

  sink.Log.clear();
  list->SetState(asSuspended);
  EXPECT_FALSE(action->Execute());
  EXPECT_FALSE(action->Update());
  UpdateActionListsOnIdle();
  EXPECT_TRUE(sink.Log.empty());

  action->SetEnabled(false);
  list->SetState(asSuspendedEnabled);
  EXPECT_TRUE(action->Enabled());
}

// The idle step updates the actions of every live list, and a list that
// was freed is no longer touched.
TEST_F(ActionsTest, IdleUpdate) {
  TSink sink;
  auto first = MakeOwned<TActionList>(nullptr);
  auto* list2 = Make<TActionList>(nullptr);
  for (TActionList* list : {first.get(), list2}) {
    auto* a = Make<TAction>(list);
    a->SetName(list == list2 ? L"b" : L"a");
    a->SetActionList(list);
    a->OnUpdate = TNotifyEvent::Bind<&TSink::Update>(&sink);
  }
  UpdateActionListsOnIdle();
  EXPECT_EQ(sink.Log, (std::vector<String>{L"update a", L"update b"}));
  TObject::Free(list2);
  sink.Log.clear();
  UpdateActionListsOnIdle();
  EXPECT_EQ(sink.Log, std::vector<String>{L"update a"});
}

// A command whose handler frees its own client (and so the link) must not
// leave the link touching freed memory.
TEST_F(ActionsTest, HandlerMayFreeTheClient) {
  auto owner = MakeOwned<TComponent>(nullptr);
  auto* action = Make<TAction>(owner.get());
  struct TFreer : TObject {
    TMenuItem* item = nullptr;
    void Run(TObject*) { FreeAndNil(item); }
  } freer;
  freer.item = Make<TMenuItem>(nullptr);
  action->OnExecute = TNotifyEvent::Bind<&TFreer::Run>(&freer);
  freer.item->SetAction(action);
  freer.item->Click();
  EXPECT_EQ(freer.item, nullptr);
  EXPECT_EQ(action->ClientCount(), 0);
  EXPECT_EQ(action->ActionComponent(), nullptr);
}

TEST_F(ActionsTest, ListOwnsItsActionsIndexAndShortCuts) {
  auto owner = MakeOwned<TComponent>(nullptr);
  auto* list = Make<TActionList>(owner.get());
  auto* a = Make<TAction>(owner.get());
  auto* b = Make<TAction>(owner.get());
  a->SetActionList(list);
  b->SetActionList(list);
  b->SetIndex(0);
  EXPECT_EQ(list->Actions(0), b);
  EXPECT_EQ(a->Index(), 1);
  EXPECT_THROW(list->Actions(2), EListError);

  TSink sink;
  a->OnExecute = TNotifyEvent::Bind<&TSink::Execute>(&sink);
  a->SetShortCut(scCtrl | 'S');
  a->SecondaryShortCuts()->Add(L"F2");
  EXPECT_TRUE(list->IsShortCut(scCtrl | 'S'));
  EXPECT_TRUE(list->IsShortCut(VK_F2));
  EXPECT_FALSE(list->IsShortCut(VK_F3));
  EXPECT_EQ(sink.Log.size(), 2u);

  TObject::Free(list);
  EXPECT_EQ(owner->ComponentCount(), 0) << "freeing a list frees its actions";
}

// Actions are stored as children of their list.
TEST_F(ActionsTest, StreamedWithTheirList) {
  const std::string text =
      "object alMain: TActionList\n"
      "  object aOpen: TAction\n"
      "    Category = 'File'\n"
      "    Caption = '&Open...'\n"
      "    ImageIndex = 2\n"
      "    ShortCut = 16463\n"
      "    SecondaryShortCuts.Strings = (\n"
      "      'F3')\n"
      "  end\n"
      "  object aClose: TAction\n"
      "    Caption = 'Close'\n"
      "    Enabled = False\n"
      "  end\n"
      "end\n";
  Owned<TComponent> guard = ReadRootFromText(text);
  TComponent* root = guard.get();
  auto* list = dynamic_cast<TActionList*>(root);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->ActionCount(), 2);
  auto* open = dynamic_cast<TAction*>(list->Actions(0));
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(open->Name(), L"aOpen");
  EXPECT_EQ(open->Category(), L"File");
  EXPECT_EQ(open->Caption(), L"&Open...");
  EXPECT_EQ(open->ImageIndex(), 2);
  EXPECT_EQ(open->ShortCut(), scCtrl | 'O');
  EXPECT_TRUE(open->HandleShortCut(VK_F3));
  EXPECT_FALSE(static_cast<TAction*>(list->Actions(1))->Enabled());

  // And back: the writer stores the actions inside the list again.
  TMemoryStream out, outText;
  {
    TWriter writer(&out);
    writer.WriteRootComponent(list);
  }
  out.SetPosition(0);
  ObjectBinaryToText(&out, &outText);
  const std::string written(static_cast<const char*>(outText.Memory()), static_cast<size_t>(outText.Size()));
  EXPECT_NE(written.find("  object aOpen: TAction"), std::string::npos) << written;
  EXPECT_NE(written.find("Category = 'File'"), std::string::npos) << written;
  EXPECT_EQ(written.find("Enabled = True"), std::string::npos) << written;
}

// An action stored outside any list is handed its enclosing component as
// parent while read: it loads without a list instead of failing.
TEST_F(ActionsTest, ActionOutsideAListLoads) {
  const std::string text =
      "object pm: TPopupMenu\n"
      "  object aLoose: TAction\n"
      "    Caption = 'Loose'\n"
      "  end\n"
      "end\n";
  Owned<TComponent> guard;
  ASSERT_NO_THROW(guard = ReadRootFromText(text));
  TComponent* root = guard.get();
  auto* action = dynamic_cast<TAction*>(root->FindComponent(L"aLoose"));
  ASSERT_NE(action, nullptr);
  EXPECT_EQ(action->ActionList(), nullptr);
  EXPECT_EQ(action->Caption(), L"Loose");

  EXPECT_THROW(action->SetParentComponent(root), EInvalidCast) << "outside loading a wrong parent is an error";
}
