// TScreen (monitors, work areas, cursors, fonts) and TMouse.
#include "FormsTestSupport.h"

#include "platform/core/StringLists.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/core/SysUtils.h"

namespace {

class ScreenTest : public FormsFixture {};

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  reinterpret_cast<std::vector<HMONITOR>*>(data)->push_back(monitor);
  return TRUE;
}

TRect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

TEST_F(ScreenTest, MonitorsMatchTheSystem) {
  std::vector<HMONITOR> handles;
  EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&handles));
  ASSERT_EQ(Screen->MonitorCount(), static_cast<int>(handles.size()));
  int primaries = 0;
  for (int i = 0; i < Screen->MonitorCount(); ++i) {
    TMonitor* m = Screen->Monitors(i);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetMonitorInfoW(m->Handle(), &info));
    EXPECT_EQ(m->Handle(), handles[i]);
    EXPECT_EQ(m->MonitorNum(), i);
    EXPECT_EQ(m->BoundsRect(), ToRect(info.rcMonitor));
    EXPECT_EQ(m->WorkareaRect(), ToRect(info.rcWork));
    EXPECT_EQ(m->Primary(), (info.dwFlags & MONITORINFOF_PRIMARY) != 0);
    primaries += m->Primary();
  }
  EXPECT_EQ(primaries, 1);
  // The objects stay the same from call to call.
  EXPECT_EQ(Screen->Monitors(0), Screen->Monitors(0));
  EXPECT_THROW(Screen->Monitors(Screen->MonitorCount()), EListError);

  TMonitor* primary = Screen->PrimaryMonitor();
  ASSERT_NE(primary, nullptr);
  EXPECT_TRUE(primary->Primary());
  EXPECT_EQ(Screen->MonitorFromPoint({1, 1}), primary);
  EXPECT_EQ(Screen->MonitorFromRect(Bounds(10, 10, 20, 20)), primary);
  // Far outside: nearest gives a monitor, null-default gives none.
  EXPECT_NE(Screen->MonitorFromPoint({-100000, -100000}), nullptr);
  EXPECT_EQ(Screen->MonitorFromPoint({-100000, -100000}, mdNull), nullptr);
}

TEST_F(ScreenTest, DesktopAndWorkAreaMatchTheSystem) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(Screen->WorkAreaRect(), ToRect(work));
  EXPECT_EQ(Screen->WorkAreaLeft(), work.left);
  EXPECT_EQ(Screen->WorkAreaTop(), work.top);
  EXPECT_EQ(Screen->WorkAreaWidth(), work.right - work.left);
  EXPECT_EQ(Screen->WorkAreaHeight(), work.bottom - work.top);
  EXPECT_EQ(Screen->DesktopRect(), Bounds(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                                          GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                          GetSystemMetrics(SM_CYVIRTUALSCREEN)));
  EXPECT_EQ(Screen->Width(), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(Screen->Height(), GetSystemMetrics(SM_CYSCREEN));
  HDC dc = GetDC(nullptr);
  EXPECT_EQ(Screen->PixelsPerInch(), GetDeviceCaps(dc, LOGPIXELSY));
  ReleaseDC(nullptr, dc);

  auto form = FormsOwned<TForm>(Make<TForm>(nullptr, 0), &TObject::Free);
  form->SetBounds(20, 20, 200, 100);
  EXPECT_EQ(Screen->MonitorFromWindow(form->Handle()), Screen->PrimaryMonitor());
  EXPECT_EQ(form->Monitor(), Screen->PrimaryMonitor());
}

TEST_F(ScreenTest, CursorTable) {
  struct Case {
    TCursor Id;
    LPCWSTR System;
  };
  const Case cases[] = {{crDefault, IDC_ARROW},  {crArrow, IDC_ARROW},     {crIBeam, IDC_IBEAM},
                        {crHourGlass, IDC_WAIT}, {crHandPoint, IDC_HAND}, {crSizeAll, IDC_SIZEALL},
                        {crSizeWE, IDC_SIZEWE},  {crNo, IDC_NO},           {crCross, IDC_CROSS}};
  for (const Case& c : cases) EXPECT_EQ(Screen->Cursors(c.Id), LoadCursorW(nullptr, c.System)) << c.Id;
  EXPECT_EQ(Screen->Cursors(crNone), nullptr);

  // A cursor of the library under a positive id; unknown ids give the default.
  HCURSOR own = CopyCursor(LoadCursorW(nullptr, IDC_CROSS));
  Screen->SetCursors(2105, own);
  EXPECT_EQ(Screen->Cursors(2105), own);
  EXPECT_EQ(Screen->Cursors(2106), Screen->Cursors(crDefault));
  Screen->SetCursors(2105, nullptr);
  EXPECT_EQ(Screen->Cursors(2105), Screen->Cursors(crDefault));

  // One loaded from a resource when first looked up: shared, so not the
  // screen's to destroy; a missing resource leaves the id to the default.
  const long icons = GdiAccounting::Live(gokIcon);
  Screen->SetCursorResource(2105, nullptr, IDC_CROSS);
  Screen->SetCursorResource(2106, GetModuleHandleW(nullptr), L"NO_SUCH_CURSOR");
  EXPECT_EQ(Screen->Cursors(2105), LoadCursorW(nullptr, IDC_CROSS));
  EXPECT_EQ(Screen->Cursors(2106), Screen->Cursors(crDefault));
  EXPECT_EQ(GdiAccounting::Live(gokIcon), icons);
  Screen->SetCursors(2105, nullptr);
  Screen->SetCursors(2106, nullptr);
  EXPECT_EQ(Screen->Cursors(2105), Screen->Cursors(crDefault));
}

TEST_F(ScreenTest, GlobalCursorOverridesAndRestores) {
  EXPECT_EQ(Screen->Cursor(), crDefault);
  Screen->SetCursor(crHourGlass);
  EXPECT_EQ(Screen->Cursor(), crHourGlass);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
  Screen->SetCursor(crDefault);
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST_F(ScreenTest, FontsComeFromTheSystem) {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0));
  EXPECT_EQ(Screen->HintFont()->Name(), String(ncm.lfStatusFont.lfFaceName));
  EXPECT_EQ(Screen->HintFont()->Height(), ncm.lfStatusFont.lfHeight);
  EXPECT_EQ(Screen->HintFont()->Color(), clInfoText);
  EXPECT_EQ(Screen->MenuFont()->Name(), String(ncm.lfMenuFont.lfFaceName));
  LOGFONTW icon{};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(icon), &icon, 0));
  EXPECT_EQ(Screen->IconFont()->Name(), String(icon.lfFaceName));

  TStrings* fonts = Screen->Fonts();
  ASSERT_GT(fonts->Count(), 0);
  EXPECT_GE(fonts->IndexOf(L"Tahoma"), 0);
  for (int i = 0; i < fonts->Count(); ++i) {
    EXPECT_NE(fonts->Get(i)[0], L'@');
    if (i > 0) {
      EXPECT_LE(AnsiCompareText(fonts->Get(i - 1), fonts->Get(i)), 0);
    }
  }
  EXPECT_EQ(Screen->Fonts(), fonts);   // read once
}

TEST_F(ScreenTest, MouseSettings) {
  EXPECT_EQ(Mouse->DragThreshold(), 5);
  EXPECT_TRUE(Mouse->DragImmediate());
  UINT lines = 0;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  EXPECT_EQ(Mouse->WheelScrollLines(), static_cast<int>(lines));
  EXPECT_FALSE(Mouse->IsDragging());

  // The controls read the drag settings the mouse object holds.
  Mouse->SetDragThreshold(9);
  EXPECT_EQ(ControlsHooks().DragThreshold, 9);
  Mouse->SetDragThreshold(5);

  Mouse->SetCursorPos({123, 77});
  EXPECT_EQ(Mouse->CursorPos(), TPoint(123, 77));

  auto form = FormsOwned<TForm>(Make<TForm>(nullptr, 0), &TObject::Free);
  Mouse->SetCapture(form->Handle());
  EXPECT_EQ(Mouse->GetCapture(), form->Handle());
  Mouse->SetCapture(nullptr);
  EXPECT_EQ(Mouse->GetCapture(), nullptr);
}
