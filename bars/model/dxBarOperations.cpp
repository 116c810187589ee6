// What code and the customization dialogs do with a manager's items and
// toolbars: look-ups, unique captions, adding and deleting toolbars, and the
// queue of toolbars waiting to be shown again.
#include "bars/model/dxBarManager.h"

#include "bars/model/dxBarHooks.h"
#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarRoutines.h"
#include "bars/model/dxBarSelection.h"
#include "bars/model/dxBarStrs.h"
#include "bars/model/dxBarToolbars.h"

#include "foundation/cxClasses.h"
#include "foundation/cxControlsTracking.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"

#include <algorithm>
#include <utility>

TdxBarToolbarNameDialog& dxBarToolbarNameDialog() {
  static TdxBarToolbarNameDialog dialog = nullptr;
  return dialog;
}

TdxBarShowCustomizationForm& dxBarShowCustomizationForm() {
  static TdxBarShowCustomizationForm show = nullptr;
  return show;
}

TdxBarGetCustomizationForm& dxBarGetCustomizationForm() {
  static TdxBarGetCustomizationForm get = nullptr;
  return get;
}

namespace {

TWinControl* WindowOf(IdxBarControl* AControl) {
  return AControl ? dynamic_cast<TWinControl*>(AControl->BarControlObject()) : nullptr;
}

// The root of a link collection's chain of menus: the toolbar (or popup)
// whose links opened it.
TdxBarItemLinks* RootLinks(TdxBarItemLinks* ALinks) {
  while (ALinks && ALinks->ParentItemLinks()) ALinks = ALinks->ParentItemLinks();
  return ALinks;
}

TdxBarItemLinks* RootLinksOf(TdxBarItemControlBase* AControl) {
  TdxBarItemLink* link = AControl ? AControl->ItemLink() : nullptr;
  return link ? RootLinks(link->Owner()) : nullptr;
}

}  // namespace

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
    // The new toolbar alone is selected for the user to work on.
    if (IdxBarDesignController* controller = dxBarDesignControllerSlot()) controller->SelectItem(bar, 0);
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

namespace {

// Without a dock a toolbar floats and can always show; the model's stand-in
// docks have no window to wait for.
bool DockHasWindow(IdxBarDockControl* ADock) {
  if (!ADock) return true;
  auto* window = dynamic_cast<TWinControl*>(ADock->DockControlObject());
  return !window || window->HandleAllocated();
}

}  // namespace

void TdxBarManager::RestoreQueuedBars(IdxBarDockControl* ADockControl) {
  // Toolbars stay queued: a dock may lose its window and get one again.
  const std::vector<TdxBar*> queue = FBarRestoringList;
  for (auto it = queue.rbegin(); it != queue.rend(); ++it) {
    TdxBar* bar = *it;
    if (ADockControl ? bar->RealDockControl() == ADockControl && bar->DockingStyle() != dsNone
                     : DockHasWindow(bar->RealDockControl()))
      bar->SetVisible(true);
  }
}

// ---------------------------------------------------------------------------
// Customization, selection and dialogs
// ---------------------------------------------------------------------------

void TdxBarManager::Customizing(bool AValue) {
  if (FIsCustomizing == AValue) return;
  // One customization at a time in the process.
  if (AValue && ((dxBarGetCustomizationForm() && dxBarGetCustomizationForm()()) ||
                 (dxBarManagerList() && dxBarManagerList()->CustomizingBarManager())))
    return;
  // Open menus close before the item controls are made anew.
  HideAll();
  FIsCustomizing = AValue;
  for (int i = 0; i < FBars->Count(); ++i) {
    TdxBar* bar = FBars->Items(i);
    bar->ItemLinks()->RebuildLists();
    if (IdxBarControl* control = bar->Control()) control->RebuildItemControls();
  }
  for (int i = 0; i < ItemCount(); ++i)
    if (TdxBarItemLinks* links = Items(i)->ItemLinks()) links->RebuildLists();
  for (int i = 0; i < PopupMenuCount(); ++i)
    if (auto* owner = dynamic_cast<IdxBarLinksOwner*>(PopupMenuAt(i)))
      if (TdxBarItemLinks* links = owner->GetItemLinks()) links->RebuildLists();
  if (dxBarShowCustomizationForm()) dxBarShowCustomizationForm()(this, AValue);
  for (int i = 0; i < FBars->Count(); ++i)
    if (IdxBarControl* control = FBars->Items(i)->Control()) control->RefreshBarBackground();
}

void TdxBarManager::SetSelectedItem(TdxBarItemControlBase* AValue) {
  if (FSelectedItem == AValue) return;
  // The selection moves to another toolbar: the old one lets go of its own.
  if (IsCustomizing() && FSelectedItem) {
    TdxBarItemLinks* oldRoot = RootLinksOf(FSelectedItem);
    if (oldRoot && (!AValue || RootLinksOf(AValue) != oldRoot)) {
      IdxBarControl* control = oldRoot->BarControl();
      if (dynamic_cast<TdxBar*>(oldRoot->LinksOwner())) {
        if (control) control->DeselectItemControl();
      } else if (IdxBarCustomization* customization = dxBarCustomization();
                 control && customization && customization->SubMenuEditorWindow()) {
        // While customizing, a menu that is no toolbar's is the sub-menu
        // editor's: its window goes with the selection.
        oldRoot->DestroyBarControl();
      }
    }
  }
  FSelectedItem = AValue;
}

HWND TdxBarManager::DialogParentHandle() const {
  if (IsRunTimeCustomizing() && dxBarGetCustomizationForm())
    if (TWinControl* form = dxBarGetCustomizationForm()()) return form->Handle();
  if (Application && Application->Handle() && IsWindowVisible(Application->Handle())) return Application->Handle();
  TWinControl* owner = OwnerControl();
  return owner ? owner->Handle() : nullptr;
}

void TdxBarManager::DisableFloatingBarWindows() {
  for (int i = 0; i < FBars->Count(); ++i) {
    TdxBar* bar = FBars->Items(i);
    TWinControl* window = WindowOf(bar->Control());
    if (bar->DockingStyle() != dsNone || !window || !window->HandleAllocated() || !IsWindowEnabled(window->Handle()))
      continue;
    EnableWindow(window->Handle(), FALSE);
    FDisabledToolBarsList.push_back(bar);
  }
}

void TdxBarManager::EnableFloatingBarWindows() {
  const std::vector<TdxBar*> disabled = std::exchange(FDisabledToolBarsList, {});
  for (TdxBar* bar : disabled) {
    // A toolbar freed or hidden meanwhile has no window to enable.
    if (FBars->IndexOf(bar) < 0) continue;
    if (TWinControl* window = WindowOf(bar->Control()); window && window->HandleAllocated())
      EnableWindow(window->Handle(), TRUE);
  }
}

void TdxBarManager::RunItemDrag(TdxBarItem* AItem, TdxBarItemLink* AItemLink) {
  if (IdxBarDesignController* controller = dxBarDesignControllerSlot()) controller->RunItemDrag(this, AItem, AItemLink);
}

void TdxBarManager::FetchSelectedObjects(TdxObjectList* AList) const {
  AList->Clear();
  IdxBarDesigner* designer = dxBarDesignerOf(const_cast<TdxBarManager*>(this));
  if (!designer) return;
  TObjectPtr<TdxObjectList> selection(Make<TdxObjectList>());
  designer->GetSelection(selection.get());
  for (int i = 0; i < selection->Count(); ++i)
    if (auto* object = dynamic_cast<TPersistent*>(selection->Get(i));
        object && designer->GetSelectionStatus(object) == ssActiveSelected)
      AList->Add(object);
}

// ---------------------------------------------------------------------------
// Mouse tracking and hot tracking
// ---------------------------------------------------------------------------

void TdxBarManager::StartMouseTracking(IdxBarControl* AControl) {
  if (AControl == FMouseTrackingBarControl) return;
  if (IdxBarControl* previous = std::exchange(FMouseTrackingBarControl, nullptr)) {
    if (auto* caller = dynamic_cast<IcxMouseTrackingCaller*>(previous->BarControlObject())) {
      cxStopMouseTracking(caller);
      caller->TrackedMouseLeft();
    }
  }
  FMouseTrackingBarControl = AControl;
  TWinControl* window = WindowOf(AControl);
  auto* caller = AControl ? dynamic_cast<IcxMouseTrackingCaller*>(AControl->BarControlObject()) : nullptr;
  if (!window || !caller || !window->HandleAllocated()) return;
  // The whole window, frame included, in its client coordinates.
  RECT bounds;
  GetWindowRect(window->Handle(), &bounds);
  MapWindowPoints(nullptr, window->Handle(), reinterpret_cast<POINT*>(&bounds), 2);
  cxStartMouseTracking(window, TRect(bounds.left, bounds.top, bounds.right, bounds.bottom), caller);
}

void TdxBarManager::ReleaseMouseTracking(IdxBarControl* AControl) {
  if (!AControl || AControl != FMouseTrackingBarControl) return;
  FMouseTrackingBarControl = nullptr;
  if (auto* caller = dynamic_cast<IcxMouseTrackingCaller*>(AControl->BarControlObject())) cxStopMouseTracking(caller);
}

void TdxBarManager::RefreshHotTrackUnderMouse(IdxBarControl* AControl) {
  POINT cursor;
  if (!GetCursorPos(&cursor)) return;
  HWND under = WindowFromPoint(cursor);
  auto* control = dynamic_cast<IdxBarControl*>(FindControl(under));
  if (!control || (AControl && control != AControl)) return;
  control->ResetLastMousePos();
  ScreenToClient(under, &cursor);
  PostMessageW(under, WM_MOUSEMOVE, 0, MAKELPARAM(cursor.x, cursor.y));
}

// ---------------------------------------------------------------------------
// Dock controls
// ---------------------------------------------------------------------------

void TdxBarManager::UnregisterDockControl(IdxBarDockControl* ADockControl) {
  const auto registered = std::find(FDockControls.begin(), FDockControls.end(), ADockControl);
  if (!ADockControl || registered == FDockControls.end()) return;
  FDockControls.erase(registered);
  // A dock that goes while the form lives leaves its toolbars without a
  // place: they hide rather than float at a stale position. When the form
  // goes, the toolbars go with it and keep the visibility the layout saves.
  TWinControl* owner = OwnerControl();
  const bool teardown = IsDestroying() || (owner && owner->ComponentState().Contains(csDestroying));
  if (FBars) {
    std::vector<TdxBar*> bars;
    for (int i = 0; i < FBars->Count(); ++i) bars.push_back(FBars->Items(i));
    for (TdxBar* bar : bars)
      if (FBars->IndexOf(bar) >= 0) bar->DockControlRemoving(ADockControl, !teardown);
    FBars->ForgetSideDock(ADockControl);
  }
  if (auto* component = dynamic_cast<TComponent*>(ADockControl->DockControlObject()))
    component->RemoveFreeNotification(this);
  if (auto* control = dynamic_cast<TControl*>(ADockControl->DockControlObject());
      control && !control->ComponentState().Contains(csDestroying))
    control->SetParentColor(true);
}
