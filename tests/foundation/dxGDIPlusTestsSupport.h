// Helpers of the GDI+, PNG and fading tests: the mode the tests run in (with
// or without gdiplus.dll), the modules they need, hand-made PNG files and
// 32-bit pixels read straight from DIB sections.
#pragma once

#include "foundation/dxGDIPlusAPI.h"
#include "foundation/dxGDIPlusClasses.h"
#include "platform/core/Streams.h"
#include "platform/gui/Graphics.h"

#include "tests/support/TestDib.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace gptest {

using ::Owned;
using ::Own;

// The whole executable runs either with the system's gdiplus.dll or, for the
// fallback tests, with it switched off (EXTRA_WINEDLLOVERRIDES="gdiplus=d").
inline bool SystemHasGdiPlus() {
  static const bool has = [] {
    HMODULE module = LoadLibraryW(L"gdiplus.dll");
    if (module) FreeLibrary(module);
    return module != nullptr;
  }();
  return has;
}

#define REQUIRE_GDIPLUS() \
  if (!gptest::SystemHasGdiPlus()) GTEST_SKIP() << "gdiplus.dll is switched off in this run"
#define REQUIRE_NO_GDIPLUS() \
  if (gptest::SystemHasGdiPlus()) GTEST_SKIP() << "runs only with gdiplus.dll switched off"

// The image module's start-up and shutdown around a suite (a counted pair:
// harmless when the test executable's module list started it already).
class GdiPlusSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { dxGDIPlusClassesInitialize(); }
  static void TearDownTestSuite() { dxGDIPlusClassesFinalize(); }
};

// One straight (not premultiplied) RGBA pixel as a PNG stores it.
struct Rgba {
  Byte R, G, B, A;
};

inline DWORD Crc32(const Byte* data, size_t size, DWORD crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

inline void PutBE32(TBytes& out, DWORD v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(Byte(v >> shift));
}

inline void PutChunk(TBytes& out, const char* type, const TBytes& data) {
  PutBE32(out, DWORD(data.size()));
  TBytes body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  PutBE32(out, Crc32(body.data(), body.size()));
}

// A PNG of 8-bit RGBA pixels (row-major, top row first) whose image data is
// one stored (uncompressed) deflate block.
inline TBytes MakePng(int width, int height, const std::vector<Rgba>& pixels) {
  TBytes raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);   // filter: none
    for (int x = 0; x < width; ++x) {
      const Rgba& p = pixels[size_t(y) * width + x];
      raw.insert(raw.end(), {p.R, p.G, p.B, p.A});
    }
  }
  TBytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  TBytes ihdr;
  PutBE32(ihdr, DWORD(width));
  PutBE32(ihdr, DWORD(height));
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});   // 8 bits, RGBA, deflate, no filter set, no interlace
  PutChunk(png, "IHDR", ihdr);
  TBytes zlib = {0x78, 0x01, 0x01};           // zlib header; final stored block
  const Word len = Word(raw.size());
  zlib.insert(zlib.end(), {Byte(len), Byte(len >> 8), Byte(~len), Byte(Word(~len) >> 8)});
  zlib.insert(zlib.end(), raw.begin(), raw.end());
  DWORD a = 1, b = 0;
  for (Byte v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  PutBE32(zlib, (b << 16) | a);
  PutChunk(png, "IDAT", zlib);
  PutChunk(png, "IEND", TBytes());
  return png;
}

inline Owned<TMemoryStream> StreamOf(const TBytes& bytes) {
  auto stream = Own(Make<TMemoryStream>());
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), int(bytes.size()));
  stream->SetPosition(0);
  return stream;
}

inline TBytes BytesOf(TMemoryStream* stream) {
  const auto* p = static_cast<const Byte*>(stream->Memory());
  return TBytes(p, p + stream->Size());
}

// Premultiplied 32-bit pixel as the library keeps it: blue, green, red, alpha.
inline RGBQUAD Quad(Byte b, Byte g, Byte r, Byte a) { return RGBQUAD{b, g, r, a}; }
inline bool SameQuad(const RGBQUAD& x, const RGBQUAD& y) { return std::memcmp(&x, &y, 4) == 0; }
inline DWORD AsDword(const RGBQUAD& q) {
  DWORD v;
  std::memcpy(&v, &q, 4);
  return v;
}

// A 32-bit top-down DIB section selected into a memory DC, to draw on and
// read back exactly.
class TDib : public TTestDib {
 public:
  TDib(int width, int height, DWORD fill) : TTestDib(width, height) { FillRaw(fill); }
  // 0xAARRGGBB as the DIB holds it.
  DWORD At(int x, int y) const { return RawAt(x, y); }
};

// A GDI+ graphics object over a DC (GDI+ must be ready).
class TGraphicsOn {
 public:
  explicit TGraphicsOn(HDC dc) { dxGpCheckStatus(GdipCreateFromHDC(dc, &graphics_)); }
  ~TGraphicsOn() { GdipDeleteGraphics(graphics_); }
  TGraphicsOn(const TGraphicsOn&) = delete;
  TGraphicsOn& operator=(const TGraphicsOn&) = delete;
  GpGraphics* Get() const { return graphics_; }

 private:
  GpGraphics* graphics_ = nullptr;
};

// Channels of 0xAARRGGBB.
inline int A(DWORD v) { return int(v >> 24); }
inline int R(DWORD v) { return int((v >> 16) & 0xFF); }
inline int G(DWORD v) { return int((v >> 8) & 0xFF); }
inline int B(DWORD v) { return int(v & 0xFF); }

}  // namespace gptest
