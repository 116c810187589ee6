#include "foundation/dxOffice11.h"

#include "foundation/dxThemeManager.h"
#include "foundation/dxUxTheme.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/GdiAccounting.h"

#include <algorithm>

TdxOffice11Palette dxOffice11Palette;

namespace {

int usersCount = 0;
int currentScheme = dxOffice11SchemeNone;
bool schemeThemed = false;

// The colour tables of the blue, olive and silver schemes, columns T0..T36.
constexpr int kSchemeColumns = 37;
constexpr TColor kSchemeColors[3][kSchemeColumns] = {
    {0xFEECDD, 0xE2A981, 0xF5BE9E, 0xF9DAC3, 0x913500, 0xF1A675, 0x76C1FF, 0xD3F8FF, 0x98DDFF,
     0x5295FE, 0x9C613B, 0xE0A47B, 0x764127, 0xFFFFFF, 0xCB8C6A, 0xFFF9F1, 0xC9662A, 0xF9DBC4,
     0x962D00, 0xF6F6F6, 0xC2EEFF, 0x800000, 0xCCF4FF, 0x91D0FF, 0x8ED3FF, 0x4E91FE, 0xFCE1CB,
     0x6FC0FF, 0x3E80FE, 0xF0C7A9, 0x000000, 0x8D8D8D, 0xFBDABE, 0x94E6FB, 0xFADAC4, 0x962D00,
     0xB96837},
    {0xDEF7F4, 0x91C6B7, 0xA7D9D9, 0xE4F0F2, 0x6B7760, 0x8CC2B0, 0x76C1FF, 0xD3F8FF, 0x98DDFF,
     0x5295FE, 0x588060, 0x8FC4B5, 0x335E51, 0xFFFFFF, 0x588060, 0xDEF7F4, 0x5E8674, 0xADDEE1,
     0x5E8D75, 0xEEF4F4, 0xC2EEFF, 0x385D3F, 0xCCF4FF, 0x91D0FF, 0x8ED3FF, 0x4E91FE, 0xB6E3D8,
     0x6FC0FF, 0x3E80FE, 0x9FD4C5, 0x000000, 0x8D8D8D, 0x91BAAF, 0x94E6FB, 0xE4F1F2, 0x588060,
     0x548973},
    {0xFAF4F3, 0xB59799, 0xE5D7D7, 0xF7F3F3, 0x927476, 0xC8B2B3, 0x76C1FF, 0xD3F8FF, 0x98DDFF,
     0x5295FE, 0x947C7C, 0xB09193, 0x755454, 0xFFFFFF, 0x8F6D6E, 0xFFFFFF, 0x99797A, 0xE4DADB,
     0x947C7C, 0xFFFAFD, 0xC2EEFF, 0x6F4B4B, 0xCCF4FF, 0x91D0FF, 0x8ED3FF, 0x4E91FE, 0xE7D3D6,
     0x6FC0FF, 0x3E80FE, 0xD3C0C0, 0x000000, 0x8D8D8D, 0xEBE5E5, 0x94E6FB, 0xF7F3F3, 0x947C7C,
     0x916F70}};
constexpr int kSchemeMidpoints[3] = {41, 125, 40};
constexpr int kClassicMidpoint = 75;

int Channel(TColor rgb, int shift) { return (rgb >> shift) & 0xFF; }
TColor MakeRGB(int r, int g, int b) { return r | (g << 8) | (b << 16); }
int Clamp255(int value) { return std::clamp(value, 0, 255); }

DWORD SystemMajorVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&info)) return 0;
#pragma GCC diagnostic pop
  return info.dwMajorVersion;
}

// ---------------------------------------------------------------------------
// The palette
// ---------------------------------------------------------------------------

void BuildThemedPalette(int scheme) {
  const TColor* t = kSchemeColors[scheme - 1];
  TdxOffice11Palette& p = dxOffice11Palette;
  p.ToolbarLight = t[0];
  p.ToolbarDark = t[1];
  p.DockFirst = t[2];
  p.DockSecond = t[3];
  p.MarkA[0] = t[5];
  p.MarkA[1] = t[7];
  p.MarkA[2] = t[9];
  p.MarkB[0] = t[4];
  p.MarkB[1] = t[6];
  p.MarkB[2] = t[8];
  p.MarkBase = t[11];
  for (int i = 0; i < 3; ++i) {
    p.MarkC[i] = dxMixColors(p.MarkA[i], p.ToolbarLight, 90);
    p.MarkD[i] = dxMixColors(p.MarkB[i], p.MarkBase, 50);
  }
  p.BarEdge = t[10];
  p.GripDark = t[12];
  p.GripLight = t[13];
  p.SeparatorDark = t[14];
  p.SeparatorLight = t[15];
  p.MarkGlyph = clBlack;
  p.MarkGlyphShadow = clWhite;
  p.FloatingFrame = t[16];
  p.FloatingFrameInner = t[17];
  p.CaptionText = clWhite;
  p.MarkArrow1 = clBlack;
  p.MarkArrow2 = clBlack;
  p.MenuBack = t[19];
  p.MenuFrame = t[18];
  p.Selected = t[20];
  p.SelectedFrame = t[21];
  p.HotFirst = t[22];
  p.HotSecond = t[23];
  p.PressedFirst = t[24];
  p.PressedSecond = t[25];
  p.Checked = t[26];
  p.Downed = t[27];
  p.DownedSelected = t[28];
  p.DetachCaption = t[29];
  p.Text = t[30];
  p.DisabledText = t[31];
  p.Group = t[32];
  p.DateNavigatorSelection = t[33];
  p.SchedulerControl = t[34];
  p.SchedulerFrame = t[35];
  p.GroupRowContent = 0xC9EEFD;
  p.GroupRowText = t[36];
  p.GroupRowSeparator = p.MarkBase;
  p.GradientMidpoint = kSchemeMidpoints[scheme - 1];
}

void BuildClassicPalette() {
  TdxOffice11Palette& p = dxOffice11Palette;
  const TColor face = ColorToRGB(clBtnFace);
  const TColor window = ColorToRGB(clWindow);
  const TColor shadow = ColorToRGB(clBtnShadow);
  p.ToolbarLight = dxMixColors(clBtnFace, clWindow, 22);
  p.ToolbarDark = dxMixColors(clBtnFace, clWindow, 96);
  p.DockFirst = face;
  p.DockSecond = dxMixColors(clBtnFace, clWindow, 20);
  p.MarkA[0] = dxMixColors(clBtnShadow, clWindow, 74);
  p.MarkB[0] = shadow;
  p.MarkA[1] = p.MarkB[1] = dxNearestScreenColor(dxBlendLightColor(-15, 29, 86));
  p.MarkA[2] = p.MarkB[2] = dxNearestScreenColor(dxBlendLightColor(42, 11, 47));
  p.MarkBase = face;
  for (int i = 0; i < 3; ++i) {
    p.MarkC[i] = dxMixColors(p.MarkB[i], clWindow, 50);
    p.MarkD[i] = dxMixColors(p.MarkB[i], p.MarkBase, 50);
  }
  p.BarEdge = dxMixColors(clBtnFace, clWindow, 85);
  p.GripDark = dxMixColors(clBtnShadow, clWindow, 76);
  p.GripLight = window;
  p.SeparatorDark = dxMixColors(clBtnShadow, clWindow, 70);
  p.SeparatorLight = clWhite;
  p.MarkGlyph = ColorToRGB(clBtnText);
  p.MarkGlyphShadow = window;
  p.FloatingFrame = shadow;
  p.FloatingFrameInner = p.ToolbarDark;
  p.CaptionText = ColorToRGB(clBtnHighlight);
  p.MarkArrow1 = p.MarkArrow2 = ColorToRGB(clBtnText);
  p.MenuBack = window;
  p.MenuFrame = shadow;
  p.Selected = dxNearestScreenColor(dxBlendLightColor(-2, 30, 72));
  p.SelectedFrame = ColorToRGB(clHighlight);
  p.HotFirst = p.HotSecond = p.Selected;
  p.Checked = p.ToolbarDark;
  p.Downed = dxBlendLightColor(41, 11, 48);
  p.DownedSelected = dxNearestScreenColor(dxBlendLightColor(14, 44, 40));
  p.PressedFirst = p.PressedSecond = p.DownedSelected;
  p.DetachCaption = p.Checked;
  p.Text = ColorToRGB(clBtnText);
  p.DisabledText = ColorToRGB(clGrayText);
  p.Group = face;
  p.DateNavigatorSelection = p.Downed;
  p.SchedulerControl = p.DockFirst;
  p.SchedulerFrame = p.MenuFrame;
  p.GroupRowContent = face;
  p.GroupRowText = shadow;
  p.GroupRowSeparator = shadow;
  p.GradientMidpoint = kClassicMidpoint;
}

void dxBuildOffice11Palette() {
  const int scheme = dxDetectOffice11Scheme();
  currentScheme = scheme;
  schemeThemed = dxAreThemesUsable() && scheme != dxOffice11SchemeNone;
  if (schemeThemed)
    BuildThemedPalette(scheme);
  else
    BuildClassicPalette();
  // The copies common to both, taken after their sources were set.
  TdxOffice11Palette& p = dxOffice11Palette;
  p.FloatingCaption = p.ToolbarLight;
  p.FloatingCaptionBack = p.FloatingFrame;
  p.MenuSideLight = p.ToolbarLight;
  p.MenuSideDark = p.ToolbarDark;
  p.MenuSideLightShade = dxMixColors(p.MenuSideLight, clBlack, 92);
  p.MenuSideDarkShade = dxMixColors(p.MenuSideDark, clBlack, 92);
  p.OwnerLinkLight = p.ToolbarLight;
  p.OwnerLinkDark = p.ToolbarDark;
  p.DateNavigatorHeader = p.DockFirst;
  p.GroupByBox = p.MarkD[0];
  p.ItemText = p.CaptionText;
  p.ControlFrame = p.MenuFrame;
}

// ---------------------------------------------------------------------------
// Brushes and bitmaps
// ---------------------------------------------------------------------------

HBRUSH SolidBrush(TColor color) {
  LOGBRUSH brush{BS_SOLID, static_cast<COLORREF>(ColorToRGB(color)), 0};
  return GdiCreateBrush(brush);
}

void FreeBrush(HBRUSH& brush) {
  if (brush) GdiDeleteObject(brush);
  brush = nullptr;
}

HINSTANCE ResourceModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&dxAddOffice11ColorsUser), &module);
  return module;
}

// An empty bitmap when the program lacks the resource: the painters then
// draw nothing for it rather than fail.
TBitmap* LoadResourceBitmap(const Char* name) {
  auto* bitmap = Make<TBitmap>();
  const HINSTANCE module = ResourceModule();
  if (FindResourceW(module, name, RT_BITMAP)) {
    try {
      bitmap->LoadFromResourceName(module, name);
    } catch (...) {
      TObject::Free(bitmap);
      throw;
    }
  }
  return bitmap;
}

void dxFreeOffice11Brushes() {
  TdxOffice11Palette& p = dxOffice11Palette;
  for (HBRUSH* brush : {&p.GripDarkBrush, &p.GripLightBrush, &p.SeparatorDarkBrush,
                        &p.SeparatorLightBrush, &p.MenuFrameBrush, &p.MenuBackBrush,
                        &p.SelectedFrameBrush, &p.CheckedBrush, &p.DownedBrush,
                        &p.DownedSelectedBrush, &p.DetachCaptionBrush, &p.SelectedBrush,
                        &p.GroupByBoxBrush})
    FreeBrush(*brush);
  FreeAndNil(p.SubMenuExpandBitmap);
  FreeAndNil(p.ExpandButtonMinusBitmap);
  FreeAndNil(p.ExpandButtonPlusBitmap);
}

void dxBuildOffice11Brushes() {
  TdxOffice11Palette& p = dxOffice11Palette;
  try {
    p.GripDarkBrush = SolidBrush(p.GripDark);
    p.GripLightBrush = SolidBrush(p.GripLight);
    p.SeparatorDarkBrush = SolidBrush(p.SeparatorDark);
    p.SeparatorLightBrush = SolidBrush(p.SeparatorLight);
    p.MenuFrameBrush = SolidBrush(p.MenuFrame);
    p.MenuBackBrush = SolidBrush(p.MenuBack);
    p.SelectedFrameBrush = SolidBrush(p.SelectedFrame);
    p.CheckedBrush = SolidBrush(p.Checked);
    p.DownedBrush = SolidBrush(p.Downed);
    p.DownedSelectedBrush = SolidBrush(p.DownedSelected);
    p.DetachCaptionBrush = SolidBrush(p.DetachCaption);
    p.SelectedBrush = SolidBrush(p.Selected);
    p.GroupByBoxBrush = SolidBrush(p.GroupByBox);
    p.SubMenuExpandBitmap = LoadResourceBitmap(L"DXSUBMENUEXPAND");
    dxRecolorToGradient(p.SubMenuExpandBitmap, p.ToolbarLight, p.ToolbarDark);
    p.ExpandButtonMinusBitmap = LoadResourceBitmap(L"DXEXPANDBUTTON_MINUS");
    p.ExpandButtonPlusBitmap = LoadResourceBitmap(L"DXEXPANDBUTTON_PLUS");
  } catch (...) {
    dxFreeOffice11Brushes();
    throw;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Colour arithmetic
// ---------------------------------------------------------------------------

namespace {

int& ScreenColorBits() {
  static int bits = 0;   // not read yet
  return bits;
}

}  // namespace

void dxRefreshScreenColorDepth() {
  HDC dc = GetDC(nullptr);
  ScreenColorBits() = dc ? GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES) : 0;
  if (dc) ReleaseDC(nullptr, dc);
}

TColor dxNearestScreenColor(TColor color) {
  const TColor rgb = ColorToRGB(color);
  // A true-colour screen shows every colour as it is; asking the screen's device context
  // (a server round trip under Wine) matters only with fewer bits. Painting asks this for
  // many colours in every paint.
  if (ScreenColorBits() == 0) dxRefreshScreenColorDepth();
  if (ScreenColorBits() >= 24) return static_cast<TColor>(rgb & 0xFFFFFF);
  HDC dc = GetDC(nullptr);
  if (!dc) return rgb;
  const COLORREF nearest = GetNearestColor(dc, static_cast<COLORREF>(rgb));
  ReleaseDC(nullptr, dc);
  return nearest == CLR_INVALID ? rgb : static_cast<TColor>(nearest & 0xFFFFFF);
}

TColor dxMixColors(TColor color1, TColor color2, int percent) {
  const TColor c1 = ColorToRGB(color1), c2 = ColorToRGB(color2);
  int channels[3];
  for (int i = 0; i < 3; ++i) {
    const int shift = 8 * i;
    // Clamped at both ends: a weight outside 0..100 must not wrap a channel.
    channels[i] = Clamp255(MulDiv(Channel(c2, shift), 100 - percent, 100) +
                           MulDiv(Channel(c1, shift), percent, 100));
  }
  return dxNearestScreenColor(MakeRGB(channels[0], channels[1], channels[2]));
}

TColor dxBlendLightColor(int facePercent, int highlightPercent, int windowPercent) {
  const TColor face = ColorToRGB(clBtnFace), highlight = ColorToRGB(clHighlight),
               window = ColorToRGB(clWindow);
  if (face == clBlack || face == clWhite) return highlight;
  int channels[3];
  for (int i = 0; i < 3; ++i) {
    const int shift = 8 * i;
    channels[i] = Clamp255(MulDiv(Channel(face, shift), facePercent, 100) +
                           MulDiv(Channel(highlight, shift), highlightPercent, 100) +
                           MulDiv(Channel(window, shift), windowPercent, 100));
  }
  return MakeRGB(channels[0], channels[1], channels[2]);
}

bool dxIsButtonFaceBlack() { return ColorToRGB(clBtnFace) == clBlack; }
bool dxIsButtonFaceWhite() { return ColorToRGB(clBtnFace) == clWhite; }
bool dxIsHighContrastColoredText() {
  return dxIsButtonFaceBlack() && ColorToRGB(clBtnText) != clWhite;
}

void dxRecolorToGradient(TBitmap* bitmap, TColor color1, TColor color2) {
  if (!bitmap || bitmap->Empty()) return;
  TColor c1 = ColorToRGB(color1), c2 = ColorToRGB(color2);
  if (c1 == c2) c2 = c1 == clBlack ? clWhite : clBlack;
  bitmap->SetPixelFormat(pf24bit);
  GdiFlush();
  const int width = bitmap->Width(), height = bitmap->Height();
  auto pixel = [&](int x, int y) { return static_cast<Byte*>(bitmap->ScanLine(y)) + 3 * x; };
  auto rgbAt = [&](const Byte* p) { return MakeRGB(p[2], p[1], p[0]); };
  const TColor key = rgbAt(pixel(0, 0));
  auto recoloured = [&](TColor rgb) { return rgb != key && rgb != clBlack; };
  int least = 255, greatest = 1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const Byte* p = pixel(x, y);
      if (!recoloured(rgbAt(p))) continue;
      least = std::min<int>(least, p[2]);
      greatest = std::max<int>(greatest, p[2]);
    }
  const int range = greatest - least;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      Byte* p = pixel(x, y);
      if (!recoloured(rgbAt(p))) continue;
      // All shades equal (no range to spread over) all take the dark end,
      // as the least shade does, instead of a weight from a zero divisor.
      const int percent = range > 0 ? MulDiv(p[2] - least, 100, range) : 0;
      const TColor mixed = dxMixColors(c1, c2, percent);
      p[0] = static_cast<Byte>(Channel(mixed, 16));
      p[1] = static_cast<Byte>(Channel(mixed, 8));
      p[2] = static_cast<Byte>(Channel(mixed, 0));
    }
  bitmap->SetModified(true);
}

// ---------------------------------------------------------------------------
// Scheme and users
// ---------------------------------------------------------------------------

int dxDetectOffice11Scheme() {
  if (!dxAreThemesUsable()) return dxOffice11SchemeNone;
  Char fileName[1024], colorName[1024], sizeName[1024];
  if (FAILED(dxUxGetCurrentThemeName(fileName, 1024, colorName, 1024, sizeName, 1024)))
    return dxOffice11SchemeNone;
  if (UpperCase(ExtractFileName(fileName)) != L"LUNA.MSSTYLES" && SystemMajorVersion() <= 5)
    return dxOffice11SchemeNone;
  const String color = UpperCase(colorName);
  if (color == L"NORMALCOLOR") return dxOffice11SchemeBlue;
  if (color == L"HOMESTEAD") return dxOffice11SchemeOlive;
  if (color == L"METALLIC") return dxOffice11SchemeSilver;
  return dxOffice11SchemeNone;
}

int dxCurrentOffice11Scheme() { return currentScheme; }
bool dxIsOffice11SchemeThemed() { return schemeThemed; }
int dxOffice11ColorsUserCount() { return usersCount; }

void dxAddOffice11ColorsUser() {
  if (usersCount == 0) {
    dxBuildOffice11Palette();
    dxBuildOffice11Brushes();
  }
  ++usersCount;
}

void dxRemoveOffice11ColorsUser() {
  if (usersCount == 0) return;
  if (--usersCount == 0) dxFreeOffice11Brushes();
}

void dxReloadOffice11Colors() {
  dxBuildOffice11Palette();
  if (usersCount > 0) {
    dxFreeOffice11Brushes();
    dxBuildOffice11Brushes();
  }
}
