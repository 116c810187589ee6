// Format, floating-point and currency text, and the locale settings they use.
// Every expectation uses settings filled here, so the results are the same
// whatever the locale of the machine.
#include "platform/WinApi.h"
#include "platform/core/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

std::string Narrow(const String& s) { return UTF8Encode(s); }

// US English, as a default-constructed record holds it.
TFormatSettings Us() { return TFormatSettings(); }

// Decimal comma and dot thousands, as many European locales write numbers.
TFormatSettings Comma() {
  TFormatSettings fs;
  fs.DecimalSeparator = L',';
  fs.ThousandSeparator = L'.';
  fs.CurrencyString = L"\u20ac";
  fs.CurrencyFormat = 3;
  fs.NegCurrFormat = 8;
  return fs;
}

String Fmt(const Char* format, std::initializer_list<TVarRec> args) { return Format(format, args, Us()); }

String ErrorOf(const Char* format, std::initializer_list<TVarRec> args) {
  try {
    Format(format, args, Us());
  } catch (EConvertError& e) {
    return e.Message;
  }
  return L"(no error)";
}

}  // namespace

// ---------------------------------------------------------------------------
// Format
// ---------------------------------------------------------------------------

TEST(SysUtilsFormat, IntegerDirectives) {
  EXPECT_EQ(Fmt(L"%d", {42}), L"42");
  EXPECT_EQ(Fmt(L"[%5d]", {42}), L"[   42]");
  EXPECT_EQ(Fmt(L"[%-5d]", {42}), L"[42   ]");
  EXPECT_EQ(Fmt(L"%.4d", {-42}), L"-0042");
  EXPECT_EQ(Fmt(L"[%5.3d]", {7}), L"[  007]");
  EXPECT_EQ(Fmt(L"%d", {Int64(1) << 40}), L"1099511627776");
  EXPECT_EQ(Fmt(L"%d", {INT_MIN}), L"-2147483648");
  EXPECT_EQ(Fmt(L"%u", {-1}), L"4294967295");
  EXPECT_EQ(Fmt(L"%x", {255}), L"FF");
  EXPECT_EQ(Fmt(L"%.4X", {255}), L"00FF");
  EXPECT_EQ(Fmt(L"%x", {-1}), L"FFFFFFFF");
  EXPECT_EQ(Fmt(L"%x", {Int64(-1)}), L"FFFFFFFFFFFFFFFF");
  EXPECT_EQ(Fmt(L"%D items", {3u}), L"3 items");
  // A pointer shows all the digits of the target's pointer width.
  EXPECT_EQ(Fmt(L"%p", {reinterpret_cast<const void*>(0x1234)}),
            String(2 * sizeof(void*) - 4, L'0') + L"1234");
}

TEST(SysUtilsFormat, StringDirectives) {
  const String owned = L"owned";
  EXPECT_EQ(Fmt(L"%d of %s", {3, L"x"}), L"3 of x");
  EXPECT_EQ(Fmt(L"%s", {owned}), L"owned");
  EXPECT_EQ(Fmt(L"%s", {IntToStr(12)}), L"12");
  EXPECT_EQ(Fmt(L"%s", {L'c'}), L"c");
  EXPECT_EQ(Fmt(L"%.2s", {L"abc"}), L"ab");
  EXPECT_EQ(Fmt(L"[%5s][%-5s]", {L"abc", L"abc"}), L"[  abc][abc  ]");
  EXPECT_EQ(Fmt(L"%s", {static_cast<const Char*>(nullptr)}), L"");
  EXPECT_EQ(Fmt(L"100%% %s", {L"\u5c9a\u6cfd"}), L"100% \u5c9a\u6cfd");
  EXPECT_EQ(Fmt(L"no directives", {}), L"no directives");
}

TEST(SysUtilsFormat, IndexWidthAndPrecisionFromArguments) {
  EXPECT_EQ(Fmt(L"%1:s %0:s", {L"a", L"b"}), L"b a");
  EXPECT_EQ(Fmt(L"%1:s %s", {L"a", L"b", L"c"}), L"b c") << "directives after an index continue from it";
  EXPECT_EQ(Fmt(L"%0:s-%0:s", {L"a"}), L"a-a");
  EXPECT_EQ(Fmt(L"[%*d]", {5, 42}), L"[   42]");
  EXPECT_EQ(Fmt(L"[%-*d]", {4, 7}), L"[7   ]");
  EXPECT_EQ(Fmt(L"[%*d]", {-4, 7}), L"[7   ]");
  EXPECT_EQ(Fmt(L"%.*f", {1, 2.25}), L"2.3");
  EXPECT_EQ(Fmt(L"[%*.*f]", {8, 2, 3.14159}), L"[    3.14]");
  EXPECT_EQ(Fmt(L"%1:-4d|", {0, 5}), L"5   |");
}

TEST(SysUtilsFormat, FloatDirectives) {
  EXPECT_EQ(Fmt(L"%f", {3.14159}), L"3.14");
  EXPECT_EQ(Fmt(L"%.1f", {0.25}), L"0.3") << "exact halves round away from zero";
  EXPECT_EQ(Fmt(L"%.0f", {2.5}), L"3");
  EXPECT_EQ(Fmt(L"%.0f", {-2.5}), L"-3");
  EXPECT_EQ(Fmt(L"%.3f", {-0.0001}), L"0.000") << "no minus sign on a zero";
  EXPECT_EQ(Fmt(L"%e", {1234.5}), L"1.23450000000000E+003");
  EXPECT_EQ(Fmt(L"%.3e", {1234.5}), L"1.23E+003");
  EXPECT_EQ(Fmt(L"%e", {-0.00012}), L"-1.20000000000000E-004");
  EXPECT_EQ(Fmt(L"%g", {1234.5}), L"1234.5");
  EXPECT_EQ(Fmt(L"%g", {0.00001}), L"0.00001");
  EXPECT_EQ(Fmt(L"%.3g", {3.14159}), L"3.14");
  EXPECT_EQ(Fmt(L"%n", {1234567.891}), L"1,234,567.89");
  EXPECT_EQ(Fmt(L"%.0n", {-1234567.891}), L"-1,234,568");
  EXPECT_EQ(Fmt(L"%m", {1234.5}), L"$1,234.50");
  EXPECT_EQ(Fmt(L"%m", {-1234.5}), L"($1,234.50)");
  EXPECT_EQ(Fmt(L"%.0m", {Currency(7)}), L"$7");
  EXPECT_EQ(Fmt(L"%f", {Currency::FromRaw(12345)}), L"1.23") << "1.2345 taken exactly";
  EXPECT_EQ(Fmt(L"%.3f", {1.0f}), L"1.000");
  EXPECT_EQ(Fmt(L"%f", {std::numeric_limits<double>::infinity()}), L"INF");

  EXPECT_EQ(Format(L"%.2f|%n|%m", {1234.5, 1234.5, -1234.5}, Comma()), L"1234,50|1.234,50|-1.234,50 \u20ac");
}

TEST(SysUtilsFormat, Errors) {
  const String invalid = L" invalid or incompatible with argument";
  EXPECT_EQ(ErrorOf(L"%d", {L"x"}), L"Format '%d'" + invalid);
  EXPECT_EQ(ErrorOf(L"%d", {1.5}), L"Format '%d'" + invalid);
  EXPECT_EQ(ErrorOf(L"%f", {1}), L"Format '%f'" + invalid) << "integers are no floating-point argument";
  EXPECT_EQ(ErrorOf(L"%s", {5}), L"Format '%s'" + invalid);
  EXPECT_EQ(ErrorOf(L"%p", {5}), L"Format '%p'" + invalid);
  EXPECT_EQ(ErrorOf(L"%z", {5}), L"Format '%z'" + invalid);
  EXPECT_EQ(ErrorOf(L"abc%", {5}), L"Format 'abc%'" + invalid);
  EXPECT_EQ(ErrorOf(L"%5", {5}), L"Format '%5'" + invalid);
  EXPECT_EQ(ErrorOf(L"%*d", {L"x", 5}), L"Format '%*d'" + invalid);
  EXPECT_EQ(ErrorOf(L"%d %d", {1}), L"No argument for format '%d %d'");
  EXPECT_EQ(ErrorOf(L"%2:d", {1, 2}), L"No argument for format '%2:d'");
  EXPECT_EQ(ErrorOf(L"%d", {}), L"No argument for format '%d'");
}

// ---------------------------------------------------------------------------
// Floating-point text
// ---------------------------------------------------------------------------

TEST(SysUtilsFloat, FloatToStrGeneralFormat) {
  struct Case {
    double value;
    const Char* expected;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {0, L"0"},
      {-0.0, L"0"},
      {1.5, L"1.5"},
      {-1.5, L"-1.5"},
      {0.1, L"0.1"},
      {1.0 / 3, L"0.333333333333333"},
      {2.0 / 3, L"0.666666666666667"},
      {123456789012345.0, L"123456789012345"},
      {1e15, L"1E15"},
      {1234567890123456.0, L"1.23456789012346E15"},
      {0.0001, L"0.0001"},
      {0.00012345, L"0.00012345"},
      {0.00001, L"0.00001"},
      {0.000001, L"1E-6"},
      {2.5e-5, L"0.000025"},
      {9.5e-6, L"9.5E-6"},
      {-1e100, L"-1E100"},
      {std::nan(""), L"NAN"},
      {inf, L"INF"},
      {-inf, L"-INF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(FloatToStr(c.value, Us()), c.expected);
  }
  EXPECT_EQ(FloatToStr(-1234.5, Comma()), L"-1234,5");
  EXPECT_EQ(FloatToStrF(double(0.1f), ffGeneral, 7, 0, Us()), L"0.1") << "a Single shown with its 7 digits";
}

TEST(SysUtilsFloat, FloatToStrFFormats) {
  struct Case {
    double value;
    TFloatFormat format;
    int precision, digits;
    const Char* us;
    const Char* comma;
  };
  const Case cases[] = {
      {1234.5678, ffFixed, 15, 2, L"1234.57", L"1234,57"},
      {1234.5678, ffNumber, 15, 2, L"1,234.57", L"1.234,57"},
      {1234.5678, ffCurrency, 15, 2, L"$1,234.57", L"1.234,57 \u20ac"},
      {-1234.5678, ffCurrency, 15, 2, L"($1,234.57)", L"-1.234,57 \u20ac"},
      {1234.5678, ffExponent, 15, 2, L"1.23456780000000E+03", L"1,23456780000000E+03"},
      {1234.5678, ffExponent, 4, 0, L"1.235E+3", L"1,235E+3"},
      {0.5, ffFixed, 15, 0, L"1", L"1"},
      {-0.001, ffFixed, 15, 2, L"0.00", L"0,00"},
      {999.999, ffNumber, 15, 2, L"1,000.00", L"1.000,00"},
      {123456, ffGeneral, 4, 0, L"1.235E5", L"1,235E5"},
      {1e20, ffFixed, 15, 2, L"1E20", L"1E20"},       // more integer digits than the precision
      {0, ffExponent, 3, 2, L"0.00E+00", L"0,00E+00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " format " << int(c.format));
    EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits, Us()), c.us);
    EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits, Comma()), c.comma);
  }
}

TEST(SysUtilsFloat, CurrencyPatterns) {
  // The sixteen negative patterns of the locale settings, for 1.5 with "$".
  const Char* negative[16] = {L"($1.50)", L"-$1.50",  L"$-1.50",  L"$1.50-",  L"(1.50$)",  L"-1.50$",
                              L"1.50-$",  L"1.50$-",  L"-1.50 $", L"-$ 1.50", L"1.50 $-",  L"$ 1.50-",
                              L"$ -1.50", L"1.50- $", L"($ 1.50)", L"(1.50 $)"};
  TFormatSettings fs = Us();
  for (int i = 0; i < 16; ++i) {
    fs.NegCurrFormat = Byte(i);
    EXPECT_EQ(FloatToStrF(-1.5, ffCurrency, 15, 2, fs), negative[i]) << "pattern " << i;
  }
  const Char* positive[4] = {L"$1.50", L"1.50$", L"$ 1.50", L"1.50 $"};
  for (int i = 0; i < 4; ++i) {
    fs.CurrencyFormat = Byte(i);
    EXPECT_EQ(FloatToStrF(1.5, ffCurrency, 15, 2, fs), positive[i]) << "pattern " << i;
  }
}

TEST(SysUtilsFloat, FormatFloatPictures) {
  struct Case {
    const Char* format;
    double value;
    const Char* expected;
  };
  const Case cases[] = {
      {L"0.00", 1234.567, L"1234.57"},
      {L"#,##0.00", 1234567.891, L"1,234,567.89"},
      {L"#,##0.00", -1234.5, L"-1,234.50"},
      {L"#,##0", 999, L"999"},
      {L"#,##0", 1000, L"1,000"},
      {L"#,##0.00;(#,##0.00)", -1234.5, L"(1,234.50)"},
      {L"0.00;(0.00);zero", 0, L"zero"},
      {L"0.0;-0.0;zero", 0.04, L"zero"},          // rounds to zero: the zero section
      {L"0.0;-0.0;zero", -0.04, L"zero"},
      {L"0.0", -0.04, L"0.0"},                     // and never "-0.0"
      {L"0.0;(0.0)", -0.04, L"0.0"},
      {L"#.##", 0.5, L".5"},
      {L"#.##", 1, L"1"},
      {L"0.##", 1.5, L"1.5"},
      {L"0.0#", 1.5, L"1.5"},
      {L"0.0#", 1.257, L"1.26"},
      {L"#", 0, L""},
      {L"000", 7, L"007"},
      {L"0", 2.5, L"3"},
      {L"0", -2.5, L"-3"},
      {L".00", 12.5, L"12.50"},
      {L"0.00E+00", 1234.5, L"1.23E+03"},
      {L"0.00E-00", 1234.5, L"1.23E03"},
      {L"0.00E-00", 0.0012345, L"1.23E-03"},
      {L"0.0e+0", -0.0012345, L"-1.2e-3"},
      {L"0.0E+0", 0, L"0.0E+0"},
      {L"00.0E+0", 1234.5, L"12.3E+2"},
      {L"'Total: '0.00", 5, L"Total: 5.00"},
      {L"\"#\"#,##0", 1234, L"#1,234"},
      {L"0.00 'kg;g'", 2, L"2.00 kg;g"},
      {L"", 1.5, L"1.5"},
      {L";(0)", -3, L"(3)"},
      {L"#,##0.00", 123456789012345678.0, L"123,456,789,012,346,000.00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.format) + " " + std::to_string(c.value));
    EXPECT_EQ(FormatFloat(c.format, c.value, Us()), c.expected);
  }
  EXPECT_EQ(FormatFloat(L"#,##0.00", -1234.5, Comma()), L"-1.234,50");
  EXPECT_EQ(FormatFloat(L"0.00", std::nan(""), Us()), L"NAN");
}

TEST(SysUtilsFloat, TextToFloatUsesTheSettingsSeparator) {
  struct Case {
    const Char* text;
    bool ok;
    double value;
  };
  const Case comma[] = {
      {L"1234,5", true, 1234.5},   {L" -1,5e3 ", true, -1500}, {L",5", true, 0.5},
      {L"5,", true, 5},            {L"+2E-2", true, 0.02},     {L"1e-400", true, 0},
      {L"1234.5", false, 0},       {L"1.234,5", false, 0},     {L",", false, 0},
      {L"", false, 0},             {L"1e", false, 0},          {L"1e400", false, 0},
      {L"1,5x", false, 0},         {L"1 5", false, 0},         {L"0x10", false, 0},
  };
  const TFormatSettings fs = Comma();
  for (const Case& c : comma) {
    SCOPED_TRACE(Narrow(c.text));
    double v = -99;
    EXPECT_EQ(TryStrToFloat(c.text, v, fs), c.ok);
    if (c.ok) {
      EXPECT_DOUBLE_EQ(v, c.value);
    }
    EXPECT_DOUBLE_EQ(StrToFloatDef(c.text, -7, fs), c.ok ? c.value : -7);
  }
  EXPECT_DOUBLE_EQ(StrToFloat(L"0.1", Us()), 0.1);
  EXPECT_EQ(StrToFloat(L"123456789.123456789", Us()), 123456789.123456789);
  try {
    StrToFloat(L"1.5", fs);
    FAIL() << "no exception";
  } catch (EConvertError& e) {
    EXPECT_EQ(e.Message, L"'1.5' is not a valid floating point value");
  }
  // What FloatToStr writes, StrToFloat reads back exactly.
  for (double d : {1.0 / 3, -2.5e-7, 123456.789, 1e300}) {
    SCOPED_TRACE(d);
    EXPECT_DOUBLE_EQ(StrToFloat(FloatToStrF(d, ffGeneral, 17, 0, fs), fs), d);
  }
}

// Seventeen significant digits identify a double: whatever the digit engine
// writes with them must read back as the same bits, over the whole range
// (subnormals and extreme exponents included).
TEST(SysUtilsFloat, SeventeenDigitsRoundTripRandomDoubles) {
  std::mt19937_64 random(20240305);
  const TFormatSettings fs = Comma();
  int failures = 0;
  for (int i = 0; i < 3000 && failures < 5; ++i) {
    const UInt64 bits = random();
    double d;
    std::memcpy(&d, &bits, sizeof d);
    if (!std::isfinite(d)) continue;
    for (TFloatFormat format : {ffGeneral, ffExponent}) {
      const String text = FloatToStrF(d, format, 17, 0, fs);
      double back = 0;
      if (!TryStrToFloat(text, back, fs) || back != d) {
        ADD_FAILURE() << Narrow(text) << " does not read back as " << d;
        ++failures;
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Currency
// ---------------------------------------------------------------------------

TEST(SysUtilsCurrency, ArithmeticRoundsHalvesToEven) {
  EXPECT_EQ(Currency(1.5).Value, 15000);
  EXPECT_EQ(Currency(1.03125).Value, 10312);   // 10312.5 -> even
  EXPECT_EQ(Currency(1.09375).Value, 10938);   // 10937.5 -> even
  EXPECT_EQ(Currency(-1.03125).Value, -10312);
  EXPECT_EQ(Currency(7).Value, 70000);
  EXPECT_DOUBLE_EQ(Currency::FromRaw(12345).ToDouble(), 1.2345);

  EXPECT_EQ(Currency(1.5) * Currency(2), Currency(3));
  EXPECT_EQ((Currency::FromRaw(3) * Currency::FromRaw(5000)).Value, 2);   // 1.5 ten-thousandths
  EXPECT_EQ((Currency::FromRaw(5) * Currency::FromRaw(5000)).Value, 2);   // 2.5
  EXPECT_EQ((Currency(1) / Currency(3)).Value, 3333);
  EXPECT_EQ((Currency(2) / Currency(3)).Value, 6667);
  EXPECT_EQ(Currency(5) - Currency(7), Currency(-2));
  EXPECT_EQ(-Currency(5), Currency(-5));
  EXPECT_LT(Currency(1), Currency(1.0001));
  EXPECT_THROW(Currency(1) / Currency(0), EZeroDivide);
  EXPECT_THROW(Currency(1e16), EInvalidOp);
  EXPECT_THROW(Currency(Int64(1) << 60), EInvalidOp);
  EXPECT_EQ(Currency(Int64(922337203685477)).Value, 9223372036854770000);
  EXPECT_THROW(FloatToCurr(1e16), EConvertError);
  EXPECT_EQ(FloatToCurr(2.5).Value, 25000);
}

TEST(SysUtilsCurrency, TextIsConvertedExactly) {
  const TFormatSettings fs = Us();
  struct Case {
    const Char* text;
    bool ok;
    Int64 raw;
  };
  const Case cases[] = {
      {L"1.5", true, 15000},
      {L"1.23455", true, 12346},    // tie, odd last digit: up
      {L"1.23445", true, 12344},    // tie, even last digit: stays
      {L"1.234451", true, 12345},   // above the tie
      {L"-1.23455", true, -12346},
      {L"0.00005", true, 0},
      {L"12e-1", true, 12000},
      {L"1.5E3", true, 15000000},
      {L"922337203685477.5807", true, INT64_MAX},
      {L"-922337203685477.5808", true, INT64_MIN},
      {L"922337203685477.5808", false, 0},
      {L"1e15", false, 0},
      {L"0.000000000000000000000000001", true, 0},
      {L"1,5", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.text));
    Currency v;
    EXPECT_EQ(TryStrToCurr(c.text, v, fs), c.ok);
    if (c.ok) {
      EXPECT_EQ(v.Value, c.raw);
    }
  }
  EXPECT_EQ(StrToCurr(L"1,5", Comma()).Value, 15000);
  EXPECT_THROW(StrToCurr(L"abc", fs), EConvertError);
  EXPECT_EQ(StrToCurrDef(L"abc", Currency(3), fs), Currency(3));

  EXPECT_EQ(CurrToStr(Currency(1.5), fs), L"1.5");
  EXPECT_EQ(CurrToStr(Currency::FromRaw(1), fs), L"0.0001");
  EXPECT_EQ(CurrToStr(Currency::FromRaw(INT64_MAX), fs), L"922337203685477.5807");
  EXPECT_EQ(CurrToStrF(Currency::FromRaw(INT64_MIN), ffNumber, 4, fs), L"-922,337,203,685,477.5808");
  EXPECT_EQ(CurrToStrF(Currency::FromRaw(12345678), ffFixed, 2, fs), L"1234.57");
  EXPECT_EQ(CurrToStrF(Currency::FromRaw(-12345678), ffCurrency, 2, Comma()), L"-1.234,57 \u20ac");
  EXPECT_EQ(FormatCurr(L"#,##0.0000", Currency::FromRaw(INT64_MAX), fs), L"922,337,203,685,477.5807");

  std::mt19937_64 random(7);
  for (int i = 0; i < 1000; ++i) {
    const Currency c = Currency::FromRaw(Int64(random()) >> (i % 60));
    ASSERT_EQ(StrToCurr(CurrToStr(c, fs), fs), c) << Narrow(CurrToStr(c, fs));
    ASSERT_EQ(StrToCurr(CurrToStrF(c, ffFixed, 4, Comma()), Comma()), c) << Narrow(CurrToStrF(c, ffFixed, 4, Comma()));
  }
}

// ---------------------------------------------------------------------------
// Locale settings
// ---------------------------------------------------------------------------

// The user's own settings stand in for the data of the user's default locale,
// and a shared Wine prefix keeps whatever settings its last locale left: the
// locale tables are checked only for locales that are not the user default
// (the Chinese run checks the US table, the US run the Chinese one).
#define SKIP_IF_USER_DEFAULT(lcid)                                                   \
  if (GetUserDefaultLCID() == (lcid))                                                \
  GTEST_SKIP() << "the user's own settings stand in for this locale's data"

TEST(SysUtilsLocale, SettingsOfUsEnglish) {
  SKIP_IF_USER_DEFAULT(0x0409);
  const TFormatSettings fs = TFormatSettings::Create(0x0409);
  EXPECT_EQ(fs.DecimalSeparator, L'.');
  EXPECT_EQ(fs.ThousandSeparator, L',');
  EXPECT_EQ(fs.CurrencyString, L"$");
  EXPECT_EQ(fs.CurrencyDecimals, 2);
  EXPECT_EQ(fs.DateSeparator, L'/');
  EXPECT_EQ(fs.ShortDateFormat, L"M/d/yyyy");
  EXPECT_EQ(fs.LongTimeFormat, L"h:mm:ss AMPM") << "built from the 12-hour flag, not from \"tt\"";
  EXPECT_EQ(fs.ShortTimeFormat, L"h:mm AMPM");
  EXPECT_EQ(fs.TimeAMString, L"AM");
  EXPECT_EQ(fs.ShortDayNames[0], L"Sun");
  EXPECT_EQ(fs.LongDayNames[1], L"Monday");
  EXPECT_EQ(fs.LongMonthNames[11], L"December");
  EXPECT_EQ(fs.TwoDigitYearCenturyWindow, 50);
}

TEST(SysUtilsLocale, SettingsOfSimplifiedChinese) {
  SKIP_IF_USER_DEFAULT(0x0804);
  const TFormatSettings fs = TFormatSettings::Create(0x0804);
  EXPECT_EQ(fs.DecimalSeparator, L'.');
  EXPECT_EQ(fs.CurrencyString, L"\u00a5");
  EXPECT_EQ(fs.ShortDateFormat, L"yyyy/M/d");
  EXPECT_EQ(fs.LongTimeFormat, L"hh:mm:ss") << "24-hour clock with leading zero";
  EXPECT_EQ(fs.TimeAMString, L"\u4e0a\u5348");
  EXPECT_EQ(fs.LongDayNames[0], L"\u661f\u671f\u65e5");
  EXPECT_EQ(fs.LongMonthNames[0], L"\u4e00\u6708");
}

TEST(SysUtilsLocale, GermanNumbersThroughTheLocale) {
  const TFormatSettings fs = TFormatSettings::Create(0x0407);
  EXPECT_EQ(fs.DecimalSeparator, L',');
  EXPECT_EQ(fs.ThousandSeparator, L'.');
  EXPECT_EQ(FormatFloat(L"#,##0.00", 1234.5, fs), L"1.234,50");
  EXPECT_DOUBLE_EQ(StrToFloat(L"1234,5", fs), 1234.5);
}

TEST(SysUtilsLocale, GlobalSettingsFollowTheThreadLocaleAndReload) {
  const TFormatSettings thread = TFormatSettings::Create();
  EXPECT_EQ(FormatSettings().ShortDateFormat, thread.ShortDateFormat);
  EXPECT_EQ(FormatSettings().DecimalSeparator, thread.DecimalSeparator);
  FormatSettings().DecimalSeparator = L'#';
  EXPECT_EQ(FloatToStr(1.5), L"1#5") << "routines without settings use the global record";
  GetFormatSettings();
  EXPECT_EQ(FormatSettings().DecimalSeparator, thread.DecimalSeparator);
  EXPECT_EQ(TFormatSettings::Create(0x7FFFFFFF).ShortDateFormat, thread.ShortDateFormat)
      << "an unknown locale means the thread's";
}
