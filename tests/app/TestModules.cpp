#include "app/ProgramModules.h"
#include "editors/family/cxImage.h"
#include "tests/support/BarWarmUp.h"
#include "tests/support/GuiWarmUp.h"
#include "tests/support/LibraryTimerWarmUp.h"
#include "tests/support/PainterWarmUp.h"
#include "tests/support/TestModules.h"

std::vector<TModuleStep> TestModules() { return ProgramModules(); }

void WarmUpTestCaches() {
  WarmUpGuiCaches();
  WarmUpPainterResources();
  // The picture editor's menu glyphs, loaded with its first context menu.
  cxImageMenuImages();
  // The picture editor's double-click timer uses the library's timer window.
  WarmUpLibraryTimerWindow();
  WarmUpBarControlsCaches();
}
