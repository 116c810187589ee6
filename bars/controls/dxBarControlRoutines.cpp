#include "bars/controls/dxBarControlRoutines.h"

#include "bars/controls/dxBarControls.h"
#include "bars/controls/dxBarItemControls.h"

#include "foundation/cxContainerPopup.h"

namespace {

// Sub-menus and the quick-customization popup (a sub-menu of its own kind).
bool IsSubMenu(TCustomdxBarControl* AControl) { return AControl->Kind() != bkBarControl; }

}  // namespace

TCustomdxBarControl* dxBarCurrentActiveControl() { return dxBarActiveBarControl(); }

TdxBarManager* dxBarActiveManager() {
  TCustomdxBarControl* active = dxBarCurrentActiveControl();
  return active ? active->BarManager() : nullptr;
}

bool dxBarActiveControlEnabled() {
  TCustomdxBarControl* active = dxBarCurrentActiveControl();
  return active && active->HandleAllocated() && IsWindowEnabled(active->Handle());
}

TCustomdxBarControl* dxBarRootParentControl(TCustomdxBarControl* AControl) {
  TCustomdxBarControl* control = AControl;
  while (control && !control->IsDestroying()) {
    TCustomdxBarControl* parent = control->ParentBar();
    if (!parent || (control->IsInternalPopup() && !parent->IsInternalPopup())) break;
    control = parent;
  }
  return control;
}

TCustomdxBarControl* dxBarRootNonSubMenuControl(TCustomdxBarControl* AControl) {
  TCustomdxBarControl* root = dxBarRootParentControl(AControl);
  return root && IsSubMenu(root) ? nullptr : root;
}

TCustomdxBarControl* dxBarItemControlRootBar(TdxBarItemControl* AControl) {
  return AControl ? dxBarRootParentControl(AControl->Parent()) : nullptr;
}

TCustomdxBarControl* dxBarItemControlRootToolbar(TdxBarItemControl* AControl) {
  TCustomdxBarControl* root = dxBarItemControlRootBar(AControl);
  return root && IsSubMenu(root) ? nullptr : root;
}

TcxCustomPopupWindow* dxBarFindHostPopupWindow(TWinControl* AControl, bool AThroughBarControls) {
  if (!AControl || !AControl->HandleAllocated() || AControl->ComponentState().Contains(csDestroying)) return nullptr;
  const HWND own = AControl->Handle();
  HWND wnd = own;
  // Windows and their owners form no cycle; the bound only keeps a broken
  // chain from hanging the caller.
  for (int step = 0; step < 1000; ++step) {
    if (GetWindowLongPtrW(wnd, GWL_STYLE) & WS_CHILD) {
      HWND parent = GetParent(wnd);
      if (!parent) break;
      wnd = parent;
      continue;
    }
    auto* bar = AThroughBarControls ? dynamic_cast<TCustomdxBarControl*>(FindControl(wnd)) : nullptr;
    TWinControl* owner = bar ? bar->OwnerControl() : nullptr;
    if (!owner || !owner->HandleAllocated()) break;
    wnd = owner->Handle();
  }
  return wnd != own ? dynamic_cast<TcxCustomPopupWindow*>(FindControl(wnd)) : nullptr;
}
