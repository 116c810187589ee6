#include "bars/controls/dxBarToolbarLayout.h"

#include "foundation/cxGeometry.h"

#include <algorithm>

namespace {

bool IsLeftOrRight(TdxBarDockingStyle AStyle) { return AStyle == dsLeft || AStyle == dsRight; }
bool IsTopOrBottom(TdxBarDockingStyle AStyle) { return AStyle == dsTop || AStyle == dsBottom; }

// A displayed item on its way along a bar.
struct TFlowItem {
  int Index;
  int Along;
  int Across;
  bool BeginsGroup;
};

// The displayed items for a recent count, measured along and across a bar of
// the given orientation, each knowing whether a group starts at it.
std::vector<TFlowItem> Flow(const TdxBarToolbarLayoutInput& AInput, int ARecentItemCount, bool AVertical) {
  std::vector<TFlowItem> result;
  int previous = -1;
  for (int index : dxBarToolbarDisplayedItems(AInput, ARecentItemCount)) {
    const TdxBarLayoutItem& item = AInput.Items[index];
    // A group start on a link that is not displayed passes to the next
    // displayed one; an item's own start counts unless a separator item
    // right before it already divides.
    bool group = false;
    if (previous >= 0) {
      group = item.BeginGroup && !AInput.Items[previous].IsSeparator;
      for (int j = previous + 1; j < index && !group; ++j) group = AInput.Items[j].BeginGroup;
    }
    result.push_back({index, AVertical ? item.Height : item.Width, AVertical ? item.Width : item.Height, group});
    previous = index;
  }
  return result;
}

// One row from the start while the items fit the limit: (length, thickness)
// and whether an item after the first did not fit.
struct TFlowMeasure {
  TPoint Size;
  bool Overflow = false;
};

TFlowMeasure MeasureFlow(const std::vector<TFlowItem>& AFlow, int ALimit, int ABeginGroupSize) {
  TFlowMeasure result;
  int pos = 0;
  int thick = 0;
  for (size_t i = 0; i < AFlow.size(); ++i) {
    const int gap = AFlow[i].BeginsGroup ? ABeginGroupSize : 0;
    if (i > 0 && pos + AFlow[i].Along + gap > ALimit) {
      result.Overflow = true;
      break;
    }
    pos += AFlow[i].Along + gap;
    thick = std::max(thick, AFlow[i].Across);
  }
  result.Size = TPoint(pos, thick);
  return result;
}

// The single-row size along one axis: the flow of the displayed items for a
// limit, and with recent items the largest count of them that fits.
// ALeast is (along, across) of the least size; answers (along, across).
TdxBarToolbarSize SingleRowSize(const TdxBarToolbarLayoutInput& AInput, bool AVertical, TPoint ALeast,
                                int ALimit) {
  TdxBarToolbarSize result;
  const int mark = AInput.MarkAreaSize();
  const int bgs = AInput.Metrics.BeginGroupSize;
  const int mdiAlong = AVertical ? AInput.MDIAreaHeight() : AInput.MDIAreaWidth();
  const int mdiAcross = AVertical ? AInput.MDIAreaWidth() : AInput.MDIAreaHeight();
  int limit = std::max(ALimit, ALeast.X);
  if (AInput.HasMDIArea) limit -= mdiAlong;
  result.RecentItemCount = -1;
  if (AInput.Items.empty()) {
    result.Size = ALeast;
    return result;
  }
  limit -= mark;
  TPoint flow;
  if (!AInput.RecentItemsActive || AInput.Designing) {
    flow = MeasureFlow(Flow(AInput, -1, AVertical), limit, bgs).Size;
  } else {
    // As many recent items as fit: counts grow one by one until an item
    // does not fit; the count that fitted stays.
    TPoint previous(ALeast.X - mark, ALeast.Y);
    bool overflowed = false;
    const int count = static_cast<int>(AInput.Items.size());
    for (int n = 1; n <= count; ++n) {
      const TFlowMeasure measure = MeasureFlow(Flow(AInput, n, AVertical), limit, bgs);
      if (measure.Overflow) {
        result.RecentItemCount = n - 1;
        overflowed = true;
        break;
      }
      previous = measure.Size;
    }
    if (!overflowed) result.RecentItemCount = -1;
    flow = previous;
  }
  flow.X += mark;
  result.Size = TPoint(std::max(ALeast.X, flow.X), flow.Y);
  if (AInput.HasMDIArea) {
    result.Size.X += mdiAlong;
    result.Size.Y = std::max(result.Size.Y, mdiAcross);
  }
  return result;
}

TdxBarToolbarSize Unchanged(const TdxBarToolbarLayoutInput& AInput, TPoint ASize) {
  TdxBarToolbarSize result;
  result.Size = ASize;
  result.RecentItemCount = AInput.RecentItemCount;
  return result;
}

}  // namespace

TSize dxBarToolbarMDIAreaSize(bool AShowsMDIButtons, bool AVertical, TSize AButtonSize) {
  TSize result = AButtonSize;
  if (AShowsMDIButtons) {
    int& along = AVertical ? result.cy : result.cx;
    along = 3 * along + 2;
  }
  return result;
}

int TdxBarToolbarLayoutInput::MDIAreaWidth() const {
  return dxBarToolbarMDIAreaSize(ShowsMDIButtons, IsDockedLeftOrRight(),
                                 TSize(Metrics.MDIButtonWidth, Metrics.MDIButtonHeight)).cx;
}

int TdxBarToolbarLayoutInput::MDIAreaHeight() const {
  return dxBarToolbarMDIAreaSize(ShowsMDIButtons, IsDockedLeftOrRight(),
                                 TSize(Metrics.MDIButtonWidth, Metrics.MDIButtonHeight)).cy;
}

std::vector<int> dxBarToolbarDisplayedItems(const TdxBarToolbarLayoutInput& AInput, int ARecentItemCount) {
  std::vector<int> result;
  const bool all = AInput.Designing || !AInput.RecentItemsActive || ARecentItemCount < 0;
  for (size_t i = 0; i < AInput.Items.size(); ++i) {
    const int recent = AInput.Items[i].RecentIndex;
    if (all || (recent >= 0 && recent < ARecentItemCount)) result.push_back(static_cast<int>(i));
  }
  return result;
}

namespace {

// The least size along one axis: the width (AHeight false) or the height.
// The two rules mirror each other: the largest item where the bar stacks its
// items across that axis (or wraps them), else the first item shown with one
// recent item; plus the mark where the axis runs along a docked bar.
int LeastSize(const TdxBarToolbarLayoutInput& AInput, TdxBarDockingStyle AStyle, bool AHeight) {
  auto sizeOf = [AHeight](const TdxBarLayoutItem& AItem) { return AHeight ? AItem.Height : AItem.Width; };
  const int button = AHeight ? AInput.Metrics.ButtonHeight : AInput.Metrics.ButtonWidth;
  const int mdi = AHeight ? AInput.MDIAreaHeight() : AInput.MDIAreaWidth();
  int size = 0;
  if ((AHeight ? IsTopOrBottom(AStyle) : IsLeftOrRight(AStyle)) || AInput.IsMultiRowLayout()) {
    for (const TdxBarLayoutItem& item : AInput.Items) size = std::max(size, sizeOf(item));
    if (AInput.Items.empty()) size = AHeight || AStyle != dsNone ? button : 0;
    if (AInput.HasMDIArea) size = std::max(size, mdi);
    if (!AHeight && AStyle == dsNone) {
      // A floating bar keeps room for its caption's mark and close button.
      const int caption = AInput.MarkAreaSize() + (AInput.ShowsCloseButton ? AInput.Metrics.CloseButtonWidth : 0);
      size = std::max({size, caption, 51});
    }
  } else {
    // The least a single row shows is its most recent item.
    const std::vector<int> first = dxBarToolbarDisplayedItems(AInput, 1);
    size = first.empty() ? button : sizeOf(AInput.Items[first.front()]);
    if (AInput.HasMDIArea) size += mdi;
  }
  if (AHeight ? AInput.IsDockedLeftOrRight() : AInput.IsDockedTopOrBottom()) size += AInput.MarkAreaSize();
  return size;
}

// The size along one axis with every item in one row (or column).
int FullSize(const TdxBarToolbarLayoutInput& AInput, TdxBarDockingStyle AStyle, bool AHeight) {
  const int mdi = AHeight ? AInput.MDIAreaHeight() : AInput.MDIAreaWidth();
  int full = 0;
  if ((AHeight ? IsLeftOrRight(AStyle) : IsTopOrBottom(AStyle)) || AInput.IsMultiRowLayout()) {
    for (const TFlowItem& item : Flow(AInput, -1, AHeight))
      full += item.Along + (item.BeginsGroup ? AInput.Metrics.BeginGroupSize : 0);
    if (AInput.HasMDIArea) full += mdi;
    if (AHeight ? AInput.IsDockedLeftOrRight() : AInput.IsDockedTopOrBottom()) full += AInput.MarkAreaSize();
  } else {
    for (const TdxBarLayoutItem& item : AInput.Items) full = std::max(full, AHeight ? item.Height : item.Width);
    if (AInput.HasMDIArea) full = std::max(full, mdi);
  }
  return std::max(LeastSize(AInput, AStyle, AHeight), full);
}

}  // namespace

int dxBarToolbarWidthForStyle(const TdxBarToolbarLayoutInput& AInput, TdxBarDockingStyle AStyle) {
  return LeastSize(AInput, AStyle, false);
}

int dxBarToolbarHeightForStyle(const TdxBarToolbarLayoutInput& AInput, TdxBarDockingStyle AStyle) {
  return LeastSize(AInput, AStyle, true);
}

int dxBarToolbarFullWidthForStyle(const TdxBarToolbarLayoutInput& AInput, TdxBarDockingStyle AStyle) {
  return FullSize(AInput, AStyle, false);
}

int dxBarToolbarFullHeightForStyle(const TdxBarToolbarLayoutInput& AInput, TdxBarDockingStyle AStyle) {
  return FullSize(AInput, AStyle, true);
}

TdxBarToolbarSize dxBarToolbarSizeForLength(const TdxBarToolbarLayoutInput& AInput, TdxBarDockingStyle AStyle,
                                            int ALength) {
  if (AInput.IsMultiRowLayout()) {
    if (AInput.IsDockedLeftOrRight()) {
      // Shorter columns make the bar wider: step the height down until the
      // width is reached or the height stops changing.
      TdxBarToolbarSize size = dxBarToolbarSizeForHeight(AInput, AStyle, dxBarToolbarFullHeightForStyle(AInput, AStyle));
      while (size.Size.X < ALength) {
        const int height = size.Size.Y;
        size = dxBarToolbarSizeForHeight(AInput, AStyle, height - 1);
        if (size.Size.Y == height) break;
      }
      return size;
    }
    const TPoint least(dxBarToolbarWidthForStyle(AInput, AStyle), dxBarToolbarHeightForStyle(AInput, AStyle));
    return dxBarToolbarWrapItems(AInput, AStyle != dsNone, ALength, least);
  }
  if (IsLeftOrRight(AStyle))
    return Unchanged(AInput,
                     TPoint(dxBarToolbarWidthForStyle(AInput, AStyle), dxBarToolbarFullHeightForStyle(AInput, AStyle)));
  const TPoint least(dxBarToolbarWidthForStyle(AInput, AStyle), dxBarToolbarHeightForStyle(AInput, AStyle));
  return SingleRowSize(AInput, false, least, ALength);
}

TdxBarToolbarSize dxBarToolbarSizeForHeight(const TdxBarToolbarLayoutInput& AInput, TdxBarDockingStyle AStyle,
                                            int AHeight) {
  if (AInput.IsMultiRowLayout()) {
    if (AInput.IsDockedLeftOrRight()) {
      const TPoint least(dxBarToolbarWidthForStyle(AInput, AStyle), dxBarToolbarHeightForStyle(AInput, AStyle));
      return dxBarToolbarWrapItems(AInput, AStyle != dsNone, AHeight, least);
    }
    // Narrower rows make the bar taller: each step asks for one pixel less
    // than the width the last wrap used.
    TdxBarToolbarSize size = dxBarToolbarSizeForLength(AInput, AStyle, dxBarToolbarFullWidthForStyle(AInput, AStyle));
    while (size.Size.Y < AHeight) {
      const int width = size.Size.X;
      size = dxBarToolbarSizeForLength(AInput, AStyle, width - 1);
      if (size.Size.X == width) break;
    }
    return size;
  }
  if (IsTopOrBottom(AStyle))
    return Unchanged(AInput,
                     TPoint(dxBarToolbarFullWidthForStyle(AInput, AStyle), dxBarToolbarHeightForStyle(AInput, AStyle)));
  // The horizontal rule with the axes exchanged.
  const TPoint least(dxBarToolbarHeightForStyle(AInput, AStyle), dxBarToolbarWidthForStyle(AInput, AStyle));
  TdxBarToolbarSize result = SingleRowSize(AInput, true, least, AHeight);
  result.Size = TPoint(result.Size.Y, result.Size.X);
  return result;
}

TdxBarToolbarSize dxBarToolbarWrapItems(const TdxBarToolbarLayoutInput& AInput, bool ASubtractMark, int ALength,
                                        TPoint ASize) {
  TdxBarToolbarSize result;
  result.RecentItemCount = AInput.RecentItemCount;
  result.BreakingRow.assign(AInput.Items.size(), false);
  const bool vertical = AInput.IsDockedLeftOrRight();
  int& along = vertical ? ASize.Y : ASize.X;
  int& across = vertical ? ASize.X : ASize.Y;
  int limit = std::max(ALength, along);
  if (ASubtractMark) limit -= AInput.MarkAreaSize();
  const std::vector<TFlowItem> flow = Flow(AInput, AInput.RecentItemCount, vertical);
  int pos = 0, sum = 0, rowThick = 0, maxLen = 0;
  int groupItem = -1, groupPos = 0, groupThick = 0;
  bool rewrap = false, groupBreakAllowed = true;
  for (size_t i = 0; i < flow.size();) {
    const TFlowItem& item = flow[i];
    int gap = 0;
    if (item.BeginsGroup && pos > 0) {
      gap = AInput.Metrics.BeginGroupSize;
      groupItem = static_cast<int>(i);
      groupPos = pos;
      groupThick = rowThick;
    }
    if ((pos > 0 && pos + gap + item.Along > limit) || rewrap || (gap > 0 && !groupBreakAllowed)) {
      result.BreakingRow[item.Index] = true;
      groupBreakAllowed = true;
      if (groupItem < 0) {
        // A row broke with no group start in it: the next group starts a row.
        groupBreakAllowed = false;
      } else if (rewrap) {
        groupItem = -1;
        rewrap = false;
      } else {
        // The whole group moves to the next row.
        i = static_cast<size_t>(groupItem);
        pos = groupPos;
        rowThick = groupThick;
        rewrap = true;
        continue;
      }
      sum += gap + rowThick;
      rowThick = 0;
      maxLen = std::max(maxLen, pos);
      pos = item.Along;
    } else {
      result.BreakingRow[item.Index] = false;
      pos += gap + item.Along;
    }
    rowThick = std::max(rowThick, item.Across);
    ++i;
  }
  if (!flow.empty()) across = sum + rowThick;
  if (AInput.HasMDIArea) {
    // The MDI buttons share the last row when they fit in it, else they take a row.
    const int mdi = vertical ? AInput.MDIAreaHeight() : AInput.MDIAreaWidth();
    if (pos + mdi <= limit)
      pos += mdi;
    else
      across += vertical ? AInput.MDIAreaWidth() : AInput.MDIAreaHeight();
  }
  maxLen = std::max(maxLen, pos);
  // The rows were measured without the mark's room at the end of a docked
  // bar: the bar gives it back, or the placement, which keeps that room
  // free, would push the widest row's last item into a row of its own
  // outside the bar.
  if (ASubtractMark) maxLen += AInput.MarkAreaSize();
  along = std::max(along, maxLen);
  result.Size = ASize;
  return result;
}

TdxBarToolbarSize dxBarToolbarSizeForDockingStyle(const TdxBarToolbarLayoutInput& AInput,
                                                  const TdxBarToolbarPlace& APlace) {
  const int ow = APlace.ContentOffsets.cx;
  const int oh = APlace.ContentOffsets.cy;
  TdxBarToolbarSize result;
  switch (APlace.Style) {
    case dsNone:
      result = dxBarToolbarSizeForLength(AInput, dsNone, APlace.FloatClientWidth);
      result.Size = TPoint(result.Size.X + ow, result.Size.Y + oh);
      break;
    case dsLeft:
    case dsRight: {
      const int height = APlace.WholeRow ? APlace.DockClientSize.cy - oh
                                         : dxBarToolbarFullHeightForStyle(AInput, APlace.Style);
      result = dxBarToolbarSizeForHeight(AInput, APlace.Style, height);
      result.Size = TPoint(result.Size.X + ow, APlace.WholeRow ? APlace.DockClientSize.cy : result.Size.Y + oh);
      break;
    }
    default: {
      const int width = APlace.WholeRow ? APlace.DockClientSize.cx - ow
                                        : dxBarToolbarFullWidthForStyle(AInput, APlace.Style);
      result = dxBarToolbarSizeForLength(AInput, APlace.Style, width);
      result.Size = TPoint(APlace.WholeRow ? APlace.DockClientSize.cx : result.Size.X + ow, result.Size.Y + oh);
      break;
    }
  }
  return result;
}

TPoint dxBarToolbarDragOffset(TPoint ASize, TPoint ARX, TPoint ARY) {
  // A window recorded with no extent has no relative place to keep.
  const int x = ARX.Y != 0 ? MulDiv(ASize.X, ARX.X, ARX.Y) : 0;
  const int y = ARY.Y != 0 ? MulDiv(ASize.Y, ARY.X, ARY.Y) : 0;
  return TPoint(x, y);
}

TdxBarFloatingSizing dxBarToolbarFloatingSizing(const TdxBarToolbarLayoutInput& AInput, int AEdge,
                                                const TRect& AProposed, const TRect& ACurrent,
                                                TSize AContentOffsets) {
  TdxBarFloatingSizing result;
  TRect r = AProposed;
  const int ow = AContentOffsets.cx;
  const int oh = AContentOffsets.cy;
  switch (AEdge) {
    case WMSZ_LEFT:
    case WMSZ_RIGHT: {
      result.Size = dxBarToolbarSizeForLength(AInput, dsNone, r.Width() - ow);
      const int width = result.Size.Size.X + ow;
      if (AEdge == WMSZ_LEFT)
        r.Left = r.Right - width;
      else
        r.Right = r.Left + width;
      r.Bottom = r.Top + result.Size.Size.Y + oh;
      result.Sized = true;
      break;
    }
    case WMSZ_TOP:
    case WMSZ_BOTTOM: {
      result.Size = dxBarToolbarSizeForHeight(AInput, dsNone, r.Height() - oh);
      const int height = result.Size.Size.Y + oh;
      r.Right = r.Left + result.Size.Size.X + ow;
      if (AEdge == WMSZ_TOP)
        r.Top = r.Bottom - height;
      else
        r.Bottom = r.Top + height;
      result.Sized = true;
      break;
    }
    default:
      // Corners would change both axes at once: the bar keeps its bounds.
      r = ACurrent;
      break;
  }
  if (r.Top < -15) r = cxShiftRect(r, 0, -15 - r.Top);
  result.Bounds = r;
  return result;
}

namespace {

// Centres a finished row's items across it.
void FinishRow(const TdxBarToolbarLayoutInput& AInput, TdxBarToolbarPlacement& APlacement,
               const std::vector<TFlowItem>& AFlow, size_t AFirst, size_t ALast, int ARowThick) {
  const bool vertical = AInput.IsDockedLeftOrRight();
  for (size_t k = AFirst; k <= ALast && k < AFlow.size(); ++k) {
    TdxBarPlacedItem& placed = APlacement.Items[AFlow[k].Index];
    const int shift = (ARowThick - AFlow[k].Across) / 2;
    placed.ItemRect = vertical ? cxShiftRect(placed.ItemRect, -shift, 0) : cxShiftRect(placed.ItemRect, 0, shift);
    placed.RowHeight = ARowThick;
  }
}

}  // namespace

TdxBarToolbarPlacement dxBarToolbarPlaceItems(const TdxBarToolbarLayoutInput& AInput,
                                              const std::vector<bool>& ABreakingRow, TSize AClient) {
  TdxBarToolbarPlacement result;
  result.Items.resize(AInput.Items.size());
  const bool multi = AInput.IsMultiRowLayout();
  const bool vertical = AInput.IsDockedLeftOrRight();
  const std::vector<TFlowItem> flow = Flow(AInput, AInput.RecentItemCount, vertical);
  int limit = (vertical ? AClient.cy : AClient.cx) - (AInput.IsDocked() ? AInput.MarkAreaSize() : 0);
  int rowThick = 0;
  const int clientWidth = AClient.cx;
  if (!multi) {
    rowThick = vertical ? AClient.cx : AClient.cy;
    if (AInput.HasMDIArea) limit -= vertical ? AInput.MDIAreaHeight() : AInput.MDIAreaWidth();
  }
  auto breaksRow = [&](int AIndex) { return AIndex < static_cast<int>(ABreakingRow.size()) && ABreakingRow[AIndex]; };
  int pos = 0, rowOffset = 0, rowEnd = 0;
  size_t rowStart = 0;
  int last = -1;
  size_t placedCount = 0;
  for (size_t k = 0; k < flow.size(); ++k) {
    const TFlowItem& item = flow[k];
    const TdxBarLayoutItem& source = AInput.Items[item.Index];
    TdxBarPlacedItem& placed = result.Items[item.Index];
    placed.BeginsGroup = item.BeginsGroup;
    const int len = item.Along;
    const int thick = item.Across;
    int gap = item.BeginsGroup && pos > 0 ? AInput.Metrics.BeginGroupSize : 0;
    const bool overflows = (pos > 0 || (!multi && AInput.AllowsRowBreakOnOverflow)) && pos + gap + len > limit;
    if (overflows || (multi && k > 0 && breaksRow(item.Index))) {
      // A single row stops: the rest are the overflow.
      if (!multi) break;
      result.Items[flow[k - 1].Index].LastInRow = true;
      FinishRow(AInput, result, flow, rowStart, k - 1, rowThick);
      rowStart = k;
      rowOffset += rowThick + gap;
      pos = 0;
      gap = 0;
      rowThick = 0;
      rowEnd = 0;
    }
    TRect r;
    if (multi && vertical)
      r = Bounds(clientWidth - rowOffset - thick, pos + gap, thick, len);
    else if (multi)
      r = Bounds(pos + gap, rowOffset, len, thick);
    else if (vertical)
      r = Bounds((rowThick - thick) / 2, pos + gap, thick, len);
    else
      r = Bounds(pos + gap, (rowThick - thick) / 2, len, thick);
    const bool restSpace = AInput.UseRestSpace && item.Index + 1 == static_cast<int>(AInput.Items.size());
    const TdxBarItemAlign align = restSpace ? source.Align : iaLeft;
    placed.Align = align;
    if (align != iaLeft) {
      int& start = vertical ? r.Top : r.Left;
      int& end = vertical ? r.Bottom : r.Right;
      if (multi && AInput.HasMDIArea) {
        const int mdi = vertical ? AInput.MDIAreaHeight() : AInput.MDIAreaWidth();
        if (end + mdi <= limit) limit -= mdi;
      }
      switch (align) {
        case iaCenter: {
          const int shift = (limit - end) / 2;
          start += shift;
          end += shift;
          break;
        }
        case iaRight: {
          const int shift = limit - end;
          start += shift;
          end += shift;
          break;
        }
        case iaClient:
          end = std::max(limit, start + source.MinimalWidth);
          break;
        default:
          break;
      }
    }
    placed.ItemRect = r;
    placed.RowHeight = rowThick;
    rowEnd = std::max(rowEnd, vertical ? r.Bottom : r.Right);
    if (align != iaLeft) {
      pos = limit;
      if (k + 1 != flow.size()) result.Truncated = true;
    } else {
      pos += gap + len;
    }
    rowThick = std::max(rowThick, thick);
    last = item.Index;
    placedCount = k + 1;
  }
  if (last >= 0) {
    result.Items[last].LastInRow = true;
    if (multi) FinishRow(AInput, result, flow, rowStart, placedCount - 1, rowThick);
    result.LastRowEnd = rowEnd;
    result.LastRowHeight = rowThick;
  }
  for (size_t i = 0; i < result.Items.size(); ++i)
    if (result.Items[i].ItemRect.IsEmpty()) result.Overflow.push_back(static_cast<int>(i));
  return result;
}

TdxBarLayoutSeparator dxBarToolbarGroupSeparator(bool AVertical, const TRect& AItemRect, int ARowHeight,
                                                 int ABeginGroupSize, TSize AClient, int AMarkAreaSize) {
  const TRect& b = AItemRect;
  const int s = ABeginGroupSize;
  const int rh = ARowHeight;
  TdxBarLayoutSeparator result;
  if (!AVertical && b.Left == 0 && b.Top > 0) {
    // The item starts a row below the first: the separator runs between the rows.
    const int rowTop = b.Top - (rh - b.Height()) / 2;
    result.Bounds = Bounds(0, rowTop - s, AClient.cx - AMarkAreaSize, s);
    result.Kind = skHorizontal;
  } else if (AVertical && b.Top > 0) {
    const int columnLeft = b.Left - (rh - b.Width()) / 2;
    result.Bounds = Bounds(columnLeft, b.Top - s, rh, s);
    result.Kind = skHorizontal;
  } else if (AVertical) {
    // The item starts a column: the separator runs between the columns.
    const int columnRight = b.Right + (rh - b.Width()) / 2;
    result.Bounds = Bounds(columnRight, 0, s, AClient.cy - AMarkAreaSize);
    result.Kind = skVertical;
  } else {
    const int rowTop = b.Top - (rh - b.Height()) / 2;
    result.Bounds = Bounds(b.Left - s, rowTop, s, rh);
    result.Kind = skVertical;
  }
  return result;
}

std::vector<TdxBarLayoutSeparator> dxBarToolbarSeparators(const TdxBarToolbarLayoutInput& AInput,
                                                          const TdxBarToolbarPlacement& APlacement, TSize AClient) {
  std::vector<TdxBarLayoutSeparator> result;
  const int mark = AInput.IsDocked() ? AInput.MarkAreaSize() : 0;
  for (size_t i = 0; i < APlacement.Items.size(); ++i) {
    const TdxBarPlacedItem& placed = APlacement.Items[i];
    if (!placed.BeginsGroup || placed.ItemRect.IsEmpty()) continue;
    TdxBarLayoutSeparator separator = dxBarToolbarGroupSeparator(
        AInput.IsDockedLeftOrRight(), placed.ItemRect, placed.RowHeight, AInput.Metrics.BeginGroupSize, AClient, mark);
    separator.ItemIndex = static_cast<int>(i);
    result.push_back(separator);
  }
  return result;
}

TRect dxBarToolbarItemHitRect(bool AVertical, const TRect& AItemRect, int ARowHeight) {
  TRect r = AItemRect;
  if (AVertical) {
    r.Left -= (ARowHeight - r.Width()) / 2;
    r.Right = r.Left + ARowHeight;
  } else {
    r.Top -= (ARowHeight - r.Height()) / 2;
    r.Bottom = r.Top + ARowHeight;
  }
  return r;
}

TdxBarToolbarDropTarget dxBarToolbarFreeSpaceDropTarget(const TdxBarToolbarLayoutInput& AInput,
                                                        const TdxBarToolbarPlacement& APlacement,
                                                        const std::vector<bool>& AAllowsCustomizing, TPoint APoint) {
  TdxBarToolbarDropTarget result;
  const bool vertical = AInput.IsDockedLeftOrRight();
  const int across = vertical ? APoint.X : APoint.Y;
  const int along = vertical ? APoint.Y : APoint.X;
  int rowFirst = -1;
  for (size_t i = 0; i < APlacement.Items.size(); ++i) {
    const TdxBarPlacedItem& placed = APlacement.Items[i];
    if (placed.ItemRect.IsEmpty()) continue;
    if (rowFirst < 0) rowFirst = static_cast<int>(i);
    if (!placed.LastInRow) continue;
    const int first = rowFirst;
    rowFirst = -1;
    if (i >= AAllowsCustomizing.size() || !AAllowsCustomizing[i]) continue;
    const TRect& r = placed.ItemRect;
    const bool covers = vertical ? r.Left <= across && across < r.Right : r.Top <= across && across < r.Bottom;
    if (!covers) continue;
    if (along < (vertical ? r.Top : r.Left)) {
      result.Before = true;
      result.Item = placed.Align == iaCenter || placed.Align == iaRight ? static_cast<int>(i) : first;
    } else {
      result.Item = static_cast<int>(i);
    }
    return result;
  }
  return result;
}
