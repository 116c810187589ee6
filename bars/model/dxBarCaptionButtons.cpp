#include "bars/model/dxBarCaptionButtons.h"

#include "bars/model/dxBarRoutines.h"
#include "bars/model/dxBarScreenTip.h"
#include "bars/model/dxBarToolbars.h"
#include "foundation/cxClasses.h"
#include "platform/gui/Graphics.h"

BEGIN_CLASS(TdxBarCaptionButton, TcxInterfacedCollectionItem, (ConstructWith<TdxBarCaptionButton, TCollection>))
  using B = TdxBarCaptionButton;
  DefaultValue(b.Prop(L"Enabled", &B::Enabled, &B::SetEnabled), 1);
  b.Prop(L"Glyph", &B::Glyph, &B::SetGlyph).Stored = [](TObject* o) { return !static_cast<B*>(o)->Glyph()->Empty(); };
  b.Prop(L"Hint", &B::Hint, &B::SetHint);
  b.Prop(L"KeyTip", &B::KeyTip, &B::SetKeyTip);
  b.Prop(L"ScreenTip", &B::ScreenTip, &B::SetScreenTip);
  b.Prop(L"OnClick", &B::OnClick, &B::SetOnClick);
END_CLASS

IMPLEMENT_CLASS(TdxBarCaptionButtons, TcxOwnedInterfacedCollection, nullptr)

// ---------------------------------------------------------------------------
// TdxBarCaptionButton
// ---------------------------------------------------------------------------

TdxBarCaptionButton::TdxBarCaptionButton(TCollection* ACollection) : TcxInterfacedCollectionItem(ACollection) {
  FGlyph = dxBarNewNotifyingBitmap(TNotifyEvent::Bind<&TdxBarCaptionButton::GlyphChanged>(this));
  FNotifyComponent = Make<TcxFreeNotificator>(nullptr);
  FNotifyComponent->OnFreeNotification = TcxFreeNotificationEvent::Bind<&TdxBarCaptionButton::ScreenTipFreed>(this);
}

TdxBarCaptionButton::~TdxBarCaptionButton() {
  SetScreenTip(nullptr);
  FreeAndNil(FNotifyComponent);
  FreeAndNil(FGlyph);
}

void TdxBarCaptionButton::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TdxBarCaptionButton*>(ASource);
  if (!source) {
    TcxInterfacedCollectionItem::Assign(ASource);
    return;
  }
  SetEnabled(source->Enabled());
  SetGlyph(source->Glyph());
  SetHint(source->Hint());
  SetKeyTip(source->KeyTip());
  FRect = source->Rect();
  SetScreenTip(source->ScreenTip());
  SetOnClick(source->OnClick());
}

TdxBarCaptionButtons* TdxBarCaptionButton::Buttons() const { return static_cast<TdxBarCaptionButtons*>(Collection()); }

void TdxBarCaptionButton::SetEnabled(bool AValue) {
  if (FEnabled == AValue) return;
  FEnabled = AValue;
  SetState(AValue ? StateNormal : StateDisabled);
}

void TdxBarCaptionButton::SetGlyph(TBitmap* AValue) { FGlyph->Assign(AValue); }

void TdxBarCaptionButton::GlyphChanged(TObject*) { Changed(false); }

void TdxBarCaptionButton::SetScreenTip(TdxBarScreenTip* AValue) {
  if (FScreenTip == AValue) return;
  if (FScreenTip) FNotifyComponent->RemoveSender(FScreenTip);
  FScreenTip = AValue;
  if (FScreenTip) FNotifyComponent->AddSender(FScreenTip);
}

void TdxBarCaptionButton::ScreenTipFreed(TComponent* Sender) {
  if (Sender == FScreenTip) FScreenTip = nullptr;
}

void TdxBarCaptionButton::SetState(int AValue) {
  if (FState == AValue) return;
  FState = AValue;
  TdxBarCaptionButtons* buttons = Buttons();
  if (IdxBarControl* control = buttons && buttons->Bar() ? buttons->Bar()->Control() : nullptr)
    control->ActivateItemHint(AValue == StateHot, FHint, this);
  Changed(false);
}

void TdxBarCaptionButton::SetOnClick(const TNotifyEvent& AValue) {
  FOnClick = AValue;
  Changed(true);
}

void TdxBarCaptionButton::Click() {
  if (FOnClick) FOnClick(this);
}

// ---------------------------------------------------------------------------
// TdxBarCaptionButtons
// ---------------------------------------------------------------------------

TdxBarCaptionButtons::TdxBarCaptionButtons(TdxBar* ABar)
    : TcxOwnedInterfacedCollection(ABar, TdxBarCaptionButton::StaticClass()), FBar(ABar) {}

TdxBarCaptionButton* TdxBarCaptionButtons::Add() {
  BeginUpdate();
  TdxBarCaptionButton* button = nullptr;
  try {
    button = static_cast<TdxBarCaptionButton*>(TCollection::Add());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  return button;
}

TRect TdxBarCaptionButtons::Rect() const {
  TRect result;
  bool any = false;
  for (int i = 0; i < Count(); ++i) {
    const TRect& r = Items(i)->Rect();
    if (r.IsEmpty()) continue;
    if (!any) {
      result = r;
      any = true;
    } else {
      result = TRect(std::min(result.Left, r.Left), std::min(result.Top, r.Top), std::max(result.Right, r.Right),
                     std::max(result.Bottom, r.Bottom));
    }
  }
  return result;
}

int TdxBarCaptionButtons::IndexOfButtonAt(const TPoint& APoint) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Enabled() && Items(i)->Rect().Contains(APoint)) return i;
  return -1;
}

void TdxBarCaptionButtons::UpdateButtonStates(const TPoint& AMousePos, bool AMousePressed) {
  for (int i = 0; i < Count(); ++i) {
    TdxBarCaptionButton* button = Items(i);
    if (!button->Enabled()) continue;
    if (!button->Rect().Contains(AMousePos) && !button->SelectedByNavigation())
      button->SetState(TdxBarCaptionButton::StateNormal);
    else
      button->SetState(AMousePressed ? TdxBarCaptionButton::StatePressed : TdxBarCaptionButton::StateHot);
  }
}

void TdxBarCaptionButtons::Update(TCollectionItem* AItem) {
  TcxOwnedInterfacedCollection::Update(AItem);
  if (IdxBarControl* control = FBar ? FBar->Control() : nullptr) control->RefreshFrame();
}
