// Dates and times: encoding, the platform's convention for dates before
// 30 December 1899, FormatDateTime and text to date. The settings are filled
// here, so nothing depends on the machine's locale.
#include "platform/WinApi.h"
#include "platform/core/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::string Narrow(const String& s) { return UTF8Encode(s); }

// US English: M/d/yyyy, h:mm:ss AMPM.
TFormatSettings Us() { return TFormatSettings(); }

TFormatSettings DayFirst() {
  TFormatSettings fs;
  fs.ShortDateFormat = L"dd.MM.yyyy";
  fs.DateSeparator = L'.';
  fs.LongTimeFormat = L"hh:mm:ss";
  fs.DecimalSeparator = L',';
  return fs;
}

TFormatSettings Chinese() {
  TFormatSettings fs;
  fs.ShortDateFormat = L"yyyy/M/d";
  fs.LongDateFormat = L"yyyy\u5e74M\u6708d\u65e5dddd";
  fs.LongTimeFormat = L"hh:mm:ss";
  fs.ShortTimeFormat = L"hh:mm";
  fs.TimeAMString = L"\u4e0a\u5348";
  fs.TimePMString = L"\u4e0b\u5348";
  const Char* days[7] = {L"\u661f\u671f\u65e5", L"\u661f\u671f\u4e00", L"\u661f\u671f\u4e8c", L"\u661f\u671f\u4e09",
                         L"\u661f\u671f\u56db", L"\u661f\u671f\u4e94", L"\u661f\u671f\u516d"};
  for (int i = 0; i < 7; ++i) fs.LongDayNames[i] = days[i];
  return fs;
}

int CurrentYear() {
  Word y, m, d;
  DecodeDate(Date(), y, m, d);
  return y;
}

}  // namespace

// ---------------------------------------------------------------------------
// Encoding and decoding
// ---------------------------------------------------------------------------

TEST(SysUtilsDate, EncodeDateKnownDays) {
  struct Case {
    int y, m, d;
    double day;
  };
  const Case cases[] = {
      {1899, 12, 30, 0},      {1899, 12, 29, -1},     {1900, 1, 1, 2},       {1900, 3, 1, 61},
      {2000, 2, 29, 36585},   {2024, 3, 5, 45356},    {1, 1, 1, -693593},    {100, 1, 1, MinDateTime},
      {9999, 12, 31, 2958465}, {1600, 3, 1, -109511},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.y << "-" << c.m << "-" << c.d);
    EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.day);
    Word y, m, d;
    DecodeDate(c.day, y, m, d);
    EXPECT_EQ(y, c.y);
    EXPECT_EQ(m, c.m);
    EXPECT_EQ(d, c.d);
  }
}

TEST(SysUtilsDate, EncodeDateRejectsInvalidDates) {
  struct Case {
    int y, m, d;
  };
  const Case cases[] = {{2001, 2, 29}, {1900, 2, 29}, {2100, 2, 29}, {0, 1, 1},   {10000, 1, 1},
                        {2000, 13, 1}, {2000, 0, 1},  {2000, 1, 0},  {2000, 4, 31}, {-1, 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.y << "-" << c.m << "-" << c.d);
    TDateTime v = 123;
    EXPECT_FALSE(TryEncodeDate(c.y, c.m, c.d, v));
    EXPECT_EQ(v, 123);
    try {
      EncodeDate(c.y, c.m, c.d);
      ADD_FAILURE() << "no exception";
    } catch (EConvertError& e) {
      EXPECT_EQ(e.Message, L"Invalid argument to date encode");
    }
  }
}

TEST(SysUtilsDate, EveryDayRoundTripsAndWeekdaysAdvance) {
  // Every 37th day over the whole supported range, plus the days around
  // century and leap boundaries the stride may miss.
  std::vector<int> days;
  for (int day = -693593; day <= 2958465; day += 37) days.push_back(day);
  for (int y : {100, 1600, 1700, 1899, 1900, 2000, 2100, 9999})
    for (int d = -2; d <= 2; ++d) days.push_back(int(EncodeDate(y, 3, 1)) + d);
  int failures = 0;
  for (int day : days) {
    Word y, m, d, dow;
    DecodeDateFully(day, y, m, d, dow);
    if (EncodeDate(y, m, d) != day || dow != DayOfWeek(day) || (day - 1 + 700000) % 7 + 1 != dow) {
      ADD_FAILURE() << "day " << day << " decodes as " << y << "-" << m << "-" << d << " weekday " << dow;
      if (++failures > 5) break;
    }
  }
}

TEST(SysUtilsDate, LeapYearsAndMonthLengths) {
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(2023));
  EXPECT_FALSE(IsLeapYear(2100));
  EXPECT_EQ(DaysInAMonth(2024, 2), 29);
  EXPECT_EQ(DaysInAMonth(2023, 2), 28);
  EXPECT_EQ(DaysInAMonth(2023, 4), 30);
  EXPECT_EQ(DaysInMonth(EncodeDate(2000, 2, 10)), 29);
  EXPECT_EQ(MonthDays[1][1], 29);
}

TEST(SysUtilsDate, DayOfWeekStartsOnSunday) {
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 5)), 3);   // a Tuesday
  EXPECT_EQ(DayOfWeek(0), 7);                        // 30 December 1899, a Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 3)), 1);
  EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);
}

TEST(SysUtilsDate, TimesEncodeAndDecode) {
  EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
  Word h, n, s, ms;
  DecodeTime(EncodeTime(23, 59, 59, 999), h, n, s, ms);
  EXPECT_EQ(h, 23);
  EXPECT_EQ(n, 59);
  EXPECT_EQ(s, 59);
  EXPECT_EQ(ms, 999);
  DecodeTime(EncodeTime(10, 0, 0, 1), h, n, s, ms);
  EXPECT_EQ(ms, 1) << "a millisecond survives the double";

  // A value a hair before midnight rounds to the next day's midnight.
  Word y, m, d;
  DecodeDateTime(EncodeDate(2024, 3, 5) + 0.9999999999, y, m, d, h, n, s, ms);
  EXPECT_EQ(d, 6);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(ms, 0);

  struct Case {
    int h, n, s, ms;
  };
  for (const Case& c : {Case{24, 0, 0, 0}, Case{0, 60, 0, 0}, Case{0, 0, 60, 0}, Case{0, 0, 0, 1000},
                        Case{-1, 0, 0, 0}}) {
    TDateTime v = 9;
    EXPECT_FALSE(TryEncodeTime(c.h, c.n, c.s, c.ms, v));
    try {
      EncodeTime(c.h, c.n, c.s, c.ms);
      ADD_FAILURE() << "no exception";
    } catch (EConvertError& e) {
      EXPECT_EQ(e.Message, L"Invalid argument to time encode");
    }
  }
}

// Before 30 December 1899 the integer part is the day and the fraction's
// magnitude the time: -1.25 is 29 December 1899, 6:00.
TEST(SysUtilsDate, DatesBefore1899KeepTheTimePositive) {
  EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
  EXPECT_EQ(EncodeDateTime(1899, 12, 30, 6, 0, 0, 0), 0.25);
  EXPECT_EQ(EncodeDateTime(1800, 1, 1, 18, 0, 0, 0), EncodeDate(1800, 1, 1) - 0.75);
  Word y, m, d, h, n, s, ms;
  DecodeDateTime(-1.25, y, m, d, h, n, s, ms);
  EXPECT_EQ(y, 1899);
  EXPECT_EQ(m, 12);
  EXPECT_EQ(d, 29);
  EXPECT_EQ(h, 6);
  DecodeDateTime(-0.5, y, m, d, h, n, s, ms);
  EXPECT_EQ(d, 30);
  EXPECT_EQ(h, 12);
  const TTimeStamp ts = DateTimeToTimeStamp(-1.25);
  EXPECT_EQ(ts.Date, DateDelta - 1);
  EXPECT_EQ(ts.Time, 6 * 3600 * 1000);
  EXPECT_EQ(TimeStampToDateTime(ts), -1.25);
  EXPECT_EQ(FormatDateTime(L"yyyy-mm-dd hh:nn", -1.25, Us()), L"1899-12-29 06:00");
  EXPECT_EQ(IncMonth(-1.25, 1), EncodeDateTime(1900, 1, 29, 6, 0, 0, 0));
}

// The editors' empty date, day -700000, lies before 1 January 0001: it
// decodes as 0/0/0 and formats without month or day names.
TEST(SysUtilsDate, TheEmptyDateDecodesAsZero) {
  Word y = 9, m = 9, d = 9, dow = 9;
  EXPECT_FALSE(DecodeDateFully(-700000, y, m, d, dow));
  EXPECT_EQ(y, 0);
  EXPECT_EQ(m, 0);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(dow, 0);
  EXPECT_EQ(FormatDateTime(L"dddd d mmmm yyyy|ddd mmm", -700000, Us()), L" 0  0000| ");
  EXPECT_THROW(IncMonth(-700000), EConvertError);
  EXPECT_THROW(DateTimeToTimeStamp(std::nan("")), EInvalidOp);
}

TEST(SysUtilsDate, IncMonthClampsTheDay) {
  struct Case {
    TDateTime from;
    int months;
    TDateTime to;
  };
  const Case cases[] = {
      {EncodeDate(2024, 1, 31), 1, EncodeDate(2024, 2, 29)},
      {EncodeDate(2023, 1, 31), 1, EncodeDate(2023, 2, 28)},
      {EncodeDate(2024, 3, 31), -1, EncodeDate(2024, 2, 29)},
      {EncodeDate(2024, 12, 15), 1, EncodeDate(2025, 1, 15)},
      {EncodeDate(2024, 1, 15), -13, EncodeDate(2022, 12, 15)},
      {EncodeDate(2024, 5, 5) + 0.75, 24, EncodeDate(2026, 5, 5) + 0.75},
  };
  for (const Case& c : cases) EXPECT_EQ(IncMonth(c.from, c.months), c.to) << c.from << " + " << c.months;
  EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1), 1), EConvertError);
}

// Date and Time read the clock Now reads: each lies between two readings of
// Now taken around it, however long the reads take and across midnight.
TEST(SysUtilsDate, ClockReadsAgree) {
  const double ms = 1.0 / MSecsPerDay;   // what encoding may round away
  TDateTime before = Now();
  const TDateTime date = Date();
  TDateTime after = Now();
  EXPECT_EQ(date, std::floor(date));
  EXPECT_GE(date, std::floor(before));
  EXPECT_LE(date, std::floor(after));

  before = Now();
  const TDateTime time = Time();
  after = Now();
  EXPECT_GE(time, 0.0);
  EXPECT_LT(time, 1.0);
  if (std::floor(before) == std::floor(after)) {
    EXPECT_GE(time, before - std::floor(before) - ms);
    EXPECT_LE(time, after - std::floor(after) + ms);
  } else {   // midnight came between the readings
    EXPECT_TRUE(time >= before - std::floor(before) - ms || time <= after - std::floor(after) + ms);
  }
  EXPECT_GE(CurrentYear(), 2024);
}

// ---------------------------------------------------------------------------
// FormatDateTime
// ---------------------------------------------------------------------------

TEST(SysUtilsFormatDateTime, SpecifierTable) {
  const TDateTime afternoon = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);
  const TDateTime morning = EncodeDateTime(2024, 3, 5, 0, 30, 0, 0);
  struct Case {
    const Char* format;
    TDateTime value;
    const Char* expected;
  };
  const Case cases[] = {
      {L"d/m/yy", afternoon, L"5/3/24"},
      {L"dd/mm/yyyy", afternoon, L"05/03/2024"},
      {L"ddd dddd", afternoon, L"Tue Tuesday"},
      {L"mmm mmmm", afternoon, L"Mar March"},
      {L"ddddd", afternoon, L"3/5/2024"},
      {L"dddddd", afternoon, L"Tuesday, March 5, 2024"},
      {L"h:n:s", afternoon, L"14:7:9"},
      {L"hh:nn:ss.zzz", afternoon, L"14:07:09.045"},
      {L"z", afternoon, L"45"},
      {L"hh:mm", afternoon, L"14:07"},          // "m" after "h" is minutes
      {L"h 'h' mm", afternoon, L"14 h 07"},
      {L"mm hh", afternoon, L"03 14"},
      {L"hh:mm dd/mm", afternoon, L"14:07 05/03"},
      {L"h am/pm", afternoon, L"2 pm"},
      {L"h AM/PM", afternoon, L"2 PM"},
      {L"h a/p", afternoon, L"2 p"},
      {L"h A/P", morning, L"12 A"},
      {L"h ampm", afternoon, L"2 PM"},
      {L"hh:nn ampm", morning, L"12:30 AM"},
      {L"h 'at' h", afternoon, L"14 at 14"},   // a quoted "a" is no AM/PM
      {L"yyyy a", afternoon, L"2024 a"},
      {L"c", afternoon, L"3/5/2024 2:07:09 PM"},
      {L"c", EncodeDate(2024, 3, 5), L"3/5/2024"},
      {L"", afternoon, L"3/5/2024 2:07:09 PM"},
      {L"t|tt", afternoon, L"2:07 PM|2:07:09 PM"},
      {L"yyyy'\u5e74'", afternoon, L"2024\u5e74"},
      {L"\"d\"d", afternoon, L"d5"},
      {L"'unterminated", afternoon, L"unterminated"},
      {L"YYYY-MM-DD HH:NN", afternoon, L"2024-03-05 14:07"},
      {L"y yyy", EncodeDate(905, 1, 1), L"05 0905"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.format));
    EXPECT_EQ(FormatDateTime(c.format, c.value, Us()), c.expected);
  }
}

TEST(SysUtilsFormatDateTime, SeparatorsAndNamesComeFromTheSettings) {
  const TDateTime value = EncodeDateTime(2024, 3, 5, 14, 7, 9, 0);
  TFormatSettings fs = Us();
  fs.DateSeparator = L'-';
  fs.TimeSeparator = L'.';
  EXPECT_EQ(FormatDateTime(L"yyyy/mm/dd hh:nn", value, fs), L"2024-03-05 14.07");
  EXPECT_EQ(FormatDateTime(L"dddddd tt", value, Chinese()), L"2024\u5e743\u67085\u65e5\u661f\u671f\u4e8c 14:07:09");
  EXPECT_EQ(FormatDateTime(L"hh:nn ampm", value, Chinese()), L"02:07 \u4e0b\u5348");
  EXPECT_EQ(DateToStr(value, DayFirst()), L"05.03.2024");
  EXPECT_EQ(TimeToStr(value, DayFirst()), L"14:07:09");
  EXPECT_EQ(DateTimeToStr(value, Chinese()), L"2024/3/5 14:07:09");
}

TEST(SysUtilsFormatDateTime, ReferencesExpandOneLevelOnly) {
  TFormatSettings fs = Us();
  fs.ShortDateFormat = L"c";            // refers to itself
  fs.LongTimeFormat = L"hh:nn t";       // refers to another format
  const TDateTime value = EncodeDateTime(2024, 3, 5, 14, 7, 9, 0);
  EXPECT_EQ(FormatDateTime(L"c", value, fs), L"  14:07 ");
  EXPECT_EQ(FormatDateTime(L"ddddd|tt", value, fs), L" |14:07 ");
}

// Two eras that change in the course of a year, as the Japanese calendar's do.
TEST(SysUtilsFormatDateTime, EraSpecifiersUseTheEraOfTheDate) {
  TFormatSettings fs = Us();
  TEraInfo heisei;
  heisei.EraName = L"Heisei";
  heisei.EraShortName = L"H";
  heisei.EraOffset = 1988;
  heisei.EraStart = EncodeDate(1989, 1, 8);
  heisei.EraEnd = EncodeDate(2019, 4, 30);
  TEraInfo reiwa = heisei;
  reiwa.EraName = L"Reiwa";
  reiwa.EraShortName = L"R";
  reiwa.EraOffset = 2018;
  reiwa.EraStart = EncodeDate(2019, 5, 1);
  reiwa.EraEnd = MaxDateTime;
  fs.EraInfo = {heisei, reiwa};
  struct Case {
    const Char* format;
    TDateTime value;
    const Char* expected;
  };
  const Case cases[] = {
      {L"gg e", EncodeDateTime(2019, 4, 30, 23, 59, 0, 0), L"Heisei 31"},
      {L"gg e", EncodeDate(2019, 5, 1), L"Reiwa 1"},
      {L"g ee/mm/dd", EncodeDate(2019, 5, 1), L"R 01/05/01"},
      {L"GGEE", EncodeDate(1989, 1, 8), L"Heisei01"},
      {L"ggg e", EncodeDate(2024, 3, 5), L"Reiwa 6"},
      // Before the first era: no name, the Gregorian year.
      {L"[gg] e", EncodeDate(1989, 1, 7), L"[] 1989"},
      {L"e 'g'", EncodeDate(2024, 3, 5), L"6 g"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.format));
    EXPECT_EQ(FormatDateTime(c.format, c.value, fs), c.expected);
  }
  // Without eras the year is the Gregorian one.
  EXPECT_EQ(FormatDateTime(L"[gg] e ee", EncodeDate(905, 1, 1), Us()), L"[] 905 905");
  EXPECT_EQ(FormatDateTime(L"ee", EncodeDate(2024, 1, 1), Us()), L"2024");
}

// A locale whose calendar counts years by eras gives its eras; one that
// does not gives none.
TEST(SysUtilsFormatDateTime, ErasComeFromTheLocale) {
  const TDateTime day = EncodeDate(2024, 3, 5);
  EXPECT_TRUE(TFormatSettings::Create(0x0409).EraInfo.empty());
  const TFormatSettings japanese = TFormatSettings::Create(0x0411);
  ASSERT_FALSE(japanese.EraInfo.empty());
  EXPECT_EQ(FormatDateTime(L"gge", day, japanese), L"令和6");
  const TFormatSettings taiwan = TFormatSettings::Create(0x0404);
  ASSERT_FALSE(taiwan.EraInfo.empty());
  EXPECT_EQ(FormatDateTime(L"e", day, taiwan), L"113");
  for (const TEraInfo& era : taiwan.EraInfo) {
    EXPECT_FALSE(era.EraName.empty());
    EXPECT_FALSE(era.EraShortName.empty());
    EXPECT_LE(era.EraStart, era.EraEnd);
  }
}

// ---------------------------------------------------------------------------
// Text to date and time
// ---------------------------------------------------------------------------

TEST(SysUtilsStrToDate, DatesInTheOrderOfTheShortFormat) {
  struct Case {
    const Char* text;
    TFormatSettings fs;
    TDateTime expected;   // 0 = not a date
  };
  const int year = CurrentYear();
  const Case cases[] = {
      {L"3/5/2024", Us(), EncodeDate(2024, 3, 5)},
      {L" 3 / 5 / 2024 ", Us(), EncodeDate(2024, 3, 5)},
      {L"3/5/2024/", Us(), EncodeDate(2024, 3, 5)},
      {L"3/5", Us(), EncodeDate(year, 3, 5)},
      {L"03/05/0024", Us(), EncodeDate(24, 3, 5)},
      {L"05.03.2024", DayFirst(), EncodeDate(2024, 3, 5)},
      {L"5.3", DayFirst(), EncodeDate(year, 3, 5)},
      {L"2024/3/5", Chinese(), EncodeDate(2024, 3, 5)},
      {L"13/5/2024", Us(), 0},
      {L"2/30/2024", Us(), 0},
      {L"3/5/2024x", Us(), 0},
      {L"3-5-2024", Us(), 0},
      {L"3/", Us(), 0},
      {L"", Us(), 0},
      {L"3/5/2024", DayFirst(), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.text));
    TDateTime v = 0;
    EXPECT_EQ(TryStrToDate(c.text, v, c.fs), c.expected != 0);
    EXPECT_EQ(v, c.expected);
  }
  try {
    StrToDate(L"x", Us());
    FAIL() << "no exception";
  } catch (EConvertError& e) {
    EXPECT_EQ(e.Message, L"'x' is not a valid date");
  }
}

TEST(SysUtilsStrToDate, TwoDigitYearsFollowTheCenturyWindow) {
  ASSERT_LT(CurrentYear(), 2049) << "the expectations assume a year before 2049";
  TFormatSettings fs = Us();
  EXPECT_EQ(StrToDate(L"3/5/99", fs), EncodeDate(1999, 3, 5));
  EXPECT_EQ(StrToDate(L"3/5/24", fs), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDate(L"3/5/0", fs), EncodeDate(2000, 3, 5));
  fs.TwoDigitYearCenturyWindow = 0;   // always the current century
  EXPECT_EQ(StrToDate(L"3/5/99", fs), EncodeDate(2099, 3, 5));
}

TEST(SysUtilsStrToDate, Times) {
  struct Case {
    const Char* text;
    TFormatSettings fs;
    int h, n, s, ms;   // h < 0: not a time
  };
  const Case cases[] = {
      {L"14:07", Us(), 14, 7, 0, 0},
      {L"14", Us(), 14, 0, 0, 0},
      {L"14:07:09", Us(), 14, 7, 9, 0},
      {L"14:07:09.45", Us(), 14, 7, 9, 45},   // the digits count milliseconds
      {L"14:07:09,5", DayFirst(), 14, 7, 9, 5},
      {L"2:07 PM", Us(), 14, 7, 0, 0},
      {L"2:07 pm", Us(), 14, 7, 0, 0},
      {L"PM 2:07", Us(), 14, 7, 0, 0},
      {L"12:00 AM", Us(), 0, 0, 0, 0},
      {L"12:00 PM", Us(), 12, 0, 0, 0},
      {L"\u4e0a\u5348 10:30", Chinese(), 10, 30, 0, 0},
      {L"\u4e0b\u5348 2:30", Chinese(), 14, 30, 0, 0},
      {L"2:30 PM", Chinese(), 14, 30, 0, 0},
      {L"13:00 PM", Us(), -1, 0, 0, 0},
      {L"0:00 AM", Us(), -1, 0, 0, 0},
      {L"25:00", Us(), -1, 0, 0, 0},
      {L"14:60", Us(), -1, 0, 0, 0},
      {L"14:", Us(), -1, 0, 0, 0},
      {L"14:07 x", Us(), -1, 0, 0, 0},
      {L"", Us(), -1, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.text));
    TDateTime v = -5;
    const bool ok = TryStrToTime(c.text, v, c.fs);
    EXPECT_EQ(ok, c.h >= 0);
    if (ok) {
      EXPECT_EQ(v, EncodeTime(c.h, c.n, c.s, c.ms));
    }
  }
  EXPECT_THROW(StrToTime(L"x", Us()), EConvertError);
}

TEST(SysUtilsStrToDate, DateAndTime) {
  const TFormatSettings us = Us();
  EXPECT_EQ(StrToDateTime(L"3/5/2024 14:07:09", us), EncodeDateTime(2024, 3, 5, 14, 7, 9, 0));
  EXPECT_EQ(StrToDateTime(L"3/5/2024 2:07 PM", us), EncodeDateTime(2024, 3, 5, 14, 7, 0, 0));
  EXPECT_EQ(StrToDateTime(L"3/5/2024", us), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDateTime(L"14:07", us), EncodeTime(14, 7, 0, 0)) << "a time alone";
  EXPECT_EQ(StrToDateTime(L"12/29/1899 6:00", us), -1.25);
  EXPECT_EQ(StrToDateTime(L"2024/3/5 \u4e0b\u5348 2:30", Chinese()), EncodeDateTime(2024, 3, 5, 14, 30, 0, 0));
  TDateTime v = 7;
  EXPECT_FALSE(TryStrToDateTime(L"3/5/2024 14:07 x", v, us)) << "text after the time is not ignored";
  EXPECT_FALSE(TryStrToDateTime(L"3/5/2024 25:00", v, us));
  EXPECT_EQ(v, 7);
  try {
    StrToDateTime(L"soon", us);
    FAIL() << "no exception";
  } catch (EConvertError& e) {
    EXPECT_EQ(e.Message, L"'soon' is not a valid date and time");
  }
}

// What the system writes with a locale's settings, it reads back.
TEST(SysUtilsStrToDate, RoundTripThroughRealLocales) {
  const TDateTime value = EncodeDateTime(2024, 11, 28, 21, 5, 30, 0);
  for (unsigned long lcid : {0x0409ul, 0x0804ul, 0x0407ul, 0x0411ul}) {
    SCOPED_TRACE(lcid);
    const TFormatSettings fs = TFormatSettings::Create(lcid);
    EXPECT_EQ(StrToDate(DateToStr(value, fs), fs), EncodeDate(2024, 11, 28)) << Narrow(DateToStr(value, fs));
    EXPECT_EQ(StrToTime(TimeToStr(value, fs), fs), EncodeTime(21, 5, 30, 0)) << Narrow(TimeToStr(value, fs));
    EXPECT_EQ(StrToDateTime(DateTimeToStr(value, fs), fs), value) << Narrow(DateTimeToStr(value, fs));
  }
}
