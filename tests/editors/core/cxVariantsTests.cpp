#include "platform/WinApi.h"
#include "editors/core/cxVariants.h"

#include "platform/core/Exceptions.h"
#include "platform/core/FMTBcd.h"
#include "platform/core/SqlTimSt.h"
#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using TBytesList = std::vector<Byte>;

TBytesList Written(const Variant& V) {
  TMemoryStream* stream = Make<TMemoryStream>();
  cxWriteVariantToStream(stream, V);
  const Byte* p = static_cast<const Byte*>(stream->Memory());
  TBytesList bytes(p, p + stream->Size());
  TObject::Free(stream);
  return bytes;
}

Variant ReadBack(const TBytesList& bytes) {
  TMemoryStream* stream = Make<TMemoryStream>();
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), static_cast<NativeInt>(bytes.size()));
  stream->SetPosition(0);
  Variant result;
  try {
    result = cxReadVariantFromStream(stream);
  } catch (...) {
    TObject::Free(stream);
    throw;
  }
  TObject::Free(stream);
  return result;
}

TBytesList Prefix(std::initializer_list<Byte> head, std::size_t fill = 0, Byte value = 0) {
  TBytesList bytes(head);
  bytes.insert(bytes.end(), fill, value);
  return bytes;
}

struct TStreamCase {
  const char* Name;
  Variant Value;
  TBytesList Bytes;
  TVarType ReadType;
};

}  // namespace

TEST(cxVariantStream, ValuesAreWrittenAsTheseBytesAndReadBackAsTheseTypes) {
  const TStreamCase cases[] = {
      {"empty", Unassigned(), {0x0D}, varEmpty},
      {"null", Null(), {0x00}, varNull},
      {"true", Variant(true), {0x09}, varBoolean},
      {"false", Variant(false), {0x08}, varBoolean},
      {"127 as 8 bits", Variant(127), {0x02, 0x7F}, varShortInt},
      {"-128 as 8 bits", Variant(-128), {0x02, 0x80}, varShortInt},
      {"200 as 16 bits", Variant(200), {0x03, 0xC8, 0x00}, varSmallint},
      {"-129 as 16 bits", Variant(-129), {0x03, 0x7F, 0xFF}, varSmallint},
      {"32768 as 32 bits", Variant(32768), {0x04, 0x00, 0x80, 0x00, 0x00}, varInteger},
      {"2^31 as 64 bits", Variant(Int64(2147483648LL)), {0x13, 0, 0, 0, 0x80, 0, 0, 0, 0}, varInt64},
      {"unsigned 4e9 as 64 bits", Variant(Cardinal(4000000000u)),
       {0x13, 0x00, 0x28, 0x6B, 0xEE, 0, 0, 0, 0}, varInt64},
      {"a 16-bit 5 as 8 bits", Variant(short(5)), {0x02, 0x05}, varShortInt},
      {"single", Variant(1.5f), {0x0F, 0x00, 0x00, 0xC0, 0x3F}, varSingle},
      {"double as extended", Variant(1.0), {0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}, varDouble},
      {"currency", Variant(Currency(2)), {0x10, 0x20, 0x4E, 0, 0, 0, 0, 0, 0}, varCurrency},
      {"date", VarFromDateTime(2.0), {0x11, 0, 0, 0, 0, 0, 0, 0, 0x40}, varDate},
      {"unicode as wide", Variant(String(L"A\u4E2D")), {0x12, 2, 0, 0, 0, 0x41, 0, 0x2D, 0x4E}, varOleStr},
      {"bytes as short string", Variant(RawByteString("ab")), {0x06, 2, 'a', 'b'}, varString},
      {"255 bytes", Variant(RawByteString(255, 'x')), Prefix({0x06, 0xFF}, 255, 'x'), varString},
      {"256 bytes", Variant(RawByteString(256, 'y')), Prefix({0x0C, 0x00, 0x01, 0x00, 0x00}, 256, 'y'), varString},
      {"empty array", VarArrayCreate({0, -1}, varVariant), {0x01, 0x02, 0x00}, varArray | varVariant},
  };
  for (const TStreamCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Written(c.Value), c.Bytes);
    const Variant back = ReadBack(c.Bytes);
    EXPECT_EQ(VarType(back), c.ReadType);
    if (!VarIsArray(back)) {
      EXPECT_TRUE(cxVariantsEqual(back, c.Value));
    }
  }

  // An array keeps its elements and comes back from 0; nested lists nest.
  Variant array = VarArrayCreate({5, 7}, varVariant);
  VarArrayPut(array, Variant(1), 5);
  VarArrayPut(array, VarArrayOf({Variant(2), Null()}), 6);
  VarArrayPut(array, Variant(String(L"z")), 7);
  const TBytesList bytes = Written(array);
  EXPECT_EQ(TBytesList(bytes.begin(), bytes.begin() + 5), (TBytesList{0x01, 0x02, 0x03, 0x02, 0x01}));
  const Variant back = ReadBack(bytes);
  ASSERT_TRUE(VarIsArray(back));
  EXPECT_EQ(VarArrayLowBound(back, 1), 0);
  EXPECT_EQ(VarArrayHighBound(back, 1), 2);
  EXPECT_EQ(cxCompareVariantArrays(VarArrayGet(back, 1), VarArrayOf({Variant(2), Null()})), 0);
  EXPECT_EQ(VarArrayGet(back, 2).AsString(), L"z");
}

TEST(cxVariantStream, OtherKindsTravelAsTextOrAsADate) {
  // A BCD number is stored as its text; a time stamp as a date.
  const TBytesList bcd = Written(VarFMTBcdCreate(String(L"12.5"), 10, 2));
  ASSERT_GE(bcd.size(), 2u);
  EXPECT_EQ(bcd[0], 0x06);
  EXPECT_EQ(String(bcd.begin() + 2, bcd.end()), BcdToStr(StrToBcd(L"12.5")));
  TSQLTimeStamp stamp;
  stamp.Year = 2024;
  stamp.Month = 2;
  stamp.Day = 29;
  const TBytesList date = Written(VarSQLTimeStampCreate(stamp));
  EXPECT_EQ(date[0], 0x11);
  EXPECT_EQ(ReadBack(date).AsDateTime(), SQLTimeStampToDateTime(stamp));
  // Extended precision round trip of doubles that need all 53 bits.
  for (double d : {0.1, -1e300, 5e-324, 123456789.125}) EXPECT_EQ(ReadBack(Written(Variant(d))).AsDouble(), d);
}

TEST(cxVariantStream, BadValuesFailWithTheStreamErrors) {
  Variant twoDims = VarArrayCreate({0, 1, 0, 1}, varVariant);
  try {
    Written(twoDims);
    FAIL() << "a two-dimensional array was written";
  } catch (EWriteError& e) {
    EXPECT_EQ(e.Message, L"Stream write error");
  }
  for (Byte tag : {7, 10, 11, 14, 20, 0xFF}) {
    try {
      ReadBack({tag});
      FAIL() << "tag " << int(tag) << " was read";
    } catch (EReadError& e) {
      EXPECT_EQ(e.Message, L"Stream read error");
    }
  }
}

TEST(cxVariantStream, CountsLengthsAndDepthAreCheckedAgainstTheStream) {
  const TBytesList hostile[] = {
      {0x01, 0x13, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},  // list of 2^63 - 1
      {0x01, 0x04, 0x00, 0x00, 0x00, 0x40, 0x0D},                     // list of 2^30 with one value
      {0x01, 0x02, 0xFF},                                             // list of -1
      {0x0C, 0xFF, 0xFF, 0xFF, 0x7F, 'a'},                            // long string of 2 GB
      {0x0C, 0x00, 0x00, 0x00, 0x80},                                 // negative length
      {0x12, 0x00, 0x00, 0x00, 0x40, 'a', 0},                         // wide string of 2^30
      {0x06, 0x05, 'a', 'b'},                                         // short string cut off
  };
  for (const TBytesList& bytes : hostile) {
    EXPECT_THROW(ReadBack(bytes), EReadError);
  }
  // Lists nested deeper than the limit are refused before the stack runs out.
  TBytesList deep;
  for (int i = 0; i < 100000; ++i) deep.insert(deep.end(), {0x01, 0x02, 0x01});
  deep.push_back(0x00);
  EXPECT_THROW(ReadBack(deep), EReadError);
  TBytesList allowed;
  for (int i = 0; i < cxMaxVariantStreamDepth; ++i) allowed.insert(allowed.end(), {0x01, 0x02, 0x01});
  allowed.push_back(0x00);
  EXPECT_NO_THROW(ReadBack(allowed));
}

TEST(cxVariantStream, AFailedReadLeavesTheTargetAlone) {
  TMemoryStream* stream = Make<TMemoryStream>();
  const Byte bytes[] = {0x01, 0x02, 0x03, 0x02, 0x01, 0x07};
  stream->WriteBuffer(bytes, sizeof(bytes));
  stream->SetPosition(0);
  Variant target(42);
  EXPECT_THROW(cxReadVariantFromStream(stream, target), EReadError);
  EXPECT_EQ(VarType(target), varInteger);
  EXPECT_EQ(target.AsInteger(), 42);
  TObject::Free(stream);
}

// Random and mutated streams: the reader either gives a value or raises a
// stream error; it never crashes, hangs or allocates beyond the stream.
TEST(cxVariantStream, MutatedStreamsGiveAValueOrAStreamError) {
  std::mt19937 random(20261210);
  Variant sample = VarArrayOf({Variant(1), Variant(String(L"wide")), Variant(RawByteString("ansi")),
                               VarArrayOf({Variant(2.5), Null(), Variant(true)}), Variant(Int64(1) << 40),
                               Variant(Currency(7)), VarFromDateTime(45000.5), Unassigned()});
  const TBytesList original = Written(sample);
  for (int round = 0; round < 4000; ++round) {
    TBytesList bytes = original;
    const int mutations = 1 + static_cast<int>(random() % 4);
    for (int m = 0; m < mutations; ++m) {
      switch (random() % 4) {
        case 0: bytes[random() % bytes.size()] = static_cast<Byte>(random()); break;
        case 1: bytes.resize(random() % (bytes.size() + 1)); break;
        case 2: bytes.insert(bytes.begin() + random() % (bytes.size() + 1), static_cast<Byte>(random())); break;
        default:
          if (!bytes.empty()) bytes.erase(bytes.begin() + random() % bytes.size());
      }
      if (bytes.empty()) bytes.push_back(static_cast<Byte>(random()));
    }
    try {
      const Variant value = ReadBack(bytes);
      // Whatever was read writes again.
      Written(value);
    } catch (EReadError&) {
    } catch (EStreamError&) {
    }
  }
}

TEST(cxVariantHelpers, FixedWidthValuesKeepTheirBytes) {
  TMemoryStream* stream = Make<TMemoryStream>();
  cxWriteAnsiStringToStream(stream, AnsiString("abc"));
  cxWriteWideStringToStream(stream, L"\u4E2D");
  cxWriteBooleanToStream(stream, true);
  cxWriteExtendedToStream(stream, -2.0);
  cxWriteCurrencyToStream(stream, Currency(3));
  cxWriteDateTimeToStream(stream, 1.25);
  cxWriteIntegerToStream(stream, -5);
  cxWriteLargeIntToStream(stream, Int64(1) << 50);
  cxWriteSmallintToStream(stream, -7);
  cxWriteWordToStream(stream, 65535);
  EXPECT_EQ(stream->Size(), 7 + 6 + 1 + 10 + 8 + 8 + 4 + 8 + 2 + 2);
  stream->SetPosition(0);
  EXPECT_EQ(cxReadAnsiStringFromStream(stream), "abc");
  EXPECT_EQ(cxReadWideStringFromStream(stream), L"\u4E2D");
  EXPECT_TRUE(cxReadBooleanFromStream(stream));
  EXPECT_EQ(cxReadExtendedFromStream(stream), -2.0);
  EXPECT_EQ(cxReadCurrencyFromStream(stream).Value, 30000);
  EXPECT_EQ(cxReadDateTimeFromStream(stream), 1.25);
  EXPECT_EQ(cxReadIntegerFromStream(stream), -5);
  EXPECT_EQ(cxReadLargeIntFromStream(stream), Int64(1) << 50);
  EXPECT_EQ(cxReadSmallintFromStream(stream), -7);
  EXPECT_EQ(cxReadWordFromStream(stream), 65535);
  EXPECT_THROW(cxReadWordFromStream(stream), EReadError);
  TObject::Free(stream);
}

TEST(cxVariantCompare, ScalarsArraysAndStrictMatches) {
  struct TCase {
    const char* Name;
    Variant A, B;
    int Sign;
  } cases[] = {
      {"empty empty", Unassigned(), Unassigned(), 0},
      {"empty null", Unassigned(), Null(), -1},
      {"null empty", Null(), Unassigned(), 1},
      {"null 5", Null(), Variant(5), -1},
      {"5 null", Variant(5), Null(), 1},
      {"null null", Null(), Null(), 0},
      {"1 2", Variant(1), Variant(2), -1},
      {"text vs number that does not convert", Variant(String(L"x")), Variant(5), -1},
      {"array vs scalar", VarArrayOf({Variant(1)}), Variant(1), 1},
      {"scalar vs array", Variant(1), VarArrayOf({Variant(1)}), -1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const int r = cxCompareVariants(c.A, c.B);
    EXPECT_EQ((r > 0) - (r < 0), c.Sign);
  }
  // Upper bounds 3 and 1 give their difference.
  EXPECT_EQ(cxCompareVariantArrays(VarArrayCreate({0, 3}, varVariant), VarArrayCreate({0, 1}, varVariant)), 2);
  // Equal upper bounds, different lower bounds: compared from each start,
  // then the shorter first; no element outside an array is read.
  Variant a = VarArrayCreate({2, 3}, varVariant);
  VarArrayPut(a, Variant(1), 2);
  VarArrayPut(a, Variant(2), 3);
  Variant b = VarArrayCreate({0, 3}, varVariant);
  for (int i = 0; i <= 3; ++i) VarArrayPut(b, Variant(i + 1), i);
  EXPECT_LT(cxCompareVariantArrays(a, b), 0);
  EXPECT_GT(cxCompareVariantArrays(b, a), 0);

  EXPECT_TRUE(cxVariantsMatchStrict(Variant(true), Variant(String(L"True"))));
  EXPECT_FALSE(cxVariantsMatchStrict(Variant(true), Variant(String(L"1"))));
  EXPECT_EQ(cxVariantsMatchStrict(Null(), Variant(false)), cxVariantsEqual(Null(), Variant(false)));
  EXPECT_TRUE(cxVariantsSameTypeAndValue(Variant(3), Variant(3)));
  EXPECT_FALSE(cxVariantsSameTypeAndValue(Variant(3), Variant(short(3))));

  EXPECT_TRUE(cxVariantHoldsDateTime(VarFromDateTime(1.0)));
  EXPECT_TRUE(cxVariantHoldsDateTime(VarSQLTimeStampCreate(1.0)));
  EXPECT_FALSE(cxVariantHoldsDateTime(Variant(1.0)));
  EXPECT_TRUE(cxVariantIsNumberOrBcd(VarFMTBcdCreate(1.0)));
  EXPECT_FALSE(cxVariantIsNumberOrBcd(Variant(String(L"1"))));
  EXPECT_TRUE(cxVariantIsNullOrEmptyText(Variant(String())));
  EXPECT_TRUE(cxVariantIsNullOrEmptyText(Null()));
  EXPECT_FALSE(cxVariantIsNullOrEmptyText(Variant(0)));
}
