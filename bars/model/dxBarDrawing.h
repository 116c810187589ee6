// The bar module's small drawing routines shared by bar painters, item
// controls and bar windows: GDI helpers, the draw mode of a glyph, arrows.
#pragma once

#include "foundation/cxGraphicsRoutines.h"
#include "platform/core/System.h"
#include "platform/WinApi.h"

// The state of a glyph being drawn, as the painter and the item control see it.
struct TdxBarGlyphState {
  bool Enabled = true;
  bool FadesDisabledImages = false;  // the painter's
  bool FlatGlyphImage = false;       // the painter's
  bool GlyphHasShadow = false;       // the painter's
  bool DrawDowned = false;
  bool Downed = false;
  bool Selected = false;
  bool GrayScale = false;
};

// Process-wide values the draw mode reads.
extern int dxBarScreenBitsPerPixel;
extern bool dxBarDingyGlyphsOn;
// Reads the screen's colour depth into dxBarScreenBitsPerPixel.
void dxBarRefreshScreenDepth();
// The 8 x 8 pattern of pressed checked buttons: button face where row and
// column have equal parity, button highlight elsewhere. Made at the module's
// start-up, made again from the present colours when they change, and
// deleted at its shutdown; nil outside.
extern HBRUSH dxBarCheckerBrush;
// Replaces the brush; does nothing while the module shuts down.
void dxBarCreateCheckerBrush();
void dxBarDeleteCheckerBrush();

TcxImageDrawMode dxBarGlyphDrawMode(const TdxBarGlyphState& AState);

// Deletes the object held, if any, and zeroes the variable.
void dxBarDeleteGDIHandle(HGDIOBJ& AHandle);
// Selects APrevious back and deletes the object it replaces.
void dxBarSelectBackAndDelete(HDC ADC, HGDIOBJ APrevious);
// A polygon of ALastIndex + 1 points, filled and outlined in one pixel.
void dxBarFillPolygon(HDC ADC, const POINT* APoints, int ALastIndex, TColor AFillColor, TColor AOutlineColor);
void dxBarFrameRectHighlight(HDC ADC, const TRect& R);
// Two nested one-pixel frames in a system colour.
void dxBarFrameRectDouble(HDC ADC, const TRect& R, int ASysColorIndex);
// Border and one pixel inside: pixels with an even x + y in the button-text colour.
void dxBarDoubleFocusRect(HDC ADC, const TRect& R);
void dxBarHatchDisabledArea(HDC ADC, const TRect& R);
void dxBarSaveDCClip(HDC ADC, HRGN& ARegion, bool& AHadClip);
void dxBarRestoreDCClip(HDC ADC, HRGN& ARegion, bool AHadClip);

// A filled triangle, downward or rightward, of size S in the rectangle;
// clDefault picks the colour from the enabled and selected states.
void dxBarDrawArrowGlyph(HDC ADC, const TRect& R, bool ADownward, TColor AColor, bool AFlat, bool AEnabled,
                         bool ASelected, int ASize);
// Orientation 1 is downward, any other rightward.
void dxBarDrawArrowInRect(HDC ADC, const TRect& R, int AOrientation, TColor AColor, bool AFlat, bool AEnabled,
                          bool ASelected, int ASize);
// The size from the rectangle: half of (width - 8) downward, (height - 6)
// rightward, odd extents rounded up, at least 3.
void dxBarDrawAutoSizedArrow(HDC ADC, const TRect& R, int AOrientation, TColor AColor, bool AFlat, bool AEnabled,
                             bool ASelected);
int dxBarAutoSizedArrowSize(const TRect& R, int AOrientation);
