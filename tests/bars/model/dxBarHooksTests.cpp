// The thread hooks: they live exactly as long as some manager does, and
// real keys and clicks reach the model through them.
#include "tests/bars/model/dxBarFakeDesignController.h"
#include "tests/bars/model/dxBarFakeNavigation.h"
#include "tests/bars/model/dxBarTestSupport.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScopedHook.h"

#include "foundation/cxClasses.h"

#include "platform/gui/ExtCtrls.h"

#include <gtest/gtest.h>

namespace {

TEST(dxBarHooks, ExistExactlyWhileAManagerLives) {
  ASSERT_EQ(dxBarManagerList()->Count(), 0);
  EXPECT_FALSE(dxBarHooksInstalled());
  TObjectPtr<TBarTestForm> first(Make<TBarTestForm>(nullptr));
  TObjectPtr<TBarTestForm> second(Make<TBarTestForm>(nullptr));
  Make<TdxBarManager>(first.get());
  EXPECT_TRUE(dxBarHooksInstalled());
  Make<TdxBarManager>(second.get());
  first.reset();
  EXPECT_TRUE(dxBarHooksInstalled());
  second.reset();
  EXPECT_FALSE(dxBarHooksInstalled());
}

TEST(dxBarHooks, EveryButtonDownAndDoubleClickLeavesNavigationMode) {
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_MBUTTONDOWN,
                       WM_MBUTTONDBLCLK, WM_XBUTTONDOWN, WM_XBUTTONDBLCLK, WM_NCLBUTTONDOWN, WM_NCLBUTTONDBLCLK,
                       WM_NCRBUTTONDOWN, WM_NCRBUTTONDBLCLK, WM_NCMBUTTONDOWN, WM_NCMBUTTONDBLCLK, WM_NCXBUTTONDOWN,
                       WM_NCXBUTTONDBLCLK})
    EXPECT_TRUE(dxBarLeavesNavigationMode(message)) << message;
  for (UINT message : {WM_LBUTTONUP, WM_RBUTTONUP, WM_XBUTTONUP, WM_NCMBUTTONUP, WM_MOUSEMOVE, WM_MOUSEWHEEL})
    EXPECT_FALSE(dxBarLeavesNavigationMode(message)) << message;
}

TEST(dxBarHooks, DirectCallReportsWhetherTheKeyWasConsumed) {
  TObjectPtr<TBarTestForm> form(Make<TBarTestForm>(nullptr));
  Make<TdxBarManager>(form.get());
  dxBarSetKeysBlocked(true);
  EXPECT_EQ(dxBarCallKeyboardHookDirectly('A', 0), 1);
  dxBarSetKeysBlocked(false);
  EXPECT_EQ(dxBarCallKeyboardHookDirectly(VK_PROCESSKEY, 0), 0);
}

TEST(dxBarHooks, SettingChangeOfTheNonClientMetricsAppliesTheSystemFont) {
  TObjectPtr<TBarTestForm> form(Make<TBarTestForm>(nullptr));
  TdxBarManager* manager = Make<TdxBarManager>(form.get());
  struct TCounter : TObject {
    int Calls = 0;
    void Changed(TObject*, const void*) { ++Calls; }
  } counter;
  manager->SystemFontChangedHandlers()->Add(TcxEventHandler::Bind<&TCounter::Changed>(&counter));
  // The get value is not what the message carries: nothing happens.
  SendMessageW(form->Handle(), WM_SETTINGCHANGE, SPI_GETNONCLIENTMETRICS, 0);
  EXPECT_EQ(counter.Calls, 0);
  SendMessageW(form->Handle(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  EXPECT_EQ(counter.Calls, 1);
  EXPECT_TRUE(manager->UseSystemFont());
}


TEST(dxBarHooks, JoiningAndLeavingManagersAreAnnounced) {
  static std::vector<std::pair<TdxBarManager*, bool>> seen;
  seen.clear();
  TScopedHook<TdxBarManagerProc> joined(dxBarManagerJoinedProc(), [](TdxBarManager* m) {
    seen.emplace_back(m, true);
    EXPECT_TRUE(dxBarHooksInstalled());
  });
  TScopedHook<TdxBarManagerProc> left(dxBarManagerLeftProc(), [](TdxBarManager* m) { seen.emplace_back(m, false); });
  TObjectPtr<TBarTestForm> form(Make<TBarTestForm>(nullptr));
  TdxBarManager* manager = Make<TdxBarManager>(form.get());
  form.reset();
  using S = std::vector<std::pair<TdxBarManager*, bool>>;
  EXPECT_EQ(seen, (S{{manager, true}, {manager, false}}));
}

// A shown, active form with a manager, a toolbar and an item with Ctrl+O.
class dxBarInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(Make<TBarTestForm>(nullptr));
    manager = Make<TdxBarManager>(form.get());
    item = manager->AddButton();
    item->SetShortCut(static_cast<TShortCut>(0x4000 | 'O'));
    item->OnClick = TNotifyEvent::Bind<&TBarTestForm::btnExitClick>(form.get());
    TdxBar* bar = manager->AddToolBar();
    bar->ItemLinks()->Add(item);
    bar->SetVisible(true);
    form->SetBounds(60, 60, 300, 200);
    form->Show();
    SetForegroundWindow(form->Handle());
    SetActiveWindow(form->Handle());
    ::SetFocus(form->Handle());
    ASSERT_TRUE(PumpMessagesUntil([this] { return GetActiveWindow() == form->Handle(); }));
  }
  void TearDown() override { form.reset(); }
  // Sends the keys, then Escape and a marker key, and waits until the hook saw the marker go up.
  void Keys(const std::vector<std::pair<WORD, bool>>& AKeys) {
    std::vector<INPUT> inputs;
    auto add = [&inputs](WORD vk, bool up) {
      INPUT in{};
      in.type = INPUT_KEYBOARD;
      in.ki.wVk = vk;
      in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
      inputs.push_back(in);
    };
    for (auto [vk, up] : AKeys) add(vk, up);
    // Escape ends a system menu loop that an unconsumed Alt or F10 may have begun.
    add(VK_ESCAPE, false);
    add(VK_ESCAPE, true);
    add(VK_F13, false);
    add(VK_F13, true);
    navigation.Seen.clear();
    ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size());
    ASSERT_TRUE(PumpMessagesUntil([this] {
      return std::count(navigation.Seen.begin(), navigation.Seen.end(), VK_F13) >= 2;
    }));
  }
  TFakeNavigation navigation;
  TScopedHook<IdxBarNavigation*> seam{dxBarNavigation(), &navigation};
  TObjectPtr<TBarTestForm> form;
  TdxBarManager* manager = nullptr;
  TdxBarItem* item = nullptr;
};

TEST_F(dxBarInputTest, AltAndF10AloneEnterMenuMode) {
  const struct {
    const char* name;
    std::vector<std::pair<WORD, bool>> keys;
    bool useF10, enters;
  } cases[] = {
      {"Alt", {{VK_MENU, false}, {VK_MENU, true}}, true, true},
      {"Alt+X", {{VK_MENU, false}, {'X', false}, {'X', true}, {VK_MENU, true}}, true, false},
      {"Ctrl+Alt", {{VK_CONTROL, false}, {VK_MENU, false}, {VK_MENU, true}, {VK_CONTROL, true}}, true, false},
      {"F10", {{VK_F10, false}, {VK_F10, true}}, true, true},
      {"F10 switched off", {{VK_F10, false}, {VK_F10, true}}, false, false},
      {"Shift+F10", {{VK_SHIFT, false}, {VK_F10, false}, {VK_F10, true}, {VK_SHIFT, true}}, true, false},
  };
  for (const auto& c : cases) {
    manager->SetUseF10ForMenu(c.useF10);
    navigation.Selected = nullptr;
    Keys(c.keys);
    EXPECT_EQ(navigation.Selected == manager, c.enters) << c.name;
  }
}

TEST_F(dxBarInputTest, ShortcutReachesItsItem) {
  Keys({{VK_CONTROL, false}, {'O', false}, {'O', true}, {VK_CONTROL, true}});
  EXPECT_EQ(form->ExitClicks, 1);
  Keys({{'O', false}, {'O', true}});
  EXPECT_EQ(form->ExitClicks, 1);
}

TEST_F(dxBarInputTest, ClickEndsKeyboardMode) {
  POINT centre{150, 100};
  ClientToScreen(form->Handle(), &centre);
  SetCursorPos(centre.x, centre.y);
  INPUT clicks[2]{};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_EQ(SendInput(2, clicks, sizeof(INPUT)), 2u);
  EXPECT_TRUE(PumpMessagesUntil([this] { return navigation.Leaves > 0; }));
}

}  // namespace

namespace {

TEST_F(dxBarInputTest, AltLetterClicksAUniqueAcceleratorAndSelectsAmongSeveral) {
  TScopedHook<TdxBarToolbarControlFactory> windows(
      dxBarToolbarControlFactory(), [](TdxBarManager*, TdxBar*) -> IdxBarControl* { return Make<TFakeBarControl>(); });
  dxBarAddItemClassToRegistry(TdxBarButton::StaticClass(), TTestItemControl::StaticClass());
  TdxBar* menu = manager->AddToolBar();
  const Char* captions[] = {L"帮助(&H)", L"文件(&F)", L"&Edit", L"&Extra"};
  for (const Char* caption : captions) {
    TdxBarButton* entry = manager->AddButton();
    entry->SetCaption(caption);
    entry->SetPaintStyle(psCaption);  // only a shown caption carries an accelerator on a toolbar
    entry->OnClick = TNotifyEvent::Bind<&TBarTestForm::btnExitClick>(form.get());
    menu->ItemLinks()->Add(entry);
  }
  menu->SetVisible(true);
  // Laid out as the toolbar window would, inside its client area.
  for (int i = 0; i < menu->ItemLinks()->Count(); ++i) {
    menu->ItemLinks()->Items(i)->CreateControl();
    menu->ItemLinks()->Items(i)->SetItemRect(Bounds(i * 25, 0, 25, 20));
  }
  ASSERT_EQ(manager->FindAccelLink('F', {}), menu->ItemLinks()->Items(1));
  Keys({{VK_MENU, false}, {'F', false}, {'F', true}, {VK_MENU, true}});
  EXPECT_EQ(form->ExitClicks, 1);
  EXPECT_EQ(navigation.Selected, nullptr);  // Alt with a letter is no menu key
  Keys({{VK_MENU, false}, {'E', false}, {'E', true}, {VK_MENU, true}});
  EXPECT_EQ(form->ExitClicks, 1);
  EXPECT_EQ(navigation.Focused, menu->ItemLinks()->Items(2));
  form.reset();
  dxBarRemoveItemClassFromRegistry(TdxBarButton::StaticClass());
}

// Open menus as the bar controls layer reports them. The menu window records
// the keys it gets; Escape closes it.
class TFakeActiveMenus : public IdxBarActiveMenus {
 public:
  TFakeActiveMenus() {
    window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  }
  ~TFakeActiveMenus() { DestroyWindow(window); }
  HWND ActiveWindow() override { return Open ? window : nullptr; }
  TdxBarManager* ActiveManager() override { return Manager; }
  bool ActiveIsCustomized() override { return false; }
  bool EditHasFocus() override { return false; }
  bool AllowsMouseWheel() override {
    ++WheelQueries;
    return false;
  }
  bool IsOverItemControl(const POINT&) override { return false; }
  bool ChainOwnsWindow(HWND AWnd) override { return AWnd == window; }
  void OwnedWindowMouseDown(HWND) override {}
  bool ShouldHideOnFocusChange(HWND) override { return HidesOnFocusChange; }
  bool ActiveHidesOnDeactivate() override { return HidesOnDeactivate; }
  std::vector<TdxBarItemControlBase*> HelpItemControls() override { return HelpChain; }
  int ActiveBarHelpContext() override { return 3; }
  void HideAll() override {
    ++Hides;
    Open = StaysOpen;
  }
  static LRESULT CALLBACK Proc(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam) {
    auto* self = reinterpret_cast<TFakeActiveMenus*>(GetWindowLongPtrW(AWnd, GWLP_USERDATA));
    if (AMsg == WM_KEYDOWN || AMsg == WM_KEYUP) {
      self->Keys.emplace_back(static_cast<WORD>(AWParam), AMsg == WM_KEYUP);
      if (AMsg == WM_KEYDOWN && AWParam == VK_ESCAPE) self->Open = false;
    }
    return CallWindowProcW(self->previous, AWnd, AMsg, AWParam, ALParam);
  }
  HWND window = nullptr;
  WNDPROC previous = nullptr;
  TdxBarManager* Manager = nullptr;
  bool Open = true;
  bool StaysOpen = false;
  bool HidesOnFocusChange = false;
  bool HidesOnDeactivate = true;
  std::vector<TdxBarItemControlBase*> HelpChain;
  int Hides = 0;
  int WheelQueries = 0;
  std::vector<std::pair<WORD, bool>> Keys;
};

class dxBarOpenMenuTest : public dxBarInputTest {
 protected:
  struct TMouseLog : TObject {
    std::vector<std::pair<TMouseButton, bool>> Buttons;
    int Wheels = 0;
    void Down(TObject*, TMouseButton AButton, TShiftState, int, int) { Buttons.emplace_back(AButton, false); }
    void Up(TObject*, TMouseButton AButton, TShiftState, int, int) { Buttons.emplace_back(AButton, true); }
    void Wheel(TObject*, TShiftState, int, TPoint, bool& AHandled) {
      ++Wheels;
      AHandled = true;
    }
  };
  void SetUp() override {
    dxBarInputTest::SetUp();
    form->OnMouseDown = TMouseEvent::Bind<&TMouseLog::Down>(&log);
    form->OnMouseUp = TMouseEvent::Bind<&TMouseLog::Up>(&log);
    form->OnMouseWheel = TMouseWheelEvent::Bind<&TMouseLog::Wheel>(&log);
    POINT centre{150, 100};
    ClientToScreen(form->Handle(), &centre);
    SetCursorPos(centre.x, centre.y);
  }
  void Mouse(std::initializer_list<DWORD> AFlags, DWORD AData = 0) {
    std::vector<INPUT> inputs;
    for (DWORD flags : AFlags) {
      INPUT in{};
      in.type = INPUT_MOUSE;
      in.mi.dwFlags = flags;
      in.mi.mouseData = AData;
      inputs.push_back(in);
    }
    ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size());
  }
  TMouseLog log;
  TFakeActiveMenus menus;
  TScopedHook<IdxBarActiveMenus*> seam{dxBarActiveMenus(), &menus};
};

TEST_F(dxBarOpenMenuTest, WheelBehindAMenuThatRefusesItIsSwallowed) {
  Mouse({MOUSEEVENTF_WHEEL}, WHEEL_DELTA);
  ASSERT_TRUE(PumpMessagesUntil([this] { return menus.WheelQueries > 0; }));
  menus.Open = false;
  Mouse({MOUSEEVENTF_WHEEL}, WHEEL_DELTA);
  ASSERT_TRUE(PumpMessagesUntil([this] { return log.Wheels > 0; }));
  EXPECT_EQ(log.Wheels, 1);
}

TEST_F(dxBarOpenMenuTest, PressElsewhereClosesTheMenusAndAStrayReleaseIsSwallowed) {
  // A chain that closes: the press reaches the form.
  Mouse({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
  ASSERT_TRUE(PumpMessagesUntil([this] { return log.Buttons.size() >= 2; }));
  EXPECT_EQ(menus.Hides, 1);
  // A chain that stays open is closed a bounded number of times, and the
  // right release outside it never reaches the form.
  menus.Open = menus.StaysOpen = true;
  menus.Hides = 0;
  log.Buttons.clear();
  Mouse({MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
  ASSERT_TRUE(PumpMessagesUntil([this] { return log.Buttons.size() >= 3; }));
  using B = std::pair<TMouseButton, bool>;
  EXPECT_EQ(log.Buttons, (std::vector<B>{{mbRight, false}, {mbLeft, false}, {mbLeft, true}}));
  EXPECT_GT(menus.Hides, 1);
  menus.Open = menus.StaysOpen = false;
}

TEST_F(dxBarOpenMenuTest, KeysGoToTheOpenMenuAndTheClosingKeysReleaseStaysThere) {
  Keys({{VK_DOWN, false}, {VK_DOWN, true}});
  using K = std::pair<WORD, bool>;
  // Escape closed the menu: its release is swallowed, the marker key is the form's again.
  EXPECT_EQ(menus.Keys, (std::vector<K>{{VK_DOWN, false}, {VK_DOWN, true}, {VK_ESCAPE, false}}));
}

TEST_F(dxBarOpenMenuTest, AWindowOfTheMenusTakingTheActivationKeepsTheForm) {
  manager->SetFormActive(true, false, nullptr);
  SendMessageW(form->Handle(), WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(menus.window));
  EXPECT_TRUE(manager->MainFormActive());
  menus.Open = false;
  SendMessageW(form->Handle(), WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(menus.window));
  EXPECT_FALSE(manager->MainFormActive());
}

TEST_F(dxBarOpenMenuTest, LosingTheApplicationClosesTheManagersMenus) {
  menus.Manager = manager;
  manager->SetFormActive(true, false, nullptr);
  SendMessageW(form->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(menus.Hides, 1);
  menus.Open = true;
  menus.Manager = nullptr;
  manager->SetFormActive(true, false, nullptr);
  SendMessageW(form->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(menus.Hides, 1);
  // Whatever their manager, menus that close on a focus change do when the form goes inactive.
  menus.HidesOnFocusChange = true;
  manager->SetFormActive(true, false, nullptr);
  manager->SetFormActive(false, false, nullptr);
  EXPECT_EQ(menus.Hides, 2);
}

// A bar window that records the moves it hears.
using TBarWindowStub = TWindowedBarControl;

TEST_F(dxBarInputTest, MovesOverAWindowInsideABarControlReachTheBarControl) {
  auto* bar = Make<TBarWindowStub>(form.get());
  bar->SetParent(form.get());
  bar->SetBounds(10, 10, 200, 40);
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 20, 5, 60, 20, bar->Handle(), nullptr, nullptr,
                              nullptr);
  POINT at{40, 15};
  ClientToScreen(edit, &at);
  SetCursorPos(at.x - 1, at.y);
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dwFlags = MOUSEEVENTF_MOVE;
  move.mi.dx = 1;
  ASSERT_EQ(SendInput(1, &move, sizeof(INPUT)), 1u);
  // The edit's point (40, 15) is (60, 20) in the bar window.
  EXPECT_TRUE(PumpMessagesUntil([&] {
    return std::find(bar->Moves.begin(), bar->Moves.end(), TPoint(60, 20)) != bar->Moves.end();
  }));
  DestroyWindow(edit);
}


TEST_F(dxBarOpenMenuTest, CancelledModeClosesTheManagersMenusThatCloseOnDeactivation) {
  menus.Manager = manager;
  menus.HidesOnDeactivate = false;
  SendMessageW(form->Handle(), WM_CANCELMODE, 0, 0);
  EXPECT_EQ(menus.Hides, 0);
  menus.HidesOnDeactivate = true;
  SendMessageW(form->Handle(), WM_CANCELMODE, 0, 0);
  EXPECT_EQ(menus.Hides, 1);
  // While the mode is cancelled, losing the application does not count.
  menus.Open = true;
  manager->SetFormActive(true, false, nullptr);
  EXPECT_FALSE(manager->InternalState().Contains(bisModalActivating));
}

TEST_F(dxBarOpenMenuTest, F1InAMenuServesTheNearestItemWithHelp) {
  struct THelpLog : TObject {
    std::vector<std::pair<Word, NativeInt>> Calls;
    bool Help(Word ACommand, NativeInt AData, bool& ACallHelp) {
      Calls.emplace_back(ACommand, AData);
      ACallHelp = false;
      return true;
    }
  } log;
  const THelpEvent saved = Application->OnHelp;
  Application->OnHelp = THelpEvent::Bind<&THelpLog::Help>(&log);
  menus.Manager = manager;
  TMenuLinksOwner menu(manager);
  TdxBarButton* selected = manager->AddButton();
  TdxBarButton* opener = manager->AddButton();
  opener->SetHelpContext(5);
  TObjectPtr<TTestItemControl> selectedControl(Make<TTestItemControl>(menu.Links->Add(selected)));
  TObjectPtr<TTestItemControl> openerControl(Make<TTestItemControl>(menu.Links->Add(opener)));
  menus.HelpChain = {selectedControl.get(), openerControl.get()};
  HELPINFO info{};
  info.cbSize = sizeof(info);
  info.iContextType = HELPINFO_WINDOW;
  // The menu window has the focus: the request reaches the manager's form.
  SendMessageW(menus.window, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  using C = std::vector<std::pair<Word, NativeInt>>;
  EXPECT_EQ(log.Calls, (C{{HELP_CONTEXT, 5}}));
  EXPECT_GE(menus.Hides, 1);
  // No item with help: the menu's own.
  opener->SetHelpContext(0);
  menus.Open = true;
  log.Calls.clear();
  SendMessageW(menus.window, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(log.Calls, (C{{HELP_CONTEXT, 3}}));
  Application->OnHelp = saved;
  menus.Open = false;
}

TEST_F(dxBarInputTest, CustomizationKeysAndTheQuickCustomizationPopup) {
  TFakeDesignController controller;
  TScopedHook<IdxBarDesignController*> seam(dxBarDesignControllerSlot(), &controller);
  Keys({{VK_CONTROL, false}, {VK_DELETE, false}, {VK_DELETE, true}, {VK_CONTROL, true}});
  EXPECT_EQ(controller.Deletions, (std::vector<bool>{true}));
  const int selections = controller.ParentSelections;
  Keys({});  // the closing Escape of every sequence selects the parent
  EXPECT_EQ(controller.ParentSelections, selections + 1);
  // An open quick-customization popup closes on Alt, without menu mode.
  controller.Quick = controller.Window();
  navigation.Selected = nullptr;
  Keys({{VK_MENU, false}, {VK_MENU, true}});
  EXPECT_EQ(controller.QuickCloses, 1);
  EXPECT_EQ(navigation.Selected, nullptr);
  // And on a press outside it, unless on its toolbar's mark with the left button.
  auto click = [](DWORD ADown, DWORD AUp) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = ADown;
    in[1].mi.dwFlags = AUp;
    SendInput(2, in, sizeof(INPUT));
  };
  POINT centre{150, 100};
  ClientToScreen(form->Handle(), &centre);
  SetCursorPos(centre.x, centre.y);
  const struct {
    bool onMark;
    DWORD down, up;
    int closes;
  } cases[] = {{true, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 0},
               {true, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 1},
               {false, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1}};
  for (const auto& c : cases) {
    controller.Quick = controller.Window();
    controller.OnMark = c.onMark;
    controller.QuickCloses = 0;
    navigation.Leaves = 0;
    click(c.down, c.up);
    ASSERT_TRUE(PumpMessagesUntil([this] { return navigation.Leaves > 0; }));
    EXPECT_EQ(controller.QuickCloses, c.closes) << c.onMark << c.down;
  }
  controller.Quick = nullptr;
}

TEST_F(dxBarInputTest, PlainMenuKeyWaitsForKeyTipsAndShowsThemOnRelease) {
  struct TKeyTipNavigation : TFakeNavigation {
    TObject Root;
    std::vector<String> Log;
    TObject* KeyTipRootForWindow(HWND) override { return &Root; }
    bool RootHasKeyTips(TObject*) override { return true; }
    void BeginKeyTipsWaiting(TObject* ARoot) override { Log.push_back(ARoot == &Root ? L"wait" : L"?"); }
    void EndKeyTipsWaiting(bool AShow) override { Log.push_back(AShow ? L"show" : L"end"); }
  } tips;
  TScopedHook<IdxBarNavigation*> keyTipSeam(dxBarNavigation(), &tips);
  auto sendKeys = [&](std::vector<std::pair<WORD, bool>> AKeys) {
    std::vector<INPUT> inputs;
    for (auto [vk, up] : AKeys) {
      INPUT in{};
      in.type = INPUT_KEYBOARD;
      in.ki.wVk = vk;
      in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
      inputs.push_back(in);
    }
    for (WORD vk : {WORD(VK_ESCAPE), WORD(VK_F13)})
      for (bool up : {false, true}) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
      }
    tips.Seen.clear();
    tips.Log.clear();
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return PumpMessagesUntil([&] { return std::count(tips.Seen.begin(), tips.Seen.end(), VK_F13) >= 2; });
  };
  ASSERT_TRUE(sendKeys({{VK_MENU, false}, {VK_MENU, true}}));
  EXPECT_EQ(tips.Selected, manager);
  // The keys after the marker end nothing more than a wait that is over.
  ASSERT_GE(tips.Log.size(), 2u);
  EXPECT_EQ(tips.Log[0], L"wait");
  EXPECT_EQ(tips.Log[1], L"show");
  tips.Selected = nullptr;
  ASSERT_TRUE(sendKeys({{VK_MENU, false}, {'X', false}, {'X', true}, {VK_MENU, true}}));
  EXPECT_EQ(tips.Selected, nullptr);
  ASSERT_GE(tips.Log.size(), 2u);
  EXPECT_EQ(tips.Log[0], L"wait");
  EXPECT_EQ(tips.Log[1], L"end");
}


// A toolbar window on a panel that answers every hit test with its border
// and records the mouse messages it gets.
class TCustomizedBarWindow : public TWindowedBarControl {
  DECLARE_CLASS(TCustomizedBarWindow, TWindowedBarControl)
  explicit TCustomizedBarWindow(TComponent* AOwner) : TWindowedBarControl(AOwner) {}
  HWND BarWindow() override { return Handle(); }
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_NCHITTEST) {
      Message.Result = HTBORDER;
      return;
    }
    if (Message.Msg == WM_SETCURSOR && LOWORD(Message.LParam) == HTBORDER) ++Cursors;
    if ((Message.Msg >= WM_NCMOUSEMOVE && Message.Msg <= WM_NCMBUTTONDBLCLK && Message.Msg != WM_NCMOUSEMOVE) ||
        (Message.Msg >= WM_LBUTTONDOWN && Message.Msg <= WM_MBUTTONDBLCLK))
      Messages.push_back(Message.Msg);
    TWindowedBarControl::WndProc(Message);
  }
  std::vector<UINT> Messages;
  int Cursors = 0;
  static TWinControl*& Panel() {
    static TWinControl* panel = nullptr;
    return panel;
  }
};
IMPLEMENT_CLASS(TCustomizedBarWindow, TWindowedBarControl, nullptr)

TEST_F(dxBarInputTest, ClicksOnAToolbarBeingCustomizedGoToItAsClientClicks) {
  auto* panel = Make<TPanel>(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(0, 0, 300, 120);
  TdxBarManager* onPanel = Make<TdxBarManager>(panel);
  TCustomizedBarWindow::Panel() = panel;
  TScopedHook<TdxBarToolbarControlFactory> windows(dxBarToolbarControlFactory(), [](TdxBarManager*, TdxBar*) -> IdxBarControl* {
    // The toolbar's links free their window.
    auto* window = Make<TCustomizedBarWindow>(nullptr);
    window->SetParent(TCustomizedBarWindow::Panel());
    window->SetBounds(20, 20, 120, 30);
    return window;
  });
  TdxBar* bar = onPanel->AddToolBar();
  bar->SetVisible(true);
  auto* window = static_cast<TCustomizedBarWindow*>(bar->Control()->BarControlObject());
  TFakeDesignController controller;
  TScopedHook<IdxBarDesignController*> seam(dxBarDesignControllerSlot(), &controller);
  controller.Active = true;
  onPanel->Customizing(true);
  POINT at{60, 10};
  ClientToScreen(window->Handle(), &at);
  SetCursorPos(at.x, at.y);
  INPUT clicks[2]{};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_EQ(SendInput(2, clicks, sizeof(INPUT)), 2u);
  EXPECT_TRUE(PumpMessagesUntil([&] { return window->Messages.size() >= 2; }));
  onPanel->Customizing(false);
  // The border press arrives as a press in the client area; the cursor was set for the toolbar's hit test.
  EXPECT_EQ(window->Messages, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
  EXPECT_GE(window->Cursors, 1);
  // The manager frees the window before its parent would.
  TObject::Free(onPanel);
}

}  // namespace
