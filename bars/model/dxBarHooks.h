// The thread hooks through which the bar system sees the keys, mouse input
// and window messages of the forms that carry toolbars, without subclassing
// them. They exist exactly while at least one manager lives. Keyboard
// navigation itself is the bar controls layer's: it fills the navigation
// seam at its start-up.
#pragma once

#include "bars/model/dxBarBase.h"
#include "platform/gui/ShiftState.h"

// The keyboard navigation of the bars (selection movement, key tips).
class IdxBarNavigation {
 public:
  virtual bool NeedsKey(Word AKey, TShiftState AShift) = 0;
  virtual void HandleKey(Word AKey, LPARAM AKeyData) = 0;
  // Leaves navigation mode.
  virtual void StopKeyboardHandling() = 0;
  // Enters navigation mode on the manager's main-menu toolbar, else its first toolbar.
  virtual void SelectDefaultObject(TdxBarManager* AManager) = 0;
  // Gives the link's bar the keyboard with the link selected.
  virtual void FocusLink(TdxBarItemLink* ALink) = 0;

 protected:
  ~IdxBarNavigation() = default;
};
IdxBarNavigation*& dxBarNavigation();

// Installed by the first manager, removed with the last one (and at the
// module's shutdown).
void dxBarInstallHooks();
void dxBarRemoveHooks();
bool dxBarHooksInstalled();

LRESULT CALLBACK dxBarKeyboardHookProc(int ACode, WPARAM AWParam, LPARAM ALParam);
LRESULT CALLBACK dxBarMouseHookProc(int ACode, WPARAM AWParam, LPARAM ALParam);
LRESULT CALLBACK dxBarCallWndProcHookProc(int ACode, WPARAM AWParam, LPARAM ALParam);

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
// Whether the application is in the foreground, as the hooks saw it.
bool dxBarAppIsActive();
