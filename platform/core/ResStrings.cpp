#include "platform/core/ResStrings.h"

#include "platform/WinApi.h"

String LoadStr(HINSTANCE module, int ident) {
  if (!module) module = GetModuleHandleW(nullptr);
  // A zero buffer length makes LoadStringW hand out a pointer to the text
  // inside the mapped resource (not terminated) and its full length, so no
  // text is ever cut at a buffer size.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(module, static_cast<UINT>(ident), reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || !text) return String();
  return String(text, static_cast<size_t>(length));
}

String LoadStr(int ident) { return LoadStr(nullptr, ident); }

String LoadResString(const TResStringRec* rec) {
  if (!rec) return String();
  String text = LoadStr(rec->Module, rec->Identifier);
  if (text.empty() && rec->Default) text = rec->Default;
  return text;
}
