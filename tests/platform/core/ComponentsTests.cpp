// Components: names, ownership, free notification, the component list,
// collections and the class registry with its groups.
#include "platform/WinApi.h"
#include "platform/core/Components.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace comptest {

std::vector<String> g_freed;

// Records what it is told.
class TProbe : public TComponent {
  DECLARE_CLASS(TProbe, TComponent)
  explicit TProbe(TComponent* owner, const String& name = String()) : TComponent(owner) { SetName(name); }
  ~TProbe() override { g_freed.push_back(Name()); }

  struct Heard {
    TComponent* component;
    TOperation operation;
    bool wasProbe;
    bool destroying;
  };
  std::vector<Heard> heard;
  void Notification(TComponent* c, TOperation operation) override {
    TComponent::Notification(c, operation);
    heard.push_back({c, operation, dynamic_cast<TProbe*>(c) != nullptr, c->ComponentState().Contains(csDestroying)});
  }
  int Removals(TComponent* c) const {
    int n = 0;
    for (const Heard& h : heard) n += h.component == c && h.operation == opRemove;
    return n;
  }
};

class TTallyItem : public TCollectionItem {
  DECLARE_CLASS(TTallyItem, TCollectionItem)
  explicit TTallyItem(TCollection* c) : TCollectionItem(c) {}
  String Text;
  void Assign(TPersistent* source) override {
    if (auto* s = dynamic_cast<TTallyItem*>(source)) {
      Text = s->Text;
      return;
    }
    TCollectionItem::Assign(source);
  }
};

// A collection that records its updates and notifications.
class TTally : public TOwnedCollection {
 public:
  TTally(TPersistent* owner) : TOwnedCollection(owner, TTallyItem::StaticClass()) {}
  std::vector<std::string> log;
  void Update(TCollectionItem* item) override {
    log.push_back(item ? "update " + std::to_string(item->Index()) : "update all");
  }
  void Notify(TCollectionItem* item, TCollectionNotification action) override {
    const char* names[] = {"added", "extracting", "deleting"};
    log.push_back(std::string(names[action]) + " " + std::to_string(item->ID()));
  }
  TTallyItem* Item(int i) const { return static_cast<TTallyItem*>(Items(i)); }
};

// An owner with a published field for a component named Probe1, and a collection.
class THolder : public TComponent {
  DECLARE_CLASS(THolder, TComponent)
  explicit THolder(TComponent* owner) : TComponent(owner), Tally(Make<TTally>(this)) {}
  ~THolder() override { TObject::Free(Tally); }
  TProbe* Probe1 = nullptr;
  TTally* Tally;
  TTally* GetTally() const { return Tally; }
};

BEGIN_CLASS(TProbe, TComponent, (ConstructWith<TProbe, TComponent>))
END_CLASS
BEGIN_CLASS(TTallyItem, TCollectionItem, (ConstructWith<TTallyItem, TCollection>))
END_CLASS
BEGIN_CLASS(THolder, TComponent, (ConstructWith<THolder, TComponent>))
  b.Field(L"Probe1", &THolder::Probe1);
  b.Prop(L"Items", &THolder::GetTally, nullptr);
END_CLASS

namespace other {
// Same name as comptest::TProbe, another class.
class TProbe : public TComponent {
  DECLARE_CLASS(TProbe, TComponent)
  using TComponent::TComponent;
};
IMPLEMENT_CLASS(TProbe, TComponent, (ConstructWith<TProbe, TComponent>))
}  // namespace other

// Two families with a class of the same name, kept apart by class groups,
// and a helper class grouped with the first family.
class TFamilyA : public TPersistent {
  DECLARE_CLASS(TFamilyA, TPersistent)
};
class TFamilyB : public TPersistent {
  DECLARE_CLASS(TFamilyB, TPersistent)
};
namespace fama {
class TGroupedWidget : public TFamilyA {
  DECLARE_CLASS(TGroupedWidget, TFamilyA)
};
IMPLEMENT_CLASS(TGroupedWidget, TFamilyA, nullptr)
}  // namespace fama
namespace famb {
class TGroupedWidget : public TFamilyB {
  DECLARE_CLASS(TGroupedWidget, TFamilyB)
};
IMPLEMENT_CLASS(TGroupedWidget, TFamilyB, nullptr)
}  // namespace famb
class TFamilyHelper : public TPersistent {
  DECLARE_CLASS(TFamilyHelper, TPersistent)
};
class TFamilyHelperPart : public TFamilyHelper {
  DECLARE_CLASS(TFamilyHelperPart, TFamilyHelper)
};
IMPLEMENT_CLASS(TFamilyA, TPersistent, nullptr)
IMPLEMENT_CLASS(TFamilyB, TPersistent, nullptr)
IMPLEMENT_CLASS(TFamilyHelper, TPersistent, nullptr)
IMPLEMENT_CLASS(TFamilyHelperPart, TFamilyHelper, nullptr)

struct Freer {
  void operator()(TObject* o) const { TObject::Free(o); }
};
template <class T>
using Owned = std::unique_ptr<T, Freer>;

// ---------------------------------------------------------------------------
// Names
// ---------------------------------------------------------------------------

TEST(ComponentName, OnlyIdentifiersAreNames) {
  struct Case {
    const wchar_t* name;
    bool valid;
  } cases[] = {
      {L"Button1", true}, {L"_x", true},  {L"岚泽面板", true}, {L"a_1_b", true}, {L"Ω2", true},
      {L"1abc", false},   {L"a b", false}, {L"a-b", false},   {L"a.b", false},  {L"名字 ", false}, {L"名字!", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.name[0]));
    Owned<TProbe> p(Make<TProbe>(nullptr));
    if (c.valid) {
      EXPECT_NO_THROW(p->SetName(c.name));
      EXPECT_EQ(p->Name(), c.name);
    } else {
      try {
        p->SetName(c.name);
        ADD_FAILURE() << "accepted";
      } catch (EComponentError& e) {
        EXPECT_EQ(e.Message, String(L"'") + c.name + L"' is not a valid component name");
        EXPECT_EQ(p->Name(), L"");
      }
    }
  }
}

TEST(ComponentName, SiblingsNeedDifferentNamesIgnoringCase) {
  Owned<TComponent> owner(Make<TComponent>(nullptr));
  auto* a = Make<TProbe>(owner.get(), L"Panel");
  auto* b = Make<TProbe>(owner.get(), L"Other");
  try {
    b->SetName(L"PANEL");
    ADD_FAILURE() << "duplicate accepted";
  } catch (EComponentError& e) {
    EXPECT_EQ(e.Message, L"A component named PANEL already exists");
  }
  EXPECT_EQ(b->Name(), L"Other");
  EXPECT_NO_THROW(a->SetName(L"panel")) << "a new case of its own name";
  EXPECT_EQ(owner->FindComponent(L"PaNeL"), a);
  EXPECT_EQ(owner->FindComponent(L""), nullptr);
  // Unowned components, and components of different owners, may share names.
  Owned<TProbe> loose(Make<TProbe>(nullptr, L"Panel"));
  EXPECT_THROW(Make<TProbe>(owner.get(), L"Other"), EComponentError) << "a constructor may raise too";
  EXPECT_EQ(owner->ComponentCount(), 2);
}

TEST(ComponentName, NestedPathsFollowOwnership) {
  Owned<TComponent> root(Make<TComponent>(nullptr));
  auto* panel = Make<TProbe>(root.get(), L"Panel1");
  auto* button = Make<TProbe>(panel, L"Button1");
  struct Case {
    const wchar_t* Path;
    TComponent* Expected;
  };
  const Case cases[] = {{L"Panel1", panel},          {L"panel1.BUTTON1", button}, {L"Panel1->Button1", button},
                        {L"Button1", nullptr},       {L"Panel1.Missing", nullptr}, {L"Panel1.", nullptr},
                        {L".Panel1", nullptr},       {L"Panel1..Button1", nullptr}, {L"Panel1->", nullptr},
                        {L"Panel1.Button1.X", nullptr}, {L"", nullptr},
                        {L"Owner", root.get()}};
  for (const Case& c : cases) EXPECT_EQ(FindNestedComponent(root.get(), c.Path), c.Expected) << c.Path;
  EXPECT_EQ(FindNestedComponent(nullptr, L"Panel1"), nullptr);
}

TEST(ComponentName, OwnersPublishedFieldFollowsTheName) {
  Owned<THolder> holder(Make<THolder>(nullptr));
  auto* p = Make<TProbe>(holder.get(), L"Probe1");
  EXPECT_EQ(holder->Probe1, p);
  p->SetName(L"Renamed");
  EXPECT_EQ(holder->Probe1, nullptr);
  p->SetName(L"Probe1");
  EXPECT_EQ(holder->Probe1, p);
  TObject::Free(p);
  EXPECT_EQ(holder->Probe1, nullptr) << "no dangling field";
}

// ---------------------------------------------------------------------------
// Ownership and notification
// ---------------------------------------------------------------------------

TEST(ComponentOwnership, OwnerFreesItsComponentsLastFirst) {
  g_freed.clear();
  auto* owner = Make<TProbe>(nullptr, L"Owner");
  auto* a = Make<TProbe>(owner, L"A");
  auto* b = Make<TProbe>(owner, L"B");
  auto* c = Make<TProbe>(owner, L"C");
  EXPECT_EQ(owner->ComponentCount(), 3);
  EXPECT_EQ(owner->Components(1), b);
  EXPECT_EQ(c->ComponentIndex(), 2);
  c->SetComponentIndex(-5);
  EXPECT_EQ(owner->Components(0), c);
  a->SetComponentIndex(99);
  EXPECT_EQ(owner->Components(2), a);
  EXPECT_THROW(owner->Components(3), EListError);
  TObject::Free(owner);
  EXPECT_EQ(g_freed, (std::vector<String>{L"Owner", L"A", L"B", L"C"}));
}

TEST(ComponentOwnership, InsertingMovesAComponentBetweenOwners) {
  Owned<TProbe> first(Make<TProbe>(nullptr));
  Owned<TProbe> second(Make<TProbe>(nullptr));
  auto* c = Make<TProbe>(first.get(), L"C");
  second->InsertComponent(c);
  EXPECT_EQ(c->Owner(), second.get());
  EXPECT_EQ(first->ComponentCount(), 0);
  EXPECT_EQ(first->Removals(c), 1);
  ASSERT_EQ(second->heard.size(), 1u);
  EXPECT_EQ(second->heard[0].operation, opInsert);
  second->RemoveComponent(c);
  EXPECT_EQ(c->Owner(), nullptr);
  TObject::Free(c);
  EXPECT_EQ(second->ComponentCount(), 0);
}

TEST(ComponentNotification, FreeNotificationWorksBothWays) {
  auto* watcher = Make<TProbe>(nullptr, L"Watcher");
  auto* watched = Make<TProbe>(nullptr, L"Watched");
  watched->FreeNotification(watcher);
  EXPECT_TRUE(watched->ComponentState().Contains(csFreeNotification));
  TObject::Free(watched);
  ASSERT_EQ(watcher->Removals(watched), 1);
  // Told while the whole object still lives: its type and state are visible.
  EXPECT_TRUE(watcher->heard.back().wasProbe);
  EXPECT_TRUE(watcher->heard.back().destroying);

  // The subscriber goes first: the other forgets it and never calls it.
  auto* again = Make<TProbe>(nullptr, L"Again");
  again->FreeNotification(watcher);
  TObject::Free(watcher);
  TObject::Free(again);

  // Removed by request: nothing more is told.
  Owned<TProbe> x(Make<TProbe>(nullptr));
  auto* y = Make<TProbe>(nullptr);
  y->FreeNotification(x.get());
  y->RemoveFreeNotification(x.get());
  TObject::Free(y);
  EXPECT_EQ(x->heard.size(), 0u);
}

TEST(ComponentNotification, SiblingsHearThroughTheirOwner) {
  Owned<TProbe> owner(Make<TProbe>(nullptr));
  auto* a = Make<TProbe>(owner.get(), L"A");
  auto* b = Make<TProbe>(owner.get(), L"B");
  TObject::Free(b);
  EXPECT_EQ(a->Removals(b), 1);
  EXPECT_EQ(owner->Removals(b), 1);
  EXPECT_EQ(owner->ComponentCount(), 1);
}

TEST(ComponentNotification, DestroyingMarksOwnedComponentsAndLoadedEndsLoading) {
  Owned<TProbe> owner(Make<TProbe>(nullptr));
  auto* a = Make<TProbe>(owner.get());
  owner->Destroying();
  EXPECT_TRUE(owner->ComponentState().Contains(csDestroying));
  EXPECT_TRUE(a->ComponentState().Contains(csDestroying));
  EXPECT_EQ(a->GetNamePath(), L"");
}

// ---------------------------------------------------------------------------
// TComponentList
// ---------------------------------------------------------------------------

TEST(ComponentList, ForgetsComponentsFreedElsewhere) {
  g_freed.clear();
  Owned<TComponentList> list(Make<TComponentList>(false));
  auto* a = Make<TProbe>(nullptr, L"A");
  auto* b = Make<TProbe>(nullptr, L"B");
  list->Add(a);
  list->Add(b);
  list->Add(a);  // twice: both entries go when it is freed
  TObject::Free(a);
  ASSERT_EQ(list->Count(), 1);
  EXPECT_EQ(list->Get(0), b);
  list->Remove(b);
  TObject::Free(b);  // no longer watched
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(g_freed, (std::vector<String>{L"A", L"B"}));
}

TEST(ComponentList, OwningListFreesWhatLeavesIt) {
  g_freed.clear();
  auto* list = Make<TComponentList>();  // owns by default
  list->Add(Make<TProbe>(nullptr, L"A"));
  list->Add(Make<TProbe>(nullptr, L"B"));
  auto* c = Make<TProbe>(nullptr, L"C");
  list->Add(c);
  list->Delete(0);
  EXPECT_EQ(g_freed, std::vector<String>{L"A"});
  EXPECT_EQ(list->Extract(c), c);
  TObject::Free(list);
  EXPECT_EQ(g_freed, (std::vector<String>{L"A", L"B"}));
  TObject::Free(c);
}

// ---------------------------------------------------------------------------
// Collections
// ---------------------------------------------------------------------------

TEST(Collection, ItemsGetIdsAndTellTheCollection) {
  Owned<THolder> holder(Make<THolder>(nullptr));
  TTally* c = holder->Tally;
  c->Add();
  c->Add();
  c->Add();
  auto* first = static_cast<TTallyItem*>(c->Insert(0));
  EXPECT_EQ(first->ID(), 3);
  EXPECT_EQ(first->Index(), 0);
  EXPECT_EQ(c->FindItemID(3), first);
  EXPECT_EQ(c->FindItemID(9), nullptr);
  EXPECT_EQ(c->log, (std::vector<std::string>{"added 0", "update all", "added 1", "update all", "added 2",
                                              "update all", "added 3", "update all", "update all"}));
  c->log.clear();
  first->SetIndex(0);
  EXPECT_TRUE(c->log.empty()) << "moving to where it is changes nothing";
  first->SetIndex(2);
  EXPECT_EQ(c->Items(2), first);
  EXPECT_THROW(first->SetIndex(4), EListError);
  c->Delete(0);
  EXPECT_EQ(c->log, (std::vector<std::string>{"update all", "deleting 0", "extracting 0", "update all"}));
  c->log.clear();
  TObject::Free(c->Items(0));
  EXPECT_EQ(c->log, (std::vector<std::string>{"extracting 1", "update all"}));
  EXPECT_EQ(c->Count(), 2);
}

TEST(Collection, UpdatesWaitForTheLastEndUpdate) {
  Owned<THolder> holder(Make<THolder>(nullptr));
  TTally* c = holder->Tally;
  c->BeginUpdate();
  c->BeginUpdate();
  c->Add();
  c->Add()->SetDisplayName(L"x");
  c->Clear();
  c->EndUpdate();
  c->EndUpdate();
  int updates = 0;
  for (const std::string& s : c->log) updates += s.rfind("update", 0) == 0;
  EXPECT_EQ(updates, 1);
  EXPECT_EQ(c->log.back(), "update all");
}

TEST(Collection, AssignCopiesItemsAndNamePathNamesTheProperty) {
  Owned<THolder> holder(Make<THolder>(nullptr));
  holder->SetName(L"Holder");
  TTally source(nullptr);
  static_cast<TTallyItem*>(source.Add())->Text = L"one";
  static_cast<TTallyItem*>(source.Add())->Text = L"two";
  holder->Tally->Add();
  holder->Tally->Assign(&source);
  ASSERT_EQ(holder->Tally->Count(), 2);
  EXPECT_EQ(holder->Tally->Item(1)->Text, L"two");
  EXPECT_EQ(holder->Tally->GetNamePath(), L"Holder.Items");
  EXPECT_EQ(holder->Tally->Item(1)->GetNamePath(), L"Holder.Items[1]");
  EXPECT_EQ(source.GetNamePath(), source.ClassName()) << "no owner: the class name";
  EXPECT_EQ(holder->Tally->Item(0)->DisplayName(), L"TTallyItem");
  EXPECT_THROW(holder->Tally->Assign(holder.get()), EConvertError);
  EXPECT_THROW(TCollection(TProbe::StaticClass()), EListError) << "items of a non-item class";
}

// ---------------------------------------------------------------------------
// Class registry
// ---------------------------------------------------------------------------

TEST(ClassRegistry, ClassesAreFoundByNameIgnoringCase) {
  RegisterClass(TProbe::StaticClass());
  EXPECT_EQ(GetClass(L"tprobe"), TProbe::StaticClass());
  EXPECT_EQ(FindClass(L"TPROBE"), TProbe::StaticClass());
  EXPECT_EQ(GetClass(L"TComponent"), TComponent::StaticClass()) << "ancestors are registered too";
  EXPECT_EQ(GetClass(L"TObject"), nullptr) << "only down from TPersistent";
  try {
    FindClass(L"TNothing");
    ADD_FAILURE();
  } catch (EClassNotFound& e) {
    EXPECT_EQ(e.Message, L"Class TNothing not found");
  }
  EXPECT_THROW(RegisterClass(other::TProbe::StaticClass()), EFilerError);
  EXPECT_NO_THROW(RegisterClass(TProbe::StaticClass())) << "again is harmless";

  RegisterClassAlias(TProbe::StaticClass(), L"TOldProbe");
  EXPECT_EQ(GetClass(L"TOldProbe"), TProbe::StaticClass());
  UnRegisterClass(TProbe::StaticClass());
  EXPECT_EQ(GetClass(L"TProbe"), nullptr);
  EXPECT_EQ(GetClass(L"TOldProbe"), nullptr);
  RegisterClasses({other::TProbe::StaticClass()});
  EXPECT_EQ(GetClass(L"TProbe"), other::TProbe::StaticClass());
  UnRegisterClass(other::TProbe::StaticClass());
}

TEST(ClassRegistry, GroupsKeepFamiliesApartAndLookupSearchesTheActiveOnes) {
  const TClass a = TFamilyA::StaticClass(), b = TFamilyB::StaticClass();
  StartClassGroup(a);
  StartClassGroup(b);
  StartClassGroup(a);  // started already: nothing
  GroupDescendentsWith(TFamilyHelper::StaticClass(), a);
  EXPECT_EQ(ClassGroupOf(fama::TGroupedWidget::StaticClass()), a);
  EXPECT_EQ(ClassGroupOf(famb::TGroupedWidget::StaticClass()), b);
  EXPECT_EQ(ClassGroupOf(TFamilyHelperPart::StaticClass()), a) << "grouped through its ancestor";
  EXPECT_EQ(ClassGroupOf(TComponent::StaticClass()), TPersistent::StaticClass());
  EXPECT_EQ(ClassGroupOf(TObject::StaticClass()), nullptr);
  EXPECT_THROW(GroupDescendentsWith(TFamilyHelper::StaticClass(), TObject::StaticClass()), EFilerError)
      << "a class outside every group has no group to join";

  // One name in two groups is no clash.
  RegisterClasses({fama::TGroupedWidget::StaticClass(), famb::TGroupedWidget::StaticClass(),
                   TFamilyHelperPart::StaticClass()});
  EXPECT_EQ(GetClass(L"TGroupedWidget"), nullptr) << "only TPersistent's group is active";
  EXPECT_EQ(GetClass(L"TComponent"), TComponent::StaticClass());

  struct Case {
    TClass activate;
    TClass widget, helper;
  };
  const Case cases[] = {{a, fama::TGroupedWidget::StaticClass(), TFamilyHelperPart::StaticClass()},
                        {fama::TGroupedWidget::StaticClass(), fama::TGroupedWidget::StaticClass(),
                         TFamilyHelperPart::StaticClass()},
                        {b, famb::TGroupedWidget::StaticClass(), nullptr}};
  TClass previous = TPersistent::StaticClass();
  for (const Case& c : cases) {
    EXPECT_EQ(ActivateClassGroup(c.activate), previous);
    previous = c.activate;
    EXPECT_EQ(GetClass(L"tgroupedwidget"), c.widget) << c.activate->Name;
    EXPECT_EQ(GetClass(L"TFamilyHelperPart"), c.helper) << c.activate->Name;
    EXPECT_EQ(GetClass(L"TFamilyHelper"), c.helper ? TFamilyHelper::StaticClass() : nullptr)
        << "ancestors went to their own group";
    EXPECT_EQ(GetClass(L"TComponent"), TComponent::StaticClass()) << "TPersistent's group stays active";
  }

  // The groups themselves stay for the process (nothing ends one), inactive
  // and empty again.
  ActivateClassGroup(TPersistent::StaticClass());
  UnRegisterClasses({fama::TGroupedWidget::StaticClass(), famb::TGroupedWidget::StaticClass(), a, b,
                     TFamilyHelper::StaticClass(), TFamilyHelperPart::StaticClass()});
}

}  // namespace comptest
