// A 32-bit DIB section for painter tests: starts filled with a marker colour
// no painter uses, reads back as COLORREFs and offers a canvas over its DC.
#pragma once

#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/Graphics.h"
#include "tests/support/TestDib.h"

#include <set>

inline constexpr COLORREF kMarker = RGB(1, 2, 3);

class TPaintDib : public TTestDib {
 public:
  TPaintDib(int AWidth, int AHeight) : TTestDib(AWidth, AHeight) {
    FillRaw(0x00010203);  // kMarker
    FCanvas = Make<TCanvas>();
    FCanvas->SetHandle(DC());
    FcxCanvas = Make<TcxCanvas>(FCanvas);
  }
  ~TPaintDib() {
    TObject::Free(FcxCanvas);
    FCanvas->SetHandle(nullptr);
    TObject::Free(FCanvas);
  }
  COLORREF At(int x, int y) const {
    const DWORD raw = RawAt(x, y);
    return RGB((raw >> 16) & 0xFF, (raw >> 8) & 0xFF, raw & 0xFF);
  }
  std::set<COLORREF> ColorsIn(const TRect& R) const {
    std::set<COLORREF> colors;
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x) colors.insert(At(x, y));
    return colors;
  }
  TcxCanvas* Canvas() const { return FcxCanvas; }

 private:
  TCanvas* FCanvas = nullptr;
  TcxCanvas* FcxCanvas = nullptr;
};

// The colour a brush paints with, system-colour brushes (index + 1) included.
inline COLORREF BrushColor(HBRUSH ABrush) {
  const INT_PTR value = reinterpret_cast<INT_PTR>(ABrush);
  if (value > 0 && value <= COLOR_MENUBAR + 1) return GetSysColor(static_cast<int>(value - 1));
  LOGBRUSH brush{};
  GetObjectW(ABrush, sizeof brush, &brush);
  return brush.lbColor;
}
