// The painters' shared drawing resources, made when a painter first draws with
// them (and then counted by the leak check): the row-indicator images and the
// scroll-bar track patterns, each pattern with the DC its canvas keeps.
#pragma once

#include "foundation/cxLookAndFeelPainters.h"
#include "platform/gui/Graphics.h"

inline void WarmUpPainterResources() {
  cxIndicatorImages();
  for (int i = 0; i < 2; ++i)
    if (TBitmap* pattern = cxScrollBarPatternBitmaps(i)) pattern->Canvas()->Handle();
}
