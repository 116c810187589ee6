// TImageList's stored "Bitmap" property: the comctl32 image-list stream,
// its layout, round trips, and hostile streams.
#include "ImgListTestSupport.h"

#include "platform/core/Filer.h"

#include <objidl.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

extern "C" BOOL WINAPI ImageList_Write(HIMAGELIST list, IStream* stream);

namespace {

WORD Get16(const TBytes& b, size_t at) { return static_cast<WORD>(b[at] | (b[at + 1] << 8)); }
DWORD Get32(const TBytes& b, size_t at) { return Get16(b, at) | (DWORD(Get16(b, at + 2)) << 16); }
void Put16(TBytes& b, size_t at, unsigned v) {
  b[at] = static_cast<Byte>(v);
  b[at + 1] = static_cast<Byte>(v >> 8);
}
void Put32(TBytes& b, size_t at, DWORD v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

class ImgListStreamTest : public ImgListTest {
 protected:
  static TBytes Written(TTestImageList* list) {
    auto stream = MakeOwned<TMemoryStream>();
    list->WriteData(stream.get());
    return BytesOf(stream.get());
  }
  // Reads `bytes` into `list` from a stream positioned at 0.
  static void Read(TTestImageList* list, const TBytes& bytes, Int64* endPosition = nullptr) {
    auto stream = MakeOwned<TMemoryStream>();
    if (!bytes.empty()) stream->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    stream->SetPosition(0);
    list->ReadData(stream.get());
    if (endPosition) *endPosition = stream->Position();
  }
  static bool Contains(const TBytes& bytes, const char* text) {
    const size_t n = std::strlen(text);
    return std::search(bytes.begin(), bytes.end(), text, text + n) != bytes.end();
  }
};

// Offsets of the stored layout for 16 x 16 images.
constexpr size_t kImageFile = 28, kImageInfo = 42, kImageBits = 82;

TEST_F(ImgListStreamTest, StoredLayoutOf149Images) {
  auto list = MakeOwned<TTestImageList>(nullptr);
  FillGenerated(list.get(), 149);
  const TBytes b = Written(list.get());

  // Header: "IL", version, count, capacity, growth, size, background, flags, overlays.
  EXPECT_EQ(b[0], 'I');
  EXPECT_EQ(b[1], 'L');
  EXPECT_EQ(Get16(b, 2), 0x0101);
  EXPECT_EQ(Get16(b, 4), 149);
  EXPECT_EQ(Get16(b, 6), 154);
  EXPECT_EQ(Get16(b, 8), 4);
  EXPECT_EQ(Get16(b, 10), 16);
  EXPECT_EQ(Get16(b, 12), 16);
  EXPECT_EQ(Get32(b, 14), 0xFFFFFFFFu);
  EXPECT_EQ(Get16(b, 18), ILC_COLOR32 | ILC_MASK);
  for (size_t at = 20; at < 28; at += 2) EXPECT_EQ(Get16(b, at), 0xFFFF);

  // The colour bitmap: 64 x 608, 32 bits, 4 images across, 38 rows.
  const size_t colorBits = 64 * 4 * 608;
  EXPECT_EQ(Get16(b, kImageFile), 0x4D42);
  EXPECT_EQ(Get32(b, kImageFile + 2), 54 + colorBits);
  EXPECT_EQ(Get32(b, kImageFile + 10), 54u);
  EXPECT_EQ(Get32(b, kImageInfo), 40u);
  EXPECT_EQ(Get32(b, kImageInfo + 4), 64u);
  EXPECT_EQ(Get32(b, kImageInfo + 8), 608u);
  EXPECT_EQ(Get16(b, kImageInfo + 14), 32);

  // The mask: a 1-bit BMP of the same size, black and white.
  const size_t maskFile = kImageBits + colorBits, maskInfo = maskFile + 14, maskTable = maskInfo + 40;
  const size_t maskBits = maskTable + 8;
  ASSERT_EQ(b.size(), maskBits + 8 * 608);
  EXPECT_EQ(b.size(), 160656u);
  EXPECT_EQ(Get16(b, maskFile), 0x4D42);
  EXPECT_EQ(Get32(b, maskFile + 10), 62u);
  EXPECT_EQ(Get32(b, maskInfo + 4), 64u);
  EXPECT_EQ(Get32(b, maskInfo + 8), 608u);
  EXPECT_EQ(Get16(b, maskInfo + 14), 1);
  EXPECT_EQ(Get32(b, maskTable) & 0xFFFFFF, 0u);
  EXPECT_EQ(Get32(b, maskTable + 4) & 0xFFFFFF, 0xFFFFFFu);

  // Every pixel of every image where the layout puts it (rows stored bottom up).
  for (int k = 0; k < 149; ++k)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        const size_t row = 607 - ((k / 4) * 16 + y), col = (k % 4) * 16 + x;
        const DWORD bgra = Get32(b, kImageBits + row * 256 + col * 4);
        const bool transparent = (b[maskBits + row * 8 + col / 8] & (0x80 >> (col % 8))) != 0;
        const TColor want = GeneratedPixel(k, x, y);
        ASSERT_EQ(transparent, want == kKey) << k << " " << x << "," << y;
        if (!transparent) {
          const TColor got = static_cast<TColor>(((bgra & 0xFF) << 16) | (bgra & 0xFF00) | ((bgra >> 16) & 0xFF));
          ASSERT_EQ(got, want) << k << " " << x << "," << y;
        }
      }
}

TEST_F(ImgListStreamTest, RoundTripKeepsImagesSizeAndBytes) {
  auto list = MakeOwned<TTestImageList>(nullptr);
  FillGenerated(list.get(), 149);
  const TBytes stored = Written(list.get());

  auto read = MakeOwned<TTestImageList>(nullptr, 32, 24);
  read->AddMasked(Glyph(clRed).get(), kKey);   // replaced by the stream's images
  Int64 end = 0;
  Read(read.get(), stored, &end);
  EXPECT_EQ(end, Int64(stored.size()));
  ASSERT_EQ(read->Count(), 149);
  EXPECT_EQ(read->Width(), 16);
  EXPECT_EQ(read->Height(), 16);
  EXPECT_EQ(read->BkColor(), clNone);
  EXPECT_TRUE(read->Masked());
  for (int k = 0; k < 149; ++k) ASSERT_EQ(DrawnPixels(read.get(), k), DrawnPixels(list.get(), k)) << k;
  EXPECT_EQ(Written(read.get()), stored) << "writing what was read gives the same bytes";
  EXPECT_TRUE(read->Equal(list.get()));
}

// A stream that does not hold its bytes in memory (as a file stream).
class TSequentialStream : public TStream {
 public:
  explicit TSequentialStream(TBytes bytes) : bytes_(std::move(bytes)) {}
  int Read(void* buffer, int count) override {
    const Int64 n = std::clamp<Int64>(Int64(bytes_.size()) - position_, 0, count);
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, size_t(n));
    position_ += n;
    return int(n);
  }
  int Write(const void*, int) override { throw EStreamError(L"read-only"); }
  Int64 Seek(Int64 offset, TSeekOrigin origin) override {
    position_ = (origin == soBeginning ? 0 : origin == soCurrent ? position_ : Int64(bytes_.size())) + offset;
    return position_;
  }

 private:
  TBytes bytes_;
  Int64 position_ = 0;
};

// The list is read from where the stream stands, up to its end, whether the
// stream holds its bytes in memory (read in place) or not (read into a copy);
// a damaged list leaves the position where it was.
TEST_F(ImgListStreamTest, ReadsFromThePositionOfAnyStream) {
  auto source = MakeOwned<TTestImageList>(nullptr);
  FillGenerated(source.get(), 9);
  const TBytes stored = Written(source.get());
  auto framed = [&](Byte first) {
    TBytes b{1, 2, 3};
    b.insert(b.end(), stored.begin(), stored.end());
    b.insert(b.end(), {4, 5});
    b[3] = first;
    return b;
  };
  auto streamOf = [](bool inMemory, const TBytes& bytes) -> Owned<TStream> {
    if (!inMemory) return Owned<TStream>(Make<TSequentialStream>(bytes));
    auto* memory = Make<TMemoryStream>();
    memory->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    return Owned<TStream>(memory);
  };
  for (bool inMemory : {true, false}) {
    SCOPED_TRACE(inMemory ? "in memory" : "not in memory");
    Owned<TStream> stream = streamOf(inMemory, framed(stored[0]));
    auto read = MakeOwned<TTestImageList>(nullptr);
    stream->SetPosition(3);
    read->ReadData(stream.get());
    EXPECT_EQ(stream->Position(), Int64(3 + stored.size())) << "stops after the list";
    ASSERT_EQ(read->Count(), 9);
    EXPECT_TRUE(read->Equal(source.get()));

    Owned<TStream> damaged = streamOf(inMemory, framed('X'));
    damaged->SetPosition(3);
    EXPECT_THROW(read->ReadData(damaged.get()), EReadError);
    EXPECT_EQ(damaged->Position(), 3);
    EXPECT_TRUE(read->Equal(source.get()));
  }
}

TEST_F(ImgListStreamTest, EveryColourDepthRoundTrips) {
  struct Case {
    TColorDepth Depth;
    bool Masked;
  };
  const Case cases[] = {{cd4Bit, true}, {cd8Bit, true}, {cd16Bit, true}, {cd24Bit, true},
                        {cd32Bit, true}, {cdDeviceDependent, true}, {cd32Bit, false}, {cd8Bit, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(EnumName(c.Depth) + (c.Masked ? L" masked" : L" unmasked"));
    auto list = MakeOwned<TTestImageList>(nullptr, 8, 8);
    list->SetColorDepth(c.Depth);
    list->SetMasked(c.Masked);
    list->SetBkColor(clYellow);
    for (TColor color : {clRed, clLime, clBlue, clWhite, clBlack})
      list->Add(Painted(8, 8, [color](int, int) { return color; }).get(), nullptr);
    const TBytes stored = Written(list.get());
    auto read = MakeOwned<TTestImageList>(nullptr);
    Read(read.get(), stored);
    ASSERT_EQ(read->Count(), 5);
    EXPECT_EQ(read->Masked(), c.Masked);
    EXPECT_EQ(read->ColorDepth(), c.Depth);
    EXPECT_EQ(read->BkColor(), clYellow);
    EXPECT_EQ(read->Width(), 8);
    for (int k = 0; k < 5; ++k) {
      const TColor want = CentreOf(list.get(), k), got = CentreOf(read.get(), k);
      for (int shift : {0, 8, 16})
        EXPECT_NEAR((got >> shift) & 0xFF, (want >> shift) & 0xFF, 8) << k;
    }
  }
}

TEST_F(ImgListStreamTest, EmptyListsWriteValidBitmaps) {
  auto list = MakeOwned<TTestImageList>(nullptr);
  const TBytes b = Written(list.get());
  EXPECT_EQ(Get16(b, 4), 0);
  EXPECT_EQ(Get16(b, 6), 5);
  EXPECT_EQ(Get32(b, kImageInfo + 8), 16u) << "one row of images at least";
  auto read = MakeOwned<TTestImageList>(nullptr);
  read->AddMasked(Glyph(clRed).get(), kKey);
  Read(read.get(), b);
  EXPECT_EQ(read->Count(), 0);
}

// What other writers may put in the stream and comctl32 itself accepts.
TEST_F(ImgListStreamTest, AcceptsWhatComctl32Writes) {
  auto list = MakeOwned<TTestImageList>(nullptr);
  FillGenerated(list.get(), 5);
  const TBytes ours = Written(list.get());

  // comctl32's own stream: bitmaps as tall as the capacity, another capacity.
  auto raw = MakeOwned<TMemoryStream>();
  IStream* adapter = CreateStreamAdapter(raw.get());
  ASSERT_TRUE(ImageList_Write(list->Handle(), adapter));
  adapter->Release();
  const TBytes native = BytesOf(raw.get());

  // Bytes between the colour table and the bits, named by the bits offset.
  TBytes gap(ours.begin(), ours.begin() + kImageBits);
  gap.insert(gap.end(), 11, 0xAB);
  gap.insert(gap.end(), ours.begin() + kImageBits, ours.end());
  Put32(gap, kImageFile + 10, 54 + 11);

  TBytes trailing = ours;
  trailing.insert(trailing.end(), 22, 0x5A);

  const std::pair<const char*, TBytes> cases[] = {
      {"comctl32", native}, {"gap before bits", gap}, {"trailing bytes", trailing}};
  for (const auto& [name, bytes] : cases) {
    auto read = MakeOwned<TTestImageList>(nullptr);
    Int64 end = 0;
    ASSERT_NO_THROW(Read(read.get(), bytes, &end)) << name;
    ASSERT_EQ(read->Count(), 5) << name;
    for (int k = 0; k < 5; ++k) EXPECT_EQ(DrawnPixels(read.get(), k), DrawnPixels(list.get(), k)) << name << k;
    if (std::string(name) == "trailing bytes") {
      EXPECT_EQ(end, Int64(ours.size()));
    }
  }
}

// Each case breaks one field of a valid stream of five 16 x 16 images
// (capacity 10; colour bitmap 64 x 32 at 28, its bits at 82; mask at 8274,
// its info header at 8288, bits at 8336; 8592 bytes).
TEST_F(ImgListStreamTest, MalformedStreamsRaiseAndChangeNothing) {
  auto source = MakeOwned<TTestImageList>(nullptr);
  FillGenerated(source.get(), 5);
  const TBytes valid = Written(source.get());
  ASSERT_EQ(valid.size(), 8592u);
  const size_t maskFile = 8274, maskInfo = maskFile + 14;

  using Mutation = std::function<void(TBytes&)>;
  const std::vector<std::pair<const char*, Mutation>> cases = {
      {"empty", [](TBytes& b) { b.clear(); }},
      {"short header", [](TBytes& b) { b.resize(27); }},
      {"header only", [](TBytes& b) { b.resize(28); }},
      {"magic", [](TBytes& b) { b[0] = 'X'; }},
      {"version 0x0600", [](TBytes& b) { Put16(b, 2, 0x0600); }},
      {"version 0x0100", [](TBytes& b) { Put16(b, 2, 0x0100); }},
      {"count over capacity", [](TBytes& b) { Put16(b, 4, 11); }},
      {"count beyond the bitmap", [](TBytes& b) { Put16(b, 4, 9); Put16(b, 6, 20); }},
      {"count 65535", [](TBytes& b) { Put16(b, 4, 0xFFFF); Put16(b, 6, 0xFFFF); }},
      {"zero width", [](TBytes& b) { Put16(b, 10, 0); }},
      {"zero height", [](TBytes& b) { Put16(b, 12, 0); }},
      {"huge images", [](TBytes& b) { Put16(b, 10, 3000); Put16(b, 12, 3000); }},
      {"unknown colour depth", [](TBytes& b) { Put16(b, 18, ILC_MASK | 0x06); }},
      {"bitmap signature", [](TBytes& b) { b[kImageFile] = 'X'; }},
      {"info header size 12", [](TBytes& b) { Put32(b, kImageInfo, 12); }},
      {"info header size 0xFFFF", [](TBytes& b) { Put32(b, kImageInfo, 0xFFFF); }},
      {"two planes", [](TBytes& b) { Put16(b, kImageInfo + 12, 2); }},
      {"run-length compression", [](TBytes& b) { Put32(b, kImageInfo + 16, BI_RLE8); }},
      {"bit count 7", [](TBytes& b) { Put16(b, kImageInfo + 14, 7); }},
      {"bit count 0", [](TBytes& b) { Put16(b, kImageInfo + 14, 0); }},
      {"width of three images", [](TBytes& b) { Put32(b, kImageInfo + 4, 48); }},
      {"negative width", [](TBytes& b) { Put32(b, kImageInfo + 4, DWORD(-64)); }},
      {"top-down rows", [](TBytes& b) { Put32(b, kImageInfo + 8, DWORD(-32)); }},
      {"no rows", [](TBytes& b) { Put32(b, kImageInfo + 8, 0); }},
      {"too few rows", [](TBytes& b) { Put32(b, kImageInfo + 8, 16); }},
      {"rows past the end", [](TBytes& b) { Put32(b, kImageInfo + 8, 0x7FFFFFFF); }},
      {"colour table too long", [](TBytes& b) { Put32(b, kImageInfo + 32, 300); }},
      {"bits inside the header", [](TBytes& b) { Put32(b, kImageFile + 10, 20); }},
      {"bits past the end", [](TBytes& b) { Put32(b, kImageFile + 10, 0x7FFFFFF0); }},
      {"image bits cut", [](TBytes& b) { b.resize(kImageBits + 4000); }},
      {"mask missing", [maskFile](TBytes& b) { b.resize(maskFile); }},
      {"mask of 32 bits", [maskInfo](TBytes& b) { Put16(b, maskInfo + 14, 32); }},
      {"mask narrower", [maskInfo](TBytes& b) { Put32(b, maskInfo + 4, 32); }},
      {"mask too short", [maskInfo](TBytes& b) { Put32(b, maskInfo + 8, 8); }},
      {"mask cut", [](TBytes& b) { b.resize(8500); }},
  };
  auto list = MakeOwned<TTestImageList>(nullptr);
  list->AddMasked(Glyph(clRed).get(), kKey);
  HIMAGELIST before = list->Handle();
  const long gdi = GdiAccounting::Live();
  for (const auto& [name, mutate] : cases) {
    TBytes bytes = valid;
    mutate(bytes);
    try {
      Read(list.get(), bytes);
      ADD_FAILURE() << name << ": read without error";
    } catch (EReadError& e) {
      EXPECT_EQ(e.Message, L"Failed to read ImageList data from stream") << name;
    }
    EXPECT_EQ(list->Handle(), before) << name;
    EXPECT_EQ(list->Count(), 1) << name;
  }
  EXPECT_EQ(CentreOf(list.get(), 0), clRed);
  EXPECT_EQ(GdiAccounting::Live(), gdi);
}

// Random damage to the header and bitmap headers: every outcome is a list or
// EReadError, never a crash.
TEST_F(ImgListStreamTest, RandomDamageNeverCrashes) {
  auto source = MakeOwned<TTestImageList>(nullptr);
  FillGenerated(source.get(), 5);
  const TBytes valid = Written(source.get());
  std::mt19937 random(20240611);
  std::uniform_int_distribution<size_t> header(0, 95), mask(8274, 8335);
  int failures = 0;
  for (int i = 0; i < 300; ++i) {
    TBytes bytes = valid;
    const int flips = 1 + int(random() % 3);
    for (int f = 0; f < flips; ++f) bytes[random() % 2 ? header(random) : mask(random)] = Byte(random());
    if (random() % 5 == 0) bytes.resize(random() % bytes.size());
    auto list = MakeOwned<TTestImageList>(nullptr);
    try {
      Read(list.get(), bytes);
      EXPECT_LE(list->Count(), 5);
      DrawnPixels(list.get(), 0);
    } catch (EReadError&) {
      ++failures;
    }
  }
  EXPECT_GT(failures, 0);
}

// --- the component stream --------------------------------------------------------

TEST_F(ImgListStreamTest, ComponentStreamCarriesBitmapAndProperties) {
  auto list = MakeOwned<TImageList>(nullptr);
  list->SetName(L"SmallImages");
  list->SetBkColor(clYellow);
  FillGenerated(list.get(), 3);
  auto stream = MakeOwned<TMemoryStream>();
  WriteComponentToStream(stream.get(), list.get());
  EXPECT_TRUE(Contains(BytesOf(stream.get()), "Bitmap"));

  stream->SetPosition(0);
  auto read = MakeOwned<TImageList>(nullptr);
  ReadComponentFromStream(stream.get(), read.get());
  ASSERT_EQ(read->Count(), 3);
  EXPECT_EQ(read->BkColor(), clYellow);
  for (int k = 0; k < 3; ++k)
    EXPECT_EQ(DrawnPixels(read.get(), k, clTeal), DrawnPixels(list.get(), k, clTeal)) << k;

  // Nothing to store for an empty list, or for one equal to its ancestor.
  auto empty = MakeOwned<TImageList>(nullptr);
  auto emptyStream = MakeOwned<TMemoryStream>();
  WriteComponentToStream(emptyStream.get(), empty.get());
  EXPECT_FALSE(Contains(BytesOf(emptyStream.get()), "Bitmap"));

  auto same = MakeOwned<TImageList>(nullptr);
  same->SetBkColor(clYellow);
  same->AddImages(read.get());
  auto sameStream = MakeOwned<TMemoryStream>();
  WriteDescendentToStream(sameStream.get(), same.get(), list.get());
  EXPECT_FALSE(Contains(BytesOf(sameStream.get()), "Bitmap"));
  same->Delete(0);
  auto differentStream = MakeOwned<TMemoryStream>();
  WriteDescendentToStream(differentStream.get(), same.get(), list.get());
  EXPECT_TRUE(Contains(BytesOf(differentStream.get()), "Bitmap"));
}

}  // namespace
