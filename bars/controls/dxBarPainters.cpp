#include "bars/controls/dxBarPainters.h"

#include "bars/controls/dxBarFlatPainter.h"
#include "bars/model/dxBar.h"

// Looks without a painter of their own yet draw with the base painter; the
// skin slot starts as the standard look's.
void dxBarRegisterPainters() {
  for (int style = bmsStandard; style <= bmsUseLookAndFeel; ++style)
    dxBarPainterClassSlot(static_cast<TdxBarManagerStyle>(style)) = TdxBarPainter::Instance();
  dxBarPainterClassSlot(bmsFlat) = TdxBarFlatPainter::Instance();
}

void dxBarUnregisterPainters() {
  for (int style = bmsStandard; style <= bmsUseLookAndFeel; ++style)
    dxBarPainterClassSlot(static_cast<TdxBarManagerStyle>(style)) = nullptr;
}

const TdxBarPainter* dxBarManagerPainter(TdxBarManager* AManager) {
  const TdxBarPainter* painter = AManager ? AManager->PainterClassForStyle() : nullptr;
  return painter ? painter : TdxBarPainter::Instance();
}

const TdxBarPainter* dxBarSharedFlatPainter() { return TdxBarFlatPainter::Instance(); }
