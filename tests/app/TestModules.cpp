#include "app/ProgramModules.h"
#include "foundation/cxControlsRoutines.h"
#include "foundation/cxControlsTimer.h"
#include "tests/support/GuiWarmUp.h"
#include "tests/support/TestModules.h"

std::vector<TModuleStep> TestModules() { return ProgramModules(); }

namespace {
struct TNoTicks : TObject {
  void Tick(TObject*) {}
};
}  // namespace

void WarmUpTestCaches() {
  WarmUpGuiCaches();
  // The one window of every library timer: the picture editor's double-click timer uses it.
  cxGetMessageWindow();
  if (!cxGetTimerWindowHandle()) {
    TNoTicks ticks;
    TcxTimer* timer = Make<TcxTimer>(nullptr);
    timer->SetInterval(60000);
    timer->SetOnTimer(TNotifyEvent::Bind<&TNoTicks::Tick>(&ticks));
    TObject::Free(timer);
  }
}
