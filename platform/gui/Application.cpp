// TApplication: the application window, the message loop, exceptions, hints;
// the module's globals and start-up.
#include "platform/gui/Forms.h"

#include "platform/core/SysUtils.h"
#include "platform/core/Threads.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Menus.h"

#include <algorithm>

TApplication* Application = nullptr;
TScreen* Screen = nullptr;
TMouse* Mouse = nullptr;
void (*InitProc)() = nullptr;
THintWindowClass HintWindowClass = nullptr;

namespace {

const Char kAppWindowClass[] = L"TApplication";
constexpr UINT_PTR kHintTimer = 1;
enum { htmNone, htmShow, htmHide, htmReshow };

int SystemMessageBox(HWND owner, const String& text, const String& caption, UINT flags) {
  return MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

TMessageBoxFunction gMessageBox = &SystemMessageBox;

LRESULT CALLBACK AppWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* app = reinterpret_cast<TApplication*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (!app) return DefWindowProcW(wnd, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  GuardCallback([&] { app->WndProc(m); }, app);
  return m.Result;
}

HINSTANCE ModuleInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&AppWndProc), &module);
  return module;
}

// The hint of a control: its own, else the nearest parent's.
String HintOf(TControl* control) {
  for (; control; control = control->Parent())
    if (!control->Hint().empty()) return control->Hint();
  return String();
}

// The control whose hint shows for `control`: the nearest one with ShowHint.
TControl* HintControlOf(TControl* control) {
  while (control && !control->ShowHint()) control = control->Parent();
  if (control && control->ComponentState().Contains(csDesigning)) control = nullptr;
  return control;
}

// How far below the hot spot a hint goes: clear of the mouse cursor.
int CursorHeightMargin() { return GetSystemMetrics(SM_CYCURSOR) * 2 / 3; }

// ---- hooks of the lower modules --------------------------------------------

HCURSOR HookCursorHandle(TCursor cursor) {
  return Screen ? Screen->Cursors(cursor) : LoadCursorW(nullptr, IDC_ARROW);
}

TCursor HookScreenCursor() { return Screen ? Screen->Cursor() : crDefault; }

void HookHintMouseMessage(TControl* control, TMessage& message) {
  if (Application) Application->HintMouseMessage(control, message);
}

void HookControlDestroyed(TControl* control);

// Finds a target for an action among the controls of a showing form: the
// active control, the form, then every visible control.
bool TraverseForAction(TWinControl* container, TBasicAction* action, bool execute) {
  if (!container->Showing()) return false;
  for (int i = 0; i < container->ControlCount(); ++i) {
    TControl* c = container->Controls(i);
    if (c->Visible() && (execute ? c->ExecuteAction(action) : c->UpdateAction(action))) return true;
    if (auto* w = dynamic_cast<TWinControl*>(c); w && TraverseForAction(w, action, execute)) return true;
  }
  return false;
}

bool FormTakesAction(TCustomForm* form, TBasicAction* action, bool execute) {
  if (!form || form->ComponentState().Contains(csDesigning) || !form->Showing()) return false;
  auto take = [&](TControl* c) { return c && (execute ? c->ExecuteAction(action) : c->UpdateAction(action)); };
  return take(form->ActiveControl()) || take(form) || TraverseForAction(form, action, execute);
}

bool TargetAction(TBasicAction* action, bool execute) {
  TCustomForm* form = Screen ? Screen->ActiveCustomForm() : nullptr;
  if (FormTakesAction(form, action, execute)) return true;
  TCustomForm* mainForm = Application ? Application->MainForm() : nullptr;
  return mainForm != form && FormTakesAction(mainForm, action, execute);
}

bool AppActionHook(TBasicAction* action, bool execute) {
  if (!Application) return false;
  bool handled = false;
  const TActionEvent& e = execute ? Application->OnActionExecute : Application->OnActionUpdate;
  if (e) e(action, handled);
  return handled;
}

TComponent* FindGlobalForm(const String& name) {
  if (!Screen) return nullptr;
  for (int i = 0; i < Screen->CustomFormCount(); ++i) {
    TCustomForm* f = Screen->CustomForms(i);
    if (!f->ComponentState().Contains(csInline) && SameText(f->Name(), name)) return f;
  }
  return nullptr;
}

// Enumeration procedures stop the enumeration when their body raises.
BOOL CALLBACK DisableWindowProc(HWND wnd, LPARAM data) {
  return GuardCallback(FALSE, [&] {
    auto* ctx = reinterpret_cast<std::pair<HWND, std::vector<HWND>*>*>(data);
    if (wnd != ctx->first && IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
      ctx->second->push_back(wnd);
      EnableWindow(wnd, FALSE);
    }
    return TRUE;
  });
}

BOOL CALLBACK CollectTopMost(HWND wnd, LPARAM data) {
  return GuardCallback(FALSE, [&] {
    auto* list = reinterpret_cast<std::vector<HWND>*>(data);
    if (IsWindowVisible(wnd) && (GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
      // The hint window stays on top: it is hidden by the next message anyway.
      if (!(Application && Application->HintWindow() && Application->HintWindow()->WindowHandle() == wnd))
        list->push_back(wnd);
    }
    return TRUE;
  });
}

}  // namespace

// ---------------------------------------------------------------------------
// Module routines
// ---------------------------------------------------------------------------

void ApplicationHandleException(TObject* sender) {
  if (Application) Application->HandleException(sender);
}

TMessageBoxFunction SetMessageBoxFunction(TMessageBoxFunction function) {
  TMessageBoxFunction previous = gMessageBox;
  gMessageBox = function ? function : &SystemMessageBox;
  return previous == &SystemMessageBox ? nullptr : previous;
}

String GetShortHint(const String& Hint) {
  const size_t bar = Hint.find(L'|');
  return bar == String::npos ? Hint : Hint.substr(0, bar);
}

String GetLongHint(const String& Hint) {
  const size_t bar = Hint.find(L'|');
  return bar == String::npos ? Hint : Hint.substr(bar + 1);
}

std::vector<HWND>* DisableTaskWindows(HWND activeWindow) {
  auto* list = new std::vector<HWND>();
  std::pair<HWND, std::vector<HWND>*> ctx{activeWindow, list};
  EnumThreadWindows(GetCurrentThreadId(), &DisableWindowProc, reinterpret_cast<LPARAM>(&ctx));
  return list;
}

void EnableTaskWindows(std::vector<HWND>* windowList) {
  if (!windowList) return;
  for (HWND w : *windowList)
    if (IsWindow(w)) EnableWindow(w, TRUE);
  delete windowList;
}

// ---------------------------------------------------------------------------
// TApplication: life and window
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TApplication, TComponent, (ConstructWith<TApplication, TComponent>))

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
  title_ = ChangeFileExt(ExtractFileName(ExeName()), L"");
  previousWake_ = SetWakeMainThread(TNotifyEvent::Bind<&TApplication::WakeMainThread>(this));
}

TApplication::~TApplication() {
  // Restores the previous wake-up only when nobody chained after us.
  if (GetWakeMainThread() == TNotifyEvent::Bind<&TApplication::WakeMainThread>(this))
    SetWakeMainThread(previousWake_);
  StopHintTimer();
  DestroyComponents();   // the forms go while the window they are owned by still exists
  hintWindow_ = nullptr;
  mainForm_ = nullptr;
  if (HWND h = handle_.exchange(nullptr)) {
    SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    DestroyWindow(h);
  }
}

HWND TApplication::Handle() {
  if (HWND h = handle_.load()) return h;
  HINSTANCE instance = ModuleInstance();
  WNDCLASSW existing{};
  if (!GetClassInfoW(instance, kAppWindowClass, &existing)) {
    WNDCLASSW cls{};
    cls.lpfnWndProc = &AppWndProc;
    cls.hInstance = instance;
    cls.hIcon = LoadIconW(instance, L"MAINICON");
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.lpszClassName = kAppWindowClass;
    if (!RegisterClassW(&cls) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) RaiseLastOSError();
  }
  // Hidden and empty: it owns the forms (unless the main form is on the
  // task bar), receives the application's own messages and carries the title.
  HWND h = CreateWindowExW(0, kAppWindowClass, title_.c_str(),
                           WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                           GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                           nullptr, instance, nullptr);
  if (!h) RaiseLastOSError();
  SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  // The system menu of the task bar button offers what a main window offers.
  if (HMENU menu = GetSystemMenu(h, FALSE)) {
    DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
    DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
  }
  handle_.store(h);
  active_ = GetActiveWindow() != nullptr;
  return h;
}

HWND TApplication::MainFormHandle() { return mainForm_ && mainForm_->HandleAllocated() ? mainForm_->WindowHandle() : nullptr; }

void TApplication::SetMainFormOnTaskBar(bool value) {
  if (mainFormOnTaskBar_ == value) return;
  mainFormOnTaskBar_ = value;
  if (mainForm_ && mainForm_->HandleAllocated()) mainForm_->RecreateWnd();
}

void TApplication::SetTitle(const String& value) {
  title_ = value;
  if (HWND h = handle_.load()) SetWindowTextW(h, value.c_str());
}

String TApplication::ExeName() const {
  String name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (n < name.size()) {
      name.resize(n);
      return name;
    }
    name.resize(name.size() * 2);
  }
}

void TApplication::Initialize() {
  if (InitProc) InitProc();
}

void TApplication::CreateFormInstance(TClass InstanceClass, const std::function<void(TComponent*)>& setReference) {
  if (!InstanceClass->Create)
    throw EInvalidOperation(String(L"Cannot create an instance of abstract class ") + InstanceClass->Name);
  TObject* obj = InstanceClass->Create(this);
  auto* instance = dynamic_cast<TComponent*>(obj);
  if (!instance) {
    TObject::Free(obj);
    throw EInvalidCast(L"Invalid class typecast");
  }
  // The reference is set before the definition is read, so that the form's
  // own OnCreate can use it already.
  setReference(instance);
  auto* form = dynamic_cast<TForm*>(instance);
  const bool becomesMain = form && !mainForm_;
  try {
    instance->AfterConstruction();
  } catch (...) {
    setReference(nullptr);
    TObject::Free(instance);
    throw;
  }
  if (becomesMain && !mainForm_) {
    mainForm_ = form;
    form->HandleNeeded();
  }
}

void TApplication::FormDestroyed(TCustomForm* form) {
  if (mainForm_ == form) mainForm_ = nullptr;
}

void TApplication::Notification(TComponent* AComponent, TOperation operation) {
  TComponent::Notification(AComponent, operation);
  if (operation != opRemove) return;
  if (AComponent == mainForm_) mainForm_ = nullptr;
  if (AComponent == hintWindow_) hintWindow_ = nullptr;
}

// ---------------------------------------------------------------------------
// The message loop
// ---------------------------------------------------------------------------

void TApplication::Run() {
  terminated_ = false;
  if (!mainForm_) return;
  if (showMainForm_) mainForm_->SetVisible(true);
  do {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(this);
    }
  } while (!terminated_);
}

void TApplication::Terminate() { PostQuitMessage(0); }

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  if (Msg.message == WM_NULL && !Msg.hwnd) {
    // A worker's wake-up posted to the thread (before the window existed).
    if (GetCurrentThreadId() == MainThreadID()) CheckSynchronize();
    return true;
  }
  bool handled = false;
  if (OnMessage) OnMessage(Msg, handled);
  if (!handled && !IsHintMsg(Msg) && !IsMDIMsg(Msg) && !IsKeyMsg(Msg) && !IsDlgMsg(Msg)) {
    TranslateMessage(&Msg);
    DispatchMessageW(&Msg);
  }
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle(msg);
}

void TApplication::Idle(const MSG&) {
  TControl* control = DoMouseIdle();
  if (showHint_ && !mouseControl_) CancelHint();
  SetHint(GetLongHint(HintOf(control)));
  bool done = true;
  try {
    if (OnIdle) OnIdle(this, done);
    if (done) {
      UpdateActionListsOnIdle();
      // The forms' own action links; a handler may free forms meanwhile.
      if (Screen) {
        const std::vector<TCustomForm*> forms = Screen->customForms_;
        for (TCustomForm* f : forms) {
          const auto& live = Screen->customForms_;
          if (std::find(live.begin(), live.end(), f) != live.end() && f->Visible() && f->Enabled())
            f->UpdateActions();
        }
      }
    }
  } catch (...) {
    HandleException(this);
  }
  FreeDeviceContexts();
  if (GetCurrentThreadId() == MainThreadID() && CheckSynchronize()) done = false;
  if (done) WaitMessage();
}

TControl* TApplication::DoMouseIdle() {
  POINT p{};
  GetCursorPos(&p);
  TControl* result = FindDragTarget({p.x, p.y}, true);
  if (result && result->ComponentState().Contains(csDesigning)) result = nullptr;
  mouseControl_ = result;
  return result;
}

bool TApplication::IsHintMsg(MSG& Msg) {
  if (hintWindow_ && hintWindow_->IsHintMsg(Msg)) CancelHint();
  return false;
}

bool TApplication::IsMDIMsg(MSG& Msg) {
  if (!mainForm_ || mainForm_->FormStyle() != fsMDIForm || !mainForm_->ClientHandle()) return false;
  TForm* active = Screen ? Screen->ActiveForm() : nullptr;
  return active && active->FormStyle() == fsMDIChild && TranslateMDISysAccel(mainForm_->ClientHandle(), &Msg);
}

// Keys go first to the control of the window (CN_KEYDOWN ...), which offers
// them to the menus, the form's shortcuts and the dialog keys before the
// window sees them as WM_KEYDOWN.
bool TApplication::IsKeyMsg(MSG& Msg) {
  if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
  HWND wnd = GetCapture();
  if (!wnd) {
    wnd = Msg.hwnd;
    if (mainForm_ && wnd && wnd == mainForm_->ClientHandle()) {
      wnd = mainForm_->WindowHandle();
    } else {
      while (wnd && !FindControl(wnd)) wnd = GetParent(wnd);
    }
  }
  if (!wnd || !FindControl(wnd)) return false;
  return SendMessageW(wnd, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

bool TApplication::IsDlgMsg(MSG& Msg) { return dialogHandle_ && IsDialogMessageW(dialogHandle_, &Msg); }

void TApplication::WakeMainThread(TObject*) {
  if (HWND h = handle_.load())
    PostMessageW(h, WM_NULL, 0, 0);
  else
    PostThreadMessageW(MainThreadID(), WM_NULL, 0, 0);
}

// ---------------------------------------------------------------------------
// The application window's messages
// ---------------------------------------------------------------------------

void TApplication::WndProc(TMessage& Message) {
  HWND h = handle_.load();
  const std::vector<TWindowHook> hooks = windowHooks_;
  for (const TWindowHook& hook : hooks)
    if (hook(Message)) return;
  switch (Message.Msg) {
    case WM_SYSCOMMAND:
      switch (Message.WParam & 0xFFF0) {
        case SC_MINIMIZE: Minimize(); return;
        case SC_RESTORE: Restore(); return;
      }
      break;
    case WM_CLOSE:
      if (mainForm_) mainForm_->Close();
      return;
    case WM_SETTINGCHANGE:
      if (Mouse) Mouse->SettingChanged(static_cast<int>(Message.WParam));
      SettingChange(reinterpret_cast<TWMSettingChange&>(Message));
      break;
    case WM_ACTIVATEAPP:
      Message.Result = DefWindowProcW(h, Message.Msg, Message.WParam, Message.LParam);
      active_ = Message.WParam != 0;
      if (!active_) CancelHint();
      PostMessageW(h, active_ ? CM_ACTIVATE : CM_DEACTIVATE, 0, 0);
      return;
    case WM_ENDSESSION:
      if (Message.WParam) terminated_ = true;
      return;
    case WM_QUERYENDSESSION:
      Message.Result = !mainForm_ || mainForm_->CloseQuery() ? 1 : 0;
      return;
    case WM_NULL:
      if (GetCurrentThreadId() == MainThreadID()) CheckSynchronize();
      return;
    case WM_TIMER:
      if (Message.WParam == kHintTimer) {
        HintTimerExpired();
        return;
      }
      break;
    case CM_ACTIVATE:
      if (OnActivate) OnActivate(this);
      return;
    case CM_DEACTIVATE:
      if (OnDeactivate) OnDeactivate(this);
      return;
    case CM_APPKEYDOWN:
      Message.Result = IsShortCut(reinterpret_cast<TWMKey&>(Message)) ? 1 : 0;
      return;
    case CM_APPSYSCOMMAND:
      if (HWND main = MainFormHandle(); main && IsWindowEnabled(main) && IsWindowVisible(main)) {
        SendMessageW(main, WM_SYSCOMMAND, Message.WParam, Message.LParam);
        Message.Result = 1;
      }
      return;
    case CM_ACTIONEXECUTE:
    case CM_ACTIONUPDATE:
      Message.Result = DispatchAction(Message.Msg, reinterpret_cast<TBasicAction*>(Message.LParam)) ? 1 : 0;
      return;
  }
  Message.Result = DefWindowProcW(h, Message.Msg, Message.WParam, Message.LParam);
}

void TApplication::SettingChange(TWMSettingChange& Message) {
  if (updateFormatSettings_ && Message.Section && SameText(Message.Section, L"intl")) {
    // The thread took its locale when it started: follow the user's new one.
    SetThreadLocale(LOCALE_USER_DEFAULT);
    GetFormatSettings();
  }
  if (!Screen) return;
  if (Message.Flag == 0 || Message.Flag == SPI_SETNONCLIENTMETRICS || Message.Flag == SPI_SETICONTITLELOGFONT)
    Screen->ResetFonts();
}

bool TApplication::DispatchAction(UINT Msg, TBasicAction* Action) {
  if (!Action) return false;
  return TargetAction(Action, Msg == CM_ACTIONEXECUTE);
}

void TApplication::HookMainWindow(TWindowHook hook) {
  if (std::find(windowHooks_.begin(), windowHooks_.end(), hook) == windowHooks_.end()) windowHooks_.push_back(hook);
  Handle();
}

void TApplication::UnhookMainWindow(TWindowHook hook) { std::erase(windowHooks_, hook); }

// ---------------------------------------------------------------------------
// Exceptions and message boxes
// ---------------------------------------------------------------------------

void TApplication::HandleException(TObject* Sender) {
  if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
  const std::exception_ptr current = std::current_exception();
  if (!current) return;
  auto report = [&](Exception& e) {
    // A handler that raises itself has nowhere to go: the caller is a window
    // procedure or the message loop.
    try {
      if (OnException)
        OnException(Sender, e);
      else
        ShowException(e);
    } catch (...) {
    }
  };
  try {
    std::rethrow_exception(current);
  } catch (EAbort&) {
  } catch (Exception& e) {
    report(e);
  } catch (std::exception& e) {
    Exception wrapped(UTF8ToString(e.what()));
    report(wrapped);
  } catch (...) {
    Exception wrapped(L"Unknown exception");
    report(wrapped);
  }
}

void TApplication::ShowException(Exception& E) {
  String text = E.Message;
  if (!text.empty() && text.back() > L'.') text += L'.';
  MessageBox(text, Title(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const String& Text, const String& Caption, UINT Flags) {
  HWND active = GetActiveWindow();
  HWND owner = active ? active : Handle();
  std::vector<HWND>* windows = DisableTaskWindows(nullptr);
  NormalizeTopMosts();
  int result = 0;
  try {
    result = gMessageBox(owner, Text, Caption.empty() ? Title() : Caption, Flags);
  } catch (...) {
    RestoreTopMosts();
    EnableTaskWindows(windows);
    throw;
  }
  RestoreTopMosts();
  EnableTaskWindows(windows);
  if (active && IsWindow(active)) SetActiveWindow(active);
  return result;
}

// ---------------------------------------------------------------------------
// Windows of the application
// ---------------------------------------------------------------------------

void TApplication::Minimize() {
  if (HWND main = MainFormHandle(); main && !IsIconic(main)) ShowWindow(main, SW_MINIMIZE);
  if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
  if (HWND main = MainFormHandle(); main && IsIconic(main)) ShowWindow(main, SW_RESTORE);
  if (OnRestore) OnRestore(this);
}

void TApplication::BringToFront() {
  HWND main = MainFormHandle();
  if (!main) return;
  HWND last = GetLastActivePopup(main);
  if (last && IsWindowVisible(last) && IsWindowEnabled(last)) SetForegroundWindow(last);
}

void TApplication::NormalizeTopMosts() {
  if (topMostLevel_++ > 0) return;
  topMostList_.clear();
  EnumThreadWindows(GetCurrentThreadId(), &CollectTopMost, reinterpret_cast<LPARAM>(&topMostList_));
  for (HWND w : topMostList_)
    SetWindowPos(w, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TApplication::RestoreTopMosts() {
  if (topMostLevel_ == 0 || --topMostLevel_ > 0) return;
  for (auto it = topMostList_.rbegin(); it != topMostList_.rend(); ++it)
    if (IsWindow(*it)) SetWindowPos(*it, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  topMostList_.clear();
}

void TApplication::ModalStarted() {
  if (++modalLevel_ == 1 && OnModalBegin) OnModalBegin(this);
}

void TApplication::ModalFinished() {
  if (modalLevel_ > 0 && --modalLevel_ == 0 && OnModalEnd) OnModalEnd(this);
}

bool TApplication::IsShortCut(TWMKey& Message, TCustomForm* from) {
  bool handled = false;
  if (OnShortCut) OnShortCut(Message, handled);
  if (handled) return true;
  HWND main = MainFormHandle();
  return mainForm_ && mainForm_ != from && main && IsWindowEnabled(main) && mainForm_->IsFormShortCut(Message);
}

// ---------------------------------------------------------------------------
// Help
// ---------------------------------------------------------------------------

bool TApplication::HelpCommand(int Command, NativeInt Data) {
  bool callHelp = true;
  bool result = false;
  if (OnHelp) result = OnHelp(static_cast<Word>(Command), Data, callHelp);
  if (callHelp && !helpFile_.empty())
    result = WinHelpW(Handle(), helpFile_.c_str(), static_cast<UINT>(Command), static_cast<ULONG_PTR>(Data)) != 0;
  return result;
}

bool TApplication::HelpContext(THelpContext Context) { return HelpCommand(HELP_CONTEXT, Context); }

bool TApplication::HelpJump(const String& JumpID) {
  return HelpCommand(HELP_KEY, reinterpret_cast<NativeInt>(JumpID.c_str()));
}

// ---------------------------------------------------------------------------
// Hints
// ---------------------------------------------------------------------------

void TApplication::SetShowHint(bool value) {
  if (showHint_ == value) return;
  showHint_ = value;
  if (!value) {
    CancelHint();
    if (hintWindow_) FreeAndNil(hintWindow_);
  }
}

void TApplication::SetHintColor(TColor value) {
  hintColor_ = value;
  if (hintWindow_) hintWindow_->SetColor(value);
}

void TApplication::SetHint(const String& value) {
  if (hint_ == value) return;
  hint_ = value;
  if (OnHint) OnHint(this);
}

void TApplication::StartHintTimer(int Value, int Mode) {
  StopHintTimer();
  hintTimerMode_ = Mode;
  if (Value <= 0) Value = 1;
  SetTimer(Handle(), kHintTimer, static_cast<UINT>(Value), nullptr);
}

void TApplication::StopHintTimer() {
  if (hintTimerMode_ != htmNone) {
    if (HWND h = handle_.load()) KillTimer(h, kHintTimer);
    hintTimerMode_ = htmNone;
  }
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message) {
  if (!showHint_ || !Control) return;
  const auto& mouse = reinterpret_cast<TWMMouse&>(Message);
  const TPoint screenPos = Control->ClientToScreen({mouse.XPos, mouse.YPos});
  TControl* newHintControl = HintControlOf(FindDragTarget(screenPos, true));
  if (!newHintControl) {
    CancelHint();
    return;
  }
  if (newHintControl == hintControl_ && hintCursorRect_.Contains(screenPos)) return;
  const bool wasActive = hintActive_;
  int pause = wasActive ? hintShortPause_ : hintPause_;
  newHintControl->Perform(CM_HINTSHOWPAUSE, wasActive, reinterpret_cast<LPARAM>(&pause));
  HideHint();
  hintControl_ = newHintControl;
  hintCursorRect_ = TRect();
  StartHintTimer(pause, htmShow);
}

void TApplication::HintTimerExpired() {
  const int mode = hintTimerMode_;
  StopHintTimer();
  switch (mode) {
    case htmShow:
    case htmReshow:
      if (hintControl_) ActivateHint(Mouse ? Mouse->CursorPos() : TPoint());
      break;
    case htmHide:
      // The hint stays away until the mouse moves to another control.
      HideHint();
      break;
  }
}

void TApplication::ActivateHint(TPoint CursorPos) {
  if (!hintControl_) hintControl_ = HintControlOf(FindDragTarget(CursorPos, true));
  if (!hintControl_ || !showHint_) {
    CancelHint();
    return;
  }
  TControl* control = hintControl_;
  THintInfo info;
  info.HintControl = control;
  info.HintWindowClass = HintWindowClass ? HintWindowClass : THintWindow::StaticClass();
  info.HintPos = {CursorPos.X, CursorPos.Y + CursorHeightMargin()};
  info.HintMaxWidth = Screen ? Screen->Width() : GetSystemMetrics(SM_CXSCREEN);
  info.HintColor = hintColor_;
  info.CursorRect = control->ClientRect();
  info.CursorPos = control->ScreenToClient(CursorPos);
  info.HintStr = GetShortHint(HintOf(control));
  info.ReshowTimeout = 0;
  info.HideTimeout = hintHidePause_;
  TControlGuard guard(control);
  bool canShow = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
  if (!guard.Alive()) return;
  if (canShow && OnShowHint) OnShowHint(info.HintStr, canShow, info);
  hintActive_ = canShow;
  if (canShow && !info.HintStr.empty()) {
    if (hintWindow_ && hintWindow_->ClassType() != info.HintWindowClass) FreeAndNil(hintWindow_);
    if (!hintWindow_) {
      hintWindow_ = dynamic_cast<THintWindow*>(info.HintWindowClass->NewInstance(this));
      if (!hintWindow_) return;
    }
    hintWindow_->SetColor(info.HintColor);
    TRect r = hintWindow_->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    r = {r.Left + info.HintPos.X, r.Top + info.HintPos.Y, r.Right + info.HintPos.X, r.Bottom + info.HintPos.Y};
    hintWindow_->ActivateHintData(r, info.HintStr, info.HintData);
    const TPoint topLeft = control->ClientToScreen(info.CursorRect.TopLeft());
    const TPoint bottomRight = control->ClientToScreen(info.CursorRect.BottomRight());
    hintCursorRect_ = {topLeft, bottomRight};
    if (info.HideTimeout > 0) StartHintTimer(info.HideTimeout, htmHide);
    return;
  }
  if (info.ReshowTimeout > 0)
    StartHintTimer(info.ReshowTimeout, htmReshow);
  else
    HideHint();
}

void TApplication::HideHint() {
  if (hintWindow_ && hintWindow_->HandleAllocated() && IsWindowVisible(hintWindow_->WindowHandle()))
    ShowWindow(hintWindow_->WindowHandle(), SW_HIDE);
}

void TApplication::CancelHint() {
  if (!hintControl_ && !hintActive_) return;
  HideHint();
  hintControl_ = nullptr;
  hintActive_ = false;
  hintCursorRect_ = TRect();
  StopHintTimer();
}

namespace {

void HookControlDestroyed(TControl* control) {
  if (!Application) return;
  Application->ControlDestroyed(control);
}

}  // namespace

void TApplication::ControlDestroyed(TControl* control) {
  if (mouseControl_ == control) mouseControl_ = nullptr;
  if (hintControl_ == control) CancelHint();
  if (control == hintWindow_) hintWindow_ = nullptr;
}

// ---------------------------------------------------------------------------
// Module start-up
// ---------------------------------------------------------------------------

namespace {

// The callback exception handler before FormsInitialize installed the
// application's.
TCallbackExceptionHandler& PreviousCallbackHandler() {
  static TCallbackExceptionHandler previous = nullptr;
  return previous;
}

}  // namespace

void FormsInitialize() {
  // From here on an exception in any window, hook, enumeration or timer
  // procedure reaches Application->HandleException (OnException).
  PreviousCallbackHandler() = SetCallbackExceptionHandler(&ApplicationHandleException);
  RegisterClasses({TForm::StaticClass(), THintWindow::StaticClass()});
  HintWindowClass = THintWindow::StaticClass();
  Mouse = Make<TMouse>();
  Screen = Make<TScreen>(nullptr);
  Application = Make<TApplication>(nullptr);
  TControlsHooks& hooks = ControlsHooks();
  hooks.CursorHandle = &HookCursorHandle;
  hooks.ScreenCursor = &HookScreenCursor;
  hooks.HintMouseMessage = &HookHintMouseMessage;
  hooks.ControlDestroyed = &HookControlDestroyed;
  TActionDispatchHooks actions;
  actions.ApplicationExecute = [](TBasicAction* a) { return AppActionHook(a, true); };
  actions.ApplicationUpdate = [](TBasicAction* a) { return AppActionHook(a, false); };
  actions.TargetExecute = [](TBasicAction* a) { return TargetAction(a, true); };
  actions.TargetUpdate = [](TBasicAction* a) { return TargetAction(a, false); };
  SetActionDispatchHooks(actions);
  RegisterFindGlobalComponentProc(&FindGlobalForm);
}

void FormsFinalize() {
  UnregisterFindGlobalComponentProc(&FindGlobalForm);
  SetActionDispatchHooks(TActionDispatchHooks{});
  TControlsHooks& hooks = ControlsHooks();
  hooks.CursorHandle = nullptr;
  hooks.ScreenCursor = nullptr;
  hooks.HintMouseMessage = nullptr;
  hooks.ControlDestroyed = nullptr;
  // The forms go while Application still answers (their OnDestroy may ask it).
  if (Application) Application->DestroyComponents();
  FreeAndNil(Application);
  FreeAndNil(Screen);
  FreeAndNil(Mouse);
  HintWindowClass = nullptr;
  UnRegisterClasses({TForm::StaticClass(), THintWindow::StaticClass()});
  SetCallbackExceptionHandler(PreviousCallbackHandler());
  PreviousCallbackHandler() = nullptr;
}
