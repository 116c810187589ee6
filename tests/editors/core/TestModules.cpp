#include "editors/core/EditorsCoreModules.h"
#include "foundation/FoundationModules.h"
#include "foundation/cxControlsRoutines.h"
#include "foundation/cxControlsTimer.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/GuiModules.h"
#include "tests/support/GuiWarmUp.h"
#include "tests/support/LibraryTimerWarmUp.h"
#include "tests/support/PainterWarmUp.h"
#include "tests/support/TestModules.h"

std::vector<TModuleStep> TestModules() {
  std::vector<TModuleStep> steps;
  for (auto list : {PlatformCoreModules(), PlatformGuiModules(), FoundationModules(), EditorsCoreModules()})
    steps.insert(steps.end(), list.begin(), list.end());
  return steps;
}

void WarmUpTestCaches() {
  WarmUpGuiCaches();
  WarmUpPainterResources();
  // The one window of every library timer (mouse tracking, the editors' double clicks).
  WarmUpLibraryTimerWindow();
  // The screen canvas measures button captions and text lines: its DC, font
  // and brush stay with it.
  TcxScreenCanvas* screen = cxGetSharedScreenCanvas();
  screen->TextWidth(L"x");
  screen->Brush()->Handle();
  cxGetSharedPaintCanvas();
}
