// Binary-coded decimal numbers (TBcd) of up to 64 digits and the FMTBcd
// custom variant type that carries them.
//
// Rounding to fewer digits (NormalizeBcd, the formats, conversion to an
// integer or a currency) goes half away from zero, as decimal arithmetic
// does; texts use the format settings' decimal separator.
#pragma once

#include "platform/core/SysUtils.h"
#include "platform/core/Variants.h"

DECLARE_EXCEPTION(EBcdException, Exception)           // text that is no number, a damaged record
DECLARE_EXCEPTION(EBcdOverflowException, EBcdException)  // more digits than the record holds

constexpr int MaxFMTBcdFractionSize = 64;   // digits a TBcd holds

// The platform's record: `Precision` digits, the last `Places` of them after
// the decimal point, packed two to a byte (the first in the high nibble).
// The bytes are the stored form: the same on every target.
#pragma pack(push, 1)
struct TBcd {
  Byte Precision = 0;          // 0..64; 0 is zero
  Byte SignSpecialPlaces = 0;  // bit 7 negative, bit 6 special, bits 0..5 places
  Byte Fraction[32] = {};
};
#pragma pack(pop)
static_assert(sizeof(TBcd) == 34, "TBcd is stored as 34 bytes");

// The digits the record holds and how many of them follow the point.
Word BcdPrecision(const TBcd& bcd);
Word BcdScale(const TBcd& bcd);
bool IsBcdNegative(const TBcd& bcd);

// Blanks, a sign, digits with at most one decimal separator and an optional
// exponent ("1.5E3"). The digits after the point are kept (StrToBcd("1.50")
// has scale 2). EBcdException for other text ("'x' is not a valid BCD
// value"); EBcdOverflowException for more than 64 integer digits. Fraction
// digits beyond the record's room are rounded off.
TBcd StrToBcd(const String& s);
TBcd StrToBcd(const String& s, const TFormatSettings& settings);
// False for text StrToBcd refuses.
bool TryStrToBcd(const String& s, TBcd& bcd);
bool TryStrToBcd(const String& s, TBcd& bcd, const TFormatSettings& settings);

// Every digit, without trailing zeros after the point and never in
// exponent form ("-1234.5", "0.001", "0").
String BcdToStr(const TBcd& bcd);
String BcdToStr(const TBcd& bcd, const TFormatSettings& settings);
// ffGeneral: `precision` significant digits (all of them when precision is
// 0 or less), exponent form when the integer part has more digits than
// that; ffFixed and ffNumber (with thousand separators): `digits` digits
// after the point, general form when the integer part has more than
// `precision` digits (when precision > 0); ffCurrency and ffExponent as the
// currency or float formats give them.
String BcdToStrF(const TBcd& bcd, TFloatFormat format, int precision, int digits);
String BcdToStrF(const TBcd& bcd, TFloatFormat format, int precision, int digits, const TFormatSettings& settings);

// The nearest double.
double BcdToDouble(const TBcd& bcd);
// The double's 15 significant digits. EBcdException for NaN, EBcdOverflowException
// for infinities.
TBcd DoubleToBcd(double value);
TBcd IntegerToBcd(Int64 value);
// Rounded (or truncated) to a whole number; EBcdOverflowException when it does
// not fit.
int BcdToInteger(const TBcd& bcd, bool truncate = false);
Int64 BcdToInt64(const TBcd& bcd, bool truncate = false);
// The amount with `decimals` places in at most `precision` digits; false when
// it does not fit.
bool CurrToBCD(Currency value, TBcd& bcd, int precision = 32, int decimals = 4);
// Rounded to four places; false when it is beyond the currency range.
bool BCDToCurr(const TBcd& bcd, Currency& value);

// -1, 0 or 1 by value: 1.5 and 1.50 are equal.
int BcdCompare(const TBcd& a, const TBcd& b);
// `in` with exactly `places` digits after the point in `precision` digits
// (1..64, places 0..precision; EBcdException otherwise); false when the
// integer part does not fit.
bool NormalizeBcd(const TBcd& in, TBcd& out, int precision, int places);

// The FMTBcd custom variant type (its code is assigned when first asked for).
TVarType VarFMTBcd();
// The text read by StrToBcd and held with `precision` digits and `scale`
// places (EBcdOverflowException when it does not fit).
Variant VarFMTBcdCreate(const String& value, Word precision, Word scale);
Variant VarFMTBcdCreate(double value, Word precision = 18, Word scale = 4);
Variant VarFMTBcdCreate(const TBcd& value);
bool VarIsFMTBcd(const Variant& v);
// A FMTBcd variant's own number; any other value read from its text
// (StrToBcd of VarToStr).
TBcd VarToBcd(const Variant& v);

// Module step: registers the variant type, so that its code does not depend
// on which code uses it first.
void FMTBcdInitialize();
