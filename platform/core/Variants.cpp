#include "platform/WinApi.h"
#include "platform/core/Variants.h"

#include "platform/core/Exceptions.h"
#include "platform/core/SysUtils.h"

#include <atomic>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cwchar>
#include <iterator>
#include <memory>
#include <mutex>
#include <vector>

// The elements of an array in their kind's native type, so that a lock can
// hand out one contiguous block (a byte array as its bytes).
struct TVarArrayElements {
  virtual ~TVarArrayElements() = default;
  virtual std::unique_ptr<TVarArrayElements> Clone() const = 0;
  virtual std::unique_ptr<TVarArrayElements> Empty(size_t count) const = 0;
  virtual Variant Get(size_t index) const = 0;
  // `value` is already of the element kind.
  virtual void Put(size_t index, const Variant& value) = 0;
  // Element `from` of `source`, which holds the same kind.
  virtual void CopyFrom(size_t index, const TVarArrayElements& source, size_t from) = 0;
  virtual void* Data() = 0;
};

struct TVarArrayData {
  TVarType ElementType = varVariant;
  std::vector<std::pair<int, int>> Bounds;  // low and high bound per dimension
  std::unique_ptr<TVarArrayElements> Items;
  int LockCount = 0;

  TVarArrayData() = default;
  // A copy is not locked.
  TVarArrayData(const TVarArrayData& o) : ElementType(o.ElementType), Bounds(o.Bounds), Items(o.Items->Clone()) {}
};

namespace {
// A chain of references longer than this refers back to itself.
constexpr int kMaxRefDepth = 32;
}  // namespace

// Reaches the payload for the conversion routines, which the header keeps private.
struct VariantAccess {
  static TVarType Type(const Variant& v) { return v.vt_; }
  static Int64 I(const Variant& v) { return v.u_.i; }
  static UInt64 U(const Variant& v) { return v.u_.u; }
  static float F(const Variant& v) { return v.u_.f; }
  static double D(const Variant& v) { return v.u_.d; }
  static const String& S(const Variant& v) { return *v.u_.s; }
  static const RawByteString& B(const Variant& v) { return *v.u_.b; }
  static TVarArrayData& A(const Variant& v) { return *v.u_.a; }
  static const TCustomVarValue& C(const Variant& v) { return *v.u_.c; }
  static void* P(const Variant& v) { return v.u_.p; }
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
  static Variant MakeCustom(TVarType vt, std::unique_ptr<TCustomVarValue> value) {
    Variant r;
    r.u_.c = value.release();
    r.vt_ = vt;
    return r;
  }
  static Variant MakeRef(TVarType vt, void* target) {
    Variant r;
    r.vt_ = TVarType(vt | varByRef);
    r.u_.p = target;
    return r;
  }
  // The variant a reference to a variant or to an array stands for; the
  // variant itself for anything else.
  static const Variant& Target(const Variant& v) {
    const Variant* p = &v;
    for (int depth = 0; p->vt_ & varByRef; ++depth) {
      const TVarType t = TVarType(p->vt_ & ~varByRef);
      if (t != varVariant && !(t & varArray)) break;
      if (depth == kMaxRefDepth) throw EVariantInvalidArgError(L"Invalid argument");
      p = static_cast<const Variant*>(p->u_.p);
    }
    return *p;
  }
  // The value a variant stands for, without references: the variant itself,
  // the one it refers to, or (for a scalar reference) a copy in `holder`.
  static const Variant& Deref(const Variant& v, Variant& holder) {
    const Variant& x = Target(v);
    if (!(x.vt_ & varByRef)) return x;
    holder = ValueAt(TVarType(x.vt_ & ~varByRef), x.u_.p);
    return holder;
  }
  static Variant ValueAt(TVarType t, const void* p);
};

using VA = VariantAccess;

namespace {

// Currency is kept as its raw 64-bit amount times 10,000.
constexpr Int64 kCurrScale = 10000;
constexpr Int64 kCurrMaxUnits = INT64_MAX / kCurrScale;  // whole units that fit
// Dates run from 1 January 100 to the end of 31 December 9999.
constexpr double kMinDate = MinDateTime;
constexpr double kMaxDate = 2958466.0;  // exclusive

[[noreturn]] void CastError(TVarType from, TVarType to) { VarCastError(from, to); }

[[noreturn]] void OverflowError(TVarType from, TVarType to) { VarOverflowError(from, to); }

[[noreturn]] void BadIndexError() {
  throw EVariantBadIndexError(L"Variant or safe array index out of bounds");
}

[[noreturn]] void InvalidArgError() { throw EVariantInvalidArgError(L"Invalid argument"); }

[[noreturn]] void ArrayLockedError() {
  throw EVariantArrayLockedError(L"Variant or safe array is locked");
}

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

bool IsCustomType(TVarType t) { return t >= varFirstCustom && t <= varLastCustom; }

// ---------------------------------------------------------------------------
// Custom type registry
// ---------------------------------------------------------------------------

struct CustomTypeRegistry {
  std::mutex Lock;
  TVarType Next = varFirstCustom;
  std::atomic<const TCustomVariantType*> Slots[varLastCustom - varFirstCustom + 1]{};
};

CustomTypeRegistry& Registry() {
  static CustomTypeRegistry registry;
  return registry;
}

// The type of a custom value; a value whose type is gone converts to nothing.
const TCustomVariantType& CustomTypeOf(TVarType t, TVarType other) {
  const TCustomVariantType* type = nullptr;
  if (!FindCustomVariantType(t, type)) CastError(t, other);
  return *type;
}

// The text of a string kind; a byte string is read in the ANSI code page.
String TextOf(const Variant& v) {
  return VA::Type(v) == varString ? AnsiToString(VA::B(v)) : VA::S(v);
}

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
  const String s = Trimmed(TextOf(v));
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
    if (TryStrToCurr(Trimmed(TextOf(v)), c)) return c.Value;
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
    if (!TryStrToDateTime(Trimmed(TextOf(v)), dt)) CastError(t, varDate);
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
    if (!TryStrToBool(Trimmed(TextOf(v)), b)) CastError(t, varBoolean);
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
    case varOleStr: case varString: case varUString: return TextOf(v);
    default: CastError(t, to);
  }
}

// A value without references in a standard kind: a custom value is converted
// to the standard kind `to` first (into `holder`).
const Variant& Plain(const Variant& v, TVarType to, Variant& holder) {
  const Variant& x = VA::Deref(v, holder);
  const TVarType t = VA::Type(x);
  if (!IsCustomType(t)) return x;
  Variant r = CustomTypeOf(t, to).CastTo(x, to);
  if (VA::Type(r) != to) r = VarAsType(r, to);
  holder = std::move(r);
  return holder;
}

// ---------------------------------------------------------------------------
// Comparison
//
// The rules, in order:
// - A reference compares as the value it refers to.
// - Null equals Null and nothing else; Null has no order, so <, > and == with
//   a non-Null value are all false (VarCompareValue: vrNotEqual).
// - Arrays have no comparison: EVariantTypeCastError.
// - A value of a custom kind compares by its type's rule, the other value
//   converted to that kind.
// - Empty stands for "" beside a string, False beside a Boolean and 0 beside
//   anything else, so Empty equals Empty, 0, "" and False.
// - Two Unicode strings compare ordinally by code unit, case-sensitive; two
//   byte strings by unsigned byte; a byte string beside a Unicode string as
//   its text in the ANSI code page.
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

Rel RelOf(TVariantRelationship r) {
  switch (r) {
    case vrEqual: return Rel::Equal;
    case vrLessThan: return Rel::Less;
    case vrGreaterThan: return Rel::Greater;
    case vrNotEqual: break;
  }
  return Rel::Unordered;
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

Rel CompareStrings(const Variant& a, const Variant& b) {
  int c = 0;
  if (VA::Type(a) == varString && VA::Type(b) == varString)
    c = VA::B(a).compare(VA::B(b));  // unsigned bytes
  else if (VA::Type(a) != varString && VA::Type(b) != varString)
    c = VA::S(a).compare(VA::S(b));
  else
    c = TextOf(a).compare(TextOf(b));
  return c < 0 ? Rel::Less : c > 0 ? Rel::Greater : Rel::Equal;
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

// Both without references.
Rel ComparePlain(const Variant& a, const Variant& b) {
  const TVarType ta = VA::Type(a), tb = VA::Type(b);
  if (ta == varNull || tb == varNull) return ta == tb ? Rel::Equal : Rel::Unordered;
  if (ta & varArray) CastError(ta, tb);
  if (tb & varArray) CastError(tb, ta);
  if (IsCustomType(ta)) return RelOf(CustomTypeOf(ta, tb).Compare(a, b));
  if (IsCustomType(tb)) return Flip(RelOf(CustomTypeOf(tb, ta).Compare(b, a)));
  const Group ga = GroupOf(ta), gb = GroupOf(tb);
  if (ga == Group::Other) CastError(ta, tb);
  if (gb == Group::Other) CastError(tb, ta);
  if (gb == Group::Empty && ga != Group::Empty) return Flip(ComparePlain(b, a));

  switch (ga) {
    case Group::Empty:
      switch (gb) {
        case Group::Empty: return Rel::Equal;
        case Group::Str: return Order(String(), TextOf(b));
        case Group::Bool: return Order(false, VA::I(b) != 0);
        default: return CompareNumbers(SignedNumber(0), ToNumber(b, tb));
      }
    case Group::Str:
      switch (gb) {
        case Group::Str: return CompareStrings(a, b);
        case Group::Bool: return Order(ToBoolean(a), VA::I(b) != 0);
        default:
          if (tb == varDate) return Order(ToDate(a), VA::D(b));
          return CompareNumbers(ToNumber(a, tb), ToNumber(b, tb));
      }
    case Group::Bool:
      if (gb == Group::Str) return Flip(ComparePlain(b, a));
      return Order(VA::I(a) != 0, ToBoolean(b));
    default:
      if (gb != Group::Num) return Flip(ComparePlain(b, a));
      return CompareNumbers(ToNumber(a, tb), ToNumber(b, ta));
  }
}

Rel Compare(const Variant& a, const Variant& b) {
  Variant ha, hb;
  return ComparePlain(VA::Deref(a, ha), VA::Deref(b, hb));
}

// The kind a variant stands for once references are followed.
TVarType BaseType(const Variant& v) {
  const Variant& x = VA::Target(v);
  return TVarType(VA::Type(x) & ~varByRef);
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

// Elements of native type T for the element kind `Kind`. Integer kinds,
// Currency (its raw amount) and Boolean (16-bit, 0 or -1) share the integer
// payload of a variant.
template <class T, TVarType Kind>
struct TypedElements final : TVarArrayElements {
  std::vector<T> Items;

  explicit TypedElements(size_t count) : Items(count) {}
  std::unique_ptr<TVarArrayElements> Clone() const override { return std::make_unique<TypedElements>(*this); }
  std::unique_ptr<TVarArrayElements> Empty(size_t count) const override {
    return std::make_unique<TypedElements>(count);
  }
  void* Data() override { return Items.data(); }
  void CopyFrom(size_t index, const TVarArrayElements& source, size_t from) override {
    Items[index] = static_cast<const TypedElements&>(source).Items[from];
  }
  Variant Get(size_t index) const override {
    const T& x = Items[index];
    if constexpr (std::is_same_v<T, Variant>) return x;
    else if constexpr (std::is_same_v<T, String>) return VA::MakeString(Kind, x);
    else if constexpr (std::is_same_v<T, RawByteString>) return Variant(x);
    else if constexpr (std::is_same_v<T, UInt64>) return Variant(x);
    else if constexpr (std::is_same_v<T, float>) return Variant(x);
    else if constexpr (std::is_same_v<T, double>) return VA::MakeDouble(Kind, x);
    else if constexpr (Kind == varBoolean) return Variant(x != 0);
    else return VA::Make(Kind, Int64(x));
  }
  void Put(size_t index, const Variant& v) override {
    T& x = Items[index];
    if constexpr (std::is_same_v<T, Variant>) x = v;
    else if constexpr (std::is_same_v<T, String>) x = VA::S(v);
    else if constexpr (std::is_same_v<T, RawByteString>) x = VA::B(v);
    else if constexpr (std::is_same_v<T, UInt64>) x = VA::U(v);
    else if constexpr (std::is_same_v<T, float>) x = VA::F(v);
    else if constexpr (std::is_same_v<T, double>) x = VA::D(v);
    else if constexpr (Kind == varBoolean) x = VA::I(v) ? T(-1) : T(0);
    else x = T(VA::I(v));
  }
};

std::unique_ptr<TVarArrayElements> MakeElements(TVarType t, size_t count) {
  switch (t) {
    case varSmallint: return std::make_unique<TypedElements<std::int16_t, varSmallint>>(count);
    case varInteger: return std::make_unique<TypedElements<std::int32_t, varInteger>>(count);
    case varSingle: return std::make_unique<TypedElements<float, varSingle>>(count);
    case varDouble: return std::make_unique<TypedElements<double, varDouble>>(count);
    case varCurrency: return std::make_unique<TypedElements<Int64, varCurrency>>(count);
    case varDate: return std::make_unique<TypedElements<double, varDate>>(count);
    case varOleStr: return std::make_unique<TypedElements<String, varOleStr>>(count);
    case varBoolean: return std::make_unique<TypedElements<std::int16_t, varBoolean>>(count);
    case varShortInt: return std::make_unique<TypedElements<std::int8_t, varShortInt>>(count);
    case varByte: return std::make_unique<TypedElements<std::uint8_t, varByte>>(count);
    case varWord: return std::make_unique<TypedElements<std::uint16_t, varWord>>(count);
    case varLongWord: return std::make_unique<TypedElements<std::uint32_t, varLongWord>>(count);
    case varInt64: return std::make_unique<TypedElements<Int64, varInt64>>(count);
    case varUInt64: return std::make_unique<TypedElements<UInt64, varUInt64>>(count);
    case varString: return std::make_unique<TypedElements<RawByteString, varString>>(count);
    case varUString: return std::make_unique<TypedElements<String, varUString>>(count);
    default: return std::make_unique<TypedElements<Variant, varVariant>>(count);
  }
}

// The array a variant holds or refers to.
TVarArrayData& ArrayOf(const Variant& v) {
  const Variant& x = VA::Target(v);
  if ((VA::Type(x) & (varArray | varByRef)) != varArray) InvalidArgError();
  return VA::A(x);
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

Variant VariantAccess::ValueAt(TVarType t, const void* p) {
  switch (t) {
    case varSmallint: return Make(t, *static_cast<const std::int16_t*>(p));
    case varInteger: return Make(t, *static_cast<const std::int32_t*>(p));
    case varSingle: return Variant(*static_cast<const float*>(p));
    case varDouble: case varDate: return MakeDouble(t, *static_cast<const double*>(p));
    case varCurrency: return Make(t, static_cast<const Currency*>(p)->Value);
    case varOleStr: case varUString: return MakeString(t, *static_cast<const String*>(p));
    case varBoolean: return Variant(*static_cast<const bool*>(p));
    case varShortInt: return Make(t, *static_cast<const std::int8_t*>(p));
    case varByte: return Make(t, *static_cast<const std::uint8_t*>(p));
    case varWord: return Make(t, *static_cast<const std::uint16_t*>(p));
    case varLongWord: return Make(t, *static_cast<const std::uint32_t*>(p));
    case varInt64: return Make(t, *static_cast<const Int64*>(p));
    case varUInt64: return Variant(*static_cast<const UInt64*>(p));
    case varString: return Variant(*static_cast<const RawByteString*>(p));
    default: InvalidArgError();
  }
}

// ---------------------------------------------------------------------------
// Variant
// ---------------------------------------------------------------------------

Variant::Variant(const Currency& v) noexcept : Variant(varCurrency, v.Value) {}

Variant::Variant(const String& v) : vt_(varUString) { u_.s = new String(v); }

Variant::Variant(String&& v) : vt_(varUString) { u_.s = new String(std::move(v)); }

Variant::Variant(const Char* v) : vt_(varUString) { u_.s = new String(v ? v : L""); }

Variant::Variant(const RawByteString& v) : vt_(varString) { u_.b = new RawByteString(v); }

Variant::Variant(RawByteString&& v) : vt_(varString) { u_.b = new RawByteString(std::move(v)); }

void Variant::CopyHeap(const Variant& o) {
  if (o.vt_ & varArray)
    u_.a = new TVarArrayData(*o.u_.a);
  else if (o.vt_ == varString)
    u_.b = new RawByteString(*o.u_.b);
  else if (IsCustomType(o.vt_))
    u_.c = o.u_.c->Clone().release();
  else
    u_.s = new String(*o.u_.s);
}

void Variant::FreeHeap() noexcept {
  if (vt_ & varArray)
    delete u_.a;
  else if (vt_ == varString)
    delete u_.b;
  else if (IsCustomType(vt_))
    delete u_.c;
  else
    delete u_.s;
}

void Variant::CheckArrayUnlocked() const {
  if (u_.a->LockCount > 0) ArrayLockedError();
}

int Variant::AsInteger() const {
  Variant h;
  return int(ToSigned(Plain(*this, varInteger, h), varInteger, INT_MIN, INT_MAX));
}

Int64 Variant::AsInt64() const {
  Variant h;
  return ToSigned(Plain(*this, varInt64, h), varInt64, INT64_MIN, INT64_MAX);
}

UInt64 Variant::AsUInt64() const {
  Variant h;
  return ToUnsigned64(Plain(*this, varUInt64, h));
}

double Variant::AsDouble() const {
  Variant h;
  return ToDouble(Plain(*this, varDouble, h), varDouble);
}

bool Variant::AsBoolean() const {
  Variant h;
  return ToBoolean(Plain(*this, varBoolean, h));
}

String Variant::AsString() const {
  Variant h;
  return ToString(Plain(*this, varUString, h), varUString);
}

RawByteString Variant::AsAnsiString() const {
  Variant h;
  const Variant& x = Plain(*this, varString, h);
  if (VA::Type(x) == varString) return VA::B(x);
  return StringToAnsi(ToString(x, varString));
}

Currency Variant::AsCurrency() const {
  Variant h;
  return Currency::FromRaw(ToCurrencyRaw(Plain(*this, varCurrency, h)));
}

TDateTime Variant::AsDateTime() const {
  Variant h;
  return ToDate(Plain(*this, varDate, h));
}

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

bool VarIsType(const Variant& v, TVarType type) { return BaseType(v) == type; }

bool VarIsType(const Variant& v, std::initializer_list<TVarType> types) {
  const TVarType t = BaseType(v);
  for (TVarType type : types)
    if (t == type) return true;
  return false;
}

bool VarIsByRef(const Variant& v) { return (v.VType() & varByRef) != 0; }

bool VarIsCustom(const Variant& v) { return IsCustomType(BaseType(v)); }

bool VarIsNull(const Variant& v) { return BaseType(v) == varNull; }

bool VarIsEmpty(const Variant& v) { return BaseType(v) == varEmpty; }

bool VarIsClear(const Variant& v) { return BaseType(v) == varEmpty; }

bool VarIsArray(const Variant& v) { return (BaseType(v) & varArray) != 0; }

bool VarIsStr(const Variant& v) { return IsStringType(BaseType(v)); }

bool VarIsOrdinal(const Variant& v) {
  const TVarType t = BaseType(v);
  return IsIntegerType(t) || t == varBoolean;
}

bool VarIsFloat(const Variant& v) {
  const TVarType t = BaseType(v);
  return t == varSingle || t == varDouble || t == varCurrency;
}

bool VarIsNumeric(const Variant& v) { return VarIsOrdinal(v) || VarIsFloat(v); }

String VarTypeAsText(TVarType type) {
  static const Char* const kNames[] = {
      L"Empty", L"Null", L"Smallint", L"Integer", L"Single", L"Double", L"Currency",
      L"Date", L"OleStr", L"Dispatch", L"Error", L"Boolean", L"Variant", L"Unknown",
      L"Decimal", nullptr, L"ShortInt", L"Byte", L"Word", L"LongWord", L"Int64", L"UInt64"};
  const TVarType base = type & varTypeMask;
  const TCustomVariantType* custom = nullptr;
  String name;
  if (base < std::size(kNames) && kNames[base])
    name = kNames[base];
  else if (base == varString)
    name = L"String";
  else if (base == varUString)
    name = L"UnicodeString";
  else if (FindCustomVariantType(base, custom))
    name = custom->Name();
  else {
    Char buf[8];
    swprintf(buf, 8, L"$%04X", unsigned(base));
    name = buf;
  }
  if (type & varByRef) name = L"Ref " + name;
  return (type & varArray) ? L"Array " + name : name;
}

void VarCastError(TVarType from, TVarType to) {
  throw EVariantTypeCastError(L"Could not convert variant of type (" + VarTypeAsText(from) +
                              L") into type (" + VarTypeAsText(to) + L")");
}

void VarOverflowError(TVarType from, TVarType to) {
  throw EVariantOverflowError(L"Overflow while converting variant of type (" + VarTypeAsText(from) +
                              L") into type (" + VarTypeAsText(to) + L")");
}

Variant VarAsType(const Variant& source, TVarType type) {
  Variant h;
  const Variant& v = VA::Deref(source, h);
  const TVarType from = v.VType();
  if (type == from || type == varVariant) return v;
  if ((type & (varArray | varByRef)) || (from & varArray) || from == varNull) CastError(from, type);
  if (IsCustomType(type)) return CustomTypeOf(type, from).Cast(v);
  if (IsCustomType(from)) {
    Variant r = CustomTypeOf(from, type).CastTo(v, type);
    if (r.VType() != type) r = VarAsType(r, type);
    return r;
  }
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
    case varString: return Variant(StringToAnsi(ToString(v, type)));
    case varOleStr: case varUString: return VA::MakeString(type, ToString(v, type));
    default: CastError(from, type);
  }
}

String VarToStr(const Variant& v) { return VarIsNull(v) ? String() : v.AsString(); }

String VarToStrDef(const Variant& v, const String& def) {
  return VarIsNull(v) ? def : v.AsString();
}

TDateTime VarToDateTime(const Variant& v) { return v.AsDateTime(); }

bool VarSameValue(const Variant& a, const Variant& b) {
  const TVarType ta = BaseType(a), tb = BaseType(b);
  if (ta == varEmpty || tb == varEmpty || ta == varNull || tb == varNull) return ta == tb;
  return a == b;
}

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) {
  const TVarType ta = BaseType(a), tb = BaseType(b);
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

// ---------------------------------------------------------------------------
// Arrays
// ---------------------------------------------------------------------------

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
  data->Items = MakeElements(elementType, size_t(count));
  return VA::MakeArray(data.release());
}

Variant VarArrayOf(std::initializer_list<Variant> values) {
  auto data = std::make_unique<TVarArrayData>();
  data->Bounds.emplace_back(0, int(values.size()) - 1);
  data->Items = MakeElements(varVariant, values.size());
  size_t i = 0;
  // Elements hold values, never references.
  for (const Variant& v : values) data->Items->Put(i++, VarAsType(v, varVariant));
  return VA::MakeArray(data.release());
}

int VarArrayDimCount(const Variant& v) {
  return VarIsArray(v) ? int(ArrayOf(v).Bounds.size()) : 0;
}

int VarArrayLowBound(const Variant& v, int dim) { return BoundsOf(v, dim).first; }

int VarArrayHighBound(const Variant& v, int dim) { return BoundsOf(v, dim).second; }

Variant VarArrayGet(const Variant& a, int index) { return VarArrayGet(a, {index}); }

Variant VarArrayGet(const Variant& a, std::initializer_list<int> indices) {
  const TVarArrayData& data = ArrayOf(a);
  return data.Items->Get(FlatIndex(data, indices));
}

void VarArrayPut(Variant& a, const Variant& value, int index) { VarArrayPut(a, value, {index}); }

void VarArrayPut(Variant& a, const Variant& value, std::initializer_list<int> indices) {
  TVarArrayData& data = ArrayOf(a);
  const size_t at = FlatIndex(data, indices);
  // Converted (or copied) first: `value` may be this very array or one of its elements.
  const Variant stored = VarAsType(value, data.ElementType);
  data.Items->Put(at, stored);
}

void VarArrayRedim(Variant& a, int highBound) {
  TVarArrayData& data = ArrayOf(a);
  if (data.LockCount > 0) ArrayLockedError();
  const auto [low, high] = data.Bounds.back();
  if (Int64(highBound) < Int64(low) - 1) InvalidArgError();
  const size_t oldLength = size_t(high - low + 1);
  const size_t newLength = size_t(Int64(highBound) - low + 1);
  size_t outer = 1;
  for (size_t d = 0; d + 1 < data.Bounds.size(); ++d)
    outer *= size_t(data.Bounds[d].second - data.Bounds[d].first + 1);
  if (Int64(outer) * Int64(newLength) > INT_MAX) InvalidArgError();
  auto items = data.Items->Empty(outer * newLength);
  const size_t kept = oldLength < newLength ? oldLength : newLength;
  for (size_t o = 0; o < outer; ++o)
    for (size_t j = 0; j < kept; ++j) items->CopyFrom(o * newLength + j, *data.Items, o * oldLength + j);
  data.Items = std::move(items);
  data.Bounds.back().second = highBound;
}

void* VarArrayLock(const Variant& a) {
  TVarArrayData& data = ArrayOf(a);
  ++data.LockCount;
  return data.Items->Data();
}

void VarArrayUnlock(const Variant& a) {
  TVarArrayData& data = ArrayOf(a);
  if (data.LockCount == 0) throw EVariantUnexpectedError(L"Unexpected variant error");
  --data.LockCount;
}

// ---------------------------------------------------------------------------
// References
// ---------------------------------------------------------------------------

Variant VarByRef(TVarType type, void* target) {
  if (!target || !IsArrayElementType(type)) InvalidArgError();
  return VA::MakeRef(type, target);
}

Variant VarByRef(short& target) { return VA::MakeRef(varSmallint, &target); }
Variant VarByRef(int& target) { return VA::MakeRef(varInteger, &target); }
Variant VarByRef(float& target) { return VA::MakeRef(varSingle, &target); }
Variant VarByRef(double& target) { return VA::MakeRef(varDouble, &target); }
Variant VarByRef(Currency& target) { return VA::MakeRef(varCurrency, &target); }
Variant VarByRef(bool& target) { return VA::MakeRef(varBoolean, &target); }
Variant VarByRef(signed char& target) { return VA::MakeRef(varShortInt, &target); }
Variant VarByRef(unsigned char& target) { return VA::MakeRef(varByte, &target); }
Variant VarByRef(Word& target) { return VA::MakeRef(varWord, &target); }
Variant VarByRef(Cardinal& target) { return VA::MakeRef(varLongWord, &target); }
Variant VarByRef(Int64& target) { return VA::MakeRef(varInt64, &target); }
Variant VarByRef(UInt64& target) { return VA::MakeRef(varUInt64, &target); }
Variant VarByRef(String& target) { return VA::MakeRef(varUString, &target); }
Variant VarByRef(RawByteString& target) { return VA::MakeRef(varString, &target); }
Variant VarByRef(Variant& target) { return VA::MakeRef(varVariant, &target); }

Variant VarArrayRef(Variant& array) {
  if (!VarIsArray(array)) InvalidArgError();
  if (VarIsByRef(array)) return array;
  return VA::MakeRef(array.VType(), &array);
}

void VarCopyNoInd(Variant& dest, const Variant& source) {
  Variant h;
  Variant copy = VA::Deref(source, h);
  dest = std::move(copy);
}

// ---------------------------------------------------------------------------
// Custom variant types
// ---------------------------------------------------------------------------

TCustomVariantType::TCustomVariantType(String name) : name_(std::move(name)) {
  CustomTypeRegistry& r = Registry();
  std::lock_guard<std::mutex> lock(r.Lock);
  if (r.Next > varLastCustom) throw EVariantError(L"Too many custom variant types have been registered");
  varType_ = r.Next++;
  r.Slots[varType_ - varFirstCustom].store(this);
}

TCustomVariantType::~TCustomVariantType() {
  CustomTypeRegistry& r = Registry();
  std::lock_guard<std::mutex> lock(r.Lock);
  r.Slots[varType_ - varFirstCustom].store(nullptr);
}

Variant TCustomVariantType::MakeVariant(std::unique_ptr<TCustomVarValue> value) const {
  return VA::MakeCustom(varType_, std::move(value));
}

const TCustomVarValue& TCustomVariantType::ValueOf(const Variant& v) {
  if (!IsCustomType(VA::Type(v))) InvalidArgError();
  return VA::C(v);
}

bool FindCustomVariantType(TVarType type, const TCustomVariantType*& customType) {
  customType = IsCustomType(type) ? Registry().Slots[type - varFirstCustom].load() : nullptr;
  return customType != nullptr;
}
