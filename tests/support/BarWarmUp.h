// The bar windows' part of WarmUpTestCaches, for the test executables that
// link the bar controls layer: what a toolbar makes once, on its first
// measuring and painting.
#pragma once

#include "bars/controls/dxBarFlatPainter.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsCanvas.h"

inline void WarmUpBarControlsCaches() {
  // Bar windows measure through the shared screen canvas before they have a window.
  cxGetSharedScreenCanvas()->Handle();
  cxGetSharedPaintCanvas();
  dxBarFlatBrushes();
  // Glyphs are drawn through the shared work bitmaps and their canvases.
  for (TBitmap* bitmap : {static_cast<TBitmap*>(cxGetDrawBitmap(16, 16)), static_cast<TBitmap*>(cxGetImageBitmap(16, 16)),
                          static_cast<TBitmap*>(cxGetMaskBitmap(16, 16))})
    bitmap->Canvas()->Handle();
}
