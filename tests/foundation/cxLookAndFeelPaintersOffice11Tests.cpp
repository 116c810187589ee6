#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPaintersOffice11.h"

#include "foundation/cxLookAndFeelPaintersNative.h"
#include "foundation/cxLookAndFeelPaintersStandard.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxThemeManager.h"
#include "platform/gui/StdCtrls.h"
#include "tests/foundation/cxGraphicsCanvasTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using cnvtest::kBack;
using cnvtest::TCanvasBitmap;

const TcxOffice11LookAndFeelPainter* Office11() {
  return static_cast<const TcxOffice11LookAndFeelPainter*>(
      TcxOffice11LookAndFeelPainter::Instance());
}

const TdxOffice11Palette& P() { return dxOffice11Palette; }

// Holds the palette (and its expand-button bitmaps) for the test.
class cxOffice11LookAndFeelPainter : public ::testing::Test {
 protected:
  void SetUp() override { cxLookAndFeelPaintersOffice11Initialize(); }
  void TearDown() override { cxLookAndFeelPaintersOffice11Finalize(); }
};

TColor Rgb(TColor AColor) { return ColorToRGB(AColor); }

bool Near(TColor A, TColor B, int ATolerance = 2) {
  A = Rgb(A);
  B = Rgb(B);
  for (int shift : {0, 8, 16}) {
    const int d = int((A >> shift) & 0xFF) - int((B >> shift) & 0xFF);
    if (d > ATolerance || d < -ATolerance) return false;
  }
  return true;
}

bool SamePixels(const TCanvasBitmap& A, const TCanvasBitmap& B) {
  for (int y = 0; y < A.Height(); ++y)
    for (int x = 0; x < A.Width(); ++x)
      if (A.Pixel(x, y) != B.Pixel(x, y)) return false;
  return true;
}

TcxDrawBackgroundEvent FillingCallback(TColor AColor, int* ACalls) {
  struct THolder : TObject {
    THolder(TColor AColor, int* ACalls) : Color(AColor), Calls(ACalls) {}
    TColor Color;
    int* Calls;
    bool Draw(TcxCanvas* ACanvas, const TRect& R) {
      ++*Calls;
      ACanvas->FillRect(R, Color);
      return true;
    }
  };
  static THolder holder(clNone, nullptr);
  holder.Color = AColor;
  holder.Calls = ACalls;
  return TcxDrawBackgroundEvent::Bind<&THolder::Draw>(&holder);
}

}  // namespace

TEST_F(cxOffice11LookAndFeelPainter, ColoursComeFromThePalette) {
  struct TCase {
    const char* Name;
    TColor Actual;
    TColor Expected;
  };
  const auto* p = Office11();
  const TColor top = dxMixColors(P().ToolbarLight, P().ToolbarDark, 50);
  const TCase cases[] = {
      {"DateNavigatorHeaderHighlightText", p->DefaultDateNavigatorHeaderHighlightTextColor(),
       clHighlightText},
      {"FilterBox", p->DefaultFilterBoxColor(), P().FloatingFrame},
      {"FilterBoxText", p->DefaultFilterBoxTextColor(), P().CaptionText},
      {"Footer", p->DefaultFooterColor(), P().DockFirst},
      {"FooterText", p->DefaultFooterTextColor(), p->DefaultHeaderTextColor()},
      {"GroupByBox", p->DefaultGroupByBoxColor(), P().GroupByBox},
      {"GroupByBoxText", p->DefaultGroupByBoxTextColor(), P().ToolbarLight},
      {"Group", p->DefaultGroupColor(), P().Group},
      {"HeaderBackground", p->DefaultHeaderBackgroundColor(), P().GroupByBox},
      {"Header", p->DefaultHeaderColor(), top},
      {"DateNavigatorHeader", p->DefaultDateNavigatorHeaderColor(), P().DockFirst},
      {"DateNavigatorSelection", p->DefaultDateNavigatorSelectionColor(),
       P().DateNavigatorSelection},
      {"DateNavigatorSelectionText", p->DefaultDateNavigatorSelectionTextColor(), clWindowText},
      {"SchedulerBorder", p->DefaultSchedulerBorderColor(), P().SchedulerFrame},
      {"SchedulerControl", p->DefaultSchedulerControlColor(), P().SchedulerControl},
      {"Tab", p->DefaultTabColor(), P().DockSecond},
      {"TabsBackground", p->DefaultTabsBackgroundColor(), P().DockSecond},
      {"TimeGridMinorScale", p->DefaultTimeGridMinorScaleColor(), P().DockFirst},
      {"TimeGridSelectionBar", p->DefaultTimeGridSelectionBarColor(), P().SchedulerControl},
      {"HeaderTop", p->HeaderTopColor(), top},
      {"HeaderBottom", p->HeaderBottomColor(), P().ToolbarDark},
      {"HeaderDarkEdge", p->HeaderDarkEdgeColor(), P().SeparatorDark},
      {"HeaderLightEdge", p->HeaderLightEdgeColor(), P().SeparatorLight},
      {"BorderHighlight", p->BorderHighlightColor(), P().SelectedFrame},
      {"ButtonBorder normal", p->GetButtonBorderColor(cxbsNormal), P().SeparatorDark},
      {"ButtonBorder hot", p->GetButtonBorderColor(cxbsHot), P().SelectedFrame},
      {"BorderShadow", p->GetBorderShadowColor(), P().SeparatorDark},
      {"BorderDark", p->GetBorderDarkColor(), clBtnText},
      {"FooterSeparator", p->FooterSeparatorColor(), P().SeparatorDark},
      {"SplitterInner", p->GetSplitterInnerColor(false), P().SeparatorLight},
      {"SplitterOuter", p->GetSplitterOuterColor(false), P().SeparatorDark},
      {"SplitterOuter highlighted", p->GetSplitterOuterColor(true), P().SelectedFrame},
      {"Button default", p->ButtonColor(cxbsDefault), P().DockFirst},
      {"Button normal", p->ButtonColor(cxbsNormal), P().DockFirst},
      {"Button hot", p->ButtonColor(cxbsHot), P().HotFirst},
      {"Button pressed", p->ButtonColor(cxbsPressed), P().PressedFirst},
      {"Button disabled", p->ButtonColor(cxbsDisabled), clBtnFace},
      {"CheckButton normal", p->CheckButtonColor(cxbsNormal), clWindow},
      {"CheckButton hot", p->CheckButtonColor(cxbsHot), P().HotFirst},
      {"CheckButton disabled", p->CheckButtonColor(cxbsDisabled), clBtnFace},
      {"ButtonSymbol normal", p->ButtonSymbolColor(cxbsNormal, clRed), P().Text},
      {"ButtonSymbol disabled", p->ButtonSymbolColor(cxbsDisabled, clRed), P().DisabledText},
  };
  for (const TCase& c : cases) EXPECT_EQ(c.Actual, c.Expected) << c.Name;
}

TEST_F(cxOffice11LookAndFeelPainter, IdentityAndMetrics) {
  const auto* p = Office11();
  EXPECT_EQ(p->LookAndFeelStyle(), lfsOffice11);
  EXPECT_TRUE(p->NeedRedrawOnResize());
  EXPECT_EQ(p->ExpandButtonSize(), 11);
  EXPECT_EQ(p->SmallExpandButtonSize(), 11);
  EXPECT_FALSE(p->DrawExpandButtonFirst());
  EXPECT_EQ(p->HeaderBorders(TcxNeighbors()), cxBordersAll);
  EXPECT_EQ(p->HeaderBorders(TcxNeighbors{nLeft, nRight}), cxBordersAll);
  EXPECT_EQ(p->HeaderBorderSize(), 1);
  EXPECT_TRUE(p->IsHeaderHotTrack());
  EXPECT_EQ(p->GetSplitterSize(true), (TSize{17, 2}));
}

TEST_F(cxOffice11LookAndFeelPainter, PressedSymbolsDependOnTheRecognisedScheme) {
  const TColor pressed = Office11()->ButtonSymbolColor(cxbsPressed, clRed);
  if (dxIsOffice11SchemeThemed())
    EXPECT_EQ(pressed, P().Text);
  else
    EXPECT_EQ(pressed, clHighlightText);
}

TEST_F(cxOffice11LookAndFeelPainter, HeaderBorderPixelsByNeighbours) {
  const TColor top = Rgb(Office11()->HeaderTopColor()), bottom = Rgb(P().ToolbarDark);
  const TColor dark = Rgb(P().SeparatorDark), light = Rgb(P().SeparatorLight);
  const TColor corner = Rgb(dxMixColors(top, bottom, 25));
  struct TPixel {
    int X, Y;
    TColor Color;
  };
  struct TCase {
    const char* Name;
    TcxNeighbors Neighbors;
    std::vector<TPixel> Pixels;
  };
  // R = (0, 0, 10, 12): Bottom - 2 = 10, Bottom - 3 = 9.
  const TCase cases[] = {
      {"alone", TcxNeighbors(),
       {{3, 0, top}, {3, 11, dark}, {0, 1, light}, {0, 9, light}, {0, 10, bottom},
        {9, 0, Rgb(dxMixColors(top, dark, 50))}, {9, 1, dark}, {9, 9, dark},
        {9, 10, Rgb(dxMixColors(bottom, dark, 50))}, {0, 11, dark}, {5, 5, kBack}}},
      {"both neighbours", TcxNeighbors{nLeft, nRight},
       {{0, 1, top}, {0, 2, light}, {0, 8, light}, {0, 9, corner}, {0, 10, bottom},
        {9, 0, top}, {9, 1, top}, {9, 2, dark}, {9, 8, dark}, {9, 9, corner},
        {9, 10, bottom}, {9, 11, dark}}},
  };
  for (const TCase& c : cases) {
    TCanvasBitmap bmp(10, 12);
    Office11()->DrawHeaderBorder(bmp.Canvas(), TRect(0, 0, 10, 12), c.Neighbors, cxBordersAll);
    for (const TPixel& px : c.Pixels)
      EXPECT_EQ(bmp.Pixel(px.X, px.Y), px.Color) << c.Name << " at " << px.X << ", " << px.Y;
  }
}

TEST_F(cxOffice11LookAndFeelPainter, HeaderContentGradientAndHotUnderline) {
  const TRect r(2, 2, 22, 18);
  const TColor top = Office11()->HeaderTopColor();
  for (TcxButtonState state : {cxbsNormal, cxbsHot, cxbsPressed}) {
    for (bool footer : {false, true}) {
      TCanvasBitmap bmp(24, 22);
      Office11()->DrawCellContent(bmp.Canvas(), r, r, state, taLeftJustify, vaTop, false, false,
                                  String(), nullptr, clBlack, clRed, TcxDrawBackgroundEvent(),
                                  footer);
      const bool hot = state == cxbsHot;
      const TColor fill = hot ? P().ToolbarLight : top;
      const std::string what = std::to_string(state) + (footer ? " footer" : " header");
      EXPECT_EQ(bmp.Pixel(r.Left, r.Top), Rgb(fill)) << what;
      EXPECT_EQ(bmp.Pixel(r.Right - 1, r.Bottom - 5), Rgb(fill)) << what;
      if (hot) {
        // The underline covers the last two rows and the row below, one
        // pixel further left.
        EXPECT_TRUE(Near(bmp.Pixel(r.Left - 1, r.Bottom - 2), P().HotFirst, 40)) << what;
        EXPECT_TRUE(Near(bmp.Pixel(r.Left + 3, r.Bottom), P().HotSecond, 40)) << what;
        EXPECT_EQ(bmp.Pixel(r.Left - 1, r.Bottom + 1), kBack) << what;
        EXPECT_EQ(bmp.Pixel(r.Right, r.Bottom), kBack) << what;
        EXPECT_EQ(bmp.Pixel(r.Left - 1, r.Bottom - 3), kBack) << what;
      } else if (footer) {
        EXPECT_EQ(bmp.Pixel(r.Left, r.Bottom - 1), Rgb(top)) << what;
      } else {
        EXPECT_TRUE(Near(bmp.Pixel(r.Left, r.Bottom - 4), top)) << what;
        EXPECT_TRUE(Near(bmp.Pixel(r.Left, r.Bottom - 1), P().ToolbarDark, 24)) << what;
        EXPECT_EQ(bmp.Pixel(r.Left, r.Bottom), kBack) << what;
        EXPECT_EQ(bmp.Pixel(r.Left - 1, r.Top), kBack) << what;
      }
    }
  }
}

TEST_F(cxOffice11LookAndFeelPainter, HeaderIgnoresTheCallbackCellContentHonoursIt) {
  const TRect r(0, 0, 20, 16);
  int calls = 0;
  TCanvasBitmap header(20, 16);
  Office11()->DrawHeader(header.Canvas(), r, r, TcxNeighbors(), cxBordersAll, cxbsNormal,
                         taLeftJustify, vaTop, false, false, String(), nullptr, clBlack, clRed,
                         FillingCallback(clBlue, &calls), false, true);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(header.Pixel(5, 5), Rgb(Office11()->HeaderTopColor()));

  TCanvasBitmap cell(20, 16);
  Office11()->DrawCellContent(cell.Canvas(), r, r, cxbsNormal, taLeftJustify, vaTop, false, false,
                              String(), nullptr, clBlack, clRed, FillingCallback(clBlue, &calls),
                              false);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(cell.Pixel(5, 14), Rgb(clBlue));
}

TEST_F(cxOffice11LookAndFeelPainter, PressedHeaderSectionIsInverted) {
  const TRect r(0, 0, 20, 16);
  TCanvasBitmap normal(20, 16), pressed(20, 16);
  Office11()->DrawHeader(normal.Canvas(), r, r, TcxNeighbors(), cxBordersAll, cxbsPressed,
                         taLeftJustify, vaTop, false, false, String(), nullptr, clBlack, clRed,
                         TcxDrawBackgroundEvent(), false, false);
  Office11()->DrawHeaderControlSection(pressed.Canvas(), r, r, TcxNeighbors(), cxBordersAll,
                                       cxbsPressed, taLeftJustify, vaTop, false, false, String(),
                                       nullptr, clBlack, clRed);
  EXPECT_EQ(pressed.Pixel(6, 6), Rgb(normal.Pixel(6, 6) ^ 0xFFFFFF));
}

TEST_F(cxOffice11LookAndFeelPainter, FramesFillsAndSeparators) {
  struct TCase {
    const char* Name;
    std::function<void(TcxCanvas*)> Draw;
    std::vector<std::pair<TPoint, TColor>> Pixels;
  };
  const TRect r(1, 1, 11, 9);
  const std::vector<TCase> cases = {
      {"border", [&](TcxCanvas* C) { Office11()->DrawBorder(C, r); },
       {{{1, 1}, P().ControlFrame}, {{10, 8}, P().ControlFrame}, {{5, 5}, kBack}}},
      {"button border normal",
       [&](TcxCanvas* C) { Office11()->DrawButtonBorder(C, r, cxbsNormal); },
       {{{1, 4}, clBtnText}, {{5, 5}, kBack}}},
      {"button border hot", [&](TcxCanvas* C) { Office11()->DrawButtonBorder(C, r, cxbsHot); },
       {{{10, 4}, P().SelectedFrame}}},
      {"button border disabled",
       [&](TcxCanvas* C) { Office11()->DrawButtonBorder(C, r, cxbsDisabled); },
       {{{4, 8}, P().DisabledText}}},
      {"scheduler border", [&](TcxCanvas* C) { Office11()->DrawSchedulerBorder(C, r); },
       {{{1, 5}, P().SchedulerFrame}, {{5, 5}, kBack}}},
      {"track-bar bounds", [&](TcxCanvas* C) { Office11()->DrawTrackBarTrackBounds(C, r); },
       {{{1, 1}, clBtnText}, {{5, 5}, kBack}}},
      {"date-navigator header",
       [&](TcxCanvas* C) {
         TRect h = r;
         Office11()->DrawDateNavigatorDateHeader(C, h);
         EXPECT_EQ(h, r);
       },
       {{{1, 1}, P().DockFirst}, {{10, 8}, P().DockFirst}, {{0, 0}, kBack}}},
      // CenteredSeparatorRect of (1, 1, 11, 9), 2 wide, horizontal: rows 4..5.
      {"separator",
       [&](TcxCanvas* C) { Office11()->DrawSeparator(C, r, false); },
       {{{1, 4}, P().SeparatorDark}, {{2, 5}, P().SeparatorLight}, {{1, 5}, kBack},
        {{9, 4}, P().SeparatorDark}, {{10, 4}, kBack}, {{10, 5}, P().SeparatorLight}}},
      {"panel fill",
       [&](TcxCanvas* C) { Office11()->DrawPanelBackground(C, nullptr, r, clRed, clDefault); },
       {{{1, 1}, clRed}, {{10, 8}, clRed}}},
      {"panel gradient",
       [&](TcxCanvas* C) { Office11()->DrawPanelBackground(C, nullptr, r, clRed, clBlue); },
       {{{1, 1}, clRed}, {{10, 1}, clRed}, {{0, 0}, kBack}}},
      {"size grip background",
       [&](TcxCanvas* C) { Office11()->DrawSizeGrip(C, r, clRed); },
       {{{1, 1}, clRed}, {{0, 0}, kBack}}},
  };
  for (const TCase& c : cases) {
    TCanvasBitmap bmp(12, 10);
    c.Draw(bmp.Canvas());
    for (const auto& [pt, color] : c.Pixels)
      EXPECT_EQ(bmp.Pixel(pt.X, pt.Y), Rgb(color)) << c.Name << " at " << pt.X << ", " << pt.Y;
  }
}

TEST_F(cxOffice11LookAndFeelPainter, SchedulerNavigationButtonFillAndOpenSide) {
  const TRect r(0, 0, 12, 20);
  for (TcxButtonState state : {cxbsNormal, cxbsHot, cxbsPressed}) {
    for (bool next : {false, true}) {
      TCanvasBitmap bmp(12, 20);
      Office11()->DrawSchedulerNavigationButtonContent(bmp.Canvas(), r, TRect(3, 8, 9, 12), next,
                                                       state);
      const TColor fill = state == cxbsHot ? P().HotFirst
                          : state == cxbsPressed ? P().PressedFirst
                                                 : P().DockFirst;
      EXPECT_EQ(bmp.Pixel(5, 2), Rgb(fill)) << state << next;
      EXPECT_EQ(bmp.Pixel(5, 0), Rgb(P().SchedulerFrame)) << state << next;
      // The frame is open toward the content: left for the previous button.
      EXPECT_EQ(bmp.Pixel(next ? 11 : 0, 5), Rgb(fill)) << state << next;
      EXPECT_EQ(bmp.Pixel(next ? 0 : 11, 5), Rgb(P().SchedulerFrame)) << state << next;
    }
  }
}

TEST_F(cxOffice11LookAndFeelPainter, ExpandButtonCornersBlendWithEachBackground) {
  ASSERT_NE(P().ExpandButtonPlusBitmap, nullptr);
  const TRect r(1, 1, 12, 12);
  TColor centre = clNone;
  for (TColor back : {TColor(clWhite), TColor(clBlack), TColor(clWhite)}) {
    TCanvasBitmap bmp(13, 13, back);
    Office11()->DrawExpandButton(bmp.Canvas(), r, false, clRed);
    EXPECT_EQ(bmp.Pixel(1, 1), Rgb(dxMixColors(dxOffice11ExpandButtonLightCorner, back, 25)));
    const TColor dark = Rgb(dxMixColors(dxOffice11ExpandButtonDarkCorner, back, 25));
    EXPECT_EQ(bmp.Pixel(11, 11), dark);
    EXPECT_EQ(bmp.Pixel(1, 11), dark);
    EXPECT_EQ(bmp.Pixel(11, 1), dark);
    EXPECT_EQ(bmp.Pixel(0, 0), Rgb(back));
    EXPECT_EQ(bmp.Pixel(12, 12), Rgb(back));
    // The body is the bitmap's, whatever lies under it.
    if (centre != clNone) {
      EXPECT_EQ(bmp.Pixel(6, 6), centre);
    }
    centre = bmp.Pixel(6, 6);
  }
}

// Scroll bars and group boxes are the native look's while visual styles are
// usable, the Standard scroll bars and UltraFlat group boxes otherwise.
TEST_F(cxOffice11LookAndFeelPainter, ScrollBarsAndGroupBoxesFollowTheVisualStyles) {
  const bool scrollThemed = dxAreThemesUsable(TdxThemedObjectTypes{totScrollBar});
  const bool buttonThemed = dxAreThemesUsable(TdxThemedObjectTypes{totButton});
  const TRect r(2, 2, 20, 16);
  for (TcxScrollBarPart part : {sbpLineUp, sbpThumbnail, sbpPageDown}) {
    TCanvasBitmap actual(22, 18), expected(22, 18);
    Office11()->DrawScrollBarPart(actual.Canvas(), false, r, part, cxbsNormal);
    (scrollThemed ? TcxWinXPLookAndFeelPainter::Instance()
                  : TcxStandardLookAndFeelPainter::Instance())
        ->DrawScrollBarPart(expected.Canvas(), false, r, part, cxbsNormal);
    EXPECT_TRUE(SamePixels(actual, expected)) << "part " << part << " themed " << scrollThemed;
  }
  TCanvasBitmap actual(22, 18), expected(22, 18);
  Office11()->DrawGroupBoxFrame(actual.Canvas(), r, true, cxgpTop, cxBordersAll);
  (buttonThemed ? TcxWinXPLookAndFeelPainter::Instance()
                : TcxUltraFlatLookAndFeelPainter::Instance())
      ->DrawGroupBoxFrame(expected.Canvas(), r, true, cxgpTop, cxBordersAll);
  EXPECT_TRUE(SamePixels(actual, expected)) << "group box, themed " << buttonThemed;
  EXPECT_EQ(Office11()->GroupBoxTextColor(true, cxgpTop),
            buttonThemed
                ? TcxWinXPLookAndFeelPainter::Instance()->GroupBoxTextColor(true, cxgpTop)
                : TcxCustomLookAndFeelPainter::Instance()->GroupBoxTextColor(true, cxgpTop));
}
