// Text is drawn by the platform: these tests check rectangles and positions
// (and which colours appear where), never the glyphs themselves.
#include "platform/WinApi.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/StdCtrls.h"
#include "tests/foundation/cxGraphicsCanvasTestSupport.h"

#include <gtest/gtest.h>

using cnvtest::kBack;
using cnvtest::TCanvasBitmap;

namespace {

// Crisp glyphs: every text pixel has exactly the text colour.
void UseCrispFont(TcxCanvas* c) {
  c->Font()->SetName(L"Tahoma");
  c->Font()->SetHeight(-13);
  c->Font()->SetQuality(fqNonAntialiased);
}

}  // namespace

TEST(TcxCanvasTextTest, FlagConversionTable) {
  struct TCase {
    int Flags;
    UINT Expected;
  };
  const UINT np = DT_NOPREFIX;
  const TCase cases[] = {
      {0, np},
      {cxtfLeft | cxtfTop, np},
      {cxtfRight, np | DT_RIGHT},
      {cxtfCenterH, np | DT_CENTER},
      {cxtfBottom, np | DT_BOTTOM},
      {cxtfCenterV, np | DT_VCENTER},
      {cxtfSingleLine, np | DT_SINGLELINE},
      {cxtfNoClip, np | DT_NOCLIP},
      {cxtfExpandTabs, np | DT_EXPANDTABS},
      {cxtfShowPrefix, 0},
      {cxtfWordBreak, np | DT_WORDBREAK | DT_EDITCONTROL},
      {cxtfWordBreak | cxtfKeepWords, np | DT_WORDBREAK},
      {cxtfWordBreak | cxtfKeepWords | cxtfNoFullWidthBreak,
       np | DT_WORDBREAK | DT_NOFULLWIDTHCHARBREAK},
      {cxtfWordBreak | cxtfNoFullWidthBreak, np | DT_WORDBREAK | DT_EDITCONTROL},
      {cxtfKeepWords | cxtfNoFullWidthBreak, np},
      {cxtfEndEllipsis, np | DT_END_ELLIPSIS},
      {cxtfCalcOnly, np | DT_CALCRECT},
      {cxtfPathEllipsis, np | DT_PATH_ELLIPSIS},
      {cxtfShowPrefix | cxtfSingleLine | cxtfCenterV | cxtfCenterH,
       DT_SINGLELINE | DT_VCENTER | DT_CENTER},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(cxTextFlagsToDrawTextFlags(c.Flags), c.Expected) << std::hex << c.Flags;
}

TEST(TcxCanvasTextTest, ExtentAlignsTheNeededRectangle) {
  TCanvasBitmap b(200, 100);
  TcxCanvas* c = b.Canvas();
  UseCrispFont(c);
  const String text = L"Hello";
  const TSize size = c->TextExtent(text);
  ASSERT_GT(size.cx, 0);
  ASSERT_GT(size.cy, 0);
  EXPECT_EQ(c->TextWidth(text), size.cx);
  EXPECT_EQ(c->TextHeight(text), size.cy);

  struct TCase {
    int Flags;
    int Left, Top;   // expected offsets inside (10, 20, 110, 80)
  };
  const int dx = 100 - size.cx, dy = 60 - size.cy;
  for (const TCase& k : {TCase{cxtfLeft | cxtfSingleLine, 0, 0},
                         TCase{cxtfCenterH | cxtfSingleLine, dx / 2, 0},
                         TCase{cxtfRight | cxtfSingleLine, dx, 0},
                         TCase{cxtfBottom | cxtfSingleLine, 0, dy},
                         TCase{cxtfCenterV | cxtfCenterH | cxtfSingleLine, dx / 2, dy / 2},
                         TCase{cxtfCenterH, dx / 2, 0}}) {
    TRect r(10, 20, 110, 80);
    c->TextExtent(text, r, k.Flags);
    EXPECT_EQ(r, Bounds(10 + k.Left, 20 + k.Top, size.cx, size.cy)) << std::hex << k.Flags;
  }
  // No width at all still measures the text.
  TRect r(5, 5, 5, 5);
  c->TextExtent(text, r, cxtfLeft | cxtfSingleLine);
  EXPECT_EQ(r.Width(), size.cx);

  TFont big;
  big.SetName(L"Tahoma");
  big.SetHeight(-30);
  EXPECT_GT(c->FontHeight(&big), size.cy);
  EXPECT_EQ(c->Font()->Height(), -30);
}

TEST(TcxCanvasTextTest, DisabledTextIsEmbossed) {
  TCanvasBitmap b(120, 40);
  TcxCanvas* c = b.Canvas();
  UseCrispFont(c);
  c->Font()->SetColor(clRed);
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(kBack);
  // Light and dark, both distinct from the background and from each other.
  const TColor light = ColorToRGB(clBtnHighlight), dark = ColorToRGB(clBtnShadow);
  ASSERT_NE(light, dark);

  for (int flags : {cxtfLeft | cxtfTop | cxtfSingleLine, cxtfLeft | cxtfTop}) {
    SCOPED_TRACE(flags & cxtfSingleLine ? "plain path" : "DrawText path");
    b.Fill(kBack);
    TRect r(10, 10, 110, 35);
    c->DrawTexT(L"HIH", r, flags, false);
    const TRect highlight = b.BoundsOf(light), shadow = b.BoundsOf(dark);
    ASSERT_FALSE(shadow.IsEmpty());
    ASSERT_FALSE(highlight.IsEmpty());
    EXPECT_EQ(highlight.Right, shadow.Right + 1);
    EXPECT_EQ(highlight.Bottom, shadow.Bottom + 1);
    EXPECT_TRUE(b.BoundsOf(clRed).IsEmpty());
    // The brush style and font colour are as before.
    EXPECT_EQ(c->Brush()->Style(), bsSolid);
    EXPECT_EQ(c->Font()->Color(), clRed);

    b.Fill(kBack);
    r = TRect(10, 10, 110, 35);
    c->DrawTexT(L"HIH", r, flags, true);
    const TRect normal = b.BoundsOf(clRed);
    EXPECT_EQ(normal, shadow);
  }

  // Right-aligned plain text: the disabled one ends a pixel further left.
  const int width = c->TextWidth(L"HIH");
  TRect enabled(10, 10, 110, 35), disabled(10, 10, 110, 35);
  c->DrawTexT(L"HIH", enabled, cxtfRight | cxtfSingleLine, true);
  c->DrawTexT(L"HIH", disabled, cxtfRight | cxtfSingleLine, false);
  EXPECT_EQ(enabled.Left, 110 - width);
  EXPECT_EQ(disabled.Left, 110 - width - 1);

  // Nothing for an empty text.
  b.Fill(kBack);
  TRect r(0, 0, 100, 30);
  c->DrawTexT(String(), r, cxtfLeft, true);
  EXPECT_EQ(b.Mismatches([](int, int) { return kBack; }), 0);
}

TEST(TcxCanvasTextTest, MultiLineVerticalAlignment) {
  TCanvasBitmap b(200, 200);
  TcxCanvas* c = b.Canvas();
  UseCrispFont(c);
  const int line = c->TextHeight(L"Wg");
  const String text = L"one\ntwo";

  TRect r(0, 10, 200, 110);
  c->AlignMultiLineTextRectVertically(r, text, vaBottom, true, false);
  EXPECT_EQ(r.Top, 110 - 2 * line);
  r = TRect(0, 10, 200, 110);
  c->AlignMultiLineTextRectVertically(r, text, vaCenter, true, false);
  EXPECT_EQ(r.Top, (10 + 110 - 2 * line) / 2);
  r = TRect(0, 10, 200, 110);
  c->AlignMultiLineTextRectVertically(r, text, vaBottom, true, false, false);
  EXPECT_EQ(r.Top, 110 - (2 * line + 1));
  // Word break with end ellipsis: as many whole lines as fit.
  r = TRect(0, 10, 200, 10 + 3 * line + 2);
  c->AlignMultiLineTextRectVertically(r, text, vaBottom, true, false, true, false, true);
  EXPECT_EQ(r.Top, 10 + 2);
  r = TRect(0, 10, 200, 110);
  c->AlignMultiLineTextRectVertically(r, text, vaTop, true, false);
  EXPECT_EQ(r.Top, 10);

  // DrawTexT aligns multi-line text to the bottom through the same step.
  b.Fill(kBack);
  c->Font()->SetColor(clRed);
  r = TRect(0, 0, 200, 150);
  c->DrawTexT(text, r, cxtfLeft | cxtfBottom | cxtfWordBreak, true);
  const TRect ink = b.BoundsOf(clRed);
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_GT(ink.Top, 150 - 2 * line - 1);
  EXPECT_LE(ink.Bottom, 150);
}

TEST(TcxCanvasTextTest, StringBoundsPerLine) {
  TCanvasBitmap b(300, 100);
  TcxCanvas* c = b.Canvas();
  UseCrispFont(c);
  const int h = c->TextHeight(L"ab");

  TRectArray bounds;
  c->GetTextStringsBounds(L"ab\r\ncd", TRect(10, 5, 290, 95), cxtfLeft | cxtfTop, true, bounds);
  ASSERT_EQ(bounds.size(), 2u);
  EXPECT_EQ(bounds[0], Bounds(10, 5, c->TextWidth(L"ab"), h));
  EXPECT_EQ(bounds[1], Bounds(10, 5 + h, c->TextWidth(L"cd"), h));

  // Wrapping at a space: centred lines lose the space they broke at.
  const int wordWidth = c->TextWidth(L"aaaa");
  bounds.clear();
  const TRect narrow(0, 0, wordWidth + c->TextWidth(L" a"), 100);
  c->GetTextStringsBounds(L"aaaa aaaa", narrow, cxtfCenterH | cxtfTop | cxtfWordBreak, true, bounds);
  ASSERT_EQ(bounds.size(), 2u);
  EXPECT_EQ(bounds[0].Width(), wordWidth);
  EXPECT_EQ(bounds[1].Width(), wordWidth);
  EXPECT_EQ(bounds[0].Left, (narrow.Width() - wordWidth) / 2);
  EXPECT_EQ(bounds[1].Top, bounds[0].Bottom);

  // Left-aligned lines keep it.
  bounds.clear();
  c->GetTextStringsBounds(L"aaaa aaaa", narrow, cxtfLeft | cxtfTop | cxtfWordBreak, true, bounds);
  ASSERT_EQ(bounds.size(), 2u);
  EXPECT_EQ(bounds[0].Width(), c->TextWidth(L"aaaa "));

  // Prefix marks are stripped; bottom alignment moves the block down.
  bounds.clear();
  c->GetTextStringsBounds(L"&ab", TRect(0, 0, 200, 50), cxtfLeft | cxtfBottom | cxtfShowPrefix,
                          true, bounds);
  ASSERT_EQ(bounds.size(), 1u);
  EXPECT_EQ(bounds[0], TRect(0, 50 - h, c->TextWidth(L"ab"), 50));

  bounds.clear();
  c->GetTextStringsBounds(String(), TRect(0, 0, 200, 50), cxtfLeft, true, bounds);
  EXPECT_TRUE(bounds.empty());
}

TEST(TcxCanvasTextTest, AlignmentOverloadAndFontAngle) {
  TCanvasBitmap b(200, 60);
  TcxCanvas* c = b.Canvas();
  UseCrispFont(c);
  c->Font()->SetColor(clRed);
  TRect r(0, 0, 200, 60);
  c->DrawTexT(L"HH", r, taRightJustify, vaBottom, false, false);
  const TRect ink = b.BoundsOf(clRed);
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_GT(ink.Left, 150);
  EXPECT_GT(ink.Top, 30);

  c->SetFontAngle(90);
  LOGFONTW lf{};
  ASSERT_EQ(GetObjectW(c->Font()->Handle(), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
  EXPECT_EQ(lf.lfEscapement, 900);
  EXPECT_EQ(lf.lfOutPrecision, OUT_TT_ONLY_PRECIS);
  EXPECT_EQ(lf.lfHeight, -13);
}

// An accelerator mark underlines the character after it: the pixels that the
// mark adds to the drawing of the same text without it lie under that
// character only, in Latin and in Chinese text.
TEST(TcxCanvasTextTest, AcceleratorUnderlinesTheMarkedCharacter) {
  struct TCase {
    const wchar_t* Marked;
    const wchar_t* Before;  // the text before the marked character
    const wchar_t* Upto;    // ... and up to and including it
  };
  const TCase cases[] = {
      {L"&Mw", L"", L"M"},
      {L"M&w", L"M", L"Mw"},
      {L"\u8ba2\u5355(&Q)", L"\u8ba2\u5355(", L"\u8ba2\u5355(Q"},
  };
  for (const TCase& t : cases) {
    String plain = t.Marked;
    plain.erase(plain.find(L'&'), 1);
    TCanvasBitmap marked(200, 40), bare(200, 40);
    for (TCanvasBitmap* b : {&marked, &bare}) {
      UseCrispFont(b->Canvas());
      b->Canvas()->Font()->SetColor(clRed);
    }
    TRect r1(0, 0, 200, 40), r2(0, 0, 200, 40);
    // (Both through the same text path: single-line text without a mark takes
    // a faster one that may place the glyphs a pixel apart.)
    marked.Canvas()->DrawTexT(t.Marked, r1, cxtfLeft | cxtfTop | cxtfShowPrefix);
    bare.Canvas()->DrawTexT(plain, r2, cxtfLeft | cxtfTop);
    int left = INT_MAX, right = -1;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 200; ++x)
        if (marked.Pixel(x, y) != bare.Pixel(x, y)) {
          left = std::min(left, x);
          right = std::max(right, x);
        }
    const int from = bare.Canvas()->TextWidth(t.Before), to = bare.Canvas()->TextWidth(t.Upto);
    ASSERT_GE(right, 0) << "no underline for case " << (&t - cases);
    EXPECT_GE(left, from - 1) << "case " << (&t - cases);
    EXPECT_LE(right, to) << "case " << (&t - cases);
  }
}
