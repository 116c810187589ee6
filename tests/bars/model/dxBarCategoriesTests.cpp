// Items and per-category settings keep to their categories while the category
// list changes; category visibility reaches the items and empty toolbars.
#include "tests/bars/model/dxBarTestSupport.h"

#include "platform/core/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class dxBarCategoriesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(Make<TBarTestForm>(nullptr));
    manager = Make<TdxBarManager>(form.get());
    categories = manager->Categories();
    categories->Add(L"文件");
    categories->Add(L"编辑");
    for (int c = 0; c < 3; ++c) {
      TdxBarItem* item = manager->AddButton();
      item->SetName(L"item" + IntToStr(c));
      item->SetCategory(c);
    }
  }
  // Each item's category name, in item name order.
  std::vector<String> CategoryNames() {
    std::vector<String> names;
    for (int c = 0; c < 3; ++c)
      if (TdxBarItem* item = manager->GetItemByName(L"item" + IntToStr(c)))
        names.push_back(categories->Get(item->Category()));
    return names;
  }
  TdxBarItem* Item(int AIndex) { return manager->GetItemByName(L"item" + IntToStr(AIndex)); }
  TObjectPtr<TBarTestForm> form;
  TdxBarManager* manager = nullptr;
  TdxBarManagerCategories* categories = nullptr;
};

// Each edit must leave every item, and each category's own settings, with the
// category of the same name.
TEST_F(dxBarCategoriesTest, ItemsAndSettingsFollowTheirCategoriesThroughEveryEdit) {
  const struct {
    const char* name;
    std::function<void(TdxBarManagerCategories*)> edit;
  } edits[] = {
      {"move forward", [](TdxBarManagerCategories* c) { c->Move(0, 2); }},
      {"move back", [](TdxBarManagerCategories* c) { c->Move(2, 0); }},
      {"exchange", [](TdxBarManagerCategories* c) { c->Exchange(0, 2); }},
      {"insert in front", [](TdxBarManagerCategories* c) { c->Insert(0, L"视图"); }},
      {"insert between", [](TdxBarManagerCategories* c) { c->Insert(2, L"视图"); }},
      {"sort", [](TdxBarManagerCategories* c) { c->Sort(); }},
      {"custom sort, reversed",
       [](TdxBarManagerCategories* c) {
         c->CustomSort([](TStringList* l, int a, int b) { return -CompareStr(l->Get(a), l->Get(b)); });
       }},
      {"sorted list takes a new name", [](TdxBarManagerCategories* c) {
         c->SetSorted(true);
         c->Add(L"AAA");
       }},
  };
  const std::vector<String> all{L"Default", L"文件", L"编辑"};
  for (const auto& e : edits) {
    TearDown();
    SetUp();
    manager->SetCategoryVisibleFlag(1, false);
    manager->SetCategoryItemsVisible(2, ivInCustomizing);
    e.edit(categories);
    EXPECT_EQ(CategoryNames(), all) << e.name;
    const int file = categories->IndexOf(L"文件"), edit = categories->IndexOf(L"编辑");
    EXPECT_FALSE(manager->CategoryVisibleAt(file)) << e.name;
    EXPECT_EQ(manager->CategoryItemsVisibleAt(edit), ivInCustomizing) << e.name;
    EXPECT_TRUE(manager->CategoryVisibleAt(categories->IndexOf(L"Default"))) << e.name;
    EXPECT_EQ(manager->CategoryItemsVisibleAt(categories->IndexOf(L"Default")), ivAlways) << e.name;
  }
}

TEST_F(dxBarCategoriesTest, DeletingACategoryFreesItsItemsAndShiftsTheRest) {
  manager->SetCategoryItemsVisible(2, ivInCustomizing);
  EXPECT_EQ(Item(2)->Visible(), ivInCustomizing);
  categories->Delete(0);
  EXPECT_EQ(Item(0), nullptr);
  EXPECT_EQ(CategoryNames(), (std::vector<String>{L"文件", L"编辑"}));
  EXPECT_EQ(Item(1)->Category(), 0);
  EXPECT_EQ(manager->CategoryItemsVisibleAt(1), ivInCustomizing);
  categories->Delete(0);
  categories->Delete(0);
  EXPECT_EQ(manager->ItemCount(), 0);
  ASSERT_EQ(categories->Count(), 1);
  EXPECT_EQ(categories->Get(0), L"Default");
  EXPECT_EQ(manager->CategoryItemsVisibleAt(0), ivAlways);
}

// Settings belong to a category, not to a position: after Clear a new
// category starts with the defaults, and a copied list shares nothing.
TEST_F(dxBarCategoriesTest, ClearAndAssignLeaveNoStaleOrSharedSettings) {
  manager->SetCategoryVisibleFlag(0, false);
  manager->SetCategoryItemsVisible(1, ivNever);
  TObjectPtr<TBarTestForm> otherForm(Make<TBarTestForm>(nullptr));
  auto* other = Make<TdxBarManager>(otherForm.get());
  other->SetCategories(categories);
  EXPECT_FALSE(other->CategoryVisibleAt(0));
  EXPECT_EQ(other->CategoryItemsVisibleAt(1), ivNever);
  other->SetCategoryVisibleFlag(0, true);
  EXPECT_FALSE(manager->CategoryVisibleAt(0));

  categories->Clear();
  categories->Add(L"新");
  categories->Add(L"新2");
  EXPECT_TRUE(manager->CategoryVisibleAt(0));
  EXPECT_EQ(manager->CategoryItemsVisibleAt(1), ivAlways);
  // An object of some other list copied along is no category data.
  TObjectPtr<TStringList> plain(Make<TStringList>(true));
  plain->AddObject(L"x", Make<TStringList>());
  categories->Assign(plain.get());
  EXPECT_EQ(categories->Data(0), nullptr);
}

TEST_F(dxBarCategoriesTest, OutOfRangeAnswersAndVisibleCategoryIndexes) {
  EXPECT_EQ(manager->CategoryItemsVisibleAt(3), ivNever);
  EXPECT_EQ(manager->CategoryItemsVisibleAt(-1), ivNever);
  EXPECT_FALSE(manager->CategoryVisibleAt(3));
  manager->SetCategoryVisibleFlag(1, false);
  EXPECT_EQ(manager->VisibleCategoryToIndex(0), 0);
  EXPECT_EQ(manager->VisibleCategoryToIndex(1), 2);
  EXPECT_EQ(manager->VisibleCategoryToIndex(2), -1);
}

TEST_F(dxBarCategoriesTest, HidingACategoryHidesTheToolbarsItEmptiesAndShowsThemAgain) {
  manager->SetAutoHideEmptyBars(true);
  auto addBar = [&](std::initializer_list<int> AItems, bool AVisible) {
    TdxBar* bar = manager->Bars()->Add();
    for (int i : AItems) bar->ItemLinks()->Add(Item(i));
    bar->SetDockingStyle(dsTop);
    bar->SetVisible(AVisible);
    return bar;
  };
  TdxBar* onlyEdit = addBar({2}, true);
  TdxBar* mixed = addBar({0, 2}, true);
  TdxBar* hiddenByUser = addBar({2}, false);
  manager->SetCategoryItemsVisible(2, ivNever);
  EXPECT_EQ(Item(2)->Visible(), ivNever);
  EXPECT_FALSE(onlyEdit->Visible());
  EXPECT_TRUE(onlyEdit->InternallyHidden());
  EXPECT_TRUE(mixed->Visible());
  EXPECT_FALSE(hiddenByUser->InternallyHidden());
  manager->SetCategoryItemsVisible(2, ivAlways);
  EXPECT_EQ(Item(2)->Visible(), ivAlways);
  EXPECT_TRUE(onlyEdit->Visible());
  EXPECT_FALSE(onlyEdit->InternallyHidden());
  EXPECT_FALSE(hiddenByUser->Visible());
}

TEST(dxBarCategoriesLoading, StoredItemVisibilityReachesTheItemsOnceTheFormIsLoaded) {
  TObjectPtr<TBarTestForm> form(ReadBarForm(
      "object Form5: TBarTestForm\n"
      "  object BarManager: TdxBarManager\n"
      "    Categories.Strings = (\n"
      "      'Default'\n"
      "      'Admin')\n"
      "    Categories.ItemsVisibles = (\n"
      "      2\n"
      "      0\n"
      "      7)\n"
      "    Categories.Visibles = (\n"
      "      True\n"
      "      False)\n"
      "    object btnOpen: TdxBarButton\n"
      "      Category = 0\n"
      "      Visible = ivAlways\n"
      "    end\n"
      "    object btnUsers: TdxBarButton\n"
      "      Category = 1\n"
      "      Visible = ivAlways\n"
      "    end\n"
      "  end\n"
      "end\n"));
  TdxBarManager* manager = ManagerOf(form.get());
  ASSERT_NE(manager, nullptr);
  ASSERT_EQ(manager->Categories()->Count(), 2);
  EXPECT_EQ(manager->CategoryItemsVisibleAt(1), ivNever);
  EXPECT_EQ(manager->GetItemByName(L"btnUsers")->Visible(), ivNever);
  EXPECT_EQ(manager->GetItemByName(L"btnOpen")->Visible(), ivAlways);
  EXPECT_FALSE(manager->CategoryVisibleAt(1));
  EXPECT_EQ(manager->VisibleCategoryToIndex(1), -1);
}

}  // namespace
