// String, conversion, number-formatting, file-name and date routines of the
// platform class library, with the platform's names and rules: 1-based string
// positions, locale settings in a TFormatSettings record, EConvertError for
// text that does not convert.
#pragma once

#include "platform/core/System.h"
#include "platform/core/Exceptions.h"

#include <climits>
#include <cstdint>
#include <compare>
#include <cstddef>
#include <initializer_list>
#include <string_view>
#include <vector>

// ---------------------------------------------------------------------------
// Currency: a fixed-point amount with four decimals
// ---------------------------------------------------------------------------

struct Currency {
  // The amount times 10,000; the component stream and variants store this.
  Int64 Value = 0;

  constexpr Currency() = default;
  constexpr Currency(int v) : Value(Int64(v) * 10000) {}
  constexpr Currency(Int64 v) : Value(Scaled(v)) {}
  // Rounds to four decimals, halves to even; EInvalidOp when out of range.
  Currency(double v);

  static constexpr Currency FromRaw(Int64 raw) {
    Currency c;
    c.Value = raw;
    return c;
  }
  double ToDouble() const { return double(Value) / 10000.0; }
  // EInvalidOp for whole amounts that do not fit.
  static constexpr Int64 Scaled(Int64 whole) {
    if (whole > INT64_MAX / 10000 || whole < INT64_MIN / 10000) throw EInvalidOp(L"Invalid floating point operation");
    return whole * 10000;
  }

  Currency& operator+=(Currency o) { Value += o.Value; return *this; }
  Currency& operator-=(Currency o) { Value -= o.Value; return *this; }
  Currency& operator*=(Currency o);   // result rounded to four decimals, halves to even
  Currency& operator/=(Currency o);   // likewise; EZeroDivide for a zero divisor
  friend Currency operator+(Currency a, Currency b) { return a += b; }
  friend Currency operator-(Currency a, Currency b) { return a -= b; }
  friend Currency operator*(Currency a, Currency b) { return a *= b; }
  friend Currency operator/(Currency a, Currency b) { return a /= b; }
  friend constexpr Currency operator-(Currency a) { return FromRaw(-a.Value); }
  friend constexpr bool operator==(Currency a, Currency b) { return a.Value == b.Value; }
  friend constexpr std::strong_ordering operator<=>(Currency a, Currency b) { return a.Value <=> b.Value; }
};

// ---------------------------------------------------------------------------
// Locale settings
// ---------------------------------------------------------------------------

// One era of a calendar that counts its years by eras (the Japanese
// emperors', the Republic of China's, ...).
struct TEraInfo {
  String EraName;        // "gg"
  String EraShortName;   // "g"
  // The year of the era is the Gregorian year minus this.
  int EraOffset = 0;
  // The first and last day of the era (whole days); the last era runs on.
  TDateTime EraStart = -657434.0;     // MinDateTime
  TDateTime EraEnd = 2958465.0;       // the day of MaxDateTime
};

struct TFormatSettings {
  // A default-constructed record holds the US English values, which are also
  // what Create falls back to for any item the locale does not provide.
  String CurrencyString = L"$";
  Byte CurrencyFormat = 0;     // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
  Byte NegCurrFormat = 0;      // 0..15, the locale's negative currency patterns
  Char ThousandSeparator = L',';
  Char DecimalSeparator = L'.';
  Byte CurrencyDecimals = 2;
  Char DateSeparator = L'/';
  Char TimeSeparator = L':';
  Char ListSeparator = L',';
  String ShortDateFormat = L"M/d/yyyy";
  String LongDateFormat = L"dddd, MMMM d, yyyy";
  String TimeAMString = L"AM";
  String TimePMString = L"PM";
  String ShortTimeFormat = L"h:mm AMPM";
  String LongTimeFormat = L"h:mm:ss AMPM";
  String ShortMonthNames[12] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
  String LongMonthNames[12] = {L"January", L"February", L"March",     L"April",   L"May",      L"June",
                               L"July",    L"August",   L"September", L"October", L"November", L"December"};
  String ShortDayNames[7] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};  // [0] = Sunday
  String LongDayNames[7] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"};
  // Two-digit years fall into the 100 years starting this many years ago;
  // 0 puts them in the current century.
  Word TwoDigitYearCenturyWindow = 50;
  // The eras of the locale's era calendar, oldest first; empty where the
  // locale counts no eras (the "g" specifiers then show nothing and "e" the
  // Gregorian year).
  std::vector<TEraInfo> EraInfo;

  // The settings of a locale (an LCID; an unknown one means the thread locale).
  static TFormatSettings Create(unsigned long locale);
  // The settings of the thread locale.
  static TFormatSettings Create();
};

// The process-wide settings every routine without a settings argument uses;
// read from the thread locale on first use.
TFormatSettings& FormatSettings();
// Reads the process-wide settings again from the thread locale.
void GetFormatSettings();

// What the platform knows about the system locale.
struct TSysLocale {
  unsigned long DefaultLCID = 0;
  int PriLangID = 0;
  int SubLangID = 0;
  bool FarEast = false;      // a double-byte (CJK) system
  bool MiddleEast = false;
};
const TSysLocale& SysLocale();

// ---------------------------------------------------------------------------
// Format
// ---------------------------------------------------------------------------

enum TVarRecType : Byte {
  vtInteger = 0, vtBoolean = 1, vtExtended = 3, vtPointer = 5, vtWideChar = 9,
  vtCurrency = 12, vtInt64 = 16, vtUnicodeString = 17
};

// One argument of Format. Strings are referenced, not copied: a TVarRec lives
// only as long as the argument list it was written in.
struct TVarRec {
  TVarRecType VType;
  union {
    int VInteger;
    bool VBoolean;
    Char VWideChar;
    double VExtended;
    const void* VPointer;
    Int64 VCurrency;          // raw Currency value
    Int64 VInt64;
    struct {
      const Char* Data;
      std::size_t Length;
    } VString;
  };

  TVarRec(int v) : VType(vtInteger), VInteger(v) {}
  TVarRec(long v) : VType(vtInteger), VInteger(int(v)) {}
  TVarRec(unsigned v) : VType(vtInt64), VInt64(Int64(v)) {}
  TVarRec(unsigned long v) : VType(vtInt64), VInt64(Int64(v)) {}
  TVarRec(Int64 v) : VType(vtInt64), VInt64(v) {}
  TVarRec(UInt64 v) : VType(vtInt64), VInt64(Int64(v)) {}
  TVarRec(double v) : VType(vtExtended), VExtended(v) {}
  TVarRec(long double v) : VType(vtExtended), VExtended(double(v)) {}
  TVarRec(bool v) : VType(vtBoolean), VBoolean(v) {}
  TVarRec(Char v) : VType(vtWideChar), VWideChar(v) {}
  TVarRec(Currency v) : VType(vtCurrency), VCurrency(v.Value) {}
  TVarRec(const String& v) : VType(vtUnicodeString), VString{v.data(), v.size()} {}
  TVarRec(std::wstring_view v) : VType(vtUnicodeString), VString{v.data(), v.size()} {}
  TVarRec(const Char* v);     // null is the empty string
  TVarRec(const void* v) : VType(vtPointer), VPointer(v) {}
  TVarRec(std::nullptr_t) : VType(vtPointer), VPointer(nullptr) {}

  std::wstring_view Str() const { return {VString.Data, VString.Length}; }
};

// Directives: "%" [index ":"] ["-"] [width] ["." precision] type, type one of
// d u x e f g n m p s (either case); index, width and precision may be "*"
// (taken from the arguments); "%%" is a percent sign. The index counts from 0.
// Raises EConvertError "Format '...' invalid or incompatible with argument"
// or "No argument for format '...'".
String Format(const String& format, std::initializer_list<TVarRec> args);
String Format(const String& format, std::initializer_list<TVarRec> args, const TFormatSettings& settings);
String Format(const String& format, const TVarRec* args, int count, const TFormatSettings& settings);

// ---------------------------------------------------------------------------
// Conversions
// ---------------------------------------------------------------------------

String IntToStr(int value);
String IntToStr(long value);
String IntToStr(unsigned value);
String IntToStr(unsigned long value);
String IntToStr(Int64 value);
String IntToStr(UInt64 value);
String UIntToStr(UInt64 value);
// Upper-case hex of the value's bits (32 of them for the 32-bit forms), at
// least `digits` digits.
String IntToHex(int value, int digits);
String IntToHex(unsigned value, int digits);
String IntToHex(long value, int digits);
String IntToHex(unsigned long value, int digits);
String IntToHex(Int64 value, int digits);
String IntToHex(UInt64 value, int digits);

// Decimal or hex ("$FF", "0xFF", "xFF"), optional sign, leading blanks allowed.
// Hex takes the full width of the type ("$FFFFFFFF" is -1).
int StrToInt(const String& s);            // EConvertError "'s' is not a valid integer value"
int StrToIntDef(const String& s, int def);
bool TryStrToInt(const String& s, int& value);
Int64 StrToInt64(const String& s);
Int64 StrToInt64Def(const String& s, Int64 def);
bool TryStrToInt64(const String& s, Int64& value);

enum TFloatFormat : int { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

String FloatToStr(double value);
String FloatToStr(double value, const TFormatSettings& settings);
String FloatToStrF(double value, TFloatFormat format, int precision, int digits);
String FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings);
// Picture formats: "0" digit, "#" optional digit, "." decimal separator,
// "," thousand separators, "E+00"/"E-00" exponent, quoted literals, and up to
// three sections "positive;negative;zero".
String FormatFloat(const String& format, double value);
String FormatFloat(const String& format, double value, const TFormatSettings& settings);
// Blanks around, sign, digits with the settings' decimal separator, exponent.
double StrToFloat(const String& s);   // EConvertError "'s' is not a valid floating point value"
double StrToFloat(const String& s, const TFormatSettings& settings);
double StrToFloatDef(const String& s, double def);
double StrToFloatDef(const String& s, double def, const TFormatSettings& settings);
bool TryStrToFloat(const String& s, double& value);
bool TryStrToFloat(const String& s, double& value, const TFormatSettings& settings);

String CurrToStr(Currency value);
String CurrToStr(Currency value, const TFormatSettings& settings);
String CurrToStrF(Currency value, TFloatFormat format, int digits);
String CurrToStrF(Currency value, TFloatFormat format, int digits, const TFormatSettings& settings);
String FormatCurr(const String& format, Currency value);
String FormatCurr(const String& format, Currency value, const TFormatSettings& settings);
Currency StrToCurr(const String& s);  // the text converted exactly, halves to even
Currency StrToCurr(const String& s, const TFormatSettings& settings);
Currency StrToCurrDef(const String& s, Currency def);
Currency StrToCurrDef(const String& s, Currency def, const TFormatSettings& settings);
bool TryStrToCurr(const String& s, Currency& value);
bool TryStrToCurr(const String& s, Currency& value, const TFormatSettings& settings);
Currency FloatToCurr(double value);   // EConvertError when out of range

// "0"/"-1", or "False"/"True" with useBoolStrs.
String BoolToStr(bool value, bool useBoolStrs = false);
// "True"/"False" in any case, or a number (non-zero is true).
bool StrToBool(const String& s);      // EConvertError "'s' is not a valid boolean value"
bool StrToBoolDef(const String& s, bool def);
bool TryStrToBool(const String& s, bool& value);

// ---------------------------------------------------------------------------
// Strings
// ---------------------------------------------------------------------------

String UpperCase(std::wstring_view s);       // a..z only
String LowerCase(std::wstring_view s);       // A..Z only
String AnsiUpperCase(std::wstring_view s);   // the user locale's case mapping
String AnsiLowerCase(std::wstring_view s);
// Ordinal comparison; < 0, 0 or > 0.
int CompareStr(std::wstring_view a, std::wstring_view b);
// Ordinal comparison with a..z folded to A..Z.
int CompareText(std::wstring_view a, std::wstring_view b);
bool SameStr(std::wstring_view a, std::wstring_view b);
bool SameText(std::wstring_view a, std::wstring_view b);
// Comparison by the user locale's collation; < 0, 0 or > 0.
int AnsiCompareStr(std::wstring_view a, std::wstring_view b);
int AnsiCompareText(std::wstring_view a, std::wstring_view b);
bool AnsiSameStr(std::wstring_view a, std::wstring_view b);
bool AnsiSameText(std::wstring_view a, std::wstring_view b);

// Remove characters up to and including the blank (controls and spaces).
String Trim(std::wstring_view s);
String TrimLeft(std::wstring_view s);
String TrimRight(std::wstring_view s);

// 1-based position of the first occurrence, 0 when absent or sub is empty.
int Pos(std::wstring_view sub, std::wstring_view s);
// Likewise, searching from position offset (0 for an offset outside s).
int PosEx(std::wstring_view sub, std::wstring_view s, int offset = 1);
// `count` characters from 1-based `index`; both are clamped to the string.
String Copy(std::wstring_view s, int index, int count = INT_MAX);
void Delete(String& s, int index, int count);
void Insert(std::wstring_view sub, String& s, int index);

enum TReplaceFlag : int { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag, 2>;
String StringReplace(std::wstring_view s, std::wstring_view oldPattern, std::wstring_view newPattern,
                     TReplaceFlags flags);

String QuotedStr(std::wstring_view s);
String AnsiQuotedStr(std::wstring_view s, Char quote);
// Reads a quoted text at src (doubled quotes stand for one) and leaves src
// after the closing quote; empty and src unchanged when src is not at a quote.
String AnsiExtractQuotedStr(const Char*& src, Char quote);
// The text between the quotes, or s itself when it is not quoted properly.
String AnsiDequotedStr(std::wstring_view s, Char quote);

String StringOfChar(Char ch, int count);
String DupeString(std::wstring_view s, int count);
// Whether the character at 1-based index is one of the delimiters.
bool IsDelimiter(std::wstring_view delimiters, std::wstring_view s, int index);
// 1-based index of the last delimiter character in s, 0 when none.
int LastDelimiter(std::wstring_view delimiters, std::wstring_view s);

enum TTextLineBreakStyle : int { tlbsLF, tlbsCRLF };
// Every CR, LF, CR LF and LF CR becomes one line break of the style.
String AdjustLineBreaks(std::wstring_view s, TTextLineBreakStyle style = tlbsCRLF);

std::size_t StrLen(const Char* s);   // 0 for null
String WideCharToString(const Char* s);
String WideCharLenToString(const Char* s, int length);

UTF8String UTF8Encode(std::wstring_view s);
String UTF8Decode(std::string_view s);     // invalid sequences become U+FFFD
String UTF8ToString(std::string_view s);
// Text in an 8-bit code page (0 = the ANSI code page of the system).
AnsiString StringToAnsi(std::wstring_view s, unsigned codePage = 0);
String AnsiToString(std::string_view s, unsigned codePage = 0);

// Accelerator marks: each "&" is dropped and the character after it kept
// ("&&" gives "&"). On a double-byte (CJK) system a "(&X)" hot key is
// removed with its parentheses.
String StripHotkey(std::wstring_view text);
String StripHotkey(std::wstring_view text, bool farEast);
// The character after the last single "&", empty when there is none.
String GetHotkey(std::wstring_view text);

// ---------------------------------------------------------------------------
// File names and files
// ---------------------------------------------------------------------------

constexpr Char PathDelim = L'\\';
constexpr Char DriveDelim = L':';
constexpr Char PathSep = L';';

String IncludeTrailingPathDelimiter(std::wstring_view path);
String ExcludeTrailingPathDelimiter(std::wstring_view path);
String ExtractFilePath(std::wstring_view fileName);    // with the trailing delimiter
String ExtractFileDir(std::wstring_view fileName);     // without it (unless a root)
String ExtractFileName(std::wstring_view fileName);
String ExtractFileExt(std::wstring_view fileName);     // with the dot
String ChangeFileExt(std::wstring_view fileName, std::wstring_view extension);

bool FileExists(const String& fileName);        // an existing file, not a directory
bool DirectoryExists(const String& directory);
// Creates the directory and its missing parents; false when that fails or
// the name is empty.
bool ForceDirectories(const String& directory);
bool DeleteFile(const String& fileName);
String GetCurrentDir();

// ---------------------------------------------------------------------------
// Date and time: TDateTime counts days from 30 December 1899; the fraction's
// magnitude is the time of day, also for dates before that day.
// ---------------------------------------------------------------------------

constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = 24 * 60;
constexpr int SecsPerDay = MinsPerDay * 60;
constexpr int MSecsPerDay = SecsPerDay * 1000;
constexpr int DateDelta = 693594;        // days from 1 January 0001 to 30 December 1899
constexpr TDateTime MinDateTime = -657434.0;        // 1 January 100
constexpr TDateTime MaxDateTime = 2958465.99999;    // 31 December 9999, end of day

// Month lengths; MonthDays[IsLeapYear(y)][month - 1].
inline constexpr Word MonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                          {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

struct TTimeStamp {
  int Time;   // milliseconds since midnight
  int Date;   // days since 1 January 0001, that day being 1
};
TTimeStamp DateTimeToTimeStamp(TDateTime value);   // EInvalidOp for NaN and values out of range
TDateTime TimeStampToDateTime(const TTimeStamp& stamp);

bool IsLeapYear(int year);
int DaysInAMonth(int year, int month);
int DaysInMonth(TDateTime value);

// Years 1..9999. EConvertError "Invalid argument to date encode".
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeDate(int year, int month, int day, TDateTime& value);
// A value whose day lies before 1 January 0001 decodes as 0/0/0.
void DecodeDate(TDateTime value, Word& year, Word& month, Word& day);
// Also the day of the week (1 = Sunday, 0 for an undecodable date); true in a leap year.
bool DecodeDateFully(TDateTime value, Word& year, Word& month, Word& day, Word& dayOfWeek);
// EConvertError "Invalid argument to time encode".
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& value);
void DecodeTime(TDateTime value, Word& hour, Word& min, Word& sec, Word& msec);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec);
bool TryEncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec, TDateTime& value);
void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& min, Word& sec,
                    Word& msec);

TDateTime Now();
TDateTime Date();
TDateTime Time();
int DayOfWeek(TDateTime value);   // 1 = Sunday .. 7 = Saturday
// The same day `months` months later, the day clamped to the month's length.
TDateTime IncMonth(TDateTime value, int months = 1);

// Specifiers: c d dd ddd dddd ddddd dddddd m mm mmm mmmm yy yyyy h hh n nn
// s ss z zzz t tt am/pm a/p ampm / : and "..." or '...' literals; any case.
// An "m" right after an "h" stands for minutes. Eras (settings' EraInfo): g
// the short name of the date's era, gg its name, e the year of the era, ee
// that year with at least two digits.
String FormatDateTime(const String& format, TDateTime value);
String FormatDateTime(const String& format, TDateTime value, const TFormatSettings& settings);
String DateToStr(TDateTime value);
String DateToStr(TDateTime value, const TFormatSettings& settings);
String TimeToStr(TDateTime value);
String TimeToStr(TDateTime value, const TFormatSettings& settings);
String DateTimeToStr(TDateTime value);
String DateTimeToStr(TDateTime value, const TFormatSettings& settings);

// Numbers in the order of the short date format, separated by the date
// separator; a missing year is the current one, a two-digit year follows
// TwoDigitYearCenturyWindow. Times: hours[:minutes[:seconds[.msec]]] with the
// time separator and an optional AM/PM text before or after.
TDateTime StrToDate(const String& s);          // EConvertError "'s' is not a valid date"
TDateTime StrToDate(const String& s, const TFormatSettings& settings);
bool TryStrToDate(const String& s, TDateTime& value);
bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToTime(const String& s);          // EConvertError "'s' is not a valid time"
TDateTime StrToTime(const String& s, const TFormatSettings& settings);
bool TryStrToTime(const String& s, TDateTime& value);
bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToDateTime(const String& s);      // EConvertError "'s' is not a valid date and time"
TDateTime StrToDateTime(const String& s, const TFormatSettings& settings);
bool TryStrToDateTime(const String& s, TDateTime& value);
bool TryStrToDateTime(const String& s, TDateTime& value, const TFormatSettings& settings);
