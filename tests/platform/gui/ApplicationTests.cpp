// TApplication: exceptions, the start procedure, the message loop pieces,
// waking the loop from a worker, hints; THintWindow.
#include "FormsTestSupport.h"

#include "platform/core/SysUtils.h"
#include "platform/core/Threads.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Messaging.h"
#include "tests/support/ScopedHook.h"

#include <stdexcept>

namespace {

class ApplicationTest : public FormsFixture {};

void RaiseAndHandle(const std::function<void()>& raise, TObject* sender) {
  try {
    raise();
  } catch (...) {
    Application->HandleException(sender);
  }
}

std::vector<String> gInitSteps;
void (*gPreviousInitProc)() = nullptr;
void TestInitProc() {
  if (gPreviousInitProc) gPreviousInitProc();
  gInitSteps.push_back(L"test");
}
void EarlierInitProc() { gInitSteps.push_back(L"earlier"); }

class TSyncWorker : public TThread {
 public:
  TSyncWorker() : TThread(true) {}
  std::atomic<bool> Called{false};
  std::atomic<bool> RanOnMainThread{false};
  std::atomic<bool> Done{false};

 protected:
  void Execute() override {
    Synchronize([this] {
      RanOnMainThread = GetCurrentThreadId() == MainThreadID();
      Called = true;
    });
    Done = true;
  }
};

}  // namespace

TEST_F(ApplicationTest, HandleExceptionGoesToOnException) {
  TAppRecorder recorder;
  TScopedHook onException(Application->OnException, recorder.Event());
  TObject sender;
  RaiseAndHandle([] { throw EConvertError(L"'x' is not a valid integer value"); }, &sender);
  RaiseAndHandle([] { throw std::runtime_error("plain C++ failure"); }, nullptr);
  RaiseAndHandle([] { Abort(); }, &sender);
  ASSERT_EQ(recorder.Exceptions.size(), 2u);
  EXPECT_EQ(recorder.Exceptions[0].ClassName, L"EConvertError");
  EXPECT_EQ(recorder.Exceptions[0].Message, L"'x' is not a valid integer value");
  EXPECT_EQ(recorder.Exceptions[0].Sender, &sender);
  EXPECT_EQ(recorder.Exceptions[1].Message, L"plain C++ failure");
  EXPECT_TRUE(RecordedMessageBoxes().empty());
  // Outside a catch block there is nothing to handle.
  Application->HandleException(nullptr);
  EXPECT_EQ(recorder.Exceptions.size(), 2u);
}

TEST_F(ApplicationTest, WithoutOnExceptionAMessageBoxShowsAndEAbortStaysSilent) {
  Application->SetTitle(L"岚泽家具生产设计系统");
  RaiseAndHandle([] { throw EAbort(L"quiet"); }, nullptr);
  EXPECT_TRUE(RecordedMessageBoxes().empty());
  RaiseAndHandle([] { throw Exception(L"数据错误"); }, nullptr);
  RaiseAndHandle([] { throw Exception(L"Ends with a dot."); }, nullptr);
  ASSERT_EQ(RecordedMessageBoxes().size(), 2u);
  EXPECT_EQ(RecordedMessageBoxes()[0].Text, L"数据错误.");
  EXPECT_EQ(RecordedMessageBoxes()[0].Caption, L"岚泽家具生产设计系统");
  EXPECT_EQ(RecordedMessageBoxes()[0].Flags, static_cast<UINT>(MB_OK | MB_ICONSTOP));
  EXPECT_EQ(RecordedMessageBoxes()[1].Text, L"Ends with a dot.");
  // The title is the application window's text too.
  Char text[64] = {};
  GetWindowTextW(Application->Handle(), text, 64);
  EXPECT_STREQ(text, L"岚泽家具生产设计系统");
}

TEST_F(ApplicationTest, MessageBoxDisablesTheOtherWindowsWhileItShows) {
  auto form = FormsOwned<TForm>(Make<TForm>(nullptr, 0), &TObject::Free);
  form->Show();
  static HWND formWindow;
  static bool disabledWhileShown;
  formWindow = form->Handle();
  disabledWhileShown = false;
  TMessageBoxFunction previous = SetMessageBoxFunction([](HWND, const String&, const String&, UINT) {
    disabledWhileShown = !IsWindowEnabled(formWindow);
    return IDYES;
  });
  EXPECT_EQ(Application->MessageBox(L"继续?", String(), MB_YESNO), IDYES);
  SetMessageBoxFunction(previous);
  EXPECT_TRUE(disabledWhileShown);
  EXPECT_TRUE(IsWindowEnabled(formWindow));
}

TEST_F(ApplicationTest, InitializeRunsTheChainedStartProcedures) {
  gInitSteps.clear();
  void (*saved)() = InitProc;
  InitProc = &EarlierInitProc;
  gPreviousInitProc = InitProc;
  InitProc = &TestInitProc;
  Application->Initialize();
  InitProc = saved;
  EXPECT_EQ(gInitSteps, (std::vector<String>{L"earlier", L"test"}));
}

TEST_F(ApplicationTest, ProcessMessagesAndOnMessage) {
  std::vector<WPARAM> received;
  HWND wnd = nullptr;
  TMethodWindowRelease release(wnd);
  wnd = AllocateHWnd([&](TMessage& m) {
    if (m.Msg == WM_APP) received.push_back(m.WParam);
    m.Result = DefWindowProcW(wnd, m.Msg, m.WParam, m.LParam);
  });
  struct Filter : TObject {
    void OnMessage(MSG& Msg, bool& Handled) { Handled = Msg.message == WM_APP && Msg.wParam == 2; }
  } filter;
  TScopedHook onMessage(Application->OnMessage, TMessageEvent::Bind<&Filter::OnMessage>(&filter));
  for (WPARAM i = 1; i <= 3; ++i) PostMessageW(wnd, WM_APP, i, 0);
  Application->ProcessMessages();
  EXPECT_EQ(received, (std::vector<WPARAM>{1, 3}));
  DeallocateHWnd(wnd);
}

TEST_F(ApplicationTest, IdleRunsOnIdleWhenTheQueueIsEmpty) {
  int idles = 0;
  struct Idle : TObject {
    int* n;
    void OnIdle(TObject*, bool& Done) {
      ++*n;
      Done = false;   // asks for another round instead of waiting
    }
  } idle;
  idle.n = &idles;
  TScopedHook onIdle(Application->OnIdle, TIdleEvent::Bind<&Idle::OnIdle>(&idle));
  Application->ProcessMessages();
  for (int i = 0; i < 3; ++i) Application->HandleMessage();
  EXPECT_GE(idles, 1);
}

TEST_F(ApplicationTest, AWorkersSynchronizeWakesTheLoop) {
  Application->Handle();
  auto* worker = Make<TSyncWorker>();
  worker->Start();
  TLoopGuard guard;
  // Wait for the call itself, not for the worker's end: nothing wakes the loop again after
  // the synchronized call has run, so waiting for Done would sleep until the guard fires.
  while (!worker->Called && !guard.Fired()) Application->HandleMessage();
  EXPECT_FALSE(guard.Fired());
  EXPECT_TRUE(worker->RanOnMainThread);
  worker->WaitFor();
  EXPECT_TRUE(worker->Done);
  TObject::Free(worker);
  // The guard's WM_QUIT, if any, must not end anything else.
  if (guard.Fired()) Application->ProcessMessages();
}

namespace {
// Shows `form` with one panel that shows `hint`.
TFormsTestPanel* ShowHintPanel(TForm* form, const String& hint) {
  form->SetPosition(poDesigned);
  form->SetBounds(100, 100, 300, 200);
  auto* panel = Make<TFormsTestPanel>(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 120, 60);
  panel->SetHint(hint);
  panel->SetShowHint(true);
  form->Show();
  return panel;
}
}  // namespace

TEST_F(ApplicationTest, HintOfTheControlUnderTheCursor) {
  auto form = FormsOwned<TForm>(Make<TForm>(nullptr, 0), &TObject::Free);
  TFormsTestPanel* panel = ShowHintPanel(form.get(), L"订单|打开订单查询");
  const TPoint over = panel->ClientToScreen({20, 20});

  struct Shower : TObject {
    TControl* Control = nullptr;
    void OnShowHint(String& HintStr, bool&, THintInfo& Info) {
      Control = Info.HintControl;
      HintStr += L"!";
    }
  } shower;
  TScopedHook onShowHint(Application->OnShowHint, TShowHintEvent::Bind<&Shower::OnShowHint>(&shower));
  Application->ActivateHint(over);
  THintWindow* hint = Application->HintWindow();
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(shower.Control, panel);
  EXPECT_TRUE(IsWindowVisible(hint->Handle()));
  EXPECT_EQ(hint->Caption(), L"订单!");
  EXPECT_TRUE(GetWindowLongW(hint->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(GetWindowLongW(hint->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_NE(GetActiveWindow(), hint->Handle());
  RECT r{};
  GetWindowRect(hint->Handle(), &r);
  EXPECT_EQ(r.left, over.X);
  EXPECT_GT(r.top, over.Y);
  EXPECT_EQ(GetLongHint(panel->Hint()), L"打开订单查询");

  Application->CancelHint();
  EXPECT_FALSE(IsWindowVisible(hint->Handle()));

  // Without ShowHint the control shows nothing.
  panel->SetShowHint(false);
  Application->ActivateHint(over);
  EXPECT_FALSE(IsWindowVisible(hint->Handle()));
}

TEST_F(ApplicationTest, HintWindowStaysOnTheDesktop) {
  auto hint = FormsOwned<THintWindow>(Make<THintWindow>(nullptr), &TObject::Free);
  const TRect desk = Screen->DesktopRect();
  const TRect wanted = hint->CalcHintRect(400, L"提示 hint", nullptr);
  EXPECT_GT(wanted.Width(), 6);
  EXPECT_GT(wanted.Height(), 2);
  // Asked to start 50 pixels before the right edge, 200 wide: moved left.
  hint->ActivateHint(Rect(desk.Right - 50, desk.Top - 40, desk.Right + 150, desk.Top - 20), L"提示 hint");
  RECT r{};
  GetWindowRect(hint->Handle(), &r);
  EXPECT_EQ(r.right, desk.Right);
  EXPECT_EQ(r.left, desk.Right - 200);
  EXPECT_EQ(r.top, desk.Top);
  EXPECT_TRUE(IsWindowVisible(hint->Handle()));
  EXPECT_EQ(SendMessageW(hint->Handle(), WM_NCHITTEST, 0, MAKELPARAM(r.left + 2, r.top + 2)), HTTRANSPARENT);
  hint->ReleaseHandle();
  EXPECT_FALSE(hint->HandleAllocated());
}

TEST_F(ApplicationTest, HintShowsAfterThePauseOverAControl) {
  auto form = FormsOwned<TForm>(Make<TForm>(nullptr, 0), &TObject::Free);
  TFormsTestPanel* panel = ShowHintPanel(form.get(), L"提示");
  const int savedPause = Application->HintPause();
  Application->SetHintPause(20);
  const TPoint over = panel->ClientToScreen({20, 20});
  Mouse->SetCursorPos(over);
  SendMessageW(panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  const bool shown = PumpUntil([] {
    THintWindow* h = Application->HintWindow();
    return h && h->HandleAllocated() && IsWindowVisible(h->WindowHandle());
  });
  Application->SetHintPause(savedPause);
  ASSERT_TRUE(shown);
  EXPECT_EQ(Application->HintWindow()->Caption(), L"提示");
  // A click takes the hint away.
  PostMessageW(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  PostMessageW(panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  Application->ProcessMessages();
  EXPECT_FALSE(IsWindowVisible(Application->HintWindow()->WindowHandle()));
}

TEST_F(ApplicationTest, ActivationOfTheApplicationFiresItsEvents) {
  struct Events : TObject {
    int Activated = 0, Deactivated = 0;
    void OnActivate(TObject*) { ++Activated; }
    void OnDeactivate(TObject*) { ++Deactivated; }
  } events;
  TScopedHook onActivate(Application->OnActivate, TNotifyEvent::Bind<&Events::OnActivate>(&events));
  TScopedHook onDeactivate(Application->OnDeactivate, TNotifyEvent::Bind<&Events::OnDeactivate>(&events));
  SendMessageW(Application->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_FALSE(Application->Active());
  EXPECT_TRUE(PumpUntil([&] { return events.Deactivated == 1; }));
  SendMessageW(Application->Handle(), WM_ACTIVATEAPP, TRUE, 0);
  EXPECT_TRUE(Application->Active());
  EXPECT_TRUE(PumpUntil([&] { return events.Activated == 1; }));
}

TEST_F(ApplicationTest, KeysMeetTheShortCutsBeforeTheControl) {
  auto form = FormsOwned<TForm>(Make<TForm>(nullptr, 0), &TObject::Free);
  auto* panel = Make<TFormsTestPanel>(form.get());
  panel->SetParent(form.get());
  struct Keys : TObject {
    std::vector<String> Seen;
    void FormShortCut(TWMKey& Msg, bool& Handled) {
      Seen.push_back(L"form");
      Handled = Msg.CharCode == VK_F2;
    }
    void AppShortCut(TWMKey& Msg, bool& Handled) {
      Seen.push_back(L"app");
      Handled = Msg.CharCode == VK_F5;
    }
    void PanelKey(TObject*, Word&, TShiftState) { Seen.push_back(L"panel"); }
  } keys;
  TScopedHook formShortCut(form->OnShortCut, TShortCutEvent::Bind<&Keys::FormShortCut>(&keys));
  TScopedHook appShortCut(Application->OnShortCut, TShortCutEvent::Bind<&Keys::AppShortCut>(&keys));
  panel->OnKeyDown = TKeyEvent::Bind<&Keys::PanelKey>(&keys);
  form->Show();

  struct Case {
    Word Key;
    std::vector<String> Seen;
  };
  const Case cases[] = {{VK_F2, {L"form"}}, {VK_F5, {L"form", L"app"}}, {'A', {L"form", L"app", L"panel"}}};
  for (const Case& c : cases) {
    keys.Seen.clear();
    PostMessageW(panel->Handle(), WM_KEYDOWN, c.Key, 1);
    Application->ProcessMessages();
    EXPECT_EQ(keys.Seen, c.Seen) << c.Key;
  }
}

TEST_F(ApplicationTest, IdleUpdatesActionsAndActionsReachTheApplication) {
  auto form = FormsOwned<TForm>(Make<TForm>(nullptr, 0), &TObject::Free);
  auto* list = Make<TActionList>(form.get());
  auto* action = Make<TAction>(form.get());
  action->SetActionList(list);
  struct Handlers : TObject {
    int Updates = 0;
    std::vector<TBasicAction*> Executed;
    void OnUpdate(TObject*) {
      ++Updates;
      // Something to wake the idle wait with.
      PostMessageW(Application->Handle(), WM_NULL, 0, 0);
    }
    void OnActionExecute(TBasicAction* Action, bool& Handled) {
      Executed.push_back(Action);
      Handled = true;
    }
  } handlers;
  action->OnUpdate = TNotifyEvent::Bind<&Handlers::OnUpdate>(&handlers);
  form->Show();
  Application->ProcessMessages();
  {
    TLoopGuard guard;   // wakes the idle wait should the update not come
    Application->HandleMessage();   // nothing queued: the idle step
    EXPECT_FALSE(guard.Fired());
  }
  EXPECT_GE(handlers.Updates, 1);

  // An action nobody else runs goes to the application's OnActionExecute.
  {
    TScopedHook onActionExecute(Application->OnActionExecute,
                                TActionEvent::Bind<&Handlers::OnActionExecute>(&handlers));
    EXPECT_TRUE(action->Execute());
  }
  EXPECT_EQ(handlers.Executed, std::vector<TBasicAction*>{action});
}

// The system announces a change of the regional settings to every top-level
// window with WM_SETTINGCHANGE "intl": the application then reads the
// format settings again from the locale, unless its option says no; other
// sections leave them alone.
TEST_F(ApplicationTest, RegionalSettingsChangeReadsTheFormatSettingsAgain) {
  struct TRestore {
    TFormatSettings saved = FormatSettings();
    ~TRestore() {
      FormatSettings() = saved;
      Application->SetUpdateFormatSettings(true);
    }
  } restore;
  Application->Handle();
  auto broadcast = [](const Char* section) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(section),
                        SMTO_ABORTIFHUNG, 5000, &result);
  };
  EXPECT_TRUE(Application->UpdateFormatSettings()) << "on by default";
  struct Case {
    bool update;
    const Char* section;
    bool reread;
  };
  const Case cases[] = {{true, L"intl", true}, {false, L"intl", false}, {true, L"WindowMetrics", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(UTF8Encode(c.section) + (c.update ? " updating" : " kept"));
    Application->SetUpdateFormatSettings(c.update);
    FormatSettings().DecimalSeparator = L'#';
    FormatSettings().ShortDateFormat = L"yyyy#mm#dd";
    broadcast(c.section);
    const TFormatSettings locale = TFormatSettings::Create();
    EXPECT_EQ(FormatSettings().DecimalSeparator, c.reread ? locale.DecimalSeparator : L'#');
    EXPECT_EQ(FormatSettings().ShortDateFormat, c.reread ? locale.ShortDateFormat : L"yyyy#mm#dd");
  }
}
