// Keys of the UI thread, as the keyboard hook sees them: Alt and F10 enter
// menu mode on their release, shortcuts and Alt+letter accelerators run
// from anywhere in the form, keys the navigation wants go to it, and an
// open menu takes the rest.
#include "bars/model/dxBarHooks.h"

#include "bars/model/dxBarHints.h"
#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarRoutines.h"
#include "bars/model/dxBarSelection.h"
#include "bars/model/dxBarToolbars.h"

#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"

#include <algorithm>
#include <cwctype>

namespace {

struct TKeyState {
  bool HandledKey = false;
  Word HandledKeyCode = 0;
  bool MenuKeyPending = false;
  bool KeysBlocked = false;
  bool DirectKeyCall = false;
};

TKeyState& Keys() {
  static TKeyState state;
  return state;
}

bool IsDown(LPARAM AKeyData) { return (AKeyData & 0x80000000) == 0; }
bool KeyHeld(int AVirtualKey) { return GetKeyState(AVirtualKey) < 0; }

TShiftState CurrentShift() {
  TShiftState shift;
  if (KeyHeld(VK_SHIFT)) shift += ssShift;
  if (KeyHeld(VK_CONTROL)) shift += ssCtrl;
  if (KeyHeld(VK_MENU)) shift += ssAlt;
  return shift;
}

void RememberHandledKey(Word AKey) {
  Keys().HandledKey = true;
  Keys().HandledKeyCode = AKey;
}

// The key-tip wait ends; a pending menu key with it.
void EndKeyTipsWaiting(bool AShowKeyTips) {
  Keys().MenuKeyPending = false;
  if (IdxBarNavigation* navigation = dxBarNavigation()) navigation->EndKeyTipsWaiting(AShowKeyTips);
}

bool WindowEnabledWithParents(HWND AWnd) {
  for (HWND w = AWnd; w; w = GetParent(w))
    if (!IsWindowEnabled(w)) return false;
  return true;
}

TWinControl* ControlOfWindow(HWND AWnd) { return AWnd ? FindControl(AWnd) : nullptr; }

// The managers of a form, in the order they are searched: from a manager's
// owner window up through child windows, then the others active on the
// same form in NextActive order.
std::vector<TdxBarManager*> ManagersOfForm(TdxBarManager* AManager) {
  std::vector<TdxBarManager*> result;
  auto add = [&result](TdxBarManager* AValue) {
    if (AValue && std::find(result.begin(), result.end(), AValue) == result.end()) result.push_back(AValue);
  };
  TWinControl* owner = AManager->OwnerControl();
  if (owner && owner->HandleAllocated())
    for (HWND w = owner->Handle(); w; w = dxBarChildParent(w)) add(dxBarManagerFromObject(ControlOfWindow(w)));
  add(AManager);
  if (TdxBarManagerList* list = dxBarManagerList()) {
    TdxBarManager* next = AManager;
    for (int i = 0; i < list->Count(); ++i) {
      next = list->NextActive(next, true);
      if (next == AManager) break;
      add(next);
    }
  }
  return result;
}

// Whether the manager, or another one active on its form, has a bar with
// the keyboard: the bar takes keys itself then.
bool FormBarHasKeyboard(TdxBarManager* AManager) {
  for (TdxBarManager* m : ManagersOfForm(AManager))
    if (m->FocusedBarControl()) return true;
  return false;
}

struct TKeyManager {
  TdxBarManager* Manager = nullptr;
  // The object whose key tips a menu key shows, nil when none.
  TObject* KeyTipRoot = nullptr;
};

TKeyManager SearchUpFrom(HWND AWnd, bool AMenuKey) {
  TKeyManager result;
  IdxBarNavigation* navigation = dxBarNavigation();
  for (HWND w = AWnd; w && !result.Manager; w = dxBarChildParent(w)) {
    result.Manager = dxBarManagerFromObject(ControlOfWindow(w));
    if (result.Manager && AMenuKey && navigation) result.KeyTipRoot = navigation->KeyTipRootForWindow(w);
  }
  return result;
}

// The form whose keys these are: the active window's form when it and its
// parents are enabled, or its active MDI child.
TCustomForm* ActiveForm() {
  const HWND active = GetActiveWindow();
  auto* form = dynamic_cast<TCustomForm*>(ControlOfWindow(active));
  if (!form || !WindowEnabledWithParents(active)) return nullptr;
  if (form->FormStyle() == fsMDIForm)
    if (TCustomForm* child = form->ActiveMDIChild()) return child;
  return form;
}

TKeyManager ManagerForKey(bool AMenuKey) {
  TKeyManager found;
  if (HWND focus = GetFocus()) found = SearchUpFrom(focus, AMenuKey);
  if (!found.Manager)
    if (TCustomForm* form = ActiveForm(); form && form->HandleAllocated()) found = SearchUpFrom(form->Handle(), AMenuKey);
  // A key in another form reaches the main form's manager when it allows it.
  if (!found.Manager && Application)
    if (TCustomForm* main = Application->MainForm();
        main && main->HandleAllocated() && IsWindowEnabled(main->Handle())) {
      found = SearchUpFrom(main->Handle(), AMenuKey);
      if (found.Manager && !found.Manager->AllowCallFromAnotherForm()) found = TKeyManager();
    }
  if (!found.Manager && !AMenuKey) {
    const HWND active = GetActiveWindow();
    if (auto* form = dynamic_cast<TCustomForm*>(ControlOfWindow(active)); form && IsWindowEnabled(active)) {
      TdxBarManagerList* list = dxBarManagerList();
      for (int i = 0; list && i < list->Count() && !found.Manager; ++i)
        if (list->ManagerAt(i)->TopLevelForm() == form) found.Manager = list->ManagerAt(i);
    }
  }
  if (found.Manager && (found.Manager->IsCustomizing() || FormBarHasKeyboard(found.Manager))) return TKeyManager();
  return found;
}

bool IsPlainMenuKey(TdxBarManager* AManager, Word AKey) {
  if (AKey == VK_MENU) return !KeyHeld(VK_CONTROL);
  return AKey == VK_F10 && AManager->UseF10ForMenu() && !KeyHeld(VK_SHIFT) && !KeyHeld(VK_CONTROL) &&
         !KeyHeld(VK_MENU);
}

bool ClickAccelLink(TdxBarItemLink* ALink, Word AKey, TShiftState AShift) {
  TdxBarItemLink* next = ALink->Owner()->FindLinkByAccel(AKey, AShift, ALink);
  TdxBarItemControlBase* control = ALink->Control();
  // A sub item opens its menu, and of several links with the accelerator
  // the first is only selected.
  if ((control && !control->ClickClosesMenus()) || (next && next != ALink)) {
    if (IdxBarNavigation* navigation = dxBarNavigation()) navigation->FocusLink(ALink);
    return true;
  }
  if (control)
    control->PressAndClickByKey();
  else
    ALink->Item()->Click();
  return true;
}

bool ShortCutOrAccel(TdxBarManager* AManager, Word AKey, LPARAM AKeyData) {
  if (AManager->ExecuteShortCut(dxBarShortCutFromKey(AKey, AKeyData))) return true;
  if (!KeyHeld(VK_MENU)) return false;
  const TShiftState shift = CurrentShift() - ssAlt;
  TdxBarItemLink* link = AManager->FindAccelLink(AKey, shift);
  if (!link || !link->Item() || !link->Item()->Enabled()) return false;
  return ClickAccelLink(link, AKey, shift);
}

// Keys while no menu can take them: the customization's own keys.
bool CustomizingKey(Word AKey, LPARAM AKeyData, HWND AActive) {
  IdxBarDesignController* controller = dxBarDesignControllerSlot();
  const bool down = IsDown(AKeyData);
  switch (AKey) {
    case VK_MENU:
      if (AActive || !controller || !controller->QuickControlWindow()) return false;
      RememberHandledKey(AKey);
      controller->CloseQuickControl();
      if (!down || !KeyHeld(VK_MENU)) Keys().HandledKey = false;
      return true;
    case VK_ESCAPE:
      // Escape ends a drag of the active control's window.
      if (AActive && GetCapture() == AActive) {
        ReleaseCapture();
        return true;
      }
      return down && controller && controller->SelectParentComponent();
    case VK_DELETE:
      return down && controller && controller->DeleteSelectedObjects(KeyHeld(VK_CONTROL));
    default:
      return false;
  }
}

bool ActiveBarKey(Word AKey, LPARAM AKeyData) {
  TKeyState& k = Keys();
  if (k.HandledKey && AKey == k.HandledKeyCode && !IsDown(AKeyData)) {
    k.HandledKey = false;
    return true;
  }
  if (IdxBarDesignController* controller = dxBarDesignControllerSlot(); controller && controller->KeyAlreadyProcessed())
    return false;
  IdxBarNavigation* navigation = dxBarNavigation();
  if (navigation && navigation->NeedsKey(AKey, CurrentShift())) {
    if (IsDown(AKeyData)) {
      RememberHandledKey(AKey);
      navigation->HandleKey(AKey, AKeyData);
    }
    return true;
  }
  if (navigation && dxBarIsKeyTipChar(AKey) && (navigation->IsKeyTipsWaiting() || navigation->KeyTipsHandlingMode()))
    navigation->StopKeyboardHandling();
  IdxBarActiveMenus* menus = dxBarActiveMenus();
  const HWND active = menus ? menus->ActiveWindow() : nullptr;
  if (!active || !IsWindowEnabled(active) || menus->ActiveIsCustomized()) return CustomizingKey(AKey, AKeyData, active);
  // An open menu takes every key, but an edit in it keeps its own.
  if (menus->EditHasFocus()) return false;
  const bool down = IsDown(AKeyData);
  // Remembered before it is sent: a key that closes the menus has its
  // release swallowed too.
  RememberHandledKey(AKey);
  SendMessageW(active, down ? WM_KEYDOWN : WM_KEYUP, AKey, AKeyData);
  if (menus->ActiveWindow() || !down) k.HandledKey = false;
  return true;
}

bool MenuKey(Word AKey, LPARAM AKeyData) {
  TKeyState& k = Keys();
  const TKeyManager found = ManagerForKey(AKey == VK_MENU || AKey == VK_F10);
  TdxBarManager* manager = found.Manager;
  if (!manager) return false;
  IdxBarNavigation* navigation = dxBarNavigation();
  const bool rootHasKeyTips = found.KeyTipRoot && navigation && navigation->RootHasKeyTips(found.KeyTipRoot);
  if (IsDown(AKeyData)) {
    if (IsPlainMenuKey(manager, AKey) && !(k.HandledKey && k.HandledKeyCode == AKey)) {
      manager->HideHint();
      k.MenuKeyPending = true;
      if (rootHasKeyTips) navigation->BeginKeyTipsWaiting(found.KeyTipRoot);
      return false;
    }
    EndKeyTipsWaiting(false);
    return ShortCutOrAccel(manager, AKey, AKeyData);
  }
  const bool f10 = AKey == VK_F10 && manager->UseF10ForMenu() && !KeyHeld(VK_SHIFT) && !KeyHeld(VK_CONTROL) &&
                   !KeyHeld(VK_MENU);
  // Without a navigation controller the key keeps its system meaning (the window menu).
  if (((AKey == VK_MENU && k.MenuKeyPending) || f10) && navigation) {
    k.MenuKeyPending = false;
    navigation->SelectDefaultObject(manager);
    if (rootHasKeyTips) EndKeyTipsWaiting(true);
    return true;
  }
  EndKeyTipsWaiting(false);
  return false;
}

}  // namespace

bool dxBarIsKeyTipChar(Word AKey) {
  const UINT mapped = MapVirtualKeyW(AKey, MAPVK_VK_TO_CHAR);
  const wchar_t c = static_cast<wchar_t>(mapped & 0xFFFF);
  return c != 0 && c != L' ' && !std::iswcntrl(c);
}

void dxBarSetKeysBlocked(bool AValue) { Keys().KeysBlocked = AValue; }

LRESULT CALLBACK dxBarKeyboardHookProc(int ACode, WPARAM AWParam, LPARAM ALParam) {
  TKeyState& k = Keys();
  const bool consumed = GuardCallback(false, [&] {
    if (ACode == HC_NOREMOVE) return false;
    if (k.KeysBlocked) return true;
    if (AWParam == VK_PROCESSKEY || ACode < 0) return false;
    const Word key = static_cast<Word>(AWParam);
    return ActiveBarKey(key, ALParam) || (!GetCapture() && MenuKey(key, ALParam));
  });
  // A direct call comes from a bar's edit, which swallows the key itself
  // when told it was consumed: it gets the answer and no further hook runs.
  if (k.DirectKeyCall) return consumed ? 1 : 0;
  const LRESULT next = CallNextHookEx(nullptr, ACode, AWParam, ALParam);
  return consumed ? 1 : next;
}

LRESULT dxBarCallKeyboardHookDirectly(WPARAM AKey, LPARAM AKeyData) {
  TKeyState& k = Keys();
  const bool saved = k.DirectKeyCall;
  k.DirectKeyCall = true;
  const LRESULT result = dxBarKeyboardHookProc(HC_ACTION, AKey, AKeyData);
  k.DirectKeyCall = saved;
  return result;
}

// ---------------------------------------------------------------------------
// The manager's side
// ---------------------------------------------------------------------------

namespace {

bool RunShortCutIn(TdxBarItemLinks* ALinks, Word AShortCut) { return ALinks && ALinks->ExecuteShortCut(AShortCut); }

bool ManagerRunsShortCut(TdxBarManager* AManager, Word AShortCut) {
  TdxBar* mainMenu = AManager->MainMenuBar();
  if (mainMenu && RunShortCutIn(mainMenu->ItemLinks(), AShortCut)) return true;
  for (int i = 0; i < AManager->Bars()->Count(); ++i) {
    TdxBar* bar = AManager->Bars()->Items(i);
    if (bar == mainMenu) continue;
    IdxBarControl* control = bar->Control();
    // A toolbar waiting for its dock's window keeps its shortcuts.
    const bool live = (bar->Visible() && (!control || control->AcceptsShortCuts())) ||
                      AManager->RestoreQueueIndexOf(bar) >= 0;
    if (live && RunShortCutIn(bar->ItemLinks(), AShortCut)) return true;
  }
  for (int i = 0; i < AManager->PopupMenuCount(); ++i)
    if (RunShortCutIn(dxBarOwnedItemLinks(AManager->PopupMenuAt(i)), AShortCut)) return true;
  return false;
}

bool ToolbarShown(TdxBar* ABar) {
  IdxBarControl* control = ABar->Control();
  return ABar->Visible() && (!control || control->IsWindowVisible());
}

}  // namespace

bool TdxBarManager::ExecuteShortCut(Word AShortCut) {
  if (AShortCut == 0) return false;
  // The popup menu of the focused control comes first.
  for (HWND w = GetFocus(); w; w = dxBarChildParent(w))
    if (TWinControl* control = ControlOfWindow(w))
      if (TdxBarManager* manager = dxBarManagerFromObject(control)) {
        if (manager->PopupMenuLinks()->RunShortCut(ControlOfWindow(GetFocus()), AShortCut)) return true;
        break;
      }
  for (TdxBarManager* m : ManagersOfForm(this))
    if (ManagerRunsShortCut(m, AShortCut)) return true;
  return false;
}

TdxBarItemLink* TdxBarManager::FindAccelLink(Word AKey, TShiftState AShift) {
  for (TdxBarManager* m : ManagersOfForm(this)) {
    TdxBar* mainMenu = m->MainMenuBar();
    if (mainMenu && ToolbarShown(mainMenu))
      if (TdxBarItemLink* link = mainMenu->ItemLinks()->FindLinkByAccel(AKey, AShift, nullptr)) return link;
    for (int i = 0; i < m->Bars()->Count(); ++i) {
      TdxBar* bar = m->Bars()->Items(i);
      if (bar == mainMenu || !bar->Visible()) continue;
      if (TdxBarItemLink* link = bar->ItemLinks()->FindLinkByAccel(AKey, AShift, nullptr)) return link;
    }
  }
  return nullptr;
}
