#include "platform/WinApi.h"
#include "platform/core/FMTBcd.h"
#include "platform/core/SysUtilsInternal.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <memory>
#include <string>

namespace {

// A decimal number: Digits x 10^-Places. Digits has no leading zeros (none
// at all for zero) and may be shorter than Places (0.05 is "5", 2 places).
struct Dec {
  bool Negative = false;
  std::string Digits;
  int Places = 0;

  bool Zero() const { return Digits.empty(); }
  int IntDigits() const { return int(Digits.size()) > Places ? int(Digits.size()) - Places : 0; }
};

[[noreturn]] void BadText(const String& s) { throw EBcdException(L"'" + s + L"' is not a valid BCD value"); }
[[noreturn]] void Overflow() { throw EBcdOverflowException(L"BCD overflow"); }
[[noreturn]] void Damaged() { throw EBcdException(L"Invalid BCD value"); }

void StripLeadingZeros(Dec& d) {
  size_t n = 0;
  while (n < d.Digits.size() && d.Digits[n] == '0') ++n;
  d.Digits.erase(0, n);
  if (d.Digits.empty()) d.Negative = false;
}

void StripTrailingZeros(Dec& d) {
  while (d.Places > 0 && !d.Digits.empty() && d.Digits.back() == '0') {
    d.Digits.pop_back();
    --d.Places;
  }
  if (d.Digits.empty()) d.Places = 0;
}

// Adds one unit of the last digit.
void Increment(std::string& digits) {
  int i = int(digits.size()) - 1;
  while (i >= 0 && digits[size_t(i)] == '9') digits[size_t(i--)] = '0';
  if (i >= 0)
    ++digits[size_t(i)];
  else
    digits.insert(digits.begin(), '1');
}

// Exactly `places` digits after the point: padded, or rounded half away
// from zero (cut off with `truncate`).
Dec RoundTo(const Dec& d, int places, bool truncate = false) {
  Dec r = d;
  if (r.Places <= places) {
    if (!r.Zero()) r.Digits.append(size_t(places - r.Places), '0');
    r.Places = places;
    return r;
  }
  const size_t drop = size_t(r.Places - places);
  const size_t len = r.Digits.size();
  const char first = drop > len ? '0' : r.Digits[len - drop];
  r.Digits = drop >= len ? std::string() : r.Digits.substr(0, len - drop);
  if (!truncate && first >= '5') Increment(r.Digits);
  r.Places = places;
  StripLeadingZeros(r);
  return r;
}

Dec Unpack(const TBcd& bcd) {
  Dec d;
  const int precision = bcd.Precision;
  const int places = bcd.SignSpecialPlaces & 0x3F;
  if (precision == 0) return d;
  if (precision > MaxFMTBcdFractionSize || places > precision) Damaged();
  d.Digits.reserve(size_t(precision));
  for (int i = 0; i < precision; ++i) {
    const Byte b = bcd.Fraction[i / 2];
    const int nibble = i % 2 == 0 ? b >> 4 : b & 0x0F;
    if (nibble > 9) Damaged();
    d.Digits += char('0' + nibble);
  }
  d.Places = places;
  d.Negative = (bcd.SignSpecialPlaces & 0x80) != 0;
  StripLeadingZeros(d);
  return d;
}

// `d` in exactly `precision` digits; it must fit.
TBcd Pack(const Dec& d, int precision) {
  TBcd bcd;
  const std::string digits = std::string(size_t(precision) - d.Digits.size(), '0') + d.Digits;
  for (int i = 0; i < precision; ++i) {
    const Byte nibble = Byte(digits[size_t(i)] - '0');
    bcd.Fraction[i / 2] |= Byte(i % 2 == 0 ? nibble << 4 : nibble);
  }
  bcd.Precision = Byte(precision);
  bcd.SignSpecialPlaces = Byte((d.Negative && !d.Zero() ? 0x80 : 0) | d.Places);
  return bcd;
}

// In as few digits as hold it; fraction digits beyond the record's room are
// rounded off.
TBcd PackMinimal(Dec d) {
  for (;;) {
    if (d.IntDigits() > MaxFMTBcdFractionSize) Overflow();
    const int room = MaxFMTBcdFractionSize - d.IntDigits();
    const int maxPlaces = room < 63 ? room : 63;
    if (d.Places <= maxPlaces) break;
    d = RoundTo(d, maxPlaces);  // a carry can take one more integer digit: check again
  }
  const int total = d.IntDigits() + d.Places;
  return Pack(d, total > 0 ? total : 1);
}

enum class Parsed { Ok, Bad, Overflow };

Parsed Parse(const String& text, Char separator, Dec& out) {
  size_t i = 0, n = text.size();
  while (i < n && (text[i] == L' ' || text[i] == L'\t')) ++i;
  while (n > i && (text[n - 1] == L' ' || text[n - 1] == L'\t')) --n;
  Dec d;
  if (i < n && (text[i] == L'+' || text[i] == L'-')) d.Negative = text[i++] == L'-';
  bool point = false;
  int fraction = 0;
  bool any = false;
  for (; i < n; ++i) {
    const Char c = text[i];
    if (c >= L'0' && c <= L'9') {
      any = true;
      if (d.Digits.empty() && c == L'0') {
        if (point) ++fraction;  // a leading zero after the point still counts as a place
        continue;
      }
      d.Digits += char(c);
      if (point) ++fraction;
      if (d.Digits.size() > 4096) return Parsed::Overflow;
    } else if (c == separator && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!any) return Parsed::Bad;
  long exponent = 0;
  if (i < n && (text[i] == L'E' || text[i] == L'e')) {
    ++i;
    bool negative = false;
    if (i < n && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    if (i >= n || text[i] < L'0' || text[i] > L'9') return Parsed::Bad;
    for (; i < n && text[i] >= L'0' && text[i] <= L'9'; ++i)
      if (exponent < 100000) exponent = exponent * 10 + (text[i] - L'0');
    if (negative) exponent = -exponent;
  }
  if (i != n) return Parsed::Bad;
  long places = long(fraction) - exponent;
  if (d.Digits.empty()) {
    d.Negative = false;
    places = places < 0 ? 0 : places > 63 ? 63 : places;
  } else if (places < 0) {
    if (long(d.Digits.size()) - places > MaxFMTBcdFractionSize) return Parsed::Overflow;
    d.Digits.append(size_t(-places), '0');
    places = 0;
  } else if (places > 4096) {
    // Far below the smallest place the record holds: rounds to zero.
    d.Digits.clear();
    d.Negative = false;
    places = 63;
  }
  d.Places = int(places);
  if (d.IntDigits() > MaxFMTBcdFractionSize) return Parsed::Overflow;
  out = d;
  return Parsed::Ok;
}

int CompareDec(const Dec& a, const Dec& b) {
  const int sa = a.Zero() ? 0 : a.Negative ? -1 : 1;
  const int sb = b.Zero() ? 0 : b.Negative ? -1 : 1;
  if (sa != sb) return sa < sb ? -1 : 1;
  if (sa == 0) return 0;
  const int places = a.Places > b.Places ? a.Places : b.Places;
  const std::string x = a.Digits + std::string(size_t(places - a.Places), '0');
  const std::string y = b.Digits + std::string(size_t(places - b.Places), '0');
  int c = x.size() != y.size() ? (x.size() < y.size() ? -1 : 1) : x.compare(y);
  c = c < 0 ? -1 : c > 0 ? 1 : 0;
  return sa < 0 ? -c : c;
}

// The digits before and after the point.
std::string WholePart(const Dec& d) {
  const int whole = d.IntDigits();
  return whole > 0 ? d.Digits.substr(0, size_t(whole)) : std::string("0");
}

std::string FractionPart(const Dec& d) {
  const size_t len = d.Digits.size(), places = size_t(d.Places);
  return places > len ? std::string(places - len, '0') + d.Digits : d.Digits.substr(len - places);
}


String General(const Dec& value, int precision, int digits, const TFormatSettings& fs) {
  Dec d = value;
  StripTrailingZeros(d);
  if (d.Zero()) return L"0";
  const String sign = d.Negative ? L"-" : L"";
  if (precision <= 0) {
    String r = sign + WidenDigits(WholePart(d));
    if (d.Places > 0) r += fs.DecimalSeparator + WidenDigits(FractionPart(d));
    return r;
  }
  // 0.Digits x 10^exponent, cut to `precision` significant digits.
  std::string sig = d.Digits;
  int exponent = int(d.Digits.size()) - d.Places;
  if (int(sig.size()) > precision) {
    const bool up = sig[size_t(precision)] >= '5';
    sig.resize(size_t(precision));
    if (up) {
      const size_t before = sig.size();
      Increment(sig);
      if (sig.size() > before) {
        sig.pop_back();
        ++exponent;
      }
    }
  }
  while (!sig.empty() && sig.back() == '0') sig.pop_back();
  const int count = int(sig.size());
  if (exponent > precision || exponent < -4) {
    String r = sign + Char(sig[0]);
    if (count > 1) r += fs.DecimalSeparator + WidenDigits(sig.substr(1));
    r += L'E';
    if (exponent - 1 < 0) r += L'-';
    String e = IntToStr(exponent - 1 < 0 ? 1 - exponent : exponent - 1);
    const int minDigits = digits < 0 ? 0 : digits > 4 ? 4 : digits;
    while (int(e.size()) < minDigits) e.insert(e.begin(), L'0');
    return r + e;
  }
  if (exponent <= 0) return sign + L"0" + fs.DecimalSeparator + String(size_t(-exponent), L'0') + WidenDigits(sig);
  String r = sign;
  for (int i = 0; i < exponent; ++i) r += i < count ? Char(sig[size_t(i)]) : L'0';
  if (count > exponent) r += fs.DecimalSeparator + WidenDigits(sig.substr(size_t(exponent)));
  return r;
}

// The whole number, when it fits 64 bits: signed, else (for positives) unsigned.
bool WholeNumber(const Dec& rounded, Int64& s, UInt64& u, bool& isUnsigned) {
  if (rounded.Digits.size() > 20) return false;
  UInt64 v = 0;
  for (char c : rounded.Digits) {
    const UInt64 digit = UInt64(c - '0');
    if (v > (UINT64_MAX - digit) / 10) return false;
    v = v * 10 + digit;
  }
  isUnsigned = false;
  if (rounded.Negative) {
    if (v > UInt64(1) << 63) return false;
    s = Int64(0 - v);
    return true;
  }
  if (v > UInt64(INT64_MAX)) {
    isUnsigned = true;
    u = v;
    return true;
  }
  s = Int64(v);
  return true;
}

Dec DecOfInteger(bool negative, UInt64 magnitude) {
  Dec d;
  d.Digits = std::to_string(magnitude);
  d.Negative = negative;
  StripLeadingZeros(d);
  return d;
}

Dec DecOfCurrency(Currency value) {
  const bool negative = value.Value < 0;
  Dec d = DecOfInteger(negative, negative ? 0 - UInt64(value.Value) : UInt64(value.Value));
  d.Places = 4;
  if (d.Zero()) d.Places = 0;
  return d;
}

// ---------------------------------------------------------------------------
// The variant type
// ---------------------------------------------------------------------------

struct TFMTBcdValue final : TCustomVarValue {
  TBcd Bcd;
  explicit TFMTBcdValue(const TBcd& bcd) : Bcd(bcd) {}
  std::unique_ptr<TCustomVarValue> Clone() const override { return std::make_unique<TFMTBcdValue>(Bcd); }
};

// The carrier's conversion to `to`, its errors naming the FMTBcd kind.
Variant Through(const Variant& carrier, TVarType from, TVarType to) {
  try {
    return VarAsType(carrier, to);
  } catch (EVariantOverflowError&) {
    VarOverflowError(from, to);
  } catch (EVariantTypeCastError&) {
    VarCastError(from, to);
  }
}

class TFMTBcdVariantType final : public TCustomVariantType {
 public:
  TFMTBcdVariantType() : TCustomVariantType(L"FMTBcd") {}

  Variant Create(const TBcd& bcd) const { return MakeVariant(std::make_unique<TFMTBcdValue>(bcd)); }
  static const TBcd& BcdOf(const Variant& v) { return static_cast<const TFMTBcdValue&>(ValueOf(v)).Bcd; }

  Variant CastTo(const Variant& source, TVarType type) const override {
    const TVarType self = VarType();
    try {
      const TBcd& bcd = BcdOf(source);
      switch (type) {
        case varOleStr: case varUString: case varString:
          return VarAsType(Variant(BcdToStr(bcd)), type);
        case varSingle: case varDouble: case varDate:
          return Through(Variant(BcdToDouble(bcd)), self, type);
        case varCurrency: {
          Currency c;
          if (!BCDToCurr(bcd, c)) VarOverflowError(self, type);
          return Variant(c);
        }
        case varBoolean: return Variant(!Unpack(bcd).Zero());
        case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
        case varLongWord: case varInt64: case varUInt64: {
          Int64 s = 0;
          UInt64 u = 0;
          bool isUnsigned = false;
          if (!WholeNumber(RoundTo(Unpack(bcd), 0), s, u, isUnsigned)) VarOverflowError(self, type);
          return Through(isUnsigned ? Variant(u) : Variant(s), self, type);
        }
        default: VarCastError(self, type);
      }
    } catch (EBcdException&) {
      VarCastError(self, type);
    }
  }

  Variant Cast(const Variant& source) const override {
    const TVarType self = VarType();
    const TVarType from = source.VType();
    try {
      switch (from) {
        case varEmpty: return Create(IntegerToBcd(0));
        case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
        case varLongWord: case varInt64: case varBoolean:
          return Create(IntegerToBcd(source.AsInt64()));
        case varUInt64: return Create(PackMinimal(DecOfInteger(false, source.AsUInt64())));
        case varCurrency: return Create(PackMinimal(DecOfCurrency(source.AsCurrency())));
        case varSingle: case varDouble: case varDate: return Create(DoubleToBcd(source.AsDouble()));
        case varOleStr: case varString: case varUString: {
          Dec d;
          switch (Parse(source.AsString(), FormatSettings().DecimalSeparator, d)) {
            case Parsed::Ok: return Create(PackMinimal(d));
            case Parsed::Bad: VarCastError(from, self);
            case Parsed::Overflow: VarOverflowError(from, self);
          }
          VarCastError(from, self);
        }
        default:
          // Another custom kind: through its number.
          if (VarIsCustom(source)) return Create(DoubleToBcd(Through(source, from, varDouble).AsDouble()));
          VarCastError(from, self);
      }
    } catch (EBcdOverflowException&) {
      VarOverflowError(from, self);
    } catch (EBcdException&) {
      VarCastError(from, self);
    }
  }

  TVariantRelationship Compare(const Variant& left, const Variant& right) const override {
    const TBcd a = BcdOf(left);
    const TBcd b = right.VType() == VarType() ? BcdOf(right) : BcdOf(Cast(right));
    const int c = BcdCompare(a, b);
    return c < 0 ? vrLessThan : c > 0 ? vrGreaterThan : vrEqual;
  }
};

const TFMTBcdVariantType& FMTBcdType() {
  static const TFMTBcdVariantType type;
  return type;
}

}  // namespace

Word BcdPrecision(const TBcd& bcd) { return bcd.Precision; }

Word BcdScale(const TBcd& bcd) { return Word(bcd.SignSpecialPlaces & 0x3F); }

bool IsBcdNegative(const TBcd& bcd) { return Unpack(bcd).Negative; }

TBcd StrToBcd(const String& s) { return StrToBcd(s, FormatSettings()); }

TBcd StrToBcd(const String& s, const TFormatSettings& settings) {
  Dec d;
  switch (Parse(s, settings.DecimalSeparator, d)) {
    case Parsed::Ok: break;
    case Parsed::Bad: BadText(s);
    case Parsed::Overflow: Overflow();
  }
  return PackMinimal(d);
}

bool TryStrToBcd(const String& s, TBcd& bcd) { return TryStrToBcd(s, bcd, FormatSettings()); }

bool TryStrToBcd(const String& s, TBcd& bcd, const TFormatSettings& settings) {
  Dec d;
  if (Parse(s, settings.DecimalSeparator, d) != Parsed::Ok) return false;
  bcd = PackMinimal(d);
  return true;
}

String BcdToStr(const TBcd& bcd) { return BcdToStr(bcd, FormatSettings()); }

String BcdToStr(const TBcd& bcd, const TFormatSettings& settings) {
  return General(Unpack(bcd), 0, 0, settings);
}

String BcdToStrF(const TBcd& bcd, TFloatFormat format, int precision, int digits) {
  return BcdToStrF(bcd, format, precision, digits, FormatSettings());
}

String BcdToStrF(const TBcd& bcd, TFloatFormat format, int precision, int digits, const TFormatSettings& settings) {
  const Dec d = Unpack(bcd);
  switch (format) {
    case ffFixed:
    case ffNumber: {
      digits = digits < 0 ? 0 : digits > MaxFMTBcdFractionSize ? MaxFMTBcdFractionSize : digits;
      const Dec r = RoundTo(d, digits);
      // Too many integer digits for the precision: exponent form.
      if (precision > 0 && r.IntDigits() > precision) return General(d, precision, 0, settings);
      const std::string whole = WholePart(r);
      String text = format == ffFixed ? WidenDigits(whole) : GroupDigits(whole, settings.ThousandSeparator);
      if (digits > 0) text += settings.DecimalSeparator + WidenDigits(FractionPart(r));
      return r.Negative && !r.Zero() ? L"-" + text : text;
    }
    case ffCurrency: {
      Currency c;
      if (BCDToCurr(bcd, c)) return CurrToStrF(c, ffCurrency, digits, settings);
      return FloatToStrF(BcdToDouble(bcd), ffCurrency, precision > 0 ? precision : 18, digits, settings);
    }
    case ffExponent:
      return FloatToStrF(BcdToDouble(bcd), ffExponent, precision > 0 ? precision : 18, digits, settings);
    default:
      return General(d, precision, digits, settings);
  }
}

double BcdToDouble(const TBcd& bcd) {
  const Dec d = Unpack(bcd);
  if (d.Zero()) return 0.0;
  const std::string text = (d.Negative ? "-" : "") + d.Digits + "e" + std::to_string(-d.Places);
  double v = 0;
  std::from_chars(text.data(), text.data() + text.size(), v);
  return v;
}

TBcd DoubleToBcd(double value) {
  if (std::isnan(value)) BadText(L"NAN");
  if (std::isinf(value)) Overflow();
  const TFormatSettings plain;  // "." as the separator, whatever the locale
  return StrToBcd(FloatToStrF(value, ffGeneral, 15, 0, plain), plain);
}

TBcd IntegerToBcd(Int64 value) {
  return PackMinimal(DecOfInteger(value < 0, value < 0 ? 0 - UInt64(value) : UInt64(value)));
}

Int64 BcdToInt64(const TBcd& bcd, bool truncate) {
  Int64 s = 0;
  UInt64 u = 0;
  bool isUnsigned = false;
  if (!WholeNumber(RoundTo(Unpack(bcd), 0, truncate), s, u, isUnsigned) || isUnsigned) Overflow();
  return s;
}

int BcdToInteger(const TBcd& bcd, bool truncate) {
  const Int64 v = BcdToInt64(bcd, truncate);
  if (v < INT_MIN || v > INT_MAX) Overflow();
  return int(v);
}

bool CurrToBCD(Currency value, TBcd& bcd, int precision, int decimals) {
  TBcd exact = PackMinimal(DecOfCurrency(value));
  return NormalizeBcd(exact, bcd, precision, decimals);
}

bool BCDToCurr(const TBcd& bcd, Currency& value) {
  Dec r = RoundTo(Unpack(bcd), 4);
  Int64 s = 0;
  UInt64 u = 0;
  bool isUnsigned = false;
  if (!WholeNumber(r, s, u, isUnsigned) || isUnsigned) return false;
  value = Currency::FromRaw(s);
  return true;
}

int BcdCompare(const TBcd& a, const TBcd& b) { return CompareDec(Unpack(a), Unpack(b)); }

bool NormalizeBcd(const TBcd& in, TBcd& out, int precision, int places) {
  if (precision < 1 || precision > MaxFMTBcdFractionSize || places < 0 || places > precision || places > 63)
    throw EBcdException(L"Invalid BCD precision " + IntToStr(precision) + L" or scale " + IntToStr(places));
  const Dec r = RoundTo(Unpack(in), places);
  if (r.IntDigits() > precision - places) return false;
  out = Pack(r, precision);
  return true;
}

TVarType VarFMTBcd() { return FMTBcdType().VarType(); }

Variant VarFMTBcdCreate(const String& value, Word precision, Word scale) {
  TBcd out;
  if (!NormalizeBcd(StrToBcd(value), out, precision, scale)) Overflow();
  return FMTBcdType().Create(out);
}

Variant VarFMTBcdCreate(double value, Word precision, Word scale) {
  TBcd out;
  if (!NormalizeBcd(DoubleToBcd(value), out, precision, scale)) Overflow();
  return FMTBcdType().Create(out);
}

Variant VarFMTBcdCreate(const TBcd& value) {
  Unpack(value);  // a damaged record is refused here, not when first used
  return FMTBcdType().Create(value);
}

bool VarIsFMTBcd(const Variant& v) { return VarIsType(v, VarFMTBcd()); }

TBcd VarToBcd(const Variant& v) {
  if (!VarIsFMTBcd(v)) return StrToBcd(VarToStr(v));
  Variant value;
  VarCopyNoInd(value, v);
  return TFMTBcdVariantType::BcdOf(value);
}

void FMTBcdInitialize() { FMTBcdType(); }
