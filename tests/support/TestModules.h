// The module steps a test executable starts before its tests and shuts down
// after them, in program order: each layer's test folder defines it.
#pragma once

#include "platform/core/Modules.h"
#include <vector>

std::vector<TModuleStep> TestModules();
