#include "platform/WinApi.h"
#include "platform/core/Variants.h"

#include "platform/core/Exceptions.h"
#include "platform/core/SysUtils.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cwchar>
#include <iterator>
#include <memory>
#include <vector>

struct TVarArrayData {
  TVarType ElementType = varVariant;
  std::vector<std::pair<int, int>> Bounds;  // low and high bound per dimension
  std::vector<Variant> Items;
};

// Reaches the payload for the conversion routines, which the header keeps private.
struct VariantAccess {
  static TVarType Type(const Variant& v) { return v.vt_; }
  static Int64 I(const Variant& v) { return v.u_.i; }
  static UInt64 U(const Variant& v) { return v.u_.u; }
  static float F(const Variant& v) { return v.u_.f; }
  static double D(const Variant& v) { return v.u_.d; }
  static const String& S(const Variant& v) { return *v.u_.s; }
  static TVarArrayData& A(const Variant& v) { return *v.u_.a; }
  static Variant Make(TVarType vt, Int64 i) { return Variant(vt, i); }
  static Variant MakeDouble(TVarType vt, double d) {
    Variant r(d);
    r.vt_ = vt;
    return r;
  }
  static Variant MakeString(TVarType vt, String s) {
    Variant r(std::move(s));
    r.vt_ = vt;
    return r;
  }
  static Variant MakeArray(TVarArrayData* a) {
    Variant r;
    r.vt_ = TVarType(varArray | a->ElementType);
    r.u_.a = a;
    return r;
  }
};

using VA = VariantAccess;

namespace {

// Currency is kept as its raw 64-bit amount times 10,000.
constexpr Int64 kCurrScale = 10000;
constexpr Int64 kCurrMaxUnits = INT64_MAX / kCurrScale;  // whole units that fit
// Dates run from 1 January 100 to the end of 31 December 9999.
constexpr double kMinDate = MinDateTime;
constexpr double kMaxDate = 2958466.0;  // exclusive

[[noreturn]] void CastError(TVarType from, TVarType to) {
  throw EVariantTypeCastError(L"Could not convert variant of type (" + VarTypeAsText(from) +
                              L") into type (" + VarTypeAsText(to) + L")");
}

[[noreturn]] void OverflowError(TVarType from, TVarType to) {
  throw EVariantOverflowError(L"Overflow while converting variant of type (" + VarTypeAsText(from) +
                              L") into type (" + VarTypeAsText(to) + L")");
}

[[noreturn]] void BadIndexError() {
  throw EVariantBadIndexError(L"Variant or safe array index out of bounds");
}

[[noreturn]] void InvalidArgError() { throw EVariantInvalidArgError(L"Invalid argument"); }

bool IsIntegerType(TVarType t) {
  switch (t) {
    case varSmallint: case varInteger: case varShortInt: case varByte:
    case varWord: case varLongWord: case varInt64: case varUInt64:
      return true;
    default:
      return false;
  }
}

bool IsStringType(TVarType t) { return t == varOleStr || t == varString || t == varUString; }

// The platform rounds floats to integers half to even.
double RoundHalfEven(double d) {
  double f = std::floor(d);
  const double diff = d - f;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(f, 2.0) != 0.0)) f += 1.0;
  return f;
}

Int64 CurrRoundToUnits(Int64 raw) {
  Int64 q = raw / kCurrScale;
  const Int64 r = raw % kCurrScale;
  const Int64 ar = r < 0 ? -r : r;
  if (ar > kCurrScale / 2 || (ar == kCurrScale / 2 && (q & 1))) q += raw < 0 ? -1 : 1;
  return q;
}

String Trimmed(const String& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == L' ' || s[b] == L'\t')) ++b;
  while (e > b && (s[e - 1] == L' ' || s[e - 1] == L'\t')) --e;
  return s.substr(b, e - b);
}

// A number of any kind, kept exactly where it is an integer or a currency.
struct Number {
  enum Kind { Signed, Unsigned, Curr, Real } kind = Signed;
  Int64 i = 0;
  UInt64 u = 0;
  double d = 0;

  double AsReal() const {
    switch (kind) {
      case Signed: return double(i);
      case Unsigned: return double(u);
      case Curr: return double(i) / double(kCurrScale);
      case Real: break;
    }
    return d;
  }
};

Number SignedNumber(Int64 i) {
  Number n;
  n.i = i;
  return n;
}

Number RealNumber(double d) {
  Number n;
  n.kind = Number::Real;
  n.d = d;
  return n;
}

// A string read as a number: integer text exactly, else float text by the
// format settings. `to` names the target in the error.
Number ParseNumber(const Variant& v, TVarType to) {
  const String s = Trimmed(VA::S(v));
  Int64 i = 0;
  if (TryStrToInt64(s, i)) return SignedNumber(i);
  double d = 0;
  if (TryStrToFloat(s, d)) return RealNumber(d);
  CastError(VA::Type(v), to);
}

// The value as a number, for the numeric targets; Boolean True is -1.
Number ToNumber(const Variant& v, TVarType to) {
  const TVarType t = VA::Type(v);
  switch (t) {
    case varEmpty: return SignedNumber(0);
    case varSmallint: case varInteger: case varShortInt: case varByte:
    case varWord: case varLongWord: case varInt64:
      return SignedNumber(VA::I(v));
    case varBoolean: return SignedNumber(VA::I(v) ? -1 : 0);
    case varUInt64: {
      Number n;
      n.kind = Number::Unsigned;
      n.u = VA::U(v);
      return n;
    }
    case varCurrency: {
      Number n;
      n.kind = Number::Curr;
      n.i = VA::I(v);
      return n;
    }
    case varSingle: return RealNumber(VA::F(v));
    case varDouble: case varDate: return RealNumber(VA::D(v));
    case varOleStr: case varString: case varUString: return ParseNumber(v, to);
    default: CastError(t, to);
  }
}

Int64 ToSigned(const Variant& v, TVarType to, Int64 lo, Int64 hi) {
  const Number n = ToNumber(v, to);
  Int64 r = 0;
  switch (n.kind) {
    case Number::Signed: r = n.i; break;
    case Number::Unsigned:
      if (n.u > UInt64(hi)) OverflowError(VA::Type(v), to);
      r = Int64(n.u);
      break;
    case Number::Curr: r = CurrRoundToUnits(n.i); break;
    case Number::Real: {
      const double d = RoundHalfEven(n.d);
      // NaN fails both tests.
      if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0))
        OverflowError(VA::Type(v), to);
      r = Int64(d);
      break;
    }
  }
  if (r < lo || r > hi) OverflowError(VA::Type(v), to);
  return r;
}

UInt64 ToUnsigned64(const Variant& v) {
  const Number n = ToNumber(v, varUInt64);
  switch (n.kind) {
    case Number::Unsigned: return n.u;
    case Number::Signed:
      if (n.i < 0) break;
      return UInt64(n.i);
    case Number::Curr: {
      const Int64 units = CurrRoundToUnits(n.i);
      if (units < 0) break;
      return UInt64(units);
    }
    case Number::Real: {
      const double d = RoundHalfEven(n.d);
      if (!(d >= 0.0 && d < 18446744073709551616.0)) break;
      return UInt64(d);
    }
  }
  OverflowError(VA::Type(v), varUInt64);
}

double ToDouble(const Variant& v, TVarType to) { return ToNumber(v, to).AsReal(); }

Int64 ToCurrencyRaw(const Variant& v) {
  const TVarType t = VA::Type(v);
  if (IsStringType(t)) {
    Currency c;
    if (TryStrToCurr(Trimmed(VA::S(v)), c)) return c.Value;
    // Integer text beyond the currency range still reads as a number, so that
    // it reports an overflow rather than a failed conversion.
  }
  const Number n = ToNumber(v, varCurrency);
  switch (n.kind) {
    case Number::Curr: return n.i;
    case Number::Signed:
      if (n.i > kCurrMaxUnits || n.i < -kCurrMaxUnits) break;
      return n.i * kCurrScale;
    case Number::Unsigned:
      if (n.u > UInt64(kCurrMaxUnits)) break;
      return Int64(n.u) * kCurrScale;
    case Number::Real: {
      const double d = RoundHalfEven(n.d * double(kCurrScale));
      if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) break;
      return Int64(d);
    }
  }
  OverflowError(t, varCurrency);
}

TDateTime ToDate(const Variant& v) {
  const TVarType t = VA::Type(v);
  if (t == varDate) return VA::D(v);
  double d = 0;
  if (IsStringType(t)) {
    TDateTime dt = 0;
    if (!TryStrToDateTime(Trimmed(VA::S(v)), dt)) CastError(t, varDate);
    d = dt;
  } else {
    d = ToDouble(v, varDate);
  }
  if (!(d >= kMinDate && d < kMaxDate)) OverflowError(t, varDate);
  return d;
}

bool ToBoolean(const Variant& v) {
  const TVarType t = VA::Type(v);
  if (IsStringType(t)) {
    bool b = false;
    if (!TryStrToBool(Trimmed(VA::S(v)), b)) CastError(t, varBoolean);
    return b;
  }
  if (t == varBoolean) return VA::I(v) != 0;
  const Number n = ToNumber(v, varBoolean);
  switch (n.kind) {
    case Number::Signed: case Number::Curr: return n.i != 0;
    case Number::Unsigned: return n.u != 0;
    case Number::Real: break;
  }
  return n.d != 0.0;
}

String ToString(const Variant& v, TVarType to) {
  const TVarType t = VA::Type(v);
  switch (t) {
    case varEmpty: return String();
    case varSmallint: case varInteger: case varShortInt: case varByte:
    case varWord: case varLongWord: case varInt64:
      return IntToStr(VA::I(v));
    case varUInt64: return UIntToStr(VA::U(v));
    // A single carries about 7 significant digits; more would show its
    // binary rounding (0.1 as 0.100000001490116).
    case varSingle: return FloatToStrF(VA::F(v), ffGeneral, 7, 0);
    case varDouble: return FloatToStr(VA::D(v));
    case varCurrency: return CurrToStr(Currency::FromRaw(VA::I(v)));
    case varDate: return DateTimeToStr(VA::D(v));
    case varBoolean: return VA::I(v) ? L"True" : L"False";
    case varOleStr: case varString: case varUString: return VA::S(v);
    default: CastError(t, to);
  }
}

// ---------------------------------------------------------------------------
// Comparison
//
// The rules, in order:
// - Null equals Null and nothing else; Null has no order, so <, > and == with
//   a non-Null value are all false (VarCompareValue: vrNotEqual).
// - Arrays have no comparison: EVariantTypeCastError.
// - Empty stands for "" beside a string, False beside a Boolean and 0 beside
//   anything else, so Empty equals Empty, 0, "" and False.
// - Two strings compare ordinally by code unit, case-sensitive.
// - A string beside a number or date is read as one (EVariantTypeCastError when
//   it is not a number); beside a Boolean it is read as a Boolean.
// - A Boolean beside a number compares as Booleans (non-zero is True), with
//   False < True; the numeric value of True (-1) plays no part.
// - Numbers of any kinds, dates included, compare by value; integers and
//   currencies exactly, anything with a float as doubles (NaN has no order).
// ---------------------------------------------------------------------------

enum class Rel { Equal, Less, Greater, Unordered };

template <class T>
Rel Order(const T& a, const T& b) {
  if (a < b) return Rel::Less;
  if (b < a) return Rel::Greater;
  if (a == b) return Rel::Equal;
  return Rel::Unordered;
}

Rel Flip(Rel r) {
  if (r == Rel::Less) return Rel::Greater;
  if (r == Rel::Greater) return Rel::Less;
  return r;
}

Rel CompareNumbers(const Number& a, const Number& b) {
  using K = Number;
  if (a.kind == K::Real || b.kind == K::Real) return Order(a.AsReal(), b.AsReal());
  if (a.kind == b.kind) {
    if (a.kind == K::Unsigned) return Order(a.u, b.u);
    return Order(a.i, b.i);  // both signed or both currency
  }
  if (b.kind == K::Signed && a.kind != K::Signed) return Flip(CompareNumbers(b, a));
  if (a.kind == K::Signed && b.kind == K::Unsigned) {
    if (a.i < 0) return Rel::Less;
    return Order(UInt64(a.i), b.u);
  }
  if (a.kind == K::Signed) {  // b is currency: beyond its range the sign decides
    if (a.i > kCurrMaxUnits) return Rel::Greater;
    if (a.i < -kCurrMaxUnits) return Rel::Less;
    return Order(a.i * kCurrScale, b.i);
  }
  // a currency, b unsigned
  if (b.u > UInt64(kCurrMaxUnits)) return Rel::Less;
  return Order(a.i, Int64(b.u) * kCurrScale);
}

enum class Group { Empty, Str, Bool, Num, Other };

Group GroupOf(TVarType t) {
  if (t == varEmpty) return Group::Empty;
  if (IsStringType(t)) return Group::Str;
  if (t == varBoolean) return Group::Bool;
  if (IsIntegerType(t) || t == varSingle || t == varDouble || t == varCurrency || t == varDate)
    return Group::Num;
  return Group::Other;
}

Rel Compare(const Variant& a, const Variant& b) {
  const TVarType ta = VA::Type(a), tb = VA::Type(b);
  if (ta == varNull || tb == varNull) return ta == tb ? Rel::Equal : Rel::Unordered;
  if (ta & varArray) CastError(ta, tb);
  if (tb & varArray) CastError(tb, ta);
  const Group ga = GroupOf(ta), gb = GroupOf(tb);
  if (ga == Group::Other) CastError(ta, tb);
  if (gb == Group::Other) CastError(tb, ta);
  if (gb == Group::Empty && ga != Group::Empty) return Flip(Compare(b, a));

  switch (ga) {
    case Group::Empty:
      switch (gb) {
        case Group::Empty: return Rel::Equal;
        case Group::Str: return Order(String(), VA::S(b));
        case Group::Bool: return Order(false, VA::I(b) != 0);
        default: return CompareNumbers(SignedNumber(0), ToNumber(b, tb));
      }
    case Group::Str:
      switch (gb) {
        case Group::Str: {
          const int c = VA::S(a).compare(VA::S(b));
          return c < 0 ? Rel::Less : c > 0 ? Rel::Greater : Rel::Equal;
        }
        case Group::Bool: return Order(ToBoolean(a), VA::I(b) != 0);
        default:
          if (tb == varDate) return Order(ToDate(a), VA::D(b));
          return CompareNumbers(ToNumber(a, tb), ToNumber(b, tb));
      }
    case Group::Bool:
      if (gb == Group::Str) return Flip(Compare(b, a));
      return Order(VA::I(a) != 0, ToBoolean(b));
    default:
      if (gb != Group::Num) return Flip(Compare(b, a));
      return CompareNumbers(ToNumber(a, tb), ToNumber(b, ta));
  }
}

// ---------------------------------------------------------------------------
// Arrays
// ---------------------------------------------------------------------------

bool IsArrayElementType(TVarType t) {
  switch (t) {
    case varSmallint: case varInteger: case varSingle: case varDouble: case varCurrency:
    case varDate: case varOleStr: case varBoolean: case varVariant: case varShortInt:
    case varByte: case varWord: case varLongWord: case varInt64: case varUInt64:
    case varString: case varUString:
      return true;
    default:
      return false;
  }
}

TVarArrayData& ArrayOf(const Variant& v) {
  if (!(VA::Type(v) & varArray)) InvalidArgError();
  return VA::A(v);
}

size_t FlatIndex(const TVarArrayData& a, std::initializer_list<int> indices) {
  if (indices.size() != a.Bounds.size()) BadIndexError();
  size_t flat = 0;
  size_t dim = 0;
  for (int index : indices) {
    const auto [low, high] = a.Bounds[dim++];
    if (index < low || index > high) BadIndexError();
    flat = flat * size_t(high - low + 1) + size_t(index - low);
  }
  return flat;
}

const std::pair<int, int>& BoundsOf(const Variant& v, int dim) {
  const TVarArrayData& a = ArrayOf(v);
  if (dim < 1 || size_t(dim) > a.Bounds.size()) BadIndexError();
  return a.Bounds[size_t(dim - 1)];
}

}  // namespace

// ---------------------------------------------------------------------------
// Variant
// ---------------------------------------------------------------------------

Variant::Variant(const Currency& v) noexcept : Variant(varCurrency, v.Value) {}

Variant::Variant(const String& v) : vt_(varUString) { u_.s = new String(v); }

Variant::Variant(String&& v) : vt_(varUString) { u_.s = new String(std::move(v)); }

Variant::Variant(const Char* v) : vt_(varUString) { u_.s = new String(v ? v : L""); }

void Variant::CopyHeap(const Variant& o) {
  if (o.vt_ & varArray)
    u_.a = new TVarArrayData(*o.u_.a);
  else
    u_.s = new String(*o.u_.s);
}

void Variant::FreeHeap() noexcept {
  if (vt_ & varArray)
    delete u_.a;
  else
    delete u_.s;
}

int Variant::AsInteger() const { return int(ToSigned(*this, varInteger, INT_MIN, INT_MAX)); }

Int64 Variant::AsInt64() const { return ToSigned(*this, varInt64, INT64_MIN, INT64_MAX); }

UInt64 Variant::AsUInt64() const { return ToUnsigned64(*this); }

double Variant::AsDouble() const { return ToDouble(*this, varDouble); }

bool Variant::AsBoolean() const { return ToBoolean(*this); }

String Variant::AsString() const { return ToString(*this, varUString); }

Currency Variant::AsCurrency() const { return Currency::FromRaw(ToCurrencyRaw(*this)); }

TDateTime Variant::AsDateTime() const { return ToDate(*this); }

bool operator==(const Variant& a, const Variant& b) { return Compare(a, b) == Rel::Equal; }

bool operator<(const Variant& a, const Variant& b) { return Compare(a, b) == Rel::Less; }

bool operator>(const Variant& a, const Variant& b) { return Compare(a, b) == Rel::Greater; }

// ---------------------------------------------------------------------------
// Free functions
// ---------------------------------------------------------------------------

Variant Null() { return VA::Make(varNull, 0); }

Variant Unassigned() { return Variant(); }

Variant VarFromDateTime(TDateTime value) { return VA::MakeDouble(varDate, value); }

TVarType VarType(const Variant& v) { return v.VType(); }

bool VarIsType(const Variant& v, TVarType type) { return v.VType() == type; }

bool VarIsType(const Variant& v, std::initializer_list<TVarType> types) {
  for (TVarType t : types)
    if (v.VType() == t) return true;
  return false;
}

bool VarIsNull(const Variant& v) { return v.VType() == varNull; }

bool VarIsEmpty(const Variant& v) { return v.VType() == varEmpty; }

bool VarIsClear(const Variant& v) { return v.VType() == varEmpty; }

bool VarIsArray(const Variant& v) { return (v.VType() & varArray) != 0; }

bool VarIsStr(const Variant& v) { return IsStringType(v.VType()); }

bool VarIsOrdinal(const Variant& v) {
  return IsIntegerType(v.VType()) || v.VType() == varBoolean;
}

bool VarIsFloat(const Variant& v) {
  const TVarType t = v.VType();
  return t == varSingle || t == varDouble || t == varCurrency;
}

bool VarIsNumeric(const Variant& v) { return VarIsOrdinal(v) || VarIsFloat(v); }

String VarTypeAsText(TVarType type) {
  static const Char* const kNames[] = {
      L"Empty", L"Null", L"Smallint", L"Integer", L"Single", L"Double", L"Currency",
      L"Date", L"OleStr", L"Dispatch", L"Error", L"Boolean", L"Variant", L"Unknown",
      L"Decimal", nullptr, L"ShortInt", L"Byte", L"Word", L"LongWord", L"Int64", L"UInt64"};
  const TVarType base = type & varTypeMask;
  String name;
  if (base < std::size(kNames) && kNames[base])
    name = kNames[base];
  else if (base == varString)
    name = L"String";
  else if (base == varUString)
    name = L"UnicodeString";
  else {
    Char buf[8];
    swprintf(buf, 8, L"$%04X", unsigned(base));
    name = buf;
  }
  return (type & varArray) ? L"Array " + name : name;
}

Variant VarAsType(const Variant& v, TVarType type) {
  const TVarType from = v.VType();
  if (type == from || type == varVariant) return v;
  if ((type & varArray) || (from & varArray) || from == varNull) CastError(from, type);
  switch (type) {
    case varSmallint: return VA::Make(type, ToSigned(v, type, -32768, 32767));
    case varInteger: return VA::Make(type, ToSigned(v, type, INT_MIN, INT_MAX));
    case varShortInt: return VA::Make(type, ToSigned(v, type, -128, 127));
    case varByte: return VA::Make(type, ToSigned(v, type, 0, 255));
    case varWord: return VA::Make(type, ToSigned(v, type, 0, 65535));
    case varLongWord: return VA::Make(type, ToSigned(v, type, 0, 4294967295LL));
    case varInt64: return VA::Make(type, ToSigned(v, type, INT64_MIN, INT64_MAX));
    case varUInt64: return Variant(ToUnsigned64(v));
    case varSingle: {
      const double d = ToDouble(v, type);
      if (std::isfinite(d) && std::fabs(d) > double(FLT_MAX)) OverflowError(from, type);
      return Variant(float(d));
    }
    case varDouble: return Variant(ToDouble(v, type));
    case varCurrency: return VA::Make(type, ToCurrencyRaw(v));
    case varDate: return VarFromDateTime(ToDate(v));
    case varBoolean: return Variant(ToBoolean(v));
    case varOleStr: case varString: case varUString: return VA::MakeString(type, ToString(v, type));
    default: CastError(from, type);
  }
}

String VarToStr(const Variant& v) { return VarIsNull(v) ? String() : v.AsString(); }

String VarToStrDef(const Variant& v, const String& def) {
  return VarIsNull(v) ? def : v.AsString();
}

TDateTime VarToDateTime(const Variant& v) { return v.AsDateTime(); }

bool VarSameValue(const Variant& a, const Variant& b) {
  const TVarType ta = a.VType(), tb = b.VType();
  if (ta == varEmpty || tb == varEmpty || ta == varNull || tb == varNull) return ta == tb;
  return a == b;
}

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) {
  const TVarType ta = a.VType(), tb = b.VType();
  if (ta == varEmpty || tb == varEmpty || ta == varNull || tb == varNull)
    return ta == tb ? vrEqual : vrNotEqual;
  switch (Compare(a, b)) {
    case Rel::Equal: return vrEqual;
    case Rel::Less: return vrLessThan;
    case Rel::Greater: return vrGreaterThan;
    case Rel::Unordered: break;
  }
  return vrNotEqual;
}

Variant VarArrayCreate(std::initializer_list<int> bounds, TVarType elementType) {
  if (bounds.size() == 0 || bounds.size() % 2 != 0 || !IsArrayElementType(elementType))
    InvalidArgError();
  auto data = std::make_unique<TVarArrayData>();
  data->ElementType = elementType;
  Int64 count = 1;
  for (auto it = bounds.begin(); it != bounds.end(); it += 2) {
    const Int64 low = it[0], high = it[1];
    if (high < low - 1) InvalidArgError();
    count *= high - low + 1;
    if (count > INT_MAX) InvalidArgError();
    data->Bounds.emplace_back(it[0], it[1]);
  }
  data->Items.assign(size_t(count), VarAsType(Variant(), elementType));
  return VA::MakeArray(data.release());
}

Variant VarArrayOf(std::initializer_list<Variant> values) {
  auto data = std::make_unique<TVarArrayData>();
  data->Bounds.emplace_back(0, int(values.size()) - 1);
  data->Items.assign(values.begin(), values.end());
  return VA::MakeArray(data.release());
}

int VarArrayDimCount(const Variant& v) {
  return VarIsArray(v) ? int(VA::A(v).Bounds.size()) : 0;
}

int VarArrayLowBound(const Variant& v, int dim) { return BoundsOf(v, dim).first; }

int VarArrayHighBound(const Variant& v, int dim) { return BoundsOf(v, dim).second; }

Variant VarArrayGet(const Variant& a, int index) { return VarArrayGet(a, {index}); }

Variant VarArrayGet(const Variant& a, std::initializer_list<int> indices) {
  const TVarArrayData& data = ArrayOf(a);
  return data.Items[FlatIndex(data, indices)];
}

void VarArrayPut(Variant& a, const Variant& value, int index) { VarArrayPut(a, value, {index}); }

void VarArrayPut(Variant& a, const Variant& value, std::initializer_list<int> indices) {
  TVarArrayData& data = ArrayOf(a);
  const size_t at = FlatIndex(data, indices);
  // Converted (or copied) first: `value` may be this very array or one of its elements.
  Variant stored = data.ElementType == varVariant ? value : VarAsType(value, data.ElementType);
  data.Items[at] = std::move(stored);
}
