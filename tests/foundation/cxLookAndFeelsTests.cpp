#include "platform/WinApi.h"
#include "foundation/cxLookAndFeels.h"

#include "foundation/cxLookAndFeelPaintersRegistry.h"
#include "foundation/dxCore.h"
#include "platform/core/Components.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Streams.h"
#include "tests/foundation/cxLookAndFeelsTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct FreeDeleter {
  void operator()(TObject* p) const { TObject::Free(p); }
};
template <class T>
using Owned = std::unique_ptr<T, FreeDeleter>;

// One distinguishable painter per style, so the resolution shows whatever
// painter modules are compiled in.
class TFakePainter : public TcxCustomLookAndFeelPainter {
 public:
  TFakePainter() = default;
};
const TFakePainter FlatP, StandardP, UltraFlatP, NativeP, Office11P, SkinP;
const TcxCustomLookAndFeelPainterClass StylePainters[5] = {&FlatP, &StandardP, &UltraFlatP,
                                                           &NativeP, &Office11P};

// Records every OnChanged of the look-and-feels it watches.
class TChangeLog : public TObject {
 public:
  struct Entry {
    TcxLookAndFeel* Sender;
    TcxLookAndFeelValues Values;
  };
  std::vector<Entry> Entries;
  void Watch(TcxLookAndFeel* L) { L->OnChanged = TcxLookAndFeelChangedEvent::Bind<&TChangeLog::Changed>(this); }
  void Changed(TcxLookAndFeel* Sender, TcxLookAndFeelValues Values) { Entries.push_back({Sender, Values}); }
  int CountFor(TcxLookAndFeel* L) const {
    int n = 0;
    for (const Entry& e : Entries) n += e.Sender == L;
    return n;
  }
};

// A follower that counts and may run an action when told.
class TCountingFollower : public TObject, public IcxLookAndFeelFollower {
 public:
  int Changes = 0, Destroyings = 0;
  TcxLookAndFeelValues LastValues;
  std::function<void()> OnChange;
  TObject* FollowerObject() override { return this; }
  void HandleMasterChange(TcxLookAndFeel*, TcxLookAndFeelValues AValues) override {
    ++Changes;
    LastValues = AValues;
    if (OnChange) OnChange();
  }
  void HandleMasterDestroying(TcxLookAndFeel*) override { ++Destroyings; }
};

class cxLookAndFeel : public ::testing::Test {
 protected:
  void SetUp() override {
    cxLookAndFeelPaintersRegistryInitialize();
    cxLookAndFeelsInitialize();
    for (int s = 0; s < 5; ++s)
      cxSetLookAndFeelStylePainter(static_cast<TcxLookAndFeelStyle>(s), StylePainters[s]);
    Root()->Reset();
    Root()->Refresh();
  }
  void TearDown() override {
    Root()->Reset();
    cxGetStylePainterRegistry()->Unregister(L"UserSkin");
    for (int s = 0; s < 5; ++s) cxSetLookAndFeelStylePainter(static_cast<TcxLookAndFeelStyle>(s), nullptr);
    Root()->Refresh();
    cxLookAndFeelsFinalize();
    cxLookAndFeelPaintersRegistryFinalize();
  }
  static TcxLookAndFeel* Root() { return cxGetGlobalLookAndFeel(); }
};

}  // namespace

TEST_F(cxLookAndFeel, AFreshObjectFollowsTheRootDefaults) {
  ASSERT_NE(Root(), nullptr);
  EXPECT_TRUE(Root()->IsRootLookAndFeel());
  EXPECT_EQ(Root()->MasterLookAndFeel(), nullptr);
  Owned<TcxLookAndFeel> laf(Make<TcxLookAndFeel>(nullptr));
  EXPECT_EQ(laf->Kind(), lfUltraFlat);
  EXPECT_FALSE(laf->NativeStyle());
  EXPECT_EQ(laf->SkinName(), L"");
  EXPECT_TRUE(laf->AssignedValues().Empty());
  EXPECT_EQ(laf->Painter(), &UltraFlatP);
  EXPECT_EQ(laf->MasterLookAndFeel(), Root());
  EXPECT_EQ(Root()->Painter(), &UltraFlatP);
}

TEST_F(cxLookAndFeel, PainterFollowsTheKindTable) {
  Owned<TcxLookAndFeel> laf(Make<TcxLookAndFeel>(nullptr));
  const struct {
    TcxLookAndFeelKind Kind;
    TcxCustomLookAndFeelPainterClass Painter;
    TcxLookAndFeelStyle Style;
  } cases[] = {{lfFlat, &FlatP, lfsFlat},
               {lfStandard, &StandardP, lfsStandard},
               {lfOffice11, &Office11P, lfsOffice11},
               {lfUltraFlat, &UltraFlatP, lfsUltraFlat}};
  for (const auto& c : cases) {
    laf->SetKind(c.Kind);
    EXPECT_EQ(laf->Painter(), c.Painter) << TypeInfoOf<TcxLookAndFeelKind>().NameOf(c.Kind);
    EXPECT_EQ(laf->ActiveStyle(), c.Style);
  }
}

TEST_F(cxLookAndFeel, NativeStyleUsesTheThemedPainterOnlyWhenThemesAreUsable) {
  Owned<TcxLookAndFeel> laf(Make<TcxLookAndFeel>(nullptr));
  laf->SetKind(lfOffice11);
  laf->SetNativeStyle(true);
  const bool themed = dxAreThemesUsable();
  EXPECT_EQ(laf->Painter(), themed ? &NativeP : &Office11P);
  EXPECT_EQ(laf->ActiveStyle(), themed ? lfsNative : lfsOffice11);
}

TEST_F(cxLookAndFeel, RootChangesReachFollowersWithoutTheirOwnValueOnce) {
  Owned<TChangeLog> log(Make<TChangeLog>());
  Owned<TcxLookAndFeel> free(Make<TcxLookAndFeel>(nullptr)), own(Make<TcxLookAndFeel>(nullptr));
  own->SetKind(lfFlat);
  log->Watch(free.get());
  log->Watch(own.get());

  Root()->SetKind(lfOffice11);
  EXPECT_EQ(free->Kind(), lfOffice11);
  EXPECT_EQ(free->Painter(), &Office11P);
  ASSERT_EQ(log->CountFor(free.get()), 1);
  EXPECT_EQ(log->Entries[0].Values, TcxLookAndFeelValues{lfvKind});
  EXPECT_EQ(own->Kind(), lfFlat);
  EXPECT_EQ(log->CountFor(own.get()), 0) << "an assigned kind shuts the root's change out";

  // No-op sets raise nothing: the same value again, and a value equal to the
  // inherited one (which still becomes assigned, and so stored).
  log->Entries.clear();
  Root()->SetKind(lfOffice11);
  free->SetKind(lfOffice11);
  EXPECT_TRUE(log->Entries.empty());
  EXPECT_TRUE(free->AssignedValues().Contains(lfvKind));
  Root()->SetKind(lfStandard);
  EXPECT_EQ(free->Kind(), lfOffice11);
  EXPECT_TRUE(log->Entries.empty());
}

TEST_F(cxLookAndFeel, AChildFollowsItsMasterUntilItAssignsItsOwnValue) {
  Owned<TChangeLog> log(Make<TChangeLog>());
  Owned<TcxLookAndFeel> master(Make<TcxLookAndFeel>(nullptr)), child(Make<TcxLookAndFeel>(nullptr));
  master->SetKind(lfStandard);
  log->Watch(child.get());
  child->SetMasterLookAndFeel(master.get());
  EXPECT_EQ(child->MasterLookAndFeel(), master.get());
  EXPECT_EQ(child->Kind(), lfStandard);
  ASSERT_EQ(log->Entries.size(), 1u);
  EXPECT_EQ(log->Entries[0].Values, TcxLookAndFeelValues{lfvKind});

  // The master's master is the root: a root change passes through.
  log->Entries.clear();
  Root()->SetNativeStyle(true);
  EXPECT_TRUE(child->NativeStyle());
  ASSERT_EQ(log->Entries.size(), 1u);
  EXPECT_EQ(log->Entries[0].Values, TcxLookAndFeelValues{lfvNativeStyle});

  log->Entries.clear();
  child->SetKind(lfFlat);
  master->SetKind(lfOffice11);
  EXPECT_EQ(child->Kind(), lfFlat);
  EXPECT_EQ(log->Entries.size(), 1u) << "only the child's own set";

  // Giving the value back raises exactly what changed.
  log->Entries.clear();
  child->SetAssignedValues(TcxLookAndFeelValues());
  EXPECT_EQ(child->Kind(), lfOffice11);
  ASSERT_EQ(log->Entries.size(), 1u);
  EXPECT_EQ(log->Entries[0].Values, TcxLookAndFeelValues{lfvKind});
  log->Entries.clear();
  child->SetAssignedValues(TcxLookAndFeelValues());
  child->SetMasterLookAndFeel(master.get());
  EXPECT_TRUE(log->Entries.empty());

  // A master may not follow its follower.
  EXPECT_THROW(master->SetMasterLookAndFeel(child.get()), EdxException);
  EXPECT_EQ(master->MasterLookAndFeel(), Root());
}

TEST_F(cxLookAndFeel, DestroyingAMasterMovesItsFollowersToTheRoot) {
  Owned<TcxLookAndFeel> child(Make<TcxLookAndFeel>(nullptr));
  Owned<TCountingFollower> watcher(Make<TCountingFollower>());
  {
    Owned<TcxLookAndFeel> master(Make<TcxLookAndFeel>(nullptr));
    master->SetKind(lfFlat);
    master->AddChangeListener(watcher.get());
    child->SetMasterLookAndFeel(master.get());
    EXPECT_EQ(child->Kind(), lfFlat);
  }
  EXPECT_EQ(watcher->Destroyings, 1);
  EXPECT_EQ(child->MasterLookAndFeel(), Root());
  EXPECT_EQ(child->Kind(), lfUltraFlat);
  Root()->SetKind(lfStandard);
  EXPECT_EQ(child->Kind(), lfStandard);
}

TEST_F(cxLookAndFeel, FollowersLeavingOrFreedDuringANotificationAreToldAtMostOnce) {
  Owned<TcxLookAndFeel> master(Make<TcxLookAndFeel>(nullptr));
  Owned<TCountingFollower> a(Make<TCountingFollower>()), c(Make<TCountingFollower>()), d(Make<TCountingFollower>());
  auto* b = Make<TCountingFollower>();
  bool bFreed = false;
  for (TObject* f : std::initializer_list<TObject*>{a.get(), c.get(), b, d.get()}) master->AddChangeListener(f);
  master->AddChangeListener(a.get());  // no duplicates
  master->AddChangeListener(nullptr);
  Owned<TObject> plain(Make<TObject>());
  master->AddChangeListener(plain.get());  // not a follower: ignored
  // a leaves the list while told; c frees b before b's turn; d after them
  // is told once all the same.
  a->OnChange = [&] { master->RemoveChangeListener(a.get()); };
  c->OnChange = [&] {
    if (!bFreed) {
      master->RemoveChangeListener(b);
      TObject::Free(b);
      bFreed = true;
    }
  };
  master->SetKind(lfOffice11);
  EXPECT_EQ(a->Changes, 1);
  EXPECT_EQ(c->Changes, 1);
  EXPECT_EQ(d->Changes, 1);
  EXPECT_EQ(d->LastValues, TcxLookAndFeelValues{lfvKind});
  master->SetKind(lfFlat);
  EXPECT_EQ(a->Changes, 1);
  EXPECT_EQ(c->Changes, 2);
  EXPECT_EQ(d->Changes, 2);
  master->RemoveChangeListener(c.get());
  master->RemoveChangeListener(d.get());
}

TEST_F(cxLookAndFeel, SkinPainterComesFromTheRegistryByName) {
  Owned<TcxLookAndFeel> laf(Make<TcxLookAndFeel>(nullptr));
  laf->SetKind(lfFlat);
  laf->SetSkinName(L"UserSkin");
  EXPECT_EQ(laf->SkinPainter(), nullptr) << "not registered yet";
  EXPECT_EQ(laf->Painter(), &FlatP);

  // Registration alone does not reach an object that draws without a skin;
  // the next change that reaches it picks the skin up.
  ASSERT_TRUE(cxGetStylePainterRegistry()->Register(L"UserSkin", &SkinP, nullptr));
  EXPECT_EQ(laf->Painter(), &FlatP);
  Root()->Refresh();
  EXPECT_EQ(laf->SkinPainter(), &SkinP);
  EXPECT_EQ(laf->Painter(), &SkinP);

  // A follower inherits the skin by name (case-insensitive lookup).
  Owned<TcxLookAndFeel> child(Make<TcxLookAndFeel>(nullptr));
  child->SetMasterLookAndFeel(laf.get());
  EXPECT_EQ(child->Painter(), &SkinP);
  laf->SetSkinName(L"userskin");
  EXPECT_EQ(child->SkinName(), L"userskin");
  EXPECT_EQ(child->Painter(), &SkinP);

  // Native style clears the skin painter (themes or not).
  child->SetNativeStyle(true);
  EXPECT_EQ(child->SkinPainter(), nullptr);
  EXPECT_NE(child->Painter(), &SkinP);
  child->SetNativeStyle(false);

  // Objects drawing with a skin hear of the registry: removing the skin
  // falls back to the kind's painter at once.
  ASSERT_TRUE(cxGetStylePainterRegistry()->Unregister(L"UserSkin"));
  EXPECT_EQ(laf->Painter(), &FlatP);
  EXPECT_EQ(child->Painter(), &FlatP);
}

TEST_F(cxLookAndFeel, SetStyleSetsNativeStyleAndTheKindExceptForNative) {
  Owned<TcxLookAndFeel> laf(Make<TcxLookAndFeel>(nullptr));
  laf->SetKind(lfFlat);
  laf->SetStyle(lfsNative);
  EXPECT_TRUE(laf->NativeStyle());
  EXPECT_EQ(laf->Kind(), lfFlat);
  laf->SetStyle(lfsOffice11);
  EXPECT_FALSE(laf->NativeStyle());
  EXPECT_EQ(laf->Kind(), lfOffice11);
  laf->SetStyle(lfsStandard);
  EXPECT_EQ(laf->Kind(), lfStandard);
}

TEST_F(cxLookAndFeel, AssignCopiesValuesAndMasterAndRefusesOtherClasses) {
  Owned<TChangeLog> log(Make<TChangeLog>());
  Owned<TcxLookAndFeel> master(Make<TcxLookAndFeel>(nullptr)), source(Make<TcxLookAndFeel>(nullptr)),
      target(Make<TcxLookAndFeel>(nullptr));
  master->SetNativeStyle(true);
  source->SetMasterLookAndFeel(master.get());
  source->SetKind(lfOffice11);
  log->Watch(target.get());
  target->Assign(source.get());
  EXPECT_EQ(target->MasterLookAndFeel(), master.get());
  EXPECT_EQ(target->AssignedValues(), TcxLookAndFeelValues{lfvKind});
  EXPECT_EQ(target->Kind(), lfOffice11);
  EXPECT_TRUE(target->NativeStyle());
  ASSERT_EQ(log->Entries.size(), 1u);
  EXPECT_EQ(log->Entries[0].Values, (TcxLookAndFeelValues{lfvKind, lfvNativeStyle}));
  Owned<TPersistent> other(Make<TPersistent>());
  EXPECT_THROW(target->Assign(other.get()), Exception);
}

TEST_F(cxLookAndFeel, ControllersWriteTheRootAndTheLastOneResetsIt) {
  Owned<TcxLookAndFeel> laf(Make<TcxLookAndFeel>(nullptr));
  auto* first = Make<TcxLookAndFeelController>(nullptr);
  auto* second = Make<TcxLookAndFeelController>(nullptr);
  laf->AddChangeListener(first);  // a controller only follows the root
  first->SetKind(lfOffice11);
  EXPECT_EQ(Root()->Kind(), lfOffice11);
  EXPECT_EQ(second->Kind(), lfOffice11);
  EXPECT_EQ(laf->Kind(), lfOffice11);
  TObject::Free(first);
  EXPECT_EQ(Root()->Kind(), lfOffice11) << "one controller is left";
  TObject::Free(second);
  EXPECT_TRUE(Root()->AssignedValues().Empty());
  EXPECT_EQ(laf->Kind(), lfUltraFlat);
}

// ---------------------------------------------------------------------------
// Streaming
// ---------------------------------------------------------------------------

namespace {

class TLafHolder : public TComponent {
  DECLARE_CLASS(TLafHolder, TComponent)
  explicit TLafHolder(TComponent* AOwner) : TComponent(AOwner), FLookAndFeel(Make<TcxLookAndFeel>(this)) {}
  ~TLafHolder() override { TObject::Free(FLookAndFeel); }
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel; }
  void SetLookAndFeel(TcxLookAndFeel* AValue) { FLookAndFeel->Assign(AValue); }

 private:
  TcxLookAndFeel* FLookAndFeel;
};

BEGIN_CLASS(TLafHolder, TComponent, (ConstructWith<TLafHolder, TComponent>))
  b.Prop(L"LookAndFeel", &TLafHolder::LookAndFeel, &TLafHolder::SetLookAndFeel);
END_CLASS

std::string WrittenText(TComponent* c) {
  Owned<TMemoryStream> binary(Make<TMemoryStream>()), text(Make<TMemoryStream>());
  WriteComponentToStream(binary.get(), c);
  binary->SetPosition(0);
  ObjectBinaryToText(binary.get(), text.get());
  return std::string(static_cast<const char*>(text->Memory()), static_cast<size_t>(text->Size()));
}

void ReadText(const std::string& AText, TComponent* c) {
  Owned<TMemoryStream> text(Make<TMemoryStream>()), binary(Make<TMemoryStream>());
  text->WriteBuffer(AText.data(), static_cast<int>(AText.size()));
  text->SetPosition(0);
  ObjectTextToBinary(text.get(), binary.get());
  binary->SetPosition(0);
  ReadComponentFromStream(binary.get(), c);
}

size_t Occurrences(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + 1)) ++n;
  return n;
}

}  // namespace

TEST_F(cxLookAndFeel, OnlyAssignedValuesAreStoredAndAnAssignedEmptySkinNameSurvives) {
  Owned<TLafHolder> holder(Make<TLafHolder>(nullptr));
  holder->SetName(L"Holder");
  EXPECT_EQ(WrittenText(holder.get()).find("LookAndFeel"), std::string::npos);

  ReadText(
      "object Holder: TLafHolder\n"
      "  LookAndFeel.Kind = lfUltraFlat\n"
      "  LookAndFeel.SkinName = ''\n"
      "end\n",
      holder.get());
  EXPECT_EQ(holder->LookAndFeel()->AssignedValues(), (TcxLookAndFeelValues{lfvKind, lfvSkinName}));
  const std::string text = WrittenText(holder.get());
  EXPECT_EQ(Occurrences(text, "LookAndFeel.SkinName = ''"), 1u) << text;
  EXPECT_EQ(Occurrences(text, "LookAndFeel.Kind = lfUltraFlat"), 1u) << text;
  EXPECT_EQ(text.find("NativeStyle"), std::string::npos) << text;

  // A named skin is written once, by the published property.
  Owned<TLafHolder> copy(Make<TLafHolder>(nullptr));
  holder->LookAndFeel()->SetSkinName(L"UserSkin");
  holder->LookAndFeel()->SetNativeStyle(false);
  const std::string named = WrittenText(holder.get());
  EXPECT_EQ(Occurrences(named, "SkinName"), 1u) << named;
  ReadText(named, copy.get());
  EXPECT_EQ(copy->LookAndFeel()->AssignedValues(), cxAllLookAndFeelValues);
  EXPECT_EQ(copy->LookAndFeel()->SkinName(), L"UserSkin");
  EXPECT_FALSE(copy->LookAndFeel()->NativeStyle());
}

// ---------------------------------------------------------------------------
// System colours
// ---------------------------------------------------------------------------

TEST(cxSystemPaletteChanged, PrimaryNotifiersRunFirstEachListFromLastToFirst) {
  // Started modules (the painters' glyphs) may hold notifiers of their own.
  TcxSystemPaletteChangedListener* const before = cxSystemPaletteChangedListener();
  std::vector<int> order;
  struct Recorder : TObject {
    std::vector<int>* Order;
    int Id;
    void Fire() { Order->push_back(Id); }
  };
  std::vector<Owned<Recorder>> recorders;
  std::vector<Owned<TcxSystemPaletteChangedNotifier>> notifiers;
  const std::pair<int, bool> made[] = {{1, false}, {2, true}, {3, false}, {4, true}};
  for (auto [id, primary] : made) {
    recorders.emplace_back(Make<Recorder>());
    recorders.back()->Order = &order;
    recorders.back()->Id = id;
    notifiers.emplace_back(Make<TcxSystemPaletteChangedNotifier>(primary));
    notifiers.back()->OnSystemPaletteChanged =
        TcxSystemPaletteChangedEvent::Bind<&Recorder::Fire>(recorders.back().get());
  }
  TcxSystemPaletteChangedListener* listener = cxSystemPaletteChangedListener();
  ASSERT_NE(listener, nullptr);
  HWND wnd = listener->WindowHandle();
  // No top-level window of its own: the thread's relay hands it the broadcast.
  EXPECT_NE(GetAncestor(wnd, GA_PARENT), GetDesktopWindow());
  SendMessageW(wnd, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(order, (std::vector<int>{4, 2, 3, 1}));
  notifiers.clear();
  EXPECT_EQ(cxSystemPaletteChangedListener(), before) << "the last notifier takes the listener with it";
  EXPECT_EQ(IsWindow(wnd) != FALSE, before != nullptr);
}

TEST_F(cxLookAndFeel, ASystemColourChangeRaisesTheNativeStyleChange) {
  Owned<TChangeLog> log(Make<TChangeLog>());
  Owned<TcxLookAndFeel> laf(Make<TcxLookAndFeel>(nullptr));
  laf->SetKind(lfFlat);  // shuts the root's own change out of the count
  laf->SetNativeStyle(false);
  log->Watch(laf.get());
  SendMessageW(cxSystemPaletteChangedListener()->WindowHandle(), WM_SYSCOLORCHANGE, 0, 0);
  ASSERT_EQ(log->CountFor(laf.get()), 1);
  EXPECT_EQ(log->Entries[0].Values, TcxLookAndFeelValues{lfvNativeStyle});
}

TEST(cxLookAndFeelModule, TheRootFindsTheRegistryAndGoesBeforeIt) {
  fndtest::TLookAndFeelModulesDown down;
  ASSERT_TRUE(down.Down()) << "something besides the module list keeps the look-and-feel steps running";
  ASSERT_EQ(cxGetGlobalLookAndFeel(), nullptr);
  ASSERT_EQ(cxGetStylePainterRegistry(), nullptr);
  cxLookAndFeelPaintersRegistryInitialize();
  cxLookAndFeelsInitialize();
  TcxLookAndFeel* root = cxGetGlobalLookAndFeel();
  ASSERT_NE(root, nullptr);
  Owned<TCountingFollower> watcher(Make<TCountingFollower>());
  root->AddChangeListener(watcher.get());
  cxGetStylePainterRegistry()->Register(L"UserSkin", &SkinP, nullptr);
  root->SetSkinName(L"UserSkin");
  EXPECT_EQ(root->Painter(), &SkinP) << "the registry exists when the root is made";
  Owned<TcxLookAndFeel> follower(Make<TcxLookAndFeel>(nullptr));
  EXPECT_EQ(follower->Painter(), &SkinP);

  cxLookAndFeelsFinalize();
  EXPECT_EQ(cxGetGlobalLookAndFeel(), nullptr);
  EXPECT_EQ(watcher->Destroyings, 1);
  EXPECT_NE(cxGetStylePainterRegistry(), nullptr) << "the registry outlives the root";
  EXPECT_EQ(follower->MasterLookAndFeel(), nullptr);
  follower->Refresh();
  EXPECT_EQ(follower->SkinName(), L"") << "inherited values fall back to the defaults";
  EXPECT_EQ(follower->Kind(), lfUltraFlat);
  cxGetStylePainterRegistry()->Unregister(L"UserSkin");
  cxLookAndFeelPaintersRegistryFinalize();
  follower->Refresh();  // no registry: no skin, no crash
  EXPECT_EQ(follower->SkinPainter(), nullptr);
}
