// SQL time stamps (TSQLTimeStamp) and the SQLTimeStamp custom variant type
// that carries them.
#pragma once

#include "platform/core/SysUtils.h"
#include "platform/core/Variants.h"

#include <cstdint>

// The platform's record, field by field; 16 bytes on every target. A stamp
// whose year, month and day are all 0 holds a time of day only.
struct TSQLTimeStamp {
  std::int16_t Year = 0;
  Word Month = 0;
  Word Day = 0;
  Word Hour = 0;
  Word Minute = 0;
  Word Second = 0;
  LongWord Fractions = 0;   // milliseconds
  friend bool operator==(const TSQLTimeStamp&, const TSQLTimeStamp&) = default;
};
static_assert(sizeof(TSQLTimeStamp) == 16, "TSQLTimeStamp is stored as 16 bytes");

inline constexpr TSQLTimeStamp NullSQLTimeStamp{};

// EConvertError "Invalid SQL date/time values" for a field out of range
// (month 13, 30 February, hour 24, 1000 milliseconds ...).
void CheckSqlTimeStamp(const TSQLTimeStamp& value);
// The stamp's date and time; EConvertError as CheckSqlTimeStamp.
TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& value);
// To the millisecond; EConvertError for a value beyond the years 1..9999.
TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime value);
// Formatted as FormatDateTime does; an empty format is the short date format,
// a blank and the long time format.
String SQLTimeStampToStr(const String& format, const TSQLTimeStamp& value);
String SQLTimeStampToStr(const String& format, const TSQLTimeStamp& value, const TFormatSettings& settings);
// Read as StrToDateTime reads; EConvertError "'s' is not a valid SQL time stamp".
TSQLTimeStamp StrToSQLTimeStamp(const String& s);
TSQLTimeStamp StrToSQLTimeStamp(const String& s, const TFormatSettings& settings);
bool TryStrToSQLTimeStamp(const String& s, TSQLTimeStamp& value);
bool TryStrToSQLTimeStamp(const String& s, TSQLTimeStamp& value, const TFormatSettings& settings);

// The SQLTimeStamp custom variant type (its code is assigned when first asked
// for). Beside a date or a number it compares as a date; as text it is
// SQLTimeStampToStr with the empty format.
TVarType VarSQLTimeStamp();
Variant VarSQLTimeStampCreate(const TSQLTimeStamp& value);   // EConvertError for an invalid stamp
Variant VarSQLTimeStampCreate(TDateTime value);
Variant VarSQLTimeStampCreate(const String& value);
bool VarIsSQLTimeStamp(const Variant& v);
// A SQLTimeStamp variant's own stamp; any other value converted (text by
// StrToSQLTimeStamp, numbers and dates as dates). The variant errors of a
// conversion.
TSQLTimeStamp VarToSQLTimeStamp(const Variant& v);

// Module step: registers the variant type, so that its code does not depend
// on which code uses it first.
void SqlTimStInitialize();
