// Messages of the owner's window reach the manager through the call-window hook.
#include "tests/bars/model/dxBarFakeCustomization.h"
#include "tests/bars/model/dxBarFakeNavigation.h"
#include "tests/bars/model/dxBarTestSupport.h"
#include "tests/support/ScopedHook.h"

#include <gtest/gtest.h>

namespace {

TEST(dxBarOwnerMessages, RectanglesAreKeptInTheWorkArea) {
  const TRect work(0, 0, 800, 600);
  const struct {
    TRect rect, kept;
  } cases[] = {
      {Bounds(10, 10, 100, 50), Bounds(10, 10, 100, 50)},
      {Bounds(10, 580, 100, 50), Bounds(10, 550, 100, 50)},
      {Bounds(-30, -20, 100, 50), Bounds(0, 0, 100, 50)},
      {Bounds(750, 10, 100, 50), Bounds(700, 10, 100, 50)},
      // Taller than the work area: its top stays visible.
      {Bounds(10, 100, 100, 700), Bounds(10, 0, 100, 700)},
  };
  for (const auto& c : cases) EXPECT_EQ(dxBarKeepRectInWorkArea(c.rect, work), c.kept) << c.rect.Left << "," << c.rect.Top;
}

class dxBarOwnerMessagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(Make<TBarTestForm>(nullptr));
    form->SetBounds(100, 100, 400, 300);
    manager = Make<TdxBarManager>(form.get());
  }
  TFakeNavigation navigation;
  TScopedHook<IdxBarNavigation*> seam{dxBarNavigation(), &navigation};
  TObjectPtr<TBarTestForm> form;
  TdxBarManager* manager = nullptr;
};

TEST_F(dxBarOwnerMessagesTest, LosingTheApplicationActivationEndsKeyboardMode) {
  manager->SetFormActive(true, false, nullptr);
  SendMessageW(form->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_FALSE(manager->MainFormActive());
  EXPECT_EQ(navigation.Stops, 1);
}

TEST_F(dxBarOwnerMessagesTest, WorkAreaChangeBringsFloatingToolbarsBack) {
  TdxBar* floating = manager->AddToolBar();
  floating->SetDockingStyle(dsNone);
  floating->SetFloatClientWidth(120);
  floating->SetFloatClientHeight(40);
  floating->SetFloatLeft(-5000);
  floating->SetFloatTop(-5000);
  TdxBar* docked = manager->AddToolBar();
  docked->SetDockingStyle(dsTop);
  docked->SetFloatLeft(-5000);
  SendMessageW(form->Handle(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(MonitorFromPoint(POINT{300, 250}, MONITOR_DEFAULTTONEAREST), &info);
  EXPECT_EQ(floating->FloatLeft(), info.rcWork.left);
  EXPECT_EQ(floating->FloatTop(), info.rcWork.top);
  EXPECT_EQ(docked->FloatLeft(), -5000);
}

TEST_F(dxBarOwnerMessagesTest, ActivationOfTheForm) {
  const struct {
    bool startActive, enabled;
    WORD state;
    bool active;
  } cases[] = {
      {true, true, WA_INACTIVE, false},
      // A modal dialog disabled the form: it still counts as active.
      {true, false, WA_INACTIVE, true},
      {false, false, WA_INACTIVE, false},
      {false, true, WA_ACTIVE, true},
  };
  for (const auto& c : cases) {
    manager->SetFormActive(c.startActive, true, nullptr);
    EnableWindow(form->Handle(), c.enabled);
    SendMessageW(form->Handle(), WM_ACTIVATE, c.state, 0);
    EXPECT_EQ(manager->MainFormActive(), c.active) << c.startActive << c.enabled << c.state;
  }
  EnableWindow(form->Handle(), TRUE);
}

TEST_F(dxBarOwnerMessagesTest, ShowingHidingAndMDIActivation) {
  ShowWindow(form->Handle(), SW_SHOWNA);
  EXPECT_TRUE(manager->MainFormActive());
  ShowWindow(form->Handle(), SW_HIDE);
  EXPECT_FALSE(manager->MainFormActive());
  SendMessageW(form->Handle(), WM_MDIACTIVATE, 0, reinterpret_cast<LPARAM>(form->Handle()));
  EXPECT_TRUE(manager->MainFormActive());
  SendMessageW(form->Handle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(form->Handle()), 0);
  EXPECT_FALSE(manager->MainFormActive());
}

TEST_F(dxBarOwnerMessagesTest, QueuedToolbarsShowWhenTheFormGetsItsWindow) {
  TdxBar* bar = manager->AddToolBar();
  bar->SetDockingStyle(dsNone);
  form->DestroyHandle();
  manager->BeginBarRestoring();
  manager->QueueBarRestore(bar);
  EXPECT_FALSE(bar->Visible());
  form->HandleNeeded();
  EXPECT_TRUE(bar->Visible());
}

TEST_F(dxBarOwnerMessagesTest, ShortCutOfAToolbarWaitingToShowRuns) {
  TdxBar* bar = manager->AddToolBar();
  TdxBarButton* button = manager->AddButton();
  button->SetShortCut(0x4000 | 'Q');
  button->OnClick = TNotifyEvent::Bind<&TBarTestForm::btnExitClick>(form.get());
  bar->ItemLinks()->Add(button);
  EXPECT_FALSE(manager->ExecuteShortCut(0x4000 | 'Q'));
  manager->BeginBarRestoring();
  manager->QueueBarRestore(bar);
  EXPECT_TRUE(manager->ExecuteShortCut(0x4000 | 'Q'));
  EXPECT_EQ(form->ExitClicks, 1);
}

// A toolbar window that records how it follows the form.
class TFloatingWindow : public TFakeBarControl {
  DECLARE_CLASS(TFloatingWindow, TFakeBarControl)
  TFloatingWindow() { Windows().push_back(this); }
  ~TFloatingWindow() override { std::erase(Windows(), this); }
  void ShowFloatingWindow(bool AShow) override { Shown = AShow; }
  void RefreshFrame() override { ++Frames; }
  void RefreshShadow() override { ++Shadows; }
  void BarMouseLeft() override { ++Leaves; }
  static std::vector<TFloatingWindow*>& Windows() {
    static std::vector<TFloatingWindow*> windows;
    return windows;
  }
  bool Shown = false;
  int Frames = 0;
  int Shadows = 0;
  int Leaves = 0;
};
IMPLEMENT_CLASS(TFloatingWindow, TFakeBarControl, nullptr)

TEST_F(dxBarOwnerMessagesTest, FloatingToolbarsFollowTheFormsActivation) {
  TScopedHook<TdxBarToolbarControlFactory> windows(
      dxBarToolbarControlFactory(), [](TdxBarManager*, TdxBar*) -> IdxBarControl* { return Make<TFloatingWindow>(); });
  TdxBar* floating = manager->AddToolBar();
  floating->SetDockingStyle(dsNone);
  floating->SetVisible(true);
  TdxBar* docked = manager->AddToolBar(false);
  ASSERT_EQ(TFloatingWindow::Windows().size(), 2u);
  TFloatingWindow* window = static_cast<TFloatingWindow*>(floating->Control()->BarControlObject());
  TFloatingWindow* dockedWindow = static_cast<TFloatingWindow*>(docked->Control()->BarControlObject());
  manager->SetHideFloatingBarsWhenInactive(true);
  ShowWindow(form->Handle(), SW_SHOWNA);
  EXPECT_TRUE(window->Shown);
  HWND edit = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  const struct {
    const char* what;
    bool hideWhenInactive;
    WORD state;
    HWND other;
    bool shown;
    int frames;
  } cases[] = {
      {"another application", true, WA_INACTIVE, nullptr, false, 0},
      {"back again", true, WA_ACTIVE, nullptr, true, 0},
      {"a window of the program that is no form", true, WA_INACTIVE, edit, true, 0},
      {"back again", true, WA_ACTIVE, nullptr, true, 0},
      {"kept: only the caption changes", false, WA_INACTIVE, nullptr, true, 1},
  };
  for (const auto& c : cases) {
    manager->SetHideFloatingBarsWhenInactive(c.hideWhenInactive);
    window->Frames = 0;
    SendMessageW(form->Handle(), WM_ACTIVATE, c.state, reinterpret_cast<LPARAM>(c.other));
    EXPECT_EQ(window->Shown, c.shown) << c.what;
    EXPECT_EQ(window->Frames, c.frames) << c.what;
  }
  EXPECT_FALSE(dockedWindow->Shown);
  EXPECT_EQ(dockedWindow->Frames, 0);
  // Switching the option over follows the present activation at once.
  manager->SetHideFloatingBarsWhenInactive(true);
  EXPECT_FALSE(window->Shown);
  manager->SetHideFloatingBarsWhenInactive(false);
  EXPECT_TRUE(window->Shown);
  DestroyWindow(edit);
  ShowWindow(form->Handle(), SW_HIDE);
}


TEST_F(dxBarOwnerMessagesTest, SystemColoursRebuildFloatingShadowsAndBrushes) {
  TScopedHook<TdxBarToolbarControlFactory> windows(
      dxBarToolbarControlFactory(), [](TdxBarManager*, TdxBar*) -> IdxBarControl* { return Make<TFloatingWindow>(); });
  TdxBar* floating = manager->AddToolBar();
  floating->SetDockingStyle(dsNone);
  floating->SetVisible(true);
  TdxBar* docked = manager->AddToolBar(false);
  auto* floatingWindow = static_cast<TFloatingWindow*>(floating->Control()->BarControlObject());
  auto* dockedWindow = static_cast<TFloatingWindow*>(docked->Control()->BarControlObject());
  SendMessageW(form->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(floatingWindow->Shadows, 1);
  EXPECT_EQ(dockedWindow->Shadows, 0);
  EXPECT_NE(dxBarCheckerBrush, nullptr);
}

TEST_F(dxBarOwnerMessagesTest, LeavingTheFormEndsMouseTrackingAndHandsActivationToTheCustomizationForm) {
  TFloatingWindow tracked;
  manager->SetMouseTrackingBarControl(&tracked);
  SendMessageW(form->Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(tracked.Leaves, 1);
  manager->SetMouseTrackingBarControl(nullptr);
  // Customizing disables the form: its activation goes on to the customization form.
  TFakeCustomization customization;
  TScopedHook<IdxBarCustomization*> seam(dxBarCustomization(), &customization);
  customization.Form = customization.Window();
  struct TActivations {
    static LRESULT CALLBACK Proc(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam) {
      // The system's own activations of the window are not the form's.
      if (AMsg == WM_ACTIVATE && LOWORD(AWParam) == WA_CLICKACTIVE) Others().push_back(reinterpret_cast<HWND>(ALParam));
      return DefWindowProcW(AWnd, AMsg, AWParam, ALParam);
    }
    static std::vector<HWND>& Others() {
      static std::vector<HWND> others;
      return others;
    }
  };
  TActivations::Others().clear();
  SetWindowLongPtrW(customization.Form, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TActivations::Proc));
  manager->Customizing(true);
  EnableWindow(form->Handle(), FALSE);
  SendMessageW(form->Handle(), WM_ACTIVATE, WA_CLICKACTIVE, 0);
  EnableWindow(form->Handle(), TRUE);
  SendMessageW(form->Handle(), WM_ACTIVATE, WA_CLICKACTIVE, 0);
  manager->Customizing(false);
  EXPECT_EQ(TActivations::Others(), (std::vector<HWND>{form->Handle()}));
}

// A file name in the temporary folder, deleted when the test ends.
struct TLayoutFile {
  TLayoutFile() {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    Name = String(folder) + L"lanze-owner-layout.ini";
    DeleteFileW(Name.c_str());
  }
  ~TLayoutFile() { DeleteFileW(Name.c_str()); }
  bool Exists() const { return GetFileAttributesW(Name.c_str()) != INVALID_FILE_ATTRIBUTES; }
  String Name;
};

TEST_F(dxBarOwnerMessagesTest, LayoutIsSavedWhenTheFormGoesNotWhenItsWindowIsMadeAgain) {
  TLayoutFile file;
  manager->SetIniFileName(file.Name);
  manager->SetStoreInIniFile(true);
  manager->AddToolBar()->SetCaption(L"Tools");
  form->HandleNeeded();
  form->DestroyHandle();
  form->HandleNeeded();
  EXPECT_FALSE(file.Exists());
  form.reset();
  EXPECT_TRUE(file.Exists());
}

// A toolbar window whose point (5, 5) holds an item, for help requests.
class THelpBar : public TWindowedBarControl {
  DECLARE_CLASS(THelpBar, TWindowedBarControl)
  explicit THelpBar(TComponent* AOwner) : TWindowedBarControl(AOwner) {}
  HWND BarWindow() override { return Handle(); }
  TdxBarItemControlBase* ItemControlAtScreenPoint(const TPoint& APoint) override {
    POINT p{APoint.X, APoint.Y};
    ::ScreenToClient(Handle(), &p);
    return p.x < 10 ? Item : nullptr;
  }
  int BarHelpContext() override { return 7; }
  TdxBarItemControlBase* Item = nullptr;
};
IMPLEMENT_CLASS(THelpBar, TWindowedBarControl, nullptr)

struct THelpLog : TObject {
  std::vector<std::pair<Word, NativeInt>> Calls;
  bool Help(Word ACommand, NativeInt AData, bool& ACallHelp) {
    Calls.emplace_back(ACommand, AData);
    ACallHelp = false;
    return true;
  }
};

TEST_F(dxBarOwnerMessagesTest, F1OnAToolbarAsksForTheHelpOfTheItemOrOfTheBar) {
  THelpLog log;
  const THelpEvent saved = Application->OnHelp;
  Application->OnHelp = THelpEvent::Bind<&THelpLog::Help>(&log);
  auto* bar = Make<THelpBar>(form.get());
  bar->SetParent(form.get());
  bar->SetBounds(0, 0, 100, 20);
  TMenuLinksOwner menu(manager);
  TdxBarButton* button = manager->AddButton();
  TObjectPtr<TTestItemControl> control(Make<TTestItemControl>(menu.Links->Add(button)));
  bar->Item = control.get();
  auto pressF1At = [&](int X) {
    HELPINFO info{};
    info.cbSize = sizeof(info);
    info.iContextType = HELPINFO_WINDOW;
    info.hItemHandle = bar->Handle();
    POINT p{X, 5};
    ClientToScreen(bar->Handle(), &p);
    info.MousePos = p;
    log.Calls.clear();
    SendMessageW(form->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    return log.Calls;
  };
  using C = std::vector<std::pair<Word, NativeInt>>;
  button->SetHelpContext(42);
  EXPECT_EQ(pressF1At(5), (C{{HELP_CONTEXT, 42}}));
  EXPECT_EQ(pressF1At(50), (C{{HELP_CONTEXT, 7}}));
  button->SetHelpContext(0);
  EXPECT_EQ(pressF1At(5), (C{{HELP_CONTEXT, 7}}));
  // A form with a help button shows the help as a popup, under the item for an item's help.
  form->SetBorderIcons({biSystemMenu, biHelp});
  button->SetHelpContext(42);
  const C popup = pressF1At(5);
  ASSERT_EQ(popup.size(), 2u);
  EXPECT_EQ(popup[0].first, HELP_SETPOPUP_POS);
  EXPECT_EQ(popup[1], (std::pair<Word, NativeInt>{HELP_CONTEXTPOPUP, 42}));
  EXPECT_EQ(pressF1At(50), (C{{HELP_CONTEXTPOPUP, 7}}));
  Application->OnHelp = saved;
}

}  // namespace
