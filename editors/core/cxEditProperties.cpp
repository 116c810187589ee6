#include "editors/core/cxEditProperties.h"

#include "editors/core/cxEditButtons.h"
#include "editors/core/cxEditConsts.h"
#include "editors/core/cxVariants.h"

#include <algorithm>

namespace {

std::vector<TcxCustomEditProperties*>& Live() {
  static std::vector<TcxCustomEditProperties*> live;
  return live;
}

// Runs the update bracket's end also when the body raises.
struct TUpdateBracket {
  explicit TUpdateBracket(TcxCustomEditProperties* AProperties, bool AInvokeChanged = true)
      : Properties(AProperties), InvokeChanged(AInvokeChanged) {
    Properties->BeginUpdate();
  }
  ~TUpdateBracket() { Properties->EndUpdate(InvokeChanged); }
  TcxCustomEditProperties* Properties;
  bool InvokeChanged;
};

}  // namespace

TComponent* cxFindOwningComponent(TPersistent* APersistent) {
  while (APersistent) {
    if (auto* component = dynamic_cast<TComponent*>(APersistent)) return component;
    APersistent = cxGetOwnerOf(APersistent);
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// TcxCustomEditDefaultValuesProvider
// ---------------------------------------------------------------------------

TcxCustomEditDefaultValuesProvider::TcxCustomEditDefaultValuesProvider(TPersistent* AOwner)
    : TcxInterfacedPersistent(AOwner) {}

TcxCustomEditDefaultValuesProvider::~TcxCustomEditDefaultValuesProvider() { ClearUsers(); }

void TcxCustomEditDefaultValuesProvider::ClearUsers() {
  for (TcxCustomEditProperties* properties : TcxCustomEditProperties::LiveObjects())
    if (properties->IDefaultValuesProvider() && properties->IDefaultValuesProvider()->GetInstance() == GetInstance())
      properties->ClearDefaultValuesProvider();
}

IMPLEMENT_CLASS(TcxCustomEditDefaultValuesProvider, TcxInterfacedPersistent,
                (ConstructWith<TcxCustomEditDefaultValuesProvider, TPersistent>))

// ---------------------------------------------------------------------------
// TcxEditAlignment
// ---------------------------------------------------------------------------

TcxEditAlignment::TcxEditAlignment(TPersistent* AOwner) : FOwner(AOwner) {}

void TcxEditAlignment::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxEditAlignment*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  FVert = source->FVert;
  FHorz = source->FHorz;
  FIsHorzAssigned = source->FIsHorzAssigned;
  DoChanged();
}

void TcxEditAlignment::SetHorz(TAlignment Value) {
  if (FIsHorzAssigned && FHorz == Value) return;
  FHorz = Value;
  FIsHorzAssigned = true;
  DoChanged();
}

void TcxEditAlignment::SetVert(TcxEditVertAlignment Value) {
  if (FVert == Value) return;
  FVert = Value;
  DoChanged();
}

void TcxEditAlignment::Reset() {
  FIsHorzAssigned = false;
  DoChanged();
}

void TcxEditAlignment::DoChanged() { cxInvokeNotifyEvent(this, OnChanged); }

BEGIN_CLASS(TcxEditAlignment, TPersistent, nullptr)
  b.Prop(L"Horz", &TcxEditAlignment::Horz, &TcxEditAlignment::SetHorz).Stored = [](TObject* o) {
    return static_cast<TcxEditAlignment*>(o)->IsHorzAssigned();
  };
  DefaultValue(b.Prop(L"Vert", &TcxEditAlignment::Vert, &TcxEditAlignment::SetVert), taTopJustify);
END_CLASS

// ---------------------------------------------------------------------------
// TcxCustomEditPropertiesValues
// ---------------------------------------------------------------------------

TcxCustomEditPropertiesValues::TcxCustomEditPropertiesValues(TcxCustomEditProperties* AOwner) : FOwner(AOwner) {}

TPersistent* TcxCustomEditPropertiesValues::GetOwner() { return FOwner; }

void TcxCustomEditPropertiesValues::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomEditPropertiesValues*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateBracket bracket(FOwner);
  SetMaxValue(source->FMaxValue);
  SetMinValue(source->FMinValue);
  SetReadOnly(source->FReadOnly);
}

void TcxCustomEditPropertiesValues::RestoreDefaults() {
  TUpdateBracket bracket(FOwner);
  SetMaxValue(false);
  SetMinValue(false);
  SetReadOnly(false);
}

void TcxCustomEditPropertiesValues::SetFlag(bool& AFlag, bool AValue) {
  if (AFlag == AValue) return;
  AFlag = AValue;
  FOwner->Changed();
}

void TcxCustomEditPropertiesValues::SetMaxValue(bool Value) { SetFlag(FMaxValue, Value); }
void TcxCustomEditPropertiesValues::SetMinValue(bool Value) { SetFlag(FMinValue, Value); }
void TcxCustomEditPropertiesValues::SetReadOnly(bool Value) { SetFlag(FReadOnly, Value); }

namespace {
// A bound flag is stored only when set, its value is 0 (which the value's own
// stored rule leaves out) and the owner publishes a property of that name.
bool BoundFlagStored(TObject* o, bool AFlag, const Char* AName, double (TcxCustomEditProperties::*AValue)()) {
  auto* values = static_cast<TcxCustomEditPropertiesValues*>(o);
  TcxCustomEditProperties* owner = values->Properties();
  return AFlag && (owner->*AValue)() == 0 && owner->ClassType()->FindProperty(AName);
}
}  // namespace

BEGIN_CLASS(TcxCustomEditPropertiesValues, TPersistent,
            (ConstructWith<TcxCustomEditPropertiesValues, TcxCustomEditProperties>))
  b.Prop(L"MaxValue", &TcxCustomEditPropertiesValues::MaxValue, &TcxCustomEditPropertiesValues::SetMaxValue).Stored =
      [](TObject* o) {
        auto* v = static_cast<TcxCustomEditPropertiesValues*>(o);
        return BoundFlagStored(o, v->MaxValue(), L"MaxValue", &TcxCustomEditProperties::MaxValue);
      };
  b.Prop(L"MinValue", &TcxCustomEditPropertiesValues::MinValue, &TcxCustomEditPropertiesValues::SetMinValue).Stored =
      [](TObject* o) {
        auto* v = static_cast<TcxCustomEditPropertiesValues*>(o);
        return BoundFlagStored(o, v->MinValue(), L"MinValue", &TcxCustomEditProperties::MinValue);
      };
END_CLASS

// ---------------------------------------------------------------------------
// TcxCustomEditProperties
// ---------------------------------------------------------------------------

const std::vector<TcxCustomEditProperties*>& TcxCustomEditProperties::LiveObjects() { return Live(); }

std::function<void(TcxCustomEditProperties*)>& TcxCustomEditProperties::DisconnectHook() {
  static std::function<void(TcxCustomEditProperties*)> hook;
  return hook;
}

TcxCustomEditProperties::TcxCustomEditProperties(TPersistent* AOwner) : TcxInterfacedPersistent(AOwner) {
  Live().push_back(this);
}

void TcxCustomEditProperties::AfterConstruction() {
  inherited::AfterConstruction();
  // The class factories are virtual: they are asked once the object is whole.
  FFreeNotificator = Make<TcxFreeNotificator>(nullptr);
  FFreeNotificator->OnFreeNotification =
      TcxFreeNotificationEvent::Bind<&TcxCustomEditProperties::HandleFreeNotification>(this);
  FAlignment = Make<TcxEditAlignment>(this);
  FAlignment->OnChanged = TNotifyEvent::Bind<&TcxCustomEditProperties::HandleAlignmentChanged>(this);
  FAssignedValues = GetValuesObjectClass().Create(this);
  FAutoSelect = true;
  FButtons = GetButtonsClass().Create(this, TcxEditButtons::GetButtonClass());
  FButtons->OnChange = TNotifyEvent::Bind<&TcxCustomEditProperties::HandleButtonsChanged>(this);
  FButtonsViewStyle = bvsNormal;
  FUseLeftAlignmentOnEditing = DefaultUseLeftAlignmentOnEditing();
  FUseMouseWheel = true;
  FInnerAlignment = Make<TcxEditAlignment>(this);
  FUpdateCount = 0;
}

TcxCustomEditProperties::~TcxCustomEditProperties() {
  if (DisconnectHook()) DisconnectHook()(this);
  ClearDefaultValuesProvider();
  TObject::Free(FButtons);
  TObject::Free(FInnerAlignment);
  TObject::Free(FAssignedValues);
  TObject::Free(FAlignment);
  TObject::Free(FFreeNotificator);
  auto& live = Live();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

void TcxCustomEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomEditProperties*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateBracket bracket(this);
  SetAutoSelect(source->AutoSelect());
  FButtons->Assign(source->Buttons());
  SetButtonsViewStyle(source->ButtonsViewStyle());
  FBeepOnError = source->FBeepOnError;
  FClearKey = source->FClearKey;
  FClickKey = source->FClickKey;
  SetUseLeftAlignmentOnEditing(source->UseLeftAlignmentOnEditing());
  FIDefaultValuesProvider = source->FIDefaultValuesProvider;
  SetAlignment(source->Alignment());
  FAssignedValues->SetMaxValue(false);
  if (source->AssignedValues()->MaxValue()) SetMaxValue(source->MaxValue());
  FAssignedValues->SetMinValue(false);
  if (source->AssignedValues()->MinValue()) SetMinValue(source->MinValue());
  FAssignedValues->SetReadOnly(false);
  if (source->AssignedValues()->ReadOnly()) SetReadOnly(source->ReadOnly());
  FImmediatePost = source->FImmediatePost;
  SetTransparent(source->Transparent());
  FUseMouseWheel = source->FUseMouseWheel;
  FValidateOnEnter = source->FValidateOnEnter;
  OnButtonClick = source->OnButtonClick;
  OnChange = source->OnChange;
  OnEditValueChanged = source->OnEditValueChanged;
  OnValidate = source->OnValidate;
}

void TcxCustomEditProperties::BeginUpdate() {
  if (FUpdateCount == 0) FChangedOccurred = false;
  ++FUpdateCount;
}

void TcxCustomEditProperties::EndUpdate(bool AInvokeChanged) {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0 && AInvokeChanged && FChangedOccurred) Changed();
}

bool TcxCustomEditProperties::OwnerIsDestroying() {
  auto* component = dynamic_cast<TComponent*>(Owner());
  return component && component->ComponentState().Contains(csDestroying);
}

void TcxCustomEditProperties::Changed() {
  if (ChangedLocked() || OwnerIsDestroying()) {
    FChangedOccurred = true;
    return;
  }
  CallOnPropertiesChanged();
}

void TcxCustomEditProperties::CallOnPropertiesChanged() {
  if (!OnPropertiesChanged) return;
  ++FIsChangingCount;
  try {
    OnPropertiesChanged(this);
  } catch (...) {
    --FIsChangingCount;
    throw;
  }
  --FIsChangingCount;
}

void TcxCustomEditProperties::HandleAlignmentChanged(TObject*) {
  FInnerAlignment->FHorz = FAlignment->FHorz;
  FInnerAlignment->FIsHorzAssigned = FAlignment->FIsHorzAssigned;
  FInnerAlignment->FVert = FAlignment->FVert;
  Changed();
}

void TcxCustomEditProperties::HandleButtonsChanged(TObject*) { Changed(); }

TcxCustomEditPropertiesValuesClass TcxCustomEditProperties::GetValuesObjectClass() const {
  return TcxCustomEditPropertiesValuesClass::Of<TcxCustomEditPropertiesValues>();
}

TcxEditButtonsClass TcxCustomEditProperties::GetButtonsClass() const {
  return TcxEditButtonsClass::Of<TcxEditButtons>();
}

TAlignment TcxCustomEditProperties::GetEffectiveHorzAlignment() {
  return FIDefaultValuesProvider ? FIDefaultValuesProvider->DefaultAlignment() : FAlignment->Horz();
}

TcxEditAlignment* TcxCustomEditProperties::Alignment() {
  const TNotifyEvent handler = FAlignment->OnChanged;
  FAlignment->OnChanged = TNotifyEvent();
  FAlignment->FHorz = FInnerAlignment->FHorz;
  FAlignment->FIsHorzAssigned = FInnerAlignment->FIsHorzAssigned;
  FAlignment->FVert = FInnerAlignment->FVert;
  TComponent* owning = cxFindOwningComponent(this);
  const bool writing = FInnerAlignment->IsStored() && owning && owning->ComponentState().Contains(csWriting);
  // While the owner is written the stored values go out as they are.
  if (!writing && !FAlignment->FIsHorzAssigned) FAlignment->FHorz = GetEffectiveHorzAlignment();
  FAlignment->OnChanged = handler;
  return FAlignment;
}

void TcxCustomEditProperties::SetAlignment(TcxEditAlignment* Value) {
  FInnerAlignment->Assign(Value);
  FAlignment->FHorz = FInnerAlignment->FHorz;
  FAlignment->FIsHorzAssigned = FInnerAlignment->FIsHorzAssigned;
  FAlignment->FVert = FInnerAlignment->FVert;
  Changed();
}

double TcxCustomEditProperties::MaxValue() {
  if (FAssignedValues->MaxValue()) return FMaxValue;
  return FIDefaultValuesProvider ? FIDefaultValuesProvider->DefaultMaxValue() : 0.0;
}

double TcxCustomEditProperties::MinValue() {
  if (FAssignedValues->MinValue()) return FMinValue;
  return FIDefaultValuesProvider ? FIDefaultValuesProvider->DefaultMinValue() : 0.0;
}

void TcxCustomEditProperties::SetMaxValue(double Value) {
  if (FAssignedValues->MaxValue() && FMaxValue == Value) return;
  BeginUpdate();
  FMaxValue = Value;
  FAssignedValues->SetMaxValue(true);
  FChangedOccurred = true;
  EndUpdate();
}

void TcxCustomEditProperties::SetMinValue(double Value) {
  if (FAssignedValues->MinValue() && FMinValue == Value) return;
  BeginUpdate();
  FMinValue = Value;
  FAssignedValues->SetMinValue(true);
  FChangedOccurred = true;
  EndUpdate();
}

void TcxCustomEditProperties::SetMinMaxValues(double AMinValue, double AMaxValue) {
  if (FAssignedValues->MinValue() && FAssignedValues->MaxValue() && FMinValue == AMinValue &&
      FMaxValue == AMaxValue)
    return;
  TUpdateBracket bracket(this);
  SetMinValue(AMinValue);
  SetMaxValue(AMaxValue);
  FChangedOccurred = true;
}

bool TcxCustomEditProperties::ReadOnly() {
  if (FAssignedValues->ReadOnly()) return FReadOnly;
  return FIDefaultValuesProvider ? FIDefaultValuesProvider->DefaultReadOnly() : false;
}

void TcxCustomEditProperties::SetReadOnly(bool Value) {
  if (FAssignedValues->ReadOnly() && FReadOnly == Value) return;
  BeginUpdate();
  FReadOnly = Value;
  FAssignedValues->SetReadOnly(true);
  FChangedOccurred = true;
  EndUpdate();
}

void TcxCustomEditProperties::SetAutoSelect(bool Value) {
  if (FAutoSelect == Value) return;
  FAutoSelect = Value;
  Changed();
}

void TcxCustomEditProperties::SetButtons(TcxEditButtons* Value) { FButtons->Assign(Value); }

void TcxCustomEditProperties::SetButtonsViewStyle(TcxEditButtonsViewStyle Value) {
  if (FButtonsViewStyle == Value) return;
  FButtonsViewStyle = Value;
  Changed();
}

void TcxCustomEditProperties::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  Changed();
}

void TcxCustomEditProperties::SetUseLeftAlignmentOnEditing(bool Value) {
  if (FUseLeftAlignmentOnEditing == Value) return;
  FUseLeftAlignmentOnEditing = Value;
  Changed();
}

void TcxCustomEditProperties::SetIDefaultValuesProvider(IcxEditDefaultValuesProvider* Value) {
  FIDefaultValuesProvider = Value;
  if (dynamic_cast<IcxEditValidationSource*>(Owner())) Changed();
}

void TcxCustomEditProperties::GetValidationErrorMessage(int, String& AText) {
  AText = cxLookUpResourceString(&cxSEditValidateErrorText);
}

bool TcxCustomEditProperties::UsesDataDisplayFormat(bool AEditFocused) {
  const TcxEditDisplayFormatOptions options = QueryDisplayFormatOptions();
  if (AEditFocused || !options.Contains(dfoSupports) || !FIDefaultValuesProvider) return false;
  return FIDefaultValuesProvider->IsDisplayFormatDefined(!options.Contains(dfoNoCurrencyValue));
}

bool TcxCustomEditProperties::IsValueEditorWithValueFormatting() {
  const TcxEditDisplayFormatOptions options = QueryDisplayFormatOptions();
  return options.Contains(dfoSupports) && GetEditValueSource(true) == evsValue &&
         GetEditValueSource(false) == evsText && FIDefaultValuesProvider &&
         FIDefaultValuesProvider->IsDisplayFormatDefined(!options.Contains(dfoNoCurrencyValue));
}

bool TcxCustomEditProperties::IsEffectivelyModifiable() {
  if (FAssignedValues->ReadOnly() && !FReadOnly) return true;
  if (ReadOnly()) return false;
  if (!FIDefaultValuesProvider) return true;
  return FIDefaultValuesProvider->DefaultCanModify() && FIDefaultValuesProvider->CanSetEditMode();
}

bool TcxCustomEditProperties::CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) {
  Variant display1, display2;
  PrepareDisplayValue(AEditValue1, display1, false);
  PrepareDisplayValue(AEditValue2, display2, false);
  return cxVariantsEqual(display1, display2);
}

TcxCustomEditProperties* TcxCustomEditProperties::CreatePreviewProperties() {
  return TcxCustomEditPropertiesClass(ClassType()).Create(nullptr);
}

String TcxCustomEditProperties::GetDisplayText(const Variant&, bool, bool) { return String(); }

TcxEditSupportedOperations TcxCustomEditProperties::GetSupportedOperations() {
  TcxEditSupportedOperations result;
  if (FButtons->Count() > 0) result.Include(esoHotTrack);
  return result;
}

void TcxCustomEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool) {
  DisplayValue = AEditValue;
}

void TcxCustomEditProperties::RestoreDefaults() {
  FInnerAlignment->Reset();
  TUpdateBracket bracket(this);
  FAssignedValues->RestoreDefaults();
}

void TcxCustomEditProperties::ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, TObject* AEdit,
                                                   bool& AError) {
  if (!UsesDisplayValue()) return;
  if (AErrorText.empty()) GetValidationErrorMessage(0, AErrorText);
  bool changed;
  RunValidateHandlers(ADisplayValue, AErrorText, changed, AEdit, AError);
}

void TcxCustomEditProperties::RunValidateHandlers(Variant& ADisplayValue, String& AErrorText, bool& AChanged,
                                                  TObject* AEdit, bool& AError) {
  AChanged = false;
  auto* source = dynamic_cast<IcxEditValidationSource*>(AEdit);
  TcxCustomEditProperties* own = source ? source->GetOwnProperties() : this;
  TcxCustomEditProperties* item = source ? source->GetRepositoryItemProperties() : nullptr;
  if (!own->OnValidate && !(item && item->OnValidate)) return;
  const Variant kept = ADisplayValue;
  if (own->OnValidate) own->OnValidate(AEdit, ADisplayValue, AErrorText, AError);
  if (item && item->OnValidate) item->OnValidate(AEdit, ADisplayValue, AErrorText, AError);
  if (!AError) return;
  if (VarToStr(ADisplayValue) != VarToStr(kept)) {
    AChanged = true;
  } else if (source) {
    ADisplayValue = Variant(source->GetCurrentInnerEditText());
  }
}

BEGIN_CLASS(TcxCustomEditProperties, TcxInterfacedPersistent, (ConstructWith<TcxCustomEditProperties, TPersistent>))
  b.DeclareProp(L"Alignment", &TcxCustomEditProperties::Alignment, &TcxCustomEditProperties::SetAlignment).Stored =
      [](TObject* o) { return static_cast<TcxCustomEditProperties*>(o)->InnerAlignment()->IsStored(); };
  b.DeclareProp(L"AssignedValues", &TcxCustomEditProperties::AssignedValues, &TcxCustomEditProperties::SetAssignedValues);
  DefaultValue(b.Prop(L"AutoSelect", &TcxCustomEditProperties::AutoSelect, &TcxCustomEditProperties::SetAutoSelect), true);
  DefaultValue(b.Prop(L"BeepOnError", &TcxCustomEditProperties::BeepOnError, &TcxCustomEditProperties::SetBeepOnError), false);
  DefaultValue(b.Prop(L"ClearKey", &TcxCustomEditProperties::ClearKey, &TcxCustomEditProperties::SetClearKey), 0);
  DefaultValue(b.Prop(L"ClickKey", &TcxCustomEditProperties::ClickKey, &TcxCustomEditProperties::SetClickKey), 16397);
  DefaultValue(b.Prop(L"ImmediatePost", &TcxCustomEditProperties::ImmediatePost, &TcxCustomEditProperties::SetImmediatePost), false);
  b.DeclareProp(L"ReadOnly", &TcxCustomEditProperties::ReadOnly, &TcxCustomEditProperties::SetReadOnly).Stored =
      [](TObject* o) { return static_cast<TcxCustomEditProperties*>(o)->AssignedValues()->ReadOnly(); };
  b.DeclareProp(L"UseLeftAlignmentOnEditing", &TcxCustomEditProperties::UseLeftAlignmentOnEditing,
                &TcxCustomEditProperties::SetUseLeftAlignmentOnEditing).Stored = [](TObject* o) {
    auto* p = static_cast<TcxCustomEditProperties*>(o);
    return p->UseLeftAlignmentOnEditing() != p->DefaultUseLeftAlignmentOnEditing();
  };
  b.DeclareProp(L"MaxValue", &TcxCustomEditProperties::MaxValue, &TcxCustomEditProperties::SetMaxValue).Stored =
      [](TObject* o) { return static_cast<TcxCustomEditProperties*>(o)->AssignedValues()->MaxValue(); };
  b.DeclareProp(L"MinValue", &TcxCustomEditProperties::MinValue, &TcxCustomEditProperties::SetMinValue).Stored =
      [](TObject* o) { return static_cast<TcxCustomEditProperties*>(o)->AssignedValues()->MinValue(); };
  DefaultValue(b.Prop(L"ValidateOnEnter", &TcxCustomEditProperties::ValidateOnEnter, &TcxCustomEditProperties::SetValidateOnEnter), false);
  b.Field(L"OnButtonClick", &TcxCustomEditProperties::OnButtonClick);
  b.Field(L"OnChange", &TcxCustomEditProperties::OnChange);
  b.Field(L"OnClosePopup", &TcxCustomEditProperties::OnClosePopup);
  b.Field(L"OnEditValueChanged", &TcxCustomEditProperties::OnEditValueChanged);
  b.Field(L"OnValidate", &TcxCustomEditProperties::OnValidate);
END_CLASS
