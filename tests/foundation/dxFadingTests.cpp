// Fading: frames and their opacities step by step, timing limits, reversal,
// trimming, the real 10 ms timer, the system's menu-animation setting, and
// objects that go away while the fader still holds or calls them.
#include "foundation/dxFading.h"

#include "tests/foundation/dxGDIPlusTestsSupport.h"
#include "tests/support/MessagePump.h"

#include <string>

using namespace gptest;

namespace {

std::vector<std::string> gLog;

// 4 x 4 opaque 32-bit bitmap of one colour.
TBitmap* MakeImage(RGBQUAD color, int width = 4, int height = 4) {
  auto* bitmap = Make<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    auto* row = static_cast<RGBQUAD*>(bitmap->ScanLine(y));
    for (int x = 0; x < width; ++x) row[x] = color;
  }
  return bitmap;
}

// Normal look blue, hot look red: the red channel of a frame is its opacity.
class TFadeTarget : public TdxFadingObjectHelper {
 public:
  explicit TFadeTarget(std::string name = "target") : Name(std::move(name)) {}
  std::string Name;
  bool Allowed = true;
  bool ProvidesImages = true;
  int ImageHeight = 4;
  int InCount = dxFadeInDefaultAnimationFrameCount, InDelay = dxFadeInDefaultAnimationFrameDelay;
  int OutCount = dxFadeOutDefaultAnimationFrameCount, OutDelay = dxFadeOutDefaultAnimationFrameDelay;
  bool OverrideTiming = false;
  int Provided = 0;
  int DieOnRepaint = -1;   // frees itself in that repaint
  std::vector<int> Opacities;
  IdxFadingElementData* Data = nullptr;

  void AttachFadingData(IdxFadingElementData* AData) override {
    TdxFadingObjectHelper::AttachFadingData(AData);
    Data = AData;
    gLog.push_back(Name + ":attach");
  }
  void DetachFadingData() override {
    TdxFadingObjectHelper::DetachFadingData();
    Data = nullptr;
    gLog.push_back(Name + ":detach");
  }

 protected:
  bool CanFadeNow() override { return Allowed; }
  void RepaintOwner() override {
    TdxGPImage* frame = nullptr;
    if (Data && Data->GetFadingFrame(frame)) {
      TdxRGBColors bits;
      frame->GetBitmapBits(bits);
      Opacities.push_back(bits.empty() ? -1 : bits[0].rgbRed);
    }
    gLog.push_back(Name + ":repaint");
    if (int(Opacities.size()) == DieOnRepaint) {
      gLog.push_back(Name + ":died");
      TObject::Free(this);
    }
  }
  void CaptureFadeFrames(TBitmap*& AFadeOutImage, TBitmap*& AFadeInImage, int& AFadeInFrameCount,
                         int& AFadeInFrameDelay, int& AFadeOutFrameCount, int& AFadeOutFrameDelay) override {
    ++Provided;
    EXPECT_EQ(AFadeInFrameCount, 4);
    EXPECT_EQ(AFadeInFrameDelay, 15);
    EXPECT_EQ(AFadeOutFrameCount, 12);
    EXPECT_EQ(AFadeOutFrameDelay, 20);
    if (!ProvidesImages) return;
    AFadeOutImage = MakeImage(Quad(255, 0, 0, 255), 4, ImageHeight);
    AFadeInImage = MakeImage(Quad(0, 0, 255, 255), 4, ImageHeight);
    if (OverrideTiming) {
      AFadeInFrameCount = InCount;
      AFadeInFrameDelay = InDelay;
      AFadeOutFrameCount = OutCount;
      AFadeOutFrameDelay = OutDelay;
    }
  }
};

class dxFading : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dxGDIPlusClassesInitialize();
    dxFadingInitialize();
  }
  static void TearDownTestSuite() {
    dxFadingFinalize();
    dxGDIPlusClassesFinalize();
  }
  void SetUp() override {
    fader_ = dxGetFaderInstance();
    ASSERT_NE(fader_, nullptr);
    // The system's menu-animation setting is off under Wine: these tests switch fading on.
    fader_->SetState(fasEnabled);
    fader_->SetMaxAnimationCount(dxFadingDefaultMaxAnimationCount);
    gLog.clear();
  }
  void TearDown() override {
    fader_->Clear();
    fader_->SetState(fasDefault);
  }
  TdxFader* fader_ = nullptr;
};

TEST_F(dxFading, FadeInRunsFourFramesOfOneTickThenFinishes) {
  REQUIRE_GDIPLUS();
  TFadeTarget target;
  fader_->FadeIn(&target);
  ASSERT_TRUE(fader_->Contains(&target));
  TdxFadingElement* element;
  ASSERT_TRUE(fader_->Find(&target, element));
  EXPECT_EQ(element->State(), fsFadeIn);
  EXPECT_EQ(element->FadingDelayCount(), 1);   // 15 ms / 10 ms
  EXPECT_TRUE(fader_->IsTimerEnabled());
  EXPECT_FALSE(target.IsEmpty());
  EXPECT_EQ(target.Opacities, (std::vector<int>{0}));   // starts from the normal image

  for (int tick = 0; tick < 4; ++tick) fader_->DoTimer();
  const int expected[] = {0, 64, 128, 192, 255};
  ASSERT_EQ(target.Opacities.size(), 5u);
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(target.Opacities[i], expected[i], 1) << "frame " << i;

  // The current frame is what the helper draws.
  TDib dib(8, 8, 0xFF000000);
  target.DrawImage(dib.DC(), TRect(0, 0, 8, 8));
  EXPECT_EQ(dib.At(7, 7), 0xFFFF0000u);

  gLog.clear();
  fader_->DoTimer();   // the last frame is done: the fade ends on the hot image
  EXPECT_EQ(gLog, (std::vector<std::string>{"target:repaint", "target:detach"}));
  EXPECT_EQ(target.Opacities.back(), 255);
  EXPECT_TRUE(target.IsEmpty());
  EXPECT_FALSE(fader_->Contains(&target));
  EXPECT_FALSE(fader_->IsTimerEnabled());
}

TEST_F(dxFading, FadeOutRunsTwelveFramesOfTwoTicks) {
  REQUIRE_GDIPLUS();
  TFadeTarget target;
  fader_->FadeOut(&target);
  TdxFadingElement* element;
  ASSERT_TRUE(fader_->Find(&target, element));
  EXPECT_EQ(element->FadingDelayCount(), 2);   // 20 ms / 10 ms
  EXPECT_EQ(target.Opacities, (std::vector<int>{255}));   // starts from the hot image
  for (int tick = 1; tick <= 24; ++tick) {
    fader_->DoTimer();
    EXPECT_EQ(target.Opacities.size(), size_t(1 + tick / 2)) << "tick " << tick;
  }
  for (int stage = 1; stage <= 12; ++stage) EXPECT_NEAR(target.Opacities[stage], 255 - 21 * stage, 1);
  EXPECT_EQ(TdxFadingElement::CalculateAlpha(fsFadeOut, 12, 12), 3);
  fader_->DoTimer();
  EXPECT_TRUE(fader_->Contains(&target));   // tick 25 is no frame
  fader_->DoTimer();
  EXPECT_FALSE(fader_->Contains(&target));
  EXPECT_EQ(target.Opacities.back(), 0);
}

TEST_F(dxFading, TimingIsLimited) {
  REQUIRE_GDIPLUS();
  struct Case {
    int inCount, inDelay, outCount, outDelay;
    int expInCount, expInDelay, expOutCount, expOutDelay;
  };
  const Case cases[] = {
      {100, 1000, 100, 1000, 32, 300, 32, 300},
      {0, 5, 0, 5, 4, 15, 12, 20},
      {-3, 9, -1, 9, 4, 15, 12, 20},
      {1, 10, 32, 10, 1, 10, 32, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.inCount);
    TFadeTarget target;
    target.OverrideTiming = true;
    target.InCount = c.inCount;
    target.InDelay = c.inDelay;
    target.OutCount = c.outCount;
    target.OutDelay = c.outDelay;
    fader_->FadeIn(&target);
    TdxFadingElement* element;
    ASSERT_TRUE(fader_->Find(&target, element));
    EXPECT_EQ(element->FadeInAnimationFrameCount(), c.expInCount);
    EXPECT_EQ(element->FadeInAnimationFrameDelay(), c.expInDelay);
    EXPECT_EQ(element->FadeOutAnimationFrameCount(), c.expOutCount);
    EXPECT_EQ(element->FadeOutAnimationFrameDelay(), c.expOutDelay);
    EXPECT_EQ(element->FadingDelayCount(), std::max(1, c.expInDelay / 10));
    fader_->Remove(&target);
  }
}

TEST_F(dxFading, ReversalMapsTheStageOntoTheNewDirection) {
  REQUIRE_GDIPLUS();
  TFadeTarget target;
  fader_->FadeIn(&target);
  fader_->DoTimer();
  fader_->DoTimer();
  TdxFadingElement* element;
  ASSERT_TRUE(fader_->Find(&target, element));
  ASSERT_EQ(element->Stage(), 2);
  fader_->FadeOut(&target);   // Round((1 - 2/5) x 12) = 7
  EXPECT_EQ(element->State(), fsFadeOut);
  EXPECT_EQ(element->Stage(), 7);
  EXPECT_EQ(element->FadingDelayCount(), 2);
  EXPECT_EQ(target.Provided, 1);   // the running fade turned round: no new images
  fader_->DoTimer();
  fader_->DoTimer();
  EXPECT_NEAR(target.Opacities.back(), 255 - 21 * 8, 1);
  fader_->FadeOut(&target);   // the same direction again changes nothing
  EXPECT_EQ(element->Stage(), 8);
  fader_->Remove(&target);
}

TEST_F(dxFading, ReversalRoundsHalvesToEven) {
  REQUIRE_GDIPLUS();
  struct Case {
    TdxFadingState from;
    int fromCount, stage, toCount, expected;
  };
  const Case cases[] = {
      {fsFadeOut, 12, 5, 4, 2},   // (1 - 5/13) x 4 = 2.46
      {fsFadeIn, 4, 1, 12, 10},   // (1 - 1/5) x 12 = 9.6
      {fsFadeIn, 3, 2, 5, 2},     // (1 - 2/4) x 5 = 2.5
      {fsFadeIn, 3, 2, 7, 4},     // 3.5
      {fsFadeIn, 3, 0, 7, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    TFadeTarget target;
    target.OverrideTiming = true;
    target.InCount = c.from == fsFadeIn ? c.fromCount : c.toCount;
    target.OutCount = c.from == fsFadeIn ? c.toCount : c.fromCount;
    target.InDelay = target.OutDelay = 10;   // one tick a frame
    if (c.from == fsFadeIn)
      fader_->FadeIn(&target);
    else
      fader_->FadeOut(&target);
    for (int i = 0; i < c.stage; ++i) fader_->DoTimer();
    TdxFadingElement* element;
    ASSERT_TRUE(fader_->Find(&target, element));
    ASSERT_EQ(element->Stage(), c.stage);
    if (c.from == fsFadeIn)
      fader_->FadeOut(&target);
    else
      fader_->FadeIn(&target);
    EXPECT_EQ(element->Stage(), c.expected);
    fader_->Remove(&target);
  }
}

TEST_F(dxFading, FewerAllowedAnimationsFinishTheOldest) {
  REQUIRE_GDIPLUS();
  TFadeTarget a("a"), b("b"), c("c");
  fader_->FadeIn(&a);
  fader_->FadeIn(&b);
  fader_->FadeIn(&c);
  ASSERT_EQ(fader_->Count(), 3);
  gLog.clear();
  fader_->SetMaxAnimationCount(1);
  EXPECT_EQ(gLog, (std::vector<std::string>{"a:repaint", "a:detach", "b:repaint", "b:detach"}));
  EXPECT_EQ(fader_->Count(), 1);
  EXPECT_TRUE(fader_->Contains(&c));
  // A new fade beyond the limit finishes the oldest one.
  TFadeTarget d("d");
  gLog.clear();
  fader_->FadeIn(&d);
  EXPECT_EQ(gLog, (std::vector<std::string>{"d:attach", "d:repaint", "c:repaint", "c:detach"}));
  fader_->SetMaxAnimationCount(-5);
  EXPECT_EQ(fader_->MaxAnimationCount(), 0);
  EXPECT_EQ(fader_->Count(), 0);
  fader_->SetMaxAnimationCount(50);
  EXPECT_EQ(fader_->MaxAnimationCount(), 20);
}

TEST_F(dxFading, ObjectsThatCannotFadeAreLeftAlone) {
  REQUIRE_GDIPLUS();
  TFadeTarget refuses, noImages, emptyImages;
  refuses.Allowed = false;
  noImages.ProvidesImages = false;
  emptyImages.ImageHeight = 0;
  TObject notFadable;
  for (TObject* o : std::initializer_list<TObject*>{&refuses, &noImages, &emptyImages, &notFadable, nullptr})
    fader_->FadeIn(o);
  EXPECT_EQ(fader_->Count(), 0);
  EXPECT_EQ(refuses.Provided, 0);
  EXPECT_EQ(noImages.Provided, 1);
  EXPECT_TRUE(gLog.empty());
  EXPECT_FALSE(fader_->IsTimerEnabled());

  fader_->SetState(fasDisabled);
  EXPECT_FALSE(fader_->IsReady());
  TFadeTarget target;
  fader_->FadeIn(&target);
  EXPECT_EQ(target.Provided, 0);
}

TEST_F(dxFading, MenuAnimationSettingDecidesByDefault) {
  REQUIRE_GDIPLUS();
  BOOL saved = FALSE;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &saved, 0));
  auto setAnimation = [](BOOL on) {
    return SystemParametersInfoW(SPI_SETMENUANIMATION, 0, reinterpret_cast<void*>(intptr_t(on)), 0) != FALSE;
  };
  fader_->SetState(fasDefault);
  bool changeable = true;
  for (BOOL on : {FALSE, TRUE}) {
    SCOPED_TRACE(on);
    if (!setAnimation(on)) {
      changeable = false;
      break;
    }
    EXPECT_EQ(fader_->IsReady(), on != FALSE);
    TFadeTarget target;
    fader_->FadeIn(&target);
    EXPECT_EQ(fader_->Contains(&target), on != FALSE);
    fader_->Remove(&target);
  }
  setAnimation(saved);
  if (!changeable) GTEST_SKIP() << "the menu-animation setting cannot be changed here";
  fader_->SetState(fasEnabled);
  EXPECT_TRUE(fader_->IsReady());
}

TEST_F(dxFading, TheTimerRunsTheFadeToItsEnd) {
  REQUIRE_GDIPLUS();
  TFadeTarget target;
  fader_->FadeIn(&target);
  ASSERT_TRUE(fader_->IsTimerEnabled());
  // The system's ticks, however late they come, each run one frame.
  EXPECT_TRUE(PumpMessagesUntil([&] { return !fader_->Contains(&target); }));
  EXPECT_EQ(target.Opacities.size(), 6u);   // first frame, four steps, last frame
  EXPECT_TRUE(target.IsEmpty());
  EXPECT_FALSE(fader_->IsTimerEnabled());
}

// ---------------------------------------------------------------------------
// Objects that go away
// ---------------------------------------------------------------------------

TEST_F(dxFading, RemoveCallsBackOnlyWhenTheObjectStays) {
  REQUIRE_GDIPLUS();
  TFadeTarget staying("s"), leaving("l");
  fader_->FadeIn(&staying);
  fader_->FadeIn(&leaving);
  gLog.clear();
  fader_->Remove(&staying);
  EXPECT_EQ(gLog, (std::vector<std::string>{"s:repaint", "s:detach"}));
  gLog.clear();
  fader_->Remove(&leaving, true);   // from a destructor: not a word back
  EXPECT_TRUE(gLog.empty());
  EXPECT_EQ(fader_->Count(), 0);
}

TEST_F(dxFading, AHelperFreedWhileFadingLeavesTheFader) {
  REQUIRE_GDIPLUS();
  auto* target = Make<TFadeTarget>();
  TFadeTarget other("other");
  fader_->FadeIn(target);
  fader_->FadeIn(&other);
  gLog.clear();
  TObject::Free(target);
  EXPECT_TRUE(gLog.empty());
  EXPECT_EQ(fader_->Count(), 1);
  for (int i = 0; i < 6; ++i) fader_->DoTimer();
  EXPECT_FALSE(fader_->Contains(&other));
}

TEST_F(dxFading, AnObjectFreedFromItsOwnRepaintIsNotCalledAgain) {
  REQUIRE_GDIPLUS();
  struct Case {
    const char* name;
    int dieOnRepaint;   // 1: the first frame, 3: a frame step, 6: the finishing frame
    int ticks;
  };
  for (const Case& c : {Case{"first frame", 1, 3}, Case{"frame step", 3, 6}, Case{"finishing frame", 6, 6}}) {
    SCOPED_TRACE(c.name);
    gLog.clear();
    auto* target = Make<TFadeTarget>();
    target->DieOnRepaint = c.dieOnRepaint;
    TFadeTarget bystander("bystander");
    fader_->FadeIn(&bystander);
    fader_->FadeIn(target);
    const void* dead = target;
    for (int i = 0; i < c.ticks; ++i) fader_->DoTimer();
    const auto died = std::find(gLog.begin(), gLog.end(), "target:died");
    ASSERT_NE(died, gLog.end());
    EXPECT_EQ(std::find(died, gLog.end(), "target:detach"), gLog.end());
    EXPECT_EQ(std::find(died + 1, gLog.end(), "target:repaint"), gLog.end());
    for (int i = 0; i < fader_->Count(); ++i) EXPECT_NE(static_cast<const void*>(fader_->Items(i)->Element()), dead);
    fader_->Clear();
  }
}

TEST_F(dxFading, ShutdownDetachesTheObjectsStillFading) {
  REQUIRE_GDIPLUS();
  TFadeTarget target;
  fader_->FadeIn(&target);
  auto* fader = Make<TdxFader>();   // a second fader to free: the process's one stays
  fader->SetState(fasEnabled);
  TFadeTarget other("other");
  fader->FadeIn(&other);
  EXPECT_FALSE(other.IsEmpty());
  TObject::Free(fader);
  EXPECT_TRUE(other.IsEmpty());
  EXPECT_EQ(gLog.back(), "other:detach");
}

// ---------------------------------------------------------------------------
// Without GDI+
// ---------------------------------------------------------------------------

TEST_F(dxFading, WithoutGdiPlusNothingFades) {
  REQUIRE_NO_GDIPLUS();
  EXPECT_FALSE(fader_->IsReady());
  TFadeTarget target;
  fader_->FadeIn(&target);
  fader_->FadeOut(&target);
  EXPECT_EQ(target.Provided, 0);
  EXPECT_EQ(fader_->Count(), 0);
  fader_->DoTimer();
  TDib dib(4, 4, 0xFF123456);
  target.DrawImage(dib.DC(), TRect(0, 0, 4, 4));
  EXPECT_EQ(dib.At(1, 1), 0xFF123456u);
}

}  // namespace
