// Ordering, comparison and classification of variants; the variant stream
// format (one tag byte per value, in the numbering of the component stream's
// value types, then its payload); fixed-width stream helpers for single
// typed values.
#pragma once

#include "platform/core/System.h"
#include "platform/core/Variants.h"

class TStream;

// Negative, 0 or positive. Arrays go to cxCompareVariantArrays.
int cxCompareVariants(const Variant& V1, const Variant& V2);
// An array sorts after a scalar; two arrays by the difference of their upper
// bounds, then element by element from each array's own lower bound, then by
// their element counts.
int cxCompareVariantArrays(const Variant& V1, const Variant& V2);
// Empty first, then equal values, then Null, then by the platform's
// less-than; a variant error gives -1.
int cxCompareScalarVariants(const Variant& V1, const Variant& V2);
bool cxVariantsEqual(const Variant& V1, const Variant& V2);
// A Boolean beside any non-Null value is compared as 8-bit text; a variant
// error gives False. Everything else as cxVariantsEqual.
bool cxVariantsMatchStrict(const Variant& V1, const Variant& V2);
// The same type code and cxVariantsMatchStrict.
bool cxVariantsSameTypeAndValue(const Variant& V1, const Variant& V2);

bool cxVarTypeIsDateTime(TVarType AVarType);
bool cxVariantHoldsDateTime(const Variant& V);
bool cxVariantIsNumberOrBcd(const Variant& V);
bool cxVariantIsNullOrEmptyText(const Variant& V);

// The variant stream. Writing a variant of two or more dimensions, or one
// whose text form cannot be made, raises EWriteError "Stream write error".
void cxWriteVariantToStream(TStream* AStream, const Variant& V);
// Reading an unknown tag, a count or length the stream cannot hold, or
// values nested deeper than cxMaxVariantStreamDepth raises EReadError
// "Stream read error"; a stream that ends early raises the stream's read
// error. V changes only when a whole value was read.
void cxReadVariantFromStream(TStream* AStream, Variant& V);
Variant cxReadVariantFromStream(TStream* AStream);
// Lists inside lists deeper than this are refused.
constexpr int cxMaxVariantStreamDepth = 64;

// Fixed-width helpers: each writes or reads exactly its bytes (see the
// table of the stream format); a short stream raises the stream's read error.
// Lengths and counts read are checked against the bytes left in the stream.
void cxWriteAnsiStringToStream(TStream* AStream, const AnsiString& S);
void cxWriteAnsiStringToStream(TStream* AStream, const String& S);   // converted to CP_ACP first
void cxWriteWideStringToStream(TStream* AStream, const String& S);
void cxWriteBooleanToStream(TStream* AStream, bool AValue);
void cxWriteExtendedToStream(TStream* AStream, double AValue);
void cxWriteCurrencyToStream(TStream* AStream, const Currency& AValue);
void cxWriteDateTimeToStream(TStream* AStream, TDateTime AValue);
void cxWriteIntegerToStream(TStream* AStream, int AValue);
void cxWriteLargeIntToStream(TStream* AStream, Int64 AValue);
void cxWriteSmallintToStream(TStream* AStream, short AValue);
void cxWriteWordToStream(TStream* AStream, Word AValue);

void cxReadAnsiStringFromStream(TStream* AStream, AnsiString& S);
AnsiString cxReadAnsiStringFromStream(TStream* AStream);
void cxReadWideStringFromStream(TStream* AStream, String& S);
String cxReadWideStringFromStream(TStream* AStream);
void cxReadBooleanFromStream(TStream* AStream, bool& AValue);
bool cxReadBooleanFromStream(TStream* AStream);
void cxReadExtendedFromStream(TStream* AStream, double& AValue);
double cxReadExtendedFromStream(TStream* AStream);
void cxReadCurrencyFromStream(TStream* AStream, Currency& AValue);
Currency cxReadCurrencyFromStream(TStream* AStream);
void cxReadDateTimeFromStream(TStream* AStream, TDateTime& AValue);
TDateTime cxReadDateTimeFromStream(TStream* AStream);
void cxReadIntegerFromStream(TStream* AStream, int& AValue);
int cxReadIntegerFromStream(TStream* AStream);
void cxReadLargeIntFromStream(TStream* AStream, Int64& AValue);
Int64 cxReadLargeIntFromStream(TStream* AStream);
void cxReadSmallintFromStream(TStream* AStream, short& AValue);
short cxReadSmallintFromStream(TStream* AStream);
void cxReadWordFromStream(TStream* AStream, Word& AValue);
Word cxReadWordFromStream(TStream* AStream);

// The x87 80-bit extended encoding of a double and back (a pattern the x87
// would not take as an ordinary operand reads as a quiet NaN).
void cxDoubleToExtendedBytes(double AValue, Byte (&ABytes)[10]);
double cxExtendedBytesToDouble(const Byte (&ABytes)[10]);
