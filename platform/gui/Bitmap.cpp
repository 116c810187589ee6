// TBitmap: device bitmaps and DIB sections, the canvas over them, and the BMP
// file format, read defensively: a BMP may come from any file or stream.
#include "platform/gui/Graphics.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/GraphicsInternal.h"
#include "platform/core/Streams.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

struct TBitmapImage {
  HBITMAP Handle = nullptr;
  HBITMAP Mask = nullptr;
  bool MaskValid = false;
  HPALETTE Palette = nullptr;
  int Width = 0, Height = 0;
  TPixelFormat Format = pfDevice;   // of the handle; the wanted one while there is none
  bool Monochrome = false;          // one bit per pixel
  bool TopDown = false;             // a DIB whose first row in memory is the top one
  TBytes Saved;                     // the BMP file of a dormant image
  // A DIB section's pixels, read once when the handle is taken: pixel loops ask for every row,
  // and asking the system each time is a call into its graphics driver.
  Byte* Bits = nullptr;
  size_t RowBytes = 0;
};

// The canvas of a bitmap: a memory DC with the bitmap selected, made when
// drawing needs it and freed whenever the bitmap's handle is replaced.
class TBitmapCanvas : public TCanvas {
  DECLARE_CLASS(TBitmapCanvas, TCanvas)
  explicit TBitmapCanvas(TBitmap* bitmap) : bitmap_(bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }

  HDC DC() {
    RequiredState({csHandleValid});
    return CurrentHandle();
  }
  void FreeContext() {
    HDC dc = CurrentHandle();
    if (!dc) return;
    SetHandle(nullptr);
    if (oldBitmap_) SelectObject(dc, oldBitmap_);
    oldBitmap_ = nullptr;
    GdiDeleteDC(dc);
  }

 protected:
  void CreateHandle() override {
    HBITMAP bitmap = bitmap_->Handle();
    HDC dc = GdiCreateCompatibleDC(nullptr);
    if (!dc) throw EOutOfResources(L"Out of system resources");
    if (bitmap) oldBitmap_ = SelectObject(dc, bitmap);
    SetHandle(dc);
  }
  void Changed() override {
    TCanvas::Changed();
    bitmap_->Changed(bitmap_);
  }

 private:
  TBitmap* bitmap_;
  HGDIOBJ oldBitmap_ = nullptr;
};

IMPLEMENT_CLASS(TBitmapCanvas, TCanvas, nullptr)

namespace {

[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic(L"Bitmap image is not valid"); }
[[noreturn]] void OutOfResources() { throw EOutOfResources(L"Out of system resources"); }

// Pixel data beyond this is refused rather than allocated (a hostile header
// could otherwise ask for gigabytes).
constexpr UInt64 kMaxImageBytes = 0x20000000;

struct TScreenDC {
  HDC Handle = GetDC(nullptr);
  ~TScreenDC() { ReleaseDC(nullptr, Handle); }
};

size_t Stride(int width, int bpp) { return ((static_cast<size_t>(width) * bpp + 31) / 32) * 4; }

int BitsOf(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pf32bit: return 32;
    default: return 0;
  }
}

std::vector<RGBQUAD> DefaultColors(int bpp) {
  std::vector<RGBQUAD> colors;
  if (bpp == 1) {
    colors = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  } else if (bpp == 4) {
    static const COLORREF kVga[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                      0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                      0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    for (COLORREF c : kVga) colors.push_back({GetBValue(c), GetGValue(c), GetRValue(c), 0});
  } else if (bpp == 8) {
    TScreenDC screen;
    HPALETTE halftone = GdiCreateHalftonePalette(screen.Handle);
    // Without it every entry would be black, and so would a converted image.
    if (!halftone) OutOfResources();
    PALETTEENTRY entries[256]{};
    const UINT n = GetPaletteEntries(halftone, 0, 256, entries);
    GdiDeleteObject(halftone);
    for (UINT i = 0; i < 256; ++i) {
      const PALETTEENTRY& e = entries[i < n ? i : 0];
      colors.push_back({e.peBlue, e.peGreen, e.peRed, 0});
    }
  }
  return colors;
}

// The header of a DIB `height` rows high (negative: top-down), the rest zero.
BITMAPINFOHEADER InfoHeader(int width, int height, int bpp, DWORD compression) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(bpp);
  h.biCompression = compression;
  return h;
}

// A bottom-up DIB section; `masks` for BI_BITFIELDS, `colors` for up to 8 bits.
HBITMAP CreateDib(int width, int height, int bpp, DWORD compression, const DWORD* masks,
                  const std::vector<RGBQUAD>& colors, void** bits = nullptr) {
  std::vector<Byte> buffer(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  auto* info = reinterpret_cast<BITMAPINFO*>(buffer.data());
  BITMAPINFOHEADER& h = info->bmiHeader;
  h = InfoHeader(width, height, bpp, compression);
  if (compression == BI_BITFIELDS) {
    std::memcpy(info->bmiColors, masks, 3 * sizeof(DWORD));
  } else if (bpp <= 8) {
    const size_t n = std::min<size_t>(colors.size(), size_t(1) << bpp);
    h.biClrUsed = static_cast<DWORD>(n);
    std::memcpy(info->bmiColors, colors.data(), n * sizeof(RGBQUAD));
  }
  void* dummy;
  // With the colours given as RGB values the section needs no device context; fetching the
  // screen's is a server round trip under Wine, paid by every buffer that changes size.
  HBITMAP result = GdiCreateDIBSection(nullptr, info, bits ? bits : &dummy);
  if (!result) OutOfResources();
  return result;
}

HBITMAP NewBitmap(int width, int height, TPixelFormat format, bool monochrome,
                  const std::vector<RGBQUAD>* colors) {
  static const DWORD k565[3] = {0xF800, 0x07E0, 0x001F};
  HBITMAP result = nullptr;
  switch (format) {
    case pfDevice:
      if (monochrome) result = GdiCreateBitmap(width, height, 1, 1, nullptr);
      else {
        TScreenDC screen;
        result = GdiCreateCompatibleBitmap(screen.Handle, width, height);
      }
      break;
    case pf16bit: return CreateDib(width, height, 16, BI_BITFIELDS, k565, {});
    case pf15bit:
    case pf24bit:
    case pf32bit: return CreateDib(width, height, BitsOf(format), BI_RGB, nullptr, {});
    case pf1bit:
    case pf4bit:
    case pf8bit: {
      const int bpp = BitsOf(format);
      return CreateDib(width, height, bpp, BI_RGB, nullptr, colors ? *colors : DefaultColors(bpp));
    }
    default: throw EInvalidGraphic(L"Invalid pixel format");
  }
  if (!result) OutOfResources();
  return result;
}

bool GetDib(HBITMAP bitmap, DIBSECTION& ds) {
  return bitmap && GetObjectW(bitmap, sizeof(ds), &ds) == sizeof(ds);
}

// Whether a DIB section that came from outside stores its top row first.
// GetObject does not tell everywhere (some systems report the height as
// positive for both orders), so the first byte in memory is changed for a
// moment and the pixel that changes with it tells.
bool ProbeTopDown(HBITMAP bitmap, const DIBSECTION& ds) {
  if (ds.dsBmih.biHeight < 0) return true;
  const int height = ds.dsBm.bmHeight;
  if (height < 2 || !ds.dsBm.bmBits) return false;
  TMemoryDC dc(bitmap);
  auto* first = static_cast<Byte*>(ds.dsBm.bmBits);
  GdiFlush();
  const COLORREF top = GetPixel(dc.Handle(), 0, 0);
  const COLORREF bottom = GetPixel(dc.Handle(), 0, height - 1);
  const Byte saved = *first;
  *first = static_cast<Byte>(saved ^ 0xFF);
  GdiFlush();
  const bool topChanged = GetPixel(dc.Handle(), 0, 0) != top;
  const bool bottomChanged = GetPixel(dc.Handle(), 0, height - 1) != bottom;
  *first = saved;
  GdiFlush();
  return topChanged && !bottomChanged;
}

TPixelFormat FormatOf(HBITMAP bitmap, bool& monochrome) {
  DIBSECTION ds{};
  if (!GetDib(bitmap, ds)) {
    BITMAP bm{};
    GetObjectW(bitmap, sizeof(bm), &bm);
    monochrome = bm.bmPlanes * bm.bmBitsPixel == 1;
    return pfDevice;
  }
  const BITMAPINFOHEADER& h = ds.dsBmih;
  monochrome = h.biBitCount == 1;
  const bool fields = h.biCompression == BI_BITFIELDS;
  const DWORD* m = ds.dsBitfields;
  switch (h.biBitCount) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16:
      if (!fields || (m[0] == 0x7C00 && m[1] == 0x03E0 && m[2] == 0x001F)) return pf15bit;
      if (m[0] == 0xF800 && m[1] == 0x07E0 && m[2] == 0x001F) return pf16bit;
      return pfCustom;
    case 24: return pf24bit;
    case 32:
      if (!fields || (m[0] == 0xFF0000 && m[1] == 0xFF00 && m[2] == 0xFF)) return pf32bit;
      return pfCustom;
    default: return pfCustom;
  }
}

TPixelFormat ScreenFormat() {
  TScreenDC screen;
  switch (GetDeviceCaps(screen.Handle, BITSPIXEL) * GetDeviceCaps(screen.Handle, PLANES)) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 15: return pf15bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    default: return pf32bit;
  }
}

// Copies the rows of one DIB section into a bottom-up one of the same size and format.
void CopyDibBits(const DIBSECTION& from, bool fromTopDown, const DIBSECTION& to) {
  const int rows = from.dsBm.bmHeight;
  const size_t stride = Stride(from.dsBmih.biWidth, from.dsBmih.biBitCount);
  const bool flip = fromTopDown;
  auto* src = static_cast<const Byte*>(from.dsBm.bmBits);
  auto* dst = static_cast<Byte*>(to.dsBm.bmBits);
  for (int y = 0; y < rows; ++y)
    std::memcpy(dst + (flip ? rows - 1 - y : y) * stride, src + y * stride, stride);
}

std::vector<RGBQUAD> ColorTableOf(HDC dc, int bpp) {
  std::vector<RGBQUAD> colors;
  if (bpp > 8) return colors;
  colors.resize(size_t(1) << bpp);
  colors.resize(GetDIBColorTable(dc, 0, static_cast<UINT>(colors.size()), colors.data()));
  return colors;
}

// An exact copy of a bitmap; `dc` is a DC that has `bitmap` selected.
HBITMAP DuplicateBitmap(HBITMAP bitmap, HDC dc, int width, int height, bool topDown) {
  DIBSECTION ds{};
  if (GetDib(bitmap, ds)) {
    GdiFlush();
    const int bpp = ds.dsBmih.biBitCount;
    const DWORD compression = ds.dsBmih.biCompression == BI_BITFIELDS ? BI_BITFIELDS : BI_RGB;
    HBITMAP copy = CreateDib(width, height, bpp, compression, ds.dsBitfields, ColorTableOf(dc, bpp));
    DIBSECTION to{};
    GetDib(copy, to);
    CopyDibBits(ds, topDown, to);
    return copy;
  }
  bool monochrome;
  FormatOf(bitmap, monochrome);
  HBITMAP copy = NewBitmap(width, height, pfDevice, monochrome, nullptr);
  try {
    TMemoryDC to(copy);
    BitBlt(to.Handle(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
  } catch (...) {
    GdiDeleteObject(copy);
    throw;
  }
  return copy;
}

// ---- BMP reading ---------------------------------------------------------------

struct TBmpLayout {
  int Width = 0, Height = 0;
  bool TopDown = false;
  int Bpp = 0;
  DWORD Compression = BI_RGB;
  DWORD Masks[3] = {};
  std::vector<RGBQUAD> Colors;
  const Byte* Bits = nullptr;
  size_t BitsSize = 0;
};

TBmpLayout ParseBmp(const Byte* data, size_t size) {
  constexpr size_t kFileHeader = 14;
  if (size < kFileHeader + 12 || ReadRaw<WORD>(data) != 0x4D42) InvalidBitmap();
  const DWORD bitsOffset = ReadRaw<DWORD>(data + 10);
  const Byte* ih = data + kFileHeader;
  const DWORD headerSize = ReadRaw<DWORD>(ih);
  if (headerSize > size - kFileHeader) InvalidBitmap();

  TBmpLayout b;
  size_t entrySize = 4;
  DWORD colorsUsed = 0;
  if (headerSize == sizeof(BITMAPCOREHEADER)) {
    b.Width = ReadRaw<WORD>(ih + 4);
    b.Height = ReadRaw<WORD>(ih + 6);
    b.Bpp = ReadRaw<WORD>(ih + 10);
    entrySize = 3;
  } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
             headerSize == 124) {
    b.Width = ReadRaw<LONG>(ih + 4);
    b.Height = ReadRaw<LONG>(ih + 8);
    b.Bpp = ReadRaw<WORD>(ih + 14);
    b.Compression = ReadRaw<DWORD>(ih + 16);
    colorsUsed = ReadRaw<DWORD>(ih + 32);
  } else {
    InvalidBitmap();
  }
  if (b.Bpp != 1 && b.Bpp != 4 && b.Bpp != 8 && b.Bpp != 16 && b.Bpp != 24 && b.Bpp != 32)
    InvalidBitmap();
  if (b.Width <= 0 || b.Height == 0 || b.Height == INT_MIN) InvalidBitmap();
  if (b.Height < 0) {
    b.TopDown = true;
    b.Height = -b.Height;
  }

  size_t tableStart = kFileHeader + headerSize;
  switch (b.Compression) {
    case BI_RGB: break;
    case BI_RLE8:
    case BI_RLE4:
      // Run-length data is always stored bottom-up.
      if (b.Bpp != (b.Compression == BI_RLE8 ? 8 : 4) || b.TopDown) InvalidBitmap();
      break;
    case BI_BITFIELDS:
      if (b.Bpp != 16 && b.Bpp != 32) InvalidBitmap();
      if (headerSize >= 52) {
        std::memcpy(b.Masks, ih + 40, sizeof(b.Masks));
      } else {
        if (tableStart + sizeof(b.Masks) > size) InvalidBitmap();
        std::memcpy(b.Masks, data + tableStart, sizeof(b.Masks));
        tableStart += sizeof(b.Masks);
      }
      if (!b.Masks[0] || !b.Masks[1] || !b.Masks[2]) InvalidBitmap();
      break;
    default: InvalidBitmap();
  }

  const UInt64 stride = (static_cast<UInt64>(b.Width) * b.Bpp + 31) / 32 * 4;
  if (stride * static_cast<UInt64>(b.Height) > kMaxImageBytes) InvalidBitmap();

  // Colour table: the entries the header promises, cut short where the pixels
  // start (writers often leave the count at zero and store fewer).
  size_t entries = 0;
  if (b.Bpp <= 8) {
    const size_t full = size_t(1) << b.Bpp;
    if (colorsUsed > full) InvalidBitmap();
    entries = colorsUsed ? colorsUsed : full;
  } else if (colorsUsed > 0x10000) {
    InvalidBitmap();
  }
  const size_t tableBytes = (b.Bpp <= 8 ? entries : colorsUsed) * entrySize;
  size_t bitsStart;
  if (bitsOffset) {
    if (bitsOffset < tableStart || bitsOffset > size) InvalidBitmap();
    bitsStart = bitsOffset;
    if (b.Bpp <= 8) entries = std::min(entries, (bitsStart - tableStart) / entrySize);
  } else {
    bitsStart = tableStart + tableBytes;
    if (bitsStart > size) InvalidBitmap();
  }
  if (b.Bpp <= 8 && entries == 0) InvalidBitmap();
  for (size_t i = 0; i < entries; ++i) {
    const Byte* e = data + tableStart + i * entrySize;
    b.Colors.push_back({e[0], e[1], e[2], 0});
  }

  b.Bits = data + bitsStart;
  b.BitsSize = size - bitsStart;
  if (b.Compression == BI_RGB || b.Compression == BI_BITFIELDS) {
    // The last row's padding may be missing; its pixels may not.
    const UInt64 needed = stride * (b.Height - 1) + (static_cast<UInt64>(b.Width) * b.Bpp + 7) / 8;
    if (b.BitsSize < needed) InvalidBitmap();
  }
  return b;
}

// Expands RLE8/RLE4 into bottom-up rows of `stride` bytes. Runs that leave the
// image are clipped; data that ends early leaves the rest at index 0.
std::vector<Byte> DecodeRle(const TBmpLayout& b, size_t stride) {
  std::vector<Byte> out(stride * b.Height, 0);
  const bool four = b.Compression == BI_RLE4;
  auto put = [&](int x, int y, Byte index) {
    if (x < 0 || x >= b.Width || y < 0 || y >= b.Height) return;
    Byte& cell = out[y * stride + (four ? x / 2 : x)];
    if (!four) cell = index;
    else if (x % 2 == 0) cell = static_cast<Byte>((cell & 0x0F) | (index << 4));
    else cell = static_cast<Byte>((cell & 0xF0) | (index & 0x0F));
  };
  const Byte* p = b.Bits;
  const Byte* end = b.Bits + b.BitsSize;
  int x = 0, y = 0;
  while (end - p >= 2 && y < b.Height) {
    const Byte count = p[0], value = p[1];
    p += 2;
    if (count) {
      for (int i = 0; i < count; ++i, ++x)
        put(x, y, four ? ((i % 2 == 0) ? value >> 4 : value & 0x0F) : value);
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (end - p < 2) break;
      x += p[0];
      y += p[1];
      p += 2;
    } else {
      const size_t bytes = four ? (value + 1) / 2 : value;
      if (static_cast<size_t>(end - p) < bytes) break;
      for (int i = 0; i < value; ++i, ++x)
        put(x, y, four ? ((i % 2 == 0) ? p[i / 2] >> 4 : p[i / 2] & 0x0F) : p[i]);
      // Absolute runs are padded to a word; the padding may be missing at the end.
      p += std::min<size_t>(bytes + (bytes & 1), static_cast<size_t>(end - p));
    }
  }
  return out;
}

HBITMAP BitmapFromBmp(const Byte* data, size_t size) {
  const TBmpLayout b = ParseBmp(data, size);
  const size_t stride = Stride(b.Width, b.Bpp);
  const bool rle = b.Compression == BI_RLE8 || b.Compression == BI_RLE4;
  const DWORD compression = b.Compression == BI_BITFIELDS ? BI_BITFIELDS : BI_RGB;
  void* bits = nullptr;
  HBITMAP result = CreateDib(b.Width, b.Height, b.Bpp, compression, b.Masks, b.Colors, &bits);
  GdiFlush();
  auto* dst = static_cast<Byte*>(bits);
  if (rle) {
    std::vector<Byte> rows;
    try {
      rows = DecodeRle(b, stride);
    } catch (...) {
      GdiDeleteObject(result);
      throw;
    }
    std::memcpy(dst, rows.data(), rows.size());
  } else {
    for (int y = 0; y < b.Height; ++y) {
      const size_t from = y * stride;
      const size_t n = std::min(stride, b.BitsSize - from);
      std::memcpy(dst + (b.TopDown ? b.Height - 1 - y : y) * stride, b.Bits + from, n);
    }
  }
  return result;
}

// A BMP file from a packed DIB (BITMAPINFO + bits) as resources and the clipboard hold it.
TBytes FileFromPackedDib(const void* dib, size_t size) {
  TBytes file(14 + size);
  file[0] = 'B';
  file[1] = 'M';
  const DWORD total = static_cast<DWORD>(file.size());
  std::memcpy(file.data() + 2, &total, 4);
  // Offset 0: the pixels follow the colour table.
  std::memcpy(file.data() + 14, dib, size);
  return file;
}

}  // namespace

// ---------------------------------------------------------------------------
// TBitmap
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TBitmap, TGraphic, ConstructPlain<TBitmap>)

TBitmap::TBitmap() : image_(new TBitmapImage()) {}

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::~TBitmap() {
  TObject::Free(canvas_);   // frees the DC before the bitmap goes
  FreeImageHandles();
  delete image_;
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) canvas_ = Make<TBitmapCanvas>(this);
  return canvas_;
}

HDC TBitmap::ImageDC() { return static_cast<TBitmapCanvas*>(Canvas())->DC(); }

void TBitmap::FreeContext() {
  if (canvas_) static_cast<TBitmapCanvas*>(canvas_)->FreeContext();
}

void TBitmap::FreeImageHandles() {
  GdiDeleteObject(image_->Handle);
  GdiDeleteObject(image_->Mask);
  GdiDeleteObject(image_->Palette);
  image_->Handle = image_->Mask = nullptr;
  image_->Palette = nullptr;
  image_->MaskValid = false;
  image_->Bits = nullptr;
  image_->RowBytes = 0;
}

void TBitmap::SetImage(HBITMAP handle, bool foreign) {
  FreeContext();   // the old bitmap must leave the canvas DC before it is deleted
  FreeImageHandles();
  image_->Saved.clear();
  image_->Handle = handle;
  image_->TopDown = false;   // ours are bottom-up
  if (handle) {
    BITMAP bm{};
    GetObjectW(handle, sizeof(bm), &bm);
    image_->Width = bm.bmWidth;
    image_->Height = std::abs(bm.bmHeight);
    image_->Format = FormatOf(handle, image_->Monochrome);
    DIBSECTION ds{};
    if (GetDib(handle, ds)) {
      if (foreign) image_->TopDown = ProbeTopDown(handle, ds);
      image_->Bits = static_cast<Byte*>(ds.dsBm.bmBits);
      image_->RowBytes = Stride(ds.dsBmih.biWidth, ds.dsBmih.biBitCount);
    }
  } else {
    image_->Width = image_->Height = 0;
  }
}

void TBitmap::Restore() {
  if (image_->Handle || image_->Saved.empty()) return;
  const TBytes saved = std::move(image_->Saved);
  image_->Saved.clear();
  ReadBytes(saved.data(), saved.size());
}

HBITMAP TBitmap::Handle() {
  Restore();
  return image_->Handle;
}

bool TBitmap::HandleAllocated() const { return image_->Handle != nullptr; }

void TBitmap::SetHandle(HBITMAP value) {
  if (value == image_->Handle) return;
  GdiAdopt(value);
  SetImage(value, true);
  Changed(this);
}

HBITMAP TBitmap::ReleaseHandle() {
  Restore();
  FreeContext();
  HBITMAP result = image_->Handle;
  GdiDisown(result);
  image_->Handle = nullptr;
  SetImage(nullptr);
  Changed(this);
  return result;
}

HBITMAP TBitmap::CopyImage(TPixelFormat format, bool monochrome, int width, int height) {
  HBITMAP old = image_->Handle;
  std::vector<RGBQUAD> colors;
  DIBSECTION ds{};
  const bool oldDib = GetDib(old, ds);
  if (oldDib && format == image_->Format && ds.dsBmih.biBitCount <= 8)
    colors = ColorTableOf(ImageDC(), ds.dsBmih.biBitCount);
  HBITMAP result;
  if (format == pfCustom) {
    if (!oldDib) throw EInvalidGraphic(L"Invalid pixel format");
    result = CreateDib(width, height, ds.dsBmih.biBitCount, ds.dsBmih.biCompression,
                       ds.dsBitfields, colors);
  } else {
    result = NewBitmap(width, height, format, monochrome, colors.empty() ? nullptr : &colors);
  }
  try {
    const HBRUSH background =
        canvas_ ? canvas_->Brush()->Handle() : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    HDC from = old ? ImageDC() : nullptr;
    TMemoryDC to(result);
    const RECT all{0, 0, width, height};
    ::FillRect(to.Handle(), &all, background);
    if (from)
      BitBlt(to.Handle(), 0, 0, std::min(width, image_->Width), std::min(height, image_->Height),
             from, 0, 0, SRCCOPY);
  } catch (...) {
    GdiDeleteObject(result);
    throw;
  }
  return result;
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  Restore();
  if (width == image_->Width && height == image_->Height) return;
  if (width == 0 || height == 0) {
    SetImage(nullptr);
  } else {
    SetImage(CopyImage(image_->Format, image_->Monochrome, width, height));
  }
  // Keep a half-set size so that setting Width then Height makes one bitmap.
  image_->Width = width;
  image_->Height = height;
  Changed(this);
}

void TBitmap::SetSizeUninitialized(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (image_->Format == pfCustom) {   // its layout exists only in the current image
    SetSize(width, height);
    return;
  }
  Restore();
  if (image_->Handle && width == image_->Width && height == image_->Height) return;
  if (width == 0 || height == 0) {
    SetImage(nullptr);
    image_->Width = width;
    image_->Height = height;
  } else {
    std::vector<RGBQUAD> colors;
    DIBSECTION ds{};
    if (GetDib(image_->Handle, ds) && ds.dsBmih.biBitCount <= 8) colors = ColorTableOf(ImageDC(), ds.dsBmih.biBitCount);
    SetImage(NewBitmap(width, height, image_->Format, image_->Monochrome, colors.empty() ? nullptr : &colors));
  }
  Changed(this);
}

void TBitmap::SetWidth(int value) { SetSize(value, image_->Height); }
void TBitmap::SetHeight(int value) { SetSize(image_->Width, value); }
int TBitmap::Width() { return image_->Width; }
int TBitmap::Height() { return image_->Height; }
bool TBitmap::Empty() { return image_->Width == 0 || image_->Height == 0; }

TPixelFormat TBitmap::PixelFormat() { return image_->Format; }

void TBitmap::SetPixelFormat(TPixelFormat value) {
  if (value == pfCustom || value < pfDevice || value > pfCustom)
    throw EInvalidGraphic(L"Invalid pixel format");
  Restore();
  if (value == image_->Format && !(value == pfDevice && image_->Monochrome)) return;
  if (!image_->Handle) {
    image_->Format = value;
    image_->Monochrome = value == pf1bit;
    return;
  }
  const int w = image_->Width, h = image_->Height;
  SetImage(CopyImage(value, false, w, h));
  Changed(this);
}

bool TBitmap::Monochrome() { return image_->Monochrome; }

void TBitmap::SetMonochrome(bool value) {
  Restore();
  if (value == image_->Monochrome) return;
  if (!image_->Handle) {
    image_->Format = pfDevice;
    image_->Monochrome = value;
    return;
  }
  const int w = image_->Width, h = image_->Height;
  SetImage(CopyImage(pfDevice, value, w, h));
  Changed(this);
}

TBitmapHandleType TBitmap::HandleType() { return image_->Format == pfDevice ? bmDDB : bmDIB; }

void TBitmap::SetHandleType(TBitmapHandleType value) {
  if (value == HandleType()) return;
  Restore();
  const bool mono = image_->Monochrome;
  const TPixelFormat target = value == bmDDB ? pfDevice : mono ? pf1bit : ScreenFormat();
  if (!image_->Handle) {
    image_->Format = target;
    return;
  }
  const int w = image_->Width, h = image_->Height;
  SetImage(CopyImage(target, mono, w, h));
  Changed(this);
}

void* TBitmap::ScanLine(int row) {
  Restore();
  if (row < 0 || row >= image_->Height || !image_->Handle)
    throw EInvalidGraphicOperation(L"Scan line index out of range");
  if (image_->Format == pfDevice) SetHandleType(bmDIB);
  GdiFlush();
  // The caller is about to change pixels the mask was made from.
  image_->MaskValid = false;
  const int r = image_->TopDown ? row : image_->Height - 1 - row;
  return image_->Bits ? image_->Bits + r * image_->RowBytes : nullptr;
}

// ---- Transparency and mask ----------------------------------------------------

TColor TBitmap::TransparentColor() {
  if (transparentMode_ == tmFixed && transparentColor_ != clDefault) return transparentColor_;
  if (Empty() || !Handle()) return clDefault;
  return static_cast<TColor>(::GetPixel(ImageDC(), 0, image_->Height - 1));
}

void TBitmap::SetTransparentColor(TColor value) {
  if (value == transparentColor_ && (value == clDefault) == (transparentMode_ == tmAuto)) return;
  transparentColor_ = value;
  transparentMode_ = value == clDefault ? tmAuto : tmFixed;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
  if (value == transparentMode_) return;
  if (value == tmAuto) SetTransparentColor(clDefault);
  else SetTransparentColor(TransparentColor());
}

namespace {
// A monochrome bitmap, white where `dc`'s pixels have `color`.
HBITMAP MaskOf(HDC dc, int width, int height, TColor color, bool sourceIsMonochrome) {
  HBITMAP mask = GdiCreateBitmap(width, height, 1, 1, nullptr);
  if (!mask) OutOfResources();
  try {
    TMemoryDC to(mask);
    const COLORREF rgb = static_cast<COLORREF>(ColorToRGB(color)) & 0xFFFFFF;
    if (sourceIsMonochrome) {
      // Mono to mono copies bits as they are: black is 0.
      BitBlt(to.Handle(), 0, 0, width, height, dc, 0, 0, rgb == 0 ? NOTSRCCOPY : SRCCOPY);
    } else {
      const COLORREF oldBack = SetBkColor(dc, rgb);
      BitBlt(to.Handle(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
      SetBkColor(dc, oldBack);
    }
  } catch (...) {
    GdiDeleteObject(mask);
    throw;
  }
  return mask;
}
}  // namespace

HBITMAP TBitmap::MaskHandle() {
  Restore();
  if (!image_->Handle) return nullptr;
  if (!image_->MaskValid) {
    const TColor color = TransparentColor();
    HBITMAP mask = MaskOf(ImageDC(), image_->Width, image_->Height, color,
                          image_->Format == pfDevice && image_->Monochrome);
    GdiDeleteObject(image_->Mask);
    image_->Mask = mask;
    image_->MaskValid = true;
  }
  return image_->Mask;
}

void TBitmap::SetMaskHandle(HBITMAP value) {
  if (value == image_->Mask) return;
  GdiDeleteObject(image_->Mask);
  GdiAdopt(value);
  image_->Mask = value;
  image_->MaskValid = value != nullptr;
}

HBITMAP TBitmap::ReleaseMaskHandle() {
  HBITMAP result = MaskHandle();
  GdiDisown(result);
  image_->Mask = nullptr;
  image_->MaskValid = false;
  return result;
}

void TBitmap::Mask(TColor transparentColor) {
  Restore();
  if (!image_->Handle) return;
  HBITMAP mask = MaskOf(ImageDC(), image_->Width, image_->Height, transparentColor,
                        image_->Format == pfDevice && image_->Monochrome);
  SetImage(mask);
  Changed(this);
}

// ---- Palette ------------------------------------------------------------------

HPALETTE TBitmap::GetPalette() {
  Restore();
  DIBSECTION ds{};
  if (!image_->Palette && GetDib(image_->Handle, ds) && ds.dsBmih.biBitCount <= 8) {
    const std::vector<RGBQUAD> colors = ColorTableOf(ImageDC(), ds.dsBmih.biBitCount);
    if (!colors.empty()) {
      std::vector<Byte> buffer(sizeof(LOGPALETTE) + colors.size() * sizeof(PALETTEENTRY));
      auto* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
      lp->palVersion = 0x300;
      lp->palNumEntries = static_cast<WORD>(colors.size());
      for (size_t i = 0; i < colors.size(); ++i)
        lp->palPalEntry[i] = {colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue, 0};
      image_->Palette = GdiCreatePalette(lp);
      // A null palette would read as "this bitmap has none".
      if (!image_->Palette) OutOfResources();
    }
  }
  return image_->Palette;
}

void TBitmap::SetPalette(HPALETTE value) {
  Restore();
  if (value == image_->Palette) return;
  GdiDeleteObject(image_->Palette);
  GdiAdopt(value);
  image_->Palette = value;
  DIBSECTION ds{};
  if (value && GetDib(image_->Handle, ds) && ds.dsBmih.biBitCount <= 8) {
    PALETTEENTRY entries[256]{};
    const UINT n = GetPaletteEntries(value, 0, 1u << ds.dsBmih.biBitCount, entries);
    std::vector<RGBQUAD> colors;
    for (UINT i = 0; i < n; ++i) colors.push_back({entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0});
    if (n) SetDIBColorTable(ImageDC(), 0, n, colors.data());
  }
  Changed(this);
}

HPALETTE TBitmap::ReleasePalette() {
  HPALETTE result = GetPalette();
  GdiDisown(result);
  image_->Palette = nullptr;
  return result;
}

// ---- Memory management --------------------------------------------------------

void TBitmap::Dormant() {
  if (!image_->Handle) return;
  TBytes saved = SaveBytes();
  const int w = image_->Width, h = image_->Height;
  const TPixelFormat format = image_->Format;
  const bool mono = image_->Monochrome;
  SetImage(nullptr);
  image_->Saved = std::move(saved);
  image_->Width = w;
  image_->Height = h;
  image_->Format = format;
  image_->Monochrome = mono;
}

void TBitmap::FreeImage() {
  if (!image_->Handle) return;   // a dormant image has nothing but its bytes
  GdiDeleteObject(image_->Mask);
  image_->Mask = nullptr;
  image_->MaskValid = false;
}

// ---- Assign, compare, draw ------------------------------------------------------

void TBitmap::Assign(TPersistent* source) {
  if (!source) {
    SetImage(nullptr);
    Changed(this);
    return;
  }
  auto* src = dynamic_cast<TBitmap*>(source);
  if (!src) {
    inherited::Assign(source);
    return;
  }
  if (src == this) return;
  src->Restore();
  HBITMAP copy = src->image_->Handle
                     ? DuplicateBitmap(src->image_->Handle, src->ImageDC(), src->image_->Width,
                                       src->image_->Height, src->image_->TopDown)
                     : nullptr;
  SetImage(copy);
  image_->Width = src->image_->Width;
  image_->Height = src->image_->Height;
  image_->Format = src->image_->Format;
  image_->Monochrome = src->image_->Monochrome;
  transparentColor_ = src->transparentColor_;
  transparentMode_ = src->transparentMode_;
  transparent_ = src->transparent_;
  Changed(this);
}

bool TBitmap::Equals(TGraphic* graphic) {
  auto* other = dynamic_cast<TBitmap*>(graphic);
  if (!other || other->ClassType() != ClassType()) return false;
  if (other == this) return true;
  if (Empty() || other->Empty()) return Empty() == other->Empty();
  return SaveBytes() == other->SaveBytes();
}

void TBitmap::Changed(TObject* sender) {
  image_->MaskValid = false;
  TGraphic::Changed(sender);
}

void TBitmap::Draw(TCanvas* canvas, const TRect& rect) {
  Restore();
  if (!image_->Handle) return;
  HDC dst = canvas->Handle();
  HDC src = ImageDC();
  const int oldMode = SetStretchBltMode(dst, image_->Monochrome ? BLACKONWHITE : COLORONCOLOR);
  if (Transparent()) {
    TMemoryDC mask(MaskHandle());
    TransparentStretchBlt(dst, rect.Left, rect.Top, rect.Width(), rect.Height(), src, 0, 0,
                          image_->Width, image_->Height, mask.Handle(), 0, 0);
  } else {
    StretchBlt(dst, rect.Left, rect.Top, rect.Width(), rect.Height(), src, 0, 0, image_->Width,
               image_->Height, static_cast<DWORD>(canvas->CopyMode()));
  }
  SetStretchBltMode(dst, oldMode);
}

// ---- BMP files ------------------------------------------------------------------

void TBitmap::ReadBytes(const Byte* data, size_t size) {
  if (size == 0) {
    SetImage(nullptr);
    return;
  }
  SetImage(BitmapFromBmp(data, size));
}

TBytes TBitmap::SaveBytes() {
  Restore();
  TBytes out;
  if (!image_->Handle) return out;
  const int w = image_->Width, h = image_->Height;
  int bpp;
  DWORD compression = BI_RGB;
  DWORD masks[3] = {};
  std::vector<RGBQUAD> colors;
  std::vector<Byte> pixels;

  DIBSECTION ds{};
  if (GetDib(image_->Handle, ds)) {
    GdiFlush();
    bpp = ds.dsBmih.biBitCount;
    if (ds.dsBmih.biCompression == BI_BITFIELDS) {
      compression = BI_BITFIELDS;
      std::memcpy(masks, ds.dsBitfields, sizeof(masks));
    }
    colors = ColorTableOf(ImageDC(), bpp);
    const size_t stride = Stride(w, bpp);
    pixels.resize(stride * h);
    const auto* bits = static_cast<const Byte*>(ds.dsBm.bmBits);
    for (int y = 0; y < h; ++y) {
      const int from = image_->TopDown ? h - 1 - y : y;   // file rows are bottom-up
      std::memcpy(pixels.data() + y * stride, bits + from * stride, stride);
    }
  } else {
    // A device bitmap is read out through GetDIBits, which wants it in no DC.
    FreeContext();
    bpp = image_->Monochrome ? 1 : 24;
    std::vector<Byte> buffer(sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD));
    auto* info = reinterpret_cast<BITMAPINFO*>(buffer.data());
    info->bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, static_cast<WORD>(bpp), BI_RGB, 0, 0, 0, 0, 0};
    pixels.resize(Stride(w, bpp) * h);
    TScreenDC screen;
    if (GetDIBits(screen.Handle, image_->Handle, 0, h, pixels.data(), info, DIB_RGB_COLORS) != h)
      OutOfResources();
    if (bpp == 1) colors.assign(info->bmiColors, info->bmiColors + 2);
  }

  const DWORD maskBytes = compression == BI_BITFIELDS ? sizeof(masks) : 0;
  const DWORD offset = 14 + sizeof(BITMAPINFOHEADER) + maskBytes + static_cast<DWORD>(colors.size() * sizeof(RGBQUAD));
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfSize = offset + static_cast<DWORD>(pixels.size());
  fh.bfOffBits = offset;
  BITMAPINFOHEADER ih = InfoHeader(w, h, bpp, compression);
  ih.biSizeImage = static_cast<DWORD>(pixels.size());
  ih.biClrUsed = static_cast<DWORD>(colors.size());
  out.reserve(fh.bfSize);
  AppendRaw(out, fh);
  AppendRaw(out, ih);
  if (maskBytes) AppendRaw(out, masks);
  for (const RGBQUAD& c : colors) AppendRaw(out, c);
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

void TBitmap::LoadFromStream(TStream* stream) {
  const Int64 remaining = stream->Size() - stream->Position();
  if (remaining > static_cast<Int64>(kMaxImageBytes) + 0x100000) InvalidBitmap();
  TBytes data(static_cast<size_t>(std::max<Int64>(remaining, 0)));
  if (!data.empty()) stream->ReadBuffer(data.data(), static_cast<int>(data.size()));
  ReadBytes(data.data(), data.size());
  Changed(this);
}

void TBitmap::SaveToStream(TStream* stream) {
  const TBytes data = SaveBytes();
  if (!data.empty()) stream->WriteBuffer(data.data(), static_cast<int>(data.size()));
}

void TBitmap::ReadData(TStream* stream) {
  DWORD size = 0;
  stream->ReadBuffer(&size, sizeof(size));
  if (size > stream->Size() - stream->Position()) InvalidBitmap();
  TBytes data(size);
  if (size) stream->ReadBuffer(data.data(), static_cast<int>(size));
  ReadBytes(data.data(), data.size());
  Changed(this);
}

void TBitmap::WriteData(TStream* stream) {
  const TBytes data = SaveBytes();
  const DWORD size = static_cast<DWORD>(data.size());
  stream->WriteBuffer(&size, sizeof(size));
  if (size) stream->WriteBuffer(data.data(), static_cast<int>(size));
}

namespace {
TBytes BitmapResource(HINSTANCE instance, const Char* name, const String& display) {
  HRSRC res = FindResourceW(instance, name, MAKEINTRESOURCEW(2) /*RT_BITMAP*/);
  HGLOBAL global = res ? LoadResource(instance, res) : nullptr;
  const void* data = global ? LockResource(global) : nullptr;
  if (!data) throw EResNotFound(L"Resource " + display + L" not found");
  return FileFromPackedDib(data, SizeofResource(instance, res));
}
}  // namespace

void TBitmap::LoadFromResourceName(HINSTANCE instance, const String& name) {
  const TBytes file = BitmapResource(instance, name.c_str(), name);
  ReadBytes(file.data(), file.size());
  Changed(this);
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
  const TBytes file = BitmapResource(instance, MAKEINTRESOURCEW(id), std::to_wstring(id));
  ReadBytes(file.data(), file.size());
  Changed(this);
}

// ---- Clipboard --------------------------------------------------------------------

void TBitmap::LoadFromClipboardFormat(Word format, HANDLE data, HPALETTE) {
  if (format == CF_BITMAP && data) {
    // The clipboard keeps its bitmap: take a copy.
    HBITMAP source = static_cast<HBITMAP>(data);
    BITMAP bm{};
    if (!GetObjectW(source, sizeof(bm), &bm)) throw EInvalidGraphic(L"Bitmap image is not valid");
    DIBSECTION ds{};
    const bool topDown = GetDib(source, ds) && ProbeTopDown(source, ds);
    TMemoryDC from(source);
    SetImage(DuplicateBitmap(source, from.Handle(), bm.bmWidth, std::abs(bm.bmHeight), topDown));
  } else if (format == CF_DIB && data) {
    const void* dib = GlobalLock(data);
    if (!dib) throw EInvalidGraphic(L"Bitmap image is not valid");
    TBytes file;
    try {
      file = FileFromPackedDib(dib, GlobalSize(data));
    } catch (...) {
      GlobalUnlock(data);
      throw;
    }
    GlobalUnlock(data);
    ReadBytes(file.data(), file.size());
  } else {
    TGraphic::LoadFromClipboardFormat(format, data, nullptr);
  }
  Changed(this);
}

void TBitmap::SaveToClipboardFormat(Word& format, HANDLE& data, HPALETTE& palette) {
  Restore();
  format = CF_BITMAP;
  palette = nullptr;
  data = nullptr;
  if (!image_->Handle) return;
  HBITMAP copy = DuplicateBitmap(image_->Handle, ImageDC(), image_->Width, image_->Height,
                                 image_->TopDown);
  GdiDisown(copy);   // the clipboard owns it now
  data = copy;
}
