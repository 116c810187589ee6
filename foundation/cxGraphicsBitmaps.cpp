#include "platform/WinApi.h"
#include "foundation/cxGraphicsBitmaps.h"

#include "foundation/dxCore.h"
#include "platform/core/Streams.h"
#include "platform/gui/GdiAccounting.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// ---------------------------------------------------------------------------
// Pixel helpers
// ---------------------------------------------------------------------------

DWORD AsDWord(const RGBQUAD& C) {
  DWORD v;
  std::memcpy(&v, &C, 4);
  return v;
}

RGBQUAD AsQuad(DWORD V) {
  RGBQUAD c;
  std::memcpy(&c, &V, 4);
  return c;
}

// Single-precision values as the pixel formulas define them; the volatile
// store drops the x87 excess precision.
float Single(double AValue) {
  volatile float v = static_cast<float>(AValue);
  return v;
}

// Nearest integer, halves to even.
int RoundHalfEven(double AValue) { return static_cast<int>(std::nearbyint(AValue)); }

Byte ClampByte(int AValue) { return static_cast<Byte>(std::clamp(AValue, 0, 255)); }

void GreyPixel(RGBQUAD& C, float AWeightR, float AWeightG, float AWeightB) {
  const double g = double(AWeightR) * C.rgbRed + double(AWeightG) * C.rgbGreen + double(AWeightB) * C.rgbBlue;
  const Byte v = ClampByte(RoundHalfEven(g));
  C.rgbRed = C.rgbGreen = C.rgbBlue = v;
}

Byte MulDivByte(int A, int B, int C) { return ClampByte(MulDiv(A, B, C)); }

// A solid brush of the colour selected into ADC for one raster operation.
class TSelectedBrush {
 public:
  TSelectedBrush(HDC ADC, TColor AColor) : FDC(ADC) {
    const LOGBRUSH lb{BS_SOLID, static_cast<COLORREF>(ColorToRGB(AColor)) & 0xFFFFFF, 0};
    FBrush = GdiCreateBrush(lb);
    // The raster operation would paint with whatever brush the DC holds.
    if (!FBrush) throw EOutOfResources(L"Out of system resources");
    FOld = SelectObject(FDC, FBrush);
  }
  TSelectedBrush(const TSelectedBrush&) = delete;
  TSelectedBrush& operator=(const TSelectedBrush&) = delete;
  ~TSelectedBrush() {
    if (FOld) SelectObject(FDC, FOld);
    GdiDeleteObject(FBrush);
  }

 private:
  HDC FDC;
  HBRUSH FBrush = nullptr;
  HGDIOBJ FOld = nullptr;
};

// ---------------------------------------------------------------------------
// The compressed form
// ---------------------------------------------------------------------------

constexpr size_t kHeaderSize = 10;
constexpr Byte kSignature[4] = {'X', 'D', 'B', 'M'};
constexpr int kMaxRun = 125;

[[noreturn]] void InvalidCompressedData(const Char* AReason) {
  throw EInvalidGraphic(String(L"Compressed bitmap data is not valid (") + AReason + L")");
}

DWORD Get32(const Byte* P) { return DWORD(P[0]) | (DWORD(P[1]) << 8) | (DWORD(P[2]) << 16) | (DWORD(P[3]) << 24); }

void Put32(TBytes& AOut, DWORD AValue) {
  for (int i = 0; i < 4; ++i) AOut.push_back(static_cast<Byte>(AValue >> (8 * i)));
}

// The checked layout of a body: where its runs start and how many bytes
// they give.
struct TBodyLayout {
  size_t ElementSize = 1;
  size_t PrefixSize = 0;
  size_t RunsStart = 0;
  size_t PlainSize = 0;
};

TBodyLayout CheckBody(const Byte* ABody, size_t ASize, int AVersion, size_t AMaxPlainSize) {
  TBodyLayout layout;
  if (AVersion == 2) {
    if (ASize < 2) InvalidCompressedData(L"body too short");
    layout.ElementSize = ABody[0];
    layout.PrefixSize = ABody[1];
    if (layout.ElementSize < 1 || layout.ElementSize > 4) InvalidCompressedData(L"element size");
    if (layout.PrefixSize >= layout.ElementSize) InvalidCompressedData(L"prefix size");
    if (ASize - 2 < layout.PrefixSize) InvalidCompressedData(L"body too short");
    layout.RunsStart = 2 + layout.PrefixSize;
  } else if (AVersion != 1) {
    InvalidCompressedData(L"version");
  }
  layout.PlainSize = layout.PrefixSize;
  const size_t e = layout.ElementSize;
  for (size_t pos = layout.RunsStart; pos < ASize;) {
    const Byte h = ABody[pos++];
    const size_t count = h & 0x7F;
    if (count < 1 || count > size_t(kMaxRun)) InvalidCompressedData(L"run length");
    const size_t stored = (h & 0x80) ? count * e : e;
    if (ASize - pos < stored) InvalidCompressedData(L"run beyond the body");
    pos += stored;
    layout.PlainSize += count * e;
    if (layout.PlainSize > AMaxPlainSize) InvalidCompressedData(L"too large");
  }
  return layout;
}

}  // namespace

bool cxIsCompressedBitmapData(const Byte* AData, size_t ASize) {
  return AData && ASize >= kHeaderSize && std::memcmp(AData + 4, kSignature, 4) == 0;
}

TBytes cxCompressBitmapData(const Byte* APlain, size_t ASize, int AElementSize) {
  if (AElementSize < 1 || AElementSize > 4) throw EdxException(L"Invalid element size");
  const size_t e = static_cast<size_t>(AElementSize);
  const size_t prefix = ASize % e;
  const size_t n = (ASize - prefix) / e;
  const Byte* elements = APlain + prefix;
  auto same = [&](size_t i, size_t j) { return std::memcmp(elements + i * e, elements + j * e, e) == 0; };

  TBytes body;
  body.reserve(2 + ASize + ASize / 64 + 8);
  body.push_back(static_cast<Byte>(e));
  body.push_back(static_cast<Byte>(prefix));
  body.insert(body.end(), APlain, APlain + prefix);
  for (size_t i = 0; i < n;) {
    size_t count;
    if (i + 1 < n && same(i, i + 1)) {
      count = 2;
      while (i + count < n && count < size_t(kMaxRun) && same(i, i + count)) ++count;
      body.push_back(static_cast<Byte>(count));
      body.insert(body.end(), elements + i * e, elements + (i + 1) * e);
    } else {
      // Each element differs from the one before it; an element equal to
      // its predecessor ends the literal run before that predecessor.
      count = 1;
      while (i + count < n && count < size_t(kMaxRun)) {
        if (same(i + count, i + count - 1)) {
          --count;
          break;
        }
        ++count;
      }
      body.push_back(static_cast<Byte>(0x80 | count));
      body.insert(body.end(), elements + i * e, elements + (i + count) * e);
    }
    i += count;
  }

  TBytes out;
  out.reserve(kHeaderSize + body.size());
  Put32(out, static_cast<DWORD>(body.size()));
  out.insert(out.end(), kSignature, kSignature + 4);
  out.push_back(2);
  out.push_back(0);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

TBytes cxDecompressBitmapData(const Byte* AData, size_t ASize, size_t AMaxPlainSize) {
  if (!AData || ASize < kHeaderSize) InvalidCompressedData(L"header too short");
  if (!cxIsCompressedBitmapData(AData, ASize)) InvalidCompressedData(L"signature");
  const size_t n = Get32(AData);
  const int version = AData[8] | (AData[9] << 8);
  if (n > ASize - kHeaderSize) InvalidCompressedData(L"body shorter than its size");
  const Byte* body = AData + kHeaderSize;
  // The whole body is checked before anything is allocated.
  const TBodyLayout layout = CheckBody(body, n, version, AMaxPlainSize);

  TBytes out(layout.PlainSize);
  Byte* dst = out.data();
  std::memcpy(dst, body + 2, layout.PrefixSize);
  dst += layout.PrefixSize;
  const size_t e = layout.ElementSize;
  for (size_t pos = layout.RunsStart; pos < n;) {
    const Byte h = body[pos++];
    const size_t count = h & 0x7F;
    if (h & 0x80) {
      std::memcpy(dst, body + pos, count * e);
      pos += count * e;
      dst += count * e;
    } else {
      for (size_t k = 0; k < count; ++k, dst += e) std::memcpy(dst, body + pos, e);
      pos += e;
    }
  }
  return out;
}

// ---------------------------------------------------------------------------
// TcxBitmap
// ---------------------------------------------------------------------------

TcxBitmap::TcxBitmap() : TcxBitmap(0, 0) {}

TcxBitmap::TcxBitmap(int AWidth, int AHeight) : TcxBitmap(AWidth, AHeight, pf24bit) {}

TcxBitmap::TcxBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat) {
  SetUpSurface(AWidth, AHeight, APixelFormat);
}

TcxBitmap::TcxBitmap(const TRect& ARect) : TcxBitmap(ARect.Width(), ARect.Height()) {}

TcxBitmap::TcxBitmap(const TRect& ARect, TPixelFormat APixelFormat)
    : TcxBitmap(ARect.Width(), ARect.Height(), APixelFormat) {}

TcxBitmap::~TcxBitmap() { TObject::Free(FcxCanvas); }

void TcxBitmap::SetUpSurface(int AWidth, int AHeight, TPixelFormat APixelFormat) {
  FcxCanvas = Make<TcxCanvas>(Canvas());
  BeginUpdate();
  try {
    SetPixelFormat(APixelFormat);
    SetSize(AWidth, AHeight);
  } catch (...) {
    CancelUpdate();
    // The destructor does not run for an object whose constructor fails.
    FreeAndNil(FcxCanvas);
    throw;
  }
  EndUpdate(true);
}

void TcxBitmap::BeginUpdate() { ++FLockCount; }

void TcxBitmap::CancelUpdate() {
  if (FLockCount > 0) --FLockCount;
}

void TcxBitmap::EndUpdate(bool AForceUpdate) {
  if (FLockCount == 0) return;
  --FLockCount;
  if (FLockCount == 0 && (AForceUpdate || FModified)) Changed(this);
}

void TcxBitmap::Changed(TObject* Sender) {
  if (FLockCount > 0) {
    FModified = true;
    return;
  }
  TBitmap::Changed(Sender);
  ValidateAfterChange();
  FModified = false;
}

void TcxBitmap::SetSize(int AWidth, int AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth == Width() && AHeight == Height()) return;
  BeginUpdate();
  try {
    TBitmap::SetSize(AWidth, AHeight);
  } catch (...) {
    // The change, if any, is reported by the next notification.
    CancelUpdate();
    throw;
  }
  EndUpdate(false);
}

void TcxBitmap::CopyBitmap(TBitmap* ABitmap, DWORD ACopyMode) {
  CopyBitmap(ABitmap, ClientRect(), TPoint{0, 0}, ACopyMode);
}

void TcxBitmap::CopyBitmap(TBitmap* ABitmap, const TRect& ADestRect, const TPoint& ASrcTopLeft,
                           DWORD ACopyMode) {
  if (!ABitmap || ABitmap->Empty() || Empty()) return;
  HDC source = ABitmap->Canvas()->Handle();
  cxCopyDCRect(Canvas()->Handle(), source, ADestRect, ASrcTopLeft, ACopyMode);
}

void TcxBitmap::Rotate(TcxRotationAngle ARotationAngle, bool AFlipVertically) {
  FcxCanvas->RotateBitmap(this, ARotationAngle, AFlipVertically);
}

void TcxBitmap::ReadData(TStream* Stream) {
  const Int64 start = Stream->Position();
  Byte header[kHeaderSize];
  const int got = Stream->Read(header, sizeof header);
  if (got != int(sizeof header) || !cxIsCompressedBitmapData(header, sizeof header)) {
    Stream->SetPosition(start);
    TBitmap::ReadData(Stream);
    return;
  }
  const Int64 remaining = Stream->Size() - Stream->Position();
  const DWORD n = Get32(header);
  if (Int64(n) > remaining) InvalidCompressedData(L"body shorter than its size");
  TBytes packed(kHeaderSize + n);
  std::memcpy(packed.data(), header, kHeaderSize);
  if (n) Stream->ReadBuffer(packed.data() + kHeaderSize, static_cast<int>(n));
  const TBytes plain = cxDecompressBitmapData(packed.data(), packed.size());
  // The plain form is a 32-bit length and exactly that many bytes.
  if (plain.size() < 4 || Get32(plain.data()) != plain.size() - 4)
    InvalidCompressedData(L"length of the bitmap data");
  auto* buffer = Make<TMemoryStream>();
  try {
    buffer->WriteBuffer(plain.data(), static_cast<int>(plain.size()));
    buffer->SetPosition(0);
    TBitmap::ReadData(buffer);
  } catch (...) {
    TObject::Free(buffer);
    throw;
  }
  TObject::Free(buffer);
}

void TcxBitmap::WriteData(TStream* Stream) {
  if (!FCompressData) {
    TBitmap::WriteData(Stream);
    return;
  }
  auto* plain = Make<TMemoryStream>();
  TBytes packed;
  try {
    TBitmap::WriteData(plain);
    const int bpp = cxBitmapBitsPerPixel(this);
    const int elementSize = bpp == 16 || bpp == 24 || bpp == 32 ? bpp / 8 : 1;
    packed = cxCompressBitmapData(static_cast<const Byte*>(plain->Memory()),
                                  static_cast<size_t>(plain->Size()), elementSize);
  } catch (...) {
    TObject::Free(plain);
    throw;
  }
  TObject::Free(plain);
  Stream->WriteBuffer(packed.data(), static_cast<int>(packed.size()));
}

// ---------------------------------------------------------------------------
// TcxBitmap32
// ---------------------------------------------------------------------------

TcxBitmap32::TcxBitmap32() : TcxBitmap32(0, 0) {}

TcxBitmap32::TcxBitmap32(int AWidth, int AHeight) : TcxBitmap(AWidth, AHeight, pf32bit) {}

TcxBitmap32::TcxBitmap32(int AWidth, int AHeight, bool AClear) : TcxBitmap32(AWidth, AHeight) {
  if (AClear) TcxBitmap32::Clear();
}

TcxBitmap32::TcxBitmap32(const TRect& ARect, bool AClear)
    : TcxBitmap32(ARect.Width(), ARect.Height(), AClear) {}

void TcxBitmap32::ValidateAfterChange() {
  if (cxBitmapBitsPerPixel(this) != 32) throw EdxException(L"Wrong PixelFormat");
}

void TcxBitmap32::GetBitmapColors(TRGBColors& AColors) {
  const int w = Width(), h = Height();
  if (w <= 0 || h <= 0) {
    AColors.clear();
    return;
  }
  if (PixelFormat() != pf32bit) {
    cxReadBitmapColors(this, false, AColors);
    return;
  }
  AColors.resize(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    std::memcpy(&AColors[size_t(h - 1 - y) * w], ScanLine(y), size_t(w) * 4);
}

void TcxBitmap32::SetBitmapColors(const TRGBColors& AColors) {
  const int w = Width(), h = Height();
  if (w <= 0 || h <= 0 || AColors.size() != size_t(w) * h) return;
  if (PixelFormat() != pf32bit) {
    TRGBColors copy = AColors;
    cxApplyColorsToBitmap(this, copy, false);
    return;
  }
  for (int y = 0; y < h; ++y)
    std::memcpy(ScanLine(y), &AColors[size_t(h - 1 - y) * w], size_t(w) * 4);
}

void TcxBitmap32::AlphaBlend(TcxBitmap32* ABitmap, const TRect& ARect, bool ASmoothImage,
                             Byte AConstantAlpha) {
  if (!ABitmap || Empty()) return;
  cxAlphaBlend(ABitmap->Canvas()->Handle(), Canvas()->Handle(), ARect, ClientRect(), ASmoothImage,
               AConstantAlpha);
}

void TcxBitmap32::Clear() {
  const int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  if (PixelFormat() == pf32bit) {
    for (int y = 0; y < h; ++y) std::memset(ScanLine(y), 0, size_t(w) * 4);
    return;
  }
  const RECT r{0, 0, w, h};
  ::FillRect(Canvas()->Handle(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void TcxBitmap32::Filter(TBitmap* AMaskBitmap) {
  // Destination AND NOT source.
  CopyBitmap(AMaskBitmap, 0x00220326);
}

void TcxBitmap32::Invert() { CopyBitmap(this, NOTSRCCOPY); }

void TcxBitmap32::SetAlphaChannel(Byte Alpha) {
  TRGBColors colors;
  GetBitmapColors(colors);
  for (RGBQUAD& c : colors) c.rgbReserved = Alpha;
  SetBitmapColors(colors);
}

void TcxBitmap32::RecoverTransparency(TColor ATransparentColor) {
  const DWORD key = AsDWord(dxMakeRGBQuadFromColor(ATransparentColor, 0)) & 0xFFFFFF;
  TRGBColors colors;
  GetBitmapColors(colors);
  for (RGBQUAD& c : colors) {
    if ((AsDWord(c) & 0xFFFFFF) == key) c = RGBQUAD{};
    else if (c.rgbReserved == 0) c.rgbReserved = 255;
  }
  SetBitmapColors(colors);
}

void TcxBitmap32::LoadFromStream(TStream* Stream) {
  BeginUpdate();
  try {
    TcxBitmap::LoadFromStream(Stream);
  } catch (...) {
    try {
      SetPixelFormat(pf32bit);
      EndUpdate(true);
    } catch (...) {
      CancelUpdate();
    }
    throw;
  }
  try {
    SetPixelFormat(pf32bit);
  } catch (...) {
    CancelUpdate();
    throw;
  }
  EndUpdate(true);
}

bool TcxBitmap32::IsAlphaUsed() {
  TRGBColors colors;
  GetBitmapColors(colors);
  return std::any_of(colors.begin(), colors.end(), [](const RGBQUAD& c) { return c.rgbReserved != 0; });
}

// ---------------------------------------------------------------------------
// TcxColorList
// ---------------------------------------------------------------------------

int TcxColorList::Add(TColor AColor) {
  const DWORD rgb = AsDWord(dxMakeRGBQuadFromColor(AColor, 0)) & 0xFFFFFF;
  return TList::Add(reinterpret_cast<void*>(static_cast<uintptr_t>(rgb)));
}

bool TcxColorList::Contains(DWORD ARGB) const {
  return IndexOf(reinterpret_cast<void*>(static_cast<uintptr_t>(ARGB & 0xFFFFFF))) >= 0;
}

// ---------------------------------------------------------------------------
// TcxAlphaBitmap
// ---------------------------------------------------------------------------

TcxAlphaBitmap::TcxAlphaBitmap() : TcxAlphaBitmap(0, 0) {}

TcxAlphaBitmap::TcxAlphaBitmap(int AWidth, int AHeight)
    : TcxBitmap32(AWidth, AHeight), FTransparentPixels(Make<TcxColorList>()) {}

TcxAlphaBitmap::TcxAlphaBitmap(int AWidth, int AHeight, RGBQUAD ATransparentBkColor)
    : TcxAlphaBitmap(AWidth, AHeight) {
  FTransparentBkColor = ATransparentBkColor;
}

TcxAlphaBitmap::TcxAlphaBitmap(const TRect& ARect) : TcxAlphaBitmap(ARect.Width(), ARect.Height()) {}

TcxAlphaBitmap::~TcxAlphaBitmap() { TObject::Free(FTransparentPixels); }

void TcxAlphaBitmap::Clear() {
  if (FTransparentBkColor.rgbReserved != 0) TransformBitmap(btmClear);
  else TcxBitmap32::Clear();
}

void TcxAlphaBitmap::RefreshImage(int AWidth, int AHeight) {
  SetSize(AWidth, AHeight);
  FTransparentPixels->Clear();
  Clear();
}

void TcxAlphaBitmap::RecoverAlphaChannel(TColor ATransparentColor) {
  FTransparentPixels->Clear();
  FTransparentPixels->Add(ATransparentColor);
  FTransparentBkColor = dxMakeRGBQuadFromColor(ATransparentColor, 0);
  TransformBitmap(btmCorrectBlend);
}

bool TcxAlphaBitmap::IsColorTransparent(const RGBQUAD& AColor) const {
  const DWORD v = AsDWord(AColor);
  return v == AsDWord(FTransparentBkColor) || (FTransparentPixels->Count() > 0 && FTransparentPixels->Contains(v));
}

void TcxAlphaBitmap::TransformBitmap(TcxBitmapTransformationMode AMode) {
  const int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  TRGBColors colors;
  GetBitmapColors(colors);
  if (colors.size() != size_t(w) * h) return;

  // Constant for the whole pass.
  RGBQUAD dirtyColor{};
  if (AMode == btmDirty) dirtyColor = dxMakeRGBQuadFromColor(clBtnShadow, 0xC0);
  const int step = std::max<int>(FHatchData.Step, 1);

  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) {
      FCurrentColorIndex = TPoint{x, y};
      RGBQUAD& c = colors[size_t(y) * w + x];
      switch (AMode) {
        case btmDingy:
          if (IsColorTransparent(c)) break;
          if (c.rgbReserved == 255) {
            c.rgbRed = MulDivByte(255 - c.rgbRed, 3, 10) + c.rgbRed;
            c.rgbGreen = MulDivByte(255 - c.rgbGreen, 3, 10) + c.rgbGreen;
            c.rgbBlue = MulDivByte(255 - c.rgbBlue, 3, 10) + c.rgbBlue;
          } else {
            c.rgbRed = MulDivByte(c.rgbRed, 200, 255);
            c.rgbGreen = MulDivByte(c.rgbGreen, 200, 255);
            c.rgbBlue = MulDivByte(c.rgbBlue, 200, 255);
            c.rgbReserved = MulDivByte(c.rgbReserved, 200, 255);
          }
          break;
        case btmDirty:
          if (IsColorTransparent(c)) break;
          GreyPixel(c, 0.299f, 0.587f, 0.114f);
          cxBlendPixelOver(c, dirtyColor, 238);
          break;
        case btmGrayScale:
          if (IsColorTransparent(c)) break;
          c.rgbRed = c.rgbGreen = c.rgbBlue = static_cast<Byte>((c.rgbRed + c.rgbGreen + c.rgbBlue) / 3);
          break;
        case btmSetOpaque:
          c.rgbReserved = 255;
          break;
        case btmMakeMask:
          c = AsQuad(IsColorTransparent(c) ? 0xFFFFFFFF : 0);
          break;
        case btmFade:
          if (!IsColorTransparent(c)) GreyPixel(c, 0.299f, 0.587f, 0.114f);
          break;
        case btmDisable:
          if (!IsColorTransparent(c)) GreyPixel(c, 0.0729f, 0.7146f, 0.2125f);
          break;
        case btmCorrectBlend:
          if (!IsColorTransparent(c) && c.rgbReserved == 0) c.rgbReserved = 255;
          break;
        case btmHatch:
          if ((x / step + y / step) % 2 == 1) cxBlendPixelOver(c, FHatchData.Color2, FHatchData.Alpha2);
          else cxBlendPixelOver(c, FHatchData.Color1, FHatchData.Alpha1);
          break;
        case btmClear:
          c = FTransparentBkColor;
          break;
        case btmResetAlpha:
          c.rgbReserved = 0;
          break;
      }
    }
  SetBitmapColors(colors);
  Changed(this);
}

void TcxAlphaBitmap::DrawHatch(const TcxHatchData& AHatchData) {
  FHatchData = AHatchData;
  TransformBitmap(btmHatch);
}

void TcxAlphaBitmap::DrawHatch(TColor AColor1, TColor AColor2, Byte AStep, Byte AAlpha1, Byte AAlpha2) {
  TcxHatchData data;
  data.Color1 = dxMakeRGBQuadFromColor(AColor1, 255);
  data.Alpha1 = AAlpha1;
  data.Color2 = dxMakeRGBQuadFromColor(AColor2, 255);
  data.Alpha2 = AAlpha2;
  data.Step = AStep;
  DrawHatch(data);
}

void TcxAlphaBitmap::DrawShadow(TcxAlphaBitmap* AMaskBitmap, int AShadowSize, TColor AShadowColor,
                                bool AInflateSize) {
  if (!AMaskBitmap) return;
  const int w = Width(), h = Height(), s = std::max(AShadowSize, 0);
  TcxAlphaBitmap* shape = Make<TcxAlphaBitmap>(w + 2 * s, h + 2 * s, AsQuad(0xFFFFFFFF));
  TcxBitmap32* result = nullptr;
  try {
    shape->Clear();
    shape->CopyBitmap(AMaskBitmap, TRect(s, s, w + s, h + s), TPoint{0, 0}, SRCCOPY);
    {
      // The shape moved by the shadow size, in the shadow colour where the
      // unmoved shape does not cover it (destination AND pattern AND NOT source).
      HDC dc = shape->Canvas()->Handle();
      TSelectedBrush brush(dc, AShadowColor);
      BitBlt(dc, s, s, shape->Width(), shape->Height(), dc, 0, 0, 0x00200F09);
    }
    shape->SetTransparentBkColor(RGBQUAD{});
    shape->TransformBitmap(btmCorrectBlend);

    result = Make<TcxBitmap32>(w + s, h + s, true);
    result->CopyBitmap(this, TRect(0, 0, w, h), TPoint{0, 0}, SRCCOPY);
    result->CopyBitmap(shape, result->ClientRect(), TPoint{s, s}, SRCPAINT);
    if (AInflateSize) SetSize(w + s, h + s);
    CopyBitmap(result, SRCCOPY);
  } catch (...) {
    TObject::Free(shape);
    TObject::Free(result);
    throw;
  }
  TObject::Free(shape);
  TObject::Free(result);
}

void TcxAlphaBitmap::Shade(TcxAlphaBitmap* AMaskBitmap) {
  if (!AMaskBitmap || AMaskBitmap->Empty()) return;
  const int mw = AMaskBitmap->Width(), mh = AMaskBitmap->Height();
  HDC maskDC = AMaskBitmap->Canvas()->Handle();
  {
    TSelectedBrush brush(maskDC, AMaskBitmap->Canvas()->Brush()->Color());
    BitBlt(maskDC, 0, 0, mw, mh, maskDC, 0, 0, PATINVERT);
  }
  HDC dc = Canvas()->Handle();
  BitBlt(dc, 1, 1, mw, mh, maskDC, 0, 0, SRCCOPY);
  {
    // Where the source is white the brush, elsewhere the destination.
    TSelectedBrush brush(dc, clBtnShadow);
    BitBlt(dc, 0, 0, mw, mh, maskDC, 0, 0, 0x00E20746);
  }
  TransformBitmap(btmCorrectBlend);
}

// ---------------------------------------------------------------------------
// Pixel math and the shared bitmaps
// ---------------------------------------------------------------------------

void cxBlendPixelOver(RGBQUAD& ADest, const RGBQUAD& AColor, Byte AFactor) {
  const float k = Single(AFactor / 255.0);
  const float e = Single(1.0 - Single(AColor.rgbReserved * double(k)) / 255.0);
  auto blend = [&](Byte c, Byte d) { return ClampByte(RoundHalfEven(double(c) * k + double(d) * e)); };
  ADest.rgbBlue = blend(AColor.rgbBlue, ADest.rgbBlue);
  ADest.rgbGreen = blend(AColor.rgbGreen, ADest.rgbGreen);
  ADest.rgbRed = blend(AColor.rgbRed, ADest.rgbRed);
  ADest.rgbReserved = blend(AColor.rgbReserved, ADest.rgbReserved);
}

namespace {
TcxAlphaBitmap* g_drawBitmap = nullptr;
TcxAlphaBitmap* g_imageBitmap = nullptr;
TcxAlphaBitmap* g_maskBitmap = nullptr;

TcxAlphaBitmap* SharedBitmap(TcxAlphaBitmap*& ASlot, int AWidth, int AHeight) {
  if (!ASlot) {
    TObjectPtr<TcxAlphaBitmap> bitmap(Make<TcxAlphaBitmap>(std::max(AWidth, 0), std::max(AHeight, 0)));
    bitmap->Clear();
    ASlot = bitmap.release();
  } else {
    ASlot->RefreshImage(AWidth, AHeight);
  }
  return ASlot;
}
}  // namespace

TcxAlphaBitmap* cxGetDrawBitmap(int AWidth, int AHeight) { return SharedBitmap(g_drawBitmap, AWidth, AHeight); }
TcxAlphaBitmap* cxGetImageBitmap(int AWidth, int AHeight) { return SharedBitmap(g_imageBitmap, AWidth, AHeight); }
TcxAlphaBitmap* cxGetMaskBitmap(int AWidth, int AHeight) { return SharedBitmap(g_maskBitmap, AWidth, AHeight); }

void cxFreeSharedBitmaps() {
  FreeAndNil(g_maskBitmap);
  FreeAndNil(g_imageBitmap);
  FreeAndNil(g_drawBitmap);
}

// ---------------------------------------------------------------------------
// Class information
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TcxBitmap, TBitmap, ConstructPlain<TcxBitmap>)
IMPLEMENT_CLASS(TcxBitmap32, TcxBitmap, ConstructPlain<TcxBitmap32>)
IMPLEMENT_CLASS(TcxAlphaBitmap, TcxBitmap32, ConstructPlain<TcxAlphaBitmap>)
IMPLEMENT_CLASS(TcxColorList, TList, ConstructPlain<TcxColorList>)
