// The painter a manager's bars draw with: the model's painter choice, with
// the painters of the looks built so far in its slots.
#pragma once

class TdxBarManager;
class TdxBarPainter;

// Fills the model's painter slots (bar windows' start-up) and empties them.
void dxBarRegisterPainters();
void dxBarUnregisterPainters();
// The painter of the manager's resolved style; the base painter for no
// manager and for an empty slot.
const TdxBarPainter* dxBarManagerPainter(TdxBarManager* AManager);
// The process-wide flat painter, for code that has no manager.
const TdxBarPainter* dxBarSharedFlatPainter();
