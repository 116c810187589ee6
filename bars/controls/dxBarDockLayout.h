// A dock's rows as values: where a dragged toolbar goes across the dock, and
// how the toolbars of one row share its length (fit, squeeze, rest space).
// The dock control measures its toolbar windows into these records and
// applies the result; nothing here needs a window. Along means along the
// dock (x on top and bottom docks), across the other way.
#pragma once

#include "bars/model/dxBarBase.h"

#include <functional>
#include <vector>

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
  // The row's band across the dock, [start, end); empty out of range.
  void RowBand(int ARow, int& AStart, int& AEnd) const;
  // Slice 0, 1 (the 5-pixel new-row line) or 2 of the zone of a row; -1 is
  // the zone before the first row, RowCount the one after the last.
  void RowZone(int ARow, int APart, int& AStart, int& AEnd) const;
  // The row a toolbar dropped at a coordinate across the dock joins, and
  // whether it opens a new row there.
  int FindRowIndex(int AAcross, bool& ANewRow) const;
};

// The row a toolbar being re-created takes from its stored row number: rows
// are appended up to it, but never more than the manager has toolbars, so a
// corrupt stored number cannot make rows without bound.
int dxDockStoredRowIndex(int AStoredRow, int ARowCount, int ABarCount);

// One toolbar of a row, measured for the row arrangement.
struct TdxDockColumnLayout {
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
  // The thickness for a length (content offsets excluded) and the full
  // single-row thickness; the content offsets across the dock.
  std::function<int(int)> ThicknessFor;
  int FullThickness = 0;
  int OffsetsAcross = 0;
  // Written by the arrangement.
  int NewLeft = 0;
  int NewTop = 0;
  int NewWidth = 0;
  int NewHeight = 0;
  bool Truncated = false;
};

// Arranges the toolbars of one row of length ALength starting at ARowTop
// across the dock (results along/across; a vertical dock swaps them when it
// applies them); returns the row's thickness.
int dxArrangeDockRow(std::vector<TdxDockColumnLayout>& AColumns, int ALength, int ARowTop, bool AAutoAlign);
