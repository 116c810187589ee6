// Painting of controls checked pixel by pixel: TCustomControl.Paint on its
// canvas, windowless children painted by their parent, window children,
// WM_PAINT with and without double buffering, WM_PRINTCLIENT, PaintTo and the
// parent's background under a control.
#include "tests/platform/gui/ControlsTestSupport.h"
#include "tests/platform/gui/GraphicsTestSupport.h"

namespace {

using namespace ctltest;

class ControlsPaintTest : public ControlsTest {
 protected:
  TCtlPanel *a, *b;
  TCtlGraphic* g;
  // Root (white) 200×150; A (red, a blue square at 5,5..15,15) at 10,10
  // 100×80; G (green) in A at 30,30 20×20; B (yellow window) in A at 60,50 30×20.
  void Build() {
    EnsureGraphics();
    MakeRoot(200, 150);
    root->Fill = clWhite;
    a = Named(Make<TCtlPanel>(root), L"A");
    a->SetParent(root);
    a->SetBounds(10, 10, 100, 80);
    a->Fill = clRed;
    a->PaintProc = [](TCtlPanel* p) {
      p->Canvas()->Brush()->SetColor(clBlue);
      p->Canvas()->FillRect(Rect(5, 5, 15, 15));
    };
    g = Named(Make<TCtlGraphic>(root), L"G");
    g->SetParent(a);
    g->SetBounds(30, 30, 20, 20);
    b = Named(Make<TCtlPanel>(root), L"B");
    b->SetParent(a);
    b->SetBounds(60, 50, 30, 20);
    b->Fill = clYellow;
  }
};

struct PixelCase {
  int x, y;
  TColor color;
};

// Root coordinates.
const PixelCase kScene[] = {
    {0, 0, clWhite},   {199, 149, clWhite}, {110, 90, clWhite},  {10, 10, clRed},     {15, 15, clBlue},
    {24, 24, clBlue},  {25, 25, clRed},     {40, 40, clGreen},   {59, 59, clGreen},   {60, 60, clRed},
    {70, 60, clYellow}, {99, 79, clYellow}, {100, 80, clRed},    {109, 89, clRed},
};

void ExpectScene(TBitmap* bmp, int dx = 0, int dy = 0) {
  GdiFlush();
  for (const PixelCase& c : kScene)
    EXPECT_EQ(PixelOf(bmp, c.x + dx, c.y + dy), c.color) << "at " << c.x << "," << c.y;
}

TEST_F(ControlsPaintTest, PaintToDrawsTheControlItsWindowlessAndItsWindowChildren) {
  Build();
  auto bmp = MakeBitmap(220, 170, clBlack);
  root->PaintTo(bmp->Canvas()->Handle(), 10, 20);
  ExpectScene(bmp.get(), 10, 20);
  EXPECT_EQ(PixelOf(bmp.get(), 5, 5), clBlack) << "nothing outside the control";
}

class ControlsWmPaintTest : public ControlsPaintTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ControlsWmPaintTest, WmPaintPutsTheSceneOnTheScreen) {
  Build();
  root->SetDoubleBuffered(GetParam());
  a->SetDoubleBuffered(GetParam());
  auto paint = [this] {
    RedrawWindow(root->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPending();
  };
  paint();   // the canvases' brushes and fonts are made on the first paint and kept
  const long gdiBefore = GdiAccounting::Live();
  for (int i = 0; i < 3; ++i) paint();
  EXPECT_EQ(GdiAccounting::Live(), gdiBefore) << "painting leaks no GDI object";
  auto bmp = MakeBitmap(200, 150, clBlack);
  HDC screen = GetDC(nullptr);
  POINT origin{0, 0};
  ClientToScreen(root->Handle(), &origin);
  BitBlt(bmp->Canvas()->Handle(), 0, 0, 200, 150, screen, origin.x, origin.y, SRCCOPY);
  ReleaseDC(nullptr, screen);
  ExpectScene(bmp.get());
}

INSTANTIATE_TEST_SUITE_P(DoubleBuffered, ControlsWmPaintTest, ::testing::Values(false, true));

TEST_F(ControlsPaintTest, PrintClientPaintsTheClientAreaAndWindowlessChildrenOnly) {
  Build();
  auto bmp = MakeBitmap(100, 80, clBlack);
  HDC dc = bmp->Canvas()->Handle();
  SendMessageW(a->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dc));
  SendMessageW(a->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  GdiFlush();
  EXPECT_EQ(PixelOf(bmp.get(), 0, 0), clRed);
  EXPECT_EQ(PixelOf(bmp.get(), 5, 5), clBlue);
  EXPECT_EQ(PixelOf(bmp.get(), 30, 30), clGreen);
  EXPECT_EQ(PixelOf(bmp.get(), 65, 55), clRed) << "window children paint themselves";
}

TEST_F(ControlsPaintTest, AParentBackgroundControlShowsItsParentUnderneath) {
  Build();
  auto* c = Named(Make<TCtlPanel>(root), L"C");
  c->SetParent(a);
  c->SetBounds(0, 0, 45, 45);
  c->SetColor(clAqua);
  for (bool parentBackground : {true, false}) {
    c->SetParentBackground(parentBackground);
    auto bmp = MakeBitmap(200, 150, clBlack);
    root->PaintTo(bmp->Canvas()->Handle(), 0, 0);
    GdiFlush();
    // C covers A's 0..45: the blue square at 5..15 and a part of G at 30..45.
    const TColor expectSquare = parentBackground ? clBlue : clAqua;
    const TColor expectG = parentBackground ? clGreen : clAqua;
    const TColor expectRed = parentBackground ? clRed : clAqua;
    EXPECT_EQ(PixelOf(bmp.get(), 15, 15), expectSquare) << parentBackground;
    EXPECT_EQ(PixelOf(bmp.get(), 45, 45), expectG) << parentBackground;
    EXPECT_EQ(PixelOf(bmp.get(), 12, 50), expectRed) << parentBackground;
    EXPECT_EQ(PixelOf(bmp.get(), 60, 60), clRed) << "outside C";
  }
}

TEST_F(ControlsPaintTest, TheCanvasOfAWindowlessControlDrawsInItsPlaceOnTheParent) {
  Build();
  UpdateWindow(root->Handle());
  // Drawing outside a paint: the canvas takes the parent's DC, moved and clipped to G.
  g->Canvas()->Brush()->SetColor(clPurple);
  g->Canvas()->FillRect(Rect(-50, -50, 100, 100));
  g->Canvas()->SetPixel(0, 0, clPurple);
  FreeDeviceContexts();
  auto bmp = MakeBitmap(100, 80, clBlack);
  HDC dc = GetDC(a->Handle());
  BitBlt(bmp->Canvas()->Handle(), 0, 0, 100, 80, dc, 0, 0, SRCCOPY);
  ReleaseDC(a->Handle(), dc);
  GdiFlush();
  EXPECT_EQ(PixelOf(bmp.get(), 30, 30), clPurple);
  EXPECT_EQ(PixelOf(bmp.get(), 49, 49), clPurple);
  EXPECT_EQ(PixelOf(bmp.get(), 29, 29), clRed) << "clipped to the control";
  EXPECT_EQ(PixelOf(bmp.get(), 50, 50), clRed);
}

}  // namespace
