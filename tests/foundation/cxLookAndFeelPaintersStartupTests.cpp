#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPaintersStartup.h"

#include "foundation/cxGraphicsRoutines.h"
#include "foundation/cxLookAndFeelPaintersFlat.h"
#include "foundation/cxLookAndFeelPaintersRegistry.h"
#include "foundation/cxLookAndFeelPaintersStandard.h"
#include "foundation/dxOffice11.h"
#include "tests/foundation/cxGraphicsCanvasTestSupport.h"

#include <gtest/gtest.h>

namespace {

using cnvtest::kBack;
using cnvtest::TCanvasBitmap;
using L = TcxRadioButtonImageList;

class RadioButtonImages : public ::testing::Test {
 protected:
  void SetUp() override { cxLookAndFeelPaintersInitialize(); }
  void TearDown() override { cxLookAndFeelPaintersFinalize(); }
  static L* List() { return cxGetRadioButtonImageList(); }
};

TEST_F(RadioButtonImages, GlyphIsTheInkExtentOfThePlatformRadio) {
  const TSize size = List()->Size();
  HBITMAP sheet = LoadBitmapW(nullptr, MAKEINTRESOURCEW(32759));
  ASSERT_NE(sheet, nullptr);
  BITMAP info{};
  GetObjectW(sheet, sizeof(info), &info);
  DeleteObject(sheet);
  EXPECT_GE(size.cx, 8);
  EXPECT_GE(size.cy, 8);
  EXPECT_LE(size.cx, info.bmWidth / 4);
  EXPECT_LE(size.cy, info.bmHeight / 3);
  EXPECT_EQ(List()->RadioButtonRect().Width(), size.cx);
  EXPECT_EQ(List()->RadioButtonRect().Height(), size.cy);
  // The dot lies inside the glyph.
  const TRect& dot = List()->RadioButtonCheckRect();
  const TRect& glyph = List()->RadioButtonRect();
  EXPECT_GE(dot.Left, glyph.Left);
  EXPECT_GE(dot.Top, glyph.Top);
  EXPECT_LE(dot.Right, glyph.Right);
  EXPECT_LE(dot.Bottom, glyph.Bottom);
  EXPECT_FALSE(dot.IsEmpty());
  // Painters answer the same size through the module's hooks.
  EXPECT_EQ(TcxStandardLookAndFeelPainter::Instance()->RadioButtonSize(), size);
}

TEST_F(RadioButtonImages, PatternHasRingsFaceAndDot) {
  const TSize s = List()->Size();
  const int w = s.cx, h = s.cy;
  EXPECT_EQ(List()->PatternCode(0, 0), L::pcNone);
  EXPECT_EQ(List()->PatternCode(h - 1, w - 1), L::pcNone);
  EXPECT_EQ(List()->PatternCode(h / 2 - 1, w / 2 - 1), L::pcDot);
  // The ring: upper-left half on the left edge, lower-right half on the right one.
  EXPECT_EQ(List()->PatternCode(h / 2 - 1, 0), L::pcOuterUL);
  EXPECT_EQ(List()->PatternCode(h / 2, w - 1), L::pcOuterLR);
  // Walking in from the left edge: ring, inner ring, then face before the dot.
  int i = h / 2 - 1, j = 0;
  while (j < w && List()->PatternCode(i, j) == L::pcOuterUL) ++j;
  EXPECT_EQ(List()->PatternCode(i, j), L::pcInnerUL);
  ++j;
  EXPECT_EQ(List()->PatternCode(i, j), L::pcFace);
  // Every code is one of the seven.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      EXPECT_GE(List()->PatternCode(y, x), L::pcNone);
      EXPECT_LE(List()->PatternCode(y, x), L::pcDot);
    }
}

TEST(RadioButtonColours, TableOfLooksAndStates) {
  struct Row {
    int Code;
    TcxLookAndFeelKind Kind;
    TcxButtonState State;
    bool Checked, Focused, Designing;
    TColor Expected;
  } rows[] = {
      {L::pcOuterUL, lfFlat, cxbsNormal, false, false, false, clBtnShadow},
      {L::pcOuterLR, lfFlat, cxbsNormal, false, false, false, clBtnHighlight},
      {L::pcInnerUL, lfFlat, cxbsNormal, false, false, false, cl3DLight},
      {L::pcInnerUL, lfStandard, cxbsNormal, false, false, false, cl3DDkShadow},
      {L::pcInnerLR, lfStandard, cxbsNormal, false, false, false, cl3DLight},
      {L::pcFace, lfStandard, cxbsNormal, false, false, false, clWindow},
      {L::pcFace, lfFlat, cxbsPressed, false, false, false, clBtnFace},
      {L::pcFace, lfStandard, cxbsDisabled, false, false, false, clBtnFace},
      {L::pcDot, lfStandard, cxbsNormal, true, false, false, clWindowText},
      {L::pcDot, lfStandard, cxbsDisabled, true, false, false, clBtnShadow},
      {L::pcDot, lfStandard, cxbsNormal, false, false, false, clWindow},
      {L::pcDot, lfUltraFlat, cxbsHot, false, false, false, cxPaleHighlightTintColor()},
      {L::pcOuterUL, lfUltraFlat, cxbsNormal, false, false, false, clBtnShadow},
      {L::pcOuterLR, lfUltraFlat, cxbsHot, false, false, false, clHighlight},
      {L::pcOuterUL, lfUltraFlat, cxbsNormal, false, true, false, clHighlight},
      {L::pcOuterUL, lfUltraFlat, cxbsNormal, false, false, true, clHighlight},
      {L::pcOuterUL, lfUltraFlat, cxbsDisabled, false, false, true, clBtnShadow},
      {L::pcInnerUL, lfUltraFlat, cxbsPressed, false, false, false, cxHighlightTintColor()},
      {L::pcFace, lfUltraFlat, cxbsNormal, false, false, false, clWindow},
      {L::pcOuterUL, lfOffice11, cxbsNormal, false, false, false, clBtnText},
      {L::pcOuterUL, lfOffice11, cxbsHot, false, false, false, dxOffice11Palette.SelectedFrame},
      {L::pcOuterUL, lfOffice11, cxbsDisabled, false, false, false, dxOffice11Palette.DisabledText},
      {L::pcDot, lfOffice11, cxbsDisabled, true, false, false, dxOffice11Palette.DisabledText},
      {L::pcFace, lfOffice11, cxbsNormal, false, false, false, clWindow},
  };
  for (const Row& r : rows)
    EXPECT_EQ(L::PatternColor(r.Code, r.Kind, r.State, r.Checked, r.Focused, r.Designing),
              r.Expected)
        << "code " << r.Code << " kind " << int(r.Kind) << " state " << int(r.State);
  // An unchecked glyph shows no dot in any look.
  for (int kind = lfFlat; kind <= lfOffice11; ++kind)
    for (int state = cxbsNormal; state <= cxbsDisabled; ++state) {
      const auto k = static_cast<TcxLookAndFeelKind>(kind);
      const auto s = static_cast<TcxButtonState>(state);
      EXPECT_EQ(L::PatternColor(L::pcDot, k, s, false, false, false),
                L::PatternColor(L::pcFace, k, s, false, false, false));
    }
}

TEST_F(RadioButtonImages, DrawMaskedOrOnAColouredSquare) {
  const TSize s = List()->Size();
  const int cx = 2 + s.cx / 2 - 1, cy = 2 + s.cy / 2 - 1;
  {
    TCanvasBitmap bmp(s.cx + 4, s.cy + 4);
    List()->Draw(bmp.Canvas(), 2, 2, clDefault, lfStandard, cxbsNormal, true, false, false);
    EXPECT_EQ(bmp.Pixel(2, 2), kBack) << "outside the ellipse stays as it was";
    EXPECT_EQ(bmp.Pixel(1, cy), kBack);
    EXPECT_EQ(bmp.Pixel(cx, cy), ColorToRGB(clWindowText)) << "the dot";
    EXPECT_EQ(bmp.Pixel(2, cy), ColorToRGB(clBtnShadow)) << "outer ring, upper-left";
  }
  {
    TCanvasBitmap bmp(s.cx + 4, s.cy + 4);
    List()->Draw(bmp.Canvas(), 2, 2, clRed, lfUltraFlat, cxbsHot, false, false, false);
    EXPECT_EQ(bmp.Pixel(2, 2), ColorToRGB(clRed)) << "an opaque square";
    EXPECT_EQ(bmp.Pixel(1, 1), kBack);
    EXPECT_EQ(bmp.Pixel(cx, cy), ColorToRGB(cxPaleHighlightTintColor())) << "no dot, hot face";
    EXPECT_EQ(bmp.Pixel(2, cy), ColorToRGB(clHighlight)) << "hot ring";
  }
}

TEST_F(RadioButtonImages, DefaultStateDrawsAsNormal) {
  // The default state has no glyph of its own; it must not pick a neighbour's.
  const TSize s = List()->Size();
  for (bool checked : {false, true})
    for (auto painter : {TcxStandardLookAndFeelPainter::Instance(),
                         TcxUltraFlatLookAndFeelPainter::Instance()}) {
      TCanvasBitmap def(s.cx, s.cy), normal(s.cx, s.cy);
      List()->Draw(def.Canvas(), 0, 0, clDefault,
                   cxLookAndFeelKindFromStyle(painter->LookAndFeelStyle()), cxbsDefault, checked,
                   false, false);
      painter->DrawRadioButton(normal.Canvas(), 0, 0, cxbsNormal, checked, false, clDefault,
                               false);
      EXPECT_EQ(def.Mismatches([&](int x, int y) { return normal.Pixel(x, y); }), 0);
      EXPECT_GT(def.Mismatches([](int, int) { return kBack; }), 0);
    }
}

TEST_F(RadioButtonImages, ResetRebuildsAllImages) {
  const TSize s = List()->Size();
  TCanvasBitmap before(s.cx, s.cy), after(s.cx, s.cy);
  List()->Draw(before.Canvas(), 0, 0, clDefault, lfFlat, cxbsPressed, true, true, true);
  List()->Reset();
  List()->Draw(after.Canvas(), 0, 0, clDefault, lfFlat, cxbsPressed, true, true, true);
  EXPECT_EQ(before.Mismatches([&](int x, int y) { return after.Pixel(x, y); }), 0);
}

TEST(PaintersModule, StartupIsCountedAndInstallsTheSharedObjects) {
  // The test program starts the module already; a further balanced pair must
  // neither rebuild nor tear down what the first user relies on.
  cxLookAndFeelPaintersInitialize();
  TcxRadioButtonImageList* list = cxGetRadioButtonImageList();
  cxLookAndFeelPaintersInitialize();
  EXPECT_EQ(cxGetRadioButtonImageList(), list);
  EXPECT_NE(cxGetStylePainterRegistry(), nullptr);
  EXPECT_NE(cxScrollBarPatternBitmaps(0), nullptr);
  EXPECT_GT(TcxFlatLookAndFeelPainter::Instance()->CheckButtonSize().cx, 0);
  cxLookAndFeelPaintersFinalize();
  cxLookAndFeelPaintersFinalize();
  EXPECT_NE(cxDrawRadioButtonImageHook, nullptr);
  EXPECT_NE(cxRadioButtonImageSizeHook, nullptr);
  EXPECT_EQ(cxGetRadioButtonImageList(), list);
}

}  // namespace
