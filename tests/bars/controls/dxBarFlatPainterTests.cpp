// The flat look pixel by pixel on 32-bit DIB sections: a toolbar button in
// each of its states, the docked toolbar's ring, rounded corners and
// gripper, group separators, the flat brushes and which managers draw flat.
#include "bars/controls/dxBarFlatPainter.h"
#include "bars/controls/dxBarPainters.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/dxOffice11.h"
#include "tests/bars/controls/dxBarControlsTestSupport.h"
#include "tests/bars/controls/dxBarPaintDib.h"
#include "platform/gui/ImgList.h"
#include "tests/support/TestObjects.h"

namespace {

class TFlatPainterTest : public TBarWindowTest {
 protected:
  void SetUp() override {
    TBarWindowTest::SetUp();
    Manager->SetStyle(bmsFlat);
  }
  const TdxBarFlatPainter* Flat() const { return TdxBarFlatPainter::Instance(); }
  COLORREF Toolbar() const { return BrushColor(dxBarFlatBrushes().Toolbar); }
};

}  // namespace

TEST_F(TFlatPainterTest, ButtonFaceInEachState) {
  TdxBar* bar = AddToolbar({L"材料库", L"五金件"});
  ASSERT_EQ(Flat(), ControlOf(bar)->Painter());
  TdxBarButtonControl* control = ButtonControl(bar, 0);
  const TdxBarFlatBrushes& b = dxBarFlatBrushes();
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  struct Case {
    const char* Name;
    bool Selected, Downed, DrawDowned, Enabled;
    COLORREF Frame, Fill;
  } const cases[] = {
      {"idle", false, false, false, true, Toolbar(), Toolbar()},
      {"hot", true, false, false, true, highlight, BrushColor(b.Sel)},
      {"hot and held down", true, false, true, true, highlight, BrushColor(b.DownedSel)},
      {"checked", false, true, false, true, highlight, BrushColor(b.Downed)},
      {"checked and hot", true, true, false, true, highlight, BrushColor(b.DownedSel)},
      {"held after the mouse left", false, false, true, true, Toolbar(), Toolbar()},
      {"disabled", false, false, false, false, Toolbar(), Toolbar()},
  };
  const TRect bounds = control->ItemBounds();
  const int w = bounds.Width(), h = bounds.Height();
  ASSERT_GT(w, 20);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TPaintDib dib(w, h);
    dib.Canvas()->Font()->Assign(ControlOf(bar)->Font());
    control->FillDrawParams(true);
    auto* params = static_cast<TdxBarButtonLikeControlDrawParams*>(control->DrawParams());
    params->Canvas = dib.Canvas();
    params->DrawSelected = c.Selected;
    params->Downed = c.Downed;
    params->DrawDowned = c.DrawDowned;
    params->Enabled = c.Enabled;
    params->IsTextSelected = false;
    Flat()->DrawButtonLikeControl(params, TRect(0, 0, w, h));
    control->FillDrawParams(true);
    for (const TPoint p : {TPoint(0, 0), TPoint(w - 1, 0), TPoint(0, h - 1), TPoint(w - 1, h - 1), TPoint(w / 2, 0)})
      EXPECT_EQ(c.Frame, dib.At(p.X, p.Y)) << p.X << "," << p.Y;
    for (const TPoint p : {TPoint(1, 1), TPoint(w - 2, 1), TPoint(1, h - 2), TPoint(w - 2, h - 2)})
      EXPECT_EQ(c.Fill, dib.At(p.X, p.Y)) << p.X << "," << p.Y;
    // Flat text never turns to the highlight text colour and is never
    // embossed: enabled captions in button text, disabled ones in grey once.
    const std::set<COLORREF> colors = dib.ColorsIn(TRect(1, 1, w - 1, h - 1));
    EXPECT_FALSE(colors.count(kMarker));
    if (c.Enabled) {
      EXPECT_TRUE(colors.count(GetSysColor(COLOR_BTNTEXT)));
    } else {
      EXPECT_TRUE(colors.count(GetSysColor(COLOR_GRAYTEXT)));
      EXPECT_FALSE(colors.count(GetSysColor(COLOR_BTNHIGHLIGHT)));
    }
  }
}

TEST_F(TFlatPainterTest, GlyphsAreWashedOutWhenIdleAndTrueWhenPressed) {
  // A 16x16 image of one strong colour; the buttons show it before their captions.
  auto* images = Make<TImageList>(Form);
  images->SetWidth(16);
  images->SetHeight(16);
  constexpr COLORREF kGlyph = RGB(200, 30, 40);
  auto image = MakeOwned<TBitmap>();
  image->SetPixelFormat(pf32bit);
  image->SetSize(16, 16);
  image->Canvas()->Brush()->SetColor(static_cast<TColor>(kGlyph));
  image->Canvas()->FillRect(TRect(0, 0, 16, 16));
  images->AddMasked(image.get(), clNone);
  Manager->ImageOptions()->SetImages(images);
  TdxBar* bar = AddToolbar({L"材料库"});
  bar->ItemLinks()->Items(0)->Item()->SetImageIndex(0);
  PumpQueuedMessages();
  TdxBarButtonControl* control = ButtonControl(bar, 0);
  const TRect bounds = control->ItemBounds();
  struct Case {
    const char* Name;
    bool Selected, DrawDowned;
    bool TrueColour;
  } const cases[] = {{"idle", false, false, false}, {"hot and held down", true, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TPaintDib dib(bounds.Width(), bounds.Height());
    dib.Canvas()->Font()->Assign(ControlOf(bar)->Font());
    control->FillDrawParams(true);
    auto* params = static_cast<TdxBarButtonLikeControlDrawParams*>(control->DrawParams());
    ASSERT_TRUE(params->ViewStructure.Contains(cpIcon));
    params->Canvas = dib.Canvas();
    params->DrawSelected = c.Selected;
    params->DrawDowned = c.DrawDowned;
    Flat()->DrawButtonLikeControl(params, TRect(0, 0, bounds.Width(), bounds.Height()));
    control->FillDrawParams(true);
    // The glyph sits centred in the first button-sized square.
    const TRect glyph = control->ViewInfo()->ImageBounds;
    EXPECT_EQ(16, glyph.Width());
    EXPECT_EQ((params->DefaultButtonSize.cx - 16) / 2, glyph.Left);
    const COLORREF centre = dib.At(glyph.Left + 8, glyph.Top + 8);
    EXPECT_EQ(c.TrueColour, centre == kGlyph) << std::hex << centre;
  }
}

TEST_F(TFlatPainterTest, HotButtonRepaintsOnScreenWithTheSelectionFrame) {
  TdxBar* bar = AddToolbar({L"订单查询", L"退出系统"});
  TdxBarControl* control = ControlOf(bar);
  MouseMoveTo(ScreenCenter(bar, 1));
  ASSERT_TRUE(ButtonControl(bar, 1)->DrawsSelected());
  UpdateWindow(control->WindowHandle());
  const TRect r = bar->ItemLinks()->Items(1)->ItemRect();
  HDC dc = GetDC(control->WindowHandle());
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), GetPixel(dc, r.Left, r.Top));
  EXPECT_EQ(BrushColor(dxBarFlatBrushes().Sel), GetPixel(dc, r.Left + 1, r.Top + 1));
  // The idle neighbour keeps the toolbar colour.
  const TRect idle = bar->ItemLinks()->Items(0)->ItemRect();
  EXPECT_EQ(Toolbar(), GetPixel(dc, idle.Left, idle.Top));
  ReleaseDC(control->WindowHandle(), dc);
}

TEST_F(TFlatPainterTest, DockedBorderRingCornersAndGripper) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  TdxBarControl* control = ControlOf(bar);
  const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW);
  struct Pixel {
    int X, Y;
    COLORREF Docking, NotDocking;
  } const pixels[] = {
      {0, 0, face, face},        {39, 23, face, face},     {20, 0, face, face},      {0, 12, face, face},
      {1, 1, face, face},        {38, 1, face, face},      {1, 22, face, face},      {38, 22, face, face},
      {2, 2, kMarker, kMarker},  {2, 1, kMarker, kMarker},  // inside the ring only the corners are drawn
      {3, 4, kMarker, kMarker},  {3, 5, shadow, kMarker},  {5, 5, shadow, kMarker}, {4, 6, Toolbar(), kMarker},
      {3, 17, shadow, kMarker},  {3, 18, Toolbar(), kMarker}, {3, 19, kMarker, kMarker}, {6, 5, kMarker, kMarker},
  };
  for (bool docking : {true, false}) {
    SCOPED_TRACE(docking ? "docking" : "docking forbidden");
    bar->SetNotDocking(docking ? TdxBarDockingStyles{}
                               : TdxBarDockingStyles{dsNone, dsLeft, dsTop, dsRight, dsBottom});
    TPaintDib dib(40, 24);
    Flat()->BarDrawDockedBarBorder(control, dib.DC(), TRect(0, 0, 40, 24), dxBarFlatBrushes().Toolbar);
    for (const Pixel& p : pixels)
      EXPECT_EQ(docking ? p.Docking : p.NotDocking, dib.At(p.X, p.Y)) << p.X << "," << p.Y;
  }
  bar->SetNotDocking({});
}

TEST_F(TFlatPainterTest, SeparatorIsOneShadowLineBetweenTwoPixelBands) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  TdxBarControl* control = ControlOf(bar);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  ASSERT_EQ(5, Flat()->BarBeginGroupSize());
  {
    TPaintDib dib(20, 20);
    Flat()->BarDrawBeginGroup(control, dib.DC(), TRect(10, 0, 15, 20), dxBarFlatBrushes().Toolbar, false);
    const COLORREF expected[] = {kMarker, Toolbar(), Toolbar(), shadow, Toolbar(), Toolbar(), kMarker};
    for (int x = 9; x <= 15; ++x)
      for (int y : {0, 10, 19}) EXPECT_EQ(expected[x - 9], dib.At(x, y)) << x << "," << y;
  }
  {
    TPaintDib dib(20, 20);
    Flat()->BarDrawBeginGroup(control, dib.DC(), TRect(0, 4, 20, 9), dxBarFlatBrushes().Toolbar, true);
    const COLORREF expected[] = {kMarker, Toolbar(), Toolbar(), shadow, Toolbar(), Toolbar(), kMarker};
    for (int y = 3; y <= 9; ++y) EXPECT_EQ(expected[y - 3], dib.At(7, y)) << y;
  }
}

TEST(TdxBarFlatBrushes, ComeFromTheSystemColours) {
  const TdxBarFlatBrushes& b = dxBarFlatBrushes();
  const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW);
  auto toward = [](int c) { return c + MulDiv(255 - c, 16, 100); };
  EXPECT_EQ(RGB(toward(GetRValue(face)), toward(GetGValue(face)), toward(GetBValue(face))), BrushColor(b.Toolbar));
  EXPECT_EQ(RGB(MulDiv(GetRValue(shadow), 8, 10), MulDiv(GetGValue(shadow), 8, 10), MulDiv(GetBValue(shadow), 8, 10)),
            BrushColor(b.Border));
  EXPECT_EQ(static_cast<COLORREF>(ColorToRGB(dxBlendLightColor(-2, 30, 72))), BrushColor(b.Sel));
  EXPECT_EQ(static_cast<COLORREF>(ColorToRGB(dxBlendLightColor(11, 9, 73))), BrushColor(b.Downed));
  EXPECT_EQ(static_cast<COLORREF>(ColorToRGB(dxBlendLightColor(14, 44, 40))), BrushColor(b.DownedSel));
  // Asked again with the same colours, the same brushes.
  EXPECT_EQ(b.Toolbar, dxBarFlatBrushes().Toolbar);
}

TEST_F(TFlatPainterTest, BrushesAreTheManagersOwnAndFollowItsRebuild) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round ? "after the manager made its brushes again" : "as made");
    TdxBarControl* control = ControlOf(bar);
    TdxBarButtonControl* button = ButtonControl(bar, 0);
    EXPECT_EQ(Manager->FlatToolbarsBrush(), control->GetToolbarBrush());
    EXPECT_EQ(Manager->FlatToolbarsSelBrush(), control->GetSelectedBrush());
    EXPECT_EQ(Manager->FlatToolbarsDownedBrush(), control->GetDownedBrush());
    EXPECT_EQ(Manager->FlatToolbarsDownedSelBrush(), control->GetDownedSelectedBrush());
    EXPECT_EQ(Manager->FlatToolbarsBrush(), Flat()->ControlBackgroundBrush(button));
    EXPECT_EQ(Manager->FlatToolbarsBrush(), Flat()->BarControlOwnerBrush(Manager));
    EXPECT_EQ(Manager->FlatToolbarsSelBrush(), Flat()->ParentSelectedBrush(button));
    // The floating frame is drawn with the manager's border brush.
    TPaintDib dib(30, 20);
    TRect R(0, 0, 30, 20);
    Flat()->BarDrawFloatingBarBorder(control, dib.DC(), R, TRect(3, 3, 27, 17), Manager->FlatToolbarsBrush());
    EXPECT_EQ(BrushColor(Manager->FlatToolbarsBorderBrush()), dib.At(0, 10));
    Manager->RefreshDrawingResources();
  }
  // Without a manager: the process-wide set of the same colours.
  EXPECT_EQ(dxBarFlatBrushes().Toolbar, Flat()->BarToolbarBrush(nullptr));
  EXPECT_EQ(BrushColor(Manager->FlatToolbarsBrush()), BrushColor(Flat()->BarToolbarBrush(nullptr)));
}

TEST_F(TBarWindowTest, ManagersOfTheFlatStyleOrAnUltraFlatLookDrawFlat) {
  struct Case {
    TdxBarManagerStyle Style;
    TcxLookAndFeelKind Kind;
    bool Flat;
  } const cases[] = {
      {bmsFlat, lfStandard, true},          {bmsUseLookAndFeel, lfUltraFlat, true},
      {bmsUseLookAndFeel, lfFlat, false},   {bmsStandard, lfUltraFlat, false},
      {bmsEnhanced, lfUltraFlat, false},
  };
  for (const Case& c : cases) {
    Manager->SetStyle(c.Style);
    Manager->LookAndFeel()->SetNativeStyle(false);
    Manager->LookAndFeel()->SetKind(c.Kind);
    EXPECT_EQ(c.Flat, dxBarManagerPainter(Manager) == TdxBarFlatPainter::Instance())
        << int(c.Style) << " " << int(c.Kind);
  }
  EXPECT_EQ(TdxBarPainter::Instance(), dxBarManagerPainter(nullptr));
}

TEST_F(TFlatPainterTest, QuickCustomizationCheckSquareAndSelection) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  TdxBarButtonControl* control = ButtonControl(bar, 0);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), hot = BrushColor(dxBarFlatBrushes().Sel);
  for (bool selected : {false, true}) {
    SCOPED_TRACE(selected ? "selected" : "idle");
    TPaintDib dib(100, 20);
    TRect R(0, 0, 100, 20), check;
    Flat()->DrawQuickCustItemFrame(control, dib.DC(), R, check, selected);
    // The check square takes the height at the left; its ring is the bar's
    // background unless the item is selected.
    EXPECT_EQ(TRect(0, 0, 20, 20), check);
    EXPECT_EQ(TRect(1, 1, 19, 19), R);
    EXPECT_EQ(selected ? kMarker : BrushColor(ControlOf(bar)->GetToolbarBrush()), dib.At(0, 10));
    Flat()->DrawQuickCustItemFrameSelected(control, dib.DC(), TRect(0, 0, 100, 20), R, selected);
    EXPECT_EQ(selected ? highlight : kMarker, dib.At(50, 0));
    EXPECT_EQ(selected ? hot : BrushColor(ControlOf(bar)->GetToolbarBrush()), dib.At(19, 10));
    EXPECT_EQ(selected ? hot : kMarker, dib.At(20, 10));
    EXPECT_EQ(kMarker, dib.At(21, 10));
  }
  // The plain look only places the square.
  TPaintDib dib(100, 20);
  TRect R(0, 0, 100, 20), check;
  TdxBarPainter::Instance()->DrawQuickCustItemFrame(control, dib.DC(), R, check, false);
  EXPECT_EQ(TRect(0, 0, 20, 20), R);
  EXPECT_EQ(std::set<COLORREF>{kMarker}, dib.ColorsIn(TRect(0, 0, 100, 20)));
}

TEST_F(TFlatPainterTest, OwnerBorderStaysOpenWhereThePopupJoins) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  TdxBarControl* control = ControlOf(bar);
  const COLORREF border = BrushColor(dxBarFlatBrushes().Border);
  {
    TPaintDib dib(30, 20);
    Flat()->BarDrawBarControlOwner(control, dib.DC(), TRect(0, 0, 30, 20), nullptr);
    EXPECT_EQ(border, dib.At(10, 19));
    EXPECT_EQ(Toolbar(), dib.At(10, 10));
  }
  // A popup below the button: its link strip along the bottom is the owner
  // brush, the frame runs round the other sides only.
  TPaintDib dib(30, 20);
  Flat()->BarDrawBarControlOwnerBorder(control, dib.DC(), TRect(0, 0, 30, 20), nullptr, TRect(1, 19, 29, 20));
  EXPECT_EQ(border, dib.At(0, 19));
  EXPECT_EQ(Toolbar(), dib.At(10, 19));
  EXPECT_EQ(border, dib.At(10, 0));
  EXPECT_EQ(border, dib.At(29, 10));
  EXPECT_EQ(kMarker, dib.At(10, 10));
  // The clip region is given back: a later fill reaches the strip.
  dxBarFillRect(dib.DC(), TRect(0, 0, 30, 20), dxBarSysBrush(COLOR_WINDOW));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), dib.At(10, 19));
}

TEST_F(TFlatPainterTest, MenuStyledItemsStartTheirCaptionAtAFixedIndent) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  TdxBarButtonControl* control = ButtonControl(bar, 0);
  control->FillDrawParams(true);
  auto* params = static_cast<TdxBarButtonLikeControlDrawParams*>(control->DrawParams());
  const int base = TdxBarPainter::Instance()->GetControlCaptionOffset(control);
  EXPECT_EQ(base, Flat()->GetControlCaptionOffset(control));
  params->IsMenuItem = true;
  EXPECT_EQ(8, Flat()->GetControlCaptionOffset(control));
  EXPECT_EQ(base, TdxBarPainter::Instance()->GetControlCaptionOffset(control));
  control->FillDrawParams(true);
}
