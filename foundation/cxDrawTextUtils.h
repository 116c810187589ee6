// Text layout on a plain device context: breaks a text into rows that fit a
// rectangle (word breaks, far-east breaks between any two ideographs, kana or
// hangul, with punctuation that never starts a row), places the rows by
// horizontal and vertical alignment, and draws them with clipping, an end
// ellipsis on the last row, tiny text as bars and one highlighted range.
//
// The steps are separate so that an editor can lay its text out once and draw
// it many times: cxInitTextParamsFromDC -> cxBreakTextIntoRows ->
// cxArrangeTextRows -> cxOutputTextRowsWithHighlight. cxRenderTextBlock does
// all of it in one call. Breaking and arranging only measure through the
// callback, so they can run on any measurer.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"
#include "platform/gui/Graphics.h"

#include <vector>

enum TcxTextAlignX : int { taLeft, taCenterX, taRight, taJustifyX, taDistributeX };
enum TcxTextAlignY : int { taTop, taCenterY, taBottom, taDistributeY };

// The format word of the layout routines.
namespace cxTextFormat {
inline constexpr int AlignXMask = 0x7;         // TcxTextAlignX ordinal
inline constexpr int AlignYShift = 4;
inline constexpr int AlignYMask = 0x30;        // TcxTextAlignY ordinal << 4
inline constexpr int WordBreak = 0x100;
inline constexpr int SingleLine = 0x200;
inline constexpr int ExpandTabs = 0x400;
inline constexpr int EndEllipsis = 0x800;
inline constexpr int PatternedText = 0x1000;
inline constexpr int ExternalLeading = 0x2000;
inline constexpr int EditControl = 0x4000;
inline constexpr int NoClip = 0x8000;
inline constexpr int AutoIndents = 0x10000;
inline constexpr int CharBreak = 0x20000;
inline constexpr int PreventLeftExceed = 0x40000;
inline constexpr int PreventTopExceed = 0x80000;
inline constexpr int CalcRect = 0x100000;
inline constexpr int CalcRowCount = 0x200000;
inline constexpr int HidePrefix = 0x1000000;
inline constexpr int ExcelStyle = 0x2000000;
}  // namespace cxTextFormat

struct TcxTextParams {
  int RowHeight;          // the font's tmHeight
  int tmExternalLeading;  // 0 unless ExternalLeading was asked for
  int FullRowHeight;      // distance between row tops
  int EndEllipsisWidth;   // width of "..." with EndEllipsis, else 0
  bool Bold;              // font weight >= 700
  wchar_t BreakChar;
  TcxTextAlignX TextAlignX;
  TcxTextAlignY TextAlignY;
  bool WordBreak;
  bool SingleLine;
  bool ExpandTabs;
  bool EndEllipsis;
  bool ExternalLeading;
  bool EditControl;
  bool ExcelStyle;
  bool NoClip;
  bool AutoIndents;
  bool PatternedText;
  bool PreventLeftExceed;
  bool PreventTopExceed;
  bool CharBreak;
  bool CalcRowCount;
  bool CalcRect;
  int MaxCharWidth;
  Byte CharSet;
  int OnePixel;           // one device pixel in logical units
  bool HidePrefix;
};

// One row. Text points into the text that was broken: keep that text alive
// and unmoved while the rows are used.
struct TcxTextRow {
  const wchar_t* Text;
  int TextLength;
  SIZE TextExtents;
  int BreakCount;         // blanks between words, for justification
  int TextOriginX;
  int TextOriginY;
  int StartOffset;        // characters from the start of the broken text
};

using TcxDynamicTextRows = std::vector<TcxTextRow>;

// Rows 0..31 live in StaticRows (a block of up to 32 rows needs no heap),
// later rows in DynamicRows. Text is free for a caller that wants the rows to
// carry their own copy of the text; the layout routines leave it alone.
struct TcxTextRows {
  int Count = 0;
  String Text;
  TcxTextRow StaticRows[32] = {};
  TcxDynamicTextRows DynamicRows;
};

// Row AIndex (0 <= AIndex < ARows.Count); null outside.
TcxTextRow* cxGetTextRow(TcxTextRows& ARows, int AIndex);
const TcxTextRow* cxGetTextRow(const TcxTextRows& ARows, int AIndex);

// Measures ALength characters from AText; the row breaker calls it for every
// candidate. AUserData is whatever the caller handed to the breaker.
using TcxMeasureRowExtentProc = void (*)(HDC ADC, const wchar_t* AText, int ALength, SIZE& ASize,
                                         void* AUserData, bool AExpandTabs);

void cxInitTextParamsFromDC(HDC ADC, int AFormat, TcxTextParams& AParams, double ARowSpacing = 1.0);
// Makes the canvas's handle and font valid first.
void cxInitTextParamsFromCanvas(TCanvas* ACanvas, int AFormat, TcxTextParams& AParams,
                                double ARowSpacing = 1.0);

// The measurer on a DC (the font selected into it); AUserData is not used.
void cxMeasureRowExtent(HDC ADC, const wchar_t* AText, int ALength, SIZE& ASize, void* AUserData,
                        bool AExpandTabs);

// Breaks the text into rows for ARect; ACount and ARows.Count get the row
// count. True when all the text fitted (for SingleLine: when the row is no
// wider than the rectangle). AMaxLineCount <= 0: no limit.
bool cxBreakTextIntoRows(HDC ADC, const wchar_t* AText, int ALength, TcxMeasureRowExtentProc AMeasure,
                         void* AUserData, int AMaxLineCount, int& ACount, TcxTextRows& ARows,
                         const TcxTextParams& AParams, const TRect& ARect);

// Sets the origins of the first ACount rows by the alignment. Vertical
// distribution may change AParams.FullRowHeight. Returns the height from
// ATextRect.Top to the bottom of the last row (0 without rows).
int cxArrangeTextRows(HDC ADC, const TRect& ATextRect, TcxTextParams& AParams, int ACount,
                      TcxTextRows& ARows);

// The text rectangle inside R (AutoIndents: 2 pixels all round; then the
// indents in pixels), and back.
TRect cxApplyTextIndents(const TRect& R, const TcxTextParams& AParams, int ALeftIndent, int ARightIndent);
TRect cxRemoveTextIndents(const TRect& R, const TcxTextParams& AParams, int ALeftIndent, int ARightIndent);

// Draws arranged rows in the DC's font and text colour, transparently. The
// characters [AHighlightStart, AHighlightStart + AHighlightLength) of the
// broken text get their own colours (clNone/clDefault: no change).
void cxOutputTextRowsWithHighlight(HDC ADC, const TRect& ATextRect, const TcxTextParams& AParams,
                                   bool AForceEndEllipsis, TColor AHighlightTextColor,
                                   TColor AHighlightBkColor, int AHighlightLength, int AHighlightStart,
                                   int ACount, const TcxTextRows& ARows);

int cxMaxTextRowWidth(const TcxTextRows& ARows, int ACount);

// Draws (or, with CalcRect or CalcRowCount, measures) AText in R. AFont (with
// its colour) is selected for the call when given; ATextColor other than
// clDefault overrides the colour. With CalcRect, R becomes the rectangle the
// text needs. Returns the row count with CalcRowCount, otherwise the height
// of the text (the row count when that is 0); 0 for an empty text or a
// rectangle that cannot hold text. The DC's font and text colour are kept.
int cxRenderTextBlock(HDC ADC, const String& AText, TRect& R, int AFormat, int AHighlightStart = 0,
                      int AHighlightLength = 0, TFont* AFont = nullptr, TColor AHighlightBkColor = clNone,
                      TColor AHighlightTextColor = clNone, int AMaxLineCount = 0, int ALeftIndent = 0,
                      int ARightIndent = 0, TColor ATextColor = clDefault, double ARowSpacing = 1.0);

// Character classes of the row breaker.
// Ideographs, kana, hangul, and any character that takes more than one byte
// in the system's ANSI code page.
bool cxIsFullWidthChar(wchar_t C);
// Closing punctuation and the like: never the first character of a row.
bool cxIsRowStartProhibitedChar(wchar_t C);

// The module's pattern brushes (normal: grey checkerboard, bold: solid),
// used for rows of tiny text.
void cxDrawTextUtilsInitialize();
void cxDrawTextUtilsFinalize();
