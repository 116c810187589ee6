#include "tests/support/TestModules.h"

std::vector<TModuleStep> TestModules() { return {}; }

void WarmUpTestCaches() {}
