// AllocateHWnd / DeallocateHWnd: hidden windows whose messages go to a method.
#include "FormsTestSupport.h"

#include "platform/gui/Messaging.h"
#include "tests/support/ScopedHook.h"
#include "tests/support/ThreadWindows.h"

#include <cwchar>

namespace {

class FormsMessagingTest : public FormsFixture {};

const Char kSettingSection[] = L"LanzeFormsMessagingTest";

bool IsOurSettingChange(const TMessage& m) {
  return m.Msg == WM_SETTINGCHANGE && m.LParam &&
         std::wcscmp(reinterpret_cast<const Char*>(m.LParam), kSettingSection) == 0;
}

// A message-only window, for contrast: broadcasts never reach it.
bool gMessageOnlySawBroadcast = false;
LRESULT CALLBACK MessageOnlyProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SETTINGCHANGE && lParam && std::wcscmp(reinterpret_cast<const Char*>(lParam), kSettingSection) == 0)
    gMessageOnlySawBroadcast = true;
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

// A method-pointer receiver (the TClosure overload). Its window goes with it,
// should a test leave early or the window fail to free itself.
class TReceiver : public TObject {
 public:
  HWND Wnd = nullptr;
  std::vector<UINT> Seen;
  ~TReceiver() override {
    if (Wnd && IsWindow(Wnd)) DeallocateHWnd(Wnd);
  }
  void WndProc(TMessage& m) {
    Seen.push_back(m.Msg);
    if (m.Msg == WM_APP) {
      m.Result = 42;
      return;
    }
    if (m.Msg == WM_APP + 1) throw EConvertError(L"bad value");
    if (m.Msg == WM_APP + 2) {
      // Frees its own window from inside the call.
      DeallocateHWnd(Wnd);
      m.Result = 7;
      return;
    }
    m.Result = DefWindowProcW(Wnd, m.Msg, m.WParam, m.LParam);
  }
};

}  // namespace

TEST_F(FormsMessagingTest, HiddenTopLevelWindowReceivesBroadcastSettingChange) {
  bool seen = false;
  HWND wnd = nullptr;
  TMethodWindowRelease release(wnd);
  wnd = AllocateHWnd([&](TMessage& m) {
    if (IsOurSettingChange(m)) seen = true;
    m.Result = DefWindowProcW(wnd, m.Msg, m.WParam, m.LParam);
  });
  ASSERT_NE(wnd, nullptr);
  EXPECT_FALSE(IsWindowVisible(wnd));
  EXPECT_EQ(GetAncestor(wnd, GA_PARENT), GetDesktopWindow());

  WNDCLASSW cls{};
  cls.lpfnWndProc = &MessageOnlyProc;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = L"LanzeFormsMessageOnly";
  RegisterClassW(&cls);
  HWND messageOnly = CreateWindowExW(0, cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     cls.hInstance, nullptr);
  ASSERT_NE(messageOnly, nullptr);
  gMessageOnlySawBroadcast = false;

  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(kSettingSection),
                      SMTO_ABORTIFHUNG | SMTO_NORMAL, 2000, &result);
  PumpUntil([&] { return seen; });

  EXPECT_TRUE(seen);
  EXPECT_FALSE(gMessageOnlySawBroadcast);
  DestroyWindow(messageOnly);
  DeallocateHWnd(wnd);
  EXPECT_FALSE(IsWindow(wnd));
}

TEST_F(FormsMessagingTest, MethodAnswersAndItsExceptionsStayInside) {
  TAppRecorder recorder;
  TScopedHook onException(Application->OnException, recorder.Event());
  TReceiver receiver;
  receiver.Wnd = AllocateHWnd(TWndMethod::Bind<&TReceiver::WndProc>(&receiver));
  ASSERT_NE(receiver.Wnd, nullptr);

  EXPECT_EQ(SendMessageW(receiver.Wnd, WM_APP, 0, 0), 42);
  EXPECT_EQ(SendMessageW(receiver.Wnd, WM_APP + 1, 0, 0), 0);
  ASSERT_EQ(recorder.Exceptions.size(), 1u);
  EXPECT_EQ(recorder.Exceptions[0].ClassName, L"EConvertError");
  EXPECT_EQ(recorder.Exceptions[0].Message, L"bad value");

  // Unhandled messages went to DefWindowProcW: the window has its text.
  SetWindowTextW(receiver.Wnd, L"窗口");
  Char text[16] = {};
  GetWindowTextW(receiver.Wnd, text, 16);
  EXPECT_STREQ(text, L"窗口");

  // Destruction messages are not delivered to the method.
  receiver.Seen.clear();
  DeallocateHWnd(receiver.Wnd);
  EXPECT_FALSE(IsWindow(receiver.Wnd));
  EXPECT_TRUE(receiver.Seen.empty());
}

TEST_F(FormsMessagingTest, MethodMayDeallocateItsOwnWindow) {
  TReceiver receiver;
  receiver.Wnd = AllocateHWnd(TWndMethod::Bind<&TReceiver::WndProc>(&receiver));
  const HWND wnd = receiver.Wnd;
  EXPECT_EQ(SendMessageW(wnd, WM_APP + 2, 0, 0), 7);
  EXPECT_FALSE(IsWindow(wnd));
  DeallocateHWnd(nullptr);   // harmless
}

// Message-only windows make no top-level window each; those that hear
// broadcasts share one hidden top-level relay per thread, which goes with the
// last of them. A listener freed by another during a broadcast hears nothing.
TEST_F(FormsMessagingTest, MessageOnlyWindowsHearBroadcastsThroughOneRelay) {
  const int before = ThreadTopLevelWindowCount();
  HWND first = nullptr, second = nullptr, third = nullptr, plain = nullptr;
  TMethodWindowRelease releaseFirst(first), releaseSecond(second), releaseThird(third), releasePlain(plain);
  int heardFirst = 0, heardSecond = 0, heardThird = 0, heardPlain = 0, postedPlain = 0;
  auto listener = [](HWND& self, int& heard, HWND* freeOnBroadcast) {
    return [&self, &heard, freeOnBroadcast](TMessage& m) {
      if (IsOurSettingChange(m)) {
        ++heard;
        if (freeOnBroadcast && *freeOnBroadcast) DeallocateHWnd(std::exchange(*freeOnBroadcast, nullptr));
      }
      m.Result = DefWindowProcW(self, m.Msg, m.WParam, m.LParam);
    };
  };
  first = AllocateMessageHWnd(listener(first, heardFirst, &third), true);
  second = AllocateMessageHWnd(listener(second, heardSecond, nullptr), true);
  third = AllocateMessageHWnd(listener(third, heardThird, nullptr), true);
  plain = AllocateMessageHWnd([&](TMessage& m) {
    if (IsOurSettingChange(m)) ++heardPlain;
    if (m.Msg == WM_APP) ++postedPlain;
    m.Result = DefWindowProcW(plain, m.Msg, m.WParam, m.LParam);
  });
  ASSERT_TRUE(first && second && third && plain);
  EXPECT_EQ(ThreadTopLevelWindowCount(), before + 1) << "one relay for all listeners";
  for (HWND w : {first, second, plain}) {
    EXPECT_NE(GetAncestor(w, GA_PARENT), GetDesktopWindow());
    EXPECT_FALSE(IsWindowVisible(w));
  }

  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(kSettingSection),
                      SMTO_ABORTIFHUNG | SMTO_NORMAL, 2000, &result);
  PostMessageW(plain, WM_APP, 0, 0);
  PumpUntil([&] { return heardFirst > 0 && heardSecond > 0 && postedPlain > 0; });
  EXPECT_EQ(heardFirst, 1);
  EXPECT_EQ(heardSecond, 1);
  EXPECT_EQ(heardThird, 0) << "freed by the first listener before its turn";
  EXPECT_EQ(third, nullptr);
  EXPECT_EQ(heardPlain, 0) << "a window without broadcasts";
  EXPECT_EQ(postedPlain, 1);

  DeallocateHWnd(std::exchange(first, nullptr));
  EXPECT_EQ(ThreadTopLevelWindowCount(), before + 1);
  DeallocateHWnd(std::exchange(second, nullptr));
  EXPECT_EQ(ThreadTopLevelWindowCount(), before) << "the relay goes with the last listener";
  DeallocateHWnd(std::exchange(plain, nullptr));
}
