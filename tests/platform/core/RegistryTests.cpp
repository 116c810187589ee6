#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Registry.h"
#include "platform/core/Streams.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<String>;

Lines LinesOf(TStrings& s) {
  Lines out;
  for (int i = 0; i < s.Count(); ++i) out.push_back(s.Get(i));
  return out;
}

Lines Sorted(TStrings& s) {
  TStringList copy;
  copy.Assign(&s);
  copy.Sort();
  return LinesOf(copy);
}

std::string Utf8(const String& s) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// Every test works below HKCU\Software\<a fresh GUID>, erased afterwards.
class RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    GUID guid;
    CoCreateGuid(&guid);
    wchar_t text[64];
    StringFromGUID2(guid, text, 64);
    base_ = String(L"Software\\LanzeTest-") + text;
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, base_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, base_.c_str());
    HKEY k;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, base_.c_str(), 0, KEY_READ, &k), ERROR_SUCCESS) << "test key left behind";
  }
  // The raw type and size of a value, read past the class under test.
  std::pair<DWORD, DWORD> RawType(const String& subKey, const String& name) {
    DWORD type = 0, size = 0;
    const String path = base_ + (subKey.empty() ? L"" : L"\\" + subKey);
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                     &size) != ERROR_SUCCESS)
      return {0xFFFFFFFF, 0};
    return {type, size};
  }
  String base_;
};

}  // namespace

TEST_F(RegistryTest, EveryValueKindRoundTrips) {
  TRegistry reg;
  EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
  ASSERT_TRUE(reg.OpenKey(base_, true));
  EXPECT_EQ(reg.CurrentPath(), base_);
  const unsigned char blob[] = {1, 2, 0, 255};
  reg.WriteString(L"Str", L"岚泽家具");
  reg.WriteString(L"EmptyStr", L"");
  reg.WriteExpandString(L"Exp", L"%TEMP%\\x");
  reg.WriteInteger(L"Int", -7);
  reg.WriteBool(L"Bool", true);
  reg.WriteFloat(L"Float", 2.5);
  reg.WriteDateTime(L"When", 45351.75);
  reg.WriteBinaryData(L"Bin", blob, sizeof blob);

  struct Case {
    const wchar_t* name;
    TRegDataType type;
    int size;
  };
  for (const Case& c : {Case{L"Str", rdString, 10}, {L"EmptyStr", rdString, 2}, {L"Exp", rdExpandString, 18},
                        {L"Int", rdInteger, 4}, {L"Bool", rdInteger, 4}, {L"Float", rdBinary, 8},
                        {L"When", rdBinary, 8}, {L"Bin", rdBinary, 4}, {L"Missing", rdUnknown, -1}}) {
    EXPECT_EQ(reg.GetDataType(c.name), c.type) << Utf8(c.name);
    EXPECT_EQ(reg.GetDataSize(c.name), c.size) << Utf8(c.name);
    EXPECT_EQ(reg.ValueExists(c.name), c.size >= 0) << Utf8(c.name);
  }
  EXPECT_EQ(reg.ReadString(L"Str"), L"岚泽家具");
  EXPECT_EQ(reg.ReadString(L"EmptyStr"), L"");
  EXPECT_EQ(reg.ReadString(L"Missing"), L"");
  EXPECT_EQ(reg.ReadExpandString(L"Exp"), L"%TEMP%\\x");  // not expanded
  EXPECT_EQ(reg.ReadInteger(L"Int"), -7);
  EXPECT_TRUE(reg.ReadBool(L"Bool"));
  EXPECT_EQ(reg.ReadFloat(L"Float"), 2.5);
  EXPECT_EQ(reg.ReadDateTime(L"When"), 45351.75);
  unsigned char buf[8] = {};
  EXPECT_EQ(reg.ReadBinaryData(L"Bin", buf, sizeof buf), 4);
  EXPECT_EQ(std::memcmp(buf, blob, 4), 0);
  EXPECT_EQ(reg.ReadBinaryData(L"Missing", buf, sizeof buf), 0);

  TStringList names;
  reg.GetValueNames(&names);
  EXPECT_EQ(Sorted(names), (Lines{L"Bin", L"Bool", L"EmptyStr", L"Exp", L"Float", L"Int", L"Str", L"When"}));
  EXPECT_TRUE(reg.DeleteValue(L"Int"));
  EXPECT_FALSE(reg.DeleteValue(L"Int"));
  EXPECT_FALSE(reg.ValueExists(L"Int"));
}

TEST_F(RegistryTest, ErrorsNameTheValue) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(base_, true));
  reg.WriteString(L"S", L"text");
  reg.WriteInteger(L"I", 1);
  const unsigned char big[16] = {};
  reg.WriteBinaryData(L"B", big, sizeof big);
  struct Case {
    const char* what;
    std::function<void()> op;
    const wchar_t* message;
  };
  unsigned char small[4];
  const Case cases[] = {
      {"ReadInteger missing", [&] { reg.ReadInteger(L"Missing"); }, L"Failed to get data for 'Missing'"},
      {"ReadInteger of string", [&] { reg.ReadInteger(L"S"); }, L"Invalid data type for 'S'"},
      {"ReadString of integer", [&] { reg.ReadString(L"I"); }, L"Invalid data type for 'I'"},
      {"ReadFloat of integer", [&] { reg.ReadFloat(L"I"); }, L"Invalid data type for 'I'"},
      {"ReadFloat of 16 bytes", [&] { reg.ReadFloat(L"B"); }, L"Invalid data type for 'B'"},
      {"ReadBool missing", [&] { reg.ReadBool(L"Missing"); }, L"Failed to get data for 'Missing'"},
      {"ReadBinaryData too small", [&] { reg.ReadBinaryData(L"B", small, sizeof small); },
       L"Invalid data type for 'B'"},
      {"ReadBinaryData of string", [&] { reg.ReadBinaryData(L"S", small, sizeof small); },
       L"Invalid data type for 'S'"},
  };
  for (const Case& c : cases) {
    try {
      c.op();
      ADD_FAILURE() << c.what << " did not raise";
    } catch (ERegistryException& e) {
      EXPECT_EQ(e.Message, c.message) << c.what;
    }
  }
  reg.CloseKey();
  try {
    reg.WriteInteger(L"NoKey", 1);
    ADD_FAILURE() << "a write without an open key succeeded";
  } catch (ERegistryException& e) {
    EXPECT_EQ(e.Message, L"Failed to set data for 'NoKey'");
  }
}

TEST_F(RegistryTest, PathsRelativeAndAbsolute) {
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKey(base_ + L"\\A", false));  // nothing is created without canCreate
  EXPECT_FALSE(reg.KeyExists(base_));
  ASSERT_TRUE(reg.CreateKey(base_ + L"\\A\\B"));
  EXPECT_EQ(reg.CurrentKey(), nullptr);
  ASSERT_TRUE(reg.OpenKey(L"\\" + base_ + L"\\", false));  // leading and trailing separators
  EXPECT_EQ(reg.CurrentPath(), base_);
  EXPECT_TRUE(reg.KeyExists(L"A\\B"));  // relative to the open key
  EXPECT_TRUE(reg.HasSubKeys());
  ASSERT_TRUE(reg.OpenKey(L"A", false));
  EXPECT_EQ(reg.CurrentPath(), base_ + L"\\A");
  EXPECT_TRUE(reg.KeyExists(L"\\" + base_ + L"\\A"));  // absolute from the root
  ASSERT_TRUE(reg.OpenKeyReadOnly(L"B"));
  EXPECT_EQ(reg.CurrentPath(), base_ + L"\\A\\B");
  EXPECT_EQ(reg.Access(), static_cast<REGSAM>(KEY_ALL_ACCESS));
  EXPECT_THROW(reg.WriteString(L"x", L"y"), ERegistryException);  // opened read-only
  reg.CloseKey();
  EXPECT_EQ(reg.CurrentPath(), L"");
  reg.OpenKey(base_, false);
  TStringList keys;
  reg.GetKeyNames(&keys);
  EXPECT_EQ(LinesOf(keys), Lines{L"A"});
}

TEST_F(RegistryTest, DeleteKeyRemovesTheWholeTreeButNeverTheRoot) {
  TRegistry reg;
  for (const wchar_t* sub : {L"\\T\\a\\b\\c", L"\\T\\a\\d", L"\\T\\e"}) {
    ASSERT_TRUE(reg.OpenKey(L"\\" + base_ + sub, true));  // absolute: a key is open after the first
    reg.WriteString(L"v", sub);
  }
  reg.CloseKey();
  EXPECT_TRUE(reg.DeleteKey(base_ + L"\\T\\a"));
  EXPECT_FALSE(reg.KeyExists(base_ + L"\\T\\a"));
  EXPECT_TRUE(reg.KeyExists(base_ + L"\\T\\e"));
  EXPECT_FALSE(reg.DeleteKey(base_ + L"\\T\\a"));  // already gone

  // An empty path would name the root (or the open key): refused.
  ASSERT_TRUE(reg.OpenKey(base_ + L"\\T", false));
  EXPECT_FALSE(reg.DeleteKey(L""));
  EXPECT_FALSE(reg.DeleteKey(L"\\"));
  EXPECT_FALSE(reg.DeleteKey(L"\\\\"));
  EXPECT_TRUE(reg.KeyExists(L"e"));
  EXPECT_TRUE(reg.DeleteKey(L"e"));  // relative to the open key
  reg.CloseKey();
  EXPECT_TRUE(reg.KeyExists(base_ + L"\\T"));
  EXPECT_FALSE(reg.KeyExists(base_ + L"\\T\\e"));
}

TEST_F(RegistryTest, RegistryIniFileKeepsSectionsAsKeysAndValuesTyped) {
  {
    TRegistryIniFile ini(base_);
    EXPECT_EQ(ini.ReadString(L"Main", L"Missing", L"def"), L"def");
    EXPECT_EQ(ini.ReadInteger(L"Main", L"Missing", 3), 3);
    TStringList sections;
    ini.ReadSections(&sections);
    EXPECT_EQ(sections.Count(), 0);
    EXPECT_FALSE(TRegistry().KeyExists(base_)) << "reading created the key";

    ini.WriteString(L"Main", L"Caption", L"岚泽");
    ini.WriteInteger(L"Main", L"Version", 50);
    ini.WriteBool(L"Main", L"LargeIcons", true);
    ini.WriteFloat(L"Main", L"Ratio", 0.75);
    ini.WriteDateTime(L"Main", L"Saved", 45351.5);
    ini.WriteString(L"Bar0\\ItemLink0", L"ItemName", L"btnExit");
    TMemoryStream data;
    const unsigned char viewLevels[] = {0x05};
    data.WriteBuffer(viewLevels, 1);
    data.SetPosition(0);
    ini.WriteBinaryStream(L"Bar0\\ItemLink0", L"ViewLevels", &data);
  }
  struct Raw {
    const wchar_t* key;
    const wchar_t* name;
    DWORD type;
    DWORD size;
  };
  for (const Raw& r : {Raw{L"Main", L"Caption", REG_SZ, 6}, {L"Main", L"Version", REG_DWORD, 4},
                       {L"Main", L"LargeIcons", REG_DWORD, 4}, {L"Main", L"Ratio", REG_BINARY, 8},
                       {L"Main", L"Saved", REG_BINARY, 8}, {L"Bar0\\ItemLink0", L"ViewLevels", REG_BINARY, 1}}) {
    const auto [type, size] = RawType(r.key, r.name);
    EXPECT_EQ(type, r.type) << Utf8(r.name);
    EXPECT_EQ(size, r.size) << Utf8(r.name);
  }

  TRegistryIniFile ini(base_);
  EXPECT_EQ(ini.ReadString(L"Main", L"Caption", L""), L"岚泽");
  EXPECT_EQ(ini.ReadInteger(L"Main", L"Version", 0), 50);
  EXPECT_EQ(ini.ReadString(L"Main", L"Version", L""), L"50");
  EXPECT_TRUE(ini.ReadBool(L"Main", L"LargeIcons", false));
  EXPECT_EQ(ini.ReadFloat(L"Main", L"Ratio", 0), 0.75);
  EXPECT_EQ(ini.ReadDateTime(L"Main", L"Saved", 0), 45351.5);
  EXPECT_EQ(ini.ReadString(L"Bar0\\ItemLink0", L"ViewLevels", L""), L"05");  // binary reads as hex pairs
  TMemoryStream back;
  EXPECT_EQ(ini.ReadBinaryStream(L"Bar0\\ItemLink0", L"ViewLevels", &back), 1);
  EXPECT_EQ(static_cast<unsigned char*>(back.Memory())[0], 0x05);
  EXPECT_TRUE(ini.SectionExists(L"Bar0"));
  EXPECT_TRUE(ini.ValueExists(L"Main", L"Ratio"));
  EXPECT_FALSE(ini.ValueExists(L"Main", L"Nope"));

  TStringList list;
  ini.ReadSections(&list);
  EXPECT_EQ(Sorted(list), (Lines{L"Bar0", L"Main"}));
  ini.ReadSection(L"Bar0\\ItemLink0", &list);
  EXPECT_EQ(Sorted(list), (Lines{L"ItemName", L"ViewLevels"}));
  ini.ReadSectionValues(L"Bar0\\ItemLink0", &list);
  EXPECT_EQ(Sorted(list), (Lines{L"ItemName=btnExit", L"ViewLevels=05"}));

  // A value stored as a string stays a string and is read as a number.
  TRegistry reg;
  reg.OpenKey(base_ + L"\\Main", false);
  reg.WriteString(L"Hex", L"0x10");
  reg.CloseKey();
  EXPECT_EQ(ini.ReadInteger(L"Main", L"Hex", 0), 16);
  ini.WriteInteger(L"Main", L"Hex", 17);
  EXPECT_EQ(RawType(L"Main", L"Hex").first, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(ini.ReadString(L"Main", L"Hex", L""), L"17");

  ini.DeleteKey(L"Main", L"Hex");
  EXPECT_FALSE(ini.ValueExists(L"Main", L"Hex"));
  ini.EraseSection(L"Bar0");  // with its subkeys
  EXPECT_FALSE(ini.SectionExists(L"Bar0"));
  EXPECT_FALSE(ini.SectionExists(L"Bar0\\ItemLink0"));
}

TEST_F(RegistryTest, RegistryIniFileTakesAbsoluteSectionPaths) {
  // The bar layout uses "\<path>\" as base and absolute sections below it.
  const String base = L"\\" + base_ + L"\\";
  TRegistryIniFile ini(base);
  ini.WriteInteger(base, L"BarCount", 1);
  ini.WriteString(base + L"Bar0", L"Caption", L"标准");
  ini.WriteString(base + L"Bar0\\ItemLink0", L"ItemName", L"btnExit");
  EXPECT_EQ(ini.ReadInteger(base, L"BarCount", 0), 1);
  EXPECT_EQ(ini.ReadString(L"Bar0", L"Caption", L""), L"标准");  // relative to the file key
  TStringList sections;
  ini.ReadSections(&sections);
  EXPECT_EQ(LinesOf(sections), Lines{L"Bar0"});
  ini.EraseSection(base);  // the whole layout key
  EXPECT_FALSE(TRegistry().KeyExists(base_));
  EXPECT_EQ(ini.ReadString(base + L"Bar0", L"Caption", L"gone"), L"gone");
}
