// The library's shared windows that the first editor or timer of a test would
// otherwise make (and the leak check would count): the message window and the
// one window of every library timer.
#pragma once

#include "foundation/cxControlsRoutines.h"
#include "foundation/cxControlsTimer.h"

inline void WarmUpLibraryTimerWindow() {
  struct TNoTicks : TObject {
    void Tick(TObject*) {}
  };
  cxGetMessageWindow();
  if (cxGetTimerWindowHandle()) return;
  TNoTicks ticks;
  TcxTimer* timer = Make<TcxTimer>(nullptr);
  timer->SetInterval(60000);
  timer->SetOnTimer(TNotifyEvent::Bind<&TNoTicks::Tick>(&ticks));
  TObject::Free(timer);
}
