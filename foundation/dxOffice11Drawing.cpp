#include "foundation/dxOffice11.h"

#include "platform/gui/GdiAccounting.h"

#include <algorithm>
#include <optional>

namespace {

using TGradientFill = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

HMODULE msimgLibrary = nullptr;
TGradientFill gradientFill = nullptr;
int initCount = 0;

int Channel(TColor rgb, int shift) { return (rgb >> shift) & 0xFF; }
TColor MakeRGB(int r, int g, int b) { return r | (g << 8) | (b << 16); }

const RECT* AsRect(const TRect& r) { return reinterpret_cast<const RECT*>(&r); }

// A solid brush that lives for one drawing call.
class TTempBrush {
 public:
  explicit TTempBrush(TColor color) {
    LOGBRUSH brush{BS_SOLID, static_cast<COLORREF>(ColorToRGB(color)), 0};
    handle_ = GdiCreateBrush(brush);
  }
  ~TTempBrush() {
    if (handle_) GdiDeleteObject(handle_);
  }
  TTempBrush(const TTempBrush&) = delete;
  TTempBrush& operator=(const TTempBrush&) = delete;
  HBRUSH Handle() const { return handle_; }

 private:
  HBRUSH handle_ = nullptr;
};

// The palette brush, or (while the palette has no users and so no brushes)
// a temporary brush of the palette colour.
class TPaletteBrush {
 public:
  TPaletteBrush(HBRUSH given, HBRUSH paletteBrush, TColor paletteColor) {
    if (given)
      handle_ = given;
    else if (paletteBrush)
      handle_ = paletteBrush;
    else
      handle_ = temp_.emplace(paletteColor).Handle();
  }
  HBRUSH Handle() const { return handle_; }

 private:
  std::optional<TTempBrush> temp_;
  HBRUSH handle_ = nullptr;
};

void FillWithBrush(HDC dc, const TRect& r, HBRUSH brush) { FillRect(dc, AsRect(r), brush); }

// The band colour i of S bands (S >= 1) from c1 to c2: a single band has c1
// (the divisor S - 1 would be zero).
TColor BandColor(TColor c1, TColor c2, int i, int s) {
  if (s <= 1) return c1;
  int channels[3];
  for (int k = 0; k < 3; ++k) {
    const int a = Channel(c1, 8 * k), b = Channel(c2, 8 * k);
    channels[k] = std::clamp(a + MulDiv(i, b - a, s - 1), 0, 255);
  }
  return MakeRGB(channels[0], channels[1], channels[2]);
}

TRect BandRect(const TRect& r, bool horizontal, int from, int to) {
  return horizontal ? TRect(from, r.Top, to, r.Bottom) : TRect(r.Left, from, r.Right, to);
}

}  // namespace

bool dxGradientFillAvailable() { return gradientFill != nullptr; }

void dxOffice11Initialize() {
  if (initCount++ > 0) return;
  msimgLibrary = LoadLibraryW(L"msimg32.dll");
  if (msimgLibrary)
    gradientFill = reinterpret_cast<TGradientFill>(
        reinterpret_cast<void (*)()>(GetProcAddress(msimgLibrary, "GradientFill")));
}

void dxOffice11Finalize() {
  if (initCount == 0 || --initCount > 0) return;
  // Users that never left must not keep GDI objects past shutdown.
  while (dxOffice11ColorsUserCount() > 0) dxRemoveOffice11ColorsUser();
  gradientFill = nullptr;
  if (msimgLibrary) FreeLibrary(msimgLibrary);
  msimgLibrary = nullptr;
}

void dxFillSolidRect(HDC dc, const TRect& r, TColor color) {
  TTempBrush brush(color);
  FillWithBrush(dc, r, brush.Handle());
}

void dxFrameSolidRect(HDC dc, const TRect& r, TColor color) {
  TTempBrush brush(color);
  FrameRect(dc, AsRect(r), brush.Handle());
}

void dxFillLinearBands(HDC dc, const TRect& r, TColor color1, bool horizontal, TColor color2) {
  const TColor c1 = ColorToRGB(color1), c2 = ColorToRGB(color2);
  const int start = horizontal ? r.Left : r.Top;
  const int end = horizontal ? r.Right : r.Bottom;
  const int n = end - start;
  if (n <= 0) return;
  const int s = std::min(n, 256);
  int from = start;
  for (int i = 0; i < s && from < end; ++i) {
    const int to = std::min(start + MulDiv(i + 1, n, s), end);
    if (to <= from) continue;
    TTempBrush brush(BandColor(c1, c2, i, s));
    FillWithBrush(dc, BandRect(r, horizontal, from, to), brush.Handle());
    from = to;
  }
}

void dxFillGradientRect(HDC dc, const TRect& r, TColor color1, bool horizontal, TColor color2) {
  const TColor c1 = ColorToRGB(color1), c2 = ColorToRGB(color2);
  if (c1 == c2) {
    dxFillSolidRect(dc, r, c1);
    return;
  }
  if (!gradientFill) {
    dxFillLinearBands(dc, r, c1, horizontal, c2);
    return;
  }
  auto vertex = [](int x, int y, TColor c) {
    TRIVERTEX v{};
    v.x = x;
    v.y = y;
    v.Red = static_cast<COLOR16>(Channel(c, 0) << 8);
    v.Green = static_cast<COLOR16>(Channel(c, 8) << 8);
    v.Blue = static_cast<COLOR16>(Channel(c, 16) << 8);
    v.Alpha = 0;
    return v;
  };
  TRIVERTEX vertices[2] = {vertex(r.Left, r.Top, c1), vertex(r.Right, r.Bottom, c2)};
  GRADIENT_RECT gradient{0, 1};
  gradientFill(dc, vertices, 2, &gradient, 1, horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

void dxFillGradientRect(HDC dc, const TRect& r, TColor color1, TColor color2, bool horizontal) {
  dxFillGradientRect(dc, r, color1, horizontal, color2);
}

TColor dxGetGradientColorAt(const TRect& r, int pos, TColor color1, bool horizontal, TColor color2) {
  const TColor c1 = ColorToRGB(color1), c2 = ColorToRGB(color2);
  const int start = horizontal ? r.Left : r.Top;
  const int n = (horizontal ? r.Right : r.Bottom) - start;
  if (n <= 0) return c1;
  const int s = std::min(n, 256);
  const int i = std::clamp(MulDiv(pos - start + 1, s, n) - 1, 0, s - 1);
  return BandColor(c1, c2, i, s);
}

TColor dxGetGradientColorAt(const TRect& r, int pos, TColor color1, TColor color2, bool horizontal) {
  return dxGetGradientColorAt(r, pos, color1, horizontal, color2);
}

void dxFillBandedGradient(HDC dc, const TRect& r, TColor color1, bool horizontal, TColor color2) {
  const TColor c1 = ColorToRGB(color1), c2 = ColorToRGB(color2);
  if (c1 == c2) {
    dxFillSolidRect(dc, r, c1);
    return;
  }
  const int start = horizontal ? r.Left : r.Top;
  const int end = horizontal ? r.Right : r.Bottom;
  const int n = end - start;
  if (n <= 0) return;
  const int h = n / 2;
  const int midpoint = dxOffice11Palette.GradientMidpoint;
  int first[3], middle[3], slope[3], base[3], last[3];
  for (int k = 0; k < 3; ++k) {
    first[k] = Channel(c1, 8 * k);
    last[k] = Channel(c2, 8 * k);
    middle[k] = first[k] - MulDiv(first[k] - last[k], midpoint, 200);
    // With a one-pixel extent (h = 0) only the middle band is drawn: the
    // segment ends that would divide by h are never used.
    slope[k] = h > 0 ? first[k] - MulDiv(first[k] - middle[k], n, h) : first[k];
    base[k] = h > 0 ? last[k] + MulDiv(middle[k] - last[k], n, h) : last[k];
  }
  for (int i = 0; i < n && start + i < end; ++i) {
    int channels[3];
    for (int k = 0; k < 3; ++k) {
      int value;
      if (i < h)
        value = first[k] + MulDiv(i, slope[k] - first[k], n - 1);
      else if (i == h)
        value = middle[k];
      else
        value = base[k] + MulDiv(i, last[k] - base[k], n - 1);
      channels[k] = std::clamp(value, 0, 255);
    }
    TTempBrush brush(MakeRGB(channels[0], channels[1], channels[2]));
    FillWithBrush(dc, BandRect(r, horizontal, start + i, start + i + 1), brush.Handle());
  }
}

void dxFillBandedGradient(HDC dc, const TRect& r, TColor color1, TColor color2, bool horizontal) {
  dxFillBandedGradient(dc, r, color1, horizontal, color2);
}

void dxFrameRectContrastAware(HDC dc, const TRect& r) {
  if (dxIsButtonFaceBlack() || dxIsHighContrastColoredText()) {
    dxFrameSolidRect(dc, r, clHighlightText);
    return;
  }
  TPaletteBrush brush(nullptr, dxOffice11Palette.SelectedFrameBrush, dxOffice11Palette.SelectedFrame);
  FrameRect(dc, AsRect(r), brush.Handle());
}

void dxDrawGripDots(HDC dc, const TRect& r, bool vertical, HBRUSH lightBrush, HBRUSH darkBrush) {
  const TdxOffice11Palette& p = dxOffice11Palette;
  TPaletteBrush light(lightBrush, p.GripLightBrush, p.GripLight);
  TPaletteBrush dark(darkBrush, p.GripDarkBrush, p.GripDark);
  const int length = vertical ? r.Height() : r.Width();
  const int rest = length % 4;
  const int offset = rest <= 1 ? rest : rest / 2;
  TRect cell = vertical ? Bounds(r.Left, r.Top + offset, 4, 4) : Bounds(r.Left + offset, r.Top, 4, 4);
  while (vertical ? cell.Bottom <= r.Bottom : cell.Right <= r.Right) {
    FillWithBrush(dc, Bounds(cell.Left + 1, cell.Top + 1, 2, 2), light.Handle());
    FillWithBrush(dc, Bounds(cell.Left, cell.Top, 2, 2), dark.Handle());
    if (vertical)
      cell = Bounds(cell.Left, cell.Top + 4, 4, 4);
    else
      cell = Bounds(cell.Left + 4, cell.Top, 4, 4);
  }
}

void dxDrawGripTriangle(HDC dc, const TRect& r, TColor lightColor, TColor darkColor) {
  std::optional<TTempBrush> light, dark;
  if (lightColor != clDefault) light.emplace(lightColor);
  if (darkColor != clDefault) dark.emplace(darkColor);
  // Null stands for the palette's brush.
  const HBRUSH lightBrush = light ? light->Handle() : nullptr;
  const HBRUSH darkBrush = dark ? dark->Handle() : nullptr;
  TRect strip(r.Right - 12, r.Bottom - 3, r.Right, r.Bottom);
  for (int row = 0; row < 3; ++row) {
    dxDrawGripDots(dc, strip, false, lightBrush, darkBrush);
    strip = TRect(strip.Left + 4, strip.Top - 4, strip.Right, strip.Bottom - 4);
  }
}

void dxDrawArrowGlyph(HDC dc, const TRect& r, bool horizontal, int size, bool highlighted,
                      bool enabled) {
  const TdxOffice11Palette& p = dxOffice11Palette;
  TColor color;
  if (!enabled)
    color = p.DisabledText;
  else if (highlighted && dxIsButtonFaceWhite())
    color = clWhite;
  else
    color = p.Text;
  const int s = size;
  POINT points[3];
  // A right arrow is s wide and 2s - 1 high, a down arrow the other way round;
  // each is centred on its own extent in each direction.
  if (horizontal) {
    const int x = (r.Left + r.Right - s) / 2, y = (r.Top + r.Bottom - (2 * s - 1)) / 2;
    points[0] = {x, y};
    points[1] = {x, y + 2 * s - 2};
    points[2] = {x + s - 1, y + s - 1};
  } else {
    const int x = (r.Left + r.Right - (2 * s - 1)) / 2, y = (r.Top + r.Bottom - s) / 2;
    points[0] = {x, y};
    points[1] = {x + 2 * s - 2, y};
    points[2] = {x + s - 1, y + s - 1};
  }
  const COLORREF rgb = static_cast<COLORREF>(ColorToRGB(color));
  HPEN pen = GdiCreatePen(PS_SOLID, 1, rgb);
  TTempBrush brush(rgb);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, brush.Handle());
  Polygon(dc, points, 3);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  GdiDeleteObject(pen);
}

void dxDrawArrowInRect(HDC dc, const TRect& r, bool horizontal, bool enabled, bool highlighted) {
  const int n = horizontal ? r.Width() - 8 : r.Height() - 6;
  const int size = std::max((n % 2 != 0 ? 1 : 0) + (n - 1) / 2, 3);
  dxDrawArrowGlyph(dc, r, horizontal, size, highlighted, enabled);
}
