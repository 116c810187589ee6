// The state of the modifier keys and mouse buttons that goes with a key or
// mouse event. Shared by the controls, menus and actions so that none of them
// has to include the others for it.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"

// (Without the horizontal-wheel flag: its name belongs to TScrollStyle here.)
DECLARE_ENUM(TShiftStateItem, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble, ssTouch, ssPen,
             ssCommand)
using TShiftState = TSet<TShiftStateItem, 16>;

// Shift and Ctrl from GetKeyState, Alt from bit 29 of a key message's LPARAM
// (the context code), so that the Alt state is the one of the message.
TShiftState KeyDataToShiftState(LPARAM keyData);
// Shift, Ctrl, Alt and the three mouse buttons from a 256-byte key-state
// array as GetKeyboardState fills it.
TShiftState KeyboardStateToShiftState(const BYTE keyboardState[256]);
// The same for the present keyboard state of the calling thread.
TShiftState KeyboardStateToShiftState();
