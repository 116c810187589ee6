#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPaintersRegistry.h"

#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"
#include "tests/foundation/cxLookAndFeelsTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct FreeDeleter {
  void operator()(TObject* p) const { TObject::Free(p); }
};
template <class T>
using Owned = std::unique_ptr<T, FreeDeleter>;

class TFakePainter : public TcxCustomLookAndFeelPainter {
 public:
  TFakePainter() = default;
};
const TFakePainter PainterP, PainterQ;

// Counts its own destruction, so ownership of registry data shows.
class TCountedData : public TObject {
 public:
  explicit TCountedData(int& AFreed) : FFreed(AFreed) {}
  ~TCountedData() override { ++FFreed; }

 private:
  int& FFreed;
};

class TRecordingListener : public TObject, public IcxLookAndFeelPainterListener {
 public:
  TRecordingListener(std::vector<std::pair<int, TcxCustomLookAndFeelPainterClass>>& ALog, int AId)
      : FLog(ALog), FId(AId) {}
  int _AddRef() override { return -1; }
  int _Release() override { return -1; }
  void HandlePainterRegistryChange(TcxCustomLookAndFeelPainterClass APainter) override {
    FLog.emplace_back(FId, APainter);
  }

 private:
  std::vector<std::pair<int, TcxCustomLookAndFeelPainterClass>>& FLog;
  int FId;
};

}  // namespace

TEST(cxExtendedStylePainters, NamesAreUniqueWhateverTheirCaseAndTheFirstRegistrationWins) {
  Owned<TcxExtendedStylePainters> registry(Make<TcxExtendedStylePainters>());
  int freed = 0;
  auto* d = Make<TCountedData>(freed);
  Owned<TCountedData> e(Make<TCountedData>(freed));
  EXPECT_TRUE(registry->Register(L"UserSkin", &PainterP, d));
  EXPECT_FALSE(registry->Register(L"USERSKIN", &PainterQ, e.get()));
  EXPECT_EQ(freed, 0) << "a refused registration leaves the data with its caller";
  EXPECT_EQ(registry->Count(), 1);

  TcxCustomLookAndFeelPainterClass found = nullptr;
  EXPECT_TRUE(registry->GetPainterByName(L"userskin", found));
  EXPECT_EQ(found, &PainterP);
  TObject* data = nullptr;
  EXPECT_TRUE(registry->GetPainterData(&PainterP, data));
  EXPECT_EQ(data, d);

  // Unknown names and painters: the name lookup leaves its out value, the
  // data lookup clears it.
  found = &PainterQ;
  EXPECT_FALSE(registry->GetPainterByName(L"Other", found));
  EXPECT_EQ(found, &PainterQ);
  data = e.get();
  EXPECT_FALSE(registry->GetPainterData(&PainterQ, data));
  EXPECT_EQ(data, nullptr);
  String name = L"x";
  EXPECT_FALSE(registry->GetNameByPainter(&PainterQ, name));
  EXPECT_EQ(name, L"");
}

TEST(cxExtendedStylePainters, EntriesStaySortedAndOnePainterAnswersItsFirstName) {
  Owned<TcxExtendedStylePainters> registry(Make<TcxExtendedStylePainters>());
  ASSERT_TRUE(registry->Register(L"Zeta", &PainterP, nullptr));
  ASSERT_TRUE(registry->Register(L"Mid", &PainterQ, nullptr));
  ASSERT_TRUE(registry->Register(L"Alpha", &PainterP, nullptr));
  EXPECT_EQ(registry->Names(0), L"Alpha");
  EXPECT_EQ(registry->Names(1), L"Mid");
  EXPECT_EQ(registry->Names(2), L"Zeta");
  String name;
  EXPECT_TRUE(registry->GetNameByPainter(&PainterP, name));
  EXPECT_EQ(name, L"Alpha");
}

TEST(cxExtendedStylePainters, DataIsFreedExactlyOnceOnUnregisterOrWithTheRegistry) {
  int freed = 0;
  {
    Owned<TcxExtendedStylePainters> registry(Make<TcxExtendedStylePainters>());
    registry->Register(L"One", &PainterP, Make<TCountedData>(freed));
    registry->Register(L"Two", &PainterQ, Make<TCountedData>(freed));
    EXPECT_TRUE(registry->Unregister(L"ONE"));
    EXPECT_EQ(freed, 1);
    EXPECT_FALSE(registry->Unregister(L"One"));
    EXPECT_EQ(freed, 1);
  }
  EXPECT_EQ(freed, 2);
}

TEST(cxExtendedStylePainters, ListenersAreToldOnceEachFromTheLastAdded) {
  Owned<TcxExtendedStylePainters> registry(Make<TcxExtendedStylePainters>());
  std::vector<std::pair<int, TcxCustomLookAndFeelPainterClass>> log;
  Owned<TRecordingListener> first(Make<TRecordingListener>(log, 1)), second(Make<TRecordingListener>(log, 2));
  registry->AddListener(first.get());
  registry->AddListener(second.get());
  registry->AddListener(first.get());
  EXPECT_EQ(registry->Listeners()->Count(), 2);

  registry->Register(L"UserSkin", &PainterP, nullptr);
  using Entry = std::pair<int, TcxCustomLookAndFeelPainterClass>;
  EXPECT_EQ(log, (std::vector<Entry>{{2, &PainterP}, {1, &PainterP}}));

  log.clear();
  registry->Register(L"userskin", &PainterQ, nullptr);  // refused: nobody hears
  EXPECT_FALSE(registry->Unregister(L"Nothing"));
  EXPECT_TRUE(log.empty());

  registry->RemoveListener(second.get());
  registry->RemoveListener(second.get());
  EXPECT_TRUE(registry->Unregister(L"UserSkin"));
  EXPECT_EQ(log, (std::vector<Entry>{{1, &PainterP}}));
  registry->RemoveListener(first.get());
}

// ---------------------------------------------------------------------------
// Module resources
// ---------------------------------------------------------------------------

class cxPainterModuleResources : public ::testing::Test {
 protected:
  void SetUp() override { cxLookAndFeelPaintersRegistryInitialize(); }
  void TearDown() override { cxLookAndFeelPaintersRegistryFinalize(); }
};

TEST_F(cxPainterModuleResources, StartUpMakesTheRegistryGlyphSizeImagesAndPatterns) {
  EXPECT_NE(cxGetStylePainterRegistry(), nullptr);
  // The system check-box bitmap holds 4 x 3 glyphs.
  HBITMAP checks = LoadBitmapW(nullptr, MAKEINTRESOURCEW(32759));
  ASSERT_NE(checks, nullptr);
  BITMAP info{};
  GetObjectW(checks, sizeof(info), &info);
  DeleteObject(checks);
  EXPECT_EQ(cxCheckButtonGlyphSize, TSize(info.bmWidth / 4, info.bmHeight / 3));
  EXPECT_GT(cxCheckButtonGlyphSize.cx, 0);

  ASSERT_NE(cxIndicatorImages(), nullptr);
  EXPECT_EQ(cxIndicatorImages()->Count(), 6);
  EXPECT_EQ(cxIndicatorImages()->Width(), 8);
  EXPECT_EQ(cxIndicatorImages()->Height(), 9);
}

TEST_F(cxPainterModuleResources, IndicatorImagesAreInKindOrderWithWhiteTransparent) {
  ASSERT_NE(cxIndicatorImages(), nullptr);
  // (image, black pixel, pixel that is white in the glyph and so shows the
  // red background)
  struct Case {
    int Image;
    TPoint Ink, Clear;
  };
  const Case cases[] = {
      {0, {2, 1}, {0, 1}},  // arrow: the tip column
      {5, {0, 1}, {7, 1}},  // filter: the funnel's top row
  };
  for (const Case& c : cases) {
    Owned<TBitmap> target(Make<TBitmap>(8, 9));
    target->SetPixelFormat(pf32bit);
    target->Canvas()->Brush()->SetColor(clRed);
    target->Canvas()->FillRect(TRect(0, 0, 8, 9));
    cxIndicatorImages()->Draw(target->Canvas(), 0, 0, c.Image);
    EXPECT_EQ(target->Canvas()->GetPixel(c.Ink.X, c.Ink.Y), clBlack) << c.Image;
    EXPECT_EQ(target->Canvas()->GetPixel(c.Clear.X, c.Clear.Y), clRed) << c.Image;
  }
}

TEST_F(cxPainterModuleResources, ScrollBarPatternsCheckerTheSystemColours) {
  ASSERT_NE(cxScrollBarPatternBitmaps(0), nullptr);
  ASSERT_NE(cxScrollBarPatternBitmaps(1), nullptr);
  TCanvas* normal = cxScrollBarPatternBitmaps(0)->Canvas();
  TCanvas* pressed = cxScrollBarPatternBitmaps(1)->Canvas();
  EXPECT_EQ(cxScrollBarPatternBitmaps(0)->Width(), 8);
  EXPECT_EQ(cxScrollBarPatternBitmaps(0)->Height(), 8);
  EXPECT_EQ(normal->GetPixel(0, 0), ColorToRGB(clBtnFace));
  EXPECT_EQ(normal->GetPixel(1, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(normal->GetPixel(7, 7), ColorToRGB(clBtnFace));
  EXPECT_EQ(pressed->GetPixel(0, 0), clBlack);
  EXPECT_EQ(pressed->GetPixel(0, 1), ColorToRGB(cl3DDkShadow));
}

TEST(cxPainterModule, ShutdownClearsEveryReferenceAndAPairOfCallsIsCounted) {
  fndtest::TLookAndFeelModulesDown down;
  ASSERT_TRUE(down.Down()) << "something besides the module list keeps the painter module running";
  cxLookAndFeelPaintersRegistryInitialize();
  cxLookAndFeelPaintersRegistryInitialize();
  cxLookAndFeelPaintersRegistryFinalize();
  EXPECT_NE(cxGetStylePainterRegistry(), nullptr);
  EXPECT_NE(cxIndicatorImages(), nullptr);
  cxLookAndFeelPaintersRegistryFinalize();
  EXPECT_EQ(cxGetStylePainterRegistry(), nullptr);
  EXPECT_EQ(cxIndicatorImages(), nullptr);
  EXPECT_EQ(cxScrollBarPatternBitmaps(0), nullptr);
  EXPECT_EQ(cxScrollBarPatternBitmaps(1), nullptr);
}
