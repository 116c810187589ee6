// The caption buttons of a toolbar: their states under the mouse and the
// keyboard, the hint they ask their toolbar's window for, hit testing and the
// screen tip they forget when it goes.
#include "bars/model/dxBarCaptionButtons.h"
#include "tests/bars/model/dxBarTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// The toolbar's window as the buttons see it: it records the hint requests
// and frame refreshes.
class THintRecordingBarControl : public TFakeBarControl {
 public:
  void ActivateItemHint(bool AShow, const String& AHint, TObject* AHintObject) override {
    Requests.push_back({AShow, AHint, AHintObject});
  }
  void RefreshFrame() override { ++FrameRefreshes; }
  struct TRequest {
    bool Show;
    String Hint;
    TObject* Object;
  };
  std::vector<TRequest> Requests;
  int FrameRefreshes = 0;
};

class dxBarCaptionButtonsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    manager = Make<TdxBarManager>(form.get());
    bar = manager->AddToolBar();
    buttons = bar->CaptionButtons();
    bar->ItemLinks()->SetBarControl(&window);
    for (int i = 0; i < 3; ++i) {
      TdxBarCaptionButton* button = buttons->Add();
      button->SetRect(TRect(60 + 16 * i, 4, 76 + 16 * i, 20));
      button->SetHint(L"按钮" + std::to_wstring(i));
    }
  }
  void TearDown() override { bar->ItemLinks()->SetBarControl(nullptr); }
  TdxBarCaptionButton* Button(int AIndex) { return buttons->Items(AIndex); }

  std::unique_ptr<TBarTestForm, void (*)(TObject*)> form{Make<TBarTestForm>(nullptr), &TObject::Free};
  TdxBarManager* manager = nullptr;
  TdxBar* bar = nullptr;
  TdxBarCaptionButtons* buttons = nullptr;
  THintRecordingBarControl window;
};

}  // namespace

TEST_F(dxBarCaptionButtonsTest, MouseMakesButtonsHotAndPressedAndTheHintFollows) {
  buttons->UpdateButtonStates(TPoint(70, 10), false);
  EXPECT_EQ(TdxBarCaptionButton::StateHot, Button(0)->State());
  EXPECT_EQ(TdxBarCaptionButton::StateNormal, Button(1)->State());
  ASSERT_EQ(1u, window.Requests.size());
  EXPECT_TRUE(window.Requests[0].Show);
  EXPECT_EQ(L"按钮0", window.Requests[0].Hint);
  EXPECT_EQ(Button(0), window.Requests[0].Object);

  buttons->UpdateButtonStates(TPoint(70, 10), true);
  EXPECT_EQ(TdxBarCaptionButton::StatePressed, Button(0)->State());
  ASSERT_EQ(2u, window.Requests.size());
  EXPECT_FALSE(window.Requests[1].Show) << "a pressed button withdraws its hint";

  // Leaving: normal again, and no request for an unchanged state.
  buttons->UpdateButtonStates(TPoint(0, 0), false);
  EXPECT_EQ(TdxBarCaptionButton::StateNormal, Button(0)->State());
  EXPECT_EQ(3u, window.Requests.size());
  buttons->UpdateButtonStates(TPoint(0, 0), false);
  EXPECT_EQ(3u, window.Requests.size());
  EXPECT_GT(window.FrameRefreshes, 0) << "a changed state repaints the caption";
}

TEST_F(dxBarCaptionButtonsTest, DisabledButtonKeepsItsStateAndIsNeverHit) {
  Button(1)->SetEnabled(false);
  EXPECT_EQ(TdxBarCaptionButton::StateDisabled, Button(1)->State());
  buttons->UpdateButtonStates(TPoint(80, 10), true);
  EXPECT_EQ(TdxBarCaptionButton::StateDisabled, Button(1)->State());
  EXPECT_EQ(-1, buttons->IndexOfButtonAt(TPoint(80, 10)));
  EXPECT_EQ(2, buttons->IndexOfButtonAt(TPoint(92, 19)));
  EXPECT_EQ(-1, buttons->IndexOfButtonAt(TPoint(108, 10))) << "right edges are outside";
  Button(1)->SetEnabled(true);
  EXPECT_EQ(TdxBarCaptionButton::StateNormal, Button(1)->State());
  EXPECT_EQ(1, buttons->IndexOfButtonAt(TPoint(80, 10)));
}

TEST_F(dxBarCaptionButtonsTest, KeyboardSelectedButtonStaysHot) {
  Button(2)->SetSelectedByNavigation(true);
  buttons->UpdateButtonStates(TPoint(0, 0), false);
  EXPECT_EQ(TdxBarCaptionButton::StateHot, Button(2)->State());
  EXPECT_EQ(TdxBarCaptionButton::StateNormal, Button(0)->State());
}

TEST_F(dxBarCaptionButtonsTest, RectIsTheUnionOfThePlacedButtons) {
  EXPECT_EQ(TRect(60, 4, 108, 20), buttons->Rect());
  Button(2)->SetRect(TRect());
  EXPECT_EQ(TRect(60, 4, 92, 20), buttons->Rect());
  for (int i = 0; i < 3; ++i) Button(i)->SetRect(TRect());
  EXPECT_TRUE(buttons->Rect().IsEmpty());
}

TEST_F(dxBarCaptionButtonsTest, ClickFiresOnClickAndAFreedScreenTipIsForgotten) {
  struct TCounter : TObject {
    int Clicks = 0;
    TObject* Sender = nullptr;
    void Click(TObject* ASender) {
      ++Clicks;
      Sender = ASender;
    }
  } counter;
  Button(1)->SetOnClick(TNotifyEvent::Bind<&TCounter::Click>(&counter));
  Button(1)->Click();
  EXPECT_EQ(1, counter.Clicks);
  EXPECT_EQ(Button(1), counter.Sender);
  Button(0)->Click();  // no handler: nothing

  auto* repository = Make<TdxBarScreenTipRepository>(form.get());
  TdxBarScreenTip* tip = repository->Items()->Add();
  Button(0)->SetScreenTip(tip);
  TObject::Free(tip);
  EXPECT_EQ(nullptr, Button(0)->ScreenTip());
}

TEST_F(dxBarCaptionButtonsTest, AssignCopiesTheButton) {
  Button(0)->SetKeyTip(L"K");
  Button(0)->SetEnabled(false);
  TdxBarCaptionButton* copy = buttons->Add();
  copy->Assign(Button(0));
  EXPECT_EQ(L"按钮0", copy->Hint());
  EXPECT_EQ(L"K", copy->KeyTip());
  EXPECT_FALSE(copy->Enabled());
  EXPECT_EQ(Button(0)->Rect(), copy->Rect());
}
