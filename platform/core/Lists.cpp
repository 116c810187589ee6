#include "platform/WinApi.h"
#include "platform/core/Lists.h"
#include "platform/core/Exceptions.h"

#include <algorithm>

IMPLEMENT_CLASS(TList, TObject, (ConstructPlain<TList>))
IMPLEMENT_CLASS(TObjectList, TList, (ConstructPlain<TObjectList>))
IMPLEMENT_CLASS(TInterfacedObject, TObject, (ConstructPlain<TInterfacedObject>))
IMPLEMENT_CLASS(TInterfaceList, TInterfacedObject, (ConstructPlain<TInterfaceList>))

namespace {

const Char kListIndexError[] = L"List index out of bounds (%d)";
const Char kListCapacityError[] = L"List capacity out of bounds (%d)";
const Char kListCountError[] = L"List count out of bounds (%d)";

// Lists never hold more than the 32-bit index can address.
constexpr int kMaxListSize = 0x7FFFFFFF / 16;

}  // namespace

// ---------------------------------------------------------------------------
// TList
// ---------------------------------------------------------------------------

TList::~TList() = default;

void TList::BeforeDestruction() {
  Clear();
  TObject::BeforeDestruction();
}

void TList::Error(const String& msg, int data) {
  String text = msg;
  const auto at = text.find(L"%d");
  if (at != String::npos) text.replace(at, 2, std::to_wstring(data));
  throw EListError(text);
}

void TList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) Error(kListIndexError, index);
}

void TList::Notify(void*, TListNotification) {}

int TList::Add(void* item) {
  const int index = Count();
  if (index >= kMaxListSize) Error(kListCapacityError, index + 1);
  items_.push_back(item);
  if (item) Notify(item, lnAdded);
  return index;
}

void TList::Insert(int index, void* item) {
  if (index < 0 || index > Count()) Error(kListIndexError, index);
  if (Count() >= kMaxListSize) Error(kListCapacityError, Count() + 1);
  items_.insert(items_.begin() + index, item);
  if (item) Notify(item, lnAdded);
}

void TList::Delete(int index) {
  CheckIndex(index);
  void* item = items_[index];
  items_.erase(items_.begin() + index);
  if (item) Notify(item, lnDeleted);
}

int TList::Remove(void* item) {
  const int index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(void* item) {
  const int index = IndexOf(item);
  if (index < 0) return nullptr;
  void* found = items_[index];
  items_.erase(items_.begin() + index);
  if (found) Notify(found, lnExtracted);
  return found;
}

int TList::IndexOf(void* item) const {
  const auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(items_[index1], items_[index2]);
}

void TList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  void* item = items_[curIndex];
  items_.erase(items_.begin() + curIndex);
  items_.insert(items_.begin() + newIndex, item);
}

void TList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

void TList::Pack() {
  items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end());
}

void TList::Sort(TListSortCompare compare) {
  if (!compare || Count() < 2) return;
  std::stable_sort(items_.begin(), items_.end(),
                   [compare](void* a, void* b) { return compare(a, b) < 0; });
}

void TList::Assign(TList* source, TListAssignOp op, TList* source2) {
  if (!source) return;
  // A list copied onto itself stays as it is (clearing first would free the
  // objects of an owning list before they were added back).
  if (source == this && op == laCopy && !source2) return;
  if (source2) {
    // Two sources: the list first becomes a copy of the first one and is
    // then combined with the second.
    Assign(source, laCopy);
    source = source2;
  }
  // Work on a snapshot: `source` may be this very list.
  const std::vector<void*> src(source->items_.begin(), source->items_.end());
  auto inSrc = [&src](void* p) { return std::find(src.begin(), src.end(), p) != src.end(); };
  switch (op) {
    case laCopy:
      Clear();
      SetCapacity(static_cast<int>(src.size()));
      for (void* p : src) Add(p);
      break;
    case laAnd:
      for (int i = Count() - 1; i >= 0; --i)
        if (!inSrc(items_[i])) Delete(i);
      break;
    case laOr:
      for (void* p : src)
        if (IndexOf(p) < 0) Add(p);
      break;
    case laXor: {
      std::vector<void*> onlySrc;
      for (void* p : src)
        if (IndexOf(p) < 0) onlySrc.push_back(p);
      for (int i = Count() - 1; i >= 0; --i)
        if (inSrc(items_[i])) Delete(i);
      for (void* p : onlySrc) Add(p);
      break;
    }
    case laSrcUnique: {
      std::vector<void*> own(items_.begin(), items_.end());
      Clear();
      for (void* p : src)
        if (std::find(own.begin(), own.end(), p) == own.end()) Add(p);
      break;
    }
    case laDestUnique:
      for (int i = Count() - 1; i >= 0; --i)
        if (inSrc(items_[i])) Delete(i);
      break;
  }
}

TList* TList::Expand() {
  if (Count() == Capacity()) SetCapacity(Capacity() < 4 ? Capacity() + 4 : Capacity() + Capacity() / 2);
  return this;
}

void* TList::Get(int index) const {
  CheckIndex(index);
  return items_[index];
}

void TList::Put(int index, void* item) {
  CheckIndex(index);
  void* old = items_[index];
  if (old == item) return;
  items_[index] = item;
  if (old) Notify(old, lnDeleted);
  if (item) Notify(item, lnAdded);
}

void* TList::First() const { return items_.empty() ? nullptr : items_.front(); }

void* TList::Last() const { return items_.empty() ? nullptr : items_.back(); }

void TList::SetCount(int newCount) {
  if (newCount < 0 || newCount > kMaxListSize) Error(kListCountError, newCount);
  if (newCount > Count()) {
    items_.resize(newCount, nullptr);
    return;
  }
  // One at a time from the end, so Notify sees a consistent list and an
  // exception from it leaves the remaining items in place.
  while (Count() > newCount) Delete(Count() - 1);
}

void TList::SetCapacity(int newCapacity) {
  if (newCapacity < Count() || newCapacity > kMaxListSize) Error(kListCapacityError, newCapacity);
  if (newCapacity > Capacity()) {
    items_.reserve(newCapacity);
  } else if (newCapacity < Capacity()) {
    std::vector<void*> smaller;
    smaller.reserve(newCapacity);
    smaller.assign(items_.begin(), items_.end());
    items_.swap(smaller);
  }
}

// ---------------------------------------------------------------------------
// TObjectList
// ---------------------------------------------------------------------------

TObjectList::~TObjectList() { Clear(); }

void TObjectList::Notify(void* ptr, TListNotification action) {
  if (ownsObjects_ && action == lnDeleted) TObject::Free(static_cast<TObject*>(ptr));
  TList::Notify(ptr, action);
}

int TObjectList::FindInstanceOf(TClass cls, bool exact, int startAt) const {
  for (int i = std::max(startAt, 0); i < Count(); ++i) {
    TObject* obj = Get(i);
    if (!obj) continue;
    if (exact ? obj->ClassType() == cls : obj->InheritsFrom(cls)) return i;
  }
  return -1;
}

// ---------------------------------------------------------------------------
// TInterfacedObject
// ---------------------------------------------------------------------------

int TInterfacedObject::_AddRef() { return ++refCount_; }

int TInterfacedObject::_Release() {
  const int count = --refCount_;
  if (count == 0) TObject::Free(this);
  return count;
}

// ---------------------------------------------------------------------------
// TInterfaceList
// ---------------------------------------------------------------------------

namespace {

// The complete object behind an interface: the identity the list compares.
const void* Identity(IInterface* item) { return item ? dynamic_cast<const void*>(item) : nullptr; }

void ReleaseAll(const std::vector<IInterface*>& items) {
  for (IInterface* item : items)
    if (item) item->_Release();
}

}  // namespace

TInterfaceList::~TInterfaceList() { Clear(); }

void TInterfaceList::CheckIndex(int index) const {
  if (index < 0 || index >= static_cast<int>(items_.size())) TList::Error(kListIndexError, index);
}

int TInterfaceList::Add(IInterface* item) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  items_.push_back(item);
  if (item) item->_AddRef();
  return static_cast<int>(items_.size()) - 1;
}

void TInterfaceList::Insert(int index, IInterface* item) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (index < 0 || index > static_cast<int>(items_.size())) TList::Error(kListIndexError, index);
  items_.insert(items_.begin() + index, item);
  if (item) item->_AddRef();
}

// Releases happen after the lock is left: the last release may free an
// object whose destructor reaches back into this list.
void TInterfaceList::Delete(int index) {
  IInterface* item;
  {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    CheckIndex(index);
    item = items_[index];
    items_.erase(items_.begin() + index);
  }
  if (item) item->_Release();
}

int TInterfaceList::Remove(IInterface* item) {
  IInterface* found = nullptr;
  int index;
  {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    index = IndexOf(item);
    if (index < 0) return -1;
    found = items_[index];
    items_.erase(items_.begin() + index);
  }
  if (found) found->_Release();
  return index;
}

int TInterfaceList::IndexOf(IInterface* item) const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  const void* id = Identity(item);
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (Identity(items_[i]) == id) return static_cast<int>(i);
  return -1;
}

void TInterfaceList::Exchange(int index1, int index2) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(items_[index1], items_[index2]);
}

void TInterfaceList::Clear() {
  std::vector<IInterface*> old;
  {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    old.swap(items_);
  }
  ReleaseAll(old);
}

IInterface* TInterfaceList::Get(int index) const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  CheckIndex(index);
  return items_[index];
}

void TInterfaceList::Put(int index, IInterface* item) {
  IInterface* old;
  {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    CheckIndex(index);
    old = items_[index];
    if (item) item->_AddRef();
    items_[index] = item;
  }
  if (old) old->_Release();
}

IInterface* TInterfaceList::First() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return items_.empty() ? nullptr : items_.front();
}

IInterface* TInterfaceList::Last() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return items_.empty() ? nullptr : items_.back();
}

int TInterfaceList::Count() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return static_cast<int>(items_.size());
}

void TInterfaceList::SetCount(int newCount) {
  if (newCount < 0 || newCount > kMaxListSize) TList::Error(kListCountError, newCount);
  std::vector<IInterface*> dropped;
  {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (newCount < static_cast<int>(items_.size())) {
      dropped.assign(items_.begin() + newCount, items_.end());
      items_.erase(items_.begin() + newCount, items_.end());
    } else {
      items_.resize(newCount, nullptr);
    }
  }
  ReleaseAll(dropped);
}

int TInterfaceList::Capacity() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return static_cast<int>(items_.capacity());
}

void TInterfaceList::SetCapacity(int newCapacity) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (newCapacity < static_cast<int>(items_.size()) || newCapacity > kMaxListSize)
    TList::Error(kListCapacityError, newCapacity);
  items_.reserve(newCapacity);
}
