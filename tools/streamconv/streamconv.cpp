// streamconv: converts a stored component definition between its text form
// and the binary component stream, with the same code the program reads
// definitions with. Used at build time to turn text definitions into the
// binaries that resources embed.
//
//   streamconv --to-binary IN OUT
//   streamconv --to-text IN OUT
//
// Exit code 0 on success, 1 when the conversion or a file operation failed,
// 2 for bad arguments; the reason goes to stderr. OUT is replaced only by a
// complete result: the output is written to a temporary file beside it and
// renamed over it.
#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Streams.h"
#include "tools/common/ReplaceFile.h"

#include <exception>
#include <memory>
#include <string>

namespace {

void WriteError(const String& text) {
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (err == nullptr || err == INVALID_HANDLE_VALUE) return;
  const String line = text + L"\r\n";
  DWORD mode, written;
  if (GetConsoleMode(err, &mode)) {
    WriteConsoleW(err, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    return;
  }
  // Redirected: UTF-8, so that build logs keep Chinese text.
  const int n = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(), n, nullptr, nullptr);
  WriteFile(err, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

struct FreeOnExit {
  TObject* obj;
  ~FreeOnExit() { TObject::Free(obj); }
};

// Writes `data` to `fileName` so that a failure never leaves a truncated or
// half-written OUT behind.
void ReplaceFile(const String& fileName, TMemoryStream* data) {
  ReplaceFileWith(fileName, L"stc", [data](TStream* out) { data->SaveToStream(out); });
}

void Convert(bool toBinary, const String& inName, const String& outName) {
  TMemoryStream* result = Make<TMemoryStream>();
  FreeOnExit resultGuard{result};
  {
    TFileStream* in = Make<TFileStream>(inName, fmOpenRead | fmShareDenyWrite);
    FreeOnExit inGuard{in};
    try {
      if (toBinary)
        ObjectTextToBinary(in, result);
      else
        ObjectBinaryToText(in, result);
    } catch (Exception& e) {
      // Name the file the line or offset is in.
      e.Message = inName + L": " + e.Message;
      throw;
    }
  }
  ReplaceFile(outName, result);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const String usage = L"usage: streamconv --to-binary|--to-text IN OUT";
  if (argc != 4) {
    WriteError(usage);
    return 2;
  }
  const String mode = argv[1];
  if (mode != L"--to-binary" && mode != L"--to-text") {
    WriteError(L"streamconv: unknown option " + mode);
    WriteError(usage);
    return 2;
  }
  try {
    Convert(mode == L"--to-binary", argv[2], argv[3]);
    return 0;
  } catch (const Exception& e) {
    WriteError(L"streamconv: " + e.Message);
  } catch (const std::exception& e) {
    const std::string what = e.what();
    WriteError(L"streamconv: " + String(what.begin(), what.end()));
  }
  return 1;
}
