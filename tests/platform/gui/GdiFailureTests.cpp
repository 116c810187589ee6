// Bitmaps, canvases, graphics objects and icons when the system cannot make
// a GDI object: each piece of work runs with every one of its creations
// failing in turn and must finish or raise EOutOfResources, leak nothing, and
// leave what it was changing as it was.
#include "GraphicsTestSupport.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Jpeg.h"

#include "tests/support/GdiFailures.h"

#include <climits>

using gdifail::TArmed;

namespace {

COLORREF PixelAt(TBitmap* bitmap, int x, int y) { return ::GetPixel(bitmap->Canvas()->Handle(), x, y); }

bool IsGrey(COLORREF c) { return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c); }

using gdifail::TFailureCase;

const TFailureCase kCases[] = {
    {"a device bitmap sized and drawn on",
     [](const TArmed& armed) {
       auto bitmap = MakeOwned<TBitmap>();
       if (armed([&] {
             bitmap->SetSize(20, 10);
             TCanvas* canvas = bitmap->Canvas();
             canvas->Brush()->SetColor(clRed);
             canvas->FillRect(Rect(0, 0, 20, 10));
             canvas->Font()->SetSize(23);
             canvas->TextOut(1, 1, L"Ab");
             canvas->Pen()->SetWidth(3);
             canvas->LineTo(19, 9);
           })) {
         EXPECT_EQ(PixelAt(bitmap.get(), 19, 0), RGB(255, 0, 0));
       }
     }},
    {"a bitmap resized keeps its image when that fails",
     [](const TArmed& armed) {
       auto bitmap = MakeBitmap(8, 6, clBlue);
       const bool resized = armed([&] { bitmap->SetSize(16, 12); });
       EXPECT_EQ(bitmap->Width(), resized ? 16 : 8);
       EXPECT_EQ(bitmap->Height(), resized ? 12 : 6);
       EXPECT_EQ(PixelOf(bitmap.get(), 7, 5), clBlue);
     }},
    {"a DIB converted to 8 bits",
     [](const TArmed& armed) {
       auto bitmap = MakeBitmap(8, 6, clRed, pf24bit);
       if (armed([&] {
             bitmap->SetPixelFormat(pf8bit);
             EXPECT_NE(bitmap->GetPalette(), nullptr);
           })) {
         // The 8-bit colour table has pure red: a blank table would give black.
         EXPECT_EQ(PixelAt(bitmap.get(), 3, 3), RGB(255, 0, 0));
       }
     }},
    {"a DIB made a device bitmap, then monochrome",
     [](const TArmed& armed) {
       auto bitmap = MakeBitmap(8, 6, clRed, pf24bit);
       armed([&] {
         bitmap->SetHandleType(bmDDB);
         bitmap->SetMonochrome(true);
       });
       EXPECT_EQ(bitmap->Width(), 8);
     }},
    {"a device bitmap assigned",
     [](const TArmed& armed) {
       auto source = MakeBitmap(8, 6, clLime, pfDevice);
       auto copy = MakeOwned<TBitmap>();
       const bool copied = armed([&] { copy->Assign(source.get()); });
       EXPECT_EQ(copy->Width(), copied ? 8 : 0);
       if (copied) {
         EXPECT_EQ(PixelAt(copy.get(), 7, 5), RGB(0, 255, 0));
       }
     }},
    {"a transparent bitmap drawn and brush-copied",
     [](const TArmed& armed) {
       auto source = MakeBitmap(8, 8, clWhite, pfDevice);
       source->Canvas()->Brush()->SetColor(clBlue);
       source->Canvas()->FillRect(Rect(2, 2, 6, 6));
       auto target = MakeBitmap(16, 16, clYellow);
       if (armed([&] {
             source->SetTransparent(true);
             target->Canvas()->Draw(0, 0, source.get());
             target->Canvas()->Brush()->SetColor(clRed);
             target->Canvas()->BrushCopy(Rect(8, 8, 16, 16), source.get(), Rect(0, 0, 8, 8), clWhite);
           })) {
         EXPECT_EQ(PixelOf(target.get(), 0, 0), clYellow);
         EXPECT_EQ(PixelOf(target.get(), 3, 3), clBlue);
         EXPECT_EQ(PixelOf(target.get(), 8, 8), clRed);
       }
     }},
    {"a BMP read from a stream",
     [](const TArmed& armed) {
       auto stream = MakeOwned<TMemoryStream>();
       MakeBitmap(5, 3, clTeal, pf4bit)->SaveToStream(stream.get());
       auto bitmap = MakeOwned<TBitmap>();
       armed([&] {
         stream->SetPosition(0);
         bitmap->LoadFromStream(stream.get());
       });
     }},
    {"pattern, hatched and solid brushes, pens and fonts",
     [](const TArmed& armed) {
       auto pattern = MakeBitmap(8, 8, clNavy, pfDevice);
       auto target = MakeBitmap(16, 16);
       TCanvas* canvas = target->Canvas();
       armed([&] {
         canvas->Brush()->SetBitmap(pattern.get());
         canvas->FillRect(Rect(0, 0, 8, 8));
         canvas->Brush()->SetBitmap(nullptr);
         canvas->Brush()->SetStyle(bsDiagCross);
         canvas->Pen()->SetStyle(psDot);
         canvas->Font()->SetStyle(TFontStyles{fsItalic});
         canvas->Rectangle(Rect(8, 8, 16, 16));
         canvas->TextOut(0, 0, L"x");
       });
     }},
    {"icons copied, saved and read back",
     [](const TArmed& armed) {
       auto bare = MakeOwned<TIcon>();
       bare->SetHandle(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)));
       auto copy = MakeOwned<TIcon>();
       auto readBack = MakeOwned<TIcon>();
       auto stream = MakeOwned<TMemoryStream>();
       const bool done = armed([&] {
         copy->Assign(bare.get());
         copy->SaveToStream(stream.get());
         stream->SetPosition(0);
         readBack->LoadFromStream(stream.get());
       });
       // An icon that could not be copied stays as it was, not half empty.
       EXPECT_EQ(copy->Handle() != nullptr, copy->Width() > 0);
       if (done) {
         EXPECT_EQ(readBack->Width(), bare->Width());
       }
     }},
    {"an icon taken from an image list",
     [](const TArmed& armed) {
       auto images = MakeOwned<TImageList>(nullptr, 16, 16);
       images->Add(MakeBitmap(16, 16, clMaroon).get(), nullptr);
       auto icon = MakeOwned<TIcon>();
       armed([&] { images->GetIcon(0, icon.get()); });
     }},
    {"a grey JPEG decoded",
     [](const TArmed& armed) {
       auto jpeg = MakeOwned<TJPEGImage>();
       {
         auto source = MakeOwned<TJPEGImage>();
         source->Assign(MakeBitmap(8, 8, RGB(200, 100, 50), pf24bit).get());
         source->SetGrayscale(true);
         source->JPEGNeeded();
         auto stream = MakeOwned<TMemoryStream>();
         source->SaveToStream(stream.get());
         stream->SetPosition(0);
         jpeg->LoadFromStream(stream.get());
       }
       if (armed([&] { jpeg->DIBNeeded(); })) {
         auto out = MakeBitmap(8, 8);
         out->Canvas()->Draw(0, 0, jpeg.get());
         EXPECT_TRUE(IsGrey(PixelAt(out.get(), 4, 4))) << std::hex << PixelAt(out.get(), 4, 4);
       }
     }},
};

}  // namespace

class GdiFailureTest : public GraphicsTest {};

TEST_F(GdiFailureTest, EveryCreationFailingInTurnLeaksNothing) {
  gdifail::SweepEachCase(kCases);
}

// The failure plan itself: creations fail where planned and only there, count
// nothing, and say why; other threads go on undisturbed.
TEST_F(GdiFailureTest, PlannedFailuresAreExactAndLocal) {
  const long brushes = GdiAccounting::Live(gokBrush), dcs = GdiAccounting::Live(gokDC);
  const LOGBRUSH lb{BS_SOLID, RGB(1, 2, 3), 0};
  struct TOtherThread {
    static DWORD WINAPI Run(LPVOID brush) {
      *static_cast<HBRUSH*>(brush) = GdiCreateBrush(LOGBRUSH{BS_SOLID, 0, 0});
      return 0;
    }
  };
  GdiAccounting::FailCreations(1, 3);
  HBRUSH made[5] = {};
  made[0] = GdiCreateBrush(lb);
  SetLastError(0);
  made[1] = GdiCreateBrush(lb);
  const DWORD brushError = GetLastError();
  HANDLE thread = CreateThread(nullptr, 0, &TOtherThread::Run, &made[2], 0, nullptr);
  if (thread) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
  SetLastError(0);
  HDC dc = GdiCreateCompatibleDC(nullptr);
  const DWORD dcError = GetLastError();
  made[3] = GdiCreateBrush(lb);
  made[4] = GdiCreateBrush(lb);
  const long injected = GdiAccounting::InjectedFailures();
  GdiAccounting::ResetFailures();

  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(injected, 3);
  EXPECT_EQ(GdiAccounting::InjectedFailures(), 0);
  EXPECT_EQ(brushError, static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(dcError, static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(dc, nullptr);
  const bool expectMade[5] = {true, false, true, false, true};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(made[i] != nullptr, expectMade[i]) << "creation " << i;
  EXPECT_EQ(GdiAccounting::Live(gokBrush), brushes + 3);
  EXPECT_EQ(GdiAccounting::Live(gokDC), dcs);
  for (HBRUSH b : made) GdiDeleteObject(b);
  EXPECT_EQ(GdiAccounting::Live(gokBrush), brushes);
}

// A canvas selects its font, then fails to make its pen: the font counts as
// selected, so a later font change takes it out of the DC before the handle
// is deleted (a selected object cannot be deleted).
TEST_F(GdiFailureTest, CanvasLetsGoOfWhatItSelectedBeforeAFailure) {
  auto bitmap = MakeBitmap(8, 8);
  TCanvas* canvas = bitmap->Canvas();
  HDC dc = canvas->Handle();
  canvas->Font()->SetHeight(-31);
  canvas->Pen()->SetWidth(5);
  HFONT font = canvas->Font()->Handle();
  GdiAccounting::FailNextCreations(1);
  EXPECT_THROW(canvas->Handle(), EOutOfResources);
  GdiAccounting::ResetFailures();
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
  canvas->Font()->SetHeight(-29);
  EXPECT_NE(GetCurrentObject(dc, OBJ_FONT), font);
  canvas->TextOut(0, 0, L"x");
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), canvas->Font()->Handle());
}
