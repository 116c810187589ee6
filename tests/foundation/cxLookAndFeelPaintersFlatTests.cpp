#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPaintersFlat.h"

#include "foundation/cxGraphicsRoutines.h"
#include "foundation/cxLookAndFeelPaintersRegistry.h"
#include "tests/foundation/cxGraphicsCanvasTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using cnvtest::kBack;
using cnvtest::TCanvasBitmap;

TcxCustomLookAndFeelPainterClass Flat() { return TcxFlatLookAndFeelPainter::Instance(); }
const TcxUltraFlatLookAndFeelPainter* UltraFlat() {
  return static_cast<const TcxUltraFlatLookAndFeelPainter*>(
      TcxUltraFlatLookAndFeelPainter::Instance());
}

struct TProbe {
  int X, Y;
  std::function<TColor()> Color;
};

TProbe P(int X, int Y, TColor C) { return TProbe{X, Y, [C] { return C; }}; }
TProbe P(int X, int Y, TColor (*F)()) { return TProbe{X, Y, F}; }

struct TCase {
  std::string Name;
  std::function<void(TcxCanvas*)> Draw;
  std::vector<TProbe> Probes;
  int Width = 16, Height = 14;
};

void Check(const std::vector<TCase>& ACases) {
  for (const TCase& c : ACases) {
    TCanvasBitmap bmp(c.Width, c.Height);
    c.Draw(bmp.Canvas());
    for (const TProbe& p : c.Probes)
      EXPECT_EQ(bmp.Pixel(p.X, p.Y), ColorToRGB(p.Color()))
          << c.Name << " at (" << p.X << ", " << p.Y << ")";
  }
}

auto Button(TcxCustomLookAndFeelPainterClass APainter, TcxButtonState AState) {
  return [APainter, AState](TcxCanvas* C) {
    APainter->DrawButton(C, TRect(2, 2, 14, 12), String(), AState, true, clDefault, clDefault,
                         false, false);
  };
}

bool SameImage(const std::function<void(TcxCanvas*)>& A, const std::function<void(TcxCanvas*)>& B,
               int W = 16, int H = 16) {
  TCanvasBitmap a(W, H), b(W, H);
  A(a.Canvas());
  B(b.Canvas());
  return a.Mismatches([&](int x, int y) { return b.Pixel(x, y); }) == 0;
}

bool Untouched(const std::function<void(TcxCanvas*)>& A, int W = 16, int H = 16) {
  TCanvasBitmap a(W, H);
  A(a.Canvas());
  return a.Mismatches([](int, int) { return kBack; }) == 0;
}

}  // namespace

TEST(FlatPainters, ButtonsPerState) {
  Check({
      {"flat normal", Button(Flat(), cxbsNormal),
       {P(2, 2, clBtnHighlight), P(13, 11, clBtnShadow), P(3, 3, clBtnFace), P(1, 1, kBack)}},
      {"flat hot looks normal", Button(Flat(), cxbsHot),
       {P(2, 2, clBtnHighlight), P(13, 11, clBtnShadow), P(3, 3, clBtnFace)}},
      {"flat default", Button(Flat(), cxbsDefault),
       {P(2, 2, clBlack), P(13, 11, clBlack), P(3, 3, clBtnHighlight), P(12, 10, clBtnShadow),
        P(4, 4, clBtnFace)}},
      {"flat pressed", Button(Flat(), cxbsPressed),
       {P(2, 2, clBtnShadow), P(13, 11, clBtnHighlight), P(3, 3, clBtnFace)}},
      {"ultraflat default", Button(UltraFlat(), cxbsDefault),
       {P(2, 2, clWindowFrame), P(3, 3, clWindowFrame), P(12, 10, clWindowFrame),
        P(4, 4, clBtnFace)}},
      {"ultraflat normal", Button(UltraFlat(), cxbsNormal),
       {P(2, 2, clBtnText), P(13, 11, clBtnText), P(3, 3, clBtnFace)}},
      {"ultraflat hot", Button(UltraFlat(), cxbsHot),
       {P(2, 2, clHighlight), P(13, 11, clHighlight), P(3, 3, cxPaleHighlightTintColor)}},
      {"ultraflat pressed", Button(UltraFlat(), cxbsPressed),
       {P(2, 2, clHighlight), P(3, 3, cxHighlightTintColor), P(12, 10, cxHighlightTintColor)}},
      {"ultraflat disabled", Button(UltraFlat(), cxbsDisabled),
       {P(2, 2, clBtnShadow), P(3, 3, clBtnFace)}},
  });
  for (auto painter : {Flat(), static_cast<TcxCustomLookAndFeelPainterClass>(UltraFlat())}) {
    EXPECT_EQ(painter->ButtonBorderSize(cxbsDefault), 2);
    for (TcxButtonState s : {cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled})
      EXPECT_EQ(painter->ButtonBorderSize(s), 1);
  }
}

TEST(FlatPainters, MetricsAndAnswers) {
  EXPECT_EQ(Flat()->LookAndFeelStyle(), lfsFlat);
  EXPECT_EQ(UltraFlat()->LookAndFeelStyle(), lfsUltraFlat);
  EXPECT_FALSE(Flat()->IsButtonHotTrack());
  EXPECT_TRUE(UltraFlat()->IsButtonHotTrack());
  EXPECT_EQ(Flat()->ButtonTextShift(), 1);
  EXPECT_EQ(UltraFlat()->ButtonTextShift(), 0);
  EXPECT_EQ(Flat()->ButtonTextOffset(), 1);
  EXPECT_EQ(UltraFlat()->ButtonTextOffset(), 2);
  EXPECT_EQ(Flat()->ExpandButtonSize(), 11);
  EXPECT_EQ(UltraFlat()->ExpandButtonSize(), 11);
  EXPECT_EQ(Flat()->SortingMarkSize(), (TPoint{8, 7}));
  EXPECT_EQ(UltraFlat()->SortingMarkSize(), (TPoint{7, 8}));
  EXPECT_EQ(Flat()->FooterCellOffset(), 1);
  EXPECT_EQ(UltraFlat()->FooterCellOffset(), 2);
  EXPECT_EQ(Flat()->FilterCloseButtonSize(), (TPoint{16, 14}));
  EXPECT_EQ(UltraFlat()->FilterCloseButtonSize(), (TPoint{16, 15}));
  EXPECT_EQ(UltraFlat()->HeaderBorders(TcxNeighbors{nLeft, nTop}), (TcxBorders{bRight, bBottom}));
  EXPECT_EQ(UltraFlat()->HeaderBorders(TcxNeighbors{nRight}), cxBordersAll);
  EXPECT_EQ(UltraFlat()->FooterBorders(), (TcxBorders{bRight, bBottom}));
  EXPECT_EQ(UltraFlat()->ButtonSymbolState(cxbsPressed), cxbsNormal);
  EXPECT_EQ(UltraFlat()->ButtonSymbolColor(cxbsPressed, clDefault), clHighlightText);
  EXPECT_EQ(UltraFlat()->ButtonSymbolColor(cxbsNormal, clRed), clRed);
  EXPECT_EQ(UltraFlat()->ButtonGroupBorderSizes(3, 0), TRect(2, 2, 1, 2));
  EXPECT_EQ(UltraFlat()->ButtonGroupBorderSizes(3, 1), TRect(1, 2, 1, 2));
  EXPECT_EQ(UltraFlat()->ButtonGroupBorderSizes(1, 0), TRect(2, 2, 2, 2));
  EXPECT_EQ(UltraFlat()->ButtonFocusRect(nullptr, TRect(0, 0, 20, 10)), TRect(3, 3, 17, 7));
  EXPECT_EQ(UltraFlat()->ButtonFocusRect(nullptr, TRect(0, 0, 6, 6)), TRect(0, 0, 6, 6));
  EXPECT_EQ(UltraFlat()->GetSplitterSize(true), (TSize{17, 1}));
  EXPECT_EQ(UltraFlat()->GetSplitterSize(false), (TSize{1, 17}));
  EXPECT_EQ(Flat()->GetSplitterOuterColor(true), cl3DDkShadow);
  EXPECT_EQ(UltraFlat()->GetSplitterOuterColor(true), clHighlight);
  EXPECT_EQ(UltraFlat()->GetButtonBorderColor(cxbsNormal), clBtnShadow);
  EXPECT_EQ(UltraFlat()->GetButtonBorderColor(cxbsHot), clHighlight);
  EXPECT_EQ(UltraFlat()->DefaultSchedulerBorderColor(), clBtnShadow);
}

TEST(FlatPainters, ElementsOfTheFlatLook) {
  const TRect r(0, 0, 10, 10);
  Check({
      {"border: sunken outer edge", [&](TcxCanvas* C) { Flat()->DrawBorder(C, r); },
       {P(0, 0, clBtnShadow), P(9, 9, clBtnHighlight), P(1, 1, kBack)}},
      {"separator: etched line", [&](TcxCanvas* C) { Flat()->DrawSeparator(C, r, false); },
       {P(0, 4, clBtnShadow), P(8, 4, clBtnShadow), P(9, 4, kBack), P(0, 5, kBack),
        P(9, 5, clBtnHighlight), P(0, 3, kBack), P(0, 6, kBack)}},
      {"check border", [&](TcxCanvas* C) { Flat()->DrawCheckBorder(C, r, cxbsPressed); },
       {P(0, 0, clBtnShadow), P(9, 9, clBtnHighlight), P(1, 1, clBtnFace), P(8, 8, clBtnFace),
        P(2, 2, kBack)}},
      {"header section pressed",
       [&](TcxCanvas* C) {
         Flat()->DrawHeaderControlSectionBorder(C, r, TcxBorders{bLeft, bBottom}, cxbsPressed);
       },
       {P(0, 5, clBtnShadow), P(5, 9, clBtnHighlight), P(5, 0, kBack), P(9, 5, kBack)}},
      {"filter drop-down, filter active",
       [&](TcxCanvas* C) { Flat()->DrawFilterDropDownButton(C, r, cxbsNormal, true); },
       {P(1, 1, clBtnFace), P(5, 5, clBlue)}},
      {"date header",
       [&](TcxCanvas* C) {
         TRect h(0, 0, 10, 6);
         Flat()->DrawDateNavigatorDateHeader(C, h);
         EXPECT_EQ(h, TRect(0, 0, 10, 5));
       },
       {P(0, 0, clBtnFace), P(3, 5, clBtnFace), P(3, 6, kBack)}},
      {"scheduler splitter",
       [&](TcxCanvas* C) {
         TcxViewParams params;
         params.Color = clRed;
         Flat()->DrawSchedulerSplitterBorder(C, TRect(2, 2, 12, 8), params, true);
       },
       {P(2, 2, clBtnHighlight), P(11, 7, clBtnShadow), P(1, 4, clRed), P(12, 4, clRed),
        P(1, 2, kBack)}},
      {"group box frame",
       [&](TcxCanvas* C) {
         Flat()->DrawGroupBoxFrame(C, r, true, cxgpTop, cxBordersAll);
         C->FillRect(TRect(0, 0, 16, 14), clRed);  // the frames are excluded from clipping
       },
       {P(0, 0, clBtnShadow), P(1, 1, clBtnHighlight), P(8, 8, clBtnHighlight), P(2, 2, clRed)}},
      {"track bounds",
       [&](TcxCanvas* C) { Flat()->DrawTrackBarTrackBounds(C, r); },
       {P(0, 0, clBtnShadow), P(9, 9, clBtnHighlight), P(1, 1, clBtnFace), P(2, 2, kBack)}},
      {"expand button: a normal button with the sign",
       [&](TcxCanvas* C) {
         Flat()->DrawExpandButton(C, TRect(0, 0, 11, 11), false, clRed);
         C->FillRect(TRect(0, 0, 16, 14), clLime);  // the button is excluded from clipping
       },
       {P(0, 0, clBtnHighlight), P(10, 10, clBtnShadow), P(1, 1, clRed), P(5, 5, clBtnText),
        P(11, 11, clLime)}},
  });
}

TEST(FlatPainters, ElementsOfTheUltraFlatLook) {
  const TRect r(0, 0, 10, 10);
  Check({
      {"border", [&](TcxCanvas* C) { UltraFlat()->DrawBorder(C, r); },
       {P(0, 0, clBtnShadow), P(9, 9, clBtnShadow), P(1, 1, kBack)}},
      {"separator: one line", [&](TcxCanvas* C) { UltraFlat()->DrawSeparator(C, r, false); },
       {P(0, 5, clBtnShadow), P(9, 5, clBtnShadow), P(0, 4, kBack), P(0, 6, kBack)}},
      {"check border", [&](TcxCanvas* C) { UltraFlat()->DrawCheckBorder(C, r, cxbsNormal); },
       {P(0, 0, clBtnText), P(1, 1, clWindow), P(2, 2, kBack)}},
      {"header border without left and top",
       [&](TcxCanvas* C) { UltraFlat()->DrawHeaderBorder(C, r, TcxNeighbors(), TcxBorders()); },
       {P(0, 5, kBack), P(5, 0, kBack), P(9, 5, clBtnText), P(5, 9, clBtnText)}},
      {"header border all sides",
       [&](TcxCanvas* C) { UltraFlat()->DrawHeaderBorder(C, r, TcxNeighbors(), cxBordersAll); },
       {P(0, 5, clBtnText), P(5, 0, clBtnText)}},
      {"header section disabled",
       [&](TcxCanvas* C) {
         UltraFlat()->DrawHeaderControlSectionBorder(C, r, cxBordersAll, cxbsDisabled);
       },
       {P(0, 0, clBtnShadow), P(9, 9, clBtnShadow)}},
      {"header section normal",
       [&](TcxCanvas* C) {
         UltraFlat()->DrawHeaderControlSectionBorder(C, r, TcxBorders{bTop}, cxbsNormal);
       },
       {P(5, 0, clBlack), P(0, 5, kBack)}},
      {"footer: right and bottom",
       [&](TcxCanvas* C) { UltraFlat()->DrawFooterBorder(C, r); },
       {P(9, 5, clBtnShadow), P(5, 9, clBtnShadow), P(0, 5, kBack), P(5, 0, kBack)}},
      {"filter drop-down hot",
       [&](TcxCanvas* C) { UltraFlat()->DrawFilterDropDownButton(C, r, cxbsHot, false); },
       {P(0, 0, clHighlight), P(1, 1, cxPaleHighlightTintColor), P(5, 5, clBtnText)}},
      {"filter drop-down normal",
       [&](TcxCanvas* C) { UltraFlat()->DrawFilterDropDownButton(C, r, cxbsNormal, false); },
       {P(0, 0, clBtnShadow), P(1, 1, clBtnFace)}},
      {"tab right border: dark, one short",
       [&](TcxCanvas* C) {
         UltraFlat()->DrawTabBorder(C, TRect(9, 0, 10, 10), bRight, cxBordersAll, false);
       },
       {P(9, 0, clBtnText), P(9, 8, clBtnText), P(9, 9, kBack)}},
      {"tab left border: shadow",
       [&](TcxCanvas* C) {
         UltraFlat()->DrawTabBorder(C, TRect(0, 0, 1, 10), bLeft, cxBordersAll, false);
       },
       {P(0, 0, clBtnShadow), P(0, 9, clBtnShadow)}},
      {"vertical tab bottom border: dark",
       [&](TcxCanvas* C) {
         UltraFlat()->DrawTabBorder(C, TRect(0, 9, 10, 10), bBottom, cxBordersAll, true);
       },
       {P(0, 9, clBtnText), P(9, 9, clBtnText)}},
      {"group box enabled",
       [&](TcxCanvas* C) { UltraFlat()->DrawGroupBoxFrame(C, r, true, cxgpTop, cxBordersAll); },
       {P(0, 0, clHighlight), P(9, 9, clHighlight), P(1, 1, kBack)}},
      {"group box disabled",
       [&](TcxCanvas* C) { UltraFlat()->DrawGroupBoxFrame(C, r, false, cxgpTop, cxBordersAll); },
       {P(0, 0, clBtnShadow)}},
      {"track bounds",
       [&](TcxCanvas* C) { UltraFlat()->DrawTrackBarTrackBounds(C, r); },
       {P(0, 0, clWindowText), P(9, 9, clWindowText), P(1, 1, kBack)}},
      {"expand button",
       [&](TcxCanvas* C) { UltraFlat()->DrawExpandButton(C, TRect(0, 0, 11, 11), true, clDefault); },
       {P(0, 0, clBtnShadow), P(1, 1, clBtnFace), P(5, 5, clBtnText)}},
      {"hot middle button in a group",
       [&](TcxCanvas* C) { UltraFlat()->DrawButtonInGroup(C, r, cxbsHot, 3, 1, clRed); },
       {P(0, 0, kBack), P(0, 1, clHighlight), P(9, 8, clHighlight), P(1, 1, cxPaleHighlightTintColor),
        P(8, 8, cxPaleHighlightTintColor), P(5, 9, kBack)}},
      {"normal first button in a group",
       [&](TcxCanvas* C) { UltraFlat()->DrawButtonInGroup(C, r, cxbsNormal, 3, 0, clRed); },
       {P(0, 5, kBack), P(1, 1, clRed), P(9, 8, clRed), P(2, 2, clBtnFace), P(8, 7, clBtnFace)}},
      {"group border selected",
       [&](TcxCanvas* C) { UltraFlat()->DrawButtonGroupBorder(C, r, false, true); },
       {P(0, 0, clHighlight)}},
      {"group border in place",
       [&](TcxCanvas* C) { UltraFlat()->DrawButtonGroupBorder(C, r, true, true); },
       {P(0, 0, clBtnText)}},
  });
}

TEST(FlatPainters, UltraFlatPrintPreviewLightensShadowByAThird) {
  TCanvasBitmap bmp(4, 4);
  UltraFlat()->DrawPrintPreviewBackground(bmp.Canvas(), TRect(0, 0, 4, 4));
  const COLORREF s = ColorToRGB(clBtnShadow);
  auto l = [](int v) { return v + (255 - v) / 3; };
  EXPECT_EQ(bmp.Pixel(2, 2), TColor(RGB(l(GetRValue(s)), l(GetGValue(s)), l(GetBValue(s)))));
  if (s == RGB(128, 128, 128)) {
    EXPECT_EQ(bmp.Pixel(0, 0), TColor(RGB(170, 170, 170)));
  }
}

TEST(FlatPainters, ScrollBarParts) {
  const TRect r(0, 0, 16, 16);
  for (auto painter : {Flat(), static_cast<TcxCustomLookAndFeelPainterClass>(UltraFlat())}) {
    SCOPED_TRACE(painter->LookAndFeelStyle() == lfsFlat ? "flat" : "ultraflat");
    EXPECT_TRUE(Untouched([&](TcxCanvas* C) {
      painter->DrawScrollBarPart(C, false, r, sbpThumbnail, cxbsDisabled);
    }));
    EXPECT_TRUE(Untouched([&](TcxCanvas* C) {
      painter->DrawScrollBarPart(C, false, TRect(4, 4, 4, 10), sbpLineUp, cxbsNormal);
    }));
    EXPECT_TRUE(Untouched([&](TcxCanvas* C) {
      painter->DrawScrollBarPart(C, false, r, sbpNone, cxbsNormal);
    }));
    // Arrows point the way of the part: up and down differ, left and right differ.
    EXPECT_FALSE(SameImage(
        [&](TcxCanvas* C) { painter->DrawScrollBarPart(C, false, r, sbpLineUp, cxbsNormal); },
        [&](TcxCanvas* C) { painter->DrawScrollBarPart(C, false, r, sbpLineDown, cxbsNormal); }));
    EXPECT_FALSE(SameImage(
        [&](TcxCanvas* C) { painter->DrawScrollBarPart(C, true, r, sbpLineUp, cxbsNormal); },
        [&](TcxCanvas* C) { painter->DrawScrollBarPart(C, false, r, sbpLineUp, cxbsNormal); }));
  }
  // A hot Flat scroll button looks normal; a hot UltraFlat one is tinted.
  EXPECT_TRUE(SameImage(
      [&](TcxCanvas* C) { Flat()->DrawScrollBarPart(C, false, r, sbpLineDown, cxbsHot); },
      [&](TcxCanvas* C) { Flat()->DrawScrollBarPart(C, false, r, sbpLineDown, cxbsNormal); }));
  Check({{"ultraflat hot thumb",
          [&](TcxCanvas* C) { UltraFlat()->DrawScrollBarPart(C, false, r, sbpThumbnail, cxbsHot); },
          {P(0, 0, clHighlight), P(1, 1, cxPaleHighlightTintColor), P(8, 8, cxPaleHighlightTintColor)},
          16, 16},
         {"flat thumb",
          [&](TcxCanvas* C) { Flat()->DrawScrollBarPart(C, false, r, sbpThumbnail, cxbsNormal); },
          {P(0, 0, clBtnHighlight), P(15, 15, clBtnShadow), P(8, 8, clBtnFace)}, 16, 16}});
}

TEST(FlatPainters, ScrollBarTrackUsesThePatternBitmaps) {
  cxLookAndFeelPaintersRegistryInitialize();
  ASSERT_NE(cxScrollBarPatternBitmaps(0), nullptr);
  for (auto painter : {Flat(), static_cast<TcxCustomLookAndFeelPainterClass>(UltraFlat())}) {
    TCanvasBitmap normal(8, 8), pressed(8, 8);
    painter->DrawScrollBarPart(normal.Canvas(), false, TRect(0, 0, 8, 8), sbpPageUp, cxbsNormal);
    painter->DrawScrollBarPart(pressed.Canvas(), false, TRect(0, 0, 8, 8), sbpPageDown,
                               cxbsPressed);
    EXPECT_EQ(normal.Mismatches([](int, int) { return kBack; }), 64) << "track fully painted";
    EXPECT_GT(normal.Mismatches([&](int x, int y) { return pressed.Pixel(x, y); }), 0)
        << "pressed track uses the other pattern";
    // The brush is solid again afterwards.
    EXPECT_EQ(normal.Canvas()->Brush()->Bitmap(), nullptr);
    EXPECT_EQ(normal.Canvas()->Brush()->Style(), bsSolid);
  }
  cxLookAndFeelPaintersRegistryFinalize();
}

TEST(FlatPainters, UltraFlatPressedCaptionDoesNotMove) {
  // Text drawn by the platform: compared by where the ink lands.
  // Crisp glyphs, whatever the session's font smoothing: every ink pixel is black.
  TFont* font = Make<TFont>();
  font->SetName(L"Tahoma");
  font->SetHeight(-13);
  font->SetQuality(fqNonAntialiased);
  font->SetColor(clBlack);
  auto inkOf = [&](TcxButtonState AState, TcxCustomLookAndFeelPainterClass APainter) {
    TCanvasBitmap bmp(40, 24);
    bmp.Canvas()->SetFont(font);
    APainter->DrawButton(bmp.Canvas(), TRect(0, 0, 40, 24), L"I", AState, false, clWhite,
                         clBlack, false, false);
    return bmp.BoundsOf(clBlack);
  };
  const TRect normal = inkOf(cxbsNormal, UltraFlat());
  ASSERT_FALSE(normal.IsEmpty());
  EXPECT_EQ(inkOf(cxbsPressed, UltraFlat()), normal);
  const TRect flatNormal = inkOf(cxbsNormal, Flat());
  const TRect flatPressed = inkOf(cxbsPressed, Flat());
  EXPECT_EQ(flatPressed.Left, flatNormal.Left + 1);
  EXPECT_EQ(flatPressed.Top, flatNormal.Top + 1);
  TObject::Free(font);
}
