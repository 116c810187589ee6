#include "platform/WinApi.h"
#include "platform/core/Components.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"

#include <algorithm>
#include <map>
#include <mutex>

// The component stream keeps pointers to objects it is filling in; it is told
// when one of them goes (Filer.cpp).
namespace filerdetail {
void ObjectGone(TObject* obj);
void Finalize();
bool ConsumeCreatingForReader();
}  // namespace filerdetail

namespace {

bool SameText(const String& a, const String& b) {
  if (a.size() != b.size()) return false;
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

String UpperCase(const String& s) {
  String r = s;
  if (!r.empty()) CharUpperBuffW(r.data(), static_cast<DWORD>(r.size()));
  return r;
}

[[noreturn]] void ListIndexError(int index) {
  throw EListError(L"List index out of bounds (" + std::to_wstring(index) + L")");
}

bool IsLetterUnit(Char c) {
  if (c < 0x80) return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_';
  WORD type = 0;
  return GetStringTypeW(CT_CTYPE1, &c, 1, &type) && (type & C1_ALPHA);
}

bool IsDigitUnit(Char c) {
  if (c < 0x80) return c >= L'0' && c <= L'9';
  WORD type = 0;
  return GetStringTypeW(CT_CTYPE1, &c, 1, &type) && (type & C1_DIGIT);
}

}  // namespace

bool IsValidIdent(const String& ident) {
  if (ident.empty()) return false;
  for (size_t i = 0; i < ident.size(); ++i) {
    const Char c = ident[i];
    // Characters outside the basic plane are taken as letters when the pair
    // is well formed.
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 >= ident.size() || ident[i + 1] < 0xDC00 || ident[i + 1] > 0xDFFF) return false;
      ++i;
      continue;
    }
    if (c >= 0xDC00 && c <= 0xDFFF) return false;
    if (IsLetterUnit(c)) continue;
    if (i > 0 && IsDigitUnit(c)) continue;
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// TComponent
// ---------------------------------------------------------------------------

BEGIN_CLASS(TComponent, TPersistent, (ConstructWith<TComponent, TComponent>))
  // The name is written in the component's header, never as a property.
  b.Prop(L"Name", &TComponent::Name, &TComponent::SetName).Stored = [](TObject*) { return false; };
  DefaultValue(b.Prop(L"Tag", &TComponent::Tag, &TComponent::SetTag), 0);
END_CLASS

TComponent::TComponent(TComponent* AOwner) {
  // A component the stream creates is loading from its first moment, so its
  // constructor and the owner's insertion hooks can tell.
  if (filerdetail::ConsumeCreatingForReader()) state_ += csLoading;
  if (AOwner) AOwner->InsertComponent(this);
}

void TComponent::BeforeDestruction() {
  if (!state_.Contains(csDestroying)) Destroying();
  TPersistent::BeforeDestruction();
  ReleaseFromOwner();
}

// Tells the subscribers and the owner while every override still runs: their
// Notification may look at what kind of component goes.
void TComponent::ReleaseFromOwner() {
  goneNotified_ = true;
  RemoveFreeNotifications();
  if (owner_) {
    owner_->Notification(this, opRemove);
    SetReference(false);
  }
}

TComponent::~TComponent() {
  if (!goneNotified_) {
    // Deleted without Free: the derived parts are gone already, but the
    // others still have to forget this component.
    state_ += csDestroying;
    ReleaseFromOwner();
  }
  DestroyComponents();
  // Subscriptions made while the derived destructors ran.
  RemoveFreeNotifications();
  if (owner_) owner_->Remove(this);
  filerdetail::ObjectGone(this);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) ListIndexError(index);
  return components_[index];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int value) {
  const int current = ComponentIndex();
  if (current < 0) return;
  auto& list = owner_->components_;
  value = std::clamp(value, 0, static_cast<int>(list.size()) - 1);
  if (value == current) return;
  list.erase(list.begin() + current);
  list.insert(list.begin() + value, this);
}

void TComponent::SetName(const String& newName) {
  if (name_ == newName) return;
  if (!newName.empty() && !IsValidIdent(newName))
    throw EComponentError(L"'" + newName + L"' is not a valid component name");
  if (owner_)
    owner_->ValidateRename(this, name_, newName);
  else
    ValidateRename(nullptr, name_, newName);
  SetReference(false);
  ChangeName(newName);
  SetReference(true);
}

void TComponent::ChangeName(const String& newName) { name_ = newName; }

void TComponent::SetReference(bool enable) {
  if (!owner_ || name_.empty()) return;
  const TPropInfo* prop = owner_->ClassType()->FindProperty(name_);
  if (!prop || prop->Kind() != tkClass || !prop->SetObj || !prop->GetObj) return;
  if (!InheritsFrom(prop->PropType->ClassType)) return;
  if (enable)
    prop->SetObj(owner_, this);
  else if (prop->GetObj(owner_) == this)
    prop->SetObj(owner_, nullptr);
}

void TComponent::SetSubComponent(bool isSubComponent) {
  if (isSubComponent)
    style_ += csSubComponent;
  else
    style_ -= csSubComponent;
}

TComponent* TComponent::FindComponent(const String& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

TComponent* FindNestedComponent(TComponent* root, const String& namePath) {
  if (namePath.empty()) return nullptr;
  TComponent* current = root;   // may be null: then only another root can start the path
  size_t start = 0;
  for (bool first = true;; first = false) {
    const size_t dot = namePath.find(L'.', start), arrow = namePath.find(L"->", start);
    const size_t end = std::min({dot, arrow, namePath.size()});
    const bool last = end == namePath.size();
    const String part = namePath.substr(start, end - start);
    TComponent* next = current ? current->FindComponent(part) : nullptr;   // null for an empty step
    if (!next && !part.empty() && SameText(part, L"Owner")) next = current;
    if (!next && first && !last) next = FindGlobalComponent(part);
    if (!next) return nullptr;
    current = next;
    if (last) return current;
    start = end + (end == arrow ? 2 : 1);
  }
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  // Components of one owner hear of each other through the owner.
  if (!owner_ || component->owner_ != owner_) {
    if (!freeNotifies_) freeNotifies_ = new std::vector<TComponent*>;
    if (std::find(freeNotifies_->begin(), freeNotifies_->end(), component) == freeNotifies_->end()) {
      freeNotifies_->push_back(component);
      component->FreeNotification(this);
    }
  }
  state_ += csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component) return;
  RemoveNotification(component);
  component->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* component) {
  if (!freeNotifies_) return;
  auto it = std::find(freeNotifies_->begin(), freeNotifies_->end(), component);
  if (it != freeNotifies_->end()) freeNotifies_->erase(it);
  // csFreeNotification stays: it also stands for requests of sibling
  // components, which keep no list and are told through the owner.
  if (freeNotifies_->empty()) {
    delete freeNotifies_;
    freeNotifies_ = nullptr;
  }
}

void TComponent::RemoveFreeNotifications() {
  // Each subscriber is unlinked before it is told, so an override of
  // Notification that does not call the inherited one cannot loop here.
  while (freeNotifies_ && !freeNotifies_->empty()) {
    TComponent* c = freeNotifies_->back();
    freeNotifies_->pop_back();
    c->RemoveNotification(this);
    c->Notification(this, opRemove);
  }
  delete freeNotifies_;
  freeNotifies_ = nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component) return;
  if (component->owner_ == this) return;
  component->ValidateContainer(this);
  ValidateRename(component, L"", component->name_);
  // A component has one owner: leaving the old one first keeps both lists true.
  if (component->owner_) component->owner_->RemoveComponent(component);
  Insert(component);
  component->SetReference(true);
  if (state_.Contains(csDesigning)) component->SetDesigning(true);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->owner_ != this) return;
  ValidateRename(component, component->name_, L"");
  Notification(component, opRemove);
  component->SetReference(false);
  Remove(component);
}

void TComponent::Insert(TComponent* component) {
  components_.push_back(component);
  component->owner_ = this;
}

void TComponent::Remove(TComponent* component) {
  auto it = std::find(components_.begin(), components_.end(), component);
  if (it != components_.end()) components_.erase(it);
  component->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* instance = components_.back();
    if (instance->state_.Contains(csFreeNotification) ||
        (state_.Contains(csDesigning) && state_.Contains(csInline)))
      RemoveComponent(instance);
    else
      Remove(instance);
    TObject::Free(instance);
  }
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_ += csDestroying;
  for (TComponent* c : components_) c->Destroying();
}

String TComponent::GetNamePath() { return name_; }

void TComponent::Loaded() { state_ -= csLoading; }

void TComponent::Notification(TComponent* AComponent, TOperation operation) {
  if (operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
  // Told components may free others; the index follows the shrinking list.
  int i = ComponentCount() - 1;
  while (i >= 0) {
    components_[i]->Notification(AComponent, operation);
    --i;
    if (i >= ComponentCount()) i = ComponentCount() - 1;
  }
}

void TComponent::GetChildren(TGetChildProc, TComponent*) {}
TComponent* TComponent::GetChildOwner() { return nullptr; }
TComponent* TComponent::GetChildParent() { return this; }
void TComponent::SetChildOrder(TComponent*, int) {}
bool TComponent::HasParent() { return false; }
TComponent* TComponent::GetParentComponent() { return nullptr; }
void TComponent::SetParentComponent(TComponent*) {}
void TComponent::ReadState(TReader* reader) { reader->ReadData(this); }
void TComponent::WriteState(TWriter* writer) { writer->WriteData(this); }
void TComponent::Updating() { state_ += csUpdating; }
void TComponent::Updated() { state_ -= csUpdating; }

void TComponent::ValidateRename(TComponent* AComponent, const String& curName, const String& newName) {
  if (AComponent && !SameText(curName, newName) && AComponent->owner_ == this && FindComponent(newName))
    throw EComponentError(L"A component named " + newName + L" already exists");
}

void TComponent::ValidateContainer(TComponent* AComponent) { AComponent->ValidateInsert(this); }
void TComponent::ValidateInsert(TComponent*) {}

void TComponent::SetDesigning(bool value, bool setChildren) {
  if (value)
    state_ += csDesigning;
  else
    state_ -= csDesigning;
  if (setChildren)
    for (TComponent* c : components_) c->SetDesigning(value);
}

void TComponent::SetInline(bool value) {
  if (value)
    state_ += csInline;
  else
    state_ -= csInline;
}

void TComponent::SetDesignInstance(bool value) {
  if (value)
    state_ += csDesignInstance;
  else
    state_ -= csDesignInstance;
}

void TComponent::SetAncestor(bool value) {
  if (value)
    state_ += csAncestor;
  else
    state_ -= csAncestor;
  for (TComponent* c : components_) c->SetAncestor(value);
}

// ---------------------------------------------------------------------------
// TComponentList
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TComponentList, TObjectList, (ConstructPlain<TComponentList>))

// The hidden component through which the list hears of freed components.
class TComponentList::Nexus : public TComponent {
 public:
  explicit Nexus(TComponentList* list) : TComponent(nullptr), list_(list) {}
  void Notification(TComponent* AComponent, TOperation operation) override {
    if (operation == opRemove && AComponent && list_) list_->HandleFreeNotify(AComponent);
    TComponent::Notification(AComponent, operation);
  }
  TComponentList* list_;
};

TComponentList::TComponentList() = default;
TComponentList::TComponentList(bool ownsObjects) : TObjectList(ownsObjects) {}

TComponentList::~TComponentList() {
  // Cleared here so that this class's Notify ends the subscriptions.
  Clear();
  if (nexus_) {
    nexus_->list_ = nullptr;
    FreeAndNil(nexus_);
  }
}

void TComponentList::Notify(void* ptr, TListNotification action) {
  auto* c = static_cast<TComponent*>(ptr);
  if (!nexus_) nexus_ = Make<Nexus>(this);
  if (action == lnAdded)
    c->FreeNotification(nexus_);
  else if (IndexOf(c) < 0)  // the same component may sit in the list twice
    c->RemoveFreeNotification(nexus_);
  TObjectList::Notify(ptr, action);
}

void TComponentList::HandleFreeNotify(TComponent* c) {
  while (IndexOf(c) >= 0) Extract(c);
}

// ---------------------------------------------------------------------------
// TCollectionItem
// ---------------------------------------------------------------------------

BEGIN_CLASS(TCollectionItem, TPersistent, (ConstructWith<TCollectionItem, TCollection>))
END_CLASS

TCollectionItem::TCollectionItem(TCollection* collection) {
  // Only taken into the list here: the collection hears of the item once it
  // is fully constructed (AfterConstruction), when its overrides run.
  if (collection) {
    collection->items_.push_back(this);
    collection_ = collection;
    id_ = collection->nextId_++;
  }
}

void TCollectionItem::AfterConstruction() {
  TPersistent::AfterConstruction();
  if (collection_ && !announced_) collection_->Announce(this);
}

TCollectionItem::~TCollectionItem() {
  if (collection_ && announced_) {
    collection_->RemoveItem(this);
  } else if (collection_) {
    // A constructor that failed: the collection never heard of the item.
    auto& list = collection_->items_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  filerdetail::ObjectGone(this);
}

void TCollectionItem::SetCollection(TCollection* value) {
  if (collection_ == value) return;
  if (collection_) collection_->RemoveItem(this);
  if (value) value->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!collection_) return -1;
  auto& list = collection_->items_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TCollectionItem::SetIndex(int value) {
  const int current = Index();
  if (current < 0 || current == value) return;
  auto& list = collection_->items_;
  if (value < 0 || value >= static_cast<int>(list.size())) ListIndexError(value);
  list.erase(list.begin() + current);
  list.insert(list.begin() + value, this);
  Changed(true);
}

String TCollectionItem::GetDisplayName() { return ClassName(); }
void TCollectionItem::SetDisplayName(const String&) { Changed(false); }

String TCollectionItem::GetNamePath() {
  if (!collection_) return ClassName();
  return collection_->GetNamePath() + L"[" + std::to_wstring(Index()) + L"]";
}

TPersistent* TCollectionItem::GetOwner() { return collection_; }

void TCollectionItem::Changed(bool allItems) {
  if (collection_ && collection_->updateCount_ == 0) collection_->Update(allItems ? nullptr : this);
}

// ---------------------------------------------------------------------------
// TCollection
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TCollection, TPersistent, nullptr)
IMPLEMENT_CLASS(TOwnedCollection, TCollection, nullptr)

TCollection::TCollection(TClass itemClass) : itemClass_(itemClass) {
  // Add constructs the class with this collection as its argument: anything
  // but an item class would be handed the wrong object.
  if (!itemClass_ || !itemClass_->InheritsFrom(TCollectionItem::StaticClass()))
    throw EListError(L"Invalid collection item class");
}

TCollection::~TCollection() {
  // No change reports while dying.
  updateCount_ = 1;
  Clear();
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) ListIndexError(index);
  return items_[index];
}

void TCollection::SetItem(int index, TCollectionItem* value) { Items(index)->Assign(value); }

TCollectionItem* TCollection::Add() {
  auto* item = static_cast<TCollectionItem*>(itemClass_->NewInstance(this));
  if (item->collection_ == this && !item->announced_) Announce(item);
  return item;
}

TCollectionItem* TCollection::Insert(int index) {
  if (index < 0 || index > Count()) ListIndexError(index);
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::Delete(int index) {
  TCollectionItem* item = Items(index);
  Notify(item, cnDeleting);
  TObject::Free(item);
}

void TCollection::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  try {
    while (!items_.empty()) TObject::Free(items_.back());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
  Changed();
}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* item : items_)
    if (item->id_ == id) return item;
  return nullptr;
}

void TCollection::Assign(TPersistent* source) {
  if (auto* src = dynamic_cast<TCollection*>(source)) {
    if (src == this) return;
    BeginUpdate();
    try {
      Clear();
      for (int i = 0; i < src->Count(); ++i) Add()->Assign(src->items_[i]);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  TPersistent::Assign(source);
}

String TCollection::PropName() {
  TPersistent* owner = GetOwner();
  if (!owner) return String();
  for (const TPropInfo* p : owner->ClassType()->Properties())
    if (p->Kind() == tkClass && p->GetObj && p->GetObj(owner) == this) return p->Name;
  return String();
}

String TCollection::GetNamePath() {
  const String fallback = ClassName();
  TPersistent* owner = GetOwner();
  if (!owner) return fallback;
  const String ownerPath = owner->GetNamePath();
  if (ownerPath.empty()) return fallback;
  const String prop = PropName();
  if (prop.empty()) return fallback;
  return ownerPath + L"." + prop;
}

void TCollection::Update(TCollectionItem*) {}
void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::Announce(TCollectionItem* item) {
  item->announced_ = true;
  Notify(item, cnAdded);
  Changed();
}

void TCollection::InsertItem(TCollectionItem* item) {
  if (!item->InheritsFrom(itemClass_)) throw EListError(L"Invalid property value");
  items_.push_back(item);
  item->collection_ = this;
  item->id_ = nextId_++;
  Announce(item);
}

void TCollection::RemoveItem(TCollectionItem* item) {
  Notify(item, cnExtracting);
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it != items_.end()) items_.erase(it);
  item->collection_ = nullptr;
  Changed();
}

TOwnedCollection::TOwnedCollection(TPersistent* owner, TClass itemClass) : TCollection(itemClass), owner_(owner) {}

// ---------------------------------------------------------------------------
// Class registry and global components
// ---------------------------------------------------------------------------

namespace {

// One class group: the classes that decide membership (the first started
// the group) and the classes registered into it.
struct ClassGroup {
  std::vector<TClass> groupClasses;
  std::map<String, TClass> classes;  // by upper-case name or alias
  bool active = false;
};

struct ComponentsState {
  std::vector<ClassGroup> groups;
  TClass activeClass = nullptr;
  std::vector<TFindGlobalComponent> finders;
};

std::recursive_mutex g_mutex;
ComponentsState* g_state = nullptr;

ComponentsState& State() {
  if (!g_state) {
    g_state = new ComponentsState;
    ClassGroup persistent;
    persistent.groupClasses.push_back(TPersistent::StaticClass());
    persistent.active = true;
    g_state->groups.push_back(std::move(persistent));
    g_state->activeClass = TPersistent::StaticClass();
  }
  return *g_state;
}

// Steps from cls up to `ancestor`, or -1 when cls does not descend from it.
int Distance(TClass cls, TClass ancestor) {
  int d = 0;
  for (TClass c = cls; c; c = c->Parent, ++d)
    if (c == ancestor) return d;
  return -1;
}

// The group whose group class is the nearest ancestor of cls; null when cls
// descends from none.
ClassGroup* FindGroup(TClass cls) {
  ClassGroup* best = nullptr;
  int bestDistance = -1;
  for (ClassGroup& g : State().groups)
    for (TClass gc : g.groupClasses) {
      const int d = Distance(cls, gc);
      if (d >= 0 && (bestDistance < 0 || d < bestDistance)) {
        best = &g;
        bestDistance = d;
      }
    }
  return best;
}

// Classes outside every group (no persistent ancestor) go to the first one.
ClassGroup& GroupForRegistration(TClass cls) {
  ClassGroup* g = FindGroup(cls);
  return g ? *g : State().groups.front();
}

void AddClassName(ClassGroup& group, const String& name, TClass cls) {
  auto& classes = group.classes;
  const String key = UpperCase(name);
  auto it = classes.find(key);
  if (it != classes.end()) {
    if (it->second == cls) return;
    throw EFilerError(L"A class named " + name + L" already exists");
  }
  classes.emplace(key, cls);
}

void UpdateActiveGroups() {
  ComponentsState& st = State();
  for (ClassGroup& g : st.groups)
    g.active = std::any_of(g.groupClasses.begin(), g.groupClasses.end(),
                           [&](TClass gc) { return st.activeClass->InheritsFrom(gc); });
}

}  // namespace

void RegisterClass(TClass cls) {
  if (!cls) return;
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  // Like the platform, ancestors up to TPersistent become known as well,
  // each in its own group.
  for (TClass c = cls; c; c = c->Parent) {
    ClassGroup& group = GroupForRegistration(c);
    auto it = group.classes.find(UpperCase(c->Name));
    if (it != group.classes.end() && it->second == c) break;
    AddClassName(group, c->Name, c);
    if (c == TPersistent::StaticClass()) break;
  }
}

void RegisterClasses(std::initializer_list<TClass> classes) {
  for (TClass c : classes) RegisterClass(c);
}

void RegisterClassAlias(TClass cls, const String& alias) {
  if (!cls) return;
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  AddClassName(GroupForRegistration(cls), alias, cls);
}

void UnRegisterClass(TClass cls) {
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  if (!g_state) return;
  for (ClassGroup& g : g_state->groups)
    for (auto it = g.classes.begin(); it != g.classes.end();)
      it = it->second == cls ? g.classes.erase(it) : std::next(it);
}

void UnRegisterClasses(std::initializer_list<TClass> classes) {
  for (TClass c : classes) UnRegisterClass(c);
}

TClass GetClass(const String& className) {
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  if (!g_state || className.empty()) return nullptr;
  const String key = UpperCase(className);
  for (const ClassGroup& g : g_state->groups) {
    if (!g.active) continue;
    auto it = g.classes.find(key);
    if (it != g.classes.end()) return it->second;
  }
  return nullptr;
}

TClass FindClass(const String& className) {
  TClass cls = GetClass(className);
  if (!cls) throw EClassNotFound(L"Class " + className + L" not found");
  return cls;
}

void StartClassGroup(TClass groupClass) {
  if (!groupClass) return;
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  ComponentsState& st = State();
  for (const ClassGroup& g : st.groups)
    if (std::find(g.groupClasses.begin(), g.groupClasses.end(), groupClass) != g.groupClasses.end()) return;
  ClassGroup group;
  group.groupClasses.push_back(groupClass);
  st.groups.push_back(std::move(group));
  UpdateActiveGroups();
}

void GroupDescendentsWith(TClass cls, TClass groupClass) {
  if (!cls || !groupClass) return;
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  ClassGroup* group = FindGroup(groupClass);
  if (!group) throw EFilerError(String(L"Class ") + groupClass->Name + L" belongs to no class group");
  if (std::find(group->groupClasses.begin(), group->groupClasses.end(), cls) == group->groupClasses.end())
    group->groupClasses.push_back(cls);
  UpdateActiveGroups();
}

TClass ActivateClassGroup(TClass groupClass) {
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  ComponentsState& st = State();
  const TClass previous = st.activeClass;
  if (groupClass && groupClass != previous) {
    st.activeClass = groupClass;
    UpdateActiveGroups();
  }
  return previous;
}

TClass ClassGroupOf(TClass cls) {
  if (!cls) return nullptr;
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  const ClassGroup* group = FindGroup(cls);
  return group ? group->groupClasses.front() : nullptr;
}

TClass ClassGroupOf(const TObject* instance) { return instance ? ClassGroupOf(instance->ClassType()) : nullptr; }

void RegisterFindGlobalComponentProc(TFindGlobalComponent proc) {
  if (!proc) return;
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  auto& finders = State().finders;
  if (std::find(finders.begin(), finders.end(), proc) == finders.end()) finders.push_back(proc);
}

void UnregisterFindGlobalComponentProc(TFindGlobalComponent proc) {
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  if (!g_state) return;
  auto& finders = g_state->finders;
  finders.erase(std::remove(finders.begin(), finders.end(), proc), finders.end());
}

TComponent* FindGlobalComponent(const String& name) {
  std::vector<TFindGlobalComponent> finders;
  {
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    if (g_state) finders = g_state->finders;
  }
  // Last registered first, as the platform asks them.
  for (auto it = finders.rbegin(); it != finders.rend(); ++it)
    if (TComponent* c = (*it)(name)) return c;
  return nullptr;
}

void ComponentsInitialize() {
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  State();
}

void ComponentsFinalize() {
  filerdetail::Finalize();
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  delete g_state;
  g_state = nullptr;
}

void TComponent::DefineProperties(TFiler* filer) {
  TPersistent::DefineProperties(filer);
  const auto* ancestor = dynamic_cast<const TComponent*>(filer->Ancestor());
  const int theirs = ancestor ? ancestor->designInfo_ : 0;
  auto half = [](int info, int shift) { return static_cast<std::int16_t>((static_cast<unsigned>(info) >> shift) & 0xFFFF); };
  auto define = [&](const Char* name, int shift) {
    filer->DefineProperty(
        name,
        [this, shift](TReader* r) {
          const unsigned v = static_cast<unsigned>(r->ReadInteger()) & 0xFFFF;
          designInfo_ = static_cast<int>((static_cast<unsigned>(designInfo_) & ~(0xFFFFu << shift)) | (v << shift));
        },
        [this, shift, half](TWriter* w) { w->WriteInteger(half(designInfo_, shift)); },
        half(designInfo_, shift) != half(theirs, shift));
  };
  define(L"Left", 0);
  define(L"Top", 16);
}
