// GDI+ images and PNG pictures: pixels read back exactly from 32-bit
// premultiplied DIBs, PNG round trips, pictures inside larger streams, stretch
// geometry and constant alpha; and, with gdiplus.dll switched off, the null
// image class that draws, loads and saves nothing.
#include "tests/foundation/dxGDIPlusTestsSupport.h"

#include "platform/core/Components.h"
#include "platform/core/Exceptions.h"
#include "platform/core/SysUtils.h"

using namespace gptest;

namespace {

class dxPNGImage : public GdiPlusSuite {};

// Straight RGBA pixels and what they are premultiplied. The values are chosen
// so that premultiplying is exact (c * a divisible by 255): no rounding rule
// of the decoder can change them.
const std::vector<Rgba> kStraight = {{255, 0, 0, 255}, {0, 0, 0, 0}, {100, 200, 30, 51}, {30, 60, 90, 85}};
const std::vector<RGBQUAD> kPremultiplied = {Quad(0, 0, 255, 255), Quad(0, 0, 0, 0), Quad(6, 40, 20, 51),
                                             Quad(30, 20, 10, 85)};

Owned<TdxPNGImage> LoadPng(const TBytes& bytes) {
  auto picture = Own(Make<TdxPNGImage>());
  auto stream = StreamOf(bytes);
  picture->LoadFromStream(stream.get());
  return picture;
}

// A 16 x 16 opaque image: blue, with the last column red and the last row green.
TdxGPImage* MakeEdgeMarkedImage() {
  TdxRGBColors bits(256, Quad(255, 0, 0, 255));
  for (int i = 0; i < 16; ++i) {
    bits[size_t(i) * 16 + 15] = Quad(0, 0, 255, 255);
    bits[15 * 16 + size_t(i)] = Quad(0, 255, 0, 255);
  }
  return TdxGPImage::CreateFromPattern(16, 16, bits, true);
}

TEST_F(dxPNGImage, PngDecodesToExactPremultipliedPixels) {
  REQUIRE_GDIPLUS();
  auto picture = LoadPng(MakePng(2, 2, kStraight));
  ASSERT_EQ(picture->Width(), 2);
  ASSERT_EQ(picture->Height(), 2);
  EXPECT_TRUE(picture->IsAlphaUsed());
  // The image's own pixels ...
  TdxRGBColors bits;
  picture->Handle()->GetBitmapBits(bits);
  ASSERT_EQ(bits.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(AsDword(bits[i]), AsDword(kPremultiplied[i])) << "pixel " << i;
  // ... and the same pixels in the 32-bit DIB section of the platform bitmap.
  auto bitmap = Own(picture->GetAsBitmap());
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->PixelFormat(), pf32bit);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) {
      const auto* row = static_cast<const RGBQUAD*>(bitmap->ScanLine(y));
      EXPECT_EQ(AsDword(row[x]), AsDword(kPremultiplied[size_t(y) * 2 + x])) << x << "," << y;
    }
}

TEST_F(dxPNGImage, PngInsideALargerStreamIsReadToItsEndOnly) {
  REQUIRE_GDIPLUS();
  const TBytes first = MakePng(2, 2, kStraight);
  const TBytes second = MakePng(1, 1, {{0, 255, 0, 255}});
  TBytes bytes = {'j', 'u', 'n', 'k', '!'};
  bytes.insert(bytes.end(), first.begin(), first.end());
  bytes.insert(bytes.end(), second.begin(), second.end());
  bytes.insert(bytes.end(), {'t', 'a', 'i', 'l'});
  auto stream = StreamOf(bytes);
  stream->SetPosition(5);

  TdxPNGImage a, b;
  a.LoadFromStream(stream.get());
  EXPECT_EQ(stream->Position(), Int64(5 + first.size()));
  b.LoadFromStream(stream.get());
  EXPECT_EQ(stream->Position(), Int64(5 + first.size() + second.size()));

  ASSERT_EQ(a.Width(), 2);
  TdxRGBColors bits;
  a.Handle()->GetBitmapBits(bits);
  EXPECT_EQ(AsDword(bits[2]), AsDword(kPremultiplied[2]));
  ASSERT_EQ(b.Width(), 1);
  b.Handle()->GetBitmapBits(bits);
  EXPECT_EQ(AsDword(bits[0]), AsDword(Quad(0, 255, 0, 255)));
}

TEST_F(dxPNGImage, SavedPictureLoadsBackEqual) {
  REQUIRE_GDIPLUS();
  TdxRGBColors pixels;
  for (int i = 0; i < 12; ++i) pixels.push_back(i % 3 == 0 ? Quad(0, 0, 0, 0) : kPremultiplied[i % 4]);
  TdxPNGImage original;
  original.SetHandle(TdxGPImage::CreateFromPattern(4, 3, pixels, true));

  auto saved = Own(Make<TMemoryStream>());
  original.SaveToStream(saved.get());
  const TBytes bytes = BytesOf(saved.get());
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_EQ(0, std::memcmp(bytes.data(), "\x89PNG\r\n\x1a\n", 8));

  auto loaded = LoadPng(bytes);
  EXPECT_TRUE(loaded->Compare(&original));
  TdxRGBColors bits;
  loaded->Handle()->GetBitmapBits(bits);
  for (size_t i = 0; i < pixels.size(); ++i) EXPECT_EQ(AsDword(bits[i]), AsDword(pixels[i])) << "pixel " << i;

  // One pixel off is a different picture.
  pixels[5].rgbBlue ^= 1;
  TdxPNGImage changed;
  changed.SetHandle(TdxGPImage::CreateFromPattern(4, 3, pixels, true));
  EXPECT_FALSE(loaded->Compare(&changed));
}

TEST_F(dxPNGImage, EmptyPictures) {
  TdxPNGImage empty, other, one;
  auto nothing = StreamOf(TBytes());
  empty.LoadFromStream(nothing.get());
  EXPECT_TRUE(empty.Empty());
  EXPECT_EQ(empty.Width(), 0);
  EXPECT_TRUE(empty.Transparent());
  auto out = Own(Make<TMemoryStream>());
  empty.SaveToStream(out.get());
  EXPECT_EQ(out->Size(), 0);
  EXPECT_EQ(empty.GetAsBitmap(), nullptr);
  EXPECT_TRUE(empty.Compare(&other));
  if (SystemHasGdiPlus()) {
    one.SetHandle(TdxGPImage::CreateFromPattern(1, 1, {Quad(1, 2, 3, 255)}, true));
    EXPECT_FALSE(empty.Compare(&one));
    EXPECT_FALSE(one.Compare(&empty));
  }
}

TEST_F(dxPNGImage, BitmapFilesLoadThroughThePlatformBitmap) {
  REQUIRE_GDIPLUS();
  struct Case {
    const char* name;
    TPixelFormat format;
    RGBQUAD written;
    RGBQUAD expected;
  };
  const Case cases[] = {
      {"24-bit: opaque", pf24bit, Quad(10, 20, 30, 0), Quad(10, 20, 30, 255)},
      {"32-bit: alpha kept", pf32bit, Quad(10, 20, 30, 40), Quad(10, 20, 30, 40)},
      // GDI leaves alpha 0 in 32-bit bitmaps it draws on: that is no alpha at all.
      {"32-bit without any alpha: opaque", pf32bit, Quad(10, 20, 30, 0), Quad(10, 20, 30, 255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap bitmap;
    bitmap.SetPixelFormat(c.format);
    bitmap.SetSize(3, 2);
    for (int y = 0; y < 2; ++y) {
      auto* row = static_cast<Byte*>(bitmap.ScanLine(y));
      const int bpp = c.format == pf32bit ? 4 : 3;
      for (int x = 0; x < 3; ++x) std::memcpy(row + x * bpp, &c.written, bpp);
    }
    auto stream = Own(Make<TMemoryStream>());
    stream->WriteBuffer("pre", 3);
    bitmap.SaveToStream(stream.get());
    const Int64 end = stream->Position();
    stream->WriteBuffer("post", 4);
    stream->SetPosition(3);

    TdxPNGImage picture;
    picture.LoadFromStream(stream.get());
    EXPECT_EQ(stream->Position(), end);
    ASSERT_EQ(picture.Width(), 3);
    ASSERT_EQ(picture.Height(), 2);
    TdxRGBColors bits;
    picture.Handle()->GetBitmapBits(bits);
    for (const RGBQUAD& q : bits) EXPECT_EQ(AsDword(q), AsDword(c.expected));
  }
}

TEST_F(dxPNGImage, UndecodableDataIsAnErrorAndKeepsThePicture) {
  REQUIRE_GDIPLUS();
  TdxPNGImage picture;
  picture.SetHandle(TdxGPImage::CreateFromPattern(1, 1, {Quad(1, 2, 3, 255)}, true));
  auto garbage = StreamOf(TBytes(64, 0x5A));
  EXPECT_THROW(picture.LoadFromStream(garbage.get()), EAssertionFailed);
  EXPECT_EQ(picture.Width(), 1);
}

// Drawing through a graphics object with nearest-neighbour sampling, so that
// each destination pixel shows exactly one source pixel.
DWORD DrawnPixel(TdxGPImage* image, const TRect& dest, int x, int y, Byte alpha = 255) {
  TDib dib(40, 40, 0xFFFFFFFF);
  {
    TGraphicsOn graphics(dib.DC());
    dxGpCheckStatus(GdipSetInterpolationMode(graphics.Get(), InterpolationModeNearestNeighbor));
    image->DrawEx(graphics.Get(), dest, image->ClientRect(), alpha);
  }
  return dib.At(x, y);
}

// What DrawEx asks of GDI+, recorded in place of the real call.
struct TDrawCall {
  int dx, dy, dw, dh, sx, sy, sw, sh;
  bool withAttributes;
};
std::vector<TDrawCall> gDrawCalls;
GpStatus WINAPI RecordDraw(GpGraphics*, GpImage*, INT dx, INT dy, INT dw, INT dh, INT sx, INT sy, INT sw, INT sh,
                           GpUnit, const GpImageAttributes* attributes, GpDrawImageAbort, void*) {
  gDrawCalls.push_back({dx, dy, dw, dh, sx, sy, sw, sh, attributes != nullptr});
  return GpOk;
}

TEST_F(dxPNGImage, StretchingUpLeavesOutTheLastSourceColumnAndRow) {
  REQUIRE_GDIPLUS();
  auto image = Own(MakeEdgeMarkedImage());
  struct Case {
    TRect dest, source;
    Byte alpha;
    std::vector<int> expected;   // dest x, y, w, h, source x, y, w, h; empty: not drawn
    bool withAttributes;
  };
  const Case cases[] = {
      {TRect(0, 0, 32, 32), TRect(0, 0, 16, 16), 255, {0, 0, 32, 32, 0, 0, 15, 15}, false},
      {TRect(2, 3, 18, 19), TRect(0, 0, 16, 16), 255, {2, 3, 16, 16, 0, 0, 16, 16}, false},
      {TRect(0, 0, 8, 8), TRect(0, 0, 16, 16), 128, {0, 0, 8, 8, 0, 0, 16, 16}, true},
      {TRect(0, 0, 32, 16), TRect(4, 0, 12, 16), 0, {0, 0, 32, 16, 4, 0, 7, 16}, true},
      {TRect(0, 0, 5, 30), TRect(3, 3, 4, 13), 255, {0, 0, 5, 30, 3, 3, 1, 9}, false},   // one column stays
      {TRect(0, 0, 0, 10), TRect(0, 0, 16, 16), 255, {}, false},
      {TRect(0, 0, 10, 10), TRect(5, 5, 5, 9), 255, {}, false},
      {TRect(100, 100, 110, 110), TRect(0, 0, 16, 16), 255, {}, false},   // off the surface
  };
  TDib dib(40, 40, 0xFFFFFFFF);
  TGraphicsOn graphics(dib.DC());
  const auto real = GdipDrawImageRectRectI;
  GdipDrawImageRectRectI = &RecordDraw;
  for (const Case& c : cases) {
    gDrawCalls.clear();
    image->DrawEx(graphics.Get(), c.dest, c.source, c.alpha);
    if (c.expected.empty()) {
      EXPECT_TRUE(gDrawCalls.empty());
      continue;
    }
    ASSERT_EQ(gDrawCalls.size(), 1u);
    const TDrawCall& d = gDrawCalls[0];
    EXPECT_EQ((std::vector<int>{d.dx, d.dy, d.dw, d.dh, d.sx, d.sy, d.sw, d.sh}), c.expected);
    EXPECT_EQ(d.withAttributes, c.withAttributes);
  }
  GdipDrawImageRectRectI = real;

  // At its own size every source pixel is drawn, exactly where it belongs.
  image->DrawEx(graphics.Get(), TRect(2, 2, 18, 18), image->ClientRect(), 255);
  EXPECT_EQ(dib.At(2, 2), 0xFF0000FFu);
  EXPECT_EQ(dib.At(17, 5), 0xFFFF0000u);
  EXPECT_EQ(dib.At(5, 17), 0xFF00FF00u);
  EXPECT_EQ(dib.At(18, 5), 0xFFFFFFFFu);
}

TEST_F(dxPNGImage, ConstantAlpha) {
  REQUIRE_GDIPLUS();
  auto image = Own(TdxGPImage::CreateFromPattern(4, 4, TdxRGBColors(16, Quad(255, 0, 0, 255)), true));
  const TRect dest(0, 0, 4, 4);
  EXPECT_EQ(DrawnPixel(image.get(), dest, 1, 1, 0), 0xFFFFFFFFu);     // fully transparent
  EXPECT_EQ(DrawnPixel(image.get(), dest, 1, 1, 255), 0xFF0000FFu);   // as it is
  const DWORD half = DrawnPixel(image.get(), dest, 1, 1, 128);
  EXPECT_NEAR(R(half), 127, 1);
  EXPECT_NEAR(G(half), 127, 1);
  EXPECT_EQ(B(half), 255);
  // Nothing outside the destination, nothing for an empty one.
  EXPECT_EQ(DrawnPixel(image.get(), dest, 4, 1), 0xFFFFFFFFu);
  EXPECT_EQ(DrawnPixel(image.get(), TRect(3, 3, 3, 9), 3, 4), 0xFFFFFFFFu);
}

TEST_F(dxPNGImage, DrawOnACanvasStretchesTheWholePicture) {
  REQUIRE_GDIPLUS();
  TdxPNGImage picture;
  picture.SetHandle(MakeEdgeMarkedImage());
  TDib dib(40, 40, 0xFF000000);
  picture.StretchDraw(dib.DC(), TRect(4, 4, 20, 20));
  EXPECT_EQ(dib.At(4, 4), 0xFF0000FFu);
  EXPECT_EQ(dib.At(19, 4), 0xFFFF0000u);
  EXPECT_EQ(dib.At(20, 4), 0xFF000000u);
  // Part of it: the top-left quarter into a same-sized rectangle.
  TDib part(40, 40, 0xFF000000);
  picture.StretchDraw(part.DC(), TRect(0, 0, 8, 8), TRect(8, 8, 16, 16));
  EXPECT_EQ(part.At(0, 0), 0xFF0000FFu);
  EXPECT_EQ(part.At(7, 0), 0xFFFF0000u);
  EXPECT_EQ(part.At(0, 7), 0xFF00FF00u);
}

TEST_F(dxPNGImage, CompositionBlendsTheOverlayAtTheGivenOpacity) {
  REQUIRE_GDIPLUS();
  auto normal = Own(TdxGPImage::CreateFromPattern(2, 2, TdxRGBColors(4, Quad(255, 0, 0, 255)), true));
  auto hot = Own(TdxGPImage::CreateFromPattern(2, 2, TdxRGBColors(4, Quad(0, 0, 255, 255)), true));
  for (int alpha : {0, 64, 192, 255}) {
    SCOPED_TRACE(alpha);
    auto frame = Own(normal->MakeComposition(hot.get(), Byte(alpha)));
    ASSERT_EQ(frame->Width(), 2);
    TdxRGBColors bits;
    frame->GetBitmapBits(bits);
    EXPECT_NEAR(bits[3].rgbRed, alpha, 1);
    EXPECT_NEAR(bits[3].rgbBlue, 255 - alpha, 1);
    EXPECT_EQ(bits[3].rgbReserved, 255);
  }
}

TEST_F(dxPNGImage, AssignmentBetweenPicturesAndBitmaps) {
  REQUIRE_GDIPLUS();
  auto source = LoadPng(MakePng(2, 2, kStraight));

  TBitmap bitmap;
  bitmap.Assign(source.get());
  EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
  EXPECT_EQ(AsDword(static_cast<const RGBQUAD*>(bitmap.ScanLine(1))[1]), AsDword(kPremultiplied[3]));

  TdxPNGImage fromBitmap;
  fromBitmap.Assign(&bitmap);
  EXPECT_TRUE(fromBitmap.Compare(source.get()));

  TdxPNGImage copy;
  copy.Assign(source.get());
  EXPECT_TRUE(copy.Compare(source.get()));
  EXPECT_NE(copy.Handle(), source->Handle());
  source.reset();   // the copy lives on its own
  EXPECT_EQ(copy.Width(), 2);

  TdxPNGImage empty;
  copy.Assign(&empty);
  EXPECT_TRUE(copy.Empty());
}

TEST_F(dxPNGImage, ClonesOfPixelImagesShareThePixels) {
  REQUIRE_GDIPLUS();
  auto image = Own(TdxGPImage::CreateFromPattern(2, 1, {Quad(1, 2, 3, 255), Quad(4, 5, 6, 255)}, true));
  auto clone = Own(image->Clone());
  EXPECT_EQ(clone->Bits().data(), image->Bits().data());
  EXPECT_NE(clone->Handle(), image->Handle());
  image.reset();
  TdxRGBColors bits;
  clone->GetBitmapBits(bits);
  EXPECT_EQ(AsDword(bits[1]), AsDword(Quad(4, 5, 6, 255)));
}

TEST_F(dxPNGImage, ClipboardFormatDrawsOverWhite) {
  REQUIRE_GDIPLUS();
  TdxPNGImage picture;
  picture.SetHandle(TdxGPImage::CreateFromPattern(2, 1, {Quad(0, 0, 0, 0), Quad(0, 0, 255, 255)}, true));
  Word format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = nullptr;
  picture.SaveToClipboardFormat(format, data, palette);
  ASSERT_EQ(format, CF_BITMAP);
  ASSERT_NE(data, nullptr);
  TdxPNGImage back;
  back.LoadFromClipboardFormat(format, data, palette);
  DeleteObject(data);
  ASSERT_EQ(back.Width(), 2);
  TdxRGBColors bits;
  back.Handle()->GetBitmapBits(bits);
  EXPECT_EQ(AsDword(bits[0]) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(AsDword(bits[1]) & 0xFFFFFF, 0xFF0000u);
}

TEST_F(dxPNGImage, RegisteredAsThePngPictureFormat) {
  REQUIRE_GDIPLUS();
  EXPECT_EQ(dxGpImageClass, TdxGPImage::StaticClass());
  EXPECT_EQ(GetClass(L"TdxPNGImage"), TdxPNGImage::StaticClass());
  EXPECT_NE(GraphicFilter(TdxPNGImage::StaticClass()).find(L"*.png"), String::npos);

  // A picture file goes through the format list both ways.
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  const String file = String(dir) + L"dxPNGImage-" + IntToStr(int(GetCurrentProcessId())) + L".png";
  TPicture picture;
  {
    TdxPNGImage png;
    png.SetHandle(TdxGPImage::CreateFromPattern(2, 2, kPremultiplied, true));
    picture.SetGraphic(&png);
  }
  picture.SaveToFile(file);
  TPicture loaded;
  loaded.LoadFromFile(file);
  DeleteFileW(file.c_str());
  auto* png = dynamic_cast<TdxPNGImage*>(loaded.Graphic());
  ASSERT_NE(png, nullptr);
  TdxRGBColors bits;
  png->Handle()->GetBitmapBits(bits);
  EXPECT_EQ(AsDword(bits[3]), AsDword(kPremultiplied[3]));
}

// ---------------------------------------------------------------------------
// Without GDI+ (EXTRA_WINEDLLOVERRIDES="gdiplus=d")
// ---------------------------------------------------------------------------

TEST_F(dxPNGImage, WithoutGdiPlusImagesAreNullAndPngIsNotRegistered) {
  REQUIRE_NO_GDIPLUS();
  EXPECT_FALSE(dxIsGdiPlusReady());
  EXPECT_EQ(GdipCreateFromHDC, nullptr);
  EXPECT_EQ(dxGpImageClass, TdxGPNullImage::StaticClass());
  EXPECT_EQ(GetClass(L"TdxPNGImage"), nullptr);
  EXPECT_EQ(GraphicFilter(nullptr).find(L"png"), String::npos);
}

TEST_F(dxPNGImage, WithoutGdiPlusPicturesLoadDrawAndSaveNothing) {
  REQUIRE_NO_GDIPLUS();
  TdxPNGImage picture;
  auto stream = StreamOf(MakePng(2, 2, kStraight));
  EXPECT_NO_THROW(picture.LoadFromStream(stream.get()));
  EXPECT_TRUE(picture.Empty());
  EXPECT_FALSE(picture.IsAlphaUsed());
  EXPECT_EQ(picture.GetAsBitmap(), nullptr);

  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(3, 3);
  picture.SetBitmap(&bitmap);
  EXPECT_TRUE(picture.Empty());
  picture.Assign(&bitmap);
  EXPECT_TRUE(picture.Empty());

  auto out = Own(Make<TMemoryStream>());
  picture.SaveToStream(out.get());
  EXPECT_EQ(out->Size(), 0);
  TDib dib(4, 4, 0xFF123456);
  picture.StretchDraw(dib.DC(), TRect(0, 0, 4, 4));
  EXPECT_EQ(dib.At(1, 1), 0xFF123456u);

  auto image = Own(TdxGPImage::CreateFromPattern(2, 2, TdxRGBColors(4, Quad(1, 2, 3, 255)), true));
  EXPECT_EQ(image->ClassType(), TdxGPNullImage::StaticClass());
  EXPECT_FALSE(image->HandleAllocated());
  EXPECT_EQ(image->Width(), 0);
  image->Draw(dib.DC(), TRect(0, 0, 4, 4));
  image->DrawEx(nullptr, TRect(0, 0, 4, 4), TRect(0, 0, 2, 2), 128);
  image->SaveToStream(out.get());
  EXPECT_EQ(out->Size(), 0);
  auto clone = Own(image->Clone());
  EXPECT_FALSE(clone->HandleAllocated());
  auto frame = Own(image->MakeComposition(clone.get(), 100));
  EXPECT_FALSE(frame->HandleAllocated());
  auto fromBitmap = Own(TdxGPImage::CreateFromBitmap(&bitmap));
  EXPECT_FALSE(fromBitmap->HandleAllocated());
  stream->SetPosition(0);
  auto fromStream = Own(TdxGPImage::CreateFromStream(stream.get()));
  EXPECT_FALSE(fromStream->HandleAllocated());
  EXPECT_EQ(dib.At(2, 2), 0xFF123456u);
}

}  // namespace
