// Radio-button glyphs and the painters' module start-up.
#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPaintersStartup.h"

#include "foundation/cxGraphicsRoutines.h"
#include "foundation/cxLookAndFeelPaintersOffice11.h"
#include "foundation/cxLookAndFeelPaintersRegistry.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/dxOffice11.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/ImgList.h"

#include <algorithm>

namespace {

constexpr int kCombinationCount = 128;
constexpr int kOBMCheckBoxes = 32759;  // the platform's check-box glyph sheet
constexpr int kDefaultGlyphSize = 13;

TcxRadioButtonImageList* gRadioButtonImageList = nullptr;
int gModuleUsers = 0;
TcxSystemPaletteChangedNotifier* gPaletteNotifier = nullptr;

// A top-down 32-bit DIB with a memory DC, for reading what GDI drew.
class TScratch {
 public:
  TScratch(int AWidth, int AHeight) : FWidth(AWidth), FHeight(AHeight) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = AWidth;
    bi.bmiHeader.biHeight = -AHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    FDC = GdiCreateCompatibleDC(nullptr);
    FBitmap = FDC ? GdiCreateDIBSection(FDC, &bi, reinterpret_cast<void**>(&FBits)) : nullptr;
    if (!FBitmap) FBits = nullptr;
    FOld = FBitmap ? SelectObject(FDC, FBitmap) : nullptr;
  }
  ~TScratch() {
    if (FOld) SelectObject(FDC, FOld);
    GdiDeleteObject(FBitmap);
    GdiDeleteDC(FDC);
  }
  TScratch(const TScratch&) = delete;
  TScratch& operator=(const TScratch&) = delete;

  bool Valid() const { return FBits != nullptr; }
  HDC DC() const { return FDC; }
  void Fill(COLORREF AColor) {
    GdiFlush();
    const DWORD v = ToPixel(AColor);
    std::fill(FBits, FBits + FWidth * FHeight, v);
  }
  COLORREF Pixel(int X, int Y) const {
    const DWORD v = FBits[Y * FWidth + X];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  bool IsBlack(int X, int Y) const { return Pixel(X, Y) == RGB(0, 0, 0); }
  void Flush() const { GdiFlush(); }

 private:
  static DWORD ToPixel(COLORREF C) {
    return (GetRValue(C) << 16) | (GetGValue(C) << 8) | GetBValue(C);
  }
  int FWidth, FHeight;
  HDC FDC;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOld = nullptr;
  DWORD* FBits = nullptr;
};

// Draws a black shape with GDI on a white scratch bitmap; AFill fills it too.
void DrawBlackShape(TScratch& AScratch, const TRect& R, bool AFill, bool ARound) {
  AScratch.Fill(RGB(255, 255, 255));
  HGDIOBJ oldPen = SelectObject(AScratch.DC(), GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush =
      SelectObject(AScratch.DC(), GetStockObject(AFill ? BLACK_BRUSH : NULL_BRUSH));
  if (ARound)
    RoundRect(AScratch.DC(), R.Left, R.Top, R.Right, R.Bottom, R.Width(), R.Height());
  else
    Ellipse(AScratch.DC(), R.Left, R.Top, R.Right, R.Bottom);
  SelectObject(AScratch.DC(), oldBrush);
  SelectObject(AScratch.DC(), oldPen);
  AScratch.Flush();
}

TSize gGlyphSize{0, 0};
std::vector<int> gImageIndexes;

int CombinationNumber(TcxLookAndFeelKind AKind, TcxButtonState AState, bool AChecked,
                      bool AFocused, bool AIsDesigning) {
  return static_cast<int>(AState) + 8 * static_cast<int>(AKind) + 4 * (AChecked ? 1 : 0) +
         32 * (AIsDesigning ? 1 : 0) + 64 * (AFocused ? 1 : 0) - 1;
}

TColor Office11ButtonColor(TcxButtonState AState) {
  return TcxOffice11LookAndFeelPainter::Instance()->ButtonColor(AState);
}

TColor FaceColor(TcxLookAndFeelKind AKind, TcxButtonState AState) {
  if (AState == cxbsDisabled)
    return AKind == lfOffice11 ? Office11ButtonColor(cxbsDisabled) : clBtnFace;
  switch (AKind) {
    case lfUltraFlat:
      if (AState == cxbsHot) return cxPaleHighlightTintColor();
      if (AState == cxbsPressed) return cxHighlightTintColor();
      return clWindow;
    case lfOffice11:
      return AState == cxbsNormal ? clWindow : Office11ButtonColor(AState);
    default:
      return AState == cxbsPressed ? clBtnFace : clWindow;
  }
}

void DrawRadioImageHook(TcxCanvas* ACanvas, int X, int Y, TColor ABrushColor,
                        TcxLookAndFeelKind AKind, TcxButtonState AState, bool AChecked,
                        bool AFocused, bool AIsDesigning) {
  cxGetRadioButtonImageList()->Draw(ACanvas, X, Y, ABrushColor, AKind, AState, AChecked,
                                    AFocused, AIsDesigning);
}

TSize RadioImageSizeHook() { return cxGetRadioButtonImageList()->Size(); }

void RadioPaletteChanged() {
  if (gRadioButtonImageList) gRadioButtonImageList->Reset();
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxRadioButtonImageList
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TcxRadioButtonImageList, TObject, nullptr)

TcxRadioButtonImageList::TcxRadioButtonImageList() {
  Measure();
  try {
    FList = Make<TImageList>(nullptr, gGlyphSize.cx, gGlyphSize.cy);
    // A colour list: the glyph's shape comes from the mask, not from alpha.
    FList->SetColorDepth(cd24Bit);
    FList->SetMasked(true);
    FList->SetImageType(itImage);
    BuildPattern();
  } catch (...) {
    // The destructor does not run for an object whose constructor fails.
    FreeAndNil(FList);
    FreeAndNil(FButtonMask);
    throw;
  }
}

TcxRadioButtonImageList::~TcxRadioButtonImageList() {
  FreeAndNil(FList);
  FreeAndNil(FButtonMask);
}

void TcxRadioButtonImageList::Measure() {
  int cellWidth = kDefaultGlyphSize, cellHeight = kDefaultGlyphSize;
  if (HBITMAP sheet = GdiLoadBitmap(nullptr, MAKEINTRESOURCEW(kOBMCheckBoxes))) {
    BITMAP info{};
    if (GetObjectW(sheet, sizeof(info), &info) && info.bmWidth >= 4 && info.bmHeight >= 3) {
      cellWidth = info.bmWidth / 4;
      cellHeight = info.bmHeight / 3;
    }
    GdiDeleteObject(sheet);
  }
  TScratch scratch(cellWidth, cellHeight);
  int w = 0, h = 0, left = -1, top = -1;
  if (scratch.Valid()) {
    RECT r = {0, 0, cellWidth, cellHeight};
    scratch.Fill(RGB(0, 0, 0));
    DrawFrameControl(scratch.DC(), &r, DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_FLAT);
    scratch.Flush();
    for (int x = 0; x < cellWidth; ++x)
      for (int y = 0; y < cellHeight; ++y)
        if (scratch.IsBlack(x, y)) {
          if (left < 0) left = x;
          ++w;
          break;
        }
    for (int y = 0; y < cellHeight; ++y)
      for (int x = 0; x < cellWidth; ++x)
        if (scratch.IsBlack(x, y)) {
          if (top < 0) top = y;
          ++h;
          break;
        }
  }
  if (w < 3 || h < 3) {
    // The platform drew nothing usable: fall back to the classic glyph size.
    w = std::min(kDefaultGlyphSize, cellWidth);
    h = std::min(kDefaultGlyphSize, cellHeight);
    left = top = 0;
  }
  gGlyphSize = TSize{w, h};
  FRadioButtonRect = TRect(left, top, left + w, top + h);

  // The dot: the run of window-text pixels through the glyph's centre.
  const int cx = left + w / 2 - 1, cy = top + h / 2 - 1;
  FRadioButtonCheckRect = TRect(cx - 1, cy - 1, cx + 3, cy + 3);
  if (scratch.Valid()) {
    RECT r = {0, 0, cellWidth, cellHeight};
    scratch.Fill(RGB(0, 0, 0));
    DrawFrameControl(scratch.DC(), &r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED | DFCS_FLAT);
    scratch.Flush();
    const COLORREF dot = ColorToRGB(clWindowText);
    if (scratch.Pixel(cx, cy) == dot) {
      int t = cy, b = cy, l = cx, rr = cx;
      while (t - 1 >= top && scratch.Pixel(cx, t - 1) == dot) --t;
      while (b + 1 < top + h && scratch.Pixel(cx, b + 1) == dot) ++b;
      while (l - 1 >= left && scratch.Pixel(l - 1, cy) == dot) --l;
      while (rr + 1 < left + w && scratch.Pixel(rr + 1, cy) == dot) ++rr;
      FRadioButtonCheckRect = TRect(l, t, rr + 1, b + 1);
    }
  }
}

void TcxRadioButtonImageList::BuildPattern() {
  const int w = gGlyphSize.cx, h = gGlyphSize.cy;
  FRadioButtonPattern.assign(h, std::vector<int>(w, pcNone));

  // The mask: opaque (black) over the round glyph, transparent elsewhere.
  FButtonMask = Make<TBitmap>();
  {
    HBITMAP mask = GdiCreateBitmap(w, h, 1, 1, nullptr);
    HDC dc = mask ? GdiCreateCompatibleDC(nullptr) : nullptr;
    if (!dc) {
      GdiDeleteObject(mask);
      throw EOutOfResources(L"Out of system resources");
    }
    HGDIOBJ old = SelectObject(dc, mask);
    RECT all = {0, 0, w, h};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    RoundRect(dc, 0, 0, w, h, w, h);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    SelectObject(dc, old);
    GdiDeleteDC(dc);
    GdiDisown(mask);   // the bitmap adopts it
    FButtonMask->SetHandle(mask);
  }

  auto lowerRight = [&](int i, int j) { return (h - 1) * (w - j - 1) < i * (w - 1); };
  auto onDiagonal = [&](int i, int j) { return (h - 1) * (w - j - 1) == i * (w - 1); };

  TScratch scratch(w, h);
  // Without it the pattern would stay blank and every glyph invisible.
  if (!scratch.Valid()) throw EOutOfResources(L"Out of system resources");
  // Outer ring.
  DrawBlackShape(scratch, TRect(0, 0, w, h), false, true);
  for (int i = 0; i < h; ++i)
    for (int j = 0; j < w; ++j)
      if (scratch.IsBlack(j, i)) FRadioButtonPattern[i][j] = lowerRight(i, j) ? pcOuterLR : pcOuterUL;

  auto isRing = [&](int i, int j) {
    const int c = FRadioButtonPattern[i][j];
    return c == pcOuterUL || c == pcOuterLR;
  };
  auto setInner = [&](int i, int j) {
    const bool lr = lowerRight(i, j) || (onDiagonal(i, j) && j > w / 2 - 1);
    FRadioButtonPattern[i][j] = lr ? pcInnerLR : pcInnerUL;
  };

  // Face: every row walked outward from the centre column up to the ring.
  for (int i = 1; i <= h - 2; ++i) {
    for (int j = w / 2; j < w && !isRing(i, j); ++j)
      if (FRadioButtonPattern[i][j] == pcNone) FRadioButtonPattern[i][j] = pcFace;
    for (int j = w / 2 - 1; j >= 0 && !isRing(i, j); --j)
      if (FRadioButtonPattern[i][j] == pcNone) FRadioButtonPattern[i][j] = pcFace;
  }

  // Inner ring: the last face pixel before the ring on every walk; on the
  // outermost rows (columns) that have any face, every face pixel.
  auto walkRows = [&]() {
    int first = -1, last = -1;
    for (int i = 1; i <= h - 2; ++i)
      if (!isRing(i, w / 2)) {
        if (first < 0) first = i;
        last = i;
      }
    for (int i = 1; i <= h - 2; ++i) {
      const bool whole = i == first || i == last;
      for (int dir : {1, -1}) {
        int j = dir > 0 ? w / 2 : w / 2 - 1;
        int lastFace = -1;
        for (; j >= 0 && j < w && !isRing(i, j); j += dir) {
          if (whole) setInner(i, j);
          lastFace = j;
        }
        if (lastFace >= 0) setInner(i, lastFace);
      }
    }
  };
  auto walkColumns = [&]() {
    int first = -1, last = -1;
    for (int j = 1; j <= w - 2; ++j)
      if (!isRing(h / 2, j)) {
        if (first < 0) first = j;
        last = j;
      }
    for (int j = 1; j <= w - 2; ++j) {
      const bool whole = j == first || j == last;
      for (int dir : {1, -1}) {
        int i = dir > 0 ? h / 2 : h / 2 - 1;
        int lastFace = -1;
        for (; i >= 0 && i < h && !isRing(i, j); i += dir) {
          if (whole) setInner(i, j);
          lastFace = i;
        }
        if (lastFace >= 0) setInner(lastFace, j);
      }
    }
  };
  walkRows();
  walkColumns();

  // Dot.
  TRect dot = FRadioButtonCheckRect;
  dot = TRect(dot.Left - FRadioButtonRect.Left, dot.Top - FRadioButtonRect.Top,
              dot.Right - FRadioButtonRect.Left, dot.Bottom - FRadioButtonRect.Top);
  DrawBlackShape(scratch, dot, true, false);
  for (int i = 0; i < h; ++i)
    for (int j = 0; j < w; ++j)
      if (scratch.IsBlack(j, i)) FRadioButtonPattern[i][j] = pcDot;
}

TColor TcxRadioButtonImageList::PatternColor(int ACode, TcxLookAndFeelKind AKind,
                                             TcxButtonState AState, bool AChecked,
                                             bool AFocused, bool AIsDesigning) {
  const TColor face = FaceColor(AKind, AState);
  const bool disabled = AState == cxbsDisabled;
  switch (ACode) {
    case pcFace:
      return face;
    case pcDot:
      if (!AChecked) return face;
      if (!disabled) return clWindowText;
      return AKind == lfOffice11 ? dxOffice11Palette.DisabledText : clBtnShadow;
    default:
      break;
  }
  const bool active = AFocused || AState == cxbsHot || AState == cxbsPressed ||
                      (AIsDesigning && !disabled);
  switch (AKind) {
    case lfFlat:
    case lfStandard: {
      if (ACode == pcOuterUL) return clBtnShadow;
      if (ACode == pcOuterLR) return clBtnHighlight;
      if (ACode == pcInnerUL) return AKind == lfFlat ? cl3DLight : cl3DDkShadow;
      if (ACode == pcInnerLR) return cl3DLight;
      return face;
    }
    case lfUltraFlat:
      if (ACode == pcOuterUL || ACode == pcOuterLR) return active ? clHighlight : clBtnShadow;
      return face;
    case lfOffice11:
      if (ACode == pcOuterUL || ACode == pcOuterLR) {
        if (disabled) return dxOffice11Palette.DisabledText;
        return active ? dxOffice11Palette.SelectedFrame : clBtnText;
      }
      return face;
    default:
      return face;
  }
}

void TcxRadioButtonImageList::Prepare() {
  if (FList->Count() > 0) return;
  const int w = gGlyphSize.cx, h = gGlyphSize.cy;
  if (w <= 0 || h <= 0) return;
  gImageIndexes.assign(kCombinationCount, -1);
  TBitmap* image = Make<TBitmap>();
  try {
    image->SetPixelFormat(pf32bit);
    image->SetSize(w, h);
    for (int focused = 0; focused <= 1; ++focused)
      for (int designing = 0; designing <= 1; ++designing)
        for (int kind = lfFlat; kind <= lfOffice11; ++kind)
          for (int checked = 0; checked <= 1; ++checked)
            for (int state = cxbsNormal; state <= cxbsDisabled; ++state) {
              const auto k = static_cast<TcxLookAndFeelKind>(kind);
              const auto s = static_cast<TcxButtonState>(state);
              TColor colors[pcDot + 1];
              for (int code = pcNone; code <= pcDot; ++code)
                colors[code] = ColorToRGB(
                    code == pcNone ? clBlack
                                   : PatternColor(code, k, s, checked, focused, designing));
              for (int i = 0; i < h; ++i) {
                auto* row = static_cast<DWORD*>(image->ScanLine(i));
                for (int j = 0; j < w; ++j) {
                  const COLORREF c = colors[FRadioButtonPattern[i][j]];
                  row[j] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
                }
              }
              const int n = CombinationNumber(k, s, checked, focused, designing);
              gImageIndexes[n] = FList->Add(image, FButtonMask);
            }
  } catch (...) {
    TObject::Free(image);
    throw;
  }
  TObject::Free(image);
}

void TcxRadioButtonImageList::Reset() {
  FList->Clear();
  Prepare();
}

TSize TcxRadioButtonImageList::Size() const {
  return TSize{FList->Width(), FList->Height()};
}

void TcxRadioButtonImageList::Draw(TcxCanvas* ACanvas, int X, int Y, TColor ABrushColor,
                                   TcxLookAndFeelKind ALookAndFeelKind,
                                   TcxButtonState AButtonState, bool AChecked, bool AFocused,
                                   bool AIsDesigning) {
  Prepare();
  // The default state has no image of its own; it shows as a normal button
  // instead of reaching before the first image (or into another state's).
  const TcxButtonState state = AButtonState == cxbsDefault ? cxbsNormal : AButtonState;
  const int n = CombinationNumber(ALookAndFeelKind, state, AChecked, AFocused, AIsDesigning);
  if (n < 0 || n >= static_cast<int>(gImageIndexes.size()) || gImageIndexes[n] < 0) return;
  const int index = gImageIndexes[n];
  if (ABrushColor == clDefault) {
    FList->Draw(ACanvas->Canvas(), X, Y, index);
    return;
  }
  TBitmap* square = Make<TBitmap>();
  try {
    square->SetSize(FList->Width(), FList->Height());
    square->Canvas()->Brush()->SetColor(ABrushColor);
    square->Canvas()->FillRect(TRect(0, 0, FList->Width(), FList->Height()));
    FList->Draw(square->Canvas(), 0, 0, index);
    ACanvas->Draw(X, Y, square);
  } catch (...) {
    TObject::Free(square);
    throw;
  }
  TObject::Free(square);
}

TcxRadioButtonImageList* cxGetRadioButtonImageList() {
  if (!gRadioButtonImageList) {
    TObjectPtr<TcxRadioButtonImageList> list(Make<TcxRadioButtonImageList>());
    list->Prepare();   // kept only once prepared
    gRadioButtonImageList = list.release();
  }
  return gRadioButtonImageList;
}

// ---------------------------------------------------------------------------
// Module
// ---------------------------------------------------------------------------

namespace {

// Rebuilds the radio glyphs before any look-and-feel hears of a colour change.
class TSystemPaletteChangedNotifier : public TcxSystemPaletteChangedNotifier {
 public:
  TSystemPaletteChangedNotifier() : TcxSystemPaletteChangedNotifier(true) {}
  void FirePaletteChanged() override {
    RadioPaletteChanged();
    TcxSystemPaletteChangedNotifier::FirePaletteChanged();
  }
};

}  // namespace

void cxLookAndFeelPaintersInitialize() {
  if (gModuleUsers++ > 0) return;
  // The registry, indicator images, scroll-bar patterns and check glyph size.
  cxLookAndFeelPaintersRegistryInitialize();
  gPaletteNotifier = Make<TSystemPaletteChangedNotifier>();
  cxDrawRadioButtonImageHook = DrawRadioImageHook;
  cxRadioButtonImageSizeHook = RadioImageSizeHook;
}

void cxLookAndFeelPaintersFinalize() {
  if (gModuleUsers == 0 || --gModuleUsers > 0) return;
  cxDrawRadioButtonImageHook = nullptr;
  cxRadioButtonImageSizeHook = nullptr;
  FreeAndNil(gPaletteNotifier);
  FreeAndNil(gRadioButtonImageList);
  gImageIndexes.clear();
  cxLookAndFeelPaintersRegistryFinalize();
}
