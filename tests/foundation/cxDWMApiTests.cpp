#include "platform/WinApi.h"
#include "foundation/cxDWMApi.h"
#include "tests/foundation/dxOffice11TestSupport.h"

#include <gtest/gtest.h>

namespace {

template <class F>
const void* Address(F f) {
  return reinterpret_cast<const void*>(f);
}

// Puts the binding made at start-up back after a test rebinds or replaces
// entry points.
class CxDwmApi : public testing::Test {
 protected:
  void TearDown() override {
    cxBindDwmApi();
    EXPECT_EQ(cxDwmIsLoaded(), wasLoaded_);
  }
  const bool wasLoaded_ = cxDwmIsLoaded();
};

HRESULT WINAPI CompositionOn(BOOL* enabled) {
  *enabled = TRUE;
  return S_OK;
}
HRESULT WINAPI CompositionCallFails(BOOL* enabled) {
  *enabled = TRUE;   // a failing call's output must not count
  return E_FAIL;
}

TEST_F(CxDwmApi, BeforeWindows6NothingIsLoaded) {
  EXPECT_FALSE(cxBindDwmApiForVersion(5));
  EXPECT_FALSE(cxDwmIsLoaded());
  EXPECT_EQ(cxDwmApiProcs.DwmIsCompositionEnabled, nullptr);
  EXPECT_FALSE(cxIsDwmCompositionOn());
}

TEST_F(CxDwmApi, AnswersWhatTheWindowManagerReportsOnEveryCall) {
  if (!fndtest::LibraryAvailable(L"dwmapi.dll")) GTEST_SKIP() << "dwmapi disabled";
  ASSERT_TRUE(cxDwmIsLoaded());
  HMODULE dwm = GetModuleHandleW(L"dwmapi.dll");
  ASSERT_NE(dwm, nullptr);
  // Each name is bound to its own entry point.
  EXPECT_EQ(Address(cxDwmApiProcs.DwmIsCompositionEnabled),
            Address(GetProcAddress(dwm, "DwmIsCompositionEnabled")));
  EXPECT_EQ(Address(cxDwmApiProcs.DwmSetWindowAttribute),
            Address(GetProcAddress(dwm, "DwmSetWindowAttribute")));
  EXPECT_EQ(Address(cxDwmApiProcs.DwmDefWindowProc),
            Address(GetProcAddress(dwm, "DwmDefWindowProc")));
  BOOL enabled = FALSE;
  const bool expected = SUCCEEDED(cxDwmApiProcs.DwmIsCompositionEnabled(&enabled)) && enabled;
  EXPECT_EQ(cxIsDwmCompositionOn(), expected);

  // Asked afresh: a change of the answer shows at once.
  cxDwmApiProcs.DwmIsCompositionEnabled = &CompositionOn;
  EXPECT_TRUE(cxIsDwmCompositionOn());
}

TEST_F(CxDwmApi, FailingOrMissingEntryPointCountsAsOff) {
  if (!cxDwmIsLoaded()) GTEST_SKIP() << "dwmapi disabled";
  cxDwmApiProcs.DwmIsCompositionEnabled = &CompositionCallFails;
  EXPECT_FALSE(cxIsDwmCompositionOn());
  cxDwmApiProcs.DwmIsCompositionEnabled = nullptr;
  EXPECT_FALSE(cxIsDwmCompositionOn());
}

// Run with the library disabled (EXTRA_WINEDLLOVERRIDES="dwmapi=d").
TEST(CxDwmApiFallback, WithoutTheLibraryCompositionIsOff) {
  if (fndtest::LibraryAvailable(L"dwmapi.dll")) GTEST_SKIP() << "dwmapi present";
  EXPECT_FALSE(cxDwmIsLoaded());
  EXPECT_FALSE(cxBindDwmApi());
  EXPECT_EQ(cxDwmApiProcs.DwmIsCompositionEnabled, nullptr);
  EXPECT_FALSE(cxIsDwmCompositionOn());
}

}  // namespace
