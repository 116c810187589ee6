// Hidden utility windows: an object that needs window messages without being
// a control (broadcast setting changes, timers, posted wake-ups) gets a window
// whose every message goes to one of its methods.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"

#include <functional>

#include "platform/gui/Messages.h"

// The method that receives a window's messages. As with a control's window
// procedure, it sets Message.Result itself and calls DefWindowProcW for the
// messages it leaves alone.
using TWndMethod = TClosure<void(TMessage& Message)>;

// A hidden top-level window of the thread (not a message-only window, which
// would miss the broadcasts WM_SETTINGCHANGE, WM_SYSCOLORCHANGE and
// WM_THEMECHANGED). The method receives every message from the first one after
// creation; an exception it raises goes to ApplicationHandleException and not
// into the window system. Raises EOSError when the window cannot be made.
HWND AllocateHWnd(TWndMethod method);
HWND AllocateHWnd(std::function<void(TMessage& Message)> method);
// Destroys a window made by AllocateHWnd; the method is detached first, so it
// sees none of the destruction messages. Safe from inside the method itself;
// does nothing for null.
void DeallocateHWnd(HWND wnd);

// Hands the exception being handled (call it inside a catch block) to the
// application object's HandleException; swallows it when there is no
// application object. Window procedures use it so that no exception unwinds
// through the window system.
void ApplicationHandleException(TObject* sender);
