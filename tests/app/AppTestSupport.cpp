#include "tests/app/AppTestSupport.h"

std::vector<Byte> ResourceBytes(const wchar_t* name) {
  HRSRC info = FindResourceW(nullptr, name, MAKEINTRESOURCEW(10));   // RT_RCDATA
  if (!info) return {};
  HGLOBAL data = LoadResource(nullptr, info);
  const auto* p = static_cast<const Byte*>(LockResource(data));
  if (!p) return {};
  return std::vector<Byte>(p, p + SizeofResource(nullptr, info));
}
