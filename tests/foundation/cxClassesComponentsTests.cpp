#include "platform/WinApi.h"
#include "foundation/cxClasses.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Streams.h"

#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// A parent component with a component collection, as a bar manager holds
// its toolbars.
// ---------------------------------------------------------------------------

struct Event {
  int ItemId;  // -1 for a null item
  TcxComponentCollectionNotification Action;
  friend bool operator==(const Event&, const Event&) = default;
};

std::ostream& operator<<(std::ostream& os, const Event& e) {
  return os << "(" << e.ItemId << ", " << static_cast<int>(e.Action) << ")";
}

class TTestItems;

class TTestParent : public TComponent {
  DECLARE_CLASS(TTestParent, TComponent)
  explicit TTestParent(TComponent* AOwner);
  ~TTestParent() override;
  TTestItems* Items = nullptr;
};

class TTestItem : public TcxComponentCollectionItem {
  DECLARE_CLASS(TTestItem, TcxComponentCollectionItem)
  explicit TTestItem(TComponent* AOwner) : TcxComponentCollectionItem(AOwner) { ++Alive; }
  ~TTestItem() override { --Alive; }
  static inline int Alive = 0;
  bool FailAssign = false;
  void Assign(TPersistent* Source) override {
    auto* source = dynamic_cast<TTestItem*>(Source);
    if (!source || source->FailAssign) throw EConvertError(L"cannot assign");
    SetTag(source->Tag());
  }
  void ReportChange() { Changed(); }

 protected:
  TcxComponentCollection* CollectionOfParent(TComponent* AParent) override;
};

// Another class: never enters a collection of TTestItem.
class TOtherItem : public TcxComponentCollectionItem {
  DECLARE_CLASS(TOtherItem, TcxComponentCollectionItem)
  using TcxComponentCollectionItem::TcxComponentCollectionItem;

 protected:
  TcxComponentCollection* CollectionOfParent(TComponent* AParent) override;
};

class TTestItems : public TcxComponentCollection {
  DECLARE_CLASS(TTestItems, TcxComponentCollection)
  explicit TTestItems(TComponent* AParent) : TcxComponentCollection(AParent, TTestItem::StaticClass()) {}
  std::vector<Event> Hook;
  std::vector<Event> Changes;
  TTestItem* Item(int i) const { return static_cast<TTestItem*>(Items(i)); }

 protected:
  void HandleItemNotification(TcxComponentCollectionItem* AItem, TcxComponentCollectionNotification AAction) override {
    Hook.push_back({AItem ? AItem->ID() : -1, AAction});
  }
  void NotifyChange(TcxComponentCollectionItem* AItem, TcxComponentCollectionNotification AAction) override {
    Changes.push_back({AItem ? AItem->ID() : -1, AAction});
    TcxComponentCollection::NotifyChange(AItem, AAction);
  }
};

BEGIN_CLASS(TTestParent, TComponent, (ConstructWith<TTestParent, TComponent>))
END_CLASS
IMPLEMENT_CLASS(TTestItem, TcxComponentCollectionItem, (ConstructWith<TTestItem, TComponent>))
IMPLEMENT_CLASS(TOtherItem, TcxComponentCollectionItem, (ConstructWith<TOtherItem, TComponent>))
IMPLEMENT_CLASS(TTestItems, TcxComponentCollection, nullptr)

TTestParent::TTestParent(TComponent* AOwner) : TComponent(AOwner), Items(Make<TTestItems>(this)) {}
TTestParent::~TTestParent() {
  FreeAndNil(Items);
}

TcxComponentCollection* TTestItem::CollectionOfParent(TComponent* AParent) {
  return static_cast<TTestParent*>(AParent)->Items;
}
TcxComponentCollection* TOtherItem::CollectionOfParent(TComponent* AParent) {
  return static_cast<TTestParent*>(AParent)->Items;
}

// A form owning a parent with three items; event logs start empty.
struct CollectionFixture : ::testing::Test {
  Owned<TComponent> Form{Make<TComponent>(nullptr)};
  TTestParent* Parent = Make<TTestParent>(Form.get());
  TTestItems* Items = Parent->Items;
  void SetUp() override {
    for (int i = 0; i < 3; ++i) Items->Add();
    Items->Hook.clear();
    Items->Changes.clear();
  }
  std::vector<int> Ids() const {
    std::vector<int> ids;
    for (int i = 0; i < Items->Count(); ++i) ids.push_back(Items->Items(i)->ID());
    return ids;
  }
};

using V = std::vector<Event>;

}  // namespace

TEST_F(CollectionFixture, AddedItemsBelongToTheFormAndSitInTheParentsCollection) {
  TTestItem* item = Items->Item(2);
  EXPECT_EQ(item->Owner(), Form.get());
  EXPECT_EQ(item->Collection(), Items);
  EXPECT_EQ(item->GetParentComponent(), Parent);
  EXPECT_TRUE(item->HasParent());
  EXPECT_EQ(Ids(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(Items->FindItemByID(1), Items->Items(1));
  EXPECT_EQ(Items->FindItemByID(7), nullptr);
  EXPECT_THROW(Items->Items(3), EListError);

  Items->Add();
  EXPECT_EQ(Items->Hook, (V{{3, ccnAdded}}));
  EXPECT_EQ(Items->Changes, (V{{3, ccnAdded}}));

  // Inserting at 0 gives the next ID at position 0 and reports the move.
  Items->Changes.clear();
  TcxComponentCollectionItem* inserted = Items->Insert(0);
  EXPECT_EQ(inserted->ID(), 4);
  EXPECT_EQ(inserted->Index(), 0);
  EXPECT_EQ(Items->Changes, (V{{4, ccnAdded}, {-1, ccnChanged}}));
}

TEST_F(CollectionFixture, DeletingReportsDeletingExtractingExtractedAndIDsAreNotReused) {
  Items->Delete(1);
  EXPECT_EQ(Items->Hook, (V{{1, ccnDeleting}, {1, ccnExtracting}, {1, ccnExtracted}}));
  EXPECT_EQ(Items->Changes, (V{{1, ccnExtracted}}));
  EXPECT_EQ(Form->ComponentCount(), 3);  // parent + two items
  Items->Add();
  EXPECT_EQ(Ids(), (std::vector<int>{0, 2, 3}));

  // An item freed by someone else leaves by itself.
  Items->Hook.clear();
  Items->Changes.clear();
  TObject::Free(Items->Items(0));
  EXPECT_EQ(Items->Hook, (V{{0, ccnExtracting}, {0, ccnExtracted}}));
  EXPECT_EQ(Items->Changes, (V{{0, ccnExtracted}}));
  Items->Remove(Items->Items(1));
  EXPECT_EQ(Ids(), (std::vector<int>{2}));
}

TEST_F(CollectionFixture, MovingAnItemReportsAChangeOfTheWholeCollection) {
  TcxComponentCollectionItem* item = Items->Items(0);
  item->SetIndex(0);
  EXPECT_TRUE(Items->Changes.empty());
  item->SetIndex(2);
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(Items->Changes, (V{{-1, ccnChanged}}));
  EXPECT_THROW(item->SetIndex(3), EListError);

  Items->Changes.clear();
  static_cast<TTestItem*>(item)->ReportChange();
  EXPECT_EQ(Items->Changes, (V{{0, ccnChanged}}));
}

TEST_F(CollectionFixture, UpdatesHoldBackChangeEventsUntilTheOutermostForcedEnd) {
  Items->BeginUpdate();
  Items->Add();
  Items->Delete(0);
  static_cast<TTestItem*>(Items->Items(0))->ReportChange();
  Items->EndUpdate(false);
  EXPECT_TRUE(Items->Changes.empty());
  EXPECT_EQ(Items->Hook.size(), 4u);  // the hook hears everything

  Items->BeginUpdate();
  Items->BeginUpdate();
  Items->EndUpdate(true);
  EXPECT_TRUE(Items->Changes.empty());
  Items->EndUpdate(true);
  EXPECT_EQ(Items->Changes, (V{{-1, ccnChanged}}));

  Items->Changes.clear();
  Items->Clear();
  EXPECT_EQ(Items->Count(), 0);
  EXPECT_EQ(Items->Changes, (V{{-1, ccnChanged}}));
  EXPECT_EQ(Form->ComponentCount(), 1);
}

TEST_F(CollectionFixture, ForeignClassesAreNotTakenIn) {
  auto* other = Make<TOtherItem>(Form.get());
  other->SetParentComponent(Parent);
  EXPECT_EQ(other->Collection(), nullptr);
  EXPECT_EQ(Items->Count(), 3);
  EXPECT_TRUE(Items->Hook.empty());
  TObject::Free(other);
}

TEST_F(CollectionFixture, AssignCopiesItemsInOrderAndRestoresTheUpdateCountOnFailure) {
  auto* source = Make<TTestParent>(Form.get());
  for (int i = 0; i < 2; ++i) source->Items->Add()->SetTag(10 + i);
  Items->Assign(source->Items);
  ASSERT_EQ(Items->Count(), 2);
  EXPECT_EQ(Items->Items(0)->Tag(), 10);
  EXPECT_EQ(Items->Items(1)->Tag(), 11);
  EXPECT_EQ(Items->Changes.back(), (Event{-1, ccnChanged}));
  EXPECT_EQ(Items->UpdateCount(), 0);

  static_cast<TTestItem*>(source->Items->Items(1))->FailAssign = true;
  EXPECT_THROW(Items->Assign(source->Items), EConvertError);
  EXPECT_EQ(Items->UpdateCount(), 0);
  EXPECT_THROW(Items->Assign(Form.get()), EConvertError);
  TObject::Free(source);
}

TEST_F(CollectionFixture, FreeingTheFormFreesEveryItemOnce) {
  // The form frees its components last first. A parent freed before its
  // items frees them through its collection; items freed first leave it.
  auto* second = Make<TTestParent>(Form.get());
  second->Items->Add();
  second->Items->Add();
  Parent->SetComponentIndex(Form->ComponentCount() - 1);
  ASSERT_EQ(TTestItem::Alive, 5);
  Form.reset();
  EXPECT_EQ(TTestItem::Alive, 0);
}

// ---------------------------------------------------------------------------
// TcxObjectList
// ---------------------------------------------------------------------------

namespace {

class Counted : public TObject {
 public:
  explicit Counted(int* alive, TcxObjectList* list = nullptr) : Alive(alive), List(list) { ++*Alive; }
  ~Counted() override {
    --*Alive;
    // A destructor that takes its object out of the list (or looks at it).
    if (List) List->Remove(this);
  }
  int* Alive;
  TcxObjectList* List;
};

}  // namespace

TEST(cxObjectList, AnOwningListFreesItsObjectsOnClearAndWithItself) {
  int alive = 0;
  auto* owning = Make<TcxObjectList>(true);
  for (int i = 0; i < 3; ++i) owning->Add(Make<Counted>(&alive));
  owning->Clear();
  EXPECT_EQ(alive, 0);
  EXPECT_EQ(owning->Count(), 0);
  for (int i = 0; i < 3; ++i) owning->Add(Make<Counted>(&alive, owning));  // each leaves by itself
  owning->Add(nullptr);
  TObject::Free(owning);
  EXPECT_EQ(alive, 0);

  auto* plain = Make<TcxObjectList>(false);
  Counted* kept[2] = {Make<Counted>(&alive), Make<Counted>(&alive)};
  plain->Add(kept[0]);
  plain->Add(kept[1]);
  plain->Clear();
  EXPECT_EQ(alive, 2);
  plain->Add(kept[0]);
  TObject::Free(plain);
  EXPECT_EQ(alive, 2);
  for (Counted* c : kept) TObject::Free(c);
}

// ---------------------------------------------------------------------------
// TcxComponentList
// ---------------------------------------------------------------------------

namespace {

class TParentOnlyList : public TcxComponentList {
  DECLARE_CLASS(TParentOnlyList, TcxComponentList)
  TParentOnlyList() = default;

 protected:
  TClass AcceptedItemClass() override { return TTestParent::StaticClass(); }
};
IMPLEMENT_CLASS(TParentOnlyList, TcxComponentList, (ConstructPlain<TParentOnlyList>))

struct ListLog : TObject {
  std::vector<std::pair<TComponent*, int>> Notified, Changed;
  void Notify(TObject*, TComponent* c, TListNotification a) { Notified.push_back({c, a}); }
  void Change(TObject*, TComponent* c, TcxComponentCollectionNotification a) { Changed.push_back({c, a}); }
};

}  // namespace

TEST(cxComponentList, AcceptsOnlyItsClassAndReportsEveryChange) {
  Owned<TComponent> form(Make<TComponent>(nullptr));
  auto* a = Make<TTestParent>(form.get());
  auto* b = Make<TTestParent>(form.get());
  auto* stranger = Make<TComponent>(form.get());
  ListLog log;
  auto* list = Make<TParentOnlyList>();
  list->OnNotify = TcxComponentListNotifyEvent::Bind<&ListLog::Notify>(&log);
  list->OnComponentListChanged = TcxComponentListChangeEvent::Bind<&ListLog::Change>(&log);

  list->Add(a);
  list->Add(stranger);  // taken out again, without a word
  EXPECT_EQ(list->Count(), 1);
  EXPECT_EQ(log.Notified, (std::vector<std::pair<TComponent*, int>>{{a, lnAdded}}));
  EXPECT_EQ(log.Changed, (std::vector<std::pair<TComponent*, int>>{{a, ccnAdded}}));

  log.Notified.clear();
  log.Changed.clear();
  list->BeginUpdate();
  list->Add(b);
  list->Extract(a);
  list->EndUpdate();
  EXPECT_EQ(log.Notified.size(), 2u);
  EXPECT_EQ(log.Changed, (std::vector<std::pair<TComponent*, int>>{{nullptr, ccnChanged}}));

  list->BeginUpdate();
  list->CancelUpdate();
  EXPECT_EQ(log.Changed.size(), 1u);

  // A component freed elsewhere leaves the list; the list never frees one.
  log.Changed.clear();
  TObject::Free(b);
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(log.Changed, (std::vector<std::pair<TComponent*, int>>{{b, ccnExtracted}}));

  list->Add(a);
  log.Changed.clear();
  list->Clear();
  EXPECT_EQ(log.Changed, (std::vector<std::pair<TComponent*, int>>{{nullptr, ccnChanged}}));
  list->Add(a);
  log.Changed.clear();
  TObject::Free(list);
  EXPECT_TRUE(log.Changed.empty());
  EXPECT_EQ(form->ComponentCount(), 2);  // a and the stranger are still there
}

// ---------------------------------------------------------------------------
// TcxComponent
// ---------------------------------------------------------------------------

namespace {

class TLinkingComponent : public TcxComponent {
  DECLARE_CLASS(TLinkingComponent, TcxComponent)
  using TcxComponent::TcxComponent;
  std::vector<TComponent*> ToLink;
  void MakeDesigning() { SetDesigning(true, false); }

 protected:
  void CollectFakeComponentLinks(TList* AList) override {
    for (TComponent* c : ToLink) AList->Add(c);
  }
};
IMPLEMENT_CLASS(TLinkingComponent, TcxComponent, (ConstructWith<TLinkingComponent, TComponent>))

}  // namespace

TEST(cxComponent, FakeLinksAreFilledAtDesignTimeClearedWhenTheLinkedGoesAndNeverStored) {
  Owned<TComponent> form(Make<TComponent>(nullptr));
  auto* c = Make<TLinkingComponent>(form.get());
  c->SetName(L"Sheet");
  auto* x = Make<TComponent>(form.get());
  x->SetName(L"X");
  auto* y = Make<TComponent>(form.get());
  y->SetName(L"Y");
  c->ToLink = {x, y};

  c->Loaded();  // not designing: nothing
  EXPECT_EQ(c->FakeComponentLink1(), nullptr);
  c->MakeDesigning();
  EXPECT_TRUE(c->IsDesigning());
  c->Loaded();
  EXPECT_EQ(c->FakeComponentLink1(), x);
  EXPECT_EQ(c->FakeComponentLink2(), y);
  EXPECT_EQ(c->FakeComponentLink3(), nullptr);

  // Written to a stream, the component carries none of its links.
  Owned<TMemoryStream> binary(Make<TMemoryStream>()), text(Make<TMemoryStream>());
  WriteComponentToStream(binary.get(), c);
  binary->SetPosition(0);
  ObjectBinaryToText(binary.get(), text.get());
  const std::string written(static_cast<const char*>(text->Memory()), static_cast<size_t>(text->Size()));
  EXPECT_NE(written.find("object Sheet: TLinkingComponent"), std::string::npos) << written;
  EXPECT_EQ(written.find("FakeComponentLink"), std::string::npos) << written;

  TObject::Free(x);
  EXPECT_EQ(c->FakeComponentLink1(), nullptr);
  EXPECT_EQ(c->FakeComponentLink2(), y);
  c->ToLink = {};
  c->Loaded();
  EXPECT_EQ(c->FakeComponentLink2(), nullptr);
}

TEST(cxComponent, DestructionClearsObjectLinks) {
  auto* c = Make<TcxComponent>(nullptr);
  EXPECT_FALSE(c->IsDestroying());
  TcxObjectLink* link = cxCreateObjectLink(c);
  TObject::Free(c);
  EXPECT_EQ(link->Ref, nullptr);
  cxReleaseObjectLink(link);
}

// ---------------------------------------------------------------------------
// Interfaces without reference counting
// ---------------------------------------------------------------------------

namespace {

// An owner that counts the references its owned objects forward to it.
class CountingOwner : public TPersistent, public IInterface {
 public:
  int Refs = 0;
  int _AddRef() override { return ++Refs; }
  int _Release() override { return --Refs; }
};

}  // namespace

TEST(cxInterfaced, ReferencesGoToTheOwnersInterfaceOrNowhere) {
  Owned<TcxIUnknownObject> plain(Make<TcxIUnknownObject>());
  EXPECT_EQ(plain->_AddRef(), -1);
  EXPECT_EQ(plain->_Release(), -1);

  Owned<CountingOwner> owner(Make<CountingOwner>());
  Owned<TcxInterfacedPersistent> owned(Make<TcxInterfacedPersistent>(owner.get()));
  EXPECT_EQ(owned->Owner(), owner.get());
  EXPECT_EQ(owned->GetOwner(), owner.get());
  EXPECT_EQ(owned->_AddRef(), 1);
  EXPECT_EQ(owned->_Release(), 0);
  {
    TInterfacePtr<IInterface> ref(owned.get());
    EXPECT_EQ(owner->Refs, 1);
  }
  EXPECT_EQ(owner->Refs, 0);

  Owned<TComponent> component(Make<TComponent>(nullptr));
  Owned<TcxInterfacedPersistent> ofComponent(Make<TcxInterfacedPersistent>(component.get()));
  EXPECT_EQ(ofComponent->_AddRef(), -1);
}

// ---------------------------------------------------------------------------
// TcxOwnedInterfacedCollection and TcxStringList
// ---------------------------------------------------------------------------

namespace {

class TKeyItem : public TcxInterfacedCollectionItem {
  DECLARE_CLASS(TKeyItem, TcxInterfacedCollectionItem)
  using TcxInterfacedCollectionItem::TcxInterfacedCollectionItem;
  int Key = 0;
  void SetKey(int AKey, bool AReport) {
    Key = AKey;
    if (AReport) Changed(false);
  }
};
IMPLEMENT_CLASS(TKeyItem, TcxInterfacedCollectionItem, (ConstructWith<TKeyItem, TCollection>))

class TKeyCollection : public TcxOwnedInterfacedCollection {
  DECLARE_CLASS(TKeyCollection, TcxOwnedInterfacedCollection)
  explicit TKeyCollection(TPersistent* AOwner) : TcxOwnedInterfacedCollection(AOwner, TKeyItem::StaticClass()) {}
  std::vector<int> Keys() {
    std::vector<int> keys;
    for (int i = 0; i < Count(); ++i) keys.push_back(static_cast<TKeyItem*>(Items(i))->Key);
    return keys;
  }

 protected:
  int CompareItemPair(TCollectionItem* A, TCollectionItem* B) override {
    return static_cast<TKeyItem*>(A)->Key - static_cast<TKeyItem*>(B)->Key;
  }
};
IMPLEMENT_CLASS(TKeyCollection, TcxOwnedInterfacedCollection, nullptr)

struct ChangeLog : TObject {
  std::vector<TCollectionItem*> Items;
  void Changed(TObject*, TCollectionItem* AItem) { Items.push_back(AItem); }
  int Descending(TObject*, TCollectionItem* A, TCollectionItem* B) {
    return static_cast<TKeyItem*>(B)->Key - static_cast<TKeyItem*>(A)->Key;
  }
};

}  // namespace

TEST(cxOwnedInterfacedCollection, ASortedCollectionResortsOnWholeCollectionChangesOnly) {
  Owned<TComponent> owner(Make<TComponent>(nullptr));
  Owned<TKeyCollection> items(Make<TKeyCollection>(owner.get()));
  ChangeLog log;
  items->OnChange = TcxCollectionNotifyEvent::Bind<&ChangeLog::Changed>(&log);
  items->BeginUpdate();
  for (int key : {3, 1, 2}) static_cast<TKeyItem*>(items->Add())->Key = key;
  items->EndUpdate();
  EXPECT_EQ(items->Keys(), (std::vector<int>{3, 1, 2}));  // not sorted yet
  EXPECT_EQ(log.Items, (std::vector<TCollectionItem*>{nullptr}));
  EXPECT_EQ(items->_AddRef(), -1);

  items->SetSorted(true);
  auto* first = static_cast<TKeyItem*>(items->Items(0));
  first->SetKey(5, true);  // one item changed: no re-sort
  EXPECT_EQ(items->Keys(), (std::vector<int>{5, 1, 2}));
  EXPECT_EQ(log.Items.back(), first);

  items->Changed();  // the whole collection: sorted by CompareItemPair
  EXPECT_EQ(items->Keys(), (std::vector<int>{1, 2, 5}));
  EXPECT_EQ(log.Items.back(), nullptr);
  EXPECT_FALSE(items->InternalState().Contains(cisUpdating));
  EXPECT_FALSE(items->InternalState().Contains(cisSorting));

  items->OnCompare = TcxCollectionCompareEvent::Bind<&ChangeLog::Descending>(&log);
  static_cast<TKeyItem*>(items->Add())->Key = 4;
  items->Changed();
  EXPECT_EQ(items->Keys(), (std::vector<int>{5, 4, 2, 1}));
  EXPECT_EQ(static_cast<TKeyItem*>(items->Items(0))->_AddRef(), -1);

  // No change events while the collection is freed.
  const size_t before = log.Items.size();
  items.reset();
  EXPECT_EQ(log.Items.size(), before);
}

TEST(cxStringList, SortUsesOnCompareWhenAssigned) {
  struct ByLength : TObject {
    int Compare(TStringList* AList, int A, int B) {
      return static_cast<int>(AList->Get(A).size()) - static_cast<int>(AList->Get(B).size());
    }
  } byLength;
  Owned<TcxStringList> list(Make<TcxStringList>());
  for (const wchar_t* s : {L"ccc", L"a", L"bb"}) list->Add(s);
  list->Sort();
  EXPECT_EQ(list->Text(), L"a\r\nbb\r\nccc\r\n");
  list->Clear();
  for (const wchar_t* s : {L"a", L"ccc", L"bb"}) list->Add(s);
  list->OnCompare = TcxStringListCompareEvent::Bind<&ByLength::Compare>(&byLength);
  list->Sort();
  EXPECT_EQ(list->Text(), L"a\r\nbb\r\nccc\r\n");
  list->Clear();
  for (const wchar_t* s : {L"zz", L"y", L"xxx"}) list->Add(s);
  list->Sort();
  EXPECT_EQ(list->Text(), L"y\r\nzz\r\nxxx\r\n");
}
