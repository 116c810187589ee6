#include "platform/WinApi.h"
#include "platform/core/ResStrings.h"

#include <gtest/gtest.h>

namespace {

// The ids match tests/platform/core/core_tests.rc; 64100 is not in it.
RESOURCESTRING(sFromTable, 64000, L"compiled default")
RESOURCESTRING(sChinese, 64001, L"unused")
RESOURCESTRING(sLong, 64002, L"unused")
RESOURCESTRING(sMissing, 64100, L"Fallback text")

String LongText() {
  String s;
  for (int i = 0; i < 80; ++i) {
    wchar_t part[8];
    swprintf(part, 8, L"%03d|", i);
    s += part;
  }
  return s;
}

}  // namespace

TEST(ResStrings, LoadResStringPrefersTheTableAndFallsBackToTheDefault) {
  static constexpr TResStringRec noDefault{nullptr, 64100, nullptr};
  const TResStringRec inProgram{GetModuleHandleW(nullptr), 64000, L"x"};
  struct Case {
    const TResStringRec* rec;
    String expected;
  } cases[] = {
      {&sFromTable, L"Text from the table"},
      {&inProgram, L"Text from the table"},
      {&sChinese, L"岚泽家具生产设计系统"},
      {&sLong, LongText()},  // longer than any fixed buffer would hold
      {&sMissing, L"Fallback text"},
      {&noDefault, String()},
      {nullptr, String()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rec ? c.rec->Identifier : -1);
    EXPECT_EQ(LoadResString(c.rec), c.expected);
  }
  EXPECT_EQ(LongText().size(), 320u);
}

TEST(ResStrings, LoadStrReadsTheProgramsTable) {
  EXPECT_EQ(LoadStr(64000), L"Text from the table");
  EXPECT_EQ(LoadStr(64100), L"");
  EXPECT_EQ(LoadStr(GetModuleHandleW(nullptr), 64001), L"岚泽家具生产设计系统");
}
