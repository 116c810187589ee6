// References (varByRef) and the locking and resizing of variant arrays.
#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"
#include "platform/core/Variants.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

TBytes Stored(const Variant& v) {
  auto stream = MakeOwned<TBytesStream>();
  {
    auto writer = MakeOwned<TWriter>(stream.get());
    writer->WriteVariant(v);
  }
  return stream->Bytes();
}

}  // namespace

TEST(VariantRef, ReadsTheValueAsItIsNow) {
  short smallint = 1;
  int integer = 1;
  double real = 1.5;
  TDateTime date = 45000.0;
  Currency money = Currency::FromRaw(15000);
  bool flag = false;
  Int64 big = 1;
  Word word = 1;
  String text = L"a";
  RawByteString bytes = "\x80";
  Variant inner = 7;
  struct Row {
    const char* name;
    Variant ref;
    TVarType type;
    std::function<void()> change;
    Variant expected;  // after the change
  };
  const std::vector<Row> rows = {
      {"smallint", VarByRef(smallint), varSmallint, [&] { smallint = -2; }, short(-2)},
      {"integer", VarByRef(integer), varInteger, [&] { integer = 1 << 30; }, 1 << 30},
      {"double", VarByRef(real), varDouble, [&] { real = -0.25; }, -0.25},
      {"date", VarByRef(varDate, &date), varDate, [&] { date = 45001.5; }, VarFromDateTime(45001.5)},
      {"currency", VarByRef(money), varCurrency, [&] { money = Currency::FromRaw(-5); }, Currency::FromRaw(-5)},
      {"boolean", VarByRef(flag), varBoolean, [&] { flag = true; }, true},
      {"int64", VarByRef(big), varInt64, [&] { big = INT64_MIN; }, Int64(INT64_MIN)},
      {"word", VarByRef(word), varWord, [&] { word = 65535; }, Word(65535)},
      {"ustring", VarByRef(text), varUString, [&] { text = L"\u5c9a"; }, L"\u5c9a"},
      {"bytes", VarByRef(bytes), varString, [&] { bytes = RawByteString("\0\xFF", 2); },
       RawByteString("\0\xFF", 2)},
      {"variant", VarByRef(inner), varVariant, [&] { inner = L"seven"; }, L"seven"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_TRUE(VarIsByRef(r.ref));
    EXPECT_EQ(VarType(r.ref), r.type | varByRef);
    const Variant copy = r.ref;  // a copy refers to the same value
    r.change();
    EXPECT_TRUE(VarSameValue(r.ref, r.expected));
    EXPECT_TRUE(copy == r.expected);
    EXPECT_EQ(VarToStr(copy), VarToStr(r.expected));
    Variant value;
    VarCopyNoInd(value, r.ref);
    EXPECT_FALSE(VarIsByRef(value));
    EXPECT_EQ(VarType(value), VarType(r.expected));
    EXPECT_EQ(Stored(r.ref), Stored(r.expected)) << "stored as the value";
  }
  // Classification looks through the reference; VarType alone shows it.
  Variant nothing = Null();
  EXPECT_TRUE(VarIsNull(VarByRef(nothing)));
  EXPECT_TRUE(VarIsType(VarByRef(integer), varInteger));
  EXPECT_TRUE(VarIsStr(VarByRef(bytes)));
  EXPECT_TRUE(VarIsNumeric(VarByRef(real)));
  EXPECT_EQ(VarAsType(VarByRef(integer), varDouble).AsDouble(), double(1 << 30));
}

TEST(VariantRef, RefusesWhatItCannotReferTo) {
  int x = 0;
  for (TVarType t : {varEmpty, varNull, varDispatch, TVarType(varArray | varInteger), TVarType(varInteger | varByRef)})
    EXPECT_THROW(VarByRef(t, &x), EVariantInvalidArgError) << t;
  EXPECT_THROW(VarByRef(varInteger, nullptr), EVariantInvalidArgError);
  Variant scalar = 1;
  EXPECT_THROW(VarArrayRef(scalar), EVariantInvalidArgError);

  // A variant made to refer to itself raises instead of looping.
  Variant self;
  Variant ref = VarByRef(self);
  self = ref;
  EXPECT_THROW(VarToStr(self), EVariantInvalidArgError);
}

TEST(VariantRef, ArrayReferenceWorksOnTheArray) {
  Variant a = VarArrayCreate({1, 3}, varInteger);
  const Variant ref = VarArrayRef(a);
  EXPECT_EQ(VarType(ref), varArray | varInteger | varByRef);
  EXPECT_TRUE(VarIsArray(ref));
  EXPECT_EQ(VarArrayLowBound(ref, 1), 1);
  Variant writer = ref;
  VarArrayPut(writer, 42, 2);
  EXPECT_EQ(VarArrayGet(a, 2).AsInteger(), 42) << "a put through the reference lands in the array";
  VarArrayRedim(a, 4);
  EXPECT_EQ(VarArrayHighBound(ref, 1), 4);
  VarArrayLock(ref);
  EXPECT_THROW(VarArrayRedim(a, 5), EVariantArrayLockedError);
  VarArrayUnlock(a);
  const Variant back = [&] {
    auto stream = MakeOwned<TBytesStream>(Stored(ref));
    auto reader = MakeOwned<TReader>(stream.get());
    return reader->ReadVariant();
  }();
  ASSERT_EQ(VarArrayHighBound(back, 1), 3);
  EXPECT_EQ(VarArrayGet(back, 1).AsInteger(), 42);
}

TEST(VariantArrayLock, GivesTheElementsInTheirNativeForm) {
  Variant bytes = VarArrayCreate({1, 4}, varByte);
  for (int i = 1; i <= 4; ++i) VarArrayPut(bytes, 0x7E + i, i);
  auto* b = static_cast<std::uint8_t*>(VarArrayLock(bytes));
  EXPECT_EQ(b[0], 0x7F);
  EXPECT_EQ(b[3], 0x82);
  b[1] = 0xFE;
  VarArrayUnlock(bytes);
  EXPECT_EQ(VarArrayGet(bytes, 2).AsInteger(), 0xFE);

  Variant grid = VarArrayCreate({0, 1, 0, 2}, varDouble);
  VarArrayPut(grid, 1.5, {1, 0});
  const auto* d = static_cast<const double*>(VarArrayLock(grid));
  EXPECT_EQ(d[3], 1.5) << "the last index runs fastest";
  VarArrayUnlock(grid);

  Variant flags = VarArrayCreate({0, 1}, varBoolean);
  VarArrayPut(flags, true, 1);
  const auto* f = static_cast<const std::int16_t*>(VarArrayLock(flags));
  EXPECT_EQ(f[0], 0);
  EXPECT_EQ(f[1], -1);
  VarArrayUnlock(flags);

  Variant texts = VarArrayCreate({0, 0}, varUString);
  static_cast<String*>(VarArrayLock(texts))[0] = L"\u5c9a";
  VarArrayUnlock(texts);
  EXPECT_EQ(VarArrayGet(texts, 0).AsString(), L"\u5c9a");

  Variant any = VarArrayOf({1, L"x"});
  EXPECT_EQ(static_cast<const Variant*>(VarArrayLock(any))[1].AsString(), L"x");
  VarArrayUnlock(any);
}

TEST(VariantArrayLock, LockedArrayCannotBeResizedOrReplaced) {
  Variant a = VarArrayCreate({0, 2}, varInteger);
  VarArrayPut(a, 5, 2);
  auto* p = static_cast<int*>(VarArrayLock(a));
  VarArrayLock(a);  // locks nest
  EXPECT_THROW(VarArrayRedim(a, 10), EVariantArrayLockedError);
  EXPECT_THROW(a.Clear(), EVariantArrayLockedError);
  EXPECT_THROW(a = 1, EVariantArrayLockedError);
  EXPECT_THROW(a = VarArrayOf({1}), EVariantArrayLockedError);
  EXPECT_EQ(p[2], 5) << "the pinned elements are still there";
  EXPECT_EQ(VarArrayHighBound(a, 1), 2);

  // A copy is an array of its own, not locked.
  Variant copy = a;
  VarArrayRedim(copy, 0);
  copy.Clear();

  VarArrayUnlock(a);
  EXPECT_THROW(VarArrayRedim(a, 10), EVariantArrayLockedError) << "one lock still held";
  VarArrayUnlock(a);
  EXPECT_THROW(VarArrayUnlock(a), EVariantUnexpectedError);
  VarArrayRedim(a, 3);
  a = 1;
  EXPECT_THROW(VarArrayLock(a), EVariantInvalidArgError);
  EXPECT_THROW(VarArrayUnlock(a), EVariantInvalidArgError);
}

TEST(VariantArrayLock, RedimKeepsTheElementsThatStay) {
  Variant row = VarArrayOf({1, 2, 3});
  VarArrayRedim(row, 4);
  EXPECT_EQ(VarArrayGet(row, 2).AsInteger(), 3);
  EXPECT_TRUE(VarIsEmpty(VarArrayGet(row, 4)));
  VarArrayRedim(row, 0);
  EXPECT_EQ(VarArrayHighBound(row, 1), 0);
  EXPECT_EQ(VarArrayGet(row, 0).AsInteger(), 1);
  VarArrayRedim(row, -1);
  EXPECT_THROW(VarArrayGet(row, 0), EVariantBadIndexError);
  EXPECT_THROW(VarArrayRedim(row, -2), EVariantInvalidArgError);

  // Two dimensions: the last one changes, every (i, j) kept keeps its value.
  Variant grid = VarArrayCreate({1, 2, 5, 6}, varInteger);
  for (int i = 1; i <= 2; ++i)
    for (int j = 5; j <= 6; ++j) VarArrayPut(grid, i * 10 + j, {i, j});
  VarArrayRedim(grid, 7);
  EXPECT_EQ(VarArrayHighBound(grid, 2), 7);
  EXPECT_EQ(VarArrayGet(grid, {2, 6}).AsInteger(), 26);
  EXPECT_EQ(VarArrayGet(grid, {1, 5}).AsInteger(), 15);
  EXPECT_EQ(VarArrayGet(grid, {2, 7}).AsInteger(), 0);
  VarArrayRedim(grid, 5);
  EXPECT_EQ(VarArrayGet(grid, {2, 5}).AsInteger(), 25);
  EXPECT_THROW(VarArrayGet(grid, {2, 6}), EVariantBadIndexError);
}
