// What code and the customization dialogs do with a manager's items and
// toolbars: look-ups, unique captions, adding and deleting toolbars, and the
// queue of toolbars waiting to be shown again.
#include "bars/model/dxBarManager.h"

#include "bars/model/dxBarHooks.h"
#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarRoutines.h"
#include "bars/model/dxBarStrs.h"
#include "bars/model/dxBarToolbars.h"

#include "foundation/cxClasses.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"

#include <algorithm>

TdxBarToolbarNameDialog& dxBarToolbarNameDialog() {
  static TdxBarToolbarNameDialog dialog = nullptr;
  return dialog;
}

TdxBar* TdxBarManager::BarByOldName(const String& AName) const {
  for (int i = 0; i < FBars->Count(); ++i)
    if (FBars->Items(i)->OldName() == AName) return FBars->Items(i);
  return nullptr;
}

String TdxBarManager::GetUniqueToolbarCaption(const String& ABaseName) const {
  for (int n = 1;; ++n) {
    const String caption = ABaseName + IntToStr(n);
    if (!BarByCaption(caption)) return caption;
  }
}

void TdxBarManager::ExchangeItems(int AIndex1, int AIndex2) {
  FItems->Exchange(AIndex1, AIndex2);
  SignalDesignerModified();
}

int TdxBarManager::GetCountByCategory(int ACategory) const {
  TObjectPtr<TList> list(Make<TList>());
  return GetItemsByCategory(ACategory, list.get());
}

TdxBarItem* TdxBarManager::GetItemByCategory(int ACategory, int AIndex) const {
  TObjectPtr<TList> list(Make<TList>());
  const int count = GetItemsByCategory(ACategory, list.get());
  return AIndex >= 0 && AIndex < count ? static_cast<TdxBarItem*>(list->Get(AIndex)) : nullptr;
}

TdxBar* TdxBarManager::AddToolBar(bool AIsMainMenu, bool ANeedEditCaption) {
  String caption = GetUniqueToolbarCaption(cxLookUpResourceString(&dxSBAR_TOOLBARNEWNAME));
  if (ANeedEditCaption && dxBarToolbarNameDialog() && !dxBarToolbarNameDialog()(this, tnmAdd, caption)) return nullptr;
  TdxBar* bar = nullptr;
  dxBarInManagerUpdate(this, [&] {
    bar = FBars->Add();
    bar->SetCaption(caption);
    if (TWinControl* owner = OwnerControl()) {
      const POINT at{owner->Left(), owner->Top()};
      MONITORINFO info{};
      info.cbSize = sizeof(info);
      GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &info);
      int left = owner->Left() - 50;
      if (left < info.rcWork.left) left = owner->Left() + owner->Width() + 10;
      int top = owner->Top();
      if (top < info.rcWork.top) top = info.rcWork.top + 10;
      bar->SetFloatLeft(left);
      bar->SetFloatTop(top);
    }
    bar->SetDockingStyle(dsTop);
    if (AIsMainMenu) {
      bar->SetRow(0);
      bar->SetIsMainMenu(true);
      bar->SetVisible(true);
    } else {
      int rows = 0;
      for (int i = 0; i < FBars->Count(); ++i)
        if (FBars->Items(i) != bar && FBars->Items(i)->DockingStyle() == dsTop && FBars->Items(i)->Visible())
          rows = std::max(rows, FBars->Items(i)->Row() + 1);
      bar->SetRow(rows);
      // A row of its own now, which later toolbars may share.
      bar->SetOneOnRow(true);
      bar->SetVisible(true);
      bar->SetOneOnRow(false);
    }
  });
  return bar;
}

void TdxBarManager::DeleteToolBar(TdxBar* ABar, bool AConfirmation) {
  if (!ABar) return;
  if (AConfirmation &&
      dxBarShowAppMessageBox(Format(cxLookUpResourceString(&dxSBAR_WANTTODELETETOOLBAR), {ABar->Caption()}),
                             MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
    return;
  TObject::Free(ABar);
}

void TdxBarManager::HideAll() {
  if (IdxBarActiveMenus* menus = dxBarActiveMenus(); menus && menus->ActiveWindow()) menus->HideAll();
}

void TdxBarManager::RenameToolBar(TdxBar* ABar) {
  if (!ABar || !dxBarToolbarNameDialog()) return;
  String caption = ABar->Caption();
  if (dxBarToolbarNameDialog()(this, tnmRename, caption)) ABar->SetCaption(caption);
}

void TdxBarManager::ResetUsageDataWithConfirmation() {
  if (dxBarShowAppMessageBox(cxLookUpResourceString(&dxSBAR_WANTTORESETUSAGEDATA),
                             MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES)
    ResetUsageData();
}

bool TdxBarManager::CanEditInDesigner() const {
  const TComponentStateSet state = Owner() ? Owner()->ComponentState() : TComponentStateSet();
  return !(state.Contains(csDesigning) && state.Contains(csInline));
}

IdxBarDockControl* TdxBarManager::SideDockControl(TdxBarDockingStyle AStyle) const {
  const int index = static_cast<int>(AStyle) - 1;
  return AStyle != dsNone && index < DockControlCount() ? FDockControls[index] : nullptr;
}

bool TdxBarManager::IsSideDock(IdxBarDockControl* ADockControl) const {
  const int sides = std::min(DockControlCount(), 4);
  return ADockControl && std::find(FDockControls.begin(), FDockControls.begin() + sides, ADockControl) !=
                             FDockControls.begin() + sides;
}

// ---------------------------------------------------------------------------
// Toolbars waiting for their dock's window
// ---------------------------------------------------------------------------

void TdxBarManager::BeginBarRestoring() { FBarRestoring = true; }

void TdxBarManager::QueueBarRestore(TdxBar* ABar) {
  if (FBarRestoring && RestoreQueueIndexOf(ABar) < 0) FBarRestoringList.push_back(ABar);
}

void TdxBarManager::RemoveFromRestoreQueue(TdxBar* ABar) {
  FBarRestoringList.erase(std::remove(FBarRestoringList.begin(), FBarRestoringList.end(), ABar),
                          FBarRestoringList.end());
}

int TdxBarManager::RestoreQueueIndexOf(TdxBar* ABar) const {
  const auto found = std::find(FBarRestoringList.begin(), FBarRestoringList.end(), ABar);
  return found == FBarRestoringList.end() ? -1 : static_cast<int>(found - FBarRestoringList.begin());
}

void TdxBarManager::FreeBarRestoring() {
  FBarRestoring = false;
  FBarRestoringList.clear();
}

void TdxBarManager::RestoreQueuedBars(IdxBarDockControl* ADockControl) {
  // Toolbars stay queued: a dock may lose its window and get one again.
  const std::vector<TdxBar*> queue = FBarRestoringList;
  for (auto it = queue.rbegin(); it != queue.rend(); ++it) {
    TdxBar* bar = *it;
    // The model's stand-in docks need no window, so without a dock every queued toolbar shows.
    if (!ADockControl || (bar->RealDockControl() == ADockControl && bar->DockingStyle() != dsNone))
      bar->SetVisible(true);
  }
}
