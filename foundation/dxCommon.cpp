#include "foundation/dxCommon.h"

#include "platform/gui/GdiAccounting.h"

#include <algorithm>

int dxCalcDropDownFrameHeight() {
  return std::max(GetSystemMetrics(SM_CYHSCROLL) + 3, GetSystemMetrics(SM_CYSIZE) + 1);
}

TdxCorner dxGetSizeGripCorner(const TRect& r, const TRect& other) {
  static const TdxCorner corners[4] = {coTopLeft, coBottomLeft, coTopRight, coBottomRight};
  return corners[2 * (r.Left < other.Right ? 1 : 0) + (r.Bottom < other.Bottom ? 1 : 0)];
}

void dxPaintSizeGripCorner(HDC dc, TRect& r, TdxCorner corner) {
  const bool left = corner == coTopLeft || corner == coBottomLeft;
  const bool top = corner == coTopLeft || corner == coTopRight;
  const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  if (left)
    r.Right = r.Left + cx;
  else
    r.Left = r.Right - cx;
  if (top)
    r.Bottom = r.Top + cy;
  else
    r.Top = r.Bottom - cy;

  const HBRUSH face = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  TRect inner = r;
  RECT strip = left ? RECT{inner.Left, inner.Top, inner.Left + 2, inner.Bottom}
                    : RECT{inner.Right - 2, inner.Top, inner.Right, inner.Bottom};
  FillRect(dc, &strip, face);
  if (left)
    inner.Left += 2;
  else
    inner.Right -= 2;
  strip = top ? RECT{inner.Left, inner.Top, inner.Right, inner.Top + 2}
              : RECT{inner.Left, inner.Bottom - 2, inner.Right, inner.Bottom};
  FillRect(dc, &strip, face);
  if (top)
    inner.Top += 2;
  else
    inner.Bottom -= 2;

  const int w = inner.Width(), h = inner.Height();
  if (w <= 0 || h <= 0) return;
  HDC memDC = GdiCreateCompatibleDC(dc);
  HBITMAP bitmap = GdiCreateCompatibleBitmap(dc, w, h);
  HGDIOBJ old = SelectObject(memDC, bitmap);
  RECT grip{0, 0, w, h};
  DrawFrameControl(memDC, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  // A negative source extent from the last column or row mirrors the grip so
  // that its ridges point into the chosen corner.
  StretchBlt(dc, inner.Left, inner.Top, w, h, memDC, left ? w - 1 : 0, top ? h - 1 : 0,
             left ? -w : w, top ? -h : h, SRCCOPY);
  SelectObject(memDC, old);
  GdiDeleteObject(bitmap);
  GdiDeleteDC(memDC);
}
