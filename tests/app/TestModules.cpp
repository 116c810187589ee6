#include "app/ProgramModules.h"
#include "bars/controls/dxBarFlatPainter.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsCanvas.h"
#include "tests/support/GuiWarmUp.h"
#include "tests/support/TestModules.h"

std::vector<TModuleStep> TestModules() { return ProgramModules(); }

void WarmUpTestCaches() {
  WarmUpGuiCaches();
  // The main window's toolbar measures through the shared canvases and draws
  // with the flat look's brushes, all made once.
  cxGetSharedScreenCanvas()->Handle();
  cxGetSharedPaintCanvas();
  dxBarFlatBrushes();
  // Glyphs are drawn through the shared work bitmaps and their canvases.
  for (TBitmap* bitmap : {static_cast<TBitmap*>(cxGetDrawBitmap(16, 16)), static_cast<TBitmap*>(cxGetImageBitmap(16, 16)),
                          static_cast<TBitmap*>(cxGetMaskBitmap(16, 16))})
    bitmap->Canvas()->Handle();
}
