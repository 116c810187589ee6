// Start-up shared by the tests of the base-control routines and the hints.
#pragma once

#include "foundation/cxControlsRoutines.h"

// The routines' module, once per process (the tests may run alone).
inline void EnsureControlsRoutinesModule() {
  static bool started = false;
  if (started) return;
  started = true;
  cxControlsRoutinesInitialize();
}

#include "foundation/cxControlsTimer.h"

#include <vector>

// Timers of the library and thread timers of the base controls start no
// system timer while it lives: a test drives every tick itself (WM_TIMER to
// the timer window with the timer's identifier) and sees the intervals asked
// for.
class TTimerStandIn {
 public:
  TTimerStandIn() : previous_(cxSetSetTimerProc(&Record)) { Intervals().clear(); }
  ~TTimerStandIn() { cxSetSetTimerProc(previous_); }
  TTimerStandIn(const TTimerStandIn&) = delete;
  TTimerStandIn& operator=(const TTimerStandIn&) = delete;

  static std::vector<UINT>& Intervals() {
    static std::vector<UINT> intervals;
    return intervals;
  }
  // The identifier handed out to a thread timer (no window, no identifier).
  static constexpr UINT_PTR kThreadTimerID = 0x7A11;

 private:
  static UINT_PTR WINAPI Record(HWND AWnd, UINT_PTR AEventID, UINT AElapse, TIMERPROC) {
    Intervals().push_back(AElapse);
    return AWnd ? AEventID : kThreadTimerID;
  }
  TcxSetTimerProc previous_;
};
