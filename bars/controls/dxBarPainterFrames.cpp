// The plain look of the windows of the toolbar system rather than their
// items: floating frames and captions, marks and chevrons, status-bar grips,
// backgrounds, and the frame, separators, scroll buttons and expand mark of
// sub-menus.
#include "bars/controls/dxBarDockControl.h"
#include "bars/controls/dxBarPaintRoutines.h"
#include "bars/controls/dxBarPainter.h"
#include "bars/controls/dxBarToolbarControl.h"
#include "bars/model/dxBarDrawing.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxThemeManager.h"
#include "foundation/dxUxTheme.h"
#include "platform/gui/GdiAccounting.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool IsRealColor(TColor AColor) { return AColor != clNone && AColor != clDefault; }

void FillColorOrBrush(HDC DC, const TRect& R, HBRUSH ABrush, TColor AColor, HBRUSH ADefault) {
  if (IsRealColor(AColor))
    dxFillSolidRect(DC, R, AColor);
  else
    dxBarFillRect(DC, R, ABrush ? ABrush : ADefault);
}

void EdgeRect(HDC DC, const TRect& R, UINT AEdge, UINT AFlags) {
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  DrawEdge(DC, &r, AEdge, AFlags);
}

// A filled triangle through three points, each point's pixel included.
void FillTriangle(HDC DC, const POINT (&APoints)[3], TColor AColor) { dxBarFillPolygon(DC, APoints, 2, AColor, AColor); }

void PolylineWith(HDC DC, COLORREF AColor, std::initializer_list<POINT> APoints) {
  HGDIOBJ old = SelectObject(DC, GdiCreatePen(PS_SOLID, 1, AColor));
  Polyline(DC, APoints.begin(), static_cast<int>(APoints.size()));
  dxBarSelectBackAndDelete(DC, old);
}

}  // namespace

// ---- metrics, colours and queries

TRect TdxBarPainter::BarBorderPaintSizes(TdxBarControl*, const TRect&) const {
  const int size = BarBorderSize();
  return TRect(size, size, size, size);
}

// The ring the border reserves is the bar's too: left unpainted, it would keep
// whatever the screen held there, such as the hatch shown while another
// manager customized.
void TdxBarPainter::BarDrawDockedBarBorder(TdxBarControl* ABarControl, HDC DC, const TRect& ARect,
                                           HBRUSH ABrush) const {
  if (!ABarControl || ARect.IsEmpty()) return;
  const TRect sizes = BarBorderPaintSizes(ABarControl, ARect);
  HRGN saved = nullptr;
  bool hadClip = false;
  dxBarSaveDCClip(DC, saved, hadClip);
  ExcludeClipRect(DC, ARect.Left + sizes.Left, ARect.Top + sizes.Top, ARect.Right - sizes.Right,
                  ARect.Bottom - sizes.Bottom);
  ABarControl->DrawBackgroundRect(DC, ARect, false, clNone, ABrush);
  dxBarRestoreDCClip(DC, saved, hadClip);
}

TColor TdxBarPainter::FloatingCaptionBackColor(TdxBarControl* ABarControl) const {
  TdxBarManager* manager = ABarControl ? ABarControl->BarManager() : nullptr;
  return manager && manager->MainFormActive() ? clActiveCaption : clInactiveCaption;
}

bool TdxBarPainter::BarHasShadow(TCustomdxBarControl* ABarControl) const {
  return IsButtonControlArrowFlat() && dynamic_cast<TdxBarControl*>(ABarControl) &&
         ABarControl->DockingStyle() == dsNone;
}

bool TdxBarPainter::BarLinkedOwnerHasShadow(TCustomdxBarControl* ABarControl) const {
  if (!BarHasShadow(ABarControl)) return false;
  TCustomdxBarControl* parent = ABarControl->ParentBar();
  return !parent || parent->DockingStyle() != dsNone;
}

// ---- floating frame and caption

TRect TdxBarPainter::CalcFloatingCaptionRect(const TRect& AWindowRect) const {
  const int top = AWindowRect.Top + BorderSizeY();
  return TRect(AWindowRect.Left + BorderSizeX(), top, AWindowRect.Right - BorderSizeX(), top + BarCaptionSize());
}

void TdxBarPainter::BarCaptionFillBackground(TdxBarControl*, HDC DC, const TRect& R, HBRUSH ABrush) const {
  dxBarFillRect(DC, R, ABrush);
}

void TdxBarPainter::ShiftFloatingCaption(TdxBarControl* ABarControl, TRect& ACaption, int&) const {
  // The text ends where the mark starts; it never runs under the mark.
  ACaption.Right = std::max(ACaption.Left, std::min(ACaption.Right, ABarControl->GetMarkWindowRect().Left));
}

void TdxBarPainter::BarDrawFloatingBarCaption(TdxBarControl* ABarControl, HDC DC, const TRect& ACaptionRect,
                                              const TRect&, HBRUSH ABrush) const {
  dxBarFillRect(DC, TRect(ACaptionRect.Left, ACaptionRect.Bottom, ACaptionRect.Right, ACaptionRect.Bottom + 1),
                ABrush);
  if (BarCaptionTransparent()) BarCaptionFillBackground(ABarControl, DC, ACaptionRect, ABrush);
  TRect R = ACaptionRect;
  if (ABarControl->ShowsCloseButton()) {
    R.Right = std::max(R.Left, R.Right - BarCaptionSize());
    BarDrawCloseButton(ABarControl, DC, ABarControl->GetCloseButtonWindowRect());
  }
  int textLeft = R.Left + 2;
  const bool hasMark = ABarControl->HasMark();
  if (hasMark) ShiftFloatingCaption(ABarControl, R, textLeft);
  if (!R.IsEmpty()) {
    HGDIOBJ oldFont = SelectObject(DC, ABarControl->Font()->Handle());
    const String caption = ABarControl->Bar() ? ABarControl->Bar()->Caption() : String();
    SIZE extent{};
    GetTextExtentPoint32W(DC, L"Wg", 2, &extent);
    SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(FloatingCaptionTextColor(ABarControl))));
    SetBkColor(DC, static_cast<COLORREF>(ColorToRGB(FloatingCaptionBackColor(ABarControl))));
    const int oldMode = SetBkMode(DC, BarCaptionTransparent() ? TRANSPARENT : OPAQUE);
    const RECT clip{R.Left, R.Top, R.Right, R.Bottom};
    ExtTextOutW(DC, textLeft, (R.Top + R.Bottom - extent.cy) / 2,
                ETO_CLIPPED | (BarCaptionTransparent() ? 0u : ETO_OPAQUE), &clip, caption.c_str(),
                static_cast<UINT>(caption.size()), nullptr);
    SetBkMode(DC, oldMode);
    SelectObject(DC, oldFont);
  }
  if (hasMark) BarDrawMark(ABarControl, DC, ABarControl->GetMarkWindowRect());
}

void TdxBarPainter::BarDrawCaptionElement(TdxBarControl* ABarControl, HDC DC, const TRect& R, int AState) const {
  if (AState != 1 && AState != 2) {
    dxFillSolidRect(DC, R, FloatingCaptionBackColor(ABarControl));
    return;
  }
  OutlineSelection(DC, R);
  dxBarFillRect(DC, dxBarShrunkRect(R, 1, 1), AState == 1 ? BarToolbarSelBrush(BarManagerOf(ABarControl))
                                                             : BarToolbarDownedSelBrush(BarManagerOf(ABarControl)));
}

// ---- marks

TRect TdxBarPainter::BarMarkItemRect(TdxBarControl* ABarControl) const {
  const int size = ABarControl->MarkSize();
  switch (ABarControl->DockingStyle()) {
    case dsLeft:
    case dsRight: {
      TRect R = ABarControl->ClientRect();
      R.Top = R.Bottom - size;
      return R;
    }
    case dsTop:
    case dsBottom: {
      TRect R = ABarControl->ClientRect();
      R.Left = R.Right - size;
      return R;
    }
    default: {
      const TRect caption = ABarControl->GetCaptionRect();
      TRect R = caption;
      R.Left = R.Right - caption.Height();
      if (ABarControl->ShowsCloseButton()) {
        const int shift = BarCloseButtonSize().cx + 1;
        R.Left -= shift;
        R.Right -= shift;
      }
      R.Left = std::max(R.Left, caption.Left);
      R.Right = std::max(R.Right, R.Left);
      return R;
    }
  }
}

void TdxBarPainter::BarMarkRectInvalidate(TdxBarControl* ABarControl) const {
  if (!ABarControl->HandleAllocated()) return;
  HWND wnd = ABarControl->WindowHandle();
  if (ABarControl->DockingStyle() != dsNone) {
    const TRect R = BarMarkRect(ABarControl);
    const RECT r{R.Left, R.Top, R.Right, R.Bottom};
    InvalidateRect(wnd, &r, FALSE);
    return;
  }
  if (HDC DC = GetWindowDC(wnd)) {
    BarDrawMark(ABarControl, DC, ABarControl->GetMarkWindowRect());
    ReleaseDC(wnd, DC);
  }
}

void TdxBarPainter::PaintMarkArrow(TdxBarControl* ABarControl, HDC DC, const TRect& R) const {
  const int x = (R.Left + R.Right - 7) / 2;
  const int sum = R.Top + R.Bottom - 4;
  const int y = sum / 2 + (sum % 2 > 0 ? 1 : 0);
  const POINT points[3] = {{x, y}, {x + 6, y}, {x + 3, y + 3}};
  FillTriangle(DC, points, MarkGlyphColor(ABarControl, ABarControl->MarkState()));
}

void TdxBarPainter::BarDrawMark(TdxBarControl* ABarControl, HDC DC, const TRect& R) const {
  PaintMarkArrow(ABarControl, DC, R);
}

void TdxBarPainter::BarDrawMarks(TdxBarControl* ABarControl, TcxCanvas* ACanvas, const TRect& R,
                                 HBRUSH ABrush) const {
  PaintBarWindowFrame(ABarControl, ACanvas->Handle(), R, ABrush);
  BarDrawMarkElements(ABarControl, ACanvas->Handle(), R);
}

void TdxBarPainter::BarDrawMarkElements(TdxBarControl* ABarControl, HDC DC, const TRect& R) const {
  const bool horizontal = !ABarControl->IsDockedLeftOrRight() && ABarControl->DockingStyle() != dsNone;
  if (BarAllowQuickCustomizing()) {
    const TColor color = static_cast<TColor>(GetSysColor(MarkElementSysColor(ABarControl)));
    if (horizontal) {
      const int x = R.Left + 3;
      const int y = R.Bottom - 7 + (BarHeightIsCompact(ABarControl, ABarControl->ClientRect()) ? 1 : 0);
      const POINT points[3] = {{x, y}, {x + 4, y}, {x + 2, y + 2}};
      FillTriangle(DC, points, color);
    } else {
      const int x = R.Left + 5, y = R.Top + 3;
      const POINT points[3] = {{x, y}, {x, y + 4}, {x - 2, y + 2}};
      FillTriangle(DC, points, color);
    }
  }
  if (!ABarControl->Truncated()) return;
  for (int offset : {2, 6})
    PaintChevron(ABarControl, DC,
                 horizontal ? TPoint(R.Left + offset, R.Top) : TPoint(R.Right, R.Top + offset));
}

void TdxBarPainter::PaintChevron(TdxBarControl* ABarControl, HDC DC, const TPoint& APos) const {
  const COLORREF color = GetSysColor(COLOR_BTNTEXT);
  if (!ABarControl->IsDockedLeftOrRight() && ABarControl->DockingStyle() != dsNone) {
    const int x = APos.X;
    const int y0 = APos.Y + 4 - (BarHeightIsCompact(ABarControl, ABarControl->ClientRect()) ? 1 : 0);
    for (int dx : {0, 1}) PolylineWith(DC, color, {{x + dx, y0}, {x + dx + 2, y0 + 2}, {x + dx - 1, y0 + 5}});
  } else {
    const int w = APos.X, p = APos.Y;
    for (int dy : {0, 1}) PolylineWith(DC, color, {{w - 8, p + dy}, {w - 6, p + dy + 2}, {w - 3, p + dy - 1}});
  }
}

// ---- status bars

void TdxBarPainter::BarDrawStatusBarBorder(TdxBarControl* ABarControl, HDC DC, const TRect& R,
                                           HBRUSH ABrush) const {
  ABarControl->DrawBackgroundRect(DC, TRect(R.Left, R.Top, R.Right, R.Top + StatusBarTopBorderSize()), false,
                                  clNone, ABrush);
}

void TdxBarPainter::BarDrawStatusBarGrip(TdxBarControl* ABarControl, HDC DC, const TRect& R, HBRUSH ABrush) const {
  const TRect offsets = StatusBarBorderOffsets();
  const TRect inner(R.Left + offsets.Left, R.Top + offsets.Top, R.Right - offsets.Right, R.Bottom - offsets.Bottom);
  const TSize grip = StatusBarGripSize(ABarControl->BarManager());
  ABarControl->DrawBackgroundRect(DC, TRect(inner.Right - grip.cx, inner.Top, inner.Right, inner.Bottom), false,
                                  clNone, ABrush);
  PaintSizeGrip(ABarControl, DC, TRect(inner.Right - grip.cx, inner.Bottom - grip.cy, inner.Right, inner.Bottom));
}

void TdxBarPainter::PaintSizeGrip(TdxBarControl*, HDC DC, const TRect& R) const {
  if (IsNativeBackground() && dxBarThemeAvailable() &&
      SUCCEEDED(dxUxDrawThemeBackground(dxAcquireThemeHandle(totStatus), DC, dxBarStatusGripperPart, 0, R)))
    return;
  // The classic grip: diagonal lines from the bottom-right corner, two in the
  // shadow colour and one in the highlight colour per step, drawn over what
  // is there.
  const int size = std::min(R.Width(), R.Height());
  for (int step = 0; step < 3; ++step)
    for (int i = 0; i < 3; ++i) {
      const int n = 4 * step + i + 2;
      if (n > size) return;
      const COLORREF color = GetSysColor(i < 2 ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
      PolylineWith(DC, color, {{R.Right - n, R.Bottom - 1}, {R.Right, R.Bottom - 1 - n}});
    }
}

// ---- backgrounds

void TdxBarPainter::StatusBarFillBackground(TdxBarControl* ABarControl, HDC DC, const TRect& ADestR, const TRect& ASourceR,
                                            HBRUSH ABrush, TColor AColor) const {
  if (IsNativeBackground() && dxBarThemeAvailable()) {
    // The whole window's status bar background, of which ADestR shows its part.
    const int state = SaveDC(DC);
    IntersectClipRect(DC, ADestR.Left, ADestR.Top, ADestR.Right, ADestR.Bottom);
    const HRESULT result = dxUxDrawThemeBackground(dxAcquireThemeHandle(totStatus), DC, 0, 0, ASourceR);
    RestoreDC(DC, state);
    if (SUCCEEDED(result)) return;
  }
  FillColorOrBrush(DC, ADestR, ABrush, AColor, BarToolbarBrush(BarManagerOf(ABarControl)));
}

void TdxBarPainter::BarFillParentBackground(TCustomdxBarControl* ABarControl, HDC DC, const TRect& ADestR,
                                            const TRect& ASourceR, HBRUSH ABrush, TColor AColor) const {
  TdxDockControl* dock = ABarControl ? ABarControl->DockControl() : nullptr;
  if (!dock) return;
  // A docked toolbar continues the dock's background.
  TRect source = ASourceR;
  source.Left += ABarControl->Left();
  source.Right += ABarControl->Left();
  source.Top += ABarControl->Top();
  source.Bottom += ABarControl->Top();
  dock->FillBackground(DC, ADestR, source, ABrush, AColor);
}

void TdxBarPainter::BarDrawDockedBackground(TCustomdxBarControl* ABarControl, HDC DC, const TRect& ADestR,
                                            const TRect& ASourceR, HBRUSH ABrush, TColor AColor) const {
  BarFillParentBackground(ABarControl, DC, ADestR, ASourceR, ABrush, AColor);
}

void TdxBarPainter::BarDrawFloatingBackground(TCustomdxBarControl* ABarControl, HDC DC, const TRect& ADestR,
                                              const TRect& ASourceR, HBRUSH ABrush, TColor AColor) const {
  if (TBitmap* bitmap = ManagerBarBackgroundBitmap(ABarControl))
    dxBarTileBitmap(DC, ADestR, ASourceR, bitmap);
  else
    FillColorOrBrush(DC, ADestR, ABrush, AColor, BarToolbarBrush(BarManagerOf(ABarControl)));
}

void TdxBarPainter::BarDrawOwnerLink(TCustomdxBarControl* ABarControl, HDC DC, const TRect& ALinkR) const {
  dxBarFillRect(DC, ALinkR, BarControlOwnerBrush(BarManagerOf(ABarControl)));
}

// ---- sub-menus

TRect TdxBarPainter::SubMenuControlContentRectOffset(const TdxBarSubMenuFrame&) const {
  const int size = SubMenuControlClientBorderSize();
  return TRect(size, size, size, size);
}

TRect TdxBarPainter::SubMenuControlOffsetDetachCaptionRect(const TRect& R) const { return dxBarShrunkRect(R, 3, 3); }

int TdxBarPainter::SubMenuControlGetControlContentIndent(const TdxBarSubMenuFrame& AMenu) const {
  int indent = AMenu.BandWidth + AMenu.IconAreaSize;
  CorrectButtonControlDefaultHeight(indent);
  return indent;
}

HBRUSH TdxBarPainter::SubMenuControlToolbarItemsBrush() const { return dxBarSysBrush(COLOR_BTNFACE); }

void TdxBarPainter::SubMenuControlCalcDrawingConsts(TcxCanvas* ACanvas, int ATextSize, int& AArrowWidth,
                                                    int& AMarkSize) const {
  AArrowWidth = SubMenuControlArrowWidth(ATextSize);
  AMarkSize = ACanvas->TextHeight(L"0") + 1;
  const int arrow = SubMenuControlMarkArrowSize(AMarkSize);
  if (arrow % 2 != 0) AMarkSize = 2 * arrow + 4;
}

TRect TdxBarPainter::SubMenuControlBeginGroupRect(const TdxBarSubMenuFrame&, const TdxBarSubMenuItemFrame& AItem,
                                                  const TRect& AItemRect) const {
  const int bottom = AItemRect.Top - (AItem.NonRecent && AItem.ChangeRecentGroup ? 1 : 0);
  return TRect(AItemRect.Left, bottom - SubMenuControlBeginGroupSize(), AItemRect.Right, bottom);
}

void TdxBarPainter::SubMenuControlDrawBorder(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R) const {
  dxBarFillRect(DC, TRect(R.Left, R.Top, R.Right, R.Top + 1), dxBarSysBrush(COLOR_BTNFACE));
  dxBarFillRect(DC, TRect(R.Left, R.Top, R.Left + 1, R.Bottom), dxBarSysBrush(COLOR_BTNFACE));
  EdgeRect(DC, R, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
  if (!AMenu.Detachable) return;
  const TRect inner = dxBarShrunkRect(R, 1, 1);
  EdgeRect(DC, inner, BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_RIGHT);
  const TRect area = dxBarShrunkRect(inner, 1, 1);
  dxBarFrameRect(DC, TRect(area.Left, area.Top, area.Right, area.Top + SubMenuControlDetachCaptionAreaSize(AMenu) - 1),
                 dxBarSysBrush(COLOR_BTNFACE));
  SubMenuControlDrawDetachCaption(AMenu, DC, AMenu.DetachCaptionRect);
}

void TdxBarPainter::SubMenuControlDrawClientBorder(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R,
                                                   HBRUSH ABrush) const {
  TRect rect = R;
  if (AMenu.Detachable) rect.Top -= 2;
  EdgeRect(DC, rect, BDR_RAISEDINNER, BF_RECT);
  dxBarFrameRect(DC, dxBarShrunkRect(rect, 1, 1), ABrush);
}

void TdxBarPainter::SubMenuControlDrawDetachCaption(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R) const {
  dxBarFillRect(DC, R, dxBarSysBrush(AMenu.DetachCaptionSelected ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
}

void TdxBarPainter::SubMenuControlDrawBackground(const TdxBarSubMenuFrame& AMenu, TcxCanvas* ACanvas, const TRect& R,
                                                 HBRUSH ABrush, TColor AColor) const {
  if (AMenu.BackgroundBitmap && !AMenu.BackgroundBitmap->Empty())
    ACanvas->FillRect(R, AMenu.BackgroundBitmap);
  else
    FillColorOrBrush(ACanvas->Handle(), R, ABrush, AColor, BarToolbarBrush(BarManagerOf(AMenu.Control)));
}

void TdxBarPainter::SubMenuControlPrepareBkBrush(const TdxBarSubMenuFrame&, HBRUSH& ABrush) const {
  if (BarAllowHotTrack()) ABrush = SubMenuControlToolbarItemsBrush();
}

void TdxBarPainter::SubMenuControlDrawBeginGroup(const TdxBarSubMenuFrame& AMenu, const TdxBarSubMenuItemFrame& AItem,
                                                 TcxCanvas* ACanvas, const TRect& R) const {
  const bool startsNonRecent = AItem.NonRecent && AItem.ChangeRecentGroup;
  const bool opaque = AItem.NonRecent && !AItem.ChangeRecentGroup;
  TRect strip = R;
  if (opaque) {
    strip.Right += 2;
    if (AMenu.BandWidth == 0) --strip.Left;
  }
  SubMenuFillBackground(AMenu, ACanvas->Handle(), strip, startsNonRecent ? AMenu.ToolbarBrush : AMenu.BkBrush, opaque);
  SubMenuControlDrawSeparator(ACanvas, dxBarShrunkRect(R, SubMenuBeginGroupIndent(), 4));
}

void TdxBarPainter::SubMenuControlDrawSeparator(TcxCanvas* ACanvas, const TRect& R) const {
  EdgeRect(ACanvas->Handle(), R, EDGE_ETCHED, BF_TOP);
}

void TdxBarPainter::SubMenuFillBackground(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R, HBRUSH ABrush,
                                          bool AOpaque) {
  if (R.IsEmpty()) return;
  if (!AOpaque && AMenu.Control)
    AMenu.Control->DrawBackgroundRect(DC, R, false, clNone, ABrush);
  else
    dxBarFillRect(DC, R, ABrush);
}

TRect TdxBarPainter::SubMenuControlGetItemIconRect(const TRect& AItemRect, int AIconAreaSize) const {
  return TRect(AItemRect.Left, AItemRect.Top, AItemRect.Left + AIconAreaSize, AItemRect.Bottom);
}

TRect TdxBarPainter::SubMenuControlGetItemTextRect(TdxBarItemControlDrawParams* AParams,
                                                   const TRect& AItemRect) const {
  TRect R = AItemRect;
  R.Left += SubMenuControlGetItemTextIndent(SubMenuFrameOf(AParams->BarItemControl()));
  return R;
}

// Item controls are drawn before their menu exists as a frame: what an item
// needs of it comes from the bar control the item sits on.
TdxBarSubMenuFrame TdxBarPainter::SubMenuFrameOf(TdxBarItemControl* AControl) const {
  TdxBarSubMenuFrame menu;
  TCustomdxBarControl* bar = AControl ? AControl->Parent() : nullptr;
  if (!bar) return menu;
  menu.Control = bar;
  menu.ToolbarBrush = SubMenuControlToolbarItemsBrush();
  menu.BkBrush = ParentBkBrush(AControl);
  menu.TextSize = bar->TextSize();
  menu.IconAreaSize = bar->IconAreaSize();
  return menu;
}

TdxBarSubMenuFrame TdxBarPainter::SubMenuFrameOf(const TdxBarItemPaintValues& AValues) const {
  TdxBarSubMenuFrame menu;
  menu.Control = AValues.Bar;
  menu.ToolbarBrush = SubMenuControlToolbarItemsBrush();
  menu.BkBrush = AValues.BarBkBrush;
  menu.TextSize = AValues.TextSize;
  menu.IconAreaSize = AValues.IconAreaSize;
  return menu;
}

TRect TdxBarPainter::SubMenuItemIconRect(TdxBarItemControl* AControl, const TRect& AItemRect) const {
  TCustomdxBarControl* bar = AControl ? AControl->Parent() : nullptr;
  return SubMenuControlGetItemIconRect(AItemRect, bar ? bar->IconAreaSize() : 0);
}

// ---- arrows

void TdxBarPainter::CalculateArrowPoints(const TRect& R, int ASize, TcxArrowDirection ADirection,
                                         TcxArrowPoints& APoints) {
  TcxCustomLookAndFeelPainter::CalculateArrowPoints(R, APoints, ADirection, false, ASize);
  TcxArrowPoints& P = APoints;
  auto shift = [&P](int dx, int dy) {
    for (TPoint& p : P) p = TPoint(p.X + dx, p.Y + dy);
  };
  // The look-and-feel points name the arrow's corner pixels; a filled
  // triangle leaves its right and bottom edges out, so those corners move
  // one pixel out.
  switch (ADirection) {
    case adUp:
      ++P[0].Y;
      P[2] = TPoint(P[2].X + 1, P[2].Y + 1);
      break;
    case adDown:
      ++P[0].X;
      ++P[1].Y;
      if ((R.Bottom + ASize - R.Top) % 2 != 0) shift(0, -1);
      break;
    case adLeft:
      P[0] = TPoint(P[0].X + 1, P[0].Y + 1);
      ++P[2].X;
      break;
    case adRight:
      ++P[2].Y;
      ++P[1].X;
      if ((R.Right + ASize - R.Left) % 2 != 0) shift(-1, 0);
      break;
  }
}

TRect TdxBarPainter::GetArrowRectByPoints(const TcxArrowPoints& P, TcxArrowDirection ADirection) {
  switch (ADirection) {
    case adUp: return TRect(P[0].X, P[1].Y, P[2].X, P[0].Y);
    case adDown: return TRect(P[2].X, P[0].Y, P[0].X, P[1].Y);
    case adLeft: return TRect(P[1].X, P[2].Y, P[0].X, P[0].Y);
    default: return TRect(P[0].X, P[0].Y, P[1].X, P[2].Y);
  }
}

void TdxBarPainter::SetArrowRegion(TcxCanvas* ACanvas, TcxArrowDirection ADirection, const TcxArrowPoints& APoints,
                                   int ACombine) {
  // Built line by line across the arrow rather than as a polygon, so that it
  // holds exactly the triangle's pixels whatever the rasteriser's edge rules.
  const TRect R = GetArrowRectByPoints(APoints, ADirection);
  if (R.IsEmpty()) return;
  const TPoint origin = ACanvas->DCOrigin();
  HRGN region = GdiCreateRectRgn(0, 0, 0, 0);
  const bool vertical = ADirection == adUp || ADirection == adDown;
  const int depth = vertical ? R.Height() : R.Width();
  const int middle = vertical ? R.Left + (R.Width() - 1) / 2 : R.Top + (R.Height() - 1) / 2;
  for (int i = 0; i < depth; ++i) {
    HRGN line;
    if (vertical) {
      const int y = ADirection == adUp ? R.Top + i : R.Bottom - 1 - i;
      line = GdiCreateRectRgn(middle - i, y, middle + i + 1, y + 1);
    } else {
      const int x = ADirection == adLeft ? R.Left + i : R.Right - 1 - i;
      line = GdiCreateRectRgn(x, middle - i, x + 1, middle + i + 1);
    }
    CombineRgn(region, region, line, RGN_OR);
    GdiDeleteObject(line);
  }
  OffsetRgn(region, origin.X, origin.Y);
  HDC DC = ACanvas->Handle();
  if (ACombine == RGN_AND || ACombine == RGN_DIFF) {
    // A DC without a clip region stands for everything: AND keeps the
    // arrow, DIFF leaves everything else.
    HRGN current = GdiCreateRectRgn(0, 0, 0, 0);
    if (GetClipRgn(DC, current) == 1) {
      CombineRgn(current, current, region, ACombine);
      SelectClipRgn(DC, current);
    } else {
      ExtSelectClipRgn(DC, region, ACombine);
    }
    GdiDeleteObject(current);
  } else {
    ExtSelectClipRgn(DC, region, ACombine);
  }
  GdiDeleteObject(region);
}

void TdxBarPainter::FillWithColor(HDC DC, const TRect& R, TColor AColor) const { dxFillSolidRect(DC, R, AColor); }

// ---- quick customization and drop-down list boxes

void TdxBarPainter::DrawQuickCustItemFrame(TdxBarItemControl*, HDC, TRect& R, TRect& ACheckRect, bool) const {
  R.Right = R.Left + R.Height();
  ACheckRect = R;
}

void TdxBarPainter::DropDownListBoxDrawBorder(HDC DC, TColor AColor, const TRect& R) const {
  dxBarFrameRect(DC, R, dxBarSysBrush(COLOR_BTNSHADOW));
  const TRect inner = dxBarShrunkRect(R, 1, 1);
  if (inner.IsEmpty()) return;
  for (const TRect& side : {TRect(inner.Left, inner.Top, inner.Right, inner.Top + 1),
                            TRect(inner.Left, inner.Bottom - 1, inner.Right, inner.Bottom),
                            TRect(inner.Left, inner.Top + 1, inner.Left + 1, inner.Bottom - 1),
                            TRect(inner.Right - 1, inner.Top + 1, inner.Right, inner.Bottom - 1)})
    if (!side.IsEmpty()) dxFillSolidRect(DC, side, AColor);
}

// ---- sub-menu scrolling, recent groups and the expand mark

TRect TdxBarPainter::ScrollButtonRect(const TdxBarSubMenuFrame& AMenu, bool AAtBottom) const {
  TRect R = AMenu.ScrollAreaRect;
  if (AAtBottom)
    R.Top = std::max(R.Top, R.Bottom - ScrollButtonHeight(AMenu));
  else
    R.Bottom = std::min(R.Bottom, R.Top + ScrollButtonHeight(AMenu));
  return R;
}

void TdxBarPainter::PaintSubMenuScroller(const TdxBarSubMenuFrame& AMenu, TcxCanvas* ACanvas, bool AAtBottom,
                                         const TdxBarSubMenuItemFrame& AItem) const {
  const TRect R = ScrollButtonRect(AMenu, AAtBottom);
  PaintScrollArrow(AMenu, ACanvas, R, AAtBottom ? adDown : adUp, clBtnText);
  SubMenuControlDrawScrollButton(AMenu, ACanvas->Handle(), R);
  PaintRecentGroupEdge(AMenu, ACanvas, !AAtBottom, AItem);
  PaintItemNearScroller(AMenu, ACanvas, AItem);
}

void TdxBarPainter::PaintScrollArrow(const TdxBarSubMenuFrame& AMenu, TcxCanvas* ACanvas, const TRect& R,
                                     TcxArrowDirection ADirection, TColor AColor) const {
  TcxArrowPoints points;
  CalculateArrowPoints(R, AMenu.ArrowSize, ADirection, points);
  ACanvas->SaveClipRegion();
  SetArrowRegion(ACanvas, ADirection, points, RGN_AND);
  FillWithColor(ACanvas->Handle(), GetArrowRectByPoints(points, ADirection), AColor);
  ACanvas->RestoreClipRegion();
  // The arrow stays as drawn while the rest of the button is painted.
  SetArrowRegion(ACanvas, ADirection, points, RGN_DIFF);
}

void TdxBarPainter::PaintRecentGroupEdge(const TdxBarSubMenuFrame&, TcxCanvas* ACanvas, bool AAtTop,
                                         const TdxBarSubMenuItemFrame& AItem) const {
  if (!AAtTop || !AItem.ChangeRecentGroup) return;
  const TRect line(AItem.AreaRect.Left - 1, AItem.AreaRect.Top, AItem.AreaRect.Right + 1, AItem.AreaRect.Top + 1);
  dxBarFillRect(ACanvas->Handle(), line, dxBarSysBrush(AItem.NonRecent ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT));
  ACanvas->ExcludeClipRect(line);
}

void TdxBarPainter::PaintItemNearScroller(const TdxBarSubMenuFrame& AMenu, TcxCanvas* ACanvas,
                                          const TdxBarSubMenuItemFrame& AItem) const {
  SubMenuFillBackground(AMenu, ACanvas->Handle(), AItem.AreaRect, AMenu.BkBrush, false);
}

void TdxBarPainter::PaintSunkenItemFrame(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R) const {
  EdgeRect(DC, R, BDR_RAISEDINNER, BF_RECT);
  HPALETTE oldPalette = nullptr;
  if (AMenu.LightPalette) {
    oldPalette = SelectPalette(DC, AMenu.LightPalette, FALSE);
    RealizePalette(DC);
  }
  dxBarFillRect(DC, dxBarShrunkRect(R, 1, 1), AMenu.LightBrush ? AMenu.LightBrush : BarToolbarBrush(BarManagerOf(AMenu.Control)));
  if (oldPalette) SelectPalette(DC, oldPalette, FALSE);
}

void TdxBarPainter::SubMenuControlDrawMarkContent(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R,
                                                  bool ASelected) const {
  const int n = SubMenuControlMarkArrowSize(AMenu.MarkSize);
  if (n <= 0) return;
  const bool inverted = ASelected && IsFlatItemText() && dxIsButtonFaceWhite();
  const COLORREF color = GetSysColor(inverted ? COLOR_BTNFACE : COLOR_BTNTEXT);
  const int x = (R.Left + R.Right - n - 1) / 2;
  const int y = R.Top + (AMenu.MarkSize - 2 * n) / 2;
  const int half = n / 2;
  for (int row = 0; row < n; ++row) {
    const int yy = y + row + (row >= half ? half : 0);
    PolylineWith(DC, color, {{x, yy}, {x + half, yy + half}, {x + n + 1, yy - 1}});
  }
}

void TdxBarPainter::PaintSubMenuToBitmap(const TdxBarSubMenuFrame& AMenu, TcxCanvas* ACanvas, const TRect& R,
                                         bool ASelected) const {
  if (R.IsEmpty()) return;
  HDC target = ACanvas->Handle();
  HDC DC = GdiCreateCompatibleDC(target);
  HBITMAP bitmap = GdiCreateCompatibleBitmap(target, R.Width(), R.Height());
  HGDIOBJ oldBitmap = SelectObject(DC, bitmap);
  SetWindowOrgEx(DC, R.Left, R.Top, nullptr);
  SubMenuFillBackground(AMenu, DC, R, AMenu.BkBrush, false);
  if (ASelected) PaintSunkenItemFrame(AMenu, DC, R);
  SubMenuControlDrawMarkContent(AMenu, DC, R, ASelected);
  BitBlt(target, R.Left, R.Top, R.Width(), R.Height(), DC, R.Left, R.Top, SRCCOPY);
  SelectObject(DC, oldBitmap);
  GdiDeleteObject(bitmap);
  GdiDeleteDC(DC);
  ACanvas->ExcludeClipRect(R);
}
