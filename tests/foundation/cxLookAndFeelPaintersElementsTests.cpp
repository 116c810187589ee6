#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPainters.h"

#include "platform/core/SysUtils.h"
#include "platform/gui/StdCtrls.h"
#include "tests/foundation/cxGraphicsCanvasTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using cnvtest::kBack;
using cnvtest::TCanvasBitmap;

TcxCustomLookAndFeelPainterClass Base() { return TcxCustomLookAndFeelPainter::Instance(); }

int CountOf(const TCanvasBitmap& ABitmap, TColor AColor) {
  const TColor rgb = ColorToRGB(AColor);
  int count = 0;
  for (int y = 0; y < ABitmap.Height(); ++y)
    for (int x = 0; x < ABitmap.Width(); ++x)
      if (ABitmap.Pixel(x, y) == rgb) ++count;
  return count;
}

bool Is(const TCanvasBitmap& ABitmap, int X, int Y, TColor AColor) {
  return ABitmap.Pixel(X, Y) == ColorToRGB(AColor);
}

// The bounding box of the pixels that differ from ABack.
TRect PaintedWithin(const TCanvasBitmap& ABitmap, TColor ABack = kBack) {
  TRect r(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
  for (int y = 0; y < ABitmap.Height(); ++y)
    for (int x = 0; x < ABitmap.Width(); ++x)
      if (ABitmap.Pixel(x, y) != ColorToRGB(ABack)) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
      }
  return r.Left == INT_MAX ? TRect() : r;
}

bool Contains(const TRect& AOuter, const TRect& AInner) {
  return AInner.Left >= AOuter.Left && AInner.Top >= AOuter.Top &&
         AInner.Right <= AOuter.Right && AInner.Bottom <= AOuter.Bottom;
}

// One text row per bitmap row: 'X' where the pixel has AColor, '.' elsewhere.
std::vector<std::string> Picture(const TCanvasBitmap& ABitmap, TColor AColor) {
  std::vector<std::string> rows;
  for (int y = 0; y < ABitmap.Height(); ++y) {
    std::string row;
    for (int x = 0; x < ABitmap.Width(); ++x) row += Is(ABitmap, x, y, AColor) ? 'X' : '.';
    rows.push_back(row);
  }
  return rows;
}

// Whatever the drawing did to the clip, a full fill must reach every pixel.
void ExpectClipRestored(TCanvasBitmap& ABitmap) {
  ABitmap.Canvas()->FillRect(TRect(0, 0, ABitmap.Width(), ABitmap.Height()), clBlue);
  EXPECT_EQ(CountOf(ABitmap, clBlue), ABitmap.Width() * ABitmap.Height());
}

// A look with a sorting mark of a chosen size, a chosen splitter size, chosen
// progress-text colours, and that records the small operations it is asked for.
class TElementsPainter : public TcxCustomLookAndFeelPainter {
 public:
  TPoint MarkSize{7, 4};
  TSize SplitterSize{0, 0};   // (0, 0): the base's
  TColor FilledTextColor = clDefault;
  TColor TextColor = clWindowText;
  mutable std::vector<std::string> Calls;
  mutable TRect LastRect;
  mutable TcxScrollBarPart LastPart = sbpNone;
  mutable TcxButtonState LastState = cxbsDefault;
  mutable bool LastHorizontal = false;
  mutable TPointArray Light, Shadow, Dark;

  TPoint SortingMarkSize() const override { return MarkSize; }
  TSize GetSplitterSize(bool AHorizontal) const override {
    if (SplitterSize.cx == 0) return TcxCustomLookAndFeelPainter::GetSplitterSize(AHorizontal);
    return SplitterSize;
  }
  TColor ProgressBarTextColorEx(bool AIsFilledArea) const override {
    return AIsFilledArea ? FilledTextColor : TextColor;
  }
  void DrawScrollBarPart(TcxCanvas*, bool AHorizontal, const TRect& R, TcxScrollBarPart APart,
                         TcxButtonState AState) const override {
    Calls.push_back("DrawScrollBarPart");
    LastHorizontal = AHorizontal;
    LastRect = R;
    LastPart = APart;
    LastState = AState;
  }
  void DrawTrackBarThumbBorderBoth(TcxCanvas*, const TRect& ARect) const override {
    Calls.push_back("DrawTrackBarThumbBorderBoth");
    LastRect = ARect;
  }
  void DrawTrackBarThumbBorderUpDown(TcxCanvas*, const TPointArray& ALight,
                                     const TPointArray& AShadow,
                                     const TPointArray& ADark) const override {
    Calls.push_back("DrawTrackBarThumbBorderUpDown");
    Light = ALight;
    Shadow = AShadow;
    Dark = ADark;
  }
};

// ---------------------------------------------------------------------------
// Headers and indicators
// ---------------------------------------------------------------------------

TEST(cxLookAndFeelPainterElements, SortingTriangleFillsTheMarkSizeAndSplitsItsColours) {
  constexpr TColor kColor1 = clRed, kColor2 = clBlue;
  struct TCase {
    TPoint Size;
    bool Ascending;
    TRect Bounds;   // of the whole mark in a 16 x 16 rectangle
    int ApexY;
  };
  const TCase cases[] = {
      {{7, 4}, true, TRect(5, 6, 12, 10), 6},  {{7, 4}, false, TRect(5, 6, 12, 10), 9},
      {{8, 4}, true, TRect(4, 6, 12, 10), 6},  {{8, 4}, false, TRect(4, 6, 12, 10), 9},
      {{9, 5}, true, TRect(4, 5, 13, 10), 5},  {{9, 5}, false, TRect(4, 5, 13, 10), 9},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Size.X << "x" << c.Size.Y << " asc " << c.Ascending);
    TElementsPainter look;
    look.MarkSize = c.Size;
    TCanvasBitmap bmp(16, 16);
    look.DrawSortingTriangle(bmp.Canvas(), TRect(0, 0, 16, 16), c.Ascending, kColor1, kColor2);
    EXPECT_EQ(PaintedWithin(bmp), c.Bounds);
    const int baseY = c.Ascending ? c.Bounds.Bottom - 1 : c.Bounds.Top;
    EXPECT_NE(bmp.BoundsOf(kColor2), TRect());
    if (c.Ascending) {
      // Right edge and base in the first colour, the left edge in the second.
      EXPECT_TRUE(Is(bmp, c.Bounds.Right - 1, baseY, kColor1));
      EXPECT_TRUE(Is(bmp, (c.Bounds.Left + c.Bounds.Right) / 2, baseY, kColor1));
      EXPECT_LE(bmp.BoundsOf(kColor2).Right, (c.Bounds.Left + c.Bounds.Right) / 2 + 1);
    } else {
      // Only the right edge is in the first colour; the base is not.
      const TRect first = bmp.BoundsOf(kColor1);
      EXPECT_FALSE(first.IsEmpty());
      EXPECT_GT(first.Top, baseY);
      EXPECT_GE(first.Left, (c.Bounds.Left + c.Bounds.Right) / 2 - 1);
      EXPECT_TRUE(Is(bmp, (c.Bounds.Left + c.Bounds.Right) / 2, baseY, kColor2));
    }
    // The apex row holds one or two pixels.
    int apex = 0;
    for (int x = 0; x < 16; ++x) apex += Is(bmp, x, c.ApexY, kBack) ? 0 : 1;
    EXPECT_GE(apex, 1);
    EXPECT_LE(apex, 2);
  }
}

TEST(cxLookAndFeelPainterElements, MonthHeaderArrowsPointOutwardAtTheSideWidth) {
  // Bounds (0, 0, 40, 20), side width 10: working rows 1..18, D = 9, the
  // vertical sides at x = 9 and x = 31 from y = 4 to 14, apexes 5 pixels out
  // on row 9.
  struct TCase {
    TcxHeaderArrows Arrows;
    TRect Left, Right;
  };
  const TCase cases[] = {
      {haNone, TRect(), TRect()},
      {haLeft, TRect(4, 4, 10, 15), TRect()},
      {haRight, TRect(), TRect(31, 4, 37, 15)},
      {haBoth, TRect(4, 4, 10, 15), TRect(31, 4, 37, 15)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Arrows);
    TCanvasBitmap left(20, 20), right(20, 20);
    TCanvasBitmap bmp(40, 20);
    Base()->DrawMonthHeaderArrows(bmp.Canvas(), TRect(0, 0, 40, 20), clRed, 10, c.Arrows);
    TCanvasBitmap* halves[] = {&left, &right};
    for (int half = 0; half < 2; ++half)
      for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) halves[half]->SetPixel(x, y, bmp.Pixel(x + 20 * half, y));
    EXPECT_EQ(left.BoundsOf(clRed), c.Left);
    const TRect r = right.BoundsOf(clRed);
    EXPECT_EQ(r.IsEmpty() ? TRect() : TRect(r.Left + 20, r.Top, r.Right + 20, r.Bottom), c.Right);
    EXPECT_EQ(CountOf(bmp, clRed) + CountOf(bmp, kBack), 800);
    if (c.Arrows == haBoth) {
      EXPECT_TRUE(Is(bmp, 4, 9, clRed));    // apexes on the middle row
      EXPECT_TRUE(Is(bmp, 36, 9, clRed));
      EXPECT_TRUE(Is(bmp, 9, 4, clRed));    // the vertical sides' ends
      EXPECT_TRUE(Is(bmp, 31, 14, clRed));
      EXPECT_FALSE(Is(bmp, 4, 4, clRed));
    }
  }
}

TEST(cxLookAndFeelPainterElements, IndicatorCustomizationMarkIsFiveLinesWithThreeDots) {
  TCanvasBitmap bmp(20, 20);
  Base()->DrawIndicatorCustomizationMark(bmp.Canvas(), TRect(0, 0, 20, 20), clRed);
  const std::vector<std::string> expected = {
      "....................", "....................", "....................",
      "....................", "....................", "...X.XXXXXXXXXXXX...",
      "....................", ".....XXXXXXXXXXXX...", "....................",
      "...X.XXXXXXXXXXXX...", "....................", ".....XXXXXXXXXXXX...",
      "....................", "...X.XXXXXXXXXXXX...", "....................",
      "....................", "....................", "....................",
      "....................", "...................."};
  EXPECT_EQ(Picture(bmp, clRed), expected);
  EXPECT_EQ(CountOf(bmp, clRed) + CountOf(bmp, kBack), 400);
}

TEST(cxLookAndFeelPainterElements, IndicatorItemFillsItsBoundsInTheColour) {
  for (bool ex : {false, true}) {
    TCanvasBitmap bmp(20, 20);
    const TRect r(2, 3, 14, 17);
    if (ex)
      Base()->DrawIndicatorItemEx(bmp.Canvas(), r, ikNone, clRed, TcxDrawBackgroundEvent());
    else
      Base()->DrawIndicatorItem(bmp.Canvas(), r, ikNone, clRed, TcxDrawBackgroundEvent());
    EXPECT_EQ(bmp.BoundsOf(clRed), r) << ex;
    EXPECT_EQ(CountOf(bmp, clRed), r.Width() * r.Height()) << ex;
  }
}

// ---------------------------------------------------------------------------
// Scroll bars and size grip
// ---------------------------------------------------------------------------

TEST(cxLookAndFeelPainterElements, ScrollBarBackgroundIsTheNormalPageUpPart) {
  for (bool horizontal : {false, true}) {
    TElementsPainter look;
    TCanvasBitmap bmp(10, 10);
    look.DrawScrollBarBackground(bmp.Canvas(), TRect(1, 2, 8, 9), horizontal);
    ASSERT_EQ(look.Calls, std::vector<std::string>{"DrawScrollBarPart"});
    EXPECT_EQ(look.LastRect, TRect(1, 2, 8, 9));
    EXPECT_EQ(look.LastPart, sbpPageUp);
    EXPECT_EQ(look.LastState, cxbsNormal);
    EXPECT_EQ(look.LastHorizontal, horizontal);
  }
  // The base draws no part itself.
  TCanvasBitmap bmp(10, 10);
  for (TcxScrollBarPart part : {sbpLineUp, sbpThumbnail, sbpPageDown})
    Base()->DrawScrollBarPart(bmp.Canvas(), true, TRect(0, 0, 10, 10), part, cxbsNormal);
  EXPECT_EQ(CountOf(bmp, kBack), 100);
  EXPECT_EQ(Base()->ScrollBarMinimalThumbSize(true), 8);
}

TEST(cxLookAndFeelPainterElements, SizeGripFillsTheBackgroundAndDrawsTheGlyphInside) {
  const TSize size = Base()->SizeGripSize();
  EXPECT_EQ(size.cx, GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(size.cy, GetSystemMetrics(SM_CYHSCROLL));
  TCanvasBitmap bmp(30, 30);
  const TRect r(5, 5, 25, 25);
  Base()->DrawSizeGrip(bmp.Canvas(), r, clRed);
  // The system glyph covers the fill here with its own face colour, so only
  // its geometry is checked: all inside the rectangle, grip lines on a face.
  EXPECT_EQ(PaintedWithin(bmp), r);
  const TColor face = bmp.Pixel(r.Left, r.Top);
  int lines = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) lines += bmp.Pixel(x, y) != face ? 1 : 0;
  EXPECT_GT(lines, 0);
  EXPECT_LT(lines, r.Width() * r.Height() / 2);
}

// ---------------------------------------------------------------------------
// Scheduler
// ---------------------------------------------------------------------------

TEST(cxLookAndFeelPainterElements, SchedulerNavigationButtonRectsTable) {
  struct TCase {
    const char* Name;
    bool Next, Collapsed;
    int TextWidth;
    TRect Bounds;
    TRect ExpectedBounds, ExpectedText, ExpectedArrow;
  };
  const TCase cases[] = {
      // Recentred to 6 + 3 * 7 + 6 = 33 pixels; no text.
      {"collapsed", false, true, 50, TRect(0, 0, 20, 100), TRect(0, 33, 20, 66), TRect(),
       TRect(6, 46, 13, 53)},
      // Arrow in the inner top 21 pixels; text from 6 + 21 + 5 to 194 - 14.
      {"fits", true, false, 60, TRect(0, 0, 20, 200), TRect(0, 0, 20, 200),
       TRect(2, 32, 20, 180), TRect(7, 13, 14, 20)},
      {"fits exactly", true, false, 148, TRect(0, 0, 20, 200), TRect(0, 0, 20, 200),
       TRect(2, 32, 20, 180), TRect(7, 13, 14, 20)},
      // 52 pixels too long: the button grows by 52 at both ends.
      {"too long", true, false, 200, TRect(0, 0, 20, 200), TRect(0, -52, 20, 252),
       TRect(2, -20, 20, 232), TRect(7, -39, 14, -32)},
      {"previous", false, false, 10, TRect(0, 0, 20, 200), TRect(0, 0, 20, 200),
       TRect(0, 32, 18, 180), TRect(5, 13, 12, 20)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TRect bounds = c.Bounds, text(1, 1, 2, 2), arrow;
    // The wider of the two texts counts, whichever button this is.
    Base()->CalculateSchedulerNavigationButtonRects(c.Next, c.Collapsed, TSize{c.TextWidth, 10},
                                                    TSize{c.TextWidth / 2, 10}, bounds, text,
                                                    arrow);
    EXPECT_EQ(bounds, c.ExpectedBounds);
    EXPECT_EQ(text, c.ExpectedText);
    EXPECT_EQ(arrow, c.ExpectedArrow);
  }
}

TEST(cxLookAndFeelPainterElements, SchedulerNavigationArrowIsAChevronClosedByABar) {
  const std::vector<std::string> next = {"XX....X", ".XX...X", "..XX..X", "...XX.X",
                                         "..XX..X", ".XX...X", "XX....X"};
  std::vector<std::string> previous;
  for (std::string row : next) previous.emplace_back(row.rbegin(), row.rend());
  for (bool isNext : {true, false}) {
    TCanvasBitmap bmp(7, 7);
    Base()->DrawSchedulerNavigationButtonArrow(bmp.Canvas(), TRect(0, 0, 7, 7), isNext, clRed);
    EXPECT_EQ(Picture(bmp, clRed), isNext ? next : previous);
  }
}

// ---------------------------------------------------------------------------
// Clock
// ---------------------------------------------------------------------------

TEST(cxLookAndFeelPainterElements, ClockAtThreeHasTheHourHandRightAndTheMinuteHandUp) {
  constexpr TColor kHand = 0x808000;
  TCanvasBitmap bmp(100, 100);
  Base()->DrawClock(bmp.Canvas(), TRect(0, 0, 100, 100), EncodeTime(3, 0, 0, 0), clWhite);
  // Radii 48 around (50, 50).
  EXPECT_TRUE(Is(bmp, 20, 20, clWhite));
  EXPECT_TRUE(Is(bmp, 80, 50, kHand));     // hour hand, tip at 0.75 of the radius
  EXPECT_TRUE(Is(bmp, 70, 49, kHand));
  EXPECT_TRUE(Is(bmp, 30, 50, clWhite));   // its tail ends at 0.15
  EXPECT_TRUE(Is(bmp, 48, 40, kHand));     // minute hand up to 0.85
  EXPECT_TRUE(Is(bmp, 51, 25, kHand) || Is(bmp, 49, 25, kHand));
  EXPECT_TRUE(Is(bmp, 50, 75, clWhite));   // its tail ends at 0.2
  EXPECT_TRUE(Is(bmp, 50, 30, clRed));     // the second hand at 0 seconds, up too
  EXPECT_TRUE(Is(bmp, 50, 5, clWhite));
  // Hour dots: teal centre, aqua upper-left, shadow lower-right.
  for (TPoint p : {TPoint{98, 50}, TPoint{50, 98}, TPoint{2, 50}, TPoint{50, 2}}) {
    SCOPED_TRACE(testing::Message() << p.X << "," << p.Y);
    EXPECT_TRUE(Is(bmp, p.X, p.Y, kHand));
    EXPECT_TRUE(Is(bmp, p.X - 1, p.Y - 1, 0xFFFF00));
    EXPECT_TRUE(Is(bmp, p.X + 1, p.Y + 1, clBtnText));
  }
  EXPECT_EQ(CountOf(bmp, kBack), 0);
  ExpectClipRestored(bmp);
}

TEST(cxLookAndFeelPainterElements, ClockHandsFollowTheTime) {
  constexpr TColor kHand = 0x808000;
  TCanvasBitmap bmp(100, 100);
  // 9:30:45: hour hand halfway between 9 and 10 (left, a little up), minute
  // hand down, second hand left.
  Base()->DrawClock(bmp.Canvas(), TRect(0, 0, 100, 100), EncodeTime(9, 30, 45, 0), clWhite);
  EXPECT_TRUE(Is(bmp, 48, 75, kHand));
  EXPECT_TRUE(Is(bmp, 50, 20, clWhite));
  EXPECT_TRUE(Is(bmp, 30, 45, kHand));
  EXPECT_TRUE(Is(bmp, 75, 50, clWhite));
  EXPECT_TRUE(Is(bmp, 15, 50, clRed));
}

// ---------------------------------------------------------------------------
// Progress bars
// ---------------------------------------------------------------------------

TEST(cxLookAndFeelPainterElements, ProgressBarSolidTextColourTable) {
  struct TCase {
    bool Solid;
    TColor TextColor;
    TColor Expected;
  };
  const TCase cases[] = {
      {true, clRed, clRed},
      {true, clDefault, clYellow},   // the look's colour
  };
  for (const TCase& c : cases) {
    TElementsPainter look;
    look.TextColor = clYellow;
    TCanvasBitmap bmp(80, 30, clWhite);
    bmp.Canvas()->Font()->SetColor(clAqua);
    look.DrawProgressBarText(bmp.Canvas(), false, c.Solid, L"HHHH", TRect(10, 5, 70, 25),
                             TRect(0, 0, 80, 30), TRect(0, 0, 40, 30), c.TextColor);
    const TRect text = bmp.BoundsOf(c.Expected);
    EXPECT_FALSE(text.IsEmpty()) << c.TextColor;
    EXPECT_GE(text.Left, 10);
    EXPECT_GE(text.Top, 5);
    EXPECT_EQ(CountOf(bmp, clAqua), 0);
    EXPECT_TRUE(Contains(TRect(10, 5, 70, 25), PaintedWithin(bmp, clWhite)));
    // The canvas state comes back.
    EXPECT_EQ(bmp.Canvas()->Font()->Color(), clAqua);
  }
}

TEST(cxLookAndFeelPainterElements, ProgressBarTextInTwoColoursSplitsAtTheChunk) {
  TElementsPainter look;
  look.TextColor = clRed;
  look.FilledTextColor = clYellow;
  TCanvasBitmap bmp(80, 30, clWhite);
  // Text over the whole bar, the chunk covers the left 30 pixels. ATextColor
  // and ASolid False: the look's colours are used.
  look.DrawProgressBarText(bmp.Canvas(), false, false, L"HHHHHHHHHH", TRect(0, 5, 80, 25),
                           TRect(0, 0, 80, 30), TRect(0, 0, 30, 30), clBlue);
  const TRect filled = bmp.BoundsOf(clYellow), plain = bmp.BoundsOf(clRed);
  ASSERT_FALSE(filled.IsEmpty());
  ASSERT_FALSE(plain.IsEmpty());
  EXPECT_LE(filled.Right, 30);
  EXPECT_GE(plain.Left, 30);
  EXPECT_EQ(CountOf(bmp, clBlue), 0);
  EXPECT_TRUE(Contains(TRect(0, 5, 80, 25), PaintedWithin(bmp, clWhite)));
  ExpectClipRestored(bmp);
}

TEST(cxLookAndFeelPainterElements, ProgressBarTextInvertsWhatLiesBeneath) {
  // The base's filled-area colour is clDefault: the text inverts the pixels.
  TCanvasBitmap bmp(80, 30, clWhite);
  bmp.Canvas()->FillRect(TRect(0, 0, 30, 30), clBlue);
  Base()->DrawProgressBarText(bmp.Canvas(), false, false, L"HHHHHHHHHH", TRect(0, 5, 80, 25),
                              TRect(0, 0, 80, 30), TRect(0, 0, 30, 30), clDefault);
  const TRect overChunk = bmp.BoundsOf(clYellow);   // inverted blue
  const TRect overRest = bmp.BoundsOf(clBlack);     // inverted white
  ASSERT_FALSE(overChunk.IsEmpty());
  ASSERT_FALSE(overRest.IsEmpty());
  EXPECT_LE(overChunk.Right, 30);
  EXPECT_GE(overRest.Left, 30);
  EXPECT_GE(overChunk.Top, 5);
  EXPECT_LE(overRest.Bottom, 25);
  // Nothing changes outside the text rectangle.
  for (int y : {0, 4, 25, 29})
    for (int x = 0; x < 80; ++x) ASSERT_TRUE(Is(bmp, x, y, x < 30 ? clBlue : clWhite)) << x << "," << y;
}

TEST(cxLookAndFeelPainterElements, VerticalProgressBarTextRunsDownward) {
  TCanvasBitmap bmp(30, 100, clWhite);
  bmp.Canvas()->Font()->SetName(L"Arial");
  Base()->DrawProgressBarText(bmp.Canvas(), true, true, L"HHHHHH", TRect(5, 10, 25, 90),
                              TRect(0, 0, 30, 100), TRect(0, 0, 30, 50), clRed);
  const TRect text = bmp.BoundsOf(clRed);
  ASSERT_FALSE(text.IsEmpty());
  EXPECT_GT(text.Height(), text.Width());
  EXPECT_GE(text.Top, 10);
  EXPECT_LE(text.Right, 25);
}

// ---------------------------------------------------------------------------
// Track bars
// ---------------------------------------------------------------------------

TEST(cxLookAndFeelPainterElements, TrackBarThumbShapesTable) {
  struct TCase {
    const char* Name;
    TcxTrackBarTicksAlign Ticks;
    bool Horizontal;
    TRect Rect;
    TRect Bounds;
    TPoint Tip;
    TPoint CutCorners[2];
  };
  const TCase cases[] = {
      {"down, horizontal", tbtaDown, true, TRect(0, 0, 11, 21), TRect(1, 1, 11, 21), {5, 20},
       {{1, 20}, {10, 20}}},
      {"down, vertical", tbtaDown, false, TRect(0, 0, 21, 11), TRect(1, 1, 21, 11), {20, 5},
       {{20, 1}, {20, 10}}},
      {"up, horizontal", tbtaUp, true, TRect(0, 0, 11, 21), TRect(1, 0, 11, 20), {5, 0},
       {{1, 0}, {10, 0}}},
      {"up, vertical", tbtaUp, false, TRect(0, 0, 21, 11), TRect(0, 1, 20, 11), {0, 5},
       {{0, 1}, {0, 10}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TElementsPainter look;
    TCanvasBitmap bmp(22, 22);
    look.DrawTrackBarThumb(bmp.Canvas(), c.Rect, cxbsNormal, c.Horizontal, c.Ticks, clRed);
    EXPECT_EQ(bmp.BoundsOf(clRed), c.Bounds);
    EXPECT_EQ(CountOf(bmp, clRed) + CountOf(bmp, kBack), 22 * 22);
    EXPECT_TRUE(Is(bmp, c.Tip.X, c.Tip.Y, clRed));
    for (TPoint p : c.CutCorners) EXPECT_FALSE(Is(bmp, p.X, p.Y, clRed)) << p.X << "," << p.Y;
    EXPECT_EQ(look.Calls, std::vector<std::string>{"DrawTrackBarThumbBorderUpDown"});
    EXPECT_EQ(look.Light.size(), c.Ticks == tbtaDown ? 4u : 3u);
    EXPECT_EQ(look.Dark.size(), c.Ticks == tbtaDown ? 3u : 4u);
  }
  // The down-horizontal light line runs along the top and the left side to the tip.
  TElementsPainter look;
  TCanvasBitmap bmp(22, 22);
  look.DrawTrackBarThumb(bmp.Canvas(), TRect(0, 0, 11, 21), cxbsNormal, true, tbtaDown, clRed);
  EXPECT_EQ(look.Light, (TPointArray{{11, 0}, {0, 0}, {0, 16}, {5, 21}}));
}

TEST(cxLookAndFeelPainterElements, TrackBarThumbWithTicksOnBothSidesIsARectangle) {
  TElementsPainter look;
  TCanvasBitmap bmp(20, 20);
  look.DrawTrackBarThumb(bmp.Canvas(), TRect(3, 4, 13, 18), cxbsNormal, true, tbtaBoth, clRed);
  EXPECT_EQ(bmp.BoundsOf(clRed), TRect(3, 4, 13, 18));
  EXPECT_EQ(CountOf(bmp, clRed), 10 * 14);
  EXPECT_EQ(look.Calls, std::vector<std::string>{"DrawTrackBarThumbBorderBoth"});
  EXPECT_EQ(look.LastRect, TRect(3, 4, 13, 18));
}

// ---------------------------------------------------------------------------
// Splitters and print preview
// ---------------------------------------------------------------------------

TEST(cxLookAndFeelPainterElements, SplitterGripIsABrokenLineTable) {
  struct TCase {
    const char* Name;
    bool Horizontal;
    TSize Size;   // (0, 0): the base's 17 x 2 / 2 x 17, so two lines
    TRect Rect;
    int Across;   // the outer line's row (horizontal) or column (vertical)
    int From, To; // its extent, the last pixel exclusive
    std::vector<int> Gaps;
    bool Second;
  };
  const TCase cases[] = {
      {"horizontal", true, {0, 0}, TRect(0, 0, 40, 6), 2, 0, 40, {15, 18, 21, 24}, true},
      {"vertical", false, {0, 0}, TRect(0, 0, 6, 40), 2, 0, 39, {14, 17, 20, 23}, true},
      {"horizontal, one line", true, {17, 1}, TRect(0, 0, 40, 6), 2, 0, 39, {14, 17, 20, 23},
       false},
      {"vertical, odd width", false, {0, 0}, TRect(3, 2, 10, 33), 6, 2, 32, {12, 15, 18, 21},
       true},
  };
  const TColor outer = Base()->GetSplitterOuterColor(false);
  const TColor inner = Base()->GetSplitterInnerColor(false);
  ASSERT_NE(ColorToRGB(outer), ColorToRGB(inner));
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TElementsPainter look;
    look.SplitterSize = c.Size;
    TCanvasBitmap bmp(46, 46);
    look.DrawSplitter(bmp.Canvas(), c.Rect, false, false, c.Horizontal);
    auto at = [&](int along, int across) {
      return c.Horizontal ? TPoint{along, across} : TPoint{across, along};
    };
    auto gap = [&](int along, int shift) {
      for (int g : c.Gaps)
        if (g + shift == along) return true;
      return false;
    };
    int expectedOuter = 0, expectedInner = 0;
    for (int along = c.From; along < c.To; ++along) {
      const TPoint p = at(along, c.Across);
      EXPECT_EQ(Is(bmp, p.X, p.Y, outer), !gap(along, 0)) << "outer " << along;
      expectedOuter += gap(along, 0) ? 0 : 1;
      if (c.Second) {
        const TPoint q = at(along + 1, c.Across + 1);
        EXPECT_EQ(Is(bmp, q.X, q.Y, inner), !gap(along + 1, 1)) << "inner " << along + 1;
        expectedInner += gap(along + 1, 1) ? 0 : 1;
      }
    }
    EXPECT_EQ(CountOf(bmp, outer), expectedOuter);
    EXPECT_EQ(CountOf(bmp, inner), expectedInner);
  }
}

TEST(cxLookAndFeelPainterElements, PrintPreviewPageFrameAndShadowTable) {
  // Border rect (10, 10, 50, 60), content (14, 14, 44, 54): the page is
  // (10, 10, 48, 58), one pixel smaller on every side when not selected.
  struct TCase {
    bool Selected, DrawContent;
    TColor Frame;
    TPoint FrameCorner;
    TRect Shadow;   // the shadow's extent, also under the page
  };
  const TCase cases[] = {
      {true, true, clHighlight, {10, 10}, TRect(12, 12, 50, 60)},
      {false, true, clWindowText, {11, 11}, TRect(13, 13, 49, 59)},
      {true, false, clHighlight, {10, 10}, TRect(12, 12, 50, 60)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Selected << c.DrawContent);
    TCanvasBitmap bmp(64, 64);
    Base()->DrawPrintPreviewPageBackground(bmp.Canvas(), TRect(10, 10, 50, 60),
                                           TRect(14, 14, 44, 54), c.Selected, c.DrawContent);
    EXPECT_TRUE(Is(bmp, c.FrameCorner.X, c.FrameCorner.Y, c.Frame));
    EXPECT_TRUE(Is(bmp, c.FrameCorner.X - 1, c.FrameCorner.Y - 1, kBack));
    EXPECT_TRUE(Is(bmp, 20, 20, c.DrawContent ? clWindow : kBack));
    // The shadow: the right and bottom strips below and beside the page.
    EXPECT_TRUE(Is(bmp, c.Shadow.Right - 1, c.Shadow.Bottom - 1, clWindowText));
    EXPECT_TRUE(Is(bmp, c.Shadow.Right - 1, c.Shadow.Top, clWindowText));
    EXPECT_TRUE(Is(bmp, c.Shadow.Right - 1, c.Shadow.Top - 1, kBack));
    EXPECT_TRUE(Is(bmp, c.Shadow.Left - 1, c.Shadow.Bottom - 1, kBack));
    EXPECT_EQ(PaintedWithin(bmp),
              TRect(c.FrameCorner.X, c.FrameCorner.Y, c.Shadow.Right, c.Shadow.Bottom));
    ExpectClipRestored(bmp);
  }
}

// ---------------------------------------------------------------------------
// Plain fills and small compositions
// ---------------------------------------------------------------------------

TEST(cxLookAndFeelPainterElements, OperationsThatFillTheirRectangleTable) {
  struct TCase {
    const char* Name;
    std::function<void(TcxCanvas*, const TRect&)> Draw;
    TColor Expected;   // clNone: nothing is drawn
  };
  const auto base = Base();
  const TCase cases[] = {
      {"window content", [&](TcxCanvas* c, const TRect& r) { base->DrawWindowContent(c, r); },
       clBtnFace},
      {"panel content",
       [&](TcxCanvas* c, const TRect& r) { base->DrawPanelContent(c, r, true); }, clBtnFace},
      {"layout control",
       [&](TcxCanvas* c, const TRect& r) { base->DrawLayoutControlBackground(c, r); },
       clBtnFace},
      {"print preview",
       [&](TcxCanvas* c, const TRect& r) { base->DrawPrintPreviewBackground(c, r); },
       clBtnShadow},
      {"footer separator",
       [&](TcxCanvas* c, const TRect& r) { base->DrawFooterSeparator(c, r); }, clBtnShadow},
      {"track",
       [&](TcxCanvas* c, const TRect& r) {
         base->DrawTrackBarTrack(c, r, TRect(5, 5, 8, 8), true, true, true, clRed);
       },
       clRed},
      {"group-by box",
       [&](TcxCanvas* c, const TRect& r) { base->DrawGroupByBox(c, r, false, clRed, nullptr); },
       clRed},
      {"filter panel",
       [&](TcxCanvas* c, const TRect& r) { base->DrawFilterPanel(c, r, false, clRed, nullptr); },
       clRed},
      {"transparent group-by box without a bitmap",
       [&](TcxCanvas* c, const TRect& r) { base->DrawGroupByBox(c, r, true, clRed, nullptr); },
       clNone},
      {"transparent filter panel without a bitmap",
       [&](TcxCanvas* c, const TRect& r) { base->DrawFilterPanel(c, r, true, clRed, nullptr); },
       clNone},
  };
  const TRect r(2, 3, 15, 11);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TCanvasBitmap bmp(20, 20);
    c.Draw(bmp.Canvas(), r);
    if (c.Expected == clNone) {
      EXPECT_EQ(CountOf(bmp, kBack), 400);
    } else {
      EXPECT_EQ(bmp.BoundsOf(c.Expected), r);
      EXPECT_EQ(CountOf(bmp, c.Expected), r.Width() * r.Height());
    }
  }
}

TEST(cxLookAndFeelPainterElements, TransparentPanelBackgroundTilesItsBitmap) {
  TBitmap* tile = Make<TBitmap>();
  tile->SetPixelFormat(pf32bit);
  tile->SetSize(2, 2);
  tile->Canvas()->Brush()->SetColor(clRed);
  tile->Canvas()->FillRect(TRect(0, 0, 2, 2));
  tile->Canvas()->Brush()->SetColor(clBlue);
  tile->Canvas()->FillRect(TRect(0, 0, 1, 1));
  TCanvasBitmap bmp(10, 10);
  Base()->DrawGroupByBox(bmp.Canvas(), TRect(2, 2, 8, 8), true, clYellow, tile);
  EXPECT_EQ(CountOf(bmp, clYellow), 0);
  EXPECT_EQ(CountOf(bmp, clBlue), 9);
  EXPECT_EQ(CountOf(bmp, clRed), 27);
  EXPECT_EQ(PaintedWithin(bmp), TRect(2, 2, 8, 8));
  TObject::Free(tile);
}

TEST(cxLookAndFeelPainterElements, HeaderPressedInvertsItsBounds) {
  TCanvasBitmap bmp(10, 10, clWhite);
  Base()->DrawHeaderPressed(bmp.Canvas(), TRect(2, 2, 8, 8));
  EXPECT_EQ(bmp.BoundsOf(clBlack), TRect(2, 2, 8, 8));
  EXPECT_EQ(CountOf(bmp, clBlack), 36);
}

TEST(cxLookAndFeelPainterElements, HeaderControlSectionTextIsEmbossedWhenDisabled) {
  for (TcxButtonState state : {cxbsNormal, cxbsDisabled}) {
    SCOPED_TRACE(state);
    TCanvasBitmap bmp(40, 20);
    Base()->DrawHeaderControlSectionText(bmp.Canvas(), TRect(2, 2, 38, 18), state, taLeftJustify,
                                         vaTop, false, false, L"HHH", nullptr, clRed);
    const bool disabled = state == cxbsDisabled;
    EXPECT_EQ(CountOf(bmp, clRed) > 0, !disabled);
    EXPECT_EQ(CountOf(bmp, clBtnShadow) > 0, disabled);
    EXPECT_EQ(CountOf(bmp, clBtnHighlight) > 0, disabled);
    EXPECT_EQ(bmp.Canvas()->Brush()->Style(), bsSolid);
  }
}

TEST(cxLookAndFeelPainterElements, DateNavigatorDateHeaderShrinksItsRectangle) {
  TCanvasBitmap bmp(20, 20);
  TRect r(2, 2, 18, 12);
  Base()->DrawDateNavigatorDateHeader(bmp.Canvas(), r);
  EXPECT_EQ(r, TRect(3, 3, 17, 11));
  EXPECT_TRUE(Is(bmp, 8, 6, Base()->DefaultDateNavigatorHeaderColor()));
  EXPECT_EQ(PaintedWithin(bmp), TRect(2, 2, 18, 12));
}

TEST(cxLookAndFeelPainterElements, SchedulerEventProgressTable) {
  constexpr TColor kGrey = 0x808080;
  for (bool transparent : {true, false}) {
    SCOPED_TRACE(transparent);
    TCanvasBitmap bmp(20, 14);
    TcxViewParams params;
    params.Color = clYellow;
    Base()->DrawSchedulerEventProgress(bmp.Canvas(), TRect(2, 2, 18, 12), TRect(4, 4, 10, 10),
                                       params, transparent);
    EXPECT_EQ(bmp.BoundsOf(kGrey), TRect(2, 2, 18, 12));
    EXPECT_EQ(CountOf(bmp, kGrey), 2 * (16 + 10) - 4);
    EXPECT_EQ(bmp.BoundsOf(clNavy), TRect(4, 4, 10, 10));
    EXPECT_TRUE(Is(bmp, 3, 3, transparent ? kBack : clYellow));
    EXPECT_TRUE(Is(bmp, 15, 8, transparent ? kBack : clYellow));
  }
}

TEST(cxLookAndFeelPainterElements, SchedulerNavigationButtonFramesTable) {
  struct TPixel {
    int X, Y;
    TColor Color;
  };
  struct TCase {
    const char* Name;
    bool Next;
    TcxButtonState State;
    std::vector<TPixel> Pixels;
  };
  // Button (0, 0, 10, 20): outer frame on three sides, inner frame inside it.
  const TCase cases[] = {
      {"previous",
       false,
       cxbsNormal,
       {{5, 0, clBtnShadow}, {9, 5, clBtnShadow}, {5, 19, clBtnShadow}, {0, 5, clBtnFace},
        {5, 1, clBtnHighlight}, {0, 1, clBtnHighlight}, {8, 5, clBtnFace}, {5, 18, clBtnFace}}},
      {"previous, pressed",
       false,
       cxbsPressed,
       {{5, 0, clBtnShadow}, {9, 5, clBtnShadow}, {5, 1, clBtnShadow}, {8, 5, clBtnHighlight},
        {5, 18, clBtnHighlight}}},
      {"next",
       true,
       cxbsNormal,
       {{0, 5, clBtnShadow}, {5, 0, clBtnShadow}, {9, 5, clBtnFace}, {1, 5, clBtnHighlight},
        {5, 1, clBtnHighlight}, {9, 1, clBtnHighlight}, {5, 18, clBtnFace}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TCanvasBitmap bmp(10, 20);
    Base()->DrawSchedulerNavigationButton(bmp.Canvas(), TRect(0, 0, 10, 20), c.Next, c.State,
                                          L"Text", TRect(), TRect(2, 6, 9, 13));
    for (const TPixel& p : c.Pixels)
      EXPECT_TRUE(Is(bmp, p.X, p.Y, p.Color)) << p.X << "," << p.Y;
    EXPECT_EQ(bmp.BoundsOf(clBtnText), TRect(2, 6, 9, 13));   // the arrow
    EXPECT_EQ(CountOf(bmp, kBack), 0);
  }
}

TEST(cxLookAndFeelPainterElements, SchedulerNavigationButtonTextOnlyWithAColour) {
  struct TLook : TcxCustomLookAndFeelPainter {
    TColor Color = clNone;
    TColor SchedulerNavigationButtonTextColor(bool, TcxButtonState, TColor) const override {
      return Color;
    }
  };
  auto draw = [](const TLook& ALook, const TRect& ATextRect) {
    auto bmp = std::make_unique<TCanvasBitmap>(16, 80);
    bmp->Canvas()->Font()->SetName(L"Arial");
    ALook.DrawSchedulerNavigationButton(bmp->Canvas(), TRect(0, 0, 16, 80), true, cxbsNormal,
                                        L"HHH", ATextRect, TRect(4, 6, 11, 13));
    return bmp;
  };
  TLook look;
  const auto plain = draw(look, TRect());
  const auto withoutColour = draw(look, TRect(2, 30, 16, 74));
  EXPECT_EQ(withoutColour->Mismatches([&](int x, int y) { return plain->Pixel(x, y); }), 0);
  look.Color = clRed;
  const auto emptyRect = draw(look, TRect(2, 30, 2, 74));
  EXPECT_EQ(emptyRect->Mismatches([&](int x, int y) { return plain->Pixel(x, y); }), 0);
  const auto coloured = draw(look, TRect(2, 30, 16, 74));
  const TRect text = coloured->BoundsOf(clRed);
  ASSERT_FALSE(text.IsEmpty());
  EXPECT_TRUE(Contains(TRect(2, 30, 16, 74), text));
  EXPECT_GT(text.Height(), text.Width());   // turned by 90 degrees
}

}  // namespace
