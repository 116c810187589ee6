#include "platform/WinApi.h"
#include "platform/core/Variants.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

// A narrow literal or an object pointer must not quietly become a Boolean.
static_assert(!std::is_constructible_v<Variant, const char*>);
static_assert(!std::is_constructible_v<Variant, TObject*>);

namespace {

Currency Curr(Int64 raw) { return Currency::FromRaw(raw); }

std::string Narrow(const String& s) { return std::string(s.begin(), s.end()); }

enum class Outcome { Ok, Cast, Overflow };

// Same kind and the same stored value, read back through the kind's own form.
::testing::AssertionResult SameStored(const Variant& actual, const Variant& expected) {
  const TVarType t = VarType(actual);
  if (t != VarType(expected))
    return ::testing::AssertionFailure() << "type " << Narrow(VarTypeAsText(t)) << ", expected "
                                         << Narrow(VarTypeAsText(VarType(expected)));
  bool same = true;
  switch (t) {
    case varSingle: case varDouble: case varDate:
      same = actual.AsDouble() == expected.AsDouble();
      break;
    case varCurrency: same = actual.AsCurrency().Value == expected.AsCurrency().Value; break;
    case varUInt64: same = actual.AsUInt64() == expected.AsUInt64(); break;
    case varBoolean: same = actual.AsBoolean() == expected.AsBoolean(); break;
    case varOleStr: case varUString: same = actual.AsString() == expected.AsString(); break;
    case varString: same = actual.AsAnsiString() == expected.AsAnsiString(); break;
    case varEmpty: case varNull: break;
    default: same = actual.AsInt64() == expected.AsInt64(); break;
  }
  if (same) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "value differs";
}

Variant Typed(const Variant& v, TVarType t) { return VarAsType(v, t); }

}  // namespace

TEST(Variant, EachCppTypeGetsItsPlatformCode) {
  const struct {
    Variant v;
    TVarType type;
  } cases[] = {
      {Variant(), varEmpty},
      {Null(), varNull},
      {Variant(short(1)), varSmallint},
      {Variant(1), varInteger},
      {Variant(1.5f), varSingle},
      {Variant(1.5), varDouble},
      {Variant(Curr(15000)), varCurrency},
      {VarFromDateTime(45000.5), varDate},
      {Variant(true), varBoolean},
      {Variant((signed char)-1), varShortInt},
      {Variant((unsigned char)1), varByte},
      {Variant(Word(1)), varWord},
      {Variant(Cardinal(1)), varLongWord},
      {Variant(Int64(1)), varInt64},
      {Variant(UInt64(1)), varUInt64},
      {Variant(L"text"), varUString},
      {Variant(String(L"text")), varUString},
      {Variant(RawByteString("\x80\xFF")), varString},
      {VarArrayOf({1, 2}), TVarType(varArray | varVariant)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(VarTypeAsText(c.type)));
    EXPECT_EQ(VarType(c.v), c.type);
  }
  EXPECT_EQ(VarToDateTime(VarFromDateTime(45000.5)), 45000.5);
  EXPECT_EQ(Variant((signed char)-5).AsInteger(), -5);
  EXPECT_EQ(Variant(UInt64(18446744073709551615ULL)).AsUInt64(), 18446744073709551615ULL);
}

TEST(Variant, ClassificationFollowsThePlatform) {
  struct Row {
    Variant v;
    bool ordinal, isFloat, numeric, str;
  };
  const Row rows[] = {
      {Variant(1), true, false, true, false},
      {Variant(UInt64(1)), true, false, true, false},
      {Variant(true), true, false, true, false},  // the platform counts Boolean as ordinal
      {Variant(1.5), false, true, true, false},
      {Variant(1.5f), false, true, true, false},
      {Variant(Curr(1)), false, true, true, false},
      {VarFromDateTime(1.0), false, false, false, false},
      {Variant(L"1"), false, false, false, true},
      {Typed(Variant(L"1"), varOleStr), false, false, false, true},
      {Typed(Variant(L"1"), varString), false, false, false, true},
      {Variant(), false, false, false, false},
      {Null(), false, false, false, false},
      {VarArrayOf({1}), false, false, false, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(Narrow(VarTypeAsText(VarType(r.v))));
    EXPECT_EQ(VarIsOrdinal(r.v), r.ordinal);
    EXPECT_EQ(VarIsFloat(r.v), r.isFloat);
    EXPECT_EQ(VarIsNumeric(r.v), r.numeric);
    EXPECT_EQ(VarIsStr(r.v), r.str);
  }
  EXPECT_TRUE(VarIsType(Variant(1), varInteger));
  EXPECT_FALSE(VarIsType(Variant(1), varSmallint));
  EXPECT_TRUE(VarIsType(Typed(Variant(L"x"), varOleStr), {varString, varOleStr, varUString}));
  EXPECT_TRUE(VarIsArray(VarArrayOf({})));
  EXPECT_FALSE(VarIsArray(Variant(1)));
}

TEST(Variant, NullAndEmptyRules) {
  EXPECT_TRUE(VarIsNull(Null()));
  EXPECT_FALSE(VarIsEmpty(Null()));
  EXPECT_TRUE(VarIsEmpty(Unassigned()));
  EXPECT_TRUE(VarIsClear(Variant()));
  EXPECT_FALSE(VarIsNull(Variant()));

  // Only the text routines forgive Null; every typed conversion refuses it.
  EXPECT_EQ(VarToStr(Null()), L"");
  EXPECT_EQ(VarToStrDef(Null(), L"n/a"), L"n/a");
  EXPECT_EQ(VarToStrDef(Variant(), L"n/a"), L"");
  EXPECT_EQ(VarToStrDef(Variant(5), L"n/a"), L"5");
  EXPECT_THROW(Null().AsString(), EVariantTypeCastError);
  EXPECT_THROW(Null().AsInteger(), EVariantTypeCastError);
  EXPECT_THROW(Null().AsBoolean(), EVariantTypeCastError);
  EXPECT_THROW(VarToDateTime(Null()), EVariantTypeCastError);
  EXPECT_TRUE(VarIsNull(VarAsType(Null(), varNull)));

  Variant v = 5;
  v.Clear();
  EXPECT_TRUE(VarIsEmpty(v));
  v = Variant(L"abc");
  v = Null();
  EXPECT_TRUE(VarIsNull(v));
}

TEST(Variant, ConversionTable) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Row {
    const char* name;
    Variant from;
    TVarType to;
    Outcome outcome;
    Variant expected;
  };
  const std::vector<Row> rows = {
      // Empty is the zero of every kind; Null converts to nothing.
      {"empty>int", Variant(), varInteger, Outcome::Ok, 0},
      {"empty>double", Variant(), varDouble, Outcome::Ok, 0.0},
      {"empty>str", Variant(), varUString, Outcome::Ok, L""},
      {"empty>bool", Variant(), varBoolean, Outcome::Ok, false},
      {"empty>curr", Variant(), varCurrency, Outcome::Ok, Curr(0)},
      {"null>int", Null(), varInteger, Outcome::Cast, {}},
      {"null>double", Null(), varDouble, Outcome::Cast, {}},
      {"null>str", Null(), varUString, Outcome::Cast, {}},
      {"null>bool", Null(), varBoolean, Outcome::Cast, {}},
      // Narrow integer targets.
      {"32767>smallint", 32767, varSmallint, Outcome::Ok, short(32767)},
      {"32768>smallint", 32768, varSmallint, Outcome::Overflow, {}},
      {"-129>shortint", -129, varShortInt, Outcome::Overflow, {}},
      {"255>byte", 255, varByte, Outcome::Ok, (unsigned char)255},
      {"-1>byte", -1, varByte, Outcome::Overflow, {}},
      {"65536>word", 65536, varWord, Outcome::Overflow, {}},
      {"-1>longword", -1, varLongWord, Outcome::Overflow, {}},
      {"int64>longword", Int64(4294967295LL), varLongWord, Outcome::Ok, Cardinal(4294967295u)},
      {"-1>uint64", -1, varUInt64, Outcome::Overflow, {}},
      {"uint64max>int64", UInt64(18446744073709551615ULL), varInt64, Outcome::Overflow, {}},
      {"int64min>int", Int64(INT64_MIN), varInteger, Outcome::Overflow, {}},
      // Floats round half to even.
      {"2.5>int", 2.5, varInteger, Outcome::Ok, 2},
      {"3.5>int", 3.5, varInteger, Outcome::Ok, 4},
      {"-2.5>int", -2.5, varInteger, Outcome::Ok, -2},
      {"2.6>int", 2.6, varInteger, Outcome::Ok, 3},
      {"-0.5>byte", -0.5, varByte, Outcome::Ok, (unsigned char)0},
      {"1e10>int", 1e10, varInteger, Outcome::Overflow, {}},
      {"1e19>int64", 1e19, varInt64, Outcome::Overflow, {}},
      {"1e19>uint64", 1e19, varUInt64, Outcome::Ok, UInt64(10000000000000000000ULL)},
      {"nan>int", nan, varInteger, Outcome::Overflow, {}},
      {"1e300>single", 1e300, varSingle, Outcome::Overflow, {}},
      {"1.5>single", 1.5, varSingle, Outcome::Ok, 1.5f},
      {"single>double", 0.5f, varDouble, Outcome::Ok, 0.5},
      // Currency: four decimals, exact, rounded half to even.
      {"curr2.5>int", Curr(25000), varInteger, Outcome::Ok, 2},
      {"curr3.5>int", Curr(35000), varInteger, Outcome::Ok, 4},
      {"curr-3.5>int", Curr(-35000), varInteger, Outcome::Ok, -4},
      {"curr>double", Curr(12345), varDouble, Outcome::Ok, 1.2345},
      {"1.23456>curr", 1.23456, varCurrency, Outcome::Ok, Curr(12346)},
      {"1e16>curr", 1e16, varCurrency, Outcome::Overflow, {}},
      {"maxunits>curr", Int64(922337203685477LL), varCurrency, Outcome::Ok,
       Curr(9223372036854770000LL)},
      {"int64max>curr", Int64(INT64_MAX), varCurrency, Outcome::Overflow, {}},
      {"str>curr", L"12.34", varCurrency, Outcome::Ok, Curr(123400)},
      // Strings are read as numbers by the format settings.
      {"'123'>int", L"123", varInteger, Outcome::Ok, 123},
      {"' 42 '>int", L" 42 ", varInteger, Outcome::Ok, 42},
      {"'12.5'>int", L"12.5", varInteger, Outcome::Ok, 12},
      {"'1e3'>double", L"1e3", varDouble, Outcome::Ok, 1000.0},
      {"'-1.5'>double", L"-1.5", varDouble, Outcome::Ok, -1.5},
      {"'abc'>int", L"abc", varInteger, Outcome::Cast, {}},
      {"''>int", L"", varInteger, Outcome::Cast, {}},
      {"'abc'>double", L"abc", varDouble, Outcome::Cast, {}},
      {"'70000'>smallint", L"70000", varSmallint, Outcome::Overflow, {}},
      {"'99999999999999999999'>int64", L"99999999999999999999", varInt64, Outcome::Overflow, {}},
      {"oleStr>int", Typed(Variant(L"7"), varOleStr), varInteger, Outcome::Ok, 7},
      // Booleans: True is -1 as a number; words and numbers as text.
      {"true>int", true, varInteger, Outcome::Ok, -1},
      {"false>int", false, varInteger, Outcome::Ok, 0},
      {"true>double", true, varDouble, Outcome::Ok, -1.0},
      {"true>str", true, varUString, Outcome::Ok, L"True"},
      {"false>str", false, varUString, Outcome::Ok, L"False"},
      {"0>bool", 0, varBoolean, Outcome::Ok, false},
      {"7>bool", 7, varBoolean, Outcome::Ok, true},
      {"0.5>bool", 0.5, varBoolean, Outcome::Ok, true},
      {"curr>bool", Curr(1), varBoolean, Outcome::Ok, true},
      {"'True'>bool", L"True", varBoolean, Outcome::Ok, true},
      {"'fALSE'>bool", L"fALSE", varBoolean, Outcome::Ok, false},
      {"'0'>bool", L"0", varBoolean, Outcome::Ok, false},
      {"'2'>bool", L"2", varBoolean, Outcome::Ok, true},
      {"'yes'>bool", L"yes", varBoolean, Outcome::Cast, {}},
      // Text of numbers.
      {"int>str", -42, varUString, Outcome::Ok, L"-42"},
      {"uint64>str", UInt64(18446744073709551615ULL), varUString, Outcome::Ok,
       L"18446744073709551615"},
      {"double>str", 2.5, varUString, Outcome::Ok, L"2.5"},
      {"single>str", 0.1f, varUString, Outcome::Ok, L"0.1"},
      {"curr>str", Curr(12345), varUString, Outcome::Ok, L"1.2345"},
      {"curr-int>str", Curr(20000), varUString, Outcome::Ok, L"2"},
      // String kinds keep their codes.
      {"ustr>olestr", L"x", varOleStr, Outcome::Ok, Typed(Variant(L"x"), varOleStr)},
      {"ustr>string", L"x", varString, Outcome::Ok, RawByteString("x")},
      // Byte strings: read as text in the ANSI code page, made from text in it.
      {"bytes>int", RawByteString(" 42 "), varInteger, Outcome::Ok, 42},
      {"bytes>double", RawByteString("-1.5"), varDouble, Outcome::Ok, -1.5},
      {"bytes>curr", RawByteString("12.34"), varCurrency, Outcome::Ok, Curr(123400)},
      {"bytes>bool", RawByteString("True"), varBoolean, Outcome::Ok, true},
      {"bytes>ustr", RawByteString("abc"), varUString, Outcome::Ok, L"abc"},
      {"bytes>olestr", RawByteString("abc"), varOleStr, Outcome::Ok, Typed(Variant(L"abc"), varOleStr)},
      {"int>bytes", -42, varString, Outcome::Ok, RawByteString("-42")},
      {"double>bytes", 2.5, varString, Outcome::Ok, RawByteString("2.5")},
      {"empty>bytes", Variant(), varString, Outcome::Ok, RawByteString()},
      {"bytes keep 00 and FF", RawByteString("a\0\xFF", 3), varString, Outcome::Ok, RawByteString("a\0\xFF", 3)},
      {"'x'bytes>int", RawByteString("x"), varInteger, Outcome::Cast, {}},
      {"'300'bytes>byte", RawByteString("300"), varByte, Outcome::Overflow, {}},
      {"null>bytes", Null(), varString, Outcome::Cast, {}},
      // Dates.
      {"double>date", 45000.25, varDate, Outcome::Ok, VarFromDateTime(45000.25)},
      {"date>double", VarFromDateTime(45000.25), varDouble, Outcome::Ok, 45000.25},
      {"1e7>date", 1e7, varDate, Outcome::Overflow, {}},
      {"'abc'>date", L"abc", varDate, Outcome::Cast, {}},
      // Arrays have no scalar form and scalars no array form.
      {"array>int", VarArrayOf({1}), varInteger, Outcome::Cast, {}},
      {"array>str", VarArrayOf({1}), varUString, Outcome::Cast, {}},
      {"int>array", 1, TVarType(varArray | varVariant), Outcome::Cast, {}},
      {"int>dispatch", 1, varDispatch, Outcome::Cast, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    switch (r.outcome) {
      case Outcome::Ok:
        try {
          EXPECT_TRUE(SameStored(VarAsType(r.from, r.to), r.expected));
        } catch (const Exception& e) {
          ADD_FAILURE() << "raised " << Narrow(e.ClassName()) << ": " << e.what();
        }
        break;
      case Outcome::Cast:
        EXPECT_THROW(VarAsType(r.from, r.to), EVariantTypeCastError);
        break;
      case Outcome::Overflow:
        EXPECT_THROW(VarAsType(r.from, r.to), EVariantOverflowError);
        break;
    }
  }
}

TEST(Variant, AccessorsConvertLikeVarAsType) {
  EXPECT_EQ(Variant(L"12.5").AsInteger(), 12);
  EXPECT_EQ(Variant(2.5).AsInt64(), 2);
  EXPECT_EQ(Variant(true).AsInteger(), -1);
  EXPECT_EQ(Variant(L"1.5").AsDouble(), 1.5);
  EXPECT_EQ(Variant(Int64(1) << 40).AsDouble(), 1099511627776.0);
  EXPECT_THROW(Variant(Int64(1) << 40).AsInteger(), EVariantOverflowError);
  EXPECT_EQ(Variant(L"TRUE").AsBoolean(), true);
  EXPECT_EQ(Variant(3).AsCurrency().Value, 30000);
  EXPECT_EQ(VarToStr(Variant(L"abc")), L"abc");
  EXPECT_EQ(VarToStr(Variant()), L"");
  // A date is shown as a date, not as its serial number.
  EXPECT_EQ(VarToStr(VarFromDateTime(45000.5)), DateTimeToStr(45000.5));
}

TEST(Variant, ConversionErrorsNameBothTypes) {
  try {
    Variant(L"abc").AsInteger();
    FAIL() << "no exception";
  } catch (const EVariantTypeCastError& e) {
    EXPECT_EQ(e.Message, L"Could not convert variant of type (UnicodeString) into type (Integer)");
  }
  try {
    VarAsType(VarArrayOf({1}), varDouble);
    FAIL() << "no exception";
  } catch (const EVariantTypeCastError& e) {
    EXPECT_EQ(e.Message, L"Could not convert variant of type (Array Variant) into type (Double)");
  }
  try {
    VarAsType(300, varByte);
    FAIL() << "no exception";
  } catch (const EVariantOverflowError& e) {
    EXPECT_EQ(e.Message, L"Overflow while converting variant of type (Integer) into type (Byte)");
  }
}

// Comparison of a with b: what ==, < and > give; the swapped pair must mirror it.
enum class Cmp { Eq, Lt, Gt, None, Raises };

TEST(Variant, ComparisonTable) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Row {
    const char* name;
    Variant a, b;
    Cmp expected;
  };
  const std::vector<Row> rows = {
      // Numbers compare by value across kinds, integers exactly.
      {"int=double", 1, 1.0, Cmp::Eq},
      {"int<double", 2, 2.5, Cmp::Lt},
      {"byte=int64", (unsigned char)255, Int64(255), Cmp::Eq},
      {"uint64>-1", UInt64(18446744073709551615ULL), -1, Cmp::Gt},
      {"uint64>int64max", UInt64(9223372036854775808ULL), Int64(INT64_MAX), Cmp::Gt},
      {"int64 exact", Int64(9007199254740993LL), Int64(9007199254740992LL), Cmp::Gt},
      {"curr=double", Curr(15000), 1.5, Cmp::Eq},
      {"curr=int", Curr(20000), 2, Cmp::Eq},
      {"curr<int beyond range", Curr(INT64_MAX), Int64(INT64_MAX), Cmp::Lt},
      {"single=double", 0.5f, 0.5, Cmp::Eq},
      {"date=double", VarFromDateTime(45000.5), 45000.5, Cmp::Eq},
      {"nan", nan, nan, Cmp::None},
      // Strings: ordinal, case-sensitive.
      {"abc<abd", L"abc", L"abd", Cmp::Lt},
      {"B<a", L"B", L"a", Cmp::Lt},
      {"a>A", L"a", L"A", Cmp::Gt},
      {"a=a", L"a", Typed(Variant(L"a"), varOleStr), Cmp::Eq},
      // Byte strings: by unsigned byte, beside text as their text.
      {"bytes 80>7F", RawByteString("\x80"), RawByteString("\x7F"), Cmp::Gt},
      {"bytes with 00", RawByteString("a\0b", 3), RawByteString("a\0c", 3), Cmp::Lt},
      {"bytes=ustr", RawByteString("abc"), L"abc", Cmp::Eq},
      {"bytes<ustr", RawByteString("abc"), L"abd", Cmp::Lt},
      {"bytes=number", RawByteString("12"), 12, Cmp::Eq},
      {"bytes=true", RawByteString("True"), true, Cmp::Eq},
      {"empty=''bytes", Variant(), RawByteString(), Cmp::Eq},
      {"null vs bytes", Null(), RawByteString("a"), Cmp::None},
      // A string beside a number is read as a number.
      {"'10'>9", L"10", 9, Cmp::Gt},
      {"'2.5'=2.5", L"2.5", 2.5, Cmp::Eq},
      {"'abc' vs 1", L"abc", 1, Cmp::Raises},
      // Booleans: as Booleans, False < True.
      {"false<true", false, true, Cmp::Lt},
      {"true='True'", true, L"True", Cmp::Eq},
      {"true=1", true, 1, Cmp::Eq},
      {"true=-1", true, -1, Cmp::Eq},
      {"false=0", false, 0, Cmp::Eq},
      {"true vs 'x'", true, L"x", Cmp::Raises},
      // Empty is 0, "" and False; Null equals only Null and has no order.
      {"empty=empty", Variant(), Variant(), Cmp::Eq},
      {"empty=0", Variant(), 0, Cmp::Eq},
      {"empty=''", Variant(), L"", Cmp::Eq},
      {"empty=false", Variant(), false, Cmp::Eq},
      {"empty<1", Variant(), 1, Cmp::Lt},
      {"empty<'a'", Variant(), L"a", Cmp::Lt},
      {"null=null", Null(), Null(), Cmp::Eq},
      {"null vs 5", Null(), 5, Cmp::None},
      {"null vs empty", Null(), Variant(), Cmp::None},
      {"null vs ''", Null(), L"", Cmp::None},
      {"null vs array", Null(), VarArrayOf({1}), Cmp::None},
      // Arrays have no comparison.
      {"array vs array", VarArrayOf({1}), VarArrayOf({1}), Cmp::Raises},
      {"array vs 1", VarArrayOf({1}), 1, Cmp::Raises},
  };
  const auto check = [](const Variant& a, const Variant& b, Cmp expected) {
    if (expected == Cmp::Raises) {
      EXPECT_THROW((void)(a == b), EVariantTypeCastError);
      EXPECT_THROW((void)(a < b), EVariantTypeCastError);
      return;
    }
    EXPECT_EQ(a == b, expected == Cmp::Eq);
    EXPECT_EQ(a != b, expected != Cmp::Eq);
    EXPECT_EQ(a < b, expected == Cmp::Lt);
    EXPECT_EQ(a > b, expected == Cmp::Gt);
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    check(r.a, r.b, r.expected);
    SCOPED_TRACE("swapped");
    const Cmp mirrored = r.expected == Cmp::Lt ? Cmp::Gt : r.expected == Cmp::Gt ? Cmp::Lt : r.expected;
    check(r.b, r.a, mirrored);
  }
}

TEST(Variant, SameValueAndCompareValueKeepEmptyAndNullApart) {
  struct Row {
    const char* name;
    Variant a, b;
    bool same;
    TVariantRelationship rel;
  };
  const std::vector<Row> rows = {
      {"empty,empty", Variant(), Variant(), true, vrEqual},
      {"null,null", Null(), Null(), true, vrEqual},
      {"empty,0", Variant(), 0, false, vrNotEqual},
      {"0,empty", 0, Variant(), false, vrNotEqual},
      {"empty,null", Variant(), Null(), false, vrNotEqual},
      {"null,5", Null(), 5, false, vrNotEqual},
      {"1,2", 1, 2, false, vrLessThan},
      {"b,a", L"b", L"a", false, vrGreaterThan},
      {"'3',3", L"3", 3, true, vrEqual},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(VarSameValue(r.a, r.b), r.same);
    EXPECT_EQ(VarCompareValue(r.a, r.b), r.rel);
  }
  EXPECT_EQ(VarCompareValue(std::nan(""), 1.0), vrNotEqual);
}

TEST(VariantArray, BoundsAndElementAccess) {
  Variant a = VarArrayCreate({1, 3}, varVariant);
  EXPECT_EQ(VarType(a), varArray | varVariant);
  EXPECT_EQ(VarArrayDimCount(a), 1);
  EXPECT_EQ(VarArrayLowBound(a, 1), 1);
  EXPECT_EQ(VarArrayHighBound(a, 1), 3);
  EXPECT_TRUE(VarIsEmpty(VarArrayGet(a, 2)));

  VarArrayPut(a, L"x", 1);
  VarArrayPut(a, 2.5, 3);
  EXPECT_EQ(VarArrayGet(a, 1).AsString(), L"x");
  EXPECT_EQ(VarType(VarArrayGet(a, 3)), varDouble);
  for (int bad : {0, 4, -1})
    EXPECT_THROW(VarArrayGet(a, bad), EVariantBadIndexError) << bad;
  EXPECT_THROW(VarArrayPut(a, 1, 4), EVariantBadIndexError);
  EXPECT_THROW(VarArrayGet(a, {1, 1}), EVariantBadIndexError);
  EXPECT_THROW(VarArrayLowBound(a, 2), EVariantBadIndexError);
  EXPECT_THROW(VarArrayHighBound(a, 0), EVariantBadIndexError);

  // Not an array at all.
  EXPECT_EQ(VarArrayDimCount(Variant(1)), 0);
  EXPECT_THROW(VarArrayLowBound(Variant(1), 1), EVariantInvalidArgError);
  EXPECT_THROW(VarArrayGet(Variant(1), 0), EVariantInvalidArgError);
}

TEST(VariantArray, CreationRejectsBadBoundsAndTypes) {
  EXPECT_THROW(VarArrayCreate({3, 1}, varVariant), EVariantInvalidArgError);
  EXPECT_THROW(VarArrayCreate({0}, varVariant), EVariantInvalidArgError);
  EXPECT_THROW(VarArrayCreate({}, varVariant), EVariantInvalidArgError);
  EXPECT_THROW(VarArrayCreate({0, 1}, varEmpty), EVariantInvalidArgError);
  EXPECT_THROW(VarArrayCreate({0, 1}, varNull), EVariantInvalidArgError);
  EXPECT_THROW(VarArrayCreate({0, 1}, TVarType(varArray | varVariant)), EVariantInvalidArgError);
  // More elements than a process can address.
  EXPECT_THROW(VarArrayCreate({0, 65535, 0, 65535}, varByte), EVariantInvalidArgError);

  // An array without elements: high bound one below the low one.
  const Variant none = VarArrayCreate({0, -1}, varVariant);
  EXPECT_EQ(VarArrayHighBound(none, 1), -1);
  EXPECT_THROW(VarArrayGet(none, 0), EVariantBadIndexError);
  const Variant empty = VarArrayOf({});
  EXPECT_EQ(VarArrayLowBound(empty, 1), 0);
  EXPECT_EQ(VarArrayHighBound(empty, 1), -1);
}

TEST(VariantArray, TypedElementsAreConverted) {
  Variant bytes = VarArrayCreate({0, 1}, varByte);
  EXPECT_EQ(VarType(bytes), varArray | varByte);
  EXPECT_TRUE(SameStored(VarArrayGet(bytes, 0), (unsigned char)0));
  VarArrayPut(bytes, L"7", 1);
  EXPECT_TRUE(SameStored(VarArrayGet(bytes, 1), (unsigned char)7));
  EXPECT_THROW(VarArrayPut(bytes, 300, 0), EVariantOverflowError);
  EXPECT_THROW(VarArrayPut(bytes, L"x", 0), EVariantTypeCastError);
  EXPECT_TRUE(SameStored(VarArrayGet(bytes, 0), (unsigned char)0)) << "a failed store changes nothing";

  const Variant strings = VarArrayCreate({0, 0}, varOleStr);
  EXPECT_TRUE(SameStored(VarArrayGet(strings, 0), Typed(Variant(L""), varOleStr)));
}

TEST(VariantArray, OfKeepsKindsAndCountsFromZero) {
  const Variant a = VarArrayOf({1, L"x", Null(), VarArrayOf({2})});
  EXPECT_EQ(VarArrayLowBound(a, 1), 0);
  EXPECT_EQ(VarArrayHighBound(a, 1), 3);
  EXPECT_EQ(VarType(VarArrayGet(a, 0)), varInteger);
  EXPECT_EQ(VarType(VarArrayGet(a, 1)), varUString);
  EXPECT_TRUE(VarIsNull(VarArrayGet(a, 2)));
  EXPECT_EQ(VarArrayGet(VarArrayGet(a, 3), 0).AsInteger(), 2);
}

TEST(VariantArray, CopiesAreIndependent) {
  Variant a = VarArrayOf({1, VarArrayOf({10, 11})});
  Variant b = a;
  VarArrayPut(b, 2, 0);
  Variant inner = VarArrayGet(b, 1);
  VarArrayPut(inner, 99, 0);
  VarArrayPut(b, inner, 1);
  EXPECT_EQ(VarArrayGet(a, 0).AsInteger(), 1);
  EXPECT_EQ(VarArrayGet(VarArrayGet(a, 1), 0).AsInteger(), 10);
  EXPECT_EQ(VarArrayGet(VarArrayGet(b, 1), 0).AsInteger(), 99);

  Variant c;
  c = b;  // assignment copies too
  VarArrayPut(b, 3, 0);
  EXPECT_EQ(VarArrayGet(c, 0).AsInteger(), 2);

  // Storing an array into itself stores its state before the store.
  Variant self = VarArrayOf({1, 2});
  VarArrayPut(self, self, 0);
  const Variant stored = VarArrayGet(self, 0);
  ASSERT_TRUE(VarIsArray(stored));
  EXPECT_EQ(VarArrayGet(stored, 0).AsInteger(), 1);

  Variant moved = std::move(c);
  EXPECT_EQ(VarArrayGet(moved, 0).AsInteger(), 2);
  c = moved;  // a moved-from variant is usable again
  EXPECT_EQ(VarArrayGet(c, 0).AsInteger(), 2);
}

TEST(VariantArray, TwoDimensions) {
  Variant grid = VarArrayCreate({0, 1, 5, 7}, varInteger);
  EXPECT_EQ(VarArrayDimCount(grid), 2);
  EXPECT_EQ(VarArrayLowBound(grid, 2), 5);
  EXPECT_EQ(VarArrayHighBound(grid, 2), 7);
  int n = 0;
  for (int i = 0; i <= 1; ++i)
    for (int j = 5; j <= 7; ++j) VarArrayPut(grid, ++n, {i, j});
  n = 0;
  for (int i = 0; i <= 1; ++i)
    for (int j = 5; j <= 7; ++j) EXPECT_EQ(VarArrayGet(grid, {i, j}).AsInteger(), ++n);
  EXPECT_THROW(VarArrayGet(grid, {2, 5}), EVariantBadIndexError);
  EXPECT_THROW(VarArrayGet(grid, {0, 4}), EVariantBadIndexError);
  EXPECT_THROW(VarArrayGet(grid, 0), EVariantBadIndexError);
}

namespace {

// A kind of value of the test's own: a whole percentage.
struct TPercentValue final : TCustomVarValue {
  int Percent;
  explicit TPercentValue(int p) : Percent(p) {}
  std::unique_ptr<TCustomVarValue> Clone() const override { return std::make_unique<TPercentValue>(Percent); }
};

class TPercentType final : public TCustomVariantType {
 public:
  TPercentType() : TCustomVariantType(L"Percent") {}
  Variant Make(int percent) const { return MakeVariant(std::make_unique<TPercentValue>(percent)); }
  static int PercentOf(const Variant& v) { return static_cast<const TPercentValue&>(ValueOf(v)).Percent; }

  Variant CastTo(const Variant& source, TVarType type) const override {
    return VarAsType(Variant(PercentOf(source) / 100.0), type);
  }
  Variant Cast(const Variant& source) const override {
    return Make(int(std::lround(VarAsType(source, varDouble).AsDouble() * 100)));
  }
  TVariantRelationship Compare(const Variant& left, const Variant& right) const override {
    const int a = PercentOf(left);
    const int b = right.VType() == VarType() ? PercentOf(right) : PercentOf(Cast(right));
    return a < b ? vrLessThan : a > b ? vrGreaterThan : vrEqual;
  }
};

}  // namespace

TEST(VariantCustomType, RegistersDispatchesAndUnregisters) {
  Variant leftover;
  TVarType code = 0;
  {
    const TPercentType percent;
    code = percent.VarType();
    const TCustomVariantType* found = nullptr;
    ASSERT_TRUE(FindCustomVariantType(code, found));
    EXPECT_EQ(found, &percent);
    EXPECT_GE(code, varFirstCustom);
    EXPECT_EQ(VarTypeAsText(code), L"Percent");
    EXPECT_EQ(VarTypeAsText(TVarType(code | varArray)), L"Array Percent");

    const Variant quarter = percent.Make(25);
    EXPECT_EQ(VarType(quarter), code);
    EXPECT_TRUE(VarIsCustom(quarter));
    EXPECT_EQ(quarter.AsDouble(), 0.25);
    EXPECT_EQ(VarToStr(quarter), FloatToStr(0.25));
    EXPECT_EQ(quarter.AsInteger(), 0);
    EXPECT_TRUE(VarAsType(0.5, code) == percent.Make(50));
    EXPECT_TRUE(quarter < 0.3);
    EXPECT_TRUE(Variant(0.25) == quarter);
    EXPECT_TRUE(Variant(1) > quarter);
    EXPECT_FALSE(quarter == Null());
    EXPECT_THROW((void)(quarter == VarArrayOf({1})), EVariantTypeCastError);
    leftover = quarter;
  }
  // The type is gone: a value left behind is still copied and freed, but
  // converts to nothing.
  const TCustomVariantType* none = nullptr;
  EXPECT_FALSE(FindCustomVariantType(code, none));
  const Variant copy = leftover;
  EXPECT_THROW(copy.AsDouble(), EVariantTypeCastError);
  EXPECT_THROW((void)(copy == 1), EVariantTypeCastError);
  auto stream = MakeOwned<TMemoryStream>();
  auto writer = MakeOwned<TWriter>(stream.get());
  EXPECT_THROW(writer->WriteVariant(copy), EWriteError);
}
