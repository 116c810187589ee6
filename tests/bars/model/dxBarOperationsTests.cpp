// Operations on a manager's items and toolbars.
#include "tests/bars/model/dxBarFakeCustomization.h"
#include "tests/bars/model/dxBarTestSupport.h"

#include "bars/model/dxBarStrs.h"

#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScopedHook.h"

#include "foundation/cxControlsTracking.h"

#include <gtest/gtest.h>

namespace {

class dxBarOperationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(Make<TBarTestForm>(nullptr));
    manager = Make<TdxBarManager>(form.get());
  }
  TObjectPtr<TBarTestForm> form;
  TdxBarManager* manager = nullptr;
};

TEST_F(dxBarOperationsTest, NewToolbarTakesTheFirstFreeCustomCaption) {
  manager->AddToolBar()->SetCaption(L"Custom 1");
  manager->AddToolBar()->SetCaption(L"Custom 3");
  TdxBar* bar = manager->AddToolBar(false);
  EXPECT_EQ(bar->Caption(), L"Custom 2");
  EXPECT_TRUE(bar->Visible());
  EXPECT_FALSE(bar->OneOnRow());
  EXPECT_EQ(bar->DockingStyle(), dsTop);
  // The design controller selects each new toolbar alone.
  struct TSelections : IdxBarDesignController {
    void SelectItem(TPersistent* AItem, int AOperation) override { Selected.emplace_back(AItem, AOperation); }
    std::vector<std::pair<TPersistent*, int>> Selected;
  } controller;
  TScopedHook<IdxBarDesignController*> slot(dxBarDesignControllerSlot(), &controller);
  TdxBar* menu = manager->AddToolBar(true);
  EXPECT_TRUE(menu->IsMainMenu());
  EXPECT_EQ(menu->Row(), 0);
  EXPECT_EQ(controller.Selected, (std::vector<std::pair<TPersistent*, int>>{{menu, 0}}));
}

TEST_F(dxBarOperationsTest, NewToolbarFloatsBesideTheForm) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
  const struct {
    int left, top, floatLeft, floatTop;
  } cases[] = {
      {info.rcWork.left + 200, info.rcWork.top + 100, info.rcWork.left + 150, info.rcWork.top + 100},
      // At the left edge: right of the form instead; above the work area: just inside it.
      {info.rcWork.left, info.rcWork.top - 5, info.rcWork.left + 300 + 10, info.rcWork.top + 10},
  };
  for (const auto& c : cases) {
    form->SetBounds(c.left, c.top, 300, 200);
    TdxBar* bar = manager->AddToolBar(false);
    EXPECT_EQ(bar->FloatLeft(), c.floatLeft) << c.left;
    EXPECT_EQ(bar->FloatTop(), c.floatTop) << c.top;
  }
}

TEST_F(dxBarOperationsTest, ItemsByCategoryAndTheirExchange) {
  TdxBarItem* a = manager->AddButton();
  TdxBarItem* b = manager->AddButton();
  EXPECT_EQ(manager->GetCountByCategory(0), 2);
  EXPECT_EQ(manager->GetItemByCategory(0, 1), b);
  EXPECT_EQ(manager->GetItemByCategory(0, 2), nullptr);
  manager->ExchangeItems(0, 1);
  EXPECT_EQ(manager->GetItemByCategory(0, 0), b);
  EXPECT_EQ(manager->GetItemByCategory(0, 1), a);
}

TEST_F(dxBarOperationsTest, QueuedToolbarsShowAgainAndLeaveTheQueueWhenFreed) {
  TdxBar* first = manager->AddToolBar();
  TdxBar* second = manager->AddToolBar();
  manager->QueueBarRestore(first);  // no queue yet
  EXPECT_EQ(manager->RestoreQueueCount(), 0);
  manager->BeginBarRestoring();
  manager->QueueBarRestore(first);
  manager->QueueBarRestore(first);
  manager->QueueBarRestore(second);
  EXPECT_EQ(manager->RestoreQueueCount(), 2);
  manager->RestoreQueuedBars(nullptr);
  EXPECT_TRUE(first->Visible());
  EXPECT_TRUE(second->Visible());
  EXPECT_EQ(manager->RestoreQueueCount(), 2);
  manager->DeleteToolBar(first, false);
  EXPECT_EQ(manager->RestoreQueueIndexOf(second), 0);
  manager->FreeBarRestoring();
  EXPECT_EQ(manager->RestoreQueueIndexOf(second), -1);
}

// Answers every message box with a fixed button and keeps the flags asked with.
struct TMessageBoxAnswer {
  static inline int Answer = IDCANCEL;
  static inline std::vector<UINT> Flags;
  static int Box(HWND, const String&, const String&, UINT AFlags) {
    Flags.push_back(AFlags);
    return Answer;
  }
  explicit TMessageBoxAnswer(int AAnswer) : previous(SetMessageBoxFunction(&Box)) {
    Answer = AAnswer;
    Flags.clear();
  }
  ~TMessageBoxAnswer() { SetMessageBoxFunction(previous); }
  TMessageBoxFunction previous;
};

TEST_F(dxBarOperationsTest, ConfirmationsAskWithTheirButtonsAndKeepOnRefusal) {
  {
    TMessageBoxAnswer box(IDCANCEL);
    TdxBar* bar = manager->AddToolBar();
    manager->DeleteToolBar(bar, true);
    EXPECT_EQ(manager->Bars()->Count(), 1);
    EXPECT_EQ(box.Flags, (std::vector<UINT>{49}));
  }
  {
    TMessageBoxAnswer box(IDOK);
    manager->DeleteToolBar(manager->Bars()->Items(0), true);
    EXPECT_EQ(manager->Bars()->Count(), 0);
  }
  {
    // Resetting asks as deleting does; OK brings back the designed links.
    TdxBar* bar = manager->AddToolBar();
    TdxBarItem* item = manager->AddButton();
    item->SetName(L"btnOpen");
    bar->ItemLinks()->Add(item);
    manager->SaveDesignedState();
    bar->ItemLinks()->Clear();
    TMessageBoxAnswer box(IDCANCEL);
    manager->ResetToolBar(bar);
    EXPECT_EQ(bar->ItemLinks()->Count(), 0);
    box.Answer = IDOK;
    manager->ResetToolBar(bar);
    EXPECT_EQ(bar->ItemLinks()->Count(), 1);
    EXPECT_EQ(box.Flags, (std::vector<UINT>{49, 49}));
  }
  // Usage data: Yes and No, No the default.
  TMessageBoxAnswer box(IDNO);
  manager->ResetUsageDataWithConfirmation();
  EXPECT_EQ(box.Flags, (std::vector<UINT>{308}));
}

TEST_F(dxBarOperationsTest, RenamingTakesTheConfirmedCaptionOnly) {
  static String typed;
  static std::vector<TdxBarToolbarNameMode> modes;
  modes.clear();
  TScopedHook<TdxBarToolbarNameDialog> dialog{dxBarToolbarNameDialog(),
                                             [](TdxBarManager*, TdxBarToolbarNameMode AMode, String& ACaption) {
                                               modes.push_back(AMode);
                                               if (typed.empty()) return false;
                                               ACaption = typed;
                                               return true;
                                             }};
  TdxBar* bar = manager->AddToolBar(false);
  typed = L"Tools";
  manager->RenameToolBar(bar);
  EXPECT_EQ(bar->Caption(), L"Tools");
  typed.clear();
  manager->RenameToolBar(bar);
  EXPECT_EQ(bar->Caption(), L"Tools");
  EXPECT_EQ(manager->AddToolBar(false, true), nullptr);
  EXPECT_EQ(manager->Bars()->Count(), 1);
  EXPECT_EQ(modes, (std::vector<TdxBarToolbarNameMode>{tnmRename, tnmRename, tnmAdd}));
}

TEST_F(dxBarOperationsTest, DockingDecision) {
  // A dock of its own, registered after the four sides.
  TFakeDock free(dsTop, {});
  manager->RegisterDockControl(&free);
  EXPECT_TRUE(manager->IsSideDock(manager->SideDockControl(dsTop)));
  EXPECT_EQ(manager->SideDockControl(dsTop), manager->Bars()->DockControls(dsTop));
  EXPECT_FALSE(manager->IsSideDock(&free));
  TdxBar* bar = manager->AddToolBar();
  struct TOverturn : TObject {
    int Calls = 0;
    bool LastAnswer = false;
    void Docking(TdxBar*, TdxBarDockingStyle, IdxBarDockControl*, bool& ACanDocking) {
      ++Calls;
      LastAnswer = ACanDocking;
      ACanDocking = true;
    }
  } overturn;
  const struct {
    TdxBarDockingStyles barNot, managerNot;
    bool freeDock, accepts, expected;
  } cases[] = {
      {{}, {}, false, true, true},
      {{dsTop}, {}, false, true, false},
      {{}, {dsTop}, false, true, false},
      // A free-standing dock answers for itself: the manager's NotDocking is for the sides.
      {{}, {dsTop}, true, true, true},
      {{}, {}, true, false, false},
      {{dsTop}, {}, true, true, false},
  };
  for (const auto& c : cases) {
    bar->SetNotDocking(c.barNot);
    manager->SetNotDocking(c.managerNot);
    free.Accepts = c.accepts;
    IdxBarDockControl* dock = c.freeDock ? static_cast<IdxBarDockControl*>(&free) : manager->SideDockControl(dsTop);
    EXPECT_EQ(manager->CanDockBar(bar, dsTop, dock), c.expected) << c.freeDock << c.accepts;
  }
  // OnDocking hears the refusal and may overturn it.
  manager->OnDocking = TdxBarCanDockingEvent::Bind<&TOverturn::Docking>(&overturn);
  EXPECT_TRUE(manager->CanDockBar(bar, dsTop, &free));
  EXPECT_FALSE(overturn.LastAnswer);
  manager->UnregisterDockControl(&free);
}

TEST_F(dxBarOperationsTest, UnregisteredSideDockHidesItsToolbarsAndLeavesItsSlot) {
  TdxBar* top = manager->AddToolBar(false);
  TdxBar* left = manager->AddToolBar(false);
  left->SetDockingStyle(dsLeft);
  IdxBarDockControl* dock = manager->SideDockControl(dsTop);
  manager->UnregisterDockControl(dock);
  EXPECT_FALSE(top->Visible());
  EXPECT_TRUE(left->Visible());
  EXPECT_EQ(manager->Bars()->DockControls(dsTop), nullptr);
  EXPECT_EQ(manager->DockControlCount(), 3);
  TObject::Free(dock->DockControlObject());
}

TEST_F(dxBarOperationsTest, NewItemsJoinTheDefaultCategoryWhereverItStands) {
  manager->Categories()->Clear();
  manager->Categories()->Add(L"File");
  manager->Categories()->Add(LoadResString(&dxSBAR_DEFAULTCATEGORYNAME));
  TdxBarItem* item = manager->AddButton();
  EXPECT_EQ(item->Category(), 1);
  manager->Categories()->Put(1, L"Edit");
  EXPECT_EQ(manager->AddButton()->Category(), 0);
  // The list is refilled, and an unknown category gives none.
  TList list;
  list.Add(item);
  EXPECT_EQ(manager->GetAllItemsByCategory(0, &list), 1);
  EXPECT_EQ(manager->GetAllItemsByCategory(5, &list), 0);
  EXPECT_EQ(list.Count(), 0);
}

// While customizing, a selection moving to another bar takes the old bar's
// selection away: a toolbar deselects, the sub-menu editor's menu closes.
TEST_F(dxBarOperationsTest, SelectionMovingAwayLetsTheOldBarGo) {
  struct TDeselectingBar : TFakeBarControl {
    void DeselectItemControl() override { ++Deselects; }
    int Deselects = 0;
  };
  TScopedHook<TdxBarToolbarControlFactory> windows(
      dxBarToolbarControlFactory(), [](TdxBarManager*, TdxBar*) -> IdxBarControl* { return Make<TDeselectingBar>(); });
  dxBarAddItemClassToRegistry(TdxBarButton::StaticClass(), TTestItemControl::StaticClass());
  TFinally unregister{[] { dxBarRemoveItemClassFromRegistry(TdxBarButton::StaticClass()); }};
  TFakeCustomization customization;
  TScopedHook<IdxBarCustomization*> seam(dxBarCustomization(), &customization);
  TdxBar* bar = manager->AddToolBar(false);
  TdxBarItemLink* onBar = bar->ItemLinks()->Add(manager->AddButton());
  TMenuLinksOwner menu(manager);
  TdxBarItemLink* onMenu = menu.Links->Add(manager->AddButton());
  menu.Links->CreateBarControl();
  onBar->CreateControl();
  onMenu->CreateControl();
  auto* barWindow = static_cast<TDeselectingBar*>(bar->Control());
  ASSERT_NE(barWindow, nullptr);
  manager->Customizing(true);
  manager->SetSelectedItem(onBar->Control());
  manager->SetSelectedItem(onMenu->Control());
  EXPECT_EQ(barWindow->Deselects, 1);
  // Without the sub-menu editor open, a menu keeps its window.
  manager->SetSelectedItem(onBar->Control());
  EXPECT_NE(menu.Links->BarControl(), nullptr);
  manager->SetSelectedItem(onMenu->Control());
  customization.SubMenuEditor = customization.Window();
  manager->SetSelectedItem(nullptr);
  EXPECT_EQ(menu.Links->BarControl(), nullptr);
  EXPECT_EQ(barWindow->Deselects, 2);
  manager->Customizing(false);
  bar->SetVisible(false);
}

// In design mode the form designer names new items and toolbars and says
// which objects of its selection are selected.
TEST(dxBarOperationsDesign, TheDesignerNamesAndSelects) {
  struct TDesignForm : TBarTestForm {
    TDesignForm() : TBarTestForm(nullptr) {}
    using TComponent::SetDesigning;
  };
  static TComponent* selected = nullptr;
  static TComponent* listedOnly = nullptr;
  struct TDesigner : IdxBarDesigner {
    bool CanDeleteComponent(TComponent*) override { return true; }
    TdxBarSelectionStatus GetSelectionStatus(TPersistent* AObject) override {
      return AObject == selected ? ssActiveSelected : ssInactiveSelected;
    }
    void SelectObject(TPersistent*, TdxBarSelectionOperation) override {}
    String UniqueName(const String& ABaseName) override { return ABaseName + L"_designed"; }
    void ShowDefaultEventHandler(TComponent*) override {}
    void GetSelection(TdxObjectList* AList) override {
      AList->Add(listedOnly);
      AList->Add(selected);
    }
  } designer;
  static IdxBarDesigner* current = nullptr;
  current = &designer;
  TScopedHook<TdxBarDesignerLookup> lookup(dxBarDesignerLookup(), [](TdxBarManager*) { return current; });
  TObjectPtr<TDesignForm> form(Make<TDesignForm>());
  TdxBarManager* manager = Make<TdxBarManager>(form.get());
  selected = manager->AddButton();
  listedOnly = manager->AddButton();
  TObjectPtr<TdxObjectList> list(Make<TdxObjectList>());
  manager->FetchSelectedObjects(list.get());
  EXPECT_EQ(list->Count(), 0);  // not designed yet: no designer
  EXPECT_EQ(manager->GetUniqueItemName(TdxBarButton::StaticClass()), L"dxBarButton1");
  form->SetDesigning(true);
  EXPECT_EQ(manager->GetUniqueItemName(TdxBarButton::StaticClass()), L"dxBarButton_designed");
  EXPECT_EQ(manager->GetUniqueToolbarName(L"dxBar"), L"dxBar_designed");
  manager->FetchSelectedObjects(list.get());
  ASSERT_EQ(list->Count(), 1);
  EXPECT_EQ(list->Get(0), selected);
  form->SetDesigning(false);
}

TEST_F(dxBarOperationsTest, OneCustomizationAtATime) {
  TObjectPtr<TBarTestForm> otherForm(Make<TBarTestForm>(nullptr));
  auto* other = Make<TdxBarManager>(otherForm.get());
  manager->Customizing(true);
  other->Customizing(true);
  EXPECT_FALSE(other->IsRunTimeCustomizing());
  EXPECT_TRUE(other->OtherManagerCustomizing());
  manager->Customizing(false);
  other->Customizing(true);
  EXPECT_TRUE(other->IsRunTimeCustomizing());
  other->Customizing(false);
}

}  // namespace

namespace {

// An item that is there but kept out of the customization lists.
class TUnlistedButton : public TdxBarButton {
  DECLARE_CLASS(TUnlistedButton, TdxBarButton)
  explicit TUnlistedButton(TComponent* AOwner) : TdxBarButton(AOwner) {}
  bool IsHiddenFromCategoryLists() override { return true; }
};

TEST_F(dxBarOperationsTest, CategoryListsShowTheVisibleListedItemsAndNamesAreUnique) {
  TdxBarItem* shown = manager->AddButton();
  manager->AddItem(TUnlistedButton::StaticClass());
  manager->AddButton()->SetVisible(ivNever);
  EXPECT_EQ(manager->GetCountByCategory(0), 1);
  EXPECT_EQ(manager->GetItemByCategory(0, 0), shown);
  TList all;
  EXPECT_EQ(manager->GetAllItemsByCategory(0, &all), 3);

  manager->ItemAt(0)->SetName(L"dxBarButton1");
  manager->ItemAt(2)->SetName(L"DXBARBUTTON2");
  EXPECT_EQ(manager->GetUniqueItemName(TdxBarButton::StaticClass()), L"dxBarButton3");
  EXPECT_EQ(manager->ItemAt(3), nullptr);
  EXPECT_EQ(manager->ItemAt(-1), nullptr);
}

// A bar window hearing the mouse tracking.
class TTrackedBarWindow : public TWindowedBarControl, public IcxMouseTrackingCaller {
  DECLARE_CLASS(TTrackedBarWindow, TWindowedBarControl)
  explicit TTrackedBarWindow(TComponent* AOwner) : TWindowedBarControl(AOwner) {}
  void ResetLastMousePos() override { ++Resets; }
  void TrackedMouseLeft() override { ++Lefts; }
  int Resets = 0;
  int Lefts = 0;
};

class dxBarWindowOperationsTest : public dxBarOperationsTest {
 protected:
  void SetUp() override {
    dxBarOperationsTest::SetUp();
    form->SetBounds(0, 0, 400, 300);
    form->Show();
    floating = NewBar(dsNone, 10);
    docked = NewBar(dsTop, 100);
  }
  // The bar windows go with their toolbars, before the form they sit on.
  void TearDown() override {
    for (int i = 0; i < manager->Bars()->Count(); ++i) manager->Bars()->Items(i)->SetVisible(false);
  }
  TdxBar* NewBar(TdxBarDockingStyle AStyle, int ATop) {
    TdxBar* bar = manager->AddToolBar();
    bar->SetDockingStyle(AStyle);
    bar->SetVisible(true);
    auto* window = Window(bar);
    window->SetParent(form.get());
    window->SetBounds(10, ATop, 200, 40);
    window->HandleNeeded();
    return bar;
  }
  static TTrackedBarWindow* Window(TdxBar* ABar) { return dynamic_cast<TTrackedBarWindow*>(ABar->Control()); }
  TScopedHook<TdxBarToolbarControlFactory> factory{
      dxBarToolbarControlFactory(), [](TdxBarManager*, TdxBar*) -> IdxBarControl* {
        return Make<TTrackedBarWindow>(nullptr);
      }};
  TdxBar* floating = nullptr;
  TdxBar* docked = nullptr;
};

TEST_F(dxBarWindowOperationsTest, ModalDialogDisablesTheFloatingToolbarsAndEnablesThemAgain) {
  TdxBar* disabledBefore = NewBar(dsNone, 200);
  EnableWindow(Window(disabledBefore)->Handle(), FALSE);
  manager->DisableFloatingBarWindows();
  EXPECT_FALSE(IsWindowEnabled(Window(floating)->Handle()));
  EXPECT_TRUE(IsWindowEnabled(Window(docked)->Handle()));
  manager->EnableFloatingBarWindows();
  EXPECT_TRUE(IsWindowEnabled(Window(floating)->Handle()));
  EXPECT_FALSE(IsWindowEnabled(Window(disabledBefore)->Handle()));  // not the manager's doing
}

TEST_F(dxBarWindowOperationsTest, OneBarWindowIsTrackedAtATime) {
  TTrackedBarWindow* first = Window(floating);
  TTrackedBarWindow* second = Window(docked);
  manager->StartMouseTracking(first);
  EXPECT_TRUE(manager->IsMouseTrackingControl(first));
  EXPECT_TRUE(cxIsMouseTracking(first));
  manager->StartMouseTracking(first);
  EXPECT_EQ(cxMouseTrackingCount(), 1);
  manager->StartMouseTracking(second);
  EXPECT_EQ(first->Lefts, 1);
  EXPECT_FALSE(cxIsMouseTracking(first));
  EXPECT_TRUE(cxIsMouseTracking(second));
  manager->ReleaseMouseTracking(first);  // not the tracked one
  EXPECT_TRUE(manager->IsMouseTrackingControl(second));
  manager->ReleaseMouseTracking(second);
  EXPECT_FALSE(manager->IsMouseTrackingControl(second));
  EXPECT_EQ(cxMouseTrackingCount(), 0);
}

TEST_F(dxBarWindowOperationsTest, HotTrackingStartsAgainUnderTheMouse) {
  TTrackedBarWindow* under = Window(docked);
  POINT at{50, 20};
  ClientToScreen(under->Handle(), &at);
  SetCursorPos(at.x, at.y);
  PumpQueuedMessages();
  under->Moves.clear();
  manager->RefreshHotTrackUnderMouse(Window(floating));  // another window: nothing
  EXPECT_EQ(under->Resets, 0);
  manager->RefreshHotTrackUnderMouse();
  EXPECT_EQ(under->Resets, 1);
  EXPECT_TRUE(PumpMessagesUntil([&] {
    return std::find(under->Moves.begin(), under->Moves.end(), TPoint(50, 20)) != under->Moves.end();
  }));
}

TEST_F(dxBarOperationsTest, CustomizationFormFollowsCustomizingAndOwnsTheDialogs) {
  static std::vector<bool> shown;
  static TWinControl* open = nullptr;
  shown.clear();
  TScopedHook<TdxBarShowCustomizationForm> show(dxBarShowCustomizationForm(),
                                                [](TdxBarManager*, bool AShow) { shown.push_back(AShow); });
  TScopedHook<TdxBarGetCustomizationForm> get(dxBarGetCustomizationForm(), [] { return open; });
  form->HandleNeeded();
  if (!IsWindowVisible(Application->Handle())) EXPECT_EQ(manager->DialogParentHandle(), form->Handle());
  manager->Customizing(true);
  manager->Customizing(false);
  EXPECT_EQ(shown, (std::vector<bool>{true, false}));
  // Another manager's form is open: no second customization.
  TObjectPtr<TBarTestForm> dialog(Make<TBarTestForm>(nullptr));
  open = dialog.get();
  manager->Customizing(true);
  EXPECT_FALSE(manager->IsRunTimeCustomizing());
  open = nullptr;
  manager->Customizing(true);
  open = dialog.get();
  EXPECT_EQ(manager->DialogParentHandle(), dialog->Handle());
  open = nullptr;
  manager->Customizing(false);
}

}  // namespace

IMPLEMENT_CLASS(TUnlistedButton, TdxBarButton, (ConstructWith<TUnlistedButton, TComponent>))
IMPLEMENT_CLASS(TTrackedBarWindow, TWindowedBarControl, nullptr)
