#include "platform/WinApi.h"
#include "foundation/cxDWMApi.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxThemeManager.h"
#include "foundation/dxUxTheme.h"
#include "platform/gui/GdiAccounting.h"
#include "tests/foundation/dxOffice11TestSupport.h"

#include <gtest/gtest.h>

namespace {

// Starts the modules these tests need in program order (a no-op count where
// the test program's module list has started them already) and shuts them
// down in reverse after the last test.
class VisualStyleModules : public testing::Environment {
 public:
  void SetUp() override {
    dxUxThemeInitialize();
    dxThemeManagerInitialize();
    dxOffice11Initialize();
    cxDWMApiInitialize();
  }
  void TearDown() override {
    cxDWMApiFinalize();
    dxOffice11Finalize();
    dxThemeManagerFinalize();
    dxUxThemeFinalize();
  }
};
testing::Environment* const visualStyleModules =
    testing::AddGlobalTestEnvironment(new VisualStyleModules);

template <class F>
const void* Address(F f) {
  return reinterpret_cast<const void*>(f);
}

TEST(DxUxTheme, BindsEveryEntryPointToItsOwnName) {
  if (!fndtest::LibraryAvailable(L"uxtheme.dll")) GTEST_SKIP() << "uxtheme disabled";
  ASSERT_TRUE(dxUxLibraryLoaded());
  HMODULE ux = GetModuleHandleW(L"uxtheme.dll");
  ASSERT_NE(ux, nullptr);
  int count = 0;
#define CHECK_ENTRY(Name)                                                              \
  ++count;                                                                             \
  EXPECT_NE(dxUxThemeProcs.Name, nullptr) << #Name;                                    \
  EXPECT_EQ(Address(dxUxThemeProcs.Name), Address(GetProcAddress(ux, #Name))) << #Name;
  DX_UXTHEME_ENTRY_POINTS(CHECK_ENTRY)
#undef CHECK_ENTRY
  EXPECT_EQ(count, dxUxThemeEntryPointCount);
}

// Every wrapper, with no entry point at all: a failure result, cleared
// outputs, and no call through a null pointer.
TEST(DxUxTheme, WrappersWithoutEntryPointsFailSafely) {
  fndtest::TUxThemeProcsGuard guard;
  dxUxThemeProcs = TdxUxThemeProcs{};
  fndtest::TDib dib(8, 8);
  HDC dc = dib.DC();
  HTHEME theme = reinterpret_cast<HTHEME>(1);
  const TRect r(0, 0, 8, 8);

  EXPECT_EQ(dxUxIsThemeActive(), FALSE);
  EXPECT_EQ(dxUxIsAppThemed(), FALSE);
  EXPECT_EQ(dxUxOpenThemeData(nullptr, L"Button"), nullptr);
  EXPECT_EQ(dxUxGetWindowTheme(nullptr), nullptr);
  for (HRESULT hr : {dxUxCloseThemeData(theme), dxUxDrawThemeBackground(theme, dc, 1, 1, r),
                     dxUxPaintThemeBackground(theme, dc, 1, 1, r, r),
                     dxUxDrawThemeParentBackground(nullptr, dc, &r),
                     dxUxDrawThemeText(theme, dc, 1, 1, String(L"x"), 0, 0, r),
                     dxUxDrawThemeEdge(theme, dc, 1, 1, r, EDGE_RAISED, BF_RECT, nullptr),
                     dxUxDrawThemeIcon(theme, dc, 1, 1, r, nullptr, 0),
                     dxUxSetWindowTheme(nullptr, L"", L""), dxUxEnableThemeDialogTexture(nullptr, 0),
                     dxUxBufferedPaintInit(), dxUxBufferedPaintUnInit(),
                     dxUxEndBufferedPaint(nullptr, TRUE), dxUxBufferedPaintSetAlpha(nullptr, &r, 255)})
    EXPECT_TRUE(FAILED(hr));

  TRect content(1, 2, 3, 4);
  EXPECT_TRUE(FAILED(dxUxGetThemeBackgroundContentRect(theme, dc, 1, 1, r, content)));
  EXPECT_EQ(content, TRect());
  TSize size(5, 5);
  EXPECT_TRUE(FAILED(dxUxGetThemePartSize(theme, dc, 1, 1, TS_TRUE, size)));
  EXPECT_EQ(size, TSize());
  size = TSize(5, 5);
  EXPECT_TRUE(FAILED(dxUxGetThemePartSizeIn(theme, dc, 1, 1, r, TS_DRAW, size)));
  EXPECT_EQ(size, TSize());
  HRGN region = reinterpret_cast<HRGN>(1);
  EXPECT_TRUE(FAILED(dxUxGetThemeBackgroundRegion(theme, dc, 1, 1, r, region)));
  EXPECT_EQ(region, nullptr);
  COLORREF color = 0x123456;
  EXPECT_TRUE(FAILED(dxUxGetThemeColor(theme, 1, 1, 0, color)));
  EXPECT_EQ(color, 0u);
  int value = 7;
  EXPECT_TRUE(FAILED(dxUxGetThemeInt(theme, 1, 1, 0, value)));
  EXPECT_EQ(value, 0);
  EXPECT_EQ(dxUxIsThemeBackgroundPartiallyTransparent(theme, 1, 1), FALSE);
  EXPECT_EQ(dxUxIsThemePartDefined(theme, 1, 1), FALSE);

  wchar_t file[16] = L"old", colorName[16] = L"old", sizeName[16] = L"old";
  EXPECT_TRUE(FAILED(dxUxGetCurrentThemeName(file, 16, colorName, 16, sizeName, 16)));
  EXPECT_STREQ(file, L"");
  EXPECT_STREQ(colorName, L"");
  EXPECT_STREQ(sizeName, L"");

  HDC paintDC = dc;
  EXPECT_EQ(dxUxBeginBufferedPaint(dc, r, BPBF_TOPDOWNDIB, nullptr, paintDC), nullptr);
  EXPECT_EQ(paintDC, nullptr);
}

HFONT parentFont = nullptr;
HRESULT WINAPI DrawParentSelectingAnotherFont(HWND, HDC dc, RECT*) {
  SelectObject(dc, parentFont);
  return S_OK;
}

TEST(DxUxTheme, DrawingTheParentBackgroundKeepsTheDCFont) {
  fndtest::TUxThemeProcsGuard guard;
  dxUxThemeProcs.DrawThemeParentBackground = &DrawParentSelectingAnotherFont;
  fndtest::TDib dib(4, 4);
  LOGFONTW lf{};
  lf.lfHeight = -11;
  HFONT mine = CreateFontIndirectW(&lf);
  lf.lfHeight = -20;
  parentFont = CreateFontIndirectW(&lf);
  HGDIOBJ original = SelectObject(dib.DC(), mine);

  EXPECT_EQ(dxUxDrawThemeParentBackground(nullptr, dib.DC(), nullptr), S_OK);
  EXPECT_EQ(GetCurrentObject(dib.DC(), OBJ_FONT), mine);

  SelectObject(dib.DC(), original);
  DeleteObject(mine);
  DeleteObject(parentFont);
}

// Run with the library disabled (EXTRA_WINEDLLOVERRIDES="uxtheme=d").
TEST(DxUxThemeFallback, NothingIsBoundWithoutTheLibrary) {
  if (fndtest::LibraryAvailable(L"uxtheme.dll")) GTEST_SKIP() << "uxtheme present";
  EXPECT_FALSE(dxUxLibraryLoaded());
  int bound = 0;
#define COUNT_BOUND(Name) bound += dxUxThemeProcs.Name != nullptr;
  DX_UXTHEME_ENTRY_POINTS(COUNT_BOUND)
#undef COUNT_BOUND
  EXPECT_EQ(bound, 0);
  EXPECT_EQ(dxUxIsThemeActive(), FALSE);
  EXPECT_EQ(dxUxOpenThemeData(nullptr, L"Button"), nullptr);
}

}  // namespace
