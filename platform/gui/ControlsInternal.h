// Shared state of the controls module's source files (not for other modules).
#pragma once

#include "platform/gui/Controls.h"

namespace controlsdetail {

// The window property that binds a window to its control.
constexpr const Char* kControlProp = L"PlatformControlObject";

// Binds a window to its control (the property and the process's own table), or forgets
// the binding; ControlOfWindow asks the table, without a call to the window server. A
// control that goes forgets whatever window is still bound to it.
void BindControlWindow(HWND wnd, TWinControl* control);
void UnbindControlWindow(HWND wnd);
TWinControl* ControlOfWindow(HWND wnd);
void ForgetControlWindows(TWinControl* control);

struct ModuleState {
  // The windowless control that captured the mouse through its parent.
  TControl* captureControl = nullptr;
  // The control the mouse is over (CM_MOUSEENTER was sent to it).
  TControl* mouseControl = nullptr;
  // Window classes registered by CreateWnd, unregistered at shutdown.
  std::vector<String> registeredClasses;
};
ModuleState& State();

LRESULT CALLBACK InitWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK WindowProcedure(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// MK_* flags of a mouse message, with Alt from the keyboard.
TShiftState KeysToShiftState(WPARAM keys);
inline TPoint SmallPointToPoint(std::int16_t x, std::int16_t y) { return {x, y}; }
inline LPARAM PointToLParam(TPoint p) {
  return static_cast<LPARAM>(MAKELONG(static_cast<Word>(p.X), static_cast<Word>(p.Y)));
}

// The control is going away: forget it in the module's state.
void ControlDestroying(TControl* control);
// Drag-and-drop messages (ControlsDrag.cpp).
void DoDragMsg(TControl* control, TCMDrag& message);
void DragControlDestroying(TControl* control);
void DragFinalize();
// Control canvases (ControlsPaint.cpp).
void FreeWindowDeviceContexts(HWND wnd);

// "Control '%s' has no parent window".
[[noreturn]] void RaiseParentRequired(TControl* control);

}  // namespace controlsdetail

// Reaches the private parts of TWinControl for the window procedures.
struct ControlsWindowAccess {
  static void Bind(TWinControl* c, HWND wnd);
  static void Forget(TWinControl* c, HWND wnd);
};
