// Small GDI steps the painters share. A brush may stand for a system colour
// (index + 1), which only fills accept: frames are drawn as four fills.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"

#include <vector>

class TBitmap;
class TCustomdxBarControl;

// What the painters read of an item control and of the bar it sits on,
// filled with the control's draw parameters (TdxBarPainter::FillItemPaintValues);
// the drawing operations of edits, combos, spin edits, progress bars and
// labels take these values rather than asking the control.
struct TdxBarItemPaintValues {
  // The bar whose own background shows behind the item's transparent parts.
  TCustomdxBarControl* Bar = nullptr;
  HBRUSH BarBkBrush = nullptr;       // the bar's background brush
  HBRUSH BarToolbarBrush = nullptr;  // the bar's toolbar brush
  HBRUSH ItemBrush = nullptr;        // the control's own background brush; nil for none
  bool NonRecent = false;            // a rarely used link of a menu
  int TextSize = 0;                  // the bar's text size
  int IconAreaSize = 0;              // the bar's icon area: a menu's band
  TSize ImageSize;                   // the control's image in its view size
  const std::vector<TRect>* Parts = nullptr;  // the control's part rectangles
};

// The visual style's status bar parts: its background (part 0) and size grip.
inline constexpr int dxBarStatusGripperPart = 3;

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

