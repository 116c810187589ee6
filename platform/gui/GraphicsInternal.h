// Shared between the graphics sources; not part of the public interface.
#pragma once

#include "platform/gui/Graphics.h"

#include <cstring>

// Reads the screen resolution and the system's default GUI font.
void InitializeGraphicsDefaults();

// Copies src to dst, leaving dst unchanged where the monochrome mask in
// maskDC is white.
void TransparentStretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy,
                           int sw, int sh, HDC maskDC, int mx, int my);

// Selects a bitmap into a fresh memory DC for the scope.
class TMemoryDC {
 public:
  explicit TMemoryDC(HBITMAP bitmap, HDC compatible = nullptr);
  ~TMemoryDC();
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  HDC Handle() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

// A value of a file format's record read from unaligned bytes, and appended
// to bytes being written (the formats are little-endian, as both targets are).
template <class T>
T ReadRaw(const Byte* p) {
  T v;
  std::memcpy(&v, p, sizeof(v));
  return v;
}
template <class T>
void AppendRaw(TBytes& out, const T& value) {
  const auto* p = reinterpret_cast<const Byte*>(&value);
  out.insert(out.end(), p, p + sizeof(value));
}
