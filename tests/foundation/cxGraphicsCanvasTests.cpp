#include "platform/WinApi.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/GdiAccounting.h"
#include "tests/foundation/cxGraphicsCanvasTestSupport.h"

#include <gtest/gtest.h>

using cnvtest::kBack;
using cnvtest::TCanvasBitmap;

namespace {

// The clip of the DC in logical coordinates, as a fresh region.
TRect ClipBounds(TcxCanvas* canvas) {
  TcxRegion* clip = canvas->GetClipRegion(true);
  const TRect r = clip->BoundsRect();
  TObject::Free(clip);
  return r;
}

bool ClipEquals(TcxCanvas* canvas, TcxRegion* expected) {
  TcxRegion* clip = canvas->GetClipRegion(true);
  const bool equal = clip->IsEqual(expected);
  TObject::Free(clip);
  return equal;
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxRegion
// ---------------------------------------------------------------------------

TEST(TcxRegionTest, HandleIsOwnedAndFreedOnce) {
  const long regions = GdiAccounting::Live(gokRegion);
  auto* empty = Make<TcxRegion>();
  EXPECT_TRUE(empty->IsEmpty());
  EXPECT_EQ(empty->BoundsRect(), TRect());
  HRGN handle = empty->Handle();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(GdiAccounting::Live(gokRegion), regions + 1);
  TObject::Free(empty);
  EXPECT_EQ(GdiAccounting::Live(gokRegion), regions);
  EXPECT_EQ(GetObjectType(handle), 0u);

  // Handle 0 is allowed: nothing to delete, every query answers "empty".
  auto* none = Make<TcxRegion>(static_cast<HRGN>(nullptr));
  EXPECT_TRUE(none->IsEmpty());
  EXPECT_FALSE(none->PtInRegion(0, 0));
  TObject::Free(none);

  // A detached handle stays with the caller.
  auto* detached = Make<TcxRegion>(0, 0, 5, 5);
  HRGN kept = detached->Handle();
  detached->SetHandle(nullptr);
  TObject::Free(detached);
  EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_REGION));
  GdiDeleteObject(kept);
  EXPECT_EQ(GdiAccounting::Live(gokRegion), regions);
}

TEST(TcxRegionTest, RoundCornersStartOnePixelIn) {
  // The platform's rounded rectangle from (1, 1) to (10, 10): left and top
  // move in, right and bottom are passed as they are.
  TcxRegion* r = TcxRegion::CreateRoundCorners(0, 0, 10, 10, 3, 3);
  HRGN platform = CreateRoundRectRgn(1, 1, 10, 10, 3, 3);
  EXPECT_TRUE(r->IsEqual(platform));
  DeleteObject(platform);
  EXPECT_EQ(r->BoundsRect().TopLeft(), TPoint(1, 1));
  EXPECT_FALSE(r->PtInRegion(0, 5));
  EXPECT_FALSE(r->PtInRegion(5, 0));
  EXPECT_TRUE(r->PtInRegion(1, 5));
  EXPECT_TRUE(r->PtInRegion(5, 1));
  TObject::Free(r);
}

TEST(TcxRegionTest, CombineOperations) {
  struct TCase {
    TcxRegionOperation Operation;
    TRect Bounds;
  };
  const long regions = GdiAccounting::Live(gokRegion);
  for (const TCase& c : {TCase{roSet, {5, 0, 15, 10}}, TCase{roAdd, {0, 0, 15, 10}},
                         TCase{roSubtract, {0, 0, 5, 10}}, TCase{roIntersect, {5, 0, 10, 10}}}) {
    SCOPED_TRACE(EnumName(c.Operation));
    TcxRegion a(0, 0, 10, 10);
    auto* b = Make<TcxRegion>(5, 0, 15, 10);
    a.Combine(b, c.Operation, false);
    EXPECT_EQ(a.BoundsRect(), c.Bounds);
    EXPECT_EQ(b->BoundsRect(), TRect(5, 0, 15, 10));   // the argument is unchanged
    a.Combine(b, roAdd, true);                          // and freed on request
  }
  EXPECT_EQ(GdiAccounting::Live(gokRegion), regions);

  // roSet copies the shape; later changes of the source do not reach the copy.
  TcxRegion target(0, 0, 1, 1);
  auto* source = Make<TcxRegion>(2, 3, 7, 9);
  target.Combine(source, roSet, false);
  source->Offset(100, 100);
  EXPECT_EQ(target.BoundsRect(), TRect(2, 3, 7, 9));
  TObject::Free(source);

  // A region combined with itself is not freed by its own Combine.
  target.Combine(&target, roAdd, true);
  EXPECT_EQ(target.BoundsRect(), TRect(2, 3, 7, 9));
  // Combining a region without a handle treats it as empty.
  target.Combine(Make<TcxRegion>(static_cast<HRGN>(nullptr)), roIntersect, true);
  EXPECT_TRUE(target.IsEmpty());
}

TEST(TcxRegionTest, EqualityOffsetAndHitTests) {
  TcxRegion a(0, 0, 10, 10), b(0, 0, 10, 10), empty1, empty2(5, 5, 5, 5);
  EXPECT_FALSE(a.IsEqual(static_cast<TcxRegion*>(nullptr)));
  EXPECT_TRUE(a.IsEqual(&b));
  EXPECT_TRUE(empty1.IsEqual(&empty2));
  EXPECT_FALSE(a.IsEqual(&empty1));
  b.Offset(TPoint(3, 4));
  EXPECT_FALSE(a.IsEqual(&b));
  EXPECT_EQ(b.BoundsRect(), TRect(3, 4, 13, 14));
  EXPECT_TRUE(b.PtInRegion(TPoint(3, 4)));
  EXPECT_FALSE(b.PtInRegion(13, 14));
  EXPECT_TRUE(b.RectInRegion(0, 0, 4, 5));
  EXPECT_FALSE(b.RectInRegion(TRect(0, 0, 3, 4)));
}

// ---------------------------------------------------------------------------
// Clip regions
// ---------------------------------------------------------------------------

TEST(TcxCanvasClipTest, WithoutClippingTheRegionIsTheBigRectangle) {
  TCanvasBitmap b(16, 16);
  TcxCanvas* c = b.Canvas();
  TcxRegion* clip = c->GetClipRegion(false);
  EXPECT_EQ(clip->BoundsRect(), TRect(0, 0, 30000, 30000));
  TObject::Free(clip);

  c->SetViewportOrg(TPoint(10, 5));
  EXPECT_EQ(c->DCOrigin(), TPoint(10, 5));
  EXPECT_EQ(ClipBounds(c), TRect(-10, -5, 29990, 29995));
  c->SetWindowOrg(TPoint(4, 1));
  EXPECT_EQ(c->DCOrigin(), TPoint(6, 4));
}

TEST(TcxCanvasClipTest, SaveAndRestoreGiveBackTheExactRegion) {
  TCanvasBitmap b(64, 64);
  TcxCanvas* c = b.Canvas();
  const long regions = GdiAccounting::Live(gokRegion);
  c->SetViewportOrg(TPoint(3, 2));   // logical and device coordinates differ

  // Each level: save, apply an operation, compare with the region computed aside.
  struct TStep {
    TcxRegionOperation Operation;
    TRect Rect;
  };
  const TStep steps[] = {{roSet, {0, 0, 40, 40}},
                         {roSubtract, {10, 10, 20, 20}},
                         {roAdd, {50, 50, 60, 60}},
                         {roIntersect, {5, 5, 55, 55}}};
  std::vector<TcxRegion*> expected;
  auto* model = Make<TcxRegion>(-3, -2, 29997, 29998);   // the unclipped rectangle, logical
  for (const TStep& s : steps) {
    SCOPED_TRACE(EnumName(s.Operation));
    expected.push_back(Make<TcxRegion>());
    expected.back()->Combine(model, roSet, false);
    c->SaveClipRegion();
    c->SetClipRegion(Make<TcxRegion>(s.Rect), s.Operation);
    model->Combine(Make<TcxRegion>(s.Rect), s.Operation);
    EXPECT_TRUE(ClipEquals(c, model));
  }
  // The drawing obeys the clip: a fill over everything touches the model only.
  c->FillRect(TRect(-10, -10, 70, 70), clRed);
  TPoint where;
  EXPECT_EQ(b.Mismatches([&](int x, int y) { return model->PtInRegion(x - 3, y - 2) ? clRed : kBack; },
                         &where),
            0)
      << where.X << "," << where.Y;

  for (int i = static_cast<int>(expected.size()) - 1; i >= 0; --i) {
    c->RestoreClipRegion();
    EXPECT_TRUE(ClipEquals(c, expected[i])) << "level " << i;
    TObject::Free(expected[i]);
  }
  TObject::Free(model);
  c->RestoreClipRegion();   // nothing left: no-op
  EXPECT_EQ(GdiAccounting::Live(gokRegion), regions);
}

TEST(TcxCanvasClipTest, ArgumentRegionKeptWhenNotDestroyed) {
  TCanvasBitmap b(32, 32);
  TcxCanvas* c = b.Canvas();
  c->SetViewportOrg(TPoint(7, 3));
  TcxRegion r(2, 2, 12, 12);
  c->SetClipRegion(&r, roIntersect, false, true);
  EXPECT_EQ(r.BoundsRect(), TRect(2, 2, 12, 12));
  EXPECT_EQ(ClipBounds(c), TRect(2, 2, 12, 12));
  c->SetClipRegion(&r, roSet, false, true);
  EXPECT_EQ(r.BoundsRect(), TRect(2, 2, 12, 12));
  c->SetClipRegion(nullptr, roSet);   // nothing to apply
  EXPECT_EQ(ClipBounds(c), TRect(2, 2, 12, 12));

  EXPECT_TRUE(c->RectFullyVisible(TRect(2, 2, 12, 12)));
  EXPECT_FALSE(c->RectFullyVisible(TRect(1, 2, 12, 12)));
  EXPECT_TRUE(c->RectVisible(TRect(0, 0, 3, 3)));
  EXPECT_FALSE(c->RectVisible(TRect(12, 12, 20, 20)));
  c->ExcludeClipRect(TRect(2, 2, 12, 7));
  EXPECT_EQ(ClipBounds(c), TRect(2, 7, 12, 12));
  c->IntersectClipRect(TRect(0, 0, 5, 30));
  EXPECT_EQ(ClipBounds(c), TRect(2, 7, 5, 12));
}

// ---------------------------------------------------------------------------
// DC and state stacks
// ---------------------------------------------------------------------------

TEST(TcxCanvasStackTest, DCStackRestoresInReverseOrderAndUnlocks) {
  TCanvasBitmap b(16, 16);
  TcxCanvas* c = b.Canvas();
  TCanvas* platform = c->Canvas();
  c->SaveDC();
  c->SetWindowOrg(TPoint(1, 1));
  c->SaveDC();
  c->SetWindowOrg(TPoint(2, 2));
  c->IntersectClipRect(TRect(0, 0, 4, 4));
  EXPECT_EQ(platform->LockCount(), 2);
  c->RestoreDC();
  EXPECT_EQ(c->WindowOrg(), TPoint(1, 1));
  EXPECT_EQ(ClipBounds(c), TRect(1, 1, 30001, 30001));   // no clip, in logical units
  c->RestoreDC();
  EXPECT_EQ(c->WindowOrg(), TPoint(0, 0));
  EXPECT_EQ(platform->LockCount(), 0);
  c->RestoreDC();     // unmatched: nothing
  c->RestoreState();  // likewise
  EXPECT_EQ(platform->LockCount(), 0);
}

TEST(TcxCanvasStackTest, StateStackRestoresFontBrushAndPen) {
  TCanvasBitmap b(16, 16);
  TcxCanvas* c = b.Canvas();
  auto setUp = [c](const String& face, int height, TColor fontColor, TColor brushColor,
                   TBrushStyle brushStyle, TColor penColor, int penWidth, TPenStyle penStyle,
                   TPenMode penMode) {
    c->Font()->SetName(face);
    c->Font()->SetHeight(height);
    c->Font()->SetColor(fontColor);
    c->Brush()->SetColor(brushColor);
    c->Brush()->SetStyle(brushStyle);
    c->Pen()->SetColor(penColor);
    c->Pen()->SetWidth(penWidth);
    c->Pen()->SetStyle(penStyle);
    c->Pen()->SetMode(penMode);
    c->Handle();   // selected into the DC, as drawing would
  };
  auto expectState = [c](const String& face, int height, TColor fontColor, TColor brushColor,
                         TBrushStyle brushStyle, TColor penColor, int penWidth,
                         TPenStyle penStyle, TPenMode penMode) {
    EXPECT_EQ(c->Font()->Name(), face);
    EXPECT_EQ(c->Font()->Height(), height);
    EXPECT_EQ(c->Font()->Color(), fontColor);
    EXPECT_EQ(c->Brush()->Color(), brushColor);
    EXPECT_EQ(c->Brush()->Style(), brushStyle);
    EXPECT_EQ(c->Pen()->Color(), penColor);
    EXPECT_EQ(c->Pen()->Width(), penWidth);
    EXPECT_EQ(c->Pen()->Style(), penStyle);
    EXPECT_EQ(c->Pen()->Mode(), penMode);
  };

  setUp(L"Tahoma", -11, 0x112233, 0x445566, bsSolid, 0x778899, 1, psSolid, pmCopy);
  c->SaveState();
  setUp(L"Arial", -20, 0x010203, 0x040506, bsCross, 0x070809, 3, psSolid, pmXor);
  c->SaveClipRegion();   // an independent stack in between
  c->SaveState();
  setUp(L"Courier New", -9, clRed, clBlue, bsClear, clLime, 1, psDot, pmNot);
  c->RestoreState();
  expectState(L"Arial", -20, 0x010203, 0x040506, bsCross, 0x070809, 3, psSolid, pmXor);
  c->RestoreClipRegion();
  c->RestoreState();
  expectState(L"Tahoma", -11, 0x112233, 0x445566, bsSolid, 0x778899, 1, psSolid, pmCopy);
  EXPECT_EQ(c->Canvas()->LockCount(), 0);

  // What is drawn afterwards uses the restored objects.
  c->FillRect(TRect(0, 0, 4, 4));
  EXPECT_EQ(b.Pixel(1, 1), 0x445566);
}

TEST(TcxCanvasStackTest, StacksLeakNothing) {
  TCanvasBitmap b(16, 16);
  TcxCanvas* c = b.Canvas();
  auto cycle = [c](int i) {
    c->SaveState();
    c->SaveClipRegion();
    c->SaveDC();
    c->Font()->SetHeight(-10 - i);
    c->Brush()->SetColor(RGB(i, 2 * i, 3));
    c->Pen()->SetColor(RGB(3, i, i));
    c->IntersectClipRect(TRect(0, 0, 8, 8));
    c->FillRect(TRect(0, 0, 10, 10));
    c->TextWidth(L"x");
    c->RestoreDC();
    c->RestoreClipRegion();
    c->RestoreState();
  };
  cycle(0);
  const long live = GdiAccounting::Live();
  for (int i = 1; i < 30; ++i) cycle(i);
  EXPECT_EQ(GdiAccounting::Live(), live);

  // Whatever is still on the stacks goes with the canvas.
  const long regions = GdiAccounting::Live(gokRegion);
  auto* extra = Make<TcxCanvas>(b.Bitmap()->Canvas());
  extra->SaveClipRegion();
  extra->SaveClipRegion();
  TObject::Free(extra);
  EXPECT_EQ(GdiAccounting::Live(gokRegion), regions);
}

namespace {
// Reaches the protected adoption step.
struct TAdoptingCanvas : TcxCanvas {
  using TcxCanvas::TcxCanvas;
  void Adopt(HDC dc) { AdoptDCObjects(dc); }
};
}  // namespace

TEST(TcxCanvasStackTest, AdoptionDescribesWhatTheDCHasSelected) {
  HDC dc = GdiCreateCompatibleDC(nullptr);
  LOGFONTW lf{};
  lf.lfHeight = -17;
  lstrcpyW(lf.lfFaceName, L"Tahoma");
  HFONT font = GdiCreateFont(lf);
  HBRUSH brush = GdiCreateBrush(LOGBRUSH{BS_HATCHED, RGB(1, 2, 3), HS_DIAGCROSS});
  HPEN pen = GdiCreatePen(PS_DASH, 1, RGB(4, 5, 6));
  HGDIOBJ oldFont = SelectObject(dc, font), oldBrush = SelectObject(dc, brush),
          oldPen = SelectObject(dc, pen);
  SetTextColor(dc, RGB(7, 8, 9));
  SetROP2(dc, R2_MASKPEN);
  {
    TCanvas platform;
    TAdoptingCanvas c(&platform);
    c.Adopt(dc);
    EXPECT_EQ(c.Font()->Height(), -17);
    EXPECT_EQ(c.Font()->Name(), L"Tahoma");
    EXPECT_EQ(c.Font()->Color(), static_cast<TColor>(RGB(7, 8, 9)));
    EXPECT_EQ(c.Brush()->Style(), bsDiagCross);
    EXPECT_EQ(c.Brush()->Color(), static_cast<TColor>(RGB(1, 2, 3)));
    EXPECT_EQ(c.Pen()->Style(), psDash);
    EXPECT_EQ(c.Pen()->Color(), static_cast<TColor>(RGB(4, 5, 6)));
    EXPECT_EQ(c.Pen()->Mode(), pmMask);

    SelectObject(dc, GetStockObject(NULL_BRUSH));
    c.Adopt(dc);
    EXPECT_EQ(c.Brush()->Style(), bsClear);
  }
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  GdiDeleteObject(font);
  GdiDeleteObject(brush);
  GdiDeleteObject(pen);
  GdiDeleteDC(dc);
}
