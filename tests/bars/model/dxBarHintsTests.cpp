// When hints appear, go and follow each other: the timers are driven, never waited for.
#include "tests/bars/model/dxBarTestSupport.h"
#include "tests/support/ScopedHook.h"

#include <gtest/gtest.h>

namespace {

struct TShownHint {
  String Text, ShortCut;
  bool operator==(const TShownHint&) const = default;
};

class TFakeHintWindow : public IdxBarHintWindow {
 public:
  bool IsScreenTipMode() override { return ScreenTip; }
  bool IsVisible() override { return Visible; }
  void HideHint() override { Visible = false; }
  bool ActivateHintEx(TdxBarManager*, const String& AText, const String& AShortCut) override {
    Shown.push_back({AText, AShortCut});
    Visible = true;
    return true;
  }
  void Release() override { Released = true; }
  bool ScreenTip = false, Visible = false, Released = false;
  std::vector<TShownHint> Shown;
};
TFakeHintWindow* gWindow = nullptr;
IdxBarHintWindow* MakeFakeHintWindow() { return gWindow; }

class TTestHintSource : public TObject, public IdxBarHintSource {
  DECLARE_CLASS(TTestHintSource, TObject)
  TTestHintSource() = default;
  bool GetHintInfo(String& AHint, String& AShortCut) override {
    AHint = Hint;
    AShortCut = ShortCut;
    return !Hint.empty();
  }
  bool IsHintEnabled() override { return Enabled; }
  TdxBarCustomHintViewInfo* MakeHintView(const String&, const String&) override { return nullptr; }
  TPoint CalcHintPlacement(const TPoint& ACursorPos, int) override { return ACursorPos; }
  String Hint = L"打开文件", ShortCut = L"Ctrl+O";
  bool Enabled = true;
};

class dxBarHintsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gWindow = &window;
    form.reset(Make<TBarTestForm>(nullptr));
    manager = Make<TdxBarManager>(form.get());
    first.reset(Make<TTestHintSource>());
    second.reset(Make<TTestHintSource>());
    second->Hint = L"保存";
  }
  // Fires the pending hint timer as its window timer would.
  void FireHintTimer(UINT AExpectedInterval, bool AHides) {
    const TdxBarHintTimers& t = dxBarHintTimers();
    ASSERT_NE(t.HintTimer, 0u);
    EXPECT_EQ(t.HintTimerInterval, AExpectedInterval);
    EXPECT_EQ(t.HintTimerHides, AHides);
    dxBarHintTimerFired(t.HintTimer);
  }
  TFakeHintWindow window;
  TScopedHook<TdxBarHintWindowFactory> factory{dxBarHintWindowFactory(), &MakeFakeHintWindow};
  TObjectPtr<TBarTestForm> form;
  TdxBarManager* manager = nullptr;
  TObjectPtr<TTestHintSource> first, second;
};

TEST_F(dxBarHintsTest, RestingShowsAfterTheDelayAndHidesLater) {
  for (bool screenTip : {false, true}) {
    window.ScreenTip = screenTip;
    manager->ActivateHint(true, String(), first.get());
    EXPECT_FALSE(window.Visible);
    FireHintTimer(screenTip ? 900 : 1000, false);
    EXPECT_TRUE(window.Visible);
    FireHintTimer(screenTip ? 200000 : 10000, true);
    EXPECT_FALSE(window.Visible);
    EXPECT_EQ(dxBarHintTimers().HintTimer, 0u);
  }
  EXPECT_EQ(window.Shown.size(), 2u);
}

TEST_F(dxBarHintsTest, NextHintFollowsAtOnceWhileOneShowsOrWasJustHidden) {
  manager->ActivateHint(true, String(), first.get());
  FireHintTimer(1000, false);
  manager->ActivateHint(true, String(), second.get());
  EXPECT_EQ(window.Shown.back().Text, L"保存");
  // Onto empty toolbar space: hidden, and the re-show window opens.
  manager->ActivateHint(true);
  EXPECT_FALSE(window.Visible);
  EXPECT_TRUE(dxBarHintTimers().QuickReshow);
  ASSERT_NE(dxBarHintTimers().HiddenHintTimer, 0u);
  manager->ActivateHint(true, String(), first.get());
  EXPECT_TRUE(window.Visible);
  EXPECT_EQ(window.Shown.size(), 3u);
  // Once the re-show window closed, a hint waits again.
  manager->ActivateHint(true);
  dxBarHintTimerFired(dxBarHintTimers().HiddenHintTimer);
  EXPECT_FALSE(dxBarHintTimers().QuickReshow);
  manager->ActivateHint(true, String(), second.get());
  EXPECT_FALSE(window.Visible);
  FireHintTimer(1000, false);
  EXPECT_TRUE(window.Visible);
}

TEST_F(dxBarHintsTest, NoHintWhenSwitchedOffOrCustomizing) {
  manager->SetShowHint(false);
  manager->ActivateHint(true, String(), first.get());
  EXPECT_EQ(dxBarHintTimers().HintTimer, 0u);
  manager->SetShowHint(true);
  manager->Customizing(true);
  manager->ActivateHint(true, String(), first.get());
  EXPECT_EQ(dxBarHintTimers().HintTimer, 0u);
  manager->Customizing(false);
}

TEST_F(dxBarHintsTest, DisabledItemsAndShortcutsFollowTheirOptions) {
  TApplication* app = Application;
  const bool savedShortCuts = app->HintShortCuts();
  const struct {
    bool enabled, forDisabled, shortCutInHint, appShortCuts;
    int shown;
    const Char* shortCut;
  } cases[] = {
      {true, true, false, true, 1, L"Ctrl+O"},   // the application's default still shows it
      {true, true, false, false, 1, L""},
      {true, true, true, false, 1, L"Ctrl+O"},
      {false, true, true, true, 1, L"Ctrl+O"},
      {false, false, true, true, 0, L""},
  };
  for (const auto& c : cases) {
    window.Shown.clear();
    first->Enabled = c.enabled;
    manager->SetShowHintForDisabledItems(c.forDisabled);
    manager->SetShowShortCutInHint(c.shortCutInHint);
    app->SetHintShortCuts(c.appShortCuts);
    manager->ActivateHint(true, String(), first.get());
    FireHintTimer(1000, false);
    ASSERT_EQ(static_cast<int>(window.Shown.size()), c.shown) << c.enabled << c.forDisabled;
    if (c.shown) {
      EXPECT_EQ(window.Shown[0].ShortCut, c.shortCut) << c.shortCutInHint << c.appShortCuts;
    }
    manager->HideHint();
    window.Visible = false;
  }
  app->SetHintShortCuts(savedShortCuts);
}

TEST_F(dxBarHintsTest, CustomTextAndTheLastManagerTakingTheWindowAlong) {
  manager->ActivateHint(true, L"就绪");
  FireHintTimer(1000, false);
  EXPECT_EQ(window.Shown.back(), (TShownHint{L"就绪", L""}));
  manager->ActivateHint(true, String(), first.get());
  form.reset();
  EXPECT_EQ(dxBarHintTimers().HintTimer, 0u);
  EXPECT_EQ(dxBarHintTimers().HiddenHintTimer, 0u);
  EXPECT_TRUE(window.Released);
  EXPECT_EQ(dxBarHintWindow(), nullptr);
}

}  // namespace

IMPLEMENT_CLASS(TTestHintSource, TObject, nullptr)
