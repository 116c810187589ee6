// Number text: Currency arithmetic, floating-point and currency formatting
// (FloatToStrF, FormatFloat pictures), text to number, and Format.
#include "platform/WinApi.h"
#include "platform/core/SysUtils.h"
#include "platform/core/SysUtilsInternal.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------
// Currency
// ---------------------------------------------------------------------------

namespace {

constexpr long double kTwo63 = 9223372036854775808.0L;

Int64 RoundedRaw(long double scaled) {
  const long double r = std::nearbyintl(scaled);   // halves to even
  if (!(r >= -kTwo63 && r < kTwo63)) throw EInvalidOp(L"Invalid floating point operation");
  return static_cast<Int64>(r);
}

}  // namespace

Currency::Currency(double v) : Value(RoundedRaw(static_cast<long double>(v) * 10000.0L)) {}

Currency& Currency::operator*=(Currency o) {
  Value = RoundedRaw(static_cast<long double>(Value) * static_cast<long double>(o.Value) / 10000.0L);
  return *this;
}

Currency& Currency::operator/=(Currency o) {
  if (o.Value == 0) throw EZeroDivide(L"Floating point division by zero");
  Value = RoundedRaw(static_cast<long double>(Value) * 10000.0L / static_cast<long double>(o.Value));
  return *this;
}

TVarRec::TVarRec(const Char* v) : VType(vtUnicodeString), VString{v ? v : L"", v ? std::wcslen(v) : 0} {}

// ---------------------------------------------------------------------------
// Decimal digits of a number
// ---------------------------------------------------------------------------

namespace {

// A number to format: a double, or a Currency taken exactly.
struct TNumber {
  bool IsCurrency = false;
  double Float = 0;
  Int64 Raw = 0;

  static TNumber Of(double v) { return TNumber{false, v, 0}; }
  static TNumber Of(Currency c) { return TNumber{true, 0, c.Value}; }
  bool IsNegative() const { return IsCurrency ? Raw < 0 : Float < 0; }
  bool IsZero() const { return IsCurrency ? Raw == 0 : Float == 0; }
  bool IsSpecial() const { return !IsCurrency && !std::isfinite(Float); }
  // The most significant digits a conversion can give.
  int MaxPrecision() const { return IsCurrency ? 19 : 18; }
};

// |value| = 0.Digits x 10^Exponent; no trailing zeros in Digits; zero has
// no digits.
struct TDecimal {
  bool Negative = false;
  int Exponent = 0;
  std::string Digits;
  bool Zero() const { return Digits.empty(); }
};

void StripTrailingZeros(TDecimal& d) {
  while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
  if (d.Digits.empty()) d.Exponent = 0;
}

TDecimal RawDecimal(const TNumber& n) {
  TDecimal d;
  if (n.IsCurrency) {
    d.Negative = n.Raw < 0;
    UInt64 v = d.Negative ? 0 - UInt64(n.Raw) : UInt64(n.Raw);
    while (v) {
      d.Digits.insert(d.Digits.begin(), char('0' + v % 10));
      v /= 10;
    }
    d.Exponent = int(d.Digits.size()) - 4;
  } else {
    d.Negative = std::signbit(n.Float);
    if (n.Float == 0) return d;
    // 40 significant digits, correctly rounded: far more than a double
    // holds, so rounding them once more below is rounding the exact value
    // for every practical purpose.
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(n.Float), std::chars_format::scientific, 39);
    const std::string text(buffer, r.ptr);
    const size_t e = text.find('e');
    d.Digits = text.substr(0, 1) + text.substr(2, e - 2);
    d.Exponent = std::atoi(text.c_str() + e + 1) + 1;
  }
  StripTrailingZeros(d);
  return d;
}

// Keeps `keep` significant digits, rounding half away from zero.
void RoundDigits(TDecimal& d, int keep) {
  if (d.Zero() || keep >= int(d.Digits.size())) return;
  if (keep < 0) {
    d.Digits.clear();
    d.Exponent = 0;
    return;
  }
  const bool up = d.Digits[size_t(keep)] >= '5';
  d.Digits.resize(size_t(keep));
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.Digits[size_t(i)] == '9') d.Digits[size_t(i--)] = '0';
    if (i >= 0) {
      ++d.Digits[size_t(i)];
    } else {
      d.Digits.insert(d.Digits.begin(), '1');
      ++d.Exponent;
    }
  }
  StripTrailingZeros(d);
}

// At most `precision` significant digits and at most `decimals` digits after
// the decimal point.
TDecimal ToDecimal(const TNumber& n, int precision, int decimals) {
  TDecimal d = RawDecimal(n);
  if (d.Zero()) return d;
  const Int64 byDecimals = Int64(d.Exponent) + decimals;
  RoundDigits(d, int(byDecimals < precision ? byDecimals : precision));
  return d;
}

char DigitAt(const TDecimal& d, int index) {
  return index >= 0 && index < int(d.Digits.size()) ? d.Digits[size_t(index)] : '0';
}


String SpecialText(const TNumber& n) {
  if (std::isnan(n.Float)) return L"NAN";
  return n.Float < 0 ? L"-INF" : L"INF";
}

String ExponentText(int exponent, bool alwaysSign, int minDigits) {
  String r;
  if (exponent < 0)
    r += L'-';
  else if (alwaysSign)
    r += L'+';
  String digits = IntToStr(exponent < 0 ? -exponent : exponent);
  while (int(digits.size()) < minDigits) digits.insert(digits.begin(), L'0');
  return r + digits;
}

String ApplyCurrencyFormat(const String& amount, bool negative, const TFormatSettings& fs) {
  const String& c = fs.CurrencyString;
  if (!negative) {
    switch (fs.CurrencyFormat) {
      case 1: return amount + c;
      case 2: return c + L' ' + amount;
      case 3: return amount + L' ' + c;
      default: return c + amount;
    }
  }
  switch (fs.NegCurrFormat) {
    case 1: return L"-" + c + amount;
    case 2: return c + L"-" + amount;
    case 3: return c + amount + L"-";
    case 4: return L"(" + amount + c + L")";
    case 5: return L"-" + amount + c;
    case 6: return amount + L"-" + c;
    case 7: return amount + c + L"-";
    case 8: return L"-" + amount + L" " + c;
    case 9: return L"-" + c + L" " + amount;
    case 10: return amount + L" " + c + L"-";
    case 11: return c + L" " + amount + L"-";
    case 12: return c + L" -" + amount;
    case 13: return amount + L"- " + c;
    case 14: return L"(" + c + L" " + amount + L")";
    case 15: return L"(" + amount + L" " + c + L")";
    default: return L"(" + c + amount + L")";
  }
}

int ClampInt(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

String FloatToText(const TNumber& n, TFloatFormat format, int precision, int digits, const TFormatSettings& fs) {
  if (n.IsSpecial()) return SpecialText(n);
  precision = ClampInt(precision, 1, n.MaxPrecision());
  switch (format) {
    case ffExponent: {
      const TDecimal d = ToDecimal(n, precision, INT_MAX / 2);
      String r = d.Negative && !d.Zero() ? L"-" : L"";
      r += Char(DigitAt(d, 0));
      if (precision > 1) {
        r += fs.DecimalSeparator;
        for (int i = 1; i < precision; ++i) r += Char(DigitAt(d, i));
      }
      return r + L'E' + ExponentText(d.Zero() ? 0 : d.Exponent - 1, true, ClampInt(digits, 0, 4));
    }
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
      digits = ClampInt(digits, 0, 18);
      const TDecimal d = ToDecimal(n, precision, digits);
      // Too many integer digits for the precision: scientific notation.
      if (d.Exponent > precision) return FloatToText(n, ffGeneral, precision, 0, fs);
      std::string whole;
      for (int i = 0; i < d.Exponent; ++i) whole += DigitAt(d, i);
      if (whole.empty()) whole = "0";
      String r = format == ffFixed ? WidenDigits(whole) : GroupDigits(whole, fs.ThousandSeparator);
      if (digits > 0) {
        r += fs.DecimalSeparator;
        for (int i = 0; i < digits; ++i) r += Char(DigitAt(d, d.Exponent + i));
      }
      const bool negative = d.Negative && !d.Zero();
      if (format == ffCurrency) return ApplyCurrencyFormat(r, negative, fs);
      return negative ? L"-" + r : r;
    }
    default: {   // ffGeneral
      const TDecimal d = ToDecimal(n, precision, INT_MAX / 2);
      if (d.Zero()) return L"0";
      String r = d.Negative ? L"-" : L"";
      const int count = int(d.Digits.size());
      if (d.Exponent > precision || d.Exponent < -4) {
        r += Char(d.Digits[0]);
        if (count > 1) r += fs.DecimalSeparator + WidenDigits(d.Digits.substr(1));
        return r + L'E' + ExponentText(d.Exponent - 1, false, ClampInt(digits, 0, 4));
      }
      if (d.Exponent <= 0) {
        r += L'0';
        r += fs.DecimalSeparator;
        r.append(size_t(-d.Exponent), L'0');
        return r + WidenDigits(d.Digits);
      }
      for (int i = 0; i < d.Exponent; ++i) r += Char(DigitAt(d, i));
      if (count > d.Exponent) r += fs.DecimalSeparator + WidenDigits(d.Digits.substr(size_t(d.Exponent)));
      return r;
    }
  }
}

// ---------------------------------------------------------------------------
// Picture formats
// ---------------------------------------------------------------------------

// The sections of a picture, split at ";" outside quotes.
std::vector<String> SplitSections(const String& format) {
  std::vector<String> sections(1);
  Char quote = 0;
  for (Char c : format) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == L'"' || c == L'\'') {
      quote = c;
    } else if (c == L';') {
      sections.emplace_back();
      continue;
    }
    sections.back() += c;
  }
  return sections;
}

bool IsExponentAt(const String& s, size_t i) {
  return (s[i] == L'E' || s[i] == L'e') && i + 1 < s.size() && (s[i + 1] == L'+' || s[i + 1] == L'-');
}

struct TPicture {
  int IntPlaces = 0;       // "0" and "#" before the decimal point
  int FracPlaces = 0;      // after it
  int MinInt = 0;          // integer digits always shown (from the first "0")
  int MinFrac = 0;         // fraction digits always shown (to the last "0")
  bool Thousands = false;
  bool Scientific = false;
};

TPicture AnalysePicture(const String& s) {
  TPicture p;
  int firstIntZero = -1;
  bool beforePoint = true;
  for (size_t i = 0; i < s.size(); ++i) {
    const Char c = s[i];
    if (c == L'"' || c == L'\'') {
      const size_t end = s.find(c, i + 1);
      i = end == String::npos ? s.size() : end;
    } else if (c == L'0' || c == L'#') {
      if (beforePoint) {
        if (c == L'0' && firstIntZero < 0) firstIntZero = p.IntPlaces;
        ++p.IntPlaces;
      } else {
        ++p.FracPlaces;
        if (c == L'0') p.MinFrac = p.FracPlaces;
      }
    } else if (c == L'.') {
      beforePoint = false;
    } else if (c == L',') {
      p.Thousands = true;
    } else if (!p.Scientific && IsExponentAt(s, i)) {
      p.Scientific = true;
      // The exponent's own zeros are not digit places of the mantissa.
      i += 2;
      while (i < s.size() && s[i] == L'0') ++i;
      --i;
    }
  }
  p.MinInt = firstIntZero < 0 ? 0 : p.IntPlaces - firstIntZero;
  return p;
}

// Formats |n| with one section; false when the value rounds to zero under it
// although it is not zero.
bool FormatSection(const String& s, const TNumber& n, bool withMinus, const TFormatSettings& fs, String& out) {
  const TPicture p = AnalysePicture(s);
  std::string whole, fraction;
  int exponent = 0;
  const int maxPrecision = n.IsCurrency ? 19 : 15;
  if (p.Scientific) {
    int precision = ClampInt(p.IntPlaces + p.FracPlaces, 1, maxPrecision);
    const TDecimal d = ToDecimal(n, precision, INT_MAX / 2);
    exponent = d.Zero() ? 0 : d.Exponent - p.IntPlaces;
    for (int i = 0; i < p.IntPlaces; ++i) whole += DigitAt(d, i);
    for (int i = 0; i < p.FracPlaces; ++i) fraction += DigitAt(d, p.IntPlaces + i);
    while (int(whole.size()) > p.MinInt && !whole.empty() && whole[0] == '0') whole.erase(0, 1);
  } else {
    const TDecimal d = ToDecimal(n, maxPrecision, p.FracPlaces);
    if (d.Zero() && !n.IsZero()) return false;
    for (int i = 0; i < d.Exponent; ++i) whole += DigitAt(d, i);
    if (int(whole.size()) < p.MinInt) whole.insert(0, size_t(p.MinInt - int(whole.size())), '0');
    for (int i = 0; i < p.FracPlaces; ++i) fraction += DigitAt(d, d.Exponent + i);
  }
  while (int(fraction.size()) > p.MinFrac && fraction.back() == '0') fraction.pop_back();

  const Char separator = p.Thousands ? fs.ThousandSeparator : Char(0);
  const int len = int(whole.size());
  auto emitDigit = [&](int j) {
    out += Char(whole[size_t(j)]);
    const int left = len - 1 - j;
    if (separator && left > 0 && left % 3 == 0) out += separator;
  };
  auto emitAllWhole = [&] {
    for (int j = 0; j < len; ++j) emitDigit(j);
  };

  out.clear();
  if (withMinus) out += L'-';
  int intIndex = 0, fracIndex = 0;
  bool beforePoint = true, exponentDone = false;
  for (size_t i = 0; i < s.size(); ++i) {
    const Char c = s[i];
    if (c == L'"' || c == L'\'') {
      const size_t end = s.find(c, i + 1);
      out.append(s, i + 1, (end == String::npos ? s.size() : end) - i - 1);
      i = end == String::npos ? s.size() : end;
    } else if (c == L'0' || c == L'#') {
      if (beforePoint) {
        if (intIndex == 0)
          for (int j = 0; j < len - p.IntPlaces; ++j) emitDigit(j);
        const int j = len - p.IntPlaces + intIndex;
        if (j >= 0) emitDigit(j);
        ++intIndex;
      } else if (fracIndex < int(fraction.size())) {
        out += Char(fraction[size_t(fracIndex++)]);
      }
    } else if (c == L'.') {
      if (beforePoint) {
        beforePoint = false;
        if (p.IntPlaces == 0) emitAllWhole();
        if (!fraction.empty()) out += fs.DecimalSeparator;
      }
    } else if (c == L',') {
      // Only asks for separators.
    } else if (!exponentDone && IsExponentAt(s, i)) {
      exponentDone = true;
      int zeros = 0;
      size_t k = i + 2;
      while (k < s.size() && s[k] == L'0') ++k, ++zeros;
      out += c;
      out += ExponentText(exponent, s[i + 1] == L'+', zeros > 4 ? 4 : zeros);
      i = k - 1;
    } else {
      out += c;
    }
  }
  return true;
}

String FormatPicture(const String& format, const TNumber& n, const TFormatSettings& fs) {
  if (n.IsSpecial()) return SpecialText(n);
  const std::vector<String> sections = SplitSections(format);
  auto section = [&](size_t i) { return i < sections.size() ? sections[i] : String(); };
  auto general = [&](const TNumber& v) {
    return FloatToText(v, ffGeneral, v.IsCurrency ? 19 : 15, 0, fs);
  };
  size_t index = 0;
  if (n.IsZero() && !section(2).empty())
    index = 2;
  else if (n.IsNegative() && !section(1).empty())
    index = 1;
  if (section(index).empty()) return general(n);

  String out;
  if (FormatSection(section(index), n, n.IsNegative() && index == 0, fs, out)) return out;
  // Rounded away to nothing: shown as zero, without a sign.
  const TNumber zero = n.IsCurrency ? TNumber::Of(Currency()) : TNumber::Of(0.0);
  const String zeroSection = !section(2).empty() ? section(2) : section(0);
  if (zeroSection.empty()) return general(zero);
  FormatSection(zeroSection, zero, false, fs, out);
  return out;
}

// ---------------------------------------------------------------------------
// Text to number
// ---------------------------------------------------------------------------

// The platform's number syntax: blanks, sign, digits with at most one
// decimal separator, an optional exponent, blanks. Fills the digits (without
// the separator), the count of digits after the separator and the exponent.
struct TNumberText {
  bool Negative = false;
  std::string Digits;
  int FractionDigits = 0;
  long Exponent = 0;
};

bool ScanNumberText(const String& s, Char decimalSeparator, TNumberText& t) {
  size_t i = 0;
  const size_t n = s.size();
  while (i < n && s[i] == L' ') ++i;
  if (i < n && (s[i] == L'+' || s[i] == L'-')) t.Negative = s[i++] == L'-';
  bool point = false;
  for (; i < n; ++i) {
    if (s[i] >= L'0' && s[i] <= L'9') {
      t.Digits += char(s[i]);
      if (point) ++t.FractionDigits;
    } else if (s[i] == decimalSeparator && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (t.Digits.empty()) return false;
  if (i < n && (s[i] == L'E' || s[i] == L'e')) {
    ++i;
    bool negative = false;
    if (i < n && (s[i] == L'+' || s[i] == L'-')) negative = s[i++] == L'-';
    if (i >= n || s[i] < L'0' || s[i] > L'9') return false;
    long e = 0;
    for (; i < n && s[i] >= L'0' && s[i] <= L'9'; ++i)
      if (e < 100000) e = e * 10 + (s[i] - L'0');
    t.Exponent = negative ? -e : e;
  }
  while (i < n && s[i] == L' ') ++i;
  return i == n;
}

bool TextToDouble(const String& s, double& value, const TFormatSettings& fs) {
  TNumberText t;
  if (!ScanNumberText(s, fs.DecimalSeparator, t)) return false;
  const std::string text = (t.Negative ? "-" : "") + t.Digits + "e" + std::to_string(t.Exponent - t.FractionDigits);
  double v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (r.ec == std::errc::result_out_of_range) {
    // Too small is zero; too large is not a number we can hold.
    v = std::strtod(text.c_str(), nullptr);
    if (std::isinf(v)) return false;
  } else if (r.ec != std::errc()) {
    return false;
  }
  value = v;
  return true;
}

// The exact amount in ten-thousandths, halves to even.
bool TextToCurrency(const String& s, Currency& value, const TFormatSettings& fs) {
  TNumberText t;
  if (!ScanNumberText(s, fs.DecimalSeparator, t)) return false;
  std::string digits = t.Digits;
  size_t lead = 0;
  while (lead < digits.size() && digits[lead] == '0') ++lead;
  digits.erase(0, lead);
  const long shift = t.Exponent - t.FractionDigits + 4;   // value = digits x 10^shift ten-thousandths
  const UInt64 limit = t.Negative ? UInt64(1) << 63 : (UInt64(1) << 63) - 1;
  UInt64 units = 0;
  auto push = [&](int d) {
    if (units > (limit - UInt64(d)) / 10) return false;
    units = units * 10 + UInt64(d);
    return true;
  };
  long keep = long(digits.size()) + (shift < 0 ? shift : 0);
  if (keep < 0) keep = 0;
  for (long i = 0; i < keep; ++i)
    if (!push(digits[size_t(i)] - '0')) return false;
  if (shift > 0) {
    if (!digits.empty())
      for (long i = 0; i < shift; ++i)
        if (!push(0)) return false;
  } else if (size_t(keep) < digits.size()) {
    // Dropped digits: round half to even.
    const char first = digits[size_t(keep)];
    bool rest = false;
    for (size_t i = size_t(keep) + 1; i < digits.size(); ++i) rest = rest || digits[i] != '0';
    if (first > '5' || (first == '5' && (rest || (units & 1)))) {
      if (units == limit) return false;
      ++units;
    }
  }
  value = Currency::FromRaw(t.Negative ? Int64(0 - units) : Int64(units));
  return true;
}

[[noreturn]] void ConvertError(const Char* what, const String& s) {
  throw EConvertError(L"'" + s + L"' is not a valid " + what);
}

}  // namespace

// ---------------------------------------------------------------------------
// Public conversions
// ---------------------------------------------------------------------------

String FloatToStr(double value) { return FloatToStr(value, FormatSettings()); }
String FloatToStr(double value, const TFormatSettings& settings) {
  return FloatToText(TNumber::Of(value), ffGeneral, 15, 0, settings);
}

String FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
  return FloatToStrF(value, format, precision, digits, FormatSettings());
}
String FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings) {
  return FloatToText(TNumber::Of(value), format, precision, digits, settings);
}

String FormatFloat(const String& format, double value) { return FormatFloat(format, value, FormatSettings()); }
String FormatFloat(const String& format, double value, const TFormatSettings& settings) {
  return FormatPicture(format, TNumber::Of(value), settings);
}

bool TryStrToFloat(const String& s, double& value) { return TryStrToFloat(s, value, FormatSettings()); }
bool TryStrToFloat(const String& s, double& value, const TFormatSettings& settings) {
  return TextToDouble(s, value, settings);
}

double StrToFloat(const String& s) { return StrToFloat(s, FormatSettings()); }
double StrToFloat(const String& s, const TFormatSettings& settings) {
  double v;
  if (!TextToDouble(s, v, settings)) ConvertError(L"floating point value", s);
  return v;
}

double StrToFloatDef(const String& s, double def) { return StrToFloatDef(s, def, FormatSettings()); }
double StrToFloatDef(const String& s, double def, const TFormatSettings& settings) {
  double v;
  return TextToDouble(s, v, settings) ? v : def;
}

String CurrToStr(Currency value) { return CurrToStr(value, FormatSettings()); }
String CurrToStr(Currency value, const TFormatSettings& settings) {
  return FloatToText(TNumber::Of(value), ffGeneral, 19, 0, settings);
}

String CurrToStrF(Currency value, TFloatFormat format, int digits) {
  return CurrToStrF(value, format, digits, FormatSettings());
}
String CurrToStrF(Currency value, TFloatFormat format, int digits, const TFormatSettings& settings) {
  return FloatToText(TNumber::Of(value), format, 19, digits, settings);
}

String FormatCurr(const String& format, Currency value) { return FormatCurr(format, value, FormatSettings()); }
String FormatCurr(const String& format, Currency value, const TFormatSettings& settings) {
  return FormatPicture(format, TNumber::Of(value), settings);
}

bool TryStrToCurr(const String& s, Currency& value) { return TryStrToCurr(s, value, FormatSettings()); }
bool TryStrToCurr(const String& s, Currency& value, const TFormatSettings& settings) {
  return TextToCurrency(s, value, settings);
}

Currency StrToCurr(const String& s) { return StrToCurr(s, FormatSettings()); }
Currency StrToCurr(const String& s, const TFormatSettings& settings) {
  Currency c;
  if (!TextToCurrency(s, c, settings)) ConvertError(L"floating point value", s);
  return c;
}

Currency StrToCurrDef(const String& s, Currency def) { return StrToCurrDef(s, def, FormatSettings()); }
Currency StrToCurrDef(const String& s, Currency def, const TFormatSettings& settings) {
  Currency c;
  return TextToCurrency(s, c, settings) ? c : def;
}

Currency FloatToCurr(double value) {
  if (!(value >= -922337203685477.5807 && value <= 922337203685477.5807))
    throw EConvertError(L"'" + FloatToStr(value) + L"' is not a valid floating point value");
  return Currency(value);
}

// ---------------------------------------------------------------------------
// Format
// ---------------------------------------------------------------------------

String Format(const String& format, std::initializer_list<TVarRec> args) {
  return Format(format, args.begin(), int(args.size()), FormatSettings());
}

String Format(const String& format, std::initializer_list<TVarRec> args, const TFormatSettings& settings) {
  return Format(format, args.begin(), int(args.size()), settings);
}

namespace {
[[noreturn]] void FormatError(const String& format) {
  throw EConvertError(L"Format '" + format + L"' invalid or incompatible with argument");
}
}  // namespace

String Format(const String& format, const TVarRec* args, int count, const TFormatSettings& settings) {
  int next = 0;
  auto take = [&]() -> const TVarRec& {
    if (next < 0 || next >= count) throw EConvertError(L"No argument for format '" + format + L"'");
    return args[next++];
  };
  const size_t n = format.size();
  // A number, or "*" for an integer argument; nothing when neither is there.
  auto number = [&](size_t& i) -> std::optional<int> {
    if (i < n && format[i] == L'*') {
      ++i;
      const TVarRec& a = take();
      if (a.VType != vtInteger) FormatError(format);
      return a.VInteger;
    }
    if (i >= n || format[i] < L'0' || format[i] > L'9') return std::nullopt;
    int v = 0;
    for (; i < n && format[i] >= L'0' && format[i] <= L'9'; ++i)
      if (v < 100000000) v = v * 10 + (format[i] - L'0');
    return v;
  };

  String out;
  for (size_t i = 0; i < n;) {
    if (format[i] != L'%') {
      out += format[i++];
      continue;
    }
    ++i;
    if (i < n && format[i] == L'%') {
      out += L'%';
      ++i;
      continue;
    }
    bool left = false;
    std::optional<int> first = number(i);
    if (first && i < n && format[i] == L':') {
      next = *first;
      ++i;
      first.reset();
    }
    if (!first && i < n && format[i] == L'-') {
      left = true;
      ++i;
    }
    const std::optional<int> widthValue = first ? first : number(i);
    int width = widthValue.value_or(0);
    if (width < 0) {   // a negative width from "*" justifies to the left
      left = true;
      width = -width;
    }
    int precision = -1;   // the directive's default
    if (i < n && format[i] == L'.') {
      ++i;
      precision = number(i).value_or(0);
      if (precision < 0) precision = -1;
    }
    if (i >= n) FormatError(format);
    const Char type = Char(format[i] >= L'a' && format[i] <= L'z' ? format[i] - 32 : format[i]);
    if (std::wstring_view(L"DUXEFGNMPS").find(type) == std::wstring_view::npos) FormatError(format);
    ++i;

    const TVarRec& a = take();
    String text;
    switch (type) {
      case L'D':
      case L'U':
      case L'X': {
        UInt64 magnitude;
        bool negative = false;
        if (a.VType == vtInteger) {
          if (type == L'D') {
            negative = a.VInteger < 0;
            magnitude = negative ? 0 - UInt64(Int64(a.VInteger)) : UInt64(a.VInteger);
          } else {
            magnitude = std::uint32_t(a.VInteger);
          }
        } else if (a.VType == vtInt64) {
          negative = type == L'D' && a.VInt64 < 0;
          magnitude = negative ? 0 - UInt64(a.VInt64) : UInt64(a.VInt64);
        } else {
          FormatError(format);
        }
        text = type == L'X' ? IntToHex(magnitude, 0) : UIntToStr(magnitude);
        if (precision > int(text.size())) text.insert(0, size_t(precision) - text.size(), L'0');
        if (negative) text.insert(text.begin(), L'-');
        break;
      }
      case L'E':
      case L'F':
      case L'G':
      case L'N':
      case L'M': {
        TNumber v;
        if (a.VType == vtExtended)
          v = TNumber::Of(a.VExtended);
        else if (a.VType == vtCurrency)
          v = TNumber::Of(Currency::FromRaw(a.VCurrency));
        else
          FormatError(format);
        switch (type) {
          case L'E': text = FloatToText(v, ffExponent, precision < 0 ? 15 : precision, 3, settings); break;
          case L'G': text = FloatToText(v, ffGeneral, precision < 0 ? 15 : precision, 3, settings); break;
          case L'F': text = FloatToText(v, ffFixed, 18, precision < 0 ? 2 : precision, settings); break;
          case L'N': text = FloatToText(v, ffNumber, 18, precision < 0 ? 2 : precision, settings); break;
          default:
            text = FloatToText(v, ffCurrency, 18, precision < 0 ? settings.CurrencyDecimals : precision, settings);
            break;
        }
        break;
      }
      case L'P':
        if (a.VType != vtPointer) FormatError(format);
        text = IntToHex(UInt64(reinterpret_cast<std::uintptr_t>(a.VPointer)), int(sizeof(void*) * 2));
        break;
      case L'S':
        if (a.VType == vtUnicodeString)
          text = String(a.Str());
        else if (a.VType == vtWideChar)
          text = String(1, a.VWideChar);
        else
          FormatError(format);
        if (precision >= 0 && size_t(precision) < text.size()) text.resize(size_t(precision));
        break;
      default:
        FormatError(format);
    }
    if (width > int(text.size())) {
      const String pad(size_t(width) - text.size(), L' ');
      text = left ? text + pad : pad + text;
    }
    out += text;
  }
  return out;
}

String WidenDigits(const std::string& digits) { return String(digits.begin(), digits.end()); }

String GroupDigits(const std::string& digits, Char separator) {
  String r;
  const size_t n = digits.size();
  for (size_t i = 0; i < n; ++i) {
    r += Char(digits[i]);
    const size_t left = n - 1 - i;
    if (separator && left > 0 && left % 3 == 0) r += separator;
  }
  return r;
}
