#include "platform/WinApi.h"
#include "foundation/dxOffice11.h"
#include "platform/gui/GdiAccounting.h"
#include "tests/foundation/dxOffice11TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using fndtest::TDib;
using TArt = std::vector<std::string>;

constexpr TColor kBack = 0xFF00FF;   // a background no routine draws in
constexpr TColor kLight = 0x0000FF;
constexpr TColor kDark = 0xFF0000;

int Red(TColor c) { return c & 0xFF; }

// Red channel of each pixel along a one-pixel line of the DIB.
std::vector<int> Reds(const TDib& dib, bool horizontal) {
  std::vector<int> reds;
  const int n = horizontal ? dib.Width() : dib.Height();
  for (int i = 0; i < n; ++i) reds.push_back(Red(horizontal ? dib.Pixel(i, 0) : dib.Pixel(0, i)));
  return reds;
}

int Runs(const std::vector<int>& values) {
  int runs = 0;
  for (size_t i = 0; i < values.size(); ++i)
    if (i == 0 || values[i] != values[i - 1]) ++runs;
  return runs;
}

// The palette with one user for the drawing that takes its colours.
class DxOffice11Drawing : public testing::Test {
 protected:
  void SetUp() override { dxAddOffice11ColorsUser(); }
  void TearDown() override { dxRemoveOffice11ColorsUser(); }
};

// ---------------------------------------------------------------------------
// Linear gradients
// ---------------------------------------------------------------------------

TEST(DxOffice11Gradient, LinearBandsAreAtMost256) {
  struct TCase {
    int Extent;
    bool Horizontal;
    int Bands;
  };
  for (const TCase& c : {TCase{300, true, 256}, TCase{10, true, 10}, TCase{10, false, 10},
                         TCase{256, true, 256}, TCase{1, true, 1}}) {
    SCOPED_TRACE(testing::Message() << c.Extent << (c.Horizontal ? " horizontal" : " vertical"));
    TDib dib(c.Horizontal ? c.Extent : 1, c.Horizontal ? 1 : c.Extent, kBack);
    dxFillLinearBands(dib.DC(), TRect(0, 0, dib.Width(), dib.Height()), clBlack, c.Horizontal, 0x0000FF);
    const std::vector<int> reds = Reds(dib, c.Horizontal);
    EXPECT_EQ(Runs(reds), c.Bands);
    EXPECT_EQ(reds.front(), 0);   // one band of one pixel has the first colour, not one less
    if (c.Extent > 1) {
      EXPECT_EQ(reds.back(), 255);
    }
  }
  TDib one(1, 1, kBack);
  dxFillLinearBands(one.DC(), TRect(0, 0, 1, 1), 0x102030, true, 0x405060);
  EXPECT_EQ(one.Pixel(0, 0), 0x102030);
}

TEST(DxOffice11Gradient, BandColoursAndEdgesFollowMulDiv) {
  TDib wide(300, 1, kBack);
  dxFillLinearBands(wide.DC(), TRect(0, 0, 300, 1), clBlack, true, 0x0000FF);
  // Band 0 ends at MulDiv(1, 300, 256) = 1, band 1 at MulDiv(2, 300, 256) = 2, band 2 at 4.
  EXPECT_EQ(Reds(wide, true)[0], 0);
  EXPECT_EQ(Reds(wide, true)[1], 1);
  EXPECT_EQ(Reds(wide, true)[2], 2);
  EXPECT_EQ(Reds(wide, true)[3], 2);
  TDib narrow(10, 1, kBack);
  dxFillLinearBands(narrow.DC(), TRect(0, 0, 10, 1), clBlack, true, 0x0000FF);
  // MulDiv(i, 255, 9): 28.3 -> 28, 56.7 -> 57, 141.7 -> 142.
  EXPECT_EQ(Reds(narrow, true), (std::vector<int>{0, 28, 57, 85, 113, 142, 170, 198, 227, 255}));
}

TEST(DxOffice11Gradient, ColourAtAPosition) {
  const TRect r(0, 0, 300, 20);
  struct TCase {
    int Pos, Red;
  };
  // i = MulDiv(pos + 1, 256, 300) - 1, kept within the bands.
  for (const TCase& c : {TCase{-5, 0}, TCase{0, 0}, TCase{1, 1}, TCase{150, 128}, TCase{299, 255},
                         TCase{400, 255}})
    EXPECT_EQ(Red(dxGetGradientColorAt(r, c.Pos, clBlack, true, 0x0000FF)), c.Red) << c.Pos;
  EXPECT_EQ(dxGetGradientColorAt(TRect(0, 100, 5, 110), 104, 0x102030, false, 0x405060), 0x253545);
  // One pixel: the first colour (the band formula would divide by zero).
  EXPECT_EQ(dxGetGradientColorAt(TRect(10, 0, 11, 1), 10, 0x102030, true, 0x405060), 0x102030);
  EXPECT_EQ(dxGetGradientColorAt(TRect(10, 0, 10, 1), 10, 0x102030, true, 0x405060), 0x102030);
}

TEST(DxOffice11Gradient, EqualColoursFillSolidly) {
  TDib dib(20, 6, kBack);
  dxFillGradientRect(dib.DC(), TRect(0, 0, 20, 6), clBtnFace, true, ColorToRGB(clBtnFace));
  EXPECT_EQ(dib.Map(TRect(0, 0, 20, 6), {{'F', clBtnFace}}), TArt(6, std::string(20, 'F')));
}

TEST(DxOffice11Gradient, LinearGradientRunsFromTheFirstColourToTheSecond) {
  for (bool horizontal : {true, false}) {
    TDib dib(horizontal ? 256 : 1, horizontal ? 1 : 256, kBack);
    dxFillGradientRect(dib.DC(), TRect(0, 0, dib.Width(), dib.Height()), clBlack, horizontal, 0x0000FF);
    const std::vector<int> reds = Reds(dib, horizontal);
    EXPECT_LE(reds.front(), 2);
    EXPECT_GE(reds.back(), 253);
    EXPECT_TRUE(std::is_sorted(reds.begin(), reds.end()));
  }
}

// ---------------------------------------------------------------------------
// Banded gradient
// ---------------------------------------------------------------------------

class DxOffice11BandedGradient : public testing::Test {
 protected:
  void TearDown() override { dxOffice11Palette.GradientMidpoint = saved_; }
  const int saved_ = dxOffice11Palette.GradientMidpoint;
};

TEST_F(DxOffice11BandedGradient, MiddleShowsTheMidpointShare) {
  dxOffice11Palette.GradientMidpoint = 41;
  TDib dib(100, 1, kBack);
  dxFillBandedGradient(dib.DC(), TRect(0, 0, 100, 1), clBlack, true, 0x0000C8);
  const std::vector<int> reds = Reds(dib, true);
  EXPECT_EQ(reds[0], 0);
  EXPECT_EQ(reds[50], 41);   // 20.5 % of 200
  EXPECT_EQ(reds[99], 200);
  EXPECT_TRUE(std::is_sorted(reds.begin(), reds.end()));
}

TEST_F(DxOffice11BandedGradient, MidpointHundredIsStraight) {
  dxOffice11Palette.GradientMidpoint = 100;
  TDib dib(1, 100, kBack);
  dxFillBandedGradient(dib.DC(), TRect(0, 0, 1, 100), clBlack, false, 0x0000C6);
  const std::vector<int> reds = Reds(dib, false);
  for (int i = 0; i < 100; ++i) EXPECT_NEAR(reds[i], 2 * i, 1) << i;
}

TEST_F(DxOffice11BandedGradient, TinyExtentsDrawTheMiddleColour) {
  dxOffice11Palette.GradientMidpoint = 100;
  TDib dib(3, 1, kBack);
  dxFillBandedGradient(dib.DC(), TRect(1, 0, 2, 1), clBlack, true, 0x0000C8);
  EXPECT_EQ(dib.Pixel(0, 0), kBack);
  EXPECT_EQ(dib.Pixel(1, 0), 0x000064);
  EXPECT_EQ(dib.Pixel(2, 0), kBack);
  dxFillBandedGradient(dib.DC(), TRect(2, 0, 2, 1), clBlack, true, 0x0000C8);   // empty: nothing
  EXPECT_EQ(dib.Pixel(2, 0), kBack);
}

// ---------------------------------------------------------------------------
// Grips
// ---------------------------------------------------------------------------

struct TBrushes {
  TBrushes() : Light(CreateSolidBrush(kLight)), Dark(CreateSolidBrush(kDark)) {}
  ~TBrushes() {
    DeleteObject(Light);
    DeleteObject(Dark);
  }
  HBRUSH Light, Dark;
};

const std::vector<std::pair<char, TColor>> kGripLegend = {{'.', kBack}, {'L', kLight}, {'D', kDark}};

TEST(DxOffice11Grips, DotsEveryFourPixels) {
  TBrushes brushes;
  TDib dib(16, 4, kBack);
  dxDrawGripDots(dib.DC(), TRect(0, 0, 12, 4), false, brushes.Light, brushes.Dark);
  EXPECT_EQ(dib.Map(TRect(0, 0, 16, 4), kGripLegend), (TArt{"DD..DD..DD......",
                                                          "DDL.DDL.DDL.....",
                                                          ".LL..LL..LL.....",
                                                          "................"}));
  TDib column(4, 9, kBack);
  dxDrawGripDots(column.DC(), TRect(0, 0, 4, 9), true, brushes.Light, brushes.Dark);
  EXPECT_EQ(column.Map(TRect(0, 0, 4, 9), kGripLegend),
            (TArt{"....", "DD..", "DDL.", ".LL.", "....", "DD..", "DDL.", ".LL.", "...."}));
}

TEST(DxOffice11Grips, FirstCellOffsetComesFromTheLengthsRemainder) {
  TBrushes brushes;
  struct TCase {
    int Length;
    std::string DarkRow;
  };
  // Remainder 0 or 1: moved by it; 2 or 3: by half of it.
  for (const TCase& c : {TCase{16, "DD..DD..DD..DD..."}, TCase{13, ".DD..DD..DD......"},
                         TCase{14, ".DD..DD..DD......"}, TCase{15, ".DD..DD..DD......"},
                         TCase{3, "................."}}) {
    TDib dib(17, 4, kBack);
    dxDrawGripDots(dib.DC(), TRect(0, 0, c.Length, 4), false, brushes.Light, brushes.Dark);
    EXPECT_EQ(dib.Map(TRect(0, 0, 17, 1), kGripLegend)[0], c.DarkRow) << c.Length;
  }
}

TEST(DxOffice11Grips, SizeGripTriangleHasSixDots) {
  TDib dib(16, 16, kBack);
  dxDrawGripTriangle(dib.DC(), TRect(0, 0, 16, 16), kLight, kDark);
  EXPECT_EQ(dib.Map(TRect(4, 4, 16, 16), kGripLegend), (TArt{"............",
                                                           "........DD..",
                                                           "........DDL.",
                                                           ".........LL.",
                                                           "............",
                                                           "....DD..DD..",
                                                           "....DDL.DDL.",
                                                           ".....LL..LL.",
                                                           "............",
                                                           "DD..DD..DD..",
                                                           "DDL.DDL.DDL.",
                                                           ".LL..LL..LL."}));
}

TEST(DxOffice11Grips, DefaultColoursAreThePalettesGripColours) {
  fndtest::TOffice11UsersAside aside;
  dxReloadOffice11Colors();
  // With and without palette brushes (no users: the palette colours).
  for (bool withUser : {true, false}) {
    if (withUser) dxAddOffice11ColorsUser();
    TDib dib(16, 16, kBack);
    dxDrawGripTriangle(dib.DC(), TRect(0, 0, 16, 16));
    int dark = 0, light = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        dark += dib.Pixel(x, y) == dxOffice11Palette.GripDark;
        light += dib.Pixel(x, y) == dxOffice11Palette.GripLight;
      }
    EXPECT_EQ(dark, 6 * 4) << withUser;
    EXPECT_EQ(light, 6 * 3) << withUser;
    if (withUser) dxRemoveOffice11ColorsUser();
  }
}

// ---------------------------------------------------------------------------
// Arrows and frames
// ---------------------------------------------------------------------------

TEST_F(DxOffice11Drawing, ArrowSizeComesFromTheRectangle) {
  struct TCase {
    TRect R;
    bool Horizontal;
    TRect Expected;   // the pixels the arrow covers
  };
  const TCase cases[] = {
      {TRect(0, 0, 16, 16), true, TRect(6, 5, 9, 10)},    // n = 8: size 3, 3 x 5
      {TRect(0, 0, 17, 16), true, TRect(6, 3, 11, 12)},   // n = 9: size 5, 5 x 9
      {TRect(0, 0, 16, 16), false, TRect(4, 6, 11, 10)},  // n = 10: size 4, 7 x 4
      {TRect(0, 0, 8, 8), false, TRect(1, 2, 6, 5)},      // n = 2: at least 3
  };
  for (const TCase& c : cases) {
    TDib dib(20, 20, kBack);
    dxDrawArrowInRect(dib.DC(), c.R, c.Horizontal, true, false);
    TRect box(100, 100, -1, -1);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x)
        if (dib.Pixel(x, y) != kBack) {
          EXPECT_EQ(dib.Pixel(x, y), dxOffice11Palette.Text);
          box = TRect(std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                      std::max(box.Bottom, y + 1));
        }
    EXPECT_EQ(box, c.Expected) << c.R.Right << (c.Horizontal ? " right" : " down");
  }
}

TEST_F(DxOffice11Drawing, ArrowIsAFilledTriangle) {
  TDib dib(16, 16, kBack);
  dxDrawArrowGlyph(dib.DC(), TRect(0, 0, 16, 16), true, 3, false, true);
  const std::vector<std::pair<char, TColor>> legend = {{'.', kBack}, {'#', dxOffice11Palette.Text}};
  // Centred in both directions (the box of each map is one pixel wider all round).
  EXPECT_EQ(dib.Map(TRect(5, 4, 10, 11), legend),
            (TArt{".....", ".#...", ".##..", ".###.", ".##..", ".#...", "....."}));
  TDib down(16, 16, kBack);
  dxDrawArrowGlyph(down.DC(), TRect(0, 0, 16, 16), false, 3, false, true);
  EXPECT_EQ(down.Map(TRect(4, 5, 11, 9), legend), (TArt{".......", ".#####.", "..###..", "...#..."}));
}

TEST_F(DxOffice11Drawing, ArrowColourFollowsTheState) {
  auto colourOf = [](bool enabled, bool highlighted) {
    TDib dib(16, 16, kBack);
    dxDrawArrowInRect(dib.DC(), TRect(0, 0, 16, 16), true, enabled, highlighted);
    return dib.Pixel(6, 7);
  };
  EXPECT_EQ(colourOf(false, false), dxOffice11Palette.DisabledText);
  EXPECT_EQ(colourOf(true, false), dxOffice11Palette.Text);
  EXPECT_EQ(colourOf(true, true), dxIsButtonFaceWhite() ? clWhite : dxOffice11Palette.Text);
  fndtest::TSysColorsOverride white({{COLOR_BTNFACE, RGB(255, 255, 255)}});
  ASSERT_TRUE(white.Ok());
  EXPECT_EQ(colourOf(true, true), clWhite);
  EXPECT_EQ(colourOf(false, true), dxOffice11Palette.DisabledText);
}

TEST_F(DxOffice11Drawing, ContrastAwareFrameOnABlackButtonFace) {
  const std::vector<std::pair<char, TColor>> legend = {{'.', kBack}, {'#', clHighlightText},
                                                       {'S', dxOffice11Palette.SelectedFrame}};
  fndtest::TSysColorsOverride text({{COLOR_HIGHLIGHTTEXT, RGB(1, 200, 3)}});
  ASSERT_TRUE(text.Ok());
  TDib dib(6, 5, kBack);
  dxFrameRectContrastAware(dib.DC(), TRect(1, 1, 5, 4));
  EXPECT_EQ(dib.Map(TRect(0, 0, 6, 5), legend), (TArt{"......", ".SSSS.", ".S..S.", ".SSSS.", "......"}));

  fndtest::TSysColorsOverride black({{COLOR_BTNFACE, RGB(0, 0, 0)}});
  ASSERT_TRUE(black.Ok());
  dib.Fill(kBack);
  dxFrameRectContrastAware(dib.DC(), TRect(1, 1, 5, 4));
  EXPECT_EQ(dib.Map(TRect(0, 0, 6, 5), legend), (TArt{"......", ".####.", ".#..#.", ".####.", "......"}));
}

TEST_F(DxOffice11Drawing, TemporaryObjectsAreDeleted) {
  TDib dib(40, 40, kBack);
  const long before = GdiAccounting::Live();
  const TRect r(0, 0, 40, 40);
  dxFillSolidRect(dib.DC(), r, clBtnFace);
  dxFrameSolidRect(dib.DC(), r, clBtnShadow);
  dxFillGradientRect(dib.DC(), r, clBlack, true, clWhite);
  dxFillLinearBands(dib.DC(), r, clBlack, false, clWhite);
  dxFillBandedGradient(dib.DC(), r, clBlack, true, clWhite);
  dxFrameRectContrastAware(dib.DC(), r);
  dxDrawGripDots(dib.DC(), r, true);
  dxDrawGripTriangle(dib.DC(), r, clRed, clDefault);
  dxDrawArrowInRect(dib.DC(), r, false, true, true);
  EXPECT_EQ(GdiAccounting::Live(), before);
  EXPECT_EQ(GetCurrentObject(dib.DC(), OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dib.DC(), OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
}

}  // namespace
