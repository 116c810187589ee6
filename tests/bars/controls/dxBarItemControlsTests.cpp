// Item controls on a toolbar window: view levels, widths per level, images,
// and a control class that cannot be shown.
#include "bars/controls/dxBarPainter.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxStyles.h"
#include "foundation/dxCore.h"
#include "foundation/dxFading.h"
#include "platform/gui/ImgList.h"
#include "tests/bars/controls/dxBarControlsTestSupport.h"
#include "tests/bars/controls/dxBarPaintDib.h"
#include "tests/support/TestObjects.h"

namespace {

// A control that offers no view level at all.
class TNoLevelsControl : public TdxBarButtonControl {
  DECLARE_CLASS(TNoLevelsControl, TdxBarButtonControl)
  using TdxBarButtonControl::TdxBarButtonControl;

 protected:
  TdxBarItemViewLevels GetPossibleViewLevels() override { return {}; }
};

IMPLEMENT_CLASS(TNoLevelsControl, TdxBarButtonControl, (ConstructWith<TNoLevelsControl, TdxBarItemLink>))

// Counts how often its width is measured.
class TCountingControl : public TdxBarButtonControl {
  DECLARE_CLASS(TCountingControl, TdxBarButtonControl)
  using TdxBarButtonControl::TdxBarButtonControl;
  int Measured = 0;

 protected:
  int CalcWidth() override {
    ++Measured;
    return TdxBarButtonControl::CalcWidth();
  }
};

IMPLEMENT_CLASS(TCountingControl, TdxBarButtonControl, (ConstructWith<TCountingControl, TdxBarItemLink>))

// Drawn in the menu style of its bar (as a sub item of a main menu is).
class TParentMenuStyleControl : public TdxBarButtonControl {
  DECLARE_CLASS(TParentMenuStyleControl, TdxBarButtonControl)
  using TdxBarButtonControl::TdxBarButtonControl;
  bool UsesParentSubMenuStyle() override { return true; }
};

IMPLEMENT_CLASS(TParentMenuStyleControl, TdxBarButtonControl, (ConstructWith<TParentMenuStyleControl, TdxBarItemLink>))

}  // namespace

TEST_F(TBarWindowTest, ViewLevelsFollowTheImageAndTheLink) {
  auto* images = Make<TImageList>(Form);
  images->SetWidth(16);
  images->SetHeight(16);
  auto* glyph = Make<TBitmap>();
  glyph->SetSize(16, 16);
  images->Add(glyph, nullptr);
  TObject::Free(glyph);
  Manager->ImageOptions()->SetImages(images);

  TdxBar* bar = AddToolbar({L"订单查询", L"材料库"});
  bar->ItemLinks()->Items(0)->Item()->SetImageIndex(0);
  TdxBarItemLink* withImage = bar->ItemLinks()->Items(0);
  TdxBarItemLink* captionOnly = bar->ItemLinks()->Items(1);
  withImage->RecreateControl();
  auto* imageControl = dynamic_cast<TdxBarItemControl*>(withImage->Control());
  auto* captionControl = dynamic_cast<TdxBarItemControl*>(captionOnly->Control());
  ASSERT_NE(imageControl, nullptr);
  ASSERT_NE(captionControl, nullptr);

  EXPECT_EQ((TdxBarItemViewLevels{ivlSmallIconWithText, ivlSmallIcon}), imageControl->AllowedViewLevels());
  EXPECT_EQ((TdxBarItemViewLevels{ivlSmallIconWithText}), captionControl->AllowedViewLevels());
  // Widths per level: the icon alone is narrower than icon and caption.
  TdxBarItemControlViewInfo* info = imageControl->ViewInfo();
  const int both = info->WidthAtViewLevel(ivlSmallIconWithText);
  const int icon = info->WidthAtViewLevel(ivlSmallIcon);
  EXPECT_LT(icon, both);
  EXPECT_EQ(imageControl->DrawParams()->DefaultButtonSize.cx, icon);
  // A level the control cannot show is a fault of the layout that asks.
  try {
    info->WidthAtViewLevel(ivlLargeIconWithText);
    ADD_FAILURE() << "measured a level that is not allowed";
  } catch (const EdxException& e) {
    EXPECT_EQ(L"Testing! The level is not allowed", e.Message);
  }

  // Image sizes: the list's, else 20 x 20 for a large view and the list's size for a small one.
  EXPECT_EQ(TSize(16, 16), imageControl->GetImageSize(cvsSmall));
  EXPECT_EQ(TSize(20, 20), captionControl->GetImageSize(cvsLarge));
  EXPECT_EQ(TSize(16, 16), captionControl->GetImageSize(cvsSmall));
  // The link narrows the levels; a link that allows none of them leaves the possible ones.
  withImage->SetViewLevels({ivlSmallIcon, ivlLargeIconWithText});
  captionOnly->SetViewLevels({ivlControlOnly});
  // (Changing a link's levels may give it a new control.)
  imageControl = dynamic_cast<TdxBarItemControl*>(withImage->Control());
  captionControl = dynamic_cast<TdxBarItemControl*>(captionOnly->Control());
  ASSERT_NE(imageControl, nullptr);
  ASSERT_NE(captionControl, nullptr);
  EXPECT_EQ((TdxBarItemViewLevels{ivlSmallIcon}), imageControl->AllowedViewLevels());
  EXPECT_EQ((TdxBarItemViewLevels{ivlSmallIconWithText}), captionControl->AllowedViewLevels());

}

TEST_F(TBarWindowTest, ControlWithoutViewLevelsCannotBeMade) {
  TdxBar* bar = AddToolbar({L"远程协助"});
  TdxBarItemLink* link = bar->ItemLinks()->Items(0);
  try {
    TObject::Free(Make<TNoLevelsControl>(link));
    FAIL() << "made a control without view levels";
  } catch (const EdxException& e) {
    EXPECT_EQ(L"TNoLevelsControl.GetPossibleViewLevels = []", e.Message);
  }
}

TEST_F(TBarWindowTest, ButtonWidthsAndPartsFollowTheStyle) {
  TdxBar* bar = AddToolbar({L"生产排单", L"工艺设置"});
  auto* dropDown = static_cast<TdxBarButton*>(bar->ItemLinks()->Items(1)->Item());
  const int plain = ButtonControl(bar, 1)->Width();
  dropDown->SetButtonStyle(bsDropDown);
  bar->ItemLinks()->Items(1)->RecreateControl();
  ControlOf(bar)->RepaintBar();
  TdxBarButtonControl* control = ButtonControl(bar, 1);
  const int arrow = control->Painter()->RealButtonArrowWidth(Manager);
  EXPECT_EQ(plain + arrow, control->Width());
  control->RecalcState();
  ASSERT_EQ(2u, control->Parts().size());
  const TRect bounds = control->ItemBounds();
  EXPECT_EQ(bounds.Right - arrow, control->Parts()[1].Left);
  EXPECT_EQ(control->Parts()[1].Left, control->Parts()[0].Right);
  // A release on the arrow part does not click the button.
  const TPoint arrowPoint = ControlOf(bar)->ClientToScreen(
      TPoint(bounds.Right - arrow / 2 - 1, (bounds.Top + bounds.Bottom) / 2));
  Click(arrowPoint);
  EXPECT_TRUE(Form->Clicks.empty());
  Click(ScreenCenter(bar, 0));
  EXPECT_EQ(1u, Form->Clicks.size());
}

// ---------------------------------------------------------------------------
// Clicks, hot parts, style fonts, painting, the glyph cache and fade frames
// ---------------------------------------------------------------------------

namespace {

// Watches one click: the pressed look and the clicked link while the
// handler runs; may raise.
struct TClickWatch : TObject {
  TdxBarItemControl* Control = nullptr;
  TdxBarItem* Item = nullptr;
  bool PressedDuringClick = false;
  TdxBarItemLink* ClickLink = nullptr;
  bool Raise = false;
  int Handled = 0;
  void Click(TObject*) {
    PressedDuringClick = Control->IsPressed();
    ClickLink = Item->ClickItemLink();
    if (Raise) throw Exception(L"拒绝");
  }
  void AppException(TObject*, Exception&) { ++Handled; }
};

// A look that draws nothing but lets the tests choose what it answers.
class TTestPainter : public TdxBarPainter, public IdxBarFadingPainter {
 public:
  int Lowered = 0;
  bool FailDrawing = false;
  int LoweredBorderSize(TdxBarItemControl*) const override { return Lowered; }
  bool SupportsFading() const override { return true; }
  void DrawButtonLikeControl(TdxBarButtonLikeControlDrawParams* AParams, const TRect& ARect) const override {
    if (FailDrawing) throw Exception(L"画不出来");
    TdxBarPainter::DrawButtonLikeControl(AParams, ARect);
  }
  // IdxBarFadingPainter: the hot image red, the normal one blue, over the
  // item's rectangle in its bar's coordinates.
  bool FadingImagesNeedOpaque() const override { return true; }
  void DrawMarkFadingImage(TdxBarControl*, HDC, bool, const TRect&) const override {}
  void DrawButtonFadingImage(TdxBarItemControlDrawParams* AParams) const override {
    AParams->Canvas->FillRect(AParams->BarItemControl()->ItemBounds(), AParams->DrawSelected ? clRed : clBlue);
  }
};

// An item whose control leaves a margin outside its one part.
class TInsetButton : public TdxBarButton {
  DECLARE_CLASS(TInsetButton, TdxBarButton)
  using TdxBarButton::TdxBarButton;
};
class TInsetPartControl : public TdxBarButtonControl {
  DECLARE_CLASS(TInsetPartControl, TdxBarButtonControl)
  using TdxBarButtonControl::TdxBarButtonControl;
  void CalcParts() override {
    TdxBarButtonControl::CalcParts();
    for (TRect& part : FParts) part = TRect(part.Left + 3, part.Top + 3, part.Right - 3, part.Bottom - 3);
  }
};

BEGIN_CLASS(TInsetButton, TdxBarButton, (ConstructWith<TInsetButton, TComponent>))
END_CLASS
IMPLEMENT_CLASS(TInsetPartControl, TdxBarButtonControl, (ConstructWith<TInsetPartControl, TdxBarItemLink>))

COLORREF PixelOf(TcxBitmap32* ABitmap, int X, int Y) {
  return GetPixel(ABitmap->cxCanvas()->Handle(), X, Y) & 0xFFFFFF;
}

}  // namespace

TEST_F(TBarWindowTest, ClickShowsThePressedLookOnlyWhenTheItemUnclicksAndAlwaysEndsIt) {
  const struct {
    bool Unclick, Raise, PressedDuringClick;
  } cases[] = {{true, false, true}, {false, false, false}, {true, true, true}};
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库"});
  TdxBarItemLink* link = bar->ItemLinks()->Items(1);
  auto* item = static_cast<TdxBarButton*>(link->Item());
  TClickWatch watch;
  const TExceptionEvent savedHandler = Application->OnException;
  Application->OnException = TExceptionEvent::Bind<&TClickWatch::AppException>(&watch);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "unclick " << c.Unclick << " raise " << c.Raise);
    item->SetUnclickAfterDoing(c.Unclick);
    watch.PressedDuringClick = false;
    watch.ClickLink = nullptr;
    watch.Handled = 0;
    watch.Control = ButtonControl(bar, 1);
    watch.Item = item;
    watch.Raise = c.Raise;
    item->OnClick = TNotifyEvent::Bind<&TClickWatch::Click>(&watch);
    const int uses = link->UseCount();
    Click(ScreenCenter(bar, 1));
    EXPECT_EQ(c.PressedDuringClick, watch.PressedDuringClick);
    EXPECT_EQ(link, watch.ClickLink);
    EXPECT_EQ(c.Raise ? 1 : 0, watch.Handled);
    // Whatever the handler did, the pressed look and the clicked link end with the click.
    EXPECT_FALSE(ButtonControl(bar, 1)->IsPressed());
    EXPECT_EQ(nullptr, item->ClickItemLink());
    // The clicked link counts a use.
    EXPECT_EQ(uses + 1, link->UseCount());
  }
  Application->OnException = savedHandler;
}

TEST_F(TBarWindowTest, PointInsideTheItemButOutsideItsPartsIsHotPartHundred) {
  dxBarAddItemClassToRegistry(TInsetButton::StaticClass(), TInsetPartControl::StaticClass(), false);
  struct TUnregister {
    ~TUnregister() { dxBarRemoveItemClassFromRegistry(TInsetButton::StaticClass()); }
  } unregister;
  TdxBar* bar = AddToolbar({L"订单查询"});
  auto* inset = static_cast<TdxBarButton*>(Manager->AddItem(TInsetButton::StaticClass()));
  inset->SetCaption(L"报价单");
  bar->ItemLinks()->Add(inset);
  PumpQueuedMessages();
  auto* control = dynamic_cast<TInsetPartControl*>(bar->ItemLinks()->Items(1)->Control());
  ASSERT_NE(control, nullptr);
  const TRect r = control->ItemBounds();
  TdxBarControl* window = ControlOf(bar);
  MouseMoveTo(window->ClientToScreen(TPoint(r.Left + 1, (r.Top + r.Bottom) / 2)));
  EXPECT_EQ(100, control->HotPartIndex());
  EXPECT_EQ(control, window->SelectedControl());
  MouseMoveTo(window->ClientToScreen(TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2)));
  EXPECT_EQ(0, control->HotPartIndex());
  MouseMoveTo(Form->ClientToScreen(TPoint(300, 250)));
  EXPECT_EQ(-1, control->HotPartIndex());
}

TEST_F(TBarWindowTest, DisablingTheSelectedControlDropsSelectionAndHotStateUntilEnabledAgain) {
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库"});
  MouseMoveTo(ScreenCenter(bar, 1));
  TdxBarButtonControl* control = ButtonControl(bar, 1);
  ASSERT_EQ(control, ControlOf(bar)->SelectedControl());
  ASSERT_EQ(0, control->HotPartIndex());
  control->Item()->SetEnabled(false);
  control = ButtonControl(bar, 1);
  EXPECT_NE(control, ControlOf(bar)->SelectedControl());
  EXPECT_EQ(-1, control->HotPartIndex());
  // Enabled again under the resting cursor, it turns hot with the mouse move
  // the manager posts: not before the message comes.
  control->Item()->SetEnabled(true);
  ASSERT_EQ(control, ButtonControl(bar, 1));
  EXPECT_EQ(-1, control->HotPartIndex());
  MSG posted{};
  EXPECT_TRUE(PeekMessageW(&posted, ControlOf(bar)->WindowHandle(), WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE));
  PumpQueuedMessages();
  EXPECT_EQ(0, control->HotPartIndex());
}

TEST_F(TBarWindowTest, StyleFontTakesFaceAndSizeButKeepsTheBarsTextRotation) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  TdxBarButtonControl* control = ButtonControl(bar, 0);
  TcxCanvas* canvas = control->GetPaintCanvas();
  canvas->Font()->SetName(L"Tahoma");
  canvas->Font()->SetOrientation(900);  // the text of a vertical bar
  auto readFont = [&] {
    LOGFONTW font{};
    GetObjectW(canvas->Font()->Handle(), sizeof font, &font);
    return font;
  };
  const LOGFONTW before = readFont();
  auto style = MakeOwned<TcxStyle>(nullptr);
  style->Font()->SetName(L"Arial");
  style->Font()->SetHeight(-27);
  style->SetAssignedValues({svFont});

  TdxBarSavedFont saved;
  control->ApplyStyleFont(nullptr, style.get(), saved);
  const LOGFONTW styled = readFont();
  EXPECT_TRUE(saved.Changed);
  EXPECT_EQ(String(L"Arial"), String(styled.lfFaceName));
  EXPECT_EQ(-27, styled.lfHeight);
  EXPECT_EQ(900, styled.lfEscapement);
  EXPECT_EQ(900, styled.lfOrientation);
  control->RestoreStyleFont(saved);
  EXPECT_EQ(String(before.lfFaceName), String(readFont().lfFaceName));
  EXPECT_EQ(before.lfHeight, readFont().lfHeight);

  // A style without a font and no handle leave the canvas alone.
  style->SetAssignedValues({});
  control->ApplyStyleFont(nullptr, style.get(), saved);
  EXPECT_FALSE(saved.Changed);
  EXPECT_EQ(before.lfHeight, readFont().lfHeight);
}

TEST_F(TBarWindowTest, PaintingGivesTheCanvasBackEvenWhenThePainterFails) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  TTestPainter painter;
  ControlOf(bar)->SetPainter(&painter);
  TdxBarButtonControl* control = ButtonControl(bar, 0);
  TcxCanvas* own = ControlOf(bar)->cxCanvas();
  TPaintDib dib(60, 30);
  // An empty rectangle paints nothing.
  control->Paint(dib.Canvas(), TRect(5, 5, 5, 20), ptHorz);
  EXPECT_EQ(std::set<COLORREF>{kMarker}, dib.ColorsIn(TRect(0, 0, 60, 30)));
  painter.FailDrawing = true;
  EXPECT_THROW(control->Paint(dib.Canvas(), TRect(0, 0, 60, 30), ptHorz), Exception);
  EXPECT_EQ(own, control->GetPaintCanvas());
  EXPECT_EQ(own, control->DrawParams()->Canvas);
  ControlOf(bar)->SetPainter(nullptr);
}

TEST_F(TBarWindowTest, LoweredButtonGrowsByTwiceTheLooksLoweredBorder) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  TTestPainter painter;
  painter.Lowered = 3;
  ControlOf(bar)->SetPainter(&painter);
  TdxBarButtonControl* control = ButtonControl(bar, 0);
  const int width = control->Width(), height = control->Height();
  static_cast<TdxBarButton*>(control->Item())->SetLowered(true);
  control = ButtonControl(bar, 0);
  EXPECT_EQ(width + 6, control->Width());
  EXPECT_EQ(height + 6, control->Height());
  ControlOf(bar)->SetPainter(nullptr);
}

TEST_F(TBarWindowTest, ViewStructureFollowsThePaintStyleOnAToolbar) {
  auto* images = Make<TImageList>(Form);
  auto* glyph = Make<TBitmap>();
  glyph->SetSize(16, 16);
  images->Add(glyph, nullptr);
  TObject::Free(glyph);
  Manager->ImageOptions()->SetImages(images);
  TdxBar* bar = AddToolbar({L"有图", L"无图"});
  bar->ItemLinks()->Items(0)->Item()->SetImageIndex(0);
  const struct {
    TdxBarPaintStyle Style;
    TdxBarItemControlViewStructure WithImage, WithoutImage;
  } cases[] = {
      {psStandard, {cpIcon}, {cpText}},
      {psCaption, {cpText}, {cpText}},
      {psCaptionInMenu, {cpIcon}, {cpIcon}},
      {psCaptionGlyph, {cpIcon, cpText}, {cpIcon, cpText}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(EnumName(c.Style));
    for (int i = 0; i < 2; ++i) bar->ItemLinks()->Items(i)->Item()->SetPaintStyle(c.Style);
    ButtonControl(bar, 0)->FillDrawParams(true);
    ButtonControl(bar, 1)->FillDrawParams(true);
    EXPECT_EQ(c.WithImage, ButtonControl(bar, 0)->DrawParams()->ViewStructure);
    EXPECT_EQ(c.WithoutImage, ButtonControl(bar, 1)->DrawParams()->ViewStructure);
  }
}

TEST_F(TBarWindowTest, ControlKeepsItsGlyphRenderedUntilItsImagesChange) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  TdxBarButtonControl* control = ButtonControl(bar, 0);
  ASSERT_EQ(control->CachedImageOptions(), control->GlyphCache());
  auto glyph = MakeOwned<TBitmap>();
  glyph->SetPixelFormat(pf24bit);
  glyph->SetSize(8, 8);
  auto paint = [&](TColor AColor) {
    glyph->Canvas()->Brush()->SetColor(AColor);
    glyph->Canvas()->FillRect(TRect(0, 0, 8, 8));
    glyph->Canvas()->SetPixel(0, 7, clBlue);  // the bottom-left pixel: the transparent colour
  };
  paint(clRed);
  TdxBarGlyphDrawArgs args;
  args.Glyph = glyph.get();
  args.GlyphRect = TRect(2, 2, 10, 10);
  args.FullRect = TRect(0, 0, 12, 12);
  auto draw = [&] {
    TPaintDib dib(12, 12);
    dxBarDrawItemGlyph(control, dib.DC(), args);
    EXPECT_EQ(kMarker, dib.At(2, 9)) << "transparent";
    EXPECT_EQ(kMarker, dib.At(1, 1)) << "outside";
    return dib.At(5, 5);
  };
  EXPECT_EQ(RGB(255, 0, 0), draw());
  TdxCachedImageOptions* cache = control->CachedImageOptions();
  EXPECT_TRUE(cache->IsCached(idmNormal, glyph.get(), nullptr));
  EXPECT_FALSE(cache->IsCached(idmDisabled, glyph.get(), nullptr));
  auto other = MakeOwned<TBitmap>();
  EXPECT_FALSE(cache->IsCached(idmNormal, other.get(), nullptr));
  // The rendering is what is drawn while mode and source stay: a glyph
  // changed behind the control's back does not show...
  paint(clLime);
  EXPECT_EQ(RGB(255, 0, 0), draw());
  // ...until the control drops its drawing cache (its item's images changed).
  control->ClearDrawingCache(false);
  EXPECT_FALSE(cache->IsCached(idmNormal, glyph.get(), nullptr));
  EXPECT_EQ(RGB(0, 255, 0), draw());
  // Another mode renders anew.
  args.State.Enabled = false;
  EXPECT_NE(RGB(0, 255, 0), draw());
  EXPECT_TRUE(cache->IsCached(idmDisabled, glyph.get(), nullptr));
  // Nothing is kept while the manager does not cache glyphs.
  Manager->ImageOptions()->SetCacheGlyphs(false);
  control->ClearDrawingCache(false);
  draw();
  EXPECT_FALSE(cache->Cached());
}

TEST_F(TBarWindowTest, FadeFramesAreTheNormalAndTheHotBackgroundOfTheItem) {
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库"});
  TTestPainter painter;
  ControlOf(bar)->SetPainter(&painter);
  TdxBarButtonControl* control = ButtonControl(bar, 1);
  EXPECT_EQ(dxGetFaderInstance() != nullptr, control->CanAnimateFading());
  TBitmap* normal = nullptr;
  TBitmap* hot = nullptr;
  control->PrepareFadingImages(normal, hot);
  ASSERT_NE(normal, nullptr);
  ASSERT_NE(hot, nullptr);
  const TRect r = control->ItemBounds();
  EXPECT_EQ(r.Width(), normal->Width());
  EXPECT_EQ(r.Height(), hot->Height());
  auto* n = static_cast<TcxBitmap32*>(normal);
  auto* h = static_cast<TcxBitmap32*>(hot);
  // The item's rectangle in bar coordinates lands on the whole image.
  for (const TPoint p : {TPoint(0, 0), TPoint(r.Width() - 1, r.Height() - 1)}) {
    EXPECT_EQ(RGB(0, 0, 255), PixelOf(n, p.X, p.Y));
    EXPECT_EQ(RGB(255, 0, 0), PixelOf(h, p.X, p.Y));
  }
  // The control draws to its bar again afterwards.
  EXPECT_EQ(ControlOf(bar)->cxCanvas(), control->GetPaintCanvas());
  TObject::Free(normal);
  TObject::Free(hot);
  // In a look without the fading operations there are no frames.
  ControlOf(bar)->SetPainter(nullptr);
  control->PrepareFadingImages(normal, hot);
  EXPECT_EQ(nullptr, normal);
  EXPECT_EQ(nullptr, hot);
}

TEST_F(TBarWindowTest, WidthPerLevelIsMeasuredOnceUntilTheCacheIsDropped) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  auto control = MakeOwned<TCountingControl>(bar->ItemLinks()->Items(0));
  TdxBarItemControlViewInfo* info = control->ViewInfo();
  const int width = info->WidthAtViewLevel(ivlSmallIconWithText);
  EXPECT_EQ(width, info->WidthAtViewLevel(ivlSmallIconWithText));
  EXPECT_EQ(1, control->Measured);
  // The level the layout asked about is not left behind.
  EXPECT_EQ(ivlDefault, info->ViewLevel());
  control->ClearDrawingCache(true);
  EXPECT_EQ(width, info->WidthAtViewLevel(ivlSmallIconWithText));
  EXPECT_EQ(2, control->Measured);
  control->ClearDrawingCache(false);
  info->WidthAtViewLevel(ivlSmallIconWithText);
  EXPECT_EQ(2, control->Measured);
}

TEST_F(TBarWindowTest, ApplicationMenuButtonTakesTheItemsWidthAndAlwaysLaysOutFlat) {
  TdxBar* bar = AddToolbar({L"文件"});
  TdxBarItemLink* link = bar->ItemLinks()->Items(0);
  auto control = MakeOwned<TdxBarApplicationMenuButtonControl>(link);
  control->FillDrawParams(true);
  auto* params = static_cast<TdxBarApplicationMenuButtonControlDrawParams*>(control->DrawParams());
  EXPECT_EQ(ptHorz, params->PaintType);
  EXPECT_EQ((TdxBarItemControlViewStructure{cpText}), params->ViewStructure);
  const int natural = control->Width();
  EXPECT_EQ(natural, params->ContentWidth);
  link->Item()->SetWidth(natural + 40);
  control->FillDrawParams(true);
  EXPECT_EQ(natural + 40, control->Width());
  // The content keeps its own width inside the wider button.
  EXPECT_EQ(natural, params->ContentWidth);
}

TEST_F(TBarWindowTest, ControlInItsBarsMenuStyleIsDrawnAsAMenuItem) {
  TdxBar* bar = AddToolbar({L"文件"});
  TdxBarItemLink* link = bar->ItemLinks()->Items(0);
  static_cast<TdxBarButton*>(link->Item())->SetButtonStyle(bsDropDown);
  auto menuStyle = MakeOwned<TParentMenuStyleControl>(link);
  TdxBarButtonControl* own = ButtonControl(bar, 0);
  TPaintDib dib(80, 30);
  for (TdxBarButtonControl* control : {own, static_cast<TdxBarButtonControl*>(menuStyle.get())}) {
    control->Paint(dib.Canvas(), TRect(0, 0, 80, 30), ptHorz);
    auto* params = static_cast<TdxBarButtonLikeControlDrawParams*>(control->DrawParams());
    EXPECT_EQ(control != own, params->IsMenuItem);
    EXPECT_TRUE(params->IsDropDown);
  }
}
