// Times of the drawing routines on the kind of work the main window does:
// scaling its background picture, drawing the toolbar's eleven glyphs and
// its caption row. Prints the median and the fastest of several runs of each.
//
//   graphbench.exe [runs]        (default 15 runs; the picture runs 5 times fewer)
#include "platform/WinApi.h"
#include "tools/common/BenchTiming.h"

#include "foundation/FoundationModules.h"
#include "foundation/cxDrawTextUtils.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxGraphicsImageList.h"
#include "foundation/cxGraphicsRoutines.h"
#include "foundation/dxCore.h"
#include "platform/core/Modules.h"
#include "platform/gui/GuiModules.h"
#include "skins/SkinsModules.h"
#include "skins/dxSkinInfo.h"
#include "skins/dxSkinsCoreDraw.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

// Each timed run is one call of AWork.
void Measure(const char* AName, int ARuns, const std::function<void()>& AWork) {
  BenchMeasure(AName, ARuns, 1, [&](int) { AWork(); });
}

template <class T>
void Free(T*& AObject) {
  TObject::Free(AObject);
  AObject = nullptr;
}

// A picture with gradients, edges and fine detail (the filter's work does not
// depend on the content, but a flat picture would hide mistakes).
TBitmap* MakePicture(int AWidth, int AHeight) {
  TBitmap* b = cxCreateSizedBitmap(AWidth, AHeight, pf32bit);
  TRGBColors colors(size_t(AWidth) * AHeight);
  for (int y = 0; y < AHeight; ++y)
    for (int x = 0; x < AWidth; ++x) {
      const int stripe = ((x / 40 + y / 40) & 1) ? 40 : 0;
      colors[size_t(y) * AWidth + x] = RGBQUAD{Byte(x * 255 / AWidth), Byte(y * 255 / AHeight),
                                               Byte(stripe + (x ^ y) % 160), 255};
    }
  cxApplyColorsToBitmap(b, colors, true);
  return b;
}

// A 16 x 16 premultiplied glyph: a soft-edged disc in one of eleven hues.
TBitmap* MakeGlyph(int AHue) {
  TBitmap* b = cxCreateSizedBitmap(16, 16, pf32bit);
  TRGBColors colors(256);
  const int r = 60 + AHue * 17, g = 200 - AHue * 13, bl = 40 + AHue * 19;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const double d = std::hypot(x - 7.5, y - 7.5);
      const int a = d < 6 ? 255 : d < 8 ? int(255 * (8 - d) / 2) : 0;
      colors[size_t(y) * 16 + x] = RGBQUAD{Byte(bl % 256 * a / 255), Byte(g % 256 * a / 255),
                                           Byte(r % 256 * a / 255), Byte(a)};
    }
  cxApplyColorsToBitmap(b, colors, true);
  return b;
}

const wchar_t* const kCaptions[] = {L"订单查询", L"订单管理", L"生产排单", L"生产用料统计",
                                    L"材料库",   L"五金件",   L"封边带",   L"工艺设置",
                                    L"修改密码", L"远程协助", L"退出系统"};

// Forces one alpha-blend path for the life of the object.
class TBlendPath {
 public:
  TBlendPath(bool AWow64, bool AWithSystemBlend)
      : FWow64(dxIsWow64Process), FProc(cxGetAlphaBlendProc()) {
    dxIsWow64Process = AWow64;
    if (!AWithSystemBlend) cxSetAlphaBlendProc(nullptr);
  }
  ~TBlendPath() {
    dxIsWow64Process = FWow64;
    cxSetAlphaBlendProc(FProc);
  }

 private:
  bool FWow64;
  TcxAlphaBlendProc FProc;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 15;
  std::vector<TModuleStep> steps;
  for (auto list : {PlatformCoreModules(), PlatformGuiModules(), FoundationModulesBeforeSkins(), SkinsEngineModules(),
                    FoundationModulesAfterSkins(), SkinsPainterModules()})
    steps.insert(steps.end(), list.begin(), list.end());
  InitializeModules(steps);
  // Harmless when the module list started it already (a counter guards it).
  cxGraphicsInitialize();

  std::printf("graphbench: %d runs each (picture: %d); WoW64 %s, system AlphaBlend %s\n", runs,
              std::max(1, runs / 5), dxIsWow64Process ? "yes" : "no",
              cxGetAlphaBlendProc() ? "present" : "missing");

  // ---- The background picture, 1600 x 862 to 1920 x 1050.
  {
    TBitmap* picture = MakePicture(1600, 862);
    TBitmap* scaled = cxCreateSizedBitmap(1920, 1050, pf32bit);
    const int pictureRuns = std::max(1, runs / 5);
    Measure("resample 1600x862 -> 1920x1050, Lanczos-3 (bitmaps)", pictureRuns,
            [&] { cxResampleBitmap(picture, scaled, true); });
    TRGBColors source;
    cxReadBitmapColors(picture, false, source);
    TRGBColors dest(size_t(1920) * 1050);
    Measure("resample 1600x862 -> 1920x1050, Lanczos-3 (pixels only)", pictureRuns,
            [&] { cxResamplePixels(source.data(), 1600, 862, dest.data(), 1920, 1050); });
    Measure("resample 1600x862 -> 1920x1050, platform halftone", pictureRuns,
            [&] { cxResampleBitmap(picture, scaled, false); });
    Free(picture);
    Free(scaled);
  }

  // ---- Eleven 16 x 16 glyphs on a toolbar strip, each in a 24 x 22 cell.
  {
    std::vector<TBitmap*> glyphs;
    for (int i = 0; i < 11; ++i) glyphs.push_back(MakeGlyph(i));
    TBitmap* strip = cxCreateSizedBitmap(11 * 24, 22, pf32bit);
    strip->Canvas()->Brush()->SetColor(0xF0E0D0);
    strip->Canvas()->FillRect(TRect(0, 0, 11 * 24, 22));
    HDC dc = strip->Canvas()->Handle();
    auto drawGlyphs = [&](TcxImageDrawMode AMode) {
      for (int i = 0; i < 11; ++i) {
        const TRect cell(i * 24, 0, i * 24 + 24, 22);
        const TRect glyph(cell.Left + 4, 3, cell.Left + 20, 19);
        cxDrawImageOnBackground(dc, glyph, cell, glyphs[size_t(i)], nullptr, -1, AMode);
      }
    };
    const int glyphRuns = runs * 20;
    Measure("11 glyphs, cxDrawImageOnBackground normal (default path)", glyphRuns,
            [&] { drawGlyphs(idmNormal); });
    Measure("11 glyphs, cxDrawImageOnBackground disabled (default path)", glyphRuns,
            [&] { drawGlyphs(idmDisabled); });
    {
      TBlendPath path(false, true);
      Measure("11 glyphs, cxDrawImageOnBackground normal (system AlphaBlend)", glyphRuns,
              [&] { drawGlyphs(idmNormal); });
    }
    {
      TBlendPath path(false, false);
      Measure("11 glyphs, cxDrawImageOnBackground normal (blend per pixel)", glyphRuns,
              [&] { drawGlyphs(idmNormal); });
    }
    TcxImageList* list = Make<TcxImageList>(nullptr, 16, 16);
    for (TBitmap* g : glyphs) list->Add(g, nullptr);
    Measure("11 glyphs, TcxImageList::Draw (default path)", glyphRuns, [&] {
      for (int i = 0; i < 11; ++i)
        list->Draw(strip->Canvas(), TRect(i * 24 + 4, 3, i * 24 + 20, 19), i, false, false, true);
    });
    Free(list);
    for (TBitmap* g : glyphs) TObject::Free(g);
    Free(strip);
  }

  // ---- The caption row: eleven captions in "微软雅黑" -12, measured, laid out and drawn.
  {
    TBitmap* row = cxCreateSizedBitmap(1200, 24, pf32bit);
    TCanvas* canvas = row->Canvas();
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(TRect(0, 0, 1200, 24));
    canvas->Font()->SetName(L"微软雅黑");
    canvas->Font()->SetHeight(-12);
    HDC dc = canvas->Handle();
    SetBkMode(dc, TRANSPARENT);
    const int textRuns = runs * 20;
    Measure("caption row, DrawTextW (measure + draw 11 captions)", textRuns, [&] {
      int x = 2;
      for (const wchar_t* caption : kCaptions) {
        RECT r{x, 0, x, 24};
        DrawTextW(dc, caption, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        const int width = r.right - r.left;
        r = RECT{x, 0, x + width, 24};
        DrawTextW(dc, caption, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        x += width + 30;
      }
    });
    const int format = cxTextFormat::SingleLine | (taCenterY << cxTextFormat::AlignYShift);
    Measure("caption row, cxRenderTextBlock (measure + draw 11 captions)", textRuns, [&] {
      int x = 2;
      for (const wchar_t* caption : kCaptions) {
        TRect r(x, 0, x + 400, 24);
        cxRenderTextBlock(dc, caption, r, format | cxTextFormat::CalcRect);
        const int width = r.Width();
        TRect cell(x, 0, x + width, 24);
        cxRenderTextBlock(dc, caption, cell, format);
        x += width + 30;
      }
    });
    Free(row);
  }

  // ---- The built-in skin: its whole load at start-up (stream, then resolving), and a
  // 24 x 22 button element in each state, drawn anew and from an element cache.
  if (dxIsGdiPlusReady()) {
    Measure("skin: load the built-in skin and resolve it", runs, [] {
      TdxSkin* skin = Make<TdxSkin>(L"DefaultUserSkinData", true, GetModuleHandleW(nullptr));
      TObject::Free(Make<TdxSkinInfo>(skin));
    });
    TdxSkinInfo* info = Make<TdxSkinInfo>(Make<TdxSkin>(L"DefaultUserSkinData", true, GetModuleHandleW(nullptr)));
    TBitmap* strip = cxCreateSizedBitmap(24 * 5, 22, pf32bit);
    HDC dc = strip->Canvas()->Handle();
    const TdxSkinElementState states[] = {esNormal, esHot, esPressed, esDisabled, esActive};
    const char* const names[] = {"normal", "hot", "pressed", "disabled", "active"};
    TdxSkinElementCacheList* caches = Make<TdxSkinElementCacheList>();
    char name[96];
    for (int i = 0; i < 5; ++i) {
      const TRect r(i * 24, 0, i * 24 + 24, 22);
      std::snprintf(name, sizeof name, "skin: button 24x22 %s, drawn anew", names[i]);
      Measure(name, runs * 20, [&] { info->ButtonElements->Draw(dc, r, 0, states[i]); });
      std::snprintf(name, sizeof name, "skin: button 24x22 %s, from the cache", names[i]);
      Measure(name, runs * 20, [&] { caches->DrawElement(dc, info->ButtonElements, r, states[i]); });
    }
    TObject::Free(caches);
    Free(strip);
    TObject::Free(info);
  }

  cxGraphicsFinalize();
  FinalizeModules();
  return 0;
}
