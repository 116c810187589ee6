// What the bar module's start-up makes and its shutdown takes away: the drag
// cursors, the layered-window entry points, the checkerboard brush; and the
// order in which managers on one form take turns.
#include "tests/bars/model/dxBarTestSupport.h"
#include "tests/support/TestDib.h"

#include "foundation/cxControls.h"
#include "platform/gui/ExtCtrls.h"

#include <gtest/gtest.h>

namespace {

class TPixels : public TTestDib {
 public:
  using TTestDib::TTestDib;
  // 0x00BBGGRR, as GetSysColor answers.
  COLORREF At(int x, int y) const {
    const DWORD raw = RawAt(x, y);
    return RGB((raw >> 16) & 0xFF, (raw >> 8) & 0xFF, raw & 0xFF);
  }
};

TEST(dxBarModule, StartUpInstallsTheDragCursorsAndFindsTheLayeredWindowCalls) {
  const HCURSOR fallback = Screen->Cursors(crDefault);
  std::vector<HCURSOR> seen;
  for (short id : {crdxBarDrag, crdxBarDragCopy, crdxBarDragNoDrop, crdxBarEditSizing}) {
    const HCURSOR cursor = Screen->Cursors(id);
    EXPECT_NE(cursor, fallback) << id;
    EXPECT_EQ(std::count(seen.begin(), seen.end(), cursor), 0) << id;
    seen.push_back(cursor);
  }
  EXPECT_EQ(cxLoadCursorFromResourceData(GetModuleHandleW(nullptr), L"NODXBARCURSOR"), nullptr);
  const TdxBarLayeredWindowApi& api = dxBarLayeredWindowApi();
  EXPECT_NE(api.UpdateLayeredWindow, nullptr);
  EXPECT_NE(api.AnimateWindow, nullptr);
  EXPECT_NE(api.SetLayeredWindowAttributes, nullptr);
}

TEST(dxBarModule, CheckerBrushAlternatesButtonFaceAndHighlight) {
  ASSERT_NE(dxBarCheckerBrush, nullptr);
  TPixels dib(16, 16);
  const RECT all{0, 0, 16, 16};
  FillRect(dib.DC(), &all, dxBarCheckerBrush);
  const COLORREF face = GetSysColor(COLOR_BTNFACE), highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(dib.At(x, y), x % 2 == y % 2 ? face : highlight) << x << "," << y;
}

TEST(dxBarModule, ShutdownTakesAwayWhatStartUpMade) {
  const HCURSOR fallback = Screen->Cursors(crDefault);
  dxBarFinalize();
  EXPECT_EQ(dxBarCheckerBrush, nullptr);
  EXPECT_EQ(Screen->Cursors(crdxBarDragNoDrop), fallback);
  EXPECT_EQ(dxBarLayeredWindowApi().AnimateWindow, nullptr);
  // No brush is made while the module is down.
  dxBarCreateCheckerBrush();
  EXPECT_EQ(dxBarCheckerBrush, nullptr);
  dxBarInitialize();
  EXPECT_NE(dxBarCheckerBrush, nullptr);
  EXPECT_NE(Screen->Cursors(crdxBarDragNoDrop), fallback);
}

TEST(dxBarManagerList, NextActiveCyclesThroughTheManagersOfOneForm) {
  TObjectPtr<TBarTestForm> formA(Make<TBarTestForm>(nullptr));
  TObjectPtr<TBarTestForm> formB(Make<TBarTestForm>(nullptr));
  TdxBarManager* onA = Make<TdxBarManager>(formA.get());
  TdxBarManager* onB = Make<TdxBarManager>(formB.get());
  TdxBarManager* onPanels[2] = {};
  for (TdxBarManager*& manager : onPanels) {
    auto* panel = Make<TPanel>(formA.get());
    panel->SetParent(formA.get());
    manager = Make<TdxBarManager>(panel);
    // Managers take turns by their windows.
    panel->HandleNeeded();
  }
  formB->HandleNeeded();
  TdxBarManagerList* list = dxBarManagerList();
  const struct {
    TdxBarManager* from;
    bool forward;
    TdxBarManager* next;
  } cases[] = {
      {onA, true, onPanels[0]},          {onPanels[0], true, onPanels[1]}, {onPanels[1], true, onA},
      {onA, false, onPanels[1]},         {onPanels[0], false, onA},
      {onB, true, onB},  // alone on its form
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.forward);
    EXPECT_EQ(list->NextActive(c.from, c.forward), c.next);
  }
  EXPECT_EQ(list->CustomizingBarManager(), nullptr);
  onPanels[1]->Customizing(true);
  EXPECT_EQ(list->CustomizingBarManager(), onPanels[1]);
  onPanels[1]->Customizing(false);
}

}  // namespace
