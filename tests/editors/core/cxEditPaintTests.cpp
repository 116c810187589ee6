#include "platform/WinApi.h"
#include "editors/core/cxEdit.h"
#include "editors/core/cxEditViewData.h"

#include "tests/foundation/cxGraphicsCanvasTestSupport.h"
#include "tests/support/LeakCheck.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

using cnvtest::TCanvasBitmap;

namespace {

// One button of a kind and style, its view info calculated for a bounds
// rectangle with the pointer at P, painted on a bitmap of that size.
struct TButtonPaint {
  Owned<TcxCustomEditProperties> Properties{Make<TcxCustomEditProperties>(nullptr)};
  Owned<TcxEditStyle> Style{Make<TcxEditStyle>(nullptr, csNormal, nullptr, false)};
  Owned<TcxCustomEditViewInfo> ViewInfo{Make<TcxCustomEditViewInfo>()};

  TButtonPaint(TcxEditButtonKind AKind, TcxEditButtonStyle AStyle, int AWidth) {
    Style->SetBorderStyle(ebsNone);
    Style->SetTransparentBorder(false);
    Style->SetButtonStyle(AStyle);
    Style->SetColor(clWhite);
    TcxEditButton* button = Properties->Buttons()->Add();
    button->SetKind(AKind);
    button->SetWidth(AWidth);
  }
  TcxEditButtonViewInfo* Button() const { return ViewInfo->ButtonsInfo[0]; }
  void Paint(TCanvasBitmap& ABitmap, const TPoint& P = TPoint(-1, -1)) {
    auto data = MakeOwned<TcxCustomEditViewData>(Properties.get(), Style.get(), false);
    data->Focused = true;
    data->Calculate(TRect(0, 0, ABitmap.Width(), ABitmap.Height()), P, cxmbNone, TShiftState(), ViewInfo.get(),
                    false);
    ViewInfo->PaintEditButton(ABitmap.Canvas(), 0);
  }
};

int CountPixels(const TCanvasBitmap& ABitmap, const TRect& R, TColor AColor) {
  int count = 0;
  for (int y = R.Top; y < R.Bottom; ++y)
    for (int x = R.Left; x < R.Right; ++x)
      if (ABitmap.Pixel(x, y) == ColorToRGB(AColor)) ++count;
  return count;
}

}  // namespace

TEST(cxEditButtonPainting, EllipsisDotsGrowWithTheContentWidth) {
  KeepsResourcesOnPurpose("the shared brush cache keeps the colours painted with");
  // A 3-D button's content is its bounds less two pixels on each side.
  struct TCase {
    int ButtonWidth;
    int DotPixels;
  } cases[] = {{15, 3}, {16, 12}};
  for (const TCase& c : cases) {
    TButtonPaint p(bkEllipsis, bts3D, c.ButtonWidth);
    TCanvasBitmap bitmap(c.ButtonWidth, 20, clWhite);
    p.Paint(bitmap);
    TRect content = p.Button()->Bounds;
    content.Left += 2;
    content.Top += 2;
    content.Right -= 2;
    content.Bottom -= 2;
    EXPECT_EQ(CountPixels(bitmap, content, clBtnText), c.DotPixels) << c.ButtonWidth;
  }
}

TEST(cxEditButtonPainting, ASimpleButtonTurnsFlatWhenHot) {
  KeepsResourcesOnPurpose("the shared brush cache keeps the colours painted with");
  TButtonPaint normal(bkDown, btsSimple, 18);
  TCanvasBitmap normalBitmap(18, 20, clRed);
  normal.Paint(normalBitmap);
  EXPECT_EQ(normal.Button()->Data.State, ebsNormal);
  // Normal: an outer frame in the editor's background colour (white here).
  EXPECT_EQ(normalBitmap.Pixel(5, 0), ColorToRGB(clWhite));

  TButtonPaint hot(bkDown, btsSimple, 18);
  TCanvasBitmap hotBitmap(18, 20, clRed);
  hot.Paint(hotBitmap, TPoint(9, 10));
  EXPECT_EQ(hot.Button()->Data.State, ebsSelected);
  // Hot: the flat look's highlight at the top and shadow at the bottom.
  EXPECT_EQ(hotBitmap.Pixel(5, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(hotBitmap.Pixel(5, 19), ColorToRGB(clBtnShadow));
}

TEST(cxEditButtonPainting, ADisabledEllipsisIsDrawnEmbossed) {
  KeepsResourcesOnPurpose("the shared brush cache keeps the colours painted with");
  TButtonPaint p(bkEllipsis, btsUltraFlat, 20);
  p.Properties->Buttons()->Items(0)->SetEnabled(false);
  TCanvasBitmap bitmap(20, 20, clWhite);
  p.Paint(bitmap);
  EXPECT_EQ(p.Button()->Data.State, ebsDisabled);
  const TRect all(0, 0, 20, 20);
  EXPECT_EQ(CountPixels(bitmap, all, clBtnShadow), 12);
  EXPECT_GT(CountPixels(bitmap, all, clBtnHighlight), 0);
  EXPECT_EQ(CountPixels(bitmap, all, clBtnText), 0);
}

TEST(cxEditButtonPainting, BackgroundFrameAndButtonsOfAStandaloneEditor) {
  KeepsResourcesOnPurpose("the shared brush cache keeps the colours painted with");
  TButtonPaint p(bkEllipsis, bts3D, 16);
  p.Style->SetBorderStyle(ebsSingle);
  p.Style->SetBorderColor(clBlue);
  p.Style->SetColor(clYellow);
  TCanvasBitmap bitmap(60, 20, clRed);
  auto data = MakeOwned<TcxCustomEditViewData>(p.Properties.get(), p.Style.get(), false);
  data->Calculate(TRect(0, 0, 60, 20), TPoint(-1, -1), cxmbNone, TShiftState(), p.ViewInfo.get(), false);
  cxDrawEditBackgroundAndButtons(bitmap.Canvas(), p.ViewInfo.get(), true);
  EXPECT_EQ(bitmap.Pixel(0, 10), ColorToRGB(clBlue));     // frame
  EXPECT_EQ(bitmap.Pixel(59, 10), ColorToRGB(clBlue));
  EXPECT_EQ(bitmap.Pixel(10, 10), ColorToRGB(clYellow));  // interior
  // The button sits inside the frame at the right; its 3-D face is not the interior.
  const TRect button = p.Button()->Bounds;
  EXPECT_EQ(button.Right, 59);
  EXPECT_EQ(bitmap.Pixel(button.Left + 3, 3), ColorToRGB(clBtnFace));
}

TEST(cxEditPaintUtils, ButtonWidthsByKind) {
  TButtonPaint p(bkEllipsis, bts3D, 0);
  TCanvasBitmap bitmap(4, 4);
  TcxEditButtonViewInfo button;
  button.Data.Kind = bkEllipsis;
  EXPECT_EQ(cxCalcEditButtonWidth(bitmap.Canvas(), &button), GetSystemMetrics(SM_CYHSCROLL));
  button.Width = 2;
  EXPECT_EQ(cxCalcEditButtonWidth(bitmap.Canvas(), &button), 4);
  button.Width = 30;
  EXPECT_EQ(cxCalcEditButtonWidth(bitmap.Canvas(), &button), 30);
  button.Width = 0;
  button.Data.Kind = bkText;
  button.Data.VisibleCaption = L"A rather long caption";
  EXPECT_EQ(cxCalcEditButtonWidth(bitmap.Canvas(), &button),
            std::max(bitmap.Canvas()->TextWidth(button.Data.VisibleCaption) + 7, GetSystemMetrics(SM_CYHSCROLL)));
}

TEST(cxEditPaintUtils, GlyphsShowTheBackgroundThroughTheirTransparentColour) {
  KeepsResourcesOnPurpose("the shared brush cache keeps the colours painted with");
  auto glyph = MakeOwned<TBitmap>();
  glyph->SetPixelFormat(pf24bit);
  glyph->SetSize(4, 4);
  glyph->Canvas()->Brush()->SetColor(clFuchsia);
  glyph->Canvas()->FillRect(TRect(0, 0, 4, 4));
  glyph->Canvas()->Brush()->SetColor(clRed);
  glyph->Canvas()->FillRect(TRect(1, 1, 3, 3));
  TCanvasBitmap bitmap(8, 8, clWhite);
  cxDrawGlyphToCanvas(bitmap.Canvas(), 2, 2, clYellow, true, glyph.get());
  EXPECT_EQ(bitmap.Pixel(2, 2), ColorToRGB(clYellow));   // transparent corner
  EXPECT_EQ(bitmap.Pixel(3, 3), ColorToRGB(clRed));      // the glyph's own pixel
  EXPECT_EQ(bitmap.Pixel(0, 0), ColorToRGB(clWhite));    // outside the glyph
  // An image-list image goes onto its background colour.
  auto images = MakeOwned<TImageList>(nullptr);
  images->SetWidth(4);
  images->SetHeight(4);
  images->AddMasked(glyph.get(), clFuchsia);
  TCanvasBitmap listed(8, 8, clWhite);
  cxDrawImageListItemOpaque(listed.Canvas(), images.get(), 0, clBlue, TRect(4, 4, 8, 8));
  EXPECT_EQ(listed.Pixel(4, 4), ColorToRGB(clBlue));
  EXPECT_EQ(listed.Pixel(5, 5), ColorToRGB(clRed));
  EXPECT_EQ(listed.Pixel(3, 3), ColorToRGB(clWhite));
}
