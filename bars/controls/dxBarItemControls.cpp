#include "bars/controls/dxBarItemControls.h"

#include "bars/controls/dxBarControls.h"
#include "bars/controls/dxBarHintWindow.h"
#include "bars/controls/dxBarPainter.h"
#include "bars/controls/dxBarToolbarControl.h"
#include "foundation/cxClasses.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxStyles.h"
#include "foundation/dxCore.h"
#include "foundation/dxFading.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Menus.h"

#include <algorithm>
#include <utility>

namespace {

bool ListHasImage(TCustomImageList* AList, int AIndex) { return AList && AIndex >= 0 && AIndex < AList->Count(); }
bool HasContent(TBitmap* ABitmap) { return ABitmap && !ABitmap->Empty(); }

// The fader animates an object that answers its interface; an item control
// hands it this stand-in, which asks the control for everything.
class TdxBarItemControlFadingObject : public TObject, public IdxFadingObject {
  DECLARE_CLASS(TdxBarItemControlFadingObject, TObject)
  explicit TdxBarItemControlFadingObject(TdxBarItemControl* AControl) : FControl(AControl) {}
  bool IsFadingAllowed() override { return FControl->CanAnimateFading(); }
  void RefreshFadingFrame() override { FControl->RepaintForFading(); }
  void AttachFadingData(IdxFadingElementData* AData) override { FControl->StoreFadingData(AData); }
  void DetachFadingData() override { FControl->ReleaseFadingData(); }
  void ProvideFadingImages(TBitmap*& AFadeOutImage, TBitmap*& AFadeInImage, int&, int&, int&, int&) override {
    FControl->PrepareFadingImages(AFadeOutImage, AFadeInImage);
  }

 private:
  TdxBarItemControl* FControl;
};

IMPLEMENT_CLASS(TdxBarItemControlFadingObject, TObject, nullptr)

}  // namespace

TdxBarItemControlAccessibilityHelperFactory& dxBarItemControlAccessibilityHelperFactory() {
  static TdxBarItemControlAccessibilityHelperFactory factory = nullptr;
  return factory;
}

// ---------------------------------------------------------------------------
// Draw parameters
// ---------------------------------------------------------------------------

BEGIN_CLASS(TdxBarItemControlDrawParams, TObject, (ConstructWith<TdxBarItemControlDrawParams, TdxBarItemControl>))
END_CLASS
BEGIN_CLASS(TdxBarButtonLikeControlDrawParams, TdxBarItemControlDrawParams,
            (ConstructWith<TdxBarButtonLikeControlDrawParams, TdxBarItemControl>))
END_CLASS
BEGIN_CLASS(TdxBarApplicationMenuButtonControlDrawParams, TdxBarButtonLikeControlDrawParams,
            (ConstructWith<TdxBarApplicationMenuButtonControlDrawParams, TdxBarItemControl>))
END_CLASS
BEGIN_CLASS(TdxBarEditLikeControlDrawParams, TdxBarItemControlDrawParams, (ConstructWith<TdxBarEditLikeControlDrawParams, TdxBarItemControl>))
END_CLASS
BEGIN_CLASS(TdxBarColorComboControlDrawParams, TdxBarEditLikeControlDrawParams, (ConstructWith<TdxBarColorComboControlDrawParams, TdxBarItemControl>))
END_CLASS
BEGIN_CLASS(TdxBarSpinEditDrawParams, TdxBarEditLikeControlDrawParams, (ConstructWith<TdxBarSpinEditDrawParams, TdxBarItemControl>))
END_CLASS
BEGIN_CLASS(TdxBarStaticLikeControlDrawParams, TdxBarItemControlDrawParams, (ConstructWith<TdxBarStaticLikeControlDrawParams, TdxBarItemControl>))
END_CLASS
BEGIN_CLASS(TdxBarSeparatorControlDrawParams, TdxBarStaticLikeControlDrawParams, (ConstructWith<TdxBarSeparatorControlDrawParams, TdxBarItemControl>))
END_CLASS
BEGIN_CLASS(TdxBarProgressControlDrawParams, TdxBarStaticLikeControlDrawParams, (ConstructWith<TdxBarProgressControlDrawParams, TdxBarItemControl>))
END_CLASS
BEGIN_CLASS(TdxBarInPlaceSubItemControlDrawParams, TdxBarButtonLikeControlDrawParams,
            (ConstructWith<TdxBarInPlaceSubItemControlDrawParams, TdxBarItemControl>))
END_CLASS

void TdxBarItemControlDrawParams::SetViewSize(TdxBarItemControlViewSize AValue) {
  if (FViewSize == AValue) return;
  FViewSize = AValue;
  if (FBarItemControl) FBarItemControl->ClearDrawingCache(false);
}

// ---------------------------------------------------------------------------
// TdxBarItemControlViewInfo
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TdxBarItemControlViewInfo, TcxInterfacedPersistent,
                (ConstructWith<TdxBarItemControlViewInfo, TdxBarItemControl>))

TdxBarItemControlViewInfo::TdxBarItemControlViewInfo(TdxBarItemControl* AControl)
    : TcxInterfacedPersistent(nullptr), FControl(AControl) {
  const TdxBarItemViewLevels possible = AControl->CheckedPossibleViewLevels();
  FAllowedViewLevels = AControl->AllowedViewLevels();
  FMinPossibleViewLevel = static_cast<TdxBarItemViewLevel>(dxBarMostCompactViewLevel(possible));
  FViewLevelForButtonGroup = FMinPossibleViewLevel == ivlLargeIconWithText
                                 ? FMinPossibleViewLevel
                                 : static_cast<TdxBarItemViewLevel>(dxBarMostCompactViewLevel(FAllowedViewLevels));
}

bool TdxBarItemControlViewInfo::SupportsMultiColumnLayout() {
  return dynamic_cast<IdxBarMultiColumnItemControlViewInfo*>(this) != nullptr;
}

int TdxBarItemControlViewInfo::WidthAtViewLevel(TdxBarItemViewLevel ALevel) {
  if (auto* multi = dynamic_cast<IdxBarMultiColumnItemControlViewInfo*>(this); multi && !multi->IsCollapsed())
    return multi->GetWidthForColumnCount(multi->GetColumnCount());
  // The layout asks only for the levels it was given: any other is its fault.
  if (ALevel > ivlControlOnly || !FAllowedViewLevels.Contains(ALevel))
    throw EdxException(L"Testing! The level is not allowed");
  TLevelInfo& info = FViewLevelInfos[ALevel];
  if (!info.Cached) {
    const TdxBarItemViewLevel previous = FViewLevel;
    FViewLevel = ALevel;
    try {
      info.Width = FControl->Width();
    } catch (...) {
      FViewLevel = previous;
      throw;
    }
    FViewLevel = previous;
    info.Cached = true;
  }
  return info.Width;
}

void TdxBarItemControlViewInfo::ResetCachedValues() {
  for (TLevelInfo& info : FViewLevelInfos) info = TLevelInfo();
}

TdxBarItemAlign TdxBarItemControlViewInfo::GetAlign() {
  TdxBarItem* item = FControl->Item();
  return item ? item->Align() : iaLeft;
}

bool TdxBarItemControlViewInfo::GetBeginGroup() {
  TdxBarItemLink* link = FControl->ItemLink();
  return link && link->BeginGroup();
}

TdxBarButtonGroupPosition TdxBarItemControlViewInfo::GetButtonGroupPosition() {
  TdxBarItemLink* link = FControl->ItemLink();
  return link && FControl->SupportsButtonGroup() ? link->ButtonGroup() : bgpNone;
}

// ---------------------------------------------------------------------------
// TdxCachedImageOptions
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TdxCachedImageOptions, TObject, nullptr)

TdxCachedImageOptions::TdxCachedImageOptions() { FGlyph = Make<TcxAlphaBitmap>(); }

TdxCachedImageOptions::~TdxCachedImageOptions() { TObject::Free(FGlyph); }

void TdxCachedImageOptions::Cache(const TRect& ARect, TBitmap* AGlyph, TCustomImageList* AImages, int AImageIndex,
                                  TcxImageDrawMode ADrawMode, bool ASmoothImage, TColor ATransparentColor,
                                  bool AUseLeftBottomPixelAsTransparent) {
  FCached = false;
  FGlyph->RefreshImage(ARect.Width(), ARect.Height());
  const TRect r = FGlyph->ClientRect();
  if (!r.IsEmpty())
    cxDrawImageOnBackground(FGlyph->cxCanvas()->Handle(), r, r, AGlyph, AImages, AImageIndex, ADrawMode, ASmoothImage,
                            nullptr, ATransparentColor, AUseLeftBottomPixelAsTransparent);
  FCachedDrawMode = ADrawMode;
  FCachedImages = AImages;
  FCachedGlyph = AGlyph;
  FCached = true;
}

bool TdxCachedImageOptions::IsCached(TcxImageDrawMode ADrawMode, TBitmap* AGlyph, TCustomImageList* AImages) const {
  if (!FCached || ADrawMode != FCachedDrawMode || FGlyph->Empty()) return false;
  return AGlyph ? AGlyph == FCachedGlyph : AImages == FCachedImages;
}

TBitmap* TdxCachedImageOptions::CachedGlyph() { return FGlyph; }

// ---------------------------------------------------------------------------
// TdxBarItemControl: creation and destruction
// ---------------------------------------------------------------------------

BEGIN_CLASS(TdxBarItemControl, TdxBarItemControlBase, (ConstructWith<TdxBarItemControl, TdxBarItemLink>))
END_CLASS

TdxBarItemControl::TdxBarItemControl(TdxBarItemLink* ALink) : TdxBarItemControlBase(ALink) {
  IdxBarControl* bar = ALink ? ALink->BarControl() : nullptr;
  FParent = bar ? dynamic_cast<TCustomdxBarControl*>(bar->BarControlObject()) : nullptr;
}

void TdxBarItemControl::AfterConstruction() {
  TdxBarItemControlBase::AfterConstruction();
  FDrawParams = static_cast<TdxBarItemControlDrawParams*>(
      TClassOf<TdxBarItemControlDrawParams, TdxBarItemControl*>(DrawParamsClass()).Create(this));
  FCachedImageOptions = Make<TdxCachedImageOptions>();
  FViewInfo = static_cast<TdxBarItemControlViewInfo*>(
      TClassOf<TdxBarItemControlViewInfo, TdxBarItemControl*>(ControlViewInfoClass()).Create(this));
  RecalcDrawingConsts();
  FHotPartIndex = -1;
  FillDrawParams(true);
  if (FParent) FViewInfo->SetViewLevel(FParent->DefaultItemViewLevel(this));
}

void TdxBarItemControl::BeforeDestruction() {
  if (TObject* helper = std::exchange(FIAccessibilityHelper, nullptr)) {
    // An accessibility helper outlives its object while clients hold it: it
    // is told and goes by itself; any other object the factory made is ours.
    if (IdxBarAccessibilityHelper* intf = dxBarAccessibilityIntfOf(helper))
      dxBarOwnerHelperDestroyed(intf);
    else
      TObject::Free(helper);
  }
  if (FFadingObject) {
    if (TdxFader* fader = dxGetFaderInstance()) fader->Remove(FFadingObject, true);
    TObject::Free(FFadingObject);
    FFadingObject = nullptr;
    FFadingElementData = nullptr;
  }
  TdxBarManager* manager = BarManager();
  if (manager && manager->SelectedItem() == this) manager->StoreSelectedItem(nullptr);
  if (FParent && !FParent->IsDestroying() && manager && !manager->IsDestroying() &&
      FParent->SelectedControl() == this && !manager->IsCustomizing()) {
    TdxBarItemLink* link = ItemLink();
    if (!link || link->VisibleIndex() == -1)
      FParent->ChangeSelectedItemControl(nullptr);
    else
      FParent->SelectItemControlNavigated(nullptr);
  }
  dxBarHintObjectDestroying(this);
  if (FBkBrush) {
    GdiDeleteObject(FBkBrush);
    FBkBrush = nullptr;
  }
  cxClearObjectLinks(this);
  TdxBarItemControlBase::BeforeDestruction();
}

TdxBarItemControl::~TdxBarItemControl() {
  if (FParent && FParent->ViewInfo() && !FParent->IsDestroying()) FParent->ViewInfo()->RemoveItemControlViewInfo(FViewInfo);
  TObject::Free(FViewInfo);
  TObject::Free(FCachedImageOptions);
  TObject::Free(FDrawParams);
  FParent = nullptr;
}

TObject* TdxBarItemControl::IAccessibilityHelper() {
  if (!FIAccessibilityHelper && dxBarItemControlAccessibilityHelperFactory())
    FIAccessibilityHelper = dxBarItemControlAccessibilityHelperFactory()(this, AccessibilityHelperClass());
  return FIAccessibilityHelper;
}

IdxBarGlyphCache* TdxBarItemControl::GlyphCache() { return FCachedImageOptions; }

TdxBarManager* TdxBarItemControl::BarManager() const { return ItemLink() ? ItemLink()->BarManager() : nullptr; }

const TdxBarPainter* TdxBarItemControl::Painter() const {
  return FParent ? FParent->Painter() : TdxBarPainter::Instance();
}

TClass TdxBarItemControl::PainterClass() const { return Painter()->ClassType(); }

TRect TdxBarItemControl::ItemBounds() const { return ItemLink() ? ItemLink()->ItemRect() : TRect(); }

bool TdxBarItemControl::Enabled() { return Item() && Item()->Enabled(); }

bool TdxBarItemControl::IsSelected() {
  return FParent && FParent->SelectedControl() == this && !(!Enabled() && FSelectedByMouse);
}

bool TdxBarItemControl::IsSelectable() {
  // While customizing, the items of another manager are out of reach.
  return !(FParent && FParent->IsCustomizing() && Item() && !AllowsCustomizing());
}

bool TdxBarItemControl::AllowsCustomizing() {
  TdxBarManager* manager = BarManager();
  return Item() && (manager == Item()->BarManager() || (manager && manager->ComponentState().Contains(csAncestor)));
}

bool TdxBarItemControl::AcceptsDoubleClick() {
  TdxBarManager* manager = BarManager();
  return (manager && manager->Designing()) || OpensSubItems();
}

bool TdxBarItemControl::HasToolbarHint() { return !FetchHint().empty() && dynamic_cast<TdxBarControl*>(FParent); }

bool TdxBarItemControl::DrawsShadow() { return FParent && FParent->ChildrenHaveShadows(); }

bool TdxBarItemControl::OwnsWindow(HWND AWnd) {
  if (!AWnd || !FParent || !FParent->HandleAllocated()) return false;
  const HWND own = FParent->WindowHandle();
  return AWnd == own || IsChild(own, AWnd);
}

TdxFader* TdxBarItemControl::QueryFader() { return FParent ? FParent->GetFader() : nullptr; }

TObject* TdxBarItemControl::FadingObject() {
  if (!FFadingObject) FFadingObject = Make<TdxBarItemControlFadingObject>(this);
  return FFadingObject;
}

// ---------------------------------------------------------------------------
// Hints
// ---------------------------------------------------------------------------

String TdxBarItemControl::FetchHint() { return Item() ? Item()->Hint() : String(); }

TShortCut TdxBarItemControl::FetchShortCut() { return Item() ? Item()->ShortCut() : TShortCut(0); }

String TdxBarItemControl::ShortHint() {
  const String hint = FetchHint();
  const size_t bar = hint.find(L'|');
  return bar == String::npos ? hint : hint.substr(0, bar);
}

void TdxBarItemControl::FetchHintTexts(String& AHint, String& AShortCut) {
  AHint = ShortHint();
  const TShortCut shortCut = FetchShortCut();
  AShortCut = shortCut ? ShortCutToText(shortCut) : String();
}

bool TdxBarItemControl::QueryHint(bool& ASuppressed, String& AHint, String& AShortCut) {
  ASuppressed = false;
  if (!FParent || !FParent->CanShowItemHints() || FParent->SelectedControl() != this) return false;
  FetchHintTexts(AHint, AShortCut);
  if (auto* action = dynamic_cast<TCustomAction*>(Item() ? Item()->Action() : nullptr); action && !action->DoHint(AHint)) {
    ASuppressed = true;
    return false;
  }
  return true;
}

bool TdxBarItemControl::GetHintInfo(String& AHint, String& AShortCut) {
  bool suppressed = false;
  return QueryHint(suppressed, AHint, AShortCut);
}

TdxBarCustomHintViewInfo* TdxBarItemControl::MakeHintView(const String& AHint, const String& AShortCut) {
  TdxBarScreenTip* screenTip = Item() ? Item()->ScreenTip() : nullptr;
  if (FParent) return FParent->CreateHintViewInfo(AHint, AShortCut, screenTip);
  return dxBarCreateHintViewInfo(BarManager(), AHint, AShortCut, Painter(), screenTip);
}

TPoint TdxBarItemControl::CalcHintPlacement(const TPoint& ACursorPos, int AWindowHeight) {
  return FParent ? FParent->ShowHintWindow(FViewInfo->Bounds(), AWindowHeight, ACursorPos) : ACursorPos;
}

// ---------------------------------------------------------------------------
// View levels and sizes
// ---------------------------------------------------------------------------

TdxBarItemViewLevels TdxBarItemControl::GetPossibleViewLevels() {
  if (HasImage(cvsSmall)) return {ivlSmallIconWithText, ivlSmallIcon};
  return {ivlSmallIconWithText};
}

TdxBarItemViewLevels TdxBarItemControl::CheckedPossibleViewLevels() {
  const TdxBarItemViewLevels levels = GetPossibleViewLevels();
  if (levels.Empty()) throw EdxException(ClassName() + L".GetPossibleViewLevels = []");
  return levels;
}

TdxBarItemViewLevels TdxBarItemControl::AllowedViewLevels() {
  const TdxBarItemViewLevels possible = CheckedPossibleViewLevels();
  const TdxBarItemViewLevels allowed = ItemLink() ? possible * ItemLink()->ViewLevels() : possible;
  return allowed.Empty() ? possible : allowed;
}

TdxBarItemControlViewSize TdxBarItemControl::ViewSizeForLevel(TdxBarItemViewLevel ALevel) {
  switch (ALevel) {
    case ivlLargeIconWithText: return cvsLarge;
    case ivlSmallIconWithText:
    case ivlSmallIcon: return cvsSmall;
    default: return CalcViewSize();
  }
}

TdxBarMenuItemSize TdxBarItemControl::OwnerItemSizeMode() {
  TdxBarItemLinks* owner = ItemLink() ? ItemLink()->Owner() : nullptr;
  return owner ? owner->EffectiveMenuItemSize() : misNormal;
}

TdxBarItemControlViewSize TdxBarItemControl::CalcViewSize() {
  if (OwnerItemSizeMode() == misLarge) return cvsLarge;
  return LargeIconsActive() ? cvsMedium : cvsSmall;
}

int TdxBarItemControl::CurrentGlyphSize() {
  TdxBarManager* manager = BarManager();
  return manager && manager->ImageOptions() ? manager->ImageOptions()->GlyphSize() : 16;
}

int TdxBarItemControl::EffectiveTextSize() {
  // The style's font has its own size; otherwise the bar's text size holds.
  return StyleAssignsFont() || !FParent ? FTextSize : FParent->TextSize();
}

bool TdxBarItemControl::LargeIconsActive() {
  TdxBarManager* manager = BarManager();
  return manager && manager->LargeIcons() && Painter()->AllowsLargeIcons();
}

TdxBarItemControlViewStructure TdxBarItemControl::CalcViewStructure() {
  const TdxBarItemViewLevel level = CurrentViewLevel();
  switch (level) {
    case ivlLargeIconWithText:
    case ivlSmallIconWithText: {
      TdxBarItemControlViewStructure s{cpText};
      if (HasImage(ViewSizeForLevel(level))) s.Include(cpIcon);
      return s;
    }
    case ivlSmallIcon:
      return HasImage(cvsSmall) ? TdxBarItemControlViewStructure{cpIcon} : TdxBarItemControlViewStructure{};
    case ivlControlOnly: return {};
    default: return DefaultViewStructure();
  }
}

TdxBarPaintType TdxBarItemControl::QueryPaintType() { return FParent ? FParent->GetPaintType() : ptHorz; }

bool TdxBarItemControl::OnVerticalBar() { return FParent && FParent->IsVertical(); }

TdxBarItemAlign TdxBarItemControl::EffectiveAlign() {
  const TdxBarItemAlign align = Item() ? Item()->Align() : iaLeft;
  if (align != iaLeft && !(FParent && FParent->IsRestSpaceItem(this))) return iaLeft;
  return align;
}

int TdxBarItemControl::Width() {
  FillDrawParams(false);
  const bool extends = EffectiveAlign() == iaClient && FParent &&
                       FParent->BehaviorOptions().Contains(bboExtendItemWhenAlignedToClient) &&
                       !FParent->IsRealVertical();
  if (extends) return MinimalWidth();
  TdxBarSavedFont saved;
  ApplyStyleFont(nullptr, ItemStyle(), saved);
  int width;
  try {
    width = CalcWidth();
  } catch (...) {
    RestoreStyleFont(saved);
    throw;
  }
  RestoreStyleFont(saved);
  return std::max(width, MinimalWidth());
}

int TdxBarItemControl::Height() {
  FillDrawParams(false);
  if (EffectiveAlign() == iaClient && FParent && FParent->IsRealVertical())
    return FParent->IsVertical() ? MinimalWidth() : MinimalHeight();
  TdxBarSavedFont saved;
  ApplyStyleFont(nullptr, ItemStyle(), saved);
  int height;
  try {
    height = CalcHeight();
  } catch (...) {
    RestoreStyleFont(saved);
    throw;
  }
  RestoreStyleFont(saved);
  return std::max(height, MinimalHeight());
}

int TdxBarItemControl::CalcHeight() {
  if (FParent && FParent->Kind() == bkSubMenu) return MenuItemHeight();
  return OnVerticalBar() ? WidthForViewSize() : HeightForViewSize();
}

int TdxBarItemControl::CalcWidth() {
  if (FDrawParams->PaintType == ptMenu) return MenuItemWidth();
  return OnVerticalBar() ? HeightForViewSize() : WidthForViewSize();
}

int TdxBarItemControl::HeightForViewSize() {
  return FDrawParams->ViewSize() == cvsLarge ? LargeViewHeight() : NormalViewHeight();
}

int TdxBarItemControl::WidthForViewSize() {
  return FDrawParams->ViewSize() == cvsLarge ? LargeViewWidth() : SumAreaWidths();
}

int TdxBarItemControl::MenuItemHeight() {
  int height = FParent ? FParent->ItemTextSize(this) : FTextSize;
  Painter()->CorrectButtonControlDefaultHeight(height);
  return height;
}

int TdxBarItemControl::MenuItemWidth() {
  int width = SumAreaWidths();
  Painter()->CorrectButtonControlDefaultWidth(width);
  return width;
}

int TdxBarItemControl::NormalViewHeight() {
  int height = 0;
  if (FDrawParams->ViewStructure.Contains(cpText))
    height = std::max(0, EffectiveTextSize());
  if (FDrawParams->ViewStructure.Contains(cpIcon)) {
    const TSize button = FDrawParams->DefaultButtonSize;
    height = std::max(height, OnVerticalBar() ? button.cx : button.cy);
  }
  return height;
}

TdxBarGlyphLayout TdxBarItemControl::GlyphLayout() { return Item() ? Item()->GlyphLayout() : glLeft; }

int TdxBarItemControl::LargeViewWidth() {
  const TSize image = GetImageSize(cvsLarge);
  const int a = OnVerticalBar() ? image.cy : image.cx;
  if (!FDrawParams->ViewStructure.Contains(cpText)) return a + 10;
  const int b = MeasureCaption() + 6;
  const TdxBarGlyphLayout layout = GlyphLayout();
  return (layout == glLeft || layout == glRight ? a + b : std::max(a, b)) + 10;
}

int TdxBarItemControl::LargeViewHeight() {
  const TSize image = GetImageSize(cvsLarge);
  const int a = OnVerticalBar() ? image.cx : image.cy;
  if (!FDrawParams->ViewStructure.Contains(cpText)) return a + 6;
  TcxCanvas* canvas = GetPaintCanvas();
  const int t = canvas ? canvas->TextHeight(L"Qq") : 0;
  const TdxBarGlyphLayout layout = GlyphLayout();
  return (layout == glTop || layout == glBottom ? a + t + 7 : std::max(a, t)) + 6;
}

int TdxBarItemControl::IconAreaWidth() {
  if (FDrawParams->PaintType == ptMenu) return FParent ? FParent->IconAreaSize() : 0;
  if (!FDrawParams->ViewStructure.Contains(cpIcon)) return 0;
  const TSize button = FDrawParams->DefaultButtonSize;
  return OnVerticalBar() ? button.cy : button.cx;
}

int TdxBarItemControl::CaptionAreaWidth() {
  if (!FDrawParams->ViewStructure.Contains(cpText)) return 0;
  if (FDrawParams->PaintType != ptMenu) {
    if (!FDrawParams->ViewStructure.Contains(cpIcon)) return MeasureCaption() + 2 * GetCaptionOffset();
    return MeasureCaption() + Painter()->EditBaseIndents().Left;
  }
  int width = MeasureCaption();
  TdxBarItemLinks* owner = ItemLink() ? ItemLink()->Owner() : nullptr;
  TcxCanvas* canvas = GetPaintCanvas();
  if (owner && canvas) {
    if (owner->ItemOptionValue(ioShowShortCuts).AsBoolean() && FetchShortCut() != 0)
      width += canvas->TextWidth(FDrawParams->ShortCut) + (FParent ? FParent->TextSize() : FTextSize) - 6;
    if (owner->EffectiveMenuItemSize() == misLarge && owner->ItemOptionValue(ioShowDescriptions).AsBoolean() &&
        !FDrawParams->Description.empty())
      width = std::max(width, cxFitTextRect(canvas->Handle(), FDrawParams->Description, 2, false).Width());
  }
  const TRect indents = QueryIndents(1);
  return width + indents.Left + indents.Right + Painter()->GetTailAreaSize(this);
}

int TdxBarItemControl::MeasureCaption() {
  const TRect r = Painter()->MeasureCaptionRect(FDrawParams);
  return r.Right - r.Left;
}

int TdxBarItemControl::GetCaptionOffset() { return FParent ? FParent->Font()->Size() / 2 : 0; }

TRect TdxBarItemControl::QueryIndents(int APart) { return Painter()->ItemControlGetIndents(FDrawParams, APart); }

int TdxBarItemControl::CalcTextAreaOffset() { return Painter()->TextAreaOffset(this); }

// ---------------------------------------------------------------------------
// Images
// ---------------------------------------------------------------------------

String TdxBarItemControl::FetchCaption() { return ItemLink() ? ItemLink()->Caption() : String(); }
TBitmap* TdxBarItemControl::FetchGlyph() { return ItemLink() ? ItemLink()->Glyph() : nullptr; }
int TdxBarItemControl::FetchImageIndex() { return Item() ? Item()->ImageIndex() : -1; }
int TdxBarItemControl::FetchLargeImageIndex() { return Item() ? Item()->LargeImageIndex() : -1; }
TBitmap* TdxBarItemControl::FetchLargeGlyph() { return Item() ? Item()->LargeGlyph() : nullptr; }

TCustomImageList* TdxBarItemControl::FetchHotImages() {
  TdxBarManager* manager = BarManager();
  return manager && manager->ImageOptions() ? manager->ImageOptions()->HotImages() : nullptr;
}

TCustomImageList* TdxBarItemControl::SmallImageList() {
  TdxBarManager* manager = BarManager();
  TdxBarImageOptions* options = manager ? manager->ImageOptions() : nullptr;
  if (!options) return nullptr;
  if (!Enabled() && options->DisabledImages()) return options->DisabledImages();
  return options->Images();
}

TCustomImageList* TdxBarItemControl::LargeImageList() {
  TdxBarManager* manager = BarManager();
  TdxBarImageOptions* options = manager ? manager->ImageOptions() : nullptr;
  if (!options) return nullptr;
  if (!Enabled() && options->DisabledLargeImages()) return options->DisabledLargeImages();
  return options->LargeImages();
}

bool TdxBarItemControl::UsesLargeImages(TdxBarItemControlViewSize ASize) {
  if (ASize == cvsLarge) return true;
  TdxBarManager* manager = BarManager();
  return QueryPaintType() != ptMenu && LargeIconsActive() && manager &&
         manager->ImageOptions()->UseLargeImagesForLargeIcons();
}

int TdxBarItemControl::ImageIndexForSize(TdxBarItemControlViewSize ASize) {
  if (UsesLargeImages(ASize) && LargeImageList() && FetchLargeImageIndex() != -1) return FetchLargeImageIndex();
  return FetchImageIndex();
}

bool TdxBarItemControl::HasLargeImage(TdxBarItemControlViewSize ASize) {
  return UsesLargeImages(ASize) && ListHasImage(LargeImageList(), ImageIndexForSize(ASize));
}

bool TdxBarItemControl::HasLargeGlyph(TdxBarItemControlViewSize ASize) {
  return HasContent(FetchLargeGlyph()) && UsesLargeImages(ASize);
}

TCustomImageList* TdxBarItemControl::ImageListForSize(TdxBarItemControlViewSize ASize) {
  return HasLargeImage(ASize) ? LargeImageList() : SmallImageList();
}

bool TdxBarItemControl::ResolveImage(TdxBarItemControlViewSize ASize, bool, int& AIndex, TCustomImageList*& AList,
                                     TBitmap*& AGlyph) {
  AList = ImageListForSize(ASize);
  AIndex = ImageIndexForSize(ASize);
  if (HasLargeGlyph(ASize))
    AGlyph = FetchLargeGlyph();
  else if (HasLargeImage(ASize))
    AGlyph = nullptr;
  else
    AGlyph = FetchGlyph();
  if (!HasContent(AGlyph)) AGlyph = nullptr;
  return AGlyph || ListHasImage(AList, AIndex);
}

bool TdxBarItemControl::HasImage(TdxBarItemControlViewSize ASize) {
  int index;
  TCustomImageList* list;
  TBitmap* glyph;
  return ResolveImage(ASize, false, index, list, glyph);
}

TSize TdxBarItemControl::GetImageSize(TdxBarItemControlViewSize ASize, bool AHot) {
  int index;
  TCustomImageList* list;
  TBitmap* glyph;
  if (ResolveImage(ASize, AHot, index, list, glyph))
    return glyph ? TSize(glyph->Width(), glyph->Height()) : TSize(list->Width(), list->Height());
  if (ASize == cvsLarge) return TSize(20, 20);
  return TSize(CurrentGlyphSize(), CurrentGlyphSize());
}

bool TdxBarItemControl::DrawsImageAsIs() {
  if (Enabled()) return true;
  // A disabled glyph is drawn disabled; a disabled image list draws as it is.
  int index;
  TCustomImageList* list;
  TBitmap* glyph;
  ResolveImage(FDrawParams->ViewSize(), false, index, list, glyph);
  if (glyph) return false;
  TdxBarManager* manager = BarManager();
  TdxBarImageOptions* options = manager ? manager->ImageOptions() : nullptr;
  if (!options) return false;
  return HasLargeImage(FDrawParams->ViewSize()) ? options->DisabledLargeImages() != nullptr
                                                : options->DisabledImages() != nullptr;
}

// ---------------------------------------------------------------------------
// Style, drawing constants and draw parameters
// ---------------------------------------------------------------------------

TcxStyle* TdxBarItemControl::ItemStyle() { return Item() ? Item()->Style() : nullptr; }

bool TdxBarItemControl::StyleAssignsFont() {
  TcxStyle* style = ItemStyle();
  return style && style->AssignedValues().Contains(svFont);
}

void TdxBarItemControl::ApplyStyleFont(HFONT AFontHandle, TcxStyle* AStyle, TdxBarSavedFont& ASaved) {
  ASaved.Changed = false;
  const bool styleFont = AStyle && AStyle->AssignedValues().Contains(svFont);
  if (!AFontHandle && !styleFont) return;
  TcxCanvas* canvas = GetPaintCanvas();
  if (!canvas) return;
  if (GetObjectW(canvas->Font()->Handle(), sizeof(LOGFONTW), &ASaved.Font) == 0) return;
  ASaved.Changed = true;
  LOGFONTW font = ASaved.Font;
  if (AFontHandle) GetObjectW(AFontHandle, sizeof(LOGFONTW), &font);
  if (styleFont) {
    // The style gives the face and size; the bar keeps its direction, so
    // rotated text on a vertical bar stays rotated.
    GetObjectW(AStyle->Font()->Handle(), sizeof(LOGFONTW), &font);
    font.lfEscapement = ASaved.Font.lfEscapement;
    font.lfOrientation = ASaved.Font.lfEscapement;
    font.lfOutPrecision = ASaved.Font.lfOutPrecision;
  }
  AssignLogFont(canvas->Font(), font);
}

void TdxBarItemControl::RestoreStyleFont(TdxBarSavedFont& ASaved) {
  if (!ASaved.Changed) return;
  ASaved.Changed = false;
  if (TcxCanvas* canvas = GetPaintCanvas()) AssignLogFont(canvas->Font(), ASaved.Font);
}

void TdxBarItemControl::CalcDrawingConsts() {
  if (FBkBrush) {
    GdiDeleteObject(FBkBrush);
    FBkBrush = nullptr;
  }
  if (TcxStyle* style = ItemStyle(); style && style->AssignedValues().Contains(svColor) && style->Color() != clDefault) {
    LOGBRUSH brush{BS_SOLID, static_cast<COLORREF>(ColorToRGB(style->Color())), 0};
    FBkBrush = GdiCreateBrush(brush);
  }
  FTextSize = FParent ? FParent->CalcTextSize() : 0;
}

void TdxBarItemControl::RecalcDrawingConsts() {
  TdxBarSavedFont saved;
  ApplyStyleFont(nullptr, ItemStyle(), saved);
  try {
    CalcDrawingConsts();
  } catch (...) {
    RestoreStyleFont(saved);
    throw;
  }
  RestoreStyleFont(saved);
}

void TdxBarItemControl::FillDrawParams(bool AFull) {
  TdxBarItemControlDrawParams& p = *FDrawParams;
  if (AFull) {
    p.Caption = FetchCaption();
    p.Description = Item() ? Item()->Description() : String();
    p.ShortCut.clear();
    p.PaintType = QueryPaintType();
    p.Enabled = Enabled();
    p.CanSelect = IsSelectable();
    p.DrawSelected = DrawsSelected();
    p.IsDropDown = HasDropDown();
    p.HotPartIndex = FHotPartIndex;
    p.IsCustomizing = FParent && FParent->IsCustomizing();
    p.SelectedByKey = p.DrawSelected && !FSelectedByMouse;
  }
  p.Canvas = GetPaintCanvas();
  p.SetViewSize(ViewSizeForLevel(CurrentViewLevel()));
  p.ViewStructure = CalcViewStructure();
  p.DefaultButtonSize = Painter()->GetButtonSize(CurrentGlyphSize(), EffectiveTextSize());
  Painter()->FillItemPaintValues(this, p.PaintValues);
}

void TdxBarItemControl::ClearDrawingCache(bool AResetViewInfo) {
  if (AResetViewInfo && FViewInfo) FViewInfo->ResetCachedValues();
  if (FCachedImageOptions) FCachedImageOptions->Reset();
}

void TdxBarItemControl::RecalcState() {
  FillDrawParams(false);
  CalcParts();
}

void TdxBarItemControl::CalcParts() { FParts.assign(PartCount(), ItemBounds()); }

// ---------------------------------------------------------------------------
// Hit testing, hot tracking and painting
// ---------------------------------------------------------------------------

int TdxBarItemControl::HitTestPart(TPoint APoint) const {
  if (!ItemBounds().Contains(APoint)) return -1;
  for (size_t i = 0; i < FParts.size(); ++i)
    if (FParts[i].Contains(APoint)) return static_cast<int>(i);
  return 100;
}

void TdxBarItemControl::TrackHotPart(TPoint APoint) {
  if (!Enabled()) {
    FHotPartIndex = -1;
    return;
  }
  const int part = HitTestPart(APoint);
  if (part == FHotPartIndex) return;
  const int old = FHotPartIndex;
  FHotPartIndex = part;
  if (CanAnimateFading())
    if (TdxFader* fader = QueryFader()) {
      if (old == -1)
        fader->FadeIn(FadingObject());
      else if (part == -1)
        fader->FadeOut(FadingObject());
    }
  Repaint();
}

TcxCanvas* TdxBarItemControl::GetPaintCanvas() {
  if (FActiveCanvas) return FActiveCanvas;
  return FParent ? FParent->cxCanvas() : nullptr;
}

HBRUSH TdxBarItemControl::BackgroundBrush() {
  if (FBkBrush) return FBkBrush;
  return FParent ? FParent->BkBrush() : nullptr;
}

void TdxBarItemControl::Repaint() {
  if (FParent && FParent->HandleAllocated()) FParent->RepaintItemControl(this);
}

void TdxBarItemControl::Paint(TcxCanvas* ACanvas, const TRect& ARect, TdxBarPaintType APaintType) {
  if (ARect.IsEmpty()) return;
  ACanvas->SaveState();
  TcxCanvas* own = GetPaintCanvas();
  if (own && own != ACanvas) ACanvas->Font()->Assign(own->Font());
  FActiveCanvas = ACanvas;
  TdxBarSavedFont saved;
  auto finish = [&] {
    RestoreStyleFont(saved);
    FActiveCanvas = nullptr;
    FillDrawParams(false);
    ACanvas->RestoreState();
  };
  try {
    ApplyStyleFont(nullptr, ItemStyle(), saved);
    FillDrawParams(true);
    DrawInterior(ARect, APaintType);
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

// ---------------------------------------------------------------------------
// Pressing and clicking
// ---------------------------------------------------------------------------

void TdxBarItemControl::SetPressed(bool AValue) {
  if (FPressed == AValue) return;
  FPressed = AValue;
  PressedChanged();
}

void TdxBarItemControl::PressedChanged() {
  if (!FPressed) Repaint();
}

void TdxBarItemControl::BecomeActive(bool, bool) { FIsActive = true; }
void TdxBarItemControl::BecomeInactive(bool) { FIsActive = false; }

void TdxBarItemControl::ReleasePress(bool, bool&) {
  if (!FParent) return;
  FParent->SetIsDowned(false);
  FParent->SetSelectedItemControl(this);
}

void TdxBarItemControl::PressAndClick(bool AByMouse) {
  if (!Enabled()) return;
  TCustomdxBarControl* parent = FParent;
  Press(AByMouse);
  if (dxBarIsLiveControl(parent) && parent->OwnsItemControl(this)) ExecuteClick(AByMouse);
}

void TdxBarItemControl::HideMenus() {
  if (FParent) FParent->HideAll();
}

void TdxBarItemControl::ExecuteClick(bool) {
  TdxBarItemLink* link = ItemLink();
  if (!link) return;
  if (dynamic_cast<TdxBarButtonControl*>(this) && FParent && FParent->Kind() == bkSubMenu)
    dxBarPlayMenuSound(1);  // "MenuCommand"
  TdxBarItemLink* realLink = link->RealItemLink();
  TdxBarItem* item = link->Item();
  const bool executes = ClickExecutesItem();
  const bool closes = ClickClosesMenus();
  if (closes) {
    // The recent list is a convenience: its failure must not stop the click.
    try {
      realLink->BringToTopInRecentList(true);
      if (realLink != link) link->BringToTopInRecentList(true);
    } catch (...) {
    }
  }
  TcxObjectLink* self = cxCreateObjectLink(this);
  TcxObjectLink* itemAlive = item ? cxCreateObjectLink(item) : nullptr;
  const bool showPressed = UnclicksAfterClick() && (!closes || !(FParent && FParent->HidesOnDeactivate()));
  auto finish = [&] {
    if (itemAlive && itemAlive->Ref) item->SetClickItemLink(nullptr);
    if (self->Ref && showPressed) SetPressed(false);
    cxReleaseObjectLink(itemAlive);
    cxReleaseObjectLink(self);
  };
  try {
    if (showPressed) SetPressed(true);
    if (closes)
      HideMenus();
    else if (!realLink)
      realLink = link;
    if (executes && item && (!itemAlive || itemAlive->Ref)) {
      item->SetClickItemLink(realLink);
      item->DirectClick();
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

// ---------------------------------------------------------------------------
// Notices
// ---------------------------------------------------------------------------

void TdxBarItemControl::BeginGroupChanged() {
  if (FParent) FParent->RepaintBar();
}

void TdxBarItemControl::CaptionChanged() {
  if (EffectiveAlign() == iaClient && FParent && FParent->BehaviorOptions().Contains(bboExtendItemWhenAlignedToClient))
    Repaint();
  else if (FParent)
    FParent->RepaintBar();
}

void TdxBarItemControl::EnabledStateChanged() {
  // The hot state follows the cursor: the manager posts the bar a mouse move
  // at the cursor, and a disabled control never stays hot meanwhile.
  if (TdxBarManager* manager = BarManager(); manager && FParent) manager->RefreshHotTrackUnderMouse(FParent);
  if (!Enabled()) FHotPartIndex = -1;
  // IsSelected already says no for a disabled control the mouse selected:
  // the bar's own selection is what goes.
  if (!Enabled() && FParent && FParent->SelectedControl() == this) FParent->ChangeSelectedItemControl(nullptr);
  Repaint();
}

void TdxBarItemControl::ImageChanged() {
  const bool hadIcon = FDrawParams->ViewStructure.Contains(cpIcon);
  const bool levelsChange = FViewInfo && !(AllowedViewLevels() == FViewInfo->AllowedViewLevels());
  if (levelsChange || hadIcon != CalcViewStructure().Contains(cpIcon)) {
    if (FParent) FParent->RepaintBar();
  } else {
    Repaint();
  }
}

void TdxBarItemControl::LargeImageChanged() {
  if (FDrawParams->ViewSize() == cvsSmall) return;
  if (QueryPaintType() == ptMenu)
    Repaint();
  else if (FParent)
    FParent->RepaintBar();
}

void TdxBarItemControl::RefreshContent() {
  RecalcState();
  Repaint();
}

void TdxBarItemControl::LinkVisibilityChanged() {
  if (FParent) FParent->RepaintBar();
}

void TdxBarItemControl::WidthChanged() {
  if (dynamic_cast<TdxBarControl*>(FParent)) FParent->RepaintBar();
}
