#include "bars/controls/dxBarItemControls.h"

#include "bars/controls/dxBarControls.h"
#include "bars/controls/dxBarHintWindow.h"
#include "bars/controls/dxBarPainter.h"
#include "bars/controls/dxBarToolbarControl.h"
#include "foundation/cxClasses.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/dxCore.h"
#include "foundation/dxOffice11.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Menus.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Draw parameters and view info
// ---------------------------------------------------------------------------

BEGIN_CLASS(TdxBarItemControlDrawParams, TObject, (ConstructWith<TdxBarItemControlDrawParams, TdxBarItemControl>))
END_CLASS
BEGIN_CLASS(TdxBarButtonLikeControlDrawParams, TdxBarItemControlDrawParams,
            (ConstructWith<TdxBarButtonLikeControlDrawParams, TdxBarItemControl>))
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
IMPLEMENT_CLASS(TdxBarItemControlViewInfo, TObject, nullptr)

void TdxBarItemControlDrawParams::SetViewSize(TdxBarItemControlViewSize AValue) {
  if (FViewSize == AValue) return;
  FViewSize = AValue;
  if (FBarItemControl) FBarItemControl->ClearDrawingCache(false);
}

TdxBarItemControlViewInfo::TdxBarItemControlViewInfo(TdxBarItemControl* AControl) : FControl(AControl) {
  const TdxBarItemViewLevels possible = AControl->CheckedPossibleViewLevels();
  FAllowedViewLevels = AControl->AllowedViewLevels();
  FMinPossibleViewLevel = static_cast<TdxBarItemViewLevel>(dxBarMostCompactViewLevel(possible));
  const int compact = dxBarMostCompactViewLevel(FAllowedViewLevels);
  FViewLevelForButtonGroup =
      FMinPossibleViewLevel == ivlLargeIconWithText ? FMinPossibleViewLevel : static_cast<TdxBarItemViewLevel>(compact);
}

int TdxBarItemControlViewInfo::WidthAtViewLevel(TdxBarItemViewLevel ALevel) {
  // The layout asks only for allowed levels; a level the control cannot show
  // is answered with its most compact allowed one rather than an error a
  // user would see.
  if (ALevel > ivlControlOnly || !FAllowedViewLevels.Contains(ALevel))
    ALevel = static_cast<TdxBarItemViewLevel>(dxBarMostCompactViewLevel(FAllowedViewLevels));
  TLevelInfo& info = FLevelInfos[ALevel];
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
  for (TLevelInfo& info : FLevelInfos) info = TLevelInfo();
}

// ---------------------------------------------------------------------------
// TdxBarItemControl
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
  FViewInfo = Make<TdxBarItemControlViewInfo>(this);
  RecalcDrawingConsts();
  FHotPartIndex = -1;
  DoFillDrawParams(true);
  if (FParent) FViewInfo->SetViewLevel(FParent->DefaultItemViewLevel(this));
}

void TdxBarItemControl::BeforeDestruction() {
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
  cxClearObjectLinks(this);
  TdxBarItemControlBase::BeforeDestruction();
}

TdxBarItemControl::~TdxBarItemControl() {
  if (FParent && FParent->ViewInfo() && !FParent->IsDestroying()) FParent->ViewInfo()->RemoveItemControlViewInfo(FViewInfo);
  TObject::Free(FViewInfo);
  TObject::Free(FDrawParams);
  FParent = nullptr;
}

TdxBarManager* TdxBarItemControl::BarManager() const { return ItemLink() ? ItemLink()->BarManager() : nullptr; }

const TdxBarPainter* TdxBarItemControl::Painter() const {
  return FParent ? FParent->Painter() : TdxBarPainter::Instance();
}

TRect TdxBarItemControl::ItemBounds() const { return ItemLink() ? ItemLink()->ItemRect() : TRect(); }

bool TdxBarItemControl::Enabled() { return Item() && Item()->Enabled(); }

bool TdxBarItemControl::IsSelected() {
  return FParent && FParent->SelectedControl() == this && !(!Enabled() && FSelectedByMouse);
}

bool TdxBarItemControl::IsSelectable() {
  if (FParent && FParent->IsCustomizing() && Item() && BarManager() != Item()->BarManager()) return false;
  return true;
}

bool TdxBarItemControl::AllowsCustomizing() {
  TdxBarManager* manager = BarManager();
  return Item() && (manager == Item()->BarManager() || (manager && manager->ComponentState().Contains(csAncestor)));
}

bool TdxBarItemControl::AcceptsDoubleClick() {
  TdxBarManager* manager = BarManager();
  return (manager && manager->Designing()) || OpensSubItems();
}

bool TdxBarItemControl::GetHintInfo(String& AHint, String& AShortCut) {
  if (!FParent || !FParent->CanShowItemHints() || FParent->SelectedControl() != this) return false;
  AHint = ShortHint();
  AShortCut = Item() && Item()->ShortCut() ? ShortCutToText(Item()->ShortCut()) : String();
  return true;
}

TdxBarCustomHintViewInfo* TdxBarItemControl::MakeHintView(const String& AHint, const String& AShortCut) {
  return dxBarCreateHintViewInfo(BarManager(), AHint, AShortCut, Painter(), Item() ? Item()->ScreenTip() : nullptr);
}

TPoint TdxBarItemControl::CalcHintPlacement(const TPoint& ACursorPos, int AWindowHeight) {
  TPoint p = ACursorPos;
  if (FParent) FParent->AdjustHintPosition(p, AWindowHeight);
  return p;
}

String TdxBarItemControl::ShortHint() {
  const String hint = Item() ? Item()->Hint() : String();
  const size_t bar = hint.find(L'|');
  return bar == String::npos ? hint : hint.substr(0, bar);
}

// ---- view levels and sizes

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

TdxBarItemControlViewSize TdxBarItemControl::CalcViewSize() {
  TdxBarItemLinks* owner = ItemLink() ? ItemLink()->Owner() : nullptr;
  if (owner && owner->EffectiveMenuItemSize() == misLarge) return cvsLarge;
  return LargeIconsActive() ? cvsMedium : cvsSmall;
}

// The manager keeps no large-icon switch of its own yet: small icons.
bool TdxBarItemControl::LargeIconsActive() { return false; }

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
  DoFillDrawParams(false);
  const bool extends = EffectiveAlign() == iaClient && FParent &&
                       FParent->BehaviorOptions().Contains(bboExtendItemWhenAlignedToClient) &&
                       !FParent->IsRealVertical();
  if (extends) return MinimalWidth();
  return std::max(CalcWidth(), MinimalWidth());
}

int TdxBarItemControl::Height() {
  DoFillDrawParams(false);
  if (EffectiveAlign() == iaClient && FParent && FParent->IsRealVertical())
    return FParent->IsVertical() ? MinimalWidth() : MinimalHeight();
  return std::max(CalcHeight(), MinimalHeight());
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
  if (FDrawParams->ViewStructure.Contains(cpText)) height = std::max(0, FParent ? FParent->TextSize() : FTextSize);
  if (FDrawParams->ViewStructure.Contains(cpIcon)) {
    const TSize button = FDrawParams->DefaultButtonSize;
    height = std::max(height, OnVerticalBar() ? button.cx : button.cy);
  }
  return height;
}

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
  if (FDrawParams->PaintType == ptMenu) {
    int width = MeasureCaption();
    const TRect indents = Painter()->ItemControlGetIndents(FDrawParams, 1);
    return width + indents.Left + indents.Right + Painter()->GetTailAreaSize(this);
  }
  if (!FDrawParams->ViewStructure.Contains(cpIcon)) return MeasureCaption() + 2 * GetCaptionOffset();
  return MeasureCaption() + Painter()->EditBaseIndents().Left;
}

int TdxBarItemControl::MeasureCaption() {
  TcxCanvas* canvas = GetPaintCanvas();
  if (!canvas) return 0;
  const String caption = dxBarRemoveAccelChars(FDrawParams->Caption);
  return caption.empty() ? 0 : canvas->TextWidth(caption);
}

int TdxBarItemControl::GetCaptionOffset() {
  // Half the bar font's character height: the painter's rule, which the
  // toolbar's caption layout also follows.
  return Painter()->GetControlCaptionOffset(this);
}

// ---- images

String TdxBarItemControl::FetchCaption() { return ItemLink() ? ItemLink()->Caption() : String(); }
TBitmap* TdxBarItemControl::FetchGlyph() { return ItemLink() ? ItemLink()->Glyph() : nullptr; }
int TdxBarItemControl::FetchImageIndex() { return Item() ? Item()->ImageIndex() : -1; }
int TdxBarItemControl::FetchLargeImageIndex() { return Item() ? Item()->LargeImageIndex() : -1; }
TBitmap* TdxBarItemControl::FetchLargeGlyph() { return Item() ? Item()->LargeGlyph() : nullptr; }

TCustomImageList* TdxBarItemControl::SmallImageList() {
  TdxBarManager* manager = BarManager();
  return manager ? manager->Images() : nullptr;
}

TCustomImageList* TdxBarItemControl::LargeImageList() {
  TdxBarManager* manager = BarManager();
  return manager && manager->ImageOptions() ? manager->ImageOptions()->LargeImages() : nullptr;
}

bool TdxBarItemControl::UsesLargeImages(TdxBarItemControlViewSize ASize) { return ASize == cvsLarge; }

namespace {

bool ListHasImage(TCustomImageList* AList, int AIndex) { return AList && AIndex >= 0 && AIndex < AList->Count(); }
bool HasContent(TBitmap* ABitmap) { return ABitmap && !ABitmap->Empty(); }

}  // namespace

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
  TCustomImageList* images = SmallImageList();
  const int size = images ? images->Width() : 16;
  return TSize(size, size);
}

// ---- state

void TdxBarItemControl::DoFillDrawParams(bool AFull) {
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
  TCustomImageList* images = SmallImageList();
  p.DefaultButtonSize = Painter()->GetButtonSize(images ? images->Width() : 16, FParent ? FParent->TextSize() : 0);
  Painter()->FillItemPaintValues(this, p.PaintValues);
}

void TdxBarItemControl::RecalcDrawingConsts() { FTextSize = FParent ? FParent->CalcTextSize() : 0; }

void TdxBarItemControl::ClearDrawingCache(bool AResetViewInfo) {
  if (AResetViewInfo && FViewInfo) FViewInfo->ResetCachedValues();
}

void TdxBarItemControl::RecalcState() {
  DoFillDrawParams(false);
  CalcParts();
}

void TdxBarItemControl::CalcParts() { FParts.assign(PartCount(), ItemBounds()); }

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
  FHotPartIndex = part;
  Repaint();
}

TcxCanvas* TdxBarItemControl::GetPaintCanvas() {
  if (FActiveCanvas) return FActiveCanvas;
  return FParent ? FParent->cxCanvas() : nullptr;
}

HBRUSH TdxBarItemControl::BackgroundBrush() { return FParent ? FParent->BkBrush() : nullptr; }

void TdxBarItemControl::Repaint() {
  if (FParent && FParent->HandleAllocated()) FParent->RepaintItemControl(this);
}

void TdxBarItemControl::Paint(TcxCanvas* ACanvas, const TRect& ARect, TdxBarPaintType) {
  if (ARect.IsEmpty()) return;
  ACanvas->SaveState();
  TcxCanvas* own = GetPaintCanvas();
  if (own && own != ACanvas) ACanvas->Font()->Assign(own->Font());
  FActiveCanvas = ACanvas;
  try {
    DoFillDrawParams(true);
    DrawInterior(ARect);
  } catch (...) {
    FActiveCanvas = nullptr;
    DoFillDrawParams(false);
    ACanvas->RestoreState();
    throw;
  }
  FActiveCanvas = nullptr;
  DoFillDrawParams(false);
  ACanvas->RestoreState();
}

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
  if (dynamic_cast<TdxBarButtonControl*>(this) && FParent && FParent->Kind() == bkSubMenu) dxBarPlayMenuSound(1);
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

// ---- notices

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
  if (!Enabled() && IsSelected() && FParent) FParent->ChangeSelectedItemControl(nullptr);
  if (!Enabled()) FHotPartIndex = -1;
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

// ---------------------------------------------------------------------------
// Delayed drop-down timers
// ---------------------------------------------------------------------------

namespace {

struct TDropDownSlot {
  TdxBarButtonLikeControl* Control = nullptr;
  UINT_PTR TimerID = 0;
};

TDropDownSlot& OpenSlot() {
  static TDropDownSlot slot;
  return slot;
}

TDropDownSlot& CloseSlot() {
  static TDropDownSlot slot;
  return slot;
}

void CancelSlot(TDropDownSlot& ASlot) {
  if (ASlot.TimerID) KillTimer(nullptr, ASlot.TimerID);
  ASlot = TDropDownSlot();
}

void CALLBACK OpenTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  GuardCallback([] {
    TdxBarButtonLikeControl* control = OpenSlot().Control;
    CancelSlot(OpenSlot());
    if (control) control->BecomeActive(true, true);
  });
}

void CALLBACK CloseTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  GuardCallback([] {
    TdxBarButtonLikeControl* control = CloseSlot().Control;
    CancelSlot(CloseSlot());
    if (control) control->BecomeInactive(true);
  });
}

void StartSlot(TDropDownSlot& ASlot, TdxBarButtonLikeControl* AControl, TIMERPROC AProc) {
  CancelSlot(ASlot);
  ASlot.Control = AControl;
  ASlot.TimerID = SetTimer(nullptr, 0, 400, AProc);
}

void CancelDropDownTimers(TdxBarButtonLikeControl* AControl) {
  if (OpenSlot().Control == AControl) CancelSlot(OpenSlot());
  if (CloseSlot().Control == AControl) CancelSlot(CloseSlot());
}

void ScheduleDropDown(TdxBarButtonLikeControl* AControl, bool AOpen) {
  if (AOpen) {
    if (CloseSlot().Control == AControl) CancelSlot(CloseSlot());
    StartSlot(OpenSlot(), AControl, &OpenTimerProc);
  } else {
    if (OpenSlot().Control == AControl) CancelSlot(OpenSlot());
    if (AControl->IsDroppedDown()) StartSlot(CloseSlot(), AControl, &CloseTimerProc);
  }
}

}  // namespace

bool dxBarDropDownOpenPending(TdxBarButtonLikeControl* AControl) { return AControl && OpenSlot().Control == AControl; }
bool dxBarDropDownClosePending(TdxBarButtonLikeControl* AControl) {
  return AControl && CloseSlot().Control == AControl;
}

// ---------------------------------------------------------------------------
// TdxBarButtonLikeControl
// ---------------------------------------------------------------------------

BEGIN_CLASS(TdxBarButtonLikeControl, TdxBarItemControl, (ConstructWith<TdxBarButtonLikeControl, TdxBarItemLink>))
END_CLASS

void TdxBarButtonLikeControl::BeforeDestruction() {
  CancelDropDownTimers(this);
  TdxBarItemControl::BeforeDestruction();
}

int TdxBarButtonLikeControl::DropDownArrowWidth() {
  if (FParent && FParent->Kind() == bkSubMenu) return FParent->MenuArrowWidth();
  return Painter()->RealButtonArrowWidth(BarManager());
}

bool TdxBarButtonLikeControl::CanDropDownNow() {
  TdxBarManager* manager = BarManager();
  return Enabled() || (manager && manager->Designing());
}

void TdxBarButtonLikeControl::OpenByPress(bool) {
  if (FParent) FParent->SetIsDowned(true);
}

bool TdxBarButtonLikeControl::ArrowInTextColor() { return Painter()->ArrowUsesTextColor(); }

bool TdxBarButtonLikeControl::HasCustomSelectedTextColor() {
  return Painter()->IsCustomSelectedTextColorExists(this);
}

void TdxBarButtonLikeControl::DoFillDrawParams(bool AFull) {
  TdxBarItemControl::DoFillDrawParams(AFull);
  TdxBarButtonLikeControlDrawParams* p = ButtonParams();
  if (AFull) {
    p->IsTextSelected = HasCustomSelectedTextColor();
    p->IsFlatText = ArrowInTextColor();
  }
  p->ArrowSize = TSize(DropDownArrowWidth(), FParent ? FParent->MenuArrowHeight() : 4);
}

void TdxBarButtonLikeControl::DrawInterior(const TRect& ARect) { Painter()->DrawButtonLikeControl(ButtonParams(), ARect); }

void TdxBarButtonLikeControl::BecomeActive(bool AImmediately, bool AByMouse) {
  if (IsDroppedDown()) {
    CancelDropDownTimers(this);
    return;
  }
  FIsActive = true;
  if (!HasDropDown() || !CanDropDownNow()) return;
  TdxBarManager* manager = BarManager();
  const bool customizing = manager && manager->IsCustomizing();
  bool now = AImmediately || customizing;
  if (dynamic_cast<TdxBarControl*>(FParent)) {
    if (!customizing && !FParent->IsDowned()) return;
    now = true;
  }
  if (now) {
    if (TdxBarButtonLikeControl* closing = CloseSlot().Control) {
      CancelSlot(CloseSlot());
      closing->BecomeInactive(true);
    }
    DropDown(AByMouse);
  } else {
    ScheduleDropDown(this, true);
  }
}

void TdxBarButtonLikeControl::BecomeInactive(bool AImmediately) {
  TdxBarManager* manager = BarManager();
  if (dynamic_cast<TdxBarControl*>(FParent) || AImmediately || !FParent || FParent->IsDestroying() ||
      (manager && manager->IsCustomizing())) {
    FIsActive = false;
    CloseUp(false);
  } else {
    ScheduleDropDown(this, false);
  }
}

void TdxBarButtonLikeControl::ReleasePress(bool AIsSelected, bool& AStop) {
  if (!AIsSelected) {
    TdxBarItemControl::ReleasePress(AIsSelected, AStop);
  } else if (FParent && FParent->IsDowned() && IsDroppedDown()) {
    FParent->BarLostFocus();
  }
}

bool TdxBarButtonLikeControl::IsAcceleratorChar(Word AKey) {
  if (!HasDropDown()) return false;
  if (FParent && FParent->Kind() == bkSubMenu) return AKey == VK_RIGHT;
  return AKey == VK_UP || AKey == VK_DOWN;
}

void TdxBarButtonLikeControl::HandleKeyDown(Word& AKey, TShiftState) {
  if (IsAcceleratorChar(AKey)) OpenByPress(false);
}

void TdxBarButtonLikeControl::CloseUp(bool) {
  CancelDropDownTimers(this);
  Repaint();
}

// ---------------------------------------------------------------------------
// TdxBarButtonControl
// ---------------------------------------------------------------------------

BEGIN_CLASS(TdxBarButtonControl, TdxBarButtonLikeControl, (ConstructWith<TdxBarButtonControl, TdxBarItemLink>))
END_CLASS

TdxBarPaintStyle TdxBarButtonControl::EffectivePaintStyle() {
  TdxBarPaintStyle style = ItemLink() ? ItemLink()->PaintStyle() : psStandard;
  if (style == psStandard && dynamic_cast<TdxBarControl*>(FParent)) AdjustPaintStyle(style);
  return style;
}

void TdxBarButtonControl::AdjustPaintStyle(TdxBarPaintStyle& AStyle) {
  if (!HasImage(ViewSizeForLevel(CurrentViewLevel()))) AStyle = psCaption;
}

TdxBarItemControlViewStructure TdxBarButtonControl::DefaultViewStructure() {
  const bool menu = FDrawParams->PaintType == ptMenu;
  switch (EffectivePaintStyle()) {
    case psStandard:
      if (menu) return {cpIcon, cpText};
      return HasImage(ViewSizeForLevel(CurrentViewLevel())) ? TdxBarItemControlViewStructure{cpIcon}
                                                            : TdxBarItemControlViewStructure{cpText};
    case psCaption: return {cpText};
    case psCaptionInMenu: return menu ? TdxBarItemControlViewStructure{cpText} : TdxBarItemControlViewStructure{cpIcon};
    default: return {cpIcon, cpText};
  }
}

TdxBarItemControlViewStructure TdxBarButtonControl::CalcViewStructure() {
  if (CurrentViewLevel() == ivlSmallIcon) return {cpIcon};
  return TdxBarButtonLikeControl::CalcViewStructure();
}

bool TdxBarButtonControl::IsPressedNow() {
  if (FPressed && !(ButtonItem() && ButtonItem()->IsCheckable())) return true;
  if (!DrawsSelected() || !FParent || !FParent->IsActive() || !Enabled() || FHotPartIndex != 0) return false;
  if ((GetKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) & 0x8000) == 0) return false;
  if (!FParent->HandleAllocated()) return false;
  POINT p;
  GetCursorPos(&p);
  return ItemBounds().Contains(FParent->ScreenToClient(TPoint(p.x, p.y)));
}

bool TdxBarButtonControl::DrawsSelected() {
  return (IsSelected() && !(FParent && FParent->IsCustomizing())) || FPressed;
}

void TdxBarButtonControl::DoFillDrawParams(bool AFull) {
  TdxBarButtonLikeControl::DoFillDrawParams(AFull);
  if (!AFull) return;
  TdxBarButtonLikeControlDrawParams* p = ButtonParams();
  TdxBarButton* button = ButtonItem();
  p->ShortCut = Item() && Item()->ShortCut() ? ShortCutToText(Item()->ShortCut()) : String();
  p->IsPressed = IsPressedNow();
  p->Downed = button && button->Down();
  p->DrawDowned = p->IsPressed;
  p->DroppedDown = FDroppedDown;
  p->DroppedDownFlat = Painter()->IsFlatItemText() && FDroppedDown;
  p->SplitDropDown = true;
  p->DropDownEnabled = button && button->DropDownEnabled();
  p->IsLowered = button && button->Lowered();
}

void TdxBarButtonControl::CalcParts() {
  TdxBarButtonLikeControl::CalcParts();
  Painter()->CalculateButtonParts(ButtonParams(), FParts, ItemBounds());
}

int TdxBarButtonControl::PartCount() { return FDrawParams->IsDropDown ? 2 : 1; }

bool TdxBarButtonControl::HasDropDown() {
  TdxBarButton* button = ButtonItem();
  if (!button) return false;
  const TdxBarButtonStyle style = button->ButtonStyle();
  return style == bsDropDown || style == bsCheckedDropDown;
}

bool TdxBarButtonControl::ClickClosesMenus() {
  if (dynamic_cast<TdxBarControl*>(FParent)) return true;
  TdxBarButton* button = ButtonItem();
  return !button || button->CloseSubMenuOnClick();
}

bool TdxBarButtonControl::CapturesMouse() { return !FDroppedDown && FParent && FParent->Kind() == bkBarQuickControl; }

bool TdxBarButtonControl::UnclicksAfterClick() {
  TdxBarButton* button = ButtonItem();
  return !button || button->UnclickAfterDoing();
}

void TdxBarButtonControl::PaintStyleChanged() {
  if (FParent) FParent->RepaintBar();
}

void TdxBarButtonControl::Press(bool AByMouse) {
  if (dynamic_cast<TdxBarControl*>(FParent) && !FParent->IsDowned()) return;
  if (HasDropDown() && FHotPartIndex == 1 && (GetKeyState(VK_LBUTTON) & 0x8000)) {
    OpenByPress(AByMouse);
  } else if (dynamic_cast<TdxBarControl*>(FParent) || HasDropDown()) {
    Repaint();
  }
}

void TdxBarButtonControl::ExecuteClick(bool AByMouse) {
  // A release on the arrow of a split button opens nothing and clicks nothing.
  if (AByMouse && FHotPartIndex != 0) return;
  if (TdxBarButton* button = ButtonItem(); button && button->IsCheckable()) button->SetDown(!button->Down());
  BecomeInactive(true);
  TdxBarButtonLikeControl::ExecuteClick(AByMouse);
}

void TdxBarButtonControl::ReleasePress(bool AIsSelected, bool& AStop) {
  if (AIsSelected && FParent && FParent->IsDowned() && FDroppedDown && FHotPartIndex == 0) {
    if (FParent->BehaviorOptions().Contains(bboSubMenuCaptureMouse)) FParent->BarLostFocus();
    FParent->BarGetFocus(this);
  } else {
    TdxBarButtonLikeControl::ReleasePress(AIsSelected, AStop);
  }
}

void TdxBarButtonControl::OpenByPress(bool AByMouse) {
  TdxBarButtonLikeControl::OpenByPress(AByMouse);
  BecomeActive(true, AByMouse);
}

bool TdxBarButtonControl::ArrowInTextColor() {
  return !HasCustomSelectedTextColor() || TdxBarButtonLikeControl::ArrowInTextColor();
}

bool TdxBarButtonControl::HasCustomSelectedTextColor() {
  const TdxBarPainter* painter = Painter();
  if (!painter->IsFlatItemText()) return false;
  const bool down = ButtonItem() && ButtonItem()->Down();
  const bool pressedNow = IsPressedNow();
  if ((pressedNow || (down && DrawsSelected())) && painter->IsItemTextSelectedInverted()) return true;
  if (pressedNow || down || DrawsSelected())
    return (dxIsButtonFaceWhite() && !FDroppedDown) || painter->IsCustomSelectedTextColorExists(this);
  return false;
}

int TdxBarButtonControl::CalcHeight() {
  int height = TdxBarButtonLikeControl::CalcHeight();
  if (ButtonItem() && ButtonItem()->Lowered()) height += 2 * Painter()->LoweredBorderSize(this);
  return height;
}

int TdxBarButtonControl::CalcWidth() {
  int width = TdxBarButtonLikeControl::CalcWidth();
  Painter()->AddArrowWidth(ButtonParams(), width);
  if (ButtonItem() && ButtonItem()->Lowered()) width += 2 * Painter()->LoweredBorderSize(this);
  return width;
}

int TdxBarButtonControl::NormalViewHeight() {
  int height = TdxBarButtonLikeControl::NormalViewHeight();
  if (FDrawParams->ViewStructure.Contains(cpText)) {
    const TSize button = FDrawParams->DefaultButtonSize;
    height = std::max(height, OnVerticalBar() ? button.cx : button.cy);
  }
  return height;
}

void TdxBarButtonControl::CloseUp(bool AHasSubMenu) {
  FDroppedDown = false;
  TdxBarButtonLikeControl::CloseUp(AHasSubMenu);
}

// ---------------------------------------------------------------------------
// TdxBarLargeButtonControl
// ---------------------------------------------------------------------------

BEGIN_CLASS(TdxBarLargeButtonControl, TdxBarButtonControl, (ConstructWith<TdxBarLargeButtonControl, TdxBarItemLink>))
END_CLASS

int TdxBarLargeButtonControl::DropDownArrowWidth() {
  if (dynamic_cast<TdxBarControl*>(FParent)) return Painter()->RealLargeButtonArrowWidth(BarManager());
  return TdxBarButtonControl::DropDownArrowWidth();
}

TdxBarItemControlViewStructure TdxBarLargeButtonControl::DefaultViewStructure() {
  if (FDrawParams->PaintType == ptMenu) return TdxBarButtonControl::DefaultViewStructure();
  return Item() && Item()->ShowCaption() ? TdxBarItemControlViewStructure{cpIcon, cpText}
                                         : TdxBarItemControlViewStructure{cpIcon};
}

TdxBarItemControlViewSize TdxBarLargeButtonControl::CalcViewSize() {
  if (QueryPaintType() == ptMenu) return TdxBarButtonControl::CalcViewSize();
  return cvsLarge;
}

TdxBarItemViewLevels TdxBarLargeButtonControl::GetPossibleViewLevels() {
  return TdxBarButtonControl::GetPossibleViewLevels() + TdxBarItemViewLevels{ivlLargeIconWithText};
}

int TdxBarLargeButtonControl::HeightForViewSize() {
  TdxBarLargeButton* item = LargeButtonItem();
  return item && item->Height() != 0 ? item->Height() : TdxBarButtonControl::HeightForViewSize();
}

int TdxBarLargeButtonControl::WidthForViewSize() {
  return Item() && Item()->Width() != 0 ? Item()->Width() : TdxBarButtonControl::WidthForViewSize();
}

TdxBarGlyphLayout TdxBarLargeButtonControl::GlyphLayout() {
  TdxBarLargeButton* item = LargeButtonItem();
  return item ? item->GlyphLayout() : glTop;
}
