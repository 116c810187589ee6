// The native look is checked in two runs of this executable: with the
// prefix's visual styles (themed tests) and with the theme library switched
// off (fallback tests). Each test skips itself in the other mode.
#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPaintersNative.h"

#include "foundation/cxLookAndFeelPaintersStandard.h"
#include "foundation/dxThemeManager.h"
#include "foundation/dxUxTheme.h"
#include "platform/gui/StdCtrls.h"
#include "tests/foundation/cxGraphicsCanvasTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using cnvtest::kBack;
using cnvtest::TCanvasBitmap;

TcxCustomLookAndFeelPainterClass Native() { return TcxWinXPLookAndFeelPainter::Instance(); }
TcxCustomLookAndFeelPainterClass Standard() { return TcxStandardLookAndFeelPainter::Instance(); }

// The mode this run is in: the theme library is there and the desktop's
// visual styles answer for buttons.
bool ThemesOn() { return dxAreThemesUsable() && dxAcquireThemeHandle(totButton) != nullptr; }

#define REQUIRE_THEMES()                                                  \
  if (!ThemesOn()) GTEST_SKIP() << "visual styles are off in this run"
#define REQUIRE_NO_THEMES()                                               \
  if (ThemesOn()) GTEST_SKIP() << "visual styles are on in this run"

using TDrawOp = std::function<void(TcxCustomLookAndFeelPainterClass, TcxCanvas*, const TRect&)>;

struct TDrawCase {
  const char* Name;
  TdxThemedObjectType Theme;
  TDrawOp Draw;
};

const TRect kPart(4, 4, 28, 24);

// Elements drawn by the theme; each takes kPart.
const std::vector<TDrawCase>& DrawCases() {
  static const std::vector<TDrawCase> cases = {
      {"DrawButton", totButton,
       [](auto P, auto C, const TRect& R) {
         P->DrawButton(C, R, L"Ab", cxbsNormal, true, clDefault, clDefault, false, false);
       }},
      {"DrawArrowBorder", totButton,
       [](auto P, auto C, const TRect& R) { P->DrawArrowBorder(C, R, cxbsHot); }},
      {"DrawCheck", totButton,
       [](auto P, auto C, const TRect& R) { P->DrawCheck(C, R, cxbsNormal, true, clWindow); }},
      {"DrawGroupBoxFrame", totButton,
       [](auto P, auto C, const TRect& R) {
         P->DrawGroupBoxFrame(C, R, true, cxgpTop, cxBordersAll);
       }},
      {"DrawHeader", totHeader,
       [](auto P, auto C, const TRect& R) {
         P->DrawHeader(C, R, R, TcxNeighbors(), cxBordersAll, cxbsNormal, taLeftJustify, vaCenter,
                       false, false, L"Ab", nullptr, clBtnText, clBtnFace,
                       TcxDrawBackgroundEvent(), false, false);
       }},
      {"DrawScrollBarThumb", totScrollBar,
       [](auto P, auto C, const TRect& R) {
         P->DrawScrollBarPart(C, false, R, sbpThumbnail, cxbsNormal);
       }},
      {"DrawScrollBarPageUp", totScrollBar,
       [](auto P, auto C, const TRect& R) {
         P->DrawScrollBarPart(C, true, R, sbpPageUp, cxbsNormal);
       }},
      {"DrawScrollBarLineDown", totScrollBar,
       [](auto P, auto C, const TRect& R) {
         P->DrawScrollBarPart(C, false, R, sbpLineDown, cxbsPressed);
       }},
      {"DrawFilterDropDownButton", totComboBox,
       [](auto P, auto C, const TRect& R) {
         P->DrawFilterDropDownButton(C, R, cxbsHot, false);
       }},
      {"DrawTabHorizontal", totTab,
       [](auto P, auto C, const TRect& R) {
         P->DrawTab(C, R, cxBordersAll, L"T", cxbsNormal, false, nullptr, clBtnText, clBtnFace,
                    false);
       }},
      {"DrawTabVertical", totTab,
       [](auto P, auto C, const TRect& R) {
         P->DrawTab(C, R, cxBordersAll, L"T", cxbsNormal, true, nullptr, clBtnText, clBtnFace,
                    false);
       }},
      {"DrawTrackBarTrack", totTrackBar,
       [](auto P, auto C, const TRect& R) {
         P->DrawTrackBarTrack(C, R, TRect(), false, true, true, clDefault);
       }},
      {"DrawExpandButton", totTreeview,
       [](auto P, auto C, const TRect& R) { P->DrawExpandButton(C, R, true, clDefault); }},
  };
  return cases;
}

// Pixels that are not the background inside R, and outside it.
void CountChanges(const TCanvasBitmap& B, const TRect& R, int& AInside, int& AOutside) {
  AInside = AOutside = 0;
  for (int y = 0; y < B.Height(); ++y)
    for (int x = 0; x < B.Width(); ++x)
      if (B.Pixel(x, y) != kBack) (R.Contains(TPoint{x, y}) ? AInside : AOutside)++;
}

bool SamePixels(const TCanvasBitmap& A, const TCanvasBitmap& B, TPoint* AWhere = nullptr) {
  for (int y = 0; y < A.Height(); ++y)
    for (int x = 0; x < A.Width(); ++x)
      if (A.Pixel(x, y) != B.Pixel(x, y)) {
        if (AWhere) *AWhere = TPoint{x, y};
        return false;
      }
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Mode-independent behaviour
// ---------------------------------------------------------------------------

TEST(cxWinXPLookAndFeelPainter, ThemeStateMaps) {
  struct TCase {
    const char* Map;
    std::function<int(TcxButtonState)> State;
    int Expected[5];  // default, normal, hot, pressed, disabled
  };
  const TCase cases[] = {
      {"push button", cxPushButtonThemeState, {5, 1, 2, 3, 4}},
      {"check unchecked", [](TcxButtonState S) { return cxCheckButtonThemeState(S, false); },
       {1, 1, 2, 3, 4}},
      {"check checked", [](TcxButtonState S) { return cxCheckButtonThemeState(S, true); },
       {5, 5, 6, 7, 8}},
      {"arrow up", [](TcxButtonState S) { return cxScrollArrowThemeState(S, adUp); },
       {1, 1, 2, 3, 4}},
      {"arrow right", [](TcxButtonState S) { return cxScrollArrowThemeState(S, adRight); },
       {13, 13, 14, 15, 16}},
      {"arrow down", [](TcxButtonState S) { return cxScrollArrowThemeState(S, adDown); },
       {5, 5, 6, 7, 8}},
      {"scroll thumb", cxScrollThumbThemeState, {1, 1, 2, 3, 4}},
      {"header item", cxHeaderItemThemeState, {1, 1, 2, 3, 1}},
      {"tab item", cxTabItemThemeState, {1, 1, 2, 3, 4}},
      {"scheduler navigator", cxSchedulerNavigatorThemeState, {2, 2, 5, 3, 4}},
      {"track-bar thumb", cxTrackBarThumbThemeState, {2, 1, 2, 3, 5}},
      {"explorer bar", cxExplorerBarThemeState, {1, 1, 2, 3, 1}},
  };
  for (const TCase& c : cases)
    for (int s = cxbsDefault; s <= cxbsDisabled; ++s)
      EXPECT_EQ(c.State(TcxButtonState(s)), c.Expected[s]) << c.Map << " state " << s;
}

TEST(cxWinXPLookAndFeelPainter, IdentityAndFixedAnswers) {
  EXPECT_EQ(Native()->LookAndFeelStyle(), lfsNative);
  EXPECT_EQ(Native()->DefaultSchedulerViewContentColor(), TColor(0xD5FFFF));
  EXPECT_EQ(Native()->ButtonTextOffset(), 2);
  EXPECT_EQ(Native()->ButtonTextShift(), 0);
  EXPECT_FALSE(Native()->DrawExpandButtonFirst());
  EXPECT_TRUE(Native()->IsButtonHotTrack());
  EXPECT_TRUE(Native()->IsHeaderHotTrack());
  EXPECT_EQ(Native()->FooterBorderSize(), 1);
  EXPECT_EQ(Native()->FooterCellOffset(), 1);
  EXPECT_FALSE(Native()->FooterDrawCellsFirst());
  EXPECT_EQ(Native()->TabBorderSize(false), 1);
  EXPECT_EQ(Native()->SchedulerEventProgressOffsets(), TRect(3, 3, 3, 3));
  EXPECT_EQ(Native()->NeedRedrawOnResize(), dxAreThemesUsable());
  EXPECT_GE(Native()->ScrollBarMinimalThumbSize(true), 8);
  EXPECT_GE(Native()->ScrollBarMinimalThumbSize(false), 8);
}

TEST(cxWinXPLookAndFeelPainter, SplitterAndPressedHeaderDrawNothing) {
  TCanvasBitmap bmp(20, 20);
  Native()->DrawSplitter(bmp.Canvas(), TRect(0, 0, 20, 20), true, true, true);
  Native()->DrawHeaderPressed(bmp.Canvas(), TRect(0, 0, 20, 20));
  int inside, outside;
  CountChanges(bmp, TRect(0, 0, 20, 20), inside, outside);
  EXPECT_EQ(inside, 0);
}

TEST(cxWinXPLookAndFeelPainter, PanelBackgroundIsASolidFillInTheFirstColour) {
  TCanvasBitmap bmp(10, 10);
  Native()->DrawPanelBackground(bmp.Canvas(), nullptr, TRect(1, 1, 9, 9), clRed, clBlue);
  EXPECT_EQ(bmp.Pixel(1, 1), ColorToRGB(clRed));
  EXPECT_EQ(bmp.Pixel(8, 8), ColorToRGB(clRed));
  EXPECT_EQ(bmp.Pixel(0, 0), kBack);
}

// ---------------------------------------------------------------------------
// With visual styles
// ---------------------------------------------------------------------------

TEST(cxWinXPLookAndFeelPainterThemed, ElementsAreDrawnByTheThemeInsideTheirBounds) {
  REQUIRE_THEMES();
  for (const TDrawCase& c : DrawCases()) {
    if (!dxAcquireThemeHandle(c.Theme)) {
      ADD_FAILURE() << c.Name << ": the theme has no class for it";
      continue;
    }
    TCanvasBitmap bmp(32, 28);
    c.Draw(Native(), bmp.Canvas(), kPart);
    int inside, outside;
    CountChanges(bmp, kPart, inside, outside);
    EXPECT_GT(inside, 0) << c.Name;
    EXPECT_EQ(outside, 0) << c.Name;
  }
}

TEST(cxWinXPLookAndFeelPainterThemed, VerticalTabIsTheHorizontalTabTurned) {
  REQUIRE_THEMES();
  for (TcxButtonState state : {cxbsNormal, cxbsPressed}) {
    for (TcxBorders borders : {cxBordersAll, TcxBorders{bTop, bBottom}}) {
      // The horizontal tab's left and right edges are the vertical one's top
      // and bottom.
      TcxBorders vertical;
      if (borders.Contains(bLeft)) vertical = vertical + TcxBorders{bTop};
      if (borders.Contains(bRight)) vertical = vertical + TcxBorders{bBottom};
      // A background that shows whether the pixels under the turned tab
      // come back in their places.
      TCanvasBitmap horz(40, 24), vert(24, 40);
      for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x) {
          horz.SetPixel(x, y, TColor(RGB(x * 6, y * 10, 128)));
          vert.SetPixel(y, x, TColor(RGB(x * 6, y * 10, 128)));
        }
      Native()->DrawTab(horz.Canvas(), TRect(4, 2, 36, 20), borders, String(), state, false,
                        nullptr, clBtnText, clBtnFace, false);
      Native()->DrawTab(vert.Canvas(), TRect(2, 4, 20, 36), vertical, String(), state, true,
                        nullptr, clBtnText, clBtnFace, false);
      int mismatches = 0;
      for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x)
          if (horz.Pixel(x, y) != vert.Pixel(y, x)) ++mismatches;
      EXPECT_EQ(mismatches, 0) << "state " << state;
    }
  }
}

TEST(cxWinXPLookAndFeelPainterThemed, BorderIsOnePixelFrameOnly) {
  REQUIRE_THEMES();
  if (!dxAcquireThemeHandle(totListView)) GTEST_SKIP() << "no list-view class";
  EXPECT_EQ(Native()->BorderSize(), 1);
  TCanvasBitmap bmp(32, 28);
  Native()->DrawBorder(bmp.Canvas(), kPart);
  int inside, outside;
  CountChanges(bmp, TRect(kPart.Left + 1, kPart.Top + 1, kPart.Right - 1, kPart.Bottom - 1),
               inside, outside);
  EXPECT_EQ(inside, 0) << "the inside stays as it was";
  EXPECT_EQ(outside, 2 * (kPart.Width() + kPart.Height()) - 4) << "the whole frame is drawn";
}

TEST(cxWinXPLookAndFeelPainterThemed, MetricsComeFromTheTheme) {
  REQUIRE_THEMES();
  EXPECT_EQ(Native()->CheckBorderSize(), 0);
  const TSize check = Native()->CheckButtonSize();
  EXPECT_GT(check.cx, 0);
  EXPECT_EQ(Native()->FilterActivateButtonSize(), TPoint(check.cx, check.cy));
  EXPECT_GE(Native()->HeaderBorderSize(), 1);
  EXPECT_EQ(Native()->HeaderControlSectionBorderSize(cxbsPressed), Native()->HeaderBorderSize());
  const int b = Native()->HeaderBorderSize();
  EXPECT_EQ(Native()->HeaderControlSectionContentBounds(TRect(0, 0, 40, 20), cxbsNormal),
            TRect(b, b, 40 - b, 20 - b));
  EXPECT_GE(Native()->ButtonBorderSize(cxbsNormal), 0);
}

TEST(cxWinXPLookAndFeelPainterThemed, ThemedTextDrawsOnlyInsideItsRectangle) {
  REQUIRE_THEMES();
  TdxTheme theme = dxAcquireThemeHandle(totButton);
  const auto* painter = static_cast<const TcxWinXPLookAndFeelPainter*>(Native());
  TCanvasBitmap bmp(60, 24);
  const TRect r(5, 2, 55, 22);
  painter->DrawThemedText(bmp.Canvas(), theme, 1, 1, r, String(), nullptr, clBlack, taCenter,
                          vaCenter, false, false, false);
  int inside, outside;
  CountChanges(bmp, r, inside, outside);
  EXPECT_EQ(inside + outside, 0) << "an empty text draws nothing";
  painter->DrawThemedText(bmp.Canvas(), theme, 1, 1, r, L"Wm", nullptr, clBlack, taCenter,
                          vaCenter, false, false, false);
  CountChanges(bmp, r, inside, outside);
  EXPECT_GT(inside, 0);
  EXPECT_EQ(outside, 0);
}

// ---------------------------------------------------------------------------
// Without visual styles: the Standard look
// ---------------------------------------------------------------------------

TEST(cxWinXPLookAndFeelPainterNoThemes, ElementsFallBackToTheStandardLook) {
  REQUIRE_NO_THEMES();
  for (const TDrawCase& c : DrawCases()) {
    TCanvasBitmap native(32, 28), standard(32, 28);
    c.Draw(Native(), native.Canvas(), kPart);
    c.Draw(Standard(), standard.Canvas(), kPart);
    // The Standard look draws no tabs, and its track pattern exists only
    // after the painter module's start-up; everything else it draws.
    const std::string name = c.Name;
    if (name.rfind("DrawTab", 0) != 0 && name != "DrawScrollBarPageUp") {
      int inside, outside;
      CountChanges(standard, kPart, inside, outside);
      EXPECT_GT(inside, 0) << c.Name << " draws nothing in the Standard look";
    }
    TPoint where{};
    EXPECT_TRUE(SamePixels(native, standard, &where))
        << c.Name << " differs at " << where.X << ", " << where.Y;
  }
  TCanvasBitmap native(32, 28), standard(32, 28);
  Native()->DrawBorder(native.Canvas(), kPart);
  Standard()->DrawBorder(standard.Canvas(), kPart);
  EXPECT_TRUE(SamePixels(native, standard)) << "DrawBorder";
}

TEST(cxWinXPLookAndFeelPainterNoThemes, MetricsAreTheStandardOnes) {
  REQUIRE_NO_THEMES();
  for (int s = cxbsDefault; s <= cxbsDisabled; ++s)
    EXPECT_EQ(Native()->ButtonBorderSize(TcxButtonState(s)), Standard()->ButtonBorderSize(cxbsNormal))
        << "state " << s;
  EXPECT_EQ(Native()->ButtonBorderSize(cxbsDefault), 2);
  EXPECT_EQ(Native()->BorderSize(), Standard()->BorderSize());
  EXPECT_EQ(Native()->CheckBorderSize(), Standard()->CheckBorderSize());
  EXPECT_EQ(Native()->ExpandButtonSize(), Standard()->ExpandButtonSize());
  EXPECT_EQ(Native()->HeaderBorderSize(), Standard()->HeaderBorderSize());
  EXPECT_EQ(Native()->FooterCellBorderSize(), Standard()->FooterCellBorderSize());
  EXPECT_EQ(Native()->ScrollBarMinimalThumbSize(true), 8);
  EXPECT_EQ(Native()->ButtonColor(cxbsHot), Standard()->ButtonColor(cxbsHot));
  EXPECT_EQ(Native()->DefaultSchedulerBorderColor(), Standard()->DefaultSchedulerBorderColor());
  EXPECT_EQ(Native()->ButtonGroupBorderSizes(3, 1), Standard()->ButtonGroupBorderSizes(3, 1));
  EXPECT_FALSE(Native()->IsDrawTabImplemented(false));
  EXPECT_FALSE(Native()->NeedRedrawOnResize());
}

TEST(cxWinXPLookAndFeelPainterNoThemes, RadioButtonStillShowsWithoutTheButtonTheme) {
  REQUIRE_NO_THEMES();
  EXPECT_EQ(Native()->RadioButtonSize(), Standard()->RadioButtonSize());
  TCanvasBitmap native(20, 20), standard(20, 20);
  Native()->DrawRadioButton(native.Canvas(), 2, 2, cxbsNormal, true, false, clWindow, false);
  Standard()->DrawRadioButton(standard.Canvas(), 2, 2, cxbsNormal, true, false, clWindow, false);
  EXPECT_TRUE(SamePixels(native, standard));
}
