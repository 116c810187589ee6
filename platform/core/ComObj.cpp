#include "platform/core/ComObj.h"

HRESULT OleCheck(HRESULT result) {
  if (SUCCEEDED(result)) return result;
  String text;
  wchar_t* buf = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  if (n && buf) {
    text.assign(buf, n);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  }
  if (buf) LocalFree(buf);
  if (text.empty()) {
    // No text for the code: its number, as the system writes HRESULTs.
    wchar_t hex[16];
    swprintf(hex, 16, L"%08X", static_cast<unsigned>(result));
    text = L"OLE error " + String(hex);
  }
  throw EOleSysError(text, result);
}
