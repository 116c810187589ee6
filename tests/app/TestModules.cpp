#include "app/ProgramModules.h"
#include "tests/support/BarWarmUp.h"
#include "tests/support/GuiWarmUp.h"
#include "tests/support/TestModules.h"

std::vector<TModuleStep> TestModules() { return ProgramModules(); }

void WarmUpTestCaches() {
  WarmUpGuiCaches();
  WarmUpBarControlsCaches();
}
