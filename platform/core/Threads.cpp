#include "platform/core/Threads.h"

#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"

#include <cwchar>
#include <vector>

IMPLEMENT_CLASS(TThread, TObject, nullptr)
IMPLEMENT_CLASS(TCriticalSection, TObject, ConstructPlain<TCriticalSection>)

namespace {

// Zero until the main thread is known; constant-initialised.
std::atomic<DWORD> g_mainThread{0};

DWORD EnsureMainThread() {
  DWORD expected = 0;
  const DWORD self = GetCurrentThreadId();
  if (g_mainThread.compare_exchange_strong(expected, self)) return self;
  return expected;
}

bool OnMainThread() { return GetCurrentThreadId() == EnsureMainThread(); }

struct SyncRequest {
  TThread* Thread;
  const TThreadProcedure* Method;
  std::exception_ptr Error;
  HANDLE Done;
};

// The queue of synchronised calls. Made on first use and kept for the life of
// the process: workers may still reach it while the program shuts down.
struct SyncState {
  CRITICAL_SECTION Lock;
  HANDLE Event;                       // manual reset: set while the queue is not empty
  std::vector<SyncRequest*> Queue;
  TNotifyEvent Wake;
  bool ShutDown = false;
  SyncState() {
    InitializeCriticalSection(&Lock);
    Event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  }
};

SyncState& Sync() {
  static SyncState* state = new SyncState;
  return *state;
}

class SyncLock {
 public:
  SyncLock() { EnterCriticalSection(&Sync().Lock); }
  ~SyncLock() { LeaveCriticalSection(&Sync().Lock); }
};

// The thread whose synchronised call the main thread is running (main thread
// only): waiting for that thread from inside its own call could never end.
TThread* g_runningCallOf = nullptr;

String OSErrorText(DWORD code) {
  wchar_t* buf = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  String text;
  if (n && buf) text.assign(buf, n);
  if (buf) LocalFree(buf);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  return text;
}

// Runs any sent messages waiting for this thread (other threads' SendMessage
// calls block until the receiving thread looks at its queue).
void ServeSentMessages() {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

}  // namespace

DWORD MainThreadID() { return EnsureMainThread(); }

HANDLE SyncEvent() { return Sync().Event; }

TNotifyEvent GetWakeMainThread() {
  SyncLock lock;
  return Sync().Wake;
}

TNotifyEvent SetWakeMainThread(const TNotifyEvent& handler) {
  SyncLock lock;
  TNotifyEvent previous = Sync().Wake;
  Sync().Wake = handler;
  return previous;
}

void ThreadsInitialize() {
  g_mainThread = GetCurrentThreadId();
  SyncLock lock;
  Sync().ShutDown = false;
}

void ThreadsFinalize() {
  std::vector<SyncRequest*> pending;
  {
    SyncLock lock;
    Sync().ShutDown = true;
    pending.swap(Sync().Queue);
    ResetEvent(Sync().Event);
  }
  for (SyncRequest* r : pending) {
    r->Error = std::make_exception_ptr(EThread(L"Synchronize was cancelled: the program is shutting down"));
    SetEvent(r->Done);  // r belongs to the waiting thread; not touched after this
  }
}

bool CheckSynchronize(int timeoutMs) {
  if (!OnMainThread()) {
    Char id[16];
    std::swprintf(id, 16, L"%lX", static_cast<unsigned long>(GetCurrentThreadId()));
    throw EThread(String(L"CheckSynchronize called from thread $") + id + L", which is NOT the main thread");
  }
  if (timeoutMs > 0) WaitForSingleObject(Sync().Event, static_cast<DWORD>(timeoutMs));
  std::vector<SyncRequest*> batch;
  {
    SyncLock lock;
    batch.swap(Sync().Queue);
    ResetEvent(Sync().Event);
  }
  for (SyncRequest* r : batch) {
    TThread* const outer = g_runningCallOf;
    g_runningCallOf = r->Thread;
    try {
      (*r->Method)();
    } catch (...) {
      r->Error = std::current_exception();
    }
    g_runningCallOf = outer;
    SetEvent(r->Done);  // r belongs to the waiting thread; not touched after this
  }
  return !batch.empty();
}

void TThread::Synchronize(TThread* thread, const TThreadProcedure& method) {
  if (!method) return;
  if (OnMainThread()) {
    method();
    return;
  }
  SyncRequest request{thread, &method, nullptr, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  if (!request.Done) RaiseLastOSError();
  TNotifyEvent wake;
  {
    SyncLock lock;
    if (Sync().ShutDown) {
      CloseHandle(request.Done);
      throw EThread(L"Synchronize was cancelled: the program is shutting down");
    }
    Sync().Queue.push_back(&request);
    SetEvent(Sync().Event);
    wake = Sync().Wake;
  }
  // The hook only hurries the main thread along; the call is queued either way,
  // so a failing hook must not leave this thread without waiting for it.
  if (wake.Assigned()) {
    try {
      wake(thread);
    } catch (...) {
    }
  }
  WaitForSingleObject(request.Done, INFINITE);
  CloseHandle(request.Done);
  if (request.Error) std::rethrow_exception(request.Error);
}

void TThread::Synchronize(TThread* thread, TThreadMethod method) {
  if (!method.Assigned()) return;
  Synchronize(thread, TThreadProcedure([method] { method(); }));
}

// ---------------------------------------------------------------------------
// TThread
// ---------------------------------------------------------------------------

TThread::TThread(bool createSuspended) : createSuspended_(createSuspended) {
  EnsureMainThread();
  // Always made suspended: Execute is a virtual of the derived class, which
  // is not built yet while this constructor runs.
  handle_ = CreateThread(nullptr, 0, &TThread::ThreadProc, this, CREATE_SUSPENDED, &threadId_);
  if (!handle_) throw EThread(L"Thread creation error: " + OSErrorText(GetLastError()));
}

void TThread::AfterConstruction() {
  inherited::AfterConstruction();
  if (!createSuspended_) Start();
}

void TThread::Start() {
  if (started_.exchange(true)) throw EThread(L"Cannot call Start on a running or suspended thread");
  if (ResumeThread(handle_) == static_cast<DWORD>(-1)) {
    started_ = false;
    RaiseLastOSError();
  }
}

DWORD WINAPI TThread::ThreadProc(void* self) {
  TThread* const t = static_cast<TThread*>(self);
  // Terminated before it started (freed unstarted): Execute never runs.
  if (!t->terminated_) {
    try {
      t->Execute();
    } catch (...) {
      t->fatalException_ = std::current_exception();
    }
  }
  const DWORD result = static_cast<DWORD>(t->returnValue_);
  t->finished_ = true;
  try {
    t->DoTerminate();
  } catch (...) {
    if (!t->fatalException_) t->fatalException_ = std::current_exception();
  }
  // Read only now: OnTerminate (run in the main thread) may have turned it off.
  if (t->FreeOnTerminate && !t->destroying_) TObject::Free(t);
  return result;
}

void TThread::DoTerminate() {
  if (OnTerminate.Assigned()) Synchronize([this] { OnTerminate(this); });
}

void TThread::WaitUntilExited() {
  if (OnMainThread()) {
    HANDLE handles[2] = {handle_, SyncEvent()};
    for (;;) {
      ServeSentMessages();
      const DWORD r = MsgWaitForMultipleObjects(2, handles, FALSE, INFINITE, QS_SENDMESSAGE);
      if (r == WAIT_OBJECT_0) break;
      if (r == WAIT_OBJECT_0 + 1) CheckSynchronize(0);
      else if (r != WAIT_OBJECT_0 + 2) RaiseLastOSError();
    }
  } else {
    if (WaitForSingleObject(handle_, INFINITE) == WAIT_FAILED) RaiseLastOSError();
  }
}

int TThread::WaitFor() {
  if (GetCurrentThreadId() == threadId_) throw EThread(L"A thread cannot wait for itself");
  if (!started_) throw EThread(L"Cannot wait for a thread that was not started");
  if (FreeOnTerminate && !destroying_) throw EThread(L"Cannot wait for a thread that frees itself (FreeOnTerminate)");
  if (OnMainThread() && g_runningCallOf == this)
    throw EThread(L"Cannot wait for a thread inside a call it synchronised");
  WaitUntilExited();
  return returnValue_;
}

void TThread::BeforeDestruction() {
  destroying_ = true;
  if (handle_ && GetCurrentThreadId() != threadId_) {
    Terminate();
    if (!started_) Start();  // runs to its end at once: Execute is skipped
    WaitFor();
  }
  inherited::BeforeDestruction();
}

TThread::~TThread() {
  if (!handle_) return;
  if (!destroying_ && GetCurrentThreadId() != threadId_) {
    // Deleted without Free: still never leave a thread running on a dead object.
    destroying_ = true;
    try {
      Terminate();
      if (!started_) Start();
      WaitUntilExited();
    } catch (...) {
    }
  }
  CloseHandle(handle_);
}

// ---------------------------------------------------------------------------
// TCriticalSection
// ---------------------------------------------------------------------------

TCriticalSection::TCriticalSection() { InitializeCriticalSection(&section_); }

TCriticalSection::~TCriticalSection() { DeleteCriticalSection(&section_); }
