// Process-wide services of the base controls: the settings controller that
// tells listening controls about changed non-client metrics, mouse tracking
// (is the mouse still over an area of a window?) and the system controller
// that runs the thread synchronisation queue.
#pragma once

#include "platform/WinApi.h"
#include "foundation/cxControlsTimer.h"

class TWinControl;
class TcxControl;

// Private messages of the base controls.
inline constexpr UINT DXM_SETTINGSCHANGED = WM_APP + 101;   // 0x8065, no parameters
inline constexpr UINT DXM_SYNCHRONIZE = WM_APP + 102;       // 0x8066, no parameters
static_assert(DXM_SETTINGSCHANGED == 0x8065 && DXM_SYNCHRONIZE == 0x8066);

// ---------------------------------------------------------------------------
// Settings controller
// ---------------------------------------------------------------------------

// Keeps a hidden window that hears the broadcast setting changes
// (AllocateMessageHWnd with broadcasts) only while controls listen.
class TcxSettingsController : public TObject {
  DECLARE_CLASS(TcxSettingsController, TObject)
  TcxSettingsController();
  ~TcxSettingsController() override;

  // Nothing for a control already listed; the first listener makes the window.
  void AddListener(TcxControl* AListener);
  // The last one leaving releases the window.
  void RemoveListener(TcxControl* AListener);
  // DXM_SETTINGSCHANGED to each listener with a window, in list order.
  void NotifyListeners();

  HWND WindowHandle() const { return FWindow; }
  int ListenerCount() const { return static_cast<int>(FList.size()); }

 protected:
  virtual void MainWndProc(TMessage& AMessage);

 private:
  std::vector<TcxControl*> FList;
  HWND FWindow = nullptr;
};

// Made on first use; freed by the module's shutdown.
TcxSettingsController* cxGetSettingsController();

// ---------------------------------------------------------------------------
// Mouse tracking
// ---------------------------------------------------------------------------

// {84A4BCBE-E001-4D60-B7A6-75E2B0DCD3E9}
inline constexpr GUID IID_IcxMouseTrackingCaller = {
    0x84A4BCBE, 0xE001, 0x4D60, {0xB7, 0xA6, 0x75, 0xE2, 0xB0, 0xDC, 0xD3, 0xE9}};
// Told once the mouse left the tracked area; the tracking has ended then.
class IcxMouseTrackingCaller {
 public:
  virtual void TrackedMouseLeft() = 0;

 protected:
  ~IcxMouseTrackingCaller() = default;
};

// {3A5D973B-F016-4F22-80B6-1D35668D7743}
inline constexpr GUID IID_IcxMouseTrackingArea = {
    0x3A5D973B, 0xF016, 0x4F22, {0x80, 0xB6, 0x1D, 0x35, 0x66, 0x8D, 0x77, 0x43}};
// A caller that decides itself what counts as inside.
class IcxMouseTrackingArea : public IcxMouseTrackingCaller {
 public:
  // P in client coordinates of the tracked control.
  virtual bool ContainsClientPoint(const TPoint& P) = 0;

 protected:
  ~IcxMouseTrackingArea() = default;
};

// One tracked area; ticks every 10 ms from its creation.
class TMouseTrackingTimer : public TcxTimer {
  DECLARE_CLASS(TMouseTrackingTimer, TcxTimer)
  explicit TMouseTrackingTimer(TComponent* AOwner);

  IcxMouseTrackingCaller* Caller = nullptr;
  TWinControl* Control = nullptr;
  TRect Bounds;   // screen

  // One check of the cursor against the area (what each tick runs).
  void Tick(TObject* Sender);
};

// Nothing after the module's shutdown or for a caller already tracked.
// ABounds are in AControl's client coordinates (screen without a control).
void cxStartMouseTracking(TWinControl* AControl, const TRect& ABounds, IcxMouseTrackingCaller* ACaller);
void cxStopMouseTracking(IcxMouseTrackingCaller* ACaller);
bool cxIsMouseTracking(IcxMouseTrackingCaller* ACaller);
// The tracker of a caller, null when it is not tracked.
TMouseTrackingTimer* cxMouseTrackingTimerOf(IcxMouseTrackingCaller* ACaller);
int cxMouseTrackingCount();

// ---------------------------------------------------------------------------
// System controller
// ---------------------------------------------------------------------------

// Runs the thread synchronisation queue on DXM_SYNCHRONIZE; inside a library
// it also takes over the hook that wakes the main thread (and then makes its
// window at once; in a program the first Handle call makes it).
class TcxSystemController : public TcxMessageWindow {
  DECLARE_CLASS(TcxSystemController, TcxMessageWindow)
  TcxSystemController();
  ~TcxSystemController() override;

 protected:
  void HandleMessage(TMessage& AMessage) override;

 private:
  void WakeMainThread(TObject* Sender);
  TNotifyEvent FPrevWakeMainThread;
  bool FHooked = false;
};

// The one made by the module's start-up (null before and after).
TcxSystemController* cxGetSystemController();

// Whether the base controls module has shut down.
bool cxControlsIsFinalizing();
