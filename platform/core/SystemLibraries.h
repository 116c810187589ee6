// Entry points of system DLLs the program uses seldom (file dialogs, sounds,
// stream helpers), bound on first call. A DLL in the import table is loaded,
// with every DLL it imports in turn, when the process starts, whether or not
// the program ever calls it; under Wine each costs start-up time and memory.
#pragma once

#include "platform/WinApi.h"

// The entry `name` of the system DLL `library` (searched in the system folder
// only), loading the DLL on first use; it then stays loaded for the process.
// Null when the DLL or the entry is missing.
FARPROC SystemLibraryProc(const wchar_t* library, const char* name);

// The same, typed: `auto f = SystemLibraryFunction<decltype(&PlaySoundW)>(L"winmm.dll", "PlaySoundW");`
template <class F>
F SystemLibraryFunction(const wchar_t* library, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(SystemLibraryProc(library, name)));
}
