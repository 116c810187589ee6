// String, integer, Boolean, code-page, hot-key, file-name and rounding routines.
// Locale-sensitive expectations come from explicit settings or hold in every
// locale the program runs in (US English and Chinese).
#include "platform/WinApi.h"
#include "platform/core/Math.h"
#include "platform/core/SysUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

std::string Narrow(const String& s) { return UTF8Encode(s); }

}  // namespace

// ---------------------------------------------------------------------------
// Integers and Booleans
// ---------------------------------------------------------------------------

TEST(SysUtilsConvert, StrToIntAcceptsThePlatformSyntax) {
  struct Case {
    const Char* text;
    int value;
  };
  const Case cases[] = {
      {L"123", 123},         {L"  123", 123},     {L"-123", -123},      {L"+5", 5},
      {L"$FF", 255},         {L"$ff", 255},       {L"0x1F", 31},        {L"X10", 16},
      {L"-$10", -16},        {L"$FFFFFFFF", -1},  {L"$80000000", INT_MIN},
      {L"2147483647", INT_MAX}, {L"-2147483648", INT_MIN}, {L"007", 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.text));
    int v = 0;
    EXPECT_TRUE(TryStrToInt(c.text, v));
    EXPECT_EQ(v, c.value);
  }
}

TEST(SysUtilsConvert, StrToIntRejectsWhatIsNoInteger) {
  for (const Char* text : {L"", L" ", L"-", L"$", L"0x", L"12 ", L"1.5", L"abc", L"2147483648", L"-2147483649",
                           L"$100000000", L"1e3", L"--1", L"\u0661"}) {
    SCOPED_TRACE(Narrow(text));
    int v = 77;
    EXPECT_FALSE(TryStrToInt(text, v));
    EXPECT_EQ(v, 77) << "a failed conversion leaves the value alone";
    EXPECT_EQ(StrToIntDef(text, -9), -9);
  }
  try {
    StrToInt(L"abc");
    FAIL() << "no exception";
  } catch (EConvertError& e) {
    EXPECT_EQ(e.Message, L"'abc' is not a valid integer value");
  }
}

TEST(SysUtilsConvert, Int64TextRoundTripsAtTheLimits) {
  EXPECT_EQ(StrToInt64(L"9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64(L"-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(StrToInt64(L"$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64(L"4294967296"), Int64(1) << 32);
  EXPECT_EQ(StrToInt64Def(L"9223372036854775808", 5), 5);
  EXPECT_THROW(StrToInt64(L"x"), EConvertError);

  EXPECT_EQ(IntToStr(INT_MIN), L"-2147483648");
  EXPECT_EQ(IntToStr(INT64_MIN), L"-9223372036854775808");
  EXPECT_EQ(IntToStr(4000000000u), L"4000000000");
  EXPECT_EQ(UIntToStr(UINT64_MAX), L"18446744073709551615");
  EXPECT_EQ(IntToHex(255, 4), L"00FF");
  EXPECT_EQ(IntToHex(-1, 2), L"FFFFFFFF");
  EXPECT_EQ(IntToHex(Int64(-1), 0), L"FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToHex(0, 0), L"0");
}

TEST(SysUtilsConvert, Booleans) {
  EXPECT_EQ(BoolToStr(true), L"-1");
  EXPECT_EQ(BoolToStr(false), L"0");
  EXPECT_EQ(BoolToStr(true, true), L"True");
  EXPECT_EQ(BoolToStr(false, true), L"False");
  EXPECT_TRUE(StrToBool(L"true"));
  EXPECT_FALSE(StrToBool(L"FALSE"));
  EXPECT_FALSE(StrToBool(L"0"));
  EXPECT_TRUE(StrToBool(L"-1"));
  EXPECT_TRUE(StrToBool(L"2"));
  EXPECT_TRUE(StrToBoolDef(L"yes", true));
  try {
    StrToBool(L"yes");
    FAIL() << "no exception";
  } catch (EConvertError& e) {
    EXPECT_EQ(e.Message, L"'yes' is not a valid boolean value");
  }
}

// ---------------------------------------------------------------------------
// Strings
// ---------------------------------------------------------------------------

TEST(SysUtilsStrings, PositionsAreOneBasedAndClamped) {
  EXPECT_EQ(Pos(L"lo", L"hello"), 4);
  EXPECT_EQ(Pos(L"x", L"hello"), 0);
  EXPECT_EQ(Pos(L"", L"hello"), 0);
  EXPECT_EQ(PosEx(L"l", L"hello", 4), 4);
  EXPECT_EQ(PosEx(L"l", L"hello", 5), 0);
  EXPECT_EQ(PosEx(L"l", L"hello", 0), 0);
  EXPECT_EQ(PosEx(L"l", L"hello", 6), 0);

  EXPECT_EQ(Copy(L"hello", 2, 3), L"ell");
  EXPECT_EQ(Copy(L"hello", 0, 2), L"he");     // index below 1 counts from 1
  EXPECT_EQ(Copy(L"hello", 4, 100), L"lo");
  EXPECT_EQ(Copy(L"hello", 6, 1), L"");
  EXPECT_EQ(Copy(L"hello", 2, -1), L"");
  EXPECT_EQ(Copy(L"hello", 3), L"llo");

  String s = L"hello";
  Delete(s, 2, 2);
  EXPECT_EQ(s, L"hlo");
  Delete(s, 0, 5);   // outside: nothing
  Delete(s, 4, 1);
  EXPECT_EQ(s, L"hlo");
  Delete(s, 2, 100);
  EXPECT_EQ(s, L"h");
  Insert(L"ey", s, 2);
  EXPECT_EQ(s, L"hey");
  Insert(L"!", s, 99);
  Insert(L">", s, -3);
  EXPECT_EQ(s, L">hey!");
}

TEST(SysUtilsStrings, TrimRemovesControlsAndBlanks) {
  EXPECT_EQ(Trim(L"\t\r\n x y \x01"), L"x y");
  EXPECT_EQ(TrimLeft(L"  x "), L"x ");
  EXPECT_EQ(TrimRight(L"  x \x1f"), L"  x");
  EXPECT_EQ(Trim(L" \u3000x"), L"\u3000x") << "only characters up to the blank";
  EXPECT_EQ(Trim(L"   "), L"");
}

TEST(SysUtilsStrings, StringReplaceFlags) {
  struct Case {
    const Char* s;
    const Char* from;
    const Char* to;
    TReplaceFlags flags;
    const Char* expected;
  };
  const Case cases[] = {
      {L"aXbXc", L"X", L"-", {}, L"a-bXc"},
      {L"aXbXc", L"X", L"-", {rfReplaceAll}, L"a-b-c"},
      {L"aXbxc", L"x", L"-", {rfReplaceAll}, L"aXb-c"},
      {L"aXbxc", L"x", L"-", {rfReplaceAll, rfIgnoreCase}, L"a-b-c"},
      {L"\u00c4rger \u00e4rger", L"\u00e4", L"a", {rfReplaceAll, rfIgnoreCase}, L"arger arger"},
      {L"aa", L"a", L"aa", {rfReplaceAll}, L"aaaa"},    // the replacement is not searched again
      {L"abc", L"", L"x", {rfReplaceAll}, L"abc"},
      {L"abc", L"abcd", L"x", {rfReplaceAll}, L"abc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.s) + " / " + Narrow(c.from));
    EXPECT_EQ(StringReplace(c.s, c.from, c.to, c.flags), c.expected);
  }
}

TEST(SysUtilsStrings, Quoting) {
  EXPECT_EQ(QuotedStr(L"it's"), L"'it''s'");
  EXPECT_EQ(AnsiQuotedStr(L"say \"hi\"", L'"'), L"\"say \"\"hi\"\"\"");

  struct Case {
    const Char* text;
    const Char* expected;
  };
  const Case dequoted[] = {
      {L"'it''s'", L"it's"}, {L"'abc'def", L"abc"}, {L"''", L""},
      {L"'abc", L"'abc"},    // no closing quote: unchanged
      {L"abc", L"abc"},      {L"", L""},
  };
  for (const Case& c : dequoted) {
    SCOPED_TRACE(Narrow(c.text));
    EXPECT_EQ(AnsiDequotedStr(c.text, L'\''), c.expected);
  }

  const Char* text = L"'a''b' rest";
  const Char* p = text;
  EXPECT_EQ(AnsiExtractQuotedStr(p, L'\''), L"a'b");
  EXPECT_EQ(String(p), L" rest");
  EXPECT_EQ(AnsiExtractQuotedStr(p, L'\''), L"");
  EXPECT_EQ(String(p), L" rest") << "not at a quote: the pointer stays";
}

TEST(SysUtilsStrings, DelimitersRepeatsAndLineBreaks) {
  EXPECT_EQ(LastDelimiter(L"\\.", L"c:\\a.b\\c.txt"), 9);
  EXPECT_EQ(LastDelimiter(L";", L"abc"), 0);
  EXPECT_TRUE(IsDelimiter(L",;", L"a;b", 2));
  EXPECT_FALSE(IsDelimiter(L",;", L"a;b", 1));
  EXPECT_FALSE(IsDelimiter(L",;", L"a;b", 4));
  EXPECT_EQ(StringOfChar(L'-', 3), L"---");
  EXPECT_EQ(StringOfChar(L'-', -1), L"");
  EXPECT_EQ(DupeString(L"ab", 3), L"ababab");
  EXPECT_EQ(AdjustLineBreaks(L"a\rb\nc\r\nd\n\re\r\r"), L"a\r\nb\r\nc\r\nd\r\ne\r\n\r\n");
  EXPECT_EQ(AdjustLineBreaks(L"a\r\nb\rc", tlbsLF), L"a\nb\nc");
  EXPECT_EQ(StrLen(nullptr), 0u);
  EXPECT_EQ(StrLen(L"abc"), 3u);
  EXPECT_EQ(WideCharLenToString(L"abcdef", 3), L"abc");
}

TEST(SysUtilsStrings, CaseMapping) {
  EXPECT_EQ(UpperCase(L"ab\u00e4z"), L"AB\u00e4Z") << "ASCII only";
  EXPECT_EQ(LowerCase(L"AB\u00c4Z"), L"ab\u00c4z");
  EXPECT_EQ(AnsiUpperCase(L"ab\u00e4\u00e9"), L"AB\u00c4\u00c9");
  EXPECT_EQ(AnsiLowerCase(L"AB\u00c4\u00c9"), L"ab\u00e4\u00e9");
  EXPECT_EQ(AnsiUpperCase(L"\u5c9a\u6cfd"), L"\u5c9a\u6cfd");
}

TEST(SysUtilsStrings, OrdinalAndLocaleComparisons) {
  // Ordinal: 'a' (97) sorts after 'B' (66); text comparison folds ASCII only.
  EXPECT_GT(CompareStr(L"a", L"B"), 0);
  EXPECT_LT(CompareText(L"a", L"B"), 0);
  EXPECT_EQ(CompareText(L"Hello", L"hELLO"), 0);
  EXPECT_NE(CompareText(L"\u00e4pfel", L"\u00c4PFEL"), 0);
  EXPECT_LT(CompareStr(L"ab", L"abc"), 0);
  EXPECT_TRUE(SameText(L"Caption", L"CAPTION"));
  EXPECT_FALSE(SameText(L"Caption", L"Captions"));
  EXPECT_TRUE(SameStr(L"x", L"x"));
  EXPECT_FALSE(SameStr(L"x", L"X"));

  // Locale collation puts letters in alphabetical order whatever their case.
  EXPECT_LT(AnsiCompareStr(L"a", L"B"), 0);
  EXPECT_GT(AnsiCompareStr(L"b", L"A"), 0);
  EXPECT_EQ(AnsiCompareText(L"\u00e4pfel", L"\u00c4PFEL"), 0);
  EXPECT_TRUE(AnsiSameText(L"\u00e4pfel", L"\u00c4PFEL"));
  EXPECT_FALSE(AnsiSameStr(L"\u00e4pfel", L"\u00c4PFEL"));
  EXPECT_TRUE(AnsiSameText(L"\u5c9a\u6cfd", L"\u5c9a\u6cfd"));
  EXPECT_LT(AnsiCompareStr(L"\u5c9a\u6cfd", L"\u5c9a\u6cfd\u5bb6\u5177"), 0);
  EXPECT_EQ(AnsiCompareStr(L"", L""), 0);
}

TEST(SysUtilsStrings, CodePages) {
  const String caption = L"\u5c9a\u6cfd\u5bb6\u5177\u751f\u4ea7\u8bbe\u8ba1\u7cfb\u7edf3.0";
  EXPECT_EQ(UTF8Decode(UTF8Encode(caption)), caption);
  EXPECT_EQ(UTF8Encode(L"\u00e9"), "\xC3\xA9");
  EXPECT_EQ(UTF8ToString("\xE5\xB2\x9A"), L"\u5c9a");
  EXPECT_EQ(UTF8Decode("a\xFF" "b"), L"a\uFFFD" L"b") << "a bad byte does not lose the rest";
  EXPECT_EQ(UTF8Encode(L""), "");

  EXPECT_EQ(StringToAnsi(L"\u00e9", 1252), "\xE9");
  EXPECT_EQ(AnsiToString("\xE9", 1252), L"\u00e9");
  const AnsiString gbk = StringToAnsi(L"\u5c9a\u6cfd", 936);
  EXPECT_EQ(gbk.size(), 4u);
  EXPECT_EQ(AnsiToString(gbk, 936), L"\u5c9a\u6cfd");
}

TEST(SysUtilsHotkey, StripHotkeyTable) {
  struct Case {
    const Char* text;
    bool farEast;
    const Char* expected;
  };
  const Case cases[] = {
      {L"&File", false, L"File"},
      {L"Save && Exit", false, L"Save & Exit"},
      {L"a&&&b", false, L"a&b"},
      {L"E&xit&", false, L"Exit"},
      {L"", false, L""},
      {L"\u6587\u4ef6(&F)", false, L"\u6587\u4ef6(F)"},
      {L"\u6587\u4ef6(&F)", true, L"\u6587\u4ef6"},
      {L"\u6253\u5f00(&O)...", true, L"\u6253\u5f00..."},
      {L"&Open", true, L"Open"},
      {L"(&F", true, L"(F"},
      {L"A && B", true, L"A & B"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.text) + (c.farEast ? " far east" : ""));
    EXPECT_EQ(StripHotkey(c.text, c.farEast), c.expected);
  }
  // The one-argument form follows the system: a Chinese system drops "(&F)".
  EXPECT_EQ(StripHotkey(L"\u6587\u4ef6(&F)"), SysLocale().FarEast ? L"\u6587\u4ef6" : L"\u6587\u4ef6(F)");

  EXPECT_EQ(GetHotkey(L"&File"), L"F");
  EXPECT_EQ(GetHotkey(L"Save && E&xit"), L"x");
  EXPECT_EQ(GetHotkey(L"A && B"), L"");
  EXPECT_EQ(GetHotkey(L"End&"), L"");
}

// ---------------------------------------------------------------------------
// File names and files
// ---------------------------------------------------------------------------

TEST(SysUtilsFiles, FileNameParts) {
  struct Case {
    const Char* name;
    const Char* path;
    const Char* dir;
    const Char* file;
    const Char* ext;
    const Char* changed;   // ChangeFileExt(name, ".txt")
  };
  const Case cases[] = {
      {L"C:\\dir\\name.ext", L"C:\\dir\\", L"C:\\dir", L"name.ext", L".ext", L"C:\\dir\\name.txt"},
      {L"C:\\dir.x\\name", L"C:\\dir.x\\", L"C:\\dir.x", L"name", L"", L"C:\\dir.x\\name.txt"},
      {L"C:\\name.tar.gz", L"C:\\", L"C:\\", L"name.tar.gz", L".gz", L"C:\\name.tar.txt"},
      {L"C:name", L"C:", L"C:", L"name", L"", L"C:name.txt"},
      {L"\\\\server\\share\\a.b", L"\\\\server\\share\\", L"\\\\server\\share", L"a.b", L".b",
       L"\\\\server\\share\\a.txt"},
      {L"name.", L"", L"", L"name.", L".", L"name.txt"},
      {L"", L"", L"", L"", L"", L".txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.name));
    EXPECT_EQ(ExtractFilePath(c.name), c.path);
    EXPECT_EQ(ExtractFileDir(c.name), c.dir);
    EXPECT_EQ(ExtractFileName(c.name), c.file);
    EXPECT_EQ(ExtractFileExt(c.name), c.ext);
    EXPECT_EQ(ChangeFileExt(c.name, L".txt"), c.changed);
  }
  EXPECT_EQ(IncludeTrailingPathDelimiter(L"C:\\a"), L"C:\\a\\");
  EXPECT_EQ(IncludeTrailingPathDelimiter(L"C:\\a\\"), L"C:\\a\\");
  EXPECT_EQ(ExcludeTrailingPathDelimiter(L"C:\\a\\"), L"C:\\a");
  EXPECT_EQ(ExcludeTrailingPathDelimiter(L"C:\\a"), L"C:\\a");
}

TEST(SysUtilsFiles, ForceDirectoriesAndFiles) {
  wchar_t temp[MAX_PATH];
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  const String root = IncludeTrailingPathDelimiter(temp) + L"sysutils-" + IntToStr(int(GetCurrentProcessId()));
  const String deep = root + L"\\\u5c9a\u6cfd\\b\\";
  ASSERT_FALSE(DirectoryExists(root));

  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_TRUE(ForceDirectories(deep)) << "existing directories are fine";
  EXPECT_FALSE(FileExists(root)) << "a directory is no file";
  EXPECT_FALSE(ForceDirectories(L""));

  const String file = deep + L"x.txt";
  EXPECT_FALSE(FileExists(file));
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(DirectoryExists(file));
  EXPECT_FALSE(ForceDirectories(file + L"\\sub")) << "a file stands in the way";
  EXPECT_TRUE(DeleteFile(file));
  EXPECT_FALSE(FileExists(file));
  EXPECT_FALSE(DeleteFile(file));

  RemoveDirectoryW((root + L"\\\u5c9a\u6cfd\\b").c_str());
  RemoveDirectoryW((root + L"\\\u5c9a\u6cfd").c_str());
  RemoveDirectoryW(root.c_str());
  EXPECT_FALSE(DirectoryExists(root));
  EXPECT_FALSE(GetCurrentDir().empty());
}

// ---------------------------------------------------------------------------
// Rounding
// ---------------------------------------------------------------------------

// Round takes halves to the even neighbour; MulDiv takes them away from zero.
// Layout arithmetic depends on the difference.
TEST(SysUtilsRounding, RoundHalvesToEven) {
  struct Case {
    double value;
    Int64 round, trunc;
    int ceil, floor;
  };
  const Case cases[] = {
      {0.5, 0, 0, 1, 0},       {1.5, 2, 1, 2, 1},       {2.5, 2, 2, 3, 2},    {3.5, 4, 3, 4, 3},
      {-0.5, 0, 0, 0, -1},     {-1.5, -2, -1, -1, -2},  {-2.5, -2, -2, -2, -3},
      {2.4999, 2, 2, 3, 2},    {-2.7, -3, -2, -2, -3},  {7.0, 7, 7, 7, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(Round(c.value), c.round);
    EXPECT_EQ(Trunc(c.value), c.trunc);
    EXPECT_EQ(Ceil(c.value), c.ceil);
    EXPECT_EQ(Floor(c.value), c.floor);
  }
  EXPECT_EQ(Round(1e15 + 0.5), Int64(1000000000000000));
  EXPECT_EQ(Round(-4503599627370497.0), -4503599627370497LL);
  EXPECT_DOUBLE_EQ(Frac(-2.25), -0.25);
  EXPECT_DOUBLE_EQ(Int(-2.75), -2.0);
  EXPECT_THROW(Round(std::nan("")), EInvalidOp);
  EXPECT_THROW(Round(1e19), EInvalidOp);
  EXPECT_THROW(Trunc(-1e19), EInvalidOp);
  EXPECT_THROW(Ceil(3e9), EInvalidOp);
}

TEST(SysUtilsRounding, MulDivRoundsHalfAwayFromZero) {
  struct Case {
    int a, b, c, expected;
  };
  const Case cases[] = {
      {3, 1, 2, 2},        {-3, 1, 2, -2},     {5, 1, 2, 3},       {-5, 1, 2, -3},
      {1, 1, 3, 0},        {2, 1, 3, 1},       {-5, 3, -2, 8},     {5, -3, 2, -8},
      {10, 0, 5, 0},       {5, 1, 0, -1},      {0, 0, 0, -1},
      {INT_MAX, 2, 1, -1},                     // the result does not fit
      {INT_MAX, INT_MAX, INT_MAX, INT_MAX},    // the product needs 64 bits
      {-11, 120, 96, -14},                     // -13.75
      {20, 5, 100, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << " * " << c.b << " / " << c.c);
    EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected);
  }
}

TEST(SysUtilsRounding, RoundToAndComparisons) {
  EXPECT_DOUBLE_EQ(SimpleRoundTo(1.125), 1.13);
  EXPECT_DOUBLE_EQ(SimpleRoundTo(-1.125), -1.13);
  EXPECT_DOUBLE_EQ(RoundTo(1.125, -2), 1.12);
  EXPECT_DOUBLE_EQ(RoundTo(1.375, -2), 1.38);
  EXPECT_DOUBLE_EQ(SimpleRoundTo(1250, 2), 1300);
  EXPECT_DOUBLE_EQ(RoundTo(1250, 2), 1200);
  EXPECT_DOUBLE_EQ(RoundTo(1350, 2), 1400);

  EXPECT_TRUE(IsZero(1e-13));
  EXPECT_FALSE(IsZero(1e-11));
  EXPECT_TRUE(IsZero(0.001, 0.01));
  EXPECT_TRUE(SameValue(1.0, 1.0 + 1e-13));
  EXPECT_TRUE(SameValue(1e6, 1e6 + 1e-7)) << "tolerance grows with the values";
  EXPECT_FALSE(SameValue(1.0, 1.0001));
  EXPECT_TRUE(SameValue(1.0, 1.0001, 0.001));

  EXPECT_EQ(EnsureRange(15, 0, 10), 10);
  EXPECT_EQ(EnsureRange(-5, 0, 10), 0);
  EXPECT_TRUE(InRange(10, 0, 10));
  EXPECT_EQ(Sign(-3.5), -1);
  EXPECT_EQ(Sign(Int64(0)), 0);
}
