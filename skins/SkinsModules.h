// The start-up and shutdown steps of the skin layer, in the places the
// program's order gives them: the engine runs between the foundation's
// graphics and its styles, the skin painters after the bar module.
#pragma once

#include "platform/core/Modules.h"

std::span<const TModuleStep> SkinsEngineModules();
std::span<const TModuleStep> SkinsPainterModules();
