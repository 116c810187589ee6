// Drawing shared by drop-down windows with a sizing corner: the height of
// their non-client strip, the corner their size grip sits at, and the grip
// itself, mirrored to face that corner.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"

enum TdxCorner : int { coTopLeft, coTopRight, coBottomLeft, coBottomRight };

// The larger of the horizontal scroll bar height + 3 and the caption button height + 1.
int dxCalcDropDownFrameHeight();
// The corner for a popup's size grip, from where `r` lies against `other`.
TdxCorner dxGetSizeGripCorner(const TRect& r, const TRect& other);
// Draws a size grip into the corner of `r` and leaves `r` set to the grip's
// square (a scroll-bar-sized square with 2-pixel button-face strips on its
// two outer sides).
void dxPaintSizeGripCorner(HDC dc, TRect& r, TdxCorner corner);
