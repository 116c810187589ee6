#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/IniFiles.h"
#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

// GCC 12 misreads the inlined copy of a one-character wide literal in the
// line-ending table below as out of bounds; the strings are fine.
#pragma GCC diagnostic ignored "-Warray-bounds"
#pragma GCC diagnostic ignored "-Wstringop-overread"
#include <vector>

namespace {

struct Freer {
  void operator()(TObject* o) const { TObject::Free(o); }
};
template <class T>
using Owned = std::unique_ptr<T, Freer>;

using Lines = std::vector<String>;

Lines LinesOf(TStrings& s) {
  Lines out;
  for (int i = 0; i < s.Count(); ++i) out.push_back(s.Get(i));
  return out;
}

std::string Utf8(const String& s) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// An INI file in memory loaded from raw bytes, as from a file.
Owned<TMemIniFile> IniFromBytes(const std::string& bytes) {
  Owned<TMemIniFile> ini(Make<TMemIniFile>(String()));
  TMemoryStream stream;
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
  stream.SetPosition(0);
  ini->LoadFromStream(&stream);
  return ini;
}

std::string FileBytes(const String& file) {
  TFileStream stream(file, fmOpenRead | fmShareDenyNone);
  std::string out(static_cast<size_t>(stream.Size()), '\0');
  if (!out.empty()) stream.ReadBuffer(out.data(), static_cast<int>(out.size()));
  return out;
}

void WriteFileBytes(const String& file, const std::string& bytes) {
  TFileStream stream(file, fmCreate);
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
}

// A file name in the temp folder that no file has at the start of the test,
// removed at its end. A count tells the tests of one process apart; a file
// an earlier process of the same id left behind is removed first.
class IniFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    static int made = 0;
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    file_ = String(dir) + L"lanze-ini-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++made) + L"-配置.ini";
    DeleteFileW(file_.c_str());
  }
  void TearDown() override { DeleteFileW(file_.c_str()); }
  String file_;
};

}  // namespace

TEST(IniFilesParse, MessyInputKeepsTheKeyValueStructure) {
  const std::string text =
      "\xEF\xBB\xBF"                 // UTF-8 byte-order mark
      "orphan=before any section\r\n"
      "; a comment\n"
      "  [ Main ]  \r\n"
      "  Width =  10  \r"
      "width=20\n"                   // repeated key: the first one counts
      "noequals\r\n"
      "; Hidden=1\n"
      "Empty=\n"
      "=nameless\n"
      "Caption=a=b\n"
      "\n"
      "[其他]\n"
      "名称=岚泽\n"
      "[main]\n"                     // the same section again adds to the first
      "Extra=1\n"
      "[\n"                          // not a section header
      "[]\n"
      "k=v\n";
  auto ini = IniFromBytes(text);
  struct Case {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"Main", L"Width", L"10"},     {L"MAIN", L"WIDTH", L"10"},   {L"Main", L"Empty", L""},
      {L"Main", L"", L"nameless"},    {L"Main", L"Caption", L"a=b"}, {L"Main", L"noequals", L"<def>"},
      {L"Main", L"; Hidden", L"<def>"}, {L"其他", L"名称", L"岚泽"},  {L"Main", L"Extra", L"1"},
      {L"Main", L"[", L"<def>"},      {L"", L"k", L"v"},            {L"", L"orphan", L"<def>"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ini->ReadString(c.section, c.key, L"<def>"), c.expected) << Utf8(c.section) << "/" << Utf8(c.key);

  TStringList sections;
  ini->ReadSections(&sections);
  EXPECT_EQ(LinesOf(sections), (Lines{L"Main", L"其他", L""}));
  TStringList keys;
  ini->ReadSection(L"main", &keys);
  EXPECT_EQ(LinesOf(keys), (Lines{L"Width", L"width", L"Empty", L"", L"Caption", L"Extra"}));
  EXPECT_TRUE(ini->ValueExists(L"Main", L"Empty"));
  EXPECT_FALSE(ini->ValueExists(L"Main", L"noequals"));
  EXPECT_TRUE(ini->SectionExists(L"其他"));
  EXPECT_FALSE(ini->SectionExists(L"Other"));
}

TEST(IniFilesParse, LineEndsAndEncodingsReadTheSame) {
  const std::string variants[] = {
      "[S]\r\nA=1\r\nB=\xE5\xB2\x9A\r\n",
      "[S]\nA=1\nB=\xE5\xB2\x9A",
      "[S]\rA=1\rB=\xE5\xB2\x9A\r",
      "\xEF\xBB\xBF[S]\nA=1\nB=\xE5\xB2\x9A\n",
      std::string("\xFF\xFE[\0S\0]\0\n\0A\0=\0" "1\0\n\0B\0=\0\x9A\x5C", 24),
  };
  for (const std::string& v : variants) {
    auto ini = IniFromBytes(v);
    EXPECT_EQ(ini->ReadString(L"S", L"A", L""), L"1");
    EXPECT_EQ(ini->ReadString(L"S", L"B", L""), L"岚");
  }
}

TEST(IniFilesParse, UntrustedBytesNeverBreakLoading) {
  std::uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<char>(seed >> 16);
  };
  const char alphabet[] = "[]=;\r\n \t\xE5\xB2\x9A\xFF\xFE\xEF\xBB\xBF\x80\xC0" "ab";
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    const int size = round * 7 % 600;
    for (int i = 0; i < size; ++i) {
      const char c = next();
      bytes.push_back(round % 2 ? c : alphabet[static_cast<unsigned char>(c) % (sizeof alphabet - 1)]);
    }
    auto ini = IniFromBytes(bytes);
    TStringList sections, lines;
    ini->ReadSections(&sections);
    for (int i = 0; i < sections.Count(); ++i) ini->ReadSectionValues(sections.Get(i), &lines);
    ini->GetStrings(&lines);
  }
  // One huge line, and a NUL in the middle of a value.
  std::string huge = "[S]\nK=";
  huge.append(4 * 1024 * 1024, 'x');
  huge += std::string("\nN=a\0b\n", 7);
  auto ini = IniFromBytes(huge);
  EXPECT_EQ(ini->ReadString(L"S", L"K", L"").size(), 4u * 1024 * 1024);
  EXPECT_EQ(ini->ReadString(L"S", L"N", L""), String(L"a\0b", 3));
}

TEST(IniFilesValues, TypedReadsTable) {
  auto ini = IniFromBytes(
      "[V]\n"
      "dec=12\nneg=-5\nhex1=0x1F\nhex2=$ff\nallbits=$FFFFFFFF\nbig=99999999999\nword=abc\nempty=\n"
      "one=1\nzero=0\ntwo=2\n"
      "float=1.25\ncomma=2,5\nsci=1e3\nbadfloat=1.2.3\n"
      "date=2024-02-29\ndatetime=2024-02-29 13:45:10\ntime=06:30\nbaddate=2023-02-29\n");
  struct IntCase {
    const wchar_t* key;
    int expected;
  };
  for (const IntCase& c : {IntCase{L"dec", 12}, {L"neg", -5}, {L"hex1", 31}, {L"hex2", 255}, {L"allbits", -1},
                           {L"big", 7}, {L"word", 7}, {L"empty", 7}, {L"missing", 7}})
    EXPECT_EQ(ini->ReadInteger(L"V", c.key, 7), c.expected) << Utf8(c.key);
  struct BoolCase {
    const wchar_t* key;
    bool def;
    bool expected;
  };
  for (const BoolCase& c : {BoolCase{L"one", false, true}, {L"zero", true, false}, {L"two", false, true},
                            {L"word", true, true}, {L"word", false, false}, {L"missing", true, true}})
    EXPECT_EQ(ini->ReadBool(L"V", c.key, c.def), c.expected) << Utf8(c.key);
  struct FloatCase {
    const wchar_t* key;
    double expected;
  };
  for (const FloatCase& c : {FloatCase{L"float", 1.25}, {L"comma", 2.5}, {L"sci", 1000}, {L"badfloat", -1},
                             {L"word", -1}, {L"empty", -1}})
    EXPECT_EQ(ini->ReadFloat(L"V", c.key, -1), c.expected) << Utf8(c.key);
  const double feb29 = 45351;  // 2024-02-29
  EXPECT_EQ(ini->ReadDate(L"V", L"date", 0), feb29);
  EXPECT_NEAR(ini->ReadDateTime(L"V", L"datetime", 0), feb29 + (13 * 3600 + 45 * 60 + 10) / 86400.0, 1e-9);
  EXPECT_EQ(ini->ReadDate(L"V", L"datetime", 0), feb29);
  EXPECT_NEAR(ini->ReadTime(L"V", L"time", 0), 6.5 / 24, 1e-9);
  EXPECT_EQ(ini->ReadDate(L"V", L"baddate", -1), -1);
}

TEST(IniFilesValues, WrittenValuesReadBack) {
  TMemIniFile ini{String()};
  ini.WriteInteger(L"W", L"Int", -42);
  ini.WriteBool(L"W", L"True", true);
  ini.WriteBool(L"W", L"False", false);
  const double values[] = {0.1, 1.0 / 3, -2.5e-300, 123456789.125};
  for (int i = 0; i < 4; ++i) ini.WriteFloat(L"W", L"F" + std::to_wstring(i), values[i]);
  const TDateTime moment = 45351 + (13 * 3600 + 45 * 60 + 10) / 86400.0;
  ini.WriteDateTime(L"W", L"DT", moment);
  ini.WriteDate(L"W", L"D", moment);
  ini.WriteTime(L"W", L"T", moment);
  ini.WriteDateTime(L"W", L"Old", -1.25);  // 1899-12-29 06:00
  EXPECT_EQ(ini.ReadString(L"W", L"Int", L""), L"-42");
  EXPECT_EQ(ini.ReadString(L"W", L"True", L""), L"1");
  EXPECT_EQ(ini.ReadString(L"W", L"False", L""), L"0");
  // In the user's format, and exact.
  EXPECT_EQ(ini.ReadString(L"W", L"F0", L""), FloatToStr(0.1));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(ini.ReadFloat(L"W", L"F" + std::to_wstring(i), 0), values[i]) << i;
  EXPECT_EQ(ini.ReadString(L"W", L"DT", L""), DateTimeToStr(moment));
  EXPECT_EQ(ini.ReadString(L"W", L"D", L""), DateToStr(moment));
  EXPECT_NEAR(ini.ReadDateTime(L"W", L"DT", 0), moment, 1e-6);
  EXPECT_EQ(ini.ReadDate(L"W", L"D", 0), 45351);
  EXPECT_NEAR(ini.ReadTime(L"W", L"T", 0), moment - 45351, 1e-6);
  EXPECT_NEAR(ini.ReadDateTime(L"W", L"Old", 0), -1.25, 1e-6);
}

TEST(IniFilesValues, BinaryStreamsAsHexPairs) {
  TMemIniFile ini{String()};
  TMemoryStream source;
  const unsigned char bytes[] = {0x00, 0x05, 0xAB, 0xFF, 0x7E};
  source.WriteBuffer(bytes, sizeof bytes);
  source.SetPosition(1);  // from the position to the end
  ini.WriteBinaryStream(L"B", L"Data", &source);
  EXPECT_EQ(source.Position(), 1);
  EXPECT_EQ(ini.ReadString(L"B", L"Data", L""), L"05ABFF7E");

  TMemoryStream dest;
  dest.WriteBuffer("xy", 2);
  EXPECT_EQ(ini.ReadBinaryStream(L"B", L"Data", &dest), 4);
  EXPECT_EQ(dest.Position(), 2);
  EXPECT_EQ(dest.Size(), 6);
  EXPECT_EQ(std::memcmp(static_cast<char*>(dest.Memory()) + 2, bytes + 1, 4), 0);

  ini.WriteString(L"B", L"Broken", L"0a0G11");
  TMemoryStream partial;
  EXPECT_EQ(ini.ReadBinaryStream(L"B", L"Broken", &partial), 1);  // stops at the bad pair
  EXPECT_EQ(ini.ReadBinaryStream(L"B", L"Missing", &partial), 0);
  EXPECT_EQ(partial.Size(), 1);
}

TEST(IniFilesValues, SectionEditing) {
  auto ini = IniFromBytes("[A]\nx=1\ny=2\nx=3\n[B]\nz=1\n");
  TStringList values;
  ini->ReadSectionValues(L"A", &values);
  EXPECT_EQ(LinesOf(values), (Lines{L"x=1", L"y=2", L"x=3"}));
  ini->WriteString(L"a", L"X", L"9");  // writes the first of the repeated keys
  ini->DeleteKey(L"A", L"y");
  ini->DeleteKey(L"A", L"nothing");
  ini->DeleteKey(L"Nothing", L"x");
  ini->ReadSectionValues(L"A", &values);
  EXPECT_EQ(LinesOf(values), (Lines{L"x=9", L"x=3"}));
  ini->DeleteKey(L"A", L"x");  // the repeated key now shows
  EXPECT_EQ(ini->ReadString(L"A", L"x", L""), L"3");
  ini->EraseSection(L"a");
  ini->EraseSection(L"missing");
  TStringList sections;
  ini->ReadSections(&sections);
  EXPECT_EQ(LinesOf(sections), Lines{L"B"});
  EXPECT_EQ(ini->ReadString(L"B", L"z", L""), L"1");
  ini->ReadSectionValues(L"A", &values);
  EXPECT_EQ(values.Count(), 0);
}

TEST(IniFilesValues, CaseSensitiveNames) {
  auto ini = IniFromBytes("[S]\nKey=upper\n[s]\nkey=lower\n");
  EXPECT_EQ(ini->ReadString(L"s", L"KEY", L""), L"upper");  // merged: [s] adds to [S]
  ini->SetCaseSensitive(true);
  EXPECT_EQ(ini->ReadString(L"S", L"key", L"-"), L"lower");
  EXPECT_EQ(ini->ReadString(L"S", L"KEY", L"-"), L"-");
  ini->WriteString(L"s", L"Key", L"new");
  EXPECT_TRUE(ini->SectionExists(L"s"));
  EXPECT_EQ(ini->ReadString(L"S", L"Key", L""), L"upper");
}

TEST_F(IniFilesTest, UpdateFileRoundTripInUtf8) {
  WriteFileBytes(file_, "; layout of the main window\r\n[Main]\r\nVersion=50\r\n; keep me\r\n");
  {
    TMemIniFile ini(file_);
    EXPECT_EQ(ini.ReadInteger(L"Main", L"Version", 0), 50);
    ini.WriteString(L"Main", L"Caption", L"岚泽家具生产设计系统");
    ini.WriteString(L"工具栏", L"名称", L" 标准 ");
    ini.UpdateFile();
  }
  EXPECT_EQ(FileBytes(file_),
            "\xEF\xBB\xBF; layout of the main window\r\n\r\n[Main]\r\nVersion=50\r\n; keep me\r\nCaption="
            "\xE5\xB2\x9A\xE6\xB3\xBD\xE5\xAE\xB6\xE5\x85\xB7\xE7\x94\x9F\xE4\xBA\xA7\xE8\xAE\xBE\xE8\xAE\xA1"
            "\xE7\xB3\xBB\xE7\xBB\x9F\r\n\r\n[\xE5\xB7\xA5\xE5\x85\xB7\xE6\xA0\x8F]\r\n\xE5\x90\x8D\xE7\xA7\xB0= "
            "\xE6\xA0\x87\xE5\x87\x86 \r\n\r\n");
  TMemIniFile back(file_);
  EXPECT_EQ(back.ReadString(L"Main", L"Caption", L""), L"岚泽家具生产设计系统");
  EXPECT_EQ(back.ReadString(L"工具栏", L"名称", L""), L"标准");  // values are trimmed on reading
}

TEST_F(IniFilesTest, AnsiFileGainingChineseIsWrittenAsUtf8) {
  WriteFileBytes(file_, "[S]\r\nName=caf\xE9\r\n");
  TMemIniFile ini(file_);
  EXPECT_EQ(ini.Encoding(), teANSI);
  // Outside every ANSI code page the program meets, Chinese ones included.
  const String text = L"岚泽 \U0001F600";
  ini.WriteString(L"S", L"Chinese", text);
  ini.UpdateFile();
  TMemIniFile back(file_);
  EXPECT_EQ(back.Encoding(), teUTF8);
  EXPECT_EQ(back.ReadString(L"S", L"Chinese", L""), text);
  EXPECT_EQ(back.ReadString(L"S", L"Name", L""), ini.ReadString(L"S", L"Name", L"-"));
}

TEST_F(IniFilesTest, TextThatWouldNotReadBackIsRefusedBeforeTheFileIsTouched) {
  const std::string original = "[S]\r\nA=1\r\n";
  struct Case {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* value;
  };
  const Case cases[] = {
      {L"S", L"K", L"line\r\n[Injected]"}, {L"S", L"K", L"a\nb"}, {L"S", L"a=b", L"c"},
      {L"S", L";K", L"v"},                 {L"S", L"[K", L"v]"},  {L"New\nSection", L"K", L"v"},
  };
  for (const Case& c : cases) {
    WriteFileBytes(file_, original);
    TMemIniFile ini(file_);
    ini.WriteString(c.section, c.key, c.value);
    EXPECT_EQ(ini.ReadString(c.section, c.key, L""), c.value);  // fine in memory
    EXPECT_THROW(ini.UpdateFile(), EIniFileException) << Utf8(c.key) << "=" << Utf8(c.value);
    EXPECT_EQ(FileBytes(file_), original);
  }
}

TEST_F(IniFilesTest, StringsAndStreams) {
  TMemIniFile ini{String()};
  TStringList lines;
  lines.SetText(L"[A]\nx = 1\n[B]\ny=2");
  ini.SetStrings(&lines);
  ini.WriteString(L"B", L"z", L"3");
  TStringList out;
  ini.GetStrings(&out);
  EXPECT_EQ(LinesOf(out), (Lines{L"[A]", L"x=1", L"", L"[B]", L"y=2", L"z=3", L""}));
  TMemoryStream stream;
  ini.SaveToStream(&stream);
  stream.SetPosition(0);
  TMemIniFile copy{String()};
  copy.LoadFromStream(&stream);
  EXPECT_EQ(copy.ReadString(L"B", L"z", L""), L"3");
  // Without a file name UpdateFile writes nothing; Rename gives it one.
  ini.UpdateFile();
  ini.Rename(file_, false);
  ini.UpdateFile();
  TMemIniFile fromFile(file_);
  EXPECT_EQ(fromFile.ReadString(L"A", L"x", L""), L"1");
  ini.Rename(file_ + L".missing", true);  // reloading from a missing file empties it
  TStringList sections;
  ini.ReadSections(&sections);
  EXPECT_EQ(sections.Count(), 0);
}

TEST_F(IniFilesTest, IniFileWritesThroughAndSeesOtherWriters) {
  {
    TIniFile ini(file_);
    EXPECT_EQ(ini.ReadString(L"S", L"K", L"def"), L"def");
    ini.WriteString(L"S", L"K", L"岚泽");
    TMemIniFile check(file_);  // on disk at once
    EXPECT_EQ(check.ReadString(L"S", L"K", L""), L"岚泽");

    TMemIniFile other(file_);
    other.WriteString(L"S", L"Other", L"from elsewhere, longer");
    other.UpdateFile();
    EXPECT_EQ(ini.ReadString(L"S", L"Other", L""), L"from elsewhere, longer");
    ini.WriteInteger(L"S", L"N", 5);  // keeps what the other writer added
    ini.DeleteKey(L"S", L"K");
    ini.EraseSection(L"Nothing");
  }
  TMemIniFile back(file_);
  EXPECT_EQ(back.ReadString(L"S", L"Other", L""), L"from elsewhere, longer");
  EXPECT_EQ(back.ReadInteger(L"S", L"N", 0), 5);
  EXPECT_FALSE(back.ValueExists(L"S", L"K"));

  TIniFile bad(file_ + L"\\not-a-folder\\x.ini");
  try {
    bad.WriteString(L"S", L"K", L"v");
    ADD_FAILURE() << "write to an impossible path succeeded";
  } catch (EIniFileException& e) {
    EXPECT_EQ(e.Message.rfind(L"Unable to write to ", 0), 0u) << Utf8(e.Message);
  }
}
