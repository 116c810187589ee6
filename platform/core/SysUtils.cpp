// Locale settings, integer and Boolean conversions, string, file-name and
// file routines. Floating-point and Format live in SysUtilsFormat.cpp, dates
// in DateUtils.cpp.
#include "platform/WinApi.h"
#include "platform/core/SysUtils.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>

// ---------------------------------------------------------------------------
// Locale settings
// ---------------------------------------------------------------------------

namespace {

String LocaleString(LCID locale, LCTYPE item, const String& fallback) {
  wchar_t buffer[256];
  const int n = GetLocaleInfoW(locale, item, buffer, 256);
  return n > 1 ? String(buffer, size_t(n - 1)) : fallback;
}

Char LocaleChar(LCID locale, LCTYPE item, Char fallback) {
  const String s = LocaleString(locale, item, String());
  return s.empty() ? fallback : s[0];
}

int LocaleInt(LCID locale, LCTYPE item, int fallback) {
  return StrToIntDef(LocaleString(locale, item, String()), fallback);
}

// Locale date formats are the platform's picture formats already, except for
// the era ("g"), which Chinese, Japanese and Korean Gregorian formats carry
// and the platform's formats do not show.
String TranslateDateFormat(LCID locale, const String& format) {
  const int language = PRIMARYLANGID(LANGIDFROMLCID(locale));
  if (language != LANG_CHINESE && language != LANG_JAPANESE && language != LANG_KOREAN) return format;
  String result;
  for (Char c : format)
    if (c != L'g' && c != L'G') result += c;
  return result;
}

// ---- Eras

bool IsEraCalendar(CALID calendar) {
  return calendar == CAL_JAPAN || calendar == CAL_TAIWAN || calendar == CAL_KOREA || calendar == CAL_THAI;
}

BOOL CALLBACK CollectCalendarInfo(LPWSTR info, CALID, LPWSTR, LPARAM data) {
  return GuardCallback(FALSE, [&] {
    reinterpret_cast<std::vector<String>*>(data)->push_back(info ? String(info) : String());
    return TRUE;
  });
}

// One string per era, in the order the system lists the eras.
std::vector<String> CalendarInfo(const Char* localeName, CALID calendar, CALTYPE type) {
  std::vector<String> values;
  EnumCalendarInfoExEx(&CollectCalendarInfo, localeName, calendar, nullptr, type, reinterpret_cast<LPARAM>(&values));
  return values;
}

// The era the system gives a day in the locale's era calendar ("" when it
// cannot format that day in it).
String SystemEraOf(LCID lcid, DWORD flags, TDateTime day) {
  Word y, m, d;
  DecodeDate(day, y, m, d);
  SYSTEMTIME st{};
  st.wYear = y;
  st.wMonth = m;
  st.wDay = d;
  wchar_t buffer[64];
  const int n = GetDateFormatW(lcid, flags, &st, L"gg", buffer, 64);
  return n > 1 ? String(buffer, size_t(n - 1)) : String();
}

// Eras change in the course of a year: the first day of `year` that the
// system puts in the era, or the year's first day where the system does not
// format dates in the era calendar.
TDateTime EraFirstDay(LCID lcid, DWORD flags, int year, const String& name) {
  TDateTime first, last;
  if (!TryEncodeDate(year, 1, 1, first) || !TryEncodeDate(year, 12, 31, last)) return MinDateTime;
  if (SystemEraOf(lcid, flags, last) != name) return first;
  while (first < last) {
    const TDateTime mid = first + double(int((last - first) / 2));
    if (SystemEraOf(lcid, flags, mid) == name)
      last = mid;
    else
      first = mid + 1;
  }
  return first;
}

// The eras of the locale's calendar when that counts years by eras (its
// own calendar, else its first optional one), oldest first.
std::vector<TEraInfo> LocaleEras(LCID lcid) {
  std::vector<TEraInfo> eras;
  DWORD flags = 0;
  CALID calendar = CALID(LocaleInt(lcid, LOCALE_ICALENDARTYPE, CAL_GREGORIAN));
  if (!IsEraCalendar(calendar)) {
    calendar = CALID(LocaleInt(lcid, LOCALE_IOPTIONALCALENDAR, CAL_GREGORIAN));
    flags = DATE_USE_ALT_CALENDAR;
  }
  if (!IsEraCalendar(calendar)) return eras;
  wchar_t localeName[LOCALE_NAME_MAX_LENGTH] = {};
  if (!LCIDToLocaleName(lcid, localeName, LOCALE_NAME_MAX_LENGTH, 0)) return eras;
  const std::vector<String> names = CalendarInfo(localeName, calendar, CAL_SERASTRING);
  const std::vector<String> shortNames = CalendarInfo(localeName, calendar, CAL_SABBREVERASTRING);
  const std::vector<String> offsets = CalendarInfo(localeName, calendar, CAL_IYEAROFFSETRANGE);
  for (size_t i = 0; i < names.size() && i < offsets.size(); ++i) {
    if (names[i].empty()) continue;
    TEraInfo era;
    era.EraName = names[i];
    era.EraShortName = i < shortNames.size() && !shortNames[i].empty() ? shortNames[i] : names[i].substr(0, 1);
    // Eras that begin in a year give that year (the era's year 1); a
    // calendar with one era counted from long before gives the number to
    // subtract, as zero or below.
    const int value = StrToIntDef(offsets[i], 0);
    if (value > 0) {
      era.EraOffset = value - 1;
      era.EraStart = EraFirstDay(lcid, flags, value, era.EraName);
    } else {
      era.EraOffset = value;
    }
    eras.push_back(era);
  }
  std::stable_sort(eras.begin(), eras.end(),
                   [](const TEraInfo& a, const TEraInfo& b) { return a.EraStart < b.EraStart; });
  for (size_t i = 0; i + 1 < eras.size(); ++i) eras[i].EraEnd = eras[i + 1].EraStart - 1;
  return eras;
}

}  // namespace

TFormatSettings TFormatSettings::Create(unsigned long locale) {
  LCID lcid = static_cast<LCID>(locale);
  if (!IsValidLocale(lcid, LCID_INSTALLED)) lcid = GetThreadLocale();
  TFormatSettings s;
  for (int i = 0; i < 12; ++i) {
    s.ShortMonthNames[i] = LocaleString(lcid, LOCALE_SABBREVMONTHNAME1 + i, s.ShortMonthNames[i]);
    s.LongMonthNames[i] = LocaleString(lcid, LOCALE_SMONTHNAME1 + i, s.LongMonthNames[i]);
  }
  for (int i = 0; i < 7; ++i) {
    // The locale's day names start with Monday, the platform's with Sunday.
    const int day = (i + 6) % 7;
    s.ShortDayNames[i] = LocaleString(lcid, LOCALE_SABBREVDAYNAME1 + day, s.ShortDayNames[i]);
    s.LongDayNames[i] = LocaleString(lcid, LOCALE_SDAYNAME1 + day, s.LongDayNames[i]);
  }
  s.CurrencyString = LocaleString(lcid, LOCALE_SCURRENCY, s.CurrencyString);
  s.CurrencyFormat = Byte(LocaleInt(lcid, LOCALE_ICURRENCY, s.CurrencyFormat));
  s.NegCurrFormat = Byte(LocaleInt(lcid, LOCALE_INEGCURR, s.NegCurrFormat));
  s.ThousandSeparator = LocaleChar(lcid, LOCALE_STHOUSAND, s.ThousandSeparator);
  s.DecimalSeparator = LocaleChar(lcid, LOCALE_SDECIMAL, s.DecimalSeparator);
  s.CurrencyDecimals = Byte(LocaleInt(lcid, LOCALE_ICURRDIGITS, s.CurrencyDecimals));
  s.DateSeparator = LocaleChar(lcid, LOCALE_SDATE, s.DateSeparator);
  s.ShortDateFormat = TranslateDateFormat(lcid, LocaleString(lcid, LOCALE_SSHORTDATE, s.ShortDateFormat));
  s.LongDateFormat = TranslateDateFormat(lcid, LocaleString(lcid, LOCALE_SLONGDATE, s.LongDateFormat));
  s.TimeSeparator = LocaleChar(lcid, LOCALE_STIME, s.TimeSeparator);
  s.TimeAMString = LocaleString(lcid, LOCALE_S1159, s.TimeAMString);
  s.TimePMString = LocaleString(lcid, LOCALE_S2359, s.TimePMString);
  s.ListSeparator = LocaleChar(lcid, LOCALE_SLIST, s.ListSeparator);
  // The time formats are built from the locale's flags, not taken from its
  // format strings: those use "tt" for the AM/PM text, which in the
  // platform's formats means the long time format.
  const String hour = LocaleInt(lcid, LOCALE_ITLZERO, 0) == 0 ? L"h" : L"hh";
  String prefix, postfix;
  if (LocaleInt(lcid, LOCALE_ITIME, 0) == 0) {
    if (LocaleInt(lcid, LOCALE_ITIMEMARKPOSN, 0) == 0)
      postfix = L" AMPM";
    else
      prefix = L"AMPM ";
  }
  s.ShortTimeFormat = prefix + hour + L":mm" + postfix;
  s.LongTimeFormat = prefix + hour + L":mm:ss" + postfix;
  s.TwoDigitYearCenturyWindow = 50;
  s.EraInfo = LocaleEras(lcid);
  return s;
}

TFormatSettings TFormatSettings::Create() { return Create(GetThreadLocale()); }

TFormatSettings& FormatSettings() {
  static TFormatSettings settings = TFormatSettings::Create();
  return settings;
}

void GetFormatSettings() { FormatSettings() = TFormatSettings::Create(); }

const TSysLocale& SysLocale() {
  static const TSysLocale locale = [] {
    TSysLocale l;
    l.DefaultLCID = GetThreadLocale();
    l.PriLangID = PRIMARYLANGID(LANGIDFROMLCID(l.DefaultLCID));
    l.SubLangID = SUBLANGID(LANGIDFROMLCID(l.DefaultLCID));
    l.FarEast = GetSystemMetrics(SM_DBCSENABLED) != 0;
    l.MiddleEast = GetSystemMetrics(SM_MIDEASTENABLED) != 0;
    return l;
  }();
  return locale;
}

// ---------------------------------------------------------------------------
// Integers and Booleans
// ---------------------------------------------------------------------------

namespace {

String UnsignedDigits(UInt64 v, bool negative) {
  Char buffer[24];
  Char* p = buffer + 24;
  do {
    *--p = Char(L'0' + v % 10);
    v /= 10;
  } while (v);
  if (negative) *--p = L'-';
  return String(p, buffer + 24);
}

String HexDigits(UInt64 v, int digits) {
  static const Char kHex[] = L"0123456789ABCDEF";
  String s;
  do {
    s += kHex[v & 15];
    v >>= 4;
  } while (v);
  if (digits > 32) digits = 32;
  while (int(s.size()) < digits) s += L'0';
  std::reverse(s.begin(), s.end());
  return s;
}

// The platform's integer syntax: blanks, sign, then decimal digits or hex
// digits after "$", "x", "X", "0x" or "0X". `limit` is the largest magnitude
// a decimal value may have (the negative side may be one more); hex values
// may use all `bits` and are taken as two's complement.
bool ParseInteger(const String& s, int bits, Int64& out) {
  size_t i = 0;
  const size_t n = s.size();
  while (i < n && s[i] == L' ') ++i;
  bool negative = false;
  if (i < n && (s[i] == L'-' || s[i] == L'+')) negative = s[i++] == L'-';
  bool hex = false;
  if (i < n && (s[i] == L'$' || s[i] == L'x' || s[i] == L'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && s[i] == L'0' && (s[i + 1] == L'x' || s[i + 1] == L'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n) return false;
  const UInt64 max = bits == 64 ? ~UInt64(0) : (UInt64(1) << bits) - 1;
  UInt64 v = 0;
  for (; i < n; ++i) {
    const Char c = s[i];
    unsigned d;
    if (c >= L'0' && c <= L'9')
      d = unsigned(c - L'0');
    else if (hex && c >= L'a' && c <= L'f')
      d = unsigned(c - L'a' + 10);
    else if (hex && c >= L'A' && c <= L'F')
      d = unsigned(c - L'A' + 10);
    else
      return false;
    const unsigned base = hex ? 16 : 10;
    if (v > (max - d) / base) return false;
    v = v * base + d;
  }
  if (hex) {
    // Reinterpret the bits, then apply the sign.
    Int64 r = bits == 64 ? Int64(v) : Int64(std::int32_t(std::uint32_t(v)));
    out = negative ? Int64(0 - UInt64(r)) : r;
    return true;
  }
  const UInt64 positiveLimit = (UInt64(1) << (bits - 1)) - 1;
  if (v > positiveLimit + (negative ? 1 : 0)) return false;
  out = negative ? Int64(0 - v) : Int64(v);
  return true;
}

[[noreturn]] void ConvertError(const Char* what, const String& s) {
  throw EConvertError(L"'" + s + L"' is not a valid " + what);
}

}  // namespace

String IntToStr(int value) { return IntToStr(Int64(value)); }
String IntToStr(long value) { return IntToStr(Int64(value)); }
String IntToStr(unsigned value) { return UnsignedDigits(value, false); }
String IntToStr(unsigned long value) { return UnsignedDigits(value, false); }
String IntToStr(Int64 value) {
  return value < 0 ? UnsignedDigits(0 - UInt64(value), true) : UnsignedDigits(UInt64(value), false);
}
String IntToStr(UInt64 value) { return UnsignedDigits(value, false); }
String UIntToStr(UInt64 value) { return UnsignedDigits(value, false); }

String IntToHex(int value, int digits) { return HexDigits(std::uint32_t(value), digits); }
String IntToHex(unsigned value, int digits) { return HexDigits(value, digits); }
String IntToHex(long value, int digits) { return HexDigits(std::uint32_t(value), digits); }
String IntToHex(unsigned long value, int digits) { return HexDigits(std::uint32_t(value), digits); }
String IntToHex(Int64 value, int digits) { return HexDigits(UInt64(value), digits); }
String IntToHex(UInt64 value, int digits) { return HexDigits(value, digits); }

bool TryStrToInt(const String& s, int& value) {
  Int64 v;
  if (!ParseInteger(s, 32, v)) return false;
  value = int(v);
  return true;
}

int StrToInt(const String& s) {
  int v;
  if (!TryStrToInt(s, v)) ConvertError(L"integer value", s);
  return v;
}

int StrToIntDef(const String& s, int def) {
  int v;
  return TryStrToInt(s, v) ? v : def;
}

bool TryStrToInt64(const String& s, Int64& value) { return ParseInteger(s, 64, value); }

Int64 StrToInt64(const String& s) {
  Int64 v;
  if (!TryStrToInt64(s, v)) ConvertError(L"integer value", s);
  return v;
}

Int64 StrToInt64Def(const String& s, Int64 def) {
  Int64 v;
  return TryStrToInt64(s, v) ? v : def;
}

String BoolToStr(bool value, bool useBoolStrs) {
  if (useBoolStrs) return value ? L"True" : L"False";
  return value ? L"-1" : L"0";
}

bool TryStrToBool(const String& s, bool& value) {
  if (SameText(s, L"True")) {
    value = true;
    return true;
  }
  if (SameText(s, L"False")) {
    value = false;
    return true;
  }
  double d;
  if (TryStrToFloat(s, d)) {
    value = d != 0;
    return true;
  }
  return false;
}

bool StrToBool(const String& s) {
  bool v;
  if (!TryStrToBool(s, v)) ConvertError(L"boolean value", s);
  return v;
}

bool StrToBoolDef(const String& s, bool def) {
  bool v;
  return TryStrToBool(s, v) ? v : def;
}

// ---------------------------------------------------------------------------
// Case and comparison
// ---------------------------------------------------------------------------

namespace {

constexpr Char AsciiUpper(Char c) { return c >= L'a' && c <= L'z' ? Char(c - 32) : c; }
constexpr Char AsciiLower(Char c) { return c >= L'A' && c <= L'Z' ? Char(c + 32) : c; }

int Clamp(size_t n) { return n > size_t(INT_MAX) ? INT_MAX : int(n); }

int LocaleCompare(std::wstring_view a, std::wstring_view b, DWORD flags) {
  return CompareStringW(LOCALE_USER_DEFAULT, flags, a.data(), Clamp(a.size()), b.data(), Clamp(b.size())) -
         CSTR_EQUAL;
}

}  // namespace

String UpperCase(std::wstring_view s) {
  String r(s);
  for (Char& c : r) c = AsciiUpper(c);
  return r;
}

String LowerCase(std::wstring_view s) {
  String r(s);
  for (Char& c : r) c = AsciiLower(c);
  return r;
}

String AnsiUpperCase(std::wstring_view s) {
  String r(s);
  if (!r.empty()) CharUpperBuffW(r.data(), DWORD(r.size()));
  return r;
}

String AnsiLowerCase(std::wstring_view s) {
  String r(s);
  if (!r.empty()) CharLowerBuffW(r.data(), DWORD(r.size()));
  return r;
}

int CompareStr(std::wstring_view a, std::wstring_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return int(a[i]) - int(b[i]);
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

int CompareText(std::wstring_view a, std::wstring_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const Char x = AsciiUpper(a[i]), y = AsciiUpper(b[i]);
    if (x != y) return int(x) - int(y);
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool SameStr(std::wstring_view a, std::wstring_view b) { return a == b; }
bool SameText(std::wstring_view a, std::wstring_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }

int AnsiCompareStr(std::wstring_view a, std::wstring_view b) { return LocaleCompare(a, b, 0); }
int AnsiCompareText(std::wstring_view a, std::wstring_view b) { return LocaleCompare(a, b, NORM_IGNORECASE); }
bool AnsiSameStr(std::wstring_view a, std::wstring_view b) { return AnsiCompareStr(a, b) == 0; }
bool AnsiSameText(std::wstring_view a, std::wstring_view b) { return AnsiCompareText(a, b) == 0; }

// ---------------------------------------------------------------------------
// Substrings
// ---------------------------------------------------------------------------

String Trim(std::wstring_view s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] <= L' ') ++b;
  while (e > b && s[e - 1] <= L' ') --e;
  return String(s.substr(b, e - b));
}

String TrimLeft(std::wstring_view s) {
  size_t b = 0;
  while (b < s.size() && s[b] <= L' ') ++b;
  return String(s.substr(b));
}

String TrimRight(std::wstring_view s) {
  size_t e = s.size();
  while (e > 0 && s[e - 1] <= L' ') --e;
  return String(s.substr(0, e));
}

int Pos(std::wstring_view sub, std::wstring_view s) { return PosEx(sub, s, 1); }

int PosEx(std::wstring_view sub, std::wstring_view s, int offset) {
  if (sub.empty() || offset < 1 || size_t(offset) > s.size()) return 0;
  const size_t at = s.find(sub, size_t(offset - 1));
  return at == std::wstring_view::npos ? 0 : int(at) + 1;
}

String Copy(std::wstring_view s, int index, int count) {
  if (index < 1) index = 1;
  if (count <= 0 || size_t(index) > s.size()) return String();
  return String(s.substr(size_t(index - 1), size_t(count)));
}

void Delete(String& s, int index, int count) {
  if (index < 1 || count <= 0 || size_t(index) > s.size()) return;
  s.erase(size_t(index - 1), size_t(count));
}

void Insert(std::wstring_view sub, String& s, int index) {
  if (index < 1) index = 1;
  const size_t at = std::min(size_t(index - 1), s.size());
  s.insert(at, sub);
}

String StringReplace(std::wstring_view s, std::wstring_view oldPattern, std::wstring_view newPattern,
                     TReplaceFlags flags) {
  if (oldPattern.empty()) return String(s);
  const bool ignoreCase = flags.Contains(rfIgnoreCase);
  // Upper-casing keeps the length, so positions in the folded copies are
  // positions in the original.
  const String foldedText = ignoreCase ? AnsiUpperCase(s) : String();
  const String foldedPattern = ignoreCase ? AnsiUpperCase(oldPattern) : String();
  const std::wstring_view text = ignoreCase ? std::wstring_view(foldedText) : s;
  const std::wstring_view pattern = ignoreCase ? std::wstring_view(foldedPattern) : oldPattern;
  String result;
  size_t from = 0;
  for (;;) {
    const size_t at = text.find(pattern, from);
    if (at == std::wstring_view::npos) break;
    result.append(s.substr(from, at - from));
    result.append(newPattern);
    from = at + pattern.size();
    if (!flags.Contains(rfReplaceAll)) break;
  }
  result.append(s.substr(from));
  return result;
}

String QuotedStr(std::wstring_view s) { return AnsiQuotedStr(s, L'\''); }

String AnsiQuotedStr(std::wstring_view s, Char quote) {
  String r(1, quote);
  for (Char c : s) {
    r += c;
    if (c == quote) r += c;
  }
  r += quote;
  return r;
}

String AnsiExtractQuotedStr(const Char*& src, Char quote) {
  if (!src || *src != quote) return String();
  const Char* p = src + 1;
  String r;
  while (*p) {
    if (*p == quote) {
      if (p[1] != quote) {
        ++p;
        break;
      }
      ++p;
    }
    r += *p++;
  }
  src = p;
  return r;
}

String AnsiDequotedStr(std::wstring_view s, Char quote) {
  const String text(s);   // null-terminated for the extraction
  const Char* p = text.c_str();
  String r = AnsiExtractQuotedStr(p, quote);
  // Unquoted, or quoted without its closing quote: the text stays as it is.
  if ((r.empty() || *p == 0) && !text.empty() && (text.front() != quote || text.back() != quote)) return text;
  return r;
}

String StringOfChar(Char ch, int count) { return count > 0 ? String(size_t(count), ch) : String(); }

String DupeString(std::wstring_view s, int count) {
  String r;
  if (count <= 0) return r;
  r.reserve(s.size() * size_t(count));
  for (int i = 0; i < count; ++i) r.append(s);
  return r;
}

bool IsDelimiter(std::wstring_view delimiters, std::wstring_view s, int index) {
  if (index < 1 || size_t(index) > s.size()) return false;
  return delimiters.find(s[size_t(index - 1)]) != std::wstring_view::npos;
}

int LastDelimiter(std::wstring_view delimiters, std::wstring_view s) {
  const size_t at = s.find_last_of(delimiters);
  return at == std::wstring_view::npos ? 0 : int(at) + 1;
}

String AdjustLineBreaks(std::wstring_view s, TTextLineBreakStyle style) {
  const std::wstring_view lineBreak = style == tlbsCRLF ? L"\r\n" : L"\n";
  String r;
  r.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const Char c = s[i];
    if (c == L'\r' || c == L'\n') {
      const Char pair = c == L'\r' ? L'\n' : L'\r';
      if (i + 1 < s.size() && s[i + 1] == pair) ++i;
      r.append(lineBreak);
    } else {
      r += c;
    }
  }
  return r;
}

std::size_t StrLen(const Char* s) { return s ? std::wcslen(s) : 0; }
String WideCharToString(const Char* s) { return s ? String(s) : String(); }
String WideCharLenToString(const Char* s, int length) {
  return s && length > 0 ? String(s, size_t(length)) : String();
}

// ---------------------------------------------------------------------------
// Code pages
// ---------------------------------------------------------------------------

namespace {

std::string ToCodePage(std::wstring_view s, UINT codePage) {
  if (s.empty()) return std::string();
  const int n = WideCharToMultiByte(codePage, 0, s.data(), Clamp(s.size()), nullptr, 0, nullptr, nullptr);
  std::string r(size_t(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(codePage, 0, s.data(), Clamp(s.size()), r.data(), n, nullptr, nullptr);
  return r;
}

String FromCodePage(std::string_view s, UINT codePage) {
  if (s.empty()) return String();
  const int n = MultiByteToWideChar(codePage, 0, s.data(), Clamp(s.size()), nullptr, 0);
  String r(size_t(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(codePage, 0, s.data(), Clamp(s.size()), r.data(), n);
  return r;
}

}  // namespace

UTF8String UTF8Encode(std::wstring_view s) { return ToCodePage(s, CP_UTF8); }
String UTF8Decode(std::string_view s) { return FromCodePage(s, CP_UTF8); }
String UTF8ToString(std::string_view s) { return FromCodePage(s, CP_UTF8); }
AnsiString StringToAnsi(std::wstring_view s, unsigned codePage) { return ToCodePage(s, codePage); }
String AnsiToString(std::string_view s, unsigned codePage) { return FromCodePage(s, codePage); }

// ---------------------------------------------------------------------------
// Hot keys
// ---------------------------------------------------------------------------

String StripHotkey(std::wstring_view text) { return StripHotkey(text, SysLocale().FarEast); }

String StripHotkey(std::wstring_view text, bool farEast) {
  String r;
  r.reserve(text.size());
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    if (text[i] != L'&') {
      r += text[i];
      continue;
    }
    // CJK captions put the hot key after the text: "文件(&F)".
    if (farEast && !r.empty() && r.back() == L'(' && i + 2 < n && text[i + 2] == L')') {
      r.pop_back();
      i += 2;
      continue;
    }
    // The character after a mark is kept as it is, so "&&" leaves one "&".
    if (i + 1 < n) r += text[++i];
  }
  return r;
}

String GetHotkey(std::wstring_view text) {
  String r;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) {
      ++i;
      if (text[i] != L'&') r = String(1, text[i]);
    }
  }
  return r;
}

// ---------------------------------------------------------------------------
// File names and files
// ---------------------------------------------------------------------------

namespace {
constexpr std::wstring_view kPathDelimiters = L"\\:";
constexpr std::wstring_view kExtDelimiters = L".\\:";
}  // namespace

String IncludeTrailingPathDelimiter(std::wstring_view path) {
  String r(path);
  if (r.empty() || r.back() != PathDelim) r += PathDelim;
  return r;
}

String ExcludeTrailingPathDelimiter(std::wstring_view path) {
  String r(path);
  if (!r.empty() && r.back() == PathDelim) r.pop_back();
  return r;
}

String ExtractFilePath(std::wstring_view fileName) {
  return Copy(fileName, 1, LastDelimiter(kPathDelimiters, fileName));
}

String ExtractFileDir(std::wstring_view fileName) {
  int i = LastDelimiter(kPathDelimiters, fileName);
  // "C:\dir\name" gives "C:\dir", but a root keeps its delimiter: "C:\", "\".
  if (i > 1 && fileName[size_t(i - 1)] == PathDelim && !IsDelimiter(kPathDelimiters, fileName, i - 1)) --i;
  return Copy(fileName, 1, i);
}

String ExtractFileName(std::wstring_view fileName) {
  return Copy(fileName, LastDelimiter(kPathDelimiters, fileName) + 1);
}

String ExtractFileExt(std::wstring_view fileName) {
  const int i = LastDelimiter(kExtDelimiters, fileName);
  if (i > 0 && fileName[size_t(i - 1)] == L'.') return Copy(fileName, i);
  return String();
}

String ChangeFileExt(std::wstring_view fileName, std::wstring_view extension) {
  int i = LastDelimiter(kExtDelimiters, fileName);
  if (i == 0 || fileName[size_t(i - 1)] != L'.') i = int(fileName.size()) + 1;
  return Copy(fileName, 1, i - 1) + String(extension);
}

bool FileExists(const String& fileName) {
  const DWORD a = GetFileAttributesW(fileName.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const String& directory) {
  const DWORD a = GetFileAttributesW(directory.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {
bool ForceDirectory(const String& directory) {
  const String dir = ExcludeTrailingPathDelimiter(directory);
  // Nothing to create: the parent of a relative name, a root, a drive, a
  // name that is its own parent ("xyz:"), or an existing directory.
  if (dir.empty() || (dir.size() == 2 && dir[1] == DriveDelim) || DirectoryExists(dir)) return true;
  const String parent = ExtractFilePath(dir);
  if (parent == dir) return true;
  if (!ForceDirectory(parent)) return false;
  // Someone else may have created it in between.
  return CreateDirectoryW(dir.c_str(), nullptr) || DirectoryExists(dir);
}
}  // namespace

bool ForceDirectories(const String& directory) { return !directory.empty() && ForceDirectory(directory); }

bool DeleteFile(const String& fileName) { return DeleteFileW(fileName.c_str()) != 0; }

String GetCurrentDir() {
  DWORD n = GetCurrentDirectoryW(0, nullptr);
  for (;;) {
    String r(n, L'\0');
    const DWORD got = GetCurrentDirectoryW(n, r.data());
    if (got == 0) return String();
    if (got < n) {
      r.resize(got);
      return r;
    }
    n = got + 1;
  }
}
