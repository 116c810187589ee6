// The base and flat painters' metrics as tables, the content offsets of
// toolbar windows, arrow geometry (points, bounds and the pixels of the
// region) and bar backgrounds with the manager's picture, pixel by pixel on
// 32-bit DIB sections.
#include "bars/controls/dxBarFlatPainter.h"
#include "bars/controls/dxBarPaintRoutines.h"
#include "tests/bars/controls/dxBarControlsTestSupport.h"
#include "tests/bars/controls/dxBarPaintDib.h"
#include "tests/support/TestObjects.h"

#include <functional>
#include <string>

namespace {

const TdxBarPainter* Base() { return TdxBarPainter::Instance(); }
// The flat painter seen as the base class, as bars hold it.
const TdxBarPainter* Flat() { return TdxBarFlatPainter::Instance(); }

}  // namespace

TEST(dxBarPainterMetrics, BaseAndFlatAnswers) {
  const struct {
    const char* Name;
    std::function<int(const TdxBarPainter*)> Ask;
    int Base, Flat;
  } cases[] = {
      {"BarBeginGroupSize", [](auto p) { return p->BarBeginGroupSize(); }, 6, 5},
      // One operation: the flat look's strips are (5 - 1) div 2, not (5 - 2) div 2.
      {"BarBeginGroupSideSize", [](auto p) { return p->BarBeginGroupSideSize(); }, 2, 2},
      {"BeforeFingersSize", [](auto p) { return p->BeforeFingersSize(); }, 0, 1},
      {"FingersSize", [](auto p) { return p->FingersSize(nullptr); }, 0, 6},
      {"EmptyFingersSize", [](auto p) { return p->EmptyFingersSize(); }, 0, 0},
      {"GripperSize", [](auto p) { return p->GripperSize(); }, 3, 3},
      {"BarBorderSize", [](auto p) { return p->BarBorderSize(); }, 1, 1},
      {"MarkSizeX", [](auto p) { return p->MarkSizeX(nullptr); }, 11, 11},
      {"StatusBarTopBorderSize", [](auto p) { return p->StatusBarTopBorderSize(); }, 2, 2},
      {"GetBorderSize", [](auto p) { return p->GetBorderSize(); }, 0, 1},
      {"LoweredBorderSize", [](auto p) { return p->LoweredBorderSize(nullptr); }, 0, 1},
      {"GetPopupWindowBorderWidth", [](auto p) { return p->GetPopupWindowBorderWidth(); }, 2, 2},
      {"GetToolbarsOffsetForAutoAlign", [](auto p) { return p->GetToolbarsOffsetForAutoAlign(); }, 0, 0},
      {"GetButtonWidth(16)", [](auto p) { return p->GetButtonWidth(16, 19); }, 23, 23},
      {"GetButtonHeight(16)", [](auto p) { return p->GetButtonHeight(16, 19); }, 22, 22},
      {"ComboBoxArrowWidth(6)", [](auto p) { return p->ComboBoxArrowWidth(nullptr, 6); }, 11, 11},
      {"corrected default height 20", [](auto p) { int v = 20; p->CorrectButtonControlDefaultHeight(v); return v; }, 20, 22},
      {"corrected default width 20", [](auto p) { int v = 20; p->CorrectButtonControlDefaultWidth(v); return v; }, 20, 29},
      {"SubMenuBeginGroupIndent", [](auto p) { return p->SubMenuBeginGroupIndent(); }, 0, 8},
      {"SubMenuControlBeginGroupSize", [](auto p) { return p->SubMenuControlBeginGroupSize(); }, 10, 5},
      {"SubMenuControlNormalItemHeight", [](auto p) { return p->SubMenuControlNormalItemHeight(); }, 19, 20},
      {"SubMenuControlArrowsOffset", [](auto p) { return p->SubMenuControlArrowsOffset(); }, 2, 1},
      {"SubMenuControlArrowWidth(19)", [](auto p) { return p->SubMenuControlArrowWidth(19); }, 13, 13},
      {"SubMenuControlBorderSize", [](auto p) { return p->SubMenuControlBorderSize(); }, 2, 2},
      {"SubMenuControlMarkArrowSize(14)", [](auto p) { return p->SubMenuControlMarkArrowSize(14); }, 4, 4},
      {"SubMenuControlMarkArrowSize(16)", [](auto p) { return p->SubMenuControlMarkArrowSize(16); }, 5, 6},
      {"SubMenuTextAreaOffset(19)", [](auto p) { return p->SubMenuTextAreaOffset(19); }, 20, 22},
      {"SubMenuGetSeparatorSize", [](auto p) { return p->SubMenuGetSeparatorSize(); }, 2, 2},
      {"DropDownListBoxBorderSize", [](auto p) { return p->DropDownListBoxBorderSize(); }, 2, 2},
      {"ContainerControlSubMenuOffset", [](auto p) { return p->ContainerControlSubMenuOffset(); }, 0, 9},
      {"EditControlCaptionRightIndent", [](auto p) { return p->EditControlCaptionRightIndent(); }, 4, 5},
      {"flat glyphs and text", [](auto p) { return p->IsFlatGlyphImage() + 2 * p->IsFlatItemText(); }, 0, 3},
      {"children shadows, popup on right",
       [](auto p) { return p->BarChildrenHaveShadows() + 2 * p->IsQuickControlPopupOnRight(); }, 0, 3},
      {"large icons, inverted selected text",
       [](auto p) { return p->AllowsLargeIcons() + 2 * p->IsItemTextSelectedInverted(); }, 3, 3},
      {"own background, double buffering, embossed disabled",
       [](auto p) { return p->HasOwnBarBackground() + 2 * p->NeedsDoubleBuffering() + 4 * p->DrawsEmbossedDisabled(); },
       0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.Base, c.Ask(Base())) << c.Name << " (base)";
    EXPECT_EQ(c.Flat, c.Ask(Flat())) << c.Name << " (flat)";
  }
  EXPECT_EQ(TPoint(2, 1), TdxBarPainter::SplitInThirds(10));
  EXPECT_EQ(TPoint(-1, 2), TdxBarPainter::SplitInThirds(2));
}

TEST_F(TBarWindowTest, ButtonArrowWidthIsOddAndDoublesWithLargeIcons) {
  Manager->SetButtonArrowWidth(10);
  const struct {
    bool LargeIcons;
    int Base, Flat;
  } cases[] = {{false, 11, 10}, {true, 21, 20}};
  for (const auto& c : cases) {
    Manager->SetLargeIcons(c.LargeIcons);
    EXPECT_EQ(c.Base, Base()->RealButtonArrowWidth(Manager)) << c.LargeIcons;
    EXPECT_EQ(c.Flat, Flat()->RealButtonArrowWidth(Manager)) << c.LargeIcons;
  }
  Manager->SetLargeIcons(false);
}

TEST_F(TBarWindowTest, ToolbarContentOffsetsByStyleBorderAndCloseability) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  TdxBar* status = AddToolbar({L"就绪"}, dsBottom);
  status->SetBorderStyle(bbsNone);
  status->SetWholeRow(true);
  ASSERT_TRUE(status->IsStatusBarLike());
  const int bx = GetSystemMetrics(SM_CXFRAME), by = GetSystemMetrics(SM_CYFRAME);
  const int caption = Base()->BarCaptionAreaSize();
  const int grip = GetSystemMetrics(SM_CXHSCROLL);
  const struct {
    const char* Name;
    const TdxBarPainter* Painter;
    TdxBar* Bar;
    TdxBarDockingStyle Style;
    bool AllowClose, Grip;
    TRect Expected;
  } cases[] = {
      {"floating", Base(), bar, dsNone, true, false, TRect(bx, by + caption, bx, by)},
      // A toolbar the user may not close still floats with its caption.
      {"floating, not closable", Base(), bar, dsNone, false, false, TRect(bx, by + caption, bx, by)},
      {"docked at the top", Base(), bar, dsTop, true, false, TRect(2, 2, 2, 2)},
      {"flat, docked at the top", Flat(), bar, dsTop, true, false, TRect(8, 2, 2, 2)},
      {"flat, docked at the left", Flat(), bar, dsLeft, true, false, TRect(2, 8, 2, 2)},
      {"status bar", Base(), status, dsBottom, true, false, TRect(0, 2, 0, 0)},
      {"status bar with a size grip", Base(), status, dsBottom, true, true, TRect(0, 2, grip, 0)},
  };
  for (const auto& c : cases) {
    c.Bar->SetAllowClose(c.AllowClose);
    EXPECT_EQ(c.Expected, c.Painter->GetToolbarContentOffsets(c.Bar, c.Style, c.Grip)) << c.Name;
  }
  bar->SetAllowClose(true);
  // Docking forbidden everywhere: the flat gripper's room goes too.
  bar->SetNotDocking({dsNone, dsLeft, dsTop, dsRight, dsBottom});
  EXPECT_EQ(TRect(2, 2, 2, 2), Flat()->GetToolbarContentOffsets(bar, dsTop, false));
  bar->SetNotDocking({});
}

TEST(dxBarPainterArrows, PointsBoundTheArrowAndTheRegionHoldsItsPixels) {
  const TRect R(0, 0, 20, 20);
  const struct {
    TcxArrowDirection Direction;
    int Size;
    TRect Bounds;
  } cases[] = {
      {adUp, 3, TRect(7, 9, 12, 12)},   {adDown, 3, TRect(7, 8, 12, 11)},  // odd: one pixel up
      {adLeft, 3, TRect(8, 8, 11, 13)}, {adRight, 3, TRect(7, 8, 10, 13)},  // odd: one pixel left
      {adUp, 4, TRect(6, 8, 13, 12)},   {adDown, 4, TRect(6, 8, 13, 12)},
      {adLeft, 4, TRect(8, 7, 12, 14)}, {adRight, 4, TRect(8, 7, 12, 14)},
  };
  constexpr COLORREF kArrow = RGB(200, 0, 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.Direction) << " size " << c.Size);
    TcxArrowPoints points;
    TdxBarPainter::CalculateArrowPoints(R, c.Size, c.Direction, points);
    const TRect bounds = TdxBarPainter::GetArrowRectByPoints(points, c.Direction);
    EXPECT_EQ(c.Bounds, bounds);
    // Filled through its region, the arrow is a clean triangle: the base
    // line across the bounds, one pixel less on each side per line to the apex.
    TPaintDib dib(20, 20);
    dib.Canvas()->SaveClipRegion();
    TdxBarPainter::SetArrowRegion(dib.Canvas(), c.Direction, points, RGN_AND);
    Base()->FillWithColor(dib.DC(), R, static_cast<TColor>(kArrow));
    dib.Canvas()->RestoreClipRegion();
    const bool vertical = c.Direction == adUp || c.Direction == adDown;
    const int depth = vertical ? bounds.Height() : bounds.Width();
    for (int i = 0; i < depth; ++i) {
      // Line i counted from the apex.
      std::string line, expected;
      const int along = vertical ? bounds.Width() : bounds.Height();
      for (int j = 0; j < along; ++j) {
        int x, y;
        if (vertical) {
          x = bounds.Left + j;
          y = c.Direction == adUp ? bounds.Top + i : bounds.Bottom - 1 - i;
        } else {
          y = bounds.Top + j;
          x = c.Direction == adLeft ? bounds.Left + i : bounds.Right - 1 - i;
        }
        line += dib.At(x, y) == kArrow ? '#' : '.';
        expected += std::abs(j - (along - 1) / 2) <= i ? '#' : '.';
      }
      EXPECT_EQ(expected, line) << "line " << i;
    }
    int painted = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) painted += dib.At(x, y) == kArrow;
    EXPECT_EQ(depth * depth, painted);
  }
}

namespace {

// A 2 x 2 picture of four colours, for the tiling of bar backgrounds.
TBitmap* MakeQuadBitmap() {
  TBitmap* bitmap = Make<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(2, 2);
  bitmap->Canvas()->SetPixel(0, 0, static_cast<TColor>(RGB(255, 0, 0)));
  bitmap->Canvas()->SetPixel(1, 0, static_cast<TColor>(RGB(0, 255, 0)));
  bitmap->Canvas()->SetPixel(0, 1, static_cast<TColor>(RGB(0, 0, 255)));
  bitmap->Canvas()->SetPixel(1, 1, static_cast<TColor>(RGB(255, 255, 0)));
  return bitmap;
}

}  // namespace

TEST_F(TBarWindowTest, FloatingBarBackgroundTilesTheManagersPictureUnlessTheBarHasAColour) {
  TdxBar* bar = AddToolbar({L"五金件"}, dsNone);
  TdxBarControl* control = ControlOf(bar);
  EXPECT_FALSE(Base()->IsGlyphImageTransparent(ButtonControl(bar, 0)));
  TBitmap* picture = MakeQuadBitmap();
  Manager->Backgrounds()->SetBar(picture);
  TObject::Free(picture);
  // A new picture rebuilds the bar's item controls: the button is taken anew.
  PumpQueuedMessages();
  control = ControlOf(bar);
  // With a picture behind the bar, glyphs let it show through.
  EXPECT_TRUE(Base()->IsGlyphImageTransparent(ButtonControl(bar, 0)));
  {
    // The source rectangle starts at (1, 1) of the picture: the fill continues it.
    TPaintDib dib(4, 4);
    Base()->BarDrawBackground(control, dib.DC(), TRect(0, 0, 4, 4), TRect(1, 1, 5, 5),
                              dxBarSysBrush(COLOR_INFOBK), clNone);
    const COLORREF yellow = RGB(255, 255, 0), blue = RGB(0, 0, 255), green = RGB(0, 255, 0), red = RGB(255, 0, 0);
    EXPECT_EQ(yellow, dib.At(0, 0));
    EXPECT_EQ(blue, dib.At(1, 0));
    EXPECT_EQ(green, dib.At(0, 1));
    EXPECT_EQ(red, dib.At(1, 1));
    EXPECT_EQ(yellow, dib.At(2, 2));
  }
  {
    // The toolbar's own colour comes before the manager's picture.
    bar->SetColor(clAqua);
    TPaintDib dib(4, 4);
    Base()->BarDrawBackground(control, dib.DC(), TRect(0, 0, 4, 4), TRect(1, 1, 5, 5),
                              dxBarSysBrush(COLOR_INFOBK), clNone);
    EXPECT_EQ(std::set<COLORREF>{RGB(0, 255, 255)}, dib.ColorsIn(TRect(0, 0, 4, 4)));
    bar->SetColor(clDefault);
  }
  Manager->Backgrounds()->SetBar(nullptr);
  {
    TPaintDib dib(4, 4);
    Base()->BarDrawBackground(control, dib.DC(), TRect(0, 0, 4, 4), TRect(1, 1, 5, 5),
                              dxBarSysBrush(COLOR_INFOBK), clNone);
    EXPECT_EQ(std::set<COLORREF>{GetSysColor(COLOR_INFOBK)}, dib.ColorsIn(TRect(0, 0, 4, 4)));
  }
}

TEST(dxBarPainterTiles, AnOriginBeyondThePictureWrapsAround) {
  TBitmap* picture = MakeQuadBitmap();
  TPaintDib dib(3, 3);
  // Origins (-1, 5) and (1, 1) name the same picture point.
  dxBarTileBitmap(dib.DC(), TRect(0, 0, 3, 3), TRect(-1, 5, 2, 8), picture);
  EXPECT_EQ(RGB(255, 255, 0), dib.At(0, 0));
  EXPECT_EQ(RGB(0, 0, 255), dib.At(1, 0));
  EXPECT_EQ(RGB(255, 255, 0), dib.At(2, 0));
  TObject::Free(picture);
}
