// The Office 2003 look: one process-wide palette of colours, brushes and
// bitmaps, taken from fixed tables for the blue, olive and silver colour
// schemes of the standard visual style or derived from the system colours,
// and the drawing routines the Office 2003 painters share (fills, gradients,
// grip dots, arrows).
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"
#include "platform/gui/Graphics.h"

// Scheme numbers.
constexpr int dxOffice11SchemeNone = 0;
constexpr int dxOffice11SchemeBlue = 1;
constexpr int dxOffice11SchemeOlive = 2;
constexpr int dxOffice11SchemeSilver = 3;

// Every colour is an RGB value (system colours already resolved). The mark
// arrays are indexed by the state of a toolbar's mark: none, selected, pressed.
struct TdxOffice11Palette {
  TColor ToolbarLight, ToolbarDark, DockFirst, DockSecond;
  TColor MarkA[3], MarkB[3], MarkBase, MarkC[3], MarkD[3];
  TColor BarEdge, GripDark, GripLight, SeparatorDark, SeparatorLight;
  TColor MarkGlyph, MarkGlyphShadow;
  TColor FloatingFrame, FloatingFrameInner, FloatingCaption, FloatingCaptionBack, CaptionText;
  TColor MarkArrow1, MarkArrow2;
  TColor MenuBack, MenuSideLight, MenuSideDark, MenuSideLightShade, MenuSideDarkShade;
  TColor OwnerLinkLight, OwnerLinkDark, MenuFrame;
  TColor Selected, SelectedFrame, HotFirst, HotSecond, PressedFirst, PressedSecond;
  TColor Checked, Downed, DownedSelected, DetachCaption, Text, DisabledText;
  TColor DateNavigatorHeader, GroupByBox, ItemText, ControlFrame, Group, DateNavigatorSelection;
  TColor SchedulerControl, SchedulerFrame, GroupRowContent, GroupRowText, GroupRowSeparator;
  // Percent of the way from the first colour to the second (times two) that
  // the banded gradient reaches at its middle.
  int GradientMidpoint;

  // Solid brushes of the colours of the same names; they exist while the
  // palette has users. MenuFrameBrush also serves static borders,
  // MenuBackBrush drop-down list borders, SelectedBrush the selected toolbar
  // item of menus.
  HBRUSH GripDarkBrush, GripLightBrush, SeparatorDarkBrush, SeparatorLightBrush;
  HBRUSH MenuFrameBrush, MenuBackBrush, SelectedFrameBrush, CheckedBrush, DownedBrush;
  HBRUSH DownedSelectedBrush, DetachCaptionBrush, SelectedBrush, GroupByBoxBrush;

  // "DXSUBMENUEXPAND" recoloured to the toolbar gradient, and the 11 x 11
  // expand buttons "DXEXPANDBUTTON_MINUS" and "DXEXPANDBUTTON_PLUS"; they
  // exist while the palette has users (empty when the program lacks them).
  TBitmap* SubMenuExpandBitmap;
  TBitmap* ExpandButtonMinusBitmap;
  TBitmap* ExpandButtonPlusBitmap;
};
extern TdxOffice11Palette dxOffice11Palette;

// The fixed corner colours of the expand buttons.
constexpr TColor dxOffice11ExpandButtonLightCorner = 0xBFAE9E;
constexpr TColor dxOffice11ExpandButtonDarkCorner = 0x5F462E;

// The first user builds the palette, its brushes and bitmaps; every call
// counts one user.
void dxAddOffice11ColorsUser();
// The last user frees brushes and bitmaps; the colours keep their values.
void dxRemoveOffice11ColorsUser();
// Rebuilds the colours, and the brushes and bitmaps while there are users
// (after a system colour or visual style change).
void dxReloadOffice11Colors();
int dxOffice11ColorsUserCount();

int dxCurrentOffice11Scheme();
// Visual styles are usable and a scheme was recognised at the last build.
bool dxIsOffice11SchemeThemed();
// The scheme of the current visual style: 0 unless styles are usable and
// the style is the standard one (any style from Windows 6.0 on) in the
// colour "NormalColor" (1), "HomeStead" (2) or "Metallic" (3).
int dxDetectOffice11Scheme();

bool dxIsButtonFaceBlack();
bool dxIsButtonFaceWhite();
bool dxIsHighContrastColoredText();

// Channel by channel APercent of color1 and the rest of color2, as the
// screen can show it.
TColor dxMixColors(TColor color1, TColor color2, int percent);
// Percentages of the button face, highlight and window colours added per
// channel (they may be negative); the highlight colour itself when the
// button face is black or white.
TColor dxBlendLightColor(int facePercent, int highlightPercent, int windowPercent);
TColor dxNearestScreenColor(TColor color);
// Reads the screen's colour depth again (the display mode changed).
void dxRefreshScreenColorDepth();
// Maps every pixel that is neither the key colour (the pixel at 0, 0) nor
// black onto the gradient from color1 (greatest red) to color2 (least red);
// color2 becomes black, or white for a black color1, when both are equal.
void dxRecolorToGradient(TBitmap* bitmap, TColor color1, TColor color2);

// ---------------------------------------------------------------------------
// Drawing (colours may be system colours; they are resolved first)
// ---------------------------------------------------------------------------

void dxFillSolidRect(HDC dc, const TRect& r, TColor color);
void dxFrameSolidRect(HDC dc, const TRect& r, TColor color);
// A two-colour linear gradient, left to right when horizontal, else top to
// bottom: through GradientFill when the system has it, else in bands.
void dxFillGradientRect(HDC dc, const TRect& r, TColor color1, bool horizontal, TColor color2);
void dxFillGradientRect(HDC dc, const TRect& r, TColor color1, TColor color2, bool horizontal);
// The gradient in at most 256 bands.
void dxFillLinearBands(HDC dc, const TRect& r, TColor color1, bool horizontal, TColor color2);
// One-pixel lines in two linear segments meeting at the middle, where the
// colour is GradientMidpoint / 200 of the way from color1 to color2.
void dxFillBandedGradient(HDC dc, const TRect& r, TColor color1, bool horizontal, TColor color2);
void dxFillBandedGradient(HDC dc, const TRect& r, TColor color1, TColor color2, bool horizontal);
// The band colour at a coordinate of such a linear gradient (positions
// outside the rectangle give the end colours).
TColor dxGetGradientColorAt(const TRect& r, int pos, TColor color1, bool horizontal, TColor color2);
TColor dxGetGradientColorAt(const TRect& r, int pos, TColor color1, TColor color2, bool horizontal);
// A one-pixel frame in the palette's selected-frame colour, or in the
// highlight text colour on a black button face or high-contrast text.
void dxFrameRectContrastAware(HDC dc, const TRect& r);
// Grip dots every 4 pixels along R; null brushes mean the palette's grip brushes.
void dxDrawGripDots(HDC dc, const TRect& r, bool vertical, HBRUSH lightBrush = nullptr,
                    HBRUSH darkBrush = nullptr);
// A size grip of 3 + 2 + 1 dots in R's bottom-right corner; clDefault means
// the palette's grip colour.
void dxDrawGripTriangle(HDC dc, const TRect& r, TColor lightColor = clDefault,
                        TColor darkColor = clDefault);
// A filled arrow pointing right (horizontal) or down, sized from R.
void dxDrawArrowInRect(HDC dc, const TRect& r, bool horizontal, bool enabled, bool highlighted);
void dxDrawArrowGlyph(HDC dc, const TRect& r, bool horizontal, int size, bool highlighted,
                      bool enabled);
// GradientFill was found in "msimg32.dll" at start-up.
bool dxGradientFillAvailable();

void dxOffice11Initialize();
void dxOffice11Finalize();

// ---------------------------------------------------------------------------
// The palette under the names the toolbar and editor painters use
// ---------------------------------------------------------------------------

inline TColor dxOffice11Color1() { return dxOffice11Palette.ToolbarLight; }
inline TColor dxOffice11Color2() { return dxOffice11Palette.ToolbarDark; }
inline TColor dxOffice11DockGradientFirst() { return dxOffice11Palette.DockFirst; }
inline TColor dxOffice11DockGradientLast() { return dxOffice11Palette.DockSecond; }
inline TColor dxOffice11BarGradientFirst() { return dxOffice11Palette.ToolbarLight; }
inline TColor dxOffice11BarGradientLast() { return dxOffice11Palette.ToolbarDark; }
inline TColor dxOffice11MarkGradientFirst(int markState) { return dxOffice11Palette.MarkA[markState]; }
inline TColor dxOffice11MarkGradientLast(int markState) { return dxOffice11Palette.MarkB[markState]; }
inline TColor dxOffice11MarkCornerColors(int markState) { return dxOffice11Palette.MarkC[markState]; }
inline TColor dxOffice11BarEdgeColor() { return dxOffice11Palette.BarEdge; }
inline TColor dxOffice11BarCornerColor() { return dxOffice11Palette.MarkBase; }
inline TColor dxOffice11MenuSeparatorColor() { return dxOffice11Palette.SeparatorDark; }
inline TColor dxOffice11MarkArrowColor() { return dxOffice11Palette.MarkGlyph; }
inline TColor dxOffice11MarkArrowShadowColor() { return dxOffice11Palette.MarkGlyphShadow; }
inline TColor dxOffice11MarkGlyphHotColor() { return dxOffice11Palette.MarkArrow1; }
inline TColor dxOffice11MarkGlyphPressedColor() { return dxOffice11Palette.MarkArrow2; }
inline TColor dxOffice11FloatingBorderColor() { return dxOffice11Palette.FloatingFrame; }
inline TColor dxOffice11FloatingInnerBorderColor() { return dxOffice11Palette.FloatingFrameInner; }
inline TColor dxOffice11FloatingCaptionFillColor() { return dxOffice11Palette.FloatingCaption; }
inline TColor dxOffice11FloatingCaptionBackColor() { return dxOffice11Palette.FloatingCaptionBack; }
inline TColor dxOffice11FloatingCaptionTextColor() { return dxOffice11Palette.CaptionText; }
inline TColor dxOffice11OwnerLinkGradientFirst() { return dxOffice11Palette.OwnerLinkLight; }
inline TColor dxOffice11OwnerLinkGradientLast() { return dxOffice11Palette.OwnerLinkDark; }
inline TColor dxOffice11MenuBandGradientFirst() { return dxOffice11Palette.MenuSideLight; }
inline TColor dxOffice11MenuBandGradientLast() { return dxOffice11Palette.MenuSideDark; }
inline TColor dxOffice11NonRecentBandGradientFirst() { return dxOffice11Palette.MenuSideLightShade; }
inline TColor dxOffice11NonRecentBandGradientLast() { return dxOffice11Palette.MenuSideDarkShade; }
inline TColor dxOffice11HotGradientFirst() { return dxOffice11Palette.HotFirst; }
inline TColor dxOffice11HotGradientLast() { return dxOffice11Palette.HotSecond; }
inline TColor dxOffice11PressedGradientFirst() { return dxOffice11Palette.PressedFirst; }
inline TColor dxOffice11PressedGradientLast() { return dxOffice11Palette.PressedSecond; }
inline TColor dxOffice11PopupPressedColor() { return dxOffice11Palette.Checked; }
inline TColor dxOffice11CheckedColor() { return dxOffice11Palette.Downed; }
inline TColor dxOffice11TextColor() { return dxOffice11Palette.Text; }
inline TColor dxOffice11DisabledTextColor() { return dxOffice11Palette.DisabledText; }
inline TColor dxOffice11SelectedTextColor() { return dxOffice11Palette.ItemText; }
inline TColor dxOffice11DateHeaderColor() { return dxOffice11Palette.DateNavigatorHeader; }
inline HBRUSH dxOffice11SeparatorDarkBrush() { return dxOffice11Palette.SeparatorDarkBrush; }
inline HBRUSH dxOffice11SeparatorLightBrush() { return dxOffice11Palette.SeparatorLightBrush; }
inline HBRUSH dxOffice11MenuBrush() { return dxOffice11Palette.MenuBackBrush; }
inline HBRUSH dxOffice11HotBrush() { return dxOffice11Palette.SelectedBrush; }
inline HBRUSH dxOffice11PressedBrush() { return dxOffice11Palette.DownedBrush; }
inline HBRUSH dxOffice11PressedHotBrush() { return dxOffice11Palette.DownedSelectedBrush; }
inline HBRUSH dxOffice11OwnerBrush() { return dxOffice11Palette.CheckedBrush; }
inline HBRUSH dxOffice11BorderBrush() { return dxOffice11Palette.MenuFrameBrush; }
inline HBRUSH dxOffice11DetachCaptionBrush() { return dxOffice11Palette.DetachCaptionBrush; }
inline HBRUSH dxOffice11InPlaceSubItemBrush() { return dxOffice11Palette.GroupByBoxBrush; }
inline TBitmap* dxOffice11SubMenuExpandBitmap() { return dxOffice11Palette.SubMenuExpandBitmap; }
