// The platform's Variant: one value of any of the platform's variant kinds,
// tagged with its VarType code, with the platform's conversion and comparison
// rules, plus variant arrays.
#pragma once

#include "platform/core/System.h"
#include <initializer_list>

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
constexpr TVarType varString = 0x0100;
constexpr TVarType varUString = 0x0102;
constexpr TVarType varTypeMask = 0x0FFF;
constexpr TVarType varArray = 0x2000;

enum TVariantRelationship : int { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

struct TVarArrayData;

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
  Variant& operator=(Variant&& o) noexcept {
    if (this != &o) {
      Clear();
      vt_ = o.vt_;
      u_ = o.u_;
      o.vt_ = varEmpty;
    }
    return *this;
  }
  ~Variant() { Clear(); }

  // The type code, with varArray set for an array (its element type below).
  TVarType VType() const noexcept { return vt_; }
  // Back to Empty.
  void Clear() noexcept {
    if (OnHeap()) FreeHeap();
    vt_ = varEmpty;
    u_.i = 0;
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
  bool OnHeap() const noexcept {
    return (vt_ & varArray) || vt_ == varOleStr || vt_ == varString || vt_ == varUString;
  }
  void CopyHeap(const Variant& o);
  void FreeHeap() noexcept;

  TVarType vt_ = varEmpty;
  union Payload {
    Int64 i;     // every integer kind but UInt64, Boolean (0/1), Currency (x 10,000), Error
    UInt64 u;
    float f;
    double d;    // Double and Date
    String* s;   // OleStr, String and UString
    TVarArrayData* a;
  } u_;
};

Variant Null();
Variant Unassigned();
Variant VarFromDateTime(TDateTime value);

TVarType VarType(const Variant& v);
bool VarIsType(const Variant& v, TVarType type);
bool VarIsType(const Variant& v, std::initializer_list<TVarType> types);
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
