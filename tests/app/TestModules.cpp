#include "app/ProgramModules.h"
#include "tests/support/BarWarmUp.h"
#include "tests/support/GuiWarmUp.h"
#include "tests/support/LibraryTimerWarmUp.h"
#include "tests/support/TestModules.h"

std::vector<TModuleStep> TestModules() { return ProgramModules(); }

void WarmUpTestCaches() {
  WarmUpGuiCaches();
  // The picture editor's double-click timer uses the library's timer window.
  WarmUpLibraryTimerWindow();
  WarmUpBarControlsCaches();
}
