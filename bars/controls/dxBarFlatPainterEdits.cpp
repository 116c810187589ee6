// The flat look of edit fields, combo and spin buttons, label borders and date
// navigator buttons: one-pixel frames in the bar's colours, the selection
// frame when hot, hot tints on pressed buttons.
#include "bars/controls/dxBarFlatPainter.h"

#include "bars/controls/dxBarControls.h"
#include "bars/controls/dxBarSystemPanel.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/dxOffice11.h"

namespace {

bool InMenu(const TdxBarItemControlDrawParams* AParams) { return AParams->PaintType == ptMenu; }

const TdxBarItemPaintValues& ValuesOf(const TdxBarItemControlDrawParams* AParams) { return AParams->PaintValues; }

void FrameWithColor(HDC DC, const TRect& R, TColor AColor) {
  if (R.IsEmpty()) return;
  dxFillSolidRect(DC, TRect(R.Left, R.Top, R.Right, R.Top + 1), AColor);
  dxFillSolidRect(DC, TRect(R.Left, R.Bottom - 1, R.Right, R.Bottom), AColor);
  dxFillSolidRect(DC, TRect(R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1), AColor);
  dxFillSolidRect(DC, TRect(R.Right - 1, R.Top + 1, R.Right, R.Bottom - 1), AColor);
}

}  // namespace

int TdxBarFlatPainter::EditControlCaptionRelativeLeftIndent(TdxBarEditLikeControlDrawParams* AParams) const {
  const TdxBarSubMenuFrame menu = SubMenuFrameOf(ValuesOf(AParams));
  return SubMenuControlGetItemTextIndent(menu) - menu.IconAreaSize;
}

bool TdxBarFlatPainter::EditControlCaptionRightIndentIsOpaque(TdxBarEditLikeControlDrawParams* AParams) const {
  return InMenu(AParams) && (AParams->DrawSelected || ValuesOf(AParams).NonRecent);
}

HBRUSH TdxBarFlatPainter::EditControlGetRightCaptionIndentBrush(TdxBarEditLikeControlDrawParams* AParams) const {
  return InMenu(AParams) && AParams->DrawSelected ? BarToolbarSelBrush(ValuesOf(AParams).Manager)
                                                  : ValuesOf(AParams).BarBkBrush;
}

void TdxBarFlatPainter::EditControlDrawBorder(TdxBarEditLikeControlDrawParams* AParams, TRect& ARect) const {
  const TdxBarItemPaintValues& values = ValuesOf(AParams);
  HDC DC = AParams->Canvas->Handle();
  if (AParams->DrawSelected) {
    OutlineSelection(DC, ARect);
  } else if (InMenu(AParams) && !AParams->IsTransparent) {
    dxBarFrameRect(DC, ARect, values.BarToolbarBrush ? values.BarToolbarBrush : BarToolbarBrush(values.Manager));
  } else if (AParams->Enabled || AParams->IsTransparent) {
    DrawBackgroundFrameRect(values, DC, ARect, values.BarBkBrush, AParams->IsTransparent && values.NonRecent);
  } else {
    dxBarFrameRect(DC, ARect, dxBarSysBrush(COLOR_BTNSHADOW));
  }
  ARect = dxBarShrunkRect(ARect, 1, 1);
}

void TdxBarFlatPainter::EditControlDrawSelectionFrame(TdxBarEditLikeControlDrawParams* AParams,
                                                      const TRect& ARect) const {
  TdxBarPainter::EditControlDrawSelectionFrame(AParams, ARect);
  // The frame is kept out of the clip region, so that the field drawn next
  // cannot cover it.
  TcxCanvas* canvas = AParams->Canvas;
  const TRect inner = dxBarShrunkRect(ARect, 1, 1);
  canvas->ExcludeClipRect(TRect(ARect.Left, ARect.Top, ARect.Right, inner.Top));
  canvas->ExcludeClipRect(TRect(ARect.Left, inner.Bottom, ARect.Right, ARect.Bottom));
  canvas->ExcludeClipRect(TRect(ARect.Left, inner.Top, inner.Left, inner.Bottom));
  canvas->ExcludeClipRect(TRect(inner.Right, inner.Top, ARect.Right, inner.Bottom));
}

void TdxBarFlatPainter::CustomComboDrawItem(TcxCanvas* ACanvas, const String& AText, TStrings* AItems, int AIndex,
                                            const TRect& ARect, bool AInteriorIsDrawing) const {
  PaintComboItem(ACanvas, AText, AItems, AIndex, ARect, AInteriorIsDrawing ? 2 : 0);
}

TColor TdxBarFlatPainter::ComboControlArrowColor(TdxBarEditLikeControlDrawParams* AParams) const {
  if (AParams->DrawSelected && (AParams->DroppedDown || dxIsButtonFaceWhite())) return clHighlightText;
  if (!AParams->DrawSelected && !AParams->Enabled) return clBtnShadow;
  return TdxBarPainter::ComboControlArrowColor(AParams);
}

HBRUSH TdxBarFlatPainter::ComboControlButtonBrush(TdxBarEditLikeControlDrawParams* AParams) const {
  if (!AParams->DrawSelected) {
    if (InMenu(AParams) && ValuesOf(AParams).BarToolbarBrush) return ValuesOf(AParams).BarToolbarBrush;
    return TdxBarPainter::ComboControlButtonBrush(AParams);
  }
  return HotArrowBrush(AParams);
}

void TdxBarFlatPainter::ComboControlDrawSimpleButton(TdxBarEditLikeControlDrawParams* AParams, TRect& ARect,
                                                     HBRUSH ABrush) const {
  HDC DC = AParams->Canvas->Handle();
  if (AParams->DrawSelected) {
    ARect = dxBarShrunkRect(ARect, -1, -1);
    OutlineSelection(DC, ARect);
  } else {
    const TRect column(ARect.Left - 1, ARect.Top, ARect.Left, ARect.Bottom);
    if (AParams->Enabled) {
      const TColor color = EditGetBkColor(AParams);
      FrameWithColor(DC, ARect, color);
      dxFillSolidRect(DC, column, color);
    } else {
      HBRUSH brush = ValuesOf(AParams).BarBkBrush;
      dxBarFrameRect(DC, ARect, brush);
      dxBarFillRect(DC, column, brush);
    }
  }
  ARect = dxBarShrunkRect(ARect, 1, 1);
  dxBarFillRect(DC, ARect, ABrush);
}

void TdxBarFlatPainter::FrameAndFillRect(const TdxBarItemPaintValues& AValues, HDC DC, TRect& R, bool,
                                         bool ASelected, bool APressed) const {
  HBRUSH brush;
  if (ASelected) {
    OutlineSelection(DC, R);
    brush = APressed ? BarToolbarDownedSelBrush(AValues.Manager) : BarToolbarSelBrush(AValues.Manager);
  } else {
    brush = AValues.BarBkBrush ? AValues.BarBkBrush : BarToolbarBrush(AValues.Manager);
    dxBarFrameRect(DC, R, brush);
  }
  R = dxBarShrunkRect(R, 1, 1);
  dxBarFillRect(DC, R, brush);
}

void TdxBarFlatPainter::CalculateSpinEditParts(TdxBarSpinEditDrawParams* AParams, std::vector<TRect>& AParts,
                                               const TRect& AFieldRect) const {
  TdxBarPainter::CalculateSpinEditParts(AParams, AParts, AFieldRect);
  // The two buttons share their dividing line.
  ++AParts[3].Bottom;
}

void TdxBarFlatPainter::SpinEditControlDrawButton(TdxBarSpinEditDrawParams* AParams, const TRect& ARect,
                                                  int AButtonIndex) const {
  TRect R = ARect;
  FrameAndFillRect(ValuesOf(AParams), AParams->Canvas->Handle(), R, AParams->Enabled, AParams->DrawSelected,
                   AButtonIndex == AParams->ActiveButtonIndex);
  PaintSpinArrow(AParams, GetSpinEditArrowPos(AParams, ARect, AButtonIndex), AButtonIndex);
}

void TdxBarFlatPainter::PaintSpinArrow(TdxBarSpinEditDrawParams* AParams, TPoint APos, int AButtonIndex) const {
  TColor color = clBtnText;
  if (!AParams->Enabled)
    color = clBtnShadow;
  else if (AParams->DrawSelected && dxIsButtonFaceWhite())
    color = clBtnFace;
  FillSpinArrow(AParams->Canvas->Handle(), APos, AParams->ArrowSize.cx, AButtonIndex == 3, color);
}

void TdxBarFlatPainter::DrawStaticBorder(TdxBarStaticLikeControlDrawParams* AParams, TRect& ARect) const {
  const TRect& o = AParams->BorderOffsets;
  const TRect inner(ARect.Left + o.Left, ARect.Top + o.Top, ARect.Right - o.Right, ARect.Bottom - o.Bottom);
  HDC DC = AParams->Canvas->Handle();
  HBRUSH brush = StaticBorderBrush(AParams->BarItemControl(), AParams->BorderStyle);
  dxBarFillRect(DC, TRect(ARect.Left, ARect.Top, ARect.Right, inner.Top), brush);
  dxBarFillRect(DC, TRect(ARect.Left, inner.Bottom, ARect.Right, ARect.Bottom), brush);
  dxBarFillRect(DC, TRect(ARect.Left, inner.Top, inner.Left, inner.Bottom), brush);
  dxBarFillRect(DC, TRect(inner.Right, inner.Top, ARect.Right, inner.Bottom), brush);
  ARect = inner;
}

void TdxBarFlatPainter::DateNavigatorDrawButton(HDC DC, const TRect& ARect, const String& ACaption, bool) const {
  TRect R = ARect;
  dxBarFrameRect(DC, R, dxBarSysBrush(COLOR_BTNSHADOW));
  R = dxBarShrunkRect(R, 1, 1);
  dxBarFrameRect(DC, R, dxBarSysBrush(COLOR_BTNFACE));
  R = dxBarShrunkRect(R, 1, 1);
  PaintButtonFaceText(DC, R, true, ACaption, 0);
}

bool TdxBarFlatPainter::InPlaceSubItemControlIsArrowSelected(TdxBarInPlaceSubItemControlDrawParams* AParams) const {
  return !AParams->DrawSelected || dxIsButtonFaceWhite();
}

void TdxBarFlatPainter::SysPanelDraw(HWND AWindow, bool ASizable, bool ACloseButtonHot, bool ACloseButtonPressed,
                                     TRect& ACloseButtonRect, TRect& AGripRect, TdxCorner AGripCorner) const {
  dxBarDrawSysPanel(AWindow, ASizable, true, ACloseButtonHot, ACloseButtonPressed, ACloseButtonRect, AGripRect,
                    AGripCorner);
}
