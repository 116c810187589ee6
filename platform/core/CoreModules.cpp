#include "platform/core/Components.h"
#include "platform/core/Modules.h"
#include "platform/core/Threads.h"

std::span<const TModuleStep> PlatformCoreModules() {
  // The thread module first: it notes the main thread before anything can
  // synchronise with it.
  static const TModuleStep steps[] = {
      {L"Threads", &ThreadsInitialize, &ThreadsFinalize},
      {L"Components", &ComponentsInitialize, &ComponentsFinalize},
  };
  return steps;
}
