// Shared by the container, popup and inner list box tests: real input
// through the system's input queue, and a form that is the active window
// while a test runs.
#pragma once

#include "platform/WinApi.h"
#include "platform/gui/Forms.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <vector>

namespace cxtest {

inline void SendInputs(std::vector<INPUT> inputs) {
  const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  EXPECT_EQ(sent, inputs.size()) << "SendInput refused the input";
}

inline INPUT KeyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

// The key pressed and released, with the modifiers held around it.
inline void PressKey(WORD vk, std::vector<WORD> modifiers = {}) {
  std::vector<INPUT> inputs;
  for (WORD m : modifiers) inputs.push_back(KeyInput(m, false));
  inputs.push_back(KeyInput(vk, false));
  inputs.push_back(KeyInput(vk, true));
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) inputs.push_back(KeyInput(*it, true));
  SendInputs(inputs);
  // Through the application, so that dialog keys reach the form.
  Application->ProcessMessages();
}

// A left click at a screen point.
inline void ClickAt(const TPoint& AScreenPoint, DWORD ADown = MOUSEEVENTF_LEFTDOWN,
                    DWORD AUp = MOUSEEVENTF_LEFTUP) {
  SetCursorPos(AScreenPoint.X, AScreenPoint.Y);
  PumpQueuedMessages();
  INPUT down{}, up{};
  down.type = up.type = INPUT_MOUSE;
  down.mi.dwFlags = ADown;
  up.mi.dwFlags = AUp;
  SendInputs({down, up});
  PumpQueuedMessages();
}

// Makes a window the active one and waits until it is.
inline bool Activate(HWND AWnd) {
  SetForegroundWindow(AWnd);
  SetActiveWindow(AWnd);
  return PumpMessagesUntil([AWnd] { return GetActiveWindow() == AWnd; });
}

// A shown form that is the active window while a test runs.
struct TActiveForm {
  Owned<TForm> Form{Make<TForm>(nullptr, 0)};
  explicit TActiveForm(const TRect& ABounds = TRect(60, 60, 360, 300)) {
    Form->SetBounds(ABounds.Left, ABounds.Top, ABounds.Width(), ABounds.Height());
    Form->Show();
    Activate(Form->Handle());
  }
};

}  // namespace cxtest
