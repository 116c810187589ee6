#include "foundation/FoundationModules.h"
#include "foundation/cxControlsRoutines.h"
#include "foundation/cxControlsTimer.h"
#include "foundation/cxControlsTracking.h"
#include "platform/gui/ImgList.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxLookAndFeelPaintersStartup.h"
#include "foundation/dxFading.h"
#include "foundation/dxOffice11.h"
#include "platform/gui/GuiModules.h"
#include "tests/support/GuiWarmUp.h"
#include "tests/support/PainterWarmUp.h"
#include "tests/support/LibraryTimerWarmUp.h"
#include "tests/support/TestModules.h"

std::vector<TModuleStep> TestModules() {
  std::vector<TModuleStep> steps;
  for (auto list : {PlatformCoreModules(), PlatformGuiModules(), FoundationModules()})
    steps.insert(steps.end(), list.begin(), list.end());
  return steps;
}

namespace {

// An object that fades between two one-pixel images.
class TWarmUpFade : public TdxFadingObjectHelper {
 protected:
  bool CanFadeNow() override { return true; }
  void CaptureFadeFrames(TBitmap*& AFadeOutImage, TBitmap*& AFadeInImage, int&, int&, int&, int&) override {
    AFadeOutImage = Pixel();
    AFadeInImage = Pixel();
  }

 private:
  static TBitmap* Pixel() {
    auto* bitmap = Make<TBitmap>();
    bitmap->SetPixelFormat(pf32bit);
    bitmap->SetSize(1, 1);
    return bitmap;
  }
};

// The fader makes its timer window with its first fade and keeps it. Without
// GDI+ nothing fades and no window is made.
void WarmUpFader() {
  static TdxFader* warmed = nullptr;
  TdxFader* fader = dxGetFaderInstance();
  if (!fader || fader == warmed) return;
  const TdxFaderAnimationState state = fader->State();
  fader->SetState(fasEnabled);
  if (fader->IsReady()) {
    TWarmUpFade object;
    fader->FadeIn(&object);
    fader->Remove(&object, true);
    warmed = fader;
  }
  fader->SetState(state);
}

}  // namespace

void WarmUpTestCaches() {
  WarmUpGuiCaches();
  WarmUpPainterResources();
  // The window that shared helpers post to, and the one that runs every timer.
  WarmUpLibraryTimerWindow();
  // The system controller's window, which a program makes only when asked for it.
  if (TcxSystemController* controller = cxGetSystemController()) controller->Handle();
  // The shared canvases and the scratch bitmaps of image drawing, each with its DC.
  cxGetSharedScreenCanvas();
  cxGetSharedPaintCanvas();
  for (TcxAlphaBitmap* b : {cxGetDrawBitmap(1, 1), cxGetImageBitmap(1, 1), cxGetMaskBitmap(1, 1)})
    if (b) b->Canvas()->Handle();
  // The radio button glyphs of the painters.
  cxGetRadioButtonImageList();
  // The bitmaps of the Office 11 palette keep the DC they are first drawn through.
  const TdxOffice11Palette& palette = dxOffice11Palette;
  for (TBitmap* b : {palette.SubMenuExpandBitmap, palette.ExpandButtonMinusBitmap, palette.ExpandButtonPlusBitmap})
    if (b && !b->Empty()) b->Canvas()->Handle();
  WarmUpFader();
  // The pattern brush of the size frames, which the brush cache keeps.
  {
    TObjectPtr<TBrush> brush(Make<TBrush>());
    brush->SetBitmap(AllocPatternBitmap(clBlack, clWhite));
    brush->Handle();
  }
}
