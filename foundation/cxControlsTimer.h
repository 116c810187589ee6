// The library's timer component and the hidden message windows of the base
// controls module. All timers share one hidden window.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/Components.h"
#include "platform/gui/Messages.h"

// A hidden window of the UI thread whose messages go to HandleMessage; the
// base class's is top-level (it can own popup windows).
class TcxMessageWindow : public TObject {
  DECLARE_CLASS(TcxMessageWindow, TObject)
  TcxMessageWindow();
  ~TcxMessageWindow() override;
  // Made by the first call where the constructor left it for later.
  HWND Handle() const;

 protected:
  // A descendant that is only sent, posted or timed messages takes a
  // message-only window, which costs no top-level window; with Deferred the
  // window waits for the first Handle call (on the UI thread), for an object
  // that a program may never send a message to.
  struct TMessageOnly {
    bool Deferred = false;
  };
  explicit TcxMessageWindow(TMessageOnly AKind);
  // Passes the message to DefWindowProc.
  virtual void HandleMessage(TMessage& AMessage);

 private:
  mutable HWND FHandle = nullptr;
  bool FMessageOnly = false;
};

// Runs while Enabled and OnTimer is assigned; ticks arrive on the UI thread.
// A timer may stop or free itself in its own OnTimer. Each start takes a new
// identifier, never one a freed or stopped timer used, so a tick that was
// already queued for an old run reaches nobody.
class TcxTimer : public TComponent {
  DECLARE_CLASS(TcxTimer, TComponent)
  explicit TcxTimer(TComponent* AOwner);
  ~TcxTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool AValue);
  // Milliseconds; 0 is ignored.
  Cardinal Interval() const { return FInterval; }
  void SetInterval(Cardinal AValue);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  // Assigning (even the same handler again) restarts the interval.
  void SetOnTimer(const TNotifyEvent& AValue);

  // Whether a system timer runs for this object.
  bool TimerOn() const { return FTimerOn; }
  // The identifier of the current (or last) run, 0 before the first.
  UINT_PTR EventID() const { return FEventID; }

 protected:
  // Calls OnTimer.
  virtual void FireTimer();

 private:
  friend class TcxTimerWindow;
  friend void cxControlsTimerFinalize();
  void Start();
  void Stop();
  void Update();

  bool FEnabled = true;
  UINT_PTR FEventID = 0;
  Cardinal FInterval = 1000;
  bool FTimerOn = false;
  TNotifyEvent FOnTimer;
};

// The shared timer window's handle, null before the first timer started
// (and after the module's shutdown).
HWND cxGetTimerWindowHandle();
// Number of timers running now.
int cxGetRunningTimerCount();

// The system call that starts a run. Replaceable so that tests can see the
// interval each run asks for without waiting for it; null returns to the
// system's. Returns the previous replacement.
using TcxSetTimerProc = UINT_PTR(WINAPI*)(HWND AWnd, UINT_PTR AEventID, UINT AElapse, TIMERPROC ATimerProc);
TcxSetTimerProc cxSetSetTimerProc(TcxSetTimerProc AProc);
// The replacement in force, else the system's SetTimer (also used for the
// thread timers the base controls start).
TcxSetTimerProc cxCurrentSetTimerProc();

// Module start-up and shutdown: after shutdown no timer starts any more.
void cxControlsTimerInitialize();
void cxControlsTimerFinalize();
