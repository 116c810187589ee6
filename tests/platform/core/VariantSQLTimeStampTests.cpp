// SQL time stamps and the SQLTimeStamp custom variant type.
#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FMTBcd.h"
#include "platform/core/Filer.h"
#include "platform/core/SqlTimSt.h"
#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"
#include "platform/core/Variants.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

std::string Narrow(const String& s) { return std::string(s.begin(), s.end()); }

::testing::AssertionResult SameStamp(const TSQLTimeStamp& a, const TSQLTimeStamp& b) {
  if (a == b) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << a.Year << "-" << a.Month << "-" << a.Day << " " << a.Hour << ":"
                                       << a.Minute << ":" << a.Second << "." << a.Fractions << " vs " << b.Year
                                       << "-" << b.Month << "-" << b.Day << " " << b.Hour << ":" << b.Minute << ":"
                                       << b.Second << "." << b.Fractions;
}

TSQLTimeStamp Stamp(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  TSQLTimeStamp t;
  t.Year = std::int16_t(y);
  t.Month = Word(mo);
  t.Day = Word(d);
  t.Hour = Word(h);
  t.Minute = Word(mi);
  t.Second = Word(s);
  t.Fractions = LongWord(ms);
  return t;
}

// ISO-like dates whatever the locale the suite runs in.
TFormatSettings Iso() {
  TFormatSettings fs;
  fs.ShortDateFormat = L"yyyy-mm-dd";
  fs.DateSeparator = L'-';
  fs.LongTimeFormat = L"hh:nn:ss";
  fs.TimeSeparator = L':';
  return fs;
}

}  // namespace

TEST(VariantSQLTimeStamp, DateTimeTable) {
  const struct {
    const char* name;
    TSQLTimeStamp stamp;
    TDateTime value;
  } rows[] = {
      {"leap day", Stamp(2024, 2, 29, 13, 45, 30, 250), EncodeDateTime(2024, 2, 29, 13, 45, 30, 250)},
      {"before day 0", Stamp(1899, 12, 29, 6), -1.25},
      {"day 0", Stamp(1899, 12, 30), 0.0},
      {"first day", Stamp(1, 1, 1), EncodeDate(1, 1, 1)},
      {"last moment", Stamp(9999, 12, 31, 23, 59, 59, 999), EncodeDateTime(9999, 12, 31, 23, 59, 59, 999)},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(SQLTimeStampToDateTime(r.stamp), r.value);
    EXPECT_TRUE(SameStamp(DateTimeToSQLTimeStamp(r.value), r.stamp));
  }
  EXPECT_EQ(SQLTimeStampToDateTime(Stamp(0, 0, 0, 12)), 0.5) << "a time of day only";
  EXPECT_EQ(SQLTimeStampToDateTime(NullSQLTimeStamp), 0.0);

  const struct {
    const char* name;
    TSQLTimeStamp stamp;
  } invalid[] = {
      {"29 Feb 2023", Stamp(2023, 2, 29)}, {"month 13", Stamp(2024, 13, 1)}, {"month 0", Stamp(2024, 0, 1)},
      {"year 0", Stamp(0, 1, 1)},          {"year -5", Stamp(-5, 1, 1)},     {"year 10000", Stamp(10000, 1, 1)},
      {"hour 24", Stamp(2024, 1, 1, 24)},  {"minute 60", Stamp(2024, 1, 1, 0, 60)},
      {"second 60", Stamp(2024, 1, 1, 0, 0, 60)}, {"1000 ms", Stamp(2024, 1, 1, 0, 0, 0, 1000)},
  };
  for (const auto& r : invalid) {
    SCOPED_TRACE(r.name);
    EXPECT_THROW(CheckSqlTimeStamp(r.stamp), EConvertError);
    EXPECT_THROW(SQLTimeStampToDateTime(r.stamp), EConvertError);
    EXPECT_THROW(VarSQLTimeStampCreate(r.stamp), EConvertError);
  }
  for (double bad : {std::numeric_limits<double>::quiet_NaN(), 1e10, -700000.0})
    EXPECT_THROW(DateTimeToSQLTimeStamp(bad), EConvertError) << bad;
}

TEST(VariantSQLTimeStamp, TextTable) {
  const TFormatSettings fs = Iso();
  const TSQLTimeStamp stamp = Stamp(2024, 2, 29, 13, 45, 30, 250);
  EXPECT_EQ(SQLTimeStampToStr(String(), stamp, fs), L"2024-02-29 13:45:30");
  EXPECT_EQ(SQLTimeStampToStr(L"dd.mm.yyyy hh:nn:ss.zzz", stamp, fs), L"29.02.2024 13:45:30.250");

  const struct {
    const Char* text;
    bool ok;
    TSQLTimeStamp expected;
  } rows[] = {
      {L"2024-02-29 13:45:30", true, Stamp(2024, 2, 29, 13, 45, 30)},
      {L"2024-02-29 13:45:30.250", true, stamp},
      {L"2024-02-29", true, Stamp(2024, 2, 29)},
      {L"2023-02-29", false, {}},
      {L"abc", false, {}},
      {L"", false, {}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(Narrow(r.text));
    TSQLTimeStamp got;
    EXPECT_EQ(TryStrToSQLTimeStamp(r.text, got, fs), r.ok);
    if (r.ok) {
      EXPECT_TRUE(SameStamp(got, r.expected));
      EXPECT_TRUE(SameStamp(StrToSQLTimeStamp(r.text, fs), r.expected));
    } else {
      try {
        StrToSQLTimeStamp(r.text, fs);
        ADD_FAILURE() << "no exception";
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, L"'" + String(r.text) + L"' is not a valid SQL time stamp");
      }
    }
  }
}

TEST(VariantSQLTimeStamp, VariantConvertsAsADate) {
  const TSQLTimeStamp stamp = Stamp(2024, 2, 29, 13, 45, 30, 250);
  const TDateTime dt = SQLTimeStampToDateTime(stamp);
  const TVarType code = VarSQLTimeStamp();
  ASSERT_GE(code, varFirstCustom);
  EXPECT_NE(code, VarFMTBcd());
  EXPECT_EQ(VarTypeAsText(code), L"SQLTimeStamp");

  const Variant v = VarSQLTimeStampCreate(stamp);
  EXPECT_TRUE(VarIsSQLTimeStamp(v));
  EXPECT_TRUE(VarIsCustom(v));
  EXPECT_FALSE(VarIsSQLTimeStamp(VarFromDateTime(dt)));
  EXPECT_EQ(VarToDateTime(v), dt);
  EXPECT_EQ(VarType(VarAsType(v, varDate)), varDate);
  EXPECT_EQ(v.AsDouble(), dt);
  EXPECT_EQ(VarToStr(v), SQLTimeStampToStr(String(), stamp));
  EXPECT_TRUE(SameStamp(VarToSQLTimeStamp(v), stamp));
  EXPECT_TRUE(SameStamp(VarToSQLTimeStamp(VarFromDateTime(dt)), stamp));
  EXPECT_TRUE(SameStamp(VarToSQLTimeStamp(VarSQLTimeStampCreate(dt)), stamp));
  // Its text (without milliseconds in the long time format) reads back.
  TSQLTimeStamp noMs = stamp;
  noMs.Fractions = 0;
  EXPECT_TRUE(SameStamp(VarToSQLTimeStamp(Variant(VarToStr(v))), noMs));
  EXPECT_TRUE(SameStamp(VarToSQLTimeStamp(VarSQLTimeStampCreate(VarToStr(v))), noMs));

  EXPECT_THROW(VarAsType(L"abc", code), EVariantTypeCastError);
  EXPECT_THROW(VarAsType(Null(), code), EVariantTypeCastError);
  EXPECT_THROW(VarAsType(1e10, code), EVariantOverflowError);
  EXPECT_THROW(VarToSQLTimeStamp(L"abc"), EVariantTypeCastError);
  EXPECT_THROW(VarSQLTimeStampCreate(L"abc"), EConvertError);
}

TEST(VariantSQLTimeStamp, ComparesWithDatesAndStamps) {
  const TSQLTimeStamp stamp = Stamp(2024, 2, 29, 13, 45, 30, 250);
  const TDateTime dt = SQLTimeStampToDateTime(stamp);
  const Variant v = VarSQLTimeStampCreate(stamp);
  enum class Cmp { Eq, Lt, Gt, None };
  const struct {
    const char* name;
    Variant other;
    Cmp expected;  // of the stamp against `other`
  } rows[] = {
      {"same date", VarFromDateTime(dt), Cmp::Eq},
      {"next day as a number", dt + 1.0, Cmp::Lt},
      {"same stamp", VarSQLTimeStampCreate(stamp), Cmp::Eq},
      {"a millisecond earlier", VarSQLTimeStampCreate(Stamp(2024, 2, 29, 13, 45, 30, 249)), Cmp::Gt},
      {"an earlier year", VarSQLTimeStampCreate(Stamp(2023, 12, 31, 23, 59, 59, 999)), Cmp::Gt},
      {"null", Null(), Cmp::None},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(v == r.other, r.expected == Cmp::Eq);
    EXPECT_EQ(v < r.other, r.expected == Cmp::Lt);
    EXPECT_EQ(v > r.other, r.expected == Cmp::Gt);
    EXPECT_EQ(r.other > v, r.expected == Cmp::Lt) << "mirrored";
  }
  EXPECT_EQ(VarCompareValue(v, VarFromDateTime(dt)), vrEqual);
  EXPECT_THROW((void)(v == Variant(L"abc")), EVariantTypeCastError);

  // The stream has no time stamp value: it travels as a date.
  auto stream = MakeOwned<TBytesStream>();
  {
    auto writer = MakeOwned<TWriter>(stream.get());
    writer->WriteVariant(v);
  }
  stream->SetPosition(0);
  auto reader = MakeOwned<TReader>(stream.get());
  const Variant back = reader->ReadVariant();
  EXPECT_EQ(VarType(back), varDate);
  EXPECT_EQ(VarToDateTime(back), dt);
}
