// Text layout, the device-context half: text parameters from a DC, the
// measurer, output of arranged rows (ellipsis, highlight, justification, bars
// for tiny text) and the one-call block renderer, plus the module's pattern
// brushes. Every platform text call goes through the small wrappers below,
// which take the ANSI entry points on systems without the wide ones.
#include "foundation/cxDrawTextUtils.h"

#include "foundation/cxControlsRoutines.h"
#include "foundation/cxGraphicsRoutines.h"
#include "foundation/dxCore.h"
#include "platform/gui/GdiAccounting.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

namespace {

constexpr wchar_t kEllipsis[] = L"...";
constexpr int kEllipsisLength = 3;
// Longest run the platform's tabbed text calls take in one go.
constexpr int kMaxTabbedRun = 4096;

HBRUSH gPatternBrush = nullptr;      // grey checkerboard
HBRUSH gBoldPatternBrush = nullptr;  // solid
HBITMAP gPatternBitmaps[2] = {};
int gInitCount = 0;

// ---------------------------------------------------------------------------
// Platform text calls, wide or ANSI
// ---------------------------------------------------------------------------

// A text in the system's ANSI code page with the byte offset after each
// character, so that byte counts from the ANSI calls map back to characters.
struct TAnsiText {
  std::string Bytes;
  std::vector<int> CharEnds;

  TAnsiText(const wchar_t* AText, int ALength) {
    CharEnds.reserve(ALength);
    char buffer[8];
    for (int i = 0; i < ALength; ++i) {
      const int n = WideCharToMultiByte(CP_ACP, 0, AText + i, 1, buffer, sizeof buffer, nullptr, nullptr);
      Bytes.append(buffer, n > 0 ? n : 0);
      CharEnds.push_back(static_cast<int>(Bytes.size()));
    }
  }
  int Size() const { return static_cast<int>(Bytes.size()); }
  int CharsInBytes(int AByteCount) const {
    return static_cast<int>(std::upper_bound(CharEnds.begin(), CharEnds.end(), AByteCount) - CharEnds.begin());
  }
};

SIZE TextExtent(HDC ADC, const wchar_t* AText, int ALength) {
  SIZE size{0, 0};
  if (dxIsNTPlatform) {
    GetTextExtentPoint32W(ADC, AText, ALength, &size);
  } else {
    const TAnsiText text(AText, ALength);
    GetTextExtentPoint32A(ADC, text.Bytes.c_str(), text.Size(), &size);
  }
  return size;
}

// The right edge of each of the first ALength characters (ADX gets ALength
// entries).
void PartialExtents(HDC ADC, const wchar_t* AText, int ALength, std::vector<int>& ADX) {
  ADX.assign(ALength, 0);
  if (ALength <= 0) return;
  SIZE size;
  if (dxIsNTPlatform) {
    GetTextExtentExPointW(ADC, AText, ALength, 0, nullptr, ADX.data(), &size);
  } else {
    const TAnsiText text(AText, ALength);
    std::vector<int> byteDX(std::max(text.Size(), 1));
    GetTextExtentExPointA(ADC, text.Bytes.c_str(), text.Size(), 0, nullptr, byteDX.data(), &size);
    for (int i = 0; i < ALength; ++i) ADX[i] = text.CharEnds[i] > 0 ? byteDX[text.CharEnds[i] - 1] : 0;
  }
}

// How many characters from the start fit into AMaxWidth.
int FitCharCount(HDC ADC, const wchar_t* AText, int ALength, int AMaxWidth) {
  if (ALength <= 0 || AMaxWidth < 0) return 0;
  SIZE size;
  int fit = 0;
  if (dxIsNTPlatform) {
    GetTextExtentExPointW(ADC, AText, ALength, AMaxWidth, &fit, nullptr, &size);
  } else {
    const TAnsiText text(AText, ALength);
    int fitBytes = 0;
    GetTextExtentExPointA(ADC, text.Bytes.c_str(), text.Size(), AMaxWidth, &fitBytes, nullptr, &size);
    fit = text.CharsInBytes(fitBytes);
  }
  return std::clamp(fit, 0, ALength);
}

DWORD TabbedExtent(HDC ADC, const wchar_t* AText, int ALength) {
  if (dxIsNTPlatform) return GetTabbedTextExtentW(ADC, AText, ALength, 0, nullptr);
  const TAnsiText text(AText, ALength);
  return GetTabbedTextExtentA(ADC, text.Bytes.c_str(), text.Size(), 0, nullptr);
}

void TabbedOut(HDC ADC, int X, int Y, const wchar_t* AText, int ALength, int ATabOrigin) {
  if (dxIsNTPlatform) {
    TabbedTextOutW(ADC, X, Y, AText, ALength, 0, nullptr, ATabOrigin);
  } else {
    const TAnsiText text(AText, ALength);
    TabbedTextOutA(ADC, X, Y, text.Bytes.c_str(), text.Size(), 0, nullptr, ATabOrigin);
  }
}

void PlainOut(HDC ADC, int X, int Y, const wchar_t* AText, int ALength) {
  if (dxIsNTPlatform) {
    ExtTextOutW(ADC, X, Y, 0, nullptr, AText, ALength, nullptr);
  } else {
    const TAnsiText text(AText, ALength);
    ExtTextOutA(ADC, X, Y, 0, nullptr, text.Bytes.c_str(), text.Size(), nullptr);
  }
}

int AverageCharWidth(HDC ADC) {
  if (dxIsNTPlatform) {
    TEXTMETRICW tm{};
    GetTextMetricsW(ADC, &tm);
    return tm.tmAveCharWidth;
  }
  TEXTMETRICA tm{};
  GetTextMetricsA(ADC, &tm);
  return tm.tmAveCharWidth;
}

// The width of a text with its tabs expanded to the default stops (every
// eight average characters from the start), as the tabbed calls place them,
// but without their 16-bit limit.
int ExpandedTabsWidth(HDC ADC, const wchar_t* AText, int ALength) {
  const long long tabWidth = 8LL * AverageCharWidth(ADC);
  long long x = 0;
  int start = 0;
  for (int i = 0; i <= ALength; ++i) {
    if (i < ALength && AText[i] != L'\t') continue;
    if (i > start) x += TextExtent(ADC, AText + start, i - start).cx;
    if (i < ALength && tabWidth > 0) x = (x / tabWidth + 1) * tabWidth;
    start = i + 1;
  }
  return static_cast<int>(std::min<long long>(x, INT_MAX));
}

// ---------------------------------------------------------------------------
// Output helpers
// ---------------------------------------------------------------------------

int LogicalPixels(HDC ADC, int ADX, int ADY, bool AVertical) {
  POINT points[2] = {{0, 0}, {ADX, ADY}};
  if (!DPtoLP(ADC, points, 2)) return AVertical ? ADY : ADX;
  return AVertical ? std::abs(points[1].y - points[0].y) : std::abs(points[1].x - points[0].x);
}

bool IsMetafileDC(HDC ADC) {
  switch (GetObjectType(ADC)) {
    case OBJ_METADC:
    case OBJ_METAFILE:
    case OBJ_ENHMETADC:
    case OBJ_ENHMETAFILE:
      return true;
    default:
      return false;
  }
}

bool IsColorSet(TColor AColor) { return AColor != clNone && AColor != clDefault; }

// Never end a shortened row between the halves of a surrogate pair.
int KeepSurrogatePair(const wchar_t* AText, int ALength, int ACount) {
  if (ACount > 0 && ACount < ALength && AText[ACount - 1] >= 0xD800 && AText[ACount - 1] <= 0xDBFF &&
      AText[ACount] >= 0xDC00 && AText[ACount] <= 0xDFFF)
    return ACount - 1;
  return ACount;
}

// Draws a row's characters; tabbed output in runs the platform accepts, all
// with the same tab origin, so a long row is drawn whole.
void DrawRowText(HDC ADC, int X, int Y, const wchar_t* AText, int ALength, bool AExpandTabs) {
  if (!AExpandTabs) {
    PlainOut(ADC, X, Y, AText, ALength);
    return;
  }
  for (int start = 0; start < ALength; start += kMaxTabbedRun) {
    const int count = std::min(kMaxTabbedRun, ALength - start);
    int x = X;
    if (start > 0) {
      SIZE before;
      cxMeasureRowExtent(ADC, AText, start, before, nullptr, true);
      x += before.cx;
    }
    TabbedOut(ADC, x, Y, AText + start, count, X);
  }
}

int RowWidth(HDC ADC, const wchar_t* AText, int ALength, bool AExpandTabs) {
  SIZE size;
  cxMeasureRowExtent(ADC, AText, ALength, size, nullptr, AExpandTabs);
  return size.cx;
}

// Characters of the row that fit into AMaxWidth, tabs expanded or not.
int FitRowCount(HDC ADC, const wchar_t* AText, int ALength, int AMaxWidth, bool AExpandTabs) {
  int count;
  if (!AExpandTabs) {
    count = FitCharCount(ADC, AText, ALength, AMaxWidth);
  } else {
    int lo = 0, hi = ALength;
    while (lo < hi) {
      const int mid = lo + (hi - lo + 1) / 2;
      if (RowWidth(ADC, AText, mid, true) <= AMaxWidth)
        lo = mid;
      else
        hi = mid - 1;
    }
    count = lo;
  }
  return KeepSurrogatePair(AText, ALength, count);
}

// Saves the DC's font and text colour and puts them back.
class TDCTextState {
 public:
  explicit TDCTextState(HDC ADC)
      : FDC(ADC), FFont(GetCurrentObject(ADC, OBJ_FONT)), FTextColor(GetTextColor(ADC)) {}
  ~TDCTextState() {
    SelectObject(FDC, FFont);
    SetTextColor(FDC, FTextColor);
  }
  TDCTextState(const TDCTextState&) = delete;
  TDCTextState& operator=(const TDCTextState&) = delete;

 private:
  HDC FDC;
  HGDIOBJ FFont;
  COLORREF FTextColor;
};

}  // namespace

// ---------------------------------------------------------------------------
// Parameters and measuring
// ---------------------------------------------------------------------------

void cxInitTextParamsFromDC(HDC ADC, int AFormat, TcxTextParams& AParams, double ARowSpacing) {
  AParams = TcxTextParams{};
  TEXTMETRICW tm{};
  if (dxIsNTPlatform) {
    GetTextMetricsW(ADC, &tm);
  } else {
    TEXTMETRICA tma{};
    GetTextMetricsA(ADC, &tma);
    tm.tmHeight = tma.tmHeight;
    tm.tmExternalLeading = tma.tmExternalLeading;
    tm.tmMaxCharWidth = tma.tmMaxCharWidth;
    tm.tmWeight = tma.tmWeight;
    tm.tmCharSet = tma.tmCharSet;
    const char breakChar = static_cast<char>(tma.tmBreakChar);
    MultiByteToWideChar(CP_ACP, 0, &breakChar, 1, &tm.tmBreakChar, 1);
  }
  AParams.Bold = tm.tmWeight >= FW_BOLD;
  AParams.BreakChar = tm.tmBreakChar;
  AParams.MaxCharWidth = tm.tmMaxCharWidth;
  AParams.RowHeight = tm.tmHeight;
  AParams.CharSet = tm.tmCharSet;

  using namespace cxTextFormat;
  const int alignX = AFormat & AlignXMask;
  AParams.TextAlignX = alignX <= taDistributeX ? static_cast<TcxTextAlignX>(alignX) : taLeft;
  AParams.TextAlignY = static_cast<TcxTextAlignY>((AFormat & AlignYMask) >> AlignYShift);
  AParams.WordBreak = AFormat & WordBreak;
  AParams.SingleLine = AFormat & SingleLine;
  AParams.ExpandTabs = AFormat & ExpandTabs;
  AParams.EndEllipsis = AFormat & EndEllipsis;
  AParams.PatternedText = AFormat & PatternedText;
  AParams.ExternalLeading = AFormat & ExternalLeading;
  AParams.EditControl = AFormat & EditControl;
  AParams.NoClip = AFormat & NoClip;
  AParams.AutoIndents = AFormat & AutoIndents;
  // Far-east breaking is always on: the platform reports a far-east locale
  // on every system, so words are cut between characters whenever a single
  // word is wider than the rectangle.
  AParams.CharBreak = true;
  AParams.PreventLeftExceed = AFormat & PreventLeftExceed;
  AParams.PreventTopExceed = AFormat & PreventTopExceed;
  AParams.CalcRect = AFormat & CalcRect;
  AParams.CalcRowCount = AFormat & CalcRowCount;
  AParams.HidePrefix = AFormat & HidePrefix;
  AParams.ExcelStyle = AFormat & ExcelStyle;

  AParams.tmExternalLeading = AParams.ExternalLeading ? tm.tmExternalLeading : 0;
  AParams.OnePixel = std::max(1, LogicalPixels(ADC, 1, 1, false));
  AParams.FullRowHeight =
      static_cast<int>(std::nearbyint((AParams.RowHeight + AParams.tmExternalLeading) * ARowSpacing));
  if (AParams.PatternedText) AParams.PatternedText = AParams.RowHeight < LogicalPixels(ADC, 0, 6, true);
  if (AParams.EndEllipsis) AParams.EndEllipsisWidth = TextExtent(ADC, kEllipsis, kEllipsisLength).cx;
}

void cxInitTextParamsFromCanvas(TCanvas* ACanvas, int AFormat, TcxTextParams& AParams, double ARowSpacing) {
  cxInitTextParamsFromDC(ACanvas->Handle(), AFormat, AParams, ARowSpacing);
}

void cxMeasureRowExtent(HDC ADC, const wchar_t* AText, int ALength, SIZE& ASize, void* /*AUserData*/,
                        bool AExpandTabs) {
  ASize = {0, 0};
  ALength = std::max(ALength, 0);
  if (!AExpandTabs) {
    ASize = TextExtent(ADC, AText, ALength);
    return;
  }
  if (ALength < kMaxTabbedRun) {
    const DWORD extent = TabbedExtent(ADC, AText, ALength);
    int width = LOWORD(extent);
    ASize.cy = HIWORD(extent);
    if (static_cast<long long>(ALength) * TextExtent(ADC, L"W", 1).cx > 0xFFFF) {
      // The tabbed extent is a 16-bit width: it has lost whole multiples of
      // 0x10000, which a full-width measurement tells.
      const long long fullWidth = ExpandedTabsWidth(ADC, AText, ALength);
      if (fullWidth > 0xFFFF) width += static_cast<int>((fullWidth - width + 0x8000) / 0x10000 * 0x10000);
    }
    ASize.cx = width;
    return;
  }
  // Longer than the tabbed calls take. The platform's single-line
  // calculation is no help here: it measures only the first 1024 characters
  // of a line on some systems.
  ASize = {ExpandedTabsWidth(ADC, AText, ALength), TextExtent(ADC, L" ", 1).cy};
}

// ---------------------------------------------------------------------------
// Output
// ---------------------------------------------------------------------------

void cxOutputTextRowsWithHighlight(HDC ADC, const TRect& ATextRect, const TcxTextParams& AParams,
                                   bool AForceEndEllipsis, TColor AHighlightTextColor,
                                   TColor AHighlightBkColor, int AHighlightLength, int AHighlightStart,
                                   int ACount, const TcxTextRows& ARows) {
  if (!ADC) return;
  ACount = std::min(ACount, ARows.Count);
  if (ACount <= 0) return;
  const bool metafile = IsMetafileDC(ADC);
  const bool highlight = !metafile && AHighlightLength >= 1 &&
                         (IsColorSet(AHighlightBkColor) || IsColorSet(AHighlightTextColor));
  HBRUSH highlightBrush = nullptr;
  if (highlight && IsColorSet(AHighlightBkColor)) {
    const LOGBRUSH lb{BS_SOLID, static_cast<COLORREF>(ColorToRGB(AHighlightBkColor)), 0};
    highlightBrush = GdiCreateBrush(lb);
  }
  const long long highlightEnd = static_cast<long long>(AHighlightStart) + AHighlightLength;
  const int oldBkMode = SetBkMode(ADC, TRANSPARENT);
  const TRect& R = ATextRect;
  const int width = R.Right - R.Left;
  const int rowHeight = AParams.FullRowHeight;
  std::vector<int> dx;

  for (int i = 0; i < ACount; ++i) {
    const TcxTextRow& row = *cxGetTextRow(ARows, i);
    const bool lastRow = i == ACount - 1;
    const int y = row.TextOriginY;
    const RECT rowRect{R.Left, y, R.Right, y + rowHeight};
    if (!metafile && !RectVisible(ADC, &rowRect)) continue;

    if (row.TextLength <= 0) {
      if (lastRow && AForceEndEllipsis && AParams.EndEllipsis) {
        const int saved = SaveDC(ADC);
        if (!AParams.NoClip) IntersectClipRect(ADC, R.Left, R.Top, R.Right, R.Bottom);
        PlainOut(ADC, row.TextOriginX, y, kEllipsis, kEllipsisLength);
        RestoreDC(ADC, saved);
      }
      continue;
    }

    if (AParams.PatternedText) {
      const int onePixel = AParams.OnePixel;
      RECT bar{row.TextOriginX, y + onePixel, std::min<int>(row.TextOriginX + row.TextExtents.cx, R.Right),
               y + rowHeight - onePixel};
      if (bar.bottom - bar.top < onePixel) bar.bottom = bar.top + onePixel;
      if (HBRUSH brush = AParams.Bold ? gBoldPatternBrush : gPatternBrush) {
        const COLORREF oldBk = SetBkColor(ADC, static_cast<COLORREF>(ColorToRGB(clWindow)));
        FillRect(ADC, &bar, brush);
        SetBkColor(ADC, oldBk);
      }
      continue;
    }

    int length = row.TextLength;
    int x = row.TextOriginX;
    int textWidth = row.TextExtents.cx;
    const bool ellipsis = AParams.EndEllipsis && lastRow && (AForceEndEllipsis || textWidth > width);
    if (ellipsis) {
      length = FitRowCount(ADC, row.Text, length, width - AParams.EndEllipsisWidth, AParams.ExpandTabs);
      const bool leftAligned = AParams.TextAlignX != taCenterX && AParams.TextAlignX != taRight;
      // At least one character (both halves of a surrogate pair) stays.
      if (length == 0 && leftAligned) length = KeepSurrogatePair(row.Text, row.TextLength, 1) == 0 ? 2 : 1;
      textWidth = RowWidth(ADC, row.Text, length, AParams.ExpandTabs);
      // The shortened text and its ellipsis are placed as one piece: placed
      // by the full row's width, a centred or right-aligned row would hide
      // its start left of the rectangle and show little but the dots.
      const int blockWidth = textWidth + AParams.EndEllipsisWidth;
      if (AParams.TextAlignX == taCenterX)
        x = R.Left + (width - blockWidth) / 2;
      else if (AParams.TextAlignX == taRight)
        x = R.Right - blockWidth;
      if (AParams.PreventLeftExceed) x = std::max(x, R.Left);
    }
    const bool justify = !ellipsis &&
                         (AParams.TextAlignX == taJustifyX || AParams.TextAlignX == taDistributeX) &&
                         row.BreakCount > 0 && width > textWidth;
    const bool clip = !AParams.NoClip && (row.TextExtents.cx > width || y < R.Top || y + rowHeight > R.Bottom);

    const int saved = SaveDC(ADC);
    if (clip) IntersectClipRect(ADC, R.Left, R.Top, R.Right, R.Bottom);
    if (justify) SetTextJustification(ADC, width - textWidth, row.BreakCount);
    const int ellipsisX = x + textWidth;
    bool ellipsisPending = ellipsis;

    if (highlight) {
      const long long rowStart = row.StartOffset;
      const int first = static_cast<int>(std::max<long long>(AHighlightStart, rowStart) - rowStart);
      const int last = static_cast<int>(std::min<long long>(highlightEnd, rowStart + length) - rowStart);
      if (first < last) {
        int w1, w2;
        if (AParams.ExpandTabs) {
          w1 = first > 0 ? RowWidth(ADC, row.Text, first, true) : 0;
          w2 = RowWidth(ADC, row.Text, last, true);
        } else {
          PartialExtents(ADC, row.Text, length, dx);
          w1 = first > 0 ? dx[first - 1] : 0;
          w2 = dx[last - 1];
        }
        // Only the right-to-left character set among those the routine
        // names is mirrored: Chinese text reads left to right, and a mirrored
        // span would light up the wrong characters.
        const bool mirrored = AParams.CharSet == ARABIC_CHARSET &&
                              cxTextNeedsMirroredHighlight(AParams.CharSet, String(row.Text, length));
        RECT span = mirrored ? RECT{x + textWidth - w2, y, x + textWidth - w1, y + rowHeight}
                             : RECT{x + w1, y, x + w2, y + rowHeight};
        const bool reachesEnd = last >= length;
        if (ellipsisPending && reachesEnd && !mirrored) span.right = ellipsisX + AParams.EndEllipsisWidth;
        if (!AParams.NoClip) {
          span.left = std::max<LONG>(span.left, R.Left);
          span.right = std::min<LONG>(span.right, R.Right);
        }
        const int highlightSaved = SaveDC(ADC);
        IntersectClipRect(ADC, span.left, span.top, span.right, span.bottom);
        if (highlightBrush) FillRect(ADC, &span, highlightBrush);
        if (IsColorSet(AHighlightTextColor))
          SetTextColor(ADC, static_cast<COLORREF>(ColorToRGB(AHighlightTextColor)));
        DrawRowText(ADC, x, y, row.Text, length, AParams.ExpandTabs);
        if (ellipsisPending && reachesEnd) {
          PlainOut(ADC, ellipsisX, y, kEllipsis, kEllipsisLength);
          ellipsisPending = false;
        }
        RestoreDC(ADC, highlightSaved);
        ExcludeClipRect(ADC, span.left, span.top, span.right, span.bottom);
      }
    }

    DrawRowText(ADC, x, y, row.Text, length, AParams.ExpandTabs);
    if (ellipsisPending && ellipsisX < R.Right) {
      if (!clip && !AParams.NoClip && ellipsisX + AParams.EndEllipsisWidth > R.Right)
        IntersectClipRect(ADC, R.Left, R.Top, R.Right, R.Bottom);
      PlainOut(ADC, ellipsisX, y, kEllipsis, kEllipsisLength);
    }
    RestoreDC(ADC, saved);
    if (justify) SetTextJustification(ADC, 0, 0);
  }

  SetBkMode(ADC, oldBkMode);
  if (highlightBrush) GdiDeleteObject(highlightBrush);
}

int cxRenderTextBlock(HDC ADC, const String& AText, TRect& R, int AFormat, int AHighlightStart,
                      int AHighlightLength, TFont* AFont, TColor AHighlightBkColor, TColor AHighlightTextColor,
                      int AMaxLineCount, int ALeftIndent, int ARightIndent, TColor ATextColor,
                      double ARowSpacing) {
  if (AText.empty() || !ADC) return 0;
  const TDCTextState state(ADC);
  if (AFont) {
    SelectObject(ADC, AFont->Handle());
    if (IsColorSet(AFont->Color())) SetTextColor(ADC, static_cast<COLORREF>(ColorToRGB(AFont->Color())));
  }
  if (IsColorSet(ATextColor)) SetTextColor(ADC, static_cast<COLORREF>(ColorToRGB(ATextColor)));

  TcxTextParams params;
  cxInitTextParamsFromDC(ADC, AFormat, params, ARowSpacing);
  TRect textRect = cxApplyTextIndents(R, params, ALeftIndent, ARightIndent);
  const bool canHoldText = params.CalcRect ? textRect.Width() > 0 : !textRect.IsEmpty();
  if (!canHoldText) return 0;

  String stripped;
  const String* text = &AText;
  if (params.HidePrefix) {
    cxStripAccelAmpersands(AText, false, stripped);
    if (stripped.empty()) return 0;
    text = &stripped;
  }
  const int length = static_cast<int>(text->size());

  TcxTextRows rows;
  int count = 0;
  bool fitted = cxBreakTextIntoRows(ADC, text->c_str(), length, &cxMeasureRowExtent, nullptr, AMaxLineCount,
                                    count, rows, params, textRect);
  int height = 0;
  if (count > 0) {
    if (params.CalcRect) {
      if (AMaxLineCount > 0) count = std::min(count, AMaxLineCount);
      textRect.Right = textRect.Left + cxMaxTextRowWidth(rows, count);
      if (!params.SingleLine) {
        cxBreakTextIntoRows(ADC, text->c_str(), length, &cxMeasureRowExtent, nullptr, AMaxLineCount, count,
                            rows, params, textRect);
        if (AMaxLineCount > 0) count = std::min(count, AMaxLineCount);
      }
      cxArrangeTextRows(ADC, textRect, params, count, rows);
      textRect.Bottom = cxGetTextRow(rows, count - 1)->TextOriginY + params.RowHeight;
      R = cxRemoveTextIndents(textRect, params, ALeftIndent, ARightIndent);
    } else {
      cxArrangeTextRows(ADC, textRect, params, count, rows);
      // Counting rows measures only, like calculating the rectangle.
      if (!params.CalcRowCount) {
        if (AHighlightStart < 0 || AHighlightStart >= length)
          AHighlightLength = 0;
        else
          AHighlightLength = std::clamp(AHighlightLength, 0, length - AHighlightStart);
        cxOutputTextRowsWithHighlight(ADC, textRect, params, !fitted, AHighlightTextColor, AHighlightBkColor,
                                      AHighlightLength, AHighlightStart, count, rows);
      }
    }
    height = cxGetTextRow(rows, count - 1)->TextOriginY + params.RowHeight - textRect.Top;
  }
  return params.CalcRowCount ? count : (height != 0 ? height : count);
}

// ---------------------------------------------------------------------------
// Module start-up
// ---------------------------------------------------------------------------

void cxDrawTextUtilsInitialize() {
  if (gInitCount++ > 0) return;
  // 8 x 8 monochrome patterns, rows padded to 16 bits. Zero bits take the
  // text colour, so the bold pattern is solid and the normal one grey.
  BYTE checker[16], solid[16] = {};
  for (int row = 0; row < 8; ++row) {
    checker[2 * row] = row % 2 == 0 ? 0x55 : 0xAA;
    checker[2 * row + 1] = 0;
  }
  gPatternBitmaps[0] = GdiCreateBitmap(8, 8, 1, 1, checker);
  gPatternBitmaps[1] = GdiCreateBitmap(8, 8, 1, 1, solid);
  gPatternBrush = GdiCreatePatternBrush(gPatternBitmaps[0]);
  gBoldPatternBrush = GdiCreatePatternBrush(gPatternBitmaps[1]);
}

void cxDrawTextUtilsFinalize() {
  if (gInitCount == 0 || --gInitCount > 0) return;
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(gPatternBrush), static_cast<HGDIOBJ>(gBoldPatternBrush),
                         static_cast<HGDIOBJ>(gPatternBitmaps[0]), static_cast<HGDIOBJ>(gPatternBitmaps[1])})
    if (object) GdiDeleteObject(object);
  gPatternBrush = gBoldPatternBrush = nullptr;
  gPatternBitmaps[0] = gPatternBitmaps[1] = nullptr;
}
