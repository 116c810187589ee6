// Items drawn by the painters' glyph and text operations, pixel by pixel on
// 32-bit DIB sections: a button inside a menu (icon column, caption, short
// cut, description), the flat menu item background, the hand-drawn
// accelerator of rotated text, and the width a drop-down arrow adds.
#include "bars/controls/dxBarFlatPainter.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/GdiAccounting.h"
#include "tests/bars/controls/dxBarControlsTestSupport.h"
#include "tests/bars/controls/dxBarPaintDib.h"

#include <vector>

namespace {

class TGlyphPaintTest : public TBarWindowTest {
 protected:
  void SetUp() override {
    TBarWindowTest::SetUp();
    Bar = AddToolbar({L"保存"});
    Control = ButtonControl(Bar, 0);
  }
  // The button's draw parameters as a menu item on ADib.
  TdxBarButtonLikeControlDrawParams* MenuParams(TPaintDib& ADib) {
    ADib.Canvas()->Font()->Assign(ControlOf(Bar)->Font());
    Control->FillDrawParams(true);
    auto* params = static_cast<TdxBarButtonLikeControlDrawParams*>(Control->DrawParams());
    params->Canvas = ADib.Canvas();
    params->PaintType = ptMenu;
    params->ViewStructure = {cpIcon, cpText};
    // The cursor another test left over the toolbar must not make the item hot.
    params->DrawSelected = params->IsTextSelected = false;
    return params;
  }
  void TearDown() override {
    Control->FillDrawParams(true);
    TBarWindowTest::TearDown();
  }
  static const TdxBarPainter* Base() { return TdxBarPainter::Instance(); }
  static const TdxBarFlatPainter* Flat() { return TdxBarFlatPainter::Instance(); }

  TdxBar* Bar = nullptr;
  TdxBarButtonControl* Control = nullptr;
};

// The bands of consecutive rows of R that hold AColor, as (first, last) rows.
std::vector<std::pair<int, int>> RowBands(const TPaintDib& ADib, const TRect& R, COLORREF AColor) {
  std::vector<std::pair<int, int>> bands;
  for (int y = R.Top; y < R.Bottom; ++y) {
    bool hit = false;
    for (int x = R.Left; x < R.Right && !hit; ++x) hit = ADib.At(x, y) == AColor;
    if (!hit) continue;
    if (!bands.empty() && bands.back().second == y - 1)
      bands.back().second = y;
    else
      bands.push_back({y, y});
  }
  return bands;
}

// The first and last columns of R that hold AColor.
std::pair<int, int> ColumnSpan(const TPaintDib& ADib, const TRect& R, COLORREF AColor) {
  int first = -1, last = -1;
  for (int x = R.Left; x < R.Right; ++x)
    for (int y = R.Top; y < R.Bottom; ++y)
      if (ADib.At(x, y) == AColor) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

}  // namespace

TEST_F(TGlyphPaintTest, MenuButtonPutsGlyphCaptionAndShortCutInTheirColumns) {
  const int textSize = ControlOf(Bar)->TextSize(), iconArea = ControlOf(Bar)->IconAreaSize();
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  const struct {
    const char* Name;
    const TdxBarPainter* Painter;
    int TextIndent;
  } cases[] = {{"base", Base(), iconArea + 3}, {"flat", Flat(), iconArea + 9}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const int w = 240, h = 22;
    TPaintDib dib(w, h);
    auto* params = MenuParams(dib);
    params->Caption = L"保存";
    params->ShortCut = L"Ctrl+S";
    c.Painter->DrawButtonLikeControl(params, TRect(0, 0, w, h));
    const TRect column = c.Painter->SubMenuControlGetItemIconRect(TRect(0, 0, w, h), iconArea);
    const TRect image = Control->ViewInfo()->ImageBounds;
    EXPECT_EQ(column.Left + (column.Width() - image.Width()) / 2, image.Left);
    // The caption from the text indent, the short cut ending the text size plus 5 before the right edge.
    const auto caption = ColumnSpan(dib, TRect(0, 0, w / 2, h), text);
    EXPECT_TRUE(caption.first >= c.TextIndent && caption.first <= c.TextIndent + 2) << caption.first;
    const auto shortCut = ColumnSpan(dib, TRect(w / 2, 0, w, h), text);
    const int end = w - (c.Painter == Flat() ? 1 : 0) - textSize - 5;
    // Within the columns a glyph's side bearing may leave empty.
    EXPECT_TRUE(shortCut.second < end && shortCut.second >= end - 5) << shortCut.second << " " << end;
  }
}

TEST_F(TGlyphPaintTest, MenuItemWithDescriptionDrawsTwoLinesUnderABoldCaption) {
  TdxBarItemOptions* options = ControlOf(Bar)->ItemLinks()->ItemOptions();
  options->SetSize(misLarge);
  options->SetShowDescriptions(true);
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  const int w = 200, h = 60;
  TPaintDib dib(w, h);
  auto* params = MenuParams(dib);
  params->Caption = L"Cut";
  params->ShortCut = L"";
  params->Description = L"Removes the selection and puts it on the clipboard for pasting somewhere else later on";
  const TRect R(0, 0, w, h);
  Base()->DrawItemTextInSubMenu(params, R);
  const int lineHeight = dib.Canvas()->TextHeight(L"Wg");
  const int free = h - 3 * lineHeight;
  const int top = h - 2 * (free / 4) - 2 * lineHeight;
  const auto bands = RowBands(dib, R, text);
  ASSERT_EQ(3u, bands.size());
  EXPECT_LT(bands[0].second, top);                     // the caption above the description
  EXPECT_GE(bands[1].first, top);                      // first description line
  EXPECT_GE(bands[2].first, top + lineHeight);         // the rest of the text on the second
  EXPECT_LT(bands[2].second, top + 2 * lineHeight);
  // The second line runs on to the text-size margin, where it is cut.
  const int margin = w - ControlOf(Bar)->TextSize();
  const auto span = ColumnSpan(dib, TRect(0, top + lineHeight, w, h), text);
  EXPECT_LE(span.second, margin);
  EXPECT_GE(span.second, margin * 3 / 4);
  // The caption is bold: wider than the same caption drawn plainly.
  TPaintDib plain(w, 30);
  plain.Canvas()->Font()->Assign(ControlOf(Bar)->Font());
  options->SetShowDescriptions(false);
  params->Canvas = plain.Canvas();
  Base()->DrawItemTextInSubMenu(params, TRect(0, 0, w, 30));
  const auto boldSpan = ColumnSpan(dib, TRect(0, 0, w, top), text);
  const auto plainSpan = ColumnSpan(plain, TRect(0, 0, w, 30), text);
  EXPECT_GT(boldSpan.second - boldSpan.first, plainSpan.second - plainSpan.first);
}

TEST_F(TGlyphPaintTest, FlatMenuItemBackgroundBandTextAreaAndSelection) {
  const COLORREF toolbar = BrushColor(dxBarFlatBrushes().Toolbar), hot = BrushColor(dxBarFlatBrushes().Sel);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const int w = 120, h = 24;
  const TRect icon = Flat()->SubMenuControlGetItemIconRect(TRect(0, 0, w, h), ControlOf(Bar)->IconAreaSize());
  const int mid = h / 2;
  const struct {
    const char* Name;
    bool Selected;
    std::vector<std::pair<TPoint, COLORREF>> Pixels;
  } cases[] = {
      {"idle", false,
       {{TPoint(0, 0), toolbar}, {TPoint(icon.Right, mid), toolbar}, {TPoint(icon.Right + 1, mid), toolbar},
        {TPoint(icon.Left + 2, mid), kMarker}}},
      {"hot", true,
       {{TPoint(0, 0), highlight}, {TPoint(w - 1, h - 1), highlight}, {TPoint(icon.Right, mid), hot},
        {TPoint(icon.Right + 1, mid), hot}, {TPoint(w - 2, mid), hot}, {TPoint(icon.Left + 2, mid), kMarker}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPaintDib dib(w, h);
    auto* params = MenuParams(dib);
    params->DrawSelected = c.Selected;
    Flat()->DrawItemBackgroundInSubMenu(params, TRect(0, 0, w, h));
    for (const auto& [p, color] : c.Pixels) EXPECT_EQ(color, dib.At(p.X, p.Y)) << p.X << "," << p.Y;
  }
}

TEST_F(TGlyphPaintTest, RotatedTextUnderlinesItsAcceleratorByHand) {
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  LOGFONTW font{};
  GetObjectW(ControlOf(Bar)->Font()->Handle(), sizeof font, &font);
  font.lfEscapement = font.lfOrientation = 2700;
  HFONT rotated = GdiCreateFont(font);
  const struct {
    const wchar_t* Caption;
    bool Underlined;
  } cases[] = {{L"Abcd", false}, {L"Ab&cd", true}};
  for (const auto& c : cases) {
    TPaintDib dib(30, 100);
    HGDIOBJ old = SelectObject(dib.DC(), rotated);
    const TRect R(0, 0, 30, 100);
    Base()->DrawItemText(Control, dib.DC(), c.Caption, R, DT_LEFT, true, false, true, false, false, DT_SINGLELINE);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dib.DC(), &metrics);
    TSize before, character;
    cxQueryTextExtent(dib.DC(), L"Ab", before);
    cxQueryTextExtent(dib.DC(), L"c", character);
    SelectObject(dib.DC(), old);
    const int x = (R.Left + R.Right - metrics.tmHeight) / 2 + metrics.tmDescent - 2;
    int marked = 0;
    for (int y = before.cx; y < before.cx + character.cx; ++y) marked += dib.At(x, y) == text ? 1 : 0;
    EXPECT_EQ(c.Underlined ? character.cx : 0, marked) << (c.Underlined ? "underlined" : "plain");
  }
  GdiDeleteObject(rotated);
}

TEST_F(TGlyphPaintTest, DropDownArrowWidthBySplitAndPlace) {
  const int textSize = ControlOf(Bar)->TextSize();
  TPaintDib dib(4, 4);
  auto* params = MenuParams(dib);
  params->ArrowSize = TSize(11, 4);
  const struct {
    const char* Name;
    bool DropDown, Split, MenuItem;
    TdxBarPaintType PaintType;
    int Added;
  } cases[] = {
      {"plain button", false, false, false, ptHorz, 0},
      {"split on a toolbar", true, true, false, ptHorz, 11},
      {"split in a menu", true, true, true, ptMenu, 0},
      {"drop-down on a toolbar", true, false, false, ptHorz, textSize / 2},
      {"drop-down menu item", true, false, true, ptMenu, 0},
  };
  for (const auto& c : cases) {
    params->IsDropDown = c.DropDown;
    params->SplitDropDown = c.Split;
    params->IsMenuItem = c.MenuItem;
    params->PaintType = c.PaintType;
    int width = 40;
    Base()->AddArrowWidth(params, width);
    EXPECT_EQ(40 + c.Added, width) << c.Name;
  }
}
