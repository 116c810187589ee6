#include "tests/app/AppTestSupport.h"

std::vector<Byte> ResourceBytes(const wchar_t* name) {
  HRSRC info = FindResourceW(nullptr, name, MAKEINTRESOURCEW(10));   // RT_RCDATA
  if (!info) return {};
  HGLOBAL data = LoadResource(nullptr, info);
  const auto* p = static_cast<const Byte*>(LockResource(data));
  if (!p) return {};
  return std::vector<Byte>(p, p + SizeofResource(nullptr, info));
}

void SendPointer(int x, int y, DWORD flags) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(x) * 65536 + 32768) / w);
  input.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(y) * 65536 + 32768) / h);
  input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | flags;
  SendInput(1, &input, sizeof input);
}
