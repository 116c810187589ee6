// Byte strings (varString): bytes that pass through variants and the component
// stream unchanged under any code page, and read as text in the ANSI code page.
#include "platform/WinApi.h"
#include "platform/core/Filer.h"
#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"
#include "platform/core/Variants.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <string>

namespace {

RawByteString AllBytes() {
  RawByteString s;
  for (int i = 0; i < 256; ++i) s += char(i);
  return s;
}

TBytes Stored(const Variant& v) {
  auto stream = MakeOwned<TBytesStream>();
  {
    auto writer = MakeOwned<TWriter>(stream.get());
    writer->WriteVariant(v);
  }
  return stream->Bytes();
}

Variant ReadBack(const TBytes& bytes) {
  auto stream = MakeOwned<TBytesStream>(bytes);
  auto reader = MakeOwned<TReader>(stream.get());
  Variant v = reader->ReadVariant();
  EXPECT_EQ(reader->Position(), Int64(bytes.size())) << "the whole value is read";
  return v;
}

TBytes Concat(TBytes head, const RawByteString& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

}  // namespace

TEST(VariantByteString, KeepsEveryByte) {
  const RawByteString all = AllBytes();
  const Variant v(all);
  EXPECT_EQ(VarType(v), varString);
  EXPECT_TRUE(VarIsStr(v));
  EXPECT_EQ(VarTypeAsText(VarType(v)), L"String");
  EXPECT_EQ(v.AsAnsiString(), all);
  Variant copy = v;
  EXPECT_EQ(copy.AsAnsiString(), all);
  EXPECT_TRUE(copy == v);
  EXPECT_EQ(VarAsType(v, varString).AsAnsiString(), all) << "no trip through text";

  Variant array = VarArrayCreate({0, 1}, varString);
  VarArrayPut(array, v, 1);
  EXPECT_EQ(VarArrayGet(array, 1).AsAnsiString(), all);
  EXPECT_EQ(VarArrayGet(array, 0).AsAnsiString(), RawByteString());
}

// Under code page 1252 and 936 alike (the suite also runs in the Chinese
// locale): text becomes the active code page's bytes and back.
TEST(VariantByteString, TextGoesThroughTheAnsiCodePage) {
  struct Row {
    UINT codePage;  // 0: any
    const Char* text;
    RawByteString bytes;
  };
  const Row rows[] = {
      {0, L"plain ASCII 123", "plain ASCII 123"},
      {1252, L"caf\u00e9", "caf\xE9"},
      {936, L"\u5c9a\u6cfd", "\xE1\xB0\xD4\xF3"},
  };
  int checked = 0;
  for (const Row& r : rows) {
    if (r.codePage && r.codePage != GetACP()) continue;
    ++checked;
    SCOPED_TRACE(r.bytes);
    const Variant bytes(r.bytes);
    EXPECT_EQ(bytes.AsString(), r.text);
    EXPECT_EQ(VarToStr(bytes), r.text);
    EXPECT_EQ(VarAsType(bytes, varUString).AsString(), r.text);
    EXPECT_EQ(VarAsType(Variant(r.text), varString).AsAnsiString(), r.bytes);
    EXPECT_EQ(Variant(r.text).AsAnsiString(), r.bytes);
    EXPECT_TRUE(bytes == Variant(r.text));
  }
  EXPECT_GE(checked, 2) << "code page " << GetACP() << " has a row of its own";
}

TEST(VariantByteString, StreamKeepsTheBytes) {
  const RawByteString all = AllBytes();
  const struct {
    const char* name;
    RawByteString bytes;
    TBytes header;
  } cases[] = {
      {"empty", RawByteString(), {vaString, 0}},
      {"short", all.substr(0x80, 3), {vaString, 3}},
      {"255 bytes", all.substr(1), {vaString, 255}},
      {"all 256 bytes", all, {vaLString, 0x00, 0x01, 0x00, 0x00}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TBytes stored = Stored(Variant(c.bytes));
    EXPECT_EQ(stored, Concat(c.header, c.bytes)) << "an 8-bit string of the bytes unchanged";
    const Variant back = ReadBack(stored);
    EXPECT_EQ(VarType(back), varString);
    EXPECT_EQ(back.AsAnsiString(), c.bytes);
  }

  // In a list, and next to Unicode text that must stay Unicode text.
  const Variant list = VarArrayOf({Variant(all), Variant(L"ascii"), Variant(L"\u5c9a")});
  const Variant back = ReadBack(Stored(list));
  ASSERT_EQ(VarArrayHighBound(back, 1), 2);
  EXPECT_EQ(VarArrayGet(back, 0).AsAnsiString(), all);
  EXPECT_EQ(VarType(VarArrayGet(back, 1)), varUString);
  EXPECT_EQ(VarArrayGet(back, 1).AsString(), L"ascii");
  EXPECT_EQ(VarArrayGet(back, 2).AsString(), L"\u5c9a");
}

// Streams written before byte strings existed keep reading: their 8-bit
// strings come back as byte strings with the same text.
TEST(VariantByteString, OlderStoredTextStillReads) {
  const struct {
    const char* name;
    TBytes stored;
    TVarType type;
    String text;
  } cases[] = {
      {"vaString", {vaString, 2, 'h', 'i'}, varString, L"hi"},
      {"vaLString", {vaLString, 2, 0, 0, 0, 'h', 'i'}, varString, L"hi"},
      {"vaWString", {vaWString, 1, 0, 0, 0, 0x9A, 0x5C}, varUString, L"\u5c9a"},
      {"vaUTF8String", {vaUTF8String, 3, 0, 0, 0, 0xE5, 0xB2, 0x9A}, varUString, L"\u5c9a"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Variant v = ReadBack(c.stored);
    EXPECT_EQ(VarType(v), c.type);
    EXPECT_EQ(VarToStr(v), c.text);
  }
  // A byte count beyond the stream's end is refused before anything is allocated.
  EXPECT_THROW(ReadBack({vaLString, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}), EReadError);
  EXPECT_THROW(ReadBack({vaString, 5, 'a'}), EReadError);
}
