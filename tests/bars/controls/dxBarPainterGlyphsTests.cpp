// Items drawn by the painters' glyph and text operations, pixel by pixel on
// 32-bit DIB sections: a button inside a menu (icon column, caption, short
// cut, description), the flat menu item background, the hand-drawn
// accelerator of rotated text, and the width a drop-down arrow adds.
#include "bars/controls/dxBarFlatPainter.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/ImgList.h"
#include "tests/bars/controls/dxBarControlsTestSupport.h"
#include "tests/bars/controls/dxBarPaintDib.h"
#include "tests/support/TestObjects.h"

#include <algorithm>
#include <cstdlib>

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
    TakeControlAnew();
    Control->FillDrawParams(true);
    TBarWindowTest::TearDown();
  }
  // A change of the bar's font, images or image options rebuilds its item
  // controls: the one held before is gone.
  void TakeControlAnew() {
    PumpQueuedMessages();
    Control = ButtonControl(Bar, 0);
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

TEST(dxBarGlyphSizing, StretchedInMenusDoubledWithLargeIcons) {
  using TSizing = TdxBarPainter::TGlyphSizing;
  auto sizing = [](bool AMenu, bool AStretch, double ARatio, bool ALarge, TSize ALargeImages, bool ALargeGlyph) {
    TSizing s;
    s.InMenu = AMenu;
    s.StretchGlyphs = AStretch;
    s.Ratio = ARatio;
    s.LargeIcons = ALarge;
    s.LargeImageSize = ALargeImages;
    s.HasLargeGlyph = ALargeGlyph;
    return s;
  };
  const struct {
    const char* Name;
    TSizing Sizing;
    TRect Area;
    TSize Expected;
  } cases[] = {
      {"menu, not stretched", sizing(true, false, 1.5, false, TSize(), false), TRect(0, 0, 30, 30), TSize(16, 16)},
      {"menu, stretched 1.5", sizing(true, true, 1.5, false, TSize(), false), TRect(0, 0, 30, 30), TSize(24, 24)},
      // 16 x 1.3 = 21 leaves 9 on both axes of a 30 area: one pixel less centres exactly.
      {"menu, odd leftovers", sizing(true, true, 1.3, false, TSize(), false), TRect(0, 0, 30, 30), TSize(20, 20)},
      {"menu, odd leftover one way", sizing(true, true, 1.3, false, TSize(), false), TRect(0, 0, 30, 31),
       TSize(21, 21)},
      {"menu ignores large icons", sizing(true, false, 1, true, TSize(), false), TRect(0, 0, 30, 30), TSize(16, 16)},
      {"toolbar", sizing(false, true, 1.5, false, TSize(), false), TRect(0, 0, 30, 30), TSize(16, 16)},
      {"toolbar, large icons", sizing(false, true, 1.5, true, TSize(), false), TRect(0, 0, 30, 30), TSize(32, 32)},
      {"toolbar, large images", sizing(false, false, 1, true, TSize(24, 24), false), TRect(0, 0, 30, 30),
       TSize(24, 24)},
      {"toolbar, the item's own large glyph", sizing(false, false, 1, true, TSize(), true), TRect(0, 0, 30, 30),
       TSize(16, 16)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.Expected, TdxBarPainter::ScaledGlyphSize(c.Sizing, TSize(16, 16), c.Area)) << c.Name;
}

namespace {

constexpr COLORREF kGlyph = RGB(200, 30, 40);

// A 16 x 16 image of one strong colour for the manager.
void GiveImages(TComponent* AOwner, TdxBarManager* AManager) {
  auto* images = Make<TImageList>(AOwner);
  images->SetWidth(16);
  images->SetHeight(16);
  auto image = MakeOwned<TBitmap>();
  image->SetPixelFormat(pf32bit);
  image->SetSize(16, 16);
  image->Canvas()->Brush()->SetColor(static_cast<TColor>(kGlyph));
  image->Canvas()->FillRect(TRect(0, 0, 16, 16));
  images->AddMasked(image.get(), clNone);
  AManager->ImageOptions()->SetImages(images);
}

int Distance(COLORREF A, COLORREF B) {
  return std::abs(GetRValue(A) - GetRValue(B)) + std::abs(GetGValue(A) - GetGValue(B)) +
         std::abs(GetBValue(A) - GetBValue(B));
}

}  // namespace

// The button's glyph alone, drawn by the plain look on a toolbar; answers the
// colour at the centre of the image.
COLORREF DrawGlyphOnly(TdxBarButtonControl* AControl, TdxBarControl* ABar, bool AEnabled, TRect& AImage) {
  const TRect bounds = AControl->ItemBounds();
  TPaintDib dib(std::max(bounds.Width(), 40), std::max(bounds.Height(), 40));
  dib.Canvas()->Font()->Assign(ABar->Font());
  AControl->FillDrawParams(true);
  auto* params = static_cast<TdxBarButtonLikeControlDrawParams*>(AControl->DrawParams());
  params->Canvas = dib.Canvas();
  params->DrawSelected = params->IsTextSelected = false;
  params->ViewStructure = {cpIcon};
  params->Enabled = AEnabled;
  TdxBarPainter::Instance()->DrawButtonLikeControl(params, TRect(0, 0, 40, 40));
  AImage = AControl->ViewInfo()->ImageBounds;
  return dib.At(AImage.Left + AImage.Width() / 2, AImage.Top + AImage.Height() / 2);
}

TEST_F(TGlyphPaintTest, GlyphStatesNormalDisabledFadedAndLarge) {
  GiveImages(Form, Manager);
  Bar->ItemLinks()->Items(0)->Item()->SetImageIndex(0);
  TakeControlAnew();
  const COLORREF back = BrushColor(Base()->ItemBackgroundBrush(Control));
  auto draw = [&](bool AEnabled, bool AFaded, bool ALarge, TRect& AImage) {
    Manager->ImageOptions()->SetMakeDisabledImagesFaded(AFaded);
    Manager->SetLargeIcons(ALarge);
    TakeControlAnew();
    return DrawGlyphOnly(Control, ControlOf(Bar), AEnabled, AImage);
  };
  TRect image;
  EXPECT_EQ(kGlyph, draw(true, false, false, image));
  EXPECT_EQ(16, image.Width());
  const COLORREF disabled = draw(false, false, false, image);
  const COLORREF faded = draw(false, true, false, image);
  EXPECT_NE(kGlyph, disabled);
  EXPECT_NE(kGlyph, faded);
  EXPECT_NE(disabled, faded);
  // A faded image is mostly the background it is drawn on.
  EXPECT_LT(Distance(faded, back), Distance(kGlyph, back) / 2);
  // Large icons double a small image on a toolbar.
  EXPECT_EQ(kGlyph, draw(true, false, true, image));
  EXPECT_EQ(32, image.Width());
  EXPECT_EQ(32, image.Height());
  Manager->SetLargeIcons(false);
  Manager->ImageOptions()->SetMakeDisabledImagesFaded(false);
}

TEST_F(TGlyphPaintTest, GlyphGoesThroughTheManagersCacheWhenItCachesGlyphs) {
  GiveImages(Form, Manager);
  Bar->ItemLinks()->Items(0)->Item()->SetImageIndex(0);
  for (bool cache : {true, false}) {
    SCOPED_TRACE(cache ? "cached" : "not cached");
    Manager->ImageOptions()->SetCacheGlyphs(cache);
    TakeControlAnew();
    Control->CachedImageOptions()->Reset();
    TRect image;
    EXPECT_EQ(kGlyph, DrawGlyphOnly(Control, ControlOf(Bar), true, image));
    EXPECT_EQ(cache, Control->CachedImageOptions()->Cached());
  }
  Manager->ImageOptions()->SetCacheGlyphs(true);
}

TEST_F(TGlyphPaintTest, ImageOfTheDisabledListIsDrawnAsItIs) {
  GiveImages(Form, Manager);
  // The disabled list holds the item's disabled look already, in a colour of its own.
  constexpr COLORREF kDisabledLook = RGB(20, 120, 200);
  auto* disabledImages = Make<TImageList>(Form);
  disabledImages->SetWidth(16);
  disabledImages->SetHeight(16);
  auto image = MakeOwned<TBitmap>();
  image->SetPixelFormat(pf32bit);
  image->SetSize(16, 16);
  image->Canvas()->Brush()->SetColor(static_cast<TColor>(kDisabledLook));
  image->Canvas()->FillRect(TRect(0, 0, 16, 16));
  disabledImages->AddMasked(image.get(), clNone);
  Manager->ImageOptions()->SetDisabledImages(disabledImages);
  TdxBarItem* item = Bar->ItemLinks()->Items(0)->Item();
  item->SetImageIndex(0);
  item->SetEnabled(false);
  TakeControlAnew();
  TRect bounds;
  EXPECT_EQ(kDisabledLook, DrawGlyphOnly(Control, ControlOf(Bar), false, bounds));
  item->SetEnabled(true);
  Manager->ImageOptions()->SetDisabledImages(nullptr);
}

TEST_F(TGlyphPaintTest, MenuGlyphStretchesWithTheBarsScale) {
  GiveImages(Form, Manager);
  Bar->ItemLinks()->Items(0)->Item()->SetImageIndex(0);
  TakeControlAnew();
  // A larger font scales the bar: its text size grows past the normal item height.
  TdxBarControl* bar = ControlOf(Bar);
  bar->Font()->SetHeight(-24);
  bar->Canvas()->Font()->Assign(bar->Font());
  bar->CalcMetrics();
  TakeControlAnew();
  const double ratio = bar->Ratio();
  ASSERT_GT(ratio, 1.2);
  const int iconArea = ControlOf(Bar)->IconAreaSize(), h = iconArea + 4;
  for (bool stretch : {true, false}) {
    SCOPED_TRACE(stretch ? "stretched" : "as it is");
    Manager->ImageOptions()->SetStretchGlyphs(stretch);
    TakeControlAnew();
    TPaintDib dib(200, h);
    auto* params = MenuParams(dib);
    params->ViewStructure = {cpIcon};
    Base()->DrawButtonLikeControl(params, TRect(0, 0, 200, h));
    const TRect image = Control->ViewInfo()->ImageBounds;
    const int scaled = static_cast<int>(16 * ratio + 0.5);
    if (stretch)
      EXPECT_TRUE(image.Width() == scaled || image.Width() == scaled - 1) << image.Width() << " " << scaled;
    else
      EXPECT_EQ(16, image.Width());
    EXPECT_EQ(image.Width(), image.Height());
    // The image fills its bounds: its corners are the glyph's colour.
    EXPECT_EQ(kGlyph, dib.At(image.Left + 1, image.Top + 1));
    EXPECT_EQ(kGlyph, dib.At(image.Right - 2, image.Bottom - 2));
  }
  Manager->ImageOptions()->SetStretchGlyphs(true);
}

TEST_F(TGlyphPaintTest, DisabledCaptionIsEmbossedInThePlainLookOnly) {
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF gray = GetSysColor(COLOR_GRAYTEXT);
  const struct {
    const char* Name;
    const TdxBarPainter* Painter;
    bool Selected;
    bool Light, Shadow, Gray;
  } cases[] = {
      {"plain", Base(), false, true, true, light == gray || shadow == gray},
      {"plain, selected", Base(), true, light == gray, shadow == gray, true},
      {"flat", Flat(), false, light == gray, shadow == gray, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPaintDib dib(80, 20);
    dib.Canvas()->Font()->Assign(ControlOf(Bar)->Font());
    c.Painter->DrawItemText(Control, dib.DC(), L"Save All", TRect(0, 0, 80, 20), DT_LEFT, false, c.Selected, false,
                            false, true, DT_SINGLELINE);
    const std::set<COLORREF> colors = dib.ColorsIn(TRect(0, 0, 80, 20));
    EXPECT_EQ(c.Light, colors.count(light) == 1);
    EXPECT_EQ(c.Shadow, colors.count(shadow) == 1);
    EXPECT_EQ(c.Gray, colors.count(gray) == 1);
  }
}

TEST_F(TGlyphPaintTest, CheckMarkOfAnItemWithoutImageScalesWithTheFont) {
  // The plain look leaves the mark to its descendants; the flat one draws it.
  const COLORREF black = RGB(0, 0, 0);
  TdxBarControl* bar = ControlOf(Bar);
  const int savedSize = bar->Font()->Size();
  const struct {
    int FontSize, Width;
  } cases[] = {{9, 7}, {18, 14}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.FontSize);
    bar->Font()->SetSize(c.FontSize);
    TakeControlAnew();
    ASSERT_EQ(c.FontSize, Control->Parent()->Font()->Size());
    const TRect R(0, 0, 40, 30);
    for (const TdxBarPainter* painter : {Base(), static_cast<const TdxBarPainter*>(Flat())}) {
      TPaintDib dib(40, 30);
      Control->FillDrawParams(true);
      painter->DrawCheckMarkOverGlyph(Control, dib.DC(), R, ptMenu, true);
      int left = 100, right = -1;
      for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
          if (dib.At(x, y) == black) left = std::min(left, x), right = std::max(right, x);
      if (painter == Base()) {
        EXPECT_EQ(-1, right);
        continue;
      }
      // Centred: the mark is 9 or 18 wide, its strokes start one scale unit in.
      const int scale = c.FontSize >= 16 ? 2 : 1;
      EXPECT_EQ((R.Left + R.Right - 9 * scale) / 2 + scale, left);
      EXPECT_EQ(c.Width, right - left + 1);
    }
    // Not checked, or not in a menu: nothing.
    TPaintDib dib(40, 30);
    Flat()->DrawCheckMarkOverGlyph(Control, dib.DC(), R, ptMenu, false);
    Flat()->DrawCheckMarkOverGlyph(Control, dib.DC(), R, ptHorz, true);
    EXPECT_EQ(std::set<COLORREF>{kMarker}, dib.ColorsIn(R));
  }
  bar->Font()->SetSize(savedSize);
}

TEST_F(TGlyphPaintTest, LargeButtonCaptionBesideItsImageByGlyphLayout) {
  auto* large = static_cast<TdxBarLargeButton*>(Manager->AddItem(TdxBarLargeButton::StaticClass()));
  large->SetCaption(L"排料");
  Bar->ItemLinks()->Add(large);
  PumpQueuedMessages();
  // A new layout refreshes the control's parameters: take them afresh each time.
  TdxBarButtonLikeControl* control = nullptr;
  TdxBarButtonLikeControlDrawParams* params = nullptr;
  auto layOut = [&](TdxBarGlyphLayout ALayout) {
    large->SetGlyphLayout(ALayout);
    PumpQueuedMessages();
    control = static_cast<TdxBarButtonLikeControl*>(Bar->ItemLinks()->Items(1)->Control());
    control->FillDrawParams(true);
    params = static_cast<TdxBarButtonLikeControlDrawParams*>(control->DrawParams());
    params->SetViewSize(cvsLarge);
  };
  const TRect image(40, 10, 72, 42), R(0, 0, 120, 60);
  const struct {
    TdxBarGlyphLayout Layout;
    TdxBarPaintType PaintType;
    UINT Alignment;
    TRect Caption;
  } cases[] = {
      {glLeft, ptHorz, DT_LEFT, TRect(75, 0, 120, 60)},   {glRight, ptHorz, DT_RIGHT, TRect(0, 0, 37, 60)},
      {glTop, ptHorz, DT_CENTER, TRect(0, 42, 120, 60)},  {glBottom, ptHorz, DT_CENTER, TRect(0, 0, 120, 10)},
      {glLeft, ptVert, DT_LEFT, TRect(0, 45, 120, 60)},   {glRight, ptVert, DT_RIGHT, TRect(0, 0, 120, 7)},
      {glTop, ptVert, DT_CENTER, TRect(0, 0, 40, 60)},    {glBottom, ptVert, DT_CENTER, TRect(72, 0, 120, 60)},
  };
  for (const auto& c : cases) {
    layOut(c.Layout);
    params->PaintType = c.PaintType;
    TRect caption = R;
    EXPECT_EQ(c.Alignment, Base()->LayoutGlyphAndCaption(params, image, caption)) << int(c.Layout);
    EXPECT_EQ(c.Caption, caption) << int(c.Layout) << " " << int(c.PaintType);
  }
  // The image itself: 4 pixels in from the side it is laid out to.
  layOut(glLeft);
  EXPECT_EQ(4, Base()->GetLargeImageBounds(control, R, ptHorz, {cpIcon, cpText}, TSize(32, 32)).Left);
  layOut(glTop);
  EXPECT_EQ(R.Right - 32 - 2, Base()->GetLargeImageBounds(control, R, ptVert, {cpIcon, cpText}, TSize(32, 32)).Left);
  control->FillDrawParams(true);
}

TEST_F(TGlyphPaintTest, CaptionFollowsTheGlyphSquareAlongTheBar) {
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  for (bool vertical : {false, true}) {
    SCOPED_TRACE(vertical ? "vertical" : "horizontal");
    const int w = vertical ? 24 : 120, h = vertical ? 120 : 24;
    TPaintDib dib(w, h);
    auto* params = MenuParams(dib);
    params->PaintType = vertical ? ptVert : ptHorz;
    // Letters without overhang: none of their ink runs back into the square.
    params->Caption = L"HHHH";
    params->ViewStructure = {cpIcon, cpText};
    // On a vertical bar the canvas font is the rotated one.
    if (vertical) dib.Canvas()->Font()->SetOrientation(2700);
    Base()->DrawButtonLikeControl(params, TRect(0, 0, w, h));
    // The text starts after the first button-sized square and runs along the bar.
    const TSize square = params->DefaultButtonSize;
    const TRect before = vertical ? TRect(0, 0, w, square.cy) : TRect(0, 0, square.cx, h);
    const TRect after = vertical ? TRect(0, square.cy, w, h) : TRect(square.cx, 0, w, h);
    EXPECT_FALSE(dib.ColorsIn(before).count(text));
    EXPECT_TRUE(dib.ColorsIn(after).count(text));
    int first = -1, last = -1;
    for (int i = 0; i < (vertical ? h : w); ++i)
      for (int j = 0; j < (vertical ? w : h); ++j)
        if (dib.At(vertical ? j : i, vertical ? i : j) == text) {
          if (first < 0) first = i;
          last = i;
        }
    // Four letters run well along the bar, whichever way it goes.
    EXPECT_GT(last - first, 20) << first << " " << last;
  }
}
