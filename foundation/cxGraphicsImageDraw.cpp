// Alpha blending with its three paths, the image drawing in six looks through
// the shared alpha bitmaps, hatching and masks.
#include "platform/WinApi.h"

#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsImageList.h"
#include "foundation/cxGraphicsRoutines.h"
#include "foundation/dxCore.h"
#include "foundation/dxGDIPlusAPI.h"
#include "foundation/dxGDIPlusClasses.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/ImgList.h"

#include <cstring>
#include <memory>

TcxDrawImageHook cxDrawImageHook = nullptr;

namespace {

constexpr GpInterpolationMode cxInterpolationLowQuality = 1;
constexpr GpInterpolationMode cxInterpolationHighQualityBicubic = 7;

// A 32-bit DIB section in its own memory DC. The blending paths need a few of
// these per call; platform bitmaps would cost far more to make. Rows are
// bottom-up in memory, the order of the resampler's pixel arrays.
class TSurface {
 public:
  TSurface(int AWidth, int AHeight) : FWidth(AWidth), FHeight(AHeight) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = AWidth;
    info.bmiHeader.biHeight = AHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    FDC = GdiCreateCompatibleDC(nullptr);
    void* bits = nullptr;
    if (FDC) FBitmap = GdiCreateDIBSection(FDC, &info, &bits);
    if (!FBitmap || !bits) {
      Release();
      return;
    }
    FPixels = static_cast<RGBQUAD*>(bits);
    FOld = SelectObject(FDC, FBitmap);
  }
  // False when the system could not make the surface (too large, out of
  // resources); the blend then draws nothing, as a failed GDI call would.
  bool Ok() const { return FPixels != nullptr; }
  ~TSurface() { Release(); }
  TSurface(const TSurface&) = delete;
  TSurface& operator=(const TSurface&) = delete;

  HDC DC() const { return FDC; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  RGBQUAD* Pixels() {
    GdiFlush();
    return FPixels;
  }
  size_t Count() const { return size_t(FWidth) * size_t(FHeight); }

 private:
  void Release() {
    if (FDC && FOld) SelectObject(FDC, FOld);
    if (FBitmap) GdiDeleteObject(FBitmap);
    if (FDC) GdiDeleteDC(FDC);
    FBitmap = nullptr;
    FDC = nullptr;
  }
  int FWidth, FHeight;
  HDC FDC = nullptr;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOld = nullptr;
  RGBQUAD* FPixels = nullptr;
};

// A copy of the DC's pixels under R over black (a fresh DIB section is all 0).
std::unique_ptr<TSurface> CopyOfRect(HDC ADC, const TRect& R) {
  auto result = std::make_unique<TSurface>(R.Width(), R.Height());
  if (result->Ok()) BitBlt(result->DC(), 0, 0, R.Width(), R.Height(), ADC, R.Left, R.Top, SRCCOPY);
  return result;
}

BLENDFUNCTION SourceOver(Byte AConstantAlpha) {
  BLENDFUNCTION blend{};
  blend.BlendOp = AC_SRC_OVER;
  blend.SourceConstantAlpha = AConstantAlpha;
  blend.AlphaFormat = AC_SRC_ALPHA;
  return blend;
}

// As a GDI+ image of a 32-bit bitmap: premultiplied when some pixel has alpha,
// opaque when none has but some has colour (a picture without alpha).
bool CarriesAlpha(const RGBQUAD* APixels, size_t ACount) {
  bool anyColor = false;
  for (size_t i = 0; i < ACount; ++i) {
    if (APixels[i].rgbReserved != 0) return true;
    if (APixels[i].rgbBlue | APixels[i].rgbGreen | APixels[i].rgbRed) anyColor = true;
  }
  return !anyColor;
}

// GDI+ draws the premultiplied copy with the wanted interpolation. False when
// there is no GDI+ image to draw with (the caller then blends by itself).
bool BlendThroughGdiPlus(HDC ADestDC, TSurface& ASource, const TRect& ADestRect, bool ASmoothing,
                         Byte AConstantAlpha) {
  if (!dxIsGdiPlusReady()) return false;
  // GDI+ takes the rows top row first.
  const int width = ASource.Width(), height = ASource.Height();
  const RGBQUAD* pixels = ASource.Pixels();
  TdxRGBColors bits(ASource.Count());
  for (int y = 0; y < height; ++y)
    std::memcpy(&bits[size_t(y) * width], pixels + size_t(height - 1 - y) * width, size_t(width) * 4);
  std::unique_ptr<TdxGPImage, void (*)(TdxGPImage*)> image(
      TdxGPImage::CreateFromPattern(width, height, bits, CarriesAlpha(bits.data(), bits.size())),
      [](TdxGPImage* AImage) { TObject::Free(AImage); });
  if (!image || !image->HandleAllocated()) return false;
  GpGraphics* graphics = nullptr;
  if (GdipCreateFromHDC(ADestDC, &graphics) != GpOk || !graphics) return true;
  try {
    GpInterpolationMode oldMode = 0;
    dxGpCheckStatus(GdipGetInterpolationMode(graphics, &oldMode));
    dxGpCheckStatus(GdipSetInterpolationMode(
        graphics, ASmoothing ? cxInterpolationHighQualityBicubic : cxInterpolationLowQuality));
    image->DrawEx(graphics, ADestRect, image->ClientRect(), AConstantAlpha);
    dxGpCheckStatus(GdipSetInterpolationMode(graphics, oldMode));
  } catch (...) {
    GdipDeleteGraphics(graphics);
    throw;
  }
  dxGpCheckStatus(GdipDeleteGraphics(graphics));
  return true;
}

// Scales the source copy to the destination's size and blends it onto a copy
// of the destination, which then goes back in one copy.
void BlendInMemory(HDC ADestDC, TSurface& ASource, const TRect& ADestRect, bool ASmoothing,
                   Byte AConstantAlpha) {
  const int width = ADestRect.Width(), height = ADestRect.Height();
  std::unique_ptr<TSurface> dest = CopyOfRect(ADestDC, ADestRect);
  if (!dest->Ok()) return;
  std::unique_ptr<TSurface> scaledHolder;
  TSurface* scaled = &ASource;   // a stretch to the same size is a plain copy
  if (ASmoothing || ASource.Width() != width || ASource.Height() != height) {
    scaledHolder = std::make_unique<TSurface>(width, height);
    scaled = scaledHolder.get();
    if (!scaled->Ok()) return;
    if (ASmoothing)
      cxResamplePixels(ASource.Pixels(), ASource.Width(), ASource.Height(), scaled->Pixels(), width,
                       height);
    else
      StretchBlt(scaled->DC(), 0, 0, width, height, ASource.DC(), 0, 0, ASource.Width(),
                 ASource.Height(), SRCCOPY);
  }
  if (TcxAlphaBlendProc alphaBlend = cxGetAlphaBlendProc()) {
    alphaBlend(dest->DC(), 0, 0, width, height, scaled->DC(), 0, 0, width, height,
               SourceOver(AConstantAlpha));
  } else {
    RGBQUAD* d = dest->Pixels();
    const RGBQUAD* s = scaled->Pixels();
    for (size_t i = 0, n = dest->Count(); i < n; ++i) cxBlendPixelOver(d[i], s[i], AConstantAlpha);
  }
  BitBlt(ADestDC, ADestRect.Left, ADestRect.Top, width, height, dest->DC(), 0, 0, SRCCOPY);
}

}  // namespace

void cxAlphaBlend(HDC ADestDC, HDC ASrcDC, const TRect& ADestRect, const TRect& ASrcRect,
                  bool ASmoothImage, Byte AConstantAlpha) {
  if (ADestRect.IsEmpty() || ASrcRect.IsEmpty()) return;
  const bool smoothing = ASmoothImage && !cxSameRectSize(ADestRect, ASrcRect);
  const TcxAlphaBlendProc alphaBlend = cxGetAlphaBlendProc();
  if (!dxIsWow64Process && !dxIsWin9xPlatform && alphaBlend && !smoothing) {
    alphaBlend(ADestDC, ADestRect.Left, ADestRect.Top, ADestRect.Width(), ADestRect.Height(),
               ASrcDC, ASrcRect.Left, ASrcRect.Top, ASrcRect.Width(), ASrcRect.Height(),
               SourceOver(AConstantAlpha));
    return;
  }
  std::unique_ptr<TSurface> source = CopyOfRect(ASrcDC, ASrcRect);
  if (!source->Ok()) return;
  // Without GDI+ the WoW64 path would draw nothing; blend by hand instead.
  if (dxIsWow64Process &&
      BlendThroughGdiPlus(ADestDC, *source, ADestRect, smoothing, AConstantAlpha))
    return;
  BlendInMemory(ADestDC, *source, ADestRect, smoothing, AConstantAlpha);
}

void cxAlphaBlendBitmap(HDC ADestDC, TBitmap* ASource, const TRect& ADestRect,
                        const TRect& ASrcRect, bool ASmoothImage, Byte AConstantAlpha) {
  if (!ASource) return;
  cxAlphaBlend(ADestDC, ASource->Canvas()->Handle(), ADestRect, ASrcRect, ASmoothImage,
               AConstantAlpha);
}

void cxDrawImageOnBackground(HDC ADC, const TRect& AGlyphRect, const TRect& ABackgroundRect,
                             TBitmap* AGlyph, TCustomImageList* AImages, int AImageIndex,
                             TcxImageDrawMode ADrawMode, bool ASmoothImage, HBRUSH ABrush,
                             TColor ATransparentColor, bool AUseBitmapTransparentColor) {
  const bool hasGlyph = cxHasBitmapContent(AGlyph);
  if (!hasGlyph && !cxIsValidImageIndex(AImages, AImageIndex)) return;
  if (ABackgroundRect.IsEmpty()) return;

  // The background, composed in memory so that the DC gets one copy.
  TcxAlphaBitmap* draw = cxGetDrawBitmap(ABackgroundRect.Width(), ABackgroundRect.Height());
  const TRect drawRect = draw->ClientRect();
  HDC drawDC = draw->Canvas()->Handle();
  if (ABrush)
    FillRect(drawDC, reinterpret_cast<const RECT*>(&drawRect), ABrush);
  else
    cxCopyDCRect(drawDC, ADC, drawRect, ABackgroundRect.TopLeft());

  TRect glyphRect(AGlyphRect.Left - ABackgroundRect.Left, AGlyphRect.Top - ABackgroundRect.Top,
                  AGlyphRect.Right - ABackgroundRect.Left, AGlyphRect.Bottom - ABackgroundRect.Top);
  if (!(cxDrawImageHook &&
        cxDrawImageHook(draw->Canvas(), AImages, AImageIndex, ADrawMode, glyphRect, AGlyph))) {
    // The image, with alpha or made opaque.
    const int width = hasGlyph ? AGlyph->Width() : AImages->Width();
    const int height = hasGlyph ? AGlyph->Height() : AImages->Height();
    TcxAlphaBitmap* image = cxGetImageBitmap(width, height);
    TcxAlphaBitmap* mask = cxGetMaskBitmap(width, height);
    bool alphaPossible = true;
    if (hasGlyph) {
      image->CopyBitmap(AGlyph);
      alphaPossible = cxBitmapBitsPerPixel(AGlyph) == 32;
    } else if (auto* list = dynamic_cast<TcxImageList*>(AImages)) {
      // The library's list keeps every image with its alpha in its records.
      list->GetImageInfo(AImageIndex, image, nullptr);
    } else {
      TcxImageList::GetImageInfo(AImages->Handle(), AImageIndex, image, nullptr);
      alphaPossible = TcxImageList::GetPixelFormat(AImages->Handle()) == 32;
    }
    const bool hasAlpha = alphaPossible && image->IsAlphaUsed();
    if (!hasAlpha) image->MakeOpaque();

    // The mask: white where the image is transparent.
    mask->CopyBitmap(image);
    if (!hasAlpha) {
      if (!hasGlyph) {
        // The system list's mask, white where transparent, clears those pixels.
        TcxAlphaBitmap* filter = Make<TcxAlphaBitmap>(width, height);
        try {
          TcxImageList::GetImageInfo(AImages->Handle(), AImageIndex, nullptr, filter);
          filter->TransformBitmap(btmCorrectBlend);
          mask->Filter(filter);
        } catch (...) {
          TObject::Free(filter);
          throw;
        }
        TObject::Free(filter);
      }
      if (ATransparentColor != clNone) mask->TransparentPixels()->Add(ATransparentColor);
      if (AUseBitmapTransparentColor && hasGlyph)
        mask->TransparentPixels()->Add(mask->Canvas()->GetPixel(0, height - 1));
    }
    mask->TransformBitmap(btmMakeMask);

    // Masked pixels become 0 (transparent).
    image->Filter(mask);

    // The look, and the opacity it is blended at.
    Byte constantAlpha = 255;
    switch (ADrawMode) {
      case idmNormal:
        break;
      case idmDisabled:
        if (hasAlpha) {
          image->TransformBitmap(btmDisable);
          constantAlpha = 151;
        } else {
          image->TransformBitmap(btmDirty);
          image->DrawShadow(mask, 1, clBtnHighlight, false);
        }
        break;
      case idmFaded:
        image->TransformBitmap(btmFade);
        constantAlpha = 64;
        break;
      case idmGrayScale:
        image->TransformBitmap(btmGrayScale);
        break;
      case idmDingy:
        image->TransformBitmap(btmDingy);
        break;
      case idmShadowed:
        image->DrawShadow(mask, 2, clBtnShadow, true);
        glyphRect = TRect(glyphRect.Left - 1, glyphRect.Top - 1, glyphRect.Right + 1,
                          glyphRect.Bottom + 1);
        break;
    }

    image->AlphaBlend(draw, glyphRect, ASmoothImage, constantAlpha);
  }

  cxBlitBitmapToDC(ADC, draw, ABackgroundRect, SRCCOPY);
}

void cxDrawHatchOverDC(HDC ADC, const TRect& R, TColor AColor1, TColor AColor2, Byte AStep,
                       Byte AAlpha1, Byte AAlpha2) {
  if (R.IsEmpty()) return;
  TcxAlphaBitmap* bitmap = Make<TcxAlphaBitmap>(R.Width(), R.Height());
  try {
    cxCopyDCRect(bitmap->Canvas()->Handle(), ADC, bitmap->ClientRect(), R.TopLeft());
    bitmap->DrawHatch(AColor1, AColor2, AStep, AAlpha1, AAlpha2);
    cxCopyDCRect(ADC, bitmap->Canvas()->Handle(), R, TPoint{0, 0});
  } catch (...) {
    TObject::Free(bitmap);
    throw;
  }
  TObject::Free(bitmap);
}

void cxBuildMaskBitmap(TBitmap* ASource, TBitmap* ADest) {
  if (!ASource || !ADest) return;
  TcxAlphaBitmap* mask = Make<TcxAlphaBitmap>(ASource->Width(), ASource->Height());
  try {
    mask->CopyBitmap(ASource);
    if (!mask->IsAlphaUsed()) mask->RecoverAlphaChannel(ASource->TransparentColor());
    mask->TransformBitmap(btmMakeMask);
    cxCopyDCRect(ADest->Canvas()->Handle(), mask->Canvas()->Handle(), mask->ClientRect(),
                 TPoint{0, 0});
  } catch (...) {
    TObject::Free(mask);
    throw;
  }
  TObject::Free(mask);
}
