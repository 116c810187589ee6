// What the bar module's start-up makes and its shutdown takes away: the drag
// cursors, the layered-window entry points, the checkerboard brush, the
// application's start procedure, the lazily made objects and the finalizing
// flag that stops them; the item-class registry; and the order in which
// managers on one form take turns.
#include "tests/bars/model/dxBarTestSupport.h"
#include "tests/support/TestDib.h"

#include "foundation/cxControls.h"
#include "platform/core/Lists.h"
#include "platform/gui/ExtCtrls.h"

#include <functional>

#include <gtest/gtest.h>

namespace {

class TPixels : public TTestDib {
 public:
  using TTestDib::TTestDib;
  // 0x00BBGGRR, as GetSysColor answers.
  COLORREF At(int x, int y) const {
    const DWORD raw = RawAt(x, y);
    return RGB((raw >> 16) & 0xFF, (raw >> 8) & 0xFF, raw & 0xFF);
  }
};

TEST(dxBarModule, StartUpInstallsTheDragCursorsAndFindsTheLayeredWindowCalls) {
  const HCURSOR fallback = Screen->Cursors(crDefault);
  std::vector<HCURSOR> seen;
  for (short id : {crdxBarDrag, crdxBarDragCopy, crdxBarDragNoDrop, crdxBarEditSizing}) {
    const HCURSOR cursor = Screen->Cursors(id);
    EXPECT_NE(cursor, fallback) << id;
    EXPECT_EQ(std::count(seen.begin(), seen.end(), cursor), 0) << id;
    seen.push_back(cursor);
  }
  EXPECT_EQ(cxLoadCursorFromResourceData(GetModuleHandleW(nullptr), L"NODXBARCURSOR"), nullptr);
  const TdxBarLayeredWindowApi& api = dxBarLayeredWindowApi();
  EXPECT_NE(api.UpdateLayeredWindow, nullptr);
  EXPECT_NE(api.AnimateWindow, nullptr);
  EXPECT_NE(api.SetLayeredWindowAttributes, nullptr);
}

TEST(dxBarModule, CheckerBrushAlternatesButtonFaceAndHighlight) {
  ASSERT_NE(dxBarCheckerBrush, nullptr);
  TPixels dib(16, 16);
  const RECT all{0, 0, 16, 16};
  FillRect(dib.DC(), &all, dxBarCheckerBrush);
  const COLORREF face = GetSysColor(COLOR_BTNFACE), highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(dib.At(x, y), x % 2 == y % 2 ? face : highlight) << x << "," << y;
}

TEST(dxBarModule, ShutdownTakesAwayWhatStartUpMade) {
  const HCURSOR fallback = Screen->Cursors(crDefault);
  dxBarFinalize();
  EXPECT_EQ(dxBarCheckerBrush, nullptr);
  EXPECT_EQ(Screen->Cursors(crdxBarDragNoDrop), fallback);
  EXPECT_EQ(dxBarLayeredWindowApi().AnimateWindow, nullptr);
  // No brush is made while the module is down.
  dxBarCreateCheckerBrush();
  EXPECT_EQ(dxBarCheckerBrush, nullptr);
  dxBarInitialize();
  EXPECT_NE(dxBarCheckerBrush, nullptr);
  EXPECT_NE(Screen->Cursors(crdxBarDragNoDrop), fallback);
}

// Item classes that nothing else registers for the component stream.
class TProbeItem : public TdxBarButton {
  DECLARE_CLASS(TProbeItem, TdxBarButton)
  explicit TProbeItem(TComponent* AOwner) : TdxBarButton(AOwner) {}
};
IMPLEMENT_CLASS(TProbeItem, TdxBarButton, (ConstructWith<TProbeItem, TComponent>))

class TDerivedProbeItem : public TProbeItem {
  DECLARE_CLASS(TDerivedProbeItem, TProbeItem)
  explicit TDerivedProbeItem(TComponent* AOwner) : TProbeItem(AOwner) {}
};
IMPLEMENT_CLASS(TDerivedProbeItem, TProbeItem, (ConstructWith<TDerivedProbeItem, TComponent>))

bool Streamable(TClass AClass) { return GetClass(AClass->Name) == AClass; }

// One registration as the registry lists it.
struct TRow {
  TClass item, control;
  bool visible;
  bool operator==(const TRow&) const = default;
};

std::vector<TRow> RowsOf(const TdxBarItemList& AList) {
  std::vector<TRow> rows;
  for (int i = 0; i < AList.Count(); ++i) {
    const TRegItemRecord* r = AList.RegistrationAt(i);
    rows.push_back({r->FItemClass, r->FItemControlClass, r->FVisible});
  }
  return rows;
}

TEST(dxBarItemList, OperationsOnTheRegistry) {
  TObjectPtr<TdxBarItemList> list(Make<TdxBarItemList>());
  const TClass button = TdxBarButton::StaticClass(), large = TdxBarLargeButton::StaticClass(),
               label = TdxBarLabel::StaticClass(), probe = TProbeItem::StaticClass();
  const TClass control = TTestItemControl::StaticClass(), other = TdxBarItemControlBase::StaticClass();
  // Each operation runs on what the ones above left; the rows are the registry after it.
  const struct {
    const char* what;
    std::function<void()> operation;
    std::vector<TRow> rows;
  } steps[] = {
      {"added in order", [&] {
         list->AddRegistration(button, control, true);
         list->AddRegistration(label, control, false);
         list->AddRegistration(probe, control, true);
         list->AddRegistration(large, control, true);
       }, {{button, control, true}, {label, control, false}, {probe, control, true}, {large, control, true}}},
      {"a twin is appended", [&] { list->AddRegistration(probe, other, false); },
       {{button, control, true}, {label, control, false}, {probe, control, true}, {large, control, true},
        {probe, other, false}}},
      {"removal takes the first of twins", [&] { list->RemoveRegistration(probe); },
       {{button, control, true}, {label, control, false}, {large, control, true}, {probe, other, false}}},
      {"a descendant of a registered class is not removed", [&] { list->RemoveRegistration(TDerivedProbeItem::StaticClass()); },
       {{button, control, true}, {label, control, false}, {large, control, true}, {probe, other, false}}},
      {"removal by index", [&] { list->RemoveRegistrationAt(0); },
       {{label, control, false}, {large, control, true}, {probe, other, false}}},
  };
  for (const auto& step : steps) {
    step.operation();
    EXPECT_EQ(RowsOf(*list), step.rows) << step.what;
  }
  EXPECT_EQ(RaisedMessage([&] { list->RegistrationAt(3); }), L"List index out of bounds (3)");
  EXPECT_EQ(RaisedMessage([&] { list->RemoveRegistrationAt(-1); }), L"List index out of bounds (-1)");
  EXPECT_EQ(list->ItemClassAt(1), large);
}

TEST(dxBarItemList, VisibleClassesAndExactLookups) {
  TObjectPtr<TdxBarItemList> list(Make<TdxBarItemList>());
  const TClass button = TdxBarButton::StaticClass(), large = TdxBarLargeButton::StaticClass(),
               label = TdxBarLabel::StaticClass(), separator = TdxBarSeparator::StaticClass(),
               probe = TProbeItem::StaticClass();
  const TClass control = TTestItemControl::StaticClass(), other = TdxBarItemControlBase::StaticClass();
  EXPECT_EQ(list->VisibleItemCount(), 0);
  EXPECT_EQ(list->NthVisibleItemClass(0), nullptr) << "empty";
  list->AddRegistration(button, control, true);
  list->AddRegistration(label, control, false);
  list->AddRegistration(large, control, true);
  list->AddRegistration(probe, other, false);
  list->AddRegistration(separator, control, true);
  list->AddRegistration(probe, control, true);
  EXPECT_EQ(list->VisibleItemCount(), 4);
  const struct {
    int index;
    TClass visible;
  } nth[] = {{-1, nullptr}, {0, button}, {1, large}, {2, separator}, {3, probe}, {4, nullptr}};
  for (const auto& c : nth) EXPECT_EQ(list->NthVisibleItemClass(c.index), c.visible) << c.index;
  const struct {
    const char* what;
    TClass item, control;
  } lookups[] = {
      {"registered", large, control},
      {"the first of twins", probe, other},
      {"a descendant is no match", TDerivedProbeItem::StaticClass(), nullptr},
      {"nor an ancestor", TdxBarItem::StaticClass(), nullptr},
      {"nil", nullptr, nullptr},
  };
  for (const auto& c : lookups) EXPECT_EQ(list->ItemControlClassOf(c.item), c.control) << c.what;
}

TEST(dxBarItemList, TheStreamKnowsARegisteredClassUntilItsLastRegistrationGoes) {
  const TClass probe = TProbeItem::StaticClass(), button = TdxBarButton::StaticClass();
  ASSERT_FALSE(Streamable(probe));
  {
    TObjectPtr<TdxBarItemList> list(Make<TdxBarItemList>());
    list->AddRegistration(probe, TTestItemControl::StaticClass(), true);
    EXPECT_TRUE(Streamable(probe));
    list->AddRegistration(probe, TTestItemControl::StaticClass(), true);
    list->RemoveRegistration(probe);
    EXPECT_TRUE(Streamable(probe)) << "a twin is still registered";
    list->RemoveRegistration(probe);
    EXPECT_FALSE(Streamable(probe));
    // The bar module's own item classes stay readable.
    list->AddRegistration(button, TTestItemControl::StaticClass(), true);
    list->RemoveRegistration(button);
    EXPECT_TRUE(Streamable(button));
    list->AddRegistration(probe, TTestItemControl::StaticClass(), true);
  }
  EXPECT_FALSE(Streamable(probe)) << "the registry's end withdraws what it registered";
}

TEST(dxBarItemList, ALinkOfARegisteredClassGetsItsControl) {
  TObjectPtr<TBarTestForm> form(Make<TBarTestForm>(nullptr));
  TdxBarManager* manager = Make<TdxBarManager>(form.get());
  dxBarAddItemClassToRegistry(TProbeItem::StaticClass(), TTestItemControl::StaticClass(), false);
  TFinally unregister{[] { dxBarRemoveItemClassFromRegistry(TProbeItem::StaticClass()); }};
  TMenuLinksOwner menu(manager);
  menu.Links->Add(manager->AddItem(TProbeItem::StaticClass()));
  menu.Links->Add(manager->AddItem(TDerivedProbeItem::StaticClass()));
  menu.Links->CreateBarControl();
  for (int i = 0; i < 2; ++i) menu.Links->Items(i)->CreateControl();
  EXPECT_NE(dynamic_cast<TTestItemControl*>(menu.Links->Items(0)->Control()), nullptr);
  EXPECT_EQ(menu.Links->Items(1)->Control(), nullptr) << "an unregistered descendant has no control";
}

// A design controller that counts how many of it live.
class TCountedDesignController : public TObject, public IdxBarDesignController {
  DECLARE_CLASS(TCountedDesignController, TObject)
  TCountedDesignController() { ++Alive; }
  ~TCountedDesignController() override { --Alive; }
  TdxBarItemLink* CustomizingItemLink() override { return nullptr; }
  IdxBarSelectableItem* LastSelectedItem() override { return nullptr; }
  void DropSelection(IdxBarSelectableItem*) override {}
  void SynchronizeLastSelectedItem() override {}
  TdxBarItemLink* DesignSelectedLink(TdxBarManager*) override { return nullptr; }
  bool HasQuickControl() override { return false; }
  void SetMoving(bool) override {}
  void SelectionChanged(TObject*) override {}
  void ShowToolbarsPopup(TdxBarManager*, const TdxBarPainter*) override {}
  static inline int Alive = 0;
};
IMPLEMENT_CLASS(TCountedDesignController, TObject, nullptr)

int initProcRuns = 0;
void CountingInitProc() { ++initProcRuns; }

TEST(dxBarModule, LazyObjectsComeOnFirstUseAndNotWhileTheModuleShutsDown) {
  dxBarDesignControllerMaker() = [] { return static_cast<TObject*>(Make<TCountedDesignController>()); };
  TFinally noMaker{[] { dxBarDesignControllerMaker() = nullptr; }};
  EXPECT_EQ(TCountedDesignController::Alive, 0) << "made on first use only";
  IdxBarDesignController* controller = dxBarSharedDesignController();
  ASSERT_NE(controller, nullptr);
  EXPECT_EQ(dxBarSharedDesignController(), controller);
  EXPECT_EQ(dxBarDesignControllerSlot(), controller);
  EXPECT_EQ(TCountedDesignController::Alive, 1);
  TdxBarItemList* registry = dxBarSharedItemClassRegistry();
  ASSERT_NE(registry, nullptr);

  dxBarFinalize();
  EXPECT_TRUE(dxBarModuleFinalizing());
  EXPECT_EQ(TCountedDesignController::Alive, 0);
  EXPECT_EQ(dxBarDesignControllerSlot(), nullptr);
  EXPECT_EQ(dxBarSharedDesignController(), nullptr);
  EXPECT_EQ(dxBarSharedItemClassRegistry(), nullptr);
  dxBarAddItemClassToRegistry(TProbeItem::StaticClass(), TTestItemControl::StaticClass());
  EXPECT_EQ(dxBarSharedItemClassRegistry(), nullptr) << "no registry is made for a late registration";
  EXPECT_FALSE(Streamable(TProbeItem::StaticClass()));
  EXPECT_EQ(dxBarManagerList(), nullptr);

  dxBarInitialize();
  EXPECT_FALSE(dxBarModuleFinalizing());
  EXPECT_NE(dxBarSharedItemClassRegistry(), nullptr);
  EXPECT_NE(dxBarSharedDesignController(), nullptr);
  EXPECT_NE(dxBarManagerList(), nullptr);
  dxBarFinalize();
  dxBarDesignControllerMaker() = nullptr;
  dxBarInitialize();
  EXPECT_EQ(dxBarSharedDesignController(), nullptr) << "without the customization layer there is none";
}

// What the shutdown had taken away when the design controller went; each
// starts as the opposite of what is expected.
struct TShutdownWitness {
  bool Finalizing = false, Registry = true, Managers = false, Brush = false, LiveControls = true;
  TObject* Live = nullptr;
} shutdownSeen;

class TWitnessDesignController : public TCountedDesignController {
  DECLARE_CLASS(TWitnessDesignController, TCountedDesignController)
  TWitnessDesignController() = default;
  ~TWitnessDesignController() override {
    shutdownSeen.Finalizing = dxBarModuleFinalizing();
    shutdownSeen.Registry = dxBarSharedItemClassRegistry() != nullptr;
    shutdownSeen.Managers = dxBarManagerList() != nullptr;
    shutdownSeen.Brush = dxBarCheckerBrush != nullptr;
    shutdownSeen.LiveControls = dxBarIsLiveControl(shutdownSeen.Live);
  }
};
IMPLEMENT_CLASS(TWitnessDesignController, TCountedDesignController, nullptr)

TEST(dxBarModule, ShutdownStepsRunInTheirOrder) {
  dxBarDesignControllerMaker() = [] { return static_cast<TObject*>(Make<TWitnessDesignController>()); };
  TFinally noMaker{[] { dxBarDesignControllerMaker() = nullptr; }};
  TObjectPtr<TObject> bar(Make<TObject>());
  dxBarTrackLiveControl(bar.get());
  shutdownSeen.Live = bar.get();
  ASSERT_NE(dxBarSharedDesignController(), nullptr);
  dxBarFinalize();
  const TShutdownWitness& seen = shutdownSeen;
  EXPECT_TRUE(seen.Finalizing) << "the flag is set first";
  EXPECT_FALSE(seen.LiveControls) << "the live bar windows went before";
  EXPECT_FALSE(seen.Registry) << "and the item-class registry";
  EXPECT_TRUE(seen.Brush) << "the checkerboard brush goes after";
  EXPECT_TRUE(seen.Managers) << "and the manager list last";
  dxBarInitialize();
}

TEST(dxBarModule, LiveBarWindowsAreTrackedWhileTheModuleRuns) {
  TObjectPtr<TObject> first(Make<TObject>()), second(Make<TObject>());
  EXPECT_FALSE(dxBarIsLiveControl(first.get()));
  dxBarTrackLiveControl(first.get());
  dxBarTrackLiveControl(second.get());
  dxBarTrackLiveControl(first.get());
  dxBarTrackLiveControl(nullptr);
  EXPECT_EQ(dxBarLiveControls(), (std::vector<TObject*>{first.get(), second.get()})) << "once each, in order";
  EXPECT_TRUE(dxBarIsLiveControl(second.get()));
  EXPECT_FALSE(dxBarIsLiveControl(nullptr));
  dxBarUntrackLiveControl(first.get());
  EXPECT_FALSE(dxBarIsLiveControl(first.get()));
  EXPECT_EQ(dxBarLiveControls(), std::vector<TObject*>{second.get()});

  dxBarFinalize();
  EXPECT_FALSE(dxBarIsLiveControl(second.get())) << "the list went with the module";
  dxBarTrackLiveControl(first.get());
  EXPECT_FALSE(dxBarIsLiveControl(first.get())) << "nothing is tracked outside the module's life";
  dxBarUntrackLiveControl(second.get());
  dxBarInitialize();
  EXPECT_TRUE(dxBarLiveControls().empty());
}

// A popup menu: a component that owns links, shown while its links have a window.
class TProbePopupMenu : public TComponent, public IdxBarLinksOwner {
  DECLARE_CLASS(TProbePopupMenu, TComponent)
  TProbePopupMenu(TComponent* AOwner, TdxBarManager* AManager)
      : TComponent(AOwner), Links(Make<TdxBarSubMenuControlItemLinks>(AManager, this)) {}
  ~TProbePopupMenu() override { TObject::Free(Links); }
  TdxBarItemLinks* GetItemLinks() override { return Links; }
  IdxBarControl* CreateBarControl() override { return Make<TFakeBarControl>(); }
  bool CanContainItem(TdxBarItem*, String&) override { return true; }
  TComponent* GetInstance() override { return this; }
  TdxBarItemLinks* Links;
};
IMPLEMENT_CLASS(TProbePopupMenu, TComponent, nullptr)

TEST(dxBarRoutines, APopupMenuIsVisibleWhileItsLinksHaveAShownWindow) {
  TObjectPtr<TBarTestForm> form(Make<TBarTestForm>(nullptr));
  TdxBarManager* manager = Make<TdxBarManager>(form.get());
  auto* menu = Make<TProbePopupMenu>(form.get(), manager);
  EXPECT_FALSE(dxBarAnyPopupMenuVisible()) << "not the manager's";
  manager->AddPopupMenu(menu);
  EXPECT_FALSE(dxBarAnyPopupMenuVisible()) << "not shown";
  menu->Links->CreateBarControl();
  EXPECT_TRUE(dxBarAnyPopupMenuVisible());
  menu->Links->DestroyBarControl();
  EXPECT_FALSE(dxBarAnyPopupMenuVisible());
  manager->RemovePopupMenu(menu);
}

TEST(dxBarModule, StartUpRunsOnceAndShutdownOnTheLastRun) {
  TdxBarManagerList* managers = dxBarManagerList();
  dxBarInitialize();
  EXPECT_EQ(dxBarManagerList(), managers) << "a second start-up makes nothing";
  dxBarFinalize();
  EXPECT_EQ(dxBarManagerList(), managers) << "the matching shutdown frees nothing";
  EXPECT_FALSE(dxBarModuleFinalizing());
}

TEST(dxBarModule, InitialisingTheApplicationRunsThePreviousStartProcedureAndStopsTheMenuSound) {
  dxBarFinalize();
  void (*const saved)() = InitProc;
  InitProc = &CountingInitProc;
  dxBarInitialize();
  EXPECT_NE(InitProc, &CountingInitProc) << "the module chains its own procedure";
  const bool soundsLoaded = GetModuleHandleW(L"winmm.dll") != nullptr;
  initProcRuns = 0;
  Application->Initialize();
  EXPECT_EQ(initProcRuns, 1);
  // Stopping a sound that cannot be playing loads no sound library.
  EXPECT_EQ(GetModuleHandleW(L"winmm.dll") != nullptr, soundsLoaded);
  dxBarFinalize();
  EXPECT_EQ(InitProc, &CountingInitProc) << "shutdown takes the module's procedure out again";
  InitProc = saved;
  dxBarInitialize();
}

TEST(dxBarManagerList, NextActiveCyclesThroughTheManagersOfOneForm) {
  TObjectPtr<TBarTestForm> formA(Make<TBarTestForm>(nullptr));
  TObjectPtr<TBarTestForm> formB(Make<TBarTestForm>(nullptr));
  TdxBarManager* onA = Make<TdxBarManager>(formA.get());
  TdxBarManager* onB = Make<TdxBarManager>(formB.get());
  TdxBarManager* onPanels[2] = {};
  for (TdxBarManager*& manager : onPanels) {
    auto* panel = Make<TPanel>(formA.get());
    panel->SetParent(formA.get());
    manager = Make<TdxBarManager>(panel);
    // Managers take turns by their windows.
    panel->HandleNeeded();
  }
  formB->HandleNeeded();
  TdxBarManagerList* list = dxBarManagerList();
  const struct {
    TdxBarManager* from;
    bool forward;
    TdxBarManager* next;
  } cases[] = {
      {onA, true, onPanels[0]},          {onPanels[0], true, onPanels[1]}, {onPanels[1], true, onA},
      {onA, false, onPanels[1]},         {onPanels[0], false, onA},
      {onB, true, onB},  // alone on its form
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.forward);
    EXPECT_EQ(list->NextActive(c.from, c.forward), c.next);
  }
  EXPECT_EQ(list->CustomizingBarManager(), nullptr);
  onPanels[1]->Customizing(true);
  EXPECT_EQ(list->CustomizingBarManager(), onPanels[1]);
  onPanels[1]->Customizing(false);
}

}  // namespace
