// Shared helpers of the skin tests: skins built in code, textures of known
// pixels, a DIB that reads back colours, and the bytes of a skin stream.
#pragma once

#include "foundation/cxGraphicsCanvas.h"
#include "foundation/dxGDIPlusClasses.h"
#include "platform/core/Streams.h"
#include "skins/dxSkinsCore.h"
#include "skins/dxSkinsCoreDraw.h"
#include "tests/support/TestDib.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace skintest {

#define REQUIRE_SKIN_ENGINE() \
  if (!dxIsGdiPlusReady()) GTEST_SKIP() << "GDI+ is not available"

// A DIB whose pixels read back as 0x00RRGGBB.
class TSkinDib : public TTestDib {
 public:
  using TTestDib::TTestDib;
  DWORD At(int x, int y) const { return RawAt(x, y) & 0xFFFFFF; }
  void Fill(DWORD rgb) { FillRaw(rgb); }
};

// Runs `paint` with a TcxCanvas over the DIB's device context.
template <class F>
void PaintOn(TSkinDib& ADib, F paint) {
  auto platformCanvas = MakeOwned<TCanvas>();
  platformCanvas->SetHandle(ADib.DC());
  {
    auto canvas = MakeOwned<TcxCanvas>(platformCanvas.get());
    paint(canvas.get());
  }
  platformCanvas->SetHandle(nullptr);
}

constexpr DWORD Rgb(Byte r, Byte g, Byte b) { return DWORD(r) << 16 | DWORD(g) << 8 | b; }

// An opaque texture of the given size; `color(x, y)` gives 0x00RRGGBB.
template <class F>
void SetTexture(TdxSkinImage* AImage, int AWidth, int AHeight, F color) {
  TdxRGBColors bits(size_t(AWidth) * AHeight);
  for (int y = 0; y < AHeight; ++y)
    for (int x = 0; x < AWidth; ++x) {
      const DWORD c = color(x, y);
      bits[size_t(y) * AWidth + x] = RGBQUAD{Byte(c), Byte(c >> 8), Byte(c >> 16), 255};
    }
  AImage->Texture()->SetHandle(TdxGPImage::CreateFromPattern(AWidth, AHeight, bits, true));
  AImage->Changed();
}

// Frames of a strip told apart by colour: frame k of 10-pixel-wide frames.
inline DWORD FrameColor(int k) { return Rgb(Byte(20 + 40 * k), Byte(200 - 20 * k), Byte(10 * k)); }

inline std::string Bytes(TMemoryStream& AStream) {
  return std::string(static_cast<const char*>(AStream.Memory()), size_t(AStream.Size()));
}

// Little-endian pieces of a hand-built stream.
struct TStreamBytes {
  std::string data;
  TStreamBytes& Int(int v) {
    data.append(reinterpret_cast<const char*>(&v), 4);
    return *this;
  }
  TStreamBytes& Byte1(unsigned char v) {
    data.push_back(char(v));
    return *this;
  }
  TStreamBytes& Word2(unsigned short v) {
    data.append(reinterpret_cast<const char*>(&v), 2);
    return *this;
  }
  TStreamBytes& Double(double v) {
    data.append(reinterpret_cast<const char*>(&v), 8);
    return *this;
  }
  TStreamBytes& Str(const std::string& s) {
    Int(int(s.size()));
    data += s;
    return *this;
  }
  TStreamBytes& Header(double version) {
    Int(6);
    data += "dxSkin";
    return Double(version);
  }
  TStreamBytes& Rect(int l, int t, int r, int b) { return Int(l).Int(t).Int(r).Int(b); }
};

inline Owned<TMemoryStream> StreamOf(const std::string& bytes) {
  auto stream = MakeOwned<TMemoryStream>();
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), NativeInt(bytes.size()));
  stream->SetPosition(0);
  return stream;
}

// Counts the skin's change notices.
struct TNoticeCounter : IdxSkinChangeListener {
  int count = 0;
  void HandleSkinChange(TdxSkin*) override { ++count; }
};

}  // namespace skintest
