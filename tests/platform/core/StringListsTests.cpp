#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/Streams.h"
#include "platform/core/StringLists.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Freer {
  void operator()(TObject* o) const { TObject::Free(o); }
};
template <class T>
using Owned = std::unique_ptr<T, Freer>;

using Lines = std::vector<String>;

Lines LinesOf(TStrings& s) {
  Lines out;
  for (int i = 0; i < s.Count(); ++i) out.push_back(s.Get(i));
  return out;
}

void Fill(TStrings& s, const Lines& lines) {
  s.Clear();
  for (const String& l : lines) s.Add(l);
}

std::string Utf8(const String& s) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::string Show(const Lines& lines) {
  std::string out = "[";
  for (const String& l : lines) out += "<" + Utf8(l) + ">";
  return out + "]";
}

std::string Bytes(TStream& s) {
  s.SetPosition(0);
  std::string out(static_cast<size_t>(s.Size()), '\0');
  if (!out.empty()) s.ReadBuffer(out.data(), static_cast<int>(out.size()));
  return out;
}

class TTracked : public TObject {
 public:
  explicit TTracked(int* freed) : freed_(freed) {}
  ~TTracked() override { ++*freed_; }

 private:
  int* freed_;
};

// Counts OnChanging and OnChange.
class TChangeCounter : public TObject {
 public:
  int changing = 0, changed = 0;
  void Changing(TObject*) { ++changing; }
  void Changed(TObject*) { ++changed; }
  void Attach(TStringList& list) {
    list.OnChanging = TNotifyEvent::Bind<&TChangeCounter::Changing>(this);
    list.OnChange = TNotifyEvent::Bind<&TChangeCounter::Changed>(this);
  }
};

}  // namespace

TEST(StringListsText, SplitsEveryLineEndAndJoinsWithCrLf) {
  struct Case {
    const wchar_t* text;
    Lines lines;
  };
  const Case cases[] = {
      {L"", {}},
      {L"a", {L"a"}},
      {L"a\r\nb\r\n", {L"a", L"b"}},
      {L"a\nb", {L"a", L"b"}},
      {L"a\rb\r", {L"a", L"b"}},
      {L"a\r\n\r\nb", {L"a", L"", L"b"}},
      {L"a\n\rb", {L"a", L"", L"b"}},  // LF CR is two line ends
      {L"\r\n", {L""}},
      {L"岚泽家具\n生产 设计\r\n", {L"岚泽家具", L"生产 设计"}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetText(c.text);
    EXPECT_EQ(LinesOf(list), c.lines) << Utf8(c.text);
    String joined;
    for (const String& l : c.lines) joined += l + L"\r\n";
    EXPECT_EQ(list.Text(), joined) << Utf8(c.text);
  }
}

TEST(StringListsText, CommaTextRoundTrip) {
  struct Case {
    Lines lines;
    const wchar_t* text;
  };
  const Case cases[] = {
      {{}, L""},
      {{L"a", L"b"}, L"a,b"},
      {{L"a b"}, L"\"a b\""},
      {{L"say \"hi\""}, L"\"say \"\"hi\"\"\""},
      {{L"x,y", L"z"}, L"\"x,y\",z"},
      {{L""}, L"\"\""},
      {{L"a", L"", L"b"}, L"a,,b"},
      {{L"a", L"\tb"}, L"a,\"\tb\""},
      {{L"家具", L"岚 泽"}, L"家具,\"岚 泽\""},
  };
  for (const Case& c : cases) {
    TStringList list;
    Fill(list, c.lines);
    EXPECT_EQ(list.CommaText(), c.text) << Show(c.lines);
    TStringList back;
    back.SetCommaText(c.text);
    EXPECT_EQ(LinesOf(back), c.lines) << Utf8(c.text);
  }
}

TEST(StringListsText, ParsesLooseCommaText) {
  struct Case {
    const wchar_t* text;
    Lines lines;
  };
  const Case cases[] = {
      {L"a b,c", {L"a", L"b", L"c"}},            // unquoted spaces separate
      {L"  a ,  b  ", {L"a", L"b"}},
      {L"a,", {L"a", L""}},
      {L"\"unterminated", {L"unterminated"}},
      {L"\"ab\"cd", {L"ab", L"cd"}},
      {L"\"a\"\"\",b", {L"a\"", L"b"}},
      {L",", {L"", L""}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetCommaText(c.text);
    EXPECT_EQ(LinesOf(list), c.lines) << Utf8(c.text);
  }
  // An embedded NUL neither hangs nor is lost.
  TStringList nul;
  nul.SetCommaText(String(L"a\0b,c", 5));
  EXPECT_EQ(LinesOf(nul), (Lines{L"a", L"b", L"c"}));
}

TEST(StringListsText, DelimitedTextWithOwnDelimiterQuoteAndStrictness) {
  struct Case {
    bool strict;
    Lines lines;
    const wchar_t* text;
    Lines parsed;  // what the text reads back as
  };
  const Case cases[] = {
      {true, {L"a b", L"c"}, L"a b;c", {L"a b", L"c"}},
      {false, {L"a b", L"c"}, L"'a b';c", {L"a b", L"c"}},
      {true, {L"it's", L"x;y"}, L"'it''s';'x;y'", {L"it's", L"x;y"}},
      {true, {L" padded "}, L" padded ", {L" padded "}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetDelimiter(L';');
    list.SetQuoteChar(L'\'');
    list.SetStrictDelimiter(c.strict);
    Fill(list, c.lines);
    EXPECT_EQ(list.DelimitedText(), c.text) << Show(c.lines);
    list.SetDelimitedText(c.text);
    EXPECT_EQ(LinesOf(list), c.parsed) << Utf8(c.text);
  }
  // CommaText ignores the list's own settings and leaves them alone.
  TStringList list;
  list.SetDelimiter(L';');
  list.SetStrictDelimiter(true);
  Fill(list, {L"a b", L"c"});
  EXPECT_EQ(list.CommaText(), L"\"a b\",c");
  EXPECT_EQ(list.Delimiter(), L';');
  EXPECT_TRUE(list.StrictDelimiter());
}

TEST(StringListsNames, NameValuePairs) {
  TStringList list;
  Fill(list, {L"Width=10", L"plain", L"Caption=a=b", L"空=值"});
  EXPECT_EQ(list.Values(L"width"), L"10");  // names compare case-insensitively
  EXPECT_EQ(list.Values(L"Caption"), L"a=b");
  EXPECT_EQ(list.Values(L"空"), L"值");
  EXPECT_EQ(list.Values(L"plain"), L"");
  EXPECT_EQ(list.Names(2), L"Caption");
  EXPECT_EQ(list.Names(1), L"");
  EXPECT_EQ(list.ValueFromIndex(1), L"");  // a line without separator has no value
  EXPECT_EQ(list.IndexOfName(L"CAPTION"), 2);
  list.SetValue(L"Width", L"20");
  list.SetValue(L"Height", L"5");
  list.SetValue(L"plain", L"");  // not a name: nothing to delete
  list.SetValue(L"Caption", L"");
  EXPECT_EQ(LinesOf(list), (Lines{L"Width=20", L"plain", L"空=值", L"Height=5"}));
  list.SetNameValueSeparator(L':');
  list.SetValueFromIndex(1, L"x");
  EXPECT_EQ(list.Get(1), L":x");
}

TEST(StringListsSorted, FindAndDuplicates) {
  struct Case {
    TDuplicates dup;
    bool caseSensitive;
    const wchar_t* added;
    int expectedIndex;   // -1: raises
    int expectedCount;
  };
  // The list holds apple, banana, cherry.
  const Case cases[] = {
      {dupIgnore, false, L"banana", 1, 3},
      {dupIgnore, false, L"BANANA", 1, 3},
      {dupIgnore, true, L"Banana", -2, 4},  // -2: added somewhere, no exception
      {dupAccept, false, L"banana", 1, 4},
      {dupError, false, L"Banana", -1, 3},
      {dupError, false, L"blueberry", 2, 4},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetCaseSensitive(c.caseSensitive);
    list.SetDuplicates(c.dup);
    Fill(list, {L"cherry", L"apple", L"banana"});
    list.SetSorted(true);
    ASSERT_EQ(LinesOf(list), (Lines{L"apple", L"banana", L"cherry"}));
    if (c.expectedIndex == -1) {
      try {
        list.Add(c.added);
        ADD_FAILURE() << Utf8(c.added) << " was accepted";
      } catch (EStringListError& e) {
        EXPECT_EQ(e.Message, L"String list does not allow duplicates");
      }
    } else {
      const int index = list.Add(c.added);
      if (c.expectedIndex >= 0) {
        EXPECT_EQ(index, c.expectedIndex) << Utf8(c.added);
      }
      EXPECT_EQ(list.Get(index), c.expectedIndex == 1 && c.dup == dupIgnore ? L"banana" : c.added);
    }
    EXPECT_EQ(list.Count(), c.expectedCount) << Utf8(c.added);
    for (int i = 1; i < list.Count(); ++i)
      EXPECT_LE(CompareStringW(LOCALE_USER_DEFAULT, c.caseSensitive ? 0 : NORM_IGNORECASE, list.Get(i - 1).c_str(), -1,
                               list.Get(i).c_str(), -1),
                CSTR_EQUAL)
          << "order broken after adding " << Utf8(c.added);
  }
}

TEST(StringListsSorted, FindGivesInsertionPointAndFirstOfEqualStrings) {
  TStringList list;
  list.SetDuplicates(dupAccept);
  list.SetSorted(true);
  for (const wchar_t* s : {L"b", L"d", L"b", L"B", L"f"}) list.Add(s);
  int index = -1;
  EXPECT_TRUE(list.Find(L"b", index));
  EXPECT_EQ(index, 0);
  EXPECT_FALSE(list.Find(L"c", index));
  EXPECT_EQ(index, 3);
  EXPECT_FALSE(list.Find(L"z", index));
  EXPECT_EQ(index, 5);
  EXPECT_EQ(list.IndexOf(L"D"), 3);
  EXPECT_EQ(list.IndexOf(L"e"), -1);
}

TEST(StringListsSorted, EditingBySortOrderIsRefused) {
  struct Case {
    const char* what;
    std::function<void(TStringList&)> op;
  };
  const Case cases[] = {
      {"Insert", [](TStringList& l) { l.Insert(0, L"z"); }},
      {"InsertObject", [](TStringList& l) { l.InsertObject(1, L"z", nullptr); }},
      {"Put", [](TStringList& l) { l.Put(0, L"z"); }},
      {"Move", [](TStringList& l) { l.Move(0, 1); }},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetSorted(true);
    Fill(list, {L"a", L"b"});
    try {
      c.op(list);
      ADD_FAILURE() << c.what << " was allowed";
    } catch (EStringListError& e) {
      EXPECT_EQ(e.Message, L"Operation not allowed on sorted list") << c.what;
    }
    EXPECT_EQ(LinesOf(list), (Lines{L"a", L"b"})) << c.what << " changed the list";
  }
}

TEST(StringListsSorted, CaseSensitivityChangesTheOrder) {
  TStringList list;
  list.SetDuplicates(dupAccept);
  list.SetSorted(true);
  for (const wchar_t* s : {L"b", L"A", L"a", L"B"}) list.Add(s);
  int index;
  EXPECT_TRUE(list.Find(L"a", index));
  list.SetCaseSensitive(true);
  EXPECT_TRUE(list.Find(L"B", index));
  EXPECT_EQ(list.Get(index), L"B");
  EXPECT_FALSE(list.Find(L"c", index));
}

TEST(StringListsErrors, IndexErrorsNameTheIndex) {
  TStringList list;
  Fill(list, {L"a"});
  const std::function<void()> ops[] = {
      [&] { list.Get(1); },          [&] { list.Get(-1); },      [&] { list.Put(1, L"x"); },
      [&] { list.GetObject(1); },    [&] { list.Delete(1); },    [&] { list.Insert(2, L"x"); },
      [&] { list.Exchange(0, 1); },  [&] { list.PutObject(-1, nullptr); },
  };
  for (const auto& op : ops) {
    try {
      op();
      ADD_FAILURE() << "no error";
    } catch (EStringListError& e) {
      EXPECT_TRUE(e.Message == L"List index out of bounds (1)" || e.Message == L"List index out of bounds (-1)" ||
                  e.Message == L"List index out of bounds (2)")
          << Utf8(e.Message);
    }
  }
  EXPECT_EQ(LinesOf(list), Lines{L"a"});
}

TEST(StringListsEvents, ChangesAreReportedOnceOutsideUpdates) {
  struct Case {
    const char* what;
    std::function<void(TStringList&)> op;
    int expected;  // OnChanging and OnChange, each
  };
  const Case cases[] = {
      {"Add", [](TStringList& l) { l.Add(L"x"); }, 1},
      {"Delete", [](TStringList& l) { l.Delete(0); }, 1},
      {"Put", [](TStringList& l) { l.Put(0, L"x"); }, 1},
      {"Clear", [](TStringList& l) { l.Clear(); }, 1},
      {"Clear empty", [](TStringList& l) { l.Clear(); l.Clear(); }, 1},
      {"SetText", [](TStringList& l) { l.SetText(L"1\n2\n3"); }, 1},
      {"SetCommaText", [](TStringList& l) { l.SetCommaText(L"1,2,3"); }, 1},
      {"Sort", [](TStringList& l) { l.Sort(); }, 1},
      {"three Adds in an update",
       [](TStringList& l) {
         l.BeginUpdate();
         l.Add(L"1");
         l.Add(L"2");
         l.Add(L"3");
         l.EndUpdate();
       },
       1},
      {"nested updates",
       [](TStringList& l) {
         l.BeginUpdate();
         l.BeginUpdate();
         l.Add(L"1");
         l.EndUpdate();
         EXPECT_EQ(l.UpdateCount(), 1);
         l.Add(L"2");
         l.EndUpdate();
       },
       1},
      {"unmatched EndUpdate is ignored",
       [](TStringList& l) {
         l.EndUpdate();
         l.Add(L"1");
       },
       1},
      {"AddStrings", [](TStringList& l) { l.AddStrings(&l); }, 1},
  };
  for (const Case& c : cases) {
    TStringList list;
    Fill(list, {L"b", L"a"});
    TChangeCounter counter;
    counter.Attach(list);
    c.op(list);
    EXPECT_EQ(counter.changing, c.expected) << c.what;
    EXPECT_EQ(counter.changed, c.expected) << c.what;
    EXPECT_EQ(list.UpdateCount(), 0) << c.what;
  }
}

TEST(StringListsObjects, OwnedObjectsFollowTheirStrings) {
  int freed = 0;
  auto* list = Make<TStringList>(true);
  auto* a = Make<TTracked>(&freed);
  auto* b = Make<TTracked>(&freed);
  auto* c = Make<TTracked>(&freed);
  list->AddObject(L"a", a);
  list->AddObject(L"b", b);
  list->AddObject(L"c", c);
  list->Move(0, 2);  // keeps the object with its string
  list->Exchange(0, 1);
  EXPECT_EQ(freed, 0);
  EXPECT_EQ(LinesOf(*list), (Lines{L"c", L"b", L"a"}));
  EXPECT_EQ(list->GetObject(2), a);
  EXPECT_EQ(list->IndexOfObject(b), 1);
  list->Delete(1);
  EXPECT_EQ(freed, 1);
  list->PutObject(0, Make<TTracked>(&freed));  // the replaced object is freed, not lost
  EXPECT_EQ(freed, 2);
  TObject::Free(list);
  EXPECT_EQ(freed, 4);

  // A list that does not own its objects leaves them alone.
  int kept = 0;
  TTracked keep(&kept);
  {
    TStringList plain;
    plain.AddObject(L"k", &keep);
    plain.Delete(0);
    plain.AddObject(L"k", &keep);
  }
  EXPECT_EQ(kept, 0);
}

TEST(StringListsSort, CustomSortReadsTheListByIndex) {
  TStringList list;
  Fill(list, {L"ccc", L"a", L"bb", L"dddd", L"e"});
  list.CustomSort([](TStringList* l, int i, int j) {
    return static_cast<int>(l->Get(i).size()) - static_cast<int>(l->Get(j).size());
  });
  EXPECT_EQ(LinesOf(list), (Lines{L"a", L"e", L"bb", L"ccc", L"dddd"}));
  // A comparison that is no order at all still leaves every string in place once.
  list.CustomSort([](TStringList*, int i, int j) { return (i * 7 + j * 3) % 5 - 2; });
  list.SetSorted(true);
  EXPECT_EQ(LinesOf(list), (Lines{L"a", L"bb", L"ccc", L"dddd", L"e"}));
}

TEST(StringListsAssign, AssignCopiesStringsObjectsAndSettings) {
  TStringList source;
  TObject marker;
  source.AddObject(L"x", &marker);
  source.Add(L"y");
  source.SetDelimiter(L'|');
  TStringList dest;
  dest.Add(L"old");
  dest.Assign(&source);
  EXPECT_EQ(LinesOf(dest), (Lines{L"x", L"y"}));
  EXPECT_EQ(dest.GetObject(0), &marker);
  EXPECT_EQ(dest.Delimiter(), L'|');
  EXPECT_TRUE(dest.Equals(&source));
  dest.Put(1, L"Y");
  EXPECT_FALSE(dest.Equals(&source));  // Equals is case-sensitive
  TPersistent other;
  EXPECT_THROW(dest.Assign(&other), EConvertError);
}

TEST(StringListsStreams, LoadDetectsTheEncoding) {
  struct Case {
    const char* what;
    std::string bytes;
    TTextEncoding encoding;
    Lines lines;
  };
  const Case cases[] = {
      {"UTF-8 BOM", "\xEF\xBB\xBF\xE5\xB2\x9A\r\nb", teUTF8, {L"岚", L"b"}},
      {"UTF-8 without BOM", "\xE5\xB2\x9A\nb\n", teUTF8, {L"岚", L"b"}},
      {"UTF-16LE BOM", std::string("\xFF\xFE\x9A\x5C\n\0b\0", 8), teUTF16LE, {L"岚", L"b"}},
      {"UTF-16BE BOM", std::string("\xFE\xFF\x5C\x9A\0\n\0b", 8), teUTF16BE, {L"岚", L"b"}},
      {"empty", "", teUTF8, {}},
      {"only a BOM", "\xEF\xBB\xBF", teUTF8, {}},
      {"odd UTF-16 tail", std::string("\xFF\xFEx\0y", 5), teUTF16LE, {L"x\xFFFD"}},
  };
  for (const Case& c : cases) {
    TMemoryStream stream;
    if (!c.bytes.empty()) stream.WriteBuffer(c.bytes.data(), static_cast<int>(c.bytes.size()));
    stream.SetPosition(0);
    TStringList list;
    list.LoadFromStream(&stream);
    EXPECT_EQ(LinesOf(list), c.lines) << c.what;
    EXPECT_EQ(list.Encoding(), c.encoding) << c.what;
  }
  // Bytes that are not UTF-8 are read in the ANSI code page; ASCII survives.
  TMemoryStream ansi;
  const std::string bytes = "caf\xE9 ok\r\n";
  ansi.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
  ansi.SetPosition(0);
  TStringList list;
  list.LoadFromStream(&ansi);
  EXPECT_EQ(list.Encoding(), teANSI);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Get(0).substr(0, 3), L"caf");
  EXPECT_EQ(list.Get(0).substr(list.Get(0).size() - 2), L"ok");
}

TEST(StringListsStreams, SaveWritesUtf8WithBomOrKeepsTheLoadedEncoding) {
  TStringList list;
  Fill(list, {L"岚泽", L"a"});
  TMemoryStream out;
  list.SaveToStream(&out);
  EXPECT_EQ(Bytes(out), "\xEF\xBB\xBF\xE5\xB2\x9A\xE6\xB3\xBD\r\na\r\n");

  TMemoryStream utf16;
  const std::string in("\xFF\xFE" "a\0", 4);
  utf16.WriteBuffer(in.data(), static_cast<int>(in.size()));
  utf16.SetPosition(0);
  list.LoadFromStream(&utf16);
  TMemoryStream again;
  list.SaveToStream(&again);
  EXPECT_EQ(Bytes(again), std::string("\xFF\xFE" "a\0\r\0\n\0", 8));

  TMemoryStream noBom;
  list.SetWriteBOM(false);
  list.SaveToStream(&noBom, teUTF8);
  EXPECT_EQ(Bytes(noBom), "a\r\n");
}

TEST(StringListsStreams, FileRoundTripKeepsChineseText) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  const String file = String(dir) + L"lanze-strings-" + std::to_wstring(GetCurrentProcessId()) + L"-岚泽.txt";
  TStringList list;
  Fill(list, {L"岚泽家具生产设计系统", L"", L"name=值"});
  list.SaveToFile(file);
  TStringList back;
  back.LoadFromFile(file);
  DeleteFileW(file.c_str());
  EXPECT_EQ(LinesOf(back), LinesOf(list));
  EXPECT_THROW(back.LoadFromFile(file), EFOpenError);
  EXPECT_EQ(back.Count(), 3) << "a failed load must leave the list alone";
}

// The defined property "Strings" of the component stream.
class StringListsFilerTest : public testing::Test {
 protected:
  // The properties of `list` as the writer streams them, with `ancestor` as
  // the object it is compared with.
  static std::string Written(TStringList& list, TPersistent* ancestor = nullptr) {
    TMemoryStream stream;
    {
      TWriter writer(&stream);
      writer.SetAncestor(ancestor);
      writer.WriteProperties(&list);
      writer.WriteListEnd();
    }
    return Bytes(stream);
  }
};

TEST_F(StringListsFilerTest, StringsRoundTripThroughTheComponentStream) {
  TStringList list;
  Fill(list, {L"ab", L"", L"岚泽 家具", String(300, L'x')});
  const std::string bytes = Written(list);
  EXPECT_NE(bytes.find("\x07Strings\x01"), std::string::npos);

  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
  stream.SetPosition(0);
  TStringList back;
  back.Add(L"replaced");
  TChangeCounter counter;
  counter.Attach(back);
  {
    TReader reader(&stream);
    while (!reader.EndOfList()) reader.ReadProperty(&back);
    reader.ReadListEnd();
  }
  EXPECT_EQ(LinesOf(back), LinesOf(list));
  EXPECT_EQ(counter.changed, 1);
  EXPECT_EQ(stream.Position(), stream.Size());
}

TEST_F(StringListsFilerTest, WrittenOnlyWhenThereIsSomethingToStore) {
  TStringList empty, list, same, other;
  Fill(list, {L"a", L"b"});
  Fill(same, {L"a", L"b"});
  Fill(other, {L"a"});
  const std::string nothing(1, '\0');  // just the end of the property list
  EXPECT_EQ(Written(empty), nothing);
  EXPECT_NE(Written(list), nothing);
  EXPECT_EQ(Written(list, &same), nothing);   // equal to the ancestor
  EXPECT_NE(Written(list, &other), nothing);
  EXPECT_NE(Written(empty, &other), nothing); // emptied relative to the ancestor
}
