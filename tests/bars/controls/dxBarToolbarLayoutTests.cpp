// The toolbar's sizes, rows, placement, separators, overflow and drop
// targets as values: item sizes in, exact sizes and rectangles out.
#include "bars/controls/dxBarToolbarLayout.h"

#include <gtest/gtest.h>

namespace {

struct TItem {
  int Width;
  int Height;
  bool BeginGroup = false;
  int RecentIndex = -1;
};

TdxBarToolbarLayoutInput MakeInput(TdxBarDockingStyle AStyle, std::initializer_list<TItem> AItems,
                                   bool AHasMark = false) {
  TdxBarToolbarLayoutInput input;
  input.DockingStyle = AStyle;
  input.HasMark = AHasMark;
  for (const TItem& source : AItems) {
    TdxBarLayoutItem item;
    item.Width = source.Width;
    item.Height = source.Height;
    item.BeginGroup = source.BeginGroup;
    item.RecentIndex = source.RecentIndex;
    input.Items.push_back(item);
  }
  return input;
}

std::vector<TRect> Rects(const TdxBarToolbarPlacement& APlacement) {
  std::vector<TRect> result;
  for (const TdxBarPlacedItem& item : APlacement.Items) result.push_back(item.ItemRect);
  return result;
}

// Six 20 x 10 buttons on a floating bar.
TdxBarToolbarLayoutInput SixButtons() {
  return MakeInput(dsNone, {{20, 10}, {20, 10}, {20, 10}, {20, 10}, {20, 10}, {20, 10}});
}

}  // namespace

TEST(dxBarToolbarLayout, SizesForEveryDockingStyle) {
  // Three buttons of 30 x 22 with a group gap of 6 before the last; a mark of 11 on docked bars.
  struct TCase {
    TdxBarDockingStyle Style;
    int Length;
    TPoint Expected;
  } cases[] = {
      {dsTop, 1000, {30 + 30 + 6 + 30 + 11, 22}},  // everything in one row, plus the mark
      {dsTop, 50, {30 + 11, 22}},                  // the first item is always shown
      {dsBottom, 75, {60 + 11, 22}},               // the grouped item does not fit
      {dsLeft, 1000, {30, 22 + 22 + 6 + 22 + 11}},  // a vertical dock stacks the items along its height
      {dsNone, 70, {60, 22 + 6 + 22}},             // floating bars wrap: the group moves to the next row
      {dsNone, 1000, {96, 22}},
  };
  for (const TCase& c : cases) {
    const TdxBarToolbarLayoutInput input =
        MakeInput(c.Style, {{30, 22}, {30, 22}, {30, 22, true}}, c.Style != dsNone);
    const TdxBarToolbarSize size = c.Style == dsLeft ? dxBarToolbarSizeForHeight(input, dsLeft, c.Length)
                                                     : dxBarToolbarSizeForLength(input, c.Style, c.Length);
    EXPECT_EQ(c.Expected, size.Size) << "style " << c.Style << " length " << c.Length;
  }
}

TEST(dxBarToolbarLayout, LeastAndFullSizes) {
  TdxBarToolbarLayoutInput empty = MakeInput(dsNone, {});
  EXPECT_EQ(51, dxBarToolbarWidthForStyle(empty, dsNone));  // a floating bar without links
  empty.ShowsCloseButton = true;
  empty.HasMark = true;
  empty.Metrics.CloseButtonWidth = 45;
  EXPECT_EQ(11 + 45, dxBarToolbarWidthForStyle(empty, dsNone));  // the mark and the close button need more
  TdxBarToolbarLayoutInput docked = MakeInput(dsTop, {}, true);
  EXPECT_EQ(23 + 11, dxBarToolbarWidthForStyle(docked, dsTop));  // the painter's button size, plus the mark
  EXPECT_EQ(22, dxBarToolbarHeightForStyle(docked, dsTop));

  // A group flag on the first displayed item opens no gap.
  const TdxBarToolbarLayoutInput grouped = MakeInput(dsTop, {{30, 22, true}, {40, 20}, {30, 24, true}}, true);
  EXPECT_EQ(30 + 11, dxBarToolbarWidthForStyle(grouped, dsTop));
  EXPECT_EQ(30 + 40 + 6 + 30 + 11, dxBarToolbarFullWidthForStyle(grouped, dsTop));
  EXPECT_EQ(24, dxBarToolbarHeightForStyle(grouped, dsTop));

  // With recent items the least length is the most recent item's.
  TdxBarToolbarLayoutInput recent = MakeInput(dsTop, {{30, 22, false, 1}, {50, 22, false, 0}}, true);
  recent.RecentItemsActive = true;
  EXPECT_EQ(50 + 11, dxBarToolbarWidthForStyle(recent, dsTop));
  recent.Designing = true;  // every link shows at design time
  EXPECT_EQ(30 + 11, dxBarToolbarWidthForStyle(recent, dsTop));
}

TEST(dxBarToolbarLayout, WrapMovesWholeGroupsAndBreaksAfterGrouplessOverflow) {
  struct TCase {
    const char* Name;
    std::initializer_list<TItem> Items;
    int Length;
    std::vector<bool> Breaks;
    TPoint Size;
  } cases[] = {
      {"fits", {{20, 10}, {20, 10}, {20, 10}}, 60, {false, false, false}, {60, 10}},
      {"plain wrap", {{20, 10}, {20, 10}, {20, 10}}, 45, {false, false, true}, {40, 20}},
      // The group does not fit: it moves to the next row as a whole, its gap between the rows.
      {"group moves whole", {{20, 10}, {20, 10, true}, {20, 10}}, 50, {false, true, false}, {40, 10 + 6 + 10}},
      // The first row overflowed without a group in it: the next group starts a row although it fits.
      {"group after overflow", {{20, 10}, {20, 10}, {2, 10, true}}, 30, {false, true, true}, {20, 10 + 10 + 6 + 10}},
      {"first wider than limit", {{80, 10}, {20, 10}}, 50, {false, true}, {80, 20}},
  };
  for (const TCase& c : cases) {
    const TdxBarToolbarSize size = dxBarToolbarWrapItems(MakeInput(dsNone, c.Items), false, c.Length, TPoint(0, 0));
    EXPECT_EQ(c.Breaks, size.BreakingRow) << c.Name;
    EXPECT_EQ(c.Size, size.Size) << c.Name;
  }
}

TEST(dxBarToolbarLayout, MDIAreaSize) {
  // Three buttons and a gap of 2 along the bar, one button across it; the
  // close button alone without the MDI buttons.
  EXPECT_EQ(TSize(3 * 16 + 2, 14), dxBarToolbarMDIAreaSize(true, false, TSize(16, 14)));
  EXPECT_EQ(TSize(16, 3 * 14 + 2), dxBarToolbarMDIAreaSize(true, true, TSize(16, 14)));
  EXPECT_EQ(TSize(16, 14), dxBarToolbarMDIAreaSize(false, true, TSize(16, 14)));
  TdxBarToolbarLayoutInput input = MakeInput(dsLeft, {});
  input.ShowsMDIButtons = true;
  input.Metrics.MDIButtonWidth = 16;
  input.Metrics.MDIButtonHeight = 14;
  EXPECT_EQ(16, input.MDIAreaWidth());
  EXPECT_EQ(3 * 14 + 2, input.MDIAreaHeight());
}

TEST(dxBarToolbarLayout, MDIButtonsShareTheLastRowOrTakeTheirOwn) {
  struct TCase {
    bool ShowsMDIButtons;
    int Length;
    TPoint Size;
  } cases[] = {
      {false, 60, {40 + 16, 10}},       // the close button fits after the last item
      {false, 45, {40, 10 + 14}},       // it does not: a row of its own
      {true, 100, {40 + 3 * 16 + 2, 10}},  // all three MDI buttons fit after the items
      {true, 80, {40, 10 + 14}},
  };
  for (const TCase& c : cases) {
    TdxBarToolbarLayoutInput input = MakeInput(dsNone, {{20, 10}, {20, 10}});
    input.HasMDIArea = true;
    input.ShowsMDIButtons = c.ShowsMDIButtons;
    input.Metrics.MDIButtonWidth = 16;
    input.Metrics.MDIButtonHeight = 14;
    EXPECT_EQ(c.Size, dxBarToolbarWrapItems(input, false, c.Length, TPoint(0, 0)).Size)
        << c.ShowsMDIButtons << " " << c.Length;
  }
}

TEST(dxBarToolbarLayout, SingleRowPlacementOverflowsIntoTheMark) {
  struct TCase {
    const char* Name;
    std::initializer_list<TItem> Items;
    bool HasMark;
    bool AllowsRowBreakOnOverflow;
    int ClientWidth;
    std::vector<TRect> Expected;
    std::vector<int> Overflow;
  } cases[] = {
      // The group gap and the item do not fit before the mark (89 pixels).
      {"group overflows",
       {{30, 22}, {30, 20}, {30, 22, true}, {30, 22}},
       true, false, 100,
       {TRect(0, 0, 30, 22), TRect(30, 1, 60, 21), TRect(), TRect()},
       {2, 3}},
      {"all fit", {{30, 22}, {30, 20}, {30, 22, true}, {30, 22}}, true, false, 200,
       {TRect(0, 0, 30, 22), TRect(30, 1, 60, 21), TRect(66, 0, 96, 22), TRect(96, 0, 126, 22)}, {}},
      // The third item would fit the client area but not beside the mark.
      {"mark takes the room", {{30, 22}, {30, 22}, {30, 22}}, true, false, 100,
       {TRect(0, 0, 30, 22), TRect(30, 0, 60, 22), TRect()}, {2}},
      {"no mark", {{30, 22}, {30, 22}, {30, 22}}, false, false, 100,
       {TRect(0, 0, 30, 22), TRect(30, 0, 60, 22), TRect(60, 0, 90, 22)}, {}},
      // A first item wider than the bar is still shown (a break needs a position past 0)...
      {"first too wide", {{80, 22}, {20, 22}}, false, false, 50, {TRect(0, 0, 80, 22), TRect()}, {1}},
      // ...unless the bar may break its row before it.
      {"row break on overflow", {{80, 22}, {20, 22}}, false, true, 50, {TRect(), TRect()}, {0, 1}},
  };
  for (const TCase& c : cases) {
    TdxBarToolbarLayoutInput input = MakeInput(dsTop, c.Items, c.HasMark);
    input.AllowsRowBreakOnOverflow = c.AllowsRowBreakOnOverflow;
    const TdxBarToolbarPlacement placement = dxBarToolbarPlaceItems(input, {}, TSize(c.ClientWidth, 22));
    EXPECT_EQ(c.Expected, Rects(placement)) << c.Name;
    EXPECT_EQ(c.Overflow, placement.Overflow) << c.Name;
  }
}

TEST(dxBarToolbarLayout, SingleRowLastItemAndSeparators) {
  const TdxBarToolbarLayoutInput input = MakeInput(dsTop, {{30, 22}, {30, 20}, {30, 22, true}, {30, 22}}, true);
  const TdxBarToolbarPlacement cut = dxBarToolbarPlaceItems(input, {}, TSize(100, 22));
  EXPECT_TRUE(cut.Items[1].LastInRow);
  EXPECT_FALSE(cut.Items[0].LastInRow);
  const TdxBarToolbarPlacement all = dxBarToolbarPlaceItems(input, {}, TSize(200, 22));
  EXPECT_TRUE(all.Items[3].LastInRow);
  EXPECT_EQ(22, all.Items[1].RowHeight);
  const auto separators = dxBarToolbarSeparators(input, all, TSize(200, 22));
  ASSERT_EQ(1u, separators.size());
  EXPECT_EQ(TRect(60, 0, 66, 22), separators[0].Bounds);
  EXPECT_EQ(skVertical, separators[0].Kind);
  EXPECT_EQ(2, separators[0].ItemIndex);
  EXPECT_EQ(TRect(30, 0, 60, 22), dxBarToolbarItemHitRect(false, all.Items[1].ItemRect, all.Items[1].RowHeight));
}

TEST(dxBarToolbarLayout, MultiRowPlacementPutsGroupSeparatorBetweenRows) {
  const TdxBarToolbarLayoutInput input = MakeInput(dsNone, {{20, 10}, {20, 12, true}, {20, 10}});
  const TdxBarToolbarSize size = dxBarToolbarWrapItems(input, false, 50, TPoint(0, 0));
  ASSERT_EQ(TPoint(40, 28), size.Size);
  const TdxBarToolbarPlacement placement =
      dxBarToolbarPlaceItems(input, size.BreakingRow, TSize(size.Size.X, size.Size.Y));
  EXPECT_EQ(std::vector<TRect>({TRect(0, 0, 20, 10), TRect(0, 16, 20, 28), TRect(20, 17, 40, 27)}),
            Rects(placement));  // the last one centred in the 12-pixel row
  EXPECT_TRUE(placement.Items[0].LastInRow);
  EXPECT_TRUE(placement.Items[2].LastInRow);
  EXPECT_EQ(12, placement.Items[2].RowHeight);
  const auto separators = dxBarToolbarSeparators(input, placement, TSize(size.Size.X, size.Size.Y));
  ASSERT_EQ(1u, separators.size());
  EXPECT_EQ(TRect(0, 10, 40, 16), separators[0].Bounds);
  EXPECT_EQ(skHorizontal, separators[0].Kind);
  EXPECT_EQ(TRect(20, 16, 40, 28), dxBarToolbarItemHitRect(false, placement.Items[2].ItemRect, 12));
  // The last row, where the MDI buttons go: its items end at 40, it is 12 thick
  // (the row's thickest item, not the last one placed).
  EXPECT_EQ(40, placement.LastRowEnd);
  EXPECT_EQ(12, placement.LastRowHeight);
  EXPECT_EQ(0, dxBarToolbarPlaceItems(MakeInput(dsNone, {}), {}, TSize(60, 20)).LastRowHeight);
}

TEST(dxBarToolbarLayout, MultiLineDockedBarKeepsRoomForItsMark) {
  // A docked bar that wraps its rows measures them without the mark; its size
  // gives the mark back, so the placement, which keeps the mark's room free,
  // puts every item where the wrap did, inside the bar.
  struct TCase {
    TdxBarDockingStyle Style;
    int Length;
    TPoint Size;
    std::vector<bool> Breaks;
  } cases[] = {
      {dsTop, 1000, {90 + 11, 22}, {false, false, false}},
      {dsTop, 75, {60 + 11, 44}, {false, false, true}},
      {dsLeft, 1000, {22, 90 + 11}, {false, false, false}},
  };
  for (const TCase& c : cases) {
    TdxBarToolbarLayoutInput input = MakeInput(c.Style, {{30, 22}, {30, 22}, {30, 22}}, true);
    if (c.Style == dsLeft)
      for (TdxBarLayoutItem& item : input.Items) std::swap(item.Width, item.Height);
    input.MultiLine = true;
    const TdxBarToolbarSize size = c.Style == dsLeft ? dxBarToolbarSizeForHeight(input, c.Style, c.Length)
                                                     : dxBarToolbarSizeForLength(input, c.Style, c.Length);
    EXPECT_EQ(c.Size, size.Size) << c.Style << " " << c.Length;
    EXPECT_EQ(c.Breaks, size.BreakingRow) << c.Style << " " << c.Length;
    const TdxBarToolbarPlacement placement =
        dxBarToolbarPlaceItems(input, size.BreakingRow, TSize(size.Size.X, size.Size.Y));
    const TRect client(0, 0, size.Size.X, size.Size.Y);
    for (const TdxBarPlacedItem& item : placement.Items) {
      EXPECT_FALSE(item.ItemRect.IsEmpty()) << c.Style << " " << c.Length;
      const TRect& r = item.ItemRect;
      EXPECT_TRUE(r.Left >= 0 && r.Top >= 0 && r.Right <= client.Right && r.Bottom <= client.Bottom)
          << c.Style << " " << c.Length;
    }
  }
}

TEST(dxBarToolbarLayout, NoGroupGapRightAfterASeparatorItem) {
  // Item 1 is a separator item; the group flag of item 2 opens no second gap.
  TdxBarToolbarLayoutInput input = MakeInput(dsTop, {{30, 22}, {6, 22}, {30, 22, true}, {30, 22, true}});
  input.Items[1].IsSeparator = true;
  const TdxBarToolbarPlacement placement = dxBarToolbarPlaceItems(input, {}, TSize(200, 22));
  EXPECT_EQ(std::vector<TRect>({TRect(0, 0, 30, 22), TRect(30, 0, 36, 22), TRect(36, 0, 66, 22), TRect(72, 0, 102, 22)}),
            Rects(placement));
  EXPECT_FALSE(placement.Items[2].BeginsGroup);
  EXPECT_TRUE(placement.Items[3].BeginsGroup);
  EXPECT_EQ(30 + 6 + 30 + 6 + 30, dxBarToolbarFullWidthForStyle(input, dsTop));
}

TEST(dxBarToolbarLayout, VerticalDocksMeasureAlongTheHeight) {
  const TdxBarToolbarLayoutInput single = MakeInput(dsLeft, {{24, 30}, {26, 30}, {24, 30, true}}, true);
  EXPECT_EQ(26, dxBarToolbarWidthForStyle(single, dsLeft));
  EXPECT_EQ(30 + 30 + 6 + 30 + 11, dxBarToolbarFullHeightForStyle(single, dsLeft));
  EXPECT_EQ(TPoint(26, 30 + 30 + 11), dxBarToolbarSizeForHeight(single, dsLeft, 80).Size);
  const TdxBarToolbarPlacement column = dxBarToolbarPlaceItems(single, {}, TSize(26, 200));
  EXPECT_EQ(std::vector<TRect>({TRect(1, 0, 25, 30), TRect(0, 30, 26, 60), TRect(1, 66, 25, 96)}), Rects(column));
  EXPECT_EQ(TRect(0, 60, 26, 66), dxBarToolbarSeparators(single, column, TSize(26, 200))[0].Bounds);

  // A multi-line bar on a left dock: columns grow from the right edge leftwards.
  TdxBarToolbarLayoutInput multi = MakeInput(dsLeft, {{20, 10}, {24, 10}, {20, 10, true}});
  multi.MultiLine = true;
  const TdxBarToolbarSize size = dxBarToolbarSizeForHeight(multi, dsLeft, 25);
  ASSERT_EQ(TPoint(24 + 6 + 20, 20), size.Size);
  EXPECT_EQ(std::vector<bool>({false, false, true}), size.BreakingRow);
  const TdxBarToolbarPlacement columns = dxBarToolbarPlaceItems(multi, size.BreakingRow, TSize(50, 20));
  EXPECT_EQ(std::vector<TRect>({TRect(28, 0, 48, 10), TRect(26, 10, 50, 20), TRect(0, 0, 20, 10)}), Rects(columns));
  const auto separators = dxBarToolbarSeparators(multi, columns, TSize(50, 20));
  ASSERT_EQ(1u, separators.size());
  EXPECT_EQ(TRect(20, 0, 26, 20), separators[0].Bounds);  // between the columns
  EXPECT_EQ(skVertical, separators[0].Kind);
  EXPECT_EQ(TRect(26, 0, 50, 10), dxBarToolbarItemHitRect(true, columns.Items[0].ItemRect, 24));
}

TEST(dxBarToolbarLayout, RestSpaceItemAlignment) {
  struct TCase {
    TdxBarItemAlign Align;
    bool Floating;
    TRect Expected;
  } cases[] = {
      {iaLeft, false, TRect(30, 0, 60, 22)},
      {iaCenter, false, TRect(65, 0, 95, 22)},
      {iaRight, false, TRect(100, 0, 130, 22)},
      {iaClient, false, TRect(30, 0, 130, 22)},
      // Multi-row with the MDI area: the aligned item leaves the MDI buttons their room.
      {iaRight, true, TRect(84, 0, 114, 22)},
  };
  for (const TCase& c : cases) {
    TdxBarToolbarLayoutInput input = MakeInput(c.Floating ? dsNone : dsTop, {{30, 22}, {30, 22}});
    input.UseRestSpace = true;
    input.HasMDIArea = c.Floating;
    input.Metrics.MDIButtonWidth = 16;
    input.Items[1].Align = c.Align;
    const TdxBarToolbarPlacement placement = dxBarToolbarPlaceItems(input, {}, TSize(130, 22));
    EXPECT_EQ(c.Expected, placement.Items[1].ItemRect) << "align " << c.Align;
    EXPECT_EQ(c.Align, placement.Items[1].Align);
    EXPECT_FALSE(placement.Truncated);
  }
  // Only the last item takes the rest of the row.
  TdxBarToolbarLayoutInput input = MakeInput(dsTop, {{30, 22}, {30, 22}});
  input.UseRestSpace = true;
  input.Items[0].Align = iaRight;
  EXPECT_EQ(TRect(0, 0, 30, 22), dxBarToolbarPlaceItems(input, {}, TSize(130, 22)).Items[0].ItemRect);
}

TEST(dxBarToolbarLayout, RecentItemsShowAsManyAsFit) {
  // Four buttons; the most recently used first: item 1, item 3, item 0, item 2.
  TdxBarToolbarLayoutInput input =
      MakeInput(dsTop, {{30, 22, false, 2}, {30, 22, false, 0}, {30, 22, false, 3}, {30, 22, false, 1}}, true);
  input.RecentItemsActive = true;
  struct TCase {
    int Length;
    TPoint Size;
    int RecentItemCount;
  } cases[] = {
      {85, {30 + 30 + 11, 22}, 2},       // 74 pixels before the mark: two recent items
      {60, {30 + 11, 22}, 1},
      {20, {30 + 11, 22}, 1},            // the most recent item shows however short the bar
      {200, {4 * 30 + 11, 22}, -1},      // everything fits: all links
  };
  for (const TCase& c : cases) {
    const TdxBarToolbarSize size = dxBarToolbarSizeForLength(input, dsTop, c.Length);
    EXPECT_EQ(c.Size, size.Size) << c.Length;
    EXPECT_EQ(c.RecentItemCount, size.RecentItemCount) << c.Length;
  }
  // At the chosen count the two recent items are placed in their bar order;
  // the others reach the overflow popup.
  input.RecentItemCount = 2;
  const TdxBarToolbarPlacement placement = dxBarToolbarPlaceItems(input, {}, TSize(71, 22));
  EXPECT_EQ(std::vector<TRect>({TRect(), TRect(0, 0, 30, 22), TRect(), TRect(30, 0, 60, 22)}), Rects(placement));
  EXPECT_EQ(std::vector<int>({0, 2}), placement.Overflow);

  // Recent items off: the plain flow, and the count becomes "all".
  input.RecentItemsActive = false;
  const TdxBarToolbarSize plain = dxBarToolbarSizeForLength(input, dsTop, 85);
  EXPECT_EQ(TPoint(60 + 11, 22), plain.Size);
  EXPECT_EQ(-1, plain.RecentItemCount);
}

TEST(dxBarToolbarLayout, GroupOfAHiddenItemPassesToTheNextDisplayedOne) {
  // Item 1 begins a group but is not among the recent items shown.
  TdxBarToolbarLayoutInput input =
      MakeInput(dsTop, {{30, 22, false, 0}, {30, 22, true, -1}, {30, 22, false, 1}});
  input.RecentItemsActive = true;
  input.RecentItemCount = 2;
  EXPECT_EQ(std::vector<int>({0, 2}), dxBarToolbarDisplayedItems(input, 2));
  const TdxBarToolbarPlacement placement = dxBarToolbarPlaceItems(input, {}, TSize(200, 22));
  EXPECT_EQ(TRect(36, 0, 66, 22), placement.Items[2].ItemRect);
  EXPECT_TRUE(placement.Items[2].BeginsGroup);
  EXPECT_EQ(std::vector<int>({1}), placement.Overflow);
}

TEST(dxBarToolbarLayout, MultiRowHeightSearchFindsTheNarrowestFit) {
  // Rows narrow step by step until the height is reached; a floating bar
  // never gets narrower than 51 pixels.
  const TdxBarToolbarLayoutInput input = SixButtons();
  EXPECT_EQ(TPoint(120, 10), dxBarToolbarSizeForHeight(input, dsNone, 10).Size);
  EXPECT_EQ(TPoint(100, 20), dxBarToolbarSizeForHeight(input, dsNone, 20).Size);
  EXPECT_EQ(TPoint(51, 30), dxBarToolbarSizeForHeight(input, dsNone, 30).Size);
  EXPECT_EQ(TPoint(51, 30), dxBarToolbarSizeForHeight(input, dsNone, 1000).Size);
}

TEST(dxBarToolbarLayout, FloatingEdgesReWrapTheItems) {
  // Client 120 x 10 (one row), content offsets 8 x 20.
  const TdxBarToolbarLayoutInput input = SixButtons();
  const TRect current(100, 100, 228, 130);
  struct TCase {
    const char* Name;
    int Edge;
    TRect Proposed;
    TRect Expected;
  } cases[] = {
      // Narrower: three in a row, two rows; the bar grows in height.
      {"right", WMSZ_RIGHT, TRect(100, 100, 178, 130), TRect(100, 100, 168, 140)},
      {"left", WMSZ_LEFT, TRect(130, 100, 228, 130), TRect(140, 100, 228, 140)},
      // Taller: fewer items in a row, the narrowest width that reaches the height.
      {"bottom", WMSZ_BOTTOM, TRect(100, 100, 228, 160), TRect(100, 100, 159, 150)},
      // From the top the bottom edge stays.
      {"top", WMSZ_TOP, TRect(100, 70, 228, 130), TRect(100, 80, 159, 130)},
      // Corners would change both axes at once: the bar keeps its bounds.
      {"top left", WMSZ_TOPLEFT, TRect(0, 0, 300, 300), current},
      {"top right", WMSZ_TOPRIGHT, TRect(0, 0, 300, 300), current},
      {"bottom left", WMSZ_BOTTOMLEFT, TRect(0, 0, 300, 300), current},
      {"bottom right", WMSZ_BOTTOMRIGHT, TRect(100, 100, 300, 300), current},
      // The top edge never goes above -15; the bar keeps its height.
      {"top above -15", WMSZ_TOP, TRect(100, -40, 228, 20), TRect(100, -15, 159, 35)},
      {"left above -15", WMSZ_LEFT, TRect(130, -40, 228, -10), TRect(140, -15, 228, 25)},
  };
  for (const TCase& c : cases) {
    const TdxBarFloatingSizing sizing = dxBarToolbarFloatingSizing(input, c.Edge, c.Proposed, current, TSize(8, 20));
    EXPECT_EQ(c.Expected, sizing.Bounds) << c.Name;
    const bool edge = c.Edge == WMSZ_LEFT || c.Edge == WMSZ_RIGHT || c.Edge == WMSZ_TOP || c.Edge == WMSZ_BOTTOM;
    EXPECT_EQ(edge, sizing.Sized) << c.Name;
  }
  const TdxBarFloatingSizing right =
      dxBarToolbarFloatingSizing(input, WMSZ_RIGHT, TRect(100, 100, 178, 130), current, TSize(8, 20));
  EXPECT_EQ(std::vector<bool>({false, false, false, true, false, false}), right.Size.BreakingRow);
}

TEST(dxBarToolbarLayout, OuterSizeForAPlace) {
  // The bar is already in the place's docking style, as while it is dragged there.
  struct TCase {
    const char* Name;
    TdxBarToolbarPlace Place;
    TPoint Expected;
  } cases[] = {
      {"top", {dsTop, TSize(8, 4), false, TSize(500, 30), 0}, {90 + 11 + 8, 22 + 4}},
      {"whole row", {dsTop, TSize(8, 4), true, TSize(500, 30), 0}, {500, 22 + 4}},
      {"left whole row", {dsLeft, TSize(4, 8), true, TSize(30, 300), 0}, {30 + 4, 300}},
      {"left", {dsLeft, TSize(4, 8), false, TSize(30, 300), 0}, {30 + 4, 22 + 22 + 22 + 11 + 8}},
  };
  for (const TCase& c : cases) {
    const TdxBarToolbarLayoutInput input = MakeInput(c.Place.Style, {{30, 22}, {30, 22}, {30, 22}}, true);
    EXPECT_EQ(c.Expected, dxBarToolbarSizeForDockingStyle(input, c.Place).Size) << c.Name;
  }
  // Floating: the bar's stored client width decides the rows.
  const TdxBarToolbarSize floating =
      dxBarToolbarSizeForDockingStyle(SixButtons(), {dsNone, TSize(8, 20), false, TSize(), 70});
  EXPECT_EQ(TPoint(60 + 8, 20 + 20), floating.Size);
}

TEST(dxBarToolbarLayout, DragOffsetKeepsTheGrabPointsRelativePlace) {
  EXPECT_EQ(TPoint(60, 15), dxBarToolbarDragOffset(TPoint(120, 30), TPoint(30, 60), TPoint(10, 20)));
  EXPECT_EQ(TPoint(13, 8), dxBarToolbarDragOffset(TPoint(25, 25), TPoint(1, 2), TPoint(1, 3)));  // rounded
  EXPECT_EQ(TPoint(0, 0), dxBarToolbarDragOffset(TPoint(25, 25), TPoint(5, 0), TPoint(5, 0)));
}

TEST(dxBarToolbarLayout, FreeRowSpaceDropTargets) {
  // Two rows: item 0 alone, then items 1 and 2.
  const TdxBarToolbarLayoutInput input = MakeInput(dsNone, {{20, 10}, {20, 12, true}, {20, 10}});
  const TdxBarToolbarSize size = dxBarToolbarWrapItems(input, false, 50, TPoint(0, 0));
  const TdxBarToolbarPlacement rows = dxBarToolbarPlaceItems(input, size.BreakingRow, TSize(60, 28));
  struct TCase {
    TPoint Point;
    std::vector<bool> Customizable;
    int Item;
    bool Before;
  } cases[] = {
      {{50, 5}, {true, true, true}, 0, false},   // after the first row's only item
      {{50, 20}, {true, true, true}, 2, false},  // after the second row
      {{50, 20}, {true, true, false}, -1, false},  // the row's last item allows no customizing
      {{50, 12}, {true, true, true}, -1, false},   // between the rows: no last item covers it
  };
  for (const TCase& c : cases) {
    const TdxBarToolbarDropTarget target = dxBarToolbarFreeSpaceDropTarget(input, rows, c.Customizable, c.Point);
    EXPECT_EQ(c.Item, target.Item) << c.Point.X << "," << c.Point.Y;
    EXPECT_EQ(c.Before, target.Before) << c.Point.X << "," << c.Point.Y;
  }
  // Before a right-aligned rest-space item the drop goes before that item; a
  // plain last item sends it to the row's first item.
  for (TdxBarItemAlign align : {iaRight, iaLeft}) {
    TdxBarToolbarLayoutInput single = MakeInput(dsTop, {{30, 22}, {30, 22}, {30, 22}});
    single.UseRestSpace = true;
    single.Items[2].Align = align;
    TdxBarToolbarPlacement placement = dxBarToolbarPlaceItems(single, {}, TSize(200, 22));
    if (align == iaLeft) placement.Items[2].ItemRect = TRect(170, 0, 200, 22);  // a point before it, as for the other
    const TdxBarToolbarDropTarget target =
        dxBarToolbarFreeSpaceDropTarget(single, placement, {true, true, true}, TPoint(120, 5));
    EXPECT_EQ(align == iaRight ? 2 : 0, target.Item);
    EXPECT_TRUE(target.Before);
  }
}
