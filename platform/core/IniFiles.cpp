#include "platform/WinApi.h"
#include "platform/core/IniFiles.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <unordered_map>

IMPLEMENT_CLASS(TCustomIniFile, TObject, nullptr)
IMPLEMENT_CLASS(TMemIniFile, TCustomIniFile, nullptr)
IMPLEMENT_CLASS(TIniFile, TCustomIniFile, nullptr)

// ---------------------------------------------------------------------------
// Value conversions
// ---------------------------------------------------------------------------

namespace {

String TrimBlanks(const String& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && s[b] <= L' ') ++b;
  while (e > b && s[e - 1] <= L' ') --e;
  return s.substr(b, e - b);
}

bool ParseInt(const String& text, int& out) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] <= L' ') ++i;
  bool neg = false;
  if (i < n && (text[i] == L'-' || text[i] == L'+')) neg = text[i++] == L'-';
  bool hex = false;
  if (i < n && text[i] == L'$') {
    hex = true;
    ++i;
  } else if (i + 1 < n && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n) return false;
  UInt64 v = 0;
  for (; i < n; ++i) {
    const Char c = text[i];
    int d;
    if (c >= L'0' && c <= L'9') d = c - L'0';
    else if (hex && c >= L'a' && c <= L'f') d = c - L'a' + 10;
    else if (hex && c >= L'A' && c <= L'F') d = c - L'A' + 10;
    else return false;
    v = v * (hex ? 16 : 10) + d;
    if (v > 0xFFFFFFFFull) return false;
  }
  if (hex) {
    // Hexadecimal fills the 32 bits: $FFFFFFFF is -1.
    const auto bits = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    out = neg ? -bits : bits;
    return true;
  }
  if (neg ? v > 0x80000000ull : v > 0x7FFFFFFFull) return false;
  out = neg ? static_cast<int>(-static_cast<Int64>(v)) : static_cast<int>(v);
  return true;
}

String InvariantFloatText(double value) {
  wchar_t buf[64];
  // The shortest of 15 or 17 significant digits that reads back the same.
  std::swprintf(buf, 64, L"%.15g", value);
  if (std::wcstod(buf, nullptr) != value) std::swprintf(buf, 64, L"%.17g", value);
  return buf;
}

bool InvariantTextToFloat(const String& text, double& out) {
  String s = TrimBlanks(text);
  if (s.empty()) return false;
  // Files written where the decimal separator is a comma read as well.
  if (s.find(L'.') == String::npos) {
    const auto comma = s.find(L',');
    if (comma != String::npos && s.find(L',', comma + 1) == String::npos) s[comma] = L'.';
  }
  for (Char c : s)
    if (!((c >= L'0' && c <= L'9') || c == L'.' || c == L'-' || c == L'+' || c == L'e' || c == L'E')) return false;
  wchar_t* end = nullptr;
  const double v = std::wcstod(s.c_str(), &end);
  if (end != s.c_str() + s.size() || !std::isfinite(v)) return false;
  out = v;
  return true;
}

constexpr int kDateDelta = 693594;  // days from 0001-01-01 to 1899-12-30

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

bool EncodeDate(int y, int m, int d, double& out) {
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return false;
  int days = d;
  for (int i = 1; i < m; ++i) days += DaysInMonth(y, i);
  const int py = y - 1;
  days += py * 365 + py / 4 - py / 100 + py / 400;
  out = days - kDateDelta;
  return true;
}

bool ReadNumber(const String& s, std::size_t& i, int maxDigits, int& out) {
  const std::size_t start = i;
  out = 0;
  while (i < s.size() && s[i] >= L'0' && s[i] <= L'9' && i - start < static_cast<std::size_t>(maxDigits))
    out = out * 10 + (s[i++] - L'0');
  return i > start;
}

bool ParseTimePart(const String& s, std::size_t& i, double& out) {
  int h, n, sec = 0, ms = 0;
  if (!ReadNumber(s, i, 2, h) || i >= s.size() || s[i] != L':') return false;
  ++i;
  if (!ReadNumber(s, i, 2, n)) return false;
  if (i < s.size() && s[i] == L':') {
    ++i;
    if (!ReadNumber(s, i, 2, sec)) return false;
    if (i < s.size() && s[i] == L'.') {
      ++i;
      const std::size_t start = i;
      if (!ReadNumber(s, i, 3, ms)) return false;
      for (std::size_t k = i - start; k < 3; ++k) ms *= 10;
    }
  }
  if (h > 23 || n > 59 || sec > 59) return false;
  out = (((h * 60.0 + n) * 60.0 + sec) * 1000.0 + ms) / 86400000.0;
  return true;
}

bool InvariantTextToDateTime(const String& text, TDateTime& out) {
  const String s = TrimBlanks(text);
  std::size_t i = 0;
  double date = 0, time = 0;
  bool hasDate = false;
  int y, m, d;
  // A date is yyyy-mm-dd (or with '/' or '.'); a time alone has a ':' second.
  const std::size_t save = i;
  if (ReadNumber(s, i, 4, y) && i < s.size() && (s[i] == L'-' || s[i] == L'/' || s[i] == L'.')) {
    const Char sep = s[i++];
    if (!ReadNumber(s, i, 2, m) || i >= s.size() || s[i] != sep) return false;
    ++i;
    if (!ReadNumber(s, i, 2, d) || !EncodeDate(y, m, d, date)) return false;
    hasDate = true;
    while (i < s.size() && (s[i] == L' ' || s[i] == L'T')) ++i;
  } else {
    i = save;
  }
  if (i < s.size()) {
    if (!ParseTimePart(s, i, time) || i != s.size()) return false;
  } else if (!hasDate) {
    return false;
  }
  out = date < 0 ? date - time : date + time;
  return true;
}

String BytesToHex(const void* data, std::size_t size) {
  static const Char digits[] = L"0123456789ABCDEF";
  const Byte* p = static_cast<const Byte*>(data);
  String out(size * 2, L'0');
  for (std::size_t i = 0; i < size; ++i) {
    out[2 * i] = digits[p[i] >> 4];
    out[2 * i + 1] = digits[p[i] & 15];
  }
  return out;
}

TBytes HexToBytes(const String& text) {
  auto digit = [](Char c) -> int {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
  };
  TBytes out;
  out.reserve(text.size() / 2);
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    const int hi = digit(text[i]), lo = digit(text[i + 1]);
    if (hi < 0 || lo < 0) break;
    out.push_back(static_cast<Byte>(hi << 4 | lo));
  }
  return out;
}

TBytes ReadRest(TStream* stream, Int64& startPos) {
  startPos = stream->Position();
  const Int64 rest = stream->Size() - startPos;
  if (rest > INT_MAX) throw EStreamError(L"Stream too large for a binary value");
  TBytes bytes(static_cast<std::size_t>(rest > 0 ? rest : 0));
  if (!bytes.empty()) stream->ReadBuffer(bytes.data(), static_cast<int>(bytes.size()));
  return bytes;
}

}  // namespace

// ---------------------------------------------------------------------------
// TCustomIniFile
// ---------------------------------------------------------------------------

bool TCustomIniFile::SectionExists(const String& section) {
  TStringList keys;
  ReadSection(section, &keys);
  return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const String& section, const String& ident) {
  TStringList keys;
  ReadSection(section, &keys);
  return keys.IndexOf(ident) >= 0;
}

int TCustomIniFile::ReadInteger(const String& section, const String& ident, int def) {
  int v;
  return ParseInt(ReadString(section, ident, String()), v) ? v : def;
}

void TCustomIniFile::WriteInteger(const String& section, const String& ident, int value) {
  WriteString(section, ident, std::to_wstring(value));
}

bool TCustomIniFile::ReadBool(const String& section, const String& ident, bool def) {
  return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const String& section, const String& ident, bool value) {
  WriteString(section, ident, value ? L"1" : L"0");
}

// Floats and dates are written in the user's format settings, as the
// platform does; a float that the settings' shortest form would not give back
// exactly is written with all its digits. Reading accepts the settings' form
// and, when that fails, the invariant one ('.' or ',' decimal separator,
// yyyy-mm-dd hh:nn:ss[.zzz]), so a file moved between locales still reads.
double TCustomIniFile::ReadFloat(const String& section, const String& ident, double def) {
  const String s = TrimBlanks(ReadString(section, ident, String()));
  double v;
  if (!s.empty() && (TryStrToFloat(s, v) || InvariantTextToFloat(s, v))) return v;
  return def;
}

void TCustomIniFile::WriteFloat(const String& section, const String& ident, double value) {
  String s = FloatToStr(value);
  double back;
  if (!TryStrToFloat(s, back) || back != value) {
    s = InvariantFloatText(value);
    for (Char& c : s)
      if (c == L'.') c = FormatSettings().DecimalSeparator;
  }
  WriteString(section, ident, s);
}

TDateTime TCustomIniFile::ReadDate(const String& section, const String& ident, TDateTime def) {
  const String s = TrimBlanks(ReadString(section, ident, String()));
  TDateTime v;
  if (s.empty()) return def;
  if (TryStrToDate(s, v)) return v;
  return InvariantTextToDateTime(s, v) ? std::trunc(v) : def;
}

void TCustomIniFile::WriteDate(const String& section, const String& ident, TDateTime value) {
  WriteString(section, ident, DateToStr(value));
}

TDateTime TCustomIniFile::ReadDateTime(const String& section, const String& ident, TDateTime def) {
  const String s = TrimBlanks(ReadString(section, ident, String()));
  TDateTime v;
  if (s.empty()) return def;
  if (TryStrToDateTime(s, v)) return v;
  return InvariantTextToDateTime(s, v) ? v : def;
}

void TCustomIniFile::WriteDateTime(const String& section, const String& ident, TDateTime value) {
  WriteString(section, ident, DateTimeToStr(value));
}

TDateTime TCustomIniFile::ReadTime(const String& section, const String& ident, TDateTime def) {
  const String s = TrimBlanks(ReadString(section, ident, String()));
  TDateTime v;
  if (s.empty()) return def;
  if (TryStrToTime(s, v)) return v;
  return InvariantTextToDateTime(s, v) ? std::fabs(v - std::trunc(v)) : def;
}

void TCustomIniFile::WriteTime(const String& section, const String& ident, TDateTime value) {
  WriteString(section, ident, TimeToStr(value));
}

int TCustomIniFile::ReadBinaryStream(const String& section, const String& ident, TStream* value) {
  const TBytes bytes = HexToBytes(ReadString(section, ident, String()));
  if (bytes.empty()) return 0;
  const Int64 pos = value->Position();
  value->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
  value->SetPosition(pos);
  return static_cast<int>(bytes.size());
}

void TCustomIniFile::WriteBinaryStream(const String& section, const String& ident, TStream* value) {
  Int64 pos;
  const TBytes bytes = ReadRest(value, pos);
  value->SetPosition(pos);
  WriteString(section, ident, BytesToHex(bytes.data(), bytes.size()));
}

// ---------------------------------------------------------------------------
// TMemIniFile
// ---------------------------------------------------------------------------

namespace {

struct IniEntry {
  String Name;   // the key, or the whole line of a comment or other line
  String Value;
  bool IsKey = true;
};

struct IniSection {
  String Name;
  std::vector<IniEntry> Entries;
  std::unordered_map<String, std::size_t> Keys;  // folded key -> first entry
};

bool HasLineBreak(const String& s) { return s.find_first_of(L"\r\n") != String::npos; }

}  // namespace

struct TMemIniFile::Data {
  bool CaseSensitive = false;
  std::vector<String> Preamble;  // lines before the first section
  std::vector<std::unique_ptr<IniSection>> Sections;
  std::unordered_map<String, std::size_t> Index;  // folded name -> section

  String Fold(const String& s) const {
    if (CaseSensitive || s.empty()) return s;
    String u = s;
    CharUpperBuffW(u.data(), static_cast<DWORD>(u.size()));
    return u;
  }
  IniSection* Find(const String& name) {
    const auto it = Index.find(Fold(name));
    return it == Index.end() ? nullptr : Sections[it->second].get();
  }
  IniSection* FindOrAdd(const String& name) {
    if (IniSection* s = Find(name)) return s;
    auto sec = std::make_unique<IniSection>();
    sec->Name = name;
    Index.emplace(Fold(name), Sections.size());
    Sections.push_back(std::move(sec));
    return Sections.back().get();
  }
  IniEntry* FindKey(IniSection* sec, const String& ident) {
    if (!sec) return nullptr;
    const auto it = sec->Keys.find(Fold(ident));
    return it == sec->Keys.end() ? nullptr : &sec->Entries[it->second];
  }
  void AddKey(IniSection* sec, const String& name, const String& value) {
    sec->Keys.emplace(Fold(name), sec->Entries.size());
    sec->Entries.push_back({name, value, true});
  }
  void ReindexKeys(IniSection& sec) {
    sec.Keys.clear();
    for (std::size_t i = 0; i < sec.Entries.size(); ++i)
      if (sec.Entries[i].IsKey) sec.Keys.emplace(Fold(sec.Entries[i].Name), i);
  }
  void Reindex() {
    Index.clear();
    for (std::size_t i = 0; i < Sections.size(); ++i) {
      Index.emplace(Fold(Sections[i]->Name), i);
      ReindexKeys(*Sections[i]);
    }
  }
  void Clear() {
    Preamble.clear();
    Sections.clear();
    Index.clear();
  }

  // One line of INI text. Lines are untrusted: anything that is neither a
  // section header nor name=value is kept as it is and never read as a key.
  void ParseLine(const String& line, IniSection*& current) {
    String s = TrimBlanks(line);
    if (s.empty()) return;
    if (s[0] == L'[' && s.size() >= 2 && s.back() == L']') {
      current = FindOrAdd(TrimBlanks(s.substr(1, s.size() - 2)));
      return;
    }
    if (!current) {
      Preamble.push_back(std::move(s));
      return;
    }
    const auto eq = s[0] == L';' ? String::npos : s.find(L'=');
    if (eq == String::npos) {
      current->Entries.push_back({std::move(s), String(), false});
      return;
    }
    AddKey(current, TrimBlanks(s.substr(0, eq)), TrimBlanks(s.substr(eq + 1)));
  }

  void ParseText(const String& text) {
    Clear();
    IniSection* current = nullptr;
    const std::size_t n = text.size();
    std::size_t start = 0;
    while (start < n) {
      std::size_t end = text.find_first_of(L"\r\n", start);
      if (end == String::npos) end = n;
      ParseLine(text.substr(start, end - start), current);
      start = end;
      if (start < n && text[start] == L'\r') ++start;
      if (start < n && text[start] == L'\n') ++start;
    }
  }
};

TMemIniFile::TMemIniFile(const String& fileName, TTextEncoding encoding)
    : TCustomIniFile(fileName), data_(std::make_unique<Data>()), encoding_(encoding) {
  LoadFile();
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::LoadFile() {
  data_->Clear();
  if (FileName().empty()) return;
  const DWORD attr = GetFileAttributesW(FileName().c_str());
  if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY)) return;
  TFileStream* stream = Make<TFileStream>(FileName(), fmOpenRead | fmShareDenyWrite);
  try {
    LoadFromStream(stream, encoding_);
  } catch (...) {
    TObject::Free(stream);
    throw;
  }
  TObject::Free(stream);
}

void TMemIniFile::Clear() { data_->Clear(); }

void TMemIniFile::GetStrings(TStrings* list) {
  list->BeginUpdate();
  try {
    for (const String& line : data_->Preamble) list->Add(line);
    if (!data_->Preamble.empty()) list->Add(String());
    for (const auto& sec : data_->Sections) {
      list->Add(L"[" + sec->Name + L"]");
      for (const IniEntry& e : sec->Entries) list->Add(e.IsKey ? e.Name + L"=" + e.Value : e.Name);
      list->Add(String());
    }
  } catch (...) {
    list->EndUpdate();
    throw;
  }
  list->EndUpdate();
}

void TMemIniFile::SetStrings(TStrings* list) {
  data_->Clear();
  IniSection* current = nullptr;
  const int n = list->Count();
  for (int i = 0; i < n; ++i) {
    // A list line may itself hold line breaks (Text was not used to fill it).
    const String line = list->Get(i);
    if (HasLineBreak(line)) {
      std::size_t start = 0;
      while (start <= line.size()) {
        std::size_t end = line.find_first_of(L"\r\n", start);
        if (end == String::npos) end = line.size();
        data_->ParseLine(line.substr(start, end - start), current);
        start = end + 1;
      }
    } else {
      data_->ParseLine(line, current);
    }
  }
}

void TMemIniFile::LoadFromStream(TStream* stream, TTextEncoding encoding) {
  const Int64 rest = stream->Size() - stream->Position();
  if (rest > INT_MAX) throw EIniFileException(L"INI text too large");
  std::string bytes(static_cast<std::size_t>(rest > 0 ? rest : 0), '\0');
  if (!bytes.empty()) stream->ReadBuffer(bytes.data(), static_cast<int>(bytes.size()));
  TTextEncoding found = teDefault;
  const String text = DecodeText(bytes.data(), bytes.size(), encoding, &found);
  data_->ParseText(text);
  encoding_ = found;
}

String TMemIniFile::TextForSaving(TTextEncoding& encoding) {
  String text;
  auto line = [&text](const String& s) {
    text += s;
    text += L"\r\n";
  };
  auto reject = [](const IniSection& sec, const String& what) {
    throw EIniFileException(L"Cannot store " + what + L" of section '" + sec.Name + L"' in an INI file");
  };
  for (const String& s : data_->Preamble) line(s);
  if (!data_->Preamble.empty()) line(String());
  for (const auto& sec : data_->Sections) {
    if (HasLineBreak(sec->Name)) reject(*sec, L"the name");
    line(L"[" + sec->Name + L"]");
    for (const IniEntry& e : sec->Entries) {
      if (!e.IsKey) {
        line(e.Name);
        continue;
      }
      // The line must read back as this same key.
      const String l = e.Name + L"=" + e.Value;
      const String t = TrimBlanks(l);
      if (HasLineBreak(e.Name) || HasLineBreak(e.Value) || e.Name.find(L'=') != String::npos ||
          (!t.empty() && t[0] == L';') || (!t.empty() && t[0] == L'[' && t.back() == L']'))
        reject(*sec, L"key '" + e.Name + L"'");
      line(l);
    }
    line(String());
  }
  encoding = encoding_ == teDefault ? teUTF8 : encoding_;
  if (encoding == teANSI) {
    BOOL lossy = FALSE;
    if (!text.empty())
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0,
                          nullptr, &lossy);
    if (lossy) encoding = teUTF8;
  }
  return text;
}

// No more than LoadFromStream takes back.
static RawByteString BytesForSaving(const String& text, TTextEncoding encoding) {
  RawByteString bytes = EncodeText(text, encoding, true);
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) throw EIniFileException(L"INI text too large");
  return bytes;
}

void TMemIniFile::SaveToStream(TStream* stream) {
  TTextEncoding enc;
  const String text = TextForSaving(enc);
  const RawByteString bytes = BytesForSaving(text, enc);
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
}

void TMemIniFile::UpdateFile() {
  if (FileName().empty()) return;
  TTextEncoding enc;
  const String text = TextForSaving(enc);
  const RawByteString bytes = BytesForSaving(text, enc);
  TFileStream* stream = Make<TFileStream>(FileName(), fmCreate);
  try {
    if (!bytes.empty()) stream->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
  } catch (...) {
    TObject::Free(stream);
    throw;
  }
  TObject::Free(stream);
}

void TMemIniFile::Rename(const String& fileName, bool reload) {
  SetFileName(fileName);
  if (reload) LoadFile();
}

bool TMemIniFile::CaseSensitive() const { return data_->CaseSensitive; }

void TMemIniFile::SetCaseSensitive(bool value) {
  if (data_->CaseSensitive == value) return;
  data_->CaseSensitive = value;
  data_->Reindex();
}

bool TMemIniFile::SectionExists(const String& section) { return data_->Find(section) != nullptr; }

bool TMemIniFile::ValueExists(const String& section, const String& ident) {
  return data_->FindKey(data_->Find(section), ident) != nullptr;
}

String TMemIniFile::ReadString(const String& section, const String& ident, const String& def) {
  const IniEntry* e = data_->FindKey(data_->Find(section), ident);
  return e ? e->Value : def;
}

void TMemIniFile::WriteString(const String& section, const String& ident, const String& value) {
  IniSection* sec = data_->FindOrAdd(section);
  if (IniEntry* e = data_->FindKey(sec, ident))
    e->Value = value;
  else
    data_->AddKey(sec, ident, value);
}

void TMemIniFile::ReadSection(const String& section, TStrings* strings) {
  strings->BeginUpdate();
  try {
    strings->Clear();
    if (IniSection* sec = data_->Find(section))
      for (const IniEntry& e : sec->Entries)
        if (e.IsKey) strings->Add(e.Name);
  } catch (...) {
    strings->EndUpdate();
    throw;
  }
  strings->EndUpdate();
}

void TMemIniFile::ReadSections(TStrings* strings) {
  strings->BeginUpdate();
  try {
    strings->Clear();
    for (const auto& sec : data_->Sections) strings->Add(sec->Name);
  } catch (...) {
    strings->EndUpdate();
    throw;
  }
  strings->EndUpdate();
}

void TMemIniFile::ReadSectionValues(const String& section, TStrings* strings) {
  strings->BeginUpdate();
  try {
    strings->Clear();
    if (IniSection* sec = data_->Find(section))
      for (const IniEntry& e : sec->Entries)
        if (e.IsKey) strings->Add(e.Name + L"=" + e.Value);
  } catch (...) {
    strings->EndUpdate();
    throw;
  }
  strings->EndUpdate();
}

void TMemIniFile::EraseSection(const String& section) {
  const auto it = data_->Index.find(data_->Fold(section));
  if (it == data_->Index.end()) return;
  data_->Sections.erase(data_->Sections.begin() + it->second);
  data_->Reindex();
}

void TMemIniFile::DeleteKey(const String& section, const String& ident) {
  IniSection* sec = data_->Find(section);
  if (!sec) return;
  const auto it = sec->Keys.find(data_->Fold(ident));
  if (it == sec->Keys.end()) return;
  sec->Entries.erase(sec->Entries.begin() + it->second);
  data_->ReindexKeys(*sec);
}

// ---------------------------------------------------------------------------
// TIniFile
// ---------------------------------------------------------------------------

TIniFile::TIniFile(const String& fileName) : TCustomIniFile(fileName) {
  mem_ = Make<TMemIniFile>(fileName);
  stamp_ = CurrentStamp();
}

TIniFile::~TIniFile() { FreeAndNil(mem_); }

TIniFile::Stamp TIniFile::CurrentStamp() const {
  Stamp s;
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (FileName().empty() || !GetFileAttributesExW(FileName().c_str(), GetFileExInfoStandard, &info)) return s;
  s.Exists = true;
  s.WriteTime = (UInt64(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
  s.Size = (UInt64(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return s;
}

TMemIniFile* TIniFile::Fresh() {
  const Stamp now = CurrentStamp();
  if (!(now == stamp_)) {
    mem_->Rename(FileName(), true);
    stamp_ = now;
  }
  return mem_;
}

void TIniFile::Store() {
  try {
    mem_->UpdateFile();
  } catch (EIniFileException&) {
    stamp_ = Stamp{false, ~UInt64(0), 0};  // memory and file differ: read the file again next time
    throw;
  } catch (Exception&) {
    stamp_ = Stamp{false, ~UInt64(0), 0};
    throw EIniFileException(L"Unable to write to " + FileName());
  }
  stamp_ = CurrentStamp();
}

bool TIniFile::SectionExists(const String& section) { return Fresh()->SectionExists(section); }

bool TIniFile::ValueExists(const String& section, const String& ident) {
  return Fresh()->ValueExists(section, ident);
}

String TIniFile::ReadString(const String& section, const String& ident, const String& def) {
  return Fresh()->ReadString(section, ident, def);
}

void TIniFile::WriteString(const String& section, const String& ident, const String& value) {
  Fresh()->WriteString(section, ident, value);
  Store();
}

void TIniFile::ReadSection(const String& section, TStrings* strings) { Fresh()->ReadSection(section, strings); }

void TIniFile::ReadSections(TStrings* strings) { Fresh()->ReadSections(strings); }

void TIniFile::ReadSectionValues(const String& section, TStrings* strings) {
  Fresh()->ReadSectionValues(section, strings);
}

void TIniFile::EraseSection(const String& section) {
  TMemIniFile* mem = Fresh();
  if (!mem->SectionExists(section)) return;
  mem->EraseSection(section);
  Store();
}

void TIniFile::DeleteKey(const String& section, const String& ident) {
  TMemIniFile* mem = Fresh();
  if (!mem->ValueExists(section, ident)) return;
  mem->DeleteKey(section, ident);
  Store();
}

void TIniFile::UpdateFile() {}
