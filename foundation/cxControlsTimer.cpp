#include "platform/WinApi.h"
#include "foundation/cxControlsTimer.h"

#include "platform/gui/Messaging.h"

#include <algorithm>
#include <utility>
#include <vector>

// Dispatches each WM_TIMER to the running timer that owns its identifier.
class TcxTimerWindow : public TcxMessageWindow {
  DECLARE_CLASS(TcxTimerWindow, TcxMessageWindow)
  TcxTimerWindow() : TcxMessageWindow(TMessageOnly{}) {}

 protected:
  void HandleMessage(TMessage& AMessage) override;
};

IMPLEMENT_CLASS(TcxMessageWindow, TObject, (ConstructPlain<TcxMessageWindow>))
IMPLEMENT_CLASS(TcxTimerWindow, TcxMessageWindow, (ConstructPlain<TcxTimerWindow>))

BEGIN_CLASS(TcxTimer, TComponent, (ConstructWith<TcxTimer, TComponent>))
  DefaultValue(b.Prop(L"Enabled", &TcxTimer::Enabled, &TcxTimer::SetEnabled), 1);
  DefaultValue(b.Prop(L"Interval", &TcxTimer::Interval, &TcxTimer::SetInterval), 1000);
  b.Prop(L"OnTimer", &TcxTimer::OnTimer, &TcxTimer::SetOnTimer);
END_CLASS

namespace {

int gInitCount = 0;
// Set by the shutdown: the shared window is not made any more.
bool gShutDown = false;
TcxTimerWindow* gTimerWindow = nullptr;
// The running timers by identifier, in start order.
std::vector<std::pair<UINT_PTR, TcxTimer*>> gRunning;
UINT_PTR gLastEventID = 0;
TcxSetTimerProc gSetTimerReplacement = nullptr;

TcxTimerWindow* TimerWindow() {
  if (!gTimerWindow && !gShutDown) gTimerWindow = Make<TcxTimerWindow>();
  return gTimerWindow;
}

TcxTimer* FindRunning(UINT_PTR AEventID) {
  for (const auto& entry : gRunning)
    if (entry.first == AEventID) return entry.second;
  return nullptr;
}

// Identifiers count up from 1; one still running is never handed out twice.
UINT_PTR NewEventID() {
  do {
    ++gLastEventID;
  } while (gLastEventID == 0 || FindRunning(gLastEventID));
  return gLastEventID;
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxMessageWindow
// ---------------------------------------------------------------------------

TcxMessageWindow::TcxMessageWindow() { Handle(); }

HWND TcxMessageWindow::Handle() const {
  if (!FHandle) {
    auto* self = const_cast<TcxMessageWindow*>(this);
    std::function<void(TMessage&)> handler([self](TMessage& m) { self->HandleMessage(m); });
    FHandle = FMessageOnly ? AllocateMessageHWnd(std::move(handler)) : AllocateHWnd(std::move(handler));
  }
  return FHandle;
}

TcxMessageWindow::TcxMessageWindow(TMessageOnly AKind) : FMessageOnly(true) {
  if (!AKind.Deferred) Handle();
}

TcxMessageWindow::~TcxMessageWindow() {
  DeallocateHWnd(FHandle);
  FHandle = nullptr;
}

void TcxMessageWindow::HandleMessage(TMessage& AMessage) {
  AMessage.Result = DefWindowProcW(FHandle, AMessage.Msg, AMessage.WParam, AMessage.LParam);
}

// ---------------------------------------------------------------------------
// TcxTimerWindow
// ---------------------------------------------------------------------------

void TcxTimerWindow::HandleMessage(TMessage& AMessage) {
  if (AMessage.Msg != WM_TIMER) {
    TcxMessageWindow::HandleMessage(AMessage);
    return;
  }
  AMessage.Result = 0;
  // Ticks of stopped or freed timers find no owner and are dropped.
  if (TcxTimer* timer = FindRunning(static_cast<UINT_PTR>(AMessage.WParam))) timer->FireTimer();
  // The timer may be gone now: nothing touches it any more.
}

// ---------------------------------------------------------------------------
// TcxTimer
// ---------------------------------------------------------------------------

TcxTimer::TcxTimer(TComponent* AOwner) : TComponent(AOwner) {}

TcxTimer::~TcxTimer() {
  Stop();
}

void TcxTimer::SetEnabled(bool AValue) {
  if (FEnabled == AValue) return;
  FEnabled = AValue;
  Update();
}

void TcxTimer::SetInterval(Cardinal AValue) {
  if (FInterval == AValue || AValue == 0) return;
  FInterval = AValue;
  Update();
}

void TcxTimer::SetOnTimer(const TNotifyEvent& AValue) {
  FOnTimer = AValue;
  Update();
}

void TcxTimer::FireTimer() {
  if (FOnTimer) FOnTimer(this);
}

void TcxTimer::Start() {
  if (!FEnabled || FTimerOn || !FOnTimer) return;
  TcxTimerWindow* window = TimerWindow();
  if (!window) return;
  const UINT_PTR id = NewEventID();
  // A failure (no system timer left) leaves the timer stopped; the next
  // update tries again.
  const TcxSetTimerProc setTimer = cxCurrentSetTimerProc();
  if (!setTimer(window->Handle(), id, FInterval, nullptr)) return;
  FEventID = id;
  FTimerOn = true;
  gRunning.emplace_back(id, this);
}

void TcxTimer::Stop() {
  if (!FTimerOn) return;
  if (gTimerWindow) KillTimer(gTimerWindow->Handle(), FEventID);
  FTimerOn = false;
  const auto it = std::find_if(gRunning.begin(), gRunning.end(),
                               [this](const auto& entry) { return entry.second == this; });
  if (it != gRunning.end()) gRunning.erase(it);
}

void TcxTimer::Update() {
  Stop();
  Start();
}

HWND cxGetTimerWindowHandle() {
  return gTimerWindow ? gTimerWindow->Handle() : nullptr;
}

int cxGetRunningTimerCount() {
  return static_cast<int>(gRunning.size());
}

TcxSetTimerProc cxCurrentSetTimerProc() { return gSetTimerReplacement ? gSetTimerReplacement : &SetTimer; }

TcxSetTimerProc cxSetSetTimerProc(TcxSetTimerProc AProc) {
  return std::exchange(gSetTimerReplacement, AProc);
}

// ---------------------------------------------------------------------------
// Module
// ---------------------------------------------------------------------------

void cxControlsTimerInitialize() {
  if (gInitCount++ > 0) return;
  gShutDown = false;
}

void cxControlsTimerFinalize() {
  if (gInitCount == 0 || --gInitCount > 0) return;
  gShutDown = true;
  // Timers still alive stop with the window; they start no more.
  for (const auto& entry : gRunning) entry.second->FTimerOn = false;
  gRunning.clear();
  gRunning.shrink_to_fit();
  FreeAndNil(gTimerWindow);
}
