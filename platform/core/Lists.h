// Lists of the platform class library: the untyped pointer list, the object
// list that may own its entries, counted interfaces with their smart pointer,
// and the thread-safe list of interfaces.
#pragma once

#include "platform/core/System.h"
#include <atomic>
#include <mutex>
#include <vector>

// ---------------------------------------------------------------------------
// TList
// ---------------------------------------------------------------------------

enum TListNotification : int { lnAdded, lnExtracted, lnDeleted };

// How TList::Assign combines the source with the list's own items.
enum TListAssignOp : int { laCopy, laAnd, laOr, laXor, laSrcUnique, laDestUnique };

// Sort order of two items: negative, zero or positive.
using TListSortCompare = int (*)(void* item1, void* item2);

class TList : public TObject {
  DECLARE_CLASS(TList, TObject)
  TList() = default;
  // Items are released by Clear() in BeforeDestruction, so a descendant's
  // Notify still sees them when the list is freed with Free. A descendant
  // that overrides Notify also clears in its own destructor.
  ~TList() override;
  void BeforeDestruction() override;

  int Add(void* item);
  void Insert(int index, void* item);
  void Delete(int index);
  // Deletes the first occurrence; returns its former index or -1.
  int Remove(void* item);
  // Removes the first occurrence without deleting it (lnExtracted);
  // returns the item, or null when it is not in the list.
  void* Extract(void* item);
  int IndexOf(void* item) const;
  void Exchange(int index1, int index2);
  void Move(int curIndex, int newIndex);
  virtual void Clear();
  // Removes the null entries.
  void Pack();
  // Stable: items that compare equal keep their order.
  void Sort(TListSortCompare compare);
  void Assign(TList* source, TListAssignOp op = laCopy, TList* source2 = nullptr);
  TList* Expand();

  void* Get(int index) const;
  void Put(int index, void* item);
  void* operator[](int index) const { return Get(index); }
  // Null for an empty list.
  void* First() const;
  void* Last() const;

  int Count() const { return static_cast<int>(items_.size()); }
  // Growing appends nulls; shrinking deletes the items past the new end.
  void SetCount(int newCount);
  int Capacity() const { return static_cast<int>(items_.capacity()); }
  void SetCapacity(int newCapacity);
  // The items as one contiguous block (valid until the list changes).
  void* const* List() const { return items_.data(); }

  // Raises EListError with the message formatted with `data` (%d).
  [[noreturn]] static void Error(const String& msg, int data);

 protected:
  // Called for every non-null item that enters or leaves the list.
  virtual void Notify(void* ptr, TListNotification action);

 private:
  void CheckIndex(int index) const;
  std::vector<void*> items_;
};

// ---------------------------------------------------------------------------
// TObjectList
// ---------------------------------------------------------------------------

// A list of objects that frees them (TObject::Free) when they leave it by
// Delete, Remove, Clear, Put or destruction, while OwnsObjects is true.
// Extract hands an object back without freeing it.
class TObjectList : public TList {
  DECLARE_CLASS(TObjectList, TList)
  TObjectList() = default;
  explicit TObjectList(bool ownsObjects) : ownsObjects_(ownsObjects) {}
  ~TObjectList() override;

  bool OwnsObjects() const { return ownsObjects_; }
  void SetOwnsObjects(bool value) { ownsObjects_ = value; }

  int Add(TObject* obj) { return TList::Add(obj); }
  void Insert(int index, TObject* obj) { TList::Insert(index, obj); }
  int Remove(TObject* obj) { return TList::Remove(obj); }
  TObject* Extract(TObject* obj) { return static_cast<TObject*>(TList::Extract(obj)); }
  int IndexOf(TObject* obj) const { return TList::IndexOf(obj); }
  TObject* Get(int index) const { return static_cast<TObject*>(TList::Get(index)); }
  void Put(int index, TObject* obj) { TList::Put(index, obj); }
  TObject* operator[](int index) const { return Get(index); }
  TObject* First() const { return static_cast<TObject*>(TList::First()); }
  TObject* Last() const { return static_cast<TObject*>(TList::Last()); }
  // Index of the first object of class `cls` (exactly, or a descendant when
  // `exact` is false) at or after `startAt`; -1 when none.
  int FindInstanceOf(TClass cls, bool exact = true, int startAt = 0) const;

 protected:
  void Notify(void* ptr, TListNotification action) override;

 private:
  bool ownsObjects_ = true;
};

// A typed view of an object list, for code that keeps one kind of object.
template <class T>
class TObjectListOf : public TObjectList {
 public:
  TObjectListOf() = default;
  explicit TObjectListOf(bool ownsObjects) : TObjectList(ownsObjects) {}
  int Add(T* obj) { return TObjectList::Add(obj); }
  void Insert(int index, T* obj) { TObjectList::Insert(index, obj); }
  int Remove(T* obj) { return TObjectList::Remove(obj); }
  T* Extract(T* obj) { return static_cast<T*>(TObjectList::Extract(obj)); }
  int IndexOf(T* obj) const { return TObjectList::IndexOf(obj); }
  T* Get(int index) const { return static_cast<T*>(TObjectList::Get(index)); }
  void Put(int index, T* obj) { TObjectList::Put(index, obj); }
  T* operator[](int index) const { return Get(index); }
  T* First() const { return static_cast<T*>(TObjectList::First()); }
  T* Last() const { return static_cast<T*>(TObjectList::Last()); }
};

// ---------------------------------------------------------------------------
// Counted interfaces
// ---------------------------------------------------------------------------

// Base of every interface. Counted implementations (TInterfacedObject) free
// themselves when the count reaches zero; the library's non-counted objects
// return -1 from both and live by their owner's rules. Interfaces derive from
// it non-virtually; an object implementing several hands out the one it means.
// Queries for other interfaces are dynamic_cast (Supports).
class IInterface {
 public:
  virtual int _AddRef() = 0;
  virtual int _Release() = 0;

 protected:
  virtual ~IInterface() = default;
};

// An object counted through IInterface: it starts at zero references and frees
// itself (TObject::Free) when the last reference is released.
class TInterfacedObject : public TObject, public IInterface {
  DECLARE_CLASS(TInterfacedObject, TObject)
  TInterfacedObject() = default;
  ~TInterfacedObject() override = default;

  int _AddRef() override;
  int _Release() override;
  int RefCount() const { return refCount_.load(); }

 private:
  std::atomic<int> refCount_{0};
};

// Holds one reference to a counted interface, as the platform's interface
// variables do: copying adds a reference, destruction releases it.
template <class I>
class TInterfacePtr {
 public:
  TInterfacePtr() = default;
  TInterfacePtr(std::nullptr_t) {}
  TInterfacePtr(I* p) : p_(p) {
    if (p_) p_->_AddRef();
  }
  TInterfacePtr(const TInterfacePtr& o) : TInterfacePtr(o.p_) {}
  TInterfacePtr(TInterfacePtr&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  template <class J, class = std::enable_if_t<std::is_convertible_v<J*, I*>>>
  TInterfacePtr(const TInterfacePtr<J>& o) : TInterfacePtr(static_cast<I*>(o.get())) {}
  ~TInterfacePtr() { reset(); }

  TInterfacePtr& operator=(const TInterfacePtr& o) {
    // Add first: `o` may hold the last other reference to our own target.
    TInterfacePtr tmp(o);
    swap(tmp);
    return *this;
  }
  TInterfacePtr& operator=(TInterfacePtr&& o) noexcept {
    TInterfacePtr tmp(std::move(o));
    swap(tmp);
    return *this;
  }
  TInterfacePtr& operator=(I* p) {
    TInterfacePtr tmp(p);
    swap(tmp);
    return *this;
  }
  TInterfacePtr& operator=(std::nullptr_t) {
    reset();
    return *this;
  }

  void reset() {
    I* p = p_;
    p_ = nullptr;
    if (p) p->_Release();
  }
  void swap(TInterfacePtr& o) noexcept { std::swap(p_, o.p_); }
  I* get() const { return p_; }
  I* operator->() const { return p_; }
  I& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  friend bool operator==(const TInterfacePtr& a, const TInterfacePtr& b) { return a.p_ == b.p_; }
  friend bool operator==(const TInterfacePtr& a, std::nullptr_t) { return a.p_ == nullptr; }

 private:
  I* p_ = nullptr;
};

// A list of counted interfaces that holds a reference to each entry, safe to
// use from several threads (each operation locks; Lock/Unlock bracket a
// sequence). Entries are compared by object identity, so the same object
// reached through different interfaces counts as one.
class TInterfaceList : public TInterfacedObject {
  DECLARE_CLASS(TInterfaceList, TInterfacedObject)
  TInterfaceList() = default;
  ~TInterfaceList() override;

  int Add(IInterface* item);
  void Insert(int index, IInterface* item);
  void Delete(int index);
  // Removes the first entry for the object; returns its former index or -1.
  int Remove(IInterface* item);
  int IndexOf(IInterface* item) const;
  void Exchange(int index1, int index2);
  void Clear();
  // The entry; the list keeps its reference, take a TInterfacePtr to keep it longer.
  IInterface* Get(int index) const;
  void Put(int index, IInterface* item);
  IInterface* operator[](int index) const { return Get(index); }
  IInterface* First() const;
  IInterface* Last() const;
  int Count() const;
  void SetCount(int newCount);
  int Capacity() const;
  void SetCapacity(int newCapacity);
  void Lock() const { mutex_.lock(); }
  void Unlock() const { mutex_.unlock(); }

 private:
  void CheckIndex(int index) const;
  mutable std::recursive_mutex mutex_;
  std::vector<IInterface*> items_;
};
