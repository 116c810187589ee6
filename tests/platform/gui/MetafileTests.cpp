// TMetafile and TMetafileCanvas: recording, the enhanced and old-style file
// formats through TPicture, drawing, the clipboard, handle accounting, bad
// data and the out-of-resources paths.
#include "GraphicsTestSupport.h"

#include "platform/gui/Clipboard.h"

#include "tests/support/GdiFailures.h"
#include "tests/support/TestDib.h"

#include <cstring>

namespace {

// Pixels as a 32-bit DIB holds them (0x00RRGGBB).
constexpr DWORD kRed = 0xFF0000, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

// The screen pixels a recording of the metafile's size spans: its drawing
// units are those of the reference device.
TSize FramePixels(TMetafile* metafile) {
  HDC screen = GetDC(nullptr);
  const TSize size{MulDiv(metafile->MMWidth(), GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, HORZSIZE) * 100),
                   MulDiv(metafile->MMHeight(), GetDeviceCaps(screen, VERTRES), GetDeviceCaps(screen, VERTSIZE) * 100)};
  ReleaseDC(nullptr, screen);
  return size;
}

// Draws the left half of the metafile's frame red and the right half blue.
void RecordHalves(TMetafile* metafile, const String& createdBy = String(), const String& description = String()) {
  auto canvas = Own(Make<TMetafileCanvas>(metafile, nullptr, createdBy, description));
  const TSize px = FramePixels(metafile);
  canvas->Brush()->SetColor(clRed);
  canvas->FillRect(Rect(0, 0, px.cx / 2, px.cy));
  canvas->Brush()->SetColor(clBlue);
  canvas->FillRect(Rect(px.cx / 2, 0, px.cx, px.cy));
}

// A 40 x 20 pixel metafile of two halves.
Owned<TMetafile> Halves() {
  auto metafile = MakeOwned<TMetafile>();
  metafile->SetSize(40, 20);
  RecordHalves(metafile.get());
  return metafile;
}

// A white 60 x 30 DIB that graphics are stretched onto.
class TTarget : public TTestDib {
 public:
  TTarget() : TTestDib(60, 30) { FillRaw(kWhite); }
  void Draw(TGraphic* graphic, const TRect& rect) {
    auto canvas = MakeOwned<TCanvas>();
    canvas->SetHandle(DC());
    canvas->StretchDraw(rect, graphic);
    canvas->SetHandle(nullptr);
  }
  DWORD At(int x, int y) const { return RawAt(x, y) & 0xFFFFFF; }
};

// The halves stretched onto (10, 5, 50, 25) fill exactly that rectangle.
void ExpectHalvesDrawn(TGraphic* graphic) {
  TTarget target;
  target.Draw(graphic, Rect(10, 5, 50, 25));
  EXPECT_EQ(target.At(10, 5), kRed);
  EXPECT_EQ(target.At(29, 24), kRed);
  EXPECT_EQ(target.At(30, 5), kBlue);
  EXPECT_EQ(target.At(49, 24), kBlue);
  EXPECT_EQ(target.At(9, 5), kWhite);
  EXPECT_EQ(target.At(50, 24), kWhite);
  EXPECT_EQ(target.At(10, 4), kWhite);
  EXPECT_EQ(target.At(49, 25), kWhite);
}

String TempFile(const Char* name) {
  Char dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return String(dir) + name;
}

TBytes FileBytes(const String& fileName) {
  auto stream = MakeOwned<TMemoryStream>();
  stream->LoadFromFile(fileName);
  return BytesOf(stream.get());
}

TBytes Saved(TMetafile* metafile, bool enhanced) {
  metafile->SetEnhanced(enhanced);
  return SavedBytes(metafile);
}

void Load(TMetafile* metafile, const TBytes& bytes) {
  auto stream = MakeOwned<TBytesStream>(bytes);
  metafile->LoadFromStream(stream.get());
}

template <class T>
T At(const TBytes& bytes, size_t offset) {
  T v{};
  if (offset + sizeof(T) <= bytes.size()) std::memcpy(&v, bytes.data() + offset, sizeof(T));
  return v;
}

struct TPictureData : TPicture {
  using TPicture::ReadData;
  using TPicture::WriteData;
};

class Metafile : public GraphicsTest {};

}  // namespace

TEST_F(Metafile, RecordsWhatIsDrawnOnItsCanvas) {
  auto metafile = MakeOwned<TMetafile>();
  EXPECT_TRUE(metafile->Empty());
  metafile->SetSize(40, 20);
  EXPECT_EQ(metafile->MMWidth(), MulDiv(40, 2540, ScreenPixelsPerInch()));
  TEventCounter changed;
  metafile->OnChange = changed.Event();
  RecordHalves(metafile.get(), L"岚泽", L"两半");
  EXPECT_EQ(changed.Count, 1) << "the recording replaces the image once, when the canvas goes";
  ASSERT_FALSE(metafile->Empty());
  EXPECT_TRUE(metafile->Enhanced());
  EXPECT_EQ(metafile->Width(), 40);
  EXPECT_EQ(metafile->Height(), 20);
  EXPECT_EQ(metafile->CreatedBy(), L"岚泽");
  EXPECT_EQ(metafile->Description(), L"两半");
  ExpectHalvesDrawn(metafile.get());
}

TEST_F(Metafile, BothFileFormatsRoundTripThroughThePicture) {
  struct TCase {
    const Char* File;
    bool Enhanced;
  };
  for (const TCase& c : {TCase{L"lanze-metafile-test.emf", true}, TCase{L"lanze-metafile-test.WMF", false}}) {
    SCOPED_TRACE(c.Enhanced ? "emf" : "wmf");
    auto metafile = Halves();
    metafile->SetEnhanced(c.Enhanced);
    const String file = TempFile(c.File);
    metafile->SaveToFile(file);
    const TBytes bytes = FileBytes(file);
    if (c.Enhanced) {
      EXPECT_EQ(At<DWORD>(bytes, 0), DWORD(EMR_HEADER));
      EXPECT_EQ(At<DWORD>(bytes, 40), DWORD(ENHMETA_SIGNATURE));
    } else {
      EXPECT_EQ(At<DWORD>(bytes, 0), 0x9AC6CDD7u) << "placeable header";
      EXPECT_EQ(At<WORD>(bytes, 10), 40) << "bounding box right";
      EXPECT_EQ(At<WORD>(bytes, 12), 20) << "bounding box bottom";
      EXPECT_EQ(At<WORD>(bytes, 14), ScreenPixelsPerInch()) << "units per inch";
      EXPECT_EQ(At<WORD>(bytes, 22), 1) << "the old format's own header follows";
    }

    auto picture = MakeOwned<TPictureData>();
    picture->LoadFromFile(file);
    DeleteFileW(file.c_str());
    auto* loaded = dynamic_cast<TMetafile*>(picture->Graphic());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Enhanced(), c.Enhanced);
    EXPECT_EQ(loaded->Inch(), c.Enhanced ? 0 : ScreenPixelsPerInch());
    EXPECT_EQ(loaded->Width(), 40);
    EXPECT_EQ(loaded->Height(), 20);
    ExpectHalvesDrawn(loaded);

    // The component stream names the class and finds it again.
    auto stored = MakeOwned<TMemoryStream>();
    picture->WriteData(stored.get());
    stored->SetPosition(0);
    auto copy = MakeOwned<TPictureData>();
    copy->ReadData(stored.get());
    ASSERT_NE(dynamic_cast<TMetafile*>(copy->Graphic()), nullptr);
    EXPECT_TRUE(copy->Graphic()->Equals(loaded));
  }
}

TEST_F(Metafile, MalformedDataIsRejectedAndTheImageKept) {
  auto source = Halves();
  const TBytes emf = Saved(source.get(), true);
  const TBytes wmf = Saved(source.get(), false);
  auto changed = [](TBytes bytes, size_t offset, Byte value) {
    bytes.at(offset) = value;
    return bytes;
  };
  auto cut = [](const TBytes& bytes, size_t size) { return TBytes(bytes.begin(), bytes.begin() + size); };
  const std::string text = "neither kind of metafile, just text long enough for either header";
  const struct {
    const char* Name;
    TBytes Bytes;
  } cases[] = {
      {"text", TBytes(text.begin(), text.end())},
      {"placeable header with a wrong checksum", changed(wmf, 20, Byte(wmf[20] ^ 0x55))},
      {"placeable header without its records", cut(wmf, 30)},
      {"records shorter than they claim", cut(wmf, wmf.size() - 2)},
      {"enhanced header only", cut(emf, 100)},
      {"enhanced header with a wrong signature", changed(emf, 40, 'X')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    auto metafile = Halves();
    EXPECT_THROW(Load(metafile.get(), c.Bytes), EInvalidGraphic);
    EXPECT_TRUE(metafile->Enhanced());
    ExpectHalvesDrawn(metafile.get());
  }

  auto metafile = Halves();
  Load(metafile.get(), TBytes());
  EXPECT_TRUE(metafile->Empty()) << "no bytes are what an empty metafile saves";
  EXPECT_TRUE(SavedBytes(metafile.get()).empty());
}

TEST_F(Metafile, HandlesAreCountedWhenCopiedTakenOverAndHandedOut) {
  const long before = GdiAccounting::Live(gokMetafile);
  auto a = Halves();
  EXPECT_EQ(GdiAccounting::Live(gokMetafile), before + 1);
  auto b = MakeOwned<TMetafile>();
  b->Assign(a.get());
  EXPECT_EQ(GdiAccounting::Live(gokMetafile), before + 2);
  ExpectHalvesDrawn(b.get());

  HENHMETAFILE handle = a->ReleaseHandle();
  EXPECT_TRUE(a->Empty());
  EXPECT_EQ(GdiAccounting::Live(gokMetafile), before + 1) << "the caller owns the handle now";
  b->SetHandle(handle);   // b's copy goes, the handed-over one is taken
  EXPECT_EQ(GdiAccounting::Live(gokMetafile), before + 1);
  EXPECT_EQ(b->Width(), 40) << "the size comes from the handle's frame";
  ExpectHalvesDrawn(b.get());
}

TEST_F(Metafile, ClipboardRoundTripAsEnhancedAndAsOldStyle) {
  auto metafile = Halves();
  Clipboard()->Assign(metafile.get());
  EXPECT_TRUE(Clipboard()->HasFormat(CF_ENHMETAFILE));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_METAFILEPICT)) << "the system offers the old format too";
  EXPECT_TRUE(Clipboard()->HasFormat(CF_PICTURE));

  auto picture = MakeOwned<TPicture>();
  picture->Assign(Clipboard());
  ASSERT_NE(dynamic_cast<TMetafile*>(picture->Graphic()), nullptr);
  EXPECT_EQ(picture->Width(), 40);
  ExpectHalvesDrawn(picture->Graphic());

  auto old = MakeOwned<TMetafile>();
  Clipboard()->Open();
  try {
    old->LoadFromClipboardFormat(CF_METAFILEPICT, Clipboard()->GetAsHandle(CF_METAFILEPICT), nullptr);
  } catch (...) {
    Clipboard()->Close();
    throw;
  }
  Clipboard()->Close();
  Clipboard()->Clear();
  EXPECT_FALSE(old->Enhanced());
  EXPECT_EQ(old->Width(), 40);
  EXPECT_EQ(old->Height(), 20);
  ExpectHalvesDrawn(old.get());

  EXPECT_THROW(old->LoadFromClipboardFormat(CF_BITMAP, nullptr, nullptr), EInvalidGraphic);
}

TEST_F(Metafile, OutOfResourcesLeavesNothingBehind) {
  using gdifail::TArmed;
  static TBytes wmf;
  {
    auto source = Halves();
    wmf = Saved(source.get(), false);
  }
  static const gdifail::TFailureCase cases[] = {
      {"a metafile recorded",
       [](const TArmed& armed) {
         auto metafile = MakeOwned<TMetafile>();
         metafile->SetSize(40, 20);
         if (armed([&] { RecordHalves(metafile.get()); })) ExpectHalvesDrawn(metafile.get());
       }},
      {"a metafile copied",
       [](const TArmed& armed) {
         auto source = Halves();
         auto copy = MakeOwned<TMetafile>();
         if (armed([&] { copy->Assign(source.get()); })) ExpectHalvesDrawn(copy.get());
         else EXPECT_TRUE(copy->Empty());
       }},
      {"an old-style metafile loaded",
       [](const TArmed& armed) {
         auto metafile = MakeOwned<TMetafile>();
         if (armed([&] { Load(metafile.get(), wmf); })) ExpectHalvesDrawn(metafile.get());
       }},
      {"a metafile handed to the clipboard",
       [](const TArmed& armed) {
         auto source = Halves();
         Word format = 0;
         HANDLE data = nullptr;
         HPALETTE palette = nullptr;
         if (armed([&] { source->SaveToClipboardFormat(format, data, palette); })) {
           EXPECT_EQ(format, CF_ENHMETAFILE);
           EXPECT_NE(data, nullptr);
         }
         DeleteEnhMetaFile(static_cast<HENHMETAFILE>(data));   // handed out uncounted
       }},
  };
  gdifail::SweepEachCase(cases);
}
