// The bar module's drawing routines, pixel by pixel: the draw mode of
// glyphs and the glyph cache, state bitmaps, arrows, focus frames, clipping,
// tiled backgrounds, window origins, size grips and the visual styles' parts.
#include "bars/model/dxBarDrawing.h"
#include "tests/bars/model/dxBarTestSupport.h"

#include "foundation/cxGraphicsCanvas.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxThemeManager.h"
#include "platform/gui/ExtCtrls.h"
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

// A 32-bit surface to draw on, white unless told otherwise.
class TSurface {
 public:
  TSurface(int AWidth, int AHeight, COLORREF AFill = RGB(255, 255, 255)) : FWidth(AWidth), FHeight(AHeight) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), AWidth, -AHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    FDC = GdiCreateCompatibleDC(nullptr);
    FBitmap = GdiCreateDIBSection(FDC, &info, reinterpret_cast<void**>(&FBits));
    FPrevious = SelectObject(FDC, FBitmap);
    const DWORD fill = (GetRValue(AFill) << 16) | (GetGValue(AFill) << 8) | GetBValue(AFill);
    for (int i = 0; i < AWidth * AHeight; ++i) FBits[i] = fill;
  }
  ~TSurface() {
    SelectObject(FDC, FPrevious);
    GdiDeleteObject(FBitmap);
    GdiDeleteDC(FDC);
  }
  HDC DC() const { return FDC; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  COLORREF At(int x, int y) const {
    GdiFlush();
    const DWORD p = FBits[y * FWidth + x] & 0xFFFFFF;
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

 private:
  int FWidth, FHeight;
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

TEST(dxBarDrawing, RightwardArrowPointsRight) {
  TSurface surface(12, 12);
  dxBarDrawArrowInRect(surface.DC(), TRect(0, 0, 12, 12), 0, clRed, true, true, false, 3);
  // The triangle (4,3) (4,7) (6,5).
  const COLORREF red = RGB(255, 0, 0), white = RGB(255, 255, 255);
  const struct {
    int x, y;
    COLORREF color;
  } pixels[] = {{4, 3, red}, {4, 7, red}, {5, 5, red}, {6, 5, red}, {5, 4, red},
                {7, 5, white}, {4, 2, white}, {4, 8, white}, {5, 3, white}, {3, 5, white}};
  for (const auto& p : pixels) EXPECT_EQ(surface.At(p.x, p.y), p.color) << p.x << "," << p.y;
}

TEST(dxBarDrawing, DefaultArrowColourFollowsTheState) {
  const COLORREF blue = RGB(0, 0, 255);
  const struct {
    bool enabled, selected;
    COLORREF color;
  } cases[] = {
      {false, false, GetSysColor(COLOR_BTNSHADOW)},
      {true, false, GetSysColor(COLOR_BTNTEXT)},
      {true, true, GetSysColor(dxIsButtonFaceWhite() ? COLOR_BTNFACE : COLOR_HIGHLIGHTTEXT)},
  };
  for (const auto& c : cases) {
    TSurface surface(12, 12, blue);
    dxBarDrawArrowGlyph(surface.DC(), TRect(0, 0, 12, 12), true, clDefault, true, c.enabled, c.selected, 3);
    EXPECT_EQ(surface.At(5, 5), c.color) << c.enabled << c.selected;
  }
}

TEST(dxBarDrawing, ADisabledArrowThatIsNotFlatGetsAnEmbossedEdge) {
  const COLORREF blue = RGB(0, 0, 255), highlight = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  // Size 3 in a 12 x 12 rectangle: X = 3, Y = 4; the edge runs from (6,6) to
  // (8,4) and from (6,7) to (9,4), each without its last point.
  const TPoint edge[] = {{6, 6}, {7, 5}, {6, 7}, {7, 6}, {8, 5}};
  for (bool flat : {false, true}) {
    SCOPED_TRACE(flat);
    TSurface surface(12, 12, blue);
    dxBarDrawArrowGlyph(surface.DC(), TRect(0, 0, 12, 12), true, clDefault, flat, false, false, 3);
    for (const TPoint& p : edge) EXPECT_EQ(surface.At(p.X, p.Y), flat ? blue : highlight) << p.X << "," << p.Y;
    EXPECT_EQ(surface.At(5, 6), shadow) << "the arrow's tip";
    EXPECT_EQ(surface.At(8, 4), blue) << "the edge's last point";
  }
  TSurface right(12, 12, blue);
  dxBarDrawArrowGlyph(right.DC(), TRect(0, 0, 12, 12), false, clDefault, false, false, false, 3);
  // X = 4, Y = 3: from (6,6) to (4,8) and from (7,6) to (4,9).
  for (const TPoint& p : {TPoint(6, 6), TPoint(5, 7), TPoint(7, 6), TPoint(6, 7), TPoint(5, 8)})
    EXPECT_EQ(right.At(p.X, p.Y), highlight) << p.X << "," << p.Y;
}

TEST(dxBarDrawing, PolygonsAndFrames) {
  const COLORREF white = RGB(255, 255, 255), red = RGB(255, 0, 0), green = RGB(0, 255, 0);
  {
    TSurface surface(8, 8);
    const POINT square[] = {{1, 1}, {6, 1}, {6, 6}, {1, 6}};
    dxBarFillPolygon(surface.DC(), square, 3, clRed, clLime);
    EXPECT_EQ(surface.At(1, 1), green);
    EXPECT_EQ(surface.At(6, 6), green) << "the last point is outlined too";
    EXPECT_EQ(surface.At(3, 4), red);
    EXPECT_EQ(surface.At(7, 7), white);
  }
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  {
    TSurface surface(8, 8);
    dxBarFrameRectDouble(surface.DC(), TRect(1, 1, 7, 7), COLOR_HIGHLIGHT);
    for (const TPoint& p : {TPoint(1, 1), TPoint(2, 2), TPoint(6, 6), TPoint(5, 5), TPoint(1, 4), TPoint(5, 3)})
      EXPECT_EQ(surface.At(p.X, p.Y), highlight) << p.X << "," << p.Y;
    EXPECT_EQ(surface.At(3, 3), white);
    EXPECT_EQ(surface.At(0, 0), white);
    EXPECT_EQ(surface.At(7, 7), white);
  }
  {
    TSurface surface(8, 8);
    dxBarFrameRectHighlight(surface.DC(), TRect(1, 1, 7, 7));
    EXPECT_EQ(surface.At(1, 1), highlight);
    EXPECT_EQ(surface.At(6, 3), highlight);
    EXPECT_EQ(surface.At(2, 2), white);
  }
}

TEST(dxBarDrawing, SavedClipRegionsComeBack) {
  const COLORREF white = RGB(255, 255, 255), red = RGB(255, 0, 0);
  auto fillRed = [](HDC ADC) {
    HBRUSH brush = GdiCreateBrush(LOGBRUSH{BS_SOLID, RGB(255, 0, 0), 0});
    const RECT all{0, 0, 8, 8};
    FillRect(ADC, &all, brush);
    GdiDeleteObject(brush);
  };
  {
    TSurface surface(8, 8);
    IntersectClipRect(surface.DC(), 0, 0, 3, 3);
    HRGN saved = nullptr;
    bool hadClip = false;
    dxBarSaveDCClip(surface.DC(), saved, hadClip);
    EXPECT_TRUE(hadClip);
    SelectClipRgn(surface.DC(), nullptr);
    dxBarRestoreDCClip(surface.DC(), saved, hadClip);
    EXPECT_EQ(saved, nullptr);
    fillRed(surface.DC());
    EXPECT_EQ(surface.At(2, 2), red);
    EXPECT_EQ(surface.At(3, 3), white) << "the clip region is back";
  }
  {
    TSurface surface(8, 8);
    HRGN saved = nullptr;
    bool hadClip = true;
    dxBarSaveDCClip(surface.DC(), saved, hadClip);
    EXPECT_FALSE(hadClip);
    IntersectClipRect(surface.DC(), 0, 0, 1, 1);
    dxBarRestoreDCClip(surface.DC(), saved, hadClip);
    fillRed(surface.DC());
    EXPECT_EQ(surface.At(7, 7), red) << "no clip region again";
  }
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

constexpr COLORREF kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0),
                   kBlue = RGB(0, 0, 255);

// A 24-bit bitmap of one colour.
TBitmap* SolidBitmap(int AWidth, int AHeight, TColor AColor) {
  TBitmap* bitmap = Make<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(AWidth, AHeight);
  bitmap->Canvas()->Brush()->SetColor(AColor);
  bitmap->Canvas()->FillRect(TRect(0, 0, AWidth, AHeight));
  return bitmap;
}

// Renders nothing of the glyph: every rendering is a green square, so the
// surface shows whether the cached rendering or the glyph was drawn.
class TFakeGlyphCache : public IdxBarGlyphCache {
 public:
  bool IsCached(TcxImageDrawMode AMode, TBitmap* AGlyph, TCustomImageList* AImages) const override {
    return FRendering && AMode == Mode && AGlyph == FGlyph && AImages == FImages;
  }
  void Cache(const TRect& ARect, TBitmap* AGlyph, TCustomImageList* AImages, int, TcxImageDrawMode AMode, bool,
             TColor, bool) override {
    ++Renders;
    Mode = AMode;
    FGlyph = AGlyph;
    FImages = AImages;
    FRendering.reset(SolidBitmap(ARect.Width(), ARect.Height(), clLime));
    // Rendering sees the image-drawing hook; only drawing the rendering does not.
    HookSeenWhileRendering = cxDrawImageHook != nullptr;
  }
  TBitmap* CachedGlyph() override { return FRendering.get(); }
  int Renders = 0;
  TcxImageDrawMode Mode = idmNormal;
  bool HookSeenWhileRendering = false;

 private:
  TObjectPtr<TBitmap> FRendering;
  TBitmap* FGlyph = nullptr;
  TCustomImageList* FImages = nullptr;
};

class TCachingControl : public TdxBarItemControlBase {
  DECLARE_CLASS(TCachingControl, TdxBarItemControlBase)
  explicit TCachingControl(TdxBarItemLink* ALink) : TdxBarItemControlBase(ALink) {}
  IdxBarGlyphCache* GlyphCache() override { return &Cache; }
  TFakeGlyphCache Cache;
};
IMPLEMENT_CLASS(TCachingControl, TdxBarItemControlBase, (ConstructWith<TCachingControl, TdxBarItemLink>))

int hookCalls = 0;
bool CountingHook(TCanvas*, TCustomImageList*, int, TcxImageDrawMode, const TRect&, TBitmap*) {
  ++hookCalls;
  return false;
}

class dxBarGlyphCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(Make<TBarTestForm>(nullptr));
    manager = Make<TdxBarManager>(form.get());
    menu = std::make_unique<TMenuLinksOwner>(manager);
    control.reset(Make<TCachingControl>(menu->Links->Add(manager->AddButton())));
    red.reset(SolidBitmap(8, 8, clRed));
    args.Glyph = red.get();
    args.UseLeftBottomPixelAsTransparent = false;
    args.GlyphRect = TRect(2, 2, 10, 10);
    args.FullRect = TRect(0, 0, 12, 12);
  }
  void TearDown() override {
    control.reset();
    menu.reset();
    form.reset();
  }
  // The colour the glyph rectangle shows after drawing (white before).
  COLORREF Draw(TdxBarItemControlBase* AControl = nullptr, bool ANoCache = false) {
    TSurface surface(12, 12);
    if (ANoCache)
      dxBarDrawGlyphNoCache(surface.DC(), args);
    else
      dxBarDrawItemGlyph(AControl ? AControl : control.get(), surface.DC(), args);
    EXPECT_EQ(surface.At(0, 0), kWhite) << "the background around the glyph stays";
    return surface.At(5, 5);
  }
  TObjectPtr<TBarTestForm> form;
  TdxBarManager* manager = nullptr;
  std::unique_ptr<TMenuLinksOwner> menu;
  TObjectPtr<TCachingControl> control;
  TObjectPtr<TBitmap> red;
  TdxBarGlyphDrawArgs args;
};

TEST_F(dxBarGlyphCacheTest, AGlyphIsRenderedOnceUntilItsModeOrSourceChanges) {
  const TFakeGlyphCache& cache = control->Cache;
  EXPECT_EQ(Draw(), kGreen) << "the rendering is drawn";
  EXPECT_EQ(Draw(), kGreen);
  EXPECT_EQ(cache.Renders, 1) << "a hit renders nothing";
  args.State.Enabled = false;
  EXPECT_EQ(Draw(), kGreen);
  EXPECT_EQ(cache.Renders, 2);
  EXPECT_EQ(cache.Mode, idmDisabled);
  TObjectPtr<TBitmap> blue(SolidBitmap(8, 8, clBlue));
  args.Glyph = blue.get();
  Draw();
  EXPECT_EQ(cache.Renders, 3) << "another glyph";
  Draw();
  EXPECT_EQ(cache.Renders, 3);
  args.GlyphRect = TRect(3, 3, 9, 9);
  EXPECT_EQ(Draw(), kGreen);
  EXPECT_EQ(cache.Renders, 4) << "a rendering of another size is not stretched";
}

TEST_F(dxBarGlyphCacheTest, NothingIsCachedWithoutCachingOrInTheShadowedMode) {
  const TFakeGlyphCache& cache = control->Cache;
  manager->ImageOptions()->SetCacheGlyphs(false);
  EXPECT_EQ(Draw(), kRed);
  manager->ImageOptions()->SetCacheGlyphs(true);
  args.State = {true, false, true, true, false, false, true};  // flat, with shadow, selected
  ASSERT_EQ(dxBarGlyphDrawMode(args.State), idmShadowed);
  EXPECT_NE(Draw(), kGreen);
  args.State = {};
  EXPECT_EQ(Draw(nullptr, true), kRed) << "without an item control";
  TObjectPtr<TTestItemControl> plain(Make<TTestItemControl>(control->ItemLink()));
  EXPECT_EQ(Draw(plain.get()), kRed) << "a control that keeps no rendering";
  EXPECT_EQ(cache.Renders, 0);
}

TEST_F(dxBarGlyphCacheTest, TheImageHookIsOffOnlyWhileTheRenderingIsDrawn) {
  const TcxDrawImageHook saved = std::exchange(cxDrawImageHook, &CountingHook);
  TFinally restore{[saved] { cxDrawImageHook = saved; }};
  hookCalls = 0;
  EXPECT_EQ(Draw(), kGreen);
  EXPECT_EQ(hookCalls, 0);
  EXPECT_TRUE(control->Cache.HookSeenWhileRendering);
  EXPECT_EQ(cxDrawImageHook, &CountingHook) << "put back";
  manager->ImageOptions()->SetCacheGlyphs(false);
  EXPECT_EQ(Draw(), kRed);
  EXPECT_EQ(hookCalls, 1) << "a glyph drawn directly goes through the hook";
}

TEST(dxBarDrawing, StateBitmapNormalOrDisabled) {
  TObjectPtr<TBitmap> bitmap(SolidBitmap(6, 6, clWhite));
  bitmap->Canvas()->Brush()->SetColor(clRed);
  bitmap->Canvas()->FillRect(TRect(2, 2, 4, 4));
  for (bool state : {true, false}) {
    TSurface surface(8, 8, kBlue);
    dxBarDrawStateBitmap(surface.DC(), TRect(1, 1, 7, 7), bitmap.get(), state);
    EXPECT_EQ(surface.At(1, 1), kBlue) << "the bottom-left pixel's colour is transparent";
    EXPECT_EQ(surface.At(0, 0), kBlue);
    if (state)
      EXPECT_EQ(surface.At(3, 3), kRed);
    else
      EXPECT_NE(surface.At(3, 3), kRed) << "disabled";
  }
}

TEST(dxBarDrawing, TiledBitmapFollowsTheSourceOrigin) {
  // Six pixels of their own colours: (x, y) is RGB(40 + 40x, 100 + 100y, 7).
  TObjectPtr<TBitmap> tile(SolidBitmap(3, 2, clWhite));
  auto colorAt = [](int x, int y) { return RGB(40 + 40 * x, 100 + 100 * y, 7); };
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) tile->Canvas()->SetPixel(x, y, static_cast<TColor>(colorAt(x, y)));
  auto mod = [](int a, int b) { return ((a % b) + b) % b; };
  auto tileStart = [&](int a, int b) { return a - mod(a, b); };
  const struct {
    TRect dest, source;
  } cases[] = {
      {{2, 1, 10, 6}, {-1, 1, 20, 20}},  // a source larger than the destination
      {{0, 0, 10, 6}, {4, 3, 7, 5}},     // a smaller one leaves the rest
      {{1, 1, 9, 7}, {-7, -5, 1, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source.Left);
    TSurface surface(12, 8, kBlue);
    dxBarTileBitmap(surface.DC(), c.dest, c.source, tile.get());
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 12; ++x) {
        const int sx = x - c.dest.Left + c.source.Left, sy = y - c.dest.Top + c.source.Top;
        // Whole tiles: a tile the source touches is copied past its end.
        const bool inside =
            c.dest.Contains(TPoint(x, y)) && tileStart(sx, 3) < c.source.Right && tileStart(sy, 2) < c.source.Bottom;
        ASSERT_EQ(surface.At(x, y), inside ? colorAt(mod(sx, 3), mod(sy, 2)) : kBlue) << x << "," << y;
      }
  }
  TSurface surface(4, 4, kBlue);
  dxBarTileBitmap(surface.DC(), TRect(0, 0, 4, 4), TRect(0, 0, 0, 4), tile.get());
  EXPECT_EQ(surface.At(0, 0), kBlue) << "an empty source";
}

TEST(dxBarDrawing, BackgroundAreaFromBitmapBrushOrColour) {
  TObjectPtr<TBitmap> empty(Make<TBitmap>()), green(SolidBitmap(2, 2, clLime));
  HBRUSH blue = GdiCreateBrush(LOGBRUSH{BS_SOLID, kBlue, 0});
  TFinally deleteBrush{[blue] { GdiDeleteObject(blue); }};
  const struct {
    TBitmap* bitmap;
    HBRUSH brush;
    COLORREF painted;
  } cases[] = {{green.get(), blue, kGreen}, {empty.get(), blue, kBlue}, {nullptr, nullptr, kRed}};
  for (const auto& c : cases) {
    TSurface surface(6, 6);
    dxBarPaintBackgroundArea(surface.DC(), TRect(1, 1, 5, 5), TRect(0, 0, 4, 4), c.bitmap, clRed, c.brush);
    EXPECT_EQ(surface.At(1, 1), c.painted);
    EXPECT_EQ(surface.At(4, 4), c.painted);
    EXPECT_EQ(surface.At(5, 5), kWhite);
  }
}

void FillAll(HDC ADC, int ASize, COLORREF AColor) {
  HBRUSH brush = GdiCreateBrush(LOGBRUSH{BS_SOLID, AColor, 0});
  const RECT all{0, 0, ASize, ASize};
  FillRect(ADC, &all, brush);
  GdiDeleteObject(brush);
}

TEST(dxBarDrawing, ClipToTheFrameBorderAndUnionOfClipRectangles) {
  {
    TSurface surface(10, 10);
    TCanvas canvas;
    canvas.SetHandle(surface.DC());
    TObjectPtr<TcxCanvas> cx(Make<TcxCanvas>(&canvas));
    dxBarClipToFrameBorder(cx.get(), TRect(1, 1, 9, 9), TRect(3, 3, 7, 7));
    FillAll(surface.DC(), 10, kRed);
    canvas.SetHandle(nullptr);
    EXPECT_EQ(surface.At(1, 1), kRed);
    EXPECT_EQ(surface.At(8, 5), kRed);
    EXPECT_EQ(surface.At(5, 5), kWhite) << "the content";
    EXPECT_EQ(surface.At(0, 0), kWhite) << "outside the frame";
  }
  {
    TSurface surface(10, 10);
    IntersectClipRect(surface.DC(), 0, 0, 3, 3);
    // Logical coordinates: the window origin moves everything by (1, 1).
    SetWindowOrgEx(surface.DC(), 1, 1, nullptr);
    dxBarUnionClipRect(surface.DC(), TRect(7, 7, 9, 9));
    SetWindowOrgEx(surface.DC(), 0, 0, nullptr);
    FillAll(surface.DC(), 10, kRed);
    EXPECT_EQ(surface.At(2, 2), kRed);
    EXPECT_EQ(surface.At(6, 6), kRed);
    EXPECT_EQ(surface.At(5, 5), kWhite);
    EXPECT_EQ(surface.At(8, 8), kWhite);
  }
  TSurface unclipped(4, 4);
  dxBarUnionClipRect(unclipped.DC(), TRect(0, 0, 1, 1));
  FillAll(unclipped.DC(), 4, kRed);
  EXPECT_EQ(unclipped.At(3, 3), kRed) << "no clip region: everything stays drawable";
}

TEST(dxBarDrawing, WindowOriginMovesToAChildControl) {
  TObjectPtr<TBarTestForm> form(Make<TBarTestForm>(nullptr));
  auto* panel = Make<TPanel>(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(5, 7, 20, 20);
  TSurface surface(4, 4);
  TPoint offset, previous;
  TRect r(1, 1, 3, 3);
  dxBarShiftWindowOrgTo(panel, form.get(), surface.DC(), offset, previous, r);
  EXPECT_EQ(offset, TPoint(0, 0)) << "no windows yet";
  EXPECT_EQ(r, TRect(1, 1, 3, 3));
  dxBarRestoreWindowOrg(surface.DC(), previous);
  panel->HandleNeeded();
  dxBarShiftWindowOrgTo(panel, form.get(), surface.DC(), offset, previous, r);
  EXPECT_EQ(offset, TPoint(5, 7));
  EXPECT_EQ(r, TRect(6, 8, 8, 10));
  // What the parent paints at its own (6, 8) lands at the child's (1, 1).
  SetPixel(surface.DC(), 6, 8, kRed);
  EXPECT_EQ(surface.At(1, 1), kRed);
  dxBarRestoreWindowOrg(surface.DC(), previous);
  POINT origin{};
  GetWindowOrgEx(surface.DC(), &origin);
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, 0);
}

TEST(dxBarDrawing, TransparentSizeGripReplacesOnlyItsOwnPixels) {
  TSurface surface(16, 16, kRed);
  dxBarDrawTransparentSizeGrip(surface.DC(), TRect(0, 0, 16, 16));
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  int drawn = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      ASSERT_NE(surface.At(x, y), face) << x << "," << y;
      drawn += surface.At(x, y) != kRed;
    }
  EXPECT_GT(drawn, 0);
}

TEST(dxBarDrawing, ThemedSizeGripIsTheBottomRightPictureMirroredIntoEachCorner) {
  if (!dxAcquireThemeHandle(totScrollBar)) GTEST_SKIP() << "no visual styles";
  const TSize size = dxBarThemedSizeGripSize();
  const int extent = 40;
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  // The picture area of a corner: the grip's rectangle less 2 pixels on its inner sides.
  auto pictureOf = [&](int ACorner) {
    const bool right = ACorner % 2 == 1, bottom = ACorner >= 2;
    const int left = right ? extent - size.cx - 1 + 2 : 0, top = bottom ? extent - size.cy + 2 : 0;
    return TRect(left, top, left + size.cx + 1 - 2, top + size.cy - 2);
  };
  TSurface reference(extent, extent);
  dxBarDrawThemedSizeGrip(reference.DC(), TRect(0, 0, extent, extent), 3);
  const TRect base = pictureOf(3);
  int drawn = 0;
  for (int y = base.Top; y < base.Bottom; ++y)
    for (int x = base.Left; x < base.Right; ++x) drawn += reference.At(x, y) != face;
  ASSERT_GT(drawn, 0) << "the style draws a picture to mirror";
  for (int corner = 0; corner < 3; ++corner) {
    SCOPED_TRACE(corner);
    TSurface surface(extent, extent);
    dxBarDrawThemedSizeGrip(surface.DC(), TRect(0, 0, extent, extent), corner);
    const TRect picture = pictureOf(corner);
    const bool mirrorX = corner % 2 == 0, mirrorY = corner < 2;
    for (int y = 0; y < picture.Height(); ++y)
      for (int x = 0; x < picture.Width(); ++x) {
        const int rx = mirrorX ? base.Width() - 1 - x : x, ry = mirrorY ? base.Height() - 1 - y : y;
        ASSERT_EQ(surface.At(picture.Left + x, picture.Top + y), reference.At(base.Left + rx, base.Top + ry))
            << x << "," << y;
      }
    // The rest of the grip's rectangle is button face, the rest of R untouched.
    const TRect grip(picture.Left - (corner % 2 ? 2 : 0), picture.Top - (corner >= 2 ? 2 : 0),
                     picture.Right + (corner % 2 ? 0 : 2), picture.Bottom + (corner >= 2 ? 0 : 2));
    EXPECT_EQ(surface.At(corner % 2 ? grip.Left : grip.Right - 1, corner >= 2 ? grip.Top : grip.Bottom - 1), face);
    EXPECT_EQ(surface.At(extent / 2, extent / 2), kWhite);
  }
}

TEST(dxBarDrawing, SmallCloseButtonSitsAtTheEndOfItsKind) {
  const TSize size = dxBarThemedSmallCloseButtonSize();
  ASSERT_GT(size.cx, 0);
  const TRect r(0, 0, size.cx + 20, size.cy + 6);
  const struct {
    int kind;
    int left;
  } cases[] = {{1, 3}, {3, 3}, {0, r.Right - 3 - size.cx}, {2, r.Right - 3 - size.cx}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    TSurface surface(r.Right, r.Bottom);
    dxBarDrawThemedSmallCloseButton(surface.DC(), r, false, c.kind, false);
    const TRect button(c.left, 3, c.left + size.cx, 3 + size.cy);
    int drawn = 0;
    for (int y = 0; y < r.Bottom; ++y)
      for (int x = 0; x < r.Right; ++x) {
        if (!button.Contains(TPoint(x, y)))
          ASSERT_EQ(surface.At(x, y), kWhite) << x << "," << y;
        else
          drawn += surface.At(x, y) != kWhite;
      }
    EXPECT_GT(drawn, 0);
  }
}

TEST(dxBarDrawing, EditColoursFromTheStyleOrTheSystem) {
  EXPECT_EQ(dxBarThemedEditFillColor(nullptr, 4), clWindow);
  EXPECT_EQ(dxBarThemedEditTextColor(nullptr, 4), clGrayText);
  EXPECT_EQ(dxBarThemedEditTextColor(nullptr, 1), clWindowText);
  if (HANDLE theme = dxAcquireThemeHandle(totEdit))
    EXPECT_EQ(dxBarThemedEditFillColor(theme, 1), clWindow) << "a normal edit is the window colour";
  TObjectPtr<TBarTestForm> form(Make<TBarTestForm>(nullptr));
  TdxBarManager* manager = Make<TdxBarManager>(form.get());
  TMenuLinksOwner menu(manager);
  TdxBarButton* button = manager->AddButton();
  TObjectPtr<TTestItemControl> control(Make<TTestItemControl>(menu.Links->Add(button)));
  EXPECT_EQ(dxBarEditControlThemeState(control.get()), 1);
  button->SetEnabled(false);
  EXPECT_EQ(dxBarEditControlThemeState(control.get()), 4);
}

}  // namespace
