// Date and time: encoding, decoding, FormatDateTime and text to date.
#include "platform/WinApi.h"
#include "platform/core/SysUtils.h"

#include <cmath>

// ---------------------------------------------------------------------------
// Encoding and decoding
// ---------------------------------------------------------------------------

namespace {

constexpr int kDaysPer400Years = 146097;
constexpr int kDaysPer100Years = 36524;
constexpr int kDaysPer4Years = 1461;

[[noreturn]] void InvalidOp() { throw EInvalidOp(L"Invalid floating point operation"); }

// The sign convention of the platform: the time of day is added to a date on
// or after 30 December 1899 and subtracted from one before it.
TDateTime Compose(TDateTime date, TDateTime time) { return date >= 0 ? date + time : date - time; }

}  // namespace

TTimeStamp DateTimeToTimeStamp(TDateTime value) {
  // Milliseconds, rounded like the platform does (halves to even).
  const long double ms = std::nearbyintl(static_cast<long double>(value) * MSecsPerDay);
  if (!(std::fabs(ms) < 9.0e18L)) InvalidOp();
  const Int64 total = static_cast<Int64>(ms);
  const Int64 date = DateDelta + total / MSecsPerDay;   // truncates toward zero
  if (date < INT_MIN || date > INT_MAX) InvalidOp();
  const Int64 time = (total < 0 ? -total : total) % MSecsPerDay;
  return TTimeStamp{int(time), int(date)};
}

TDateTime TimeStampToDateTime(const TTimeStamp& stamp) {
  return Compose(double(stamp.Date) - DateDelta, double(stamp.Time) / MSecsPerDay);
}

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month) {
  if (month < 1 || month > 12) return 0;
  return MonthDays[IsLeapYear(year)][month - 1];
}

int DaysInMonth(TDateTime value) {
  Word y, m, d;
  DecodeDate(value, y, m, d);
  return DaysInAMonth(y, m);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& value) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month))
    return false;
  const bool leap = IsLeapYear(year);
  for (int i = 0; i < month - 1; ++i) day += MonthDays[leap][i];
  const int y = year - 1;
  value = double(y * 365 + y / 4 - y / 100 + y / 400 + day - DateDelta);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime v;
  if (!TryEncodeDate(year, month, day, v)) throw EConvertError(L"Invalid argument to date encode");
  return v;
}

bool DecodeDateFully(TDateTime value, Word& year, Word& month, Word& day, Word& dayOfWeek) {
  int t = DateTimeToTimeStamp(value).Date;
  if (t <= 0) {
    year = month = day = dayOfWeek = 0;
    return false;
  }
  dayOfWeek = Word(t % 7 + 1);
  --t;
  int y = 1;
  y += (t / kDaysPer400Years) * 400;
  t %= kDaysPer400Years;
  int i = t / kDaysPer100Years;
  if (i == 4) i = 3;   // the last day of a 400-year cycle
  y += i * 100;
  t -= i * kDaysPer100Years;
  y += (t / kDaysPer4Years) * 4;
  t %= kDaysPer4Years;
  i = t / 365;
  if (i == 4) i = 3;   // the last day of a leap cycle
  y += i;
  t -= i * 365;
  const bool leap = IsLeapYear(y);
  int m = 0;
  while (t >= MonthDays[leap][m]) t -= MonthDays[leap][m++];
  year = Word(y);
  month = Word(m + 1);
  day = Word(t + 1);
  return leap;
}

void DecodeDate(TDateTime value, Word& year, Word& month, Word& day) {
  Word dow;
  DecodeDateFully(value, year, month, day, dow);
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& value) {
  if (hour < 0 || hour >= HoursPerDay || min < 0 || min >= 60 || sec < 0 || sec >= 60 || msec < 0 || msec >= 1000)
    return false;
  value = double(((hour * 60 + min) * 60 + sec) * 1000 + msec) / MSecsPerDay;
  return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  TDateTime v;
  if (!TryEncodeTime(hour, min, sec, msec, v)) throw EConvertError(L"Invalid argument to time encode");
  return v;
}

void DecodeTime(TDateTime value, Word& hour, Word& min, Word& sec, Word& msec) {
  int t = DateTimeToTimeStamp(value).Time;
  msec = Word(t % 1000);
  t /= 1000;
  sec = Word(t % 60);
  t /= 60;
  min = Word(t % 60);
  hour = Word(t / 60);
}

bool TryEncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec, TDateTime& value) {
  TDateTime date, time;
  if (!TryEncodeDate(year, month, day, date) || !TryEncodeTime(hour, min, sec, msec, time)) return false;
  value = Compose(date, time);
  return true;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec) {
  const TDateTime date = EncodeDate(year, month, day);
  return Compose(date, EncodeTime(hour, min, sec, msec));
}

void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& min, Word& sec,
                    Word& msec) {
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, min, sec, msec);
}

TDateTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return EncodeDate(st.wYear, st.wMonth, st.wDay) + EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

TDateTime Date() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return EncodeDate(st.wYear, st.wMonth, st.wDay);
}

TDateTime Time() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

int DayOfWeek(TDateTime value) { return DateTimeToTimeStamp(value).Date % 7 + 1; }

TDateTime IncMonth(TDateTime value, int months) {
  Word y, m, d;
  DecodeDate(value, y, m, d);
  const Int64 total = Int64(y) * 12 + (m - 1) + months;
  if (total < 12 || total >= 10000 * 12) throw EConvertError(L"Invalid argument to date encode");
  const int year = int(total / 12), month = int(total % 12) + 1;
  const int day = d < DaysInAMonth(year, month) ? d : DaysInAMonth(year, month);
  return Compose(EncodeDate(year, month, day), std::fabs(value - std::trunc(value)));
}

// ---------------------------------------------------------------------------
// FormatDateTime
// ---------------------------------------------------------------------------

namespace {

bool MatchesNoCase(const String& s, size_t at, const Char* word) {
  for (size_t k = 0; word[k]; ++k) {
    if (at + k >= s.size()) return false;
    Char c = s[at + k];
    if (c >= L'a' && c <= L'z') c = Char(c - 32);
    if (c != word[k]) return false;
  }
  return true;
}

class TDateTimeWriter {
 public:
  TDateTimeWriter(TDateTime value, const TFormatSettings& fs) : value_(value), fs_(fs) {}

  // Referenced formats (c, ddddd, dddddd, t, tt) expand one level deep; a
  // reference inside an expansion adds nothing, which also stops formats
  // that refer to themselves.
  void Append(const String& f) {
    if (level_ >= 2) return;
    ++level_;
    Char lastToken = L' ';
    const size_t n = f.size();
    for (size_t i = 0; i < n;) {
      const Char c = f[i];
      Char token = c >= L'a' && c <= L'z' ? Char(c - 32) : c;
      if (token >= L'A' && token <= L'Z') {
        if (token == L'M' && lastToken == L'H') token = L'N';
        lastToken = token;
      }
      size_t count = 1;
      while (i + count < n && f[i + count] == c) ++count;
      switch (token) {
        case L'Y':
          DecodeDatePart();
          if (count <= 2)
            Number(year_ % 100, 2);
          else
            Number(year_, 4);
          break;
        case L'G':   // "g" the era's short name, "gg" its name; none outside the eras
          if (const TEraInfo* era = EraOfDate()) out_ += count == 1 ? era->EraShortName : era->EraName;
          break;
        case L'E': {   // year of the era, the Gregorian year outside the eras
          DecodeDatePart();
          const TEraInfo* era = EraOfDate();
          Number(year_ - (era ? era->EraOffset : 0), count >= 2 ? 2 : 1);
          break;
        }
        case L'M':
          DecodeDatePart();
          if (count <= 2)
            Number(month_, int(count));
          else
            out_ += MonthName(count == 3 ? fs_.ShortMonthNames : fs_.LongMonthNames);
          break;
        case L'D':
          DecodeDatePart();
          if (count <= 2)
            Number(day_, int(count));
          else if (count <= 4)
            out_ += DayName(count == 3 ? fs_.ShortDayNames : fs_.LongDayNames);
          else
            Append(count == 5 ? fs_.ShortDateFormat : fs_.LongDateFormat);
          break;
        case L'H': {
          DecodeTimePart();
          int h = hour_;
          if (TwelveHourClock(f, i + count)) h = h == 0 ? 12 : h > 12 ? h - 12 : h;
          Number(h, count > 2 ? 2 : int(count));
          break;
        }
        case L'N':
          DecodeTimePart();
          Number(min_, count > 2 ? 2 : int(count));
          break;
        case L'S':
          DecodeTimePart();
          Number(sec_, count > 2 ? 2 : int(count));
          break;
        case L'Z':
          DecodeTimePart();
          Number(msec_, count <= 2 ? 1 : 3);
          break;
        case L'T':
          Append(count == 1 ? fs_.ShortTimeFormat : fs_.LongTimeFormat);
          break;
        case L'C':
          DecodeTimePart();
          Append(fs_.ShortDateFormat);
          if (hour_ || min_ || sec_ || msec_) {
            out_ += L' ';
            Append(fs_.LongTimeFormat);
          }
          break;
        case L'A':
          count = AmPm(f, i);
          break;
        case L'/':
          if (fs_.DateSeparator) out_ += fs_.DateSeparator;
          count = 1;
          break;
        case L':':
          if (fs_.TimeSeparator) out_ += fs_.TimeSeparator;
          count = 1;
          break;
        case L'\'':
        case L'"': {
          const size_t end = f.find(c, i + 1);
          const size_t stop = end == String::npos ? n : end;
          out_.append(f, i + 1, stop - i - 1);
          count = stop < n ? stop - i + 1 : stop - i;
          break;
        }
        default:
          out_ += c;
          count = 1;
          break;
      }
      i += count;
    }
    --level_;
  }

  String Result() const { return out_; }

 private:
  void DecodeDatePart() {
    if (dateDone_) return;
    DecodeDateFully(value_, year_, month_, day_, dayOfWeek_);
    dateDone_ = true;
  }
  const TEraInfo* EraOfDate() const {
    const double day = std::trunc(value_);
    for (const TEraInfo& era : fs_.EraInfo)
      if (day >= era.EraStart && day <= era.EraEnd) return &era;
    return nullptr;
  }
  void DecodeTimePart() {
    if (timeDone_) return;
    DecodeTime(value_, hour_, min_, sec_, msec_);
    timeDone_ = true;
  }
  void Number(int v, int digits) {
    String s = IntToStr(v);
    if (int(s.size()) < digits) s.insert(0, size_t(digits) - s.size(), L'0');
    out_ += s;
  }
  // An undecodable date has month and weekday 0: no name.
  String MonthName(const String (&names)[12]) const { return month_ >= 1 && month_ <= 12 ? names[month_ - 1] : String(); }
  String DayName(const String (&names)[7]) const {
    return dayOfWeek_ >= 1 && dayOfWeek_ <= 7 ? names[dayOfWeek_ - 1] : String();
  }
  // An hour shows on the 12-hour clock when the next "a" outside quotes, before
  // any further hour, starts an AM/PM specifier.
  static bool TwelveHourClock(const String& f, size_t from) {
    Char quote = 0;
    for (size_t j = from; j < f.size(); ++j) {
      const Char c = f[j];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == L'\'' || c == L'"') {
        quote = c;
      } else if (c == L'a' || c == L'A') {
        return MatchesNoCase(f, j, L"AM/PM") || MatchesNoCase(f, j, L"A/P") || MatchesNoCase(f, j, L"AMPM");
      } else if (c == L'h' || c == L'H') {
        return false;
      }
    }
    return false;
  }
  // "am/pm" and "a/p" show their own letters, "ampm" the locale's texts;
  // any other "a" is a literal. Returns the characters used.
  size_t AmPm(const String& f, size_t i) {
    DecodeTimePart();
    const bool pm = hour_ >= 12;
    if (MatchesNoCase(f, i, L"AM/PM")) {
      out_.append(f, pm ? i + 3 : i, 2);
      return 5;
    }
    if (MatchesNoCase(f, i, L"A/P")) {
      out_ += f[pm ? i + 2 : i];
      return 3;
    }
    if (MatchesNoCase(f, i, L"AMPM")) {
      out_ += pm ? fs_.TimePMString : fs_.TimeAMString;
      return 4;
    }
    out_ += f[i];
    return 1;
  }

  TDateTime value_;
  const TFormatSettings& fs_;
  String out_;
  int level_ = 0;
  bool dateDone_ = false, timeDone_ = false;
  Word year_ = 0, month_ = 0, day_ = 0, dayOfWeek_ = 0;
  Word hour_ = 0, min_ = 0, sec_ = 0, msec_ = 0;
};

}  // namespace

String FormatDateTime(const String& format, TDateTime value) { return FormatDateTime(format, value, FormatSettings()); }

String FormatDateTime(const String& format, TDateTime value, const TFormatSettings& settings) {
  TDateTimeWriter w(value, settings);
  w.Append(format.empty() ? String(L"c") : format);
  return w.Result();
}

String DateToStr(TDateTime value) { return FormatDateTime(L"ddddd", value); }
String DateToStr(TDateTime value, const TFormatSettings& settings) { return FormatDateTime(L"ddddd", value, settings); }
String TimeToStr(TDateTime value) { return FormatDateTime(L"tt", value); }
String TimeToStr(TDateTime value, const TFormatSettings& settings) { return FormatDateTime(L"tt", value, settings); }
String DateTimeToStr(TDateTime value) { return FormatDateTime(L"c", value); }
String DateTimeToStr(TDateTime value, const TFormatSettings& settings) { return FormatDateTime(L"c", value, settings); }

// ---------------------------------------------------------------------------
// Text to date and time
// ---------------------------------------------------------------------------

namespace {

enum TDateOrder { doMDY, doDMY, doYMD };

// The order of the first of year, month and day in a date format.
TDateOrder DateOrderOf(const String& format) {
  for (Char c : format) {
    switch (c & ~0x20) {
      case L'E':
      case L'Y': return doYMD;
      case L'M': return doMDY;
      case L'D': return doDMY;
    }
  }
  return doMDY;
}

class TDateScanner {
 public:
  TDateScanner(const String& s, const TFormatSettings& fs) : s_(s), fs_(fs) {}

  bool AtEnd() const { return pos_ >= s_.size(); }

  bool ScanDate(TDateTime& date) {
    int n1, l1, n2, l2, n3, l3;
    if (!ScanNumber(n1, l1) || !ScanChar(fs_.DateSeparator) || !ScanNumber(n2, l2)) return false;
    const TDateOrder order = DateOrderOf(fs_.ShortDateFormat);
    int year, month, day;
    if (ScanChar(fs_.DateSeparator)) {
      if (!ScanNumber(n3, l3)) return false;
      int yearDigits = l3;
      switch (order) {
        case doMDY: year = n3, month = n1, day = n2; break;
        case doDMY: year = n3, month = n2, day = n1; break;
        default: year = n1, yearDigits = l1, month = n2, day = n3; break;
      }
      if (yearDigits <= 2) {
        const int window = fs_.TwoDigitYearCenturyWindow;
        const int centuryBase = CurrentYear() - window;
        year += centuryBase / 100 * 100;
        if (window > 0 && year < centuryBase) year += 100;
      }
    } else {
      year = CurrentYear();
      if (order == doDMY)
        day = n1, month = n2;
      else
        month = n1, day = n2;
    }
    ScanChar(fs_.DateSeparator);   // a trailing separator is allowed
    ScanBlanks();
    return TryEncodeDate(year, month, day, date);
  }

  bool ScanTime(TDateTime& time) {
    int baseHour = ScanAmPm();
    int hour, min = 0, sec = 0, msec = 0, digits;
    if (!ScanNumber(hour, digits)) return false;
    if (ScanChar(fs_.TimeSeparator)) {
      if (!ScanNumber(min, digits)) return false;
      if (ScanChar(fs_.TimeSeparator)) {
        if (!ScanNumber(sec, digits)) return false;
        // The digits after the decimal separator count milliseconds.
        if (ScanChar(fs_.DecimalSeparator) && !ScanNumber(msec, digits)) return false;
      }
    }
    if (baseHour < 0) baseHour = ScanAmPm();
    if (baseHour >= 0) {
      if (hour == 0 || hour > 12) return false;
      if (hour == 12) hour = 0;
      hour += baseHour;
    }
    ScanBlanks();
    return TryEncodeTime(hour, min, sec, msec, time);
  }

 private:
  void ScanBlanks() {
    while (pos_ < s_.size() && s_[pos_] == L' ') ++pos_;
  }
  // Up to four digits (the value stops growing past 999).
  bool ScanNumber(int& value, int& digits) {
    ScanBlanks();
    size_t i = pos_;
    int v = 0;
    while (i < s_.size() && s_[i] >= L'0' && s_[i] <= L'9' && v < 1000) v = v * 10 + (s_[i++] - L'0');
    if (i == pos_) return false;
    digits = int(i - pos_);
    pos_ = i;
    value = v;
    return true;
  }
  bool ScanChar(Char c) {
    ScanBlanks();
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool ScanSymbol(const String& symbol) {
    ScanBlanks();
    if (symbol.empty() || s_.size() - pos_ < symbol.size()) return false;
    if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, s_.data() + pos_, int(symbol.size()), symbol.data(),
                       int(symbol.size())) != CSTR_EQUAL)
      return false;
    pos_ += symbol.size();
    return true;
  }
  // 0 for a morning text, 12 for an afternoon one, -1 for none.
  int ScanAmPm() {
    if (ScanSymbol(fs_.TimeAMString) || ScanSymbol(L"AM")) return 0;
    if (ScanSymbol(fs_.TimePMString) || ScanSymbol(L"PM")) return 12;
    return -1;
  }
  static int CurrentYear() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return st.wYear;
  }

  const String& s_;
  const TFormatSettings& fs_;
  size_t pos_ = 0;
};

}  // namespace

bool TryStrToDate(const String& s, TDateTime& value) { return TryStrToDate(s, value, FormatSettings()); }
bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& settings) {
  TDateScanner scanner(s, settings);
  TDateTime v;
  if (!scanner.ScanDate(v) || !scanner.AtEnd()) return false;
  value = v;
  return true;
}

bool TryStrToTime(const String& s, TDateTime& value) { return TryStrToTime(s, value, FormatSettings()); }
bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& settings) {
  TDateScanner scanner(s, settings);
  TDateTime v;
  if (!scanner.ScanTime(v) || !scanner.AtEnd()) return false;
  value = v;
  return true;
}

bool TryStrToDateTime(const String& s, TDateTime& value) { return TryStrToDateTime(s, value, FormatSettings()); }
bool TryStrToDateTime(const String& s, TDateTime& value, const TFormatSettings& settings) {
  TDateScanner scanner(s, settings);
  TDateTime date, time = 0;
  // Text after the time is not ignored: "1/2/2003 10:00 x" is no date.
  if (scanner.ScanDate(date) && (scanner.AtEnd() || (scanner.ScanTime(time) && scanner.AtEnd()))) {
    value = Compose(date, time);
    return true;
  }
  return TryStrToTime(s, value, settings);
}

namespace {
[[noreturn]] void DateError(const Char* what, const String& s) {
  throw EConvertError(L"'" + s + L"' is not a valid " + what);
}
}  // namespace

TDateTime StrToDate(const String& s) { return StrToDate(s, FormatSettings()); }
TDateTime StrToDate(const String& s, const TFormatSettings& settings) {
  TDateTime v;
  if (!TryStrToDate(s, v, settings)) DateError(L"date", s);
  return v;
}

TDateTime StrToTime(const String& s) { return StrToTime(s, FormatSettings()); }
TDateTime StrToTime(const String& s, const TFormatSettings& settings) {
  TDateTime v;
  if (!TryStrToTime(s, v, settings)) DateError(L"time", s);
  return v;
}

TDateTime StrToDateTime(const String& s) { return StrToDateTime(s, FormatSettings()); }
TDateTime StrToDateTime(const String& s, const TFormatSettings& settings) {
  TDateTime v;
  if (!TryStrToDateTime(s, v, settings)) DateError(L"date and time", s);
  return v;
}
