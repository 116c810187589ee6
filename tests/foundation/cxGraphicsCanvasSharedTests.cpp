// The screen and paint canvases, the solid-brush cache and the graphics
// module's start-up and shutdown.
#include "platform/WinApi.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/core/Components.h"
#include "platform/gui/GdiAccounting.h"
#include "tests/foundation/cxGraphicsCanvasTestSupport.h"

#include <gtest/gtest.h>

using cnvtest::kBack;
using cnvtest::TCanvasBitmap;

namespace {

// The objects selected into a DC and its origin: what its owner would see.
struct TDCLook {
  HGDIOBJ Font, Brush, Pen;
  POINT Viewport;
  COLORREF TextColor;
  explicit TDCLook(HDC dc)
      : Font(GetCurrentObject(dc, OBJ_FONT)),
        Brush(GetCurrentObject(dc, OBJ_BRUSH)),
        Pen(GetCurrentObject(dc, OBJ_PEN)),
        Viewport{},
        TextColor(GetTextColor(dc)) {
    GetViewportOrgEx(dc, &Viewport);
  }
  bool operator==(const TDCLook& o) const {
    return Font == o.Font && Brush == o.Brush && Pen == o.Pen && Viewport.x == o.Viewport.x &&
           Viewport.y == o.Viewport.y && TextColor == o.TextColor;
  }
};

// A memory DC over a 32-bit DIB, with objects of its own selected, as a
// window's paint DC would have.
class TForeignDC {
 public:
  TForeignDC(TColor textColor, int fontHeight) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 16;
    bi.bmiHeader.biHeight = -16;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    FBitmap = GdiCreateDIBSection(nullptr, &bi, &bits);
    FDC = GdiCreateCompatibleDC(nullptr);
    FOld = SelectObject(FDC, FBitmap);
    LOGFONTW lf{};
    lf.lfHeight = fontHeight;
    lstrcpyW(lf.lfFaceName, L"Tahoma");
    FFont = GdiCreateFont(lf);
    FOldFont = SelectObject(FDC, FFont);
    SetTextColor(FDC, static_cast<COLORREF>(textColor));
  }
  ~TForeignDC() {
    SelectObject(FDC, FOldFont);
    SelectObject(FDC, FOld);
    GdiDeleteObject(FFont);
    GdiDeleteObject(FBitmap);
    GdiDeleteDC(FDC);
  }
  TForeignDC(const TForeignDC&) = delete;
  TForeignDC& operator=(const TForeignDC&) = delete;
  HDC DC() const { return FDC; }
  COLORREF Pixel(int x, int y) const { return GetPixel(FDC, x, y); }

 private:
  HBITMAP FBitmap;
  HDC FDC;
  HGDIOBJ FOld, FOldFont;
  HFONT FFont;
};

}  // namespace

// ---------------------------------------------------------------------------
// Paint canvas
// ---------------------------------------------------------------------------

TEST(TcxPaintCanvasTest, NestedDCsAreRestoredInReverseOrder) {
  cxGraphicsInitialize();
  {
    auto* paint = Make<TcxPaintCanvas>();
    TForeignDC dc1(RGB(1, 2, 3), -15), dc2(RGB(4, 5, 6), -21);
    const TDCLook look1(dc1.DC()), look2(dc2.DC());
    const long live = GdiAccounting::Live();

    paint->BeginPaint(dc1.DC());
    EXPECT_EQ(paint->Handle(), dc1.DC());
    // The canvas starts with what the DC had.
    EXPECT_EQ(paint->Font()->Height(), -15);
    EXPECT_EQ(paint->Font()->Color(), static_cast<TColor>(RGB(1, 2, 3)));
    paint->Font()->SetHeight(-30);
    paint->FillRect(TRect(0, 0, 2, 2), clRed);
    paint->SetViewportOrg(TPoint(3, 3));

    paint->BeginPaint(dc2.DC());
    EXPECT_EQ(paint->PaintCount(), 2);
    EXPECT_EQ(paint->Handle(), dc2.DC());
    EXPECT_EQ(paint->Font()->Height(), -21);
    paint->FillRect(TRect(0, 0, 2, 2), clBlue);
    paint->SetViewportOrg(TPoint(5, 5));
    paint->EndPaint();

    EXPECT_TRUE(TDCLook(dc2.DC()) == look2);
    EXPECT_EQ(paint->Canvas()->HandleAllocated(), true);
    EXPECT_EQ(paint->Handle(), dc1.DC());
    EXPECT_EQ(paint->Font()->Height(), -30);   // the state of the outer paint
    EXPECT_EQ(paint->ViewportOrg(), TPoint(3, 3));
    paint->EndPaint();

    EXPECT_FALSE(paint->Canvas()->HandleAllocated());
    EXPECT_TRUE(TDCLook(dc1.DC()) == look1);
    EXPECT_EQ(dc1.Pixel(1, 1), static_cast<COLORREF>(clRed));
    EXPECT_EQ(dc2.Pixel(1, 1), static_cast<COLORREF>(clBlue));
    paint->EndPaint();   // unmatched: nothing
    EXPECT_EQ(paint->PaintCount(), 0);

    TObject::Free(paint);
    EXPECT_LE(GdiAccounting::Live(), live);
  }
  cxGraphicsFinalize();
}

TEST(TcxPaintCanvasTest, ForeignCanvasKeepsItsObjects) {
  auto* paint = Make<TcxPaintCanvas>();
  TCanvas* own = paint->Canvas();
  TCanvasBitmap target(8, 8);
  TCanvas* foreign = target.Bitmap()->Canvas();
  foreign->Font()->SetHeight(-14);
  foreign->Font()->SetColor(clNavy);
  foreign->Brush()->SetColor(clTeal);
  foreign->Pen()->SetColor(clMaroon);
  foreign->Pen()->SetWidth(2);

  paint->BeginPaint(foreign);
  EXPECT_EQ(paint->Canvas(), foreign);
  paint->Font()->SetHeight(-40);
  paint->FillRect(TRect(0, 0, 8, 8), clRed);
  paint->Pen()->SetColor(clLime);
  paint->Pen()->SetWidth(5);
  paint->EndPaint();

  EXPECT_EQ(paint->Canvas(), own);
  EXPECT_EQ(foreign->Font()->Height(), -14);
  EXPECT_EQ(foreign->Font()->Color(), clNavy);
  EXPECT_EQ(foreign->Brush()->Color(), clTeal);
  EXPECT_EQ(foreign->Pen()->Color(), clMaroon);
  EXPECT_EQ(foreign->Pen()->Width(), 2);
  EXPECT_EQ(target.Pixel(3, 3), clRed);
  EXPECT_EQ(foreign->LockCount(), 0);

  // Freed while a foreign canvas is attached: the foreign one stays alive.
  paint->BeginPaint(foreign);
  TObject::Free(paint);
  foreign->FillRect(TRect(0, 0, 1, 1));
  EXPECT_EQ(target.Pixel(0, 0), clTeal);

  TcxPaintCanvas bad;
  EXPECT_THROW(bad.BeginPaint(static_cast<TCanvas*>(nullptr)), EInvalidOperation);
  EXPECT_THROW(bad.BeginPaint(static_cast<HDC>(nullptr)), EInvalidOperation);
  EXPECT_EQ(bad.PaintCount(), 0);
}

// ---------------------------------------------------------------------------
// Screen canvas
// ---------------------------------------------------------------------------

TEST(TcxScreenCanvasTest, HoldsADesktopDCOnlyUntilDormant) {
  const long dcs = GdiAccounting::Live(gokDC);
  auto* screen = Make<TcxScreenCanvas>();
  EXPECT_EQ(GdiAccounting::Live(gokDC), dcs);   // taken on first use only
  EXPECT_GT(screen->TextWidth(L"Measure"), 0);
  EXPECT_EQ(GdiAccounting::Live(gokDC), dcs + 1);
  screen->Dormant();
  EXPECT_EQ(GdiAccounting::Live(gokDC), dcs);
  screen->Dormant();   // nothing held: nothing to do
  EXPECT_NE(screen->Handle(), nullptr);   // a fresh one
  EXPECT_EQ(GdiAccounting::Live(gokDC), dcs + 1);
  TObject::Free(screen);   // gives it back
  EXPECT_EQ(GdiAccounting::Live(gokDC), dcs);
}

// ---------------------------------------------------------------------------
// Solid-brush cache
// ---------------------------------------------------------------------------

TEST(TcxSolidBrushCacheTest, SystemColoursBypassTheCache) {
  TcxSolidBrushCache cache;
  EXPECT_EQ(cache.MaxDepth(), 128);
  EXPECT_EQ(cache.GetBrush(clBtnFace), GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(cache.GetBrush(clMenuBar), GetSysColorBrush(30));
  EXPECT_EQ(cache.Depth(), 0);
  // A system colour beyond 30 gets a solid brush of its current RGB value.
  HBRUSH beyond = cache.GetBrush(clSystemColor | 31);
  EXPECT_EQ(cache.Depth(), 1);
  LOGBRUSH lb{};
  GetObjectW(beyond, sizeof(lb), &lb);
  EXPECT_EQ(static_cast<TColor>(lb.lbColor), ColorToRGB(clSystemColor | 31));
}

TEST(TcxSolidBrushCacheTest, EvictsTheLeastUsedLowestEntry) {
  const long brushes = GdiAccounting::Live(gokBrush);
  {
    TcxSolidBrushCache cache;
    // 128 distinct colours, requested in descending order: the cache keeps them sorted.
    for (int i = 127; i >= 0; --i) cache.GetBrush(RGB(i, 0, 1));
    EXPECT_EQ(cache.Depth(), 128);
    for (int i = 1; i < 128; ++i) ASSERT_LT(cache.Colors(i - 1), cache.Colors(i));
    // Two hits on the lowest colour and one on the next: both survive evictions.
    HBRUSH lowest = cache.GetBrush(RGB(0, 0, 1));
    EXPECT_EQ(cache.GetBrush(RGB(0, 0, 1)), lowest);
    cache.GetBrush(RGB(1, 0, 1));
    EXPECT_EQ(cache.Counts(0), 2u);
    EXPECT_EQ(cache.Counts(1), 1u);
    EXPECT_EQ(GdiAccounting::Live(gokBrush), brushes + 128);

    // The 129th colour: index 2 is the first with count 0; the new one goes in order.
    const TColor added = static_cast<TColor>(RGB(200, 0, 1));
    cache.GetBrush(added);
    EXPECT_EQ(cache.Depth(), 128);
    // The evicted brush waits for the message loop: a painter may still hold it.
    EXPECT_EQ(cache.RetiredCount(), 1);
    EXPECT_EQ(GdiAccounting::Live(gokBrush), brushes + 129);
    EXPECT_EQ(cache.Colors(0), static_cast<TColor>(RGB(0, 0, 1)));
    EXPECT_EQ(cache.Colors(1), static_cast<TColor>(RGB(1, 0, 1)));
    EXPECT_EQ(cache.Colors(2), static_cast<TColor>(RGB(3, 0, 1)));
    EXPECT_EQ(cache.Colors(127), added);
    EXPECT_EQ(cache.Counts(127), 0u);
    // A new entry is the first victim at the next eviction... unless it sits
    // behind a lower-index entry that is also unused: the lowest index wins.
    cache.GetBrush(static_cast<TColor>(RGB(201, 0, 1)));
    EXPECT_EQ(cache.Colors(2), static_cast<TColor>(RGB(4, 0, 1)));

    // A palette change empties the cache; the next request makes a new brush.
    cache.HandlePaletteChange();
    EXPECT_EQ(cache.Depth(), 0);
    EXPECT_EQ(GdiAccounting::Live(gokBrush), brushes);
    EXPECT_NE(GetObjectType(cache.GetBrush(RGB(0, 0, 1))), 0u);
  }
  EXPECT_EQ(GdiAccounting::Live(gokBrush), brushes);
}

// ---------------------------------------------------------------------------
// Module start-up and shutdown
// ---------------------------------------------------------------------------

TEST(cxGraphicsModuleTest, SharedObjectsAndShutdown) {
  cxGraphicsInitialize();
  EXPECT_FALSE(cxGraphicsIsFinalizing());
  EXPECT_NE(cxGetAlphaBlendProc(), nullptr);   // msimg32 is there under Wine
  EXPECT_EQ(GetClass(L"TcxBitmap"), TcxBitmap::StaticClass());
  EXPECT_EQ(GetClass(L"TcxBitmap32"), TcxBitmap32::StaticClass());
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(cxGetScreenDpi(),
            TSize(GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)));
  ReleaseDC(nullptr, screen);
  TcxScreenCanvas* screenCanvas = cxGetSharedScreenCanvas();
  ASSERT_NE(screenCanvas, nullptr);
  EXPECT_EQ(cxGetSharedScreenCanvas(), screenCanvas);
  TcxPaintCanvas* paintCanvas = cxGetSharedPaintCanvas();
  ASSERT_NE(paintCanvas, nullptr);
  EXPECT_EQ(cxGetSharedPaintCanvas(), paintCanvas);
  EXPECT_NE(cxGetCachedBrush(clRed), nullptr);
  screenCanvas->TextWidth(L"x");   // holds a DC: shutdown gives it back

  // Shut the module down completely, whoever started it, then start it
  // again as often as it had been started.
  const long dcs = GdiAccounting::Live(gokDC);
  const long brushes = GdiAccounting::Live(gokBrush);
  const int cached = cxGetSolidBrushCache()->Depth();
  int starts = 0;
  while (!cxGraphicsIsFinalizing() && starts < 100) {
    cxGraphicsFinalize();
    ++starts;
  }
  ASSERT_TRUE(cxGraphicsIsFinalizing());
  EXPECT_EQ(cxGetSharedScreenCanvas(), nullptr);
  EXPECT_EQ(cxGetSharedPaintCanvas(), nullptr);
  EXPECT_EQ(cxGetSolidBrushCache(), nullptr);
  EXPECT_EQ(cxGetCachedBrush(clRed), nullptr);
  EXPECT_EQ(cxGetAlphaBlendProc(), nullptr);
  EXPECT_LE(GdiAccounting::Live(gokDC), dcs - 1);   // the screen DC (and what else the module held)
  EXPECT_LE(GdiAccounting::Live(gokBrush), brushes - cached);

  for (int i = 0; i < starts; ++i) cxGraphicsInitialize();
  EXPECT_FALSE(cxGraphicsIsFinalizing());
  EXPECT_NE(cxGetSharedPaintCanvas(), nullptr);
  cxGraphicsFinalize();
}
