#include "platform/WinApi.h"
#include "platform/core/Registry.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"

#include <climits>
#include <cstring>

IMPLEMENT_CLASS(TRegistry, TObject, (ConstructPlain<TRegistry>))
IMPLEMENT_CLASS(TRegistryIniFile, TCustomIniFile, nullptr)

namespace {

[[noreturn]] void GetDataFailed(const String& name) {
  throw ERegistryException(L"Failed to get data for '" + name + L"'");
}
[[noreturn]] void SetDataFailed(const String& name) {
  throw ERegistryException(L"Failed to set data for '" + name + L"'");
}
[[noreturn]] void InvalidType(const String& name) {
  throw ERegistryException(L"Invalid data type for '" + name + L"'");
}

// The byte size of a string value with its terminator. The registry counts in
// 32 bits: a longer text, which only a 64-bit process can hold, would be
// stored cut short.
DWORD StringDataSize(const String& name, const String& value) {
  if (value.size() >= MAXDWORD / sizeof(Char)) SetDataFailed(name);
  return static_cast<DWORD>((value.size() + 1) * sizeof(Char));
}

TRegDataType DataTypeOf(DWORD type) {
  switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
  }
}

// Splits a key path into whether it is relative and the path proper, with
// the leading and trailing separators removed.
String NormalizePath(const String& key, bool& relative) {
  relative = key.empty() || key[0] != L'\\';
  std::size_t b = 0, e = key.size();
  while (b < e && key[b] == L'\\') ++b;
  while (e > b && key[e - 1] == L'\\') --e;
  return key.substr(b, e - b);
}

// Text of a string value: the bytes up to the first NUL (or all of them).
String StringFromData(const TBytes& data) {
  String s(data.size() / 2, L'\0');
  if (!s.empty()) std::memcpy(s.data(), data.data(), s.size() * sizeof(Char));
  const auto nul = s.find(L'\0');
  if (nul != String::npos) s.resize(nul);
  return s;
}

String HexOf(const TBytes& data) {
  static const Char digits[] = L"0123456789ABCDEF";
  String out;
  out.reserve(data.size() * 2);
  for (Byte b : data) {
    out.push_back(digits[b >> 4]);
    out.push_back(digits[b & 15]);
  }
  return out;
}

// Deletes `sub` below `parent` with everything beneath it.
bool DeleteTree(HKEY parent, const String& sub) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(parent, sub.c_str(), 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | DELETE, &key) != ERROR_SUCCESS)
    return false;
  std::vector<String> children;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD len = 256;
    const LONG r = RegEnumKeyExW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS) break;
    children.emplace_back(name, len);
  }
  for (const String& child : children) DeleteTree(key, child);
  RegCloseKey(key);
  return RegDeleteKeyW(parent, sub.c_str()) == ERROR_SUCCESS;
}

}  // namespace

// ---------------------------------------------------------------------------
// TRegistry
// ---------------------------------------------------------------------------

TRegistry::TRegistry() = default;

TRegistry::TRegistry(REGSAM access) : access_(access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY value) {
  if (rootKey_ == value) return;
  CloseKey();
  rootKey_ = value;
}

void TRegistry::CloseKey() {
  if (!currentKey_) return;
  if (!lazyWrite_) RegFlushKey(currentKey_);
  RegCloseKey(currentKey_);
  currentKey_ = nullptr;
  currentPath_.clear();
}

HKEY TRegistry::BaseKey(bool relative) const { return relative && currentKey_ ? currentKey_ : rootKey_; }

HKEY TRegistry::OpenRaw(const String& key, REGSAM access, bool create) {
  bool relative;
  const String path = NormalizePath(key, relative);
  HKEY result = nullptr;
  LONG r;
  if (create && !path.empty())
    r = RegCreateKeyExW(BaseKey(relative), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &result,
                        nullptr);
  else
    r = RegOpenKeyExW(BaseKey(relative), path.c_str(), 0, access, &result);
  return r == ERROR_SUCCESS ? result : nullptr;
}

void TRegistry::ChangeKey(HKEY key, const String& path) {
  CloseKey();
  currentKey_ = key;
  currentPath_ = path;
}

bool TRegistry::OpenKey(const String& key, bool canCreate) {
  bool relative;
  const String path = NormalizePath(key, relative);
  HKEY opened = OpenRaw(key, access_, canCreate);
  if (!opened) return false;
  String full = path;
  if (relative && currentKey_ && !currentPath_.empty())
    full = path.empty() ? currentPath_ : currentPath_ + L"\\" + path;
  ChangeKey(opened, full);
  return true;
}

bool TRegistry::OpenKeyReadOnly(const String& key) {
  const REGSAM saved = access_;
  bool ok = false;
  for (REGSAM access : {REGSAM(KEY_READ), REGSAM(STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS),
                        REGSAM(KEY_QUERY_VALUE)}) {
    access_ = access;
    if ((ok = OpenKey(key, false))) break;
  }
  access_ = saved;
  return ok;
}

bool TRegistry::CreateKey(const String& key) {
  HKEY created = OpenRaw(key, access_, true);
  if (!created) throw ERegistryException(L"Failed to create key " + key);
  RegCloseKey(created);
  return true;
}

bool TRegistry::DeleteKey(const String& key) {
  bool relative;
  const String path = NormalizePath(key, relative);
  if (path.empty()) return false;
  return DeleteTree(BaseKey(relative), path);
}

bool TRegistry::KeyExists(const String& key) {
  HKEY k = OpenRaw(key, STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, false);
  if (!k) return false;
  RegCloseKey(k);
  return true;
}

bool TRegistry::ValueExists(const String& name) {
  TRegDataInfo info;
  return GetDataInfo(name, info);
}

bool TRegistry::DeleteValue(const String& name) {
  return currentKey_ && RegDeleteValueW(currentKey_, name.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::GetKeyInfo(TRegKeyInfo& info) {
  info = TRegKeyInfo();
  if (!currentKey_) return false;
  DWORD subKeys = 0, maxSubKeyLen = 0, values = 0, maxValueLen = 0, maxDataLen = 0;
  const LONG r = RegQueryInfoKeyW(currentKey_, nullptr, nullptr, nullptr, &subKeys, &maxSubKeyLen, nullptr, &values,
                                  &maxValueLen, &maxDataLen, nullptr, &info.FileTime);
  if (r != ERROR_SUCCESS) return false;
  info.NumSubKeys = static_cast<int>(subKeys);
  info.MaxSubKeyLen = static_cast<int>(maxSubKeyLen);
  info.NumValues = static_cast<int>(values);
  info.MaxValueLen = static_cast<int>(maxValueLen);
  info.MaxDataLen = static_cast<int>(maxDataLen);
  return true;
}

bool TRegistry::HasSubKeys() {
  TRegKeyInfo info;
  return GetKeyInfo(info) && info.NumSubKeys > 0;
}

void TRegistry::GetKeyNames(TStrings* strings) {
  strings->BeginUpdate();
  try {
    strings->Clear();
    if (currentKey_) {
      wchar_t name[256];  // key names are limited to 255 characters
      for (DWORD i = 0;; ++i) {
        DWORD len = 256;
        if (RegEnumKeyExW(currentKey_, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        strings->Add(String(name, len));
      }
    }
  } catch (...) {
    strings->EndUpdate();
    throw;
  }
  strings->EndUpdate();
}

void TRegistry::GetValueNames(TStrings* strings) {
  strings->BeginUpdate();
  try {
    strings->Clear();
    if (currentKey_) {
      std::vector<wchar_t> name(16384);  // value names are limited to 16383 characters
      for (DWORD i = 0;; ++i) {
        DWORD len = static_cast<DWORD>(name.size());
        if (RegEnumValueW(currentKey_, i, name.data(), &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
          break;
        strings->Add(String(name.data(), len));
      }
    }
  } catch (...) {
    strings->EndUpdate();
    throw;
  }
  strings->EndUpdate();
}

bool TRegistry::GetDataInfo(const String& valueName, TRegDataInfo& info) {
  info = TRegDataInfo();
  if (!currentKey_) return false;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(currentKey_, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  info.RegData = DataTypeOf(type);
  info.DataSize = static_cast<int>(size);
  return true;
}

int TRegistry::GetDataSize(const String& valueName) {
  TRegDataInfo info;
  return GetDataInfo(valueName, info) ? info.DataSize : -1;
}

TRegDataType TRegistry::GetDataType(const String& valueName) {
  TRegDataInfo info;
  GetDataInfo(valueName, info);
  return info.RegData;
}

bool TRegistry::QueryValue(const String& name, DWORD& type, TBytes& data) {
  if (!currentKey_) return false;
  DWORD size = 0;
  if (RegQueryValueExW(currentKey_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  // Another writer may grow the value between the two calls: ask again.
  for (int attempt = 0; attempt < 8; ++attempt) {
    data.resize(size);
    DWORD got = size;
    const LONG r = RegQueryValueExW(currentKey_, name.c_str(), nullptr, &type, data.empty() ? nullptr : data.data(),
                                    &got);
    if (r == ERROR_SUCCESS) {
      data.resize(got);
      return true;
    }
    if (r != ERROR_MORE_DATA) return false;
    size = got > size ? got : size * 2 + 16;
  }
  return false;
}

void TRegistry::PutData(const String& name, const void* data, DWORD size, DWORD type) {
  if (!currentKey_ ||
      RegSetValueExW(currentKey_, name.c_str(), 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
    SetDataFailed(name);
}

String TRegistry::ReadString(const String& name) {
  DWORD type = 0;
  TBytes data;
  if (!QueryValue(name, type, data)) return String();
  if (data.empty()) return String();
  if (type != REG_SZ && type != REG_EXPAND_SZ) InvalidType(name);
  return StringFromData(data);
}

void TRegistry::WriteString(const String& name, const String& value) {
  PutData(name, value.c_str(), StringDataSize(name, value), REG_SZ);
}

String TRegistry::ReadExpandString(const String& name) { return ReadString(name); }

void TRegistry::WriteExpandString(const String& name, const String& value) {
  PutData(name, value.c_str(), StringDataSize(name, value), REG_EXPAND_SZ);
}

int TRegistry::ReadInteger(const String& name) {
  DWORD type = 0;
  TBytes data;
  if (!QueryValue(name, type, data)) GetDataFailed(name);
  if (type != REG_DWORD || data.size() != sizeof(DWORD)) InvalidType(name);
  std::int32_t v;
  std::memcpy(&v, data.data(), sizeof v);
  return v;
}

void TRegistry::WriteInteger(const String& name, int value) {
  const DWORD v = static_cast<DWORD>(value);
  PutData(name, &v, sizeof v, REG_DWORD);
}

bool TRegistry::ReadBool(const String& name) { return ReadInteger(name) != 0; }

void TRegistry::WriteBool(const String& name, bool value) { WriteInteger(name, value ? 1 : 0); }

double TRegistry::ReadFloat(const String& name) {
  DWORD type = 0;
  TBytes data;
  if (!QueryValue(name, type, data)) GetDataFailed(name);
  if (type != REG_BINARY || data.size() != sizeof(double)) InvalidType(name);
  double v;
  std::memcpy(&v, data.data(), sizeof v);
  return v;
}

void TRegistry::WriteFloat(const String& name, double value) { PutData(name, &value, sizeof value, REG_BINARY); }

TDateTime TRegistry::ReadDateTime(const String& name) { return ReadFloat(name); }
void TRegistry::WriteDateTime(const String& name, TDateTime value) { WriteFloat(name, value); }
TDateTime TRegistry::ReadDate(const String& name) { return ReadFloat(name); }
void TRegistry::WriteDate(const String& name, TDateTime value) { WriteFloat(name, value); }
TDateTime TRegistry::ReadTime(const String& name) { return ReadFloat(name); }
void TRegistry::WriteTime(const String& name, TDateTime value) { WriteFloat(name, value); }

int TRegistry::ReadBinaryData(const String& name, void* buffer, int bufSize) {
  DWORD type = 0;
  TBytes data;
  if (!QueryValue(name, type, data)) return 0;
  const TRegDataType kind = DataTypeOf(type);
  if ((kind != rdBinary && kind != rdUnknown) || data.size() > static_cast<std::size_t>(bufSize < 0 ? 0 : bufSize))
    InvalidType(name);
  if (!data.empty()) std::memcpy(buffer, data.data(), data.size());
  return static_cast<int>(data.size());
}

void TRegistry::WriteBinaryData(const String& name, const void* buffer, int bufSize) {
  if (bufSize < 0) SetDataFailed(name);
  PutData(name, buffer, static_cast<DWORD>(bufSize), REG_BINARY);
}

// ---------------------------------------------------------------------------
// TRegistryIniFile
// ---------------------------------------------------------------------------

TRegistryIniFile::TRegistryIniFile(const String& fileName, REGSAM access) : TCustomIniFile(fileName) {
  reg_ = Make<TRegistry>(access);
}

TRegistryIniFile::~TRegistryIniFile() { FreeAndNil(reg_); }

String TRegistryIniFile::SectionPath(const String& section) const {
  bool relative;
  const String sec = NormalizePath(section, relative);
  if (!relative) return L"\\" + sec;
  bool fileRelative;
  const String file = NormalizePath(FileName(), fileRelative);
  if (file.empty()) return L"\\" + sec;
  return sec.empty() ? L"\\" + file : L"\\" + file + L"\\" + sec;
}

bool TRegistryIniFile::OpenForRead(const String& section) {
  reg_->CloseKey();
  return reg_->OpenKeyReadOnly(SectionPath(section));
}

void TRegistryIniFile::OpenForWrite(const String& section) {
  reg_->CloseKey();
  const String path = SectionPath(section);
  if (!reg_->OpenKey(path, true)) throw ERegistryException(L"Failed to create key " + path);
}

bool TRegistryIniFile::SectionExists(const String& section) {
  reg_->CloseKey();
  return reg_->KeyExists(SectionPath(section));
}

bool TRegistryIniFile::ValueExists(const String& section, const String& ident) {
  const bool found = OpenForRead(section) && reg_->ValueExists(ident);
  reg_->CloseKey();
  return found;
}

String TRegistryIniFile::ReadString(const String& section, const String& ident, const String& def) {
  String result = def;
  DWORD type = 0;
  TBytes data;
  if (OpenForRead(section) && reg_->QueryValue(ident, type, data)) {
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
      result = StringFromData(data);
    } else if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
      std::int32_t v;
      std::memcpy(&v, data.data(), sizeof v);
      result = std::to_wstring(v);
    } else {
      result = HexOf(data);
    }
  }
  reg_->CloseKey();
  return result;
}

void TRegistryIniFile::WriteString(const String& section, const String& ident, const String& value) {
  OpenForWrite(section);
  try {
    reg_->WriteString(ident, value);
  } catch (...) {
    reg_->CloseKey();
    throw;
  }
  reg_->CloseKey();
}

int TRegistryIniFile::ReadInteger(const String& section, const String& ident, int def) {
  if (!OpenForRead(section)) return def;
  int result = def;
  try {
    const TRegDataType type = reg_->GetDataType(ident);
    if (reg_->ValueExists(ident)) {
      if (type == rdString || type == rdExpandString) {
        reg_->CloseKey();
        return TCustomIniFile::ReadInteger(section, ident, def);
      }
      result = reg_->ReadInteger(ident);
    }
  } catch (...) {
    reg_->CloseKey();
    throw;
  }
  reg_->CloseKey();
  return result;
}

void TRegistryIniFile::WriteInteger(const String& section, const String& ident, int value) {
  OpenForWrite(section);
  try {
    const TRegDataType type = reg_->GetDataType(ident);
    if (type == rdString || type == rdExpandString)
      reg_->WriteString(ident, std::to_wstring(value));
    else
      reg_->WriteInteger(ident, value);
  } catch (...) {
    reg_->CloseKey();
    throw;
  }
  reg_->CloseKey();
}

bool TRegistryIniFile::ReadBool(const String& section, const String& ident, bool def) {
  return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TRegistryIniFile::WriteBool(const String& section, const String& ident, bool value) {
  WriteInteger(section, ident, value ? 1 : 0);
}

int TRegistryIniFile::ReadDoubleValue(const String& section, const String& ident, double& out) {
  int kind = 0;
  DWORD type = 0;
  TBytes data;
  if (OpenForRead(section) && reg_->QueryValue(ident, type, data)) {
    if (type == REG_BINARY && data.size() == sizeof(double)) {
      std::memcpy(&out, data.data(), sizeof out);
      kind = 1;
    } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
      kind = 2;
    } else {
      reg_->CloseKey();
      throw ERegistryException(L"Invalid data type for '" + ident + L"'");
    }
  }
  reg_->CloseKey();
  return kind;
}

void TRegistryIniFile::WriteDouble(const String& section, const String& ident, double value) {
  OpenForWrite(section);
  try {
    reg_->WriteFloat(ident, value);
  } catch (...) {
    reg_->CloseKey();
    throw;
  }
  reg_->CloseKey();
}

double TRegistryIniFile::ReadFloat(const String& section, const String& ident, double def) {
  double v;
  switch (ReadDoubleValue(section, ident, v)) {
    case 1: return v;
    case 2: return TCustomIniFile::ReadFloat(section, ident, def);
    default: return def;
  }
}

void TRegistryIniFile::WriteFloat(const String& section, const String& ident, double value) {
  WriteDouble(section, ident, value);
}

TDateTime TRegistryIniFile::ReadDate(const String& section, const String& ident, TDateTime def) {
  double v;
  switch (ReadDoubleValue(section, ident, v)) {
    case 1: return v;
    case 2: return TCustomIniFile::ReadDate(section, ident, def);
    default: return def;
  }
}

void TRegistryIniFile::WriteDate(const String& section, const String& ident, TDateTime value) {
  WriteDouble(section, ident, value);
}

TDateTime TRegistryIniFile::ReadDateTime(const String& section, const String& ident, TDateTime def) {
  double v;
  switch (ReadDoubleValue(section, ident, v)) {
    case 1: return v;
    case 2: return TCustomIniFile::ReadDateTime(section, ident, def);
    default: return def;
  }
}

void TRegistryIniFile::WriteDateTime(const String& section, const String& ident, TDateTime value) {
  WriteDouble(section, ident, value);
}

TDateTime TRegistryIniFile::ReadTime(const String& section, const String& ident, TDateTime def) {
  double v;
  switch (ReadDoubleValue(section, ident, v)) {
    case 1: return v;
    case 2: return TCustomIniFile::ReadTime(section, ident, def);
    default: return def;
  }
}

void TRegistryIniFile::WriteTime(const String& section, const String& ident, TDateTime value) {
  WriteDouble(section, ident, value);
}

int TRegistryIniFile::ReadBinaryStream(const String& section, const String& ident, TStream* value) {
  DWORD type = 0;
  TBytes data;
  const bool found = OpenForRead(section) && reg_->QueryValue(ident, type, data);
  reg_->CloseKey();
  if (!found) return 0;
  // A string holds the hexadecimal form an INI file would have.
  if (type == REG_SZ || type == REG_EXPAND_SZ) return TCustomIniFile::ReadBinaryStream(section, ident, value);
  if (data.size() > static_cast<std::size_t>(INT_MAX)) InvalidType(ident);
  if (data.empty()) return 0;
  const Int64 pos = value->Position();
  value->WriteBuffer(data.data(), static_cast<int>(data.size()));
  value->SetPosition(pos);
  return static_cast<int>(data.size());
}

void TRegistryIniFile::WriteBinaryStream(const String& section, const String& ident, TStream* value) {
  const Int64 pos = value->Position();
  const Int64 rest = value->Size() - pos;
  if (rest > INT_MAX) SetDataFailed(ident);
  TBytes bytes(static_cast<std::size_t>(rest > 0 ? rest : 0));
  if (!bytes.empty()) value->ReadBuffer(bytes.data(), static_cast<int>(bytes.size()));
  value->SetPosition(pos);
  OpenForWrite(section);
  try {
    reg_->WriteBinaryData(ident, bytes.data(), static_cast<int>(bytes.size()));
  } catch (...) {
    reg_->CloseKey();
    throw;
  }
  reg_->CloseKey();
}

void TRegistryIniFile::ReadSection(const String& section, TStrings* strings) {
  if (OpenForRead(section)) {
    try {
      reg_->GetValueNames(strings);
    } catch (...) {
      reg_->CloseKey();
      throw;
    }
    reg_->CloseKey();
  } else {
    strings->Clear();
  }
}

void TRegistryIniFile::ReadSections(TStrings* strings) {
  if (OpenForRead(String())) {
    try {
      reg_->GetKeyNames(strings);
    } catch (...) {
      reg_->CloseKey();
      throw;
    }
    reg_->CloseKey();
  } else {
    strings->Clear();
  }
}

void TRegistryIniFile::ReadSectionValues(const String& section, TStrings* strings) {
  TStringList names;
  ReadSection(section, &names);
  strings->BeginUpdate();
  try {
    strings->Clear();
    for (int i = 0; i < names.Count(); ++i) {
      const String name = names.Get(i);
      strings->Add(name + L"=" + ReadString(section, name, String()));
    }
  } catch (...) {
    strings->EndUpdate();
    throw;
  }
  strings->EndUpdate();
}

void TRegistryIniFile::EraseSection(const String& section) {
  reg_->CloseKey();
  // SectionPath never yields the bare root; the check in DeleteKey still guards it.
  reg_->DeleteKey(SectionPath(section));
}

void TRegistryIniFile::DeleteKey(const String& section, const String& ident) {
  reg_->CloseKey();
  if (reg_->OpenKey(SectionPath(section), false)) reg_->DeleteValue(ident);
  reg_->CloseKey();
}

void TRegistryIniFile::UpdateFile() {}
