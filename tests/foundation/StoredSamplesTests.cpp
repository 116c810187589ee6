// The compressed stored form of bitmaps ("XDBM") and the image list that
// stores its images in it are the same bytes whichever target (32 or 64 bits)
// writes them, and each target reads what the other wrote: each sample is
// written with the library and compared byte for byte with a golden file in
// tests/foundation/samples/ (embedded by stored_samples.rc); the golden file
// is then read back and its pixels and properties checked. Both suites run
// these tests against the same golden files.
//
// To regenerate the golden files after a deliberate change of a format, run
//   LANZE_WRITE_SAMPLES='Z:\tmp\samples' <build>/wine-exec <build>/foundation_tests.exe
//       --gtest_filter='StoredSamples*'
// (the folder as the test program sees it; it must exist), inspect the files
// with a hex dump for anything pointer-sized, padding or uninitialised, copy
// them into samples/ and rebuild.
#include "platform/WinApi.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsImageList.h"

#include "platform/core/Filer.h"
#include "platform/core/Streams.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/ImgList.h"

#include "tests/support/StoredSamples.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

using storedsamples::BytesOfStream;
using storedsamples::CheckSample;

namespace {

class TSampleBitmap : public TcxBitmap {
 public:
  using TcxBitmap::TcxBitmap;
  using TcxBitmap::ReadData;
  using TcxBitmap::WriteData;
};

// Solid areas (runs) beside varying pixels (literals), alpha from clear to
// opaque; BGRA.
DWORD Pixel(int x, int y) {
  if (y < 3) return 0xFF204060;
  if (x < 4) return 0x00000000;
  return DWORD(x * 16 + y) << 24 | DWORD(x * 9) << 16 | DWORD(y * 11) << 8 | DWORD(x + y);
}

Byte* PixelPtr(TBitmap* bitmap, int x, int y, int bytes) {
  return static_cast<Byte*>(bitmap->ScanLine(y)) + x * bytes;
}

// A bitmap of the pixels, 4 or 3 bytes each (13 pixels of 3 bytes leave a
// padding byte at the end of each row).
Owned<TSampleBitmap> MakeBitmap(int width, int height, TPixelFormat format) {
  auto bitmap = MakeOwned<TSampleBitmap>(width, height, format);
  const int bytes = format == pf32bit ? 4 : 3;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const DWORD p = Pixel(x, y);
      std::memcpy(PixelPtr(bitmap.get(), x, y, bytes), &p, bytes);
    }
  bitmap->SetCompressData(true);
  return bitmap;
}

void ExpectPixels(TBitmap* bitmap, int width, int height, TPixelFormat format) {
  ASSERT_EQ(bitmap->Width(), width);
  ASSERT_EQ(bitmap->Height(), height);
  ASSERT_EQ(bitmap->PixelFormat(), format);
  const int bytes = format == pf32bit ? 4 : 3;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      DWORD got = 0;
      std::memcpy(&got, PixelPtr(bitmap, x, y, bytes), bytes);
      ASSERT_EQ(got, Pixel(x, y) & (bytes == 4 ? 0xFFFFFFFFu : 0xFFFFFFu)) << x << "," << y;
    }
}

struct BitmapShape {
  int Width, Height;
  TPixelFormat Format;
};

std::function<TBytes()> WriteBitmap(BitmapShape s) {
  return [s] {
    auto bitmap = MakeBitmap(s.Width, s.Height, s.Format);
    TMemoryStream m;
    bitmap->WriteData(&m);
    return BytesOfStream(&m);
  };
}

std::function<void(const TBytes&)> ReadBitmap(BitmapShape s) {
  return [s](const TBytes& bytes) {
    auto bitmap = MakeOwned<TSampleBitmap>();
    TBytesStream stream(bytes);
    bitmap->ReadData(&stream);
    EXPECT_EQ(stream.Position(), stream.Size());
    ExpectPixels(bitmap.get(), s.Width, s.Height, s.Format);
  };
}

// A list with an image with alpha and one masked by colour, stored compressed.
Owned<TcxImageList> MakeImageList() {
  auto list = MakeOwned<TcxImageList>(nullptr);
  list->SetName(L"Images");
  list->SetCompressData(true);
  list->Add(MakeBitmap(16, 16, pf32bit).get(), nullptr);
  auto masked = MakeOwned<TBitmap>();
  masked->SetPixelFormat(pf32bit);
  masked->SetSize(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      static_cast<DWORD*>(masked->ScanLine(y))[x] = x < 2 || y > 13 ? 0x00FF00FF : DWORD(0x102030 + x * 0x0A0000 + y);
  list->AddMasked(masked.get(), clFuchsia);
  return list;
}

TBytes WriteImageList() {
  auto list = MakeImageList();
  TMemoryStream m;
  WriteComponentToStream(&m, list.get());
  return BytesOfStream(&m);
}

void ReadImageList(const TBytes& bytes) {
  auto read = MakeOwned<TcxImageList>(nullptr);
  TBytesStream stream(bytes);
  ReadComponentFromStream(&stream, read.get());
  EXPECT_EQ(read->Name(), L"Images");
  EXPECT_TRUE(read->CompressData());
  EXPECT_EQ(read->FormatVersion(), 1);
  ASSERT_EQ(read->Count(), 2);
  ASSERT_EQ(read->Images()->Count(), 2);
  EXPECT_EQ(read->Images()->Items(0)->MaskColor(), clNone);
  EXPECT_EQ(read->Images()->Items(1)->MaskColor(), clFuchsia);
  auto source = MakeImageList();
  for (int i = 0; i < 2; ++i) {
    auto expected = MakeOwned<TcxBitmap32>();
    auto got = MakeOwned<TcxBitmap32>();
    source->GetImageInfo(i, expected.get(), nullptr);
    read->GetImageInfo(i, got.get(), nullptr);
    ASSERT_EQ(got->Width(), 16);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        ASSERT_EQ(static_cast<const DWORD*>(got->ScanLine(y))[x], static_cast<const DWORD*>(expected->ScanLine(y))[x])
            << i << " " << x << "," << y;
  }
  EXPECT_TRUE(read->Equal(source.get()));
}

struct Sample {
  const Char* File;
  std::function<TBytes()> Write;
  std::function<void(const TBytes&)> Read;
};

const Sample kSamples[] = {
    {L"bitmap32.xdbm", WriteBitmap({16, 12, pf32bit}), ReadBitmap({16, 12, pf32bit})},
    {L"bitmap24.xdbm", WriteBitmap({13, 7, pf24bit}), ReadBitmap({13, 7, pf24bit})},
    {L"imagelist.bin", WriteImageList, ReadImageList},
};

void PrintTo(const Sample& sample, std::ostream* os) { *os << storedsamples::AsciiName(sample.File); }

class Bytes : public testing::TestWithParam<Sample> {
 protected:
  void SetUp() override {
    gdi_ = GdiAccounting::Live();
    lists_ = ImgListLiveHandles();
  }
  void TearDown() override {
    EXPECT_EQ(GdiAccounting::Live(), gdi_) << "GDI objects leaked";
    EXPECT_EQ(ImgListLiveHandles(), lists_) << "image lists leaked";
  }

 private:
  long gdi_ = 0, lists_ = 0;
};

TEST_P(Bytes, WrittenAreTheGoldenFileAndItReadsBack) {
  const Sample& sample = GetParam();
  const TBytes golden = CheckSample(sample.File, sample.Write());
  sample.Read(golden);
}

std::string SampleName(const testing::TestParamInfo<Sample>& info) {
  return storedsamples::TestName(info.index, info.param.File);
}

INSTANTIATE_TEST_SUITE_P(StoredSamples, Bytes, testing::ValuesIn(kSamples), SampleName);

}  // namespace
