// The manager's own rules, the click path of items, buttons and groups.
#include "tests/bars/model/dxBarTestSupport.h"

#include "tests/bars/model/dxBarFakeDesignController.h"
#include "tests/support/ScopedHook.h"

#include "foundation/cxClasses.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/dxCore.h"
#include "foundation/dxOffice11.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Graphics.h"

#include <gtest/gtest.h>

namespace {

class dxBarManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(Make<TBarTestForm>(nullptr));
    manager = Make<TdxBarManager>(form.get());
    manager->SetName(L"BarManager");
  }
  TObjectPtr<TBarTestForm> form;
  TdxBarManager* manager = nullptr;
};

TEST_F(dxBarManagerTest, OwnerChecks) {
  EXPECT_EQ(RaisedMessage([] { TObject::Free(Make<TdxBarManager>(nullptr)); }),
            L"TdxBarManager should have TWinControl as its Owner");
  EXPECT_EQ(RaisedMessage([this] { Make<TdxBarManager>(form.get()); }),
            L"A control should contain only a single TdxBarManager");
  EXPECT_EQ(RaisedMessage([this] { Make<TdxBarManager>(manager); }),
            L"TdxBarManager should have TWinControl as its Owner");
  EXPECT_EQ(dxBarManagerList()->Count(), 1);
}

TEST_F(dxBarManagerTest, MostRecentlyUsedUseCountFromPercents) {
  const struct {
    int percents, count;
  } cases[] = {{95, 20}, {50, 2}, {100, 0}, {99, 100}, {150, 0}};
  for (const auto& c : cases) {
    manager->SetMostRecentItemsPercents(c.percents);
    EXPECT_EQ(manager->MostRecentlyUsedUseCount(), c.count) << c.percents;
  }
}

TEST_F(dxBarManagerTest, NewManagerHasTheDefaultCategoryText) {
  ASSERT_EQ(manager->Categories()->Count(), 1);
  EXPECT_EQ(manager->Categories()->Get(0), L"Default");
  EXPECT_EQ(cxLookUpResourceString(&dxSBAR_BARMANAGERBADOWNER), L"TdxBarManager should have TWinControl as its Owner");
}

TEST_F(dxBarManagerTest, BarTextsLeaveTheRepositoryAtTheirLastShutdown) {
  TdxResourceStringsRepository* repository = dxGetResourceStringsRepository();
  ASSERT_GE(repository->GetProductIndexByName(L"DodivedEvar"), 0);
  TdxProductResourceStrings* product = repository->Products(repository->GetProductIndexByName(L"DodivedEvar"));
  EXPECT_EQ(product->ResStringsCount(), 182);
  dxBarStrsInitialize();
  dxBarStrsFinalize();
  EXPECT_GE(repository->GetProductIndexByName(L"DodivedEvar"), 0);
  dxBarStrsFinalize();
  EXPECT_LT(repository->GetProductIndexByName(L"DodivedEvar"), 0);
  dxBarStrsInitialize();
  EXPECT_GE(repository->GetProductIndexByName(L"DodivedEvar"), 0);
}

TEST_F(dxBarManagerTest, ToolbarNamesAreUniqueWithoutRegardToCase) {
  TdxBar* first = manager->AddToolBar();
  EXPECT_EQ(first->Name(), L"BarManagerBar1");
  first->SetName(L"BARMANAGERBAR2");
  TdxBar* second = manager->AddToolBar();
  EXPECT_EQ(second->Name(), L"BarManagerBar1");
  TdxBar* third = manager->AddToolBar();
  EXPECT_EQ(third->Name(), L"BarManagerBar3");
}

TEST_F(dxBarManagerTest, DuplicateToolbarCaptionIsRefused) {
  TdxBar* a = manager->AddToolBar();
  TdxBar* b = manager->AddToolBar();
  a->SetCaption(L"Main");
  b->SetCaption(L"Tools");
  b->SetCaption(L"Main");
  EXPECT_EQ(b->Caption(), L"Tools");
  a->SetDockedLeft(-5);
  EXPECT_EQ(a->DockedLeft(), 0);
}

TEST_F(dxBarManagerTest, ItemOnAFormWithoutManagerJoinsNoManager) {
  TObjectPtr<TBarTestForm> other(Make<TBarTestForm>(nullptr));
  TObjectPtr<TdxBarButton> stray(Make<TdxBarButton>(other.get()));
  EXPECT_EQ(stray->BarManager(), nullptr);
  EXPECT_EQ(manager->ItemCount(), 0);
  TObjectPtr<TdxBarButton> own(Make<TdxBarButton>(form.get()));
  EXPECT_EQ(own->BarManager(), manager);
  EXPECT_EQ(manager->ItemCount(), 1);
}

TEST_F(dxBarManagerTest, DestructionFreesToolbarsAndItemsBeforeTheSharedOptions) {
  TdxBar* bar = manager->AddToolBar();
  TdxBarButton* button = manager->AddButton();
  bar->ItemLinks()->Add(button);
  struct TWatcher : TObject {
    TdxBarManager* Manager = nullptr;
    int Seen = 0;
    void ItemGoes(TObject*) {
      if (Manager->Font() && Manager->ImageOptions() && Manager->LookAndFeel()) ++Seen;
    }
  } watcher;
  watcher.Manager = manager;
  button->OnDestroy = TNotifyEvent::Bind<&TWatcher::ItemGoes>(&watcher);
  TObject::Free(manager);
  EXPECT_EQ(watcher.Seen, 1);
  EXPECT_EQ(form->ComponentCount(), 0);
  EXPECT_EQ(dxBarManagerList()->Count(), 0);
}

// The click path: the manager's OnClickItem, then the item's OnClick.
struct TClickRecorder : TObject {
  std::vector<String> Calls;
  int Handled = 0;
  bool Raise = false;
  bool FreeItem = false;
  void ManagerClick(TdxBarManager*, TdxBarItem* AItem) { Calls.push_back(L"manager:" + AItem->Name()); }
  void ItemClick(TObject* Sender) {
    Calls.push_back(L"item:" + static_cast<TComponent*>(Sender)->Name());
    if (FreeItem) TObject::Free(Sender);
    if (Raise) throw Exception(L"refused");
  }
  void AppException(TObject* Sender, Exception& E) {
    ++Handled;
    Calls.push_back(L"app:" + E.Message + L":" + static_cast<TComponent*>(Sender)->Name());
  }
};

class dxBarClickTest : public dxBarManagerTest {
 protected:
  void SetUp() override {
    dxBarManagerTest::SetUp();
    button = manager->AddButton();
    button->SetName(L"btnRun");
    manager->OnClickItem = TdxBarClickItemEvent::Bind<&TClickRecorder::ManagerClick>(&recorder);
    button->OnClick = TNotifyEvent::Bind<&TClickRecorder::ItemClick>(&recorder);
    savedHandler = Application->OnException;
    Application->OnException = TExceptionEvent::Bind<&TClickRecorder::AppException>(&recorder);
  }
  void TearDown() override { Application->OnException = savedHandler; }
  TClickRecorder recorder;
  TdxBarButton* button = nullptr;
  TExceptionEvent savedHandler;
};

TEST_F(dxBarClickTest, ClickRunsTheManagersEventThenTheItems) {
  button->Click();
  EXPECT_EQ(recorder.Calls, (std::vector<String>{L"manager:btnRun", L"item:btnRun"}));
  recorder.Calls.clear();
  button->SetEnabled(false);
  button->Click();
  button->DirectClick();
  EXPECT_TRUE(recorder.Calls.empty());
}

TEST_F(dxBarClickTest, AnExceptionInTheHandlerReachesTheApplicationOnce) {
  recorder.Raise = true;
  EXPECT_NO_THROW(button->Click());
  EXPECT_EQ(recorder.Handled, 1);
  EXPECT_EQ(recorder.Calls, (std::vector<String>{L"manager:btnRun", L"item:btnRun", L"app:refused:btnRun"}));
}

TEST_F(dxBarClickTest, ControlClickMovesTheLinkUpAndKnowsTheClickedLink) {
  TMenuLinksOwner menu(manager);
  TdxBarButton* other = manager->AddButton();
  other->SetName(L"btnOther");
  menu.Links->Add(other);
  TdxBarItemLink* link = menu.Links->Add(button);
  const int uses = link->UseCount();
  TdxBarItemLink* seen = nullptr;
  struct TSpy : TObject {
    TdxBarItemLink** Seen;
    void Click(TObject* Sender) { *Seen = static_cast<TdxBarItem*>(Sender)->ClickItemLink(); }
  } spy;
  spy.Seen = &seen;
  button->OnClick = TNotifyEvent::Bind<&TSpy::Click>(&spy);
  TObjectPtr<TTestItemControl> control(Make<TTestItemControl>(link));
  control->ExecuteClick();
  EXPECT_EQ(seen, link);
  EXPECT_EQ(button->ClickItemLink(), nullptr);
  EXPECT_EQ(link->IndexInRecentList(), 0);
  EXPECT_EQ(link->UseCount(), uses + 1);
}

TEST_F(dxBarClickTest, HandlerMayFreeItsItemDuringTheClick) {
  TMenuLinksOwner menu(manager);
  TdxBarItemLink* link = menu.Links->Add(button);
  TObjectPtr<TTestItemControl> control(Make<TTestItemControl>(link));
  recorder.FreeItem = true;
  TcxObjectLink* alive = cxCreateObjectLink(button);
  EXPECT_NO_THROW(control->ExecuteClick());
  EXPECT_EQ(alive->Ref, nullptr);
  EXPECT_EQ(menu.Links->Count(), 0);
  cxReleaseObjectLink(alive);
}

TEST_F(dxBarManagerTest, CheckButtonsInARadioGroup) {
  TdxBarButton* b[3];
  for (auto& button : b) {
    button = manager->AddButton();
    button->SetButtonStyle(bsChecked);
    button->SetGroupIndex(1);
  }
  auto downs = [&b] { return std::vector<bool>{b[0]->Down(), b[1]->Down(), b[2]->Down()}; };
  b[0]->SetDown(true);
  b[1]->Click();
  EXPECT_EQ(downs(), (std::vector<bool>{false, true, false}));
  b[1]->Click();
  EXPECT_EQ(downs(), (std::vector<bool>{false, true, false})) << "the only down button stays down";
  b[2]->SetAllowAllUp(true);
  EXPECT_TRUE(b[0]->AllowAllUp());
  b[1]->SetDown(false);
  EXPECT_EQ(downs(), (std::vector<bool>{false, false, false}));
  TdxBarButton* plain = manager->AddButton();
  plain->SetDown(true);
  plain->SetGroupIndex(5);
  EXPECT_FALSE(plain->Down());
  EXPECT_EQ(plain->GroupIndex(), 0);
}

TEST_F(dxBarManagerTest, LargeButtonKeepsTheSmallIndexInStep) {
  auto* large = static_cast<TdxBarLargeButton*>(manager->AddItem(TdxBarLargeButton::StaticClass()));
  large->SetLargeImageIndex(7);
  EXPECT_EQ(large->ImageIndex(), 7);
  large->SetImageIndex(3);
  EXPECT_FALSE(large->SyncImageIndex());
  EXPECT_EQ(large->LargeImageIndex(), 7);
}

TEST_F(dxBarManagerTest, CaptionGivesTheHintUnlessTheHintDiffers) {
  TdxBarButton* button = manager->AddButton();
  const struct {
    const wchar_t *hint, *caption, *expected;
  } cases[] = {
      {L"", L"&Open...", L"Open"},
      {L"Open|Opens a file", L"&Save", L"Save|Opens a file"},
      {L"Something else", L"&Close", L"Something else"},
  };
  for (const auto& c : cases) {
    button->SetHint(c.hint);
    button->SetCaption(c.caption);
    EXPECT_EQ(button->Hint(), c.expected) << c.caption;
  }
}

TEST_F(dxBarManagerTest, GroupsRefuseRecursionAndReachTheirMembers) {
  TdxBarGroup* a = manager->CreateGroup();
  TdxBarGroup* b = manager->CreateGroup();
  TdxBarButton* button = manager->AddButton();
  b->Add(button);
  b->Add(button);
  EXPECT_EQ(b->Count(), 1);
  a->Add(b);
  for (auto [group, member] : {std::pair{b, a}, std::pair{a, a}})
    EXPECT_EQ(RaisedMessage([group, member] { group->Add(member); }), L"You cannot create recursive groups");
  EXPECT_EQ(b->Count(), 1);
  a->SetVisible(ivNever);
  EXPECT_EQ(button->Visible(), ivNever);
  a->SetEnabled(false);
  EXPECT_FALSE(button->Enabled());
}

TEST_F(dxBarManagerTest, PaintStyleOfTheLookAndFeelStyle) {
  manager->SetStyle(bmsUseLookAndFeel);
  manager->LookAndFeel()->SetNativeStyle(false);
  const struct {
    TcxLookAndFeelKind kind;
    TdxBarManagerStyle style;
    bool recent;
  } cases[] = {{lfFlat, bmsEnhanced, true},
               {lfStandard, bmsStandard, false},
               {lfUltraFlat, bmsFlat, true},
               {lfOffice11, bmsOffice11, true}};
  for (const auto& c : cases) {
    manager->LookAndFeel()->SetKind(c.kind);
    EXPECT_EQ(manager->GetPaintStyle(), c.style) << c.kind;
    EXPECT_EQ(manager->CanShowRecentItems(), c.recent) << c.kind;
  }
  manager->SetStyle(bmsOffice11);
  EXPECT_EQ(manager->GetPaintStyle(), bmsOffice11);
}

TEST_F(dxBarManagerTest, ItemsByCategoryAndUniqueItemNames) {
  manager->Categories()->Add(L"Files");
  TdxBarButton* a = manager->AddButton();
  TdxBarButton* b = manager->AddButton();
  TdxBarButton* hidden = manager->AddButton();
  b->SetCategory(1);
  hidden->SetVisible(ivNever);
  TList list;
  EXPECT_EQ(manager->GetItemsByCategory(0, &list), 1);
  EXPECT_EQ(list.Get(0), a);
  EXPECT_EQ(manager->GetItemsByCategory(1, &list), 1);
  EXPECT_EQ(manager->GetItemsByCategory(5, &list), 0);
  a->SetName(L"dxBarButton1");
  EXPECT_EQ(manager->GetUniqueItemName(TdxBarButton::StaticClass()), L"dxBarButton2");
  EXPECT_EQ(manager->ItemAt(3), nullptr);
  EXPECT_EQ(manager->DockControlCount(), 4);
  EXPECT_EQ(manager->DockControlAt(1)->DockingStyle(), dsTop);
}

TEST_F(dxBarManagerTest, FontAndDockColorSettings) {
  EXPECT_TRUE(manager->UseSystemFont());
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
  EXPECT_EQ(manager->Font()->Name(), metrics.lfMenuFont.lfFaceName);
  TObjectPtr<TFont> font(Make<TFont>());
  font->SetName(L"Tahoma");
  manager->SetFont(font.get());
  EXPECT_FALSE(manager->UseSystemFont()) << "a font of one's own ends the system font";
  TdxBar* bar = manager->AddToolBar();
  EXPECT_EQ(bar->Font()->Name(), L"Tahoma");
  manager->SetUseSystemFont(true);
  EXPECT_EQ(bar->Font()->Name(), metrics.lfMenuFont.lfFaceName);
  EXPECT_TRUE(manager->AutoDockColor());
  form->SetColor(clRed);
  EXPECT_EQ(manager->DockColor(), clRed);
  manager->SetDockColor(clBlue);
  EXPECT_FALSE(manager->AutoDockColor());
  EXPECT_EQ(manager->DockColor(), clBlue);
}

TEST_F(dxBarManagerTest, NestedUpdatesRepaintToolbarsOnce) {
  struct TCountingControl : TFakeBarControl {
    int* Repaints;
    explicit TCountingControl(int* ACount) : Repaints(ACount) {}
    void RepaintBar() override { ++*Repaints; }
  };
  static int repaints = 0;
  TdxBarToolbarControlFactory saved = dxBarToolbarControlFactory();
  dxBarToolbarControlFactory() = [](TdxBarManager*, TdxBar*) -> IdxBarControl* {
    return Make<TCountingControl>(&repaints);
  };
  TdxBar* bar = manager->AddToolBar();
  bar->SetVisible(true);
  dxBarToolbarControlFactory() = saved;
  repaints = 0;
  manager->BeginUpdate();
  manager->BeginUpdate();
  manager->EndUpdate();
  EXPECT_EQ(repaints, 0);
  EXPECT_TRUE(manager->IsUpdateLocked());
  manager->EndUpdate();
  EXPECT_EQ(repaints, 1);
  EXPECT_FALSE(manager->IsUpdateLocked());
}

TEST_F(dxBarManagerTest, ShortCutsOfTheLinksRunTheirItems) {
  TdxBar* bar = manager->AddToolBar();
  TdxBarButton* check = manager->AddButton();
  check->SetButtonStyle(bsChecked);
  check->SetShortCut(0x4000 | 'B');
  struct TCount : TObject {
    std::vector<bool> DownAtClick;
    void Click(TObject* Sender) { DownAtClick.push_back(static_cast<TdxBarButton*>(Sender)->Down()); }
  } count;
  check->OnClick = TNotifyEvent::Bind<&TCount::Click>(&count);
  bar->ItemLinks()->Add(check);
  EXPECT_TRUE(bar->ItemLinks()->ExecuteShortCut(0x4000 | 'B'));
  EXPECT_EQ(count.DownAtClick, (std::vector<bool>{true}));
  EXPECT_FALSE(bar->ItemLinks()->ExecuteShortCut(0x4000 | 'C'));
  check->SetEnabled(false);
  EXPECT_FALSE(bar->ItemLinks()->ExecuteShortCut(0x4000 | 'B'));
  EXPECT_EQ(count.DownAtClick.size(), 1u);
}

TEST(dxObjectList, XorListKeepsWhatIsInOneListOnly) {
  TObject a, b, c;
  TdxObjectList first, second, result;
  first.Add(&a);
  first.Add(&b);
  first.Add(nullptr);
  first.Add(&a);
  second.Add(&b);
  second.Add(&c);
  EXPECT_EQ(first.Count(), 2);
  result.XorList(&first, &second);
  ASSERT_EQ(result.Count(), 2);
  EXPECT_EQ(result.Get(0), &a);
  EXPECT_EQ(result.Get(1), &c);
}

TEST(dxBarRoutines, AccelCharIndex) {
  const struct {
    const wchar_t* caption;
    int keep;
    int removed;
    const wchar_t* stripped;
  } cases[] = {
      {L"&Open", 2, 1, L"Open"}, {L"A&&B", 0, 0, L"A&B"}, {L"Open&", 0, 0, L"Open&"}, {L"&a&b", 4, 2, L"ab"},
  };
  for (const auto& c : cases) {
    String keep = c.caption, removed = c.caption;
    EXPECT_EQ(dxBarAccelCharIndex(keep, false), c.keep) << c.caption;
    EXPECT_EQ(dxBarAccelCharIndex(removed, true), c.removed) << c.caption;
    EXPECT_EQ(removed, c.stripped);
  }
  EXPECT_EQ(dxBarShortCutFromKey(0, 0x20000000), 0);
  EXPECT_EQ(dxBarMostCompactViewLevel({}), 255);
  EXPECT_EQ(dxBarMostCompactViewLevel({ivlLargeIconWithText, ivlSmallIcon}), ivlSmallIcon);
}

int gInitProcCalls = 0;
void CountInitProc() { ++gInitProcCalls; }

TEST(dxBarRoutines, ModuleChainsTheApplicationsStartProcedure) {
  gInitProcCalls = 0;
  void (*const moduleProc)() = InitProc;
  dxBarFinalize();
  void (*const previous)() = InitProc;
  EXPECT_NE(previous, moduleProc);
  InitProc = &CountInitProc;
  dxBarInitialize();
  ASSERT_NE(InitProc, &CountInitProc);
  InitProc();
  EXPECT_EQ(gInitProcCalls, 1);
  dxBarFinalize();
  EXPECT_EQ(InitProc, &CountInitProc);
  InitProc = previous;
  dxBarInitialize();
  EXPECT_EQ(InitProc, moduleProc);
  EXPECT_NE(dxBarManagerList(), nullptr);
}

TEST(dxBarRoutines, NearestInADirection) {
  // A row of three and one below the middle one.
  const TRect source{100, 0, 150, 20};
  const std::vector<TRect> row{{0, 0, 50, 20}, {200, 0, 250, 20}, {300, 0, 350, 20}, {100, 40, 150, 60}};
  const struct {
    const char* what;
    std::vector<TRect> candidates;
    int direction;
    bool wrap;
    int expected;
  } cases[] = {
      {"left", row, 0, false, 0},
      {"right: the nearer one", row, 2, false, 1},
      {"down", row, 3, false, 3},
      {"up: nothing, never wraps", row, 1, true, -1},
      {"left without candidates there, no wrap", {{200, 0, 250, 20}, {300, 0, 350, 20}}, 0, false, -1},
      {"left wraps to the rightmost right edge", {{200, 0, 250, 20}, {300, 0, 350, 20}}, 0, true, 1},
      {"right wraps to the leftmost", {{0, 0, 50, 20}, {40, 30, 60, 50}}, 2, true, 0},
      {"equal distance: nearer the axis", {{200, 60, 250, 80}, {200, 0, 250, 20}}, 2, false, 1},
      {"unknown direction", row, 4, true, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(dxBarPickNearestInDirection(source, c.candidates, c.direction, c.wrap), c.expected) << c.what;
}

TEST(dxBarRoutines, MessagesAndTimers) {
  for (UINT message : {WM_LBUTTONDOWN, WM_RBUTTONDBLCLK, WM_NCMBUTTONDOWN, WM_NCLBUTTONDBLCLK})
    EXPECT_TRUE(dxBarIsMouseDownMessage(message)) << message;
  for (UINT message : {WM_LBUTTONUP, WM_MOUSEMOVE, WM_XBUTTONDOWN, WM_KEYDOWN})
    EXPECT_FALSE(dxBarIsMouseDownMessage(message)) << message;
  // A quit request met while flushing is not lost.
  PostQuitMessage(7);
  dxBarFlushMouseMessages();
  dxBarFlushPaintMessages();
  MSG msg{};
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 7u);
  UINT_PTR timer = SetTimer(nullptr, 0, 60000, nullptr);
  ASSERT_NE(timer, 0u);
  EXPECT_TRUE(dxBarStopTimer(nullptr, timer));
  EXPECT_EQ(timer, 0u);
  EXPECT_FALSE(dxBarStopTimer(nullptr, timer));
  EXPECT_EQ(dxBarShortCutSuffix(0), L"");
  EXPECT_EQ(dxBarShortCutSuffix(0x4000 | 'S'), L" (Ctrl+S)");
}


// Every published property of the manager survives the component stream.
TEST(dxBarManagerStream, PublishedPropertiesRoundTrip) {
  TObjectPtr<TBarTestForm> form(Make<TBarTestForm>(nullptr));
  form->SetName(L"Form1");
  auto* manager = Make<TdxBarManager>(form.get());
  manager->SetName(L"BarManager");
  manager->SetAllowCallFromAnotherForm(true);
  manager->SetAllowReset(false);
  manager->SetAlwaysMerge(true);
  manager->SetAlwaysSaveText(true);
  manager->SetAutoAlignBars(true);
  manager->SetAutoHideEmptyBars(true);
  manager->SetButtonArrowWidth(9);
  manager->SetCanCustomize(false);
  manager->SetDockColor(clTeal);
  manager->SetFlatCloseButton(true);
  manager->HelpButtonGlyph()->SetSize(4, 4);
  manager->SetHelpContext(77);
  manager->SetHideFloatingBarsWhenInactive(false);
  manager->SetIniFileName(L"layout.ini");
  manager->SetLargeButtonArrowWidth(15);
  manager->SetMenuAnimations(maFade);
  manager->SetMenusShowRecentItemsFirst(false);
  manager->SetMostRecentItemsPercents(50);
  manager->SetNotDocking({dsLeft, dsBottom});
  manager->SetRegistryPath(L"Software\\Lanze");
  manager->SetScaled(false);
  manager->SetShowCloseButton(true);
  manager->SetShowFullMenusAfterDelay(false);
  manager->SetShowHelpButton(true);
  manager->SetShowHint(false);
  manager->SetShowHintForDisabledItems(false);
  manager->SetShowShortCutInHint(true);
  manager->SetStoreInIniFile(true);
  manager->SetStoreInRegistry(true);
  manager->SetStyle(bmsFlat);
  manager->SetSunkenBorder(true);
  manager->SetUseF10ForMenu(false);
  manager->SetUseFullReset(true);
  manager->SetWaitForDockingTime(40);
  manager->OnCloseButtonClick = TNotifyEvent::Bind<&TBarTestForm::btnExitClick>(form.get());
  manager->OnBarClose = TdxBarEvent::Bind<&TBarTestForm::BarEvent>(form.get());
  // Reading the layout files named above finds none: the form still loads.
  const String text = stdtest::WriteDefinition(form.get());
  TObjectPtr<TBarTestForm> copy(ReadBarForm(std::string(text.begin(), text.end())));
  TdxBarManager* read = ManagerOf(copy.get());
  ASSERT_NE(read, nullptr);
  EXPECT_TRUE(read->AllowCallFromAnotherForm());
  EXPECT_FALSE(read->AllowReset());
  EXPECT_TRUE(read->AlwaysMerge());
  EXPECT_TRUE(read->AlwaysSaveText());
  EXPECT_TRUE(read->AutoAlignBars());
  EXPECT_TRUE(read->AutoHideEmptyBars());
  EXPECT_EQ(read->ButtonArrowWidth(), 9);
  EXPECT_FALSE(read->CanCustomize());
  EXPECT_FALSE(read->AutoDockColor());
  EXPECT_EQ(read->DockColor(), clTeal);
  EXPECT_TRUE(read->FlatCloseButton());
  EXPECT_EQ(read->HelpButtonGlyph()->Width(), 4);
  EXPECT_EQ(read->HelpContext(), 77);
  EXPECT_FALSE(read->HideFloatingBarsWhenInactive());
  EXPECT_EQ(read->IniFileName(), L"layout.ini");
  EXPECT_EQ(read->LargeButtonArrowWidth(), 15);
  EXPECT_EQ(read->MenuAnimations(), maFade);
  EXPECT_FALSE(read->MenusShowRecentItemsFirst());
  EXPECT_EQ(read->MostRecentItemsPercents(), 50);
  EXPECT_EQ(read->NotDocking(), (TdxBarDockingStyles{dsLeft, dsBottom}));
  EXPECT_EQ(read->RegistryPath(), L"\\Software\\Lanze\\");
  EXPECT_FALSE(read->Scaled());
  EXPECT_TRUE(read->ShowCloseButton());
  EXPECT_FALSE(read->ShowFullMenusAfterDelay());
  EXPECT_TRUE(read->ShowHelpButton());
  EXPECT_FALSE(read->ShowHint());
  EXPECT_FALSE(read->ShowHintForDisabledItems());
  EXPECT_TRUE(read->ShowShortCutInHint());
  EXPECT_TRUE(read->StoreInIniFile());
  EXPECT_TRUE(read->StoreInRegistry());
  EXPECT_EQ(read->Style(), bmsFlat);
  EXPECT_TRUE(read->SunkenBorder());
  EXPECT_FALSE(read->UseF10ForMenu());
  EXPECT_TRUE(read->UseFullReset());
  EXPECT_EQ(read->WaitForDockingTime(), 40);
  read->DoCloseButtonClick();
  read->DoBarClose(nullptr);
  EXPECT_EQ(copy->ExitClicks, 1);
  EXPECT_EQ(copy->BarEvents, 1);
  // Defaults are not written.
  TObjectPtr<TBarTestForm> plain(Make<TBarTestForm>(nullptr));
  Make<TdxBarManager>(plain.get())->SetName(L"Plain");
  const String defaults = stdtest::WriteDefinition(plain.get());
  for (const wchar_t* name : {L"AutoAlignBars", L"HelpContext", L"IniFileName", L"RegistryPath", L"SunkenBorder",
                              L"HelpButtonGlyph", L"ShowShortCutInHint", L"DockColor"})
    EXPECT_EQ(defaults.find(name), String::npos) << name;
}

// A dock with a window of its own that records what the manager asks of it.
class TWindowedDock : public TCustomControl, public IdxBarDockControl {
  DECLARE_CLASS(TWindowedDock, TCustomControl)
  explicit TWindowedDock(TComponent* AOwner) : TCustomControl(AOwner) {}
  TObject* DockControlObject() override { return this; }
  TdxBarDockingStyle DockingStyle() override { return dsNone; }
  int DockSize() override { return 0; }
  void SetDockSize(int) override {}
  bool CanDockBar(TdxBar*) override { return true; }
  void UpdateDock() override { Log.push_back(L"update"); }
  bool CanReceiveFocus() override { return true; }
  bool DockingZoneContains(const TPoint&) override { return false; }
  HWND DockWindow() override { return HandleAllocated() ? Handle() : nullptr; }
  void RefreshBackground() override { Log.push_back(L"background"); }
  void UpdateColor() override { Log.push_back(L"color"); }
  void RefreshFrames() override { Log.push_back(L"frames"); }
  void FreeEmptyRows() override { Log.push_back(L"rows"); }
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_SETREDRAW) Log.push_back(Message.WParam ? L"redraw on" : L"redraw off");
    if (Message.Msg == WM_NCPAINT) Log.push_back(L"ncpaint");
    TCustomControl::WndProc(Message);
  }
  std::vector<String> Log;
};
IMPLEMENT_CLASS(TWindowedDock, TCustomControl, nullptr)

// A toolbar window that records the manager's calls.
struct TRecordingBarControl : TFakeBarControl {
  std::vector<String>* Log = nullptr;
  void RebuildItemControls() override { Log->push_back(L"rebuild"); }
  void RecalcBarLayout() override { Log->push_back(L"recalc"); }
  void ApplyBarFrameChange() override { Log->push_back(L"frame"); }
  void ManagerStyleChanged() override { Log->push_back(L"style"); }
  void RefreshBarBackground() override { Log->push_back(L"bar background"); }
  void RepaintBar() override { Log->push_back(L"repaint"); }
};

class dxBarManagerWindowsTest : public dxBarManagerTest {
 protected:
  void SetUp() override {
    dxBarManagerTest::SetUp();
    form->SetBounds(0, 0, 300, 200);
    dock = Make<TWindowedDock>(form.get());
    dock->SetParent(form.get());
    dock->SetBounds(0, 0, 300, 30);
    ShowWindow(form->Handle(), SW_SHOWNA);
    dock->HandleNeeded();
    ShowWindow(dock->Handle(), SW_SHOWNA);
    manager->RegisterDockControl(dock);
    static std::vector<String>* barLog = nullptr;
    barLog = &log;
    TScopedHook<TdxBarToolbarControlFactory> windows(dxBarToolbarControlFactory(), [](TdxBarManager*, TdxBar*) -> IdxBarControl* {
      auto* control = Make<TRecordingBarControl>();
      control->Log = barLog;
      return control;
    });
    changed = manager->AddToolBar();
    changed->SetVisible(true);
    quiet = manager->AddToolBar();
    quiet->SetVisible(true);
    for (TdxBar* bar : {changed, quiet}) bar->ClearChanged();
    log.clear();
    dock->Log.clear();
  }
  void TearDown() override { manager->UnregisterDockControl(dock); }
  TWindowedDock* dock = nullptr;
  TdxBar* changed = nullptr;
  TdxBar* quiet = nullptr;
  std::vector<String> log;
};

TEST_F(dxBarManagerWindowsTest, NestedUpdatesFreezeTheDocksOnceAndRelayoutOnce) {
  manager->BeginUpdate();
  manager->BeginUpdate();
  changed->MarkChanged();
  manager->EndUpdate();
  EXPECT_EQ(dock->Log, (std::vector<String>{L"redraw off"}));
  EXPECT_TRUE(log.empty());
  manager->EndUpdate();
  EXPECT_EQ(dock->Log, (std::vector<String>{L"redraw off", L"redraw on", L"rows", L"update", L"ncpaint"}));
  // The changed toolbar is rebuilt and laid out, the other one only takes its frame.
  EXPECT_EQ(log, (std::vector<String>{L"rebuild", L"recalc", L"frame"}));
  EXPECT_FALSE(changed->ChangedFlag());
  // Switching redrawing off and on leaves the dock shown.
  EXPECT_TRUE(IsWindowVisible(dock->Handle()));
  // Without the changed-flag test every toolbar only takes its frame.
  log.clear();
  changed->MarkChanged();
  manager->SetLockUpdate(true);
  manager->SetLockUpdate(true);
  manager->SetLockUpdate(false);
  EXPECT_EQ(log, (std::vector<String>{L"frame", L"frame"}));
  EXPECT_FALSE(changed->ChangedFlag());
}

TEST_F(dxBarManagerWindowsTest, SettersReachTheDocksAndToolbars) {
  const struct {
    const char* what;
    std::function<void(TdxBarManager*)> change;
    std::vector<String> dockLog, barLog;
  } cases[] = {
      {"dock colour", [](TdxBarManager* m) { m->SetDockColor(clRed); }, {L"color"}, {}},
      {"automatic dock colour", [](TdxBarManager* m) { m->SetAutoDockColor(true); }, {L"color"}, {}},
      {"the same again", [](TdxBarManager* m) { m->SetAutoDockColor(true); }, {}, {}},
      {"sunken border", [](TdxBarManager* m) { m->SetSunkenBorder(true); }, {L"frames"}, {}},
      {"arrow width", [](TdxBarManager* m) { m->SetButtonArrowWidth(14); }, {}, {L"repaint", L"repaint"}},
      {"arrow width too small", [](TdxBarManager* m) { m->SetButtonArrowWidth(1); }, {}, {}},
      {"large arrow width", [](TdxBarManager* m) { m->SetLargeButtonArrowWidth(2); }, {}, {L"repaint", L"repaint"}},
      {"style", [](TdxBarManager* m) { m->SetStyle(bmsFlat); }, {L"background"},
       {L"style", L"style", L"bar background", L"bar background"}},
      {"not docking", [](TdxBarManager* m) { m->SetNotDocking({dsLeft}); }, {L"background"},
       {L"style", L"style", L"bar background", L"bar background"}},
      {"look-and-feel", [](TdxBarManager* m) { m->LookAndFeel()->SetKind(lfStandard); }, {L"background"},
       {L"style", L"style", L"bar background", L"bar background"}},
      {"automatic alignment", [](TdxBarManager* m) { m->SetAutoAlignBars(true); }, {L"rows", L"update", L"ncpaint"},
       {L"frame", L"frame"}},
  };
  for (const auto& c : cases) {
    dock->Log.clear();
    log.clear();
    c.change(manager);
    EXPECT_EQ(dock->Log, c.dockLog) << c.what;
    EXPECT_EQ(log, c.barLog) << c.what;
  }
}

TEST_F(dxBarManagerTest, OptionChangesReachTheCustomizationForm) {
  TFakeDesignController controller;
  TScopedHook<IdxBarDesignController*> seam(dxBarDesignControllerSlot(), &controller);
  manager->SetModified(false);
  manager->SetMenuAnimations(maSlide);
  manager->SetShowHint(false);
  manager->SetShowHint(false);
  EXPECT_EQ(controller.OptionsChanges, 2);
  EXPECT_TRUE(manager->Modified());
  manager->SetShowHelpButton(true);
  manager->HelpButtonGlyph()->SetSize(8, 8);
  EXPECT_GE(controller.HelpButtonChanges, 2);
  controller.Form = controller.Window();
  manager->SetStyle(bmsStandard);
  EXPECT_EQ(controller.StyleChanges, 1);
}

TEST_F(dxBarManagerTest, FontsFollowTheSystemAsScaled) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
  LOGFONTW iconTitle{};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(iconTitle), &iconTitle, 0));
  struct TCounter : TObject {
    int Calls = 0;
    void Changed(TObject*, const void*) { ++Calls; }
  } counter;
  manager->SystemFontChangedHandlers()->Add(TcxEventHandler::Bind<&TCounter::Changed>(&counter));
  TObjectPtr<TFont> font(Make<TFont>());
  font->SetName(L"Tahoma");
  font->SetHeight(-30);
  manager->SetFont(font.get());
  // Scaled: the height stays the system menu font's.
  EXPECT_EQ(manager->Font()->Name(), L"Tahoma");
  EXPECT_EQ(manager->Font()->Height(), metrics.lfMenuFont.lfHeight);
  EXPECT_EQ(manager->EditFont()->Name(), L"Tahoma");
  EXPECT_EQ(manager->EditFont()->Height(), std::min<int>(iconTitle.lfHeight, -11));
  EXPECT_EQ(manager->BarCaptionFont()->Name(), L"Tahoma");
  EXPECT_LE(manager->BarCaptionFont()->Height(), -11);
  EXPECT_EQ(counter.Calls, 1);
  manager->SetScaled(false);
  manager->SetFont(font.get());
  EXPECT_EQ(manager->Font()->Height(), -30);
  EXPECT_EQ(manager->EditFont()->Height(), -30);
  // Back to the system font: the caption font is the system's small-caption font.
  manager->SetUseSystemFont(true);
  EXPECT_EQ(manager->Font()->Name(), metrics.lfMenuFont.lfFaceName);
  EXPECT_EQ(manager->BarCaptionFont()->Name(), metrics.lfSmCaptionFont.lfFaceName);
  EXPECT_EQ(manager->BarCaptionFont()->Height(), metrics.lfSmCaptionFont.lfHeight);
  EXPECT_TRUE(manager->UseSystemFont());
}

TEST_F(dxBarManagerTest, BrushesOfFlatAndThemedToolbars) {
  auto colorOf = [](HBRUSH ABrush) {
    LOGBRUSH brush{};
    EXPECT_EQ(GetObjectW(ABrush, sizeof(brush), &brush), static_cast<int>(sizeof(brush)));
    return brush.lbColor;
  };
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), face = GetSysColor(COLOR_BTNFACE);
  // The screen shows true colours here: the nearest colour is the colour itself.
  EXPECT_EQ(colorOf(manager->FlatToolbarsBorderBrush()),
            RGB(MulDiv(GetRValue(shadow), 8, 10), MulDiv(GetGValue(shadow), 8, 10), MulDiv(GetBValue(shadow), 8, 10)));
  auto lighter = [](int c) { return c + MulDiv(255 - c, 16, 100); };
  EXPECT_EQ(colorOf(manager->FlatToolbarsBrush()), RGB(lighter(GetRValue(face)), lighter(GetGValue(face)),
                                                       lighter(GetBValue(face))));
  EXPECT_EQ(colorOf(manager->FlatToolbarsDownedBrush()), static_cast<COLORREF>(dxBlendLightColor(11, 9, 73)));
  EXPECT_EQ(colorOf(manager->FlatToolbarsDownedSelBrush()), static_cast<COLORREF>(dxBlendLightColor(14, 44, 40)));
  EXPECT_EQ(colorOf(manager->FlatToolbarsSelBrush()), static_cast<COLORREF>(dxBlendLightColor(-2, 30, 72)));
  EXPECT_EQ(manager->ThemeToolbarsBrush() != nullptr, manager->ThemeAvailable());
  // A system colour change makes them again; the old ones are gone (the leak check counts).
  SendMessageW(form->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_NE(manager->FlatToolbarsBrush(), nullptr);
}


// A form as the designer holds it.
class TDesignedForm : public TBarTestForm {
  DECLARE_CLASS(TDesignedForm, TBarTestForm)
  explicit TDesignedForm(TComponent* AOwner) : TBarTestForm(AOwner) {}
  using TComponent::SetDesigning;
};
IMPLEMENT_CLASS(TDesignedForm, TBarTestForm, nullptr)

TEST(dxBarManagerDesign, ItemsNamedAfterTheManagerFollowItsNewName) {
  TObjectPtr<TDesignedForm> form(Make<TDesignedForm>(nullptr));
  auto* manager = Make<TdxBarManager>(form.get());
  manager->SetName(L"BarManager1");
  const wchar_t* names[] = {L"BarManager1Open", L"barmanager1Save", L"BarManager1", L"Other", L"Bars2Open"};
  std::vector<TdxBarButton*> buttons;
  for (const wchar_t* name : names) {
    buttons.push_back(manager->AddButton());
    if (String(name) != L"BarManager1") buttons.back()->SetName(name);
  }
  form->SetDesigning(true);
  manager->SetName(L"Bars2");
  // A clash keeps the old name.
  EXPECT_EQ(buttons[0]->Name(), L"BarManager1Open");
  EXPECT_EQ(buttons[1]->Name(), L"Bars2Save");
  EXPECT_EQ(buttons[3]->Name(), L"Other");
  form->SetDesigning(false);
  manager->SetName(L"Bars3");
  EXPECT_EQ(buttons[1]->Name(), L"Bars2Save");
}

TEST(dxBarManagerKeys, ShortcutsReachTheOtherManagersOfTheForm) {
  TObjectPtr<TBarTestForm> form(Make<TBarTestForm>(nullptr));
  TObjectPtr<TBarTestForm> other(Make<TBarTestForm>(nullptr));
  TdxBarManager* onForm = Make<TdxBarManager>(form.get());
  auto* panel = Make<TPanel>(form.get());
  panel->SetParent(form.get());
  TdxBarManager* onPanel = Make<TdxBarManager>(panel);
  TdxBarManager* elsewhere = Make<TdxBarManager>(other.get());
  panel->HandleNeeded();
  other->HandleNeeded();
  TdxBar* bar = onPanel->AddToolBar();
  bar->SetVisible(true);
  TdxBarButton* button = onPanel->AddButton();
  button->SetShortCut(0x4000 | 'P');
  button->OnClick = TNotifyEvent::Bind<&TBarTestForm::btnExitClick>(form.get());
  bar->ItemLinks()->Add(button);
  EXPECT_TRUE(onForm->ExecuteShortCut(0x4000 | 'P'));
  EXPECT_EQ(form->ExitClicks, 1);
  EXPECT_FALSE(elsewhere->ExecuteShortCut(0x4000 | 'P'));
}

}  // namespace
