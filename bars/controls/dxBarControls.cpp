#include "bars/controls/dxBarControls.h"

#include "bars/controls/dxBarDockControl.h"
#include "bars/controls/dxBarHintWindow.h"
#include "bars/controls/dxBarPainter.h"
#include "bars/controls/dxBarPainters.h"
#include "bars/controls/dxBarShadows.h"
#include "bars/controls/dxBarToolbarControl.h"
#include "bars/model/dxBarHooks.h"
#include "bars/model/dxBarRoutines.h"
#include "bars/model/dxBarScreenTip.h"
#include "foundation/cxClasses.h"
#include "foundation/cxControlsRoutines.h"
#include "foundation/cxControlsTracking.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/dxFading.h"
#include "foundation/dxOffice11.h"
#include "platform/gui/Forms.h"
#include "platform/gui/GdiAccounting.h"

#include <algorithm>

namespace {

TCustomdxBarControl*& ActiveBarControl() {
  static TCustomdxBarControl* active = nullptr;
  return active;
}

// Whether customizing was on when the first bar of the present chain became active.
bool& CustomizingAtActivation() {
  static bool customizing = false;
  return customizing;
}

TPoint CursorPos() {
  POINT p{};
  GetCursorPos(&p);
  return TPoint(p.x, p.y);
}

TRect WindowRectOf(HWND AWnd) {
  RECT r{};
  if (!AWnd || !GetWindowRect(AWnd, &r)) return TRect();
  return TRect(r.left, r.top, r.right, r.bottom);
}

// Follows a bar through calls that may free it.
class TBarLink {
 public:
  explicit TBarLink(TObject* AObject) : FLink(cxCreateObjectLink(AObject)) {}
  ~TBarLink() { cxReleaseObjectLink(FLink); }
  TBarLink(const TBarLink&) = delete;
  TBarLink& operator=(const TBarLink&) = delete;
  bool Alive() const { return FLink->Ref != nullptr; }

 private:
  TcxObjectLink* FLink;
};

// Sets a flag of the bar's state for a scope.
class TStateScope {
 public:
  TStateScope(TdxBarStates& AStates, TdxBarState AState) : FStates(AStates), FState(AState) {
    FStates.Include(FState);
  }
  ~TStateScope() { FStates.Exclude(FState); }
  TStateScope(const TStateScope&) = delete;
  TStateScope& operator=(const TStateScope&) = delete;

 private:
  TdxBarStates& FStates;
  TdxBarState FState;
};

}  // namespace

TCustomdxBarControl* dxBarActiveBarControl() { return ActiveBarControl(); }

namespace {

// The active bar and the bars it was opened from, as the hooks see them.
class TdxBarControlsActiveMenus : public IdxBarActiveMenus {
 public:
  HWND ActiveWindow() override {
    TCustomdxBarControl* active = Active();
    return active ? active->BarWindow() : nullptr;
  }
  TdxBarManager* ActiveManager() override {
    TCustomdxBarControl* active = Active();
    return active ? active->BarManager() : nullptr;
  }
  bool ActiveIsCustomized() override {
    TCustomdxBarControl* active = Active();
    return active && active->IsCustomizing();
  }
  bool EditHasFocus() override {
    TCustomdxBarControl* active = Active();
    TdxBarItemControl* selected = active ? active->SelectedControl() : nullptr;
    const HWND focus = GetFocus();
    return selected && selected->HasWindow() && focus && focus != active->BarWindow() && selected->OwnsWindow(focus);
  }
  bool AllowsMouseWheel() override {
    TCustomdxBarControl* active = Active();
    return active && active->AllowsMouseWheel();
  }
  bool IsOverItemControl(const POINT& AScreenPoint) override {
    const TPoint point(AScreenPoint.x, AScreenPoint.y);
    for (TCustomdxBarControl* bar = Active(); bar; bar = bar->ParentBar())
      if (bar->IsPointInside(point) && bar->ItemAtPos(bar->ScreenToClient(point))) return true;
    return false;
  }
  bool ChainOwnsWindow(HWND AWnd) override { return OwnerOf(AWnd) != nullptr; }
  void OwnedWindowMouseDown(HWND AWnd) override {
    if (TCustomdxBarControl* bar = OwnerOf(AWnd)) bar->OwnedWindowMouseDown(AWnd);
  }
  void HideAll() override {
    if (TCustomdxBarControl* active = Active()) active->HideAll();
  }
  bool ShouldHideOnFocusChange(HWND AFocusedWnd) override {
    TCustomdxBarControl* active = Active();
    if (!active || OwnerOf(AFocusedWnd)) return false;
    return active->ShouldHideOnFocusChange(active->BarManager(), AFocusedWnd);
  }
  bool ActiveHidesOnDeactivate() override {
    TCustomdxBarControl* active = Active();
    return active && active->HidesOnDeactivate();
  }
  std::vector<TdxBarItemControlBase*> HelpItemControls() override {
    std::vector<TdxBarItemControlBase*> result;
    for (TCustomdxBarControl* bar = Active(); bar; bar = bar->ParentBar())
      if (TdxBarItemControl* selected = bar->SelectedControl()) result.push_back(selected);
    return result;
  }

 private:
  static TCustomdxBarControl* Active() {
    TCustomdxBarControl* active = ActiveBarControl();
    return dxBarIsLiveControl(active) ? active : nullptr;
  }
  // The bar of the chain whose window, child window, in-place window or
  // owner window that is; nil when none.
  static TCustomdxBarControl* OwnerOf(HWND AWnd) {
    if (!AWnd) return nullptr;
    for (TCustomdxBarControl* bar = Active(); bar; bar = bar->ParentBar())
      if (AWnd == bar->BarWindow() || bar->OwnsWindow(AWnd) || bar->IsOwnerWindow(AWnd)) return bar;
    return nullptr;
  }
};

}  // namespace

IdxBarActiveMenus* dxBarControlsActiveMenus() {
  static TdxBarControlsActiveMenus menus;
  return &menus;
}

// ---------------------------------------------------------------------------
// Layout values
// ---------------------------------------------------------------------------

TdxBarMenuItemPlacement dxBarPlaceMenuItems(const TRect& AArea, const std::vector<TdxBarMenuItemExtent>& AItems,
                                            bool ACanShowPartialItem) {
  TdxBarMenuItemPlacement result;
  result.Rects.resize(AItems.size());
  result.Bottom = AArea.Top;
  for (size_t i = 0; i < AItems.size(); ++i) {
    const int top = result.Bottom + AItems[i].BeginGroupSize;
    const TRect r(AArea.Left, top, AArea.Right, top + AItems[i].Height);
    if (r.Bottom > AArea.Bottom) {
      // The bottom stays where the last whole item ended, unless a partly shown item fills the area.
      if (ACanShowPartialItem) {
        result.Rects[i] = r;
        result.Bottom = AArea.Bottom;
      }
      break;
    }
    result.Rects[i] = r;
    result.Bottom = r.Bottom;
  }
  return result;
}

bool dxBarIsAdjacentToOwner(const TRect& O, const TRect& B) {
  return ((O.Bottom == B.Top || O.Top == B.Bottom) && O.Left < B.Right && B.Left < O.Right) ||
         ((O.Right == B.Left || O.Left == B.Right) && O.Top < B.Bottom && B.Top < O.Bottom);
}

TRect dxBarCalcOwnerLinkRect(const TRect& AOwner, const TRect& ABounds, bool AInParent) {
  if (AOwner.IsEmpty() || !dxBarIsAdjacentToOwner(AOwner, ABounds)) return TRect();
  const bool horizontal = AOwner.Bottom == ABounds.Top || AOwner.Top == ABounds.Bottom;
  auto swap = [](TRect R) { return TRect(R.Top, R.Left, R.Bottom, R.Right); };
  TRect window(0, 0, ABounds.Width(), ABounds.Height());
  TRect owner(AOwner.Left - ABounds.Left, AOwner.Top - ABounds.Top, AOwner.Right - ABounds.Left,
              AOwner.Bottom - ABounds.Top);
  if (!horizontal) {
    window = swap(window);
    owner = swap(owner);
  }
  const bool above = owner.Top < window.Top;
  TRect strip = above ? TRect(window.Left, window.Top, window.Right, window.Top + 1)
                      : TRect(window.Left, window.Bottom - 1, window.Right, window.Bottom);
  if (AInParent) {
    const int d = above ? -1 : 1;
    strip.Top += d;
    strip.Bottom += d;
  }
  strip.Left = std::max(owner.Left, strip.Left) + 1;
  strip.Right = std::min(owner.Right, strip.Right) - 1;
  if (!horizontal) strip = swap(strip);
  if (AInParent) strip = TRect(strip.Left + ABounds.Left, strip.Top + ABounds.Top, strip.Right + ABounds.Left,
                               strip.Bottom + ABounds.Top);
  return strip;
}

// ---------------------------------------------------------------------------
// TCustomdxBarControlViewInfo
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TCustomdxBarControlViewInfo, TObject, (ConstructWith<TCustomdxBarControlViewInfo, TCustomdxBarControl>))

void TCustomdxBarControlViewInfo::ClearLayout() {
  FItemControlViewInfos.clear();
  FSeparatorsData.clear();
}

int TCustomdxBarControlViewInfo::GetItemControlIndex(TdxBarItemControl* AControl) const {
  for (size_t i = 0; i < FItemControlViewInfos.size(); ++i)
    if (FItemControlViewInfos[i]->Control() == AControl) return static_cast<int>(i);
  return -1;
}

void TCustomdxBarControlViewInfo::RemoveItemControlViewInfo(TdxBarItemControlViewInfo* AViewInfo) {
  FItemControlViewInfos.erase(std::remove(FItemControlViewInfos.begin(), FItemControlViewInfos.end(), AViewInfo),
                              FItemControlViewInfos.end());
  if (AViewInfo)
    for (TdxBarItemSeparatorData& separator : FSeparatorsData)
      if (separator.AssociatedItemControl == AViewInfo->Control()) separator.AssociatedItemControl = nullptr;
}

void TCustomdxBarControlViewInfo::AppendSeparator(const TRect& ABounds, TdxBarItemSeparatorKind AKind,
                                                  TdxBarItemControl* AControl) {
  FSeparatorsData.push_back(TdxBarItemSeparatorData{AControl, ABounds, AKind});
}

bool TCustomdxBarControlViewInfo::IsAssociatedWithSeparator(TdxBarItemControl* AControl, int& ASeparatorIndex) const {
  ASeparatorIndex = -1;
  if (!AControl) return false;
  for (size_t i = 0; i < FSeparatorsData.size(); ++i)
    if (FSeparatorsData[i].AssociatedItemControl == AControl) {
      ASeparatorIndex = static_cast<int>(i);
      return true;
    }
  return false;
}

// ---------------------------------------------------------------------------
// TCustomdxBarControl: life
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TCustomdxBarControl, TCustomControl, nullptr)

TCustomdxBarControl::TCustomdxBarControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FCanvas = Make<TcxCanvas>(Canvas());
  TControlStyle style = ControlStyle();
  style.Exclude(csCaptureMouse);
  SetControlStyle(style);
  UpdateControlStyle();
  SetColor(clBtnFace);
  FShadow = Make<TdxBarShadow>(this);  // drop shadow
  SetVisible(false);
  SetBounds(100, 100, 50, 30);
  FBackgroundTempBitmap = Make<TBitmap>();
}

void TCustomdxBarControl::AfterConstruction() {
  TCustomControl::AfterConstruction();
  FViewInfo = static_cast<TCustomdxBarControlViewInfo*>(
      TClassOf<TCustomdxBarControlViewInfo, TCustomdxBarControl*>(GetViewInfoClass()).Create(this));
  dxBarTrackLiveControl(this);
}

void TCustomdxBarControl::BeforeDestruction() {
  FState.Include(bsDestroying);
  if (FChildBar && !FChildBar->FState.Contains(bsDestroying)) {
    TCustomdxBarControl* child = FChildBar;
    FChildBar = nullptr;
    TObject::Free(child);
  }
  if (FParentBar && FParentBar->FChildBar == this) FParentBar->FChildBar = nullptr;
  TCustomControl::BeforeDestruction();
}

TCustomdxBarControl::~TCustomdxBarControl() {
  StopMouseTracking();
  NotifyDestroy();
  dxBarHintObjectDestroying(this);
  TdxBarManager* manager = BarManager();
  if (manager) {
    auto* selected = dynamic_cast<TdxBarItemControl*>(manager->SelectedItem());
    if (selected && selected->Parent() == this) manager->StoreSelectedItem(nullptr);
    // The manager forgets the bar as its tracked, focused or changed bar.
    manager->BarControlDestroying(this);
  }
  if (ActiveBarControl() == this)
    ActiveBarControl() =
        FPrevActiveBarControl && dxBarIsLiveControl(FPrevActiveBarControl) ? FPrevActiveBarControl : nullptr;
  FState.Include(bsDestroyingWindow);
  TObject::Free(FShadow);  // drop shadow: its windows go before the bar's, which owns them
  FShadow = nullptr;
  if (HandleAllocated())
    DestroyHandle();
  else
    ClearControls();
  if (FItemLinks && FItemLinks->BarControl() == static_cast<IdxBarControl*>(this)) FItemLinks->SetBarControl(nullptr);
  CollapseContainerItems();
  dxBarUntrackLiveControl(this);
  cxClearObjectLinks(this);
  FreeAndNil(FBackgroundTempBitmap);
  TObject::Free(FViewInfo);
  FViewInfo = nullptr;
  FreeAndNil(FActiveCanvas);
  TObject::Free(FCanvas);
  FCanvas = nullptr;
  FState.Include(bsDestroyed);
}

void TCustomdxBarControl::NotifyDestroy() {
  if (FOnDestroy) FOnDestroy(this);
}

bool TCustomdxBarControl::IsDestroying() {
  return FState.Contains(bsDestroying) || ComponentState().Contains(csDestroying);
}

TdxBarManager* TCustomdxBarControl::BarManager() const { return dynamic_cast<TdxBarManager*>(Owner()); }

void TCustomdxBarControl::SetItemLinks(TdxBarItemLinks* AValue) { FItemLinks = AValue; }

bool TCustomdxBarControl::IsWindowVisible() { return HandleAllocated() && ::IsWindowVisible(WindowHandle()); }

TcxCanvas* TCustomdxBarControl::cxCanvas() {
  if (HandleAllocated()) {
    FreeAndNil(FActiveCanvas);
    return FCanvas;
  }
  // Measuring before the window exists goes through the screen.
  if (!FActiveCanvas) {
    FActiveCanvas = Make<TcxScreenCanvas>();
    UpdateCanvasFont();
  }
  return FActiveCanvas;
}

const TdxBarPainter* TCustomdxBarControl::GetPainter() {
  if (FPainter) return FPainter;
  if (FParentBar) return FParentBar->GetPainter();
  if (FDockControl) return FDockControl->GetPainter();
  return dxBarManagerPainter(BarManager());
}

TdxBarBehaviorOptions TCustomdxBarControl::BehaviorOptions() {
  if (FParentBar) return FParentBar->BehaviorOptions();
  return {bboAllowDetach, bboAllowSelectWindowItemsWithoutFocusing, bboExtendItemWhenAlignedToClient};
}

void TCustomdxBarControl::SetParentBar(TCustomdxBarControl* AValue) {
  FParentBar = AValue;
  if (AValue && AValue->FChildBar != this) AValue->FChildBar = this;
}

TCustomdxBarControl* TCustomdxBarControl::SameKindParentBar() const {
  return FParentBar && FParentBar->Kind() == Kind() ? FParentBar : nullptr;
}

bool TCustomdxBarControl::IsCustomizing() {
  TdxBarManager* manager = BarManager();
  return manager && manager->IsCustomizing();
}

// ---------------------------------------------------------------------------
// Metrics and painter access
// ---------------------------------------------------------------------------

int TCustomdxBarControl::CalcTextSize() { return GetPainter()->GetDefaultTextSize(cxCanvas()); }
int TCustomdxBarControl::CalcIconAreaSize() { return GetPainter()->GetIconAreaSize(this); }
int TCustomdxBarControl::NormalItemHeight() { return GetPainter()->SubMenuControlNormalItemHeight(); }
int TCustomdxBarControl::FrameBorderSize() { return GetPainter()->GetBorderSize(); }
HBRUSH TCustomdxBarControl::GetToolbarBrush() { return GetPainter()->BarToolbarBrush(BarManager()); }
HBRUSH TCustomdxBarControl::GetDownedBrush() { return GetPainter()->BarToolbarDownedBrush(BarManager()); }
HBRUSH TCustomdxBarControl::GetDownedSelectedBrush() { return GetPainter()->BarToolbarDownedSelBrush(BarManager()); }
HBRUSH TCustomdxBarControl::GetSelectedBrush() { return GetPainter()->BarToolbarSelBrush(BarManager()); }
bool TCustomdxBarControl::ChildrenHaveShadows() { return GetPainter()->BarChildrenHaveShadows(); }
TdxFader* TCustomdxBarControl::GetFader() { return dxGetFaderInstance(); }

TFont* TCustomdxBarControl::GetItemEditFont() {
  TdxBarManager* manager = BarManager();
  return manager ? manager->EditFont() : Font();
}

HFONT TCustomdxBarControl::EditFontHandle() {
  TFont* font = GetItemEditFont();
  return font ? font->Handle() : nullptr;
}

void TCustomdxBarControl::CalcMetrics() {
  FTextSize = CalcTextSize();
  const int normal = NormalItemHeight();
  const double ratio = normal > 0 ? static_cast<double>(FTextSize) / normal : 1;
  FRatio = ratio >= 1 ? ratio : 1;
  FMenuArrowHeight = std::max(4, FTextSize / 5);
  FMenuArrowWidth = GetPainter()->SubMenuControlArrowWidth(FTextSize);
  FIconAreaSize = CalcIconAreaSize();
  // The edit metrics come from the extent of "0" in the items' edit font.
  TcxCanvas* canvas = cxCanvas();
  SIZE zero{};
  const HDC DC = canvas->Handle();
  const HGDIOBJ old = SelectObject(DC, EditFontHandle());
  GetTextExtentPoint32W(DC, L"0", 1, &zero);
  SelectObject(DC, old);
  FEditTextSize = GetPainter()->EditTextSize(this, zero.cy);
  FComboBoxArrowWidth = GetPainter()->ComboBoxArrowWidth(this, zero.cx);
}

int TCustomdxBarControl::BeginGroupSize() { return GetPainter()->BarBeginGroupSize(); }

int TCustomdxBarControl::ItemTextSize(TdxBarItemControl* AControl) const {
  return AControl && AControl->TextSize() > 0 ? AControl->TextSize() : FTextSize;
}

int TCustomdxBarControl::LinkBeginGroupSize(TdxBarItemLink* ALink) {
  return ALink && ALink->BeginGroup() && ALink->VisibleIndex() > 0 ? BeginGroupSize() : 0;
}

// ---------------------------------------------------------------------------
// Layout
// ---------------------------------------------------------------------------

bool TCustomdxBarControl::IsUpdateLocked() {
  TdxBarManager* manager = BarManager();
  return manager && manager->IsUpdateLocked();
}

void TCustomdxBarControl::RecalcBar(bool ARebuildControls) {
  if (IsDestroying() || !HandleAllocated() || FState.Contains(bsCreatingControls) ||
      FState.Contains(bsDestroyingControls) || FState.Contains(bsRepaintBar) || IsUpdateLocked())
    return;
  TStateScope scope(FState, bsRepaintBar);
  TdxBarManager* manager = BarManager();
  // While customizing the designer's selection survives the rebuild of the controls.
  TdxBarItemLink* designerLink = nullptr;
  if (IsCustomizing() && manager) {
    if (TdxBarItemControl* selected = DesignerSelectedItemControl()) {
      designerLink = selected->ItemLink();
      manager->StoreSelectedItem(nullptr);
    }
    FSelectedLink = nullptr;
  }
  TBarLink self(this);
  RecalcLayout(ARebuildControls);
  if (!self.Alive()) return;
  if (designerLink && manager && OwnsItemControl(dynamic_cast<TdxBarItemControl*>(designerLink->Control())))
    manager->StoreSelectedItem(designerLink->Control());
}

void TCustomdxBarControl::RecalcLayout(bool ARebuildControls) {
  if (ARebuildControls) RebuildItemControls();
}

void TCustomdxBarControl::RebuildItemControls() {
  ClearControls();
  BuildControls();
  if (TdxBarManager* manager = BarManager()) manager->RefreshHotTrackUnderMouse(this);
}

void TCustomdxBarControl::BuildControls() {
  if (FState.Contains(bsCreatingControls) || FState.Contains(bsDestroyingControls) || !FItemLinks) return;
  TStateScope scope(FState, bsCreatingControls);
  CreateLinkControls();
}

void TCustomdxBarControl::ClearControls() {
  if (FState.Contains(bsCreatingControls) || FState.Contains(bsDestroyingControls) || !FItemLinks) return;
  TStateScope scope(FState, bsDestroyingControls);
  DestroyLinkControls();
}

void TCustomdxBarControl::CreateLinkControls() {
  for (int i = 0; i < FItemLinks->CanVisibleItemCount(); ++i) FItemLinks->CanVisibleItems(i)->CreateControl();
}

void TCustomdxBarControl::DestroyLinkControls() {
  if (FViewInfo) FViewInfo->ClearLayout();
  FSelectedLink = nullptr;
  FPrevTrackedLink = nullptr;
  FClickedControl = nullptr;
  for (int i = 0; i < FItemLinks->Count(); ++i) FItemLinks->Items(i)->DestroyControl();
}

void TCustomdxBarControl::ExpandContainerItems() {
  if (!FItemLinks || FExpandedItemLinks) return;
  FExpandedItemLinks = new std::vector<std::pair<int, TdxBarItemLink*>>();
  for (int i = FItemLinks->Count() - 1; i >= 0; --i) {
    TdxBarItemLink* link = FItemLinks->Items(i);
    auto* container = dynamic_cast<IdxBarContainerItem*>(link->Item());
    if (!container) continue;
    FExpandedItemLinks->emplace_back(i, link);
    container->AddContainedLinks(FItemLinks, i, link);
    if (container->GroupsContainedLinks()) {
      link->SendToBottomInRecentList();
      link->SetCollection(nullptr);
    }
  }
}

void TCustomdxBarControl::CollapseContainerItems() {
  if (!FExpandedItemLinks) return;
  std::unique_ptr<std::vector<std::pair<int, TdxBarItemLink*>>> expanded(FExpandedItemLinks);
  FExpandedItemLinks = nullptr;
  if (!FItemLinks) return;
  // Put back in the order the links were taken out in reverse: lowest index last.
  for (auto it = expanded->rbegin(); it != expanded->rend(); ++it) {
    TdxBarItemLink* link = it->second;
    if (auto* container = dynamic_cast<IdxBarContainerItem*>(link->Item())) container->RemoveContainedLinks(FItemLinks);
    if (!link->Collection()) {
      link->SetCollection(FItemLinks);
      link->SetIndex(std::min(it->first, FItemLinks->Count() - 1));
    }
  }
}

void TCustomdxBarControl::CalcLayout() { CalcItemsRect(); }

void TCustomdxBarControl::CalcItemsRect() { FItemsRect = ClientRect(); }

void TCustomdxBarControl::CalcItemRects(TdxBarPaintType AKind, int ATopIndex) {
  FVisibleItemsRect = FItemsRect;
  ReserveTopScrollArea();
  if (FItemLinks) FItemLinks->RebuildLists();
  if (AKind == ptHorz || AKind == ptVert) {
    CalcToolbarItemRects();
  } else if (AKind == ptMenu) {
    int bottom = 0;
    CalcMenuItemRects(ATopIndex, bottom);
  }
  ReserveBottomScrollArea();
}

void TCustomdxBarControl::CalcMenuItemRects(int ATopIndex, int& ABottom) {
  ABottom = FVisibleItemsRect.Top;
  if (!FItemLinks) return;
  std::vector<TdxBarMenuItemExtent> extents;
  std::vector<TdxBarItemLink*> links;
  for (int i = std::max(0, ATopIndex); i < FItemLinks->VisibleItemCount(); ++i) {
    TdxBarItemLink* link = FItemLinks->VisibleItems(i);
    auto* control = dynamic_cast<TdxBarItemControl*>(link->Control());
    extents.push_back({LinkBeginGroupSize(link), control ? control->Height() : 0});
    links.push_back(link);
  }
  const TdxBarMenuItemPlacement placement = dxBarPlaceMenuItems(FVisibleItemsRect, extents, CanShowPartialItem());
  for (size_t i = 0; i < links.size(); ++i) {
    if (placement.Rects[i].IsEmpty()) break;
    links[i]->SetItemRect(placement.Rects[i]);
  }
  ABottom = placement.Bottom;
}

void TCustomdxBarControl::CalculateViewInfo() {
  if (FViewInfo) FViewInfo->Calculate();
}

TdxBarItemControl* TCustomdxBarControl::ItemAtPos(TPoint APos) {
  if (!FViewInfo) return nullptr;
  for (int i = 0; i < FViewInfo->ItemControlCount(); ++i) {
    TdxBarItemControlViewInfo* info = FViewInfo->ItemControlViewInfoAt(i);
    if (!info->Bounds().Contains(APos)) continue;
    TdxBarItemControl* control = info->Control();
    if (IsCustomizing() && (!AllowsCustomizing() || control->HiddenFromCustomizing())) return nullptr;
    return control;
  }
  return nullptr;
}

TRect TCustomdxBarControl::GetItemRect(TdxBarItemControl* AControl) {
  return AControl ? AControl->ItemBounds() : TRect();
}

TRect TCustomdxBarControl::GetItemAreaRect(TdxBarItemControl* AControl, bool) { return GetItemRect(AControl); }

HRGN TCustomdxBarControl::CreateItemRegion(TdxBarItemControl* AControl) {
  const TRect r = GetItemAreaRect(AControl, true);
  return GdiCreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
}

bool TCustomdxBarControl::OwnsItemControl(TdxBarItemControl* AControl) {
  return AControl && FItemLinks && FItemLinks->IsControlExists(AControl);
}

TRect TCustomdxBarControl::ClientBounds() {
  const TPoint offset = GetClientOffset();
  const TRect client = ClientRect();
  return TRect(client.Left + offset.X, client.Top + offset.Y, client.Right + offset.X, client.Bottom + offset.Y);
}

TRect TCustomdxBarControl::GetOuterBounds() { return BoundsRect(); }

void TCustomdxBarControl::LinkDestroying(TdxBarItemLink* ALink) {
  if (TdxBarManager* manager = BarManager(); manager && manager->DraggedItemLink() == ALink && ALink) {
    manager->SetDraggingItem(nullptr);
    manager->SetDraggingItemLink(nullptr);
  }
  if (FSelectedLink == ALink) FSelectedLink = nullptr;
  if (FPrevTrackedLink == ALink) FPrevTrackedLink = nullptr;
  if (FClickedControl && FClickedControl->ItemLink() == ALink) FClickedControl = nullptr;
}

void TCustomdxBarControl::DeselectItemControl() {
  TdxBarItemControl* selected = SelectedControl();
  if (!selected) return;
  TBarLink self(this);
  if (selected->IsActive()) selected->BecomeInactive(true);
  if (!self.Alive()) return;
  FSelectedLink = nullptr;
  if (OwnsItemControl(selected)) RepaintItemControl(selected);
}

TdxBarItemControlBase* TCustomdxBarControl::ItemControlAtScreenPoint(const TPoint& APoint) {
  return HandleAllocated() ? ItemAtPos(ScreenToClient(APoint)) : nullptr;
}

void TCustomdxBarControl::RefreshBarBackground() {
  ResetBackgroundCache();
  UpdateDoubleBuffered();
  // The item controls stay: only what they are drawn on changed.
  RecalcBar(false);
  if (HandleAllocated()) Invalidate();
  if (HandleAllocated() && HasNonClientArea())
    RedrawWindow(WindowHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

bool TCustomdxBarControl::HitTestDropLink(TPoint APoint, TdxBarItemLink*& ALink, bool& AVertical, bool& ABefore,
                                          bool& AOnSeparator) {
  ALink = nullptr;
  ABefore = false;
  AOnSeparator = false;
  AVertical = ArrangesItemsVertically();
  if (!FItemLinks) return false;
  for (int i = 0; i < FItemLinks->VisibleItemCount(); ++i) {
    auto* control = dynamic_cast<TdxBarItemControl*>(FItemLinks->VisibleItems(i)->Control());
    if (!control || !control->AllowsCustomizing()) continue;
    const HRGN region = CreateItemRegion(control);
    const bool hit = PtInRegion(region, APoint.X, APoint.Y) != FALSE;
    GdiDeleteObject(region);
    if (!hit) continue;
    ALink = control->ItemLink();
    TRect r = GetItemHitRect(control);
    int separator = -1;
    if (!r.Contains(APoint) && FViewInfo && FViewInfo->IsAssociatedWithSeparator(control, separator)) {
      AOnSeparator = true;
      const TRect s = FViewInfo->SeparatorInfoAt(separator).Bounds;
      const bool above = APoint.Y < r.Top;
      r.Top = s.Top;
      r.Right = s.Right;
      r.Bottom = s.Bottom;
      if (above) AVertical = true;
    }
    ABefore = AVertical ? APoint.Y - r.Top < r.Bottom - APoint.Y : APoint.X - r.Left < r.Right - APoint.X;
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Window
// ---------------------------------------------------------------------------

void TCustomdxBarControl::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.WindowClass.style |= CS_DBLCLKS;
}

void TCustomdxBarControl::CreateWnd() {
  TCustomControl::CreateWnd();
  AssignDefaultFont();
  CalcMetrics();
}

void TCustomdxBarControl::CreateWindowHandle(const TCreateParams& Params) {
  TCustomControl::CreateWindowHandle(Params);
  FreeAndNil(FActiveCanvas);
  BuildControls();
  ApplyAlphaBlend();
}

void TCustomdxBarControl::DestroyWindowHandle() {
  if (FShadow) FShadow->SetVisible(false);  // drop shadow: the system would take its owned windows
  if (HandleAllocated()) NotifyItemsWindowDestroying();
  ClearControls();
  TCustomControl::DestroyWindowHandle();
}

void TCustomdxBarControl::NotifyItemsWindowDestroying() {
  StopMouseTracking();
  if (!FItemLinks) return;
  for (int i = 0; i < FItemLinks->Count(); ++i)
    if (auto* control = dynamic_cast<TdxBarItemControl*>(FItemLinks->Items(i)->Control()))
      control->ParentWindowDestroying();
}

void TCustomdxBarControl::UpdateCanvasFont() {
  if (FState.Contains(bsUpdatingCanvasFont)) return;
  TStateScope scope(FState, bsUpdatingCanvasFont);
  TcxCanvas* canvas = HandleAllocated() ? FCanvas : FActiveCanvas;
  if (!canvas) return;
  if (!IsVertical()) {
    canvas->Font()->Assign(Font());
    return;
  }
  // Text on a vertical bar runs downwards: the bar's font turned by 90 degrees.
  LOGFONTW lf{};
  if (GetObjectW(Font()->Handle(), sizeof lf, &lf) != sizeof lf) return;
  lf.lfEscapement = -900;
  lf.lfOrientation = -900;
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  HFONT rotated = GdiCreateFont(lf);
  if (!rotated) throw EOutOfResources(L"Out of system resources");
  // The font takes the handle over and counts it as its own.
  GdiDisown(rotated);
  canvas->Font()->SetHandle(rotated);
}

void TCustomdxBarControl::UpdateControlStyle() {
  TdxBarManager* manager = BarManager();
  TControlStyle style = ControlStyle();
  if (manager && (manager->GetPaintStyle() != bmsStandard || manager->IsCustomizing()))
    style.Include(csDoubleClicks);
  else
    style.Exclude(csDoubleClicks);
  SetControlStyle(style);
}

void TCustomdxBarControl::WndProc(TMessage& Message) {
  FCurrentMessage = Message;
  switch (Message.Msg) {
    case WM_SETFOCUS:
      if (TdxBarItemControl* selected = SelectedControl(); selected && selected->HasWindow()) break;
      ReturnFocus();
      return;
    case WM_KILLFOCUS: {
      TBarLink self(this);
      TCustomControl::WndProc(Message);
      if (self.Alive() && Message.WParam == 0) HideAll();
      return;
    }
    case WM_NCACTIVATE:
      if (Message.WParam == 1 && !IsCustomizing())
        if (HWND parent = ::GetParent(WindowHandle())) SendMessageW(parent, WM_NCACTIVATE, 1, 0);
      // The bar's own frame always draws active.
      Message.WParam = 1;
      break;
    case WM_MOUSEACTIVATE:
      Message.Result = MA_NOACTIVATE;
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_CAPTURECHANGED:
      TCustomControl::WndProc(Message);
      if (FDragDown) {
        // The armed drag ends without starting.
        FDragDown = false;
        if (TdxBarManager* manager = BarManager()) {
          manager->SetDraggingItem(nullptr);
          manager->SetDraggingItemLink(nullptr);
        }
      }
      FClickedControl = nullptr;
      return;
    case WM_DESTROY:
      if (!IsDestroying()) {
        ChangeMarkState(msNone);
        NotifyItemsWindowDestroying();
      }
      break;
    case WM_WINDOWPOSCHANGED:
      TCustomControl::WndProc(Message);
      if (!IsDestroying())
        BoundsChanged(Message.LParam ? reinterpret_cast<const WINDOWPOS*>(Message.LParam)->flags : 0);
      return;
    case WM_PAINT:
      if (IsDestroying()) {
        // Validated without drawing: nothing of the bar is left to show.
        ValidateRect(WindowHandle(), nullptr);
        return;
      }
      break;
    case WM_NCPAINT:
      if (HasNonClientArea()) {
        HDC DC = GetNonClientDC(reinterpret_cast<HRGN>(Message.WParam));
        try {
          TCustomControl::WndProc(Message);
          if (DC) PaintNonClientArea(DC);
        } catch (...) {
          ReleaseNonClientDC(DC);
          throw;
        }
        ReleaseNonClientDC(DC);
        return;
      }
      break;
    case WM_PRINT:
      TCustomControl::WndProc(Message);
      if (Message.WParam && (Message.LParam & PRF_NONCLIENT)) PaintNonClientArea(reinterpret_cast<HDC>(Message.WParam));
      return;
    case WM_COMMAND:
      TCustomControl::WndProc(Message);
      // An edit window's change notice that nobody took goes back to the window.
      if (Message.Result == 0 && HIWORD(Message.WParam) == EN_CHANGE && Message.LParam)
        Message.Result = SendMessageW(reinterpret_cast<HWND>(Message.LParam), Message.Msg, Message.WParam, Message.LParam);
      return;
    case WM_KEYDOWN:
      KeyDownMessage(Message);
      return;
    case DXM_BAR_RECALC:
      RepaintBar();
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (FIgnoreMouseClick) return;
      break;
    default:
      break;
  }
  const bool mouse = (Message.Msg >= 0xA0 && Message.Msg <= 0xA9) || (Message.Msg >= 0x200 && Message.Msg <= 0x20E);
  if (mouse && !IsInActiveChain()) return;
  if (Message.Msg != WM_LBUTTONUP) {
    TBarLink self(this);
    TCustomControl::WndProc(Message);
    if (Message.Msg == WM_MOUSEMOVE && self.Alive())
      BarMouseMove(TShiftState(), static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
    return;
  }
  // WM_LBUTTONUP
  if (FIgnoreMouseClick) {
    FIgnoreMouseClick = false;
    return;
  }
  TBarLink self(this);
  TCustomControl::WndProc(Message);
  if (!self.Alive()) return;
  if (FDragDown) {
    FDragDown = false;
    if (GetCapture() == WindowHandle()) ReleaseCapture();
    return;
  }
  TdxBarItemControl* captured = FClickedControl;
  if (captured && GetCapture() == WindowHandle()) ReleaseCapture();
  const TPoint p(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
  if (ClientRect().Contains(p) && FIsActive) {
    TdxBarItemControl* control = ItemAtPos(p);
    if (control && !IsCustomizing() && control->AcceptsMouse()) {
      if (control->Enabled() && control == SelectedControl()) {
        control->ExecuteClick(true);
      } else if (!control->Enabled() && control != SelectedControl() && Kind() == bkBarControl) {
        TdxBarItemControl* selected = SelectedControl();
        if (!(dynamic_cast<TdxBarButtonControl*>(selected) && selected->IsDroppedDown())) HideAll();
      }
    }
  }
  if (captured && self.Alive()) HideAll();
}

void TCustomdxBarControl::Paint() {
  if (IsDestroying()) return;
  PaintBar();
}

void TCustomdxBarControl::Resize() {
  TCustomControl::Resize();
  ResetBackgroundCache();
}

void TCustomdxBarControl::PaintBar() {
  FCanvas->SaveClipRegion();
  PaintItemControls();
  DrawBackgroundRect(FCanvas->Handle(), ClientRect(), false, clNone, GetToolbarBrush());
  FCanvas->RestoreClipRegion();
}

HDC TCustomdxBarControl::GetNonClientDC(HRGN) { return GetWindowDC(WindowHandle()); }

void TCustomdxBarControl::ReleaseNonClientDC(HDC DC) {
  if (DC) ReleaseDC(WindowHandle(), DC);
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

bool TCustomdxBarControl::CanDrawItemControl(TdxBarItemControl* AControl) {
  if (IsDestroying() || !AControl) return false;
  TdxBarItemLink* link = AControl->ItemLink();
  if (!link || link->Control() != AControl) return false;
  if (link->Item() && !link->Item()->ActuallyVisible()) return false;
  return !FState.Contains(bsPaintItem) && !IsUpdateLocked() && FViewInfo && FViewInfo->IsItemControlVisible(AControl);
}

void TCustomdxBarControl::PaintItemControls() {
  if (!FViewInfo) return;
  TcxCanvas* canvas = cxCanvas();
  for (int i = 0; i < FViewInfo->ItemControlCount(); ++i) {
    TdxBarItemControlViewInfo* info = FViewInfo->ItemControlViewInfoAt(i);
    TdxBarItemControl* control = info->Control();
    // A hovered button invalidates its own rectangle: the others stay as they are on screen.
    if (CanDrawItemControl(control) && canvas->RectVisible(info->Bounds())) DrawItemControl(canvas, control);
    canvas->ExcludeClipRect(info->Bounds());
  }
}

void TCustomdxBarControl::DrawItemControl(TcxCanvas* ACanvas, TdxBarItemControl* AControl) {
  TStateScope scope(FState, bsPaintItem);
  FBkBrush = GetToolbarBrush();
  DrawItemControlContent(AControl, ACanvas, AControl->ViewInfo()->Bounds());
}

void TCustomdxBarControl::DrawItemControlContent(TdxBarItemControl* AControl, TcxCanvas* ACanvas, const TRect& ARect) {
  ACanvas->SaveClipRegion();
  try {
    ACanvas->SetClipRegion(Make<TcxRegion>(AControl->ViewInfo()->Bounds()), roSet);
    AControl->Paint(ACanvas, ARect, GetPaintType());
  } catch (...) {
    ACanvas->RestoreClipRegion();
    throw;
  }
  ACanvas->RestoreClipRegion();
  DrawDesignSelection(ACanvas, AControl, ARect);
}

void TCustomdxBarControl::DrawDesignSelection(TcxCanvas* ACanvas, TdxBarItemControl* AControl, const TRect& ARect) {
  IdxBarDesignController* designer = dxBarDesignControllerSlot();
  TdxBarManager* manager = BarManager();
  if (!designer || !manager || !IsCustomizing()) return;
  TdxBarItemLink* link = designer->DesignSelectedLink(manager);
  if (!link || link != AControl->ItemLink()) return;
  const HDC DC = ACanvas->Handle();
  if (designer->NeedDefaultSelection(link->Item())) {
    dxFrameSolidRect(DC, ARect, clWindowText);
  } else {
    const RECT r{ARect.Left, ARect.Top, ARect.Right, ARect.Bottom};
    DrawFocusRect(DC, &r);
  }
}

void TCustomdxBarControl::DrawBackgroundRect(HDC DC, const TRect& ARect, bool AInClientCoords, TColor AColor,
                                             HBRUSH ABrush) {
  TRect r = ARect;
  if (AInClientCoords) {
    const TPoint offset = GetClientOffset();
    r = TRect(r.Left + offset.X, r.Top + offset.Y, r.Right + offset.X, r.Bottom + offset.Y);
  }
  GetPainter()->BarDrawBackground(this, DC, r, r, ABrush, AColor);
}

void TCustomdxBarControl::DrawBackgroundInRegion(HDC DC, HRGN ARegion) {
  HRGN saved = nullptr;
  bool hadClip = false;
  dxBarSaveDCClip(DC, saved, hadClip);
  ExtSelectClipRgn(DC, ARegion, RGN_AND);
  const TRect window = WindowRectOf(WindowHandle());
  DrawBackgroundRect(DC, TRect(0, 0, window.Width(), window.Height()), false, dxBarEmptyBackgroundColor,
                     GetToolbarBrush());
  dxBarRestoreDCClip(DC, saved, hadClip);
}

void TCustomdxBarControl::RepaintItemControl(TdxBarItemControl* AControl) {
  if (!AControl || !HandleAllocated()) return;
  const TRect r = AControl->ItemBounds();
  RECT rect{r.Left, r.Top, r.Right, r.Bottom};
  InvalidateRect(WindowHandle(), &rect, FALSE);
}

// A docked bar continues its dock's background.
bool TCustomdxBarControl::HasBackgroundBitmap() { return FDockControl && FDockControl->HasBackgroundBitmap(); }

bool TCustomdxBarControl::HasCustomBackground() { return FDockControl && FDockControl->HasCustomBackground(); }

void TCustomdxBarControl::ResetBackgroundCache() {
  if (FBackgroundTempBitmap) FBackgroundTempBitmap->SetSize(0, 0);
}

void TCustomdxBarControl::UpdateDoubleBuffered() {
  TdxBarManager* manager = BarManager();
  SetDoubleBuffered(HasCustomBackground() || (manager && manager->OtherManagerCustomizing()) ||
                    GetPainter()->NeedsDoubleBuffering());
}

// ---------------------------------------------------------------------------
// Owner and shadow
// ---------------------------------------------------------------------------

bool TCustomdxBarControl::IsAdjacentToOwner() { return dxBarIsAdjacentToOwner(FOwnerBounds, BoundsRect()); }

TRect TCustomdxBarControl::CalcOwnerLinkRect(bool AInParent) {
  return dxBarCalcOwnerLinkRect(FOwnerBounds, BoundsRect(), AInParent);
}

// The shadow joins the owner the bar opened from where they touch and the
// look gives that owner a shadow too.
TRect TCustomdxBarControl::GetShadowOwnerBounds() {
  return IsAdjacentToOwner() && GetPainter()->BarLinkedOwnerHasShadow(this) ? FOwnerBounds : TRect();
}

void TCustomdxBarControl::BoundsChanged(UINT ASwpFlags) {
  ShadowFollowWindow(ASwpFlags);
  ResetBackgroundCache();
}

// ---------------------------------------------------------------------------
// Hints
// ---------------------------------------------------------------------------

void TCustomdxBarControl::AdjustHintPosition(TPoint& APos, int AHeight) {
  const int d = dxBarScaleToScreenDPI(20);
  TRect workArea;
  cxWorkAreaFromPoint(APos, workArea);
  if (APos.Y + d + AHeight > workArea.Bottom) {
    POINT top{0, 0};
    if (HandleAllocated()) ::ClientToScreen(WindowHandle(), &top);
    APos.Y = top.y - AHeight;
  } else {
    APos.Y += d;
  }
}

void TCustomdxBarControl::ActivateItemHint(bool AShow, const String& AHint, TObject* AHintObject) {
  if (TdxBarManager* manager = BarManager()) manager->ActivateHint(AShow, AHint, AHintObject);
}

TdxBarCustomHintViewInfo* TCustomdxBarControl::CreateHintViewInfo(const String& AHint, const String& AShortCut,
                                                                  TdxBarScreenTip* AScreenTip) {
  return dxBarCreateHintViewInfo(BarManager(), AHint, AShortCut, GetPainter(), AScreenTip);
}

TPoint TCustomdxBarControl::ShowHintWindow(const TRect& AItemRect, int AWindowHeight, const TPoint& ACursorPos) {
  return GetPainter()->CalcHintWindowRect(this, AItemRect, AWindowHeight, ACursorPos);
}

// ---------------------------------------------------------------------------
// Mouse
// ---------------------------------------------------------------------------

bool TCustomdxBarControl::IsInActiveChain() {
  TCustomdxBarControl* active = ActiveBarControl();
  if (!active) return true;
  for (TCustomdxBarControl* bar = active; bar; bar = bar->SameKindParentBar())
    if (bar == this) return true;
  return false;
}

bool TCustomdxBarControl::IsMouseInputBlocked(bool ACheckPosition) {
  if (IsCustomizing() || !IsWindowVisible()) return true;
  const TPoint cursor = CursorPos();
  if (ACheckPosition) return FHasLastMousePos && cursor == FLastMousePos;
  return !WindowRectOf(WindowHandle()).Contains(cursor);
}

void TCustomdxBarControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TBarLink self(this);
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (!self.Alive()) return;
  const TPoint p(X, Y);
  TdxBarItemControl* control = ItemAtPos(p);
  if (!FHasLastMousePos && !IsCustomizing()) HotTrackAt(Shift, p, control);
  if (!self.Alive()) return;
  if (Shift.Contains(ssDouble) && control && control == SelectedControl() && control->AcceptsDoubleClick()) {
    TdxBarManager* manager = BarManager();
    if (manager && manager->Designing()) {
      if (IdxBarDesignController* designer = dxBarDesignControllerSlot()) designer->DesignerAction(control->Item());
    } else if (control->OpensSubItems()) {
      // The bar that shows the item's own links opens its mark.
      TdxBarItemLinks* links = control->Item() ? control->Item()->ItemLinks() : nullptr;
      IdxBarControl* bar = links ? links->BarControl() : nullptr;
      if (auto* barControl = bar ? dynamic_cast<TCustomdxBarControl*>(bar->BarControlObject()) : nullptr)
        if (barControl->HasMark()) barControl->ChangeMarkState(msPressed);
    } else {
      control->DefaultDoubleClickAction();
    }
    return;
  }
  switch (FCurrentMessage.Msg) {
    case WM_LBUTTONDBLCLK: FCurrentMessage.Msg = WM_LBUTTONDOWN; break;
    case WM_RBUTTONDBLCLK: FCurrentMessage.Msg = WM_RBUTTONDOWN; break;
    case WM_MBUTTONDBLCLK: FCurrentMessage.Msg = WM_MBUTTONDOWN; break;
    default: break;
  }
  ItemMouseDown(Button, Shift, p, control);
}

void TCustomdxBarControl::ItemMouseDown(TMouseButton AButton, TShiftState AShift, TPoint APoint,
                                        TdxBarItemControl* AControl) {
  if (IsCustomizing() && AControl && !AControl->AllowsCustomizing()) return;
  TBarLink self(this);
  if (AControl && !IsMouseInputBlocked(false)) AControl->HandleMouseDown(AButton, AShift, APoint.X, APoint.Y);
  if (!self.Alive()) return;
  TdxBarItemControl* designerSelected = DesignerSelectedItemControl();
  if (IsCustomizing()) SelectItemForCustomizing(AControl, AButton, AShift);
  if (!self.Alive()) return;
  if (AButton == mbLeft) {
    if (IsCustomizing())
      BeginItemDrag(APoint, designerSelected == DesignerSelectedItemControl());
    else
      PressItemControl(AControl);
  } else if (AButton == mbRight) {
    if (AControl != SelectedControl()) BarLostFocus();
    if (self.Alive() && OpensCustomizePopupOn(true)) ShowCustomizePopup(AControl);
  }
}

void TCustomdxBarControl::PressItemControl(TdxBarItemControl* AControl) {
  if (!AControl || !AControl->Enabled() || !AControl->AcceptsMouse()) return;
  TBarLink self(this);
  SetSelectedItemControl(AControl);
  if (!self.Alive()) return;
  if (TdxBarManager* manager = BarManager()) manager->HideHint();
  TdxBarItemControl* selected = SelectedControl();
  if (auto* button = dynamic_cast<TdxBarButtonLikeControl*>(selected)) button->ShowAnimation = true;
  if (selected && selected->HasWindow()) MakeItemVisible(selected);
  AControl->Press(true);
  if (self.Alive() && OwnsItemControl(AControl))
    if (auto* button = dynamic_cast<TdxBarButtonControl*>(SelectedControl())) button->ShowAnimation = false;
}

void TCustomdxBarControl::MouseMove(TShiftState Shift, int X, int Y) {
  TBarLink self(this);
  TCustomControl::MouseMove(Shift, X, Y);
  if (!self.Alive() || IsDestroying()) return;
  const TPoint p(X, Y);
  if (FDragDown) {
    const int cx = GetSystemMetrics(SM_CXDRAG), cy = GetSystemMetrics(SM_CYDRAG);
    const TRect drag(FDragPoint.X - cx, FDragPoint.Y - cy, FDragPoint.X + cx, FDragPoint.Y + cy);
    if (!drag.Contains(p)) {
      FDragDown = false;
      TdxBarManager* manager = BarManager();
      TdxBarItem* item = manager ? manager->DraggedItem() : nullptr;
      TdxBarItemLink* link = manager ? manager->DraggedItemLink() : nullptr;
      if (GetCapture() == WindowHandle()) ReleaseCapture();
      if (auto* dragged = link ? dynamic_cast<TdxBarItemControl*>(link->Control()) : nullptr; dragged && dragged->IsActive())
        dragged->BecomeInactive(true);
      if (manager) manager->RunItemDrag(item, link);
      if (dxBarIsLiveControl(this) && manager) {
        manager->SetDraggingItem(nullptr);
        manager->SetDraggingItemLink(nullptr);
      }
    }
    return;
  }
  TdxBarItemControl* control = ItemAtPos(p);
  if (!FHasLastMousePos && !IsMouseInputBlocked(false)) HotTrackAt(Shift, p, control);
  if (self.Alive()) ItemMouseMove(Shift, p, control);
}

void TCustomdxBarControl::BarMouseMove(TShiftState, int, int) {
  // The position that later moves compare with: a move to the very same
  // place (a window appearing under the cursor) does not hot-track.
  if (IsMouseInputBlocked(true)) {
    if (IsMouseInputBlocked(false)) MouseLeaveHandler();
    return;
  }
  FLastMousePos = CursorPos();
  FHasLastMousePos = true;
}

void TCustomdxBarControl::StartMouseTracking() {
  // The manager watches the whole window: the frame of a floating bar takes the mouse too.
  if (TdxBarManager* manager = BarManager(); manager && HandleAllocated()) manager->StartMouseTracking(this);
}

// The area the mouse watch checks, in client coordinates, where the window is now.
TRect TCustomdxBarControl::WindowAreaInClient() {
  const TPoint offset = GetClientOffset();
  RECT window{};
  GetWindowRect(WindowHandle(), &window);
  return TRect(-offset.X, -offset.Y, window.right - window.left - offset.X, window.bottom - window.top - offset.Y);
}

bool TCustomdxBarControl::ContainsClientPoint(const TPoint& P) { return WindowAreaInClient().Contains(P); }

void TCustomdxBarControl::StopMouseTracking() {
  if (TdxBarManager* manager = BarManager()) manager->ReleaseMouseTracking(this);
  cxStopMouseTracking(this);
}

bool TCustomdxBarControl::IsMouseTracking() {
  TdxBarManager* manager = BarManager();
  return manager && manager->IsMouseTrackingControl(this);
}

// The watch ended: the mouse left the window, or another bar of the manager
// is watched now.
void TCustomdxBarControl::TrackedMouseLeft() {
  FHasLastMousePos = false;
  if (KeepsHotStateOnLeave()) return;
  StopMouseTracking();
  BarMouseLeave();
}

void TCustomdxBarControl::MouseLeaveHandler() {
  FHasLastMousePos = false;
  if (!IsMouseTracking() || KeepsHotStateOnLeave()) return;
  StopMouseTracking();
  BarMouseLeave();
}

void TCustomdxBarControl::HotTrackAt(TShiftState AShift, TPoint APoint, TdxBarItemControl* AControl) {
  StartMouseTracking();
  TrackLink(AControl ? AControl->ItemLink() : nullptr, AShift, APoint);
  SetViewState(dxbvsHot);
}

void TCustomdxBarControl::TrackLink(TdxBarItemLink* ALink, TShiftState AShift, TPoint APoint) {
  if (ALink != FPrevTrackedLink) {
    if (FPrevTrackedLink)
      if (auto* old = dynamic_cast<TdxBarItemControl*>(FPrevTrackedLink->Control())) old->HandleMouseLeave();
    FPrevTrackedLink = ALink;
    if (ALink)
      if (auto* control = dynamic_cast<TdxBarItemControl*>(ALink->Control()))
        control->HandleMouseEnter(AShift, APoint.X, APoint.Y);
  }
  if (FPrevTrackedLink)
    if (auto* control = dynamic_cast<TdxBarItemControl*>(FPrevTrackedLink->Control()))
      control->HandleMouseMove(AShift, APoint.X, APoint.Y);
}

void TCustomdxBarControl::SetViewState(TdxBarViewState AValue) {
  if (IsCustomizing() || FViewState == AValue) return;
  const TdxBarViewState old = FViewState;
  FViewState = AValue;
  ViewStateChanged(old);
}

void TCustomdxBarControl::ItemMouseMove(TShiftState AShift, TPoint APoint, TdxBarItemControl* AControl) {
  if (IsMouseInputBlocked(true)) return;
  TrackLink(AControl ? AControl->ItemLink() : nullptr, AShift, APoint);
  TdxBarManager* manager = BarManager();
  // A focused window of an item keeps the selection while the mouse moves.
  if (manager) {
    auto* focused = dynamic_cast<TdxBarItemControl*>(manager->SelectedItem());
    if (focused && focused->HasWindow() && focused->IsActive()) return;
  }
  if (AControl && !AControl->IsMouseSelectable()) AControl = nullptr;
  if ((Kind() != bkBarControl || !FIsActive || AControl) && !FClickedControl && (AControl || !FChildBar))
    SelectItemControlNavigated(AControl);
}

void TCustomdxBarControl::BarMouseLeave() {
  SetViewState(dxbvsNormal);
  TrackLink(nullptr, TShiftState(), TPoint());
  if (FMarkState == msSelected) ChangeMarkState(msNone);
  TdxBarItemControl* selected = SelectedControl();
  if (!FClickedControl && selected && !selected->IsDroppedDown() && !IsCustomizing()) SelectItemControlNavigated(nullptr);
}

void TCustomdxBarControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TBarLink self(this);
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (!self.Alive()) return;
  const TPoint p(X, Y);
  const TRect client = ClientRect();
  const TPoint inside(std::clamp(X, client.Left, std::max(client.Left, client.Right - 1)),
                      std::clamp(Y, client.Top, std::max(client.Top, client.Bottom - 1)));
  ItemMouseUp(Button, Shift, inside, ItemAtPos(p));
}

void TCustomdxBarControl::ItemMouseUp(TMouseButton AButton, TShiftState AShift, TPoint APoint,
                                      TdxBarItemControl* AControl) {
  TBarLink self(this);
  if (AControl && !IsMouseInputBlocked(false)) AControl->HandleMouseUp(AButton, AShift, APoint.X, APoint.Y);
  if (self.Alive() && AButton == mbRight && OpensCustomizePopupOn(false)) ShowCustomizePopup(AControl);
}

// ---------------------------------------------------------------------------
// Customizing
// ---------------------------------------------------------------------------

TdxBarItemControl* TCustomdxBarControl::DesignerSelectedItemControl() {
  IdxBarDesignController* designer = dxBarDesignControllerSlot();
  TdxBarManager* manager = BarManager();
  TdxBarItemLink* link = designer && manager ? designer->DesignSelectedLink(manager) : nullptr;
  auto* control = link ? dynamic_cast<TdxBarItemControl*>(link->Control()) : nullptr;
  return OwnsItemControl(control) ? control : nullptr;
}

bool TCustomdxBarControl::OpensCustomizePopupOn(bool APressed) {
  const bool onPress =
      (!BehaviorOptions().Contains(bboItemCustomizePopup) && !IsInternalPopup()) || IsCustomizing();
  return APressed ? onPress : BehaviorOptions().Contains(bboItemCustomizePopup) && !onPress;
}

void TCustomdxBarControl::ShowCustomizePopup(TdxBarItemControl*) {
  IdxBarDesignController* designer = dxBarDesignControllerSlot();
  if (!designer) return;
  TdxBarItemControl* selected = DesignerSelectedItemControl();
  TdxBarManager* manager = BarManager();
  if (selected)
    designer->ShowCustomizePopup(this, selected->ItemLink());
  else if (manager && manager->Designing())
    designer->ShowCustomizePopup(this, nullptr);
}

void TCustomdxBarControl::SelectItemForCustomizing(TdxBarItemControl* AControl, TMouseButton AButton,
                                                   TShiftState AShift) {
  IdxBarDesignController* designer = dxBarDesignControllerSlot();
  TdxBarManager* manager = BarManager();
  TPersistent* item = nullptr;
  if (AControl) {
    TBarLink self(this);
    BarGetFocus(AControl);
    if (!self.Alive()) return;
    item = AControl->Item();
    if (AButton == mbLeft) {
      if (!FViewInfo || FViewInfo->ItemControlCount() == 0) return;
      if (AControl->AllowsCustomizing() && AControl == SelectedControl()) {
        if (AControl->IsActive())
          AControl->BecomeInactive(true);
        else
          AControl->BecomeActive(true, true);
        if (manager) manager->SetSelectedItem(AControl);
      }
      SelectItemControlNavigated(AControl);
    } else if (AButton == mbRight) {
      TdxBarItemControl* selected = SelectedControl();
      if (selected && selected->IsActive()) selected->BecomeInactive(true);
      if (manager && AControl == selected) manager->SetSelectedItem(AControl);
      SetSelectedItemControl(AControl);
    }
  } else {
    item = GetOwnerObject();
  }
  if (!designer || !item) return;
  int operation = 2;
  if (AButton == mbRight)
    operation = manager && !designer->IsSelectionComplex(manager) ? 0 : 2;
  else if (AShift.Contains(ssShift) && !AShift.Contains(ssCtrl))
    operation = 1;
  designer->SelectItem(item, operation);
}

void TCustomdxBarControl::BeginItemDrag(TPoint APoint, bool) {
  TdxBarItemControl* selected = DesignerSelectedItemControl();
  TdxBarManager* manager = BarManager();
  if (!selected || !selected->AllowsCustomizing() || !manager) return;
  FDragPoint = APoint;
  manager->SetDraggingItem(selected->Item());
  manager->SetDraggingItemLink(selected->ItemLink());
  FDragDown = true;
  SetCapture(WindowHandle());
}

// ---------------------------------------------------------------------------
// Selection and activity
// ---------------------------------------------------------------------------

TdxBarItemControl* TCustomdxBarControl::SelectedControl() const {
  return FSelectedLink ? dynamic_cast<TdxBarItemControl*>(FSelectedLink->Control()) : nullptr;
}

void TCustomdxBarControl::SetSelectedItemControl(TdxBarItemControl* AControl) {
  if (!HandleAllocated() || IsDestroying()) return;
  TdxBarItemControl* old = SelectedControl();
  if (old == AControl) return;
  TBarLink self(this);
  if (old && old->IsActive()) old->BecomeInactive(true);
  if (!self.Alive()) return;
  if (auto* button = dynamic_cast<TdxBarButtonLikeControl*>(old); button && old->OpensSubItems())
    button->ShowAnimation = false;
  if (AControl) AControl->SetSelectedByMouse(false);
  ChangeSelectedItemControl(AControl);
  if (self.Alive() && AControl) NotifyItemControlFocused(AControl);
}

void TCustomdxBarControl::SelectItemControlNavigated(TdxBarItemControl* AControl) {
  if (!HandleAllocated() || IsDestroying()) return;
  TdxBarItemControl* old = SelectedControl();
  if (old == AControl) return;
  if (old && old->HasWindow() && old->IsActive()) return;
  TBarLink self(this);
  if (old && old->IsActive()) old->BecomeInactive(false);
  if (!self.Alive()) return;
  if (AControl) AControl->SetSelectedByMouse(true);
  ChangeSelectedItemControl(AControl);

  TdxBarItemControl* selected = SelectedControl();
  if (self.Alive() && selected) {
    if (auto* button = dynamic_cast<TdxBarButtonLikeControl*>(selected)) button->ShowAnimation = true;
    selected->BecomeActive(false, true);
  }
}

void TCustomdxBarControl::ChangeSelectedItemControl(TdxBarItemControl* AValue) {
  TdxBarItemControl* old = SelectedControl();
  if (old == AValue) return;
  IdxBarDesignController* designer = dxBarDesignControllerSlot();
  if (designer && AValue) {
    TdxBarControl* quick = designer->QuickControl();
    if (quick && !quick->IsActive() && quick != this) designer->StartQuickControlHidingTimer();
  }
  FSelectedLink = AValue ? AValue->ItemLink() : nullptr;
  if (BehaviorOptions().Contains(bboMouseCantUnselectNavigationItem)) FIsDowned = false;
  TBarLink self(this);
  TdxBarManager* manager = BarManager();
  if (manager) {
    if (IsCustomizing()) {
      manager->SetSelectedItem(AValue);
      if (!self.Alive()) return;
    } else {
      manager->StoreSelectedItem(AValue);
    }
  }
  if (old) RepaintItemControl(old);
  if (AValue) RepaintItemControl(AValue);
  if (!AValue) SetCursor(crDefault);
  if (manager && (AValue || Kind() == bkSubMenu || FMarkState == msNone)) {
    manager->ActivateHint(true, String(), AValue);
    if (!self.Alive()) return;
  }
  const bool showHint = AValue && (AValue->Enabled() || (manager && manager->ShowHintForDisabledItems()));
  SetHint(showHint ? AValue->ShortHint() : String());
}

void TCustomdxBarControl::SetIsActive(bool AValue) {
  if (TdxBarManager* manager = BarManager()) manager->HideHint();
  if ((AValue != FIsActive && IsInputContextActive()) || (IsCustomizing() && !AValue)) ApplyIsActive(AValue);
}

bool TCustomdxBarControl::IsEnabledWindow() { return HandleAllocated() && IsWindowEnabled(WindowHandle()); }

bool TCustomdxBarControl::IsInputContextActive() {
  return (Application && Application->Active()) || IsEnabledWindow() || IsCustomizing();
}

void TCustomdxBarControl::ApplyIsActive(bool AValue) {
  TCustomdxBarControl*& active = ActiveBarControl();
  if (AValue) {
    if (!active) CustomizingAtActivation() = IsCustomizing();
    if (active != this) {
      FPrevActiveBarControl = active;
      active = this;
    }
    FIsActive = true;
    return;
  }
  FIsActive = false;
  TBarLink self(this);
  if (IsCustomizing())
    FSelectedLink = nullptr;
  else
    SetSelectedItemControl(nullptr);
  if (!self.Alive()) return;
  if (active == this) active = FPrevActiveBarControl;
  if (active && (!dxBarIsLiveControl(active) || !active->FIsActive)) active = nullptr;
  FPrevActiveBarControl = nullptr;
}

bool TCustomdxBarControl::IsFocused() {
  TdxBarManager* manager = BarManager();
  return manager && manager->FocusedBarControl() == static_cast<IdxBarControl*>(this);
}

void TCustomdxBarControl::EnterBarFocus(TdxBarItemControl* AControl) {
  TBarLink self(this);
  SetSelectedItemControl(AControl);
  if (self.Alive()) SetIsActive(true);
}

void TCustomdxBarControl::LeaveBarFocus() {
  TBarLink self(this);
  SetSelectedItemControl(nullptr);
  if (self.Alive()) SetIsActive(false);
}

void TCustomdxBarControl::BarLostFocus() {
  if (IsFocused()) LeaveBarFocus();
}

void TCustomdxBarControl::ReturnFocus() {
  TdxBarManager* manager = BarManager();
  IdxBarDesignController* designer = dxBarDesignControllerSlot();
  TCustomForm* form = designer ? designer->CustomizationForm() : nullptr;
  if (IsCustomizing() && form) {
    // The form takes the focus; the bar stays above it meanwhile.
    SetWindowPos(WindowHandle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (form->HandleAllocated()) ::SetFocus(form->WindowHandle());
    SetWindowPos(WindowHandle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  TWinControl* owner = manager ? manager->OwnerControl() : nullptr;
  if (!owner || !owner->HandleAllocated()) return;
  if (::IsWindowVisible(owner->WindowHandle()))
    ::SetFocus(owner->WindowHandle());
  else if (HWND next = GetWindow(owner->WindowHandle(), GW_HWNDNEXT))
    ::SetFocus(next);
}

void TCustomdxBarControl::WinControlEditingDone(TdxBarItemControl* AControl) {
  if (BehaviorOptions().Contains(bboAllowSelectWindowItemsWithoutFocusing)) {
    ChangeSelectedItemControl(nullptr);
    if (dxBarIsLiveControl(this)) ChangeSelectedItemControl(AControl);
  } else {
    CloseByEscape();
  }
}

bool TCustomdxBarControl::ShouldHideOnFocusChange(TdxBarManager*, HWND AWnd) {
  IdxBarDesignController* designer = dxBarDesignControllerSlot();
  TCustomForm* form = designer ? designer->CustomizationForm() : nullptr;
  if (IsCustomizing() && form) return !HandleAllocated() || AWnd != WindowHandle();
  TdxBarItemControl* selected = SelectedControl();
  return !selected || selected->CanLeave();
}

bool TCustomdxBarControl::ChainAllowsHiding() {
  for (TCustomdxBarControl* bar = this; bar; bar = bar->FChildBar)
    if (TdxBarItemControl* selected = bar->SelectedControl(); selected && !selected->CanLeave()) return false;
  return true;
}

bool TCustomdxBarControl::IsAncestorOf(TCustomdxBarControl* AControl) {
  for (TCustomdxBarControl* bar = AControl ? AControl->FParentBar : nullptr; bar; bar = bar->FParentBar)
    if (bar == this) return true;
  return false;
}

bool TCustomdxBarControl::OwnsWindow(HWND AWnd) {
  if (!AWnd || !HandleAllocated()) return false;
  if (IsChild(WindowHandle(), AWnd)) return true;
  TdxBarItemControl* selected = SelectedControl();
  return selected && selected->OwnsWindow(AWnd);
}

void TCustomdxBarControl::ShowWithoutActivation() {
  ShowWindow(WindowHandle(), SW_SHOWNOACTIVATE);
  if (TdxBarItemControl* selected = SelectedControl()) selected->ShowOwnedWindows(true);
}

void TCustomdxBarControl::Hide() { SetVisible(false); }

bool TCustomdxBarControl::IsCursorOverWindow() {
  const TPoint cursor = CursorPos();
  return HandleAllocated() && WindowFromPoint(POINT{cursor.X, cursor.Y}) == WindowHandle();
}

bool TCustomdxBarControl::IsPointInside(const TPoint& AScreenPoint) {
  return HandleAllocated() && WindowRectOf(WindowHandle()).Contains(AScreenPoint);
}

void TCustomdxBarControl::HideAll() {
  if (FState.Contains(bsHideAll)) return;
  FState.Include(bsHideAll);
  TBarLink self(this);
  HideChain();
  if (self.Alive()) FState.Exclude(bsHideAll);
}

void TCustomdxBarControl::HideChain() {
  TBarLink self(this);
  SetIsActive(false);
  if (self.Alive() && FParentBar && !FClosedByEscape) FParentBar->HideAll();
}

void TCustomdxBarControl::CloseByEscape() {
  FClosedByEscape = true;
  HideAll();
}

// ---------------------------------------------------------------------------
// Keyboard
// ---------------------------------------------------------------------------

TdxBarItemLink* TCustomdxBarControl::FindLinkByAccel(Word AKey, TShiftState AShift, TdxBarItemLink* AAfter) {
  if (!FItemLinks) return nullptr;
  AShift.Exclude(ssAlt);
  return FItemLinks->FindLinkByAccel(AKey, AShift, AAfter);
}

TdxBarItemLink* TCustomdxBarControl::FindEnabledLinkByAccel(Word AKey, TShiftState AShift, TdxBarItemLink* AAfter,
                                                            bool& AShared) {
  AShared = false;
  TdxBarItemLink* link = FindLinkByAccel(AKey, AShift, AAfter);
  if (!link) return nullptr;
  TdxBarItemLink* other = FindLinkByAccel(AKey, AShift, link);
  AShared = other && other != link;
  if (!link->Item() || !link->Item()->Enabled()) return nullptr;
  return link;
}

void TCustomdxBarControl::ActivateItemByAccel(TdxBarItemControl* AControl, bool AShared) {
  TBarLink self(this);
  SetSelectedItemControl(AControl);
  if (self.Alive() && !AShared && HandleAllocated()) SendMessageW(WindowHandle(), WM_KEYDOWN, VK_RETURN, 0);
}

TCustomdxBarControl* TCustomdxBarControl::FindNextToolbar(bool AForward) {
  TCustomdxBarControl* root = this;
  while (root->FParentBar) root = root->FParentBar;
  auto* rootBar = dynamic_cast<TCustomdxBarControl*>(root);
  TdxBarManager* manager = rootBar ? rootBar->BarManager() : nullptr;
  TdxBarManagerList* managers = dxBarManagerList();
  if (!manager || !manager->Bars() || root->Kind() != bkBarControl) return nullptr;
  auto barIndexOf = [](TdxBarManager* AManager, TCustomdxBarControl* AControl) {
    for (int i = 0; i < AManager->Bars()->Count(); ++i) {
      IdxBarControl* control = AManager->Bars()->Items(i)->Control();
      if (control && control->BarControlObject() == AControl) return i;
    }
    return -1;
  };
  int index = barIndexOf(manager, root);
  if (index < 0) return nullptr;
  TdxBarManager* current = manager;
  const int step = AForward ? 1 : -1;
  // Every bar of every active manager once at most.
  int guard = 0;
  for (int m = 0; managers && m < managers->Count(); ++m) guard += managers->ManagerAt(m)->Bars()->Count() + 1;
  if (guard == 0) guard = manager->Bars()->Count() + 1;
  while (guard-- > 0) {
    index += step;
    if (index < 0 || index >= current->Bars()->Count()) {
      TdxBarManager* next = managers ? managers->NextActive(current, AForward) : current;
      // Skip managers without bars.
      for (int tries = 0; next && next->Bars()->Count() == 0 && managers && tries < managers->Count(); ++tries)
        next = managers->NextActive(next, AForward);
      if (!next || next->Bars()->Count() == 0) return nullptr;
      current = next;
      index = AForward ? 0 : current->Bars()->Count() - 1;
    }
    TdxBar* bar = current->Bars()->Items(index);
    IdxBarControl* control = bar->Control();
    auto* barControl = control ? dynamic_cast<TCustomdxBarControl*>(control->BarControlObject()) : nullptr;
    if (barControl == root) return nullptr;
    if (barControl && barControl->HandleAllocated() && barControl->ItemLinks() &&
        barControl->ItemLinks()->FirstSelectableLink())
      return barControl;
  }
  return nullptr;
}

void TCustomdxBarControl::FocusNextToolbar(bool AForward) {
  TCustomdxBarControl* next = FindNextToolbar(AForward);
  if (!next) return;
  TCustomdxBarControl* root = this;
  while (root->FParentBar) root = root->FParentBar;
  TBarLink link(next);
  root->BarLostFocus();
  if (!link.Alive()) return;
  TdxBarItemLink* first = next->ItemLinks()->FirstSelectableLink();
  next->BarGetFocus(first ? dynamic_cast<TdxBarItemControl*>(first->Control()) : nullptr);
}

void TCustomdxBarControl::KeyDownMessage(TMessage& Message) {
  TBarLink self(this);
  TCustomControl::WndProc(Message);
  if (!self.Alive() || !ActiveBarControl()) return;
  auto& key = reinterpret_cast<TWMKey&>(Message);
  Word code = key.CharCode;
  if (IsRealVertical()) {
    switch (code) {
      case VK_LEFT: code = VK_UP; break;
      case VK_UP: code = VK_LEFT; break;
      case VK_RIGHT: code = VK_DOWN; break;
      case VK_DOWN: code = VK_RIGHT; break;
      default: break;
    }
    key.CharCode = code;
  }
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  enum { kNone, kPrev, kNext, kCtrlTab } step = kNone;
  if (Kind() == bkSubMenu) {
    if (code == VK_LEFT || code == VK_RIGHT) code = 0;
    if (code == VK_UP) step = kPrev;
    if (code == VK_DOWN) step = kNext;
  } else {
    if (code == VK_LEFT) step = kPrev;
    if (code == VK_RIGHT) step = kNext;
  }
  if (code == VK_TAB) step = ctrl ? kCtrlTab : (shift ? kPrev : kNext);
  if (step == kCtrlTab) {
    FocusNextToolbar(!shift);
    return;
  }
  TdxBarItemLink* target = nullptr;
  if (FItemLinks) {
    if (code == VK_END) target = FItemLinks->LastSelectableLink();
    if (code == VK_HOME) target = FItemLinks->FirstSelectableLink();
    if (step == kPrev)
      target = FSelectedLink ? FItemLinks->PrevSelectableLink(FSelectedLink) : FItemLinks->FirstSelectableLink();
    if (step == kNext)
      target = FSelectedLink ? FItemLinks->NextSelectableLink(FSelectedLink) : FItemLinks->FirstSelectableLink();
  }
  if (target) {
    auto* control = dynamic_cast<TdxBarItemControl*>(target->Control());
    SetSelectedItemControl(control);
    // Tabbing onto an item with a window of its own goes into the window.
    if (self.Alive() && code == VK_TAB && control && control == SelectedControl() && control->HasWindow())
      control->PressAndClick(false);
    return;
  }
  TdxBarManager* manager = BarManager();
  if (code == VK_MENU || (code == VK_F10 && manager && manager->UseF10ForMenu())) {
    key.CharCode = 0;
    HideAll();
    return;
  }
  TShiftState state;
  if (shift) state.Include(ssShift);
  if (ctrl) state.Include(ssCtrl);
  if (code != 0 && dxBarIsKeyTipChar(code)) {
    bool shared = false;
    if (TdxBarItemLink* link = FindEnabledLinkByAccel(code, state, FSelectedLink, shared)) {
      if (auto* control = dynamic_cast<TdxBarItemControl*>(link->Control())) ActivateItemByAccel(control, shared);
      return;
    }
  }
  if (!self.Alive() || !ActiveBarControl()) return;
  if (PassKeyToSelectedItem(code, state)) {
    key.CharCode = code;
    return;
  }
  HandleBarKey(key);
}

bool TCustomdxBarControl::PassKeyToSelectedItem(Word& AKey, TShiftState AShift) {
  TdxBarItemControl* selected = SelectedControl();
  if (!selected || !selected->Enabled() || !selected->IsAcceleratorChar(AKey)) return false;
  selected->HandleKeyDown(AKey, AShift);
  return true;
}

void TCustomdxBarControl::HandleBarKey(TWMKey& Message) {
  if (Message.CharCode == VK_RETURN) ClickSelectedByKeyboard();
}

void TCustomdxBarControl::ClickSelectedByKeyboard() {
  if (IdxBarNavigation* navigation = dxBarNavigation();
      navigation && (navigation->IsKeyTipsWaiting() || navigation->KeyTipsHandlingMode()))
    navigation->StopKeyboardHandling();
  if (!dxBarIsLiveControl(this)) return;
  if (TdxBarItemControl* selected = SelectedControl()) selected->PressAndClick(false);
}
