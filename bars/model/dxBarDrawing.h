// The bar module's small drawing routines shared by bar painters, item
// controls and bar windows: GDI helpers, the draw mode of a glyph, arrows.
#pragma once

#include "foundation/cxGraphicsRoutines.h"
#include "platform/core/System.h"
#include "platform/WinApi.h"

class TBitmap;
class TcxCanvas;
class TControl;
class TCustomImageList;
class TdxBarItemControlBase;
class TWinControl;

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
// The size from the rectangle's extent E (width - 8 downward, height - 6
// rightward): (E - 1) / 2, one more for an odd E, at least 3.
void dxBarDrawAutoSizedArrow(HDC ADC, const TRect& R, int AOrientation, TColor AColor, bool AFlat, bool AEnabled,
                             bool ASelected);
int dxBarAutoSizedArrowSize(const TRect& R, int AOrientation);

// ---------------------------------------------------------------------------
// Glyphs
// ---------------------------------------------------------------------------

// The rendered glyph an item control keeps between paints (its cached image
// options), so that a glyph in a costly mode is rendered once.
class IdxBarGlyphCache {
 public:
  // Whether the rendering is of this mode and source: the glyph, or without
  // one the image list.
  virtual bool IsCached(TcxImageDrawMode AMode, TBitmap* AGlyph, TCustomImageList* AImages) const = 0;
  // Renders the glyph (or image AImageIndex of AImages) in the mode, as large as ARect.
  virtual void Cache(const TRect& ARect, TBitmap* AGlyph, TCustomImageList* AImages, int AImageIndex,
                     TcxImageDrawMode AMode, bool ASmooth, TColor ATransparentColor,
                     bool AUseLeftBottomPixelAsTransparent) = 0;
  // The rendering, nil before the first.
  virtual TBitmap* CachedGlyph() = 0;

 protected:
  ~IdxBarGlyphCache() = default;
};

// What the painter gathers to draw a glyph: the glyph bitmap or the image of
// an image list, drawn in AGlyphRect over the background of AFullRect
// (the brush, or without one what the DC shows).
struct TdxBarGlyphDrawArgs {
  HBRUSH Brush = nullptr;
  bool UseLeftBottomPixelAsTransparent = true;
  bool Smooth = false;
  TdxBarGlyphState State;
  // The transparent colour of images without alpha (the image list's
  // background colour); a glyph bitmap has none.
  TColor BkColor = clNone;
  int ImageIndex = -1;
  TCustomImageList* Images = nullptr;
  TBitmap* Glyph = nullptr;
  TRect GlyphRect;
  TRect FullRect;
};

// Draws the glyph in the mode of its state. With an item control whose
// manager caches glyphs, the glyph is rendered into the control's cache
// (unless it holds this mode and source) and the rendering drawn; not in the
// shadowed mode, whose shadow depends on the background.
void dxBarDrawItemGlyph(TdxBarItemControlBase* AControl, HDC ADC, const TdxBarGlyphDrawArgs& AArgs);
void dxBarDrawGlyphNoCache(HDC ADC, const TdxBarGlyphDrawArgs& AArgs);
// A bitmap drawn normal (True) or disabled (False).
void dxBarDrawStateBitmap(HDC ADC, const TRect& R, TBitmap* ABitmap, bool AState);

// ---------------------------------------------------------------------------
// Clipping and backgrounds
// ---------------------------------------------------------------------------

// Clips the canvas to the frame rectangle without the content rectangle.
void dxBarClipToFrameBorder(TcxCanvas* ACanvas, const TRect& AFrame, const TRect& AContent);
// Adds the rectangle (logical coordinates) to the DC's clip region.
void dxBarUnionClipRect(HDC ADC, const TRect& R);
// The bitmap tiled (see dxBarTileBitmap) when it has content; else the brush,
// or without one the colour.
void dxBarPaintBackgroundArea(HDC ADC, const TRect& ADest, const TRect& ASource, TBitmap* ABitmap, TColor AColor,
                              HBRUSH ABrush);
// Copies the bitmap tiled over the plane into ADest, ASource's top-left
// corner at ADest's: tile (i, j) lands at ADest.Left + i * width -
// ASource.Left, ADest.Top + j * height - ASource.Top, for every tile that
// ASource touches, clipped to ADest. Nothing for an empty bitmap or source.
void dxBarTileBitmap(HDC ADC, const TRect& ADest, const TRect& ASource, TBitmap* ABitmap);
// Lets a parent paint its background under a child control into the child's
// DC: the DC's window origin and the rectangle move by the child's position
// in the parent's client area (0, 0 unless both have windows).
void dxBarShiftWindowOrgTo(TControl* AControl, TWinControl* AParent, HDC ADC, TPoint& AOffset, TPoint& APrevOrg,
                           TRect& R);
void dxBarRestoreWindowOrg(HDC ADC, const TPoint& APrevOrg);
TColor dxBarNearestScreenColor(TColor AColor);

// ---------------------------------------------------------------------------
// Size grips and parts of the visual styles
// ---------------------------------------------------------------------------

// The classic size grip over what the DC shows: only the grip's own pixels
// (those not of the button-face colour) replace the background.
void dxBarDrawTransparentSizeGrip(HDC ADC, const TRect& R);
// The visual style's size box plus 2 pixels each way (the classic grip's
// size without visual styles).
TSize dxBarThemedSizeGripSize();
// The size box in a corner of R: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
void dxBarDrawThemedSizeGrip(HDC ADC, const TRect& R, int ACorner);
TSize dxBarThemedSmallCloseButtonSize();
// The small close button, centred vertically, at the left end of R for
// kinds 1 and 3, else at the right end.
void dxBarDrawThemedSmallCloseButton(HDC ADC, const TRect& R, bool AHot, int AKind, bool APressed);
// The edit state of the visual styles: 1 normal, 4 disabled.
int dxBarEditControlThemeState(TdxBarItemControlBase* AEditControl);
// Colours of an edit in a state, from the edit class's theme handle (an
// HTHEME; nil: the system colours).
TColor dxBarThemedEditFillColor(HANDLE ATheme, int AState);
TColor dxBarThemedEditTextColor(HANDLE ATheme, int AState);
// The toolbar's fill colour of the visual style, else button face.
TColor dxBarThemedToolbarFillColor();
