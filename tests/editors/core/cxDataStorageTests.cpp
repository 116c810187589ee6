#include "platform/WinApi.h"
#include "editors/core/cxDataStorage.h"

#include "editors/core/cxVariants.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FMTBcd.h"
#include "platform/core/SqlTimSt.h"
#include "platform/core/SysUtils.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

// A value buffer big enough for any kind, released by its kind.
struct TBuffer {
  explicit TBuffer(TcxValueTypeClass AKind) : Kind(AKind) {}
  ~TBuffer() { Kind->ReleaseBuffer(Bytes.data()); }
  TcxValueTypeClass Kind;
  alignas(8) std::array<Byte, 40> Bytes{};
  void* Data() { return Bytes.data(); }
};

TMemoryStream* NewStream() { return Make<TMemoryStream>(); }

}  // namespace

TEST(cxValueTypeRegistry, TheFourteenKindsAreRegisteredInOrderAndFoundByExactCaption) {
  TcxValueTypeClassList* registry = cxValueTypeRegistry();
  const Char* captions[] = {L"String",   L"WideString", L"Smallint", L"Integer", L"Word",
                            L"Boolean",  L"Float",      L"Currency", L"DateTime", L"LargeInt",
                            L"FMTBcd",   L"SQLTimeStamp", L"Variant", L"Object"};
  ASSERT_EQ(registry->Count(), 14);
  for (int i = 0; i < 14; ++i) EXPECT_EQ(registry->Items(i)->Caption(), captions[i]);
  EXPECT_EQ(registry->ItemByCaption(L"DateTime"), TcxDateTimeValueType::Instance());
  EXPECT_EQ(registry->ItemByCaption(L"datetime"), nullptr);
  EXPECT_EQ(TcxValueType::Instance()->Caption(), L"");
  registry->RegisterItem(TcxIntegerValueType::Instance());
  EXPECT_EQ(registry->Count(), 14);
  registry->UnregisterItem(TcxValueType::Instance());
  EXPECT_EQ(registry->Count(), 14);
}

TEST(cxValueTypes, ValuesGoThroughTheBufferAndTheStreamUnchanged) {
  TSQLTimeStamp stamp;
  stamp.Year = 2020;
  stamp.Month = 5;
  stamp.Day = 17;
  stamp.Hour = 8;
  struct TCase {
    TcxValueTypeClass Kind;
    Variant Value;
  } cases[] = {
      {TcxStringValueType::Instance(), Variant(String(L"text a"))},
      {TcxWideStringValueType::Instance(), Variant(String(L"wide \u4E2D"))},
      {TcxSmallintValueType::Instance(), Variant(short(-300))},
      {TcxIntegerValueType::Instance(), Variant(-2000000000)},
      {TcxWordValueType::Instance(), Variant(Word(65000))},
      {TcxBooleanValueType::Instance(), Variant(true)},
      {TcxFloatValueType::Instance(), Variant(0.1)},
      {TcxCurrencyValueType::Instance(), Variant(Currency(12.3456))},
      {TcxDateTimeValueType::Instance(), VarFromDateTime(45000.25)},
      {TcxLargeIntValueType::Instance(), Variant(Int64(-1) << 60)},
      {TcxFMTBcdValueType::Instance(), VarFMTBcdCreate(String(L"-123.45"), 10, 2)},
      {TcxSQLTimeStampValueType::Instance(), VarSQLTimeStampCreate(stamp)},
      {TcxVariantValueType::Instance(), VarArrayOf({Variant(1), Variant(String(L"x"))})},
  };
  for (bool unicode : {false, true}) {
    for (const TCase& c : cases) {
      SCOPED_TRACE(testing::Message() << c.Kind->Caption().size() << " " << unicode);
      TBuffer source(c.Kind), target(c.Kind);
      c.Kind->StoreValue(source.Data(), c.Value);
      TMemoryStream* memory = NewStream();
      TcxDataStream* stream = Make<TcxDataStream>(memory, unicode);
      c.Kind->SaveValueToStream(source.Data(), stream);
      stream->SetPosition(0);
      c.Kind->LoadValueFromStream(target.Data(), stream);
      EXPECT_EQ(stream->Remaining(), 0);
      EXPECT_EQ(c.Kind->CompareStored(source.Data(), target.Data()), 0);
      EXPECT_TRUE(cxVariantsEqual(c.Kind->LoadValue(target.Data()), c.Kind->LoadValue(source.Data())));
      TObject::Free(stream);
      TObject::Free(memory);
    }
  }
}

TEST(cxValueTypes, StringsUseTheFormTheStreamAsksFor) {
  TBuffer buffer(TcxStringValueType::Instance());
  TcxStringValueType::Instance()->StoreValue(buffer.Data(), Variant(String(L"ab")));
  for (bool unicode : {false, true}) {
    TMemoryStream* memory = NewStream();
    TcxDataStream* stream = Make<TcxDataStream>(memory, unicode);
    TcxStringValueType::Instance()->SaveValueToStream(buffer.Data(), stream);
    EXPECT_EQ(memory->Size(), unicode ? 4 + 4 : 4 + 2);
    TObject::Free(stream);
    TObject::Free(memory);
  }
  // Any other stream takes the ANSI form.
  TMemoryStream* plain = NewStream();
  TcxStringValueType::Instance()->SaveValueToStream(buffer.Data(), plain);
  EXPECT_EQ(plain->Size(), 6);
  TObject::Free(plain);
  // The wide kind always writes the wide form.
  TBuffer wide(TcxWideStringValueType::Instance());
  TcxWideStringValueType::Instance()->StoreValue(wide.Data(), Variant(String(L"ab")));
  TMemoryStream* wideStream = NewStream();
  TcxWideStringValueType::Instance()->SaveValueToStream(wide.Data(), wideStream);
  EXPECT_EQ(wideStream->Size(), 8);
  TObject::Free(wideStream);
}

TEST(cxValueTypes, CompareGivesTheRightOrder) {
  auto compare = [](TcxValueTypeClass kind, const Variant& a, const Variant& b) {
    TBuffer x(kind), y(kind);
    if (!VarIsNull(a)) kind->StoreValue(x.Data(), a);
    if (!VarIsNull(b)) kind->StoreValue(y.Data(), b);
    const int r = kind->CompareStored(x.Data(), y.Data());
    return (r > 0) - (r < 0);
  };
  struct TCase {
    const char* Name;
    TcxValueTypeClass Kind;
    Variant A, B;
    int Sign;
  } cases[] = {
      {"integers of opposite sign far apart", TcxIntegerValueType::Instance(), Variant(2000000000),
       Variant(-2000000000), 1},
      {"integer extremes", TcxIntegerValueType::Instance(), Variant(-2147483647 - 1), Variant(2147483647), -1},
      {"smallints", TcxSmallintValueType::Instance(), Variant(short(-32768)), Variant(short(32767)), -1},
      {"words", TcxWordValueType::Instance(), Variant(Word(65535)), Variant(Word(0)), 1},
      {"booleans", TcxBooleanValueType::Instance(), Variant(false), Variant(true), -1},
      {"floats", TcxFloatValueType::Instance(), Variant(-0.5), Variant(0.25), -1},
      {"currencies", TcxCurrencyValueType::Instance(), Variant(Currency(3)), Variant(Currency(3)), 0},
      {"large ints", TcxLargeIntValueType::Instance(), Variant(Int64(1) << 62), Variant(-(Int64(1) << 62)), 1},
      {"strings b a", TcxStringValueType::Instance(), Variant(String(L"b")), Variant(String(L"a")), 1},
      {"strings B a by code unit", TcxStringValueType::Instance(), Variant(String(L"B")), Variant(String(L"a")), -1},
      {"string nil nil", TcxStringValueType::Instance(), Null(), Null(), 0},
      {"string nil text", TcxStringValueType::Instance(), Null(), Variant(String()), -1},
      {"variant nil first", TcxVariantValueType::Instance(), Variant(1), Null(), 1},
      {"bcd", TcxFMTBcdValueType::Instance(), VarFMTBcdCreate(1.5), VarFMTBcdCreate(String(L"1.50"), 5, 2), 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(compare(c.Kind, c.A, c.B), c.Sign);
  }
  TSQLTimeStamp a, b;
  a.Year = b.Year = 2020;
  a.Month = 1;
  b.Month = 2;
  a.Day = 31;
  b.Day = 1;
  EXPECT_EQ(compare(TcxSQLTimeStampValueType::Instance(), VarSQLTimeStampCreate(a), VarSQLTimeStampCreate(b)), -1);
}

TEST(cxValueTypes, NilHoldersLoadNullAndTextsDefault) {
  TBuffer text(TcxStringValueType::Instance());
  EXPECT_TRUE(VarIsNull(TcxStringValueType::Instance()->LoadValue(text.Data())));
  TBuffer variant(TcxVariantValueType::Instance());
  EXPECT_TRUE(VarIsNull(TcxVariantValueType::Instance()->LoadValue(variant.Data())));
  TBuffer flag(TcxBooleanValueType::Instance());
  TcxBooleanValueType::Instance()->StoreValue(flag.Data(), Variant(true));
  EXPECT_EQ(TcxBooleanValueType::Instance()->FormatDefaultText(flag.Data()), L"True");
  TBuffer bcd(TcxFMTBcdValueType::Instance());
  TcxFMTBcdValueType::Instance()->StoreValue(bcd.Data(), Variant(String(L"2.50")));
  EXPECT_EQ(TcxFMTBcdValueType::Instance()->FormatDefaultText(bcd.Data()), L"2.5");
  // A text-holder slot.
  String* slot = nullptr;
  TcxValueType::Instance()->StoreText(&slot, L"note");
  EXPECT_EQ(TcxValueType::Instance()->LoadText(&slot), L"note");
  TcxValueType::Instance()->ReleaseTextHolder(&slot);
  EXPECT_EQ(slot, nullptr);
  EXPECT_EQ(TcxValueType::Instance()->LoadText(&slot), L"");
}

TEST(cxValueTypes, IsValueValidConvertsOrLeavesTheValue) {
  Variant text(String(L"12"));
  EXPECT_TRUE(TcxIntegerValueType::Instance()->IsValueValid(text));
  EXPECT_EQ(VarType(text), varInteger);
  EXPECT_EQ(text.AsInteger(), 12);
  Variant bad(String(L"x"));
  EXPECT_FALSE(TcxIntegerValueType::Instance()->IsValueValid(bad));
  EXPECT_EQ(bad.AsString(), L"x");
  Variant null = Null();
  EXPECT_TRUE(TcxIntegerValueType::Instance()->IsValueValid(null));
  Variant anything(String(L"y"));
  EXPECT_TRUE(TcxVariantValueType::Instance()->IsValueValid(anything));
  EXPECT_EQ(VarType(anything), varUString);
}

TEST(cxValueTypes, AnObjectIsOwnedAndNeverStreamed) {
  TBuffer buffer(TcxObjectValueType::Instance());
  TObject* object = Make<TObject>();
  std::memcpy(buffer.Data(), &object, sizeof(object));
  TMemoryStream* stream = NewStream();
  TcxObjectValueType::Instance()->SaveValueToStream(buffer.Data(), stream);
  TcxObjectValueType::Instance()->LoadValueFromStream(buffer.Data(), stream);
  EXPECT_EQ(stream->Size(), 0);
  TObject::Free(stream);
  // The buffer's release frees the object.
}
