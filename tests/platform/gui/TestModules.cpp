#include "platform/core/Modules.h"
#include "platform/gui/GuiModules.h"
#include "tests/support/GuiWarmUp.h"
#include "tests/support/TestModules.h"

std::vector<TModuleStep> TestModules() {
  std::vector<TModuleStep> steps;
  for (auto list : {PlatformCoreModules(), PlatformGuiModules()}) steps.insert(steps.end(), list.begin(), list.end());
  return steps;
}

void WarmUpTestCaches() { WarmUpGuiCaches(); }
