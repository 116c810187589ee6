// The graphics module's free routines shared by painters, controls, bars and
// editors: system-colour mixes, bitmap pixel access, blitting, alpha blending,
// the image drawing in six looks, hatching and masks, text measuring and
// output helpers, invalidation, cursor metrics, painting what lies under a
// control, and the Lanczos-3 bitmap resampler.
//
// Every routine absorbs platform failures: failed queries return False or
// leave their outputs at their starting values.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"
#include "platform/gui/Graphics.h"
#include "foundation/cxGraphicsCanvas.h"

#include <memory>
#include <vector>

class TChangeLink;
class TComponent;
class TControl;
class TCustomImageList;
class TList;
class TStrings;
class TWinControl;
class TcxCanvas;

// Declared with the image lists; redeclared here to keep this header small.
enum TDrawingStyle : int;
enum TImageType : int;

// The look in which a glyph or an image-list image is drawn.
DECLARE_ENUM(TcxImageDrawMode, idmNormal, idmDisabled, idmFaded, idmGrayScale, idmDingy,
             idmShadowed)

// 32-bit pixels: blue, green, red, alpha (premultiplied).
using TRGBColors = std::vector<RGBQUAD>;

// ---------------------------------------------------------------------------
// Metrics and colours
// ---------------------------------------------------------------------------

// (cxGetScreenDpi is kept with the module's start-up state in cxGraphicsCanvas.h.)

// The nearest colour the screen can show.
TColor cxNearestScreenColor(TColor AColor);
// Per channel clamp(MulDiv(face, b, 100) + MulDiv(highlight, h, 100) +
// MulDiv(window, w, 100)) with signed percentages; the highlight colour itself
// when the button face is pure black or pure white.
TColor cxMixSystemColors(int ABtnFacePart, int AHighlightPart, int AWindowPart);
// Mixes (14, 44, 40) and (-2, 30, 72), snapped to the nearest screen colour.
TColor cxHighlightTintColor();
TColor cxPaleHighlightTintColor();

// ---------------------------------------------------------------------------
// Bitmaps and image lists
// ---------------------------------------------------------------------------

// Moves AField to AValue: the old list loses the free notification of
// ANotifyComponent and the change link, the new one gets both, then the link
// fires. Nothing when AField already is AValue.
void cxAssignImageList(TCustomImageList* AValue, TCustomImageList*& AField,
                       TChangeLink* AChangeLink, TComponent* ANotifyComponent);
bool cxHasBitmapContent(TBitmap* ABitmap);
bool cxIsValidImageIndex(TCustomImageList* AImages, int AIndex);
void cxDeflateRectByMargins(TRect& R, const TRect& AMargins);
bool cxSameRectSize(const TRect& R1, const TRect& R2);

// New platform bitmaps (pixel format set first, then width, then height);
// the caller frees them.
TBitmap* cxCreateSizedBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat = pf32bit);
TBitmap* cxCreateBitmapForRect(const TRect& R, TPixelFormat APixelFormat = pf32bit);
TBitmap* cxCreateBitmapOfSize(const TSize& ASize, TPixelFormat APixelFormat = pf32bit);
// Bits per pixel by pixel format; pfDevice and pfCustom ask the bitmap's DC.
int cxBitmapBitsPerPixel(TBitmap* ABitmap);

// All Width x Height pixels as 32 bits, rows top-down or bottom-up; empty for
// a bitmap without area.
void cxReadBitmapColors(TBitmap* ABitmap, bool ATopDown, TRGBColors& AColors);
// Writes the pixels (as many as the bitmap has; a short array writes nothing)
// and frees the array.
void cxApplyColorsToBitmap(TBitmap* ABitmap, TRGBColors& AColors, bool ATopDown);

// GDI object queries with the structure's size; True on success.
bool cxReadBitmapInfo(HBITMAP ABitmap, BITMAP& AInfo);
bool cxQueryLogBrush(HBRUSH ABrush, LOGBRUSH& ALogBrush);
bool cxReadLogBrush(HBRUSH ABrush, LOGBRUSH& ALogBrush);
bool cxReadLogFont(HFONT AFont, LOGFONTW& ALogFont);
bool cxReadLogPen(HPEN APen, LOGPEN& ALogPen);

// ---------------------------------------------------------------------------
// Blitting and blending
// ---------------------------------------------------------------------------

// One BitBlt of ADestRect's size from ASrcTopLeft.
void cxCopyDCRect(HDC ADestDC, HDC ASrcDC, const TRect& ADestRect, const TPoint& ASrcTopLeft,
                  DWORD ARop = SRCCOPY);
// Realises the bitmap's palette on palette devices.
void cxBlitBitmapToDC(HDC ADC, TBitmap* ABitmap, const TRect& ADestRect, DWORD ARop = SRCCOPY,
                      const TPoint& ASrcTopLeft = TPoint{0, 0});
// The whole source stretched onto the whole destination (SRCCOPY).
void cxStretchCopyBitmap(TBitmap* ADest, TBitmap* ASource);
// Blends premultiplied source pixels over the destination, scaled by
// AConstantAlpha. Smoothing applies only when the rectangles differ in size.
void cxAlphaBlend(HDC ADestDC, HDC ASrcDC, const TRect& ADestRect, const TRect& ASrcRect,
                  bool ASmoothImage = false, Byte AConstantAlpha = 255);
// The same from a 32-bit bitmap's canvas.
void cxAlphaBlendBitmap(HDC ADestDC, TBitmap* ASource, const TRect& ADestRect,
                        const TRect& ASrcRect, bool ASmoothImage = false,
                        Byte AConstantAlpha = 255);

// Draws AGlyph, or image AImageIndex of AImages, in a look into AGlyphRect over
// ABackgroundRect: the background is ABrush or, without one, what the DC shows
// there; the DC receives one copy of the composed background. Pixels of
// ATransparentColor (unless clNone) and, with AUseBitmapTransparentColor, the
// glyph's bottom-left colour are transparent in images without alpha.
void cxDrawImageOnBackground(HDC ADC, const TRect& AGlyphRect, const TRect& ABackgroundRect,
                             TBitmap* AGlyph, TCustomImageList* AImages, int AImageIndex,
                             TcxImageDrawMode ADrawMode, bool ASmoothImage = false,
                             HBRUSH ABrush = nullptr, TColor ATransparentColor = clNone,
                             bool AUseBitmapTransparentColor = true);
// Lets a skin draw images itself: True means it drew into ACanvas. Nil by default.
using TcxDrawImageHook = bool (*)(TCanvas* ACanvas, TCustomImageList* AImages, int AImageIndex,
                                  TcxImageDrawMode ADrawMode, const TRect& AGlyphRect,
                                  TBitmap* AGlyph);
extern TcxDrawImageHook cxDrawImageHook;

// ILD_ flags: dsFocus 2, dsSelected 4, dsNormal 0, dsTransparent 1; itMask adds 0x10.
UINT cxImageListDrawStyle(TDrawingStyle ADrawingStyle, TImageType AImageType);
// Hatches R (checkers of AStep pixels) in the two colours blended at the two alphas.
void cxDrawHatchOverDC(HDC ADC, const TRect& R, TColor AColor1, TColor AColor2, Byte AStep,
                       Byte AAlpha1, Byte AAlpha2);
// A mask (transparent pixels white, others black) of ASource into ADest at
// (0, 0): from its alpha, or without alpha from its transparent colour.
void cxBuildMaskBitmap(TBitmap* ASource, TBitmap* ADest);

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------

// ALength -1: the whole text.
bool cxQueryTextExtent(HDC ADC, const String& AText, TSize& ASize, int ALength = -1);
bool cxExtTextOutString(HDC ADC, const String& AText, const TPoint& APoint, int ALength,
                        UINT AOptions, const TRect* AClipRect);
// DrawTextW inside a saved DC state; clDefault keeps the DC's text colour.
int cxDrawColoredText(HDC ADC, const String& AText, TRect& R, UINT AFormat, int ALength,
                      TColor AColor, int ABkMode);
int cxDrawCanvasText(TCanvas* ACanvas, const String& AText, const TRect& R, UINT AFormat,
                     TColor AColor);
// Text turned by the angle, drawn through a bitmap of ARect's size.
int cxDrawRotatableText(TcxCanvas* ACanvas, const String& AText, const TRect& ARect,
                        UINT AFormat, TColor AColor, TcxRotationAngle ARotationAngle);
// A size of 0 keeps the font's size.
void cxMeasureFontText(TFont* AFont, const String& AText, int AFontSize, TSize& ASize);
int cxMeasureFontTextHeight(TFont* AFont, const String& AText, int AFontSize = 0);
int cxMeasureFontTextWidth(TFont* AFont, const String& AText, int AFontSize = 0);
TSize cxMeasureSingleLineText(HDC ADC, const String& AText);
// The narrowest rectangle that shows the text in at most ALineCount lines (0:
// any number), found by bisection; AFixHeight makes it ALineCount lines high.
TRect cxFitTextRect(HDC ADC, const String& AText, int ALineCount, bool AFixHeight);
// Splits the text at word boundaries into lines no wider than ARect and
// appends them to AList.
void cxWrapTextToList(const String& AText, TcxCanvas* ACanvas, const TRect& ARect,
                      TStrings* AList);
// Right-to-left highlight for texts of the charsets 134, 136 and 178 that do
// not start with an ASCII character (DEFAULT_CHARSET resolves to the system's).
bool cxTextNeedsMirroredHighlight(Byte ACharSet, const String& AText);

// ---------------------------------------------------------------------------
// Windows and controls
// ---------------------------------------------------------------------------

void cxInvalidateWindowRect(HWND AHandle, const TRect& R, bool AEraseBackground = true);
void cxInvalidateWindow(HWND AHandle, bool AEraseBackground = true);
// The current cursor's visible size; the system metrics when its mask cannot be read.
TSize cxMeasureCursorSize();

// A control that may decline the border cxPaintControlOnCanvas would draw.
class IcxControlBorderProvider {
 public:
  virtual bool NeedsBorder() = 0;

 protected:
  ~IcxControlBorderProvider() = default;
};

// Paints a control (and with APaintChildren its windowed children, up to the
// first one in AExcludedControls) onto the canvas with its point (0, 0) at AOrigin.
void cxPaintControlOnCanvas(TWinControl* AControl, TcxCanvas* ACanvas, const TPoint& AOrigin,
                            const TPoint& ARegionOrigin, const TRect& ARect, bool ADrawBorder,
                            bool AClipToWindowRegion, TList* AExcludedControls,
                            bool APaintChildren);
// Paints the parent and the siblings below AControl into ARect (AControl's coordinates).
void cxPaintParentControlsUnder(TControl* AControl, TcxCanvas* ACanvas, const TRect& ARect,
                                bool APaintChildren = true);
void cxDrawParentThemeBackground(TWinControl* AControl, TcxCanvas* ACanvas, const TRect& ARect);

// ---------------------------------------------------------------------------
// Resampling (Lanczos-3)
// ---------------------------------------------------------------------------

// Single precision, as the fixed-point weights are defined.
float cxNormalizedSinc(float x);
float cxLanczos3Kernel(float x);

// Scales ASource to ADest's current size: halftone stretching on NT unless
// AForceFiltered, else the filter, which keeps the alpha channel.
void cxResampleBitmap(TBitmap* ASource, TBitmap* ADest, bool AForceFiltered = false);

// The weights of one dimension: for destination index i, Items[First[i]] ..
// Items[First[i + 1] - 1] (256 = 1.0; every index lies in the source). Each
// weight is rounded on its own and the sum is left as it comes out (253 ... 258
// at ordinary scales); only where that sum strays from 256 by more than
// cxResampleWeightTolerance, as in strong reductions, is it made exactly 256.
inline constexpr int cxResampleWeightTolerance = 4;
struct TcxResampleContributor {
  int Index;
  int Weight;
};
struct TcxResampleContributors {
  std::vector<int> First;
  std::vector<TcxResampleContributor> Items;
};
TcxResampleContributors cxCalculateResampleContributors(int ASourceLength, int ADestLength);
// The filter on pixel arrays (both in the same row order); reads only the
// ASourceWidth x ASourceHeight source pixels.
void cxResamplePixels(const RGBQUAD* ASource, int ASourceWidth, int ASourceHeight,
                      RGBQUAD* ADest, int ADestWidth, int ADestHeight);
// Shrinks 24- or 32-bit ASource into 24- or 32-bit ADest of at most its size (ADest's
// current size; a 32-bit target's fourth byte is 0): each pixel the average of the source
// area it covers. Cheaper than the filter or the halftone stretch for a large reduction, and
// as smooth.
void cxShrinkBitmapByArea(TBitmap* ASource, TBitmap* ADest);

// The same shrink for rows that come a few at a time, top to bottom (a picture being
// decoded), so that the whole source never has to exist: each target row is written as soon
// as the last source row it covers is in. A target with no pixels takes nothing;
// EInvalidOperation for a target larger than the source or pixels of another depth.
class TcxAreaShrinker {
 public:
  TcxAreaShrinker(int ASourceWidth, int ASourceHeight, int ASourceBytesPerPixel, TBitmap* ATarget);
  ~TcxAreaShrinker();
  TcxAreaShrinker(const TcxAreaShrinker&) = delete;
  TcxAreaShrinker& operator=(const TcxAreaShrinker&) = delete;

  // The next source row; rows past the source's height are ignored.
  void AddRow(const Byte* ARow);
  // Source rows that never came count as black, so that every target row is written.
  void Finish();
  int RowsIn() const { return FRowsIn; }

 private:
  struct TState;
  void EmitRow();

  TBitmap* FTarget;
  int FSourceWidth, FSourceHeight, FSourceBytesPerPixel;
  int FTargetWidth = 0, FTargetHeight = 0;
  int FRowsIn = 0, FRowsOut = 0;
  std::unique_ptr<TState> FState;
};
