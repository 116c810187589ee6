// The start-up and shutdown steps of the whole program, in the order the
// modules depend on each other: the platform library, the component
// library's layers, then the program's own modules. The program and its
// tests start exactly this list. The list lives as long as the process: the
// module registry keeps pointers to its steps until FinalizeModules.
#pragma once

#include "platform/core/Modules.h"

#include <vector>

const std::vector<TModuleStep>& ProgramModules();
