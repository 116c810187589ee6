// TcxImageList: the system list and the records kept in step, the handle
// setter's ownership, drawing with and without alpha, and the stored
// properties through the component stream.
#include "platform/WinApi.h"
#include "foundation/cxGraphicsImageList.h"

#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/core/Filer.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Streams.h"
#include "platform/gui/GdiAccounting.h"

#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr DWORD Argb(int a, int r, int g, int b) { return DWORD(a) << 24 | DWORD(r) << 16 | DWORD(g) << 8 | DWORD(b); }
constexpr DWORD kKey = 0x00FF00FF;   // fuchsia, the mask colour of the tests

DWORD PixelAt(TBitmap* b, int x, int y) { return static_cast<const DWORD*>(b->ScanLine(y))[x]; }
void SetPixelAt(TBitmap* b, int x, int y, DWORD v) { static_cast<DWORD*>(b->ScanLine(y))[x] = v; }

// A 32-bit bitmap with every pixel from `pixel(x, y)`.
template <class F>
Owned<TBitmap> Painted(int w, int h, F pixel) {
  auto b = MakeOwned<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPixelAt(b.get(), x, y, pixel(x, y));
  return b;
}

// The colour of image k of the tests: opaque, alpha byte 0 (no alpha).
DWORD Tone(int k) { return DWORD(0x10 + 0x20 * k) << 16 | DWORD(0x80 - 0x10 * k) << 8 | 0x30; }

// 16 x 16 of one tone with a key-coloured border of 2 pixels.
Owned<TBitmap> Glyph(int k) {
  return Painted(16, 16, [k](int x, int y) { return x >= 2 && x < 14 && y >= 2 && y < 14 ? Tone(k) : kKey; });
}

// Cells of 16 x 16 side by side, cell i in tone first + i.
Owned<TBitmap> Strip(int first, int cells, int extraWidth = 0) {
  return Painted(16 * cells + extraWidth, 16, [first](int x, int) { return Tone(first + x / 16); });
}

// The tone in the middle of system image i and of record i.
DWORD SystemTone(TcxImageList* list, int i) {
  auto image = MakeOwned<TcxBitmap32>();
  TcxImageList::GetImageInfo(list->Handle(), i, image.get(), nullptr);
  return PixelAt(image.get(), 8, 8) & 0xFFFFFF;
}
DWORD RecordTone(TcxImageList* list, int i) {
  TBitmap* image = list->Images()->Items(i)->Image();
  auto copy = MakeOwned<TcxBitmap32>(image->Width(), image->Height());
  copy->CopyBitmap(image);
  return PixelAt(copy.get(), 8, 8) & 0xFFFFFF;
}

// Both sides hold the images of these tones, in this order.
void ExpectTones(TcxImageList* list, const std::vector<int>& tones) {
  ASSERT_EQ(list->Count(), int(tones.size()));
  ASSERT_EQ(list->Images()->Count(), int(tones.size()));
  for (size_t i = 0; i < tones.size(); ++i) {
    EXPECT_EQ(SystemTone(list, int(i)), Tone(tones[i])) << "system image " << i;
    EXPECT_EQ(RecordTone(list, int(i)), Tone(tones[i])) << "record " << i;
  }
}

struct TChangeCounter : public TObject {
  int Count = 0;
  void Changed(TObject*) { ++Count; }
};

// Every test starts the graphics module (idempotent), warms the shared
// bitmaps up, and must leave no GDI object and no image list behind.
class CxImageListTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { cxGraphicsInitialize(); }
  // The shared bitmaps keep their DCs (with the canvas's pen and font) from
  // one draw to the next: the counts are taken with them in that state.
  static void WarmUpSharedBitmaps() {
    cxGetDrawBitmap(1, 1)->Canvas()->Handle();
    cxGetImageBitmap(1, 1)->Canvas()->Handle();
    cxGetMaskBitmap(1, 1)->Canvas()->Handle();
  }
  void SetUp() override {
    WarmUpSharedBitmaps();
    for (int k = 0; k < gokCount; ++k) gdi_[k] = GdiAccounting::Live(TGdiObjectKind(k));
    lists_ = ImgListLiveHandles();
  }
  void TearDown() override {
    WarmUpSharedBitmaps();
    for (int k = 0; k < gokCount; ++k)
      EXPECT_EQ(GdiAccounting::Live(TGdiObjectKind(k)), gdi_[k]) << "GDI objects of kind " << k << " leaked";
    EXPECT_EQ(ImgListLiveHandles(), lists_) << "image lists leaked";
  }
  // A list of 16 x 16 images of the given tones.
  static Owned<TcxImageList> ListOf(const std::vector<int>& tones) {
    auto list = MakeOwned<TcxImageList>(nullptr);
    for (int k : tones) list->Add(Strip(k, 1).get(), nullptr);
    return list;
  }

 private:
  long gdi_[gokCount] = {};
  long lists_ = 0;
};

// ---------------------------------------------------------------------------
// Records and system images in step
// ---------------------------------------------------------------------------

TEST_F(CxImageListTest, InitialState) {
  auto list = MakeOwned<TcxImageList>(nullptr);
  EXPECT_TRUE(list->AlphaBlending());
  EXPECT_TRUE(list->HandleAllocated());
  EXPECT_EQ(list->Width(), 16);
  EXPECT_EQ(TcxImageList::GetPixelFormat(list->Handle()), 0);   // no image to read yet
  list->Add(Glyph(0).get(), nullptr);
  EXPECT_EQ(TcxImageList::GetPixelFormat(list->Handle()), 32);
  auto sized = MakeOwned<TcxImageList>(nullptr, 24, 12);
  EXPECT_EQ(sized->Width(), 24);
  EXPECT_EQ(sized->Height(), 12);
}

TEST_F(CxImageListTest, BitmapsAreCutIntoCells) {
  auto list = MakeOwned<TcxImageList>(nullptr);
  EXPECT_EQ(list->Add(Strip(0, 3).get(), nullptr), 0);
  ExpectTones(list.get(), {0, 1, 2});
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list->Images()->Items(i)->Image()->Width(), 16);

  // Not a multiple of the cell: one record with the whole bitmap.
  EXPECT_EQ(list->Add(Strip(3, 1, 4).get(), nullptr), 3);
  ASSERT_EQ(list->Count(), 4);
  ASSERT_EQ(list->Images()->Count(), 4);
  EXPECT_EQ(list->Images()->Items(3)->Image()->Width(), 20);
  EXPECT_EQ(SystemTone(list.get(), 3), Tone(3));

  // A mask is cut with its image.
  auto mask = Painted(32, 16, [](int x, int) -> DWORD { return x < 16 ? 0x00FFFFFFu : 0u; });
  list->Add(Strip(4, 2).get(), mask.get());
  ASSERT_EQ(list->Images()->Count(), 6);
  EXPECT_EQ(list->Images()->Items(4)->Mask()->Width(), 16);
  EXPECT_EQ(list->Images()->Items(4)->Mask()->Canvas()->GetPixel(0, 0), clWhite);
  EXPECT_EQ(list->Images()->Items(5)->Mask()->Canvas()->GetPixel(0, 0), clBlack);

  EXPECT_EQ(list->Add(nullptr, nullptr), -1);
  EXPECT_EQ(list->Images()->Count(), list->Count());
}

TEST_F(CxImageListTest, AddMaskedWithoutColourIsAdd) {
  auto a = MakeOwned<TcxImageList>(nullptr);
  auto b = MakeOwned<TcxImageList>(nullptr);
  auto glyph = Glyph(1);
  a->AddMasked(glyph.get(), clNone);
  b->Add(glyph.get(), nullptr);
  ASSERT_EQ(a->Images()->Count(), 1);
  EXPECT_EQ(a->Images()->Items(0)->MaskColor(), clNone);
  EXPECT_TRUE(a->Images()->Items(0)->Mask()->Empty());
  EXPECT_TRUE(a->Equal(b.get()));

  // With a colour: the record keeps the unmasked image and the colour.
  a->AddMasked(glyph.get(), clFuchsia);
  ASSERT_EQ(a->Images()->Count(), 2);
  EXPECT_EQ(a->Images()->Items(1)->MaskColor(), clFuchsia);
  auto mask = MakeOwned<TBitmap>();
  TcxImageList::GetImageInfo(a->Handle(), 1, nullptr, mask.get());
  EXPECT_EQ(mask->Canvas()->GetPixel(0, 0), clWhite);   // key colour: transparent
  EXPECT_EQ(mask->Canvas()->GetPixel(8, 8), clBlack);
}

TEST_F(CxImageListTest, InsertMoveDeleteReplaceKeepBothSidesInOrder) {
  auto list = ListOf({0, 1, 2, 3, 4});
  list->Move(0, 3);
  ExpectTones(list.get(), {1, 2, 3, 0, 4});
  list->Move(4, 1);
  ExpectTones(list.get(), {1, 4, 2, 3, 0});

  list->Insert(list->Count(), Strip(5, 1).get(), nullptr);   // appends
  ExpectTones(list.get(), {1, 4, 2, 3, 0, 5});
  list->Insert(list->Count() + 1, Strip(6, 1).get(), nullptr);   // nothing
  list->Insert(-1, Strip(6, 1).get(), nullptr);
  EXPECT_EQ(list->Count(), 6);
  list->Insert(1, Strip(6, 2).get(), nullptr);   // both cells, in their order
  ExpectTones(list.get(), {1, 6, 7, 4, 2, 3, 0, 5});
  list->InsertMasked(0, Strip(3, 1).get(), clFuchsia);
  ExpectTones(list.get(), {3, 1, 6, 7, 4, 2, 3, 0, 5});

  list->Delete(0);
  list->Delete(2);
  ExpectTones(list.get(), {1, 6, 4, 2, 3, 0, 5});
  list->Replace(2, Strip(7, 1).get(), nullptr);
  ExpectTones(list.get(), {1, 6, 7, 2, 3, 0, 5});
  list->ReplaceMasked(0, Strip(2, 1).get(), clFuchsia);
  ExpectTones(list.get(), {2, 6, 7, 2, 3, 0, 5});
  EXPECT_EQ(list->Images()->Items(0)->MaskColor(), clFuchsia);

  // A replacement that cannot be made keeps the old image.
  EXPECT_THROW(list->Replace(1, nullptr, nullptr), EInvalidOperation);
  EXPECT_THROW(list->Replace(7, Strip(1, 1).get(), nullptr), EInvalidOperation);
  EXPECT_THROW(list->Replace(-1, Strip(1, 1).get(), nullptr), EInvalidOperation);
  ExpectTones(list.get(), {2, 6, 7, 2, 3, 0, 5});

  list->Delete(-1);
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(list->Images()->Count(), 0);
}

TEST_F(CxImageListTest, IconsGet32BitRecordsWithMasks) {
  auto list = ListOf({0});
  // An icon made from a list image: its mask makes the key colour transparent.
  auto source = MakeOwned<TcxImageList>(nullptr);
  source->AddMasked(Glyph(2).get(), clFuchsia);
  auto icon = MakeOwned<TIcon>();
  source->GetIcon(0, icon.get());
  ASSERT_FALSE(icon->Empty());
  list->InsertIcon(0, icon.get());
  ASSERT_EQ(list->Images()->Count(), 2);
  TcxImageInfoItem* item = list->Images()->Items(0);
  EXPECT_EQ(item->Image()->PixelFormat(), pf32bit);
  EXPECT_EQ(item->Mask()->PixelFormat(), pf1bit);
  EXPECT_EQ(item->Mask()->Canvas()->GetPixel(0, 0), clWhite);
  EXPECT_EQ(item->Mask()->Canvas()->GetPixel(8, 8), clBlack);
  EXPECT_EQ(SystemTone(list.get(), 1), Tone(0));
}

TEST_F(CxImageListTest, OneNotificationPerChange) {
  auto list = MakeOwned<TcxImageList>(nullptr);
  TChangeCounter counter;
  list->OnChange = TNotifyEvent::Bind<&TChangeCounter::Changed>(&counter);
  list->Add(Strip(0, 3).get(), nullptr);
  EXPECT_EQ(counter.Count, 1);
  list->Insert(0, Strip(4, 2).get(), nullptr);   // an add and two moves
  EXPECT_EQ(counter.Count, 2);
  list->BeginUpdate();
  list->BeginUpdate();
  list->Delete(0);
  list->Move(0, 1);
  list->EndUpdate(true);
  EXPECT_EQ(counter.Count, 2);
  list->EndUpdate(true);
  EXPECT_EQ(counter.Count, 3);
  list->EndUpdate(true);   // unmatched: nothing
  EXPECT_EQ(counter.Count, 3);
  EXPECT_EQ(list->Add(nullptr, nullptr), -1);   // nothing added, nothing told
  EXPECT_EQ(counter.Count, 3);
}

TEST_F(CxImageListTest, SizeChangeEmptiesBothSides) {
  auto list = ListOf({0, 1});
  list->SetWidth(24);
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(list->Images()->Count(), 0);
}

TEST_F(CxImageListTest, LoadImageAppendsTheImagesOfAFile) {
  wchar_t dir[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, dir);
  const String path = String(dir) + L"cxImageListStrip.bmp";
  auto strip = Strip(0, 3);
  strip->SetPixelFormat(pf24bit);
  strip->SaveToFile(path);

  auto list = ListOf({5});
  EXPECT_TRUE(list->LoadImage(nullptr, path, clNone, 16, TLoadResources{lrFromFile}));
  ExpectTones(list.get(), {5, 0, 1, 2});
  EXPECT_FALSE(list->LoadImage(nullptr, path + L".missing", clNone, 16, TLoadResources{lrFromFile}));
  EXPECT_EQ(list->Count(), 4);
  // The platform's loaders replace the images (in the colours they load
  // them with); the records follow them.
  EXPECT_TRUE(list->FileLoad(rtBitmap, path, clNone));
  ASSERT_EQ(list->Count(), 3);
  ASSERT_EQ(list->Images()->Count(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(RecordTone(list.get(), i), SystemTone(list.get(), i));
    EXPECT_EQ(list->Images()->Items(i)->Image()->PixelFormat(), pf32bit);
  }
  DeleteFileW(path.c_str());
}

// ---------------------------------------------------------------------------
// Copying between lists and the handle setter
// ---------------------------------------------------------------------------

TEST_F(CxImageListTest, CopyAndAssign) {
  auto platform = MakeOwned<TImageList>(nullptr);
  for (int k : {3, 4, 5}) platform->Add(Strip(k, 1).get(), nullptr);

  auto list = ListOf({0});
  EXPECT_EQ(list->AddImage(nullptr, 0), -1);
  EXPECT_EQ(list->AddImage(platform.get(), 3), -1);
  EXPECT_EQ(list->AddImage(platform.get(), -1), -1);
  EXPECT_EQ(list->AddImage(platform.get(), 1), 1);
  ExpectTones(list.get(), {0, 4});
  list->CopyImages(platform.get(), 1, 99);
  ExpectTones(list.get(), {0, 4, 4, 5});
  list->AddImages(list.get());
  ExpectTones(list.get(), {0, 4, 4, 5, 0, 4, 4, 5});

  // From another list: 32-bit records read back from its system images.
  auto copy = MakeOwned<TcxImageList>(nullptr);
  copy->Assign(platform.get());
  ExpectTones(copy.get(), {3, 4, 5});
  for (int i = 0; i < 3; ++i) EXPECT_EQ(copy->Images()->Items(i)->Image()->PixelFormat(), pf32bit);

  // From a library list: its records, alpha included.
  auto alpha = MakeOwned<TcxImageList>(nullptr);
  alpha->Add(Painted(16, 16, [](int x, int) { return x < 8 ? Argb(128, 128, 0, 0) : Argb(255, 1, 2, 3); }).get(),
             nullptr);
  copy->Assign(alpha.get());
  ASSERT_EQ(copy->Images()->Count(), 1);
  auto image = MakeOwned<TcxBitmap32>();
  copy->GetImageInfo(0, image.get(), nullptr);
  EXPECT_EQ(PixelAt(image.get(), 0, 0), Argb(128, 128, 0, 0));
  EXPECT_EQ(PixelAt(image.get(), 15, 15), Argb(255, 1, 2, 3));

  // Anything else is ignored.
  copy->Assign(image.get());
  copy->Assign(nullptr);
  copy->Assign(copy.get());
  EXPECT_EQ(copy->Count(), 1);
}

TEST_F(CxImageListTest, GetImageInfoOutsideTheListLeavesTheTargets) {
  auto list = ListOf({0, 1});
  auto image = MakeOwned<TcxBitmap32>(3, 3, true);
  for (int index : {-1, 2, 100}) {
    list->GetImageInfo(index, image.get(), nullptr);
    EXPECT_EQ(image->Width(), 3);
  }
  list->GetImage(1, image.get());
  EXPECT_EQ(image->Width(), 16);
  EXPECT_EQ(PixelAt(image.get(), 8, 8) & 0xFFFFFF, Tone(1));
  // The whole system bitmaps of a list.
  auto all = MakeOwned<TBitmap>();
  auto allMask = MakeOwned<TBitmap>();
  TcxImageList::GetImageInfo(list->Handle(), -1, all.get(), allMask.get());
  EXPECT_EQ(all->PixelFormat(), pf32bit);
  EXPECT_EQ(allMask->PixelFormat(), pf1bit);
  EXPECT_GE(all->Width(), 32);
}

// The handle setter copies the images and leaves the handle to its owner.
TEST_F(CxImageListTest, HandleSetterLeavesTheCallersHandleAlone) {
  HIMAGELIST external = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4);
  ASSERT_NE(external, nullptr);
  auto source = MakeOwned<TImageList>(nullptr);
  source->SetShareImages(true);
  source->SetHandle(external);
  source->Add(Strip(1, 2).get(), nullptr);
  TObject::Free(source.release());   // a shared list never destroys the handle
  ASSERT_EQ(ImageList_GetImageCount(external), 2);

  auto list = ListOf({0});
  list->SetHandle(external);
  ExpectTones(list.get(), {1, 2});
  EXPECT_NE(list->Handle(), external);
  // The caller's list is still alive and unchanged, and the caller destroys it.
  EXPECT_EQ(ImageList_GetImageCount(external), 2);
  auto back = MakeOwned<TcxImageList>(nullptr);
  back->SetHandle(external);
  ExpectTones(back.get(), {1, 2});
  EXPECT_TRUE(ImageList_Destroy(external));

  HIMAGELIST own = list->Handle();
  list->SetHandle(own);   // its own handle: nothing happens
  EXPECT_EQ(list->Handle(), own);
  ExpectTones(list.get(), {1, 2});
  list->SetHandle(nullptr);
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(list->Images()->Count(), 0);
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

// A 32-bit canvas filled with one colour.
Owned<TBitmap> Surface(int w, int h, DWORD fill) { return Painted(w, h, [fill](int, int) { return fill; }); }

int Channel(DWORD v, int shift) { return int(v >> shift) & 0xFF; }
void ExpectNear(DWORD actual, DWORD expected, int tolerance, const char* what) {
  for (int shift : {0, 8, 16})
    EXPECT_LE(std::abs(Channel(actual, shift) - Channel(expected, shift)), tolerance)
        << what << ": " << std::hex << actual << " vs " << expected;
}

TEST_F(CxImageListTest, DrawsAlphaImagesPremultiplied) {
  auto list = MakeOwned<TcxImageList>(nullptr);
  // Left half: red at half alpha (premultiplied 128); right half opaque blue;
  // the bottom row fully transparent.
  list->Add(Painted(16, 16,
                    [](int x, int y) -> DWORD {
                      if (y == 15) return 0u;
                      return x < 8 ? Argb(128, 128, 0, 0) : Argb(255, 0, 0, 255);
                    })
                .get(),
            nullptr);
  auto surface = Surface(16, 16, 0x00FFFFFF);
  list->Draw(surface->Canvas(), TRect(0, 0, 16, 16), 0);
  ExpectNear(PixelAt(surface.get(), 2, 2), 0x00FF7F7F, 1, "half red over white");
  ExpectNear(PixelAt(surface.get(), 12, 2), 0x000000FF, 0, "opaque blue");
  ExpectNear(PixelAt(surface.get(), 2, 15), 0x00FFFFFF, 0, "transparent");

  // Disabled: grey by the disabled weights (blue 0.2125 * 255 = 54), then
  // blended at 151 / 255: 54 * 0.592 + 255 * 0.408 = 136.
  auto disabled = Surface(16, 16, 0x00FFFFFF);
  list->Draw(disabled->Canvas(), TRect(0, 0, 16, 16), 0, false, false, false);
  ExpectNear(PixelAt(disabled.get(), 12, 2), 0x00888888, 2, "disabled blue");
  ExpectNear(PixelAt(disabled.get(), 2, 15), 0x00FFFFFF, 0, "disabled transparent");
}

TEST_F(CxImageListTest, DrawsImagesWithoutAlphaThroughTheirMasks) {
  auto list = MakeOwned<TcxImageList>(nullptr);
  list->AddMasked(Glyph(1).get(), clFuchsia);
  auto surface = Surface(16, 16, 0x00FFFFFF);
  list->Draw(surface->Canvas(), TRect(0, 0, 16, 16), 0);
  EXPECT_EQ(PixelAt(surface.get(), 8, 8) & 0xFFFFFF, Tone(1));
  EXPECT_EQ(PixelAt(surface.get(), 0, 0) & 0xFFFFFF, 0xFFFFFFu);

  // Disabled: the shape in a grey look, the background untouched.
  auto disabled = Surface(16, 16, 0x00FFFFFF);
  list->Draw(disabled->Canvas(), TRect(0, 0, 16, 16), 0, false, false, false);
  const DWORD grey = PixelAt(disabled.get(), 8, 8);
  EXPECT_NE(grey & 0xFFFFFF, Tone(1));
  EXPECT_LE(std::abs(Channel(grey, 0) - Channel(grey, 16)), 2);
  EXPECT_EQ(PixelAt(disabled.get(), 0, 0) & 0xFFFFFF, 0xFFFFFFu);

  // The platform's own drawing when alpha blending is off.
  list->SetAlphaBlending(false);
  auto plain = Surface(16, 16, 0x00FFFFFF);
  list->Draw(plain->Canvas(), 0, 0, 0);
  EXPECT_EQ(PixelAt(plain.get(), 8, 8) & 0xFFFFFF, Tone(1));
  EXPECT_EQ(PixelAt(plain.get(), 0, 0) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(CxImageListTest, DrawPlacesTheImage) {
  auto list = MakeOwned<TcxImageList>(nullptr);
  // A transparent border, blue at (1, 1), green elsewhere.
  list->AddMasked(Painted(16, 16,
                          [](int x, int y) -> DWORD {
                            if (x == 0 || y == 0 || x == 15 || y == 15) return kKey;
                            return x == 1 && y == 1 ? 0x000000FFu : 0x0000FF00u;
                          })
                      .get(),
                  clFuchsia);
  for (bool alpha : {true, false}) {
    SCOPED_TRACE(alpha ? "alpha blending" : "platform drawing");
    list->SetAlphaBlending(alpha);
    // A rectangle of the list's size is never stretched.
    auto exact = Surface(20, 20, 0x00FFFFFF);
    list->Draw(exact->Canvas(), TRect(2, 2, 18, 18), 0, true);
    EXPECT_EQ(PixelAt(exact.get(), 3, 3) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(PixelAt(exact.get(), 16, 16) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(PixelAt(exact.get(), 17, 17) & 0xFFFFFF, 0xFFFFFFu);
    // A larger one without stretching centres the image.
    auto centred = Surface(32, 32, 0x00FFFFFF);
    list->Draw(centred->Canvas(), TRect(0, 0, 32, 32), 0, false);
    EXPECT_EQ(PixelAt(centred.get(), 9, 9) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(PixelAt(centred.get(), 8, 8) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(PixelAt(centred.get(), 22, 22) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(PixelAt(centred.get(), 23, 23) & 0xFFFFFF, 0xFFFFFFu);
    // Stretched over the whole rectangle (how the system scales is its own
    // business: only where the image lands is checked).
    auto stretched = Surface(32, 32, 0x00FFFFFF);
    list->Draw(stretched->Canvas(), TRect(0, 0, 32, 32), 0, true);
    EXPECT_EQ(PixelAt(stretched.get(), 26, 26) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(PixelAt(stretched.get(), 5, 26) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(PixelAt(stretched.get(), 16, 16) & 0xFFFFFF, 0x00FF00u);
  }
}

// ---------------------------------------------------------------------------
// Stored properties
// ---------------------------------------------------------------------------

Owned<TMemoryStream> Written(TComponent* c, TComponent* ancestor = nullptr) {
  auto s = MakeOwned<TMemoryStream>();
  WriteDescendentToStream(s.get(), c, ancestor);
  s->SetPosition(0);
  return s;
}

std::string TextOf(TMemoryStream* binary) {
  binary->SetPosition(0);
  auto text = MakeOwned<TMemoryStream>();
  ObjectBinaryToText(binary, text.get());
  binary->SetPosition(0);
  const auto* p = static_cast<const char*>(text->Memory());
  return std::string(p, p + text->Size());
}

Owned<TMemoryStream> BinaryOf(const std::string& text) {
  auto in = MakeOwned<TMemoryStream>();
  in->WriteBuffer(text.data(), static_cast<int>(text.size()));
  in->SetPosition(0);
  auto out = MakeOwned<TMemoryStream>();
  ObjectTextToBinary(in.get(), out.get());
  out->SetPosition(0);
  return out;
}

std::string WithoutSpaces(std::string s) {
  s.erase(std::remove_if(s.begin(), s.end(), [](char c) { return c == ' ' || c == '\r' || c == '\n'; }), s.end());
  return s;
}

bool Has(const std::string& text, const char* what) { return text.find(what) != std::string::npos; }

TEST_F(CxImageListTest, EmptyListStoresFormatVersionAndDesignInfo) {
  auto list = MakeOwned<TcxImageList>(nullptr);
  list->SetName(L"Images");
  list->SetDesignInfo(0x00200010);
  auto binary = Written(list.get());
  const std::string text = TextOf(binary.get());
  EXPECT_TRUE(Has(text, "FormatVersion = 1")) << text;
  EXPECT_TRUE(Has(text, "DesignInfo = 2097168")) << text;
  EXPECT_FALSE(Has(text, "ImageInfo")) << text;
  EXPECT_FALSE(Has(text, "Bitmap")) << text;
  EXPECT_EQ(list->FormatVersion(), 1);

  // The same design position as an ancestor's is not stored again.
  auto ancestor = MakeOwned<TcxImageList>(nullptr);
  ancestor->SetName(L"Images");
  ancestor->SetDesignInfo(0x00200010);
  const std::string inherited = TextOf(Written(list.get(), ancestor.get()).get());
  EXPECT_FALSE(Has(inherited, "DesignInfo")) << inherited;
  EXPECT_FALSE(Has(inherited, "ImageInfo")) << inherited;
  list->Add(Glyph(0).get(), nullptr);
  EXPECT_TRUE(Has(TextOf(Written(list.get(), ancestor.get()).get()), "ImageInfo"));
}

TEST_F(CxImageListTest, ImagesSurviveTheStreamWithAlpha) {
  for (bool compress : {false, true}) {
    SCOPED_TRACE(compress ? "compressed" : "plain");
    auto list = MakeOwned<TcxImageList>(nullptr);
    list->SetName(L"Images");
    list->Add(Painted(32, 16, [](int x, int y) -> DWORD { return x < 16 ? Argb(128, 100, 0, 0) : Argb(255, x, y, 7); }).get(),
              nullptr);
    list->AddMasked(Glyph(2).get(), clFuchsia);
    list->SetCompressData(compress);
    auto binary = Written(list.get());
    const std::string text = WithoutSpaces(TextOf(binary.get()));
    EXPECT_TRUE(Has(text, "ImageInfo=<")) << text.substr(0, 300);
    EXPECT_TRUE(Has(text, "MaskColor=clFuchsia"));
    EXPECT_EQ(Has(text, "5844424D02"), compress);   // "XDBM", version 2

    auto read = MakeOwned<TcxImageList>(nullptr);
    ReadComponentFromStream(binary.get(), read.get());
    EXPECT_EQ(read->FormatVersion(), 1);
    EXPECT_EQ(read->CompressData(), compress);
    ASSERT_EQ(read->Count(), 3);
    ASSERT_EQ(read->Images()->Count(), 3);
    for (int i = 0; i < 3; ++i) {
      auto a = MakeOwned<TcxBitmap32>();
      auto b = MakeOwned<TcxBitmap32>();
      list->GetImageInfo(i, a.get(), nullptr);
      read->GetImageInfo(i, b.get(), nullptr);
      ASSERT_EQ(b->Width(), 16);
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(PixelAt(b.get(), x, y), PixelAt(a.get(), x, y)) << i;
    }
    EXPECT_EQ(read->Images()->Items(2)->MaskColor(), clFuchsia);
    EXPECT_EQ(SystemTone(read.get(), 2), Tone(2));
    EXPECT_TRUE(read->Equal(list.get()));
  }
}

// The text form of a bitmap's stored data.
std::string HexOfStoredBitmap(TBitmap* bitmap) {
  auto holder = MakeOwned<TcxImageList>(nullptr);
  holder->Add(bitmap, nullptr);
  const std::string text = TextOf(Written(holder.get()).get());
  const size_t open = text.find('{', text.find("Image.Data"));
  const size_t close = text.find('}', open);
  return text.substr(open, close - open + 1);
}

TEST_F(CxImageListTest, ReadsAHandWrittenDefinition) {
  const std::string hex = HexOfStoredBitmap(Glyph(3).get());
  const std::string text =
      "object Images: TcxImageList\n"
      "  DesignInfo = 65537\n"
      "  FormatVersion = 1\n"
      "  ImageInfo = <\n"
      "    item\n"
      "      Image.Data = " + hex + "\n"
      "      MaskColor = clFuchsia\n"
      "    end\n"
      "    item\n"
      "      Image.Data = " + hex + "\n"
      "    end>\n"
      "end\n";
  auto list = MakeOwned<TcxImageList>(nullptr);
  list->Add(Glyph(0).get(), nullptr);   // replaced by what is read
  ReadComponentFromStream(BinaryOf(text).get(), list.get());
  EXPECT_EQ(list->DesignInfo(), 65537);
  ExpectTones(list.get(), {3, 3});
  EXPECT_EQ(list->Images()->Items(0)->MaskColor(), clFuchsia);
  EXPECT_EQ(list->Images()->Items(1)->MaskColor(), clNone);
  // The mask colour made the border transparent in the system list.
  auto mask = MakeOwned<TBitmap>();
  TcxImageList::GetImageInfo(list->Handle(), 0, nullptr, mask.get());
  EXPECT_EQ(mask->Canvas()->GetPixel(0, 0), clWhite);
}

TEST_F(CxImageListTest, ReadsThePlatformsLegacyBitmap) {
  auto platform = MakeOwned<TImageList>(nullptr);
  platform->SetName(L"Images");
  for (int k : {1, 2, 3}) platform->AddMasked(Glyph(k).get(), clFuchsia);
  std::string text = TextOf(Written(platform.get()).get());
  text.replace(text.find("TImageList"), 10, "TcxImageList");
  ASSERT_TRUE(Has(text, "Bitmap = {"));

  auto list = MakeOwned<TcxImageList>(nullptr);
  ReadComponentFromStream(BinaryOf(text).get(), list.get());
  ExpectTones(list.get(), {1, 2, 3});
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list->Images()->Items(i)->Image()->PixelFormat(), pf32bit);
  // Written again, the list stores records, not the platform's property.
  const std::string again = TextOf(Written(list.get()).get());
  EXPECT_TRUE(Has(again, "ImageInfo"));
  EXPECT_FALSE(Has(again, "Bitmap ="));
}

TEST_F(CxImageListTest, BrokenImageInfoLeavesAConsistentList) {
  auto source = MakeOwned<TcxImageList>(nullptr);
  source->SetName(L"Images");
  source->Add(Glyph(1).get(), nullptr);
  source->Add(Glyph(2).get(), nullptr);
  source->SetCompressData(true);
  std::string text = TextOf(Written(source.get()).get());
  // Break the second image's compressed data: its run header becomes a count of 0.
  const size_t second = text.find("Image.Data", text.find("Image.Data") + 1);
  const size_t body = text.find("5844424D0200", second);   // "XDBM", version 2
  ASSERT_NE(body, std::string::npos);
  const int prefix = std::stoi(text.substr(body + 14, 2), nullptr, 16);
  text.replace(body + 16 + 2 * prefix, 2, "00");   // after E, P and the prefix: the first run header

  auto list = ListOf({0});
  EXPECT_ANY_THROW(ReadComponentFromStream(BinaryOf(text).get(), list.get()));
  EXPECT_EQ(list->Count(), list->Images()->Count());

  // An item without image data is dropped rather than left without a system image.
  const std::string empty =
      "object Images: TcxImageList\n"
      "  ImageInfo = <\n"
      "    item\n"
      "      MaskColor = clRed\n"
      "    end>\n"
      "end\n";
  auto other = ListOf({0});
  ReadComponentFromStream(BinaryOf(empty).get(), other.get());
  EXPECT_EQ(other->Count(), 0);
  EXPECT_EQ(other->Images()->Count(), 0);
}

}  // namespace
