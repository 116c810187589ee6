// The GUI layer's and the platform's part of WarmUpTestCaches
// (tests/support/TestModules.h), for the test executables that link the GUI layer.
#pragma once

#include "platform/WinApi.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"

inline void WarmUpGuiCaches() {
  // The application's hidden window; with the thread's first window the
  // platform adds its per-thread input-method window.
  Application->Handle();
  // A window that takes the focus starts the input method's COM apartment on
  // the thread, with the apartment's hidden window; both stay while the
  // application's window does.
  static bool focused = false;
  if (!focused) {
    focused = true;
    HWND probe = CreateWindowExW(WS_EX_TOOLWINDOW, L"EDIT", L"", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    if (probe) {
      SetForegroundWindow(probe);
      SetFocus(probe);
      DestroyWindow(probe);
    }
  }
  // The window that receives the commands of every popup menu.
  PopupList().Window();
  // The clipboard's window, made by its first opening.
  if (!Clipboard()->Handle()) {
    Clipboard()->Open();
    Clipboard()->Close();
  }
}
