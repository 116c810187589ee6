#include "platform/core/Modules.h"
#include "tests/support/TestModules.h"

std::vector<TModuleStep> TestModules() {
  auto core = PlatformCoreModules();
  return {core.begin(), core.end()};
}

void WarmUpTestCaches() {}
