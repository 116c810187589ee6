// Dock controls on a real form: toolbars placed by their rows and positions,
// free-standing docks, the manager's dock colour and border, the dock's own
// mouse messages, and the drag of a toolbar with real mouse messages.
#include "bars/controls/dxBarPainter.h"
#include "bars/model/dxBarItemActions.h"
#include "platform/gui/ActnList.h"
#include "tests/bars/controls/dxBarControlsTestSupport.h"
#include "tests/bars/controls/dxBarPaintDib.h"

#include <memory>

namespace {

class TDockTest : public TBarWindowTest {
 protected:
  TRect Bounds(TdxBar* ABar) { return ControlOf(ABar)->BoundsRect(); }
  HWND Window(TdxBar* ABar) { return ControlOf(ABar)->WindowHandle(); }
  TdxBarDockControl* AddFreeDock(TdxBarDockAlign AAlign) {
    auto* dock = Make<TdxBarDockControl>(Form);
    dock->SetParent(Form);
    dock->SetAlign(AAlign);
    dock->SetBarManager(Manager);
    return dock;
  }
};

// Records what the docks ask of the design controller.
struct TFakeDesignController : IdxBarDesignController {
  int ToolbarsPopups = 0;
  int MovingChanges = 0;
  TdxBarItemLink* CustomizingItemLink() override { return nullptr; }
  IdxBarSelectableItem* LastSelectedItem() override { return nullptr; }
  void DropSelection(IdxBarSelectableItem*) override {}
  void SynchronizeLastSelectedItem() override {}
  TdxBarItemLink* DesignSelectedLink(TdxBarManager*) override { return nullptr; }
  bool HasQuickControl() override { return false; }
  void SetMoving(bool) override { ++MovingChanges; }
  void SelectionChanged(TObject*) override {}
  void ShowToolbarsPopup(TdxBarManager*, const TdxBarPainter*) override { ++ToolbarsPopups; }
};

}  // namespace

TEST_F(TDockTest, RowAndPositionSettersMoveTheWindows) {
  TdxBar* a = AddToolbar({L"订单查询", L"材料库"});
  TdxBar* b = AddToolbar({L"退出系统"});
  TdxDockControl* top = Dock(dsTop);
  b->SetRow(0);
  ASSERT_EQ(top->RowCount(), 1);
  EXPECT_EQ(Bounds(a).Top, Bounds(b).Top);
  // Both were stored at the row's start: the one inserted later goes first.
  EXPECT_EQ(Bounds(a).Left, Bounds(b).Right);
  b->SetDockedLeft(300);
  EXPECT_EQ(Bounds(b).Left, 300);
  EXPECT_EQ(b->DockedLeft(), 300);
  // Row 3 of a dock with one row, outside an update: one new row.
  b->SetRow(3);
  EXPECT_EQ(top->RowCount(), 2);
  EXPECT_EQ(b->Row(), 1);
  EXPECT_EQ(Bounds(b).Top, Bounds(a).Bottom);
  EXPECT_EQ(top->Height(), Bounds(a).Height() + Bounds(b).Height());
  // Inside an update the rows are made up to the index.
  TdxBar* c = AddToolbar({L"刀具"});
  TdxBar* d = AddToolbar({L"板材"});
  Manager->BeginUpdate();
  d->SetRow(3);
  EXPECT_EQ(d->Row(), 3);
  EXPECT_EQ(top->RowCount(), 4);
  // A corrupt row number makes no more rows than the manager has toolbars.
  c->SetRow(1000000000);
  EXPECT_EQ(top->RowCount(), 4);
  EXPECT_EQ(c->Row(), 3);
  Manager->EndUpdate();
  EXPECT_EQ(c->DockingStyle(), dsTop);
  EXPECT_EQ(b->GetControlClass(), TdxBarControl::StaticClass());
}

TEST_F(TDockTest, MoveDocksNextToAnotherToolbarOrAtARowAndPlace) {
  TdxBar* a = AddToolbar({L"订单查询", L"材料库"});
  TdxBar* b = AddToolbar({L"退出系统"}, dsLeft);
  b->Move(a, true);
  EXPECT_EQ(b->DockingStyle(), dsTop);
  EXPECT_EQ(b->Row(), a->Row());
  EXPECT_FALSE(b->OneOnRow());
  EXPECT_EQ(Bounds(b).Left, Bounds(a).Right);
  EXPECT_EQ(Bounds(b).Top, Bounds(a).Top);
  b->Move(dsBottom, 0, 120);
  EXPECT_EQ(b->DockingStyle(), dsBottom);
  EXPECT_EQ(GetParent(Window(b)), Dock(dsBottom)->WindowHandle());
  EXPECT_EQ(Bounds(b).Left, 120);
  EXPECT_EQ(Dock(dsBottom)->Height(), Bounds(b).Height());
  // A floating toolbar goes nowhere without a dock.
  b->Move(300, 200);
  b->Move(static_cast<IdxBarDockControl*>(nullptr), 0, 10);
  EXPECT_EQ(b->DockingStyle(), dsNone);
}

// Each setter refreshes what its toolbar shows.
TEST_F(TDockTest, SettersRefreshTheWindow) {
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库"});
  const HWND wnd = Window(bar);
  const struct {
    const char* Name;
    std::function<void()> Set;
  } cases[] = {
      {"ShowMark", [&] { bar->SetShowMark(false); }},
      {"Color", [&] { bar->SetColor(clRed); }},
      {"BorderStyle", [&] { bar->SetBorderStyle(bbsNone); }},
      {"UseRestSpace", [&] { bar->SetUseRestSpace(true); }},
      {"NotDocking", [&] { bar->SetNotDocking({dsBottom}); }},
      {"RotateWhenVertical", [&] { bar->SetRotateWhenVertical(false); }},
      {"MultiLine", [&] { bar->SetMultiLine(true); }},
  };
  for (const auto& c : cases) {
    PumpQueuedMessages();
    ValidateRect(wnd, nullptr);
    c.Set();
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(wnd, &update, FALSE)) << c.Name;
  }
  bar->SetCaption(L"工具");
  wchar_t text[32]{};
  GetWindowTextW(wnd, text, 32);
  EXPECT_STREQ(text, L"工具");
  bar->Move(200, 200);
  TdxBarControl* floating = ControlOf(bar);
  bar->SetAlphaBlendValue(128);
  EXPECT_TRUE(GetWindowLongPtrW(floating->WindowHandle(), GWL_EXSTYLE) & WS_EX_LAYERED);
  bar->SetAlphaBlendValue(255);
  EXPECT_FALSE(GetWindowLongPtrW(floating->WindowHandle(), GWL_EXSTYLE) & WS_EX_LAYERED);
  bar->SetFloatLeft(250);
  EXPECT_EQ(floating->Left(), 250);
}

TEST_F(TDockTest, NeverDockedToolbarDocksInANewLastRow) {
  TdxBar* first = AddToolbar({L"订单查询"});
  TdxBar* bar = AddToolbar({L"退出系统"}, dsNone);
  bar->SetDockedDockingStyle(dsNone);
  bar->ToggleDocking();
  EXPECT_EQ(bar->DockingStyle(), dsTop);
  EXPECT_EQ(bar->Row(), 1);
  EXPECT_EQ(Bounds(bar).Top, Bounds(first).Bottom);
  bar->ToggleDocking();
  EXPECT_EQ(bar->DockingStyle(), dsNone);
  // Back where it was docked last.
  bar->ToggleDocking();
  EXPECT_EQ(bar->DockingStyle(), dsTop);
}

// A dock's action pass updates the actions of the items on its own visible
// toolbars only.
TEST_F(TDockTest, ActionPassUpdatesTheItemsOfItsVisibleToolbars) {
  struct TUpdater : TObject {
    int Calls = 0;
    void Update(TObject* ASender) {
      ++Calls;
      static_cast<TAction*>(ASender)->SetEnabled(false);
    }
  } onTop, onLeft;
  auto actionFor = [&](TdxBar* ABar, TUpdater* AUpdater) {
    auto* action = Make<TAction>(Form);
    action->SetCaption(L"生产排程");
    action->OnUpdate = TNotifyEvent::Bind<&TUpdater::Update>(AUpdater);
    TdxBarItem* item = ABar->ItemLinks()->Items(0)->Item();
    item->SetAction(action);
    return item;
  };
  TdxBarItem* top = actionFor(AddToolbar({L"订单查询"}), &onTop);
  TdxBarItem* left = actionFor(AddToolbar({L"材料库"}, dsLeft), &onLeft);
  onTop.Calls = onLeft.Calls = 0;
  Dock(dsTop)->InitiateAction();
  EXPECT_GE(onTop.Calls, 1);
  EXPECT_FALSE(top->Enabled());
  EXPECT_EQ(onLeft.Calls, 0) << "another dock's toolbar is not this dock's business";
  EXPECT_TRUE(left->Enabled());
}

TEST_F(TDockTest, FreeStandingDockTakesToolbarsAndFollowsItsAlignment) {
  TdxBarDockControl* dock = AddFreeDock(dalBottom);
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库"});
  EXPECT_EQ(dock->Height(), 0);
  bar->SetDockControl(dock);
  EXPECT_EQ(bar->DockControl(), dock);
  EXPECT_EQ(bar->DockingStyle(), dsBottom);
  EXPECT_EQ(bar->RealDockControl(), dock);
  ASSERT_NE(ControlOf(bar), nullptr);
  EXPECT_EQ(GetParent(Window(bar)), dock->WindowHandle());
  EXPECT_EQ(dock->Height(), Bounds(bar).Height());
  EXPECT_EQ(Dock(dsTop)->RowCount(), 0);
  dock->SetAlign(dalLeft);
  EXPECT_EQ(dock->DockingStyle(), dsLeft);
  EXPECT_EQ(ControlOf(bar)->DockingStyle(), dsLeft);
  EXPECT_EQ(dock->Width(), Bounds(bar).Width());
  // A dock that does not allow docking refuses the toolbar.
  dock->SetAllowDocking(false);
  EXPECT_FALSE(Manager->CanDockBar(bar, dsLeft, dock));
  // A dock that goes hides its toolbars and is forgotten.
  TObject::Free(dock);
  EXPECT_FALSE(bar->Visible());
  EXPECT_EQ(bar->DockControl(), nullptr);
}

TEST_F(TDockTest, DocksPaintTheManagersDockColourOrTheirOwn) {
  AddToolbar({L"订单查询"});
  TdxBarDockControl* free = AddFreeDock(dalBottom);
  AddToolbar({L"退出系统"})->SetDockControl(free);
  TdxDockControl* top = Dock(dsTop);
  auto paintedColor = [](TdxDockControl* ADock) {
    TPaintDib dib(8, 8);
    ADock->FillBackground(dib.DC(), TRect(0, 0, 8, 8), TRect(0, 0, 8, 8), nullptr, ADock->Color());
    return dib.ColorsIn(TRect(0, 0, 8, 8));
  };
  Manager->SetDockColor(clRed);
  EXPECT_EQ(top->Color(), clRed);
  EXPECT_EQ(paintedColor(top), std::set<COLORREF>{RGB(255, 0, 0)});
  EXPECT_EQ(free->Color(), clRed);
  free->SetColor(clBlue);
  EXPECT_TRUE(free->UseOwnColor());
  Manager->SetDockColor(clLime);
  EXPECT_EQ(paintedColor(free), std::set<COLORREF>{RGB(0, 0, 255)});
  EXPECT_EQ(top->Color(), clLime);
  free->SetUseOwnColor(false);
  EXPECT_EQ(free->Color(), clLime);
  Manager->SetAutoDockColor(true);
  EXPECT_TRUE(top->ParentColor());
  EXPECT_EQ(top->Color(), Form->Color());
}

TEST_F(TDockTest, OwnBackgroundPictureIsTiledFromTheOrigin) {
  AddToolbar({L"订单查询"});
  TdxDockControl* top = Dock(dsTop);
  TObjectPtr<TBitmap> picture(Make<TBitmap>());
  picture->SetSize(2, 1);
  SetPixel(picture->Canvas()->Handle(), 0, 0, RGB(255, 0, 0));
  SetPixel(picture->Canvas()->Handle(), 1, 0, RGB(0, 0, 255));
  top->SetBackgroundBitmap(picture.get());
  EXPECT_TRUE(top->HasCustomBackground());
  EXPECT_TRUE(top->DoubleBuffered());
  TPaintDib dib(6, 2);
  top->FillBackground(dib.DC(), TRect(1, 0, 6, 2), TRect(1, 0, 6, 2), nullptr, clDefault);
  EXPECT_EQ(dib.At(0, 0), kMarker);
  EXPECT_EQ(dib.At(1, 0), RGB(255, 0, 0));
  EXPECT_EQ(dib.At(2, 1), RGB(0, 0, 255));
  EXPECT_EQ(dib.At(5, 0), RGB(255, 0, 0));
  top->SetBackgroundBitmap(nullptr);
  EXPECT_FALSE(top->DoubleBuffered());
}

TEST_F(TDockTest, SunkenBorderTakesAPixelOnEverySide) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  TdxDockControl* top = Dock(dsTop);
  const int rows = Bounds(bar).Height();
  Manager->SetSunkenBorder(true);
  EXPECT_EQ(top->Height(), rows + 2);
  EXPECT_EQ(top->ClientHeight(), rows);
  EXPECT_EQ(top->ClientWidth(), top->Width() - 2);
  // The border lies on the outermost ring only.
  TPaintDib dib(top->Width(), top->Height());
  top->DrawBorder(dib.DC());
  EXPECT_NE(dib.At(0, 0), kMarker);
  EXPECT_NE(dib.At(top->Width() - 1, top->Height() - 1), kMarker);
  EXPECT_NE(dib.At(top->Width() / 2, top->Height() - 1), kMarker);
  EXPECT_EQ(dib.ColorsIn(TRect(1, 1, top->Width() - 1, top->Height() - 1)), std::set<COLORREF>{kMarker});
  // A free-standing dock keeps a border of its own once it has one.
  TdxBarDockControl* free = AddFreeDock(dalBottom);
  EXPECT_TRUE(free->SunkenBorder());
  free->SetUseOwnSunkenBorder(true);
  Manager->SetSunkenBorder(false);
  EXPECT_TRUE(free->SunkenBorder());
  free->SetUseOwnSunkenBorder(false);
  EXPECT_FALSE(free->SunkenBorder());
  EXPECT_EQ(top->Height(), rows);
}

TEST_F(TDockTest, DoubleAndRightClickOnTheDock) {
  AddToolbar({L"订单查询"});
  TdxDockControl* top = Dock(dsTop);
  TFakeDesignController controller;
  dxBarDesignControllerSlot() = &controller;
  SendMessageW(top->WindowHandle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(300, 2));
  EXPECT_EQ(controller.ToolbarsPopups, 1);
  Manager->SetCanCustomize(false);
  SendMessageW(top->WindowHandle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(300, 2));
  EXPECT_FALSE(Manager->IsRunTimeCustomizing());
  Manager->SetCanCustomize(true);
  SendMessageW(top->WindowHandle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(300, 2));
  EXPECT_TRUE(Manager->IsRunTimeCustomizing());
  // While customizing the right button opens nothing.
  SendMessageW(top->WindowHandle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(300, 2));
  EXPECT_EQ(controller.ToolbarsPopups, 1);
  Manager->Customizing(false);
  dxBarDesignControllerSlot() = nullptr;
}

// ---------------------------------------------------------------------------
// The drag, with the messages the drag loop reads
// ---------------------------------------------------------------------------

namespace {

class TDragTest : public TDockTest {
 protected:
  void SetUp() override {
    TDockTest::SetUp();
    // The docking delay never passes by itself: the tests fire it.
    Manager->SetWaitForDockingTime(1000000);
  }
  void TearDown() override {
    dxBarDesignControllerSlot() = nullptr;
    TDockTest::TearDown();
  }
  // Posts a mouse move to the capture window (the form) as the system would.
  void PostMove(TPoint AScreen) {
    SetCursorPos(AScreen.X, AScreen.Y);
    POINT client{AScreen.X, AScreen.Y};
    ScreenToClient(Form->Handle(), &client);
    PostMessageW(Form->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x, client.y));
  }
  // Runs the drag of the toolbar's window from a screen point, grabbed there.
  void Drag(TdxBar* ABar, TPoint AFrom) {
    TdxBarControl* control = ControlOf(ABar);
    SetCursorPos(AFrom.X, AFrom.Y);
    RECT window;
    GetWindowRect(control->WindowHandle(), &window);
    control->RX = TPoint(AFrom.X - window.left, window.right - window.left);
    control->RY = TPoint(AFrom.Y - window.top, window.bottom - window.top);
    THangGuard guard([] { PostMessageW(GetCapture(), WM_LBUTTONUP, 0, 0); });
    dxBarRunToolbarDragLoop(control);
    ASSERT_FALSE(guard.Fired());
  }
  // Runs the step from inside the drag loop, in the order it was posted.
  void During(std::function<void()> AStep) { FSteps.push_back(std::make_unique<TPostedAction>(std::move(AStep))); }
  TPoint FormPoint(int X, int Y) { return Form->ClientToScreen(TPoint(X, Y)); }
  TPoint Grip(TdxBar* ABar) { return ControlOf(ABar)->ClientToScreen(TPoint(-1, 3)); }

 private:
  std::vector<std::unique_ptr<TPostedAction>> FSteps;
};

}  // namespace

TEST_F(TDragTest, DockedToolbarFloatsAndEscapeLeavesItThere) {
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库"});
  TFakeDesignController controller;
  dxBarDesignControllerSlot() = &controller;
  const TPoint grip = Grip(bar);
  TdxBarDockingStyle during = dsTop;
  bool moving = false;
  PostMove(FormPoint(300, 150));
  During([&] {
    during = bar->Control() ? ControlOf(bar)->DockingStyle() : dsTop;
    moving = Manager->Bars()->IsMoving();
  });
  PostMessageW(Form->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  Drag(bar, grip);
  EXPECT_TRUE(moving);
  EXPECT_EQ(during, dsNone);
  EXPECT_FALSE(Manager->Bars()->IsMoving());
  EXPECT_EQ(controller.MovingChanges, 2);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(bar->DockingStyle(), dsNone);
  TdxBarControl* control = ControlOf(bar);
  EXPECT_FALSE(control->Moving());
  // The window's grab point is where the cursor was let go.
  RECT window;
  GetWindowRect(control->WindowHandle(), &window);
  EXPECT_EQ(bar->FloatLeft(), window.left);
  EXPECT_EQ(Dock(dsTop)->Height(), 0);
}

TEST_F(TDragTest, FloatingToolbarDocksOnlyOnceTheDelayPasses) {
  TdxBar* bar = AddToolbar({L"订单查询"}, dsNone);
  bar->Move(FormPoint(200, 150).X, FormPoint(200, 150).Y);
  PumpQueuedMessages();
  RECT window;
  GetWindowRect(Window(bar), &window);
  const TPoint grip(window.left + 4, window.top + 4);
  const TPoint overTop = FormPoint(120, 5);
  TdxBarDockingStyle afterMoves = dsTop;
  bool pending = false;
  // Continuous movement over the dock keeps the toolbar floating.
  PostMove(FormPoint(110, 6));
  PostMove(overTop);
  TdxBarDockingStyle afterDelay = dsNone;
  During([&] {
    afterMoves = ControlOf(bar)->DockingStyle();
    pending = dxBarDockingDelayPending();
    SetCursorPos(overTop.X, overTop.Y);  // where the mouse rests
    dxBarDockingTimerFired();
    afterDelay = ControlOf(bar)->DockingStyle();
  });
  PostMessageW(Form->Handle(), WM_LBUTTONUP, 0, 0);
  Drag(bar, grip);
  EXPECT_EQ(afterMoves, dsNone);
  EXPECT_TRUE(pending);
  EXPECT_EQ(afterDelay, dsTop);
  EXPECT_FALSE(dxBarDockingDelayPending());
  EXPECT_EQ(bar->DockingStyle(), dsTop);
  EXPECT_EQ(GetParent(Window(bar)), Dock(dsTop)->WindowHandle());
  EXPECT_EQ(Dock(dsTop)->Height(), Bounds(bar).Height());
}

TEST_F(TDragTest, ReleasedBeforeTheDelayTheToolbarStaysFloating) {
  TdxBar* bar = AddToolbar({L"订单查询"}, dsNone);
  bar->Move(FormPoint(200, 150).X, FormPoint(200, 150).Y);
  PumpQueuedMessages();
  RECT window;
  GetWindowRect(Window(bar), &window);
  PostMove(FormPoint(120, 5));
  PostMessageW(Form->Handle(), WM_LBUTTONUP, 0, 0);
  Drag(bar, TPoint(window.left + 4, window.top + 4));
  EXPECT_FALSE(dxBarDockingDelayPending());
  EXPECT_EQ(bar->DockingStyle(), dsNone);
}

TEST_F(TDragTest, CtrlKeepsTheToolbarFloatingAndItsChangeCountsAsAMove) {
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库"});
  bar->SetDockedLeft(200);  // away from the left dock's zone
  const TPoint grip = Grip(bar);
  TdxBarDockingStyle withCtrl = dsTop, afterCtrl = dsNone;
  bool pending = false;
  // Ctrl goes down over the dock: the toolbar floats at once, without a move;
  // it goes up: the toolbar waits to dock again.
  PostMessageW(Form->Handle(), WM_KEYDOWN, VK_CONTROL, 0);
  During([&] { withCtrl = ControlOf(bar)->DockingStyle(); });
  PostMessageW(Form->Handle(), WM_KEYUP, VK_CONTROL, 0);
  During([&] {
    pending = dxBarDockingDelayPending();
    dxBarDockingTimerFired();
    afterCtrl = ControlOf(bar)->DockingStyle();
    PostMessageW(Form->Handle(), WM_LBUTTONUP, 0, 0);
  });
  Drag(bar, grip);
  EXPECT_EQ(withCtrl, dsNone);
  EXPECT_TRUE(pending);
  EXPECT_EQ(afterCtrl, dsTop);
  EXPECT_EQ(bar->DockingStyle(), dsTop);
}

TEST_F(TDragTest, QuitMessageEndsTheDragAndIsPostedAgain) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  PostQuitMessage(7);
  Drag(bar, Grip(bar));
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_FALSE(Manager->Bars()->IsMoving());
  EXPECT_EQ(bar->DockingStyle(), dsTop);
}
