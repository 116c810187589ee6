// A dock's rows as values: where a dragged toolbar goes across the dock, and
// how the toolbars of one row share its length (fit, squeeze, rest space).
// The dock control measures its toolbar windows into these inputs and applies
// the results; nothing here needs a window. Along means along the dock (x on
// top and bottom docks), across the other way.
#pragma once

#include "bars/model/dxBarBase.h"

#include <functional>
#include <vector>

// A span across the dock, [Start, End).
struct TdxDockSpan {
  int Start = 0;
  int End = 0;
  bool Contains(int A) const { return Start <= A && A < End; }
  friend bool operator==(const TdxDockSpan&, const TdxDockSpan&) = default;
};

// Where a toolbar dropped at a point goes: the row and whether a new row
// opens there.
struct TdxDockRowTarget {
  int Row = 0;
  bool NewRow = false;
  friend bool operator==(const TdxDockRowTarget&, const TdxDockRowTarget&) = default;
};

// The rows of a dock, each with its thickness (0 for a row without docked bar).
struct TdxDockRowsGeometry {
  std::vector<int> RowSizes;
  // Left and top docks grow away from the form's edge at 0; right and bottom
  // ones towards it from ClientAcross.
  bool NearSide = true;
  int ClientAcross = 0;
  // The distance within which a dragged toolbar docks.
  int ZoneSize = 23;
  // While toolbars are dragged, a far-side dock stacks its rows from the far edge.
  bool StackFromFarEdge = false;

  int RowCount() const { return static_cast<int>(RowSizes.size()); }
  int CalcRowsSize() const;
  // The row's band across the dock; empty out of range.
  TdxDockSpan RowBand(int ARow) const;
  // Part 0, 1 (the 5-pixel new-row line) or 2 of the zone of a row; row -1 is
  // the zone before the first row, RowCount the one after the last.
  TdxDockSpan RowZone(int ARow, int APart) const;
  // The row a toolbar dropped at a coordinate across the dock joins.
  TdxDockRowTarget FindRowIndex(int AAcross) const;
  // The coordinate across the dock at which a toolbar dropped keeps the row
  // ARow: the middle of the new-row line before it (AOnLine, a toolbar alone
  // on its row), else of the gap between the rows.
  int RowGap(int ARow, bool AOnLine) const;
};

// The row a toolbar being re-created takes from its stored row number: rows
// are appended up to it, but never more than the manager has toolbars, so a
// corrupt stored number cannot make rows without bound.
int dxDockStoredRowIndex(int AStoredRow, int ARowCount, int ABarCount);

// Of the stored positions along the dock of a row's toolbars, the index of
// the first at or beyond a point: where a toolbar dropped there is inserted.
int dxDockFindColIndex(const std::vector<int>& AStoredPositions, int AAlong);

// One toolbar of a row, measured for the row arrangement.
struct TdxDockColumnInput {
  // Lengths with the content offsets along the dock.
  int MinSize = 0;
  int MaxSize = 0;
  // The stored position along the dock.
  int Pos = 0;
  bool MultiRow = false;
  bool WholeRow = false;
  bool UseRestSpace = false;
  // The toolbar being dragged.
  bool Moving = false;
  // The thickness for a length (content offsets included in the length,
  // excluded from the answer) and the full single-row thickness; the content
  // offsets across the dock.
  std::function<int(int)> ThicknessFor;
  int FullThickness = 0;
  int OffsetsAcross = 0;
};

// Where the arrangement puts one toolbar (along/across; a vertical dock
// exchanges them when it applies them).
struct TdxDockColumnPlacement {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool Truncated = false;
  // The stored position afterwards: a toolbar squeezed behind a dragged one
  // is pushed along.
  int Pos = 0;
  friend bool operator==(const TdxDockColumnPlacement&, const TdxDockColumnPlacement&) = default;
};

struct TdxDockRowArrangement {
  std::vector<TdxDockColumnPlacement> Columns;
  int Thickness = 0;
};

// Arranges the toolbars of one row of length ALength starting at ARowTop
// across the dock.
TdxDockRowArrangement dxArrangeDockRow(const std::vector<TdxDockColumnInput>& AColumns, int ALength, int ARowTop,
                                       bool AAutoAlign);
