// The thread hooks through which the bar system sees the keys, mouse input
// and window messages of the forms that carry toolbars, without subclassing
// them. They exist exactly while at least one manager lives. Keyboard
// navigation itself is the bar controls layer's: it fills the navigation
// seam at its start-up.
#pragma once

#include "bars/model/dxBarBase.h"
#include "platform/gui/ShiftState.h"

#include <vector>

// The keyboard navigation of the bars (selection movement, key tips).
class IdxBarNavigation {
 public:
  virtual bool NeedsKey(Word AKey, TShiftState AShift) = 0;
  virtual void HandleKey(Word AKey, LPARAM AKeyData) = 0;
  // Ends keyboard handling: the hint, the selection and key tips go, and
  // navigation mode ends.
  virtual void StopKeyboardHandling() = 0;
  // Only navigation mode ends (a mouse press).
  virtual void LeaveNavigationMode() {}
  // Enters navigation mode on the manager's main-menu toolbar, else its first toolbar.
  virtual void SelectDefaultObject(TdxBarManager* AManager) = 0;
  // Gives the link's bar the keyboard with the link selected.
  virtual void FocusLink(TdxBarItemLink* ALink) = 0;
  // Key tips. The root object of a window's form whose key tips a plain
  // Alt or F10 shows (nil when there is none), whether it has key tips, and
  // the wait after the menu key: ending it shows the root's key tips when
  // asked to. Without an accessibility layer no form has key tips.
  virtual TObject* KeyTipRootForWindow(HWND /*AWnd*/) { return nullptr; }
  virtual bool RootHasKeyTips(TObject* /*ARoot*/) { return false; }
  virtual void BeginKeyTipsWaiting(TObject* /*ARoot*/) {}
  virtual void EndKeyTipsWaiting(bool /*AShowKeyTips*/) {}
  virtual bool IsKeyTipsWaiting() { return false; }
  // Key tips are shown.
  virtual bool KeyTipsHandlingMode() { return false; }
  // An object is selected by keyboard.
  virtual bool HasSelectedObject() { return false; }

 protected:
  ~IdxBarNavigation() = default;
};
IdxBarNavigation*& dxBarNavigation();

// The active bar control (an open menu, or a toolbar in menu mode) with the
// chain of menus opened from it, as the hooks see it.
class IdxBarActiveMenus {
 public:
  // The active bar control's window; nil while none is active.
  virtual HWND ActiveWindow() = 0;
  virtual TdxBarManager* ActiveManager() = 0;
  // The active control is being customized.
  virtual bool ActiveIsCustomized() = 0;
  // Its selected item control is an edit whose in-place window has the focus.
  virtual bool EditHasFocus() = 0;
  // It lets the mouse wheel reach the window under the mouse.
  virtual bool AllowsMouseWheel() = 0;
  // Whether the screen point lies over an item control of the open menus.
  virtual bool IsOverItemControl(const POINT& AScreenPoint) = 0;
  // Whether the window belongs to the chain: a child of one of its bar
  // windows or of their selected items' windows, or a sub-menu's owner window.
  virtual bool ChainOwnsWindow(HWND AWnd) = 0;
  // A press on a window of the chain, for the control that owns it.
  virtual void OwnedWindowMouseDown(HWND AWnd) = 0;
  // Closes the active bar control's chain.
  virtual void HideAll() = 0;
  // Whether the chain closes when the focus goes to that window.
  virtual bool ShouldHideOnFocusChange(HWND AFocusedWnd) = 0;
  // Whether the active control closes when its form's mode is cancelled.
  virtual bool ActiveHidesOnDeactivate() { return true; }
  // What F1 help may serve: the active control's selected item control
  // first, then the item controls that opened the menus of the chain, from
  // the innermost out; and the help context of the active control itself.
  virtual std::vector<TdxBarItemControlBase*> HelpItemControls() { return {}; }
  virtual int ActiveBarHelpContext() { return 0; }

 protected:
  ~IdxBarActiveMenus() = default;
};
// Nil until the bar controls layer starts: then no bar control is ever active.
IdxBarActiveMenus*& dxBarActiveMenus();

using TdxBarManagerProc = void (*)(TdxBarManager* AManager);
// Called with a manager after it joined the manager list and after it left
// it; nil (nothing) in this system.
TdxBarManagerProc& dxBarManagerJoinedProc();
TdxBarManagerProc& dxBarManagerLeftProc();

// Installed by the first manager, removed with the last one (and at the
// module's shutdown).
void dxBarInstallHooks();
void dxBarRemoveHooks();
bool dxBarHooksInstalled();

LRESULT CALLBACK dxBarKeyboardHookProc(int ACode, WPARAM AWParam, LPARAM ALParam);
LRESULT CALLBACK dxBarMouseHookProc(int ACode, WPARAM AWParam, LPARAM ALParam);
LRESULT CALLBACK dxBarCallWndProcHookProc(int ACode, WPARAM AWParam, LPARAM ALParam);
// The call-window hook's last step: a child of an MDI client that is
// destroyed or activated makes the main form's manager check its MDI state.
void dxBarCheckMDIStateForMessage(HWND AWnd, UINT AMessage);

// Every button-down and double-click message, of any button (left, right,
// middle, X), in and outside the client area: each one ends keyboard navigation.
bool dxBarLeavesNavigationMode(UINT AMessage);
// Messages of a form that every manager inside it follows.
bool dxBarIsFormWideMessage(UINT AMessage);

// Set by a toolbar while it tracks a pressed caption button: every key is swallowed.
void dxBarSetKeysBlocked(bool AValue);
// An edit of a bar hands a key to the keyboard handling directly: no further
// hook is called, and the result says whether the key was consumed (1) or not (0).
LRESULT dxBarCallKeyboardHookDirectly(WPARAM AKey, LPARAM AKeyData);
// The parent of a child window, nil for a top-level one: the step of every
// walk from a window up to its form.
HWND dxBarChildParent(HWND AWnd);
bool dxBarIsOwnProcessWindow(HWND AWnd);
// Whether the application is in the foreground, as the hooks saw it.
bool dxBarAppIsActive();
// The same, and some window of the thread is active.
bool dxBarAppIsForeground();
// The key gives a character a key tip may carry: not a space, not a control character.
bool dxBarIsKeyTipChar(Word AKey);
