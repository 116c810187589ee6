// The platform's Variant: one value of any of the platform's variant kinds,
// tagged with its VarType code, with the platform's conversion and comparison
// rules, plus variant arrays.
#pragma once

#include "platform/core/System.h"
#include <initializer_list>
#include <memory>

struct Currency;

using TVarType = Word;

constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002;
constexpr TVarType varInteger = 0x0003;
constexpr TVarType varSingle = 0x0004;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varCurrency = 0x0006;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varOleStr = 0x0008;
constexpr TVarType varDispatch = 0x0009;
constexpr TVarType varError = 0x000A;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varVariant = 0x000C;
constexpr TVarType varUnknown = 0x000D;
constexpr TVarType varShortInt = 0x0010;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varWord = 0x0012;
constexpr TVarType varLongWord = 0x0013;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varUInt64 = 0x0015;
constexpr TVarType varString = 0x0100;    // bytes (RawByteString), text in the ANSI code page
constexpr TVarType varUString = 0x0102;
// Codes handed out to custom variant types (TCustomVariantType), in order of
// registration.
constexpr TVarType varFirstCustom = 0x010F;
constexpr TVarType varLastCustom = 0x0FFF;
constexpr TVarType varTypeMask = 0x0FFF;
constexpr TVarType varArray = 0x2000;
constexpr TVarType varByRef = 0x4000;

enum TVariantRelationship : int { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

struct TVarArrayData;
class TCustomVarValue;

class Variant {
 public:
  Variant() noexcept { u_.i = 0; }
  Variant(int v) noexcept : Variant(varInteger, Int64(v)) {}
  Variant(long v) noexcept : Variant(varInteger, Int64(v)) {}
  Variant(short v) noexcept : Variant(varSmallint, Int64(v)) {}
  Variant(signed char v) noexcept : Variant(varShortInt, Int64(v)) {}
  Variant(unsigned char v) noexcept : Variant(varByte, Int64(v)) {}
  Variant(Word v) noexcept : Variant(varWord, Int64(v)) {}
  Variant(Cardinal v) noexcept : Variant(varLongWord, Int64(v)) {}
  Variant(unsigned long v) noexcept : Variant(varLongWord, Int64(v)) {}
  Variant(Int64 v) noexcept : Variant(varInt64, v) {}
  Variant(UInt64 v) noexcept : vt_(varUInt64) { u_.u = v; }
  Variant(float v) noexcept : vt_(varSingle) { u_.f = v; }
  Variant(double v) noexcept : vt_(varDouble) { u_.d = v; }
  Variant(bool v) noexcept : Variant(varBoolean, Int64(v)) {}
  Variant(const Currency& v) noexcept;
  Variant(const String& v);
  Variant(String&& v);
  Variant(const Char* v);
  // A byte string (varString): the bytes are kept as they are, whatever the
  // code page; as text they are read in the ANSI code page.
  Variant(const RawByteString& v);
  Variant(RawByteString&& v);
  // A narrow literal or a pointer would otherwise quietly become a Boolean,
  // and a lone character an integer.
  Variant(const char*) = delete;
  Variant(const void*) = delete;
  Variant(char) = delete;
  Variant(Char) = delete;

  Variant(const Variant& o) : vt_(o.vt_), u_(o.u_) {
    if (o.OnHeap()) CopyHeap(o);
  }
  Variant(Variant&& o) noexcept : vt_(o.vt_), u_(o.u_) { o.vt_ = varEmpty; }
  Variant& operator=(const Variant& o) {
    if (this != &o) *this = Variant(o);
    return *this;
  }
  // Raises EVariantArrayLockedError over a locked array (see VarArrayLock).
  Variant& operator=(Variant&& o) {
    if (this != &o) {
      CheckUnlocked();
      Release();
      vt_ = o.vt_;
      u_ = o.u_;
      o.vt_ = varEmpty;
    }
    return *this;
  }
  // An array still locked when its variant ends is freed all the same.
  ~Variant() { Release(); }

  // The type code, with varArray set for an array (its element type below)
  // and varByRef for a reference.
  TVarType VType() const noexcept { return vt_; }
  // Back to Empty. EVariantArrayLockedError for a locked array.
  void Clear() {
    CheckUnlocked();
    Release();
  }

  // Conversions by the platform's rules; each raises EVariantTypeCastError
  // when the value has no such form and EVariantOverflowError when it does
  // not fit.
  int AsInteger() const;
  Int64 AsInt64() const;
  UInt64 AsUInt64() const;
  double AsDouble() const;
  bool AsBoolean() const;
  String AsString() const;
  // 8-bit text: a byte string's own bytes, any other value's text in the
  // ANSI code page.
  RawByteString AsAnsiString() const;
  Currency AsCurrency() const;
  TDateTime AsDateTime() const;

  // Comparison by the platform's rules (see Variants.cpp). A value that
  // cannot be brought to the other's kind raises EVariantTypeCastError.
  friend bool operator==(const Variant& a, const Variant& b);
  friend bool operator!=(const Variant& a, const Variant& b) { return !(a == b); }
  friend bool operator<(const Variant& a, const Variant& b);
  friend bool operator>(const Variant& a, const Variant& b);

 private:
  friend struct VariantAccess;

  Variant(TVarType vt, Int64 v) noexcept : vt_(vt) { u_.i = v; }
  // A reference refers to storage it does not own.
  bool OnHeap() const noexcept {
    if (vt_ & varByRef) return false;
    return (vt_ & varArray) || vt_ == varOleStr || vt_ == varString || vt_ == varUString ||
           (vt_ >= varFirstCustom && vt_ <= varLastCustom);
  }
  void CopyHeap(const Variant& o);
  void FreeHeap() noexcept;
  void Release() noexcept {
    if (OnHeap()) FreeHeap();
    vt_ = varEmpty;
    u_.i = 0;
  }
  void CheckUnlocked() const {
    if ((vt_ & (varArray | varByRef)) == varArray) CheckArrayUnlocked();
  }
  void CheckArrayUnlocked() const;

  TVarType vt_ = varEmpty;
  union Payload {
    Int64 i;     // every integer kind but UInt64, Boolean (0/1), Currency (x 10,000), Error
    UInt64 u;
    float f;
    double d;    // Double and Date
    String* s;   // OleStr and UString
    RawByteString* b;  // String
    TVarArrayData* a;
    TCustomVarValue* c;  // a custom kind's value
    void* p;     // what a reference (varByRef) refers to
  } u_;
};

Variant Null();
Variant Unassigned();
Variant VarFromDateTime(TDateTime value);

TVarType VarType(const Variant& v);
bool VarIsType(const Variant& v, TVarType type);
bool VarIsType(const Variant& v, std::initializer_list<TVarType> types);
// Whether the variant is a reference (varByRef) to a value kept elsewhere.
// Every other routine reads through a reference: VarType alone shows it.
bool VarIsByRef(const Variant& v);
// Whether the value is of a custom kind (see TCustomVariantType).
bool VarIsCustom(const Variant& v);
bool VarIsNull(const Variant& v);
bool VarIsEmpty(const Variant& v);
bool VarIsClear(const Variant& v);
bool VarIsArray(const Variant& v);
bool VarIsStr(const Variant& v);
// Integer kinds and Boolean.
bool VarIsOrdinal(const Variant& v);
// Single, Double and Currency.
bool VarIsFloat(const Variant& v);
bool VarIsNumeric(const Variant& v);
// The platform's name of a type code: "Integer", "UnicodeString", "Array Variant" ...
String VarTypeAsText(TVarType type);

// The variant errors of a conversion, naming both types, for custom types.
[[noreturn]] void VarCastError(TVarType from, TVarType to);
[[noreturn]] void VarOverflowError(TVarType from, TVarType to);

// The value converted to another kind. Raises EVariantTypeCastError or
// EVariantOverflowError.
Variant VarAsType(const Variant& v, TVarType type);
// Text of a value; Null gives "".
String VarToStr(const Variant& v);
// Text of a value; Null gives `def`.
String VarToStrDef(const Variant& v, const String& def);
TDateTime VarToDateTime(const Variant& v);

// Empty matches only Empty and Null only Null; other values compare with ==.
bool VarSameValue(const Variant& a, const Variant& b);
// vrNotEqual when exactly one side is Empty or Null (or the values have no order).
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);

// Variant arrays. `bounds` holds a low and a high bound per dimension; a high
// bound of low - 1 makes a dimension without elements. `elementType` is
// varVariant or one scalar kind, to which stored values are converted.
Variant VarArrayCreate(std::initializer_list<int> bounds, TVarType elementType);
// A one-dimensional array of varVariant elements with bounds 0 .. count-1.
Variant VarArrayOf(std::initializer_list<Variant> values);
int VarArrayDimCount(const Variant& v);               // 0 for a non-array
int VarArrayLowBound(const Variant& v, int dim);      // dim counts from 1
int VarArrayHighBound(const Variant& v, int dim);
// Element access; an index outside the bounds raises EVariantBadIndexError.
Variant VarArrayGet(const Variant& a, int index);
Variant VarArrayGet(const Variant& a, std::initializer_list<int> indices);
void VarArrayPut(Variant& a, const Variant& value, int index);
void VarArrayPut(Variant& a, const Variant& value, std::initializer_list<int> indices);
// Resizes the last dimension to `highBound`; the elements kept keep their
// values, new ones are zero or empty. EVariantArrayLockedError while locked.
void VarArrayRedim(Variant& a, int highBound);
// Pins the elements for direct access: a pointer to all of them, contiguous,
// the last index running fastest, each of its kind's native type (see
// VarByRef; Boolean elements are 16-bit, 0 or -1). While any lock is held the
// array cannot be resized, cleared or assigned over (EVariantArrayLockedError);
// a copy of it is not locked. Each lock needs one VarArrayUnlock
// (EVariantUnexpectedError for one too many).
void* VarArrayLock(const Variant& a);
void VarArrayUnlock(const Variant& a);

// ---------------------------------------------------------------------------
// References (varByRef)
// ---------------------------------------------------------------------------
// A reference refers to a value kept elsewhere, which must outlive it; reading
// the reference reads the value as it is then. Copies of a reference refer to
// the same value; assigning to a reference variant replaces the reference.

// A reference to `target`, a value of the scalar or string kind `type` held in
// its native type: Smallint int16, Integer int32, Single float, Double and
// Date double, Currency Currency, OleStr and UString String, Boolean bool,
// Variant Variant, ShortInt int8, Byte uint8, Word uint16, LongWord uint32,
// Int64 int64, UInt64 uint64, String RawByteString. EVariantInvalidArgError
// for other kinds and a null target.
Variant VarByRef(TVarType type, void* target);
Variant VarByRef(short& target);
Variant VarByRef(int& target);
Variant VarByRef(float& target);
Variant VarByRef(double& target);
Variant VarByRef(Currency& target);
Variant VarByRef(bool& target);
Variant VarByRef(signed char& target);
Variant VarByRef(unsigned char& target);
Variant VarByRef(Word& target);
Variant VarByRef(Cardinal& target);
Variant VarByRef(Int64& target);
Variant VarByRef(UInt64& target);
Variant VarByRef(String& target);
Variant VarByRef(RawByteString& target);
Variant VarByRef(Variant& target);
// A reference to the array `array` holds (varArray | element type |
// varByRef): element access, bounds and locks work on that array.
// EVariantInvalidArgError when `array` holds no array.
Variant VarArrayRef(Variant& array);
// `source` with every reference replaced by the value it refers to.
void VarCopyNoInd(Variant& dest, const Variant& source);

// ---------------------------------------------------------------------------
// Custom variant types
// ---------------------------------------------------------------------------

// The value of a custom kind, owned by its variant.
class TCustomVarValue {
 public:
  virtual ~TCustomVarValue() = default;
  virtual std::unique_ptr<TCustomVarValue> Clone() const = 0;
};

// A kind of value the platform does not know, with its conversions and its
// comparison. An object of a derived class registers itself when constructed
// and takes the next free code from varFirstCustom on (EVariantError when none
// is left); it is kept for the life of the process (a function-local static)
// and unregisters itself when destroyed.
class TCustomVariantType {
 public:
  explicit TCustomVariantType(String name);
  virtual ~TCustomVariantType();
  TCustomVariantType(const TCustomVariantType&) = delete;
  TCustomVariantType& operator=(const TCustomVariantType&) = delete;

  TVarType VarType() const { return varType_; }
  // Shown by VarTypeAsText.
  const String& Name() const { return name_; }

  // `source`, of this kind, as a value of the standard kind `type`.
  virtual Variant CastTo(const Variant& source, TVarType type) const = 0;
  // `source`, of any other kind but Null and arrays, as a value of this kind.
  virtual Variant Cast(const Variant& source) const = 0;
  // Orders `left`, of this kind, and `right`, of any kind but Null and arrays.
  virtual TVariantRelationship Compare(const Variant& left, const Variant& right) const = 0;

 protected:
  // A variant of this kind holding `value`.
  Variant MakeVariant(std::unique_ptr<TCustomVarValue> value) const;
  // The value a variant of a custom kind holds (not a reference).
  static const TCustomVarValue& ValueOf(const Variant& v);

 private:
  TVarType varType_ = 0;
  String name_;
};

// The registered type of a code; false when there is none.
bool FindCustomVariantType(TVarType type, const TCustomVariantType*& customType);
