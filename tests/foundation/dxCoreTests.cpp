#include "platform/WinApi.h"
#include "foundation/dxCore.h"

#include "platform/core/SysUtils.h"
#include "platform/core/Variants.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// 60800 is in tests/foundation/dxCoreTests.rc; 60810.. are not.
RESOURCESTRING(sTableText, 60800, L"compiled default")
RESOURCESTRING(sAlpha, 60810, L"alpha")
RESOURCESTRING(sBeta, 60811, L"beta")
RESOURCESTRING(sGamma, 60812, L"gamma")
RESOURCESTRING(sOther, 60813, L"other product's text")

struct RepositoryDeleter {
  void operator()(TObject* p) const { TObject::Free(p); }
};
using RepositoryPtr = std::unique_ptr<TdxResourceStringsRepository, RepositoryDeleter>;

void AddFirstProduct(TdxProductResourceStrings* p) {
  // Out of name order, and one identifier twice in another case.
  p->Add(L"sGamma", &sGamma);
  p->Add(L"sAlpha", &sAlpha);
  p->Add(L"sBeta", &sBeta);
  p->Add(L"SALPHA", &sOther);
  p->Add(L"sTable", &sTableText);
}

void AddSecondProduct(TdxProductResourceStrings* p) {
  p->Add(L"sAlpha", &sOther);
  p->Add(L"sOwn", &sOther);
}

class Recorder : public TObject {
 public:
  std::vector<String> Names;
  std::vector<const TResStringRec*> Records;
  TdxResourceStringsRepository* UnregisterFrom = nullptr;
  void Translate(const String& AName, const TResStringRec* ARec) {
    Names.push_back(AName);
    Records.push_back(ARec);
    if (UnregisterFrom) UnregisterFrom->UnRegisterProduct(L"First");
  }
};

}  // namespace

TEST(dxCoreRepository, ProductKeepsIdentifiersInNameOrderAndTheFirstRecordOfADuplicate) {
  auto* product = Make<TdxProductResourceStrings>(L"First", &AddFirstProduct);
  EXPECT_EQ(product->Name(), L"First");
  ASSERT_EQ(product->ResStringsCount(), 4);
  const wchar_t* expected[] = {L"sAlpha", L"sBeta", L"sGamma", L"sTable"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(product->Names(i), expected[i]) << i;
  EXPECT_EQ(product->GetIndexByName(L"SALPHA"), 0);
  EXPECT_EQ(product->ResStrings(product->GetIndexByName(L"salpha")), &sAlpha);
  EXPECT_EQ(product->GetIndexByName(L"stable"), 3);
  EXPECT_EQ(product->GetIndexByName(L"sDelta"), -1);
  EXPECT_EQ(product->Values(3), L"Text from the table");
  EXPECT_THROW(product->Names(4), EStringListError);
  product->Clear();
  EXPECT_EQ(product->ResStringsCount(), 0);
  TObject::Free(product);
}

TEST(dxCoreRepository, RegistrationLookupAndUnregistration) {
  RepositoryPtr repo(Make<TdxResourceStringsRepository>());
  repo->RegisterProduct(L"First", &AddFirstProduct);
  repo->RegisterProduct(L"Second", &AddSecondProduct);
  repo->RegisterProduct(L"First", &AddSecondProduct);
  repo->RegisterProduct(L"Empty", nullptr);
  ASSERT_EQ(repo->ProductsCount(), 4);
  EXPECT_EQ(repo->Products(3)->ResStringsCount(), 0);

  // The first product that has an identifier answers, whatever the case.
  EXPECT_EQ(repo->GetOriginalValue(L"SALPHA"), L"alpha");
  EXPECT_EQ(repo->GetOriginalValue(L"sOwn"), L"other product's text");
  EXPECT_EQ(repo->GetOriginalValue(L"sTable"), L"Text from the table");
  EXPECT_EQ(repo->GetOriginalValue(L"sNowhere"), L"");

  // Product names match exactly.
  EXPECT_EQ(repo->GetProductIndexByName(L"Second"), 1);
  EXPECT_EQ(repo->GetProductIndexByName(L"second"), -1);
  repo->UnRegisterProduct(L"first");
  repo->UnRegisterProduct(L"Unknown");
  EXPECT_EQ(repo->ProductsCount(), 4);

  // Of two products of one name only the first goes.
  repo->UnRegisterProduct(L"First");
  ASSERT_EQ(repo->ProductsCount(), 3);
  EXPECT_EQ(repo->GetProductIndexByName(L"First"), 1);
  EXPECT_EQ(repo->Products(1)->GetIndexByName(L"sOwn"), 1);
  EXPECT_EQ(repo->GetOriginalValue(L"sAlpha"), L"other product's text");
}

TEST(dxCoreRepository, TranslateVisitsEveryIdentifierInNameOrderOnlyWithAHandler) {
  RepositoryPtr repo(Make<TdxResourceStringsRepository>());
  repo->RegisterProduct(L"First", &AddFirstProduct);
  repo->RegisterProduct(L"Second", &AddSecondProduct);
  Recorder rec;
  repo->Translate();  // no handler: nothing to call, nothing breaks
  repo->OnTranslateResString = TdxLocalizationTranslateResStringEvent::Bind<&Recorder::Translate>(&rec);
  repo->Translate();
  const std::vector<String> names = {L"sAlpha", L"sBeta", L"sGamma", L"sTable", L"sAlpha", L"sOwn"};
  EXPECT_EQ(rec.Names, names);
  EXPECT_EQ(rec.Records[0], &sAlpha);
  EXPECT_EQ(rec.Records[4], &sOther);

  // A handler that unregisters the product being walked ends that product's walk.
  rec.Names.clear();
  rec.UnregisterFrom = repo.get();
  repo->Translate();
  EXPECT_EQ(rec.Names, (std::vector<String>{L"sAlpha", L"sAlpha", L"sOwn"}));
}

namespace {

// A listener that can leave, make others leave or join during its call.
struct Listener : IdxLocalizerListener {
  TdxResourceStringsRepository* Repo = nullptr;
  std::vector<int>* Log = nullptr;
  int Id = 0;
  std::vector<Listener*> RemoveOnCall;
  Listener* AddOnCall = nullptr;
  bool FreeRepoOnCall = false;
  RepositoryPtr* Owner = nullptr;
  void TranslationChanged() override {
    Log->push_back(Id);
    for (Listener* l : RemoveOnCall) Repo->RemoveListener(l);
    if (AddOnCall) Repo->AddListener(AddOnCall);
    if (FreeRepoOnCall) Owner->reset();
  }
};

}  // namespace

TEST(dxCoreRepository, ListenersAreAddedOnceAndEachIsToldOnceAlthoughTheListChanges) {
  RepositoryPtr repo(Make<TdxResourceStringsRepository>());
  std::vector<int> log;
  Listener l[5];
  for (int i = 0; i < 5; ++i) {
    l[i].Repo = repo.get();
    l[i].Log = &log;
    l[i].Id = i;
  }
  repo->AddListener(&l[0]);
  repo->AddListener(&l[1]);
  repo->AddListener(&l[0]);
  repo->AddListener(&l[2]);
  repo->AddListener(&l[3]);
  repo->NotifyListeners();
  EXPECT_EQ(log, (std::vector<int>{0, 1, 2, 3}));

  // 1 removes itself and 3 (whose turn has not come), and adds 4 (next round).
  l[1].RemoveOnCall = {&l[1], &l[3]};
  l[1].AddOnCall = &l[4];
  log.clear();
  repo->NotifyListeners();
  EXPECT_EQ(log, (std::vector<int>{0, 1, 2}));
  log.clear();
  repo->NotifyListeners();
  EXPECT_EQ(log, (std::vector<int>{0, 2, 4}));

  // Removing a listener that already had its turn skips nobody.
  l[2].RemoveOnCall = {&l[0]};
  log.clear();
  repo->NotifyListeners();
  EXPECT_EQ(log, (std::vector<int>{0, 2, 4}));
  repo->RemoveListener(&l[0]);  // absent: nothing

  // A listener that frees the repository ends the round.
  l[2].FreeRepoOnCall = true;
  l[2].Owner = &repo;
  log.clear();
  repo->NotifyListeners();
  EXPECT_EQ(log, (std::vector<int>{2}));
  EXPECT_TRUE(repo == nullptr);
}

TEST(dxCoreRepository, TheProcessRepositoryIsMadeOnceOnFirstUse) {
  TdxResourceStringsRepository* repo = dxGetResourceStringsRepository();
  ASSERT_NE(repo, nullptr);
  EXPECT_EQ(dxGetResourceStringsRepository(), repo);
}

TEST(dxCoreOSFlags, FlagsFollowPlatformAndVersion) {
  struct Case {
    DWORD platform, major, minor;
    const char* set;  // letters of the flags that are true
  } cases[] = {
      // 9 = 9x, 5 = Windows 95, N = NT, x = XP, X = XP or later, v = Vista, V = Vista or later, 7 = Windows 7
      {VER_PLATFORM_WIN32_WINDOWS, 4, 0, "95"},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, "9"},
      {VER_PLATFORM_WIN32_NT, 4, 0, "N"},
      {VER_PLATFORM_WIN32_NT, 5, 0, "N"},
      {VER_PLATFORM_WIN32_NT, 5, 1, "NxX"},
      {VER_PLATFORM_WIN32_NT, 5, 2, "NxX"},
      {VER_PLATFORM_WIN32_NT, 6, 0, "NXvV"},
      {VER_PLATFORM_WIN32_NT, 6, 1, "NXvV7"},
      {VER_PLATFORM_WIN32_NT, 6, 3, "NXvV"},
      {VER_PLATFORM_WIN32_NT, 10, 0, "NXV"},
      {VER_PLATFORM_WIN32s, 3, 1, ""},
  };
  for (const Case& c : cases) {
    const TdxOSFlags f = dxComputeOSFlags(c.platform, c.major, c.minor);
    const std::string set = c.set;
    auto has = [&set](char ch) { return set.find(ch) != std::string::npos; };
    SCOPED_TRACE(std::to_string(c.platform) + " " + std::to_string(c.major) + "." + std::to_string(c.minor));
    EXPECT_EQ(f.IsWin9xPlatform, has('9'));
    EXPECT_EQ(f.IsWindows95, has('5'));
    EXPECT_EQ(f.IsNTPlatform, has('N'));
    EXPECT_EQ(f.IsWindowsXP, has('x'));
    EXPECT_EQ(f.IsWindowsXPOrLater, has('X'));
    EXPECT_EQ(f.IsWindowsVista, has('v'));
    EXPECT_EQ(f.IsWindowsVistaOrLater, has('V'));
    EXPECT_EQ(f.IsWindows7, has('7'));
  }
}

TEST(dxCoreOSFlags, ProcessFlagsAreSetAtStartUp) {
  dxCoreInitialize();  // counted: harmless when the module list started it already
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  ASSERT_TRUE(GetVersionExW(&info));
  const TdxOSFlags f = dxComputeOSFlags(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
  EXPECT_TRUE(dxIsNTPlatform);
  EXPECT_EQ(dxIsWindows7, f.IsWindows7);
  EXPECT_EQ(dxIsWindowsVistaOrLater, f.IsWindowsVistaOrLater);
  EXPECT_EQ(&IsWindows6OrLater, &dxIsWindowsVistaOrLater);
  EXPECT_EQ(&IsWinXPOrLater, &dxIsWindowsXPOrLater);
  EXPECT_EQ(dxIsWow64Process, dxQueryIsWow64Process());
  dxCoreFinalize();
}

TEST(dxCoreWeekStart, LocaleNumberingIsMappedToSundayFirst) {
  const std::pair<int, Word> cases[] = {{0, 1}, {1, 2}, {5, 6}, {6, 0}, {7, 0}, {-1, 0}};
  for (auto [locale, expected] : cases) EXPECT_EQ(dxLocaleDayToWeekStart(locale), expected) << locale;
  EXPECT_LE(dxReadLocaleWeekStart(), 6);
}

TEST(dxCoreWeekStart, OverrideTakesOnlyValidDaysAndClearingReadsTheLocaleAgain) {
  const Word locale = dxReadLocaleWeekStart();
  const int other = (locale + 3) % 7;
  ASSERT_FALSE(dxHasWeekStartOverride());
  EXPECT_EQ(dxGetEffectiveWeekStart(), locale);
  dxSetWeekStartOverride(other);
  EXPECT_TRUE(dxHasWeekStartOverride());
  EXPECT_EQ(dxGetEffectiveWeekStart(), other);
  dxSetWeekStartOverride(7);
  dxSetWeekStartOverride(-1);
  EXPECT_EQ(dxGetEffectiveWeekStart(), other);
  dxClearWeekStartOverride();
  EXPECT_FALSE(dxHasWeekStartOverride());
  EXPECT_EQ(dxGetEffectiveWeekStart(), locale);
}

TEST(dxCoreCodePages, RoundTripsAndCounts) {
  const String chinese = L"岚泽家具";
  const AnsiString gbk = dxEncodeWideString(chinese, 936);
  EXPECT_EQ(gbk, AnsiString("\xE1\xB0\xD4\xF3\xBC\xD2\xBE\xDF"));
  EXPECT_EQ(dxDecodeAnsiString(gbk, 936), chinese);
  EXPECT_EQ(dxDecodeAnsiString(gbk, 936, 4), L"岚泽");
  // A count beyond the data is cut to it instead of reading past the end.
  EXPECT_EQ(dxDecodeAnsiString(gbk, 936, 1000), chinese);
  EXPECT_EQ(dxDecodeAnsiString(gbk, 936, 0), L"");

  const AnsiString utf8 = dxEncodeWideString(chinese, CP_UTF8);
  EXPECT_EQ(utf8, UTF8Encode(chinese));
  EXPECT_EQ(dxDecodeAnsiString(utf8, CP_UTF8), chinese);
  EXPECT_EQ(dxEncodeWideString(chinese, CP_UTF8, 1), UTF8Encode(L"岚"));
  EXPECT_EQ(dxEncodeWideString(chinese, CP_UTF8, 99), utf8);

  EXPECT_EQ(dxEncodeWideString(L"", 936), "");
  EXPECT_EQ(dxDecodeAnsiString("", CP_UTF8), L"");
  EXPECT_EQ(dxDecodeAnsiString("plain", 1252), L"plain");
}

TEST(dxCoreVariants, ArraysGiveTheirRawBytesAndOtherValuesTheirText) {
  Variant bytes = VarArrayCreate({1, 4}, varByte);
  const int values[] = {0x41, 0x00, 0xFF, 0x7F};
  for (int i = 0; i < 4; ++i) VarArrayPut(bytes, Variant(static_cast<unsigned char>(values[i])), i + 1);
  EXPECT_EQ(dxConvertVariantToAnsi(bytes), AnsiString("\x41\x00\xFF\x7F", 4));
  EXPECT_TRUE(dxVariantHoldsBytes(bytes));

  // Wider elements keep all their bytes.
  Variant words = VarArrayCreate({0, 1}, varWord);
  VarArrayPut(words, Variant(Word(0x1234)), 0);
  VarArrayPut(words, Variant(Word(0xABCD)), 1);
  EXPECT_EQ(dxConvertVariantToAnsi(words), AnsiString("\x34\x12\xCD\xAB", 4));
  Variant ints = VarArrayCreate({0, 0}, varInteger);
  VarArrayPut(ints, Variant(0x01020304), 0);
  EXPECT_EQ(dxConvertVariantToAnsi(ints), AnsiString("\x04\x03\x02\x01", 4));

  // Elements of a Variant array must be byte values.
  EXPECT_EQ(dxConvertVariantToAnsi(VarArrayOf({Variant(65), Variant(66)})), "AB");
  EXPECT_THROW(dxConvertVariantToAnsi(VarArrayOf({Variant(256)})), EVariantError);
  EXPECT_EQ(dxConvertVariantToAnsi(VarArrayCreate({0, -1}, varByte)), "");

  // A byte string gives its bytes as they are, also those that are no text in
  // the active code page (a lone lead byte under 936).
  const RawByteString raw("\x81\x00\xFF", 3);
  EXPECT_EQ(dxConvertVariantToAnsi(Variant(raw)), raw);
  EXPECT_EQ(dxConvertVariantToAnsi(Variant(42)), "42");
  EXPECT_EQ(dxConvertVariantToAnsi(Null()), "");
  EXPECT_EQ(dxConvertVariantToWide(Variant(String(L"岚泽"))), L"岚泽");
  EXPECT_EQ(dxConvertVariantToString(VarArrayOf({Variant(104), Variant(105)})), L"hi");
  EXPECT_TRUE(dxVariantHoldsBytes(Variant(String(L"x"))));
  EXPECT_FALSE(dxVariantHoldsBytes(Variant(1)));
  EXPECT_FALSE(dxVariantHoldsBytes(VarArrayCreate({0, 1, 0, 1}, varByte)));
}

TEST(dxCoreHelpers, ColoursCharactersSetsAndLocaleTexts) {
  const RGBQUAD q = dxMakeRGBQuadFromColor(0x00332211, 0x80);
  EXPECT_EQ(q.rgbRed, 0x11);
  EXPECT_EQ(q.rgbGreen, 0x22);
  EXPECT_EQ(q.rgbBlue, 0x33);
  EXPECT_EQ(q.rgbReserved, 0x80);
  const RGBQUAD sys = dxMakeRGBQuadFromColor(static_cast<int>(0xFF000000 | COLOR_WINDOW));
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  EXPECT_EQ(sys.rgbRed, GetRValue(window));
  EXPECT_EQ(sys.rgbBlue, GetBValue(window));

  EXPECT_TRUE(dxGetCharTypeFlags(L'A') & C1_UPPER);
  EXPECT_TRUE(dxGetCharTypeFlags(L'\t') & C1_CNTRL);
  EXPECT_FALSE(dxGetCharTypeFlags(L'岚') & C1_CNTRL);

  TSysCharSet set{'a', 200};
  EXPECT_TRUE(dxWideCharInSet(L'a', set));
  EXPECT_TRUE(dxWideCharInSet(wchar_t(200), set));
  EXPECT_FALSE(dxWideCharInSet(wchar_t(0x100 + 'a'), set));

  char buf[4] = {1, 2, 3, 4};
  char copy[4] = {};
  dxCopyBytes(buf, copy, 4);
  EXPECT_EQ(copy[3], 4);
  dxClearBytes(buf, 3);
  EXPECT_EQ(buf[0] + buf[1] + buf[2], 0);
  EXPECT_EQ(buf[3], 4);

  EXPECT_EQ(dxReadLocaleString(LOCALE_USER_DEFAULT, 0x7FFF, L"fallback"), L"fallback");
  const String week = dxReadLocaleString(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, L"x");
  ASSERT_EQ(week.size(), 1u);
  EXPECT_TRUE(week[0] >= L'0' && week[0] <= L'6');
}

TEST(dxCoreException, IsThePlatformsException) {
  try {
    throw EdxException(L"A control should contain only a single TdxBarManager");
  } catch (Exception& e) {
    EXPECT_STREQ(e.ClassName(), L"EdxException");
    EXPECT_EQ(e.Message, L"A control should contain only a single TdxBarManager");
  }
}
