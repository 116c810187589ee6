#include "platform/WinApi.h"
#include "foundation/cxControlsTimer.h"

#include "tests/support/MessagePump.h"
#include "tests/support/TestObjects.h"
#include "tests/support/ThreadWindows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <vector>

namespace {

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
  auto* timer = Make<TcxTimer>(nullptr);
  timer->SetInterval(interval);
  if (ticks) timer->SetOnTimer(ticks->Event());
  return timer;
}

// A run a timer started: its identifier and the interval it asked for.
struct TStartedRun {
  UINT_PTR EventID;
  UINT Interval;
  bool operator==(const TStartedRun&) const = default;
};
void PrintTo(const TStartedRun& run, std::ostream* os) { *os << "{run " << run.EventID << ", " << run.Interval << " ms}"; }

// Records the runs the timers start while it lives. One that holds the
// ticks starts every run's system timer with an interval that never falls due
// in a test: the test delivers each tick itself and nothing depends on how
// fast the machine is. One that lets them run starts them as asked.
class RunRecorder {
 public:
  enum TMode { HoldTicks, LetTicksRun };
  explicit RunRecorder(TMode mode) : previous_(cxSetSetTimerProc(&RecordingSetTimer)) {
    Runs().clear();
    Mode() = mode;
  }
  ~RunRecorder() { cxSetSetTimerProc(previous_); }
  const std::vector<TStartedRun>& Started() const { return Runs(); }

 private:
  static std::vector<TStartedRun>& Runs() {
    static std::vector<TStartedRun> runs;
    return runs;
  }
  static TMode& Mode() {
    static TMode mode = HoldTicks;
    return mode;
  }
  static UINT_PTR WINAPI RecordingSetTimer(HWND wnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    Runs().push_back({id, elapse});
    return SetTimer(wnd, id, Mode() == HoldTicks ? USER_TIMER_MAXIMUM : elapse, proc);
  }
  TcxSetTimerProc previous_;
};

// Delivers a tick of the run `id` as the system does, and handles it.
void DeliverTick(UINT_PTR id) {
  PostMessageW(cxGetTimerWindowHandle(), WM_TIMER, id, 0);
  PumpQueuedMessages();
}

// Whether the system timer of the run `id` was still there (asking ends it).
bool SystemTimerWasRunning(UINT_PTR id) { return KillTimer(cxGetTimerWindowHandle(), id) != FALSE; }

}  // namespace

TEST(cxTimer, RunsExactlyWhileEnabledWithAHandler) {
  RunRecorder runs(RunRecorder::LetTicksRun);
  Ticks ticks;
  Owned<TcxTimer> timer(Make<TcxTimer>(nullptr));
  EXPECT_TRUE(timer->Enabled());
  EXPECT_EQ(timer->Interval(), 1000u);
  EXPECT_FALSE(timer->TimerOn());  // no handler yet

  timer->SetEnabled(false);
  timer->SetInterval(10);
  timer->SetOnTimer(ticks.Event());
  EXPECT_FALSE(timer->TimerOn());
  EXPECT_TRUE(runs.Started().empty()) << "no system timer without Enabled and a handler";

  timer->SetEnabled(true);
  EXPECT_TRUE(timer->TimerOn());
  ASSERT_EQ(runs.Started(), (std::vector<TStartedRun>{{timer->EventID(), 10}}));
  // The system's own ticks reach the handler.
  ASSERT_TRUE(PumpMessagesUntil([&] { return ticks.Count >= 3; }));
  EXPECT_EQ(ticks.Senders[0], timer.get());

  // Interval 0 is ignored and does not restart the run.
  const UINT_PTR run = timer->EventID();
  timer->SetInterval(0);
  EXPECT_EQ(timer->Interval(), 10u);
  EXPECT_EQ(timer->EventID(), run);
  EXPECT_EQ(runs.Started().size(), 1u);

  // Without a handler the run ends: its system timer is gone and a tick of
  // it reaches nobody.
  timer->SetOnTimer(TNotifyEvent());
  EXPECT_FALSE(timer->TimerOn());
  EXPECT_FALSE(SystemTimerWasRunning(run));
  const int count = ticks.Count;
  DeliverTick(run);
  EXPECT_EQ(ticks.Count, count);
}

TEST(cxTimer, EachRunAsksTheSystemForTheInterval) {
  RunRecorder runs(RunRecorder::HoldTicks);
  Ticks ticks;
  Owned<TcxTimer> timer(Make<TcxTimer>(nullptr));
  timer->SetOnTimer(ticks.Event());
  ASSERT_EQ(runs.Started(), (std::vector<TStartedRun>{{timer->EventID(), 1000}}))
      << "the default interval is one second";
  const UINT_PTR first = timer->EventID();

  timer->SetInterval(250);
  ASSERT_EQ(runs.Started().size(), 2u);
  EXPECT_EQ(runs.Started().back(), (TStartedRun{timer->EventID(), 250}));
  EXPECT_NE(timer->EventID(), first);
  EXPECT_FALSE(SystemTimerWasRunning(first));
  EXPECT_EQ(ticks.Count, 0);
}

TEST(cxTimer, AssigningTheHandlerAgainRestartsTheInterval) {
  RunRecorder runs(RunRecorder::HoldTicks);
  Ticks ticks;
  Owned<TcxTimer> timer(NewTimer(&ticks, 400));
  const UINT_PTR firstRun = timer->EventID();
  timer->SetOnTimer(ticks.Event());
  // A new run that asks for the whole interval again; the first one's
  // system timer is gone, so it cannot tick early.
  EXPECT_NE(timer->EventID(), firstRun);
  EXPECT_EQ(runs.Started(), (std::vector<TStartedRun>{{firstRun, 400}, {timer->EventID(), 400}}));
  EXPECT_FALSE(SystemTimerWasRunning(firstRun));
  EXPECT_TRUE(timer->TimerOn());

  DeliverTick(firstRun);
  EXPECT_EQ(ticks.Count, 0);
  DeliverTick(timer->EventID());
  EXPECT_EQ(ticks.Count, 1);
}

TEST(cxTimer, AllTimersShareOneHiddenWindow) {
  Ticks ticks;
  Owned<TcxTimer> first(NewTimer(&ticks, 10000));
  const HWND shared = cxGetTimerWindowHandle();
  ASSERT_NE(shared, nullptr);
  EXPECT_FALSE(IsWindowVisible(shared));
  EXPECT_EQ(GetParent(shared), nullptr);  // top-level
  const int windows = ThreadTopLevelWindowCount();
  const int running = cxGetRunningTimerCount();

  std::vector<Owned<TcxTimer>> timers;
  for (int i = 0; i < 20; ++i) timers.emplace_back(NewTimer(&ticks, 10000));
  EXPECT_EQ(ThreadTopLevelWindowCount(), windows);
  EXPECT_EQ(cxGetTimerWindowHandle(), shared);
  EXPECT_EQ(cxGetRunningTimerCount(), running + 20);

  timers.clear();
  first.reset();
  EXPECT_EQ(cxGetRunningTimerCount(), running - 1);
  EXPECT_EQ(ThreadTopLevelWindowCount(), windows);
}

TEST(cxTimer, ATimerFreedInItsOwnEventTicksNoMore) {
  RunRecorder runs(RunRecorder::HoldTicks);
  Ticks ticks;
  ticks.FreeOnTick = true;
  const int running = cxGetRunningTimerCount();
  const UINT_PTR run = NewTimer(&ticks, 10)->EventID();
  // Two ticks queued: the first frees the timer, the second finds nobody.
  PostMessageW(cxGetTimerWindowHandle(), WM_TIMER, run, 0);
  DeliverTick(run);
  EXPECT_EQ(ticks.Count, 1);
  EXPECT_EQ(cxGetRunningTimerCount(), running);
  EXPECT_FALSE(SystemTimerWasRunning(run));
}

TEST(cxTimer, AFreedTimerNeverFiresAgainEvenWithATickDue) {
  RunRecorder runs(RunRecorder::HoldTicks);
  Ticks ticks;
  auto* timer = NewTimer(&ticks, 10);
  const UINT_PTR run = timer->EventID();
  DeliverTick(run);
  DeliverTick(run);
  ASSERT_EQ(ticks.Count, 2);
  // A tick is waiting in the queue when the timer goes.
  PostMessageW(cxGetTimerWindowHandle(), WM_TIMER, run, 0);
  TObject::Free(timer);
  PumpQueuedMessages();
  EXPECT_EQ(ticks.Count, 2);
  EXPECT_FALSE(SystemTimerWasRunning(run));
}

TEST(cxTimer, TicksForStoppedOrFreedRunsReachNobody) {
  RunRecorder runs(RunRecorder::HoldTicks);
  Ticks oldTicks, newTicks;
  auto* old = NewTimer(&oldTicks, 60000);
  const UINT_PTR oldRun = old->EventID();
  const HWND window = cxGetTimerWindowHandle();
  ASSERT_NE(oldRun, 0u);

  // A tick already queued for a run that was stopped is dropped.
  old->SetEnabled(false);
  DeliverTick(oldRun);
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
  DeliverTick(restarted);
  EXPECT_EQ(oldTicks.Count, 0);
  EXPECT_EQ(newTicks.Count, 0);

  // The running timer's own identifier does reach it.
  DeliverTick(fresh->EventID());
  EXPECT_EQ(newTicks.Count, 1);
}

TEST(cxTimer, AfterTheModuleShutDownNoTimerStarts) {
  RunRecorder runs(RunRecorder::HoldTicks);
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

  const size_t started = runs.Started().size();
  Owned<TcxTimer> after(NewTimer(&ticks, 10));
  EXPECT_FALSE(after->TimerOn());
  EXPECT_EQ(cxGetTimerWindowHandle(), nullptr);
  EXPECT_EQ(runs.Started().size(), started) << "no system timer asked for";
  before.reset();  // stopping without a window is safe

  for (int i = 0; i < std::max(depth - 1, 1); ++i) cxControlsTimerInitialize();
  after->SetOnTimer(ticks.Event());
  EXPECT_TRUE(after->TimerOn());
  EXPECT_EQ(runs.Started().back(), (TStartedRun{after->EventID(), 10}));
  DeliverTick(after->EventID());
  EXPECT_EQ(ticks.Count, 1);
}
