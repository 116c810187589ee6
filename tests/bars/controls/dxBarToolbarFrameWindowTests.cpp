// The frame of toolbar windows driven by real messages: the floating
// toolbar's close button with its capture loop, resizing by the edges,
// keeping it on the screen, the mark's hint timer, the MDI area's close
// button, keys that move between toolbars and click by accelerator, fonts,
// a window destroyed from outside, popup toolbars, and pixels of vertical
// captions and of the floating frame.
#include "bars/controls/dxBarPainter.h"
#include "bars/controls/dxBarToolbarFrame.h"
#include "bars/model/dxBarCaptionButtons.h"
#include "bars/model/dxBarHints.h"
#include "tests/bars/controls/dxBarControlsTestSupport.h"
#include "tests/bars/controls/dxBarPaintDib.h"
#include "platform/gui/StdCtrls.h"

#include <memory>
#include <set>

namespace {

TPoint Center(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }

TRect WindowRect(HWND AWnd) {
  RECT r{};
  GetWindowRect(AWnd, &r);
  return TRect(r.left, r.top, r.right, r.bottom);
}

// A point given in a toolbar window's coordinates, on the screen.
TPoint ScreenOf(TdxBarControl* AControl, TPoint AWindowPoint) {
  const TRect r = WindowRect(AControl->WindowHandle());
  return TPoint(r.Left + AWindowPoint.X, r.Top + AWindowPoint.Y);
}

// Keys held down for the thread while the object lives.
class THeldKeys {
 public:
  explicit THeldKeys(std::initializer_list<BYTE> AKeys) {
    GetKeyboardState(FSaved);
    BYTE keys[256];
    GetKeyboardState(keys);
    for (BYTE key : AKeys) keys[key] = 0x80;
    SetKeyboardState(keys);
  }
  ~THeldKeys() { SetKeyboardState(FSaved); }

 private:
  BYTE FSaved[256];
};

class TToolbarFrameTest : public TBarWindowTest {
 protected:
  // A floating toolbar at a screen place, as wide as its items in one row.
  TdxBar* AddFloating(std::initializer_list<const wchar_t*> ACaptions, TPoint APlace = TPoint(300, 300)) {
    // The form shows first: its floating toolbar then lies above it.
    if (!Form->Visible()) Form->Show();
    PumpQueuedMessages();
    TdxBar* bar = Manager->AddToolBar();
    bar->SetFloatLeft(APlace.X);
    bar->SetFloatTop(APlace.Y);
    bar->SetFloatClientWidth(400);
    bar->SetDockingStyle(dsNone);
    for (const wchar_t* caption : ACaptions) {
      TdxBarButton* button = Manager->AddButton();
      button->SetCaption(caption);
      button->OnClick = TNotifyEvent::Bind<&TBarWindowForm::ButtonClick>(Form);
      bar->ItemLinks()->Add(button);
    }
    bar->SetVisible(true);
    PumpQueuedMessages();
    return bar;
  }
  // What the system does before a mouse message: it asks the window what
  // lies under the cursor.
  static LRESULT HitTest(TdxBarControl* AControl, TPoint AScreen) {
    SetCursorPos(AScreen.X, AScreen.Y);
    return SendMessageW(AControl->WindowHandle(), WM_NCHITTEST, 0, MAKELPARAM(AScreen.X, AScreen.Y));
  }
  // Posts a mouse message at a screen point in the window's client coordinates.
  static void PostMouse(TdxBarControl* AControl, UINT AMessage, TPoint AScreen, WPARAM AKeys = 0) {
    SetCursorPos(AScreen.X, AScreen.Y);
    const TPoint client = AControl->ScreenToClient(AScreen);
    PostMessageW(AControl->WindowHandle(), AMessage, AKeys,
                 MAKELPARAM(static_cast<WORD>(client.X), static_cast<WORD>(client.Y)));
  }
  // A press as the system delivers it: hit test, then the button message.
  static void Press(TdxBarControl* AControl, TPoint AScreen) {
    HitTest(AControl, AScreen);
    PostMouse(AControl, WM_LBUTTONDOWN, AScreen, MK_LBUTTON);
  }
  std::set<int> RowTops(TdxBar* ABar) {
    std::set<int> tops;
    for (int i = 0; i < ABar->ItemLinks()->Count(); ++i) tops.insert(ABar->ItemLinks()->Items(i)->ItemRect().Top);
    return tops;
  }
};

struct TBarCloseWatch : TObject {
  std::vector<TdxBar*> Closed;
  int CloseButtonClicks = 0;
  void BarClose(TdxBarManager*, TdxBar* ABar) { Closed.push_back(ABar); }
  void CloseButtonClick(TObject*) { ++CloseButtonClicks; }
};

}  // namespace

TEST_F(TToolbarFrameTest, FloatingFrameAnswersResizeEdgesCaptionAndCloseButton) {
  TdxBar* bar = AddFloating({L"订单查询", L"材料库"});
  TdxBarControl* control = ControlOf(bar);
  const TRect window = WindowRect(control->WindowHandle());
  EXPECT_EQ(HTTOP, HitTest(control, TPoint(window.Left + 40, window.Top)));
  EXPECT_EQ(HTLEFT, HitTest(control, TPoint(window.Left, window.Top + window.Height() / 2)));
  EXPECT_EQ(HTRIGHT, HitTest(control, TPoint(window.Right - 1, window.Top + window.Height() / 2)));
  EXPECT_EQ(HTBOTTOM, HitTest(control, TPoint(window.Left + 40, window.Bottom - 1)));
  const TRect caption = control->ClientToWindowRect(control->GetCaptionRect());
  EXPECT_EQ(HTCLIENT, HitTest(control, ScreenOf(control, TPoint(caption.Left + 3, caption.Top + 3))));
  EXPECT_EQ(HTCAPTION, control->HitTest());
  EXPECT_EQ(HTCLIENT, HitTest(control, ScreenOf(control, Center(control->GetCloseButtonWindowRect()))));
  EXPECT_EQ(HTCLOSE, control->HitTest());
  EXPECT_EQ(HTCLIENT, HitTest(control, ScreenCenter(bar, 0)));
  EXPECT_EQ(0, control->HitTest()) << "a press on an item is the item's";
}

TEST_F(TToolbarFrameTest, CloseButtonClosesOnlyWhenReleasedOverIt) {
  TdxBar* bar = AddFloating({L"订单查询", L"材料库"});
  TdxBarControl* control = ControlOf(bar);
  TBarCloseWatch watch;
  Manager->OnBarClose = TdxBarEvent::Bind<&TBarCloseWatch::BarClose>(&watch);
  const TPoint close = ScreenOf(control, Center(control->GetCloseButtonWindowRect()));
  const TPoint away = ScreenCenter(bar, 0);

  // Pressed, then dragged off and released elsewhere: the bar stays.
  TdxBarMarkState whilePressed = msNone, whileAway = msNone;
  std::unique_ptr<TPostedAction> first, second;
  Press(control, close);
  first = std::make_unique<TPostedAction>([&] {
    whilePressed = control->CloseButtonState();
    PostMouse(control, WM_MOUSEMOVE, away, MK_LBUTTON);
    second = std::make_unique<TPostedAction>([&] {
      whileAway = control->CloseButtonState();
      PostMouse(control, WM_LBUTTONUP, away);
    });
  });
  PumpQueuedMessages();
  EXPECT_EQ(msPressed, whilePressed);
  EXPECT_EQ(msSelected, whileAway) << "held away from the button";
  EXPECT_TRUE(bar->Visible());
  EXPECT_TRUE(watch.Closed.empty());
  EXPECT_EQ(nullptr, GetCapture());
  EXPECT_EQ(msNone, control->CloseButtonState());

  // Released over it: the toolbar hides and the manager tells.
  Press(control, close);
  PostMouse(control, WM_LBUTTONUP, close);
  PumpQueuedMessages();
  EXPECT_FALSE(bar->Visible());
  EXPECT_EQ(nullptr, ControlOf(bar));
  ASSERT_EQ(1u, watch.Closed.size());
  EXPECT_EQ(bar, watch.Closed[0]);
  Manager->OnBarClose = nullptr;
}

TEST_F(TToolbarFrameTest, QuitRequestDuringTheCloseButtonLoopStillEndsTheOuterLoop) {
  TdxBar* bar = AddFloating({L"订单查询"});
  TdxBarControl* control = ControlOf(bar);
  Press(control, ScreenOf(control, Center(control->GetCloseButtonWindowRect())));
  TPostedAction quit([] { PostQuitMessage(7); });
  bool quitSeen = false;
  WPARAM code = 0;
  MSG msg;
  for (int i = 0; i < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    if (msg.message == WM_QUIT) {
      quitSeen = true;
      code = msg.wParam;
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  EXPECT_TRUE(quit.Ran());
  EXPECT_TRUE(quitSeen);
  EXPECT_EQ(7u, code);
  EXPECT_TRUE(bar->Visible()) << "the quit request is no release";
  EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(TToolbarFrameTest, DraggingAnEdgeRewrapsTheItems) {
  TdxBar* bar = AddFloating({L"订单查询", L"材料库", L"五金件", L"退出系统"});
  TdxBarControl* control = ControlOf(bar);
  const HWND wnd = control->WindowHandle();
  const TRect before = WindowRect(wnd);
  ASSERT_EQ(1u, RowTops(bar).size());

  // The right edge dragged to half the width: more rows, a taller window.
  RECT sizing{before.Left, before.Top, before.Left + before.Width() / 2, before.Bottom};
  EXPECT_EQ(1, SendMessageW(wnd, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&sizing)));
  EXPECT_EQ(before.Left, sizing.left);
  EXPECT_LE(sizing.right - sizing.left, before.Width() / 2);
  EXPECT_GT(sizing.bottom - sizing.top, before.Height());
  SetWindowPos(wnd, nullptr, sizing.left, sizing.top, sizing.right - sizing.left, sizing.bottom - sizing.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  PumpQueuedMessages();
  EXPECT_GT(RowTops(bar).size(), 1u);
  EXPECT_EQ(control->ClientWidth(), bar->FloatClientWidth()) << "the new size is stored";

  // A corner changes nothing; the top edge stops at -15.
  SetWindowPos(wnd, nullptr, 300, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const TRect now = WindowRect(wnd);
  RECT corner{0, 0, 900, 900};
  SendMessageW(wnd, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&corner));
  EXPECT_EQ(now, TRect(corner.left, corner.top, corner.right, corner.bottom));
  RECT top{now.Left, -400, now.Right, now.Bottom};
  SendMessageW(wnd, WM_SIZING, WMSZ_TOP, reinterpret_cast<LPARAM>(&top));
  EXPECT_EQ(-15, top.top);

  MINMAXINFO info{};
  SendMessageW(wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(10, info.ptMinTrackSize.x);
  EXPECT_EQ(30000, info.ptMaxTrackSize.y);
}

TEST_F(TToolbarFrameTest, FloatingToolbarMovedOffTheScreensComesBack) {
  TdxBar* bar = AddFloating({L"订单查询"});
  TdxBarControl* control = ControlOf(bar);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  SetCursorPos(work.left + 100, work.top + 100);
  SetWindowPos(control->WindowHandle(), nullptr, work.left - 5000, work.top - 4000, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  TRect r = WindowRect(control->WindowHandle());
  EXPECT_EQ(work.left, r.Left);
  EXPECT_EQ(work.top, r.Top);
  SetWindowPos(control->WindowHandle(), nullptr, work.right + 10, work.top + 50, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  r = WindowRect(control->WindowHandle());
  EXPECT_EQ(work.right, r.Right) << "only the axis it left on is corrected";
  EXPECT_EQ(work.top + 50, r.Top);
}

TEST_F(TToolbarFrameTest, MarkHintGoesWhenTheTimerFindsTheCursorOffTheMark) {
  Manager->SetShowHint(true);
  TdxBar* bar = AddFloating({L"订单查询"});
  TdxBarControl* control = ControlOf(bar);
  ASSERT_TRUE(control->HasMark());
  const TPoint mark = ScreenOf(control, Center(control->GetMarkWindowRect()));
  HitTest(control, mark);
  MouseMoveTo(mark);
  EXPECT_EQ(msSelected, control->MarkState());
  EXPECT_TRUE(control->MoreButtonsHintTimerRunning());
  EXPECT_EQ(control, dxBarHintObject()) << "the mark asks for \"More Buttons\"";
  // A tick with the cursor still on the mark changes nothing.
  SendMessageW(control->WindowHandle(), WM_TIMER, dxBarMoreButtonsHintTimerID, 0);
  EXPECT_EQ(msSelected, control->MarkState());
  // The cursor goes to the caption; the next tick ends the hint.
  const TRect caption = control->ClientToWindowRect(control->GetCaptionRect());
  const TPoint onCaption = ScreenOf(control, TPoint(caption.Left + 3, caption.Top + 3));
  SetCursorPos(onCaption.X, onCaption.Y);
  SendMessageW(control->WindowHandle(), WM_TIMER, dxBarMoreButtonsHintTimerID, 0);
  EXPECT_EQ(msNone, control->MarkState());
  EXPECT_FALSE(control->MoreButtonsHintTimerRunning());
  EXPECT_EQ(nullptr, dxBarHintObject());
}

TEST_F(TToolbarFrameTest, PressOnTheMarkTogglesIt) {
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库"});
  TdxBarControl* control = ControlOf(bar);
  ASSERT_TRUE(control->HasMark());
  const TPoint mark = control->ClientToScreen(Center(control->GetMarkRect()));
  EXPECT_EQ(HTCLIENT, HitTest(control, mark));
  EXPECT_EQ(0, control->HitTest()) << "the mark is no move zone";
  PostMouse(control, WM_LBUTTONDOWN, mark, MK_LBUTTON);
  PostMouse(control, WM_LBUTTONUP, mark);
  PumpQueuedMessages();
  EXPECT_EQ(msPressed, control->MarkState());
  Press(control, mark);
  PostMouse(control, WM_LBUTTONUP, mark);
  PumpQueuedMessages();
  EXPECT_EQ(msSelected, control->MarkState());
}

TEST_F(TToolbarFrameTest, CloseButtonOfTheMainMenuBarClicksOnRelease) {
  Manager->SetShowCloseButton(true);
  TdxBar* bar = AddToolbar({L"订单查询"});
  bar->SetIsMainMenu(true);
  TdxBarControl* control = ControlOf(bar);
  ASSERT_TRUE(control->HasMDIArea());
  ASSERT_FALSE(control->ShowsMDIButtons());
  TBarCloseWatch watch;
  Manager->OnCloseButtonClick = TNotifyEvent::Bind<&TBarCloseWatch::CloseButtonClick>(&watch);
  const TPoint button = control->ClientToScreen(Center(control->GetMDIButtonRect(mdibClose)));
  const TPoint away = ScreenCenter(bar, 0);

  Press(control, button);
  PumpQueuedMessages();
  EXPECT_EQ(control->WindowHandle(), GetCapture());
  EXPECT_EQ(4, control->MDIButtonDrawState(mdibClose)) << "held with the cursor on it";
  PostMouse(control, WM_MOUSEMOVE, away, MK_LBUTTON);
  PumpQueuedMessages();
  EXPECT_EQ(3, control->MDIButtonDrawState(mdibClose)) << "held with the cursor away";
  PostMouse(control, WM_LBUTTONUP, away);
  PumpQueuedMessages();
  EXPECT_EQ(0, watch.CloseButtonClicks);
  EXPECT_EQ(nullptr, GetCapture());

  Press(control, button);
  PostMouse(control, WM_LBUTTONUP, button);
  PumpQueuedMessages();
  EXPECT_EQ(1, watch.CloseButtonClicks);
  EXPECT_FALSE(dxBarMDIButtonPressState().Pressed);
  Manager->OnCloseButtonClick = nullptr;
}

TEST_F(TToolbarFrameTest, CtrlTabMovesToTheNextToolbarAndEscapeCloses) {
  TdxBar* first = AddToolbar({L"订单查询", L"材料库"});
  TdxBar* second = AddToolbar({L"五金件", L"退出系统"});
  TdxBarControl* one = ControlOf(first);
  TdxBarControl* two = ControlOf(second);
  one->BarGetFocus(ButtonControl(first, 0));
  ASSERT_TRUE(one->IsActive());
  {
    THeldKeys ctrl({VK_CONTROL});
    SendMessageW(one->WindowHandle(), WM_KEYDOWN, VK_TAB, 0);
  }
  EXPECT_FALSE(one->IsActive());
  EXPECT_TRUE(two->IsActive());
  EXPECT_EQ(ButtonControl(second, 0), two->SelectedControl());
  {
    // Past the last toolbar the walk wraps to the first.
    THeldKeys ctrl({VK_CONTROL});
    SendMessageW(two->WindowHandle(), WM_KEYDOWN, VK_TAB, 0);
  }
  EXPECT_TRUE(one->IsActive());
  SendMessageW(one->WindowHandle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(one->IsActive());
  EXPECT_TRUE(one->ClosedByEscape());
  EXPECT_EQ(nullptr, dxBarActiveBarControl());
}

TEST_F(TToolbarFrameTest, AcceleratorClicksAUniqueItemAndOnlySelectsASharedOne) {
  TdxBar* bar = AddToolbar({L"订单(&Q)", L"材料(&W)", L"五金(&W)", L"退出(&E)"});
  // Buttons that show their captions answer to their accelerators.
  for (int i = 0; i < bar->ItemLinks()->Count(); ++i) bar->ItemLinks()->Items(i)->Item()->SetPaintStyle(psCaption);
  PumpQueuedMessages();
  TdxBarControl* control = ControlOf(bar);
  control->BarGetFocus(ButtonControl(bar, 0));
  SendMessageW(control->WindowHandle(), WM_KEYDOWN, 'E', 0);
  ASSERT_EQ(1u, Form->Clicks.size());
  EXPECT_EQ(bar->ItemLinks()->Items(3)->Item(), Form->Clicks[0]);
  control->BarGetFocus(ButtonControl(bar, 0));
  SendMessageW(control->WindowHandle(), WM_KEYDOWN, 'W', 0);
  EXPECT_EQ(1u, Form->Clicks.size()) << "two items answer to W";
  EXPECT_EQ(ButtonControl(bar, 1), control->SelectedControl());
  SendMessageW(control->WindowHandle(), WM_KEYDOWN, 'W', 0);
  EXPECT_EQ(ButtonControl(bar, 2), control->SelectedControl()) << "the next one answering to W";
  control->BarLostFocus();
}

TEST_F(TToolbarFrameTest, BarFontReachesTheWindow) {
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库"});
  TdxBarControl* control = ControlOf(bar);
  const int textSize = control->TextSize();
  const int height = control->Height();
  bar->Font()->SetHeight(bar->Font()->Height() * 2);
  PumpQueuedMessages();
  EXPECT_EQ(bar->Font()->Height(), control->Font()->Height());
  EXPECT_GT(control->TextSize(), textSize);
  EXPECT_GT(control->Height(), height);
}

TEST_F(TToolbarFrameTest, WindowDestroyedFromOutsideHidesTheBarUntilItsDockComesBack) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  // The form has its window: windows destroyed from now on are remembered.
  Manager->BeginBarRestoring();
  DestroyWindow(ControlOf(bar)->WindowHandle());
  PumpQueuedMessages();
  EXPECT_FALSE(bar->Visible());
  EXPECT_EQ(nullptr, ControlOf(bar));
  EXPECT_GE(Manager->RestoreQueueIndexOf(bar), 0);
  Manager->RestoreQueuedBars(Manager->Bars()->DockControls(dsTop));
  PumpQueuedMessages();
  EXPECT_TRUE(bar->Visible());
  ASSERT_NE(nullptr, ControlOf(bar));
  EXPECT_TRUE(IsWindowVisible(ControlOf(bar)->WindowHandle()));
}

TEST_F(TToolbarFrameTest, CaptionDoubleClickDocksANeverDockedBarOnANewLastRow) {
  AddToolbar({L"订单查询"});
  TdxBar* bar = AddFloating({L"材料库"});
  bar->SetDockedDockingStyle(dsNone);
  TdxBarControl* control = ControlOf(bar);
  const TRect caption = control->ClientToWindowRect(control->GetCaptionRect());
  const TPoint onCaption = ScreenOf(control, TPoint(caption.Left + 3, caption.Top + 3));
  HitTest(control, onCaption);
  PostMouse(control, WM_LBUTTONDBLCLK, onCaption, MK_LBUTTON);
  PumpQueuedMessages();
  EXPECT_EQ(dsTop, bar->DockingStyle());
  EXPECT_TRUE(bar->OneOnRow());
  EXPECT_EQ(1, bar->Row());
  EXPECT_EQ(2, Dock(dsTop)->RowCount());
}

TEST_F(TToolbarFrameTest, PopupToolbarOpensAboveAnOwnerNearTheBottom) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  TdxBarControl* parent = ControlOf(bar);
  TdxBarControl* popup = TdxBarControl::CreateForPopup(parent, bar);
  ASSERT_TRUE(popup->IsPopupWindow());
  EXPECT_EQ(bar, popup->PopupBar());
  EXPECT_NE(bar, popup->Bar()) << "its links belong to a hidden toolbar of its own";
  EXPECT_TRUE(popup->Bar()->Hidden());
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const TRect owner(work.left + 100, work.bottom - 10, work.left + 160, work.bottom);
  popup->Popup(owner);
  const TRect r = WindowRect(popup->WindowHandle());
  EXPECT_EQ(owner.Top, r.Bottom);
  EXPECT_EQ(owner.Left, r.Left);
  EXPECT_TRUE(IsWindowVisible(popup->WindowHandle()));
  const int bars = Manager->Bars()->Count();
  TObject::Free(popup);
  EXPECT_EQ(bars - 1, Manager->Bars()->Count()) << "the hidden toolbar goes with the popup";
}

TEST_F(TToolbarFrameTest, TextOnALeftDockRunsDownwards) {
  TdxBar* bar = AddToolbar({L"Materials"}, dsLeft);
  TdxBarControl* control = ControlOf(bar);
  ASSERT_TRUE(control->IsVertical());
  const TRect client = control->ClientRect();
  TPaintDib dib(client.Width(), client.Height());
  SendMessageW(control->WindowHandle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.DC()), PRF_CLIENT);
  const TRect item = bar->ItemLinks()->Items(0)->ItemRect();
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  TRect box(10000, 10000, -1, -1);
  for (int y = item.Top; y < item.Bottom; ++y)
    for (int x = item.Left; x < item.Right; ++x)
      if (dib.At(x, y) == text) {
        box = TRect(std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1));
      }
  ASSERT_GT(box.Right, box.Left) << "the caption is drawn";
  EXPECT_GT(box.Height(), 2 * box.Width()) << "a caption of nine letters runs down the bar";
}

TEST_F(TToolbarFrameTest, FloatingFrameDrawsCaptionAndBorderAroundTheClientArea) {
  TdxBar* bar = AddFloating({L"订单查询"});
  TdxBarControl* control = ControlOf(bar);
  const TRect window = WindowRect(control->WindowHandle());
  TPaintDib dib(window.Width(), window.Height());
  SendMessageW(control->WindowHandle(), WM_PRINT, reinterpret_cast<WPARAM>(dib.DC()), PRF_NONCLIENT);
  const TdxBarPainter* painter = control->Painter();
  const TRect caption = painter->CalcFloatingCaptionRect(TRect(0, 0, window.Width(), window.Height()));
  EXPECT_EQ(static_cast<COLORREF>(ColorToRGB(painter->FloatingCaptionBackColor(control))),
            dib.At(caption.Left, caption.Top + 1));
  const TRect client = control->ClientBounds();
  EXPECT_EQ((std::set<COLORREF>{kMarker}), dib.ColorsIn(client)) << "the frame leaves the client area alone";
  EXPECT_NE(kMarker, dib.At(0, window.Height() / 2));
  EXPECT_NE(kMarker, dib.At(window.Width() - 1, window.Height() - 1));
  // The close button is part of the caption.
  const TRect close = control->GetCloseButtonWindowRect();
  EXPECT_NE((std::set<COLORREF>{kMarker}), dib.ColorsIn(close));
}

TEST_F(TToolbarFrameTest, CaptionButtonTracksTheMouseShowsItsHintAndClicksOnRelease) {
  Manager->SetShowHint(true);
  TdxBar* bar = AddFloating({L"订单查询", L"材料库"});
  struct TCounter : TObject {
    int Clicks = 0;
    void Click(TObject*) { ++Clicks; }
  } counter;
  TdxBarCaptionButton* button = bar->CaptionButtons()->Add();
  button->SetHint(L"帮助");
  button->SetOnClick(TNotifyEvent::Bind<&TCounter::Click>(&counter));
  PumpQueuedMessages();
  TdxBarControl* control = ControlOf(bar);
  const TRect place = button->Rect();
  ASSERT_FALSE(place.IsEmpty()) << "the frame placed the button in the caption";
  EXPECT_LT(place.Right, control->GetMarkWindowRect().Left) << "left of the mark";
  const TPoint at = ScreenOf(control, Center(place));
  EXPECT_EQ(HTCLIENT, HitTest(control, at));
  EXPECT_EQ(HTOBJECT, control->HitTest()) << "a caption button is no move zone";

  MouseMoveTo(at);
  EXPECT_EQ(TdxBarCaptionButton::StateHot, button->State());
  auto* source = dynamic_cast<IdxBarHintSource*>(dxBarHintObject());
  ASSERT_NE(nullptr, source) << "the hot button asks for its hint";
  String hint, shortCut;
  EXPECT_TRUE(source->GetHintInfo(hint, shortCut));
  EXPECT_EQ(L"帮助", hint);

  Press(control, at);
  PostMouse(control, WM_LBUTTONUP, at);
  PumpQueuedMessages();
  EXPECT_EQ(1, counter.Clicks);
  EXPECT_EQ(TdxBarCaptionButton::StateHot, button->State()) << "released over it";

  // Disabled: never hit, never clicked.
  button->SetEnabled(false);
  Press(control, at);
  PostMouse(control, WM_LBUTTONUP, at);
  PumpQueuedMessages();
  EXPECT_EQ(1, counter.Clicks);
  EXPECT_EQ(TdxBarCaptionButton::StateDisabled, button->State());
}

TEST_F(TToolbarFrameTest, GripperShowsTheMoveCursor) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  TdxBarControl* control = ControlOf(bar);
  const HWND wnd = control->WindowHandle();
  const TPoint grip = control->ClientToScreen(TPoint(-2, 4));
  SetCursorPos(grip.X, grip.Y);
  SendMessageW(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(crSizeAll, control->Cursor());
  const TPoint item = ScreenCenter(bar, 0);
  SetCursorPos(item.X, item.Y);
  SendMessageW(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(crDefault, control->Cursor());
  // A toolbar that may not dock anywhere shows no move cursor.
  bar->SetNotDocking({dsNone, dsLeft, dsTop, dsRight, dsBottom});
  SetCursorPos(grip.X, grip.Y);
  SendMessageW(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(crDefault, control->Cursor());
}

TEST_F(TToolbarFrameTest, LeavingTheBarGivesTheFocusBackToTheWindowThatHadIt) {
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库"});
  auto* first = Make<TEdit>(Form);
  first->SetParent(Form);
  first->SetBounds(10, 100, 100, 24);
  auto* second = Make<TEdit>(Form);
  second->SetParent(Form);
  second->SetBounds(10, 140, 100, 24);
  PumpQueuedMessages();
  SetForegroundWindow(Form->WindowHandle());
  ::SetFocus(first->WindowHandle());
  ASSERT_EQ(first->WindowHandle(), GetFocus());
  TdxBarControl* control = ControlOf(bar);
  control->BarGetFocus(ButtonControl(bar, 1));
  EXPECT_TRUE(control->IsFocused());
  ::SetFocus(second->WindowHandle());
  control->BarLostFocus();
  EXPECT_FALSE(control->IsActive());
  ASSERT_TRUE(Application->Active());
  EXPECT_EQ(first->WindowHandle(), GetFocus());
}

TEST_F(TToolbarFrameTest, FrameIsHatchedWhileAnotherManagerCustomizes) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  TdxBarControl* control = ControlOf(bar);
  const HWND wnd = control->WindowHandle();
  const TPoint offset = control->GetClientOffset();
  ASSERT_GT(offset.X, 1);
  auto gripperColors = [&] {
    RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    std::set<COLORREF> colors;
    HDC dc = GetWindowDC(wnd);
    for (int y = 0; y < control->Height(); ++y)
      for (int x = 0; x < offset.X; ++x) colors.insert(GetPixel(dc, x, y));
    ReleaseDC(wnd, dc);
    return colors;
  };
  const std::set<COLORREF> normal = gripperColors();
  auto* otherForm = Make<TBarWindowForm>(nullptr);
  TdxBarManager* other = Make<TdxBarManager>(otherForm);
  other->Customizing(true);
  ASSERT_TRUE(Manager->OtherManagerCustomizing());
  const std::set<COLORREF> hatched = gripperColors();
  other->Customizing(false);
  TObject::Free(otherForm);
  EXPECT_NE(normal, hatched);
  EXPECT_EQ(normal, gripperColors()) << "the frame is plain again";
}

TEST_F(TToolbarFrameTest, CaptionAndTurningReachTheWindow) {
  TdxBar* bar = AddToolbar({L"Materials"}, dsLeft);
  TdxBarControl* control = ControlOf(bar);
  bar->SetCaption(L"五金件");
  wchar_t text[32]{};
  GetWindowTextW(control->WindowHandle(), text, 32);
  EXPECT_EQ(String(L"五金件"), String(text));
  // The bar's text runs down the side dock until the toolbar is told not to turn it.
  LOGFONTW font{};
  GetObjectW(control->Canvas()->Font()->Handle(), sizeof font, &font);
  EXPECT_EQ(-900, font.lfEscapement);
  bar->SetRotateWhenVertical(false);
  EXPECT_FALSE(control->IsVertical());
  GetObjectW(control->Canvas()->Font()->Handle(), sizeof font, &font);
  EXPECT_EQ(0, font.lfEscapement);
}
