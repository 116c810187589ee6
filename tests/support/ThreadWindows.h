// The top-level windows of the calling thread (message-only windows are not
// among them): tests that check a window is made only when needed count them.
#pragma once

#include "platform/WinApi.h"

namespace thread_windows_detail {
inline BOOL CALLBACK CountWindow(HWND, LPARAM counter) {
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}
}  // namespace thread_windows_detail

inline int ThreadTopLevelWindowCount() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), &thread_windows_detail::CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}
