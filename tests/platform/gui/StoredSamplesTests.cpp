// The image-list stream (an image list's stored "Bitmap" property) is the
// same bytes whichever target (32 or 64 bits) writes it, and each target
// reads what the other wrote: each sample list is written with the library
// and compared byte for byte with a golden file in tests/platform/gui/samples/
// (embedded by stored_samples.rc); the golden file is then read into a list
// whose images, masks and stored bytes are checked. Both suites run these
// tests against the same golden files.
//
// To regenerate the golden files after a deliberate change of the format, run
//   LANZE_WRITE_SAMPLES='Z:\tmp\samples' <build>/wine-exec <build>/platform_gui_tests.exe
//       --gtest_filter='StoredSamples*'
// (the folder as the test program sees it; it must exist), inspect the files
// with a hex dump for anything pointer-sized, padding or uninitialised, copy
// them into samples/ and rebuild.
#include "ImgListTestSupport.h"

#include "tests/support/StoredSamples.h"

#include <string>

using storedsamples::CheckSample;

namespace {

// What a sample list holds: image k as (BGRA pixel, transparent) at (x, y).
struct ListSample {
  const Char* File;
  int Width, Height;
  TColorDepth Depth;
  TColor BkColor;
  int Count;
  // Images with alpha are added without mask; the others masked by colour
  // (even k) or by a mask bitmap (odd k).
  bool (*HasAlpha)(int k);
  DWORD (*Pixel)(int k, int x, int y);
  bool (*Transparent)(int k, int x, int y);
  // Made the overlay image of slot 0 (-1: none).
  int OverlayImage;
};

constexpr DWORD kKeyBgra = 0x00FF00FF;   // fuchsia

// 32 bits: two images with alpha (premultiplied, every level from clear to
// opaque), one masked by colour and one by a mask bitmap.
bool AlphaFirstTwo(int k) { return k < 2; }
DWORD Pixel32(int k, int x, int y) {
  if (k < 2) {
    const DWORD a = (k == 0 ? x * 16 + y : 255 - (y * 16 + x)) & 0xFF;
    return a << 24 | (a * 3 / 4) << 16 | (a / 2) << 8 | (k == 0 ? a / 4 : a);
  }
  return DWORD(60 * k) | DWORD(x * 15) << 8 | DWORD(y * 15) << 16;
}
bool Transparent32(int k, int x, int y) {
  if (k < 2) return false;
  if (k == 2) return x < 3 || y >= 13;
  return x + y < 10;
}

// 24 bits, 10 x 12 (mask rows need padding): five images, masked by colour
// and by a mask bitmap in turn.
bool NoAlpha(int) { return false; }
DWORD Pixel24(int k, int x, int y) { return DWORD(40 * k + 20) << 16 | DWORD(x * 25) << 8 | DWORD(y * 20); }
bool Transparent24(int k, int x, int y) { return (x + y + k) % 4 == 0; }

const ListSample kSamples[] = {
    {L"imagelist32.il", 16, 16, cd32Bit, clNone, 4, AlphaFirstTwo, Pixel32, Transparent32, 2},
    {L"imagelist24.il", 10, 12, cd24Bit, clNavy, 5, NoAlpha, Pixel24, Transparent24, -1},
};

Owned<TBitmap> Bitmap32(int width, int height, const std::function<DWORD(int, int)>& pixel) {
  auto bitmap = MakeOwned<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    auto* row = static_cast<DWORD*>(bitmap->ScanLine(y));
    for (int x = 0; x < width; ++x) row[x] = pixel(x, y);
  }
  return bitmap;
}

Owned<TTestImageList> MakeList(const ListSample& s) {
  auto list = MakeOwned<TTestImageList>(nullptr, s.Width, s.Height);
  list->SetColorDepth(s.Depth);
  list->SetBkColor(s.BkColor);
  for (int k = 0; k < s.Count; ++k) {
    auto image = Bitmap32(s.Width, s.Height, [&](int x, int y) {
      return s.Transparent(k, x, y) && k % 2 == 0 ? kKeyBgra : s.Pixel(k, x, y);
    });
    if (s.HasAlpha(k)) {
      list->Add(image.get(), nullptr);
    } else if (k % 2 == 0) {
      list->AddMasked(image.get(), clFuchsia);
    } else {
      auto mask = Bitmap32(s.Width, s.Height, [&](int x, int y) { return s.Transparent(k, x, y) ? 0xFFFFFFu : 0u; });
      list->Add(image.get(), mask.get());
    }
  }
  if (s.OverlayImage >= 0) list->Overlay(s.OverlayImage, 0);
  return list;
}

void ExpectImages(TTestImageList* list, const ListSample& s) {
  ASSERT_EQ(list->Count(), s.Count);
  EXPECT_EQ(list->Width(), s.Width);
  EXPECT_EQ(list->Height(), s.Height);
  EXPECT_EQ(list->ColorDepth(), s.Depth);
  EXPECT_EQ(list->BkColor(), s.BkColor);
  for (int k = 0; k < s.Count; ++k) {
    auto image = MakeOwned<TBitmap>();
    auto mask = MakeOwned<TBitmap>();
    list->GetImages(k, image.get(), mask.get());
    for (int y = 0; y < s.Height; ++y)
      for (int x = 0; x < s.Width; ++x) {
        // comctl32 derives the mask of an image with alpha from its alpha: the
        // bytes comparison keeps it, the pixels are what counts here.
        const bool transparent = s.Transparent(k, x, y);
        if (!s.HasAlpha(k)) {
          ASSERT_EQ(mask->Canvas()->GetPixel(x, y) == clWhite, transparent) << k << " " << x << "," << y;
        }
        const DWORD got = static_cast<const DWORD*>(image->ScanLine(y))[x];
        // Pixels with alpha exactly; the others' colour where the mask lets them show.
        const DWORD bits = s.HasAlpha(k) ? 0xFFFFFFFF : transparent ? 0 : 0xFFFFFF;
        ASSERT_EQ(got & bits, s.Pixel(k, x, y) & bits) << k << " " << x << "," << y;
      }
  }
}

void PrintTo(const ListSample& sample, std::ostream* os) { *os << storedsamples::AsciiName(sample.File); }

class Bytes : public ImgListTest, public testing::WithParamInterface<ListSample> {};

TEST_P(Bytes, WrittenAreTheGoldenFileAndItReadsBack) {
  const ListSample& s = GetParam();
  auto list = MakeList(s);
  auto written = MakeOwned<TMemoryStream>();
  list->WriteData(written.get());
  const TBytes golden = CheckSample(s.File, BytesOf(written.get()));

  // A list of another shape takes the stored one's.
  auto read = MakeOwned<TTestImageList>(nullptr, 32, 32);
  read->SetColorDepth(s.Depth == cd32Bit ? cd24Bit : cd32Bit);
  auto stream = MakeOwned<TMemoryStream>();
  stream->WriteBuffer(golden.data(), static_cast<int>(golden.size()));
  stream->SetPosition(0);
  read->ReadData(stream.get());
  EXPECT_EQ(stream->Position(), stream->Size());
  ExpectImages(read.get(), s);
  // What is not visible in the images (overlays, growth) is in the bytes.
  auto again = MakeOwned<TMemoryStream>();
  read->WriteData(again.get());
  EXPECT_TRUE(BytesOf(again.get()) == golden);
}

std::string SampleName(const testing::TestParamInfo<ListSample>& info) {
  return storedsamples::TestName(info.index, info.param.File);
}

INSTANTIATE_TEST_SUITE_P(StoredSamples, Bytes, testing::ValuesIn(kSamples), SampleName);

}  // namespace
