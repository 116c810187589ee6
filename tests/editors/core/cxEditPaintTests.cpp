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
