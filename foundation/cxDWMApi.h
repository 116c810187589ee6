// Access to the desktop window manager without a link-time dependency on it:
// "dwmapi.dll" is bound by name on Windows 6.0 and later (the start-up step
// leaves it to the first question, cxDwmIsLoaded or cxIsDwmCompositionOn), and
// containers and editors ask whether composition is on before they paint
// through buffered painting.
#pragma once

#include "platform/WinApi.h"

#include <dwmapi.h>

// The entry points looked up by name; a missing library or name leaves its
// pointer null. Only DwmIsCompositionEnabled is called by the library.
struct TcxDwmApiProcs {
  decltype(&::DwmDefWindowProc) DwmDefWindowProc = nullptr;
  decltype(&::DwmEnableBlurBehindWindow) DwmEnableBlurBehindWindow = nullptr;
  decltype(&::DwmEnableComposition) DwmEnableComposition = nullptr;
  decltype(&::DwmEnableMMCSS) DwmEnableMMCSS = nullptr;
  decltype(&::DwmExtendFrameIntoClientArea) DwmExtendFrameIntoClientArea = nullptr;
  decltype(&::DwmGetColorizationColor) DwmGetColorizationColor = nullptr;
  decltype(&::DwmGetWindowAttribute) DwmGetWindowAttribute = nullptr;
  decltype(&::DwmIsCompositionEnabled) DwmIsCompositionEnabled = nullptr;
  decltype(&::DwmSetWindowAttribute) DwmSetWindowAttribute = nullptr;
};
// The bound entry points (tests replace single ones to simulate failures).
// Bound once cxDwmIsLoaded or cxIsDwmCompositionOn was asked after start-up.
extern TcxDwmApiProcs cxDwmApiProcs;

// Binds the library for the running system. False on Windows 5.x and older
// (nothing is loaded) or when the library cannot be loaded; a name that is
// missing leaves its pointer null and still counts as bound. A previous
// binding is released first.
bool cxBindDwmApi();
// The same for a given major version of the system.
bool cxBindDwmApiForVersion(DWORD majorVersion);
// Releases the library and clears every entry point.
void cxUnbindDwmApi();

// The result of the binding for the running system, made on the first call
// after start-up (or of the last cxBindDwmApi).
bool cxDwmIsLoaded();
// Asked afresh on every call: false without the library or the entry point,
// when the call fails, or when composition is off.
bool cxIsDwmCompositionOn();

void cxDWMApiInitialize();
void cxDWMApiFinalize();
