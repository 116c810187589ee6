#include "platform/WinApi.h"
#include "editors/family/cxImage.h"

#include "editors/core/cxEditRepositoryItems.h"
#include "editors/core/cxEditStyles.h"
#include "foundation/cxGraphicsRoutines.h"
#include "foundation/dxGDIPlusClasses.h"
#include "platform/core/Filer.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Jpeg.h"
#include "tests/support/LeakCheck.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TestDib.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A bitmap of one colour.
Owned<TBitmap> SolidBitmap(int AWidth, int AHeight, TColor AColor) {
  auto bitmap = MakeOwned<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(AWidth, AHeight);
  bitmap->Canvas()->Brush()->SetColor(AColor);
  bitmap->Canvas()->FillRect(TRect(0, 0, AWidth, AHeight));
  return bitmap;
}

// A JPEG as a stored definition holds it: compressed bytes, not decoded yet.
Owned<TJPEGImage> StoredJpeg(int AWidth, int AHeight, TColor AColor) {
  auto jpeg = MakeOwned<TJPEGImage>();
  jpeg->Assign(SolidBitmap(AWidth, AHeight, AColor).get());
  jpeg->JPEGNeeded();
  auto bytes = MakeOwned<TMemoryStream>();
  jpeg->SaveToStream(bytes.get());
  bytes->SetPosition(0);
  auto stored = MakeOwned<TJPEGImage>();
  stored->LoadFromStream(bytes.get());
  return stored;
}

bool HasUpdateRegion(HWND AWnd) { return GetUpdateRect(AWnd, nullptr, FALSE) != FALSE; }

AnsiString SavedBytes(TGraphic* AGraphic) {
  auto stream = MakeOwned<TMemoryStream>();
  AGraphic->SaveToStream(stream.get());
  return AnsiString(static_cast<const char*>(stream->Memory()), static_cast<size_t>(stream->Size()));
}

// The pixels of a window as it shows them, repainted whole first unless ARepaint is false.
class TWindowPixels : public TTestDib {
 public:
  explicit TWindowPixels(HWND AWnd, bool ARepaint = true) : TTestDib(ClientSize(AWnd).cx, ClientSize(AWnd).cy) {
    if (ARepaint) RedrawWindow(AWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(AWnd);
    BitBlt(DC(), 0, 0, Width(), Height(), dc, 0, 0, SRCCOPY);
    ReleaseDC(AWnd, dc);
  }
  COLORREF At(int x, int y) const {
    const DWORD raw = RawAt(x, y);
    return RGB((raw >> 16) & 0xFF, (raw >> 8) & 0xFF, raw & 0xFF);
  }

 private:
  static SIZE ClientSize(HWND AWnd) {
    RECT r;
    GetClientRect(AWnd, &r);
    return SIZE{r.right, r.bottom};
  }
};

bool Near(COLORREF A, COLORREF B, int ATolerance = 24) {
  return std::abs(GetRValue(A) - GetRValue(B)) <= ATolerance && std::abs(GetGValue(A) - GetGValue(B)) <= ATolerance &&
         std::abs(GetBValue(A) - GetBValue(B)) <= ATolerance;
}

// An image editor without a border on a shown form.
struct TImageForm {
  Owned<TForm> Form{Make<TForm>(nullptr, 0)};
  TcxImage* Image;

  explicit TImageForm(int AWidth = 300, int AHeight = 300) {
    Form->SetBounds(30, 30, AWidth + 40, AHeight + 60);
    Image = Make<TcxImage>(Form.get());
    Image->Style()->SetBorderStyle(ebsNone);
    Image->Style()->SetColor(clWhite);
    Image->SetParent(Form.get());
    Image->SetBounds(5, 5, AWidth, AHeight);
    Form->Show();
    PumpQueuedMessages();
  }
};

}  // namespace

// ---- values

TEST(cxImageValues, HeaderIsSkippedOnlyWhenItDescribesTheRest) {
  const AnsiString bmp = SavedBytes(SolidBitmap(3, 2, clRed).get());
  auto header = [](uint32_t size) {
    AnsiString h("\x01\x00\x00\x01", 4);
    for (int i = 0; i < 4; ++i) h += static_cast<char>((size >> (8 * i)) & 0xFF);
    return h;
  };
  struct TCase {
    const char* Name;
    AnsiString Value;
    bool Loads;
  } cases[] = {
      {"plain", bmp, true},
      {"header with the right size", header(static_cast<uint32_t>(bmp.size())) + bmp, true},
      // The same header with a wrong size is data: a BMP does not start so.
      {"header with a wrong size", header(static_cast<uint32_t>(bmp.size()) + 1) + bmp, false},
      {"seven bytes", AnsiString("BM\x01\x02\x03\x04\x05", 7), false},
  };
  for (const TCase& c : cases) {
    auto picture = MakeOwned<TPicture>();
    EXPECT_EQ(cxLoadPictureFromValue(picture.get(), TBitmap::StaticClass(), Variant(c.Value)), c.Loads) << c.Name;
    EXPECT_EQ(!cxIsPictureBlank(picture.get()), c.Loads) << c.Name;
    if (c.Loads) {
      EXPECT_EQ(picture->Width(), 3) << c.Name;
    }
  }
}

TEST(cxImageValues, EditValueIsTheSavedStreamAndNullWithoutPicture) {
  auto image = MakeOwned<TcxImage>(nullptr);
  EXPECT_TRUE(VarIsNull(image->EditValue()));
  auto bitmap = SolidBitmap(4, 4, clBlue);
  image->Picture()->SetGraphic(bitmap.get());
  const Variant value = image->EditValue();
  ASSERT_TRUE(VarIsStr(value));
  EXPECT_EQ(value.AsAnsiString(), SavedBytes(bitmap.get()));
  // A value that holds no bytes clears the picture.
  image->SetEditValue(Variant(42));
  EXPECT_TRUE(cxIsPictureBlank(image->Picture()));
  EXPECT_TRUE(VarIsNull(image->EditValue()));
  // The saved bytes load back.
  image->SetEditValue(value);
  EXPECT_EQ(image->Picture()->Width(), 4);
}

TEST(cxImageValues, BytesThatDoNotLoadAreRefusedAndThePictureKept) {
  auto image = MakeOwned<TcxImage>(nullptr);
  auto bitmap = SolidBitmap(5, 5, clGreen);
  image->Picture()->SetGraphic(bitmap.get());
  const Variant kept = image->EditValue();
  EXPECT_THROW(image->SetEditValue(Variant(AnsiString("not a picture at all"))), EcxEditError);
  EXPECT_EQ(image->EditValue().AsAnsiString(), kept.AsAnsiString());
}

// ---- properties

TEST(cxImageProperties, GraphicClassByName) {
  auto properties = MakeOwned<TcxImageProperties>(nullptr);
  EXPECT_EQ(properties->GraphicClass(), TBitmap::StaticClass());
  properties->SetGraphicClassName(L"tjpegimage");
  EXPECT_EQ(properties->GraphicClass(), TJPEGImage::StaticClass());
  properties->SetGraphicClassName(L"TNoSuchPicture");
  EXPECT_EQ(properties->GraphicClass(), TJPEGImage::StaticClass());
  properties->SetGraphicClassName(String());
  EXPECT_EQ(properties->GraphicClass(), nullptr);
  // The list: bitmap first (the default), the JPEG class last.
  const std::vector<TClass>& list = cxImageGraphicClassList();
  ASSERT_GE(list.size(), 4u);
  EXPECT_EQ(list.front(), TBitmap::StaticClass());
  EXPECT_EQ(list.back(), TJPEGImage::StaticClass());
}

TEST(cxImageProperties, NoGraphicClassSurvivesTheComponentStream) {
  auto source = MakeOwned<TcxImage>(nullptr);
  source->SetName(L"Image1");
  source->Properties()->SetGraphicClassName(String());
  TMemoryStream out, text;
  {
    TWriter writer(&out);
    writer.WriteRootComponent(source.get());
  }
  out.SetPosition(0);
  ObjectBinaryToText(&out, &text);
  const std::string written(static_cast<const char*>(text.Memory()), static_cast<size_t>(text.Size()));
  EXPECT_NE(written.find("Properties.IsGraphicClassNameEmpty = True"), std::string::npos) << written;
  EXPECT_EQ(written.find("GraphicClassName ="), std::string::npos) << written;
  out.SetPosition(0);
  auto target = MakeOwned<TcxImage>(nullptr);
  {
    TReader reader(&out);
    reader.ReadRootComponent(target.get());
  }
  EXPECT_EQ(target->Properties()->GraphicClass(), nullptr);
}

// ---- layout

TEST(cxImageLayout, PictureRectangles) {
  struct TCase {
    int PictureWidth, PictureHeight;
    bool Stretch, Proportional, Center;
    TRect Expected;
  } cases[] = {
      {100, 50, false, true, true, TRect(100, 125, 200, 175)},   // natural size, centred
      {100, 50, true, true, true, TRect(0, 75, 300, 225)},       // fitted 300 x 150
      {600, 150, false, true, true, TRect(0, 112, 300, 187)},    // shrunk to 300 x 75
      {600, 150, false, false, true, TRect(-150, 75, 450, 225)}, // natural size, negative offset
      {600, 150, false, false, false, TRect(-20, -10, 580, 140)},// scrolled by TopLeft (20, 10)
      {100, 50, true, false, true, TRect(0, 0, 300, 300)},       // stretched without keeping the ratio
  };
  for (const TCase& c : cases) {
    auto viewInfo = MakeOwned<TcxImageViewInfo>();
    auto picture = MakeOwned<TPicture>();
    picture->SetGraphic(SolidBitmap(c.PictureWidth, c.PictureHeight, clRed).get());
    viewInfo->Picture = picture.get();
    viewInfo->Stretch = c.Stretch;
    viewInfo->Proportional = c.Proportional;
    viewInfo->Center = c.Center;
    viewInfo->TopLeft = TPoint(20, 10);
    EXPECT_EQ(viewInfo->PictureRect(TRect(0, 0, 300, 300)), c.Expected)
        << c.PictureWidth << "x" << c.PictureHeight << " stretch " << c.Stretch << " proportional "
        << c.Proportional;
    viewInfo->Picture = nullptr;
  }
  EXPECT_EQ(cxFitRectProportionally(TRect(10, 10, 10, 50), 4, 3), TRect(10, 10, 10, 50));
  EXPECT_EQ(cxFitRectProportionally(TRect(0, 0, 200, 100), 0, 5), TRect(0, 0, 200, 100));
}

// ---- painting on a window

TEST(cxImagePainting, AStretchedJpegIsDecodedAtTheFirstPaintAndFitted) {
  KeepsResourcesOnPurpose("the shared brush cache keeps the colours painted with");
  // A red JPEG of 2 : 1 in a square editor: a band of the full width.
  auto stored = StoredJpeg(160, 80, clRed);

  TImageForm f;
  f.Image->Properties()->SetGraphicClassName(L"TJPEGImage");
  f.Image->Properties()->SetStretch(true);
  f.Image->Properties()->SetShowFocusRect(false);
  const long decodes = TJPEGImage::DecodeCount();
  f.Image->Picture()->SetGraphic(stored.get());
  EXPECT_EQ(TJPEGImage::DecodeCount(), decodes);   // not at load
  TWindowPixels pixels(f.Image->Handle());
  EXPECT_EQ(TJPEGImage::DecodeCount(), decodes + 1);
  TWindowPixels again(f.Image->Handle());
  EXPECT_EQ(TJPEGImage::DecodeCount(), decodes + 1);   // once

  // The client area (inside the editor's frame) holds the fitted band; the
  // rows above and below it are the background colour.
  const TRect r = f.Image->ImageViewInfo()->ClientRect;
  const int bandHeight = r.Width() / 2, bandTop = r.Top + (r.Height() - bandHeight) / 2;
  EXPECT_EQ(f.Image->ImageViewInfo()->PictureRect(r), TRect(r.Left, bandTop, r.Right, bandTop + bandHeight));
  const COLORREF red = RGB(255, 0, 0), white = RGB(255, 255, 255);
  const int middle = r.Left + r.Width() / 2;
  for (int y : {r.Top, bandTop - 1}) EXPECT_EQ(pixels.At(middle, y), white) << y;
  for (int y : {bandTop + bandHeight, r.Bottom - 1}) EXPECT_EQ(pixels.At(middle, y), white) << y;
  for (int y : {bandTop, bandTop + bandHeight / 2, bandTop + bandHeight - 1})
    for (int x : {r.Left, middle, r.Right - 1}) EXPECT_TRUE(Near(pixels.At(x, y), red)) << x << "," << y;
}

TEST(cxImagePainting, RepaintsComeFromTheFittedCopyAndThePointerAloneRepaintsNothing) {
  KeepsResourcesOnPurpose("the shared brush cache keeps the colours painted with");
  auto stored = StoredJpeg(160, 80, clRed);
  TImageForm f;
  f.Image->Properties()->SetStretch(true);
  f.Image->Picture()->SetGraphic(stored.get());
  const HWND wnd = f.Image->Handle();
  const long decodes = TJPEGImage::DecodeCount();
  TWindowPixels first(wnd);
  TcxImageViewInfo* viewInfo = f.Image->ImageViewInfo();
  TBitmap* fitted = viewInfo->FittedPicture();
  ASSERT_NE(fitted, nullptr);
  const TRect r2 = viewInfo->PictureRect(viewInfo->ClientRect);
  EXPECT_EQ(TSize(fitted->Width(), fitted->Height()), TSize(r2.Width(), r2.Height()));
  TWindowPixels second(wnd);
  EXPECT_EQ(viewInfo->FittedPicture(), fitted);
  EXPECT_EQ(TJPEGImage::DecodeCount(), decodes + 1);

  // Moving over the picture and leaving it change nothing it shows.
  ValidateRect(wnd, nullptr);
  for (LPARAM at : {MAKELPARAM(20, 30), MAKELPARAM(150, 150)}) {
    SendMessageW(wnd, WM_MOUSEMOVE, 0, at);
    EXPECT_FALSE(HasUpdateRegion(wnd)) << at;
  }
  SendMessageW(wnd, CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(f.Image));
  EXPECT_FALSE(HasUpdateRegion(wnd));

  // A repaint of part of the picture copies that part, whichever bands of the copy it crosses.
  HDC dc = GetDC(wnd);
  RECT all;
  GetClientRect(wnd, &all);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(wnd, dc);
  RECT part{r2.Left + 10, r2.Top + 20, r2.Left + 40, r2.Bottom - 20};
  InvalidateRect(wnd, &part, FALSE);
  UpdateWindow(wnd);
  TWindowPixels shown(wnd, false);
  const COLORREF red = RGB(255, 0, 0), black = RGB(0, 0, 0);
  for (int y = part.top; y < part.bottom; y += 7) {
    EXPECT_TRUE(Near(shown.At(part.left, y), red)) << y;
    EXPECT_EQ(shown.At(part.left - 1, y), black) << y;
    EXPECT_EQ(shown.At(part.right, y), black) << y;
  }
  EXPECT_TRUE(Near(shown.At(part.right - 1, part.bottom - 1), red));
  EXPECT_EQ(shown.At(part.left, part.top - 1), black);
  EXPECT_EQ(shown.At(part.left, part.bottom), black);

  // A new size scales again from the decoded pixels; a new picture is painted anew.
  f.Image->SetBounds(5, 5, 200, 300);
  TWindowPixels resized(wnd);
  ASSERT_NE(viewInfo->FittedPicture(), nullptr);
  EXPECT_EQ(viewInfo->FittedPicture()->Width(), viewInfo->ClientRect.Width());
  EXPECT_EQ(TJPEGImage::DecodeCount(), decodes + 1);
  ValidateRect(wnd, nullptr);
  f.Image->Picture()->SetGraphic(SolidBitmap(40, 40, clBlue).get());
  EXPECT_TRUE(HasUpdateRegion(wnd));
  EXPECT_EQ(viewInfo->FittedPicture(), nullptr);
  TWindowPixels blue(wnd);
  const TRect r = viewInfo->ClientRect;
  EXPECT_TRUE(Near(blue.At(r.Left + r.Width() / 2, r.Top + r.Height() / 2), RGB(0, 0, 255)));
}

// Shrunk to two thirds, a target pixel covers one source column and half of the next.
TEST(cxImagePainting, AShrunkPictureAveragesTheAreaEachPixelCovers) {
  KeepsResourcesOnPurpose("the shared brush cache keeps the colours painted with");
  TImageForm f;
  f.Image->Properties()->SetStretch(true);
  f.Image->Properties()->SetShowFocusRect(false);
  const TRect r = f.Image->ImageViewInfo()->ClientRect;
  ASSERT_EQ(r.Width() % 2, 0);
  const int w = r.Width() * 3 / 2, h = r.Height() * 3 / 2;
  auto stripes = SolidBitmap(w, h, clBlue);
  for (int y = 0; y < h; ++y) {
    auto* row = static_cast<Byte*>(stripes->ScanLine(y));
    for (int x = 0; x < w; x += 3) row[x * 3] = 0, row[x * 3 + 2] = 255;   // every third column red
  }
  f.Image->Picture()->SetGraphic(stripes.get());
  TWindowPixels shown(f.Image->Handle());
  TBitmap* fitted = f.Image->ImageViewInfo()->FittedPicture();
  ASSERT_NE(fitted, nullptr);
  ASSERT_EQ(fitted->Width(), r.Width());
  const COLORREF redAndHalfBlue = RGB(170, 0, 85), blue = RGB(0, 0, 255);
  for (int y : {0, fitted->Height() / 2, fitted->Height() - 1})
    for (int x : {0, 1, 148, 149, r.Width() - 2, r.Width() - 1})
      EXPECT_TRUE(Near(fitted->Canvas()->GetPixel(x, y), x % 2 ? blue : redAndHalfBlue, 1))
          << x << "," << y << ": " << std::hex << fitted->Canvas()->GetPixel(x, y);
}

// A JPEG larger than the editor is shrunk while it is decoded, to the same pixels as a shrink
// of its whole decoded picture, which never exists; another size decodes it again.
TEST(cxImagePainting, AShrunkJpegIsScaledWhileDecodedWithoutKeepingItsPixels) {
  KeepsResourcesOnPurpose("the shared brush cache keeps the colours painted with");
  TImageForm f(200, 120);
  f.Image->Properties()->SetStretch(true);
  f.Image->Properties()->SetShowFocusRect(false);
  auto stripes = SolidBitmap(333, 181, clBlue);
  for (int y = 0; y < stripes->Height(); ++y) {
    auto* row = static_cast<Byte*>(stripes->ScanLine(y));
    for (int x = 0; x < stripes->Width(); ++x) row[x * 3 + 1] = static_cast<Byte>(x + 3 * y);
  }
  auto jpeg = MakeOwned<TJPEGImage>();
  jpeg->Assign(stripes.get());
  const AnsiString bytes = SavedBytes(jpeg.get());
  auto load = [&bytes] {
    auto stored = MakeOwned<TJPEGImage>();
    auto stream = MakeOwned<TMemoryStream>();
    stream->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    stream->SetPosition(0);
    stored->LoadFromStream(stream.get());
    return stored;
  };
  auto stored = load();
  f.Image->Picture()->SetGraphic(stored.get());
  auto* shown = dynamic_cast<TJPEGImage*>(f.Image->Picture()->Graphic());
  ASSERT_NE(shown, nullptr);
  const long decodes = TJPEGImage::DecodeCount();
  TWindowPixels first(f.Image->Handle());
  EXPECT_EQ(TJPEGImage::DecodeCount(), decodes + 1);
  EXPECT_FALSE(shown->Decoded());
  for (int height : {120, 77}) {
    SCOPED_TRACE(height);
    if (height != 120) {
      const long before = TJPEGImage::DecodeCount();
      f.Image->SetHeight(height);
      TWindowPixels again(f.Image->Handle());
      EXPECT_EQ(TJPEGImage::DecodeCount(), before + 1);
      EXPECT_FALSE(shown->Decoded());
    }
    TBitmap* fitted = f.Image->ImageViewInfo()->FittedPicture();
    ASSERT_NE(fitted, nullptr);
    const TRect r2 = f.Image->ImageViewInfo()->PictureRect(f.Image->ImageViewInfo()->ClientRect);
    ASSERT_EQ(TSize(fitted->Width(), fitted->Height()), TSize(r2.Width(), r2.Height()));
    auto whole = load();
    auto expected = MakeOwned<TBitmap>();
    expected->SetPixelFormat(pf24bit);
    expected->SetSize(fitted->Width(), fitted->Height());
    cxShrinkBitmapByArea(whole->DecodedBitmap(), expected.get());
    for (int y = 0; y < fitted->Height(); ++y)
      ASSERT_EQ(std::memcmp(fitted->ScanLine(y), expected->ScanLine(y), size_t(fitted->Width()) * 3), 0) << y;
  }
}

// A see-through editor's picture leaves what lies under it wherever the picture is
// transparent, also when it is scaled: no opaque scaled copy goes over it.
TEST(cxImagePainting, AScaledTransparentPictureInASeeThroughEditorCoversOnlyItsOpaquePixels) {
  KeepsResourcesOnPurpose("the shared brush cache keeps the colours painted with");
  auto viewInfo = MakeOwned<TcxImageViewInfo>();
  auto picture = MakeOwned<TPicture>();
  // Left half white (the transparent colour, taken from the bottom-left pixel), right half red.
  auto graphic = SolidBitmap(20, 20, clRed);
  graphic->Canvas()->Brush()->SetColor(clWhite);
  graphic->Canvas()->FillRect(TRect(0, 0, 10, 20));
  graphic->SetTransparent(true);
  picture->SetGraphic(graphic.get());
  viewInfo->Picture = picture.get();
  viewInfo->Stretch = true;
  viewInfo->Transparent = true;
  viewInfo->Bounds = viewInfo->ClientRect = TRect(0, 0, 60, 60);
  auto target = SolidBitmap(60, 60, clLime);
  auto canvas = MakeOwned<TcxCanvas>(target->Canvas());
  viewInfo->Paint(canvas.get());
  EXPECT_EQ(target->Canvas()->GetPixel(15, 30), clLime);
  EXPECT_EQ(target->Canvas()->GetPixel(45, 30), clRed);
  viewInfo->Picture = nullptr;
}

TEST(cxImagePainting, CaptionIsCentredWhenThereIsNoPicture) {
  KeepsResourcesOnPurpose("the shared brush cache keeps the colours painted with");
  TImageForm f(200, 40);
  f.Image->Properties()->SetShowFocusRect(false);
  TWindowPixels blank(f.Image->Handle());
  for (int x = 0; x < 200; x += 7) ASSERT_EQ(blank.At(x, 20), RGB(255, 255, 255)) << x;
  f.Image->Properties()->SetCaption(L"IIIIII");
  TWindowPixels text(f.Image->Handle());
  int left = 200, right = -1;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x)
      if (text.At(x, y) != RGB(255, 255, 255)) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
  ASSERT_LE(left, right);
  EXPECT_LE(std::abs((left + right) / 2 - 100), 2);
}

// ---- read-only and the menu

TEST(cxImageCommands, AReadOnlyEditorRefusesPasteClearAndLoad) {
  TImageForm f(60, 40);
  auto bitmap = SolidBitmap(6, 4, clBlue);
  f.Image->Picture()->SetGraphic(bitmap.get());
  const AnsiString kept = f.Image->EditValue().AsAnsiString();
  f.Image->Properties()->SetReadOnly(true);
  Clipboard()->Assign(SolidBitmap(9, 9, clRed).get());
  f.Image->SetFocus();
  SendMessageW(f.Image->Handle(), WM_PASTE, 0, 0);
  SendMessageW(f.Image->Handle(), WM_CUT, 0, 0);   // copies only
  f.Image->LoadFromFile();                          // no dialog
  EXPECT_EQ(f.Image->EditValue().AsAnsiString(), kept);
  // The menu: copy and save enabled, the changing commands not.
  f.Image->PrepareEditPopupMenu();
  TMenuItem* items = f.Image->EditPopupMenu()->Items();
  struct TCase {
    int Position;
    bool Enabled;
  } cases[] = {{0, false}, {1, true}, {2, false}, {3, false}, {5, false}, {6, true}};
  for (const TCase& c : cases) EXPECT_EQ(items->Items(c.Position)->Enabled(), c.Enabled) << c.Position;
}

TEST(cxImageCommands, AnEmptyMenuLayoutLeavesTheContextMenuToTheContainer) {
  TImageForm f(60, 40);
  f.Image->Properties()->PopupMenuLayout()->SetMenuItems(TcxPopupMenuItems());
  SendMessageW(f.Image->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(f.Image->Handle()), MAKELPARAM(-1, -1));
  EXPECT_EQ(f.Image->EditPopupMenu(), nullptr);
}

TEST(cxImageCommands, OnlyLoadAndCustomShowTheirSeparators) {
  auto image = MakeOwned<TcxImage>(nullptr);
  image->Properties()->PopupMenuLayout()->SetMenuItems(TcxPopupMenuItems{pmiLoad, pmiCustom});
  image->PrepareEditPopupMenu();
  TMenuItem* items = image->EditPopupMenu()->Items();
  ASSERT_EQ(items->Count(), 9);
  const bool visible[] = {false, false, false, false, true, true, false, true, true};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(items->Items(i)->Visible(), visible[i]) << i;
}

// The six command glyphs come from the program's resources; their background (the
// bottom-left pixel's colour) is transparent, the drawing itself is not.
TEST(cxImageCommands, MenuGlyphsAreLoadedWithTransparentBackgrounds) {
  TImageList* images = cxImageMenuImages();
  ASSERT_NE(images, nullptr);
  ASSERT_EQ(images->Count(), 6);
  EXPECT_EQ(images->Width(), 16);
  EXPECT_EQ(images->Height(), 16);
  for (int index = 0; index < images->Count(); ++index) {
    struct TCell : TTestDib {
      TCell() : TTestDib(16, 16) { FillRaw(0xFFFFFF); }
      using TTestDib::RawAt;
    } target;
    auto canvas = MakeOwned<TCanvas>();
    canvas->SetHandle(target.DC());
    images->Draw(canvas.get(), 0, 0, index);
    canvas->SetHandle(nullptr);
    int drawn = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) drawn += (target.RawAt(x, y) & 0xFFFFFF) != 0xFFFFFF;
    EXPECT_EQ(target.RawAt(0, 15) & 0xFFFFFF, 0xFFFFFFu) << index;
    EXPECT_GT(drawn, 20) << index;
    EXPECT_LT(drawn, 200) << index;
  }
}

// ---- clipboard and files with other pictures

TEST(cxImageCommands, ClipboardCarriesBitmapsAndMakesJpegsForAJpegEditor) {
  auto source = MakeOwned<TcxImage>(nullptr);
  auto bitmap = SolidBitmap(12, 7, clYellow);
  source->Picture()->SetGraphic(bitmap.get());
  source->CopyToClipboard();
  ASSERT_TRUE(Clipboard()->HasFormat(CF_BITMAP));

  auto asBitmap = MakeOwned<TcxImage>(nullptr);
  asBitmap->PasteFromClipboard();
  ASSERT_NE(dynamic_cast<TBitmap*>(asBitmap->Picture()->Graphic()), nullptr);
  EXPECT_EQ(asBitmap->Picture()->Width(), 12);

  auto asJpeg = MakeOwned<TcxImage>(nullptr);
  asJpeg->Properties()->SetGraphicClassName(L"TJPEGImage");
  asJpeg->PasteFromClipboard();
  ASSERT_NE(dynamic_cast<TJPEGImage*>(asJpeg->Picture()->Graphic()), nullptr);
  const AnsiString value = asJpeg->EditValue().AsAnsiString();
  ASSERT_GE(value.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(value[0]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(value[1]), 0xD8);

  // Cut empties the source.
  source->CutToClipboard();
  EXPECT_TRUE(VarIsNull(source->EditValue()));
}

TEST(cxImageCommands, LoadedFilesAreStoredInTheEditorsGraphicClass) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const String bmpFile = String(folder) + L"cximage_test.bmp";
  SolidBitmap(20, 10, clLime)->SaveToFile(bmpFile);
  struct TRemove {
    String Name;
    ~TRemove() { DeleteFileW(Name.c_str()); }
  } remove{bmpFile};

  struct TCase {
    const wchar_t* ClassName;
    TClass Expected;
  } cases[] = {{L"TBitmap", TBitmap::StaticClass()}, {L"TJPEGImage", TJPEGImage::StaticClass()}};
  for (const TCase& c : cases) {
    auto image = MakeOwned<TcxImage>(nullptr);
    image->Properties()->SetGraphicClassName(c.ClassName);
    image->LoadPictureFile(bmpFile);
    ASSERT_NE(image->Picture()->Graphic(), nullptr);
    EXPECT_EQ(image->Picture()->Graphic()->ClassType(), c.Expected);
    // Read back through the value with the editor's class: the picture stays.
    auto readBack = MakeOwned<TcxImage>(nullptr);
    readBack->Properties()->SetGraphicClassName(c.ClassName);
    readBack->SetEditValue(image->EditValue());
    EXPECT_EQ(readBack->Picture()->Width(), 20) << c.ClassName;
  }
}

TEST(cxImageCommands, PngValuesRoundTripWhenThePngClassIsListed) {
  TClass png = cxImageFindGraphicClass(L"TdxPNGImage");
  if (!png) GTEST_SKIP() << "no PNG class without GDI+";
  auto source = MakeOwned<TdxPNGImage>();
  source->SetBitmap(SolidBitmap(8, 6, clFuchsia).get());
  auto image = MakeOwned<TcxImage>(nullptr);
  image->Properties()->SetGraphicClass(png);
  image->SetEditValue(Variant(SavedBytes(source.get())));
  EXPECT_EQ(image->Picture()->Width(), 8);
  EXPECT_EQ(image->Picture()->Graphic()->ClassType(), png);
}

TEST(cxImageRegistry, TheEditorKindIsRegisteredWithItsDescription) {
  TcxRegisteredClasses* registry = cxEditPropertiesRegistry();
  EXPECT_EQ(registry->FindByClassName(L"TcxImageProperties"), TcxImageProperties::StaticClass());
  EXPECT_EQ(registry->FindByDescription(L"Image"), TcxImageProperties::StaticClass());
  EXPECT_EQ(registry->GetHintByClass(TcxImageProperties::StaticClass()), L"Represents an image editor");
}
