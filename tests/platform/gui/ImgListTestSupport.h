// Helpers shared by the image list tests.
#pragma once

#include "GraphicsTestSupport.h"
#include "platform/gui/ImgList.h"

#include <functional>
#include <vector>

// Opens the protected parts the tests look at.
class TTestImageList : public TImageList {
 public:
  explicit TTestImageList(TComponent* owner = nullptr) : TImageList(owner) {}
  TTestImageList(TComponent* owner, int width, int height) : TImageList(owner, width, height) {}
  using TCustomImageList::GetImages;
  using TCustomImageList::ReadData;
  using TCustomImageList::WriteData;
};

// Every test starts the image list module (idempotent) and must leave no
// image list handle behind.
class ImgListTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    ImgListInitialize();
    lists_ = ImgListLiveHandles();
  }
  void TearDown() override { EXPECT_EQ(ImgListLiveHandles(), lists_) << "image list handles leaked"; }

 private:
  long lists_ = 0;
};

constexpr TColor kKey = clFuchsia;   // the transparent colour of the test glyphs

// A pf32bit bitmap whose pixels come from `pixel(x, y)`.
inline Owned<TBitmap> Painted(int width, int height, const std::function<TColor(int, int)>& pixel) {
  auto bitmap = MakeBitmap(width, height, clBlack);
  for (int y = 0; y < height; ++y) {
    auto* row = static_cast<Byte*>(bitmap->ScanLine(y));
    for (int x = 0; x < width; ++x) {
      const TColor c = pixel(x, y);
      row[x * 4] = static_cast<Byte>(c >> 16);
      row[x * 4 + 1] = static_cast<Byte>(c >> 8);
      row[x * 4 + 2] = static_cast<Byte>(c);
      row[x * 4 + 3] = 0;
    }
  }
  return bitmap;
}

// 16 x 16: a `color` square over [4, 12) on the key colour.
inline Owned<TBitmap> Glyph(TColor color) {
  return Painted(16, 16, [color](int x, int y) { return x >= 4 && x < 12 && y >= 4 && y < 12 ? color : kKey; });
}

// Image k of the generated lists: pixels varying with image and position
// inside [2, 14), the key colour (transparent) around them.
inline TColor GeneratedPixel(int k, int x, int y) {
  if (x < 2 || x >= 14 || y < 2 || y >= 14) return kKey;
  return ((k * 37) & 0xFF) | (((k * 91 + x * 8) & 0xFF) << 8) | ((y * 16) << 16);
}

inline void FillGenerated(TCustomImageList* list, int count) {
  for (int k = 0; k < count; ++k) {
    auto glyph = Painted(16, 16, [k](int x, int y) { return GeneratedPixel(k, x, y); });
    list->AddMasked(glyph.get(), kKey);
  }
}

// The pixels of image `index` drawn onto `background`, row by row.
inline std::vector<TColor> DrawnPixels(TCustomImageList* list, int index, TColor background = clWhite) {
  const int w = list->Width(), h = list->Height();
  auto canvas = MakeBitmap(w, h, background);
  list->Draw(canvas->Canvas(), 0, 0, index);
  std::vector<TColor> pixels;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) pixels.push_back(PixelOf(canvas.get(), x, y));
  return pixels;
}

// The centre pixel of image `index` drawn on white.
inline TColor CentreOf(TCustomImageList* list, int index) {
  return DrawnPixels(list, index)[(list->Height() / 2) * list->Width() + list->Width() / 2];
}

inline std::vector<TColor> Centres(TCustomImageList* list) {
  std::vector<TColor> colors;
  for (int i = 0; i < list->Count(); ++i) colors.push_back(CentreOf(list, i));
  return colors;
}
