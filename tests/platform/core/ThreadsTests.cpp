#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Threads.h"

#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// The waits of these tests end on what happened (a flag, an event, a thread
// that ended). A wait for something that must come is bounded generously, so
// that only a real hang ends it; the watchdog, bounded more generously still,
// ends the process with the name of the hung test should a deadlock block a
// wait that has no bound of its own (WaitFor, an entered critical section),
// long before the run's own timeout would.
class Watchdog {
 public:
  Watchdog() : stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    if (test) std::snprintf(name_, sizeof name_, "%s.%s", test->test_suite_name(), test->name());
    thread_ = CreateThread(nullptr, 0, &Watchdog::Run, this, 0, nullptr);
  }
  ~Watchdog() {
    SetEvent(stop_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(stop_);
  }

 private:
  static DWORD WINAPI Run(void* p) {
    auto* self = static_cast<Watchdog*>(p);
    if (WaitForSingleObject(self->stop_, 2 * kHangBoundMs) == WAIT_TIMEOUT) {
      std::fprintf(stderr, "Watchdog: %s hung (deadlock?)\n", self->name_);
      std::fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    }
    return 0;
  }
  char name_[256] = "a test";
  HANDLE stop_;
  HANDLE thread_;
};

// Serves synchronised calls until `done` holds; false only on a hang.
bool PumpUntil(const std::function<bool()>& done) {
  return WaitUntil(done, [] { CheckSynchronize(10); });
}

// A thread running a callable; counts live instances to show what was freed.
class TestThread : public TThread {
 public:
  static std::atomic<int> Live;
  TestThread(std::function<void(TestThread&)> body, bool suspended = true)
      : TThread(suspended), body_(std::move(body)) {
    ++Live;
  }
  ~TestThread() override { --Live; }
  using TThread::SetReturnValue;
  std::atomic<bool> Executed{false};

 protected:
  void Execute() override {
    Executed = true;
    if (body_) body_(*this);
  }

 private:
  std::function<void(TestThread&)> body_;
};
std::atomic<int> TestThread::Live{0};

template <class T>
void FreeThread(T*& t) {
  FreeAndNil(t);
}

// Receives OnTerminate and WakeMainThread events.
class Listener : public TObject {
 public:
  void Terminated(TObject* sender) {
    terminatedBy = sender;
    terminatedOn = GetCurrentThreadId();
  }
  void Bump() { bumpedOn = GetCurrentThreadId(); }
  void Wake(TObject* sender) {
    wakeSender = sender;
    wakeOn = GetCurrentThreadId();
    ++wakes;
  }
  TObject* terminatedBy = nullptr;
  DWORD terminatedOn = 0;
  DWORD bumpedOn = 0;
  std::atomic<TObject*> wakeSender{nullptr};
  std::atomic<DWORD> wakeOn{0};
  std::atomic<int> wakes{0};
};

}  // namespace

// ---------------------------------------------------------------------------
// Synchronize
// ---------------------------------------------------------------------------

// The UI thread waits for a worker that needs the UI thread: WaitFor must run
// the worker's calls meanwhile, or both wait for ever.
TEST(ThreadSync, WaitForOnTheMainThreadRunsTheWorkersCalls) {
  Watchdog dog;
  const DWORD main = GetCurrentThreadId();
  ASSERT_EQ(MainThreadID(), main);
  std::vector<DWORD> ranOn;
  Listener listener;
  auto* t = Make<TestThread>([&](TestThread& self) {
    for (int i = 0; i < 3; ++i) self.Synchronize([&] { ranOn.push_back(GetCurrentThreadId()); });
    self.Synchronize(TThreadMethod::Bind<&Listener::Bump>(&listener));  // a method pointer
    self.SetReturnValue(7);
  });
  t->OnTerminate = TNotifyEvent::Bind<&Listener::Terminated>(&listener);
  t->Start();
  EXPECT_EQ(t->WaitFor(), 7);
  EXPECT_EQ(ranOn, (std::vector<DWORD>{main, main, main}));
  EXPECT_EQ(listener.bumpedOn, main);
  EXPECT_EQ(listener.terminatedBy, t);
  EXPECT_EQ(listener.terminatedOn, main);
  EXPECT_TRUE(t->Finished());
  FreeThread(t);
}

TEST(ThreadSync, ExceptionsOfTheCallReachTheWorker) {
  Watchdog dog;
  String caught;
  bool rightType = false;
  auto* t = Make<TestThread>([&](TestThread& self) {
    try {
      self.Synchronize([] { throw EConvertError(L"'x' is not a valid integer value"); });
    } catch (EConvertError& e) {
      rightType = true;
      caught = e.Message;
    }
    // Not caught: ends Execute, kept as the thread's fatal exception.
    self.Synchronize([] { throw EListError(L"List index out of bounds (5)"); });
  });
  t->Start();
  t->WaitFor();
  EXPECT_TRUE(rightType);
  EXPECT_EQ(caught, L"'x' is not a valid integer value");
  ASSERT_TRUE(t->FatalException());
  try {
    std::rethrow_exception(t->FatalException());
  } catch (EListError& e) {
    EXPECT_EQ(e.Message, L"List index out of bounds (5)");
  } catch (...) {
    ADD_FAILURE() << "wrong exception type";
  }
  FreeThread(t);
}

TEST(ThreadSync, CheckSynchronizeRunsQueuedCallsAndTellsWhetherItDid) {
  Watchdog dog;
  EXPECT_FALSE(CheckSynchronize(0));
  EXPECT_FALSE(CheckSynchronize(20));  // waits, nothing comes
  std::atomic<int> calls{0};
  Listener listener;
  // Restored however the test ends: the hook points at the listener on this stack.
  struct WakeHook {
    TNotifyEvent previous;
    explicit WakeHook(TNotifyEvent wake) : previous(SetWakeMainThread(wake)) {}
    ~WakeHook() { SetWakeMainThread(previous); }
  } hook(TNotifyEvent::Bind<&Listener::Wake>(&listener));
  auto* t = Make<TestThread>([&](TestThread& self) { self.Synchronize([&] { ++calls; }); });
  t->Start();
  // The timed form returns as soon as the call arrives. (The worker wakes the
  // main thread after queueing the call, so the call may run before the wake
  // hook has returned on the worker: wait for both.)
  EXPECT_TRUE(PumpUntil([&] { return calls == 1 && listener.wakes == 1; }));
  EXPECT_EQ(listener.wakes, 1);
  EXPECT_EQ(listener.wakeSender, t);
  EXPECT_EQ(listener.wakeOn, t->ThreadID());  // told from the worker
  t->WaitFor();
  FreeThread(t);
}

TEST(ThreadSync, CheckSynchronizeRefusesOtherThreadsAndTheMainThreadCallsDirectly) {
  Watchdog dog;
  String message;
  auto* t = Make<TestThread>([&](TestThread&) {
    try {
      CheckSynchronize();
    } catch (EThread& e) {
      message = e.Message;
    }
  });
  t->Start();
  t->WaitFor();
  EXPECT_NE(message.find(L"which is NOT the main thread"), String::npos) << message.c_str();
  FreeThread(t);

  bool ran = false;
  TThread::Synchronize(nullptr, [&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_FALSE(CheckSynchronize());
}

// A worker blocked in SendMessage to a window of the UI thread is served by
// WaitFor as well.
TEST(ThreadSync, WaitForServesSentMessages) {
  Watchdog dog;
  HWND wnd = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  if (!wnd) GTEST_SKIP() << "no windows here";
  auto* t = Make<TestThread>([&](TestThread& self) {
    SetLastError(0);
    SendMessageW(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"sent"));
    self.Synchronize([] {});
  });
  t->Start();
  t->WaitFor();
  wchar_t text[16] = {};
  GetWindowTextW(wnd, text, 16);
  EXPECT_STREQ(text, L"sent");
  FreeThread(t);
  DestroyWindow(wnd);
}

TEST(ThreadSync, ShutdownReleasesWorkersStillWaiting) {
  Watchdog dog;
  String message;
  auto* t = Make<TestThread>([&](TestThread& self) {
    try {
      self.Synchronize([] {});
    } catch (EThread& e) {
      message = e.Message;
    }
  });
  t->Start();
  ASSERT_EQ(WaitForSingleObject(SyncEvent(), kHangBoundMs), WAIT_OBJECT_0);  // the call is queued
  ThreadsFinalize();
  ThreadsInitialize();
  t->WaitFor();
  EXPECT_NE(message.find(L"shutting down"), String::npos);
  FreeThread(t);
}

// ---------------------------------------------------------------------------
// Life cycle
// ---------------------------------------------------------------------------

TEST(ThreadLifecycle, TerminateEndsTheLoopAndWaitForReturnsTheResult) {
  Watchdog dog;
  std::atomic<bool> looping{false};
  auto* t = Make<TestThread>([&](TestThread& self) {
    looping = true;
    while (!self.Terminated()) Sleep(1);
    self.SetReturnValue(42);
  });
  EXPECT_TRUE(t->Suspended());
  EXPECT_NE(t->Handle(), nullptr);
  EXPECT_NE(t->ThreadID(), 0u);
  t->Start();
  EXPECT_THROW(t->Start(), EThread);
  ASSERT_TRUE(PumpUntil([&] { return looping.load(); }));
  EXPECT_FALSE(t->Finished());
  t->Terminate();
  EXPECT_TRUE(t->Terminated());
  EXPECT_EQ(t->WaitFor(), 42);
  EXPECT_EQ(t->WaitFor(), 42);  // again, on an ended thread
  EXPECT_FALSE(t->FatalException());
  FreeThread(t);
}

TEST(ThreadLifecycle, NotSuspendedThreadsStartAfterConstruction) {
  Watchdog dog;
  auto* t = Make<TestThread>(nullptr, false);  // the constructor itself starts nothing
  EXPECT_TRUE(t->Started());
  t->WaitFor();
  EXPECT_TRUE(t->Executed);
  FreeThread(t);
}

TEST(ThreadLifecycle, FreeOnTerminateThreadsFreeThemselves) {
  Watchdog dog;
  const int before = TestThread::Live;
  Listener listener;
  std::atomic<int> synced{0};
  HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  for (int i = 0; i < 5; ++i) {
    auto* t = Make<TestThread>([&](TestThread& self) {
      WaitForSingleObject(go, kHangBoundMs);
      self.Synchronize([&] { ++synced; });
    });
    t->FreeOnTerminate = true;
    t->OnTerminate = TNotifyEvent::Bind<&Listener::Terminated>(&listener);
    EXPECT_THROW(t->WaitFor(), EThread);  // never started
    t->Start();
    EXPECT_THROW(t->WaitFor(), EThread);  // it frees itself: nothing to wait on
  }
  SetEvent(go);
  EXPECT_TRUE(PumpUntil([&] { return TestThread::Live == before; })) << TestThread::Live - before << " left";
  EXPECT_EQ(synced, 5);
  CloseHandle(go);
}

// The UI thread may switch self-freeing off in OnTerminate and free the
// thread itself, as an animation that is stopped early does.
TEST(ThreadLifecycle, FreeOnTerminateTurnedOffLateIsHonoured) {
  Watchdog dog;
  const int before = TestThread::Live;
  auto* t = Make<TestThread>(nullptr);
  t->FreeOnTerminate = true;
  struct Stopper : TObject {
    void OnTerm(TObject* sender) {
      static_cast<TThread*>(sender)->FreeOnTerminate = false;
      done = true;
    }
    bool done = false;
  } stopper;
  t->OnTerminate = TNotifyEvent::Bind<&Stopper::OnTerm>(&stopper);
  t->Start();
  ASSERT_TRUE(PumpUntil([&] { return stopper.done; }));
  t->WaitFor();
  EXPECT_EQ(TestThread::Live, before + 1);
  FreeThread(t);
  EXPECT_EQ(TestThread::Live, before);
}

TEST(ThreadLifecycle, FreeingStopsRunningThreadsAndNeverHangsOnUnstartedOnes) {
  Watchdog dog;
  std::atomic<bool> looping{false};
  auto* running = Make<TestThread>([&](TestThread& self) {
    looping = true;
    while (!self.Terminated()) self.Synchronize([] { Sleep(1); });
  });
  running->Start();
  ASSERT_TRUE(PumpUntil([&] { return looping.load(); }));
  FreeThread(running);  // Terminate + WaitFor, serving its calls

  Listener listener;
  auto* unstarted = Make<TestThread>(nullptr);
  unstarted->OnTerminate = TNotifyEvent::Bind<&Listener::Terminated>(&listener);
  TestThread* seen = unstarted;
  FreeThread(unstarted);
  EXPECT_EQ(listener.terminatedBy, seen);
}

TEST(ThreadLifecycle, UnstartedThreadSkipsExecute) {
  Watchdog dog;
  auto* t = Make<TestThread>(nullptr);
  t->Terminate();
  t->Start();
  t->WaitFor();
  EXPECT_FALSE(t->Executed);
  FreeThread(t);
}

// ---------------------------------------------------------------------------
// Critical sections
// ---------------------------------------------------------------------------

TEST(CriticalSection, ExcludesOtherThreadsAndIsReentrant) {
  Watchdog dog;
  TCriticalSection cs;
  long counter = 0;
  std::vector<TestThread*> workers;
  for (int i = 0; i < 4; ++i) {
    workers.push_back(Make<TestThread>([&](TestThread&) {
      for (int n = 0; n < 20000; ++n) {
        TLockGuard lock(cs);
        const long v = counter;
        if ((n & 1023) == 0) Sleep(0);  // widen the window a race would need
        counter = v + 1;
      }
    }));
  }
  for (TestThread* w : workers) w->Start();
  for (TestThread* w : workers) {
    w->WaitFor();
    TObject::Free(w);
  }
  EXPECT_EQ(counter, 80000);

  cs.Enter();
  EXPECT_TRUE(cs.TryEnter());  // the owner may enter again
  cs.Leave();
  bool otherGotIt = true;
  auto* other = Make<TestThread>([&](TestThread&) {
    otherGotIt = cs.TryEnter();
    if (otherGotIt) cs.Leave();
  });
  other->Start();
  other->WaitFor();
  EXPECT_FALSE(otherGotIt);
  cs.Leave();
  FreeThread(other);
}
