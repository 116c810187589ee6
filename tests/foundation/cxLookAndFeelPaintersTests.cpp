#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPainters.h"

#include "foundation/dxCore.h"
#include "platform/gui/StdCtrls.h"
#include "tests/foundation/cxGraphicsCanvasTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using cnvtest::kBack;
using cnvtest::TCanvasBitmap;

TcxCustomLookAndFeelPainterClass Base() { return TcxCustomLookAndFeelPainter::Instance(); }

int CountOf(const TCanvasBitmap& ABitmap, TColor AColor) {
  const TColor rgb = ColorToRGB(AColor);
  int count = 0;
  for (int y = 0; y < ABitmap.Height(); ++y)
    for (int x = 0; x < ABitmap.Width(); ++x)
      if (ABitmap.Pixel(x, y) == rgb) ++count;
  return count;
}

bool Is(const TCanvasBitmap& ABitmap, int X, int Y, TColor AColor) {
  return ABitmap.Pixel(X, Y) == ColorToRGB(AColor);
}

// A look that records the small operations the composing ones call and
// answers distinct values for them.
class TRecordingPainter : public TcxCustomLookAndFeelPainter {
 public:
  using TcxCustomLookAndFeelPainter::DrawArrow;
  using TcxCustomLookAndFeelPainter::DrawCheckButton;

  mutable std::vector<std::string> Calls;
  mutable std::vector<TRect> BorderRects;
  int BorderWidth = 2;
  int TextShift = 0;
  TcxLookAndFeelStyle Style = lfsStandard;
  bool ThrowFromFooterContent = false;

  TcxLookAndFeelStyle LookAndFeelStyle() const override { return Style; }
  int ButtonBorderSize(TcxButtonState) const override {
    Calls.push_back("ButtonBorderSize");
    return BorderWidth;
  }
  TColor ButtonColor(TcxButtonState AState) const override {
    Calls.push_back("ButtonColor");
    return FaceColor(AState);
  }
  TColor ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor) const override {
    Calls.push_back("ButtonSymbolColor");
    return TcxCustomLookAndFeelPainter::ButtonSymbolColor(AState, ADefaultColor);
  }
  int ButtonTextShift() const override {
    Calls.push_back("ButtonTextShift");
    return TextShift;
  }
  void DrawButtonBorder(TcxCanvas*, const TRect& R, TcxButtonState) const override {
    Calls.push_back("DrawButtonBorder");
    BorderRects.push_back(R);
  }
  void DrawCheckBorder(TcxCanvas*, const TRect& R, TcxButtonState) const override {
    Calls.push_back("DrawCheckBorder");
    BorderRects.push_back(R);
  }
  void DrawFooterContent(TcxCanvas* ACanvas, const TRect& ARect,
                         const TcxViewParams& AViewParams) const override {
    if (ThrowFromFooterContent) throw std::runtime_error("footer content");
    TcxCustomLookAndFeelPainter::DrawFooterContent(ACanvas, ARect, AViewParams);
  }
  TcxBorders HeaderBorders(TcxNeighbors ANeighbors) const override {
    TcxBorders result = cxBordersAll;
    if (ANeighbors.Contains(nLeft)) result.Exclude(bLeft);
    return result;
  }
  int HeaderBorderSize() const override { return 1; }

  static TColor FaceColor(TcxButtonState AState) {
    static const TColor colors[] = {0x000010, 0x000020, 0x000030, 0x000040, 0x000050};
    return colors[AState];
  }
};

// ---------------------------------------------------------------------------
// Identity and default colours
// ---------------------------------------------------------------------------

TEST(cxLookAndFeelPainter, InstanceIsOneObjectWithTheBaseIdentity) {
  EXPECT_EQ(Base(), TcxCustomLookAndFeelPainter::Instance());
  EXPECT_EQ(Base()->LookAndFeelStyle(), lfsStandard);
  EXPECT_FALSE(Base()->NeedRedrawOnResize());
  EXPECT_EQ(Base()->ClassName(), L"TcxCustomLookAndFeelPainter");
}

TEST(cxLookAndFeelPainter, DefaultColoursTable) {
  const TcxCustomLookAndFeelPainter* p = Base();
  struct TCase {
    const char* Name;
    std::function<TColor()> Answer;
    TColor Expected;
  };
  const TCase cases[] = {
      {"ContentColor", [&] { return p->DefaultContentColor(); }, clWindow},
      {"ContentEvenColor", [&] { return p->DefaultContentEvenColor(); }, clWindow},
      {"ContentOddColor", [&] { return p->DefaultContentOddColor(); }, clWindow},
      {"ContentTextColor", [&] { return p->DefaultContentTextColor(); }, clWindowText},
      {"EditorBackground(false)", [&] { return p->DefaultEditorBackgroundColor(false); },
       clDefault},
      {"EditorBackground(true)", [&] { return p->DefaultEditorBackgroundColor(true); },
       clDefault},
      {"EditorBackgroundEx(readonly)",
       [&] { return p->DefaultEditorBackgroundColorEx(esckReadOnly); }, clDefault},
      {"EditorText(true)", [&] { return p->DefaultEditorTextColor(true); }, clDefault},
      {"EditorTextEx(inactive)", [&] { return p->DefaultEditorTextColorEx(esckInactive); },
       clDefault},
      {"FilterBoxColor", [&] { return p->DefaultFilterBoxColor(); }, clBtnShadow},
      {"FilterBoxTextColor", [&] { return p->DefaultFilterBoxTextColor(); }, clBtnHighlight},
      {"FixedSeparatorColor", [&] { return p->DefaultFixedSeparatorColor(); }, clBtnText},
      {"FooterColor", [&] { return p->DefaultFooterColor(); }, clBtnFace},
      {"FooterTextColor", [&] { return p->DefaultFooterTextColor(); }, clBtnText},
      {"GridDetailsSiteColor", [&] { return p->DefaultGridDetailsSiteColor(); }, clBtnFace},
      {"GridLineColor", [&] { return p->DefaultGridLineColor(); }, clBtnShadow},
      {"GroupByBoxColor", [&] { return p->DefaultGroupByBoxColor(); }, clBtnShadow},
      {"GroupByBoxTextColor", [&] { return p->DefaultGroupByBoxTextColor(); }, clBtnFace},
      {"GroupColor", [&] { return p->DefaultGroupColor(); }, clBtnFace},
      {"GroupTextColor", [&] { return p->DefaultGroupTextColor(); }, clBtnText},
      {"HeaderBackgroundColor", [&] { return p->DefaultHeaderBackgroundColor(); }, clBtnShadow},
      {"HeaderBackgroundTextColor", [&] { return p->DefaultHeaderBackgroundTextColor(); },
       clBtnFace},
      {"HeaderColor", [&] { return p->DefaultHeaderColor(); }, clBtnFace},
      {"HeaderTextColor", [&] { return p->DefaultHeaderTextColor(); }, clBtnText},
      {"HyperlinkTextColor", [&] { return p->DefaultHyperlinkTextColor(); }, clBlue},
      {"InactiveColor", [&] { return p->DefaultInactiveColor(); }, clBtnFace},
      {"InactiveTextColor", [&] { return p->DefaultInactiveTextColor(); }, clBtnText},
      {"PreviewTextColor", [&] { return p->DefaultPreviewTextColor(); }, clBlue},
      {"RecordSeparatorColor", [&] { return p->DefaultRecordSeparatorColor(); }, clBtnShadow},
      {"SizeGripAreaColor", [&] { return p->DefaultSizeGripAreaColor(); }, clBtnFace},
      {"VGridBandLineColor", [&] { return p->DefaultVGridBandLineColor(); }, clBlack},
      {"VGridCategoryColor", [&] { return p->DefaultVGridCategoryColor(); }, clBtnFace},
      {"VGridCategoryTextColor", [&] { return p->DefaultVGridCategoryTextColor(); }, clDefault},
      {"VGridHeaderColor", [&] { return p->DefaultVGridHeaderColor(); }, clBtnFace},
      {"VGridHeaderTextColor", [&] { return p->DefaultVGridHeaderTextColor(); }, clBtnText},
      {"VGridLineColor", [&] { return p->DefaultVGridLineColor(); }, clBlack},
      {"DateNavigatorContentColor", [&] { return p->DefaultDateNavigatorContentColor(); },
       clWindow},
      {"DateNavigatorHeaderColor", [&] { return p->DefaultDateNavigatorHeaderColor(); },
       clBtnFace},
      {"DateNavigatorHeaderTextColor(false)",
       [&] { return p->DefaultDateNavigatorHeaderTextColor(false); }, clBtnText},
      {"DateNavigatorHolydayTextColor",
       [&] { return p->DefaultDateNavigatorHolydayTextColor(); }, clRed},
      {"DateNavigatorInactiveTextColor",
       [&] { return p->DefaultDateNavigatorInactiveTextColor(); }, clGrayText},
      {"DateNavigatorSelectionColor", [&] { return p->DefaultDateNavigatorSelectionColor(); },
       clHighlight},
      {"DateNavigatorSelectionTextColor",
       [&] { return p->DefaultDateNavigatorSelectionTextColor(); }, clHighlightText},
      {"DateNavigatorSeparator1Color", [&] { return p->DefaultDateNavigatorSeparator1Color(); },
       clBtnShadow},
      {"DateNavigatorSeparator2Color", [&] { return p->DefaultDateNavigatorSeparator2Color(); },
       clWindow},
      {"DateNavigatorTextColor", [&] { return p->DefaultDateNavigatorTextColor(); },
       clWindowText},
      {"DateNavigatorTodayFrameColor", [&] { return p->DefaultDateNavigatorTodayFrameColor(); },
       clMaroon},
      {"DateNavigatorTodayTextColor", [&] { return p->DefaultDateNavigatorTodayTextColor(); },
       clNavy},
      {"SchedulerBackgroundColor", [&] { return p->DefaultSchedulerBackgroundColor(); },
       clWindow},
      {"SchedulerTextColor", [&] { return p->DefaultSchedulerTextColor(); }, clWindowText},
      {"SchedulerBorderColor", [&] { return p->DefaultSchedulerBorderColor(); }, 0x9D9DA1},
      {"SchedulerControlColor", [&] { return p->DefaultSchedulerControlColor(); }, clBtnFace},
      {"SchedulerNavigatorColor", [&] { return p->DefaultSchedulerNavigatorColor(); },
       clBtnFace},
      {"SchedulerTimeRulerColor", [&] { return p->DefaultSchedulerTimeRulerColor(); },
       clBtnFace},
      {"SchedulerTimeRulerTextColor", [&] { return p->DefaultSchedulerTimeRulerTextColor(); },
       clBtnText},
      {"SchedulerViewContentColor", [&] { return p->DefaultSchedulerViewContentColor(); },
       0xD5FFFF},
      {"SchedulerViewSelectedTextColor",
       [&] { return p->DefaultSchedulerViewSelectedTextColor(); }, clHighlightText},
      {"SchedulerViewTextColor", [&] { return p->DefaultSchedulerViewTextColor(); },
       clWindowText},
      {"SelectionColor", [&] { return p->DefaultSelectionColor(); }, clHighlight},
      {"SelectionTextColor", [&] { return p->DefaultSelectionTextColor(); }, clHighlightText},
      {"SeparatorColor", [&] { return p->DefaultSeparatorColor(); }, clBtnFace},
      {"TabColor", [&] { return p->DefaultTabColor(); }, clBtnFace},
      {"TabTextColor", [&] { return p->DefaultTabTextColor(); }, clBtnText},
      {"TabsBackgroundColor", [&] { return p->DefaultTabsBackgroundColor(); }, clBtnFace},
      {"TimeGridMajorScaleColor", [&] { return p->DefaultTimeGridMajorScaleColor(); }, clWhite},
      {"TimeGridMajorScaleTextColor", [&] { return p->DefaultTimeGridMajorScaleTextColor(); },
       clBlack},
      {"TimeGridMinorScaleColor", [&] { return p->DefaultTimeGridMinorScaleColor(); },
       clBtnFace},
      {"TimeGridMinorScaleTextColor", [&] { return p->DefaultTimeGridMinorScaleTextColor(); },
       clBtnText},
      {"TimeGridSelectionBarColor", [&] { return p->DefaultTimeGridSelectionBarColor(); },
       clWhite},
      {"ChartDiagramValueBorderColor", [&] { return p->DefaultChartDiagramValueBorderColor(); },
       clBlack},
      {"ChartDiagramValueCaptionTextColor",
       [&] { return p->DefaultChartDiagramValueCaptionTextColor(); }, clBlack},
      {"ChartHistogramAxisColor", [&] { return p->DefaultChartHistogramAxisColor(); }, clBlack},
      {"ChartHistogramGridLineColor", [&] { return p->DefaultChartHistogramGridLineColor(); },
       0xCFCFCF},
      {"ChartHistogramPlotColor", [&] { return p->DefaultChartHistogramPlotColor(); }, clWhite},
      {"ChartPieDiagramSeriesSiteBorderColor",
       [&] { return p->DefaultChartPieDiagramSeriesSiteBorderColor(); }, clBtnShadow},
      {"ChartPieDiagramSeriesSiteCaptionColor",
       [&] { return p->DefaultChartPieDiagramSeriesSiteCaptionColor(); }, 0xF0CAA6},
      {"ChartPieDiagramSeriesSiteCaptionTextColor",
       [&] { return p->DefaultChartPieDiagramSeriesSiteCaptionTextColor(); }, clNavy},
      {"ChartToolBoxDataLevelInfoBorderColor",
       [&] { return p->DefaultChartToolBoxDataLevelInfoBorderColor(); }, clBtnShadow},
      {"ChartToolBoxItemSeparatorColor",
       [&] { return p->DefaultChartToolBoxItemSeparatorColor(); }, clBtnShadow},
  };
  for (const TCase& c : cases) EXPECT_EQ(c.Answer(), c.Expected) << c.Name;
}

// Colours defined by other colours follow a look that changes the one they
// are defined by.
TEST(cxLookAndFeelPainter, DerivedDefaultColoursFollowTheLook) {
  class TLook : public TcxCustomLookAndFeelPainter {
   public:
    TColor DefaultContentColor() const override { return 0x010101; }
    TColor DefaultHeaderColor() const override { return 0x020202; }
    TColor DefaultHeaderTextColor() const override { return 0x030303; }
    TColor DefaultGridLineColor() const override { return 0x040404; }
    TColor DefaultVGridLineColor() const override { return 0x050505; }
    TColor DefaultSelectionTextColor() const override { return 0x060606; }
    TColor DefaultEditorBackgroundColorEx(TcxEditStateColorKind AKind) const override {
      return AKind == esckDisabled ? 0x070707 : EditorNormal;
    }
    TColor DefaultEditorTextColorEx(TcxEditStateColorKind AKind) const override {
      return AKind == esckDisabled ? 0x090909 : 0x0A0A0A;
    }
    TColor EditorNormal = 0x080808;
  } look;
  EXPECT_EQ(look.DefaultContentEvenColor(), 0x010101);
  EXPECT_EQ(look.DefaultContentOddColor(), 0x010101);
  EXPECT_EQ(look.DefaultVGridCategoryColor(), 0x020202);
  EXPECT_EQ(look.DefaultVGridHeaderColor(), 0x020202);
  EXPECT_EQ(look.DefaultSchedulerTimeRulerColor(), 0x020202);
  EXPECT_EQ(look.DefaultVGridHeaderTextColor(), 0x030303);
  EXPECT_EQ(look.DefaultSchedulerTimeRulerTextColor(), 0x030303);
  EXPECT_EQ(look.DefaultDateNavigatorHeaderTextColor(false), 0x030303);
  EXPECT_EQ(look.DefaultRecordSeparatorColor(), 0x040404);
  EXPECT_EQ(look.DefaultVGridBandLineColor(), 0x050505);
  EXPECT_EQ(look.DefaultSchedulerViewSelectedTextColor(), 0x060606);
  EXPECT_EQ(look.DefaultEditorBackgroundColor(true), 0x070707);
  EXPECT_EQ(look.DefaultEditorBackgroundColor(false), 0x080808);
  EXPECT_EQ(look.DefaultEditorTextColor(true), 0x090909);
  EXPECT_EQ(look.DefaultEditorTextColor(false), 0x0A0A0A);
  // The date navigator's content is the editor colour, or the content colour
  // when the look has no editor colour.
  EXPECT_EQ(look.DefaultDateNavigatorContentColor(), 0x080808);
  look.EditorNormal = clDefault;
  EXPECT_EQ(look.DefaultDateNavigatorContentColor(), 0x010101);
}

TEST(cxLookAndFeelPainter, HighlightedDateNavigatorHeaderTextDependsOnTheSystemVersion) {
  const bool saved = dxIsWindowsVistaOrLater;
  dxIsWindowsVistaOrLater = true;
  EXPECT_EQ(Base()->DefaultDateNavigatorHeaderTextColor(true), 0xCC6600);
  dxIsWindowsVistaOrLater = false;
  EXPECT_EQ(Base()->DefaultDateNavigatorHeaderTextColor(true), clHighlightText);
  dxIsWindowsVistaOrLater = saved;
}

// ---------------------------------------------------------------------------
// Metrics
// ---------------------------------------------------------------------------

TEST(cxLookAndFeelPainter, MetricsTable) {
  const TcxCustomLookAndFeelPainter* p = Base();
  struct TCase {
    const char* Name;
    int Answer, Expected;
  };
  const TCase cases[] = {
      {"BorderSize", p->BorderSize(), 0},
      {"ButtonBorderSize", p->ButtonBorderSize(cxbsPressed), 0},
      {"ButtonTextOffset", p->ButtonTextOffset(), 0},
      {"ButtonTextShift", p->ButtonTextShift(), 0},
      {"ExpandButtonSize", p->ExpandButtonSize(), 0},
      {"GroupExpandButtonSize", p->GroupExpandButtonSize(), 15},
      {"SmallExpandButtonSize", p->SmallExpandButtonSize(), 9},
      {"CheckBorderSize", p->CheckBorderSize(), 2},
      {"LabelLineHeight", p->LabelLineHeight(), 2},
      {"DrawExpandButtonFirst", p->DrawExpandButtonFirst(), 1},
      {"IsButtonHotTrack", p->IsButtonHotTrack(), 0},
  };
  for (const TCase& c : cases) EXPECT_EQ(c.Answer, c.Expected) << c.Name;

  EXPECT_EQ(p->ButtonFocusRect(nullptr, TRect(0, 0, 6, 6)), TRect(0, 0, 6, 6));
  EXPECT_EQ(p->ButtonFocusRect(nullptr, TRect(0, 0, 20, 10)), TRect(4, 4, 16, 6));
  EXPECT_EQ(p->ButtonFocusRect(nullptr, TRect(0, 0, 8, 20)), TRect(0, 0, 8, 20));
  EXPECT_EQ(p->AdjustGroupButtonDisplayRect(TRect(1, 2, 3, 4), 3, 1), TRect(1, 2, 3, 4));
  EXPECT_EQ(p->ButtonSymbolState(cxbsHot), cxbsHot);

  const TSize saved = cxCheckButtonGlyphSize;
  cxCheckButtonGlyphSize = TSize{13, 13};
  EXPECT_EQ(p->CheckButtonSize(), (TSize{13, 13}));
  cxCheckButtonGlyphSize = saved;

  TRecordingPainter look;
  look.BorderWidth = 3;
  EXPECT_EQ(look.ButtonGroupBorderSizes(4, 2), TRect(3, 3, 3, 3));
}

TEST(cxLookAndFeelPainter, CenteredSeparatorRectIsABandThroughTheCentre) {
  const TcxCustomLookAndFeelPainter* p = Base();
  EXPECT_EQ(p->CenteredSeparatorRect(TRect(0, 0, 10, 20), 3, true), TRect(4, 0, 7, 20));
  EXPECT_EQ(p->CenteredSeparatorRect(TRect(0, 0, 10, 20), 3, false), TRect(0, 9, 10, 12));
  EXPECT_EQ(p->CenteredSeparatorRect(TRect(10, 4, 21, 8), 2, true), TRect(14, 4, 16, 8));
}

TEST(cxLookAndFeelPainter, PointOverGroupExpandButtonExcludesRightAndBottomEdges) {
  const TRect r(2, 3, 17, 18);
  struct TCase {
    TPoint P;
    bool Expected;
  };
  const TCase cases[] = {{{2, 3}, true},   {{16, 17}, true}, {{17, 10}, false},
                         {{10, 18}, false}, {{1, 10}, false}, {{10, 2}, false}};
  for (const TCase& c : cases)
    EXPECT_EQ(Base()->IsPointOverGroupExpandButton(r, c.P), c.Expected)
        << c.P.X << "," << c.P.Y;
}

TEST(cxLookAndFeelPainter, ButtonAndCheckColoursByState) {
  const TcxCustomLookAndFeelPainter* p = Base();
  struct TCase {
    TcxButtonState State;
    TColor Symbol, SymbolWithDefault, Check;
  };
  const TCase cases[] = {
      {cxbsDefault, clBtnText, clRed, clWindow},   {cxbsNormal, clBtnText, clRed, clWindow},
      {cxbsHot, clBtnText, clRed, clWindow},       {cxbsPressed, clBtnText, clRed, clBtnFace},
      {cxbsDisabled, clBtnShadow, clBtnShadow, clBtnFace},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(p->ButtonColor(c.State), clBtnFace) << c.State;
    EXPECT_EQ(p->ButtonSymbolColor(c.State, clDefault), c.Symbol) << c.State;
    EXPECT_EQ(p->ButtonSymbolColor(c.State, clRed), c.SymbolWithDefault) << c.State;
    EXPECT_EQ(p->CheckButtonColor(c.State), c.Check) << c.State;
  }
}

TEST(cxLookAndFeelPainter, KindFromStyle) {
  EXPECT_EQ(cxLookAndFeelKindFromStyle(lfsFlat), lfFlat);
  EXPECT_EQ(cxLookAndFeelKindFromStyle(lfsStandard), lfStandard);
  EXPECT_EQ(cxLookAndFeelKindFromStyle(lfsUltraFlat), lfUltraFlat);
  EXPECT_EQ(cxLookAndFeelKindFromStyle(lfsNative), lfStandard);
  EXPECT_EQ(cxLookAndFeelKindFromStyle(lfsOffice11), lfOffice11);
}

// ---------------------------------------------------------------------------
// Arrows
// ---------------------------------------------------------------------------

TEST(cxLookAndFeelPainter, CalculateArrowPointsTable) {
  struct TCase {
    const char* Name;
    TRect R;
    TcxArrowDirection Direction;
    bool Proportional;
    int Size;
    TcxArrowPoints Expected;
  };
  const TCase cases[] = {
      {"7x7 down", {0, 0, 7, 7}, adDown, false, 0, {{{4, 3}, {3, 4}, {2, 3}}}},
      {"7x7 up", {0, 0, 7, 7}, adUp, false, 0, {{{2, 4}, {3, 3}, {4, 4}}}},
      {"7x7 left", {0, 0, 7, 7}, adLeft, false, 0, {{{3, 4}, {2, 3}, {3, 2}}}},
      {"7x7 right", {0, 0, 7, 7}, adRight, false, 0, {{{2, 2}, {3, 3}, {2, 4}}}},
      // A wide rectangle: the arrow is sized from its width unless squared.
      {"20x7 down", {0, 0, 20, 7}, adDown, false, 0, {{{13, 1}, {9, 5}, {5, 1}}}},
      {"20x7 down, proportional", {0, 0, 20, 7}, adDown, true, 0, {{{10, 3}, {9, 4}, {8, 3}}}},
      {"7x20 right, proportional", {0, 0, 7, 20}, adRight, true, 0, {{{2, 9}, {3, 10}, {2, 11}}}},
      {"given size", {0, 0, 20, 20}, adUp, false, 4, {{{6, 11}, {9, 8}, {12, 11}}}},
      // -4.5 rounds away from zero, as the platform's MulDiv does.
      {"negative coordinates", {-7, -7, 0, 0}, adDown, false, 0, {{{-3, -5}, {-4, -4}, {-5, -5}}}},
  };
  for (const TCase& c : cases) {
    TcxArrowPoints P{};
    TcxCustomLookAndFeelPainter::CalculateArrowPoints(c.R, P, c.Direction, c.Proportional,
                                                      c.Size);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(P[i].X, c.Expected[i].X) << c.Name << " point " << i;
      EXPECT_EQ(P[i].Y, c.Expected[i].Y) << c.Name << " point " << i;
    }
  }
}

TEST(cxLookAndFeelPainter, DrawArrowFillsTheTriangleInTheColour) {
  TCanvasBitmap bmp(7, 7);
  Base()->DrawArrow(bmp.Canvas(), TRect(0, 0, 7, 7), adDown, clRed);
  EXPECT_EQ(bmp.BoundsOf(clRed), TRect(2, 3, 5, 5));
  EXPECT_EQ(CountOf(bmp, clRed), 4);
  EXPECT_EQ(bmp.Canvas()->Brush()->Style(), bsSolid);
}

TEST(cxLookAndFeelPainter, DrawArrowByStatePaintsTheButtonBackgroundFirst) {
  for (bool border : {true, false}) {
    TRecordingPainter look;
    TCanvasBitmap bmp(15, 15);
    look.DrawArrow(bmp.Canvas(), TRect(0, 0, 15, 15), cxbsHot, adUp, border);
    const std::vector<std::string> expected =
        border ? std::vector<std::string>{"ButtonColor", "DrawButtonBorder", "ButtonSymbolColor"}
               : std::vector<std::string>{"ButtonColor", "ButtonSymbolColor"};
    EXPECT_EQ(look.Calls, expected) << border;
    EXPECT_TRUE(Is(bmp, 0, 0, TRecordingPainter::FaceColor(cxbsHot))) << border;
    // Not proportional, automatic size on 15 x 15: the apex at (7, 6).
    EXPECT_TRUE(Is(bmp, 7, 6, clBtnText)) << border;
  }
}

TEST(cxLookAndFeelPainter, ScrollBarArrowIsEmbossedWhenDisabledAndShiftedWhenPressed) {
  // Proportional down arrow in 15 x 15: corners (10, 6), apex (7, 9), (4, 6).
  TCanvasBitmap bmp(17, 17);
  Base()->DrawScrollBarArrow(bmp.Canvas(), TRect(0, 0, 15, 15), cxbsDisabled, adDown);
  EXPECT_TRUE(Is(bmp, 7, 9, clBtnShadow));
  EXPECT_TRUE(Is(bmp, 10, 6, clBtnShadow));
  EXPECT_TRUE(Is(bmp, 8, 10, clBtnHighlight));
  EXPECT_TRUE(Is(bmp, 11, 7, clBtnHighlight));
  EXPECT_EQ(CountOf(bmp, clBtnText), 0);

  TRecordingPainter look;
  look.TextShift = 1;
  for (TcxButtonState state : {cxbsNormal, cxbsPressed}) {
    TCanvasBitmap arrow(17, 17);
    look.DrawScrollBarArrow(arrow.Canvas(), TRect(0, 0, 15, 15), state, adDown);
    const int d = state == cxbsPressed ? 1 : 0;
    EXPECT_EQ(arrow.BoundsOf(clBtnText), TRect(4 + d, 6 + d, 11 + d, 10 + d)) << state;
  }
}

// ---------------------------------------------------------------------------
// Buttons
// ---------------------------------------------------------------------------

TEST(cxLookAndFeelPainter, DrawButtonComposesBorderFaceAndCaption) {
  struct TCase {
    bool DrawBorder;
    TColor Color, TextColor;
    std::vector<std::string> Calls;
    TColor Face;
  };
  const TCase cases[] = {
      {true, clDefault, clDefault,
       {"DrawButtonBorder", "ButtonBorderSize", "ButtonColor", "ButtonSymbolColor"},
       TRecordingPainter::FaceColor(cxbsNormal)},
      {false, clDefault, clDefault, {"ButtonColor", "ButtonSymbolColor"},
       TRecordingPainter::FaceColor(cxbsNormal)},
      {true, clYellow, clBlue, {"DrawButtonBorder", "ButtonBorderSize"}, clYellow},
  };
  for (const TCase& c : cases) {
    TRecordingPainter look;
    TCanvasBitmap bmp(40, 24);
    look.DrawButton(bmp.Canvas(), TRect(0, 0, 40, 24), String(), cxbsNormal, c.DrawBorder, c.Color,
                    c.TextColor, false, false);
    EXPECT_EQ(look.Calls, c.Calls);
    const TRect face = c.DrawBorder ? TRect(2, 2, 38, 22) : TRect(0, 0, 40, 24);
    EXPECT_EQ(bmp.BoundsOf(c.Face), face);
    if (c.DrawBorder) {
      EXPECT_EQ(look.BorderRects.at(0), TRect(0, 0, 40, 24));
      EXPECT_TRUE(Is(bmp, 0, 0, kBack));   // the border is the look's, nothing here
    }
    EXPECT_EQ(bmp.Canvas()->Brush()->Style(), bsSolid);
  }
}

TEST(cxLookAndFeelPainter, DrawButtonCaptionColoursAndShift) {
  TRecordingPainter look;
  look.BorderWidth = 0;
  look.TextShift = 3;
  auto draw = [&](TcxButtonState AState, TColor ATextColor, TCanvasBitmap& ABitmap) {
    ABitmap.Canvas()->Font()->SetHeight(-12);
    look.DrawButton(ABitmap.Canvas(), TRect(0, 0, 60, 30), L"Wg", AState, false, clYellow,
                    ATextColor, false, false);
  };
  TCanvasBitmap normal(60, 30), pressed(60, 30), disabled(60, 30), explicitColour(60, 30);
  draw(cxbsNormal, clDefault, normal);
  draw(cxbsPressed, clDefault, pressed);
  draw(cxbsDisabled, clDefault, disabled);
  draw(cxbsNormal, clRed, explicitColour);

  const TRect text = normal.BoundsOf(clBtnText);
  ASSERT_FALSE(text.IsEmpty());
  const TRect shifted = pressed.BoundsOf(clBtnText);
  EXPECT_EQ(shifted, TRect(text.Left + 3, text.Top + 3, text.Right + 3, text.Bottom + 3));
  EXPECT_EQ(explicitColour.BoundsOf(clRed), text);
  // Disabled captions are embossed by the canvas, not drawn in a symbol colour.
  EXPECT_EQ(CountOf(disabled, clBtnText), 0);
  EXPECT_GT(CountOf(disabled, clBtnShadow), 0);
  EXPECT_GT(CountOf(disabled, clBtnHighlight), 0);
}

// The caption is centred on an even height (an odd one loses its bottom
// pixel) and lifted by a pixel on buttons lower than 18 pixels: it lands
// where the canvas centres it in the text rectangle of the table.
TEST(cxLookAndFeelPainter, DrawButtonCaptionCentresOnAnEvenHeight) {
  auto inkTop = [](const std::function<void(TcxCanvas*)>& ADraw) {
    TCanvasBitmap bmp(40, 30, clWhite);
    bmp.Canvas()->Font()->SetHeight(-11);
    bmp.Canvas()->Font()->SetColor(clBlack);
    ADraw(bmp.Canvas());
    return bmp.BoundsOf(clBlack).Top;
  };
  struct TCase {
    int Height, TextTop, TextBottom;
  };
  const TCase cases[] = {{14, -1, 14}, {15, -1, 14}, {16, -1, 16}, {17, -1, 16},
                         {18, 0, 18},  {19, 0, 18},  {20, 0, 20}};
  for (const TCase& c : cases) {
    const int button = inkTop([&](TcxCanvas* ACanvas) {
      Base()->DrawButton(ACanvas, TRect(0, 0, 40, c.Height), L"H", cxbsNormal, false, clWhite,
                         clBlack, false, false);
    });
    const int expected = inkTop([&](TcxCanvas* ACanvas) {
      TRect r(0, c.TextTop, 40, c.TextBottom);
      ACanvas->Brush()->SetStyle(bsClear);
      ACanvas->DrawTexT(L"H", r, cxtfCenterH | cxtfCenterV | cxtfShowPrefix | cxtfSingleLine);
    });
    EXPECT_EQ(button, expected) << c.Height;
  }
}

TEST(cxLookAndFeelPainter, DrawButtonCrossIsTwoPixelsThick) {
  for (TcxButtonState state : {cxbsNormal, cxbsPressed}) {
    TCanvasBitmap bmp(18, 18);
    Base()->DrawButtonCross(bmp.Canvas(), TRect(0, 0, 16, 16), clBlue, state);
    const int d = state == cxbsPressed ? 1 : 0;
    // n = 16 div 2 - 1 = 7: two 7-pixel diagonals, each doubled to the right.
    EXPECT_EQ(bmp.BoundsOf(clBlue), TRect(4 + d, 4 + d, 12 + d, 11 + d)) << state;
    EXPECT_EQ(CountOf(bmp, clBlue), 26) << state;
    EXPECT_TRUE(Is(bmp, 4 + d, 4 + d, clBlue));
    EXPECT_TRUE(Is(bmp, 11 + d, 4 + d, clBlue));
    EXPECT_TRUE(Is(bmp, 4 + d, 10 + d, clBlue));
    EXPECT_TRUE(Is(bmp, 11 + d, 10 + d, clBlue));
  }
}

TEST(cxLookAndFeelPainter, ButtonInGroupAndSchedulerNavigatorButtonAreBorderedButtons) {
  TRecordingPainter look;
  TCanvasBitmap bmp(20, 20);
  look.DrawButtonInGroup(bmp.Canvas(), TRect(0, 0, 20, 20), cxbsHot, 3, 0, clRed);
  look.DrawSchedulerNavigatorButton(bmp.Canvas(), TRect(0, 0, 10, 10), cxbsPressed);
  EXPECT_EQ(look.BorderRects, (std::vector<TRect>{TRect(0, 0, 20, 20), TRect(0, 0, 10, 10)}));
  EXPECT_TRUE(Is(bmp, 5, 5, TRecordingPainter::FaceColor(cxbsPressed)));
  EXPECT_TRUE(Is(bmp, 15, 15, TRecordingPainter::FaceColor(cxbsHot)));
}

// ---------------------------------------------------------------------------
// Expand buttons
// ---------------------------------------------------------------------------

TEST(cxLookAndFeelPainter, SmallExpandButtonFrameFaceAndSign) {
  struct TCase {
    bool Expanded;
    TColor Color;
  };
  for (const TCase& c : {TCase{false, clYellow}, TCase{true, clYellow}, TCase{false, clDefault}}) {
    TCanvasBitmap bmp(9, 9);
    Base()->DrawSmallExpandButton(bmp.Canvas(), TRect(0, 0, 9, 9), c.Expanded, clRed, c.Color);
    const TColor inside = c.Color == clDefault ? kBack : c.Color;
    EXPECT_TRUE(Is(bmp, 0, 0, clRed));
    EXPECT_TRUE(Is(bmp, 8, 8, clRed));
    EXPECT_TRUE(Is(bmp, 1, 1, inside));
    // Centre (4, 4), half = (9 - 4) div 2 = 2.
    EXPECT_EQ(bmp.BoundsOf(clBtnText), c.Expanded ? TRect(2, 4, 7, 5) : TRect(2, 2, 7, 7));
    EXPECT_EQ(CountOf(bmp, clBtnText), c.Expanded ? 5 : 9);
  }
}

TEST(cxLookAndFeelPainter, GroupExpandButtonChevronsPointUpWhenExpanded) {
  for (bool expanded : {true, false}) {
    TRecordingPainter look;
    look.BorderWidth = 1;
    TCanvasBitmap bmp(15, 15);
    look.DrawGroupExpandButton(bmp.Canvas(), TRect(0, 0, 15, 15), expanded, cxbsNormal);
    EXPECT_EQ(look.BorderRects.at(0), TRect(0, 0, 15, 15));
    // x0 = 4, y0 = 3; two chevrons of two strokes, 7 pixels wide, 8 rows in all.
    EXPECT_EQ(bmp.BoundsOf(clBtnText), expanded ? TRect(4, 3, 11, 11) : TRect(4, 4, 11, 12))
        << expanded;
    EXPECT_EQ(Is(bmp, 7, 3, clBtnText), expanded);    // an apex at the top
    EXPECT_EQ(Is(bmp, 7, 11, clBtnText), !expanded);  // an apex at the bottom
    EXPECT_EQ(Is(bmp, 4, 6, clBtnText), expanded);    // the arms go down ...
    EXPECT_EQ(Is(bmp, 4, 4, clBtnText), !expanded);   // ... or up
    EXPECT_EQ(CountOf(bmp, clBtnText), 24) << expanded;
  }
  // The Ex variant draws the same in the symbol colour of the state.
  TCanvasBitmap bmp(15, 15);
  Base()->DrawExpandButtonEx(bmp.Canvas(), TRect(0, 0, 15, 15), cxbsDisabled, true);
  EXPECT_EQ(bmp.BoundsOf(clBtnShadow), TRect(4, 3, 11, 11));
}

// ---------------------------------------------------------------------------
// Check boxes, radio buttons and label lines
// ---------------------------------------------------------------------------

TEST(cxLookAndFeelPainter, DrawCheckButtonTable) {
  struct TCase {
    TcxButtonState State;
    TcxCheckBoxState Check;
    TColor Face, Mark;
  };
  const TCase cases[] = {
      {cxbsNormal, cbsUnchecked, clWindow, clNone},
      {cxbsNormal, cbsChecked, clWindow, clBtnText},
      {cxbsHot, cbsChecked, clWindow, clBtnText},
      {cxbsPressed, cbsChecked, clBtnFace, clBtnText},
      {cxbsNormal, cbsGrayed, clWindow, clNone},
      {cxbsDisabled, cbsChecked, clBtnFace, clGrayText},
      {cxbsDisabled, cbsGrayed, clBtnFace, clNone},
  };
  for (const TCase& c : cases) {
    TRecordingPainter look;
    TCanvasBitmap bmp(13, 13);
    look.DrawCheckButton(bmp.Canvas(), TRect(0, 0, 13, 13), c.State, c.Check);
    EXPECT_EQ(look.BorderRects, std::vector<TRect>{TRect(0, 0, 13, 13)});
    EXPECT_TRUE(Is(bmp, 1, 1, kBack));
    EXPECT_TRUE(Is(bmp, 2, 2, c.Face)) << c.State << "/" << c.Check;
    if (c.Mark == clNone) {
      EXPECT_EQ(bmp.BoundsOf(c.Face), TRect(2, 2, 11, 11)) << c.State << "/" << c.Check;
    } else {
      // Three strokes through (3, y - 2), (5, y), (10, y - 5), y = 7, 8, 9.
      EXPECT_EQ(bmp.BoundsOf(c.Mark), TRect(3, 3, 10, 10)) << c.State << "/" << c.Check;
      EXPECT_EQ(CountOf(bmp, c.Mark), 21) << c.State << "/" << c.Check;
      EXPECT_TRUE(Is(bmp, 5, 8, c.Mark));
    }
  }
  // The Boolean overload is checked or unchecked.
  TCanvasBitmap checked(13, 13);
  Base()->DrawCheckButton(checked.Canvas(), TRect(0, 0, 13, 13), cxbsNormal, true);
  EXPECT_EQ(CountOf(checked, clBtnText), 21);
}

TEST(cxLookAndFeelPainter, DrawCheckKeepsTheBackgroundUnderAClearBrush) {
  TCanvasBitmap bmp(13, 13);
  bmp.Canvas()->Brush()->SetStyle(bsClear);
  Base()->DrawCheck(bmp.Canvas(), TRect(2, 2, 11, 11), cxbsNormal, true, clRed);
  EXPECT_TRUE(Is(bmp, 2, 2, kBack));
  EXPECT_EQ(CountOf(bmp, clRed), 21);
}

struct TRadioCall {
  int Count = 0;
  int X = 0, Y = 0;
  TColor Brush = 0;
  TcxLookAndFeelKind Kind = lfFlat;
  TcxButtonState State = cxbsDefault;
  bool Checked = false, Focused = false, Designing = false;
};
TRadioCall gRadioCall;

class TRadioHookScope {
 public:
  TRadioHookScope()
      : FDraw(cxDrawRadioButtonImageHook), FSize(cxRadioButtonImageSizeHook) {
    gRadioCall = TRadioCall();
    cxDrawRadioButtonImageHook = [](TcxCanvas*, int X, int Y, TColor ABrushColor,
                                    TcxLookAndFeelKind AKind, TcxButtonState AState,
                                    bool AChecked, bool AFocused, bool AIsDesigning) {
      gRadioCall = {gRadioCall.Count + 1, X, Y, ABrushColor, AKind, AState, AChecked,
                    AFocused, AIsDesigning};
    };
    cxRadioButtonImageSizeHook = [] { return TSize{12, 11}; };
  }
  ~TRadioHookScope() {
    cxDrawRadioButtonImageHook = FDraw;
    cxRadioButtonImageSizeHook = FSize;
  }
  TRadioHookScope(const TRadioHookScope&) = delete;
  TRadioHookScope& operator=(const TRadioHookScope&) = delete;

 private:
  TcxDrawRadioButtonImageProc FDraw;
  TcxRadioButtonImageSizeProc FSize;
};

TEST(cxLookAndFeelPainter, RadioButtonsComeFromTheSharedImagesInTheLooksKind) {
  {
    TRadioHookScope hook;
    EXPECT_EQ(Base()->RadioButtonSize(), (TSize{12, 11}));
    struct TCase {
      TcxLookAndFeelStyle Style;
      TcxButtonState State, Expected;
      TColor Brush, ExpectedBrush;
      TcxLookAndFeelKind Kind;
    };
    const TCase cases[] = {
        {lfsFlat, cxbsHot, cxbsHot, clRed, clRed, lfFlat},
        {lfsUltraFlat, cxbsPressed, cxbsPressed, clDefault, clDefault, lfUltraFlat},
        {lfsOffice11, cxbsDisabled, cxbsDisabled, clRed, clRed, lfOffice11},
        {lfsNative, cxbsNormal, cxbsNormal, clRed, clRed, lfStandard},
        // No image exists for the default state: it is drawn as a normal one.
        {lfsStandard, cxbsDefault, cxbsNormal, clRed, clRed, lfStandard},
        // clNone leaves the background like clDefault instead of painting it.
        {lfsStandard, cxbsNormal, cxbsNormal, clNone, clDefault, lfStandard},
    };
    for (const TCase& c : cases) {
      TRecordingPainter look;
      look.Style = c.Style;
      const int before = gRadioCall.Count;
      look.DrawRadioButton(nullptr, 3, 4, c.State, true, false, c.Brush, true);
      EXPECT_EQ(gRadioCall.Count, before + 1);
      EXPECT_EQ(gRadioCall.Kind, c.Kind) << c.Style;
      EXPECT_EQ(gRadioCall.State, c.Expected) << c.Style;
      EXPECT_EQ(gRadioCall.Brush, c.ExpectedBrush) << c.Style;
      EXPECT_EQ(TPoint(gRadioCall.X, gRadioCall.Y), TPoint(3, 4));
      EXPECT_TRUE(gRadioCall.Checked && !gRadioCall.Focused && gRadioCall.Designing);
    }
  }
  // Without the shared images nothing is drawn and nothing is measured.
  if (!cxDrawRadioButtonImageHook) {
    TCanvasBitmap bmp(4, 4);
    Base()->DrawRadioButton(bmp.Canvas(), 0, 0, cxbsNormal, true, true, clRed, false);
    EXPECT_EQ(CountOf(bmp, kBack), 16);
  }
  if (!cxRadioButtonImageSizeHook) {
    EXPECT_EQ(Base()->RadioButtonSize(), (TSize{0, 0}));
  }
}

TEST(cxLookAndFeelPainter, LabelLineIsEtched) {
  struct TCase {
    bool Vertical;
    TColor Outer, Inner, ExpectedOuter, ExpectedInner;
  };
  const TCase cases[] = {
      {false, clDefault, clDefault, clBtnShadow, clBtnHighlight},
      {true, clDefault, clDefault, clBtnShadow, clBtnHighlight},
      {false, clRed, clBlue, clRed, clBlue},
  };
  for (const TCase& c : cases) {
    TCanvasBitmap bmp(10, 10);
    const TRect r = c.Vertical ? TRect(3, 0, 5, 10) : TRect(0, 3, 10, 5);
    Base()->DrawLabelLine(bmp.Canvas(), r, c.Outer, c.Inner, c.Vertical);
    EXPECT_EQ(bmp.BoundsOf(c.ExpectedOuter), c.Vertical ? TRect(3, 0, 4, 10) : TRect(0, 3, 10, 4));
    EXPECT_EQ(bmp.BoundsOf(c.ExpectedInner), c.Vertical ? TRect(4, 0, 5, 10) : TRect(0, 4, 10, 5));
  }
}

// ---------------------------------------------------------------------------
// Elements built on the small operations
// ---------------------------------------------------------------------------

TEST(cxLookAndFeelPainter, FooterPanelRestoresTheClipRegionWhenAStepRaises) {
  TRecordingPainter look;
  look.ThrowFromFooterContent = true;
  TCanvasBitmap bmp(20, 20);
  TcxViewParams params;
  params.Color = clRed;
  EXPECT_THROW(look.DrawFooterPanel(bmp.Canvas(), TRect(5, 5, 10, 10), params, cxBordersAll),
               std::runtime_error);
  bmp.Canvas()->FillRect(TRect(0, 0, 20, 20), clBlue);
  EXPECT_EQ(CountOf(bmp, clBlue), 400);

  look.ThrowFromFooterContent = false;
  TCanvasBitmap panel(20, 20);
  look.DrawFooterPanel(panel.Canvas(), TRect(5, 5, 10, 10), params, cxBordersAll);
  // Content, then the separator along the top; nothing outside the bounds.
  EXPECT_EQ(panel.BoundsOf(clRed), TRect(5, 6, 10, 10));
  EXPECT_EQ(panel.BoundsOf(clBtnShadow), TRect(5, 5, 10, 6));
  panel.Canvas()->FillRect(TRect(0, 0, 20, 20), clBlue);
  EXPECT_EQ(CountOf(panel, clBlue), 400);
}

TEST(cxLookAndFeelPainter, CellContentBackgroundComesFromTheCallbackWhenItDraws) {
  struct TBackground : TObject {
    bool Answer = false;
    int Calls = 0;
    bool Draw(TcxCanvas*, const TRect&) {
      ++Calls;
      return Answer;
    }
  } background;
  const auto event = TcxDrawBackgroundEvent::Bind<&TBackground::Draw>(&background);
  for (bool answer : {true, false}) {
    background.Answer = answer;
    TCanvasBitmap bmp(10, 10);
    Base()->DrawHeader(bmp.Canvas(), TRect(0, 0, 10, 10), TRect(0, 0, 10, 10), TcxNeighbors(),
                       cxBordersAll, cxbsNormal, taLeftJustify, vaTop, false, false, String(),
                       nullptr, clBlack, clRed, event, false, false);
    EXPECT_EQ(CountOf(bmp, clRed), answer ? 0 : 100) << answer;
    EXPECT_EQ(bmp.Canvas()->Brush()->Style(), bsSolid);
  }
  EXPECT_EQ(background.Calls, 2);
}

TEST(cxLookAndFeelPainter, HeaderBoundsAndSizes) {
  TRecordingPainter look;   // border 1, drops the left border next to a left neighbour
  const TRect r(10, 10, 50, 30);
  EXPECT_EQ(Base()->HeaderHeight(13), 17);
  EXPECT_EQ(look.HeaderHeight(13), 19);
  EXPECT_EQ(Base()->HeaderBounds(r, TcxNeighbors{nLeft}, TcxBorders{bLeft, bRight}), r);
  EXPECT_EQ(look.HeaderBounds(r, TcxNeighbors{nLeft}, TcxBorders{bLeft, bRight}),
            TRect(9, 10, 50, 30));
  EXPECT_EQ(look.HeaderContentBounds(r, TcxBorders{bLeft, bBottom}), TRect(11, 10, 50, 29));
  EXPECT_EQ(Base()->SortingMarkAreaSize(), TPoint(16, 0));
  EXPECT_EQ(Base()->FooterCellTextAreaBounds(r), TRect(12, 12, 48, 28));
}

TEST(cxLookAndFeelPainter, HeaderSeparatorStaysInsideItsBounds) {
  TcxViewParams params;
  params.Color = clYellow;
  for (int indent : {2, -3, 40}) {
    TCanvasBitmap bmp(30, 10);
    Base()->DrawHeaderSeparator(bmp.Canvas(), TRect(10, 2, 20, 8), indent, clRed, params);
    const int countInside = CountOf(bmp, clRed) + CountOf(bmp, clYellow);
    EXPECT_EQ(countInside, 60) << indent;
    EXPECT_EQ(CountOf(bmp, kBack), 300 - 60) << indent;
  }
}

TEST(cxLookAndFeelPainter, CalculatorKeyColours) {
  struct TCase {
    TcxCalcButtonKind Kind;
    TColor Expected;
  };
  const TCase cases[] = {{cbBack, clMaroon}, {cbClear, clMaroon}, {cbMP, clRed},
                         {cbAdd, clRed},     {cbEqual, clRed},    {cbNum0, clBlue},
                         {cbNum9, clBlue},   {cbSign, clBlue},    {cbDecimal, clBlue},
                         {cbNone, clBlue},   {cbSqrt, clNavy},    {cbRev, clNavy}};
  for (const TCase& c : cases) EXPECT_EQ(Base()->CalcEditButtonTextColor(c.Kind), c.Expected) << c.Kind;
}

}  // namespace
