// The Flat and UltraFlat looks, plus the classic pieces (tab borders, header
// borders, filter buttons, track patterns) that the Standard look shares.
#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPaintersFlat.h"

#include "foundation/cxGraphicsRoutines.h"
#include "foundation/cxLookAndFeelPaintersStandard.h"

namespace {

TRect Shrunk(const TRect& R, int D) { return TRect(R.Left + D, R.Top + D, R.Right - D, R.Bottom - D); }

void Fill(TcxCanvas* ACanvas, const TRect& R, TColor AColor) {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(R, AColor);
}

void Pixel(TcxCanvas* ACanvas, int X, int Y, TColor AColor) {
  Fill(ACanvas, TRect(X, Y, X + 1, Y + 1), AColor);
}

TcxArrowDirection ScrollArrowDirection(bool AHorizontal, TcxScrollBarPart APart) {
  if (AHorizontal) return APart == sbpLineUp ? adLeft : adRight;
  return APart == sbpLineUp ? adUp : adDown;
}

// The splitter border of both flat looks: two lines, the rectangle pulled in
// across the lines and out along them, and the rest filled from the params.
void DrawSplitterBorder(TcxCanvas* ACanvas, const TRect& R, const TcxViewParams& AViewParams,
                        bool AIsHorizontal, TColor AFirst, TColor ASecond) {
  TRect r = R;
  if (AIsHorizontal) {
    Fill(ACanvas, TRect(r.Left, r.Top, r.Right, r.Top + 1), AFirst);
    Fill(ACanvas, TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom), ASecond);
    r = TRect(r.Left - 1, r.Top + 1, r.Right + 1, r.Bottom - 1);
  } else {
    Fill(ACanvas, TRect(r.Left, r.Top, r.Left + 1, r.Bottom), AFirst);
    Fill(ACanvas, TRect(r.Right - 1, r.Top, r.Right, r.Bottom), ASecond);
    r = TRect(r.Left + 1, r.Top - 1, r.Right - 1, r.Bottom + 1);
  }
  ACanvas->FillRect(r, AViewParams);
}

void Polyline(TcxCanvas* ACanvas, const TPointArray& APoints, TColor AColor) {
  if (APoints.empty()) return;
  ACanvas->Pen()->SetColor(AColor);
  ACanvas->Polyline(APoints);
}

}  // namespace

// ---------------------------------------------------------------------------
// Shared classic pieces
// ---------------------------------------------------------------------------

void cxPainterShared::FillScrollBarTrack(TcxCanvas* ACanvas, const TRect& R, bool APressed) {
  TBitmap* pattern = cxScrollBarPatternBitmaps(APressed ? 1 : 0);
  if (!pattern) return;
  ACanvas->Brush()->SetBitmap(pattern);
  ACanvas->FillRect(R);
  ACanvas->Brush()->SetBitmap(nullptr);
  ACanvas->Brush()->SetStyle(bsSolid);
}

void cxPainterShared::DrawClassicTabBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorder ABorder,
                                           TcxBorders ABorders, bool AVertical) {
  TRect r = R;
  TColor color = clBtnHighlight;
  if (!AVertical) {
    if (ABorder == bLeft || ABorder == bRight) {
      if (ABorders.Contains(bTop)) r.Top += 2;
      if (ABorders.Contains(bBottom)) r.Bottom -= 1;
    } else if (ABorder == bTop) {
      ++r.Left;
      --r.Right;
      // The rounded corners.
      Pixel(ACanvas, r.Left - 1, r.Top + 1, clBtnHighlight);
      Pixel(ACanvas, r.Right, r.Top + 1, clBtnHighlight);
    }
    if (ABorder == bRight) color = clBtnShadow;
  } else {
    if (ABorder == bLeft) {
      r.Top += ABorders.Contains(bTop) ? 2 : 1;
      r.Bottom -= ABorders.Contains(bBottom) ? 2 : 1;
      Pixel(ACanvas, r.Left + 1, r.Top - 1, clBtnHighlight);
      Pixel(ACanvas, r.Left + 1, r.Bottom, clBtnHighlight);
    } else if ((ABorder == bTop || ABorder == bBottom) && ABorders.Contains(bLeft)) {
      ++r.Left;
    }
    if (ABorder == bBottom) color = clBtnShadow;
  }
  Fill(ACanvas, r, color);
}

void cxPainterShared::DrawClassicHeaderBorder(TcxCanvas* ACanvas, const TRect& R,
                                              TcxBorders ABorders) {
  ACanvas->DrawEdge(R, false, false);
  if (ABorders.Contains(bLeft)) {
    Pixel(ACanvas, R.Left, R.Top + 1, clBtnFace);
    Pixel(ACanvas, R.Left, R.Bottom - 2, clBtnFace);
  }
  if (ABorders.Contains(bRight)) {
    Pixel(ACanvas, R.Right - 1, R.Top, clBtnHighlight);
    Pixel(ACanvas, R.Right - 1, R.Top + 1, clBtnFace);
    Pixel(ACanvas, R.Right - 1, R.Bottom - 2, clBtnFace);
  }
}

void cxPainterShared::DrawClassicFilterDropDownButton(const TcxCustomLookAndFeelPainter* APainter,
                                                      TcxCanvas* ACanvas, const TRect& R,
                                                      TcxButtonState AState,
                                                      bool AIsFilterActive) {
  const bool pressed = AState == cxbsPressed;
  ACanvas->DrawEdge(R, pressed, pressed);
  const TRect inner = Shrunk(R, 1);
  Fill(ACanvas, inner, clBtnFace);
  APainter->DrawDropDownTriangle(ACanvas, inner, AIsFilterActive ? clBlue : clBtnText);
}

// ---------------------------------------------------------------------------
// TcxFlatLookAndFeelPainter
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TcxFlatLookAndFeelPainter, TcxCustomLookAndFeelPainter, nullptr)

TcxCustomLookAndFeelPainterClass TcxFlatLookAndFeelPainter::Instance() {
  static const TcxFlatLookAndFeelPainter painter;
  return &painter;
}

TcxLookAndFeelStyle TcxFlatLookAndFeelPainter::LookAndFeelStyle() const { return lfsFlat; }
int TcxFlatLookAndFeelPainter::BorderSize() const { return 1; }

void TcxFlatLookAndFeelPainter::DrawBorder(TcxCanvas* ACanvas, const TRect& R) const {
  ACanvas->DrawEdge(R, true, true);
}

void TcxFlatLookAndFeelPainter::DrawSeparator(TcxCanvas* ACanvas, const TRect& R,
                                              bool AIsVertical) const {
  TcxStandardLookAndFeelPainter::Instance()->DrawSeparator(ACanvas, R, AIsVertical);
}

int TcxFlatLookAndFeelPainter::ButtonBorderSize(TcxButtonState AState) const {
  return AState == cxbsDefault ? 2 : 1;
}
int TcxFlatLookAndFeelPainter::ButtonTextOffset() const { return 1; }
int TcxFlatLookAndFeelPainter::ButtonTextShift() const { return 1; }

void TcxFlatLookAndFeelPainter::DrawButtonBorder(TcxCanvas* ACanvas, const TRect& R,
                                                 TcxButtonState AState) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  if (AState == cxbsPressed) {
    ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
    return;
  }
  TRect r = R;
  if (AState == cxbsDefault) {
    ACanvas->FrameRect(r, clBlack);
    r = Shrunk(r, 1);
  }
  ACanvas->DrawComplexFrame(r, clBtnHighlight, clBtnShadow);
}

void TcxFlatLookAndFeelPainter::DrawExpandButton(TcxCanvas* ACanvas, const TRect& R,
                                                 bool AExpanded, TColor AColor) const {
  DrawButton(ACanvas, R, String(), cxbsNormal, true, AColor, clDefault, false, false);
  DrawExpandSign(ACanvas, Shrunk(R, 1), AExpanded, clBtnText);
  ACanvas->ExcludeClipRect(R);
}

int TcxFlatLookAndFeelPainter::ExpandButtonSize() const { return 11; }
bool TcxFlatLookAndFeelPainter::IsButtonHotTrack() const { return false; }

void TcxFlatLookAndFeelPainter::DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R,
                                                TcxButtonState AState) const {
  ACanvas->DrawEdge(R, true, true);
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FrameRect(Shrunk(R, 1), CheckButtonColor(AState));
}

void TcxFlatLookAndFeelPainter::DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R,
                                                 TcxNeighbors, TcxBorders ABorders) const {
  cxPainterShared::DrawClassicHeaderBorder(ACanvas, R, ABorders);
}

void TcxFlatLookAndFeelPainter::DrawHeaderControlSectionBorder(TcxCanvas* ACanvas,
                                                               const TRect& R,
                                                               TcxBorders ABorders,
                                                               TcxButtonState AState) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  if (AState == cxbsPressed)
    ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight, ABorders);
  else
    ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow, ABorders);
}

void TcxFlatLookAndFeelPainter::DrawSortingMark(TcxCanvas* ACanvas, const TRect& R,
                                                bool AAscendingSorting) const {
  DrawSortingTriangle(ACanvas, R, AAscendingSorting, clBtnHighlight, clBtnShadow);
}

int TcxFlatLookAndFeelPainter::HeaderBorderSize() const { return 1; }
TPoint TcxFlatLookAndFeelPainter::SortingMarkSize() const { return TPoint{8, 7}; }
int TcxFlatLookAndFeelPainter::FooterBorderSize() const { return 1; }
int TcxFlatLookAndFeelPainter::FooterCellBorderSize() const { return 1; }
int TcxFlatLookAndFeelPainter::FooterCellOffset() const { return 1; }

void TcxFlatLookAndFeelPainter::DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const {
  ACanvas->DrawEdge(R, false, false);
}

void TcxFlatLookAndFeelPainter::DrawFooterCellBorder(TcxCanvas* ACanvas, const TRect& R) const {
  ACanvas->DrawEdge(R, true, true);
}

void TcxFlatLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R,
                                                         TcxButtonState AState,
                                                         bool AIsFilterActive) const {
  cxPainterShared::DrawClassicFilterDropDownButton(this, ACanvas, R, AState, AIsFilterActive);
}

void TcxFlatLookAndFeelPainter::DrawTabBorder(TcxCanvas* ACanvas, const TRect& R,
                                              TcxBorder ABorder, TcxBorders ABorders,
                                              bool AVertical) const {
  cxPainterShared::DrawClassicTabBorder(ACanvas, R, ABorder, ABorders, AVertical);
}

void TcxFlatLookAndFeelPainter::DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R,
                                             TcxBorders ABorders, bool) const {
  ACanvas->DrawEdge(R, false, false, ABorders);
}

int TcxFlatLookAndFeelPainter::TabBorderSize(bool) const { return 1; }

void TcxFlatLookAndFeelPainter::DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal,
                                                  const TRect& R, TcxScrollBarPart APart,
                                                  TcxButtonState AState) const {
  if (R.IsEmpty() || (APart == sbpThumbnail && AState == cxbsDisabled)) return;
  const TcxButtonState state = AState == cxbsHot ? cxbsNormal : AState;
  switch (APart) {
    case sbpLineUp:
    case sbpLineDown:
    case sbpThumbnail:
      DrawButton(ACanvas, R, String(), state, true, clDefault, clDefault, false, false);
      if (APart != sbpThumbnail)
        DrawScrollBarArrow(ACanvas, Shrunk(R, ButtonBorderSize(cxbsNormal)), state,
                           ScrollArrowDirection(AHorizontal, APart));
      break;
    case sbpPageUp:
    case sbpPageDown:
      cxPainterShared::FillScrollBarTrack(ACanvas, R, state == cxbsPressed);
      break;
    default:
      break;
  }
}

void TcxFlatLookAndFeelPainter::DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, const TRect& R,
                                                            const TcxViewParams& AViewParams,
                                                            bool AIsHorizontal) const {
  DrawSplitterBorder(ACanvas, R, AViewParams, AIsHorizontal, clBtnHighlight, clBtnShadow);
}

void TcxFlatLookAndFeelPainter::DrawDateNavigatorDateHeader(TcxCanvas* ACanvas, TRect& R) const {
  Fill(ACanvas, R, DefaultDateNavigatorHeaderColor());
  Fill(ACanvas, TRect(R.Left, R.Bottom - 1, R.Right, R.Bottom), clBtnFace);
  --R.Bottom;
}

void TcxFlatLookAndFeelPainter::DrawGroupBoxFrame(TcxCanvas* ACanvas, const TRect& R, bool,
                                                  TcxGroupBoxCaptionPosition,
                                                  TcxBorders ABorders) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FrameRect(R, clBtnShadow, 1, ABorders, true);
  ACanvas->FrameRect(Shrunk(R, 1), clBtnHighlight, 1, ABorders, true);
}

void TcxFlatLookAndFeelPainter::DrawTrackBarTrackBounds(TcxCanvas* ACanvas,
                                                        const TRect& ARect) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->DrawComplexFrame(ARect, clBtnShadow, clBtnHighlight);
  ACanvas->FrameRect(Shrunk(ARect, 1), clBtnFace);
}

void TcxFlatLookAndFeelPainter::DrawTrackBarThumbBorderUpDown(TcxCanvas* ACanvas,
                                                              const TPointArray& ALightPolyLine,
                                                              const TPointArray&,
                                                              const TPointArray& ADarkPolyLine)
    const {
  Polyline(ACanvas, ALightPolyLine, clBtnHighlight);
  Polyline(ACanvas, ADarkPolyLine, clBtnShadow);
}

void TcxFlatLookAndFeelPainter::DrawTrackBarThumbBorderBoth(TcxCanvas* ACanvas,
                                                            const TRect& ARect) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->DrawComplexFrame(ARect, clBtnHighlight, clBtnShadow);
}

TColor TcxFlatLookAndFeelPainter::GetSplitterOuterColor(bool AHighlighted) const {
  return AHighlighted ? cl3DDkShadow : TcxCustomLookAndFeelPainter::GetSplitterOuterColor(false);
}

// ---------------------------------------------------------------------------
// TcxUltraFlatLookAndFeelPainter
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TcxUltraFlatLookAndFeelPainter, TcxCustomLookAndFeelPainter, nullptr)

TcxCustomLookAndFeelPainterClass TcxUltraFlatLookAndFeelPainter::Instance() {
  static const TcxUltraFlatLookAndFeelPainter painter;
  return &painter;
}

void TcxUltraFlatLookAndFeelPainter::DrawFooterPanelFrame(TcxCanvas* ACanvas,
                                                          const TRect& ABounds,
                                                          TcxBorders ABorders) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FrameRect(ABounds, FooterSeparatorColor(), FooterSeparatorSize(), ABorders);
}

void TcxUltraFlatLookAndFeelPainter::DrawSchedulerNavigationButtonContent(
    TcxCanvas* ACanvas, const TRect& ARect, const TRect& AArrowRect, bool AIsNextButton,
    TcxButtonState AState) const {
  Fill(ACanvas, ARect, clBtnFace);
  const TcxBorders sides =
      AIsNextButton ? TcxBorders{bLeft, bTop, bBottom} : TcxBorders{bTop, bRight, bBottom};
  ACanvas->FrameRect(ARect, AState == cxbsHot ? GetBorderShadowColor() : GetBorderDarkColor(), 1,
                     sides);
  DrawSchedulerNavigationButtonArrow(ACanvas, AArrowRect, AIsNextButton,
                                     ButtonSymbolColor(AState, clDefault));
}

TcxLookAndFeelStyle TcxUltraFlatLookAndFeelPainter::LookAndFeelStyle() const {
  return lfsUltraFlat;
}
TColor TcxUltraFlatLookAndFeelPainter::DefaultSchedulerBorderColor() const { return clBtnShadow; }
int TcxUltraFlatLookAndFeelPainter::BorderSize() const { return 1; }

void TcxUltraFlatLookAndFeelPainter::DrawBorder(TcxCanvas* ACanvas, const TRect& R) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FrameRect(R, clBtnShadow);
}

void TcxUltraFlatLookAndFeelPainter::DrawSeparator(TcxCanvas* ACanvas, const TRect& R,
                                                   bool AIsVertical) const {
  Fill(ACanvas, CenteredSeparatorRect(R, BorderSize(), AIsVertical), clBtnShadow);
}

int TcxUltraFlatLookAndFeelPainter::ButtonBorderSize(TcxButtonState AState) const {
  return AState == cxbsDefault ? 2 : 1;
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonColor(TcxButtonState AState) const {
  switch (AState) {
    case cxbsHot:
      return cxPaleHighlightTintColor();
    case cxbsPressed:
      return cxHighlightTintColor();
    default:
      return clBtnFace;
  }
}

TRect TcxUltraFlatLookAndFeelPainter::ButtonFocusRect(TcxCanvas*, const TRect& R) const {
  const TRect r = Shrunk(R, 3);
  return r.IsEmpty() ? R : r;
}

TRect TcxUltraFlatLookAndFeelPainter::ButtonGroupBorderSizes(int AButtonCount,
                                                             int AButtonIndex) const {
  TRect result(1, 2, 1, 2);
  if (AButtonIndex == 0) result.Left = 2;
  if (AButtonIndex == AButtonCount - 1) result.Right = 2;
  return result;
}

int TcxUltraFlatLookAndFeelPainter::ButtonTextOffset() const { return 2; }
int TcxUltraFlatLookAndFeelPainter::ButtonTextShift() const { return 0; }

TColor TcxUltraFlatLookAndFeelPainter::ButtonSymbolColor(TcxButtonState AState,
                                                         TColor ADefaultColor) const {
  if (AState == cxbsPressed) return clHighlightText;
  return TcxCustomLookAndFeelPainter::ButtonSymbolColor(AState, ADefaultColor);
}

TcxButtonState TcxUltraFlatLookAndFeelPainter::ButtonSymbolState(TcxButtonState) const {
  return cxbsNormal;
}

void TcxUltraFlatLookAndFeelPainter::DrawButtonInGroup(TcxCanvas* ACanvas, const TRect& R,
                                                       TcxButtonState AState, int AButtonCount,
                                                       int AButtonIndex,
                                                       TColor ABackgroundColor) const {
  const bool first = AButtonIndex == 0;
  const bool last = AButtonIndex == AButtonCount - 1;
  TRect f(R.Left + (first ? 1 : 0), R.Top + 1, R.Right - (last ? 1 : 0), R.Bottom - 1);
  ACanvas->Brush()->SetStyle(bsSolid);
  if (AState == cxbsNormal || AState == cxbsDisabled) {
    // Hides the group's inner lines around a quiet button.
    ACanvas->FrameRect(f, ABackgroundColor);
    f = Shrunk(f, 1);
  } else {
    if (!first) {
      ACanvas->FillRect(TRect(f.Left, f.Top, f.Left + 1, f.Bottom), BorderHighlightColor());
      ++f.Left;
    }
    if (!last) {
      ACanvas->FillRect(TRect(f.Right - 1, f.Top, f.Right, f.Bottom), BorderHighlightColor());
      --f.Right;
    }
  }
  ACanvas->FillRect(f, ButtonColor(AState));
}

void TcxUltraFlatLookAndFeelPainter::DrawButtonBorder(TcxCanvas* ACanvas, const TRect& R,
                                                      TcxButtonState AState) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  switch (AState) {
    case cxbsDefault:
      ACanvas->FrameRect(R, clWindowFrame);
      ACanvas->FrameRect(Shrunk(R, 1), clWindowFrame);
      break;
    case cxbsNormal:
      ACanvas->FrameRect(R, clBtnText);
      break;
    case cxbsDisabled:
      ACanvas->FrameRect(R, clBtnShadow);
      break;
    default:
      ACanvas->FrameRect(R, clHighlight);
      break;
  }
}

void TcxUltraFlatLookAndFeelPainter::DrawButtonGroupBorder(TcxCanvas* ACanvas, const TRect& R,
                                                           bool AInplace, bool ASelected) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FrameRect(R, AInplace ? clBtnText : ASelected ? BorderHighlightColor() : clBtnShadow);
}

void TcxUltraFlatLookAndFeelPainter::DrawExpandButton(TcxCanvas* ACanvas, const TRect& R,
                                                      bool AExpanded, TColor AColor) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FrameRect(R, clBtnShadow);
  const TRect inner = Shrunk(R, 1);
  ACanvas->FillRect(inner, AColor == clDefault ? clBtnFace : AColor);
  DrawExpandSign(ACanvas, inner, AExpanded, clBtnText);
  ACanvas->ExcludeClipRect(R);
}

int TcxUltraFlatLookAndFeelPainter::ExpandButtonSize() const { return 11; }
bool TcxUltraFlatLookAndFeelPainter::IsButtonHotTrack() const { return true; }

void TcxUltraFlatLookAndFeelPainter::DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R,
                                                     TcxButtonState AState) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FrameRect(R, clBtnText);
  ACanvas->FrameRect(Shrunk(R, 1), CheckButtonColor(AState));
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderEx(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor, TColor ABkColor,
    const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  DrawCellContent(ACanvas, ABounds, Shrunk(ATextAreaBounds, 1), AState, AAlignmentHorz,
                  AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor,
                  ABkColor, AOnDrawBackground, false);
  DrawHeaderBorder(ACanvas, Shrunk(ABounds, 1), ANeighbors, ABorders);
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R,
                                                      TcxNeighbors, TcxBorders ABorders) const {
  TcxBorders sides{bRight, bBottom};
  if (ABorders.Contains(bLeft)) sides += TcxBorders{bLeft};
  if (ABorders.Contains(bTop)) sides += TcxBorders{bTop};
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FrameRect(R, clBtnText, 1, sides);
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderControlSectionBorder(TcxCanvas* ACanvas,
                                                                    const TRect& R,
                                                                    TcxBorders ABorders,
                                                                    TcxButtonState AState) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FrameRect(R, AState == cxbsDisabled ? clBtnShadow : clBlack, 1, ABorders);
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderControlSectionContent(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxButtonState AState, TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
    bool AMultiLine, bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
    TColor ABkColor) const {
  const bool tinted = AState == cxbsHot || AState == cxbsPressed || AState == cxbsDisabled;
  Fill(ACanvas, ABounds, tinted ? ButtonColor(AState) : ABkColor);
  if (AFont) ACanvas->SetFont(AFont);
  ACanvas->Font()->SetColor(ATextColor);
  DrawHeaderControlSectionText(ACanvas, ATextAreaBounds, AState, AAlignmentHorz, AAlignmentVert,
                               AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor);
}

void TcxUltraFlatLookAndFeelPainter::DrawSortingMark(TcxCanvas* ACanvas, const TRect& R,
                                                     bool AAscendingSorting) const {
  DrawSortingTriangle(ACanvas, R, AAscendingSorting, clBtnShadow, clBtnShadow);
}

TcxBorders TcxUltraFlatLookAndFeelPainter::HeaderBorders(TcxNeighbors ANeighbors) const {
  TcxBorders result = cxBordersAll;
  if (ANeighbors.Contains(nLeft)) result -= TcxBorders{bLeft};
  if (ANeighbors.Contains(nTop)) result -= TcxBorders{bTop};
  return result;
}

int TcxUltraFlatLookAndFeelPainter::HeaderBorderSize() const { return 1; }
TPoint TcxUltraFlatLookAndFeelPainter::SortingMarkSize() const { return TPoint{7, 8}; }
TcxBorders TcxUltraFlatLookAndFeelPainter::FooterBorders() const {
  return TcxBorders{bRight, bBottom};
}
int TcxUltraFlatLookAndFeelPainter::FooterBorderSize() const { return 1; }
int TcxUltraFlatLookAndFeelPainter::FooterCellBorderSize() const { return 1; }
int TcxUltraFlatLookAndFeelPainter::FooterCellOffset() const { return 2; }

void TcxUltraFlatLookAndFeelPainter::DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const {
  DrawFooterPanelFrame(ACanvas, R, TcxBorders{bRight, bBottom});
}

void TcxUltraFlatLookAndFeelPainter::DrawFooterCellBorder(TcxCanvas* ACanvas,
                                                          const TRect& R) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FrameRect(R, FooterSeparatorColor());
}

void TcxUltraFlatLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R,
                                                              TcxButtonState AState,
                                                              bool AIsFilterActive) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FrameRect(R, GetButtonBorderColor(AState));
  const TRect inner = Shrunk(R, 1);
  ACanvas->FillRect(inner, ButtonColor(AState));
  DrawDropDownTriangle(ACanvas, inner,
                       AIsFilterActive ? clBlue : ButtonSymbolColor(AState, clDefault));
}

TPoint TcxUltraFlatLookAndFeelPainter::FilterCloseButtonSize() const { return TPoint{16, 15}; }

void TcxUltraFlatLookAndFeelPainter::DrawTabBorder(TcxCanvas* ACanvas, const TRect& R,
                                                   TcxBorder ABorder, TcxBorders,
                                                   bool AVertical) const {
  TRect r = R;
  TColor color = GetBorderShadowColor();
  if (!AVertical && ABorder == bRight) {
    r.Bottom -= TabBorderSize(AVertical);
    color = GetBorderDarkColor();
  } else if (AVertical && ABorder == bBottom) {
    color = GetBorderDarkColor();
  }
  Fill(ACanvas, r, color);
}

void TcxUltraFlatLookAndFeelPainter::DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R,
                                                  TcxBorders ABorders, bool AVertical) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FrameRect(R, GetBorderShadowColor(), TabBorderSize(AVertical), ABorders);
}

int TcxUltraFlatLookAndFeelPainter::TabBorderSize(bool) const { return 1; }

void TcxUltraFlatLookAndFeelPainter::DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal,
                                                       const TRect& R, TcxScrollBarPart APart,
                                                       TcxButtonState AState) const {
  if (R.IsEmpty() || (APart == sbpThumbnail && AState == cxbsDisabled)) return;
  switch (APart) {
    case sbpLineUp:
    case sbpLineDown:
    case sbpThumbnail:
      DrawButton(ACanvas, R, String(), AState, true, clDefault, clDefault, false, false);
      if (APart != sbpThumbnail)
        DrawScrollBarArrow(ACanvas, R, AState, ScrollArrowDirection(AHorizontal, APart));
      break;
    case sbpPageUp:
    case sbpPageDown:
      cxPainterShared::FillScrollBarTrack(ACanvas, R, AState == cxbsPressed);
      break;
    default:
      break;
  }
}

void TcxUltraFlatLookAndFeelPainter::DrawSchedulerNavigatorButton(TcxCanvas* ACanvas,
                                                                  const TRect& R,
                                                                  TcxButtonState AState) const {
  DrawButton(ACanvas, R, String(), AState, AState == cxbsHot || AState == cxbsPressed, clDefault,
             clDefault, false, false);
}

void TcxUltraFlatLookAndFeelPainter::DrawSchedulerSplitterBorder(TcxCanvas* ACanvas,
                                                                 const TRect& R,
                                                                 const TcxViewParams& AViewParams,
                                                                 bool AIsHorizontal) const {
  DrawSplitterBorder(ACanvas, R, AViewParams, AIsHorizontal, DefaultSchedulerBorderColor(),
                     DefaultSchedulerBorderColor());
}

void TcxUltraFlatLookAndFeelPainter::DrawGroupBoxFrame(TcxCanvas* ACanvas, const TRect& R,
                                                       bool AEnabled, TcxGroupBoxCaptionPosition,
                                                       TcxBorders ABorders) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FrameRect(R, AEnabled ? clHighlight : clBtnShadow, 1, ABorders, true);
}

void TcxUltraFlatLookAndFeelPainter::DrawTrackBarTrackBounds(TcxCanvas* ACanvas,
                                                             const TRect& ARect) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FrameRect(ARect, clWindowText);
}

void TcxUltraFlatLookAndFeelPainter::DrawTrackBarThumbBorderUpDown(
    TcxCanvas* ACanvas, const TPointArray& ALightPolyLine, const TPointArray&,
    const TPointArray& ADarkPolyLine) const {
  Polyline(ACanvas, ALightPolyLine, clWindowText);
  Polyline(ACanvas, ADarkPolyLine, clWindowText);
}

void TcxUltraFlatLookAndFeelPainter::DrawTrackBarThumbBorderBoth(TcxCanvas* ACanvas,
                                                                 const TRect& ARect) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FrameRect(ARect, clWindowText);
}

TColor TcxUltraFlatLookAndFeelPainter::GetSplitterOuterColor(bool AHighlighted) const {
  return AHighlighted ? clHighlight : TcxCustomLookAndFeelPainter::GetSplitterOuterColor(false);
}

TSize TcxUltraFlatLookAndFeelPainter::GetSplitterSize(bool AHorizontal) const {
  TSize result = TcxCustomLookAndFeelPainter::GetSplitterSize(AHorizontal);
  if (AHorizontal)
    result.cy = 1;
  else
    result.cx = 1;
  return result;
}

void TcxUltraFlatLookAndFeelPainter::DrawPrintPreviewBackground(TcxCanvas* ACanvas,
                                                                const TRect& R) const {
  const COLORREF c = ColorToRGB(clBtnShadow);
  auto lighten = [](int v) { return v + (255 - v) / 3; };
  Fill(ACanvas, R,
       TColor(RGB(lighten(GetRValue(c)), lighten(GetGValue(c)), lighten(GetBValue(c)))));
}

TColor TcxUltraFlatLookAndFeelPainter::GetButtonBorderColor(TcxButtonState AState) const {
  return AState == cxbsNormal ? clBtnShadow : clHighlight;
}
TColor TcxUltraFlatLookAndFeelPainter::GetBorderShadowColor() const { return clBtnShadow; }
TColor TcxUltraFlatLookAndFeelPainter::GetBorderDarkColor() const { return clBtnText; }
TColor TcxUltraFlatLookAndFeelPainter::BorderHighlightColor() const { return clHighlight; }
