#include "platform/WinApi.h"
#include "foundation/cxClasses.h"

#include "platform/core/Exceptions.h"
#include "platform/core/SysUtils.h"

#include <algorithm>
#include <functional>
#include <memory>

BEGIN_CLASS(TcxIUnknownObject, TObject, (ConstructPlain<TcxIUnknownObject>))
END_CLASS

BEGIN_CLASS(TcxInterfacedPersistent, TPersistent, (ConstructWith<TcxInterfacedPersistent, TPersistent>))
END_CLASS

namespace {

bool NeverStored(TObject*) { return false; }

// Temporary platform objects are made with new and released with Free.
template <class T>
struct TFreeDeleter {
  void operator()(T* p) const { TObject::Free(p); }
};
template <class T>
using TOwned = std::unique_ptr<T, TFreeDeleter<T>>;

[[noreturn]] void ListIndexError(int AIndex) {
  throw EListError(Format(L"List index out of bounds (%d)", {AIndex}));
}

}  // namespace

BEGIN_CLASS(TcxComponent, TComponent, (ConstructWith<TcxComponent, TComponent>))
  b.Prop(L"FakeComponentLink1", &TcxComponent::FakeComponentLink1, &TcxComponent::SetFakeComponentLink1).Stored =
      NeverStored;
  b.Prop(L"FakeComponentLink2", &TcxComponent::FakeComponentLink2, &TcxComponent::SetFakeComponentLink2).Stored =
      NeverStored;
  b.Prop(L"FakeComponentLink3", &TcxComponent::FakeComponentLink3, &TcxComponent::SetFakeComponentLink3).Stored =
      NeverStored;
END_CLASS

IMPLEMENT_CLASS(TcxInterfacedCollectionItem, TCollectionItem,
                (ConstructWith<TcxInterfacedCollectionItem, TCollection>))
IMPLEMENT_CLASS(TcxOwnedInterfacedCollection, TOwnedCollection, nullptr)
IMPLEMENT_CLASS(TcxStringList, TStringList, (ConstructPlain<TcxStringList>))
IMPLEMENT_CLASS(TcxObjectList, TList, (ConstructPlain<TcxObjectList>))
IMPLEMENT_CLASS(TcxComponentCollectionItem, TComponent, nullptr)
IMPLEMENT_CLASS(TcxComponentCollection, TPersistent, nullptr)
IMPLEMENT_CLASS(TcxComponentList, TComponentList, (ConstructPlain<TcxComponentList>))

// ---------------------------------------------------------------------------
// TcxInterfacedPersistent
// ---------------------------------------------------------------------------

// The owner's interface is only forwarded to, not held: the owner owns this
// object, and a reference held back would keep a counted owner alive forever.
TcxInterfacedPersistent::TcxInterfacedPersistent(TPersistent* AOwner)
    : FOwner(AOwner), FOwnerInterface(dynamic_cast<IInterface*>(AOwner)) {}

TcxInterfacedPersistent::~TcxInterfacedPersistent() = default;

int TcxInterfacedPersistent::_AddRef() {
  return FOwnerInterface ? FOwnerInterface->_AddRef() : -1;
}

int TcxInterfacedPersistent::_Release() {
  return FOwnerInterface ? FOwnerInterface->_Release() : -1;
}

// ---------------------------------------------------------------------------
// TcxComponent
// ---------------------------------------------------------------------------

TcxComponent::TcxComponent(TComponent* AOwner) : TComponent(AOwner) {}

TcxComponent::~TcxComponent() {
  cxClearObjectLinks(this);
}

void TcxComponent::BeforeDestruction() {
  if (!IsDestroying()) Destroying();
  TComponent::BeforeDestruction();
}

void TcxComponent::Loaded() {
  TComponent::Loaded();
  if (!IsDesigning() || IsDestroying() || !Owner()) return;
  TOwned<TList> list(Make<TList>());
  CollectFakeComponentLinks(list.get());
  for (int i = 0; i < 3; ++i)
    SetFakeComponentLink(i, i < list->Count() ? static_cast<TComponent*>(list->Get(i)) : nullptr);
}

void TcxComponent::CollectFakeComponentLinks(TList*) {}

void TcxComponent::SetFakeComponentLink(int AIndex, TComponent* AValue) {
  TComponent* old = FFakeComponentLinks[AIndex];
  if (old == AValue) return;
  FFakeComponentLinks[AIndex] = AValue;
  if (old && std::find(std::begin(FFakeComponentLinks), std::end(FFakeComponentLinks), old) ==
                 std::end(FFakeComponentLinks))
    old->RemoveFreeNotification(this);
  if (AValue) AValue->FreeNotification(this);
}

void TcxComponent::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  for (TComponent*& link : FFakeComponentLinks)
    if (link == AComponent) link = nullptr;
}

// ---------------------------------------------------------------------------
// TcxInterfacedCollectionItem
// ---------------------------------------------------------------------------

TcxInterfacedCollectionItem::TcxInterfacedCollectionItem(TCollection* ACollection)
    : TCollectionItem(ACollection), FOwnerInterface(dynamic_cast<IInterface*>(ACollection)) {}

TcxInterfacedCollectionItem::~TcxInterfacedCollectionItem() = default;

int TcxInterfacedCollectionItem::_AddRef() {
  return FOwnerInterface ? FOwnerInterface->_AddRef() : -1;
}

int TcxInterfacedCollectionItem::_Release() {
  return FOwnerInterface ? FOwnerInterface->_Release() : -1;
}

// ---------------------------------------------------------------------------
// TcxOwnedInterfacedCollection
// ---------------------------------------------------------------------------

TcxOwnedInterfacedCollection::TcxOwnedInterfacedCollection(TPersistent* AOwner, TClass AItemClass)
    : TOwnedCollection(AOwner, AItemClass) {}

TcxOwnedInterfacedCollection::~TcxOwnedInterfacedCollection() {
  FInternalState += cisDestroying;
}

void TcxOwnedInterfacedCollection::BeforeDestruction() {
  FInternalState += cisDestroying;
  TOwnedCollection::BeforeDestruction();
}

void TcxOwnedInterfacedCollection::Update(TCollectionItem* AItem) {
  if (FInternalState.Contains(cisUpdating)) return;
  FInternalState += cisUpdating;
  try {
    if (FSorted && !AItem) ReorderBySort();
    TOwnedCollection::Update(AItem);
    if (OnChange && !FInternalState.Contains(cisDestroying)) OnChange(this, AItem);
  } catch (...) {
    FInternalState -= cisUpdating;
    throw;
  }
  FInternalState -= cisUpdating;
}

int TcxOwnedInterfacedCollection::CompareItemPair(TCollectionItem* AItem1, TCollectionItem* AItem2) {
  const int d = AItem1->Index() - AItem2->Index();
  return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

namespace {

// Compares the items held as objects of a string list.
class TcxCollectionSorter : public TObject {
 public:
  TcxCollectionSorter(TcxOwnedInterfacedCollection* ACollection, const TcxCollectionCompareEvent& ACompare,
                      std::function<int(TCollectionItem*, TCollectionItem*)> ADefault)
      : FCollection(ACollection), FCompare(ACompare), FDefault(std::move(ADefault)) {}

  int Compare(TStringList* AList, int AIndex1, int AIndex2) {
    auto* item1 = static_cast<TCollectionItem*>(AList->GetObject(AIndex1));
    auto* item2 = static_cast<TCollectionItem*>(AList->GetObject(AIndex2));
    return FCompare ? FCompare(FCollection, item1, item2) : FDefault(item1, item2);
  }

 private:
  TcxOwnedInterfacedCollection* FCollection;
  TcxCollectionCompareEvent FCompare;
  std::function<int(TCollectionItem*, TCollectionItem*)> FDefault;
};

}  // namespace

void TcxOwnedInterfacedCollection::ReorderBySort() {
  if (UpdateCount() > 0 || FInternalState.Contains(cisSorting)) return;
  FInternalState += cisSorting;
  TcxCollectionSorter sorter(this, OnCompare,
                             [this](TCollectionItem* a, TCollectionItem* b) { return CompareItemPair(a, b); });
  TOwned<TcxStringList> list(Make<TcxStringList>());
  auto finish = [this] { FInternalState -= cisSorting; };
  try {
    for (int i = 0; i < Count(); ++i) list->AddObject(IntToStr(i), Items(i));
    list->OnCompare = TcxStringListCompareEvent::Bind<&TcxCollectionSorter::Compare>(&sorter);
    list->Sort();
    BeginUpdate();
    try {
      for (int i = 0; i < list->Count(); ++i) static_cast<TCollectionItem*>(list->GetObject(i))->SetIndex(i);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

// ---------------------------------------------------------------------------
// TcxStringList
// ---------------------------------------------------------------------------

namespace {

int CompareByEvent(TStringList* AList, int AIndex1, int AIndex2) {
  auto* list = static_cast<TcxStringList*>(AList);
  return list->OnCompare(AList, AIndex1, AIndex2);
}

}  // namespace

void TcxStringList::Sort() {
  if (OnCompare)
    CustomSort(&CompareByEvent);
  else
    TStringList::Sort();
}

// ---------------------------------------------------------------------------
// TcxObjectList
// ---------------------------------------------------------------------------

TcxObjectList::~TcxObjectList() {
  Clear();
}

void TcxObjectList::Clear() {
  if (FOwnObjects) {
    // Each entry is emptied before its object goes, so a destructor that
    // looks at the list (or takes its object out) finds no freed object.
    for (int i = 0; i < Count(); ++i) {
      auto* obj = static_cast<TObject*>(Get(i));
      if (!obj) continue;
      Put(i, nullptr);
      TObject::Free(obj);
    }
  }
  TList::Clear();
}

// ---------------------------------------------------------------------------
// TcxComponentCollectionItem
// ---------------------------------------------------------------------------

TcxComponentCollectionItem::TcxComponentCollectionItem(TComponent* AOwner) : TComponent(AOwner) {}

TcxComponentCollectionItem::~TcxComponentCollectionItem() {
  SetCollection(nullptr);
}

void TcxComponentCollectionItem::BeforeDestruction() {
  TComponent::BeforeDestruction();
  // Leave while the whole object still exists: the collection's handlers see it.
  SetCollection(nullptr);
}

void TcxComponentCollectionItem::SetCollection(TcxComponentCollection* AValue) {
  if (FCollection == AValue) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (AValue) AValue->InsertItem(this);
}

int TcxComponentCollectionItem::Index() const {
  return FCollection ? FCollection->IndexOf(const_cast<TcxComponentCollectionItem*>(this)) : -1;
}

void TcxComponentCollectionItem::SetIndex(int AValue) {
  if (!FCollection || Index() == AValue) return;
  FCollection->MoveItem(this, AValue);
}

String TcxComponentCollectionItem::GetDisplayName() {
  return Name();
}

TComponent* TcxComponentCollectionItem::GetParentComponent() {
  if (FCollection) return FCollection->ParentComponent();
  return TComponent::GetParentComponent();
}

bool TcxComponentCollectionItem::HasParent() {
  return GetParentComponent() != nullptr;
}

void TcxComponentCollectionItem::SetParentComponent(TComponent* Value) {
  SetCollection(Value ? CollectionOfParent(Value) : nullptr);
}

void TcxComponentCollectionItem::Changed() {
  if (!FCollection || ComponentState().Contains(csDestroying)) return;
  if (FCollection->FUpdateCount == 0) FCollection->NotifyChange(this, ccnChanged);
}

// ---------------------------------------------------------------------------
// TcxComponentCollection
// ---------------------------------------------------------------------------

TcxComponentCollection::TcxComponentCollection(TComponent* AParentComponent, TClass AItemClass)
    : FItemClass(AItemClass), FParentComponent(AParentComponent) {
  // Add constructs the class with a component owner: anything else would be
  // handed the wrong object.
  if (!FItemClass || !FItemClass->InheritsFrom(TcxComponentCollectionItem::StaticClass()))
    throw EListError(L"Invalid collection item class");
}

TcxComponentCollection::~TcxComponentCollection() {
  // No change events while dying.
  FUpdateCount = 1;
  while (!FItems.empty()) TObject::Free(FItems.back());
}

void TcxComponentCollection::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxComponentCollection*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  BeginUpdate();
  try {
    Clear();
    for (int i = 0; i < source->Count(); ++i) Add()->Assign(source->FItems[i]);
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

TcxComponentCollectionItem* TcxComponentCollection::Add() {
  TComponent* owner = FParentComponent ? FParentComponent->Owner() : nullptr;
  auto* item = static_cast<TcxComponentCollectionItem*>(FItemClass->NewInstance(owner));
  try {
    item->SetParentComponent(FParentComponent);
    SetUpNewItem(item);
  } catch (...) {
    TObject::Free(item);
    throw;
  }
  return item;
}

TcxComponentCollectionItem* TcxComponentCollection::Insert(int AIndex) {
  TcxComponentCollectionItem* item = Add();
  item->SetIndex(AIndex);
  return item;
}

void TcxComponentCollection::Delete(int AIndex) {
  TcxComponentCollectionItem* item = Items(AIndex);
  HandleItemNotification(item, ccnDeleting);
  TObject::Free(item);
}

void TcxComponentCollection::Remove(TcxComponentCollectionItem* AItem) {
  const int index = IndexOf(AItem);
  if (index >= 0) Delete(index);
}

void TcxComponentCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  try {
    while (!FItems.empty()) TObject::Free(FItems.back());
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

void TcxComponentCollection::BeginUpdate() {
  ++FUpdateCount;
}

void TcxComponentCollection::EndUpdate(bool AForceUpdate) {
  --FUpdateCount;
  if (AForceUpdate && FUpdateCount == 0) NotifyChange(nullptr, ccnChanged);
}

TcxComponentCollectionItem* TcxComponentCollection::FindItemByID(int AID) const {
  for (TcxComponentCollectionItem* item : FItems)
    if (item->FID == AID) return item;
  return nullptr;
}

TcxComponentCollectionItem* TcxComponentCollection::Items(int AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) ListIndexError(AIndex);
  return FItems[AIndex];
}

int TcxComponentCollection::IndexOf(TcxComponentCollectionItem* AItem) const {
  const auto it = std::find(FItems.begin(), FItems.end(), AItem);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TcxComponentCollection::HandleItemNotification(TcxComponentCollectionItem*, TcxComponentCollectionNotification) {}

void TcxComponentCollection::SetUpNewItem(TcxComponentCollectionItem*) {}

void TcxComponentCollection::NotifyChange(TcxComponentCollectionItem* AItem,
                                          TcxComponentCollectionNotification AAction) {
  if (OnChange) OnChange(this, AItem, AAction);
}

void TcxComponentCollection::InsertItem(TcxComponentCollectionItem* AItem) {
  if (!AItem->InheritsFrom(FItemClass)) return;
  FItems.push_back(AItem);
  AItem->FCollection = this;
  AItem->FID = FNextID++;
  HandleItemNotification(AItem, ccnAdded);
  if (FUpdateCount == 0) NotifyChange(AItem, ccnAdded);
}

void TcxComponentCollection::RemoveItem(TcxComponentCollectionItem* AItem) {
  HandleItemNotification(AItem, ccnExtracting);
  const auto it = std::find(FItems.begin(), FItems.end(), AItem);
  if (it != FItems.end()) FItems.erase(it);
  AItem->FCollection = nullptr;
  HandleItemNotification(AItem, ccnExtracted);
  if (FUpdateCount == 0) NotifyChange(AItem, ccnExtracted);
}

void TcxComponentCollection::MoveItem(TcxComponentCollectionItem* AItem, int ANewIndex) {
  const int current = IndexOf(AItem);
  if (current < 0 || current == ANewIndex) return;
  if (ANewIndex < 0 || ANewIndex >= Count()) ListIndexError(ANewIndex);
  FItems.erase(FItems.begin() + current);
  FItems.insert(FItems.begin() + ANewIndex, AItem);
  if (FUpdateCount == 0) NotifyChange(nullptr, ccnChanged);
}

// ---------------------------------------------------------------------------
// TcxComponentList
// ---------------------------------------------------------------------------

TcxComponentList::TcxComponentList() : TComponentList(false) {}

TcxComponentList::~TcxComponentList() {
  FUpdateCount = 1;
  Clear();
}

void TcxComponentList::BeforeDestruction() {
  // No change events while the list empties.
  FUpdateCount = 1;
  TComponentList::BeforeDestruction();
}

TClass TcxComponentList::AcceptedItemClass() {
  return TComponent::StaticClass();
}

void TcxComponentList::Notify(void* Ptr, TListNotification Action) {
  auto* component = static_cast<TObject*>(Ptr);
  if (component->InheritsFrom(AcceptedItemClass())) {
    NotifyChanged(static_cast<TComponent*>(component), Action);
  } else if (Action == lnAdded) {
    // Not for this list: out again at once, without a word.
    TList::Extract(Ptr);
  }
}

void TcxComponentList::NotifyChanged(TComponent* AComponent, TListNotification AAction) {
  TComponentList::Notify(AComponent, AAction);
  if (OnNotify) OnNotify(this, AComponent, AAction);
  if (OnComponentListChanged && FUpdateCount == 0) {
    const TcxComponentCollectionNotification action =
        AAction == lnAdded ? ccnAdded : (AAction == lnExtracted ? ccnExtracted : ccnDeleting);
    OnComponentListChanged(this, AComponent, action);
  }
}

void TcxComponentList::Clear() {
  if (Count() > 0) {
    BeginUpdate();
    try {
      while (Count() > 0) Delete(0);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
  }
  TComponentList::Clear();
}

void TcxComponentList::EndUpdate() {
  --FUpdateCount;
  if (FUpdateCount == 0 && OnComponentListChanged) OnComponentListChanged(this, nullptr, ccnChanged);
}
