// The skin painter's operations for editors and small controls: check and
// radio buttons, label lines, editor buttons, borders, size grips, progress
// and track bars, splitters, window content, group boxes and panels.
#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxGraphicsRoutines.h"
#include "skins/dxSkinsLookAndFeelPainter.h"

namespace {

TRect Deflated(const TRect& R, const TRect& AOffset) {
  return TRect(R.Left + AOffset.Left, R.Top + AOffset.Top, R.Right - AOffset.Right, R.Bottom - AOffset.Bottom);
}

}  // namespace

#define DX_SKIN_ELEMENT_SIZE(Operation, Member)                                             \
  TSize TdxSkinLookAndFeelPainter::Operation() const {                                      \
    TdxSkinLookAndFeelPainterInfo* info = SkinInfo();                                       \
    return info && info->Member ? info->Member->Size() : inherited::Operation();            \
  }
DX_SKIN_ELEMENT_SIZE(CheckButtonSize, CheckboxElement)
DX_SKIN_ELEMENT_SIZE(RadioButtonSize, RadioGroupButton)
DX_SKIN_ELEMENT_SIZE(EditButtonSize, EditButtonElements[0])
DX_SKIN_ELEMENT_SIZE(SizeGripSize, SizeGrip)
DX_SKIN_ELEMENT_SIZE(NavigatorGlyphSize, NavigatorGlyphs)
#undef DX_SKIN_ELEMENT_SIZE

void TdxSkinLookAndFeelPainter::DrawRadioButton(TcxCanvas* ACanvas, int X, int Y, TcxButtonState AButtonState,
                                                bool AChecked, bool AFocused, TColor ABrushColor,
                                                bool AIsDesigning) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* element = info ? info->RadioGroupButton : nullptr;
  if (!element)
    return inherited::DrawRadioButton(ACanvas, X, Y, AButtonState, AChecked, AFocused, ABrushColor, AIsDesigning);
  const TSize size = element->Size();
  const TRect r(X, Y, X + size.cx, Y + size.cy);
  if (ABrushColor != clDefault) ACanvas->FillRect(r, ABrushColor);
  element->Draw(ACanvas->Handle(), r, AChecked ? 1 : 0, dxSkinButtonStateMap[AButtonState]);
}

void TdxSkinLookAndFeelPainter::DrawLabelLine(TcxCanvas* ACanvas, const TRect& R, TColor AOuterColor,
                                              TColor AInnerColor, bool AIsVertical) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* element = info ? info->LabelLine[AIsVertical ? 1 : 0] : nullptr;
  if (!element) return inherited::DrawLabelLine(ACanvas, R, AOuterColor, AInnerColor, AIsVertical);
  element->Draw(ACanvas->Handle(), R);
}

int TdxSkinLookAndFeelPainter::LabelLineHeight() const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  return info && info->LabelLine[0] ? info->LabelLine[0]->MinSize().cy : inherited::LabelLineHeight();
}

void TdxSkinLookAndFeelPainter::DrawEditorButton(TcxCanvas* ACanvas, const TRect& ARect, TcxEditBtnKind AButtonKind,
                                                 TcxButtonState AState) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* button = info ? info->EditButtonElements[AButtonKind == cxbkCloseBtn ? 1 : 0] : nullptr;
  if (!button) return inherited::DrawEditorButton(ACanvas, ARect, AButtonKind, AState);
  button->Draw(ACanvas->Handle(), ARect, 0, dxSkinButtonStateMap[AState]);
  TdxSkinElement* plain = info->EditButtonElements[0];
  const TRect content = plain ? Deflated(ARect, plain->ContentOffset()) : ARect;
  switch (AButtonKind) {
    case cxbkCloseBtn:
      break;
    case cxbkEllipsisBtn: {
      const int s = content.Width() >= 12 ? 2 : 1;
      const int x0 = (content.Left + content.Right - (3 * s + 4)) / 2;
      const int y0 = (content.Top + content.Bottom - s) / 2;
      const TColor color = info->EditButtonElements[0] ? info->EditButtonElements[0]->TextColor() : clDefault;
      for (int i = 0; i < 3; ++i) ACanvas->FillRect(TRect(x0 + i * (s + 2), y0, x0 + i * (s + 2) + s, y0 + s), color);
      break;
    }
    default:
      if (TdxSkinElement* glyph = info->EditButtonGlyphs[AButtonKind]) glyph->Glyph()->Draw(ACanvas->Handle(), content);
      break;
  }
}

TColor TdxSkinLookAndFeelPainter::EditButtonTextColor() const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  return info && info->EditButtonElements[0] ? info->EditButtonElements[0]->TextColor()
                                             : inherited::EditButtonTextColor();
}

void TdxSkinLookAndFeelPainter::DrawBorder(TcxCanvas* ACanvas, const TRect& R) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (!info || !info->ContainerBorderColor) return inherited::DrawBorder(ACanvas, R);
  ACanvas->FrameRect(R, info->ContainerBorderColor->Value());
}

void TdxSkinLookAndFeelPainter::DrawSizeGrip(TcxCanvas* ACanvas, const TRect& ARect, TColor ABackgroundColor) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (!info || !info->SizeGrip) return inherited::DrawSizeGrip(ACanvas, ARect, ABackgroundColor);
  ACanvas->FillRect(ARect, ABackgroundColor);
  info->SizeGrip->Draw(ACanvas->Handle(), ARect);
}

TColor TdxSkinLookAndFeelPainter::DefaultSizeGripAreaColor() const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (info && info->FormContent && info->FormContent->Color() != clDefault) return info->FormContent->Color();
  return inherited::DefaultSizeGripAreaColor();
}

void TdxSkinLookAndFeelPainter::DrawProgressBarBorder(TcxCanvas* ACanvas, const TRect& ARect, bool AVertical) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* element = info ? info->ProgressBarElements[AVertical ? 1 : 0] : nullptr;
  if (!element) return inherited::DrawProgressBarBorder(ACanvas, ARect, AVertical);
  element->Draw(ACanvas->Handle(), ARect);
}

void TdxSkinLookAndFeelPainter::DrawProgressBarChunk(TcxCanvas* ACanvas, const TRect& ARect, bool AVertical) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* element = info ? info->ProgressBarElements[2 + (AVertical ? 1 : 0)] : nullptr;
  if (!element) return inherited::DrawProgressBarChunk(ACanvas, ARect, AVertical);
  element->Draw(ACanvas->Handle(), ARect);
}

void TdxSkinLookAndFeelPainter::DrawTrackBarTrack(TcxCanvas* ACanvas, const TRect& ARect, const TRect& ASelection,
                                                  bool AShowSelection, bool AEnabled, bool AHorizontal,
                                                  TColor ATrackColor) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* element = info ? info->TrackBarTrack[AHorizontal ? 1 : 0] : nullptr;
  if (!element)
    return inherited::DrawTrackBarTrack(ACanvas, ARect, ASelection, AShowSelection, AEnabled, AHorizontal,
                                        ATrackColor);
  element->Draw(ACanvas->Handle(), ARect, AEnabled ? 0 : 2);
  if (AShowSelection) element->Draw(ACanvas->Handle(), ASelection, AEnabled ? 1 : 3);
}

int TdxSkinLookAndFeelPainter::TrackBarTrackSize() const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  return info && info->TrackBarTrack[1] ? info->TrackBarTrack[1]->Size().cy : inherited::TrackBarTrackSize();
}

void TdxSkinLookAndFeelPainter::DrawTrackBarThumb(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                                                  bool AHorizontal, TcxTrackBarTicksAlign ATicks,
                                                  TColor AThumbColor) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* element = info ? info->TrackBarThumb[AHorizontal ? 1 : 0][ATicks] : nullptr;
  if (!element) return inherited::DrawTrackBarThumb(ACanvas, ARect, AState, AHorizontal, ATicks, AThumbColor);
  element->Draw(ACanvas->Handle(), ARect, 0, dxSkinButtonStateMap[AState]);
}

TSize TdxSkinLookAndFeelPainter::TrackBarThumbSize(bool AHorizontal) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* element = info ? info->TrackBarThumb[AHorizontal ? 1 : 0][tbtaDown] : nullptr;
  return element ? element->Size() : inherited::TrackBarThumbSize(AHorizontal);
}

void TdxSkinLookAndFeelPainter::DrawSplitter(TcxCanvas* ACanvas, const TRect& ARect, bool AHighlighted, bool AClicked,
                                             bool AHorizontal) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* element = info ? info->Splitter[AHorizontal ? 1 : 0] : nullptr;
  if (!element) return inherited::DrawSplitter(ACanvas, ARect, AHighlighted, AClicked, AHorizontal);
  element->Draw(ACanvas->Handle(), ARect, 0, AHighlighted ? esHot : esNormal);
}

TSize TdxSkinLookAndFeelPainter::GetSplitterSize(bool AHorizontal) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* element = info ? info->Splitter[AHorizontal ? 1 : 0] : nullptr;
  return element ? element->Size() : inherited::GetSplitterSize(AHorizontal);
}

void TdxSkinLookAndFeelPainter::DrawWindowContent(TcxCanvas* ACanvas, const TRect& ARect) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (!info || !info->FormContent) return inherited::DrawWindowContent(ACanvas, ARect);
  ACanvas->FillRect(ARect, info->FormContent->Color());
}

TColor TdxSkinLookAndFeelPainter::LayoutControlEmptyAreaColor() const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  return info && info->LayoutControlColor ? info->LayoutControlColor->Value()
                                          : inherited::LayoutControlEmptyAreaColor();
}

TColor TdxSkinLookAndFeelPainter::PanelTextColor() const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  return info && info->GroupBoxClient ? info->GroupBoxClient->TextColor() : inherited::PanelTextColor();
}

// ---------------------------------------------------------------------------
// Group boxes and panels
// ---------------------------------------------------------------------------

namespace {

TdxSkinElement* GroupBoxPart(TdxSkinLookAndFeelPainterInfo* AInfo, bool ACaption,
                             TcxGroupBoxCaptionPosition APosition) {
  if (!AInfo) return nullptr;
  if (!ACaption) return AInfo->GroupBoxElements[APosition];
  return APosition == cxgpCenter ? nullptr : AInfo->GroupBoxCaptionElements[APosition];
}

}  // namespace

void TdxSkinLookAndFeelPainter::DrawGroupBoxBackground(TcxCanvas* ACanvas, const TRect& ABounds,
                                                       const TRect& ARect) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (!info || !info->GroupBoxClient) return inherited::DrawGroupBoxBackground(ACanvas, ABounds, ARect);
  info->GroupBoxClient->Draw(ACanvas->Handle(), ABounds);
}

void TdxSkinLookAndFeelPainter::DrawGroupBoxCaption(TcxCanvas* ACanvas, const TRect& ACaptionRect,
                                                    TcxGroupBoxCaptionPosition ACaptionPosition) const {
  TdxSkinElement* element = GroupBoxPart(SkinInfo(), true, ACaptionPosition);
  if (!element) return inherited::DrawGroupBoxCaption(ACanvas, ACaptionRect, ACaptionPosition);
  element->Draw(ACanvas->Handle(), ACaptionRect);
}

void TdxSkinLookAndFeelPainter::DrawGroupBoxContent(TcxCanvas* ACanvas, const TRect& ABorderRect,
                                                    TcxGroupBoxCaptionPosition ACaptionPosition,
                                                    TcxBorders ABorders) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* frame = GroupBoxPart(info, false, ACaptionPosition);
  if (!frame || !info->GroupBoxClient)
    return inherited::DrawGroupBoxContent(ACanvas, ABorderRect, ACaptionPosition, ABorders);
  ACanvas->SaveClipRegion();
  // Each side with a border moves in by the frame's offset and border width there.
  const TRect& offset = frame->ContentOffset();
  auto inset = [&](TcxBorder side, int AOffset) {
    return ABorders.Contains(side) ? AOffset + frame->Borders()->Items(side)->Thin() : 0;
  };
  const TRect inner(ABorderRect.Left + inset(bLeft, offset.Left), ABorderRect.Top + inset(bTop, offset.Top),
                    ABorderRect.Right - inset(bRight, offset.Right),
                    ABorderRect.Bottom - inset(bBottom, offset.Bottom));
  info->GroupBoxClient->Draw(ACanvas->Handle(), inner);
  ACanvas->ExcludeClipRect(inner);
  frame->Draw(ACanvas->Handle(), ABorderRect);
  ACanvas->RestoreClipRegion();
}

void TdxSkinLookAndFeelPainter::DrawGroupBoxFrame(TcxCanvas* ACanvas, const TRect& R, bool AEnabled,
                                                  TcxGroupBoxCaptionPosition ACaptionPosition,
                                                  TcxBorders ABorders) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (!GroupBoxPart(info, false, ACaptionPosition) || !info->GroupBoxClient)
    return inherited::DrawGroupBoxFrame(ACanvas, R, AEnabled, ACaptionPosition, ABorders);
  DrawGroupBoxContent(ACanvas, R, ACaptionPosition, ABorders);
}

void TdxSkinLookAndFeelPainter::DrawGroupBoxExpandButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                                         bool AExpanded) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (!info || !info->GroupExpandButton) return inherited::DrawGroupBoxExpandButton(ACanvas, R, AState, AExpanded);
  info->GroupExpandButton->Draw(ACanvas->Handle(), R, AExpanded ? 0 : 1, dxSkinButtonStateMap[AState]);
}

TRect TdxSkinLookAndFeelPainter::GroupBoxBorderSize(bool ACaption, TcxGroupBoxCaptionPosition ACaptionPosition) const {
  TdxSkinElement* element = GroupBoxPart(SkinInfo(), ACaption, ACaptionPosition);
  return element ? element->ContentOffset() : inherited::GroupBoxBorderSize(ACaption, ACaptionPosition);
}

TColor TdxSkinLookAndFeelPainter::GroupBoxTextColor(bool AEnabled, TcxGroupBoxCaptionPosition ACaptionPosition) const {
  if (ACaptionPosition == cxgpCenter) return PanelTextColor();
  TdxSkinElement* element = GroupBoxPart(SkinInfo(), true, ACaptionPosition);
  return element ? element->TextColor() : inherited::GroupBoxTextColor(AEnabled, ACaptionPosition);
}

bool TdxSkinLookAndFeelPainter::IsGroupBoxTransparent(bool AIsCaption,
                                                      TcxGroupBoxCaptionPosition ACaptionPosition) const {
  TdxSkinElement* element = GroupBoxPart(SkinInfo(), AIsCaption, ACaptionPosition);
  return element ? element->IsAlphaUsed() : inherited::IsGroupBoxTransparent(AIsCaption, ACaptionPosition);
}

void TdxSkinLookAndFeelPainter::DrawPanelBorders(TcxCanvas* ACanvas, const TRect& ABorderRect) const {
  TdxSkinElement* frame = GroupBoxPart(SkinInfo(), false, cxgpCenter);
  if (!frame) return inherited::DrawPanelBorders(ACanvas, ABorderRect);
  ACanvas->SaveClipRegion();
  ACanvas->ExcludeClipRect(Deflated(ABorderRect, frame->ContentOffset()));
  frame->Draw(ACanvas->Handle(), ABorderRect);
  ACanvas->RestoreClipRegion();
}

void TdxSkinLookAndFeelPainter::DrawPanelContent(TcxCanvas* ACanvas, const TRect& ABorderRect, bool ABorder) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (!info || !info->GroupBoxClient) return inherited::DrawPanelContent(ACanvas, ABorderRect, ABorder);
  info->GroupBoxClient->Draw(ACanvas->Handle(), ABorderRect);
  if (ABorder) DrawPanelBorders(ACanvas, ABorderRect);
}

// ---------------------------------------------------------------------------
// Scroll-bar thumbs and navigator glyphs
// ---------------------------------------------------------------------------

int TdxSkinLookAndFeelPainter::ScrollBarMinimalThumbSize(bool AVertical) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinScrollInfo* entry = info ? info->ScrollBar_Elements[AVertical ? 0 : 1][sbpThumbnail] : nullptr;
  // A skin without the thumb measures as the Office 2003 look does.
  if (!entry || !entry->Element()) return inherited::ScrollBarMinimalThumbSize(AVertical);
  const TSize size = entry->Element()->Size();
  return AVertical ? size.cy : size.cx;
}

void dxSkinGrayPixels(RGBQUAD* APixels, int ACount) {
  for (int i = 0; i < ACount; ++i) {
    RGBQUAD& p = APixels[i];
    const Byte grey = Byte((2 * p.rgbReserved + p.rgbRed + p.rgbGreen + p.rgbBlue) / 5);
    p.rgbRed = p.rgbGreen = p.rgbBlue = grey;
  }
}

void TdxSkinLookAndFeelPainter::DrawNavigatorGlyph(TcxCanvas* ACanvas, TCustomImageList* AImageList, int AImageIndex,
                                                   int AButtonIndex, const TRect& AGlyphRect, bool AEnabled,
                                                   bool AUserGlyphs) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (!info || !info->NavigatorGlyphs || !info->NavigatorGlyphsVert || AUserGlyphs)
    return inherited::DrawNavigatorGlyph(ACanvas, AImageList, AImageIndex, AButtonIndex, AGlyphRect, AEnabled,
                                         AUserGlyphs);
  TdxSkinElement* element = info->NavigatorGlyphs;
  int index = AImageIndex;
  if (index >= element->ImageCount()) {
    index -= element->ImageCount();
    element = info->NavigatorGlyphsVert;
  }
  if (AEnabled) return element->Draw(ACanvas->Handle(), AGlyphRect, index);
  if (AGlyphRect.IsEmpty()) return;
  TObjectPtr<TcxAlphaBitmap> bitmap(Make<TcxAlphaBitmap>(AGlyphRect.Width(), AGlyphRect.Height()));
  element->Draw(bitmap->Canvas()->Handle(), bitmap->ClientRect(), index);
  TRGBColors pixels;
  bitmap->GetBitmapColors(pixels);
  dxSkinGrayPixels(pixels.data(), int(pixels.size()));
  bitmap->SetBitmapColors(pixels);
  cxAlphaBlendBitmap(ACanvas->Handle(), bitmap.get(), AGlyphRect, bitmap->ClientRect(), false, 255);
}
