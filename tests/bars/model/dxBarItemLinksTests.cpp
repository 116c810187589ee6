// The derived lists of link collections, the recent order, the begin-group
// rule, and links that lose their item or their collection.
#include "tests/bars/model/dxBarTestSupport.h"

#include "foundation/dxCore.h"
#include "platform/core/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace {

using NameList = std::vector<String>;

class dxBarItemLinksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(Make<TBarTestForm>(nullptr));
    manager = Make<TdxBarManager>(form.get());
    menu = std::make_unique<TMenuLinksOwner>(manager);
  }
  void TearDown() override { menu.reset(); }

  // A button (or separator, for names starting with "-") on the menu.
  TdxBarItemLink* AddLink(const String& AName, TdxBarItemVisible AVisible = ivAlways, bool ALinkVisible = true) {
    TdxBarItem* item = AName[0] == L'-' ? manager->AddItem(TdxBarSeparator::StaticClass()) : manager->AddButton();
    item->SetName(AName[0] == L'-' ? L"sep" + AName.substr(1) : AName);
    item->SetVisible(AVisible);
    TdxBarItemLink* link = menu->Links->Add(item);
    link->SetVisible(ALinkVisible);
    return link;
  }
  std::vector<String> NamesOf(std::function<TdxBarItemLink*(int)> AAt, int ACount) { return LinkNames(ACount, AAt); }
  std::vector<String> Available() {
    return NamesOf([this](int i) { return menu->Links->AvailableItems(i); }, menu->Links->AvailableItemCount());
  }
  std::vector<String> CanVisible() {
    return NamesOf([this](int i) { return menu->Links->CanVisibleItems(i); }, menu->Links->CanVisibleItemCount());
  }
  std::vector<String> Visible() {
    return NamesOf([this](int i) { return menu->Links->VisibleItems(i); }, menu->Links->VisibleItemCount());
  }
  std::vector<String> Recent() {
    const auto& recent = menu->Links->RecentItems();
    return NamesOf([&recent](int i) { return recent[i]; }, static_cast<int>(recent.size()));
  }

  TObjectPtr<TBarTestForm> form;
  TdxBarManager* manager = nullptr;
  std::unique_ptr<TMenuLinksOwner> menu;
};

TEST_F(dxBarItemLinksTest, DerivedListsFollowItemAndLinkVisibility) {
  struct Link {
    const wchar_t* name;
    TdxBarItemVisible item;
    bool link;
  };
  const struct {
    const char* what;
    std::vector<Link> links;
    NameList available, canVisible, visible;
  } cases[] = {
      {"all shown", {{L"A", ivAlways, true}, {L"B", ivAlways, true}}, {L"A", L"B"}, {L"A", L"B"}, {L"A", L"B"}},
      {"item never visible", {{L"A", ivNever, true}, {L"B", ivAlways, true}}, {L"B"}, {L"B"}, {L"B"}},
      {"item only while customizing", {{L"A", ivInCustomizing, true}, {L"B", ivAlways, true}}, {L"B"}, {L"B"}, {L"B"}},
      {"hidden link", {{L"A", ivAlways, false}, {L"B", ivAlways, true}}, {L"A", L"B"}, {L"B"}, {L"B"}},
      {"separators pruned",
       {{L"A", ivAlways, true}, {L"-1", ivAlways, true}, {L"-2", ivAlways, true}, {L"B", ivAlways, true},
        {L"-3", ivAlways, true}},
       {L"A", L"sep1", L"sep2", L"B", L"sep3"},
       {L"A", L"sep2", L"B"},
       {L"A", L"sep2", L"B"}},
      {"leading separator stays", {{L"-1", ivAlways, true}, {L"A", ivAlways, true}}, {L"sep1", L"A"}, {L"sep1", L"A"},
       {L"sep1", L"A"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    for (const Link& l : c.links) AddLink(l.name, l.item, l.link);
    EXPECT_EQ(Available(), c.available);
    EXPECT_EQ(CanVisible(), c.canVisible);
    EXPECT_EQ(Visible(), c.visible);
  }
}

TEST_F(dxBarItemLinksTest, RecentItemCountShowsTheFrontOfTheRecentList) {
  for (const wchar_t* name : {L"A", L"B", L"C", L"D"}) AddLink(name);
  // Applying the usage state from the last link to the first keeps collection order.
  EXPECT_EQ(Recent(), (NameList{L"A", L"B", L"C", L"D"}));
  menu->Links->Items(2)->BringToTopInRecentList(true);
  EXPECT_EQ(Recent(), (NameList{L"C", L"A", L"B", L"D"}));
  EXPECT_EQ(menu->Links->Items(2)->UseCount(), manager->MostRecentlyUsedUseCount() + 1);
  const struct {
    int count;
    NameList visible;
  } cases[] = {{-1, {L"A", L"B", L"C", L"D"}}, {0, {}}, {1, {L"C"}}, {2, {L"A", L"C"}}, {9, {L"A", L"B", L"C", L"D"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    menu->Links->ChangeRecentItemCount(c.count);
    EXPECT_EQ(Visible(), c.visible);
  }
  menu->Links->RestoreRecentItemCount();
  EXPECT_EQ(menu->Links->RecentItemCount(), 2);
}

TEST_F(dxBarItemLinksTest, CalcRecentItemCountFromUseCounts) {
  const struct {
    const char* what;
    std::vector<int> counts;  // by recent position
    TdxBarManagerStyle style;
    int expected;
  } cases[] = {
      {"one link used far more", {20, 0, 0, 0, 0, 0, 0, 0, 0, 0}, bmsEnhanced, 1},
      {"all equal", {5, 5, 5, 5}, bmsEnhanced, -1},
      {"standard style shows all", {20, 0, 0, 0}, bmsStandard, -1},
      {"none reaches the threshold at the front", {0, 0, 40, 0}, bmsEnhanced, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    manager->SetStyle(c.style);
    for (size_t i = 0; i < c.counts.size(); ++i) AddLink(L"L" + IntToStr(static_cast<int>(i)));
    for (size_t i = 0; i < c.counts.size(); ++i) menu->Links->RecentItems()[i]->SetUseCount(c.counts[i]);
    EXPECT_EQ(menu->Links->CalcRecentItemCount(), c.expected);
  }
}

TEST_F(dxBarItemLinksTest, BringToTopNeedsAVisibleLinkAndActiveRecentItems) {
  TdxBarItemLink* a = AddLink(L"A");
  TdxBarItemLink* hidden = AddLink(L"B", ivAlways, false);
  const int count = hidden->UseCount();
  hidden->BringToTopInRecentList(true);
  EXPECT_EQ(hidden->UseCount(), count);
  EXPECT_EQ(Recent().back(), L"B");
  manager->SetStyle(bmsStandard);
  TdxBarItemLink* c = AddLink(L"C");
  c->BringToTopInRecentList(true);
  EXPECT_EQ(c->UseCount(), count);
  EXPECT_EQ(a->IndexInRecentList(), 0);
}

TEST_F(dxBarItemLinksTest, BeginGroupPassesFromAHiddenLinkToTheNextShownOne) {
  TdxBarItemLink* a = AddLink(L"A");
  TdxBarItemLink* b = AddLink(L"B");
  TdxBarItemLink* c = AddLink(L"C");
  b->SetBeginGroup(true);
  EXPECT_EQ((std::vector<bool>{a->BeginGroup(), b->BeginGroup(), c->BeginGroup()}),
            (std::vector<bool>{false, true, false}));
  b->SetVisible(false);
  EXPECT_TRUE(b->BeginGroup());
  EXPECT_TRUE(c->BeginGroup());
  a->SetBeginGroup(true);
  EXPECT_FALSE(a->BeginGroup()) << "the first displayed link never begins a group";
}

TEST_F(dxBarItemLinksTest, BeginGroupAfterASeparatorIsFalse) {
  AddLink(L"A");
  AddLink(L"-1");
  TdxBarItemLink* b = AddLink(L"B");
  b->SetBeginGroup(true);
  EXPECT_FALSE(b->BeginGroup());
}

TEST_F(dxBarItemLinksTest, DraggedLinkPassesItsGroupStartOn) {
  TdxBarItemLink* a = AddLink(L"A");
  TdxBarItemLink* b = AddLink(L"B");
  TdxBarItemLink* c = AddLink(L"C");
  b->SetBeginGroup(true);
  b->PassBeginGroupToNext();
  EXPECT_TRUE(c->BeginGroup());
  a->PassBeginGroupToNext();
  EXPECT_FALSE(b->BeginGroup()) << "a first link takes the group start from the next";
  c->SetBeginGroup(false);
  c->PassBeginGroupToNext();  // the last link: nothing follows
  EXPECT_FALSE(c->BeginGroup());
}

TEST_F(dxBarItemLinksTest, ClearingTheItemFreesTheLink) {
  TdxBarItemLink* a = AddLink(L"A");
  AddLink(L"B");
  TdxBarItem* item = a->Item();
  a->SetItem(nullptr);
  ASSERT_EQ(menu->Links->Count(), 1);
  EXPECT_EQ(item->LinkCount(), 0);
  EXPECT_EQ(Visible(), (NameList{L"B"}));
  EXPECT_EQ(Recent(), (NameList{L"B"}));
  EXPECT_EQ(menu->Links->UpdateCount(), 0) << "the bracket of the freed link's collection is closed";
}

TEST_F(dxBarItemLinksTest, FreeingTheCollectionUnlinksEveryItem) {
  TdxBarItemLink* a = AddLink(L"A");
  AddLink(L"B");
  menu->Links->Items(1)->BringToTopInRecentList(true);
  TdxBarItem* itemA = a->Item();
  TdxBarItem* itemB = menu->Links->Items(1)->Item();
  menu.reset();
  EXPECT_EQ(itemA->LinkCount(), 0);
  EXPECT_EQ(itemB->LinkCount(), 0);
}

TEST_F(dxBarItemLinksTest, FreeingAnItemFreesItsLinks) {
  TdxBarItemLink* a = AddLink(L"A");
  AddLink(L"B");
  TObject::Free(a->Item());
  EXPECT_EQ(menu->Links->Count(), 1);
  EXPECT_EQ(Recent(), (NameList{L"B"}));
  EXPECT_EQ(Visible(), (NameList{L"B"}));
}

TEST_F(dxBarItemLinksTest, AnItemOnAShownToolbarTakesItsLinksAwayInsideOneManagerUpdate) {
  struct TDeletions : TObject {
    std::vector<bool> Locked;
    void Deleted(TdxBarManager* AManager, TdxBarItemLink*) { Locked.push_back(AManager->IsUpdateLocked()); }
  } deletions;
  manager->OnItemLinkDelete = TdxBarItemLinkEvent::Bind<&TDeletions::Deleted>(&deletions);
  TdxBarToolbarControlFactory saved = dxBarToolbarControlFactory();
  dxBarToolbarControlFactory() = [](TdxBarManager*, TdxBar*) -> IdxBarControl* { return Make<TFakeBarControl>(); };
  TdxBar* bar = manager->AddToolBar();
  bar->SetDockingStyle(dsTop);
  bar->SetVisible(true);
  dxBarToolbarControlFactory() = saved;
  ASSERT_NE(bar->Control(), nullptr);
  TdxBarButton* shown = manager->AddButton();
  bar->ItemLinks()->Add(shown);
  menu->Links->Add(shown);
  TObject::Free(shown);
  EXPECT_EQ(deletions.Locked, (std::vector<bool>{true, true}));
  EXPECT_FALSE(manager->IsUpdateLocked());
  EXPECT_EQ(bar->ItemLinks()->Count(), 0);
  // Links that no window shows go without the bracket.
  deletions.Locked.clear();
  TdxBarButton* hidden = manager->AddButton();
  menu->Links->Add(hidden);
  TObject::Free(hidden);
  EXPECT_EQ(deletions.Locked, std::vector<bool>{false});
}

TEST_F(dxBarItemLinksTest, SeparatorIsRefusedOnAToolbar) {
  TdxBar* bar = manager->AddToolBar();
  TdxBarItem* separator = manager->AddItem(TdxBarSeparator::StaticClass());
  TdxBarItemLink* link = bar->ItemLinks()->Add();
  try {
    link->SetItem(separator);
    FAIL() << "no error";
  } catch (EdxException& e) {
    EXPECT_EQ(e.Message, L"A separator item cannot be placed on the specified toolbar");
  }
  EXPECT_EQ(link->Item(), nullptr);
  EXPECT_EQ(separator->LinkCount(), 0);
}

TEST_F(dxBarItemLinksTest, TheManagerHearsOfLinksComingChangingAndGoing) {
  struct TRecorder : TObject {
    std::vector<String> Events;
    void Added(TdxBarManager*, TdxBarItemLink*) { Events.push_back(L"add"); }
    void Changed(TdxBarManager*, TdxBarItemLink* ALink) {
      Events.push_back(L"change " + (ALink->Item() ? ALink->Item()->Name() : String(L"-")));
    }
    void Deleted(TdxBarManager*, TdxBarItemLink*) { Events.push_back(L"delete"); }
    std::vector<String> Take() { return std::exchange(Events, {}); }
  } recorder;
  manager->OnItemLinkAdd = TdxBarItemLinkEvent::Bind<&TRecorder::Added>(&recorder);
  manager->OnItemLinkChange = TdxBarItemLinkEvent::Bind<&TRecorder::Changed>(&recorder);
  manager->OnItemLinkDelete = TdxBarItemLinkEvent::Bind<&TRecorder::Deleted>(&recorder);
  TdxBarButton* a = manager->AddButton();
  a->SetName(L"A");
  TdxBarButton* b = manager->AddButton();
  b->SetName(L"B");
  TdxBarItemLink* link = nullptr;
  const struct {
    const char* what;
    std::function<void()> work;
    NameList events;
  } cases[] = {
      {"added with its item: the add alone", [&] { link = menu->Links->Add(a); }, {L"add"}},
      {"item changed", [&] { link->SetItem(b); }, {L"change B"}},
      {"item changed inside the owner's bracket",
       [&] {
         menu->Links->BeginUpdate();
         link->SetItem(a);
         menu->Links->EndUpdate();
       },
       {}},
      {"a change of the link alone", [&] { link->SetBeginGroup(true); }, {L"change A"}},
      {"a change of all links", [&] { link->SetPosition(ipContinuesRow); }, {}},
      {"item cleared: the link goes", [&] { link->SetItem(nullptr); }, {L"delete"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.work();
    EXPECT_EQ(recorder.Take(), c.events);
  }
  // A manager that goes takes its links without a word.
  TdxBar* bar = manager->AddToolBar();
  bar->ItemLinks()->Add(a);
  recorder.Take();
  menu.reset();
  TObject::Free(manager);
  EXPECT_EQ(recorder.Take(), NameList{});
}

TEST_F(dxBarItemLinksTest, UserOverridesAndTheirReset) {
  TdxBarItemLink* a = AddLink(L"A");
  a->Item()->SetCaption(L"Alpha");
  a->SetUserCaption(L"Mine");
  EXPECT_EQ(a->Caption(), L"Mine");
  EXPECT_TRUE(a->UserDefine().Contains(udCaption));
  a->SetUserWidth(40);
  EXPECT_EQ(a->Width(), 40);
  a->SetUserDefine({});
  EXPECT_EQ(a->Caption(), L"Alpha");
  EXPECT_EQ(a->UserCaption(), L"");
  EXPECT_EQ(a->UserWidth(), 0);
  EXPECT_EQ(a->Width(), 0);
}

// Keyboard navigation over the links of a shown menu whose item controls
// exist; disabled items are not selectable.
class dxBarLinkNavigationTest : public dxBarItemLinksTest {
 protected:
  void SetUp() override {
    dxBarItemLinksTest::SetUp();
    dxBarAddItemClassToRegistry(TdxBarButton::StaticClass(), TTestItemControl::StaticClass());
    for (const wchar_t* name : {L"A", L"B", L"C", L"D"}) AddLink(name);
    menu->Links->Items(1)->Item()->SetEnabled(false);
    menu->Links->CreateBarControl();
    for (int i = 0; i < menu->Links->Count(); ++i) menu->Links->Items(i)->CreateControl();
  }
  void TearDown() override {
    dxBarItemLinksTest::TearDown();
    dxBarRemoveItemClassFromRegistry(TdxBarButton::StaticClass());
  }
  String NameOf(TdxBarItemLink* ALink) { return ALink ? ALink->Item()->Name() : String(L"nil"); }
  TdxBarItemLink* Link(const wchar_t* AName) {
    for (int i = 0; i < menu->Links->Count(); ++i)
      if (menu->Links->Items(i)->Item()->Name() == AName) return menu->Links->Items(i);
    return nullptr;
  }
};

TEST_F(dxBarLinkNavigationTest, SelectableLinksWrapAndSkipDisabledItems) {
  ASSERT_NE(Link(L"A")->Control(), nullptr);
  EXPECT_EQ(NameOf(menu->Links->FirstSelectableLink()), L"A");
  EXPECT_EQ(NameOf(menu->Links->LastSelectableLink()), L"D");
  const struct {
    const wchar_t* from;
    bool any;
    const wchar_t *next, *prev;
  } cases[] = {
      {L"A", false, L"C", L"D"}, {L"D", false, L"A", L"C"}, {L"A", true, L"B", L"D"}, {L"C", false, L"D", L"A"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    EXPECT_EQ(NameOf(menu->Links->NextSelectableLink(Link(c.from), c.any)), c.next);
    EXPECT_EQ(NameOf(menu->Links->PrevSelectableLink(Link(c.from), c.any)), c.prev);
  }
}

TEST_F(dxBarLinkNavigationTest, AcceleratorsFindTheNextMatchingLink) {
  Link(L"A")->Item()->SetCaption(L"&File");
  Link(L"B")->Item()->SetCaption(L"&Format");
  Link(L"C")->Item()->SetCaption(L"F&ind");
  Link(L"D")->Item()->SetCaption(L"&Fit");
  const struct {
    Word key;
    TShiftState shift;
    const wchar_t *start, *found;
  } cases[] = {
      {'F', {}, nullptr, L"D"},      // the disabled "Format" is skipped; the walk starts after the first link
      {'F', {}, L"D", L"A"},         {'F', {ssAlt}, L"A", L"D"}, {'I', {}, nullptr, L"C"},
      {'F', {ssCtrl}, nullptr, L"nil"}, {'X', {}, nullptr, L"nil"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.found);
    EXPECT_EQ(NameOf(menu->Links->FindLinkByAccel(c.key, c.shift, c.start ? Link(c.start) : nullptr)), c.found);
  }
}

TEST_F(dxBarLinkNavigationTest, ItemChangesReachTheControlsOfLinksWithoutOverrides) {
  TdxBarItem* item = Link(L"A")->Item();
  TdxBarItemLink* second = menu->Links->Add(item);
  second->CreateControl();
  second->SetUserCaption(L"Own");
  auto notices = [](TdxBarItemLink* ALink) {
    auto& list = static_cast<TTestItemControl*>(ALink->Control())->Notices;
    std::vector<String> copy = list;
    list.clear();
    return copy;
  };
  notices(Link(L"A"));
  notices(second);
  item->SetCaption(L"Again");
  item->SetImageIndex(4);
  item->SetEnabled(false);
  EXPECT_EQ(notices(Link(L"A")), (NameList{L"caption", L"image", L"enabled"}));
  EXPECT_EQ(notices(second), (NameList{L"image", L"enabled"}));
  // Hiding the item takes its controls away; showing it again makes them anew.
  item->SetVisible(ivNever);
  EXPECT_EQ(Link(L"A")->Control(), nullptr);
  EXPECT_EQ(second->Control(), nullptr);
  item->SetVisible(ivAlways);
  ASSERT_NE(Link(L"A")->Control(), nullptr);
  EXPECT_EQ(notices(Link(L"A")), (NameList{L"visibility"}));
}

TEST_F(dxBarItemLinksTest, VisibleToolbarHasAWindowFromTheFactory) {
  TdxBarToolbarControlFactory saved = dxBarToolbarControlFactory();
  dxBarToolbarControlFactory() = [](TdxBarManager*, TdxBar*) -> IdxBarControl* { return Make<TFakeBarControl>(); };
  TdxBar* bar = manager->AddToolBar();
  bar->SetDockingStyle(dsTop);
  bar->SetVisible(true);
  ASSERT_NE(bar->Control(), nullptr);
  EXPECT_EQ(static_cast<TFakeBarControl*>(bar->Control()->BarControlObject())->Links, bar->ItemLinks());
  bar->SetVisible(false);
  EXPECT_EQ(bar->Control(), nullptr);
  bar->SetVisible(true);
  dxBarToolbarControlFactory() = saved;
  TObject::Free(bar);  // with its window
  EXPECT_EQ(manager->Bars()->Count(), 0);
}

struct TDockingVeto : TObject {
  TdxBarDockingStyle Refused = dsNone;
  void Docking(TdxBar*, TdxBarDockingStyle AStyle, IdxBarDockControl*, bool& ACanDock) {
    if (AStyle == Refused) ACanDock = false;
  }
};

TEST_F(dxBarItemLinksTest, DockTargetUnderAPoint) {
  // Docks around a 300 x 200 client area, zones 23 pixels deep.
  TFakeDock left(dsLeft, {0, 0, 23, 200}), top(dsTop, {0, 0, 300, 23}), right(dsRight, {277, 0, 300, 200}),
      bottom(dsBottom, {0, 177, 300, 200}), spare(dsTop, {0, 100, 300, 123});
  // The first four registered docks are the sides: the fakes take the stand-ins' places.
  for (TdxBarDockingStyle side : {dsLeft, dsTop, dsRight, dsBottom}) {
    IdxBarDockControl* standIn = manager->SideDockControl(dsLeft);
    ASSERT_EQ(standIn->DockingStyle(), side);
    manager->UnregisterDockControl(standIn);
    TObject::Free(standIn->DockControlObject());
  }
  for (TFakeDock* dock : {&left, &top, &right, &bottom, &spare}) manager->RegisterDockControl(dock);
  TdxBar* bar = manager->AddToolBar();
  TDockingVeto veto;
  manager->OnDocking = TdxBarCanDockingEvent::Bind<&TDockingVeto::Docking>(&veto);
  struct Case {
    const char* what;
    TPoint point;
    TPoint offset;
    bool moving, copyKey;
    std::function<void()> setUp;
    TdxBarDockingStyle style;
    IdxBarDockControl* dock;
  };
  const Case cases[] = {
      {"middle floats", {150, 60}, {}, false, false, {}, dsNone, nullptr},
      {"top", {150, 10}, {}, false, false, {}, dsTop, &top},
      {"corner: left before top", {5, 5}, {}, false, false, {}, dsLeft, &left},
      {"free-standing dock", {150, 110}, {}, false, false, {}, dsTop, &spare},
      {"copy key while moving floats", {150, 10}, {}, true, true, {}, dsNone, nullptr},
      {"copy key without moving docks", {150, 10}, {}, false, true, {}, dsTop, &top},
      {"toolbar refuses left", {5, 5}, {}, false, false, [&] { bar->SetNotDocking({dsLeft}); }, dsTop, &top},
      {"manager refuses top", {150, 10}, {}, false, false, [&] { manager->SetNotDocking({dsTop}); }, dsNone, nullptr},
      {"handler refuses bottom", {150, 190}, {}, false, false, [&] { veto.Refused = dsBottom; }, dsNone, nullptr},
      {"disabled dock skipped", {295, 60}, {}, false, false, [&] { right.Enabled = false; }, dsNone, nullptr},
      {"free-standing dock refuses the toolbar", {150, 110}, {}, false, false, [&] { spare.Accepts = false; }, dsNone,
       nullptr},
      {"retry without the offset", {150, 60}, {0, 50}, true, false, {}, dsTop, &top},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    bar->SetNotDocking({});
    manager->SetNotDocking({});
    veto.Refused = dsNone;
    right.Enabled = spare.Accepts = true;
    if (c.setUp) c.setUp();
    manager->Bars()->SetMoving(c.moving, c.offset);
    TdxBarDockingStyle style = dsTop;
    IdxBarDockControl* dock = &spare;
    EXPECT_EQ(manager->Bars()->FindDockTarget(c.point, bar, c.copyKey, style, dock), c.style != dsNone);
    EXPECT_EQ(style, c.style);
    EXPECT_EQ(dock, c.dock);
  }
  manager->Bars()->SetMoving(false);
  for (TFakeDock* dock : {&left, &top, &right, &bottom, &spare}) manager->UnregisterDockControl(dock);
}

TEST_F(dxBarItemLinksTest, ItemOptionsFallBackToTheParentLinks) {
  TMenuLinksOwner parent(manager);
  menu->Links->SetParentItemLinks(parent.Links);
  EXPECT_TRUE(menu->Links->ItemOptionValue(ioShowShortCuts).AsBoolean());
  parent.Links->ItemOptions()->SetShowShortCuts(false);
  parent.Links->ItemOptions()->SetSize(misLarge);
  EXPECT_FALSE(menu->Links->ItemOptionValue(ioShowShortCuts).AsBoolean());
  EXPECT_EQ(menu->Links->EffectiveMenuItemSize(), misLarge);
  menu->Links->ItemOptions()->SetShowShortCuts(true);
  EXPECT_TRUE(menu->Links->ItemOptionValue(ioShowShortCuts).AsBoolean());
  EXPECT_FALSE(menu->Links->ItemOptions()->HasAssignedValue(ioSize));
  menu->Links->SetParentItemLinks(nullptr);
}

}  // namespace
