#include "platform/core/Exceptions.h"
#include "platform/WinApi.h"

#include <atomic>

const char* Exception::what() const noexcept {
  int n = WideCharToMultiByte(CP_UTF8, 0, Message.data(), static_cast<int>(Message.size()), nullptr, 0, nullptr,
                              nullptr);
  what_.assign(n > 0 ? n : 0, '\0');
  if (n > 0)
    WideCharToMultiByte(CP_UTF8, 0, Message.data(), static_cast<int>(Message.size()), what_.data(), n, nullptr,
                        nullptr);
  return what_.c_str();
}

void RaiseLastOSError() { RaiseLastOSError(GetLastError()); }

void RaiseLastOSError(unsigned long code) {
  String text;
  if (code != 0) {
    wchar_t* buf = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
    if (n && buf) {
      text.assign(buf, n);
      while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    }
    if (buf) LocalFree(buf);
    text = L"System Error.  Code: " + std::to_wstring(code) + L".\r\n" + text;
  } else {
    text = L"A call to an OS function failed";
  }
  EOSError e(text);
  e.ErrorCode = code;
  throw e;
}

void Abort() { throw EAbort(L"Operation aborted"); }

void AssertFailed(const String& message, const char* file, int line) {
  String f;
  for (const char* p = file; *p; ++p) f += static_cast<Char>(static_cast<unsigned char>(*p));
  String text = message.empty() ? String(L"Assertion failed") : message;
  throw EAssertionFailed(text + L" (" + f + L", line " + std::to_wstring(line) + L")");
}

namespace {
std::atomic<TCallbackExceptionHandler>& CallbackHandler() {
  static std::atomic<TCallbackExceptionHandler> handler{nullptr};
  return handler;
}
}  // namespace

TCallbackExceptionHandler SetCallbackExceptionHandler(TCallbackExceptionHandler handler) {
  return CallbackHandler().exchange(handler);
}

void HandleCallbackException(TObject* sender) noexcept {
  try {
    if (TCallbackExceptionHandler handler = CallbackHandler().load()) {
      handler(sender);
      return;
    }
    throw;
  } catch (Exception& e) {
    OutputDebugStringW((L"Exception in a callback: " + e.Message + L"\n").c_str());
  } catch (...) {
    OutputDebugStringW(L"Exception in a callback\n");
  }
}
