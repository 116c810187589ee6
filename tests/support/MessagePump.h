// Runs of the thread's message loop for tests that wait on windows, timers or
// posted messages. A wait ends on what happened (a flag, the queue running
// empty), never on elapsed time: the only clock left is the hang bound, which
// ends a wait for something that never comes so that a fault fails its test
// instead of hanging the run. It is generous because it must never decide the
// result on a slow or loaded machine.
#pragma once

#include "platform/WinApi.h"

#include <functional>
#include <utility>

inline constexpr DWORD kHangBoundMs = 60000;

// Runs `step` (one short wait for what is to happen) until `done` holds; false
// when it still does not hold after `boundMs` (a hang). The one place the
// tests read the clock: it ends a wait, never judges one.
inline bool WaitUntil(const std::function<bool()>& done, const std::function<void()>& step,
                      DWORD boundMs = kHangBoundMs) {
  const ULONGLONG start = GetTickCount64();
  while (!done()) {
    if (GetTickCount64() - start >= boundMs) return done();
    step();
  }
  return true;
}

// Dispatches one message at a time until `done` holds; false on a hang.
inline bool PumpMessagesUntil(const std::function<bool()>& done, DWORD boundMs = kHangBoundMs) {
  return WaitUntil(done, [] {
    MSG msg;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    } else {
      // Sleeps until input arrives; the short cap lets a `done` that another
      // thread sets be seen.
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
  }, boundMs);
}

// Dispatches what the queue holds now and what that posts in turn (and the
// paints and due timers that follow) until it runs empty. Whatever this
// thread posted before the call has been handled when it returns. A timer or
// a window that is never painted could keep the queue from running empty:
// the number of messages is bounded.
inline void PumpQueuedMessages() {
  MSG msg;
  for (int i = 0; i < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Runs `action` once from whichever message loop dispatches the message it
// posts: in a test, the modal loop (a menu's, a dialog's) it enters next,
// since a loop handles what was posted before it started. So the action runs
// while that loop is up, whatever the time.
class TPostedAction {
 public:
  explicit TPostedAction(std::function<void()> action) : action_(std::move(action)) {
    window_ = CreateWindowExW(0, ClassName(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    PostMessageW(window_, WM_APP, 0, 0);
  }
  ~TPostedAction() { DestroyWindow(window_); }
  TPostedAction(const TPostedAction&) = delete;
  TPostedAction& operator=(const TPostedAction&) = delete;
  bool Ran() const { return ran_; }

 private:
  static const wchar_t* ClassName() {
    static const ATOM atom = [] {
      WNDCLASSW c{};
      c.lpfnWndProc = &Proc;
      c.hInstance = GetModuleHandleW(nullptr);
      c.lpszClassName = L"LanzeTestPostedAction";
      return RegisterClassW(&c);
    }();
    (void)atom;
    return L"LanzeTestPostedAction";
  }
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TPostedAction*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (msg != WM_APP || !self) return DefWindowProcW(wnd, msg, wParam, lParam);
    if (!self->ran_) {
      self->ran_ = true;
      self->action_();
    }
    return 0;
  }
  std::function<void()> action_;
  HWND window_ = nullptr;
  bool ran_ = false;
};

// Ends a modal loop a test runs should the test's own way of ending it fail:
// after the hang bound it calls `end` (EndMenu, PostQuitMessage, ...) and
// notes that it had to. One at a time.
class THangGuard {
 public:
  explicit THangGuard(std::function<void()> end) : end_(std::move(end)) {
    Current() = this;
    id_ = SetTimer(nullptr, 0, kHangBoundMs, &Expired);
  }
  ~THangGuard() {
    KillTimer(nullptr, id_);
    Current() = nullptr;
  }
  THangGuard(const THangGuard&) = delete;
  THangGuard& operator=(const THangGuard&) = delete;
  bool Fired() const { return fired_; }

 private:
  static THangGuard*& Current() {
    static THangGuard* current = nullptr;
    return current;
  }
  static void CALLBACK Expired(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    THangGuard* self = Current();
    if (!self || self->id_ != id || self->fired_) return;
    self->fired_ = true;
    self->end_();
  }
  std::function<void()> end_;
  UINT_PTR id_ = 0;
  bool fired_ = false;
};
