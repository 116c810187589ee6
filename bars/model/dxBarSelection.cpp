#include "bars/model/dxBarSelection.h"

#include "bars/model/dxBarManager.h"

#include "platform/gui/Forms.h"

TdxBarDesignerLookup& dxBarDesignerLookup() {
  static TdxBarDesignerLookup lookup = nullptr;
  return lookup;
}

IdxBarDesigner* dxBarDesignerOf(TdxBarManager* AManager) {
  if (!AManager || !AManager->Designing() || !dxBarDesignerLookup()) return nullptr;
  return dxBarDesignerLookup()(AManager);
}

HWND IdxBarDesignController::CustomizationFormWindow() {
  TCustomForm* form = CustomizationForm();
  return form && form->HandleAllocated() ? form->Handle() : nullptr;
}

IdxBarDesignController*& dxBarDesignControllerSlot() {
  static IdxBarDesignController* controller = nullptr;
  return controller;
}

TdxBarCommandListDrawProc& dxBarCommandListDrawer() {
  static TdxBarCommandListDrawProc drawer = nullptr;
  return drawer;
}
