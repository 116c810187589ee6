// The painter a manager's bars draw with, by the manager's effective style.
#pragma once

class TdxBarManager;
class TdxBarPainter;

// The flat painter for the flat style (and a look-and-feel of kind
// ultra-flat); the base painter for the looks not built yet and for no manager.
const TdxBarPainter* dxBarManagerPainter(TdxBarManager* AManager);
// The process-wide flat painter, for code that has no manager.
const TdxBarPainter* dxBarSharedFlatPainter();
