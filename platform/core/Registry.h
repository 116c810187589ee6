// Registry access of the platform class library: TRegistry over one open key
// at a time, and TRegistryIniFile, an INI file whose sections are keys.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/IniFiles.h"

enum TRegDataType : int { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
  TRegDataType RegData = rdUnknown;
  int DataSize = 0;
};

struct TRegKeyInfo {
  int NumSubKeys = 0;
  int MaxSubKeyLen = 0;
  int NumValues = 0;
  int MaxValueLen = 0;
  int MaxDataLen = 0;
  FILETIME FileTime{};
};

// Key paths: one beginning with '\' starts at RootKey, any other is relative
// to the open key (or RootKey when none is open); trailing '\' are ignored.
// Value reads and writes act on the open key and raise ERegistryException
// "Failed to get data for 'X'", "Failed to set data for 'X'" or "Invalid data
// type for 'X'".
class TRegistry : public TObject {
  DECLARE_CLASS(TRegistry, TObject)
  TRegistry();
  explicit TRegistry(REGSAM access);
  ~TRegistry() override;

  // HKEY_CURRENT_USER by default; changing it closes the open key.
  HKEY RootKey() const { return rootKey_; }
  void SetRootKey(HKEY value);
  HKEY CurrentKey() const { return currentKey_; }
  // Path of the open key below RootKey, without leading '\'.
  const String& CurrentPath() const { return currentPath_; }
  // Access asked for when keys are opened (KEY_ALL_ACCESS by default).
  REGSAM Access() const { return access_; }
  void SetAccess(REGSAM value) { access_ = value; }
  // When false, closing a key flushes it to disk.
  bool LazyWrite() const { return lazyWrite_; }
  void SetLazyWrite(bool value) { lazyWrite_ = value; }

  void CloseKey();
  // Opens `key` as the current key, creating it when `canCreate`.
  bool OpenKey(const String& key, bool canCreate);
  // Opens with read access only; Access is left as it was.
  bool OpenKeyReadOnly(const String& key);
  // Creates the key without opening it; raises ERegistryException
  // "Failed to create key X" when that fails.
  bool CreateKey(const String& key);
  // Deletes the key with all its subkeys. The root itself is never deleted:
  // an empty path answers false.
  bool DeleteKey(const String& key);
  bool KeyExists(const String& key);

  bool ValueExists(const String& name);
  bool DeleteValue(const String& name);
  bool HasSubKeys();
  bool GetKeyInfo(TRegKeyInfo& info);
  // Fill `strings` (cleared first) with the subkeys or values of the open key.
  void GetKeyNames(TStrings* strings);
  void GetValueNames(TStrings* strings);
  bool GetDataInfo(const String& valueName, TRegDataInfo& info);
  // -1 when the value does not exist.
  int GetDataSize(const String& valueName);
  // rdUnknown when the value does not exist.
  TRegDataType GetDataType(const String& valueName);

  // A missing string value reads as empty.
  String ReadString(const String& name);
  void WriteString(const String& name, const String& value);
  String ReadExpandString(const String& name);
  void WriteExpandString(const String& name, const String& value);
  // REG_DWORD.
  int ReadInteger(const String& name);
  void WriteInteger(const String& name, int value);
  bool ReadBool(const String& name);
  void WriteBool(const String& name, bool value);
  // REG_BINARY of 8 bytes.
  double ReadFloat(const String& name);
  void WriteFloat(const String& name, double value);
  TDateTime ReadDateTime(const String& name);
  void WriteDateTime(const String& name, TDateTime value);
  TDateTime ReadDate(const String& name);
  void WriteDate(const String& name, TDateTime value);
  TDateTime ReadTime(const String& name);
  void WriteTime(const String& name, TDateTime value);
  // REG_BINARY (or a value of unknown type) copied into `buffer`; returns
  // its size, 0 for a missing value; raises when it does not fit.
  int ReadBinaryData(const String& name, void* buffer, int bufSize);
  void WriteBinaryData(const String& name, const void* buffer, int bufSize);

 private:
  HKEY BaseKey(bool relative) const;
  HKEY OpenRaw(const String& key, REGSAM access, bool create);
  void ChangeKey(HKEY key, const String& path);
  void PutData(const String& name, const void* data, DWORD size, DWORD type);
  friend class TRegistryIniFile;
  bool QueryValue(const String& name, DWORD& type, TBytes& data);

  HKEY rootKey_ = HKEY_CURRENT_USER;
  HKEY currentKey_ = nullptr;
  String currentPath_;
  REGSAM access_ = KEY_ALL_ACCESS;
  bool lazyWrite_ = true;
};

// An INI file in the registry: the file name is a key path (below the
// registry's RootKey), sections are its subkeys (or, beginning with '\',
// absolute key paths) and values keep their types: integers and Booleans as
// REG_DWORD, floats and dates as 8-byte REG_BINARY, binary streams as
// REG_BINARY. Reads of a missing key create nothing; writes create the key.
// EraseSection deletes the key with its subkeys.
class TRegistryIniFile : public TCustomIniFile {
  DECLARE_CLASS(TRegistryIniFile, TCustomIniFile)
  explicit TRegistryIniFile(const String& fileName, REGSAM access = KEY_ALL_ACCESS);
  ~TRegistryIniFile() override;

  // The registry object used for every operation (set its RootKey here).
  TRegistry* RegIniFile() const { return reg_; }

  bool SectionExists(const String& section) override;
  bool ValueExists(const String& section, const String& ident) override;
  // Strings as they are, REG_DWORD as decimal, other types as hexadecimal
  // digit pairs of their bytes.
  String ReadString(const String& section, const String& ident, const String& def) override;
  void WriteString(const String& section, const String& ident, const String& value) override;
  // A value stored as a string is converted; writing keeps it a string.
  int ReadInteger(const String& section, const String& ident, int def) override;
  void WriteInteger(const String& section, const String& ident, int value) override;
  bool ReadBool(const String& section, const String& ident, bool def) override;
  void WriteBool(const String& section, const String& ident, bool value) override;
  double ReadFloat(const String& section, const String& ident, double def) override;
  void WriteFloat(const String& section, const String& ident, double value) override;
  TDateTime ReadDate(const String& section, const String& ident, TDateTime def) override;
  void WriteDate(const String& section, const String& ident, TDateTime value) override;
  TDateTime ReadDateTime(const String& section, const String& ident, TDateTime def) override;
  void WriteDateTime(const String& section, const String& ident, TDateTime value) override;
  TDateTime ReadTime(const String& section, const String& ident, TDateTime def) override;
  void WriteTime(const String& section, const String& ident, TDateTime value) override;
  int ReadBinaryStream(const String& section, const String& ident, TStream* value) override;
  void WriteBinaryStream(const String& section, const String& ident, TStream* value) override;
  void ReadSection(const String& section, TStrings* strings) override;
  void ReadSections(TStrings* strings) override;
  void ReadSectionValues(const String& section, TStrings* strings) override;
  void EraseSection(const String& section) override;
  void DeleteKey(const String& section, const String& ident) override;
  void UpdateFile() override;

 private:
  String SectionPath(const String& section) const;
  bool OpenForRead(const String& section);
  void OpenForWrite(const String& section);
  // 1 for an 8-byte binary value (in `out`), 2 for a string, 0 otherwise.
  int ReadDoubleValue(const String& section, const String& ident, double& out);
  void WriteDouble(const String& section, const String& ident, double value);
  TRegistry* reg_ = nullptr;
};
