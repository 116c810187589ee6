#include "bars/controls/dxBarSystemPanel.h"

#include "bars/controls/dxBarPaintRoutines.h"

#include <algorithm>

namespace {

void Exclude(HDC DC, const TRect& R) { ExcludeClipRect(DC, R.Left, R.Top, R.Right, R.Bottom); }

TRect Shifted(const TRect& R, int ADx, int ADy) { return TRect(R.Left + ADx, R.Top + ADy, R.Right + ADx, R.Bottom + ADy); }

}  // namespace

TdxBarSysPanelLayout dxBarCalcSysPanelLayout(const TSize& AWindowSize, const TRect& AClient, TdxCorner AGripCorner) {
  TdxBarSysPanelLayout layout;
  const int b = AClient.Left;
  layout.BorderWidth = b;
  const TRect inner(b, b, AWindowSize.cx - b, AWindowSize.cy - b);
  layout.AtTop = AGripCorner == coTopLeft || AGripCorner == coTopRight;
  layout.Panel = layout.AtTop ? TRect(inner.Left, inner.Top, inner.Right, AClient.Top)
                              : TRect(inner.Left, AClient.Bottom, inner.Right, inner.Bottom);
  int s = std::min(GetSystemMetrics(SM_CXSIZE), layout.Panel.Height() - 4);
  if (s % 2 == 0) --s;
  // A panel too low for a button gets none, rather than a square of
  // negative size.
  if (s < 1) return layout;
  const bool gripLeft = AGripCorner == coTopLeft || AGripCorner == coBottomLeft;
  const int cell = s + 4;
  const int cellLeft = gripLeft ? layout.Panel.Right - cell : layout.Panel.Left;
  const int left = cellLeft + (cell - s) / 2;
  int top = layout.Panel.Top + (layout.Panel.Height() - s) / 2;
  if (!layout.AtTop) ++top;
  layout.CloseButton = TRect(left, top, left + s, top + s);
  return layout;
}

void dxBarDrawSysPanel(HWND AWindow, bool ADrawPanel, bool AFlat, bool ACloseButtonHot, bool ACloseButtonPressed,
                       TRect& ACloseButtonRect, TRect& AGripRect, TdxCorner AGripCorner) {
  ACloseButtonRect = TRect();
  AGripRect = TRect();
  RECT window, client;
  if (!GetWindowRect(AWindow, &window) || !GetClientRect(AWindow, &client)) return;
  MapWindowPoints(AWindow, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const TRect clientR(client.left - window.left, client.top - window.top, client.right - window.left,
                      client.bottom - window.top);
  const TSize size(window.right - window.left, window.bottom - window.top);
  const TdxBarSysPanelLayout layout = dxBarCalcSysPanelLayout(size, clientR, AGripCorner);
  HDC DC = GetWindowDC(AWindow);
  if (!DC) return;
  const int saved = SaveDC(DC);
  HBRUSH frame = dxBarSysBrush(AFlat ? COLOR_BTNSHADOW : COLOR_WINDOWFRAME);
  dxBarFrameRect(DC, TRect(0, 0, size.cx, size.cy), frame, layout.BorderWidth);
  if (ADrawPanel && !layout.Panel.IsEmpty()) {
    const TRect& panel = layout.Panel;
    IntersectClipRect(DC, panel.Left, panel.Top, panel.Right, panel.Bottom);
    const TRect line = layout.AtTop ? TRect(panel.Left, panel.Bottom - 1, panel.Right, panel.Bottom)
                                    : TRect(panel.Left, panel.Top, panel.Right, panel.Top + 1);
    dxBarFillRect(DC, line, frame);
    Exclude(DC, line);
    TRect grip = panel;
    dxPaintSizeGripCorner(DC, grip, AGripCorner);
    Exclude(DC, grip);
    AGripRect = Shifted(grip, window.left, window.top);
    if (!layout.CloseButton.IsEmpty()) {
      const TRect button = layout.CloseButton;
      const bool pushed = ACloseButtonHot && ACloseButtonPressed && !AFlat;
      RECT face{button.Left + 2, button.Top + 2, button.Right - 2, button.Bottom - 2};
      if (face.right > face.left && face.bottom > face.top)
        DrawFrameControl(DC, &face, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_FLAT | (pushed ? DFCS_PUSHED : 0));
      RECT outer{button.Left, button.Top, button.Right, button.Bottom};
      if ((ACloseButtonHot || ACloseButtonPressed) && !AFlat)
        DrawEdge(DC, &outer, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
      else
        dxBarFrameRect(DC, button, dxBarSysBrush(COLOR_BTNFACE));
      dxBarFrameRect(DC, dxBarShrunkRect(button, 1, 1), dxBarSysBrush(COLOR_BTNFACE));
      Exclude(DC, button);
      ACloseButtonRect = Shifted(button, window.left, window.top);
    }
    dxBarFillRect(DC, panel, dxBarSysBrush(COLOR_BTNFACE));
  }
  RestoreDC(DC, saved);
  ReleaseDC(AWindow, DC);
}
