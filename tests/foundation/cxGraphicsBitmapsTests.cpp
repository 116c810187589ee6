// TcxBitmap, TcxBitmap32 and TcxAlphaBitmap: update bracketing, 32-bit
// pixel operations, the per-pixel transformations, shadows, the shared
// bitmaps, and the compressed stored form ("XDBM") with hostile input.
#include "platform/WinApi.h"
#include "foundation/cxGraphicsBitmaps.h"

#include "foundation/dxCore.h"
#include "platform/core/Streams.h"
#include "platform/gui/GdiAccounting.h"

#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

// Opens the stored-data operations.
class TStoredBitmap : public TcxBitmap {
 public:
  using TcxBitmap::TcxBitmap;
  using TcxBitmap::ReadData;
  using TcxBitmap::WriteData;
};

RGBQUAD Quad(DWORD v) {
  RGBQUAD q;
  std::memcpy(&q, &v, 4);
  return q;
}
DWORD Value(const RGBQUAD& q) {
  DWORD v;
  std::memcpy(&v, &q, 4);
  return v;
}
// 0xAARRGGBB as written below.
constexpr DWORD Argb(int a, int r, int g, int b) { return DWORD(a) << 24 | DWORD(r) << 16 | DWORD(g) << 8 | DWORD(b); }

// The pixel (x, y) counted from the top of a 32-bit bitmap.
DWORD PixelAt(TBitmap* b, int x, int y) { return static_cast<const DWORD*>(b->ScanLine(y))[x]; }
void SetPixelAt(TBitmap* b, int x, int y, DWORD v) { static_cast<DWORD*>(b->ScanLine(y))[x] = v; }

// A 32-bit alpha bitmap filled with one value.
Owned<TcxAlphaBitmap> Filled(int w, int h, DWORD v) {
  auto b = MakeOwned<TcxAlphaBitmap>(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPixelAt(b.get(), x, y, v);
  return b;
}

TBytes BytesOf(TMemoryStream* s) {
  const auto* p = static_cast<const Byte*>(s->Memory());
  return TBytes(p, p + s->Size());
}

Owned<TMemoryStream> StreamOf(const TBytes& bytes) {
  auto s = MakeOwned<TMemoryStream>();
  if (!bytes.empty()) s->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
  s->SetPosition(0);
  return s;
}

TBytes StoredData(TStoredBitmap* b) {
  auto s = MakeOwned<TMemoryStream>();
  b->WriteData(s.get());
  return BytesOf(s.get());
}

// Counts change notifications of a bitmap.
struct TChangeCounter : public TObject {
  int Count = 0;
  void Changed(TObject*) { ++Count; }
};

// ---------------------------------------------------------------------------
// TcxBitmap: construction and update bracketing
// ---------------------------------------------------------------------------

TEST(CxBitmap, CreateGivesEmpty24BitBitmapWithCanvas) {
  auto b = MakeOwned<TcxBitmap>();
  EXPECT_EQ(b->Width(), 0);
  EXPECT_EQ(b->Height(), 0);
  EXPECT_EQ(b->PixelFormat(), pf24bit);
  ASSERT_NE(b->cxCanvas(), nullptr);
  EXPECT_EQ(b->cxCanvas()->Canvas(), b->Canvas());
  auto sized = MakeOwned<TcxBitmap>(TRect(10, 20, 13, 25), pf32bit);
  EXPECT_EQ(sized->Width(), 3);
  EXPECT_EQ(sized->Height(), 5);
  EXPECT_EQ(sized->ClientRect(), TRect(0, 0, 3, 5));
}

TEST(CxBitmap, UpdateBracketsGiveOneNotification) {
  auto b = MakeOwned<TcxBitmap>(0, 3);
  TChangeCounter counter;
  b->OnChange = TNotifyEvent::Bind<&TChangeCounter::Changed>(&counter);

  b->SetSize(-5, 3);   // already 0 x 3
  EXPECT_EQ(counter.Count, 0);
  EXPECT_EQ(b->Width(), 0);

  for (int i = 0; i < 5; ++i) b->BeginUpdate();
  b->SetSize(4, 4);
  b->SetSize(5, 5);
  for (int i = 0; i < 4; ++i) {
    b->EndUpdate(false);
    EXPECT_EQ(counter.Count, 0);
  }
  b->EndUpdate(false);
  EXPECT_EQ(counter.Count, 1);

  // Nothing changed: no notification unless forced.
  for (int i = 0; i < 5; ++i) b->BeginUpdate();
  for (int i = 0; i < 5; ++i) b->EndUpdate(false);
  EXPECT_EQ(counter.Count, 1);
  b->BeginUpdate();
  b->EndUpdate(true);
  EXPECT_EQ(counter.Count, 2);

  // CancelUpdate leaves a level without notifying; an unmatched end does nothing.
  b->BeginUpdate();
  b->SetSize(6, 6);
  b->CancelUpdate();
  EXPECT_EQ(counter.Count, 2);
  b->EndUpdate(true);
  EXPECT_EQ(counter.Count, 2);
  EXPECT_EQ(b->LockCount(), 0);

  b->SetSize(7, 7);   // outside a bracket: one notification per change
  EXPECT_EQ(counter.Count, 3);
}

TEST(CxBitmap, CopyBitmapBlitsWithTheRasterOperation) {
  auto source = MakeOwned<TcxBitmap32>(4, 4, true);
  SetPixelAt(source.get(), 1, 1, 0x00123456);
  auto target = MakeOwned<TcxBitmap32>(4, 4, true);
  target->CopyBitmap(source.get(), TRect(2, 2, 4, 4), TPoint{1, 1}, SRCCOPY);
  EXPECT_EQ(PixelAt(target.get(), 2, 2) & 0xFFFFFF, 0x123456u);
  EXPECT_EQ(PixelAt(target.get(), 1, 1), 0u);
  // Whole-bitmap copy from the source's (0, 0), here with NOTSRCCOPY.
  target->CopyBitmap(source.get(), NOTSRCCOPY);
  EXPECT_EQ(PixelAt(target.get(), 1, 1) & 0xFFFFFF, ~0x123456u & 0xFFFFFF);
  EXPECT_EQ(PixelAt(target.get(), 0, 0) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(CxBitmap, RotateTurnsThePixels) {
  auto b = MakeOwned<TcxBitmap32>(3, 2, true);
  SetPixelAt(b.get(), 2, 0, 0x00AABBCC);   // top right
  b->Rotate(raPlus90);
  ASSERT_EQ(b->Width(), 2);
  ASSERT_EQ(b->Height(), 3);
  EXPECT_EQ(PixelAt(b.get(), 0, 0) & 0xFFFFFF, 0xAABBCCu);
}

// ---------------------------------------------------------------------------
// TcxBitmap32
// ---------------------------------------------------------------------------

TEST(CxBitmap32, StaysAt32BitsPerPixel) {
  auto b = MakeOwned<TcxBitmap32>(2, 2);
  EXPECT_EQ(b->PixelFormat(), pf32bit);
  EXPECT_EQ(MakeOwned<TcxBitmap32>()->PixelFormat(), pf32bit);
  auto other = MakeOwned<TBitmap>();
  other->SetPixelFormat(pf24bit);
  other->SetSize(2, 2);
  try {
    b->Assign(other.get());
    FAIL() << "a 24-bit assignment was accepted";
  } catch (const EdxException& e) {
    EXPECT_EQ(e.Message, L"Wrong PixelFormat");
  }
  // Inside a batch the check waits for the end of it.
  b->SetPixelFormat(pf32bit);
  b->BeginUpdate();
  b->SetPixelFormat(pf24bit);
  b->SetPixelFormat(pf32bit);
  EXPECT_NO_THROW(b->EndUpdate(true));
}

TEST(CxBitmap32, PixelArraysAreBottomUp) {
  auto b = MakeOwned<TcxBitmap32>(3, 2, true);
  SetPixelAt(b.get(), 0, 0, 0x11223344);   // top left
  SetPixelAt(b.get(), 2, 1, 0x55667788);   // bottom right
  TRGBColors colors;
  b->GetBitmapColors(colors);
  ASSERT_EQ(colors.size(), 6u);
  EXPECT_EQ(Value(colors[2]), 0x55667788u);   // first row of the array = bottom row
  EXPECT_EQ(Value(colors[3]), 0x11223344u);

  colors[0] = Quad(0xAABBCCDD);   // bottom left
  b->SetBitmapColors(colors);
  EXPECT_EQ(PixelAt(b.get(), 0, 1), 0xAABBCCDDu);
  // A wrong-sized array writes nothing; an empty bitmap reads nothing.
  b->SetBitmapColors(TRGBColors(5));
  EXPECT_EQ(PixelAt(b.get(), 0, 1), 0xAABBCCDDu);
  auto empty = MakeOwned<TcxBitmap32>();
  empty->GetBitmapColors(colors);
  EXPECT_TRUE(colors.empty());
  EXPECT_NO_THROW(empty->MakeOpaque());
  EXPECT_FALSE(empty->IsAlphaUsed());
}

TEST(CxBitmap32, ClearOpaqueAndAlphaUse) {
  auto b = MakeOwned<TcxBitmap32>(4, 3, false);
  b->Canvas()->Brush()->SetColor(clRed);
  b->Canvas()->FillRect(TRect(0, 0, 4, 3));
  b->Clear();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(b.get(), x, y), 0u);
  EXPECT_FALSE(b->IsAlphaUsed());
  b->MakeOpaque();
  EXPECT_TRUE(b->IsAlphaUsed());
  EXPECT_EQ(PixelAt(b.get(), 3, 2), 0xFF000000u);
  b->SetAlphaChannel(7);
  EXPECT_EQ(PixelAt(b.get(), 1, 1) >> 24, 7u);
}

TEST(CxBitmap32, RecoverTransparencyAndFilter) {
  auto b = MakeOwned<TcxBitmap32>(3, 1, true);
  SetPixelAt(b.get(), 0, 0, 0x00FF00FF);   // the transparent colour (fuchsia)
  SetPixelAt(b.get(), 1, 0, 0x00102030);   // alpha 0: becomes opaque
  SetPixelAt(b.get(), 2, 0, 0x80102030);   // keeps its alpha
  b->RecoverTransparency(clFuchsia);
  EXPECT_EQ(PixelAt(b.get(), 0, 0), 0u);
  EXPECT_EQ(PixelAt(b.get(), 1, 0), 0xFF102030u);
  EXPECT_EQ(PixelAt(b.get(), 2, 0), 0x80102030u);

  // Filter clears the pixels where the mask is white.
  auto mask = MakeOwned<TcxBitmap32>(3, 1, true);
  SetPixelAt(mask.get(), 1, 0, 0xFFFFFFFF);
  b->Filter(mask.get());
  EXPECT_EQ(PixelAt(b.get(), 1, 0), 0u);
  EXPECT_EQ(PixelAt(b.get(), 2, 0), 0x80102030u);
}

TEST(CxBitmap32, LoadFromStreamEndsAt32Bits) {
  auto plain = MakeOwned<TBitmap>();
  plain->SetPixelFormat(pf24bit);
  plain->SetSize(2, 2);
  plain->Canvas()->SetPixel(0, 0, clRed);
  auto stream = MakeOwned<TMemoryStream>();
  plain->SaveToStream(stream.get());
  stream->SetPosition(0);

  auto b = MakeOwned<TcxBitmap32>();
  TChangeCounter counter;
  b->OnChange = TNotifyEvent::Bind<&TChangeCounter::Changed>(&counter);
  b->LoadFromStream(stream.get());
  EXPECT_EQ(b->PixelFormat(), pf32bit);
  EXPECT_EQ(b->Width(), 2);
  EXPECT_EQ(counter.Count, 1);

  auto garbage = StreamOf(TBytes(40, 0x5A));
  EXPECT_THROW(b->LoadFromStream(garbage.get()), EInvalidGraphic);
  EXPECT_EQ(b->PixelFormat(), pf32bit);
  EXPECT_EQ(b->LockCount(), 0);
}

// ---------------------------------------------------------------------------
// TcxAlphaBitmap transformations
// ---------------------------------------------------------------------------

TEST(CxAlphaBitmap, TransformationsPerPixel) {
  struct TCase {
    TcxBitmapTransformationMode Mode;
    DWORD In, Out;
  };
  const TCase cases[] = {
      // 30 % lighter when opaque: 100 + MulDiv(155, 3, 10) = 147 (MulDiv rounds 46.5 up).
      {btmDingy, Argb(255, 100, 0, 255), Argb(255, 147, 77, 255)},
      // Otherwise every channel times 200/255: 100 -> 78, 128 -> 100.
      {btmDingy, Argb(128, 100, 128, 0), Argb(100, 78, 100, 0)},
      {btmGrayScale, Argb(9, 10, 20, 40), Argb(9, 23, 23, 23)},
      // Luma weights: 0.299 * 255 = 76.2; 0.587 * 255 = 149.7.
      {btmFade, Argb(255, 255, 0, 0), Argb(255, 76, 76, 76)},
      {btmFade, Argb(1, 0, 255, 0), Argb(1, 150, 150, 150)},
      // Red weighs 0.0729 (18.6), blue 0.2125 (54.2).
      {btmDisable, Argb(255, 255, 0, 0), Argb(255, 19, 19, 19)},
      {btmDisable, Argb(255, 0, 0, 255), Argb(255, 54, 54, 54)},
      {btmCorrectBlend, Argb(0, 1, 2, 3), Argb(255, 1, 2, 3)},
      {btmCorrectBlend, Argb(3, 1, 2, 3), Argb(3, 1, 2, 3)},
      {btmSetOpaque, Argb(3, 1, 2, 3), Argb(255, 1, 2, 3)},
      {btmResetAlpha, Argb(3, 1, 2, 3), Argb(0, 1, 2, 3)},
      {btmMakeMask, Argb(3, 1, 2, 3), 0},
      {btmMakeMask, 0, 0xFFFFFFFF},   // the transparent background (0)
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << EnumName(c.Mode) << " " << std::hex << c.In);
    auto b = Filled(2, 2, c.In);
    b->TransformBitmap(c.Mode);
    EXPECT_EQ(PixelAt(b.get(), 0, 0), c.Out);
    EXPECT_EQ(PixelAt(b.get(), 1, 1), c.Out);
  }
}

TEST(CxAlphaBitmap, TransparentPixelsAreLeftAlone) {
  auto b = Filled(2, 1, Argb(255, 10, 20, 40));
  SetPixelAt(b.get(), 1, 0, Argb(255, 0xC0, 0xC0, 0xC0));
  b->TransparentPixels()->Add(clSilver);   // RGB only: any alpha matches
  TChangeCounter counter;
  b->OnChange = TNotifyEvent::Bind<&TChangeCounter::Changed>(&counter);
  b->TransformBitmap(btmGrayScale);
  EXPECT_EQ(PixelAt(b.get(), 0, 0), Argb(255, 23, 23, 23));
  EXPECT_EQ(PixelAt(b.get(), 1, 0), Argb(255, 0xC0, 0xC0, 0xC0));
  EXPECT_EQ(counter.Count, 1);
  // Columns outer, rows from the bottom: the last pixel is the top right one.
  EXPECT_EQ(b->CurrentColorIndex(), (TPoint{1, 0}));
}

TEST(CxAlphaBitmap, HatchStartsWithColor1AtTheBottomLeft) {
  auto b = Filled(4, 4, 0);
  b->DrawHatch(clRed, clBlue, 2, 255, 255);
  // Opaque colours at full factor replace the pixel.
  const DWORD red = Argb(255, 255, 0, 0), blue = Argb(255, 0, 0, 255);
  const DWORD expected[4][4] = {{blue, blue, red, red}, {blue, blue, red, red},
                                {red, red, blue, blue}, {red, red, blue, blue}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(b.get(), x, y), expected[y][x]) << x << "," << y;
  // A step of 0 divides by nothing: taken as 1.
  EXPECT_NO_THROW(b->DrawHatch(clRed, clBlue, 0, 255, 255));
  EXPECT_EQ(PixelAt(b.get(), 0, 3), red);
  EXPECT_EQ(PixelAt(b.get(), 1, 3), blue);
}

TEST(CxAlphaBitmap, BlendPixelOverIsPremultiplied) {
  struct TCase {
    DWORD Dest, Color;
    Byte Factor;
    DWORD Out;
  };
  const TCase cases[] = {
      {Argb(255, 200, 100, 50), Argb(255, 10, 20, 30), 255, Argb(255, 10, 20, 30)},
      {Argb(255, 200, 100, 50), Argb(255, 10, 20, 30), 0, Argb(255, 200, 100, 50)},
      // k = 0.5 (128/255 = 0.50196), e = 1 - 128 * k / 255 = 0.74805:
      // red 100 * 0.50196 + 200 * 0.74805 = 199.8 -> 200; alpha 128 * k + 255 * e = 255.
      {Argb(255, 200, 0, 0), Argb(128, 100, 0, 0), 128, Argb(255, 200, 0, 0)},
      // e = 1 - 192 / 255 = 0.24706: 64 + 100 * e = 88.7 -> 89; alpha 192 + 0 = 192.
      {Argb(0, 100, 100, 100), Argb(192, 64, 64, 64), 255, Argb(192, 89, 89, 89)},
  };
  for (const TCase& c : cases) {
    RGBQUAD d = Quad(c.Dest);
    cxBlendPixelOver(d, Quad(c.Color), c.Factor);
    EXPECT_EQ(Value(d), c.Out) << std::hex << c.Dest << " " << c.Color;
  }
}

TEST(CxAlphaBitmap, ClearUsesTheTransparentBackground) {
  auto b = MakeOwned<TcxAlphaBitmap>(2, 2, Quad(0x80FFFFFF));
  b->Clear();
  EXPECT_EQ(PixelAt(b.get(), 1, 1), 0x80FFFFFFu);
  b->SetTransparentBkColor(Quad(0x00FFFFFF));   // alpha 0: the plain clear
  b->Clear();
  EXPECT_EQ(PixelAt(b.get(), 1, 1), 0u);

  b->TransparentPixels()->Add(clRed);
  b->RefreshImage(3, 1);
  EXPECT_EQ(b->Width(), 3);
  EXPECT_EQ(b->TransparentPixels()->Count(), 0);
  EXPECT_EQ(PixelAt(b.get(), 2, 0), 0u);
}

TEST(CxAlphaBitmap, RecoverAlphaChannelKeepsTheColourTransparent) {
  auto b = Filled(2, 1, 0x00FF00FF);
  SetPixelAt(b.get(), 1, 0, 0x00102030);
  b->RecoverAlphaChannel(clFuchsia);
  EXPECT_EQ(PixelAt(b.get(), 0, 0), 0x00FF00FFu);
  EXPECT_EQ(PixelAt(b.get(), 1, 0), 0xFF102030u);
  EXPECT_EQ(Value(b->TransparentBkColor()), 0x00FF00FFu);
}

// A 4 x 4 image with an opaque 2 x 2 square at the top left and its mask.
struct TShapeFixture {
  Owned<TcxAlphaBitmap> Image = Filled(4, 4, 0);
  Owned<TcxAlphaBitmap> Mask;
  TShapeFixture() {
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 2; ++x) SetPixelAt(Image.get(), x, y, Argb(255, 255, 0, 0));
    Mask = Filled(4, 4, 0);
    Mask->CopyBitmap(Image.get());
    Mask->TransformBitmap(btmMakeMask);
  }
};

TEST(CxAlphaBitmap, DrawShadowAddsTheShapeMovedRightAndDown) {
  TShapeFixture f;
  EXPECT_EQ(PixelAt(f.Mask.get(), 0, 0), 0u);            // shape: black
  EXPECT_EQ(PixelAt(f.Mask.get(), 3, 3), 0xFFFFFFFFu);   // background: white
  f.Image->DrawShadow(f.Mask.get(), 1, clBlue, true);
  ASSERT_EQ(f.Image->Width(), 5);
  ASSERT_EQ(f.Image->Height(), 5);
  EXPECT_EQ(PixelAt(f.Image.get(), 0, 0), Argb(255, 255, 0, 0));   // the shape
  EXPECT_EQ(PixelAt(f.Image.get(), 1, 1), Argb(255, 255, 0, 0));
  // The shadow where the moved shape leaves the shape.
  EXPECT_EQ(PixelAt(f.Image.get(), 2, 2) & 0xFFFFFF, 0x0000FFu);
  EXPECT_NE(PixelAt(f.Image.get(), 2, 2) >> 24, 0u);
  EXPECT_EQ(PixelAt(f.Image.get(), 2, 1) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(PixelAt(f.Image.get(), 3, 3), 0u);
  EXPECT_EQ(PixelAt(f.Image.get(), 0, 2), 0u);
}

TEST(CxAlphaBitmap, ShadeDrawsTheEmbossedShape) {
  TShapeFixture f;
  auto b = Filled(4, 4, 0);
  b->Shade(f.Mask.get());
  const DWORD shadow = Value(dxMakeRGBQuadFromColor(clBtnShadow, 0)) & 0xFFFFFF;
  EXPECT_EQ(PixelAt(b.get(), 0, 0) & 0xFFFFFF, shadow);   // the shape: button shadow
  EXPECT_EQ(PixelAt(b.get(), 1, 1) & 0xFFFFFF, shadow);
  EXPECT_EQ(PixelAt(b.get(), 2, 2) & 0xFFFFFF, 0xFFFFFFu);   // moved by (1, 1): white
  EXPECT_EQ(PixelAt(b.get(), 0, 0) >> 24, 255u);
  EXPECT_EQ(PixelAt(b.get(), 2, 2) >> 24, 255u);
}

TEST(CxSharedBitmaps, ReusedAndRefreshed) {
  cxFreeSharedBitmaps();
  const long before = GdiAccounting::Live();
  TcxAlphaBitmap* draw = cxGetDrawBitmap(3, 2);
  ASSERT_NE(draw, nullptr);
  EXPECT_EQ(draw->Width(), 3);
  EXPECT_EQ(PixelAt(draw, 2, 1), 0u);
  SetPixelAt(draw, 0, 0, 0xFFFFFFFF);
  draw->TransparentPixels()->Add(clRed);
  EXPECT_EQ(cxGetDrawBitmap(5, 4), draw);
  EXPECT_EQ(draw->Width(), 5);
  EXPECT_EQ(PixelAt(draw, 0, 0), 0u);
  EXPECT_EQ(draw->TransparentPixels()->Count(), 0);
  EXPECT_NE(cxGetImageBitmap(1, 1), draw);
  EXPECT_NE(cxGetMaskBitmap(1, 1), cxGetImageBitmap(1, 1));
  cxFreeSharedBitmaps();
  EXPECT_EQ(GdiAccounting::Live(), before);
}

TEST(CxBitmaps, NoGdiObjectLeaks) {
  const long before = GdiAccounting::Live();
  {
    TShapeFixture f;
    f.Image->DrawShadow(f.Mask.get(), 2, clGray, true);
    auto b = Filled(4, 4, 0);
    b->Shade(f.Mask.get());
    b->DrawHatch(clRed, clBlue, 1, 128, 64);
    b->Invert();
    auto stored = MakeOwned<TStoredBitmap>(5, 5, pf32bit);
    stored->SetCompressData(true);
    auto data = StreamOf(StoredData(stored.get()));
    stored->ReadData(data.get());
  }
  EXPECT_EQ(GdiAccounting::Live(), before);
}

// ---------------------------------------------------------------------------
// The compressed stored form
// ---------------------------------------------------------------------------

DWORD Get32(const TBytes& b, size_t at) {
  return DWORD(b[at]) | DWORD(b[at + 1]) << 8 | DWORD(b[at + 2]) << 16 | DWORD(b[at + 3]) << 24;
}

// The body of the compressed form (after the header).
TBytes Body(const TBytes& packed) { return TBytes(packed.begin() + 10, packed.end()); }

TBytes Elements(std::initializer_list<DWORD> values) {
  TBytes out;
  for (DWORD v : values)
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<Byte>(v >> (8 * i)));
  return out;
}

TEST(CxCompressedBitmapData, HeaderAndRuns) {
  TBytes plain = Elements({7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 1, 2, 3});
  const TBytes packed = cxCompressBitmapData(plain.data(), plain.size(), 4);
  EXPECT_EQ(Get32(packed, 0), packed.size() - 10);
  EXPECT_EQ(std::string(packed.begin() + 4, packed.begin() + 8), "XDBM");
  EXPECT_EQ(packed[8], 2);
  EXPECT_EQ(packed[9], 0);
  TBytes expected = {4, 0, 0x0A, 7, 0, 0, 0, 0x83};
  const TBytes three = Elements({1, 2, 3});
  expected.insert(expected.end(), three.begin(), three.end());
  EXPECT_EQ(Body(packed), expected);
  EXPECT_EQ(cxDecompressBitmapData(packed.data(), packed.size()), plain);
}

TEST(CxCompressedBitmapData, EncoderTable) {
  struct TCase {
    const char* Name;
    TBytes Plain;
    int ElementSize;
    TBytes Body;
  };
  std::vector<TCase> cases = {
      {"300 equal elements: runs of 125, 125, 50", TBytes(300, 9), 1, {1, 0, 125, 9, 125, 9, 50, 9}},
      {"lone final element: literal of one", {5, 5, 6}, 1, {1, 0, 2, 5, 0x81, 6}},
      {"a literal ends before a repeat", {1, 2, 3, 3, 3}, 1, {1, 0, 0x82, 1, 2, 3, 3}},
      {"length 4k + 3: P = 3 bytes kept as they are", {1, 2, 3, 9, 9, 9, 9}, 4, {4, 3, 1, 2, 3, 0x81, 9, 9, 9, 9}},
      {"2-byte elements", {1, 2, 1, 2, 1, 2}, 2, {2, 0, 3, 1, 2}},
      {"no data", {}, 3, {3, 0}},
  };
  TCase longLiteral{"a literal stops at 125", {}, 1, {1, 0, 0x80 | 125}};
  for (int i = 0; i < 130; ++i) longLiteral.Plain.push_back(static_cast<Byte>(i));
  longLiteral.Body.insert(longLiteral.Body.end(), longLiteral.Plain.begin(), longLiteral.Plain.begin() + 125);
  longLiteral.Body.push_back(0x85);
  longLiteral.Body.insert(longLiteral.Body.end(), longLiteral.Plain.begin() + 125, longLiteral.Plain.end());
  cases.push_back(longLiteral);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TBytes packed = cxCompressBitmapData(c.Plain.data(), c.Plain.size(), c.ElementSize);
    EXPECT_EQ(Body(packed), c.Body);
    EXPECT_EQ(cxDecompressBitmapData(packed.data(), packed.size()), c.Plain);
  }
}

TEST(CxCompressedBitmapData, RandomRoundTrips) {
  std::mt19937 random(20240611);
  for (int i = 0; i < 300; ++i) {
    const int e = 1 + i % 4;
    TBytes plain(random() % 700);
    // Few distinct values make long runs as well as literals.
    for (Byte& b : plain) b = static_cast<Byte>(random() % (i % 3 == 0 ? 2 : 200));
    const TBytes packed = cxCompressBitmapData(plain.data(), plain.size(), e);
    ASSERT_EQ(cxDecompressBitmapData(packed.data(), packed.size()), plain) << "case " << i;
  }
}

TEST(CxCompressedBitmapData, VersionOneHasByteElements) {
  const TBytes packed = {5, 0, 0, 0, 'X', 'D', 'B', 'M', 1, 0, 3, 0xAA, 0x82, 1, 2};
  EXPECT_EQ(cxDecompressBitmapData(packed.data(), packed.size()), (TBytes{0xAA, 0xAA, 0xAA, 1, 2}));
}

TEST(CxCompressedBitmapData, MalformedDataRaisesAClearError) {
  auto stream = [](std::initializer_list<Byte> body, int version = 2, int extraN = 0) {
    TBytes b = {0, 0, 0, 0, 'X', 'D', 'B', 'M', static_cast<Byte>(version), 0};
    for (Byte x : body) b.push_back(x);
    const DWORD n = static_cast<DWORD>(body.size() + extraN);
    for (int i = 0; i < 4; ++i) b[i] = static_cast<Byte>(n >> (8 * i));
    return b;
  };
  struct TCase {
    const char* Name;
    TBytes Data;
  };
  TBytes badSignature = stream({1, 0, 1, 7});
  badSignature[7] = 'X';
  const TCase cases[] = {
      {"shorter than the header", {4, 0, 0, 0, 'X', 'D', 'B', 'M', 2}},
      {"foreign signature", badSignature},
      {"version 0", stream({1, 0, 1, 7}, 0)},
      {"version 3", stream({1, 0, 1, 7}, 3)},
      {"N beyond the data", stream({1, 0, 1, 7}, 2, 1)},
      {"N = 0xFFFFFFFF", stream({1, 0, 1, 7}, 2, -5)},
      {"no element size", stream({})},
      {"element size 0", stream({0, 0, 1, 7})},
      {"element size 5", stream({5, 0, 1, 7, 7, 7, 7, 7})},
      {"prefix as long as an element", stream({2, 2, 1, 1, 0x81, 1, 1})},
      {"prefix beyond the body", stream({4, 3, 1})},
      {"run count 0", stream({1, 0, 0x00, 7})},
      {"literal count 0", stream({1, 0, 0x80})},
      {"run count 126", stream({1, 0, 126, 7})},
      {"run count 127", stream({1, 0, 127, 7})},
      {"literal count 127", stream({1, 0, 0xFF, 7})},
      {"literal beyond the body", stream({1, 0, 0x83, 7, 8})},
      {"repeat element beyond the body", stream({4, 0, 0x05, 7, 7, 7})},
      {"header without element", stream({3, 0, 0x02})},
      {"version 1 run count 0", stream({0, 7}, 1)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_THROW(cxDecompressBitmapData(c.Data.data(), c.Data.size()), EInvalidGraphic);
  }
  // More output than allowed is refused before anything is allocated.
  const TBytes big = stream({1, 0, 125, 1, 125, 1});
  EXPECT_THROW(cxDecompressBitmapData(big.data(), big.size(), 200), EInvalidGraphic);
  EXPECT_EQ(cxDecompressBitmapData(big.data(), big.size(), 250).size(), 250u);
}

// Bytes placed right before an inaccessible page: reading one byte past
// them faults instead of passing unnoticed.
class TGuardedBytes {
 public:
  TGuardedBytes() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    page_ = info.dwPageSize;
    base_ = static_cast<Byte*>(VirtualAlloc(nullptr, 2 * kPages * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old;
    VirtualProtect(base_ + kPages * page_, kPages * page_, PAGE_NOACCESS, &old);
  }
  ~TGuardedBytes() { VirtualFree(base_, 0, MEM_RELEASE); }
  TGuardedBytes(const TGuardedBytes&) = delete;
  TGuardedBytes& operator=(const TGuardedBytes&) = delete;
  // The copy of the bytes, ending at the guard page.
  const Byte* Place(const TBytes& data) {
    Byte* at = base_ + kPages * page_ - data.size();
    if (!data.empty()) std::memcpy(at, data.data(), data.size());
    return at;
  }
  size_t Capacity() const { return kPages * page_; }

 private:
  static constexpr size_t kPages = 16;
  Byte* base_ = nullptr;
  size_t page_ = 4096;
};

TEST(CxCompressedBitmapData, MutatedStreamsNeverReadOutOfBounds) {
  // Seeds: the stored data of real bitmaps and a few synthetic streams.
  std::vector<TBytes> seeds;
  for (TPixelFormat format : {pf32bit, pf24bit, pf8bit, pf1bit}) {
    auto b = MakeOwned<TStoredBitmap>(9, 5, format);
    b->Canvas()->Brush()->SetColor(clRed);
    b->Canvas()->FillRect(TRect(2, 1, 6, 4));
    b->SetCompressData(true);
    seeds.push_back(StoredData(b.get()));
  }
  TBytes plain = Elements({1, 1, 1, 2, 3, 3, 4});
  seeds.push_back(cxCompressBitmapData(plain.data(), plain.size(), 4));

  TGuardedBytes guard;
  std::mt19937 random(7071);
  int decoded = 0, refused = 0, bitmapsRead = 0;
  for (int i = 0; i < 20000; ++i) {
    TBytes data = seeds[random() % seeds.size()];
    switch (random() % 4) {
      case 0:   // flip bytes
        for (int k = 1 + random() % 4; k > 0; --k) data[random() % data.size()] ^= static_cast<Byte>(1 + random() % 255);
        break;
      case 1:   // truncate
        data.resize(random() % data.size());
        break;
      case 2:   // a run header somewhere in the body
        if (data.size() > 12) data[10 + random() % (data.size() - 10)] = static_cast<Byte>(random() % 256);
        break;
      default:   // N and the version
        data[random() % 10] = static_cast<Byte>(random() % 256);
        break;
    }
    ASSERT_LE(data.size(), guard.Capacity());
    const Byte* at = guard.Place(data);
    try {
      const TBytes out = cxDecompressBitmapData(at, data.size(), 1 << 20);
      ++decoded;
    } catch (const EInvalidGraphic&) {
      ++refused;
    }
    // The whole stored-data path: a valid result or a clear error.
    if (i % 8 == 0) {
      auto b = MakeOwned<TStoredBitmap>();
      auto s = StreamOf(data);
      try {
        b->ReadData(s.get());
        ++bitmapsRead;
      } catch (const EInvalidGraphic&) {
      } catch (const EReadError&) {
      } catch (const EStreamError&) {
      }
    }
  }
  EXPECT_GT(decoded, 0);
  EXPECT_GT(refused, 0);
  RecordProperty("decoded", decoded);
  RecordProperty("refused", refused);
  RecordProperty("bitmaps", bitmapsRead);
}

// ---------------------------------------------------------------------------
// Stored data of TcxBitmap
// ---------------------------------------------------------------------------

TEST(CxBitmapStoredData, PlainUnlessCompressed) {
  auto b = MakeOwned<TStoredBitmap>(6, 3, pf32bit);
  SetPixelAt(b.get(), 1, 1, 0x80402010);

  // Without CompressData exactly the platform's data: the file's length, the file.
  const TBytes plain = StoredData(b.get());
  auto file = MakeOwned<TMemoryStream>();
  b->SaveToStream(file.get());
  ASSERT_EQ(plain.size(), 4 + file->Size());
  EXPECT_EQ(Get32(plain, 0), file->Size());
  EXPECT_EQ(TBytes(plain.begin() + 4, plain.end()), BytesOf(file.get()));

  // Compressed: the header, E = 4 for 32 bits, P = plain length mod 4.
  b->SetCompressData(true);
  const TBytes packed = StoredData(b.get());
  EXPECT_EQ(std::string(packed.begin() + 4, packed.begin() + 8), "XDBM");
  EXPECT_EQ(packed[10], 4);
  EXPECT_EQ(packed[11], plain.size() % 4);
  EXPECT_LT(packed.size(), plain.size());

  // Both forms read back to the same pixels.
  for (const TBytes& data : {plain, packed}) {
    auto copy = MakeOwned<TStoredBitmap>();
    auto s = StreamOf(data);
    copy->ReadData(s.get());
    ASSERT_EQ(copy->Width(), 6);
    ASSERT_EQ(copy->PixelFormat(), pf32bit);
    EXPECT_EQ(PixelAt(copy.get(), 1, 1), 0x80402010u);
    EXPECT_EQ(PixelAt(copy.get(), 0, 0), PixelAt(b.get(), 0, 0));
  }
}

TEST(CxBitmapStoredData, ElementSizeFollowsTheDepth) {
  struct TCase {
    TPixelFormat Format;
    int ElementSize;
  };
  for (const TCase& c : {TCase{pf32bit, 4}, TCase{pf24bit, 3}, TCase{pf16bit, 2}, TCase{pf8bit, 1}, TCase{pf1bit, 1}}) {
    auto b = MakeOwned<TStoredBitmap>(5, 2, c.Format);
    b->SetCompressData(true);
    const TBytes packed = StoredData(b.get());
    EXPECT_EQ(packed[10], c.ElementSize) << EnumName(c.Format);
    auto copy = MakeOwned<TStoredBitmap>();
    auto s = StreamOf(packed);
    copy->ReadData(s.get());
    EXPECT_EQ(copy->PixelFormat(), c.Format);
  }
}

TEST(CxBitmapStoredData, DecodedLengthMustMatch) {
  auto b = MakeOwned<TStoredBitmap>(2, 2, pf32bit);
  TBytes plain = StoredData(b.get());
  plain.push_back(0);   // one byte more than the length says
  const TBytes packed = cxCompressBitmapData(plain.data(), plain.size(), 4);
  auto copy = MakeOwned<TStoredBitmap>();
  auto s = StreamOf(packed);
  EXPECT_THROW(copy->ReadData(s.get()), EInvalidGraphic);
}

}  // namespace
