// Text layout as values: rows and their positions for known texts, measured
// by a fixed-width fake (10 px per character, rows 16 px high), so every
// break can be worked out by hand. Drawing is tested apart.
#include "foundation/cxDrawTextUtils.h"

#include "platform/gui/GdiAccounting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace cxTextFormat;

constexpr int kCharWidth = 10;
constexpr int kRowHeight = 16;

void FixedMeasure(HDC, const wchar_t*, int ALength, SIZE& ASize, void*, bool) {
  ASize = {ALength * kCharWidth, kRowHeight};
}

// Parameters decoded from the format word as on a DC, with the fake's metrics.
TcxTextParams Params(int AFormat) {
  HDC dc = GdiCreateCompatibleDC(nullptr);
  TcxTextParams params;
  cxInitTextParamsFromDC(dc, AFormat, params);
  GdiDeleteDC(dc);
  params.RowHeight = params.FullRowHeight = kRowHeight;
  params.tmExternalLeading = 0;
  params.EndEllipsisWidth = params.EndEllipsis ? 3 * kCharWidth : 0;
  return params;
}

struct TLayout {
  bool Fitted = false;
  std::vector<std::wstring> Rows;
  std::vector<int> BreakCounts;
};

// Breaks AText for a rectangle AChars characters wide and AHeight high.
TLayout Break(const std::wstring& AText, int AFormat, double AChars, int AHeight = 10000, int AMaxLines = 0) {
  TcxTextRows rows;
  int count = -1;
  TLayout result;
  result.Fitted = cxBreakTextIntoRows(nullptr, AText.c_str(), static_cast<int>(AText.size()), &FixedMeasure,
                                      nullptr, AMaxLines, count, rows, Params(AFormat),
                                      TRect(0, 0, static_cast<int>(AChars * kCharWidth), AHeight));
  EXPECT_EQ(count, rows.Count);
  for (int i = 0; i < count; ++i) {
    const TcxTextRow& row = *cxGetTextRow(rows, i);
    EXPECT_EQ(row.Text, AText.c_str() + row.StartOffset);
    EXPECT_EQ(row.TextExtents.cx, row.TextLength * kCharWidth);
    result.Rows.emplace_back(row.Text, row.TextLength);
    result.BreakCounts.push_back(row.BreakCount);
  }
  return result;
}

using TRows = std::vector<std::wstring>;

struct TBreakCase {
  const char* Name;
  std::wstring Text;
  int Format;
  double Chars;
  TRows Expected;
};

TEST(cxDrawTextUtilsLayout, BreaksRowsAtWordsAndBetweenFarEastCharacters) {
  const int wrap = WordBreak;
  const TBreakCase cases[] = {
      {"comma then space, left", L"Hello, world", wrap, 6, {L"Hello,", L"world"}},
      {"blank fits, left", L"Hello, world", wrap, 7, {L"Hello, ", L"world"}},
      {"centre drops and skips", L"Hello, world", wrap | taCenterX, 6, {L"Hello,", L"world"}},
      {"centre drops the end blank", L"Hello, world", wrap | taCenterX, 7, {L"Hello,", L"world"}},
      {"right drops the end blank", L"Hello, world", wrap | taRight, 7, {L"Hello,", L"world"}},
      {"ideographs break anywhere", L"中文汉字测试", wrap, 3, {L"中文汉", L"字测试"}},
      {"full stop never starts a row", L"中文。测试", wrap, 2, {L"中", L"文。", L"测试"}},
      {"full-width comma stays behind", L"中文，测试", wrap, 2, {L"中", L"文，", L"测试"}},
      {"closing quote after a full stop", L"中文。”测试", wrap, 3, {L"中", L"文。”", L"测试"}},
      {"run of closing marks", L"好！）。”是", wrap, 5, {L"好！）。”", L"是"}},
      {"kana", L"カタカナ", wrap, 2, {L"カタ", L"カナ"}},
      {"hangul", L"한국어문", wrap, 3, {L"한국어", L"문"}},
      {"Latin then ideographs", L"abc中文def", wrap, 4, {L"abc中", L"文def"}},
      {"long word cut by characters", L"abcdefghij", wrap, 3.5, {L"abc", L"def", L"ghi", L"j"}},
      {"at least one character a row", L"abc", wrap, 0.5, {L"a", L"b", L"c"}},
      {"long word after a short one", L"ab cdefgh", wrap, 4, {L"ab ", L"cdef", L"gh"}},
      {"line breaks of every kind", L"ab\r\ncd\n\nef\n\rgh\rij", wrap, 100,
       {L"ab", L"cd", L"", L"ef", L"gh", L"ij"}},
      {"without word break only line breaks", L"aaa bbb ccc\nd", 0, 3, {L"aaa bbb ccc", L"d"}},
      {"single line ends at the first line break", L"ab\ncd", SingleLine | wrap, 100, {L"ab"}},
      {"one blank skipped", L"aaa    bbb", wrap, 5, {L"aaa  ", L" bbb"}},
      {"excel style skips all spaces", L"aaa    bbb", wrap | ExcelStyle, 5, {L"aaa  ", L"bbb"}},
  };
  for (const TBreakCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Break(c.Text, c.Format, c.Chars).Rows, c.Expected);
  }
  // Under a double-byte code page the full-width comma is a far-east
  // character of its own, and still never starts a row; elsewhere it is part
  // of the Latin word. Either way the rows are the same.
  EXPECT_EQ(Break(L"a OK，好的", wrap, 4).Rows, (TRows{L"a ", L"OK，好", L"的"}));
}

TEST(cxDrawTextUtilsLayout, JustifiedRowsCountTheirBlanksAndStartWithAWord) {
  // "aa bb" fills the row exactly; the blank after it must not begin the
  // next row, or justifying would push that row's text to the right edge.
  TLayout layout = Break(L"aa bb cc dd", WordBreak | taJustifyX, 5);
  EXPECT_EQ(layout.Rows, (TRows{L"aa bb", L"cc dd"}));
  EXPECT_EQ(layout.BreakCounts, (std::vector<int>{1, 0}));   // the last row is not stretched

  // Blanks before a wrap are dropped from the row and not counted.
  layout = Break(L"a b  cccc", WordBreak | taJustifyX, 5);
  EXPECT_EQ(layout.Rows, (TRows{L"a b", L"cccc"}));
  EXPECT_EQ(layout.BreakCounts, (std::vector<int>{1, 0}));

  // Distributed rows are all stretched, the last one too, but not across a
  // line break.
  layout = Break(L"a b c\nd e", WordBreak | taDistributeX, 100);
  EXPECT_EQ(layout.Rows, (TRows{L"a b c", L"d e"}));
  EXPECT_EQ(layout.BreakCounts, (std::vector<int>{2, 1}));
}

TEST(cxDrawTextUtilsLayout, LastRowTakesTheEllipsisAndAsMuchTextAsFits) {
  const std::wstring text = L"aaa bbb ccc ddd";
  // Two rows fit: the second is the last and is filled up to the width.
  // The third row is partly visible: it is the last and is filled up to
  // the width, cut inside a word.
  TLayout layout = Break(text, WordBreak | EndEllipsis, 6, 2 * kRowHeight + 8);
  EXPECT_FALSE(layout.Fitted);
  EXPECT_EQ(layout.Rows, (TRows{L"aaa ", L"bbb ", L"ccc dd"}));

  // A rectangle exactly two rows high: the second row is the last visible
  // one and must be the one that ends the block, not an invisible third.
  layout = Break(text, WordBreak | EndEllipsis, 6, 2 * kRowHeight);
  EXPECT_FALSE(layout.Fitted);
  EXPECT_EQ(layout.Rows, (TRows{L"aaa ", L"bbb cc"}));

  // Without the ellipsis the last row wraps normally.
  layout = Break(text, WordBreak, 6, 2 * kRowHeight + 8);
  EXPECT_EQ(layout.Rows, (TRows{L"aaa ", L"bbb ", L"ccc "}));

  // Everything fits.
  layout = Break(text, WordBreak | EndEllipsis, 100, kRowHeight);
  EXPECT_TRUE(layout.Fitted);
  EXPECT_EQ(layout.Rows, (TRows{text}));
}

TEST(cxDrawTextUtilsLayout, RowCountFollowsHeightLimitsAndCalculationModes) {
  const std::wstring text = L"aaa bbb ccc ddd";   // four rows at 4 characters
  struct {
    const char* Name;
    int Format;
    int Height;
    int MaxLines;
    int Rows;
  } cases[] = {
      {"partly visible row is started", WordBreak, 40, 0, 3},
      {"edit control starts no partly visible row", WordBreak | EditControl, 40, 0, 2},
      {"edit control without clipping", WordBreak | EditControl | NoClip, 40, 0, 3},
      {"exact height", WordBreak, 32, 0, 2},
      {"line limit", WordBreak, 1000, 2, 2},
      {"row count ignores the height", WordBreak | CalcRowCount, 10, 0, 4},
      {"calculated rectangle ignores the height", WordBreak | CalcRect, 10, 0, 4},
      {"centred blocks are not cut by height", WordBreak | (taCenterY << 4), 10, 0, 4},
      {"single line", WordBreak | SingleLine, 1000, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TLayout layout = Break(text, c.Format, 4, c.Height, c.MaxLines);
    EXPECT_EQ(static_cast<int>(layout.Rows.size()), c.Rows);
    EXPECT_EQ(layout.Fitted, c.Rows == 4 && !(c.Format & SingleLine));
  }
  EXPECT_FALSE(Break(L"abcdef", SingleLine, 5).Fitted);   // single line: fitted means "not wider"
  EXPECT_TRUE(Break(L"abcde", SingleLine, 5).Fitted);
}

TEST(cxDrawTextUtilsLayout, MeasuredRowsAreTheRowsThatAreDrawn) {
  // Breaking for a calculated rectangle must wrap at the same words as
  // drawing does, or the rectangle would be too low for the drawn text.
  const std::wstring text = L"aa bbbbbbb cc";
  const TLayout drawn = Break(text, WordBreak, 8);
  EXPECT_EQ(drawn.Rows, (TRows{L"aa ", L"bbbbbbb ", L"cc"}));
  EXPECT_EQ(Break(text, WordBreak | CalcRect, 8).Rows, drawn.Rows);
  // A single calculated line is the whole text.
  EXPECT_EQ(Break(L"ab\ncd", SingleLine | CalcRect, 1).Rows, (TRows{L"ab\ncd"}));
}

TEST(cxDrawTextUtilsLayout, EmptyTextGivesNoRows) {
  TcxTextRows rows;
  int count = -1;
  EXPECT_TRUE(cxBreakTextIntoRows(nullptr, L"", 0, &FixedMeasure, nullptr, 0, count, rows, Params(WordBreak),
                                  TRect(0, 0, 100, 100)));
  EXPECT_EQ(count, 0);
  EXPECT_EQ(cxGetTextRow(rows, 0), nullptr);
}

TEST(cxDrawTextUtilsLayout, RowsBeyondThirtyTwoLiveInTheDynamicPart) {
  std::wstring text;
  for (int i = 0; i < 40; ++i) text += L"x\n";
  TcxTextRows rows;
  int count = 0;
  cxBreakTextIntoRows(nullptr, text.c_str(), 64, &FixedMeasure, nullptr, 0, count, rows, Params(WordBreak),
                      TRect(0, 0, 100, 10000));
  EXPECT_EQ(count, 32);
  EXPECT_TRUE(rows.DynamicRows.empty());   // a block of 32 rows needs no heap

  cxBreakTextIntoRows(nullptr, text.c_str(), static_cast<int>(text.size()), &FixedMeasure, nullptr, 0, count,
                      rows, Params(WordBreak), TRect(0, 0, 100, 10000));
  ASSERT_EQ(count, 40);
  EXPECT_GE(static_cast<int>(rows.DynamicRows.size()), 8);
  for (int i = 0; i < count; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(cxGetTextRow(rows, i)->StartOffset, 2 * i);
    EXPECT_EQ(cxGetTextRow(rows, i)->TextLength, 1);
  }
  EXPECT_EQ(cxGetTextRow(rows, 40), nullptr);
  EXPECT_EQ(cxMaxTextRowWidth(rows, count), kCharWidth);
}

// ---------------------------------------------------------------------------
// Arranging and indents
// ---------------------------------------------------------------------------

struct TPlaced {
  std::vector<TPoint> Origins;
  int Height;
  int FullRowHeight;
};

// Three rows 30, 50 and 10 pixels wide in ARect.
TPlaced Arrange(int AFormat, const TRect& ARect) {
  TcxTextRows rows;
  int count = 0;
  cxBreakTextIntoRows(nullptr, L"aaa\nbbbbb\nc", 11, &FixedMeasure, nullptr, 0, count, rows,
                      Params(AFormat | CalcRowCount), ARect);
  TcxTextParams params = Params(AFormat);
  TPlaced result;
  result.Height = cxArrangeTextRows(nullptr, ARect, params, count, rows);
  result.FullRowHeight = params.FullRowHeight;
  for (int i = 0; i < count; ++i)
    result.Origins.push_back({cxGetTextRow(rows, i)->TextOriginX, cxGetTextRow(rows, i)->TextOriginY});
  return result;
}

TEST(cxDrawTextUtilsLayout, ArrangesRowsByAlignment) {
  const TRect r(10, 20, 110, 220);
  struct {
    const char* Name;
    int Format;
    std::vector<TPoint> Origins;
    int Height;
  } cases[] = {
      {"left top", 0, {{10, 20}, {10, 36}, {10, 52}}, 48},
      {"centre", taCenterX, {{45, 20}, {35, 36}, {55, 52}}, 48},
      {"right", taRight, {{80, 20}, {60, 36}, {100, 52}}, 48},
      {"justified rows start left", taJustifyX, {{10, 20}, {10, 36}, {10, 52}}, 48},
      {"vertical centre", taCenterY << 4, {{10, 96}, {10, 112}, {10, 128}}, 124},
      {"bottom", taBottom << 4, {{10, 172}, {10, 188}, {10, 204}}, 200},
      {"distributed: first at the top, last at bottom - row height", taDistributeY << 4,
       {{10, 20}, {10, 112}, {10, 204}}, 200},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TPlaced placed = Arrange(c.Format, r);
    EXPECT_EQ(placed.Origins, c.Origins);
    EXPECT_EQ(placed.Height, c.Height);
  }
  // An odd spare height hands its remainder to the first rows.
  const TPlaced odd = Arrange(taDistributeY << 4, TRect(10, 20, 110, 221));
  EXPECT_EQ(odd.Origins, (std::vector<TPoint>{{10, 20}, {10, 113}, {10, 205}}));
  EXPECT_EQ(odd.FullRowHeight, 92);
  // Too little room to spread: the rows stay at their height.
  EXPECT_EQ(Arrange(taDistributeY << 4, TRect(10, 20, 110, 60)).Origins,
            (std::vector<TPoint>{{10, 20}, {10, 36}, {10, 52}}));
}

TEST(cxDrawTextUtilsLayout, PreventFlagsKeepRowsInsideTheLeftAndTopEdges) {
  const TRect small(10, 20, 40, 40);   // 30 x 20: narrower than row 2, lower than the block
  EXPECT_EQ(Arrange(taRight | (taBottom << 4), small).Origins,
            (std::vector<TPoint>{{10, -8}, {-10, 8}, {30, 24}}));
  EXPECT_EQ(Arrange(taRight | (taBottom << 4) | PreventLeftExceed | PreventTopExceed, small).Origins,
            (std::vector<TPoint>{{10, 20}, {10, 36}, {30, 52}}));
}

TEST(cxDrawTextUtilsLayout, IndentsAreUndoneExactly) {
  const TRect r(10, 20, 200, 100);
  TcxTextParams params = Params(0);
  params.OnePixel = 2;
  EXPECT_EQ(cxApplyTextIndents(r, params, 3, 4), TRect(16, 20, 192, 100));
  params.AutoIndents = true;
  const TRect inner = cxApplyTextIndents(r, params, 3, 4);
  EXPECT_EQ(inner, TRect(20, 24, 188, 96));
  EXPECT_EQ(cxRemoveTextIndents(inner, params, 3, 4), r);
}

// ---------------------------------------------------------------------------
// Character classes
// ---------------------------------------------------------------------------

TEST(cxDrawTextUtilsLayout, ClassifiesFullWidthAndRowStartProhibitedCharacters) {
  for (wchar_t c : {L'中', L'あ', L'カ', L'한', L'龥'}) EXPECT_TRUE(cxIsFullWidthChar(c)) << int(c);
  for (wchar_t c : {L'a', L' ', L'~', L'\t'}) EXPECT_FALSE(cxIsFullWidthChar(c)) << int(c);
  // Characters outside the ideograph ranges count when the system's ANSI
  // code page needs two bytes for them.
  if (GetACP() == 936) {
    EXPECT_TRUE(cxIsFullWidthChar(L'，'));
    EXPECT_TRUE(cxIsFullWidthChar(L'é'));
  } else if (GetACP() == 1252) {
    EXPECT_FALSE(cxIsFullWidthChar(L'，'));
    EXPECT_FALSE(cxIsFullWidthChar(L'é'));
  }

  for (wchar_t c : {L'!', L')', L',', L'.', L':', L';', L'?', L']', L'}', L'\u00B7', L'\u2014', L'\u201D',
                    L'、', L'。', L'」', L'』', L'】', L'，', L'．', L'：', L'？', L'）', L'\uFFE5', L'\uFFFF'})
    EXPECT_TRUE(cxIsRowStartProhibitedChar(c)) << int(c);
  for (wchar_t c : {L'a', L'(', L'[', L'\u201C', L'「', L'『', L'（', L'中', L'\u2017', L'\uFF5B', L'\uFFDF'})
    EXPECT_FALSE(cxIsRowStartProhibitedChar(c)) << int(c);
}

}  // namespace
