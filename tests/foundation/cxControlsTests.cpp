// The base control driven by window messages: its canvas without a window,
// the keys it asks the dialog manager for, context menus and shortcuts of
// either kind of popup menu, its own drag and drop, the scroll-bar decision,
// the wheel and middle-button panning (the panning timer driven by posted
// ticks).
#include "platform/WinApi.h"
#include "foundation/cxControls.h"

#include "foundation/cxControlsDragDrop.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/Forms.h"

#include "tests/foundation/cxControlsTestSupport.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TestDib.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

namespace {

struct ScrollCall {
  TScrollBarKind Kind;
  TScrollCode Code;
};

std::vector<bool> gDragAndDropEnds;

class TRecordingDragAndDrop : public TcxDragAndDropObject {
 public:
  using TcxDragAndDropObject::TcxDragAndDropObject;

 protected:
  void AfterDragAndDropEnds(bool Accepted) override { gDragAndDropEnds.push_back(Accepted); }
};

class TTestControl : public TcxControl {
 public:
  explicit TTestControl(TComponent* AOwner) : TcxControl(AOwner) {
    SetFocusOnClick(false);
    SetDragAndDropObjectClass(TcxDragAndDropObjectClass::Of<TRecordingDragAndDrop>());
  }
  using TcxControl::RecalcScrollBars;
  std::function<void(TTestControl&)> Params;
  bool DragAndDropAllowed = false;
  std::vector<ScrollCall> Scrolls;
  int KeyDowns = 0;

  void KeyDown(Word& Key, TShiftState Shift) override {
    ++KeyDowns;
    TcxControl::KeyDown(Key, Shift);
  }

 protected:
  void CalcScrollBarParams() override {
    if (Params) Params(*this);
  }
  void HandleScroll(TScrollBarKind AKind, TScrollCode ACode, int&) override { Scrolls.push_back({AKind, ACode}); }
  bool CanStartDragAndDropAt(int, int) override { return DragAndDropAllowed; }
};

// A stand-in for a bar popup menu.
class TFakeMenu : public TComponent, public IcxMenuPopupSource {
 public:
  explicit TFakeMenu(TComponent* AOwner) : TComponent(AOwner) {}
  Word ShortCutKey = 0;
  int ShortCutsAsked = 0;
  std::vector<TPoint> Popups;
  bool IsMenuShortCut(TWMKey& AMessage) override {
    ++ShortCutsAsked;
    return AMessage.CharCode == ShortCutKey;
  }
  void PopupAt(int X, int Y) override { Popups.push_back(TPoint(X, Y)); }
};

// A shown form with a 200 x 150 test control at client (10, 10).
struct ControlFixture {
  Owned<TForm> form{Make<TForm>(nullptr, 0)};
  TTestControl* control = nullptr;

  ControlFixture() {
    gDragAndDropEnds.clear();
    form->SetBounds(100, 100, 400, 300);
    control = Make<TTestControl>(form.get());
    control->SetParent(form.get());
    control->SetBounds(10, 10, 200, 150);
    form->Show();
    PumpQueuedMessages();
  }
  ~ControlFixture() { ReleaseCapture(); }
  HWND Wnd() { return control->Handle(); }
  void Send(UINT AMsg, WPARAM AWParam, int X, int Y) {
    SendMessageW(Wnd(), AMsg, AWParam, MAKELPARAM(static_cast<Word>(X), static_cast<Word>(Y)));
  }
  // A key through the application's loop, which offers it to the control first.
  void Key(HWND AWnd, Word AKey) {
    PostMessageW(AWnd, WM_KEYDOWN, AKey, 1);
    Application->ProcessMessages();
  }
  // One bar with a range of 1000 and a page of 40, the other none.
  void ShowOnlyBar(TScrollBarKind AKind) {
    control->Params = [AKind](TTestControl& c) {
      c.SetScrollBarInfo(AKind, 0, 999, 1, 40, 0, true, true);
      c.SetScrollBarInfo(AKind == sbVertical ? sbHorizontal : sbVertical, 0, 0, 1, 10, 0, true, true);
    };
    control->RecalcScrollBars();
  }
  // Puts the cursor over a client point of a control and drops the mouse
  // messages that the move queued.
  static void PlaceCursor(TControl* AControl, const TPoint& P) {
    const TPoint s = AControl->ClientToScreen(P);
    SetCursorPos(s.X, s.Y);
    PumpQueuedMessages();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {}
  }
  // Both bars' pending state from a content size, as a descendant gives it.
  static void Content(TTestControl& c, int AWidth, int AHeight) {
    const TRect r = c.ClientBounds();
    c.SetScrollBarInfo(sbHorizontal, 0, AWidth - 1, 1, r.Width(), 0, true, true);
    c.SetScrollBarInfo(sbVertical, 0, AHeight - 1, 1, r.Height(), 0, true, true);
  }
};

// Holds the Ctrl key down in the thread's keyboard state while it lives.
class CtrlDown {
 public:
  CtrlDown() {
    GetKeyboardState(saved_);
    BYTE state[256];
    memcpy(state, saved_, sizeof(state));
    state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
    SetKeyboardState(state);
  }
  ~CtrlDown() { SetKeyboardState(saved_); }

 private:
  BYTE saved_[256];
};

}  // namespace

TEST(cxControls, ActiveCanvasIsAScreenCanvasUntilTheWindowExists) {
  ControlFixture f;
  Owned<TTestControl> loose = MakeOwned<TTestControl>(nullptr);
  TcxCanvas* screen = loose->ActiveCanvas();
  EXPECT_NE(dynamic_cast<TcxScreenCanvas*>(screen), nullptr);
  EXPECT_EQ(loose->ActiveCanvas(), screen);
  loose->SetParent(f.form.get());
  loose->HandleNeeded();
  EXPECT_EQ(loose->ActiveCanvas(), loose->Canvas());
  loose->SetParent(nullptr);
}

TEST(cxControls, DialogCodeFromWantedKeys) {
  ControlFixture f;
  struct Case {
    TcxKeys keys;
    bool ctrl;
    LRESULT code;
  } cases[] = {
      {TcxKeys{kArrows, kTab}, false, DLGC_WANTARROWS | DLGC_WANTTAB},
      {TcxKeys{kArrows, kTab}, true, DLGC_WANTARROWS},
      {TcxKeys{kAll}, false, DLGC_WANTALLKEYS},
      {TcxKeys{kChars}, false, DLGC_WANTCHARS},
      {TcxKeys(), false, 0},
  };
  for (const Case& c : cases) {
    f.control->SetKeys(c.keys);
    std::optional<CtrlDown> ctrl;
    if (c.ctrl) ctrl.emplace();
    EXPECT_EQ(SendMessageW(f.Wnd(), WM_GETDLGCODE, 0, 0), c.code);
  }
}

TEST(cxControls, ContextMenuOfALibraryPopupSource) {
  ControlFixture f;
  Owned<TFakeMenu> menu = MakeOwned<TFakeMenu>(nullptr);
  f.control->SetPopupMenuComponent(menu.get());
  ASSERT_EQ(f.control->PopupMenuComponent(), menu.get());
  EXPECT_EQ(f.control->PopupMenu(), nullptr);   // the platform's query sees only its own menus
  const TPoint at = f.control->ClientToScreen(TPoint(30, 40));
  SendMessageW(f.Wnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(f.Wnd()), MAKELPARAM(at.X, at.Y));
  // From the keyboard: at the client origin.
  SendMessageW(f.Wnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(f.Wnd()), static_cast<LPARAM>(-1));
  ASSERT_EQ(menu->Popups.size(), 2u);
  EXPECT_EQ(menu->Popups[0], at);
  EXPECT_EQ(menu->Popups[1], f.control->ClientToScreen(TPoint(0, 0)));
  // Any other component is refused; a freed menu is forgotten.
  Owned<TComponent> other = MakeOwned<TComponent>(nullptr);
  f.control->SetPopupMenuComponent(other.get());
  EXPECT_EQ(f.control->PopupMenuComponent(), nullptr);
  f.control->SetPopupMenuComponent(menu.get());
  menu.reset();
  EXPECT_EQ(f.control->PopupMenuComponent(), nullptr);
}

TEST(cxControls, AParentControlsMenuTakesItsShortcut) {
  ControlFixture f;
  TTestControl* child = Make<TTestControl>(f.form.get());
  child->SetParent(f.control);
  child->SetBounds(5, 5, 50, 30);
  Owned<TFakeMenu> parentMenu = MakeOwned<TFakeMenu>(nullptr);
  Owned<TFakeMenu> childMenu = MakeOwned<TFakeMenu>(nullptr);
  parentMenu->ShortCutKey = 'K';
  childMenu->ShortCutKey = 'J';
  f.control->SetPopupMenuComponent(parentMenu.get());
  child->SetPopupMenuComponent(childMenu.get());
  f.Key(child->Handle(), 'K');
  EXPECT_EQ(childMenu->ShortCutsAsked, 1);
  EXPECT_EQ(parentMenu->ShortCutsAsked, 1);
  EXPECT_EQ(child->KeyDowns, 0);
  f.Key(child->Handle(), 'Q');
  EXPECT_EQ(child->KeyDowns, 1);
}

TEST(cxControls, OwnDragAndDropStartsMovesAndEnds) {
  struct Case {
    const char* name;
    std::function<void(ControlFixture&)> end;
    bool accepted;
    int keyDowns;
  } cases[] = {
      {"release", [](ControlFixture& f) { f.Send(WM_LBUTTONUP, 0, 60, 60); }, true, 0},
      {"a key", [](ControlFixture& f) { f.Key(f.Wnd(), 'A'); }, false, 0},
      {"cancel mode", [](ControlFixture& f) { SendMessageW(f.Wnd(), WM_CANCELMODE, 0, 0); }, false, 0},
  };
  for (const Case& c : cases) {
    ControlFixture f;
    f.control->DragAndDropAllowed = true;
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
    EXPECT_EQ(f.control->DragAndDropState(), ddsStarting) << c.name;
    f.Send(WM_MOUSEMOVE, MK_LBUTTON, 21, 21);   // within the drag threshold
    EXPECT_EQ(f.control->DragAndDropState(), ddsStarting) << c.name;
    f.Send(WM_MOUSEMOVE, MK_LBUTTON, 60, 60);
    EXPECT_EQ(f.control->DragAndDropState(), ddsInProcess) << c.name;
    EXPECT_EQ(f.control->DragAndDropObject()->CurMousePos, TPoint(60, 60)) << c.name;
    c.end(f);
    EXPECT_EQ(f.control->DragAndDropState(), ddsNone) << c.name;
    ASSERT_EQ(gDragAndDropEnds.size(), 1u) << c.name;
    EXPECT_EQ(gDragAndDropEnds[0], c.accepted) << c.name;
    EXPECT_EQ(f.control->KeyDowns, c.keyDowns) << c.name;
    EXPECT_NE(GetCapture(), f.Wnd()) << c.name;
    Screen->SetCursor(crDefault);
  }
}

TEST(cxControls, DroppingTheCaptureObjectWhileStartingCancelsTheMode) {
  ControlFixture f;
  f.control->DragAndDropAllowed = true;
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
  ASSERT_EQ(f.control->DragAndDropState(), ddsStarting);
  struct THolder : TObject, IcxCaptureHolder {
    int Cancelled = 0;
    void CancelCapture() override { ++Cancelled; }
  };
  Owned<THolder> holder = MakeOwned<THolder>();
  f.control->SetMouseCaptureObject(holder.get());
  EXPECT_EQ(GetCapture(), f.Wnd());
  EXPECT_EQ(holder->Cancelled, 0);
  f.control->SetMouseCaptureObject(nullptr);
  EXPECT_EQ(holder->Cancelled, 1);
  EXPECT_EQ(f.control->DragAndDropState(), ddsNone);
  EXPECT_NE(GetCapture(), f.Wnd());
  EXPECT_TRUE(gDragAndDropEnds.empty());
}

TEST(cxControls, DoubleClickNeitherFocusesNorPreparesDragAndDrop) {
  ControlFixture f;
  f.control->DragAndDropAllowed = true;
  f.control->SetFocusOnClick(true);
  SetFocus(f.form->Handle());
  f.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 20, 20);
  EXPECT_EQ(f.control->DragAndDropState(), ddsNone);
  EXPECT_NE(GetFocus(), f.Wnd());
  // A single press does both.
  f.Send(WM_LBUTTONUP, 0, 20, 20);
  f.Send(WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
  EXPECT_EQ(f.control->DragAndDropState(), ddsStarting);
  EXPECT_EQ(GetFocus(), f.Wnd());
}

TEST(cxControls, ScrollBarInfoDecidesVisibility) {
  struct Case {
    const char* name;
    TScrollStyle bars;
    TScrollBarKind kind;
    int min, max, page, pos;
    bool allowHide;
    bool visible, enabled;
  } cases[] = {
      {"range needs a bar", ssBoth, sbVertical, 0, 99, 10, 0, true, true, true},
      {"max below min, hideable", ssBoth, sbVertical, 10, 5, 1, 10, true, false, false},
      {"page covers the range, hideable", ssBoth, sbVertical, 0, 99, 100, 0, true, false, false},
      {"page covers the range, kept", ssBoth, sbVertical, 0, 99, 100, 0, false, true, false},
      {"position below min", ssBoth, sbHorizontal, 5, 99, 10, 2, true, false, false},
      {"horizontal bar not allowed", ssVertical, sbHorizontal, 0, 99, 10, 0, true, false, false},
      {"vertical bar allowed", ssVertical, sbVertical, 0, 99, 10, 0, true, true, true},
  };
  for (const Case& c : cases) {
    Owned<TTestControl> control = MakeOwned<TTestControl>(nullptr);
    control->SetScrollBars(c.bars);
    control->SetScrollBarInfo(c.kind, c.min, c.max, 1, c.page, c.pos, true, c.allowHide);
    const TcxScrollBarData& d = (c.kind == sbHorizontal ? control->HScrollBar() : control->VScrollBar())->Data;
    EXPECT_EQ(d.Visible, c.visible) << c.name;
    if (c.visible) {
      EXPECT_EQ(d.Enabled, c.enabled) << c.name;
    }
  }
}

TEST(cxControls, BarDecisionSettlesOnTheFinalPair) {
  // Tall content: the vertical bar narrows the client so that the content,
  // which fitted the full width, needs the horizontal bar too.
  ControlFixture f;
  const int vw = f.control->VScrollBar()->Width();
  f.control->Params = [vw](TTestControl& c) { ControlFixture::Content(c, 200 - vw / 2, 400); };
  f.control->LockScrollBars();
  f.control->RecalcScrollBars();
  EXPECT_FALSE(f.control->HScrollBar()->Visible());   // waits for the unlock
  f.control->UnlockScrollBars();
  EXPECT_TRUE(f.control->VScrollBar()->Visible());
  EXPECT_TRUE(f.control->HScrollBar()->Visible());
  EXPECT_TRUE(f.control->SizeGrip()->Visible());
  const int hh = f.control->HScrollBar()->Height();
  EXPECT_EQ(f.control->ClientBounds(), TRect(0, 0, 200 - vw, 150 - hh));
  EXPECT_EQ(f.control->HScrollBar()->BoundsRect(), TRect(0, 150 - hh, 200 - vw, 150));
  EXPECT_EQ(f.control->VScrollBar()->BoundsRect(), TRect(200 - vw, 0, 200, 150 - hh));
  EXPECT_EQ(f.control->SizeGrip()->BoundsRect(), TRect(200 - vw, 150 - hh, 200, 150));
  // Small content: both go.
  f.control->Params = [](TTestControl& c) { ControlFixture::Content(c, 50, 50); };
  f.control->RecalcScrollBars();
  EXPECT_FALSE(f.control->VScrollBar()->Visible());
  EXPECT_FALSE(f.control->HScrollBar()->Visible());
  EXPECT_FALSE(f.control->SizeGrip()->Visible());
}

TEST(cxControls, WheelScrollsLinesAndOneScreenAtATimeStaysBounded) {
  UINT saved = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &saved, 0);
  struct Restore {
    UINT lines;
    ~Restore() { SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, lines, nullptr, 0); }
  } restore{saved};
  ControlFixture f;
  f.ShowOnlyBar(sbVertical);
  ASSERT_TRUE(f.control->VScrollBar()->Visible());
  const TPoint at = f.control->ClientToScreen(TPoint(20, 20));
  const auto wheel = [&](int ADelta) {
    f.control->Scrolls.clear();
    SendMessageW(f.Wnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<Word>(ADelta)), MAKELPARAM(at.X, at.Y));
  };
  SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, 3, nullptr, 0);
  wheel(-WHEEL_DELTA);
  ASSERT_EQ(f.control->Scrolls.size(), 3u);
  EXPECT_EQ(f.control->Scrolls[0].Kind, sbVertical);
  EXPECT_EQ(f.control->Scrolls[0].Code, scLineDown);
  wheel(WHEEL_DELTA);
  ASSERT_EQ(f.control->Scrolls.size(), 3u);
  EXPECT_EQ(f.control->Scrolls[0].Code, scLineUp);
  // "One screen at a time": one page of lines, not four billion.
  SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, WHEEL_PAGESCROLL, nullptr, 0);
  UINT lines = 0;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  if (lines == WHEEL_PAGESCROLL) {
    wheel(-WHEEL_DELTA);
    EXPECT_EQ(f.control->Scrolls.size(), 40u);
  }
  // Only a horizontal bar: the control leaves the wheel alone.
  f.ShowOnlyBar(sbHorizontal);
  ASSERT_FALSE(f.control->VScrollBar()->Visible());
  wheel(-WHEEL_DELTA);
  EXPECT_TRUE(f.control->Scrolls.empty());
}

TEST(cxControls, PanningTable) {
  const TSize screen(1024, 768);
  const TPoint o(500, 400);
  struct Case {
    const char* name;
    TPoint p;
    bool h, v;
    TcxDirection direction;
    int speed;
  } cases[] = {
      {"inside the marker", {505, 410}, true, true, dirNone, 0},
      {"20 below", {500, 420}, true, true, dirDown, 2},
      {"far above", {500, 0}, true, true, dirUp, 12},
      {"left, more across than along", {470, 410}, true, true, dirLeft, 4},
      {"only vertical bar: any x is neutral", {900, 405}, false, true, dirNone, 0},
      {"only horizontal bar: vertical moves are neutral", {500, 700}, true, false, dirNone, 0},
      {"only horizontal bar", {530, 700}, true, false, dirRight, 4},
  };
  for (const Case& c : cases) {
    const TcxPanningStep step = cxPanningStepAt(o, c.p, 29, c.h, c.v, screen);
    EXPECT_EQ(step.Direction, c.direction) << c.name;
    EXPECT_EQ(step.Speed, c.speed) << c.name;
    EXPECT_EQ(step.Moved, c.direction != dirNone) << c.name;
  }
  EXPECT_EQ(cxPanningCursor(dirNone, true, true), 2101);
  EXPECT_EQ(cxPanningCursor(dirNone, true, false), 2102);
  EXPECT_EQ(cxPanningCursor(dirNone, false, true), 2103);
  EXPECT_EQ(cxPanningCursor(dirUp, true, true), 2104);
  EXPECT_EQ(cxPanningCursor(dirRight, true, true), 2105);
  EXPECT_EQ(cxPanningCursor(dirDown, true, true), 2106);
  EXPECT_EQ(cxPanningCursor(dirLeft, true, true), 2107);
}

TEST(cxControls, MiddleButtonPanningScrollsOnTimerTicksUntilEscape) {
  TTimerStandIn timers;
  ControlFixture f;
  f.ShowOnlyBar(sbVertical);
  ASSERT_TRUE(f.control->VScrollBar()->Visible());
  const TPoint start(60, 60);
  ControlFixture::PlaceCursor(f.control, start);
  // Queued before the press, handled by the panning loop in this order: a
  // release without moving (panning stays on), a move 20 pixels down
  // (speed 2: a step every 11 ticks), 22 ticks, Escape.
  f.control->Scrolls.clear();
  PostMessageW(f.Wnd(), WM_MBUTTONUP, 0, MAKELPARAM(start.X, start.Y));
  PostMessageW(f.Wnd(), WM_MOUSEMOVE, 0, MAKELPARAM(start.X, start.Y + 20));
  for (int i = 0; i < 22; ++i) PostThreadMessageW(GetCurrentThreadId(), WM_TIMER, TTimerStandIn::kThreadTimerID, 0);
  PostMessageW(f.Wnd(), WM_KEYDOWN, VK_ESCAPE, 1);
  THangGuard guard([] { ReleaseCapture(); });
  f.Send(WM_MBUTTONDOWN, MK_MBUTTON, start.X, start.Y);
  EXPECT_FALSE(guard.Fired());
  EXPECT_EQ(TTimerStandIn::Intervals().back(), 20u);
  ASSERT_EQ(f.control->Scrolls.size(), 2u);
  EXPECT_EQ(f.control->Scrolls[0].Kind, sbVertical);
  EXPECT_EQ(f.control->Scrolls[0].Code, scLineDown);
  EXPECT_FALSE(f.control->IsScrollingContent());
  EXPECT_NE(GetCapture(), f.Wnd());
}

TEST(cxControls, PanningNeedsAVisibleBar) {
  ControlFixture f;
  f.Send(WM_MBUTTONDOWN, MK_MBUTTON, 20, 20);
  EXPECT_FALSE(f.control->IsScrollingContent());
  EXPECT_NE(GetCapture(), f.Wnd());
}

// ---------------------------------------------------------------------------
// Drag-and-drop objects and feedback windows
// ---------------------------------------------------------------------------

TEST(cxControlsDragDrop, ObjectKeepsTheLastTwoPositionsAndShowsAcceptance) {
  ControlFixture f;
  TcxDragAndDropObject* object = f.control->DragAndDropObject();
  EXPECT_EQ(object->CurMousePos, TPoint(-1, -1));
  EXPECT_EQ(object->PrevMousePos, TPoint(-1, -1));
  bool accepted = true;
  object->DoDragAndDrop(TPoint(5, 6), accepted);
  EXPECT_EQ(Screen->Cursor(), crDrag);
  accepted = false;
  object->DoDragAndDrop(TPoint(7, 8), accepted);
  EXPECT_EQ(Screen->Cursor(), crNoDrop);
  EXPECT_EQ(object->PrevMousePos, TPoint(5, 6));
  EXPECT_EQ(object->CurMousePos, TPoint(7, 8));
  Screen->SetCursor(crDefault);
}

namespace {

bool WindowRegionEquals(HWND AWnd, HRGN AExpected) {
  HRGN actual = CreateRectRgn(0, 0, 0, 0);
  const bool has = GetWindowRgn(AWnd, actual) != ERROR;
  const bool equal = has && EqualRgn(actual, AExpected);
  DeleteObject(actual);
  return equal;
}

// A rectangle of the size less its inside AFrame pixels in.
HRGN RingRegion(int AWidth, int AHeight, int AFrame) {
  HRGN ring = CreateRectRgn(0, 0, AWidth, AHeight);
  HRGN inner = CreateRectRgn(AFrame, AFrame, AWidth - AFrame, AHeight - AFrame);
  CombineRgn(ring, ring, inner, RGN_DIFF);
  DeleteObject(inner);
  return ring;
}

}  // namespace

TEST(cxControlsDragDrop, SizeFrameShowsARingOrTheFilledSelection) {
  Owned<TcxSizeFrame> frame = MakeOwned<TcxSizeFrame>(2);
  frame->HandleNeeded();
  frame->DrawSizeFrame(TRect(100, 100, 200, 150));
  HRGN ring = RingRegion(100, 50, 2);
  EXPECT_TRUE(WindowRegionEquals(frame->Handle(), ring));
  frame->SetFillSelection(true);
  frame->DrawSizeFrame(TRect(100, 100, 200, 150));
  HRGN full = CreateRectRgn(0, 0, 100, 50);
  EXPECT_TRUE(WindowRegionEquals(frame->Handle(), full));
  DeleteObject(ring);
  DeleteObject(full);
}

TEST(cxControlsDragDrop, SizeFrameTooThinForItsWidthKeepsItsRegion) {
  Owned<TcxSizeFrame> frame = MakeOwned<TcxSizeFrame>(30);
  frame->HandleNeeded();
  frame->DrawSizeFrame(TRect(0, 0, 100, 100));
  HRGN ring = RingRegion(100, 100, 30);
  ASSERT_TRUE(WindowRegionEquals(frame->Handle(), ring));
  frame->DrawSizeFrame(TRect(0, 0, 100, 50));
  EXPECT_TRUE(WindowRegionEquals(frame->Handle(), ring));
  DeleteObject(ring);
}

TEST(cxControlsDragDrop, DragImageFollowsTheGrabPoint) {
  Owned<TcxCustomDragImage> image = MakeOwned<TcxCustomDragImage>();
  image->Init(TRect(10, 10, 60, 40), TPoint(20, 15));
  EXPECT_EQ(image->Width(), 50);
  EXPECT_EQ(image->Height(), 30);
  EXPECT_EQ(image->PositionOffset(), TPoint(10, 5));
  image->MoveTo(TPoint(100, 100));
  EXPECT_EQ(image->Left(), 90);
  EXPECT_EQ(image->Top(), 95);
  EXPECT_FALSE(image->Visible());
  EXPECT_EQ(SendMessageW(image->Handle(), WM_NCHITTEST, 0, MAKELPARAM(95, 100)), HTTRANSPARENT);
  image->Hide();
}

// ---------------------------------------------------------------------------
// Mouse, focus and settings notices
// ---------------------------------------------------------------------------

namespace {

struct NoticeLog : TObject {
  std::vector<std::pair<char, TObject*>> Events;
  void Enter(TObject* Sender) { Events.push_back({'E', Sender}); }
  void Leave(TObject* Sender) { Events.push_back({'L', Sender}); }
  void Focus(TObject* Sender) { Events.push_back({'F', Sender}); }
};

}  // namespace

TEST(cxControls, MouseEnterAndLeaveFireOnceEach) {
  ControlFixture f;
  NoticeLog log;
  f.control->OnMouseEnter = TNotifyEvent::Bind<&NoticeLog::Enter>(&log);
  f.control->OnMouseLeave = TNotifyEvent::Bind<&NoticeLog::Leave>(&log);
  // The real cursor may already be over the control: start from outside.
  SendMessageW(f.Wnd(), WM_MOUSELEAVE, 0, 0);
  log.Events.clear();
  f.Send(WM_MOUSEMOVE, 0, 30, 30);
  f.Send(WM_MOUSEMOVE, 0, 31, 30);
  SendMessageW(f.Wnd(), WM_MOUSELEAVE, 0, 0);
  ASSERT_EQ(log.Events.size(), 2u);
  EXPECT_EQ(log.Events[0], std::make_pair('E', static_cast<TObject*>(f.control)));
  EXPECT_EQ(log.Events[1], std::make_pair('L', static_cast<TObject*>(f.control)));
}

TEST(cxControls, FocusMovesAreReportedAndABarClickFocusesItsControl) {
  ControlFixture f;
  TTestControl* other = Make<TTestControl>(f.form.get());
  other->SetParent(f.form.get());
  other->SetBounds(220, 10, 100, 100);
  f.control->SetFocusOnClick(true);
  f.ShowOnlyBar(sbVertical);
  NoticeLog log;
  f.control->OnFocusChanged = TNotifyEvent::Bind<&NoticeLog::Focus>(&log);
  other->SetFocus();
  ASSERT_EQ(GetFocus(), other->Handle());
  log.Events.clear();
  TcxControlScrollBar* bar = f.control->VScrollBar();
  SendMessageW(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, bar->Height() / 2));
  SendMessageW(bar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, bar->Height() / 2));
  EXPECT_EQ(GetFocus(), f.Wnd());
  EXPECT_EQ(log.Events.size(), 1u);
  other->SetFocus();
  EXPECT_EQ(log.Events.size(), 2u);
}

TEST(cxControls, SettingsNoticeGivesTheBarsTheSystemSizes) {
  ControlFixture f;
  f.control->Params = [](TTestControl& c) { ControlFixture::Content(c, 1000, 1000); };
  f.control->RecalcScrollBars();
  f.control->HScrollBar()->SetHeight(5);
  f.control->VScrollBar()->SetWidth(5);
  SendMessageW(f.Wnd(), DXM_SETTINGSCHANGED, 0, 0);
  EXPECT_EQ(f.control->HScrollBar()->Height(), GetSystemMetrics(SM_CYHSCROLL));
  EXPECT_EQ(f.control->VScrollBar()->Width(), GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(f.control->VScrollBar()->Left(), 200 - GetSystemMetrics(SM_CXVSCROLL));
}

TEST(cxControls, ANestedRecalculationThatWouldUndoTheOuterOneKeepsTheBarDisabled) {
  // Each fresh decision flips: the first shows the vertical bar, the one its
  // resize runs hides it again, and so on.
  ControlFixture f;
  int decisions = 0, calls = 0;
  f.control->Params = [&](TTestControl& c) {
    ++calls;
    if (!c.IsVScrollBarVisible()) ++decisions;
    c.SetScrollBarInfo(sbVertical, 0, 999, 1, decisions % 2 ? 40 : 2000, 0, true, true);
  };
  f.control->RecalcScrollBars();
  EXPECT_EQ(decisions, 2);
  EXPECT_LT(calls, 10);
  EXPECT_TRUE(f.control->VScrollBar()->Visible());
  EXPECT_FALSE(f.control->VScrollBar()->Enabled());
}

TEST(cxControls, ChildComponentsFollowTheirControl) {
  ControlFixture f;
  Owned<TcxControlChildComponent> child = MakeOwned<TcxControlChildComponent>(f.control, false);
  EXPECT_EQ(child->Control(), f.control);
  EXPECT_EQ(child->Owner(), nullptr);
  EXPECT_EQ(child->GetParentComponent(), f.control);
  Owned<TcxControlChildComponent> owned = MakeOwned<TcxControlChildComponent>(f.control, true);
  EXPECT_EQ(owned->Owner(), f.control->Owner());
  Owned<TcxControlChildComponent> streamed = MakeOwned<TcxControlChildComponent>(nullptr);
  EXPECT_FALSE(streamed->HasParent());
  streamed->SetParentComponent(f.control);
  EXPECT_EQ(streamed->Control(), f.control);
}

TEST(cxControls, BorderIsDrawnByThePainterAndNarrowsTheClient) {
  ControlFixture f;
  f.control->LookAndFeel()->SetKind(lfFlat);
  f.control->SetBorderStyle(cxcbsDefault);
  const int border = f.control->LookAndFeel()->Painter()->BorderSize();
  ASSERT_GT(border, 0);
  EXPECT_EQ(f.control->ClientBounds(), TRect(border, border, 200 - border, 150 - border));
  struct Dib : TTestDib {
    using TTestDib::TTestDib;
    DWORD At(int x, int y) const { return RawAt(x, y) & 0xFFFFFF; }
  } painted(200, 150), expected(200, 150);
  f.control->PaintTo(painted.DC(), 0, 0);
  {
    Owned<TCanvas> canvas = MakeOwned<TCanvas>();
    canvas->SetHandle(expected.DC());
    Owned<TcxCanvas> cx = MakeOwned<TcxCanvas>(canvas.get());
    f.control->LookAndFeel()->Painter()->DrawBorder(cx.get(), TRect(0, 0, 200, 150));
    canvas->SetHandle(nullptr);
  }
  int differing = 0;
  for (int x = 0; x < 200; ++x)
    for (int d = 0; d < border; ++d)
      differing += painted.At(x, d) != expected.At(x, d) || painted.At(x, 149 - d) != expected.At(x, 149 - d);
  EXPECT_EQ(differing, 0);
}

// ---------------------------------------------------------------------------
// Scroll-bar decisions of descendants, automatic dragging and drag images
// ---------------------------------------------------------------------------

namespace {

class TRedundantControl : public TTestControl {
 public:
  using TTestControl::TTestControl;
  bool CanDrop = false;

 protected:
  bool CanDropRedundantScrollBar(TScrollBarKind) override { return CanDrop; }
};

class TBarlessControl : public TTestControl {
 public:
  using TTestControl::TTestControl;
  bool CanScroll = false;

 protected:
  bool HasOwnScrollBars() override { return false; }
  bool CanScrollContent(TcxDirection) override { return CanScroll; }
};

class TImageControl : public TTestControl {
 public:
  using TTestControl::TTestControl;
  int Drawn = 0;
  int Starts = 0;

 protected:
  bool HasDragImages() override { return true; }
  TPoint GetDragImageSize() override { return TPoint(16, 12); }
  void DrawDragImage(TcxCanvas* ACanvas, const TRect& R) override {
    ++Drawn;
    ACanvas->FillRect(R, clRed);
  }
  bool StartDrag(TDragObject*) override {
    ++Starts;
    return true;
  }
};

// Holds a key down through real input while it lives.
class KeyHeld {
 public:
  explicit KeyHeld(WORD AKey) : key_(AKey) { Send(0); }
  ~KeyHeld() { Send(KEYEVENTF_KEYUP); }

 private:
  void Send(DWORD AFlags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key_;
    input.ki.dwFlags = AFlags;
    SendInput(1, &input, sizeof(input));
    PumpQueuedMessages();
  }
  WORD key_;
};

}  // namespace

TEST(cxControls, RedundantPairOfBarsIsDroppedWhenTheDescendantAllows) {
  for (bool canDrop : {false, true}) {
    ControlFixture f;
    TRedundantControl* control = Make<TRedundantControl>(f.form.get());
    control->SetParent(f.form.get());
    control->SetBounds(10, 10, 200, 150);
    control->CanDrop = canDrop;
    const int vw = control->VScrollBar()->Width();
    const int hh = control->HScrollBar()->Height();
    // Each page is short of its range by less than the other bar's thickness.
    control->Params = [vw, hh](TTestControl& c) {
      c.SetScrollBarInfo(sbHorizontal, 0, 199, 1, 200 - vw + 1, 0, true, true);
      c.SetScrollBarInfo(sbVertical, 0, 149, 1, 150 - hh + 1, 0, true, true);
    };
    control->RecalcScrollBars();
    EXPECT_EQ(control->HScrollBar()->Visible(), !canDrop) << canDrop;
    EXPECT_EQ(control->VScrollBar()->Visible(), !canDrop) << canDrop;
  }
}

TEST(cxControls, WithoutOwnBarsContentScrollsOnlyWhereTheControlSaysSo) {
  Owned<TBarlessControl> control = MakeOwned<TBarlessControl>(nullptr);
  EXPECT_EQ(control->HScrollBar(), nullptr);
  EXPECT_FALSE(control->IsVScrollBarVisible());
  control->ScrollContent(dirDown);
  EXPECT_TRUE(control->Scrolls.empty());
  control->CanScroll = true;
  control->ScrollContent(dirNone);
  control->ScrollContent(dirLeft);
  ASSERT_EQ(control->Scrolls.size(), 1u);
  EXPECT_EQ(control->Scrolls[0].Kind, sbHorizontal);
  EXPECT_EQ(control->Scrolls[0].Code, scLineUp);
}

TEST(cxControls, AutomaticDragStartsOnceTheMouseLeavesTheThreshold) {
  ControlFixture f;
  TImageControl* control = Make<TImageControl>(f.form.get());
  control->SetParent(f.form.get());
  control->SetBounds(220, 10, 100, 100);
  control->SetDragMode(dmAutomatic);
  PumpQueuedMessages();
  const TPoint press(20, 20);
  ControlFixture::PlaceCursor(control, press);
  PostMessageW(control->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.X + 20, press.Y));
  {
    THangGuard guard([] { ReleaseCapture(); });
    SendMessageW(control->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.X, press.Y));
    EXPECT_FALSE(guard.Fired());
  }
  EXPECT_EQ(control->Starts, 1);
  ASSERT_TRUE(control->Dragging());
  EXPECT_NE(dynamic_cast<TcxDragControlObject*>(DragObject()), nullptr);
  // The drag image comes from the control's drawing.
  TDragImageList* images = control->GetDragImages();
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(images->Count(), 1);
  EXPECT_EQ(images->Width(), 16);
  EXPECT_EQ(control->Drawn, 1);
  // With Ctrl held the drag shows the copy cursor.
  auto* drag = static_cast<TcxDragControlObject*>(DragObject());
  EXPECT_EQ(drag->GetDragCursor(true, 0, 0), control->DragCursor());
  {
    KeyHeld ctrl(VK_CONTROL);
    EXPECT_EQ(drag->GetDragCursor(true, 0, 0), crcxDragCopy);
    EXPECT_EQ(drag->GetDragCursor(false, 0, 0), crNoDrop);
  }
  control->EndDrag(false);
  EXPECT_FALSE(control->Dragging());
  EXPECT_EQ(DragObject(), nullptr);
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

namespace {

class TPaintingControl : public TTestControl {
 public:
  using TTestControl::TTestControl;
  std::vector<TPoint> Origins;
  std::vector<bool> OnWindow;

 protected:
  void Paint() override {
    HDC dc = Canvas()->Canvas()->Handle();
    POINT origin{};
    GetWindowOrgEx(dc, &origin);
    Origins.push_back(TPoint(origin.x, origin.y));
    OnWindow.push_back(WindowFromDC(dc) != nullptr);
    Canvas()->FillRect(TRect(0, 0, Width(), Height()), clRed);
  }
};

}  // namespace

TEST(cxControls, OnWindows7PaintingGoesThroughAnOffScreenBitmap) {
  struct Restore {
    bool value = dxIsWindows7;
    ~Restore() { dxIsWindows7 = value; }
  } restore;
  for (bool windows7 : {false, true}) {
    dxIsWindows7 = windows7;
    ControlFixture f;
    TPaintingControl* control = Make<TPaintingControl>(f.form.get());
    control->SetParent(f.form.get());
    control->SetBounds(220, 10, 100, 80);
    PumpQueuedMessages();
    control->Origins.clear();
    control->OnWindow.clear();
    const RECT part{10, 20, 60, 50};
    InvalidateRect(control->Handle(), &part, FALSE);
    UpdateWindow(control->Handle());
    ASSERT_EQ(control->Origins.size(), 1u) << windows7;
    EXPECT_EQ(control->OnWindow[0], !windows7);
    if (windows7) {
      EXPECT_EQ(control->Origins[0], TPoint(10, 20));
    }
    HDC dc = GetDC(control->Handle());
    EXPECT_EQ(GetPixel(dc, 30, 30), RGB(255, 0, 0)) << windows7;
    ReleaseDC(control->Handle(), dc);
  }
}

TEST(cxControlsDragDrop, DragImageShowsTranslucentWithoutTakingTheActivation) {
  ControlFixture f;
  Owned<TcxCustomDragImage> image = MakeOwned<TcxCustomDragImage>();
  image->Init(TRect(0, 0, 40, 30), TPoint(5, 5));
  image->MoveTo(TPoint(300, 300));
  const HWND active = GetActiveWindow();
  image->SetVisible(true);
  EXPECT_TRUE(image->Visible());
  EXPECT_TRUE(IsWindowVisible(image->Handle()));
  EXPECT_EQ(GetActiveWindow(), active);
  EXPECT_TRUE(image->AlphaBlended());
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(image->Handle(), nullptr, &alpha, &flags));
  EXPECT_TRUE(flags & LWA_ALPHA);
  EXPECT_EQ(alpha, 180);
  image->SetVisible(false);
  EXPECT_FALSE(image->Visible());
}
