// The editor family's module steps, in start-up order.
#pragma once

#include "platform/core/Modules.h"

#include <span>

std::span<const TModuleStep> EditorsFamilyModules();
