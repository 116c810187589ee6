// The classic 3-D look.
#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPaintersStandard.h"

#include "foundation/cxLookAndFeelPaintersFlat.h"
#include "platform/gui/StdCtrls.h"

namespace {

TRect Shrunk(const TRect& R, int D) { return TRect(R.Left + D, R.Top + D, R.Right - D, R.Bottom - D); }

void Fill(TcxCanvas* ACanvas, const TRect& R, TColor AColor) {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(R, AColor);
}

void Polyline(TcxCanvas* ACanvas, const TPointArray& APoints, TColor AColor) {
  if (APoints.empty()) return;
  ACanvas->Pen()->SetColor(AColor);
  ACanvas->Polyline(APoints);
}

// The two-ring classic bevel: outer colours, then one pixel inside the inner ones.
void Bevel(TcxCanvas* ACanvas, const TRect& R, TColor AOuterTL, TColor AOuterBR, TColor AInnerTL,
           TColor AInnerBR, TcxBorders ABorders = cxBordersAll) {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->DrawComplexFrame(R, AOuterTL, AOuterBR, ABorders);
  ACanvas->DrawComplexFrame(Shrunk(R, 1), AInnerTL, AInnerBR, ABorders);
}

}  // namespace

IMPLEMENT_CLASS(TcxStandardLookAndFeelPainter, TcxCustomLookAndFeelPainter, nullptr)

TcxCustomLookAndFeelPainterClass TcxStandardLookAndFeelPainter::Instance() {
  static const TcxStandardLookAndFeelPainter painter;
  return &painter;
}

TcxLookAndFeelStyle TcxStandardLookAndFeelPainter::LookAndFeelStyle() const { return lfsStandard; }
TColor TcxStandardLookAndFeelPainter::DefaultSchedulerViewContentColor() const { return clWindow; }
int TcxStandardLookAndFeelPainter::BorderSize() const { return 2; }

void TcxStandardLookAndFeelPainter::DrawBorder(TcxCanvas* ACanvas, const TRect& R) const {
  Bevel(ACanvas, R, clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight);
}

void TcxStandardLookAndFeelPainter::DrawSeparator(TcxCanvas* ACanvas, const TRect& R,
                                                  bool AIsVertical) const {
  TRect s = CenteredSeparatorRect(R, BorderSize(), AIsVertical);
  --s.Right;
  --s.Bottom;
  Fill(ACanvas, s, clBtnShadow);
  Fill(ACanvas, TRect(s.Left + 1, s.Top + 1, s.Right + 1, s.Bottom + 1), clBtnHighlight);
}

int TcxStandardLookAndFeelPainter::ButtonBorderSize(TcxButtonState AState) const {
  return AState == cxbsDefault ? 3 : 2;
}
int TcxStandardLookAndFeelPainter::ButtonTextOffset() const { return 1; }
int TcxStandardLookAndFeelPainter::ButtonTextShift() const { return 1; }

void TcxStandardLookAndFeelPainter::DrawButtonBorder(TcxCanvas* ACanvas, const TRect& R,
                                                     TcxButtonState AState) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  TRect r = R;
  if (AState == cxbsPressed) {
    ACanvas->FrameRect(r, clBlack);
    ACanvas->DrawComplexFrame(Shrunk(r, 1), clBtnShadow, clBtnShadow);
    return;
  }
  if (AState == cxbsDefault) {
    ACanvas->FrameRect(r, clBlack);
    r = Shrunk(r, 1);
  }
  Bevel(ACanvas, r, clBtnHighlight, cl3DDkShadow, cl3DLight, clBtnShadow);
}

void TcxStandardLookAndFeelPainter::DrawExpandButton(TcxCanvas* ACanvas, const TRect& R,
                                                     bool AExpanded, TColor AColor) const {
  TRect r = R;
  ACanvas->DrawEdge(r, false, false, TcxBorders{bLeft, bTop});
  ACanvas->DrawEdge(r, false, true, TcxBorders{bRight, bBottom});
  r = TRect(r.Left, r.Top, r.Right - 1, r.Bottom - 1);
  ACanvas->DrawEdge(r, false, false, TcxBorders{bRight, bBottom});
  const TRect face(R.Left + 1, R.Top + 1, R.Right - 2, R.Bottom - 2);
  Fill(ACanvas, face, AColor == clDefault ? clBtnFace : AColor);
  DrawExpandSign(ACanvas, face, AExpanded, clBtnText);
  ACanvas->ExcludeClipRect(R);
}

void TcxStandardLookAndFeelPainter::DrawGroupExpandButton(TcxCanvas* ACanvas, const TRect& R,
                                                          bool AExpanded,
                                                          TcxButtonState AState) const {
  // The classic look has no group button of its own: it shows the flat one.
  TcxFlatLookAndFeelPainter::Instance()->DrawGroupExpandButton(ACanvas, R, AExpanded, AState);
}

int TcxStandardLookAndFeelPainter::ExpandButtonSize() const { return 12; }
bool TcxStandardLookAndFeelPainter::IsButtonHotTrack() const { return false; }

void TcxStandardLookAndFeelPainter::DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R,
                                                    TcxButtonState) const {
  ACanvas->DrawEdge(R, true, false);
  ACanvas->DrawEdge(Shrunk(R, 1), true, true);
}

void TcxStandardLookAndFeelPainter::DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R,
                                                     TcxNeighbors, TcxBorders ABorders) const {
  cxPainterShared::DrawClassicHeaderBorder(ACanvas, R, ABorders);
}

void TcxStandardLookAndFeelPainter::DrawHeaderControlSectionBorder(TcxCanvas* ACanvas,
                                                                   const TRect& R,
                                                                   TcxBorders ABorders,
                                                                   TcxButtonState AState) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  if (AState == cxbsPressed)
    ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnShadow, ABorders);
  else
    Bevel(ACanvas, R, clBtnHighlight, cl3DDkShadow, cl3DLight, clBtnShadow, ABorders);
}

void TcxStandardLookAndFeelPainter::DrawSortingMark(TcxCanvas* ACanvas, const TRect& R,
                                                    bool AAscendingSorting) const {
  DrawSortingTriangle(ACanvas, R, AAscendingSorting, clBtnHighlight, clBtnShadow);
}

int TcxStandardLookAndFeelPainter::HeaderBorderSize() const { return 1; }
int TcxStandardLookAndFeelPainter::HeaderControlSectionBorderSize(TcxButtonState AState) const {
  return AState == cxbsPressed ? 1 : 2;
}
TPoint TcxStandardLookAndFeelPainter::SortingMarkSize() const { return TPoint{8, 7}; }
int TcxStandardLookAndFeelPainter::FooterBorderSize() const { return 1; }
int TcxStandardLookAndFeelPainter::FooterCellBorderSize() const { return 1; }
int TcxStandardLookAndFeelPainter::FooterCellOffset() const { return 1; }

void TcxStandardLookAndFeelPainter::DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const {
  ACanvas->DrawEdge(R, false, false);
}

void TcxStandardLookAndFeelPainter::DrawFooterCellBorder(TcxCanvas* ACanvas,
                                                         const TRect& R) const {
  ACanvas->DrawEdge(R, true, true);
}

void TcxStandardLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R,
                                                             TcxButtonState AState,
                                                             bool AIsFilterActive) const {
  cxPainterShared::DrawClassicFilterDropDownButton(this, ACanvas, R, AState, AIsFilterActive);
}

void TcxStandardLookAndFeelPainter::DrawTabBorder(TcxCanvas* ACanvas, const TRect& R,
                                                  TcxBorder ABorder, TcxBorders ABorders,
                                                  bool AVertical) const {
  cxPainterShared::DrawClassicTabBorder(ACanvas, R, ABorder, ABorders, AVertical);
}

void TcxStandardLookAndFeelPainter::DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R,
                                                 TcxBorders ABorders, bool) const {
  ACanvas->DrawEdge(R, false, false, ABorders);
}

int TcxStandardLookAndFeelPainter::TabBorderSize(bool) const { return 1; }

void TcxStandardLookAndFeelPainter::DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal,
                                                      const TRect& R, TcxScrollBarPart APart,
                                                      TcxButtonState AState) const {
  if (R.IsEmpty() || (APart == sbpThumbnail && AState == cxbsDisabled)) return;
  const TcxButtonState state = AState == cxbsHot ? cxbsNormal : AState;
  const bool pressed = state == cxbsPressed;
  auto drawBorder = [&](bool APressedArrow) {
    if (APressedArrow)
      Bevel(ACanvas, R, clBtnShadow, clBtnShadow, clBtnFace, clBtnFace);
    else
      Bevel(ACanvas, R, clBtnFace, cl3DDkShadow, clBtnHighlight, clBtnShadow);
  };
  switch (APart) {
    case sbpLineUp:
    case sbpLineDown: {
      UINT kind;
      if (AHorizontal)
        kind = APart == sbpLineUp ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT;
      else
        kind = APart == sbpLineUp ? DFCS_SCROLLUP : DFCS_SCROLLDOWN;
      if (state == cxbsDisabled) kind |= DFCS_INACTIVE;
      if (pressed) kind |= DFCS_FLAT;
      RECT r = {R.Left, R.Top, R.Right, R.Bottom};
      if (pressed) OffsetRect(&r, 1, 1);
      DrawFrameControl(ACanvas->Handle(), &r, DFC_SCROLL, kind);
      drawBorder(pressed);
      break;
    }
    case sbpThumbnail:
      drawBorder(false);
      Fill(ACanvas, Shrunk(R, ButtonBorderSize(cxbsNormal)), clBtnFace);
      break;
    case sbpPageUp:
    case sbpPageDown:
      cxPainterShared::FillScrollBarTrack(ACanvas, R, pressed);
      break;
    default:
      break;
  }
}

void TcxStandardLookAndFeelPainter::DrawMonthHeader(
    TcxCanvas* ACanvas, const TRect& ABounds, const String& AText, TcxNeighbors ANeighbors,
    const TcxViewParams& AViewParams, TcxHeaderArrows AArrows, int ASideWidth,
    const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  TcxBorders sides = cxBordersAll;
  if (ANeighbors.Contains(nLeft)) sides -= TcxBorders{bLeft};
  if (ANeighbors.Contains(nRight)) sides -= TcxBorders{bRight};
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FrameRect(ABounds, clBlack, 1, sides);
  const TRect content = HeaderContentBounds(ABounds, sides);
  DrawHeader(ACanvas, content, content, ANeighbors, cxBordersAll, cxbsNormal, taCenter, vaCenter,
             false, false, AText, AViewParams.Font, AViewParams.TextColor, AViewParams.Color,
             AOnDrawBackground, false, false);
  DrawMonthHeaderArrows(ACanvas, ABounds, clWindowText, ASideWidth, AArrows);
}

void TcxStandardLookAndFeelPainter::DrawSchedulerSplitterBorder(TcxCanvas* ACanvas,
                                                                const TRect& R,
                                                                const TcxViewParams& AViewParams,
                                                                bool AIsHorizontal) const {
  TRect r = R;
  auto lines = [&](TColor AFirst, TColor ASecond) {
    if (AIsHorizontal) {
      Fill(ACanvas, TRect(r.Left, r.Top, r.Right, r.Top + 1), AFirst);
      Fill(ACanvas, TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom), ASecond);
      r = TRect(r.Left - 1, r.Top + 1, r.Right + 1, r.Bottom - 1);
    } else {
      Fill(ACanvas, TRect(r.Left, r.Top, r.Left + 1, r.Bottom), AFirst);
      Fill(ACanvas, TRect(r.Right - 1, r.Top, r.Right, r.Bottom), ASecond);
      r = TRect(r.Left + 1, r.Top - 1, r.Right - 1, r.Bottom + 1);
    }
  };
  lines(clBtnFace, cl3DDkShadow);
  lines(clBtnHighlight, clBtnShadow);
  ACanvas->FillRect(r, AViewParams);
}

void TcxStandardLookAndFeelPainter::DrawGroupBoxFrame(TcxCanvas* ACanvas, const TRect& R, bool,
                                                      TcxGroupBoxCaptionPosition,
                                                      TcxBorders ABorders) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  const TRect r(R.Left, R.Top, R.Right - 1, R.Bottom - 1);
  ACanvas->FrameRect(r, clBtnShadow, 1, ABorders, true);
  ACanvas->FrameRect(TRect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1), clBtnHighlight, 1,
                     ABorders, true);
}

void TcxStandardLookAndFeelPainter::DrawTrackBarTrackBounds(TcxCanvas* ACanvas,
                                                            const TRect& ARect) const {
  Bevel(ACanvas, ARect, clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight);
}

void TcxStandardLookAndFeelPainter::DrawTrackBarThumbBorderUpDown(
    TcxCanvas* ACanvas, const TPointArray& ALightPolyLine, const TPointArray& AShadowPolyLine,
    const TPointArray& ADarkPolyLine) const {
  Polyline(ACanvas, ALightPolyLine, clBtnHighlight);
  Polyline(ACanvas, AShadowPolyLine, clBtnShadow);
  Polyline(ACanvas, ADarkPolyLine, cl3DDkShadow);
}

void TcxStandardLookAndFeelPainter::DrawTrackBarThumbBorderBoth(TcxCanvas* ACanvas,
                                                                const TRect& ARect) const {
  Bevel(ACanvas, ARect, clBtnHighlight, cl3DDkShadow, cl3DLight, clBtnShadow);
}
