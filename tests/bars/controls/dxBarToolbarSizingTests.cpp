// A toolbar window's sizes and layout on a real form: the links it leaves
// out go to the overflow popup as copies, recent items shrink a short bar,
// large icons size an empty one, and dragged items find their drop place.
#include "bars/controls/dxBarPainter.h"
#include "tests/bars/controls/dxBarControlsTestSupport.h"

#include <algorithm>

namespace {

class TToolbarSizingTest : public TBarWindowTest {
 protected:
  // The links the overflow popup of the toolbar would show, as originals.
  std::vector<TdxBarItemLink*> OverflowOriginals(TdxBarControl* AControl) {
    TdxBar* popup = Manager->AddToolBar();  // an invisible bar lends its link collection
    AControl->FillOverflowLinks(popup->ItemLinks());
    std::vector<TdxBarItemLink*> result;
    for (int i = 0; i < popup->ItemLinks()->Count(); ++i) {
      TdxBarItemLink* copy = popup->ItemLinks()->Items(i);
      EXPECT_EQ(copy->OriginalItemLink()->Item(), copy->Item());
      result.push_back(copy->OriginalItemLink());
    }
    return result;
  }
};

}  // namespace

TEST_F(TToolbarSizingTest, LinksWithoutRoomGoToTheOverflowPopupAsCopies) {
  TdxBar* bar = AddToolbar({L"订单查询", L"订单管理", L"生产排单", L"材料库", L"退出系统"});
  TdxBarControl* control = ControlOf(bar);
  ASSERT_NE(control, nullptr);
  bar->ItemLinks()->SetUseRecentItems(false);  // every link stays displayed
  EXPECT_TRUE(OverflowOriginals(control).empty());
  // Narrow the form until the toolbar cannot show every link.
  const int full = control->CalcFullWidthForStyle(dsTop);
  Form->SetClientWidth(full / 2);
  PumpQueuedMessages();
  std::vector<TdxBarItemLink*> expected;
  for (int i = 0; i < bar->ItemLinks()->Count(); ++i)
    if (bar->ItemLinks()->Items(i)->ItemRect().IsEmpty()) expected.push_back(bar->ItemLinks()->Items(i));
  ASSERT_FALSE(expected.empty());
  EXPECT_FALSE(bar->ItemLinks()->Items(0)->ItemRect().IsEmpty());
  EXPECT_EQ(expected, OverflowOriginals(control));
  // The links left out are the last ones, in order.
  EXPECT_EQ(bar->ItemLinks()->Items(bar->ItemLinks()->Count() - 1), expected.back());
}

TEST_F(TToolbarSizingTest, ShortBarShowsTheRecentItemsThatFit) {
  Manager->SetStyle(bmsFlat);  // a look that shows recent items
  TdxBar* bar = AddToolbar({L"订单查询", L"订单管理", L"生产排单", L"材料库"});
  TdxBarControl* control = ControlOf(bar);
  ASSERT_NE(control, nullptr);
  TdxBarItemLinks* links = bar->ItemLinks();
  ASSERT_TRUE(links->RecentItemsActive());
  // The third and the first link were used last.
  links->Items(0)->BringToTopInRecentList(true);
  links->Items(2)->BringToTopInRecentList(true);
  const int first = ButtonControl(bar, 2)->Width();
  const int second = ButtonControl(bar, 0)->Width();
  const int mark = control->MarkAreaSize();
  // Room for exactly those two before the mark.
  const TPoint size = control->CalcSizeForLength(dsTop, first + second + mark + 1);
  EXPECT_EQ(2, links->RecentItemCount());
  EXPECT_EQ(first + second + mark, size.X);
  EXPECT_EQ(2, links->VisibleItemCount());
  EXPECT_EQ(links->Items(0), links->VisibleItems(0));  // shown in their bar order
  EXPECT_EQ(links->Items(2), links->VisibleItems(1));
  // The others reach the overflow popup.
  EXPECT_EQ(std::vector<TdxBarItemLink*>({links->Items(1), links->Items(3)}), OverflowOriginals(control));
  // A size for another style leaves the count as it is.
  control->CalcSizeForDockingStyle(dsNone);
  EXPECT_EQ(2, links->RecentItemCount());
}

TEST_F(TToolbarSizingTest, EmptyToolbarTakesTheButtonSizeOfTheGlyphSize) {
  TdxBar* bar = AddToolbar({});
  TdxBarControl* control = ControlOf(bar);
  ASSERT_NE(control, nullptr);
  const TdxBarPainter* painter = control->Painter();
  const int mark = control->MarkAreaSize();
  EXPECT_EQ(painter->GetButtonWidth(16, control->TextSize()) + mark, control->CalcWidthForStyle(dsTop));
  Manager->SetLargeIcons(true);
  EXPECT_EQ(painter->GetButtonWidth(32, control->TextSize()) + mark, control->CalcWidthForStyle(dsTop));
  EXPECT_EQ(painter->GetButtonHeight(32, control->TextSize()), control->CalcHeightForStyle(dsTop));
}

TEST_F(TToolbarSizingTest, DraggedItemsLandBeforeOrAfterTheLinkUnderThePoint) {
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库"});
  bar->SetWholeRow(true);  // free room after the last item
  TdxBarControl* control = ControlOf(bar);
  ASSERT_NE(control, nullptr);
  Dock(dsTop)->UpdateDock();
  PumpQueuedMessages();
  ASSERT_EQ(Dock(dsTop)->Width(), control->Width());
  TdxBarItemLink* first = bar->ItemLinks()->Items(0);
  TdxBarItemLink* last = bar->ItemLinks()->Items(1);
  const TRect r = last->ItemRect();
  struct TCase {
    TPoint Point;
    TdxBarItemLink* Link;
    bool Before;
  } cases[] = {
      {{r.Left + 2, r.Top + 2}, last, true},    // the near half of an item
      {{r.Right - 2, r.Top + 2}, last, false},  // its far half
      {{first->ItemRect().Left + 1, r.Top + 2}, first, true},
      // The free room after the row's last item: after that item.
      {{r.Right + 20, r.Top + 2}, last, false},
  };
  for (const TCase& c : cases) {
    TdxBarItemLink* link = nullptr;
    bool vertical = true, before = false, onSeparator = true;
    control->HitTestDropLink(c.Point, link, vertical, before, onSeparator);
    EXPECT_EQ(c.Link, link) << c.Point.X;
    EXPECT_EQ(c.Before, before) << c.Point.X;
    EXPECT_FALSE(vertical);
    EXPECT_FALSE(onSeparator);
  }
  // Outside the client area nothing is hit.
  TdxBarItemLink* link = first;
  bool vertical, before, onSeparator;
  control->HitTestDropLink(TPoint(-5, -5), link, vertical, before, onSeparator);
  EXPECT_EQ(nullptr, link);
}

TEST_F(TToolbarSizingTest, DragOffsetKeepsTheGrabPointInScale) {
  TdxBar* bar = AddToolbar({L"订单查询", L"材料库"});
  TdxBarControl* control = ControlOf(bar);
  ASSERT_NE(control, nullptr);
  // Grabbed at a quarter of the width and half of the height.
  control->RX = TPoint(25, 100);
  control->RY = TPoint(10, 20);
  const TPoint floating = control->CalcSizeForDockingStyle(dsNone);
  EXPECT_EQ(TPoint(MulDiv(floating.X, 25, 100), MulDiv(floating.Y, 10, 20)), control->DragOffsetForStyle(dsNone));
  // Back in the style the move began with, the cursor returns to where it grabbed.
  Manager->Bars()->SetMoving(true, TPoint(7, 9));
  Manager->Bars()->SetMovingBar(control, dsTop, TPoint(30, 4));
  EXPECT_EQ(TPoint(30, -9), control->DragOffsetForStyle(dsTop));
  EXPECT_EQ(TPoint(MulDiv(control->CalcSizeForDockingStyle(dsBottom).X, 25, 100),
                   MulDiv(control->CalcSizeForDockingStyle(dsBottom).Y, 10, 20)),
            control->DragOffsetForStyle(dsBottom));  // another style: in scale
  Manager->Bars()->SetMovingBar(control, dsLeft, TPoint(30, 4));
  EXPECT_EQ(TPoint(-7, 4), control->DragOffsetForStyle(dsLeft));
  Manager->Bars()->SetMovingBar(nullptr, dsNone, TPoint());
  Manager->Bars()->SetMoving(false);
}

TEST_F(TToolbarSizingTest, FloatingBarDraggedByItsRightEdgeWrapsIntoRows) {
  TdxBar* bar = AddToolbar({L"订单查询", L"订单管理", L"生产排单", L"材料库"}, dsNone);
  TdxBarControl* control = ControlOf(bar);
  ASSERT_NE(control, nullptr);
  RECT window;
  GetWindowRect(control->WindowHandle(), &window);
  auto size = [&](int AEdge, RECT& ARect) {
    EXPECT_EQ(1, SendMessageW(control->WindowHandle(), WM_SIZING, AEdge, reinterpret_cast<LPARAM>(&ARect)));
    SetWindowPos(control->WindowHandle(), nullptr, ARect.left, ARect.top, ARect.right - ARect.left,
                 ARect.bottom - ARect.top, SWP_NOZORDER | SWP_NOACTIVATE);
  };
  auto breaks = [&] {
    int count = 0;
    for (int i = 0; i < 4; ++i) count += ButtonControl(bar, i)->BreakingRow ? 1 : 0;
    return count;
  };
  // Wide: one row.
  RECT wide{window.left, window.top, window.left + 2000, window.bottom};
  size(WMSZ_RIGHT, wide);
  EXPECT_EQ(0, breaks());
  EXPECT_EQ(window.left, wide.left);
  EXPECT_LT(wide.right, window.left + 2000);  // as wide as the row needs
  const int oneRow = wide.bottom - wide.top;
  // The right edge dragged to a little more than the widest button: a row each.
  int widest = 0;
  for (int i = 0; i < 4; ++i) widest = std::max(widest, ButtonControl(bar, i)->Width());
  const TRect offsets = control->ContentOffsets(dsNone);
  RECT narrow = wide;
  narrow.right = wide.left + widest + offsets.Left + offsets.Right + 5;
  size(WMSZ_RIGHT, narrow);
  EXPECT_EQ(wide.left, narrow.left);
  EXPECT_EQ(wide.top, narrow.top);
  EXPECT_GT(narrow.bottom - narrow.top, oneRow);  // more rows, a taller bar
  EXPECT_GE(breaks(), 1);
  window = narrow;
  // A corner leaves the bar as it is.
  RECT corner{window.left, window.top, window.right + 80, window.bottom + 80};
  SendMessageW(control->WindowHandle(), WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&corner));
  EXPECT_EQ(window.right, corner.right);
  EXPECT_EQ(window.bottom, corner.bottom);
}

TEST_F(TToolbarSizingTest, CloseButtonOfAFloatingMainMenuFindsRoomInTheRowsItsSizeMadeForIt) {
  // The main menu's close button shares the last row when it fits there, else
  // the bar grows by a row of its own: at every width the size the wrap gave
  // the bar and the place the frame gives the button agree.
  Manager->SetShowCloseButton(true);
  TdxBar* bar = AddToolbar({L"订单查询", L"订单管理", L"生产排单", L"材料库"}, dsNone);
  bar->SetIsMainMenu(true);
  TdxBarControl* control = ControlOf(bar);
  ASSERT_NE(control, nullptr);
  ASSERT_TRUE(control->HasMDIArea());
  const TRect offsets = control->ContentOffsets(dsNone);
  RECT window;
  GetWindowRect(control->WindowHandle(), &window);
  bool shared = false, ownRow = false;
  const int full = control->CalcFullWidthForStyle(dsNone);
  for (int width = full + 20; width > 0; width -= 7) {
    RECT r{window.left, window.top, window.left + width + offsets.Left + offsets.Right, window.bottom};
    SendMessageW(control->WindowHandle(), WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&r));
    SetWindowPos(control->WindowHandle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    PumpQueuedMessages();
    const TRect client = control->ClientRect();
    const TRect button = control->GetMDIButtonRect(mdibClose);
    EXPECT_TRUE(button.Left >= 0 && button.Top >= 0 && button.Right <= client.Right && button.Bottom <= client.Bottom)
        << "width " << width;
    int itemsBottom = 0;
    for (int i = 0; i < bar->ItemLinks()->Count(); ++i) {
      const TRect item = bar->ItemLinks()->Items(i)->ItemRect();
      ASSERT_FALSE(item.IsEmpty()) << "width " << width;
      const bool overlap = item.Left < button.Right && button.Left < item.Right && item.Top < button.Bottom &&
                           button.Top < item.Bottom;
      EXPECT_FALSE(overlap) << "width " << width << " item " << i;
      itemsBottom = std::max(itemsBottom, item.Bottom);
    }
    (button.Top >= itemsBottom ? ownRow : shared) = true;
  }
  EXPECT_TRUE(shared);
  EXPECT_TRUE(ownRow);
}
