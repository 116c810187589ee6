// The editors' drawing helpers, small routines shared by the editor view infos and edit buttons (arrows, button frame sides, axis
// polylines, strips around a rectangle, text-flag mapping, highlight colours).
#pragma once

#include "foundation/cxLookAndFeelPainters.h"
#include "platform/gui/Graphics.h"

#include <vector>

class TcxCanvas;

// The shared solid brushes are the foundation's cache (cxGetCachedBrush,
// foundation/cxGraphicsCanvas.h); the canvas argument is not used.
HBRUSH cxGetCachedBrushForCanvas(TcxCanvas* ACanvas, TColor AColor);
void cxFillRectWithColor(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor);
void cxFillRectWithBrush(HDC ADC, const TRect& ARect, HBRUSH ABrush);
// The four strips of AOuter around AInner (left and right full height, top
// and bottom between them); all of AOuter when AInner is empty; nothing when
// AOuter is empty or equals AInner.
void cxFillRectExcept(TcxCanvas* ACanvas, const TRect& AOuter, const TRect& AInner, HBRUSH ABrush);

// One arrow, or two adjacent ones, centred in the rectangle, drawn with
// one-pixel fills; moved one pixel right and down with AOffsetContent.
void cxPaintCenteredArrow(TcxCanvas* ACanvas, int AArrowSize, const TRect& AContentRect, TColor AColor,
                          bool AOffsetContent, bool AIsDoubleArrow, TcxArrowDirection ADirection);
// An odd width near (min(cx, cy) - 1) / 2 and width div 2 + 1, swapped for
// left and right.
TSize cxCalcArrowSize(const TSize& AContentSize, TcxArrowDirection ADirection);
// Each side of ABorders (bit 1 left, 4 right, 2 top, 8 bottom) as a
// one-pixel line in AColor, ARect shrinking by one pixel on that side.
void cxDrawEditButtonFrameSides(TcxCanvas* ACanvas, TRect& ARect, int ABorders, TColor AColor);
// Horizontal and vertical segments through ACount + 1 points, the last
// point's pixel included; with AUseBrush as one-pixel fills.
void cxDrawAxisPolyline(TcxCanvas* ACanvas, const TPoint* APoints, int ACount, bool AUseBrush, TColor AColor);

// The canvas text-output flags and the platform DrawText flags correspond in
// six pairs; other flags are dropped both ways.
namespace cxTextOut {
constexpr int VCenter = 1, Right = 2, SingleLine = 16, WordBreak = 32, CalcRect = 256, ExpandTabs = 512;
}
int cxConvertTextOutFlags(int AFlags);
int cxMapDrawTextFlags(int AFlags);

TcxCustomLookAndFeelPainterClass cxLookAndFeelPainterClassFor(bool ANativeStyle, TcxLookAndFeelKind AKind);
// The Office 2003 highlight colour or clHighlight.
TColor cxHighlightBorderColor(bool AOffice11);
// The face colour of a pressed or hot UltraFlat (or Office 2003) button.
TColor cxHotButtonColor(bool APressed, bool AOffice11);
bool cxIsDigitChar(Char C);
