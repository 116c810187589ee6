#include "platform/WinApi.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxThemeManager.h"
#include "foundation/dxUxTheme.h"
#include "platform/gui/GdiAccounting.h"
#include "tests/foundation/dxOffice11TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The names the stand-in for GetCurrentThemeName reports.
const wchar_t* fakeFileName = L"";
const wchar_t* fakeColorName = L"";
HRESULT WINAPI FakeCurrentThemeName(LPWSTR file, int fileChars, LPWSTR color, int colorChars, LPWSTR size,
                                    int sizeChars) {
  lstrcpynW(file, fakeFileName, fileChars);
  lstrcpynW(color, fakeColorName, colorChars);
  lstrcpynW(size, L"NormalSize", sizeChars);
  return S_OK;
}

// The system colours the classic palette is derived from in these tests.
const std::vector<std::pair<int, COLORREF>> kClassicColors = {
    {COLOR_BTNFACE, RGB(212, 208, 200)},   {COLOR_WINDOW, RGB(250, 240, 230)},
    {COLOR_BTNSHADOW, RGB(120, 130, 140)}, {COLOR_HIGHLIGHT, RGB(10, 36, 106)},
    {COLOR_BTNTEXT, RGB(1, 2, 3)},         {COLOR_GRAYTEXT, RGB(100, 110, 120)},
    {COLOR_BTNHIGHLIGHT, RGB(254, 253, 252)}};

// Rebuilds the palette from the real system once a test is done with it.
class DxOffice11Palette : public testing::Test {
 protected:
  void TearDown() override {
    guard_.reset();
    dxReloadOffice11Colors();
  }
  // Reports a visual style through a stand-in for the library.
  void ReportStyle(const wchar_t* file, const wchar_t* color) {
    fakeFileName = file;
    fakeColorName = color;
    dxUxThemeProcs.GetCurrentThemeName = &FakeCurrentThemeName;
  }
  std::optional<fndtest::TUxThemeProcsGuard> guard_{std::in_place};
};

using TField = TColor (*)(const TdxOffice11Palette&);
struct TFieldRow {
  const char* Name;
  TField Get;
  TColor Scheme[3];   // blue, olive, silver
};

const TFieldRow kSchemeFields[] = {
    {"ToolbarLight", [](const TdxOffice11Palette& p) { return p.ToolbarLight; }, {0xFEECDD, 0xDEF7F4, 0xFAF4F3}},
    {"ToolbarDark", [](const TdxOffice11Palette& p) { return p.ToolbarDark; }, {0xE2A981, 0x91C6B7, 0xB59799}},
    {"DockFirst", [](const TdxOffice11Palette& p) { return p.DockFirst; }, {0xF5BE9E, 0xA7D9D9, 0xE5D7D7}},
    {"DockSecond", [](const TdxOffice11Palette& p) { return p.DockSecond; }, {0xF9DAC3, 0xE4F0F2, 0xF7F3F3}},
    {"MarkA[0]", [](const TdxOffice11Palette& p) { return p.MarkA[0]; }, {0xF1A675, 0x8CC2B0, 0xC8B2B3}},
    {"MarkA[1]", [](const TdxOffice11Palette& p) { return p.MarkA[1]; }, {0xD3F8FF, 0xD3F8FF, 0xD3F8FF}},
    {"MarkA[2]", [](const TdxOffice11Palette& p) { return p.MarkA[2]; }, {0x5295FE, 0x5295FE, 0x5295FE}},
    {"MarkB[0]", [](const TdxOffice11Palette& p) { return p.MarkB[0]; }, {0x913500, 0x6B7760, 0x927476}},
    {"MarkB[1]", [](const TdxOffice11Palette& p) { return p.MarkB[1]; }, {0x76C1FF, 0x76C1FF, 0x76C1FF}},
    {"MarkB[2]", [](const TdxOffice11Palette& p) { return p.MarkB[2]; }, {0x98DDFF, 0x98DDFF, 0x98DDFF}},
    {"MarkBase", [](const TdxOffice11Palette& p) { return p.MarkBase; }, {0xE0A47B, 0x8FC4B5, 0xB09193}},
    {"BarEdge", [](const TdxOffice11Palette& p) { return p.BarEdge; }, {0x9C613B, 0x588060, 0x947C7C}},
    {"GripDark", [](const TdxOffice11Palette& p) { return p.GripDark; }, {0x764127, 0x335E51, 0x755454}},
    {"GripLight", [](const TdxOffice11Palette& p) { return p.GripLight; }, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
    {"SeparatorDark", [](const TdxOffice11Palette& p) { return p.SeparatorDark; }, {0xCB8C6A, 0x588060, 0x8F6D6E}},
    {"SeparatorLight", [](const TdxOffice11Palette& p) { return p.SeparatorLight; }, {0xFFF9F1, 0xDEF7F4, 0xFFFFFF}},
    {"FloatingFrame", [](const TdxOffice11Palette& p) { return p.FloatingFrame; }, {0xC9662A, 0x5E8674, 0x99797A}},
    {"FloatingFrameInner", [](const TdxOffice11Palette& p) { return p.FloatingFrameInner; }, {0xF9DBC4, 0xADDEE1, 0xE4DADB}},
    {"MenuFrame", [](const TdxOffice11Palette& p) { return p.MenuFrame; }, {0x962D00, 0x5E8D75, 0x947C7C}},
    {"MenuBack", [](const TdxOffice11Palette& p) { return p.MenuBack; }, {0xF6F6F6, 0xEEF4F4, 0xFFFAFD}},
    {"Selected", [](const TdxOffice11Palette& p) { return p.Selected; }, {0xC2EEFF, 0xC2EEFF, 0xC2EEFF}},
    {"SelectedFrame", [](const TdxOffice11Palette& p) { return p.SelectedFrame; }, {0x800000, 0x385D3F, 0x6F4B4B}},
    {"HotFirst", [](const TdxOffice11Palette& p) { return p.HotFirst; }, {0xCCF4FF, 0xCCF4FF, 0xCCF4FF}},
    {"HotSecond", [](const TdxOffice11Palette& p) { return p.HotSecond; }, {0x91D0FF, 0x91D0FF, 0x91D0FF}},
    {"PressedFirst", [](const TdxOffice11Palette& p) { return p.PressedFirst; }, {0x8ED3FF, 0x8ED3FF, 0x8ED3FF}},
    {"PressedSecond", [](const TdxOffice11Palette& p) { return p.PressedSecond; }, {0x4E91FE, 0x4E91FE, 0x4E91FE}},
    {"Checked", [](const TdxOffice11Palette& p) { return p.Checked; }, {0xFCE1CB, 0xB6E3D8, 0xE7D3D6}},
    {"Downed", [](const TdxOffice11Palette& p) { return p.Downed; }, {0x6FC0FF, 0x6FC0FF, 0x6FC0FF}},
    {"DownedSelected", [](const TdxOffice11Palette& p) { return p.DownedSelected; }, {0x3E80FE, 0x3E80FE, 0x3E80FE}},
    {"DetachCaption", [](const TdxOffice11Palette& p) { return p.DetachCaption; }, {0xF0C7A9, 0x9FD4C5, 0xD3C0C0}},
    {"Text", [](const TdxOffice11Palette& p) { return p.Text; }, {0x000000, 0x000000, 0x000000}},
    {"DisabledText", [](const TdxOffice11Palette& p) { return p.DisabledText; }, {0x8D8D8D, 0x8D8D8D, 0x8D8D8D}},
    {"Group", [](const TdxOffice11Palette& p) { return p.Group; }, {0xFBDABE, 0x91BAAF, 0xEBE5E5}},
    {"DateNavigatorSelection", [](const TdxOffice11Palette& p) { return p.DateNavigatorSelection; }, {0x94E6FB, 0x94E6FB, 0x94E6FB}},
    {"SchedulerControl", [](const TdxOffice11Palette& p) { return p.SchedulerControl; }, {0xFADAC4, 0xE4F1F2, 0xF7F3F3}},
    {"SchedulerFrame", [](const TdxOffice11Palette& p) { return p.SchedulerFrame; }, {0x962D00, 0x588060, 0x947C7C}},
    {"GroupRowText", [](const TdxOffice11Palette& p) { return p.GroupRowText; }, {0xB96837, 0x548973, 0x916F70}},
    {"FloatingCaption", [](const TdxOffice11Palette& p) { return p.FloatingCaption; }, {0xFEECDD, 0xDEF7F4, 0xFAF4F3}},
    {"FloatingCaptionBack", [](const TdxOffice11Palette& p) { return p.FloatingCaptionBack; }, {0xC9662A, 0x5E8674, 0x99797A}},
    {"MenuSideLight", [](const TdxOffice11Palette& p) { return p.MenuSideLight; }, {0xFEECDD, 0xDEF7F4, 0xFAF4F3}},
    {"MenuSideDark", [](const TdxOffice11Palette& p) { return p.MenuSideDark; }, {0xE2A981, 0x91C6B7, 0xB59799}},
    {"OwnerLinkLight", [](const TdxOffice11Palette& p) { return p.OwnerLinkLight; }, {0xFEECDD, 0xDEF7F4, 0xFAF4F3}},
    {"OwnerLinkDark", [](const TdxOffice11Palette& p) { return p.OwnerLinkDark; }, {0xE2A981, 0x91C6B7, 0xB59799}},
    {"DateNavigatorHeader", [](const TdxOffice11Palette& p) { return p.DateNavigatorHeader; }, {0xF5BE9E, 0xA7D9D9, 0xE5D7D7}},
    {"ControlFrame", [](const TdxOffice11Palette& p) { return p.ControlFrame; }, {0x962D00, 0x5E8D75, 0x947C7C}},
    {"GroupRowSeparator", [](const TdxOffice11Palette& p) { return p.GroupRowSeparator; }, {0xE0A47B, 0x8FC4B5, 0xB09193}},
    {"MarkC[0]", [](const TdxOffice11Palette& p) { return p.MarkC[0]; }, {0xF2AD7F, 0x94C8B6, 0xCDB8B9}},
    {"MarkC[2]", [](const TdxOffice11Palette& p) { return p.MarkC[2]; }, {0x639EFB, 0x609FFD, 0x639EFD}},
    {"MarkD[0]", [](const TdxOffice11Palette& p) { return p.MarkD[0]; }, {0xB96D3E, 0x7E9E8B, 0xA18385}},
    {"MarkD[1]", [](const TdxOffice11Palette& p) { return p.MarkD[1]; }, {0xABB3BE, 0x83C3DB, 0x93AACA}},
    {"GroupByBox", [](const TdxOffice11Palette& p) { return p.GroupByBox; }, {0xB96D3E, 0x7E9E8B, 0xA18385}},
    {"MenuSideLightShade", [](const TdxOffice11Palette& p) { return p.MenuSideLightShade; }, {0xEAD9CB, 0xCCE3E0, 0xE6E0E0}},
    {"MenuSideDarkShade", [](const TdxOffice11Palette& p) { return p.MenuSideDarkShade; }, {0xD09B77, 0x85B6A8, 0xA78B8D}},
    {"MarkGlyph", [](const TdxOffice11Palette& p) { return p.MarkGlyph; }, {0x000000, 0x000000, 0x000000}},
    {"MarkGlyphShadow", [](const TdxOffice11Palette& p) { return p.MarkGlyphShadow; }, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
    {"CaptionText", [](const TdxOffice11Palette& p) { return p.CaptionText; }, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
    {"ItemText", [](const TdxOffice11Palette& p) { return p.ItemText; }, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
    {"MarkArrow2", [](const TdxOffice11Palette& p) { return p.MarkArrow2; }, {0x000000, 0x000000, 0x000000}},
    {"GroupRowContent", [](const TdxOffice11Palette& p) { return p.GroupRowContent; }, {0xC9EEFD, 0xC9EEFD, 0xC9EEFD}},
};

TEST_F(DxOffice11Palette, RecognisedSchemesTakeTheirTableColours) {
  if (!dxAreThemesUsable()) GTEST_SKIP() << "no visual styles";
  struct TScheme {
    const wchar_t* File;
    const wchar_t* Color;
    int Scheme, Midpoint;
  };
  // From Windows 6.0 on the style's file does not matter, only its colour.
  const TScheme schemes[] = {{L"C:\\Windows\\Resources\\Themes\\Luna\\Luna.msstyles", L"NormalColor", 1, 41},
                             {L"C:\\Windows\\Resources\\Themes\\Aero\\aero.msstyles", L"HomeStead", 2, 125},
                             {L"C:\\Windows\\Resources\\Themes\\Luna\\luna.msstyles", L"metallic", 3, 40}};
  for (const TScheme& s : schemes) {
    SCOPED_TRACE(testing::Message() << "scheme " << s.Scheme);
    ReportStyle(s.File, s.Color);
    dxReloadOffice11Colors();
    EXPECT_EQ(dxCurrentOffice11Scheme(), s.Scheme);
    EXPECT_TRUE(dxIsOffice11SchemeThemed());
    EXPECT_EQ(dxOffice11Palette.GradientMidpoint, s.Midpoint);
    for (const TFieldRow& row : kSchemeFields)
      EXPECT_EQ(row.Get(dxOffice11Palette), row.Scheme[s.Scheme - 1]) << row.Name;
  }
}

TEST_F(DxOffice11Palette, AnyOtherColourNameGivesTheClassicPalette) {
  if (!dxAreThemesUsable()) GTEST_SKIP() << "no visual styles";
  for (const wchar_t* color : {L"Blue", L"", L"NormalColour"}) {
    ReportStyle(L"light.msstyles", color);
    EXPECT_EQ(dxDetectOffice11Scheme(), dxOffice11SchemeNone);
    dxReloadOffice11Colors();
    EXPECT_FALSE(dxIsOffice11SchemeThemed());
    EXPECT_EQ(dxOffice11Palette.GradientMidpoint, 75);
  }
}

// The classic palette follows the system colours: a changed colour scheme
// gives new values at the next reload.
TEST_F(DxOffice11Palette, ClassicPaletteFollowsTheSystemColours) {
  ReportStyle(L"light.msstyles", L"Blue");
  fndtest::TSysColorsOverride colors(kClassicColors);
  ASSERT_TRUE(colors.Ok()) << "SetSysColors did not take the colours";
  dxReloadOffice11Colors();
  ASSERT_EQ(dxCurrentOffice11Scheme(), dxOffice11SchemeNone);

  struct TClassicRow {
    const char* Name;
    TField Get;
    TColor Expected;
  };
  const TClassicRow rows[] = {
      {"ToolbarLight", [](const TdxOffice11Palette& p) { return p.ToolbarLight; }, 0xDFE9F2},
      {"ToolbarDark", [](const TdxOffice11Palette& p) { return p.ToolbarDark; }, 0xC9D2D6},
      {"DockFirst", [](const TdxOffice11Palette& p) { return p.DockFirst; }, 0xC8D0D4},
      {"DockSecond", [](const TdxOffice11Palette& p) { return p.DockSecond; }, 0xE0EAF2},
      {"MarkA[0]", [](const TdxOffice11Palette& p) { return p.MarkA[0]; }, 0xA49E9A},
      {"MarkB[0]", [](const TdxOffice11Palette& p) { return p.MarkB[0]; }, 0x8C8278},
      {"MarkA[1]", [](const TdxOffice11Palette& p) { return p.MarkA[1]; }, 0xC7B9BA},
      {"MarkB[2]", [](const TdxOffice11Palette& p) { return p.MarkB[2]; }, 0xCCCCD0},
      {"MarkC[0]", [](const TdxOffice11Palette& p) { return p.MarkC[0]; }, 0xB9B9B9},
      {"MarkC[1]", [](const TdxOffice11Palette& p) { return p.MarkC[1]; }, 0xD7D5DA},
      {"MarkD[0]", [](const TdxOffice11Palette& p) { return p.MarkD[0]; }, 0xAAA9A6},
      {"MarkD[2]", [](const TdxOffice11Palette& p) { return p.MarkD[2]; }, 0xCACED2},
      {"BarEdge", [](const TdxOffice11Palette& p) { return p.BarEdge; }, 0xCDD5DA},
      {"GripDark", [](const TdxOffice11Palette& p) { return p.GripDark; }, 0xA19D97},
      {"GripLight", [](const TdxOffice11Palette& p) { return p.GripLight; }, 0xE6F0FA},
      {"SeparatorDark", [](const TdxOffice11Palette& p) { return p.SeparatorDark; }, 0xA7A39F},
      {"SeparatorLight", [](const TdxOffice11Palette& p) { return p.SeparatorLight; }, 0xFFFFFF},
      {"MarkGlyph", [](const TdxOffice11Palette& p) { return p.MarkGlyph; }, 0x030201},
      {"MarkGlyphShadow", [](const TdxOffice11Palette& p) { return p.MarkGlyphShadow; }, 0xE6F0FA},
      {"FloatingFrame", [](const TdxOffice11Palette& p) { return p.FloatingFrame; }, 0x8C8278},
      {"FloatingFrameInner", [](const TdxOffice11Palette& p) { return p.FloatingFrameInner; }, 0xC9D2D6},
      {"FloatingCaption", [](const TdxOffice11Palette& p) { return p.FloatingCaption; }, 0xDFE9F2},
      {"FloatingCaptionBack", [](const TdxOffice11Palette& p) { return p.FloatingCaptionBack; }, 0x8C8278},
      {"CaptionText", [](const TdxOffice11Palette& p) { return p.CaptionText; }, 0xFCFDFE},
      {"MarkArrow1", [](const TdxOffice11Palette& p) { return p.MarkArrow1; }, 0x030201},
      {"MenuBack", [](const TdxOffice11Palette& p) { return p.MenuBack; }, 0xE6F0FA},
      {"MenuSideLightShade", [](const TdxOffice11Palette& p) { return p.MenuSideLightShade; }, 0xCDD6DF},
      {"MenuSideDarkShade", [](const TdxOffice11Palette& p) { return p.MenuSideDarkShade; }, 0xB9C1C5},
      {"MenuFrame", [](const TdxOffice11Palette& p) { return p.MenuFrame; }, 0x8C8278},
      {"Selected", [](const TdxOffice11Palette& p) { return p.Selected; }, 0xC2B4B3},
      {"SelectedFrame", [](const TdxOffice11Palette& p) { return p.SelectedFrame; }, 0x6A240A},
      {"HotSecond", [](const TdxOffice11Palette& p) { return p.HotSecond; }, 0xC2B4B3},
      {"PressedFirst", [](const TdxOffice11Palette& p) { return p.PressedFirst; }, 0xA78D86},
      {"Checked", [](const TdxOffice11Palette& p) { return p.Checked; }, 0xC9D2D6},
      {"Downed", [](const TdxOffice11Palette& p) { return p.Downed; }, 0xCCCCD0},
      {"DownedSelected", [](const TdxOffice11Palette& p) { return p.DownedSelected; }, 0xA78D86},
      {"DetachCaption", [](const TdxOffice11Palette& p) { return p.DetachCaption; }, 0xC9D2D6},
      {"Text", [](const TdxOffice11Palette& p) { return p.Text; }, 0x030201},
      {"DisabledText", [](const TdxOffice11Palette& p) { return p.DisabledText; }, 0x786E64},
      {"DateNavigatorHeader", [](const TdxOffice11Palette& p) { return p.DateNavigatorHeader; }, 0xC8D0D4},
      {"GroupByBox", [](const TdxOffice11Palette& p) { return p.GroupByBox; }, 0xAAA9A6},
      {"ControlFrame", [](const TdxOffice11Palette& p) { return p.ControlFrame; }, 0x8C8278},
      {"Group", [](const TdxOffice11Palette& p) { return p.Group; }, 0xC8D0D4},
      {"DateNavigatorSelection", [](const TdxOffice11Palette& p) { return p.DateNavigatorSelection; }, 0xCCCCD0},
      {"SchedulerControl", [](const TdxOffice11Palette& p) { return p.SchedulerControl; }, 0xC8D0D4},
      {"SchedulerFrame", [](const TdxOffice11Palette& p) { return p.SchedulerFrame; }, 0x8C8278},
      {"GroupRowContent", [](const TdxOffice11Palette& p) { return p.GroupRowContent; }, 0xC8D0D4},
      {"GroupRowText", [](const TdxOffice11Palette& p) { return p.GroupRowText; }, 0x8C8278},
      {"GroupRowSeparator", [](const TdxOffice11Palette& p) { return p.GroupRowSeparator; }, 0x8C8278},
  };
  for (const TClassicRow& row : rows) EXPECT_EQ(row.Get(dxOffice11Palette), row.Expected) << row.Name;
  EXPECT_EQ(dxOffice11Palette.GradientMidpoint, 75);

  // Another scheme: new values at the next reload.
  fndtest::TSysColorsOverride darker({{COLOR_BTNFACE, RGB(100, 100, 100)}});
  ASSERT_TRUE(darker.Ok());
  dxReloadOffice11Colors();
  EXPECT_EQ(dxOffice11Palette.DockFirst, 0x646464);
  EXPECT_EQ(dxOffice11Palette.ToolbarLight, 0xC9D1D9);   // 22 % of (100,100,100) mixed into (250,240,230)
}

TEST_F(DxOffice11Palette, BlackOrWhiteButtonFaceLightBlendsGiveTheHighlight) {
  for (COLORREF face : {RGB(0, 0, 0), RGB(255, 255, 255)}) {
    fndtest::TSysColorsOverride colors(
        {{COLOR_BTNFACE, face}, {COLOR_HIGHLIGHT, RGB(10, 36, 106)}, {COLOR_BTNTEXT, RGB(255, 255, 0)}});
    ASSERT_TRUE(colors.Ok());
    EXPECT_EQ(dxBlendLightColor(-2, 30, 72), 0x6A240A);
    EXPECT_EQ(dxBlendLightColor(41, 11, 48), 0x6A240A);
    EXPECT_EQ(dxIsButtonFaceBlack(), face == 0);
    EXPECT_EQ(dxIsButtonFaceWhite(), face != 0);
    EXPECT_EQ(dxIsHighContrastColoredText(), face == 0);   // the text is not white
  }
}

TEST(DxOffice11Colors, MixRoundsEachTermAndStaysInRange) {
  // 50 % of 0x01 and 0x02: MulDiv(2, 50, 100) + MulDiv(1, 50, 100) = 1 + 1 (halves away from zero).
  EXPECT_EQ(dxMixColors(0x010101, 0x020202, 50), 0x020202);
  EXPECT_EQ(dxMixColors(clWhite, clBlack, 100), 0xFFFFFF);
  EXPECT_EQ(dxMixColors(clWhite, clBlack, 0), 0x000000);
  // Weights outside 0..100 are clamped at both ends, not wrapped.
  EXPECT_EQ(dxMixColors(clWhite, clBlack, -1), 0x000000);
  EXPECT_EQ(dxMixColors(clBlack, clWhite, -1), 0xFFFFFF);
}

// ---------------------------------------------------------------------------
// Users, brushes and bitmaps
// ---------------------------------------------------------------------------

// Each test starts with the palette unused.
class DxOffice11Users : public testing::Test {
 private:
  fndtest::TOffice11UsersAside aside_;
};

TEST_F(DxOffice11Users, FirstUserBuildsLastUserFreesTheThirteenBrushes) {
  ASSERT_EQ(dxOffice11ColorsUserCount(), 0);
  ASSERT_EQ(dxOffice11Palette.GripDarkBrush, nullptr) << "the last user that left freed the brushes";
  const long brushes = GdiAccounting::Live(gokBrush);
  const long bitmaps = GdiAccounting::Live(gokBitmap);
  dxAddOffice11ColorsUser();
  EXPECT_EQ(GdiAccounting::Live(gokBrush), brushes + 13);
  const HBRUSH grip = dxOffice11Palette.GripDarkBrush;
  ASSERT_NE(grip, nullptr);
  ASSERT_NE(dxOffice11Palette.SubMenuExpandBitmap, nullptr);
  EXPECT_EQ(dxOffice11Palette.ExpandButtonMinusBitmap->Width(), 11);
  EXPECT_EQ(dxOffice11Palette.ExpandButtonPlusBitmap->Height(), 11);
  EXPECT_FALSE(dxOffice11Palette.SubMenuExpandBitmap->Empty());

  dxAddOffice11ColorsUser();   // no rebuild
  EXPECT_EQ(dxOffice11Palette.GripDarkBrush, grip);
  EXPECT_EQ(GdiAccounting::Live(gokBrush), brushes + 13);
  dxRemoveOffice11ColorsUser();
  EXPECT_EQ(dxOffice11Palette.GripDarkBrush, grip);

  dxRemoveOffice11ColorsUser();
  EXPECT_EQ(GdiAccounting::Live(gokBrush), brushes);
  EXPECT_EQ(GdiAccounting::Live(gokBitmap), bitmaps);
  EXPECT_EQ(dxOffice11Palette.GripDarkBrush, nullptr);
  EXPECT_EQ(dxOffice11Palette.SubMenuExpandBitmap, nullptr);
  dxRemoveOffice11ColorsUser();   // one too many: ignored
  EXPECT_EQ(dxOffice11ColorsUserCount(), 0);
}

TEST_F(DxOffice11Users, ReloadWithoutUsersRebuildsTheColoursOnly) {
  ASSERT_EQ(dxOffice11ColorsUserCount(), 0);
  const long brushes = GdiAccounting::Live(gokBrush);
  {
    fndtest::TSysColorsOverride colors({{COLOR_BTNFACE, RGB(90, 91, 92)}});
    ASSERT_TRUE(colors.Ok());
    dxReloadOffice11Colors();
    EXPECT_EQ(dxOffice11Palette.DockFirst, 0x5C5B5A);
    EXPECT_EQ(dxOffice11Palette.GripDarkBrush, nullptr);
    EXPECT_EQ(GdiAccounting::Live(gokBrush), brushes);
  }
  dxReloadOffice11Colors();
}

TEST_F(DxOffice11Users, ReloadWithUsersRebuildsBrushesFromTheNewColours) {
  dxAddOffice11ColorsUser();
  const long brushes = GdiAccounting::Live(gokBrush);
  {
    fndtest::TSysColorsOverride colors({{COLOR_WINDOW, RGB(1, 2, 3)}, {COLOR_BTNFACE, RGB(9, 8, 7)}});
    ASSERT_TRUE(colors.Ok());
    if (!dxIsOffice11SchemeThemed()) {
      dxReloadOffice11Colors();
      LOGBRUSH lb{};
      GetObjectW(dxOffice11Palette.MenuBackBrush, sizeof(lb), &lb);
      EXPECT_EQ(lb.lbColor, RGB(1, 2, 3));
      EXPECT_EQ(GdiAccounting::Live(gokBrush), brushes);
    }
  }
  dxRemoveOffice11ColorsUser();
  dxReloadOffice11Colors();
}

// ---------------------------------------------------------------------------
// Recolouring "DXSUBMENUEXPAND"
// ---------------------------------------------------------------------------

// One row of pixels (RGB colours) in a 24-bit bitmap.
TBitmap* RowBitmap(const std::vector<TColor>& pixels) {
  auto* bitmap = Make<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(static_cast<int>(pixels.size()), 1);
  auto* row = static_cast<Byte*>(bitmap->ScanLine(0));
  for (size_t i = 0; i < pixels.size(); ++i) {
    row[3 * i] = static_cast<Byte>(pixels[i] >> 16);
    row[3 * i + 1] = static_cast<Byte>(pixels[i] >> 8);
    row[3 * i + 2] = static_cast<Byte>(pixels[i]);
  }
  return bitmap;
}

std::vector<TColor> RowOf(TBitmap* bitmap) {
  std::vector<TColor> pixels;
  auto* row = static_cast<const Byte*>(bitmap->ScanLine(0));
  for (int i = 0; i < bitmap->Width(); ++i)
    pixels.push_back(row[3 * i + 2] | (row[3 * i + 1] << 8) | (row[3 * i] << 16));
  return pixels;
}

TEST(DxOffice11Recolor, ShadesSpreadOverTheGradientKeyAndBlackStay) {
  const TColor key = 0xFF00FF;
  // Reds 200 (greatest), 150 and 100 (least); the greens and blues do not count.
  TBitmap* bitmap = RowBitmap({key, 0x0000C8, 0x000000, 0x404096, 0xFFFF64, key});
  dxRecolorToGradient(bitmap, 0x0000FF, 0xFF0000);
  EXPECT_EQ(RowOf(bitmap),
            (std::vector<TColor>{key, 0x0000FF, 0x000000, dxMixColors(0x0000FF, 0xFF0000, 50), 0xFF0000, key}));
  TObject::Free(bitmap);
}

// All shades equal: no range to spread (the weight would divide by zero).
TEST(DxOffice11Recolor, EqualShadesAllTakeTheDarkEnd) {
  TBitmap* bitmap = RowBitmap({0xFF00FF, 0x808080, 0x808080});
  dxRecolorToGradient(bitmap, 0xF0E0D0, 0x102030);
  EXPECT_EQ(RowOf(bitmap), (std::vector<TColor>{0xFF00FF, 0x102030, 0x102030}));
  TObject::Free(bitmap);
}

TEST(DxOffice11Recolor, EqualEndsGoToBlackOrWhite) {
  TBitmap* bitmap = RowBitmap({0xFF00FF, 0x0000C8, 0x000064});
  dxRecolorToGradient(bitmap, 0x123456, 0x123456);
  EXPECT_EQ(RowOf(bitmap), (std::vector<TColor>{0xFF00FF, 0x123456, 0x000000}));
  TObject::Free(bitmap);
  bitmap = RowBitmap({0xFF00FF, 0x0000C8, 0x000064});
  dxRecolorToGradient(bitmap, clBlack, clBlack);
  EXPECT_EQ(RowOf(bitmap), (std::vector<TColor>{0xFF00FF, 0x000000, 0xFFFFFF}));
  TObject::Free(bitmap);
}

TEST(DxOffice11Recolor, TheMenuExpandBitmapRunsFromToolbarLightToToolbarDark) {
  dxAddOffice11ColorsUser();
  TBitmap* bitmap = dxOffice11Palette.SubMenuExpandBitmap;
  ASSERT_FALSE(bitmap->Empty()) << "DXSUBMENUEXPAND is not linked into the program";
  TCanvas* canvas = bitmap->Canvas();
  const int cx = bitmap->Width() / 2;
  std::vector<TColor> column;
  for (int y = 0; y < bitmap->Height(); ++y) column.push_back(ColorToRGB(canvas->GetPixel(cx, y)));
  const TColor key = ColorToRGB(canvas->GetPixel(0, 0));
  EXPECT_EQ(key, 0xFF00FF);
  // The lightest shade sits at the top of the disc, the darkest at its bottom.
  const auto first = std::find_if(column.begin(), column.end(), [&](TColor c) { return c != key; });
  const auto last = std::find_if(column.rbegin(), column.rend(), [&](TColor c) { return c != key; });
  ASSERT_NE(first, column.end());
  EXPECT_EQ(*first, dxOffice11Palette.ToolbarLight);
  EXPECT_EQ(*last, dxOffice11Palette.ToolbarDark);
  EXPECT_NE(std::count(column.begin(), column.end(), clBlack), 0);   // the chevrons stay
  dxRemoveOffice11ColorsUser();
}

}  // namespace
