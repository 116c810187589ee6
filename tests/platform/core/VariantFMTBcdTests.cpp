// Binary-coded decimals (TBcd) and the FMTBcd custom variant type.
#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FMTBcd.h"
#include "platform/core/Filer.h"
#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"
#include "platform/core/Variants.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

std::string Narrow(const String& s) { return std::string(s.begin(), s.end()); }

// "." as the decimal and "," as the thousand separator, "$" before amounts,
// whatever the locale the suite runs in.
TFormatSettings Dot() { return TFormatSettings(); }

TFormatSettings Comma() {
  TFormatSettings fs;
  fs.DecimalSeparator = L',';
  fs.ThousandSeparator = L'.';
  return fs;
}

TBcd Bcd(const String& text) { return StrToBcd(text, Dot()); }

String Str(const TBcd& bcd) { return BcdToStr(bcd, Dot()); }

Variant FromText(const String& text) { return VarFMTBcdCreate(Bcd(text)); }

}  // namespace

TEST(VariantFMTBcd, TextTable) {
  const String nines(64, L'9');
  struct Row {
    String text;
    bool comma;
    String shown;  // BcdToStr, same separator
    int precision, scale;
  };
  const std::vector<Row> rows = {
      {L"12.50", false, L"12.5", 4, 2},
      {L"-0.05", false, L"-0.05", 2, 2},
      {L"0", false, L"0", 1, 0},
      {L"-0.00", false, L"0", 2, 2},
      {L"  +7 ", false, L"7", 1, 0},
      {L"007.10", false, L"7.1", 3, 2},
      {L".5", false, L"0.5", 1, 1},
      {L"1.5E3", false, L"1500", 4, 0},
      {L"25e-4", false, L"0.0025", 4, 4},
      {L"1,25", true, L"1,25", 3, 2},
      {nines, false, nines, 64, 0},
      {L"0." + String(70, L'3'), false, L"0." + String(63, L'3'), 63, 63},   // rounded to the record's room
      {L"0." + String(63, L'9') + L"5", false, L"1", 64, 63},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(Narrow(r.text));
    const TFormatSettings fs = r.comma ? Comma() : Dot();
    TBcd bcd;
    ASSERT_TRUE(TryStrToBcd(r.text, bcd, fs));
    EXPECT_EQ(BcdToStr(bcd, fs), r.shown);
    EXPECT_EQ(BcdPrecision(bcd), r.precision);
    EXPECT_EQ(BcdScale(bcd), r.scale);
    EXPECT_EQ(BcdCompare(StrToBcd(BcdToStr(bcd, fs), fs), bcd), 0) << "its text reads back";
  }

  // The record's bytes are the stored form.
  const TBcd packed = Bcd(L"-12.5");
  EXPECT_EQ(packed.Precision, 3);
  EXPECT_EQ(packed.SignSpecialPlaces, 0x81);
  EXPECT_EQ(packed.Fraction[0], 0x12);
  EXPECT_EQ(packed.Fraction[1], 0x50);
  EXPECT_EQ(packed.Fraction[2], 0x00);
}

TEST(VariantFMTBcd, BadTextAndOverflow) {
  for (const String bad : {L"", L"abc", L"1.2.3", L"1e", L"--1", L"1 2", L"1,5", L"$1", L"."}) {
    SCOPED_TRACE(Narrow(bad));
    TBcd bcd;
    EXPECT_FALSE(TryStrToBcd(bad, bcd, Dot()));
    EXPECT_THROW(StrToBcd(bad, Dot()), EBcdException);
    try {
      StrToBcd(bad, Dot());
    } catch (const EBcdOverflowException&) {
      ADD_FAILURE() << "bad text is not an overflow";
    } catch (const EBcdException& e) {
      EXPECT_EQ(e.Message, L"'" + bad + L"' is not a valid BCD value");
    }
  }
  for (const String& big : {String(65, L'1'), String(L"1e64"), String(L"-1E100000")}) {
    SCOPED_TRACE(Narrow(big));
    EXPECT_THROW(StrToBcd(big, Dot()), EBcdOverflowException);
  }
  EXPECT_EQ(Str(Bcd(L"1e63")), L"1" + String(63, L'0'));
  EXPECT_EQ(Str(Bcd(L"1e-100000")), L"0");

  // A damaged record (a nibble above 9, more places than digits) is refused.
  TBcd damaged = Bcd(L"12");
  damaged.Fraction[0] = 0x1A;
  EXPECT_THROW(BcdToStr(damaged), EBcdException);
  EXPECT_THROW(VarFMTBcdCreate(damaged), EBcdException);
  TBcd places = Bcd(L"12");
  places.SignSpecialPlaces = 5;
  EXPECT_THROW(BcdToDouble(places), EBcdException);
}

TEST(VariantFMTBcd, FormatTable) {
  TFormatSettings fs = Dot();
  fs.CurrencyString = L"$";
  fs.CurrencyFormat = 0;
  struct Row {
    const Char* value;
    TFloatFormat format;
    int precision, digits;
    const Char* expected;
  };
  const Row rows[] = {
      {L"1234.565", ffFixed, 15, 2, L"1234.57"},  // half away from zero
      {L"-1234.565", ffFixed, 15, 2, L"-1234.57"},
      {L"-0.004", ffFixed, 15, 2, L"0.00"},
      {L"99.999", ffFixed, 15, 2, L"100.00"},
      {L"7", ffFixed, 15, 0, L"7"},
      {L"12345", ffFixed, 3, 2, L"1.23E4"},   // more integer digits than the precision
      {L"1234567.891", ffNumber, 15, 2, L"1,234,567.89"},
      {L"-123", ffNumber, 15, 1, L"-123.0"},
      {L"123456789012345678901234", ffGeneral, 15, 0, L"1.23456789012346E23"},
      {L"123456789012345678901234", ffGeneral, 0, 0, L"123456789012345678901234"},
      {L"12.345", ffGeneral, 4, 0, L"12.35"},
      {L"0.00001234", ffGeneral, 15, 0, L"0.00001234"},
      {L"0.000001234", ffGeneral, 15, 0, L"1.234E-6"},   // as the float format
      {L"0.000001234", ffGeneral, 0, 0, L"0.000001234"},
      {L"1.50", ffGeneral, 15, 0, L"1.5"},
      {L"999.96", ffGeneral, 4, 0, L"1000"},
      {L"1234.5", ffCurrency, 15, 2, L"$1,234.50"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(Narrow(r.value));
    EXPECT_EQ(BcdToStrF(Bcd(r.value), r.format, r.precision, r.digits, fs), r.expected);
  }
  EXPECT_EQ(BcdToStrF(StrToBcd(L"1234,5", Comma()), ffNumber, 15, 2, Comma()), L"1.234,50");
}

TEST(VariantFMTBcd, NumbersTable) {
  // Doubles: through their 15 significant digits.
  const struct {
    double value;
    const Char* text;
  } doubles[] = {{0.1, L"0.1"}, {-2.5, L"-2.5"}, {1e20, L"100000000000000000000"}, {0.1 + 0.2, L"0.3"},
                 {1.0 / 3.0, L"0.333333333333333"}, {0.0, L"0"}};
  for (const auto& d : doubles) {
    SCOPED_TRACE(Narrow(d.text));
    EXPECT_EQ(Str(DoubleToBcd(d.value)), d.text);
  }
  EXPECT_EQ(BcdToDouble(Bcd(L"0.1")), 0.1);
  EXPECT_EQ(BcdToDouble(Bcd(L"-123456789.125")), -123456789.125);
  EXPECT_EQ(BcdToDouble(Bcd(L"1e63")), 1e63);
  EXPECT_THROW(DoubleToBcd(std::numeric_limits<double>::quiet_NaN()), EBcdException);
  EXPECT_THROW(DoubleToBcd(HUGE_VAL), EBcdOverflowException);

  // Integers: rounded half away from zero, or truncated.
  const struct {
    const Char* text;
    Int64 rounded, truncated;
  } ints[] = {{L"2.5", 3, 2}, {L"-2.5", -3, -2}, {L"2.49", 2, 2}, {L"-9223372036854775808", INT64_MIN, INT64_MIN},
              {L"9223372036854775807.4", INT64_MAX, INT64_MAX}};
  for (const auto& i : ints) {
    SCOPED_TRACE(Narrow(i.text));
    EXPECT_EQ(BcdToInt64(Bcd(i.text)), i.rounded);
    EXPECT_EQ(BcdToInt64(Bcd(i.text), true), i.truncated);
  }
  EXPECT_THROW(BcdToInt64(Bcd(L"9223372036854775807.5")), EBcdOverflowException);
  EXPECT_THROW(BcdToInteger(Bcd(L"2147483648")), EBcdOverflowException);
  EXPECT_EQ(BcdToInteger(Bcd(L"-2147483648")), INT_MIN);
  EXPECT_EQ(Str(IntegerToBcd(INT64_MIN)), L"-9223372036854775808");

  // Currency: four places.
  Currency c;
  ASSERT_TRUE(BCDToCurr(Bcd(L"1.23456"), c));
  EXPECT_EQ(c.Value, 12346);
  EXPECT_FALSE(BCDToCurr(Bcd(L"1e20"), c));
  TBcd fromCurr;
  ASSERT_TRUE(CurrToBCD(Currency::FromRaw(-12345), fromCurr));
  EXPECT_EQ(Str(fromCurr), L"-1.2345");
  EXPECT_EQ(BcdPrecision(fromCurr), 32);
  EXPECT_EQ(BcdScale(fromCurr), 4);
  EXPECT_FALSE(CurrToBCD(Currency::FromRaw(123450000), fromCurr, 4, 2)) << "12345.00 needs 7 digits";
}

TEST(VariantFMTBcd, CompareAndNormalize) {
  const struct {
    const Char *a, *b;
    int expected;
  } cmp[] = {{L"1.5", L"1.50", 0},  {L"-1", L"0.5", -1},   {L"0", L"-0.000", 0},
             {L"10", L"9.99", 1},   {L"-10", L"-9", -1},   {L"0.001", L"0.0009", 1},
             {L"123456789012345678901234567890", L"123456789012345678901234567891", -1}};
  for (const auto& c : cmp) {
    SCOPED_TRACE(Narrow(c.a) + " vs " + Narrow(c.b));
    EXPECT_EQ(BcdCompare(Bcd(c.a), Bcd(c.b)), c.expected);
    EXPECT_EQ(BcdCompare(Bcd(c.b), Bcd(c.a)), -c.expected);
  }

  TBcd out;
  ASSERT_TRUE(NormalizeBcd(Bcd(L"12.345"), out, 5, 2));
  EXPECT_EQ(Str(out), L"12.35");
  EXPECT_EQ(BcdPrecision(out), 5);
  EXPECT_EQ(BcdScale(out), 2);
  ASSERT_TRUE(NormalizeBcd(Bcd(L"-1.5"), out, 10, 4));
  EXPECT_EQ(BcdToStrF(out, ffFixed, 0, 4, Dot()), L"-1.5000");
  EXPECT_FALSE(NormalizeBcd(Bcd(L"123.4"), out, 4, 2));
  EXPECT_THROW(NormalizeBcd(Bcd(L"1"), out, 0, 0), EBcdException);
  EXPECT_THROW(NormalizeBcd(Bcd(L"1"), out, 4, 5), EBcdException);
  EXPECT_THROW(NormalizeBcd(Bcd(L"1"), out, 65, 0), EBcdException);
}

TEST(VariantFMTBcd, VariantConversionTable) {
  const TVarType bcd = VarFMTBcd();
  ASSERT_GE(bcd, varFirstCustom);
  const TCustomVariantType* type = nullptr;
  ASSERT_TRUE(FindCustomVariantType(bcd, type));
  EXPECT_EQ(VarTypeAsText(bcd), L"FMTBcd");

  const Variant v = FromText(L"-2.5");
  EXPECT_TRUE(VarIsFMTBcd(v));
  EXPECT_TRUE(VarIsCustom(v));
  EXPECT_FALSE(VarIsNumeric(v)) << "the platform's numeric test knows only its own kinds";
  EXPECT_FALSE(VarIsFMTBcd(Variant(2.5)));

  // From a FMTBcd value to the standard kinds.
  struct Out {
    const char* name;
    Variant from;
    TVarType to;
    Variant expected;  // Empty: EVariantOverflowError
  };
  const std::vector<Out> out = {
      {"int", v, varInteger, -3},
      {"int64", FromText(L"9007199254740993"), varInt64, Int64(9007199254740993LL)},
      {"uint64", FromText(L"18446744073709551615"), varUInt64, UInt64(18446744073709551615ULL)},
      {"byte", FromText(L"255.4"), varByte, (unsigned char)255},
      {"double", v, varDouble, -2.5},
      {"currency", FromText(L"1.23456"), varCurrency, Currency::FromRaw(12346)},
      {"boolean", FromText(L"0.0"), varBoolean, false},
      {"date", FromText(L"45000.5"), varDate, VarFromDateTime(45000.5)},
      {"olestr", v, varOleStr, VarAsType(L"-2.5", varOleStr)},
      {"int overflow", FromText(L"1e30"), varInteger, Variant()},
      {"byte overflow", FromText(L"-1"), varByte, Variant()},
      {"currency overflow", FromText(L"1e20"), varCurrency, Variant()},
  };
  for (const Out& o : out) {
    SCOPED_TRACE(o.name);
    if (VarIsEmpty(o.expected)) {
      EXPECT_THROW(VarAsType(o.from, o.to), EVariantOverflowError);
      continue;
    }
    const Variant r = VarAsType(o.from, o.to);
    EXPECT_EQ(VarType(r), o.to);
    EXPECT_TRUE(r == o.expected);
  }
  try {
    VarAsType(FromText(L"1e30"), varInteger);
  } catch (const EVariantOverflowError& e) {
    EXPECT_EQ(e.Message, L"Overflow while converting variant of type (FMTBcd) into type (Integer)");
  }
  EXPECT_EQ(v.AsInteger(), -3);
  EXPECT_EQ(v.AsDouble(), -2.5);
  EXPECT_THROW(VarAsType(v, varDispatch), EVariantTypeCastError);

  // From the standard kinds to FMTBcd.
  struct In {
    const char* name;
    Variant from;
    const Char* text;  // null: EVariantTypeCastError; empty: EVariantOverflowError
  };
  const std::vector<In> in = {
      {"empty", Variant(), L"0"},
      {"int", -42, L"-42"},
      {"true", true, L"-1"},
      {"uint64", UInt64(18446744073709551615ULL), L"18446744073709551615"},
      {"currency", Currency::FromRaw(-12345), L"-1.2345"},
      {"double", 0.1, L"0.1"},
      {"text", L" 12.50 ", L"12.5"},
      {"bytes", RawByteString("3e2"), L"300"},
      {"bad text", L"abc", nullptr},
      {"null", Null(), nullptr},
      {"array", VarArrayOf({1}), nullptr},
      {"text overflow", L"1e99", L""},
      {"infinity", HUGE_VAL, L""},
  };
  for (const In& i : in) {
    SCOPED_TRACE(i.name);
    if (!i.text) {
      EXPECT_THROW(VarAsType(i.from, bcd), EVariantTypeCastError);
    } else if (!*i.text) {
      EXPECT_THROW(VarAsType(i.from, bcd), EVariantOverflowError);
    } else {
      const Variant r = VarAsType(i.from, bcd);
      EXPECT_TRUE(VarIsFMTBcd(r));
      EXPECT_EQ(Str(VarToBcd(r)), i.text);
    }
  }
}

TEST(VariantFMTBcd, VariantCreateCompareAndStream) {
  const Variant fixed = VarFMTBcdCreate(L"12.345", 10, 2);
  EXPECT_EQ(BcdPrecision(VarToBcd(fixed)), 10);
  EXPECT_EQ(BcdScale(VarToBcd(fixed)), 2);
  EXPECT_EQ(Str(VarToBcd(fixed)), L"12.35");
  EXPECT_EQ(Str(VarToBcd(VarFMTBcdCreate(2.5))), L"2.5");
  EXPECT_EQ(BcdScale(VarToBcd(VarFMTBcdCreate(2.5))), 4);
  EXPECT_THROW(VarFMTBcdCreate(L"123.4", 4, 2), EBcdOverflowException);
  EXPECT_THROW(VarFMTBcdCreate(L"x", 4, 2), EBcdException);
  // Any other value is read from its text.
  EXPECT_EQ(Str(VarToBcd(Variant(L"7.25"))), L"7.25");
  EXPECT_EQ(Str(VarToBcd(Variant(8))), L"8");
  EXPECT_THROW(VarToBcd(Null()), EBcdException);

  // Beside ordinary values it compares as a number.
  enum class Cmp { Eq, Lt, Gt, None, Raises };
  const Variant two5 = FromText(L"2.5");
  const struct {
    const char* name;
    Variant other;
    Cmp expected;  // of 2.5 against `other`
  } rows[] = {
      {"double", 2.5, Cmp::Eq},       {"int", 2, Cmp::Gt},
      {"text", L"2.50", Cmp::Eq},     {"text more", L"3", Cmp::Lt},
      {"currency", Currency::FromRaw(25000), Cmp::Eq},
      {"bcd", FromText(L"2.500"), Cmp::Eq},
      {"bcd more", FromText(L"10"), Cmp::Lt},
      {"empty", Variant(), Cmp::Gt},   {"null", Null(), Cmp::None},
      {"bad text", L"x", Cmp::Raises},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    if (r.expected == Cmp::Raises) {
      EXPECT_THROW((void)(two5 == r.other), EVariantTypeCastError);
      EXPECT_THROW((void)(r.other < two5), EVariantTypeCastError);
      continue;
    }
    EXPECT_EQ(two5 == r.other, r.expected == Cmp::Eq);
    EXPECT_EQ(two5 < r.other, r.expected == Cmp::Lt);
    EXPECT_EQ(two5 > r.other, r.expected == Cmp::Gt);
    EXPECT_EQ(r.other == two5, r.expected == Cmp::Eq);
    EXPECT_EQ(r.other > two5, r.expected == Cmp::Lt) << "mirrored";
  }
  EXPECT_EQ(VarCompareValue(two5, 3), vrLessThan);
  EXPECT_FALSE(VarSameValue(FromText(L"0"), Variant()));

  // Copies are values of their own, also inside arrays.
  Variant copy = two5;
  copy = FromText(L"1");
  EXPECT_EQ(VarToStr(two5), FormatSettings().DecimalSeparator == L'.' ? L"2.5" : L"2,5");
  const Variant list = VarArrayOf({two5, copy});
  EXPECT_TRUE(VarArrayGet(list, 0) == two5);

  // The stream has no decimal value: it travels as its text.
  auto stream = MakeOwned<TBytesStream>();
  {
    auto writer = MakeOwned<TWriter>(stream.get());
    writer->WriteVariant(list);
  }
  stream->SetPosition(0);
  auto reader = MakeOwned<TReader>(stream.get());
  const Variant back = reader->ReadVariant();
  EXPECT_EQ(VarType(VarArrayGet(back, 0)), varString);
  EXPECT_EQ(BcdCompare(VarToBcd(VarArrayGet(back, 0)), Bcd(L"2.5")), 0);
  EXPECT_EQ(BcdCompare(VarToBcd(VarArrayGet(back, 1)), Bcd(L"1")), 0);
}
