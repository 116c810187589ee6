// The start-up and shutdown steps of the library's foundation, in the order
// the modules depend on each other.
#pragma once

#include "platform/core/Modules.h"

std::span<const TModuleStep> FoundationModules();
