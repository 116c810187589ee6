#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Lists.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// Counts its own destruction, to see which list operation freed it.
class TTracked : public TObject {
 public:
  explicit TTracked(int* freed) : freed_(freed) {}
  ~TTracked() override { ++*freed_; }

 private:
  int* freed_;
};

// Records every notification with the item's tag.
class TRecordingList : public TList {
 public:
  explicit TRecordingList(std::vector<std::string>* log) : log_(log) {}
  ~TRecordingList() override { Clear(); }

 protected:
  void Notify(void* ptr, TListNotification action) override {
    static const char* names[] = {"added", "extracted", "deleted"};
    log_->push_back(std::string(names[action]) + " " + static_cast<const char*>(ptr));
  }

 private:
  std::vector<std::string>* log_;
};

char A[] = "a", B[] = "b", C[] = "c", D[] = "d";

std::vector<void*> Items(const TList& list) {
  std::vector<void*> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Get(i));
  return out;
}

}  // namespace

TEST(ListsTList, IndexErrorsNameTheIndex) {
  struct Case {
    const char* what;
    std::function<void(TList&)> op;
    const wchar_t* message;
  };
  const Case cases[] = {
      {"Get(-1)", [](TList& l) { l.Get(-1); }, L"List index out of bounds (-1)"},
      {"Get(Count)", [](TList& l) { l.Get(2); }, L"List index out of bounds (2)"},
      {"Put(Count)", [](TList& l) { l.Put(2, A); }, L"List index out of bounds (2)"},
      {"Delete(Count)", [](TList& l) { l.Delete(2); }, L"List index out of bounds (2)"},
      {"Insert(Count+1)", [](TList& l) { l.Insert(3, A); }, L"List index out of bounds (3)"},
      {"Exchange", [](TList& l) { l.Exchange(0, 7); }, L"List index out of bounds (7)"},
      {"Move", [](TList& l) { l.Move(5, 0); }, L"List index out of bounds (5)"},
      {"SetCount(-1)", [](TList& l) { l.SetCount(-1); }, L"List count out of bounds (-1)"},
      {"SetCapacity(<Count)", [](TList& l) { l.SetCapacity(1); }, L"List capacity out of bounds (1)"},
  };
  for (const Case& c : cases) {
    TList list;
    list.Add(A);
    list.Add(B);
    try {
      c.op(list);
      ADD_FAILURE() << c.what << " did not raise";
    } catch (EListError& e) {
      EXPECT_EQ(e.Message, c.message) << c.what;
    }
    EXPECT_EQ(Items(list), (std::vector<void*>{A, B})) << c.what << " changed the list";
  }
}

TEST(ListsTList, NotifiesEveryNonNullItemThatEntersOrLeaves) {
  std::vector<std::string> log;
  auto* list = Make<TRecordingList>(&log);
  list->Add(A);
  list->Add(nullptr);           // nulls are never reported
  list->Insert(0, B);
  list->Put(0, C);              // replaces b
  list->Put(0, C);              // same item: no change
  EXPECT_EQ(list->Extract(A), A);
  EXPECT_EQ(list->Extract(A), nullptr);
  EXPECT_EQ(list->Remove(D), -1);
  list->Add(D);
  list->Pack();                 // drops the null silently
  EXPECT_EQ(Items(*list), (std::vector<void*>{C, D}));
  list->Delete(0);
  list->Add(A);
  TObject::Free(list);          // the remaining items leave as deleted, last first
  EXPECT_EQ(log, (std::vector<std::string>{"added a", "added b", "deleted b", "added c", "extracted a", "added d",
                                           "deleted c", "added a", "deleted a", "deleted d"}));
}

TEST(ListsTList, OrderOperations) {
  TList list;
  for (void* p : {A, B, C, D}) list.Add(p);
  list.Move(0, 3);
  EXPECT_EQ(Items(list), (std::vector<void*>{B, C, D, A}));
  list.Exchange(0, 3);
  EXPECT_EQ(Items(list), (std::vector<void*>{A, C, D, B}));
  EXPECT_EQ(list.First(), A);
  EXPECT_EQ(list.Last(), B);
  EXPECT_EQ(list.IndexOf(D), 2);
  list.Sort([](void* x, void* y) { return std::strcmp(static_cast<char*>(y), static_cast<char*>(x)); });
  EXPECT_EQ(Items(list), (std::vector<void*>{D, C, B, A}));
  list.SetCount(6);
  EXPECT_EQ(list.Count(), 6);
  EXPECT_EQ(list.Get(5), nullptr);
  list.SetCount(1);
  EXPECT_EQ(Items(list), (std::vector<void*>{D}));
  list.Clear();
  EXPECT_EQ(list.First(), nullptr);
  EXPECT_EQ(list.Capacity(), 0);
}

TEST(ListsTList, SortIsStableAndSurvivesAnInconsistentComparison) {
  struct Rec {
    int key, seq;
  };
  std::vector<Rec> recs;
  TList list;
  for (int i = 0; i < 200; ++i) recs.push_back({i % 3, i});
  for (Rec& r : recs) list.Add(&r);
  list.Sort([](void* a, void* b) { return static_cast<Rec*>(a)->key - static_cast<Rec*>(b)->key; });
  for (int i = 1; i < list.Count(); ++i) {
    const Rec* p = static_cast<Rec*>(list.Get(i - 1));
    const Rec* q = static_cast<Rec*>(list.Get(i));
    ASSERT_TRUE(p->key < q->key || (p->key == q->key && p->seq < q->seq)) << i;
  }
  list.Sort([](void*, void*) { return -1; });  // claims every item is smaller
  EXPECT_EQ(list.Count(), 200);
}

TEST(ListsTList, AssignCombinesLists) {
  struct Case {
    TListAssignOp op;
    std::vector<void*> expected;
  };
  // Own items {a, b, c}, source {b, c, d}.
  const Case cases[] = {
      {laCopy, {B, C, D}}, {laAnd, {B, C}}, {laOr, {A, B, C, D}},
      {laXor, {A, D}},     {laSrcUnique, {D}}, {laDestUnique, {A}},
  };
  for (const Case& c : cases) {
    TList list, source;
    for (void* p : {A, B, C}) list.Add(p);
    for (void* p : {B, C, D}) source.Add(p);
    list.Assign(&source, c.op);
    EXPECT_EQ(Items(list), c.expected) << "op " << c.op;
  }
  TList self;
  self.Add(A);
  self.Assign(&self);  // copying itself keeps the items
  EXPECT_EQ(Items(self), std::vector<void*>{A});
}

TEST(ListsTObjectList, OwnedObjectsAreFreedWhenTheyLeaveExceptByExtract) {
  struct Case {
    const char* what;
    std::function<void(TObjectList&, TObject* first)> op;
    int freedOwning;     // objects freed by the operation when the list owns them
    bool extracts;       // the operation hands `first` back to the test, which frees it
  };
  const Case cases[] = {
      {"Delete", [](TObjectList& l, TObject*) { l.Delete(0); }, 1, false},
      {"Remove", [](TObjectList& l, TObject* o) { l.Remove(o); }, 1, false},
      {"Put", [](TObjectList& l, TObject*) { l.Put(0, nullptr); }, 1, false},
      {"Clear", [](TObjectList& l, TObject*) { l.Clear(); }, 2, false},
      {"SetCount", [](TObjectList& l, TObject*) { l.SetCount(0); }, 2, false},
      {"Extract", [](TObjectList& l, TObject* o) { TObject::Free(l.Extract(o)); }, 1, true},
  };
  for (bool owns : {true, false}) {
    for (const Case& c : cases) {
      int freed = 0;
      TTracked* first = Make<TTracked>(&freed);
      TTracked* second = Make<TTracked>(&freed);
      auto* list = Make<TObjectList>(owns);
      list->Add(first);
      list->Add(second);
      c.op(*list, first);
      EXPECT_EQ(freed, owns ? c.freedOwning : (c.extracts ? 1 : 0)) << c.what << " owns=" << owns;
      TObject::Free(list);
      if (owns) {
        // Each object freed exactly once, by the operation or the list's destruction.
        EXPECT_EQ(freed, 2) << c.what;
      } else {
        EXPECT_EQ(freed, c.extracts ? 1 : 0) << c.what << " freed by a list that does not own";
        if (!c.extracts) TObject::Free(first);
        TObject::Free(second);
      }
    }
  }
}

TEST(ListsTObjectList, DeletingTheListWithoutFreeStillFreesItsObjects) {
  int freed = 0;
  auto* list = Make<TObjectList>();
  list->Add(Make<TTracked>(&freed));
  delete list;
  EXPECT_EQ(freed, 1);
}

TEST(ListsTObjectList, FindInstanceOf) {
  TObjectListOf<TObject> list(false);
  TList plain;
  TObjectList objects;
  list.Add(&plain);
  list.Add(&objects);
  EXPECT_EQ(list.FindInstanceOf(TList::StaticClass()), 0);
  EXPECT_EQ(list.FindInstanceOf(TList::StaticClass(), true, 1), -1);
  EXPECT_EQ(list.FindInstanceOf(TList::StaticClass(), false, 1), 1);
  EXPECT_EQ(list.FindInstanceOf(TObjectList::StaticClass()), 1);
  EXPECT_EQ(list[1], &objects);
}

namespace {

class IFirst : public IInterface {
 public:
  virtual int First() = 0;
};
class ISecond : public IInterface {
 public:
  virtual int Second() = 0;
};

class TCounted : public TInterfacedObject, public ISecond {
 public:
  explicit TCounted(int* freed) : freed_(freed) {}
  ~TCounted() override { ++*freed_; }
  int _AddRef() override { return TInterfacedObject::_AddRef(); }
  int _Release() override { return TInterfacedObject::_Release(); }
  int Second() override { return 2; }

 private:
  int* freed_;
};

// The library's non-counted objects: the owner decides their lifetime.
class TUncounted : public TObject, public IFirst {
 public:
  int _AddRef() override { return -1; }
  int _Release() override { return -1; }
  int First() override { return 1; }
};

}  // namespace

TEST(ListsInterfaces, InterfacePtrCountsReferences) {
  int freed = 0;
  auto* obj = Make<TCounted>(&freed);
  {
    TInterfacePtr<ISecond> a(obj);
    EXPECT_EQ(obj->RefCount(), 1);
    TInterfacePtr<ISecond> b = a;
    EXPECT_EQ(obj->RefCount(), 2);
    TInterfacePtr<ISecond> c = std::move(b);
    EXPECT_EQ(obj->RefCount(), 2);
    a = c;  // same target
    EXPECT_EQ(obj->RefCount(), 2);
    a = nullptr;
    EXPECT_EQ(obj->RefCount(), 1);
    EXPECT_EQ(c->Second(), 2);
    EXPECT_EQ(freed, 0);
  }
  EXPECT_EQ(freed, 1);
}

TEST(ListsInterfaces, InterfaceListHoldsReferencesAndComparesObjects) {
  int freed = 0;
  auto* counted = Make<TCounted>(&freed);
  TUncounted uncounted;
  auto* list = Make<TInterfaceList>();
  TInterfacePtr<IInterface> holder(list);
  EXPECT_EQ(list->Add(static_cast<ISecond*>(counted)), 0);
  EXPECT_EQ(counted->RefCount(), 1);
  EXPECT_EQ(list->Add(&uncounted), 1);
  // The same object through its other interface is found.
  EXPECT_EQ(list->IndexOf(static_cast<TInterfacedObject*>(counted)), 0);
  EXPECT_EQ(list->IndexOf(&uncounted), 1);
  list->Exchange(0, 1);
  EXPECT_EQ(list->First(), static_cast<IInterface*>(&uncounted));
  EXPECT_EQ(list->Remove(static_cast<ISecond*>(counted)), 1);
  EXPECT_EQ(freed, 1);  // the list held the last reference
  EXPECT_EQ(list->Remove(static_cast<IInterface*>(&uncounted)), 0);
  EXPECT_EQ(list->Count(), 0);
  EXPECT_THROW(list->Get(0), EListError);

  auto* second = Make<TCounted>(&freed);
  list->Add(static_cast<ISecond*>(second));
  holder = nullptr;  // frees the list, which releases its entries
  EXPECT_EQ(freed, 2);
}

TEST(ListsInterfaces, ReleasingInsideTheListDoesNotDeadlockOrCorruptIt) {
  // An entry whose destruction removes another entry from the same list.
  struct TSelfRemoving : public TInterfacedObject {
    TInterfaceList* list = nullptr;
    IInterface* other = nullptr;
    ~TSelfRemoving() override {
      if (list && other) list->Remove(other);
    }
  };
  int freed = 0;
  auto* list = Make<TInterfaceList>();
  auto* first = Make<TSelfRemoving>();
  auto* other = Make<TCounted>(&freed);
  first->list = list;
  first->other = static_cast<ISecond*>(other);
  list->Add(first);
  list->Add(static_cast<ISecond*>(other));
  list->Delete(0);
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(freed, 1);
  TObject::Free(list);
}
