#include "bars/model/dxBarHooks.h"

#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarRoutines.h"

#include "foundation/cxClasses.h"
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

void DispatchToManagers(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam) {
  if (AMsg == WM_ACTIVATE && ALParam) {
    const HWND other = reinterpret_cast<HWND>(ALParam);
    if (dxBarIsOwnProcessWindow(other) && (GetParent(other) == AWnd || GetParent(AWnd) == other)) return;
  }
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

// A press elsewhere closes the open menus; the release of a right or middle
// press outside them is swallowed, so that no context menu opens behind them.
bool ActiveMenusMouse(IdxBarActiveMenus* AMenus, UINT AMessage, const MOUSEHOOKSTRUCT& AInfo) {
  if (IsNonPrimaryButtonUp(AMessage))
    return !AMenus->IsOverItemControl(AInfo.pt) && !AMenus->ChainOwnsWindow(AInfo.hwnd);
  // Closing a chain may leave the toolbar of a menu mode active: at most a
  // few rounds, and never a hang when a chain refuses to close.
  for (int round = 0; round < 8 && dxBarIsMouseDownMessage(AMessage) && AMenus->ActiveWindow(); ++round) {
    if (AMenus->ChainOwnsWindow(AInfo.hwnd)) {
      AMenus->OwnedWindowMouseDown(AInfo.hwnd);
      break;
    }
    AMenus->HideAll();
    if (!IsWindowVisible(AInfo.hwnd)) return true;
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

// Hot tracking goes on over a window embedded in a bar control (an edit of
// an item): the bar control hears the move too.
void PassMoveToBarControl(const MOUSEHOOKSTRUCT& AInfo) {
  for (HWND w = dxBarChildParent(AInfo.hwnd); w; w = dxBarChildParent(w))
    if (dynamic_cast<IdxBarControl*>(FindControl(w))) {
      POINT p = AInfo.pt;
      ScreenToClient(w, &p);
      SendMessageW(w, WM_MOUSEMOVE, CurrentMouseKeyFlags(), MAKELPARAM(p.x, p.y));
      return;
    }
}

}  // namespace

LRESULT CALLBACK dxBarMouseHookProc(int ACode, WPARAM AWParam, LPARAM ALParam) {
  THookState& h = Hooks();
  const UINT message = static_cast<UINT>(AWParam);
  const bool swallowed = GuardCallback(false, [&] {
    if (ACode == HC_ACTION && dxBarLeavesNavigationMode(message))
      if (IdxBarNavigation* navigation = dxBarNavigation()) navigation->StopKeyboardHandling();
    if (ACode < 0) return false;
    const auto& info = *reinterpret_cast<const MOUSEHOOKSTRUCT*>(ALParam);
    IdxBarActiveMenus* menus = dxBarActiveMenus();
    const bool active = menus && menus->ActiveWindow();
    if (message == WM_MOUSEWHEEL) return active && !menus->EditHasFocus() && !menus->AllowsMouseWheel();
    if (GetCapture() == info.hwnd && message != WM_RBUTTONUP) return false;
    if (active && !h.InMouseHook) {
      h.InMouseHook = true;
      bool result = false;
      try {
        result = ActiveMenusMouse(menus, message, info);
      } catch (...) {
        h.InMouseHook = false;
        throw;
      }
      h.InMouseHook = false;
      if (result) return true;
    }
    if (message == WM_MOUSEMOVE) PassMoveToBarControl(info);
    return false;
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
    if (call->message == WM_ACTIVATEAPP) {
      h.AppDeactivating = false;
      h.AppActive = call->wParam != 0;
    }
    if (!h.InManagerLookup) DispatchToManagers(call->hwnd, call->message, call->wParam, call->lParam);
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
