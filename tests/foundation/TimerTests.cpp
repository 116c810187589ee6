#include "platform/WinApi.h"
#include "foundation/cxControlsTimer.h"

#include "tests/support/MessagePump.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace {

// Runs the thread's message loop for a bounded time, or until `done` holds.
void Pump(DWORD ms, const std::function<bool()>& done = nullptr) { DrainMessagesFor(ms, done); }

BOOL CALLBACK CountWindow(HWND, LPARAM p) {
  ++*reinterpret_cast<int*>(p);
  return TRUE;
}

int CountThreadWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// Counts ticks; can free the ticking timer from inside its own event.
class Ticks : public TObject {
 public:
  int Count = 0;
  bool FreeOnTick = false;
  std::vector<TObject*> Senders;
  void Tick(TObject* Sender) {
    ++Count;
    Senders.push_back(Sender);
    if (FreeOnTick) TObject::Free(Sender);
  }
  TNotifyEvent Event() { return TNotifyEvent::Bind<&Ticks::Tick>(this); }
};

TcxTimer* NewTimer(Ticks* ticks, Cardinal interval) {
  auto* timer = new TcxTimer(nullptr);
  timer->SetInterval(interval);
  if (ticks) timer->SetOnTimer(ticks->Event());
  return timer;
}

}  // namespace

TEST(cxTimer, RunsExactlyWhileEnabledWithAHandler) {
  Ticks ticks;
  Owned<TcxTimer> timer(new TcxTimer(nullptr));
  EXPECT_TRUE(timer->Enabled());
  EXPECT_EQ(timer->Interval(), 1000u);
  EXPECT_FALSE(timer->TimerOn());  // no handler yet

  timer->SetEnabled(false);
  timer->SetInterval(10);
  timer->SetOnTimer(ticks.Event());
  EXPECT_FALSE(timer->TimerOn());
  Pump(150);
  EXPECT_EQ(ticks.Count, 0);

  timer->SetEnabled(true);
  EXPECT_TRUE(timer->TimerOn());
  Pump(2000, [&] { return ticks.Count >= 3; });
  EXPECT_GE(ticks.Count, 3);
  EXPECT_EQ(ticks.Senders[0], timer.get());

  // Interval 0 is ignored and does not restart the run.
  const UINT_PTR run = timer->EventID();
  timer->SetInterval(0);
  EXPECT_EQ(timer->Interval(), 10u);
  EXPECT_EQ(timer->EventID(), run);

  timer->SetOnTimer(TNotifyEvent());
  EXPECT_FALSE(timer->TimerOn());
  const int count = ticks.Count;
  Pump(100);
  EXPECT_EQ(ticks.Count, count);
}

TEST(cxTimer, TheDefaultIntervalIsOneSecond) {
  Ticks ticks;
  Owned<TcxTimer> timer(NewTimer(&ticks, 1000));
  Pump(700);
  EXPECT_EQ(ticks.Count, 0);
  Pump(2000, [&] { return ticks.Count > 0; });
  EXPECT_EQ(ticks.Count, 1);
}

TEST(cxTimer, AssigningTheHandlerAgainRestartsTheInterval) {
  Ticks ticks;
  Owned<TcxTimer> timer(NewTimer(&ticks, 400));
  Pump(250);
  const UINT_PTR firstRun = timer->EventID();
  timer->SetOnTimer(ticks.Event());
  EXPECT_NE(timer->EventID(), firstRun);
  Pump(250);  // 500 ms after the first start: the first run would have ticked
  EXPECT_EQ(ticks.Count, 0);
  Pump(2000, [&] { return ticks.Count > 0; });
  EXPECT_EQ(ticks.Count, 1);
}

TEST(cxTimer, AllTimersShareOneHiddenWindow) {
  Ticks ticks;
  Owned<TcxTimer> first(NewTimer(&ticks, 10000));
  const HWND shared = cxGetTimerWindowHandle();
  ASSERT_NE(shared, nullptr);
  EXPECT_FALSE(IsWindowVisible(shared));
  EXPECT_EQ(GetParent(shared), nullptr);  // top-level
  const int windows = CountThreadWindows();
  const int running = cxGetRunningTimerCount();

  std::vector<Owned<TcxTimer>> timers;
  for (int i = 0; i < 20; ++i) timers.emplace_back(NewTimer(&ticks, 10000));
  EXPECT_EQ(CountThreadWindows(), windows);
  EXPECT_EQ(cxGetTimerWindowHandle(), shared);
  EXPECT_EQ(cxGetRunningTimerCount(), running + 20);

  timers.clear();
  first.reset();
  EXPECT_EQ(cxGetRunningTimerCount(), running - 1);
  EXPECT_EQ(CountThreadWindows(), windows);
}

TEST(cxTimer, ATimerFreedInItsOwnEventTicksNoMore) {
  Ticks ticks;
  ticks.FreeOnTick = true;
  const int running = cxGetRunningTimerCount();
  NewTimer(&ticks, 10);
  Pump(2000, [&] { return ticks.Count > 0; });
  ASSERT_EQ(ticks.Count, 1);
  Pump(150);
  EXPECT_EQ(ticks.Count, 1);
  EXPECT_EQ(cxGetRunningTimerCount(), running);
}

TEST(cxTimer, AFreedTimerNeverFiresAgainEvenWithATickDue) {
  Ticks ticks;
  auto* timer = NewTimer(&ticks, 10);
  Pump(2000, [&] { return ticks.Count >= 2; });
  ASSERT_GE(ticks.Count, 2);
  Sleep(50);  // a tick falls due while nobody pumps
  TObject::Free(timer);
  const int count = ticks.Count;
  Pump(150);
  EXPECT_EQ(ticks.Count, count);
}

TEST(cxTimer, TicksForStoppedOrFreedRunsReachNobody) {
  Ticks oldTicks, newTicks;
  auto* old = NewTimer(&oldTicks, 60000);
  const UINT_PTR oldRun = old->EventID();
  const HWND window = cxGetTimerWindowHandle();
  ASSERT_NE(oldRun, 0u);

  // A tick already queued for a run that was stopped is dropped.
  old->SetEnabled(false);
  PostMessageW(window, WM_TIMER, oldRun, 0);
  Pump(50);
  EXPECT_EQ(oldTicks.Count, 0);

  // Nor does it reach a timer made after the old one was freed (even in the
  // old one's memory): every run has an identifier of its own.
  old->SetEnabled(true);
  const UINT_PTR restarted = old->EventID();
  EXPECT_NE(restarted, oldRun);
  TObject::Free(old);
  Owned<TcxTimer> fresh(NewTimer(&newTicks, 60000));
  EXPECT_NE(fresh->EventID(), oldRun);
  EXPECT_NE(fresh->EventID(), restarted);
  PostMessageW(window, WM_TIMER, oldRun, 0);
  PostMessageW(window, WM_TIMER, restarted, 0);
  Pump(50);
  EXPECT_EQ(oldTicks.Count, 0);
  EXPECT_EQ(newTicks.Count, 0);

  // The running timer's own identifier does reach it.
  PostMessageW(window, WM_TIMER, fresh->EventID(), 0);
  Pump(500, [&] { return newTicks.Count > 0; });
  EXPECT_EQ(newTicks.Count, 1);
}

TEST(cxTimer, AfterTheModuleShutDownNoTimerStarts) {
  Ticks ticks;
  Owned<TcxTimer> before(NewTimer(&ticks, 60000));
  ASSERT_NE(cxGetTimerWindowHandle(), nullptr);
  // Down whatever the module's start-up count is (the module list may or may
  // not have started it), then up again as often.
  cxControlsTimerInitialize();
  int depth = 0;
  while (cxGetTimerWindowHandle() && depth < 10) {
    cxControlsTimerFinalize();
    ++depth;
  }
  ASSERT_EQ(cxGetTimerWindowHandle(), nullptr);
  EXPECT_FALSE(before->TimerOn());
  EXPECT_EQ(cxGetRunningTimerCount(), 0);

  Owned<TcxTimer> after(NewTimer(&ticks, 10));
  EXPECT_FALSE(after->TimerOn());
  EXPECT_EQ(cxGetTimerWindowHandle(), nullptr);
  Pump(100);
  EXPECT_EQ(ticks.Count, 0);
  before.reset();  // stopping without a window is safe

  for (int i = 0; i < std::max(depth - 1, 1); ++i) cxControlsTimerInitialize();
  after->SetOnTimer(ticks.Event());
  EXPECT_TRUE(after->TimerOn());
  Pump(2000, [&] { return ticks.Count > 0; });
  EXPECT_GE(ticks.Count, 1);
}
