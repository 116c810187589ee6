// appdata: makes the main window's data at build time, with the same
// graphics, image-list and streaming code the program reads it with.
//
//   appdata TEMPLATE OUTDIR
//
// Writes into OUTDIR:
//   SmallImages.il     the toolbar glyphs: 149 images of 16x16, 32 bits with
//                      alpha and a mask, as the image list stores them in a
//                      component stream ("Bitmap" property);
//   background.jpg     the background picture, 1600x862, baseline JPEG;
//   background.picdata the same picture as a picture's "Data" property: a
//                      length byte, the class name "TJPEGImage", a 32-bit
//                      length and the JPEG bytes;
//   Unit5.txt          TEMPLATE with the glyphs and the picture filled in: the
//                      template holds exactly one line `Bitmap = {}`, which
//                      becomes the image-list bytes in hex, and one line
//                      `Picture.Data = {}`, which becomes background.picdata in
//                      hex (the text form has no comments, so the placeholders
//                      are documented here);
//   Unit5.bin          Unit5.txt converted to the binary component stream.
//
// The output depends on nothing but the code: no clock, no random source.
// Exit code 0 on success, 1 when something failed (reason on stderr), 2 for
// bad arguments. Each file is written beside its final name and renamed over
// it, so a failed run never leaves a half-written file behind.
#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Modules.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Streams.h"
#include "platform/gui/GuiModules.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Jpeg.h"
#include "tools/common/ReplaceFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

void WriteError(const String& text) {
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (err == nullptr || err == INVALID_HANDLE_VALUE) return;
  const String line = text + L"\r\n";
  const int n = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(), n, nullptr, nullptr);
  DWORD written;
  WriteFile(err, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

template <class T>
struct Owned {
  T* p;
  explicit Owned(T* obj) : p(obj) {}
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() { TObject::Free(p); }
  T* operator->() const { return p; }
  T* get() const { return p; }
};

TBytes BytesOf(TMemoryStream* stream) {
  const auto* p = static_cast<const Byte*>(stream->Memory());
  return TBytes(p, p + stream->Size());
}

// Replaces `fileName` by `data` through a temporary file in the same folder.
void WriteFileReplacing(const String& fileName, const TBytes& data) {
  ReplaceFileWith(fileName, L"apd", [&data](TStream* out) {
    if (!data.empty()) out->WriteBuffer(data.data(), static_cast<int>(data.size()));
  });
}

TBytes ReadFileBytes(const String& fileName) {
  Owned<TFileStream> in(Make<TFileStream>(fileName, fmOpenRead | fmShareDenyWrite));
  TBytes data(static_cast<size_t>(in->Size()));
  if (!data.empty()) in->ReadBuffer(data.data(), static_cast<int>(data.size()));
  return data;
}

// ---------------------------------------------------------------------------
// Shapes as signed distances (negative inside), in pixel units; pixel (x, y)
// covers [x, x + 1) x [y, y + 1).
// ---------------------------------------------------------------------------

using Sdf = std::function<double(double, double)>;

Sdf Box(double x0, double y0, double x1, double y1, double radius = 0) {
  return [=](double x, double y) {
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const double hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    const double qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
  };
}

Sdf Circle(double cx, double cy, double r) {
  return [=](double x, double y) { return std::hypot(x - cx, y - cy) - r; };
}

Sdf Segment(double ax, double ay, double bx, double by, double width) {
  return [=](double x, double y) {
    const double dx = bx - ax, dy = by - ay;
    const double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(x - ax - t * dx, y - ay - t * dy) - width / 2;
  };
}

Sdf Polygon(std::vector<std::array<double, 2>> points) {
  return [points](double x, double y) {
    double d = 1e9;
    bool inside = false;
    for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
      const auto& a = points[j];
      const auto& b = points[i];
      const double ex = b[0] - a[0], ey = b[1] - a[1];
      const double t = std::clamp(((x - a[0]) * ex + (y - a[1]) * ey) / (ex * ex + ey * ey), 0.0, 1.0);
      d = std::min(d, std::hypot(x - a[0] - t * ex, y - a[1] - t * ey));
      if ((a[1] > y) != (b[1] > y) && x < a[0] + (y - a[1]) / (b[1] - a[1]) * ex) inside = !inside;
    }
    return inside ? -d : d;
  };
}

// A box around the origin rotated by `angle`, then moved to (cx, cy).
Sdf RotatedBox(double cx, double cy, double angle, double x0, double y0, double x1, double y1) {
  const Sdf box = Box(x0, y0, x1, y1);
  const double c = std::cos(angle), s = std::sin(angle);
  return [=](double x, double y) {
    const double dx = x - cx, dy = y - cy;
    return box(dx * c + dy * s, -dx * s + dy * c);
  };
}

Sdf Union(std::vector<Sdf> parts) {
  return [parts](double x, double y) {
    double d = 1e9;
    for (const Sdf& p : parts) d = std::min(d, p(x, y));
    return d;
  };
}

Sdf Minus(Sdf a, Sdf b) {
  return [a, b](double x, double y) { return std::max(a(x, y), -b(x, y)); };
}

struct Rgba {
  double R, G, B, A;   // 0..255, straight alpha 0..1
};

constexpr Rgba Colour(int r, int g, int b, double a = 1.0) { return {double(r), double(g), double(b), a}; }

// ---------------------------------------------------------------------------
// A 16x16 glyph with alpha. Shapes are painted over each other with 4x4
// samples per pixel, which smooths their edges.
// ---------------------------------------------------------------------------

class Glyph {
 public:
  static constexpr int kSize = 16;
  static constexpr int kFaintest = 24;   // alpha; one sample in 16 gives 16

  // Paints `colour` where the shape, grown by `grow` pixels (shrunk when
  // negative), covers the pixel.
  void Fill(Rgba colour, const Sdf& shape, double grow = 0) {
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        const double cover = Coverage(shape, x, y, grow);
        if (cover <= 0) continue;
        Premultiplied& p = px_[y * kSize + x];
        const double a = colour.A * cover;
        p.R = colour.R * a + p.R * (1 - a);
        p.G = colour.G * a + p.G * (1 - a);
        p.B = colour.B * a + p.B * (1 - a);
        p.A = a + p.A * (1 - a);
      }
  }

  // Makes the shape transparent again (a hole).
  void Erase(const Sdf& shape) {
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        const double keep = 1 - Coverage(shape, x, y, 0);
        Premultiplied& p = px_[y * kSize + x];
        p.R *= keep;
        p.G *= keep;
        p.B *= keep;
        p.A *= keep;
      }
  }

  // The shape with a dark edge of `edge` pixels inside its outline.
  void Outlined(Rgba fill, Rgba edge, const Sdf& shape, double width = 1.0) {
    Fill(edge, shape);
    Fill(fill, shape, -width);
  }

  // BGRA, straight alpha, top row first; colour 0 where fully transparent.
  // The faintest edge pixels become transparent: comctl32 masks such pixels
  // out when it stores the list, and mask and alpha should agree.
  std::array<uint32_t, kSize * kSize> Pixels() const {
    std::array<uint32_t, kSize * kSize> out{};
    for (int i = 0; i < kSize * kSize; ++i) {
      const Premultiplied& p = px_[i];
      const int a = static_cast<int>(std::lround(std::clamp(p.A, 0.0, 1.0) * 255));
      if (a < kFaintest) continue;
      auto channel = [&](double v) {
        return static_cast<uint32_t>(std::clamp(std::lround(v / p.A), 0L, 255L));
      };
      out[i] = (uint32_t(a) << 24) | (channel(p.R) << 16) | (channel(p.G) << 8) | channel(p.B);
    }
    return out;
  }

 private:
  struct Premultiplied {
    double R = 0, G = 0, B = 0, A = 0;
  };

  static double Coverage(const Sdf& shape, int x, int y, double grow) {
    int hits = 0;
    for (int sy = 0; sy < 4; ++sy)
      for (int sx = 0; sx < 4; ++sx)
        if (shape(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4) <= grow) ++hits;
    return hits / 16.0;
  }

  std::array<Premultiplied, kSize * kSize> px_{};
};

// The colours of the glyphs.
constexpr Rgba kInk = Colour(52, 62, 82);
constexpr Rgba kPaper = Colour(252, 252, 250);
constexpr Rgba kPaperLine = Colour(120, 140, 170);
constexpr Rgba kBlue = Colour(40, 112, 204);
constexpr Rgba kLightBlue = Colour(150, 200, 245);
constexpr Rgba kGreen = Colour(52, 160, 76);
constexpr Rgba kRed = Colour(214, 64, 52);
constexpr Rgba kOrange = Colour(242, 146, 30);
constexpr Rgba kWood = Colour(204, 150, 88);
constexpr Rgba kWoodLight = Colour(232, 190, 130);
constexpr Rgba kWoodDark = Colour(128, 80, 40);
constexpr Rgba kSteel = Colour(150, 162, 178);
constexpr Rgba kSteelLight = Colour(214, 222, 232);
constexpr Rgba kSteelDark = Colour(78, 88, 104);
constexpr Rgba kGold = Colour(240, 188, 48);
constexpr Rgba kGoldDark = Colour(150, 100, 16);

// 137 "订单查询": a document under a magnifier.
Glyph OrderQuery() {
  Glyph g;
  g.Outlined(kPaper, kInk, Box(1.5, 0.5, 11.5, 15.5, 0.8));
  for (double y : {3.5, 6.0, 8.5, 11.0}) g.Fill(kPaperLine, Box(3.5, y, y < 8 ? 9.5 : 6.5, y + 1.0));
  g.Fill(Rgba{kLightBlue.R, kLightBlue.G, kLightBlue.B, 0.6}, Circle(10.5, 9.5, 3.2));
  g.Fill(kBlue, Minus(Circle(10.5, 9.5, 4.0), Circle(10.5, 9.5, 2.7)));
  g.Fill(kInk, Segment(13.2, 12.2, 15.0, 14.6, 2.4));
  return g;
}

// 143 "订单管理": a clipboard with a list on it.
Glyph OrderManagement() {
  Glyph g;
  g.Outlined(kWood, kWoodDark, Box(2.0, 1.5, 14.0, 15.8, 1.4));
  g.Fill(kPaper, Box(3.8, 3.6, 12.2, 14.4));
  g.Outlined(kSteelLight, kSteelDark, Box(5.2, 0.4, 10.8, 4.4, 1.0));
  for (double y : {6.3, 9.0, 11.7}) {
    g.Fill(kGreen, Circle(5.6, y, 0.9));
    g.Fill(kBlue, Box(7.2, y - 0.55, 11.0, y + 0.55));
  }
  return g;
}

// 94 "生产排单": a calendar page with schedule bars.
Glyph ProductionSchedule() {
  Glyph g;
  g.Outlined(kPaper, kInk, Box(0.5, 2.0, 15.5, 15.5, 1.2));
  g.Fill(kRed, Box(0.5, 2.0, 15.5, 5.8, 1.2));
  g.Fill(kRed, Box(0.5, 4.0, 15.5, 5.8));
  for (double x : {3.5, 10.5}) g.Fill(kSteelDark, Box(x, 0.5, x + 2.0, 4.2, 0.6));
  g.Fill(kBlue, Box(2.5, 7.2, 9.0, 9.0, 0.5));
  g.Fill(kGreen, Box(6.0, 10.0, 13.5, 11.8, 0.5));
  g.Fill(kOrange, Box(3.5, 12.8, 10.5, 14.6, 0.5));
  return g;
}

// 85 "生产用料统计": a bar chart.
Glyph MaterialStatistics() {
  Glyph g;
  g.Outlined(kBlue, kInk, Box(3.5, 8.0, 6.8, 14.5), 0.5);
  g.Outlined(kGreen, kInk, Box(7.5, 3.5, 10.8, 14.5), 0.5);
  g.Outlined(kOrange, kInk, Box(11.5, 6.0, 14.8, 14.5), 0.5);
  g.Fill(kInk, Box(1.5, 1.0, 2.7, 15.5));
  g.Fill(kInk, Box(1.5, 14.3, 15.5, 15.5));
  return g;
}

// 24 "材料库": a stack of wooden boards, their grain showing.
Glyph MaterialLibrary() {
  Glyph g;
  const double tops[] = {2.0, 6.5, 11.0};
  const double lefts[] = {2.5, 0.5, 1.5};
  for (int i = 0; i < 3; ++i) {
    const double top = tops[i], left = lefts[i];
    const Rgba face = i == 1 ? kWoodLight : kWood;
    g.Outlined(face, kWoodDark, Box(left, top, left + 14.0, top + 4.0, 0.6));
    // Grain: a gentle wave along the board.
    g.Fill(Rgba{128, 80, 40, 0.75}, [=](double x, double y) {
      return std::abs(y - (top + 2.0 + 0.6 * std::sin((x - left) * 0.9 + i))) - 0.35;
    }, 0);
    g.Fill(Rgba{128, 80, 40, 0.75}, Circle(left + 11.5, top + 2.0, 0.9));
    g.Erase(Box(-1, top + 3.6, 17, top + 4.4, 0));
    g.Fill(kWoodDark, Box(left, top + 3.2, left + 14.0, top + 4.0, 0.3));
  }
  return g;
}

// 35 "五金件": a bolt.
Glyph Hardware() {
  Glyph g;
  g.Outlined(kSteel, kSteelDark, Box(6.0, 4.5, 10.0, 14.0));
  g.Outlined(kSteel, kSteelDark, Polygon({{6.0, 13.0}, {10.0, 13.0}, {8.0, 15.8}}));
  for (double y : {6.5, 8.5, 10.5, 12.5}) g.Fill(kSteelDark, Segment(6.4, y + 0.7, 9.6, y - 0.7, 0.8));
  g.Outlined(kSteel, kSteelDark, Polygon({{3.5, 0.5}, {12.5, 0.5}, {14.0, 3.0}, {12.5, 5.5}, {3.5, 5.5}, {2.0, 3.0}}));
  g.Fill(kSteelLight, Box(4.0, 1.6, 12.0, 2.6));
  g.Fill(kSteelDark, Box(7.6, 1.2, 8.4, 5.0));
  return g;
}

// 135 "封边带": a roll of edge tape unwinding.
Glyph EdgeBanding() {
  Glyph g;
  g.Outlined(kWoodLight, kWoodDark, Box(6.0, 11.0, 15.8, 14.2));
  g.Outlined(kWoodLight, kWoodDark, Circle(6.8, 8.0, 6.2));
  for (double r : {4.4, 3.2}) g.Fill(Rgba{160, 110, 60, 0.8}, Minus(Circle(6.8, 8.0, r), Circle(6.8, 8.0, r - 0.5)));
  g.Fill(kWoodDark, Circle(6.8, 8.0, 2.2));
  g.Erase(Circle(6.8, 8.0, 1.2));
  return g;
}

// 27 "工艺设置": a gear.
Glyph ProcessSettings() {
  Glyph g;
  std::vector<Sdf> parts{Circle(8, 8, 5.2)};
  for (int k = 0; k < 8; ++k) parts.push_back(RotatedBox(8, 8, k * kPi / 4, 3.0, -1.4, 7.6, 1.4));
  const Sdf gear = Union(parts);
  g.Outlined(Colour(120, 146, 186), kSteelDark, gear);
  g.Fill(Colour(176, 198, 228), Minus(Circle(8, 8, 3.6), Circle(8, 8, 2.4)));
  g.Erase(Circle(8, 8, 2.0));
  return g;
}

// 92 "修改密码": a key.
Glyph ChangePassword() {
  Glyph g;
  const Sdf key = Union({Circle(5.0, 5.0, 4.3), Segment(7.0, 7.0, 14.6, 14.6, 2.6),
                         Segment(11.3, 11.3, 13.4, 9.2, 2.2), Segment(13.4, 13.4, 15.2, 11.6, 2.0)});
  g.Outlined(kGold, kGoldDark, key);
  g.Fill(Colour(252, 226, 140), Circle(3.9, 3.9, 1.0));
  g.Erase(Circle(4.8, 4.8, 1.5));
  return g;
}

// 90 "远程协助": two screens with arrows between them.
Glyph RemoteAssistance() {
  Glyph g;
  g.Outlined(kLightBlue, kInk, Box(0.5, 0.5, 9.5, 7.5, 0.8), 1.2);
  g.Fill(kInk, Box(4.0, 7.5, 6.0, 8.8));
  g.Fill(kInk, Box(2.5, 8.4, 7.5, 9.4, 0.4));
  g.Outlined(Colour(140, 214, 156), kInk, Box(6.5, 6.5, 15.5, 13.5, 0.8), 1.2);
  g.Fill(kInk, Box(10.0, 13.5, 12.0, 14.8));
  g.Fill(kInk, Box(8.5, 14.4, 13.5, 15.4, 0.4));
  g.Fill(kOrange, Union({Segment(10.5, 3.5, 13.0, 3.5, 1.6), Polygon({{15.8, 3.5}, {12.4, 0.6}, {12.4, 6.4}})}));
  g.Fill(kOrange, Union({Segment(5.5, 12.0, 3.0, 12.0, 1.6), Polygon({{0.2, 12.0}, {3.6, 9.1}, {3.6, 14.9}})}));
  return g;
}

// 71 "退出系统": a door and an arrow leading out of it.
Glyph ExitSystem() {
  Glyph g;
  g.Fill(kWoodDark, Box(1.0, 0.5, 10.0, 15.5, 0.5));
  g.Fill(kWood, Box(2.2, 1.7, 8.8, 15.5));
  g.Fill(kGold, Circle(7.4, 8.6, 0.8));
  const Sdf arrow = Union({Segment(7.5, 8.0, 12.0, 8.0, 2.4), Polygon({{15.8, 8.0}, {11.2, 3.6}, {11.2, 12.4}})});
  g.Fill(Colour(20, 90, 40), arrow, 0.7);
  g.Fill(kGreen, arrow);
  return g;
}

// The images no button shows: a simple figure per index, in a colour of its
// own, marked with the index's bits.
Glyph Pattern(int index) {
  Glyph g;
  const double hue = std::fmod(index * 0.6180339887, 1.0) * 6;
  const int sector = static_cast<int>(hue);
  const double f = hue - sector;
  const double hi = 214, lo = 96, mid1 = lo + (hi - lo) * f, mid2 = hi - (hi - lo) * f;
  const double rgb[6][3] = {{hi, mid1, lo}, {mid2, hi, lo}, {lo, hi, mid1},
                            {lo, mid2, hi}, {mid1, lo, hi}, {hi, lo, mid2}};
  const Rgba colour{rgb[sector][0], rgb[sector][1], rgb[sector][2], 1.0};
  const Rgba edge{colour.R * 0.5, colour.G * 0.5, colour.B * 0.5, 1.0};
  Sdf figure;
  switch (index % 4) {
    case 0: figure = Box(1.5, 1.5, 14.5, 14.5, 2.0); break;
    case 1: figure = Circle(8, 8, 7.0); break;
    case 2: figure = Polygon({{8, 0.5}, {15.5, 8}, {8, 15.5}, {0.5, 8}}); break;
    default: figure = Polygon({{8, 1.0}, {15.5, 14.5}, {0.5, 14.5}}); break;
  }
  g.Outlined(colour, edge, figure);
  // Four dots from the bits of index / 4 (0..37), and a bar for the rest.
  const int bits = index / 4;
  const double dots[4][2] = {{6.0, 7.0}, {10.0, 7.0}, {6.0, 11.0}, {10.0, 11.0}};
  for (int b = 0; b < 4; ++b)
    g.Fill((bits >> b) & 1 ? Colour(255, 255, 255) : Rgba{edge.R, edge.G, edge.B, 0.45}, Circle(dots[b][0], dots[b][1], 1.2));
  if (bits >= 16) g.Fill(Colour(255, 255, 255), Box(5.0, 3.6, 11.0, 4.6));
  if (bits >= 32) g.Fill(edge, Box(5.0, 12.8, 11.0, 13.6));
  return g;
}

constexpr int kGlyphCount = 149;

Glyph MakeGlyph(int index) {
  switch (index) {
    case 24: return MaterialLibrary();
    case 27: return ProcessSettings();
    case 35: return Hardware();
    case 71: return ExitSystem();
    case 85: return MaterialStatistics();
    case 90: return RemoteAssistance();
    case 92: return ChangePassword();
    case 94: return ProductionSchedule();
    case 135: return EdgeBanding();
    case 137: return OrderQuery();
    case 143: return OrderManagement();
    default: return Pattern(index);
  }
}

// Exposes the stored form of an image list.
class GlyphList : public TImageList {
 public:
  using TImageList::TImageList;
  using TCustomImageList::WriteData;
};

TBytes MakeImageList() {
  Owned<GlyphList> list(Make<GlyphList>(nullptr, 16, 16));
  list->SetColorDepth(cd32Bit);
  list->SetMasked(true);
  list->SetAllocBy(4);
  list->SetBkColor(clNone);
  Owned<TBitmap> image(Make<TBitmap>());
  image->SetPixelFormat(pf32bit);
  image->SetSize(Glyph::kSize, Glyph::kSize);
  Owned<TBitmap> mask(Make<TBitmap>());
  mask->SetPixelFormat(pf32bit);
  mask->SetSize(Glyph::kSize, Glyph::kSize);
  std::vector<std::array<uint32_t, 256>> seen;
  for (int i = 0; i < kGlyphCount; ++i) {
    const auto pixels = MakeGlyph(i).Pixels();
    if (std::find(seen.begin(), seen.end(), pixels) != seen.end())
      throw Exception(L"glyph " + std::to_wstring(i) + L" repeats an earlier one");
    seen.push_back(pixels);
    for (int y = 0; y < Glyph::kSize; ++y) {
      auto* row = static_cast<uint32_t*>(image->ScanLine(y));
      auto* maskRow = static_cast<uint32_t*>(mask->ScanLine(y));
      for (int x = 0; x < Glyph::kSize; ++x) {
        const uint32_t p = pixels[y * Glyph::kSize + x];
        row[x] = p;
        // White marks the transparent pixels of the mask.
        maskRow[x] = (p >> 24) == 0 ? 0xFFFFFFu : 0;
      }
    }
    if (list->Add(image.get(), mask.get()) != i) throw Exception(L"the image list refused glyph " + std::to_wstring(i));
  }
  Owned<TMemoryStream> stream(Make<TMemoryStream>());
  list->WriteData(stream.get());
  return BytesOf(stream.get());
}

// ---------------------------------------------------------------------------
// The background: a calm workshop wall in morning light over a plank floor,
// with the outline of a table and a chair.
// ---------------------------------------------------------------------------

constexpr int kPictureWidth = 1600;
constexpr int kPictureHeight = 862;

uint32_t Hash(int x, int y, int seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               static_cast<uint32_t>(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return h ^ (h >> 16);
}

// Smooth value noise in 0..1.
double Noise(double x, double y, int seed) {
  const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  const double fx = x - ix, fy = y - iy;
  const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  auto v = [&](int dx, int dy) { return (Hash(ix + dx, iy + dy, seed) & 0xFFFF) / 65535.0; };
  const double top = v(0, 0) + (v(1, 0) - v(0, 0)) * sx;
  const double bottom = v(0, 1) + (v(1, 1) - v(0, 1)) * sx;
  return top + (bottom - top) * sy;
}

struct Rgb {
  double R, G, B;
};

Rgb Mix(Rgb a, Rgb b, double t) { return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t}; }

double Smooth(double edge0, double edge1, double x) {
  const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// Coverage of the furniture outline at a point (0..1, soft edges).
double Furniture(double x, double y) {
  auto box = [&](double x0, double y0, double x1, double y1) {
    return Smooth(-1.0, 1.0, std::min({x - x0, x1 - x, y - y0, y1 - y}));
  };
  double c = 0;
  // A workbench.
  c = std::max(c, box(980, 500, 1400, 528));
  c = std::max(c, box(1000, 528, 1024, 690));
  c = std::max(c, box(1356, 528, 1380, 690));
  c = std::max(c, box(1024, 620, 1356, 636));
  // A chair beside it.
  c = std::max(c, box(1440, 560, 1560, 580));
  c = std::max(c, box(1536, 420, 1556, 700));
  c = std::max(c, box(1444, 580, 1462, 700));
  return c;
}

Rgb BackgroundPixel(int px, int py) {
  const double x = px + 0.5, y = py + 0.5;
  const double w = kPictureWidth, h = kPictureHeight;
  const double horizon = 0.70 * h;
  Rgb c;
  if (y < horizon) {
    // The wall: pale blue-grey at the top, warm towards the floor.
    c = Mix({236, 232, 224}, {248, 240, 226}, Smooth(0, horizon, y));
    c = Mix(c, {226, 234, 242}, 0.55 * (1 - Smooth(0, 0.55 * h, y)));
    // Faint vertical boards of the wall.
    const double board = std::fmod(x, 200.0);
    if (board < 2.0) c = Mix(c, {200, 190, 176}, 0.18);
  } else {
    // The floor: planks with a wandering grain.
    const double plankHeight = 44.0;
    const double fy = y - horizon;
    const int row = static_cast<int>(fy / plankHeight);
    const double inRow = fy - row * plankHeight;
    const double offset = (Hash(row, 7, 3) % 400);
    const double along = x + offset;
    const int plank = static_cast<int>(along / 520.0);
    const double tint = (Hash(row, plank, 11) % 1000) / 1000.0;
    c = Mix({214, 172, 122}, {196, 150, 100}, tint);
    const double grain = std::sin(2 * kPi * (inRow / 9.0 + 1.6 * Noise(along * 0.004, (row * 50 + inRow) * 0.03, 5)));
    c = Mix(c, {150, 104, 62}, 0.10 + 0.08 * grain);
    // Seams between the planks.
    const double end = std::fmod(along, 520.0);
    if (inRow < 2.0 || end < 2.0) c = Mix(c, {120, 80, 46}, 0.55);
    // The floor darkens away from the light.
    c = Mix(c, {150, 110, 72}, 0.25 * Smooth(0, h - horizon, fy));
  }
  // Morning light falling in from the upper left.
  const double sx = 0.12 * w, sy = -0.25 * h;
  const double angle = std::atan2(y - sy, x - sx);
  const double dist = std::hypot(x - sx, y - sy);
  const double ray = std::pow(0.5 + 0.5 * std::cos(angle * 22.0 + 0.8 * std::sin(angle * 7.0)), 8.0);
  const double light = ray * std::exp(-dist / (0.9 * w)) * 0.55;
  c = Mix(c, {255, 250, 236}, std::clamp(light, 0.0, 1.0));
  // The furniture, soft and low in contrast, with its shadow on the floor.
  const double shade = Furniture(x - 24, y - 10) * (y > horizon ? 0.12 : 0.05);
  c = Mix(c, {90, 70, 50}, shade);
  c = Mix(c, {150, 104, 62}, 0.55 * Furniture(x, y));
  // A light vignette keeps the eye in the middle.
  const double vx = (x / w - 0.5) * 2, vy = (y / h - 0.5) * 2;
  c = Mix(c, {120, 110, 100}, 0.10 * Smooth(0.6, 1.6, vx * vx + vy * vy));
  // A little fixed dither against banding in the gradients.
  const double d = ((Hash(px, py, 17) & 0xFF) / 255.0 - 0.5) * 1.5;
  return {c.R + d, c.G + d, c.B + d};
}

TBytes MakeJpeg() {
  Owned<TBitmap> bitmap(Make<TBitmap>());
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(kPictureWidth, kPictureHeight);
  for (int y = 0; y < kPictureHeight; ++y) {
    auto* row = static_cast<Byte*>(bitmap->ScanLine(y));
    for (int x = 0; x < kPictureWidth; ++x) {
      const Rgb c = BackgroundPixel(x, y);
      row[3 * x + 0] = static_cast<Byte>(std::clamp(std::lround(c.B), 0L, 255L));
      row[3 * x + 1] = static_cast<Byte>(std::clamp(std::lround(c.G), 0L, 255L));
      row[3 * x + 2] = static_cast<Byte>(std::clamp(std::lround(c.R), 0L, 255L));
    }
  }
  Owned<TJPEGImage> jpeg(Make<TJPEGImage>());
  jpeg->SetCompressionQuality(90);
  jpeg->Assign(bitmap.get());
  jpeg->Compress();
  if (jpeg->ProgressiveEncoding()) throw Exception(L"the picture came out progressive");
  return jpeg->Data();
}

// A picture's "Data": length byte, class name, then the JPEG picture's own
// data (32-bit length and the bytes).
class PictureData : public TPicture {
 public:
  using TPicture::WriteData;
};

TBytes MakePictureData(const TBytes& jpegBytes) {
  Owned<TJPEGImage> jpeg(Make<TJPEGImage>());
  {
    Owned<TBytesStream> in(Make<TBytesStream>(jpegBytes));
    jpeg->LoadFromStream(in.get());
  }
  Owned<PictureData> picture(Make<PictureData>());
  picture->SetGraphic(jpeg.get());
  Owned<TMemoryStream> out(Make<TMemoryStream>());
  picture->WriteData(out.get());
  return BytesOf(out.get());
}

// ---------------------------------------------------------------------------
// The definition
// ---------------------------------------------------------------------------

// The template with its one `<property> = {}` line replaced by the bytes in
// the text form's hex notation (32 bytes a line, two spaces deeper than the
// property).
std::string FillTemplate(const std::string& text, const std::string& property, const TBytes& bitmap) {
  const std::string placeholder = property + " = {}";
  size_t found = std::string::npos, count = 0, indent = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t first = line.find_first_not_of(' ');
    if (first != std::string::npos && line.substr(first) == placeholder) {
      ++count;
      found = start;
      indent = first;
    }
    start = end + 1;
  }
  if (count != 1)
    throw Exception(L"the template must hold exactly one line \"" + String(placeholder.begin(), placeholder.end()) +
                    L"\", it holds " + std::to_wstring(count));
  static const char digits[] = "0123456789ABCDEF";
  std::string hex = property + " = {";
  for (size_t i = 0; i < bitmap.size(); ++i) {
    if (i % 32 == 0) {
      hex += text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
      hex.append(indent + 2, ' ');
    }
    hex += digits[bitmap[i] >> 4];
    hex += digits[bitmap[i] & 15];
  }
  hex += "}";
  const size_t at = found + indent;
  return text.substr(0, at) + hex + text.substr(at + placeholder.size());
}

TBytes ToBinary(const std::string& text) {
  Owned<TBytesStream> in(Make<TBytesStream>(TBytes(text.begin(), text.end())));
  Owned<TMemoryStream> out(Make<TMemoryStream>());
  ObjectTextToBinary(in.get(), out.get());
  return BytesOf(out.get());
}

String Join(const String& folder, const String& name) {
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') return folder + L"\\" + name;
  return folder + name;
}

void Generate(const String& templateName, const String& outDir) {
  const TBytes imageList = MakeImageList();
  const TBytes jpeg = MakeJpeg();
  const TBytes pictureData = MakePictureData(jpeg);
  const TBytes templateBytes = ReadFileBytes(templateName);
  std::string definition;
  try {
    definition = FillTemplate(std::string(templateBytes.begin(), templateBytes.end()), "Bitmap", imageList);
    definition = FillTemplate(definition, "Picture.Data", pictureData);
  } catch (Exception& e) {
    e.Message = templateName + L": " + e.Message;
    throw;
  }
  TBytes binary;
  try {
    binary = ToBinary(definition);
  } catch (Exception& e) {
    e.Message = templateName + L": " + e.Message;
    throw;
  }
  WriteFileReplacing(Join(outDir, L"SmallImages.il"), imageList);
  WriteFileReplacing(Join(outDir, L"background.jpg"), jpeg);
  WriteFileReplacing(Join(outDir, L"background.picdata"), pictureData);
  WriteFileReplacing(Join(outDir, L"Unit5.txt"), TBytes(definition.begin(), definition.end()));
  WriteFileReplacing(Join(outDir, L"Unit5.bin"), binary);
}

// Graphics and image lists are all this tool needs of the GUI half: no
// window is made, so it also runs where there is no display.
std::vector<TModuleStep> Modules() {
  std::vector<TModuleStep> steps;
  for (const TModuleStep& s : PlatformCoreModules()) steps.push_back(s);
  for (const TModuleStep& s : PlatformGuiModules())
    if (String(s.Name) == L"Graphics" || String(s.Name) == L"ImgList") steps.push_back(s);
  return steps;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    WriteError(L"usage: appdata TEMPLATE OUTDIR");
    return 2;
  }
  int result = 1;
  // The module registry keeps pointers into the list until FinalizeModules.
  const std::vector<TModuleStep> modules = Modules();
  try {
    InitializeModules(modules);
    try {
      Generate(argv[1], argv[2]);
      result = 0;
    } catch (...) {
      FinalizeModules();
      throw;
    }
    FinalizeModules();
  } catch (const Exception& e) {
    WriteError(L"appdata: " + e.Message);
    result = 1;
  } catch (const std::exception& e) {
    const std::string what = e.what();
    WriteError(L"appdata: " + String(what.begin(), what.end()));
    result = 1;
  }
  return result;
}
