// The main form's manager follows its MDI children: a maximized child's
// system menu becomes the first entry of the main menu, the child's own main
// menu merges into it, and listeners hear of every activation and change of
// the maximized state.
#include "bars/model/dxBarManager.h"

#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarMerging.h"
#include "bars/model/dxBarRoutines.h"
#include "bars/model/dxBarToolbars.h"

#include "foundation/cxClasses.h"
#include "platform/core/Lists.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"

#include <vector>

TdxBarSystemMenuItemMaker& dxBarSystemMenuItemMaker() {
  static TdxBarSystemMenuItemMaker maker = nullptr;
  return maker;
}

namespace {

// The private message that makes a toolbar window lay out and repaint later.
constexpr UINT BarDeferredRepaintMessage = 0x8065;

enum class TMergeKind { None, Merge, Unmerge };

TdxBarManager* ManagerOfWindow(HWND AWnd) {
  if (!AWnd) return nullptr;
  TWinControl* control = FindControl(AWnd);
  return control ? dxBarManagerFromObject(control) : nullptr;
}

HWND WindowOfBar(TdxBar* ABar) {
  IdxBarControl* control = ABar ? ABar->Control() : nullptr;
  auto* window = control ? dynamic_cast<TWinControl*>(control->BarControlObject()) : nullptr;
  return window && window->HandleAllocated() ? window->Handle() : nullptr;
}

}  // namespace

HWND TdxBarManager::ActiveMDIChild() const {
  TForm* main = Application ? Application->MainForm() : nullptr;
  if (!main || !main->ClientHandle()) return nullptr;
  return reinterpret_cast<HWND>(SendMessageW(main->ClientHandle(), WM_MDIGETACTIVE, 0, 0));
}

void TdxBarManager::DoMDIButtonCommand(TdxBarMDIButton AButton) {
  static const WPARAM commands[] = {SC_MINIMIZE, SC_RESTORE, SC_CLOSE};
  if (HWND child = ActiveMDIChild()) SendMessageW(child, WM_SYSCOMMAND, commands[AButton], 0);
}

bool TdxBarManager::OwnerIsMDIChild(bool ARecursive) const {
  if (ARecursive) {
    TCustomForm* master = MasterForm();
    return master && master->FormStyle() == fsMDIChild;
  }
  auto* form = dynamic_cast<TCustomForm*>(Owner());
  return form && form->FormStyle() == fsMDIChild;
}

TcxEventHandlerCollection* TdxBarManager::MDIStateChangedHandlers() const {
  if (!FMDIStateChangedHandlers) FMDIStateChangedHandlers.reset(Make<TcxEventHandlerCollection>());
  return FMDIStateChangedHandlers.get();
}

void TdxBarManager::CheckMDIState() {
  if (IsDestroying()) return;
  HWND active = ActiveMDIChild();
  // A child whose window is gone is no active child any more.
  if (active && !IsWindow(active)) active = nullptr;
  const bool wasMaximized = FIsMDIMaximized;
  FIsMDIMaximized = active && IsZoomed(active);
  // The docks keep redrawing: switching it off and on again would repaint
  // them on every activation of a child.
  BeginUpdateWithoutRedraw();
  TFinally done{[&] {
    bool anyChanged = false;
    for (int i = 0; i < FBars->Count(); ++i) anyChanged = anyChanged || FBars->Items(i)->ChangedFlag();
    EndUpdateWithoutRedraw(anyChanged);
    if (FIsMDIMaximized)
      if (HWND menu = WindowOfBar(FMainMenuBar)) PostMessageW(menu, BarDeferredRepaintMessage, 0, 0);
    FPrevActiveMDIChild = active;
  }};
  if (active != FPrevActiveMDIChild) {
    // Nothing to report for "no child": the previous one is deactivated,
    // and when the last child closed no new one is activated.
    if (FPrevActiveMDIChild) ReportMDIChange(mdiscDeactivated, FPrevActiveMDIChild);
    if (active) ReportMDIChange(mdiscActivated, active);
  } else if (wasMaximized != FIsMDIMaximized && active) {
    ReportMDIChange(mdiscMaximizedChanged, active);
  }
}

void TdxBarManager::ReportMDIChange(TdxBarMDIStateChange AChange, HWND AWnd) {
  const bool childMaximized = IsWindow(AWnd) && IsZoomed(AWnd);
  TdxBar* menu = FMainMenuBar;
  // The child's system menu as the first entry of the main menu.
  if (menu) {
    if (AChange != mdiscDeactivated && FIsMDIMaximized) {
      if (FInternalItems->Count() == 0 && dxBarSystemMenuItemMaker() && GetSystemMenu(AWnd, FALSE)) {
        TdxBarItem* item = dxBarSystemMenuItemMaker()(Owner(), AWnd);
        if (item) {
          if (item->BarManager() != this) item->SetParentComponent(this);
          // The manager's own item: never stored, never listed for the user.
          FItems->Remove(item);
          FInternalItems->Add(item);
          TdxBarItemLinks* links = menu->ItemLinks();
          TdxBarItemLink* link = links->Add(item);
          links->Move(links->IndexOf(link), 0);
        }
      }
    } else if ((AChange == mdiscDeactivated || (AChange == mdiscMaximizedChanged && !childMaximized)) &&
               FInternalItems->Count() > 0) {
      FInternalItems->Clear();
    }
  }

  // The child's main menu merges into this manager's.
  TdxBarManager* childManager = ManagerOfWindow(AWnd);
  TMergeKind kind = TMergeKind::None;
  if (AChange == mdiscMaximizedChanged && FAlwaysMerge)
    kind = TMergeKind::None;
  else if (AChange != mdiscDeactivated && (FAlwaysMerge || FIsMDIMaximized))
    kind = TMergeKind::Merge;
  else if (AChange == mdiscDeactivated || (AChange == mdiscMaximizedChanged && !childMaximized))
    kind = TMergeKind::Unmerge;
  TdxBar* childMenu = childManager && childManager != this ? childManager->MainMenuBar() : nullptr;
  if (menu && childMenu) {
    if (kind == TMergeKind::Merge) {
      if (OnMenuMerge) {
        OnMenuMerge(this, childManager, true);
        if (!childMenu->MergedWith()) {
          TdxBarMergeData* data = childMenu->MergeData();
          data->MergedWith = menu;
          menu->MergeData()->MergedBarList()->Add(childMenu);
          data->VisibleBeforeMerging = childMenu->Visible();
        }
        childMenu->SetVisible(false);
      } else if (childMenu->MergedWith() != menu) {
        // Activating the merged child again merges nothing twice.
        menu->Merge(childMenu);
      }
    } else if (kind == TMergeKind::Unmerge) {
      std::vector<TdxBar*> merged;
      for (int i = 0; i < menu->MergedBarCount(); ++i) merged.push_back(menu->MergeData()->MergedBars(i));
      menu->Unmerge(nullptr, false);
      if (OnMenuMerge) OnMenuMerge(this, childManager, false);
      for (TdxBar* bar : merged) bar->SetVisible(bar->VisibleBeforeMerging());
    }
  }
  if (OnMerge && childManager && kind != TMergeKind::None) OnMerge(this, childManager, kind == TMergeKind::Merge);

  TdxBarMDIStateChangeEventData data;
  data.Change = AChange;
  data.Wnd = AWnd;
  MDIStateChangedHandlers()->CallEvents(this, &data);
}
