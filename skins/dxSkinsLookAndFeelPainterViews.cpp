// The skin painter's operations for data views: headers and their text, the
// group-by box, filter panel and buttons, row indicators, and the colours of
// grids and vertical grids.
#include "foundation/cxGraphicsCanvas.h"
#include "skins/dxSkinsLookAndFeelPainter.h"

namespace {

// The element's colour or text colour once it exists (whatever the value).
template <TColor (TdxSkinElement::*Get)() const>
TColor ElementColor(TdxSkinElement* AElement, TColor AFallback) {
  return AElement ? (AElement->*Get)() : AFallback;
}

}  // namespace

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
