// TImageList: editing, drawing, change links, handle ownership, drag images,
// pattern bitmaps.
#include "ImgListTestSupport.h"

#include "platform/core/Components.h"

#include <string>

namespace {

using Colors = std::vector<TColor>;

class ImgListEditTest : public ImgListTest {
 protected:
  // A list of `colors.size()` images, one square colour each.
  Owned<TTestImageList> ListOf(const Colors& colors) {
    auto list = MakeOwned<TTestImageList>(nullptr);
    for (TColor c : colors) list->AddMasked(Glyph(c).get(), kKey);
    return list;
  }
};

TEST_F(ImgListEditTest, PublishedDefaultsAreTheConstructedValues) {
  // A published default that differs from the constructed value would make
  // the stream drop a property that must be stored.
  auto list = MakeOwned<TImageList>(nullptr);
  int checked = 0;
  for (const TPropInfo* p : TImageList::StaticClass()->Properties()) {
    if (!p->HasDefault || !p->GetOrd) continue;
    EXPECT_EQ(p->GetOrd(list.get()), p->Default) << "property " << std::string(p->Name.begin(), p->Name.end());
    ++checked;
  }
  EXPECT_GE(checked, 10);
  EXPECT_FALSE(list->HandleAllocated()) << "the handle is made on first use";
  EXPECT_EQ(list->Count(), 0);
  EXPECT_NE(list->Handle(), nullptr);
  int cx = 0, cy = 0;
  ImageList_GetIconSize(list->Handle(), &cx, &cy);
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 16);
  EXPECT_EQ(ImageList_GetBkColor(list->Handle()), CLR_NONE);
}

TEST_F(ImgListEditTest, AddSplitsStripsAndKeepsOrder) {
  auto list = ListOf({clRed, clLime});
  auto strip = Painted(48, 16, [](int x, int y) {
    const TColor c[] = {clBlue, clYellow, clAqua};
    return x % 16 >= 4 && x % 16 < 12 && y >= 4 && y < 12 ? c[x / 16] : kKey;
  });
  EXPECT_EQ(list->AddMasked(strip.get(), kKey), 2);
  EXPECT_EQ(list->Count(), 5);
  EXPECT_EQ(Centres(list.get()), (Colors{clRed, clLime, clBlue, clYellow, clAqua}));
  EXPECT_EQ(list->Add(nullptr, nullptr), -1);
  EXPECT_EQ(list->AddMasked(nullptr, kKey), -1);
}

TEST_F(ImgListEditTest, MasksFromColourBitmapAndNone) {
  auto list = MakeOwned<TTestImageList>(nullptr);
  // clDefault: the bitmap's bottom-left pixel is the transparent colour.
  auto teal = Painted(16, 16, [](int x, int y) { return x >= 4 && x < 12 && y >= 4 && y < 12 ? clRed : clTeal; });
  list->AddMasked(teal.get(), clDefault);
  // An explicit mask: white is transparent; the image is black there.
  auto image = Painted(16, 16, [](int x, int y) { return x < 8 && y < 8 ? clBlue : clBlack; });
  auto mask = Painted(16, 16, [](int x, int y) { return x < 8 && y < 8 ? clBlack : clWhite; });
  list->Add(image.get(), mask.get());
  // No mask at all: every pixel opaque.
  list->AddMasked(Glyph(clLime).get(), clNone);
  list->Add(Glyph(clLime).get(), nullptr);

  const Colors defaulted = DrawnPixels(list.get(), 0);
  EXPECT_EQ(defaulted[0], clWhite);
  EXPECT_EQ(defaulted[8 * 16 + 8], clRed);
  const Colors masked = DrawnPixels(list.get(), 1);
  EXPECT_EQ(masked[2 * 16 + 2], clBlue);
  EXPECT_EQ(masked[12 * 16 + 12], clWhite);
  EXPECT_EQ(masked[2 * 16 + 12], clWhite);
  for (int i : {2, 3}) {
    const Colors opaque = DrawnPixels(list.get(), i);
    EXPECT_EQ(opaque[0], kKey) << i;
    EXPECT_EQ(opaque[8 * 16 + 8], clLime) << i;
  }
}

TEST_F(ImgListEditTest, InsertReplaceMoveDelete) {
  auto list = ListOf({clRed, clLime, clBlue});
  list->Insert(1, Glyph(clYellow).get(), nullptr);
  list->InsertMasked(4, Glyph(clAqua).get(), kKey);   // at Count: appends
  EXPECT_EQ(Centres(list.get()), (Colors{clRed, clYellow, clLime, clBlue, clAqua}));
  // Inserting a strip moves all of its images.
  auto strip = Painted(32, 16, [](int x, int) { return x < 16 ? clNavy : clMaroon; });
  list->Insert(0, strip.get(), nullptr);
  EXPECT_EQ(Centres(list.get()), (Colors{clNavy, clMaroon, clRed, clYellow, clLime, clBlue, clAqua}));
  list->Delete(0);
  list->Delete(0);

  list->Replace(0, Glyph(clGreen).get(), nullptr);
  list->ReplaceMasked(4, Glyph(clPurple).get(), kKey);
  EXPECT_EQ(Centres(list.get()), (Colors{clGreen, clYellow, clLime, clBlue, clPurple}));
  EXPECT_EQ(DrawnPixels(list.get(), 4)[0], clWhite) << "the replacement is masked";
  EXPECT_EQ(DrawnPixels(list.get(), 0)[0], kKey) << "a replacement without mask is opaque";

  list->Move(0, 3);
  EXPECT_EQ(Centres(list.get()), (Colors{clYellow, clLime, clBlue, clGreen, clPurple}));
  list->Move(4, 1);
  EXPECT_EQ(Centres(list.get()), (Colors{clYellow, clPurple, clLime, clBlue, clGreen}));
  EXPECT_EQ(DrawnPixels(list.get(), 1)[0], clWhite) << "the mask moves with its image";

  list->Delete(2);
  EXPECT_EQ(Centres(list.get()), (Colors{clYellow, clPurple, clBlue, clGreen}));
  list->Delete(-1);
  EXPECT_EQ(list->Count(), 0);
}

TEST_F(ImgListEditTest, IndexesOutsideTheListRaise) {
  auto list = ListOf({clRed, clLime});
  auto glyph = Glyph(clBlue);
  const std::vector<std::pair<const char*, std::function<void()>>> cases = {
      {"Insert past Count", [&] { list->Insert(3, glyph.get(), nullptr); }},
      {"Insert before 0", [&] { list->InsertMasked(-1, glyph.get(), kKey); }},
      {"Replace at Count", [&] { list->Replace(2, glyph.get(), nullptr); }},
      {"ReplaceMasked before 0", [&] { list->ReplaceMasked(-2, glyph.get(), kKey); }},
      {"Delete at Count", [&] { list->Delete(2); }},
      {"Move to Count", [&] { list->Move(0, 2); }},
      {"Move from -1", [&] { list->Move(-1, 0); }},
  };
  for (const auto& [name, action] : cases) {
    try {
      action();
      ADD_FAILURE() << name << ": no exception";
    } catch (EInvalidOperation& e) {
      EXPECT_EQ(e.Message, L"Invalid ImageList Index") << name;
    }
  }
  EXPECT_EQ(Centres(list.get()), (Colors{clRed, clLime}));
}

TEST_F(ImgListEditTest, CopiesBetweenListsKeepPixelsAndMasks) {
  auto source = MakeOwned<TTestImageList>(nullptr);
  FillGenerated(source.get(), 6);
  auto target = ListOf({clRed});
  EXPECT_EQ(target->AddImage(source.get(), 4), 1);
  EXPECT_EQ(target->AddImage(source.get(), 6), -1);
  EXPECT_EQ(target->AddImage(nullptr, 0), -1);
  target->AddImages(source.get());
  ASSERT_EQ(target->Count(), 8);
  EXPECT_EQ(DrawnPixels(target.get(), 1), DrawnPixels(source.get(), 4));
  for (int k = 0; k < 6; ++k) EXPECT_EQ(DrawnPixels(target.get(), 2 + k), DrawnPixels(source.get(), k)) << k;

  // Assign copies images and settings, but not who owns the handle.
  source->SetBkColor(clYellow);
  source->SetShareImages(true);
  auto copy = MakeOwned<TTestImageList>(nullptr, 32, 32);
  copy->Assign(source.get());
  EXPECT_EQ(copy->Count(), 6);
  EXPECT_EQ(copy->Width(), 16);
  EXPECT_EQ(copy->BkColor(), clYellow);
  EXPECT_FALSE(copy->ShareImages());
  for (int k = 0; k < 6; ++k) EXPECT_EQ(DrawnPixels(copy.get(), k), DrawnPixels(source.get(), k)) << k;
  source->SetShareImages(false);
}

TEST_F(ImgListEditTest, GetImagesBitmapAndIcon) {
  auto list = MakeOwned<TTestImageList>(nullptr);
  FillGenerated(list.get(), 3);
  auto image = MakeOwned<TBitmap>();
  auto mask = MakeOwned<TBitmap>();
  list->GetImages(2, image.get(), mask.get());
  ASSERT_EQ(image->Width(), 16);
  ASSERT_EQ(mask->Height(), 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const bool transparent = GeneratedPixel(2, x, y) == kKey;
      EXPECT_EQ(mask->Canvas()->GetPixel(x, y), transparent ? clWhite : clBlack) << x << "," << y;
      if (!transparent) {
        EXPECT_EQ(PixelOf(image.get(), x, y), GeneratedPixel(2, x, y)) << x << "," << y;
      }
    }

  auto bitmap = MakeBitmap(3, 3, clWhite);
  EXPECT_TRUE(list->GetBitmap(1, bitmap.get()));
  EXPECT_EQ(bitmap->Width(), 16);
  EXPECT_EQ(PixelOf(bitmap.get(), 5, 5), GeneratedPixel(1, 5, 5));
  EXPECT_FALSE(list->GetBitmap(3, bitmap.get()));

  auto icon = MakeOwned<TIcon>();
  list->GetIcon(0, icon.get());
  ASSERT_FALSE(icon->Empty());
  EXPECT_EQ(icon->Width(), 16);
  EXPECT_EQ(list->AddIcon(icon.get()), 3);
  EXPECT_EQ(DrawnPixels(list.get(), 3), DrawnPixels(list.get(), 0));
  list->InsertIcon(0, icon.get());
  list->ReplaceIcon(2, icon.get());
  EXPECT_EQ(DrawnPixels(list.get(), 2), DrawnPixels(list.get(), 0));
  EXPECT_EQ(list->Count(), 5);
}

TEST_F(ImgListEditTest, FormatChangesKeepImagesSizeChangesClear) {
  auto list = ListOf({clRed, clLime, clBlue});
  list->SetColorDepth(cd24Bit);
  list->SetMasked(false);
  EXPECT_EQ(Centres(list.get()), (Colors{clRed, clLime, clBlue}));
  EXPECT_EQ(DrawnPixels(list.get(), 0)[0], clBlack) << "unmasked: transparent parts show the image";
  list->SetMasked(true);
  EXPECT_EQ(list->Count(), 3);

  list->SetWidth(24);
  EXPECT_EQ(list->Count(), 0);
  int cx = 0, cy = 0;
  ImageList_GetIconSize(list->Handle(), &cx, &cy);
  EXPECT_EQ(cx, 24);
  EXPECT_EQ(cy, 16);
  EXPECT_THROW(list->SetHeight(0), EInvalidOperation);
  EXPECT_EQ(list->Height(), 16);
}

TEST_F(ImgListEditTest, LoadsStripsFromResourcesAndFiles) {
  auto list = ListOf({clGray});
  ASSERT_TRUE(list->ResourceLoad(rtBitmap, L"IMGLIST_STRIP", kKey));
  EXPECT_EQ(Centres(list.get()), (Colors{clRed, clLime, clBlue})) << "the loaded images replace the list's";
  EXPECT_EQ(DrawnPixels(list.get(), 1)[0], clWhite);

  EXPECT_FALSE(list->ResourceLoad(rtBitmap, L"NO_SUCH_BITMAP", kKey));
  EXPECT_EQ(list->Count(), 3);

  // From a file, split at another width.
  wchar_t dir[MAX_PATH], path[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  GetTempFileNameW(dir, L"img", 0, path);
  auto strip = Painted(32, 16, [](int x, int) { return x < 8 ? clNavy : clOlive; });
  strip->SetPixelFormat(pf24bit);
  strip->SaveToFile(path);
  EXPECT_TRUE(list->GetResource(rtBitmap, path, 8, {lrFromFile}, clNone));
  DeleteFileW(path);
  EXPECT_EQ(list->Count(), 4);
  EXPECT_EQ(list->Width(), 8);
  EXPECT_EQ(Centres(list.get()), (Colors{clNavy, clOlive, clOlive, clOlive}));
}

// --- drawing ------------------------------------------------------------------

class ImgListDrawTest : public ImgListTest {};

// 16 x 16: a red 4 x 4 square at (4, 4) with a white pixel at (5, 5) and a
// black one at (6, 6), on the key colour.
Owned<TBitmap> SquareGlyph() {
  return Painted(16, 16, [](int x, int y) {
    if (x == 5 && y == 5) return clWhite;
    if (x == 6 && y == 6) return clBlack;
    return x >= 4 && x < 8 && y >= 4 && y < 8 ? clRed : kKey;
  });
}

TEST_F(ImgListDrawTest, MaskedImageOverBackgroundPixelByPixel) {
  auto list = MakeOwned<TImageList>(nullptr);
  auto glyph = SquareGlyph();
  list->AddMasked(glyph.get(), kKey);
  auto target = MakeBitmap(24, 24, clTeal);
  list->Draw(target->Canvas(), 3, 2, 0);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      const int gx = x - 3, gy = y - 2;
      TColor want = clTeal;
      if (gx >= 0 && gx < 16 && gy >= 0 && gy < 16 && PixelOf(glyph.get(), gx, gy) != kKey)
        want = PixelOf(glyph.get(), gx, gy);
      ASSERT_EQ(PixelOf(target.get(), x, y), want) << x << "," << y;
    }

  // A background colour fills the transparent part of the image cell.
  list->SetBkColor(clYellow);
  auto filled = MakeBitmap(24, 24, clTeal);
  list->Draw(filled->Canvas(), 3, 2, 0);
  EXPECT_EQ(PixelOf(filled.get(), 3, 2), clYellow);
  EXPECT_EQ(PixelOf(filled.get(), 18, 17), clYellow);
  EXPECT_EQ(PixelOf(filled.get(), 19, 17), clTeal);
  EXPECT_EQ(PixelOf(filled.get(), 7, 6), clRed);

  // Indexes outside the list draw nothing.
  auto untouched = MakeBitmap(24, 24, clTeal);
  list->Draw(untouched->Canvas(), 0, 0, 1);
  list->Draw(untouched->Canvas(), 0, 0, -1, false);
  EXPECT_EQ(PixelOf(untouched.get(), 5, 5), clTeal);
}

TEST_F(ImgListDrawTest, DisabledImageIsEmbossedShape) {
  auto list = MakeOwned<TImageList>(nullptr);
  auto glyph = SquareGlyph();
  list->AddMasked(glyph.get(), kKey);
  auto target = MakeBitmap(24, 24, clTeal);
  list->Draw(target->Canvas(), 2, 3, 0, false);
  // The shape: opaque pixels that are not white.
  auto shape = [&](int gx, int gy) {
    if (gx < 0 || gy < 0 || gx >= 16 || gy >= 16) return false;
    const TColor c = PixelOf(glyph.get(), gx, gy);
    return c != kKey && c != clWhite;
  };
  const TColor shadow = static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW));
  const TColor highlight = static_cast<TColor>(GetSysColor(COLOR_BTNHIGHLIGHT));
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      const int gx = x - 2, gy = y - 3;
      const TColor want = shape(gx, gy) ? shadow : shape(gx - 1, gy - 1) ? highlight : clTeal;
      ASSERT_EQ(PixelOf(target.get(), x, y), want) << x << "," << y;
    }
}

TEST_F(ImgListDrawTest, StylesAndOverlays) {
  auto list = MakeOwned<TImageList>(nullptr);
  list->AddMasked(Glyph(clRed).get(), kKey);
  auto dot = Painted(16, 16, [](int x, int y) { return x == 6 && y == 6 ? clBlue : kKey; });
  list->AddMasked(dot.get(), kKey);

  // The mask image: black where the image is opaque.
  auto mask = MakeBitmap(16, 16, clTeal);
  list->Draw(mask->Canvas(), 0, 0, 0, dsNormal, itMask);
  EXPECT_EQ(PixelOf(mask.get(), 8, 8), clBlack);

  EXPECT_TRUE(list->Overlay(1, 0));
  EXPECT_FALSE(list->Overlay(1, 4));
  auto target = MakeBitmap(16, 16, clWhite);
  list->DrawOverlay(target->Canvas(), 0, 0, 0, 0);
  EXPECT_EQ(PixelOf(target.get(), 6, 6), clBlue);
  EXPECT_EQ(PixelOf(target.get(), 8, 8), clRed);
  EXPECT_EQ(PixelOf(target.get(), 1, 1), clWhite);
}

TEST_F(ImgListDrawTest, EditingAndDrawingLeaveNoGdiObjects) {
  const long before = GdiAccounting::Live();
  {
    auto list = MakeOwned<TTestImageList>(nullptr);
    FillGenerated(list.get(), 5);
    auto glyph = Glyph(clRed);
    list->Add(glyph.get(), glyph.get());
    list->Replace(0, glyph.get(), glyph.get());
    list->ReplaceMasked(1, glyph.get(), kKey);
    list->Move(0, 4);
    auto copy = MakeOwned<TTestImageList>(nullptr);
    copy->Assign(list.get());
    auto target = MakeBitmap(16, 16);
    list->Draw(target->Canvas(), 0, 0, 2, false);
    auto image = MakeOwned<TBitmap>();
    auto mask = MakeOwned<TBitmap>();
    list->GetImages(1, image.get(), mask.get());
    auto stream = MakeOwned<TMemoryStream>();
    list->WriteData(stream.get());
    stream->SetPosition(0);
    copy->ReadData(stream.get());
  }
  EXPECT_EQ(GdiAccounting::Live(), before);
}

// --- change links ------------------------------------------------------------------

class ImgListChangeTest : public ImgListTest {};

// A handler that frees a link (possibly its own) when told.
class TLinkFreer : public TObject {
 public:
  TChangeLink* Victim = nullptr;
  int Count = 0;
  void Notify(TObject*) {
    ++Count;
    FreeAndNil(Victim);
  }
};

TEST_F(ImgListChangeTest, LinksHearEveryChangeOnceAfterUpdates) {
  auto list = MakeOwned<TImageList>(nullptr);
  TEventCounter first, second, event;
  auto link1 = MakeOwned<TChangeLink>();
  auto link2 = MakeOwned<TChangeLink>();
  link1->OnChange = first.Event();
  link2->OnChange = second.Event();
  list->RegisterChanges(link1.get());
  list->RegisterChanges(link2.get());
  list->RegisterChanges(link2.get());   // once only
  list->OnChange = event.Event();
  EXPECT_EQ(link1->Sender(), list.get());

  list->AddMasked(Glyph(clRed).get(), kKey);
  EXPECT_EQ(first.Count, 1);
  EXPECT_EQ(first.LastSender, list.get());
  EXPECT_EQ(second.Count, 1);
  EXPECT_EQ(event.Count, 1);

  list->BeginUpdate();
  list->BeginUpdate();
  list->AddMasked(Glyph(clLime).get(), kKey);
  list->Move(0, 1);
  list->SetBkColor(clYellow);
  list->EndUpdate();
  EXPECT_EQ(first.Count, 1) << "nothing while an update is open";
  list->EndUpdate();
  EXPECT_EQ(first.Count, 2);
  EXPECT_EQ(event.Count, 2);

  list->BeginUpdate();
  list->EndUpdate();
  EXPECT_EQ(first.Count, 2) << "an update without changes reports nothing";

  list->UnRegisterChanges(link2.get());
  EXPECT_EQ(link2->Sender(), nullptr);
  list->Delete(0);
  EXPECT_EQ(first.Count, 3);
  EXPECT_EQ(second.Count, 2);
}

TEST_F(ImgListChangeTest, LinksAndListsFreedInAnyOrder) {
  auto list = MakeOwned<TImageList>(nullptr);
  // A link freed while registered leaves the list.
  auto* gone = Make<TChangeLink>();
  list->RegisterChanges(gone);
  TObject::Free(gone);
  // A handler freeing another link (and one freeing its own) in the middle
  // of a notification.
  TLinkFreer freer, selfFreer;
  TEventCounter last;
  auto* link1 = Make<TChangeLink>();
  auto* link2 = Make<TChangeLink>();
  auto link3 = MakeOwned<TChangeLink>();
  link1->OnChange = TNotifyEvent::Bind<&TLinkFreer::Notify>(&freer);
  freer.Victim = link2;
  link2->OnChange = last.Event();
  auto* self = Make<TChangeLink>();
  self->OnChange = TNotifyEvent::Bind<&TLinkFreer::Notify>(&selfFreer);
  selfFreer.Victim = self;
  link3->OnChange = last.Event();
  for (TChangeLink* l : {link1, link2, self, link3.get()}) list->RegisterChanges(l);
  list->Clear();
  EXPECT_EQ(freer.Count, 1);
  EXPECT_EQ(selfFreer.Count, 1);
  EXPECT_EQ(last.Count, 1) << "the freed link is skipped, the last one is told";
  EXPECT_EQ(freer.Victim, nullptr);
  list->Clear();
  EXPECT_EQ(last.Count, 2);

  // A list freed first leaves its links without a sender.
  list.reset();
  EXPECT_EQ(link1->Sender(), nullptr);
  EXPECT_EQ(link3->Sender(), nullptr);
  TObject::Free(link1);
}

// --- handle ownership ------------------------------------------------------------------

class ImgListHandleTest : public ImgListTest {
 protected:
  static HIMAGELIST Foreign(int cx = 16, int cy = 16) {
    HIMAGELIST h = ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 1, 1);
    HBITMAP bmp = CreateBitmap(cx, cy, 1, 32, nullptr);
    ImageList_Add(h, bmp, nullptr);
    DeleteObject(bmp);
    return h;
  }
};

TEST_F(ImgListHandleTest, AnAdoptedHandleIsDestroyedOnceByItsOwner) {
  const long base = ImgListLiveHandles();
  HIMAGELIST foreign = Foreign(24, 20);
  {
    auto list = MakeOwned<TImageList>(nullptr);
    list->AddMasked(Glyph(clRed).get(), kKey);
    EXPECT_EQ(ImgListLiveHandles(), base + 1);
    list->SetHandle(foreign);   // the old handle goes, the new one is the list's
    EXPECT_EQ(ImgListLiveHandles(), base + 1);
    EXPECT_EQ(list->Width(), 24);
    EXPECT_EQ(list->Height(), 20);
    EXPECT_EQ(list->Count(), 1);
    list->SetHandle(list->Handle());   // the same handle again: kept alive
    EXPECT_EQ(list->Count(), 1);
    EXPECT_EQ(ImgListLiveHandles(), base + 1);
  }
  EXPECT_EQ(ImgListLiveHandles(), base) << "destroyed with the list";
}

TEST_F(ImgListHandleTest, SharedHandlesStayWithTheirOwner) {
  HIMAGELIST foreign = Foreign();
  auto owner = MakeOwned<TImageList>(nullptr);
  owner->AddMasked(Glyph(clRed).get(), kKey);
  {
    auto sharer = MakeOwned<TImageList>(nullptr);
    sharer->SetShareImages(true);
    sharer->SetHandle(foreign);
    sharer->SetHandle(owner->Handle());   // replacing a shared handle keeps it too
    EXPECT_EQ(CentreOf(sharer.get(), 0), clRed);
  }
  EXPECT_EQ(CentreOf(owner.get(), 0), clRed) << "the owner's list survives the sharer";
  EXPECT_EQ(ImageList_GetImageCount(foreign), 1);
  EXPECT_TRUE(ImageList_Destroy(foreign)) << "the caller's list was not destroyed";

  // A sharing list that gives up sharing takes the handle over.
  HIMAGELIST handedOver = Foreign();
  const long base = ImgListLiveHandles();
  {
    auto list = MakeOwned<TImageList>(nullptr);
    list->SetShareImages(true);
    list->SetHandle(handedOver);
    EXPECT_EQ(ImgListLiveHandles(), base);
    list->SetShareImages(false);
    EXPECT_EQ(ImgListLiveHandles(), base + 1);
  }
  EXPECT_EQ(ImgListLiveHandles(), base);
}

// --- drag images ---------------------------------------------------------------------

TEST_F(ImgListTest, DragImageFollowsBeginMoveEnd) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 120, 80, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  auto list = MakeOwned<TImageList>(nullptr);
  EXPECT_FALSE(list->BeginDrag(window, 5, 5)) << "nothing to drag";
  list->AddMasked(Glyph(clRed).get(), kKey);
  list->AddMasked(Glyph(clBlue).get(), kKey);
  EXPECT_FALSE(list->SetDragImage(2, 0, 0));
  EXPECT_TRUE(list->SetDragImage(1, 3, 4));
  EXPECT_EQ(list->HotSpot().X, 3);
  EXPECT_TRUE(list->BeginDrag(window, 10, 10));
  EXPECT_TRUE(list->Dragging());
  EXPECT_TRUE(list->DragMove(20, 15));
  list->HideDragImage();
  list->ShowDragImage();
  EXPECT_TRUE(list->SetDragImage(0, 1, 1));
  EXPECT_TRUE(list->Dragging());
  list->DragUnlock();
  EXPECT_TRUE(list->DragLock(window, 20, 15));
  EXPECT_TRUE(list->EndDrag());
  EXPECT_FALSE(list->Dragging());
  EXPECT_FALSE(list->EndDrag());
  // A list freed while dragging ends the drag.
  EXPECT_TRUE(list->BeginDrag(window, 10, 10));
  list.reset();
  DestroyWindow(window);
}

// --- pattern bitmaps -------------------------------------------------------------------

TEST_F(ImgListTest, PatternBitmapsAreCheckersCachedPerColourPair) {
  TBitmap* pattern = AllocPatternBitmap(clWhite, clNavy);
  ASSERT_NE(pattern, nullptr);
  ASSERT_EQ(pattern->Width(), 8);
  ASSERT_EQ(pattern->Height(), 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      ASSERT_EQ(pattern->Canvas()->GetPixel(x, y), (x + y) % 2 == 0 ? clNavy : clWhite) << x << "," << y;
  EXPECT_EQ(AllocPatternBitmap(clWhite, clNavy), pattern);
  TBitmap* swapped = AllocPatternBitmap(clNavy, clWhite);
  EXPECT_NE(swapped, pattern);
  EXPECT_EQ(swapped->Canvas()->GetPixel(0, 0), clWhite);
  // System colours are resolved.
  EXPECT_EQ(AllocPatternBitmap(clBtnFace, clBlack)->Canvas()->GetPixel(1, 0),
            static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));

  // Shutdown frees them; a later call makes a new one.
  ImgListFinalize();
  TBitmap* again = AllocPatternBitmap(clWhite, clNavy);
  EXPECT_EQ(again->Canvas()->GetPixel(0, 0), clNavy);
  ImgListFinalize();
}

}  // namespace
