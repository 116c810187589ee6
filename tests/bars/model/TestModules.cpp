#include "bars/model/dxBar.h"
#include "foundation/FoundationModules.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "platform/gui/GuiModules.h"
#include "tests/support/GuiWarmUp.h"
#include "tests/support/LibraryTimerWarmUp.h"
#include "tests/support/PainterWarmUp.h"
#include "tests/support/TestModules.h"

std::vector<TModuleStep> TestModules() {
  std::vector<TModuleStep> steps;
  for (auto list : {PlatformCoreModules(), PlatformGuiModules(), FoundationModules(), BarTextsModules(),
                    BarModuleModules()})
    steps.insert(steps.end(), list.begin(), list.end());
  return steps;
}

void WarmUpTestCaches() {
  WarmUpGuiCaches();
  WarmUpPainterResources();
  // The mouse tracking of the bar windows runs on the library's timers.
  WarmUpLibraryTimerWindow();
  // The bar module's glyph drawing composes in the shared work bitmaps.
  for (TBitmap* bitmap : {static_cast<TBitmap*>(cxGetDrawBitmap(16, 16)), static_cast<TBitmap*>(cxGetImageBitmap(16, 16)),
                          static_cast<TBitmap*>(cxGetMaskBitmap(16, 16))})
    bitmap->Canvas()->Handle();
}
