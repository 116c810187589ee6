#include "bars/controls/dxBarControlsModules.h"

#include "bars/controls/dxBarDockControl.h"
#include "bars/controls/dxBarFlatPainter.h"
#include "bars/controls/dxBarHintWindow.h"
#include "bars/controls/dxBarItemControls.h"
#include "bars/controls/dxBarPainters.h"
#include "bars/controls/dxBarToolbarControl.h"

void dxBarControlsInitialize() {
  dxBarSideDockFactory() = &dxBarCreateSideDock;
  dxBarToolbarControlFactory() = &dxBarCreateToolbarControl;
  dxBarToolbarWindows() = dxBarDockToolbarWindows();
  dxBarRegisterPainters();
  dxBarHintWindowFactory() = &dxBarCreateBarHintWindow;
  dxBarAddItemClassToRegistry(TdxBarButton::StaticClass(), TdxBarButtonControl::StaticClass(), true);
  dxBarAddItemClassToRegistry(TdxBarLargeButton::StaticClass(), TdxBarLargeButtonControl::StaticClass(), true);
}

void dxBarControlsFinalize() {
  dxBarFreeFlatBrushes();
  dxBarUnregisterPainters();
  dxBarRemoveItemClassFromRegistry(TdxBarLargeButton::StaticClass());
  dxBarRemoveItemClassFromRegistry(TdxBarButton::StaticClass());
  dxBarHintWindowFactory() = nullptr;
  dxBarToolbarWindows() = nullptr;
  dxBarToolbarControlFactory() = nullptr;
  dxBarSideDockFactory() = nullptr;
}

std::span<const TModuleStep> BarControlsModules() {
  static const TModuleStep steps[] = {{L"dxBarControls", &dxBarControlsInitialize, &dxBarControlsFinalize}};
  return steps;
}
