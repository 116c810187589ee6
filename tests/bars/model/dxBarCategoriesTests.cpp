// Items keep their categories while the category list changes.
#include "tests/bars/model/dxBarTestSupport.h"

#include "platform/core/SysUtils.h"

#include <gtest/gtest.h>

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
  TObjectPtr<TBarTestForm> form;
  TdxBarManager* manager = nullptr;
  TdxBarManagerCategories* categories = nullptr;
};

TEST_F(dxBarCategoriesTest, ItemsFollowTheirCategories) {
  const std::vector<String> all{L"Default", L"文件", L"编辑"};
  categories->Move(0, 2);
  EXPECT_EQ(CategoryNames(), all);
  categories->Exchange(0, 1);
  EXPECT_EQ(CategoryNames(), all);
  categories->Insert(1, L"视图");
  EXPECT_EQ(CategoryNames(), all);
  EXPECT_EQ(categories->Count(), 4);
}

TEST_F(dxBarCategoriesTest, DeletingACategoryFreesItsItemsAndShiftsTheRest) {
  manager->SetCategoryItemsVisible(2, ivInCustomizing);
  EXPECT_EQ(manager->GetItemByName(L"item2")->Visible(), ivInCustomizing);
  categories->Delete(0);
  EXPECT_EQ(manager->GetItemByName(L"item0"), nullptr);
  EXPECT_EQ(CategoryNames(), (std::vector<String>{L"文件", L"编辑"}));
  EXPECT_EQ(manager->CategoryItemsVisibleAt(1), ivInCustomizing);
  categories->Delete(0);
  categories->Delete(0);
  EXPECT_EQ(manager->ItemCount(), 0);
  ASSERT_EQ(categories->Count(), 1);
  EXPECT_EQ(categories->Get(0), L"Default");
}

}  // namespace
