// The library's bitmaps, canvas stacks and regions when the system cannot make
// a GDI object: each piece of work runs with every one of its creations
// failing in turn and must finish or raise EOutOfResources, leak nothing, and
// leave the canvas's clip, locks and stacks as they were.
#include "platform/WinApi.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxGraphicsRoutines.h"
#include "tests/foundation/cxGraphicsCanvasTestSupport.h"

#include "tests/support/GdiFailures.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

using cnvtest::kBack;
using cnvtest::TCanvasBitmap;
using gdifail::TArmed;

namespace {

TRect ClipBounds(TcxCanvas* canvas) {
  Owned<TcxRegion> clip(canvas->GetClipRegion(true));
  return clip->BoundsRect();
}

using gdifail::TFailureCase;

const TFailureCase kCases[] = {
    {"TcxBitmap made and drawn on",
     [](const TArmed& armed) {
       Owned<TcxBitmap> bitmap;
       armed([&] {
         bitmap.reset(Make<TcxBitmap>(12, 8));
         bitmap->cxCanvas()->FillRect(bitmap->ClientRect(), clRed);
         bitmap->cxCanvas()->Font()->SetSize(19);
         TRect r = bitmap->ClientRect();
         bitmap->cxCanvas()->DrawTexT(L"Ab", r, cxtfLeft | cxtfSingleLine);
         bitmap->Rotate(raPlus90);
       });
     }},
    {"TcxBitmap32 cleared, read, written and converted",
     [](const TArmed& armed) {
       Owned<TcxBitmap32> bitmap;
       auto device = MakeOwned<TBitmap>();
       if (armed([&] {
             bitmap.reset(Make<TcxBitmap32>(6, 4, true));
             bitmap->SetAlphaChannel(200);
             bitmap->RecoverTransparency(clBlack);
             device->SetSize(6, 4);
             TRGBColors colors;
             cxReadBitmapColors(device.get(), true, colors);
             colors.assign(colors.size(), RGBQUAD{0, 0, 255, 0});
             cxApplyColorsToBitmap(device.get(), colors, true);
           })) {
         // A read or write without its DC would have done nothing.
         EXPECT_EQ(::GetPixel(device->Canvas()->Handle(), 5, 3), RGB(255, 0, 0));
       }
     }},
    {"TcxAlphaBitmap shadowed and shaded",
     [](const TArmed& armed) {
       auto bitmap = MakeOwned<TcxAlphaBitmap>(8, 8);
       auto mask = MakeOwned<TcxAlphaBitmap>(8, 8);
       mask->Clear();
       armed([&] {
         bitmap->DrawShadow(mask.get(), 2, clBlack, true);
         bitmap->Shade(mask.get());
       });
     }},
    {"canvas state saved and restored",
     [](const TArmed& armed) {
       TCanvasBitmap surface(16, 16);
       TcxCanvas* canvas = surface.Canvas();
       canvas->Font()->SetHeight(-13);
       canvas->FillRect(TRect(0, 0, 1, 1), clWhite);
       if (armed([&] { canvas->SaveState(); })) {
         canvas->Font()->SetHeight(-27);
         canvas->RestoreState();
       } else {
         // Nothing was pushed: the restore does nothing, the canvas is free.
         canvas->RestoreState();
       }
       EXPECT_EQ(canvas->Font()->Height(), -13);
       EXPECT_EQ(canvas->Canvas()->LockCount(), 0);
       canvas->FillRect(TRect(0, 0, 4, 4), clRed);
       EXPECT_EQ(surface.Pixel(3, 3), clRed);
     }},
    {"clip regions saved, combined and restored",
     [](const TArmed& armed) {
       TCanvasBitmap surface(32, 32);
       TcxCanvas* canvas = surface.Canvas();
       canvas->IntersectClipRect(TRect(0, 0, 20, 20));
       int saved = 0;
       armed([&] {
         canvas->SaveClipRegion();
         ++saved;
         canvas->SetClipRegion(Make<TcxRegion>(10, 10, 30, 30), roIntersect);
         EXPECT_TRUE(canvas->RectFullyVisible(TRect(12, 12, 18, 18)));
         canvas->FillRect(TRect(0, 0, 32, 32), nullptr, true);
         canvas->SetClipRegion(TcxRegion::CreateRoundCorners(0, 0, 20, 20, 4, 4), roAdd);
         canvas->RestoreClipRegion();
         --saved;
       });
       // Whatever failed, the clip never grew beyond what was there before.
       const TRect clip = ClipBounds(canvas);
       EXPECT_GE(clip.Left, 0);
       EXPECT_GE(clip.Top, 0);
       EXPECT_LE(clip.Right, 20);
       EXPECT_LE(clip.Bottom, 20);
       while (saved-- > 0) canvas->RestoreClipRegion();
       EXPECT_EQ(ClipBounds(canvas), TRect(0, 0, 20, 20));
     }},
    {"regions combined and made from paths",
     [](const TArmed& armed) {
       TCanvasBitmap surface(16, 16);
       TcxCanvas* canvas = surface.Canvas();
       armed([&] {
         Owned<TcxRegion> round(TcxRegion::CreateRoundCorners(0, 0, 12, 12, 5, 5));
         round->Combine(Make<TcxRegion>(2, 2, 4, 4), roSubtract);
         round->Combine(Make<TcxRegion>(static_cast<HRGN>(nullptr)), roAdd);
         Owned<TcxRegion> empty(Make<TcxRegion>());
         empty->Combine(round.get(), roSet, false);
         canvas->BeginPath();
         const TPoint triangle[] = {TPoint(1, 1), TPoint(10, 1), TPoint(5, 9)};
         canvas->Polygon(triangle);
         canvas->EndPath();
         Owned<TcxRegion> path(canvas->PathToRegion());
         canvas->FillRegion(path.get(), clBlue);
         EXPECT_FALSE(path->IsEmpty());
       });
     }},
    {"paint canvas begun on a DC inside another paint",
     [](const TArmed& armed) {
       TCanvasBitmap outer(8, 8), inner(8, 8);
       auto painter = MakeOwned<TcxPaintCanvas>();
       painter->BeginPaint(outer.Bitmap()->Canvas()->Handle());
       painter->FillRect(TRect(0, 0, 1, 1), clWhite);
       HDC innerDC = inner.Bitmap()->Canvas()->Handle();
       const bool begun = armed([&] { painter->BeginPaint(innerDC); });
       if (begun) {
         painter->FillRect(TRect(0, 0, 8, 8), clRed);
         painter->EndPaint();
       }
       // Back on the outer DC either way, with nothing left locked.
       EXPECT_EQ(painter->PaintCount(), 1);
       EXPECT_EQ(painter->Canvas()->LockCount(), 0);
       painter->FillRect(TRect(0, 0, 8, 8), clBlue);
       EXPECT_EQ(outer.Pixel(7, 7), clBlue);
       EXPECT_EQ(inner.Pixel(7, 7), begun ? clRed : kBack);
       painter->EndPaint();
     }},
    {"solid brushes cached",
     [](const TArmed& armed) {
       auto cache = MakeOwned<TcxSolidBrushCache>(2);
       armed([&] {
         for (TColor color : {clRed, clLime, clBlue, clRed}) ASSERT_NE(cache->GetBrush(color), nullptr);
       });
       // A failure is not remembered as the colour's brush.
       for (TColor color : {clRed, clLime, clBlue})
         EXPECT_EQ(GetObjectType(cache->GetBrush(color)), static_cast<DWORD>(OBJ_BRUSH));
     }},
    {"text at an angle",
     [](const TArmed& armed) {
       TCanvasBitmap surface(24, 24);
       TcxCanvas* canvas = surface.Canvas();
       armed([&] {
         canvas->SetFontAngle(90);
         TRect r(0, 0, 24, 24);
         canvas->DrawTexT(L"x", r, cxtfLeft | cxtfSingleLine);
       });
     }},
};

}  // namespace

TEST(GdiFailureTest, EveryCreationFailingInTurnLeaksNothing) {
  gdifail::SweepEachCase(kCases);
}
