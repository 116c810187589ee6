#include "platform/WinApi.h"
#include "foundation/cxGraphicsRoutines.h"
#include "foundation/dxCore.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

RGBQUAD Quad(Byte b, Byte g, Byte r, Byte a) { return RGBQUAD{b, g, r, a}; }
bool Same(const RGBQUAD& x, const RGBQUAD& y) { return std::memcmp(&x, &y, sizeof(RGBQUAD)) == 0; }
std::string Text(const RGBQUAD& q) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02X%02X%02X%02X", q.rgbReserved, q.rgbRed, q.rgbGreen, q.rgbBlue);
  return buf;
}

std::vector<int> Indexes(const TcxResampleContributors& c, int i) {
  std::vector<int> result;
  for (int k = c.First[i]; k < c.First[i + 1]; ++k) result.push_back(c.Items[k].Index);
  return result;
}

int WeightSum(const TcxResampleContributors& c, int i) {
  int sum = 0;
  for (int k = c.First[i]; k < c.First[i + 1]; ++k) sum += c.Items[k].Weight;
  return sum;
}

// Pixels placed against a page that may not be read: directly before it, or
// (AtStart) directly after one. Any read outside the pixels faults, and the
// handler below names the fault before the process ends.
class TGuardedPixels {
 public:
  TGuardedPixels(size_t ACount, bool AAtStart) : FCount(ACount) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const size_t page = info.dwPageSize;
    const size_t bytes = ACount * sizeof(RGBQUAD);
    const size_t dataPages = (bytes + page - 1) / page;
    FSize = (dataPages + 2) * page;
    FBase = static_cast<Byte*>(VirtualAlloc(nullptr, FSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old;
    VirtualProtect(FBase, page, PAGE_NOACCESS, &old);
    VirtualProtect(FBase + (dataPages + 1) * page, page, PAGE_NOACCESS, &old);
    Byte* data = AAtStart ? FBase + page : FBase + (dataPages + 1) * page - bytes;
    FPixels = reinterpret_cast<RGBQUAD*>(data);
    Guards().push_back({FBase, FBase + page});
    Guards().push_back({FBase + (dataPages + 1) * page, FBase + (dataPages + 2) * page});
  }
  ~TGuardedPixels() {
    Guards().clear();
    VirtualFree(FBase, 0, MEM_RELEASE);
  }
  TGuardedPixels(const TGuardedPixels&) = delete;
  TGuardedPixels& operator=(const TGuardedPixels&) = delete;
  RGBQUAD* Pixels() { return FPixels; }
  size_t Count() const { return FCount; }

  struct TRange {
    Byte* From;
    Byte* To;
  };
  static std::vector<TRange>& Guards() {
    static std::vector<TRange> guards;
    return guards;
  }

 private:
  size_t FCount, FSize = 0;
  Byte* FBase = nullptr;
  RGBQUAD* FPixels = nullptr;
};

LONG CALLBACK ReportGuardFault(EXCEPTION_POINTERS* AInfo) {
  const EXCEPTION_RECORD* r = AInfo->ExceptionRecord;
  if (r->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && r->NumberParameters >= 2) {
    Byte* address = reinterpret_cast<Byte*>(r->ExceptionInformation[1]);
    for (const auto& g : TGuardedPixels::Guards())
      if (address >= g.From && address < g.To) {
        std::fprintf(stderr, "FAILURE: the resampler read outside the source pixels at %p\n",
                     static_cast<void*>(address));
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
      }
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

class TGuardFaultReporter {
 public:
  TGuardFaultReporter() : FHandler(AddVectoredExceptionHandler(1, ReportGuardFault)) {}
  ~TGuardFaultReporter() { RemoveVectoredExceptionHandler(FHandler); }

 private:
  void* FHandler;
};

struct TScale {
  int SourceWidth, SourceHeight, DestWidth, DestHeight;
};

const TScale kScales[] = {
    {100, 1, 1, 1},   {1, 100, 1, 1},   {3, 3, 1000, 1000}, {100, 100, 3, 3}, {1, 1, 5, 5},
    {2, 1, 5, 1},     {1000, 2, 3, 7},  {7, 5, 2, 2},       {5, 7, 64, 1},    {10, 10, 10, 10},
    {2, 2, 1, 1},     {257, 3, 2, 300},
};

}  // namespace

TEST(CxResampleKernel, SincAndLanczosValues) {
  EXPECT_EQ(cxNormalizedSinc(0), 1.0f);
  EXPECT_NEAR(cxNormalizedSinc(0.5f), 0.63662f, 1e-5);
  EXPECT_NEAR(cxNormalizedSinc(1), 0.0f, 1e-6);
  EXPECT_EQ(cxLanczos3Kernel(3), 0.0f);
  EXPECT_EQ(cxLanczos3Kernel(-3.5f), 0.0f);
  EXPECT_EQ(cxLanczos3Kernel(0), 1.0f);
  EXPECT_NEAR(cxLanczos3Kernel(0.5f), 0.60793f, 1e-5);
  EXPECT_EQ(cxLanczos3Kernel(-1.25f), cxLanczos3Kernel(1.25f));
  EXPECT_LT(cxLanczos3Kernel(1.5f), 0.0f);   // the first negative lobe
}

TEST(CxResampleContributors, SameSizeIsTheIdentity) {
  const TcxResampleContributors c = cxCalculateResampleContributors(10, 10);
  ASSERT_EQ(c.First.size(), 11u);
  for (int i = 0; i < 10; ++i) {
    ASSERT_EQ(c.First[i + 1] - c.First[i], 1) << i;
    EXPECT_EQ(c.Items[c.First[i]].Index, i);
    EXPECT_EQ(c.Items[c.First[i]].Weight, 256);
  }
}

TEST(CxResampleContributors, EdgesMirror) {
  // 4 -> 7 doubles the scale: destination 1 is centred at 0.5, 5 at 2.5.
  const TcxResampleContributors c = cxCalculateResampleContributors(4, 7);
  // j = -2 .. 3: -2 and -1 fold to 2 and 1.
  EXPECT_EQ(Indexes(c, 1), (std::vector<int>{2, 1, 0, 1, 2, 3}));
  // j = 0 .. 5: 4 and 5 (past the end) fold to 2N - 1 - j = 3 and 2.
  EXPECT_EQ(Indexes(c, 5), (std::vector<int>{0, 1, 2, 3, 3, 2}));
  // The fixed weights of the half-way positions: kernel(0.5) * 256 = 155.6 -> 156.
  EXPECT_EQ(c.Items[c.First[1] + 2].Weight, 156);
  EXPECT_EQ(c.Items[c.First[1] + 3].Weight, 156);
}

TEST(CxResampleContributors, EveryIndexLiesInTheSourceForEveryScale) {
  // A strong reduction widens the support far past the source (100 -> 1:
  // radius 300), where one reflection at each end is not enough.
  const int lengths[][2] = {{100, 1}, {1, 100}, {3, 1000}, {1000, 3}, {2, 1}, {1, 1},
                            {7, 2},   {2, 7},   {1, 5},    {5000, 2}, {13, 13}};
  for (const auto& l : lengths) {
    SCOPED_TRACE(testing::Message() << l[0] << " -> " << l[1]);
    const TcxResampleContributors c = cxCalculateResampleContributors(l[0], l[1]);
    ASSERT_EQ(c.First.size(), size_t(l[1]) + 1);
    for (const TcxResampleContributor& item : c.Items) {
      ASSERT_GE(item.Index, 0);
      ASSERT_LT(item.Index, l[0]);
      ASSERT_NE(item.Weight, 0);
    }
  }
}

TEST(CxResampleContributors, WeightsSumToAboutOne) {
  // Weights are rounded one by one and not renormalised, so the sum may
  // differ from 256 by a little; where a strong reduction would round much of
  // the gain away (100 -> 1 would sum to 289, 1000 -> 3 to 115, anything
  // beyond 1/256 to 0), the weights add up to exactly 256.
  struct TCase {
    int Source, Dest;
    bool Exact;
  };
  const TCase cases[] = {{2, 5, false},    {1600, 1920, false}, {862, 1050, false}, {3, 1000, false},
                         {37, 11, false},  {100, 1, true},      {1000, 3, true},    {5000, 2, true},
                         {1000, 1, true},  {20000, 1, true}};
  for (const TCase& c : cases) {
    const TcxResampleContributors w = cxCalculateResampleContributors(c.Source, c.Dest);
    for (int i = 0; i < c.Dest; ++i) {
      const int sum = WeightSum(w, i);
      if (c.Exact) {
        ASSERT_EQ(sum, 256) << c.Source << " -> " << c.Dest << " at " << i;
      } else {
        ASSERT_LE(std::abs(sum - 256), cxResampleWeightTolerance)
            << c.Source << " -> " << c.Dest << " at " << i;
      }
    }
  }
  // Ordinary sums stay as they round: 2 -> 5 keeps a sum of 254 at one position.
  const TcxResampleContributors w = cxCalculateResampleContributors(2, 5);
  int off = 0;
  for (int i = 0; i < 5; ++i) off += WeightSum(w, i) != 256;
  EXPECT_EQ(off, 1);
}

TEST(CxResamplePixels, ReadsOnlyInsideTheSource) {
  TGuardFaultReporter reporter;
  for (const TScale& s : kScales) {
    SCOPED_TRACE(testing::Message() << s.SourceWidth << "x" << s.SourceHeight << " -> "
                                    << s.DestWidth << "x" << s.DestHeight);
    for (bool atStart : {false, true}) {
      TGuardedPixels source(size_t(s.SourceWidth) * s.SourceHeight, atStart);
      for (size_t i = 0; i < source.Count(); ++i)
        source.Pixels()[i] = Quad(Byte(i), Byte(i * 7), Byte(i * 13), 255);
      std::vector<RGBQUAD> dest(size_t(s.DestWidth) * s.DestHeight, Quad(1, 2, 3, 4));
      cxResamplePixels(source.Pixels(), s.SourceWidth, s.SourceHeight, dest.data(), s.DestWidth,
                       s.DestHeight);
      // Every destination pixel was written (the fill value has alpha 4, the
      // source only alpha 255, which every weight sum keeps near 255).
      for (const RGBQUAD& q : dest) ASSERT_GT(q.rgbReserved, 200);
    }
  }
}

TEST(CxResamplePixels, ConstantImagesStayConstantWithinTheWeightRounding) {
  // Each pass scales a constant by its weight sum / 256 (252 ... 260) and
  // truncates: at most c / 32 + 2 away after both passes; exact where every
  // sum is 256 (same size, or a reduction to one pixel along a row).
  for (const TScale& s : kScales) {
    SCOPED_TRACE(testing::Message() << s.SourceWidth << "x" << s.SourceHeight << " -> "
                                    << s.DestWidth << "x" << s.DestHeight);
    for (const RGBQUAD fill : {Quad(255, 255, 255, 255), Quad(40, 120, 200, 255), Quad(3, 3, 3, 3)}) {
      std::vector<RGBQUAD> source(size_t(s.SourceWidth) * s.SourceHeight, fill);
      std::vector<RGBQUAD> dest(size_t(s.DestWidth) * s.DestHeight);
      cxResamplePixels(source.data(), s.SourceWidth, s.SourceHeight, dest.data(), s.DestWidth,
                       s.DestHeight);
      const bool exact = (s.SourceWidth == s.DestWidth && s.SourceHeight == s.DestHeight) ||
                         (s.SourceHeight == 1 && s.DestHeight == 1 && s.DestWidth == 1);
      for (const RGBQUAD& q : dest) {
        const Byte got[] = {q.rgbBlue, q.rgbGreen, q.rgbRed, q.rgbReserved};
        const Byte want[] = {fill.rgbBlue, fill.rgbGreen, fill.rgbRed, fill.rgbReserved};
        for (int ch = 0; ch < 4; ++ch) {
          if (exact) {
            ASSERT_EQ(got[ch], want[ch]) << Text(q);
          } else {
            ASSERT_LE(std::abs(got[ch] - want[ch]), want[ch] / 32 + 2) << Text(q);
          }
        }
      }
    }
  }
}

TEST(CxResamplePixels, FixedCases) {
  // Same size: the same pixels.
  std::vector<RGBQUAD> source(100), dest(100);
  for (int i = 0; i < 100; ++i) source[i] = Quad(Byte(i), Byte(255 - i), Byte(i * 3), Byte(i * 2));
  cxResamplePixels(source.data(), 10, 10, dest.data(), 10, 10);
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(Same(dest[i], source[i])) << i;

  // 2 x 1 -> 5 x 1: the end pixels map onto the source's end pixels.
  const RGBQUAD two[] = {Quad(10, 20, 30, 40), Quad(200, 150, 100, 250)};
  RGBQUAD five[5];
  cxResamplePixels(two, 2, 1, five, 5, 1);
  EXPECT_TRUE(Same(five[0], two[0])) << Text(five[0]);
  EXPECT_TRUE(Same(five[4], two[1])) << Text(five[4]);

  // 100 x 1 -> 1 x 1 gives one pixel without fault.
  std::vector<RGBQUAD> row(100, Quad(90, 90, 90, 255));
  RGBQUAD one = Quad(0, 0, 0, 0);
  cxResamplePixels(row.data(), 100, 1, &one, 1, 1);
  EXPECT_TRUE(Same(one, Quad(90, 90, 90, 255))) << Text(one);

  // Transparent stays transparent: alpha is filtered like the colours.
  std::vector<RGBQUAD> clear(64, Quad(0, 0, 0, 0)), out(9 * 20, Quad(1, 1, 1, 1));
  cxResamplePixels(clear.data(), 8, 8, out.data(), 9, 20);
  for (const RGBQUAD& q : out) ASSERT_TRUE(Same(q, Quad(0, 0, 0, 0)));

  // Overshoot of the negative lobes clamps to 0 and 255.
  const RGBQUAD edge[] = {Quad(0, 0, 0, 0), Quad(0, 0, 0, 0), Quad(255, 255, 255, 255),
                          Quad(255, 255, 255, 255)};
  RGBQUAD wide[13];
  cxResamplePixels(edge, 4, 1, wide, 13, 1);
  for (const RGBQUAD& q : wide) ASSERT_TRUE(q.rgbRed == q.rgbBlue && q.rgbRed == q.rgbReserved);
  EXPECT_EQ(wide[0].rgbRed, 0);
  EXPECT_EQ(wide[12].rgbRed, 255);
}

TEST(CxResampleBitmap, ForcedFilterOnBitmaps) {
  TBitmap* source = cxCreateSizedBitmap(10, 10, pf32bit);
  TBitmap* dest = cxCreateSizedBitmap(10, 10, pf32bit);
  TRGBColors colors(100);
  for (int i = 0; i < 100; ++i) colors[i] = Quad(Byte(i), Byte(i + 50), Byte(i * 2), Byte(255 - i));
  const TRGBColors expected = colors;
  cxApplyColorsToBitmap(source, colors, true);
  cxResampleBitmap(source, dest, true);
  TRGBColors result;
  cxReadBitmapColors(dest, true, result);
  ASSERT_EQ(result.size(), 100u);
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(Same(result[i], expected[i])) << i;

  // Zero-sized bitmaps are left alone.
  TBitmap* empty = cxCreateSizedBitmap(0, 5, pf32bit);
  cxResampleBitmap(source, empty, true);
  cxResampleBitmap(empty, dest, true);
  EXPECT_EQ(empty->Width(), 0);
  cxReadBitmapColors(dest, true, result);
  EXPECT_TRUE(Same(result[42], expected[42]));

  // Reduction to one pixel through the bitmaps.
  TBitmap* one = cxCreateSizedBitmap(1, 1, pf32bit);
  cxResampleBitmap(source, one, true);
  cxReadBitmapColors(one, true, result);
  EXPECT_EQ(result.size(), 1u);
  TObject::Free(one);
  TObject::Free(empty);
  TObject::Free(source);
  TObject::Free(dest);
}

TEST(CxResampleBitmap, HalftoneStretchOnNT) {
  ASSERT_TRUE(dxIsNTPlatform);
  TBitmap* source = cxCreateSizedBitmap(16, 8, pf24bit);
  TBitmap* dest = cxCreateSizedBitmap(40, 20, pf24bit);
  source->Canvas()->Brush()->SetColor(0x3060C0);
  source->Canvas()->FillRect(TRect(0, 0, 16, 8));
  cxResampleBitmap(source, dest, false);
  // The platform stretched the whole picture: a uniform picture stays uniform.
  EXPECT_EQ(dest->Canvas()->GetPixel(0, 0), 0x3060C0);
  EXPECT_EQ(dest->Canvas()->GetPixel(39, 19), 0x3060C0);
  EXPECT_EQ(dest->Canvas()->GetPixel(20, 10), 0x3060C0);
  TObject::Free(source);
  TObject::Free(dest);
}

namespace {

Owned<TBitmap> ShrinkTarget(TPixelFormat AFormat, int AWidth, int AHeight) {
  auto bitmap = MakeOwned<TBitmap>();
  bitmap->SetPixelFormat(AFormat);
  bitmap->SetSizeUninitialized(AWidth, AHeight);
  return bitmap;
}

}  // namespace

// Every layout pair: a pixel averages the area it covers, and a white picture stays exactly
// white at an uneven scale (the largest sums the fixed-point weights reach).
TEST(CxShrinkBitmapByArea, AveragesTheCoveredAreaInEveryLayout) {
  for (TPixelFormat from : {pf24bit, pf32bit})
    for (TPixelFormat to : {pf24bit, pf32bit}) {
      SCOPED_TRACE(std::to_string(static_cast<int>(from)) + " to " + std::to_string(static_cast<int>(to)));
      // Six columns, every third red, the rest blue; two equal rows into one row of four:
      // a target pixel covers one column and half of the next.
      auto source = ShrinkTarget(from, 6, 2);
      const int step = from == pf32bit ? 4 : 3;
      for (int y = 0; y < 2; ++y) {
        auto* row = static_cast<Byte*>(source->ScanLine(y));
        for (int x = 0; x < 6; ++x) {
          Byte* p = row + x * step;
          p[0] = x % 3 ? 255 : 0, p[1] = 0, p[2] = x % 3 ? 0 : 255;
          if (step == 4) p[3] = 77;
        }
      }
      auto target = ShrinkTarget(to, 4, 1);
      cxShrinkBitmapByArea(source.get(), target.get());
      const auto* out = static_cast<const Byte*>(target->ScanLine(0));
      const int outStep = to == pf32bit ? 4 : 3;
      for (int x = 0; x < 4; ++x) {
        const Byte* p = out + x * outStep;
        const bool mixed = x % 2 == 0;   // a red column and half a blue one
        EXPECT_EQ(p[0], mixed ? 85 : 255) << x;
        EXPECT_EQ(p[1], 0) << x;
        EXPECT_EQ(p[2], mixed ? 170 : 0) << x;
        if (outStep == 4) EXPECT_EQ(p[3], 0) << x;
      }

      // Seven steps of grey into five: the last pixel takes the last column and 0.4 of the
      // one before, (0.4 * 150 + 180) / 1.4, where its neighbours take three columns.
      auto steps = ShrinkTarget(from, 7, 1);
      for (int x = 0; x < 7; ++x) std::memset(static_cast<Byte*>(steps->ScanLine(0)) + x * step, x * 30, 3);
      auto fewer = ShrinkTarget(to, 5, 1);
      cxShrinkBitmapByArea(steps.get(), fewer.get());
      const auto* last = static_cast<const Byte*>(fewer->ScanLine(0)) + 4 * outStep;
      EXPECT_EQ(last[0], 171);
      EXPECT_EQ(last[2], 171);

      auto white = ShrinkTarget(from, 97, 61);
      for (int y = 0; y < 61; ++y) std::memset(white->ScanLine(y), 255, static_cast<size_t>(97 * step));
      for (TSize size : {TSize(40, 23), TSize(70, 40)}) {   // up to four source pixels a side, and three
        auto small = ShrinkTarget(to, size.cx, size.cy);
        cxShrinkBitmapByArea(white.get(), small.get());
        for (int y = 0; y < size.cy; ++y) {
          const auto* row = static_cast<const Byte*>(small->ScanLine(y));
          for (int x = 0; x < size.cx; ++x)
            for (int c = 0; c < 3; ++c) ASSERT_EQ(row[x * outStep + c], 255) << x << "," << y;
        }
      }
    }
}

// Rows that come a few at a time give every target row as soon as its source rows are in;
// rows that never come count as black, so no target row is left unwritten; a target larger
// than the source is refused.
TEST(CxShrinkBitmapByArea, RowsPushedInTurnWriteEveryTargetRow) {
  auto target = ShrinkTarget(pf24bit, 3, 4);
  for (int y = 0; y < 4; ++y) std::memset(target->ScanLine(y), 0x5A, 9);   // what was there before
  TcxAreaShrinker shrinker(6, 8, 3, target.get());
  const std::vector<Byte> white(18, 255);
  for (int y = 0; y < 4; ++y) shrinker.AddRow(white.data());
  EXPECT_EQ(shrinker.RowsIn(), 4);
  for (int y = 0; y < 2; ++y) EXPECT_EQ(static_cast<const Byte*>(target->ScanLine(y))[4], 255) << y;
  EXPECT_EQ(static_cast<const Byte*>(target->ScanLine(2))[4], 0x5A) << "written before its rows came";
  shrinker.Finish();
  for (int y = 2; y < 4; ++y)
    for (int i = 0; i < 9; ++i) EXPECT_EQ(static_cast<const Byte*>(target->ScanLine(y))[i], 0) << y;

  auto larger = ShrinkTarget(pf24bit, 7, 2);
  EXPECT_THROW(TcxAreaShrinker(6, 8, 3, larger.get()), EInvalidOperation);
}
