#include "editors/core/cxVariants.h"

#include "editors/core/cxDataConsts.h"
#include "foundation/dxCore.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FMTBcd.h"
#include "platform/core/SqlTimSt.h"
#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"

#include <cmath>
#include <cstring>
#include <limits>

// ---------------------------------------------------------------------------
// Comparison and classification
// ---------------------------------------------------------------------------

int cxCompareVariants(const Variant& V1, const Variant& V2) {
  if (VarIsArray(V1) || VarIsArray(V2)) return cxCompareVariantArrays(V1, V2);
  return cxCompareScalarVariants(V1, V2);
}

int cxCompareVariantArrays(const Variant& V1, const Variant& V2) {
  const bool isArray1 = VarIsArray(V1);
  const bool isArray2 = VarIsArray(V2);
  if (isArray1 && !isArray2) return 1;
  if (!isArray1 && isArray2) return -1;
  if (!isArray1) return cxCompareVariants(V1, V2);
  const int high1 = VarArrayHighBound(V1, 1);
  const int high2 = VarArrayHighBound(V2, 1);
  if (high1 != high2) return high1 - high2;
  // Arrays need not start at 0: each is walked from its own lower bound, so
  // no element outside either array is ever read.
  const int low1 = VarArrayLowBound(V1, 1);
  const int low2 = VarArrayLowBound(V2, 1);
  const int count1 = high1 - low1 + 1;
  const int count2 = high2 - low2 + 1;
  for (int i = 0; i < count1 && i < count2; ++i) {
    const int result = cxCompareVariants(VarArrayGet(V1, low1 + i), VarArrayGet(V2, low2 + i));
    if (result != 0) return result;
  }
  return count1 - count2;
}

int cxCompareScalarVariants(const Variant& V1, const Variant& V2) {
  try {
    if (VarIsEmpty(V1)) return VarIsEmpty(V2) ? 0 : -1;
    if (VarIsEmpty(V2)) return 1;
    if (V1 == V2) return 0;
    if (VarIsNull(V1)) return -1;
    if (VarIsNull(V2)) return 1;
    return V1 < V2 ? -1 : 1;
  } catch (EVariantError&) {
    return -1;
  }
}

bool cxVariantsEqual(const Variant& V1, const Variant& V2) { return cxCompareVariants(V1, V2) == 0; }

bool cxVariantsMatchStrict(const Variant& V1, const Variant& V2) {
  const TVarType type1 = V1.VType();
  const TVarType type2 = V2.VType();
  if (type1 != varNull && type2 != varNull && (type1 == varBoolean || type2 == varBoolean)) {
    try {
      return Variant(V1.AsAnsiString()) == Variant(V2.AsAnsiString());
    } catch (EVariantError&) {
      return false;
    }
  }
  return cxVariantsEqual(V1, V2);
}

bool cxVariantsSameTypeAndValue(const Variant& V1, const Variant& V2) {
  return VarType(V1) == VarType(V2) && cxVariantsMatchStrict(V1, V2);
}

bool cxVarTypeIsDateTime(TVarType AVarType) { return AVarType == varDate || AVarType == VarSQLTimeStamp(); }

bool cxVariantHoldsDateTime(const Variant& V) { return cxVarTypeIsDateTime(VarType(V) & varTypeMask); }

bool cxVariantIsNumberOrBcd(const Variant& V) {
  return VarIsNumeric(V) || (VarType(V) & varTypeMask) == VarFMTBcd();
}

bool cxVariantIsNullOrEmptyText(const Variant& V) {
  return VarIsNull(V) || (VarIsStr(V) && V.AsString().empty());
}

// ---------------------------------------------------------------------------
// Fixed-width helpers
// ---------------------------------------------------------------------------

namespace {

// Tags of the variant stream, in the numbering of the component stream.
enum : Byte {
  tagNull = 0, tagList = 1, tagInt8 = 2, tagInt16 = 3, tagInt32 = 4, tagExtended = 5,
  tagString = 6, tagFalse = 8, tagTrue = 9, tagLString = 12, tagNil = 13, tagSingle = 15,
  tagCurrency = 16, tagDate = 17, tagWString = 18, tagInt64 = 19
};

template <class T>
void WriteRaw(TStream* AStream, const T& AValue) {
  AStream->WriteBuffer(&AValue, sizeof(T));
}

template <class T>
T ReadRaw(TStream* AStream) {
  T value{};
  AStream->ReadBuffer(&value, sizeof(T));
  return value;
}

[[noreturn]] void RaiseReadError() { throw EReadError(LoadResString(&cxSDataReadError)); }
[[noreturn]] void RaiseWriteError() { throw EWriteError(LoadResString(&cxSDataWriteError)); }

// A length or count read from the stream that needs at least AUnitSize bytes
// per unit must fit into what is left: hostile data never makes us allocate
// more than the stream holds.
void CheckAvailable(TStream* AStream, Int64 ACount, Int64 AUnitSize) {
  if (ACount < 0 || ACount > AStream->Remaining() / AUnitSize) RaiseReadError();
}

}  // namespace

void cxDoubleToExtendedBytes(double AValue, Byte (&ABytes)[10]) {
  std::memset(ABytes, 0, sizeof(ABytes));
  UInt64 bits;
  std::memcpy(&bits, &AValue, 8);
  const bool negative = (bits >> 63) != 0;
  int exponent = static_cast<int>((bits >> 52) & 0x7FF);
  UInt64 fraction = bits & 0xFFFFFFFFFFFFFull;
  UInt64 mantissa = 0;
  int extExponent = 0;
  if (exponent == 0x7FF) {  // infinity or NaN
    extExponent = 0x7FFF;
    mantissa = 0x8000000000000000ull | (fraction << 11);
    if (fraction) mantissa |= 0x4000000000000000ull;  // quiet
  } else if (exponent == 0) {
    if (fraction) {  // a denormal double is an ordinary extended
      int shift = 0;
      while (!(fraction & 0x10000000000000ull)) {
        fraction <<= 1;
        ++shift;
      }
      extExponent = 1 - 1023 - shift + 16383;
      mantissa = fraction << 11;
    }
  } else {
    extExponent = exponent - 1023 + 16383;
    mantissa = 0x8000000000000000ull | (fraction << 11);
  }
  std::memcpy(ABytes, &mantissa, 8);
  const unsigned top = static_cast<unsigned>(extExponent) | (negative ? 0x8000u : 0u);
  ABytes[8] = static_cast<Byte>(top & 0xFF);
  ABytes[9] = static_cast<Byte>(top >> 8);
}

double cxExtendedBytesToDouble(const Byte (&ABytes)[10]) {
  UInt64 mantissa;
  std::memcpy(&mantissa, ABytes, 8);
  const int exponent = (ABytes[8] | (ABytes[9] << 8)) & 0x7FFF;
  const bool negative = (ABytes[9] & 0x80) != 0;
  const double sign = negative ? -1.0 : 1.0;
  if (exponent == 0x7FFF) {
    if ((mantissa << 1) == 0) return sign * std::numeric_limits<double>::infinity();
    return std::numeric_limits<double>::quiet_NaN();
  }
  if (exponent != 0 && !(mantissa >> 63)) return std::numeric_limits<double>::quiet_NaN();  // unnormal
  if (mantissa == 0) return sign * 0.0;
  // value = mantissa * 2^(exponent - 16383 - 63); ldexp rounds once to 53 bits
  // only when the mantissa is first cut to what a double can hold exactly.
  const int e = (exponent == 0 ? 1 : exponent) - 16383 - 63;
  const long double value = std::ldexp(static_cast<long double>(mantissa), e);
  return static_cast<double>(sign * value);
}

void cxWriteAnsiStringToStream(TStream* AStream, const AnsiString& S) {
  WriteRaw<std::int32_t>(AStream, static_cast<std::int32_t>(S.size()));
  if (!S.empty()) AStream->WriteBuffer(S.data(), static_cast<NativeInt>(S.size()));
}

void cxWriteAnsiStringToStream(TStream* AStream, const String& S) {
  cxWriteAnsiStringToStream(AStream, dxEncodeWideString(S, CP_ACP));
}

void cxWriteWideStringToStream(TStream* AStream, const String& S) {
  WriteRaw<std::int32_t>(AStream, static_cast<std::int32_t>(S.size()));
  if (!S.empty()) AStream->WriteBuffer(S.data(), static_cast<NativeInt>(S.size() * sizeof(Char)));
}

void cxWriteBooleanToStream(TStream* AStream, bool AValue) { WriteRaw<Byte>(AStream, AValue ? 1 : 0); }

void cxWriteExtendedToStream(TStream* AStream, double AValue) {
  Byte bytes[10];
  cxDoubleToExtendedBytes(AValue, bytes);
  AStream->WriteBuffer(bytes, 10);
}

void cxWriteCurrencyToStream(TStream* AStream, const Currency& AValue) { WriteRaw<Int64>(AStream, AValue.Value); }
void cxWriteDateTimeToStream(TStream* AStream, TDateTime AValue) { WriteRaw<double>(AStream, AValue); }
void cxWriteIntegerToStream(TStream* AStream, int AValue) { WriteRaw<std::int32_t>(AStream, AValue); }
void cxWriteLargeIntToStream(TStream* AStream, Int64 AValue) { WriteRaw<Int64>(AStream, AValue); }
void cxWriteSmallintToStream(TStream* AStream, short AValue) { WriteRaw<std::int16_t>(AStream, AValue); }
void cxWriteWordToStream(TStream* AStream, Word AValue) { WriteRaw<std::uint16_t>(AStream, AValue); }

void cxReadAnsiStringFromStream(TStream* AStream, AnsiString& S) {
  const std::int32_t length = ReadRaw<std::int32_t>(AStream);
  CheckAvailable(AStream, length, 1);
  AnsiString result(static_cast<std::size_t>(length), '\0');
  if (length) AStream->ReadBuffer(result.data(), length);
  S = std::move(result);
}

AnsiString cxReadAnsiStringFromStream(TStream* AStream) {
  AnsiString result;
  cxReadAnsiStringFromStream(AStream, result);
  return result;
}

void cxReadWideStringFromStream(TStream* AStream, String& S) {
  const std::int32_t count = ReadRaw<std::int32_t>(AStream);
  CheckAvailable(AStream, count, sizeof(Char));
  String result(static_cast<std::size_t>(count), L'\0');
  if (count) AStream->ReadBuffer(result.data(), static_cast<NativeInt>(count) * sizeof(Char));
  S = std::move(result);
}

String cxReadWideStringFromStream(TStream* AStream) {
  String result;
  cxReadWideStringFromStream(AStream, result);
  return result;
}

void cxReadBooleanFromStream(TStream* AStream, bool& AValue) { AValue = ReadRaw<Byte>(AStream) != 0; }
bool cxReadBooleanFromStream(TStream* AStream) { return ReadRaw<Byte>(AStream) != 0; }

void cxReadExtendedFromStream(TStream* AStream, double& AValue) { AValue = cxReadExtendedFromStream(AStream); }
double cxReadExtendedFromStream(TStream* AStream) {
  Byte bytes[10];
  AStream->ReadBuffer(bytes, 10);
  return cxExtendedBytesToDouble(bytes);
}

void cxReadCurrencyFromStream(TStream* AStream, Currency& AValue) { AValue = cxReadCurrencyFromStream(AStream); }
Currency cxReadCurrencyFromStream(TStream* AStream) { return Currency::FromRaw(ReadRaw<Int64>(AStream)); }
void cxReadDateTimeFromStream(TStream* AStream, TDateTime& AValue) { AValue = ReadRaw<double>(AStream); }
TDateTime cxReadDateTimeFromStream(TStream* AStream) { return ReadRaw<double>(AStream); }
void cxReadIntegerFromStream(TStream* AStream, int& AValue) { AValue = ReadRaw<std::int32_t>(AStream); }
int cxReadIntegerFromStream(TStream* AStream) { return ReadRaw<std::int32_t>(AStream); }
void cxReadLargeIntFromStream(TStream* AStream, Int64& AValue) { AValue = ReadRaw<Int64>(AStream); }
Int64 cxReadLargeIntFromStream(TStream* AStream) { return ReadRaw<Int64>(AStream); }
void cxReadSmallintFromStream(TStream* AStream, short& AValue) { AValue = ReadRaw<std::int16_t>(AStream); }
short cxReadSmallintFromStream(TStream* AStream) { return ReadRaw<std::int16_t>(AStream); }
void cxReadWordFromStream(TStream* AStream, Word& AValue) { AValue = ReadRaw<std::uint16_t>(AStream); }
Word cxReadWordFromStream(TStream* AStream) { return ReadRaw<std::uint16_t>(AStream); }

// ---------------------------------------------------------------------------
// The variant stream
// ---------------------------------------------------------------------------

namespace {

// An integer in the smallest of the four widths that holds it.
void WriteStoredInteger(TStream* AStream, Int64 V) {
  if (V >= -128 && V <= 127) {
    WriteRaw<Byte>(AStream, tagInt8);
    WriteRaw<std::int8_t>(AStream, static_cast<std::int8_t>(V));
  } else if (V >= -32768 && V <= 32767) {
    WriteRaw<Byte>(AStream, tagInt16);
    WriteRaw<std::int16_t>(AStream, static_cast<std::int16_t>(V));
  } else if (V >= -2147483648LL && V <= 2147483647LL) {
    WriteRaw<Byte>(AStream, tagInt32);
    WriteRaw<std::int32_t>(AStream, static_cast<std::int32_t>(V));
  } else {
    WriteRaw<Byte>(AStream, tagInt64);
    WriteRaw<Int64>(AStream, V);
  }
}

// The payload of an integer tag; any tag but 2, 3 and 4 reads 8 bytes.
Int64 ReadStoredIntegerPayload(TStream* AStream, Byte ATag) {
  switch (ATag) {
    case tagInt8: return ReadRaw<std::int8_t>(AStream);
    case tagInt16: return ReadRaw<std::int16_t>(AStream);
    case tagInt32: return ReadRaw<std::int32_t>(AStream);
    default: return ReadRaw<Int64>(AStream);
  }
}

void WriteAnsiRule(TStream* AStream, const AnsiString& S) {
  if (S.size() >= 256) {
    WriteRaw<Byte>(AStream, tagLString);
    WriteRaw<std::int32_t>(AStream, static_cast<std::int32_t>(S.size()));
  } else {
    WriteRaw<Byte>(AStream, tagString);
    WriteRaw<Byte>(AStream, static_cast<Byte>(S.size()));
  }
  if (!S.empty()) AStream->WriteBuffer(S.data(), static_cast<NativeInt>(S.size()));
}

Variant ReadAnsiPayload(TStream* AStream, Int64 ALength) {
  CheckAvailable(AStream, ALength, 1);
  RawByteString bytes(static_cast<std::size_t>(ALength), '\0');
  if (ALength) AStream->ReadBuffer(bytes.data(), static_cast<NativeInt>(ALength));
  return Variant(std::move(bytes));
}

Variant ReadValue(TStream* AStream, int ADepth) {
  const Byte tag = ReadRaw<Byte>(AStream);
  switch (tag) {
    case tagNull: return Null();
    case tagList: {
      if (ADepth >= cxMaxVariantStreamDepth) RaiseReadError();
      const Byte countTag = ReadRaw<Byte>(AStream);
      const Int64 count = ReadStoredIntegerPayload(AStream, countTag);
      // Every element takes at least its tag byte.
      CheckAvailable(AStream, count, 1);
      Variant result = VarArrayCreate({0, static_cast<int>(count) - 1}, varVariant);
      for (int i = 0; i < count; ++i) VarArrayPut(result, ReadValue(AStream, ADepth + 1), i);
      return result;
    }
    case tagInt8: return Variant(static_cast<signed char>(ReadRaw<std::int8_t>(AStream)));
    case tagInt16: return Variant(static_cast<short>(ReadRaw<std::int16_t>(AStream)));
    case tagInt32: return Variant(static_cast<int>(ReadRaw<std::int32_t>(AStream)));
    case tagInt64: return Variant(static_cast<Int64>(ReadRaw<Int64>(AStream)));
    case tagExtended: return Variant(cxReadExtendedFromStream(AStream));
    case tagString: return ReadAnsiPayload(AStream, ReadRaw<Byte>(AStream));
    case tagLString: return ReadAnsiPayload(AStream, ReadRaw<std::int32_t>(AStream));
    case tagFalse: return Variant(false);
    case tagTrue: return Variant(true);
    case tagNil: return Unassigned();
    case tagSingle: return Variant(ReadRaw<float>(AStream));
    case tagCurrency: return Variant(cxReadCurrencyFromStream(AStream));
    case tagDate: return VarFromDateTime(ReadRaw<double>(AStream));
    case tagWString: {
      String text;
      cxReadWideStringFromStream(AStream, text);
      return Variant(VarAsType(Variant(std::move(text)), varOleStr));
    }
    default: RaiseReadError();
  }
}

}  // namespace

void cxWriteVariantToStream(TStream* AStream, const Variant& V) {
  if (VarIsArray(V)) {
    if (VarArrayDimCount(V) != 1) RaiseWriteError();
    const int low = VarArrayLowBound(V, 1);
    const int high = VarArrayHighBound(V, 1);
    WriteRaw<Byte>(AStream, tagList);
    WriteStoredInteger(AStream, Int64(high) - low + 1);
    for (int i = low; i <= high; ++i) cxWriteVariantToStream(AStream, VarArrayGet(V, i));
    return;
  }
  const TVarType type = VarType(V) & varTypeMask;
  switch (type) {
    case varEmpty: WriteRaw<Byte>(AStream, tagNil); return;
    case varNull: WriteRaw<Byte>(AStream, tagNull); return;
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord:
    case varInt64:
      WriteStoredInteger(AStream, V.AsInt64());
      return;
    case varSingle:
      WriteRaw<Byte>(AStream, tagSingle);
      WriteRaw<float>(AStream, static_cast<float>(V.AsDouble()));
      return;
    case varDouble:
      WriteRaw<Byte>(AStream, tagExtended);
      cxWriteExtendedToStream(AStream, V.AsDouble());
      return;
    case varCurrency:
      WriteRaw<Byte>(AStream, tagCurrency);
      cxWriteCurrencyToStream(AStream, V.AsCurrency());
      return;
    case varDate:
      WriteRaw<Byte>(AStream, tagDate);
      WriteRaw<double>(AStream, V.AsDateTime());
      return;
    case varOleStr: case varUString:
      WriteRaw<Byte>(AStream, tagWString);
      cxWriteWideStringToStream(AStream, V.AsString());
      return;
    case varBoolean: WriteRaw<Byte>(AStream, V.AsBoolean() ? tagTrue : tagFalse); return;
    case varString: WriteAnsiRule(AStream, V.AsAnsiString()); return;
    default: break;
  }
  if (type == VarSQLTimeStamp()) {
    cxWriteVariantToStream(AStream, VarFromDateTime(V.AsDateTime()));
    return;
  }
  AnsiString text;
  try {
    text = dxConvertVariantToAnsi(V);
  } catch (...) {
    RaiseWriteError();
  }
  WriteAnsiRule(AStream, text);
}

void cxReadVariantFromStream(TStream* AStream, Variant& V) { V = ReadValue(AStream, 0); }

Variant cxReadVariantFromStream(TStream* AStream) { return ReadValue(AStream, 0); }
