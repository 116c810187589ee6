// INI files of the platform class library: the abstract TCustomIniFile with
// its typed values, the in-memory TMemIniFile and the file-backed TIniFile.
// The registry-backed TRegistryIniFile is in Registry.h.
#pragma once

#include "platform/core/StringLists.h"
#include <memory>

class TStream;

class TCustomIniFile : public TObject {
  DECLARE_CLASS(TCustomIniFile, TObject)
  explicit TCustomIniFile(const String& fileName) : fileName_(fileName) {}
  ~TCustomIniFile() override = default;

  const String& FileName() const { return fileName_; }

  virtual bool SectionExists(const String& section);
  virtual bool ValueExists(const String& section, const String& ident);
  virtual String ReadString(const String& section, const String& ident, const String& def) = 0;
  virtual void WriteString(const String& section, const String& ident, const String& value) = 0;
  // Decimal, or hexadecimal with "0x" or "$"; anything else gives `def`.
  virtual int ReadInteger(const String& section, const String& ident, int def);
  virtual void WriteInteger(const String& section, const String& ident, int value);
  // Read as an integer, non-zero is true; written as "1" or "0".
  virtual bool ReadBool(const String& section, const String& ident, bool def);
  virtual void WriteBool(const String& section, const String& ident, bool value);
  // Floats and dates in the format settings (FloatToStr, DateToStr, ...;
  // a float is written with all its digits when the short form would not
  // read back exactly). Reading also accepts the invariant forms ('.' or ','
  // decimal separator, yyyy-mm-dd hh:nn[:ss[.zzz]]); a value that converts
  // neither way gives `def`.
  virtual double ReadFloat(const String& section, const String& ident, double def);
  virtual void WriteFloat(const String& section, const String& ident, double value);
  virtual TDateTime ReadDate(const String& section, const String& ident, TDateTime def);
  virtual void WriteDate(const String& section, const String& ident, TDateTime value);
  virtual TDateTime ReadDateTime(const String& section, const String& ident, TDateTime def);
  virtual void WriteDateTime(const String& section, const String& ident, TDateTime value);
  virtual TDateTime ReadTime(const String& section, const String& ident, TDateTime def);
  virtual void WriteTime(const String& section, const String& ident, TDateTime value);
  // Binary values as hexadecimal digit pairs. Reading writes the bytes into
  // `value` at its position and then puts the position back; returns the
  // number of bytes (decoding stops at the first pair that is not two hex
  // digits). Writing takes `value` from its position to its end and puts the
  // position back too.
  virtual int ReadBinaryStream(const String& section, const String& ident, TStream* value);
  virtual void WriteBinaryStream(const String& section, const String& ident, TStream* value);

  // Each fills `strings` after clearing it: the keys of a section, the
  // section names, or the section's lines as name=value.
  virtual void ReadSection(const String& section, TStrings* strings) = 0;
  virtual void ReadSections(TStrings* strings) = 0;
  virtual void ReadSectionValues(const String& section, TStrings* strings) = 0;
  virtual void EraseSection(const String& section) = 0;
  virtual void DeleteKey(const String& section, const String& ident) = 0;
  // Writes pending changes to the store.
  virtual void UpdateFile() = 0;

 protected:
  void SetFileName(const String& fileName) { fileName_ = fileName; }

 private:
  String fileName_;
};

// An INI file held in memory: it reads the file (or a stream, or lines) at
// once and writes back only on UpdateFile. Section and key names compare
// case-insensitively unless CaseSensitive. Loading accepts any bytes: names
// and values are trimmed, lines before the first section and ';' comments
// are kept for writing back but are not keys, a repeated section adds to the
// first, and a repeated key is read from its first line.
class TMemIniFile : public TCustomIniFile {
  DECLARE_CLASS(TMemIniFile, TCustomIniFile)
  // Reads the file when it exists; an empty name makes an empty INI in memory.
  explicit TMemIniFile(const String& fileName, TTextEncoding encoding = teDefault);
  ~TMemIniFile() override;

  void Clear();
  // The whole INI as lines: "[section]", its lines, an empty line.
  void GetStrings(TStrings* list);
  // Replaces the content with the INI text in `list`.
  void SetStrings(TStrings* list);
  void LoadFromStream(TStream* stream, TTextEncoding encoding = teDefault);
  void SaveToStream(TStream* stream);
  // Sets the file name; with `reload` the content is read from that file
  // (or cleared when it does not exist).
  void Rename(const String& fileName, bool reload);

  bool CaseSensitive() const;
  void SetCaseSensitive(bool value);
  // Encoding of UpdateFile and SaveToStream: the one found when loading, or
  // UTF-8 (with byte-order mark). ANSI text that the code page cannot hold
  // is written as UTF-8 instead of losing characters.
  TTextEncoding Encoding() const { return encoding_; }
  void SetEncoding(TTextEncoding value) { encoding_ = value; }

  bool SectionExists(const String& section) override;
  bool ValueExists(const String& section, const String& ident) override;
  String ReadString(const String& section, const String& ident, const String& def) override;
  void WriteString(const String& section, const String& ident, const String& value) override;
  void ReadSection(const String& section, TStrings* strings) override;
  void ReadSections(TStrings* strings) override;
  void ReadSectionValues(const String& section, TStrings* strings) override;
  void EraseSection(const String& section) override;
  void DeleteKey(const String& section, const String& ident) override;
  // Writes the file (nothing without a file name). Raises EIniFileException
  // without touching the file when a name or value cannot be stored as INI
  // text (a line break anywhere, '=' in a key).
  void UpdateFile() override;

 private:
  struct Data;
  void LoadFile();
  String TextForSaving(TTextEncoding& encoding);
  std::unique_ptr<Data> data_;
  TTextEncoding encoding_ = teDefault;
};

// An INI file on disk. Every write goes to the file at once; reads see the
// file's current content (it is read again when it changed on disk). Built
// on the same parser as TMemIniFile rather than the Win32 profile functions,
// which read files without byte-order mark in the ANSI code page and so
// lose UTF-8 text; a relative file name is relative to the current directory.
class TIniFile : public TCustomIniFile {
  DECLARE_CLASS(TIniFile, TCustomIniFile)
  explicit TIniFile(const String& fileName);
  ~TIniFile() override;

  bool SectionExists(const String& section) override;
  bool ValueExists(const String& section, const String& ident) override;
  String ReadString(const String& section, const String& ident, const String& def) override;
  // Raises EIniFileException "Unable to write to <file>" when the file cannot be written.
  void WriteString(const String& section, const String& ident, const String& value) override;
  void ReadSection(const String& section, TStrings* strings) override;
  void ReadSections(TStrings* strings) override;
  void ReadSectionValues(const String& section, TStrings* strings) override;
  void EraseSection(const String& section) override;
  void DeleteKey(const String& section, const String& ident) override;
  void UpdateFile() override;

 private:
  struct Stamp {
    bool Exists = false;
    UInt64 WriteTime = 0;
    UInt64 Size = 0;
    bool operator==(const Stamp&) const = default;
  };
  Stamp CurrentStamp() const;
  TMemIniFile* Fresh();
  void Store();
  TMemIniFile* mem_ = nullptr;
  Stamp stamp_;
};
