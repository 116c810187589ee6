// The system panel of drop-down windows that bar items open: a strip along
// the window's top or bottom edge, outside its client area, with a size grip
// in one corner and a close button at the other end.
#pragma once

#include "foundation/dxCommon.h"
#include "platform/WinApi.h"
#include "platform/core/System.h"

// Where the parts of the panel lie, in window coordinates (origin at the
// window's top-left corner), for a window rectangle of AWindowSize and the
// client rectangle AClient in window coordinates.
struct TdxBarSysPanelLayout {
  int BorderWidth = 0;
  TRect Panel;        // the strip between the frame and the client area
  TRect CloseButton;  // empty when the panel is too low for one
  bool AtTop = false;
};
TdxBarSysPanelLayout dxBarCalcSysPanelLayout(const TSize& AWindowSize, const TRect& AClient, TdxCorner AGripCorner);

// Draws the window's non-client frame and, with ADrawPanel, the panel on the
// window's own device context; answers the close button's and the grip's
// rectangles in screen coordinates (both empty without the panel).
void dxBarDrawSysPanel(HWND AWindow, bool ADrawPanel, bool AFlat, bool ACloseButtonHot, bool ACloseButtonPressed,
                       TRect& ACloseButtonRect, TRect& AGripRect, TdxCorner AGripCorner);
