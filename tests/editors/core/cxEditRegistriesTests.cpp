#include "platform/WinApi.h"
#include "editors/core/cxEditButtons.h"
#include "editors/core/cxEditRepositoryItems.h"
#include "editors/core/cxFilterEditsController.h"

#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

namespace {

// Two editor kinds under one custom parent, and a third elsewhere.
class TCustomKindProperties : public TcxCustomEditProperties {
  DECLARE_CLASS(TCustomKindProperties, TcxCustomEditProperties)
  using TcxCustomEditProperties::TcxCustomEditProperties;
};
class TKindProperties : public TCustomKindProperties {
  DECLARE_CLASS(TKindProperties, TCustomKindProperties)
  using TCustomKindProperties::TCustomKindProperties;
};
class TDerivedKindProperties : public TKindProperties {
  DECLARE_CLASS(TDerivedKindProperties, TKindProperties)
  using TKindProperties::TKindProperties;
};

class THelper : public TcxCustomFilterEditHelper {
 public:
  static TcxCustomFilterEditHelperClass Instance() {
    static const THelper helper;
    return &helper;
  }
};

class TKindRepositoryItem : public TcxEditRepositoryItem {
  DECLARE_CLASS(TKindRepositoryItem, TcxEditRepositoryItem)
  using TcxEditRepositoryItem::TcxEditRepositoryItem;
  TcxCustomEditPropertiesClass GetEditPropertiesClass() const override {
    return TcxCustomEditPropertiesClass::Of<TKindProperties>();
  }
};

struct TListener : IcxEditRepositoryItemListener {
  std::vector<String>* Log;
  String Name;
  void ItemRemoved(TcxEditRepositoryItem*) override { Log->push_back(Name + L" removed"); }
  void PropertiesChanged(TcxEditRepositoryItem*) override { Log->push_back(Name + L" changed"); }
};

}  // namespace

IMPLEMENT_CLASS(TCustomKindProperties, TcxCustomEditProperties, (ConstructWith<TCustomKindProperties, TPersistent>))
IMPLEMENT_CLASS(TKindProperties, TCustomKindProperties, (ConstructWith<TKindProperties, TPersistent>))
IMPLEMENT_CLASS(TDerivedKindProperties, TKindProperties, (ConstructWith<TDerivedKindProperties, TPersistent>))
IMPLEMENT_CLASS(TKindRepositoryItem, TcxEditRepositoryItem, (ConstructWith<TKindRepositoryItem, TComponent>))

TEST(cxFilterEditsController, HelpersAreFoundByTheParentOfThePropertiesClass) {
  ASSERT_FALSE(cxFilterEditsControllerExists());
  cxFilterEditsControllerInstance()->Register(TKindProperties::StaticClass(), THelper::Instance());
  TcxFilterEditsController* controller = cxFilterEditsControllerInstance();
  EXPECT_EQ(controller->FindHelper(TKindProperties::StaticClass()), THelper::Instance());
  EXPECT_EQ(controller->FindHelper(TDerivedKindProperties::StaticClass()), THelper::Instance());
  EXPECT_EQ(controller->FindHelper(TcxCustomEditProperties::StaticClass()), nullptr);
  // The last unregistration frees the registry; the next use makes a new one.
  controller->Unregister(TKindProperties::StaticClass(), THelper::Instance());
  EXPECT_FALSE(cxFilterEditsControllerExists());
  EXPECT_EQ(cxFilterEditsControllerInstance()->Count(), 0);
  cxFilterEditsControllerInstance()->Register(TKindProperties::StaticClass(), THelper::Instance());
  cxFilterEditsControllerInstance()->Unregister(TKindProperties::StaticClass(), THelper::Instance());
  EXPECT_FALSE(cxFilterEditsControllerExists());
}

TEST(cxFilterEditsController, OperatorsAndFilterProperties) {
  const TcxCustomFilterEditHelperClass helper = TcxCustomFilterEditHelper::Instance();
  const TcxFilterControlOperators basic =
      helper->GetSupportedFilterOperators(nullptr, TcxIntegerValueType::Instance(), false);
  TcxFilterControlOperators expected;
  for (auto op : {fcoEqual, fcoNotEqual, fcoLess, fcoLessEqual, fcoGreater, fcoGreaterEqual, fcoBlanks, fcoNonBlanks})
    expected.Include(op);
  EXPECT_EQ(basic, expected);
  const TcxFilterControlOperators text =
      helper->GetSupportedFilterOperators(nullptr, TcxStringValueType::Instance(), true);
  EXPECT_TRUE(text.Contains(fcoLike));
  EXPECT_TRUE(text.Contains(fcoNotInList));
  EXPECT_FALSE(text.Contains(fcoToday));

  struct THandlers : TObject {
    void Changed(TObject*) {}
  } handlers;
  TcxCustomEditProperties* column = Make<TcxCustomEditProperties>(nullptr);
  column->SetReadOnly(true);
  column->SetBeepOnError(true);
  column->Alignment()->SetHorz(taRightJustify);
  column->Buttons()->Add();
  column->OnChange = TNotifyEvent::Bind<&THandlers::Changed>(&handlers);
  TcxCustomEditProperties* filter = Make<TcxCustomEditProperties>(nullptr);
  helper->InitializeProperties(filter, column, false);
  EXPECT_FALSE(filter->ReadOnly());
  EXPECT_FALSE(filter->BeepOnError());
  EXPECT_TRUE(filter->ValidateOnEnter());
  EXPECT_EQ(filter->Alignment()->Horz(), taLeftJustify);
  EXPECT_EQ(filter->Buttons()->Count(), 0);
  EXPECT_FALSE(static_cast<bool>(filter->OnChange));
  TObject::Free(filter);
  TObject::Free(column);
}

TEST(cxEditRepository, ItemsNameListenAndLeave) {
  TComponent* form = Make<TComponent>(nullptr);
  TcxEditRepository* repository = Make<TcxEditRepository>(form);
  repository->SetName(L"R");
  TcxEditRepositoryItem* item = repository->CreateItemEx(TcxEditRepositoryItemClass::Of<TKindRepositoryItem>(), form);
  item->SetName(L"First");
  EXPECT_EQ(repository->Count(), 1);
  EXPECT_EQ(repository->ItemByName(L"fIRST"), item);
  EXPECT_EQ(repository->ItemByName(L"Second"), nullptr);
  EXPECT_EQ(item->GetBaseName(), L"R");
  EXPECT_EQ(item->GetParentComponent(), repository);
  EXPECT_TRUE(dynamic_cast<TKindProperties*>(item->Properties()) != nullptr);
  EXPECT_TRUE(item->ArePropertiesCompatible(TCustomKindProperties::StaticClass()));
  EXPECT_FALSE(item->ArePropertiesCompatible(TDerivedKindProperties::StaticClass()));
  EXPECT_THROW(item->SetParentComponent(form), EInvalidCast);

  // Listeners hear changes and the removal, the last registered first.
  std::vector<String> log;
  TListener a{}, b{};
  a.Log = b.Log = &log;
  a.Name = L"a";
  b.Name = L"b";
  item->AddListener(&a);
  item->AddListener(&b);
  item->AddListener(&a);
  item->Properties()->SetAutoSelect(false);
  EXPECT_EQ(log, (std::vector<String>{L"b changed", L"a changed"}));
  log.clear();
  TObject::Free(item);
  EXPECT_EQ(log, (std::vector<String>{L"b removed", L"a removed"}));
  EXPECT_EQ(repository->Count(), 0);

  // The repository frees its items.
  repository->CreateItem(TcxEditRepositoryItemClass::Of<TKindRepositoryItem>());
  repository->CreateItem(TcxEditRepositoryItemClass::Of<TKindRepositoryItem>());
  EXPECT_EQ(repository->Count(), 2);
  TObject::Free(form);
}

TEST(cxEditRegistries, PropertiesRegistryAndRoutines) {
  TcxRegisteredClasses* registry = cxEditPropertiesRegistry();
  const int before = registry->Count();
  registry->Register(TKindProperties::StaticClass(), L"Kind|A kind for the test");
  registry->Register(TKindProperties::StaticClass(), L"Kind|Again");
  EXPECT_EQ(registry->Count(), before + 1);
  EXPECT_EQ(registry->FindByDescription(L"Kind"), TKindProperties::StaticClass());
  registry->Unregister(TKindProperties::StaticClass());

  TSize size(3, 9);
  cxEnlargeSizeTo(size, TSize(5, 4));
  EXPECT_EQ(size, TSize(5, 9));
  for (Char c : {Char(0), Char(9), Char(10), Char(12), Char(13), Char(32)}) EXPECT_TRUE(cxIsBlankChar(c));
  EXPECT_FALSE(cxIsBlankChar(L'a'));
  EXPECT_FALSE(cxIsBlankChar(Char(11)));

  TComponent* owner = Make<TComponent>(nullptr);
  auto* item = static_cast<TKindRepositoryItem*>(Make<TKindRepositoryItem>(owner));
  TcxCustomEditProperties* own = Make<TCustomKindProperties>(nullptr);
  TcxCustomEditProperties* current = item->Properties();
  EXPECT_TRUE(cxSubstituteRepositoryProperties(own, item, current));
  EXPECT_EQ(current, own);
  TcxCustomEditProperties* unrelated = Make<TDerivedKindProperties>(nullptr);
  current = item->Properties();
  EXPECT_FALSE(cxSubstituteRepositoryProperties(unrelated, item, current));
  EXPECT_EQ(current, item->Properties());
  TObject::Free(unrelated);
  TObject::Free(own);
  TObject::Free(owner);
}
