// The drop-down window of the editors: a placed popup form with an owner
// control, a container style and view info, focus handling and an optional
// modal loop while it is open. Every open popup is listed, and three thread
// hooks close popups when the user works elsewhere: a click outside, the
// owner hidden, destroyed, closed or moved out of sight, the application
// losing activation, a system key the popup does not accept.
#pragma once

#include "platform/WinApi.h"
#include "foundation/cxContainer.h"
#include "foundation/cxControlsHints.h"

class TcxCustomPopupWindow : public TcxPopupWindow {
  DECLARE_CLASS(TcxCustomPopupWindow, TcxPopupWindow)
  explicit TcxCustomPopupWindow(TWinControl* AOwnerControl);
  ~TcxCustomPopupWindow() override;
  void AfterConstruction() override;

  // Opens the popup; nothing when it is open or its owner is not showing.
  virtual void Popup(TWinControl* AFocusedControl);
  using TcxPopupWindow::Popup;
  void Popup() override { Popup(FFocusedControl); }
  void CloseUp() override;
  // Closes it later (posts the close message).
  void ClosePopup();
  // In the list of open popups.
  bool IsVisible() const;
  bool Focused() override;
  bool CanFocus() override { return Visible(); }
  bool HasCapture();
  bool IsShortCut(TWMKey& Message) override;
  void LockDeactivate(bool ALock) { FDeactivateLockCount += ALock ? 1 : -1; }
  bool IsDeactivateLocked() const { return FDeactivateLockCount != 0; }
  virtual void CorrectBoundsWithDesktopWorkArea(TPoint& APosition);
  // Whether the popup lets an Alt key combination through.
  virtual bool AcceptsSysKey(Word AKey);
  // Asked when a click closes the popup: true swallows the click.
  virtual bool ConsumeClosingClick(HWND /*AWnd*/, UINT /*AMsg*/, const TPoint& /*APoint*/,
                                   TShiftState /*AShift*/) {
    return false;
  }

  // ---- properties
  bool CaptureFocus() const { return FCaptureFocus; }
  void SetCaptureFocus(bool AValue);
  bool IsTopMost() const { return FIsTopMost; }
  void SetIsTopMost(bool AValue);
  TWinControl* FocusedControl() const { return FFocusedControl; }
  // Read and clear.
  bool JustClosed();
  bool ModalMode() const { return FModalMode; }
  void SetModalMode(bool AValue) { FModalMode = AValue; }
  bool TerminateOnDestroy() const { return FTerminateOnDestroy; }
  void SetTerminateOnDestroy(bool AValue) { FTerminateOnDestroy = AValue; }
  TWinControl* OwnerControl() const { return FOwnerControl; }
  TcxContainerStyle* Style() const { return FStyle; }
  TcxContainerViewInfo* ViewInfo() const { return FViewInfo; }

  TNotifyEvent OnClosed;
  TNotifyEvent OnClosing;
  TNotifyEvent OnShowed;
  TNotifyEvent OnShowing;

  bool SetFocusedControl(TWinControl* Control) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  virtual bool ShouldFitToWorkArea() { return false; }
  virtual void NotifyClosed();
  virtual void NotifyClosing();
  virtual void NotifyShowed();
  virtual void NotifyShowing();
  virtual bool ShouldEraseBackground() { return false; }
  virtual void CloseOnModalResult() { CloseUp(); }
  virtual void AfterStyleChange(TObject*) {}
  virtual TcxContainerStyleClass GetStyleClass();
  virtual TcxContainerViewInfoClass GetViewInfoClass();
  virtual void MouseEntered(TControl*) {}
  virtual void MouseLeft(TControl*) {}

  TRect GetClientBounds() override { return FViewInfo->ClientRect; }
  TRect GetOwnerScreenBounds() override;
  void InheritOwnerFont() override {}
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Paint() override;
  void Deactivate() override;
  void DoHide() override;
  void KeyDown(Word& Key, TShiftState Shift) override;

  void WMActivateApp(TWMActivateApp& Message);
  void WMEraseBkgnd(TWMEraseBkgnd& Message);
  void CMMouseEnter(TCMMouseEnterLeave& Message);
  void CMMouseLeave(TCMMouseEnterLeave& Message);
  void DXMClosePopupWindow(TMessage& Message);
  void DXMShowPopupWindow(TMessage& Message);

 private:
  friend bool cxPopupClickDecision(HWND AWnd, UINT AMsg, const TPoint& APoint);
  bool FCaptureFocus = true;
  int FDeactivateLockCount = 0;
  bool FDeactivation = false;
  TWinControl* FFocusedControl = nullptr;
  bool FIsTopMost = false;
  bool FJustClosed = false;
  bool FModalMode = true;
  bool FTerminateOnDestroy = false;
  TWinControl* FOwnerControl;
  TcxContainerStyle* FStyle = nullptr;
  TcxContainerViewInfo* FViewInfo = nullptr;
};

// ---- the list of open popups, in opening order
int cxVisiblePopupCount();
TcxCustomPopupWindow* cxVisiblePopup(int AIndex);
// Adding a listed or nil popup and removing an unlisted or nil one are
// assertion failures.
void cxAddVisiblePopup(TcxCustomPopupWindow* APopup);
void cxRemoveVisiblePopup(TcxCustomPopupWindow* APopup);
// The outside-click rule of the mouse hook: false when the click is to be
// discarded. Closes the popups the click leaves.
bool cxPopupClickDecision(HWND AWnd, UINT AMsg, const TPoint& APoint);

// The container module's start-up (scroll-bar information, the style
// controller's class group, the list of open popups and the hooks) and
// shutdown.
void cxContainerInitialize();
void cxContainerFinalize();
