#include "bars/model/dxBarScreenTip.h"

#include "bars/model/dxBarHints.h"
#include "foundation/cxClasses.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"

#include <cmath>

namespace {

// The grey every tip text is drawn in unless its font was set.
constexpr TColor kScreenTipTextColor = 0x4C4C4C;

template <class T>
void PublishBandProperties(TClassBuilder<T>& b) {
  b.Prop(L"Glyph", &T::Glyph, &T::SetGlyph).Stored = [](TObject* o) { return !static_cast<T*>(o)->Glyph()->Empty(); };
  b.Prop(L"Text", &T::Text, &T::SetText);
  DefaultValue(b.Prop(L"TextAlign", &T::TextAlign, &T::SetTextAlign), stbtaRight);
}

bool FontStored(TObject* ARepository, TdxBarScreenTipBandType AType) {
  return static_cast<TdxBarScreenTipRepository*>(ARepository)->AssignedFonts().Contains(AType);
}

}  // namespace

IMPLEMENT_CLASS(TdxBarCustomScreenTipBand, TPersistent, nullptr)

BEGIN_CLASS(TdxBarScreenTipBand, TdxBarCustomScreenTipBand, nullptr)
  PublishBandProperties(b);
END_CLASS

BEGIN_CLASS(TdxBarScreenTipFooterBand, TdxBarCustomScreenTipBand, nullptr)
  PublishBandProperties(b);
END_CLASS

BEGIN_CLASS(TdxBarScreenTip, TcxComponentCollectionItem, (ConstructWith<TdxBarScreenTip, TComponent>))
  using T = TdxBarScreenTip;
  b.Prop(L"Header", &T::Header, &T::SetHeader);
  b.Prop(L"Description", &T::Description, &T::SetDescription);
  b.Prop(L"Footer", &T::Footer, &T::SetFooter);
  DefaultValue(b.Prop(L"UseHintAsHeader", &T::UseHintAsHeader, &T::SetUseHintAsHeader), 0);
  DefaultValue(b.Prop(L"UseStandardFooter", &T::UseStandardFooter, &T::SetUseStandardFooter), 0);
  DefaultValue(b.Prop(L"Width", &T::Width, &T::SetWidth), 0);
END_CLASS

IMPLEMENT_CLASS(TdxBarScreenTipCollection, TcxComponentCollection, nullptr)

BEGIN_CLASS(TdxBarScreenTipRepository, TComponent, (ConstructWith<TdxBarScreenTipRepository, TComponent>))
  using R = TdxBarScreenTipRepository;
  b.Prop(L"AssignedFonts", &R::AssignedFonts, &R::SetAssignedFonts);
  b.Prop(L"DescriptionFont", &R::DescriptionFont, &R::SetDescriptionFont).Stored = [](TObject* o) {
    return FontStored(o, stbDescription);
  };
  b.Prop(L"FooterFont", &R::FooterFont, &R::SetFooterFont).Stored = [](TObject* o) {
    return FontStored(o, stbFooter);
  };
  b.Prop(L"HeaderFont", &R::HeaderFont, &R::SetHeaderFont).Stored = [](TObject* o) {
    return FontStored(o, stbHeader);
  };
  b.Prop(L"StandardFooter", &R::StandardFooter, &R::SetStandardFooter);
  DefaultValue(b.Prop(L"ShowDescription", &R::ShowDescription, &R::SetShowDescription), 1);
END_CLASS

int dxBarScaleToScreenDPI(int AValue) {
  const int ppi = Screen ? Screen->PixelsPerInch() : 96;
  // The quotient of two integers is exact in a double when it is a half, so
  // the current rounding mode (to nearest, halves to even) decides halves.
  return static_cast<int>(std::nearbyint(static_cast<double>(AValue) * ppi / 96));
}

bool dxBarScreenTipBandShown(TdxBarCustomScreenTipBand* ABand, const String& AHintText) {
  if (!ABand) return false;
  return !ABand->Text().empty() || !ABand->Glyph()->Empty() ||
         (ABand->BandType() == stbHeader && !AHintText.empty());
}

// ---------------------------------------------------------------------------
// Bands
// ---------------------------------------------------------------------------

TdxBarCustomScreenTipBand::TdxBarCustomScreenTipBand(TdxBarScreenTipBandType ABandType)
    : FBandType(ABandType), FGlyph(Make<TBitmap>()) {
  FGlyph->SetTransparent(true);
  FGlyph->OnChange = TNotifyEvent::Bind<&TdxBarCustomScreenTipBand::GlyphChanged>(this);
}

TdxBarCustomScreenTipBand::~TdxBarCustomScreenTipBand() { TObject::Free(FGlyph); }

void TdxBarCustomScreenTipBand::Assign(TPersistent* Source) {
  if (auto* band = dynamic_cast<TdxBarCustomScreenTipBand*>(Source)) {
    FText = band->FText;
    FTextAlign = band->FTextAlign;
    FGlyph->Assign(band->FGlyph);
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

void TdxBarCustomScreenTipBand::SetGlyph(TBitmap* AValue) { FGlyph->Assign(AValue); }

void TdxBarCustomScreenTipBand::SetText(const String& AValue) {
  if (FText == AValue) return;
  FText = AValue;
  Changed();
}

void TdxBarCustomScreenTipBand::SetTextAlign(TdxBarScreenTipBandTextAlign AValue) {
  if (FTextAlign == AValue) return;
  FTextAlign = AValue;
  Changed();
}

void TdxBarCustomScreenTipBand::Changed() {
  if (OnChange) OnChange(this);
}

TdxBarScreenTipBand::TdxBarScreenTipBand(TdxBarScreenTip* AScreenTip, TdxBarScreenTipBandType ABandType)
    : TdxBarCustomScreenTipBand(ABandType), FScreenTip(AScreenTip) {}

TFont* TdxBarScreenTipBand::Font() {
  TdxBarScreenTipRepository* repository = FScreenTip ? FScreenTip->Repository() : nullptr;
  return repository ? repository->BandFont(BandType()) : nullptr;
}

TdxBarScreenTipFooterBand::TdxBarScreenTipFooterBand(TdxBarScreenTipRepository* ARepository)
    : TdxBarCustomScreenTipBand(stbFooter), FRepository(ARepository) {}

TFont* TdxBarScreenTipFooterBand::Font() { return FRepository ? FRepository->BandFont(stbFooter) : nullptr; }

// ---------------------------------------------------------------------------
// Tips and their collection
// ---------------------------------------------------------------------------

TdxBarScreenTip::TdxBarScreenTip(TComponent* AOwner) : TcxComponentCollectionItem(AOwner) {
  for (int i = stbHeader; i <= stbFooter; ++i)
    FBands[i] = Make<TdxBarScreenTipBand>(this, static_cast<TdxBarScreenTipBandType>(i));
}

TdxBarScreenTip::~TdxBarScreenTip() {
  for (TdxBarScreenTipBand*& band : FBands) FreeAndNil(band);
}

void TdxBarScreenTip::BeforeDestruction() {
  IdxBarHintWindow* window = dxBarHintWindow();
  if (window && window->IsScreenTipMode() && window->IsVisible()) window->HideHint();
  TcxComponentCollectionItem::BeforeDestruction();
}

void TdxBarScreenTip::Assign(TPersistent* Source) {
  if (auto* tip = dynamic_cast<TdxBarScreenTip*>(Source)) {
    for (int i = stbHeader; i <= stbFooter; ++i) FBands[i]->Assign(tip->FBands[i]);
    FUseHintAsHeader = tip->FUseHintAsHeader;
    FUseStandardFooter = tip->FUseStandardFooter;
    FWidth = tip->FWidth;
    return;
  }
  TcxComponentCollectionItem::Assign(Source);
}

void TdxBarScreenTip::SetName(const String& ANewName) {
  const String oldName = Name();
  const auto* ownerControl = dynamic_cast<TControl*>(Owner());
  const bool follows = !ComponentState().Contains(csLoading) && Header()->Text() == oldName &&
                       !(ownerControl && ownerControl->ComponentState().Contains(csLoading));
  TcxComponentCollectionItem::SetName(ANewName);
  if (follows) Header()->SetText(ANewName);
}

String TdxBarScreenTip::GetDisplayName() { return Format(L"%s - '%s'", {Name(), Header()->Text()}); }

TdxBarScreenTipRepository* TdxBarScreenTip::Repository() const {
  auto* collection = dynamic_cast<TdxBarScreenTipCollection*>(Collection());
  return collection ? collection->Repository() : nullptr;
}

int TdxBarScreenTip::EffectiveWidth() {
  if (FWidth != 0) return FWidth;
  return dxBarScaleToScreenDPI(Description()->Glyph()->Empty() ? 210 : 318);
}

TdxBarCustomScreenTipBand* TdxBarScreenTip::BandForType(TdxBarScreenTipBandType AType) {
  TdxBarScreenTipRepository* repository = Repository();
  if (AType == stbFooter && FUseStandardFooter && repository) return repository->StandardFooter();
  return FBands[AType];
}

TcxComponentCollection* TdxBarScreenTip::CollectionOfParent(TComponent* AParent) {
  auto* repository = dynamic_cast<TdxBarScreenTipRepository*>(AParent);
  if (!repository) throw EInvalidCast(L"Invalid class typecast");
  return repository->Items();
}

TdxBarScreenTipCollection::TdxBarScreenTipCollection(TdxBarScreenTipRepository* ARepository)
    : TcxComponentCollection(ARepository, TdxBarScreenTip::StaticClass()), FRepository(ARepository) {}

TdxBarScreenTip* TdxBarScreenTipCollection::Add() {
  auto* tip = static_cast<TdxBarScreenTip*>(TcxComponentCollection::Add());
  if (TComponent* owner = FRepository->Owner())
    tip->SetName(cxMakeUniqueComponentName(owner, FRepository, tip, L"TdxBar", String()));
  return tip;
}

// ---------------------------------------------------------------------------
// Repository
// ---------------------------------------------------------------------------

TdxBarScreenTipRepository::TdxBarScreenTipRepository(TComponent* AOwner) : TComponent(AOwner) {
  FSystemFont = Make<TFont>();
  for (int i = stbHeader; i <= stbFooter; ++i) {
    FFonts[i] = Make<TFont>();
    SetBandFontDefaults(FFonts[i], static_cast<TdxBarScreenTipBandType>(i));
    FFonts[i]->OnChange = TNotifyEvent::Bind<&TdxBarScreenTipRepository::MarkFontAssigned>(this);
  }
  FStandardFooter = Make<TdxBarScreenTipFooterBand>(this);
}

void TdxBarScreenTipRepository::AfterConstruction() {
  TComponent::AfterConstruction();
  FItems = CreateItems();
  FShowDescription = true;
}

TdxBarScreenTipRepository::~TdxBarScreenTipRepository() {
  FreeAndNil(FItems);
  FreeAndNil(FStandardFooter);
  for (TFont*& font : FFonts) FreeAndNil(font);
  FreeAndNil(FSystemFont);
}

TdxBarScreenTipCollection* TdxBarScreenTipRepository::CreateItems() {
  return Make<TdxBarScreenTipCollection>(this);
}

void TdxBarScreenTipRepository::Assign(TPersistent* Source) {
  auto* repository = dynamic_cast<TdxBarScreenTipRepository*>(Source);
  if (!repository) {
    TComponent::Assign(Source);
    return;
  }
  FItems->Assign(repository->FItems);
  FStandardFooter->Assign(repository->FStandardFooter);
  SetDescriptionFont(repository->DescriptionFont());
  SetFooterFont(repository->FooterFont());
  SetHeaderFont(repository->HeaderFont());
  FAssignedFonts = repository->FAssignedFonts;
  FShowDescription = repository->FShowDescription;
}

void TdxBarScreenTipRepository::GetChildren(TGetChildProc AProc, TComponent* ARoot) {
  for (int i = 0; i < FItems->Count(); ++i)
    if (FItems->Items(i)->Owner() == ARoot) AProc(FItems->Items(i));
}

void TdxBarScreenTipRepository::SetHeaderFont(TFont* AValue) { FFonts[stbHeader]->Assign(AValue); }
void TdxBarScreenTipRepository::SetDescriptionFont(TFont* AValue) { FFonts[stbDescription]->Assign(AValue); }
void TdxBarScreenTipRepository::SetFooterFont(TFont* AValue) { FFonts[stbFooter]->Assign(AValue); }

TFont* TdxBarScreenTipRepository::BandFont(TdxBarScreenTipBandType AType) {
  return FAssignedFonts.Contains(AType) ? FFonts[AType] : SystemBandFont(AType);
}

TFont* TdxBarScreenTipRepository::SystemBandFont(TdxBarScreenTipBandType AType) {
  SetBandFontDefaults(FSystemFont, AType);
  return FSystemFont;
}

void TdxBarScreenTipRepository::SetBandFontDefaults(TFont* AFont, TdxBarScreenTipBandType AType) {
  const TNotifyEvent handler = AFont->OnChange;
  AFont->OnChange = TNotifyEvent();
  if (Screen) AFont->Assign(Screen->HintFont());
  AFont->SetColor(kScreenTipTextColor);
  TFontStyles style = AFont->Style();
  if (AType == stbDescription)
    style.Exclude(fsBold);
  else
    style.Include(fsBold);
  AFont->SetStyle(style);
  AFont->OnChange = handler;
}

void TdxBarScreenTipRepository::MarkFontAssigned(TObject* Sender) {
  if (ComponentState().Contains(csLoading)) return;
  for (int i = stbHeader; i <= stbFooter; ++i)
    if (Sender == FFonts[i]) FAssignedFonts.Include(static_cast<TdxBarScreenTipBandType>(i));
}
