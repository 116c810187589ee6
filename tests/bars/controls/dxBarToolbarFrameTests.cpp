// The frame of a toolbar as values: hit test, sizing by an edge, keeping a
// floating toolbar on the screen, MDI button and caption button places, menu
// item stacking and the strip where a bar touches its owner.
#include "bars/controls/dxBarControls.h"
#include "bars/controls/dxBarToolbarFrame.h"

#include <gtest/gtest.h>

namespace {

// A floating toolbar 100 x 60 with 4-pixel resize bands.
TdxBarFrameHitTestInput Floating(int AInherited, TPoint AWindow) {
  TdxBarFrameHitTestInput input;
  input.Inherited = AInherited;
  input.DockingStyle = dsNone;
  input.Window = AWindow;
  input.Client = TPoint(AWindow.X - 4, AWindow.Y - 22);
  input.WindowSize = TSize(100, 60);
  input.BorderSizeX = 4;
  input.BorderSizeY = 4;
  return input;
}

TdxBarFrameHitTestInput Docked(TdxBarDockingStyle AStyle, int AInherited, TPoint AClient) {
  TdxBarFrameHitTestInput input;
  input.Inherited = AInherited;
  input.DockingStyle = AStyle;
  input.Client = AClient;
  return input;
}

}  // namespace

TEST(dxBarToolbarFrame, FloatingHitTestGivesEdgesCloseButtonAndMoveZone) {
  struct TCase {
    const char* Name;
    TdxBarFrameHitTestInput Input;
    int Answer, HitTest;
  };
  auto with = [](TdxBarFrameHitTestInput AInput, auto AChange) {
    AChange(AInput);
    return AInput;
  };
  const TCase cases[] = {
      {"top band", Floating(HTNOWHERE, TPoint(50, 2)), HTTOP, 0},
      {"right band", Floating(HTNOWHERE, TPoint(97, 30)), HTRIGHT, 0},
      {"bottom band", Floating(HTNOWHERE, TPoint(50, 58)), HTBOTTOM, 0},
      {"left band", Floating(HTNOWHERE, TPoint(1, 30)), HTLEFT, 0},
      {"top-right corner is the top band", Floating(HTNOWHERE, TPoint(98, 1)), HTTOP, 0},
      {"caption", Floating(HTNOWHERE, TPoint(30, 10)), HTCLIENT, HTCAPTION},
      {"close button", with(Floating(HTNOWHERE, TPoint(90, 10)), [](auto& I) { I.OverCloseButton = true; }),
       HTCLIENT, HTCLOSE},
      {"system close button",
       with(Floating(HTNOWHERE, TPoint(90, 10)), [](auto& I) { I.OverCloseButton = I.UseSystemClose = true; }),
       HTCLOSE, HTCLIENT},
      {"mark", with(Floating(HTNOWHERE, TPoint(70, 10)), [](auto& I) { I.OverMark = true; }), HTCLIENT, HTCLIENT},
      {"mark while customizing moves",
       with(Floating(HTNOWHERE, TPoint(70, 10)), [](auto& I) { I.OverMark = I.Customizing = true; }), HTCLIENT,
       HTCAPTION},
      {"caption button", with(Floating(HTNOWHERE, TPoint(60, 10)), [](auto& I) { I.OverCaptionButton = true; }),
       HTCLIENT, HTOBJECT},
      {"item", with(Floating(HTCLIENT, TPoint(30, 30)), [](auto& I) { I.OverItem = true; }), HTCLIENT, 0},
      {"free client area", Floating(HTCLIENT, TPoint(30, 30)), HTCLIENT, HTCAPTION},
      {"unmoved keeps the system's answer",
       with(Floating(HTNOWHERE, TPoint(50, 2)), [](auto& I) { I.Unmoved = true; }), HTNOWHERE, HTNOWHERE},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TdxBarFrameHitTest result = dxBarFrameHitTest(c.Input);
    EXPECT_EQ(c.Answer, result.Answer);
    EXPECT_EQ(c.HitTest, result.HitTest);
  }
}

TEST(dxBarToolbarFrame, DockedHitTestMovesByTheFreeAreaAndKeepsMarkAndGrip) {
  auto with = [](TdxBarFrameHitTestInput AInput, auto AChange) {
    AChange(AInput);
    return AInput;
  };
  struct TCase {
    const char* Name;
    TdxBarFrameHitTestInput Input;
    int Answer, HitTest;
  };
  const TCase cases[] = {
      {"gripper", Docked(dsTop, HTNOWHERE, TPoint(-3, 5)), HTCLIENT, HTCAPTION},
      {"item", with(Docked(dsTop, HTCLIENT, TPoint(10, 5)), [](auto& I) { I.OverItem = true; }), HTCLIENT, HTCLIENT},
      {"free client area", Docked(dsTop, HTCLIENT, TPoint(10, 5)), HTCLIENT, HTCAPTION},
      {"mark", with(Docked(dsTop, HTCLIENT, TPoint(90, 5)), [](auto& I) { I.OverMark = true; }), HTCLIENT, 0},
      {"MDI button", with(Docked(dsTop, HTCLIENT, TPoint(80, 5)), [](auto& I) { I.OverMDIArea = true; }), HTCLIENT, 0},
      // Before the client area the mark rectangle's test does not count.
      {"mark test before the client area",
       with(Docked(dsLeft, HTNOWHERE, TPoint(3, -2)), [](auto& I) { I.OverMark = true; }), HTCLIENT, HTCAPTION},
      {"size grip", with(Docked(dsBottom, HTNOWHERE, TPoint(300, 5)), [](auto& I) { I.OverSizeGrip = true; }),
       HTBOTTOMRIGHT, HTBOTTOMRIGHT},
      {"other system answer", Docked(dsTop, HTBORDER, TPoint(0, 0)), HTCLIENT, HTBORDER},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TdxBarFrameHitTest result = dxBarFrameHitTest(c.Input);
    EXPECT_EQ(c.Answer, result.Answer);
    EXPECT_EQ(c.HitTest, result.HitTest);
  }
}

TEST(dxBarToolbarFrame, FloatingToolbarOutsideEveryMonitorComesBack) {
  const std::vector<TRect> areas{TRect(0, 0, 1280, 770), TRect(1280, 0, 2560, 1024)};
  bool moved = false;
  // On a work area: left as it is.
  EXPECT_EQ(TRect(-50, 10, 50, 40), dxBarKeepFloatingRectOnScreen(TRect(-50, 10, 50, 40), areas, areas[0], moved));
  EXPECT_FALSE(moved);
  // Left of everything: back to the left edge of the area under the mouse.
  EXPECT_EQ(TRect(0, 300, 100, 330), dxBarKeepFloatingRectOnScreen(TRect(-400, 300, -300, 330), areas, areas[0], moved));
  EXPECT_TRUE(moved);
  // Below the first monitor only (the second is taller): it meets the second, stays.
  EXPECT_EQ(TRect(1300, 900, 1400, 930),
            dxBarKeepFloatingRectOnScreen(TRect(1300, 900, 1400, 930), areas, areas[0], moved));
  EXPECT_FALSE(moved);
  // Beyond the right and the bottom: corrected on both axes.
  EXPECT_EQ(TRect(2460, 994, 2560, 1024),
            dxBarKeepFloatingRectOnScreen(TRect(3000, 2000, 3100, 2030), areas, areas[1], moved));
  EXPECT_TRUE(moved);
  // Above and left.
  EXPECT_EQ(TRect(0, 0, 100, 30), dxBarKeepFloatingRectOnScreen(TRect(-200, -100, -100, -70), areas, areas[0], moved));
}

TEST(dxBarToolbarFrame, MDIButtonsLieAtTheEndOfTheBar) {
  TdxBarMDIButtonsGeometry g;
  g.Client = TSize(400, 22);
  g.MarkAreaSize = 11;
  g.ButtonWidth = 16;
  g.ButtonHeight = 14;
  g.MDIAreaLength = 3 * 16 + 2;
  // Single row, horizontal: centred across, the close button 2 pixels apart.
  EXPECT_EQ(TRect(339, 4, 355, 18), dxBarMDIButtonRect(g, 0));
  EXPECT_EQ(TRect(355, 4, 371, 18), dxBarMDIButtonRect(g, 1));
  EXPECT_EQ(TRect(373, 4, 389, 18), dxBarMDIButtonRect(g, 2));
  // Only the close button: the last square before the mark.
  g.ShowsMDIButtons = false;
  g.MDIAreaLength = 16;
  EXPECT_EQ(TRect(373, 4, 389, 18), dxBarMDIButtonRect(g, 2));
  // Multi-row: a row of their own puts them against the far side; sharing the
  // last row centres them in it.
  g.ShowsMDIButtons = true;
  g.MDIAreaLength = 50;
  g.MultiRow = true;
  g.Client = TSize(400, 44);
  g.OwnRow = true;
  EXPECT_EQ(TRect(339, 30, 355, 44), dxBarMDIButtonRect(g, 0));
  g.OwnRow = false;
  g.LastRowHeight = 22;
  EXPECT_EQ(TRect(339, 26, 355, 40), dxBarMDIButtonRect(g, 0));
  // Vertical: along runs downwards, across from the right edge, sizes exchanged.
  TdxBarMDIButtonsGeometry v;
  v.Client = TSize(24, 300);
  v.Vertical = true;
  v.MarkAreaSize = 11;
  v.ButtonWidth = 16;
  v.ButtonHeight = 14;
  v.MDIAreaLength = 3 * 14 + 2;
  EXPECT_EQ(TRect(4, 245, 20, 259), dxBarMDIButtonRect(v, 0));
  EXPECT_EQ(TRect(4, 275, 20, 289), dxBarMDIButtonRect(v, 2));
}

TEST(dxBarToolbarFrame, CaptionButtonsFillTheCaptionFromTheRight) {
  const TRect caption(4, 4, 100, 20);
  const std::vector<TRect> rects = dxBarLayoutCaptionButtons(caption, 80, 3);
  ASSERT_EQ(3u, rects.size());
  EXPECT_EQ(TRect(64, 4, 80, 20), rects[0]);
  EXPECT_EQ(TRect(48, 4, 64, 20), rects[1]);
  EXPECT_EQ(TRect(32, 4, 48, 20), rects[2]);
  // Buttons that find no room stay unplaced.
  const std::vector<TRect> crowded = dxBarLayoutCaptionButtons(caption, 30, 2);
  EXPECT_EQ(TRect(14, 4, 30, 20), crowded[0]);
  EXPECT_TRUE(crowded[1].IsEmpty());
}

TEST(dxBarToolbarFrame, MenuItemsStackAndThePartialOneOnlyWhenAllowed) {
  const std::vector<TdxBarMenuItemExtent> items{{0, 20}, {10, 20}, {0, 20}};
  const TRect area(2, 2, 102, 60);
  TdxBarMenuItemPlacement whole = dxBarPlaceMenuItems(area, items, false);
  EXPECT_EQ(TRect(2, 2, 102, 22), whole.Rects[0]);
  EXPECT_EQ(TRect(2, 32, 102, 52), whole.Rects[1]);
  EXPECT_TRUE(whole.Rects[2].IsEmpty());
  EXPECT_EQ(52, whole.Bottom);
  TdxBarMenuItemPlacement partial = dxBarPlaceMenuItems(area, items, true);
  EXPECT_EQ(TRect(2, 52, 102, 72), partial.Rects[2]);
  EXPECT_EQ(60, partial.Bottom);
  EXPECT_EQ(2, dxBarPlaceMenuItems(TRect(0, 2, 10, 10), {{0, 20}}, false).Bottom);
}

TEST(dxBarToolbarFrame, OwnerLinkStripLiesWhereTheBarTouchesItsOwner) {
  const TRect bar(100, 50, 300, 200);
  struct TCase {
    const char* Name;
    TRect Owner;
    bool Adjacent;
    TRect Strip, InParent;
  };
  const TCase cases[] = {
      // A menu under its button: the top row, inside the button's span.
      {"owner above", TRect(120, 30, 180, 50), true, TRect(21, 0, 79, 1), TRect(121, 49, 179, 50)},
      {"owner below", TRect(250, 200, 330, 220), true, TRect(151, 149, 199, 150), TRect(251, 200, 299, 201)},
      {"owner left", TRect(60, 80, 100, 120), true, TRect(0, 31, 1, 69), TRect(99, 81, 100, 119)},
      {"owner right", TRect(300, 0, 340, 60), true, TRect(199, 1, 200, 9), TRect(300, 51, 301, 59)},
      {"apart", TRect(120, 10, 180, 40), false, TRect(), TRect()},
      {"corner only", TRect(40, 20, 100, 50), false, TRect(), TRect()},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(c.Adjacent, dxBarIsAdjacentToOwner(c.Owner, bar));
    EXPECT_EQ(c.Strip, dxBarCalcOwnerLinkRect(c.Owner, bar, false));
    EXPECT_EQ(c.InParent, dxBarCalcOwnerLinkRect(c.Owner, bar, true));
  }
}
