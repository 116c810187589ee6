// The draw mode of glyphs and the arrows of the bar module's drawing routines.
#include "bars/model/dxBarDrawing.h"

#include "platform/gui/GdiAccounting.h"
#include "platform/gui/Graphics.h"

#include <gtest/gtest.h>

namespace {

TEST(dxBarDrawing, GlyphDrawModeFromTheState) {
  const struct {
    const char* what;
    TdxBarGlyphState state;
    int screenBits;
    TcxImageDrawMode mode;
  } cases[] = {
      {"disabled, not faded", {false, false}, 32, idmDisabled},
      {"disabled, faded", {false, true}, 32, idmFaded},
      {"gray scale", {true, false, true, false, false, false, false, true}, 32, idmGrayScale},
      {"not flat", {true, false, false}, 32, idmNormal},
      {"flat at rest", {true, false, true}, 32, idmDingy},
      {"flat at rest, 8-bit screen", {true, false, true}, 8, idmNormal},
      {"flat selected with shadow", {true, false, true, true, false, false, true}, 32, idmShadowed},
      {"flat selected, drawn down", {true, false, true, true, true, false, true}, 32, idmNormal},
      {"flat down", {true, false, true, true, false, true, false}, 32, idmNormal},
  };
  const int saved = dxBarScreenBitsPerPixel;
  for (const auto& c : cases) {
    dxBarScreenBitsPerPixel = c.screenBits;
    EXPECT_EQ(dxBarGlyphDrawMode(c.state), c.mode) << c.what;
  }
  dxBarScreenBitsPerPixel = saved;
}

TEST(dxBarDrawing, AutoSizedArrowSize) {
  const struct {
    TRect r;
    int orientation, size;
  } cases[] = {{{0, 0, 12, 12}, 1, 3}, {{0, 0, 20, 10}, 1, 5}, {{0, 0, 21, 10}, 1, 7}, {{0, 0, 8, 19}, 0, 7},
               {{0, 0, 8, 20}, 0, 6}};
  for (const auto& c : cases) EXPECT_EQ(dxBarAutoSizedArrowSize(c.r, c.orientation), c.size) << c.r.Right;
}

// A 32-bit white surface to draw on.
class TSurface {
 public:
  TSurface(int AWidth, int AHeight) : FWidth(AWidth) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), AWidth, -AHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    FDC = GdiCreateCompatibleDC(nullptr);
    FBitmap = GdiCreateDIBSection(FDC, &info, reinterpret_cast<void**>(&FBits));
    FPrevious = SelectObject(FDC, FBitmap);
    for (int i = 0; i < AWidth * AHeight; ++i) FBits[i] = 0xFFFFFF;
  }
  ~TSurface() {
    SelectObject(FDC, FPrevious);
    GdiDeleteObject(FBitmap);
    GdiDeleteDC(FDC);
  }
  HDC DC() const { return FDC; }
  COLORREF At(int x, int y) const {
    GdiFlush();
    const DWORD p = FBits[y * FWidth + x] & 0xFFFFFF;
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

 private:
  int FWidth;
  HDC FDC;
  HBITMAP FBitmap;
  HGDIOBJ FPrevious;
  DWORD* FBits = nullptr;
};

TEST(dxBarDrawing, DownwardArrowIsCentredInItsRectangle) {
  TSurface surface(12, 12);
  dxBarDrawAutoSizedArrow(surface.DC(), TRect(0, 0, 12, 12), 1, clRed, true, true, false);
  // Size 3: the triangle (3,4) (7,4) (5,6).
  const COLORREF red = RGB(255, 0, 0), white = RGB(255, 255, 255);
  const struct {
    int x, y;
    COLORREF color;
  } pixels[] = {{3, 4, red}, {7, 4, red}, {5, 5, red}, {5, 6, red}, {2, 4, white}, {8, 4, white}, {5, 7, white},
                {5, 3, white}, {3, 5, white}};
  for (const auto& p : pixels) EXPECT_EQ(surface.At(p.x, p.y), p.color) << p.x << "," << p.y;
}

TEST(dxBarDrawing, DoubleFocusRectDotsTwoPixelsOfTheBorder) {
  TSurface surface(8, 8);
  dxBarDoubleFocusRect(surface.DC(), TRect(0, 0, 8, 8));
  const COLORREF text = GetSysColor(COLOR_BTNTEXT), white = RGB(255, 255, 255);
  EXPECT_EQ(surface.At(0, 0), text);
  EXPECT_EQ(surface.At(1, 0), white);
  EXPECT_EQ(surface.At(1, 1), text);
  EXPECT_EQ(surface.At(3, 3), white) << "inside the two-pixel border nothing is drawn";
  EXPECT_EQ(surface.At(7, 7), text);
}

}  // namespace
