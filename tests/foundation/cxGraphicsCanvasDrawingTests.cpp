#include "platform/WinApi.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/ImgList.h"
#include "tests/foundation/cxGraphicsCanvasTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

using cnvtest::kBack;
using cnvtest::TCanvasBitmap;

namespace {

bool In(const TRect& r, int x, int y) { return r.Contains(TPoint(x, y)); }

String BordersText(TcxBorders b) {
  String s;
  for (TcxBorder side : {bLeft, bTop, bRight, bBottom})
    if (b.Contains(side)) s += EnumName(side) + L" ";
  return s;
}

}  // namespace

// ---------------------------------------------------------------------------
// Fills and frames
// ---------------------------------------------------------------------------

TEST(TcxCanvasFillTest, FrameRectStripsPerSide) {
  struct TCase {
    TcxBorders Borders;
    int Width;
  };
  const TRect r(10, 10, 30, 26);
  const TCase cases[] = {{{bLeft}, 3},         {{bTop}, 3},         {{bRight}, 3},
                         {{bBottom}, 3},       {cxBordersAll, 1},   {{bLeft, bBottom}, 2},
                         {cxBordersAll, 50},   {{bRight}, 50},      {TcxBorders(), 4}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << BordersText(c.Borders) << "width " << c.Width);
    TCanvasBitmap b(40, 40);
    b.Canvas()->FrameRect(r, clRed, c.Width, c.Borders);
    const int w = c.Width;
    auto expected = [&](int x, int y) {
      if (!In(r, x, y)) return kBack;
      const bool on = (c.Borders.Contains(bLeft) && x < r.Left + w) ||
                      (c.Borders.Contains(bRight) && x >= r.Right - w) ||
                      (c.Borders.Contains(bTop) && y < r.Top + w) ||
                      (c.Borders.Contains(bBottom) && y >= r.Bottom - w);
      return on ? clRed : kBack;
    };
    TPoint where;
    EXPECT_EQ(b.Mismatches(expected, &where), 0) << where.X << "," << where.Y;
  }

  // Nothing for an empty rectangle or clNone; clDefault keeps the brush.
  TCanvasBitmap b(40, 40);
  b.Canvas()->FrameRect(TRect(10, 10, 10, 30), clRed, 2);
  b.Canvas()->FrameRect(r, clNone, 2);
  EXPECT_EQ(b.Mismatches([](int, int) { return kBack; }), 0);
  b.Canvas()->Brush()->SetColor(clBlue);
  b.Canvas()->FrameRect(r, clDefault, 1);
  EXPECT_EQ(b.Pixel(10, 15), clBlue);
}

TEST(TcxCanvasFillTest, ExcludedFrameIsLeftAloneByLaterFills) {
  TCanvasBitmap b(40, 40);
  const TRect r(10, 10, 30, 30);
  b.Canvas()->FrameRect(r, clRed, 2, cxBordersAll, true);
  b.Canvas()->FillRect(TRect(0, 0, 40, 40), clBlue);
  EXPECT_EQ(b.Pixel(10, 20), clRed);
  EXPECT_EQ(b.Pixel(29, 20), clRed);
  EXPECT_EQ(b.Pixel(20, 20), clBlue);
  EXPECT_EQ(b.Pixel(5, 5), clBlue);
}

TEST(TcxCanvasFillTest, ColourFillsAndViewParams) {
  TCanvasBitmap b(20, 20);
  TcxCanvas* c = b.Canvas();
  c->FillRect(TRect(0, 0, 20, 20), clNone);
  EXPECT_EQ(b.Pixel(5, 5), kBack);
  c->FillRect(TRect(0, 0, 10, 10), clRed);
  c->FillRect(TRect(10, 10, 20, 20), clDefault);   // keeps the red brush
  EXPECT_EQ(b.Pixel(5, 5), clRed);
  EXPECT_EQ(b.Pixel(15, 15), clRed);

  // A frame on two sides, the rest filled with the view's colour.
  TcxViewParams params;
  params.Color = clBlue;
  c->FillRect(TRect(0, 0, 20, 20), params, TcxBorders{bLeft, bTop}, clYellow, 2);
  EXPECT_EQ(b.Pixel(1, 10), clYellow);
  EXPECT_EQ(b.Pixel(10, 1), clYellow);
  EXPECT_EQ(b.Pixel(2, 2), clBlue);
  EXPECT_EQ(b.Pixel(19, 19), clBlue);

  TcxViewParams got;
  c->Font()->SetColor(clMaroon);
  c->GetParams(got);
  EXPECT_EQ(got.Color, clBlue);
  EXPECT_EQ(got.Font, c->Font());
  EXPECT_EQ(got.TextColor, clMaroon);
  TFont font;
  font.SetHeight(-23);
  c->SetParams(TcxViewParams{nullptr, clTeal, &font, clNavy});
  EXPECT_EQ(c->Brush()->Color(), clTeal);
  EXPECT_EQ(c->Font()->Height(), -23);
  EXPECT_EQ(c->Font()->Color(), clNavy);
}

TEST(TcxCanvasFillTest, ComplexFrameAndEdgeColoursAndCorners) {
  TCanvasBitmap b(20, 20);
  const TRect r(2, 2, 18, 18);
  b.Canvas()->DrawComplexFrame(r, clRed, clBlue, cxBordersAll, 2);
  EXPECT_EQ(b.Pixel(2, 2), clRed);      // left, then top
  EXPECT_EQ(b.Pixel(17, 2), clBlue);    // the right strip paints over the top one
  EXPECT_EQ(b.Pixel(2, 17), clBlue);    // and the bottom over the left one
  EXPECT_EQ(b.Pixel(3, 10), clRed);
  EXPECT_EQ(b.Pixel(16, 10), clBlue);
  EXPECT_EQ(b.Pixel(4, 4), kBack);

  struct TCase {
    bool Sunken, Outer;
    TColor LeftTop, RightBottom;
  };
  for (const TCase& c : {TCase{true, true, clBtnShadow, clBtnHighlight},
                         TCase{true, false, cl3DDkShadow, cl3DLight},
                         TCase{false, true, cl3DLight, cl3DDkShadow},
                         TCase{false, false, clBtnHighlight, clBtnShadow}}) {
    SCOPED_TRACE(testing::Message() << "sunken " << c.Sunken << " outer " << c.Outer);
    TCanvasBitmap e(10, 10);
    e.Canvas()->DrawEdge(TRect(1, 1, 9, 9), c.Sunken, c.Outer, TcxBorders{bLeft, bBottom});
    EXPECT_EQ(e.Pixel(1, 4), ColorToRGB(c.LeftTop));
    EXPECT_EQ(e.Pixel(4, 8), ColorToRGB(c.RightBottom));
    EXPECT_EQ(e.Pixel(4, 1), kBack);   // no top side
    EXPECT_EQ(e.Pixel(8, 4), kBack);   // no right side
  }
}

TEST(TcxCanvasFillTest, BitmapTilesAreAnchoredAtTheOrigin) {
  TBitmap tile;
  tile.SetPixelFormat(pf32bit);
  tile.SetSize(4, 3);
  auto tileColor = [](int x, int y) { return static_cast<TColor>(RGB(20 + 40 * x, 30 + 50 * y, 7)); };
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) tile.Canvas()->SetPixel(x, y, tileColor(x, y));
  auto mod = [](int a, int n) { return ((a % n) + n) % n; };

  struct TCase {
    TRect R;
    TPoint Viewport;
  };
  // The last case covers negative logical coordinates.
  for (const TCase& c : {TCase{{3, 5, 13, 11}, {0, 0}}, TCase{{0, 0, 8, 6}, {0, 0}},
                         TCase{{-6, -5, 9, 7}, {8, 7}}}) {
    SCOPED_TRACE(testing::Message() << c.R.Left << "," << c.R.Top);
    TCanvasBitmap b(24, 24);
    b.Canvas()->SetViewportOrg(c.Viewport);
    b.Canvas()->FillRect(c.R, &tile, false);
    TPoint where;
    EXPECT_EQ(b.Mismatches(
                  [&](int dx, int dy) {
                    const int x = dx - c.Viewport.X, y = dy - c.Viewport.Y;
                    return In(c.R, x, y) ? tileColor(mod(x, 4), mod(y, 3)) : kBack;
                  },
                  &where),
              0)
        << where.X << "," << where.Y;
  }

  // Without a bitmap: the brush; with AExcludeRect the area is clipped away after.
  TCanvasBitmap b(10, 10);
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect(TRect(0, 0, 5, 5), nullptr, true);
  b.Canvas()->FillRect(TRect(0, 0, 10, 10), clBlue);
  EXPECT_EQ(b.Pixel(2, 2), clRed);
  EXPECT_EQ(b.Pixel(7, 7), clBlue);
}

TEST(TcxCanvasFillTest, InvertRectKeepsTheCopyMode) {
  TCanvasBitmap b(10, 10, 0x102030);
  b.Canvas()->SetCopyMode(cmSrcAnd);
  b.Canvas()->InvertRect(TRect(0, 0, 5, 10));
  EXPECT_EQ(b.Pixel(2, 2), 0xEFDFCF);
  EXPECT_EQ(b.Pixel(7, 2), 0x102030);
  EXPECT_EQ(b.Canvas()->CopyMode(), cmSrcAnd);

  TCanvasBitmap f(12, 12, clBlack);
  f.Canvas()->InvertFrame(TRect(0, 0, 12, 12), 2);
  EXPECT_EQ(f.Mismatches([](int x, int y) {
              const bool frame = x < 2 || y < 2 || x >= 10 || y >= 10;
              return frame ? clWhite : clBlack;
            }),
            0);
}

// ---------------------------------------------------------------------------
// Regions and pies
// ---------------------------------------------------------------------------

TEST(TcxCanvasShapeTest, RegionFillFrameAndDraw) {
  TCanvasBitmap b(20, 20);
  TcxRegion region(2, 2, 12, 12);
  b.Canvas()->DrawRegion(&region, clBlue, clRed, 2, 1);
  EXPECT_EQ(b.Pixel(2, 6), clRed);
  EXPECT_EQ(b.Pixel(3, 6), clRed);
  EXPECT_EQ(b.Pixel(4, 6), clBlue);
  EXPECT_EQ(b.Pixel(6, 2), clRed);
  EXPECT_EQ(b.Pixel(6, 3), clBlue);
  EXPECT_EQ(b.Pixel(12, 6), kBack);
  b.Canvas()->FillRegion(static_cast<TcxRegion*>(nullptr), clRed);   // nothing

  // A path turned into a region.
  b.Canvas()->BeginPath();
  b.Canvas()->Canvas()->Rectangle(14, 14, 19, 19);
  b.Canvas()->EndPath();
  TcxRegion* path = b.Canvas()->PathToRegion();
  EXPECT_FALSE(path->IsEmpty());
  EXPECT_TRUE(path->PtInRegion(16, 16));
  TObject::Free(path);
}

TEST(TcxCanvasShapeTest, PieByAngle) {
  const TRect r(0, 0, 40, 40);
  auto draw = [&](int start, int sweep) {
    auto* b = new TCanvasBitmap(40, 40);
    b->Canvas()->Brush()->SetColor(clRed);
    b->Canvas()->Pen()->SetColor(clRed);
    b->Canvas()->Pie(r, start, sweep);
    return b;
  };
  {  // full ellipse
    std::unique_ptr<TCanvasBitmap> b(draw(30, 360));
    for (TPoint p : {TPoint(20, 3), TPoint(3, 20), TPoint(36, 20), TPoint(20, 36), TPoint(20, 20)})
      EXPECT_EQ(b->Pixel(p.X, p.Y), clRed) << p.X << "," << p.Y;
    EXPECT_EQ(b->Pixel(1, 1), kBack);
  }
  {  // the first quadrant, counter-clockwise from the x axis: top right
    std::unique_ptr<TCanvasBitmap> b(draw(0, 90));
    EXPECT_EQ(b->Pixel(28, 12), clRed);
    EXPECT_EQ(b->Pixel(12, 12), kBack);
    EXPECT_EQ(b->Pixel(28, 28), kBack);
    EXPECT_EQ(b->Pixel(12, 28), kBack);
  }
  {  // a three-quarter pie: everything but the bottom right
    std::unique_ptr<TCanvasBitmap> b(draw(0, 270));
    EXPECT_EQ(b->Pixel(12, 28), clRed);
    EXPECT_EQ(b->Pixel(28, 28), kBack);
  }
  // Nothing: a zero sweep, an empty rectangle, a tiny sweep that rounds to one point.
  for (auto [start, sweep] : {std::pair{10, 0}, std::pair{0, 1}}) {
    TCanvasBitmap b(6, 6);
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->Pie(TRect(0, 0, 6, 6), start, sweep);
    b.Canvas()->Pie(TRect(0, 0, 0, 6), 0, 90);
    EXPECT_EQ(b.Mismatches([](int, int) { return kBack; }), 0) << start << "+" << sweep;
  }
}

// ---------------------------------------------------------------------------
// Pixel transforms and pictures
// ---------------------------------------------------------------------------

namespace {

TColor SourceColor(int x, int y) { return static_cast<TColor>(RGB(10 + x, 100 + y, 200)); }

TBitmap* MakeSource(int w, int h) {
  auto* bmp = Make<TBitmap>();
  bmp->SetPixelFormat(pf32bit);
  bmp->SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bmp->Canvas()->SetPixel(x, y, SourceColor(x, y));
  return bmp;
}

}  // namespace

TEST(TcxCanvasPictureTest, RotationAndFlipTable) {
  struct TCase {
    TcxRotationAngle Angle;
    bool Flip;
    // Where source pixel (x, y) of a W x H bitmap goes.
    TPoint (*Target)(int x, int y, int w, int h);
  };
  const TCase cases[] = {
      {ra0, true, [](int x, int y, int, int h) { return TPoint(x, h - 1 - y); }},
      {raPlus90, false, [](int x, int y, int w, int) { return TPoint(y, w - 1 - x); }},
      {raPlus90, true, [](int x, int y, int, int) { return TPoint(y, x); }},
      {raMinus90, false, [](int x, int y, int, int h) { return TPoint(h - 1 - y, x); }},
      {raMinus90, true, [](int x, int y, int w, int h) { return TPoint(h - 1 - y, w - 1 - x); }},
      {ra180, false, [](int x, int y, int w, int h) { return TPoint(w - 1 - x, h - 1 - y); }},
      {ra180, true, [](int x, int y, int w, int) { return TPoint(w - 1 - x, y); }},
  };
  const int w = 3, h = 2;
  TCanvasBitmap host(1, 1);
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << EnumName(c.Angle) << (c.Flip ? " flipped" : ""));
    TBitmap* bmp = MakeSource(w, h);
    host.Canvas()->RotateBitmap(bmp, c.Angle, c.Flip);
    const bool quarter = c.Angle == raPlus90 || c.Angle == raMinus90;
    EXPECT_EQ(bmp->Width(), quarter ? h : w);
    EXPECT_EQ(bmp->Height(), quarter ? w : h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const TPoint t = c.Target(x, y, w, h);
        EXPECT_EQ(bmp->Canvas()->GetPixel(t.X, t.Y), SourceColor(x, y)) << x << "," << y;
      }
    TObject::Free(bmp);
  }

  // The documented case: +90 on 3 x 2 puts the top-right pixel at the top left.
  TBitmap* bmp = MakeSource(3, 2);
  host.Canvas()->RotateBitmap(bmp, raPlus90);
  EXPECT_EQ(bmp->Canvas()->GetPixel(0, 0), SourceColor(2, 0));
  // ra0 without flipping changes nothing.
  host.Canvas()->RotateBitmap(bmp, ra0, false);
  EXPECT_EQ(bmp->Canvas()->GetPixel(0, 0), SourceColor(2, 0));
  TObject::Free(bmp);
}

TEST(TcxCanvasPictureTest, FlipHorizontally) {
  TCanvasBitmap host(1, 1);
  for (int w : {1, 2, 3, 4}) {
    TBitmap* bmp = MakeSource(w, 2);
    host.Canvas()->FlipHorizontally(bmp);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < w; ++x)
        EXPECT_EQ(bmp->Canvas()->GetPixel(x, y), SourceColor(w - 1 - x, y)) << w << ": " << x;
    TObject::Free(bmp);
  }
}

TEST(TcxCanvasPictureTest, TransparentDrawBlendsWithAndWithoutAlphaBlend) {
  cxGraphicsInitialize();
  TBitmap* source = Make<TBitmap>();
  source->SetPixelFormat(pf32bit);
  source->SetSize(4, 4);
  source->Canvas()->Brush()->SetColor(RGB(200, 100, 0));
  source->Canvas()->FillRect(TRect(0, 0, 4, 4));
  auto mix = [](int d, int s, int a) { return MulDiv(d, 255 - a, 255) + MulDiv(s, a, 255); };
  const TcxAlphaBlendProc system = cxGetAlphaBlendProc();
  for (bool withSystem : {true, false}) {
    if (withSystem && !system) continue;
    SCOPED_TRACE(withSystem ? "AlphaBlend" : "per pixel");
    cxSetAlphaBlendProc(withSystem ? system : nullptr);
    for (int alpha : {0, 128, 255}) {
      TCanvasBitmap b(10, 10, RGB(0, 0, 200));
      // Background from the canvas itself...
      b.Canvas()->TransparentDraw(2, 3, source, static_cast<Byte>(alpha));
      const TColor p = b.Pixel(3, 4);
      EXPECT_NEAR(GetRValue(p), mix(0, 200, alpha), 1) << alpha;
      EXPECT_NEAR(GetGValue(p), mix(0, 100, alpha), 1) << alpha;
      EXPECT_NEAR(GetBValue(p), mix(200, 0, alpha), 1) << alpha;
      EXPECT_EQ(b.Pixel(1, 3), static_cast<TColor>(RGB(0, 0, 200)));
      EXPECT_EQ(b.Pixel(6, 3), static_cast<TColor>(RGB(0, 0, 200)));
    }
    // ...or from a given background bitmap.
    TBitmap background;
    background.SetPixelFormat(pf32bit);
    background.SetSize(4, 4);
    background.Canvas()->Brush()->SetColor(RGB(0, 250, 0));
    background.Canvas()->FillRect(TRect(0, 0, 4, 4));
    TCanvasBitmap b(10, 10, clBlack);
    b.Canvas()->TransparentDraw(0, 0, source, 255, &background);
    EXPECT_NEAR(GetRValue(b.Pixel(1, 1)), 200, 1);
    b.Canvas()->TransparentDraw(0, 0, source, 0, &background);
    EXPECT_NEAR(GetGValue(b.Pixel(1, 1)), 250, 1);
  }
  cxSetAlphaBlendProc(system);
  TObject::Free(source);
  cxGraphicsFinalize();
}

TEST(TcxCanvasPictureTest, GlyphsReplaceTheTransparentColour) {
  TBitmap glyph;
  glyph.SetPixelFormat(pf32bit);
  glyph.SetSize(4, 4);
  glyph.Canvas()->Brush()->SetColor(clFuchsia);
  glyph.Canvas()->FillRect(TRect(0, 0, 4, 4));
  glyph.Canvas()->Brush()->SetColor(clNavy);
  glyph.Canvas()->FillRect(TRect(1, 1, 3, 3));
  glyph.SetTransparentColor(clFuchsia);

  TCanvasBitmap b(10, 10);
  b.Canvas()->Brush()->SetStyle(bsDiagCross);
  b.Canvas()->DrawGlyph(2, 2, &glyph, true, clNone);
  EXPECT_EQ(b.Pixel(2, 2), kBack);    // transparent: what was there
  EXPECT_EQ(b.Pixel(3, 3), clNavy);
  EXPECT_EQ(b.Canvas()->Brush()->Style(), bsDiagCross);
  b.Canvas()->DrawGlyph(5, 5, &glyph, true, clYellow);
  EXPECT_EQ(b.Pixel(5, 5), clYellow);
  EXPECT_EQ(b.Pixel(6, 6), clNavy);

  // Disabled: the platform's look; the background colour fills the glyph's
  // cell, and nothing outside it is touched.
  TCanvasBitmap d(10, 10);
  d.Canvas()->DrawGlyph(2, 2, &glyph, false, clNone);   // the glyph makes its own handles once
  d.Fill(kBack);
  const long live = GdiAccounting::Live();
  d.Canvas()->DrawGlyph(2, 2, &glyph, false, clYellow);
  EXPECT_EQ(d.Pixel(2, 2), clYellow);
  EXPECT_EQ(d.Pixel(1, 1), kBack);
  EXPECT_EQ(d.Pixel(6, 6), kBack);
  EXPECT_EQ(GdiAccounting::Live(), live);
}

TEST(TcxCanvasPictureTest, DrawImageChecksTheIndexAndBalancesTheDC) {
  TImageList images(nullptr, 4, 4);
  TBitmap image;
  image.SetPixelFormat(pf24bit);
  image.SetSize(4, 4);
  image.Canvas()->Brush()->SetColor(clRed);
  image.Canvas()->FillRect(TRect(0, 0, 4, 4));
  images.Add(&image, nullptr);
  TCanvasBitmap b(10, 10);
  for (int index : {-1, 1}) b.Canvas()->DrawImage(&images, 0, 0, index);
  b.Canvas()->DrawImage(nullptr, 0, 0, 0);
  EXPECT_EQ(b.Pixel(1, 1), kBack);
  b.Canvas()->DrawImage(&images, 3, 3, 0);
  EXPECT_EQ(b.Pixel(4, 4), clRed);
  EXPECT_EQ(b.Pixel(2, 2), kBack);
  EXPECT_EQ(b.Canvas()->Canvas()->LockCount(), 0);
}
