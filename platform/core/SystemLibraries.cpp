#include "platform/core/SystemLibraries.h"

FARPROC SystemLibraryProc(const wchar_t* library, const char* name) {
  // Kept loaded: callers cache what they get, so the DLL must outlive them.
  HMODULE module = GetModuleHandleW(library);
  if (!module) module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module ? GetProcAddress(module, name) : nullptr;
}
