// Keys of the UI thread, as the keyboard hook sees them: Alt and F10 enter
// menu mode on their release, shortcuts and Alt+letter accelerators run
// from anywhere in the form, and keys the navigation wants go to it.
#include "bars/model/dxBarHooks.h"

#include "bars/model/dxBarHints.h"
#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarRoutines.h"
#include "bars/model/dxBarToolbars.h"

#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"

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

bool WindowEnabledWithParents(HWND AWnd) {
  for (HWND w = AWnd; w; w = GetParent(w))
    if (!IsWindowEnabled(w)) return false;
  return true;
}

TdxBarManager* ManagerUpFrom(HWND AWnd) {
  for (HWND w = AWnd; w; w = dxBarChildParent(w))
    if (TdxBarManager* manager = dxBarManagerFromObject(FindControl(w))) return manager;
  return nullptr;
}

TdxBarManager* ManagerForKey(bool AMenuKey) {
  TdxBarManager* manager = nullptr;
  if (HWND focus = GetFocus()) {
    manager = ManagerUpFrom(focus);
  } else if (HWND active = GetActiveWindow(); active && WindowEnabledWithParents(active)) {
    manager = ManagerUpFrom(active);
  } else if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated() &&
             IsWindowEnabled(Application->MainForm()->Handle())) {
    manager = ManagerUpFrom(Application->MainForm()->Handle());
    if (manager && !manager->AllowCallFromAnotherForm()) manager = nullptr;
  } else if (!AMenuKey) {
    if (auto* form = dynamic_cast<TCustomForm*>(FindControl(GetActiveWindow()))) {
      TdxBarManagerList* list = dxBarManagerList();
      for (int i = 0; list && i < list->Count() && !manager; ++i)
        if (list->ManagerAt(i)->TopLevelForm() == form) manager = list->ManagerAt(i);
    }
  }
  if (manager && manager->IsCustomizing()) return nullptr;
  return manager;
}

bool IsPlainMenuKey(TdxBarManager* AManager, Word AKey) {
  if (AKey == VK_MENU) return !KeyHeld(VK_CONTROL);
  return AKey == VK_F10 && AManager->UseF10ForMenu() && !KeyHeld(VK_SHIFT) && !KeyHeld(VK_CONTROL) &&
         !KeyHeld(VK_MENU);
}

bool ClickAccelLink(TdxBarItemLink* ALink, Word AKey, TShiftState AShift) {
  TdxBarItemLink* next = ALink->Owner()->FindLinkByAccel(AKey, AShift, ALink);
  TdxBarItemControlBase* control = ALink->Control();
  const bool opensMenu = control && !control->ClickClosesMenus();
  if (opensMenu || (next && next != ALink)) {
    if (IdxBarNavigation* navigation = dxBarNavigation()) navigation->FocusLink(ALink);
    return true;
  }
  if (control)
    control->ExecuteClick();
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

bool ActiveBarKey(Word AKey, LPARAM AKeyData) {
  TKeyState& k = Keys();
  if (k.HandledKey && AKey == k.HandledKeyCode && !IsDown(AKeyData)) {
    k.HandledKey = false;
    return true;
  }
  IdxBarNavigation* navigation = dxBarNavigation();
  if (navigation && navigation->NeedsKey(AKey, CurrentShift())) {
    if (IsDown(AKeyData)) {
      k.HandledKey = true;
      k.HandledKeyCode = AKey;
      navigation->HandleKey(AKey, AKeyData);
    }
    return true;
  }
  IdxBarActiveMenus* menus = dxBarActiveMenus();
  const HWND active = menus ? menus->ActiveWindow() : nullptr;
  if (!active || !IsWindowEnabled(active) || menus->ActiveIsCustomized()) {
    // Escape ends a drag of the active control's window.
    if (AKey == VK_ESCAPE && active && GetCapture() == active) {
      ReleaseCapture();
      return true;
    }
    return false;
  }
  // An open menu takes every key, but an edit in it keeps its own.
  if (menus->EditHasFocus()) return false;
  const bool down = IsDown(AKeyData);
  // Remembered before it is sent: a key that closes the menus has its
  // release swallowed too.
  k.HandledKey = true;
  k.HandledKeyCode = AKey;
  SendMessageW(active, down ? WM_KEYDOWN : WM_KEYUP, AKey, AKeyData);
  if (menus->ActiveWindow() || !down) k.HandledKey = false;
  return true;
}

bool MenuKey(Word AKey, LPARAM AKeyData) {
  TKeyState& k = Keys();
  TdxBarManager* manager = ManagerForKey(AKey == VK_MENU || AKey == VK_F10);
  if (!manager) return false;
  if (IsDown(AKeyData)) {
    if (IsPlainMenuKey(manager, AKey) && !(k.HandledKey && k.HandledKeyCode == AKey)) {
      manager->HideHint();
      k.MenuKeyPending = true;
      return false;
    }
    k.MenuKeyPending = false;
    return ShortCutOrAccel(manager, AKey, AKeyData);
  }
  const bool f10 = AKey == VK_F10 && manager->UseF10ForMenu() && !KeyHeld(VK_SHIFT) && !KeyHeld(VK_CONTROL);
  IdxBarNavigation* navigation = dxBarNavigation();
  if (((AKey == VK_MENU && k.MenuKeyPending) || f10) && navigation) {
    k.MenuKeyPending = false;
    navigation->SelectDefaultObject(manager);
    return true;
  }
  // Without a navigation controller the key keeps its system meaning (the window menu).
  k.MenuKeyPending = false;
  return false;
}

}  // namespace

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

// The managers that take part for a manager's form: those from its owner
// window up through child windows, then the others on the same top-level window.
std::vector<TdxBarManager*> ManagersOfForm(TdxBarManager* AManager) {
  std::vector<TdxBarManager*> result;
  TWinControl* owner = AManager->OwnerControl();
  if (owner && owner->HandleAllocated()) {
    for (HWND w = owner->Handle(); w; w = dxBarChildParent(w))
      if (TdxBarManager* m = dxBarManagerFromObject(FindControl(w)))
        if (std::find(result.begin(), result.end(), m) == result.end()) result.push_back(m);
  } else {
    result.push_back(AManager);
  }
  TdxBarManagerList* list = dxBarManagerList();
  const HWND root = owner && owner->HandleAllocated() ? GetAncestor(owner->Handle(), GA_ROOT) : nullptr;
  for (int i = 0; root && list && i < list->Count(); ++i) {
    TdxBarManager* m = list->ManagerAt(i);
    TWinControl* o = m->OwnerControl();
    if (std::find(result.begin(), result.end(), m) == result.end() && o && o->HandleAllocated() &&
        GetAncestor(o->Handle(), GA_ROOT) == root)
      result.push_back(m);
  }
  return result;
}

}  // namespace

bool TdxBarManager::ExecuteShortCut(Word AShortCut) {
  if (AShortCut == 0) return false;
  for (TdxBarManager* m : ManagersOfForm(this)) {
    TdxBar* mainMenu = m->MainMenuBar();
    if (mainMenu && mainMenu->ItemLinks()->ExecuteShortCut(AShortCut)) return true;
    for (int i = 0; i < m->Bars()->Count(); ++i) {
      TdxBar* bar = m->Bars()->Items(i);
      // A toolbar waiting for its dock's window keeps its shortcuts.
      const bool live = bar->Visible() || m->RestoreQueueIndexOf(bar) >= 0;
      if (bar != mainMenu && live && bar->ItemLinks()->ExecuteShortCut(AShortCut)) return true;
    }
  }
  return false;
}

TdxBarItemLink* TdxBarManager::FindAccelLink(Word AKey, TShiftState AShift) {
  for (TdxBarManager* m : ManagersOfForm(this)) {
    TdxBar* mainMenu = m->MainMenuBar();
    if (mainMenu && mainMenu->Visible())
      if (TdxBarItemLink* link = mainMenu->ItemLinks()->FindLinkByAccel(AKey, AShift, nullptr)) return link;
    for (int i = 0; i < m->Bars()->Count(); ++i) {
      TdxBar* bar = m->Bars()->Items(i);
      if (bar == mainMenu || !bar->Visible()) continue;
      if (TdxBarItemLink* link = bar->ItemLinks()->FindLinkByAccel(AKey, AShift, nullptr)) return link;
    }
  }
  return nullptr;
}
