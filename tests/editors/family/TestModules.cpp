#include "editors/core/EditorsCoreModules.h"
#include "editors/family/EditorsFamilyModules.h"
#include "foundation/FoundationModules.h"
#include "foundation/cxControlsRoutines.h"
#include "foundation/cxControlsTimer.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/GuiModules.h"
#include "tests/support/GuiWarmUp.h"
#include "tests/support/TestModules.h"

std::vector<TModuleStep> TestModules() {
  std::vector<TModuleStep> steps;
  for (auto list : {PlatformCoreModules(), PlatformGuiModules(), FoundationModules(), EditorsCoreModules(),
                    EditorsFamilyModules()})
    steps.insert(steps.end(), list.begin(), list.end());
  return steps;
}

namespace {
struct TNoTicks : TObject {
  void Tick(TObject*) {}
};
}  // namespace

void WarmUpTestCaches() {
  WarmUpGuiCaches();
  cxGetMessageWindow();
  // The one window of every library timer (mouse tracking, the editors' double clicks).
  if (!cxGetTimerWindowHandle()) {
    TNoTicks ticks;
    TcxTimer* timer = Make<TcxTimer>(nullptr);
    timer->SetInterval(60000);
    timer->SetOnTimer(TNotifyEvent::Bind<&TNoTicks::Tick>(&ticks));
    TObject::Free(timer);
  }
  TcxScreenCanvas* screen = cxGetSharedScreenCanvas();
  screen->TextWidth(L"x");
  screen->Brush()->Handle();
  cxGetSharedPaintCanvas();
  // The clipboard object keeps its owner window.
  Clipboard();
}
