#include "editors/core/cxEdit.h"

#include "editors/core/cxEditButtons.h"
#include "editors/core/cxEditConsts.h"
#include "editors/core/cxVariants.h"
#include "foundation/cxClasses.h"
#include "foundation/cxControls.h"
#include "foundation/cxControlsTimer.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/core/Exceptions.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"

#include <algorithm>

namespace {

bool IsLoadingOrDestroying(TComponent* AComponent) {
  const TComponentStateSet state = AComponent->ComponentState();
  return state.Contains(csLoading) || state.Contains(csDestroying);
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxEditChangeEventsCatcher
// ---------------------------------------------------------------------------

void TcxEditChangeEventsCatcher::Lock(bool ALock, bool AInvokeChangedOnUnlock) {
  if (ALock) {
    if (FLockCount == 0) OnChangeEvent = OnEditValueChangedEvent = false;
    ++FLockCount;
    return;
  }
  if (FLockCount <= 0) return;
  if (--FLockCount > 0 || !AInvokeChangedOnUnlock || IsLoadingOrDestroying(FEdit)) return;
  TcxCustomEditProperties* own = FEdit->Properties();
  TcxCustomEditProperties* active = FEdit->ActiveProperties();
  if (OnChangeEvent && (own->OnChange || active->OnChange)) {
    OnChangeEvent = false;
    FEdit->CallOnChangeHandlers();
  }
  if (OnEditValueChangedEvent && (own->OnEditValueChanged || active->OnEditValueChanged)) {
    OnEditValueChangedEvent = false;
    FEdit->CallOnEditValueChangedHandlers();
  }
}

IMPLEMENT_CLASS(TcxEditChangeEventsCatcher, TObject, nullptr)

// ---------------------------------------------------------------------------
// TcxEditDataBinding
// ---------------------------------------------------------------------------

TcxEditDataBinding::TcxEditDataBinding(TcxCustomEdit* AEdit) : FEdit(AEdit) {}

void TcxEditDataBinding::AfterConstruction() {
  inherited::AfterConstruction();
  FDefaultValuesProvider = GetDefaultValuesProviderClass().Create(this);
}

TcxEditDataBinding::~TcxEditDataBinding() { TObject::Free(FDefaultValuesProvider); }

TClassOf<TcxCustomEditDefaultValuesProvider, TPersistent*> TcxEditDataBinding::GetDefaultValuesProviderClass() const {
  return TClassOf<TcxCustomEditDefaultValuesProvider, TPersistent*>::Of<TcxCustomEditDefaultValuesProvider>();
}

void TcxEditDataBinding::HandleDefaultValuesChanged() {
  TcxCustomEditProperties* properties = FEdit->ActiveProperties();
  if (FEdit->RepositoryItem()) {
    properties->BeginUpdate();
    properties->Changed();
    properties->EndUpdate(false);
    FEdit->Properties()->Changed();
  } else {
    properties->Changed();
  }
}

Variant TcxEditDataBinding::DisplayValue() { return Variant(FEdit->GetCurrentInnerEditText()); }
bool TcxEditDataBinding::Editing() { return FEdit->ModifiedAfterEnter(); }
bool TcxEditDataBinding::Modified() { return FEdit->ModifiedAfterEnter(); }
Variant TcxEditDataBinding::StoredValue() { return FEdit->EditValue(); }

void TcxEditDataBinding::RequestRevert() {
  // The editor's revert is protected; a standalone binding asks through Reset's path.
  struct TAccess : TcxCustomEdit {
    static void Revert(TcxCustomEdit* AEdit) { (AEdit->*(&TAccess::RevertEditValue))(); }
  };
  TAccess::Revert(FEdit);
}

void TcxEditDataBinding::SetDisplayValue(const Variant& Value) {
  struct TAccess : TcxCustomEdit {
    static void Set(TcxCustomEdit* AEdit, const Variant& V) { (AEdit->*(&TAccess::SetInnerEditValue))(V); }
  };
  TAccess::Set(FEdit, Value);
}

bool TcxEditDataBinding::EnterEditMode() {
  FEdit->SetModifiedAfterEnter(true);
  return true;
}

bool TcxEditDataBinding::CanCheckEditorValue() {
  return FEdit->ComponentState().Contains(csDesigning) || !FEdit->ModifiedAfterEnter();
}

void TcxEditDataBinding::SetModified() {
  if (FEdit->Focused()) FEdit->SetModifiedAfterEnter(true);
}

void TcxEditDataBinding::UpdateDisplayValue() {
  struct TAccess : TcxCustomEdit {
    static void Update(TcxCustomEdit* AEdit) { (AEdit->*(&TAccess::UpdateTextFromEditValue))(); }
  };
  TAccess::Update(FEdit);
}

IMPLEMENT_CLASS(TcxEditDataBinding, TPersistent, nullptr)

// ---------------------------------------------------------------------------
// TcxCustomEditData
// ---------------------------------------------------------------------------

TcxCustomEditData::TcxCustomEditData(TcxCustomEdit* AEdit) : FEdit(AEdit) {}

TcxCustomEditData::~TcxCustomEditData() {
  if (FEdit && FEdit->FEditData == this) FEdit->FEditData = nullptr;
}

void TcxCustomEditData::Clear() {
  FCleared = true;
  if (FEdit && FEdit->FEditData == this) {
    struct TAccess : TcxCustomEdit {
      static void Init(TcxCustomEdit* AEdit) { (AEdit->*(&TAccess::InitializeEditData))(); }
    };
    TAccess::Init(FEdit);
    FCleared = false;
  }
}

IMPLEMENT_CLASS(TcxCustomEditData, TObject, nullptr)

// ---------------------------------------------------------------------------
// TcxCustomEdit: creation
// ---------------------------------------------------------------------------

TcxCustomEdit::TcxCustomEdit(TComponent* AOwner, bool AIsInplace) : TcxContainer(AOwner), FIsInplace(AIsInplace) {}

void TcxCustomEdit::AfterConstruction() {
  inherited::AfterConstruction();
  InitializeEdit();
}

void TcxCustomEdit::InitializeEdit() {
  FChangeEventsCatcher = Make<TcxEditChangeEventsCatcher>(this);
  FProperties = GetPropertiesClass().Create(this);
  SetTabStop(true);
  FDataBinding = GetDataBindingClass().Create(this);
  FAutoSize = !FIsInplace;
  FCaptureButtonVisibleIndex = -1;
  FEditValue = Null();
  FLockValidate = 0;
  FProperties->OnPropertiesChanged = TNotifyEvent::Bind<&TcxCustomEdit::PropertiesChangedHandler>(this);
  FDblClickTimer = Make<TcxTimer>(nullptr);
  FDblClickTimer->SetEnabled(false);
  FDblClickTimer->SetInterval(GetDoubleClickTime());
  FDblClickTimer->SetOnTimer(TNotifyEvent::Bind<&TcxCustomEdit::DblClickTimerTick>(this));
  if (!FIsInplace) FProperties->AssignDefaultValuesProviderQuietly(FDataBinding->IDefaultValuesProvider());
}

void TcxCustomEdit::BeforeDestruction() {
  inherited::BeforeDestruction();
  if (FEditData && FEditData->FEdit == this) FEditData->FEdit = nullptr;
}

TcxCustomEdit::~TcxCustomEdit() {
  TObject::Free(FDblClickTimer);
  if (FRepositoryItem) FRepositoryItem->RemoveListener(this);
  if (FProperties) {
    FProperties->OnPropertiesChanged = TNotifyEvent();
    if (!FIsInplace) FProperties->AssignDefaultValuesProviderQuietly(nullptr);
  }
  TObject::Free(FDataBinding);
  TObject::Free(FProperties);
  TObject::Free(FChangeEventsCatcher);
}

void TcxCustomEdit::DblClickTimerTick(TObject*) { FDblClickTimer->SetEnabled(false); }

TcxCustomEditPropertiesClass TcxCustomEdit::GetPropertiesClass() const {
  return TcxCustomEditPropertiesClass::Of<TcxCustomEditProperties>();
}

TClassOf<TcxEditDataBinding, TcxCustomEdit*> TcxCustomEdit::GetDataBindingClass() const {
  return TClassOf<TcxEditDataBinding, TcxCustomEdit*>::Of<TcxEditDataBinding>();
}

TcxContainerStyleClass TcxCustomEdit::ContainerStyleClass() { return TcxContainerStyleClass::Of<TcxEditStyle>(); }

TcxContainerStyleValues TcxCustomEdit::GetHiddenStyleValues() {
  return TcxContainerStyleValues{10, 11, 12, 13, 14, 15};
}

void TcxCustomEdit::Loaded() {
  inherited::Loaded();
  LockChangeEvents(true);
  LockClick(true);
  {
    TFinally unlock{[&] {
      LockClick(false);
      LockChangeEvents(false, false);
    }};
    FDataBinding->UpdateNotConnectedDBEditDisplayValue();
  }
  if (!FRepositoryItem)
    FProperties->OnPropertiesChanged = TNotifyEvent::Bind<&TcxCustomEdit::PropertiesChangedHandler>(this);
  HandlePropertiesChanged(ActiveProperties());
}

// ---------------------------------------------------------------------------
// Properties and the repository item
// ---------------------------------------------------------------------------

TcxCustomEditProperties* TcxCustomEdit::ActiveProperties() {
  if (!FRepositoryItem) return FProperties;
  TcxCustomEditProperties* properties = FRepositoryItem->Properties();
  properties->AssignDefaultValuesProviderQuietly(FDataBinding->IDefaultValuesProvider());
  return properties;
}

TcxCustomEditProperties* TcxCustomEdit::GetRepositoryItemProperties() {
  return FRepositoryItem ? FRepositoryItem->Properties() : nullptr;
}

bool TcxCustomEdit::IsRepositoryItemAcceptable(TcxEditRepositoryItem* AItem) {
  return !AItem || AItem->Properties()->ClassType()->InheritsFrom(TClass(GetPropertiesClass()));
}

void TcxCustomEdit::SetRepositoryItem(TcxEditRepositoryItem* Value) {
  if (FRepositoryItem == Value) return;
  if (!IsRepositoryItemAcceptable(Value)) throw EcxEditError(cxLookUpResourceString(&cxSEditInvalidRepositoryItem));
  BeforeRepositoryItemChange();
  if (FRepositoryItem) {
    FRepositoryItem->RemoveListener(this);
    RemoveFreeNotification(FRepositoryItem);
  }
  FRepositoryItem = Value;
  if (FRepositoryItem) {
    FRepositoryItem->AddListener(this);
    FreeNotification(FRepositoryItem);
  }
  if (FRepositoryItem) {
    FProperties->AssignDefaultValuesProviderQuietly(nullptr);
    if (!IsLoadingOrDestroying(this)) HandlePropertiesChanged(FRepositoryItem->Properties());
    FProperties->OnPropertiesChanged = TNotifyEvent();
  } else {
    if (!IsLoadingOrDestroying(this))
      FProperties->OnPropertiesChanged = TNotifyEvent::Bind<&TcxCustomEdit::PropertiesChangedHandler>(this);
    FProperties->SetIDefaultValuesProvider(FDataBinding->IDefaultValuesProvider());
  }
  AfterRepositoryItemChange();
}

void TcxCustomEdit::ItemRemoved(TcxEditRepositoryItem* Sender) {
  if (Sender == FRepositoryItem) {
    FRepositoryItem = nullptr;
    FProperties->OnPropertiesChanged = TNotifyEvent::Bind<&TcxCustomEdit::PropertiesChangedHandler>(this);
    FProperties->AssignDefaultValuesProviderQuietly(FIsInplace ? nullptr : FDataBinding->IDefaultValuesProvider());
  }
}

void TcxCustomEdit::PropertiesChanged(TcxEditRepositoryItem* Sender) {
  if (!IsLoadingOrDestroying(this)) HandlePropertiesChanged(Sender->Properties());
}

void TcxCustomEdit::HandlePropertiesChanged(TObject*) {
  FIsEditValidated = false;
  UpdateInnerEditReadOnly();
  if (FModifiedAfterEnter && IsValueReadOnly()) SetModifiedAfterEnter(false);
  if (HandleAllocated()) ShortRefreshContainer(false);
}

bool TcxCustomEdit::IsValueReadOnly() { return ActiveProperties()->ReadOnly() || FDataBinding->IsDataReadOnly(); }

// ---------------------------------------------------------------------------
// Value flow
// ---------------------------------------------------------------------------

void TcxCustomEdit::SetEditValue(const Variant& Value) {
  if (FEditValueChangingLockCount > 0) return;
  LockClick(true);
  TFinally unlock{[&] { LockClick(false); }};
  if (!FKeyboardAction || DoEditing()) StoreEditValue(Value, true);
}

void TcxCustomEdit::SetInternalEditValue(const Variant& Value) {
  if (FEditValueChangingLockCount > 0) return;
  if (!FKeyboardAction || DoEditing()) StoreEditValue(Value, true);
}

Variant TcxCustomEdit::EditingValue() {
  if (Focused() && !FIsEditValidated && FModifiedAfterEnter) return GetValueFromEditingText();
  return EditValue();
}

void TcxCustomEdit::Reset() { FDataBinding->RequestRevert(); }

void TcxCustomEdit::StoreEditValue(const Variant& AValue, bool) {
  if (FKeyboardAction && !DoEditing()) return;
  bool changed = false;
  if (ActiveProperties()->CanCompareEditValue()) {
    const bool comparable = (cxVariantIsNumberOrBcd(AValue) && cxVariantIsNumberOrBcd(FEditValue)) ||
                            VarType(AValue) == VarType(FEditValue) || (VarIsStr(AValue) && VarIsStr(FEditValue));
    changed = !(comparable && cxVariantsEqual(AValue, FEditValue));
  }
  FEditValue = AValue;
  UpdateTextFromEditValue();
  if (FKeyboardAction)
    SetModifiedAfterEnter(true);
  else
    SetEditModified(false);
  if (changed) {
    NotifyEditValueChanged();
    if (!ActiveProperties()->TracksEditValueChanges()) NotifyChange();
  }
}

void TcxCustomEdit::SetEditModified(bool Value) {
  FModified = Value;
  if (!Value) FModifiedAfterEnter = false;
}

void TcxCustomEdit::SetModifiedAfterEnter(bool Value) {
  FModifiedAfterEnter = Value;
  if (Value) {
    FModified = true;
    FIsEditValidated = false;
  }
}

void TcxCustomEdit::PushModifiedState() { FPrevModifiedList.push_back({FModified, FModifiedAfterEnter}); }

void TcxCustomEdit::PopModifiedState() {
  if (FPrevModifiedList.empty()) return;
  const TcxEditModifiedState state = FPrevModifiedList.back();
  FPrevModifiedList.pop_back();
  FModified = state.Modified;
  FModifiedAfterEnter = state.ModifiedAfterEnter;
}

void TcxCustomEdit::LockChangeEvents(bool ALock, bool AInvokeChangedOnUnlock) {
  FChangeEventsCatcher->Lock(ALock, AInvokeChangedOnUnlock);
}

void TcxCustomEdit::LockClick(bool ALock) {
  if (ALock)
    ++FClickLockCount;
  else if (FClickLockCount > 0)
    --FClickLockCount;
}

void TcxCustomEdit::LockEditValueChanging(bool ALock) {
  if (ALock)
    ++FEditValueChangingLockCount;
  else if (FEditValueChangingLockCount > 0)
    --FEditValueChangingLockCount;
}

void TcxCustomEdit::CallOnChangeHandlers() {
  if (FProperties->OnChange) FProperties->OnChange(this);
  if (FRepositoryItem && FRepositoryItem->Properties()->OnChange) FRepositoryItem->Properties()->OnChange(this);
}

void TcxCustomEdit::CallOnEditValueChangedHandlers() {
  if (FProperties->OnEditValueChanged) FProperties->OnEditValueChanged(this);
  if (FRepositoryItem && FRepositoryItem->Properties()->OnEditValueChanged)
    FRepositoryItem->Properties()->OnEditValueChanged(this);
}

void TcxCustomEdit::HandleContentChange() {
  if (Focused())
    SetModifiedAfterEnter(true);
  else if (!ActiveProperties()->IsChanging())
    FDataBinding->SetModified();
  NotifyChange();
}

void TcxCustomEdit::NotifyChange() {
  if (IsLoadingOrDestroying(this)) return;
  if (FProperties->OnChange || ActiveProperties()->OnChange) {
    if (FChangeEventsCatcher->IsLocked()) {
      FChangeEventsCatcher->OnChangeEvent = true;
    } else if (FIsInplace) {
      PushModifiedState();
      TFinally pop{[&] { PopModifiedState(); }};
      FModified = FModifiedAfterEnter = true;
      CallOnChangeHandlers();
    } else {
      CallOnChangeHandlers();
    }
  }
  TcxCustomEditProperties* active = ActiveProperties();
  if (!active->TracksEditValueChanges() && !active->CanCompareEditValue()) NotifyEditValueChanged();
}

void TcxCustomEdit::NotifyEditValueChanged() {
  if (IsLoadingOrDestroying(this)) return;
  if (!FProperties->OnEditValueChanged && !ActiveProperties()->OnEditValueChanged) return;
  if (FChangeEventsCatcher->IsLocked()) {
    FChangeEventsCatcher->OnEditValueChangedEvent = true;
  } else if (FIsInplace) {
    PushModifiedState();
    TFinally pop{[&] { PopModifiedState(); }};
    FModified = FModifiedAfterEnter = true;
    CallOnEditValueChangedHandlers();
  } else {
    CallOnEditValueChangedHandlers();
  }
}

bool TcxCustomEdit::CanModifyValue() {
  if (FIsInplace) return ActiveProperties()->IsEffectivelyModifiable();
  TcxCustomEditProperties* active = ActiveProperties();
  if (active->AssignedValues()->ReadOnly()) return !active->ReadOnly();
  IcxEditDefaultValuesProvider* provider = FDataBinding->IDefaultValuesProvider();
  return provider->DefaultCanModify() && provider->CanSetEditMode();
}

bool TcxCustomEdit::DoEditing() {
  if (!AllowsEditing()) return false;
  if (FDataBinding->Modified()) return true;
  if (!CanModifyValue()) return false;
  FEditModeSetting = true;
  TFinally reset{[&] { FEditModeSetting = false; }};
  bool canEdit = true;
  if (FIsInplace) {
    LockEditValueChanging(true);
    TFinally unlock{[&] { LockEditValueChanging(false); }};
    if (OnEditing) OnEditing(this, canEdit);
    return canEdit;
  }
  const bool editing = FDataBinding->Editing();
  if (OnEditing) OnEditing(this, canEdit);
  if (!canEdit) return false;
  if (editing) {
    FDataBinding->SetModified();
    return true;
  }
  LockEditValueChanging(true);
  TFinally unlock{[&] { LockEditValueChanging(false); }};
  return FDataBinding->EnterEditMode();
}

void TcxCustomEdit::CheckDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError) {
  TcxCustomEditProperties* active = ActiveProperties();
  if (active->UsesDisplayValue()) active->ValidateDisplayValue(ADisplayValue, AErrorText, this, AError);
}

String TcxCustomEdit::GetCurrentInnerEditText() { return GetInnerEditText(); }

bool TcxCustomEdit::ValidateEdit(bool ARaiseExceptionOnError) {
  if (!FModifiedAfterEnter || FIsEditValidated || FLockValidate != 0) return true;
  FIsEditValidating = true;
  TFinally done{[&] { FIsEditValidating = false; }};
  Variant displayValue(GetInnerEditText());
  bool error = false;
  String errorText;
  CheckDisplayValue(displayValue, errorText, error);
  // The corrected value goes into the inner edit also when the error is raised.
  auto correct = [&] {
    if (GetInnerEditText() != VarToStr(displayValue)) {
      SetInnerEditValue(displayValue);
      if (Visible()) {
        SelectAll();
        if (!IsEditClass()) RecalculateDisplayText();
      }
    }
  };
  if (error) {
    if (ARaiseExceptionOnError) {
      try {
        HandleValidationError(errorText, true);
      } catch (...) {
        correct();
        throw;
      }
    }
    correct();
    return false;
  }
  if (FKeyboardAction && !DoEditing()) return true;
  ApplyDisplayValuePreservingState(displayValue);
  if (!FIsInplace && !Focused()) SetModifiedAfterEnter(false);
  FIsEditValidated = true;
  return true;
}

void TcxCustomEdit::HandleValidationError(const String& AErrorText, bool AAbort) {
  if (!CanFocus()) {
    FIsEditValidated = true;
  } else if (Visible() && !Focused()) {
    FValidateErrorProcessing = true;
    TFinally reset{[&] { FValidateErrorProcessing = false; }};
    if (InnerControl() && InnerControl()->CanFocus())
      InnerControl()->SetFocus();
    else
      SetFocus();
  }
  if (Visible()) SelectAll();
  if (ActiveProperties()->BeepOnError()) MessageBeep(0);
  if (!AErrorText.empty()) throw EcxEditValidationError(AErrorText);
  if (AAbort) throw EAbort(String());
}

void TcxCustomEdit::ApplyDisplayValuePreservingState(const Variant& AValue) {
  PushModifiedState();
  TFinally pop{[&] { PopModifiedState(); }};
  ApplyDisplayValue(AValue);
}

void TcxCustomEdit::ConvertToDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) {
  ActiveProperties()->PrepareDisplayValue(AEditValue, ADisplayValue, AEditFocused);
}

bool TcxCustomEdit::CanPostEditValue() {
  if (ComponentState().Contains(csDesigning)) return false;
  return FDataBinding->CanPostEditorValue();
}

bool TcxCustomEdit::PostEditValue() {
  if (CanPostEditValue()) {
    CommitEditValue(true);
    return true;
  }
  if (Focused() && DoEditing()) {
    SetModifiedAfterEnter(true);
    FIsEditValidated = true;
    TFinally clear{[&] { SetModifiedAfterEnter(false); }};
    CommitEditValue(false);
    return true;
  }
  return false;
}

void TcxCustomEdit::CommitEditValue(bool AValidateEdit) {
  if (AValidateEdit) {
    const bool keyboardAction = FKeyboardAction;
    FKeyboardAction = false;
    TFinally restore{[&] { FKeyboardAction = keyboardAction; }};
    if (!ValidateEdit(true)) return;
  }
  try {
    BeginPosting();
    TFinally end{[&] { EndPosting(); }};
    if (FIsInplace) {
      if (OnPostEditValue) OnPostEditValue(this);
      SetEditModified(false);
    } else if (FDataBinding->Modified()) {
      FDataBinding->SetStoredValue(EditValue());
    }
  } catch (...) {
    // A failed post is reported, in place too: the host must not take the
    // value as posted. The focus comes back so that the user can correct it.
    HandleValidationError(String(), false);
    throw;
  }
}

void TcxCustomEdit::RevertEditValue() {
  if (!FModifiedAfterEnter || !ActiveProperties()->IsResetEditClass()) return;
  LockChangeEvents(true);
  TFinally unlock{[&] { LockChangeEvents(false); }};
  SetModifiedAfterEnter(false);
  IcxEditDefaultValuesProvider* provider = FDataBinding->IDefaultValuesProvider();
  SetInternalEditValue(provider->IsDataStorage() ? FDataBinding->StoredValue() : FPrevEditValue);
  SetEditModified(true);
  SelectAll();
  if (ActiveProperties()->ImmediatePost() && CanPostEditValue()) CommitEditValue(false);
}

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------

bool TcxCustomEdit::HasDefaultButton() {
  TcxEditButtons* buttons = ActiveProperties()->Buttons();
  for (int i = 0; i < buttons->Count(); ++i)
    if (buttons->Items(i)->Visible() && buttons->Items(i)->Default()) return true;
  return false;
}

bool TcxCustomEdit::IsButtonClickShortCut(Word Key, TShiftState Shift) {
  return HasDefaultButton() && ShortCut(Key, Shift) == ActiveProperties()->ClickKey();
}

bool TcxCustomEdit::IsClearOrClickKey(Word Key, TShiftState Shift) {
  const TShortCut shortCut = ShortCut(Key, Shift);
  return shortCut == ActiveProperties()->ClearKey() || (HasDefaultButton() && shortCut == ActiveProperties()->ClickKey());
}

void TcxCustomEdit::ClickDefaultButton() {
  TcxEditButtons* buttons = ActiveProperties()->Buttons();
  for (int i = 0; i < buttons->Count(); ++i)
    if (buttons->Items(i)->Visible() && buttons->Items(i)->Default()) {
      FireButtonClick(i);
      return;
    }
}

void TcxCustomEdit::FireButtonClick(int AButtonIndex) {
  if (FProperties->OnButtonClick) FProperties->OnButtonClick(this, AButtonIndex);
  if (FRepositoryItem && FRepositoryItem->Properties()->OnButtonClick)
    FRepositoryItem->Properties()->OnButtonClick(this, AButtonIndex);
}

void TcxCustomEdit::FireAfterKeyDown(Word& Key, TShiftState Shift) {
  if (OnAfterKeyDown) OnAfterKeyDown(this, Key, Shift);
}

void TcxCustomEdit::FireClosePopup(TcxEditCloseUpReason AReason) {
  if (FProperties->OnClosePopup) FProperties->OnClosePopup(this, AReason);
  if (FRepositoryItem && FRepositoryItem->Properties()->OnClosePopup)
    FRepositoryItem->Properties()->OnClosePopup(this, AReason);
}

void TcxCustomEdit::MarkModifiedAndClick() {
  SetModifiedAfterEnter(true);
  if (FClickLockCount == 0) Click();
}

bool TcxCustomEdit::InternalFocused() { return !(ActiveProperties()->DisplayDependsOnFocus() && !Focused()); }

bool TcxCustomEdit::AcceptsMouseWheel(TShiftState Shift) {
  return !FIsInplace || ActiveProperties()->UseMouseWheel() || Shift.Contains(ssCtrl);
}

bool TcxCustomEdit::CanProcessKeyDown(Word& Key, TShiftState Shift) {
  return FDataBinding->Modified() || !IsEditingKeyDown(Key, Shift) || DoEditing();
}

bool TcxCustomEdit::IsCharAcceptable(Char AChar) {
  IcxEditDefaultValuesProvider* provider = ActiveProperties()->IDefaultValuesProvider();
  return !(provider && !provider->IsValidChar(AChar) && !provider->IsOnSetTextAssigned());
}

bool TcxCustomEdit::CheckKeyPress(Char& Key) {
  if (Key >= 32 && !IsCharAcceptable(Key)) {
    Key = 0;
    MessageBeep(0);
  } else if (!FDataBinding->Modified() && IsEditingChar(Key) && !DoEditing()) {
    Key = 0;
  }
  return Key != 0;
}

bool TcxCustomEdit::HasFormFocus() {
  if (Focused()) return true;
  TCustomForm* form = GetParentForm(this);
  return form && (form->ActiveControl() == this || (InnerControl() && form->ActiveControl() == InnerControl()));
}

void TcxCustomEdit::KeyDown(Word& Key, TShiftState Shift) {
  FIsEditValueResetting = false;
  FIsEscapeDown = Key == VK_ESCAPE;
  TFinally reset{[&] { FIsEscapeDown = false; }};
  if (!IsButtonClickShortCut(Key, Shift)) inherited::KeyDown(Key, Shift);
  if (Key == 0) return;
  ProcessKeyDown(Key, Shift);
  if (Key != 0 && ShouldFireAfterKeyDown(Key, Shift)) FireAfterKeyDown(Key, Shift);
}

void TcxCustomEdit::ProcessKeyDown(Word& Key, TShiftState Shift) {
  if (Key == 0) return;
  TcxCustomEditProperties* active = ActiveProperties();
  const TShortCut shortCut = ShortCut(Key, Shift);
  if (shortCut == active->ClearKey()) {
    LockChangeEvents(true);
    FKeyboardAction = true;
    {
      TFinally done{[&] {
        FKeyboardAction = false;
        LockChangeEvents(false);
      }};
      SetInternalEditValue(GetClearedValue());
      if (active->ImmediatePost() && CanPostEditValue()) CommitEditValue(false);
      FIsEditValidated = true;
    }
    Key = 0;
    return;
  }
  if (HasDefaultButton() && shortCut == active->ClickKey()) {
    // The character the key also typed must not reach the text.
    MSG message;
    PeekMessageW(&message, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE);
    if (InnerControl() && InnerControl()->HandleAllocated())
      PeekMessageW(&message, InnerControl()->Handle(), WM_CHAR, WM_CHAR, PM_REMOVE);
    ClickDefaultButton();
    Key = 0;
    return;
  }
  if (CanProcessKeyDown(Key, Shift)) {
    if (Key == VK_TAB) {
      if (Focused() && !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl) && !active->WantsTabs()) {
        PrepareTabNavigation(Shift);
        FireAfterKeyDown(Key, Shift);
        if (Key == 0) return;
        Key = 0;
        if (TCustomForm* form = GetParentForm(this)) {
          TWinControl* current = form->ActiveControl() ? form->ActiveControl() : this;
          form->SelectNext(current, !Shift.Contains(ssShift), true);
        }
        if (Focused() && InnerControl() && InnerControl()->CanFocus()) InnerControl()->SetFocus();
      }
      return;
    }
    if (Key == VK_RETURN && active->ValidateOnEnter()) {
      Key = 0;
      LockChangeEvents(true);
      TFinally unlock{[&] { LockChangeEvents(false); }};
      if (ValidateEdit(true) && CanPostEditValue()) CommitEditValue(false);
      return;
    }
    if (Key == VK_ESCAPE && FModifiedAfterEnter &&
        (FDataBinding->IDefaultValuesProvider()->IsDataStorage() || active->IsResetEditClass())) {
      {
        LockChangeEvents(true);
        TFinally unlock{[&] { LockChangeEvents(false); }};
        FDataBinding->RequestRevert();
        SetEditModified(true);
      }
      FIsEditValueResetting = true;
      Key = 0;
      return;
    }
    if (HandlesNavigationKeys()) return;
    if (Key < VK_PRIOR || Key > VK_DOWN) return;
  }
  FireAfterKeyDown(Key, Shift);
  Key = 0;
}

void TcxCustomEdit::KeyPress(Char& Key) {
  if (FIsEditValueResetting && Key == 27) {
    FIsEditValueResetting = false;
    Key = 0;
    return;
  }
  inherited::KeyPress(Key);
  if (Key != 0) ProcessKeyPress(Key);
}

void TcxCustomEdit::KeyUp(Word& Key, TShiftState Shift) {
  inherited::KeyUp(Key, Shift);
  ProcessKeyUp(Key, Shift);
}

void TcxCustomEdit::Click() {
  if (ComponentState().Contains(csDestroying) || FClickLockCount > 0) return;
  if (ComponentState().Contains(csLoading) && !CanClickWhileLoading()) return;
  inherited::Click();
}

// ---------------------------------------------------------------------------
// Focus
// ---------------------------------------------------------------------------

void TcxCustomEdit::DoEnter() {
  if (ComponentState().Contains(csDestroying)) return;
  if (!FValidateErrorProcessing) HandleFocusEnter();
  if (HandleAllocated()) ShortRefreshContainer(false);
}

void TcxCustomEdit::HandleFocusEnter() {
  PushModifiedState();
  {
    TFinally pop{[&] { PopModifiedState(); }};
    inherited::DoEnter();
    if (RefreshesOnEnter()) FDataBinding->UpdateDisplayValue();
    if (ActiveProperties()->IsResetEditClass()) FPrevEditValue = EditValue();
    if (RefreshesOnEnter()) UpdateTextFromEditValue();
  }
  FModifiedAfterEnter = false;
}

void TcxCustomEdit::HandleFocusChanged() {
  RecalculateDisplayText();
  // A modal form closed with a result other than cancel takes the text as it is.
  auto* form = dynamic_cast<TCustomForm*>(GetParentForm(this));
  if (form && form->FormState().Contains(fsModal) && !form->Visible() && form->ModalResult() != 0 &&
      form->ModalResult() != mrCancel)
    ValidateEdit(false);
}

void TcxCustomEdit::AfterFocusChange() {
  if (ComponentState().Contains(csDestroying) || FValidateErrorProcessing) return;
  const bool focused = Focused() && Application && Application->Active();
  if (focused == FFocused) return;
  FFocused = focused;
  inherited::AfterFocusChange();
  HandleFocusChanged();
}

void TcxCustomEdit::SetParent(TWinControl* AParent) {
  if (FIsJustCreated && AParent) {
    // The first parent: the display is brought up to date before the window exists.
    FIsJustCreated = false;
    FDataBinding->UpdateNotConnectedDBEditDisplayValue();
    HandlePropertiesChanged(FProperties);
    FDataBinding->UpdateDisplayValue();
  }
  inherited::SetParent(AParent);
}

void TcxCustomEdit::DoExit() {
  const bool keyboardAction = FKeyboardAction;
  FKeyboardAction = false;
  TFinally restore{[&] { FKeyboardAction = keyboardAction; }};
  ValidateAndPostOnExit(true);
}

void TcxCustomEdit::ValidateAndPostOnExit(bool ACallExit) {
  if (ComponentState().Contains(csDestroying) || FValidateErrorProcessing) return;
  PushModifiedState();
  LockChangeEvents(true);
  try {
    if (ValidateEdit(true) && !FIsInplace && CanPostEditValue()) CommitEditValue(false);
  } catch (...) {
    LockChangeEvents(false);
    PopModifiedState();
    throw;
  }
  LockChangeEvents(false);
  if (RefreshesOnEnter()) FDataBinding->UpdateDisplayValue();
  RecalculateDisplayText();
  if (HandleAllocated()) ShortRefreshContainer(false);
  PopModifiedState();
  if (ACallExit) inherited::DoExit();
  FModifiedAfterEnter = false;
}

// ---------------------------------------------------------------------------
// View info and buttons
// ---------------------------------------------------------------------------

TcxContainerViewInfoClass TcxCustomEdit::ContainerViewInfoClass() {
  return TcxContainerViewInfoClass::Of<TcxCustomEditViewInfo>();
}

TcxCustomEditViewData* TcxCustomEdit::CreateEditViewData() {
  auto* style = static_cast<TcxCustomEditStyle*>(CurrentStateStyle());
  TcxCustomEditViewData* data = ActiveProperties()->CreateViewData(style, FIsInplace);
  data->Edit = ComponentState().Contains(csDestroying) ? nullptr : this;
  data->Enabled = Enabled();
  data->Focused = Focused();
  data->IsDesigning = ComponentState().Contains(csDesigning);
  data->HasCapture = HandleAllocated() && GetCapture() == Handle();
  data->CaptureButtonIndex = FCaptureButtonVisibleIndex;
  data->VisibleBounds = GetVisibleBounds();
  return data;
}

bool TcxCustomEdit::UpdateStateAt(const TPoint& AMousePos, TcxMouseButton AButton, TShiftState AShift) {
  if (!HandleAllocated() || GetCapture() != Handle()) FCaptureButtonVisibleIndex = -1;
  FStateButton = AButton;
  FStateShift = AShift;
  return inherited::UpdateStateAt(AMousePos, AButton, AShift);
}

void TcxCustomEdit::RecalcViewInfo(const TPoint& AMousePos, bool AHotTrack) {
  inherited::RecalcViewInfo(AMousePos, AHotTrack);
  // The container calculates once before the editor's parts exist.
  if (!FProperties) return;
  TcxCustomEditViewInfo* viewInfo = EditViewInfo();
  viewInfo->Edit = this;
  viewInfo->RememberButtonStates();
  TObjectPtr<TcxCustomEditViewData> data(CreateEditViewData());
  data->Calculate(TRect(0, 0, Width(), Height()), AMousePos, FStateButton, FStateShift, viewInfo,
                  FStateButton != cxmbNone);
  viewInfo->Font = Style()->GetVisibleFont();
  if (!viewInfo->ButtonStatesChanged()) return;
  // A released button; clicked when the pointer is still over it.
  TControlGuard guard(this);
  const int lastPressed = viewInfo->LastPressedButton;
  if (lastPressed >= 0 && lastPressed < viewInfo->ButtonCount()) {
    const int index = viewInfo->ButtonsInfo[lastPressed]->ButtonIndex;
    const bool click = lastPressed == viewInfo->SelectedButton;
    HandleButtonUp(index);
    if (guard.Alive() && click) FireButtonClick(index);
  }
  if (!guard.Alive()) return;
  if (viewInfo->PressedButton >= 0 && lastPressed < 0)
    HandleButtonDown(viewInfo->ButtonsInfo[viewInfo->PressedButton]->ButtonIndex);
}

void TcxCustomEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FDblClickTimer->Enabled()) {
    FDblClickTimer->SetEnabled(false);
    if (ButtonIndexAt(TPoint(X, Y)) < 0) DblClick();
  }
  inherited::MouseDown(Button, Shift, X, Y);
  TcxCustomEditViewInfo* viewInfo = EditViewInfo();
  if (Button == mbLeft && HandleAllocated() && GetCapture() == Handle() && viewInfo->PressedButton >= 0 &&
      viewInfo->ButtonsInfo[viewInfo->PressedButton]->Data.State == ebsPressed)
    FCaptureButtonVisibleIndex = viewInfo->PressedButton;
}

void TcxCustomEdit::DblClick() {
  TPoint p;
  GetCursorPos(reinterpret_cast<POINT*>(&p));
  if (HandleAllocated()) ::ScreenToClient(Handle(), reinterpret_cast<POINT*>(&p));
  if (ButtonIndexAt(p) < 0) {
    inherited::DblClick();
    return;
  }
  // Rapid clicks on a button all count: the second press of a double click
  // presses the button again and clicks.
  if (HandleAllocated()) {
    TShiftState shift = cxGetCurrentShiftState();
    shift.Include(ssLeft);
    cxForwardMouseMessage(this, WM_LBUTTONDOWN, shift, p);
  }
  Click();
}

int TcxCustomEdit::ButtonIndexAt(const TPoint& APoint) const {
  const TcxCustomEditViewInfo* viewInfo = EditViewInfo();
  for (int i = 0; i < viewInfo->ButtonCount(); ++i) {
    const TRect& r = viewInfo->ButtonsInfo[i]->Bounds;
    if (APoint.X >= r.Left && APoint.X < r.Right && APoint.Y >= r.Top && APoint.Y < r.Bottom) return i;
  }
  return -1;
}

// ---------------------------------------------------------------------------
// Accelerators, hints, clipboard messages, transparency
// ---------------------------------------------------------------------------

void TcxCustomEdit::CMDialogChar(TWMKey& Message) {
  TcxCustomEditViewInfo* viewInfo = EditViewInfo();
  for (int i = 0; i < viewInfo->ButtonCount(); ++i) {
    const TcxEditButtonViewInfo* button = viewInfo->ButtonsInfo[i];
    if (button->Data.State != ebsDisabled && IsAccel(Message.CharCode, button->Data.Caption)) {
      FireButtonClick(button->ButtonIndex);
      Message.Result = 1;
      return;
    }
  }
  DispatchInherited(TcxCustomEdit::StaticClass(), &Message);
}

void TcxCustomEdit::CMHintShow(TCMHintShow& Message) {
  THintInfo* info = Message.HintInfo;
  TcxCustomEditViewInfo* viewInfo = EditViewInfo();
  const int index = viewInfo->HitTestButton(info->CursorPos);
  if (index == -2) {
    Message.Result = 1;
    return;
  }
  String text;
  if (index >= 0) text = GetShortHint(viewInfo->ButtonsInfo[index]->Data.Hint);
  if (text.empty() && ShowHint()) text = GetShortHint(Hint());
  info->HintStr = text;
  info->CursorRect = viewInfo->GetPartBounds(index);
  Message.Result = 0;
}

void TcxCustomEdit::WMCopy(TMessage&) { CopyToClipboard(); }

void TcxCustomEdit::WMCut(TMessage&) {
  const bool keyboardAction = FKeyboardAction;
  FKeyboardAction = true;
  TFinally restore{[&] { FKeyboardAction = keyboardAction; }};
  if (IsValueReadOnly() || !FDataBinding->IsDataAvailable())
    CopyToClipboard();
  else
    CutToClipboard();
}

void TcxCustomEdit::WMPaste(TMessage&) {
  if (IsValueReadOnly() || !FDataBinding->IsDataAvailable()) return;
  const bool keyboardAction = FKeyboardAction;
  FKeyboardAction = true;
  TFinally restore{[&] { FKeyboardAction = keyboardAction; }};
  PasteFromClipboard();
}

void TcxCustomEdit::SetTransparent(bool Value) {
  FTransparent = Value;
  TControlStyle style = ControlStyle();
  if (Value)
    style.Exclude(csOpaque);
  else
    style.Include(csOpaque);
  SetControlStyle(style);
  if (HandleAllocated()) ShortRefreshContainer(false);
}

void TcxCustomEdit::SetAutoSize(bool Value) {
  if (FAutoSize == Value || FIsInplace) return;
  FAutoSize = Value;
  if (Value && HandleAllocated()) {
    AlignInnerControl();
    ShortRefreshContainer(false);
  }
}

TSize TcxCustomEdit::CalculateAutoSize() {
  TSize result(Width(), Height());
  if (!AutoSizeEnabled()) return result;
  const TAlign align = Align();
  const bool autoWidth = AllowsAutoWidth() && (align == alNone || align == alLeft || align == alRight);
  const bool autoHeight = AllowsAutoHeight();
  if (!autoWidth && !autoHeight) return result;
  TcxEditSizeProperties size;
  if (autoWidth && !autoHeight) {
    size.MaxLineCount = 1;
    size.Width = 2147483647;
  } else {
    size.Width = Width();
  }
  const TSize wanted =
      ActiveProperties()->GetEditSize(cxGetSharedScreenCanvas(), Style(), false, EditValue(), size);
  if (autoWidth) result.cx = wanted.cx;
  if (autoHeight && (align == alNone || align == alTop || align == alBottom)) result.cy = wanted.cy;
  return result;
}

void TcxCustomEdit::AlignInnerControl() {
  if (HandleAllocated() && !ComponentState().Contains(csDestroying) && FProperties && !FAutoSizing) {
    const TSize size = CalculateAutoSize();
    if (size.cx != Width() || size.cy != Height()) {
      FAutoSizing = true;
      TFinally done{[&] { FAutoSizing = false; }};
      SetBounds(Left(), Top(), size.cx, size.cy);
    }
  }
  inherited::AlignInnerControl();
}

// ---------------------------------------------------------------------------
// In place
// ---------------------------------------------------------------------------

void TcxCustomEdit::Activate(TcxCustomEditData*& AEditData) {
  if (!AEditData && GetEditDataClass()) AEditData = GetEditDataClass().Create(this);
  FEditData = AEditData;
  if (FEditData && FEditData->Cleared()) {
    InitializeEditData();
    FEditData->SetCleared(false);
  }
  SetVisible(true);
  if (HandleAllocated() && CanFocus()) {
    SetFocus();
    if (ActiveProperties()->AutoSelect()) SelectAll();
  }
  UpdateTextFromEditValue();
  SetEditModified(false);
}

void TcxCustomEdit::ActivateByKey(Char AKey, TcxCustomEditData*& AEditData) {
  Activate(AEditData);
  if (ForwardsActivationKey(AKey) && HandleAllocated()) SendMessageW(Handle(), WM_CHAR, AKey, 0);
}

void TcxCustomEdit::ActivateByMouse(TShiftState Shift, int X, int Y, TcxCustomEditData*& AEditData) {
  Activate(AEditData);
  if (!HandleAllocated()) return;
  POINT p{X, Y};
  if (Parent() && Parent()->HandleAllocated()) MapWindowPoints(Parent()->Handle(), Handle(), &p, 1);
  const TPoint point(p.x, p.y);
  if (Shift.Contains(ssLeft)) {
    cxForwardMouseMessage(this, WM_MOUSEMOVE, TShiftState(), point);
    cxForwardMouseMessage(this, WM_LBUTTONDOWN, Shift, point);
    if (GetCapture() == Handle() && !(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) ReleaseCapture();
  } else {
    cxForwardMouseMessage(this, WM_LBUTTONUP, Shift, point);
  }
  FDblClickTimer->SetEnabled(true);
}

bool TcxCustomEdit::Deactivate() {
  FDblClickTimer->SetEnabled(false);
  const bool keyboardAction = FKeyboardAction;
  FKeyboardAction = false;
  TFinally restore{[&] { FKeyboardAction = keyboardAction; }};
  const bool valid = ValidateEdit(true);
  if (valid) {
    UpdateTextFromEditValue();
    FIsEditValidated = true;
  }
  return valid;
}

BEGIN_CLASS(TcxCustomEdit, TcxContainer, (ConstructWith<TcxCustomEdit, TComponent>))
  b.template Constructor<TComponent*, bool>();
  b.Message<&TcxCustomEdit::CMDialogChar>(CM_DIALOGCHAR);
  b.Message<&TcxCustomEdit::CMHintShow>(CM_HINTSHOW);
  b.Message<&TcxCustomEdit::WMCopy>(WM_COPY);
  b.Message<&TcxCustomEdit::WMCut>(WM_CUT);
  b.Message<&TcxCustomEdit::WMPaste>(WM_PASTE);
  b.DeclareProp(L"EditValue", &TcxCustomEdit::EditValue, &TcxCustomEdit::SetEditValue).Stored = [](TObject* o) {
    return !VarIsNull(static_cast<TcxCustomEdit*>(o)->EditValue());
  };
  b.DeclareProp(L"Properties", &TcxCustomEdit::Properties, &TcxCustomEdit::SetProperties);
  b.DeclareProp(L"RepositoryItem", &TcxCustomEdit::RepositoryItem, &TcxCustomEdit::SetRepositoryItem);
  b.DeclareProp(L"Style", &TcxCustomEdit::Style, &TcxCustomEdit::SetEditStyle);
  b.DeclareProp(L"StyleDisabled", &TcxCustomEdit::StyleDisabled, &TcxCustomEdit::SetStyleDisabled);
  b.DeclareProp(L"StyleFocused", &TcxCustomEdit::StyleFocused, &TcxCustomEdit::SetStyleFocused);
  b.DeclareProp(L"StyleHot", &TcxCustomEdit::StyleHot, &TcxCustomEdit::SetStyleHot);
  b.DeclareField(L"OnEditing", &TcxCustomEdit::OnEditing);
  b.DeclareField(L"OnPostEditValue", &TcxCustomEdit::OnPostEditValue);
  b.DeclareField(L"OnAfterKeyDown", &TcxCustomEdit::OnAfterKeyDown);
END_CLASS

// ---------------------------------------------------------------------------
// TcxInplaceEditList
// ---------------------------------------------------------------------------

namespace {

std::vector<TcxInplaceEditList*>& EditLists() {
  static std::vector<TcxInplaceEditList*> lists;
  return lists;
}

void DisconnectFromEditLists(TcxCustomEditProperties* AProperties) {
  for (TcxInplaceEditList* list : EditLists()) list->DisconnectProperties(AProperties);
}

}  // namespace

TcxInplaceEditList::TcxInplaceEditList(TComponent* AEditorOwner) : FEditorOwner(AEditorOwner) {
  EditLists().push_back(this);
}

TcxInplaceEditList::~TcxInplaceEditList() {
  auto& lists = EditLists();
  lists.erase(std::remove(lists.begin(), lists.end(), this), lists.end());
  while (!FItems.empty()) RemoveAt(0);
}

TcxCustomEdit* TcxInplaceEditList::CreateEdit(TcxCustomEditPropertiesClass APropertiesClass) {
  TcxCustomEditProperties* sample = APropertiesClass.Create(nullptr);
  const TcxCustomEditClass editClass = sample->GetContainerClass();
  TObject::Free(sample);
  TcxCustomEdit* edit = editClass.Create(FEditorOwner, true);
  edit->SetVisible(false);
  return edit;
}

TcxCustomEdit* TcxInplaceEditList::FindEdit(TcxCustomEditProperties* AProperties) {
  for (TItem& item : FItems)
    if (item.Properties == AProperties) return item.Edit;
  for (TItem& item : FItems)
    if (!item.Properties && item.Edit->Properties()->ClassType() == AProperties->ClassType()) {
      item.Properties = AProperties;
      return item.Edit;
    }
  return nullptr;
}

TcxCustomEdit* TcxInplaceEditList::FindEdit(TcxCustomEditPropertiesClass APropertiesClass) {
  for (TItem& item : FItems)
    if (!item.Properties && item.Edit->Properties()->ClassType() == TClass(APropertiesClass)) return item.Edit;
  return nullptr;
}

TcxCustomEdit* TcxInplaceEditList::GetEdit(TcxCustomEditProperties* AProperties) {
  TcxCustomEdit* edit = FindEdit(AProperties);
  if (!edit) {
    edit = CreateEdit(TcxCustomEditPropertiesClass(AProperties->ClassType()));
    FItems.push_back({edit, AProperties});
  }
  edit->LockChangeEvents(true);
  TFinally unlock{[&] { edit->LockChangeEvents(false, false); }};
  edit->Properties()->Assign(AProperties);
  return edit;
}

TcxCustomEdit* TcxInplaceEditList::GetEdit(TcxCustomEditPropertiesClass APropertiesClass) {
  if (TcxCustomEdit* edit = FindEdit(APropertiesClass)) return edit;
  TcxCustomEdit* edit = CreateEdit(APropertiesClass);
  FItems.push_back({edit, nullptr});
  return edit;
}

void TcxInplaceEditList::RemoveAt(std::size_t AIndex) {
  TcxCustomEdit* edit = FItems[AIndex].Edit;
  FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(AIndex));
  edit->SetParent(nullptr);
  TObject::Free(edit);
}

void TcxInplaceEditList::RemoveItem(TcxCustomEditProperties* AProperties) {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].Properties == AProperties) {
      RemoveAt(i);
      return;
    }
}

void TcxInplaceEditList::RemoveItem(TcxCustomEditPropertiesClass APropertiesClass) {
  for (std::size_t i = FItems.size(); i-- > 0;)
    if (!FItems[i].Properties && FItems[i].Edit->Properties()->ClassType() == TClass(APropertiesClass)) RemoveAt(i);
}

void TcxInplaceEditList::DisconnectProperties(TcxCustomEditProperties* AProperties) {
  for (TItem& item : FItems)
    if (item.Properties == AProperties) item.Properties = nullptr;
}

IMPLEMENT_CLASS(TcxInplaceEditList, TObject, nullptr)

// ---------------------------------------------------------------------------
// Module
// ---------------------------------------------------------------------------

void cxForwardMouseMessage(TWinControl* AControl, UINT AMsg, TShiftState AShift, const TPoint& APoint) {
  WPARAM keys = 0;
  if (AShift.Contains(ssShift)) keys |= MK_SHIFT;
  if (AShift.Contains(ssCtrl)) keys |= MK_CONTROL;
  if (AShift.Contains(ssLeft)) keys |= MK_LBUTTON;
  if (AShift.Contains(ssRight)) keys |= MK_RBUTTON;
  if (AShift.Contains(ssMiddle)) keys |= MK_MBUTTON;
  SendMessageW(AControl->Handle(), AMsg, keys, MAKELPARAM(APoint.X, APoint.Y));
}

TShiftState cxMouseButtonShiftEx(TcxMouseButton AButton) {
  switch (AButton) {
    case cxmbLeft: return TShiftState{ssLeft};
    case cxmbRight: return TShiftState{ssRight};
    case cxmbMiddle: return TShiftState{ssMiddle};
    default: return TShiftState();
  }
}

TcxLookAndFeelKind cxEditLookAndFeelKind(TcxCustomEdit* AEdit) {
  if (AEdit->IsInplace()) return AEdit->Style()->LookAndFeel()->Kind();
  TcxEditButtons* buttons = AEdit->ActiveProperties()->Buttons();
  if (buttons->Count() == 0) return lfStandard;
  auto data = TObjectPtr<TcxCustomEditViewData>(
      AEdit->ActiveProperties()->CreateViewData(AEdit->Style(), AEdit->IsInplace()));
  switch (data->ResolveButtonsStyle()) {
    case btsFlat: case btsSimple: case btsHotFlat: return lfFlat;
    case btsUltraFlat: return lfUltraFlat;
    case btsOffice11: return lfOffice11;
    default: return lfStandard;
  }
}

TcxCustomEditClass TcxCustomEditProperties::GetContainerClass() const { return TcxCustomEditClass::Of<TcxCustomEdit>(); }

void cxEditInitialize() {
  if (Screen)
    Screen->SetCursors(crcxEditMouseWheel,
                       cxLoadCursorFromResourceData(GetModuleHandleW(nullptr), L"CXEDIT_MOUSEWHEEL"));
  TcxCustomEditProperties::DisconnectHook() = &DisconnectFromEditLists;
  cxEditStylesInitialize();
}

void cxEditFinalize() {
  if (Screen) Screen->SetCursors(crcxEditMouseWheel, nullptr);
  cxEditStylesFinalize();
  cxFreeEditPropertiesRegistry();
  TcxCustomEditProperties::DisconnectHook() = nullptr;
}
