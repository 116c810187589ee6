#include "editors/core/cxFilterEditsController.h"

#include "editors/core/cxEdit.h"
#include "editors/core/cxEditButtons.h"
#include "editors/core/cxEditProperties.h"

#include <algorithm>

TcxCustomFilterEditHelperClass TcxCustomFilterEditHelper::Instance() {
  static const TcxCustomFilterEditHelper instance;
  return &instance;
}

void TcxCustomFilterEditHelper::ClearPropertiesEvents(TcxCustomEditProperties* AProperties) const {
  if (!AProperties) return;
  AProperties->OnButtonClick = TcxEditButtonClickEvent();
  AProperties->OnChange = TNotifyEvent();
  AProperties->OnEditValueChanged = TNotifyEvent();
  AProperties->OnValidate = TcxEditValidateEvent();
}

TcxFilterControlOperators TcxCustomFilterEditHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                                  TcxValueTypeClass AValueTypeClass,
                                                                                  bool AExtendedSet) const {
  TcxFilterControlOperators result;
  for (int op = fcoEqual; op <= fcoNonBlanks; ++op) result.Include(static_cast<TcxFilterControlOperator>(op));
  if (AExtendedSet)
    for (int op = fcoBetween; op <= fcoNotInList; ++op) result.Include(static_cast<TcxFilterControlOperator>(op));
  if (!AValueTypeClass || !AValueTypeClass->IsString()) {
    result.Exclude(fcoLike);
    result.Exclude(fcoNotLike);
  }
  return result;
}

void TcxCustomFilterEditHelper::InitializeProperties(TcxCustomEditProperties* AProperties,
                                                     TcxCustomEditProperties* AEditProperties,
                                                     bool AHasButtons) const {
  AProperties->Assign(AEditProperties);
  AProperties->Alignment()->SetHorz(taLeftJustify);
  AProperties->Alignment()->SetVert(taTopJustify);
  AProperties->SetBeepOnError(false);
  if (!AHasButtons) AProperties->Buttons()->Clear();
  AProperties->SetReadOnly(false);
  AProperties->SetValidateOnEnter(true);
  if (!KeepsDefaultValuesProvider(AEditProperties)) AProperties->SetIDefaultValuesProvider(nullptr);
  ClearPropertiesEvents(AProperties);
}

void TcxCustomFilterEditHelper::InitializeFilterEdit(TcxCustomEdit* AEdit,
                                                     TcxCustomEditProperties* AEditProperties) const {
  InitializeProperties(AEdit->ActiveProperties(), AEditProperties, EditPropertiesHasButtons());
}

void TcxCustomFilterEditHelper::GetFilterValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties,
                                               Variant& V, String& S) const {
  V = AEdit->EditValue();
  S = AEditProperties->GetDisplayText(V, false, true);
}

TcxCustomEdit* TcxCustomFilterEditHelper::GetFilterEdit(TcxCustomEditProperties* AEditProperties,
                                                       TcxInplaceEditList* AInplaceEditList) const {
  const TcxCustomEditPropertiesClass propertiesClass = GetFilterEditPropertiesClass();
  if (!propertiesClass) return nullptr;
  TcxCustomEdit* edit;
  if (AInplaceEditList) {
    edit = AInplaceEditList->GetEdit(propertiesClass);
  } else {
    TcxCustomEditProperties* sample = propertiesClass.Create(nullptr);
    const TcxCustomEditClass editClass = sample->GetContainerClass();
    TObject::Free(sample);
    edit = editClass.Create(nullptr, false);
  }
  InitializeFilterEdit(edit, AEditProperties);
  return edit;
}

bool TcxCustomFilterEditHelper::IsValueValid(TcxValueTypeClass AValueTypeClass, Variant& AValue) const {
  return AValueTypeClass->IsValueValid(AValue);
}

namespace {

TcxFilterEditsController*& Controller() {
  static TcxFilterEditsController* controller = nullptr;
  return controller;
}

TClass KeyOf(TClass AClass) { return AClass ? AClass->Parent : nullptr; }

}  // namespace

void TcxFilterEditsController::Register(TClass AItemClass, TcxCustomFilterEditHelperClass AHelper) {
  FItems.push_back({KeyOf(AItemClass), AHelper});
}

void TcxFilterEditsController::Unregister(TClass AItemClass, TcxCustomFilterEditHelperClass AHelper) {
  const TClass key = KeyOf(AItemClass);
  FItems.erase(std::remove_if(FItems.begin(), FItems.end(),
                              [&](const TEntry& e) { return e.ItemClass == key && e.Helper == AHelper; }),
               FItems.end());
  if (FItems.empty() && Controller() == this) FreeAndNil(Controller());
}

TcxCustomFilterEditHelperClass TcxFilterEditsController::FindHelper(TClass APropertiesClass) const {
  const TClass key = KeyOf(APropertiesClass);
  if (!key) return nullptr;
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it)
    if (it->ItemClass && key->InheritsFrom(it->ItemClass)) return it->Helper;
  return nullptr;
}

TcxFilterEditsController* cxFilterEditsControllerInstance() {
  if (!Controller()) Controller() = Make<TcxFilterEditsController>();
  return Controller();
}

bool cxFilterEditsControllerExists() { return Controller() != nullptr; }

IMPLEMENT_CLASS(TcxFilterEditsController, TObject, nullptr)
