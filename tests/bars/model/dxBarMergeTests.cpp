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

namespace {

// Two forms with a manager each, as an MDI child and its main form have.
class dxBarManagerMergeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mainForm.reset(Make<TBarTestForm>(nullptr));
    childForm.reset(Make<TBarTestForm>(nullptr));
    main = Make<TdxBarManager>(mainForm.get());
    child = Make<TdxBarManager>(childForm.get());
    menu = NewBar(main, L"Menu", {L"mFile", L"mHelp"});
    childMenu = NewBar(child, L"Menu", {L"cEdit"});
    childTools = NewBar(child, L"Tools", {L"cCut", L"cPaste"});
    childHidden = NewBar(child, L"Hidden", {L"cSecret"});
    childHidden->SetVisible(false);
  }
  TdxBar* NewBar(TdxBarManager* AManager, const String& ACaption, std::vector<String> AItems) {
    TdxBar* bar = AManager->AddToolBar();
    bar->SetCaption(ACaption);
    bar->SetDockingStyle(dsTop);
    bar->SetVisible(true);
    for (const String& name : AItems) {
      TdxBarButton* button = AManager->AddButton();
      button->SetName(name);
      // The child's commands go after the main form's.
      button->SetMergeOrder(AManager->ItemCount() + (AManager == child ? 100 : 0));
      bar->ItemLinks()->Add(button);
    }
    return bar;
  }
  std::vector<String> Links(TdxBar* ABar) {
    return LinkNames(ABar->ItemLinks()->Count(), [ABar](int i) { return ABar->ItemLinks()->Items(i); });
  }
  TObjectPtr<TBarTestForm> mainForm, childForm;
  TdxBarManager* main = nullptr;
  TdxBarManager* child = nullptr;
  TdxBar* menu = nullptr;
  TdxBar* childMenu = nullptr;
  TdxBar* childTools = nullptr;
  TdxBar* childHidden = nullptr;
};

TEST_F(dxBarManagerMergeTest, MisuseRaisesBeforeAnythingChanges) {
  EXPECT_EQ(RaisedMessage([&] { main->Merge(nullptr, true); }), L"You cannot merge with the specified bar manager");
  EXPECT_EQ(RaisedMessage([&] { main->Merge(main, true); }), L"You cannot merge with the specified bar manager");
  childHidden->Merge(childMenu);
  EXPECT_EQ(RaisedMessage([&] { main->Merge(child, true); }),
            L"One of the toolbars of the specified bar manager is already merged");
  EXPECT_EQ(Links(menu), (NameList{L"mFile", L"mHelp"}));
  EXPECT_EQ(main->Bars()->Count(), 1);
  childHidden->Unmerge(childMenu);
  // A toolbar of the child that holds one of its own merged toolbars.
  TdxBar* inner = NewBar(child, L"Inner", {L"cInner"});
  childMenu->Merge(inner);
  EXPECT_EQ(RaisedMessage([&] { main->Merge(child, true); }),
            L"One of the toolbars of the specified bar manager has merged toolbars");
  EXPECT_EQ(Links(menu), (NameList{L"mFile", L"mHelp"}));
}

TEST_F(dxBarManagerMergeTest, ToolbarsMergeByCaptionOrIntoNewToolbars) {
  main->Merge(child, false);
  EXPECT_EQ(Links(menu), (NameList{L"mFile", L"mHelp", L"cEdit"}));
  EXPECT_EQ(childMenu->MergedWith(), menu);
  EXPECT_FALSE(childMenu->Visible());
  EXPECT_EQ(childTools->MergedWith(), nullptr);  // no toolbar of that caption
  EXPECT_TRUE(childTools->Visible());
  EXPECT_EQ(main->Bars()->Count(), 1);
  main->Unmerge(child);
  EXPECT_EQ(Links(menu), (NameList{L"mFile", L"mHelp"}));
  EXPECT_TRUE(childMenu->Visible());

  main->Merge(child, true);
  ASSERT_EQ(main->Bars()->Count(), 2);  // the hidden toolbar takes no part
  TdxBar* made = main->Bars()->Items(1);
  EXPECT_TRUE(made->CreatedByMerging());
  EXPECT_EQ(made->Caption(), L"Tools");
  EXPECT_EQ(made->DockingStyle(), dsTop);
  EXPECT_EQ(made->Row(), 1);
  EXPECT_TRUE(made->Visible());
  EXPECT_EQ(Links(made), (NameList{L"cCut", L"cPaste"}));
  EXPECT_EQ(childHidden->MergedWith(), nullptr);
  // Taking the child's toolbars back frees the toolbar made for them.
  main->Unmerge(child);
  EXPECT_EQ(main->Bars()->Count(), 1);
  EXPECT_TRUE(childTools->Visible());
  EXPECT_FALSE(childHidden->Visible());
}

TEST_F(dxBarManagerMergeTest, UnmergingAManagerNeverMergedChangesNothing) {
  TObjectPtr<TBarTestForm> thirdForm(Make<TBarTestForm>(nullptr));
  auto* third = Make<TdxBarManager>(thirdForm.get());
  main->Merge(child, true);
  main->Unmerge(third);
  EXPECT_EQ(Links(menu), (NameList{L"mFile", L"mHelp", L"cEdit"}));
  EXPECT_EQ(main->Bars()->Count(), 2);
}

// The customization form undoes every merge while the user customizes and
// redoes it afterwards.
TEST_F(dxBarManagerMergeTest, MergesAreUndoneForCustomizingAndMadeAgainAfterwards) {
  TdxBar* own = NewBar(main, L"Own", {L"mOwn"});
  menu->Merge(own);  // a merge inside the main manager itself
  main->Merge(child, true);
  TdxBar* made = main->Bars()->Items(2);
  ASSERT_TRUE(made->CreatedByMerging());

  main->MergeOrUnmergeBars(nullptr, true);
  EXPECT_EQ(Links(menu), (NameList{L"mFile", L"mHelp"}));
  EXPECT_TRUE(own->Visible());  // the main manager's own toolbar shows again
  EXPECT_FALSE(childMenu->Visible());  // the child's stay hidden meanwhile
  EXPECT_FALSE(childTools->Visible());
  ASSERT_EQ(main->Bars()->IndexOf(made), 2);  // hidden, not freed
  EXPECT_FALSE(made->Visible());
  EXPECT_TRUE(made->Hidden());

  main->RestoreMergesAfterCustomizing();
  EXPECT_EQ(own->MergedWith(), menu);
  EXPECT_FALSE(own->Visible());
  EXPECT_EQ(childMenu->MergedWith(), menu);
  EXPECT_EQ(Links(made), (NameList{L"cCut", L"cPaste"}));
  EXPECT_TRUE(made->Visible());
  EXPECT_FALSE(made->Hidden());
  // The child's toolbars still come back as they were before the first merge.
  main->Unmerge(child);
  EXPECT_TRUE(childMenu->Visible());
  EXPECT_TRUE(childTools->Visible());
}

TEST_F(dxBarManagerMergeTest, ToolbarFreedWhileMergesAreSetAsideIsSkipped) {
  main->Merge(child, false);
  main->MergeOrUnmergeBars(nullptr, true);
  ASSERT_EQ(menu->MergeData()->SavedMergedBarCount(), 1);
  TObject::Free(childMenu);
  EXPECT_EQ(menu->MergeData()->SavedMergedBarCount(), 0);
  main->RestoreMergesAfterCustomizing();
  EXPECT_EQ(Links(menu), (NameList{L"mFile", L"mHelp"}));
}

TEST_F(dxBarManagerMergeTest, OnMergeItemLinkChoosesWhereALinkGoes) {
  struct TChooser : TObject {
    void Choose(TdxBarManager*, TdxBarItemLinks*, TdxBarItemLinks*, TdxBarItemLink* ALink, TdxBarItemMergeKind& AKind,
                int& AIndex) {
      AKind = mkAdd;
      AIndex = 0;
      Seen.push_back(ALink->Item()->Name());
    }
    std::vector<String> Seen;
  } chooser;
  main->OnMergeItemLink = TdxBarMergeItemLinkEvent::Bind<&TChooser::Choose>(&chooser);
  main->Merge(child, false);
  EXPECT_EQ(Links(menu), (NameList{L"cEdit", L"mFile", L"mHelp"}));
  EXPECT_EQ(chooser.Seen, (NameList{L"cEdit"}));
}

}  // namespace
