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
// creation; an exception it raises goes to HandleCallbackException (the
// application's handler) and not into the window system. Raises EOSError when the window cannot be made.
HWND AllocateHWnd(TWndMethod method);
HWND AllocateHWnd(std::function<void(TMessage& Message)> method);
// A message-only window (no top-level window, hence cheaper to make): it gets
// what is sent or posted to it and its timers. With `hearBroadcasts` it also
// gets the system's broadcasts (WM_SETTINGCHANGE, WM_SYSCOLORCHANGE,
// WM_THEMECHANGED, WM_PALETTECHANGED, WM_FONTCHANGE, WM_DISPLAYCHANGE, ... and
// registered messages): one hidden top-level window per thread receives them
// for all such windows of the thread and hands each on, and goes with the
// last of them. Otherwise as AllocateHWnd.
HWND AllocateMessageHWnd(TWndMethod method, bool hearBroadcasts = false);
HWND AllocateMessageHWnd(std::function<void(TMessage& Message)> method, bool hearBroadcasts = false);
// Destroys a window made by AllocateHWnd or AllocateMessageHWnd; the method is
// detached first, so it sees none of the destruction messages. Safe from
// inside the method itself; does nothing for null.
void DeallocateHWnd(HWND wnd);

// Object instances: a window procedure bound to a method, for subclassing a
// window that another class made (the inner edit of a system combo box, a
// drop-down list window):
//   proc_ = MakeObjectInstance(TWndMethod::Bind<&TMyEdit::InnerWndProc>(this));
//   prev_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(wnd, GWLP_WNDPROC,
//                                                       reinterpret_cast<LONG_PTR>(proc_)));
//   ... every message now reaches InnerWndProc, which passes on what it leaves
//   alone with CallWindowProcW(prev_, wnd, ...) ...
//   SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prev_));
//   FreeObjectInstance(proc_);
// The result is a real window procedure of its own (two subclassings of one
// window chain correctly; CallWindowProcW takes it). The method does not get
// the window handle: its object knows the window it subclassed. An exception
// the method raises goes to HandleCallbackException (the application's
// handler) and the message counts as handled. A message that reaches an instance after
// it was freed goes to DefWindowProcW.
//
// At most kMaxObjectInstances are alive at once; one more raises
// EOutOfResources. A null method raises EInvalidOperation.
constexpr int kMaxObjectInstances = 2048;
WNDPROC MakeObjectInstance(TWndMethod method);
// Gives the procedure back; does nothing for null. Safe from inside its own
// method. EInvalidOperation for a procedure that is not a live object instance
// (freed twice, or never made here).
void FreeObjectInstance(WNDPROC proc);
// How many object instances are alive (for leak checks).
int ObjectInstanceCount();

// Hands the exception being handled (call it inside a catch block) to the
// application object's HandleException; swallows it when there is no
// application object. The GUI layer's start-up installs it as the callback
// exception handler (SetCallbackExceptionHandler), so that the exceptions of
// every window, hook, enumeration and timer procedure end up here.
void ApplicationHandleException(TObject* sender);
