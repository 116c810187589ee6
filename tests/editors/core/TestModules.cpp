#include "editors/core/EditorsCoreModules.h"
#include "foundation/FoundationModules.h"
#include "foundation/cxControlsRoutines.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/GuiModules.h"
#include "tests/support/GuiWarmUp.h"
#include "tests/support/TestModules.h"

std::vector<TModuleStep> TestModules() {
  std::vector<TModuleStep> steps;
  for (auto list : {PlatformCoreModules(), PlatformGuiModules(), FoundationModules(), EditorsCoreModules()})
    steps.insert(steps.end(), list.begin(), list.end());
  return steps;
}

void WarmUpTestCaches() {
  WarmUpGuiCaches();
  cxGetMessageWindow();
  cxGetSharedScreenCanvas();
  cxGetSharedPaintCanvas();
}
