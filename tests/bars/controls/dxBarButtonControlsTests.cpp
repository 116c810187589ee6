// Button controls: the delayed drop-down timers (driven, never waited for),
// drop-downs on toolbars by real mouse messages, the drop-down keys, and the
// images and sizes of large buttons.
#include "bars/controls/dxBarPainter.h"
#include "platform/gui/ImgList.h"
#include "tests/bars/controls/dxBarControlsTestSupport.h"
#include "tests/support/TestObjects.h"

namespace {

// Stands in for the drop-down menu that comes with the menu windows: opening
// and closing are counted, the state is the button's own.
class TStandInDropDownControl : public TdxBarButtonControl {
  DECLARE_CLASS(TStandInDropDownControl, TdxBarButtonControl)
  using TdxBarButtonControl::TdxBarButtonControl;
  void DropDown(bool) override {
    if (FDroppedDown) return;
    FDroppedDown = true;
    ++Opened;
  }
  bool IsDroppedDown() override { return FDroppedDown; }
  void CloseUp(bool AHasSubMenu) override {
    if (FDroppedDown) ++Closed;
    TdxBarButtonControl::CloseUp(AHasSubMenu);
  }
  int Opened = 0;
  int Closed = 0;
};

class TStandInDropDownButton : public TdxBarButton {
  DECLARE_CLASS(TStandInDropDownButton, TdxBarButton)
  explicit TStandInDropDownButton(TComponent* AOwner) : TdxBarButton(AOwner) { SetButtonStyle(bsDropDown); }
};

// A drop-down button whose menu is any links with a bar control: the
// button's own control opens and closes it.
class TLinksMenuButton : public TdxBarButton {
  DECLARE_CLASS(TLinksMenuButton, TdxBarButton)
  explicit TLinksMenuButton(TComponent* AOwner) : TdxBarButton(AOwner) { SetButtonStyle(bsDropDown); }
  TdxBarItemLinks* ItemLinks() override { return Menu; }
  TdxBarItemLinks* Menu = nullptr;
};

BEGIN_CLASS(TStandInDropDownButton, TdxBarButton, (ConstructWith<TStandInDropDownButton, TComponent>))
END_CLASS
BEGIN_CLASS(TLinksMenuButton, TdxBarButton, (ConstructWith<TLinksMenuButton, TComponent>))
END_CLASS
IMPLEMENT_CLASS(TStandInDropDownControl, TdxBarButtonControl,
                (ConstructWith<TStandInDropDownControl, TdxBarItemLink>))

class TButtonControlTest : public TBarWindowTest {
 protected:
  void SetUp() override {
    TBarWindowTest::SetUp();
    dxBarAddItemClassToRegistry(TStandInDropDownButton::StaticClass(), TStandInDropDownControl::StaticClass(), false);
    dxBarAddItemClassToRegistry(TLinksMenuButton::StaticClass(), TdxBarButtonControl::StaticClass(), false);
  }
  void TearDown() override {
    TBarWindowTest::TearDown();
    dxBarRemoveItemClassFromRegistry(TStandInDropDownButton::StaticClass());
    dxBarRemoveItemClassFromRegistry(TLinksMenuButton::StaticClass());
  }
  TdxBarItem* AddDropDownButton(TdxBarItemLinks* ALinks, const wchar_t* ACaption) {
    TdxBarItem* item = Manager->AddItem(TStandInDropDownButton::StaticClass());
    item->SetCaption(ACaption);
    ALinks->Add(item);
    PumpQueuedMessages();
    return item;
  }
  static TStandInDropDownControl* StandIn(TdxBarItemLink* ALink) {
    return dynamic_cast<TStandInDropDownControl*>(ALink->Control());
  }
};

// A bar that is neither a toolbar nor shown, as a menu in the making: its
// controls close their drop-downs late, as menu items do.
class TTestMenuControl : public TCustomdxBarControl {
  DECLARE_CLASS(TTestMenuControl, TCustomdxBarControl)
  using TCustomdxBarControl::TCustomdxBarControl;
  TdxBarKind Kind() const override { return bkSubMenu; }
  bool HidesOnDeactivate() override { return Hides; }
  void Hide() override {
    ++Hidden;
    TCustomdxBarControl::Hide();
  }
  bool Hides = false;
  int Hidden = 0;
};
IMPLEMENT_CLASS(TTestMenuControl, TCustomdxBarControl, (ConstructWith<TTestMenuControl, TComponent>))

struct TMenuControls : IdxBarLinksOwner {
  TdxBarManager* Manager;
  TdxBarItemLinks* Links;
  std::vector<TdxBarItemLink*> ItemLinks;
  TMenuControls(TdxBarManager* AManager, int ACount) : Manager(AManager) {
    Links = Make<TdxBarSubMenuControlItemLinks>(AManager, this);
    for (int i = 0; i < ACount; ++i) ItemLinks.push_back(Links->Add(AManager->AddItem(TStandInDropDownButton::StaticClass())));
    Links->CreateBarControl();
    for (TdxBarItemLink* link : ItemLinks) link->CreateControl();
  }
  ~TMenuControls() {
    Links->DestroyBarControl();
    TObject::Free(Links);
  }
  TStandInDropDownControl* Control(int AIndex) const {
    return dynamic_cast<TStandInDropDownControl*>(ItemLinks[AIndex]->Control());
  }
  TdxBarItemLinks* GetItemLinks() override { return Links; }
  IdxBarControl* CreateBarControl() override { return Make<TTestMenuControl>(Manager); }
  bool CanContainItem(TdxBarItem*, String&) override { return true; }
  TComponent* GetInstance() override { return nullptr; }
  TTestMenuControl* Menu() const { return dynamic_cast<TTestMenuControl*>(Links->BarControl()->BarControlObject()); }
};

struct TPressedWatch : TObject {
  TdxBarItemControl* Control = nullptr;
  int Clicks = 0;
  bool PressedDuringClick = false;
  void Click(TObject*) {
    ++Clicks;
    PressedDuringClick = Control->IsPressed();
  }
};

// Holds the primary mouse button down in the thread's key state (posted
// messages do not change it) until it goes.
struct TLeftButtonHeld {
  TLeftButtonHeld() { Set(0x80); }
  ~TLeftButtonHeld() { Set(0); }
  static void Set(BYTE AState) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_LBUTTON] = AState;
    SetKeyboardState(keys);
  }
};

}  // namespace

TEST_F(TButtonControlTest, DropDownOpensAfterTheDelayAndComingBackKeepsItOpen) {
  TMenuControls menu(Manager, 1);
  TStandInDropDownControl* control = menu.Control(0);
  ASSERT_NE(control, nullptr);
  control->BecomeActive(false, true);
  EXPECT_TRUE(dxBarDropDownOpenPending(control));
  EXPECT_NE(0u, dxBarDropDownOpenTimer());
  EXPECT_EQ(0, control->Opened);
  dxBarDropDownOpenTimerFired();
  EXPECT_EQ(1, control->Opened);
  EXPECT_FALSE(dxBarDropDownOpenPending(control));
  EXPECT_EQ(0u, dxBarDropDownOpenTimer());

  // Leaving schedules the closing; coming back before it fires keeps it open.
  control->BecomeInactive(false);
  EXPECT_TRUE(dxBarDropDownClosePending(control));
  control->BecomeActive(false, true);
  EXPECT_FALSE(dxBarDropDownClosePending(control));
  EXPECT_EQ(0u, dxBarDropDownCloseTimer());
  EXPECT_TRUE(control->IsDroppedDown());

  // Leaving for good closes it when the timer fires.
  control->BecomeInactive(false);
  dxBarDropDownCloseTimerFired();
  EXPECT_FALSE(control->IsDroppedDown());
  EXPECT_FALSE(control->IsActive());
  EXPECT_EQ(1, control->Closed);
}

TEST_F(TButtonControlTest, OnlyOneOpeningWaitsAndAGoingControlTakesItsTimersAlong) {
  TMenuControls menu(Manager, 2);
  TStandInDropDownControl* first = menu.Control(0);
  TStandInDropDownControl* second = menu.Control(1);
  first->BecomeActive(false, true);
  second->BecomeActive(false, true);
  EXPECT_FALSE(dxBarDropDownOpenPending(first));
  EXPECT_TRUE(dxBarDropDownOpenPending(second));
  dxBarDropDownOpenTimerFired();
  EXPECT_EQ(0, first->Opened);
  EXPECT_EQ(1, second->Opened);

  // An opening drop-down closes the one waiting to close at once.
  second->BecomeInactive(false);
  ASSERT_TRUE(dxBarDropDownClosePending(second));
  first->BecomeActive(true, true);
  EXPECT_FALSE(second->IsDroppedDown());
  EXPECT_TRUE(first->IsDroppedDown());

  // A control that goes while its opening waits leaves no timer behind.
  second->BecomeActive(false, true);
  ASSERT_TRUE(dxBarDropDownOpenPending(second));
  menu.ItemLinks[1]->DestroyControl();
  EXPECT_EQ(0u, dxBarDropDownOpenTimer());
  dxBarDropDownOpenTimerFired();  // nothing left to run
}

TEST_F(TButtonControlTest, OnAToolbarADropDownOpensOnlyInPressedMode) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  AddDropDownButton(bar->ItemLinks(), L"导出");
  TStandInDropDownControl* dropDown = StandIn(bar->ItemLinks()->Items(1));
  ASSERT_NE(dropDown, nullptr);
  // Hovered, it only highlights: nothing opens, nothing waits. (The mouse
  // comes from the other button: a bar that appears under a resting cursor
  // does not hot-track until the mouse moves.)
  MouseMoveTo(ScreenCenter(bar, 0));
  MouseMoveTo(ScreenCenter(bar, 1));
  EXPECT_EQ(dropDown, ControlOf(bar)->SelectedControl());
  EXPECT_FALSE(dropDown->IsDroppedDown());
  EXPECT_FALSE(dxBarDropDownOpenPending(dropDown));
  // Pressed on another button and moved onto it with the button held, it opens at once.
  MouseMoveTo(ScreenCenter(bar, 0));
  {
    TLeftButtonHeld held;
    MouseDown(ScreenCenter(bar, 0));
    ASSERT_TRUE(ControlOf(bar)->IsDowned());
    MouseMoveTo(ScreenCenter(bar, 1));
  }
  EXPECT_EQ(1, dropDown->Opened);
  EXPECT_TRUE(dropDown->IsDroppedDown());
}

TEST_F(TButtonControlTest, PressOnTheArrowOpensAtOnceAndReleaseThereClicksNothing) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  TdxBarItem* item = AddDropDownButton(bar->ItemLinks(), L"导出");
  item->OnClick = TNotifyEvent::Bind<&TBarWindowForm::ButtonClick>(Form);
  TStandInDropDownControl* dropDown = StandIn(bar->ItemLinks()->Items(1));
  dropDown->RecalcState();
  ASSERT_EQ(2u, dropDown->Parts().size());
  const TRect arrow = dropDown->Parts()[1];
  const TPoint onArrow = ControlOf(bar)->ClientToScreen(TPoint((arrow.Left + arrow.Right) / 2, (arrow.Top + arrow.Bottom) / 2));
  MouseMoveTo(onArrow);
  ASSERT_EQ(1, dropDown->HotPartIndex());
  {
    TLeftButtonHeld held;
    MouseDown(onArrow);
  }
  EXPECT_EQ(1, dropDown->Opened);
  MouseUp(onArrow);
  EXPECT_TRUE(Form->Clicks.empty());
  // The face clicks, and the click closes the drop-down.
  const TPoint onFace = ControlOf(bar)->ClientToScreen(TPoint(dropDown->Parts()[0].Left + 3, (arrow.Top + arrow.Bottom) / 2));
  Click(onFace);
  EXPECT_EQ(1u, Form->Clicks.size());
  EXPECT_FALSE(dropDown->IsDroppedDown());
}

TEST_F(TButtonControlTest, DropDownKeysOpenTheSelectedButton) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  AddDropDownButton(bar->ItemLinks(), L"导出");
  TdxBarButtonControl* plain = ButtonControl(bar, 0);
  TStandInDropDownControl* dropDown = StandIn(bar->ItemLinks()->Items(1));
  const struct {
    Word Key;
    bool OnToolbar;
  } cases[] = {{VK_UP, true}, {VK_DOWN, true}, {VK_RIGHT, false}, {VK_LEFT, false}, {VK_RETURN, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Key);
    EXPECT_EQ(c.OnToolbar, dropDown->IsAcceleratorChar(c.Key));
    EXPECT_FALSE(plain->IsAcceleratorChar(c.Key));
  }
  // The toolbar in keyboard mode hands Down to its selected drop-down button,
  // which opens at once; on a plain button Down is the toolbar's own.
  TdxBarControl* control = ControlOf(bar);
  control->BarGetFocus(plain);
  SendMessageW(control->WindowHandle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_FALSE(control->IsDowned());
  control->BarGetFocus(dropDown);
  ASSERT_EQ(dropDown, control->SelectedControl());
  SendMessageW(control->WindowHandle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_TRUE(control->IsDowned());
  EXPECT_EQ(1, dropDown->Opened);
  EXPECT_TRUE(dropDown->IsDroppedDown());
  control->BarLostFocus();
}

TEST_F(TButtonControlTest, ArrowOpensTheButtonsMenuWhenItsDropDownIsOnAndAClickOnTheFaceClosesIt) {
  TMenuControls menu(Manager, 0);
  TdxBar* bar = AddToolbar({L"订单查询"});
  auto* item = static_cast<TLinksMenuButton*>(Manager->AddItem(TLinksMenuButton::StaticClass()));
  item->SetCaption(L"导出");
  item->OnClick = TNotifyEvent::Bind<&TBarWindowForm::ButtonClick>(Form);
  item->Menu = menu.Links;
  struct TForgetMenu {
    TLinksMenuButton* Item;
    ~TForgetMenu() { Item->Menu = nullptr; }
  } forget{item};
  bar->ItemLinks()->Add(item);
  PumpQueuedMessages();
  TdxBarButtonControl* control = ButtonControl(bar, 1);
  ASSERT_EQ(menu.Menu(), control->SubMenuControl());
  control->RecalcState();
  ASSERT_EQ(2u, control->Parts().size());
  const TRect arrow = control->Parts()[1];
  const TPoint onArrow =
      ControlOf(bar)->ClientToScreen(TPoint((arrow.Left + arrow.Right) / 2, (arrow.Top + arrow.Bottom) / 2));
  const TPoint onFace = ControlOf(bar)->ClientToScreen(TPoint(control->Parts()[0].Left + 3, (arrow.Top + arrow.Bottom) / 2));
  auto pressArrow = [&] {
    MouseMoveTo(onArrow);
    {
      TLeftButtonHeld held;
      MouseDown(onArrow);
    }
    MouseUp(onArrow);
  };
  // Switched off, the arrow opens nothing.
  item->SetDropDownEnabled(false);
  pressArrow();
  EXPECT_FALSE(control->IsDroppedDown());
  item->SetDropDownEnabled(true);
  ControlOf(bar)->BarLostFocus();
  pressArrow();
  EXPECT_TRUE(control->IsDroppedDown());
  control->FillDrawParams(true);
  EXPECT_TRUE(control->DrawParams()->DroppedDown);
  EXPECT_TRUE(Form->Clicks.empty());
  // The face clicks, and the click closes the menu.
  const int hidden = menu.Menu()->Hidden;
  Click(onFace);
  EXPECT_EQ(1u, Form->Clicks.size());
  EXPECT_FALSE(control->IsDroppedDown());
  EXPECT_EQ(hidden + 1, menu.Menu()->Hidden);
}

TEST_F(TBarWindowTest, LargeButtonSizesFollowItsImageCaptionAndOwnSize) {
  TdxBar* bar = AddToolbar({});
  auto* large = static_cast<TdxBarLargeButton*>(Manager->AddItem(TdxBarLargeButton::StaticClass()));
  large->SetCaption(L"材料库");
  bar->ItemLinks()->Add(large);
  PumpQueuedMessages();
  auto control = [&] { return dynamic_cast<TdxBarLargeButtonControl*>(bar->ItemLinks()->Items(0)->Control()); };
  ASSERT_NE(control(), nullptr);
  // Without an image the image area is 20 x 20; without the caption the
  // button is that area with its margins.
  large->SetShowCaption(false);
  EXPECT_EQ(TSize(20, 20), control()->GetImageSize(cvsLarge));
  EXPECT_EQ(20 + 10, control()->Width());
  EXPECT_EQ(20 + 6, control()->Height());
  // With the caption under the image: image, text and seven pixels between.
  large->SetShowCaption(true);
  large->SetGlyphLayout(glTop);
  const int text = ControlOf(bar)->cxCanvas()->TextHeight(L"Qq");
  EXPECT_EQ(20 + text + 7 + 6, control()->Height());
  // An explicit size wins.
  large->SetWidth(80);
  large->SetHeight(60);
  EXPECT_EQ(80, control()->Width());
  EXPECT_EQ(60, control()->Height());
}

TEST_F(TBarWindowTest, LargeButtonTakesItsHotImageFirstWhenHotAndItsLargeImageOtherwise) {
  auto makeList = [&](int ASize) {
    auto* list = Make<TImageList>(Form);
    list->SetWidth(ASize);
    list->SetHeight(ASize);
    auto* glyph = Make<TBitmap>();
    glyph->SetSize(ASize, ASize);
    list->Add(glyph, nullptr);
    TObject::Free(glyph);
    return list;
  };
  TImageList* hotImages = makeList(24);
  TImageList* largeImages = makeList(32);
  Manager->ImageOptions()->SetHotImages(hotImages);
  Manager->ImageOptions()->SetLargeImages(largeImages);
  TdxBar* bar = AddToolbar({});
  auto* large = static_cast<TdxBarLargeButton*>(Manager->AddItem(TdxBarLargeButton::StaticClass()));
  bar->ItemLinks()->Add(large);
  large->SetHotImageIndex(0);
  large->SetLargeImageIndex(0);
  PumpQueuedMessages();
  // (A change of the images may give the link a new control.)
  auto control = [&] {
    auto* result = dynamic_cast<TdxBarLargeButtonControl*>(bar->ItemLinks()->Items(0)->Control());
    result->FillDrawParams(true);
    return result;
  };
  ASSERT_EQ(cvsLarge, control()->DrawParams()->ViewSize());
  int index;
  TCustomImageList* list;
  TBitmap* glyph;
  EXPECT_TRUE(control()->ResolveImage(cvsLarge, true, index, list, glyph));
  EXPECT_EQ(hotImages, list);
  EXPECT_TRUE(control()->ResolveImage(cvsLarge, false, index, list, glyph));
  EXPECT_EQ(largeImages, list);
  EXPECT_EQ(TSize(24, 24), control()->GetImageSize(cvsLarge, true));
  // Without a large image the hot one serves the normal look too.
  large->SetSyncImageIndex(false);
  large->SetLargeImageIndex(-1);
  EXPECT_TRUE(control()->ResolveImage(cvsLarge, false, index, list, glyph));
  EXPECT_EQ(hotImages, list);
  // Without any image the large list is still named, with no index.
  large->SetHotImageIndex(-1);
  EXPECT_FALSE(control()->ResolveImage(cvsLarge, true, index, list, glyph));
  EXPECT_EQ(largeImages, list);
  EXPECT_EQ(-1, index);
}

TEST_F(TBarWindowTest, LargeButtonDrawsGreyOnlyWhileIdleEnabledAndAskedTo) {
  TdxBar* bar = AddToolbar({L"订单查询"});
  auto* large = static_cast<TdxBarLargeButton*>(Manager->AddItem(TdxBarLargeButton::StaticClass()));
  large->SetCaption(L"材料库");
  bar->ItemLinks()->Add(large);
  PumpQueuedMessages();
  auto control = [&] { return dynamic_cast<TdxBarLargeButtonControl*>(bar->ItemLinks()->Items(1)->Control()); };
  EXPECT_TRUE(control()->DrawsGrayScaleGlyph());
  MouseMoveTo(ScreenCenter(bar, 1));
  EXPECT_FALSE(control()->DrawsGrayScaleGlyph());  // selected
  MouseMoveTo(ScreenCenter(bar, 0));
  large->SetAutoGrayScale(false);
  EXPECT_FALSE(control()->DrawsGrayScaleGlyph());
  large->SetAutoGrayScale(true);
  large->SetEnabled(false);
  EXPECT_FALSE(control()->DrawsGrayScaleGlyph());
}

TEST_F(TButtonControlTest, InAMenuThatHidesOnDeactivationAClosingClickSkipsThePressedLook) {
  const bool sounds = dxBarMenuSoundsOn;
  dxBarMenuSoundsOn = false;  // the "MenuCommand" sound stays quiet here
  TMenuControls menu(Manager, 1);
  TStandInDropDownControl* control = menu.Control(0);
  auto* item = static_cast<TdxBarButton*>(control->Item());
  item->SetButtonStyle(bsDefault);
  item->SetUnclickAfterDoing(true);
  TPressedWatch watch;
  watch.Control = control;
  item->OnClick = TNotifyEvent::Bind<&TPressedWatch::Click>(&watch);
  const struct {
    bool Hides, ClosesMenus, Pressed;
  } cases[] = {{false, true, true}, {true, true, false}, {true, false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "hides " << c.Hides << " closes " << c.ClosesMenus);
    menu.Menu()->Hides = c.Hides;
    item->SetCloseSubMenuOnClick(c.ClosesMenus);
    watch.PressedDuringClick = !c.Pressed;
    control->ExecuteClick(false);
    EXPECT_EQ(c.Pressed, watch.PressedDuringClick);
    EXPECT_FALSE(control->IsPressed());
  }
  EXPECT_EQ(3, watch.Clicks);
  dxBarMenuSoundsOn = sounds;
}
