// The classic 3-D look: two-pixel raised and sunken bevels in the system
// colours, pressed buttons with a black frame, no hot tracking. The
// native-theme look derives from it and falls back to it.
#pragma once

#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPainters.h"

class TcxStandardLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
  DECLARE_CLASS(TcxStandardLookAndFeelPainter, TcxCustomLookAndFeelPainter)
  static TcxCustomLookAndFeelPainterClass Instance();

  TcxLookAndFeelStyle LookAndFeelStyle() const override;
  TColor DefaultSchedulerViewContentColor() const override;
  int BorderSize() const override;
  void DrawBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawSeparator(TcxCanvas* ACanvas, const TRect& R, bool AIsVertical) const override;
  int ButtonBorderSize(TcxButtonState AState) const override;
  int ButtonTextOffset() const override;
  int ButtonTextShift() const override;
  void DrawButtonBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
  void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                        TColor AColor) const override;
  void DrawGroupExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                             TcxButtonState AState) const override;
  int ExpandButtonSize() const override;
  bool IsButtonHotTrack() const override;
  void DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
  void DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
                        TcxBorders ABorders) const override;
  void DrawHeaderControlSectionBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                                      TcxButtonState AState) const override;
  void DrawSortingMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const override;
  int HeaderBorderSize() const override;
  int HeaderControlSectionBorderSize(TcxButtonState AState) const override;
  TPoint SortingMarkSize() const override;
  int FooterBorderSize() const override;
  int FooterCellBorderSize() const override;
  int FooterCellOffset() const override;
  void DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawFooterCellBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                bool AIsFilterActive) const override;
  void DrawTabBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorder ABorder, TcxBorders ABorders,
                     bool AVertical) const override;
  void DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                    bool AVertical) const override;
  int TabBorderSize(bool AVertical) const override;
  void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, const TRect& R,
                         TcxScrollBarPart APart, TcxButtonState AState) const override;
  void DrawMonthHeader(TcxCanvas* ACanvas, const TRect& ABounds, const String& AText,
                       TcxNeighbors ANeighbors, const TcxViewParams& AViewParams,
                       TcxHeaderArrows AArrows, int ASideWidth,
                       const TcxDrawBackgroundEvent& AOnDrawBackground) const override;
  void DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, const TRect& R,
                                   const TcxViewParams& AViewParams,
                                   bool AIsHorizontal) const override;
  void DrawGroupBoxFrame(TcxCanvas* ACanvas, const TRect& R, bool AEnabled,
                         TcxGroupBoxCaptionPosition ACaptionPosition,
                         TcxBorders ABorders) const override;
  void DrawTrackBarTrackBounds(TcxCanvas* ACanvas, const TRect& ARect) const override;
  void DrawTrackBarThumbBorderUpDown(TcxCanvas* ACanvas, const TPointArray& ALightPolyLine,
                                     const TPointArray& AShadowPolyLine,
                                     const TPointArray& ADarkPolyLine) const override;
  void DrawTrackBarThumbBorderBoth(TcxCanvas* ACanvas, const TRect& ARect) const override;

 protected:
  TcxStandardLookAndFeelPainter() = default;
};
