#include "foundation/cxLookAndFeelPaintersOffice11.h"

#include "platform/WinApi.h"
#include "foundation/cxGraphicsRoutines.h"
#include "foundation/cxLookAndFeelPaintersNative.h"
#include "foundation/dxOffice11.h"
#include "platform/gui/Controls.h"
#include "platform/gui/StdCtrls.h"
#include "foundation/dxThemeManager.h"

namespace {

TRect InflateR(const TRect& R, int DX, int DY) {
  return TRect(R.Left - DX, R.Top - DY, R.Right + DX, R.Bottom + DY);
}

TRect OffsetR(const TRect& R, int DX, int DY) {
  return TRect(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY);
}

const TdxOffice11Palette& Palette() { return dxOffice11Palette; }

void FillPixel(HDC dc, int X, int Y, TColor AColor) {
  dxFillSolidRect(dc, TRect(X, Y, X + 1, Y + 1), AColor);
}

// A column of one-pixel width from ATop to ABottom (exclusive).
void FillColumn(HDC dc, int X, int ATop, int ABottom, TColor AColor) {
  if (ABottom > ATop) dxFillSolidRect(dc, TRect(X, ATop, X + 1, ABottom), AColor);
}

int Office11UserCount = 0;

}  // namespace

void cxLookAndFeelPaintersOffice11Initialize() {
  if (Office11UserCount++ == 0) dxAddOffice11ColorsUser();
}

void cxLookAndFeelPaintersOffice11Finalize() {
  if (Office11UserCount > 0 && --Office11UserCount == 0) dxRemoveOffice11ColorsUser();
}

IMPLEMENT_CLASS(TcxOffice11LookAndFeelPainter, TcxUltraFlatLookAndFeelPainter, nullptr)

TcxCustomLookAndFeelPainterClass TcxOffice11LookAndFeelPainter::Instance() {
  static const TcxOffice11LookAndFeelPainter painter;
  return &painter;
}

TColor TcxOffice11LookAndFeelPainter::DefaultDateNavigatorHeaderHighlightTextColor() const {
  return clHighlightText;
}

void TcxOffice11LookAndFeelPainter::DrawCellContent(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor, TColor,
    const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsFooter) const {
  HDC dc = ACanvas->Handle();
  if (!AOnDrawBackground.Assigned() || !AOnDrawBackground(ACanvas, ABounds)) {
    const bool hot = AState == cxbsHot;
    const TColor top = hot ? Palette().ToolbarLight : HeaderTopColor();
    const TColor bottom = hot ? Palette().ToolbarLight : HeaderBottomColor();
    if (AIsFooter) {
      dxFillSolidRect(dc, ABounds, top);
    } else {
      dxFillSolidRect(dc, TRect(ABounds.Left, ABounds.Top, ABounds.Right, ABounds.Bottom - 3), top);
      dxFillGradientRect(dc, TRect(ABounds.Left, ABounds.Bottom - 4, ABounds.Right, ABounds.Bottom),
                         top, bottom, false);
    }
  }
  if (!AText.empty()) {
    ACanvas->Brush()->SetStyle(bsClear);
    if (AFont) ACanvas->SetFont(AFont);
    ACanvas->Font()->SetColor(ATextColor);
    TRect r = ATextAreaBounds;
    ACanvas->DrawTexT(AText, r, AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis);
    ACanvas->Brush()->SetStyle(bsSolid);
  }
  if (AState == cxbsHot)
    dxFillGradientRect(dc, TRect(ABounds.Left - 1, ABounds.Bottom - 2, ABounds.Right,
                                 ABounds.Bottom + 1),
                       Palette().HotFirst, Palette().HotSecond, false);
}

void TcxOffice11LookAndFeelPainter::DrawSchedulerNavigationButtonContent(
    TcxCanvas* ACanvas, const TRect& ARect, const TRect& AArrowRect, bool AIsNextButton,
    TcxButtonState AState) const {
  TColor fill = Palette().DockFirst;
  if (AState == cxbsHot)
    fill = Palette().HotFirst;
  else if (AState == cxbsPressed)
    fill = Palette().PressedFirst;
  dxFillSolidRect(ACanvas->Handle(), ARect, fill);
  ACanvas->FrameRect(ARect, Palette().SchedulerFrame, 1,
                     AIsNextButton ? TcxBorders{bLeft, bTop, bBottom}
                                   : TcxBorders{bTop, bRight, bBottom});
  DrawSchedulerNavigationButtonArrow(ACanvas, AArrowRect, AIsNextButton,
                                     ButtonSymbolColor(AState, clDefault));
}

TcxLookAndFeelStyle TcxOffice11LookAndFeelPainter::LookAndFeelStyle() const {
  return lfsOffice11;
}

bool TcxOffice11LookAndFeelPainter::NeedRedrawOnResize() const { return true; }

TColor TcxOffice11LookAndFeelPainter::DefaultFilterBoxColor() const {
  return Palette().FloatingFrame;
}
TColor TcxOffice11LookAndFeelPainter::DefaultFilterBoxTextColor() const {
  return Palette().CaptionText;
}
TColor TcxOffice11LookAndFeelPainter::DefaultFooterColor() const { return Palette().DockFirst; }
TColor TcxOffice11LookAndFeelPainter::DefaultFooterTextColor() const {
  return DefaultHeaderTextColor();
}
TColor TcxOffice11LookAndFeelPainter::DefaultGroupByBoxColor() const {
  return Palette().GroupByBox;
}
TColor TcxOffice11LookAndFeelPainter::DefaultGroupByBoxTextColor() const {
  return Palette().ToolbarLight;
}
TColor TcxOffice11LookAndFeelPainter::DefaultGroupColor() const { return Palette().Group; }
TColor TcxOffice11LookAndFeelPainter::DefaultHeaderBackgroundColor() const {
  return DefaultGroupByBoxColor();
}
TColor TcxOffice11LookAndFeelPainter::DefaultHeaderColor() const { return HeaderTopColor(); }
TColor TcxOffice11LookAndFeelPainter::DefaultDateNavigatorHeaderColor() const {
  return Palette().DockFirst;
}
TColor TcxOffice11LookAndFeelPainter::DefaultDateNavigatorSelectionColor() const {
  return Palette().DateNavigatorSelection;
}
TColor TcxOffice11LookAndFeelPainter::DefaultDateNavigatorSelectionTextColor() const {
  return clWindowText;
}
TColor TcxOffice11LookAndFeelPainter::DefaultSchedulerBorderColor() const {
  return Palette().SchedulerFrame;
}
TColor TcxOffice11LookAndFeelPainter::DefaultSchedulerControlColor() const {
  return Palette().SchedulerControl;
}
TColor TcxOffice11LookAndFeelPainter::DefaultTabColor() const { return Palette().DockSecond; }
TColor TcxOffice11LookAndFeelPainter::DefaultTabsBackgroundColor() const {
  return DefaultTabColor();
}
TColor TcxOffice11LookAndFeelPainter::DefaultTimeGridMinorScaleColor() const {
  return Palette().DockFirst;
}
TColor TcxOffice11LookAndFeelPainter::DefaultTimeGridSelectionBarColor() const {
  return DefaultSchedulerControlColor();
}

void TcxOffice11LookAndFeelPainter::DrawBorder(TcxCanvas* ACanvas, const TRect& R) const {
  ACanvas->FrameRect(R, Palette().ControlFrame);
}

void TcxOffice11LookAndFeelPainter::DrawSeparator(TcxCanvas* ACanvas, const TRect& R,
                                                  bool AIsVertical) const {
  TRect s = CenteredSeparatorRect(R, 2, AIsVertical);
  s.Right -= 1;
  s.Bottom -= 1;
  HDC dc = ACanvas->Handle();
  dxFillSolidRect(dc, s, Palette().SeparatorDark);
  s = OffsetR(s, 1, 1);
  dxFillSolidRect(dc, s, Palette().SeparatorLight);
}

TColor TcxOffice11LookAndFeelPainter::ButtonColor(TcxButtonState AState) const {
  switch (AState) {
    case cxbsHot: return Palette().HotFirst;
    case cxbsPressed: return Palette().PressedFirst;
    case cxbsDisabled: return clBtnFace;
    default: return Palette().DockFirst;
  }
}

TColor TcxOffice11LookAndFeelPainter::ButtonSymbolColor(TcxButtonState AState, TColor) const {
  // Without a recognised scheme the pressed fill is the dark selection
  // colour, on which only the highlight text colour reads.
  if (AState == cxbsPressed && !dxIsOffice11SchemeThemed()) return clHighlightText;
  return AState == cxbsDisabled ? Palette().DisabledText : Palette().Text;
}

void TcxOffice11LookAndFeelPainter::DrawButtonBorder(TcxCanvas* ACanvas, const TRect& R,
                                                     TcxButtonState AState) const {
  switch (AState) {
    case cxbsDefault:
      TcxUltraFlatLookAndFeelPainter::DrawButtonBorder(ACanvas, R, AState);
      break;
    case cxbsNormal: ACanvas->FrameRect(R, clBtnText); break;
    case cxbsDisabled: ACanvas->FrameRect(R, Palette().DisabledText); break;
    default: ACanvas->FrameRect(R, Palette().SelectedFrame); break;
  }
}

void TcxOffice11LookAndFeelPainter::DrawExpandButton(TcxCanvas* ACanvas, const TRect& R,
                                                     bool AExpanded, TColor) const {
  TBitmap* bitmap =
      AExpanded ? Palette().ExpandButtonMinusBitmap : Palette().ExpandButtonPlusBitmap;
  if (!bitmap) return;
  HDC dc = ACanvas->Handle();
  // The corners are blended from the fixed corner colours and what lies
  // under them now; the shared bitmap itself is never changed, so repeated
  // drawing on other backgrounds does not accumulate.
  const TColor lightBack = TColor(::GetPixel(dc, R.Left, R.Top));
  const TColor darkBack = TColor(::GetPixel(dc, R.Right - 1, R.Bottom - 1));
  BitBlt(dc, R.Left, R.Top, bitmap->Width(), bitmap->Height(),
         bitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
  const TColor light = dxMixColors(dxOffice11ExpandButtonLightCorner, lightBack, 25);
  const TColor dark = dxMixColors(dxOffice11ExpandButtonDarkCorner, darkBack, 25);
  ::SetPixel(dc, R.Left, R.Top, light);
  ::SetPixel(dc, R.Left + 10, R.Top + 10, dark);
  ::SetPixel(dc, R.Left, R.Top + 10, dark);
  ::SetPixel(dc, R.Left + 10, R.Top, dark);
}

bool TcxOffice11LookAndFeelPainter::DrawExpandButtonFirst() const { return false; }

void TcxOffice11LookAndFeelPainter::DrawSmallExpandButton(TcxCanvas* ACanvas, const TRect& R,
                                                          bool AExpanded, TColor,
                                                          TColor AColor) const {
  DrawExpandButton(ACanvas, R, AExpanded, AColor);
}

int TcxOffice11LookAndFeelPainter::ExpandButtonSize() const { return 11; }

int TcxOffice11LookAndFeelPainter::SmallExpandButtonSize() const { return 11; }

TColor TcxOffice11LookAndFeelPainter::CheckButtonColor(TcxButtonState AState) const {
  if (AState == cxbsHot || AState == cxbsPressed || AState == cxbsDisabled)
    return ButtonColor(AState);
  return TcxUltraFlatLookAndFeelPainter::CheckButtonColor(AState);
}

void TcxOffice11LookAndFeelPainter::DrawHeader(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor, TColor ABkColor,
    const TcxDrawBackgroundEvent&, bool AIsLast, bool) const {
  // The gradient is this look's header: a caller's background would hide it.
  TcxUltraFlatLookAndFeelPainter::DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors,
                                             ABorders, AState, AAlignmentHorz, AAlignmentVert,
                                             AMultiLine, AShowEndEllipsis, AText, AFont,
                                             ATextColor, ABkColor, TcxDrawBackgroundEvent(),
                                             AIsLast, false);
}

void TcxOffice11LookAndFeelPainter::DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R,
                                                     TcxNeighbors ANeighbors,
                                                     TcxBorders ABorders) const {
  HDC dc = ACanvas->Handle();
  const TColor top = HeaderTopColor(), bottom = HeaderBottomColor();
  const TColor dark = HeaderDarkEdgeColor(), light = HeaderLightEdgeColor();
  const TColor corner = dxMixColors(top, bottom, 25);
  if (ABorders.Contains(bTop)) dxFillSolidRect(dc, TRect(R.Left, R.Top, R.Right, R.Top + 1), top);
  if (ABorders.Contains(bBottom))
    dxFillSolidRect(dc, TRect(R.Left, R.Bottom - 1, R.Right, R.Bottom), dark);
  if (ABorders.Contains(bLeft)) {
    FillPixel(dc, R.Left, R.Top + 1, top);
    if (ANeighbors.Contains(nLeft)) {
      FillPixel(dc, R.Left, R.Top + 2, top);
      FillPixel(dc, R.Left, R.Bottom - 3, corner);
      FillPixel(dc, R.Left, R.Bottom - 2, bottom);
      FillColumn(dc, R.Left, R.Top + 2, R.Bottom - 3, light);
    } else {
      FillPixel(dc, R.Left, R.Bottom - 2, bottom);
      FillColumn(dc, R.Left, R.Top + 1, R.Bottom - 2, light);
    }
  }
  if (ABorders.Contains(bRight)) {
    const int x = R.Right - 1;
    if (ANeighbors.Contains(nRight)) {
      FillPixel(dc, x, R.Top + 1, top);
      FillPixel(dc, x, R.Top + 2, top);
      FillPixel(dc, x, R.Bottom - 3, corner);
      FillPixel(dc, x, R.Bottom - 2, bottom);
      FillColumn(dc, x, R.Top + 2, R.Bottom - 3, dark);
    } else {
      FillPixel(dc, x, R.Top, dxMixColors(top, dark, 50));
      FillPixel(dc, x, R.Bottom - 2, dxMixColors(bottom, dark, 50));
      FillColumn(dc, x, R.Top + 1, R.Bottom - 2, dark);
    }
  }
}

void TcxOffice11LookAndFeelPainter::DrawHeaderControlSection(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
    TColor ABkColor) const {
  DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState, AAlignmentHorz,
             AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor,
             TcxDrawBackgroundEvent(), false, false);
  if (AState == cxbsPressed) DrawHeaderPressed(ACanvas, ABounds);
}

void TcxOffice11LookAndFeelPainter::DrawSortingMark(TcxCanvas* ACanvas, const TRect& R,
                                                    bool AAscendingSorting) const {
  DrawSortingTriangle(ACanvas, R, AAscendingSorting, HeaderLightEdgeColor(),
                      HeaderDarkEdgeColor());
}

TcxBorders TcxOffice11LookAndFeelPainter::HeaderBorders(TcxNeighbors) const {
  return cxBordersAll;
}

int TcxOffice11LookAndFeelPainter::HeaderBorderSize() const { return 1; }

bool TcxOffice11LookAndFeelPainter::IsHeaderHotTrack() const { return true; }

TColor TcxOffice11LookAndFeelPainter::FooterSeparatorColor() const {
  return HeaderDarkEdgeColor();
}

void TcxOffice11LookAndFeelPainter::DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal,
                                                      const TRect& R, TcxScrollBarPart APart,
                                                      TcxButtonState AState) const {
  const TcxCustomLookAndFeelPainter* painter =
      dxAreThemesUsable(TdxThemedObjectTypes{totScrollBar})
          ? TcxWinXPLookAndFeelPainter::Instance()
          : TcxStandardLookAndFeelPainter::Instance();
  painter->DrawScrollBarPart(ACanvas, AHorizontal, R, APart, AState);
}

void TcxOffice11LookAndFeelPainter::DrawSizeGrip(TcxCanvas* ACanvas, const TRect& ARect,
                                                 TColor ABackgroundColor) const {
  dxFillSolidRect(ACanvas->Handle(), ARect, ABackgroundColor);
  dxDrawGripTriangle(ACanvas->Handle(), ARect, clDefault, clDefault);
}

void TcxOffice11LookAndFeelPainter::DrawMonthHeader(
    TcxCanvas* ACanvas, const TRect& ABounds, const String& AText, TcxNeighbors,
    const TcxViewParams& AViewParams, TcxHeaderArrows AArrows, int ASideWidth,
    const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  TRect r = ABounds;
  r = InflateR(r, -1, -1);
  if (!AOnDrawBackground.Assigned() || !AOnDrawBackground(ACanvas, r))
    ACanvas->FillRect(r, AViewParams);
  if (!AText.empty()) {
    ACanvas->Brush()->SetStyle(bsClear);
    if (AViewParams.Font) ACanvas->SetFont(AViewParams.Font);
    ACanvas->Font()->SetColor(AViewParams.TextColor);
    TRect textRect = r;
    ACanvas->DrawTexT(AText, textRect, taCenter, vaCenter, false, false);
    ACanvas->Brush()->SetStyle(bsSolid);
  }
  DrawMonthHeaderArrows(ACanvas, ABounds, clWindowText, ASideWidth, AArrows);
}

void TcxOffice11LookAndFeelPainter::DrawSchedulerBorder(TcxCanvas* ACanvas, const TRect& R) const {
  ACanvas->FrameRect(R, DefaultSchedulerBorderColor());
}

void TcxOffice11LookAndFeelPainter::DrawSchedulerNavigatorButton(TcxCanvas* ACanvas,
                                                                 const TRect& R,
                                                                 TcxButtonState AState) const {
  TcxWinXPLookAndFeelPainter::Instance()->DrawSchedulerNavigatorButton(ACanvas, R, AState);
}

void TcxOffice11LookAndFeelPainter::DrawDateNavigatorDateHeader(TcxCanvas* ACanvas,
                                                                TRect& R) const {
  dxFillSolidRect(ACanvas->Handle(), R, DefaultDateNavigatorHeaderColor());
}

void TcxOffice11LookAndFeelPainter::DrawGroupBoxFrame(TcxCanvas* ACanvas, const TRect& R,
                                                      bool AEnabled,
                                                      TcxGroupBoxCaptionPosition ACaptionPosition,
                                                      TcxBorders ABorders) const {
  if (dxAreThemesUsable(TdxThemedObjectTypes{totButton}))
    TcxWinXPLookAndFeelPainter::Instance()->DrawGroupBoxFrame(ACanvas, R, AEnabled,
                                                              ACaptionPosition, ABorders);
  else
    TcxUltraFlatLookAndFeelPainter::DrawGroupBoxFrame(ACanvas, R, AEnabled, ACaptionPosition,
                                                      ABorders);
}

TColor TcxOffice11LookAndFeelPainter::GroupBoxTextColor(
    bool AEnabled, TcxGroupBoxCaptionPosition ACaptionPosition) const {
  if (dxAreThemesUsable(TdxThemedObjectTypes{totButton}))
    return TcxWinXPLookAndFeelPainter::Instance()->GroupBoxTextColor(AEnabled, ACaptionPosition);
  return TcxUltraFlatLookAndFeelPainter::GroupBoxTextColor(AEnabled, ACaptionPosition);
}

void TcxOffice11LookAndFeelPainter::DrawPanelBackground(TcxCanvas* ACanvas, TWinControl* AControl,
                                                        const TRect& ABounds, TColor AColorFrom,
                                                        TColor AColorTo) const {
  if (AColorFrom == clDefault) {
    if (AControl) cxPaintParentControlsUnder(AControl, ACanvas, ABounds);
  } else if (AColorTo == clDefault) {
    dxFillSolidRect(ACanvas->Handle(), ABounds, AColorFrom);
  } else {
    dxFillGradientRect(ACanvas->Handle(), ABounds, AColorFrom, AColorTo, false);
  }
}

void TcxOffice11LookAndFeelPainter::DrawTrackBarTrackBounds(TcxCanvas* ACanvas,
                                                            const TRect& ARect) const {
  ACanvas->FrameRect(ARect, clBtnText);
}

void TcxOffice11LookAndFeelPainter::DrawTrackBarThumbBorderUpDown(
    TcxCanvas* ACanvas, const TPointArray& ALightPolyLine, const TPointArray&,
    const TPointArray& ADarkPolyLine) const {
  ACanvas->Pen()->SetColor(clBtnText);
  ACanvas->Polyline(ALightPolyLine);
  ACanvas->Polyline(ADarkPolyLine);
}

void TcxOffice11LookAndFeelPainter::DrawTrackBarThumbBorderBoth(TcxCanvas* ACanvas,
                                                                const TRect& ARect) const {
  ACanvas->FrameRect(ARect, clBtnText);
}

TColor TcxOffice11LookAndFeelPainter::GetSplitterInnerColor(bool) const {
  return Palette().SeparatorLight;
}

TColor TcxOffice11LookAndFeelPainter::GetSplitterOuterColor(bool AHighlighted) const {
  return AHighlighted ? Palette().SelectedFrame : Palette().SeparatorDark;
}

TSize TcxOffice11LookAndFeelPainter::GetSplitterSize(bool AHorizontal) const {
  return TcxCustomLookAndFeelPainter::GetSplitterSize(AHorizontal);
}

void TcxOffice11LookAndFeelPainter::DrawLayoutControlBackground(TcxCanvas* ACanvas,
                                                                const TRect& R) const {
  dxFillGradientRect(ACanvas->Handle(), R, Palette().ToolbarLight, Palette().ToolbarDark, false);
}

TColor TcxOffice11LookAndFeelPainter::GetButtonBorderColor(TcxButtonState AState) const {
  return AState == cxbsNormal ? HeaderDarkEdgeColor() : Palette().SelectedFrame;
}

TColor TcxOffice11LookAndFeelPainter::GetBorderShadowColor() const {
  return HeaderDarkEdgeColor();
}

TColor TcxOffice11LookAndFeelPainter::GetBorderDarkColor() const {
  return TcxUltraFlatLookAndFeelPainter::GetBorderDarkColor();
}

TColor TcxOffice11LookAndFeelPainter::BorderHighlightColor() const {
  return Palette().SelectedFrame;
}

TColor TcxOffice11LookAndFeelPainter::HeaderBottomColor() const { return Palette().ToolbarDark; }

TColor TcxOffice11LookAndFeelPainter::HeaderDarkEdgeColor() const {
  return Palette().SeparatorDark;
}

TColor TcxOffice11LookAndFeelPainter::HeaderLightEdgeColor() const {
  return Palette().SeparatorLight;
}

TColor TcxOffice11LookAndFeelPainter::HeaderTopColor() const {
  return dxMixColors(Palette().ToolbarLight, Palette().ToolbarDark, 50);
}
