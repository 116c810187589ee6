// The frames of the toolbar system's windows pixel by pixel: docked marks
// and chevrons, the floating border, caption, close button and mark (on a
// real floating toolbar too), status-bar grips, and the frame, detach
// caption, separators, scroll buttons and expand mark of sub-menus.
#include "bars/controls/dxBarFlatPainter.h"
#include "bars/controls/dxBarPaintRoutines.h"
#include "tests/bars/controls/dxBarControlsTestSupport.h"
#include "tests/bars/controls/dxBarPaintDib.h"

namespace {

struct TPixel {
  int X, Y;
  COLORREF Color;
};

void ExpectPixels(const TPaintDib& ADib, std::initializer_list<TPixel> APixels) {
  for (const TPixel& p : APixels) EXPECT_EQ(p.Color, ADib.At(p.X, p.Y)) << p.X << "," << p.Y;
}

COLORREF Sys(int AIndex) { return GetSysColor(AIndex); }

class TFramePainterTest : public TBarWindowTest {
 protected:
  const TdxBarPainter* Base() const { return TdxBarPainter::Instance(); }
  const TdxBarFlatPainter* Flat() const { return TdxBarFlatPainter::Instance(); }
  COLORREF Toolbar() const { return BrushColor(dxBarFlatBrushes().Toolbar); }
  COLORREF Border() const { return BrushColor(dxBarFlatBrushes().Border); }
  COLORREF Hot() const { return BrushColor(dxBarFlatBrushes().Sel); }
  // A menu whose background brush differs from every other colour drawn.
  static TdxBarSubMenuFrame Menu() {
    TdxBarSubMenuFrame menu;
    menu.BkBrush = dxBarSysBrush(COLOR_INFOBK);
    menu.ToolbarBrush = dxBarSysBrush(COLOR_WINDOW);
    menu.LightBrush = dxBarSysBrush(COLOR_BTNHIGHLIGHT);
    menu.TextSize = 19;
    return menu;
  }
};

}  // namespace

TEST_F(TFramePainterTest, MarkRectangleSitsAtTheEndOfTheBarOrTheCaption) {
  TdxBar* top = AddToolbar({L"订单查询"});
  TdxBar* left = AddToolbar({L"材料库"}, dsLeft);
  TdxBar* floating = AddToolbar({L"五金件"}, dsNone);
  for (TdxBar* bar : {top, left}) {
    TdxBarControl* control = ControlOf(bar);
    const TRect client = control->ClientRect();
    const TRect expected = bar == top ? TRect(client.Right - 11, 0, client.Right, client.Bottom)
                                      : TRect(0, client.Bottom - 11, client.Right, client.Bottom);
    EXPECT_EQ(expected, Base()->BarMarkRect(control));
  }
  TdxBarControl* control = ControlOf(floating);
  ASSERT_EQ(dsNone, control->DockingStyle());
  ASSERT_TRUE(control->ShowsCloseButton());
  const TRect caption = control->GetCaptionRect();
  EXPECT_LT(caption.Bottom, 0);  // above the client area
  const int shift = Base()->BarCloseButtonSize().cx + 1;
  EXPECT_EQ(TRect(caption.Right - caption.Height() - shift, caption.Top, caption.Right - shift, caption.Bottom),
            Base()->BarMarkRect(control));
  // The close button takes the caption's last square, centred in it.
  const TRect close = control->GetCloseButtonRect();
  EXPECT_EQ(caption.Right, close.Right);
  EXPECT_EQ(Base()->BarCloseButtonSize(), TSize(close.Width(), close.Height()));
}

TEST_F(TFramePainterTest, DockedMarkElementAndChevronsOfTruncatedBars) {
  TdxBar* top = AddToolbar({L"订单查询"});
  TdxBar* left = AddToolbar({L"材料库"}, dsLeft);
  const COLORREF text = Sys(COLOR_BTNTEXT);
  {
    SCOPED_TRACE("docked at the top: a down arrow at the bottom, right-pointing chevrons");
    TdxBarControl* control = ControlOf(top);
    control->SetTruncated(true);
    const int c = Base()->BarHeightIsCompact(control, control->ClientRect()) ? 1 : 0;
    TPaintDib dib(11, 22);
    Base()->BarDrawMarkElements(control, dib.DC(), TRect(0, 0, 11, 22));
    const int y = 15 + c, y0 = 4 - c;
    ExpectPixels(dib, {{3, y, text}, {7, y, text}, {4, y + 1, text}, {5, y + 2, text},
                       {2, y, kMarker}, {8, y, kMarker}, {4, y + 2, kMarker}, {5, y + 3, kMarker},
                       // chevrons from x = 2 and x = 6, each two pixels wide
                       {2, y0, text}, {3, y0, text}, {4, y0 + 2, text}, {5, y0 + 2, text}, {2, y0 + 4, text},
                       {3, y0 + 4, text}, {6, y0, text}, {7, y0, text}, {4, y0, kMarker}, {1, y0 + 5, kMarker}});
    control->SetTruncated(false);
    TPaintDib plain(11, 22);
    Base()->BarDrawMarkElements(control, plain.DC(), TRect(0, 0, 11, 22));
    ExpectPixels(plain, {{3, y, text}, {2, y0, kMarker}, {6, y0, kMarker}});
  }
  {
    SCOPED_TRACE("docked at the left: a left arrow at the top, downward chevrons");
    TdxBarControl* control = ControlOf(left);
    control->SetTruncated(true);
    TPaintDib dib(22, 11);
    Base()->BarDrawMarkElements(control, dib.DC(), TRect(0, 0, 22, 11));
    ExpectPixels(dib, {{5, 3, text}, {5, 7, text}, {4, 4, text}, {3, 5, text}, {4, 3, kMarker}, {2, 5, kMarker},
                       // chevrons from p = 2 and p = 6 along (w - 8, p) (w - 6, p + 2) (w - 3, p - 1)
                       {14, 2, text}, {16, 4, text}, {18, 2, text}, {14, 3, text}, {16, 5, text}, {14, 6, text},
                       {16, 8, text}, {19, 1, kMarker}, {13, 2, kMarker}});
  }
}

TEST_F(TFramePainterTest, FlatDockedMarkByState) {
  Manager->SetStyle(bmsFlat);
  TdxBar* bar = AddToolbar({L"订单查询"});
  TdxBarControl* control = ControlOf(bar);
  const COLORREF highlight = Sys(COLOR_HIGHLIGHT);
  struct Case {
    TdxBarMarkState State;
    COLORREF Frame, Fill;
  } const cases[] = {{msNone, Toolbar(), Toolbar()}, {msSelected, highlight, Hot()}, {msPressed, Border(), Toolbar()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.State));
    control->ChangeMarkState(c.State);
    TPaintDib dib(11, 22);
    Flat()->BarDrawMarks(control, dib.Canvas(), TRect(0, 0, 11, 22), dxBarFlatBrushes().Toolbar);
    ExpectPixels(dib, {{0, 0, c.Frame}, {10, 21, c.Frame}, {1, 1, c.Fill}, {9, 5, c.Fill}});
    EXPECT_TRUE(dib.ColorsIn(TRect(1, 1, 10, 21)).count(Sys(COLOR_BTNTEXT)));
  }
  control->ChangeMarkState(msNone);
}

TEST_F(TFramePainterTest, FlatFloatingBorderRingsReachTheClientArea) {
  Manager->SetStyle(bmsFlat);
  TdxBarControl* control = ControlOf(AddToolbar({L"订单查询"}));
  const COLORREF brush = Sys(COLOR_INFOBK);
  for (int depth : {4, 2}) {
    SCOPED_TRACE(depth);
    TPaintDib dib(30, 30);
    TRect R(0, 0, 30, 30);
    Flat()->BarDrawFloatingBarBorder(control, dib.DC(), R, TRect(depth, depth + 10, 30 - depth, 30 - depth),
                                     dxBarSysBrush(COLOR_INFOBK));
    EXPECT_EQ(TRect(depth, depth, 30 - depth, 30 - depth), R);
    ExpectPixels(dib, {{0, 15, Border()}, {29, 0, Border()}, {1, 15, Sys(COLOR_BTNHIGHLIGHT)},
                       {28, 28, Sys(COLOR_BTNHIGHLIGHT)}, {depth, 15, kMarker}, {15, depth, kMarker}});
    if (depth == 4) ExpectPixels(dib, {{2, 15, brush}, {3, 3, brush}, {26, 26, brush}});
  }
}

TEST_F(TFramePainterTest, FlatCloseButtonCrossOnItsCaptionElement) {
  Manager->SetStyle(bmsFlat);
  TdxBarControl* control = ControlOf(AddToolbar({L"订单查询"}, dsNone));
  const COLORREF inactive = Sys(COLOR_INACTIVECAPTION), highlight = Sys(COLOR_HIGHLIGHT);
  struct Case {
    TdxBarMarkState State;
    COLORREF Corner, Fill, Cross;
  } const cases[] = {{msNone, inactive, inactive, Sys(COLOR_CAPTIONTEXT)},
                     {msSelected, highlight, Hot(), Sys(COLOR_BTNTEXT)},
                     {msPressed, highlight, BrushColor(dxBarFlatBrushes().DownedSel), Sys(COLOR_BTNTEXT)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.State));
    control->SetCloseButtonState(c.State);
    TPaintDib dib(16, 14);
    Flat()->BarDrawCloseButton(control, dib.DC(), TRect(0, 0, 16, 14));
    // The cross spans (3, 4)-(13, 13): two diagonals two pixels wide.
    ExpectPixels(dib, {{0, 0, c.Corner}, {15, 13, c.Corner}, {5, 4, c.Fill}, {3, 5, c.Fill}, {3, 4, c.Cross},
                       {4, 4, c.Cross}, {11, 12, c.Cross}, {12, 12, c.Cross}, {3, 12, c.Cross}, {12, 4, c.Cross},
                       {7, 8, c.Cross}, {13, 12, c.Fill}});
  }
  control->SetCloseButtonState(msNone);
}

TEST_F(TFramePainterTest, FloatingToolbarOnScreenShowsItsFlatFrame) {
  Manager->SetStyle(bmsFlat);
  TdxBar* bar = AddToolbar({L"订单查询", L"退出系统"}, dsNone);
  bar->SetCaption(L"Tools");
  TdxBarControl* control = ControlOf(bar);
  HWND wnd = control->WindowHandle();
  RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  RECT window;
  GetWindowRect(wnd, &window);
  const int w = window.right - window.left, h = window.bottom - window.top;
  const TRect caption = Flat()->CalcFloatingCaptionRect(TRect(0, 0, w, h));
  const TRect close = control->GetCloseButtonWindowRect();
  const TRect mark = control->GetMarkWindowRect();
  ASSERT_LT(mark.Right, close.Left);
  HDC DC = GetWindowDC(wnd);
  EXPECT_EQ(Border(), GetPixel(DC, 0, h / 2));
  EXPECT_EQ(Border(), GetPixel(DC, w - 1, 0));
  EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT), GetPixel(DC, 1, h / 2));
  EXPECT_EQ(Sys(COLOR_INACTIVECAPTION), GetPixel(DC, caption.Left + 1, caption.Top + 1));
  EXPECT_EQ(Sys(COLOR_INACTIVECAPTION), GetPixel(DC, mark.Right, mark.Top + 1));
  // The caption below the caption line continues in the toolbar colour.
  EXPECT_EQ(Toolbar(), GetPixel(DC, caption.Left + 1, caption.Bottom));
  std::set<COLORREF> text, cross, arrow;
  for (int y = caption.Top; y < caption.Bottom; ++y) {
    for (int x = caption.Left + 4; x < mark.Left; ++x) text.insert(GetPixel(DC, x, y));
    for (int x = close.Left; x < close.Right; ++x) cross.insert(GetPixel(DC, x, y));
    for (int x = mark.Left; x < mark.Right; ++x) arrow.insert(GetPixel(DC, x, y));
  }
  ReleaseDC(wnd, DC);
  for (const auto* colors : {&text, &cross, &arrow}) EXPECT_TRUE(colors->count(Sys(COLOR_CAPTIONTEXT)));
}

TEST_F(TFramePainterTest, StatusBarGripInTheBottomRightCorner) {
  TdxBarControl* control = ControlOf(AddToolbar({L"订单查询"}));
  const TSize grip = Base()->StatusBarGripSize(Manager);
  ASSERT_GE(grip.cx, 12);
  TPaintDib dib(60, 20);
  Base()->BarDrawStatusBarGrip(control, dib.DC(), TRect(0, 0, 60, 20), dxBarSysBrush(COLOR_INFOBK));
  const COLORREF shadow = Sys(COLOR_BTNSHADOW), light = Sys(COLOR_BTNHIGHLIGHT), back = Sys(COLOR_INFOBK);
  ExpectPixels(dib, {{58, 19, shadow}, {59, 18, shadow}, {57, 19, shadow}, {56, 19, light}, {59, 16, light},
                     {54, 19, shadow}, {52, 19, light}, {59, 19, back}, {60 - grip.cx, 2, back}, {59 - grip.cx, 2, kMarker}});
}

TEST_F(TFramePainterTest, FlatDetachCaptionStripesKeepTheirWidth) {
  struct Case {
    const char* Name;
    bool Selected;
    TRect Caption;
    int StripeLeft, FirstStripe;
    COLORREF Stripe, Fill;
  } const cases[] = {
      {"narrow", false, TRect(10, 0, 30, 7), 4, 1, Sys(COLOR_BTNSHADOW), Toolbar()},
      {"narrow and hot", true, TRect(10, 0, 30, 7), 4, 2, Sys(COLOR_BTNTEXT), Hot()},
      {"wide", false, TRect(2, 0, 38, 7), 3, 1, Sys(COLOR_BTNSHADOW), Toolbar()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TdxBarSubMenuFrame menu = Menu();
    menu.DetachCaptionSelected = c.Selected;
    TPaintDib dib(40, 7);
    Flat()->SubMenuControlDrawDetachCaption(menu, dib.DC(), c.Caption);
    const int first = c.FirstStripe, right = c.StripeLeft + 33;
    // Beside the stripes: the caption's fill, or nothing outside the caption.
    auto beside = [&](int x) { return x >= c.Caption.Left + c.Selected && x < c.Caption.Right - c.Selected ? c.Fill : kMarker; };
    ExpectPixels(dib, {{c.StripeLeft, first, c.Stripe}, {right - 1, first, c.Stripe}, {20, first + 2, c.Stripe},
                       {20, first + 1, c.Fill}, {c.StripeLeft - 1, first, beside(c.StripeLeft - 1)},
                       {right, first, beside(right)}});
    if (c.Selected) ExpectPixels(dib, {{10, 0, Sys(COLOR_HIGHLIGHT)}, {29, 6, Sys(COLOR_HIGHLIGHT)}});
  }
}

TEST_F(TFramePainterTest, SubMenuBorders) {
  const COLORREF face = Sys(COLOR_BTNFACE), window = Sys(COLOR_WINDOW);
  TdxBarSubMenuFrame menu = Menu();
  {
    SCOPED_TRACE("plain look");
    TPaintDib dib(40, 30);
    Base()->SubMenuControlDrawBorder(menu, dib.DC(), TRect(0, 0, 40, 30));
    ExpectPixels(dib, {{0, 0, face}, {20, 0, face}, {0, 20, face}, {39, 20, Sys(COLOR_3DDKSHADOW)},
                       {20, 29, Sys(COLOR_3DDKSHADOW)}, {1, 1, kMarker}});
  }
  menu.Detachable = true;
  menu.DetachCaptionHeight = 5;
  menu.DetachCaptionRect = TRect(3, 3, 37, 8);
  menu.OwnerLinkRect = TRect(5, 0, 20, 1);
  {
    SCOPED_TRACE("plain look, detachable");
    TPaintDib dib(40, 30);
    Base()->SubMenuControlDrawBorder(menu, dib.DC(), TRect(0, 0, 40, 30));
    // The detach caption area frame is as high as the area (caption + 3) minus 1.
    ExpectPixels(dib, {{1, 1, Sys(COLOR_BTNHIGHLIGHT)}, {2, 2, face}, {2, 8, face}, {2, 9, kMarker},
                       {20, 5, Sys(COLOR_INACTIVECAPTION)}});
  }
  {
    SCOPED_TRACE("flat look, detachable, joined to its owner");
    TPaintDib dib(40, 30);
    Flat()->SubMenuControlDrawBorder(menu, dib.DC(), TRect(0, 0, 40, 30));
    ExpectPixels(dib, {{25, 0, Border()}, {0, 15, Border()}, {10, 0, Toolbar()}, {1, 1, window}, {1, 6, window},
                       {38, 6, window}, {1, 7, kMarker}, {20, 3, Toolbar()}, {20, 4, Sys(COLOR_BTNSHADOW)},
                       {20, 5, Toolbar()}, {20, 6, Sys(COLOR_BTNSHADOW)}});
  }
  {
    SCOPED_TRACE("flat client border");
    TPaintDib dib(40, 30);
    Flat()->SubMenuControlDrawClientBorder(menu, dib.DC(), TRect(0, 0, 40, 30), dxBarSysBrush(COLOR_INFOBK));
    ExpectPixels(dib, {{0, 0, window}, {0, 29, window}, {39, 15, window}, {0, 15, Sys(COLOR_INFOBK)},
                       {1, 1, kMarker}});
  }
}

TEST_F(TFramePainterTest, SubMenuGroupSeparators) {
  const COLORREF shadow = Sys(COLOR_BTNSHADOW), menuBack = Sys(COLOR_INFOBK), window = Sys(COLOR_WINDOW);
  struct Case {
    const char* Name;
    bool NonRecent, ChangeRecentGroup;
    COLORREF TextPart;
  } const cases[] = {{"recent", false, false, menuBack}, {"starts the rarely used group", true, true, window}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TdxBarSubMenuItemFrame item;
    item.NonRecent = c.NonRecent;
    item.ChangeRecentGroup = c.ChangeRecentGroup;
    TPaintDib dib(100, 20);
    // The text starts after the band (text size 19 + 3); the line 8 further.
    Flat()->SubMenuControlDrawBeginGroup(Menu(), item, dib.Canvas(), TRect(0, 10, 100, 15));
    ExpectPixels(dib, {{5, 12, Toolbar()}, {21, 12, Toolbar()}, {22, 12, c.TextPart}, {29, 12, c.TextPart},
                       {30, 12, shadow}, {99, 12, shadow}, {30, 11, c.TextPart}, {30, 9, kMarker}});
  }
  {
    SCOPED_TRACE("plain look: an etched line in the middle");
    TPaintDib dib(100, 20);
    Base()->SubMenuControlDrawBeginGroup(Menu(), TdxBarSubMenuItemFrame(), dib.Canvas(), TRect(0, 10, 100, 20));
    ExpectPixels(dib, {{50, 13, menuBack}, {50, 14, shadow}, {50, 15, Sys(COLOR_BTNHIGHLIGHT)}, {50, 16, menuBack}});
  }
  TdxBarSubMenuItemFrame starts;
  starts.NonRecent = starts.ChangeRecentGroup = true;
  const TRect item(0, 40, 100, 60);
  EXPECT_EQ(TRect(0, 29, 100, 39), Base()->SubMenuControlBeginGroupRect(Menu(), starts, item));
  EXPECT_EQ(TRect(0, 35, 100, 40), Flat()->SubMenuControlBeginGroupRect(Menu(), starts, item));
}

TEST_F(TFramePainterTest, ExpandMarkIsTwoStackedChevronsOnASunkenFrame) {
  TdxBarSubMenuFrame menu = Menu();
  menu.MarkSize = 14;  // arrow size (14 - 6) div 2 = 4
  const COLORREF text = Sys(COLOR_BTNTEXT);
  TPaintDib dib(20, 14);
  dib.Canvas()->SaveClipRegion();
  Base()->PaintSubMenuToBitmap(menu, dib.Canvas(), TRect(0, 0, 20, 14), true);
  // Whatever is painted next leaves the mark alone.
  dxBarFillRect(dib.DC(), TRect(0, 0, 20, 14), dxBarSysBrush(COLOR_WINDOW));
  dib.Canvas()->RestoreClipRegion();
  const COLORREF light = Sys(COLOR_BTNHIGHLIGHT);
  ExpectPixels(dib, {{0, 0, light}, {19, 13, Sys(COLOR_BTNSHADOW)}, {2, 2, light},
                     // rows 3-4 and 7-8: V shapes from x = 7 to x = 11, two pixels deep
                     {7, 3, text}, {7, 4, text}, {9, 5, text}, {9, 6, text}, {11, 3, text}, {11, 4, text},
                     {7, 7, text}, {9, 9, text}, {9, 10, text}, {11, 8, text}, {7, 5, light}, {12, 3, light}});
}

TEST_F(TFramePainterTest, ScrollerArrowRecentEdgeAndNeighbourItem) {
  TdxBarSubMenuFrame menu = Menu();
  menu.ScrollAreaRect = TRect(0, 0, 40, 60);
  menu.ScrollButtonHeight = 10;
  menu.ArrowSize = 3;
  EXPECT_EQ(TRect(0, 50, 40, 60), Base()->ScrollButtonRect(menu, true));
  TdxBarSubMenuItemFrame first;
  first.AreaRect = TRect(0, 10, 40, 30);
  first.NonRecent = first.ChangeRecentGroup = true;
  TPaintDib dib(40, 60);
  dib.Canvas()->SaveClipRegion();
  Base()->PaintSubMenuScroller(menu, dib.Canvas(), false, first);
  dxBarFillRect(dib.DC(), TRect(0, 0, 40, 60), dxBarSysBrush(COLOR_WINDOW));
  dib.Canvas()->RestoreClipRegion();
  const COLORREF text = Sys(COLOR_BTNTEXT), window = Sys(COLOR_WINDOW);
  // An upward arrow three pixels high centred in the button; the edge of the
  // rarely used group along the first item; the item itself repainted.
  ExpectPixels(dib, {{19, 4, text}, {18, 5, text}, {20, 5, text}, {17, 6, text}, {21, 6, text}, {19, 3, window},
                     {16, 6, window}, {19, 7, window}, {0, 10, Sys(COLOR_BTNSHADOW)}, {39, 10, Sys(COLOR_BTNSHADOW)},
                     {20, 11, Sys(COLOR_INFOBK)}, {20, 29, Sys(COLOR_INFOBK)}, {20, 30, window}});
}

TEST_F(TFramePainterTest, MenuMarkSizeKeepsTheChevronsEven) {
  // Fonts whose "0" is 13 and 15 pixels high: mark sizes 14 and 14 in the
  // plain look (an odd arrow size 5 shrinks the mark to 2 * 5 + 4).
  TPaintDib dib(10, 10);
  int found = 0;
  for (int height = 8; height <= 30; ++height) {
    dib.Canvas()->Font()->SetHeight(-height);
    const int zero = dib.Canvas()->TextHeight(L"0");
    if (zero != 13 && zero != 15) continue;
    ++found;
    int arrow = 0, mark = 0;
    Base()->SubMenuControlCalcDrawingConsts(dib.Canvas(), 19, arrow, mark);
    EXPECT_EQ(14, mark) << zero;
    EXPECT_EQ(19 / 4 * 3 + 1, arrow);
  }
  if (!found) GTEST_SKIP() << "no font size gives a 13 or 15 pixel high digit";
  struct Case {
    int Mark, Plain, Flat;
  } const cases[] = {{12, 3, 4}, {14, 4, 4}, {16, 5, 6}, {20, 7, 8}, {24, 9, 10}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.Plain, Base()->SubMenuControlMarkArrowSize(c.Mark)) << c.Mark;
    EXPECT_EQ(c.Flat, Flat()->SubMenuControlMarkArrowSize(c.Mark)) << c.Mark;
  }
}

TEST_F(TFramePainterTest, FlatMDIButtonsByState) {
  Manager->SetStyle(bmsFlat);
  TdxBarControl* control = ControlOf(AddToolbar({L"订单查询"}));
  const COLORREF highlight = Sys(COLOR_HIGHLIGHT), text = Sys(COLOR_BTNTEXT);
  const TdxBarFlatBrushes& b = dxBarFlatBrushes();
  struct Case {
    int State;
    COLORREF Corner, Fill;
    bool Enabled;
  } const cases[] = {{0, Toolbar(), Toolbar(), true},
                     {1, Toolbar(), Toolbar(), false},
                     {2, highlight, Hot(), true},
                     {3, highlight, BrushColor(b.Downed), true},
                     {4, highlight, BrushColor(b.DownedSel), true}};
  for (TdxBarMDIButton button : {mdibMinimize, mdibRestore, mdibClose})
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << int(button) << " state " << c.State);
      TPaintDib dib(18, 16);
      Flat()->BarDrawMDIButton(control, button, c.State, dib.DC(), TRect(0, 0, 18, 16));
      ExpectPixels(dib, {{0, 0, c.Corner}, {17, 15, c.Corner}, {1, 1, c.Fill}, {16, 14, c.Fill}});
      // Only the platform's glyph is copied onto the fill, none of its face.
      const std::set<COLORREF> colors = dib.ColorsIn(TRect(1, 1, 17, 15));
      EXPECT_EQ(c.Enabled, colors.count(text) == 1);
      EXPECT_FALSE(colors.count(Sys(COLOR_BTNFACE)) && Sys(COLOR_BTNFACE) != c.Fill);
    }
}

TEST_F(TFramePainterTest, FloatingCaptionTextStopsAtTheMark) {
  TdxBar* bar = AddToolbar({L"订单查询"}, dsNone);
  bar->SetCaption(L"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
  TdxBarControl* control = ControlOf(bar);
  const int w = control->Width(), h = control->Height();
  TPaintDib dib(w, h);
  const TRect caption = Base()->CalcFloatingCaptionRect(TRect(0, 0, w, h));
  Base()->BarDrawFloatingBarCaption(control, dib.DC(), caption, TRect(), dxBarSysBrush(COLOR_INFOBK));
  const TRect mark = control->GetMarkWindowRect();
  ASSERT_GT(mark.Left, caption.Left + 4);
  const COLORREF back = ColorToRGB(Base()->FloatingCaptionBackColor(control));
  const COLORREF text = ColorToRGB(Base()->FloatingCaptionTextColor(control));
  const std::set<COLORREF> before = dib.ColorsIn(TRect(caption.Left, caption.Top, mark.Left, caption.Bottom));
  EXPECT_TRUE(before.count(back) && before.count(text));
  EXPECT_FALSE(before.count(kMarker));
  // The plain look draws only the arrow on the mark; the text never reaches it.
  const std::set<COLORREF> onMark = dib.ColorsIn(TRect(mark.Left, caption.Top, mark.Right, caption.Bottom));
  EXPECT_EQ((std::set<COLORREF>{kMarker, static_cast<COLORREF>(ColorToRGB(Base()->MarkGlyphColor(control, msNone)))}), onMark);
  ExpectPixels(dib, {{caption.Left, caption.Bottom, Sys(COLOR_INFOBK)}});
}

TEST_F(TFramePainterTest, PlainDockedBorderLeavesTheToolbarsBackground) {
  TdxBarControl* control = ControlOf(AddToolbar({L"订单查询"}));
  TPaintDib dib(40, 24);
  Base()->BarDrawDockedBarBorder(control, dib.DC(), TRect(0, 0, 40, 24), dxBarSysBrush(COLOR_INFOBK));
  // No line of its own: the ring the border reserves shows the toolbar's
  // background, so nothing from an earlier picture stays there; inside it
  // nothing is touched.
  TPaintDib background(40, 24);
  control->DrawBackgroundRect(background.DC(), TRect(0, 0, 40, 24), false, clNone, dxBarSysBrush(COLOR_INFOBK));
  const int size = Base()->BarBorderSize();
  ASSERT_FALSE(background.ColorsIn(TRect(0, 0, 40, 24)).count(kMarker));
  int differing = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool ring = x < size || y < size || x >= 40 - size || y >= 24 - size;
      differing += dib.At(x, y) != (ring ? background.At(x, y) : kMarker);
    }
  EXPECT_EQ(0, differing);
}

TEST_F(TFramePainterTest, DropDownListBoxBorderIsShadowThenTheGivenColour) {
  TPaintDib dib(20, 12);
  Base()->DropDownListBoxDrawBorder(dib.DC(), clRed, TRect(0, 0, 20, 12));
  const COLORREF shadow = Sys(COLOR_BTNSHADOW), red = RGB(255, 0, 0);
  ExpectPixels(dib, {{0, 0, shadow}, {19, 11, shadow}, {10, 0, shadow}, {1, 1, red}, {18, 10, red}, {1, 6, red},
                     {18, 6, red}, {2, 2, kMarker}});
}

TEST_F(TFramePainterTest, LowerScrollButtonArrowPointsDown) {
  TdxBarSubMenuFrame menu = Menu();
  menu.ScrollAreaRect = TRect(0, 0, 40, 60);
  menu.ScrollButtonHeight = 10;
  menu.ArrowSize = 3;
  TdxBarSubMenuItemFrame last;
  last.AreaRect = TRect(0, 30, 40, 50);
  TPaintDib dib(40, 60);
  dib.Canvas()->SaveClipRegion();
  Base()->PaintSubMenuScroller(menu, dib.Canvas(), true, last);
  dxBarFillRect(dib.DC(), TRect(0, 0, 40, 60), dxBarSysBrush(COLOR_WINDOW));
  dib.Canvas()->RestoreClipRegion();
  const COLORREF text = Sys(COLOR_BTNTEXT), window = Sys(COLOR_WINDOW);
  // In (0, 50, 40, 60) with size 3: (10 + 3) is odd, so the arrow sits a pixel higher.
  ExpectPixels(dib, {{17, 53, text}, {21, 53, text}, {18, 54, text}, {20, 54, text}, {19, 55, text},
                     {16, 53, window}, {22, 53, window}, {18, 55, window}, {19, 56, window}, {19, 52, window},
                     // the last item repainted, no recent-group edge at the bottom
                     {20, 31, Sys(COLOR_INFOBK)}, {20, 49, Sys(COLOR_INFOBK)}, {20, 30, Sys(COLOR_INFOBK)}});
}

namespace {

// A look that draws on the visual style's backgrounds.
class TNativeBackgroundPainter : public TdxBarPainter {
 public:
  bool IsNativeBackground() const override { return true; }
};

}  // namespace

TEST_F(TFramePainterTest, NativeStatusBarGripComesFromTheVisualStyle) {
  if (!dxBarThemeAvailable()) GTEST_SKIP() << "no visual styles";
  const TNativeBackgroundPainter native;
  TdxBarControl* control = ControlOf(AddToolbar({L"就绪"}, dsBottom));
  const TSize grip = native.StatusBarGripSize(Manager);
  ASSERT_GT(grip.cx, 0);
  ASSERT_GT(grip.cy, 0);
  TPaintDib dib(40, 40);
  native.PaintSizeGrip(control, dib.DC(), TRect(40 - grip.cx, 40 - grip.cy, 40, 40));
  EXPECT_EQ(std::set<COLORREF>{kMarker}, dib.ColorsIn(TRect(0, 0, 40 - grip.cx, 40)));
  EXPECT_GT(dib.ColorsIn(TRect(40 - grip.cx, 40 - grip.cy, 40, 40)).size(), 1u);
}
