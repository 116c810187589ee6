// A dock's rows as values: where a dragged toolbar goes, how a row's toolbars
// share its length.
#include "bars/controls/dxBarDockLayout.h"

#include <gtest/gtest.h>

namespace {

// Two rows of 26 in a dock 52 across, zone 23: the new-row line lies 9 pixels into each band.
TdxDockRowsGeometry TwoRows(bool ANearSide) {
  TdxDockRowsGeometry rows;
  rows.RowSizes = {26, 26};
  rows.NearSide = ANearSide;
  rows.ClientAcross = 52;
  return rows;
}

}  // namespace

TEST(dxBarDockLayout, RowZonesSplitEachBandAroundItsNewRowLine) {
  struct TCase {
    bool NearSide;
    int Row, Part;
    TdxDockSpan Zone;
  } cases[] = {
      {true, -1, 0, {-23, -14}}, {true, -1, 1, {-14, -9}}, {true, -1, 2, {-9, 0}},
      {true, 0, 0, {0, 9}},      {true, 0, 1, {9, 14}},    {true, 0, 2, {14, 26}},
      {true, 2, 0, {52, 61}},    {true, 2, 2, {66, 75}},
      // A bottom dock puts the line at the far end of each band.
      {false, -1, 0, {-23, -14}}, {false, 0, 0, {0, 12}}, {false, 0, 1, {12, 17}}, {false, 0, 2, {17, 26}},
      {false, 2, 1, {61, 66}},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(c.Zone, TwoRows(c.NearSide).RowZone(c.Row, c.Part)) << c.Row << "/" << c.Part << (c.NearSide ? " near" : " far");
}

TEST(dxBarDockLayout, FindRowIndexOverTheZonesOfNearAndFarDocks) {
  struct TCase {
    bool NearSide;
    int Across;
    TdxDockRowTarget Target;
  } cases[] = {
      {true, -20, {0, true}},   // before the first row
      {true, -12, {0, true}},   // the line before the first row
      {true, -3, {0, false}},   // the end of the zone before the first row joins it
      {true, 5, {0, false}},
      {true, 10, {1, true}},    // the line inside row 0 opens a new row after it
      {true, 20, {1, false}},   // the rest of the band joins the next row
      {true, 30, {1, false}},
      {true, 55, {2, true}},    // after the last row
      {true, 500, {2, true}},   // far off: a new last row
      {true, -500, {0, true}},  // far before: a new first row
      {false, 5, {0, false}},
      {false, 13, {1, true}},
      {false, 20, {1, false}},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(c.Target, TwoRows(c.NearSide).FindRowIndex(c.Across)) << c.Across << (c.NearSide ? " near" : " far");
  EXPECT_EQ((TdxDockRowTarget{0, true}), TdxDockRowsGeometry().FindRowIndex(7));
}

// The gap a dragged toolbar's cursor is taken to keeps it where it is: on the
// new-row line before a row it has to itself, else just inside its row.
TEST(dxBarDockLayout, RowGapFallsWhereTheToolbarKeepsItsRow) {
  const TdxDockRowsGeometry rows = TwoRows(true);
  struct TCase {
    int Row;
    bool OnLine;
    int Gap;
    TdxDockRowTarget Then;
  } cases[] = {
      {0, true, -11, {0, true}},
      {1, true, 11, {1, true}},
      {1, false, 26, {1, false}},
      {0, false, 0, {0, false}},
      {2, true, 52, {2, true}},  // after the last row the line is not asked for
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(c.Gap, rows.RowGap(c.Row, c.OnLine)) << c.Row << c.OnLine;
    EXPECT_EQ(c.Then, rows.FindRowIndex(c.Gap)) << c.Row << c.OnLine;
  }
}

TEST(dxBarDockLayout, FarSideRowsStackFromTheFarEdgeWhileDragging) {
  TdxDockRowsGeometry rows = TwoRows(false);
  rows.ClientAcross = 60;
  EXPECT_EQ((TdxDockSpan{26, 52}), rows.RowBand(1));
  rows.StackFromFarEdge = true;
  EXPECT_EQ((TdxDockSpan{8, 34}), rows.RowBand(0));
  EXPECT_EQ((TdxDockSpan{34, 60}), rows.RowBand(1));
  EXPECT_EQ(TdxDockSpan(), rows.RowBand(2));
}

TEST(dxBarDockLayout, ColumnIndexAndStoredRows) {
  EXPECT_EQ(0, dxDockFindColIndex({}, 50));
  EXPECT_EQ(1, dxDockFindColIndex({0, 100}, 50));
  EXPECT_EQ(1, dxDockFindColIndex({0, 100}, 100));
  EXPECT_EQ(2, dxDockFindColIndex({0, 100}, 101));
  EXPECT_EQ(2, dxDockStoredRowIndex(2, 0, 5));
  EXPECT_EQ(4, dxDockStoredRowIndex(1000000000, 0, 5));  // no more rows than toolbars
  EXPECT_EQ(3, dxDockStoredRowIndex(1000000000, 3, 1));  // one new row after the existing ones
  EXPECT_EQ(0, dxDockStoredRowIndex(-7, 2, 5));
}

namespace {

TdxDockColumnInput Column(int AMin, int AMax, int APos, int AThickness = 22) {
  TdxDockColumnInput c;
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

std::vector<TPlaced> Placed(const TdxDockRowArrangement& ARow) {
  std::vector<TPlaced> result;
  for (const TdxDockColumnPlacement& c : ARow.Columns) result.push_back({c.Left, c.Width, c.Truncated});
  return result;
}

}  // namespace

TEST(dxBarDockLayout, RowArrangementFitsSqueezesAndFillsRestSpace) {
  struct TCase {
    const char* Name;
    std::vector<TdxDockColumnInput> Cols;
    int Length;
    bool AutoAlign;
    std::vector<TPlaced> Expected;
  } cases[] = {
      // Both fit: each keeps its stored position unless it would pass its right neighbour or the end.
      {"fit", {Column(30, 80, 0), Column(30, 80, 150)}, 200, false, {{0, 80, false}, {120, 80, false}}},
      {"fit, overlapping", {Column(30, 80, 50), Column(30, 80, 60)}, 200, false, {{0, 80, false}, {80, 80, false}}},
      {"fit, room before", {Column(30, 80, 30), Column(30, 80, 110)}, 300, false, {{30, 80, false}, {110, 80, false}}},
      {"fit, auto-aligned", {Column(30, 80, 30), Column(30, 80, 150)}, 300, true, {{0, 80, false}, {80, 80, false}}},
      // Squeezed: the first starts at 0 and fills up to the second, the truncated last reaches the end.
      {"squeeze", {Column(30, 80, 0), Column(30, 80, 100)}, 120, false, {{0, 80, false}, {80, 40, true}}},
      {"squeeze below minimum", {Column(30, 80, 0), Column(30, 80, 100)}, 50, false, {{0, 30, true}, {30, 30, true}}},
      {"squeeze, first fills", {Column(30, 80, 0), Column(60, 60, 100)}, 130, false, {{0, 70, true}, {70, 60, false}}},
      // A bar that cannot shrink is never truncated.
      {"squeeze, fixed size", {Column(80, 80, 0), Column(60, 60, 100)}, 100, false, {{0, 80, false}, {80, 60, false}}},
  };
  for (TCase& c : cases) {
    const TdxDockRowArrangement row = dxArrangeDockRow(c.Cols, c.Length, 0, c.AutoAlign);
    EXPECT_EQ(c.Expected, Placed(row)) << c.Name;
    EXPECT_EQ(26, row.Thickness) << c.Name;
  }
}

TEST(dxBarDockLayout, ToolbarBehindADraggedOneIsPushedNotOverlapped) {
  std::vector<TdxDockColumnInput> cols{Column(30, 80, 0), Column(30, 80, 40), Column(30, 80, 300)};
  cols[1].Moving = true;
  const TdxDockRowArrangement row = dxArrangeDockRow(cols, 200, 0, false);
  EXPECT_EQ(120, row.Columns[2].Pos);  // its stored position follows the dragged bar
  EXPECT_EQ(120, row.Columns[2].Left);
  EXPECT_EQ(40, row.Columns[1].Pos);
  cols[1].Moving = false;
  EXPECT_EQ(300, dxArrangeDockRow(cols, 200, 0, false).Columns[2].Pos);
}

TEST(dxBarDockLayout, WholeRowAndRestSpaceToolbarsTakeTheLength) {
  std::vector<TdxDockColumnInput> whole{Column(30, 80, 40)};
  whole[0].WholeRow = true;
  TdxDockRowArrangement row = dxArrangeDockRow(whole, 300, 26, false);
  EXPECT_EQ((TPlaced{0, 300, false}), Placed(row)[0]);
  EXPECT_EQ(26, row.Columns[0].Top);
  // Shorter than its full length it is truncated, unless it wraps to more lines.
  EXPECT_TRUE(dxArrangeDockRow(whole, 50, 0, false).Columns[0].Truncated);
  whole[0].MultiRow = true;
  EXPECT_FALSE(dxArrangeDockRow(whole, 50, 0, false).Columns[0].Truncated);

  std::vector<TdxDockColumnInput> rest{Column(30, 80, 0), Column(30, 60, 200)};
  rest[0].UseRestSpace = true;
  EXPECT_EQ((std::vector<TPlaced>{{0, 200, false}, {200, 60, false}}), Placed(dxArrangeDockRow(rest, 300, 0, false)));

  // The row is as thick as its thickest toolbar, and every toolbar takes that thickness.
  std::vector<TdxDockColumnInput> mixed{Column(30, 80, 0, 22), Column(30, 80, 100, 40)};
  row = dxArrangeDockRow(mixed, 300, 0, false);
  EXPECT_EQ(44, row.Thickness);
  EXPECT_EQ(44, row.Columns[0].Height);
  // A multi-row bar asks for its thickness at the length it gets.
  std::vector<TdxDockColumnInput> wrapping{Column(30, 80, 0)};
  wrapping[0].MultiRow = true;
  wrapping[0].ThicknessFor = [](int ALength) { return ALength < 80 ? 44 : 22; };
  EXPECT_EQ(48, dxArrangeDockRow(wrapping, 50, 0, false).Thickness);
  EXPECT_EQ(26, dxArrangeDockRow(wrapping, 100, 0, false).Thickness);
}
