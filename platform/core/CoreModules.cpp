#include "platform/core/Components.h"
#include "platform/core/FMTBcd.h"
#include "platform/core/Modules.h"
#include "platform/core/SqlTimSt.h"
#include "platform/core/Threads.h"

std::span<const TModuleStep> PlatformCoreModules() {
  // The thread module first: it notes the main thread before anything can
  // synchronise with it.
  static const TModuleStep steps[] = {
      {L"Threads", &ThreadsInitialize, &ThreadsFinalize},
      {L"Components", &ComponentsInitialize, &ComponentsFinalize},
      // The custom variant types take their codes in this order. Their
      // objects live until the process ends: variants of their kinds can
      // outlive every shutdown step.
      {L"FMTBcd", &FMTBcdInitialize, nullptr},
      {L"SqlTimSt", &SqlTimStInitialize, nullptr},
  };
  return steps;
}
