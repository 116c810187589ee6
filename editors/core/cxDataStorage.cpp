#include "editors/core/cxDataStorage.h"

#include "editors/core/cxVariants.h"
#include "foundation/dxCore.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FMTBcd.h"
#include "platform/core/SqlTimSt.h"
#include "platform/core/SysUtils.h"

#include <algorithm>
#include <cstring>

namespace {

template <class T>
T Get(const void* P) {
  T value;
  std::memcpy(&value, P, sizeof(T));
  return value;
}

template <class T>
void Put(void* P, const T& value) {
  std::memcpy(P, &value, sizeof(T));
}

template <class T>
int Sign(const T& A, const T& B) {
  return (A > B) - (A < B);
}

String*& TextHolder(void* ASlot) { return *static_cast<String**>(ASlot); }
String* TextHolder(const void* ASlot) { return *static_cast<String* const*>(ASlot); }

bool UsesUnicodeText(TStream* AStream) {
  const auto* dataStream = dynamic_cast<const TcxDataStream*>(AStream);
  return dataStream && dataStream->UnicodeText;
}

void WriteTextByForm(TStream* AStream, const String& AText) {
  if (UsesUnicodeText(AStream))
    cxWriteWideStringToStream(AStream, AText);
  else
    cxWriteAnsiStringToStream(AStream, AText);
}

String ReadTextByForm(TStream* AStream) {
  if (UsesUnicodeText(AStream)) return cxReadWideStringFromStream(AStream);
  return dxDecodeAnsiString(cxReadAnsiStringFromStream(AStream), CP_ACP);
}

// Nil holders first: both nil 0, only the first -1, only the second 1.
bool CompareHolders(const void* P1, const void* P2, int& AResult) {
  if (P1 && P2) return false;
  AResult = P1 ? 1 : (P2 ? -1 : 0);
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Base
// ---------------------------------------------------------------------------

TcxValueTypeClass TcxValueType::Instance() {
  static const TcxValueType instance;
  return &instance;
}

void TcxValueType::ReleaseTextHolder(void* ASlot) const {
  delete TextHolder(ASlot);
  TextHolder(ASlot) = nullptr;
}

Variant TcxValueType::LoadValue(const void*) const { return Null(); }

String TcxValueType::FormatDefaultText(const void* ABuffer) const {
  try {
    return VarToStr(LoadValue(ABuffer));
  } catch (EVariantError&) {
    return String();
  }
}

String TcxValueType::LoadText(const void* ASlot) const {
  const String* holder = TextHolder(ASlot);
  return holder ? *holder : String();
}

void TcxValueType::LoadValueFromStream(void* ABuffer, TStream* AStream) const {
  StoreValue(ABuffer, cxReadVariantFromStream(AStream));
}

void TcxValueType::LoadTextFromStream(void* ASlot, TStream* AStream) const {
  StoreText(ASlot, ReadTextByForm(AStream));
}

void TcxValueType::StoreText(void* ASlot, const String& AText) const {
  String*& holder = TextHolder(ASlot);
  if (!holder)
    holder = new String(AText);
  else
    *holder = AText;
}

void TcxValueType::SaveValueToStream(const void* ABuffer, TStream* AStream) const {
  cxWriteVariantToStream(AStream, LoadValue(ABuffer));
}

void TcxValueType::SaveTextToStream(const void* ASlot, TStream* AStream) const {
  WriteTextByForm(AStream, LoadText(ASlot));
}

String TcxValueType::Caption() const {
  String result = ClassName();
  if (result.rfind(L"Tcx", 0) == 0) result.erase(0, 3);
  const std::size_t pos = result.find(L"ValueType");
  if (pos != String::npos) result.erase(pos, 9);
  return result;
}

int TcxValueType::CompareValues(const void* P1, const void* P2) const {
  return cxCompareVariants(LoadValue(P1), LoadValue(P2));
}

bool TcxValueType::IsValueValid(Variant& Value) const {
  if (VarIsNull(Value) || GetVarType() == varVariant) return true;
  try {
    Value = VarAsType(Value, GetVarType());
    return true;
  } catch (EVariantError&) {
    return false;
  }
}

#define CX_VALUE_TYPE_INSTANCE(Name)     \
  TcxValueTypeClass Name::Instance() {   \
    static const Name instance;          \
    return &instance;                    \
  }

// ---------------------------------------------------------------------------
// String and WideString: a pointer to a heap string
// ---------------------------------------------------------------------------

CX_VALUE_TYPE_INSTANCE(TcxStringValueType)

int TcxStringValueType::CompareStored(const void* P1, const void* P2) const {
  return CompareValues(TextHolder(P1), TextHolder(P2));
}

void TcxStringValueType::ReleaseBuffer(void* ABuffer) const { ReleaseTextHolder(ABuffer); }

Variant TcxStringValueType::LoadValue(const void* ABuffer) const {
  const String* holder = TextHolder(ABuffer);
  if (!holder) return Null();
  return Variant(*holder);
}

void TcxStringValueType::LoadValueFromStream(void* ABuffer, TStream* AStream) const {
  StoreText(ABuffer, ReadTextByForm(AStream));
}

void TcxStringValueType::StoreValue(void* ABuffer, const Variant& Value) const {
  StoreText(ABuffer, VarToStr(Value));
}

void TcxStringValueType::SaveValueToStream(const void* ABuffer, TStream* AStream) const {
  WriteTextByForm(AStream, LoadText(ABuffer));
}

int TcxStringValueType::CompareValues(const void* P1, const void* P2) const {
  int result;
  if (CompareHolders(P1, P2, result)) return result;
  const int order = static_cast<const String*>(P1)->compare(*static_cast<const String*>(P2));
  return (order > 0) - (order < 0);
}

Variant TcxStringValueType::GetValue(const void* P) const {
  const void* buffer = P;
  return LoadValue(&buffer);
}

void TcxStringValueType::PrepareValueBuffer(const void*& PBuffer) const { PBuffer = TextHolder(PBuffer); }

CX_VALUE_TYPE_INSTANCE(TcxWideStringValueType)

Variant TcxWideStringValueType::LoadValue(const void* ABuffer) const {
  const String* holder = TextHolder(ABuffer);
  if (!holder) return Null();
  return VarAsType(Variant(*holder), varOleStr);
}

void TcxWideStringValueType::LoadValueFromStream(void* ABuffer, TStream* AStream) const {
  StoreText(ABuffer, cxReadWideStringFromStream(AStream));
}

void TcxWideStringValueType::StoreValue(void* ABuffer, const Variant& Value) const {
  StoreText(ABuffer, VarToStr(Value));
}

void TcxWideStringValueType::SaveValueToStream(const void* ABuffer, TStream* AStream) const {
  cxWriteWideStringToStream(AStream, VarToStr(LoadValue(ABuffer)));
}

// ---------------------------------------------------------------------------
// Fixed-width numbers
// ---------------------------------------------------------------------------

CX_VALUE_TYPE_INSTANCE(TcxSmallintValueType)
Variant TcxSmallintValueType::LoadValue(const void* B) const { return Variant(Get<short>(B)); }
void TcxSmallintValueType::LoadValueFromStream(void* B, TStream* S) const { Put<short>(B, cxReadSmallintFromStream(S)); }
void TcxSmallintValueType::StoreValue(void* B, const Variant& V) const {
  Put<short>(B, static_cast<short>(VarAsType(V, varSmallint).AsInteger()));
}
void TcxSmallintValueType::SaveValueToStream(const void* B, TStream* S) const { cxWriteSmallintToStream(S, Get<short>(B)); }
int TcxSmallintValueType::CompareValues(const void* P1, const void* P2) const {
  return Get<short>(P1) - Get<short>(P2);
}

CX_VALUE_TYPE_INSTANCE(TcxIntegerValueType)
Variant TcxIntegerValueType::LoadValue(const void* B) const { return Variant(Get<std::int32_t>(B)); }
void TcxIntegerValueType::LoadValueFromStream(void* B, TStream* S) const { Put<std::int32_t>(B, cxReadIntegerFromStream(S)); }
void TcxIntegerValueType::StoreValue(void* B, const Variant& V) const { Put<std::int32_t>(B, V.AsInteger()); }
void TcxIntegerValueType::SaveValueToStream(const void* B, TStream* S) const { cxWriteIntegerToStream(S, Get<std::int32_t>(B)); }
// By order, not by subtraction: the difference of two 32-bit values of
// opposite sign does not fit into 32 bits.
int TcxIntegerValueType::CompareValues(const void* P1, const void* P2) const {
  return Sign(Get<std::int32_t>(P1), Get<std::int32_t>(P2));
}

CX_VALUE_TYPE_INSTANCE(TcxWordValueType)
Variant TcxWordValueType::LoadValue(const void* B) const { return Variant(Get<Word>(B)); }
void TcxWordValueType::LoadValueFromStream(void* B, TStream* S) const { Put<Word>(B, cxReadWordFromStream(S)); }
void TcxWordValueType::StoreValue(void* B, const Variant& V) const {
  Put<Word>(B, static_cast<Word>(VarAsType(V, varWord).AsInteger()));
}
void TcxWordValueType::SaveValueToStream(const void* B, TStream* S) const { cxWriteWordToStream(S, Get<Word>(B)); }
int TcxWordValueType::CompareValues(const void* P1, const void* P2) const { return int(Get<Word>(P1)) - Get<Word>(P2); }

CX_VALUE_TYPE_INSTANCE(TcxBooleanValueType)
Variant TcxBooleanValueType::LoadValue(const void* B) const { return Variant(Get<Byte>(B) != 0); }
String TcxBooleanValueType::FormatDefaultText(const void* B) const {
  try {
    return BoolToStr(LoadValue(B).AsBoolean(), true);
  } catch (EVariantError&) {
    return String();
  }
}
void TcxBooleanValueType::LoadValueFromStream(void* B, TStream* S) const {
  Put<Byte>(B, cxReadBooleanFromStream(S) ? 1 : 0);
}
void TcxBooleanValueType::StoreValue(void* B, const Variant& V) const { Put<Byte>(B, V.AsBoolean() ? 1 : 0); }
void TcxBooleanValueType::SaveValueToStream(const void* B, TStream* S) const {
  cxWriteBooleanToStream(S, Get<Byte>(B) != 0);
}
int TcxBooleanValueType::CompareValues(const void* P1, const void* P2) const {
  return int(Get<Byte>(P1)) - Get<Byte>(P2);
}

CX_VALUE_TYPE_INSTANCE(TcxFloatValueType)
Variant TcxFloatValueType::LoadValue(const void* B) const { return Variant(Get<double>(B)); }
void TcxFloatValueType::LoadValueFromStream(void* B, TStream* S) const { Put<double>(B, cxReadExtendedFromStream(S)); }
void TcxFloatValueType::StoreValue(void* B, const Variant& V) const { Put<double>(B, V.AsDouble()); }
void TcxFloatValueType::SaveValueToStream(const void* B, TStream* S) const { cxWriteExtendedToStream(S, Get<double>(B)); }
int TcxFloatValueType::CompareValues(const void* P1, const void* P2) const {
  const double a = Get<double>(P1), b = Get<double>(P2);
  if (a == b) return 0;
  return a > b ? 1 : -1;
}

CX_VALUE_TYPE_INSTANCE(TcxCurrencyValueType)
Variant TcxCurrencyValueType::LoadValue(const void* B) const { return Variant(Currency::FromRaw(Get<Int64>(B))); }
void TcxCurrencyValueType::LoadValueFromStream(void* B, TStream* S) const {
  Put<Int64>(B, cxReadCurrencyFromStream(S).Value);
}
void TcxCurrencyValueType::StoreValue(void* B, const Variant& V) const { Put<Int64>(B, V.AsCurrency().Value); }
void TcxCurrencyValueType::SaveValueToStream(const void* B, TStream* S) const {
  cxWriteCurrencyToStream(S, Currency::FromRaw(Get<Int64>(B)));
}
int TcxCurrencyValueType::CompareValues(const void* P1, const void* P2) const {
  const Int64 a = Get<Int64>(P1), b = Get<Int64>(P2);
  if (a == b) return 0;
  return a < b ? -1 : 1;
}

CX_VALUE_TYPE_INSTANCE(TcxDateTimeValueType)
Variant TcxDateTimeValueType::LoadValue(const void* B) const { return VarFromDateTime(Get<double>(B)); }
String TcxDateTimeValueType::FormatDefaultText(const void* B) const {
  try {
    return VarToStr(LoadValue(B));
  } catch (EVariantError&) {
    return FormatDateTime(String(), Get<double>(B));
  }
}
void TcxDateTimeValueType::LoadValueFromStream(void* B, TStream* S) const { Put<double>(B, cxReadDateTimeFromStream(S)); }
void TcxDateTimeValueType::StoreValue(void* B, const Variant& V) const { Put<double>(B, VarToDateTime(V)); }
void TcxDateTimeValueType::SaveValueToStream(const void* B, TStream* S) const { cxWriteDateTimeToStream(S, Get<double>(B)); }
int TcxDateTimeValueType::CompareValues(const void* P1, const void* P2) const {
  return TcxFloatValueType::Instance()->CompareValues(P1, P2);
}

CX_VALUE_TYPE_INSTANCE(TcxLargeIntValueType)
Variant TcxLargeIntValueType::LoadValue(const void* B) const { return Variant(Get<Int64>(B)); }
void TcxLargeIntValueType::LoadValueFromStream(void* B, TStream* S) const { Put<Int64>(B, cxReadLargeIntFromStream(S)); }
void TcxLargeIntValueType::StoreValue(void* B, const Variant& V) const { Put<Int64>(B, V.AsInt64()); }
void TcxLargeIntValueType::SaveValueToStream(const void* B, TStream* S) const { cxWriteLargeIntToStream(S, Get<Int64>(B)); }
int TcxLargeIntValueType::CompareValues(const void* P1, const void* P2) const {
  return Sign(Get<Int64>(P1), Get<Int64>(P2));
}

// ---------------------------------------------------------------------------
// BCD numbers and SQL time stamps
// ---------------------------------------------------------------------------

CX_VALUE_TYPE_INSTANCE(TcxFMTBcdValueType)
Variant TcxFMTBcdValueType::LoadValue(const void* B) const { return VarFMTBcdCreate(Get<TBcd>(B)); }
String TcxFMTBcdValueType::FormatDefaultText(const void* B) const {
  return BcdToStrF(Get<TBcd>(B), ffGeneral, 0, 0);
}
void TcxFMTBcdValueType::StoreValue(void* B, const Variant& V) const { Put<TBcd>(B, VarToBcd(V)); }
int TcxFMTBcdValueType::CompareValues(const void* P1, const void* P2) const {
  return BcdCompare(Get<TBcd>(P1), Get<TBcd>(P2));
}
TVarType TcxFMTBcdValueType::GetVarType() const { return VarFMTBcd(); }

CX_VALUE_TYPE_INSTANCE(TcxSQLTimeStampValueType)
Variant TcxSQLTimeStampValueType::LoadValue(const void* B) const {
  return VarFromDateTime(SQLTimeStampToDateTime(Get<TSQLTimeStamp>(B)));
}
void TcxSQLTimeStampValueType::StoreValue(void* B, const Variant& V) const {
  Put<TSQLTimeStamp>(B, VarToSQLTimeStamp(V));
}
int TcxSQLTimeStampValueType::CompareValues(const void* P1, const void* P2) const {
  const TSQLTimeStamp a = Get<TSQLTimeStamp>(P1), b = Get<TSQLTimeStamp>(P2);
  const Word fieldsA[] = {static_cast<Word>(a.Year), a.Month, a.Day, a.Hour, a.Minute, a.Second};
  const Word fieldsB[] = {static_cast<Word>(b.Year), b.Month, b.Day, b.Hour, b.Minute, b.Second};
  for (int i = 0; i < 6; ++i)
    if (fieldsA[i] != fieldsB[i]) return int(fieldsA[i]) - fieldsB[i];
  return Sign(a.Fractions, b.Fractions);
}
TVarType TcxSQLTimeStampValueType::GetVarType() const { return VarSQLTimeStamp(); }

// ---------------------------------------------------------------------------
// Variant and Object
// ---------------------------------------------------------------------------

namespace {
Variant*& VariantHolder(void* B) { return *static_cast<Variant**>(B); }
Variant* VariantHolder(const void* B) { return *static_cast<Variant* const*>(B); }
}  // namespace

CX_VALUE_TYPE_INSTANCE(TcxVariantValueType)

int TcxVariantValueType::CompareStored(const void* P1, const void* P2) const {
  return CompareValues(VariantHolder(P1), VariantHolder(P2));
}

void TcxVariantValueType::ReleaseBuffer(void* B) const {
  delete VariantHolder(B);
  VariantHolder(B) = nullptr;
}

Variant TcxVariantValueType::LoadValue(const void* B) const {
  const Variant* holder = VariantHolder(B);
  return holder ? *holder : Null();
}

void TcxVariantValueType::StoreValue(void* B, const Variant& V) const {
  Variant*& holder = VariantHolder(B);
  if (!holder)
    holder = new Variant(V);
  else
    *holder = V;
}

int TcxVariantValueType::CompareValues(const void* P1, const void* P2) const {
  int result;
  if (CompareHolders(P1, P2, result)) return result;
  return cxCompareVariants(*static_cast<const Variant*>(P1), *static_cast<const Variant*>(P2));
}

Variant TcxVariantValueType::GetValue(const void* P) const {
  const void* buffer = P;
  return LoadValue(&buffer);
}

void TcxVariantValueType::PrepareValueBuffer(const void*& PBuffer) const { PBuffer = VariantHolder(PBuffer); }

CX_VALUE_TYPE_INSTANCE(TcxObjectValueType)

void TcxObjectValueType::ReleaseBuffer(void* B) const {
  TObject* object = Get<TObject*>(B);
  Put<TObject*>(B, nullptr);
  TObject::Free(object);
}

Variant TcxObjectValueType::LoadValue(const void* B) const {
  const auto reference = reinterpret_cast<NativeInt>(Get<TObject*>(B));
  if constexpr (sizeof(void*) == 8) return Variant(static_cast<Int64>(reference));
  return Variant(static_cast<int>(reference));
}

void TcxObjectValueType::StoreValue(void* B, const Variant& V) const {
  Put<TObject*>(B, reinterpret_cast<TObject*>(static_cast<NativeInt>(V.AsInt64())));
}

int TcxObjectValueType::CompareValues(const void* P1, const void* P2) const {
  return Sign(reinterpret_cast<NativeUInt>(Get<TObject*>(P1)), reinterpret_cast<NativeUInt>(Get<TObject*>(P2)));
}

// ---------------------------------------------------------------------------
// Registry
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TcxDataStream, TStream, nullptr)
IMPLEMENT_CLASS(TcxValueTypeClassList, TObject, nullptr)

void TcxValueTypeClassList::RegisterItem(TcxValueTypeClass AClass) {
  if (std::find(FItems.begin(), FItems.end(), AClass) == FItems.end()) FItems.push_back(AClass);
}

void TcxValueTypeClassList::UnregisterItem(TcxValueTypeClass AClass) {
  const auto it = std::find(FItems.begin(), FItems.end(), AClass);
  if (it != FItems.end()) FItems.erase(it);
}

TcxValueTypeClass TcxValueTypeClassList::ItemByCaption(const String& ACaption) const {
  for (TcxValueTypeClass item : FItems)
    if (item->Caption() == ACaption) return item;
  return nullptr;
}

namespace {

TcxValueTypeClassList*& Registry() {
  static TcxValueTypeClassList* registry = nullptr;
  return registry;
}

TcxValueTypeClass const* Kinds(std::size_t& ACount) {
  static const TcxValueTypeClass kinds[] = {
      TcxStringValueType::Instance(),   TcxWideStringValueType::Instance(), TcxSmallintValueType::Instance(),
      TcxIntegerValueType::Instance(),  TcxWordValueType::Instance(),       TcxBooleanValueType::Instance(),
      TcxFloatValueType::Instance(),    TcxCurrencyValueType::Instance(),   TcxDateTimeValueType::Instance(),
      TcxLargeIntValueType::Instance(), TcxFMTBcdValueType::Instance(),     TcxSQLTimeStampValueType::Instance(),
      TcxVariantValueType::Instance(),  TcxObjectValueType::Instance(),
  };
  ACount = std::size(kinds);
  return kinds;
}

}  // namespace

TcxValueTypeClassList* cxValueTypeRegistry() {
  if (!Registry()) Registry() = Make<TcxValueTypeClassList>();
  return Registry();
}

void cxDataStorageInitialize() {
  std::size_t count;
  TcxValueTypeClass const* kinds = Kinds(count);
  for (std::size_t i = 0; i < count; ++i) cxValueTypeRegistry()->RegisterItem(kinds[i]);
}

void cxDataStorageFinalize() {
  std::size_t count;
  TcxValueTypeClass const* kinds = Kinds(count);
  if (Registry())
    for (std::size_t i = count; i-- > 0;) Registry()->UnregisterItem(kinds[i]);
  FreeAndNil(Registry());
}
