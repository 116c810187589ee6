// Start-up shared by the tests of the base-control routines and the hints.
#pragma once

#include "foundation/cxControlsRoutines.h"

// The routines' module, once per process (the tests may run alone).
inline void EnsureControlsRoutinesModule() {
  static bool started = false;
  if (started) return;
  started = true;
  cxControlsRoutinesInitialize();
}
