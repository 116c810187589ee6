// Worker threads and their synchronisation with the main (UI) thread, and
// critical sections.
//
// A worker hands work to the main thread with Synchronize: the call is queued,
// the WakeMainThread hook is told, and the worker waits until the main thread
// has run it in CheckSynchronize (the application's message loop calls it when
// woken, and TThread::WaitFor on the main thread serves the queue while it
// waits, so a UI thread waiting for a worker that synchronises never deadlocks).
#pragma once

#include "platform/core/System.h"
#include "platform/WinApi.h"

#include <atomic>
#include <exception>
#include <functional>

// A call run in the main thread: a method pointer or any callable.
using TThreadMethod = TClosure<void()>;
using TThreadProcedure = std::function<void()>;

class TThread : public TObject {
  DECLARE_CLASS(TThread, TObject)

  // The system thread exists from the constructor on, but runs nothing until
  // started. With createSuspended = false it is started by AfterConstruction
  // (which the class reference's NewInstance calls, once the whole object is
  // built); code that constructs with `new` and wants it running calls Start.
  explicit TThread(bool createSuspended);
  ~TThread() override;
  void AfterConstruction() override;
  // Frees a thread that is still running: Terminate, then WaitFor. A thread
  // that was never started is released without running Execute.
  void BeforeDestruction() override;

  // Lets the thread run; raises EThread when it was already started.
  void Start();
  void Resume() { Start(); }
  // Asks Execute to finish: sets Terminated, which Execute polls.
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  bool Finished() const { return finished_; }
  bool Started() const { return started_; }
  bool Suspended() const { return !started_; }

  // Waits until the thread has ended and returns its ReturnValue. On the main
  // thread it keeps running synchronised calls and sent messages meanwhile.
  // Raises EThread when the thread was never started, when it frees itself
  // (FreeOnTerminate) or when a thread waits for itself.
  int WaitFor();

  HANDLE Handle() const { return handle_; }
  DWORD ThreadID() const { return threadId_; }
  int ReturnValue() const { return returnValue_; }
  // The exception that ended Execute (or escaped OnTerminate), if any.
  std::exception_ptr FatalException() const { return fatalException_; }

  // The thread frees itself once Execute and OnTerminate are done. Read after
  // OnTerminate ran, so a main-thread OnTerminate handler (or code that ran
  // before it) may still turn it off and free the thread itself.
  bool FreeOnTerminate = false;
  // Fired in the main thread (through Synchronize) after Execute returned.
  TNotifyEvent OnTerminate;

  // Runs `method` in the main thread and waits for it; an exception it raises
  // is raised again in the calling thread. On the main thread it runs at once.
  void Synchronize(const TThreadProcedure& method) { Synchronize(this, method); }
  void Synchronize(TThreadMethod method) { Synchronize(this, method); }
  // The same for any thread; `thread` (may be null) is the WakeMainThread sender.
  static void Synchronize(TThread* thread, const TThreadProcedure& method);
  static void Synchronize(TThread* thread, TThreadMethod method);

 protected:
  virtual void Execute() = 0;
  // Runs OnTerminate in the main thread; overrides add their own final steps.
  virtual void DoTerminate();
  void SetReturnValue(int value) { returnValue_ = value; }

 private:
  static DWORD WINAPI ThreadProc(void* self);
  void WaitUntilExited();

  HANDLE handle_ = nullptr;
  DWORD threadId_ = 0;
  bool createSuspended_;
  std::atomic<bool> started_{false};
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> destroying_{false};
  int returnValue_ = 0;
  std::exception_ptr fatalException_;
};

// Runs the calls queued by Synchronize; main thread only (EThread otherwise).
// With a timeout, first waits up to that many milliseconds for a call to
// arrive. Returns whether any call ran.
bool CheckSynchronize(int timeoutMs = 0);
// Signalled while calls wait in the queue: a message loop may wait on it.
HANDLE SyncEvent();

// Told (in the synchronising thread, with that thread as sender, or null) each
// time a call is queued, so the main thread can be woken to run
// CheckSynchronize; the GUI points it at posting a message to its window.
// Set returns the previous handler, for a caller that chains and restores it.
TNotifyEvent GetWakeMainThread();
TNotifyEvent SetWakeMainThread(const TNotifyEvent& handler);

// The main thread: the thread that ran ThreadsInitialize, or until then the
// first thread that used this module.
DWORD MainThreadID();

// Module start-up: makes the calling thread the main thread. Shutdown fails
// calls still queued (their threads get EThread) so that none waits forever.
void ThreadsInitialize();
void ThreadsFinalize();

// A critical section; re-entrant for the thread that holds it.
class TCriticalSection : public TObject {
  DECLARE_CLASS(TCriticalSection, TObject)
  TCriticalSection();
  ~TCriticalSection() override;
  void Acquire() { EnterCriticalSection(&section_); }
  void Release() { LeaveCriticalSection(&section_); }
  void Enter() { Acquire(); }
  void Leave() { Release(); }
  bool TryEnter() { return TryEnterCriticalSection(&section_) != FALSE; }

 private:
  CRITICAL_SECTION section_;
};

// Holds a critical section for the lifetime of a scope.
class TLockGuard {
 public:
  explicit TLockGuard(TCriticalSection& section) : section_(section) { section_.Acquire(); }
  ~TLockGuard() { section_.Release(); }
  TLockGuard(const TLockGuard&) = delete;
  TLockGuard& operator=(const TLockGuard&) = delete;

 private:
  TCriticalSection& section_;
};
