// Toolbar windows on a real form: docking at the top, hot tracking, pressing
// and clicking with the mouse, and the switch between docked and floating.
#include "bars/controls/dxBarPainter.h"
#include "platform/gui/ExtCtrls.h"
#include "tests/bars/controls/dxBarControlsTestSupport.h"
#include "tests/support/ResizeLog.h"

#include <memory>

TEST_F(TBarWindowTest, ToolbarDocksAtTheTopOfTheForm) {
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库", L"退出系统"});
  TdxBarControl* control = ControlOf(bar);
  ASSERT_NE(control, nullptr);
  ASSERT_TRUE(control->HandleAllocated());
  TdxDockControl* top = Dock(dsTop);
  EXPECT_EQ(GetParent(control->WindowHandle()), top->WindowHandle());
  EXPECT_TRUE(IsWindowVisible(control->WindowHandle()));
  EXPECT_EQ(0, control->Left());
  EXPECT_EQ(0, control->Top());
  // The dock is exactly as thick as its one row, and the row as the toolbar.
  EXPECT_EQ(top->Height(), control->Height());
  EXPECT_EQ(0, top->Top());
  EXPECT_EQ(Form->ClientWidth(), top->Width());
  // Items, two-pixel borders and nothing else: the toolbar is as high as a
  // button plus its border.
  const TdxBarPainter* painter = control->Painter();
  const TRect offsets = painter->GetToolbarContentOffsets(bar, dsTop, false);
  const int button = ButtonControl(bar, 0)->Height();
  EXPECT_EQ(button + offsets.Top + offsets.Bottom, control->Height());
  // Links are laid out left to right in the client area.
  const TRect first = bar->ItemLinks()->Items(0)->ItemRect();
  const TRect second = bar->ItemLinks()->Items(1)->ItemRect();
  EXPECT_EQ(0, first.Left);
  EXPECT_EQ(first.Right, second.Left);
  EXPECT_FALSE(bar->ItemLinks()->Items(2)->ItemRect().IsEmpty());
}

// A form made maximized while hidden lays out its docks before their windows exist: the
// top dock arranges its toolbar and takes its thickness then, so that a control aligned
// under it, whose window is made first, meets only the size it is shown with.
TEST_F(TBarWindowTest, DockTakesItsThicknessBeforeTheWindowsAreMade) {
  auto* panel = Make<TPanel>(Form);
  panel->SetParent(Form);
  panel->SetAlign(alClient);
  panel->SendToBack();
  TResizeLog log;
  panel->OnResize = TNotifyEvent::Bind<&TResizeLog::OnResize>(&log);
  TdxBar* bar = Manager->AddToolBar();
  bar->SetDockingStyle(dsTop);
  TdxBarButton* button = Manager->AddButton();
  button->SetCaption(L"订单查询");
  bar->ItemLinks()->Add(button);
  bar->SetVisible(true);
  TdxDockControl* top = Dock(dsTop);
  top->SetHeight(top->Height() + 5);   // a thickness stored by another machine

  Form->SetWindowState(wsMaximized);
  Form->HandleNeeded();
  EXPECT_FALSE(top->HandleAllocated());
  EXPECT_EQ(top->Height(), ControlOf(bar)->Height());
  Form->Show();
  PumpQueuedMessages();
  ASSERT_TRUE(top->HandleAllocated());
  EXPECT_EQ(top->Height(), ControlOf(bar)->Height());
  const TRect client = Form->ClientRect();
  ASSERT_FALSE(log.Sizes.empty());
  for (const TPoint& size : log.Sizes) EXPECT_EQ(size, TPoint(client.Width(), client.Height() - top->Height()));
  panel->OnResize = nullptr;
}

TEST_F(TBarWindowTest, ButtonsHotTrackPressAndClick) {
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库", L"退出系统"});
  TdxBarControl* control = ControlOf(bar);
  const TPoint exitButton = ScreenCenter(bar, 2);
  MouseMoveTo(exitButton);
  EXPECT_EQ(ButtonControl(bar, 2), control->SelectedControl());
  EXPECT_EQ(0, ButtonControl(bar, 2)->HotPartIndex());
  EXPECT_TRUE(ButtonControl(bar, 2)->DrawsSelected());

  MouseDown(exitButton);
  EXPECT_TRUE(control->IsActive());
  EXPECT_TRUE(control->IsDowned());
  EXPECT_TRUE(Form->Clicks.empty());
  MouseUp(exitButton);
  ASSERT_EQ(1u, Form->Clicks.size());
  EXPECT_EQ(bar->ItemLinks()->Items(2)->Item(), Form->Clicks[0]);
  // The click closes the bar's mode.
  EXPECT_FALSE(control->IsActive());
  EXPECT_EQ(nullptr, dxBarActiveBarControl());

  // Moving to another button moves the hot state with the mouse.
  MouseMoveTo(ScreenCenter(bar, 0));
  EXPECT_EQ(ButtonControl(bar, 0), control->SelectedControl());
  EXPECT_EQ(-1, ButtonControl(bar, 2)->HotPartIndex());
}

// A hovered button asks for its own rectangle only (and the one it takes the hot state from),
// not for the toolbar: the region is read before anything paints it.
TEST_F(TBarWindowTest, HoverInvalidatesOnlyTheButtonsWhoseLookChanges) {
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库", L"退出系统"});
  const HWND wnd = ControlOf(bar)->WindowHandle();
  PumpQueuedMessages();
  auto hoverAt = [&](int AIndex) {
    const TPoint p = ScreenCenter(bar, AIndex);
    SetCursorPos(p.X, p.Y);
    POINT client{p.X, p.Y};
    ScreenToClient(wnd, &client);
    ValidateRect(wnd, nullptr);
    SendMessageW(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    TRect box;
    const int kind = GetUpdateRgn(wnd, region, FALSE);
    GetRgnBox(region, reinterpret_cast<RECT*>(&box));
    DeleteObject(region);
    return kind == NULLREGION ? TRect() : box;
  };
  hoverAt(2);
  PumpQueuedMessages();
  const TRect second = ButtonControl(bar, 1)->ItemBounds(), third = ButtonControl(bar, 2)->ItemBounds();
  ASSERT_GT(second.Left, 0);
  EXPECT_EQ(hoverAt(1), TRect(second.Left, second.Top, third.Right, third.Bottom));
  EXPECT_EQ(hoverAt(1), TRect());   // still over the same button
  PumpQueuedMessages();
}

TEST_F(TBarWindowTest, ReleaseDecidesWhichButtonClicks) {
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库"});
  // Released off the toolbar: nothing clicks.
  MouseMoveTo(ScreenCenter(bar, 0));
  MouseDown(ScreenCenter(bar, 0));
  const TPoint away = Form->ClientToScreen(TPoint(300, 200));
  MouseMoveTo(away);
  MouseUp(away);
  EXPECT_TRUE(Form->Clicks.empty());
  // With the button held the press moves along the toolbar: the button
  // under the release clicks.
  MouseMoveTo(ScreenCenter(bar, 0));
  MouseDown(ScreenCenter(bar, 0));
  MouseMoveTo(ScreenCenter(bar, 1));
  MouseUp(ScreenCenter(bar, 1));
  ASSERT_EQ(1u, Form->Clicks.size());
  EXPECT_EQ(bar->ItemLinks()->Items(1)->Item(), Form->Clicks[0]);
  // A disabled button never becomes hot and never clicks (it may be selected, drawn disabled).
  bar->ItemLinks()->Items(1)->Item()->SetEnabled(false);
  Click(ScreenCenter(bar, 1));
  EXPECT_EQ(1u, Form->Clicks.size());
  EXPECT_EQ(-1, ButtonControl(bar, 1)->HotPartIndex());
  EXPECT_FALSE(ControlOf(bar)->IsActive());
}

TEST_F(TBarWindowTest, ClickHandlerThatFreesTheFormEndsCleanly) {
  struct TFreeingHandler : TObject {
    TBarWindowForm** Form;
    void Click(TObject*) { FreeAndNil(*Form); }
  } handler;
  handler.Form = &Form;
  TdxBar* bar = AddToolbar({L"退出系统"});
  static_cast<TdxBarButton*>(bar->ItemLinks()->Items(0)->Item())->OnClick =
      TNotifyEvent::Bind<&TFreeingHandler::Click>(&handler);
  Click(ScreenCenter(bar, 0));
  EXPECT_EQ(nullptr, Form);
  EXPECT_EQ(nullptr, dxBarActiveBarControl());
}

TEST_F(TBarWindowTest, CheckedButtonTogglesBeforeItsHandlerRuns) {
  TdxBar* bar = AddToolbar({L"五金件"});
  auto* button = static_cast<TdxBarButton*>(bar->ItemLinks()->Items(0)->Item());
  button->SetButtonStyle(bsChecked);
  struct TWatch : TObject {
    TdxBarButton* Button;
    bool SeenDown = false;
    void Click(TObject*) { SeenDown = Button->Down(); }
  } watch;
  watch.Button = button;
  button->OnClick = TNotifyEvent::Bind<&TWatch::Click>(&watch);
  Click(ScreenCenter(bar, 0));
  EXPECT_TRUE(watch.SeenDown);
  EXPECT_TRUE(button->Down());
}

TEST_F(TBarWindowTest, CaptionDoubleClickFloatsAndDocksBack) {
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库"});
  TdxBarControl* docked = ControlOf(bar);
  // The gripper area before the first item moves the toolbar.
  const TPoint grip = docked->ClientToScreen(TPoint(-1, 3));
  MouseMoveTo(grip);
  MouseDown(grip, true);
  PumpQueuedMessages();
  EXPECT_EQ(dsNone, bar->DockingStyle());
  TdxBarControl* floating = ControlOf(bar);
  ASSERT_NE(floating, nullptr);
  ASSERT_TRUE(floating->HandleAllocated());
  const LONG_PTR style = GetWindowLongPtrW(floating->WindowHandle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CHILD);
  EXPECT_TRUE(IsWindowVisible(floating->WindowHandle()));
  EXPECT_EQ(0, Dock(dsTop)->Height());

  // A double click on the floating caption docks it back at the top.
  RECT window;
  GetWindowRect(floating->WindowHandle(), &window);
  const TPoint caption(window.left + 8, window.top + GetSystemMetrics(SM_CYFRAME) + 2);
  MouseMoveTo(caption);
  MouseDown(caption, true);
  PumpQueuedMessages();
  EXPECT_EQ(dsTop, bar->DockingStyle());
  TdxBarControl* again = ControlOf(bar);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(GetParent(again->WindowHandle()), Dock(dsTop)->WindowHandle());
  EXPECT_EQ(again->Height(), Dock(dsTop)->Height());
}

// A drag from the gripper: the toolbar keeps its docked and its floating
// window for the drag, floats where the cursor leaves the docking zones, and
// docks again with the very window it had docked.
TEST_F(TBarWindowTest, DragFloatsTheToolbarAndDocksItBackWithItsKeptWindow) {
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库"});
  TdxBarControl* control = ControlOf(bar);
  const HWND dockedWindow = control->WindowHandle();
  const TPoint grip = control->ClientToScreen(TPoint(-1, 3));
  const TPoint free = Form->ClientToScreen(TPoint(300, 150));
  const TPoint backToTop = Dock(dsTop)->ClientToScreen(TPoint(40, 5));

  struct TStep {
    bool Moving = false;
    HWND Docked = nullptr;
    HWND Floating = nullptr;
    HWND Bound = nullptr;
    TdxBarDockingStyle Style = dsNone;
  } whileDocked, whileFloating;
  auto moveTo = [&](TPoint AScreen) {
    SetCursorPos(AScreen.X, AScreen.Y);
    POINT client{AScreen.X, AScreen.Y};
    ScreenToClient(GetCapture(), &client);
    PostMessageW(GetCapture(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x, client.y));
  };
  auto record = [&](TStep& AStep) {
    AStep = {control->Moving(), control->DockedHandle(), control->FloatingHandle(), control->WindowHandle(),
             control->DockingStyle()};
  };
  std::unique_ptr<TPostedAction> first, second, third;
  MouseMoveTo(grip);
  SetCursorPos(grip.X, grip.Y);
  const TPoint gripClient = control->ScreenToClient(grip);
  PostMessageW(control->WindowHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(gripClient.X, gripClient.Y));
  // Runs inside the drag's own loop, which dispatches what was posted after the press.
  first = std::make_unique<TPostedAction>([&] {
    record(whileDocked);
    moveTo(free);
    second = std::make_unique<TPostedAction>([&] {
      record(whileFloating);
      moveTo(backToTop);
      // A floating toolbar docks once the docking delay has passed.
      third = std::make_unique<TPostedAction>([&] {
        dxBarDockingTimerFired();
        PostMessageW(GetCapture(), WM_LBUTTONUP, 0, 0);
      });
    });
  });
  THangGuard guard([] { PostMessageW(GetCapture(), WM_LBUTTONUP, 0, 0); });
  PumpQueuedMessages();
  ASSERT_FALSE(guard.Fired());

  EXPECT_TRUE(whileDocked.Moving);
  EXPECT_EQ(dockedWindow, whileDocked.Docked);
  EXPECT_NE(nullptr, whileDocked.Floating);
  EXPECT_EQ(dockedWindow, whileDocked.Bound);
  EXPECT_EQ(dsNone, whileFloating.Style);
  EXPECT_EQ(whileDocked.Floating, whileFloating.Bound);  // the kept floating window is taken over
  // Back in the top dock with the window it started with; the floating one is gone.
  EXPECT_FALSE(control->Moving());
  EXPECT_EQ(dsTop, control->DockingStyle());
  EXPECT_EQ(dsTop, bar->DockingStyle());
  EXPECT_EQ(dockedWindow, control->WindowHandle());
  EXPECT_EQ(GetParent(dockedWindow), Dock(dsTop)->WindowHandle());
  EXPECT_FALSE(IsWindow(whileDocked.Floating));
  EXPECT_EQ(control->Height(), Dock(dsTop)->Height());
}

TEST_F(TBarWindowTest, HoveredBarThatMovesKeepsItsHotButtonWhileTheMouseStaysOnIt) {
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库"});
  TdxBarControl* control = ControlOf(bar);
  MouseMoveTo(ScreenCenter(bar, 1));
  ASSERT_EQ(ButtonControl(bar, 1), control->SelectedControl());
  // The dock lays the bar out anew somewhere else, and the mouse follows it there: the
  // watch over the bar's window checks where the window is now, not where it was.
  SetWindowPos(control->WindowHandle(), nullptr, control->Left() + 150, control->Top() + 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  MouseMoveTo(ScreenCenter(bar, 1));
  EXPECT_EQ(ButtonControl(bar, 1), control->SelectedControl());
  MouseMoveTo(Form->ClientToScreen(TPoint(300, 250)));
  EXPECT_EQ(nullptr, control->SelectedControl());
}
