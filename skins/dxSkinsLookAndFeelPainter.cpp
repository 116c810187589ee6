#include "skins/dxSkinsLookAndFeelPainter.h"

#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxLookAndFeelPaintersRegistry.h"
#include "skins/dxSkinsCoreDraw.h"

IMPLEMENT_CLASS(TdxSkinLookAndFeelPainter, TcxOffice11LookAndFeelPainter, nullptr)
IMPLEMENT_CLASS(TdxSkinLookAndFeelPainterCacheManager, TObject, nullptr)

const TdxSkinElementState dxSkinButtonStateMap[5] = {esActive, esNormal, esHot, esPressed, esDisabled};

namespace {

// A colour used only when it is set to a real colour.
bool IsSet(TdxSkinColor* AColor) {
  return AColor && AColor->Value() != clNone && AColor->Value() != clDefault;
}

}  // namespace

TcxCustomLookAndFeelPainterClass TdxSkinLookAndFeelPainter::Instance() {
  static const TdxSkinLookAndFeelPainter painter;
  return &painter;
}

TdxSkinLookAndFeelPainterInfo* TdxSkinLookAndFeelPainter::SkinInfo() const {
  TObject* data = nullptr;
  TcxExtendedStylePainters* registry = cxGetStylePainterRegistry();
  if (!registry || !registry->GetPainterData(this, data)) return nullptr;
  return dynamic_cast<TdxSkinLookAndFeelPainterInfo*>(data);
}

#define DX_SKIN_STRICT_COLOR(Operation, Member)                \
  TColor TdxSkinLookAndFeelPainter::Operation() const {        \
    TdxSkinLookAndFeelPainterInfo* info = SkinInfo();          \
    if (info && IsSet(info->Member)) return info->Member->Value(); \
    return inherited::Operation();                             \
  }
#define DX_SKIN_PRESENT_COLOR(Operation, Member)               \
  TColor TdxSkinLookAndFeelPainter::Operation() const {        \
    TdxSkinLookAndFeelPainterInfo* info = SkinInfo();          \
    if (info && info->Member) return info->Member->Value();    \
    return inherited::Operation();                             \
  }
DX_SKIN_STRICT_COLOR(DefaultContentColor, ContentColor)
DX_SKIN_STRICT_COLOR(DefaultContentEvenColor, ContentEvenColor)
DX_SKIN_STRICT_COLOR(DefaultContentOddColor, ContentOddColor)
DX_SKIN_STRICT_COLOR(DefaultContentTextColor, ContentTextColor)
DX_SKIN_STRICT_COLOR(DefaultHyperlinkTextColor, HyperLinkTextColor)
DX_SKIN_PRESENT_COLOR(DefaultSelectionColor, SelectionColor)
DX_SKIN_PRESENT_COLOR(DefaultSelectionTextColor, SelectionTextColor)
#undef DX_SKIN_STRICT_COLOR
#undef DX_SKIN_PRESENT_COLOR

TColor TdxSkinLookAndFeelPainter::DefaultEditorBackgroundColorEx(TcxEditStateColorKind AKind) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (info && IsSet(info->EditorBackgroundColors[AKind])) return info->EditorBackgroundColors[AKind]->Value();
  if (AKind == esckInactive || AKind == esckReadOnly) return DefaultEditorBackgroundColorEx(esckNormal);
  return inherited::DefaultEditorBackgroundColorEx(AKind);
}

TColor TdxSkinLookAndFeelPainter::DefaultEditorTextColorEx(TcxEditStateColorKind AKind) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (info && IsSet(info->EditorTextColors[AKind])) return info->EditorTextColors[AKind]->Value();
  if (AKind == esckInactive || AKind == esckReadOnly) return DefaultEditorTextColorEx(esckNormal);
  return inherited::DefaultEditorTextColorEx(AKind);
}

TColor TdxSkinLookAndFeelPainter::GetContainerBorderColor(bool AIsHighlightBorder) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinColor* color = info ? (AIsHighlightBorder ? info->ContainerHighlightBorderColor : info->ContainerBorderColor)
                             : nullptr;
  return color ? color->Value() : inherited::GetContainerBorderColor(AIsHighlightBorder);
}

void TdxSkinLookAndFeelPainter::DrawButton(TcxCanvas* ACanvas, const TRect& R, const String& ACaption,
                                           TcxButtonState AState, bool ADrawBorder, TColor AColor,
                                           TColor ATextColor, bool AWordWrap, bool AIsToolButton) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinElement* element = info ? info->ButtonElements : nullptr;
  if (!element)
    return inherited::DrawButton(ACanvas, R, ACaption, AState, ADrawBorder, AColor, ATextColor, AWordWrap, false);
  element->Draw(ACanvas->Handle(), R, 0, dxSkinButtonStateMap[AState]);
  const TRect& offset = element->ContentOffset();
  TRect text(R.Left + offset.Left, R.Top + offset.Top, R.Right - offset.Right, R.Bottom - offset.Bottom);
  ACanvas->Font()->SetColor(ATextColor != clDefault ? ATextColor : ButtonSymbolColor(AState, clDefault));
  ACanvas->Brush()->SetStyle(bsClear);
  text.Bottom -= (text.Bottom - text.Top) & 1;
  if (text.Height() < 18) --text.Top;
  if (AState == cxbsPressed) {
    const int shift = ButtonTextShift();
    text = TRect(text.Left + shift, text.Top + shift, text.Right + shift, text.Bottom + shift);
  }
  if (!ACaption.empty())
    ACanvas->DrawTexT(ACaption, text, cxtfCenterH | cxtfCenterV | cxtfShowPrefix | (AWordWrap ? cxtfWordBreak : cxtfSingleLine),
                      AState != cxbsDisabled);
  ACanvas->Brush()->SetStyle(bsSolid);
}

int TdxSkinLookAndFeelPainter::ButtonBorderSize(TcxButtonState AState) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  return info && info->ButtonElements ? 0 : inherited::ButtonBorderSize(AState);
}

TColor TdxSkinLookAndFeelPainter::ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (!info || !info->ButtonElements) return inherited::ButtonSymbolColor(AState, ADefaultColor);
  if (AState == cxbsDisabled && info->ButtonDisabled) return info->ButtonDisabled->Value();
  return info->ButtonElements->TextColor();
}

void TdxSkinLookAndFeelPainter::DrawCheckButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                                TcxCheckBoxState ACheckState) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (!info || !info->CheckboxElement) return inherited::DrawCheckButton(ACanvas, R, AState, ACheckState);
  info->CheckboxElement->Draw(ACanvas->Handle(), R, int(ACheckState), dxSkinButtonStateMap[AState]);
}

void TdxSkinLookAndFeelPainter::DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                 TColor AColor) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  if (!info || !info->ExpandButton) return inherited::DrawExpandButton(ACanvas, R, AExpanded, AColor);
  info->ExpandButton->Draw(ACanvas->Handle(), R, AExpanded ? 1 : 0);
}

int TdxSkinLookAndFeelPainter::ExpandButtonSize() const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  return info && info->ExpandButton ? info->ExpandButton->Size().cy : inherited::ExpandButtonSize();
}

void TdxSkinLookAndFeelPainter::DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                  TcxScrollBarPart APart, TcxButtonState AState) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinScrollInfo* entry = info ? info->ScrollBar_Elements[AHorizontal ? 1 : 0][APart] : nullptr;
  if (!entry || !entry->Element())
    return inherited::DrawScrollBarPart(ACanvas, AHorizontal, R, APart, AState);
  if ((APart == sbpPageUp || APart == sbpPageDown) && AState == cxbsNormal) return;
  entry->Draw(ACanvas->Handle(), R, dxSkinButtonStateMap[AState]);
}

void TdxSkinLookAndFeelPainter::DrawScrollBarBackground(TcxCanvas* ACanvas, const TRect& R, bool AHorizontal) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinScrollInfo* entry = info ? info->ScrollBar_Elements[AHorizontal ? 1 : 0][sbpPageUp] : nullptr;
  TdxSkinLookAndFeelPainterCacheManager* caches = dxSkinsPainterCacheManager();
  if (!entry || !entry->Element() || !caches) return inherited::DrawScrollBarBackground(ACanvas, R, AHorizontal);
  caches->DrawScrollBarBackground(ACanvas->Handle(), R, entry->Element(), AHorizontal);
}

void TdxSkinLookAndFeelPainter::DrawPrintPreviewBackground(TcxCanvas* ACanvas, const TRect& R) const {
  TdxSkinLookAndFeelPainterInfo* info = SkinInfo();
  TdxSkinLookAndFeelPainterCacheManager* caches = dxSkinsPainterCacheManager();
  if (!info || !info->PrintingPreviewBackground || !caches) return inherited::DrawPrintPreviewBackground(ACanvas, R);
  caches->DrawPreviewBackground(ACanvas->Handle(), R, info->PrintingPreviewBackground);
}

// ---------------------------------------------------------------------------
// Cache manager and module
// ---------------------------------------------------------------------------

TdxSkinLookAndFeelPainterCacheManager::TdxSkinLookAndFeelPainterCacheManager()
    : FScrollBarBackground{Make<TdxSkinElementCache>(), Make<TdxSkinElementCache>()},
      FPrintingPreviewBackground(Make<TdxSkinElementCache>()) {}

TdxSkinLookAndFeelPainterCacheManager::~TdxSkinLookAndFeelPainterCacheManager() {
  TObject::Free(FPrintingPreviewBackground);
  for (TdxSkinElementCache* cache : FScrollBarBackground) TObject::Free(cache);
}

void TdxSkinLookAndFeelPainterCacheManager::DrawScrollBarBackground(HDC DC, const TRect& R, TdxSkinElement* AElement,
                                                                    bool AHorizontal) {
  FScrollBarBackground[AHorizontal ? 1 : 0]->DrawEx(DC, AElement, R, esNormal, 0);
}

void TdxSkinLookAndFeelPainterCacheManager::Flush() {
  for (TdxSkinElementCache* cache : FScrollBarBackground) cache->Flush();
  FPrintingPreviewBackground->Flush();
}

void TdxSkinLookAndFeelPainterCacheManager::DrawPreviewBackground(HDC DC, const TRect& R, TdxSkinElement* AElement) {
  FPrintingPreviewBackground->DrawEx(DC, AElement, R, esNormal, 0);
}

namespace {

struct TPainterModule {
  int StartCount = 0;
  TdxSkinLookAndFeelPainterCacheManager* Caches = nullptr;
};

TPainterModule& PainterModule() {
  static TPainterModule module;
  return module;
}

}  // namespace

TdxSkinLookAndFeelPainterCacheManager* dxSkinsPainterCacheManager() { return PainterModule().Caches; }

void dxSkinsLookAndFeelPainterInitialize() {
  if (PainterModule().StartCount++ == 0) PainterModule().Caches = Make<TdxSkinLookAndFeelPainterCacheManager>();
}

void dxSkinsLookAndFeelPainterFinalize() {
  if (PainterModule().StartCount > 0 && --PainterModule().StartCount == 0) FreeAndNil(PainterModule().Caches);
}

TdxSkinLookAndFeelPainterInfo::~TdxSkinLookAndFeelPainterInfo() {
  if (TdxSkinLookAndFeelPainterCacheManager* caches = dxSkinsPainterCacheManager()) caches->Flush();
}

void TdxSkinLookAndFeelPainterInfo::HandleSkinChange(TdxSkin* ASkin) {
  if (TdxSkinLookAndFeelPainterCacheManager* caches = dxSkinsPainterCacheManager()) caches->Flush();
  inherited::HandleSkinChange(ASkin);
}
