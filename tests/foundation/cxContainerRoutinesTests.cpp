#include "foundation/cxContainerRoutines.h"

#include "platform/gui/GdiAccounting.h"
#include "tests/foundation/cxContainerTestSupport.h"
#include "tests/foundation/cxGraphicsCanvasTestSupport.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

HWND CreateTopLevelWindow() {
  return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}

// Whether the region holds the point.
bool RegionHas(HRGN ARegion, int X, int Y) { return PtInRegion(ARegion, X, Y) != FALSE; }

}  // namespace

TEST(cxContainerRoutines, BorderWidthsByStyleAndPainter) {
  struct Case {
    TcxContainerBorderStyle style;
    int container, painter;
  };
  const Case cases[] = {{cbsNone, 0, 0},   {cbsSingle, 1, 1}, {cbsThick, 2, 2},      {cbsFlat, 2, 1},
                        {cbs3D, 2, 1},     {cbsUltraFlat, 1, 1}, {cbsOffice11, 1, 1}};
  TcxCustomLookAndFeelPainterClass anyPainter = cxLookAndFeelStylePainter(lfsFlat);
  for (const Case& c : cases) {
    SCOPED_TRACE(EnumName(c.style));
    EXPECT_EQ(cxGetContainerBorderWidth(c.style), c.container);
    EXPECT_EQ(cxGetPainterBorderWidth(c.style, nullptr), c.container);
    EXPECT_EQ(cxGetPainterBorderWidth(c.style, anyPainter), c.painter);
  }
}

TEST(cxContainerRoutines, GrowAndShrinkOnEdges) {
  TRect r(10, 10, 20, 20);
  cxGrowRectOnBorders(r, 2, TcxBorders{bLeft, bBottom});
  EXPECT_EQ(r, TRect(8, 10, 20, 22));
  r = TRect(10, 10, 20, 20);
  cxShrinkRectOnUndrawnEdges(r, 3, TcxBorders{bLeft, bBottom});
  EXPECT_EQ(r, TRect(10, 13, 17, 20));
}

TEST(cxContainerRoutines, FillAroundHoleCoversExactlyTheBand) {
  struct Case {
    const char* name;
    TRect r, hole;
    std::function<bool(int, int)> filled;
  };
  const TRect r(2, 2, 18, 14);
  const TRect inner(6, 5, 12, 9);
  const Case cases[] = {
      {"empty hole fills all", r, TRect(), [&](int x, int y) { return r.Contains({x, y}); }},
      {"hole equal to the rectangle fills nothing", r, r, [](int, int) { return false; }},
      {"inner hole leaves it out", r, inner,
       [&](int x, int y) { return r.Contains({x, y}) && !inner.Contains({x, y}); }},
      {"empty rectangle fills nothing", TRect(5, 5, 5, 9), TRect(), [](int, int) { return false; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cnvtest::TCanvasBitmap bitmap(20, 16);
    cxFillRectAroundHole(bitmap.Canvas(), c.r, c.hole, clRed);
    EXPECT_EQ(bitmap.Mismatches([&](int x, int y) { return c.filled(x, y) ? clRed : cnvtest::kBack; }), 0);
  }
}

TEST(cxContainerRoutines, DropShadowIsTwoBandsRightAndBelow) {
  cnvtest::TCanvasBitmap bitmap(30, 30);
  const TRect r(5, 5, 20, 15);
  cxPaintDropShadow(bitmap.Canvas(), r);
  const TRect below(8, 15, 20, 18), right(20, 8, 23, 18);
  EXPECT_EQ(bitmap.Mismatches([&](int x, int y) {
    return below.Contains({x, y}) || right.Contains({x, y}) ? clBtnShadow : cnvtest::kBack;
  }),
            0);
  // Each band was excluded from the clip after it was painted.
  bitmap.Canvas()->FillRect(TRect(0, 0, 30, 30), clBlue);
  EXPECT_EQ(bitmap.Pixel(10, 16), ColorToRGB(clBtnShadow));
  EXPECT_EQ(bitmap.Pixel(21, 10), ColorToRGB(clBtnShadow));
  EXPECT_EQ(bitmap.Pixel(1, 1), ColorToRGB(clBlue));
}

TEST(cxContainerRoutines, ShadowWindowRegion) {
  EXPECT_EQ(cxBuildShadowWindowRegion(nullptr, TRect(0, 0, 10, 10), TRect(), TRect(), false, false), nullptr);
  EXPECT_EQ(cxBuildShadowWindowRegion(nullptr, TRect(0, 0, 10, 10), TRect(), TRect(), true, true), nullptr);

  HRGN region = cxBuildShadowWindowRegion(nullptr, TRect(0, 0, 10, 10), TRect(1, 2, 0, 0), TRect(0, 0, 2, 2), true,
                                          false);
  ASSERT_NE(region, nullptr);
  EXPECT_TRUE(RegionHas(region, 5, 5));
  EXPECT_TRUE(RegionHas(region, 12, 12));     // the shadow copy moved by (3, 3)
  EXPECT_FALSE(RegionHas(region, 3, 11));     // its left grew inward by 1: it starts at 4
  EXPECT_TRUE(RegionHas(region, 4, 12));
  EXPECT_FALSE(RegionHas(region, 11, 4));     // its top grew inward by 2: it starts at 5
  EXPECT_FALSE(RegionHas(region, 1, 1));      // the excluded corner
  EXPECT_FALSE(RegionHas(region, 13, 13));
  GdiDeleteObject(region);
}

TEST(cxContainerRoutines, WindowRegionAppliedOnlyWhenItChanges) {
  HWND wnd = CreateTopLevelWindow();
  ASSERT_NE(wnd, nullptr);
  const long regions = GdiAccounting::Live(gokRegion);
  EXPECT_FALSE(cxWindowRegionDiffers(wnd, nullptr));
  cxApplyWindowRegionIfChanged(wnd, nullptr);
  HRGN probe = GdiCreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(wnd, probe), ERROR);

  cxApplyWindowRegionIfChanged(wnd, GdiCreateRectRgn(0, 0, 5, 5));
  EXPECT_EQ(GetWindowRgn(wnd, probe), SIMPLEREGION);
  // The window owns the region it took; an equal one is deleted.
  cxApplyWindowRegionIfChanged(wnd, GdiCreateRectRgn(0, 0, 5, 5));
  EXPECT_TRUE(cxWindowRegionDiffers(wnd, nullptr));
  cxApplyWindowRegionIfChanged(wnd, nullptr);
  EXPECT_EQ(GetWindowRgn(wnd, probe), ERROR);
  GdiDeleteObject(probe);
  EXPECT_EQ(GdiAccounting::Live(gokRegion), regions);
  DestroyWindow(wnd);
}

TEST(cxContainerRoutines, DiscardPendingMessages) {
  HWND wnd = CreateTopLevelWindow();
  ASSERT_NE(wnd, nullptr);
  PostMessageW(wnd, WM_USER + 1, 0, 0);
  PostMessageW(wnd, WM_USER + 2, 0, 0);
  EXPECT_TRUE(cxDiscardPendingMessages(wnd, WM_USER, WM_USER + 10, false));
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, wnd, WM_USER, WM_USER + 10, PM_NOREMOVE));
  EXPECT_EQ(msg.message, UINT(WM_USER + 2));
  EXPECT_TRUE(cxDiscardPendingMessages(wnd, WM_USER, WM_USER + 10, true));
  EXPECT_FALSE(PeekMessageW(&msg, wnd, WM_USER, WM_USER + 10, PM_NOREMOVE));

  // A quit request met on the way stays the thread's, with its exit code.
  PostQuitMessage(7);
  EXPECT_FALSE(cxDiscardPendingMessages(wnd, WM_USER, WM_USER + 10, true));
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, WPARAM(7));
  DestroyWindow(wnd);
}

TEST(cxContainerRoutines, ProcessWindowsDisabledOnceAndEnabledByTheMatchingCall) {
  HWND a = CreateTopLevelWindow(), b = CreateTopLevelWindow();
  ASSERT_TRUE(a && b);
  EnableWindow(b, FALSE);   // already disabled: must stay so
  HWND c = CreateTopLevelWindow();
  cxDisableProcessWindows(true);
  cxDisableProcessWindows(true);
  EXPECT_FALSE(cxIsChangingWindowsEnabling());
  EXPECT_FALSE(IsWindowEnabled(a));
  EXPECT_FALSE(IsWindowEnabled(c));
  cxEnableProcessWindows();
  EXPECT_FALSE(IsWindowEnabled(a));
  DestroyWindow(c);   // gone meanwhile: skipped
  cxEnableProcessWindows();
  EXPECT_TRUE(IsWindowEnabled(a));
  EXPECT_FALSE(IsWindowEnabled(b));
  // An unmatched call changes nothing.
  cxEnableProcessWindows();
  EXPECT_TRUE(IsWindowEnabled(a));
  DestroyWindow(a);
  DestroyWindow(b);
}

TEST(cxContainerRoutines, ScrollBarInfoWithoutTheSystemCall) {
  HWND wnd = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | WS_VSCROLL, 0, 0, 50, 50, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(wnd, nullptr);
  SCROLLBARINFO info{};
  EXPECT_TRUE(cxCanQueryScrollBarInfo());
  EXPECT_TRUE(cxQueryScrollBarInfo(wnd, OBJID_VSCROLL, info));
  EXPECT_EQ(info.cbSize, DWORD(60));

  cxSetScrollBarInfoUnavailable(true);
  SCROLLBARINFO untouched{};
  untouched.dxyLineButton = 1234;
  EXPECT_FALSE(cxCanQueryScrollBarInfo());
  EXPECT_FALSE(cxQueryScrollBarInfo(wnd, OBJID_VSCROLL, untouched));
  EXPECT_EQ(untouched.dxyLineButton, 1234);
  cxSetScrollBarInfoUnavailable(false);
  DestroyWindow(wnd);
}

TEST(cxContainerRoutines, TopLevelAncestorAndStrings) {
  HWND top = CreateTopLevelWindow();
  HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, top, nullptr, GetModuleHandleW(nullptr),
                               nullptr);
  EXPECT_EQ(cxFindTopLevelAncestorWindow(child), top);
  EXPECT_EQ(cxFindTopLevelAncestorWindow(top), top);
  DestroyWindow(top);
  EXPECT_TRUE(cxStringsEqual(L"Abc", L"aBC", false));
  EXPECT_FALSE(cxStringsEqual(L"Abc", L"aBC", true));
  EXPECT_TRUE(cxStringsEqual(L"Abc", L"Abc", true));
}

TEST(cxContainerRoutines, FormActivation) {
  EXPECT_FALSE(cxIsFormActivated(nullptr));
  cxtest::TActiveForm first;
  EXPECT_TRUE(cxIsFormActivated(first.Form.get()));
  Owned<TForm> hidden(Make<TForm>(nullptr, 0));
  EXPECT_FALSE(cxIsFormActivated(hidden.get()));   // no window
  cxtest::TActiveForm second(TRect(400, 60, 600, 200));
  EXPECT_FALSE(cxIsFormActivated(first.Form.get()));
  EXPECT_TRUE(cxIsFormActivated(second.Form.get()));
}
