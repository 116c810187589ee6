#include "bars/model/dxBarDrawing.h"

#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarRoutines.h"

#include "foundation/cxGraphicsCanvas.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxThemeManager.h"
#include "foundation/dxUxTheme.h"
#include "platform/gui/Controls.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/Graphics.h"

#include <algorithm>
#include <utility>

int dxBarScreenBitsPerPixel = 32;
bool dxBarDingyGlyphsOn = true;

void dxBarRefreshScreenDepth() {
  HDC dc = GetDC(nullptr);
  dxBarScreenBitsPerPixel = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(nullptr, dc);
}

HBRUSH dxBarCheckerBrush = nullptr;

void dxBarCreateCheckerBrush() {
  if (dxBarModuleFinalizing()) return;
  // A 32-bit bitmap holds its pixels as 0x00RRGGBB.
  auto pixel = [](TColor AColor) {
    const COLORREF rgb = static_cast<COLORREF>(ColorToRGB(AColor));
    return static_cast<DWORD>((GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb));
  };
  DWORD bits[8 * 8];
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) bits[y * 8 + x] = pixel(x % 2 == y % 2 ? clBtnFace : clBtnHighlight);
  HBITMAP pattern = GdiCreateBitmap(8, 8, 1, 32, bits);
  // Without resources the brush stays nil: pressed checked buttons draw plain.
  HBRUSH brush = pattern ? GdiCreatePatternBrush(pattern) : nullptr;
  if (pattern) GdiDeleteObject(pattern);
  dxBarDeleteCheckerBrush();
  dxBarCheckerBrush = brush;
}

void dxBarDeleteCheckerBrush() {
  HGDIOBJ brush = dxBarCheckerBrush;
  dxBarDeleteGDIHandle(brush);
  dxBarCheckerBrush = nullptr;
}

TcxImageDrawMode dxBarGlyphDrawMode(const TdxBarGlyphState& AState) {
  if (!AState.Enabled) return AState.FadesDisabledImages ? idmFaded : idmDisabled;
  if (AState.GrayScale) return idmGrayScale;
  if (!AState.FlatGlyphImage) return idmNormal;
  if (AState.Selected || AState.Downed || !dxBarDingyGlyphsOn || dxBarScreenBitsPerPixel <= 8)
    return AState.GlyphHasShadow && AState.Selected && !AState.DrawDowned ? idmShadowed : idmNormal;
  return idmDingy;
}

void dxBarDeleteGDIHandle(HGDIOBJ& AHandle) {
  if (AHandle) GdiDeleteObject(AHandle);
  AHandle = nullptr;
}

void dxBarSelectBackAndDelete(HDC ADC, HGDIOBJ APrevious) { GdiDeleteObject(SelectObject(ADC, APrevious)); }

namespace {

HBRUSH NewSolidBrush(TColor AColor) {
  LOGBRUSH brush{BS_SOLID, static_cast<COLORREF>(ColorToRGB(AColor)), 0};
  return GdiCreateBrush(brush);
}

void FrameWith(HDC ADC, const TRect& R, TColor AColor) {
  HBRUSH brush = NewSolidBrush(AColor);
  const RECT r{R.Left, R.Top, R.Right, R.Bottom};
  FrameRect(ADC, &r, brush);
  GdiDeleteObject(brush);
}

}  // namespace

void dxBarFillPolygon(HDC ADC, const POINT* APoints, int ALastIndex, TColor AFillColor, TColor AOutlineColor) {
  HGDIOBJ previousBrush = SelectObject(ADC, NewSolidBrush(AFillColor));
  HGDIOBJ previousPen = SelectObject(ADC, GdiCreatePen(PS_SOLID, 1, ColorToRGB(AOutlineColor)));
  Polygon(ADC, APoints, ALastIndex + 1);
  dxBarSelectBackAndDelete(ADC, previousPen);
  dxBarSelectBackAndDelete(ADC, previousBrush);
}

void dxBarFrameRectHighlight(HDC ADC, const TRect& R) { FrameWith(ADC, R, clHighlight); }

void dxBarFrameRectDouble(HDC ADC, const TRect& R, int ASysColorIndex) {
  const TColor color = static_cast<TColor>(GetSysColor(ASysColorIndex));
  FrameWith(ADC, R, color);
  FrameWith(ADC, TRect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1), color);
}

void dxBarDoubleFocusRect(HDC ADC, const TRect& R) {
  const COLORREF color = GetSysColor(COLOR_BTNTEXT);
  for (int y = R.Top; y < R.Bottom; ++y)
    for (int x = R.Left; x < R.Right; ++x) {
      const bool onFrame = x < R.Left + 2 || x >= R.Right - 2 || y < R.Top + 2 || y >= R.Bottom - 2;
      if (onFrame && (x + y) % 2 == 0) SetPixel(ADC, x, y, color);
    }
}

void dxBarHatchDisabledArea(HDC ADC, const TRect& R) { cxDrawHatchOverDC(ADC, R, clBlack, clBtnFace, 2, 20, 170); }

void dxBarSaveDCClip(HDC ADC, HRGN& ARegion, bool& AHadClip) {
  ARegion = GdiCreateRectRgn(0, 0, 0, 0);
  AHadClip = GetClipRgn(ADC, ARegion) == 1;
}

void dxBarRestoreDCClip(HDC ADC, HRGN& ARegion, bool AHadClip) {
  SelectClipRgn(ADC, AHadClip ? ARegion : nullptr);
  GdiDeleteObject(ARegion);
  ARegion = nullptr;
}

void dxBarDrawArrowGlyph(HDC ADC, const TRect& R, bool ADownward, TColor AColor, bool AFlat, bool AEnabled,
                         bool ASelected, int ASize) {
  const int S = ASize;
  if (AColor == clDefault) {
    if (!AEnabled)
      AColor = clBtnShadow;
    else if (!ASelected)
      AColor = clBtnText;
    else
      AColor = dxIsButtonFaceWhite() ? clBtnFace : clHighlightText;
  }
  int X, Y;
  POINT points[3];
  if (ADownward) {
    X = (R.Left + R.Right - (2 * S - 1)) / 2;
    Y = (R.Top + R.Bottom - S) / 2;
    points[0] = {X, Y};
    points[1] = {X + 2 * S - 2, Y};
    points[2] = {X + S - 1, Y + S - 1};
  } else {
    X = (R.Left + R.Right - S) / 2;
    Y = (R.Top + R.Bottom - (2 * S - 1)) / 2;
    points[0] = {X, Y};
    points[1] = {X, Y + 2 * S - 2};
    points[2] = {X + S - 1, Y + S - 1};
  }
  dxBarFillPolygon(ADC, points, 2, AColor, AColor);
  if (AEnabled || AFlat) return;
  // The embossed edge of a disabled arrow.
  HGDIOBJ previous = SelectObject(ADC, GdiCreatePen(PS_SOLID, 1, ColorToRGB(clBtnHighlight)));
  auto line = [ADC](int x1, int y1, int x2, int y2) {
    MoveToEx(ADC, x1, y1, nullptr);
    LineTo(ADC, x2, y2);
  };
  if (ADownward) {
    line(X + S, Y + S - 1, X + 2 * S - 1, Y);
    line(X + S, Y + S, X + 2 * S, Y);
  } else {
    line(X + S - 1, Y + S, X, Y + 2 * S - 1);
    line(X + S, Y + S, X, Y + 2 * S);
  }
  dxBarSelectBackAndDelete(ADC, previous);
}

void dxBarDrawArrowInRect(HDC ADC, const TRect& R, int AOrientation, TColor AColor, bool AFlat, bool AEnabled,
                          bool ASelected, int ASize) {
  dxBarDrawArrowGlyph(ADC, R, AOrientation == 1, AColor, AFlat, AEnabled, ASelected, ASize);
}

int dxBarAutoSizedArrowSize(const TRect& R, int AOrientation) {
  const int extent = AOrientation == 1 ? R.Right - R.Left - 8 : R.Bottom - R.Top - 6;
  const int size = (extent - 1) / 2 + (extent % 2 != 0 ? 1 : 0);
  return size < 3 ? 3 : size;
}

void dxBarDrawAutoSizedArrow(HDC ADC, const TRect& R, int AOrientation, TColor AColor, bool AFlat, bool AEnabled,
                             bool ASelected) {
  dxBarDrawArrowInRect(ADC, R, AOrientation, AColor, AFlat, AEnabled, ASelected, dxBarAutoSizedArrowSize(R, AOrientation));
}

// ---------------------------------------------------------------------------
// Glyphs
// ---------------------------------------------------------------------------

namespace {

bool ManagerCachesGlyphs(TdxBarItemControlBase* AControl) {
  TdxBarItemLink* link = AControl->ItemLink();
  TdxBarManager* manager = link ? link->BarManager() : nullptr;
  return manager && manager->ImageOptions()->CacheGlyphs();
}

TColor TransparentColorOf(const TdxBarGlyphDrawArgs& AArgs) {
  return AArgs.Glyph && !AArgs.Glyph->Empty() ? clNone : AArgs.BkColor;
}

void DrawGlyph(HDC ADC, const TdxBarGlyphDrawArgs& AArgs, TcxImageDrawMode AMode) {
  cxDrawImageOnBackground(ADC, AArgs.GlyphRect, AArgs.FullRect, AArgs.Glyph, AArgs.Images, AArgs.ImageIndex, AMode,
                          AArgs.Smooth, AArgs.Brush, TransparentColorOf(AArgs), AArgs.UseLeftBottomPixelAsTransparent);
}

}  // namespace

void dxBarDrawItemGlyph(TdxBarItemControlBase* AControl, HDC ADC, const TdxBarGlyphDrawArgs& AArgs) {
  const TcxImageDrawMode mode = dxBarGlyphDrawMode(AArgs.State);
  // A shadow is drawn over the background it falls on: it is not kept.
  IdxBarGlyphCache* cache =
      AControl && mode != idmShadowed && ManagerCachesGlyphs(AControl) ? AControl->GlyphCache() : nullptr;
  if (!cache) return DrawGlyph(ADC, AArgs, mode);
  // A rendering of another size (the glyph rectangle changed with the view)
  // would be drawn stretched: it is made again.
  TBitmap* rendering = cache->IsCached(mode, AArgs.Glyph, AArgs.Images) ? cache->CachedGlyph() : nullptr;
  if (!rendering || rendering->Width() != AArgs.GlyphRect.Width() || rendering->Height() != AArgs.GlyphRect.Height())
    cache->Cache(AArgs.GlyphRect, AArgs.Glyph, AArgs.Images, AArgs.ImageIndex, mode, AArgs.Smooth,
                 TransparentColorOf(AArgs), AArgs.UseLeftBottomPixelAsTransparent);
  // The rendering is finished: a custom image drawer must not draw it again.
  TFinally restoreHook{[hook = std::exchange(cxDrawImageHook, nullptr)] { cxDrawImageHook = hook; }};
  cxDrawImageOnBackground(ADC, AArgs.GlyphRect, AArgs.FullRect, cache->CachedGlyph(), nullptr, -1, idmNormal, false,
                          AArgs.Brush, clNone, AArgs.UseLeftBottomPixelAsTransparent);
}

void dxBarDrawGlyphNoCache(HDC ADC, const TdxBarGlyphDrawArgs& AArgs) { DrawGlyph(ADC, AArgs, dxBarGlyphDrawMode(AArgs.State)); }

void dxBarDrawStateBitmap(HDC ADC, const TRect& R, TBitmap* ABitmap, bool AState) {
  cxDrawImageOnBackground(ADC, R, R, ABitmap, nullptr, -1, AState ? idmNormal : idmDisabled, false, nullptr, clNone);
}

// ---------------------------------------------------------------------------
// Clipping and backgrounds
// ---------------------------------------------------------------------------

void dxBarClipToFrameBorder(TcxCanvas* ACanvas, const TRect& AFrame, const TRect& AContent) {
  TcxRegion* border = Make<TcxRegion>(AFrame);
  border->Combine(Make<TcxRegion>(AContent), roSubtract);
  ACanvas->SetClipRegion(border, roSet);
}

void dxBarUnionClipRect(HDC ADC, const TRect& R) {
  HRGN clip = GdiCreateRectRgn(0, 0, 0, 0);
  // Without a clip region everything is drawn already.
  const bool hasClip = GetClipRgn(ADC, clip) == 1;
  GdiDeleteObject(clip);
  if (!hasClip) return;
  POINT corners[2] = {{R.Left, R.Top}, {R.Right, R.Bottom}};
  LPtoDP(ADC, corners, 2);
  HRGN added = GdiCreateRectRgn(corners[0].x, corners[0].y, corners[1].x, corners[1].y);
  ExtSelectClipRgn(ADC, added, RGN_OR);
  GdiDeleteObject(added);
}

void dxBarPaintBackgroundArea(HDC ADC, const TRect& ADest, const TRect& ASource, TBitmap* ABitmap, TColor AColor,
                              HBRUSH ABrush) {
  if (ABitmap && !ABitmap->Empty()) return dxBarTileBitmap(ADC, ADest, ASource, ABitmap);
  const RECT r{ADest.Left, ADest.Top, ADest.Right, ADest.Bottom};
  if (ABrush) {
    FillRect(ADC, &r, ABrush);
    return;
  }
  HBRUSH brush = NewSolidBrush(AColor);
  FillRect(ADC, &r, brush);
  GdiDeleteObject(brush);
}

namespace {

int FloorDiv(int A, int B) { return A / B - (A % B != 0 && (A < 0) != (B < 0) ? 1 : 0); }

}  // namespace

void dxBarTileBitmap(HDC ADC, const TRect& ADest, const TRect& ASource, TBitmap* ABitmap) {
  if (!ABitmap || ABitmap->Empty() || ASource.IsEmpty() || ADest.IsEmpty()) return;
  const int width = ABitmap->Width(), height = ABitmap->Height();
  // Tiles that the source touches and that reach into the destination.
  const int right = std::min(ASource.Right, ASource.Left + ADest.Width());
  const int bottom = std::min(ASource.Bottom, ASource.Top + ADest.Height());
  const int saved = SaveDC(ADC);
  TFinally restore{[ADC, saved] { RestoreDC(ADC, saved); }};
  IntersectClipRect(ADC, ADest.Left, ADest.Top, ADest.Right, ADest.Bottom);
  for (int j = FloorDiv(ASource.Top, height); j * height < bottom; ++j)
    for (int i = FloorDiv(ASource.Left, width); i * width < right; ++i) {
      const int x = ADest.Left + i * width - ASource.Left, y = ADest.Top + j * height - ASource.Top;
      cxBlitBitmapToDC(ADC, ABitmap, TRect(x, y, x + width, y + height));
    }
}

void dxBarShiftWindowOrgTo(TControl* AControl, TWinControl* AParent, HDC ADC, TPoint& AOffset, TPoint& APrevOrg,
                           TRect& R) {
  AOffset = TPoint(0, 0);
  auto* control = dynamic_cast<TWinControl*>(AControl);
  if (control && AParent && control->HandleAllocated() && AParent->HandleAllocated()) {
    POINT origin{0, 0};
    MapWindowPoints(control->Handle(), AParent->Handle(), &origin, 1);
    AOffset = TPoint(origin.x, origin.y);
  }
  POINT previous{};
  OffsetWindowOrgEx(ADC, AOffset.X, AOffset.Y, &previous);
  APrevOrg = TPoint(previous.x, previous.y);
  R = TRect(R.Left + AOffset.X, R.Top + AOffset.Y, R.Right + AOffset.X, R.Bottom + AOffset.Y);
}

void dxBarRestoreWindowOrg(HDC ADC, const TPoint& APrevOrg) { SetWindowOrgEx(ADC, APrevOrg.X, APrevOrg.Y, nullptr); }

TColor dxBarNearestScreenColor(TColor AColor) {
  HDC dc = GetDC(nullptr);
  const COLORREF nearest = GetNearestColor(dc, static_cast<COLORREF>(ColorToRGB(AColor)));
  ReleaseDC(nullptr, dc);
  return static_cast<TColor>(nearest);
}

// ---------------------------------------------------------------------------
// Size grips and parts of the visual styles
// ---------------------------------------------------------------------------

namespace {

// Parts, states and properties of the visual styles.
constexpr int kToolbarPart = 0;
constexpr int kWindowSmallCloseButton = 19;
constexpr int kScrollBarSizeBox = 10;
constexpr int kSizeBoxRightAlign = 1;
constexpr int kEditText = 1;
constexpr int kEditDisabled = 4;
constexpr int kPropFillColor = 3802;
constexpr int kPropTextColor = 3803;

// A memory DC with a bitmap compatible with ADC selected; everything goes
// with the object.
class TMemoryDC {
 public:
  TMemoryDC(HDC ADC, int AWidth, int AHeight, bool AMonochrome = false) {
    FDC = GdiCreateCompatibleDC(ADC);
    FBitmap = AMonochrome ? GdiCreateBitmap(AWidth, AHeight, 1, 1, nullptr) : GdiCreateCompatibleBitmap(ADC, AWidth, AHeight);
    if (!FDC || !FBitmap) {
      Release();
      throw EOutOfResources(L"Out of system resources");
    }
    FPrevious = SelectObject(FDC, FBitmap);
  }
  ~TMemoryDC() { Release(); }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  HDC DC() const { return FDC; }

 private:
  void Release() {
    if (FDC && FPrevious) SelectObject(FDC, FPrevious);
    if (FBitmap) GdiDeleteObject(FBitmap);
    if (FDC) GdiDeleteDC(FDC);
  }
  HDC FDC = nullptr;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FPrevious = nullptr;
};

void FillWithButtonFace(HDC ADC, const TRect& R) {
  const RECT r{R.Left, R.Top, R.Right, R.Bottom};
  FillRect(ADC, &r, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
}

TSize ThemedPartSize(TdxThemedObjectType AType, int APart, int AState, const TSize& AClassicSize) {
  TSize size;
  if (TdxTheme theme = dxAcquireThemeHandle(AType))
    if (SUCCEEDED(dxUxGetThemePartSize(theme, nullptr, APart, AState, TS_TRUE, size))) return size;
  return AClassicSize;
}

}  // namespace

void dxBarDrawTransparentSizeGrip(HDC ADC, const TRect& R) {
  const int width = R.Width(), height = R.Height();
  if (width <= 0 || height <= 0) return;
  TMemoryDC grip(ADC, width, height), mask(ADC, width, height, true), result(ADC, width, height);
  RECT all{0, 0, width, height};
  DrawFrameControl(grip.DC(), &all, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  // White in the mask where the grip shows button face.
  SetBkColor(grip.DC(), GetSysColor(COLOR_BTNFACE));
  BitBlt(mask.DC(), 0, 0, width, height, grip.DC(), 0, 0, SRCCOPY);
  BitBlt(result.DC(), 0, 0, width, height, ADC, R.Left, R.Top, SRCCOPY);
  // The mask is spread as black (0) and white (1) over the colour bitmaps.
  for (HDC dc : {grip.DC(), result.DC()}) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
  }
  BitBlt(result.DC(), 0, 0, width, height, mask.DC(), 0, 0, MERGEPAINT);  // the grip's pixels white
  BitBlt(grip.DC(), 0, 0, width, height, mask.DC(), 0, 0, SRCPAINT);      // the face pixels white
  BitBlt(result.DC(), 0, 0, width, height, grip.DC(), 0, 0, SRCAND);
  BitBlt(ADC, R.Left, R.Top, width, height, result.DC(), 0, 0, SRCCOPY);
}

TSize dxBarThemedSizeGripSize() {
  const TSize size = ThemedPartSize(totScrollBar, kScrollBarSizeBox, kSizeBoxRightAlign,
                                    TSize(GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)));
  return TSize(size.cx + 2, size.cy + 2);
}

void dxBarDrawThemedSizeGrip(HDC ADC, const TRect& R, int ACorner) {
  const TSize size = dxBarThemedSizeGripSize();
  const bool right = ACorner == 1 || ACorner == 3, bottom = ACorner == 2 || ACorner == 3;
  TRect r = R;
  if (right)
    r.Left = r.Right - size.cx - 1;
  else
    r.Right = r.Left + size.cx + 1;
  if (bottom)
    r.Top = r.Bottom - size.cy;
  else
    r.Bottom = r.Top + size.cy;
  FillWithButtonFace(ADC, r);
  TdxTheme theme = dxAcquireThemeHandle(totScrollBar);
  // The part's own picture is of the bottom-right corner; the inner sides
  // (away from the corner) keep a margin of 2 pixels.
  TRect part = r;
  if (right)
    part.Left += 2;
  else
    part.Right -= 2;
  if (bottom)
    part.Top += 2;
  else
    part.Bottom -= 2;
  const int width = part.Width(), height = part.Height();
  if (!theme || width <= 0 || height <= 0) return;
  TMemoryDC picture(ADC, width, height);
  FillWithButtonFace(picture.DC(), TRect(0, 0, width, height));
  dxUxDrawThemeBackground(theme, picture.DC(), kScrollBarSizeBox, kSizeBoxRightAlign, TRect(0, 0, width, height));
  // A negative extent mirrors: the copy then runs from the far edge back.
  StretchBlt(ADC, right ? part.Left : part.Right - 1, bottom ? part.Top : part.Bottom - 1, right ? width : -width,
             bottom ? height : -height, picture.DC(), 0, 0, width, height, SRCCOPY);
}

TSize dxBarThemedSmallCloseButtonSize() {
  return ThemedPartSize(totWindow, kWindowSmallCloseButton, 1,
                        TSize(GetSystemMetrics(SM_CXSMSIZE), GetSystemMetrics(SM_CYSMSIZE)));
}

void dxBarDrawThemedSmallCloseButton(HDC ADC, const TRect& R, bool AHot, int AKind, bool APressed) {
  const int state = APressed ? 3 : AHot ? 2 : 1;
  const TSize size = dxBarThemedSmallCloseButtonSize();
  const int offset = size.cy < R.Height() ? (R.Height() - size.cy) / 2 : 0;
  TRect r = R;
  if (AKind == 1 || AKind == 3) {
    r.Left += offset;
    r.Right = r.Left + size.cx;
  } else {
    r.Right -= offset;
    r.Left = r.Right - size.cx;
  }
  r.Top += offset;
  r.Bottom = r.Top + size.cy;
  FillWithButtonFace(ADC, r);
  if (TdxTheme theme = dxAcquireThemeHandle(totWindow))
    dxUxDrawThemeBackground(theme, ADC, kWindowSmallCloseButton, state, r);
}

int dxBarEditControlThemeState(TdxBarItemControlBase* AEditControl) {
  TdxBarItem* item = AEditControl ? AEditControl->Item() : nullptr;
  return item && !item->Enabled() ? kEditDisabled : 1;
}

TColor dxBarThemedEditFillColor(HANDLE ATheme, int AState) {
  COLORREF color = 0;
  if (AState == kEditDisabled && ATheme &&
      SUCCEEDED(dxUxGetThemeColor(static_cast<HTHEME>(ATheme), kEditText, AState, kPropFillColor, color)))
    return static_cast<TColor>(color);
  return clWindow;
}

TColor dxBarThemedEditTextColor(HANDLE ATheme, int AState) {
  COLORREF color = 0;
  if (ATheme && SUCCEEDED(dxUxGetThemeColor(static_cast<HTHEME>(ATheme), kEditText, AState, kPropTextColor, color)))
    return static_cast<TColor>(color);
  return AState == kEditDisabled ? clGrayText : clWindowText;
}

TColor dxBarThemedToolbarFillColor() {
  COLORREF color = 0;
  if (TdxTheme theme = dxAcquireThemeHandle(totToolBar))
    if (SUCCEEDED(dxUxGetThemeColor(theme, kToolbarPart, 0, kPropFillColor, color))) return static_cast<TColor>(color);
  return clBtnFace;
}
