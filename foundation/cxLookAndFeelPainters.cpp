// The root painter: identity, default colours, arrows, borders, buttons,
// expand buttons, check boxes, radio buttons and label lines. The elements
// (headers, footers, scroll bars, group boxes ...) are in
// cxLookAndFeelPaintersElements.cpp.
#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPainters.h"

#include "foundation/dxCore.h"
#include "platform/gui/StdCtrls.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Shared resources (filled by the painter module's start-up)
// ---------------------------------------------------------------------------

TSize cxCheckButtonGlyphSize{0, 0};
TcxDrawRadioButtonImageProc cxDrawRadioButtonImageHook = nullptr;
TcxRadioButtonImageSizeProc cxRadioButtonImageSizeHook = nullptr;

TcxLookAndFeelKind cxLookAndFeelKindFromStyle(TcxLookAndFeelStyle AStyle) {
  switch (AStyle) {
    case lfsFlat:
      return lfFlat;
    case lfsUltraFlat:
      return lfUltraFlat;
    case lfsOffice11:
      return lfOffice11;
    default:
      return lfStandard;
  }
}

namespace {

TRect Shrunk(const TRect& R, int ADelta) {
  return TRect(R.Left + ADelta, R.Top + ADelta, R.Right - ADelta, R.Bottom - ADelta);
}

TRect Shifted(const TRect& R, int DX, int DY) {
  return TRect(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY);
}

// Integer division rounding toward minus infinity.
int FloorDiv2(int A) { return A >= 0 ? A / 2 : -((1 - A) / 2); }

void FillPolygon(TcxCanvas* ACanvas, const TcxArrowPoints& P, TColor AColor) {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->SetBrushColor(AColor);
  ACanvas->Pen()->SetColor(AColor);
  ACanvas->Polygon(P);
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxCustomLookAndFeelPainter
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TcxCustomLookAndFeelPainter, TObject, nullptr)

TcxCustomLookAndFeelPainterClass TcxCustomLookAndFeelPainter::Instance() {
  static const TcxCustomLookAndFeelPainter painter;
  return &painter;
}

TColor TcxCustomLookAndFeelPainter::DefaultDateNavigatorHeaderHighlightTextColor() const {
  return dxIsWindowsVistaOrLater ? TColor(0xCC6600) : clHighlightText;
}

TRect TcxCustomLookAndFeelPainter::CenteredSeparatorRect(const TRect& ABounds, int AThickness,
                                                         bool AIsVertical) const {
  TRect result = ABounds;
  if (AIsVertical) {
    result.Left = (ABounds.Left + ABounds.Right) / 2 - AThickness / 2;
    result.Right = result.Left + AThickness;
  } else {
    result.Top = (ABounds.Top + ABounds.Bottom) / 2 - AThickness / 2;
    result.Bottom = result.Top + AThickness;
  }
  return result;
}

// ---- Identity

TcxLookAndFeelStyle TcxCustomLookAndFeelPainter::LookAndFeelStyle() const { return lfsStandard; }
bool TcxCustomLookAndFeelPainter::NeedRedrawOnResize() const { return false; }

// ---- Default colours

TColor TcxCustomLookAndFeelPainter::DefaultContentColor() const { return clWindow; }
TColor TcxCustomLookAndFeelPainter::DefaultContentEvenColor() const {
  return DefaultContentColor();
}
TColor TcxCustomLookAndFeelPainter::DefaultContentOddColor() const {
  return DefaultContentColor();
}
TColor TcxCustomLookAndFeelPainter::DefaultContentTextColor() const { return clWindowText; }
TColor TcxCustomLookAndFeelPainter::DefaultEditorBackgroundColor(bool AIsDisabled) const {
  return DefaultEditorBackgroundColorEx(AIsDisabled ? esckDisabled : esckNormal);
}
TColor TcxCustomLookAndFeelPainter::DefaultEditorBackgroundColorEx(TcxEditStateColorKind) const {
  return clDefault;
}
TColor TcxCustomLookAndFeelPainter::DefaultEditorTextColor(bool AIsDisabled) const {
  return DefaultEditorTextColorEx(AIsDisabled ? esckDisabled : esckNormal);
}
TColor TcxCustomLookAndFeelPainter::DefaultEditorTextColorEx(TcxEditStateColorKind) const {
  return clDefault;
}
TColor TcxCustomLookAndFeelPainter::DefaultFilterBoxColor() const { return clBtnShadow; }
TColor TcxCustomLookAndFeelPainter::DefaultFilterBoxTextColor() const { return clBtnHighlight; }
TColor TcxCustomLookAndFeelPainter::DefaultFixedSeparatorColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::DefaultFooterColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultFooterTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::DefaultGridDetailsSiteColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultGridLineColor() const { return clBtnShadow; }
TColor TcxCustomLookAndFeelPainter::DefaultGroupByBoxColor() const { return clBtnShadow; }
TColor TcxCustomLookAndFeelPainter::DefaultGroupByBoxTextColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultGroupColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultGroupTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::DefaultHeaderBackgroundColor() const { return clBtnShadow; }
TColor TcxCustomLookAndFeelPainter::DefaultHeaderBackgroundTextColor() const {
  return clBtnFace;
}
TColor TcxCustomLookAndFeelPainter::DefaultHeaderColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultHeaderTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::DefaultHyperlinkTextColor() const { return clBlue; }
TColor TcxCustomLookAndFeelPainter::DefaultInactiveColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultInactiveTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::DefaultPreviewTextColor() const { return clBlue; }
TColor TcxCustomLookAndFeelPainter::DefaultRecordSeparatorColor() const {
  return DefaultGridLineColor();
}
TColor TcxCustomLookAndFeelPainter::DefaultSizeGripAreaColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultVGridBandLineColor() const {
  return DefaultVGridLineColor();
}
TColor TcxCustomLookAndFeelPainter::DefaultVGridCategoryColor() const {
  return DefaultHeaderColor();
}
TColor TcxCustomLookAndFeelPainter::DefaultVGridCategoryTextColor() const { return clDefault; }
TColor TcxCustomLookAndFeelPainter::DefaultVGridHeaderColor() const {
  return DefaultHeaderColor();
}
TColor TcxCustomLookAndFeelPainter::DefaultVGridHeaderTextColor() const {
  return DefaultHeaderTextColor();
}
TColor TcxCustomLookAndFeelPainter::DefaultVGridLineColor() const { return clBlack; }
TColor TcxCustomLookAndFeelPainter::DefaultDateNavigatorContentColor() const {
  const TColor color = DefaultEditorBackgroundColor(false);
  return color == clDefault ? DefaultContentColor() : color;
}
TColor TcxCustomLookAndFeelPainter::DefaultDateNavigatorHeaderColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultDateNavigatorHeaderTextColor(bool AIsHighlight) const {
  return AIsHighlight ? DefaultDateNavigatorHeaderHighlightTextColor() : DefaultHeaderTextColor();
}
TColor TcxCustomLookAndFeelPainter::DefaultDateNavigatorHolydayTextColor() const { return clRed; }
TColor TcxCustomLookAndFeelPainter::DefaultDateNavigatorInactiveTextColor() const {
  return clGrayText;
}
TColor TcxCustomLookAndFeelPainter::DefaultDateNavigatorSelectionColor() const {
  return clHighlight;
}
TColor TcxCustomLookAndFeelPainter::DefaultDateNavigatorSelectionTextColor() const {
  return clHighlightText;
}
TColor TcxCustomLookAndFeelPainter::DefaultDateNavigatorSeparator1Color() const {
  return clBtnShadow;
}
TColor TcxCustomLookAndFeelPainter::DefaultDateNavigatorSeparator2Color() const {
  return clWindow;
}
TColor TcxCustomLookAndFeelPainter::DefaultDateNavigatorTextColor() const { return clWindowText; }
TColor TcxCustomLookAndFeelPainter::DefaultDateNavigatorTodayFrameColor() const {
  return clMaroon;
}
TColor TcxCustomLookAndFeelPainter::DefaultDateNavigatorTodayTextColor() const { return clNavy; }
TColor TcxCustomLookAndFeelPainter::DefaultSchedulerBackgroundColor() const { return clWindow; }
TColor TcxCustomLookAndFeelPainter::DefaultSchedulerTextColor() const { return clWindowText; }
TColor TcxCustomLookAndFeelPainter::DefaultSchedulerBorderColor() const {
  return TColor(0x9D9DA1);
}
TColor TcxCustomLookAndFeelPainter::DefaultSchedulerControlColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultSchedulerNavigatorColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultSchedulerTimeRulerColor() const {
  return DefaultHeaderColor();
}
TColor TcxCustomLookAndFeelPainter::DefaultSchedulerTimeRulerTextColor() const {
  return DefaultHeaderTextColor();
}
TColor TcxCustomLookAndFeelPainter::DefaultSchedulerViewContentColor() const {
  return TColor(0xD5FFFF);
}
TColor TcxCustomLookAndFeelPainter::DefaultSchedulerViewSelectedTextColor() const {
  return DefaultSelectionTextColor();
}
TColor TcxCustomLookAndFeelPainter::DefaultSchedulerViewTextColor() const {
  return clWindowText;
}
TColor TcxCustomLookAndFeelPainter::DefaultSelectionColor() const { return clHighlight; }
TColor TcxCustomLookAndFeelPainter::DefaultSelectionTextColor() const { return clHighlightText; }
TColor TcxCustomLookAndFeelPainter::DefaultSeparatorColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultTabColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultTabTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::DefaultTabsBackgroundColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultTimeGridMajorScaleColor() const { return clWhite; }
TColor TcxCustomLookAndFeelPainter::DefaultTimeGridMajorScaleTextColor() const {
  return clBlack;
}
TColor TcxCustomLookAndFeelPainter::DefaultTimeGridMinorScaleColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultTimeGridMinorScaleTextColor() const {
  return clBtnText;
}
TColor TcxCustomLookAndFeelPainter::DefaultTimeGridSelectionBarColor() const { return clWhite; }
TColor TcxCustomLookAndFeelPainter::DefaultChartDiagramValueBorderColor() const {
  return clBlack;
}
TColor TcxCustomLookAndFeelPainter::DefaultChartDiagramValueCaptionTextColor() const {
  return clBlack;
}
TColor TcxCustomLookAndFeelPainter::DefaultChartHistogramAxisColor() const { return clBlack; }
TColor TcxCustomLookAndFeelPainter::DefaultChartHistogramGridLineColor() const {
  return TColor(0xCFCFCF);
}
TColor TcxCustomLookAndFeelPainter::DefaultChartHistogramPlotColor() const { return clWhite; }
TColor TcxCustomLookAndFeelPainter::DefaultChartPieDiagramSeriesSiteBorderColor() const {
  return clBtnShadow;
}
TColor TcxCustomLookAndFeelPainter::DefaultChartPieDiagramSeriesSiteCaptionColor() const {
  return TColor(0xF0CAA6);
}
TColor TcxCustomLookAndFeelPainter::DefaultChartPieDiagramSeriesSiteCaptionTextColor() const {
  return clNavy;
}
TColor TcxCustomLookAndFeelPainter::DefaultChartToolBoxDataLevelInfoBorderColor() const {
  return clBtnShadow;
}
TColor TcxCustomLookAndFeelPainter::DefaultChartToolBoxItemSeparatorColor() const {
  return clBtnShadow;
}

// ---- Arrows, borders and separators

void TcxCustomLookAndFeelPainter::CalculateArrowPoints(const TRect& R, TcxArrowPoints& P,
                                                       TcxArrowDirection AArrowDirection,
                                                       bool AProportional, int AArrowSize) {
  TRect r = R;
  if (AProportional) {
    const int d = r.Width() - r.Height();
    if (d > 0) {
      r.Left += d / 2;
      r.Right -= d / 2;
    } else if (d < 0) {
      r.Top += -d / 2;
      r.Bottom -= -d / 2;
    }
  }
  const bool horizontal = AArrowDirection == adLeft || AArrowDirection == adRight;
  int s = AArrowSize;
  if (s == 0) s = horizontal ? (r.Height() - 1) / 4 + 1 : (r.Width() - 1) / 4 + 1;
  const int w = horizontal ? s : 2 * s - 1;
  const int h = horizontal ? 2 * s - 1 : s;
  const int x0 = (r.Left + r.Right - w) / 2;
  // The platform's MulDiv: halves round away from zero.
  const int y0 = ::MulDiv(r.Top + r.Bottom - h, 1, 2);
  switch (AArrowDirection) {
    case adUp: {
      const int x = (r.Left + r.Right - 1) / 2;
      P = {TPoint{x0, y0 + h - 1}, TPoint{x, y0}, TPoint{x0 + w - 1, y0 + h - 1}};
      break;
    }
    case adDown: {
      const int x = (r.Left + r.Right - 1) / 2;
      P = {TPoint{x0 + w - 1, y0}, TPoint{x, y0 + h - 1}, TPoint{x0, y0}};
      break;
    }
    case adLeft: {
      const int y = (r.Top + r.Bottom) / 2;
      P = {TPoint{x0 + w - 1, y0 + h - 1}, TPoint{x0, y}, TPoint{x0 + w - 1, y0}};
      break;
    }
    case adRight: {
      const int y = (r.Top + r.Bottom) / 2;
      P = {TPoint{x0, y0}, TPoint{x0 + w - 1, y}, TPoint{x0, y0 + h - 1}};
      break;
    }
  }
}

void TcxCustomLookAndFeelPainter::DrawArrow(TcxCanvas* ACanvas, const TRect& R,
                                            TcxArrowDirection AArrowDirection,
                                            TColor AColor) const {
  TcxArrowPoints P;
  CalculateArrowPoints(R, P, AArrowDirection, true, 0);
  FillPolygon(ACanvas, P, AColor);
}

void TcxCustomLookAndFeelPainter::DrawArrow(TcxCanvas* ACanvas, const TRect& R,
                                            TcxButtonState AState,
                                            TcxArrowDirection AArrowDirection,
                                            bool ADrawBorder) const {
  if (ADrawBorder) {
    DrawArrowBorder(ACanvas, R, AState);
  } else {
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect(R, ButtonColor(AState));
  }
  TcxArrowPoints P;
  CalculateArrowPoints(R, P, AArrowDirection, false, 0);
  FillPolygon(ACanvas, P, ButtonSymbolColor(AState, clDefault));
}

void TcxCustomLookAndFeelPainter::DrawArrowBorder(TcxCanvas* ACanvas, const TRect& R,
                                                  TcxButtonState AState) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(R, ButtonColor(AState));
  DrawButtonBorder(ACanvas, R, AState);
}

void TcxCustomLookAndFeelPainter::DrawScrollBarArrow(TcxCanvas* ACanvas, const TRect& R,
                                                     TcxButtonState AState,
                                                     TcxArrowDirection AArrowDirection) const {
  TRect r = R;
  if (AState == cxbsPressed) r = Shifted(r, ButtonTextShift(), ButtonTextShift());
  TcxArrowPoints P;
  CalculateArrowPoints(r, P, AArrowDirection, true, 0);
  if (AState == cxbsDisabled) {
    TcxArrowPoints shadow = P;
    for (TPoint& point : shadow) {
      ++point.X;
      ++point.Y;
    }
    FillPolygon(ACanvas, shadow, clBtnHighlight);
    FillPolygon(ACanvas, P, clBtnShadow);
  } else {
    FillPolygon(ACanvas, P, ButtonSymbolColor(AState, clDefault));
  }
}

int TcxCustomLookAndFeelPainter::BorderSize() const { return 0; }
void TcxCustomLookAndFeelPainter::DrawBorder(TcxCanvas*, const TRect&) const {}
void TcxCustomLookAndFeelPainter::DrawSeparator(TcxCanvas*, const TRect&, bool) const {}

// ---- Buttons

TRect TcxCustomLookAndFeelPainter::AdjustGroupButtonDisplayRect(const TRect& R, int, int) const {
  return R;
}
int TcxCustomLookAndFeelPainter::ButtonBorderSize(TcxButtonState) const { return 0; }
TColor TcxCustomLookAndFeelPainter::ButtonColor(TcxButtonState) const { return clBtnFace; }

TRect TcxCustomLookAndFeelPainter::ButtonFocusRect(TcxCanvas*, const TRect& R) const {
  const TRect result = Shrunk(R, 4);
  return result.IsEmpty() ? R : result;
}

TRect TcxCustomLookAndFeelPainter::ButtonGroupBorderSizes(int, int) const {
  const int size = ButtonBorderSize(cxbsNormal);
  return TRect(size, size, size, size);
}

int TcxCustomLookAndFeelPainter::ButtonTextOffset() const { return 0; }
int TcxCustomLookAndFeelPainter::ButtonTextShift() const { return 0; }

TColor TcxCustomLookAndFeelPainter::ButtonSymbolColor(TcxButtonState AState,
                                                      TColor ADefaultColor) const {
  if (AState == cxbsDisabled) return clBtnShadow;
  return ADefaultColor == clDefault ? clBtnText : ADefaultColor;
}

TcxButtonState TcxCustomLookAndFeelPainter::ButtonSymbolState(TcxButtonState AState) const {
  return AState;
}

void TcxCustomLookAndFeelPainter::DrawButton(TcxCanvas* ACanvas, const TRect& R,
                                             const String& ACaption, TcxButtonState AState,
                                             bool ADrawBorder, TColor AColor, TColor ATextColor,
                                             bool AWordWrap, bool) const {
  TRect r = R;
  if (ADrawBorder) {
    DrawButtonBorder(ACanvas, r, AState);
    r = Shrunk(r, ButtonBorderSize(AState));
  }
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(r, AColor == clDefault ? ButtonColor(AState) : AColor);
  ACanvas->Font()->SetColor(ATextColor == clDefault ? ButtonSymbolColor(AState, clDefault)
                                                    : ATextColor);
  ACanvas->Brush()->SetStyle(bsClear);
  // Captions centre on an even height; short buttons lift them by a pixel.
  if (r.Height() % 2 != 0) --r.Bottom;
  if (r.Height() < 18) --r.Top;
  if (AState == cxbsPressed) r = Shifted(r, ButtonTextShift(), ButtonTextShift());
  if (!ACaption.empty()) {
    const int flags = cxtfCenterH | cxtfCenterV | cxtfShowPrefix |
                      (AWordWrap ? cxtfWordBreak : cxtfSingleLine);
    ACanvas->DrawTexT(ACaption, r, flags, AState != cxbsDisabled);
  }
  ACanvas->Brush()->SetStyle(bsSolid);
}

void TcxCustomLookAndFeelPainter::DrawButtonCross(TcxCanvas* ACanvas, const TRect& R,
                                                  TColor AColor, TcxButtonState AState) const {
  int n = FilterCloseButtonSize().X / 2;
  if (n % 2 == 0) --n;
  int x = (R.Left + R.Right - n) / 2;
  int y = (R.Top + R.Bottom - n) / 2;
  if (AState == cxbsPressed) {
    ++x;
    ++y;
  }
  ACanvas->Pen()->SetColor(AColor);
  for (int i = x; i <= x + 1; ++i) {
    ACanvas->MoveTo(i, y);
    ACanvas->LineTo(i + n, y + n);
    ACanvas->MoveTo(i, y + n - 1);
    ACanvas->LineTo(i + n, y - 1);
  }
}

void TcxCustomLookAndFeelPainter::DrawButtonInGroup(TcxCanvas* ACanvas, const TRect& R,
                                                    TcxButtonState AState, int, int,
                                                    TColor) const {
  DrawButton(ACanvas, R, String(), AState, true, clDefault, clDefault, false, false);
}

void TcxCustomLookAndFeelPainter::DrawButtonBorder(TcxCanvas*, const TRect&,
                                                   TcxButtonState) const {}
void TcxCustomLookAndFeelPainter::DrawButtonGroupBorder(TcxCanvas*, const TRect&, bool,
                                                        bool) const {}

// ---- Expand buttons

void TcxCustomLookAndFeelPainter::DrawExpandButton(TcxCanvas*, const TRect&, bool,
                                                   TColor) const {}

void TcxCustomLookAndFeelPainter::DrawExpandButtonEx(TcxCanvas* ACanvas, const TRect& R,
                                                     TcxButtonState AState,
                                                     bool AExpanded) const {
  DrawButton(ACanvas, R, String(), AState, true, clDefault, clDefault, false, false);
  DrawGroupExpandSign(ACanvas, R, AState, AExpanded);
}

bool TcxCustomLookAndFeelPainter::DrawExpandButtonFirst() const { return true; }

void TcxCustomLookAndFeelPainter::DrawGroupExpandButton(TcxCanvas* ACanvas, const TRect& R,
                                                        bool AExpanded,
                                                        TcxButtonState AState) const {
  DrawButton(ACanvas, R, String(), AState, true, clDefault, clDefault, false, false);
  DrawGroupExpandSign(ACanvas, R, AState, AExpanded);
}

void TcxCustomLookAndFeelPainter::DrawSmallExpandButton(TcxCanvas* ACanvas, const TRect& R,
                                                        bool AExpanded, TColor ABorderColor,
                                                        TColor AColor) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FrameRect(R, ABorderColor);
  if (AColor != clDefault) ACanvas->FillRect(Shrunk(R, 1), AColor);
  DrawExpandSign(ACanvas, R, AExpanded, clBtnText);
}

int TcxCustomLookAndFeelPainter::ExpandButtonSize() const { return 0; }
int TcxCustomLookAndFeelPainter::GroupExpandButtonSize() const { return 15; }
bool TcxCustomLookAndFeelPainter::IsButtonHotTrack() const { return false; }

bool TcxCustomLookAndFeelPainter::IsPointOverGroupExpandButton(const TRect& R,
                                                               const TPoint& P) const {
  return R.Contains(P);
}

int TcxCustomLookAndFeelPainter::SmallExpandButtonSize() const { return 9; }

// ---- Check boxes, radio buttons and label lines

int TcxCustomLookAndFeelPainter::CheckBorderSize() const { return 2; }

TColor TcxCustomLookAndFeelPainter::CheckButtonColor(TcxButtonState AState) const {
  return AState == cxbsPressed || AState == cxbsDisabled ? clBtnFace : clWindow;
}

TSize TcxCustomLookAndFeelPainter::CheckButtonSize() const { return cxCheckButtonGlyphSize; }

void TcxCustomLookAndFeelPainter::DrawCheck(TcxCanvas* ACanvas, const TRect& R,
                                            TcxButtonState AState, bool AChecked,
                                            TColor AColor) const {
  // A clear brush means the caller keeps its own background.
  if (ACanvas->Brush()->Style() == bsSolid) ACanvas->FillRect(R, CheckButtonColor(AState));
  if (!AChecked) return;
  const int W = R.Width() - 2;
  const int H = R.Height() - 4;
  const int cx = (R.Left + R.Right) / 2 - 1;
  ACanvas->Pen()->SetColor(AColor);
  for (int i = 0; i <= 2; ++i) {
    const int y = (R.Top + R.Bottom + H) / 2 - 2 + i;
    const TPoint mark[] = {TPoint{cx - W / 2 + 1, y - H / 2}, TPoint{cx, y},
                           TPoint{cx + W / 2 + 2, y - H}};
    ACanvas->Polyline(mark);
  }
}

void TcxCustomLookAndFeelPainter::DrawCheckBorder(TcxCanvas*, const TRect&,
                                                  TcxButtonState) const {}

void TcxCustomLookAndFeelPainter::DrawCheckButton(TcxCanvas* ACanvas, const TRect& R,
                                                  TcxButtonState AState, bool AChecked) const {
  DrawCheckButton(ACanvas, R, AState, AChecked ? cbsChecked : cbsUnchecked);
}

void TcxCustomLookAndFeelPainter::DrawCheckButton(TcxCanvas* ACanvas, const TRect& R,
                                                  TcxButtonState AState,
                                                  TcxCheckBoxState ACheckState) const {
  DrawCheckBorder(ACanvas, R, AState);
  const TColor markColor =
      AState == cxbsDisabled || ACheckState == cbsGrayed ? clGrayText : clBtnText;
  DrawCheck(ACanvas, Shrunk(R, CheckBorderSize()), AState, ACheckState == cbsChecked,
            markColor);
}

void TcxCustomLookAndFeelPainter::DrawRadioButton(TcxCanvas* ACanvas, int X, int Y,
                                                  TcxButtonState AButtonState, bool AChecked,
                                                  bool AFocused, TColor ABrushColor,
                                                  bool AIsDesigning) const {
  if (!cxDrawRadioButtonImageHook) return;
  // The radio images exist for the states from normal to disabled only: a
  // default-state button is drawn as a normal one, not from an index before
  // the first image. clNone, like clDefault, leaves the background as it is.
  const TcxButtonState state = AButtonState == cxbsDefault ? cxbsNormal : AButtonState;
  const TColor brushColor = ABrushColor == clNone ? clDefault : ABrushColor;
  cxDrawRadioButtonImageHook(ACanvas, X, Y, brushColor,
                             cxLookAndFeelKindFromStyle(LookAndFeelStyle()), state, AChecked,
                             AFocused, AIsDesigning);
}

TSize TcxCustomLookAndFeelPainter::RadioButtonSize() const {
  return cxRadioButtonImageSizeHook ? cxRadioButtonImageSizeHook() : TSize{0, 0};
}

void TcxCustomLookAndFeelPainter::DrawLabelLine(TcxCanvas* ACanvas, const TRect& R,
                                                TColor AOuterColor, TColor AInnerColor,
                                                bool AIsVertical) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->DrawComplexFrame(R, AOuterColor == clDefault ? clBtnShadow : AOuterColor,
                            AInnerColor == clDefault ? clBtnHighlight : AInnerColor,
                            AIsVertical ? TcxBorders{bLeft, bRight} : TcxBorders{bTop, bBottom},
                            1);
}

int TcxCustomLookAndFeelPainter::LabelLineHeight() const { return 2; }

// ---- Drawing routines shared by the looks

void TcxCustomLookAndFeelPainter::DrawExpandSign(TcxCanvas* ACanvas, const TRect& R,
                                                 bool AExpanded, TColor AColor) {
  const int cx = FloorDiv2(R.Left + R.Right);
  const int cy = FloorDiv2(R.Top + R.Bottom);
  const int half = (R.Width() - 4) / 2;
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(TRect(cx - half, cy, cx + half + 1, cy + 1), AColor);
  if (!AExpanded) ACanvas->FillRect(TRect(cx, cy - half, cx + 1, cy + half + 1), AColor);
}

void TcxCustomLookAndFeelPainter::DrawGroupExpandSign(TcxCanvas* ACanvas, const TRect& R,
                                                      TcxButtonState AState,
                                                      bool AExpanded) const {
  constexpr int s = 3;
  const int x0 = (R.Left + R.Right - (2 * s + 1)) / 2;
  const int y0 = (R.Top + R.Bottom - 2 * (s + 1)) / 2;
  const int d = AExpanded ? 1 : -1;
  ACanvas->Pen()->SetColor(ButtonSymbolColor(AState, clDefault));
  const int rows[] = {y0, y0 + 1, y0 + s + 1, y0 + s + 2};
  for (int i = 0; i < 4; ++i) {
    const bool second = i % 2 != 0;
    const int f = second == AExpanded ? 1 : 0;
    const int y = rows[i] + (AExpanded ? s : 0);
    const TPoint stroke[] = {TPoint{x0 + f, y - d * f}, TPoint{x0 + s, y - d * s},
                             TPoint{x0 + 2 * s + 1 - f, y + d * (1 - f)}};
    ACanvas->Polyline(stroke);
  }
}
