#include "foundation/cxControlsTracking.h"
#include "foundation/cxControls.h"
#include "foundation/cxControlsRoutines.h"
#include "platform/core/Threads.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Messaging.h"

#include <algorithm>

namespace {

struct TTrackingState {
  bool Finalizing = false;
  TcxSettingsController* SettingsController = nullptr;
  TcxSystemController* SystemController = nullptr;
  // Made on first need, never after the module's shutdown.
  std::vector<TMouseTrackingTimer*>* TrackingList = nullptr;
};

TTrackingState& State() {
  static TTrackingState state;
  return state;
}

std::vector<TMouseTrackingTimer*>::iterator FindTracker(IcxMouseTrackingCaller* ACaller) {
  auto& list = *State().TrackingList;
  return std::find_if(list.begin(), list.end(), [ACaller](TMouseTrackingTimer* t) { return t->Caller == ACaller; });
}

}  // namespace

bool cxControlsIsFinalizing() { return State().Finalizing; }

// ---------------------------------------------------------------------------
// Settings controller
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxSettingsController, TObject, (ConstructPlain<TcxSettingsController>))
END_CLASS

TcxSettingsController::TcxSettingsController() = default;

TcxSettingsController::~TcxSettingsController() {
  FList.clear();
  if (FWindow) DeallocateHWnd(FWindow);
  FWindow = nullptr;
}

void TcxSettingsController::AddListener(TcxControl* AListener) {
  if (std::find(FList.begin(), FList.end(), AListener) != FList.end()) return;
  if (FList.empty() && !FWindow) FWindow = AllocateMessageHWnd(TWndMethod::Bind<&TcxSettingsController::MainWndProc>(this), true);
  FList.push_back(AListener);
}

void TcxSettingsController::RemoveListener(TcxControl* AListener) {
  auto it = std::find(FList.begin(), FList.end(), AListener);
  if (it == FList.end()) return;
  FList.erase(it);
  if (FList.empty() && FWindow) {
    DeallocateHWnd(FWindow);
    FWindow = nullptr;
  }
}

void TcxSettingsController::NotifyListeners() {
  const std::vector<TcxControl*> listeners = FList;
  for (TcxControl* control : listeners)
    if (control->HandleAllocated()) SendNotifyMessageW(control->WindowHandle(), DXM_SETTINGSCHANGED, 0, 0);
}

void TcxSettingsController::MainWndProc(TMessage& AMessage) {
  // AllocateHWnd runs this inside the callback guard: an exception reaches
  // the application's handler and not the window system.
  if (AMessage.Msg == WM_SETTINGCHANGE && AMessage.WParam == SPI_SETNONCLIENTMETRICS) {
    NotifyListeners();
    AMessage.Result = 0;
  } else
    AMessage.Result = DefWindowProcW(FWindow, AMessage.Msg, AMessage.WParam, AMessage.LParam);
}

TcxSettingsController* cxGetSettingsController() {
  TTrackingState& state = State();
  if (!state.SettingsController) state.SettingsController = Make<TcxSettingsController>();
  return state.SettingsController;
}

// ---------------------------------------------------------------------------
// Mouse tracking
// ---------------------------------------------------------------------------

BEGIN_CLASS(TMouseTrackingTimer, TcxTimer, (ConstructWith<TMouseTrackingTimer, TComponent>))
END_CLASS

TMouseTrackingTimer::TMouseTrackingTimer(TComponent* AOwner) : TcxTimer(AOwner) {
  SetInterval(10);
  SetOnTimer(TNotifyEvent::Bind<&TMouseTrackingTimer::Tick>(this));
}

void TMouseTrackingTimer::Tick(TObject*) {
  TPoint cursor;
  GetCursorPos(reinterpret_cast<POINT*>(&cursor));
  const bool hasWindow = Control && Control->HandleAllocated();
  bool inside;
  if (auto* area = dynamic_cast<IcxMouseTrackingArea*>(Caller))
    inside = hasWindow && area->ContainsClientPoint(Control->ScreenToClient(cursor));
  else
    inside = Bounds.Contains(cursor);
  const bool gone = !hasWindow || !cxIsWindowEnabledDeep(Control->WindowHandle());
  if (inside && !gone) return;
  // What follows may free this timer (a handler that stops its tracking):
  // only locals from here on.
  IcxMouseTrackingCaller* caller = Caller;
  TWinControl* control = Control;
  if (hasWindow) {
    RECT client;
    GetClientRect(control->WindowHandle(), &client);
    const TPoint p = control->ScreenToClient(cursor);
    if (gone || !TRect(client.left, client.top, client.right, client.bottom).Contains(p))
      SendMessageW(control->WindowHandle(), CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(control));
  }
  if (caller) caller->TrackedMouseLeft();
  cxStopMouseTracking(caller);
}

void cxStartMouseTracking(TWinControl* AControl, const TRect& ABounds, IcxMouseTrackingCaller* ACaller) {
  TTrackingState& state = State();
  if (state.Finalizing || cxIsMouseTracking(ACaller)) return;
  if (!state.TrackingList) state.TrackingList = new std::vector<TMouseTrackingTimer*>;
  TMouseTrackingTimer* timer = Make<TMouseTrackingTimer>(nullptr);
  timer->Control = AControl;
  timer->Bounds = ABounds;
  if (AControl) {
    const TPoint topLeft = AControl->ClientToScreen(ABounds.TopLeft());
    timer->Bounds = TRect(topLeft.X, topLeft.Y, topLeft.X + ABounds.Width(), topLeft.Y + ABounds.Height());
  }
  timer->Caller = ACaller;
  state.TrackingList->push_back(timer);
}

void cxStopMouseTracking(IcxMouseTrackingCaller* ACaller) {
  TTrackingState& state = State();
  if (state.Finalizing || !state.TrackingList) return;
  auto it = FindTracker(ACaller);
  if (it == state.TrackingList->end()) return;
  TMouseTrackingTimer* timer = *it;
  state.TrackingList->erase(it);
  TObject::Free(timer);
}

TMouseTrackingTimer* cxMouseTrackingTimerOf(IcxMouseTrackingCaller* ACaller) {
  TTrackingState& state = State();
  if (state.Finalizing || !state.TrackingList) return nullptr;
  auto it = FindTracker(ACaller);
  return it == state.TrackingList->end() ? nullptr : *it;
}

bool cxIsMouseTracking(IcxMouseTrackingCaller* ACaller) { return cxMouseTrackingTimerOf(ACaller) != nullptr; }

int cxMouseTrackingCount() {
  const TTrackingState& state = State();
  return state.TrackingList ? static_cast<int>(state.TrackingList->size()) : 0;
}

// ---------------------------------------------------------------------------
// System controller
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxSystemController, TcxMessageWindow, (ConstructPlain<TcxSystemController>))
END_CLASS

// A program never posts to it (only a library's wake-up hook does): its window
// is made when first asked for.
TcxSystemController::TcxSystemController() : TcxMessageWindow(TMessageOnly{true}) {
  if (IsLibrary()) {
    Handle();   // now, on the UI thread: the hook posts from other threads
    FPrevWakeMainThread = SetWakeMainThread(TNotifyEvent::Bind<&TcxSystemController::WakeMainThread>(this));
    FHooked = true;
  }
}

TcxSystemController::~TcxSystemController() {
  if (FHooked) SetWakeMainThread(FPrevWakeMainThread);
}

void TcxSystemController::WakeMainThread(TObject*) { PostMessageW(Handle(), DXM_SYNCHRONIZE, 0, 0); }

void TcxSystemController::HandleMessage(TMessage& AMessage) {
  if (AMessage.Msg == DXM_SYNCHRONIZE)
    CheckSynchronize(0);
  else
    TcxMessageWindow::HandleMessage(AMessage);
}

TcxSystemController* cxGetSystemController() { return State().SystemController; }

// ---------------------------------------------------------------------------
// Module steps of the tracking services (called by cxControlsInitialize and
// cxControlsFinalize)
// ---------------------------------------------------------------------------

void cxControlsTrackingInitialize() { State().Finalizing = false; }

void cxControlsCreateSystemController() {
  TTrackingState& state = State();
  if (!state.SystemController) state.SystemController = Make<TcxSystemController>();
}

int cxControlsTrackingFinalize() {
  TTrackingState& state = State();
  state.Finalizing = true;
  FreeAndNil(state.SystemController);
  int leftOver = 0;
  if (state.TrackingList) {
    // A tracker left behind is a caller's fault; free it all the same so
    // that the rest of the shutdown runs and nothing ticks into freed code.
    leftOver = static_cast<int>(state.TrackingList->size());
    for (TMouseTrackingTimer* timer : *state.TrackingList) TObject::Free(timer);
    delete state.TrackingList;
    state.TrackingList = nullptr;
  }
  FreeAndNil(state.SettingsController);
  return leftOver;
}
