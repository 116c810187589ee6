// The toolbar's sizes and item placement as values: the item sizes of the
// displayed links go in, the toolbar's size for a docking style and length,
// its rows, item rectangles, separators and overflow come out. The toolbar
// window fills one of these from its item controls and applies the result;
// nothing here needs a window.
#pragma once

#include "bars/model/dxBarBase.h"

#include <vector>

DECLARE_ENUM(TdxBarItemSeparatorKind, skHorizontal, skVertical)

// One displayed link as the layout sees it: its item control's sizes on this bar.
struct TdxBarLayoutItem {
  int Width = 0;
  int Height = 0;
  // The link begins a group (never true for the first displayed link).
  bool BeginGroup = false;
  int MinimalWidth = 1;
  TdxBarItemAlign Align = iaLeft;
  // Written by the layout.
  bool BreakingRow = false;
  bool LastInRow = false;
  TRect ItemRect;
  int RowHeight = 0;
};

struct TdxBarLayoutSeparator {
  TRect Bounds;
  TdxBarItemSeparatorKind Kind = skVertical;
  // The item the separator precedes.
  int ItemIndex = -1;
};

// What the painter and the system say about a toolbar's sizes.
struct TdxBarToolbarMetrics {
  int BeginGroupSize = 6;
  int MarkSize = 11;
  // The painter's button size for the manager's glyph size and the text size:
  // the size of a toolbar without links.
  int ButtonWidth = 23;
  int ButtonHeight = 22;
  int CloseButtonWidth = 0;
  int MDIButtonWidth = 0;
  int MDIButtonHeight = 0;
};

class TdxBarToolbarLayout {
 public:
  std::vector<TdxBarLayoutItem> Items;
  TdxBarToolbarMetrics Metrics;
  // Where the toolbar is now (the docking style asked for may differ).
  TdxBarDockingStyle DockingStyle = dsTop;
  bool MultiLine = false;
  bool HasMark = false;
  bool ShowsCloseButton = false;
  // The main menu's MDI buttons or close button, and whether all three MDI buttons show.
  bool HasMDIArea = false;
  bool ShowsMDIButtons = false;
  // The last item takes the rest of its row (its Align counts).
  bool UseRestSpace = false;

  bool IsDockedLeftOrRight() const { return DockingStyle == dsLeft || DockingStyle == dsRight; }
  bool IsDockedTopOrBottom() const { return DockingStyle == dsTop || DockingStyle == dsBottom; }
  bool IsDocked() const { return DockingStyle != dsNone; }
  bool IsMultiRowLayout() const { return DockingStyle == dsNone || MultiLine; }
  int MarkAreaSize() const { return HasMark ? Metrics.MarkSize : 0; }
  int MDIAreaWidth() const;
  int MDIAreaHeight() const;

  // The smallest useful length (width) and thickness (height) for a style.
  int CalcWidthForStyle(TdxBarDockingStyle AStyle) const;
  int CalcHeightForStyle(TdxBarDockingStyle AStyle) const;
  // The length with every item shown in one row.
  int CalcFullWidthForStyle(TdxBarDockingStyle AStyle) const;
  int CalcFullHeightForStyle(TdxBarDockingStyle AStyle) const;
  // The size the toolbar needs for a length along it (width on horizontal
  // bars) or a height; multi-row bars wrap their items (BreakingRow).
  TPoint CalcSizeForLength(TdxBarDockingStyle AStyle, int ALength);
  TPoint CalcSizeForHeight(TdxBarDockingStyle AStyle, int AHeight);
  // The multi-row wrap for a length: marks the items that start a row and
  // grows ASize to the rows' extent.
  void WrapItems(bool ASubtractMark, int ALength, TPoint& ASize);

  // Places the items in the client area (rectangles, rows, LastInRow); a
  // single row leaves the items that do not fit with empty rectangles.
  void CalcItemRects(int AClientWidth, int AClientHeight);
  // True when an aligned rest-space item cut the row short of the last item.
  bool Truncated() const { return FTruncated; }
  // The begin-group separators of the placed items.
  std::vector<TdxBarLayoutSeparator> CalcSeparators(int AClientWidth, int AClientHeight) const;
  // The item rectangle stretched across its whole row.
  TRect ItemHitRect(int AIndex) const;
  // The items left out of the bar (they go to the overflow popup).
  std::vector<int> OverflowItems() const;

 private:
  int Along(const TdxBarLayoutItem& AItem) const { return IsDockedLeftOrRight() ? AItem.Height : AItem.Width; }
  int Across(const TdxBarLayoutItem& AItem) const { return IsDockedLeftOrRight() ? AItem.Width : AItem.Height; }
  int GapOf(size_t AIndex) const { return Items[AIndex].BeginGroup ? Metrics.BeginGroupSize : 0; }
  // One row from the start while the items fit the limit: (length, thickness).
  TPoint FlowMeasure(int ALimit, bool AVertical) const;
  void FinishRow(size_t AFirst, size_t ALast, int ARowThick);
  bool FTruncated = false;
};
