#include "foundation/dxGDIPlusClasses.h"

#include "platform/core/Components.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"
#include "platform/gui/GdiAccounting.h"

#include <cstring>

TClass dxGpImageClass = nullptr;

IMPLEMENT_CLASS(TdxGPImage, TdxGPBase, (ConstructPlain<TdxGPImage>))
IMPLEMENT_CLASS(TdxGPNullImage, TdxGPImage, (ConstructPlain<TdxGPNullImage>))
IMPLEMENT_CLASS(TdxPNGImage, TGraphic, (ConstructPlain<TdxPNGImage>))

namespace {

// A GDI+ graphics object for a device context, deleted with the scope.
class TGpGraphicsScope {
 public:
  explicit TGpGraphicsScope(HDC dc) {
    if (GdipCreateFromHDC && GdipCreateFromHDC(dc, &graphics_) != GpOk) graphics_ = nullptr;
  }
  ~TGpGraphicsScope() {
    if (graphics_ && GdipDeleteGraphics) GdipDeleteGraphics(graphics_);
  }
  TGpGraphicsScope(const TGpGraphicsScope&) = delete;
  TGpGraphicsScope& operator=(const TGpGraphicsScope&) = delete;
  GpGraphics* Get() const { return graphics_; }

 private:
  GpGraphics* graphics_ = nullptr;
};

// GDI makes 32-bit bitmaps whose alpha bytes are all 0: such a bitmap carries
// no alpha, and taking it at its word would make it invisible. A bitmap that is
// black and transparent throughout stays as it is.
bool CarriesAlpha(const TdxRGBColors& bits) {
  bool anyColor = false;
  for (const RGBQUAD& q : bits) {
    if (q.rgbReserved != 0) return true;
    if (q.rgbBlue | q.rgbGreen | q.rgbRed) anyColor = true;
  }
  return !anyColor;
}

}  // namespace

// ---------------------------------------------------------------------------
// TdxGPImage
// ---------------------------------------------------------------------------

TdxGPImage::~TdxGPImage() { FreeHandle(); }

TdxGPImage* TdxGPImage::NewImage() {
  // GDI+ starts with the first image. Should it fail to start after all, images
  // are null ones from then on, as when it was missing at start-up.
  if (dxGpImageClass == TdxGPImage::StaticClass() && !dxIsGdiPlusReady())
    dxGpImageClass = TdxGPNullImage::StaticClass();
  TClass cls = dxGpImageClass ? dxGpImageClass : TdxGPNullImage::StaticClass();
  return static_cast<TdxGPImage*>(cls->NewInstance());
}

TdxGPImage* TdxGPImage::CreateFromBitmap(TBitmap* bitmap) {
  dxLookupPngEncoder();
  TdxGPImage* image = NewImage();
  try {
    image->AssignFromBitmap(bitmap);
  } catch (...) {
    TObject::Free(image);
    throw;
  }
  return image;
}

TdxGPImage* TdxGPImage::CreateFromPattern(int width, int height, const TdxRGBColors& bits, bool hasAlpha) {
  TdxGPImage* image = NewImage();
  try {
    image->AssignFromBits(width, height, bits.empty() ? nullptr : std::make_shared<TdxRGBColors>(bits), hasAlpha);
  } catch (...) {
    TObject::Free(image);
    throw;
  }
  return image;
}

TdxGPImage* TdxGPImage::CreateFromStream(TStream* stream) {
  TdxGPImage* image = NewImage();
  try {
    if (!dxIsGdiPlusReady() || !stream || stream->Remaining() < 14) return image;
    Byte header[14];
    stream->ReadBuffer(header, sizeof(header));
    stream->Seek(-Int64(sizeof(header)), soCurrent);
    if (header[0] == 'B' && header[1] == 'M') {
      // The bitmap reads to the end of what it is given: give it the file's own bytes.
      TMemoryStream data;
      data.CopyFrom(stream, dxGpImageDataSize(stream));
      data.SetPosition(0);
      TBitmap bitmap;
      bitmap.LoadFromStream(&data);
      image->AssignFromBitmap(&bitmap);
    } else {
      image->LoadFromStreamData(stream);
    }
  } catch (...) {
    TObject::Free(image);
    throw;
  }
  return image;
}

const TdxRGBColors& TdxGPImage::Bits() const {
  static const TdxRGBColors empty;
  return bits_ ? *bits_ : empty;
}

void TdxGPImage::FreeHandle() {
  // After GDI+ stopped its objects are gone with it: nothing to give back.
  if (GpImage* handle = Handle()) GdipDisposeImage(handle);
  handle_ = nullptr;
  bits_.reset();
}

void TdxGPImage::SetHandle(GpImage* handle) {
  FreeHandle();
  handle_ = handle;
  session_ = dxgpdetail::Session();
}

void TdxGPImage::LoadFromStreamData(TStream* stream) { SetHandle(dxGpCreateBitmapFromStreamData(stream)); }

void TdxGPImage::AssignFromBits(int width, int height, std::shared_ptr<TdxRGBColors> bits, bool hasAlpha) {
  FreeHandle();
  if (width <= 0 || height <= 0 || !dxIsGdiPlusReady()) return;
  if (bits && bits->size() < size_t(width) * size_t(height))
    throw EInvalidGraphicOperation(L"Too few pixels for the image size");
  if (bits && !hasAlpha)
    for (RGBQUAD& q : *bits) q.rgbReserved = 255;
  GpBitmap* bitmap = nullptr;
  // GDI+ reads the pixels in place: they live as long as the handle.
  dxGpCheckStatus(GdipCreateBitmapFromScan0(width, height, bits ? 4 * width : 0, PixelFormat32bppPARGB,
                                            bits ? reinterpret_cast<BYTE*>(bits->data()) : nullptr, &bitmap));
  handle_ = bitmap;
  session_ = dxgpdetail::Session();
  bits_ = std::move(bits);
}

void TdxGPImage::AssignFromBitmap(TBitmap* bitmap) {
  if (!bitmap || bitmap->Empty()) {
    FreeHandle();
    return;
  }
  auto bits = std::make_shared<TdxRGBColors>();
  GetBitmapBits(bitmap, *bits);
  const bool hasAlpha = bitmap->PixelFormat() == pf32bit && CarriesAlpha(*bits);
  AssignFromBits(bitmap->Width(), bitmap->Height(), std::move(bits), hasAlpha);
}

void TdxGPImage::GetBitmapBits(TBitmap* bitmap, TdxRGBColors& bits) {
  const int width = bitmap->Width(), height = bitmap->Height();
  bits.assign(size_t(std::max(width, 0)) * size_t(std::max(height, 0)), RGBQUAD{});
  if (bits.empty()) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, bitmap->Handle(), 0, height, bits.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows == 0 && bitmap->PixelFormat() == pf32bit) {
    if (bits.size() != size_t(width) * size_t(height)) bits.resize(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
      std::memcpy(&bits[size_t(y) * width], bitmap->ScanLine(y), size_t(width) * 4);
  }
}

void TdxGPImage::GetBitmapBits(TdxRGBColors& bits) {
  Unpack();
  bits = Bits();
}

void TdxGPImage::Unpack() {
  if (bits_ || !Handle()) return;
  TBitmap* bitmap = GetAsBitmap();
  try {
    auto bits = std::make_shared<TdxRGBColors>();
    GetBitmapBits(bitmap, *bits);
    // The pixels GDI+ gave back are its own, alpha included.
    AssignFromBits(bitmap->Width(), bitmap->Height(), std::move(bits), true);
  } catch (...) {
    TObject::Free(bitmap);
    throw;
  }
  TObject::Free(bitmap);
}

TdxGPImage* TdxGPImage::Clone() {
  TdxGPImage* image = NewImage();
  try {
    if (bits_) {
      image->AssignFromBits(Width(), Height(), bits_, true);
    } else if (Handle() && image->ClassType() != TdxGPNullImage::StaticClass()) {
      GpImage* clone = nullptr;
      dxGpCheckStatus(GdipCloneImage(Handle(), &clone));
      image->SetHandle(clone);
    }
  } catch (...) {
    TObject::Free(image);
    throw;
  }
  return image;
}

int TdxGPImage::Width() const {
  UINT width = 0;
  if (GpImage* handle = Handle()) dxGpCheckStatus(GdipGetImageWidth(handle, &width));
  return static_cast<int>(width);
}

int TdxGPImage::Height() const {
  UINT height = 0;
  if (GpImage* handle = Handle()) dxGpCheckStatus(GdipGetImageHeight(handle, &height));
  return static_cast<int>(height);
}

void TdxGPImage::Draw(HDC dc, const TRect& rect) {
  if (!Handle()) return;
  TGpGraphicsScope graphics(dc);
  if (graphics.Get()) DrawEx(graphics.Get(), rect, ClientRect(), 255);
}

void TdxGPImage::DrawEx(GpGraphics* graphics, const TRect& dest, const TRect& source, Byte alpha) {
  GpImage* handle = Handle();
  if (!handle || !graphics) return;
  int sw = source.Width(), sh = source.Height();
  const int dw = dest.Width(), dh = dest.Height();
  if (sw < 1 || sh < 1 || dw < 1 || dh < 1) return;
  // Stretching up would blend in the column and row beyond the source's edge.
  if (sw < dw && sw > 1) --sw;
  if (!dxGpIsRectVisible(graphics, dest)) return;
  if (sh < dh && sh > 1) --sh;
  if (alpha == 255) {
    dxGpCheckStatus(GdipDrawImageRectRectI(graphics, handle, dest.Left, dest.Top, dw, dh, source.Left,
                                           source.Top, sw, sh, UnitPixel, nullptr, nullptr, nullptr));
    return;
  }
  GpImageAttributes* attributes = nullptr;
  dxGpCheckStatus(GdipCreateImageAttributes(&attributes));
  GpColorMatrix matrix{};
  for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1.0f;
  matrix.m[3][3] = static_cast<float>(alpha) / 255.0f;
  GpStatus status = GdipSetImageAttributesColorMatrix(attributes, ColorAdjustTypeBitmap, TRUE, &matrix, nullptr,
                                                      ColorMatrixFlagsDefault);
  if (status == GpOk)
    status = GdipDrawImageRectRectI(graphics, handle, dest.Left, dest.Top, dw, dh, source.Left, source.Top, sw,
                                    sh, UnitPixel, attributes, nullptr, nullptr);
  GdipDisposeImageAttributes(attributes);
  dxGpCheckStatus(status);
}

void TdxGPImage::SaveToStream(TStream* stream) {
  if (!Handle()) return;
  dxLookupPngEncoder();
  IStream* adapter = CreateStreamAdapter(stream, soReference);
  const GpStatus status = GdipSaveImageToStream(Handle(), adapter, &dxPngEncoderClsid, nullptr);
  adapter->Release();
  dxGpCheckStatus(status);
}

TBitmap* TdxGPImage::GetAsBitmap() {
  if (!Handle()) return nullptr;
  TBitmap* bitmap = Make<TBitmap>();
  try {
    // The bitmap takes over (and counts) the handle as soon as it exists.
    HBITMAP handle = nullptr;
    dxGpCheckStatus(GdipCreateHBITMAPFromBitmap(Handle(), &handle, 0));
    bitmap->SetHandle(handle);
  } catch (...) {
    TObject::Free(bitmap);
    throw;
  }
  return bitmap;
}

TdxGPImage* TdxGPImage::MakeComposition(TdxGPImage* overlay, Byte alpha) {
  TdxGPImage* result = CreateFromPattern(Width(), Height(), TdxRGBColors(), true);
  if (!result->Handle()) return result;
  try {
    GpGraphics* graphics = nullptr;
    dxGpCheckStatus(GdipGetImageGraphicsContext(result->Handle(), &graphics));
    try {
      DrawEx(graphics, result->ClientRect(), ClientRect(), 255);
      if (overlay) overlay->DrawEx(graphics, result->ClientRect(), overlay->ClientRect(), alpha);
    } catch (...) {
      GdipDeleteGraphics(graphics);
      throw;
    }
    GdipDeleteGraphics(graphics);
  } catch (...) {
    TObject::Free(result);
    throw;
  }
  return result;
}

// ---------------------------------------------------------------------------
// TdxGPNullImage
// ---------------------------------------------------------------------------

void TdxGPNullImage::LoadFromStreamData(TStream*) { FreeHandle(); }

void TdxGPNullImage::AssignFromBits(int, int, std::shared_ptr<TdxRGBColors>, bool) { FreeHandle(); }

// ---------------------------------------------------------------------------
// TdxPNGImage
// ---------------------------------------------------------------------------

TdxPNGImage::~TdxPNGImage() {
  // No change notification from a picture that is going away.
  TdxGPImage* image = handle_;
  handle_ = nullptr;
  TObject::Free(image);
}

TdxGPImage* TdxPNGImage::CreateFromBitmap(TBitmap* source) {
  dxIsGdiPlusReady();
  return TdxGPImage::CreateFromBitmap(source);
}

void TdxPNGImage::SetHandle(TdxGPImage* value) {
  if (value == handle_) return;
  TdxGPImage* old = handle_;
  handle_ = nullptr;
  TObject::Free(old);
  handle_ = value;
  Changed(this);
}

void TdxPNGImage::Assign(TPersistent* source) {
  if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
    SetHandle(CreateFromBitmap(bitmap));
  } else if (auto* png = dynamic_cast<TdxPNGImage*>(source)) {
    SetHandle(png->handle_ ? png->handle_->Clone() : nullptr);
  } else {
    TGraphic::Assign(source);
  }
}

void TdxPNGImage::AssignTo(TPersistent* dest) {
  if (auto* png = dynamic_cast<TdxPNGImage*>(dest)) {
    png->Assign(this);
  } else if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
    TBitmap* temp = GetAsBitmap();
    try {
      if (temp) {
        bitmap->Assign(temp);
      } else {
        bitmap->Assign(nullptr);
      }
    } catch (...) {
      TObject::Free(temp);
      throw;
    }
    TObject::Free(temp);
  } else {
    TGraphic::AssignTo(dest);
  }
}

void TdxPNGImage::Changed(TObject* sender) {
  isAlphaUsedAssigned_ = false;
  TGraphic::Changed(sender);
}

void TdxPNGImage::LoadFromStream(TStream* stream) {
  if (stream->Remaining() <= 0) {
    SetHandle(nullptr);
    return;
  }
  SetHandle(TdxGPImage::CreateFromStream(stream));
}

void TdxPNGImage::SaveToStream(TStream* stream) {
  if (Empty()) return;
  // The whole PNG is made first, so a failure writes nothing into `stream`.
  TMemoryStream data;
  handle_->SaveToStream(&data);
  data.SetPosition(0);
  stream->CopyFrom(&data, data.Size());
}

void TdxPNGImage::LoadFromClipboardFormat(Word format, HANDLE data, HPALETTE palette) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.LoadFromClipboardFormat(format, data, palette);
  SetBitmap(&bitmap);
}

void TdxPNGImage::SaveToClipboardFormat(Word& format, HANDLE& data, HPALETTE& palette) {
  TBitmap bitmap;
  bitmap.SetSize(Width(), Height());
  bitmap.Canvas()->Brush()->SetColor(clWhite);
  bitmap.Canvas()->FillRect(TRect(0, 0, Width(), Height()));
  Draw(bitmap.Canvas(), TRect(0, 0, Width(), Height()));
  bitmap.SaveToClipboardFormat(format, data, palette);
}

bool TdxPNGImage::Empty() { return Width() < 1 || Height() < 1; }

int TdxPNGImage::Width() {
  if (!handle_ || !handle_->Handle()) return 0;
  REAL width = 0, height = 0;
  dxGpCheckStatus(GdipGetImageDimension(handle_->Handle(), &width, &height));
  return static_cast<int>(width);
}

int TdxPNGImage::Height() {
  if (!handle_ || !handle_->Handle()) return 0;
  REAL width = 0, height = 0;
  dxGpCheckStatus(GdipGetImageDimension(handle_->Handle(), &width, &height));
  return static_cast<int>(height);
}

bool TdxPNGImage::Compare(TdxPNGImage* image) {
  if (!image) return false;
  if (Width() != image->Width() || Height() != image->Height()) return false;
  if (Empty() || image->Empty()) return true;
  handle_->Unpack();
  image->handle_->Unpack();
  const TdxRGBColors& a = handle_->Bits();
  const TdxRGBColors& b = image->handle_->Bits();
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::memcmp(&a[i], &b[i], sizeof(RGBQUAD)) != 0) return false;
  return true;
}

TBitmap* TdxPNGImage::GetAsBitmap() { return Empty() ? nullptr : handle_->GetAsBitmap(); }

void TdxPNGImage::SetBitmap(TBitmap* bitmap) { SetHandle(CreateFromBitmap(bitmap)); }

void TdxPNGImage::DrawEx(GpGraphics* graphics, const TRect& dest, const TRect& source) {
  if (!Empty()) handle_->DrawEx(graphics, dest, source, 255);
}

void TdxPNGImage::StretchDrawEx(GpGraphics* graphics, const TRect& dest, const TRect& source) {
  DrawEx(graphics, dest, source);
}

void TdxPNGImage::StretchDraw(HDC dc, const TRect& dest, const TRect& source) {
  if (Empty()) return;
  GpGraphics* graphics = nullptr;
  dxGpCheckStatus(GdipCreateFromHDC(dc, &graphics));
  try {
    StretchDrawEx(graphics, dest, source);
  } catch (...) {
    GdipDeleteGraphics(graphics);
    throw;
  }
  GdipDeleteGraphics(graphics);
}

void TdxPNGImage::StretchDraw(HDC dc, const TRect& dest) {
  StretchDraw(dc, dest, TRect(0, 0, Width(), Height()));
}

void TdxPNGImage::Draw(TCanvas* canvas, const TRect& rect) { StretchDraw(canvas->Handle(), rect); }

bool TdxPNGImage::IsAlphaUsed() {
  if (!isAlphaUsedAssigned_) {
    isAlphaUsed_ = false;
    if (!Empty()) {
      handle_->Unpack();
      for (const RGBQUAD& q : handle_->Bits())
        if (q.rgbReserved != 255) {
          isAlphaUsed_ = true;
          break;
        }
    }
    isAlphaUsedAssigned_ = true;
  }
  return isAlphaUsed_;
}

// ---------------------------------------------------------------------------
// Module start-up and shutdown
// ---------------------------------------------------------------------------

namespace {
int gClassesInitCount = 0;

// GDI+ itself (and the PNG encoder's id) wait for the first image: loading it
// costs the program's start time and memory it may never need.
void dxGpImageUnitStartup() {
  dxGpImageClass = TdxGPNullImage::StaticClass();
  if (!dxIsGdiPlusAvailable()) return;
  dxGpImageClass = TdxGPImage::StaticClass();
  RegisterClass(TdxPNGImage::StaticClass());
  TPicture::RegisterFileFormat(L"png", L"Portable Network Graphics", TdxPNGImage::StaticClass());
}

void dxGpImageUnitShutdown() {
  TPicture::UnregisterGraphicClass(TdxPNGImage::StaticClass());
  UnRegisterClass(TdxPNGImage::StaticClass());
  // Images made from here on must not reach for a GDI+ that is about to go.
  dxGpImageClass = TdxGPNullImage::StaticClass();
}
}  // namespace

void dxGDIPlusClassesInitialize() {
  if (gClassesInitCount++ > 0) return;
  dxGDIPlusAPIInitialize();
  dxGetDeferredUnitsLoader()->AddUnit(&dxGpImageUnitStartup, &dxGpImageUnitShutdown);
}

void dxGDIPlusClassesFinalize() {
  if (gClassesInitCount == 0 || --gClassesInitCount > 0) return;
  dxGetDeferredUnitsLoader()->RemoveUnit(&dxGpImageUnitShutdown);
  dxGDIPlusAPIFinalize();
}
