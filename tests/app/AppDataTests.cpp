// The generated data of the main window, byte by byte: the image-list stream
// of the toolbar glyphs and the background picture's stored "Data".
#include "tests/app/AppTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

namespace {

constexpr size_t kHeader = 28;

// One 16x16 image of the list's 32-bit bitmap (4 images a row, rows stored
// bottom-up), as BGRA values from the top row.
std::array<uint32_t, 256> Image(const std::vector<Byte>& il, int index) {
  const size_t bmp = kHeader;
  const size_t bits = bmp + Le32(il, bmp + 10);
  const int width = static_cast<int>(Le32(il, bmp + 18)), height = static_cast<int>(Le32(il, bmp + 22));
  std::array<uint32_t, 256> out{};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const int X = index % 4 * 16 + x, Y = index / 4 * 16 + y;
      out[y * 16 + x] = Le32(il, bits + (size_t(height - 1 - Y) * width + X) * 4);
    }
  return out;
}

// Whether the mask marks pixel (x, y) of image `index` transparent.
bool MaskedOut(const std::vector<Byte>& il, int index, int x, int y) {
  const size_t mask = kHeader + Le32(il, kHeader + 2);
  const size_t bits = mask + Le32(il, mask + 10);
  const int height = static_cast<int>(Le32(il, mask + 22));
  const int X = index % 4 * 16 + x, Y = index / 4 * 16 + y;
  const Byte b = il.at(bits + size_t(height - 1 - Y) * 8 + X / 8);
  return (b >> (7 - X % 8)) & 1;
}

const int kShown[] = {24, 27, 35, 71, 85, 90, 92, 94, 135, 137, 143};

TEST(SmallImagesData, HeaderAndBitmapsHaveTheStoredLayout) {
  const std::vector<Byte> il = ResourceBytes(L"SMALLIMAGES");
  ASSERT_GE(il.size(), kHeader + 2 * 54u);
  EXPECT_EQ(il[0], 'I');
  EXPECT_EQ(il[1], 'L');
  EXPECT_EQ(Le16(il, 2), 0x0101);      // version
  EXPECT_EQ(Le16(il, 4), 149);         // images
  EXPECT_EQ(Le16(il, 6), 154);         // capacity
  EXPECT_EQ(Le16(il, 8), 4);           // grown by
  EXPECT_EQ(Le16(il, 10), 16);         // image size
  EXPECT_EQ(Le16(il, 12), 16);
  EXPECT_EQ(Le32(il, 14), CLR_NONE);   // background colour
  EXPECT_EQ(Le16(il, 18), ILC_COLOR32 | ILC_MASK);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Le16(il, 20 + 2 * i), 0xFFFF) << "overlay " << i;

  // The colour bitmap: 64x608 at 32 bits; then the mask: 64x608 at 1 bit.
  const struct {
    size_t At;
    int BitCount;
  } bitmaps[] = {{kHeader, 32}, {kHeader + Le32(il, kHeader + 2), 1}};
  size_t end = 0;
  for (const auto& b : bitmaps) {
    SCOPED_TRACE(b.BitCount);
    EXPECT_EQ(il.at(b.At), 'B');
    EXPECT_EQ(il.at(b.At + 1), 'M');
    EXPECT_EQ(Le32(il, b.At + 14), 40u);              // BITMAPINFOHEADER
    EXPECT_EQ(static_cast<int32_t>(Le32(il, b.At + 18)), 64);
    EXPECT_EQ(static_cast<int32_t>(Le32(il, b.At + 22)), 608);
    EXPECT_EQ(Le16(il, b.At + 28), b.BitCount);
    EXPECT_EQ(Le32(il, b.At + 30), static_cast<uint32_t>(BI_RGB));
    const size_t stride = (64 * size_t(b.BitCount) + 31) / 32 * 4;
    EXPECT_EQ(Le32(il, b.At + 2), Le32(il, b.At + 10) + stride * 608);   // file size
    end = b.At + Le32(il, b.At + 2);
  }
  EXPECT_EQ(end, il.size());
}

TEST(SmallImagesData, ShownGlyphsAreDrawnDistinctAndMasked) {
  const std::vector<Byte> il = ResourceBytes(L"SMALLIMAGES");
  ASSERT_FALSE(il.empty());
  std::vector<std::array<uint32_t, 256>> images;
  for (int i = 0; i < 149; ++i) images.push_back(Image(il, i));
  for (int index : kShown) {
    SCOPED_TRACE(index);
    const auto& image = images[index];
    const auto opaque = std::count_if(image.begin(), image.end(), [](uint32_t p) { return (p >> 24) == 0xFF; });
    const auto clear = std::count_if(image.begin(), image.end(), [](uint32_t p) { return (p >> 24) == 0; });
    // A figure, not a filled square and not an empty cell.
    EXPECT_GT(opaque, 40);
    EXPECT_GT(clear, 4);
    // The mask agrees with the alpha: transparent exactly where nothing is drawn.
    int disagree = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        if (MaskedOut(il, index, x, y) != ((image[y * 16 + x] >> 24) == 0)) ++disagree;
    EXPECT_EQ(disagree, 0);
  }
  for (size_t a = 0; a < images.size(); ++a)
    for (size_t b = a + 1; b < images.size(); ++b) EXPECT_NE(images[a], images[b]) << a << " and " << b;
}

// The marker segments of a JPEG stream up to the first frame header.
struct Frame {
  Byte Marker = 0;
  int Precision = 0, Height = 0, Width = 0, Components = 0;
};

Frame FirstFrame(const std::vector<Byte>& jpeg, size_t at) {
  Frame f;
  if (Be16(jpeg, at) != 0xFFD8) return f;   // SOI
  at += 2;
  while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
    const Byte marker = jpeg[at + 1];
    const size_t length = Be16(jpeg, at + 2);
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      f.Marker = marker;
      f.Precision = jpeg.at(at + 4);
      f.Height = Be16(jpeg, at + 5);
      f.Width = Be16(jpeg, at + 7);
      f.Components = jpeg.at(at + 9);
      return f;
    }
    at += 2 + length;
  }
  return f;
}

TEST(BackgroundPictureData, IsABaselineJpegInThePictureDataLayout) {
  const std::vector<Byte> data = ResourceBytes(L"BACKGROUND");
  ASSERT_GT(data.size(), 15u);
  // Length byte, class name, 32-bit length, the JPEG.
  EXPECT_EQ(data[0], 10);
  EXPECT_EQ(std::string(data.begin() + 1, data.begin() + 11), "TJPEGImage");
  EXPECT_EQ(Le32(data, 11), data.size() - 15);
  EXPECT_EQ(Be16(data, data.size() - 2), 0xFFD9);   // EOI ends the data

  const Frame frame = FirstFrame(data, 15);
  EXPECT_EQ(frame.Marker, 0xC0);   // SOF0: baseline
  EXPECT_EQ(frame.Precision, 8);
  EXPECT_EQ(frame.Width, 1600);
  EXPECT_EQ(frame.Height, 862);
  EXPECT_EQ(frame.Components, 3);
}

}  // namespace
