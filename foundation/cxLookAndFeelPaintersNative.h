// The native look: every element the desktop's visual styles can draw is
// drawn by them (mapped to a theme class, part and state); whatever the theme
// cache cannot give a handle for falls back to the Standard look, so the
// painter stays correct when the user switches visual styles off while it is
// selected.
#pragma once

#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPaintersStandard.h"
#include "foundation/dxThemeManager.h"

// Theme state numbers for a button state (the visual-style definitions' maps).
int cxPushButtonThemeState(TcxButtonState AState);
int cxCheckButtonThemeState(TcxButtonState AState, bool AChecked);
int cxScrollArrowThemeState(TcxButtonState AState, TcxArrowDirection ADirection);
int cxScrollThumbThemeState(TcxButtonState AState);
int cxHeaderItemThemeState(TcxButtonState AState);
int cxTabItemThemeState(TcxButtonState AState);
int cxSchedulerNavigatorThemeState(TcxButtonState AState);
int cxTrackBarThumbThemeState(TcxButtonState AState);
// Normal, hot and pressed have their own state; the others count as normal.
int cxExplorerBarThemeState(TcxButtonState AState);

class TcxWinXPLookAndFeelPainter : public TcxStandardLookAndFeelPainter {
  DECLARE_CLASS(TcxWinXPLookAndFeelPainter, TcxStandardLookAndFeelPainter)
  static TcxCustomLookAndFeelPainterClass Instance();

  using TcxCustomLookAndFeelPainter::DrawArrow;

  void DrawSchedulerNavigationButtonContent(TcxCanvas* ACanvas, const TRect& ARect,
                                            const TRect& AArrowRect, bool AIsNextButton,
                                            TcxButtonState AState) const override;
  TcxLookAndFeelStyle LookAndFeelStyle() const override;
  bool NeedRedrawOnResize() const override;
  TColor DefaultSchedulerBorderColor() const override;
  TColor DefaultSchedulerViewContentColor() const override;
  void DrawArrow(TcxCanvas* ACanvas, const TRect& R, TcxArrowDirection AArrowDirection,
                 TColor AColor) const override;
  void DrawArrow(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                 TcxArrowDirection AArrowDirection, bool ADrawBorder) const override;
  void DrawArrowBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
  int BorderSize() const override;
  void DrawBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawSeparator(TcxCanvas* ACanvas, const TRect& R, bool AIsVertical) const override;
  TRect AdjustGroupButtonDisplayRect(const TRect& R, int AButtonCount,
                                     int AButtonIndex) const override;
  int ButtonBorderSize(TcxButtonState AState) const override;
  TColor ButtonColor(TcxButtonState AState) const override;
  TRect ButtonFocusRect(TcxCanvas* ACanvas, const TRect& R) const override;
  TRect ButtonGroupBorderSizes(int AButtonCount, int AButtonIndex) const override;
  int ButtonTextOffset() const override;
  int ButtonTextShift() const override;
  TColor ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor) const override;
  void DrawButton(TcxCanvas* ACanvas, const TRect& R, const String& ACaption,
                  TcxButtonState AState, bool ADrawBorder, TColor AColor, TColor ATextColor,
                  bool AWordWrap, bool AIsToolButton) const override;
  void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                        TColor AColor) const override;
  bool DrawExpandButtonFirst() const override;
  void DrawGroupExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                             TcxButtonState AState) const override;
  void DrawSmallExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                             TColor ABorderColor, TColor AColor) const override;
  int ExpandButtonSize() const override;
  int GroupExpandButtonSize() const override;
  bool IsButtonHotTrack() const override;
  bool IsPointOverGroupExpandButton(const TRect& R, const TPoint& P) const override;
  int SmallExpandButtonSize() const override;
  int CheckBorderSize() const override;
  TSize CheckButtonSize() const override;
  void DrawCheck(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, bool AChecked,
                 TColor AColor) const override;
  void DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
  void DrawRadioButton(TcxCanvas* ACanvas, int X, int Y, TcxButtonState AButtonState,
                       bool AChecked, bool AFocused, TColor ABrushColor,
                       bool AIsDesigning) const override;
  TSize RadioButtonSize() const override;
  void DrawHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                  TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                  TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                  bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
                  TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground,
                  bool AIsLast, bool AIsGroup) const override;
  void DrawHeaderPressed(TcxCanvas* ACanvas, const TRect& ABounds) const override;
  void DrawHeaderControlSection(TcxCanvas* ACanvas, const TRect& ABounds,
                                const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                                TcxBorders ABorders, TcxButtonState AState,
                                TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                                TFont* AFont, TColor ATextColor, TColor ABkColor) const override;
  void DrawSortingMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const override;
  int HeaderBorderSize() const override;
  int HeaderControlSectionBorderSize(TcxButtonState AState) const override;
  TRect HeaderControlSectionContentBounds(const TRect& ABounds,
                                          TcxButtonState AState) const override;
  bool IsHeaderHotTrack() const override;
  TPoint SortingMarkSize() const override;
  int FooterBorderSize() const override;
  int FooterCellBorderSize() const override;
  int FooterCellOffset() const override;
  bool FooterDrawCellsFirst() const override;
  void DrawFooterCell(TcxCanvas* ACanvas, const TRect& ABounds, TAlignment AAlignmentHorz,
                      TcxAlignmentVert AAlignmentVert, bool AMultiLine, const String& AText,
                      TFont* AFont, TColor ATextColor, TColor ABkColor,
                      const TcxDrawBackgroundEvent& AOnDrawBackground) const override;
  void DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawFilterCloseButton(TcxCanvas* ACanvas, const TRect& R,
                             TcxButtonState AState) const override;
  void DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                bool AIsFilterActive) const override;
  TPoint FilterActivateButtonSize() const override;
  TPoint FilterCloseButtonSize() const override;
  void DrawTab(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders, const String& AText,
               TcxButtonState AState, bool AVertical, TFont* AFont, TColor ATextColor,
               TColor ABkColor, bool AShowPrefix) const override;
  void DrawTabBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorder ABorder, TcxBorders ABorders,
                     bool AVertical) const override;
  void DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                    bool AVertical) const override;
  bool IsDrawTabImplemented(bool AVertical) const override;
  bool IsTabHotTrack(bool AVertical) const override;
  int TabBorderSize(bool AVertical) const override;
  void DrawIndicatorItem(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind,
                         TColor AColor,
                         const TcxDrawBackgroundEvent& AOnDrawBackground) const override;
  int ScrollBarMinimalThumbSize(bool AVertical) const override;
  void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, const TRect& R,
                         TcxScrollBarPart APart, TcxButtonState AState) const override;
  void DrawSizeGrip(TcxCanvas* ACanvas, const TRect& ARect,
                    TColor ABackgroundColor) const override;
  void DrawMonthHeader(TcxCanvas* ACanvas, const TRect& ABounds, const String& AText,
                       TcxNeighbors ANeighbors, const TcxViewParams& AViewParams,
                       TcxHeaderArrows AArrows, int ASideWidth,
                       const TcxDrawBackgroundEvent& AOnDrawBackground) const override;
  void DrawSchedulerEventProgress(TcxCanvas* ACanvas, const TRect& ABounds,
                                  const TRect& AProgress, const TcxViewParams& AViewParams,
                                  bool ATransparent) const override;
  void DrawSchedulerNavigatorButton(TcxCanvas* ACanvas, const TRect& R,
                                    TcxButtonState AState) const override;
  void DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, const TRect& R,
                                   const TcxViewParams& AViewParams,
                                   bool AIsHorizontal) const override;
  TRect SchedulerEventProgressOffsets() const override;
  void DrawDateNavigatorDateHeader(TcxCanvas* ACanvas, TRect& R) const override;
  void DrawGroupBoxFrame(TcxCanvas* ACanvas, const TRect& R, bool AEnabled,
                         TcxGroupBoxCaptionPosition ACaptionPosition,
                         TcxBorders ABorders) const override;
  TColor GroupBoxTextColor(bool AEnabled,
                           TcxGroupBoxCaptionPosition ACaptionPosition) const override;
  void DrawPanelBackground(TcxCanvas* ACanvas, TWinControl* AControl, const TRect& ABounds,
                           TColor AColorFrom, TColor AColorTo) const override;
  void CorrectThumbRect(TcxCanvas* ACanvas, TRect& ARect, bool AHorizontal,
                        TcxTrackBarTicksAlign ATicks) const override;
  void DrawTrackBarTrack(TcxCanvas* ACanvas, const TRect& ARect, const TRect& ASelection,
                         bool AShowSelection, bool AEnabled, bool AHorizontal,
                         TColor ATrackColor) const override;
  void DrawTrackBarThumb(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                         bool AHorizontal, TcxTrackBarTicksAlign ATicks,
                         TColor AThumbColor) const override;
  void DrawSplitter(TcxCanvas* ACanvas, const TRect& ARect, bool AHighlighted, bool AClicked,
                    bool AHorizontal) const override;

  // Theme text in ARect for the part and state; nothing for an empty text.
  virtual void DrawThemedText(TcxCanvas* ACanvas, TdxTheme ATheme, int APartId, int AStateId,
                              const TRect& ARect, const String& AText, TFont* AFont,
                              TColor ATextColor, TAlignment AAlignmentHorz,
                              TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                              bool AShowEndEllipsis, bool AShowPrefix) const;

 protected:
  TcxWinXPLookAndFeelPainter() = default;
};
