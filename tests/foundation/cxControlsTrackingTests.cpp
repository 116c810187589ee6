// Mouse tracking ticked through the shared timer window with the cursor put
// where each case needs it; the settings controller's hidden window and its
// listeners; the system controller's synchronise message; the module's
// cursors and its shutdown with tracking left behind.
#include "platform/WinApi.h"
#include "foundation/cxControlsTracking.h"

#include "foundation/cxControls.h"
#include "foundation/dxCore.h"
#include "platform/core/Threads.h"
#include "platform/gui/Forms.h"

#include "tests/foundation/cxControlsTestSupport.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

struct Caller : IcxMouseTrackingCaller {
  int Left = 0;
  void TrackedMouseLeft() override { ++Left; }
};

struct AreaCaller : IcxMouseTrackingArea {
  bool Inside = true;
  int Left = 0;
  TPoint Asked{-1, -1};
  bool ContainsClientPoint(const TPoint& P) override {
    Asked = P;
    return Inside;
  }
  void TrackedMouseLeft() override { ++Left; }
};

// A base control that counts its mouse-leave notices and the settings
// messages it receives.
class TCountingControl : public TcxControl {
 public:
  explicit TCountingControl(TComponent* AOwner) : TcxControl(AOwner) {}
  int Leaves = 0;
  int SettingsMessages = 0;
  void WndProc(TMessage& Message) override {
    if (Message.Msg == DXM_SETTINGSCHANGED) ++SettingsMessages;
    TcxControl::WndProc(Message);
  }

 protected:
  void MouseLeft(TControl* AControl) override {
    ++Leaves;
    TcxControl::MouseLeft(AControl);
  }
};

// A shown form with a 100 x 50 control at client (10, 10).
struct TrackingFixture {
  TTimerStandIn timers;
  Owned<TForm> form{Make<TForm>(nullptr, 0)};
  TCountingControl* control = nullptr;

  TrackingFixture() {
    form->SetBounds(100, 100, 300, 200);
    control = Make<TCountingControl>(form.get());
    control->SetParent(form.get());
    control->SetBounds(10, 10, 100, 50);
    form->Show();
    PumpQueuedMessages();
  }
  void CursorToClient(int X, int Y) {
    const TPoint s = control->ClientToScreen(TPoint(X, Y));
    SetCursorPos(s.X, s.Y);
  }
  static void Tick(IcxMouseTrackingCaller* ACaller) {
    TMouseTrackingTimer* timer = cxMouseTrackingTimerOf(ACaller);
    ASSERT_NE(timer, nullptr);
    SendMessageW(cxGetTimerWindowHandle(), WM_TIMER, timer->EventID(), 0);
  }
};

// A hidden message-only window: no top-level window is made for it
// (broadcasts reach a listener through its thread's relay; see AllocateMessageHWnd).
bool IsHiddenMessageOnly(HWND AWnd) {
  if (!AWnd || !IsWindow(AWnd) || IsWindowVisible(AWnd)) return false;
  for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w; w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr))
    if (w == AWnd) return true;
  return false;
}

}  // namespace

TEST(cxControlsTracking, LeavingTheAreaTellsTheCallerAndTheControlWhenLeftToo) {
  struct Case {
    const char* name;
    TPoint cursor;   // client coordinates of the control
    bool tracking;   // still tracked after the tick
    int callerTold, controlTold;
  } cases[] = {
      {"inside the area", {15, 15}, true, 0, 0},
      {"inside the control, outside the area", {80, 40}, false, 1, 0},
      {"outside the control", {150, 40}, false, 1, 1},
  };
  for (const Case& c : cases) {
    TrackingFixture f;
    Caller caller;
    cxStartMouseTracking(f.control, TRect(0, 0, 50, 25), &caller);
    ASSERT_TRUE(cxIsMouseTracking(&caller)) << c.name;
    EXPECT_EQ(TTimerStandIn::Intervals().back(), 10u);
    f.CursorToClient(c.cursor.X, c.cursor.Y);
    TrackingFixture::Tick(&caller);
    EXPECT_EQ(cxIsMouseTracking(&caller), c.tracking) << c.name;
    EXPECT_EQ(caller.Left, c.callerTold) << c.name;
    EXPECT_EQ(f.control->Leaves, c.controlTold) << c.name;
    cxStopMouseTracking(&caller);
  }
  EXPECT_EQ(cxMouseTrackingCount(), 0);
}

TEST(cxControlsTracking, AnAreaCallerDecidesWhatIsInside) {
  TrackingFixture f;
  AreaCaller caller;
  cxStartMouseTracking(f.control, TRect(0, 0, 10, 10), &caller);
  f.CursorToClient(60, 30);   // outside the rectangle given
  TrackingFixture::Tick(&caller);
  EXPECT_TRUE(cxIsMouseTracking(&caller));
  EXPECT_EQ(caller.Asked, TPoint(60, 30));
  caller.Inside = false;
  TrackingFixture::Tick(&caller);
  EXPECT_FALSE(cxIsMouseTracking(&caller));
  EXPECT_EQ(caller.Left, 1);
  EXPECT_EQ(f.control->Leaves, 0);   // the cursor is still over the control
}

TEST(cxControlsTracking, ADisabledControlEndsTrackingAtTheNextTick) {
  TrackingFixture f;
  AreaCaller caller;
  cxStartMouseTracking(f.control, TRect(0, 0, 100, 50), &caller);
  f.CursorToClient(20, 20);
  f.control->SetEnabled(false);
  TrackingFixture::Tick(&caller);
  EXPECT_FALSE(cxIsMouseTracking(&caller));
  EXPECT_EQ(caller.Left, 1);
  EXPECT_EQ(f.control->Leaves, 1);
}

TEST(cxControlsTracking, StartingTwiceKeepsTheFirstArea) {
  TrackingFixture f;
  Caller caller;
  cxStartMouseTracking(f.control, TRect(0, 0, 50, 25), &caller);
  TMouseTrackingTimer* first = cxMouseTrackingTimerOf(&caller);
  cxStartMouseTracking(f.control, TRect(0, 0, 100, 50), &caller);
  EXPECT_EQ(cxMouseTrackingCount(), 1);
  EXPECT_EQ(cxMouseTrackingTimerOf(&caller), first);
  const TPoint origin = f.control->ClientToScreen(TPoint(0, 0));
  EXPECT_EQ(first->Bounds, TRect(origin.X, origin.Y, origin.X + 50, origin.Y + 25));
  cxStopMouseTracking(&caller);
  EXPECT_FALSE(cxIsMouseTracking(&caller));
}

TEST(cxControlsTracking, SettingsControllerWindowLivesWithItsListeners) {
  TcxSettingsController* controller = cxGetSettingsController();
  ASSERT_EQ(controller->ListenerCount(), 0);
  EXPECT_EQ(controller->WindowHandle(), nullptr);
  {
    TrackingFixture f;
    // A base control listens from its creation; one without a window is
    // skipped when the listeners are told.
    Owned<TCountingControl> windowless = MakeOwned<TCountingControl>(nullptr);
    EXPECT_EQ(controller->ListenerCount(), 2);
    const HWND wnd = controller->WindowHandle();
    ASSERT_TRUE(IsHiddenMessageOnly(wnd));
    const int before = f.control->SettingsMessages;
    SendMessageW(wnd, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    SendMessageW(wnd, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_EQ(f.control->SettingsMessages, before + 1);
    EXPECT_EQ(windowless->SettingsMessages, 0);
    EXPECT_FALSE(windowless->HandleAllocated());
  }
  EXPECT_EQ(controller->ListenerCount(), 0);
  EXPECT_EQ(controller->WindowHandle(), nullptr);
}

TEST(cxControlsTracking, SystemControllerRunsQueuedSynchronisation) {
  TcxSystemController* controller = cxGetSystemController();
  ASSERT_NE(controller, nullptr);
  ASSERT_TRUE(IsHiddenMessageOnly(controller->Handle()));
  bool ran = false;
  std::thread worker([&ran] { TThread::Synchronize(nullptr, [&ran] { ran = true; }); });
  // The call is queued once the event is signalled.
  WaitForSingleObject(SyncEvent(), INFINITE);
  SendMessageW(controller->Handle(), DXM_SYNCHRONIZE, 0, 0);
  EXPECT_TRUE(ran);
  worker.join();
}

TEST(cxControlsTracking, ModuleInstallsItsCursors) {
  const HCURSOR right = LoadCursorW(GetModuleHandleW(nullptr), L"CX_RIGHTSCROLLCURSOR");
  ASSERT_NE(right, nullptr);
  EXPECT_EQ(Screen->Cursors(crcxRightScroll), right);
  EXPECT_EQ(Screen->Cursors(crcxHandPoint), LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));
  for (TCursor id = crcxDragCopy; id <= crcxMultiDragCopy; ++id)
    EXPECT_NE(Screen->Cursors(id), Screen->Cursors(crDefault)) << id;
}

TEST(cxControlsTracking, ShutdownWithTrackingLeftReportsAndStillFinishes) {
  Caller caller;
  cxStartMouseTracking(nullptr, TRect(0, 0, 10, 10), &caller);
  try {
    cxControlsFinalize();
    ADD_FAILURE() << "no report";
  } catch (const EdxException& e) {
    EXPECT_EQ(e.Message, L"MouseTrackingTimerList.Count <> 0");
  }
  EXPECT_EQ(cxMouseTrackingCount(), 0);
  EXPECT_EQ(cxGetSystemController(), nullptr);
  EXPECT_TRUE(cxControlsIsFinalizing());
  cxStartMouseTracking(nullptr, TRect(0, 0, 10, 10), &caller);
  EXPECT_FALSE(cxIsMouseTracking(&caller));
  cxControlsInitialize();
  EXPECT_NE(cxGetSystemController(), nullptr);
  EXPECT_FALSE(cxControlsIsFinalizing());
}

TEST(cxControlsTracking, WheelStepsStayBounded) {
  struct Case {
    UINT lines;
    int pageLines, steps;
  } cases[] = {{3, 10, 3}, {0, 10, 0}, {WHEEL_PAGESCROLL, 7, 7}, {WHEEL_PAGESCROLL, 0, 1}, {500, 20, 20}};
  for (const Case& c : cases) EXPECT_EQ(cxWheelScrollSteps(c.lines, c.pageLines), c.steps) << c.lines;
}
