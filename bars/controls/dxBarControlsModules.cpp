#include "bars/controls/dxBarControlsModules.h"

#include "bars/controls/dxBarDockControl.h"
#include "bars/controls/dxBarFlatPainter.h"
#include "bars/controls/dxBarHintWindow.h"
#include "bars/controls/dxBarItemControls.h"
#include "bars/controls/dxBarPainters.h"
#include "bars/controls/dxBarToolbarControl.h"
#include "bars/model/dxBarHooks.h"

#include <span>

namespace {

struct TItemClassRow {
  TdxBarItemClass ItemClass;
  TdxBarItemControlClass ItemControlClass;
  bool Listed;  // offered by the customization lists
};

// Every item class against the item-control class that shows its links, in
// the order the customization lists offer them. The rows of item kinds whose
// classes come later take their places here:
//   after TdxBarLargeButton: TdxBarEdit -> TdxBarEditControl (listed),
//     TCustomdxBarCombo -> TCustomdxBarComboControl (listed),
//     TdxBarCombo -> TdxBarComboControl (listed),
//     TdxBarSubItem -> TdxBarSubItemControl (listed),
//     TdxBarListItem -> TdxBarContainerItemControl (listed),
//     TdxBarContainerItem -> TdxBarContainerItemControl (listed),
//     TdxBarExtraPaneListItem -> TdxBarContainerItemControl,
//     TdxBarLabel -> TdxBarCustomStaticControl,
//     TdxBarSeparator -> TdxBarSeparatorControl (listed),
//     TdxBarApplicationMenuButtonItem -> TdxBarApplicationMenuButtonControl,
//     TdxBarQuickCustExtButton -> TdxBarQuickCustExtButtonControl,
//     TdxBarQuickCustItem -> TdxBarQuickCustItemControl,
//     TdxBarQuickAccessItem -> TdxBarSubItemControl,
//     TSystemMenuSubItem -> TSystemMenuSubItemControl.
// The editor-hosting item registers its own row in its module's step.
std::span<const TItemClassRow> ItemClassRows() {
  static const TItemClassRow rows[] = {
      {TdxBarButton::StaticClass(), TdxBarButtonControl::StaticClass(), true},
      {TdxBarLargeButton::StaticClass(), TdxBarLargeButtonControl::StaticClass(), true},
  };
  return rows;
}

}  // namespace

void dxBarControlsInitialize() {
  dxBarSideDockFactory() = &dxBarCreateSideDock;
  dxBarToolbarControlFactory() = &dxBarCreateToolbarControl;
  dxBarToolbarWindows() = dxBarDockToolbarWindows();
  dxBarActiveMenus() = dxBarControlsActiveMenus();
  dxBarRegisterPainters();
  dxBarHintWindowFactory() = &dxBarCreateBarHintWindow;
  for (const TItemClassRow& row : ItemClassRows())
    dxBarAddItemClassToRegistry(row.ItemClass, row.ItemControlClass, row.Listed);
}

void dxBarControlsFinalize() {
  dxBarFreeFlatBrushes();
  dxBarUnregisterPainters();
  const std::span<const TItemClassRow> rows = ItemClassRows();
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) dxBarRemoveItemClassFromRegistry(row->ItemClass);
  dxBarHintWindowFactory() = nullptr;
  dxBarActiveMenus() = nullptr;
  dxBarToolbarWindows() = nullptr;
  dxBarToolbarControlFactory() = nullptr;
  dxBarSideDockFactory() = nullptr;
}

std::span<const TModuleStep> BarControlsModules() {
  static const TModuleStep steps[] = {{L"dxBarControls", &dxBarControlsInitialize, &dxBarControlsFinalize}};
  return steps;
}
