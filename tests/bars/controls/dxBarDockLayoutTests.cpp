// A dock's rows as values: where a dragged toolbar goes, how a row's toolbars
// share its length.
#include "bars/controls/dxBarDockLayout.h"

#include <gtest/gtest.h>

TEST(dxBarDockLayout, FindRowIndexOverTheZonesOfNearAndFarDocks) {
  struct TCase {
    bool NearSide;
    int Across;
    int Row;
    bool NewRow;
  } cases[] = {
      // A top dock with two rows of 26: zone 23, the new-row line 9 pixels into each band.
      {true, -20, 0, true},   // before the first row
      {true, -12, 0, true},   // the line before the first row
      {true, -3, 0, false},   // the end of the zone before the first row joins it
      {true, 5, 0, false},
      {true, 10, 1, true},    // the line inside row 0 opens a new row after it
      {true, 20, 1, false},   // the rest of the band joins the next row
      {true, 30, 1, false},
      {true, 55, 2, true},    // after the last row
      {true, 500, 2, true},
      // A bottom dock 52 high with the same rows: its lines lie at the far end of each band.
      {false, 5, 0, false},
      {false, 13, 1, true},
      {false, 20, 1, false},
  };
  for (const TCase& c : cases) {
    TdxDockRowsGeometry rows;
    rows.RowSizes = {26, 26};
    rows.NearSide = c.NearSide;
    rows.ClientAcross = 52;
    bool newRow = false;
    EXPECT_EQ(c.Row, rows.FindRowIndex(c.Across, newRow)) << c.Across << (c.NearSide ? " near" : " far");
    EXPECT_EQ(c.NewRow, newRow) << c.Across << (c.NearSide ? " near" : " far");
  }
  TdxDockRowsGeometry empty;
  bool newRow = false;
  EXPECT_EQ(0, empty.FindRowIndex(7, newRow));
  EXPECT_TRUE(newRow);
}

TEST(dxBarDockLayout, StoredRowNumberNeverMakesRowsWithoutBound) {
  EXPECT_EQ(2, dxDockStoredRowIndex(2, 0, 5));
  EXPECT_EQ(4, dxDockStoredRowIndex(1000000000, 0, 5));  // no more rows than toolbars
  EXPECT_EQ(3, dxDockStoredRowIndex(1000000000, 3, 1));  // one new row after the existing ones
  EXPECT_EQ(0, dxDockStoredRowIndex(-7, 2, 5));
}

namespace {

TdxDockColumnLayout Column(int AMin, int AMax, int APos, int AThickness = 22) {
  TdxDockColumnLayout c;
  c.MinSize = AMin;
  c.MaxSize = AMax;
  c.Pos = APos;
  c.FullThickness = AThickness;
  c.ThicknessFor = [AThickness](int) { return AThickness; };
  c.OffsetsAcross = 4;
  return c;
}

struct TPlaced {
  int Left, Width;
  bool Truncated;
  friend bool operator==(const TPlaced&, const TPlaced&) = default;
};

std::vector<TPlaced> Placed(const std::vector<TdxDockColumnLayout>& ACols) {
  std::vector<TPlaced> result;
  for (const TdxDockColumnLayout& c : ACols) result.push_back({c.NewLeft, c.NewWidth, c.Truncated});
  return result;
}

}  // namespace

TEST(dxBarDockLayout, RowArrangementFitsSqueezesAndFillsRestSpace) {
  struct TCase {
    const char* Name;
    std::vector<TdxDockColumnLayout> Cols;
    int Length;
    std::vector<TPlaced> Expected;
  } cases[] = {
      // Both fit: each keeps its stored position unless it would pass its right neighbour or the end.
      {"fit", {Column(30, 80, 0), Column(30, 80, 150)}, 200, {{0, 80, false}, {120, 80, false}}},
      {"fit, overlapping", {Column(30, 80, 50), Column(30, 80, 60)}, 200, {{0, 80, false}, {80, 80, false}}},
      // Squeezed: the first starts at 0 and fills up to the second, the truncated last reaches the end.
      {"squeeze", {Column(30, 80, 0), Column(30, 80, 100)}, 120, {{0, 80, false}, {80, 40, true}}},
      {"squeeze below minimum", {Column(30, 80, 0), Column(30, 80, 100)}, 50, {{0, 30, true}, {30, 30, true}}},
  };
  for (TCase& c : cases) {
    const int thickness = dxArrangeDockRow(c.Cols, c.Length, 0, false);
    EXPECT_EQ(c.Expected, Placed(c.Cols)) << c.Name;
    EXPECT_EQ(26, thickness) << c.Name;
  }
}

TEST(dxBarDockLayout, WholeRowAndRestSpaceToolbarsTakeTheLength) {
  std::vector<TdxDockColumnLayout> whole{Column(30, 80, 40)};
  whole[0].WholeRow = true;
  dxArrangeDockRow(whole, 300, 26, false);
  EXPECT_EQ((TPlaced{0, 300, false}), Placed(whole)[0]);
  EXPECT_EQ(26, whole[0].NewTop);

  std::vector<TdxDockColumnLayout> rest{Column(30, 80, 0), Column(30, 60, 200)};
  rest[0].UseRestSpace = true;
  dxArrangeDockRow(rest, 300, 0, false);
  EXPECT_EQ((std::vector<TPlaced>{{0, 200, false}, {200, 60, false}}), Placed(rest));

  // The row is as thick as its thickest toolbar, and every toolbar takes that thickness.
  std::vector<TdxDockColumnLayout> mixed{Column(30, 80, 0, 22), Column(30, 80, 100, 40)};
  EXPECT_EQ(44, dxArrangeDockRow(mixed, 300, 0, false));
  EXPECT_EQ(44, mixed[0].NewHeight);
}
