#include "editors/core/EditorsCoreModules.h"
#include "editors/family/EditorsFamilyModules.h"
#include "editors/family/cxImage.h"
#include "foundation/FoundationModules.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/GuiModules.h"
#include "tests/support/GuiWarmUp.h"
#include "tests/support/LibraryTimerWarmUp.h"
#include "tests/support/PainterWarmUp.h"
#include "tests/support/TestModules.h"

std::vector<TModuleStep> TestModules() {
  std::vector<TModuleStep> steps;
  for (auto list : {PlatformCoreModules(), PlatformGuiModules(), FoundationModules(), EditorsCoreModules(),
                    EditorsFamilyModules()})
    steps.insert(steps.end(), list.begin(), list.end());
  return steps;
}

void WarmUpTestCaches() {
  WarmUpGuiCaches();
  WarmUpPainterResources();
  // The picture editor's menu glyphs, loaded with its first context menu.
  cxImageMenuImages();
  WarmUpLibraryTimerWindow();
  TcxScreenCanvas* screen = cxGetSharedScreenCanvas();
  screen->TextWidth(L"x");
  screen->Brush()->Handle();
  cxGetSharedPaintCanvas();
  // The clipboard object keeps its owner window.
  Clipboard();
}
