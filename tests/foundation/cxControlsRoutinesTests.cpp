// Base-control module routines: the pure key, shift and caption helpers,
// monitor work areas against the system, window ancestry and enabled state
// on real windows, the drag-start loop fed with posted messages, component
// paths, designer notification and the popup-menu routines.
#include "platform/WinApi.h"
#include "foundation/cxControlsRoutines.h"

#include "foundation/cxControlsTimer.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"

#include "tests/foundation/cxControlsTestSupport.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

// Plain Win32 windows, destroyed with the object.
const wchar_t* TestWindowClass() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"cxRoutinesTestWindow";
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&wc);
    registered = true;
  }
  return L"cxRoutinesTestWindow";
}

struct Wnd {
  HWND h = nullptr;
  Wnd(DWORD style, HWND parent, int x, int y, int w, int h_, DWORD exStyle = 0) {
    h = CreateWindowExW(exStyle, TestWindowClass(), L"", style, x, y, w, h_, parent, nullptr,
                        GetModuleHandleW(nullptr), nullptr);
  }
  ~Wnd() {
    if (h && IsWindow(h)) DestroyWindow(h);
  }
  Wnd(const Wnd&) = delete;
  Wnd& operator=(const Wnd&) = delete;
};

}  // namespace

// ---------------------------------------------------------------------------
// Pure helpers
// ---------------------------------------------------------------------------

TEST(cxControlsRoutines, StripAccelAmpersands) {
  struct Case {
    const wchar_t* text;
    bool underscore;
    const wchar_t* expected;
  } cases[] = {
      {L"&File", false, L"File"},         {L"Save &As", true, L"Save As"},
      {L"Fish && Chips", false, L"Fish & Chips"},
      {L"a&&&b", false, L"a&b"},          {L"Tail&", false, L"Tail"},
      {L"Tail&", true, L"Tail_"},         {L"&", true, L"_"},
      {L"&&", true, L"&"},                {L"", true, L""},
      {L"文件(&F)", false, L"文件(F)"},
  };
  for (const Case& c : cases) {
    String result = L"stale";
    cxStripAccelAmpersands(c.text, c.underscore, result);
    EXPECT_EQ(result, c.expected) << c.text << " underscore " << c.underscore;
    EXPECT_EQ(cxStripAccelAmpersands(c.text, c.underscore), c.expected);
  }
}

TEST(cxControlsRoutines, NonTypingKeys) {
  const Word nonTyping[] = {3,   VK_BACK, VK_TAB, 12, VK_RETURN, VK_SHIFT, VK_CAPITAL, VK_ESCAPE, VK_PRIOR,
                            VK_DOWN, VK_DELETE, VK_HELP, VK_LWIN, VK_APPS, VK_NUMPAD0, VK_F1, VK_F24,
                            VK_NUMLOCK, VK_SCROLL, VK_LSHIFT, VK_RMENU, VK_PROCESSKEY, VK_ATTN, VK_OEM_CLEAR};
  for (Word key : nonTyping) EXPECT_TRUE(cxIsNonTypingKey(key)) << key;
  const Word typing[] = {0, 1, 2, 4, 10, 11, 14, 15, 21, 26, 28, VK_SPACE, 48, 'A', 'Z', 90, 146, 159,
                         166, 186, 228, 230, 245, 255, 256, 0xFFFF};
  for (Word key : typing) EXPECT_FALSE(cxIsNonTypingKey(key)) << key;
}

TEST(cxControlsRoutines, NumericEditAndControlChars) {
  const Char sep = FormatSettings().DecimalSeparator;
  struct Case {
    Char c;
    Byte kind;
    bool expected;
  } cases[] = {
      {L'5', 0, true},  {L'-', 0, true},  {L'+', 0, true},  {sep, 0, false},  {sep, 1, true},
      {sep, 2, true},   {L'e', 1, false}, {L'e', 2, true},  {L'E', 2, true},  {L'x', 2, false},
      {L' ', 1, false}, {L'e', 3, false},
  };
  for (const Case& c : cases) EXPECT_EQ(cxIsNumericEditChar(c.c, c.kind), c.expected) << int(c.c) << "/" << int(c.kind);
  EXPECT_TRUE(cxIsNotControlChar(L'a'));
  EXPECT_TRUE(cxIsNotControlChar(L'中'));
  EXPECT_FALSE(cxIsNotControlChar(L'\t'));
  EXPECT_FALSE(cxIsNotControlChar(L'\x7F'));
}

TEST(cxControlsRoutines, ShiftStateHelpers) {
  EXPECT_EQ(cxShiftToMouseKeyFlags({ssShift, ssLeft}), WPARAM(5));
  EXPECT_EQ(cxShiftToMouseKeyFlags({ssCtrl, ssRight, ssMiddle, ssAlt, ssDouble}),
            WPARAM(MK_CONTROL | MK_RBUTTON | MK_MBUTTON));
  EXPECT_EQ(cxShiftToMouseKeyFlags({ssAlt, ssDouble}), WPARAM(0));

  EXPECT_TRUE(cxIsShiftStateEmpty({}));
  EXPECT_TRUE(cxIsShiftStateEmpty({ssTouch, ssPen}));   // not among the tested flags
  EXPECT_FALSE(cxIsShiftStateEmpty({ssDouble}));

  EXPECT_TRUE(cxIsLeftButtonOnly({ssLeft}));
  EXPECT_FALSE(cxIsLeftButtonOnly({ssLeft, ssDouble}));
  EXPECT_TRUE(cxIsLeftButtonOnly({ssLeft, ssDouble}, true));
  EXPECT_FALSE(cxIsLeftButtonOnly({ssLeft, ssShift}, true));
  EXPECT_FALSE(cxIsLeftButtonOnly({ssLeft, ssRight}, true));
  EXPECT_FALSE(cxIsLeftButtonOnly({}, true));
}

TEST(cxControlsRoutines, DragDetectAreaIsSymmetric) {
  const int t = Mouse->DragThreshold();
  const TPoint p(100, 100);
  EXPECT_TRUE(cxIsInDragDetectArea(p, 100, 100));
  EXPECT_TRUE(cxIsInDragDetectArea(p, 100 + t - 1, 100 - t + 1));
  EXPECT_FALSE(cxIsInDragDetectArea(p, 100 + t, 100));
  EXPECT_FALSE(cxIsInDragDetectArea(p, 100 - t, 100));
  EXPECT_FALSE(cxIsInDragDetectArea(p, 100, 100 - t));
}

TEST(cxControlsRoutines, TranslateVirtualKey) {
  EXPECT_EQ(cxTranslateVirtualKeyToChar(VK_SPACE), L' ');
  EXPECT_EQ(cxTranslateVirtualKeyToChar(VK_F1), Char(0));
  EXPECT_EQ(cxTranslateVirtualKeyToChar(VK_LEFT), Char(0));
  EXPECT_EQ(cxPassKeyThrough(VK_RETURN), VK_RETURN);
}

// ---------------------------------------------------------------------------
// Monitors
// ---------------------------------------------------------------------------

TEST(cxControlsRoutines, WorkAreaMatchesTheMonitorInfo) {
  EnsureControlsRoutinesModule();
  const POINT points[] = {{10, 10}, {-5000, -5000}, {100000, 300}, {640, 100000}};
  for (POINT pt : points) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST), &info));
    TRect area(1, 2, 3, 4);
    cxWorkAreaFromPoint(TPoint(pt.x, pt.y), area);
    EXPECT_EQ(area, TRect(info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom))
        << pt.x << "," << pt.y;
  }
  // Without a monitor: the primary work area.
  RECT primary{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &primary, 0);
  TRect area(1, 2, 3, 4);
  cxMonitorWorkArea(nullptr, area);
  EXPECT_EQ(area, TRect(primary.left, primary.top, primary.right, primary.bottom));
  EXPECT_GT(area.Width(), 0);
}

// ---------------------------------------------------------------------------
// Windows
// ---------------------------------------------------------------------------

TEST(cxControlsRoutines, WindowAncestryAndEnabledState) {
  Wnd top(WS_OVERLAPPEDWINDOW, nullptr, 50, 50, 300, 200);
  Wnd child(WS_CHILD | WS_VISIBLE, top.h, 10, 10, 200, 150);
  Wnd grandChild(WS_CHILD | WS_VISIBLE, child.h, 5, 5, 50, 50);
  Wnd owned(WS_POPUP, top.h, 0, 0, 20, 20);
  ASSERT_TRUE(top.h && child.h && grandChild.h && owned.h);

  EXPECT_TRUE(cxHasChildWindowStyle(child.h));
  EXPECT_FALSE(cxHasChildWindowStyle(top.h));

  EXPECT_TRUE(cxIsSameOrChildWindow(top.h, top.h));
  EXPECT_TRUE(cxIsSameOrChildWindow(top.h, grandChild.h));
  EXPECT_FALSE(cxIsSameOrChildWindow(grandChild.h, top.h));
  EXPECT_FALSE(cxIsSameOrChildWindow(top.h, owned.h));   // owned, not a child
  EXPECT_FALSE(cxIsSameOrChildWindow(nullptr, nullptr));

  EXPECT_TRUE(cxHasAncestorWindow(top.h, grandChild.h));
  EXPECT_TRUE(cxHasAncestorWindow(top.h, owned.h));      // GetParent gives the owner
  EXPECT_FALSE(cxHasAncestorWindow(child.h, top.h));
  EXPECT_FALSE(cxHasAncestorWindow(nullptr, grandChild.h));

  EXPECT_TRUE(cxIsWindowEnabledDeep(grandChild.h));
  EnableWindow(child.h, FALSE);
  EXPECT_TRUE(IsWindowEnabled(grandChild.h));
  EXPECT_FALSE(cxIsWindowEnabledDeep(grandChild.h));
  EnableWindow(child.h, TRUE);
  // The walk stops at the first window without WS_CHILD: a disabled owner
  // does not disable its popup.
  EnableWindow(top.h, FALSE);
  EXPECT_FALSE(cxIsWindowEnabledDeep(grandChild.h));
  EXPECT_TRUE(cxIsWindowEnabledDeep(owned.h));
  EnableWindow(top.h, TRUE);
  EXPECT_FALSE(cxIsWindowEnabledDeep(nullptr));
}

TEST(cxControlsRoutines, RectsAndMapping) {
  Wnd top(WS_POPUP, nullptr, 40, 30, 300, 200);
  Wnd child(WS_CHILD, top.h, 10, 20, 100, 50);
  TRect r;
  EXPECT_TRUE(cxReadClientRect(child.h, r));
  EXPECT_EQ(r, TRect(0, 0, 100, 50));
  EXPECT_TRUE(cxReadWindowRect(child.h, r));
  EXPECT_EQ(r, TRect(50, 50, 150, 100));

  r = TRect(1, 2, 3, 4);
  EXPECT_FALSE(cxReadWindowRect(reinterpret_cast<HWND>(0x7654), r));
  EXPECT_EQ(r, TRect());
  r = TRect(1, 2, 3, 4);
  EXPECT_FALSE(cxReadClientRect(nullptr, r));
  EXPECT_EQ(r, TRect());

  TRect mapped(0, 0, 10, 10);
  cxMapRectBetweenWindows(child.h, nullptr, mapped);
  EXPECT_EQ(mapped, TRect(50, 50, 60, 60));
  cxMapRectBetweenWindows(nullptr, top.h, mapped);
  EXPECT_EQ(mapped, TRect(10, 20, 20, 30));
  TPoint p(-3, 4);
  cxMapPointBetweenWindows(top.h, child.h, p);
  EXPECT_EQ(p, TPoint(-13, -16));

  auto* control = Make<TCustomControl>(nullptr);
  Owned<TCustomControl> owner(control);
  r = TRect(1, 2, 3, 4);
  EXPECT_FALSE(cxGetControlWindowRect(control, r));   // no window
  EXPECT_EQ(r, TRect());
  control->SetParentWindow(top.h);
  control->SetBounds(5, 6, 30, 40);
  control->HandleNeeded();
  EXPECT_TRUE(cxGetControlWindowRect(control, r));
  EXPECT_EQ(r, TRect(45, 36, 75, 76));
  EXPECT_FALSE(cxGetControlWindowRect(nullptr, r));
}

TEST(cxControlsRoutines, FindWindowAtScreenPointReachesDisabledChildren) {
  Wnd top(WS_POPUP | WS_VISIBLE, nullptr, 200, 150, 200, 150, WS_EX_TOPMOST);
  Wnd child(WS_CHILD | WS_VISIBLE, top.h, 20, 20, 120, 100);
  Wnd grandChild(WS_CHILD | WS_VISIBLE | WS_DISABLED, child.h, 10, 10, 40, 40);
  Wnd hidden(WS_CHILD, child.h, 60, 10, 40, 40);
  PumpQueuedMessages();
  EXPECT_EQ(cxFindWindowAtScreenPoint(TPoint(235, 185)), grandChild.h);
  EXPECT_EQ(cxFindWindowAtScreenPoint(TPoint(285, 185)), child.h);   // the hidden one is skipped
  EXPECT_EQ(cxFindWindowAtScreenPoint(TPoint(205, 155)), top.h);
}

TEST(cxControlsRoutines, HandleObtainable) {
  EXPECT_FALSE(cxIsHandleObtainable(nullptr));
  Owned<TCustomControl> lonely(Make<TCustomControl>(nullptr));
  EXPECT_FALSE(cxIsHandleObtainable(lonely.get()));

  auto* child = Make<TCustomControl>(lonely.get());
  child->SetParent(lonely.get());
  EXPECT_FALSE(cxIsHandleObtainable(child));

  Wnd host(WS_POPUP, nullptr, 0, 0, 100, 100);
  lonely->SetParentWindow(host.h);
  EXPECT_TRUE(cxIsHandleObtainable(lonely.get()));
  EXPECT_TRUE(cxIsHandleObtainable(child));
  lonely->SetParentWindow(nullptr);

  Owned<TForm> form(Make<TForm>(nullptr, 0));
  EXPECT_TRUE(cxIsHandleObtainable(form.get()));
  auto* onForm = Make<TCustomControl>(form.get());
  onForm->SetParent(form.get());
  EXPECT_TRUE(cxIsHandleObtainable(onForm));
  EXPECT_FALSE(onForm->HandleAllocated());   // the test created nothing
}

namespace {

// Counts the CM_INVALIDATE messages it gets.
class TInvalidateCounter : public TCustomControl {
  DECLARE_CLASS(TInvalidateCounter, TCustomControl)
  explicit TInvalidateCounter(TComponent* AOwner) : TCustomControl(AOwner) {}
  int Count = 0;
  WPARAM LastWParam = 0;
  void CMInvalidate(TMessage& Message) {
    ++Count;
    LastWParam = Message.WParam;
    DispatchInherited(TInvalidateCounter::StaticClass(), &Message);
  }
};

BEGIN_CLASS(TInvalidateCounter, TCustomControl, (ConstructWith<TInvalidateCounter, TComponent>))
  b.Message<&TInvalidateCounter::CMInvalidate>(CM_INVALIDATE);
END_CLASS

bool HasUpdate(TWinControl* c) { return GetUpdateRect(c->WindowHandle(), nullptr, FALSE) != 0; }

}  // namespace

TEST(cxControlsRoutines, InvalidateControlWithParent) {
  Wnd host(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, 300, 300);
  Owned<TInvalidateCounter> parent(Make<TInvalidateCounter>(nullptr));
  parent->SetBounds(0, 0, 250, 250);
  parent->SetParentWindow(host.h);
  auto* control = Make<TCustomControl>(parent.get());
  // WS_CLIPCHILDREN: invalidating the control's own window leaves its
  // children alone.
  control->SetControlStyle(control->ControlStyle() + csAcceptsControls);
  control->SetParent(parent.get());
  control->SetBounds(10, 10, 200, 200);
  auto* plain = Make<TCustomControl>(parent.get());
  plain->SetParent(control);
  plain->SetBounds(0, 0, 40, 40);
  auto* opaque = Make<TCustomControl>(parent.get());
  opaque->SetParent(control);
  opaque->SetBounds(50, 0, 40, 40);
  opaque->SetControlStyle(opaque->ControlStyle() + csOpaque - csParentBackground);
  parent->HandleNeeded();
  PumpQueuedMessages();
  auto validateAll = [&] {
    for (TWinControl* c : {static_cast<TWinControl*>(parent.get()), static_cast<TWinControl*>(control),
                           static_cast<TWinControl*>(plain), static_cast<TWinControl*>(opaque)})
      ValidateRect(c->WindowHandle(), nullptr);
  };

  validateAll();
  cxInvalidateControlWithParent(control, false, false);
  EXPECT_EQ(parent->Count, 1);
  EXPECT_EQ(parent->LastWParam, WPARAM(1));
  EXPECT_FALSE(HasUpdate(control));

  validateAll();
  cxInvalidateControlWithParent(control, true, false);
  EXPECT_TRUE(HasUpdate(control));
  EXPECT_FALSE(HasUpdate(plain));

  validateAll();
  cxInvalidateControlWithParent(control, true, true);
  EXPECT_TRUE(HasUpdate(control));
  EXPECT_TRUE(HasUpdate(plain));
  EXPECT_FALSE(HasUpdate(opaque));

  // Without a window nothing happens.
  Owned<TCustomControl> windowless(Make<TCustomControl>(nullptr));
  const int before = parent->Count;
  cxInvalidateControlWithParent(windowless.get(), true, true);
  cxInvalidateControlWithParent(nullptr, true, true);
  EXPECT_EQ(parent->Count, before);
}

TEST(cxControlsRoutines, MDIFormTests) {
  EXPECT_FALSE(cxIsMDIChildForm(nullptr));
  EXPECT_FALSE(cxIsMDIParentForm(nullptr));
  Owned<TForm> form(Make<TForm>(nullptr, 0));
  EXPECT_FALSE(cxIsMDIChildForm(form.get()));
  form->SetFormStyle(fsMDIForm);
  EXPECT_TRUE(cxIsMDIParentForm(form.get()));
  EXPECT_FALSE(cxIsMDIChildForm(form.get()));
}

TEST(cxControlsRoutines, MessageWindowIsSharedAndAlive) {
  EnsureControlsRoutinesModule();
  TcxMessageWindow* window = cxGetMessageWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(cxGetMessageWindow(), window);
  EXPECT_TRUE(IsWindow(window->Handle()));
  // A top-level window: the broadcasts reach it.
  EXPECT_EQ(GetParent(window->Handle()), nullptr);
}

// ---------------------------------------------------------------------------
// Drag start
// ---------------------------------------------------------------------------

namespace {

// A visible window holding the cursor at a known point; cxWaitForDragStart
// runs after the given messages were posted. A hang guard ends a loop that
// does not stop by itself, so a fault cannot hang the run.
struct DragFixture {
  Wnd window{WS_POPUP | WS_VISIBLE, nullptr, 300, 200, 200, 200, WS_EX_TOPMOST};
  POINT press{};   // client coordinates

  DragFixture() {
    PumpQueuedMessages();
    SetCursorPos(400, 300);
    PumpQueuedMessages();
    POINT cursor;
    GetCursorPos(&cursor);
    press = cursor;
    ScreenToClient(window.h, &press);
    // Moves the warp produced are in the queue now; drop them.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {}
  }

  int Run(const std::vector<MSG>& posted) {
    for (const MSG& m : posted) PostMessageW(m.hwnd, m.message, m.wParam, m.lParam);
    THangGuard guard([] { ReleaseCapture(); });
    const int result = cxWaitForDragStart(window.h);
    EXPECT_FALSE(guard.Fired()) << "the posted messages did not end the wait";
    return result;
  }
  MSG Move(int dx, int dy) const {
    return MSG{window.h, WM_MOUSEMOVE, 0, MAKELPARAM(press.x + dx, press.y + dy), 0, {}};
  }
  MSG Msg(UINT message, WPARAM wParam = 0) const { return MSG{window.h, message, wParam, 0, 0, {}}; }
};

}  // namespace

TEST(cxControlsRoutines, WaitForDragStart) {
  const int t = Mouse->DragThreshold();
  ASSERT_GT(t, 1);
  struct Case {
    const char* name;
    std::function<std::vector<MSG>(const DragFixture&)> messages;
    int expected;
  } cases[] = {
      {"release", [](const DragFixture& f) { return std::vector<MSG>{f.Msg(WM_LBUTTONUP)}; }, 0},
      {"right release", [](const DragFixture& f) { return std::vector<MSG>{f.Msg(WM_RBUTTONUP)}; }, 0},
      {"small moves, then release",
       [t](const DragFixture& f) {
         return std::vector<MSG>{f.Move(t - 1, 0), f.Move(-(t - 1), t - 1), f.Msg(WM_MBUTTONUP)};
       },
       0},
      {"right", [t](const DragFixture& f) { return std::vector<MSG>{f.Move(t, 0), f.Msg(WM_LBUTTONUP)}; }, 1},
      {"left", [t](const DragFixture& f) { return std::vector<MSG>{f.Move(-t, 0), f.Msg(WM_LBUTTONUP)}; }, 1},
      {"up", [t](const DragFixture& f) { return std::vector<MSG>{f.Move(0, -t), f.Msg(WM_LBUTTONUP)}; }, 1},
      {"down", [t](const DragFixture& f) { return std::vector<MSG>{f.Move(0, t), f.Msg(WM_LBUTTONUP)}; }, 1},
      {"escape", [](const DragFixture& f) { return std::vector<MSG>{f.Msg(WM_KEYDOWN, VK_ESCAPE)}; }, 2},
      {"other key ignored",
       [](const DragFixture& f) { return std::vector<MSG>{f.Msg(WM_KEYDOWN, 'A'), f.Msg(WM_LBUTTONUP)}; }, 0},
  };
  for (const Case& c : cases) {
    DragFixture f;
    EXPECT_EQ(f.Run(c.messages(f)), c.expected) << c.name;
    EXPECT_NE(GetCapture(), f.window.h) << c.name;
  }
}

TEST(cxControlsRoutines, WaitForDragStartLeftOfAndAboveTheWindow) {
  // The press near the window's top-left corner: the moves go to negative
  // client coordinates.
  const int t = Mouse->DragThreshold();
  Wnd window(WS_POPUP | WS_VISIBLE, nullptr, 300, 200, 200, 200, WS_EX_TOPMOST);
  PumpQueuedMessages();
  SetCursorPos(302, 202);
  PumpQueuedMessages();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {}
  POINT press;
  GetCursorPos(&press);
  ScreenToClient(window.h, &press);
  PostMessageW(window.h, WM_MOUSEMOVE, 0, MAKELPARAM(press.x - t, press.y));
  EXPECT_EQ(cxWaitForDragStart(window.h), 1);
  PostMessageW(window.h, WM_MOUSEMOVE, 0, MAKELPARAM(press.x, press.y - t));
  EXPECT_EQ(cxWaitForDragStart(window.h), 1);
}

TEST(cxControlsRoutines, WaitForDragStartRepostsQuit) {
  DragFixture f;
  PostQuitMessage(7);
  EXPECT_EQ(f.Run({}), 2);
  EXPECT_NE(GetCapture(), f.window.h);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, WPARAM(7));
}

TEST(cxControlsRoutines, WaitForDragStartWithoutWindowEndsAtOnce) {
  EXPECT_EQ(cxWaitForDragStart(nullptr), 2);
}

// ---------------------------------------------------------------------------
// Components and the designer
// ---------------------------------------------------------------------------

TEST(cxControlsRoutines, ComponentDottedPath) {
  String path = L"stale";
  cxGetComponentDottedPath(nullptr, path);
  EXPECT_EQ(path, L"");

  Owned<TComponent> alone(Make<TComponent>(nullptr));
  alone->SetName(L"Alone");
  cxGetComponentDottedPath(alone.get(), path);
  EXPECT_EQ(path, L"Alone");

  auto* form = Make<TForm>(Application, 0);
  Owned<TForm> formOwner(form);
  form->SetName(L"Form1");
  auto* button = Make<TComponent>(form);
  button->SetName(L"Button1");
  cxGetComponentDottedPath(button, path);
  EXPECT_EQ(path, L".Form1.Button1");   // the application's name is empty
}

namespace {

class TDesignForm : public TForm {
 public:
  TDesignForm() : TForm(nullptr, 0) {}
  using TComponent::SetDesigning;
};

std::vector<TCustomForm*> gDesignerCalls;
void RecordDesigner(TCustomForm* ARoot) { gDesignerCalls.push_back(ARoot); }

// Re-enters the controller from the designer notification.
TcxDesignController* gReentrantController = nullptr;
void ReenterDesigner(TCustomForm* ARoot) {
  gDesignerCalls.push_back(ARoot);
  gReentrantController->DesignerModified(ARoot);
}
void FailingDesigner(TCustomForm*) { throw Exception(L"designer failed"); }

// Puts the process's designer notification back however the test ends: the
// re-entering one reaches a controller on the test's stack.
class TDesignerProcScope {
 public:
  explicit TDesignerProcScope(TcxDesignerModifiedProc AProc) : FSaved(cxSetDesignerModifiedProc(AProc)) {}
  ~TDesignerProcScope() {
    cxSetDesignerModifiedProc(FSaved);
    gReentrantController = nullptr;
  }
  TDesignerProcScope(const TDesignerProcScope&) = delete;
  TDesignerProcScope& operator=(const TDesignerProcScope&) = delete;

 private:
  TcxDesignerModifiedProc FSaved;
};

}  // namespace

TEST(cxControlsRoutines, DesignerNotification) {
  gDesignerCalls.clear();
  Owned<TDesignForm> form(Make<TDesignForm>());
  auto* control = Make<TCustomControl>(form.get());
  control->SetParent(form.get());
  Owned<TcxDesignController> owned(Make<TcxDesignController>());
  TcxDesignController& controller = *owned;
  TDesignerProcScope designer(&RecordDesigner);

  cxNotifyDesignerModified(control);   // run time: nothing
  EXPECT_TRUE(gDesignerCalls.empty());

  form->SetDesigning(true);
  ASSERT_TRUE(control->ComponentState().Contains(csDesigning));
  cxNotifyDesignerModified(control);
  ASSERT_EQ(gDesignerCalls.size(), 1u);
  EXPECT_EQ(gDesignerCalls[0], form.get());

  controller.LockDesignerModified();
  controller.LockDesignerModified();
  controller.DesignerModified(form.get());
  controller.UnLockDesignerModified();
  EXPECT_TRUE(controller.IsDesignerModifiedLocked());
  controller.DesignerModified(form.get());
  controller.UnLockDesignerModified();
  controller.UnLockDesignerModified();   // never below zero
  EXPECT_FALSE(controller.IsDesignerModifiedLocked());
  EXPECT_EQ(gDesignerCalls.size(), 1u);
  controller.DesignerModified(form.get());
  EXPECT_EQ(gDesignerCalls.size(), 2u);

  // A notification that comes back into the controller is not repeated; a
  // failing one leaves the controller usable.
  gReentrantController = &controller;
  cxSetDesignerModifiedProc(&ReenterDesigner);
  controller.DesignerModified(form.get());
  EXPECT_EQ(gDesignerCalls.size(), 3u);
  cxSetDesignerModifiedProc(&FailingDesigner);
  EXPECT_THROW(controller.DesignerModified(form.get()), Exception);
  EXPECT_FALSE(controller.State().Contains(dsDesignerModifying));

  // A parent being destroyed: nothing.
  cxSetDesignerModifiedProc(&RecordDesigner);
  form->Destroying();
  cxNotifyDesignerModified(control);
  EXPECT_EQ(gDesignerCalls.size(), 3u);
}

// ---------------------------------------------------------------------------
// Popup menus
// ---------------------------------------------------------------------------

namespace {

class TFakeMenuSource : public TComponent, public IcxMenuPopupSource {
 public:
  TFakeMenuSource() : TComponent(nullptr) {}
  bool IsMenuShortCut(TWMKey& AMessage) override {
    LastKey = AMessage.CharCode;
    return AMessage.CharCode == VK_F6;
  }
  void PopupAt(int X, int Y) override { Shown.push_back(TPoint(X, Y)); }
  Word LastKey = 0;
  std::vector<TPoint> Shown;
};

class TMenuProbe : public TObject {
 public:
  std::vector<int> Heights;
  size_t Next = 0;
  int Clicks = 0;
  void Measure(TObject*, TCanvas*, int&, int& Height) { Height = Heights.at(Next++ % Heights.size()); }
  void Click(TObject*) { ++Clicks; }
};

TMenuItem* AddItem(TPopupMenu* menu, const wchar_t* caption) {
  auto* item = Make<TMenuItem>(menu);
  item->SetCaption(caption);
  menu->Items()->Add(item);
  return item;
}

}  // namespace

TEST(cxControlsRoutines, PopupMenuHeight) {
  EXPECT_EQ(cxCalculatePopupMenuHeight(nullptr), 0);
  Owned<TPopupMenu> menu(Make<TPopupMenu>(nullptr));
  EXPECT_EQ(cxCalculatePopupMenuHeight(menu.get()), 4);

  // Plain items: the menu font's "Qg" height plus 4 each.
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Screen->MenuFont()->Handle());
  SIZE qg{};
  GetTextExtentPoint32W(dc, L"Qg", 2, &qg);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  AddItem(menu.get(), L"One");
  AddItem(menu.get(), L"Two");
  AddItem(menu.get(), L"Hidden")->SetVisible(false);
  EXPECT_EQ(cxCalculatePopupMenuHeight(menu.get()), 2 * (qg.cy + 4) + 4);

  // Owner-drawn items measure themselves; a break starts a new column and
  // the tallest column counts.
  Owned<TPopupMenu> drawn(Make<TPopupMenu>(nullptr));
  drawn->SetOwnerDraw(true);
  TMenuProbe probe;
  probe.Heights = {10, 20, 30, 25, 7};
  for (const wchar_t* caption : {L"a", L"b", L"c", L"d", L"e"}) {
    TMenuItem* item = AddItem(drawn.get(), caption);
    item->OnMeasureItem = TMenuMeasureItemEvent::Bind<&TMenuProbe::Measure>(&probe);
  }
  drawn->Items()->Items(2)->SetBreak(mbBreak);   // columns: 10+20 | 30+25+7
  EXPECT_EQ(cxCalculatePopupMenuHeight(drawn.get()), 62 + 4);
  probe.Next = 0;
  probe.Heights = {40, 20, 30, 5, 7};            // columns: 40+20 | 30+5+7
  EXPECT_EQ(cxCalculatePopupMenuHeight(drawn.get()), 60 + 4);
}

TEST(cxControlsRoutines, PopupMenuShortCutAndShow) {
  TWMKey key{};
  key.Msg = WM_KEYDOWN;
  key.CharCode = VK_F5;
  EXPECT_FALSE(cxPopupMenuIsShortCut(nullptr, key));
  EXPECT_FALSE(cxShowPopupMenu(nullptr, nullptr, 1, 2));

  Owned<TFakeMenuSource> source(Make<TFakeMenuSource>());
  EXPECT_FALSE(cxPopupMenuIsShortCut(source.get(), key));
  EXPECT_EQ(source->LastKey, VK_F5);
  key.CharCode = VK_F6;
  EXPECT_TRUE(cxPopupMenuIsShortCut(source.get(), key));
  EXPECT_TRUE(cxShowPopupMenu(nullptr, source.get(), 30, 40));
  ASSERT_EQ(source->Shown.size(), 1u);
  EXPECT_EQ(source->Shown[0], TPoint(30, 40));

  // A platform popup menu: its shortcuts run the item.
  Owned<TPopupMenu> menu(Make<TPopupMenu>(nullptr));
  TMenuProbe probe;
  TMenuItem* item = AddItem(menu.get(), L"Refresh");
  item->SetShortCut(ShortCut(VK_F5, {}));
  item->OnClick = TNotifyEvent::Bind<&TMenuProbe::Click>(&probe);
  key.CharCode = VK_F5;
  EXPECT_TRUE(cxPopupMenuIsShortCut(menu.get(), key));
  EXPECT_EQ(probe.Clicks, 1);
  key.CharCode = VK_F7;
  EXPECT_FALSE(cxPopupMenuIsShortCut(menu.get(), key));

  // Other components are not menus.
  Owned<TComponent> other(Make<TComponent>(nullptr));
  EXPECT_FALSE(cxPopupMenuIsShortCut(other.get(), key));
  EXPECT_FALSE(cxShowPopupMenu(nullptr, other.get(), 0, 0));

  // Without AutoPopup a platform menu is not shown; with it, it is shown for
  // the caller (an action its menu loop runs closes it).
  Owned<TComponent> caller(Make<TComponent>(nullptr));
  menu->SetAutoPopup(false);
  EXPECT_FALSE(cxShowPopupMenu(caller.get(), menu.get(), 10, 10));
  EXPECT_EQ(menu->PopupComponent(), nullptr);
  menu->SetAutoPopup(true);
  TPostedAction close([] { EndMenu(); });
  THangGuard guard([] { EndMenu(); });
  EXPECT_TRUE(cxShowPopupMenu(caller.get(), menu.get(), 120, 130));
  EXPECT_TRUE(close.Ran());
  EXPECT_FALSE(guard.Fired());
  EXPECT_EQ(menu->PopupComponent(), caller.get());
  EXPECT_EQ(menu->PopupPoint(), TPoint(120, 130));
  menu->SetPopupComponent(nullptr);
}

TEST(cxControlsRoutines, CursorPosAndDoubleClickTime) {
  TPoint p(-7, -7);
  EXPECT_TRUE(cxCursorPosOrInvalid(p));
  POINT expected;
  GetCursorPos(&expected);
  EXPECT_EQ(p, TPoint(expected.x, expected.y));
  EXPECT_EQ(cxSystemDoubleClickTime(), static_cast<int>(GetDoubleClickTime()));
}
