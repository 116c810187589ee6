// The root painter's elements: panels and cell content, headers, footers,
// the filter panel, tabs, the row indicator, scroll bars and the size grip,
// scheduler and date-navigator parts, editor buttons, progress bars, group
// boxes and panels, track bars, splitters, layout and print-preview
// backgrounds.
#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPainters.h"

#include "foundation/cxControlsHints.h"
#include "foundation/cxGraphicsRoutines.h"
#include "foundation/dxOffice11.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/StdCtrls.h"

#include "platform/core/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

TRect Shrunk(const TRect& R, int ADelta) {
  return TRect(R.Left + ADelta, R.Top + ADelta, R.Right - ADelta, R.Bottom - ADelta);
}


TRect CenteredRect(const TRect& ABounds, int AWidth, int AHeight) {
  const int left = (ABounds.Left + ABounds.Right - AWidth) / 2;
  const int top = (ABounds.Top + ABounds.Bottom - AHeight) / 2;
  return TRect(left, top, left + AWidth, top + AHeight);
}

TRect Moved(const TRect& R, int DX, int DY) {
  return TRect(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY);
}

// A memory DC with a bitmap compatible with ADC; everything is freed on scope
// exit so a failing step leaks no GDI object.
class TMemoryDC {
 public:
  TMemoryDC(HDC ADC, int AWidth, int AHeight)
      : FDC(GdiCreateCompatibleDC(ADC)),
        FBitmap(GdiCreateCompatibleBitmap(ADC, std::max(AWidth, 1), std::max(AHeight, 1))) {
    if (FDC && FBitmap) FOldBitmap = SelectObject(FDC, FBitmap);
  }
  ~TMemoryDC() {
    if (FDC && FOldBitmap) SelectObject(FDC, FOldBitmap);
    if (FDC && FOldFont) SelectObject(FDC, FOldFont);
    GdiDeleteObject(FBitmap);
    GdiDeleteDC(FDC);
  }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  bool Valid() const { return FDC && FBitmap && FOldBitmap; }
  HDC DC() const { return FDC; }
  void SelectFont(HGDIOBJ AFont) {
    HGDIOBJ old = SelectObject(FDC, AFont);
    if (!FOldFont) FOldFont = old;
  }

 private:
  HDC FDC;
  HBITMAP FBitmap;
  HGDIOBJ FOldBitmap = nullptr;
  HGDIOBJ FOldFont = nullptr;
};

}  // namespace

// ---------------------------------------------------------------------------
// Operations for the painters
// ---------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::FillPanelBackground(TcxCanvas* ACanvas, const TRect& ARect,
                                                      bool ATransparent, TColor AColor,
                                                      TBitmap* ABitmap) const {
  if (!ATransparent) {
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect(ARect, AColor);
  } else if (ABitmap && !ABitmap->Empty()) {
    ACanvas->FillRect(ARect, ABitmap);
  }
}

void TcxCustomLookAndFeelPainter::DrawDropDownTriangle(TcxCanvas* ACanvas, const TRect& R,
                                                       TColor AColor) const {
  int w = R.Width() / 2;
  if (w % 2 == 0) ++w;
  const int h = w / 2 + 1;
  const int x0 = (R.Left + R.Right - w) / 2;
  // The platform's MulDiv: halves round away from zero.
  const int y0 = ::MulDiv(R.Top + R.Bottom - h, 1, 2);
  const TPoint P[] = {TPoint{x0, y0}, TPoint{x0 + w - 1, y0}, TPoint{x0 + w / 2, y0 + h - 1}};
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->SetBrushColor(AColor);
  ACanvas->Pen()->SetColor(AColor);
  ACanvas->Polygon(P);
}

void TcxCustomLookAndFeelPainter::DrawCellContent(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds, TcxButtonState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor, TColor ABkColor,
    const TcxDrawBackgroundEvent& AOnDrawBackground, bool) const {
  if (!AOnDrawBackground.Assigned() || !AOnDrawBackground(ACanvas, ABounds)) {
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect(ABounds, ABkColor);
  }
  if (AText.empty()) return;
  ACanvas->Brush()->SetStyle(bsClear);
  if (AFont) ACanvas->SetFont(AFont);
  ACanvas->Font()->SetColor(ATextColor);
  TRect r = ATextAreaBounds;
  ACanvas->DrawTexT(AText, r, AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis);
  ACanvas->Brush()->SetStyle(bsSolid);
}

void TcxCustomLookAndFeelPainter::DrawFooterPanelFrame(TcxCanvas* ACanvas, const TRect& ABounds,
                                                       TcxBorders) const {
  const int separator = FooterSeparatorSize();
  DrawFooterSeparator(ACanvas,
                      TRect(ABounds.Left, ABounds.Top, ABounds.Right, ABounds.Top + separator));
  DrawFooterBorder(ACanvas,
                   TRect(ABounds.Left, ABounds.Top + separator, ABounds.Right, ABounds.Bottom));
}

void TcxCustomLookAndFeelPainter::DrawSchedulerNavigationButtonContent(
    TcxCanvas* ACanvas, const TRect& ARect, const TRect& AArrowRect, bool AIsNextButton,
    TcxButtonState AState) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(ARect, clBtnFace);
  const TcxBorders sides =
      AIsNextButton ? TcxBorders{bLeft, bTop, bBottom} : TcxBorders{bTop, bRight, bBottom};
  ACanvas->FrameRect(ARect, clBtnShadow, 1, sides);
  TRect r = ARect;
  ++r.Top;
  --r.Bottom;
  if (AIsNextButton)
    ++r.Left;
  else
    --r.Right;
  if (AState == cxbsPressed)
    ACanvas->DrawComplexFrame(r, clBtnShadow, clBtnHighlight, sides);
  else
    ACanvas->DrawComplexFrame(r, clBtnHighlight, clBtnFace, sides);
  DrawSchedulerNavigationButtonArrow(ACanvas, AArrowRect, AIsNextButton,
                                     ButtonSymbolColor(AState, clDefault));
}

TRect TcxCustomLookAndFeelPainter::FooterCellContentBounds(const TRect& ABounds) const {
  return Shrunk(ABounds, FooterCellBorderSize());
}

TRect TcxCustomLookAndFeelPainter::FooterCellTextAreaBounds(const TRect& ABounds) const {
  return Shrunk(FooterCellContentBounds(ABounds), 2);
}

// ---------------------------------------------------------------------------
// Headers
// ---------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawHeader(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor, TColor ABkColor,
    const TcxDrawBackgroundEvent& AOnDrawBackground, bool, bool) const {
  DrawHeaderBorder(ACanvas, ABounds, ANeighbors, ABorders);
  DrawCellContent(ACanvas, HeaderContentBounds(ABounds, ABorders), ATextAreaBounds, AState,
                  AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont,
                  ATextColor, ABkColor, AOnDrawBackground, false);
}

void TcxCustomLookAndFeelPainter::DrawHeaderEx(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor, TColor ABkColor,
    const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState, AAlignmentHorz,
             AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor,
             AOnDrawBackground, false, false);
}

void TcxCustomLookAndFeelPainter::DrawHeaderBorder(TcxCanvas*, const TRect&, TcxNeighbors,
                                                   TcxBorders) const {}

void TcxCustomLookAndFeelPainter::DrawHeaderPressed(TcxCanvas* ACanvas,
                                                    const TRect& ABounds) const {
  ACanvas->InvertRect(ABounds);
}

void TcxCustomLookAndFeelPainter::DrawHeaderControlSection(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds, TcxNeighbors,
    TcxBorders ABorders, TcxButtonState AState, TAlignment AAlignmentHorz,
    TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis, const String& AText,
    TFont* AFont, TColor ATextColor, TColor ABkColor) const {
  DrawHeaderControlSectionBorder(ACanvas, ABounds, ABorders, AState);
  DrawHeaderControlSectionContent(ACanvas, HeaderControlSectionContentBounds(ABounds, AState),
                                  ATextAreaBounds, AState, AAlignmentHorz, AAlignmentVert,
                                  AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor,
                                  ABkColor);
}

void TcxCustomLookAndFeelPainter::DrawHeaderControlSectionBorder(TcxCanvas*, const TRect&,
                                                                 TcxBorders,
                                                                 TcxButtonState) const {}

void TcxCustomLookAndFeelPainter::DrawHeaderControlSectionContent(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxButtonState AState, TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
    bool AMultiLine, bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
    TColor ABkColor) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(ABounds, ABkColor);
  DrawHeaderControlSectionText(ACanvas, HeaderControlSectionTextAreaBounds(ATextAreaBounds, AState),
                               AState, AAlignmentHorz, AAlignmentVert, AMultiLine,
                               AShowEndEllipsis, AText, AFont, ATextColor);
}

void TcxCustomLookAndFeelPainter::DrawHeaderControlSectionText(
    TcxCanvas* ACanvas, const TRect& ATextAreaBounds, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor) const {
  if (AText.empty()) return;
  ACanvas->Brush()->SetStyle(bsClear);
  if (AFont) ACanvas->SetFont(AFont);
  auto draw = [&](const TRect& R, TColor AColor) {
    TRect r = R;
    ACanvas->Font()->SetColor(AColor);
    ACanvas->DrawTexT(AText, r, AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis);
  };
  if (AState == cxbsDisabled) {
    draw(TRect(ATextAreaBounds.Left + 1, ATextAreaBounds.Top + 1, ATextAreaBounds.Right + 1,
               ATextAreaBounds.Bottom + 1),
         clBtnHighlight);
    draw(ATextAreaBounds, clBtnShadow);
  } else {
    draw(ATextAreaBounds, ATextColor);
  }
  ACanvas->Brush()->SetStyle(bsSolid);
}

void TcxCustomLookAndFeelPainter::DrawHeaderSeparator(TcxCanvas* ACanvas, const TRect& ABounds,
                                                      int AIndentSize, TColor AColor,
                                                      const TcxViewParams& AViewParams) const {
  // A negative indent would widen the middle band beyond the bounds.
  const int indent = std::clamp(AIndentSize, 0, std::max(ABounds.Width(), 0));
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(TRect(ABounds.Left, ABounds.Top, ABounds.Left + indent, ABounds.Bottom),
                    AViewParams);
  ACanvas->FillRect(TRect(ABounds.Right - indent, ABounds.Top, ABounds.Right, ABounds.Bottom),
                    AViewParams);
  const TRect middle(ABounds.Left + indent, ABounds.Top, ABounds.Right - indent, ABounds.Bottom);
  if (!middle.IsEmpty()) ACanvas->FillRect(middle, AColor);
}

void TcxCustomLookAndFeelPainter::DrawSortingMark(TcxCanvas*, const TRect&, bool) const {}

TcxBorders TcxCustomLookAndFeelPainter::HeaderBorders(TcxNeighbors) const {
  return cxBordersAll;
}

int TcxCustomLookAndFeelPainter::HeaderBorderSize() const { return 0; }

TRect TcxCustomLookAndFeelPainter::HeaderBounds(const TRect& ABounds, TcxNeighbors ANeighbors,
                                                TcxBorders ABorders) const {
  const TcxBorders grow = ABorders - HeaderBorders(ANeighbors);
  const int size = HeaderBorderSize();
  TRect result = ABounds;
  if (grow.Contains(bLeft)) result.Left -= size;
  if (grow.Contains(bTop)) result.Top -= size;
  if (grow.Contains(bRight)) result.Right += size;
  if (grow.Contains(bBottom)) result.Bottom += size;
  return result;
}

TRect TcxCustomLookAndFeelPainter::HeaderContentBounds(const TRect& ABounds,
                                                       TcxBorders ABorders) const {
  const int size = HeaderBorderSize();
  TRect result = ABounds;
  if (ABorders.Contains(bLeft)) result.Left += size;
  if (ABorders.Contains(bTop)) result.Top += size;
  if (ABorders.Contains(bRight)) result.Right -= size;
  if (ABorders.Contains(bBottom)) result.Bottom -= size;
  return result;
}

bool TcxCustomLookAndFeelPainter::HeaderDrawCellsFirst() const { return true; }

int TcxCustomLookAndFeelPainter::HeaderHeight(int AFontHeight) const {
  return AFontHeight + 2 * HeaderBorderSize() + 4;
}

int TcxCustomLookAndFeelPainter::HeaderControlSectionBorderSize(TcxButtonState) const {
  return 1;
}

TRect TcxCustomLookAndFeelPainter::HeaderControlSectionTextAreaBounds(
    const TRect& ABounds, TcxButtonState AState) const {
  if (AState != cxbsPressed) return ABounds;
  return TRect(ABounds.Left + 1, ABounds.Top + 1, ABounds.Right + 1, ABounds.Bottom + 1);
}

TRect TcxCustomLookAndFeelPainter::HeaderControlSectionContentBounds(
    const TRect& ABounds, TcxButtonState AState) const {
  return Shrunk(ABounds, HeaderControlSectionBorderSize(AState));
}

int TcxCustomLookAndFeelPainter::HeaderWidth(TcxCanvas* ACanvas, TcxBorders ABorders,
                                             const String& AText, TFont* AFont) const {
  if (AFont) ACanvas->SetFont(AFont);
  int result = ACanvas->TextWidth(AText) + 4;
  // The right border is taken off, not added: the next header draws it.
  if (ABorders.Contains(bLeft)) result += HeaderBorderSize();
  if (ABorders.Contains(bRight)) result -= HeaderBorderSize();
  return result;
}

bool TcxCustomLookAndFeelPainter::IsHeaderHotTrack() const { return false; }

TPoint TcxCustomLookAndFeelPainter::SortingMarkAreaSize() const {
  return TPoint{16, SortingMarkSize().Y};
}

TPoint TcxCustomLookAndFeelPainter::SortingMarkSize() const { return TPoint{0, 0}; }

// ---------------------------------------------------------------------------
// Group-by box and grid rows
// ---------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawGroupByBox(TcxCanvas* ACanvas, const TRect& ARect,
                                                 bool ATransparent, TColor ABackgroundColor,
                                                 TBitmap* ABackgroundBitmap) const {
  FillPanelBackground(ACanvas, ARect, ATransparent, ABackgroundColor, ABackgroundBitmap);
}

TColor TcxCustomLookAndFeelPainter::GridGroupRowStyleOffice11ContentColor(bool AHasData) const {
  return AHasData ? clWindow : dxOffice11Palette.GroupRowContent;
}

TColor TcxCustomLookAndFeelPainter::GridGroupRowStyleOffice11SeparatorColor() const {
  return dxOffice11Palette.GroupRowSeparator;
}

TColor TcxCustomLookAndFeelPainter::GridGroupRowStyleOffice11TextColor() const {
  return dxOffice11Palette.GroupRowText;
}

bool TcxCustomLookAndFeelPainter::GridDrawHeaderCellsFirst() const {
  return HeaderDrawCellsFirst();
}

TColor TcxCustomLookAndFeelPainter::PivotGridHeadersAreaColor() const {
  return DefaultHeaderBackgroundColor();
}

TColor TcxCustomLookAndFeelPainter::PivotGridHeadersAreaTextColor() const {
  return DefaultHeaderBackgroundTextColor();
}

// ---------------------------------------------------------------------------
// Footers
// ---------------------------------------------------------------------------

TcxBorders TcxCustomLookAndFeelPainter::FooterBorders() const { return cxBordersAll; }
int TcxCustomLookAndFeelPainter::FooterBorderSize() const { return 0; }
int TcxCustomLookAndFeelPainter::FooterCellBorderSize() const { return 0; }
int TcxCustomLookAndFeelPainter::FooterCellOffset() const { return 0; }
bool TcxCustomLookAndFeelPainter::FooterDrawCellsFirst() const { return true; }
TColor TcxCustomLookAndFeelPainter::FooterSeparatorColor() const { return clBtnShadow; }
int TcxCustomLookAndFeelPainter::FooterSeparatorSize() const { return 1; }

void TcxCustomLookAndFeelPainter::DrawFooterPanel(TcxCanvas* ACanvas, const TRect& ABounds,
                                                  const TcxViewParams& AViewParams,
                                                  TcxBorders ABorders) const {
  ACanvas->SaveClipRegion();
  try {
    ACanvas->IntersectClipRect(ABounds);
    DrawFooterContent(ACanvas, ABounds, AViewParams);
    DrawFooterPanelFrame(ACanvas, ABounds, ABorders);
  } catch (...) {
    ACanvas->RestoreClipRegion();
    throw;
  }
  ACanvas->RestoreClipRegion();
}

void TcxCustomLookAndFeelPainter::DrawFooterCell(
    TcxCanvas* ACanvas, const TRect& ABounds, TAlignment AAlignmentHorz,
    TcxAlignmentVert AAlignmentVert, bool AMultiLine, const String& AText, TFont* AFont,
    TColor ATextColor, TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  DrawFooterCellBorder(ACanvas, ABounds);
  DrawFooterCellContent(ACanvas, ABounds, AAlignmentHorz, AAlignmentVert, AMultiLine, AText,
                        AFont, ATextColor, ABkColor, AOnDrawBackground);
}

void TcxCustomLookAndFeelPainter::DrawFooterCellContent(
    TcxCanvas* ACanvas, const TRect& ABounds, TAlignment AAlignmentHorz,
    TcxAlignmentVert AAlignmentVert, bool AMultiLine, const String& AText, TFont* AFont,
    TColor ATextColor, TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  DrawCellContent(ACanvas, FooterCellContentBounds(ABounds), FooterCellTextAreaBounds(ABounds),
                  cxbsDefault, AAlignmentHorz, AAlignmentVert, AMultiLine, false, AText, AFont,
                  ATextColor, ABkColor, AOnDrawBackground, true);
}

void TcxCustomLookAndFeelPainter::DrawFooterBorder(TcxCanvas*, const TRect&) const {}
void TcxCustomLookAndFeelPainter::DrawFooterCellBorder(TcxCanvas*, const TRect&) const {}

void TcxCustomLookAndFeelPainter::DrawFooterContent(TcxCanvas* ACanvas, const TRect& ARect,
                                                    const TcxViewParams& AViewParams) const {
  if (ARect.IsEmpty()) return;
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(ARect, AViewParams);
}

void TcxCustomLookAndFeelPainter::DrawFooterSeparator(TcxCanvas* ACanvas, const TRect& R) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(R, FooterSeparatorColor());
}

// ---------------------------------------------------------------------------
// Filter panel, windows and tabs
// ---------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawFilterActivateButton(TcxCanvas* ACanvas, const TRect& R,
                                                           TcxButtonState AState,
                                                           bool AChecked) const {
  DrawCheckButton(ACanvas, R, AState, AChecked);
}

void TcxCustomLookAndFeelPainter::DrawFilterCloseButton(TcxCanvas* ACanvas, const TRect& R,
                                                        TcxButtonState AState) const {
  DrawButtonBorder(ACanvas, R, AState);
  const TRect r = Shrunk(R, ButtonBorderSize(cxbsNormal));
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(r, ButtonColor(AState));
  DrawButtonCross(ACanvas, r, ButtonSymbolColor(AState, clDefault), ButtonSymbolState(AState));
}

void TcxCustomLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas*, const TRect&,
                                                           TcxButtonState, bool) const {}

void TcxCustomLookAndFeelPainter::DrawFilterPanel(TcxCanvas* ACanvas, const TRect& ARect,
                                                  bool ATransparent, TColor ABackgroundColor,
                                                  TBitmap* ABackgroundBitmap) const {
  FillPanelBackground(ACanvas, ARect, ATransparent, ABackgroundColor, ABackgroundBitmap);
}

TPoint TcxCustomLookAndFeelPainter::FilterActivateButtonSize() const { return TPoint{13, 13}; }
TPoint TcxCustomLookAndFeelPainter::FilterCloseButtonSize() const { return TPoint{16, 14}; }
TPoint TcxCustomLookAndFeelPainter::FilterDropDownButtonSize() const { return TPoint{15, 0}; }

void TcxCustomLookAndFeelPainter::DrawWindowContent(TcxCanvas* ACanvas,
                                                    const TRect& ARect) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(ARect, clBtnFace);
}

TcxPopupBorderStyle TcxCustomLookAndFeelPainter::PopupBorderStyle() const {
  return pbsUltraFlat;
}

void TcxCustomLookAndFeelPainter::DrawTab(TcxCanvas*, const TRect&, TcxBorders, const String&,
                                          TcxButtonState, bool, TFont*, TColor, TColor,
                                          bool) const {}
void TcxCustomLookAndFeelPainter::DrawTabBorder(TcxCanvas*, const TRect&, TcxBorder, TcxBorders,
                                                bool) const {}
void TcxCustomLookAndFeelPainter::DrawTabsRoot(TcxCanvas*, const TRect&, TcxBorders,
                                               bool) const {}
bool TcxCustomLookAndFeelPainter::IsDrawTabImplemented(bool) const { return false; }
bool TcxCustomLookAndFeelPainter::IsTabHotTrack(bool) const { return false; }
int TcxCustomLookAndFeelPainter::TabBorderSize(bool) const { return 0; }

// ---------------------------------------------------------------------------
// Row indicator
// ---------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawIndicatorCustomizationMark(TcxCanvas* ACanvas,
                                                                 const TRect& R,
                                                                 TColor AColor) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  const int top = (R.Top + R.Bottom - 9) / 2;
  for (int i = 0; i < 5; ++i) {
    const int y = top + 2 * i;
    ACanvas->FillRect(TRect(R.Left + 5, y, R.Right - 3, y + 1), AColor);
    if (i % 2 == 0) ACanvas->FillRect(TRect(R.Left + 3, y, R.Left + 4, y + 1), AColor);
  }
}

void TcxCustomLookAndFeelPainter::DrawIndicatorImage(TcxCanvas* ACanvas, const TRect& R,
                                                     TcxIndicatorKind AKind) const {
  TCustomImageList* images = AKind == ikNone ? nullptr : cxIndicatorImages();
  if (!images) return;
  const int x = (R.Left + R.Right - images->Width()) / 2;
  const int y = (R.Top + R.Bottom - images->Height()) / 2;
  ACanvas->DrawImage(images, x, y, static_cast<int>(AKind) - 1);
}

void TcxCustomLookAndFeelPainter::DrawIndicatorItem(
    TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind, TColor AColor,
    const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  DrawHeader(ACanvas, R, R, TcxNeighbors(), HeaderBorders(TcxNeighbors{nTop, nBottom}),
             cxbsNormal, taLeftJustify, vaTop, false, false, String(), nullptr, clNone, AColor,
             AOnDrawBackground, false, false);
  DrawIndicatorImage(ACanvas, R, AKind);
}

void TcxCustomLookAndFeelPainter::DrawIndicatorItemEx(
    TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind, TColor AColor,
    const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  DrawHeaderEx(ACanvas, R, R, TcxNeighbors(), cxBordersAll, cxbsNormal, taLeftJustify, vaTop,
               false, false, String(), nullptr, clNone, AColor, AOnDrawBackground);
  DrawIndicatorImage(ACanvas, R, AKind);
}

bool TcxCustomLookAndFeelPainter::IndicatorDrawItemsFirst() const { return true; }

// ---------------------------------------------------------------------------
// Scroll bars and size grip
// ---------------------------------------------------------------------------

int TcxCustomLookAndFeelPainter::ScrollBarMinimalThumbSize(bool) const { return 8; }

void TcxCustomLookAndFeelPainter::DrawScrollBarBackground(TcxCanvas* ACanvas, const TRect& R,
                                                          bool AHorizontal) const {
  DrawScrollBarPart(ACanvas, AHorizontal, R, sbpPageUp, cxbsNormal);
}

void TcxCustomLookAndFeelPainter::DrawScrollBarPart(TcxCanvas*, bool, const TRect&,
                                                    TcxScrollBarPart, TcxButtonState) const {}

TSize TcxCustomLookAndFeelPainter::SizeGripSize() const {
  return TSize{GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)};
}

void TcxCustomLookAndFeelPainter::DrawSizeGrip(TcxCanvas* ACanvas, const TRect& ARect,
                                               TColor ABackgroundColor) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(ARect, ABackgroundColor);
  RECT r{ARect.Left, ARect.Top, ARect.Right, ARect.Bottom};
  DrawFrameControl(ACanvas->Handle(), &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

// ---------------------------------------------------------------------------
// Scheduler and date navigator
// ---------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::CalculateSchedulerNavigationButtonRects(
    bool AIsNextButton, bool ACollapsed, TSize APrevButtonTextSize, TSize ANextButtonTextSize,
    TRect& ABounds, TRect& ATextRect, TRect& AArrowRect) const {
  TRect borders;
  TSize arrow{0, 0};
  bool hasTextArea = false;
  SchedulerNavigationButtonSizes(AIsNextButton, borders, arrow, hasTextArea);
  const int arrowAreaHeight = 3 * arrow.cy;
  if (ACollapsed || !hasTextArea) {
    ATextRect = TRect();
    const int top =
        (ABounds.Top + ABounds.Bottom - borders.Top - borders.Bottom - arrowAreaHeight) / 2;
    ABounds.Top = top;
    ABounds.Bottom = top + borders.Top + arrowAreaHeight + borders.Bottom;
    AArrowRect = CenteredRect(ABounds, arrow.cx, arrow.cy);
    return;
  }
  const TRect inner(ABounds.Left + borders.Left, ABounds.Top + borders.Top,
                    ABounds.Right - borders.Right, ABounds.Bottom - borders.Bottom);
  AArrowRect = CenteredRect(TRect(inner.Left, inner.Top, inner.Right, inner.Top + arrowAreaHeight),
                            arrow.cx, arrow.cy);
  ATextRect = TRect(inner.Left, inner.Top + arrowAreaHeight + 5, inner.Right,
                    inner.Bottom - 2 * arrow.cy);
  // The caption is drawn turned by 90 degrees: its width has to fit the
  // rectangle's height, so the button grows equally at both ends.
  const int excess =
      std::max(APrevButtonTextSize.cx, ANextButtonTextSize.cx) - ATextRect.Height();
  if (excess >= 1) {
    AArrowRect = Moved(AArrowRect, 0, -excess);
    ATextRect.Top -= excess;
    ATextRect.Bottom += excess;
    ABounds.Top -= excess;
    ABounds.Bottom += excess;
  }
}

void TcxCustomLookAndFeelPainter::DrawMonthHeader(
    TcxCanvas* ACanvas, const TRect& ABounds, const String& AText, TcxNeighbors ANeighbors,
    const TcxViewParams& AViewParams, TcxHeaderArrows AArrows, int ASideWidth,
    const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  DrawHeader(ACanvas, ABounds, ABounds, ANeighbors, HeaderBorders(ANeighbors), cxbsNormal,
             taCenter, vaCenter, false, false, AText, AViewParams.Font, AViewParams.TextColor,
             AViewParams.Color, AOnDrawBackground, false, false);
  DrawMonthHeaderArrows(ACanvas, ABounds, clWindowText, ASideWidth, AArrows);
}

void TcxCustomLookAndFeelPainter::DrawSchedulerBorder(TcxCanvas* ACanvas, const TRect& R) const {
  DrawBorder(ACanvas, R);
}

void TcxCustomLookAndFeelPainter::DrawSchedulerEventProgress(TcxCanvas* ACanvas,
                                                             const TRect& ABounds,
                                                             const TRect& AProgress,
                                                             const TcxViewParams& AViewParams,
                                                             bool ATransparent) const {
  constexpr TColor kFrameColor = 0x808080;
  ACanvas->Brush()->SetStyle(bsSolid);
  if (ATransparent)
    ACanvas->FrameRect(ABounds, kFrameColor);
  else
    ACanvas->FillRect(ABounds, AViewParams, cxBordersAll, kFrameColor, 1);
  ACanvas->FillRect(AProgress, clNavy);
}

void TcxCustomLookAndFeelPainter::DrawSchedulerNavigationButton(
    TcxCanvas* ACanvas, const TRect& ARect, bool AIsNextButton, TcxButtonState AState,
    const String& AText, const TRect& ATextRect, const TRect& AArrowRect) const {
  DrawSchedulerNavigationButtonContent(ACanvas, ARect, AArrowRect, AIsNextButton, AState);
  if (ATextRect.IsEmpty() ||
      SchedulerNavigationButtonTextColor(AIsNextButton, AState, clDefault) == clNone)
    return;
  cxDrawRotatableText(
      ACanvas, AText, ATextRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
      SchedulerNavigationButtonTextColor(AIsNextButton, AState, ACanvas->Font()->Color()),
      raPlus90);
}

void TcxCustomLookAndFeelPainter::DrawSchedulerNavigationButtonArrow(TcxCanvas* ACanvas,
                                                                     const TRect& ARect,
                                                                     bool AIsNextButton,
                                                                     TColor AColor) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  const int n = ARect.Height() - ARect.Height() / 2;
  const int dx = AIsNextButton ? 1 : -1;
  const int left = AIsNextButton ? ARect.Left : ARect.Right - 2;
  TRect upper(left, ARect.Top, left + 2, ARect.Top + 1);
  TRect lower(left, ARect.Bottom - 1, left + 2, ARect.Bottom);
  for (int i = 0; i < n; ++i) {
    ACanvas->FillRect(upper, AColor);
    ACanvas->FillRect(lower, AColor);
    upper = Moved(upper, dx, 1);
    lower = Moved(lower, dx, -1);
  }
  const int bar = AIsNextButton ? ARect.Right - 1 : ARect.Left;
  ACanvas->FillRect(TRect(bar, ARect.Top, bar + 1, ARect.Bottom), AColor);
}

void TcxCustomLookAndFeelPainter::DrawSchedulerNavigatorButton(TcxCanvas* ACanvas,
                                                               const TRect& R,
                                                               TcxButtonState AState) const {
  DrawButton(ACanvas, R, String(), AState, true, clDefault, clDefault, false, false);
}

void TcxCustomLookAndFeelPainter::DrawSchedulerSplitterBorder(TcxCanvas*, const TRect&,
                                                              const TcxViewParams&,
                                                              bool) const {}

TRect TcxCustomLookAndFeelPainter::SchedulerEventProgressOffsets() const {
  return TRect(2, 2, 2, 2);
}

TColor TcxCustomLookAndFeelPainter::SchedulerNavigationButtonTextColor(
    bool, TcxButtonState AState, TColor ADefaultColor) const {
  return ButtonSymbolColor(AState, ADefaultColor);
}

void TcxCustomLookAndFeelPainter::SchedulerNavigationButtonSizes(bool AIsNextButton,
                                                                 TRect& ABorders,
                                                                 TSize& AArrowSize,
                                                                 bool& AHasTextArea) const {
  ABorders = AIsNextButton ? TRect(2, 6, 0, 6) : TRect(0, 6, 2, 6);
  AArrowSize = TSize{7, 7};
  AHasTextArea = true;
}

int TcxCustomLookAndFeelPainter::ChartToolBoxDataLevelInfoBorderSize() const { return 1; }

// ---------------------------------------------------------------------------
// Clock, editor buttons and navigators
// ---------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawClock(TcxCanvas* ACanvas, const TRect& ARect,
                                            TDateTime ADateTime,
                                            TColor ABackgroundColor) const {
  constexpr TColor kDotColor = 0x808000;
  constexpr TColor kDotHighlight = 0xFFFF00;
  constexpr TColor kHandColor = 0x808000;
  constexpr double kPi = std::numbers::pi;
  const double rx = ARect.Width() / 2.0 - 2;
  const double ry = ARect.Height() / 2.0 - 2;
  const int cx = (ARect.Left + ARect.Right) / 2;
  const int cy = (ARect.Top + ARect.Bottom) / 2;
  auto at = [&](double AAngle, double AScaleX, double AScaleY) {
    return TPoint{cx + static_cast<int>(std::lround(AScaleX * std::cos(AAngle))),
                  cy + static_cast<int>(std::lround(AScaleY * std::sin(AAngle)))};
  };

  ACanvas->SaveClipRegion();
  try {
    ACanvas->Brush()->SetStyle(bsSolid);
    // Hour dots first, then kept out of the background fill.
    for (int i = 0; i < 60; i += 5) {
      const TPoint p = at(i * 2 * kPi / 60, rx, ry);
      const TRect dot(p.X - 1, p.Y - 1, p.X + 2, p.Y + 2);
      ACanvas->FillRect(dot, ABackgroundColor);
      ACanvas->FillRect(TRect(p.X - 1, p.Y - 1, p.X + 1, p.Y), kDotHighlight);
      ACanvas->FillRect(TRect(p.X - 1, p.Y, p.X, p.Y + 1), kDotHighlight);
      ACanvas->FillRect(TRect(p.X, p.Y + 1, p.X + 2, p.Y + 2), clBtnText);
      ACanvas->FillRect(TRect(p.X + 1, p.Y, p.X + 2, p.Y + 1), clBtnText);
      ACanvas->FillRect(TRect(p.X, p.Y, p.X + 1, p.Y + 1), kDotColor);
      ACanvas->ExcludeClipRect(dot);
    }
    ACanvas->FillRect(ARect, ABackgroundColor);

    Word hour = 0, minute = 0, second = 0, msec = 0;
    DecodeTime(ADateTime, hour, minute, second, msec);
    auto hand = [&](double AAngle, double AWidth, double ATail, double ATip) {
      const TPoint P[] = {at(AAngle, ATip * rx, ATip * ry),
                          at(AAngle + kPi / 2, AWidth / 2, AWidth / 2),
                          at(AAngle + kPi, ATail * rx, ATail * ry),
                          at(AAngle + 3 * kPi / 2, AWidth / 2, AWidth / 2)};
      ACanvas->SetBrushColor(kHandColor);
      ACanvas->Pen()->SetColor(kHandColor);
      ACanvas->Polygon(P);
    };
    hand(((hour % 12) * 3600 + minute * 60 + second - 10800) * 2 * kPi / 43200, 9, 0.15, 0.75);
    hand((minute * 60 + second - 900) * 2 * kPi / 3600, 7, 0.2, 0.85);
    const TPoint tip = at((second - 15) * 2 * kPi / 60, 0.9 * rx, 0.9 * ry);
    ACanvas->Pen()->SetColor(clRed);
    ACanvas->MoveTo(cx, cy);
    ACanvas->LineTo(tip.X, tip.Y);
  } catch (...) {
    ACanvas->RestoreClipRegion();
    throw;
  }
  ACanvas->RestoreClipRegion();
}

void TcxCustomLookAndFeelPainter::DrawEditorButton(TcxCanvas*, const TRect&, TcxEditBtnKind,
                                                   TcxButtonState) const {}
int TcxCustomLookAndFeelPainter::EditButtonTextOffset() const { return 0; }
TSize TcxCustomLookAndFeelPainter::EditButtonSize() const { return TSize{0, 0}; }
TColor TcxCustomLookAndFeelPainter::EditButtonTextColor() const { return clDefault; }
TColor TcxCustomLookAndFeelPainter::GetContainerBorderColor(bool) const { return clDefault; }

void TcxCustomLookAndFeelPainter::DrawDateNavigatorDateHeader(TcxCanvas* ACanvas,
                                                              TRect& R) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(R, DefaultDateNavigatorHeaderColor());
  ACanvas->DrawEdge(R, false, false, cxBordersAll);
  R = Shrunk(R, 1);
}

void TcxCustomLookAndFeelPainter::DrawNavigatorGlyph(TcxCanvas* ACanvas,
                                                     TCustomImageList* AImageList,
                                                     int AImageIndex, int,
                                                     const TRect& AGlyphRect, bool AEnabled,
                                                     bool) const {
  if (AImageList)
    ACanvas->DrawImage(AImageList, AGlyphRect.Left, AGlyphRect.Top, AImageIndex, AEnabled);
}

TSize TcxCustomLookAndFeelPainter::NavigatorGlyphSize() const { return TSize{0, 0}; }

// ---------------------------------------------------------------------------
// Progress bars
// ---------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawProgressBarBorder(TcxCanvas*, const TRect&, bool) const {}
void TcxCustomLookAndFeelPainter::DrawProgressBarChunk(TcxCanvas*, const TRect&, bool) const {}

void TcxCustomLookAndFeelPainter::DrawProgressBarText(TcxCanvas* ACanvas, bool AVertical,
                                                      bool ASolid, const String& AText,
                                                      const TRect& ATextRect, const TRect&,
                                                      const TRect& AProgressChunkRect,
                                                      TColor ATextColor) const {
  ACanvas->SaveState();
  try {
    if (AVertical) ACanvas->SetFontAngle(270);
    // A font turned by 270 degrees runs downward from its origin's right side.
    const int x = AVertical ? ATextRect.Right : ATextRect.Left;
    const int y = ATextRect.Top;
    auto draw = [&](TColor AColor) {
      ACanvas->Brush()->SetStyle(bsClear);
      ACanvas->Font()->SetColor(AColor);
      ACanvas->Canvas()->TextOut(x, y, AText);
    };
    const TColor color =
        (ATextColor == clDefault || !ASolid) ? ProgressBarTextColor() : ATextColor;
    if (ASolid) {
      draw(color);
    } else if (ProgressBarTextColorEx(true) == clDefault) {
      // The text inverts what lies beneath it: a mask with the text in white
      // on black is combined with the canvas by exclusive-or.
      const int w = ATextRect.Width();
      const int h = ATextRect.Height();
      ACanvas->Brush()->SetStyle(bsClear);
      HDC dc = ACanvas->Handle();
      TMemoryDC mask(dc, w, h);
      if (mask.Valid() && w > 0 && h > 0) {
        mask.SelectFont(GetCurrentObject(dc, OBJ_FONT));
        PatBlt(mask.DC(), 0, 0, w, h, WHITENESS);
        SetBkMode(mask.DC(), TRANSPARENT);
        SetTextColor(mask.DC(), RGB(0, 0, 0));
        TextOutW(mask.DC(), x - ATextRect.Left, 0, AText.c_str(),
                 static_cast<int>(AText.size()));
        PatBlt(mask.DC(), 0, 0, w, h, DSTINVERT);
        BitBlt(dc, ATextRect.Left, ATextRect.Top, w, h, mask.DC(), 0, 0, SRCINVERT);
      }
    } else {
      const TRect overlap(std::max(ATextRect.Left, AProgressChunkRect.Left),
                          std::max(ATextRect.Top, AProgressChunkRect.Top),
                          std::min(ATextRect.Right, AProgressChunkRect.Right),
                          std::min(ATextRect.Bottom, AProgressChunkRect.Bottom));
      if (overlap.IsEmpty()) {
        draw(color);
      } else {
        HDC dc = ACanvas->Handle();
        TMemoryDC saved(dc, overlap.Width(), overlap.Height());
        if (saved.Valid())
          BitBlt(saved.DC(), 0, 0, overlap.Width(), overlap.Height(), dc, overlap.Left,
                 overlap.Top, SRCCOPY);
        draw(ProgressBarTextColorEx(false));
        if (saved.Valid())
          BitBlt(dc, overlap.Left, overlap.Top, overlap.Width(), overlap.Height(), saved.DC(), 0,
                 0, SRCCOPY);
        ACanvas->SaveClipRegion();
        try {
          ACanvas->IntersectClipRect(overlap);
          draw(ProgressBarTextColorEx(true));
        } catch (...) {
          ACanvas->RestoreClipRegion();
          throw;
        }
        ACanvas->RestoreClipRegion();
      }
    }
  } catch (...) {
    ACanvas->RestoreState();
    throw;
  }
  ACanvas->RestoreState();
}

TRect TcxCustomLookAndFeelPainter::ProgressBarBorderSize(bool) const { return TRect(); }

TColor TcxCustomLookAndFeelPainter::ProgressBarTextColor() const {
  return ProgressBarTextColorEx(false);
}

TColor TcxCustomLookAndFeelPainter::ProgressBarTextColorEx(bool AIsFilledArea) const {
  return AIsFilledArea ? clDefault : clWindowText;
}

// ---------------------------------------------------------------------------
// Group boxes and panels
// ---------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawGroupBoxBackground(TcxCanvas*, const TRect&,
                                                         const TRect&) const {}
void TcxCustomLookAndFeelPainter::DrawGroupBoxCaption(TcxCanvas*, const TRect&,
                                                      TcxGroupBoxCaptionPosition) const {}
void TcxCustomLookAndFeelPainter::DrawGroupBoxContent(TcxCanvas*, const TRect&,
                                                      TcxGroupBoxCaptionPosition,
                                                      TcxBorders) const {}

void TcxCustomLookAndFeelPainter::DrawGroupBoxExpandButton(TcxCanvas* ACanvas, const TRect& R,
                                                           TcxButtonState AState,
                                                           bool AExpanded) const {
  DrawExpandButtonEx(ACanvas, R, AState, AExpanded);
}

void TcxCustomLookAndFeelPainter::DrawGroupBoxFrame(TcxCanvas*, const TRect&, bool,
                                                    TcxGroupBoxCaptionPosition,
                                                    TcxBorders) const {}

TRect TcxCustomLookAndFeelPainter::GroupBoxBorderSize(bool, TcxGroupBoxCaptionPosition) const {
  return TRect();
}

TColor TcxCustomLookAndFeelPainter::GroupBoxTextColor(bool AEnabled,
                                                      TcxGroupBoxCaptionPosition) const {
  return AEnabled ? clWindowText : clBtnShadow;
}

bool TcxCustomLookAndFeelPainter::IsGroupBoxTransparent(bool, TcxGroupBoxCaptionPosition) const {
  return false;
}

void TcxCustomLookAndFeelPainter::DrawPanelBackground(TcxCanvas* ACanvas, TWinControl*,
                                                      const TRect& ABounds, TColor,
                                                      TColor) const {
  DrawGroupBoxBackground(ACanvas, ABounds, ABounds);
}

void TcxCustomLookAndFeelPainter::DrawPanelBorders(TcxCanvas*, const TRect&) const {}

void TcxCustomLookAndFeelPainter::DrawPanelCaption(
    TcxCanvas* ACanvas, const TRect& ACaptionRect,
    TcxGroupBoxCaptionPosition ACaptionPosition) const {
  DrawGroupBoxCaption(ACanvas, ACaptionRect, ACaptionPosition);
}

void TcxCustomLookAndFeelPainter::DrawPanelContent(TcxCanvas* ACanvas, const TRect& ABorderRect,
                                                   bool) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(ABorderRect, clBtnFace);
}

TRect TcxCustomLookAndFeelPainter::PanelBorderSize() const { return TRect(); }

TColor TcxCustomLookAndFeelPainter::PanelTextColor() const {
  return GroupBoxTextColor(true, cxgpTop);
}

// ---------------------------------------------------------------------------
// Track bars
// ---------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::CorrectThumbRect(TcxCanvas*, TRect& ARect, bool,
                                                   TcxTrackBarTicksAlign) const {
  ++ARect.Right;
  ++ARect.Bottom;
}

void TcxCustomLookAndFeelPainter::DrawTrackBarTrack(TcxCanvas* ACanvas, const TRect& ARect,
                                                    const TRect&, bool, bool, bool,
                                                    TColor ATrackColor) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(ARect, ATrackColor);
  DrawTrackBarTrackBounds(ACanvas, ARect);
}

void TcxCustomLookAndFeelPainter::DrawTrackBarTrackBounds(TcxCanvas*, const TRect&) const {}

void TcxCustomLookAndFeelPainter::DrawTrackBarThumb(TcxCanvas* ACanvas, const TRect& ARect,
                                                    TcxButtonState, bool AHorizontal,
                                                    TcxTrackBarTicksAlign ATicks,
                                                    TColor AThumbColor) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->SetBrushColor(AThumbColor);
  ACanvas->Pen()->SetColor(AThumbColor);
  if (ATicks == tbtaBoth) {
    ACanvas->FillRect(ARect, AThumbColor);
    DrawTrackBarThumbBorderBoth(ACanvas, ARect);
    return;
  }
  const int L = ARect.Left, T = ARect.Top, R = ARect.Right, B = ARect.Bottom;
  const int half = AHorizontal ? ARect.Width() / 2 : ARect.Height() / 2;
  TPointArray outline, light, shadow, dark;
  if (ATicks == tbtaDown && AHorizontal) {
    outline = {{R - 1, T + 1}, {L + 1, T + 1}, {L + 1, B - half}, {L + half, B - 1},
               {R - 1, B - half}};
    light = {{R, T}, {L, T}, {L, B - half}, {L + half, B}};
    shadow = {{L + half, B - 1}, {R - 1, B - half}, {R - 1, T}};
    dark = {{L + half, B}, {R, B - half}, {R, T}};
  } else if (ATicks == tbtaDown) {
    outline = {{L + 1, B - 1}, {L + 1, T + 1}, {R - half, T + 1}, {R - 1, T + half},
               {R - half, B - 1}};
    light = {{L, B}, {L, T}, {R - half, T}, {R, T + half}};
    shadow = {{R - 1, T + half}, {R - half, B - 1}, {L, B - 1}};
    dark = {{R, T + half}, {R - half, B}, {L, B}};
  } else if (AHorizontal) {
    const int a = T + half - 1, c = L + half;
    outline = {{R - 1, B - 2}, {L + 1, B - 2}, {L + 1, a}, {c, T}, {R - 1, a}};
    light = {{L, B - 1}, {L, a}, {c, T - 1}};
    shadow = {{c, T}, {R - 1, a}, {R - 1, B - 2}, {L, B - 2}};
    dark = {{c, T - 1}, {R, a}, {R, B - 1}, {L, B - 1}};
  } else {
    const int a = L + half - 1, c = T + half;
    outline = {{R - 2, B - 1}, {R - 2, T + 1}, {a, T + 1}, {L, c}, {a, B - 1}};
    light = {{R - 1, T}, {a, T}, {L - 1, c}};
    shadow = {{L, c}, {a, B - 1}, {R - 2, B - 1}, {R - 2, T}};
    dark = {{L - 1, c}, {a, B}, {R - 1, B}, {R - 1, T}};
  }
  ACanvas->Polygon(outline);
  DrawTrackBarThumbBorderUpDown(ACanvas, light, shadow, dark);
}

void TcxCustomLookAndFeelPainter::DrawTrackBarThumbBorderUpDown(TcxCanvas*, const TPointArray&,
                                                                const TPointArray&,
                                                                const TPointArray&) const {}
void TcxCustomLookAndFeelPainter::DrawTrackBarThumbBorderBoth(TcxCanvas*, const TRect&) const {}
TSize TcxCustomLookAndFeelPainter::TrackBarThumbSize(bool) const { return TSize{0, 0}; }
TColor TcxCustomLookAndFeelPainter::TrackBarTicksColor(bool) const { return clDefault; }
int TcxCustomLookAndFeelPainter::TrackBarTrackSize() const { return 0; }

// ---------------------------------------------------------------------------
// Splitters, layout control, print preview and others
// ---------------------------------------------------------------------------

TColor TcxCustomLookAndFeelPainter::GetSplitterInnerColor(bool) const { return clWhite; }
TColor TcxCustomLookAndFeelPainter::GetSplitterOuterColor(bool) const { return clBtnShadow; }

void TcxCustomLookAndFeelPainter::DrawSplitter(TcxCanvas* ACanvas, const TRect& ARect,
                                               bool AHighlighted, bool,
                                               bool AHorizontal) const {
  const TSize size = GetSplitterSize(AHorizontal);
  const bool secondLine = (AHorizontal ? size.cy : size.cx) > 1;
  int start, end, across;
  if (AHorizontal) {
    across = (ARect.Top + ARect.Bottom - 1) / 2;
    start = ARect.Left;
    end = secondLine ? ARect.Right : ARect.Right - 1;
  } else {
    across = (ARect.Left + ARect.Right - 1) / 2;
    start = ARect.Top;
    end = ARect.Bottom - 1;
  }
  const int m = (start + end) / 2;
  const int gaps[] = {m - 5, m - 2, m + 1, m + 4};
  ACanvas->Brush()->SetStyle(bsSolid);
  auto line = [&](int AOffset, TColor AColor) {
    // Segments between the one-pixel gaps, [from, to) along the line.
    int from = start;
    auto segment = [&](int to) {
      if (to > from) {
        const int a = across + AOffset;
        ACanvas->FillRect(AHorizontal ? TRect(from + AOffset, a, to + AOffset, a + 1)
                                      : TRect(a, from + AOffset, a + 1, to + AOffset),
                          AColor);
      }
    };
    for (int gap : gaps) {
      if (gap < from) continue;
      if (gap >= end) break;
      segment(gap);
      from = gap + 1;
    }
    segment(end);
  };
  line(0, GetSplitterOuterColor(AHighlighted));
  if (secondLine) line(1, GetSplitterInnerColor(AHighlighted));
}

TSize TcxCustomLookAndFeelPainter::GetSplitterSize(bool AHorizontal) const {
  return AHorizontal ? TSize{17, 2} : TSize{2, 17};
}

TColor TcxCustomLookAndFeelPainter::LayoutControlEmptyAreaColor() const { return clBtnFace; }

void TcxCustomLookAndFeelPainter::DrawLayoutControlBackground(TcxCanvas* ACanvas,
                                                              const TRect& R) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(R, LayoutControlEmptyAreaColor());
}

TRect TcxCustomLookAndFeelPainter::PrintPreviewPageBordersWidth() const {
  return TRect(2, 2, 4, 4);
}

void TcxCustomLookAndFeelPainter::DrawPrintPreviewBackground(TcxCanvas* ACanvas,
                                                             const TRect& R) const {
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(R, clBtnShadow);
}

void TcxCustomLookAndFeelPainter::DrawPrintPreviewPageBackground(TcxCanvas* ACanvas,
                                                                 const TRect& ABorderRect,
                                                                 const TRect& AContentRect,
                                                                 bool ASelected,
                                                                 bool ADrawContent) const {
  ACanvas->SaveClipRegion();
  try {
    ACanvas->Brush()->SetStyle(bsSolid);
    TRect page(ABorderRect.Left, ABorderRect.Top, ABorderRect.Right - 2, ABorderRect.Bottom - 2);
    if (ADrawContent) ACanvas->FillRect(AContentRect, clWindow);
    if (!ASelected) page = Shrunk(page, 1);
    ACanvas->ExcludeClipRect(AContentRect);
    ACanvas->FillRect(page, ASelected ? clHighlight : clWindowText);
    ACanvas->ExcludeClipRect(page);
    ACanvas->FillRect(Moved(page, 2, 2), clWindowText);
  } catch (...) {
    ACanvas->RestoreClipRegion();
    throw;
  }
  ACanvas->RestoreClipRegion();
}

TColor TcxCustomLookAndFeelPainter::CalcEditButtonTextColor(
    TcxCalcButtonKind AButtonKind) const {
  switch (AButtonKind) {
    case cbBack:
    case cbCancel:
    case cbClear:
      return clMaroon;
    case cbMC:
    case cbMR:
    case cbMS:
    case cbMP:
    case cbDiv:
    case cbMul:
    case cbSub:
    case cbAdd:
    case cbEqual:
      return clRed;
    case cbSqrt:
    case cbPercent:
    case cbRev:
      return clNavy;
    default:
      return clBlue;
  }
}

TColor TcxCustomLookAndFeelPainter::GetCustomizationFormListBackgroundColor() const {
  return clBtnFace;
}

// ---------------------------------------------------------------------------
// Drawing routines shared by the looks
// ---------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawSortingTriangle(TcxCanvas* ACanvas, const TRect& R,
                                                      bool AAscendingSorting, TColor AColor1,
                                                      TColor AColor2) const {
  const TPoint size = SortingMarkSize();
  const int w = size.X, h = size.Y;
  const bool even = w % 2 == 0;
  const int f = w / 2;
  const int g = even ? f - 1 : f;
  const int x = (R.Left + R.Right) / 2 - (even ? 1 : 0);
  const int d = AAscendingSorting ? 1 : -1;
  const int y = AAscendingSorting ? (R.Top + R.Bottom - h) / 2 : (R.Top + R.Bottom + h) / 2 - 1;
  TPen* pen = ACanvas->Pen();
  pen->SetColor(AColor1);
  // The right edge, two pixels thick.
  ACanvas->MoveTo(x + f, y + d * (h - 2));
  ACanvas->LineTo(x + f - g, y);
  ACanvas->LineTo(x + f, y + d * (h - 1));
  if (!AAscendingSorting) pen->SetColor(AColor2);
  ACanvas->LineTo(x - g, y + d * (h - 1));
  if (AAscendingSorting) pen->SetColor(AColor2);
  // The left edge, two pixels thick.
  ACanvas->LineTo(x, y);
  ACanvas->LineTo(x - g, y + d * (h - (w % 2)));
}

void TcxCustomLookAndFeelPainter::DrawMonthHeaderArrows(TcxCanvas* ACanvas,
                                                        const TRect& ABounds, TColor AColor,
                                                        int ASideWidth,
                                                        TcxHeaderArrows AArrows) const {
  if (AArrows == haNone) return;
  TRect r = ABounds;
  r.Top += BorderSize() + 1;
  --r.Bottom;
  int D = r.Height() / 2;
  if (D % 2 == 0) ++D;
  const int y0 = (r.Top + r.Bottom - D) / 2 - 1;
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->SetBrushColor(AColor);
  ACanvas->Pen()->SetColor(AColor);
  auto arrow = [&](int ASideX, int ADirection) {
    const TPoint P[] = {{ASideX, y0},
                        {ASideX, y0 + D + 1},
                        {ASideX + ADirection * (D / 2 + 1), y0 + D / 2 + 1}};
    ACanvas->Polygon(P);
  };
  if (AArrows == haLeft || AArrows == haBoth) arrow(r.Left + ASideWidth - 1, -1);
  if (AArrows == haRight || AArrows == haBoth) arrow(r.Right - ASideWidth + 1, 1);
}
