#include "foundation/cxLookAndFeelPaintersNative.h"

#include "platform/WinApi.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsRoutines.h"
#include "foundation/cxLookAndFeelPaintersFlat.h"
#include "foundation/dxOffice11.h"
#include "platform/gui/Controls.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/StdCtrls.h"
#include "foundation/dxUxTheme.h"

#include <algorithm>

namespace {

TRect InflateR(const TRect& R, int DX, int DY) {
  return TRect(R.Left - DX, R.Top - DY, R.Right + DX, R.Bottom + DY);
}

TRect OffsetR(const TRect& R, int DX, int DY) {
  return TRect(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY);
}

// Part numbers of the visual-style definitions this look draws with.
constexpr int BP_PUSHBUTTON_ = 1, BP_RADIOBUTTON_ = 2, BP_CHECKBOX_ = 3, BP_GROUPBOX_ = 4;
constexpr int CBS_CHECKEDNORMAL_ = 5;
constexpr int CP_DROPDOWNBUTTON_ = 1;
constexpr int EBP_NORMALGROUPCOLLAPSE_ = 6, EBP_NORMALGROUPEXPAND_ = 7;
constexpr int HP_HEADERITEM_ = 1, HP_HEADERITEMLEFT_ = 2, HP_HEADERITEMRIGHT_ = 3;
constexpr int PP_BAR_ = 1, PP_CHUNK_ = 3;
constexpr int SBP_ARROWBTN_ = 1, SBP_THUMBBTNHORZ_ = 2, SBP_THUMBBTNVERT_ = 3,
              SBP_LOWERTRACKHORZ_ = 4, SBP_UPPERTRACKHORZ_ = 5, SBP_LOWERTRACKVERT_ = 6,
              SBP_UPPERTRACKVERT_ = 7, SBP_GRIPPERHORZ_ = 8, SBP_GRIPPERVERT_ = 9,
              SBP_SIZEBOX_ = 10;
constexpr int TABP_TABITEM_ = 1, TABP_PANE_ = 9;
constexpr int TKP_TRACK_ = 1, TKP_TRACKVERT_ = 2, TKP_THUMB_ = 3, TKP_THUMBBOTTOM_ = 4,
              TKP_THUMBTOP_ = 5, TKP_THUMBVERT_ = 6, TKP_THUMBLEFT_ = 7, TKP_THUMBRIGHT_ = 8;
constexpr int TP_BUTTON_ = 1, TP_SEPARATOR_ = 5, TP_SEPARATORVERT_ = 6;
constexpr int TVP_GLYPH_ = 2, GLPS_CLOSED_ = 1, GLPS_OPENED_ = 2;
constexpr int WP_SMALLCLOSEBUTTON_ = 19;
constexpr int LVP_BORDER_ = 5;
constexpr int TMT_COLOR_ = 204, TMT_BORDERCOLOR_ = 3801, TMT_TEXTCOLOR_ = 3803;

TdxTheme Theme(TdxThemedObjectType AType) { return dxAcquireThemeHandle(AType); }

void DrawPart(TcxCanvas* ACanvas, TdxTheme ATheme, int APart, int AState, const TRect& R,
              const TRect* AClip = nullptr) {
  dxUxDrawThemeBackground(ATheme, ACanvas->Handle(), APart, AState, R, AClip);
}

// The content rectangle of a part within (0, 0, 100, 100), as insets.
bool ContentInsets(TdxTheme ATheme, int APart, int AState, TRect& AInsets) {
  const TRect bounds(0, 0, 100, 100);
  TRect content;
  HDC dc = GetDC(nullptr);
  const HRESULT hr = dxUxGetThemeBackgroundContentRect(ATheme, dc, APart, AState, bounds, content);
  ReleaseDC(nullptr, dc);
  if (FAILED(hr)) return false;
  AInsets = TRect(content.Left - bounds.Left, content.Top - bounds.Top,
                  bounds.Right - content.Right, bounds.Bottom - content.Bottom);
  return true;
}

bool PartSize(TdxTheme ATheme, int APart, int AState, THEMESIZE AKind, TSize& ASize) {
  HDC dc = GetDC(nullptr);
  const HRESULT hr = dxUxGetThemePartSize(ATheme, dc, APart, AState, AKind, ASize);
  ReleaseDC(nullptr, dc);
  return SUCCEEDED(hr);
}

int TrackBarThumbPart(bool AHorizontal, TcxTrackBarTicksAlign ATicks) {
  switch (ATicks) {
    case tbtaUp: return AHorizontal ? TKP_THUMBTOP_ : TKP_THUMBLEFT_;
    case tbtaDown: return AHorizontal ? TKP_THUMBBOTTOM_ : TKP_THUMBRIGHT_;
    default: return AHorizontal ? TKP_THUMB_ : TKP_THUMBVERT_;
  }
}

// Copies ARect of the canvas into a new 32-bit bitmap.
TcxBitmap32* GrabPixels(TcxCanvas* ACanvas, const TRect& ARect) {
  auto* bitmap = Make<TcxBitmap32>(ARect.Width(), ARect.Height());
  BitBlt(bitmap->Canvas()->Handle(), 0, 0, ARect.Width(), ARect.Height(), ACanvas->Handle(),
         ARect.Left, ARect.Top, SRCCOPY);
  return bitmap;
}

void PutPixels(TcxCanvas* ACanvas, const TRect& ARect, TBitmap* ABitmap) {
  BitBlt(ACanvas->Handle(), ARect.Left, ARect.Top, ARect.Width(), ARect.Height(),
         ABitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
}

}  // namespace

// ---------------------------------------------------------------------------
// State maps
// ---------------------------------------------------------------------------

int cxPushButtonThemeState(TcxButtonState AState) {
  static constexpr int map[] = {5, 1, 2, 3, 4};
  return map[AState];
}

int cxCheckButtonThemeState(TcxButtonState AState, bool AChecked) {
  static constexpr int map[] = {1, 1, 2, 3, 4};
  return map[AState] + (AChecked ? 4 : 0);
}

int cxScrollArrowThemeState(TcxButtonState AState, TcxArrowDirection ADirection) {
  static constexpr int map[] = {1, 1, 2, 3, 4};
  return map[AState] + 4 * static_cast<int>(ADirection);
}

int cxScrollThumbThemeState(TcxButtonState AState) {
  static constexpr int map[] = {1, 1, 2, 3, 4};
  return map[AState];
}

int cxHeaderItemThemeState(TcxButtonState AState) {
  static constexpr int map[] = {1, 1, 2, 3, 1};
  return map[AState];
}

int cxTabItemThemeState(TcxButtonState AState) {
  static constexpr int map[] = {1, 1, 2, 3, 4};
  return map[AState];
}

int cxSchedulerNavigatorThemeState(TcxButtonState AState) {
  static constexpr int map[] = {2, 2, 5, 3, 4};
  return map[AState];
}

int cxTrackBarThumbThemeState(TcxButtonState AState) {
  static constexpr int map[] = {2, 1, 2, 3, 5};
  return map[AState];
}

int cxExplorerBarThemeState(TcxButtonState AState) {
  switch (AState) {
    case cxbsHot: return 2;
    case cxbsPressed: return 3;
    default: return 1;
  }
}

// ---------------------------------------------------------------------------
// TcxWinXPLookAndFeelPainter
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TcxWinXPLookAndFeelPainter, TcxStandardLookAndFeelPainter, nullptr)

TcxCustomLookAndFeelPainterClass TcxWinXPLookAndFeelPainter::Instance() {
  static const TcxWinXPLookAndFeelPainter painter;
  return &painter;
}

void TcxWinXPLookAndFeelPainter::DrawSchedulerNavigationButtonContent(
    TcxCanvas* ACanvas, const TRect& ARect, const TRect& AArrowRect, bool AIsNextButton,
    TcxButtonState AState) const {
  TdxTheme theme = Theme(totTab);
  if (!theme || ARect.IsEmpty()) {
    TcxStandardLookAndFeelPainter::DrawSchedulerNavigationButtonContent(ACanvas, ARect, AArrowRect,
                                                                        AIsNextButton, AState);
    return;
  }
  // The tab item is drawn with its open side toward the scheduler content.
  TcxBitmap32* bitmap = GrabPixels(ACanvas, ARect);
  try {
    ACanvas->RotateBitmap(bitmap, AIsNextButton ? raMinus90 : raPlus90);
    dxUxDrawThemeBackground(theme, bitmap->Canvas()->Handle(), TABP_TABITEM_,
                            cxTabItemThemeState(AState), bitmap->ClientRect());
    ACanvas->RotateBitmap(bitmap, AIsNextButton ? raPlus90 : raMinus90);
    PutPixels(ACanvas, ARect, bitmap);
  } catch (...) {
    TObject::Free(bitmap);
    throw;
  }
  TObject::Free(bitmap);
  DrawSchedulerNavigationButtonArrow(ACanvas, AArrowRect, AIsNextButton,
                                     ButtonSymbolColor(AState, clDefault));
}

TcxLookAndFeelStyle TcxWinXPLookAndFeelPainter::LookAndFeelStyle() const { return lfsNative; }

bool TcxWinXPLookAndFeelPainter::NeedRedrawOnResize() const { return dxAreThemesUsable(); }

TColor TcxWinXPLookAndFeelPainter::DefaultSchedulerBorderColor() const {
  COLORREF color;
  TdxTheme theme = Theme(totComboBox);
  if (theme && SUCCEEDED(dxUxGetThemeColor(theme, 1, 1, TMT_BORDERCOLOR_, color)))
    return TColor(color);
  return TcxStandardLookAndFeelPainter::DefaultSchedulerBorderColor();
}

TColor TcxWinXPLookAndFeelPainter::DefaultSchedulerViewContentColor() const {
  return TColor(0xD5FFFF);
}

void TcxWinXPLookAndFeelPainter::DrawArrow(TcxCanvas* ACanvas, const TRect& R,
                                           TcxArrowDirection AArrowDirection,
                                           TColor AColor) const {
  TcxCustomLookAndFeelPainter::DrawArrow(ACanvas, R, AArrowDirection, AColor);
}

void TcxWinXPLookAndFeelPainter::DrawArrow(TcxCanvas* ACanvas, const TRect& R,
                                           TcxButtonState AState,
                                           TcxArrowDirection AArrowDirection,
                                           bool ADrawBorder) const {
  if (TdxTheme theme = Theme(totScrollBar))
    DrawPart(ACanvas, theme, SBP_ARROWBTN_, cxScrollArrowThemeState(AState, AArrowDirection), R);
  else
    TcxStandardLookAndFeelPainter::DrawArrow(ACanvas, R, AState, AArrowDirection, ADrawBorder);
}

void TcxWinXPLookAndFeelPainter::DrawArrowBorder(TcxCanvas* ACanvas, const TRect& R,
                                                 TcxButtonState AState) const {
  if (TdxTheme theme = Theme(totButton))
    DrawPart(ACanvas, theme, BP_PUSHBUTTON_, cxPushButtonThemeState(AState), R);
  else
    TcxStandardLookAndFeelPainter::DrawArrowBorder(ACanvas, R, AState);
}

int TcxWinXPLookAndFeelPainter::BorderSize() const {
  return Theme(totListView) ? 1 : TcxStandardLookAndFeelPainter::BorderSize();
}

void TcxWinXPLookAndFeelPainter::DrawBorder(TcxCanvas* ACanvas, const TRect& R) const {
  TdxTheme theme = Theme(totListView);
  if (!theme) {
    TcxStandardLookAndFeelPainter::DrawBorder(ACanvas, R);
    return;
  }
  HDC dc = ACanvas->Handle();
  const int saved = ::SaveDC(dc);
  TRect inner = R;
  inner = InflateR(inner, -1, -1);
  ::ExcludeClipRect(dc, inner.Left, inner.Top, inner.Right, inner.Bottom);
  dxUxDrawThemeBackground(theme, dc, LVP_BORDER_, 0, R);
  ::RestoreDC(dc, saved);
}

void TcxWinXPLookAndFeelPainter::DrawSeparator(TcxCanvas* ACanvas, const TRect& R,
                                               bool AIsVertical) const {
  if (TdxTheme theme = Theme(totToolBar))
    DrawPart(ACanvas, theme, AIsVertical ? TP_SEPARATOR_ : TP_SEPARATORVERT_, 1, R);
  else
    TcxStandardLookAndFeelPainter::DrawSeparator(ACanvas, R, AIsVertical);
}

TRect TcxWinXPLookAndFeelPainter::AdjustGroupButtonDisplayRect(const TRect& R, int AButtonCount,
                                                               int AButtonIndex) const {
  TRect result =
      TcxStandardLookAndFeelPainter::AdjustGroupButtonDisplayRect(R, AButtonCount, AButtonIndex);
  TdxTheme theme = Theme(totButton);
  if (theme && dxUxIsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON_, 1))
    result = InflateR(result, 1, 1);
  return result;
}

int TcxWinXPLookAndFeelPainter::ButtonBorderSize(TcxButtonState AState) const {
  TRect insets;
  TdxTheme theme = Theme(totButton);
  if (theme && ContentInsets(theme, BP_PUSHBUTTON_, cxPushButtonThemeState(AState), insets))
    return insets.Left;
  return TcxStandardLookAndFeelPainter::ButtonBorderSize(cxbsNormal);
}

TColor TcxWinXPLookAndFeelPainter::ButtonColor(TcxButtonState AState) const {
  COLORREF color;
  TdxTheme theme = Theme(totButton);
  if (theme && SUCCEEDED(dxUxGetThemeColor(theme, BP_PUSHBUTTON_, cxPushButtonThemeState(AState),
                                           TMT_COLOR_, color)))
    return TColor(color);
  return TcxStandardLookAndFeelPainter::ButtonColor(AState);
}

TRect TcxWinXPLookAndFeelPainter::ButtonFocusRect(TcxCanvas* ACanvas, const TRect& R) const {
  TdxTheme theme = Theme(totButton);
  TRect content;
  if (theme && SUCCEEDED(dxUxGetThemeBackgroundContentRect(theme, ACanvas->Handle(),
                                                           BP_PUSHBUTTON_, 1, R, content)))
    return content;
  return TcxStandardLookAndFeelPainter::ButtonFocusRect(ACanvas, R);
}

TRect TcxWinXPLookAndFeelPainter::ButtonGroupBorderSizes(int AButtonCount,
                                                         int AButtonIndex) const {
  TRect insets;
  TdxTheme theme = Theme(totButton);
  if (!theme || !ContentInsets(theme, BP_PUSHBUTTON_, 1, insets))
    return TcxStandardLookAndFeelPainter::ButtonGroupBorderSizes(AButtonCount, AButtonIndex);
  if (dxUxIsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON_, 1))
    insets = TRect(insets.Left - 1, insets.Top - 1, insets.Right - 1, insets.Bottom - 1);
  return insets;
}

int TcxWinXPLookAndFeelPainter::ButtonTextOffset() const { return 2; }

int TcxWinXPLookAndFeelPainter::ButtonTextShift() const { return 0; }

TColor TcxWinXPLookAndFeelPainter::ButtonSymbolColor(TcxButtonState AState,
                                                     TColor ADefaultColor) const {
  COLORREF color;
  TdxTheme theme = Theme(totButton);
  if (theme && SUCCEEDED(dxUxGetThemeColor(theme, BP_PUSHBUTTON_, cxPushButtonThemeState(AState),
                                           TMT_TEXTCOLOR_, color)))
    return TColor(color);
  return TcxStandardLookAndFeelPainter::ButtonSymbolColor(AState, ADefaultColor);
}

void TcxWinXPLookAndFeelPainter::DrawButton(TcxCanvas* ACanvas, const TRect& R,
                                            const String& ACaption, TcxButtonState AState,
                                            bool ADrawBorder, TColor AColor, TColor ATextColor,
                                            bool AWordWrap, bool AIsToolButton) const {
  TdxTheme theme = Theme(AIsToolButton ? totToolBar : totButton);
  if (!theme) {
    TcxStandardLookAndFeelPainter::DrawButton(ACanvas, R, ACaption, AState, ADrawBorder, AColor,
                                              ATextColor, AWordWrap, AIsToolButton);
    return;
  }
  const int state = cxPushButtonThemeState(AState);
  DrawPart(ACanvas, theme, 1, state, R);
  if (ACaption.empty()) return;
  HDC dc = ACanvas->Handle();
  HGDIOBJ oldFont = SelectObject(dc, ACanvas->Font()->Handle());
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  dxUxDrawThemeText(theme, dc, 1, state, ACaption, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, R);
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldFont);
}

void TcxWinXPLookAndFeelPainter::DrawExpandButton(TcxCanvas* ACanvas, const TRect& R,
                                                  bool AExpanded, TColor AColor) const {
  TdxTheme theme = Theme(totTreeview);
  if (!theme) {
    TcxStandardLookAndFeelPainter::DrawExpandButton(ACanvas, R, AExpanded, AColor);
    return;
  }
  DrawPart(ACanvas, theme, TVP_GLYPH_, AExpanded ? GLPS_OPENED_ : GLPS_CLOSED_, R);
  ACanvas->ExcludeClipRect(R);
}

bool TcxWinXPLookAndFeelPainter::DrawExpandButtonFirst() const { return false; }

void TcxWinXPLookAndFeelPainter::DrawGroupExpandButton(TcxCanvas* ACanvas, const TRect& R,
                                                       bool AExpanded,
                                                       TcxButtonState AState) const {
  if (TdxTheme theme = Theme(totExplorerBar))
    DrawPart(ACanvas, theme, AExpanded ? EBP_NORMALGROUPCOLLAPSE_ : EBP_NORMALGROUPEXPAND_,
             cxExplorerBarThemeState(AState), R);
  else
    TcxStandardLookAndFeelPainter::DrawGroupExpandButton(ACanvas, R, AExpanded, AState);
}

void TcxWinXPLookAndFeelPainter::DrawSmallExpandButton(TcxCanvas* ACanvas, const TRect& R,
                                                       bool AExpanded, TColor ABorderColor,
                                                       TColor AColor) const {
  (void)AColor;
  if (Theme(totTreeview))
    DrawExpandButton(ACanvas, R, AExpanded, clDefault);
  else
    TcxStandardLookAndFeelPainter::DrawSmallExpandButton(ACanvas, R, AExpanded, ABorderColor,
                                                         clDefault);
}

int TcxWinXPLookAndFeelPainter::ExpandButtonSize() const {
  TSize size;
  TdxTheme theme = Theme(totTreeview);
  if (theme && PartSize(theme, TVP_GLYPH_, GLPS_OPENED_, TS_TRUE, size)) return size.cx;
  return TcxStandardLookAndFeelPainter::ExpandButtonSize();
}

int TcxWinXPLookAndFeelPainter::GroupExpandButtonSize() const {
  TSize size;
  TdxTheme theme = Theme(totExplorerBar);
  if (theme && PartSize(theme, EBP_NORMALGROUPEXPAND_, 1, TS_TRUE, size)) return size.cx;
  return TcxStandardLookAndFeelPainter::GroupExpandButtonSize();
}

bool TcxWinXPLookAndFeelPainter::IsButtonHotTrack() const { return true; }

bool TcxWinXPLookAndFeelPainter::IsPointOverGroupExpandButton(const TRect& R,
                                                              const TPoint& P) const {
  TdxTheme theme = Theme(totExplorerBar);
  if (!theme) return TcxStandardLookAndFeelPainter::IsPointOverGroupExpandButton(R, P);
  HRGN region = nullptr;
  HDC dc = GetDC(nullptr);
  const HRESULT hr =
      dxUxGetThemeBackgroundRegion(theme, dc, EBP_NORMALGROUPEXPAND_, 1, R, region);
  ReleaseDC(nullptr, dc);
  GdiAdopt(region);   // the theme made it for us to delete
  const bool result =
      SUCCEEDED(hr) && region ? PtInRegion(region, P.X, P.Y) && R.Contains(P) : R.Contains(P);
  GdiDeleteObject(region);
  return result;
}

int TcxWinXPLookAndFeelPainter::SmallExpandButtonSize() const {
  if (Theme(totTreeview)) return ExpandButtonSize();
  return TcxStandardLookAndFeelPainter::SmallExpandButtonSize();
}

int TcxWinXPLookAndFeelPainter::CheckBorderSize() const {
  return Theme(totButton) ? 0 : TcxStandardLookAndFeelPainter::CheckBorderSize();
}

TSize TcxWinXPLookAndFeelPainter::CheckButtonSize() const {
  TSize size;
  TdxTheme theme = Theme(totButton);
  if (theme && PartSize(theme, BP_CHECKBOX_, CBS_CHECKEDNORMAL_, TS_TRUE, size)) return size;
  return TcxStandardLookAndFeelPainter::CheckButtonSize();
}

void TcxWinXPLookAndFeelPainter::DrawCheck(TcxCanvas* ACanvas, const TRect& R,
                                           TcxButtonState AState, bool AChecked,
                                           TColor AColor) const {
  if (TdxTheme theme = Theme(totButton))
    DrawPart(ACanvas, theme, BP_CHECKBOX_, cxCheckButtonThemeState(AState, AChecked), R);
  else
    TcxStandardLookAndFeelPainter::DrawCheck(ACanvas, R, AState, AChecked, AColor);
}

void TcxWinXPLookAndFeelPainter::DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R,
                                                 TcxButtonState AState) const {
  if (!Theme(totButton)) TcxStandardLookAndFeelPainter::DrawCheckBorder(ACanvas, R, AState);
}

// Without the button theme the Standard radio glyph is drawn rather than
// nothing, so that radio buttons never vanish.
void TcxWinXPLookAndFeelPainter::DrawRadioButton(TcxCanvas* ACanvas, int X, int Y,
                                                 TcxButtonState AButtonState, bool AChecked,
                                                 bool AFocused, TColor ABrushColor,
                                                 bool AIsDesigning) const {
  TdxTheme theme = Theme(totButton);
  if (!theme) {
    TcxStandardLookAndFeelPainter::DrawRadioButton(ACanvas, X, Y, AButtonState, AChecked,
                                                   AFocused, ABrushColor, AIsDesigning);
    return;
  }
  const TSize size = RadioButtonSize();
  DrawPart(ACanvas, theme, BP_RADIOBUTTON_, cxCheckButtonThemeState(AButtonState, AChecked),
           TRect(X, Y, X + size.cx, Y + size.cy));
}

TSize TcxWinXPLookAndFeelPainter::RadioButtonSize() const {
  TSize size;
  TdxTheme theme = Theme(totButton);
  if (theme && PartSize(theme, BP_RADIOBUTTON_, 1, TS_TRUE, size)) return size;
  return TcxStandardLookAndFeelPainter::RadioButtonSize();
}

void TcxWinXPLookAndFeelPainter::DrawHeader(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor, TColor ABkColor,
    const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsLast, bool AIsGroup) const {
  TdxTheme theme = Theme(totHeader);
  if (!theme) {
    TcxStandardLookAndFeelPainter::DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors,
                                              ABorders, AState, AAlignmentHorz, AAlignmentVert,
                                              AMultiLine, AShowEndEllipsis, AText, AFont,
                                              ATextColor, ABkColor, AOnDrawBackground, AIsLast,
                                              AIsGroup);
    return;
  }
  const int state = cxHeaderItemThemeState(AState);
  int part = HP_HEADERITEM_;
  if (AIsLast && state == 1) {
    const int scheme = dxCurrentOffice11Scheme();
    if (scheme == dxOffice11SchemeBlue || scheme == dxOffice11SchemeOlive)
      part = HP_HEADERITEMRIGHT_;
  }
  DrawPart(ACanvas, theme, part, state, ABounds);
  TRect textRect = ATextAreaBounds;
  if (AState == cxbsPressed) textRect = OffsetR(textRect, 1, 1);
  DrawThemedText(ACanvas, theme, part, state, textRect, AText, AFont, ATextColor, AAlignmentHorz,
                 AAlignmentVert, AMultiLine, AShowEndEllipsis, false);
}

void TcxWinXPLookAndFeelPainter::DrawHeaderPressed(TcxCanvas*, const TRect&) const {}

void TcxWinXPLookAndFeelPainter::DrawHeaderControlSection(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
    TColor ABkColor) const {
  ACanvas->FillRect(ABounds, clBtnFace);
  DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState, AAlignmentHorz,
             AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor,
             TcxDrawBackgroundEvent(), false, false);
}

void TcxWinXPLookAndFeelPainter::DrawSortingMark(TcxCanvas* ACanvas, const TRect& R,
                                                 bool AAscendingSorting) const {
  TcxUltraFlatLookAndFeelPainter::Instance()->DrawSortingMark(ACanvas, R, AAscendingSorting);
}

int TcxWinXPLookAndFeelPainter::HeaderBorderSize() const {
  TRect insets;
  TdxTheme theme = Theme(totHeader);
  if (theme && ContentInsets(theme, HP_HEADERITEM_, 1, insets))
    return std::max(1, (insets.Left + insets.Top) / 2);
  return TcxStandardLookAndFeelPainter::HeaderBorderSize();
}

int TcxWinXPLookAndFeelPainter::HeaderControlSectionBorderSize(TcxButtonState) const {
  return HeaderBorderSize();
}

TRect TcxWinXPLookAndFeelPainter::HeaderControlSectionContentBounds(const TRect& ABounds,
                                                                   TcxButtonState AState) const {
  if (!Theme(totHeader))
    return TcxStandardLookAndFeelPainter::HeaderControlSectionContentBounds(ABounds, AState);
  TRect result = ABounds;
  result = InflateR(result, -HeaderBorderSize(), -HeaderBorderSize());
  return result;
}

bool TcxWinXPLookAndFeelPainter::IsHeaderHotTrack() const { return true; }

TPoint TcxWinXPLookAndFeelPainter::SortingMarkSize() const {
  return TcxUltraFlatLookAndFeelPainter::Instance()->SortingMarkSize();
}

int TcxWinXPLookAndFeelPainter::FooterBorderSize() const { return 1; }

int TcxWinXPLookAndFeelPainter::FooterCellBorderSize() const {
  TRect insets;
  TdxTheme theme = Theme(totTrackBar);
  if (theme && ContentInsets(theme, TKP_TRACK_, 1, insets)) return insets.Left;
  return TcxStandardLookAndFeelPainter::FooterCellBorderSize();
}

int TcxWinXPLookAndFeelPainter::FooterCellOffset() const { return 1; }

bool TcxWinXPLookAndFeelPainter::FooterDrawCellsFirst() const { return false; }

void TcxWinXPLookAndFeelPainter::DrawFooterCell(
    TcxCanvas* ACanvas, const TRect& ABounds, TAlignment AAlignmentHorz,
    TcxAlignmentVert AAlignmentVert, bool AMultiLine, const String& AText, TFont* AFont,
    TColor ATextColor, TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  TdxTheme theme = Theme(totTrackBar);
  if (!theme) {
    TcxStandardLookAndFeelPainter::DrawFooterCell(ACanvas, ABounds, AAlignmentHorz,
                                                  AAlignmentVert, AMultiLine, AText, AFont,
                                                  ATextColor, ABkColor, AOnDrawBackground);
    return;
  }
  DrawPart(ACanvas, theme, TKP_TRACK_, 1, ABounds);
  DrawThemedText(ACanvas, theme, TKP_TRACK_, 1, FooterCellTextAreaBounds(ABounds), AText, AFont,
                 ATextColor, AAlignmentHorz, AAlignmentVert, AMultiLine, false, false);
}

void TcxWinXPLookAndFeelPainter::DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const {
  if (TdxTheme theme = Theme(totEdit))
    dxUxDrawThemeEdge(theme, ACanvas->Handle(), 0, 0, R, BDR_RAISEDINNER, BF_RECT, nullptr);
  else
    TcxStandardLookAndFeelPainter::DrawFooterBorder(ACanvas, R);
}

void TcxWinXPLookAndFeelPainter::DrawFilterCloseButton(TcxCanvas* ACanvas, const TRect& R,
                                                       TcxButtonState AState) const {
  if (TdxTheme theme = Theme(totWindow))
    DrawPart(ACanvas, theme, WP_SMALLCLOSEBUTTON_, cxTabItemThemeState(AState), R);
  else
    TcxStandardLookAndFeelPainter::DrawFilterCloseButton(ACanvas, R, AState);
}

void TcxWinXPLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R,
                                                          TcxButtonState AState,
                                                          bool AIsFilterActive) const {
  if (TdxTheme theme = Theme(totComboBox))
    DrawPart(ACanvas, theme, CP_DROPDOWNBUTTON_, cxTabItemThemeState(AState), R);
  else
    TcxStandardLookAndFeelPainter::DrawFilterDropDownButton(ACanvas, R, AState, AIsFilterActive);
}

TPoint TcxWinXPLookAndFeelPainter::FilterActivateButtonSize() const {
  TSize size;
  TdxTheme theme = Theme(totButton);
  if (theme && PartSize(theme, BP_CHECKBOX_, CBS_CHECKEDNORMAL_, TS_TRUE, size))
    return TPoint(size.cx, size.cy);
  return TcxStandardLookAndFeelPainter::FilterActivateButtonSize();
}

TPoint TcxWinXPLookAndFeelPainter::FilterCloseButtonSize() const {
  TSize size;
  TdxTheme theme = Theme(totWindow);
  if (theme && PartSize(theme, WP_SMALLCLOSEBUTTON_, 1, TS_TRUE, size))
    return TPoint(size.cx + 4, size.cy + 4);
  return TcxStandardLookAndFeelPainter::FilterCloseButtonSize();
}

void TcxWinXPLookAndFeelPainter::DrawTab(TcxCanvas* ACanvas, const TRect& R,
                                         TcxBorders ABorders, const String& AText,
                                         TcxButtonState AState, bool AVertical, TFont* AFont,
                                         TColor ATextColor, TColor ABkColor,
                                         bool AShowPrefix) const {
  TdxTheme theme = Theme(totTab);
  if (!theme) {
    TcxStandardLookAndFeelPainter::DrawTab(ACanvas, R, ABorders, AText, AState, AVertical, AFont,
                                           ATextColor, ABkColor, AShowPrefix);
    return;
  }
  // The tab's rounded edge is pushed out of the clip where it meets a
  // neighbour, so adjacent tabs join without a gap.
  TRect tab = R;
  TRect clip = R;
  if (AVertical) {
    if (!ABorders.Contains(bTop)) tab.Top -= 2;
    if (!ABorders.Contains(bBottom)) tab.Bottom += 2;
    if (AState == cxbsPressed) {
      tab.Right += 1;
      clip.Right += 1;
    } else {
      clip.Right -= 1;
    }
  } else {
    if (!ABorders.Contains(bLeft)) tab.Left -= 2;
    if (!ABorders.Contains(bRight)) tab.Right += 2;
    if (AState == cxbsPressed) {
      tab.Bottom += 1;
      clip.Bottom += 1;
    } else {
      clip.Bottom -= 1;
    }
  }
  const int state = cxTabItemThemeState(AState);
  if (!AVertical) {
    DrawPart(ACanvas, theme, TABP_TABITEM_, state, tab, &clip);
  } else if (!clip.IsEmpty()) {
    // Vertical tabs are the horizontal item turned on its side.
    // Turning by 90 degrees with the vertical flip exchanges x and y, so the
    // same turn maps the pixels under the tab in and the drawn tab back out.
    TcxBitmap32* bitmap = GrabPixels(ACanvas, clip);
    try {
      ACanvas->RotateBitmap(bitmap, raPlus90, true);
      const TRect rotated(tab.Top - clip.Top, tab.Left - clip.Left, tab.Bottom - clip.Top,
                          tab.Right - clip.Left);
      const TRect rotatedClip = bitmap->ClientRect();
      dxUxDrawThemeBackground(theme, bitmap->Canvas()->Handle(), TABP_TABITEM_, state,
                              rotated, &rotatedClip);
      ACanvas->RotateBitmap(bitmap, raPlus90, true);
      PutPixels(ACanvas, clip, bitmap);
    } catch (...) {
      TObject::Free(bitmap);
      throw;
    }
    TObject::Free(bitmap);
  }
  TRect textRect = tab;
  if (AState == cxbsPressed) {
    if (AVertical)
      textRect.Right -= 2;
    else
      textRect.Bottom -= 2;
  }
  DrawThemedText(ACanvas, theme, TABP_TABITEM_, state, textRect, AText, AFont, ATextColor,
                 taCenter, vaCenter, false, false, AShowPrefix);
}

void TcxWinXPLookAndFeelPainter::DrawTabBorder(TcxCanvas* ACanvas, const TRect& R,
                                               TcxBorder ABorder, TcxBorders ABorders,
                                               bool AVertical) const {
  if (!Theme(totTab))
    TcxStandardLookAndFeelPainter::DrawTabBorder(ACanvas, R, ABorder, ABorders, AVertical);
}

void TcxWinXPLookAndFeelPainter::DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R,
                                              TcxBorders ABorders, bool AVertical) const {
  TdxTheme theme = Theme(totTab);
  if (!theme) {
    TcxStandardLookAndFeelPainter::DrawTabsRoot(ACanvas, R, ABorders, AVertical);
    return;
  }
  TRect insets(0, 0, 0, 0);
  ContentInsets(theme, TABP_PANE_, 0, insets);
  TRect pane = R;
  if (AVertical) {
    pane.Right += 10;
    pane.Bottom += insets.Bottom - insets.Top;
  } else {
    pane.Bottom += 10;
    pane.Right += insets.Right - insets.Left;
  }
  DrawPart(ACanvas, theme, TABP_PANE_, 0, pane, &R);
}

bool TcxWinXPLookAndFeelPainter::IsDrawTabImplemented(bool AVertical) const {
  return Theme(totTab) ? true : TcxStandardLookAndFeelPainter::IsDrawTabImplemented(AVertical);
}

bool TcxWinXPLookAndFeelPainter::IsTabHotTrack(bool AVertical) const {
  return Theme(totTab) ? true : TcxStandardLookAndFeelPainter::IsTabHotTrack(AVertical);
}

int TcxWinXPLookAndFeelPainter::TabBorderSize(bool) const { return 1; }

void TcxWinXPLookAndFeelPainter::DrawIndicatorItem(
    TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind, TColor AColor,
    const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  TcxFlatLookAndFeelPainter::Instance()->DrawIndicatorItem(ACanvas, R, AKind, AColor,
                                                           AOnDrawBackground);
}

int TcxWinXPLookAndFeelPainter::ScrollBarMinimalThumbSize(bool AVertical) const {
  TdxTheme theme = Theme(totScrollBar);
  if (!theme) return TcxStandardLookAndFeelPainter::ScrollBarMinimalThumbSize(AVertical);
  const int part = AVertical ? SBP_GRIPPERHORZ_ : SBP_GRIPPERVERT_;
  TSize minSize, trueSize;
  if (!PartSize(theme, part, 1, TS_MIN, minSize)) return 8;
  const int m = AVertical ? minSize.cy : minSize.cx;
  int result = m;
  if (PartSize(theme, part, 1, TS_TRUE, trueSize))
    result = std::max(m, (AVertical ? trueSize.cy : trueSize.cx) + 4);
  return std::max(result, 8);
}

void TcxWinXPLookAndFeelPainter::DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal,
                                                   const TRect& R, TcxScrollBarPart APart,
                                                   TcxButtonState AState) const {
  if (R.IsEmpty()) return;
  TdxTheme theme = Theme(totScrollBar);
  if (theme) {
    const int state = cxScrollThumbThemeState(AState);
    switch (APart) {
      case sbpLineUp:
      case sbpLineDown: {
        const bool up = APart == sbpLineUp;
        DrawArrow(ACanvas, R, AState,
                  AHorizontal ? (up ? adLeft : adRight) : (up ? adUp : adDown), true);
        return;
      }
      case sbpThumbnail:
        DrawPart(ACanvas, theme, AHorizontal ? SBP_THUMBBTNHORZ_ : SBP_THUMBBTNVERT_, state, R);
        DrawPart(ACanvas, theme, AHorizontal ? SBP_GRIPPERHORZ_ : SBP_GRIPPERVERT_, 0, R);
        return;
      case sbpPageUp:
        DrawPart(ACanvas, theme, AHorizontal ? SBP_LOWERTRACKHORZ_ : SBP_LOWERTRACKVERT_, state,
                 R);
        return;
      case sbpPageDown:
        DrawPart(ACanvas, theme, AHorizontal ? SBP_UPPERTRACKHORZ_ : SBP_UPPERTRACKVERT_, state,
                 R);
        return;
      default:
        break;
    }
  }
  TcxStandardLookAndFeelPainter::DrawScrollBarPart(ACanvas, AHorizontal, R, APart, AState);
}

void TcxWinXPLookAndFeelPainter::DrawSizeGrip(TcxCanvas* ACanvas, const TRect& ARect,
                                              TColor ABackgroundColor) const {
  TdxTheme theme = Theme(totScrollBar);
  if (!theme) {
    TcxStandardLookAndFeelPainter::DrawSizeGrip(ACanvas, ARect, ABackgroundColor);
    return;
  }
  ACanvas->FillRect(ARect, ABackgroundColor);
  DrawPart(ACanvas, theme, SBP_SIZEBOX_, 1, ARect);
}

void TcxWinXPLookAndFeelPainter::DrawMonthHeader(
    TcxCanvas* ACanvas, const TRect& ABounds, const String& AText, TcxNeighbors ANeighbors,
    const TcxViewParams& AViewParams, TcxHeaderArrows AArrows, int ASideWidth,
    const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  DrawHeader(ACanvas, ABounds, ABounds, ANeighbors, cxBordersAll, cxbsNormal, taCenter, vaCenter,
             false, false, AText, AViewParams.Font, AViewParams.TextColor, AViewParams.Color,
             AOnDrawBackground, !ANeighbors.Contains(nRight), false);
  DrawMonthHeaderArrows(ACanvas, ABounds, clWindowText, ASideWidth, AArrows);
}

void TcxWinXPLookAndFeelPainter::DrawSchedulerEventProgress(TcxCanvas* ACanvas,
                                                            const TRect& ABounds,
                                                            const TRect& AProgress,
                                                            const TcxViewParams& AViewParams,
                                                            bool ATransparent) const {
  TdxTheme theme = Theme(totProgress);
  if (!theme) {
    TcxStandardLookAndFeelPainter::DrawSchedulerEventProgress(ACanvas, ABounds, AProgress,
                                                              AViewParams, ATransparent);
    return;
  }
  DrawPart(ACanvas, theme, PP_BAR_, 0, ABounds);
  DrawPart(ACanvas, theme, PP_CHUNK_, 0, AProgress);
}

void TcxWinXPLookAndFeelPainter::DrawSchedulerNavigatorButton(TcxCanvas* ACanvas,
                                                              const TRect& R,
                                                              TcxButtonState AState) const {
  if (TdxTheme theme = Theme(totToolBar))
    DrawPart(ACanvas, theme, TP_BUTTON_, cxSchedulerNavigatorThemeState(AState), R);
  else
    TcxStandardLookAndFeelPainter::DrawSchedulerNavigatorButton(ACanvas, R, AState);
}

void TcxWinXPLookAndFeelPainter::DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, const TRect& R,
                                                             const TcxViewParams& AViewParams,
                                                             bool AIsHorizontal) const {
  TdxTheme combo = Theme(totComboBox);
  if (!combo || !Theme(totListView)) {
    TcxStandardLookAndFeelPainter::DrawSchedulerSplitterBorder(ACanvas, R, AViewParams,
                                                               AIsHorizontal);
    return;
  }
  COLORREF color;
  const TColor border = SUCCEEDED(dxUxGetThemeColor(combo, 1, 1, TMT_BORDERCOLOR_, color))
                            ? TColor(color)
                            : TcxStandardLookAndFeelPainter::DefaultSchedulerBorderColor();
  TRect r = R;
  if (AIsHorizontal) {
    r = InflateR(r, 1, -1);
    ACanvas->FillRect(TRect(r.Left, R.Top, r.Right, R.Top + 1), border);
    ACanvas->FillRect(TRect(r.Left, R.Bottom - 1, r.Right, R.Bottom), border);
  } else {
    r = InflateR(r, -1, 1);
    ACanvas->FillRect(TRect(R.Left, r.Top, R.Left + 1, r.Bottom), border);
    ACanvas->FillRect(TRect(R.Right - 1, r.Top, R.Right, r.Bottom), border);
  }
  ACanvas->FillRect(r, AViewParams);
}

TRect TcxWinXPLookAndFeelPainter::SchedulerEventProgressOffsets() const {
  return TRect(3, 3, 3, 3);
}

// Without the header theme the base's header is drawn (R keeps its size as
// the themed one does).
void TcxWinXPLookAndFeelPainter::DrawDateNavigatorDateHeader(TcxCanvas* ACanvas, TRect& R) const {
  if (TdxTheme theme = Theme(totHeader)) {
    DrawPart(ACanvas, theme, HP_HEADERITEMLEFT_, 1, R);
  } else {
    TRect r = R;
    TcxStandardLookAndFeelPainter::DrawDateNavigatorDateHeader(ACanvas, r);
  }
}

void TcxWinXPLookAndFeelPainter::DrawGroupBoxFrame(TcxCanvas* ACanvas, const TRect& R,
                                                   bool AEnabled,
                                                   TcxGroupBoxCaptionPosition ACaptionPosition,
                                                   TcxBorders ABorders) const {
  if (TdxTheme theme = Theme(totButton))
    DrawPart(ACanvas, theme, BP_GROUPBOX_, AEnabled ? 1 : 2, R);
  else
    TcxStandardLookAndFeelPainter::DrawGroupBoxFrame(ACanvas, R, AEnabled, ACaptionPosition,
                                                     ABorders);
}

TColor TcxWinXPLookAndFeelPainter::GroupBoxTextColor(
    bool AEnabled, TcxGroupBoxCaptionPosition ACaptionPosition) const {
  COLORREF color;
  TdxTheme theme = Theme(totButton);
  if (theme &&
      SUCCEEDED(dxUxGetThemeColor(theme, BP_GROUPBOX_, AEnabled ? 1 : 2, TMT_TEXTCOLOR_, color)))
    return TColor(color);
  return TcxStandardLookAndFeelPainter::GroupBoxTextColor(AEnabled, ACaptionPosition);
}

void TcxWinXPLookAndFeelPainter::DrawPanelBackground(TcxCanvas* ACanvas, TWinControl* AControl,
                                                     const TRect& ABounds, TColor AColorFrom,
                                                     TColor) const {
  if (AColorFrom == clDefault) {
    if (AControl) cxPaintParentControlsUnder(AControl, ACanvas, ABounds);
  } else {
    ACanvas->FillRect(ABounds, AColorFrom);
  }
}

void TcxWinXPLookAndFeelPainter::CorrectThumbRect(TcxCanvas* ACanvas, TRect& ARect,
                                                  bool AHorizontal,
                                                  TcxTrackBarTicksAlign ATicks) const {
  TdxTheme theme = Theme(totTrackBar);
  TSize size;
  if (!theme || FAILED(dxUxGetThemePartSizeIn(theme, ACanvas->Handle(),
                                              TrackBarThumbPart(AHorizontal, ATicks), 1, ARect,
                                              TS_DRAW, size))) {
    TcxStandardLookAndFeelPainter::CorrectThumbRect(ACanvas, ARect, AHorizontal, ATicks);
    return;
  }
  const int left = ARect.Left + (ARect.Width() - size.cx) / 2;
  const int top = ARect.Top + (ARect.Height() - size.cy) / 2;
  ARect = TRect(left, top, left + size.cx, top + size.cy);
}

void TcxWinXPLookAndFeelPainter::DrawTrackBarTrack(TcxCanvas* ACanvas, const TRect& ARect,
                                                   const TRect& ASelection, bool AShowSelection,
                                                   bool AEnabled, bool AHorizontal,
                                                   TColor ATrackColor) const {
  if (TdxTheme theme = Theme(totTrackBar))
    DrawPart(ACanvas, theme, AHorizontal ? TKP_TRACK_ : TKP_TRACKVERT_, 1, ARect);
  else
    TcxStandardLookAndFeelPainter::DrawTrackBarTrack(ACanvas, ARect, ASelection, AShowSelection,
                                                     AEnabled, AHorizontal, ATrackColor);
}

void TcxWinXPLookAndFeelPainter::DrawTrackBarThumb(TcxCanvas* ACanvas, const TRect& ARect,
                                                   TcxButtonState AState, bool AHorizontal,
                                                   TcxTrackBarTicksAlign ATicks,
                                                   TColor AThumbColor) const {
  if (TdxTheme theme = Theme(totTrackBar))
    DrawPart(ACanvas, theme, TrackBarThumbPart(AHorizontal, ATicks),
             cxTrackBarThumbThemeState(AState), ARect);
  else
    TcxStandardLookAndFeelPainter::DrawTrackBarThumb(ACanvas, ARect, AState, AHorizontal, ATicks,
                                                     AThumbColor);
}

void TcxWinXPLookAndFeelPainter::DrawSplitter(TcxCanvas*, const TRect&, bool, bool, bool) const {}

void TcxWinXPLookAndFeelPainter::DrawThemedText(TcxCanvas* ACanvas, TdxTheme ATheme,
                                                int APartId, int AStateId, const TRect& ARect,
                                                const String& AText, TFont* AFont,
                                                TColor ATextColor, TAlignment AAlignmentHorz,
                                                TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                                bool AShowEndEllipsis, bool AShowPrefix) const {
  if (AText.empty()) return;
  if (AFont) ACanvas->SetFont(AFont);
  ACanvas->Font()->SetColor(ATextColor);
  TRect r = ARect;
  if (AMultiLine)
    ACanvas->AlignMultiLineTextRectVertically(r, AText, AAlignmentVert, true, AShowPrefix, true,
                                              false, AShowEndEllipsis);
  DWORD flags = DT_EDITCONTROL;
  switch (AAlignmentHorz) {
    case taRightJustify: flags |= DT_RIGHT; break;
    case taCenter: flags |= DT_CENTER; break;
    default: flags |= DT_LEFT; break;
  }
  switch (AAlignmentVert) {
    case vaBottom: flags |= DT_BOTTOM; break;
    case vaCenter: flags |= DT_VCENTER; break;
    default: flags |= DT_TOP; break;
  }
  flags |= AMultiLine ? DT_WORDBREAK : DT_SINGLELINE;
  if (AShowEndEllipsis) flags |= DT_END_ELLIPSIS;
  if (!AShowPrefix) flags |= DT_NOPREFIX;
  // The canvas selects its font lazily; the theme's text routine needs it now.
  HDC dc = ACanvas->Handle();
  HGDIOBJ oldFont = SelectObject(dc, ACanvas->Font()->Handle());
  const COLORREF oldColor = SetTextColor(dc, ColorToRGB(ATextColor));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  dxUxDrawThemeText(ATheme, dc, APartId, AStateId, AText, flags, 0, r);
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldColor);
  SelectObject(dc, oldFont);
}
