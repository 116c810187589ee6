#include "foundation/cxDWMApi.h"

TcxDwmApiProcs cxDwmApiProcs;

namespace {

HMODULE dwmLibrary = nullptr;
bool dwmIsLoaded = false;
// Started, not bound yet: the library is loaded when first asked about (a
// library load is costly under Wine, and most programs never ask).
bool bindPending = false;
int initCount = 0;

void BindIfPending() {
  if (bindPending) cxBindDwmApi();
}

template <class T>
void Bind(T& proc, const char* name) {
  // Through the one function type GCC lets any function pointer convert to.
  proc = reinterpret_cast<T>(reinterpret_cast<void (*)()>(GetProcAddress(dwmLibrary, name)));
}

DWORD SystemMajorVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&info)) return 0;
#pragma GCC diagnostic pop
  return info.dwMajorVersion;
}

}  // namespace

void cxUnbindDwmApi() {
  bindPending = false;
  cxDwmApiProcs = TcxDwmApiProcs{};
  if (dwmLibrary) FreeLibrary(dwmLibrary);
  dwmLibrary = nullptr;
  dwmIsLoaded = false;
}

bool cxBindDwmApiForVersion(DWORD majorVersion) {
  cxUnbindDwmApi();
  if (majorVersion <= 5) return false;
  dwmLibrary = LoadLibraryW(L"dwmapi.dll");
  if (!dwmLibrary) return false;
  TcxDwmApiProcs& p = cxDwmApiProcs;
  Bind(p.DwmDefWindowProc, "DwmDefWindowProc");
  Bind(p.DwmEnableBlurBehindWindow, "DwmEnableBlurBehindWindow");
  Bind(p.DwmEnableComposition, "DwmEnableComposition");
  Bind(p.DwmEnableMMCSS, "DwmEnableMMCSS");
  Bind(p.DwmExtendFrameIntoClientArea, "DwmExtendFrameIntoClientArea");
  Bind(p.DwmGetColorizationColor, "DwmGetColorizationColor");
  Bind(p.DwmGetWindowAttribute, "DwmGetWindowAttribute");
  Bind(p.DwmIsCompositionEnabled, "DwmIsCompositionEnabled");
  Bind(p.DwmSetWindowAttribute, "DwmSetWindowAttribute");
  dwmIsLoaded = true;
  return true;
}

bool cxBindDwmApi() { return cxBindDwmApiForVersion(SystemMajorVersion()); }

bool cxDwmIsLoaded() {
  BindIfPending();
  return dwmIsLoaded;
}

bool cxIsDwmCompositionOn() {
  BindIfPending();
  if (!dwmIsLoaded || !cxDwmApiProcs.DwmIsCompositionEnabled) return false;
  BOOL enabled = FALSE;
  return SUCCEEDED(cxDwmApiProcs.DwmIsCompositionEnabled(&enabled)) && enabled;
}

void cxDWMApiInitialize() {
  if (initCount++ > 0) return;
  bindPending = true;
}

void cxDWMApiFinalize() {
  if (initCount == 0 || --initCount > 0) return;
  cxUnbindDwmApi();
}
