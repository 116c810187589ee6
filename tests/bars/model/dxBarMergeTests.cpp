// Merging one toolbar's links into another and taking them back.
#include "tests/bars/model/dxBarTestSupport.h"

#include "foundation/cxClasses.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class dxBarMergeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(Make<TBarTestForm>(nullptr));
    manager = Make<TdxBarManager>(form.get());
    target = NewBar(L"A", {{L"a0", 0}, {L"a5", 5}, {L"b5", 5}, {L"a10", 10}});
    source = NewBar(L"B", {{L"s5", 5}});
  }
  TdxBar* NewBar(const String& ACaption, std::vector<std::pair<String, int>> AItems) {
    TdxBar* bar = manager->AddToolBar();
    bar->SetCaption(ACaption);
    bar->SetVisible(true);
    for (auto& [name, order] : AItems) {
      TdxBarButton* button = manager->AddButton();
      button->SetName(name);
      button->SetMergeOrder(order);
      bar->ItemLinks()->Add(button);
    }
    return bar;
  }
  std::vector<String> Links(TdxBar* ABar) {
    return LinkNames(ABar->ItemLinks()->Count(), [ABar](int i) { return ABar->ItemLinks()->Items(i); });
  }
  TObjectPtr<TBarTestForm> form;
  TdxBarManager* manager = nullptr;
  TdxBar* target = nullptr;
  TdxBar* source = nullptr;
};

using NameList = std::vector<String>;

TEST_F(dxBarMergeTest, MergeInsertsByMergeOrderAndUnmergeRestores) {
  target->Merge(source);
  EXPECT_EQ(Links(target), (NameList{L"a0", L"a5", L"b5", L"s5", L"a10"}));
  EXPECT_EQ(target->ItemLinks()->Items(3)->CreatedFromMergingWith(), source);
  EXPECT_EQ(source->MergedWith(), target);
  EXPECT_FALSE(source->Visible());
  target->Unmerge(source);
  EXPECT_EQ(Links(target), (NameList{L"a0", L"a5", L"b5", L"a10"}));
  EXPECT_EQ(source->MergedWith(), nullptr);
  EXPECT_TRUE(source->Visible());
  EXPECT_EQ(Links(source), (NameList{L"s5"}));
}

TEST_F(dxBarMergeTest, MergeOrderPlacesTheNewLink) {
  const struct {
    int order;
    int index;
  } cases[] = {{0, 1}, {4, 1}, {5, 3}, {7, 3}, {10, 4}, {99, 4}};
  TdxBarItem* item = source->ItemLinks()->Items(0)->Item();
  for (const auto& c : cases) {
    item->SetMergeOrder(c.order);
    target->Merge(source);
    EXPECT_EQ(Links(target).at(c.index), L"s5") << c.order;
    target->Unmerge();
  }
}

TEST_F(dxBarMergeTest, MisuseRaisesAndChangesNothing) {
  TdxBar* third = NewBar(L"C", {{L"c1", 0}});
  EXPECT_EQ(RaisedMessage([&] { target->Merge(nullptr); }), L"You cannot merge with the specified toolbar");
  EXPECT_EQ(RaisedMessage([&] { target->Merge(target); }), L"You cannot merge with the specified toolbar");
  target->Merge(source);
  EXPECT_EQ(RaisedMessage([&] { target->Merge(source); }), L"The 'B' toolbar is already merged with the 'A' toolbar");
  EXPECT_EQ(RaisedMessage([&] { source->Merge(third); }),
            L"You cannot merge a toolbar with a toolbar that is already merged");
  EXPECT_EQ(RaisedMessage([&] { third->Merge(target); }), L"The 'A' toolbar has merged toolbars");
  EXPECT_EQ(RaisedMessage([&] { third->Unmerge(source); }), L"The 'B' toolbar is not merged with the 'C' toolbar");
  EXPECT_EQ(RaisedMessage([&] { target->Unmerge(target); }), L"You cannot unmerge the specified toolbar");
  EXPECT_EQ(Links(target), (NameList{L"a0", L"a5", L"b5", L"s5", L"a10"}));
  EXPECT_EQ(Links(third), (NameList{L"c1"}));
}

TEST_F(dxBarMergeTest, ToolbarMadeByMergingGoesWhenItEmpties) {
  TdxBar* made = manager->AddToolBar();
  made->SetCaption(L"Made");
  made->SetCreatedByMerging(true);
  made->Merge(source);
  ASSERT_EQ(made->ItemLinks()->Count(), 1);
  TcxObjectLink* alive = cxCreateObjectLink(made);
  made->Unmerge(source);
  EXPECT_EQ(alive->Ref, nullptr);
  cxReleaseObjectLink(alive);
  EXPECT_EQ(manager->BarByCaption(L"Made"), nullptr);

  TdxBar* kept = manager->AddToolBar();
  kept->SetCreatedByMerging(true);
  kept->SetShouldNotBeDestroyedIfEmptyAfterUnmerge(true);
  kept->SetVisible(true);
  kept->Merge(source);
  kept->Unmerge();
  EXPECT_FALSE(kept->Visible());
  EXPECT_TRUE(kept->Hidden());
}

TEST_F(dxBarMergeTest, FreeingAMergedToolbarTakesItsLinksBack) {
  target->Merge(source);
  TObject::Free(source);
  EXPECT_EQ(Links(target), (NameList{L"a0", L"a5", L"b5", L"a10"}));
  EXPECT_EQ(target->MergedBarCount(), 0);
}

}  // namespace
