#include "skins/dxSkinsCoreDraw.h"

#include "foundation/cxGeometry.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsRoutines.h"
#include "foundation/dxGDIPlusClasses.h"
#include "foundation/dxOffice11.h"
#include "platform/gui/GdiAccounting.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_CLASS(TdxSkinCanvas, TObject, nullptr)
IMPLEMENT_CLASS(TdxSkinElementCache, TObject, nullptr)
IMPLEMENT_CLASS(TdxSkinElementCacheList, TcxObjectList, nullptr)
IMPLEMENT_CLASS(TdxSkinPartStream, TStream, nullptr)

namespace {

const RECT* AsRECT(const TRect& R) { return reinterpret_cast<const RECT*>(&R); }

constexpr GpStatus GpNotImplemented = 6;
int renderCount = 0;

// A GDI+ status that this GDI+ does not implement is not a fault of ours: the
// element is drawn through GDI instead (TGdiFallback, caught by the drawing).
struct TGdiFallback {};

void CheckStatus(GpStatus AStatus) {
  if (AStatus == GpNotImplemented) throw TGdiFallback();
  dxGpCheckStatus(AStatus);
}

void GdiFillRect(HDC DC, const TRect& R, TColor AColor) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(AColor));
  FillRect(DC, AsRECT(R), brush);
  DeleteObject(brush);
}

// The source part of the texture stretched to the destination through GDI.
void GdiDrawPart(HDC DC, TBitmap* ABitmap, const TRect& ADest, const TRect& ASource) {
  if (ADest.IsEmpty() || ASource.IsEmpty()) return;
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  GdiAlphaBlend(DC, ADest.Left, ADest.Top, ADest.Width(), ADest.Height(), ABitmap->Canvas()->Handle(),
                ASource.Left, ASource.Top, ASource.Width(), ASource.Height(), blend);
}

void GdiDrawImage(HDC DC, TdxSkinImage* AImage, const TRect& R, int AImageIndex, TdxSkinElementState AState) {
  if (AImage->Empty()) {
    if (AImage->GradientBeginColor() != clNone) GdiFillRect(DC, R, AImage->GradientBeginColor());
    return;
  }
  TObjectPtr<TBitmap> bitmap(AImage->Texture()->GetAsBitmap());
  if (!bitmap) return;
  const TRect source = AImage->StateBounds(AImageIndex, AState);
  if (AImage->Stretch() == smNoResize) {
    GdiDrawPart(DC, bitmap.get(), cxCenterSizeInRect(R, source.Width(), source.Height()), source);
    return;
  }
  TdxSkinPartsVisibility visibility;
  std::fill(std::begin(visibility), std::end(visibility), true);
  TdxSkinNineParts sourceParts, destParts;
  dxSkinCutNineParts(source, AImage->Margins(), false, visibility, sourceParts);
  dxSkinCutNineParts(R, AImage->Margins(), true, visibility, destParts);
  for (int i = 0; i < 9; ++i)
    if (visibility[i]) GdiDrawPart(DC, bitmap.get(), destParts[i], sourceParts[i]);
}

}  // namespace

// ---------------------------------------------------------------------------
// Nine-part cut
// ---------------------------------------------------------------------------

void dxSkinCutNineParts(const TRect& R, const TRect& AMargins, bool AShrink, TdxSkinPartsVisibility& AVisibility,
                        TdxSkinNineParts& AParts) {
  int mL = AMargins.Left, mT = AMargins.Top, mR = AMargins.Right, mB = AMargins.Bottom;
  auto shrink = [](int& a, int& b, int extent) {
    const int excess = a + b - extent;
    if (excess <= 0 || a + b <= 0) return;
    const int sum = a + b;
    a -= MulDiv(a, excess, sum);
    b -= MulDiv(b, excess, sum);
  };
  if (AShrink) {
    shrink(mL, mR, R.Width());
    shrink(mT, mB, R.Height());
  }
  const int x1 = std::min(R.Left + mL, R.Right);
  const int x2 = std::clamp(R.Right - mR, x1, std::max(x1, R.Right));
  const int y1 = std::min(R.Top + mT, R.Bottom);
  const int y2 = std::clamp(R.Bottom - mB, y1, std::max(y1, R.Bottom));
  const int xs[4] = {R.Left, x1, x2, R.Right};
  const int ys[4] = {R.Top, y1, y2, R.Bottom};
  for (int column = 0; column < 3; ++column)
    for (int row = 0; row < 3; ++row) {
      const int part = column * 3 + row;
      if (!AVisibility[part]) {
        AParts[part] = TRect();
        continue;
      }
      AParts[part] = TRect(xs[column], ys[row], xs[column + 1], ys[row + 1]);
      if (AParts[part].IsEmpty()) AVisibility[part] = false;
    }
}

// ---------------------------------------------------------------------------
// TdxSkinCanvas
// ---------------------------------------------------------------------------

TdxSkinCanvas::~TdxSkinCanvas() {
  if (FGraphics || FBuffer) EndPaint();
}

bool TdxSkinCanvas::IsDoubleBufferNeeded(HDC DC) {
  return GetDeviceCaps(DC, NUMCOLORS) > 1 || GetDeviceCaps(DC, BITSPIXEL) <= 16;
}

bool TdxSkinCanvas::IsRectVisible(HDC DC, const TRect& R) {
  return R.Width() > 0 && R.Height() > 0 && RectVisible(DC, AsRECT(R));
}

void TdxSkinCanvas::BeginPaint(HDC DC, const TRect& R) {
  FRect = R;
  FSourceDC = DC;
  FDC = DC;
  if (IsDoubleBufferNeeded(DC)) {
    FBuffer = Make<TcxBitmap>(R.Width(), R.Height(), pf32bit);
    HDC bufferDC = FBuffer->Canvas()->Handle();
    cxCopyDCRect(bufferDC, DC, TRect(0, 0, R.Width(), R.Height()), R.TopLeft());
    SetWindowOrgEx(bufferDC, R.Left, R.Top, nullptr);
    FDC = bufferDC;
  }
  FGraphics = nullptr;
  if (dxIsGdiPlusReady() && GdipCreateFromHDC(FDC, &FGraphics) != GpOk) FGraphics = nullptr;
}

void TdxSkinCanvas::BeginPaintEx(GpGraphics* AGraphics, const TRect& R) {
  FRect = R;
  FSourceDC = nullptr;
  FDC = nullptr;
  FGraphics = AGraphics;
}

void TdxSkinCanvas::EndPaint() {
  if (FGraphics) GdipDeleteGraphics(FGraphics);
  FGraphics = nullptr;
  if (FBuffer) {
    HDC bufferDC = FBuffer->Canvas()->Handle();
    SetWindowOrgEx(bufferDC, 0, 0, nullptr);
    const int saved = SaveDC(FSourceDC);
    BitBlt(FSourceDC, FRect.Left, FRect.Top, FRect.Width(), FRect.Height(), bufferDC, 0, 0, SRCCOPY);
    RestoreDC(FSourceDC, saved);
    FreeAndNil(FBuffer);
  }
  FDC = nullptr;
  FSourceDC = nullptr;
}

void TdxSkinCanvas::SetInterpolationMode(GpInterpolationMode AMode) {
  if (FGraphics) CheckStatus(GdipSetInterpolationMode(FGraphics, AMode));
}

void TdxSkinCanvas::FillRectByColor(const TRect& R, TColor AColor) {
  if (R.IsEmpty()) return;
  if (FDC && !FGraphics) return GdiFillRect(FDC, R, AColor);
  if (!FGraphics) return;
  HDC dc = nullptr;
  if (GdipGetDC(FGraphics, &dc) == GpOk && dc) {
    GdiFillRect(dc, R, AColor);
    GdipReleaseDC(FGraphics, dc);
    return;
  }
  // A graphics on a GDI+ bitmap without a device context of its own.
  GpBrush* brush = nullptr;
  CheckStatus(GdipCreateSolidFill(dxMakeGpColor(AColor), &brush));
  const GpStatus status = GdipFillRectangleI(FGraphics, brush, R.Left, R.Top, R.Width(), R.Height());
  GdipDeleteBrush(brush);
  CheckStatus(status);
}

void TdxSkinCanvas::FillRectByBrush(const TRect& R, GpBrush* ABrush, TColor AFallbackColor) {
  if (!FGraphics || !ABrush) return FillRectByColor(R, AFallbackColor);
  CheckStatus(GdipFillRectangleI(FGraphics, ABrush, R.Left, R.Top, R.Width(), R.Height()));
}

void TdxSkinCanvas::FillRectByGradient(const TRect& R, TColor AColor1, TColor AColor2, TdxSkinGradientMode AMode) {
  if (R.IsEmpty()) return;
  if (AColor2 == AColor1 || AColor2 == clNone || AColor2 == clDefault) return FillRectByColor(R, AColor1);
  if (AMode == gmHorizontal || AMode == gmVertical) {
    HDC dc = FDC && !FGraphics ? FDC : nullptr;
    bool release = false;
    if (!dc && FGraphics && GdipGetDC(FGraphics, &dc) == GpOk && dc) release = true;
    if (dc) {
      dxFillGradientRect(dc, R, AColor1, AColor2, AMode == gmHorizontal);
      if (release) GdipReleaseDC(FGraphics, dc);
      return;
    }
  }
  if (!FGraphics) return FillRectByColor(R, AColor1);
  dxGpFillGradientRect(FGraphics, R, dxMakeGpColor(AColor1), dxMakeGpColor(AColor2),
                       AMode == gmForwardDiagonal ? 2 : AMode == gmBackwardDiagonal ? 3 : AMode == gmVertical ? 1 : 0);
}

void TdxSkinCanvas::DrawImage(TdxPNGImage* AImage, const TRect& ADest, const TRect& ASource) {
  SetInterpolationMode(InterpolationModeNearestNeighbor);
  StretchPart(AImage, ADest, ASource);
}

void TdxSkinCanvas::StretchPart(TdxPNGImage* AImage, const TRect& ADest, const TRect& ASource) {
  if (!FGraphics) throw TGdiFallback();
  GpImage* image = AImage->Handle() ? AImage->Handle()->Handle() : nullptr;
  int sw = ASource.Width(), sh = ASource.Height();
  const int dw = ADest.Width(), dh = ADest.Height();
  if (!image || sw < 1 || sh < 1 || dw < 1 || dh < 1 || !dxGpIsRectVisible(FGraphics, ADest)) return;
  // As the picture class draws: stretching up would blend in the pixels beyond the source.
  if (sw < dw && sw > 1) --sw;
  if (sh < dh && sh > 1) --sh;
  CheckStatus(GdipDrawImageRectRectI(FGraphics, image, ADest.Left, ADest.Top, dw, dh, ASource.Left, ASource.Top, sw,
                                     sh, UnitPixel, nullptr, nullptr, nullptr));
}

void TdxSkinCanvas::TilePart(TdxPNGImage* AImage, const TRect& D, const TRect& S) {
  if (S.IsEmpty() || !FGraphics || !dxGpIsRectVisible(FGraphics, D)) return;
  GpImage* texture = AImage->Handle() ? AImage->Handle()->Handle() : nullptr;
  if (!texture) return;
  if (S.Width() < D.Width() || S.Height() < D.Height()) {
    GpBrush* brush = nullptr;
    if (GdipCreateTexture2I(texture, WrapModeTile, S.Left, S.Top, S.Width(), S.Height(), &brush) == GpOk && brush) {
      GpBitmap* bitmap = nullptr;
      GpGraphics* graphics = nullptr;
      GpStatus status = GdipCreateBitmapFromScan0(D.Width(), D.Height(), 0, PixelFormat32bppPARGB, nullptr, &bitmap);
      if (status == GpOk) status = GdipGetImageGraphicsContext(bitmap, &graphics);
      if (status == GpOk) status = GdipFillRectangleI(graphics, brush, 0, 0, D.Width(), D.Height());
      if (graphics) GdipDeleteGraphics(graphics);
      if (status == GpOk) status = GdipDrawImageRectI(FGraphics, bitmap, D.Left, D.Top, D.Width(), D.Height());
      if (bitmap) GdipDisposeImage(bitmap);
      GdipDeleteBrush(brush);
      if (status == GpOk) return;
    }
  }
  // Tile by tile, from D's top-left corner; the last column and row are cut.
  const int columns = (D.Width() + S.Width() - 1) / S.Width();
  const int rows = (D.Height() + S.Height() - 1) / S.Height();
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column) {
      TRect tile(D.Left + column * S.Width(), D.Top + row * S.Height(), 0, 0);
      tile.Right = std::min(tile.Left + S.Width(), D.Right);
      tile.Bottom = std::min(tile.Top + S.Height(), D.Bottom);
      const TRect source(S.Left, S.Top, S.Left + tile.Width(), S.Top + tile.Height());
      StretchPart(AImage, tile, source);
    }
}

void TdxSkinCanvas::DrawImageWithMargines(TdxSkinImage* AImage, const TRect&, const TdxSkinPartsVisibility& AVisibility,
                                          const TdxSkinNineParts& ADestParts, const TdxSkinNineParts& ASourceParts) {
  SetInterpolationMode(0);
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column) {
      const int part = column * 3 + row;
      if (!AVisibility[part]) continue;
      if (part == 4 && AImage->GradientBeginColor() != clNone)
        FillRectByGradient(ADestParts[part], AImage->GradientBeginColor(), AImage->GradientEndColor(),
                           AImage->Gradient());
      else if (AImage->Stretch() == smTile)
        TilePart(AImage->Texture(), ADestParts[part], ASourceParts[part]);
      else
        StretchPart(AImage->Texture(), ADestParts[part], ASourceParts[part]);
    }
}

// ---------------------------------------------------------------------------
// TdxSkinImage drawing
// ---------------------------------------------------------------------------

void TdxSkinImage::DrawEx(TdxSkinCanvas* ACanvas, const TRect& ARect, int AImageIndex, TdxSkinElementState AState) {
  if (Empty()) {
    if (FGradientBeginColor == clNone) return;
    TdxSkinPartsVisibility visibility;
    std::fill(std::begin(visibility), std::end(visibility), true);
    TdxSkinNineParts parts;
    dxSkinCutNineParts(ARect, FMargins, true, visibility, parts);
    ACanvas->FillRectByGradient(parts[4], FGradientBeginColor, FGradientEndColor, FGradient);
    return;
  }
  const TRect source = StateBounds(AImageIndex, AState);
  if (FStretch == smNoResize) {
    ACanvas->DrawImage(Texture(), cxCenterSizeInRect(ARect, source.Width(), source.Height()), source);
    return;
  }
  TdxSkinPartsVisibility visibility;
  std::fill(std::begin(visibility), std::end(visibility), true);
  TdxSkinNineParts sourceParts, destParts;
  dxSkinCutNineParts(source, FMargins, false, visibility, sourceParts);
  dxSkinCutNineParts(ARect, FMargins, true, visibility, destParts);
  ACanvas->DrawImageWithMargines(this, ARect, visibility, destParts, sourceParts);
}

void TdxSkinImage::Draw(HDC DC, const TRect& ARect, int AImageIndex, TdxSkinElementState AState) {
  const TSize size = Size();
  if (size.cx <= 0 || size.cy <= 0 || !TdxSkinCanvas::IsRectVisible(DC, ARect)) return;
  TdxSkinCanvas canvas;
  canvas.BeginPaint(DC, ARect);
  try {
    DrawEx(&canvas, ARect, AImageIndex, AState);
  } catch (TGdiFallback&) {
    canvas.EndPaint();
    GdiDrawImage(DC, this, ARect, AImageIndex, AState);
    return;
  } catch (...) {
    canvas.EndPaint();
    throw;
  }
  canvas.EndPaint();
}

void TdxSkinImage::GetBitmap(int AImageIndex, TdxSkinElementState AState, TBitmap* ABitmap, TColor ABkColor) {
  const TSize size = Size();
  ABitmap->SetSize(size.cx, size.cy);
  const TRect r(0, 0, size.cx, size.cy);
  if (ABkColor != clNone) {
    if (ABkColor != clDefault) ABitmap->Canvas()->Brush()->SetColor(ABkColor);
    ABitmap->Canvas()->FillRect(r);
  }
  Draw(ABitmap->Canvas()->Handle(), r, AImageIndex, AState);
}

void TdxSkinImage::SetStateMapping(const std::vector<TdxSkinElementState>& AStates) {
  if (Texture()->Empty()) return;
  const TSize size = Size();
  if (size.cx <= 0 || size.cy <= 0) return;
  TObjectPtr<TcxBitmap32> target(Make<TcxBitmap32>(FTexture->Width(), FTexture->Height(), true));
  TObjectPtr<TBitmap> source(FTexture->GetAsBitmap());
  if (!source) return;
  int slot = 0;
  for (int index = 0; index < ImageCount(); ++index)
    for (TdxSkinElementState state : AStates) {
      if (!FStates.Contains(state)) continue;
      const TRect from = StateBounds(index, state);
      const int x = FImageLayout == ilHorizontal ? slot * size.cx : 0;
      const int y = FImageLayout == ilVertical ? slot * size.cy : 0;
      BitBlt(target->Canvas()->Handle(), x, y, size.cx, size.cy, source->Canvas()->Handle(), from.Left, from.Top,
             SRCCOPY);
      ++slot;
    }
  FTexture->SetBitmap(target.get());
  Changed();
}

// ---------------------------------------------------------------------------
// Elements
// ---------------------------------------------------------------------------

void TdxSkinElement::DrawContent(TdxSkinCanvas* ACanvas, const TRect& ARect, int AImageIndex,
                                 TdxSkinElementState AState) {
  if (FIsColorAssigned && (FImage->Empty() || FImage->Stretch() == smNoResize || IsAlphaUsed())) {
    if (FAlpha == 255)
      ACanvas->FillRectByColor(ARect, FColor);
    else
      ACanvas->FillRectByBrush(ARect, FBrush, FColor);
  }
  FImage->DrawEx(ACanvas, ARect, AImageIndex, AState);
  FBorders->Draw(ACanvas, ARect);
  const TRect content(ARect.Left + FContentOffset.Left, ARect.Top + FContentOffset.Top,
                      ARect.Right - FContentOffset.Right, ARect.Bottom - FContentOffset.Bottom);
  FGlyph->DrawEx(ACanvas, content, AImageIndex, AState);
}

void TdxSkinElement::Draw(HDC DC, const TRect& ARect, int AImageIndex, TdxSkinElementState AState) {
  if (ARect.IsEmpty() || !RectVisible(DC, AsRECT(ARect))) return;
  FCanvas->BeginPaint(DC, ARect);
  try {
    DrawContent(FCanvas, ARect, AImageIndex, AState);
  } catch (TGdiFallback&) {
    FCanvas->EndPaint();
    // The same steps through GDI alone.
    if (FIsColorAssigned && (FImage->Empty() || FImage->Stretch() == smNoResize || IsAlphaUsed()))
      GdiFillRect(DC, ARect, FColor);
    GdiDrawImage(DC, FImage, ARect, AImageIndex, AState);
    for (int i = 0; i < 4; ++i) FBorders->Items(TcxBorder(i))->Draw(DC, ARect);
    const TRect content(ARect.Left + FContentOffset.Left, ARect.Top + FContentOffset.Top,
                        ARect.Right - FContentOffset.Right, ARect.Bottom - FContentOffset.Bottom);
    GdiDrawImage(DC, FGlyph, content, AImageIndex, AState);
    return;
  } catch (...) {
    FCanvas->EndPaint();
    throw;
  }
  FCanvas->EndPaint();
}

void TdxSkinEmptyElement::Draw(HDC DC, const TRect& ARect, int, TdxSkinElementState) {
  FillRect(DC, AsRECT(ARect), static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FrameRect(DC, AsRECT(ARect), red);
  DeleteObject(red);
}

TdxSkinCustomPersistentObject* TdxSkinEmptyElement::NewOfSameClass() const { return Make<TdxSkinEmptyElement>(); }

static TRect BorderBand(const TRect& B, TcxBorder AKind, int AThin) {
  switch (AKind) {
    case bLeft: return TRect(B.Left, B.Top, B.Left + AThin, B.Bottom);
    case bTop: return TRect(B.Left, B.Top, B.Right, B.Top + AThin);
    case bRight: return TRect(B.Right - AThin, B.Top, B.Right, B.Bottom);
    default: return TRect(B.Left, B.Bottom - AThin, B.Right, B.Bottom);
  }
}

void TdxSkinBorder::DrawEx(TdxSkinCanvas* ACanvas, const TRect& ABounds) {
  if (FColor == clNone) return;
  ACanvas->FillRectByColor(BorderBand(ABounds, FKind, FThin), FColor);
}

void TdxSkinBorder::Draw(HDC DC, const TRect& ABounds) {
  if (FColor == clNone) return;
  GdiFillRect(DC, BorderBand(ABounds, FKind, FThin), FColor);
}

void TdxSkinBorders::Draw(TdxSkinCanvas* ACanvas, const TRect& ABounds) {
  for (TdxSkinBorder* border : FBorders) border->DrawEx(ACanvas, ABounds);
}

// ---------------------------------------------------------------------------
// Caches
// ---------------------------------------------------------------------------

int TdxSkinElementCache::RenderCount() { return renderCount; }

TdxSkinElementCache::~TdxSkinElementCache() { FreeRenderings(); }

void TdxSkinElementCache::FreeRenderings() {
  if (FCache && GdipDisposeImage) GdipDisposeImage(FCache);
  FCache = nullptr;
  FreeAndNil(FCacheOpaque);
}

void TdxSkinElementCache::Flush() {
  FElement = nullptr;
  FRect = TRect();
  FreeRenderings();
}

void TdxSkinElementCache::CheckCacheState(TdxSkinElement* AElement, const TRect& R, TdxSkinElementState AState,
                                          int AImageIndex) {
  if (AElement == FElement && AState == FState && AImageIndex == FImageIndex && R.Width() == FRect.Width() &&
      R.Height() == FRect.Height() && (FCache || FCacheOpaque))
    return;
  FElement = AElement;
  FState = AState;
  FImageIndex = AImageIndex;
  FRect = R;
  FreeRenderings();
  if (!AElement || R.IsEmpty()) return;
  FIsAlphaBlendUsed = AElement->IsAlphaUsed() && dxIsGdiPlusReady();
  const TRect target(0, 0, R.Width(), R.Height());
  ++renderCount;
  if (FIsAlphaBlendUsed) {
    GpGraphics* graphics = nullptr;
    if (GdipCreateBitmapFromScan0(target.Right, target.Bottom, 0, PixelFormat32bppPARGB, nullptr, &FCache) == GpOk &&
        GdipGetImageGraphicsContext(FCache, &graphics) == GpOk) {
      TdxSkinCanvas canvas;
      canvas.BeginPaintEx(graphics, target);
      try {
        AElement->DrawContent(&canvas, target, AImageIndex, AState);
        canvas.EndPaint();
        return;
      } catch (TGdiFallback&) {
        canvas.EndPaint();
      } catch (...) {
        canvas.EndPaint();
        throw;
      }
    }
    // No alpha rendering here: an opaque one over white.
    if (FCache) GdipDisposeImage(FCache);
    FCache = nullptr;
    FIsAlphaBlendUsed = false;
  }
  FCacheOpaque = Make<TcxBitmap>(target.Right, target.Bottom, pf32bit);
  AElement->Draw(FCacheOpaque->Canvas()->Handle(), target, AImageIndex, AState);
}

void TdxSkinElementCache::Draw(HDC DC, const TRect& R) {
  if (FCacheOpaque) {
    cxCopyDCRect(DC, FCacheOpaque->Canvas()->Handle(), R, TPoint(0, 0));
  } else if (FCache) {
    GpGraphics* graphics = nullptr;
    if (GdipCreateFromHDC(DC, &graphics) != GpOk) return;
    GdipDrawImageRectI(graphics, FCache, R.Left, R.Top, R.Width(), R.Height());
    GdipDeleteGraphics(graphics);
  }
}

void TdxSkinElementCache::DrawEx(HDC DC, TdxSkinElement* AElement, const TRect& R, TdxSkinElementState AState,
                                 int AImageIndex) {
  CheckCacheState(AElement, R, AState, AImageIndex);
  Draw(DC, R);
}

void TdxSkinElementCacheList::DrawElement(HDC DC, TdxSkinElement* AElement, const TRect& R,
                                          TdxSkinElementState AState, int AImageIndex) {
  TdxSkinElementCache* cache = nullptr;
  for (int i = 0; i < Count() && !cache; ++i) {
    auto* item = static_cast<TdxSkinElementCache*>(Items(i));
    if (item->Element() == AElement && item->Rect() == R) cache = item;
  }
  if (!cache) {
    cache = Make<TdxSkinElementCache>();
    Add(cache);
    if (Count() > FCacheListLimit) {
      TObject* oldest = Items(0);
      TList::Delete(0);
      TObject::Free(oldest);
    }
  }
  cache->DrawEx(DC, AElement, R, AState, AImageIndex);
}

// ---------------------------------------------------------------------------
// TdxSkinPartStream
// ---------------------------------------------------------------------------

void TdxSkinPartStream::Initialize(Int64 APosStart, Int64 APosEnd) {
  FPosStart = APosStart;
  FPosEnd = std::max(APosStart, APosEnd);
}

void TdxSkinPartStream::InitializeEx(TStream* ASource, Int64 APosStart, Int64 APosEnd) {
  FSource = ASource;
  Initialize(APosStart, APosEnd);
}

int TdxSkinPartStream::Read(void* Buffer, int Count) {
  if (!FSource || Count <= 0) return 0;
  const Int64 position = FSource->Position();
  if (position < FPosStart || position >= FPosEnd) return 0;
  return FSource->Read(Buffer, int(std::min<Int64>(Count, FPosEnd - position)));
}

int TdxSkinPartStream::Write(const void* Buffer, int Count) {
  if (!FSource) return 0;
  const int result = FSource->Write(Buffer, Count);
  FPosEnd = FSource->Position();
  return result;
}

Int64 TdxSkinPartStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  if (!FSource) return 0;
  Int64 target;
  switch (Origin) {
    case soBeginning: target = FPosStart + Offset; break;
    case soCurrent: target = FSource->Position() + Offset; break;
    default: target = FPosEnd + Offset; break;
  }
  target = std::clamp(target, FPosStart, FPosEnd);
  return FSource->Seek(target, soBeginning) - FPosStart;
}
