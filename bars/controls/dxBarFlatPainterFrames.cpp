// The flat look of floating toolbar frames, captions, close and MDI buttons,
// marks and sub-menu frames: thin border-brush outlines, caption elements
// filled with the hot tints, striped detach captions and single-line menu
// separators.
#include "bars/controls/dxBarFlatPainter.h"
#include "bars/controls/dxBarPaintRoutines.h"
#include "bars/controls/dxBarToolbarControl.h"
#include "bars/model/dxBarDrawing.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/dxOffice11.h"
#include "platform/gui/GdiAccounting.h"

#include <algorithm>

namespace {

// msNone, msSelected and msPressed as the caption element states 0, 1 and 2.
int CaptionElementState(TdxBarMarkState AState) {
  return AState == msPressed ? 2 : AState == msSelected ? 1 : 0;
}

}  // namespace

// ---- metrics, brushes and colours

TRect TdxBarFlatPainter::SubMenuControlOffsetDetachCaptionRect(const TRect& R) const {
  return dxBarShrunkRect(R, 2, 2);
}

HBRUSH TdxBarFlatPainter::BarToolbarBrushEx2(TCustomdxBarControl*) const { return dxBarSysBrush(COLOR_WINDOW); }

HBRUSH TdxBarFlatPainter::SubMenuControlToolbarItemsBrush() const { return dxBarSysBrush(COLOR_WINDOW); }

TColor TdxBarFlatPainter::MarkGlyphColor(TCustomdxBarControl* ABarControl, TdxBarMarkState AState) const {
  return AState != msNone ? clBtnText : TdxBarPainter::MarkGlyphColor(ABarControl, AState);
}

int TdxBarFlatPainter::MarkElementSysColor(TCustomdxBarControl* ABarControl) const {
  // On a white face the hot mark's fill is too light for a white element.
  if (dxIsButtonFaceWhite() && ABarControl && ABarControl->MarkState() == msSelected) return COLOR_BTNFACE;
  return TdxBarPainter::MarkElementSysColor(ABarControl);
}

int TdxBarFlatPainter::SubMenuControlMarkArrowSize(int AMarkSize) const {
  const int size = (AMarkSize - 4) / 2;
  return size < 5 ? size : size / 2 * 2;
}

void TdxBarFlatPainter::SubMenuControlCalcDrawingConsts(TcxCanvas* ACanvas, int ATextSize, int& AArrowWidth,
                                                        int& AMarkSize) const {
  TdxBarPainter::SubMenuControlCalcDrawingConsts(ACanvas, ATextSize, AArrowWidth, AMarkSize);
  const int arrow = SubMenuControlMarkArrowSize(AMarkSize - 2);
  if (arrow % 2 != 0) AMarkSize = 2 * arrow + 4;
}

TRect TdxBarFlatPainter::SubMenuControlBeginGroupRect(const TdxBarSubMenuFrame&, const TdxBarSubMenuItemFrame&,
                                                      const TRect& AItemRect) const {
  return TRect(AItemRect.Left, AItemRect.Top - SubMenuControlBeginGroupSize(), AItemRect.Right, AItemRect.Top);
}

TRect TdxBarFlatPainter::SubMenuControlGetItemIconRect(const TRect& AItemRect, int AIconAreaSize) const {
  return TdxBarPainter::SubMenuControlGetItemIconRect(dxBarShrunkRect(AItemRect, 1, 1), AIconAreaSize - 2);
}

TRect TdxBarFlatPainter::SubMenuControlGetItemTextRect(TdxBarItemControlDrawParams* AParams,
                                                       const TRect& AItemRect) const {
  return TdxBarPainter::SubMenuControlGetItemTextRect(
      AParams, TRect(AItemRect.Left, AItemRect.Top + 1, AItemRect.Right - 1, AItemRect.Bottom - 1));
}

void TdxBarFlatPainter::DrawItemBackgroundInSubMenu(TdxBarItemControlDrawParams* AParams, const TRect& ARect) const {
  TdxBarItemControl* control = AParams->BarItemControl();
  TCustomdxBarControl* bar = control->Parent();
  if (!bar) return;
  HDC DC = AParams->Canvas->Handle();
  const bool selected = AParams->DrawSelected;
  const bool opaque = selected || IsNonRecent(control);
  const TRect icon = SubMenuItemIconRect(control, ARect);
  TRect R = ARect;
  if (selected) {
    OutlineSelection(DC, R);
  } else {
    // The ring in two parts: under the band the toolbar colour, beside the text the menu's.
    const int x = R.Left + bar->IconAreaSize() + 1;
    const HBRUSH band = dxBarFlatBrushes(control).Toolbar, text = ParentBkBrush(control);
    for (const TRect& side : {TRect(R.Left, R.Top, x, R.Top + 1), TRect(R.Left, R.Bottom - 1, x, R.Bottom),
                              TRect(R.Left, R.Top, R.Left + 1, R.Bottom)})
      DrawBackground(control, DC, side, band, opaque);
    for (const TRect& side : {TRect(x, R.Top, R.Right, R.Top + 1), TRect(x, R.Bottom - 1, R.Right, R.Bottom),
                              TRect(R.Right - 1, R.Top, R.Right, R.Bottom)})
      DrawBackground(control, DC, side, text, opaque);
  }
  R = dxBarShrunkRect(R, 1, 1);
  const HBRUSH band = selected ? ParentSelectedBrush(control) : dxBarFlatBrushes(control).Toolbar;
  DrawBackground(control, DC, TRect(icon.Right, icon.Top, icon.Right + 2, icon.Bottom), band, opaque);
  if (R.Top < icon.Top) DrawBackground(control, DC, TRect(icon.Left, R.Top, icon.Right + 2, icon.Top), band, opaque);
  if (icon.Bottom < R.Bottom)
    DrawBackground(control, DC, TRect(icon.Left, icon.Bottom, icon.Right + 2, R.Bottom), band, opaque);
  DrawBackground(control, DC, TRect(icon.Right + 2, R.Top, R.Right, R.Bottom),
                 selected                   ? ParentSelectedBrush(control)
                 : control->BackgroundBrush() ? control->BackgroundBrush()
                                              : ParentBkBrush(control),
                 opaque);
}

// ---- floating frame and caption

void TdxBarFlatPainter::BarDrawFloatingBarBorder(TdxBarControl* ABarControl, HDC DC, TRect& R,
                                                 const TRect& AClientRect, HBRUSH ABrush) const {
  const int depth = AClientRect.Left - R.Left;
  dxBarFrameRect(DC, R, dxBarFlatBrushes(BarManagerOf(ABarControl)).Border);
  R = dxBarShrunkRect(R, 1, 1);
  dxBarFrameRect(DC, R, dxBarSysBrush(COLOR_BTNHIGHLIGHT));
  R = dxBarShrunkRect(R, 1, 1);
  for (int ring = 2; ring < depth && !R.IsEmpty(); ++ring) {
    dxBarFrameRect(DC, R, ABrush);
    R = dxBarShrunkRect(R, 1, 1);
  }
}

void TdxBarFlatPainter::ShiftFloatingCaption(TdxBarControl* ABarControl, TRect& ACaption, int& ATextLeft) const {
  ATextLeft += 2;
  TdxBarPainter::ShiftFloatingCaption(ABarControl, ACaption, ATextLeft);
}

void TdxBarFlatPainter::BarDrawCloseButton(TdxBarControl* ABarControl, HDC DC, const TRect& R) const {
  if (R.IsEmpty()) return;
  const TdxBarMarkState state = ABarControl->CloseButtonState();
  BarDrawCaptionElement(ABarControl, DC, R, CaptionElementState(state));
  TRect cross = dxBarShrunkRect(R, 3, 4);
  if (cross.Width() <= 0) return;
  if (cross.Width() % 2 != 0) --cross.Right;
  cross.Bottom = cross.Top + cross.Width() - 1;
  const int L = cross.Left, T = cross.Top, Rt = cross.Right, B = cross.Bottom;
  HGDIOBJ old = SelectObject(
      DC, GdiCreatePen(PS_SOLID, 1, static_cast<COLORREF>(ColorToRGB(MarkGlyphColor(ABarControl, state)))));
  // Two lines a pixel apart make each diagonal two pixels wide.
  const POINT lines[4][2] = {{{L, T}, {Rt - 1, B}},
                             {{L + 1, T}, {Rt, B}},
                             {{L, B - 1}, {Rt - 1, T - 1}},
                             {{L + 1, B - 1}, {Rt, T - 1}}};
  for (const auto& line : lines) Polyline(DC, line, 2);
  dxBarSelectBackAndDelete(DC, old);
}

// ---- marks

void TdxBarFlatPainter::BarDrawMark(TdxBarControl* ABarControl, HDC DC, const TRect& R) const {
  if (ABarControl->ShowsCloseButton())
    dxFillSolidRect(DC, TRect(R.Right, R.Top, R.Right + 1, R.Bottom), FloatingCaptionBackColor(ABarControl));
  const TdxBarMarkState state = ABarControl->MarkState();
  if (state == msPressed)
    BarDrawBarControlOwner(ABarControl, DC, R, nullptr);
  else
    BarDrawCaptionElement(ABarControl, DC, R, CaptionElementState(state));
  TdxBarPainter::BarDrawMark(ABarControl, DC, R);
}

void TdxBarFlatPainter::PaintBarWindowFrame(TdxBarControl* ABarControl, HDC DC, const TRect& R,
                                            HBRUSH ABrush) const {
  const TdxBarMarkState state = ABarControl->MarkState();
  if (state == msPressed) {
    BarDrawBarControlOwner(ABarControl, DC, R, nullptr);
    return;
  }
  const bool selected = state == msSelected;
  if (selected)
    OutlineSelection(DC, R);
  else
    dxBarFrameRect(DC, R, ABrush);
  const TRect inner = dxBarShrunkRect(R, 1, 1);
  if (selected)
    dxBarFillRect(DC, inner, BarToolbarSelBrush(BarManagerOf(ABarControl)));
  else
    ABarControl->DrawBackgroundRect(DC, inner, false, clNone, ABrush);
}

// ---- quick customization

void TdxBarFlatPainter::DrawQuickCustItemFrame(TdxBarItemControl* AControl, HDC DC, TRect& R, TRect& ACheckRect,
                                               bool ASelected) const {
  TdxBarPainter::DrawQuickCustItemFrame(AControl, DC, R, ACheckRect, ASelected);
  if (!ASelected) {
    TCustomdxBarControl* bar = AControl ? AControl->Parent() : nullptr;
    DrawBackgroundFrameRect(AControl, DC, R, bar ? bar->GetToolbarBrush() : BarToolbarBrush(BarManagerOf(AControl)), false);
  }
  R = dxBarShrunkRect(R, 1, 1);
}

void TdxBarFlatPainter::DrawQuickCustItemFrameSelected(TdxBarItemControl* AControl, HDC DC, const TRect& AWholeR,
                                                       const TRect& R, bool ASelected) const {
  if (!ASelected) return;
  OutlineSelection(DC, AWholeR);
  dxBarFillRect(DC, TRect(R.Right, R.Top, R.Right + 2, R.Bottom), ParentSelectedBrush(AControl));
}

// ---- MDI buttons

void TdxBarFlatPainter::BarDrawMDIButton(TdxBarControl* ABarControl, TdxBarMDIButton AButton, int AState, HDC DC,
                                         const TRect& R) const {
  const TRect face = dxBarShrunkRect(R, 1, 1);
  const int w = face.Width(), h = face.Height();
  if (w <= 0 || h <= 0) return;
  // The platform's caption button, drawn one pixel too large on every side
  // so that its own border falls outside the image.
  HDC memory = GdiCreateCompatibleDC(DC);
  HBITMAP bitmap = GdiCreateCompatibleBitmap(DC, w, h);
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  UINT kind = AButton == mdibMinimize ? DFCS_CAPTIONMIN : AButton == mdibRestore ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONCLOSE;
  if (AState == 1) kind |= DFCS_INACTIVE;
  RECT r{-1, -1, w + 1, h + 1};
  DrawFrameControl(memory, &r, DFC_CAPTION, kind | DFCS_FLAT);
  if (AState >= 2 && AState <= 4) {
    TdxBarManager* manager = BarManagerOf(ABarControl);
    const HBRUSH fills[3] = {BarToolbarSelBrush(manager), BarToolbarDownedBrush(manager),
                             BarToolbarDownedSelBrush(manager)};
    dxBarFillRect(DC, face, fills[AState - 2]);
    OutlineSelection(DC, R);
  } else {
    HBRUSH background = ABarControl && ABarControl->BkBrush() ? ABarControl->BkBrush()
                                                                : BarToolbarBrush(BarManagerOf(ABarControl));
    dxBarFillRect(DC, R, background);
  }
  // Transparent copy: the face colour of the image (its bottom-left pixel) is left out.
  const COLORREF transparent = GetPixel(memory, 0, h - 1);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const COLORREF pixel = GetPixel(memory, x, y);
      if (pixel != transparent) SetPixel(DC, face.Left + x, face.Top + y, pixel);
    }
  SelectObject(memory, oldBitmap);
  GdiDeleteObject(bitmap);
  GdiDeleteDC(memory);
}

// ---- sub-menu frames

void TdxBarFlatPainter::SubMenuControlDrawBorder(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R) const {
  dxBarFrameRect(DC, R, dxBarFlatBrushes(AMenu.Control).Border);
  BarDrawOwnerLink(AMenu.Control, DC, AMenu.OwnerLinkRect);
  if (!AMenu.Detachable) return;
  const TRect inner = dxBarShrunkRect(R, 1, 1);
  const HBRUSH window = dxBarSysBrush(COLOR_WINDOW);
  const int bottom = inner.Top + 1 + AMenu.DetachCaptionHeight;
  dxBarFillRect(DC, TRect(inner.Left, inner.Top, inner.Right, inner.Top + 1), window);
  dxBarFillRect(DC, TRect(inner.Left, inner.Top + 1, inner.Left + 1, bottom), window);
  dxBarFillRect(DC, TRect(inner.Right - 1, inner.Top + 1, inner.Right, bottom), window);
  SubMenuControlDrawDetachCaption(AMenu, DC, AMenu.DetachCaptionRect);
}

void TdxBarFlatPainter::SubMenuControlDrawClientBorder(const TdxBarSubMenuFrame&, HDC DC, const TRect& R,
                                                       HBRUSH ABrush) const {
  dxBarFrameRect(DC, R, SubMenuControlToolbarItemsBrush());
  dxBarFillRect(DC, TRect(R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1), ABrush);
}

void TdxBarFlatPainter::SubMenuControlDrawDetachCaption(const TdxBarSubMenuFrame& AMenu, HDC DC,
                                                        const TRect& R) const {
  constexpr int kStripeWidth = 33;
  TRect r = R;
  const TdxBarFlatBrushes brushes = dxBarFlatBrushes(AMenu.Control);
  HBRUSH brush = brushes.Toolbar;
  if (AMenu.DetachCaptionSelected) {
    OutlineSelection(DC, r);
    r = dxBarShrunkRect(r, 1, 1);
    brush = BarToolbarSelBrush(BarManagerOf(AMenu.Control));
  }
  dxBarFillRect(DC, r, brush);
  // The stripes keep their width; a narrower caption lets them run beyond it.
  const int grow = (kStripeWidth - r.Width()) / 2;
  r.Left -= grow;
  r.Top += 1;
  r.Bottom -= 1;
  r.Right = r.Left + kStripeWidth;
  const HBRUSH stripe = dxBarSysBrush(AMenu.DetachCaptionSelected ? COLOR_BTNTEXT : COLOR_BTNSHADOW);
  for (int y = r.Top; y < r.Bottom; y += 2) dxBarFillRect(DC, TRect(r.Left, y, r.Right, y + 1), stripe);
}

void TdxBarFlatPainter::SubMenuControlDrawBeginGroup(const TdxBarSubMenuFrame& AMenu,
                                                     const TdxBarSubMenuItemFrame& AItem, TcxCanvas* ACanvas,
                                                     const TRect& R) const {
  const bool plain = NonRecentItemsPlain();
  HBRUSH textBrush = !plain && AItem.ChangeRecentGroup && AItem.NonRecent ? SubMenuControlToolbarItemsBrush()
                                                                          : AMenu.BkBrush;
  const bool opaque = !plain && AItem.NonRecent && !AItem.ChangeRecentGroup;
  const int x = R.Left + SubMenuTextAreaOffset(AMenu.TextSize);
  HDC DC = ACanvas->Handle();
  SubMenuFillBackground(AMenu, DC, TRect(R.Left, R.Top, x, R.Bottom), dxBarFlatBrushes(AMenu.Control).Toolbar, opaque);
  SubMenuFillBackground(AMenu, DC, TRect(x, R.Top, R.Right, R.Bottom), textBrush, opaque);
  const int y = (R.Top + R.Bottom) / 2;
  SubMenuControlDrawSeparator(ACanvas, TRect(x + SubMenuBeginGroupIndent(), y, R.Right + 1, y + 1));
}

void TdxBarFlatPainter::SubMenuControlDrawSeparator(TcxCanvas* ACanvas, const TRect& R) const {
  dxFillSolidRect(ACanvas->Handle(), TRect(R.Left, R.Top, R.Right, R.Top + 1), SubMenuControlGetSeparatorColor());
}

void TdxBarFlatPainter::PaintSunkenItemFrame(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R) const {
  OutlineSelection(DC, R);
  dxBarFillRect(DC, dxBarShrunkRect(R, 1, 1), BarToolbarSelBrush(BarManagerOf(AMenu.Control)));
}
