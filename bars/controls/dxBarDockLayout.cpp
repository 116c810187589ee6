#include "bars/controls/dxBarDockLayout.h"

#include <algorithm>

int TdxDockRowsGeometry::CalcRowsSize() const {
  int size = 0;
  for (int s : RowSizes) size += s;
  return size;
}

TdxDockSpan TdxDockRowsGeometry::RowBand(int ARow) const {
  if (ARow < 0 || ARow >= RowCount()) return {};
  int start = 0;
  if (StackFromFarEdge && !NearSide) {
    start = ClientAcross;
    for (int i = ARow; i < RowCount(); ++i) start -= RowSizes[i];
  } else {
    for (int i = 0; i < ARow; ++i) start += RowSizes[i];
  }
  return {start, start + RowSizes[ARow]};
}

TdxDockSpan TdxDockRowsGeometry::RowZone(int ARow, int APart) const {
  TdxDockSpan band;
  const int rows = CalcRowsSize();
  if (ARow < 0)
    band = NearSide ? TdxDockSpan{-ZoneSize, 0} : TdxDockSpan{ClientAcross - rows - ZoneSize, ClientAcross - rows};
  else if (ARow >= RowCount())
    band = NearSide ? TdxDockSpan{rows, rows + ZoneSize} : TdxDockSpan{ClientAcross, ClientAcross + ZoneSize};
  else
    band = RowBand(ARow);
  // C++ division truncates toward zero, as the line placement wants.
  const int line = NearSide ? band.Start + (ZoneSize - 5) / 2 : band.End - (ZoneSize - 5) / 2 - 5;
  switch (APart) {
    case 0: return {band.Start, line};
    case 1: return {line, line + 5};
    default: return {line + 5, band.End};
  }
}

TdxDockRowTarget TdxDockRowsGeometry::FindRowIndex(int AAcross) const {
  if (RowCount() == 0) return {0, true};
  TdxDockRowTarget target;
  bool found = false;
  for (int b = -1; b < RowCount() && !found; ++b)
    for (int part = 0; part < 3 && !found; ++part)
      if (RowZone(b, part).Contains(AAcross)) {
        target = {part == 0 ? b : b + 1, part == 1};
        found = true;
      }
  if (!found || target.Row < 0) target = {AAcross < CalcRowsSize() ? 0 : RowCount(), true};
  if (target.Row >= RowCount()) target.NewRow = true;
  return target;
}

int TdxDockRowsGeometry::RowGap(int ARow, bool AOnLine) const {
  if (AOnLine && ARow != RowCount()) {
    const TdxDockSpan line = RowZone(ARow - 1, 1);
    return (line.Start + line.End) / 2;
  }
  int a = RowZone(ARow - 1, 2).Start;
  const TdxDockSpan next = RowZone(ARow, 0);
  const int b = next.End;
  // The half before the row is no longer than the half inside it.
  if (next.Start - a > b - next.Start) a = next.Start - (b - next.Start);
  return (a + b) / 2;
}

int dxDockStoredRowIndex(int AStoredRow, int ARowCount, int ABarCount) {
  const int highest = std::max(ARowCount, ABarCount - 1);
  return std::clamp(AStoredRow, 0, std::max(highest, 0));
}

int dxDockFindColIndex(const std::vector<int>& AStoredPositions, int AAlong) {
  for (size_t i = 0; i < AStoredPositions.size(); ++i)
    if (AStoredPositions[i] >= AAlong) return static_cast<int>(i);
  return static_cast<int>(AStoredPositions.size());
}

namespace {

int ThicknessOf(const TdxDockColumnInput& ACol, int ALength, bool AFull) {
  if (AFull && !ACol.MultiRow) return ACol.FullThickness;
  return ACol.ThicknessFor ? ACol.ThicknessFor(ALength) : ACol.FullThickness;
}

}  // namespace

TdxDockRowArrangement dxArrangeDockRow(const std::vector<TdxDockColumnInput>& AColumns, int ALength, int ARowTop,
                                       bool AAutoAlign) {
  TdxDockRowArrangement result;
  const int n = static_cast<int>(AColumns.size());
  if (n == 0) return result;
  std::vector<TdxDockColumnPlacement>& placed = result.Columns;
  placed.resize(n);
  std::vector<int> minBefore(n + 1, 0), maxBefore(n + 1, 0);
  for (int i = 0; i < n; ++i) {
    placed[i].Pos = AColumns[i].Pos;
    minBefore[i + 1] = minBefore[i] + AColumns[i].MinSize;
    maxBefore[i + 1] = maxBefore[i] + AColumns[i].MaxSize;
  }
  const int total = maxBefore[n];
  int& rowThickness = result.Thickness;
  if (AColumns[0].WholeRow) {
    const TdxDockColumnInput& c = AColumns[0];
    TdxDockColumnPlacement& p = placed[0];
    p.Left = 0;
    p.Top = ARowTop;
    p.Width = std::max(c.MinSize, ALength);
    p.Height = ThicknessOf(c, p.Width, false) + c.OffsetsAcross;
    p.Truncated = !(c.MultiRow || p.Width >= c.MaxSize);
    rowThickness = p.Height;
  } else if (ALength >= total) {
    int limit = ALength;
    for (int i = n - 1; i >= 0; --i) {
      const TdxDockColumnInput& c = AColumns[i];
      TdxDockColumnPlacement& p = placed[i];
      p.Top = ARowTop;
      p.Width = c.MaxSize;
      p.Height = ThicknessOf(c, p.Width, true) + c.OffsetsAcross;
      int x = c.Pos;
      if (x + p.Width > limit) x = limit - p.Width;
      if (x < maxBefore[i]) x = maxBefore[i];
      p.Left = x;
      limit = x;
      rowThickness = std::max(rowThickness, p.Height);
    }
  } else {
    int limit = ALength;
    for (int i = n - 1; i >= 0; --i) {
      const TdxDockColumnInput& c = AColumns[i];
      TdxDockColumnPlacement& p = placed[i];
      int pos = std::min(std::max(p.Pos, minBefore[i]), maxBefore[i]);
      if (i > 0 && AColumns[i - 1].Moving) {
        // The toolbar after a dragged one is pushed, never overlapped.
        const int q = std::max(minBefore[i - 1], AColumns[i - 1].Pos) + AColumns[i - 1].MaxSize;
        if (q < pos) {
          p.Pos = q;
          pos = q;
        }
      }
      const int room = limit - pos;
      if (room < c.MaxSize) {
        p.Truncated = !(c.MultiRow || c.MinSize == c.MaxSize);
        p.Width = std::max(c.MinSize, room);
        p.Height = ThicknessOf(c, p.Width, false);
      } else {
        p.Width = c.MaxSize;
        p.Height = ThicknessOf(c, p.Width, true);
      }
      if (i == 0) p.Width = std::max(p.Width, limit);
      p.Left = std::min(std::max(limit - p.Width, minBefore[i]), maxBefore[i]);
      p.Top = ARowTop;
      p.Height += c.OffsetsAcross;
      limit -= p.Width;
      rowThickness = std::max(rowThickness, p.Height);
    }
  }
  for (int i = 0; i < n; ++i) {
    TdxDockColumnPlacement& p = placed[i];
    if (AColumns[i].UseRestSpace || AAutoAlign) p.Left = i == 0 ? 0 : placed[i - 1].Left + placed[i - 1].Width;
    if (AColumns[i].UseRestSpace)
      p.Width = std::max(AColumns[i].MinSize, (i + 1 == n ? ALength : placed[i + 1].Left) - p.Left);
  }
  for (int i = 0; i < n; ++i) {
    TdxDockColumnPlacement& p = placed[i];
    if (p.Truncated && i + 1 == n) p.Width = std::max(AColumns[i].MinSize, ALength - p.Left);
    p.Height = rowThickness;
  }
  return result;
}
