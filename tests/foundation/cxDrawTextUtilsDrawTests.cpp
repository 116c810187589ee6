// Text layout on real device contexts: parameters read from fonts, the
// measurer, and drawing checked by geometry (rows, ink edges, highlight
// spans) or against the same text drawn directly, since the platform draws
// the glyphs. The Chinese face is the one the program asks for; the prefix
// substitutes an installed CJK font for it. Run under LANG=C.UTF-8 and
// LANG=zh_CN.UTF-8.
#include "foundation/cxDrawTextUtils.h"

#include "foundation/dxCore.h"
#include "platform/gui/GdiAccounting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace cxTextFormat;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr TColor kRed = 0x0000FF;
const wchar_t kChineseFace[] = L"微软雅黑";
const wchar_t kLatinFace[] = L"Tahoma";
const std::wstring kChineseText = L"岚泽家具生产设计系统";

// A white 32-bit DIB with a memory DC, black text and one font.
class TTextDib {
 public:
  TTextDib(int AWidth, int AHeight) : FWidth(AWidth), FHeight(AHeight) {
    DC = GdiCreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), AWidth, -AHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    FBitmap = GdiCreateDIBSection(DC, &info, &bits);
    FBits = static_cast<DWORD*>(bits);
    FOldBitmap = SelectObject(DC, FBitmap);
    FOldFont = GetCurrentObject(DC, OBJ_FONT);
    SetTextColor(DC, kBlack);
    SetBkColor(DC, kWhite);
    Clear();
  }
  ~TTextDib() {
    SelectObject(DC, FOldFont);
    SelectObject(DC, FOldBitmap);
    if (FFont) GdiDeleteObject(FFont);
    GdiDeleteObject(FBitmap);
    GdiDeleteDC(DC);
  }
  TTextDib(const TTextDib&) = delete;
  TTextDib& operator=(const TTextDib&) = delete;

  void Clear() {
    GdiFlush();
    std::fill(FBits, FBits + FWidth * FHeight, 0x00FFFFFF);
  }
  // Sharp glyphs, so that two drawings of the same text compare exactly.
  void SetFont(const wchar_t* AFace, int AHeight, int AWeight = FW_NORMAL) {
    LOGFONTW font{};
    font.lfHeight = AHeight;
    font.lfWeight = AWeight;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = NONANTIALIASED_QUALITY;
    wcsncpy(font.lfFaceName, AFace, LF_FACESIZE - 1);
    HFONT old = FFont;
    FFont = GdiCreateFont(font);
    SelectObject(DC, FFont);
    if (old) GdiDeleteObject(old);
  }
  TEXTMETRICW Metrics() const {
    TEXTMETRICW tm{};
    GetTextMetricsW(DC, &tm);
    return tm;
  }
  int Width(const std::wstring& AText) const {
    SIZE size{};
    GetTextExtentPoint32W(DC, AText.c_str(), static_cast<int>(AText.size()), &size);
    return size.cx;
  }

  COLORREF Pixel(int X, int Y) const {
    GdiFlush();
    const DWORD v = FBits[Y * FWidth + X];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  bool Ink(int X, int Y) const { return Pixel(X, Y) != kWhite; }
  // Bounding box of the pixels that are not white, or of one colour.
  TRect InkBounds(const TRect& AArea) const { return BoundsWhere(AArea, [](COLORREF c) { return c != kWhite; }); }
  TRect BoundsOf(COLORREF AColor) const {
    return BoundsWhere(TRect(0, 0, FWidth, FHeight), [AColor](COLORREF c) { return c == AColor; });
  }
  TRect All() const { return TRect(0, 0, FWidth, FHeight); }
  bool SamePixels(const TTextDib& AOther) const {
    GdiFlush();
    return FWidth == AOther.FWidth && FHeight == AOther.FHeight &&
           std::memcmp(FBits, AOther.FBits, sizeof(DWORD) * FWidth * FHeight) == 0;
  }

  HDC DC;

 private:
  template <class F>
  TRect BoundsWhere(const TRect& AArea, F AMatch) const {
    TRect r(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (int y = std::max(AArea.Top, 0); y < std::min(AArea.Bottom, FHeight); ++y)
      for (int x = std::max(AArea.Left, 0); x < std::min(AArea.Right, FWidth); ++x)
        if (AMatch(Pixel(x, y))) {
          r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
        }
    return r.Left == INT_MAX ? TRect() : r;
  }

  int FWidth, FHeight;
  HBITMAP FBitmap;
  DWORD* FBits;
  HGDIOBJ FOldBitmap, FOldFont;
  HFONT FFont = nullptr;
};

std::vector<std::wstring> RowTexts(const TcxTextRows& ARows, int ACount) {
  std::vector<std::wstring> result;
  for (int i = 0; i < ACount; ++i) result.emplace_back(cxGetTextRow(ARows, i)->Text, cxGetTextRow(ARows, i)->TextLength);
  return result;
}

// The rows of AText on the DC for a rectangle AWidth wide.
std::vector<std::wstring> BreakOnDC(HDC ADC, const std::wstring& AText, int AFormat, int AWidth,
                                    TcxTextRows* ARows = nullptr) {
  TcxTextParams params;
  cxInitTextParamsFromDC(ADC, AFormat, params);
  TcxTextRows local;
  TcxTextRows& rows = ARows ? *ARows : local;
  int count = 0;
  cxBreakTextIntoRows(ADC, AText.c_str(), static_cast<int>(AText.size()), &cxMeasureRowExtent, nullptr, 0, count,
                      rows, params, TRect(0, 0, AWidth, 100000));
  return RowTexts(rows, count);
}

class cxDrawTextUtilsDC : public testing::Test {
 protected:
  static void SetUpTestSuite() { cxDrawTextUtilsInitialize(); }
  static void TearDownTestSuite() { cxDrawTextUtilsFinalize(); }
  void SetUp() override { RecordProperty("ACP", static_cast<int>(GetACP())); }
};

// ---------------------------------------------------------------------------
// Parameters and measuring
// ---------------------------------------------------------------------------

TEST_F(cxDrawTextUtilsDC, ReadsTheFormatWordAndTheFontMetrics) {
  TTextDib dib(16, 16);
  dib.SetFont(kLatinFace, 13);
  const TEXTMETRICW tm = dib.Metrics();
  ASSERT_EQ(tm.tmHeight, 13);

  TcxTextParams p;
  cxInitTextParamsFromDC(dib.DC, 0, p);
  EXPECT_EQ(p.RowHeight, 13);
  EXPECT_EQ(p.FullRowHeight, 13);
  EXPECT_EQ(p.MaxCharWidth, tm.tmMaxCharWidth);
  EXPECT_EQ(p.BreakChar, tm.tmBreakChar);
  EXPECT_EQ(p.CharSet, tm.tmCharSet);
  EXPECT_FALSE(p.Bold);
  EXPECT_EQ(p.OnePixel, 1);
  EXPECT_EQ(p.EndEllipsisWidth, 0);
  EXPECT_TRUE(p.CharBreak);   // on without being asked for
  EXPECT_EQ(p.TextAlignX, taLeft);
  EXPECT_EQ(p.TextAlignY, taTop);

  // Row spacing rounds halves to the even neighbour: 19.5 -> 20, 22.5 -> 22.
  cxInitTextParamsFromDC(dib.DC, 0, p, 1.5);
  EXPECT_EQ(p.FullRowHeight, 20);
  cxInitTextParamsFromDC(dib.DC, 0, p, 2.5);   // 32.5
  EXPECT_EQ(p.FullRowHeight, 32);

  cxInitTextParamsFromDC(dib.DC, EndEllipsis | ExternalLeading, p);
  EXPECT_EQ(p.EndEllipsisWidth, dib.Width(L"..."));
  EXPECT_EQ(p.tmExternalLeading, dib.Metrics().tmExternalLeading);
  EXPECT_EQ(p.FullRowHeight, 13 + p.tmExternalLeading);

  struct {
    int Bit;
    bool TcxTextParams::*Field;
  } flags[] = {
      {WordBreak, &TcxTextParams::WordBreak},         {SingleLine, &TcxTextParams::SingleLine},
      {ExpandTabs, &TcxTextParams::ExpandTabs},       {EndEllipsis, &TcxTextParams::EndEllipsis},
      {ExternalLeading, &TcxTextParams::ExternalLeading}, {EditControl, &TcxTextParams::EditControl},
      {NoClip, &TcxTextParams::NoClip},               {AutoIndents, &TcxTextParams::AutoIndents},
      {PreventLeftExceed, &TcxTextParams::PreventLeftExceed},
      {PreventTopExceed, &TcxTextParams::PreventTopExceed}, {CalcRect, &TcxTextParams::CalcRect},
      {CalcRowCount, &TcxTextParams::CalcRowCount},   {HidePrefix, &TcxTextParams::HidePrefix},
      {ExcelStyle, &TcxTextParams::ExcelStyle},
  };
  for (const auto& f : flags) {
    SCOPED_TRACE(f.Bit);
    cxInitTextParamsFromDC(dib.DC, f.Bit, p);
    EXPECT_TRUE(p.*f.Field);
    cxInitTextParamsFromDC(dib.DC, ~f.Bit & 0x33FFF00, p);
    EXPECT_FALSE(p.*f.Field);
  }
  cxInitTextParamsFromDC(dib.DC, taDistributeX | (taDistributeY << 4), p);
  EXPECT_EQ(p.TextAlignX, taDistributeX);
  EXPECT_EQ(p.TextAlignY, taDistributeY);
  cxInitTextParamsFromDC(dib.DC, 7, p);   // no such alignment
  EXPECT_EQ(p.TextAlignX, taLeft);

  // Patterned text only for rows lower than 6 pixels.
  cxInitTextParamsFromDC(dib.DC, PatternedText, p);
  EXPECT_FALSE(p.PatternedText);
  dib.SetFont(kLatinFace, 5, FW_BOLD);
  cxInitTextParamsFromDC(dib.DC, PatternedText, p);
  EXPECT_TRUE(p.PatternedText);
  EXPECT_TRUE(p.Bold);
}

TEST_F(cxDrawTextUtilsDC, CanvasParametersComeFromItsFont) {
  TBitmap* bitmap = Make<TBitmap>();
  bitmap->SetSize(8, 8);
  bitmap->Canvas()->Font()->SetName(kLatinFace);
  bitmap->Canvas()->Font()->SetHeight(-20);
  TcxTextParams p;
  cxInitTextParamsFromCanvas(bitmap->Canvas(), WordBreak, p);
  TEXTMETRICW tm{};
  GetTextMetricsW(bitmap->Canvas()->Handle(), &tm);
  EXPECT_EQ(p.RowHeight, tm.tmHeight);
  EXPECT_GT(p.RowHeight, 20);
  EXPECT_TRUE(p.WordBreak);
  TObject::Free(bitmap);
}

TEST_F(cxDrawTextUtilsDC, MeasuresTabsAndRowsWiderThanSixteenBits) {
  TTextDib dib(16, 16);
  dib.SetFont(kLatinFace, -11);
  SIZE size{};
  cxMeasureRowExtent(dib.DC, L"ab\tc", 4, size, nullptr, false);
  EXPECT_EQ(size.cx, dib.Width(L"ab\tc"));
  cxMeasureRowExtent(dib.DC, L"ab\tc", 4, size, nullptr, true);
  EXPECT_EQ(size.cx, static_cast<int>(LOWORD(GetTabbedTextExtentW(dib.DC, L"ab\tc", 4, 0, nullptr))));
  EXPECT_GT(size.cx, dib.Width(L"abc") + 10);

  // The tabbed extent is 16 bits wide: the lost multiples of 65536 must come
  // back exactly, not as multiples of 65535.
  dib.SetFont(kLatinFace, 200);
  const std::wstring wide(500, L'W');
  const int exact = dib.Width(wide);
  ASSERT_GT(exact, 65536);
  cxMeasureRowExtent(dib.DC, wide.c_str(), static_cast<int>(wide.size()), size, nullptr, true);
  EXPECT_EQ(size.cx, exact);

  // Rows longer than the tabbed calls take are measured whole, with their
  // tabs where the tabbed calls would put them.
  dib.SetFont(kLatinFace, -11);
  const std::wstring head(4100, L'x');
  const std::wstring tail = L"ab\tc";
  const std::wstring longRow = head + tail;
  cxMeasureRowExtent(dib.DC, longRow.c_str(), static_cast<int>(longRow.size()), size, nullptr, true);
  const int tabWidth = 8 * dib.Metrics().tmAveCharWidth;
  const int tabStop = (dib.Width(head + L"ab") / tabWidth + 1) * tabWidth;
  EXPECT_EQ(size.cx, tabStop + dib.Width(L"c"));
  EXPECT_EQ(size.cy, dib.Metrics().tmHeight);
}

// ---------------------------------------------------------------------------
// Breaking with real fonts
// ---------------------------------------------------------------------------

TEST_F(cxDrawTextUtilsDC, WrapsChineseBetweenAnyTwoCharacters) {
  TTextDib dib(400, 200);
  dib.SetFont(kChineseFace, -16);
  const int cw = dib.Width(L"岚");
  ASSERT_GT(cw, 8);
  ASSERT_EQ(dib.Width(kChineseText), 10 * cw);   // one width for every ideograph
  EXPECT_EQ(BreakOnDC(dib.DC, kChineseText, WordBreak, cw * 9 / 2),
            (std::vector<std::wstring>{L"岚泽家具", L"生产设计", L"系统"}));
  EXPECT_EQ(BreakOnDC(dib.DC, L"家具ABC设计", WordBreak, cw * 2 + dib.Width(L"AB")),
            (std::vector<std::wstring>{L"家具", L"ABC设", L"计"}));
}

TEST_F(cxDrawTextUtilsDC, NoRowStartsWithClosingPunctuationAtAnyWidth) {
  TTextDib dib(16, 16);
  dib.SetFont(kChineseFace, -14);
  const std::wstring text =
      L"这是第一句。这是第二句，还有“第三句”！最后（括号）：结束。Mixed English words, "
      L"then 中文，again.「引用」、列举；问号？";
  const int widest = dib.Width(L"句”！");   // the widest group that must stay together
  const int cw = dib.Width(L"这");
  for (int width = widest; width <= dib.Width(text); width += std::max(1, cw / 3)) {
    SCOPED_TRACE(width);
    TcxTextRows rows;
    const auto texts = BreakOnDC(dib.DC, text, WordBreak, width, &rows);
    ASSERT_FALSE(texts.empty());
    int expectedStart = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
      const TcxTextRow& row = *cxGetTextRow(rows, static_cast<int>(i));
      // Nothing is lost between rows but the blank a wrap swallows.
      EXPECT_LE(row.StartOffset - expectedStart, 1);
      EXPECT_TRUE(row.StartOffset == expectedStart || text[expectedStart] == L' ');
      expectedStart = row.StartOffset + row.TextLength;
      if (i > 0 && !texts[i].empty()) {
        EXPECT_FALSE(cxIsRowStartProhibitedChar(texts[i][0])) << i;
      }
      // Only a single Latin word may be wider than the rectangle.
      if (row.TextExtents.cx > width) {
        EXPECT_EQ(texts[i].find(L' '), std::wstring::npos) << i;
      }
    }
    EXPECT_EQ(expectedStart, static_cast<int>(text.size()));
  }
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

TEST_F(cxDrawTextUtilsDC, DrawsChineseRowsWhereTheLayoutPutsThem) {
  TTextDib dib(300, 200);
  dib.SetFont(kChineseFace, -16);
  const int cw = dib.Width(L"岚");
  const int rowHeight = dib.Metrics().tmHeight;
  struct {
    const char* Name;
    int Align;
  } aligns[] = {{"left", taLeft}, {"centre", taCenterX}, {"right", taRight}};
  for (const auto& a : aligns) {
    SCOPED_TRACE(a.Name);
    dib.Clear();
    TRect r(20, 10, 20 + cw * 9 / 2, 190);
    EXPECT_EQ(cxRenderTextBlock(dib.DC, kChineseText, r, WordBreak | a.Align), 3 * rowHeight);
    // Three rows of ink, each inside its own row band and inside the rectangle.
    for (int row = 0; row < 3; ++row) {
      SCOPED_TRACE(row);
      const TRect band(0, 10 + row * rowHeight, 300, 10 + (row + 1) * rowHeight);
      const TRect ink = dib.InkBounds(band);
      ASSERT_FALSE(ink.IsEmpty());
      EXPECT_GE(ink.Left, r.Left);
      EXPECT_LE(ink.Right, r.Right);
      const int rowWidth = (row < 2 ? 4 : 2) * cw;
      const int expectedLeft =
          a.Align == taLeft ? r.Left : a.Align == taRight ? r.Right - rowWidth : r.Left + (r.Width() - rowWidth) / 2;
      // Glyph ink sits within the character cells, a little inside their edges.
      EXPECT_NEAR(ink.Left, expectedLeft, cw / 4);
      EXPECT_NEAR(ink.Right, expectedLeft + rowWidth, cw / 4);
    }
    EXPECT_TRUE(dib.InkBounds(TRect(0, 10 + 3 * rowHeight, 300, 200)).IsEmpty());
  }
}

TEST_F(cxDrawTextUtilsDC, CalculatesRectanglesAndRowCountsWithoutDrawing) {
  TTextDib dib(300, 200);
  dib.SetFont(kChineseFace, -16);
  const int cw = dib.Width(L"岚");
  const int rowHeight = dib.Metrics().tmHeight;
  TRect r(20, 10, 20 + cw * 9 / 2, 11);
  EXPECT_EQ(cxRenderTextBlock(dib.DC, kChineseText, r, WordBreak | CalcRect), 3 * rowHeight);
  EXPECT_EQ(r, TRect(20, 10, 20 + 4 * cw, 10 + 3 * rowHeight));
  // Indents are taken off for the layout and given back in the result.
  r = TRect(20, 10, 20 + cw * 9 / 2 + 6, 11);
  cxRenderTextBlock(dib.DC, kChineseText, r, WordBreak | CalcRect, 0, 0, nullptr, clNone, clNone, 0, 2, 4);
  EXPECT_EQ(r, TRect(20, 10, 20 + 4 * cw + 6, 10 + 3 * rowHeight));
  r = TRect(20, 10, 20 + cw * 9 / 2, 11);
  EXPECT_EQ(cxRenderTextBlock(dib.DC, kChineseText, r, WordBreak | CalcRowCount), 3);
  r = TRect(20, 10, 20 + cw * 9 / 2, 11);
  EXPECT_EQ(cxRenderTextBlock(dib.DC, kChineseText, r, WordBreak | CalcRowCount, 0, 0, nullptr, clNone, clNone, 2),
            2);
  EXPECT_TRUE(dib.InkBounds(dib.All()).IsEmpty());

  // Nothing to lay out.
  r = TRect(20, 10, 200, 100);
  EXPECT_EQ(cxRenderTextBlock(dib.DC, L"", r, WordBreak), 0);
  r = TRect(20, 10, 20, 100);
  EXPECT_EQ(cxRenderTextBlock(dib.DC, kChineseText, r, WordBreak), 0);
  r = TRect(20, 10, 200, 10);
  EXPECT_EQ(cxRenderTextBlock(dib.DC, kChineseText, r, WordBreak), 0);
  EXPECT_EQ(cxRenderTextBlock(dib.DC, L"&", r, WordBreak | HidePrefix | CalcRect), 0);
  EXPECT_TRUE(dib.InkBounds(dib.All()).IsEmpty());
}

TEST_F(cxDrawTextUtilsDC, JustifiesEveryRowButTheLast) {
  TTextDib dib(300, 100);
  dib.SetFont(kLatinFace, -11);
  const std::wstring text = L"aa bb cc dd ee ff gg hh";
  TRect r(10, 10, 10 + dib.Width(L"aa bb cc d"), 90);
  const int rowHeight = dib.Metrics().tmHeight;
  const int rows = cxRenderTextBlock(dib.DC, text, r, WordBreak | taJustifyX) / rowHeight;
  ASSERT_EQ(rows, 3);
  for (int row = 0; row < rows; ++row) {
    SCOPED_TRACE(row);
    const TRect ink = dib.InkBounds(TRect(0, 10 + row * rowHeight, 300, 10 + (row + 1) * rowHeight));
    EXPECT_LE(ink.Left, r.Left + 1);
    if (row < rows - 1) {
      EXPECT_GE(ink.Right, r.Right - 2);
    } else {
      EXPECT_LT(ink.Right, r.Right - dib.Width(L"aa"));
    }
  }
}

// Draws the shortened text and its dots where the block renderer should.
void DrawReference(TTextDib& ADib, const TRect& AClip, int X, int Y, const std::wstring& AText) {
  const int saved = SaveDC(ADib.DC);
  IntersectClipRect(ADib.DC, AClip.Left, AClip.Top, AClip.Right, AClip.Bottom);
  SetBkMode(ADib.DC, TRANSPARENT);
  ExtTextOutW(ADib.DC, X, Y, 0, nullptr, AText.c_str(), static_cast<UINT>(AText.size()), nullptr);
  RestoreDC(ADib.DC, saved);
}

int FitCount(HDC ADC, const std::wstring& AText, int AWidth) {
  int fit = 0;
  SIZE size;
  GetTextExtentExPointW(ADC, AText.c_str(), static_cast<int>(AText.size()), AWidth, &fit, nullptr, &size);
  return fit;
}

TEST_F(cxDrawTextUtilsDC, EndEllipsisShortensTheLastVisibleRow) {
  TTextDib dib(300, 80), expected(300, 80);
  dib.SetFont(kLatinFace, -11);
  expected.SetFont(kLatinFace, -11);
  const std::wstring text = L"The quick brown fox jumps";
  const int ellipsis = dib.Width(L"...");
  const TRect r(10, 10, 100, 40);
  const int fit = FitCount(dib.DC, text, r.Width() - ellipsis);
  const std::wstring shown = text.substr(0, fit);
  ASSERT_LT(fit, static_cast<int>(text.size()));
  struct {
    const char* Name;
    int Align;
    int X;
  } cases[] = {
      {"left", taLeft, r.Left},
      {"right: text and dots end at the right edge", taRight, r.Right - dib.Width(shown) - ellipsis},
      {"centre", taCenterX, r.Left + (r.Width() - dib.Width(shown) - ellipsis) / 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    dib.Clear();
    expected.Clear();
    TRect block = r;
    cxRenderTextBlock(dib.DC, text, block, SingleLine | EndEllipsis | c.Align);
    DrawReference(expected, r, c.X, r.Top, shown);
    DrawReference(expected, r, c.X + dib.Width(shown), r.Top, L"...");
    EXPECT_TRUE(dib.SamePixels(expected));
  }
}

TEST_F(cxDrawTextUtilsDC, EndEllipsisOnChineseRowsInAnExactlyFittingRectangle) {
  TTextDib dib(300, 80), expected(300, 80);
  dib.SetFont(kChineseFace, -16);
  expected.SetFont(kChineseFace, -16);
  const int cw = dib.Width(L"岚");
  const int rowHeight = dib.Metrics().tmHeight;
  const TRect r(10, 10, 10 + cw * 9 / 2, 10 + 2 * rowHeight);
  TRect block = r;
  EXPECT_EQ(cxRenderTextBlock(dib.DC, kChineseText, block, WordBreak | EndEllipsis), 2 * rowHeight);
  // The second row is the last one shown: it holds what fits beside the dots.
  const std::wstring rest = kChineseText.substr(4);
  const std::wstring shown = rest.substr(0, FitCount(dib.DC, rest, r.Width() - dib.Width(L"...")));
  ASSERT_FALSE(shown.empty());
  DrawReference(expected, r, r.Left, r.Top, L"岚泽家具");
  DrawReference(expected, r, r.Left, r.Top + rowHeight, shown);
  DrawReference(expected, r, r.Left + dib.Width(shown), r.Top + rowHeight, L"...");
  EXPECT_TRUE(dib.SamePixels(expected));
}

TEST_F(cxDrawTextUtilsDC, HighlightCoversExactlyItsCharacters) {
  TTextDib dib(300, 60);
  dib.SetFont(kChineseFace, -16);
  const TEXTMETRICW tm = dib.Metrics();
  RecordProperty("CharSet", tm.tmCharSet);
  const std::wstring text = L"岚泽家具";
  TRect r(10, 10, 290, 50);
  cxRenderTextBlock(dib.DC, text, r, SingleLine, 0, 2, nullptr, kRed, clWhite);
  // Left to right, also for a Chinese character set.
  EXPECT_EQ(dib.BoundsOf(RGB(255, 0, 0)), TRect(10, 10, 10 + dib.Width(L"岚泽"), 10 + tm.tmHeight));
  // Highlighted glyphs are drawn in the highlight text colour, the others in
  // the DC's.
  const TRect span = dib.BoundsOf(RGB(255, 0, 0));
  int whiteInSpan = 0, blackOutside = 0;
  for (int y = 10; y < 50; ++y)
    for (int x = 10; x < 290; ++x) {
      whiteInSpan += span.Contains({x, y}) && dib.Pixel(x, y) == kWhite;
      blackOutside += !span.Contains({x, y}) && dib.Pixel(x, y) == kBlack;
    }
  EXPECT_GT(whiteInSpan, 10);
  EXPECT_GT(blackOutside, 10);

  for (const auto& range : {std::pair{4, 3}, std::pair{-1, 3}, std::pair{100, 5}, std::pair{1, 0}}) {
    SCOPED_TRACE(range.first);
    dib.Clear();
    r = TRect(10, 10, 290, 50);
    cxRenderTextBlock(dib.DC, text, r, SingleLine, range.first, range.second, nullptr, kRed, clWhite);
    EXPECT_TRUE(dib.BoundsOf(RGB(255, 0, 0)).IsEmpty());
  }

  // A range past the end is cut to the text; reaching the end, it covers
  // the dots of a shortened row too.
  dib.Clear();
  dib.SetFont(kLatinFace, -11);
  const std::wstring latin = L"The quick brown fox jumps";
  r = TRect(10, 10, 100, 50);
  cxRenderTextBlock(dib.DC, latin, r, SingleLine | EndEllipsis, 2, 1000, nullptr, kRed, clWhite);
  const int shown = FitCount(dib.DC, latin, r.Width() - dib.Width(L"..."));
  const TRect red = dib.BoundsOf(RGB(255, 0, 0));
  EXPECT_EQ(red.Left, 10 + dib.Width(latin.substr(0, 2)));
  EXPECT_EQ(red.Right, 10 + dib.Width(latin.substr(0, shown)) + dib.Width(L"..."));
}

TEST_F(cxDrawTextUtilsDC, HidePrefixDrawsTheTextWithoutItsMarks) {
  TTextDib dib(300, 40), expected(300, 40);
  for (const wchar_t* face : {kLatinFace, kChineseFace}) {
    SCOPED_TRACE(testing::Message() << (face == kLatinFace ? "Latin" : "Chinese"));
    dib.SetFont(face, -12);
    expected.SetFont(face, -12);
    const std::wstring marked = face == kLatinFace ? L"&File && Edit&" : L"文件(&F) && 编辑&";
    const std::wstring plain = face == kLatinFace ? L"File & Edit" : L"文件(F) & 编辑";
    dib.Clear();
    expected.Clear();
    TRect r(10, 10, 290, 30), rExpected = r;
    EXPECT_EQ(cxRenderTextBlock(dib.DC, marked, r, SingleLine | HidePrefix),
              cxRenderTextBlock(expected.DC, plain, rExpected, SingleLine));
    EXPECT_TRUE(dib.SamePixels(expected));
    r = TRect(10, 10, 290, 30);
    cxRenderTextBlock(dib.DC, marked, r, SingleLine | HidePrefix | CalcRect);
    EXPECT_EQ(r.Width(), dib.Width(plain));
  }
}

TEST_F(cxDrawTextUtilsDC, TinyTextIsDrawnAsGreyOrSolidBars) {
  TTextDib dib(120, 30);
  for (int weight : {FW_NORMAL, FW_BOLD}) {
    SCOPED_TRACE(weight);
    dib.Clear();
    dib.SetFont(kLatinFace, 4, weight);
    const TEXTMETRICW tm = dib.Metrics();
    ASSERT_LT(tm.tmHeight, 6);
    const std::wstring text = L"abcdefghijklmnopqrstuvwxyz";
    TRect r(10, 10, 40, 28);
    ASSERT_GT(dib.Width(text), r.Width());
    cxRenderTextBlock(dib.DC, text, r, SingleLine | PatternedText);
    // The bar: the row less a pixel at top and bottom, cut at the right edge.
    const TRect bar(10, 11, 40, 10 + tm.tmHeight - 1);
    const COLORREF window = static_cast<COLORREF>(ColorToRGB(clWindow));
    int wrong = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 120; ++x) {
        COLORREF want = kWhite;
        if (bar.Contains({x, y})) want = weight == FW_BOLD || (x + y) % 2 == 0 ? kBlack : window;
        wrong += dib.Pixel(x, y) != want;
      }
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(cxDrawTextUtilsDC, DrawsTabbedRowsLongerThanTheTabbedOutputTakes) {
  const std::wstring text = std::wstring(4096, L'x') + L"\tWWWW";
  TTextDib probe(1, 1);
  probe.SetFont(kLatinFace, -11);
  SIZE full{};
  cxMeasureRowExtent(probe.DC, text.c_str(), static_cast<int>(text.size()), full, nullptr, true);
  // Room for glyphs that draw wider than they measure.
  const int width = full.cx * 3 / 2;
  TTextDib dib(width, 20), expected(width, 20);
  dib.SetFont(kLatinFace, -11);
  expected.SetFont(kLatinFace, -11);
  TRect r(0, 0, width, 20);
  cxRenderTextBlock(dib.DC, text, r, SingleLine | ExpandTabs);
  // The whole row, as one tabbed call that takes it draws it.
  SetBkMode(expected.DC, TRANSPARENT);
  TabbedTextOutW(expected.DC, 0, 0, text.c_str(), static_cast<int>(text.size()), 0, nullptr, 0);
  EXPECT_TRUE(dib.SamePixels(expected));
}

TEST_F(cxDrawTextUtilsDC, KeepsTheDCAndLeaksNothing) {
  TTextDib dib(200, 60);
  dib.SetFont(kLatinFace, -11);
  TFont* font = Make<TFont>();
  font->SetName(kChineseFace);
  font->SetHeight(-14);
  font->SetColor(clBlue);
  font->Handle();
  SetBkMode(dib.DC, OPAQUE);
  const HGDIOBJ oldFont = GetCurrentObject(dib.DC, OBJ_FONT);
  const long live = GdiAccounting::Live();
  TRect r(10, 10, 190, 50);
  cxRenderTextBlock(dib.DC, kChineseText, r, WordBreak | EndEllipsis | PatternedText, 1, 3, font, kRed, clWhite);
  EXPECT_EQ(GdiAccounting::Live(), live);
  EXPECT_EQ(GetCurrentObject(dib.DC, OBJ_FONT), oldFont);
  EXPECT_EQ(GetTextColor(dib.DC), kBlack);
  EXPECT_EQ(GetBkMode(dib.DC), OPAQUE);
  // The font's colour drew the text, the highlight its part.
  EXPECT_FALSE(dib.BoundsOf(RGB(0, 0, 255)).IsEmpty());
  EXPECT_FALSE(dib.BoundsOf(RGB(255, 0, 0)).IsEmpty());
  TObject::Free(font);

  // A metafile takes the text without visibility tests or highlight.
  HDC meta = CreateEnhMetaFileW(dib.DC, nullptr, nullptr, nullptr);
  r = TRect(10, 10, 190, 50);
  EXPECT_GT(cxRenderTextBlock(meta, kChineseText, r, WordBreak, 1, 3, nullptr, kRed, clWhite), 0);
  DeleteEnhMetaFile(CloseEnhMetaFile(meta));
}

// Flips the library's NT flag for one test.
class TAnsiPlatform {
 public:
  TAnsiPlatform() : FSaved(dxIsNTPlatform) { dxIsNTPlatform = false; }
  ~TAnsiPlatform() { dxIsNTPlatform = FSaved; }

 private:
  bool FSaved;
};

TEST_F(cxDrawTextUtilsDC, AnsiCallsLayOutAndDrawLikeWideOnes) {
  TTextDib wide(300, 80), ansi(300, 80);
  std::vector<std::pair<const wchar_t*, std::wstring>> texts = {
      {kLatinFace, L"Tabs\tand words wrap onto rows; the last one ends in dots"}};
  if (GetACP() == 936) texts.push_back({kChineseFace, L"岚泽家具生产设计系统，中文Mixed文本。"});
  for (const auto& [face, text] : texts) {
    SCOPED_TRACE(testing::Message() << text.size());
    wide.SetFont(face, -12);
    ansi.SetFont(face, -12);
    wide.Clear();
    ansi.Clear();
    const int format = WordBreak | ExpandTabs | EndEllipsis;
    TRect r1(10, 10, 150, 60), r2 = r1;
    const int h1 = cxRenderTextBlock(wide.DC, text, r1, format, 3, 9, nullptr, kRed, clWhite);
    const auto rows1 = BreakOnDC(wide.DC, text, format, 140);
    int h2;
    std::vector<std::wstring> rows2;
    {
      TAnsiPlatform flip;
      h2 = cxRenderTextBlock(ansi.DC, text, r2, format, 3, 9, nullptr, kRed, clWhite);
      rows2 = BreakOnDC(ansi.DC, text, format, 140);
    }
    EXPECT_EQ(h1, h2);
    EXPECT_EQ(rows1, rows2);
    EXPECT_TRUE(wide.SamePixels(ansi));
  }
}

}  // namespace
