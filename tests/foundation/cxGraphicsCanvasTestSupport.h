// A 32-bit DIB bitmap with a library canvas over it, read back pixel by pixel
// from its memory (so clipping and origins of the DC do not affect reading).
#pragma once

#include "platform/WinApi.h"
#include "foundation/cxGraphicsCanvas.h"

#include <algorithm>
#include <climits>
#include <functional>

namespace cnvtest {

inline constexpr TColor kBack = 0x00FF00;   // green: no routine under test draws it

class TCanvasBitmap {
 public:
  TCanvasBitmap(int width, int height, TColor back = kBack) : FBitmap(Make<TBitmap>()) {
    FBitmap->SetPixelFormat(pf32bit);
    FBitmap->SetSize(width, height);
    Fill(back);
    FCanvas = Make<TcxCanvas>(FBitmap->Canvas());
  }
  ~TCanvasBitmap() {
    TObject::Free(FCanvas);
    TObject::Free(FBitmap);
  }
  TCanvasBitmap(const TCanvasBitmap&) = delete;
  TCanvasBitmap& operator=(const TCanvasBitmap&) = delete;

  TBitmap* Bitmap() const { return FBitmap; }
  TcxCanvas* Canvas() const { return FCanvas; }
  int Width() const { return FBitmap->Width(); }
  int Height() const { return FBitmap->Height(); }

  // Fills the whole bitmap, whatever clip the canvas has.
  void Fill(TColor color) {
    for (int y = 0; y < Height(); ++y)
      for (int x = 0; x < Width(); ++x) SetPixel(x, y, color);
  }
  // The pixel as a platform colour (0x00BBGGRR).
  TColor Pixel(int x, int y) const {
    const DWORD v = static_cast<const DWORD*>(FBitmap->ScanLine(y))[x];
    return static_cast<TColor>(((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16));
  }
  void SetPixel(int x, int y, TColor color) {
    const DWORD c = static_cast<DWORD>(ColorToRGB(color));
    static_cast<DWORD*>(FBitmap->ScanLine(y))[x] =
        ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  }
  // Number of pixels where `pixel` differs from `expected(x, y)`; the first
  // mismatch is reported in `where`.
  int Mismatches(const std::function<TColor(int, int)>& expected, TPoint* where = nullptr) const {
    int count = 0;
    for (int y = 0; y < Height(); ++y)
      for (int x = 0; x < Width(); ++x)
        if (Pixel(x, y) != ColorToRGB(expected(x, y))) {
          if (count++ == 0 && where) *where = TPoint(x, y);
        }
    return count;
  }
  // The bounding box of the pixels of one colour; empty when none.
  TRect BoundsOf(TColor color) const {
    TRect r(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    const TColor rgb = ColorToRGB(color);
    for (int y = 0; y < Height(); ++y)
      for (int x = 0; x < Width(); ++x)
        if (Pixel(x, y) == rgb) {
          r.Left = std::min(r.Left, x);
          r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1);
          r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r.Left == INT_MAX ? TRect() : r;
  }

 private:
  TBitmap* FBitmap;
  TcxCanvas* FCanvas;
};

}  // namespace cnvtest
