#include "foundation/cxContainerPopup.h"

#include "foundation/cxClasses.h"
#include "foundation/cxContainerInternal.h"
#include "foundation/cxControlsRoutines.h"
#include "foundation/cxControlsTimer.h"
#include "platform/core/Exceptions.h"
#include "platform/gui/Forms.h"

#include <algorithm>
#include <vector>

namespace {

using cxcontainer::TCounterScope;
using cxcontainer::TFlagScope;
using cxcontainer::TLinkScope;

struct TPopupModuleState {
  int InitCount = 0;
  std::vector<TcxCustomPopupWindow*>* Popups = nullptr;
  HHOOK CallWndProcHook = nullptr;
  HHOOK GetMessageHook = nullptr;
  HHOOK MouseHook = nullptr;
  bool InPopupTransition = false;
  int FocusChangeCount = 0;
  // Hooks only while a popup is open (nothing turns it on).
  bool OnDemandHooks = false;
  // Popups that do not take the focus are topmost (nothing turns it off).
  bool TopMostNonCapturing = true;
  WNDPROC SwallowedWndProc = nullptr;
  HWND SwallowedWnd = nullptr;
};

TPopupModuleState& State() {
  static TPopupModuleState state;
  return state;
}

std::vector<TcxCustomPopupWindow*>& Popups() {
  static std::vector<TcxCustomPopupWindow*> empty;
  return State().Popups ? *State().Popups : empty;
}

bool IsComponentDestroying(TComponent* AComponent) {
  return AComponent && AComponent->ComponentState().Contains(csDestroying);
}

bool OwnerUsable(TcxCustomPopupWindow* APopup) {
  TWinControl* owner = APopup->OwnerControl();
  return owner && !IsComponentDestroying(owner) && owner->HandleAllocated();
}

HWND OwnerFormWindow(TcxCustomPopupWindow* APopup) {
  TCustomForm* form = APopup->OwnerControl() ? GetParentForm(APopup->OwnerControl()) : nullptr;
  return form && form->HandleAllocated() ? form->WindowHandle() : nullptr;
}

int IndexOfPopup(TcxCustomPopupWindow* APopup) {
  auto& list = Popups();
  auto it = std::find(list.begin(), list.end(), APopup);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void InstallHooks();
void RemoveHooks();

// ---- message swallowing

LRESULT CALLBACK SwallowingWndProc(HWND AWnd, UINT, WPARAM, LPARAM) {
  TPopupModuleState& state = State();
  if (state.SwallowedWnd == AWnd && state.SwallowedWndProc) {
    SetWindowLongPtrW(AWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(state.SwallowedWndProc));
    state.SwallowedWndProc = nullptr;
    state.SwallowedWnd = nullptr;
  }
  return 1;
}

// The message now being sent to the window never reaches its procedure.
void SwallowMessage(HWND AWnd) {
  TPopupModuleState& state = State();
  if (!AWnd || state.SwallowedWnd) return;
  state.SwallowedWnd = AWnd;
  state.SwallowedWndProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(AWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SwallowingWndProc)));
}

// ---- call-window-procedure hook

void ClosePopupsFrom(int AIndex) {
  for (int j = static_cast<int>(Popups().size()) - 1; j >= AIndex; --j)
    if (j < static_cast<int>(Popups().size())) Popups()[j]->CloseUp();
}

void HandleSentMessage(const CWPSTRUCT& AMsg) {
  TPopupModuleState& state = State();
  if ((AMsg.message == CM_ACTIVATE || AMsg.message == CM_DEACTIVATE) && state.FocusChangeCount != 0) {
    SwallowMessage(AMsg.hwnd);
    return;
  }
  auto& list = Popups();
  if (list.empty()) return;
  switch (AMsg.message) {
    case WM_DESTROY:
      for (TcxCustomPopupWindow* popup : std::vector<TcxCustomPopupWindow*>(list)) {
        if (IsComponentDestroying(popup) || popup->WindowHandle() != AMsg.hwnd) continue;
        TLinkScope link(popup);
        popup->Close();
        if (link.Alive() && !popup->IsVisible() && !IsComponentDestroying(popup) && popup->TerminateOnDestroy() &&
            Application)
          Application->Terminate();
        break;
      }
      break;
    case WM_CLOSE:
      for (TcxCustomPopupWindow* popup : std::vector<TcxCustomPopupWindow*>(list)) {
        if (IsComponentDestroying(popup)) continue;
        if (popup->WindowHandle() == AMsg.hwnd) {
          TLinkScope link(popup);
          if (popup->CloseQuery() && link.Alive()) popup->CloseUp();
          if (link.Alive() && !popup->IsVisible() && popup->CaptureFocus() && popup->OwnerControl() &&
              !IsComponentDestroying(popup->OwnerControl()) && popup->OwnerControl()->HandleAllocated())
            SendMessageW(cxFindTopLevelAncestorWindow(popup->OwnerControl()->WindowHandle()), WM_CLOSE, 0, 0);
          break;
        }
        if (popup->CaptureFocus() || !popup->OwnerControl() || IsComponentDestroying(popup->OwnerControl()))
          continue;
        HWND formWnd = OwnerFormWindow(popup);
        if (!formWnd || formWnd == AMsg.hwnd) popup->CloseUp();
        break;
      }
      break;
    case WM_SHOWWINDOW:
      if (AMsg.wParam) break;
      for (int i = static_cast<int>(list.size()) - 1; i >= 0; --i) {
        TcxCustomPopupWindow* popup = list[i];
        if (IsComponentDestroying(popup) || !OwnerUsable(popup)) continue;
        if (popup->OwnerControl()->WindowHandle() == AMsg.hwnd) {
          ClosePopupsFrom(i);
          break;
        }
      }
      break;
    case WM_ACTIVATEAPP: {
      if (AMsg.wParam) break;
      size_t i = 0;
      while (i < list.size()) {
        TcxCustomPopupWindow* popup = list[i];
        if (HWND formWnd = OwnerFormWindow(popup)) PostMessageW(formWnd, WM_NCACTIVATE, FALSE, 0);
        const bool activeForm = Screen && Screen->ActiveCustomForm() == popup;
        if ((!popup->CaptureFocus() || !activeForm) && popup->HandleAllocated() &&
            IsWindowEnabled(popup->WindowHandle())) {
          TWinControl* owner = popup->OwnerControl();
          TControlGuard ownerGuard(owner);
          popup->CloseUp();
          if (ownerGuard.Alive())
            if (auto* container = dynamic_cast<TcxContainer*>(owner)) container->FocusChanged();
          i = 0;
          continue;
        }
        ++i;
      }
      break;
    }
    case WM_WINDOWPOSCHANGED: {
      size_t i = 0;
      while (i < list.size()) {
        TcxCustomPopupWindow* popup = list[i];
        if (!IsComponentDestroying(popup) && popup->HandleAllocated() && OwnerUsable(popup) &&
            popup->OwnerControl()->WindowHandle() == AMsg.hwnd && !cxIsControlShowing(popup->OwnerControl())) {
          popup->CloseUp();
          i = 0;
          continue;
        }
        ++i;
      }
      break;
    }
    case WM_NCACTIVATE:
      if (AMsg.wParam) break;
      if (state.InPopupTransition) {
        SwallowMessage(AMsg.hwnd);
        break;
      }
      for (TcxCustomPopupWindow* popup : list)
        if (!IsComponentDestroying(popup) && OwnerFormWindow(popup) == AMsg.hwnd) {
          SwallowMessage(AMsg.hwnd);
          break;
        }
      break;
  }
}

LRESULT CALLBACK CallWndProcHook(int ACode, WPARAM wParam, LPARAM lParam) {
  if (ACode == HC_ACTION) GuardCallback([&] { HandleSentMessage(*reinterpret_cast<const CWPSTRUCT*>(lParam)); });
  return CallNextHookEx(State().CallWndProcHook, ACode, wParam, lParam);
}

// ---- get-message hook

LRESULT CALLBACK GetMessageHook(int ACode, WPARAM wParam, LPARAM lParam) {
  if (ACode == HC_ACTION && wParam == PM_REMOVE)
    GuardCallback([&] {
      MSG& msg = *reinterpret_cast<MSG*>(lParam);
      auto& list = Popups();
      if (list.empty() || msg.message != WM_SYSKEYDOWN) return;
      TcxCustomPopupWindow* newest = list.back();
      if (!(newest->CaptureFocus() && newest->ModalMode()) && !newest->AcceptsSysKey(static_cast<Word>(msg.wParam)))
        msg.message = WM_NULL;
    });
  return CallNextHookEx(State().GetMessageHook, ACode, wParam, lParam);
}

// ---- mouse hook

bool IsClickMessage(WPARAM AMsg) {
  switch (AMsg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK: case WM_NCRBUTTONDOWN: case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN: case WM_NCMBUTTONDBLCLK:
      return true;
  }
  return false;
}

LRESULT CALLBACK MouseHook(int ACode, WPARAM wParam, LPARAM lParam) {
  bool discard = false;
  if (ACode == HC_ACTION && !Popups().empty() && IsClickMessage(wParam))
    GuardCallback([&] {
      const MOUSEHOOKSTRUCT& mouse = *reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
      discard = !cxPopupClickDecision(mouse.hwnd, static_cast<UINT>(wParam), TPoint(mouse.pt.x, mouse.pt.y));
    });
  if (discard) return 1;
  return CallNextHookEx(State().MouseHook, ACode, wParam, lParam);
}

void InstallHooks() {
  TPopupModuleState& state = State();
  Assert(!state.MouseHook, L"cxContainer: the popup hooks are installed already");
  cxInstallThreadHook(state.CallWndProcHook, WH_CALLWNDPROC, &CallWndProcHook);
  cxInstallThreadHook(state.GetMessageHook, WH_GETMESSAGE, &GetMessageHook);
  cxInstallThreadHook(state.MouseHook, WH_MOUSE, &MouseHook);
}

void RemoveHooks() {
  TPopupModuleState& state = State();
  cxRemoveThreadHook(state.MouseHook);
  cxRemoveThreadHook(state.GetMessageHook);
  cxRemoveThreadHook(state.CallWndProcHook);
}

}  // namespace

// ---------------------------------------------------------------------------
// The list of open popups
// ---------------------------------------------------------------------------

int cxVisiblePopupCount() { return static_cast<int>(Popups().size()); }

TcxCustomPopupWindow* cxVisiblePopup(int AIndex) { return Popups().at(static_cast<size_t>(AIndex)); }

void cxAddVisiblePopup(TcxCustomPopupWindow* APopup) {
  Assert(APopup && IndexOfPopup(APopup) < 0, L"cxContainer: the popup cannot be added to the open popups");
  Assert(State().Popups != nullptr, L"cxContainer: the module has not started");
  State().Popups->push_back(APopup);
  if (State().OnDemandHooks && State().Popups->size() == 1) InstallHooks();
}

void cxRemoveVisiblePopup(TcxCustomPopupWindow* APopup) {
  const int index = APopup ? IndexOfPopup(APopup) : -1;
  Assert(index >= 0, L"cxContainer: the popup is not among the open popups");
  State().Popups->erase(State().Popups->begin() + index);
  if (State().OnDemandHooks && State().Popups->empty()) RemoveHooks();
}

bool cxPopupClickDecision(HWND AWnd, UINT AMsg, const TPoint& APoint) {
  TPopupModuleState& state = State();
  auto& list = Popups();
  bool result = true;
  size_t i = 0;
  while (i < list.size()) {
    TcxCustomPopupWindow* popup = list[i];
    const bool activeForm = Screen && Screen->ActiveCustomForm() == popup;
    if ((popup->CaptureFocus() && !activeForm) || cxIsControlWindow(popup, AWnd, true)) {
      ++i;
      continue;
    }
    TWinControl* owner = popup->OwnerControl();
    TCustomForm* ownerForm = owner ? GetParentForm(owner) : nullptr;
    auto* ownerPopup = dynamic_cast<TcxCustomPopupWindow*>(ownerForm);
    if (cxIsWindowOnControlForm(owner, AWnd) || (ownerPopup && !ownerPopup->IsVisible())) {
      const TShiftState shift = cxGetCurrentShiftState();
      bool ownerClick = false, asked = false;
      if (cxIsControlWindow(owner, AWnd, true) && (AMsg == WM_LBUTTONDOWN || AMsg == WM_LBUTTONDBLCLK) &&
          popup->OwnerScreenBounds().Contains(APoint)) {
        ownerClick = true;
        asked = true;
        if (popup->ConsumeClosingClick(AWnd, AMsg, APoint, shift)) popup->FJustClosed = true;
      }
      TControlGuard ownerGuard(owner);
      {
        TLinkScope link(popup);
        TFlagScope transition(state.InPopupTransition, true);
        popup->LockDeactivate(true);
        try {
          if (result && !asked) result = !popup->ConsumeClosingClick(AWnd, AMsg, APoint, shift);
          if (link.Alive()) popup->CloseUp();
        } catch (...) {
          if (link.Alive()) popup->LockDeactivate(false);
          throw;
        }
        if (link.Alive()) popup->LockDeactivate(false);
      }
      if (ownerClick && (!ownerGuard.Alive() || IsComponentDestroying(owner) || !owner->Visible())) result = false;
      i = 0;
      continue;
    }
    if (ownerForm && ownerForm->FormStyle() == fsMDIChild) {
      TForm* frame = Application ? Application->MainForm() : nullptr;
      const bool inFrame = frame && frame->HandleAllocated() &&
                           (AWnd == frame->ClientHandle() || AWnd == frame->WindowHandle() ||
                            IsChild(frame->WindowHandle(), AWnd));
      if (inFrame) {
        if (result) result = !popup->ConsumeClosingClick(AWnd, AMsg, APoint, cxGetCurrentShiftState());
        popup->CloseUp();
        i = 0;
        continue;
      }
    }
    ++i;
  }
  return result;
}

// ---------------------------------------------------------------------------
// Window ownership routines (they know the open popups)
// ---------------------------------------------------------------------------

bool cxIsWindowInsideControl(TWinControl* AControl, HWND AWnd) {
  if (!AControl || !AWnd) return false;
  HWND own = AControl->WindowHandle();
  if (own && AWnd == own) return false;
  if (own && IsChild(own, AWnd)) return true;
  for (int i = 0; i < AControl->ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(AControl->Controls(i));
    if (!child) continue;
    if (child->WindowHandle() == AWnd || cxIsWindowInsideControl(child, AWnd)) return true;
  }
  auto& list = Popups();
  if (auto* popup = dynamic_cast<TcxCustomPopupWindow*>(AControl))
    for (TcxCustomPopupWindow* other : list)
      if (other != popup && other->OwnerControl() && GetParentForm(other->OwnerControl()) == popup &&
          (other->WindowHandle() == AWnd || cxIsWindowInsideControl(other, AWnd)))
        return true;
  for (TcxCustomPopupWindow* other : list)
    if (other != AControl && other->OwnerControl() == AControl &&
        (other->WindowHandle() == AWnd || cxIsWindowInsideControl(other, AWnd)))
      return true;
  return false;
}

bool cxIsControlWindow(TWinControl* AControl, HWND AWnd, bool ADeep) {
  if (!AControl) return false;
  if (AWnd && AControl->WindowHandle() == AWnd) return true;
  return ADeep && cxIsWindowInsideControl(AControl, AWnd);
}

bool cxIsWindowOnControlForm(TWinControl* AControl, HWND AWnd) {
  if (!AControl) return false;
  TCustomForm* form = GetParentForm(AControl);
  if (!form) return false;
  if (cxIsControlWindow(form, AWnd, true)) return true;
  if (form->Parent() || !form->HandleAllocated()) return false;
  HWND top = form->WindowHandle();
  if (!(GetWindowLongW(top, GWL_STYLE) & WS_CHILD)) return false;
  while (GetWindowLongW(top, GWL_STYLE) & WS_CHILD) {
    HWND parent = GetParent(top);
    if (!parent) break;
    top = parent;
  }
  if (top == form->WindowHandle()) return false;
  return AWnd == top || IsChild(top, AWnd);
}

// ---------------------------------------------------------------------------
// TcxCustomPopupWindow
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxCustomPopupWindow, TcxPopupWindow, nullptr)
  b.Message<&TcxCustomPopupWindow::WMActivateApp>(WM_ACTIVATEAPP);
  b.Message<&TcxCustomPopupWindow::WMEraseBkgnd>(WM_ERASEBKGND);
  b.Message<&TcxCustomPopupWindow::CMMouseEnter>(CM_MOUSEENTER);
  b.Message<&TcxCustomPopupWindow::CMMouseLeave>(CM_MOUSELEAVE);
  b.Message<&TcxCustomPopupWindow::DXMClosePopupWindow>(DXM_CLOSEPOPUPWINDOW);
  b.Message<&TcxCustomPopupWindow::DXMShowPopupWindow>(DXM_SHOWPOPUPWINDOW);
END_CLASS

TcxCustomPopupWindow::TcxCustomPopupWindow(TWinControl* AOwnerControl) : FOwnerControl(AOwnerControl) {
  SetFormStyle(fsNormal);
  SetVisible(false);
  SetKeyPreview(true);
  if (FOwnerControl) FOwnerControl->FreeNotification(this);
}

void TcxCustomPopupWindow::AfterConstruction() {
  TcxPopupWindow::AfterConstruction();
  FStyle = GetStyleClass().Create(this, csNormal, nullptr, false);
  FStyle->OnChanged = TNotifyEvent::Bind<&TcxCustomPopupWindow::AfterStyleChange>(this);
  FViewInfo = GetViewInfoClass().Create();
}

TcxCustomPopupWindow::~TcxCustomPopupWindow() {
  cxClearObjectLinks(this);
  SetPopupMode(pmNone);
  if (IndexOfPopup(this) >= 0) cxRemoveVisiblePopup(this);
  if (FOwnerControl) FOwnerControl->RemoveFreeNotification(this);
  FreeAndNil(FViewInfo);
  if (FStyle) FStyle->OnChanged = nullptr;
  FreeAndNil(FStyle);
}

void TcxCustomPopupWindow::Notification(TComponent* AComponent, TOperation Operation) {
  TcxPopupWindow::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FOwnerControl) FOwnerControl = nullptr;
  if (AComponent == FFocusedControl) FFocusedControl = nullptr;
}

TcxContainerStyleClass TcxCustomPopupWindow::GetStyleClass() { return TcxContainerStyleClass::Of<TcxContainerStyle>(); }

TcxContainerViewInfoClass TcxCustomPopupWindow::GetViewInfoClass() {
  return TcxContainerViewInfoClass::Of<TcxContainerViewInfo>();
}

bool TcxCustomPopupWindow::IsVisible() const { return IndexOfPopup(const_cast<TcxCustomPopupWindow*>(this)) >= 0; }

bool TcxCustomPopupWindow::Focused() {
  return IsVisible() && FCaptureFocus && cxIsControlWindow(this, GetFocus(), true);
}

bool TcxCustomPopupWindow::HasCapture() { return HandleAllocated() && GetCapture() == WindowHandle(); }

bool TcxCustomPopupWindow::IsShortCut(TWMKey& Message) {
  if (TcxPopupWindow::IsShortCut(Message)) return true;
  TCustomForm* form = FOwnerControl ? GetParentForm(FOwnerControl) : nullptr;
  return form && form != this && form->IsShortCut(Message);
}

bool TcxCustomPopupWindow::JustClosed() {
  const bool result = FJustClosed;
  FJustClosed = false;
  return result;
}

bool TcxCustomPopupWindow::AcceptsSysKey(Word AKey) { return (AKey >= VK_PRIOR && AKey <= VK_DOWN) || AKey == VK_F4; }

void TcxCustomPopupWindow::NotifyClosed() { cxInvokeNotifyEvent(this, OnClosed); }
void TcxCustomPopupWindow::NotifyClosing() { cxInvokeNotifyEvent(this, OnClosing); }
void TcxCustomPopupWindow::NotifyShowed() { cxInvokeNotifyEvent(this, OnShowed); }
void TcxCustomPopupWindow::NotifyShowing() { cxInvokeNotifyEvent(this, OnShowing); }

void TcxCustomPopupWindow::SetCaptureFocus(bool AValue) {
  if (FCaptureFocus == AValue) return;
  FCaptureFocus = AValue;
  const bool wasOpen = IsVisible();
  if (wasOpen) CloseUp();
  if (HandleAllocated()) RecreateWnd();
  if (wasOpen) Popup(FFocusedControl);
}

void TcxCustomPopupWindow::SetIsTopMost(bool AValue) {
  if (FIsTopMost == AValue) return;
  FIsTopMost = AValue;
  const bool wasOpen = IsVisible();
  if (wasOpen) CloseUp();
  if (HandleAllocated()) RecreateWnd();
  if (wasOpen) Popup(FFocusedControl);
}

TRect TcxCustomPopupWindow::GetOwnerScreenBounds() {
  if (FOwnerControl && FOwnerControl->HandleAllocated() && cxHasChildWindowStyle(FOwnerControl->WindowHandle()))
    return TcxPopupWindow::GetOwnerScreenBounds();
  return GetOwnerBounds();
}

void TcxCustomPopupWindow::CreateParams(TCreateParams& Params) {
  TcxPopupWindow::CreateParams(Params);
  if (FCaptureFocus) {
    TCustomForm* form = FOwnerControl ? GetParentForm(FOwnerControl) : nullptr;
    if (form) Params.WndParent = form->Handle();
    Params.Style = (Params.Style & ~WS_CHILD) | WS_POPUP;
    if (FIsTopMost && (!form || (GetWindowLongW(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST)))
      Params.ExStyle |= WS_EX_TOPMOST;
  } else {
    Params.Style = WS_CHILD;
    Params.ExStyle |= WS_EX_TOOLWINDOW;
    if (!Params.WndParent)
      if (TcxMessageWindow* window = cxGetMessageWindow()) Params.WndParent = window->Handle();
  }
  Params.Style |= WS_CLIPCHILDREN;
}

void TcxCustomPopupWindow::CreateWnd() {
  // While the window is made the popup counts as open, so that the hooks
  // leave the activation and caption messages of its creation alone.
  const bool listed = IsVisible();
  if (!listed && State().Popups) cxAddVisiblePopup(this);
  try {
    TcxPopupWindow::CreateWnd();
  } catch (...) {
    if (!listed && IsVisible()) cxRemoveVisiblePopup(this);
    throw;
  }
  if (!listed && IsVisible()) cxRemoveVisiblePopup(this);
  if (!FCaptureFocus) ::SetParent(WindowHandle(), nullptr);
}

void TcxCustomPopupWindow::CorrectBoundsWithDesktopWorkArea(TPoint& APosition) {
  if (!ShouldFitToWorkArea()) return;
  TRect workArea;
  cxWorkAreaFromPoint(APosition, workArea);
  int width = Width(), height = Height();
  if (APosition.X < workArea.Left) {
    width -= workArea.Left - APosition.X;
    APosition.X = workArea.Left;
  }
  if (APosition.Y < workArea.Top) {
    height -= workArea.Top - APosition.Y;
    APosition.Y = workArea.Top;
  }
  height = std::min(height, workArea.Bottom - APosition.Y);
  width = std::min(width, workArea.Right - APosition.X);
  const int askedHeight = height;
  SetBounds(Left(), Top(), width, height);
  if (Height() != askedHeight && APosition.Y == workArea.Top) APosition.Y += askedHeight - Height();
}

void TcxCustomPopupWindow::Popup(TWinControl* AFocusedControl) {
  if (IsVisible() || !cxIsControlShowing(FOwnerControl)) return;
  TPopupModuleState& state = State();
  InheritOwnerFont();
  CalculateSize();
  TPoint position;
  CalculatePosition(position);
  CorrectBoundsWithDesktopWorkArea(position);
  TLinkScope link(this);
  {
    TFlagScope transition(state.InPopupTransition, true);
    cxAddVisiblePopup(this);
    NotifyShowing();
    if (!link.Alive()) return;
    SetBounds(position.X, position.Y, Width(), Height());
    Show();
    SetBounds(position.X, position.Y, Width(), Height());
  }
  if (!link.Alive()) return;
  TWinControl* target = AFocusedControl;
  if (FCaptureFocus) {
    if (!(target && target->CanFocus() && target->TabStop())) target = FindNextControl(nullptr, true, true, false);
    FFocusedControl = target;
    if (target)
      target->SetFocus();
    else if (CanFocus())
      SetFocus();
  } else {
    FFocusedControl = target;
  }
  if (!link.Alive()) return;
  TCustomForm* ownerForm = FOwnerControl ? GetParentForm(FOwnerControl) : nullptr;
  bool stayOnTopShown = false;
  if (Screen)
    for (int i = 0; i < Screen->CustomFormCount(); ++i)
      if (Screen->CustomForms(i)->FormStyle() == fsStayOnTop && Screen->CustomForms(i)->Visible())
        stayOnTopShown = true;
  const bool topMost = !ownerForm ||
                       (ownerForm->HandleAllocated() &&
                        (GetWindowLongW(ownerForm->WindowHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST)) ||
                       (!FCaptureFocus && (stayOnTopShown || state.TopMostNonCapturing));
  SetWindowPos(WindowHandle(), topMost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
               SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetModalResult(mrNone);
  NotifyShowed();
  if (!link.Alive() || !FCaptureFocus || !FModalMode) return;
  while (link.Alive() && Visible() && Application && !Application->Terminated()) {
    MSG msg;
    // Alt+Enter, Alt alone and Alt+Space would reach the owner form's
    // system menu behind the popup.
    while (PeekMessageW(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_NOREMOVE) &&
           (msg.wParam == VK_RETURN || msg.wParam == VK_MENU || msg.wParam == VK_SPACE))
      PeekMessageW(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE);
    if (ModalResult() != mrNone) {
      if (CloseQuery()) {
        if (link.Alive()) CloseOnModalResult();
      } else if (link.Alive()) {
        SetModalResult(mrNone);
      }
      if (!link.Alive() || !Visible()) break;
    }
    Application->HandleMessage();
  }
}

void TcxCustomPopupWindow::CloseUp() {
  if (!IsVisible()) return;
  TCounterScope focusChange(State().FocusChangeCount);
  TLinkScope link(this);
  cxRemoveVisiblePopup(this);
  NotifyClosing();
  if (!link.Alive()) return;
  if (HandleAllocated()) ShowWindow(WindowHandle(), SW_HIDE);
  Hide();
  NotifyClosed();
  if (!link.Alive()) return;
  if (HandleAllocated()) {
    HWND capture = GetCapture();
    if (capture && (capture == WindowHandle() || IsChild(WindowHandle(), capture))) ReleaseCapture();
  }
  if (!Popups().empty() || !FOwnerControl) return;
  TCustomForm* form = GetParentForm(FOwnerControl);
  if (form && form->HandleAllocated() && form->FormStyle() != fsMDIForm && !form->Active())
    SendMessageW(form->WindowHandle(), WM_NCACTIVATE, FALSE, 0);
}

void TcxCustomPopupWindow::ClosePopup() {
  if (HandleAllocated()) PostMessageW(WindowHandle(), DXM_CLOSEPOPUPWINDOW, 0, 0);
}

bool TcxCustomPopupWindow::SetFocusedControl(TWinControl* Control) {
  TCounterScope focusChange(State().FocusChangeCount);
  return TcxPopupWindow::SetFocusedControl(Control);
}

void TcxCustomPopupWindow::Deactivate() {
  TLinkScope link(this);
  TForm::Deactivate();
  if (!link.Alive()) return;
  FDeactivation = false;
  if (FDeactivateLockCount != 0) return;
  auto& list = Popups();
  if (!list.empty()) {
    HWND active = GetActiveWindow();
    for (int i = static_cast<int>(list.size()) - 1; i >= 0; --i) {
      if (i >= static_cast<int>(list.size())) continue;
      TcxCustomPopupWindow* popup = list[i];
      if (popup->HandleAllocated() && popup->WindowHandle() == active) return;
      if (popup->HandleAllocated() && IsWindowEnabled(popup->WindowHandle()) && popup->FDeactivateLockCount == 0)
        popup->CloseUp();
      if (!link.Alive()) return;
    }
  }
  if (!Popups().empty()) CloseUp();
}

void TcxCustomPopupWindow::DoHide() {
  TcxPopupWindow::DoHide();
  if (!FCaptureFocus || !FOwnerControl || ComponentState().Contains(csDesigning)) return;
  TCustomForm* form = GetParentForm(FOwnerControl);
  if (form && form->HandleAllocated() && GetFocus() == form->WindowHandle() && FOwnerControl->CanFocus())
    FOwnerControl->SetFocus();
}

void TcxCustomPopupWindow::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE && IsVisible() && HasCapture()) {
    ReleaseCapture();
    Key = 0;
    return;
  }
  TcxPopupWindow::KeyDown(Key, Shift);
}

void TcxCustomPopupWindow::Paint() { FViewInfo->Paint(cxCanvas()); }

void TcxCustomPopupWindow::WMActivateApp(TWMActivateApp&) {}

void TcxCustomPopupWindow::WMEraseBkgnd(TWMEraseBkgnd& Message) {
  if (ShouldEraseBackground())
    DispatchInherited(TcxCustomPopupWindow::StaticClass(), &Message);
  else
    Message.Result = 1;
}

void TcxCustomPopupWindow::CMMouseEnter(TCMMouseEnterLeave& Message) {
  DispatchInherited(TcxCustomPopupWindow::StaticClass(), &Message);
  MouseEntered(Message.Control ? Message.Control : this);
}

void TcxCustomPopupWindow::CMMouseLeave(TCMMouseEnterLeave& Message) {
  DispatchInherited(TcxCustomPopupWindow::StaticClass(), &Message);
  MouseLeft(Message.Control ? Message.Control : this);
}

void TcxCustomPopupWindow::DXMClosePopupWindow(TMessage&) {
  TLinkScope link(this);
  LockDeactivate(true);
  try {
    CloseUp();
  } catch (...) {
    if (link.Alive()) LockDeactivate(false);
    throw;
  }
  if (!link.Alive()) return;
  LockDeactivate(false);
  if (FOwnerControl && FOwnerControl->HandleAllocated()) SendMessageW(FOwnerControl->WindowHandle(), WM_SETFOCUS, 0, 0);
}

void TcxCustomPopupWindow::DXMShowPopupWindow(TMessage&) { Popup(FFocusedControl); }

// ---------------------------------------------------------------------------
// Module
// ---------------------------------------------------------------------------

void cxContainerInitialize() {
  TPopupModuleState& state = State();
  if (state.InitCount++ != 0) return;
  cxInitScrollBarInfoAccess();
  StartClassGroup(TControl::StaticClass());
  GroupDescendentsWith(TcxStyleController::StaticClass(), TControl::StaticClass());
  state.Popups = new std::vector<TcxCustomPopupWindow*>();
  if (!state.OnDemandHooks) InstallHooks();
}

void cxContainerFinalize() {
  TPopupModuleState& state = State();
  if (state.InitCount <= 0 || --state.InitCount != 0) return;
  RemoveHooks();
  delete state.Popups;
  state.Popups = nullptr;
}
