#include "bars/model/dxBarComponents.h"

#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarStrs.h"

#include "foundation/cxClasses.h"
#include "foundation/dxCore.h"
#include "platform/core/Filer.h"

#include <algorithm>

IMPLEMENT_CLASS(TdxObjectList, TObjectList, nullptr)
IMPLEMENT_CLASS(TdxBarComponent, TcxComponent, nullptr)
IMPLEMENT_CLASS(TdxBarComponentList, TcxComponentList, nullptr)

BEGIN_CLASS(TdxBarGroup, TdxBarComponent, (ConstructWith<TdxBarGroup, TComponent>))
  DefaultValue(b.Prop(L"Enabled", &TdxBarGroup::Enabled, &TdxBarGroup::SetEnabled), 1);
  DefaultValue(b.Prop(L"Visible", &TdxBarGroup::Visible, &TdxBarGroup::SetVisible), ivAlways);
END_CLASS

// ---------------------------------------------------------------------------
// TdxObjectList
// ---------------------------------------------------------------------------

int TdxObjectList::Add(TObject* AObject) {
  if (!AObject || IndexOf(AObject) >= 0) return -1;
  return TObjectList::Add(AObject);
}

void TdxObjectList::AddList(TObjectList* AObjects) {
  for (int i = 0; i < AObjects->Count(); ++i) Add(AObjects->Get(i));
}

void TdxObjectList::CopyFrom(TObjectList* ASource) {
  Clear();
  SetCapacity(ASource->Capacity());
  AddList(ASource);
}

void TdxObjectList::CopyTo(TObjectList* ADestination) {
  ADestination->Clear();
  ADestination->SetCapacity(Capacity());
  auto* unique = dynamic_cast<TdxObjectList*>(ADestination);
  for (int i = 0; i < Count(); ++i) {
    if (unique)
      unique->Add(Get(i));
    else
      ADestination->Add(Get(i));
  }
}

void TdxObjectList::XorList(TObjectList* ASourceA, TObjectList* ASourceB) {
  Clear();
  for (int i = 0; i < ASourceA->Count(); ++i)
    if (ASourceB->IndexOf(ASourceA->Get(i)) < 0) Add(ASourceA->Get(i));
  for (int i = 0; i < ASourceB->Count(); ++i)
    if (ASourceA->IndexOf(ASourceB->Get(i)) < 0) Add(ASourceB->Get(i));
}

// ---------------------------------------------------------------------------
// The designer and the design controller
// ---------------------------------------------------------------------------


// ---------------------------------------------------------------------------
// TdxBarComponent, TdxBarComponentList
// ---------------------------------------------------------------------------

TdxBarComponent::TdxBarComponent(TComponent* AOwner) : TcxComponent(AOwner) {}

bool TdxBarComponent::MayBeDeleted(bool) {
  IdxBarDesigner* designer = dxBarDesignerOf(FBarManager);
  return !designer || designer->CanDeleteComponent(this);
}

void TdxBarComponent::DeleteFromDesigner(IdxBarSelectableItem*& AReference, bool ADeleteComponent) {
  if (!MayBeDeleted(ADeleteComponent)) return;
  AReference = nullptr;
  TObject::Free(this);
}

void TdxBarComponent::CollectMasterObjects(TdxObjectList* AObjects) {
  if (AObjects) AObjects->Add(Owner());
}

TdxBarSelectionStatus TdxBarComponent::DesignSelectionState() {
  IdxBarDesigner* designer = dxBarDesignerOf(FBarManager);
  return designer ? designer->GetSelectionStatus(this) : ssUnselected;
}

void TdxBarComponent::SelectInDesigner(TdxBarSelectionOperation AOperation) {
  if (IdxBarDesigner* designer = dxBarDesignerOf(FBarManager)) designer->SelectObject(this, AOperation);
}

TdxBarComponent::~TdxBarComponent() {
  // The lists forget the component through its free notification.
  FChangeNotifies.clear();
}

void TdxBarComponent::NotifyListsOfChange(bool AAllChanged) {
  if (ComponentState().Contains(csDestroying)) return;
  const std::vector<TdxBarComponentList*> lists = FChangeNotifies;
  for (TdxBarComponentList* list : lists) list->ComponentChanged(AAllChanged ? nullptr : this);
}

void TdxBarComponentList::ComponentChanged(TdxBarComponent* AComponent) {
  if (OnComponentListChanged && UpdateCount() == 0) OnComponentListChanged(this, AComponent, ccnChanged);
}

void TdxBarComponentList::NotifyChanged(TComponent* AComponent, TListNotification AAction) {
  auto* component = static_cast<TdxBarComponent*>(AComponent);
  auto& lists = component->FChangeNotifies;
  if (AAction == lnAdded) {
    if (std::find(lists.begin(), lists.end(), this) == lists.end()) lists.push_back(this);
  } else if (!component->ComponentState().Contains(csDestroying)) {
    lists.erase(std::remove(lists.begin(), lists.end(), this), lists.end());
  }
  TcxComponentList::NotifyChanged(AComponent, AAction);
}

// ---------------------------------------------------------------------------
// TdxBarGroup
// ---------------------------------------------------------------------------

TdxBarGroup::TdxBarGroup(TComponent* AOwner) : TdxBarComponent(AOwner), FItems(Make<TdxBarComponentList>()) {}

TdxBarGroup::~TdxBarGroup() {
  TObject::Free(FItemsNames);
  TObject::Free(FItems);
  if (FBarManager) FBarManager->GroupList()->Remove(this);
}

bool TdxBarGroup::ContainsGroup(TdxBarGroup* AGroup) {
  if (this == AGroup) return true;
  for (int i = 0; i < FItems->Count(); ++i)
    if (auto* group = dynamic_cast<TdxBarGroup*>(Items(i)); group && group->ContainsGroup(AGroup)) return true;
  return false;
}

void TdxBarGroup::Add(TdxBarComponent* AItem) {
  if (!AItem || IndexOf(AItem) >= 0) return;
  if (auto* group = dynamic_cast<TdxBarGroup*>(AItem); group && group->ContainsGroup(this))
    throw EdxException(cxLookUpResourceString(&dxSBAR_RECURSIVEGROUPS));
  FItems->Add(AItem);
}

void TdxBarGroup::Delete(int AIndex) { FItems->Delete(AIndex); }

void TdxBarGroup::Remove(TdxBarComponent* AItem) { FItems->Remove(AItem); }

int TdxBarGroup::IndexOf(TdxBarComponent* AItem) const { return FItems->IndexOf(AItem); }

void TdxBarGroup::Move(int AFromIndex, int AToIndex) { FItems->Move(AFromIndex, AToIndex); }

int TdxBarGroup::Index() const { return FBarManager ? FBarManager->GroupList()->IndexOf(const_cast<TdxBarGroup*>(this)) : -1; }

void TdxBarGroup::SetIndex(int AValue) {
  const int index = Index();
  if (index >= 0 && index != AValue) FBarManager->GroupList()->Move(index, AValue);
}

template <class F>
void TdxBarGroup::ForEachMember(bool ABracket, F&& AProc) {
  // One update of the manager for all members.
  const bool bracket = ABracket && FBarManager;
  if (bracket) FBarManager->BeginUpdate();
  try {
    for (int i = 0; i < FItems->Count(); ++i) AProc(Items(i));
  } catch (...) {
    if (bracket) FBarManager->EndUpdate();
    throw;
  }
  if (bracket) FBarManager->EndUpdate();
}

void TdxBarGroup::SetEnabled(bool AValue) {
  FEnabled = AValue;
  // An open quick-customization control must not be rebuilt under the user.
  IdxBarDesignController* controller = dxBarDesignControllerSlot();
  const bool bracket = !ComponentState().Contains(csLoading) && !ComponentState().Contains(csDestroying) &&
                       !(controller && controller->HasQuickControl());
  ForEachMember(bracket, [AValue](TdxBarComponent* AMember) { AMember->SetEnabled(AValue); });
}

void TdxBarGroup::SetVisible(TdxBarItemVisible AValue) {
  FVisible = AValue;
  const bool bracket = !ComponentState().Contains(csLoading) && !ComponentState().Contains(csDestroying);
  ForEachMember(bracket, [AValue](TdxBarComponent* AMember) { AMember->SetVisible(AValue); });
}

bool TdxBarGroup::IsComparedWithAncestor() const {
  const TComponentStateSet state = ComponentState();
  return FItemsNames && state.Contains(csLoading) && state.Contains(csAncestor) && !state.Contains(csReading);
}

int TdxBarGroup::Count() const { return IsComparedWithAncestor() ? FItemsNames->Count() : FItems->Count(); }

String TdxBarGroup::MemberName(int AIndex) const {
  return IsComparedWithAncestor() ? FItemsNames->Get(AIndex) : Items(AIndex)->Name();
}

void TdxBarGroup::SetName(const String& ANewName) {
  TdxBarComponent::SetName(ANewName);
  NotifyListsOfChange(false);
}

TComponent* TdxBarGroup::GetParentComponent() { return FBarManager; }

void TdxBarGroup::SetParentComponent(TComponent* AParent) {
  auto* manager = dynamic_cast<TdxBarManager*>(AParent);
  if (!manager || manager == FBarManager) return;
  if (FBarManager) FBarManager->GroupList()->Remove(this);
  FBarManager = manager;
  manager->GroupList()->Add(this);
}

void TdxBarGroup::DefineProperties(TFiler* AFiler) {
  TdxBarComponent::DefineProperties(AFiler);
  bool hasData = true;
  if (auto* ancestor = dynamic_cast<TdxBarGroup*>(AFiler->Ancestor())) {
    hasData = ancestor->Count() != Count();
    for (int i = 0; !hasData && i < Count(); ++i) hasData = ancestor->MemberName(i) != MemberName(i);
  }
  AFiler->DefineProperty(
      L"Items", [this](TReader* r) { ReadItems(r); }, [this](TWriter* w) { WriteItems(w); }, hasData);
}

void TdxBarGroup::ReadItems(TReader* AReader) {
  auto* names = Make<TStringList>();
  try {
    AReader->ReadListBegin();
    while (!AReader->EndOfList()) names->Add(AReader->ReadString());
    AReader->ReadListEnd();
  } catch (...) {
    TObject::Free(names);
    throw;
  }
  if (ComponentState().Contains(csLoading)) {
    TObject::Free(FItemsNames);
    FItemsNames = names;
    return;
  }
  FItems->Clear();
  AddNamedItems(names);
}

void TdxBarGroup::AddNamedItems(TStringList* ANames) {
  struct TFree {
    TStringList* Names;
    ~TFree() { TObject::Free(Names); }
  } free{ANames};
  TComponent* form = FBarManager ? FBarManager->Owner() : nullptr;
  for (int i = 0; form && i < ANames->Count(); ++i)
    if (auto* item = dynamic_cast<TdxBarComponent*>(form->FindComponent(ANames->Get(i)))) Add(item);
}

void TdxBarGroup::WriteItems(TWriter* AWriter) {
  AWriter->WriteListBegin();
  for (int i = 0; i < Count(); ++i) AWriter->WriteString(MemberName(i));
  AWriter->WriteListEnd();
}

void TdxBarGroup::Loaded() {
  TdxBarComponent::Loaded();
  if (!FItemsNames) return;
  TStringList* names = FItemsNames;
  FItemsNames = nullptr;
  AddNamedItems(names);
}
