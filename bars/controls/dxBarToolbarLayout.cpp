#include "bars/controls/dxBarToolbarLayout.h"

#include "foundation/cxGeometry.h"

#include <algorithm>

namespace {

bool IsLeftOrRight(TdxBarDockingStyle AStyle) { return AStyle == dsLeft || AStyle == dsRight; }
bool IsTopOrBottom(TdxBarDockingStyle AStyle) { return AStyle == dsTop || AStyle == dsBottom; }

}  // namespace

int TdxBarToolbarLayout::MDIAreaWidth() const {
  return ShowsMDIButtons && !IsDockedLeftOrRight() ? 3 * Metrics.MDIButtonWidth + 2 : Metrics.MDIButtonWidth;
}

int TdxBarToolbarLayout::MDIAreaHeight() const {
  return ShowsMDIButtons && IsDockedLeftOrRight() ? 3 * Metrics.MDIButtonHeight + 2 : Metrics.MDIButtonHeight;
}

int TdxBarToolbarLayout::CalcWidthForStyle(TdxBarDockingStyle AStyle) const {
  int width = 0;
  if (IsLeftOrRight(AStyle) || IsMultiRowLayout()) {
    for (const TdxBarLayoutItem& item : Items) width = std::max(width, item.Width);
    if (Items.empty()) width = AStyle != dsNone ? Metrics.ButtonWidth : 0;
    if (HasMDIArea) width = std::max(width, MDIAreaWidth());
    if (AStyle == dsNone) {
      const int caption = MarkAreaSize() + (ShowsCloseButton ? Metrics.CloseButtonWidth : 0);
      width = std::max({width, caption, 51});
    }
  } else {
    width = Items.empty() ? Metrics.ButtonWidth : Items.front().Width;
    if (HasMDIArea) width += MDIAreaWidth();
  }
  if (IsDockedTopOrBottom()) width += MarkAreaSize();
  return width;
}

int TdxBarToolbarLayout::CalcHeightForStyle(TdxBarDockingStyle AStyle) const {
  int height = 0;
  if (IsTopOrBottom(AStyle) || IsMultiRowLayout()) {
    for (const TdxBarLayoutItem& item : Items) height = std::max(height, item.Height);
    if (Items.empty()) height = Metrics.ButtonHeight;
    if (HasMDIArea) height = std::max(height, MDIAreaHeight());
  } else {
    height = Items.empty() ? Metrics.ButtonHeight : Items.front().Height;
    if (HasMDIArea) height += MDIAreaHeight();
  }
  if (IsDockedLeftOrRight()) height += MarkAreaSize();
  return height;
}

int TdxBarToolbarLayout::CalcFullWidthForStyle(TdxBarDockingStyle AStyle) const {
  int full = 0;
  if (IsTopOrBottom(AStyle) || IsMultiRowLayout()) {
    for (size_t i = 0; i < Items.size(); ++i) full += Items[i].Width + GapOf(i);
    if (HasMDIArea) full += MDIAreaWidth();
    if (IsDockedTopOrBottom()) full += MarkAreaSize();
  } else {
    for (const TdxBarLayoutItem& item : Items) full = std::max(full, item.Width);
    if (HasMDIArea) full = std::max(full, MDIAreaWidth());
  }
  return std::max(CalcWidthForStyle(AStyle), full);
}

int TdxBarToolbarLayout::CalcFullHeightForStyle(TdxBarDockingStyle AStyle) const {
  int full = 0;
  if (IsLeftOrRight(AStyle) || IsMultiRowLayout()) {
    for (size_t i = 0; i < Items.size(); ++i) full += Items[i].Height + GapOf(i);
    if (HasMDIArea) full += MDIAreaHeight();
    if (IsDockedLeftOrRight()) full += MarkAreaSize();
  } else {
    for (const TdxBarLayoutItem& item : Items) full = std::max(full, item.Height);
    if (HasMDIArea) full = std::max(full, MDIAreaHeight());
  }
  return std::max(CalcHeightForStyle(AStyle), full);
}

TPoint TdxBarToolbarLayout::FlowMeasure(int ALimit, bool AVertical) const {
  int pos = 0;
  int thick = 0;
  for (size_t i = 0; i < Items.size(); ++i) {
    const int len = AVertical ? Items[i].Height : Items[i].Width;
    const int gap = GapOf(i);
    if (i > 0 && pos + len + gap > ALimit) break;
    pos += len + gap;
    thick = std::max(thick, AVertical ? Items[i].Width : Items[i].Height);
  }
  return TPoint(pos, thick);
}

TPoint TdxBarToolbarLayout::CalcSizeForLength(TdxBarDockingStyle AStyle, int ALength) {
  if (IsMultiRowLayout()) {
    if (IsDockedLeftOrRight()) {
      // Shorter columns make the bar wider: step down from the full height
      // until the width is reached or the layout stops changing.
      TPoint size = CalcSizeForHeight(AStyle, CalcFullHeightForStyle(AStyle));
      while (size.X < ALength) {
        const TPoint next = CalcSizeForHeight(AStyle, size.Y - 1);
        if (next.Y == size.Y) break;
        size = next;
      }
      return size;
    }
    TPoint size(CalcWidthForStyle(AStyle), CalcHeightForStyle(AStyle));
    WrapItems(AStyle != dsNone, ALength, size);
    return size;
  }
  if (IsLeftOrRight(AStyle)) return TPoint(CalcWidthForStyle(AStyle), CalcFullHeightForStyle(AStyle));
  const TPoint least(CalcWidthForStyle(AStyle), CalcHeightForStyle(AStyle));
  int limit = std::max(ALength, least.X);
  if (HasMDIArea) limit -= MDIAreaWidth();
  if (Items.empty()) return least;
  limit -= MarkAreaSize();
  TPoint flow = FlowMeasure(limit, false);
  flow.X += MarkAreaSize();
  TPoint result(std::max(least.X, flow.X), flow.Y);
  if (HasMDIArea) {
    result.X += MDIAreaWidth();
    result.Y = std::max(result.Y, MDIAreaHeight());
  }
  return result;
}

TPoint TdxBarToolbarLayout::CalcSizeForHeight(TdxBarDockingStyle AStyle, int AHeight) {
  if (IsMultiRowLayout()) {
    if (IsDockedLeftOrRight()) {
      TPoint size(CalcWidthForStyle(AStyle), CalcHeightForStyle(AStyle));
      WrapItems(AStyle != dsNone, AHeight, size);
      return size;
    }
    // Narrower rows make the bar taller: each step asks for one pixel less
    // than the width the last layout used, so it jumps from one row break
    // to the next instead of walking every pixel.
    TPoint size = CalcSizeForLength(AStyle, CalcFullWidthForStyle(AStyle));
    while (size.Y < AHeight) {
      const TPoint next = CalcSizeForLength(AStyle, size.X - 1);
      if (next.X == size.X) break;
      size = next;
    }
    return size;
  }
  if (IsTopOrBottom(AStyle)) return TPoint(CalcFullWidthForStyle(AStyle), CalcHeightForStyle(AStyle));
  const TPoint least(CalcWidthForStyle(AStyle), CalcHeightForStyle(AStyle));
  int limit = std::max(AHeight, least.Y);
  if (HasMDIArea) limit -= MDIAreaHeight();
  if (Items.empty()) return least;
  limit -= MarkAreaSize();
  const TPoint flow = FlowMeasure(limit, true);
  TPoint result(flow.Y, std::max(least.Y, flow.X + MarkAreaSize()));
  if (HasMDIArea) {
    result.Y += MDIAreaHeight();
    result.X = std::max(result.X, MDIAreaWidth());
  }
  return result;
}

void TdxBarToolbarLayout::WrapItems(bool ASubtractMark, int ALength, TPoint& ASize) {
  const bool vertical = IsDockedLeftOrRight();
  int& along = vertical ? ASize.Y : ASize.X;
  int& across = vertical ? ASize.X : ASize.Y;
  int limit = std::max(ALength, along);
  if (ASubtractMark) limit -= MarkAreaSize();
  int pos = 0, sum = 0, rowThick = 0, maxLen = 0;
  int groupIndex = -1, groupPos = 0, groupThick = 0;
  bool rewrap = false, groupBreakAllowed = true;
  for (size_t i = 0; i < Items.size();) {
    TdxBarLayoutItem& item = Items[i];
    int gap = 0;
    if (item.BeginGroup && pos > 0) {
      gap = Metrics.BeginGroupSize;
      groupIndex = static_cast<int>(i);
      groupPos = pos;
      groupThick = rowThick;
    }
    const int len = Along(item);
    const int thick = Across(item);
    if ((pos > 0 && pos + gap + len > limit) || rewrap || (gap > 0 && !groupBreakAllowed)) {
      item.BreakingRow = true;
      groupBreakAllowed = true;
      if (groupIndex < 0) {
        groupBreakAllowed = false;
      } else if (rewrap) {
        groupIndex = -1;
        rewrap = false;
      } else {
        // The whole group moves to the next row.
        i = static_cast<size_t>(groupIndex);
        pos = groupPos;
        rowThick = groupThick;
        rewrap = true;
        continue;
      }
      sum += gap + rowThick;
      rowThick = 0;
      maxLen = std::max(maxLen, pos);
      pos = len;
    } else {
      item.BreakingRow = false;
      pos += gap + len;
    }
    rowThick = std::max(rowThick, thick);
    ++i;
  }
  if (!Items.empty()) across = sum + rowThick;
  if (HasMDIArea) {
    const int mdi = vertical ? MDIAreaHeight() : MDIAreaWidth();
    if (pos + mdi <= limit)
      pos += mdi;
    else
      across += vertical ? MDIAreaWidth() : MDIAreaHeight();
  }
  maxLen = std::max(maxLen, pos);
  along = std::max(along, maxLen);
}

void TdxBarToolbarLayout::FinishRow(size_t AFirst, size_t ALast, int ARowThick) {
  for (size_t j = AFirst; j <= ALast && j < Items.size(); ++j) {
    TdxBarLayoutItem& item = Items[j];
    const int shift = (ARowThick - Across(item)) / 2;
    if (IsDockedLeftOrRight())
      item.ItemRect = cxShiftRect(item.ItemRect, -shift, 0);
    else
      item.ItemRect = cxShiftRect(item.ItemRect, 0, shift);
    item.RowHeight = ARowThick;
  }
}

void TdxBarToolbarLayout::CalcItemRects(int AClientWidth, int AClientHeight) {
  FTruncated = false;
  const bool multi = IsMultiRowLayout();
  const bool vertical = IsDockedLeftOrRight();
  int limit = (vertical ? AClientHeight : AClientWidth) - (IsDocked() ? MarkAreaSize() : 0);
  int rowThick = 0;
  if (!multi) {
    rowThick = vertical ? AClientWidth : AClientHeight;
    if (HasMDIArea) limit -= vertical ? MDIAreaHeight() : MDIAreaWidth();
  }
  int pos = 0, rowOffset = 0;
  size_t rowStart = 0;
  int last = -1;
  for (TdxBarLayoutItem& item : Items) {
    item.ItemRect = TRect();
    item.LastInRow = false;
    item.RowHeight = 0;
  }
  for (size_t i = 0; i < Items.size(); ++i) {
    TdxBarLayoutItem& item = Items[i];
    const int len = Along(item);
    const int thick = Across(item);
    int gap = item.BeginGroup && pos > 0 ? Metrics.BeginGroupSize : 0;
    if ((pos > 0 && pos + gap + len > limit) || (multi && item.BreakingRow && i > 0)) {
      if (!multi) break;
      Items[i - 1].LastInRow = true;
      FinishRow(rowStart, i - 1, rowThick);
      rowStart = i;
      rowOffset += rowThick + gap;
      pos = 0;
      gap = 0;
      rowThick = 0;
    }
    TRect r;
    if (multi && vertical)
      r = TRect(AClientWidth - rowOffset - thick, pos + gap, AClientWidth - rowOffset, pos + gap + len);
    else if (multi)
      r = TRect(pos + gap, rowOffset, pos + gap + len, rowOffset + thick);
    else if (vertical)
      r = TRect((rowThick - thick) / 2, pos + gap, (rowThick - thick) / 2 + thick, pos + gap + len);
    else
      r = TRect(pos + gap, (rowThick - thick) / 2, pos + gap + len, (rowThick - thick) / 2 + thick);
    const bool aligned = UseRestSpace && i + 1 == Items.size() && item.Align != iaLeft;
    if (aligned) {
      int farLimit = limit;
      if (multi && HasMDIArea) {
        const int mdi = vertical ? MDIAreaHeight() : MDIAreaWidth();
        if ((vertical ? r.Bottom : r.Right) + mdi <= limit) farLimit -= mdi;
      }
      int& startEdge = vertical ? r.Top : r.Left;
      int& farEdge = vertical ? r.Bottom : r.Right;
      switch (item.Align) {
        case iaCenter: {
          const int shift = (farLimit - farEdge) / 2;
          startEdge += shift;
          farEdge += shift;
          break;
        }
        case iaRight: {
          const int shift = farLimit - farEdge;
          startEdge += shift;
          farEdge += shift;
          break;
        }
        case iaClient:
          farEdge = std::max(farLimit, startEdge + item.MinimalWidth);
          break;
        default:
          break;
      }
    }
    item.ItemRect = r;
    item.RowHeight = rowThick;
    pos = aligned ? limit : pos + gap + len;
    rowThick = std::max(rowThick, thick);
    last = static_cast<int>(i);
  }
  if (last >= 0) {
    Items[last].LastInRow = true;
    if (multi) FinishRow(rowStart, static_cast<size_t>(last), rowThick);
  }
}

std::vector<TdxBarLayoutSeparator> TdxBarToolbarLayout::CalcSeparators(int AClientWidth, int AClientHeight) const {
  std::vector<TdxBarLayoutSeparator> result;
  const int size = Metrics.BeginGroupSize;
  const int mark = IsDocked() ? MarkAreaSize() : 0;
  for (size_t i = 0; i < Items.size(); ++i) {
    const TdxBarLayoutItem& item = Items[i];
    const TRect& b = item.ItemRect;
    if (!item.BeginGroup || b.IsEmpty()) continue;
    const int rh = item.RowHeight;
    TdxBarLayoutSeparator s;
    s.ItemIndex = static_cast<int>(i);
    if (!IsDockedLeftOrRight() && b.Left == 0 && b.Top > 0) {
      const int rowTop = b.Top - (rh - b.Height()) / 2;
      s.Bounds = TRect(0, rowTop - size, AClientWidth - mark, rowTop);
      s.Kind = skHorizontal;
    } else if (IsDockedLeftOrRight() && b.Top > 0) {
      const int colLeft = b.Left - (rh - b.Width()) / 2;
      s.Bounds = TRect(colLeft, b.Top - size, colLeft + rh, b.Top);
      s.Kind = skHorizontal;
    } else if (IsDockedLeftOrRight()) {
      const int colRight = b.Right + (rh - b.Width()) / 2;
      s.Bounds = TRect(colRight, 0, colRight + size, AClientHeight - mark);
      s.Kind = skVertical;
    } else {
      const int rowTop = b.Top - (rh - b.Height()) / 2;
      s.Bounds = TRect(b.Left - size, rowTop, b.Left, rowTop + rh);
      s.Kind = skVertical;
    }
    result.push_back(s);
  }
  return result;
}

TRect TdxBarToolbarLayout::ItemHitRect(int AIndex) const {
  const TdxBarLayoutItem& item = Items.at(AIndex);
  TRect r = item.ItemRect;
  if (IsDockedLeftOrRight()) {
    r.Left -= (item.RowHeight - r.Width()) / 2;
    r.Right = r.Left + item.RowHeight;
  } else {
    r.Top -= (item.RowHeight - r.Height()) / 2;
    r.Bottom = r.Top + item.RowHeight;
  }
  return r;
}

std::vector<int> TdxBarToolbarLayout::OverflowItems() const {
  std::vector<int> result;
  for (size_t i = 0; i < Items.size(); ++i)
    if (Items[i].ItemRect.IsEmpty()) result.push_back(static_cast<int>(i));
  return result;
}
