#include "editors/core/cxEditButtons.h"

#include "foundation/cxClasses.h"
#include "foundation/cxControlsRoutines.h"
#include "foundation/cxGraphicsCanvas.h"

// ---------------------------------------------------------------------------
// TcxEditButton
// ---------------------------------------------------------------------------

TcxEditButton::TcxEditButton(TCollection* Collection) : TCollectionItem(Collection) {}

TcxEditButton::~TcxEditButton() { TObject::Free(FGlyph); }

void TcxEditButton::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxEditButton*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TCollection* collection = Collection();
  if (collection) collection->BeginUpdate();
  try {
    FCaption = source->FCaption;
    FVisibleCaption = source->FVisibleCaption;
    FContentAlignment = source->FContentAlignment;
    FDefault = source->FDefault;
    FEnabled = source->FEnabled;
    SetGlyph(source->FGlyph);
    FKind = source->FKind;
    FLeftAlignment = source->FLeftAlignment;
    FStretchable = source->FStretchable;
    FTag = source->FTag;
    FTextColor = source->FTextColor;
    FVisible = source->FVisible;
    FWidth = source->FWidth;
    FHint = source->FHint;
    Changed(false);
  } catch (...) {
    if (collection) collection->EndUpdate();
    throw;
  }
  if (collection) collection->EndUpdate();
}

void TcxEditButton::SetAndSignal(bool& AField, bool AValue) {
  if (AField == AValue) return;
  AField = AValue;
  Changed(false);
}

void TcxEditButton::SetCaption(const String& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  FVisibleCaption = cxStripAccelAmpersands(Value, true);
  Changed(false);
}

void TcxEditButton::SetContentAlignment(TAlignment Value) {
  if (FContentAlignment == Value) return;
  FContentAlignment = Value;
  Changed(false);
}

void TcxEditButton::SetDefault(bool Value) {
  if (FDefault == Value) return;
  if (Value && Collection())
    for (int i = 0; i < Collection()->Count(); ++i)
      if (auto* other = dynamic_cast<TcxEditButton*>(Collection()->Items(i)); other && other != this)
        other->FDefault = false;
  FDefault = Value;
  Changed(true);
}

void TcxEditButton::SetEnabled(bool Value) { SetAndSignal(FEnabled, Value); }

TBitmap* TcxEditButton::Glyph() {
  if (!FGlyph) {
    FGlyph = Make<TBitmap>();
    FGlyph->OnChange = TNotifyEvent::Bind<&TcxEditButton::GlyphChanged>(this);
  }
  return FGlyph;
}

void TcxEditButton::SetGlyph(TBitmap* Value) {
  if (!Value) {
    FreeAndNil(FGlyph);
  } else {
    TBitmap* glyph = Glyph();
    glyph->OnChange = TNotifyEvent();
    glyph->Assign(Value);
    glyph->OnChange = TNotifyEvent::Bind<&TcxEditButton::GlyphChanged>(this);
  }
  Changed(false);
}

void TcxEditButton::GlyphChanged(TObject*) { Changed(false); }

void TcxEditButton::SetKind(TcxEditButtonKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  Changed(false);
}

void TcxEditButton::SetLeftAlignment(bool Value) { SetAndSignal(FLeftAlignment, Value); }
void TcxEditButton::SetStretchable(bool Value) { SetAndSignal(FStretchable, Value); }
void TcxEditButton::SetVisible(bool Value) { SetAndSignal(FVisible, Value); }

void TcxEditButton::SetTextColor(TColor Value) {
  if (FTextColor == Value) return;
  FTextColor = Value;
  Changed(false);
}

void TcxEditButton::SetWidth(int Value) {
  if (Value < 0 || FWidth == Value) return;
  FWidth = Value;
  Changed(false);
}

BEGIN_CLASS(TcxEditButton, TCollectionItem, (ConstructWith<TcxEditButton, TCollection>))
  b.Prop(L"Caption", &TcxEditButton::Caption, &TcxEditButton::SetCaption);
  DefaultValue(b.Prop(L"ContentAlignment", &TcxEditButton::ContentAlignment, &TcxEditButton::SetContentAlignment),
               taCenter);
  DefaultValue(b.Prop(L"Default", &TcxEditButton::Default, &TcxEditButton::SetDefault), false);
  DefaultValue(b.Prop(L"Enabled", &TcxEditButton::Enabled, &TcxEditButton::SetEnabled), true);
  b.Prop(L"Glyph", &TcxEditButton::Glyph, &TcxEditButton::SetGlyph).Stored = [](TObject* o) {
    TBitmap* glyph = static_cast<TcxEditButton*>(o)->GlyphIfAny();
    return glyph && !glyph->Empty();
  };
  b.Prop(L"Hint", &TcxEditButton::Hint, &TcxEditButton::SetHint);
  DefaultValue(b.Prop(L"Kind", &TcxEditButton::Kind, &TcxEditButton::SetKind), bkDown);
  DefaultValue(b.Prop(L"LeftAlignment", &TcxEditButton::LeftAlignment, &TcxEditButton::SetLeftAlignment), false);
  DefaultValue(b.Prop(L"Stretchable", &TcxEditButton::Stretchable, &TcxEditButton::SetStretchable), true);
  DefaultValue(b.Prop(L"Tag", &TcxEditButton::Tag, &TcxEditButton::SetTag), 0);
  DefaultValue(b.Prop(L"Visible", &TcxEditButton::Visible, &TcxEditButton::SetVisible), true);
  DefaultValue(b.Prop(L"Width", &TcxEditButton::Width, &TcxEditButton::SetWidth), 0);
END_CLASS

// ---------------------------------------------------------------------------
// TcxEditButtons
// ---------------------------------------------------------------------------

TcxEditButtons::TcxEditButtons(TPersistent* AOwner, TcxEditButtonClass AButtonClass)
    : TOwnedCollection(AOwner, AButtonClass) {}

int TcxEditButtons::VisibleCount() const {
  int count = 0;
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Visible()) ++count;
  return count;
}

void TcxEditButtons::Update(TCollectionItem* Item) {
  inherited::Update(Item);
  cxInvokeNotifyEvent(this, OnChange);
}

IMPLEMENT_CLASS(TcxEditButtons, TOwnedCollection, nullptr)

// ---------------------------------------------------------------------------
// TcxEditButtonViewInfo
// ---------------------------------------------------------------------------

void TcxEditButtonViewInfo::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxEditButtonViewInfo*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  Data.NativeState = source->Data.NativeState;
  Data.BackgroundColor = source->Data.BackgroundColor;
  Bounds = source->Bounds;
  Data.Style = source->Data.Style;
  Data.State = source->Data.State;
}

bool TcxEditButtonViewInfo::DiffersFrom(const TcxEditButtonViewInfo* AOld) const {
  return Data.Style != AOld->Data.Style || Data.State != AOld->Data.State ||
         Data.BackgroundColor != AOld->Data.BackgroundColor || Data.NativeState != AOld->Data.NativeState;
}

TcxRegion* TcxEditButtonViewInfo::GetUpdateRegion(const TcxEditButtonViewInfo* AOld) const {
  if (!DiffersFrom(AOld)) return Make<TcxRegion>();
  return Make<TcxRegion>(Bounds);
}

bool TcxEditButtonViewInfo::Repaint(HWND AWindow, const TcxEditButtonViewInfo* AOld,
                                    const TPoint& AEditPosition) const {
  if (!DiffersFrom(AOld)) return false;
  const RECT r{Bounds.Left + AEditPosition.X, Bounds.Top + AEditPosition.Y, Bounds.Right + AEditPosition.X,
               Bounds.Bottom + AEditPosition.Y};
  InvalidateRect(AWindow, &r, HasBackground);
  return true;
}

IMPLEMENT_CLASS(TcxEditButtonViewInfo, TPersistent, nullptr)
