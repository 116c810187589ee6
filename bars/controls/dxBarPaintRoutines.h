// Small GDI steps the painters share. A brush may stand for a system colour
// (index + 1), which only fills accept: frames are drawn as four fills.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"

inline HBRUSH dxBarSysBrush(int AIndex) { return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(AIndex + 1)); }

inline void dxBarFillRect(HDC DC, const TRect& R, HBRUSH ABrush) {
  if (R.IsEmpty()) return;
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  FillRect(DC, &r, ABrush);
}

// A frame AWidth pixels thick inside R.
inline void dxBarFrameRect(HDC DC, const TRect& R, HBRUSH ABrush, int AWidth = 1) {
  if (R.IsEmpty() || AWidth <= 0) return;
  dxBarFillRect(DC, TRect(R.Left, R.Top, R.Right, R.Top + AWidth), ABrush);
  dxBarFillRect(DC, TRect(R.Left, R.Bottom - AWidth, R.Right, R.Bottom), ABrush);
  dxBarFillRect(DC, TRect(R.Left, R.Top + AWidth, R.Left + AWidth, R.Bottom - AWidth), ABrush);
  dxBarFillRect(DC, TRect(R.Right - AWidth, R.Top + AWidth, R.Right, R.Bottom - AWidth), ABrush);
}

inline TRect dxBarShrunkRect(const TRect& R, int ADx, int ADy) {
  return TRect(R.Left + ADx, R.Top + ADy, R.Right - ADx, R.Bottom - ADy);
}
