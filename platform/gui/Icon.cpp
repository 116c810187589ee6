// TIcon: an .ico file's first image as an HICON. The file's bytes are kept
// and saved back as they were; an icon that came from a handle is written as
// a one-image .ico of 32 bits per pixel.
#include "platform/gui/Graphics.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/GraphicsInternal.h"
#include "platform/core/Streams.h"

#include <algorithm>
#include <cstring>
#include <vector>

IMPLEMENT_CLASS(TIcon, TGraphic, ConstructPlain<TIcon>)

namespace {

[[noreturn]] void InvalidIcon() { throw EInvalidGraphic(L"Icon image is not valid"); }

// A failed icon call: out of resources, or a handle or image the system refused.
[[noreturn]] void IconCallFailed() {
  if (GetLastError() == ERROR_NOT_ENOUGH_MEMORY) throw EOutOfResources(L"Out of system resources");
  InvalidIcon();
}

void TakeIconInfo(HICON icon, ICONINFO& info) {
  SetLastError(0);
  if (!GdiTakeIconInfo(icon, info)) IconCallFailed();
}

DWORD BigEndian32(const Byte* p) {
  return (DWORD(p[0]) << 24) | (DWORD(p[1]) << 16) | (DWORD(p[2]) << 8) | DWORD(p[3]);
}

struct TIconImage {
  const Byte* Bits = nullptr;
  DWORD Size = 0;
  int Width = 0, Height = 0;
};

// The first image of an .ico file, checked before the system parses it.
TIconImage FirstImage(const TBytes& file) {
  if (file.size() < 6 + 16) InvalidIcon();
  const Byte* d = file.data();
  if (ReadRaw<WORD>(d) != 0 || ReadRaw<WORD>(d + 2) != 1 || ReadRaw<WORD>(d + 4) == 0) InvalidIcon();
  if (6 + size_t(ReadRaw<WORD>(d + 4)) * 16 > file.size()) InvalidIcon();
  const Byte* entry = d + 6;
  const DWORD size = ReadRaw<DWORD>(entry + 8);
  const DWORD offset = ReadRaw<DWORD>(entry + 12);
  if (offset > file.size() || size > file.size() - offset || size < 8) InvalidIcon();
  TIconImage image{d + offset, size, 0, 0};
  static const Byte kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (std::memcmp(image.Bits, kPng, 8) == 0) {
    if (size < 24) InvalidIcon();
    image.Width = static_cast<int>(BigEndian32(image.Bits + 16));
    image.Height = static_cast<int>(BigEndian32(image.Bits + 20));
    if (image.Width <= 0 || image.Height <= 0 || image.Width > 1024 || image.Height > 1024) InvalidIcon();
    return image;
  }
  // A DIB: header, colour table, colour pixels, then the 1-bit AND mask; the
  // height counts both.
  if (size < sizeof(BITMAPINFOHEADER) || ReadRaw<DWORD>(image.Bits) < sizeof(BITMAPINFOHEADER)) InvalidIcon();
  const DWORD headerSize = ReadRaw<DWORD>(image.Bits);
  const LONG width = ReadRaw<LONG>(image.Bits + 4);
  const LONG height2 = ReadRaw<LONG>(image.Bits + 8);
  const WORD bpp = ReadRaw<WORD>(image.Bits + 14);
  const DWORD compression = ReadRaw<DWORD>(image.Bits + 16);
  const DWORD colorsUsed = ReadRaw<DWORD>(image.Bits + 32);
  if (width <= 0 || width > 1024 || height2 <= 0 || height2 > 2048 || height2 % 2) InvalidIcon();
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) InvalidIcon();
  if (compression != BI_RGB) InvalidIcon();
  if (headerSize > size) InvalidIcon();
  const int height = height2 / 2;
  const size_t colors = bpp <= 8 ? (colorsUsed ? colorsUsed : size_t(1) << bpp) : 0;
  if (bpp <= 8 && colors > (size_t(1) << bpp)) InvalidIcon();
  const size_t xorStride = ((size_t(width) * bpp + 31) / 32) * 4;
  const size_t andStride = ((size_t(width) + 31) / 32) * 4;
  const size_t needed = headerSize + colors * 4 + (xorStride + andStride) * height;
  if (needed > size) InvalidIcon();
  image.Width = width;
  image.Height = height;
  return image;
}

// A 1-image .ico of the icon's bitmaps.
TBytes IcoFromHandle(HICON icon) {
  ICONINFO info{};
  TakeIconInfo(icon, info);
  struct TRelease {
    ICONINFO& Info;
    ~TRelease() { GdiFreeIconInfo(Info); }
  } release{info};

  BITMAP bm{};
  GetObjectW(info.hbmMask, sizeof(bm), &bm);
  const int width = bm.bmWidth;
  const int height = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
  if (width <= 0 || height <= 0) InvalidIcon();
  const int bpp = info.hbmColor ? 32 : 1;
  const size_t xorStride = ((size_t(width) * bpp + 31) / 32) * 4;
  const size_t andStride = ((size_t(width) + 31) / 32) * 4;

  std::vector<Byte> buffer(sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD));
  auto* bi = reinterpret_cast<BITMAPINFO*>(buffer.data());
  HDC screen = GetDC(nullptr);
  std::vector<Byte> xorBits(xorStride * height), andBits(andStride * height);
  RGBQUAD table[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  bool ok;
  if (info.hbmColor) {
    bi->bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    ok = GetDIBits(screen, info.hbmColor, 0, height, xorBits.data(), bi, DIB_RGB_COLORS) == height;
    bi->bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 1, BI_RGB, 0, 0, 0, 0, 0};
    ok = ok && GetDIBits(screen, info.hbmMask, 0, height, andBits.data(), bi, DIB_RGB_COLORS) == height;
  } else {
    // A monochrome icon keeps AND (top half) and XOR (bottom half) in one bitmap.
    std::vector<Byte> both(andStride * height * 2);
    bi->bmiHeader = {sizeof(BITMAPINFOHEADER), width, height * 2, 1, 1, BI_RGB, 0, 0, 0, 0, 0};
    ok = GetDIBits(screen, info.hbmMask, 0, height * 2, both.data(), bi, DIB_RGB_COLORS) == height * 2;
    // Bottom-up rows: the first `height` rows are the bottom (XOR) half.
    std::memcpy(xorBits.data(), both.data(), xorStride * height);
    std::memcpy(andBits.data(), both.data() + andStride * height, andStride * height);
  }
  ReleaseDC(nullptr, screen);
  if (!ok) InvalidIcon();

  BITMAPINFOHEADER h{sizeof(BITMAPINFOHEADER), width, height * 2, 1, static_cast<WORD>(bpp), BI_RGB,
                     static_cast<DWORD>(xorBits.size() + andBits.size()), 0, 0, bpp == 1 ? 2u : 0u, 0};
  const DWORD imageSize = sizeof(h) + (bpp == 1 ? sizeof(table) : 0) + h.biSizeImage;
  TBytes out;
  auto put = [&out](const void* p, size_t n) {
    out.insert(out.end(), static_cast<const Byte*>(p), static_cast<const Byte*>(p) + n);
  };
  const WORD dir[3] = {0, 1, 1};
  put(dir, sizeof(dir));
  const Byte dims[4] = {static_cast<Byte>(width >= 256 ? 0 : width),
                        static_cast<Byte>(height >= 256 ? 0 : height), 0, 0};
  put(dims, 4);
  const WORD planesBpp[2] = {1, static_cast<WORD>(bpp)};
  put(planesBpp, sizeof(planesBpp));
  const DWORD sizeOffset[2] = {imageSize, 6 + 16};
  put(sizeOffset, sizeof(sizeOffset));
  put(&h, sizeof(h));
  if (bpp == 1) put(table, sizeof(table));
  put(xorBits.data(), xorBits.size());
  put(andBits.data(), andBits.size());
  return out;
}

}  // namespace

TIcon::TIcon() { transparent_ = true; }

TIcon::~TIcon() { Clear(); }

void TIcon::Clear() {
  GdiDestroyIcon(handle_);
  handle_ = nullptr;
  data_.clear();
  width_ = height_ = 0;
}

bool TIcon::Empty() { return !handle_ && data_.empty(); }
int TIcon::Width() { return width_; }
int TIcon::Height() { return height_; }

void TIcon::SetWidth(int) { throw EInvalidGraphicOperation(L"Cannot change the size of an icon"); }
void TIcon::SetHeight(int) { throw EInvalidGraphicOperation(L"Cannot change the size of an icon"); }

HICON TIcon::Handle() {
  if (!handle_ && !data_.empty()) {
    const TIconImage image = FirstImage(data_);
    SetLastError(0);
    handle_ = GdiCreateIconFromResource(image.Bits, image.Size, image.Width, image.Height);
    if (!handle_) IconCallFailed();
  }
  return handle_;
}

void TIcon::SetHandle(HICON value) {
  if (value == handle_) return;
  int width = 0, height = 0;
  if (value) {
    ICONINFO info{};
    TakeIconInfo(value, info);
    BITMAP bm{};
    GetObjectW(info.hbmMask, sizeof(bm), &bm);
    width = bm.bmWidth;
    height = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    GdiFreeIconInfo(info);
  }
  Clear();
  GdiAdoptIcon(value);
  handle_ = value;
  width_ = width;
  height_ = height;
  Changed(this);
}

HICON TIcon::ReleaseHandle() {
  HICON result = Handle();
  GdiDisownIcon(result);
  handle_ = nullptr;
  // Loaded bytes can make another handle later; a bare handle leaves nothing.
  if (data_.empty()) width_ = height_ = 0;
  Changed(this);
  return result;
}

void TIcon::LoadFromStream(TStream* stream) {
  const Int64 remaining = stream->Size() - stream->Position();
  if (remaining < 0 || remaining > 0x4000000) InvalidIcon();
  TBytes data(static_cast<size_t>(remaining));
  if (data.empty()) {   // what an empty icon saves
    Clear();
    Changed(this);
    return;
  }
  stream->ReadBuffer(data.data(), static_cast<int>(data.size()));
  const TIconImage image = FirstImage(data);
  SetLastError(0);
  HICON handle = GdiCreateIconFromResource(image.Bits, image.Size, image.Width, image.Height);
  if (!handle) IconCallFailed();
  Clear();
  data_ = std::move(data);
  handle_ = handle;
  width_ = image.Width;
  height_ = image.Height;
  Changed(this);
}

void TIcon::SaveToStream(TStream* stream) {
  if (data_.empty() && handle_) data_ = IcoFromHandle(handle_);
  if (!data_.empty()) stream->WriteBuffer(data_.data(), static_cast<int>(data_.size()));
}

void TIcon::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TIcon*>(source);
  if (!source) {
    Clear();
    Changed(this);
    return;
  }
  if (!src) {
    inherited::Assign(source);
    return;
  }
  if (src == this) return;
  TBytes data = src->data_;
  const int w = src->width_, h = src->height_;
  HICON copy = nullptr;
  if (data.empty() && src->handle_) {
    // An icon that is only a handle has nothing else to be copied from.
    copy = GdiCopyIcon(src->handle_);
    if (!copy) throw EOutOfResources(L"Out of system resources");
  }
  Clear();
  data_ = std::move(data);
  handle_ = copy;
  width_ = w;
  height_ = h;
  Changed(this);
}

void TIcon::Draw(TCanvas* canvas, const TRect& rect) {
  HICON icon = Handle();
  if (!icon) return;
  DrawIconEx(canvas->Handle(), rect.Left, rect.Top, icon, rect.Width(), rect.Height(), 0,
             nullptr, DI_NORMAL);
}
