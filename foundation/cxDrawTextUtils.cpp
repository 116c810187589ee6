// Text layout, the measuring-only half: character classes, row breaking,
// arranging and indents. Nothing here draws; every width comes from the
// measuring callback, so the layout is the same on any measurer.
#include "foundation/cxDrawTextUtils.h"

#include <algorithm>
#include <iterator>

namespace {

bool IsBlank(wchar_t C) { return C == L' ' || C == L'\t'; }
bool IsLineBreak(wchar_t C) { return C == L'\r' || C == L'\n'; }
bool IsHighSurrogate(wchar_t C) { return C >= 0xD800 && C <= 0xDBFF; }
bool IsLowSurrogate(wchar_t C) { return C >= 0xDC00 && C <= 0xDFFF; }

// Row-start-prohibited characters as inclusive ranges, in code order.
struct TCharRange {
  wchar_t First, Last;
};
constexpr TCharRange kRowStartProhibited[] = {
    {0x0021, 0x0021}, {0x0025, 0x0025}, {0x0029, 0x0029}, {0x002C, 0x002C}, {0x002E, 0x002E},
    {0x003A, 0x003B}, {0x003E, 0x003F}, {0x005D, 0x005D}, {0x007D, 0x007D}, {0x00A8, 0x00A8},
    {0x00B0, 0x00B0}, {0x00B7, 0x00B7}, {0x02C7, 0x02C7}, {0x02C9, 0x02C9}, {0x2013, 0x2016},
    {0x2018, 0x2019}, {0x201D, 0x201D}, {0x2022, 0x2022}, {0x2025, 0x2027}, {0x2032, 0x2033},
    {0x2103, 0x2103}, {0x2236, 0x2236}, {0x2574, 0x2574}, {0x3001, 0x3003}, {0x3005, 0x3005},
    {0x3009, 0x3009}, {0x300B, 0x300B}, {0x300D, 0x300D}, {0x300F, 0x300F}, {0x3011, 0x3011},
    {0x3015, 0x3015}, {0x3017, 0x3017}, {0x301E, 0x301E}, {0x309B, 0x309C}, {0xFE30, 0xFE31},
    {0xFE33, 0xFE34}, {0xFE36, 0xFE36}, {0xFE38, 0xFE38}, {0xFE3A, 0xFE3A}, {0xFE3C, 0xFE3C},
    {0xFE3E, 0xFE3E}, {0xFE40, 0xFE40}, {0xFE42, 0xFE42}, {0xFE44, 0xFE44}, {0xFE4F, 0xFE52},
    {0xFE54, 0xFE57}, {0xFE5A, 0xFE5A}, {0xFE5C, 0xFE5C}, {0xFE5E, 0xFE5E}, {0xFF01, 0xFF02},
    {0xFF05, 0xFF05}, {0xFF07, 0xFF07}, {0xFF09, 0xFF09}, {0xFF0C, 0xFF0E}, {0xFF1A, 0xFF1B},
    {0xFF1E, 0xFF1F}, {0xFF3D, 0xFF3D}, {0xFF5C, 0xFF5E}, {0xFF61, 0xFF61}, {0xFF63, 0xFF64},
    {0xFF9E, 0xFF9F}, {0xFFE0, 0xFFFF},
};

// How one call breaks its rows.
struct TRowFormat {
  TcxTextAlignX Align;
  bool BreakByWords;
  bool BreakByChars;
  bool EndEllipsis;
  bool ExcelStyle;
  bool LastRowWithEllipsis;
};

struct TMeasurer {
  HDC DC;
  TcxMeasureRowExtentProc Proc;
  void* UserData;
  bool ExpandTabs;

  SIZE Size(const wchar_t* AText, int ALength) const {
    SIZE size{0, 0};
    Proc(DC, AText, ALength, size, UserData, ExpandTabs);
    return size;
  }
  int Width(const wchar_t* AText, int ALength) const { return Size(AText, ALength).cx; }
};

// The end of the next word from P: a blank or a full-width character is a
// word of its own, a line break ends a word without belonging to it.
// Row-start-prohibited characters stay with what precedes them: all of a run
// of them ("。”") follows a full-width character, and a full-width one
// ("，") also stays with the Latin word before it.
const wchar_t* NextWordBreak(const wchar_t* P, const wchar_t* AEnd) {
  const wchar_t* start = P;
  for (; P < AEnd; ++P) {
    const wchar_t c = *P;
    if (IsBlank(c)) return P == start ? P + 1 : P;
    if (IsLineBreak(c)) return P;
    if (cxIsFullWidthChar(c)) {
      if (P != start && !cxIsRowStartProhibitedChar(c)) return P;
      ++P;
      while (P < AEnd && cxIsRowStartProhibitedChar(*P)) ++P;
      return P;
    }
  }
  return AEnd;
}

const wchar_t* NextLineBreak(const wchar_t* P, const wchar_t* AEnd) {
  while (P < AEnd && !IsLineBreak(*P)) ++P;
  return P;
}

// Past one CR, CR LF, LF or LF CR.
const wchar_t* SkipLineBreak(const wchar_t* P, const wchar_t* AEnd) {
  const wchar_t first = *P++;
  const wchar_t pair = first == L'\r' ? L'\n' : L'\r';
  if (P < AEnd && *P == pair) ++P;
  return P;
}

// Characters of the word [AWordStart, AWordEnd) that still fit into the row
// that starts at ARowStart (at least one, and never half a surrogate pair).
int FitWordPrefix(const TMeasurer& AMeasurer, const wchar_t* ARowStart, const wchar_t* AWordStart,
                  const wchar_t* AWordEnd, int AWidth) {
  const int before = static_cast<int>(AWordStart - ARowStart);
  int lo = 0, hi = static_cast<int>(AWordEnd - AWordStart);
  // Invariant: lo characters fit; more than hi do not.
  while (lo < hi) {
    const int mid = lo + (hi - lo + 1) / 2;
    if (AMeasurer.Width(ARowStart, before + mid) <= AWidth)
      lo = mid;
    else
      hi = mid - 1;
  }
  int count = std::max(lo, 1);
  const int wordLength = static_cast<int>(AWordEnd - AWordStart);
  if (count < wordLength && IsHighSurrogate(AWordStart[count - 1]) && IsLowSurrogate(AWordStart[count]))
    count += count == 1 ? 1 : -1;
  return count;
}

// Breaks one row off the text at P; returns where the next row starts.
const wchar_t* FindRowBreak(const TMeasurer& AMeasurer, const wchar_t* P, const wchar_t* AEnd, int AWidth,
                            const TRowFormat& AFormat, TcxTextRow& ARow) {
  ARow.Text = P;
  ARow.BreakCount = 0;
  const wchar_t* current = P;  // end of the words placed so far
  const wchar_t* rowEnd = AEnd;
  const wchar_t* next = AEnd;
  bool wrapped = false;
  for (;;) {
    if (current >= AEnd) {
      rowEnd = next = AEnd;
      break;
    }
    // Candidates are word ends even when only measuring (CalcRect): a
    // rectangle measured with other breaks than drawing uses would not hold
    // the drawn rows.
    const wchar_t* candidate =
        AFormat.BreakByWords ? NextWordBreak(current, AEnd) : NextLineBreak(current, AEnd);
    if (AFormat.BreakByWords && candidate > current &&
        AMeasurer.Width(P, static_cast<int>(candidate - P)) > AWidth) {
      if (current != P && !AFormat.LastRowWithEllipsis) {
        rowEnd = next = current;
        wrapped = true;
      } else if (AFormat.BreakByChars) {
        rowEnd = next = current + FitWordPrefix(AMeasurer, P, current, candidate, AWidth);
      } else {
        rowEnd = next = candidate;
        wrapped = true;
        if (AFormat.EndEllipsis && next < AEnd && IsLineBreak(*next)) {
          next = SkipLineBreak(next, AEnd);
          wrapped = false;
        }
      }
      break;
    }
    if (candidate < AEnd && IsLineBreak(*candidate)) {
      rowEnd = candidate;
      next = SkipLineBreak(candidate, AEnd);
      break;
    }
    current = candidate;
  }

  int length = static_cast<int>(rowEnd - P);
  if (wrapped) {
    const bool blankEnds = length > 0 && IsBlank(P[length - 1]);
    const bool blankStartsNext = next < AEnd && IsBlank(*next);
    switch (AFormat.Align) {
      case taLeft:
      // A justified row that began with a blank would get all its extra
      // space there and look right-aligned.
      case taJustifyX:
      case taDistributeX:
        if (blankStartsNext) ++next;
        break;
      case taCenterX:
        if (blankEnds) --length;
        if (blankStartsNext) ++next;
        break;
      case taRight:
        if (blankEnds) --length;
        break;
      default:
        break;
    }
    if (AFormat.ExcelStyle)
      while (next < AEnd && *next == L' ') ++next;
  }
  if (AFormat.Align == taDistributeX || (wrapped && AFormat.Align == taJustifyX)) {
    const wchar_t* e = next;
    while (e > P && IsBlank(e[-1])) --e;
    length = std::min(length, static_cast<int>(e - P));
    ARow.BreakCount = static_cast<int>(std::count_if(P, P + length, IsBlank));
  }
  ARow.TextLength = length;
  return next;
}

void SetRowCount(TcxTextRows& ARows, int ACount) {
  ARows.Count = ACount;
  if (ACount > 32 && static_cast<int>(ARows.DynamicRows.size()) < ACount - 32)
    ARows.DynamicRows.resize(ACount - 28);
  if (ACount > 0) *cxGetTextRow(ARows, ACount - 1) = TcxTextRow{};
}

}  // namespace

// ---------------------------------------------------------------------------
// Character classes
// ---------------------------------------------------------------------------

bool cxIsFullWidthChar(wchar_t C) {
  if (C < 128) return false;
  if ((C >= 0x4E00 && C <= 0x9FFF) || (C >= 0x3040 && C <= 0x309F) || (C >= 0x30A0 && C <= 0x30FF) ||
      (C >= 0xAC00 && C <= 0xD7A3))
    return true;
  char bytes[8];
  return WideCharToMultiByte(CP_ACP, 0, &C, 1, bytes, sizeof bytes, nullptr, nullptr) > 1;
}

bool cxIsRowStartProhibitedChar(wchar_t C) {
  const auto it = std::upper_bound(std::begin(kRowStartProhibited), std::end(kRowStartProhibited), C,
                                   [](wchar_t c, const TCharRange& r) { return c < r.First; });
  return it != std::begin(kRowStartProhibited) && C <= std::prev(it)->Last;
}

// ---------------------------------------------------------------------------
// Rows
// ---------------------------------------------------------------------------

TcxTextRow* cxGetTextRow(TcxTextRows& ARows, int AIndex) {
  if (AIndex < 0 || AIndex >= ARows.Count) return nullptr;
  return AIndex < 32 ? &ARows.StaticRows[AIndex] : &ARows.DynamicRows[AIndex - 32];
}

const TcxTextRow* cxGetTextRow(const TcxTextRows& ARows, int AIndex) {
  return cxGetTextRow(const_cast<TcxTextRows&>(ARows), AIndex);
}

int cxMaxTextRowWidth(const TcxTextRows& ARows, int ACount) {
  int result = 0;
  ACount = std::min(ACount, ARows.Count);
  for (int i = 0; i < ACount; ++i) result = std::max<int>(result, cxGetTextRow(ARows, i)->TextExtents.cx);
  return result;
}

bool cxBreakTextIntoRows(HDC ADC, const wchar_t* AText, int ALength, TcxMeasureRowExtentProc AMeasure,
                         void* AUserData, int AMaxLineCount, int& ACount, TcxTextRows& ARows,
                         const TcxTextParams& AParams, const TRect& ARect) {
  ARows.Count = 0;
  ARows.DynamicRows.clear();
  ACount = 0;
  if (!AText || ALength <= 0) return true;
  const TMeasurer measurer{ADC, AMeasure ? AMeasure : &cxMeasureRowExtent, AUserData, AParams.ExpandTabs};

  if (AParams.CalcRect && AParams.SingleLine) {
    SetRowCount(ARows, 1);
    TcxTextRow& row = ARows.StaticRows[0];
    row.Text = AText;
    row.TextLength = ALength;
    row.TextExtents = measurer.Size(AText, ALength);
    ACount = 1;
    return true;
  }

  const int width = ARect.Right - ARect.Left;
  const int height = ARect.Bottom - ARect.Top;
  const bool calcMode = AParams.CalcRect || AParams.CalcRowCount;
  const bool justified = AParams.TextAlignX == taJustifyX || AParams.TextAlignX == taDistributeX;
  const bool ellipsisOnLastRow = !AParams.NoClip && AParams.EndEllipsis && !calcMode && !justified;
  TRowFormat format{};
  format.Align = AParams.TextAlignX;
  format.BreakByWords = !AParams.SingleLine && (AParams.WordBreak || justified);
  format.BreakByChars = format.BreakByWords && (AParams.CharBreak || AParams.EditControl);
  format.EndEllipsis = AParams.EndEllipsis;
  format.ExcelStyle = AParams.ExcelStyle;

  const wchar_t* p = AText;
  const wchar_t* const end = AText + ALength;
  long long totalHeight = 0;
  bool last = false;
  while (p < end && !last) {
    SetRowCount(ARows, ARows.Count + 1);
    TcxTextRow& row = *cxGetTextRow(ARows, ARows.Count - 1);
    totalHeight += AParams.FullRowHeight;
    if (AParams.SingleLine)
      last = true;
    else if (AParams.TextAlignY == taTop && !calcMode)
      // A row that reaches the bottom exactly is the last visible one: it,
      // not an invisible row below it, must carry the ellipsis. With
      // EditControl a row that would be cut is not started at all.
      last = AParams.EditControl && !AParams.NoClip ? totalHeight + AParams.FullRowHeight > height
                                                    : totalHeight >= height;
    else
      last = AMaxLineCount >= 1 && ARows.Count >= AMaxLineCount;
    format.LastRowWithEllipsis = ellipsisOnLastRow && last;
    p = FindRowBreak(measurer, p, end, width, format, row);
    row.StartOffset = static_cast<int>(row.Text - AText);
    row.TextExtents = measurer.Size(row.Text, row.TextLength);
    if (AMaxLineCount > 0 && ARows.Count >= AMaxLineCount) break;
  }
  ACount = ARows.Count;
  if (AParams.SingleLine && !calcMode) return ARows.StaticRows[0].TextExtents.cx <= width;
  return p >= end;
}

int cxArrangeTextRows(HDC /*ADC*/, const TRect& ATextRect, TcxTextParams& AParams, int ACount,
                      TcxTextRows& ARows) {
  ACount = std::min(ACount, ARows.Count);
  if (ACount <= 0) return 0;
  const int width = ATextRect.Right - ATextRect.Left;
  const int height = ATextRect.Bottom - ATextRect.Top;
  int remainder = 0;
  if (AParams.TextAlignY == taDistributeY && ACount > 1) {
    const int spare = height - AParams.RowHeight;
    if (static_cast<double>(spare) / (ACount - 1) > AParams.RowHeight) {
      AParams.FullRowHeight = spare / (ACount - 1);
      remainder = spare % (ACount - 1);
    }
  }
  int y;
  switch (AParams.TextAlignY) {
    case taCenterY:
      y = ATextRect.Top + (height - ACount * AParams.FullRowHeight) / 2;
      break;
    case taBottom:
      y = ATextRect.Bottom - ACount * AParams.FullRowHeight + AParams.tmExternalLeading;
      break;
    default:
      y = ATextRect.Top;
      break;
  }
  if (AParams.PreventTopExceed) y = std::max(y, ATextRect.Top);

  int lastTop = y;
  for (int i = 0; i < ACount; ++i) {
    TcxTextRow& row = *cxGetTextRow(ARows, i);
    int x;
    switch (AParams.TextAlignX) {
      case taCenterX:
        x = ATextRect.Left + (width - row.TextExtents.cx) / 2;
        break;
      case taRight:
        x = ATextRect.Right - row.TextExtents.cx;
        break;
      default:
        x = ATextRect.Left;
        break;
    }
    if (AParams.PreventLeftExceed) x = std::max(x, ATextRect.Left);
    row.TextOriginX = x;
    row.TextOriginY = lastTop = y;
    y += AParams.FullRowHeight;
    if (remainder > 0) {
      ++y;
      --remainder;
    }
  }
  return lastTop + AParams.RowHeight - ATextRect.Top;
}

TRect cxApplyTextIndents(const TRect& R, const TcxTextParams& AParams, int ALeftIndent, int ARightIndent) {
  TRect result = R;
  if (AParams.AutoIndents) {
    const int d = 2 * AParams.OnePixel;
    result = {result.Left + d, result.Top + d, result.Right - d, result.Bottom - d};
  }
  result.Left += ALeftIndent * AParams.OnePixel;
  result.Right -= ARightIndent * AParams.OnePixel;
  return result;
}

TRect cxRemoveTextIndents(const TRect& R, const TcxTextParams& AParams, int ALeftIndent, int ARightIndent) {
  TRect result = R;
  result.Left -= ALeftIndent * AParams.OnePixel;
  result.Right += ARightIndent * AParams.OnePixel;
  if (AParams.AutoIndents) {
    const int d = 2 * AParams.OnePixel;
    result = {result.Left - d, result.Top - d, result.Right + d, result.Bottom + d};
  }
  return result;
}
