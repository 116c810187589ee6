#include "bars/controls/dxBarPainters.h"

#include "bars/controls/dxBarFlatPainter.h"
#include "bars/model/dxBar.h"

const TdxBarPainter* dxBarManagerPainter(TdxBarManager* AManager) {
  if (AManager && AManager->GetPaintStyle() == bmsFlat) return TdxBarFlatPainter::Instance();
  return TdxBarPainter::Instance();
}

const TdxBarPainter* dxBarSharedFlatPainter() { return TdxBarFlatPainter::Instance(); }
