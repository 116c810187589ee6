#include "app/ProgramModules.h"
#include "tests/support/TestModules.h"

std::vector<TModuleStep> TestModules() { return ProgramModules(); }
