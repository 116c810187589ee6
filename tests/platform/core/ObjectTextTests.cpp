// Conversion between the text form and the binary component stream: value by
// value against hand-made bytes, whole documents both ways, the error reports,
// the definition converted at build time and the streamconv program.
#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ObjectText.h"
#include "platform/core/StreamFormat.h"
#include "platform/core/Streams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

struct StreamDeleter {
  void operator()(TObject* p) const { TObject::Free(p); }
};
using MemoryStreamPtr = std::unique_ptr<TMemoryStream, StreamDeleter>;

MemoryStreamPtr StreamOf(const std::string& bytes) {
  MemoryStreamPtr s(Make<TMemoryStream>());
  if (!bytes.empty()) s->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
  s->SetPosition(0);
  return s;
}

std::string BytesOf(TMemoryStream* s) {
  return std::string(static_cast<const char*>(s->Memory()), static_cast<size_t>(s->Size()));
}

std::string ToBinary(const std::string& text) {
  MemoryStreamPtr in = StreamOf(text), out(Make<TMemoryStream>());
  ObjectTextToBinary(in.get(), out.get());
  return BytesOf(out.get());
}

std::string ToText(const std::string& binary) {
  MemoryStreamPtr in = StreamOf(binary), out(Make<TMemoryStream>());
  ObjectBinaryToText(in.get(), out.get());
  return BytesOf(out.get());
}

// "06 03 61" -> bytes; "'abc'" inside inserts the characters.
std::string H(const char* spec) {
  std::string out;
  for (const char* p = spec; *p;) {
    if (*p == ' ') {
      ++p;
    } else if (*p == '\'') {
      for (++p; *p && *p != '\''; ++p) out += *p;
      if (*p) ++p;
    } else {
      auto hex = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
      out += static_cast<char>(hex(p[0]) * 16 + hex(p[1]));
      p += 2;
    }
  }
  return out;
}

// A short string: length byte and bytes.
std::string S(const std::string& s) { return static_cast<char>(s.size()) + s; }

// Root component "object A: T" holding one property P.
std::string PropText(const std::string& value) { return "object A: T\r\n  P = " + value + "\r\nend\r\n"; }
std::string PropBinary(const std::string& value) {
  return "TPF0" + S("T") + S("A") + S("P") + value + std::string(2, '\0');
}

std::string Utf8(const std::wstring& w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

template <class E, class F>
std::string MessageOf(F&& f) {
  try {
    f();
  } catch (const E& e) {
    return e.what();
  }
  return "(no exception)";
}

struct ValueCase {
  std::string text;
  std::string bytes;
};

// Canonical values: the text reads into exactly these bytes, and the bytes
// write exactly this text.
const std::vector<ValueCase>& CanonicalValues() {
  static const std::vector<ValueCase> cases = {
      {"0", H("02 00")},
      {"-11", H("02 F5")},
      {"127", H("02 7F")},
      {"128", H("03 80 00")},
      {"-129", H("03 7F FF")},
      {"32768", H("04 00 80 00 00")},
      {"-2147483648", H("04 00 00 00 80")},
      {"2147483648", H("13 00 00 00 80 00 00 00 00")},
      {"-9223372036854775808", H("13 00 00 00 00 00 00 00 80")},
      // Floats: the shortest decimal that gives back the bits, the tag in a suffix.
      {"1.5", H("05 00 00 00 00 00 00 00 C0 FF 3F")},
      {"-0.0", H("05 00 00 00 00 00 00 00 00 00 80")},
      {"4.0E-4951", H("05 01 00 00 00 00 00 00 00 00 00")},  // smallest denormal
      {"0.1", H("05 CD CC CC CC CC CC CC CC FB 3F")},
      {"1.5s", H("0F 00 00 C0 3F")},
      {"0.1f", H("15 9A 99 99 99 99 99 B9 3F")},
      {"1.0E300f", H("15 9C 75 00 88 3C E4 37 7E")},
      {"45000.5d", H("11 00 00 00 00 10 F9 E5 40")},
      {"12.5c", H("10 48 E8 01 00 00 00 00 00")},
      {"-0.0001c", H("10 FF FF FF FF FF FF FF FF")},
      {"-922337203685477.5808c", H("10 00 00 00 00 00 00 00 80")},
      // Strings
      {"''", H("06 00")},
      {"'abc'", H("06 03 'abc'")},
      {"'it''s'", H("06 04 'it' 27 's'")},
      {"'a'#13#10'b'", H("06 04 61 0D 0A 62")},
      {"#23706#27901'abc'" "''", H("12 06 00 00 00 9A 5C FD 6C 'a' 00 'b' 00 'c' 00 27 00")},
      {"#55357#56832", H("12 02 00 00 00 3D D8 00 DE")},  // a surrogate pair stays two units
      // Identifiers and the fixed words
      {"clBtnFace", H("07") + S("clBtnFace")},
      {"Form1.Button1", H("07") + S("Form1.Button1")},
      {Utf8(L"岚泽"), H("07 06 E5 B2 9A E6 B3 BD")},
      {"False", H("08")},
      {"True", H("09")},
      {"nil", H("0D")},
      {"Null", H("00")},
      // Sets, binary, lists, collections
      {"[]", H("0B 00")},
      {"[fsBold, fsItalic]", H("0B") + S("fsBold") + S("fsItalic") + H("00")},
      {"{}", H("0A 00 00 00 00")},
      {"{\r\n    0A0BFF}", H("0A 03 00 00 00 0A 0B FF")},
      {"()", H("01 00")},
      {"(\r\n    1\r\n    'a'\r\n    (\r\n      2))", H("01 02 01 06 01 'a' 01 02 02 00 00")},
      {"<>", H("0E 00")},
      {"<\r\n    item\r\n      N = 1\r\n    end\r\n    item [3]\r\n    end\r\n    item [-300]\r\n      L = (\r\n"
       "        True)\r\n    end>",
       H("0E 01") + S("N") + H("02 01 00") + H("02 03 01 00") + H("03 D4 FE 01") + S("L") + H("01 09 00 00") +
           H("00")},
  };
  return cases;
}

TEST(ObjectText, ValuesConvertBothWays) {
  for (const ValueCase& c : CanonicalValues()) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ToBinary(PropText(c.text)), PropBinary(c.bytes));
    EXPECT_EQ(ToText(PropBinary(c.bytes)), PropText(c.text));
  }
}

TEST(ObjectText, LongStringsContinueOnNewLines) {
  // 300 ASCII characters: vaLString, 64 characters a line.
  const std::string x(300, 'x');
  std::string text = "'";
  for (size_t i = 0; i < x.size(); i += 64) {
    if (i) text += "' +\r\n    '";
    text += x.substr(i, 64);
  }
  text += "'";
  const std::string bytes = H("0C 2C 01 00 00") + x;
  EXPECT_EQ(ToText(PropBinary(bytes)), PropText(text));
  EXPECT_EQ(ToBinary(PropText(text)), PropBinary(bytes));

  // Chinese text: every unit a code, broken at the same line length; the
  // continuation is indented under the value's own line (here a list item).
  std::wstring wide(40, L'岚');
  std::string wbytes = H("12 28 00 00 00");
  for (size_t i = 0; i < wide.size(); ++i) wbytes += H("9A 5C");
  std::string codes;
  for (int i = 0; i < 11; ++i) codes += "#23706";
  const std::string start = "object A: T\r\n  P = (\r\n    " + codes + " +\r\n      #23706";
  const std::string written = ToText(PropBinary(H("01") + wbytes + H("00")));
  EXPECT_EQ(written.substr(0, start.size()), start);
  EXPECT_EQ(ToBinary(written), PropBinary(H("01") + wbytes + H("00")));
}

TEST(ObjectText, LongBinaryWritesThirtyTwoBytesALine) {
  std::string data;
  for (int i = 0; i < 40; ++i) data += static_cast<char>(i);
  const std::string text = PropText(
      "{\r\n    000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F\r\n    2021222324252627}");
  const std::string bytes = PropBinary(H("0A 28 00 00 00") + data);
  EXPECT_EQ(ToText(bytes), text);
  EXPECT_EQ(ToBinary(text), bytes);
}

// Forms the text reader accepts besides its own output.
TEST(ObjectText, ReaderAcceptsPlatformVariants) {
  const struct {
    std::string text;
    std::string bytes;
  } cases[] = {
      {"$FF", H("03 FF 00")},
      {"-$10", H("02 F0")},
      {"$FFFFFFFFFFFFFFFF", H("02 FF")},
      {"'abc' +\r\n      'def'", H("06 06 'abcdef'")},
      {"'a' + #66 + 'c'", H("06 03 'aBc'")},
      {"#$41#$4e#39", H("06 03 'AN' 27")},
      {Utf8(L"'岚泽'"), H("12 02 00 00 00 9A 5C FD 6C")},
      {"1E3", H("05 00 00 00 00 00 00 00 FA 08 40")},
      {"1.", H("05 00 00 00 00 00 00 00 80 FF 3F")},
      {"1.5S", H("0F 00 00 C0 3F")},
      {"5d", H("11 00 00 00 00 00 00 14 40")},
      {"12.34565c", H("10 41 E2 01 00 00 00 00 00")},   // rounds half away from zero
      {"-1.5E2c", H("10 A0 1C E9 FF FF FF FF FF")},
      {"{ 0A 0b\r\n  0C }", H("0A 03 00 00 00 0A 0B 0C")},
      {"TRUE", H("09")},
      {"NIL", H("0D")},
      {"( 1 2 )", H("01 02 01 02 02 00")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ToBinary(PropText(c.text)), PropBinary(c.bytes));
  }
  // Upper-case keywords, no final line break, both byte-order marks.
  const std::string plain = "OBJECT A: T\r\n  P = 1\r\nEND";
  const std::string expected = PropBinary(H("02 01"));
  EXPECT_EQ(ToBinary(plain), expected);
  EXPECT_EQ(ToBinary("\xEF\xBB\xBF" + plain), expected);
  std::string utf16 = "\xFF\xFE";
  for (char c : plain) utf16 += std::string{c, '\0'};
  EXPECT_EQ(ToBinary(utf16), expected);
}

// Tags the text cannot keep come back as the text reader chooses them.
TEST(ObjectText, BinaryOnlyTagsNormalize) {
  const struct {
    std::string bytes;
    const char* text;
    std::string reread;
  } cases[] = {
      {H("14 03 00 00 00 E5 B2 9A"), "#23706", H("12 01 00 00 00 9A 5C")},  // vaUTF8String
      {H("14 03 00 00 00 'abc'"), "'abc'", H("06 03 'abc'")},
      {H("12 02 00 00 00 'a' 00 'b' 00"), "'ab'", H("06 02 'ab'")},       // ASCII vaWString
      {H("0C 02 00 00 00 'ab'"), "'ab'", H("06 02 'ab'")},                 // short vaLString
      {H("04 05 00 00 00"), "5", H("02 05")},                              // wide integer tags
      {H("13 FF FF FF FF FF FF FF FF"), "-1", H("02 FF")},
      {H("07") + S("true"), "true", H("09")},                              // ident spelled like a word
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ToText(PropBinary(c.bytes)), PropText(c.text));
    EXPECT_EQ(ToBinary(PropText(c.text)), PropBinary(c.reread));
  }
}

TEST(ObjectText, ComponentHeadersAndChildren) {
  const struct {
    const char* text;
    std::string bytes;
  } cases[] = {
      {"inherited A: T\r\nend\r\n", "TPF0" + H("F1") + S("T") + S("A") + H("00 00")},
      {"inline Frame1: TFrame1\r\nend\r\n", "TPF0" + H("F4") + S("TFrame1") + S("Frame1") + H("00 00")},
      {"inherited A: T [-1]\r\nend\r\n", "TPF0" + H("F3 02 FF") + S("T") + S("A") + H("00 00")},
      {"object T\r\nend\r\n", "TPF0" + S("T") + S("") + H("00 00")},
      {"object A: T\r\n  X = 1\r\n  object B: U [2]\r\n    Y = 2\r\n  end\r\n  inline C: V [70000]\r\n"
       "    object D: W\r\n    end\r\n  end\r\nend\r\n",
       "TPF0" + S("T") + S("A") + S("X") + H("02 01 00") +              // root, its property
           H("F2 02 02") + S("U") + S("B") + S("Y") + H("02 02 00 00") +  // B with position 2
           H("F6 04 70 11 01 00") + S("V") + S("C") + H("00") +          // C inline, position 70000
           S("W") + S("D") + H("00 00") + H("00") +                      // D, end of C's children
           H("00")},                                                     // end of A's children
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ToBinary(c.text), c.bytes);
    EXPECT_EQ(ToText(c.bytes), c.text);
  }
  // Names in any script, stored as UTF-8.
  const std::string unicode = Utf8(L"object 窗体1: T窗体\r\n  标题 = 甲.乙\r\nend\r\n");
  EXPECT_EQ(ToText(ToBinary(unicode)), unicode);
  EXPECT_EQ(ToBinary(unicode).substr(4, 16), S(Utf8(L"T窗体")) + S(Utf8(L"窗体1")));
}

TEST(ObjectText, BinaryReaderStopsAfterTheComponent) {
  // The caller may keep reading: two components back to back convert one by one.
  const std::string first = PropBinary(H("02 01")), second = "TPF0" + S("U") + S("B") + H("00 00");
  MemoryStreamPtr in = StreamOf(first + second), out(Make<TMemoryStream>());
  ObjectBinaryToText(in.get(), out.get());
  EXPECT_EQ(in->Position(), static_cast<Int64>(first.size()));
  ObjectBinaryToText(in.get(), out.get());
  EXPECT_EQ(BytesOf(out.get()), PropText("1") + "object B: U\r\nend\r\n");
}

TEST(ObjectText, NestingIsLimitedTheSameWayBothWays) {
  // The root component is one level, each list one more.
  auto nestedText = [](int lists) {
    std::string v = "1";
    for (int i = 0; i < lists; ++i) v = "(" + v + ")";
    return PropText(v);
  };
  auto nestedBinary = [](int lists) {
    return PropBinary(std::string(static_cast<size_t>(lists), '\x01') + H("02 01") +
                      std::string(static_cast<size_t>(lists), '\0'));
  };
  const int deepest = MaxStreamNesting - 1;
  EXPECT_EQ(ToBinary(nestedText(deepest)), nestedBinary(deepest));
  EXPECT_EQ(ToBinary(ToText(nestedBinary(deepest))), nestedBinary(deepest));
  EXPECT_EQ(MessageOf<EParserError>([&] { ToBinary(nestedText(deepest + 1)); }), "Line 2: Nesting too deep");
  EXPECT_EQ(MessageOf<EReadError>([&] { ToText(nestedBinary(deepest + 1)); }),
            "Stream nesting too deep at offset " + std::to_string(10 + deepest));

  std::string objects = "TPF0";
  for (int i = 0; i < MaxStreamNesting + 1; ++i) objects += S("T") + S("") + H("00");
  objects += std::string(MaxStreamNesting + 1, '\0');
  EXPECT_EQ(MessageOf<EReadError>([&] { ToText(objects); }),
            "Stream nesting too deep at offset " + std::to_string(4 + 4 * MaxStreamNesting));
}

TEST(ObjectText, TextErrorsNameTheLine) {
  const struct {
    std::string text;
    const char* message;
  } cases[] = {
      {"", "Line 1: 'object' expected"},
      {"thing A: T\r\nend", "Line 1: 'object' expected"},
      {"object : T\r\nend", "Line 1: Identifier expected"},
      {"object A: T [x]\r\nend", "Line 1: Integer expected"},
      {"object A: T [1\r\nend", "Line 2: ']' expected"},
      {"object A: T\r\n  Left = 0\r\n  = 5\r\nend", "Line 3: Identifier expected"},
      {"object A: T\r\n  P 5\r\nend", "Line 2: '=' expected"},
      {"object A: T\r\n  P = (\r\n    1\r\n    2\r\n", "Line 5: ')' expected"},
      {"object A: T\r\n  P = (1 =)\r\nend", "Line 2: ')' expected"},
      {"object A: T\r\n  P = (Null)\r\nend", "Line 2: Invalid property value"},
      {"object A: T\r\n  P = =\r\nend", "Line 2: Invalid property value"},
      {"object A: T\r\n  P = {0A0}\r\nend", "Line 2: Invalid binary value"},
      {"object A: T\r\n  P = {\r\n    0A\r\n    ZZ}\r\nend", "Line 4: Invalid binary value"},
      {"object A: T\r\n  P = {0A", "Line 2: Invalid binary value"},
      {"object A: T\r\n  P = 'abc\r\nend", "Line 2: Unterminated string"},
      {"object A: T\r\n  P = #\r\nend", "Line 2: Invalid string constant"},
      {"object A: T\r\n  P = #65536\r\nend", "Line 2: Invalid string constant"},
      {"object A: T\r\n  P = 'a' +\r\nend", "Line 3: String expected"},
      {"object A: T\r\n  P = [a, 5]\r\nend", "Line 2: Identifier expected"},
      {"object A: T\r\n  P = [a b]\r\nend", "Line 2: ']' expected"},
      {"object A: T\r\n  P = <\r\n    foo\r\n  >\r\nend", "Line 3: 'item' expected"},
      {"object A: T\r\n  P = <\r\n    item\r\n      X = 1\r\n", "Line 5: 'end' expected"},
      {"object A: T\r\n  P = 99999999999999999999\r\nend", "Line 2: Integer out of range"},
      {"object A: T\r\n  P = $10000000000000000\r\nend", "Line 2: Integer out of range"},
      {"object A: T\r\n  P = 12abc\r\nend", "Line 2: Invalid number"},
      {"object A: T\r\n  P = 1.0E5000s\r\nend", "Line 2: Floating-point value out of range"},
      {"object A: T\r\n  P = 1E99999\r\nend", "Line 2: Floating-point value out of range"},
      {"object A: T\r\n  P = 922337203685477.5808c\r\nend", "Line 2: Floating-point value out of range"},
      {"object A: T\r\n  object B: U\r\n  end\r\n  P = 1\r\nend", "Line 4: 'end' expected"},
      {"object A: T\r\n", "Line 2: 'end' expected"},
      {"object A: T\r\nend\r\nend", "Line 3: End of file expected"},
      {"object A: T\r\n  P = '\xFF'\r\nend", "Line 2: Invalid UTF-8 text"},
      {"object A: T\r\n  " + std::string(256, 'n') + " = 1\r\nend", "Line 2: Identifier too long"},
      {"object A: " + std::string(240, 'T') + "\r\nend", "Line 1: Identifier too long"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(MessageOf<EParserError>([&] { ToBinary(c.text); }), c.message);
  }
}

TEST(ObjectText, BinaryErrorsNameTheOffset) {
  const std::string head = "TPF0" + S("T") + S("A") + S("P");  // the value starts at offset 10
  const struct {
    std::string bytes;
    const char* message;
  } cases[] = {
      {"", "Stream read error at offset 0"},
      {"TPF1" + S("T") + S("A") + H("00 00"), "Invalid stream format at offset 0"},
      {"TPF0", "Stream read error at offset 4"},
      {head + H("06 05 'ab'"), "Stream read error at offset 12"},
      {head + H("0C FF FF FF FF 'ab'"), "Stream read error at offset 15"},    // no huge allocation
      {head + H("12 00 00 00 80 'ab'"), "Stream read error at offset 15"},    // unit count * 2 overflows
      {head + H("0A 10 00 00 00"), "Stream read error at offset 15"},
      {head + H("02 01"), "Stream read error at offset 12"},                   // property list not ended
      {head + H("16"), "Invalid stream format at offset 10"},                  // unknown tag
      {head + H("14 02 00 00 00 C3 28 00 00"), "Invalid stream format at offset 10"},
      {head + H("07") + S("a b") + H("00 00"), "Invalid stream format at offset 11"},
      {head + H("0B") + S("a.b") + H("00 00 00"), "Invalid stream format at offset 11"},  // dotted set element
      {head + H("0E 06 00 00 00 00"), "Invalid stream format at offset 11"},   // item without vaList
      {head + H("0E 13 01 00 00 00 00 00 00 00 01 00 00 00 00"), "Invalid stream format at offset 11"},
      {head + H("01 07") + S("Null") + H("00 00 00"), "Invalid stream format at offset 11"},
      {"TPF0" + H("F8") + S("T") + S("A") + H("00 00"), "Invalid stream format at offset 4"},
      {"TPF0" + H("F5") + S("T") + S("A") + H("00 00"), "Invalid stream format at offset 4"},
      {"TPF0" + H("F2 13 00 00 00 00 00 00 00 00") + S("T") + S("A") + H("00 00"), "Invalid stream format at offset 5"},
      {"TPF0" + S("") + S("A") + H("00 00"), "Invalid stream format at offset 4"},
      {"TPF0" + S("T") + S("A") + S("end") + H("02 01 00 00"), "Invalid stream format at offset 8"},
      {head + H("15 00 00 00 00 00 00 F8 7F 00 00"), "Floating-point value without a text form at offset 10"},
      {head + H("05 00 00 00 00 00 00 00 00 FF 3F 00 00"), "Floating-point value without a text form at offset 10"},
      {head + H("0F 00 00 80 7F 00 00"), "Floating-point value without a text form at offset 10"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    EXPECT_EQ(MessageOf<EReadError>([&] { ToText(c.bytes); }), c.message);
  }
}

// ---------------------------------------------------------------------------
// The definition converted by streamconv during the build (objtext_testform.txt)
// ---------------------------------------------------------------------------

std::string ResourceBytes(const wchar_t* name) {
  std::unique_ptr<TResourceStream, StreamDeleter> res(Make<TResourceStream>(GetModuleHandleW(nullptr), name, RT_RCDATA));
  return std::string(static_cast<const char*>(res->Memory()), static_cast<size_t>(res->Size()));
}

std::string WithCRLF(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

TEST(ObjectText, DefinitionConvertedAtBuildTimeReadsBack) {
  const std::string binary = ResourceBytes(L"TESTFORM");
  const std::string text = WithCRLF(ResourceBytes(L"TESTFORMTEXT"));
  ASSERT_EQ(binary.substr(0, 4), "TPF0");
  EXPECT_EQ(ToText(binary), text);
  EXPECT_EQ(ToBinary(text), binary);
}

// ---------------------------------------------------------------------------
// streamconv
// ---------------------------------------------------------------------------

class StreamConv : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    exe_ = path;
    exe_ = exe_.substr(0, exe_.find_last_of(L"\\/") + 1) + L"streamconv.exe";
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    dir_ = String(temp) + L"objtext_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(dir_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const wchar_t* f : {L"in.txt", L"out.bin", L"back.txt", L"bad.txt", L"岚泽.bin"})
      DeleteFileW((dir_ + f).c_str());
    RemoveDirectoryW(dir_.c_str());
  }

  void Write(const wchar_t* name, const std::string& bytes) {
    MemoryStreamPtr s = StreamOf(bytes);
    s->SaveToFile(dir_ + name);
  }
  std::string Read(const wchar_t* name) {
    MemoryStreamPtr s(Make<TMemoryStream>());
    s->LoadFromFile(dir_ + name);
    return BytesOf(s.get());
  }
  bool Exists(const wchar_t* name) { return GetFileAttributesW((dir_ + name).c_str()) != INVALID_FILE_ATTRIBUTES; }

  // Runs streamconv with the arguments; returns its exit code, stderr in err_.
  // Its output comes through a pipe that is drained while it runs and once
  // more after it ended: Wine may keep an inherited handle open in a helper
  // process for a while, so neither end-of-file nor a file can be relied on.
  DWORD Run(const String& args) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) {
      ADD_FAILURE() << "CreatePipe: " << GetLastError();
      return 0xFFFFFFFF;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdError = writeEnd;
    si.hStdOutput = writeEnd;
    si.hStdInput = nullptr;
    PROCESS_INFORMATION pi{};
    String cmd = L"\"" + exe_ + L"\" " + args;
    const BOOL ok = CreateProcessW(exe_.c_str(), cmd.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                   dir_.c_str(), &si, &pi);
    CloseHandle(writeEnd);
    err_.clear();
    if (!ok) {
      CloseHandle(readEnd);
      ADD_FAILURE() << "cannot start streamconv.exe: " << GetLastError();
      return 0xFFFFFFFF;
    }
    auto drain = [&] {
      DWORD avail = 0;
      char buf[4096];
      while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &avail, nullptr) && avail > 0) {
        DWORD n = 0;
        if (!ReadFile(readEnd, buf, std::min<DWORD>(avail, sizeof buf), &n, nullptr) || n == 0) break;
        err_.append(buf, n);
      }
    };
    DWORD wait = WAIT_TIMEOUT;
    for (int waited = 0; waited < 60000 && wait == WAIT_TIMEOUT; waited += 20) {
      wait = WaitForSingleObject(pi.hProcess, 20);
      drain();
    }
    EXPECT_EQ(wait, WAIT_OBJECT_0) << "streamconv did not end";
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(readEnd);
    return code;
  }

  String exe_, dir_;
  std::string err_;
};

TEST_F(StreamConv, ConvertsBothWays) {
  const std::string text = Utf8(L"object Form5: TForm5\r\n  Caption = #23706#27901\r\nend\r\n");
  Write(L"in.txt", text);
  EXPECT_EQ(Run(L"--to-binary in.txt 岚泽.bin"), 0u) << err_;
  EXPECT_EQ(Read(L"岚泽.bin"), ToBinary(text));
  EXPECT_EQ(Run(L"--to-text 岚泽.bin back.txt"), 0u) << err_;
  EXPECT_EQ(Read(L"back.txt"), text);
}

TEST_F(StreamConv, FailsWithMessageAndLeavesNoOutput) {
  Write(L"in.txt", "object A: T\r\nend\r\n");
  Write(L"bad.txt", "object A: T\r\n  P = (\r\nend\r\n");
  EXPECT_EQ(Run(L"--to-binary bad.txt out.bin"), 1u);
  EXPECT_NE(err_.find("bad.txt: Line 4: ')' expected"), std::string::npos) << err_;
  EXPECT_FALSE(Exists(L"out.bin"));
  EXPECT_EQ(Run(L"--to-binary in.txt nowhere\\out.bin"), 1u);
  EXPECT_NE(err_.find("nowhere"), std::string::npos) << err_;

  // An existing output stays as it was.
  Write(L"out.bin", "previous");
  EXPECT_EQ(Run(L"--to-text bad.txt out.bin"), 1u);
  EXPECT_NE(err_.find("Invalid stream format at offset 0"), std::string::npos) << err_;
  EXPECT_EQ(Read(L"out.bin"), "previous");

  EXPECT_EQ(Run(L"--to-binary missing.txt out.bin"), 1u);
  EXPECT_NE(err_.find("missing.txt"), std::string::npos) << err_;

  EXPECT_EQ(Run(L"--to-pdf bad.txt out.bin"), 2u);
  EXPECT_NE(err_.find("usage: streamconv"), std::string::npos) << err_;
  EXPECT_EQ(Run(L"--to-text bad.txt"), 2u);
  EXPECT_NE(err_.find("usage: streamconv"), std::string::npos) << err_;
}

}  // namespace
