#include "platform/WinApi.h"
#include "platform/core/SqlTimSt.h"

#include <memory>

namespace {

[[noreturn]] void InvalidStamp() { throw EConvertError(L"Invalid SQL date/time values"); }

// 1 January 1 and 31 December 9999 as days counted from 1 January 1 (day 1).
constexpr int kFirstDay = 1;
constexpr int kLastDay = 3652059;

bool DateIsZero(const TSQLTimeStamp& v) { return v.Year == 0 && v.Month == 0 && v.Day == 0; }

struct TSQLTimeStampValue final : TCustomVarValue {
  TSQLTimeStamp Stamp;
  explicit TSQLTimeStampValue(const TSQLTimeStamp& stamp) : Stamp(stamp) {}
  std::unique_ptr<TCustomVarValue> Clone() const override { return std::make_unique<TSQLTimeStampValue>(Stamp); }
};

int CompareStamps(const TSQLTimeStamp& a, const TSQLTimeStamp& b) {
  const int fields[][2] = {{a.Year, b.Year},     {a.Month, b.Month},   {a.Day, b.Day},
                           {a.Hour, b.Hour},     {a.Minute, b.Minute}, {a.Second, b.Second}};
  for (const auto& f : fields)
    if (f[0] != f[1]) return f[0] < f[1] ? -1 : 1;
  if (a.Fractions != b.Fractions) return a.Fractions < b.Fractions ? -1 : 1;
  return 0;
}

class TSQLTimeStampVariantType final : public TCustomVariantType {
 public:
  TSQLTimeStampVariantType() : TCustomVariantType(L"SQLTimeStamp") {}

  Variant Create(const TSQLTimeStamp& stamp) const {
    return MakeVariant(std::make_unique<TSQLTimeStampValue>(stamp));
  }
  static const TSQLTimeStamp& StampOf(const Variant& v) {
    return static_cast<const TSQLTimeStampValue&>(ValueOf(v)).Stamp;
  }

  Variant CastTo(const Variant& source, TVarType type) const override {
    const TVarType self = VarType();
    try {
      const TSQLTimeStamp& stamp = StampOf(source);
      if (type == varOleStr || type == varUString || type == varString)
        return VarAsType(Variant(SQLTimeStampToStr(String(), stamp)), type);
      const Variant date = VarFromDateTime(SQLTimeStampToDateTime(stamp));
      return VarAsType(date, type);
    } catch (EConvertError&) {
      VarCastError(self, type);
    } catch (EVariantOverflowError&) {
      VarOverflowError(self, type);
    } catch (EVariantTypeCastError&) {
      VarCastError(self, type);
    }
  }

  Variant Cast(const Variant& source) const override {
    const TVarType self = VarType();
    const TVarType from = source.VType();
    if (from == varOleStr || from == varUString || from == varString) {
      TSQLTimeStamp stamp;
      if (!TryStrToSQLTimeStamp(source.AsString(), stamp)) VarCastError(from, self);
      return Create(stamp);
    }
    try {
      return Create(DateTimeToSQLTimeStamp(VarAsType(source, varDate).AsDateTime()));
    } catch (EVariantOverflowError&) {
      VarOverflowError(from, self);
    } catch (EVariantTypeCastError&) {
      VarCastError(from, self);
    } catch (EConvertError&) {
      VarOverflowError(from, self);
    }
  }

  TVariantRelationship Compare(const Variant& left, const Variant& right) const override {
    const TSQLTimeStamp a = StampOf(left);
    const TSQLTimeStamp b = right.VType() == VarType() ? StampOf(right) : StampOf(Cast(right));
    const int c = CompareStamps(a, b);
    return c < 0 ? vrLessThan : c > 0 ? vrGreaterThan : vrEqual;
  }
};

const TSQLTimeStampVariantType& SQLTimeStampType() {
  static const TSQLTimeStampVariantType type;
  return type;
}

}  // namespace

void CheckSqlTimeStamp(const TSQLTimeStamp& v) {
  if (!DateIsZero(v)) {
    if (v.Year < 1 || v.Year > 9999 || v.Month < 1 || v.Month > 12) InvalidStamp();
    if (v.Day < 1 || v.Day > DaysInAMonth(v.Year, v.Month)) InvalidStamp();
  }
  if (v.Hour > 23 || v.Minute > 59 || v.Second > 59 || v.Fractions > 999) InvalidStamp();
}

TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& v) {
  CheckSqlTimeStamp(v);
  if (DateIsZero(v)) return EncodeTime(v.Hour, v.Minute, v.Second, int(v.Fractions));
  return EncodeDateTime(v.Year, v.Month, v.Day, v.Hour, v.Minute, v.Second, int(v.Fractions));
}

TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime value) {
  TTimeStamp ts;
  try {
    ts = DateTimeToTimeStamp(value);
  } catch (EInvalidOp&) {
    InvalidStamp();
  }
  if (ts.Date < kFirstDay || ts.Date > kLastDay) InvalidStamp();
  Word year = 0, month = 0, day = 0;
  DecodeDate(double(ts.Date - DateDelta), year, month, day);
  TSQLTimeStamp r;
  r.Year = std::int16_t(year);
  r.Month = month;
  r.Day = day;
  r.Hour = Word(ts.Time / 3600000);
  r.Minute = Word(ts.Time / 60000 % 60);
  r.Second = Word(ts.Time / 1000 % 60);
  r.Fractions = LongWord(ts.Time % 1000);
  return r;
}

String SQLTimeStampToStr(const String& format, const TSQLTimeStamp& value) {
  return SQLTimeStampToStr(format, value, FormatSettings());
}

String SQLTimeStampToStr(const String& format, const TSQLTimeStamp& value, const TFormatSettings& settings) {
  const String f = format.empty() ? settings.ShortDateFormat + L" " + settings.LongTimeFormat : format;
  return FormatDateTime(f, SQLTimeStampToDateTime(value), settings);
}

TSQLTimeStamp StrToSQLTimeStamp(const String& s) { return StrToSQLTimeStamp(s, FormatSettings()); }

TSQLTimeStamp StrToSQLTimeStamp(const String& s, const TFormatSettings& settings) {
  TSQLTimeStamp r;
  if (!TryStrToSQLTimeStamp(s, r, settings)) throw EConvertError(L"'" + s + L"' is not a valid SQL time stamp");
  return r;
}

bool TryStrToSQLTimeStamp(const String& s, TSQLTimeStamp& value) {
  return TryStrToSQLTimeStamp(s, value, FormatSettings());
}

bool TryStrToSQLTimeStamp(const String& s, TSQLTimeStamp& value, const TFormatSettings& settings) {
  TDateTime dt = 0;
  if (!TryStrToDateTime(s, dt, settings)) return false;
  try {
    value = DateTimeToSQLTimeStamp(dt);
  } catch (EConvertError&) {
    return false;
  }
  return true;
}

TVarType VarSQLTimeStamp() { return SQLTimeStampType().VarType(); }

Variant VarSQLTimeStampCreate(const TSQLTimeStamp& value) {
  CheckSqlTimeStamp(value);
  return SQLTimeStampType().Create(value);
}

Variant VarSQLTimeStampCreate(TDateTime value) {
  return SQLTimeStampType().Create(DateTimeToSQLTimeStamp(value));
}

Variant VarSQLTimeStampCreate(const String& value) {
  return SQLTimeStampType().Create(StrToSQLTimeStamp(value));
}

bool VarIsSQLTimeStamp(const Variant& v) { return VarIsType(v, VarSQLTimeStamp()); }

TSQLTimeStamp VarToSQLTimeStamp(const Variant& v) {
  Variant value;
  if (VarIsSQLTimeStamp(v))
    VarCopyNoInd(value, v);
  else
    value = VarAsType(v, VarSQLTimeStamp());
  return TSQLTimeStampVariantType::StampOf(value);
}

void SqlTimStInitialize() { SQLTimeStampType(); }
