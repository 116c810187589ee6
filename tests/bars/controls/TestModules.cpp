#include "bars/controls/dxBarControlsModules.h"
#include "bars/model/dxBar.h"
#include "foundation/FoundationModules.h"
#include "platform/gui/GuiModules.h"
#include "tests/support/BarWarmUp.h"
#include "tests/support/GuiWarmUp.h"
#include "tests/support/LibraryTimerWarmUp.h"
#include "tests/support/PainterWarmUp.h"
#include "tests/support/TestModules.h"

std::vector<TModuleStep> TestModules() {
  std::vector<TModuleStep> steps;
  for (auto list : {PlatformCoreModules(), PlatformGuiModules(), FoundationModules(), BarTextsModules(),
                    BarModuleModules(), BarControlsModules()})
    steps.insert(steps.end(), list.begin(), list.end());
  return steps;
}

void WarmUpTestCaches() {
  WarmUpGuiCaches();
  WarmUpPainterResources();
  WarmUpBarControlsCaches();
  // Bar windows watch the mouse with the library's timers.
  WarmUpLibraryTimerWindow();
}
