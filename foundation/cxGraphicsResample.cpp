// Bitmap resampling: the platform's halftone stretch where it exists, else a
// separable Lanczos-3 filter over 32-bit pixels with 8-bit fixed-point weights
// (computed in single precision so that they come out the same on every
// machine; the per-pixel work is integer multiply-add); and an area-averaging
// shrink for large reductions.
#include "platform/WinApi.h"

#include "foundation/cxGraphicsRoutines.h"
#include "foundation/dxCore.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace {

// The 32-bit x87 code keeps float intermediates in extended precision; a
// store through a volatile rounds to single as the weights are defined.
inline float Single(long double AValue) {
  volatile float r = static_cast<float>(AValue);
  return r;
}

// Horizontal scale: the first and last pixels map onto each other, except for
// a one-pixel side, which would otherwise divide by zero.
float ResampleScale(int ASourceLength, int ADestLength) {
  if (ASourceLength == 1 || ADestLength == 1)
    return Single(static_cast<float>(ADestLength) / static_cast<float>(ASourceLength));
  return Single(static_cast<float>(ADestLength - 1) / static_cast<float>(ASourceLength - 1));
}

// Folds an index outside 0 .. N - 1 back by the edge mirror (-j below the
// start, 2N - 1 - j past the end). A strong reduction widens the support
// beyond the whole source, so one reflection is not enough: the two
// reflections together repeat every 2N - 1 positions, which the fold uses.
int MirrorIndex(int j, int n) {
  if (j >= 0 && j < n) return j;
  const int period = 2 * n - 1;
  int r = j % period;
  if (r < 0) r += period;
  return r < n ? r : period - r;
}

inline Byte ClampSum(int ASum) {
  if (ASum < 0) return 0;
  if (ASum < 65536) return static_cast<Byte>(ASum >> 8);
  return 255;
}

// Where each target pixel takes its value from along an axis: the source pixels it covers,
// from First on, each weighted by the part of it covered, the weights of one target pixel
// (Weights[Start[i]] up to Weights[Start[i + 1]]) summing to 1 << kWeightBits. Kept flat:
// the shrink walks them once per source row.
constexpr int kWeightBits = 12;
struct TCovers {
  std::vector<int> First;
  std::vector<int> Start;
  std::vector<std::uint32_t> Weights;
};

TCovers Covers(int ASource, int ATarget) {
  TCovers covers;
  covers.First.resize(static_cast<size_t>(ATarget));
  covers.Start.reserve(static_cast<size_t>(ATarget) + 1);
  covers.Weights.reserve(static_cast<size_t>(ATarget) + static_cast<size_t>(ASource));
  const Int64 unit = 1 << kWeightBits;
  for (int i = 0; i < ATarget; ++i) {
    // Target pixel i spans [i * ASource, (i + 1) * ASource) in 1/ATarget of a source pixel.
    const Int64 start = Int64(i) * ASource, end = start + ASource;
    const int first = static_cast<int>(start / ATarget);
    covers.First[static_cast<size_t>(i)] = first;
    covers.Start.push_back(static_cast<int>(covers.Weights.size()));
    Int64 given = 0;
    for (Int64 k = first; k * ATarget < end; ++k) {
      const Int64 covered = std::min(end, (k + 1) * ATarget) - std::max(start, k * ATarget);
      const Int64 weight = covered * unit / ASource;
      covers.Weights.push_back(static_cast<std::uint32_t>(weight));
      given += weight;
    }
    covers.Weights.back() += static_cast<std::uint32_t>(unit - given);   // what the rounding left out
  }
  covers.Start.push_back(static_cast<int>(covers.Weights.size()));
  return covers;
}

// One source row averaged across: three sums (blue, green, red) per target pixel, each at
// most 255 << kWeightBits.
template <int Step>
void ShrinkRow(const Byte* ARow, const TCovers& ACovers, std::uint32_t* AOut) {
  const std::uint32_t* weights = ACovers.Weights.data();
  const int* start = ACovers.Start.data();
  const size_t count = ACovers.First.size();
  for (size_t x = 0; x < count; ++x, AOut += 3) {
    const Byte* p = ARow + static_cast<size_t>(ACovers.First[x]) * Step;
    std::uint32_t b = 0, g = 0, r = 0;
    for (int k = start[x], e = start[x + 1]; k < e; ++k, p += Step) {
      const std::uint32_t w = weights[k];
      b += p[0] * w;
      g += p[1] * w;
      r += p[2] * w;
    }
    AOut[0] = b;
    AOut[1] = g;
    AOut[2] = r;
  }
}

}  // namespace

float cxNormalizedSinc(float x) {
  if (x == 0) return 1;
  const float px = Single(3.14159265358979323846L * x);
  return Single(std::sin(static_cast<long double>(px)) / px);
}

float cxLanczos3Kernel(float x) {
  x = std::fabs(x);
  if (x >= 3) return 0;
  return Single(static_cast<long double>(cxNormalizedSinc(x)) * cxNormalizedSinc(Single(x / 3.0L)));
}

TcxResampleContributors cxCalculateResampleContributors(int ASourceLength, int ADestLength) {
  TcxResampleContributors result;
  if (ASourceLength <= 0 || ADestLength <= 0) return result;
  const float scale = ResampleScale(ASourceLength, ADestLength);
  const float widening = scale >= 1 ? 1.0f : Single(1.0L / scale);
  const float radius = Single(3.0L * widening);
  const int capacity = static_cast<int>(2 * radius + 1);
  result.First.reserve(size_t(ADestLength) + 1);
  result.Items.reserve(size_t(ADestLength) * size_t(capacity));
  struct TTap {
    int Index;
    float Weight;   // 1.0 = unit gain
  };
  std::vector<TTap> taps;
  taps.reserve(size_t(capacity) + 2);
  for (int i = 0; i < ADestLength; ++i) {
    result.First.push_back(static_cast<int>(result.Items.size()));
    const float center = Single(static_cast<long double>(i) / scale);
    const int low = static_cast<int>(std::floor(Single(static_cast<long double>(center) - radius)));
    const int high = static_cast<int>(std::ceil(Single(static_cast<long double>(center) + radius)));
    taps.clear();
    int sum = 0;
    for (int j = low; j <= high; ++j) {
      const float distance = Single(static_cast<long double>(center) - static_cast<float>(j));
      const float kernel = cxLanczos3Kernel(Single(static_cast<long double>(distance) / widening));
      if (kernel == 0) continue;
      const float weight = Single(static_cast<long double>(kernel) / widening);
      taps.push_back({MirrorIndex(j, ASourceLength), weight});
      // Halves go to the even neighbour (the default rounding mode).
      sum += static_cast<int>(std::nearbyint(Single(weight * 256.0L)));
    }
    if (std::abs(sum - 256) <= cxResampleWeightTolerance) {
      for (const TTap& t : taps) {
        const int fixed = static_cast<int>(std::nearbyint(Single(t.Weight * 256.0L)));
        if (fixed != 0) result.Items.push_back({t.Index, fixed});
      }
      continue;
    }
    // A strong reduction spreads the unit gain over so many taps that 8-bit
    // weights round it away (1000 -> 3 keeps less than half of it, beyond
    // 1/256 nothing). Such a position gets weights that add up to exactly
    // 256: each tap's share rounded down, the rest to the largest remainders.
    long double total = 0;
    for (const TTap& t : taps) total += t.Weight;
    if (total <= 0) continue;
    std::vector<std::pair<long double, size_t>> remainders;
    std::vector<int> fixed(taps.size());
    int assigned = 0;
    for (size_t k = 0; k < taps.size(); ++k) {
      const long double share = taps[k].Weight * 256.0L / total;
      fixed[k] = static_cast<int>(std::floor(share));
      assigned += fixed[k];
      remainders.push_back({share - fixed[k], k});
    }
    std::sort(remainders.begin(), remainders.end(), [](const auto& a, const auto& b) {
      return a.first > b.first || (a.first == b.first && a.second < b.second);
    });
    for (int k = 0; k < 256 - assigned && k < static_cast<int>(remainders.size()); ++k)
      ++fixed[remainders[size_t(k)].second];
    for (size_t k = 0; k < taps.size(); ++k)
      if (fixed[k] != 0) result.Items.push_back({taps[k].Index, fixed[k]});
  }
  result.First.push_back(static_cast<int>(result.Items.size()));
  return result;
}

void cxResamplePixels(const RGBQUAD* ASource, int ASourceWidth, int ASourceHeight, RGBQUAD* ADest,
                      int ADestWidth, int ADestHeight) {
  if (!ASource || !ADest || ASourceWidth <= 0 || ASourceHeight <= 0 || ADestWidth <= 0 ||
      ADestHeight <= 0)
    return;
  const TcxResampleContributors horz = cxCalculateResampleContributors(ASourceWidth, ADestWidth);
  const TcxResampleContributors vert = cxCalculateResampleContributors(ASourceHeight, ADestHeight);

  // Horizontal pass: source rows into rows of the destination's width.
  std::vector<RGBQUAD> work(size_t(ADestWidth) * size_t(ASourceHeight));
  for (int y = 0; y < ASourceHeight; ++y) {
    const RGBQUAD* row = ASource + size_t(y) * size_t(ASourceWidth);
    RGBQUAD* out = work.data() + size_t(y) * size_t(ADestWidth);
    for (int x = 0; x < ADestWidth; ++x) {
      int b = 0, g = 0, r = 0, a = 0;
      for (int k = horz.First[x], e = horz.First[x + 1]; k < e; ++k) {
        const TcxResampleContributor& c = horz.Items[k];
        const RGBQUAD& p = row[c.Index];
        b += c.Weight * p.rgbBlue;
        g += c.Weight * p.rgbGreen;
        r += c.Weight * p.rgbRed;
        a += c.Weight * p.rgbReserved;
      }
      out[x] = {ClampSum(b), ClampSum(g), ClampSum(r), ClampSum(a)};
    }
  }

  // Vertical pass: the columns of the intermediate rows into the destination.
  // Walked row by row so that the intermediate is read along its rows.
  std::vector<int> sums(size_t(ADestWidth) * 4);
  for (int y = 0; y < ADestHeight; ++y) {
    std::fill(sums.begin(), sums.end(), 0);
    for (int k = vert.First[y], e = vert.First[y + 1]; k < e; ++k) {
      const TcxResampleContributor& c = vert.Items[k];
      const RGBQUAD* row = work.data() + size_t(c.Index) * size_t(ADestWidth);
      int* s = sums.data();
      for (int x = 0; x < ADestWidth; ++x, s += 4) {
        s[0] += c.Weight * row[x].rgbBlue;
        s[1] += c.Weight * row[x].rgbGreen;
        s[2] += c.Weight * row[x].rgbRed;
        s[3] += c.Weight * row[x].rgbReserved;
      }
    }
    RGBQUAD* out = ADest + size_t(y) * size_t(ADestWidth);
    const int* s = sums.data();
    for (int x = 0; x < ADestWidth; ++x, s += 4)
      out[x] = {ClampSum(s[0]), ClampSum(s[1]), ClampSum(s[2]), ClampSum(s[3])};
  }
}

namespace {

class TCanvasLock {
 public:
  explicit TCanvasLock(TBitmap* ABitmap) : FCanvas(ABitmap->Canvas()) { FCanvas->Lock(); }
  ~TCanvasLock() { FCanvas->Unlock(); }
  TCanvasLock(const TCanvasLock&) = delete;
  TCanvasLock& operator=(const TCanvasLock&) = delete;

 private:
  TCanvas* FCanvas;
};

}  // namespace

void cxResampleBitmap(TBitmap* ASource, TBitmap* ADest, bool AForceFiltered) {
  if (!ASource || !ADest) return;
  const int sourceWidth = ASource->Width(), sourceHeight = ASource->Height();
  const int destWidth = ADest->Width(), destHeight = ADest->Height();
  if (sourceWidth <= 0 || sourceHeight <= 0 || destWidth <= 0 || destHeight <= 0) return;

  TCanvasLock sourceLock(ASource);
  TCanvasLock destLock(ADest);
  if (dxIsNTPlatform && !AForceFiltered) {
    HDC dc = ADest->Canvas()->Handle();
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, 0, 0, destWidth, destHeight, ASource->Canvas()->Handle(), 0, 0, sourceWidth,
               sourceHeight, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
    return;
  }
  TRGBColors source;
  cxReadBitmapColors(ASource, false, source);
  TRGBColors dest(size_t(destWidth) * size_t(destHeight));
  cxResamplePixels(source.data(), sourceWidth, sourceHeight, dest.data(), destWidth, destHeight);
  cxApplyColorsToBitmap(ADest, dest, false);
}

// Row by row, keeping the filtered source row that the next target row starts with. The
// sums stay within 32 bits: a row sum is at most 255 << kWeightBits, and the weights down
// add up to 1 << kWeightBits again.
void cxShrinkBitmapByArea(TBitmap* ASource, TBitmap* ATarget) {
  const int sw = ASource->Width(), sh = ASource->Height(), tw = ATarget->Width(), th = ATarget->Height();
  const bool source32 = ASource->PixelFormat() == pf32bit, target32 = ATarget->PixelFormat() == pf32bit;
  const TCovers across = Covers(sw, tw), down = Covers(sh, th);
  const size_t n = static_cast<size_t>(tw) * 3;
  std::vector<std::uint32_t> current(n), kept(n), sum(n);
  int keptRow = -1;
  auto filterRow = [&](int y, std::vector<std::uint32_t>& out) {
    const auto* row = static_cast<const Byte*>(ASource->ScanLine(y));
    if (source32)
      ShrinkRow<4>(row, across, out.data());
    else
      ShrinkRow<3>(row, across, out.data());
  };
  constexpr std::uint32_t half = std::uint32_t(1) << (2 * kWeightBits - 1);
  for (int y = 0; y < th; ++y) {
    std::fill(sum.begin(), sum.end(), half);
    const int first = down.First[static_cast<size_t>(y)];
    const int from = down.Start[static_cast<size_t>(y)], to = down.Start[static_cast<size_t>(y) + 1];
    for (int k = from; k < to; ++k) {
      const int sy = first + (k - from);
      if (sy != keptRow) {
        filterRow(sy, current);
        // The last source row of this target row may be the first of the next one.
        if (k + 1 == to) {
          std::swap(current, kept);
          keptRow = sy;
        }
      }
      const std::uint32_t* filtered = sy == keptRow ? kept.data() : current.data();
      const std::uint32_t w = down.Weights[static_cast<size_t>(k)];
      std::uint32_t* s = sum.data();
      for (size_t i = 0; i < n; ++i) s[i] += filtered[i] * w;
    }
    auto* out = static_cast<Byte*>(ATarget->ScanLine(y));
    const std::uint32_t* s = sum.data();
    if (target32) {
      for (int x = 0; x < tw; ++x, s += 3, out += 4) {
        out[0] = static_cast<Byte>(s[0] >> (2 * kWeightBits));
        out[1] = static_cast<Byte>(s[1] >> (2 * kWeightBits));
        out[2] = static_cast<Byte>(s[2] >> (2 * kWeightBits));
        out[3] = 0;
      }
    } else {
      for (size_t i = 0; i < n; ++i) out[i] = static_cast<Byte>(s[i] >> (2 * kWeightBits));
    }
  }
}
