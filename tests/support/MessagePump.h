// Bounded runs of the thread's message loop for tests that wait on windows,
// timers or posted messages.
#pragma once

#include "platform/WinApi.h"

#include <functional>

// Dispatches one message at a time until `done` holds or `ms` have passed;
// returns done(). `idleWaitMs` bounds each wait for new input.
inline bool PumpMessagesUntil(const std::function<bool()>& done, DWORD ms, DWORD idleWaitMs = 5) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return done();
    MSG msg;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, idleWaitMs, QS_ALLINPUT);
    }
  }
  return true;
}

// Empties the queue, then asks `done` (when given), until it holds or `ms`
// have passed; true when `done` stopped it.
inline bool DrainMessagesFor(DWORD ms, const std::function<bool()>& done = nullptr) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < ms) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done && done()) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return false;
}
