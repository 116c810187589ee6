#include "FormsTestSupport.h"

#include "platform/core/Modules.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/GuiModules.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Menus.h"
#include "tests/support/MessagePump.h"

// ---------------------------------------------------------------------------

BEGIN_CLASS(TFormsTestPanel, TCustomControl, (ConstructWith<TFormsTestPanel, TComponent>))
  PublishControl(b, {L"TabStop", L"TabOrder", L"ShowHint", L"Visible", L"OnKeyDown", L"OnEnter", L"OnExit"});
END_CLASS

TFormsTestPanel::TFormsTestPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetTabStop(true);
  SetBounds(0, 0, 60, 30);
}

void TFormsTestPanel::DoEnter() {
  ++Entered;
  TCustomControl::DoEnter();
}

void TFormsTestPanel::DoExit() {
  ++Exited;
  TCustomControl::DoExit();
}

// ---------------------------------------------------------------------------

namespace {

int RecordingMessageBox(HWND, const String& text, const String& caption, UINT flags) {
  RecordedMessageBoxes().push_back({text, caption, flags});
  return IDOK;
}

}  // namespace

std::vector<TMessageBoxRecord>& RecordedMessageBoxes() {
  static std::vector<TMessageBoxRecord> boxes;
  return boxes;
}

void EnsureFormsModules() {
  static bool started = false;
  if (started) return;
  started = true;
  InitializeModules(PlatformCoreModules());
  InitializeModules(PlatformGuiModules());
  // The steps this test needs, under the names of the program's list (a
  // step already started there is not started again).
  static const TModuleStep steps[] = {
      {L"Graphics", &GraphicsInitialize, &GraphicsFinalize},
      {L"Controls", &ControlsInitialize, &ControlsFinalize},
      {L"ActnList", &ActnListInitialize, &ActnListFinalize},
      {L"Menus", &MenusInitialize, &MenusFinalize},
      {L"Clipboard", &ClipboardInitialize, &ClipboardFinalize},
      {L"Forms", &FormsInitialize, &FormsFinalize},
  };
  InitializeModules(steps);
  RegisterClasses({TFormsTestPanel::StaticClass()});
}

bool PumpUntil(const std::function<bool()>& done) { return PumpMessagesUntil(done); }

void PumpPending() { PumpQueuedMessages(); }

void FormsFixture::SetUp() {
  EnsureFormsModules();
  RecordedMessageBoxes().clear();
  SetMessageBoxFunction(&RecordingMessageBox);
}

void FormsFixture::TearDown() {
  // Forms a failing test left behind must not become the next test's main form.
  while (Screen && Screen->CustomFormCount() > 0) TObject::Free(Screen->CustomForms(0));
  if (Application) {
    Application->OnException = nullptr;
    Application->OnIdle = nullptr;
    Application->OnMessage = nullptr;
    Application->OnShowHint = nullptr;
    Application->OnShortCut = nullptr;
    Application->CancelHint();
    // The application makes its hint window for the first hint and keeps it:
    // a test that showed one frees it, as any window it made.
    TObject::Free(Application->HintWindow());
  }
  SetMessageBoxFunction(nullptr);
  // A test that ended the message loop leaves the application terminated;
  // Run without a main form only clears that.
  if (Application && Application->Terminated() && !Application->MainForm()) Application->Run();
  // Posted messages of this test (a CM_RELEASE, a WM_QUIT) must not reach the next one.
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool TLoopGuard::fired_ = false;

TLoopGuard::TLoopGuard() {
  fired_ = false;
  id_ = SetTimer(nullptr, 0, kHangBoundMs, &TLoopGuard::Expired);
}

TLoopGuard::~TLoopGuard() { KillTimer(nullptr, id_); }

void CALLBACK TLoopGuard::Expired(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  fired_ = true;
  PostQuitMessage(0);
}
