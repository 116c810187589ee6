// The painters' edit fields, combo and spin buttons, colour-combo buttons,
// progress bars, label borders and date navigator buttons: part rectangles
// and metrics as values, drawing pixel by pixel on 32-bit DIB sections. The
// draw parameters stand on a toolbar button's control, whose bar supplies
// the background a transparent element shows.
#include "bars/controls/dxBarFlatPainter.h"
#include "foundation/dxCommon.h"
#include "foundation/dxOffice11.h"
#include "platform/core/StringLists.h"
#include "tests/bars/controls/dxBarControlsTestSupport.h"
#include "tests/bars/controls/dxBarPaintDib.h"

#include <algorithm>
#include <string>

namespace {

// The part rectangles live in the item control; the painter fills and reads them.
struct TPartsAccess : TdxBarItemControl {
  static std::vector<TRect> TdxBarItemControl::*Member() { return &TPartsAccess::FParts; }
};

class TItemPaintTest : public TBarWindowTest {
 protected:
  void SetUp() override {
    TBarWindowTest::SetUp();
    TdxBar* bar = AddToolbar({L"库存"});
    Control = ButtonControl(bar, 0);
    FSavedParts = Parts();
  }
  void TearDown() override {
    Parts() = FSavedParts;
    for (TObject* params : FParams) TObject::Free(params);
    TBarWindowTest::TearDown();
  }
  template <class T>
  T* Params(TPaintDib& ADib) {
    T* params = Make<T>(static_cast<TdxBarItemControl*>(Control));
    FParams.push_back(params);
    params->Canvas = ADib.Canvas();
    params->DefaultButtonSize = TSize(23, 22);
    Base()->FillItemPaintValues(Control, params->PaintValues);
    return params;
  }
  std::vector<TRect>& Parts() { return Control->*TPartsAccess::Member(); }
  // What the bar paints as its own background: a transparent element shows it.
  COLORREF BarBackground() {
    TPaintDib dib(4, 4);
    Control->Parent()->DrawBackgroundRect(dib.DC(), TRect(0, 0, 4, 4), false, clNone, Base()->ParentBkBrush(Control));
    return dib.At(1, 1);
  }
  static const TdxBarPainter* Base() { return TdxBarPainter::Instance(); }
  static const TdxBarFlatPainter* Flat() { return TdxBarFlatPainter::Instance(); }
  static COLORREF Sys(int AIndex) { return GetSysColor(AIndex); }

  TdxBarButtonControl* Control = nullptr;

 private:
  std::vector<TRect> FSavedParts;
  std::vector<TObject*> FParams;
};

// The columns of row Y that have AColor.
std::string ColumnsOf(const TPaintDib& ADib, int Y, COLORREF AColor) {
  std::string s;
  for (int x = 0; x < ADib.Width(); ++x) s += ADib.At(x, Y) == AColor ? '#' : '.';
  return s;
}

}  // namespace

// ---------------------------------------------------------------------------
// Metrics and part rectangles
// ---------------------------------------------------------------------------

TEST(dxBarPainterEditMetrics, SizesOfArrowsButtonsAndFields) {
  const TdxBarPainter* base = TdxBarPainter::Instance();
  const TdxBarFlatPainter* flat = TdxBarFlatPainter::Instance();
  EXPECT_EQ(TSize(7, 4), TdxBarPainter::GetSpinEditArrowSize(20));
  EXPECT_EQ(17, base->GetSpinEditButtonWidth(ptHorz, TRect(0, 0, 100, 20)));
  EXPECT_EQ(23, base->GetCustomColorButtonWidth(ptHorz, TRect(0, 0, 100, 25)));
  // Text height + border offsets + text margins + the difference to the caption margins.
  EXPECT_EQ(13 + 4 + 4 + 1, base->EditTextSize(nullptr, 13));
  EXPECT_EQ(13 + 2 + 4 + 1, flat->EditTextSize(nullptr, 13));
  EXPECT_EQ(TRect(1, 1, 1, 1), flat->ComboControlButtonOffsets(ptHorz));
  TRect margins(0, 0, 50, 20);
  base->ApplyEditTextMargins(margins);
  EXPECT_EQ(TRect(2, 2, 48, 18), margins);
  const struct {
    TdxBarStaticBorderStyle Style;
    int Offset;
  } borders[] = {{sbsNone, 0}, {sbsLowered, 1}, {sbsRaised, 1}, {sbsEtched, 2}, {sbsBump, 2}};
  for (const auto& b : borders) EXPECT_EQ(b.Offset, TdxBarPainter::StaticControlGetBorderOffsets(b.Style));
}

TEST_F(TItemPaintTest, EditComboAndColourComboParts) {
  TPaintDib dib(4, 4);
  auto* edit = Params<TdxBarEditLikeControlDrawParams>(dib);
  std::vector<TRect> parts;
  // Icon 20 and caption 30 wide before a field from 60.
  Base()->CalculateEditParts(edit, parts, TRect(10, 0, 200, 22), TRect(60, 0, 200, 22), 20, 30);
  EXPECT_EQ(TRect(62, 2, 198, 20), parts[0]);
  EXPECT_EQ(TRect(10, 0, 30, 22), parts[1]);
  EXPECT_EQ(TRect(30, 0, 60, 22), parts[2]);
  edit->IsTransparent = true;
  Base()->CalculateEditParts(edit, parts, TRect(10, 0, 200, 22), TRect(60, 0, 200, 22), 20, 30);
  EXPECT_EQ(TRect(12, 0, 32, 22), parts[1]);
  // The combo button comes after the edit parts and keeps the field's left edge.
  Base()->CalculateComboParts(edit, parts, TRect(0, 0, 100, 22), 11);
  EXPECT_EQ(TRect(87, 2, 98, 20), parts[3]);
  EXPECT_EQ(TRect(62, 2, 86, 20), parts[0]);

  auto* color = Params<TdxBarColorComboControlDrawParams>(dib);
  const struct {
    const char* Name;
    bool Show;
    TRect Field;
    TRect Custom, Arrow;
  } cases[] = {
      {"button shown", true, TRect(0, 0, 120, 25), TRect(96, 2, 119, 23), TRect(82, 2, 93, 23)},
      {"button hidden", false, TRect(0, 0, 120, 25), TRect(120, 0, 120, 25), TRect(107, 2, 118, 23)},
      {"field too narrow", true, TRect(0, 0, 50, 25), TRect(50, 0, 50, 25), TRect(37, 2, 48, 23)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    color->IsShowCustomColorButton = c.Show;
    std::vector<TRect> p;
    Base()->CalculateColorComboParts(color, p, c.Field, 11);
    EXPECT_EQ(c.Custom, p[4]);
    EXPECT_EQ(c.Arrow, p[3]);
    EXPECT_EQ(c.Arrow.Left - 1, p[0].Right);
  }
}

TEST_F(TItemPaintTest, SpinButtonsHalveTheirColumnOrVanishOnANarrowField) {
  TPaintDib dib(4, 4);
  auto* spin = Params<TdxBarSpinEditDrawParams>(dib);
  const struct {
    const char* Name;
    const TdxBarPainter* Painter;
    TRect Field;
    TRect Up, Down;
    int FieldRight;
  } cases[] = {
      // A column of 17 + 2 pixels at the right, less its indents.
      {"base", Base(), TRect(0, 0, 100, 20), TRect(82, 0, 99, 10), TRect(82, 10, 99, 20), 79},
      // Flat: the buttons share their middle line, the border is 1 pixel.
      {"flat", Flat(), TRect(0, 0, 100, 20), TRect(82, 0, 99, 11), TRect(82, 10, 99, 20), 80},
      {"twice the column", Base(), TRect(0, 0, 38, 20), TRect(38, 0, 38, 10), TRect(38, 10, 38, 20), 35},
      {"a pixel wider", Base(), TRect(0, 0, 39, 20), TRect(21, 0, 38, 10), TRect(21, 10, 38, 20), 18},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    std::vector<TRect> parts;
    c.Painter->CalculateSpinEditParts(spin, parts, c.Field);
    EXPECT_EQ(c.Up, parts[3]);
    EXPECT_EQ(c.Down, parts[4]);
    EXPECT_EQ(c.FieldRight, parts[0].Right);
  }
}

TEST_F(TItemPaintTest, EditColoursFollowTheStyleAndTheEnabledState) {
  TPaintDib dib(4, 4);
  auto* edit = Params<TdxBarEditLikeControlDrawParams>(dib);
  const TColor parentBk = static_cast<TColor>(BrushColor(Base()->ParentBkBrush(Control)));
  const struct {
    bool Enabled;
    TColor StyleBk, StyleText;
    TColor Bk, Text;
  } cases[] = {
      {true, clDefault, clDefault, clWindow, clWindowText},
      {true, clYellow, clNavy, clYellow, clNavy},
      {false, clYellow, clNavy, parentBk, clGrayText},
  };
  for (const auto& c : cases) {
    edit->Enabled = c.Enabled;
    edit->StyleBkColor = c.StyleBk;
    edit->StyleTextColor = c.StyleText;
    TColor text, bk;
    Base()->EditGetColors(edit, text, bk);
    EXPECT_EQ(c.Bk, bk);
    EXPECT_EQ(c.Text, text);
  }
}

// ---------------------------------------------------------------------------
// Progress bars
// ---------------------------------------------------------------------------

TEST_F(TItemPaintTest, ProgressBandSmoothOrInChunksAndNeverPastTheBar) {
  const COLORREF fill = RGB(200, 20, 20);
  const struct {
    const char* Name;
    TdxBarPaintType PaintType;
    int Min, Max, Position;
    bool Smooth;
    const char* Row;  // the filled columns of the middle row (of the middle column when vertical)
  } cases[] = {
      {"half, smooth", ptHorz, 0, 100, 50, true, "##########.................."},
      {"chunks of 6 and gaps of 2", ptHorz, 0, 20, 20, false, "######..######..####........"},
      {"above the maximum", ptHorz, 10, 20, 99, true, "####################........"},
      {"below the minimum", ptHorz, 10, 20, -5, true, "............................"},
      {"empty range", ptHorz, 5, 5, 5, true, "............................"},
      {"vertical chunks", ptVert, 0, 10, 10, false, "######..######..####........"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPaintDib dib(28, 28);
    auto* progress = Params<TdxBarProgressControlDrawParams>(dib);
    progress->PaintType = c.PaintType;
    progress->Min = c.Min;
    progress->Max = c.Max;
    progress->Position = c.Position;
    progress->Smooth = c.Smooth;
    // A bar 20 long and 9 thick.
    const TRect bar = c.PaintType == ptVert ? TRect(0, 0, 9, 20) : TRect(0, 0, 20, 9);
    Base()->ProgressControlDrawBar(progress, bar, static_cast<TColor>(fill));
    std::string row;
    for (int i = 0; i < 28; ++i) row += (c.PaintType == ptVert ? dib.At(4, i) : dib.At(i, 4)) == fill ? '#' : '.';
    EXPECT_EQ(c.Row, row);
    // The rest of the bar shows the bar's background, nothing outside it is touched.
    const COLORREF rest = c.PaintType == ptVert ? dib.At(4, 19) : dib.At(19, 4);
    if (rest != fill) {
      EXPECT_EQ(BarBackground(), rest);
    }
    EXPECT_EQ(kMarker, dib.At(25, 25));
  }
}

// ---------------------------------------------------------------------------
// Static controls
// ---------------------------------------------------------------------------

TEST_F(TItemPaintTest, StaticBorderStyles) {
  const COLORREF shadow = Sys(COLOR_BTNSHADOW), light = Sys(COLOR_BTNHIGHLIGHT);
  const struct {
    TdxBarStaticBorderStyle Style;
    COLORREF Outer, Second;  // base look at (0, 0) and (1, 1)
  } cases[] = {
      {sbsNone, kMarker, kMarker},
      {sbsLowered, shadow, kMarker},
      {sbsRaised, light, kMarker},
      {sbsEtched, shadow, light},
      {sbsBump, light, shadow},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Style));
    const int offset = TdxBarPainter::StaticControlGetBorderOffsets(c.Style);
    for (const TdxBarPainter* painter : {Base(), static_cast<const TdxBarPainter*>(Flat())}) {
      TPaintDib dib(10, 10);
      auto* label = Params<TdxBarStaticLikeControlDrawParams>(dib);
      label->BorderStyle = c.Style;
      label->BorderOffsets = TRect(offset, offset, offset, offset);
      TRect R(0, 0, 10, 10);
      painter->DrawStaticBorder(label, R);
      EXPECT_EQ(TRect(offset, offset, 10 - offset, 10 - offset), R);
      EXPECT_EQ(kMarker, dib.At(5, 5));
      if (painter == Base()) {
        EXPECT_EQ(c.Outer, dib.At(0, 0));
        EXPECT_EQ(c.Second, dib.At(1, 1));
      } else {
        // The flat look fills the whole border in the shadow colour.
        EXPECT_EQ(offset > 0 ? shadow : kMarker, dib.At(offset - (offset > 0), 5));
        EXPECT_EQ(kMarker, dib.At(offset, 5));
      }
    }
  }
}

TEST_F(TItemPaintTest, StaticControlIndentsAroundItsBorderedContent) {
  const struct {
    TdxBarPaintType PaintType;
    TRect Content;
    TPoint Strip, Edge;  // a pixel of the first indent strip, the border's top-left pixel
  } cases[] = {
      {ptHorz, TRect(5, 1, 37, 19), TPoint(1, 10), TPoint(4, 0)},
      {ptVert, TRect(1, 4, 39, 16), TPoint(20, 1), TPoint(0, 3)},
  };
  for (const auto& c : cases) {
    TPaintDib dib(40, 20);
    auto* label = Params<TdxBarStaticLikeControlDrawParams>(dib);
    label->PaintType = c.PaintType;
    label->BorderStyle = sbsLowered;
    label->BorderOffsets = TRect(1, 1, 1, 1);
    TRect R(0, 0, 40, 20);
    Base()->DrawStaticLikeControl(label, R, TRect(4, 3, 2, 3));
    EXPECT_EQ(c.Content, R);
    EXPECT_EQ(BarBackground(), dib.At(c.Strip.X, c.Strip.Y));
    EXPECT_EQ(Sys(COLOR_BTNSHADOW), dib.At(c.Edge.X, c.Edge.Y));
    EXPECT_EQ(kMarker, dib.At(20, 10));
  }
}

TEST_F(TItemPaintTest, StaticCaptionAlignment) {
  const int textSize = Control->Parent()->TextSize();
  const struct {
    const char* Name;
    TAlignment Alignment;
    bool AllowCenter;
    int FirstColumn, LastColumn;  // of text pixels; -1 where the other end decides
  } cases[] = {
      {"left", taLeftJustify, false, textSize / 4, -1},
      {"right", taRightJustify, false, -1, 97},
      {"centre not allowed", taCenter, false, textSize / 4, -1},
  };
  const COLORREF text = Sys(COLOR_BTNTEXT);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPaintDib dib(100, 24);
    dib.Canvas()->Font()->Assign(Control->Parent()->Font());
    auto* label = Params<TdxBarStaticLikeControlDrawParams>(dib);
    label->Caption = L"工件";
    label->ViewStructure = {cpText};
    label->Alignment = c.Alignment;
    label->AllowCenter = c.AllowCenter;
    label->BackgroundBrush = dxBarSysBrush(COLOR_WINDOW);
    Base()->DrawStaticGlyphAndCaption(label, TRect(0, 0, 100, 24));
    // The control's own brush fills the background opaquely.
    EXPECT_EQ(Sys(COLOR_WINDOW), dib.At(0, 0));
    int first = -1, last = -1;
    for (int x = 0; x < 100; ++x)
      for (int y = 0; y < 24; ++y)
        if (dib.At(x, y) == text) {
          if (first < 0) first = x;
          last = x;
        }
    ASSERT_GE(first, 0);
    // Within the two columns a glyph's side bearing may leave empty.
    if (c.FirstColumn >= 0) {
      EXPECT_TRUE(first >= c.FirstColumn && first <= c.FirstColumn + 2) << first;
    }
    if (c.LastColumn >= 0) {
      EXPECT_TRUE(last <= c.LastColumn && last >= c.LastColumn - 2) << last;
    }
  }
}

// ---------------------------------------------------------------------------
// Edit fields
// ---------------------------------------------------------------------------

TEST_F(TItemPaintTest, EditBorderInEachState) {
  const COLORREF bar = BarBackground(), highlight = Sys(COLOR_HIGHLIGHT);
  const COLORREF shadow = Sys(COLOR_BTNSHADOW), light = Sys(COLOR_BTNHIGHLIGHT);
  const struct {
    const char* Name;
    bool Flat, Selected, Enabled, Transparent;
    COLORREF Outer, OuterEnd, Inner;  // at (0, 0), the far corner and (1, 1)
  } cases[] = {
      {"base idle", false, false, true, false, bar, bar, bar},
      {"base hot", false, true, true, false, shadow, light, BrushColor(Base()->ParentBkBrush(Control))},
      {"base disabled", false, false, false, false, bar, bar, light},
      {"base disabled, transparent", false, false, false, true, bar, bar, bar},
      {"flat idle", true, false, true, false, bar, bar, kMarker},
      {"flat hot", true, true, true, false, highlight, highlight, kMarker},
      {"flat disabled", true, false, false, false, shadow, shadow, kMarker},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPaintDib dib(30, 20);
    auto* edit = Params<TdxBarEditLikeControlDrawParams>(dib);
    edit->DrawSelected = c.Selected;
    edit->Enabled = c.Enabled;
    edit->IsTransparent = c.Transparent;
    TRect R(0, 0, 30, 20);
    (c.Flat ? Flat() : Base())->EditControlDrawBorder(edit, R);
    const int ring = c.Flat ? 1 : 2;
    EXPECT_EQ(TRect(ring, ring, 30 - ring, 20 - ring), R);
    EXPECT_EQ(c.Outer, dib.At(0, 0));
    EXPECT_EQ(c.OuterEnd, dib.At(29, 19));
    EXPECT_EQ(c.Inner, dib.At(1, 1));
    EXPECT_EQ(kMarker, dib.At(15, 10));
  }
}

TEST_F(TItemPaintTest, EditTextFieldFillsItsRectangleOnly) {
  const struct {
    bool Enabled;
    TColor StyleBk;
    COLORREF Bk, Text;
  } cases[] = {
      {true, clDefault, Sys(COLOR_WINDOW), Sys(COLOR_WINDOWTEXT)},
      {true, clYellow, RGB(255, 255, 0), Sys(COLOR_WINDOWTEXT)},
      {false, clDefault, BrushColor(Base()->ParentBkBrush(Control)), Sys(COLOR_GRAYTEXT)},
  };
  for (const auto& c : cases) {
    TPaintDib dib(80, 24);
    dib.Canvas()->Font()->Assign(Control->Parent()->Font());
    auto* edit = Params<TdxBarEditLikeControlDrawParams>(dib);
    edit->Enabled = c.Enabled;
    edit->StyleBkColor = c.StyleBk;
    Base()->EditControlDrawTextField(edit, dib.Canvas(), TRect(10, 2, 40, 22), L"板材厚度 18 毫米");
    EXPECT_EQ(c.Bk, dib.At(10, 2));
    EXPECT_EQ(c.Bk, dib.At(39, 21));
    EXPECT_TRUE(dib.ColorsIn(TRect(12, 4, 40, 20)).count(c.Text));
    // The long text is clipped to the field, and the clip is given back.
    EXPECT_EQ(std::set<COLORREF>{kMarker}, dib.ColorsIn(TRect(40, 0, 80, 24)));
    dib.Canvas()->FillRect(TRect(0, 0, 80, 24), clRed);
    EXPECT_EQ(RGB(255, 0, 0), dib.At(70, 12));
  }
}

namespace {

// Records the control's own steps and fills the whole canvas in the field step.
class TRecordingSteps : public TdxBarEditLikeControlSteps {
 public:
  explicit TRecordingSteps(TcxCanvas* ACanvas) : FCanvas(ACanvas) {}
  void DrawBorderAndClip() override { Calls += "border;"; }
  void DrawEditField() override {
    Calls += "field;";
    FCanvas->FillRect(TRect(0, 0, 200, 30), clRed);
  }
  std::string Calls;

 private:
  TcxCanvas* FCanvas;
};

}  // namespace

TEST_F(TItemPaintTest, EditLikeControlDrawsCaptionBeforeTheFieldAndProtectsIt) {
  TPaintDib dib(200, 30);
  dib.Canvas()->Font()->Assign(Control->Parent()->Font());
  auto* edit = Params<TdxBarEditLikeControlDrawParams>(dib);
  edit->Caption = L"厚度";
  edit->ViewStructure = {cpText};
  TRecordingSteps steps(dib.Canvas());
  edit->Steps = &steps;
  Parts() = {TRect(62, 2, 198, 28), TRect(0, 0, 0, 30), TRect(0, 0, 60, 30)};
  dib.Canvas()->SaveClipRegion();
  Base()->DrawEditLikeControl(edit, TRect(0, 0, 200, 30));
  dib.Canvas()->RestoreClipRegion();
  EXPECT_EQ("border;field;", steps.Calls);
  // The field step could not paint over the caption part.
  const COLORREF red = RGB(255, 0, 0);
  EXPECT_EQ(red, dib.At(100, 15));
  EXPECT_FALSE(dib.ColorsIn(TRect(0, 0, 60, 30)).count(red));
  // The caption is right-aligned and ends before the caption's right indent.
  const std::set<COLORREF> caption = dib.ColorsIn(TRect(0, 0, 56, 30));
  EXPECT_TRUE(caption.count(Sys(COLOR_BTNTEXT)));
  EXPECT_EQ(std::set<COLORREF>{BarBackground()}, dib.ColorsIn(TRect(56, 0, 60, 30)));
  EXPECT_EQ(std::set<COLORREF>{BarBackground()}, dib.ColorsIn(TRect(0, 0, 20, 30)));
}

TEST_F(TItemPaintTest, EditCaptionBackgroundAndItsRightIndent) {
  const COLORREF bar = BarBackground();
  const struct {
    const char* Name;
    bool Flat;
    TdxBarPaintType PaintType;
    bool Selected;
    COLORREF Caption, Indent;  // the caption part and the strip of its right indent
  } cases[] = {
      {"toolbar", false, ptHorz, true, bar, bar},
      {"menu, hot", false, ptMenu, true, BrushColor(Base()->BarToolbarSelBrush()), bar},
      {"flat menu, hot", true, ptMenu, true, BrushColor(Flat()->BarToolbarSelBrush()),
       BrushColor(Flat()->BarToolbarSelBrush())},
      {"flat menu", true, ptMenu, false, bar, bar},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPaintDib dib(80, 20);
    auto* edit = Params<TdxBarEditLikeControlDrawParams>(dib);
    edit->PaintType = c.PaintType;
    edit->DrawSelected = c.Selected;
    edit->ViewStructure = {cpText};
    Parts() = {TRect(40, 0, 80, 20), TRect(0, 0, 0, 20), TRect(0, 0, 40, 20)};
    (c.Flat ? Flat() : Base())->EditControlDrawBackground(edit);
    const int indent = (c.Flat ? Flat() : Base())->EditControlCaptionRightIndent();
    EXPECT_EQ(std::set<COLORREF>{c.Caption}, dib.ColorsIn(TRect(0, 0, 40 - indent, 20)));
    EXPECT_EQ(std::set<COLORREF>{c.Indent}, dib.ColorsIn(TRect(40 - indent, 0, 40, 20)));
    EXPECT_EQ(kMarker, dib.At(60, 10));
  }
}

TEST_F(TItemPaintTest, FlatSelectionFrameOfAMenuEditSurvivesTheField) {
  TPaintDib dib(200, 30);
  auto* edit = Params<TdxBarEditLikeControlDrawParams>(dib);
  edit->PaintType = ptMenu;
  edit->DrawSelected = true;
  TRecordingSteps steps(dib.Canvas());
  edit->Steps = &steps;
  Parts() = {TRect(62, 2, 198, 28), TRect(0, 0, 0, 30), TRect(0, 0, 60, 30)};
  dib.Canvas()->SaveClipRegion();
  Flat()->DrawEditLikeControl(edit, TRect(0, 0, 200, 30));
  dib.Canvas()->RestoreClipRegion();
  for (const TPoint p : {TPoint(0, 0), TPoint(100, 0), TPoint(199, 29), TPoint(0, 15), TPoint(199, 15)})
    EXPECT_EQ(Sys(COLOR_HIGHLIGHT), dib.At(p.X, p.Y)) << p.X << "," << p.Y;
  EXPECT_EQ(RGB(255, 0, 0), dib.At(100, 15));
}

TEST_F(TItemPaintTest, SystemPanelTakesItsStripOnTheGripSide) {
  const int panel = Base()->SysPanelSize();
  ASSERT_GT(panel, 0);
  const struct {
    bool Sizable;
    TdxCorner Corner;
    TRect Client;
  } cases[] = {
      {false, coBottomRight, TRect(1, 1, 99, 79)},
      {true, coBottomRight, TRect(1, 1, 99, 79 - panel)},
      {true, coTopLeft, TRect(1, 1 + panel, 99, 79)},
  };
  for (const auto& c : cases) {
    TRect client(0, 0, 100, 80);
    TdxCorner corner = c.Corner;
    Base()->SysPanelCalcSize(nullptr, client, corner, nullptr, c.Sizable);
    EXPECT_EQ(c.Client, client);
    EXPECT_EQ(c.Corner, corner);
  }
}

namespace {

int gChanges = 0;
WNDPROC gPreviousEditProc = nullptr;

// Counts the change notices an edit window gets about itself.
LRESULT CALLBACK CountingEditProc(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam) {
  if (AMsg == WM_COMMAND && HIWORD(AWParam) == EN_CHANGE && reinterpret_cast<HWND>(ALParam) == AWnd) ++gChanges;
  return CallWindowProcW(gPreviousEditProc, AWnd, AMsg, AWParam, ALParam);
}

}  // namespace

TEST_F(TItemPaintTest, UpdatingTheEditWindowTextNotifiesOnlyOnChangeAndSelectsAll) {
  HWND edit = CreateWindowExW(0, L"EDIT", L"封边条", WS_CHILD, 0, 0, 100, 20, Form->Handle(), nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(edit);
  gChanges = 0;
  gPreviousEditProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingEditProc)));
  for (bool differs : {false, true}) {
    SendMessageW(edit, EM_SETSEL, 1, 1);
    Base()->EditControlUpdateWndText(edit, differs);
    DWORD start = 9, end = 9;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(0u, start);
    EXPECT_EQ(3u, end);
  }
  EXPECT_EQ(1, gChanges);
  DestroyWindow(edit);
}

TEST_F(TItemPaintTest, ComboListLinesAndTheirIndexRange) {
  auto* items = Make<TStringList>();
  items->Add(L"橡木");
  const COLORREF text = RGB(0, 0, 255);
  const struct {
    const char* Name;
    bool Flat, Interior;
    int Index;
    bool HasText;
    int TextTop;
  } cases[] = {
      {"the combo's text", false, false, -1, true, 0},
      {"a line", false, false, 0, true, 0},
      {"past the list", false, false, 5, false, 0},
      {"below the list", false, false, -2, false, 0},
      {"flat in the combo's own field", true, true, 0, true, 2},
  };
  int baseTop = -1;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPaintDib dib(60, 24);
    dib.Canvas()->Font()->Assign(Control->Parent()->Font());
    dib.Canvas()->Font()->SetColor(static_cast<TColor>(text));
    dib.Canvas()->Brush()->SetColor(clWhite);
    (c.Flat ? Flat() : Base())->CustomComboDrawItem(dib.Canvas(), L"胡桃木", items, c.Index, TRect(0, 0, 60, 24),
                                                      c.Interior);
    EXPECT_EQ(RGB(255, 255, 255), dib.At(0, 0));
    int top = -1;
    for (int y = 0; y < 24 && top < 0; ++y)
      if (ColumnsOf(dib, y, text).find('#') != std::string::npos) top = y;
    EXPECT_EQ(c.HasText, top >= 0);
    if (c.Index == 0 && !c.Flat) baseTop = top;
    if (c.Flat) {
      EXPECT_EQ(baseTop + c.TextTop, top);
    }
  }
  TObject::Free(items);
}

// ---------------------------------------------------------------------------
// Buttons inside edit-like controls
// ---------------------------------------------------------------------------

TEST_F(TItemPaintTest, FlatSpinButtonInEachState) {
  const TdxBarFlatBrushes& b = dxBarFlatBrushes();
  const COLORREF highlight = Sys(COLOR_HIGHLIGHT), parent = BrushColor(Base()->ParentBkBrush(Control));
  const struct {
    const char* Name;
    bool Selected, Pressed, Enabled;
    COLORREF Frame, Fill, Arrow;
  } cases[] = {
      {"idle", false, false, true, parent, parent, Sys(COLOR_BTNTEXT)},
      {"hot", true, false, true, highlight, BrushColor(b.Sel), Sys(COLOR_BTNTEXT)},
      {"pressed", true, true, true, highlight, BrushColor(b.DownedSel), Sys(COLOR_BTNTEXT)},
      {"disabled", false, false, false, parent, parent, Sys(COLOR_BTNSHADOW)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    for (int button : {3, 4}) {
      TPaintDib dib(17, 10);
      auto* spin = Params<TdxBarSpinEditDrawParams>(dib);
      spin->ArrowSize = TSize(7, 4);
      spin->DrawSelected = c.Selected;
      spin->Enabled = c.Enabled;
      spin->ActiveButtonIndex = c.Pressed ? button : -1;
      Flat()->SpinEditControlDrawButton(spin, TRect(0, 0, 17, 10), button);
      EXPECT_EQ(c.Frame, dib.At(0, 0));
      EXPECT_EQ(c.Fill, dib.At(1, 1));
      // The arrow's base row of 7 pixels from x = 4 and its apex 3 rows away.
      const int base = button == 3 ? 6 : 3, apex = button == 3 ? 3 : 6;
      EXPECT_EQ("....#######......", ColumnsOf(dib, base, c.Arrow));
      EXPECT_EQ(".......#.........", ColumnsOf(dib, apex, c.Arrow));
    }
  }
}

TEST_F(TItemPaintTest, BaseSpinArrowIsEmbossedWhenDisabledAndShiftsWhenPressed) {
  const struct {
    bool Enabled, Pressed;
    int BaseRow, FirstColumn;
    COLORREF Color;
  } cases[] = {{true, false, 6, 4, Sys(COLOR_BTNTEXT)},
               {true, true, 7, 5, Sys(COLOR_BTNTEXT)},
               {false, false, 6, 4, Sys(COLOR_BTNSHADOW)}};
  for (const auto& c : cases) {
    TPaintDib dib(17, 10);
    auto* spin = Params<TdxBarSpinEditDrawParams>(dib);
    spin->ArrowSize = TSize(7, 4);
    spin->Enabled = c.Enabled;
    spin->ActiveButtonIndex = c.Pressed ? 3 : -1;
    Base()->SpinEditControlDrawButton(spin, TRect(0, 0, 17, 10), 3);
    const std::string row = ColumnsOf(dib, c.BaseRow, c.Color);
    EXPECT_EQ(static_cast<size_t>(c.FirstColumn), row.find('#'));
    EXPECT_EQ(7, std::count(row.begin(), row.end(), '#'));
    if (!c.Enabled) {
      EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT), dib.At(11, 7));
    }
  }
  TPaintDib dib(4, 4);
  auto* spin = Params<TdxBarSpinEditDrawParams>(dib);
  spin->HotPartIndex = 4;
  spin->ActiveButtonIndex = 3;
  EXPECT_EQ(3, Base()->GetSpinEditButtonState(spin, 3));
  EXPECT_EQ(2, Base()->GetSpinEditButtonState(spin, 4));
  spin->HotPartIndex = -1;
  EXPECT_EQ(1, Base()->GetSpinEditButtonState(spin, 4));
  spin->Enabled = false;
  EXPECT_EQ(4, Base()->GetSpinEditButtonState(spin, 3));
}

TEST_F(TItemPaintTest, FlatComboButtonFaceAndArrow) {
  const TdxBarFlatBrushes& b = dxBarFlatBrushes();
  const struct {
    const char* Name;
    bool Selected, DroppedDown, Enabled;
    COLORREF Frame, Fill, Arrow;
  } cases[] = {
      {"idle", false, false, true, Sys(COLOR_WINDOW), BrushColor(Base()->ParentBkBrush(Control)),
       Sys(COLOR_BTNTEXT)},
      {"hot", true, false, true, Sys(COLOR_HIGHLIGHT), BrushColor(b.Sel), Sys(COLOR_BTNTEXT)},
      {"dropped down", true, true, true, Sys(COLOR_HIGHLIGHT), BrushColor(b.DownedSel),
       Sys(COLOR_HIGHLIGHTTEXT)},
      {"disabled", false, false, false, BrushColor(Base()->ParentBkBrush(Control)),
       BrushColor(Base()->ParentBkBrush(Control)), Sys(COLOR_BTNSHADOW)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPaintDib dib(20, 20);
    auto* combo = Params<TdxBarEditLikeControlDrawParams>(dib);
    combo->DrawSelected = c.Selected;
    combo->DroppedDown = c.DroppedDown;
    combo->Enabled = c.Enabled;
    // An 11-pixel button: a hot one frames one pixel outside it.
    const TRect button(5, 2, 16, 18);
    Flat()->ComboControlDrawArrowButton(combo, button, true);
    const TRect frame = c.Selected ? TRect(4, 1, 17, 19) : button;
    EXPECT_EQ(c.Frame, dib.At(frame.Left, frame.Top));
    EXPECT_EQ(c.Frame, dib.At(frame.Right - 1, frame.Bottom - 1));
    EXPECT_EQ(c.Fill, dib.At(frame.Left + 1, frame.Top + 1));
    // A downward arrow of size 3 (11 div 4 = 2, made odd): 5, 3 and 1 pixels.
    int rows = 0;
    for (int y = 0; y < 20; ++y) {
      const std::string row = ColumnsOf(dib, y, c.Arrow);
      const auto n = std::count(row.begin(), row.end(), '#');
      if (n && y > frame.Top && y < frame.Bottom - 1) {
        EXPECT_EQ(5 - 2 * rows++, n) << y;
      }
    }
    EXPECT_EQ(3, rows);
  }
}

TEST_F(TItemPaintTest, CustomColourButtonDots) {
  const struct {
    bool Enabled, Pressed;
    COLORREF Dot;
    int Shift;
  } cases[] = {{true, false, Sys(COLOR_BTNTEXT), 0}, {false, false, Sys(COLOR_BTNSHADOW), 0}};
  for (const auto& c : cases) {
    TPaintDib dib(23, 21);
    auto* color = Params<TdxBarColorComboControlDrawParams>(dib);
    color->Enabled = c.Enabled;
    color->IsPressed = c.Pressed;
    Flat()->ColorComboDrawCustomButton(color, TRect(0, 0, 23, 21));
    // Inside the frame 21 x 19: cells of 3, the first 3 from the left, 3 up from the bottom.
    for (int y : {14, 16}) EXPECT_EQ("....###...###...###....", ColumnsOf(dib, y, c.Dot)) << y;
    for (int y : {13, 17}) EXPECT_EQ(std::string(23, '.'), ColumnsOf(dib, y, c.Dot)) << y;
  }
}

TEST_F(TItemPaintTest, InPlaceSubItemHeaderInEachState) {
  const COLORREF shadow = Sys(COLOR_BTNSHADOW), highlight = Sys(COLOR_HIGHLIGHT);
  const COLORREF light = Sys(COLOR_HIGHLIGHTTEXT), text = Sys(COLOR_BTNTEXT);
  const struct {
    const char* Name;
    bool Flat, Selected, Expanded, Enabled;
    COLORREF Edge, Fill, Arrow;
    int ArrowPixels;
  } cases[] = {
      {"expanded", false, false, true, true, shadow, shadow, light, 16},
      {"hot, collapsed", false, true, false, true, highlight, highlight, light, 16},
      {"flat hot", true, true, true, true, highlight, BrushColor(dxBarFlatBrushes().Sel), text, 16},
      {"disabled", false, false, true, false, shadow, shadow, light, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPaintDib dib(120, 20);
    auto* header = Params<TdxBarInPlaceSubItemControlDrawParams>(dib);
    header->PaintType = ptMenu;
    header->DrawSelected = c.Selected;
    header->IsExpanded = c.Expanded;
    header->Enabled = c.Enabled;
    header->ArrowSize = TSize(16, 4);
    (c.Flat ? Flat() : Base())->InPlaceSubItemControlDrawInMenu(header, TRect(0, 0, 120, 20));
    EXPECT_EQ(BrushColor(Base()->ParentBkBrush(Control)), dib.At(60, 19));
    EXPECT_EQ(c.Edge, dib.At(0, 0));
    EXPECT_EQ(c.Fill, dib.At(5, 5));
    int arrow = 0;
    for (int y = 0; y < 20; ++y) {
      const std::string row = ColumnsOf(dib, y, c.Arrow).substr(100);
      arrow += static_cast<int>(std::count(row.begin(), row.end(), '#'));
    }
    EXPECT_EQ(c.ArrowPixels, arrow);
  }
}

TEST_F(TItemPaintTest, DateNavigatorButtons) {
  const COLORREF text = Sys(COLOR_BTNTEXT), face = Sys(COLOR_BTNFACE), shadow = Sys(COLOR_BTNSHADOW);
  const COLORREF light = Sys(COLOR_BTNHIGHLIGHT);
  const struct {
    const char* Name;
    bool Flat;
    TPoint At;
    COLORREF Color;
  } pixels[] = {
      {"base bottom edge", false, TPoint(10, 19), text}, {"base right edge", false, TPoint(29, 5), text},
      {"base top edge", false, TPoint(10, 0), face},     {"base inner bottom", false, TPoint(10, 18), shadow},
      {"base inner top", false, TPoint(10, 1), light},   {"base notch", false, TPoint(28, 1), face},
      {"flat outer", true, TPoint(0, 0), shadow},        {"flat inner", true, TPoint(1, 1), face},
      {"flat face", true, TPoint(2, 2), face},
  };
  for (bool flat : {false, true}) {
    TPaintDib dib(30, 20);
    (flat ? Flat() : Base())->DateNavigatorDrawButton(dib.DC(), TRect(0, 0, 30, 20), L"7", false);
    for (const auto& p : pixels)
      if (p.Flat == flat) {
        EXPECT_EQ(p.Color, dib.At(p.At.X, p.At.Y)) << p.Name;
      }
  }
}

// ---------------------------------------------------------------------------
// Labels, separators and edits inside menus
// ---------------------------------------------------------------------------

namespace {

// The first column of R that holds AColor, -1 when none does.
int FirstColumnOf(const TPaintDib& ADib, const TRect& R, COLORREF AColor) {
  for (int x = R.Left; x < R.Right; ++x)
    for (int y = R.Top; y < R.Bottom; ++y)
      if (ADib.At(x, y) == AColor) return x;
  return -1;
}

// A look whose menus have a band under their items.
struct TBandedPainter : TdxBarPainter {
  bool SubMenuControlHasBand() const override { return true; }
};

}  // namespace

TEST_F(TItemPaintTest, MenuLabelPutsItsGlyphInTheIconColumnAndItsTextAfterTheBand) {
  const int iconArea = Control->Parent()->IconAreaSize();
  const COLORREF text = Sys(COLOR_BTNTEXT);
  for (const TdxBarPainter* painter : {Base(), static_cast<const TdxBarPainter*>(Flat())}) {
    SCOPED_TRACE(painter == Base() ? "base" : "flat");
    TPaintDib dib(160, 24);
    dib.Canvas()->Font()->Assign(Control->Parent()->Font());
    auto* label = Params<TdxBarStaticLikeControlDrawParams>(dib);
    label->PaintType = ptMenu;
    label->Caption = L"工件";
    label->ViewStructure = {cpIcon, cpText};
    label->Alignment = taLeftJustify;
    label->BackgroundBrush = dxBarSysBrush(COLOR_WINDOW);
    const TRect R(0, 0, 160, 24);
    painter->DrawStaticGlyphAndCaption(label, R);
    const TRect column = painter->SubMenuControlGetItemIconRect(R, iconArea);
    const TRect image = Control->ViewInfo()->ImageBounds;
    EXPECT_EQ(column.Left + (column.Width() - image.Width()) / 2, image.Left);
    EXPECT_EQ(column.Top + (column.Height() - image.Height()) / 2, image.Top);
    const int indent = painter->SubMenuControlGetItemTextIndent(painter->SubMenuFrameOf(Control));
    EXPECT_EQ(iconArea + (painter == Base() ? 3 : 9), indent);
    const int first = FirstColumnOf(dib, R, text);
    EXPECT_TRUE(first >= indent && first <= indent + 2) << first;
  }
}

TEST_F(TItemPaintTest, MenuSeparatorWithAndWithoutCaption) {
  const COLORREF shadow = Sys(COLOR_BTNSHADOW);
  const int bandEnd = Flat()->SubMenuTextAreaOffset(Control->Parent()->TextSize());
  const struct {
    const char* Name;
    bool Flat;
    bool Caption, IsTop;
    std::vector<int> LineRows;  // rows whose middle pixel has the shadow colour
  } cases[] = {
      {"base group line", false, false, false, {4}},
      {"flat group line", true, false, false, {10}},
      {"captioned", false, true, false, {0, 18}},
      {"captioned on top", false, true, true, {18}},
      {"flat captioned", true, true, false, {0, 18}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPaintDib dib(160, 20);
    dib.Canvas()->Font()->Assign(Control->Parent()->Font());
    auto* separator = Params<TdxBarSeparatorControlDrawParams>(dib);
    separator->PaintType = ptMenu;
    separator->IsTop = c.IsTop;
    if (c.Caption) {
      separator->Caption = L"刀具";
      separator->ViewStructure = {cpText};
    }
    (c.Flat ? Flat() : Base())->DrawSeparatorControl(separator, TRect(0, 0, 160, 20));
    std::vector<int> rows;
    for (int y = 0; y < 20; ++y)
      if (dib.At(150, y) == shadow) rows.push_back(y);
    EXPECT_EQ(c.LineRows, rows);
    // Nothing of the menu item is left unpainted.
    EXPECT_FALSE(dib.ColorsIn(TRect(0, 0, 160, 20)).count(kMarker));
    if (c.Flat && !c.Caption) {
      // The flat line starts after the band and its indent.
      EXPECT_EQ(BrushColor(Flat()->BarToolbarBrush()), dib.At(bandEnd - 1, 10));
      EXPECT_EQ(bandEnd + Flat()->SubMenuBeginGroupIndent(), FirstColumnOf(dib, TRect(0, 10, 160, 11), shadow));
    }
  }
  // A toolbar shows no separator caption, only its group line.
  TPaintDib dib(160, 20);
  dib.Canvas()->Font()->Assign(Control->Parent()->Font());
  auto* separator = Params<TdxBarSeparatorControlDrawParams>(dib);
  separator->Caption = L"刀具";
  separator->ViewStructure = {cpText};
  Base()->DrawSeparatorControl(separator, TRect(0, 0, 160, 20));
  EXPECT_FALSE(dib.ColorsIn(TRect(0, 0, 160, 20)).count(Sys(COLOR_BTNTEXT)));
  EXPECT_TRUE(dib.ColorsIn(TRect(0, 0, 160, 20)).count(shadow));
}

TEST_F(TItemPaintTest, EditInAMenuCaptionBackgroundUnderABandAndCaptionIndentBesideTheIcon) {
  static const TBandedPainter banded;
  const struct {
    const char* Name;
    const TdxBarPainter* Painter;
    TdxBarPaintType PaintType;
    bool Icon;
    bool CaptionPainted;
  } cases[] = {
      {"band, iconless menu edit", &banded, ptMenu, false, true},
      {"band, menu edit with icon", &banded, ptMenu, true, false},
      {"band, toolbar edit", &banded, ptHorz, false, false},
      {"no band", Base(), ptMenu, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPaintDib dib(80, 20);
    auto* edit = Params<TdxBarEditLikeControlDrawParams>(dib);
    edit->PaintType = c.PaintType;
    if (c.Icon) edit->ViewStructure = {cpIcon};
    Parts() = {TRect(40, 0, 80, 20), TRect(0, 0, 0, 20), TRect(0, 0, 40, 20)};
    c.Painter->EditControlDrawBackground(edit);
    EXPECT_EQ(c.CaptionPainted, dib.At(10, 10) != kMarker);
  }
  // Beside an icon in a flat menu the caption starts where item texts start.
  TPaintDib dib(4, 4);
  auto* edit = Params<TdxBarEditLikeControlDrawParams>(dib);
  edit->PaintType = ptMenu;
  edit->ViewStructure = {cpIcon, cpText};
  EXPECT_EQ(9, Flat()->EditControlCaptionRelativeLeftIndent(edit));
  EXPECT_EQ(9, Flat()->EditControlIndents(edit, 1).Left);
  EXPECT_EQ(2, Base()->EditControlIndents(edit, 1).Left);
}
