// Writing a build tool's output so that a failure never leaves a truncated or
// half-written file behind: the data goes to a temporary file in the same
// folder, which then takes the target's place.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"

#include <functional>

// `write` fills the temporary file; `tempPrefix` names it (GetTempFileNameW
// uses three characters). Failures raise EFCreateError naming `fileName`.
inline void ReplaceFileWith(const String& fileName, const Char* tempPrefix,
                            const std::function<void(TStream*)>& write) {
  Char full[MAX_PATH * 4];
  Char* filePart = nullptr;
  const DWORD len = GetFullPathNameW(fileName.c_str(), MAX_PATH * 4, full, &filePart);
  const String cannot = L"Cannot create file \"" + fileName + L"\". ";
  if (len == 0 || len >= MAX_PATH * 4 || !filePart) throw EFCreateError(cannot + L"The path is invalid.");
  const String folder(full, static_cast<size_t>(filePart - full));
  Char temp[MAX_PATH * 4];
  try {
    if (!GetTempFileNameW(folder.c_str(), tempPrefix, 0, temp)) RaiseLastOSError();
  } catch (const EOSError& e) {
    throw EFCreateError(cannot + e.Message);
  }
  try {
    {
      TFileStream* out = Make<TFileStream>(temp, fmCreate);
      try {
        write(out);
      } catch (...) {
        TObject::Free(out);
        throw;
      }
      TObject::Free(out);
    }
    if (!MoveFileExW(temp, full, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) RaiseLastOSError();
  } catch (const EOSError& e) {
    DeleteFileW(temp);
    throw EFCreateError(cannot + e.Message);
  } catch (...) {
    DeleteFileW(temp);
    throw;
  }
}
