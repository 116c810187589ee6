// The toolbar's sizes and item placement as values: what the toolbar window
// knows of its links (their item controls' sizes, group starts, recent-use
// order) goes in, the toolbar's size for a docking style and a length, its
// rows, item rectangles, separators and overflow come out. The toolbar
// window fills the input from its item controls and applies the results;
// nothing here needs a window.
//
// Lengths run along the bar (width on top and bottom docks and floating
// bars, height on left and right docks); thicknesses run across it.
#pragma once

#include "bars/model/dxBarBase.h"

#include <vector>

class TdxBarItemControl;

DECLARE_ENUM(TdxBarItemSeparatorKind, skHorizontal, skVertical)

// One link that can be visible, as the layout sees it.
struct TdxBarLayoutItem {
  // The item control's sizes on this bar.
  int Width = 0;
  int Height = 0;
  // A group starts at this link: its own flag, or the flag of a hidden link
  // between it and the previous link that can be visible. Whether a
  // displayed item begins a group follows from the items displayed before
  // it (never the first one).
  bool BeginGroup = false;
  int MinimalWidth = 1;
  TdxBarItemAlign Align = iaLeft;
  // A separator item: it divides by itself, so no group starts right after it.
  bool IsSeparator = false;
  // Place among the links that can be visible in the most-recently-used
  // order; -1 when the link is not in that order.
  int RecentIndex = -1;
};

// What the painter and the system say about a toolbar's sizes.
struct TdxBarToolbarMetrics {
  int BeginGroupSize = 6;
  int MarkSize = 11;
  // The painter's button size for the manager's glyph size and the text
  // size: the size of a toolbar without links.
  int ButtonWidth = 23;
  int ButtonHeight = 22;
  int CloseButtonWidth = 0;
  int MDIButtonWidth = 0;
  int MDIButtonHeight = 0;
};

// Everything a toolbar's sizes and placement depend on.
struct TdxBarToolbarLayoutInput {
  // The links that can be visible and have an item control, in order.
  std::vector<TdxBarLayoutItem> Items;
  TdxBarToolbarMetrics Metrics;
  // Where the toolbar is now (the docking style a size is asked for may differ).
  TdxBarDockingStyle DockingStyle = dsTop;
  bool MultiLine = false;
  bool HasMark = false;
  bool ShowsCloseButton = false;
  // The main menu's MDI buttons or close button, and whether all three MDI buttons show.
  bool HasMDIArea = false;
  bool ShowsMDIButtons = false;
  // The last item takes the rest of its row (its Align counts).
  bool UseRestSpace = false;
  // A single row may stop before its first item when that item does not fit.
  bool AllowsRowBreakOnOverflow = false;
  // The links show their recent items first; at design time every link shows.
  bool RecentItemsActive = false;
  bool Designing = false;
  // The links' present recent-item count (-1: all): which items are displayed.
  int RecentItemCount = -1;

  bool IsDockedLeftOrRight() const { return DockingStyle == dsLeft || DockingStyle == dsRight; }
  bool IsDockedTopOrBottom() const { return DockingStyle == dsTop || DockingStyle == dsBottom; }
  bool IsDocked() const { return DockingStyle != dsNone; }
  bool IsMultiRowLayout() const { return DockingStyle == dsNone || MultiLine; }
  int MarkAreaSize() const { return HasMark ? Metrics.MarkSize : 0; }
  int MDIAreaWidth() const;
  int MDIAreaHeight() const;
};

// The room of a main menu bar's MDI area: along a bar the three MDI buttons
// and a gap of 2 before the close button, else the close button alone;
// across it one button. AButtonSize is one button's size on a horizontal bar.
TSize dxBarToolbarMDIAreaSize(bool AShowsMDIButtons, bool AVertical, TSize AButtonSize);

// The items displayed for a recent-item count (-1: all), in order.
std::vector<int> dxBarToolbarDisplayedItems(const TdxBarToolbarLayoutInput& AInput, int ARecentItemCount);

// The smallest useful length (width) and thickness (height) for a style.
int dxBarToolbarWidthForStyle(const TdxBarToolbarLayoutInput& AInput, TdxBarDockingStyle AStyle);
int dxBarToolbarHeightForStyle(const TdxBarToolbarLayoutInput& AInput, TdxBarDockingStyle AStyle);
// The length with every item in one row.
int dxBarToolbarFullWidthForStyle(const TdxBarToolbarLayoutInput& AInput, TdxBarDockingStyle AStyle);
int dxBarToolbarFullHeightForStyle(const TdxBarToolbarLayoutInput& AInput, TdxBarDockingStyle AStyle);

// A size the toolbar takes, with what the toolbar must show for it.
struct TdxBarToolbarSize {
  TPoint Size;
  // The recent-item count the toolbar shows at this size (-1: all links).
  int RecentItemCount = -1;
  // Per input item: it starts a new row. Empty when no wrap was computed
  // (single-row sizes), so the items keep their rows.
  std::vector<bool> BreakingRow;
};

// The size for a length along the bar or for a height; multi-row bars wrap
// their items, single-row bars with recent items find how many recent items fit.
TdxBarToolbarSize dxBarToolbarSizeForLength(const TdxBarToolbarLayoutInput& AInput, TdxBarDockingStyle AStyle,
                                            int ALength);
TdxBarToolbarSize dxBarToolbarSizeForHeight(const TdxBarToolbarLayoutInput& AInput, TdxBarDockingStyle AStyle,
                                            int AHeight);
// The multi-row wrap for a length, starting from the size ASize: which items
// start a row, and the size grown to the rows' extent.
TdxBarToolbarSize dxBarToolbarWrapItems(const TdxBarToolbarLayoutInput& AInput, bool ASubtractMark, int ALength,
                                        TPoint ASize);

// Where a toolbar's window would go, for its outer size.
struct TdxBarToolbarPlace {
  TdxBarDockingStyle Style = dsNone;
  // The painter's content offsets for that style, summed per axis.
  TSize ContentOffsets;
  // The bar takes its dock's whole row; the dock's client size.
  bool WholeRow = false;
  TSize DockClientSize;
  int FloatClientWidth = 0;
};
// The outer size of the toolbar window at a place.
TdxBarToolbarSize dxBarToolbarSizeForDockingStyle(const TdxBarToolbarLayoutInput& AInput,
                                                  const TdxBarToolbarPlace& APlace);

// Where the cursor lies in a window of ASize when it lay at ARX.X of ARX.Y
// pixels across and ARY.X of ARY.Y down: the grab keeps its relative place.
TPoint dxBarToolbarDragOffset(TPoint ASize, TPoint ARX, TPoint ARY);

// A floating toolbar dragged by an edge (AEdge a WMSZ_ code) to the window
// rectangle AProposed: the rectangle it takes (its items re-wrapped), or the
// current one for a corner; never above y = -15.
struct TdxBarFloatingSizing {
  TRect Bounds;
  // The wrap that goes with the bounds; no size for a corner.
  bool Sized = false;
  TdxBarToolbarSize Size;
};
TdxBarFloatingSizing dxBarToolbarFloatingSizing(const TdxBarToolbarLayoutInput& AInput, int AEdge,
                                                const TRect& AProposed, const TRect& ACurrent,
                                                TSize AContentOffsets);

// One item where the placement put it.
struct TdxBarPlacedItem {
  // In the bar's client coordinates; empty when the item is not on the bar.
  TRect ItemRect;
  int RowHeight = 0;
  bool LastInRow = false;
  // A displayed item that begins a group (it gets a separator before it).
  bool BeginsGroup = false;
  // The alignment that counted: only the rest-space item is aligned.
  TdxBarItemAlign Align = iaLeft;
};

struct TdxBarToolbarPlacement {
  // Per input item.
  std::vector<TdxBarPlacedItem> Items;
  // An aligned rest-space item ended the row before the last displayed item.
  bool Truncated = false;
  // The items left off the bar, in order: not displayed at the present recent
  // count, or displayed without room. They go to the popup of the mark.
  std::vector<int> Overflow;
  // The last row of a multi-row layout (the bottom one, or the leftmost column
  // of a vertical bar): where its items end along the bar and its thickness;
  // 0 when nothing is placed. The MDI buttons go after it when they fit.
  int LastRowEnd = 0;
  int LastRowHeight = 0;
};

// Places the displayed items in a client area of AClient; ABreakingRow (per
// input item, may be shorter) says which items start a row in a multi-row
// layout.
TdxBarToolbarPlacement dxBarToolbarPlaceItems(const TdxBarToolbarLayoutInput& AInput,
                                              const std::vector<bool>& ABreakingRow, TSize AClient);

struct TdxBarLayoutSeparator {
  TRect Bounds;
  TdxBarItemSeparatorKind Kind = skVertical;
  // The item the separator precedes: its input index, and its control once
  // the toolbar window records the separator.
  int ItemIndex = -1;
  TdxBarItemControl* Control = nullptr;
};

// The separator before an item that begins a group and lies at AItemRect in
// a row of ARowHeight, on a bar of client size AClient (AMarkAreaSize: the
// mark's room at the end of a docked bar).
TdxBarLayoutSeparator dxBarToolbarGroupSeparator(bool AVertical, const TRect& AItemRect, int ARowHeight,
                                                 int ABeginGroupSize, TSize AClient, int AMarkAreaSize);
// The separators of every placed item that begins a group.
std::vector<TdxBarLayoutSeparator> dxBarToolbarSeparators(const TdxBarToolbarLayoutInput& AInput,
                                                          const TdxBarToolbarPlacement& APlacement, TSize AClient);

// The item rectangle stretched across its whole row.
TRect dxBarToolbarItemHitRect(bool AVertical, const TRect& AItemRect, int ARowHeight);

// Where an item dragged over the free space of a row lands: the row whose
// last item (one that allows customizing) covers the point across the bar;
// before the row's first item (or before an aligned last item) when the
// point lies before that last item along the bar, else after the last item.
struct TdxBarToolbarDropTarget {
  int Item = -1;
  bool Before = false;
};
TdxBarToolbarDropTarget dxBarToolbarFreeSpaceDropTarget(const TdxBarToolbarLayoutInput& AInput,
                                                        const TdxBarToolbarPlacement& APlacement,
                                                        const std::vector<bool>& AAllowsCustomizing, TPoint APoint);

// The last layout of a toolbar window: what went in and where the items went.
struct TdxBarToolbarLayout {
  TdxBarToolbarLayoutInput Input;
  TdxBarToolbarPlacement Placement;
};
