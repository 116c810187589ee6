// Module steps of the bar windows: the item-control classes and the makers of
// docks and toolbar windows the bar model calls.
#pragma once

#include "platform/core/Modules.h"

#include <span>

void dxBarControlsInitialize();
void dxBarControlsFinalize();
std::span<const TModuleStep> BarControlsModules();
