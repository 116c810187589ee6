// Operations on a manager's items and toolbars.
#include "tests/bars/model/dxBarTestSupport.h"

#include "platform/core/SysUtils.h"

#include <gtest/gtest.h>

namespace {

class dxBarOperationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(Make<TBarTestForm>(nullptr));
    manager = Make<TdxBarManager>(form.get());
  }
  TObjectPtr<TBarTestForm> form;
  TdxBarManager* manager = nullptr;
};

TEST_F(dxBarOperationsTest, NewToolbarTakesTheFirstFreeCustomCaption) {
  manager->AddToolBar()->SetCaption(L"Custom 1");
  manager->AddToolBar()->SetCaption(L"Custom 3");
  TdxBar* bar = manager->AddToolBar(false);
  EXPECT_EQ(bar->Caption(), L"Custom 2");
  EXPECT_TRUE(bar->Visible());
  EXPECT_FALSE(bar->OneOnRow());
  EXPECT_EQ(bar->DockingStyle(), dsTop);
  TdxBar* menu = manager->AddToolBar(true);
  EXPECT_TRUE(menu->IsMainMenu());
  EXPECT_EQ(menu->Row(), 0);
}

TEST_F(dxBarOperationsTest, NewToolbarFloatsBesideTheForm) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
  const struct {
    int left, top, floatLeft, floatTop;
  } cases[] = {
      {info.rcWork.left + 200, info.rcWork.top + 100, info.rcWork.left + 150, info.rcWork.top + 100},
      // At the left edge: right of the form instead; above the work area: just inside it.
      {info.rcWork.left, info.rcWork.top - 5, info.rcWork.left + 300 + 10, info.rcWork.top + 10},
  };
  for (const auto& c : cases) {
    form->SetBounds(c.left, c.top, 300, 200);
    TdxBar* bar = manager->AddToolBar(false);
    EXPECT_EQ(bar->FloatLeft(), c.floatLeft) << c.left;
    EXPECT_EQ(bar->FloatTop(), c.floatTop) << c.top;
  }
}

TEST_F(dxBarOperationsTest, ItemsByCategoryAndTheirExchange) {
  TdxBarItem* a = manager->AddButton();
  TdxBarItem* b = manager->AddButton();
  EXPECT_EQ(manager->GetCountByCategory(0), 2);
  EXPECT_EQ(manager->GetItemByCategory(0, 1), b);
  EXPECT_EQ(manager->GetItemByCategory(0, 2), nullptr);
  manager->ExchangeItems(0, 1);
  EXPECT_EQ(manager->GetItemByCategory(0, 0), b);
  EXPECT_EQ(manager->GetItemByCategory(0, 1), a);
}

TEST_F(dxBarOperationsTest, QueuedToolbarsShowAgainAndLeaveTheQueueWhenFreed) {
  TdxBar* first = manager->AddToolBar();
  TdxBar* second = manager->AddToolBar();
  manager->QueueBarRestore(first);  // no queue yet
  EXPECT_EQ(manager->RestoreQueueCount(), 0);
  manager->BeginBarRestoring();
  manager->QueueBarRestore(first);
  manager->QueueBarRestore(first);
  manager->QueueBarRestore(second);
  EXPECT_EQ(manager->RestoreQueueCount(), 2);
  manager->RestoreQueuedBars(nullptr);
  EXPECT_TRUE(first->Visible());
  EXPECT_TRUE(second->Visible());
  EXPECT_EQ(manager->RestoreQueueCount(), 2);
  manager->DeleteToolBar(first, false);
  EXPECT_EQ(manager->RestoreQueueIndexOf(second), 0);
  manager->FreeBarRestoring();
  EXPECT_EQ(manager->RestoreQueueIndexOf(second), -1);
}

}  // namespace
