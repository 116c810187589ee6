// The library's base classes: objects that implement interfaces without
// reference counting, the component base, an object list that may own its
// objects, the collection of components that belong to a parent component,
// and a non-owning component list with change events.
#pragma once

#include "platform/core/Components.h"
#include "platform/core/Lists.h"
#include "platform/core/StringLists.h"

#include <vector>

// ---------------------------------------------------------------------------
// Interface implementations without reference counting
// ---------------------------------------------------------------------------

// Lives by its owner's rules: add-reference and release do nothing and return -1.
class TcxIUnknownObject : public TObject, public IInterface {
  DECLARE_CLASS(TcxIUnknownObject, TObject)
  TcxIUnknownObject() = default;
  int _AddRef() override { return -1; }
  int _Release() override { return -1; }
};

// A persistent that knows its owner; references are counted by the owner's
// interface when the owner has one, else not at all.
class TcxInterfacedPersistent : public TPersistent, public IInterface {
  DECLARE_CLASS(TcxInterfacedPersistent, TPersistent)
  explicit TcxInterfacedPersistent(TPersistent* AOwner);
  ~TcxInterfacedPersistent() override;

  int _AddRef() override;
  int _Release() override;
  TPersistent* Owner() const { return FOwner; }
  TPersistent* GetOwner() override { return FOwner; }

 private:
  TPersistent* FOwner;
  IInterface* FOwnerInterface = nullptr;
};

// ---------------------------------------------------------------------------
// TcxComponent
// ---------------------------------------------------------------------------

class TcxComponent : public TComponent {
  DECLARE_CLASS(TcxComponent, TComponent)
  explicit TcxComponent(TComponent* AOwner);
  // Clears the weak object links that follow the component.
  ~TcxComponent() override;
  void BeforeDestruction() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  bool IsDesigning() const { return ComponentState().Contains(csDesigning); }
  bool IsDestroying() const { return ComponentState().Contains(csDestroying); }

  // Up to three components this one depends on, filled at design time and
  // never stored; a linked component that is freed leaves its slot.
  TComponent* FakeComponentLink1() const { return FFakeComponentLinks[0]; }
  TComponent* FakeComponentLink2() const { return FFakeComponentLinks[1]; }
  TComponent* FakeComponentLink3() const { return FFakeComponentLinks[2]; }
  void SetFakeComponentLink1(TComponent* AValue) { SetFakeComponentLink(0, AValue); }
  void SetFakeComponentLink2(TComponent* AValue) { SetFakeComponentLink(1, AValue); }
  void SetFakeComponentLink3(TComponent* AValue) { SetFakeComponentLink(2, AValue); }

 protected:
  // Fills AList with the components to link (nothing here).
  virtual void CollectFakeComponentLinks(TList* AList);

 private:
  void SetFakeComponentLink(int AIndex, TComponent* AValue);
  TComponent* FFakeComponentLinks[3] = {nullptr, nullptr, nullptr};
};

// ---------------------------------------------------------------------------
// TcxInterfacedCollectionItem, TcxOwnedInterfacedCollection, TcxStringList
// ---------------------------------------------------------------------------

// A collection item whose references are counted by its collection's
// interface when the collection has one, else not at all.
class TcxInterfacedCollectionItem : public TCollectionItem, public IInterface {
  DECLARE_CLASS(TcxInterfacedCollectionItem, TCollectionItem)
  explicit TcxInterfacedCollectionItem(TCollection* ACollection);
  ~TcxInterfacedCollectionItem() override;
  int _AddRef() override;
  int _Release() override;

 private:
  IInterface* FOwnerInterface = nullptr;
};

DECLARE_ENUM(TcxCollectionInternalState, cisDestroying, cisUpdating, cisSorting)
using TcxCollectionInternalStates = TSet<TcxCollectionInternalState, 8>;

using TcxCollectionNotifyEvent = TClosure<void(TObject* Sender, TCollectionItem* AItem)>;
using TcxCollectionCompareEvent = TClosure<int(TObject* ASender, TCollectionItem* AItem1, TCollectionItem* AItem2)>;

// An owned collection without reference counting that reports every change
// through OnChange and, when Sorted, re-sorts its items on a change of the
// whole collection.
class TcxOwnedInterfacedCollection : public TOwnedCollection, public IInterface {
  DECLARE_CLASS(TcxOwnedInterfacedCollection, TOwnedCollection)
  TcxOwnedInterfacedCollection(TPersistent* AOwner, TClass AItemClass);
  ~TcxOwnedInterfacedCollection() override;
  void BeforeDestruction() override;

  int _AddRef() override { return -1; }
  int _Release() override { return -1; }

  void Update(TCollectionItem* AItem) override;
  // Puts the items in the order of OnCompare (or CompareItemPair); nothing
  // while the collection is updating or already sorting.
  void ReorderBySort();
  bool Sorted() const { return FSorted; }
  void SetSorted(bool AValue) { FSorted = AValue; }
  TcxCollectionInternalStates InternalState() const { return FInternalState; }

  TcxCollectionNotifyEvent OnChange;
  TcxCollectionCompareEvent OnCompare;

 protected:
  // The sign of the difference of the items' indexes.
  virtual int CompareItemPair(TCollectionItem* AItem1, TCollectionItem* AItem2);
  TcxCollectionInternalStates FInternalState;
  bool FSorted = false;
};

using TcxStringListCompareEvent = TClosure<int(TStringList* AList, int AIndex1, int AIndex2)>;

// A string list whose Sort uses OnCompare when it is assigned.
class TcxStringList : public TStringList {
  DECLARE_CLASS(TcxStringList, TStringList)
  TcxStringList() = default;
  void Sort() override;
  TcxStringListCompareEvent OnCompare;
};

// ---------------------------------------------------------------------------
// TcxObjectList
// ---------------------------------------------------------------------------

// A pointer list of objects. When OwnObjects, Clear (and so freeing the list)
// frees the objects, first to last. Delete, Remove and Extract only take an
// object out: its owner frees it.
class TcxObjectList : public TList {
  DECLARE_CLASS(TcxObjectList, TList)
  explicit TcxObjectList(bool AOwnObjects = true) : FOwnObjects(AOwnObjects) {}
  ~TcxObjectList() override;

  void Clear() override;
  bool OwnObjects() const { return FOwnObjects; }
  void SetOwnObjects(bool AValue) { FOwnObjects = AValue; }
  int Add(TObject* AObject) { return TList::Add(AObject); }
  TObject* Items(int AIndex) const { return static_cast<TObject*>(TList::Get(AIndex)); }
  TObject* operator[](int AIndex) const { return Items(AIndex); }

 private:
  bool FOwnObjects;
};

// ---------------------------------------------------------------------------
// Component collections
// ---------------------------------------------------------------------------

class TcxComponentCollection;
class TcxComponentCollectionItem;

DECLARE_ENUM(TcxComponentCollectionNotification, ccnAdded, ccnChanged, ccnExtracting, ccnExtracted, ccnDeleting)

using TcxComponentCollectionChangeEvent = TClosure<void(TObject* Sender, TcxComponentCollectionItem* AItem,
                                                        TcxComponentCollectionNotification AAction)>;

// A component that sits in the collection of a parent component (a bar
// manager's toolbars). It is owned by the parent's owner (the form) and
// streamed as a child of its parent component, which puts it back into the
// parent's collection on loading.
class TcxComponentCollectionItem : public TComponent {
  DECLARE_CLASS(TcxComponentCollectionItem, TComponent)
  explicit TcxComponentCollectionItem(TComponent* AOwner);
  ~TcxComponentCollectionItem() override;
  void BeforeDestruction() override;

  TcxComponentCollection* Collection() const { return FCollection; }
  // Leaves the old collection and enters the new one (only when the new
  // collection accepts the item's class).
  virtual void SetCollection(TcxComponentCollection* AValue);
  // Position in the collection, -1 outside one.
  int Index() const;
  // Moves the item within its collection; EListError for a position out of range.
  virtual void SetIndex(int AValue);
  int ID() const { return FID; }
  String DisplayName() { return GetDisplayName(); }
  virtual String GetDisplayName();

  TComponent* GetParentComponent() override;
  bool HasParent() override;
  void SetParentComponent(TComponent* Value) override;

 protected:
  // The collection of a parent component that is to hold the item.
  virtual TcxComponentCollection* CollectionOfParent(TComponent* AParent) = 0;
  // Reports a change of this item to the collection.
  void Changed();

 private:
  friend class TcxComponentCollection;
  TcxComponentCollection* FCollection = nullptr;
  int FID = 0;
};

class TcxComponentCollection : public TPersistent {
  DECLARE_CLASS(TcxComponentCollection, TPersistent)
  TcxComponentCollection(TComponent* AParentComponent, TClass AItemClass);
  ~TcxComponentCollection() override;

  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override { return FParentComponent; }

  // A new item owned by the parent component's owner, in this collection.
  TcxComponentCollectionItem* Add();
  TcxComponentCollectionItem* Insert(int AIndex);
  void Delete(int AIndex);
  void Remove(TcxComponentCollectionItem* AItem);
  void Clear();
  virtual void BeginUpdate();
  virtual void EndUpdate(bool AForceUpdate = true);
  TcxComponentCollectionItem* FindItemByID(int AID) const;

  int Count() const { return static_cast<int>(FItems.size()); }
  // EListError for an index out of range.
  TcxComponentCollectionItem* Items(int AIndex) const;
  TcxComponentCollectionItem* operator[](int AIndex) const { return Items(AIndex); }
  int IndexOf(TcxComponentCollectionItem* AItem) const;
  TComponent* ParentComponent() const { return FParentComponent; }
  TClass ItemClass() const { return FItemClass; }
  int UpdateCount() const { return FUpdateCount; }

  TcxComponentCollectionChangeEvent OnChange;

 protected:
  // Told of every item event, whatever the update count.
  virtual void HandleItemNotification(TcxComponentCollectionItem* AItem, TcxComponentCollectionNotification AAction);
  virtual void SetUpNewItem(TcxComponentCollectionItem* AItem);
  virtual void NotifyChange(TcxComponentCollectionItem* AItem, TcxComponentCollectionNotification AAction);

 private:
  friend class TcxComponentCollectionItem;
  void InsertItem(TcxComponentCollectionItem* AItem);
  void RemoveItem(TcxComponentCollectionItem* AItem);
  void MoveItem(TcxComponentCollectionItem* AItem, int ANewIndex);

  TClass FItemClass;
  std::vector<TcxComponentCollectionItem*> FItems;
  int FNextID = 0;
  TComponent* FParentComponent;
  int FUpdateCount = 0;
};

// ---------------------------------------------------------------------------
// TcxComponentList
// ---------------------------------------------------------------------------

using TcxComponentListChangeEvent =
    TClosure<void(TObject* Sender, TComponent* AComponent, TcxComponentCollectionNotification AAction)>;
using TcxComponentListNotifyEvent =
    TClosure<void(TObject* Sender, TComponent* AComponent, TListNotification AAction)>;

// A component list that does not own its components, accepts only
// components of AcceptedItemClass (others are taken out again at once) and
// reports each change.
class TcxComponentList : public TComponentList {
  DECLARE_CLASS(TcxComponentList, TComponentList)
  TcxComponentList();
  ~TcxComponentList() override;
  void BeforeDestruction() override;

  void Clear() override;
  void BeginUpdate() { ++FUpdateCount; }
  // Ends one update level without any event.
  void CancelUpdate() { --FUpdateCount; }
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  TcxComponentListChangeEvent OnComponentListChanged;
  TcxComponentListNotifyEvent OnNotify;

 protected:
  void Notify(void* Ptr, TListNotification Action) override;
  virtual void NotifyChanged(TComponent* AComponent, TListNotification AAction);
  virtual TClass AcceptedItemClass();

 private:
  int FUpdateCount = 0;
};
