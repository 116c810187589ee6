// The Office 2003 look: UltraFlat's one-pixel frames coloured from the
// process-wide Office 2003 palette, with gradient headers, bitmap expand
// buttons and, where visual styles are usable, native scroll bars and group
// boxes.
#pragma once

#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPaintersFlat.h"

class TcxOffice11LookAndFeelPainter : public TcxUltraFlatLookAndFeelPainter {
  DECLARE_CLASS(TcxOffice11LookAndFeelPainter, TcxUltraFlatLookAndFeelPainter)
  static TcxCustomLookAndFeelPainterClass Instance();

  TColor DefaultDateNavigatorHeaderHighlightTextColor() const override;
  void DrawCellContent(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                       TcxButtonState AState, TAlignment AAlignmentHorz,
                       TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis,
                       const String& AText, TFont* AFont, TColor ATextColor, TColor ABkColor,
                       const TcxDrawBackgroundEvent& AOnDrawBackground,
                       bool AIsFooter) const override;
  void DrawSchedulerNavigationButtonContent(TcxCanvas* ACanvas, const TRect& ARect,
                                            const TRect& AArrowRect, bool AIsNextButton,
                                            TcxButtonState AState) const override;
  TcxLookAndFeelStyle LookAndFeelStyle() const override;
  bool NeedRedrawOnResize() const override;
  TColor DefaultFilterBoxColor() const override;
  TColor DefaultFilterBoxTextColor() const override;
  TColor DefaultFooterColor() const override;
  TColor DefaultFooterTextColor() const override;
  TColor DefaultGroupByBoxColor() const override;
  TColor DefaultGroupByBoxTextColor() const override;
  TColor DefaultGroupColor() const override;
  TColor DefaultHeaderBackgroundColor() const override;
  TColor DefaultHeaderColor() const override;
  TColor DefaultDateNavigatorHeaderColor() const override;
  TColor DefaultDateNavigatorSelectionColor() const override;
  TColor DefaultDateNavigatorSelectionTextColor() const override;
  TColor DefaultSchedulerBorderColor() const override;
  TColor DefaultSchedulerControlColor() const override;
  TColor DefaultTabColor() const override;
  TColor DefaultTabsBackgroundColor() const override;
  TColor DefaultTimeGridMinorScaleColor() const override;
  TColor DefaultTimeGridSelectionBarColor() const override;
  void DrawBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawSeparator(TcxCanvas* ACanvas, const TRect& R, bool AIsVertical) const override;
  TColor ButtonColor(TcxButtonState AState) const override;
  TColor ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor) const override;
  void DrawButtonBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
  void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                        TColor AColor) const override;
  bool DrawExpandButtonFirst() const override;
  void DrawSmallExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                             TColor ABorderColor, TColor AColor) const override;
  int ExpandButtonSize() const override;
  int SmallExpandButtonSize() const override;
  TColor CheckButtonColor(TcxButtonState AState) const override;
  void DrawHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                  TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                  TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                  bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
                  TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground,
                  bool AIsLast, bool AIsGroup) const override;
  void DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
                        TcxBorders ABorders) const override;
  void DrawHeaderControlSection(TcxCanvas* ACanvas, const TRect& ABounds,
                                const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                                TcxBorders ABorders, TcxButtonState AState,
                                TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                                TFont* AFont, TColor ATextColor, TColor ABkColor) const override;
  void DrawSortingMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const override;
  TcxBorders HeaderBorders(TcxNeighbors ANeighbors) const override;
  int HeaderBorderSize() const override;
  bool IsHeaderHotTrack() const override;
  TColor FooterSeparatorColor() const override;
  void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, const TRect& R,
                         TcxScrollBarPart APart, TcxButtonState AState) const override;
  void DrawSizeGrip(TcxCanvas* ACanvas, const TRect& ARect,
                    TColor ABackgroundColor) const override;
  void DrawMonthHeader(TcxCanvas* ACanvas, const TRect& ABounds, const String& AText,
                       TcxNeighbors ANeighbors, const TcxViewParams& AViewParams,
                       TcxHeaderArrows AArrows, int ASideWidth,
                       const TcxDrawBackgroundEvent& AOnDrawBackground) const override;
  void DrawSchedulerBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawSchedulerNavigatorButton(TcxCanvas* ACanvas, const TRect& R,
                                    TcxButtonState AState) const override;
  void DrawDateNavigatorDateHeader(TcxCanvas* ACanvas, TRect& R) const override;
  void DrawGroupBoxFrame(TcxCanvas* ACanvas, const TRect& R, bool AEnabled,
                         TcxGroupBoxCaptionPosition ACaptionPosition,
                         TcxBorders ABorders) const override;
  TColor GroupBoxTextColor(bool AEnabled,
                           TcxGroupBoxCaptionPosition ACaptionPosition) const override;
  void DrawPanelBackground(TcxCanvas* ACanvas, TWinControl* AControl, const TRect& ABounds,
                           TColor AColorFrom, TColor AColorTo) const override;
  void DrawTrackBarTrackBounds(TcxCanvas* ACanvas, const TRect& ARect) const override;
  void DrawTrackBarThumbBorderUpDown(TcxCanvas* ACanvas, const TPointArray& ALightPolyLine,
                                     const TPointArray& AShadowPolyLine,
                                     const TPointArray& ADarkPolyLine) const override;
  void DrawTrackBarThumbBorderBoth(TcxCanvas* ACanvas, const TRect& ARect) const override;
  TColor GetSplitterInnerColor(bool AHighlighted) const override;
  TColor GetSplitterOuterColor(bool AHighlighted) const override;
  TSize GetSplitterSize(bool AHorizontal) const override;
  void DrawLayoutControlBackground(TcxCanvas* ACanvas, const TRect& R) const override;
  TColor GetButtonBorderColor(TcxButtonState AState) const override;
  TColor GetBorderShadowColor() const override;
  TColor GetBorderDarkColor() const override;
  TColor BorderHighlightColor() const override;

  // The header gradient's ends and its edge colours.
  virtual TColor HeaderBottomColor() const;
  virtual TColor HeaderDarkEdgeColor() const;
  virtual TColor HeaderLightEdgeColor() const;
  virtual TColor HeaderTopColor() const;

 protected:
  TcxOffice11LookAndFeelPainter() = default;
};

// The look holds the Office 2003 palette (and its expand-button bitmaps)
// from start-up to shutdown.
void cxLookAndFeelPaintersOffice11Initialize();
void cxLookAndFeelPaintersOffice11Finalize();
