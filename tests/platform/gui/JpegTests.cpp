// TJPEGImage: bytes kept as loaded, decoding deferred to the first draw and
// done once, corrupt data reported as EInvalidGraphic.
#include "GraphicsTestSupport.h"

#include "platform/gui/Jpeg.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>
#include <vector>

namespace {

struct TJpegData : TJPEGImage {
  using TJPEGImage::ReadData;
  using TJPEGImage::WriteData;
};

// 32 × 16 in four blocks of 8 × 16: red, lime, blue, white.
Owned<TBitmap> FourBlocks() {
  auto bitmap = MakeBitmap(32, 16, clWhite, pf24bit);
  const TColor colors[] = {clRed, clLime, clBlue, clWhite};
  for (int i = 0; i < 4; ++i) {
    bitmap->Canvas()->Brush()->SetColor(colors[i]);
    bitmap->Canvas()->FillRect(Rect(i * 8, 0, i * 8 + 8, 16));
  }
  return bitmap;
}

TBytes FourBlocksJpeg() {
  auto image = MakeOwned<TJPEGImage>();
  auto blocks = FourBlocks();
  image->Assign(blocks.get());
  return SavedBytes(image.get());
}

Owned<TJPEGImage> LoadJpeg(const TBytes& bytes) {
  auto image = MakeOwned<TJPEGImage>();
  auto stream = MakeOwned<TBytesStream>(bytes);
  image->LoadFromStream(stream.get());
  return image;
}

bool Near(TColor actual, TColor expected, int tolerance = 24) {
  for (int shift = 0; shift < 24; shift += 8)
    if (std::abs(((actual >> shift) & 0xFF) - ((expected >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

constexpr size_t kNoMarker = static_cast<size_t>(-1);

// Offset of a marker (0xFF, code) in the data, or kNoMarker.
size_t FindMarker(const TBytes& data, Byte code) {
  for (size_t i = 0; i + 1 < data.size(); ++i)
    if (data[i] == 0xFF && data[i + 1] == code) return i;
  return kNoMarker;
}

class GraphicsJpeg : public GraphicsTest {};

// Claims a size it does not hold: serves its first bytes and counts the reads
// that reach past them.
class TVastStream : public TStream {
 public:
  TVastStream(Int64 size, TBytes head) : size_(size), head_(std::move(head)) {}
  int Read(void* buffer, int count) override {
    const Int64 n = std::clamp<Int64>(static_cast<Int64>(head_.size()) - pos_, 0, count);
    if (n > 0) std::memcpy(buffer, head_.data() + pos_, static_cast<size_t>(n));
    if (n < count) ++ReadsPastHead;
    pos_ += n;
    return static_cast<int>(n);
  }
  int Write(const void*, int) override { return 0; }
  Int64 Seek(Int64 offset, TSeekOrigin origin) override {
    pos_ = (origin == soBeginning ? 0 : origin == soCurrent ? pos_ : size_) + offset;
    return pos_;
  }
  int ReadsPastHead = 0;

 private:
  Int64 size_, pos_ = 0;
  TBytes head_;
};

}  // namespace

// The codec counts the data in 32 bits on both targets: more than 2 GB is
// turned away before it is allocated or read, not cut short.
TEST_F(GraphicsJpeg, DataPastTwoGigabytesIsRejectedUnread) {
  for (const Int64 size : {Int64(INT_MAX) + 1, Int64(5) << 30}) {
    SCOPED_TRACE(size);
    auto image = MakeOwned<TJpegData>();
    TVastStream whole(size, TBytes{0xFF, 0xD8});
    EXPECT_THROW(image->LoadFromStream(&whole), EInvalidGraphic);
    EXPECT_EQ(whole.ReadsPastHead, 0);
    EXPECT_TRUE(image->Empty());
  }
  const std::uint32_t stored = 0x80000000u;
  TBytes head(4);
  std::memcpy(head.data(), &stored, 4);
  TVastStream field(4 + Int64(stored), head);
  auto image = MakeOwned<TJpegData>();
  EXPECT_THROW(image->ReadData(&field), EInvalidGraphic);
  EXPECT_EQ(field.ReadsPastHead, 0);
}

TEST_F(GraphicsJpeg, CompressesAChangedImageAsBaseline) {
  const TBytes jpeg = FourBlocksJpeg();
  ASSERT_GT(jpeg.size(), 100u);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);
  EXPECT_NE(FindMarker(jpeg, 0xC0), kNoMarker) << "a baseline frame";
  EXPECT_EQ(FindMarker(jpeg, 0xC2), kNoMarker) << "not progressive";
}

TEST_F(GraphicsJpeg, LoadingReadsOnlyTheHeaderAndDrawingDecodesOnce) {
  const TBytes jpeg = FourBlocksJpeg();
  const long decodes = TJPEGImage::DecodeCount();
  auto image = LoadJpeg(jpeg);
  EXPECT_EQ(image->Width(), 32);
  EXPECT_EQ(image->Height(), 16);
  EXPECT_FALSE(image->ProgressiveEncoding());
  EXPECT_EQ(TJPEGImage::DecodeCount(), decodes) << "decoded at load";

  auto target = MakeBitmap(40, 20, clBlack);
  target->Canvas()->Draw(4, 2, image.get());
  EXPECT_EQ(TJPEGImage::DecodeCount(), decodes + 1);
  const TColor colors[] = {clRed, clLime, clBlue, clWhite};
  for (int i = 0; i < 4; ++i) {
    const TColor pixel = PixelOf(target.get(), 4 + i * 8 + 4, 2 + 8);
    EXPECT_TRUE(Near(pixel, colors[i])) << std::hex << pixel << " for block " << i;
  }
  EXPECT_EQ(PixelOf(target.get(), 3, 1), clBlack) << "drawn outside its place";
  EXPECT_EQ(PixelOf(target.get(), 36, 18), clBlack) << "drawn outside its place";

  target->Canvas()->StretchDraw(Rect(0, 0, 40, 20), image.get());
  target->Canvas()->Draw(4, 2, image.get());
  EXPECT_EQ(TJPEGImage::DecodeCount(), decodes + 1) << "decoded again";
  EXPECT_TRUE(Near(PixelOf(target.get(), 2, 10), clRed));
  EXPECT_TRUE(Near(PixelOf(target.get(), 38, 10), clWhite));

  // Drawing did not touch the bytes.
  EXPECT_EQ(SavedBytes(image.get()), jpeg);
  EXPECT_EQ(image->Data(), jpeg);
}

TEST_F(GraphicsJpeg, StoredDataKeepsTheBytesExactly) {
  const TBytes jpeg = FourBlocksJpeg();
  TBytes stored(4 + jpeg.size());
  const auto size = static_cast<std::uint32_t>(jpeg.size());
  std::memcpy(stored.data(), &size, 4);
  std::copy(jpeg.begin(), jpeg.end(), stored.begin() + 4);

  auto image = MakeOwned<TJpegData>();
  auto in = MakeOwned<TBytesStream>(stored);
  const long decodes = TJPEGImage::DecodeCount();
  image->ReadData(in.get());
  EXPECT_EQ(in->Position(), in->Size());
  image->SetCompressionQuality(20);   // would change the bytes if it recompressed
  auto out = MakeOwned<TMemoryStream>();
  image->WriteData(out.get());
  EXPECT_EQ(BytesOf(out.get()), stored);
  EXPECT_EQ(TJPEGImage::DecodeCount(), decodes);

  // A length past the data.
  stored[3] = 0x7F;
  auto lying = MakeOwned<TBytesStream>(stored);
  EXPECT_THROW(image->ReadData(lying.get()), EInvalidGraphic);
  EXPECT_EQ(image->Data(), jpeg) << "a failed read left the image changed";
}

TEST_F(GraphicsJpeg, CorruptDataRaisesInvalidGraphic) {
  const TBytes jpeg = FourBlocksJpeg();
  struct Case {
    const char* Name;
    TBytes Bytes;
  };
  const Case atLoad[] = {
      {"not a JPEG", TBytes{'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8}},
      {"only the start marker", TBytes{0xFF, 0xD8}},
      {"cut before the frame", TBytes(jpeg.begin(), jpeg.begin() + FindMarker(jpeg, 0xC0))},
  };
  for (const Case& c : atLoad) {
    SCOPED_TRACE(c.Name);
    auto image = MakeOwned<TJPEGImage>();
    auto stream = MakeOwned<TBytesStream>(c.Bytes);
    EXPECT_THROW(image->LoadFromStream(stream.get()), EInvalidGraphic);
    EXPECT_TRUE(image->Empty());
  }

  // A frame that names a quantization table no segment defines: the header
  // reads, decoding fails.
  TBytes broken = jpeg;
  const size_t sof = FindMarker(broken, 0xC0);
  ASSERT_NE(sof, kNoMarker);
  broken[sof + 10 + 2] = 3;   // first component's table selector
  auto image = LoadJpeg(broken);
  EXPECT_EQ(image->Width(), 32);
  auto target = MakeBitmap(32, 16);
  try {
    target->Canvas()->Draw(0, 0, image.get());
    FAIL() << "drawn";
  } catch (EInvalidGraphic& e) {
    EXPECT_NE(e.Message.find(L"JPEG"), String::npos);
  }
  // Cut-off scan data is drawn as far as it goes, silently.
  const size_t scan = FindMarker(jpeg, 0xDA);
  ASSERT_NE(scan, kNoMarker);
  auto truncated = LoadJpeg(TBytes(jpeg.begin(), jpeg.begin() + scan + (jpeg.size() - scan) / 2));
  EXPECT_NO_THROW(target->Canvas()->Draw(0, 0, truncated.get()));
}

TEST_F(GraphicsJpeg, DecodingOptions) {
  const TBytes jpeg = FourBlocksJpeg();
  auto image = LoadJpeg(jpeg);
  image->SetScale(jsHalf);
  EXPECT_EQ(image->Width(), 16);
  EXPECT_EQ(image->Height(), 8);
  auto bitmap = MakeOwned<TBitmap>();
  bitmap->Assign(image.get());
  EXPECT_EQ(bitmap->Width(), 16);

  image->SetScale(jsFullSize);
  image->SetGrayscale(true);
  bitmap->Assign(image.get());
  bitmap->SetPixelFormat(pf32bit);
  const TColor red = PixelOf(bitmap.get(), 4, 8);
  EXPECT_EQ(red & 0xFF, (red >> 8) & 0xFF);
  EXPECT_EQ(red & 0xFF, (red >> 16) & 0xFF);
  EXPECT_EQ(SavedBytes(image.get()), jpeg) << "options are no change to the data";

  image->SetGrayscale(false);
  image->SetPixelFormat(jf8Bit);
  bitmap->Assign(image.get());
  EXPECT_EQ(bitmap->PixelFormat(), pf8bit);
  bitmap->SetPixelFormat(pf32bit);
  EXPECT_TRUE(Near(PixelOf(bitmap.get(), 4, 8), clRed, 40));
  EXPECT_TRUE(Near(PixelOf(bitmap.get(), 20, 8), clBlue, 40));
}

TEST_F(GraphicsJpeg, CmykImagesDecodeToTheirColours) {
  // 8 × 8 of Adobe-style (inverted) CMYK red: no cyan, full magenta and yellow, no black.
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&info, &out, &outSize);
  info.image_width = 8;
  info.image_height = 8;
  info.input_components = 4;
  info.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&info);
  jpeg_set_colorspace(&info, JCS_CMYK);   // writes the Adobe marker
  jpeg_start_compress(&info, TRUE);
  Byte row[8 * 4];
  for (int x = 0; x < 8; ++x) {
    row[x * 4 + 0] = 255;
    row[x * 4 + 1] = 0;
    row[x * 4 + 2] = 0;
    row[x * 4 + 3] = 255;
  }
  while (info.next_scanline < info.image_height) {
    JSAMPROW p = row;
    jpeg_write_scanlines(&info, &p, 1);
  }
  jpeg_finish_compress(&info);
  const TBytes cmyk(out, out + outSize);
  jpeg_destroy_compress(&info);
  std::free(out);

  auto image = LoadJpeg(cmyk);
  auto bitmap = MakeOwned<TBitmap>();
  bitmap->Assign(image.get());
  bitmap->SetPixelFormat(pf32bit);
  EXPECT_TRUE(Near(PixelOf(bitmap.get(), 4, 4), clRed)) << std::hex << PixelOf(bitmap.get(), 4, 4);
  // Rows handed on as they come are converted alike.
  TBytes first;
  EXPECT_TRUE(LoadJpeg(cmyk)->DecodeRows([&](const Byte* row) {
    if (first.empty()) first.assign(row, row + 8 * 3);
  }));
  ASSERT_EQ(first.size(), 24u);
  EXPECT_TRUE(Near(static_cast<TColor>(RGB(first[14], first[13], first[12])), clRed));
}

TEST_F(GraphicsJpeg, AssignedBitmapIsRecompressedWithTheQuality) {
  auto blocks = FourBlocks();
  auto image = MakeOwned<TJPEGImage>();
  TEventCounter changed;
  image->OnChange = changed.Event();
  image->Assign(blocks.get());
  EXPECT_EQ(changed.Count, 1);
  EXPECT_EQ(image->Width(), 32);
  image->SetCompressionQuality(10);
  const TBytes low = SavedBytes(image.get());
  auto fine = MakeOwned<TJPEGImage>();
  fine->Assign(blocks.get());
  fine->SetCompressionQuality(100);
  EXPECT_LT(low.size(), SavedBytes(fine.get()).size());
  EXPECT_EQ(fine->CompressionQuality(), 100);
  EXPECT_EQ(MakeOwned<TJPEGImage>()->CompressionQuality(), 90);
}

// Rows come out of the library in batches: every row lands in its own place, also in the
// last, shorter batch, whether the pixels are kept or handed on as they come.
TEST_F(GraphicsJpeg, EveryDecodedRowLandsInItsPlace) {
  const TColor colors[] = {clRed, clLime, clBlue, clWhite, clBlack, clYellow};
  auto bands = MakeBitmap(24, 6 * 8, clWhite, pf24bit);
  for (int height : {48, 43}) {   // three whole batches of 16; a shorter last one
    SCOPED_TRACE(height);
    bands->SetHeight(height);
    for (int i = 0; i < 6; ++i) {
      bands->Canvas()->Brush()->SetColor(colors[i]);
      bands->Canvas()->FillRect(Rect(0, i * 8, 24, i * 8 + 8));
    }
    auto source = MakeOwned<TJPEGImage>();
    source->Assign(bands.get());
    auto image = LoadJpeg(SavedBytes(source.get()));
    const long decodes = TJPEGImage::DecodeCount();
    std::vector<TBytes> streamed;
    EXPECT_TRUE(image->DecodeRows([&](const Byte* row) { streamed.emplace_back(row, row + 24 * 3); }));
    EXPECT_FALSE(image->Decoded()) << "handed on, not kept";
    EXPECT_EQ(TJPEGImage::DecodeCount(), decodes + 1);
    TBitmap* decoded = image->DecodedBitmap();
    ASSERT_EQ(decoded->Height(), height);
    ASSERT_EQ(static_cast<int>(streamed.size()), height);
    for (int y = 0; y < height; ++y) {
      const auto* row = static_cast<const Byte*>(decoded->ScanLine(y));
      EXPECT_EQ(streamed[static_cast<size_t>(y)], TBytes(row, row + 24 * 3)) << "row " << y;
    }
    for (int i = 0; i < 6; ++i) {
      const int y = std::min(i * 8 + 4, height - 1);
      EXPECT_TRUE(Near(PixelOf(decoded, 12, y), colors[i])) << std::hex << PixelOf(decoded, 12, y) << " row " << y;
    }
    // Kept pixels are not decoded again; grey output is no row of blue, green and red.
    EXPECT_FALSE(image->DecodeRows([](const Byte*) {}));
    auto grey = LoadJpeg(SavedBytes(source.get()));
    grey->SetGrayscale(true);
    EXPECT_FALSE(grey->DecodeRows([](const Byte*) {}));
    EXPECT_EQ(TJPEGImage::DecodeCount(), decodes + 2);
  }
}
