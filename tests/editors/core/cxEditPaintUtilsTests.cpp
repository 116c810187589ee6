#include "platform/WinApi.h"
#include "editors/core/cxEditPaintUtils.h"

#include "platform/gui/GdiAccounting.h"
#include "tests/foundation/cxGraphicsCanvasTestSupport.h"
#include "tests/support/LeakCheck.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <string>

using cnvtest::TCanvasBitmap;

namespace {

// Distinct RGB colours, ascending with i.
TColor Rgb(int i) { return static_cast<TColor>(0x100000 + i * 0x103); }

}  // namespace

// A painter that asked for a brush may paint with it for the rest of its
// pass, however many other colours are asked for meanwhile.
TEST(cxSolidBrushCache, AnEvictedBrushStaysUsableUntilTheMessageLoopRuns) {
  auto cache = MakeOwned<TcxSolidBrushCache>(2);
  HBRUSH first = cache->GetBrush(Rgb(1));
  cache->GetBrush(Rgb(2));
  const long live = GdiAccounting::Live(gokBrush);
  cache->GetBrush(Rgb(3));  // evicts the brush of colour 1
  cache->GetBrush(Rgb(4));  // and the next one
  EXPECT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(cache->RetiredCount(), 2);
  EXPECT_EQ(GdiAccounting::Live(gokBrush), live + 2);
  PumpMessagesUntil([&] { return cache->RetiredCount() == 0; });
  EXPECT_EQ(cache->RetiredCount(), 0);
  EXPECT_EQ(GdiAccounting::Live(gokBrush), live);
  // Clear deletes what is retired at once.
  cache->GetBrush(Rgb(5));
  cache->Clear();
  EXPECT_EQ(cache->RetiredCount(), 0);
  EXPECT_EQ(GdiAccounting::Live(gokBrush), live - 2);
}

TEST(cxEditPaintUtils, ArrowSizes) {
  struct {
    TSize Content;
    TcxArrowDirection Direction;
    TSize Expected;
  } cases[] = {
      {TSize(16, 16), adDown, TSize(7, 4)}, {TSize(16, 16), adLeft, TSize(4, 7)},
      {TSize(9, 9), adUp, TSize(5, 3)},     {TSize(20, 8), adRight, TSize(2, 3)},
  };
  for (const auto& c : cases) EXPECT_EQ(cxCalcArrowSize(c.Content, c.Direction), c.Expected);
}

TEST(cxEditPaintUtils, ArrowsAreDrawnPixelByPixel) {
  KeepsResourcesOnPurpose("the shared brush cache keeps the colours painted with");
  struct TCase {
    TcxArrowDirection Direction;
    bool Double, Offset;
    const char* Rows[8];
  } cases[] = {
      {adDown, false, false, {"........", ".#####..", "..###...", "...#....", "........"}},
      {adUp, false, true, {"........", "........", "....#...", "...###..", "..#####."}},
      {adRight, false, false, {"..#.....", "..##....", "..###...", "..##....", "..#.....", "........"}},
      {adLeft, true, false, {"........", "...#..#.", "..##.##.", ".######.", "..##.##.", "...#..#."}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Direction));
    const int rows = c.Direction == adUp || c.Direction == adDown ? 5 : 6;
    TCanvasBitmap bitmap(8, 8, clWhite);
    cxPaintCenteredArrow(bitmap.Canvas(), 3, TRect(0, 0, 8, rows + (c.Direction == adLeft ? 1 : 0)), clBlack,
                         c.Offset, c.Double, c.Direction);
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < 8; ++x)
        EXPECT_EQ(bitmap.Pixel(x, y) == 0, c.Rows[y][x] == '#') << x << "," << y;
  }
}

TEST(cxEditPaintUtils, FrameSidesStripsAndPolylines) {
  KeepsResourcesOnPurpose("the shared brush cache keeps the colours painted with");
  TCanvasBitmap bitmap(12, 12, clWhite);
  TRect r(0, 0, 10, 10);
  cxDrawEditButtonFrameSides(bitmap.Canvas(), r, 15, clBlack);
  EXPECT_EQ(r, TRect(1, 1, 9, 9));
  EXPECT_EQ(bitmap.Pixel(0, 5), 0);
  EXPECT_EQ(bitmap.Pixel(9, 5), 0);
  EXPECT_EQ(bitmap.Pixel(5, 9), 0);
  EXPECT_EQ(bitmap.Pixel(5, 5), clWhite);

  TCanvasBitmap strips(12, 12, clWhite);
  HBRUSH black = cxGetCachedBrush(clBlack);
  cxFillRectExcept(strips.Canvas(), TRect(0, 0, 10, 10), TRect(0, 0, 10, 10), black);
  EXPECT_EQ(strips.Mismatches([](int, int) { return clWhite; }), 0);
  cxFillRectExcept(strips.Canvas(), TRect(0, 0, 10, 10), TRect(2, 2, 8, 8), black);
  EXPECT_EQ(strips.Mismatches([](int x, int y) {
    const bool outer = x < 10 && y < 10;
    const bool inner = x >= 2 && x < 8 && y >= 2 && y < 8;
    return outer && !inner ? clBlack : clWhite;
  }), 0);

  for (bool useBrush : {false, true}) {
    TCanvasBitmap line(12, 12, clWhite);
    const TPoint points[] = {TPoint(1, 1), TPoint(5, 1), TPoint(5, 4)};
    cxDrawAxisPolyline(line.Canvas(), points, 2, useBrush, clBlack);
    EXPECT_EQ(line.Mismatches([](int x, int y) {
      return (y == 1 && x >= 1 && x <= 5) || (x == 5 && y >= 1 && y <= 4) ? clBlack : clWhite;
    }), 0) << useBrush;
  }
}

TEST(cxEditPaintUtils, TextFlagsMapBothWays) {
  const int pairs[][2] = {{1, DT_VCENTER}, {2, DT_RIGHT}, {16, DT_SINGLELINE},
                          {32, DT_WORDBREAK}, {256, DT_CALCRECT}, {512, DT_EXPANDTABS}};
  int all = 0, allDrawText = 0;
  for (const auto& p : pairs) {
    EXPECT_EQ(cxConvertTextOutFlags(p[0]), p[1]);
    EXPECT_EQ(cxMapDrawTextFlags(p[1]), p[0]);
    all |= p[0];
    allDrawText |= p[1];
  }
  EXPECT_EQ(cxConvertTextOutFlags(all), allDrawText);
  EXPECT_EQ(cxMapDrawTextFlags(DT_CENTER | DT_BOTTOM), 0);
}
