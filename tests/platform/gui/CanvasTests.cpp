// The canvas, drawn on 32-bit bitmaps and checked pixel by pixel.
#include "GraphicsTestSupport.h"

#include <thread>

namespace {

class GraphicsCanvas : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    bitmap_ = MakeBitmap(20, 20, clWhite);
    canvas_ = bitmap_->Canvas();
  }
  TColor At(int x, int y) { return PixelOf(bitmap_.get(), x, y); }
  // The pixels of `color` must be exactly those inside `inside`.
  void ExpectOnly(TColor color, const std::function<bool(int, int)>& inside) {
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x)
        ASSERT_EQ(At(x, y) == color, inside(x, y)) << "pixel (" << x << ", " << y << ")";
  }

  Owned<TBitmap> bitmap_{nullptr, &TObject::Free};
  TCanvas* canvas_ = nullptr;
};

}  // namespace

TEST_F(GraphicsCanvas, FillRectCoversLeftTopButNotRightBottom) {
  canvas_->Brush()->SetColor(clRed);
  canvas_->FillRect(Rect(2, 3, 7, 9));
  ExpectOnly(clRed, [](int x, int y) { return x >= 2 && x < 7 && y >= 3 && y < 9; });
}

TEST_F(GraphicsCanvas, FrameRectDrawsOnlyTheBorder) {
  canvas_->Brush()->SetColor(clBlue);
  canvas_->FrameRect(Rect(2, 2, 8, 6));
  ExpectOnly(clBlue, [](int x, int y) {
    const bool inRect = x >= 2 && x < 8 && y >= 2 && y < 6;
    const bool inner = x >= 3 && x < 7 && y >= 3 && y < 5;
    return inRect && !inner;
  });
}

TEST_F(GraphicsCanvas, PixelsReadAndWrite) {
  canvas_->SetPixel(4, 5, clLime);
  canvas_->SetPixel(19, 19, clBtnFace);   // system colours are resolved
  EXPECT_EQ(canvas_->GetPixel(4, 5), clLime);
  EXPECT_EQ(At(4, 5), clLime);
  EXPECT_EQ(At(19, 19), ColorToRGB(clBtnFace));
  EXPECT_EQ(canvas_->GetPixel(100, 100), static_cast<TColor>(CLR_INVALID));
}

TEST_F(GraphicsCanvas, LineToLeavesOutTheEndPixel) {
  canvas_->Pen()->SetColor(clBlack);
  canvas_->MoveTo(2, 5);
  canvas_->LineTo(10, 5);
  EXPECT_EQ(canvas_->PenPos(), Point(10, 5));
  canvas_->LineTo(10, 12);
  ExpectOnly(clBlack, [](int x, int y) {
    return (y == 5 && x >= 2 && x < 10) || (x == 10 && y >= 5 && y < 12);
  });
}

TEST_F(GraphicsCanvas, PolygonFillsWithTheBrushInsideThePenOutline) {
  canvas_->Pen()->SetColor(clRed);
  canvas_->Brush()->SetColor(clGreen);
  const TPoint triangle[] = {{2, 2}, {12, 2}, {2, 12}};
  canvas_->Polygon(triangle);
  EXPECT_EQ(At(2, 2), clRed);
  EXPECT_EQ(At(7, 2), clRed);
  EXPECT_EQ(At(2, 7), clRed);
  EXPECT_EQ(At(4, 4), clGreen);
  EXPECT_EQ(At(10, 10), clWhite);
  EXPECT_EQ(At(13, 2), clWhite);

  // A clear brush leaves the inside alone.
  canvas_->Brush()->SetStyle(bsClear);
  canvas_->Pen()->SetColor(clBlue);
  canvas_->Rectangle(5, 5, 15, 15);
  EXPECT_EQ(At(5, 5), clBlue);
  EXPECT_EQ(At(14, 14), clBlue);
  EXPECT_EQ(At(15, 15), clWhite);
  EXPECT_EQ(At(10, 10), clWhite);
}

TEST_F(GraphicsCanvas, PenModeNotInvertsTwice) {
  canvas_->Pen()->SetMode(pmNot);
  canvas_->MoveTo(0, 1);
  canvas_->LineTo(5, 1);
  EXPECT_EQ(At(2, 1), clBlack);
  canvas_->MoveTo(0, 1);
  canvas_->LineTo(5, 1);
  EXPECT_EQ(At(2, 1), clWhite);
}

TEST_F(GraphicsCanvas, DrawAndStretchDrawBitmaps) {
  auto small = MakeBitmap(2, 2, clRed);
  small->Canvas()->SetPixel(1, 1, clBlue);
  canvas_->Draw(3, 4, small.get());
  EXPECT_EQ(At(3, 4), clRed);
  EXPECT_EQ(At(4, 5), clBlue);
  EXPECT_EQ(At(5, 6), clWhite);

  canvas_->StretchDraw(Rect(10, 10, 14, 14), small.get());
  EXPECT_EQ(At(10, 10), clRed);
  EXPECT_EQ(At(13, 13), clBlue);
  EXPECT_EQ(At(12, 12), clBlue);
  EXPECT_EQ(At(11, 11), clRed);
  EXPECT_EQ(At(14, 14), clWhite);
}

TEST_F(GraphicsCanvas, TransparentBitmapSkipsItsTransparentColour) {
  // Bottom-left pixel gives the transparent colour.
  auto glyph = MakeBitmap(4, 4, clFuchsia);
  glyph->Canvas()->Brush()->SetColor(clNavy);
  glyph->Canvas()->FillRect(Rect(1, 1, 3, 3));
  glyph->SetTransparent(true);
  EXPECT_EQ(glyph->TransparentColor(), clFuchsia);
  canvas_->Brush()->SetColor(clYellow);
  canvas_->FillRect(Rect(0, 0, 20, 20));
  canvas_->Draw(5, 5, glyph.get());
  ExpectOnly(clNavy, [](int x, int y) { return x >= 6 && x < 8 && y >= 6 && y < 8; });
  ExpectOnly(clYellow, [](int x, int y) { return !(x >= 6 && x < 8 && y >= 6 && y < 8); });

  // A fixed colour wins over the corner pixel.
  glyph->SetTransparentColor(clNavy);
  EXPECT_EQ(glyph->TransparentMode(), tmFixed);
  canvas_->FillRect(Rect(0, 0, 20, 20));
  canvas_->Draw(0, 0, glyph.get());
  EXPECT_EQ(At(0, 0), clFuchsia);
  EXPECT_EQ(At(1, 1), clYellow);
}

TEST_F(GraphicsCanvas, BrushCopyPaintsOneColourWithTheBrush) {
  auto source = MakeBitmap(4, 4, clRed);
  source->Canvas()->SetPixel(0, 0, clBlack);
  canvas_->Brush()->SetColor(clLime);
  canvas_->BrushCopy(Rect(2, 2, 6, 6), source.get(), Rect(0, 0, 4, 4), clRed);
  EXPECT_EQ(At(2, 2), clBlack);
  EXPECT_EQ(At(3, 2), clLime);
  EXPECT_EQ(At(5, 5), clLime);
  EXPECT_EQ(At(6, 6), clWhite);
}

TEST_F(GraphicsCanvas, CopyRectStretchesWithTheCopyMode) {
  auto source = MakeBitmap(2, 1, clRed);
  source->Canvas()->SetPixel(1, 0, clBlue);
  canvas_->CopyRect(Rect(0, 0, 4, 2), source->Canvas(), Rect(0, 0, 2, 1));
  EXPECT_EQ(At(1, 1), clRed);
  EXPECT_EQ(At(2, 0), clBlue);
  canvas_->SetCopyMode(cmNotSrcCopy);
  canvas_->CopyRect(Rect(10, 10, 12, 11), source->Canvas(), Rect(0, 0, 2, 1));
  EXPECT_EQ(At(10, 10), 0xFFFF00);   // not red
}

TEST_F(GraphicsCanvas, TextGeometry) {
  canvas_->Font()->SetName(L"Tahoma");
  canvas_->Font()->SetHeight(-11);
  canvas_->Font()->SetColor(clBlack);
  canvas_->Brush()->SetStyle(bsClear);
  const TSize extent = canvas_->TextExtent(L"Hi");
  EXPECT_GT(extent.cx, 0);
  EXPECT_GE(extent.cy, 11);
  EXPECT_EQ(canvas_->TextWidth(L"Hi"), extent.cx);
  EXPECT_EQ(canvas_->TextWidth(L"HiHi"), 2 * extent.cx);

  canvas_->TextOut(1, 2, L"Hi");
  EXPECT_EQ(canvas_->PenPos(), Point(1 + extent.cx, 2));
  // Ink only inside the text's box, and some of it.
  int ink = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      if (At(x, y) != clWhite) {
        ++ink;
        ASSERT_TRUE(x >= 1 && x < 1 + extent.cx && y >= 2 && y < 2 + extent.cy) << x << "," << y;
      }
  EXPECT_GT(ink, 0);

  TRect r = Rect(0, 0, 200, 0);
  String text = L"Hi";
  canvas_->TextRect(r, text, {tfCalcRect, tfSingleLine});
  EXPECT_EQ(r.Width(), extent.cx);
  EXPECT_EQ(r.Height(), extent.cy);

  // A long text cut to its rectangle with an ellipsis.
  r = Rect(0, 0, extent.cx * 2, extent.cy);
  text = L"Hi Hi Hi Hi Hi Hi";
  canvas_->TextRect(r, text, {tfSingleLine, tfEndEllipsis, tfModifyString});
  EXPECT_NE(text, L"Hi Hi Hi Hi Hi Hi");
  EXPECT_NE(text.find(L"..."), String::npos);
}

TEST_F(GraphicsCanvas, OpaqueTextRectFillsItsRectangle) {
  canvas_->Brush()->SetColor(clAqua);
  canvas_->TextRect(Rect(2, 2, 10, 8), 2, 2, String());
  ExpectOnly(clAqua, [](int x, int y) { return x >= 2 && x < 10 && y >= 2 && y < 8; });
}

TEST_F(GraphicsCanvas, ChangeEventsBracketEachDrawing) {
  TEventCounter changing, changed;
  canvas_->OnChanging = changing.Event();
  canvas_->OnChange = changed.Event();
  TEventCounter bitmapChanged;
  bitmap_->OnChange = bitmapChanged.Event();
  canvas_->FillRect(Rect(0, 0, 1, 1));
  canvas_->LineTo(3, 3);
  canvas_->TextExtent(L"x");   // a query changes nothing
  EXPECT_EQ(changing.Count, 2);
  EXPECT_EQ(changed.Count, 2);
  EXPECT_EQ(bitmapChanged.Count, 2);
}

TEST_F(GraphicsCanvas, WithoutAHandleTheBaseCanvasCannotDraw) {
  auto canvas = MakeOwned<TCanvas>();
  try {
    canvas->FillRect(Rect(0, 0, 1, 1));
    FAIL() << "no exception";
  } catch (EInvalidOperation& e) {
    EXPECT_EQ(e.Message, L"Canvas does not allow drawing");
  }
  EXPECT_FALSE(canvas->HandleAllocated());
}

TEST_F(GraphicsCanvas, AdoptedDcGetsItsOwnObjectsBack) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP target = CreateCompatibleBitmap(dc, 8, 8);
  HGDIOBJ oldBitmap = SelectObject(dc, target);
  const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
  const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
  const HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
  const long fontsBefore = GdiAccounting::Live(gokFont);
  {
    auto canvas = MakeOwned<TCanvas>();
    canvas->SetHandle(dc);
    canvas->Font()->SetHeight(-23);
    canvas->Pen()->SetColor(clRed);
    canvas->Brush()->SetColor(clBlue);
    canvas->Rectangle(0, 0, 4, 4);
    canvas->TextOut(0, 0, L"x");
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), canvas->Font()->Handle());
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), canvas->Pen()->Handle());
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), canvas->Brush()->Handle());

    // A change puts the DC's font back before the old handle is deleted, so
    // the delete succeeds and nothing is left over.
    canvas->Font()->SetHeight(-24);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    canvas->TextOut(0, 0, L"x");
    EXPECT_EQ(GdiAccounting::Live(gokFont), fontsBefore + 1);

    canvas->SetHandle(nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);

    canvas->SetHandle(dc);
    canvas->FillRect(Rect(0, 0, 2, 2));
    EXPECT_NE(GetCurrentObject(dc, OBJ_BRUSH), brush);
  }
  // Freeing the canvas gives the DC back as it was, too.
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
  EXPECT_EQ(GdiAccounting::Live(gokFont), fontsBefore);
  SelectObject(dc, oldBitmap);
  DeleteObject(target);
  DeleteDC(dc);
}

TEST_F(GraphicsCanvas, LockIsHeldAgainstOtherThreads) {
  canvas_->Lock();
  EXPECT_EQ(canvas_->LockCount(), 1);
  bool otherGotIt = true;
  std::thread([&] { otherGotIt = canvas_->TryLock(); }).join();
  EXPECT_FALSE(otherGotIt);
  canvas_->Unlock();
  std::thread([&] {
    otherGotIt = canvas_->TryLock();
    if (otherGotIt) canvas_->Unlock();
  }).join();
  EXPECT_TRUE(otherGotIt);
  EXPECT_EQ(canvas_->LockCount(), 0);
}
