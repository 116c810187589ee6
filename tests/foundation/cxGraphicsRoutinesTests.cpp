#include "platform/WinApi.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxGraphicsRoutines.h"
#include "platform/core/Lists.h"
#include "platform/core/StringLists.h"
#include "platform/gui/Controls.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/ImgList.h"
#include "tests/foundation/dxOffice11TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using fndtest::TDib;
using fndtest::TSysColorsOverride;

template <class T>
struct TFree {
  void operator()(T* AObject) const { TObject::Free(AObject); }
};
template <class T>
using TOwned = std::unique_ptr<T, TFree<T>>;

RGBQUAD Quad(Byte b, Byte g, Byte r, Byte a) { return RGBQUAD{b, g, r, a}; }
bool Same(const RGBQUAD& x, const RGBQUAD& y) {
  return x.rgbBlue == y.rgbBlue && x.rgbGreen == y.rgbGreen && x.rgbRed == y.rgbRed &&
         x.rgbReserved == y.rgbReserved;
}

// A screen-compatible memory DC with a font of a known face selected.
class TTextDC {
 public:
  TTextDC() : FDC(CreateCompatibleDC(nullptr)) {
    LOGFONTW lf{};
    lf.lfHeight = -13;
    wcscpy(lf.lfFaceName, L"Tahoma");
    FFont = CreateFontIndirectW(&lf);
    FOld = SelectObject(FDC, FFont);
  }
  ~TTextDC() {
    SelectObject(FDC, FOld);
    DeleteObject(FFont);
    DeleteDC(FDC);
  }
  TTextDC(const TTextDC&) = delete;
  TTextDC& operator=(const TTextDC&) = delete;
  HDC DC() const { return FDC; }
  int Width(const String& AText) const {
    SIZE s{};
    GetTextExtentPoint32W(FDC, AText.c_str(), static_cast<int>(AText.size()), &s);
    return s.cx;
  }
  int LineHeight() const {
    RECT r{0, 0, 0, 0};
    DrawTextW(FDC, L"Wg", -1, &r, DT_CALCRECT | DT_SINGLELINE);
    return r.bottom - r.top;
  }

 private:
  HDC FDC;
  HFONT FFont;
  HGDIOBJ FOld;
};

}  // namespace

// ---------------------------------------------------------------------------
// Colours
// ---------------------------------------------------------------------------

TEST(CxRoutinesColors, MixOfSystemColorsFollowsMulDiv) {
  // Button face R200 G100 B50, highlight R10 G20 B250, window R240 G230 B220.
  TSysColorsOverride colors({{COLOR_BTNFACE, RGB(200, 100, 50)},
                             {COLOR_HIGHLIGHT, RGB(10, 20, 250)},
                             {COLOR_WINDOW, RGB(240, 230, 220)}});
  ASSERT_TRUE(colors.Ok());
  struct TCase {
    int Face, Highlight, Window;
    TColor Expected;
  };
  const TCase cases[] = {
      // MulDiv rounds halves away from zero: 50 * 1 / 100 = 0.5 -> 1, 50 * -2 / 100 -> -1.
      {1, 0, 0, int(RGB(2, 1, 1))},
      {-2, 30, 72, int(RGB(172, 170, 232))},
      {14, 44, 40, int(RGB(128, 115, 205))},
      {100, 100, 100, int(RGB(255, 255, 255))},   // clamped above
      {-100, 0, 0, int(RGB(0, 0, 0))},            // clamped below
      {0, 100, 0, int(RGB(10, 20, 250))},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(cxMixSystemColors(c.Face, c.Highlight, c.Window), c.Expected)
        << c.Face << " " << c.Highlight << " " << c.Window;
  // A true-colour screen shows every colour: the tints are the mixes themselves.
  EXPECT_EQ(cxPaleHighlightTintColor(), int(RGB(172, 170, 232)));
  EXPECT_EQ(cxHighlightTintColor(), int(RGB(128, 115, 205)));
  EXPECT_EQ(cxNearestScreenColor(clBtnFace), int(RGB(200, 100, 50)));
}

TEST(CxRoutinesColors, BlackOrWhiteButtonFaceGivesTheHighlight) {
  for (COLORREF face : {RGB(0, 0, 0), RGB(255, 255, 255)}) {
    TSysColorsOverride colors({{COLOR_BTNFACE, face},
                               {COLOR_HIGHLIGHT, RGB(10, 20, 250)},
                               {COLOR_WINDOW, RGB(240, 230, 220)}});
    ASSERT_TRUE(colors.Ok());
    EXPECT_EQ(cxMixSystemColors(14, 44, 40), int(RGB(10, 20, 250)));
    EXPECT_EQ(cxPaleHighlightTintColor(), int(RGB(10, 20, 250)));
  }
}

// ---------------------------------------------------------------------------
// Bitmaps and pixel access
// ---------------------------------------------------------------------------

TEST(CxRoutinesBitmaps, CreationAndBitsPerPixel) {
  struct TCase {
    TPixelFormat Format;
    int Bits;
  };
  for (const TCase& c : {TCase{pf1bit, 1}, TCase{pf4bit, 4}, TCase{pf8bit, 8}, TCase{pf15bit, 16},
                         TCase{pf16bit, 16}, TCase{pf24bit, 24}, TCase{pf32bit, 32}}) {
    TOwned<TBitmap> b(cxCreateSizedBitmap(5, 3, c.Format));
    EXPECT_EQ(b->Width(), 5);
    EXPECT_EQ(b->Height(), 3);
    EXPECT_EQ(b->PixelFormat(), c.Format);
    EXPECT_EQ(cxBitmapBitsPerPixel(b.get()), c.Bits);
  }
  TOwned<TBitmap> device(cxCreateBitmapOfSize(TSize{4, 2}, pfDevice));
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(cxBitmapBitsPerPixel(device.get()), GetDeviceCaps(screen, BITSPIXEL));
  ReleaseDC(nullptr, screen);
  TOwned<TBitmap> forRect(cxCreateBitmapForRect(TRect(10, 20, 17, 23), pf24bit));
  EXPECT_EQ(forRect->Width(), 7);
  EXPECT_EQ(forRect->Height(), 3);
}

TEST(CxRoutinesBitmaps, PixelArraysRoundTripInBothRowOrders) {
  TOwned<TBitmap> b(cxCreateSizedBitmap(3, 2, pf32bit));
  TRGBColors colors = {Quad(1, 2, 3, 4),    Quad(5, 6, 7, 8),    Quad(9, 10, 11, 12),
                       Quad(13, 14, 15, 16), Quad(17, 18, 19, 20), Quad(21, 22, 23, 255)};
  const TRGBColors written = colors;
  cxApplyColorsToBitmap(b.get(), colors, true);
  EXPECT_TRUE(colors.empty());   // the array is freed

  TRGBColors topDown, bottomUp;
  cxReadBitmapColors(b.get(), true, topDown);
  cxReadBitmapColors(b.get(), false, bottomUp);
  ASSERT_EQ(topDown.size(), 6u);
  ASSERT_EQ(bottomUp.size(), 6u);
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(Same(topDown[i], written[i])) << i;
  // Bottom-up: the first row of the array is the bitmap's bottom row.
  for (int x = 0; x < 3; ++x) {
    EXPECT_TRUE(Same(bottomUp[x], written[3 + x])) << x;
    EXPECT_TRUE(Same(bottomUp[3 + x], written[x])) << x;
  }
  // The canvas sees the pixels written (top-left is (1, 2, 3) as B, G, R).
  EXPECT_EQ(b->Canvas()->GetPixel(0, 0), int(RGB(3, 2, 1)));
  EXPECT_EQ(b->Canvas()->GetPixel(2, 1), int(RGB(23, 22, 21)));
}

TEST(CxRoutinesBitmaps, EmptyBitmapsAndShortArraysAreLeftAlone) {
  TOwned<TBitmap> empty(cxCreateSizedBitmap(0, 4, pf32bit));
  TRGBColors colors(3, Quad(1, 1, 1, 1));
  cxReadBitmapColors(empty.get(), true, colors);
  EXPECT_TRUE(colors.empty());
  TRGBColors some(3, Quad(9, 9, 9, 9));
  cxApplyColorsToBitmap(empty.get(), some, true);
  EXPECT_TRUE(some.empty());

  TOwned<TBitmap> b(cxCreateSizedBitmap(2, 2, pf32bit));
  TRGBColors full(4, Quad(7, 7, 7, 7));
  cxApplyColorsToBitmap(b.get(), full, true);
  TRGBColors tooShort(3, Quad(1, 2, 3, 4));
  cxApplyColorsToBitmap(b.get(), tooShort, true);   // would read past the array
  TRGBColors read;
  cxReadBitmapColors(b.get(), true, read);
  for (const RGBQUAD& q : read) EXPECT_TRUE(Same(q, Quad(7, 7, 7, 7)));
}

TEST(CxRoutinesBitmaps, GdiObjectQueries) {
  TOwned<TBitmap> b(cxCreateSizedBitmap(6, 5, pf24bit));
  BITMAP bm{};
  ASSERT_TRUE(cxReadBitmapInfo(b->Handle(), bm));
  EXPECT_EQ(bm.bmWidth, 6);
  EXPECT_EQ(bm.bmHeight, 5);
  LOGBRUSH lb{};
  EXPECT_TRUE(cxQueryLogBrush(static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)), lb));
  EXPECT_TRUE(cxReadLogBrush(static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)), lb));
  EXPECT_EQ(lb.lbColor, RGB(128, 128, 128));
  LOGPEN lp{};
  EXPECT_TRUE(cxReadLogPen(static_cast<HPEN>(GetStockObject(BLACK_PEN)), lp));
  LOGFONTW lf{};
  EXPECT_TRUE(cxReadLogFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), lf));
  EXPECT_FALSE(cxReadLogFont(nullptr, lf));
  EXPECT_FALSE(cxReadBitmapInfo(nullptr, bm));
}

TEST(CxRoutinesBitmaps, RectHelpers) {
  TRect r(10, 20, 110, 220);
  cxDeflateRectByMargins(r, TRect(1, 2, 3, 4));
  EXPECT_EQ(r, TRect(11, 22, 107, 216));
  EXPECT_TRUE(cxSameRectSize(TRect(0, 0, 5, 6), TRect(10, 10, 15, 16)));
  EXPECT_FALSE(cxSameRectSize(TRect(0, 0, 5, 6), TRect(0, 0, 6, 5)));
  EXPECT_FALSE(cxHasBitmapContent(nullptr));
  TOwned<TBitmap> empty(Make<TBitmap>());
  EXPECT_FALSE(cxHasBitmapContent(empty.get()));
  empty->SetSize(1, 1);
  EXPECT_TRUE(cxHasBitmapContent(empty.get()));
}

TEST(CxRoutinesImageLists, IndexAndDrawStyle) {
  TOwned<TCustomImageList> list(Make<TCustomImageList>(nullptr, 4, 4));
  TOwned<TBitmap> glyph(cxCreateSizedBitmap(4, 4, pf24bit));
  list->Add(glyph.get(), nullptr);
  EXPECT_FALSE(cxIsValidImageIndex(nullptr, 0));
  EXPECT_FALSE(cxIsValidImageIndex(list.get(), -1));
  EXPECT_TRUE(cxIsValidImageIndex(list.get(), 0));
  EXPECT_FALSE(cxIsValidImageIndex(list.get(), 1));

  EXPECT_EQ(cxImageListDrawStyle(dsFocus, itImage), 2u);
  EXPECT_EQ(cxImageListDrawStyle(dsSelected, itImage), 4u);
  EXPECT_EQ(cxImageListDrawStyle(dsNormal, itImage), 0u);
  EXPECT_EQ(cxImageListDrawStyle(dsTransparent, itImage), 1u);
  EXPECT_EQ(cxImageListDrawStyle(dsTransparent, itMask), 0x11u);
  EXPECT_EQ(cxImageListDrawStyle(dsNormal, itMask), 0x10u);
}

namespace {
struct TChangeCounter : TObject {
  int Count = 0;
  void Changed(TObject*) { ++Count; }
};
}  // namespace

TEST(CxRoutinesImageLists, AssignMovesLinkAndNotification) {
  TOwned<TComponent> owner(Make<TComponent>(nullptr));
  TOwned<TCustomImageList> first(Make<TCustomImageList>(nullptr));
  TOwned<TCustomImageList> second(Make<TCustomImageList>(nullptr));
  TOwned<TChangeLink> link(Make<TChangeLink>());
  TChangeCounter counter;
  link->OnChange = TNotifyEvent::Bind<&TChangeCounter::Changed>(&counter);
  TCustomImageList* field = nullptr;

  cxAssignImageList(first.get(), field, link.get(), owner.get());
  EXPECT_EQ(field, first.get());
  EXPECT_EQ(link->Sender(), first.get());
  EXPECT_EQ(counter.Count, 1);

  cxAssignImageList(first.get(), field, link.get(), owner.get());   // already there
  EXPECT_EQ(counter.Count, 1);

  cxAssignImageList(second.get(), field, link.get(), owner.get());
  EXPECT_EQ(field, second.get());
  EXPECT_EQ(link->Sender(), second.get());
  EXPECT_EQ(counter.Count, 2);
  first->Change();   // the old list no longer reaches the link
  EXPECT_EQ(counter.Count, 2);
  second->Change();
  EXPECT_EQ(counter.Count, 3);

  cxAssignImageList(nullptr, field, link.get(), owner.get());
  EXPECT_EQ(field, nullptr);
  EXPECT_EQ(link->Sender(), nullptr);
  EXPECT_EQ(counter.Count, 4);
}

// ---------------------------------------------------------------------------
// Blitting
// ---------------------------------------------------------------------------

TEST(CxRoutinesBlit, CopiesFromTheSourcePoint) {
  TDib dib(6, 6, clWhite);
  TOwned<TBitmap> b(cxCreateSizedBitmap(4, 4, pf24bit));
  b->Canvas()->Brush()->SetColor(clRed);
  b->Canvas()->FillRect(TRect(0, 0, 4, 4));
  b->Canvas()->Brush()->SetColor(clBlue);
  b->Canvas()->FillRect(TRect(2, 2, 4, 4));
  cxBlitBitmapToDC(dib.DC(), b.get(), TRect(1, 1, 3, 3), SRCCOPY, TPoint{2, 2});
  const std::vector<std::string> expected = {"WWWWWW", "WBBWWW", "WBBWWW", "WWWWWW", "WWWWWW", "WWWWWW"};
  EXPECT_EQ(dib.Map(TRect(0, 0, 6, 6), {{'W', clWhite}, {'B', clBlue}, {'R', clRed}}), expected);

  cxCopyDCRect(dib.DC(), b->Canvas()->Handle(), TRect(4, 0, 6, 2), TPoint{0, 0});
  EXPECT_EQ(dib.Pixel(4, 0), clRed);
  EXPECT_EQ(dib.Pixel(5, 1), clRed);

  TOwned<TBitmap> big(cxCreateSizedBitmap(8, 8, pf24bit));
  cxStretchCopyBitmap(big.get(), b.get());
  EXPECT_EQ(big->Canvas()->GetPixel(0, 0), clRed);
  EXPECT_EQ(big->Canvas()->GetPixel(7, 7), clBlue);
}

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------

TEST(CxRoutinesText, ExtentsAndColouredOutput) {
  TTextDC dc;
  TSize size{0, 0};
  ASSERT_TRUE(cxQueryTextExtent(dc.DC(), L"abc", size));
  EXPECT_EQ(size.cx, dc.Width(L"abc"));
  ASSERT_TRUE(cxQueryTextExtent(dc.DC(), L"abc", size, 1));
  EXPECT_EQ(size.cx, dc.Width(L"a"));
  ASSERT_TRUE(cxQueryTextExtent(dc.DC(), L"abc", size, 99));   // cut to the text
  EXPECT_EQ(size.cx, dc.Width(L"abc"));

  const TSize single = cxMeasureSingleLineText(dc.DC(), L"one two");
  EXPECT_EQ(single.cx, dc.Width(L"one two"));
  EXPECT_EQ(single.cy, dc.LineHeight());

  TDib dib(40, 20, clWhite);
  HGDIOBJ oldFont = SelectObject(dib.DC(), GetCurrentObject(dc.DC(), OBJ_FONT));
  SetTextColor(dib.DC(), RGB(0, 255, 0));
  SetBkMode(dib.DC(), OPAQUE);
  TRect r(0, 0, 40, 20);
  EXPECT_GT(cxDrawColoredText(dib.DC(), L"XX", r, DT_SINGLELINE, -1, clRed, TRANSPARENT), 0);
  // The DC's own settings are back, and the text is red.
  EXPECT_EQ(GetTextColor(dib.DC()), RGB(0, 255, 0));
  EXPECT_EQ(GetBkMode(dib.DC()), OPAQUE);
  bool red = false, green = false;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) {
      red = red || dib.Pixel(x, y) == clRed;
      green = green || dib.Pixel(x, y) == int(RGB(0, 255, 0));
    }
  EXPECT_TRUE(red);
  EXPECT_FALSE(green);
  // clDefault keeps the DC's colour.
  dib.Fill(clWhite);
  r = TRect(0, 0, 40, 20);
  cxDrawColoredText(dib.DC(), L"XX", r, DT_SINGLELINE, -1, clDefault, TRANSPARENT);
  for (int y = 0; y < 20 && !green; ++y)
    for (int x = 0; x < 40; ++x) green = green || dib.Pixel(x, y) == int(RGB(0, 255, 0));
  EXPECT_TRUE(green);
  SelectObject(dib.DC(), oldFont);

  TDib plain(40, 20, clWhite);
  HGDIOBJ old2 = SelectObject(plain.DC(), GetCurrentObject(dc.DC(), OBJ_FONT));
  const TRect clip(0, 0, 40, 20);
  EXPECT_TRUE(cxExtTextOutString(plain.DC(), L"XX", TPoint{2, 2}, -1, ETO_CLIPPED, &clip));
  SelectObject(plain.DC(), old2);
  bool drawn = false;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) drawn = drawn || plain.Pixel(x, y) != clWhite;
  EXPECT_TRUE(drawn);
}

TEST(CxRoutinesText, FitTextRect) {
  TTextDC dc;
  const String text = L"aa bbbb cc";
  // Any number of lines: the narrowest width wins, the widest word's.
  TRect r = cxFitTextRect(dc.DC(), text, 0, false);
  EXPECT_EQ(r.Left, 0);
  EXPECT_EQ(r.Width(), dc.Width(L"bbbb"));
  EXPECT_EQ(r.Height(), 3 * dc.LineHeight());

  // Two lines fixed: exactly twice the "Wg" height, and the text fits in two lines.
  r = cxFitTextRect(dc.DC(), text, 2, true);
  EXPECT_EQ(r.Height(), 2 * dc.LineHeight());
  RECT check{0, 0, r.Right, 0};
  DrawTextW(dc.DC(), text.c_str(), -1, &check, DT_CALCRECT | DT_WORDBREAK | DT_NOFULLWIDTHCHARBREAK);
  EXPECT_LE(check.bottom, 2 * dc.LineHeight());
  EXPECT_LT(r.Width(), dc.Width(text));

  // One line: the single-line size.
  r = cxFitTextRect(dc.DC(), text, 1, true);
  EXPECT_EQ(r.Width(), dc.Width(text));
  EXPECT_EQ(r.Height(), dc.LineHeight());

  EXPECT_EQ(cxFitTextRect(dc.DC(), L"", 0, false).Width(), 0);
}

TEST(CxRoutinesText, WrapTextToList) {
  TOwned<TBitmap> b(cxCreateSizedBitmap(10, 10, pf24bit));
  b->Canvas()->Font()->SetName(L"Tahoma");
  b->Canvas()->Font()->SetHeight(-13);
  TOwned<TcxCanvas> canvas(Make<TcxCanvas>(b->Canvas()));
  TOwned<TStringList> lines(Make<TStringList>());
  auto wrap = [&](const String& AText, int AWidth) {
    lines->Clear();
    cxWrapTextToList(AText, canvas.get(), TRect(0, 0, AWidth, 100), lines.get());
    std::vector<String> result;
    for (int i = 0; i < lines->Count(); ++i) result.push_back(lines->Get(i));
    return result;
  };
  EXPECT_EQ(wrap(L"one two\r\nthree", 500), (std::vector<String>{L"one two", L"three"}));
  EXPECT_EQ(wrap(L"Supercalifragilistic x", 10),
            (std::vector<String>{L"", L"Supercalifragilistic", L"x"}));
  const int width = canvas->TextWidth(L"aa bb");
  EXPECT_EQ(wrap(L"aa bb cc dd", width), (std::vector<String>{L"aa bb", L"cc dd"}));
  EXPECT_EQ(wrap(L"single", 500), (std::vector<String>{L"single"}));
  EXPECT_TRUE(wrap(L"", 500).empty());
}

TEST(CxRoutinesText, MirroredHighlight) {
  struct TCase {
    Byte Charset;
    const wchar_t* Text;
    bool Expected;
  };
  const TCase cases[] = {
      {178, L"Abc", false}, {178, L"", true},   {178, L"\u0627", true}, {134, L"\u4E2D", true},
      {136, L"\u4E2D", true}, {134, L"x\u4E2D", false}, {0, L"\u4E2D", false}, {128, L"\u4E2D", false},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(cxTextNeedsMirroredHighlight(c.Charset, c.Text), c.Expected) << int(c.Charset);
  // The default charset is the system's: GB2312 under code page 936, ANSI under 1252.
  const bool chinese = GetACP() == 936;
  EXPECT_EQ(cxTextNeedsMirroredHighlight(DEFAULT_CHARSET, L"\u4E2D"), chinese);
}

TEST(CxRoutinesText, MeasureFontText) {
  TOwned<TFont> font(Make<TFont>());
  font->SetName(L"Tahoma");
  font->SetSize(8);
  const int w8 = cxMeasureFontTextWidth(font.get(), L"Measure");
  const int w16 = cxMeasureFontTextWidth(font.get(), L"Measure", 16);
  EXPECT_GT(w8, 0);
  EXPECT_GT(w16, w8 * 3 / 2);
  EXPECT_GT(cxMeasureFontTextHeight(font.get(), L"Measure", 16),
            cxMeasureFontTextHeight(font.get(), L"Measure"));
  EXPECT_EQ(font->Size(), 8);   // the caller's font is not changed
}

TEST(CxRoutinesText, RotatedTextStaysInsideItsRectangle) {
  TOwned<TBitmap> b(cxCreateSizedBitmap(60, 60, pf32bit));
  b->Canvas()->Brush()->SetColor(clWhite);
  b->Canvas()->FillRect(TRect(0, 0, 60, 60));
  b->Canvas()->Font()->SetName(L"Tahoma");
  b->Canvas()->Font()->SetHeight(-11);
  TOwned<TcxCanvas> canvas(Make<TcxCanvas>(b->Canvas()));
  const TRect r(20, 5, 36, 55);   // tall and narrow: room for turned text only
  for (TcxRotationAngle angle : {raPlus90, raMinus90, ra180}) {
    b->Canvas()->FillRect(TRect(0, 0, 60, 60));
    cxDrawRotatableText(canvas.get(), L"Text", r, DT_SINGLELINE | DT_CENTER | DT_VCENTER, clBlack,
                        angle);
    int inside = 0, outside = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 60; ++x) {
        if (b->Canvas()->GetPixel(x, y) == clWhite) continue;
        (r.Contains(TPoint{x, y}) ? inside : outside)++;
      }
    EXPECT_GT(inside, 0) << angle;
    EXPECT_EQ(outside, 0) << angle;
  }
  // Turned by 90 degrees the text runs along the long side: its ink spans more
  // rows than columns.
  b->Canvas()->FillRect(TRect(0, 0, 60, 60));
  cxDrawRotatableText(canvas.get(), L"Text", r, DT_SINGLELINE | DT_CENTER | DT_VCENTER, clBlack,
                      raPlus90);
  int top = 60, bottom = -1, left = 60, right = -1;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x)
      if (b->Canvas()->GetPixel(x, y) != clWhite) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
        left = std::min(left, x);
        right = std::max(right, x);
      }
  EXPECT_GT(bottom - top, right - left);
}

// ---------------------------------------------------------------------------
// Windows and controls
// ---------------------------------------------------------------------------

TEST(CxRoutinesWindows, CursorSizeWithinSystemMetrics) {
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  const long before = GdiAccounting::Live();
  const TSize size = cxMeasureCursorSize();
  EXPECT_EQ(GdiAccounting::Live(), before);
  EXPECT_GT(size.cx, 0);
  EXPECT_GT(size.cy, 0);
  EXPECT_LE(size.cy, GetSystemMetrics(SM_CYCURSOR));
}

namespace {

// A control that fills itself with one colour.
class TFillControl : public TCustomControl {
 public:
  TFillControl(TComponent* AOwner, TColor AColor) : TCustomControl(AOwner), FColor(AColor) {}
  void Paint() override {
    Canvas()->Brush()->SetColor(FColor);
    Canvas()->FillRect(ClientRect());
    ++Paints;
  }
  int Paints = 0;

 private:
  TColor FColor;
};

}  // namespace

TEST(CxRoutinesWindows, PaintParentControlsUnderShowsOnlyWhatLiesBelow) {
  // Parent (red) with a sibling below (green) and, above it, the control (blue)
  // whose background is wanted.
  TOwned<TFillControl> parent(Make<TFillControl>(nullptr, clRed));
  parent->SetBounds(0, 0, 40, 40);
  TFillControl* below = Make<TFillControl>(parent.get(), clLime);
  below->SetBounds(0, 0, 20, 40);
  below->SetParent(parent.get());
  TFillControl* control = Make<TFillControl>(parent.get(), clBlue);
  control->SetBounds(10, 10, 20, 20);
  control->SetParent(parent.get());
  TFillControl* above = Make<TFillControl>(parent.get(), clYellow);
  above->SetBounds(0, 0, 40, 5);
  above->SetParent(parent.get());

  TOwned<TBitmap> b(cxCreateSizedBitmap(20, 20, pf32bit));
  b->Canvas()->Brush()->SetColor(clWhite);
  b->Canvas()->FillRect(TRect(0, 0, 20, 20));
  TOwned<TcxCanvas> canvas(Make<TcxCanvas>(b->Canvas()));
  cxPaintParentControlsUnder(control, canvas.get(), TRect(0, 0, 20, 20), true);

  // The control's left half lies over the green sibling, the rest over the parent.
  EXPECT_EQ(b->Canvas()->GetPixel(0, 0), clLime);
  EXPECT_EQ(b->Canvas()->GetPixel(9, 19), clLime);
  EXPECT_EQ(b->Canvas()->GetPixel(10, 0), clRed);
  EXPECT_EQ(b->Canvas()->GetPixel(19, 19), clRed);
  EXPECT_EQ(control->Paints, 0);   // never the control itself
  EXPECT_EQ(above->Paints, 0);     // nor what lies above it
  EXPECT_GT(below->Paints, 0);

  // Without children only the parent.
  b->Canvas()->FillRect(TRect(0, 0, 20, 20));
  cxPaintParentControlsUnder(control, canvas.get(), TRect(0, 0, 20, 20), false);
  EXPECT_EQ(b->Canvas()->GetPixel(0, 0), clRed);
  // A control without parent paints nothing.
  TOwned<TFillControl> orphan(Make<TFillControl>(nullptr, clBlue));
  b->Canvas()->FillRect(TRect(0, 0, 20, 20));
  cxPaintParentControlsUnder(orphan.get(), canvas.get(), TRect(0, 0, 20, 20), true);
  EXPECT_EQ(b->Canvas()->GetPixel(5, 5), clWhite);
}
