#include "bars/controls/dxBarDockLayout.h"

#include <algorithm>

int TdxDockRowsGeometry::CalcRowsSize() const {
  int size = 0;
  for (int s : RowSizes) size += s;
  return size;
}

void TdxDockRowsGeometry::RowBand(int ARow, int& AStart, int& AEnd) const {
  AStart = AEnd = 0;
  if (ARow < 0 || ARow >= RowCount()) return;
  int start = 0;
  if (StackFromFarEdge && !NearSide) {
    start = ClientAcross;
    for (int i = ARow; i < RowCount(); ++i) start -= RowSizes[i];
  } else {
    for (int i = 0; i < ARow; ++i) start += RowSizes[i];
  }
  AStart = start;
  AEnd = start + RowSizes[ARow];
}

void TdxDockRowsGeometry::RowZone(int ARow, int APart, int& AStart, int& AEnd) const {
  int start = 0, end = 0;
  const int rows = CalcRowsSize();
  if (ARow < 0) {
    start = NearSide ? -ZoneSize : ClientAcross - rows - ZoneSize;
    end = NearSide ? 0 : ClientAcross - rows;
  } else if (ARow >= RowCount()) {
    start = NearSide ? rows : ClientAcross;
    end = start + ZoneSize;
  } else {
    RowBand(ARow, start, end);
  }
  // C++ division truncates toward zero, as the line placement wants.
  const int line = NearSide ? start + (ZoneSize - 5) / 2 : end - (ZoneSize - 5) / 2 - 5;
  switch (APart) {
    case 0: AStart = start; AEnd = line; break;
    case 1: AStart = line; AEnd = line + 5; break;
    default: AStart = line + 5; AEnd = end; break;
  }
}

int TdxDockRowsGeometry::FindRowIndex(int AAcross, bool& ANewRow) const {
  ANewRow = false;
  if (RowCount() == 0) {
    ANewRow = true;
    return 0;
  }
  int result = -2;
  for (int b = -1; b < RowCount() && result == -2; ++b)
    for (int part = 0; part < 3; ++part) {
      int start, end;
      RowZone(b, part, start, end);
      if (start <= AAcross && AAcross < end) {
        result = part == 0 ? b : b + 1;
        ANewRow = part == 1;
        break;
      }
    }
  if (result < 0) {
    ANewRow = true;
    result = AAcross < CalcRowsSize() ? 0 : RowCount();
  }
  if (result >= RowCount()) ANewRow = true;
  return result;
}

int dxDockStoredRowIndex(int AStoredRow, int ARowCount, int ABarCount) {
  const int highest = std::max(ARowCount, ABarCount - 1);
  return std::clamp(AStoredRow, 0, std::max(highest, 0));
}

namespace {

int ThicknessOf(const TdxDockColumnLayout& ACol, int ALength, bool AFull) {
  if (AFull && !ACol.MultiRow) return ACol.FullThickness;
  return ACol.ThicknessFor ? ACol.ThicknessFor(ALength) : ACol.FullThickness;
}

}  // namespace

int dxArrangeDockRow(std::vector<TdxDockColumnLayout>& AColumns, int ALength, int ARowTop, bool AAutoAlign) {
  const int n = static_cast<int>(AColumns.size());
  if (n == 0) return 0;
  std::vector<int> minBefore(n + 1, 0), maxBefore(n + 1, 0);
  for (int i = 0; i < n; ++i) {
    AColumns[i].Truncated = false;
    minBefore[i + 1] = minBefore[i] + AColumns[i].MinSize;
    maxBefore[i + 1] = maxBefore[i] + AColumns[i].MaxSize;
  }
  const int total = maxBefore[n];
  int rowThickness = 0;
  if (AColumns[0].WholeRow) {
    TdxDockColumnLayout& c = AColumns[0];
    c.NewLeft = 0;
    c.NewTop = ARowTop;
    c.NewWidth = std::max(c.MinSize, ALength);
    c.NewHeight = ThicknessOf(c, c.NewWidth, false) + c.OffsetsAcross;
    c.Truncated = !(c.MultiRow || c.NewWidth >= c.MaxSize);
    rowThickness = c.NewHeight;
  } else if (ALength >= total) {
    int limit = ALength;
    for (int i = n - 1; i >= 0; --i) {
      TdxDockColumnLayout& c = AColumns[i];
      c.NewTop = ARowTop;
      c.NewWidth = c.MaxSize;
      c.NewHeight = ThicknessOf(c, c.NewWidth, true) + c.OffsetsAcross;
      int x = c.Pos;
      if (x + c.NewWidth > limit) x = limit - c.NewWidth;
      if (x < maxBefore[i]) x = maxBefore[i];
      c.NewLeft = x;
      limit = x;
      rowThickness = std::max(rowThickness, c.NewHeight);
    }
  } else {
    int limit = ALength;
    for (int i = n - 1; i >= 0; --i) {
      TdxDockColumnLayout& c = AColumns[i];
      int p = std::min(std::max(c.Pos, minBefore[i]), maxBefore[i]);
      if (i > 0 && AColumns[i - 1].Moving) {
        // The toolbar after a dragged one is pushed, never overlapped.
        const int q = std::max(minBefore[i - 1], AColumns[i - 1].Pos) + AColumns[i - 1].MaxSize;
        if (q < p) {
          c.Pos = q;
          p = q;
        }
      }
      const int room = limit - p;
      if (room < c.MaxSize) {
        c.Truncated = !(c.MultiRow || c.MinSize == c.MaxSize);
        c.NewWidth = std::max(c.MinSize, room);
        c.NewHeight = ThicknessOf(c, c.NewWidth, false);
      } else {
        c.NewWidth = c.MaxSize;
        c.NewHeight = ThicknessOf(c, c.NewWidth, true);
      }
      if (i == 0) c.NewWidth = std::max(c.NewWidth, limit);
      c.NewLeft = std::min(std::max(limit - c.NewWidth, minBefore[i]), maxBefore[i]);
      c.NewTop = ARowTop;
      c.NewHeight += c.OffsetsAcross;
      limit -= c.NewWidth;
      rowThickness = std::max(rowThickness, c.NewHeight);
    }
  }
  for (int i = 0; i < n; ++i) {
    TdxDockColumnLayout& c = AColumns[i];
    if (c.UseRestSpace || AAutoAlign) c.NewLeft = i == 0 ? 0 : AColumns[i - 1].NewLeft + AColumns[i - 1].NewWidth;
    if (c.UseRestSpace)
      c.NewWidth = std::max(c.MinSize, (i + 1 == n ? ALength : AColumns[i + 1].NewLeft) - c.NewLeft);
  }
  for (int i = 0; i < n; ++i) {
    TdxDockColumnLayout& c = AColumns[i];
    if (c.Truncated && i + 1 == n) c.NewWidth = std::max(c.MinSize, ALength - c.NewLeft);
    c.NewHeight = rowThickness;
  }
  return rowThickness;
}
