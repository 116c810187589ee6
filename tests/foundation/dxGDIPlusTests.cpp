// The GDI+ binding, its helpers and the units loader. Runs in both modes: with
// the system's gdiplus.dll, and with it switched off (the fallbacks).
#include "tests/foundation/dxGDIPlusTestsSupport.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"

#include <string>

using namespace gptest;

namespace {

class dxGDIPlusBinding : public GdiPlusSuite {};

bool AllEntriesBound() {
  return GdipAlloc && GdiplusStartup && GdipCreateFromHDC && GdipDrawImageRectRectI && GdipCloneBitmapAreaI;
}

bool NoEntryBound() {
  return !GdipAlloc && !GdiplusStartup && !GdipCreateFromHDC && !GdipDrawImageRectRectI && !GdipCloneBitmapAreaI;
}

TEST_F(dxGDIPlusBinding, ReadyExactlyWhenTheLibraryCanBeLoaded) {
  EXPECT_EQ(dxIsGdiPlusReady(), SystemHasGdiPlus());
  // Asking again neither changes the answer nor leaves anything half bound.
  EXPECT_EQ(dxIsGdiPlusReady(), SystemHasGdiPlus());
  if (SystemHasGdiPlus())
    EXPECT_TRUE(AllEntriesBound());
  else
    EXPECT_TRUE(NoEntryBound());
}

// Start-up only asks whether GDI+ can start; the first image starts it, and
// works as one made after GDI+ had started at once.
TEST_F(dxGDIPlusBinding, StartsWithTheFirstImageNotBefore) {
  REQUIRE_GDIPLUS();
  dxGpReleaseLibrary();
  EXPECT_TRUE(dxIsGdiPlusAvailable());
  EXPECT_TRUE(NoEntryBound());

  auto image = Own(TdxGPImage::CreateFromPattern(2, 2, TdxRGBColors(4, Quad(0, 0, 255, 255)), true));
  EXPECT_EQ(image->ClassType(), TdxGPImage::StaticClass());
  ASSERT_TRUE(image->HandleAllocated());
  EXPECT_TRUE(AllEntriesBound());
  TDib dib(8, 8, 0xFF000000);
  image->Draw(dib.DC(), TRect(0, 0, 4, 4));
  EXPECT_EQ(dib.At(1, 1), 0xFFFF0000u);
  EXPECT_EQ(dib.At(6, 6), 0xFF000000u);
}

TEST_F(dxGDIPlusBinding, NotAvailableWhereTheLibraryIsSwitchedOff) {
  REQUIRE_NO_GDIPLUS();
  EXPECT_FALSE(dxIsGdiPlusAvailable());
  EXPECT_FALSE(dxIsGdiPlusReady());
  EXPECT_FALSE(dxIsGdiPlusAvailable());
}

// A library that lacks one name: nothing after it is looked up, nothing stays bound.
const char* gMissingName = nullptr;
std::vector<std::string> gLookedUp;
FARPROC FakeLookup(HMODULE, const char* name) {
  gLookedUp.push_back(name);
  static int anything;
  return std::string(name) == (gMissingName ? gMissingName : "") ? nullptr : reinterpret_cast<FARPROC>(&anything);
}

TEST_F(dxGDIPlusBinding, MissingEntryPointLeavesNothingBound) {
  struct Case {
    const char* missing;
    int expectedLookups;
  };
  const Case cases[] = {{"GdipAlloc", 1}, {"GdipCreateFromHDC", 34}, {"GdipCloneBitmapAreaI", 97}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.missing);
    gMissingName = c.missing;
    gLookedUp.clear();
    FARPROC entries[dxGpEntryCount];
    EXPECT_FALSE(dxgpdetail::BindEntries(nullptr, &FakeLookup, entries));
    ASSERT_EQ(int(gLookedUp.size()), c.expectedLookups);
    EXPECT_EQ(gLookedUp.back(), c.missing);
    for (FARPROC e : entries) EXPECT_EQ(e, nullptr);
  }
  gMissingName = nullptr;
  gLookedUp.clear();
  FARPROC entries[dxGpEntryCount];
  EXPECT_TRUE(dxgpdetail::BindEntries(nullptr, &FakeLookup, entries));
  EXPECT_EQ(int(gLookedUp.size()), dxGpEntryCount);
  EXPECT_EQ(gLookedUp.front(), "GdipAlloc");
  EXPECT_EQ(gLookedUp.back(), "GdipCloneBitmapAreaI");
}

TEST_F(dxGDIPlusBinding, BindingOrderHasNoDuplicates) {
  for (int i = 0; i < dxGpEntryCount; ++i)
    for (int j = i + 1; j < dxGpEntryCount; ++j) EXPECT_STRNE(dxGpEntryNames[i], dxGpEntryNames[j]);
}

TEST_F(dxGDIPlusBinding, CheckStatusFailsOnAnythingButOk) {
  EXPECT_NO_THROW(dxGpCheckStatus(GpOk));
  for (GpStatus status : {1, 2, 7, 21}) {
    try {
      dxGpCheckStatus(status);
      ADD_FAILURE() << "status " << status << " passed";
    } catch (EAssertionFailed& e) {
      EXPECT_NE(e.Message.find(L"Invalid operation in GDI+"), String::npos);
    }
  }
}

TEST_F(dxGDIPlusBinding, MakeGpColor) {
  EXPECT_EQ(dxMakeGpColor(clNone, 255), 0u);
  EXPECT_EQ(dxMakeGpColor(0x0000FF, 128), 0x80FF0000u);
  EXPECT_EQ(dxMakeGpColor(0x123456, 255), 0xFF563412u);
  EXPECT_EQ(dxMakeGpColor(clBlack, 0), 0u);
  const DWORD face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(dxMakeGpColor(clBtnFace, 0x40),
            0x40000000u | (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face));
}

TEST_F(dxGDIPlusBinding, PngEncoderLookup) {
  CLSID clsid{};
  if (!SystemHasGdiPlus()) {
    EXPECT_EQ(dxGpFindEncoderClsid(L"image/png", clsid), 1);
    return;
  }
  ASSERT_EQ(dxGpFindEncoderClsid(L"IMAGE/PNG", clsid), 0);
  dxLookupPngEncoder();
  EXPECT_TRUE(IsEqualCLSID(clsid, dxPngEncoderClsid));
  EXPECT_EQ(dxGpFindEncoderClsid(L"image/none-such", clsid), 1);
  // Once known, the id is not asked for again.
  const CLSID known = dxPngEncoderClsid;
  dxPngEncoderClsid = CLSID{0x12345678, 1, 2, {}};
  dxLookupPngEncoder();
  EXPECT_EQ(dxPngEncoderClsid.Data1, 0x12345678u);
  dxPngEncoderClsid = known;
}

TEST_F(dxGDIPlusBinding, GradientFillRunsFromFirstToSecondColour) {
  REQUIRE_GDIPLUS();
  TDib dib(20, 4, 0xFF000000);
  {
    TGraphicsOn graphics(dib.DC());
    dxGpFillGradientRect(graphics.Get(), TRect(0, 0, 20, 4), 0xFFFF0000, 0xFF0000FF, 0 /* horizontal */);
  }
  EXPECT_GT(R(dib.At(0, 1)), 230);
  EXPECT_LT(B(dib.At(0, 1)), 25);
  EXPECT_LT(R(dib.At(19, 1)), 25);
  EXPECT_GT(B(dib.At(19, 1)), 230);
  EXPECT_GT(R(dib.At(5, 1)), R(dib.At(14, 1)));
}

TEST_F(dxGDIPlusBinding, RectVisibility) {
  REQUIRE_GDIPLUS();
  // (Wine's GDI+ leaves a clip region of the DC out of its visible area: the
  // surface's bounds are what is checked here.)
  TDib dib(10, 10, 0);
  TGraphicsOn graphics(dib.DC());
  EXPECT_TRUE(dxGpIsRectVisible(graphics.Get(), TRect(1, 1, 3, 3)));
  EXPECT_TRUE(dxGpIsRectVisible(graphics.Get(), TRect(8, 8, 15, 15)));
  EXPECT_FALSE(dxGpIsRectVisible(graphics.Get(), TRect(50, 50, 59, 59)));
  EXPECT_FALSE(dxGpIsRectVisible(graphics.Get(), TRect(-20, 2, -10, 4)));
}

// The image data's own length, so that a picture inside a larger stream is
// read to its end and no further.
TEST(dxGDIPlusStreamData, ImageDataSizeStopsAtTheImagesEnd) {
  const TBytes png = MakePng(1, 1, {{1, 2, 3, 255}});
  TBytes bmp = {'B', 'M', 30, 0, 0, 0};
  bmp.resize(30, 0);
  const TBytes truncated(png.begin(), png.end() - 5);
  struct Case {
    const char* name;
    TBytes data;
    bool followedByMore;
    Int64 expected;
  };
  const Case cases[] = {
      {"png", png, true, Int64(png.size())},
      {"bmp by its file size", bmp, true, 30},
      {"truncated png: all that is left", truncated, false, Int64(truncated.size())},
      {"other data: all that is left", TBytes(40, 7), false, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBytes bytes = {'h', 'e', 'a', 'd'};
    bytes.insert(bytes.end(), c.data.begin(), c.data.end());
    if (c.followedByMore) bytes.insert(bytes.end(), 13, 0xEE);
    auto stream = StreamOf(bytes);
    stream->SetPosition(4);
    EXPECT_EQ(dxGpImageDataSize(stream.get()), c.expected);
    EXPECT_EQ(stream->Position(), 4);
  }
}

// ---------------------------------------------------------------------------
// Units loader
// ---------------------------------------------------------------------------

std::vector<std::string> gCalls;
void InitA() { gCalls.push_back("initA"); }
void InitB() { gCalls.push_back("initB"); }
void FinA() { gCalls.push_back("finA"); }
void FinB() { gCalls.push_back("finB"); }
void FinC() { gCalls.push_back("finC"); }

class dxUnitsLoader : public ::testing::Test {
 protected:
  // The started flag is process-wide: the program's own loader relies on it at shutdown.
  void SetUp() override {
    savedStarted_ = dxUnitsStarted;
    gCalls.clear();
  }
  void TearDown() override { dxUnitsStarted = savedStarted_; }
  bool savedStarted_ = false;
};

TEST_F(dxUnitsLoader, ProgramRunsStartUpAtOnceAndShutdownOnceInReverse) {
  EXPECT_FALSE(dxIsUnitsLoadingDeferred());
  auto loader = Own(Make<TdxUnitsLoader>());
  loader->AddUnit(&InitA, &FinA);
  loader->AddUnit(&InitB, &FinB);
  loader->AddUnit(nullptr, &FinC);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"initA", "initB"}));
  EXPECT_TRUE(loader->InitializeList().empty());
  EXPECT_TRUE(dxUnitsStarted);

  loader->Initialize();   // nothing waits
  EXPECT_EQ(gCalls.size(), 2u);

  gCalls.clear();
  loader->Finalize();
  EXPECT_EQ(gCalls, (std::vector<std::string>{"finC", "finB", "finA"}));
  loader->Finalize();
  EXPECT_EQ(gCalls.size(), 3u);
  EXPECT_FALSE(dxUnitsStarted);
}

TEST_F(dxUnitsLoader, RemoveUnitRunsOnlyWhatItTakesOut) {
  auto loader = Own(Make<TdxUnitsLoader>());
  loader->AddUnit(&InitA, &FinA);
  loader->AddUnit(&InitB, &FinB);
  gCalls.clear();
  loader->RemoveUnit(&FinC);
  EXPECT_TRUE(gCalls.empty());
  loader->RemoveUnit(&FinA);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"finA"}));
  loader->RemoveUnit(&FinA);
  EXPECT_EQ(gCalls.size(), 1u);
  gCalls.clear();
  loader.reset();   // the destructor finalizes what is left
  EXPECT_EQ(gCalls, (std::vector<std::string>{"finB"}));
}

TEST_F(dxUnitsLoader, ProcessLoaderHoldsTheBindingsShutdown) {
  dxGDIPlusAPIInitialize();
  TdxUnitsLoader* loader = dxGetDeferredUnitsLoader();
  EXPECT_EQ(loader, dxGetDeferredUnitsLoader());
  EXPECT_NE(std::find(loader->FinalizeList().begin(), loader->FinalizeList().end(), &dxGpReleaseLibrary),
            loader->FinalizeList().end());
  dxGDIPlusAPIFinalize();
}

}  // namespace
