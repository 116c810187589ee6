#include "bars/controls/dxBarControlsModules.h"
#include "bars/controls/dxBarFlatPainter.h"
#include "bars/model/dxBar.h"
#include "foundation/FoundationModules.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/GuiModules.h"
#include "tests/support/GuiWarmUp.h"
#include "tests/support/TestModules.h"

std::vector<TModuleStep> TestModules() {
  std::vector<TModuleStep> steps;
  for (auto list : {PlatformCoreModules(), PlatformGuiModules(), FoundationModules(), BarTextsModules(),
                    BarModuleModules(), BarControlsModules()})
    steps.insert(steps.end(), list.begin(), list.end());
  return steps;
}

void WarmUpTestCaches() {
  WarmUpGuiCaches();
  // Bar windows measure through the shared screen canvas before they have a window.
  cxGetSharedScreenCanvas()->Handle();
  cxGetSharedPaintCanvas();
  // The flat look's brushes are made once, on first paint.
  dxBarFlatBrushes();
  // Glyphs are drawn through the shared work bitmaps and their canvases.
  for (TBitmap* bitmap : {static_cast<TBitmap*>(cxGetDrawBitmap(16, 16)), static_cast<TBitmap*>(cxGetImageBitmap(16, 16)),
                          static_cast<TBitmap*>(cxGetMaskBitmap(16, 16))})
    bitmap->Canvas()->Handle();
}
