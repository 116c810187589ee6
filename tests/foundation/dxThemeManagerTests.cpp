#include "platform/WinApi.h"
#include "foundation/dxThemeManager.h"
#include "foundation/dxUxTheme.h"
#include "platform/gui/Forms.h"
#include "tests/foundation/dxOffice11TestSupport.h"
#include "tests/support/ScopedHook.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// A stand-in for the library's theme data: handles are counted up from 1
// and never reach the real library; one class list can be made to fail.
struct TFakeThemes {
  std::vector<std::wstring> Opened;
  std::vector<HTHEME> Closed;
  std::wstring Failing;
  BOOL Active = TRUE;
  UINT_PTR Next = 1;
};
TFakeThemes* fake = nullptr;

HTHEME WINAPI FakeOpen(HWND, LPCWSTR classList) {
  fake->Opened.push_back(classList);
  if (fake->Failing == classList) return nullptr;
  return reinterpret_cast<HTHEME>(fake->Next++);
}
HRESULT WINAPI FakeClose(HTHEME theme) {
  fake->Closed.push_back(theme);
  return S_OK;
}
BOOL WINAPI FakeIsThemeActive() { return fake->Active; }

void SendThemeChanged() {
  ASSERT_NE(dxThemeChangedEventReceiver(), nullptr);
  SendMessageW(dxThemeChangedEventReceiver()->WindowHandle(), WM_THEMECHANGED, 0, 0);
}

// Forgets every handle and class list the cache holds.
void ResetCache() {
  dxReleaseAllThemeHandles();
  for (int t = 0; t < dxThemedObjectTypeCount; ++t) {
    const auto type = static_cast<TdxThemedObjectType>(t);
    dxAcquireThemeHandle(type, dxDefaultThemeClassList(type).c_str());
    dxReleaseThemeHandle(type);
  }
}

// The cache over the fake library, with styles active.
class DxThemeCache : public testing::Test {
 protected:
  void SetUp() override {
    if (!dxUxLibraryLoaded()) GTEST_SKIP() << "uxtheme disabled";
    ResetCache();   // with the real library: its handles are closed by it
    fake = &themes_;
    dxUxThemeProcs.OpenThemeData = &FakeOpen;
    dxUxThemeProcs.CloseThemeData = &FakeClose;
    dxUxThemeProcs.IsThemeActive = &FakeIsThemeActive;
    SendThemeChanged();
    ASSERT_TRUE(dxThemesActive());
    themes_.Opened.clear();
    themes_.Closed.clear();
  }
  void TearDown() override {
    if (!fake) return;
    themes_.Active = TRUE;
    SendThemeChanged();
    ResetCache();
    guard_.reset();   // the real entry points again
    fake = nullptr;
    SendThemeChanged();
  }
  TFakeThemes themes_;
  std::optional<fndtest::TUxThemeProcsGuard> guard_{std::in_place};
};

TEST_F(DxThemeCache, OpensATypeOnceAndSharesItsHandle) {
  const HTHEME first = dxAcquireThemeHandle(totButton);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(dxAcquireThemeHandle(totButton), first);
  EXPECT_EQ(themes_.Opened, std::vector<std::wstring>{L"Button"});
  EXPECT_EQ(dxThemeData(totButton).ClassList, L"Button");
}

TEST_F(DxThemeCache, SameClassListInAnotherCaseHitsTheCacheAnotherOneReopens) {
  const HTHEME button = dxAcquireThemeHandle(totButton, L"Button");
  EXPECT_EQ(dxAcquireThemeHandle(totButton, L"BUTTON"), button);
  EXPECT_EQ(themes_.Opened.size(), 1u);

  const HTHEME edit = dxAcquireThemeHandle(totButton, L"Edit");
  EXPECT_NE(edit, button);
  EXPECT_EQ(themes_.Closed, std::vector<HTHEME>{button});
  EXPECT_EQ(themes_.Opened, (std::vector<std::wstring>{L"Button", L"Edit"}));
  EXPECT_EQ(dxThemeData(totButton).ClassList, L"Edit");
}

TEST_F(DxThemeCache, ThemeChangeDropsHandlesAndReopensWithTheClassListUsedBefore) {
  const HTHEME edit = dxAcquireThemeHandle(totButton, L"Edit");
  const HTHEME header = dxAcquireThemeHandle(totHeader);

  SendThemeChanged();
  EXPECT_EQ(themes_.Closed.size(), 2u);
  EXPECT_EQ(dxThemeData(totButton).Theme, nullptr);
  EXPECT_EQ(dxThemeData(totHeader).Theme, nullptr);
  EXPECT_EQ(dxThemeData(totButton).ClassList, L"Edit");

  const HTHEME reopened = dxAcquireThemeHandle(totButton);
  EXPECT_NE(reopened, nullptr);
  EXPECT_NE(reopened, edit);
  EXPECT_NE(reopened, header);
  EXPECT_EQ(themes_.Opened.back(), L"Edit");
}

// The real message path: a broadcast to every top-level window reaches the
// hidden receiver.
TEST_F(DxThemeCache, BroadcastThemeChangeReachesTheReceiver) {
  dxAcquireThemeHandle(totToolBar);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_THEMECHANGED, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  EXPECT_EQ(dxThemeData(totToolBar).Theme, nullptr);
  EXPECT_EQ(themes_.Closed.size(), 1u);
}

TEST_F(DxThemeCache, WithStylesSwitchedOffNothingIsUsable) {
  dxAcquireThemeHandle(totButton);
  themes_.Active = FALSE;
  SendThemeChanged();
  EXPECT_FALSE(dxThemesActive());
  themes_.Opened.clear();

  EXPECT_EQ(dxAcquireThemeHandle(totButton), nullptr);
  EXPECT_FALSE(dxIsThemeUsableFor(totButton));
  EXPECT_FALSE(dxAreThemesUsable());
  EXPECT_TRUE(themes_.Opened.empty());
  // Release answers 1 and leaves the entry alone.
  EXPECT_EQ(dxReleaseThemeHandle(totButton), 1);
  EXPECT_EQ(dxThemeData(totButton).ClassList, L"Button");
}

TEST_F(DxThemeCache, ReleaseAnswersZeroForATypeNeverOpened) {
  EXPECT_EQ(dxReleaseThemeHandle(totClock), 0);
  const HTHEME clock = dxAcquireThemeHandle(totClock);
  EXPECT_EQ(dxReleaseThemeHandle(totClock), S_OK);
  EXPECT_EQ(themes_.Closed, std::vector<HTHEME>{clock});
  EXPECT_EQ(dxThemeData(totClock).ClassList, L"");
}

TEST_F(DxThemeCache, UsabilityStopsAtTheFirstTypeThatCannotBeOpened) {
  EXPECT_TRUE(dxAreThemesUsable());
  EXPECT_TRUE(themes_.Opened.empty());

  themes_.Failing = L"Clock";
  EXPECT_FALSE(dxAreThemesUsable({totWindow, totClock, totButton}));
  EXPECT_EQ(themes_.Opened, (std::vector<std::wstring>{L"Button", L"Clock"}));
  EXPECT_EQ(dxThemeData(totClock).ClassList, L"");
  EXPECT_FALSE(dxIsThemeUsableFor(totClock));
  EXPECT_TRUE(dxIsThemeUsableFor(totButton));
}

// ---------------------------------------------------------------------------
// Notificators
// ---------------------------------------------------------------------------

class TThemeListener : public TObject {
 public:
  void Changed() {
    Calls.push_back(Name);
    HandleDroppedFirst = dxThemeData(totButton).Theme == nullptr;
    if (Victim) FreeAndNil(*Victim);
    if (Throw) throw Exception(L"handler failed");
  }
  std::wstring Name;
  std::vector<std::wstring> Calls;
  bool HandleDroppedFirst = false;
  TdxThemeChangedNotificator** Victim = nullptr;
  bool Throw = false;
};

TdxThemeChangedNotificator* Listen(TThemeListener& listener) {
  auto* notificator = Make<TdxThemeChangedNotificator>();
  notificator->OnThemeChanged = TdxThemeChangedEvent::Bind<&TThemeListener::Changed>(&listener);
  return notificator;
}

// Frees a notificator still there when the test ends, whichever way it ends:
// every theme change of the process would call into its listener, which lives
// on the test's stack. Declare it after the listener.
struct TNotificatorHolder {
  explicit TNotificatorHolder(TdxThemeChangedNotificator* ANotificator) : Ptr(ANotificator) {}
  ~TNotificatorHolder() { FreeAndNil(Ptr); }
  TNotificatorHolder(const TNotificatorHolder&) = delete;
  TNotificatorHolder& operator=(const TNotificatorHolder&) = delete;
  TdxThemeChangedNotificator* Ptr;
};

TEST_F(DxThemeCache, NotificatorsHearTheChangeInOrderAfterHandlesAreDropped) {
  const int before = dxThemeChangedNotificatorCount();
  TThemeListener a, b;
  a.Name = L"a";
  b.Name = L"b";
  TNotificatorHolder first(Listen(a));
  TNotificatorHolder silent(Make<TdxThemeChangedNotificator>());   // no handler: skipped
  TNotificatorHolder second(Listen(b));
  EXPECT_EQ(dxThemeChangedNotificatorCount(), before + 3);

  dxAcquireThemeHandle(totButton);
  SendThemeChanged();
  EXPECT_EQ(a.Calls, std::vector<std::wstring>{L"a"});
  EXPECT_EQ(b.Calls, std::vector<std::wstring>{L"b"});
  EXPECT_TRUE(a.HandleDroppedFirst);

  FreeAndNil(first.Ptr);
  FreeAndNil(silent.Ptr);
  FreeAndNil(second.Ptr);
  EXPECT_EQ(dxThemeChangedNotificatorCount(), before);
}

TEST_F(DxThemeCache, AHandlerMayFreeALaterNotificator) {
  TThemeListener a, b;
  TNotificatorHolder first(Listen(a));
  TNotificatorHolder second(Listen(b));
  a.Victim = &second.Ptr;

  SendThemeChanged();
  EXPECT_EQ(a.Calls.size(), 1u);
  EXPECT_TRUE(b.Calls.empty());
  EXPECT_EQ(second.Ptr, nullptr);
}

class TExceptionCatcher : public TObject {
 public:
  void Caught(TObject*, Exception& e) { Messages.push_back(e.Message); }
  std::vector<std::wstring> Messages;
};

TEST_F(DxThemeCache, AnExceptionInAHandlerGoesToTheApplication) {
  ASSERT_NE(Application, nullptr);
  TExceptionCatcher catcher;
  TThemeListener a;
  a.Throw = true;
  TNotificatorHolder first(Listen(a));
  themes_.Active = FALSE;

  {
    TScopedHook onException(Application->OnException,
                            TExceptionEvent::Bind<&TExceptionCatcher::Caught>(&catcher));
    SendThemeChanged();   // returns normally
  }
  EXPECT_EQ(catcher.Messages, std::vector<std::wstring>{L"handler failed"});
  EXPECT_FALSE(dxThemesActive());
}

// With the real library: the cache really reopens after the change.
TEST(DxThemeCacheLibrary, ReopensAfterAThemeChange) {
  if (!dxUxLibraryLoaded() || !dxThemesActive()) GTEST_SKIP() << "no active visual style";
  const HTHEME before = dxAcquireThemeHandle(totButton);
  ASSERT_NE(before, nullptr);
  SendThemeChanged();
  EXPECT_EQ(dxThemeData(totButton).Theme, nullptr);
  EXPECT_TRUE(dxThemesActive());
  EXPECT_NE(dxAcquireThemeHandle(totButton), nullptr);
}

// Run with the library disabled (EXTRA_WINEDLLOVERRIDES="uxtheme=d").
TEST(DxThemeCacheFallback, NothingIsUsableWithoutTheLibrary) {
  if (fndtest::LibraryAvailable(L"uxtheme.dll")) GTEST_SKIP() << "uxtheme present";
  EXPECT_FALSE(dxThemesActive());
  EXPECT_EQ(dxThemeChangedEventReceiver(), nullptr);
  auto* notificator = Make<TdxThemeChangedNotificator>();
  EXPECT_EQ(dxThemeChangedNotificatorCount(), 0);
  TObject::Free(notificator);
  EXPECT_EQ(dxAcquireThemeHandle(totButton), nullptr);
  EXPECT_FALSE(dxAreThemesUsable());
  EXPECT_FALSE(dxIsThemeUsableFor(totWindow));
  EXPECT_EQ(dxReleaseThemeHandle(totButton), 1);
}

}  // namespace
