#include "bars/model/dxBarHooks.h"

#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarRoutines.h"
#include "bars/model/dxBarToolbars.h"

#include "foundation/cxClasses.h"
#include "foundation/dxCore.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"

namespace {

struct THookState {
  HHOOK Keyboard = nullptr;
  HHOOK Mouse = nullptr;
  HHOOK CallWndProc = nullptr;
  bool InManagerLookup = false;
  bool InMouseHook = false;
  bool AppDeactivating = false;
  bool AppActive = true;
};

THookState& Hooks() {
  static THookState state;
  return state;
}

TdxBarManager* ManagerOfWindow(HWND AWnd) {
  THookState& h = Hooks();
  h.InManagerLookup = true;
  TdxBarManager* manager = nullptr;
  try {
    manager = dxBarManagerFromObject(FindControl(AWnd));
  } catch (...) {
    h.InManagerLookup = false;
    throw;
  }
  h.InManagerLookup = false;
  return manager;
}

bool IsWindowOrAncestor(HWND AAncestor, HWND AWnd) {
  for (HWND w = AWnd; w; w = dxBarChildParent(w))
    if (w == AAncestor) return true;
  return false;
}

// For F1 while menus are open: the window whose form serves the help.
HWND HelpWindow(HWND AWnd) {
  IdxBarActiveMenus* menus = dxBarActiveMenus();
  TdxBarManager* active = menus && menus->ActiveWindow() ? menus->ActiveManager() : nullptr;
  TWinControl* owner = active ? active->OwnerControl() : nullptr;
  if (!owner || !owner->HandleAllocated()) return AWnd;
  if (IsWindowOrAncestor(GetAncestor(AWnd, GA_ROOT), owner->Handle())) return AWnd;
  TCustomForm* form = active->MainForm();
  return form && form->HandleAllocated() ? form->Handle() : AWnd;
}

void DispatchToManagers(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam) {
  if (AMsg == WM_ACTIVATE && ALParam) {
    const HWND other = reinterpret_cast<HWND>(ALParam);
    if (dxBarIsOwnProcessWindow(other) && (GetParent(other) == AWnd || GetParent(AWnd) == other)) return;
  }
  if (AMsg == WM_HELP) AWnd = HelpWindow(AWnd);
  TdxBarManager* manager = ManagerOfWindow(AWnd);
  if (!manager && AMsg == WM_ACTIVATE) {
    const HWND parent = GetParent(AWnd);
    if (parent && IsWindowVisible(parent)) manager = ManagerOfWindow(parent);
  }
  if (manager) manager->HandleOwnerWindowMessage(AWnd, AMsg, AWParam, ALParam);
  if (!dxBarIsFormWideMessage(AMsg)) return;
  TdxBarManagerList* list = dxBarManagerList();
  for (int i = 0; list && i < list->Count(); ++i) {
    TdxBarManager* other = list->ManagerAt(i);
    if (other == manager) continue;
    TWinControl* owner = other->OwnerControl();
    if (!owner || !owner->HandleAllocated() || owner->Handle() == AWnd) continue;
    if (!IsWindowOrAncestor(AWnd, owner->Handle()) || !other->TopLevelForm()) continue;
    other->HandleOwnerWindowMessage(AWnd, AMsg, AWParam, ALParam);
  }
}

}  // namespace

IdxBarNavigation*& dxBarNavigation() {
  static IdxBarNavigation* navigation = nullptr;
  return navigation;
}

IdxBarActiveMenus*& dxBarActiveMenus() {
  static IdxBarActiveMenus* menus = nullptr;
  return menus;
}

IdxBarCustomization*& dxBarCustomization() {
  static IdxBarCustomization* customization = nullptr;
  return customization;
}

TdxBarManagerProc& dxBarManagerJoinedProc() {
  static TdxBarManagerProc proc = nullptr;
  return proc;
}

TdxBarManagerProc& dxBarManagerLeftProc() {
  static TdxBarManagerProc proc = nullptr;
  return proc;
}

void dxBarInstallHooks() {
  THookState& h = Hooks();
  if (h.Keyboard) return;
  cxInstallThreadHook(h.Keyboard, WH_KEYBOARD, &dxBarKeyboardHookProc);
  cxInstallThreadHook(h.Mouse, WH_MOUSE, &dxBarMouseHookProc);
  cxInstallThreadHook(h.CallWndProc, WH_CALLWNDPROC, &dxBarCallWndProcHookProc);
}

void dxBarRemoveHooks() {
  THookState& h = Hooks();
  cxRemoveThreadHook(h.CallWndProc);
  cxRemoveThreadHook(h.Mouse);
  cxRemoveThreadHook(h.Keyboard);
}

bool dxBarHooksInstalled() { return Hooks().Keyboard && Hooks().Mouse && Hooks().CallWndProc; }

HWND dxBarChildParent(HWND AWnd) {
  return (GetWindowLongPtrW(AWnd, GWL_STYLE) & WS_CHILD) ? GetParent(AWnd) : nullptr;
}

bool dxBarIsOwnProcessWindow(HWND AWnd) {
  DWORD pid = 0;
  return GetWindowThreadProcessId(AWnd, &pid) && pid == GetCurrentProcessId();
}

bool dxBarAppIsActive() { return Hooks().AppActive && !Hooks().AppDeactivating; }

bool dxBarAppIsForeground() { return dxBarAppIsActive() && GetActiveWindow(); }

bool dxBarLeavesNavigationMode(UINT AMessage) {
  switch (AMessage) {
    case WM_XBUTTONDOWN: case WM_XBUTTONDBLCLK: case WM_NCXBUTTONDOWN: case WM_NCXBUTTONDBLCLK:
      return true;
    default:
      return dxBarIsMouseDownMessage(AMessage);
  }
}

bool dxBarIsFormWideMessage(UINT AMessage) {
  switch (AMessage) {
    case WM_ACTIVATE: case WM_SYSCOLORCHANGE: case WM_SETTINGCHANGE: case WM_ACTIVATEAPP: case WM_CHILDACTIVATE:
    case WM_WINDOWPOSCHANGING: case WM_WINDOWPOSCHANGED: case WM_SYSCOMMAND: case WM_MDIACTIVATE:
      return true;
    default:
      return false;
  }
}

namespace {

bool IsNonPrimaryButtonUp(UINT AMessage) {
  return AMessage == WM_RBUTTONUP || AMessage == WM_NCRBUTTONUP || AMessage == WM_MBUTTONUP ||
         AMessage == WM_NCMBUTTONUP;
}

bool IsRightButtonDown(UINT AMessage) {
  return AMessage == WM_RBUTTONDOWN || AMessage == WM_RBUTTONDBLCLK || AMessage == WM_NCRBUTTONDOWN ||
         AMessage == WM_NCRBUTTONDBLCLK;
}

bool IsClientMouseMessage(UINT AMessage) { return AMessage >= WM_MOUSEFIRST && AMessage <= WM_MBUTTONDBLCLK; }
bool IsNonClientMouseMessage(UINT AMessage) { return AMessage >= WM_NCMOUSEMOVE && AMessage <= WM_NCMBUTTONDBLCLK; }
// A client mouse message and its non-client form lie this far apart.
constexpr UINT kNonClientOffset = WM_MOUSEMOVE - WM_NCMOUSEMOVE;

bool ScreenRectContains(HWND AWnd, const POINT& APoint) {
  RECT r;
  return GetWindowRect(AWnd, &r) && PtInRect(&r, APoint);
}

// The message as the mouse hook goes on to see it: while customizing it
// may be aimed at another window than the one it came for.
struct TAimedMouseMessage {
  UINT Message;
  HWND Wnd;
  int HitTest;
  POINT Point;
  bool Redirected = false;
};

// A press elsewhere closes the open menus; the release of a right or middle
// press outside them is swallowed, so that no context menu opens behind them.
bool ActiveMenusMouse(IdxBarActiveMenus* AMenus, const TAimedMouseMessage& AMsg) {
  if (IsNonPrimaryButtonUp(AMsg.Message))
    return !AMenus->IsOverItemControl(AMsg.Point) && !AMenus->ChainOwnsWindow(AMsg.Wnd);
  if (IdxBarCustomization* customization = dxBarCustomization(); customization && customization->IsItemDragging())
    return false;
  // Closing a chain may leave the toolbar of a menu mode active: at most a
  // few rounds, and never a hang when a chain refuses to close.
  for (int round = 0; round < 8 && dxBarIsMouseDownMessage(AMsg.Message) && AMenus->ActiveWindow(); ++round) {
    if (AMenus->ChainOwnsWindow(AMsg.Wnd)) {
      AMenus->OwnedWindowMouseDown(AMsg.Wnd);
      break;
    }
    AMenus->HideAll();
    if (!IsWindowVisible(AMsg.Wnd)) return true;
  }
  return false;
}

WPARAM CurrentMouseKeyFlags() {
  const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
  auto held = [](int AKey) { return GetKeyState(AKey) < 0; };
  WPARAM flags = 0;
  if (held(VK_CONTROL)) flags |= MK_CONTROL;
  if (held(swapped ? VK_RBUTTON : VK_LBUTTON)) flags |= MK_LBUTTON;
  if (held(VK_MBUTTON)) flags |= MK_MBUTTON;
  if (held(swapped ? VK_LBUTTON : VK_RBUTTON)) flags |= MK_RBUTTON;
  if (held(VK_SHIFT)) flags |= MK_SHIFT;
  return flags;
}

// While the customization form serves a manager on a frame or panel, the
// clicks over that owner belong to the customizing, not to its controls.
void AimAtCustomizedOwner(TAimedMouseMessage& AMsg) {
  IdxBarCustomization* customization = dxBarCustomization();
  TdxBarManager* manager = customization && customization->FormWindow() ? customization->FormManager() : nullptr;
  TWinControl* owner = manager ? manager->OwnerControl() : nullptr;
  if (!owner || !owner->HandleAllocated() || !dxBarChildParent(owner->Handle())) return;
  if (!ScreenRectContains(owner->Handle(), AMsg.Point)) return;
  if (IsClientMouseMessage(AMsg.Message)) AMsg.Message -= kNonClientOffset;
  AMsg.Wnd = owner->Handle();
  AMsg.HitTest = HTERROR;
}

// A press on a window that refuses it (the form is disabled while the
// customization form is up) goes to the toolbar under the cursor, which
// also sets the cursor.
void AimAtCustomizedToolbar(TAimedMouseMessage& AMsg) {
  if (AMsg.HitTest != HTERROR) return;
  if (!FindControl(AMsg.Wnd) && !(dxIsWindows95 && dynamic_cast<TCustomForm*>(FindControl(AMsg.Wnd)))) return;
  TdxBarManagerList* list = dxBarManagerList();
  TdxBarManager* manager = list ? list->CustomizingBarManager() : nullptr;
  if (!manager) return;
  IdxBarCustomization* customization = dxBarCustomization();
  TWinControl* owner = manager->OwnerControl();
  const HWND active = GetActiveWindow();
  const bool ownerInActive = owner && owner->HandleAllocated() && active && IsWindowOrAncestor(active, owner->Handle());
  if (!(customization && customization->FormActive()) && !ownerInActive) return;
  for (int i = 0; i < manager->Bars()->Count(); ++i) {
    IdxBarControl* control = manager->Bars()->Items(i)->Control();
    const HWND wnd = control ? control->BarWindow() : nullptr;
    if (!wnd || !IsWindowVisible(wnd) || !ScreenRectContains(wnd, AMsg.Point)) continue;
    AMsg.Wnd = wnd;
    AMsg.HitTest = static_cast<int>(SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(AMsg.Point.x, AMsg.Point.y)));
    SendMessageW(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(AMsg.HitTest, AMsg.Message));
    AMsg.Redirected = true;
    return;
  }
}

// An open quick-customization popup that is not active closes on a press
// outside it; a left press on its toolbar's mark leaves it to the mark.
void CloseQuickControlOnPress(const TAimedMouseMessage& AMsg) {
  IdxBarCustomization* customization = dxBarCustomization();
  const HWND quick = customization ? customization->QuickControlWindow() : nullptr;
  if (!quick || customization->QuickControlActive() || !dxBarIsMouseDownMessage(AMsg.Message)) return;
  if (IsWindowOrAncestor(quick, AMsg.Wnd)) return;
  if (customization->IsOnQuickControlMark(AMsg.Point) && !IsRightButtonDown(AMsg.Message)) return;
  customization->CloseQuickControl();
}

void ForwardToToolbar(const TAimedMouseMessage& AMsg) {
  const UINT message = IsNonClientMouseMessage(AMsg.Message) ? AMsg.Message + kNonClientOffset : AMsg.Message;
  POINT p = AMsg.Point;
  ScreenToClient(AMsg.Wnd, &p);
  if (message != WM_MOUSEMOVE)
    if (IdxBarCustomization* customization = dxBarCustomization(); customization && customization->FormWindow())
      SetForegroundWindow(customization->FormWindow());
  SendMessageW(AMsg.Wnd, message, CurrentMouseKeyFlags(), MAKELPARAM(p.x, p.y));
}

// Hot tracking goes on over a window embedded in a bar control (an edit of
// an item): the bar control hears the move too.
void PassMoveToBarControl(const TAimedMouseMessage& AMsg) {
  for (HWND w = dxBarChildParent(AMsg.Wnd); w; w = dxBarChildParent(w))
    if (dynamic_cast<IdxBarControl*>(FindControl(w))) {
      POINT p = AMsg.Point;
      ScreenToClient(w, &p);
      SendMessageW(w, WM_MOUSEMOVE, CurrentMouseKeyFlags(), MAKELPARAM(p.x, p.y));
      return;
    }
}

bool MouseHook(int ACode, UINT AMessage, const MOUSEHOOKSTRUCT& AInfo) {
  THookState& h = Hooks();
  IdxBarNavigation* navigation = dxBarNavigation();
  if (ACode == HC_ACTION && dxBarLeavesNavigationMode(AMessage) && navigation) navigation->LeaveNavigationMode();
  if (ACode < 0) return false;
  IdxBarActiveMenus* menus = dxBarActiveMenus();
  if (AMessage == WM_MOUSEWHEEL && menus && menus->ActiveWindow() && !menus->EditHasFocus() &&
      !menus->AllowsMouseWheel())
    return true;
  if (GetCapture() == AInfo.hwnd && AMessage != WM_RBUTTONUP) return false;
  TAimedMouseMessage msg{AMessage, AInfo.hwnd, static_cast<int>(AInfo.wHitTestCode), AInfo.pt};
  AimAtCustomizedOwner(msg);
  AimAtCustomizedToolbar(msg);
  if (menus && menus->ActiveWindow() && !h.InMouseHook) {
    h.InMouseHook = true;
    TFinally done{[&h] { h.InMouseHook = false; }};
    if (ActiveMenusMouse(menus, msg)) return true;
  }
  CloseQuickControlOnPress(msg);
  if (dxBarIsMouseDownMessage(msg.Message) && navigation &&
      (navigation->HasSelectedObject() || navigation->IsKeyTipsWaiting() || navigation->KeyTipsHandlingMode()))
    navigation->StopKeyboardHandling();
  if (msg.Redirected) {
    ForwardToToolbar(msg);
    return true;
  }
  if (msg.Message == WM_MOUSEMOVE) PassMoveToBarControl(msg);
  return false;
}

}  // namespace

LRESULT CALLBACK dxBarMouseHookProc(int ACode, WPARAM AWParam, LPARAM ALParam) {
  THookState& h = Hooks();
  const bool swallowed = GuardCallback(false, [&] {
    return MouseHook(ACode, static_cast<UINT>(AWParam), *reinterpret_cast<const MOUSEHOOKSTRUCT*>(ALParam));
  });
  const LRESULT next = CallNextHookEx(h.Mouse, ACode, AWParam, ALParam);
  return swallowed ? 1 : next;
}

LRESULT CALLBACK dxBarCallWndProcHookProc(int ACode, WPARAM AWParam, LPARAM ALParam) {
  THookState& h = Hooks();
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(ALParam);
  GuardCallback([&] {
    if (ACode < 0) return;
    if (call->message == WM_ACTIVATE && LOWORD(call->wParam) == WA_INACTIVE && call->lParam &&
        !dxBarIsOwnProcessWindow(reinterpret_cast<HWND>(call->lParam)))
      h.AppDeactivating = true;
    IdxBarCustomization* customization = dxBarCustomization();
    if (call->message == WM_ACTIVATEAPP) {
      h.AppDeactivating = false;
      h.AppActive = call->wParam != 0;
      if (customization) customization->SynchronizeLastSelectedItem();
    }
    if (h.InManagerLookup) return;
    DispatchToManagers(call->hwnd, call->message, call->wParam, call->lParam);
    // The customization form follows an MDI main form being shown and hidden
    // (not while a popup menu is open over it).
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (call->message == WM_WINDOWPOSCHANGED && main && main->FormStyle() == fsMDIForm && main->HandleAllocated() &&
        call->hwnd == main->Handle() && customization && customization->FormWindow() && !dxBarAnyPopupMenuVisible())
      customization->UpdateFormVisibility(*reinterpret_cast<const WINDOWPOS*>(call->lParam));
  });
  const LRESULT next = CallNextHookEx(h.CallWndProc, ACode, AWParam, ALParam);
  GuardCallback([&] {
    if (ACode >= 0) dxBarCheckMDIStateForMessage(call->hwnd, call->message);
  });
  return next;
}

void dxBarCheckMDIStateForMessage(HWND AWnd, UINT AMessage) {
  if (AMessage != WM_DESTROY && AMessage != WM_CHILDACTIVATE && AMessage != WM_MDIACTIVATE) return;
  HWND parent = GetParent(AWnd);
  Char className[16] = {};
  if (!parent || !GetClassNameW(parent, className, 16) || lstrcmpiW(className, L"MDICLIENT") != 0) return;
  TForm* main = Application ? Application->MainForm() : nullptr;
  if (!main || !main->HandleAllocated()) return;
  TdxBarManager* manager = dxBarManagerFromObject(main);
  if (manager && !manager->IsDestroying()) manager->CheckMDIState();
}
