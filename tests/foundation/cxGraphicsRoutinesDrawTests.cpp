#include "platform/WinApi.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxGraphicsImageList.h"
#include "foundation/cxGraphicsRoutines.h"
#include "foundation/dxCore.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/ImgList.h"
#include "tests/foundation/dxOffice11TestSupport.h"
#include "tests/support/ScopedHook.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using fndtest::TDib;
using fndtest::TSysColorsOverride;
using TArt = std::vector<std::string>;

template <class T>
struct TFree {
  void operator()(T* AObject) const { TObject::Free(AObject); }
};
template <class T>
using TOwned = std::unique_ptr<T, TFree<T>>;

// The three ways an alpha blend can go: the system AlphaBlend, the blend in
// memory (per pixel when the system routine is missing) and GDI+ (taken
// on a 64-bit system, as this one reports).
enum TBlendPath { bpSystem, bpInMemory, bpGdiPlus };
const char* const kPathNames[] = {"system", "in memory", "GDI+"};

class TBlendPathScope {
 public:
  explicit TBlendPathScope(TBlendPath APath)
      : FWow64(dxIsWow64Process), FWin9x(dxIsWin9xPlatform), FProc(cxGetAlphaBlendProc()) {
    // The system routine is looked up by the graphics start-up.
    EXPECT_TRUE(FProc != nullptr) << "no AlphaBlend entry point";
    dxIsWin9xPlatform = false;
    dxIsWow64Process = APath == bpGdiPlus;
    if (APath == bpInMemory) cxSetAlphaBlendProc(nullptr);
  }
  ~TBlendPathScope() {
    dxIsWow64Process = FWow64;
    dxIsWin9xPlatform = FWin9x;
    cxSetAlphaBlendProc(FProc);
  }
  TBlendPathScope(const TBlendPathScope&) = delete;
  TBlendPathScope& operator=(const TBlendPathScope&) = delete;

 private:
  bool FWow64, FWin9x;
  TcxAlphaBlendProc FProc;
};

// Largest channel difference of two RGB colours.
int Distance(TColor a, TColor b) {
  int d = 0;
  for (int shift : {0, 8, 16}) d = std::max(d, std::abs(((a >> shift) & 0xFF) - ((b >> shift) & 0xFF)));
  return d;
}

// A 32-bit premultiplied bitmap from rows of pixels (0xAARRGGBB).
TBitmap* MakeBitmap32(int AWidth, int AHeight, const std::vector<DWORD>& APixels) {
  TBitmap* b = cxCreateSizedBitmap(AWidth, AHeight, pf32bit);
  TRGBColors colors(APixels.size());
  for (size_t i = 0; i < APixels.size(); ++i) std::memcpy(&colors[i], &APixels[i], 4);
  cxApplyColorsToBitmap(b, colors, true);
  return b;
}

constexpr TColor kBack = int(RGB(10, 20, 30));
constexpr TColor kGlyph = int(RGB(200, 100, 50));
constexpr TColor kMagenta = clFuchsia;

// A 4 x 4 24-bit glyph: magenta (transparent through its bottom-left pixel)
// with a 2 x 2 block of kGlyph at (1, 1).
TBitmap* MakeGlyph() {
  TBitmap* b = cxCreateSizedBitmap(4, 4, pf24bit);
  b->Canvas()->Brush()->SetColor(kMagenta);
  b->Canvas()->FillRect(TRect(0, 0, 4, 4));
  b->Canvas()->Brush()->SetColor(kGlyph);
  b->Canvas()->FillRect(TRect(1, 1, 3, 3));
  return b;
}

// The graphics start-up finds the system AlphaBlend; its counter makes this
// harmless when the module list has started it already.
class TGraphicsModule : public testing::Environment {
 public:
  void SetUp() override { cxGraphicsInitialize(); }
  void TearDown() override { cxGraphicsFinalize(); }
};
const testing::Environment* const kGraphicsModule =
    testing::AddGlobalTestEnvironment(new TGraphicsModule);

}  // namespace

// ---------------------------------------------------------------------------
// Alpha blending
// ---------------------------------------------------------------------------

TEST(CxRoutinesBlend, EdgeAlphasOnEveryPath) {
  // Premultiplied source pixels with alpha 0, 1, 254 and 255 over (100, 150, 200),
  // each at constant alphas 0, 1, 254 and 255. The blend in memory is exact
  // (single precision, rounded half to even); the others within one step.
  const std::vector<DWORD> source = {0x00000000, 0x01010101, 0xFEFEC864, 0xFF0A141E};
  struct TCase {
    int Pixel;
    Byte ConstantAlpha;
    TColor Expected;
  };
  const TColor back = int(RGB(100, 150, 200));
  const TCase cases[] = {
      {0, 255, back},
      {0, 1, back},
      {1, 255, int(RGB(101, 150, 200))},
      {1, 0, back},
      {2, 254, int(RGB(254, 200, 101))},
      {2, 255, int(RGB(254, 201, 101))},
      {2, 1, int(RGB(101, 150, 200))},
      {3, 255, int(RGB(10, 20, 30))},
      {3, 254, int(RGB(10, 21, 31))},
      {3, 1, int(RGB(100, 149, 199))},
      {3, 0, back},
  };
  TOwned<TBitmap> src(MakeBitmap32(4, 1, source));
  for (TBlendPath path : {bpSystem, bpInMemory, bpGdiPlus}) {
    TBlendPathScope scope(path);
    for (const TCase& c : cases) {
      TDib dib(3, 3, back);
      cxAlphaBlend(dib.DC(), src->Canvas()->Handle(), TRect(1, 1, 2, 2),
                   TRect(c.Pixel, 0, c.Pixel + 1, 1), false, c.ConstantAlpha);
      const int tolerance = path == bpInMemory ? 0 : 1;
      EXPECT_LE(Distance(dib.Pixel(1, 1), c.Expected), tolerance)
          << kPathNames[path] << ": pixel " << c.Pixel << " at " << int(c.ConstantAlpha) << " gave "
          << std::hex << dib.Pixel(1, 1) << " for " << c.Expected;
      // Nothing outside the destination rectangle.
      EXPECT_EQ(dib.Pixel(0, 0), back);
      EXPECT_EQ(dib.Pixel(2, 2), back);
    }
  }
}

TEST(CxRoutinesBlend, ScaledBlendsFillTheDestination) {
  // An opaque 2 x 2 picture blended into 6 x 6, smoothed and plain, on every
  // path: the destination rectangle is covered, nothing around it.
  TOwned<TBitmap> src(MakeBitmap32(2, 2, {0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF}));
  for (TBlendPath path : {bpSystem, bpInMemory, bpGdiPlus})
    for (bool smooth : {false, true}) {
      TBlendPathScope scope(path);
      TDib dib(8, 8, clWhite);
      cxAlphaBlendBitmap(dib.DC(), src.get(), TRect(1, 1, 7, 7), TRect(0, 0, 2, 2), smooth, 255);
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
          const bool inside = x >= 1 && x < 7 && y >= 1 && y < 7;
          if (inside) {
            EXPECT_LE(Distance(dib.Pixel(x, y), clBlue), 8)
                << kPathNames[path] << (smooth ? " smooth " : " ") << x << "," << y;
          } else {
            EXPECT_EQ(dib.Pixel(x, y), clWhite) << kPathNames[path] << " " << x << "," << y;
          }
        }
    }
}

TEST(CxRoutinesBlend, EmptyRectanglesDrawNothingAndLeakNothing) {
  TOwned<TBitmap> src(MakeBitmap32(1, 1, {0xFF0000FF}));
  auto blendAll = [&] {
    for (TBlendPath path : {bpSystem, bpInMemory, bpGdiPlus}) {
      TBlendPathScope scope(path);
      TDib dib(2, 2, clWhite);
      cxAlphaBlend(dib.DC(), src->Canvas()->Handle(), TRect(1, 1, 1, 2), TRect(0, 0, 1, 1));
      cxAlphaBlend(dib.DC(), src->Canvas()->Handle(), TRect(0, 0, 1, 1), TRect(0, 0, 0, 0));
      EXPECT_EQ(dib.Pixel(1, 1), clWhite);
      EXPECT_EQ(dib.Pixel(0, 0), clWhite);
      cxAlphaBlend(dib.DC(), src->Canvas()->Handle(), TRect(0, 0, 2, 2), TRect(0, 0, 1, 1), true);
    }
  };
  blendAll();   // first use may set up process-wide caches
  long before[gokCount];
  for (int k = 0; k < gokCount; ++k) before[k] = GdiAccounting::Live(TGdiObjectKind(k));
  for (int i = 0; i < 3; ++i) blendAll();
  for (int k = 0; k < gokCount; ++k) EXPECT_EQ(GdiAccounting::Live(TGdiObjectKind(k)), before[k]) << k;
}

TEST(CxRoutinesBlend, ARectangleTooLargeForMemoryIsAbsorbed) {
  // 40000 x 40000 pixels would need 6.4 GB for the copy of the destination:
  // the blend in memory draws nothing instead of failing.
  TOwned<TBitmap> src(MakeBitmap32(1, 1, {0xFF0000FF}));
  src->Canvas()->Handle();
  const long before = GdiAccounting::Live();
  {
    TBlendPathScope scope(bpInMemory);
    TDib dib(2, 2, clWhite);
    EXPECT_NO_THROW(cxAlphaBlend(dib.DC(), src->Canvas()->Handle(), TRect(0, 0, 40000, 40000),
                                 TRect(0, 0, 1, 1)));
    EXPECT_EQ(dib.Pixel(0, 0), clWhite);
  }
  EXPECT_EQ(GdiAccounting::Live(), before);
}

// ---------------------------------------------------------------------------
// Image drawing in the six looks
// ---------------------------------------------------------------------------

class CxRoutinesImageDraw : public testing::Test {
 protected:
  void SetUp() override {
    // Known system colours for the looks that use them.
    FColors = std::make_unique<TSysColorsOverride>(std::vector<std::pair<int, COLORREF>>{
        {COLOR_BTNSHADOW, RGB(64, 64, 64)}, {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)}});
    ASSERT_TRUE(FColors->Ok());
    FGlyph.reset(MakeGlyph());
  }
  void TearDown() override { FColors.reset(); }

  // The glyph drawn at (2, 2) of an 8 x 8 picture of kBack.
  TArt Draw(TcxImageDrawMode AMode, const std::vector<std::pair<char, TColor>>& ALegend,
            HBRUSH ABrush = nullptr) {
    TDib dib(8, 8, ABrush ? clWhite : kBack);
    cxDrawImageOnBackground(dib.DC(), TRect(2, 2, 6, 6), TRect(0, 0, 8, 8), FGlyph.get(), nullptr,
                            -1, AMode, false, ABrush, clNone, true);
    std::vector<std::pair<char, TColor>> legend = ALegend;
    legend.push_back({'.', kBack});
    return dib.Map(TRect(0, 0, 8, 8), legend);
  }

  std::unique_ptr<TSysColorsOverride> FColors;
  TOwned<TBitmap> FGlyph;
};

TEST_F(CxRoutinesImageDraw, SixLooksOfAGlyphWithoutAlpha) {
  const TArt block = {"........", "........", "........", "...XX...",
                      "...XX...", "........", "........", "........"};
  struct TCase {
    TcxImageDrawMode Mode;
    TColor Color;   // of the block
  };
  const TCase plain[] = {
      {idmNormal, kGlyph},
      {idmGrayScale, int(RGB(116, 116, 116))},   // (200 + 100 + 50) div 3
      {idmDingy, int(RGB(217, 147, 112))},       // c + MulDiv(255 - c, 3, 10)
      {idmFaded, int(RGB(39, 46, 54))},          // grey 124 at alpha 64 over the background
  };
  for (TBlendPath path : {bpSystem, bpInMemory, bpGdiPlus}) {
    TBlendPathScope scope(path);
    for (const TCase& c : plain) {
      if (path == bpInMemory || c.Mode != idmFaded) {
        EXPECT_EQ(Draw(c.Mode, {{'X', c.Color}}), block) << kPathNames[path] << " mode " << c.Mode;
      } else {
        // The system routines round a fractional blend their own way.
        TDib dib(8, 8, kBack);
        cxDrawImageOnBackground(dib.DC(), TRect(2, 2, 6, 6), TRect(0, 0, 8, 8), FGlyph.get(),
                                nullptr, -1, c.Mode, false, nullptr, clNone, true);
        EXPECT_LE(Distance(dib.Pixel(3, 3), c.Color), 1) << kPathNames[path];
        EXPECT_EQ(dib.Pixel(2, 2), kBack);
      }
    }
    // Disabled without alpha: the block greyed and darkened towards the button
    // shadow, with the highlight-coloured emboss one pixel right and below.
    EXPECT_EQ(Draw(idmDisabled, {{'d', int(RGB(97, 97, 97))}, {'w', clWhite}}),
              (TArt{"........", "........", "........", "...dd...", "...ddw..", "....ww..",
                    "........", "........"}))
        << kPathNames[path];
    // Shadowed: 2 pixels larger, one up and left, the shadow 2 pixels off.
    EXPECT_EQ(Draw(idmShadowed, {{'X', kGlyph}, {'s', int(RGB(64, 64, 64))}}),
              (TArt{"........", "........", "..XX....", "..XX....", "....ss..", "....ss..",
                    "........", "........"}))
        << kPathNames[path];
  }
}

TEST_F(CxRoutinesImageDraw, StretchedIntoALargerGlyphRect) {
  // The 4 x 4 glyph into 8 x 8 at (1, 1): its 2 x 2 block covers (3, 3) - (7, 7).
  // Smoothed, the filters ring (Lanczos overshoots a small block by a third),
  // so there the middle is only nearer the glyph than the background.
  for (TBlendPath path : {bpSystem, bpInMemory, bpGdiPlus})
    for (bool smooth : {false, true}) {
      TBlendPathScope scope(path);
      TDib dib(10, 10, kBack);
      cxDrawImageOnBackground(dib.DC(), TRect(1, 1, 9, 9), TRect(0, 0, 10, 10), FGlyph.get(),
                              nullptr, -1, idmNormal, smooth, nullptr, clNone, true);
      SCOPED_TRACE(testing::Message() << kPathNames[path] << (smooth ? ", smoothed" : ""));
      // GDI+ interpolates even at "low quality": exact pixels only inside.
      const bool exact = !smooth && path != bpGdiPlus;
      for (TPoint p : {TPoint{4, 4}, TPoint{5, 5}, TPoint{4, 5}}) {
        if (smooth) {
          EXPECT_LT(Distance(dib.Pixel(p.X, p.Y), kGlyph), Distance(dib.Pixel(p.X, p.Y), kBack));
        } else {
          EXPECT_EQ(dib.Pixel(p.X, p.Y), kGlyph);
        }
      }
      if (exact) {
        EXPECT_EQ(dib.Pixel(3, 3), kGlyph);
        EXPECT_EQ(dib.Pixel(6, 6), kGlyph);
        EXPECT_EQ(dib.Pixel(2, 2), kBack);
        EXPECT_EQ(dib.Pixel(7, 7), kBack);
      }
      EXPECT_EQ(dib.Pixel(0, 0), kBack);
      EXPECT_EQ(dib.Pixel(9, 9), kBack);
    }
}

TEST_F(CxRoutinesImageDraw, BackgroundFromBrushOrDC) {
  HBRUSH brush = CreateSolidBrush(kBack);
  const TArt block = {"........", "........", "........", "...XX...",
                      "...XX...", "........", "........", "........"};
  EXPECT_EQ(Draw(idmNormal, {{'X', kGlyph}}, brush), block);   // the white DIB is covered
  DeleteObject(brush);

  // No glyph and no valid image: the DC is left untouched.
  TDib dib(8, 8, clWhite);
  cxDrawImageOnBackground(dib.DC(), TRect(2, 2, 6, 6), TRect(0, 0, 8, 8), nullptr, nullptr, -1,
                          idmNormal, false, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  TOwned<TBitmap> empty(Make<TBitmap>());
  cxDrawImageOnBackground(dib.DC(), TRect(2, 2, 6, 6), TRect(0, 0, 8, 8), empty.get(), nullptr, 0,
                          idmNormal, false, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(dib.Pixel(x, y), clWhite);
}

TEST_F(CxRoutinesImageDraw, TransparentColors) {
  // Without the bitmap's own transparent colour the magenta shows, unless it
  // is named as the transparent colour.
  TDib dib(8, 8, kBack);
  cxDrawImageOnBackground(dib.DC(), TRect(2, 2, 6, 6), TRect(0, 0, 8, 8), FGlyph.get(), nullptr, -1,
                          idmNormal, false, nullptr, clNone, false);
  EXPECT_EQ(dib.Pixel(2, 2), kMagenta);
  EXPECT_EQ(dib.Pixel(3, 3), kGlyph);
  dib.Fill(kBack);
  cxDrawImageOnBackground(dib.DC(), TRect(2, 2, 6, 6), TRect(0, 0, 8, 8), FGlyph.get(), nullptr, -1,
                          idmNormal, false, nullptr, kMagenta, false);
  EXPECT_EQ(dib.Pixel(2, 2), kBack);
  // The glyph colour itself named transparent: only magenta is left.
  dib.Fill(kBack);
  cxDrawImageOnBackground(dib.DC(), TRect(2, 2, 6, 6), TRect(0, 0, 8, 8), FGlyph.get(), nullptr, -1,
                          idmNormal, false, nullptr, kGlyph, false);
  EXPECT_EQ(dib.Pixel(3, 3), kBack);
  EXPECT_EQ(dib.Pixel(2, 2), kMagenta);
}

TEST_F(CxRoutinesImageDraw, GlyphWithAlpha) {
  // Premultiplied: opaque (200, 100, 50), half-transparent (100, 50, 20) at
  // 128, and transparent; over kBack.
  TOwned<TBitmap> glyph(MakeBitmap32(3, 1, {0xFFC86432, 0x80643214, 0x00000000}));
  TBlendPathScope scope(bpInMemory);
  TDib dib(3, 1, kBack);
  cxDrawImageOnBackground(dib.DC(), TRect(0, 0, 3, 1), TRect(0, 0, 3, 1), glyph.get(), nullptr, -1,
                          idmNormal, false, nullptr, clNone, true);
  EXPECT_EQ(dib.Pixel(0, 0), kGlyph);
  EXPECT_EQ(dib.Pixel(1, 0), int(RGB(105, 60, 35)));
  EXPECT_EQ(dib.Pixel(2, 0), kBack);   // alpha decides, not the bottom-left colour
  // Disabled with alpha: greyed (0.0729 R + 0.7146 G + 0.2125 B) at alpha 151.
  dib.Fill(kBack);
  cxDrawImageOnBackground(dib.DC(), TRect(0, 0, 3, 1), TRect(0, 0, 3, 1), glyph.get(), nullptr, -1,
                          idmDisabled, false, nullptr, clNone, true);
  EXPECT_EQ(dib.Pixel(0, 0), int(RGB(62, 66, 70)));
  EXPECT_EQ(dib.Pixel(1, 0), int(RGB(35, 42, 49)));
  EXPECT_EQ(dib.Pixel(2, 0), kBack);
}

TEST_F(CxRoutinesImageDraw, ImageListImages) {
  // A platform list (its system images) and the library's list, masked by colour.
  TOwned<TCustomImageList> platformList(Make<TCustomImageList>(nullptr, 4, 4));
  TOwned<TcxImageList> libraryList(Make<TcxImageList>(nullptr));
  libraryList->SetWidth(4);
  libraryList->SetHeight(4);
  TOwned<TBitmap> other(MakeGlyph());
  other->Canvas()->Brush()->SetColor(clBlue);
  other->Canvas()->FillRect(TRect(1, 1, 3, 3));
  platformList->AddMasked(other.get(), kMagenta);
  platformList->AddMasked(FGlyph.get(), kMagenta);
  libraryList->AddMasked(other.get(), kMagenta);
  libraryList->AddMasked(FGlyph.get(), kMagenta);
  for (TCustomImageList* list : {platformList.get(), static_cast<TCustomImageList*>(libraryList.get())}) {
    ASSERT_EQ(list->Count(), 2);
    TDib dib(8, 8, kBack);
    cxDrawImageOnBackground(dib.DC(), TRect(2, 2, 6, 6), TRect(0, 0, 8, 8), nullptr, list, 1,
                            idmNormal, false, nullptr, clNone, true);
    EXPECT_EQ(dib.Map(TRect(0, 0, 8, 8), {{'X', kGlyph}, {'.', kBack}}),
              (TArt{"........", "........", "........", "...XX...", "...XX...", "........",
                    "........", "........"}))
        << list->ClassName();
    // Out of range: nothing.
    dib.Fill(kBack);
    cxDrawImageOnBackground(dib.DC(), TRect(2, 2, 6, 6), TRect(0, 0, 8, 8), nullptr, list, 2,
                            idmNormal, false, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(dib.Pixel(0, 0), kBack);
  }
}

TEST_F(CxRoutinesImageDraw, HookDrawsInstead) {
  static int calls;
  static TRect glyphRect;
  calls = 0;
  TDib dib(8, 8, kBack);
  {
    TScopedHook hook(cxDrawImageHook, [](TCanvas* ACanvas, TCustomImageList*, int, TcxImageDrawMode,
                                         const TRect& R, TBitmap*) {
      ++calls;
      glyphRect = R;
      // The canvas is the library's shared one: it is left as it was found.
      const TColor was = ACanvas->Brush()->Color();
      ACanvas->Brush()->SetColor(clRed);
      ACanvas->FillRect(R);
      ACanvas->Brush()->SetColor(was);
      return true;
    });
    cxDrawImageOnBackground(dib.DC(), TRect(3, 3, 7, 7), TRect(1, 1, 8, 8), FGlyph.get(), nullptr, -1,
                            idmNormal, false, nullptr, clNone, true);
  }
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(glyphRect, TRect(2, 2, 6, 6));   // relative to the background
  EXPECT_EQ(dib.Pixel(3, 3), clRed);
  EXPECT_EQ(dib.Pixel(2, 2), kBack);
}

// ---------------------------------------------------------------------------
// Hatching and masks
// ---------------------------------------------------------------------------

TEST(CxRoutinesHatch, CheckersOfTheStepBlendedOverTheDC) {
  TDib dib(6, 4, clWhite);
  // Colour 1 black at alpha 255, colour 2 red at alpha 0 (leaves the white).
  cxDrawHatchOverDC(dib.DC(), TRect(1, 0, 5, 4), clBlack, clRed, 2, 255, 0);
  EXPECT_EQ(dib.Map(TRect(0, 0, 6, 4), {{'k', clBlack}, {'.', clWhite}}),
            (TArt{"...kk.", "...kk.", ".kk...", ".kk..."}));
}

TEST(CxRoutinesMask, FromTransparentColourOrAlpha) {
  TOwned<TBitmap> glyph(MakeGlyph());
  TOwned<TBitmap> mask(cxCreateSizedBitmap(4, 4, pf24bit));
  cxBuildMaskBitmap(glyph.get(), mask.get());
  TArt art;
  for (int y = 0; y < 4; ++y) {
    std::string row;
    for (int x = 0; x < 4; ++x) row += mask->Canvas()->GetPixel(x, y) == clWhite ? 'w' : 'k';
    art.push_back(row);
  }
  EXPECT_EQ(art, (TArt{"wwww", "wkkw", "wkkw", "wwww"}));

  TOwned<TBitmap> alpha(MakeBitmap32(2, 1, {0xFF102030, 0x00000000}));
  TOwned<TBitmap> mask2(cxCreateSizedBitmap(2, 1, pf24bit));
  cxBuildMaskBitmap(alpha.get(), mask2.get());
  EXPECT_EQ(mask2->Canvas()->GetPixel(0, 0), clBlack);
  EXPECT_EQ(mask2->Canvas()->GetPixel(1, 0), clWhite);
}
