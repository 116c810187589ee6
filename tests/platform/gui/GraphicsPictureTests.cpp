// TPicture (its stored form, the file-format registry) and TIcon.
#include "GraphicsTestSupport.h"

#include "platform/gui/Jpeg.h"

#include <cstring>

namespace {

struct TPictureData : TPicture {
  using TPicture::ReadData;
  using TPicture::WriteData;
};

TBytes StoredData(TPictureData* picture) {
  auto stream = MakeOwned<TMemoryStream>();
  picture->WriteData(stream.get());
  return BytesOf(stream.get());
}

void ReadStored(TPictureData* picture, const TBytes& data) {
  auto stream = MakeOwned<TBytesStream>(data);
  picture->ReadData(stream.get());
  EXPECT_EQ(stream->Position(), stream->Size()) << "data left unread";
}

TBytes Prefix(const char* className) {
  const size_t n = std::strlen(className);
  TBytes out(1 + n);
  out[0] = static_cast<Byte>(n);
  std::memcpy(out.data() + 1, className, n);
  return out;
}

String TempFile(const Char* name) {
  Char dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return String(dir) + name;
}

class GraphicsPicture : public GraphicsTest {};

}  // namespace

TEST_F(GraphicsPicture, StoredBitmapIsClassNameThenTheBitmapsData) {
  auto picture = MakeOwned<TPictureData>();
  picture->Bitmap()->SetPixelFormat(pf24bit);
  picture->Bitmap()->SetSize(3, 2);
  picture->Bitmap()->Canvas()->SetPixel(2, 1, clRed);
  const TBytes data = StoredData(picture.get());

  TBytes expected = Prefix("TBitmap");
  const TBytes bmp = SavedBytes(picture->Bitmap());
  const auto size = static_cast<std::uint32_t>(bmp.size());
  expected.insert(expected.end(), reinterpret_cast<const Byte*>(&size), reinterpret_cast<const Byte*>(&size) + 4);
  expected.insert(expected.end(), bmp.begin(), bmp.end());
  EXPECT_EQ(data, expected);

  auto copy = MakeOwned<TPictureData>();
  TEventCounter changed;
  copy->OnChange = changed.Event();
  ReadStored(copy.get(), data);
  EXPECT_EQ(changed.Count, 1);
  ASSERT_NE(copy->Graphic(), nullptr);
  EXPECT_EQ(copy->Graphic()->ClassType(), TBitmap::StaticClass());
  EXPECT_EQ(copy->Width(), 3);
  EXPECT_EQ(copy->Bitmap()->Canvas()->GetPixel(2, 1), clRed);
  EXPECT_EQ(StoredData(copy.get()), data);
}

TEST_F(GraphicsPicture, StoredJpegBytesPassThroughUnchangedAndUndecoded) {
  auto source = MakeBitmap(16, 8, clOlive, pf24bit);
  auto jpeg = MakeOwned<TJPEGImage>();
  jpeg->Assign(source.get());
  const TBytes bytes = SavedBytes(jpeg.get());

  TBytes data = Prefix("TJPEGImage");
  const auto size = static_cast<std::uint32_t>(bytes.size());
  data.insert(data.end(), reinterpret_cast<const Byte*>(&size), reinterpret_cast<const Byte*>(&size) + 4);
  data.insert(data.end(), bytes.begin(), bytes.end());

  const long decodes = TJPEGImage::DecodeCount();
  auto picture = MakeOwned<TPictureData>();
  ReadStored(picture.get(), data);
  ASSERT_NE(picture->Graphic(), nullptr);
  EXPECT_EQ(picture->Graphic()->ClassName(), L"TJPEGImage");
  EXPECT_EQ(picture->Width(), 16);
  EXPECT_EQ(picture->Height(), 8);
  EXPECT_EQ(StoredData(picture.get()), data);
  EXPECT_EQ(TJPEGImage::DecodeCount(), decodes);
}

TEST_F(GraphicsPicture, StoredClassNamesAreLookedUpAmongRegisteredGraphics) {
  auto picture = MakeOwned<TPictureData>();
  picture->Bitmap()->SetSize(1, 1);
  TGraphic* before = picture->Graphic();

  TBytes unknown = Prefix("TNoSuchImage");
  unknown.insert(unknown.end(), {0, 0, 0, 0});
  try {
    ReadStored(picture.get(), unknown);
    FAIL() << "read";
  } catch (EInvalidGraphic& e) {
    EXPECT_NE(e.Message.find(L"TNoSuchImage"), String::npos);
  }
  EXPECT_EQ(picture->Graphic(), before) << "a failed read keeps the old graphic";

  // Not a graphic class at all, though a class of that name exists.
  TBytes notGraphic = Prefix("TPicture");
  EXPECT_THROW(ReadStored(picture.get(), notGraphic), EInvalidGraphic);

  // Case does not matter, as for every class name the stream carries.
  TBytes lower = Prefix("tbitmap");
  lower.insert(lower.end(), {0, 0, 0, 0});
  ReadStored(picture.get(), lower);
  ASSERT_NE(picture->Graphic(), nullptr);
  EXPECT_TRUE(picture->Graphic()->Empty());

  ReadStored(picture.get(), TBytes{0});
  EXPECT_EQ(picture->Graphic(), nullptr);
  EXPECT_EQ(StoredData(picture.get()), TBytes{0});
}

TEST_F(GraphicsPicture, FilesAreLoadedByTheirExtension) {
  auto bitmap = MakeBitmap(4, 3, clMaroon, pf24bit);
  const String bmpFile = TempFile(L"lanze-picture-test.BMP");
  bitmap->SaveToFile(bmpFile);
  auto picture = MakeOwned<TPicture>();
  picture->LoadFromFile(bmpFile);
  ASSERT_NE(picture->Graphic(), nullptr);
  EXPECT_EQ(picture->Graphic()->ClassType(), TBitmap::StaticClass());
  EXPECT_EQ(picture->Bitmap()->Canvas()->GetPixel(3, 2), clMaroon);

  const String unknownFile = TempFile(L"lanze-picture-test.xyz");
  bitmap->SaveToFile(unknownFile);
  try {
    picture->LoadFromFile(unknownFile);
    FAIL() << "loaded";
  } catch (EInvalidGraphic& e) {
    EXPECT_EQ(e.Message, L"Unknown picture file extension (.xyz)");
  }
  EXPECT_EQ(picture->Width(), 4);
  DeleteFileW(bmpFile.c_str());
  DeleteFileW(unknownFile.c_str());

  EXPECT_EQ(GraphicFilter(TJPEGImage::StaticClass()),
            L"All (*.jpg;*.jpeg)|*.jpg;*.jpeg|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg");
  EXPECT_EQ(GraphicFilter(TBitmap::StaticClass()), L"Bitmaps (*.bmp)|*.bmp");
  EXPECT_EQ(GraphicExtension(TIcon::StaticClass()), L"ico");
  EXPECT_EQ(TPicture::FindGraphicClass(L"TJPEGIMAGE"), TJPEGImage::StaticClass());
  EXPECT_TRUE(TPicture::SupportsClipboardFormat(CF_BITMAP));
}

TEST_F(GraphicsPicture, GraphicChangesReachThePicture) {
  auto picture = MakeOwned<TPicture>();
  TEventCounter changed;
  picture->OnChange = changed.Event();
  TBitmap* bitmap = picture->Bitmap();   // a new graphic: one change
  EXPECT_EQ(changed.Count, 1);
  EXPECT_EQ(picture->Bitmap(), bitmap) << "already a bitmap";
  bitmap->SetSize(2, 2);
  bitmap->Canvas()->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(changed.Count, 3);

  // Graphic keeps a copy; Icon replaces the bitmap.
  auto other = MakeBitmap(5, 5);
  picture->SetGraphic(other.get());
  EXPECT_NE(picture->Graphic(), other.get());
  EXPECT_EQ(picture->Width(), 5);
  picture->Icon();
  EXPECT_EQ(picture->Graphic()->ClassType(), TIcon::StaticClass());
  EXPECT_EQ(picture->Width(), 0);
}

// ---- Icons ---------------------------------------------------------------------------

namespace {
// An opaque square icon of one colour, made with plain GDI.
HICON MakeIcon(int size, TColor color) {
  HDC screen = GetDC(nullptr);
  HBITMAP image = CreateCompatibleBitmap(screen, size, size);
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, image);
  HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(color));
  const RECT all{0, 0, size, size};
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  SelectObject(dc, mask);
  PatBlt(dc, 0, 0, size, size, BLACKNESS);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  ICONINFO info{TRUE, 0, 0, mask, image};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(image);
  DeleteObject(mask);
  return icon;
}
}  // namespace

TEST_F(GraphicsPicture, IconsSaveAndLoadAsIcoFiles) {
  auto icon = MakeOwned<TIcon>();
  icon->SetHandle(MakeIcon(16, clRed));
  EXPECT_EQ(icon->Width(), 16);
  EXPECT_TRUE(icon->Transparent());
  const TBytes ico = SavedBytes(icon.get());
  ASSERT_GT(ico.size(), 22u);
  EXPECT_EQ(ico[2], 1);   // type: icon

  auto loaded = MakeOwned<TIcon>();
  auto stream = MakeOwned<TBytesStream>(ico);
  loaded->LoadFromStream(stream.get());
  EXPECT_EQ(loaded->Width(), 16);
  EXPECT_EQ(loaded->Height(), 16);
  EXPECT_EQ(SavedBytes(loaded.get()), ico) << "the file's bytes are kept";

  auto target = MakeBitmap(20, 20, clWhite);
  target->Canvas()->Draw(2, 2, loaded.get());
  EXPECT_EQ(PixelOf(target.get(), 5, 5), clRed);
  EXPECT_EQ(PixelOf(target.get(), 1, 1), clWhite);
  EXPECT_THROW(loaded->SetWidth(32), EInvalidGraphicOperation);

  // Broken files.
  auto patched = [&](size_t offset, Byte value) {
    TBytes b = ico;
    b[offset] = value;
    return b;
  };
  for (const TBytes& bad : {TBytes{0, 0, 1, 0}, TBytes(ico.begin(), ico.begin() + 30), patched(2, 7), patched(4, 0),
                            patched(21, 0x40) /* image offset past the end */, patched(18, 0xFF)}) {
    auto s = MakeOwned<TBytesStream>(bad);
    EXPECT_THROW(loaded->LoadFromStream(s.get()), EInvalidGraphic);
  }
  EXPECT_EQ(loaded->Width(), 16);
}

TEST_F(GraphicsPicture, IconHandlesAreOwnedUntilReleased) {
  const long before = GdiAccounting::Live(gokIcon);
  HICON released;
  {
    auto icon = MakeOwned<TIcon>();
    icon->SetHandle(MakeIcon(8, clBlue));
    EXPECT_EQ(GdiAccounting::Live(gokIcon), before + 1);
    auto copy = MakeOwned<TIcon>();
    copy->Assign(icon.get());
    EXPECT_NE(copy->Handle(), icon->Handle());
    EXPECT_EQ(GdiAccounting::Live(gokIcon), before + 2);
    released = copy->ReleaseHandle();
    EXPECT_TRUE(copy->Empty());
  }
  EXPECT_EQ(GdiAccounting::Live(gokIcon), before);
  EXPECT_TRUE(DestroyIcon(released));
}
