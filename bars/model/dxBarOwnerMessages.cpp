// The messages of the owner's window (and, for form-wide ones, of its
// ancestors) that the call-window hook hands the manager: activation, system
// settings, help, and saving the layout when the window goes.
#include "bars/model/dxBarDrawing.h"
#include "bars/model/dxBarManager.h"

#include "bars/model/dxBarHooks.h"
#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarPainterChoice.h"
#include "bars/model/dxBarSelection.h"
#include "bars/model/dxBarToolbars.h"

#include "foundation/cxContainerRoutines.h"
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

namespace {

HWND FormWindow(TCustomForm* AForm) { return AForm && AForm->HandleAllocated() ? AForm->Handle() : nullptr; }

bool IsWindowOrDescendant(HWND AWnd, HWND AAncestor) {
  for (HWND w = AWnd; w; w = GetParent(w))
    if (w == AAncestor) return true;
  return false;
}

// Floating toolbars with a window.
std::vector<IdxBarControl*> FloatingControls(TdxBars* ABars, bool AVisibleOnly) {
  std::vector<IdxBarControl*> result;
  for (int i = 0; ABars && i < ABars->Count(); ++i) {
    TdxBar* bar = ABars->Items(i);
    if (IdxBarControl* control = bar->Control(); control && bar->DockingStyle() == dsNone &&
                                                 (!AVisibleOnly || bar->Visible()))
      result.push_back(control);
  }
  return result;
}

}  // namespace

void TdxBarManager::HandleOwnerWindowMessage(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam) {
  TWinControl* owner = OwnerControl();
  IdxBarDesignController* controller = dxBarDesignControllerSlot();
  const HWND customizationForm = controller ? controller->CustomizationFormWindow() : nullptr;
  const bool ownerIsCustomizationForm =
      owner && customizationForm && owner->HandleAllocated() && owner->Handle() == customizationForm;
  if (!owner || owner->ComponentState().Contains(csDestroying) || ownerIsCustomizationForm) {
    // The layout is saved when the owner goes, not when its window is only
    // made again.
    if (AMsg != WM_DESTROY || Designing()) return;
    if (owner && owner->HandleAllocated() && owner->Handle() != AWnd) return;
    if (FStoreInRegistry) SaveToRegistry(FRegistryPath);
    if (FStoreInIniFile) SaveToIniFile(FIniFileName);
    return;
  }
  if (!FBars) return;
  switch (AMsg) {
    // Form-wide messages.
    case WM_ACTIVATE:
      FormActivated(LOWORD(AWParam), reinterpret_cast<HWND>(ALParam), HIWORD(AWParam) != 0, AWnd);
      break;
    case WM_SYSCOLORCHANGE:
      dxBarRefreshScreenDepth();
      dxBarCreateCheckerBrush();
      RefreshDrawingResources();
      for (IdxBarControl* control : FloatingControls(FBars, false)) control->RefreshShadow();
      break;
    case WM_SETTINGCHANGE:
      // wParam names the SET value that changed.
      if (AWParam == SPI_SETNONCLIENTMETRICS) ApplySystemFont();
      if (AWParam == SPI_SETWORKAREA) KeepFloatingBarsInWorkArea();
      break;
    case WM_ACTIVATEAPP:
      ApplicationActivated(AWParam != 0);
      break;
    case WM_CHILDACTIVATE:
      SetFormActive(true, false, nullptr);
      break;
    case WM_WINDOWPOSCHANGING:
      if (reinterpret_cast<const WINDOWPOS*>(ALParam)->flags & SWP_HIDEWINDOW) SetFormActive(false, true, nullptr);
      break;
    case WM_WINDOWPOSCHANGED: {
      const WINDOWPOS& pos = *reinterpret_cast<const WINDOWPOS*>(ALParam);
      if (controller) {
        if (FIsCustomizing && customizationForm) controller->UpdateCustomizationFormVisibility(pos);
        if (HWND editor = controller->SubMenuEditorWindow()) {
          if (pos.flags & SWP_SHOWWINDOW) ShowWindow(editor, SW_SHOWNA);
          if (pos.flags & SWP_HIDEWINDOW) ShowWindow(editor, SW_HIDE);
        }
      }
      if ((pos.flags & SWP_SHOWWINDOW) && !InMDIChild()) SetFormActive(true, true, nullptr);
      break;
    }
    case WM_SYSCOMMAND:
      if ((AWParam & 0xFFF0) == SC_CLOSE && Designing())
        if (IdxBarActiveMenus* menus = dxBarActiveMenus();
            menus && menus->ActiveWindow() && menus->ActiveManager() == this)
          menus->HideAll();
      break;
    case WM_MDIACTIVATE:
      // The child being activated becomes active, the one being deactivated inactive.
      SetFormActive(reinterpret_cast<HWND>(ALParam) == AWnd, false, nullptr);
      break;
    // The owner's own messages.
    case WM_CREATE:
      // Toolbars that wanted to show before the form had its window.
      if (FBarRestoring) {
        CreateDockWindows();
        const std::vector<TdxBar*> queue = FBarRestoringList;
        for (TdxBar* bar : queue) {
          IdxBarDockControl* dock = bar->RealDockControl();
          if (!dock || dock->DockWindow()) bar->SetVisible(true);
        }
        if (RestoreQueueCount() == 0) FreeBarRestoring();
      }
      break;
    case WM_CANCELMODE:
      CancelMode();
      break;
    case WM_HELP:
      if (!Designing() && ALParam) ShowHelp(*reinterpret_cast<const HELPINFO*>(ALParam));
      break;
    case WM_DISPLAYCHANGE:
      KeepFloatingBarsInWorkArea();
      break;
    default:
      break;
  }
}

void TdxBarManager::CreateDockWindows() {
  FInternalState += bisHandleCreating;
  TFinally done{[this] { FInternalState -= bisHandleCreating; }};
  const std::vector<IdxBarDockControl*> docks = FDockControls;
  for (IdxBarDockControl* dock : docks) dock->CreateDockWindow();
}

// A modal loop starts (a dialog disables the form, a menu tracks): key tips
// wait no longer, and menus that close on deactivation close.
void TdxBarManager::CancelMode() {
  if (IdxBarNavigation* navigation = dxBarNavigation(); navigation && navigation->IsKeyTipsWaiting())
    navigation->EndKeyTipsWaiting(false);
  FInternalState += bisModalActivating;
  TFinally done{[this] { FInternalState -= bisModalActivating; }};
  if (cxIsChangingWindowsEnabling()) return;
  IdxBarActiveMenus* menus = dxBarActiveMenus();
  if (menus && menus->ActiveWindow() && menus->ActiveManager() == this && menus->ActiveHidesOnDeactivate())
    menus->HideAll();
}

bool TdxBarManager::InMDIChild() const {
  TCustomForm* master = MasterForm();
  return master && master->FormStyle() == fsMDIChild;
}

void TdxBarManager::FormActivated(WORD AState, HWND AOtherWnd, bool AMinimized, HWND AWnd) {
  FInternalState += bisFormActivating;
  TFinally done{[this] { FInternalState -= bisFormActivating; }};
  // An MDI child that is not the active one follows no activation.
  if (InMDIChild()) {
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (!main || main->ActiveMDIChild() != MasterForm()) return;
  }
  TCustomForm* top = TopLevelForm();
  const HWND topWnd = FormWindow(top);
  // A floating toolbar or a menu of the same form takes the activation.
  if (AState == WA_INACTIVE && AOtherWnd)
    if (auto* bar = dynamic_cast<IdxBarControl*>(FindControl(AOtherWnd)))
      if (TdxBarManager* manager = bar->ManagerOfBarControl(); manager && manager->TopLevelForm() == top) return;
  // A window of the open menus (an item's in-place edit) taking the activation changes nothing.
  IdxBarActiveMenus* menus = dxBarActiveMenus();
  if (AOtherWnd && menus && menus->ActiveWindow() && menus->ChainOwnsWindow(AOtherWnd)) return;
  // A modal dialog disables the form: the form still counts as active, so
  // its floating toolbars stay.
  const bool modal = FMainFormActive && topWnd && !IsWindowEnabled(topWnd) && !Designing();
  SetFormActive(modal || AState != WA_INACTIVE || (AOtherWnd && AOtherWnd == topWnd), false, AOtherWnd);
  // While the form is disabled for customizing, the customization form is
  // the one that becomes active.
  IdxBarDesignController* controller = dxBarDesignControllerSlot();
  const HWND customizationForm = controller ? controller->CustomizationFormWindow() : nullptr;
  if (AState != WA_INACTIVE && !FInternalState.Contains(bisToolbarsVisibleChanging) && FIsCustomizing &&
      customizationForm && topWnd && !IsWindowEnabled(topWnd) && !IsWindowOrDescendant(AWnd, customizationForm))
    SendMessageW(customizationForm, WM_ACTIVATE, MAKEWPARAM(AState, AMinimized ? 1 : 0),
                 reinterpret_cast<LPARAM>(topWnd));
  if (AState == WA_INACTIVE && AOtherWnd != topWnd && FMouseTrackingBarControl)
    FMouseTrackingBarControl->BarMouseLeft();
}

void TdxBarManager::ApplicationActivated(bool AActive) {
  if (FInternalState.Contains(bisModalActivating)) return;
  if (!AActive) {
    const HWND topWnd = FormWindow(TopLevelForm());
    if (FMainFormActive && topWnd && !IsWindowEnabled(topWnd)) FInternalState += bisWasActive;
    SetFormActive(false, false, nullptr);
    IdxBarActiveMenus* menus = dxBarActiveMenus();
    if (menus && menus->ActiveWindow() && menus->ActiveManager() == this) menus->HideAll();
    if (IdxBarControl* bar = FSelectedItem && FSelectedItem->ItemLink() ? FSelectedItem->ItemLink()->BarControl()
                                                                      : nullptr)
      if (HWND wnd = bar->BarWindow()) SendMessageW(wnd, WM_MOUSELEAVE, 0, 0);
  } else if (FInternalState.Contains(bisWasActive)) {
    SetFormActive(true, false, nullptr);
    FInternalState -= bisWasActive;
  }
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
  TFinally done{[this] { FInternalState -= bisToolbarsVisibleChanging; }};
  ShowOrHideFloatingBars(AActive, AForce, AOtherWnd);
}

// The floating toolbars as the present activation wants them.
void TdxBarManager::UpdateFloatingBarsVisibility() {
  if (FInternalState.Contains(bisToolbarsVisibleChanging)) return;
  FInternalState += bisToolbarsVisibleChanging;
  TFinally done{[this] { FInternalState -= bisToolbarsVisibleChanging; }};
  if (FMainFormActive || !FHideFloatingBarsWhenInactive)
    ShowOrHideFloatingBars(true, true, nullptr);
  else
    ShowOrHideFloatingBars(false, true, nullptr);
}

void TdxBarManager::ShowOrHideFloatingBars(bool AActive, bool AForce, HWND AOtherWnd) {
  if (!FBars) return;
  const std::vector<IdxBarControl*> floating = FloatingControls(FBars, true);
  const bool follow = FHideFloatingBarsWhenInactive || AForce;
  if (!follow)
    for (IdxBarControl* control : floating) control->RefreshFrame();
  TWinControl* owner = OwnerControl();
  if (AActive) {
    if ((owner && owner->HandleAllocated() && ShownAndRestored(owner->Handle())) || InMDIChild())
      for (IdxBarControl* control : floating) control->ShowFloatingWindow(true);
    return;
  }
  const HWND topWnd = FormWindow(TopLevelForm());
  if (AOtherWnd && topWnd && GetParent(AOtherWnd) == topWnd) return;
  IdxBarActiveMenus* menus = dxBarActiveMenus();
  if (menus && menus->ActiveWindow() && menus->ShouldHideOnFocusChange(AOtherWnd)) menus->HideAll();
  if (IdxBarNavigation* navigation = dxBarNavigation()) navigation->StopKeyboardHandling();
  IdxBarDesignController* controller = dxBarDesignControllerSlot();
  if (!follow) {
    if (controller && controller->QuickControlWindow()) controller->CloseQuickControl();
    return;
  }
  // The focus went to a window of this program that is no form (an edit of
  // a floating toolbar, a drop-down), or to the customization form: the
  // toolbars stay.
  if (AOtherWnd && dxBarIsOwnProcessWindow(AOtherWnd) && !(Application && AOtherWnd == Application->Handle())) {
    const bool toCustomizationForm =
        FIsCustomizing && controller && AOtherWnd == controller->CustomizationFormWindow();
    if (!dynamic_cast<TCustomForm*>(FindControl(AOtherWnd)) || toCustomizationForm) return;
  }
  for (IdxBarControl* control : floating)
    if (control->CanHideFloatingWindow()) control->ShowFloatingWindow(false);
  if (HWND mainWnd = FormWindow(MainForm()); !AForce && mainWnd) SendMessageW(mainWnd, WM_NCACTIVATE, 0, 0);
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
  TFinally unlock{[this] { SetDesignerNotifyLock(false, false); }};
  for (int i = 0; i < FBars->Count(); ++i) {
    TdxBar* bar = FBars->Items(i);
    if (bar->DockingStyle() != dsNone) continue;
    IdxBarControl* control = bar->Control();
    const HWND wnd = control ? control->BarWindow() : nullptr;
    TRect r;
    if (RECT bounds; wnd && GetWindowRect(wnd, &bounds)) {
      r = TRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
    } else {
      TRect offsets;
      if (TdxBarToolbarContentOffsets offsetsOf = dxBarToolbarContentOffsets())
        offsets = offsetsOf(DefaultPainter(), bar, dsNone);
      r = Bounds(bar->FloatLeft(), bar->FloatTop(), bar->FloatClientWidth() + offsets.Left + offsets.Right,
                 bar->FloatClientHeight() + offsets.Top + offsets.Bottom);
    }
    const TRect kept = dxBarKeepRectInWorkArea(r, work);
    if (kept == r) continue;
    if (wnd) {
      SetWindowPos(wnd, nullptr, kept.Left, kept.Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
      bar->SetFloatLeft(kept.Left);
      bar->SetFloatTop(kept.Top);
    }
  }
}

// ---------------------------------------------------------------------------
// F1 help
// ---------------------------------------------------------------------------

void TdxBarManager::ShowHelp(const HELPINFO& AInfo) {
  if (AInfo.iContextType != HELPINFO_WINDOW) return;
  IdxBarActiveMenus* menus = dxBarActiveMenus();
  if (menus && menus->ActiveWindow()) {
    // The selected item, else the nearest item of the chain that opened a
    // menu and has a help context.
    const std::vector<TdxBarItemControlBase*> chain = menus->HelpItemControls();
    TdxBarItemControlBase* control = chain.empty() ? nullptr : chain.front();
    for (TdxBarItemControlBase* candidate : chain)
      if (candidate && candidate->Item() && candidate->Item()->HelpContext() != 0) {
        control = candidate;
        break;
      }
    ShowItemHelp(control, menus->ActiveBarHelpContext());
    return;
  }
  auto* bar = dynamic_cast<IdxBarControl*>(FindControl(static_cast<HWND>(AInfo.hItemHandle)));
  if (!bar) return;
  ShowItemHelp(bar->ItemControlAtScreenPoint(TPoint(AInfo.MousePos.x, AInfo.MousePos.y)), bar->BarHelpContext());
}

void TdxBarManager::ShowItemHelp(TdxBarItemControlBase* AItemControl, int ABarHelpContext) {
  TdxBarItem* item = AItemControl ? AItemControl->Item() : nullptr;
  const bool itemContext = item && item->HelpContext() != 0;
  const int context = itemContext ? item->HelpContext() : ABarHelpContext;
  // Where the help popup of an item shows: under the middle of the item,
  // taken before the menus close.
  POINT below{0, 0};
  if (itemContext) {
    TdxBarItemLink* link = AItemControl->ItemLink();
    IdxBarControl* bar = link ? link->BarControl() : nullptr;
    const TRect r = link ? link->ItemRect() : TRect();
    below = POINT{(r.Left + r.Right) / 2, r.Bottom};
    if (HWND wnd = bar ? bar->BarWindow() : nullptr) ClientToScreen(wnd, &below);
  }
  HideAll();
  if (context == 0 || !Application) return;
  TCustomForm* form = MainForm();
  if (!form || !form->BorderIcons().Contains(biHelp)) {
    Application->HelpContext(context);
    return;
  }
  if (itemContext) Application->HelpCommand(HELP_SETPOPUP_POS, MAKELONG(below.x, below.y));
  Application->HelpCommand(HELP_CONTEXTPOPUP, context);
}
