// The skin painter's operations for data views: headers and their text, the
// group-by box, filter panel and buttons, row indicators, the colours of grids
// and vertical grids, scheduler navigation buttons and date-navigator parts.
#include "foundation/cxGraphicsCanvas.h"

#include <algorithm>
#include "platform/gui/StdCtrls.h"
#include "skins/dxSkinsLookAndFeelPainter.h"

namespace {

// The element's colour or text colour once it exists (whatever the value).
template <TColor (TdxSkinElement::*Get)() const>
TColor ElementColor(TdxSkinElement* AElement, TColor AFallback) {
  return AElement ? (AElement->*Get)() : AFallback;
}

// A colour object's value: with AStrict only when it is set to a real colour.
TColor ColorOf(TdxSkinColor* AColor, bool AStrict, TColor AFallback) {
  if (!AColor || (AStrict && (AColor->Value() == clNone || AColor->Value() == clDefault))) return AFallback;
  return AColor->Value();
}

}  // namespace

#define DX_SKIN_COLOR(Operation, Member, Strict)                                           \
  TColor TdxSkinLookAndFeelPainter::Operation() const {                                      \
    TdxSkinLookAndFeelPainterInfo* info = SkinInfo();                                        \
    return info ? ColorOf(info->Member, Strict, inherited::Operation()) : inherited::Operation(); \
  }
DX_SKIN_COLOR(DefaultSchedulerBackgroundColor, ContentColor, false)
DX_SKIN_COLOR(DefaultSchedulerControlColor, ContentColor, false)
DX_SKIN_COLOR(DefaultSchedulerBorderColor, ContainerBorderColor, false)
DX_SKIN_COLOR(DefaultSchedulerNavigatorColor, SchedulerNavigatorColor, false)
DX_SKIN_COLOR(DefaultDateNavigatorTextColor, CalendarDayTextColor, true)
DX_SKIN_COLOR(DefaultDateNavigatorHolydayTextColor, CalendarHolidayTextColor, true)
DX_SKIN_COLOR(DefaultDateNavigatorInactiveTextColor, CalendarInactiveDayTextColor, true)
DX_SKIN_COLOR(DefaultDateNavigatorSelectionColor, CalendarSelectedDayColor, true)
DX_SKIN_COLOR(DefaultDateNavigatorSelectionTextColor, CalendarSelectedDayTextColor, true)
DX_SKIN_COLOR(DefaultDateNavigatorSeparator1Color, CalendarSeparatorColor, true)
DX_SKIN_COLOR(DefaultDateNavigatorTodayFrameColor, CalendarTodayFrameColor, true)
DX_SKIN_COLOR(DefaultDateNavigatorTodayTextColor, CalendarTodayTextColor, true)
#undef DX_SKIN_COLOR

#define DX_SKIN_ELEMENT_COLOR(Operation, Member, Getter)                                   \
  TColor TdxSkinLookAndFeelPainter::Operation() const {                                      \
    TdxSkinLookAndFeelPainterInfo* info = SkinInfo();                                        \
    return info && info->Member ? ElementColor<&TdxSkinElement::Getter>(info->Member, clDefault) \
                                : inherited::Operation();                                    \
  }
DX_SKIN_ELEMENT_COLOR(DefaultHeaderColor, Header, Color)
DX_SKIN_ELEMENT_COLOR(DefaultHeaderTextColor, Header, TextColor)
DX_SKIN_ELEMENT_COLOR(DefaultGroupByBoxTextColor, GridGroupByBox, TextColor)
DX_SKIN_ELEMENT_COLOR(DefaultGridLineColor, GridLine, Color)
DX_SKIN_ELEMENT_COLOR(DefaultFixedSeparatorColor, GridFixedLine, Color)
DX_SKIN_ELEMENT_COLOR(DefaultRecordSeparatorColor, GridFixedLine, Color)
DX_SKIN_ELEMENT_COLOR(DefaultSeparatorColor, CardViewSeparator, Color)
DX_SKIN_ELEMENT_COLOR(DefaultGroupColor, GridGroupRow, Color)
DX_SKIN_ELEMENT_COLOR(DefaultGroupTextColor, GridGroupRow, TextColor)
DX_SKIN_ELEMENT_COLOR(DefaultFilterBoxTextColor, FilterPanel, TextColor)
DX_SKIN_ELEMENT_COLOR(DefaultVGridLineColor, VGridLine[0], Color)
DX_SKIN_ELEMENT_COLOR(DefaultSchedulerViewTextColor, SchedulerAppointment[1], TextColor)
DX_SKIN_ELEMENT_COLOR(DefaultVGridBandLineColor, VGridLine[1], Color)
DX_SKIN_ELEMENT_COLOR(DefaultVGridCategoryColor, VGridCategory, Color)
DX_SKIN_ELEMENT_COLOR(DefaultVGridCategoryTextColor, VGridCategory, TextColor)
DX_SKIN_ELEMENT_COLOR(DefaultVGridHeaderColor, VGridRowHeader, Color)
DX_SKIN_ELEMENT_COLOR(DefaultVGridHeaderTextColor, VGridRowHeader, TextColor)
#undef DX_SKIN_ELEMENT_COLOR

TColor TdxSkinLookAndFeelPainter::DefaultHeaderBackgroundColor() const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  return info && info->HeaderBackgroundColor ? info->HeaderBackgroundColor->Value()
                                             : inherited::DefaultHeaderBackgroundColor();
}

TColor TdxSkinLookAndFeelPainter::DefaultHeaderBackgroundTextColor() const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  return info && info->HeaderBackgroundTextColor ? info->HeaderBackgroundTextColor->Value()
                                                 : inherited::DefaultHeaderBackgroundTextColor();
}

TColor TdxSkinLookAndFeelPainter::DefaultGridDetailsSiteColor() const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinColor* color = info ? info->ContentColor : nullptr;
  return color && color->Value() != clNone && color->Value() != clDefault ? color->Value()
                                                                           : inherited::DefaultGridDetailsSiteColor();
}

TcxBorders TdxSkinLookAndFeelPainter::HeaderBorders(TcxNeighbors ANeighbors) const {
  TcxBorders result = inherited::HeaderBorders(ANeighbors);
  if (ANeighbors.Contains(nLeft)) result.Exclude(bLeft);
  if (ANeighbors.Contains(nTop)) result.Exclude(bTop);
  return result;
}

bool TdxSkinLookAndFeelPainter::GridDrawHeaderCellsFirst() const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  return info && info->Header ? !info->Header->IsAlphaUsed() : inherited::GridDrawHeaderCellsFirst();
}

namespace {

bool IsColorSet(TColor AColor) { return AColor != clNone && AColor != clDefault; }

}  // namespace

TColor TdxSkinLookAndFeelPainter::PivotGridHeadersAreaColor() const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* area = info ? info->GridGroupByBox : nullptr;
  return area && IsColorSet(area->Color()) ? area->Color() : inherited::PivotGridHeadersAreaColor();
}

TColor TdxSkinLookAndFeelPainter::PivotGridHeadersAreaTextColor() const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* area = info ? info->GridGroupByBox : nullptr;
  return area && IsColorSet(area->TextColor()) ? area->TextColor() : inherited::PivotGridHeadersAreaTextColor();
}

int TdxSkinLookAndFeelPainter::FooterCellBorderSize() const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (!info || !info->FooterCell) return inherited::FooterCellBorderSize();
  const TRect& offset = info->FooterCell->ContentOffset();
  return std::max({offset.Left, offset.Top, offset.Right, offset.Bottom});
}

void TdxSkinLookAndFeelPainter::DrawFooterCellBorder(TcxCanvas* ACanvas, const TRect& R) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (!info || !info->FooterCell) inherited::DrawFooterCellBorder(ACanvas, R);
}

void TdxSkinLookAndFeelPainter::DrawHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                                           TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                                           TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                           bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                                           TFont* AFont, TColor ATextColor, TColor ABkColor,
                                           const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsLast,
                                           bool AIsGroup) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* element = info ? (AIsGroup ? info->HeaderSpecial : info->Header) : nullptr;
  if (!element)
    return inherited::DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState, AAlignmentHorz,
                                 AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor,
                                 AOnDrawBackground, AIsLast, AIsGroup);
  ACanvas->SaveClipRegion();
  ACanvas->IntersectClipRect(ABounds);
  // Neighbouring headers overlap their shared edges; the clip keeps each in its bounds.
  const TRect r(ABounds.Left - (ABorders.Contains(bLeft) ? 0 : 1), ABounds.Top - (ABorders.Contains(bTop) ? 0 : 1),
                ABounds.Right + (ABorders.Contains(bRight) ? 0 : 1),
                ABounds.Bottom + (ABorders.Contains(bBottom) ? 0 : 1));
  element->Draw(ACanvas->Handle(), r, 0, dxSkinButtonStateMap[AState]);
  DrawCellContent(ACanvas, HeaderContentBounds(ABounds, ABorders), ATextAreaBounds, AState, AAlignmentHorz,
                  AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor, AOnDrawBackground,
                  false);
  ACanvas->RestoreClipRegion();
}

void TdxSkinLookAndFeelPainter::DrawCellContent(TcxCanvas* ACanvas, const TRect& ABounds,
                                                const TRect& ATextAreaBounds, TcxButtonState AState,
                                                TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                                bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                                                TFont* AFont, TColor ATextColor, TColor ABkColor,
                                                const TcxDrawBackgroundEvent& AOnDrawBackground,
                                                bool AIsFooter) const {
  if (!SkinInfo())
    return inherited::DrawCellContent(ACanvas, ABounds, ATextAreaBounds, AState, AAlignmentHorz, AAlignmentVert,
                                      AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor,
                                      AOnDrawBackground, AIsFooter);
  if (AText.empty()) return;
  // No background: the element already stands behind the text.
  ACanvas->Brush()->SetStyle(bsClear);
  if (AFont) ACanvas->Font()->Assign(AFont);
  ACanvas->Font()->SetColor(ATextColor);
  TRect text = ATextAreaBounds;
  ACanvas->DrawTexT(AText, text, AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis);
  ACanvas->Brush()->SetStyle(bsSolid);
}

void TdxSkinLookAndFeelPainter::DrawGroupByBox(TcxCanvas* ACanvas, const TRect& ARect, bool ATransparent,
                                               TColor ABackgroundColor, TBitmap* ABackgroundBitmap) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (!info || !info->GridGroupByBox)
    return inherited::DrawGroupByBox(ACanvas, ARect, ATransparent, ABackgroundColor, ABackgroundBitmap);
  info->GridGroupByBox->Draw(ACanvas->Handle(), ARect);
}

void TdxSkinLookAndFeelPainter::DrawFilterPanel(TcxCanvas* ACanvas, const TRect& ARect, bool ATransparent,
                                                TColor ABackgroundColor, TBitmap* ABackgroundBitmap) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (!info || !info->FilterPanel)
    return inherited::DrawFilterPanel(ACanvas, ARect, ATransparent, ABackgroundColor, ABackgroundBitmap);
  info->FilterPanel->Draw(ACanvas->Handle(), ARect);
}

void TdxSkinLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                                         bool AIsFilterActive) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* element = info ? info->FilterButtons[AIsFilterActive ? 1 : 0] : nullptr;
  if (!element) return inherited::DrawFilterDropDownButton(ACanvas, R, AState, AIsFilterActive);
  element->Draw(ACanvas->Handle(), R, 0, dxSkinButtonStateMap[AState]);
}

void TdxSkinLookAndFeelPainter::DrawIndicatorImage(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (!info || !info->IndicatorImages) return inherited::DrawIndicatorImage(ACanvas, R, AKind);
  if (AKind == ikNone) return;
  static const int imageIndexes[] = {0, 0, 1, 2, 0, 0, 8};  // by TcxIndicatorKind
  const TSize size = info->IndicatorImages->Image()->Size();
  const int x = (R.Left + R.Right - size.cx) / 2, y = (R.Top + R.Bottom - size.cy) / 2;
  info->IndicatorImages->Draw(ACanvas->Handle(), TRect(x, y, x + size.cx, y + size.cy), imageIndexes[AKind]);
}

// ---------------------------------------------------------------------------
// Schedulers and date navigators
// ---------------------------------------------------------------------------

void TdxSkinLookAndFeelPainter::DrawSchedulerNavigationButtonContent(TcxCanvas* ACanvas, const TRect& ARect,
                                                                     const TRect& AArrowRect, bool AIsNextButton,
                                                                     TcxButtonState AState) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* button = info ? info->SchedulerNavigationButtons[AIsNextButton ? 1 : 0] : nullptr;
  if (!button)
    return inherited::DrawSchedulerNavigationButtonContent(ACanvas, ARect, AArrowRect, AIsNextButton, AState);
  // One pixel outwards, away from the view, inside the clip.
  const TRect r(ARect.Left - (AIsNextButton ? 0 : 1), ARect.Top, ARect.Right + (AIsNextButton ? 1 : 0), ARect.Bottom);
  ACanvas->SaveClipRegion();
  ACanvas->IntersectClipRect(ARect);
  button->Draw(ACanvas->Handle(), r, 0, dxSkinButtonStateMap[AState]);
  if (TdxSkinElement* arrow = info->SchedulerNavigationButtonsArrow[AIsNextButton ? 1 : 0])
    arrow->Draw(ACanvas->Handle(), AArrowRect, 0, dxSkinButtonStateMap[AState]);
  ACanvas->RestoreClipRegion();
}

void TdxSkinLookAndFeelPainter::CalculateSchedulerNavigationButtonRects(bool AIsNextButton, bool ACollapsed,
                                                                        TSize APrevButtonTextSize,
                                                                        TSize ANextButtonTextSize, TRect& ABounds,
                                                                        TRect& ATextRect, TRect& AArrowRect) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* button = info ? info->SchedulerNavigationButtons[AIsNextButton ? 1 : 0] : nullptr;
  const int minWidth = button ? button->MinSize().cx : 0;
  if (minWidth > 0 && ABounds.Width() < minWidth) {
    if (AIsNextButton)
      ABounds.Left = ABounds.Right - minWidth;
    else
      ABounds.Right = ABounds.Left + minWidth;
  }
  inherited::CalculateSchedulerNavigationButtonRects(AIsNextButton, ACollapsed, APrevButtonTextSize,
                                                     ANextButtonTextSize, ABounds, ATextRect, AArrowRect);
}

TColor TdxSkinLookAndFeelPainter::SchedulerNavigationButtonTextColor(bool AIsNextButton, TcxButtonState AState,
                                                                     TColor ADefaultColor) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* button = info ? info->SchedulerNavigationButtons[AIsNextButton ? 1 : 0] : nullptr;
  if (!button) return inherited::SchedulerNavigationButtonTextColor(AIsNextButton, AState, ADefaultColor);
  const TColor color = button->GetTextColor(AState);
  return color == clDefault ? ADefaultColor : color;
}

void TdxSkinLookAndFeelPainter::DrawSchedulerNavigatorButton(TcxCanvas* ACanvas, const TRect& R,
                                                             TcxButtonState AState) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  // No fallback: without the editor button nothing is drawn.
  if (info && info->EditButtonElements[0])
    info->EditButtonElements[0]->Draw(ACanvas->Handle(), R, 0, dxSkinButtonStateMap[AState]);
}

void TdxSkinLookAndFeelPainter::DrawDateNavigatorDateHeader(TcxCanvas* ACanvas, TRect& R) const {
  if (!SkinInfo()) return inherited::DrawDateNavigatorDateHeader(ACanvas, R);
  R.Left -= 1;
  R.Right += 1;
  DrawHeader(ACanvas, R, TRect(), TcxNeighbors(), TcxBorders(), cxbsNormal, taCenter, vaCenter, false, false, L"",
             nullptr, clBlack, clBlack, nullptr, false, false);
}
