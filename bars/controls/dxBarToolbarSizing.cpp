// The toolbar window's sizes and item layout: it describes its links to the
// layout values (dxBarToolbarLayout) and applies what they answer to its
// item controls, its links and its view info.
#include "bars/controls/dxBarToolbarControl.h"

#include "bars/controls/dxBarDockControl.h"
#include "bars/controls/dxBarPainter.h"
#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarManager.h"
#include "platform/gui/GdiAccounting.h"

#include <algorithm>
#include <map>

// ---------------------------------------------------------------------------
// TdxBarControlViewInfo
// ---------------------------------------------------------------------------

TdxBarControl* TdxBarControlViewInfo::BarControl() const {
  return static_cast<TdxBarControl*>(TCustomdxBarControlViewInfo::BarControl());
}

void TdxBarControlViewInfo::Calculate() {
  TdxBarControl* bar = BarControl();
  bar->CalcLayout();
  ClearLayout();
  TdxBarItemLinks* links = bar->ItemLinks();
  if (!links) return;
  for (int i = 0; i < links->VisibleItemCount(); ++i) {
    TdxBarItemLink* link = links->VisibleItems(i);
    auto* control = dynamic_cast<TdxBarItemControl*>(link->Control());
    if (!control) continue;
    if (StopsAtControl(control)) break;
    control->ViewInfo()->SetBounds(link->ItemRect());
    AddItemControlViewInfo(control->ViewInfo());
    if (AllowsSeparators()) AddSeparatorForLink(link);
  }
}

void TdxBarControlViewInfo::AddSeparatorForLink(TdxBarItemLink* ALink) {
  TdxBarControl* bar = BarControl();
  // The separators go where the layout opened the group gaps.
  const std::vector<TdxBarItemLink*>& laidOut = bar->FLayoutLinks;
  const size_t index = std::find(laidOut.begin(), laidOut.end(), ALink) - laidOut.begin();
  const std::vector<TdxBarPlacedItem>& placed = bar->FLayout.Placement.Items;
  const bool beginsGroup = index < placed.size() ? placed[index].BeginsGroup : ALink->BeginGroup();
  if (!beginsGroup || ALink->ItemRect().IsEmpty()) return;
  const TRect client = bar->ClientRect();
  const TdxBarLayoutSeparator separator = dxBarToolbarGroupSeparator(
      bar->IsDockedLeftOrRight(), ALink->ItemRect(), ALink->RowHeight(), bar->BeginGroupSize(),
      TSize(client.Width(), client.Height()), bar->DockingStyle() != dsNone ? bar->MarkAreaSize() : 0);
  AddLinkSeparator(separator.Bounds, separator.Kind, dynamic_cast<TdxBarItemControl*>(ALink->Control()));
}

void TdxBarControlViewInfo::AddLinkSeparator(const TRect& ABounds, TdxBarItemSeparatorKind AKind,
                                             TdxBarItemControl* AControl) {
  AppendSeparator(ABounds, AKind, AControl);
}

// ---------------------------------------------------------------------------
// TdxBarControl: sizes
// ---------------------------------------------------------------------------

void TdxBarControl::CalcMetrics() {
  FItemSizesValid = false;
  TCustomdxBarControl::CalcMetrics();
  FMDIButtonWidth = GetSystemMetrics(SM_CXMENUSIZE) - 2;
  FMDIButtonHeight = GetSystemMetrics(SM_CYMENUSIZE) - 4;
  FMarkSize = GetPainter()->MarkSizeX(this);
  FCloseButtonWidth = GetPainter()->BarCloseButtonSize().cx;
}

bool TdxBarControl::IsRestSpaceItem(TdxBarItemControl* AControl) {
  if (!FBar || !FBar->UseRestSpace() || !FItemLinks || FItemLinks->CanVisibleItemCount() == 0) return false;
  return FItemLinks->CanVisibleItems(FItemLinks->CanVisibleItemCount() - 1) == AControl->ItemLink();
}

void TdxBarControl::FillLayout() {
  TdxBarToolbarLayoutInput& input = FLayout.Input;
  FLayoutLinks.clear();
  input.Items.clear();
  input.DockingStyle = FDockingStyle;
  input.MultiLine = FBar && FBar->MultiLine();
  input.HasMark = HasMark();
  input.ShowsCloseButton = ShowsCloseButton();
  input.HasMDIArea = HasMDIArea();
  input.ShowsMDIButtons = ShowsMDIButtons();
  input.UseRestSpace = FBar && FBar->UseRestSpace();
  input.AllowsRowBreakOnOverflow = AllowsRowBreakOnOverflow();
  const TdxBarPainter* painter = GetPainter();
  TdxBarManager* manager = BarManager();
  // The manager's glyph size: 16, or 32 (the large images' size) with large icons.
  const int glyph = manager ? manager->ImageOptions()->GlyphSize() : 16;
  TdxBarToolbarMetrics& metrics = input.Metrics;
  metrics.BeginGroupSize = BeginGroupSize();
  metrics.MarkSize = FMarkSize;
  metrics.ButtonWidth = painter->GetButtonWidth(glyph, FTextSize);
  metrics.ButtonHeight = painter->GetButtonHeight(glyph, FTextSize);
  metrics.CloseButtonWidth = FCloseButtonWidth;
  metrics.MDIButtonWidth = FMDIButtonWidth;
  metrics.MDIButtonHeight = FMDIButtonHeight;
  input.RecentItemsActive = FItemLinks && FItemLinks->RecentItemsActive();
  input.Designing = manager && manager->Designing();
  input.RecentItemCount = FItemLinks ? FItemLinks->RecentItemCount() : -1;
  if (!FItemLinks) return;

  // Places in the recent-use order, counted over the links that can be visible.
  std::map<const TdxBarItemLink*, int> recent;
  for (TdxBarItemLink* link : FItemLinks->RecentItems())
    if (FItemLinks->CanVisibleIndexOf(link) >= 0) recent.emplace(link, static_cast<int>(recent.size()));

  // Every link that can be visible is measured by its item control, made
  // here when it is missing. Before the window exists the controls are left
  // to its creation: measuring then would go through the shared screen
  // canvas, which would keep the bar's font after the bar is gone.
  if (HandleAllocated() && !FState.Contains(bsCreatingControls) && !FState.Contains(bsDestroyingControls) && !IsDestroying())
    for (int i = 0; i < FItemLinks->CanVisibleItemCount(); ++i) {
      TdxBarItemLink* link = FItemLinks->CanVisibleItems(i);
      if (link->Control()) continue;
      link->CreateControl();
      if (link->Control()) FItemSizesValid = false;
    }
  const bool reuse = FItemSizesValid && HandleAllocated();
  if (!reuse) FItemSizes.clear();
  size_t sized = 0;
  // A group start on a link that is not shown passes to the next one that can be.
  bool pendingGroup = false;
  for (int i = 0; i < FItemLinks->Count(); ++i) {
    TdxBarItemLink* link = FItemLinks->Items(i);
    const bool canVisible = FItemLinks->CanVisibleIndexOf(link) >= 0;
    auto* control = canVisible ? dynamic_cast<TdxBarItemControl*>(link->Control()) : nullptr;
    if (!control) {
      pendingGroup = pendingGroup || link->StoredBeginGroup();
      continue;
    }
    TdxBarLayoutItem item;
    if (reuse && sized < FItemSizes.size()) {
      item.Width = FItemSizes[sized].cx;
      item.Height = FItemSizes[sized].cy;
    } else {
      item.Width = control->Width();
      item.Height = control->Height();
      if (!reuse) FItemSizes.push_back(TSize(item.Width, item.Height));
    }
    ++sized;
    item.BeginGroup = pendingGroup || link->StoredBeginGroup();
    pendingGroup = false;
    item.MinimalWidth = control->MinimalWidth();
    item.IsSeparator = dynamic_cast<TdxBarSeparator*>(link->Item()) != nullptr;
    item.Align = link->Item() ? link->Item()->Align() : iaLeft;
    const auto place = recent.find(link);
    item.RecentIndex = place != recent.end() ? place->second : -1;
    input.Items.push_back(item);
    FLayoutLinks.push_back(link);
  }
  FItemSizesValid = HandleAllocated() && FItemSizes.size() == input.Items.size();
}

void TdxBarControl::RebuildItemControls() {
  FItemSizesValid = false;
  TCustomdxBarControl::RebuildItemControls();
}

void TdxBarControl::ApplySize(const TdxBarToolbarSize& ASize, bool AKeepRecentCount) {
  const bool wrapped = !ASize.BreakingRow.empty();
  if (wrapped)
    for (size_t i = 0; i < FLayoutLinks.size() && i < ASize.BreakingRow.size(); ++i)
      if (auto* control = dynamic_cast<TdxBarItemControl*>(FLayoutLinks[i]->Control()))
        control->BreakingRow = ASize.BreakingRow[i];
  // The row arrangement relies on the count a size query chose.
  const bool recount = !AKeepRecentCount && FItemLinks && ASize.RecentItemCount != FItemLinks->RecentItemCount();
  if (recount) FItemLinks->ChangeRecentItemCount(ASize.RecentItemCount);
  if ((wrapped || recount) && !IsDestroying()) CalculateViewInfo();
}

int TdxBarControl::CalcWidthForStyle(TdxBarDockingStyle AStyle) {
  FillLayout();
  return dxBarToolbarWidthForStyle(FLayout.Input, AStyle);
}

int TdxBarControl::CalcHeightForStyle(TdxBarDockingStyle AStyle) {
  FillLayout();
  return dxBarToolbarHeightForStyle(FLayout.Input, AStyle);
}

int TdxBarControl::CalcFullWidthForStyle(TdxBarDockingStyle AStyle) {
  FillLayout();
  return dxBarToolbarFullWidthForStyle(FLayout.Input, AStyle);
}

int TdxBarControl::CalcFullHeightForStyle(TdxBarDockingStyle AStyle) {
  FillLayout();
  return dxBarToolbarFullHeightForStyle(FLayout.Input, AStyle);
}

TPoint TdxBarControl::CalcSizeForLength(TdxBarDockingStyle AStyle, int ALength) {
  FillLayout();
  const TdxBarToolbarSize size = dxBarToolbarSizeForLength(FLayout.Input, AStyle, ALength);
  ApplySize(size, false);
  return size.Size;
}

TPoint TdxBarControl::CalcSizeForHeight(TdxBarDockingStyle AStyle, int AHeight) {
  FillLayout();
  const TdxBarToolbarSize size = dxBarToolbarSizeForHeight(FLayout.Input, AStyle, AHeight);
  ApplySize(size, false);
  return size.Size;
}

void TdxBarControl::WrapItems(bool ASubtractMark, int ALength, TPoint& ASize) {
  FillLayout();
  const TdxBarToolbarSize size = dxBarToolbarWrapItems(FLayout.Input, ASubtractMark, ALength, ASize);
  ApplySize(size, true);
  ASize = size.Size;
}

TPoint TdxBarControl::CalcSizeForDockingStyle(TdxBarDockingStyle AStyle) {
  if (BehaviorOptions().Contains(bboUnmoved)) AStyle = dsNone;
  const TRect offsets = ContentOffsets(AStyle);
  TdxBarToolbarPlace place;
  place.Style = AStyle;
  place.ContentOffsets = TSize(offsets.Left + offsets.Right, offsets.Top + offsets.Bottom);
  place.WholeRow = FBar && FBar->WholeRow() && FDockControl;
  if (FDockControl) {
    const TRect dockClient = FDockControl->ClientRect();
    place.DockClientSize = TSize(dockClient.Width(), dockClient.Height());
  }
  place.FloatClientWidth = FBar ? FBar->FloatClientWidth() : 0;
  FillLayout();
  const TdxBarToolbarSize size = dxBarToolbarSizeForDockingStyle(FLayout.Input, place);
  // A size for another style leaves the recent items as they are shown now.
  ApplySize(size, true);
  return size.Size;
}

TPoint TdxBarControl::DragOffsetForStyle(TdxBarDockingStyle AStyle) {
  TdxBarManager* manager = BarManager();
  TdxBars* bars = manager ? manager->Bars() : nullptr;
  if (AStyle != dsNone && bars && bars->MovingBarControl() == static_cast<IdxBarControl*>(this) &&
      AStyle == bars->MovingBarOriginalDockingStyle()) {
    // Back in the style the move began with: the cursor returns to where it grabbed.
    if (AStyle == dsLeft || AStyle == dsRight)
      return TPoint(-bars->MovingOffset().X, bars->MovingStaticOffset().Y);
    return TPoint(bars->MovingStaticOffset().X, -bars->MovingOffset().Y);
  }
  return dxBarToolbarDragOffset(CalcSizeForDockingStyle(AStyle), RX, RY);
}

TRect TdxBarControl::CalcFloatingSizingRect(int AEdge, const TRect& AProposed) {
  const TRect offsets = ContentOffsets(dsNone);
  RECT current{};
  if (HandleAllocated()) GetWindowRect(WindowHandle(), &current);
  FillLayout();
  const TdxBarFloatingSizing sizing =
      dxBarToolbarFloatingSizing(FLayout.Input, AEdge, AProposed, TRect(current.left, current.top, current.right, current.bottom),
                                 TSize(offsets.Left + offsets.Right, offsets.Top + offsets.Bottom));
  if (sizing.Sized) ApplySize(sizing.Size, false);
  return sizing.Bounds;
}

// ---------------------------------------------------------------------------
// TdxBarControl: item placement
// ---------------------------------------------------------------------------

void TdxBarControl::CalcLayout() {
  CalcItemsRect();
  CalcItemRects(GetPaintType());
}

void TdxBarControl::CalcToolbarItemRects() {
  FillLayout();
  std::vector<bool> breaks;
  for (TdxBarItemLink* link : FLayoutLinks) {
    auto* control = dynamic_cast<TdxBarItemControl*>(link->Control());
    breaks.push_back(control && control->BreakingRow);
  }
  const TRect client = ClientRect();
  FLayout.Placement = dxBarToolbarPlaceItems(FLayout.Input, breaks, TSize(client.Width(), client.Height()));
  if (FLayout.Placement.Truncated) FTruncated = true;
  for (size_t i = 0; i < FLayoutLinks.size(); ++i) {
    const TdxBarPlacedItem& placed = FLayout.Placement.Items[i];
    TdxBarItemLink* link = FLayoutLinks[i];
    link->SetItemRect(placed.ItemRect);
    link->SetRowHeight(placed.RowHeight);
    if (auto* control = dynamic_cast<TdxBarItemControl*>(link->Control())) {
      control->LastInRow = placed.LastInRow;
      control->RecalcState();
    }
  }
}

TRect TdxBarControl::GetItemHitRect(TdxBarItemControl* AControl) {
  TdxBarItemLink* link = AControl ? AControl->ItemLink() : nullptr;
  if (!link) return TRect();
  return dxBarToolbarItemHitRect(IsDockedLeftOrRight(), link->ItemRect(), link->RowHeight());
}

HRGN TdxBarControl::CreateItemRegion(TdxBarItemControl* AControl) {
  const TRect hit = GetItemHitRect(AControl);
  HRGN region = GdiCreateRectRgn(hit.Left, hit.Top, hit.Right, hit.Bottom);
  if (!region || !FViewInfo) return region;
  for (const TdxBarItemSeparatorData& separator : FViewInfo->Separators()) {
    if (separator.AssociatedItemControl != AControl) continue;
    if (HRGN part = GdiCreateRectRgn(separator.Bounds.Left, separator.Bounds.Top, separator.Bounds.Right,
                                     separator.Bounds.Bottom)) {
      CombineRgn(region, region, part, RGN_OR);
      GdiDeleteObject(part);
    }
    break;
  }
  return region;
}

bool TdxBarControl::HitTestDropLink(TPoint APoint, TdxBarItemLink*& ALink, bool& AVertical, bool& ABefore,
                                    bool& AOnSeparator) {
  if (TCustomdxBarControl::HitTestDropLink(APoint, ALink, AVertical, ABefore, AOnSeparator)) return true;
  if (!FItemLinks || !ClientRect().Contains(APoint)) return false;
  // Free room in a row: the drop goes to that row's start or end. The rows
  // as placed, read from the links shown.
  TdxBarToolbarLayoutInput input;
  input.DockingStyle = FDockingStyle;
  TdxBarToolbarPlacement placement;
  std::vector<bool> customizable;
  std::vector<TdxBarItemLink*> links;
  for (int i = 0; i < FItemLinks->VisibleItemCount(); ++i) {
    TdxBarItemLink* link = FItemLinks->VisibleItems(i);
    auto* control = dynamic_cast<TdxBarItemControl*>(link->Control());
    if (!control) continue;
    TdxBarPlacedItem placed;
    placed.ItemRect = link->ItemRect();
    placed.RowHeight = link->RowHeight();
    placed.LastInRow = control->LastInRow;
    placed.Align = IsRestSpaceItem(control) && link->Item() ? link->Item()->Align() : iaLeft;
    placement.Items.push_back(placed);
    customizable.push_back(control->AllowsCustomizing());
    links.push_back(link);
  }
  const TdxBarToolbarDropTarget target = dxBarToolbarFreeSpaceDropTarget(input, placement, customizable, APoint);
  if (target.Item < 0) return false;
  ALink = links[target.Item];
  ABefore = target.Before;
  return true;
}

// ---------------------------------------------------------------------------
// TdxBarControl: overflow
// ---------------------------------------------------------------------------

void TdxBarControl::FillOverflowLinks(TdxBarItemLinks* ALinks) {
  if (!FItemLinks || !ALinks) return;
  for (int i = 0; i < FItemLinks->CanVisibleItemCount(); ++i) {
    TdxBarItemLink* link = FItemLinks->CanVisibleItems(i);
    const bool hidden = link->VisibleIndex() == -1;
    if (!hidden && !(link->Control() && link->ItemRect().IsEmpty())) continue;
    TdxBarItemLink* copy = ALinks->Add();
    copy->Assign(link);
    copy->SetOriginalItemLink(link);
  }
}
