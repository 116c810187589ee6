// Where the system panel of a drop-down window puts its strip and close
// button, by the corner of its size grip.
#include "bars/controls/dxBarSystemPanel.h"

#include <gtest/gtest.h>

TEST(dxBarSysPanel, PanelSideAndCloseButtonFollowTheGripCorner) {
  // The cases assume caption buttons wider than the panels below allow.
  ASSERT_GE(GetSystemMetrics(SM_CXSIZE), 10);
  struct Case {
    const char* Name;
    TRect Client;
    TdxCorner Corner;
    TRect Panel, Button;
    bool AtTop;
  } const cases[] = {
      // 14 high: 10 made odd is 9; at the left end, one pixel lower than centred.
      {"bottom right", TRect(1, 1, 99, 35), coBottomRight, TRect(1, 35, 99, 49), TRect(3, 38, 12, 47), false},
      {"bottom left", TRect(1, 1, 99, 35), coBottomLeft, TRect(1, 35, 99, 49), TRect(88, 38, 97, 47), false},
      {"top left", TRect(1, 15, 99, 49), coTopLeft, TRect(1, 1, 99, 15), TRect(88, 3, 97, 12), true},
      {"top right", TRect(1, 15, 99, 49), coTopRight, TRect(1, 1, 99, 15), TRect(3, 3, 12, 12), true},
      // 10 high: 6 made odd is 5.
      {"ten high", TRect(1, 1, 99, 39), coBottomRight, TRect(1, 39, 99, 49), TRect(3, 42, 8, 47), false},
      // Too low for a button: none, never a square of negative size.
      {"four high", TRect(1, 1, 99, 45), coBottomRight, TRect(1, 45, 99, 49), TRect(), false},
      {"thick border", TRect(3, 3, 97, 33), coBottomRight, TRect(3, 33, 97, 47), TRect(5, 36, 14, 45), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const TdxBarSysPanelLayout layout = dxBarCalcSysPanelLayout(TSize(100, 50), c.Client, c.Corner);
    EXPECT_EQ(c.Client.Left, layout.BorderWidth);
    EXPECT_EQ(c.AtTop, layout.AtTop);
    EXPECT_EQ(c.Panel, layout.Panel);
    EXPECT_EQ(c.Button, layout.CloseButton);
  }
}
