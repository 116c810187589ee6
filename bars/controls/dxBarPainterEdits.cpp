// The base painter's item controls other than buttons: edit fields with their
// caption and icon, combo and spin buttons, the custom-colour button of colour
// combos, progress bars, labels and separators, date navigator buttons.
#include "bars/controls/dxBarPainter.h"

#include "bars/controls/dxBarControls.h"
#include "bars/controls/dxBarPaintRoutines.h"
#include "bars/controls/dxBarSystemPanel.h"
#include "bars/model/dxBarDrawing.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/dxOffice11.h"
#include "platform/core/StringLists.h"
#include "platform/gui/GdiAccounting.h"

#include <algorithm>

namespace {

// The colour a brush paints with; a system colour index + 1 stands for that colour.
TColor BrushColor(HBRUSH ABrush) {
  const INT_PTR value = reinterpret_cast<INT_PTR>(ABrush);
  if (value > 0 && value <= COLOR_MENUBAR + 1) return static_cast<TColor>(GetSysColor(static_cast<int>(value - 1)));
  LOGBRUSH brush{};
  if (ABrush && GetObjectW(ABrush, sizeof brush, &brush) == sizeof brush) return static_cast<TColor>(brush.lbColor);
  return clBtnFace;
}

bool InMenu(const TdxBarItemControlDrawParams* AParams) { return AParams->PaintType == ptMenu; }

void DrawEdgeOf(HDC DC, const TRect& R, UINT AEdge) {
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  DrawEdge(DC, &r, AEdge, BF_RECT);
}

const TdxBarItemPaintValues& ValuesOf(const TdxBarItemControlDrawParams* AParams) { return AParams->PaintValues; }

TRect PartOf(TdxBarItemControlDrawParams* AParams, size_t AIndex) {
  const std::vector<TRect>* parts = ValuesOf(AParams).Parts;
  return parts && AIndex < parts->size() ? (*parts)[AIndex] : TRect();
}

HBRUSH ItemBrushOr(const TdxBarItemPaintValues& AValues, HBRUSH ADefault) {
  return AValues.ItemBrush ? AValues.ItemBrush : ADefault;
}

}  // namespace

HBRUSH TdxBarPainter::ParentBkBrush(TdxBarItemControl* AControl) const {
  TCustomdxBarControl* bar = AControl ? AControl->Parent() : nullptr;
  if (bar && bar->BkBrush()) return bar->BkBrush();
  return bar ? bar->GetToolbarBrush() : BarToolbarBrush();
}

// ---------------------------------------------------------------------------
// Edit fields: metrics and parts
// ---------------------------------------------------------------------------

bool TdxBarPainter::EditControlCaptionBackgroundIsOpaque(TdxBarEditLikeControlDrawParams* AParams) const {
  return InMenu(AParams) && (AParams->DrawSelected || ValuesOf(AParams).NonRecent);
}

bool TdxBarPainter::EditControlCaptionRightIndentIsOpaque(TdxBarEditLikeControlDrawParams* AParams) const {
  return InMenu(AParams) && ValuesOf(AParams).NonRecent;
}

HBRUSH TdxBarPainter::EditControlGetRightCaptionIndentBrush(TdxBarEditLikeControlDrawParams* AParams) const {
  return ValuesOf(AParams).BarBkBrush;
}

int TdxBarPainter::EditControlCaptionLeftIndent(TdxBarEditLikeControlDrawParams* AParams) const {
  if (!AParams->ViewStructure.Contains(cpIcon)) return EditControlCaptionAbsoluteLeftIndent();
  return InMenu(AParams) ? EditControlCaptionRelativeLeftIndent(AParams) : 0;
}

TRect TdxBarPainter::EditControlIndents(TdxBarEditLikeControlDrawParams* AParams, int AArea) const {
  if (AArea == 1) return TRect(EditControlCaptionLeftIndent(AParams), 0, EditControlCaptionRightIndent(), 0);
  if (InMenu(AParams)) return EditControlSubMenuGlyphIndents();
  const int imageWidth = ValuesOf(AParams).ImageSize.cx;
  return TRect((AParams->DefaultButtonSize.cx - imageWidth) / 2, 0, EditBaseIndents().Left, 0);
}

void TdxBarPainter::GetEditTextParams(TRect& AOffsets, int& AHeightCorrection) const {
  const TRect caption = GetCaptionOffsets();
  const TRect vertical = GetEditTextVerticalOffsets();
  AOffsets = TRect(caption.Left, vertical.Top, caption.Right, vertical.Bottom);
  AHeightCorrection = caption.Top + caption.Bottom - (AOffsets.Top + AOffsets.Bottom);
}

void TdxBarPainter::ApplyEditTextMargins(TRect& R) const {
  TRect offsets;
  int correction;
  GetEditTextParams(offsets, correction);
  R = TRect(R.Left + offsets.Left, R.Top + offsets.Top, R.Right - offsets.Right, R.Bottom - offsets.Bottom);
}

int TdxBarPainter::EditTextSize(TCustomdxBarControl* ABarControl, int ATextHeight) const {
  const TRect border = EditControlBorderOffsets(ABarControl ? ABarControl->GetPaintType() : ptHorz);
  TRect offsets;
  int correction;
  GetEditTextParams(offsets, correction);
  return ATextHeight + border.Top + border.Bottom + offsets.Top + offsets.Bottom + correction;
}

TRect TdxBarPainter::EditControlGetContentRect(TdxBarPaintType APaintType, const TRect& AFieldRect) const {
  const TRect border = EditControlBorderOffsets(APaintType);
  return TRect(AFieldRect.Left + border.Left, AFieldRect.Top + border.Top, AFieldRect.Right - border.Right,
               AFieldRect.Bottom - border.Bottom);
}

void TdxBarPainter::CalculateEditParts(TdxBarEditLikeControlDrawParams* AParams, std::vector<TRect>& AParts,
                                       const TRect& ABounds, const TRect& AFieldRect, int AIconAreaWidth,
                                       int ACaptionAreaWidth) const {
  if (AParts.size() < 3) AParts.resize(3);
  TRect icon = ABounds;
  if (AParams->IsTransparent && !InMenu(AParams)) icon.Left += EditControlBorderOffsets(AParams->PaintType).Left;
  icon.Right = icon.Left + AIconAreaWidth;
  AParts[1] = icon;
  AParts[2] = TRect(icon.Right, ABounds.Top, icon.Right + ACaptionAreaWidth, ABounds.Bottom);
  AParts[0] = EditControlGetContentRect(AParams->PaintType, AFieldRect);
}

// ---------------------------------------------------------------------------
// Edit fields: colours
// ---------------------------------------------------------------------------

TColor TdxBarPainter::EditGetDisabledBkColor(const TdxBarItemPaintValues& AValues) const {
  return BrushColor(AValues.BarBkBrush ? AValues.BarBkBrush : BarToolbarBrush());
}

TColor TdxBarPainter::EditGetDisabledBkColor(TdxBarItemControl* AControl) const {
  TdxBarItemPaintValues values;
  FillItemPaintValues(AControl, values);
  return EditGetDisabledBkColor(values);
}

TColor TdxBarPainter::EditGetBkColor(TdxBarEditLikeControlDrawParams* AParams) const {
  if (!AParams->Enabled) return EditGetDisabledBkColor(ValuesOf(AParams));
  return AParams->StyleBkColor != clDefault ? AParams->StyleBkColor : EditGetEnabledBkColor();
}

TColor TdxBarPainter::EditGetTextColor(TdxBarEditLikeControlDrawParams* AParams) const {
  if (!AParams->Enabled) return EditGetDisabledTextColor();
  return AParams->StyleTextColor != clDefault ? AParams->StyleTextColor : EditGetEnabledTextColor();
}

void TdxBarPainter::EditGetColors(TdxBarEditLikeControlDrawParams* AParams, TColor& ATextColor,
                                  TColor& ABkColor) const {
  ATextColor = EditGetTextColor(AParams);
  ABkColor = EditGetBkColor(AParams);
}

// ---------------------------------------------------------------------------
// Edit fields: drawing
// ---------------------------------------------------------------------------

void TdxBarPainter::DrawEditLikeControl(TdxBarEditLikeControlDrawParams* AParams, const TRect& ARect) const {
  if (!AParams->Canvas) return;
  EditControlDrawBackground(AParams);
  if (InMenu(AParams) && AParams->DrawSelected) EditControlDrawSelectionFrame(AParams, ARect);
  if (AParams->Steps) AParams->Steps->DrawBorderAndClip();
  if (AParams->ViewStructure.Contains(cpIcon)) EditControlDrawGlyph(AParams, PartOf(AParams, 1));
  if (AParams->ViewStructure.Contains(cpText)) EditControlDrawCaption(AParams, PartOf(AParams, 2));
  if (AParams->Steps) AParams->Steps->DrawEditField();
}

void TdxBarPainter::EditControlDrawBackground(TdxBarEditLikeControlDrawParams* AParams) const {
  const TdxBarItemPaintValues& values = ValuesOf(AParams);
  HDC DC = AParams->Canvas->Handle();
  const bool menu = InMenu(AParams);
  HBRUSH captionBrush = menu && AParams->DrawSelected ? BarToolbarSelBrush() : values.BarBkBrush;
  const bool opaque = EditControlCaptionBackgroundIsOpaque(AParams);
  // A menu's band runs under an iconless edit: its caption part continues the item background.
  const bool bandBehind = menu && SubMenuControlHasBand() && !AParams->ViewStructure.Contains(cpIcon);
  if (AParams->ViewStructure.Contains(cpText) || bandBehind) {
    const TRect caption = PartOf(AParams, 2);
    const int rightIndent = EditControlIndents(AParams, 1).Right;
    TRect strip = caption;
    strip.Left = std::max(caption.Left, caption.Right - rightIndent);
    DrawBackground(values, DC, TRect(caption.Left, caption.Top, strip.Left, caption.Bottom), captionBrush, opaque);
    DrawBackground(values, DC, strip, EditControlGetRightCaptionIndentBrush(AParams),
                   EditControlCaptionRightIndentIsOpaque(AParams));
  }
  if (AParams->ViewStructure.Contains(cpIcon) && !menu)
    DrawBackground(values, DC, PartOf(AParams, 1), captionBrush, opaque);
}

void TdxBarPainter::EditControlDrawSelectionFrame(TdxBarEditLikeControlDrawParams* AParams,
                                                  const TRect& ARect) const {
  OutlineSelection(AParams->Canvas->Handle(), ARect);
}

void TdxBarPainter::EditControlDrawBorder(TdxBarEditLikeControlDrawParams* AParams, TRect& ARect) const {
  const TdxBarItemPaintValues& values = ValuesOf(AParams);
  HDC DC = AParams->Canvas->Handle();
  const bool nonRecent = values.NonRecent;
  HBRUSH parentBrush = values.BarBkBrush;
  if (AParams->DrawSelected)
    DrawEdgeOf(DC, ARect, BDR_SUNKENOUTER);
  else
    DrawBackgroundFrameRect(values, DC, ARect, parentBrush, nonRecent);
  const TRect inner = dxBarShrunkRect(ARect, 1, 1);
  HBRUSH innerBrush = AParams->Enabled || AParams->IsTransparent ? parentBrush : dxBarSysBrush(COLOR_BTNHIGHLIGHT);
  const bool innerOpaque = nonRecent || ((AParams->DrawSelected || !AParams->Enabled) && !AParams->IsTransparent);
  DrawBackgroundFrameRect(values, DC, inner, innerBrush, innerOpaque);
  ARect = dxBarShrunkRect(ARect, 2, 2);
}

void TdxBarPainter::EditControlDrawGlyph(TdxBarEditLikeControlDrawParams* AParams, const TRect& ARect) const {
  TRect R = ARect;
  if (!InMenu(AParams)) {
    const TRect indents = EditControlIndents(AParams, 0);
    R.Left += indents.Left;
    R.Right -= indents.Right;
  }
  TGlyphArgs glyph;
  glyph.Rect = R;
  glyph.Enabled = AParams->Enabled;
  glyph.PaintType = AParams->PaintType;
  glyph.Structure = AParams->ViewStructure;
  glyph.Size = AParams->ViewSize();
  glyph.Selected = EditControlGlyphIsDrawSelected(AParams);
  glyph.Centered = true;
  DrawGlyph(AParams->BarItemControl(), AParams->Canvas->Handle(), glyph);
  AParams->Canvas->ExcludeClipRect(ARect);
}

void TdxBarPainter::EditControlDrawCaption(TdxBarEditLikeControlDrawParams* AParams, const TRect& ARect) const {
  TRect text = ARect;
  text.Right -= EditControlIndents(AParams, 1).Right;
  DrawItemText(AParams->BarItemControl(), AParams->Canvas->Handle(), AParams->Caption, text, DT_RIGHT,
               AParams->Enabled, InMenu(AParams) && AParams->DrawSelected, false, false, IsFlatItemTextForMenu(),
               DT_SINGLELINE);
  AParams->Canvas->ExcludeClipRect(ARect);
}

void TdxBarPainter::EditControlDrawTextField(TdxBarEditLikeControlDrawParams* AParams, TcxCanvas* ACanvas,
                                             const TRect& ARect, const String& AText) const {
  TColor textColor, bkColor;
  EditGetColors(AParams, textColor, bkColor);
  ACanvas->Font()->SetColor(textColor);
  ACanvas->Brush()->SetColor(bkColor);
  ACanvas->SaveClipRegion();
  ACanvas->IntersectClipRect(ARect);
  try {
    EditDrawInterior(ACanvas, ARect, AText);
  } catch (...) {
    ACanvas->RestoreClipRegion();
    throw;
  }
  ACanvas->RestoreClipRegion();
}

void TdxBarPainter::EditDrawInterior(TcxCanvas* ACanvas, const TRect& ARect, const String& AText) const {
  ACanvas->FillRect(ARect);
  TRect R = ARect;
  ApplyEditTextMargins(R);
  HDC DC = ACanvas->Handle();
  const int mode = SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(ACanvas->Font()->Color())));
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  DrawTextW(DC, AText.c_str(), static_cast<int>(AText.size()), &r, DT_NOPREFIX);
  SetBkMode(DC, mode);
}

void TdxBarPainter::EditControlUpdateWndText(HWND AWindow, bool ATextDiffers) const {
  if (!AWindow) return;
  if (ATextDiffers)
    SendMessageW(AWindow, WM_COMMAND, MAKEWPARAM(0, EN_CHANGE), reinterpret_cast<LPARAM>(AWindow));
  SendMessageW(AWindow, EM_SETSEL, 0, -1);
}

void TdxBarPainter::CustomComboDrawItem(TcxCanvas* ACanvas, const String& AText, TStrings* AItems, int AIndex,
                                        const TRect& ARect, bool) const {
  PaintComboItem(ACanvas, AText, AItems, AIndex, ARect, 0);
}

void TdxBarPainter::PaintComboItem(TcxCanvas* ACanvas, const String& AText, TStrings* AItems, int AIndex,
                                   const TRect& ARect, int ATextTop) {
  // An index outside the list draws an empty line rather than reading past it.
  String text;
  if (AIndex == -1)
    text = AText;
  else if (AItems && AIndex >= 0 && AIndex < AItems->Count())
    text = AItems->Get(AIndex);
  ACanvas->FillRect(ARect);
  HDC DC = ACanvas->Handle();
  const int mode = SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(ACanvas->Font()->Color())));
  ExtTextOutW(DC, ARect.Left + 2, ARect.Top + ATextTop, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()),
              nullptr);
  SetBkMode(DC, mode);
}

// ---------------------------------------------------------------------------
// Combo buttons
// ---------------------------------------------------------------------------

HBRUSH TdxBarPainter::ComboControlButtonBrush(TdxBarEditLikeControlDrawParams* AParams) const {
  return ItemBrushOr(ValuesOf(AParams), BarToolbarBrush());
}

void TdxBarPainter::ComboControlDrawArrowButton(TdxBarEditLikeControlDrawParams* AParams, const TRect& ARect,
                                                bool) const {
  TRect R = ARect;
  ComboControlDrawSimpleButton(AParams, R, ComboControlButtonBrush(AParams));
  const int quarter = ARect.Width() / 4;
  PaintComboArrow(AParams, ARect, ComboControlArrowColor(AParams), quarter % 2 == 0 ? quarter + 1 : quarter);
}

void TdxBarPainter::PaintComboArrow(TdxBarEditLikeControlDrawParams* AParams, const TRect& ARect, TColor AColor,
                                    int ASize) const {
  if (!IsFlatItemText() && !AParams->DrawSelected) AColor = clDefault;
  dxBarDrawArrowGlyph(AParams->Canvas->Handle(), ARect, true, AColor, IsFlatItemText(), AParams->Enabled,
                      AParams->DrawSelected, ASize);
}

// ---------------------------------------------------------------------------
// Colour combos
// ---------------------------------------------------------------------------

int TdxBarPainter::GetCustomColorButtonWidth(TdxBarPaintType, const TRect& ARect) const {
  const TRect indents = GetCustomColorButtonIndents();
  return (ARect.Height() - 4) / 7 * 7 - indents.Left - indents.Right + 4;
}

void TdxBarPainter::SplitColorComboParts(TdxBarColorComboControlDrawParams* AParams, const TRect& AFieldRect,
                                         TRect& AButtonRect) const {
  const TRect indents = GetCustomColorButtonIndents();
  const int width = GetCustomColorButtonWidth(AParams->PaintType, AFieldRect) + indents.Left + indents.Right;
  AButtonRect = AFieldRect;
  AButtonRect.Left = AFieldRect.Right - width;
  if (!AParams->IsShowCustomColorButton || 2 * width >= AFieldRect.Width())
    AButtonRect.Left = AButtonRect.Right;
  else
    AButtonRect = TRect(AButtonRect.Left + indents.Left, AButtonRect.Top + indents.Top,
                        AButtonRect.Right - indents.Right, AButtonRect.Bottom - indents.Bottom);
}

void TdxBarPainter::CalculateColorComboParts(TdxBarColorComboControlDrawParams* AParams, std::vector<TRect>& AParts,
                                             const TRect& AFieldRect, int AArrowWidth) const {
  if (AParts.size() < 5) AParts.resize(5, AFieldRect);
  SplitColorComboParts(AParams, AFieldRect, AParts[4]);
  const bool visible = AParts[4].Width() > 0;
  const TRect offsets = ComboControlButtonOffsets(AParams->PaintType);
  TRect button(AFieldRect.Left, AFieldRect.Top + offsets.Top, AParts[4].Left, AFieldRect.Bottom - offsets.Bottom);
  if (visible) button.Right -= GetCustomColorButtonIndents().Left;
  if (!(ColorComboHasCompleteFrame() && visible)) button.Right -= offsets.Right;
  button.Left = button.Right - AArrowWidth;
  AParts[3] = button;
  AParts[0].Right = button.Left - ComboControlArrowOffset();
}

bool TdxBarPainter::IsCustomColorButtonVisible(TdxBarItemControlDrawParams* AParams) const {
  return PartOf(AParams, 4).Width() > 0;
}

void TdxBarPainter::ColorComboCorrectFrameRect(TdxBarColorComboControlDrawParams* AParams, TRect& ARect) const {
  if (ColorComboHasCompleteFrame() && IsCustomColorButtonVisible(AParams))
    ARect.Right = PartOf(AParams, 4).Right + GetCustomColorButtonIndents().Right;
}

void TdxBarPainter::ColorComboDrawCustomButton(TdxBarColorComboControlDrawParams* AParams, const TRect& ARect) const {
  TRect R = ARect;
  FrameAndFillRect(ValuesOf(AParams), AParams->Canvas->Handle(), R, AParams->Enabled, AParams->DrawSelected,
                   AParams->IsPressed);
  PaintCustomColorDots(AParams, R);
}

void TdxBarPainter::ColorComboDrawCustomButtonAdjacentZone(TdxBarColorComboControlDrawParams* AParams,
                                                           const TRect& ARect) const {
  const TdxBarItemPaintValues& values = ValuesOf(AParams);
  HDC DC = AParams->Canvas->Handle();
  DrawBackgroundFrameRect(values, DC, ARect, values.BarBkBrush, false);
  DrawBackgroundFrameRect(values, DC, dxBarShrunkRect(ARect, 0, 1), values.BarBkBrush, false);
}

void TdxBarPainter::PaintCustomColorDots(TdxBarColorComboControlDrawParams* AParams, const TRect& ARect) const {
  const int cell = ARect.Width() / 7;
  const int dx = (ARect.Width() - 5 * cell) / 2, dy = AdjustCellGap(cell);
  TRect R(ARect.Left + dx, ARect.Bottom - cell - dy, ARect.Left + dx + cell, ARect.Bottom - dy);
  if (AParams->IsPressed) OffsetEllipsisBounds(true, R);
  for (int i = 0; i < 3; ++i) {
    FillColorCell(AParams, R);
    R = TRect(R.Left + 2 * cell, R.Top, R.Right + 2 * cell, R.Bottom);
  }
}

void TdxBarPainter::FillColorCell(TdxBarItemControlDrawParams* AParams, const TRect& ARect) const {
  HDC DC = AParams->Canvas->Handle();
  if (!AParams->Enabled)
    DrawDisabledShadowRect(ValuesOf(AParams), DC, ARect);
  else
    dxBarFillRect(DC, ARect,
                  dxBarSysBrush(dxIsButtonFaceWhite() && AParams->DrawSelected ? COLOR_BTNFACE : COLOR_BTNTEXT));
}

void TdxBarPainter::DrawDisabledShadowRect(const TdxBarItemPaintValues&, HDC DC, const TRect& ARect) const {
  dxBarFillRect(DC, ARect, dxBarSysBrush(COLOR_BTNSHADOW));
}

void TdxBarPainter::DrawDisabledShadowRect(TdxBarItemControl* AControl, HDC DC, const TRect& ARect) const {
  TdxBarItemPaintValues values;
  FillItemPaintValues(AControl, values);
  DrawDisabledShadowRect(values, DC, ARect);
}

void TdxBarPainter::FrameAndFillRect(TdxBarItemControl* AControl, HDC DC, TRect& R, bool AEnabled, bool ASelected,
                                     bool APressed) const {
  TdxBarItemPaintValues values;
  FillItemPaintValues(AControl, values);
  FrameAndFillRect(values, DC, R, AEnabled, ASelected, APressed);
}

// ---------------------------------------------------------------------------
// Spin edits
// ---------------------------------------------------------------------------

TSize TdxBarPainter::GetSpinEditArrowSize(int AHeight) {
  const int half = AHeight / 2;
  const int height = (half - 2) / 2;
  return TSize(2 * height - 1, height);
}

int TdxBarPainter::GetSpinEditButtonWidth(TdxBarPaintType, const TRect& ARect) const {
  const TSize arrow = GetSpinEditArrowSize(ARect.Height());
  const TRect indents = GetSpinEditButtonIndents();
  return arrow.cx + 2 * (arrow.cy + 2) - indents.Left - indents.Right;
}

TRect TdxBarPainter::GetSpinEditButtonBounds(TdxBarItemControlDrawParams* AParams, const TRect& AFieldRect,
                                             int AButton) const {
  const TRect indents = GetSpinEditButtonIndents();
  const int width = GetSpinEditButtonWidth(AParams->PaintType, AFieldRect) + indents.Left + indents.Right;
  TRect R = AFieldRect;
  R.Left = R.Right - width;
  if (2 * width >= AFieldRect.Width())
    R.Left = R.Right;
  else
    R = TRect(R.Left + indents.Left, R.Top + indents.Top, R.Right - indents.Right, R.Bottom - indents.Bottom);
  const int middle = (R.Top + R.Bottom) / 2;
  if (AButton == 1)
    R.Bottom = middle;
  else
    R.Top = middle;
  return R;
}

void TdxBarPainter::CalculateSpinEditParts(TdxBarSpinEditDrawParams* AParams, std::vector<TRect>& AParts,
                                           const TRect& AFieldRect) const {
  if (AParts.size() < 5) AParts.resize(5, AFieldRect);
  AParts[3] = GetSpinEditButtonBounds(AParams, AFieldRect, 1);
  AParts[4] = GetSpinEditButtonBounds(AParams, AFieldRect, 2);
  AParts[0].Right =
      AParts[3].Left - EditControlBorderOffsets(AParams->PaintType).Right - GetSpinEditButtonIndents().Left;
}

void TdxBarPainter::SpinEditCorrectFrameRect(TdxBarSpinEditDrawParams* AParams, TRect& ARect) const {
  ARect.Right = PartOf(AParams, 3).Left - GetSpinEditButtonIndents().Left;
}

int TdxBarPainter::GetSpinEditButtonState(TdxBarSpinEditDrawParams* AParams, int AButtonIndex) const {
  if (!AParams->Enabled) return 4;
  if (AButtonIndex == AParams->ActiveButtonIndex) return 3;
  return AButtonIndex == AParams->HotPartIndex ? 2 : 1;
}

TPoint TdxBarPainter::GetSpinEditArrowPos(TdxBarSpinEditDrawParams* AParams, const TRect& ARect,
                                          int AButtonIndex) const {
  const int h = AParams->ArrowSize.cy;
  TPoint p(ARect.Left + h, (ARect.Top + ARect.Bottom - h) / 2);
  if (AButtonIndex == 3) p.Y += h - 1;
  return p;
}

void TdxBarPainter::SpinEditControlDrawButton(TdxBarSpinEditDrawParams* AParams, const TRect& ARect,
                                              int AButtonIndex) const {
  const bool pressed = AButtonIndex == AParams->ActiveButtonIndex;
  TRect R = ARect;
  FrameAndFillRect(ValuesOf(AParams), AParams->Canvas->Handle(), R, AParams->Enabled, AParams->DrawSelected,
                   pressed);
  TPoint p = GetSpinEditArrowPos(AParams, ARect, AButtonIndex);
  if (pressed) p = TPoint(p.X + 1, p.Y + 1);
  PaintSpinArrow(AParams, p, AButtonIndex);
}

void TdxBarPainter::FillSpinArrow(HDC DC, TPoint APos, int AWidth, bool AUp, TColor AColor) {
  const int half = AWidth / 2;
  const POINT points[3] = {
      {APos.X, APos.Y}, {APos.X + AWidth - 1, APos.Y}, {APos.X + half, AUp ? APos.Y - half : APos.Y + half}};
  dxBarFillPolygon(DC, points, 2, AColor, AColor);
}

void TdxBarPainter::PaintSpinArrow(TdxBarSpinEditDrawParams* AParams, TPoint APos, int AButtonIndex) const {
  HDC DC = AParams->Canvas->Handle();
  const bool up = AButtonIndex == 3;
  if (AParams->Enabled) {
    FillSpinArrow(DC, APos, AParams->ArrowSize.cx, up, clBtnText);
    return;
  }
  FillSpinArrow(DC, TPoint(APos.X + 1, APos.Y + 1), AParams->ArrowSize.cx, up, clBtnHighlight);
  FillSpinArrow(DC, APos, AParams->ArrowSize.cx, up, clBtnShadow);
}

void TdxBarPainter::SpinEditControlDrawButtonsAdjacentZone(TdxBarSpinEditDrawParams* AParams,
                                                           const TRect& ARect) const {
  const TdxBarItemPaintValues& values = ValuesOf(AParams);
  DrawBackground(values, AParams->Canvas->Handle(), ARect, values.BarBkBrush, false);
}

// ---------------------------------------------------------------------------
// Progress bars
// ---------------------------------------------------------------------------

void TdxBarPainter::ProgressControlDrawBar(TdxBarProgressControlDrawParams* AParams, const TRect& ABarRect,
                                           TColor AColor) const {
  ProgressControlDrawBackground(AParams, ABarRect);
  // A position outside the range would run the band past the bar.
  if (AParams->Max <= AParams->Min) return;
  const int position = std::clamp(AParams->Position, AParams->Min, AParams->Max);
  const int done = position - AParams->Min, range = AParams->Max - AParams->Min;
  TRect band = ABarRect;
  if (AParams->PaintType == ptVert)
    band.Bottom = band.Top + MulDiv(ABarRect.Height(), done, range);
  else
    band.Right = band.Left + MulDiv(ABarRect.Width(), done, range);
  if (band.IsEmpty()) return;
  HBRUSH brush = GdiCreateBrush(LOGBRUSH{BS_SOLID, static_cast<COLORREF>(ColorToRGB(AColor)), 0});
  try {
    if (AParams->Smooth)
      ProgressControlFillContent(AParams, band, brush);
    else
      ProgressControlDrawChunks(AParams, band, brush);
  } catch (...) {
    GdiDeleteObject(brush);
    throw;
  }
  GdiDeleteObject(brush);
}

void TdxBarPainter::ProgressControlDrawBackground(TdxBarProgressControlDrawParams* AParams,
                                                  const TRect& ABarRect) const {
  const TdxBarItemPaintValues& values = ValuesOf(AParams);
  DrawBackground(values, AParams->Canvas->Handle(), ABarRect, values.BarBkBrush, false);
}

void TdxBarPainter::ProgressControlDrawChunks(TdxBarProgressControlDrawParams* AParams, const TRect& ABand,
                                              HBRUSH ABrush) const {
  const bool vertical = AParams->PaintType == ptVert;
  const int thickness = vertical ? ABand.Width() : ABand.Height();
  const int start = vertical ? ABand.Top : ABand.Left;
  const int end = vertical ? ABand.Bottom : ABand.Right;
  // At least one pixel per chunk, so that a hairline band still ends.
  const int chunk = std::max(1, MulDiv(thickness, 2, 3));
  constexpr int kGap = 2;
  for (int pos = start; pos < end; pos += chunk + kGap) {
    const int stop = std::min(pos + chunk, end);
    const TRect R = vertical ? TRect(ABand.Left, pos, ABand.Right, stop) : TRect(pos, ABand.Top, stop, ABand.Bottom);
    ProgressControlFillDiscreteContent(AParams, R, ABrush);
  }
}

void TdxBarPainter::ProgressControlFillContent(TdxBarProgressControlDrawParams* AParams, const TRect& R,
                                               HBRUSH ABrush) const {
  dxBarFillRect(AParams->Canvas->Handle(), R, ABrush);
}

void TdxBarPainter::ProgressControlFillDiscreteContent(TdxBarProgressControlDrawParams* AParams, const TRect& R,
                                                       HBRUSH ABrush) const {
  ProgressControlFillContent(AParams, R, ABrush);
}

// ---------------------------------------------------------------------------
// Static controls and separators
// ---------------------------------------------------------------------------

int TdxBarPainter::StaticControlGetBorderOffsets(TdxBarStaticBorderStyle AStyle) {
  switch (AStyle) {
    case sbsLowered:
    case sbsRaised: return 1;
    case sbsEtched:
    case sbsBump: return 2;
    default: return 0;
  }
}

bool TdxBarPainter::StaticBackgroundIsOpaque(TdxBarStaticLikeControlDrawParams* AParams) const {
  return AParams->BackgroundBrush != nullptr;
}

void TdxBarPainter::DrawStaticLikeControl(TdxBarStaticLikeControlDrawParams* AParams, TRect& ARect,
                                          const TRect& AIndents) const {
  const TdxBarItemPaintValues& values = ValuesOf(AParams);
  HDC DC = AParams->Canvas->Handle();
  HBRUSH brush = values.BarBkBrush;
  TRect content = ARect;
  if (AParams->PaintType == ptVert) {
    content.Top += AIndents.Top;
    content.Bottom -= AIndents.Bottom;
    DrawBackground(values, DC, TRect(ARect.Left, ARect.Top, ARect.Right, content.Top), brush, false);
    DrawBackground(values, DC, TRect(ARect.Left, content.Bottom, ARect.Right, ARect.Bottom), brush, false);
  } else {
    content.Left += AIndents.Left;
    content.Right -= AIndents.Right;
    DrawBackground(values, DC, TRect(ARect.Left, ARect.Top, content.Left, ARect.Bottom), brush, false);
    DrawBackground(values, DC, TRect(content.Right, ARect.Top, ARect.Right, ARect.Bottom), brush, false);
  }
  ARect = content;
  DrawStaticBorder(AParams, ARect);
}

void TdxBarPainter::DrawStaticBorder(TdxBarStaticLikeControlDrawParams* AParams, TRect& ARect) const {
  HDC DC = AParams->Canvas->Handle();
  switch (AParams->BorderStyle) {
    case sbsNone: return;
    case sbsLowered: DrawEdgeOf(DC, ARect, BDR_SUNKENOUTER); break;
    case sbsRaised: DrawEdgeOf(DC, ARect, BDR_RAISEDINNER); break;
    case sbsEtched: DrawEdgeOf(DC, ARect, EDGE_ETCHED); break;
    case sbsBump:
      DrawEdgeOf(DC, ARect, BDR_RAISEDINNER);
      ARect = dxBarShrunkRect(ARect, 1, 1);
      DrawEdgeOf(DC, ARect, BDR_SUNKENOUTER);
      ARect = dxBarShrunkRect(ARect, 1, 1);
      return;
  }
  const TRect& o = AParams->BorderOffsets;
  ARect = TRect(ARect.Left + o.Left, ARect.Top + o.Top, ARect.Right - o.Right, ARect.Bottom - o.Bottom);
}

void TdxBarPainter::DrawStaticBackground(TdxBarStaticLikeControlDrawParams* AParams, const TRect& ARect) const {
  const TdxBarItemPaintValues& values = ValuesOf(AParams);
  HBRUSH brush = AParams->BackgroundBrush ? AParams->BackgroundBrush : ItemBrushOr(values, BarToolbarBrush());
  DrawBackground(values, AParams->Canvas->Handle(), ARect, brush, StaticBackgroundIsOpaque(AParams));
}

void TdxBarPainter::DrawStaticGlyphAndCaption(TdxBarStaticLikeControlDrawParams* AParams, const TRect& ARect) const {
  const TdxBarItemPaintValues& values = ValuesOf(AParams);
  HDC DC = AParams->Canvas->Handle();
  DrawStaticBackground(AParams, ARect);
  const bool menu = InMenu(AParams), vertical = AParams->PaintType == ptVert;
  const bool icon = AParams->ViewStructure.Contains(cpIcon), caption = AParams->ViewStructure.Contains(cpText);
  const bool centered = AParams->AllowCenter && (!menu || !caption);
  if (icon) {
    TGlyphArgs glyph;
    glyph.Rect = ARect;
    glyph.Enabled = AParams->Enabled;
    if (caption && AParams->PaintType == ptHorz) glyph.Rect.Right = ARect.Left + AParams->DefaultButtonSize.cx;
    if (caption && vertical) glyph.Rect.Bottom = ARect.Top + AParams->DefaultButtonSize.cy;
    if (menu && !centered) glyph.Rect = SubMenuControlGetItemIconRect(ARect, values.IconAreaSize);
    glyph.PaintType = AParams->PaintType;
    glyph.Structure = AParams->ViewStructure;
    glyph.Size = AParams->ViewSize();
    glyph.Centered = centered;
    glyph.ForceUseBkBrush = true;
    // The glyph is the control's own: its image and where it went are its to give and keep.
    DrawGlyph(AParams->BarItemControl(), DC, glyph);
  }
  if (!caption) return;
  const TAlignment alignment =
      AParams->Alignment == taCenter && !AParams->AllowCenter ? taLeftJustify : AParams->Alignment;
  TRect text = ARect;
  if (alignment == taRightJustify) {
    (vertical ? text.Bottom : text.Right) -= 2;
  } else {
    int indent = 0;
    if (!icon) {
      indent = alignment == taCenter ? 0 : values.TextSize / 4;
    } else if (!menu) {
      indent = (vertical ? AParams->DefaultButtonSize.cy : AParams->DefaultButtonSize.cx) + 2;
    } else if (alignment == taLeftJustify) {
      indent = SubMenuControlGetItemTextIndent(SubMenuFrameOf(values));
    }
    (vertical ? text.Top : text.Left) += indent;
  }
  const UINT format = alignment == taRightJustify ? DT_RIGHT : alignment == taCenter ? DT_CENTER : DT_LEFT;
  DrawItemText(AParams->BarItemControl(), DC, AParams->Caption, text, format, AParams->Enabled, false, vertical, true,
               false, DT_SINGLELINE);
}

void TdxBarPainter::DrawSeparatorControl(TdxBarSeparatorControlDrawParams* AParams, const TRect& ARect) const {
  const TdxBarItemPaintValues& values = ValuesOf(AParams);
  // Only menus show a separator's caption, as a group header.
  if (InMenu(AParams) && AParams->ViewStructure.Contains(cpText) && !AParams->Caption.empty()) {
    DrawSeparatorGlyphAndCaption(AParams, ARect);
    const int size = SubMenuGetSeparatorSize();
    if (!AParams->IsTop)
      SubMenuControlDrawSeparator(AParams->Canvas, TRect(ARect.Left, ARect.Top, ARect.Right, ARect.Top + size));
    SubMenuControlDrawSeparator(AParams->Canvas, TRect(ARect.Left, ARect.Bottom - size, ARect.Right, ARect.Bottom));
    return;
  }
  if (InMenu(AParams)) {
    TdxBarSubMenuItemFrame item;
    item.AreaRect = ARect;
    item.NonRecent = values.NonRecent;
    SubMenuControlDrawBeginGroup(SubMenuFrameOf(values), item, AParams->Canvas, ARect);
    return;
  }
  if (values.Bar) BarDrawBeginGroup(values.Bar, AParams->Canvas->Handle(), ARect, values.BarToolbarBrush, false);
}

// ---------------------------------------------------------------------------
// In-place sub-items
// ---------------------------------------------------------------------------

int TdxBarPainter::InPlaceSubItemGetArrowWidth(TdxBarItemControlDrawParams* AParams) const {
  return ValuesOf(AParams).TextSize;
}

void TdxBarPainter::InPlaceSubItemControlDrawInMenu(TdxBarInPlaceSubItemControlDrawParams* AParams,
                                                    const TRect& ARect) const {
  InPlaceSubItemControlDrawBackground(AParams, ARect);
  TRect text = ARect;
  text.Left += InPlaceSubItemGetTextIndent();
  DrawItemText(AParams->BarItemControl(), AParams->Canvas->Handle(), AParams->Caption, text, DT_LEFT, true, true,
               false, false, InPlaceSubItemControlIsFlatItemText(AParams), DT_SINGLELINE);
  if (AParams->Enabled) InPlaceSubItemControlDrawArrow(AParams, AParams->IsExpanded, ARect);
}

void TdxBarPainter::InPlaceSubItemControlDrawBackground(TdxBarInPlaceSubItemControlDrawParams* AParams,
                                                        const TRect& ARect) const {
  const TdxBarItemPaintValues& values = ValuesOf(AParams);
  HDC DC = AParams->Canvas->Handle();
  // The bottom row divides one in-place sub-item from what follows.
  dxBarFillRect(DC, TRect(ARect.Left, ARect.Bottom - 1, ARect.Right, ARect.Bottom), values.BarBkBrush);
  const TRect rest(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom - 1);
  DrawBackground(values, DC, rest, AParams->DrawSelected ? BarToolbarSelBrush() : InPlaceSubItemControlBrush(), true);
  if (AParams->DrawSelected) OutlineSelection(DC, rest);
}

void TdxBarPainter::InPlaceSubItemControlDrawArrow(TdxBarInPlaceSubItemControlDrawParams* AParams, bool AExpanded,
                                                   const TRect& ARect) const {
  TRect R = ARect;
  R.Left = R.Right - AParams->ArrowSize.cx;
  if (!AExpanded) R.Left += AParams->ArrowSize.cy;
  dxBarDrawArrowInRect(AParams->Canvas->Handle(), R, AExpanded ? 1 : 0, ArrowColorFor(AParams), IsFlatItemText(),
                       true, InPlaceSubItemControlIsArrowSelected(AParams), AParams->ArrowSize.cy);
}

// ---------------------------------------------------------------------------
// Date navigator buttons
// ---------------------------------------------------------------------------

void TdxBarPainter::DateNavigatorDrawButton(HDC DC, const TRect& ARect, const String& ACaption,
                                            bool APressed) const {
  TRect R = ARect;
  if (APressed) {
    RECT r{R.Left, R.Top, R.Right, R.Bottom};
    DrawFrameControl(DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  } else {
    auto fill = [DC](int l, int t, int r, int b, int AIndex) {
      dxBarFillRect(DC, TRect(l, t, r, b), dxBarSysBrush(AIndex));
    };
    fill(R.Left, R.Bottom - 1, R.Right, R.Bottom, COLOR_BTNTEXT);
    fill(R.Right - 1, R.Top, R.Right, R.Bottom - 1, COLOR_BTNTEXT);
    fill(R.Left, R.Top, R.Right - 1, R.Top + 1, COLOR_BTNFACE);
    fill(R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1, COLOR_BTNFACE);
    fill(R.Left + 1, R.Bottom - 2, R.Right - 1, R.Bottom - 1, COLOR_BTNSHADOW);
    fill(R.Right - 2, R.Top + 1, R.Right - 1, R.Bottom - 2, COLOR_BTNSHADOW);
    fill(R.Left + 1, R.Top + 1, R.Right - 2, R.Top + 2, COLOR_BTNHIGHLIGHT);
    fill(R.Left + 1, R.Top + 2, R.Left + 2, R.Bottom - 2, COLOR_BTNHIGHLIGHT);
    fill(R.Right - 2, R.Top + 1, R.Right - 1, R.Top + 2, COLOR_BTNFACE);
  }
  PaintButtonFaceText(DC, dxBarShrunkRect(R, 2, 2), true, ACaption, APressed ? 1 : 0);
}

void TdxBarPainter::PaintButtonFaceText(HDC DC, const TRect& ARect, bool AOpaque, const String& AText, int AOffset) {
  SIZE extent{};
  GetTextExtentPoint32W(DC, AText.c_str(), static_cast<int>(AText.size()), &extent);
  const int x = ARect.Left + (ARect.Width() - extent.cx) / 2 + AOffset;
  const int y = ARect.Top + (ARect.Height() - extent.cy) / 2 + AOffset;
  SetTextColor(DC, GetSysColor(COLOR_BTNTEXT));
  SetBkColor(DC, GetSysColor(COLOR_BTNFACE));
  const int mode = SetBkMode(DC, AOpaque ? OPAQUE : TRANSPARENT);
  RECT r{ARect.Left, ARect.Top, ARect.Right, ARect.Bottom};
  ExtTextOutW(DC, x, y, ETO_CLIPPED | (AOpaque ? ETO_OPAQUE : 0), &r, AText.c_str(), static_cast<UINT>(AText.size()),
              nullptr);
  SetBkMode(DC, mode);
}

// ---------------------------------------------------------------------------
// Hosted editors and the application menu
// ---------------------------------------------------------------------------

void TdxBarPainter::EditGetRealLookAndFeel(TdxBarManager* AManager, TcxLookAndFeel* ALookAndFeel) const {
  if (AManager && ALookAndFeel) AManager->ApplyStyleToLookAndFeel(ALookAndFeel);
}

void TdxBarPainter::ApplicationMenuDrawContentArea(const TdxBarSubMenuFrame& AMenu, TcxCanvas* ACanvas,
                                                   const TRect& AContentRect, const TRect& AItemsArea) const {
  ACanvas->SaveClipRegion();
  ACanvas->ExcludeClipRect(AItemsArea);
  SubMenuControlDrawBackground(AMenu, ACanvas, AContentRect, BarToolbarDownedBrush(), clNone);
  ACanvas->RestoreClipRegion();
}

void TdxBarPainter::ExtraMenuControlDrawBackground(TCustomdxBarControl* AControl, TcxCanvas* ACanvas, const TRect& R,
                                                   HBRUSH ABrush, TColor AColor) const {
  HDC DC = ACanvas->Handle();
  if (TBitmap* bitmap = AControl ? AControl->GetBackgroundBitmap() : nullptr; bitmap && !bitmap->Empty())
    dxBarTileBitmap(DC, R, R, bitmap);
  else if (AColor != clNone && AColor != clDefault)
    dxFillSolidRect(DC, R, AColor);
  else
    dxBarFillRect(DC, R, ABrush ? ABrush : BarToolbarBrush());
}

void TdxBarPainter::ExtraMenuControlDrawBeginGroup(TCustomdxBarControl* AControl, TcxCanvas* ACanvas, const TRect& R,
                                                   HBRUSH ABrush, bool AHorizontal) const {
  if (AControl) BarDrawBeginGroup(AControl, ACanvas->Handle(), R, ABrush, AHorizontal);
}

// ---------------------------------------------------------------------------
// System panel of drop-down windows
// ---------------------------------------------------------------------------

int TdxBarPainter::SysPanelSize() const { return dxCalcDropDownFrameHeight(); }

void TdxBarPainter::SysPanelCalcSize(HWND AWindow, TRect& AClient, TdxCorner& AGripCorner, TdxBarItem* AItem,
                                     bool ASizable) const {
  AClient = dxBarShrunkRect(AClient, 1, 1);
  if (!ASizable) return;
  TdxBarItemLink* link = AItem ? AItem->CurItemLink() : nullptr;
  auto* control = link ? dynamic_cast<TdxBarItemControl*>(link->Control()) : nullptr;
  if (AWindow && control && control->Parent() && control->Parent()->HandleAllocated()) {
    RECT window{};
    GetWindowRect(AWindow, &window);
    const TRect item = control->Parent()->GetItemRect(control);
    POINT corners[2] = {{item.Left, item.Top}, {item.Right, item.Bottom}};
    MapWindowPoints(control->Parent()->WindowHandle(), nullptr, corners, 2);
    AGripCorner = dxGetSizeGripCorner(TRect(window.left, window.top, window.right, window.bottom),
                                      TRect(corners[0].x, corners[0].y, corners[1].x, corners[1].y));
  }
  if (AGripCorner == coTopLeft || AGripCorner == coTopRight)
    AClient.Top += SysPanelSize();
  else
    AClient.Bottom -= SysPanelSize();
}

void TdxBarPainter::SysPanelDraw(HWND AWindow, bool ASizable, bool ACloseButtonHot, bool ACloseButtonPressed,
                                 TRect& ACloseButtonRect, TRect& AGripRect, TdxCorner AGripCorner) const {
  dxBarDrawSysPanel(AWindow, ASizable, false, ACloseButtonHot, ACloseButtonPressed, ACloseButtonRect, AGripRect,
                    AGripCorner);
}
