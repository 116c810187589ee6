// The toolbar's sizes, rows, separators and overflow as values.
#include "bars/controls/dxBarToolbarLayout.h"

#include <gtest/gtest.h>

namespace {

struct TItemSize {
  int Width;
  int Height;
  bool BeginGroup = false;
};

TdxBarToolbarLayout MakeLayout(TdxBarDockingStyle AStyle, std::initializer_list<TItemSize> AItems,
                               bool AHasMark = false) {
  TdxBarToolbarLayout layout;
  layout.DockingStyle = AStyle;
  layout.HasMark = AHasMark;
  for (const TItemSize& size : AItems) {
    TdxBarLayoutItem item;
    item.Width = size.Width;
    item.Height = size.Height;
    item.BeginGroup = size.BeginGroup;
    layout.Items.push_back(item);
  }
  return layout;
}

std::vector<bool> Breaks(const TdxBarToolbarLayout& ALayout) {
  std::vector<bool> result;
  for (const TdxBarLayoutItem& item : ALayout.Items) result.push_back(item.BreakingRow);
  return result;
}

}  // namespace

TEST(dxBarToolbarLayout, SizesForEveryDockingStyle) {
  // Three buttons of 30 x 22 with a group gap of 6 before the last; a mark of 11.
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
    TdxBarToolbarLayout layout =
        MakeLayout(c.Style, {{30, 22}, {30, 22}, {30, 22, true}}, c.Style != dsNone);
    const TPoint size = c.Style == dsLeft ? layout.CalcSizeForHeight(dsLeft, c.Length)
                                          : layout.CalcSizeForLength(c.Style, c.Length);
    EXPECT_EQ(c.Expected, size) << "style " << c.Style << " length " << c.Length;
  }
}

TEST(dxBarToolbarLayout, FloatingToolbarWithoutLinksIsAtLeast51Long) {
  TdxBarToolbarLayout layout = MakeLayout(dsNone, {});
  EXPECT_EQ(51, layout.CalcWidthForStyle(dsNone));
  layout.ShowsCloseButton = true;
  layout.HasMark = true;
  layout.Metrics.CloseButtonWidth = 45;
  EXPECT_EQ(56, layout.CalcWidthForStyle(dsNone));
}

TEST(dxBarToolbarLayout, WrapMovesWholeGroupsAndBreaksAfterGrouplessOverflow) {
  struct TCase {
    const char* Name;
    std::initializer_list<TItemSize> Items;
    int Length;
    std::vector<bool> Breaks;
    TPoint Size;
  } cases[] = {
      {"fits", {{20, 10}, {20, 10}, {20, 10}}, 60, {false, false, false}, {60, 10}},
      {"plain wrap", {{20, 10}, {20, 10}, {20, 10}}, 45, {false, false, true}, {40, 20}},
      {"group moves whole", {{20, 10}, {20, 10, true}, {20, 10}}, 50, {false, true, false}, {40, 10 + 6 + 10}},
      // The first row overflowed without a group in it: the next group starts a row although it fits.
      {"group after overflow", {{20, 10}, {20, 10}, {2, 10, true}}, 30, {false, true, true}, {20, 10 + 10 + 6 + 10}},
      {"first wider than limit", {{80, 10}, {20, 10}}, 50, {false, true}, {80, 20}},
  };
  for (const TCase& c : cases) {
    TdxBarToolbarLayout layout = MakeLayout(dsNone, c.Items);
    TPoint size(0, 0);
    layout.WrapItems(false, c.Length, size);
    EXPECT_EQ(c.Breaks, Breaks(layout)) << c.Name;
    EXPECT_EQ(c.Size, size) << c.Name;
  }
}

TEST(dxBarToolbarLayout, SingleRowPlacementOverflowAndSeparators) {
  TdxBarToolbarLayout layout = MakeLayout(dsTop, {{30, 22}, {30, 20}, {30, 22, true}, {30, 22}}, true);
  layout.CalcItemRects(100, 22);  // 89 pixels for items after the mark
  EXPECT_EQ(TRect(0, 0, 30, 22), layout.Items[0].ItemRect);
  EXPECT_EQ(TRect(30, 1, 60, 21), layout.Items[1].ItemRect);  // centred across the row
  EXPECT_EQ(TRect(), layout.Items[2].ItemRect);              // 60 + 6 + 30 > 89
  EXPECT_EQ(std::vector<int>({2, 3}), layout.OverflowItems());
  EXPECT_TRUE(layout.Items[1].LastInRow);

  layout.CalcItemRects(200, 22);
  EXPECT_EQ(TRect(66, 0, 96, 22), layout.Items[2].ItemRect);
  const auto separators = layout.CalcSeparators(200, 22);
  ASSERT_EQ(1u, separators.size());
  EXPECT_EQ(TRect(60, 0, 66, 22), separators[0].Bounds);
  EXPECT_EQ(skVertical, separators[0].Kind);
  EXPECT_TRUE(layout.OverflowItems().empty());
}

TEST(dxBarToolbarLayout, MultiRowPlacementPutsGroupSeparatorBetweenRows) {
  TdxBarToolbarLayout layout = MakeLayout(dsNone, {{20, 10}, {20, 12, true}, {20, 10}});
  TPoint size(0, 0);
  layout.WrapItems(false, 50, size);
  layout.CalcItemRects(size.X, size.Y);
  EXPECT_EQ(TRect(0, 0, 20, 10), layout.Items[0].ItemRect);
  EXPECT_EQ(TRect(0, 16, 20, 28), layout.Items[1].ItemRect);
  EXPECT_EQ(TRect(20, 17, 40, 27), layout.Items[2].ItemRect);  // centred in the 12-pixel row
  const auto separators = layout.CalcSeparators(size.X, size.Y);
  ASSERT_EQ(1u, separators.size());
  EXPECT_EQ(TRect(0, 10, size.X, 16), separators[0].Bounds);
  EXPECT_EQ(skHorizontal, separators[0].Kind);
  EXPECT_EQ(TRect(20, 16, 40, 28), layout.ItemHitRect(2));
}

TEST(dxBarToolbarLayout, RestSpaceItemAlignment) {
  struct TCase {
    TdxBarItemAlign Align;
    TRect Expected;
  } cases[] = {
      {iaLeft, TRect(30, 0, 60, 22)},
      {iaCenter, TRect(65, 0, 95, 22)},
      {iaRight, TRect(100, 0, 130, 22)},
      {iaClient, TRect(30, 0, 130, 22)},
  };
  for (const TCase& c : cases) {
    TdxBarToolbarLayout layout = MakeLayout(dsTop, {{30, 22}, {30, 22}});
    layout.UseRestSpace = true;
    layout.Items[1].Align = c.Align;
    layout.CalcItemRects(130, 22);
    EXPECT_EQ(c.Expected, layout.Items[1].ItemRect) << "align " << c.Align;
  }
}

TEST(dxBarToolbarLayout, VerticalDockMeasuresAlongTheHeight) {
  TdxBarToolbarLayout layout = MakeLayout(dsLeft, {{24, 30}, {26, 30}, {24, 30, true}}, true);
  EXPECT_EQ(26, layout.CalcWidthForStyle(dsLeft));
  EXPECT_EQ(30 + 30 + 6 + 30 + 11, layout.CalcFullHeightForStyle(dsLeft));
  EXPECT_EQ(TPoint(26, 30 + 30 + 11), layout.CalcSizeForHeight(dsLeft, 80));
  layout.CalcItemRects(26, 200);
  EXPECT_EQ(TRect(1, 0, 25, 30), layout.Items[0].ItemRect);
  EXPECT_EQ(TRect(1, 66, 25, 96), layout.Items[2].ItemRect);
}

TEST(dxBarToolbarLayout, MultiRowHeightSearchFindsTheNarrowestFit) {
  // Six 20 x 10 items: rows narrow step by step until the height is reached;
  // a floating bar never gets narrower than 51 pixels.
  TdxBarToolbarLayout layout = MakeLayout(dsNone, {{20, 10}, {20, 10}, {20, 10}, {20, 10}, {20, 10}, {20, 10}});
  EXPECT_EQ(TPoint(120, 10), layout.CalcSizeForHeight(dsNone, 10));
  EXPECT_EQ(TPoint(100, 20), layout.CalcSizeForHeight(dsNone, 20));
  EXPECT_EQ(TPoint(51, 30), layout.CalcSizeForHeight(dsNone, 30));
  EXPECT_EQ(TPoint(51, 30), layout.CalcSizeForHeight(dsNone, 1000));
}
