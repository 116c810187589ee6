#include "platform/WinApi.h"
#include "platform/gui/ImgList.h"

#include "platform/core/Filer.h"
#include "platform/core/Streams.h"
#include "platform/gui/GdiAccounting.h"

#include <objidl.h>

#include <algorithm>
#include <cstring>
#include <exception>

// Declared by <commctrl.h> only when the OLE headers came first, which the
// lean WinApi.h does not include.
extern "C" {
HIMAGELIST WINAPI ImageList_Read(IStream* stream);
BOOL WINAPI ImageList_Write(HIMAGELIST list, IStream* stream);
}

namespace {

const Char* const kReadFail = L"Failed to read ImageList data from stream";
const Char* const kWriteFail = L"Failed to write ImageList data to stream";
const Char* const kIndexError = L"Invalid ImageList Index";

long g_liveLists = 0;

// Every HIMAGELIST this module is responsible for goes through these two.
void CountList() { InterlockedIncrement(&g_liveLists); }
void DestroyList(HIMAGELIST list) {
  if (!list) return;
  ImageList_Destroy(list);
  InterlockedDecrement(&g_liveLists);
}

COLORREF ToColorRef(TColor color) {
  if (color == clNone) return CLR_NONE;
  if (color == clDefault) return CLR_DEFAULT;
  return static_cast<COLORREF>(ColorToRGB(color));
}

TColor FromColorRef(COLORREF color) {
  if (color == CLR_NONE) return clNone;
  if (color == CLR_DEFAULT) return clDefault;
  return static_cast<TColor>(color & 0xFFFFFF);
}

UINT ColorFlags(TColorDepth depth) {
  switch (depth) {
    case cdDeviceDependent: return ILC_COLORDDB;
    case cd4Bit: return ILC_COLOR4;
    case cd8Bit: return ILC_COLOR8;
    case cd16Bit: return ILC_COLOR16;
    case cd24Bit: return ILC_COLOR24;
    case cd32Bit: return ILC_COLOR32;
  }
  return ILC_COLOR32;
}

TColorDepth DepthOfFlags(UINT flags) {
  switch (flags & 0xFE) {
    case ILC_COLORDDB: return cdDeviceDependent;
    case ILC_COLOR8: return cd8Bit;
    case ILC_COLOR16: return cd16Bit;
    case ILC_COLOR24: return cd24Bit;
    case ILC_COLOR32: return cd32Bit;
    default: return cd4Bit;   // ILC_COLOR and ILC_COLOR4
  }
}

// ---------------------------------------------------------------------------
// Scratch DIB sections handed to comctl32
// ---------------------------------------------------------------------------

// A top-down DIB section of 32 bits (image) or 1 bit (mask: black opaque,
// white transparent), deleted with the object.
class TempDib {
 public:
  TempDib() = default;
  TempDib(const TempDib&) = delete;
  TempDib& operator=(const TempDib&) = delete;
  TempDib(TempDib&& o) noexcept { *this = std::move(o); }
  TempDib& operator=(TempDib&& o) noexcept {
    std::swap(handle_, o.handle_);
    std::swap(bits_, o.bits_);
    std::swap(width_, o.width_);
    std::swap(height_, o.height_);
    std::swap(mono_, o.mono_);
    return *this;
  }
  ~TempDib() { GdiDeleteObject(handle_); }

  static TempDib Color(int width, int height) { return Make(width, height, false); }
  static TempDib Mono(int width, int height) { return Make(width, height, true); }

  HBITMAP Handle() const { return handle_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  DWORD* Row(int y) const { return reinterpret_cast<DWORD*>(static_cast<Byte*>(bits_) + y * Stride()); }
  int Stride() const { return mono_ ? (width_ + 31) / 32 * 4 : width_ * 4; }
  void SetMaskBit(int x, int y, bool transparent) {
    Byte* row = static_cast<Byte*>(bits_) + y * Stride();
    const Byte bit = static_cast<Byte>(0x80 >> (x & 7));
    if (transparent) row[x >> 3] |= bit;
    else row[x >> 3] &= static_cast<Byte>(~bit);
  }
  void FillMask(bool transparent) { std::memset(bits_, transparent ? 0xFF : 0, Stride() * height_); }

 private:
  static TempDib Make(int width, int height, bool mono) {
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colors[2];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = mono ? 1 : 32;
    info.header.biCompression = BI_RGB;
    info.colors[1] = RGBQUAD{255, 255, 255, 0};
    TempDib d;
    d.handle_ = GdiCreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), &d.bits_);
    if (!d.handle_) throw EOutOfResources(L"Out of system resources");
    d.width_ = width;
    d.height_ = height;
    d.mono_ = mono;
    std::memset(d.bits_, 0, d.Stride() * height);
    return d;
  }

  HBITMAP handle_ = nullptr;
  void* bits_ = nullptr;
  int width_ = 0, height_ = 0;
  bool mono_ = false;
};

// The bitmap's pixels as a 32-bit copy. 32-bit bitmaps are copied byte for
// byte so that their alpha channel survives; others are drawn through GDI.
// The copy also keeps comctl32 away from the caller's bitmap, which may
// still be selected into its canvas and which AddMasked would blacken.
TempDib CopyOfBitmap(TBitmap* bitmap) {
  const int w = bitmap->Width(), h = bitmap->Height();
  if (w <= 0 || h <= 0 || !bitmap->Handle()) return {};
  TempDib copy = TempDib::Color(w, h);
  if (bitmap->PixelFormat() == pf32bit) {
    for (int y = 0; y < h; ++y) std::memcpy(copy.Row(y), bitmap->ScanLine(y), w * 4);
  } else {
    HDC source = bitmap->Canvas()->Handle();
    HDC dc = GdiCreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, copy.Handle());
    BitBlt(dc, 0, 0, w, h, source, 0, 0, SRCCOPY);
    SelectObject(dc, old);
    GdiDeleteDC(dc);
    GdiFlush();
  }
  return copy;
}

// A mask bitmap as comctl32 wants it: white pixels are transparent, all
// others opaque. Parts outside the mask bitmap stay opaque.
TempDib MaskOfBitmap(TBitmap* mask, int width, int height) {
  TempDib result = TempDib::Mono(width, height);
  if (!mask) return result;
  TempDib pixels = CopyOfBitmap(mask);
  if (!pixels.Handle()) return result;
  const int w = std::min(width, pixels.Width()), h = std::min(height, pixels.Height());
  for (int y = 0; y < h; ++y) {
    const DWORD* row = pixels.Row(y);
    for (int x = 0; x < w; ++x)
      if ((row[x] & 0xFFFFFF) == 0xFFFFFF) result.SetMaskBit(x, y, true);
  }
  return result;
}

// Masks the pixels of one colour and blackens them in the image, so that
// the image draws as comctl32 expects (mask AND, then image OR).
TempDib MaskByColor(TempDib& image, COLORREF color) {
  TempDib mask = TempDib::Mono(image.Width(), image.Height());
  const DWORD key = ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
  for (int y = 0; y < image.Height(); ++y) {
    DWORD* row = image.Row(y);
    for (int x = 0; x < image.Width(); ++x) {
      if ((row[x] & 0xFFFFFF) != key) continue;
      row[x] = 0;
      mask.SetMaskBit(x, y, true);
    }
  }
  return mask;
}

// The image and mask bitmaps of a comctl32 list read as 32-bit top-down
// pixels (mask: non-zero = transparent).
struct ListPixels {
  int width = 0, height = 0;
  std::vector<DWORD> image, mask;
};

bool ReadListPixels(HIMAGELIST list, ListPixels& out) {
  IMAGEINFO info{};
  if (!list || !ImageList_GetImageInfo(list, 0, &info) || !info.hbmImage) return false;
  BITMAP bm{};
  if (!GetObjectW(info.hbmImage, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return false;
  out.width = bm.bmWidth;
  out.height = bm.bmHeight;
  BITMAPINFO bi{};
  auto setup = [&] {
    bi = BITMAPINFO{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = out.width;
    bi.bmiHeader.biHeight = -out.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
  };
  HDC dc = GdiCreateCompatibleDC(nullptr);
  GdiFlush();
  setup();
  out.image.assign(size_t(out.width) * out.height, 0);
  bool ok = GetDIBits(dc, info.hbmImage, 0, out.height, out.image.data(), &bi, DIB_RGB_COLORS) == out.height;
  out.mask.clear();
  if (ok && info.hbmMask) {
    setup();
    out.mask.assign(out.image.size(), 0);
    ok = GetDIBits(dc, info.hbmMask, 0, out.height, out.mask.data(), &bi, DIB_RGB_COLORS) == out.height;
  }
  GdiDeleteDC(dc);
  return ok;
}

// Adds one image per cell of `px` to `target`, each at the target's size
// (cropped, or padded with transparent pixels), keeping pixels, alpha and
// mask as they are. Returns the first new index, -1 when none was added.
int AddPixelCells(HIMAGELIST target, int width, int height, bool masked, const ListPixels& px,
                  const std::vector<RECT>& cells) {
  const bool sourceMasked = !px.mask.empty();
  int result = -1;
  for (const RECT& r : cells) {
    const int w = std::min<int>(width, std::min<int>(r.right, px.width) - r.left);
    const int h = std::min<int>(height, std::min<int>(r.bottom, px.height) - r.top);
    TempDib image = TempDib::Color(width, height);
    TempDib mask = TempDib::Mono(width, height);
    mask.FillMask(true);
    for (int y = 0; y < h; ++y) {
      const size_t at = size_t(r.top + y) * px.width + r.left;
      std::memcpy(image.Row(y), &px.image[at], size_t(std::max(w, 0)) * 4);
      for (int x = 0; x < w; ++x) mask.SetMaskBit(x, y, sourceMasked && (px.mask[at + x] & 0xFFFFFF) != 0);
    }
    const int index = ImageList_Add(target, image.Handle(), masked ? mask.Handle() : nullptr);
    if (result < 0) result = index;
  }
  return result;
}

// ---------------------------------------------------------------------------
// The comctl32 image-list stream
// ---------------------------------------------------------------------------
//
//   offset  size  field
//        0     2  magic "IL"
//        2     2  version 0x0101
//        4     2  image count
//        6     2  capacity (images the list has room for)
//        8     2  growth step
//       10     2  image width
//       12     2  image height
//       14     4  background colour (CLR_NONE = 0xFFFFFFFF)
//       18     2  ILC_ flags
//       20     8  four overlay image indexes (-1 = none)
//       28        the images as a BMP file (file header, info header, colour
//                 table, bottom-up rows), 4 images across; then, with
//                 ILC_MASK, the masks as a 1-bit BMP file of the same size.
//
// comctl32 trusts every field of this stream (Wine's reader walks off the
// bitmap for a count the bitmap does not hold, and crashes outright for some
// image sizes), so the stream is checked completely here and comctl32 only
// ever sees a canonical copy made from the checked parts.
namespace ilstream {

constexpr WORD kMagic = 0x4C49;   // "IL"
constexpr WORD kVersion = 0x0101;
constexpr size_t kHeaderSize = 28;
constexpr int kAcross = 4;
// Bound of the pixels a list read from a stream may hold (64 MB at 32 bits):
// no stored list comes near it, and a hostile header cannot make comctl32
// allocate more.
constexpr UInt64 kMaxPixels = UInt64(16) * 1024 * 1024;
constexpr Int64 kMaxStreamSize = Int64(256) * 1024 * 1024;

struct Bmp {
  int Width = 0, Height = 0, BitCount = 0;
  std::vector<RGBQUAD> Colors;
  const Byte* Bits = nullptr;   // bottom-up rows as stored
  size_t Stride = 0;
};

struct Parsed {
  WORD Count = 0, Capacity = 0, Grow = 0, Cx = 0, Cy = 0, Flags = 0;
  DWORD BkColor = 0;
  short Overlays[4] = {-1, -1, -1, -1};
  Bmp Image, Mask;
  bool HasMask = false;
  size_t Consumed = 0;
};

WORD Get16(const Byte* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
DWORD Get32(const Byte* p) { return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24); }
void Put16(TBytes& out, unsigned v) {
  out.push_back(static_cast<Byte>(v));
  out.push_back(static_cast<Byte>(v >> 8));
}
void Put32(TBytes& out, DWORD v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

int RowsFor(int count, int cy) { return (count + kAcross - 1) / kAcross * cy; }

bool ParseBmp(const Byte* data, size_t size, size_t& pos, Bmp& out, int width, int minRows, bool mask) {
  if (size - pos < 14 + 40) return false;
  const Byte* file = data + pos;
  if (Get16(file) != 0x4D42) return false;   // "BM"
  const DWORD offBits = Get32(file + 10);
  const Byte* info = file + 14;
  const DWORD infoSize = Get32(info);
  if (infoSize < 40 || infoSize > 124 || size - pos < 14 + infoSize) return false;
  const auto w = static_cast<LONG>(Get32(info + 4));
  const auto h = static_cast<LONG>(Get32(info + 8));
  const WORD planes = Get16(info + 12), bpp = Get16(info + 14);
  const DWORD compression = Get32(info + 16), colorsUsed = Get32(info + 32);
  if (planes != 1 || compression != BI_RGB) return false;
  if (mask ? bpp != 1 : (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32))
    return false;
  // Top-down rows (negative height) are not part of the format.
  if (w != width || h < minRows || h < 0) return false;
  const UInt64 maxColors = bpp <= 8 ? (UInt64(1) << bpp) : 256;
  if (colorsUsed > maxColors) return false;
  const UInt64 colors = bpp <= 8 && colorsUsed == 0 ? (UInt64(1) << bpp) : colorsUsed;
  const UInt64 tableEnd = 14 + UInt64(infoSize) + colors * 4;
  if (offBits < tableEnd) return false;
  const UInt64 stride = (UInt64(w) * bpp + 31) / 32 * 4;
  const UInt64 bitsSize = stride * UInt64(h);
  if (UInt64(offBits) + bitsSize > size - pos) return false;
  out.Width = w;
  out.Height = h;
  out.BitCount = bpp;
  out.Colors.resize(static_cast<size_t>(colors));
  if (colors) std::memcpy(out.Colors.data(), info + infoSize, static_cast<size_t>(colors) * 4);
  out.Bits = file + offBits;
  out.Stride = static_cast<size_t>(stride);
  pos += offBits + static_cast<size_t>(bitsSize);
  return true;
}

bool Parse(const Byte* data, size_t size, Parsed& out) {
  if (!data || size < kHeaderSize) return false;
  if (Get16(data) != kMagic || Get16(data + 2) != kVersion) return false;
  out.Count = Get16(data + 4);
  out.Capacity = Get16(data + 6);
  out.Grow = Get16(data + 8);
  out.Cx = Get16(data + 10);
  out.Cy = Get16(data + 12);
  out.BkColor = Get32(data + 14);
  out.Flags = Get16(data + 18);
  for (int i = 0; i < 4; ++i) out.Overlays[i] = static_cast<short>(Get16(data + 20 + 2 * i));
  if (out.Cx < 1 || out.Cy < 1 || out.Count > out.Capacity) return false;
  if ((UInt64(out.Count) + 1) * out.Cx * out.Cy > kMaxPixels) return false;
  switch (out.Flags & 0xFE) {
    case ILC_COLOR: case ILC_COLOR4: case ILC_COLOR8: case ILC_COLOR16:
    case ILC_COLOR24: case ILC_COLOR32: case ILC_COLORDDB: break;
    default: return false;
  }
  size_t pos = kHeaderSize;
  const int width = out.Cx * kAcross, rows = RowsFor(out.Count, out.Cy);
  if (!ParseBmp(data, size, pos, out.Image, width, rows, false)) return false;
  out.HasMask = (out.Flags & ILC_MASK) != 0;
  if (out.HasMask && !ParseBmp(data, size, pos, out.Mask, width, rows, true)) return false;
  out.Consumed = pos;
  return true;
}

// The headers of a BMP file of the top `rows` rows of `bmp`, with a full
// colour table; the rows follow them (TopRows).
void EmitBmpHeader(TBytes& out, const Bmp& bmp, int rows) {
  const DWORD colors = bmp.BitCount <= 8 ? (1u << bmp.BitCount) : 0;
  const DWORD bitsSize = static_cast<DWORD>(bmp.Stride * rows);
  const DWORD offBits = 14 + 40 + colors * 4;
  Put16(out, 0x4D42);
  Put32(out, offBits + bitsSize);
  Put32(out, 0);
  Put32(out, offBits);
  Put32(out, 40);
  Put32(out, static_cast<DWORD>(bmp.Width));
  Put32(out, static_cast<DWORD>(rows));
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(bmp.BitCount));
  Put32(out, BI_RGB);
  Put32(out, bitsSize);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  for (DWORD i = 0; i < colors; ++i) {
    const RGBQUAD c = i < bmp.Colors.size() ? bmp.Colors[i] : RGBQUAD{};
    out.push_back(c.rgbBlue);
    out.push_back(c.rgbGreen);
    out.push_back(c.rgbRed);
    out.push_back(0);
  }
}

struct Rows {
  const Byte* Data;
  size_t Size;
};

// Bottom-up storage: the top rows are the last ones stored.
Rows TopRows(const Bmp& bmp, int rows) {
  return {bmp.Bits + bmp.Stride * size_t(bmp.Height - rows), bmp.Stride * size_t(rows)};
}

void EmitHeader(TBytes& out, const Parsed& p, unsigned capacity, unsigned grow) {
  Put16(out, kMagic);
  Put16(out, kVersion);
  Put16(out, p.Count);
  Put16(out, std::min(capacity, 0xFFFFu));
  Put16(out, grow);
  Put16(out, p.Cx);
  Put16(out, p.Cy);
  DWORD bk = p.BkColor;
  if (bk != CLR_NONE && bk != CLR_DEFAULT) bk &= 0xFFFFFF;
  Put32(out, bk);
  Put16(out, p.Flags & (ILC_MASK | 0xFE));
  for (short overlay : p.Overlays)
    Put16(out, static_cast<WORD>(overlay >= 0 && overlay < p.Count ? overlay : -1));
}

// The canonical stream in pieces: the headers made anew, the rows where the
// parsed stream holds them (a list of 160 KB reaches comctl32 uncopied).
std::vector<Rows> Canonical(const Parsed& p, unsigned capacity, unsigned grow, int rows, TBytes& head,
                            TBytes& maskHead) {
  EmitHeader(head, p, capacity, grow);
  EmitBmpHeader(head, p.Image, rows);
  std::vector<Rows> pieces{{head.data(), head.size()}, TopRows(p.Image, rows)};
  if (p.HasMask) {
    EmitBmpHeader(maskHead, p.Mask, rows);
    pieces.push_back({maskHead.data(), maskHead.size()});
    pieces.push_back(TopRows(p.Mask, rows));
  }
  return pieces;
}

TBytes Emit(const Parsed& p, unsigned capacity, unsigned grow, int rows) {
  TBytes head, maskHead, out;
  const std::vector<Rows> pieces = Canonical(p, capacity, grow, rows, head, maskHead);
  size_t size = 0;
  for (const Rows& r : pieces) size += r.Size;
  out.reserve(size);
  for (const Rows& r : pieces) out.insert(out.end(), r.Data, r.Data + r.Size);
  return out;
}

// Reads a list of pieces as one stream (for comctl32's reader, through the
// stream adapter); read-only.
class TPiecesStream : public TStream {
 public:
  explicit TPiecesStream(std::vector<Rows> pieces) : pieces_(std::move(pieces)) {
    for (const Rows& r : pieces_) size_ += Int64(r.Size);
  }
  int Read(void* buffer, int count) override {
    if (count <= 0 || position_ < 0 || position_ >= size_) return 0;
    auto* out = static_cast<Byte*>(buffer);
    Int64 start = 0;
    int done = 0;
    for (const Rows& r : pieces_) {
      const Int64 end = start + Int64(r.Size);
      if (position_ < end && done < count) {
        const size_t at = size_t(position_ - start);
        const size_t n = std::min<size_t>(r.Size - at, size_t(count - done));
        std::memcpy(out + done, r.Data + at, n);
        done += int(n);
        position_ += Int64(n);
      }
      start = end;
    }
    return done;
  }
  int Write(const void*, int) override { throw EStreamError(L"The stream is read-only"); }
  Int64 Seek(Int64 offset, TSeekOrigin origin) override {
    position_ = SeekPosition(position_, size_, offset, origin);
    return position_;
  }
  Int64 Size() override { return size_; }

 private:
  std::vector<Rows> pieces_;
  Int64 size_ = 0;
  Int64 position_ = 0;
};

}  // namespace ilstream

// Opens an update bracket for the scope; the change is reported when the
// scope ends normally, and kept for the next report when it ends by an
// exception.
class UpdateScope {
 public:
  explicit UpdateScope(TCustomImageList* list) : list_(list) { list_->BeginUpdate(); }
  UpdateScope(const UpdateScope&) = delete;
  UpdateScope& operator=(const UpdateScope&) = delete;
  ~UpdateScope() noexcept(false) {
    if (std::uncaught_exceptions() > exceptions_) {
      try {
        list_->EndUpdate();
      } catch (...) {
      }
    } else {
      list_->EndUpdate();
    }
  }

 private:
  TCustomImageList* list_;
  int exceptions_ = std::uncaught_exceptions();
};

}  // namespace

// ---------------------------------------------------------------------------
// TChangeLink
// ---------------------------------------------------------------------------

TChangeLink::~TChangeLink() {
  if (sender_) sender_->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(sender_);
}

// ---------------------------------------------------------------------------
// TCustomImageList
// ---------------------------------------------------------------------------

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) { Init(16, 16); }

TCustomImageList::TCustomImageList(TComponent* AOwner, int width, int height) : TComponent(AOwner) {
  Init(width, height);
}

void TCustomImageList::Init(int width, int height) {
  if (width < 1 || height < 1) throw EInvalidOperation(L"Invalid image size");
  width_ = width;
  height_ = height;
}

TCustomImageList::~TCustomImageList() {
  while (!clients_.empty()) UnRegisterChanges(clients_.back());
  FreeHandle();
}

void TCustomImageList::Loaded() {
  TComponent::Loaded();
  Change();
}

// --- handle -----------------------------------------------------------------

HIMAGELIST TCustomImageList::Handle() {
  if (!handle_) CreateImageList();
  return handle_;
}

void TCustomImageList::CreateImageList() {
  const UINT flags = ColorFlags(colorDepth_) | (masked_ ? ILC_MASK : 0);
  const int step = std::max(allocBy_, 1);
  HIMAGELIST list = ImageList_Create(width_, height_, flags, step, step);
  if (!list) throw EInvalidOperation(L"Invalid ImageList");
  if (bkColor_ != clNone) ImageList_SetBkColor(list, ToColorRef(bkColor_));
  if (!shareImages_) CountList();   // a shared list is never ours to destroy
  handle_ = list;
}

void TCustomImageList::TakeHandle(HIMAGELIST value) {
  FreeHandle();
  handle_ = value;
  if (value && !shareImages_) CountList();
}

void TCustomImageList::FreeHandle() {
  if (!handle_) return;
  HIMAGELIST list = handle_;
  handle_ = nullptr;
  if (!shareImages_) DestroyList(list);
}

void TCustomImageList::SetHandle(HIMAGELIST value) {
  // Setting the list's own handle again must not destroy it first.
  if (value == handle_) return;
  TakeHandle(value);
  if (value) {
    int cx = width_, cy = height_;
    if (ImageList_GetIconSize(value, &cx, &cy) && cx > 0 && cy > 0) {
      width_ = cx;
      height_ = cy;
    }
    bkColor_ = FromColorRef(ImageList_GetBkColor(value));
  }
  Change();
}

void TCustomImageList::RecreateHandle(bool keepImages) {
  HIMAGELIST old = handle_;
  if (!old) return;
  const bool ownedOld = !shareImages_;
  handle_ = nullptr;
  try {
    CreateImageList();
    const int n = ImageList_GetImageCount(old);
    if (keepImages && n > 0) AddCells(old, 0, n - 1);
  } catch (...) {
    FreeHandle();
    handle_ = old;
    throw;
  }
  if (ownedOld) DestroyList(old);
}

void TCustomImageList::SetShareImages(bool value) {
  if (value == shareImages_) return;
  shareImages_ = value;
  if (handle_) {
    if (value) InterlockedDecrement(&g_liveLists);
    else CountList();
  }
}

// --- properties --------------------------------------------------------------

int TCustomImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

void TCustomImageList::SetWidth(int value) {
  if (value == width_) return;
  if (value < 1) throw EInvalidOperation(L"Invalid image size");
  width_ = value;
  if (handle_) ImageList_SetIconSize(handle_, width_, height_);   // empties the list
  Change();
}

void TCustomImageList::SetHeight(int value) {
  if (value == height_) return;
  if (value < 1) throw EInvalidOperation(L"Invalid image size");
  height_ = value;
  if (handle_) ImageList_SetIconSize(handle_, width_, height_);
  Change();
}

void TCustomImageList::SetAllocBy(int value) { allocBy_ = value; }

TColor TCustomImageList::BkColor() const {
  return handle_ ? FromColorRef(ImageList_GetBkColor(handle_)) : bkColor_;
}

void TCustomImageList::SetBkColor(TColor value) {
  if (value == BkColor() && value == bkColor_) return;
  bkColor_ = value;
  if (handle_) ImageList_SetBkColor(handle_, ToColorRef(value));
  Change();
}

void TCustomImageList::SetBlendColor(TColor value) {
  if (value == blendColor_) return;
  blendColor_ = value;
  Change();
}

void TCustomImageList::SetColorDepth(TColorDepth value) {
  if (value == colorDepth_) return;
  colorDepth_ = value;
  RecreateHandle(true);
  Change();
}

void TCustomImageList::SetMasked(bool value) {
  if (value == masked_) return;
  masked_ = value;
  RecreateHandle(true);
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle value) {
  if (value == drawingStyle_) return;
  drawingStyle_ = value;
  Change();
}

void TCustomImageList::SetImageType(TImageType value) {
  if (value == imageType_) return;
  imageType_ = value;
  Change();
}

// --- change notification -------------------------------------------------------

void TCustomImageList::Change() {
  changed_ = true;
  if (updateCount_ > 0) return;
  changed_ = false;
  // A client may unregister itself or others while being told.
  const std::vector<TChangeLink*> links = clients_;
  for (TChangeLink* link : links)
    if (std::find(clients_.begin(), clients_.end(), link) != clients_.end()) link->Change();
  if (OnChange) OnChange(this);
}

void TCustomImageList::BeginUpdate() { ++updateCount_; }

void TCustomImageList::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
  if (updateCount_ == 0 && changed_) Change();
}

void TCustomImageList::RegisterChanges(TChangeLink* value) {
  if (!value) return;
  if (value->Sender() && value->Sender() != this) value->Sender()->UnRegisterChanges(value);
  value->SetSender(this);
  if (std::find(clients_.begin(), clients_.end(), value) == clients_.end()) clients_.push_back(value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* value) {
  if (!value) return;
  auto it = std::find(clients_.begin(), clients_.end(), value);
  if (it == clients_.end()) return;
  clients_.erase(it);
  value->SetSender(nullptr);
}

// --- adding and removing -----------------------------------------------------------

void TCustomImageList::CheckIndex(int index, bool insert) const {
  const int count = Count();
  if (index < 0 || index > count || (!insert && index == count)) throw EInvalidOperation(kIndexError);
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  if (!image) return -1;
  TempDib copy = CopyOfBitmap(image);
  if (!copy.Handle()) return -1;
  HandleNeeded();
  TempDib monoMask;
  if (masked_) monoMask = MaskOfBitmap(mask, copy.Width(), copy.Height());
  const int result = ImageList_Add(handle_, copy.Handle(), monoMask.Handle());
  if (result >= 0) Change();
  return result;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (!image) return -1;
  if (maskColor == clNone) return Add(image, nullptr);
  if (maskColor == clDefault) maskColor = image->TransparentColor();
  TempDib copy = CopyOfBitmap(image);
  if (!copy.Handle()) return -1;
  HandleNeeded();
  TempDib monoMask = MaskByColor(copy, static_cast<COLORREF>(ColorToRGB(maskColor)));
  const int result = ImageList_Add(handle_, copy.Handle(), masked_ ? monoMask.Handle() : nullptr);
  if (result >= 0) Change();
  return result;
}

int TCustomImageList::AddIcon(TIcon* image) {
  if (!image || image->Empty()) return -1;
  HandleNeeded();
  const int result = ImageList_ReplaceIcon(handle_, -1, image->Handle());
  if (result >= 0) Change();
  return result;
}

int TCustomImageList::AddImage(TCustomImageList* value, int index) {
  if (!value || index < 0 || index >= value->Count()) return -1;
  const int result = AddCells(value->Handle(), index, index);
  if (result >= 0) Change();
  return result;
}

void TCustomImageList::AddImages(TCustomImageList* value) {
  if (!value || value->Count() == 0) return;
  if (AddCells(value->Handle(), 0, value->Count() - 1) >= 0) Change();
}

// Copies images first..last of `source` into this list.
int TCustomImageList::AddCells(HIMAGELIST source, int first, int last) {
  ListPixels px;
  if (first > last || !ReadListPixels(source, px)) return -1;
  std::vector<RECT> cells;
  for (int i = first; i <= last; ++i) {
    IMAGEINFO info{};
    if (ImageList_GetImageInfo(source, i, &info)) cells.push_back(info.rcImage);
  }
  return AddPixelCells(Handle(), width_, height_, masked_, px, cells);
}

// Moves images first..first + count - 1 to `index`; the images between
// shift to make room. comctl32's own swap (ImageList_Copy with ILCF_SWAP)
// loses one of the two images under Wine, so the images from the lowest
// affected index on are taken out and added again in the new order.
void TCustomImageList::MoveBlock(int first, int count, int index) {
  const int total = Count();
  if (count <= 0 || first == index || first < 0 || index < 0 || first + count > total || index + count > total)
    return;
  ListPixels px;
  if (!ReadListPixels(handle_, px)) return;
  const int low = std::min(first, index);
  std::vector<int> order;
  for (int i = low; i < total; ++i) order.push_back(i);
  // Take the block out of the order, then put it back at its new place.
  std::vector<int> block(order.begin() + (first - low), order.begin() + (first - low + count));
  order.erase(order.begin() + (first - low), order.begin() + (first - low + count));
  order.insert(order.begin() + (index - low), block.begin(), block.end());
  std::vector<RECT> cells;
  for (int i : order) {
    IMAGEINFO info{};
    ImageList_GetImageInfo(handle_, i, &info);
    cells.push_back(info.rcImage);
  }
  for (int i = total - 1; i >= low; --i) ImageList_Remove(handle_, i);
  AddPixelCells(handle_, width_, height_, masked_, px, cells);
}

void TCustomImageList::Insert(int index, TBitmap* image, TBitmap* mask) {
  CheckIndex(index, true);
  UpdateScope scope(this);
  const int first = Count();
  if (Add(image, mask) >= 0) MoveBlock(first, Count() - first, index);
}

void TCustomImageList::InsertMasked(int index, TBitmap* image, TColor maskColor) {
  CheckIndex(index, true);
  UpdateScope scope(this);
  const int first = Count();
  if (AddMasked(image, maskColor) >= 0) MoveBlock(first, Count() - first, index);
}

void TCustomImageList::InsertIcon(int index, TIcon* image) {
  CheckIndex(index, true);
  UpdateScope scope(this);
  const int first = Count();
  if (AddIcon(image) >= 0) MoveBlock(first, Count() - first, index);
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
  CheckIndex(index, false);
  TempDib copy = image ? CopyOfBitmap(image) : TempDib();
  if (!copy.Handle()) throw EInvalidOperation(L"Unable to Replace Image");
  TempDib monoMask;
  if (masked_) monoMask = MaskOfBitmap(mask, copy.Width(), copy.Height());
  if (!ImageList_Replace(handle_, index, copy.Handle(), monoMask.Handle()))
    throw EInvalidOperation(L"Unable to Replace Image");
  Change();
}

void TCustomImageList::ReplaceMasked(int index, TBitmap* newImage, TColor maskColor) {
  CheckIndex(index, false);
  if (maskColor == clNone) {
    Replace(index, newImage, nullptr);
    return;
  }
  if (newImage && maskColor == clDefault) maskColor = newImage->TransparentColor();
  TempDib copy = newImage ? CopyOfBitmap(newImage) : TempDib();
  if (!copy.Handle()) throw EInvalidOperation(L"Unable to Replace Image");
  TempDib monoMask = MaskByColor(copy, static_cast<COLORREF>(ColorToRGB(maskColor)));
  if (!ImageList_Replace(handle_, index, copy.Handle(), masked_ ? monoMask.Handle() : nullptr))
    throw EInvalidOperation(L"Unable to Replace Image");
  Change();
}

void TCustomImageList::ReplaceIcon(int index, TIcon* image) {
  CheckIndex(index, false);
  if (!image || image->Empty() || ImageList_ReplaceIcon(handle_, index, image->Handle()) < 0)
    throw EInvalidOperation(L"Unable to Replace Image");
  Change();
}

void TCustomImageList::Delete(int index) {
  if (index == -1) {
    if (handle_) ImageList_Remove(handle_, -1);
    Change();
    return;
  }
  CheckIndex(index, false);
  ImageList_Remove(handle_, index);
  Change();
}

void TCustomImageList::Clear() { Delete(-1); }

void TCustomImageList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  CheckIndex(curIndex, false);
  CheckIndex(newIndex, false);
  MoveBlock(curIndex, 1, newIndex);
  Change();
}

void TCustomImageList::Assign(TPersistent* source) {
  if (!source) {
    FreeHandle();
    Change();
    return;
  }
  auto* list = dynamic_cast<TCustomImageList*>(source);
  if (!list) {
    TComponent::Assign(source);
    return;
  }
  if (list == this) return;
  // ShareImages is not copied: it says who owns this list's handle.
  UpdateScope scope(this);
  if (handle_) ImageList_Remove(handle_, -1);
  SetMasked(list->masked_);
  SetColorDepth(list->colorDepth_);
  SetWidth(list->width_);
  SetHeight(list->height_);
  SetAllocBy(list->allocBy_);
  SetBkColor(list->BkColor());
  SetBlendColor(list->blendColor_);
  SetDrawingStyle(list->drawingStyle_);
  SetImageType(list->imageType_);
  const int n = list->Count();
  if (n > 0) AddCells(list->Handle(), 0, n - 1);
  Change();
}

void TCustomImageList::CopyImages(HIMAGELIST value, int index) {
  if (!value) return;
  UpdateScope scope(this);
  int cx = width_, cy = height_;
  if (ImageList_GetIconSize(value, &cx, &cy) && cx > 0 && cy > 0) {
    SetWidth(cx);
    SetHeight(cy);
  }
  if (handle_) ImageList_Remove(handle_, -1);
  const int n = ImageList_GetImageCount(value);
  if (index < 0) {
    if (n > 0) AddCells(value, 0, n - 1);
  } else if (index < n) {
    AddCells(value, index, index);
  }
  Change();
}

// --- reading images ------------------------------------------------------------------

bool TCustomImageList::GetBitmap(int index, TBitmap* image) {
  if (!image || !handle_ || index < 0 || index >= Count()) return false;
  image->SetSize(width_, height_);
  Draw(image->Canvas(), 0, 0, index);
  return true;
}

void TCustomImageList::GetIcon(int index, TIcon* image) { GetIcon(index, image, drawingStyle_, imageType_); }

void TCustomImageList::GetIcon(int index, TIcon* image, TDrawingStyle drawingStyle, TImageType imageType) {
  if (!image || !handle_ || index < 0 || index >= Count()) return;
  HICON icon = GdiImageListGetIcon(handle_, index, DrawStyleFlags(drawingStyle, imageType));
  if (!icon) throw EOutOfResources(L"Out of system resources");
  try {
    image->SetHandle(icon);
  } catch (...) {
    GdiDestroyIcon(icon);
    throw;
  }
  GdiDisownIcon(icon);   // counted once more by the icon that adopted it
}

HBITMAP TCustomImageList::GetImageBitmap() {
  IMAGEINFO info{};
  return Count() > 0 && ImageList_GetImageInfo(handle_, 0, &info) ? info.hbmImage : nullptr;
}

HBITMAP TCustomImageList::GetMaskBitmap() {
  IMAGEINFO info{};
  return Count() > 0 && ImageList_GetImageInfo(handle_, 0, &info) ? info.hbmMask : nullptr;
}

void TCustomImageList::GetImages(int index, TBitmap* image, TBitmap* mask) {
  ListPixels px;
  IMAGEINFO info{};
  if (!handle_ || index < 0 || index >= Count() || !ImageList_GetImageInfo(handle_, index, &info) ||
      !ReadListPixels(handle_, px))
    return;
  const RECT r = info.rcImage;
  if (image) {
    image->SetPixelFormat(pf32bit);
    image->SetSize(width_, height_);
    for (int y = 0; y < height_; ++y)
      std::memcpy(image->ScanLine(y), &px.image[size_t(r.top + y) * px.width + r.left], size_t(width_) * 4);
  }
  if (mask) {
    mask->SetPixelFormat(pf1bit);
    mask->SetSize(width_, height_);
    TCanvas* canvas = mask->Canvas();
    canvas->Brush()->SetColor(clBlack);
    canvas->FillRect(Rect(0, 0, width_, height_));
    if (!px.mask.empty())
      for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
          if (px.mask[size_t(r.top + y) * px.width + r.left + x] & 0xFFFFFF) canvas->SetPixel(x, y, clWhite);
  }
}

// --- drawing -------------------------------------------------------------------------

UINT TCustomImageList::DrawStyleFlags(TDrawingStyle drawingStyle, TImageType imageType) const {
  static const UINT kStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  UINT flags = drawingStyle >= dsFocus && drawingStyle <= dsTransparent ? kStyles[drawingStyle] : ILD_NORMAL;
  if (imageType == itMask) flags |= ILD_MASK;
  return flags;
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  Draw(canvas, x, y, index, drawingStyle_, imageType_, enabled);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle drawingStyle,
                            TImageType imageType, bool enabled) {
  if (canvas && handle_) DoDraw(index, canvas, x, y, DrawStyleFlags(drawingStyle, imageType), enabled);
}

void TCustomImageList::DrawOverlay(TCanvas* canvas, int x, int y, int imageIndex, TOverlay overlay, bool enabled) {
  DrawOverlay(canvas, x, y, imageIndex, overlay, drawingStyle_, imageType_, enabled);
}

void TCustomImageList::DrawOverlay(TCanvas* canvas, int x, int y, int imageIndex, TOverlay overlay,
                                   TDrawingStyle drawingStyle, TImageType imageType, bool enabled) {
  if (!canvas || !handle_ || overlay < 0 || overlay > 3) return;
  DoDraw(imageIndex, canvas, x, y, DrawStyleFlags(drawingStyle, imageType) | INDEXTOOVERLAYMASK(overlay + 1),
         enabled);
}

bool TCustomImageList::Overlay(int imageIndex, TOverlay overlay) {
  if (!handle_ || overlay < 0 || overlay > 3) return false;
  return ImageList_SetOverlayImage(handle_, imageIndex, overlay + 1) != FALSE;
}

void TCustomImageList::DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled) {
  if (!handle_ || !canvas) return;
  HDC dc = canvas->Handle();
  if (enabled) {
    ImageList_DrawEx(handle_, index, dc, x, y, 0, 0, ToColorRef(BkColor()), ToColorRef(blendColor_), style);
    return;
  }
  if (index < 0 || index >= Count()) return;
  // Disabled: the image's shape (every opaque pixel that is not white) is
  // painted in the highlight colour one pixel down and right, then in the
  // shadow colour in place.
  HDC monoDC = GdiCreateCompatibleDC(nullptr);
  HBITMAP mono = GdiCreateBitmap(width_, height_, 1, 1, nullptr);
  HGDIOBJ oldMono = SelectObject(monoDC, mono);
  PatBlt(monoDC, 0, 0, width_, height_, WHITENESS);
  ImageList_DrawEx(handle_, index, monoDC, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL | (style & ILD_OVERLAYMASK));
  constexpr DWORD ROP_DSPDxax = 0x00E20746;   // brush where the source is white (shape), else destination
  const COLORREF oldText = ::SetTextColor(dc, RGB(255, 255, 255));
  const COLORREF oldBk = ::SetBkColor(dc, RGB(0, 0, 0));
  HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
  BitBlt(dc, x + 1, y + 1, width_, height_, monoDC, 0, 0, ROP_DSPDxax);
  SelectObject(dc, GetSysColorBrush(COLOR_BTNSHADOW));
  BitBlt(dc, x, y, width_, height_, monoDC, 0, 0, ROP_DSPDxax);
  SelectObject(dc, oldBrush);
  ::SetBkColor(dc, oldBk);
  ::SetTextColor(dc, oldText);
  SelectObject(monoDC, oldMono);
  GdiDeleteObject(mono);
  GdiDeleteDC(monoDC);
}

// --- loading ---------------------------------------------------------------------------

bool TCustomImageList::LoadList(HINSTANCE instance, TResType resType, const Char* name, int width,
                                TLoadResources loadFlags, TColor maskColor) {
  static const UINT kTypes[] = {IMAGE_BITMAP, IMAGE_CURSOR, IMAGE_ICON};
  static const UINT kFlags[] = {LR_DEFAULTCOLOR, LR_DEFAULTSIZE, LR_LOADFROMFILE, LR_LOADMAP3DCOLORS,
                                LR_LOADTRANSPARENT, LR_MONOCHROME};
  UINT flags = 0;
  for (int f = lrDefaultColor; f <= lrMonoChrome; ++f)
    if (loadFlags.Contains(static_cast<TLoadResource>(f))) flags |= kFlags[f];
  const UINT type = resType >= rtBitmap && resType <= rtIcon ? kTypes[resType] : IMAGE_BITMAP;
  // A file is loaded without a module.
  if (flags & LR_LOADFROMFILE) instance = nullptr;
  HIMAGELIST loaded =
      ImageList_LoadImageW(instance, name, width, std::max(allocBy_, 1), ToColorRef(maskColor), type, flags);
  if (!loaded) return false;
  CountList();
  try {
    CopyImages(loaded);
  } catch (...) {
    DestroyList(loaded);
    throw;
  }
  DestroyList(loaded);
  return true;
}

bool TCustomImageList::GetInstRes(HINSTANCE instance, TResType resType, const String& name, int width,
                                  TLoadResources loadFlags, TColor maskColor) {
  return LoadList(instance, resType, name.c_str(), width, loadFlags, maskColor);
}

bool TCustomImageList::GetInstRes(HINSTANCE instance, TResType resType, DWORD resID, int width,
                                  TLoadResources loadFlags, TColor maskColor) {
  return LoadList(instance, resType, MAKEINTRESOURCEW(resID), width, loadFlags - lrFromFile, maskColor);
}

bool TCustomImageList::GetResource(TResType resType, const String& name, int width, TLoadResources loadFlags,
                                   TColor maskColor) {
  return GetInstRes(FindResourceHInstance(GetModuleHandleW(nullptr)), resType, name, width, loadFlags, maskColor);
}

bool TCustomImageList::ResInstLoad(HINSTANCE instance, TResType resType, const String& name, TColor maskColor) {
  return GetInstRes(instance, resType, name, width_, TLoadResources(), maskColor);
}

bool TCustomImageList::ResourceLoad(TResType resType, const String& name, TColor maskColor) {
  return ResInstLoad(FindResourceHInstance(GetModuleHandleW(nullptr)), resType, name, maskColor);
}

bool TCustomImageList::FileLoad(TResType resType, const String& name, TColor maskColor) {
  return GetResource(resType, name, width_, {lrFromFile}, maskColor);
}

// --- streaming --------------------------------------------------------------------------

void TCustomImageList::DefineProperties(TFiler* filer) {
  TComponent::DefineProperties(filer);
  bool hasData;
  if (filer->Ancestor()) {
    auto* ancestor = dynamic_cast<TCustomImageList*>(filer->Ancestor());
    hasData = !ancestor || !Equal(ancestor);
  } else {
    hasData = Count() > 0;
  }
  filer->DefineBinaryProperty(
      L"Bitmap", [this](TStream* stream) { ReadData(stream); }, [this](TStream* stream) { WriteData(stream); },
      hasData);
}

void TCustomImageList::ReadData(TStream* stream) {
  const Int64 start = stream->Position();
  const Int64 size = stream->Size() - start;
  if (size < Int64(ilstream::kHeaderSize) || size > ilstream::kMaxStreamSize) throw EReadError(kReadFail);
  // A stream in memory is parsed in place.
  TBytes copy;
  const Byte* data;
  if (auto* memory = dynamic_cast<TCustomMemoryStream*>(stream)) {
    data = static_cast<const Byte*>(memory->Memory()) + start;
    stream->Seek(size, soCurrent);
  } else {
    copy.resize(static_cast<size_t>(size));
    stream->ReadBuffer(copy.data(), static_cast<int>(size));
    data = copy.data();
  }
  ilstream::Parsed parsed;
  if (!ilstream::Parse(data, static_cast<size_t>(size), parsed)) {
    stream->SetPosition(start);
    throw EReadError(kReadFail);
  }
  // comctl32 gets exactly what was checked: no more rows than the images
  // need, room for one more image, and no flags we do not know.
  TBytes head, maskHead;
  auto* canonical = Make<ilstream::TPiecesStream>(ilstream::Canonical(
      parsed, parsed.Count + 1u, std::clamp<unsigned>(parsed.Grow, 1, 256), ilstream::RowsFor(parsed.Count, parsed.Cy),
      head, maskHead));
  IStream* adapter = nullptr;
  try {
    adapter = CreateStreamAdapter(canonical, soOwned);
  } catch (...) {
    TObject::Free(canonical);
    throw;
  }
  HIMAGELIST list = ImageList_Read(adapter);
  adapter->Release();
  int cx = 0, cy = 0;
  if (!list || ImageList_GetImageCount(list) != parsed.Count || !ImageList_GetIconSize(list, &cx, &cy) ||
      cx != parsed.Cx || cy != parsed.Cy) {
    if (list) ImageList_Destroy(list);
    stream->SetPosition(start);
    throw EReadError(kReadFail);
  }
  stream->SetPosition(start + Int64(parsed.Consumed));
  TakeHandle(list);
  width_ = cx;
  height_ = cy;
  masked_ = (parsed.Flags & ILC_MASK) != 0;
  colorDepth_ = DepthOfFlags(parsed.Flags);
  bkColor_ = FromColorRef(ImageList_GetBkColor(list));
  Change();
}

void TCustomImageList::WriteData(TStream* stream) { WriteList(stream); }

void TCustomImageList::WriteList(TStream* stream) {
  HandleNeeded();
  auto* buffer = Make<TMemoryStream>();
  TBytes out;
  try {
    IStream* adapter = CreateStreamAdapter(buffer);
    const BOOL written = ImageList_Write(handle_, adapter);
    adapter->Release();
    ilstream::Parsed parsed;
    if (!written ||
        !ilstream::Parse(static_cast<const Byte*>(buffer->Memory()), static_cast<size_t>(buffer->Size()), parsed))
      throw EWriteError(kWriteFail);
    // The stored layout: capacity is the count plus one growth step plus the
    // spare slot comctl32 keeps, and the bitmaps hold only the rows the
    // images use (one row at least, so that they stay valid bitmaps).
    const int rows = ilstream::RowsFor(std::max<int>(parsed.Count, 1), parsed.Cy);
    if (parsed.Image.Height < rows || (parsed.HasMask && parsed.Mask.Height < rows)) throw EWriteError(kWriteFail);
    out = ilstream::Emit(parsed, parsed.Count + parsed.Grow + 1u, parsed.Grow, rows);
  } catch (...) {
    TObject::Free(buffer);
    throw;
  }
  TObject::Free(buffer);
  stream->WriteBuffer(out.data(), static_cast<int>(out.size()));
}

bool TCustomImageList::Equal(TCustomImageList* other) {
  if (!other) return false;
  if (other == this) return true;
  if (Count() != other->Count()) return false;
  if (Count() == 0) return true;
  auto* mine = Make<TMemoryStream>();
  auto* theirs = Make<TMemoryStream>();
  bool same = false;
  try {
    WriteList(mine);
    other->WriteList(theirs);
    same = mine->Size() == theirs->Size() &&
           std::memcmp(mine->Memory(), theirs->Memory(), static_cast<size_t>(mine->Size())) == 0;
  } catch (...) {
    TObject::Free(mine);
    TObject::Free(theirs);
    throw;
  }
  TObject::Free(mine);
  TObject::Free(theirs);
  return same;
}

// ---------------------------------------------------------------------------
// TDragImageList
// ---------------------------------------------------------------------------

TDragImageList::TDragImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}

TDragImageList::TDragImageList(TComponent* AOwner, int width, int height)
    : TCustomImageList(AOwner, width, height) {}

TDragImageList::~TDragImageList() {
  if (dragging_) EndDrag();
}

bool TDragImageList::SetDragImage(int index, int hotSpotX, int hotSpotY) {
  if (!HandleAllocated() || index < 0 || index >= Count()) return false;
  dragIndex_ = index;
  dragHotspot_ = TPoint{hotSpotX, hotSpotY};
  if (!dragging_) return true;
  // comctl32 copies the drag image when the drag starts: start it again
  // with the new image, at the same place.
  const HWND window = dragWindow_;
  DragUnlock();
  ImageList_EndDrag();
  dragging_ = ImageList_BeginDrag(Handle(), index, hotSpotX, hotSpotY) != FALSE;
  if (dragging_ && window) {
    dragWindow_ = window;
    ImageList_DragEnter(window, dragPos_.X, dragPos_.Y);
  }
  return dragging_;
}

bool TDragImageList::BeginDrag(HWND window, int x, int y) {
  if (!HandleAllocated() || dragIndex_ < 0 || dragIndex_ >= Count()) return false;
  if (!dragging_) {
    if (!ImageList_BeginDrag(Handle(), dragIndex_, dragHotspot_.X, dragHotspot_.Y)) return false;
    dragging_ = true;
  }
  return DragLock(window, x, y) || dragWindow_ == window;
}

bool TDragImageList::DragLock(HWND window, int xPos, int yPos) {
  if (!dragging_ || window == dragWindow_) return false;
  DragUnlock();
  dragWindow_ = window;
  dragPos_ = TPoint{xPos, yPos};
  return ImageList_DragEnter(window, xPos, yPos) != FALSE;
}

void TDragImageList::DragUnlock() {
  if (!dragWindow_) return;
  ImageList_DragLeave(dragWindow_);
  dragWindow_ = nullptr;
}

bool TDragImageList::DragMove(int x, int y) {
  if (!dragging_) return false;
  dragPos_ = TPoint{x, y};
  return ImageList_DragMove(x, y) != FALSE;
}

bool TDragImageList::EndDrag() {
  if (!dragging_) return false;
  DragUnlock();
  ImageList_EndDrag();
  dragging_ = false;
  return true;
}

void TDragImageList::HideDragImage() {
  if (dragWindow_) ImageList_DragShowNolock(FALSE);
}

void TDragImageList::ShowDragImage() {
  if (dragWindow_) ImageList_DragShowNolock(TRUE);
}

void TDragImageList::SetDragCursor(int value) { dragCursor_ = value; }

// ---------------------------------------------------------------------------
// Pattern bitmaps, module start-up
// ---------------------------------------------------------------------------

namespace {
struct PatternEntry {
  TColor Bk, Fg;
  TBitmap* Bitmap;
};
std::vector<PatternEntry>* g_patterns = nullptr;
}  // namespace

TBitmap* AllocPatternBitmap(TColor bkColor, TColor fgColor) {
  if (!g_patterns) g_patterns = new std::vector<PatternEntry>;
  for (const PatternEntry& e : *g_patterns)
    if (e.Bk == bkColor && e.Fg == fgColor) return e.Bitmap;
  auto* bitmap = Make<TBitmap>();
  try {
    bitmap->SetSize(8, 8);
    TCanvas* canvas = bitmap->Canvas();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(bkColor);
    canvas->FillRect(Rect(0, 0, 8, 8));
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        if ((x + y) % 2 == 0) canvas->SetPixel(x, y, fgColor);
    // Nothing draws on it again: keep the pixels, not a DC.
    bitmap->Dormant();
    g_patterns->push_back({bkColor, fgColor, bitmap});
  } catch (...) {
    TObject::Free(bitmap);
    throw;
  }
  return bitmap;
}

long ImgListLiveHandles() { return g_liveLists; }

void ImgListInitialize() { RegisterClasses({TImageList::StaticClass()}); }

void ImgListFinalize() {
  if (!g_patterns) return;
  std::vector<PatternEntry>* patterns = g_patterns;
  g_patterns = nullptr;
  for (const PatternEntry& e : *patterns) TObject::Free(e.Bitmap);
  delete patterns;
}

// ---------------------------------------------------------------------------
// Class information
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TChangeLink, TObject, ConstructPlain<TChangeLink>)
IMPLEMENT_CLASS(TCustomImageList, TComponent, (ConstructWith<TCustomImageList, TComponent>))
IMPLEMENT_CLASS(TDragImageList, TCustomImageList, (ConstructWith<TDragImageList, TComponent>))

BEGIN_CLASS(TImageList, TDragImageList, (ConstructWith<TImageList, TComponent>))
  DefaultValue(b.Prop(L"AllocBy", &TImageList::AllocBy, &TImageList::SetAllocBy), 4);
  DefaultValue(b.Prop(L"BlendColor", &TImageList::BlendColor, &TImageList::SetBlendColor, ColorTypeInfo()),
               clNone);
  DefaultValue(b.Prop(L"BkColor", &TImageList::BkColor, &TImageList::SetBkColor, ColorTypeInfo()), clNone);
  DefaultValue(b.Prop(L"DrawingStyle", &TImageList::DrawingStyle, &TImageList::SetDrawingStyle), dsNormal);
  DefaultValue(b.Prop(L"Height", &TImageList::Height, &TImageList::SetHeight), 16);
  DefaultValue(b.Prop(L"ImageType", &TImageList::ImageType, &TImageList::SetImageType), itImage);
  DefaultValue(b.Prop(L"Masked", &TImageList::Masked, &TImageList::SetMasked), 1);
  DefaultValue(b.Prop(L"ShareImages", &TImageList::ShareImages, &TImageList::SetShareImages), 0);
  DefaultValue(b.Prop(L"Width", &TImageList::Width, &TImageList::SetWidth), 16);
  b.Prop(L"OnChange", &TImageList::OnChange, &TImageList::OnChange);
  DefaultValue(b.Prop(L"ColorDepth", &TImageList::ColorDepth, &TImageList::SetColorDepth), cd32Bit);
END_CLASS
