// Components of the platform class library: TComponent with ownership, names
// and free notification; collections of persistent items; the list of
// components that forgets freed ones; the registry of streamable classes.
#pragma once

#include "platform/core/Lists.h"
#include "platform/core/Persistent.h"

#include <functional>
#include <initializer_list>
#include <vector>

class TComponent;
class TCollection;
namespace filerdetail {
struct StateAccess;
}
class TReader;
class TWriter;

DECLARE_ENUM(TComponentState, csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor,
             csUpdating, csFixups, csFreeNotification, csInline, csDesignInstance)
using TComponentStateSet = TSet<TComponentState, 16>;

DECLARE_ENUM(TComponentStyle, csInheritable, csCheckPropAvail, csSubComponent, csTransient)
using TComponentStyles = TSet<TComponentStyle, 8>;

DECLARE_ENUM(TOperation, opInsert, opRemove)

// Receives each child a component reports for streaming.
using TGetChildProc = std::function<void(TComponent* child)>;

// ---------------------------------------------------------------------------
// TComponent
// ---------------------------------------------------------------------------

// A component belongs to its owner, which frees it; it has a name unique
// among the owner's components and tells the components that asked for it
// when it goes away.
//
// Destruction: BeforeDestruction (called by TObject::Free) marks the component
// as destroying and, while the whole object is still alive, tells the free
// notification subscribers and the owner (which tells its other components)
// that it goes. The destructor then frees the owned components, last first,
// and takes the component out of its owner's list.
//
// The virtual operations the stream and other components call on a component
// are public: unlike the platform's unit-wide visibility, C++ `protected`
// would forbid those calls through a base pointer.
class TComponent : public TPersistent {
  DECLARE_CLASS(TComponent, TPersistent)
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  void BeforeDestruction() override;

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  // Raises EListError for an index out of range.
  TComponent* Components(int index) const;
  // Position in the owner's list, -1 without owner.
  int ComponentIndex() const;
  void SetComponentIndex(int value);

  const String& Name() const { return name_; }
  // Raises EComponentError for a name that is not an identifier or that a
  // sibling already has (case-insensitive). An empty name is allowed.
  virtual void SetName(const String& newName);
  NativeInt Tag() const { return tag_; }
  void SetTag(NativeInt value) { tag_ = value; }
  // Where a non-visual component sits on the design surface: low word Left,
  // high word Top. Stored as the defined properties "Left" and "Top"; it has
  // no meaning at run time.
  int DesignInfo() const { return designInfo_; }
  void SetDesignInfo(int value) { designInfo_ = value; }
  void DefineProperties(TFiler* filer) override;

  TComponentStateSet ComponentState() const { return state_; }
  TComponentStyles ComponentStyle() const { return style_; }
  // Marks a component owned by another one as a part of it that is streamed
  // as a nested object of a published property, not as a reference.
  void SetSubComponent(bool isSubComponent);

  // Case-insensitive; null for an empty name or when none has it.
  TComponent* FindComponent(const String& name) const;
  // Asks `component` to report through Notification(this-component, opRemove)
  // when it goes; the subscription works both ways.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Frees every owned component, last first.
  void DestroyComponents();
  // Marks this component and its owned ones as destroying.
  void Destroying();

  String GetNamePath() override;
  TPersistent* GetOwner() override { return owner_; }

  // Hooks of the component stream and of ownership.
  virtual void Loaded();
  virtual void Notification(TComponent* AComponent, TOperation operation);
  virtual void GetChildren(TGetChildProc proc, TComponent* root);
  virtual TComponent* GetChildOwner();
  virtual TComponent* GetChildParent();
  virtual void SetChildOrder(TComponent* child, int order);
  virtual bool HasParent();
  virtual TComponent* GetParentComponent();
  virtual void SetParentComponent(TComponent* value);
  virtual void ReadState(TReader* reader);
  virtual void WriteState(TWriter* writer);
  virtual void Updating();
  virtual void Updated();
  virtual void ValidateRename(TComponent* AComponent, const String& curName, const String& newName);
  virtual void ValidateContainer(TComponent* AComponent);
  virtual void ValidateInsert(TComponent* AComponent);

 protected:
  void SetDesigning(bool value, bool setChildren = true);
  void SetInline(bool value);
  void SetDesignInstance(bool value);
  void SetAncestor(bool value);
  void SetComponentStyle(TComponentStyles value) { style_ = value; }
  // Adds or removes a component in the list without notifications.
  void Insert(TComponent* component);
  void Remove(TComponent* component);

 private:
  void ChangeName(const String& newName);
  // Points the owner's published property named like this component at it
  // (or away from it), as the owner's fields for its components.
  void SetReference(bool enable);
  void RemoveNotification(TComponent* component);
  void RemoveFreeNotifications();
  void ReleaseFromOwner();

  TComponent* owner_ = nullptr;
  String name_;
  NativeInt tag_ = 0;
  int designInfo_ = 0;
  std::vector<TComponent*> components_;
  std::vector<TComponent*>* freeNotifies_ = nullptr;
  TComponentStateSet state_;
  TComponentStyles style_ = {csInheritable};
  bool goneNotified_ = false;

  friend class TReader;
  friend class TWriter;
  friend struct filerdetail::StateAccess;
};

// Whether `ident` is a component name: a letter or underscore, then letters,
// digits and underscores (letters of any script).
bool IsValidIdent(const String& ident);

// ---------------------------------------------------------------------------
// TComponentList
// ---------------------------------------------------------------------------

// An object list of components that takes a component out by itself when the
// component is freed elsewhere. Owns its components by default, like
// TObjectList.
class TComponentList : public TObjectList {
  DECLARE_CLASS(TComponentList, TObjectList)
  TComponentList();
  explicit TComponentList(bool ownsObjects);
  ~TComponentList() override;

  int Add(TComponent* c) { return TObjectList::Add(c); }
  void Insert(int index, TComponent* c) { TObjectList::Insert(index, c); }
  int Remove(TComponent* c) { return TObjectList::Remove(c); }
  TComponent* Extract(TComponent* c) { return static_cast<TComponent*>(TObjectList::Extract(c)); }
  int IndexOf(TComponent* c) const { return TObjectList::IndexOf(c); }
  TComponent* Get(int index) const { return static_cast<TComponent*>(TObjectList::Get(index)); }
  void Put(int index, TComponent* c) { TObjectList::Put(index, c); }
  TComponent* operator[](int index) const { return Get(index); }
  TComponent* Items(int index) const { return Get(index); }
  TComponent* First() const { return static_cast<TComponent*>(TObjectList::First()); }
  TComponent* Last() const { return static_cast<TComponent*>(TObjectList::Last()); }

 protected:
  void Notify(void* ptr, TListNotification action) override;

 private:
  class Nexus;
  void HandleFreeNotify(TComponent* c);
  Nexus* nexus_ = nullptr;
};

// ---------------------------------------------------------------------------
// Collections
// ---------------------------------------------------------------------------

DECLARE_ENUM(TCollectionNotification, cnAdded, cnExtracting, cnDeleting)

// An item of a collection. Made through TCollection::Add/Insert (or its class
// reference's NewInstance(collection)); the item enters the collection when
// constructed and leaves it when freed.
class TCollectionItem : public TPersistent {
  DECLARE_CLASS(TCollectionItem, TPersistent)
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;
  void AfterConstruction() override;

  TCollection* Collection() const { return collection_; }
  // Moves the item to another collection (null: out of any).
  virtual void SetCollection(TCollection* value);
  // Unique within its collection, never reused.
  int ID() const { return id_; }
  // Position in the collection, -1 outside one.
  int Index() const;
  // Moves the item; raises EListError for a position out of range.
  virtual void SetIndex(int value);
  String DisplayName() { return GetDisplayName(); }
  virtual String GetDisplayName();
  virtual void SetDisplayName(const String& value);
  // "Owner.Property[index]".
  String GetNamePath() override;
  TPersistent* GetOwner() override;

 protected:
  // Tells the collection: about this item, or about all items.
  virtual void Changed(bool allItems);

 private:
  TCollection* collection_ = nullptr;
  int id_ = 0;
  bool announced_ = false;
  friend class TCollection;
};

// A list of items of one class, streamed as a whole (vaCollection).
class TCollection : public TPersistent {
  DECLARE_CLASS(TCollection, TPersistent)
  explicit TCollection(TClass itemClass);
  ~TCollection() override;

  TClass ItemClass() const { return itemClass_; }
  int Count() const { return static_cast<int>(items_.size()); }
  // Raises EListError for an index out of range.
  TCollectionItem* Items(int index) const;
  // Assigns `value` to the item at `index`.
  void SetItem(int index, TCollectionItem* value);
  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  // Notifies cnDeleting, then frees the item.
  void Delete(int index);
  void Clear();
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }
  TCollectionItem* FindItemID(int id) const;
  // A collection source: clears, then adds one item per source item and
  // assigns it, all in one update.
  void Assign(TPersistent* source) override;
  // "Owner.Property", the name of the owner's property holding the collection.
  String GetNamePath() override;
  // The name of the owner's published property that holds this collection.
  String PropName();

  // Called for every change while not updating: with the item that changed,
  // or null for the whole collection.
  virtual void Update(TCollectionItem* item);
  virtual void Notify(TCollectionItem* item, TCollectionNotification action);
  // Reports a change of the whole collection (deferred while updating).
  void Changed();

 private:
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  void Announce(TCollectionItem* item);

  TClass itemClass_;
  std::vector<TCollectionItem*> items_;
  int updateCount_ = 0;
  int nextId_ = 0;
  friend class TCollectionItem;
};

// A collection that knows the object holding it (for name paths and the
// designer).
class TOwnedCollection : public TCollection {
  DECLARE_CLASS(TOwnedCollection, TCollection)
  TOwnedCollection(TPersistent* owner, TClass itemClass);
  TPersistent* Owner() const { return owner_; }
  TPersistent* GetOwner() override { return owner_; }

 private:
  TPersistent* owner_;
};

// ---------------------------------------------------------------------------
// The registry of streamable classes
// ---------------------------------------------------------------------------

// Classes are found by name (case-insensitive) when a stream names them.
// Registering a second class under a name that is taken by another class
// raises EFilerError "A class named %s already exists"; registering the same
// class again does nothing.
void RegisterClass(TClass cls);
void RegisterClasses(std::initializer_list<TClass> classes);
void RegisterClassAlias(TClass cls, const String& alias);
// Removes the class and its aliases.
void UnRegisterClass(TClass cls);
void UnRegisterClasses(std::initializer_list<TClass> classes);
// Raises EClassNotFound "Class %s not found".
TClass FindClass(const String& className);
// Null when the name is not registered.
TClass GetClass(const String& className);

// Class groups keep families of classes that share names apart. At first
// there is one group, of TPersistent, active. A class is registered into the
// group whose group class is its nearest ancestor (itself included), and a
// name is looked up in the active groups, in the order they were started.
// Classes already registered stay in their group when groups change.
//   StartClassGroup(TControl): a group of its own for TControl and its
//     descendants (nothing when a group already lists the class).
//   GroupDescendentsWith(TcxComponent, TControl): descendants of TcxComponent
//     join TControl's group; EFilerError when TControl has no group.
//   ActivateClassGroup(TControl): the active groups become those with a
//     group class TControl descends from (TPersistent's among them); answers
//     the class activated before.
//   ClassGroupOf(cls): the class that started the group cls belongs to.
void StartClassGroup(TClass groupClass);
void GroupDescendentsWith(TClass cls, TClass groupClass);
TClass ActivateClassGroup(TClass groupClass);
TClass ClassGroupOf(TClass cls);
TClass ClassGroupOf(const TObject* instance);

// Components that are roots of their own (forms, data modules) are found by
// name through the functions registered here, for references across roots
// ("Form2.Button1") in the component stream.
using TFindGlobalComponent = TComponent* (*)(const String& name);
void RegisterFindGlobalComponentProc(TFindGlobalComponent proc);
void UnregisterFindGlobalComponentProc(TFindGlobalComponent proc);
TComponent* FindGlobalComponent(const String& name);

// The component that a dotted path of names leads to from `root` through the
// components each one owns ("Panel1.Button1"; "->" separates like "."). "Owner"
// names the component reached so far, and a first step that is no component of
// `root` may name another root ("Form2.Button1", through FindGlobalComponent).
// Null when a step is missing or empty, or for an empty path; with no root, only
// a path that starts at another root is found.
TComponent* FindNestedComponent(TComponent* root, const String& namePath);

// Process-wide state of this module (class registry, global component
// finders, pending cross-root references of the component stream).
void ComponentsInitialize();
void ComponentsFinalize();
