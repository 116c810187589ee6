#include "bars/model/dxBarDrawing.h"

#include "bars/model/dxBarRoutines.h"

#include "foundation/dxOffice11.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/Graphics.h"

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
