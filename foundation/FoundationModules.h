// The start-up and shutdown steps of the library's foundation, in the order
// the modules depend on each other.
#pragma once

#include "platform/core/Modules.h"

std::span<const TModuleStep> FoundationModules();
// The same list cut where the skin engine's steps go in: up to the canvas,
// and from the styles on.
std::span<const TModuleStep> FoundationModulesBeforeSkins();
std::span<const TModuleStep> FoundationModulesAfterSkins();
