// Shuts the look-and-feel steps of the module list down for the life of the
// object and starts them again afterwards: the root look-and-feel first, then
// the painter module with its registry, as the program's shutdown does. The
// test program never has them down otherwise, so tests of what their start-up
// and shutdown do need this. What a test that left early started and did not
// stop goes before the steps start again.
#pragma once

#include "foundation/cxLookAndFeelPaintersRegistry.h"
#include "foundation/cxLookAndFeelPaintersStartup.h"
#include "foundation/cxLookAndFeels.h"

namespace fndtest {

class TLookAndFeelModulesDown {
 public:
  TLookAndFeelModulesDown() {
    cxLookAndFeelsFinalize();
    cxLookAndFeelPaintersFinalize();
    down_ = !cxGetGlobalLookAndFeel() && !cxGetStylePainterRegistry();
    if (!down_) Restart();   // someone else holds them: leave them as they were
  }
  ~TLookAndFeelModulesDown() {
    if (!down_) return;
    while (cxGetGlobalLookAndFeel()) cxLookAndFeelsFinalize();
    while (cxGetStylePainterRegistry()) cxLookAndFeelPaintersRegistryFinalize();
    Restart();
  }
  TLookAndFeelModulesDown(const TLookAndFeelModulesDown&) = delete;
  TLookAndFeelModulesDown& operator=(const TLookAndFeelModulesDown&) = delete;
  // Whether the steps really went down (nothing else keeps them running).
  bool Down() const { return down_; }

 private:
  static void Restart() {
    cxLookAndFeelPaintersInitialize();
    cxLookAndFeelsInitialize();
  }
  bool down_ = false;
};

}  // namespace fndtest
