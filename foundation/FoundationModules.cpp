#include "foundation/FoundationModules.h"
#include "foundation/cxClasses.h"
#include "foundation/cxContainerPopup.h"
#include "foundation/cxControls.h"
#include "foundation/cxControlsRoutines.h"
#include "foundation/cxControlsTimer.h"
#include "foundation/cxDWMApi.h"
#include "foundation/cxDrawTextUtils.h"
#include "foundation/cxGeometry.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxLookAndFeelPaintersOffice11.h"
#include "foundation/cxLookAndFeelPaintersStartup.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/cxStyles.h"
#include "foundation/dxCore.h"
#include "foundation/dxFading.h"
#include "foundation/dxGDIPlusAPI.h"
#include "foundation/dxGDIPlusClasses.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxThemeManager.h"
#include "foundation/dxUxTheme.h"

std::span<const TModuleStep> FoundationModules() {
  // Each module after the modules it uses. The skin modules of the library
  // run between the PNG registration and the styles.
  static const TModuleStep steps[] = {
      {L"dxCore", &dxCoreInitialize, &dxCoreFinalize},
      {L"cxClasses", &cxClassesInitialize, &cxClassesFinalize},
      {L"dxUxTheme", &dxUxThemeInitialize, &dxUxThemeFinalize},
      {L"dxThemeManager", &dxThemeManagerInitialize, &dxThemeManagerFinalize},
      {L"dxOffice11", &dxOffice11Initialize, &dxOffice11Finalize},
      {L"cxLookAndFeelPaintersOffice11", &cxLookAndFeelPaintersOffice11Initialize,
       &cxLookAndFeelPaintersOffice11Finalize},
      {L"cxGeometry", &cxGeometryInitialize, &cxGeometryFinalize},
      {L"cxDrawTextUtils", &cxDrawTextUtilsInitialize, &cxDrawTextUtilsFinalize},
      // The painter module (its registry among it) before the root look-and-feel;
      // at exit the root look-and-feel goes first.
      {L"cxLookAndFeelPainters", &cxLookAndFeelPaintersInitialize, &cxLookAndFeelPaintersFinalize},
      {L"cxLookAndFeels", &cxLookAndFeelsInitialize, &cxLookAndFeelsFinalize},
      {L"cxDWMApi", &cxDWMApiInitialize, &cxDWMApiFinalize},
      {L"cxControlsRoutines", &cxControlsRoutinesInitialize, &cxControlsRoutinesFinalize},
      {L"cxControlsTimer", &cxControlsTimerInitialize, &cxControlsTimerFinalize},
      // The popup-closing hooks after the window-manager binding, before the
      // base controls' cursors and system controller.
      {L"cxContainer", &cxContainerInitialize, &cxContainerFinalize},
      {L"cxControls", &cxControlsInitialize, &cxControlsFinalize},
      {L"dxGDIPlusAPI", &dxGDIPlusAPIInitialize, &dxGDIPlusAPIFinalize},
      {L"dxGDIPlusClasses", &dxGDIPlusClassesInitialize, &dxGDIPlusClassesFinalize},
      {L"cxGraphics", &cxGraphicsInitialize, &cxGraphicsFinalize},
      {L"cxStyles", &cxStylesInitialize, &cxStylesFinalize},
      {L"dxFading", &dxFadingInitialize, &dxFadingFinalize},
  };
  return steps;
}
