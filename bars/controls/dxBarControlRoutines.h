// Routines of the bar module about bar windows: the active bar window and
// its manager, the root of a chain of bar windows, and the popup window that
// hosts a control. The active bar window is kept by the bar window base
// (dxBarActiveBarControl), the list of live ones by the bar module
// (dxBarIsLiveControl).
#pragma once

class TcxCustomPopupWindow;
class TCustomdxBarControl;
class TdxBarItemControl;
class TdxBarManager;
class TWinControl;

// The bar window that holds the menu and keyboard mode, nil when none, and its manager.
TCustomdxBarControl* dxBarCurrentActiveControl();
TdxBarManager* dxBarActiveManager();
// There is an active bar window, it has a window and the window is enabled.
bool dxBarActiveControlEnabled();
// Up the chain of parent bars to the root: stops at a bar without parent
// bar, at one that is being destroyed, and at an internal popup whose parent
// bar is not one. Nil for nil.
TCustomdxBarControl* dxBarRootParentControl(TCustomdxBarControl* AControl);
// The root, nil when it is a sub-menu (or the quick-customization popup).
TCustomdxBarControl* dxBarRootNonSubMenuControl(TCustomdxBarControl* AControl);
// The root of the bar window the item control lies on; nil for nil.
TCustomdxBarControl* dxBarItemControlRootBar(TdxBarItemControl* AControl);
// The same, nil when the root is a sub-menu.
TCustomdxBarControl* dxBarItemControlRootToolbar(TdxBarItemControl* AControl);
// The popup window (other than the control's own window) that the control's
// window lies in: up through parent windows and, with AThroughBarControls,
// from a top-level bar window to the window of the control that owns it.
// Nil when the control has no window or is being destroyed.
TcxCustomPopupWindow* dxBarFindHostPopupWindow(TWinControl* AControl, bool AThroughBarControls);
