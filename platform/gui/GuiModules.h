// The start-up and shutdown steps of the GUI half of the platform library.
#pragma once

#include "platform/core/Modules.h"

std::span<const TModuleStep> PlatformGuiModules();
