// The messages of the owner's window (and, for form-wide ones, of its
// ancestors) that the call-window hook hands the manager: activation, system
// settings, and saving the layout when the window goes.
#include "bars/model/dxBarDrawing.h"
#include "bars/model/dxBarManager.h"

#include "bars/model/dxBarHooks.h"
#include "bars/model/dxBarToolbars.h"

#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"

TRect dxBarKeepRectInWorkArea(TRect ARect, const TRect& AWorkArea) {
  auto shift = [&ARect](int dx, int dy) {
    ARect = Bounds(ARect.Left + dx, ARect.Top + dy, ARect.Width(), ARect.Height());
  };
  if (ARect.Bottom > AWorkArea.Bottom) shift(0, AWorkArea.Bottom - ARect.Bottom);
  if (ARect.Top < AWorkArea.Top) shift(0, AWorkArea.Top - ARect.Top);
  if (ARect.Right > AWorkArea.Right) shift(AWorkArea.Right - ARect.Right, 0);
  if (ARect.Left < AWorkArea.Left) shift(AWorkArea.Left - ARect.Left, 0);
  return ARect;
}

void TdxBarManager::HandleOwnerWindowMessage(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam) {
  TWinControl* owner = OwnerControl();
  if (!owner || owner->ComponentState().Contains(csDestroying) || AMsg == WM_DESTROY) {
    if (AMsg != WM_DESTROY || Designing()) return;
    // Only the owner's own window going saves the layout.
    if (owner && owner->HandleAllocated() && owner->Handle() != AWnd) return;
    if (FStoreInRegistry) SaveToRegistry(FRegistryPath);
    if (FStoreInIniFile) SaveToIniFile(FIniFileName);
    return;
  }
  if (!FBars) return;
  switch (AMsg) {
    case WM_SETTINGCHANGE:
      // wParam names the SET value that changed.
      if (AWParam == SPI_SETNONCLIENTMETRICS) ApplySystemFont();
      if (AWParam == SPI_SETWORKAREA) KeepFloatingBarsInWorkArea();
      break;
    case WM_DISPLAYCHANGE:
      KeepFloatingBarsInWorkArea();
      break;
    case WM_SYSCOLORCHANGE:
      dxBarRefreshScreenDepth();
      dxBarCreateCheckerBrush();
      StyleChanged();
      break;
    case WM_ACTIVATE:
      FormActivated(LOWORD(AWParam), reinterpret_cast<HWND>(ALParam));
      break;
    case WM_MDIACTIVATE:
      // The child being activated becomes active, the one being deactivated inactive.
      SetFormActive(reinterpret_cast<HWND>(ALParam) == AWnd, false, nullptr);
      break;
    case WM_WINDOWPOSCHANGED:
      if ((reinterpret_cast<const WINDOWPOS*>(ALParam)->flags & SWP_SHOWWINDOW) && !InMDIChild())
        SetFormActive(true, true, nullptr);
      break;
    case WM_CREATE:
      // Toolbars that wanted to show before the form had its window.
      if (FBarRestoring) {
        RestoreQueuedBars(nullptr);
        if (RestoreQueueCount() == 0) FreeBarRestoring();
      }
      break;
    case WM_ACTIVATEAPP:
      if (FInternalState.Contains(bisModalActivating)) break;
      if (AWParam == 0) {
        TCustomForm* top = TopLevelForm();
        if (FMainFormActive && top && top->HandleAllocated() && !IsWindowEnabled(top->Handle()))
          FInternalState += bisWasActive;
        SetFormActive(false, false, nullptr);
        IdxBarActiveMenus* menus = dxBarActiveMenus();
        if (menus && menus->ActiveWindow() && menus->ActiveManager() == this) menus->HideAll();
      } else if (FInternalState.Contains(bisWasActive)) {
        SetFormActive(true, false, nullptr);
        FInternalState -= bisWasActive;
      }
      break;
    case WM_CHILDACTIVATE:
      SetFormActive(true, false, nullptr);
      break;
    case WM_WINDOWPOSCHANGING:
      if (reinterpret_cast<const WINDOWPOS*>(ALParam)->flags & SWP_HIDEWINDOW) SetFormActive(false, true, nullptr);
      break;
    default:
      break;
  }
}

bool TdxBarManager::InMDIChild() const {
  TCustomForm* master = MasterForm();
  return master && master->FormStyle() == fsMDIChild;
}

void TdxBarManager::FormActivated(WORD AState, HWND AOtherWnd) {
  // An MDI child that is not the active one follows no activation.
  if (InMDIChild()) {
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (!main || main->ActiveMDIChild() != MasterForm()) return;
  }
  // A window of the open menus (an item's in-place edit) taking the activation changes nothing.
  IdxBarActiveMenus* menus = dxBarActiveMenus();
  if (AOtherWnd && menus && menus->ActiveWindow() && menus->ChainOwnsWindow(AOtherWnd)) return;
  TCustomForm* top = TopLevelForm();
  const HWND topWnd = top && top->HandleAllocated() ? top->Handle() : nullptr;
  // A modal dialog disables the form: the form still counts as active, so
  // its floating toolbars stay.
  const bool modal = FMainFormActive && topWnd && !IsWindowEnabled(topWnd) && !Designing();
  FInternalState += bisFormActivating;
  try {
    SetFormActive(modal || AState != WA_INACTIVE || (AOtherWnd && AOtherWnd == topWnd), false, AOtherWnd);
  } catch (...) {
    FInternalState -= bisFormActivating;
    throw;
  }
  FInternalState -= bisFormActivating;
}

namespace {

// Shown, and neither it nor an ancestor up through child windows minimized.
bool ShownAndRestored(HWND AWnd) {
  if (!IsWindowVisible(AWnd)) return false;
  for (HWND w = AWnd; w; w = dxBarChildParent(w))
    if (IsIconic(w)) return false;
  return true;
}

}  // namespace

void TdxBarManager::SetFormActive(bool AActive, bool AForce, HWND AOtherWnd) {
  if (!AForce && AActive == FMainFormActive) return;
  FMainFormActive = AActive;
  if (FInternalState.Contains(bisToolbarsVisibleChanging)) return;
  FInternalState += bisToolbarsVisibleChanging;
  try {
    ShowOrHideFloatingBars(AActive, AForce, AOtherWnd);
  } catch (...) {
    FInternalState -= bisToolbarsVisibleChanging;
    throw;
  }
  FInternalState -= bisToolbarsVisibleChanging;
}

void TdxBarManager::ShowOrHideFloatingBars(bool AActive, bool AForce, HWND AOtherWnd) {
  if (!FBars) return;
  std::vector<IdxBarControl*> floating;
  for (int i = 0; i < FBars->Count(); ++i)
    if (IdxBarControl* control = FBars->Items(i)->Control(); control && FBars->Items(i)->DockingStyle() == dsNone)
      floating.push_back(control);
  const bool follow = FHideFloatingBarsWhenInactive || AForce;
  if (!follow)
    for (IdxBarControl* control : floating) control->RefreshFrame();
  TWinControl* owner = OwnerControl();
  if (AActive) {
    if ((owner && owner->HandleAllocated() && ShownAndRestored(owner->Handle())) || InMDIChild())
      for (IdxBarControl* control : floating) control->ShowFloatingWindow(true);
    return;
  }
  TCustomForm* top = TopLevelForm();
  const HWND topWnd = top && top->HandleAllocated() ? top->Handle() : nullptr;
  if (AOtherWnd && topWnd && GetParent(AOtherWnd) == topWnd) return;
  IdxBarActiveMenus* menus = dxBarActiveMenus();
  if (menus && menus->ActiveWindow() && menus->ShouldHideOnFocusChange(AOtherWnd)) menus->HideAll();
  if (IdxBarNavigation* navigation = dxBarNavigation()) navigation->StopKeyboardHandling();
  if (!follow) return;
  // The focus went to a window of this program that is no form (an edit of
  // a floating toolbar, a drop-down): the toolbars stay.
  if (AOtherWnd && dxBarIsOwnProcessWindow(AOtherWnd) && !(Application && AOtherWnd == Application->Handle())) {
    TWinControl* other = FindControl(AOtherWnd);
    if (!dynamic_cast<TCustomForm*>(other)) return;
  }
  for (IdxBarControl* control : floating)
    if (control->CanHideFloatingWindow()) control->ShowFloatingWindow(false);
  TCustomForm* main = MainForm();
  if (!AForce && main && main->HandleAllocated()) SendMessageW(main->Handle(), WM_NCACTIVATE, 0, 0);
}

void TdxBarManager::KeepFloatingBarsInWorkArea() {
  TWinControl* owner = OwnerControl();
  if (!owner) return;
  const POINT centre{owner->Left() + owner->Width() / 2, owner->Top() + owner->Height() / 2};
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(MonitorFromPoint(centre, MONITOR_DEFAULTTONEAREST), &info)) return;
  const TRect work(info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom);
  SetDesignerNotifyLock(true);
  try {
    for (int i = 0; i < FBars->Count(); ++i) {
      TdxBar* bar = FBars->Items(i);
      if (bar->DockingStyle() != dsNone) continue;
      const TRect r(bar->FloatLeft(), bar->FloatTop(), bar->FloatLeft() + bar->FloatClientWidth(),
                    bar->FloatTop() + bar->FloatClientHeight());
      const TRect kept = dxBarKeepRectInWorkArea(r, work);
      bar->SetFloatLeft(kept.Left);
      bar->SetFloatTop(kept.Top);
    }
  } catch (...) {
    SetDesignerNotifyLock(false, false);
    throw;
  }
  SetDesignerNotifyLock(false, false);
}
