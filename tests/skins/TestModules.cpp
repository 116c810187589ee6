#include "foundation/FoundationModules.h"
#include "platform/gui/GuiModules.h"
#include "skins/SkinsModules.h"
#include "foundation/cxGraphicsCanvas.h"
#include "tests/support/GuiWarmUp.h"
#include "tests/support/PainterWarmUp.h"
#include "tests/support/TestModules.h"


std::vector<TModuleStep> TestModules() {
  std::vector<TModuleStep> steps;
  for (auto list : {PlatformCoreModules(), PlatformGuiModules(), FoundationModulesBeforeSkins(), SkinsEngineModules(),
                    FoundationModulesAfterSkins(), SkinsPainterModules()})
    steps.insert(steps.end(), list.begin(), list.end());
  return steps;
}

void WarmUpTestCaches() {
  WarmUpGuiCaches();
  WarmUpPainterResources();
  cxGetSharedScreenCanvas();
  cxGetSharedPaintCanvas();
}
