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
#include <memory>
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

// Where each target pixel takes its value from along an axis: Count source pixels from
// First[i] on, each weighted by the part of it the target pixel covers (Weights[i * Count]
// on), the weights of one target pixel summing to 1 << kWeightBits. Every target pixel gets
// the same number of weights, the unused ones zero, so that the loops over them have a fixed
// length.
constexpr int kWeightBits = 12;
struct TCovers {
  int Count = 1;
  std::vector<int> First;
  std::vector<std::uint32_t> Weights;
};

TCovers Covers(int ASource, int ATarget) {
  const Int64 unit = 1 << kWeightBits;
  std::vector<int> first(static_cast<size_t>(ATarget));
  std::vector<std::uint32_t> weights;
  std::vector<int> start(static_cast<size_t>(ATarget) + 1);
  int most = 1;
  for (int i = 0; i < ATarget; ++i) {
    // Target pixel i spans [i * ASource, (i + 1) * ASource) in 1/ATarget of a source pixel.
    const Int64 from = Int64(i) * ASource, to = from + ASource;
    first[static_cast<size_t>(i)] = static_cast<int>(from / ATarget);
    start[static_cast<size_t>(i)] = static_cast<int>(weights.size());
    Int64 given = 0;
    for (Int64 k = first[static_cast<size_t>(i)]; k * ATarget < to; ++k) {
      const Int64 covered = std::min(to, (k + 1) * ATarget) - std::max(from, k * ATarget);
      const Int64 weight = covered * unit / ASource;
      weights.push_back(static_cast<std::uint32_t>(weight));
      given += weight;
    }
    weights.back() += static_cast<std::uint32_t>(unit - given);   // what the rounding left out
    most = std::max(most, static_cast<int>(weights.size()) - start[static_cast<size_t>(i)]);
  }
  start.back() = static_cast<int>(weights.size());
  TCovers covers;
  covers.Count = std::min(most, ASource);
  covers.First.resize(static_cast<size_t>(ATarget));
  covers.Weights.assign(static_cast<size_t>(ATarget) * static_cast<size_t>(covers.Count), 0);
  for (int i = 0; i < ATarget; ++i) {
    // Near the end the run starts earlier, with zero weights first, to stay inside the source.
    const int own = first[static_cast<size_t>(i)];
    const int shifted = std::min(own, ASource - covers.Count);
    covers.First[static_cast<size_t>(i)] = shifted;
    std::copy(weights.begin() + start[static_cast<size_t>(i)], weights.begin() + start[static_cast<size_t>(i) + 1],
              covers.Weights.begin() + static_cast<ptrdiff_t>(i) * covers.Count + (own - shifted));
  }
  return covers;
}

// One source row averaged across: three sums (blue, green, red) per target pixel, each at
// most 255 << kWeightBits. Taps is the covers' Count when it is a small one, else 0.
template <int Step, int Taps>
void ShrinkRow(const Byte* ARow, const TCovers& ACovers, std::uint32_t* AOut) {
  const int taps = Taps > 0 ? Taps : ACovers.Count;
  const std::uint32_t* w = ACovers.Weights.data();
  for (int first : ACovers.First) {
    const Byte* p = ARow + static_cast<size_t>(first) * Step;
    std::uint32_t b = 0, g = 0, r = 0;
    for (int k = 0; k < taps; ++k, p += Step) {
      b += p[0] * w[k];
      g += p[1] * w[k];
      r += p[2] * w[k];
    }
    w += taps;
    AOut[0] = b;
    AOut[1] = g;
    AOut[2] = r;
    AOut += 3;
  }
}

template <int Step>
void ShrinkRowOf(const Byte* ARow, const TCovers& ACovers, std::uint32_t* AOut) {
  switch (ACovers.Count) {
    case 1: ShrinkRow<Step, 1>(ARow, ACovers, AOut); break;
    case 2: ShrinkRow<Step, 2>(ARow, ACovers, AOut); break;
    case 3: ShrinkRow<Step, 3>(ARow, ACovers, AOut); break;
    default: ShrinkRow<Step, 0>(ARow, ACovers, AOut); break;
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

// Each source row is averaged across once, as it comes, into a ring of the rows the next
// target row needs; a target row is added up down as soon as its last source row is in. The
// sums stay within 32 bits: a row sum is at most 255 << kWeightBits, and the weights down
// add up to 1 << kWeightBits again.
struct TcxAreaShrinker::TState {
  TCovers Across, Down;
  std::vector<std::uint32_t> Ring;   // Down.Count filtered rows, source row sy in slot sy % Count
  std::vector<std::uint32_t> Sums;
};

TcxAreaShrinker::TcxAreaShrinker(int ASourceWidth, int ASourceHeight, int ASourceBytesPerPixel, TBitmap* ATarget)
    : FTarget(ATarget), FSourceWidth(ASourceWidth), FSourceHeight(ASourceHeight),
      FSourceBytesPerPixel(ASourceBytesPerPixel), FState(std::make_unique<TState>()) {
  FTargetWidth = ATarget->Width();
  FTargetHeight = ATarget->Height();
  if (FTargetWidth <= 0 || FTargetHeight <= 0) {
    FRowsIn = FSourceHeight;   // nothing to write
    return;
  }
  if (ASourceWidth < FTargetWidth || ASourceHeight < FTargetHeight ||
      (ASourceBytesPerPixel != 3 && ASourceBytesPerPixel != 4) ||
      (ATarget->PixelFormat() != pf24bit && ATarget->PixelFormat() != pf32bit))
    throw EInvalidOperation(L"The area shrink takes 24- or 32-bit pixels onto a target no larger than the source");
  FState->Across = Covers(ASourceWidth, FTargetWidth);
  FState->Down = Covers(ASourceHeight, FTargetHeight);
  const size_t n = static_cast<size_t>(FTargetWidth) * 3;
  FState->Ring.resize(n * static_cast<size_t>(FState->Down.Count));
  FState->Sums.resize(n);
}

TcxAreaShrinker::~TcxAreaShrinker() = default;

void TcxAreaShrinker::AddRow(const Byte* ARow) {
  if (FRowsIn >= FSourceHeight) return;
  TState& st = *FState;
  const int count = st.Down.Count;
  const size_t n = static_cast<size_t>(FTargetWidth) * 3;
  const int sy = FRowsIn++;
  std::uint32_t* filtered = st.Ring.data() + n * static_cast<size_t>(sy % count);
  if (FSourceBytesPerPixel == 4)
    ShrinkRowOf<4>(ARow, st.Across, filtered);
  else
    ShrinkRowOf<3>(ARow, st.Across, filtered);
  while (FRowsOut < FTargetHeight && st.Down.First[static_cast<size_t>(FRowsOut)] + count - 1 <= sy) EmitRow();
}

void TcxAreaShrinker::Finish() {
  if (FRowsIn >= FSourceHeight) return;
  const std::vector<Byte> black(static_cast<size_t>(FSourceWidth) * static_cast<size_t>(FSourceBytesPerPixel));
  while (FRowsIn < FSourceHeight) AddRow(black.data());
}

void TcxAreaShrinker::EmitRow() {
  TState& st = *FState;
  const int y = FRowsOut++;
  const int count = st.Down.Count;
  const size_t n = static_cast<size_t>(FTargetWidth) * 3;
  const std::uint32_t* w = st.Down.Weights.data() + static_cast<size_t>(y) * static_cast<size_t>(count);
  auto row = [&](int k) {
    const int sy = st.Down.First[static_cast<size_t>(y)] + k;
    return st.Ring.data() + n * static_cast<size_t>(sy % count);
  };
  constexpr std::uint32_t half = std::uint32_t(1) << (2 * kWeightBits - 1);
  constexpr int shift = 2 * kWeightBits;
  std::uint32_t* s = st.Sums.data();
  if (count == 2) {
    const std::uint32_t *a = row(0), *b = row(1);
    for (size_t i = 0; i < n; ++i) s[i] = a[i] * w[0] + b[i] * w[1] + half;
  } else if (count == 3) {
    const std::uint32_t *a = row(0), *b = row(1), *c = row(2);
    for (size_t i = 0; i < n; ++i) s[i] = a[i] * w[0] + b[i] * w[1] + c[i] * w[2] + half;
  } else {
    std::fill(st.Sums.begin(), st.Sums.end(), half);
    for (int k = 0; k < count; ++k) {
      const std::uint32_t* r = row(k);
      for (size_t i = 0; i < n; ++i) s[i] += r[i] * w[k];
    }
  }
  auto* out = static_cast<Byte*>(FTarget->ScanLine(y));
  if (FTarget->PixelFormat() == pf32bit) {
    for (int x = 0; x < FTargetWidth; ++x, s += 3, out += 4) {
      out[0] = static_cast<Byte>(s[0] >> shift);
      out[1] = static_cast<Byte>(s[1] >> shift);
      out[2] = static_cast<Byte>(s[2] >> shift);
      out[3] = 0;
    }
  } else {
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<Byte>(s[i] >> shift);
  }
}

void cxShrinkBitmapByArea(TBitmap* ASource, TBitmap* ATarget) {
  const int sh = ASource->Height();
  TcxAreaShrinker shrinker(ASource->Width(), sh, ASource->PixelFormat() == pf32bit ? 4 : 3, ATarget);
  for (int sy = 0; sy < sh; ++sy) shrinker.AddRow(static_cast<const Byte*>(ASource->ScanLine(sy)));
}
