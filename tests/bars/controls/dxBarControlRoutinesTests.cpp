// The bar module's routines about bar windows (the active one, the root of a
// chain, the popup that hosts a control) and the item classes the bar
// windows' start-up registers.
#include "bars/controls/dxBarControlRoutines.h"
#include "tests/bars/controls/dxBarControlsTestSupport.h"

#include "bars/controls/dxBarItemControls.h"
#include "foundation/cxContainerPopup.h"
#include "platform/gui/StdCtrls.h"

#include <gtest/gtest.h>

namespace {

TEST(dxBarControlsModule, StartUpRegistersTheItemClassesAgainstTheirControls) {
  TdxBarItemList* registry = dxBarSharedItemClassRegistry();
  ASSERT_NE(registry, nullptr);
  const struct {
    TClass item, control;
  } rows[] = {{TdxBarButton::StaticClass(), TdxBarButtonControl::StaticClass()},
              {TdxBarLargeButton::StaticClass(), TdxBarLargeButtonControl::StaticClass()}};
  for (int i = 0; i < static_cast<int>(std::size(rows)); ++i) {
    EXPECT_EQ(registry->ItemClassAt(i), rows[i].item) << i;
    EXPECT_EQ(registry->ItemControlClassOf(rows[i].item), rows[i].control) << i;
    EXPECT_EQ(registry->NthVisibleItemClass(i), rows[i].item) << i;
  }
}

TEST_F(TBarWindowTest, TheRootOfAChainOfBarsAndTheActiveBar) {
  TdxBar* first = AddToolbar({L"One", L"Two"});
  TdxBar* second = AddToolbar({L"Three"});
  TdxBarControl* a = ControlOf(first);
  TdxBarControl* b = ControlOf(second);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(dxBarRootParentControl(a), a);
  EXPECT_EQ(dxBarRootParentControl(nullptr), nullptr);
  EXPECT_EQ(dxBarRootNonSubMenuControl(a), a);
  EXPECT_EQ(dxBarItemControlRootBar(ButtonControl(first, 1)), a);
  EXPECT_EQ(dxBarItemControlRootToolbar(ButtonControl(first, 1)), a);
  EXPECT_EQ(dxBarItemControlRootBar(nullptr), nullptr);
  b->SetParentBar(a);
  EXPECT_EQ(dxBarRootParentControl(b), a);
  EXPECT_EQ(dxBarItemControlRootBar(ButtonControl(second, 0)), a);
  b->SetParentBar(nullptr);

  EXPECT_EQ(dxBarCurrentActiveControl(), nullptr);
  EXPECT_EQ(dxBarActiveManager(), nullptr);
  EXPECT_FALSE(dxBarActiveControlEnabled());
  a->SetIsActive(true);
  EXPECT_EQ(dxBarCurrentActiveControl(), a);
  EXPECT_EQ(dxBarActiveManager(), Manager);
  EXPECT_TRUE(dxBarActiveControlEnabled());
  EnableWindow(a->Handle(), FALSE);
  EXPECT_FALSE(dxBarActiveControlEnabled());
  EnableWindow(a->Handle(), TRUE);
  a->SetIsActive(false);
  EXPECT_EQ(dxBarCurrentActiveControl(), nullptr);
}

class TPlainPopup : public TcxCustomPopupWindow {
 public:
  explicit TPlainPopup(TWinControl* AOwnerControl) : TcxCustomPopupWindow(AOwnerControl) {}
};

TEST(dxBarControlRoutines, TheHostPopupOfAControlInsideIt) {
  TObjectPtr<TForm> form(Make<TForm>(nullptr, 0));
  auto* owner = Make<TEdit>(form.get());
  owner->SetParent(form.get());
  owner->HandleNeeded();
  TObjectPtr<TPlainPopup> popup(Make<TPlainPopup>(owner));
  auto* content = Make<TEdit>(popup.get());
  content->SetParent(popup.get());
  content->HandleNeeded();
  EXPECT_EQ(dxBarFindHostPopupWindow(content, false), popup.get());
  EXPECT_EQ(dxBarFindHostPopupWindow(content, true), popup.get());
  EXPECT_EQ(dxBarFindHostPopupWindow(popup.get(), false), nullptr) << "not its own host";
  EXPECT_EQ(dxBarFindHostPopupWindow(owner, true), nullptr);
  auto* windowless = Make<TEdit>(popup.get());
  windowless->SetParent(popup.get());
  EXPECT_EQ(dxBarFindHostPopupWindow(windowless, false), nullptr) << "no window";
  EXPECT_EQ(dxBarFindHostPopupWindow(nullptr, false), nullptr);
}

}  // namespace
