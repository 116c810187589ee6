// Messages of the owner's window reach the manager through the call-window hook.
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
  static std::vector<TFloatingWindow*>& Windows() {
    static std::vector<TFloatingWindow*> windows;
    return windows;
  }
  bool Shown = false;
  int Frames = 0;
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
  DestroyWindow(edit);
  ShowWindow(form->Handle(), SW_HIDE);
}

}  // namespace
