// The two flat looks. Flat keeps a thin one-pixel relief and no hot tracking;
// UltraFlat draws plain one-pixel frames, tracks the mouse and fills hot and
// pressed buttons with light selection tints (it is the root look, and the
// Office 2003 look derives from it).
#pragma once

#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPainters.h"

class TcxFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
  DECLARE_CLASS(TcxFlatLookAndFeelPainter, TcxCustomLookAndFeelPainter)
  static TcxCustomLookAndFeelPainterClass Instance();

  TcxLookAndFeelStyle LookAndFeelStyle() const override;
  int BorderSize() const override;
  void DrawBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawSeparator(TcxCanvas* ACanvas, const TRect& R, bool AIsVertical) const override;
  int ButtonBorderSize(TcxButtonState AState) const override;
  int ButtonTextOffset() const override;
  int ButtonTextShift() const override;
  void DrawButtonBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
  void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                        TColor AColor) const override;
  int ExpandButtonSize() const override;
  bool IsButtonHotTrack() const override;
  void DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
  void DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
                        TcxBorders ABorders) const override;
  void DrawHeaderControlSectionBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                                      TcxButtonState AState) const override;
  void DrawSortingMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const override;
  int HeaderBorderSize() const override;
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
  void DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, const TRect& R,
                                   const TcxViewParams& AViewParams,
                                   bool AIsHorizontal) const override;
  void DrawDateNavigatorDateHeader(TcxCanvas* ACanvas, TRect& R) const override;
  void DrawGroupBoxFrame(TcxCanvas* ACanvas, const TRect& R, bool AEnabled,
                         TcxGroupBoxCaptionPosition ACaptionPosition,
                         TcxBorders ABorders) const override;
  void DrawTrackBarTrackBounds(TcxCanvas* ACanvas, const TRect& ARect) const override;
  void DrawTrackBarThumbBorderUpDown(TcxCanvas* ACanvas, const TPointArray& ALightPolyLine,
                                     const TPointArray& AShadowPolyLine,
                                     const TPointArray& ADarkPolyLine) const override;
  void DrawTrackBarThumbBorderBoth(TcxCanvas* ACanvas, const TRect& ARect) const override;
  TColor GetSplitterOuterColor(bool AHighlighted) const override;

 protected:
  TcxFlatLookAndFeelPainter() = default;
};

class TcxUltraFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
  DECLARE_CLASS(TcxUltraFlatLookAndFeelPainter, TcxCustomLookAndFeelPainter)
  static TcxCustomLookAndFeelPainterClass Instance();

  void DrawFooterPanelFrame(TcxCanvas* ACanvas, const TRect& ABounds,
                            TcxBorders ABorders) const override;
  void DrawSchedulerNavigationButtonContent(TcxCanvas* ACanvas, const TRect& ARect,
                                            const TRect& AArrowRect, bool AIsNextButton,
                                            TcxButtonState AState) const override;
  TcxLookAndFeelStyle LookAndFeelStyle() const override;
  TColor DefaultSchedulerBorderColor() const override;
  int BorderSize() const override;
  void DrawBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawSeparator(TcxCanvas* ACanvas, const TRect& R, bool AIsVertical) const override;
  int ButtonBorderSize(TcxButtonState AState) const override;
  TColor ButtonColor(TcxButtonState AState) const override;
  TRect ButtonFocusRect(TcxCanvas* ACanvas, const TRect& R) const override;
  TRect ButtonGroupBorderSizes(int AButtonCount, int AButtonIndex) const override;
  int ButtonTextOffset() const override;
  int ButtonTextShift() const override;
  TColor ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor) const override;
  TcxButtonState ButtonSymbolState(TcxButtonState AState) const override;
  void DrawButtonInGroup(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                         int AButtonCount, int AButtonIndex,
                         TColor ABackgroundColor) const override;
  void DrawButtonBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
  void DrawButtonGroupBorder(TcxCanvas* ACanvas, const TRect& R, bool AInplace,
                             bool ASelected) const override;
  void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                        TColor AColor) const override;
  int ExpandButtonSize() const override;
  bool IsButtonHotTrack() const override;
  void DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
  void DrawHeaderEx(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                    TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
                    TColor ABkColor,
                    const TcxDrawBackgroundEvent& AOnDrawBackground) const override;
  void DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
                        TcxBorders ABorders) const override;
  void DrawHeaderControlSectionBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                                      TcxButtonState AState) const override;
  void DrawHeaderControlSectionContent(TcxCanvas* ACanvas, const TRect& ABounds,
                                       const TRect& ATextAreaBounds, TcxButtonState AState,
                                       TAlignment AAlignmentHorz,
                                       TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                       bool AShowEndEllipsis, const String& AText, TFont* AFont,
                                       TColor ATextColor, TColor ABkColor) const override;
  void DrawSortingMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const override;
  TcxBorders HeaderBorders(TcxNeighbors ANeighbors) const override;
  int HeaderBorderSize() const override;
  TPoint SortingMarkSize() const override;
  TcxBorders FooterBorders() const override;
  int FooterBorderSize() const override;
  int FooterCellBorderSize() const override;
  int FooterCellOffset() const override;
  void DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawFooterCellBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                bool AIsFilterActive) const override;
  TPoint FilterCloseButtonSize() const override;
  void DrawTabBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorder ABorder, TcxBorders ABorders,
                     bool AVertical) const override;
  void DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                    bool AVertical) const override;
  int TabBorderSize(bool AVertical) const override;
  void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, const TRect& R,
                         TcxScrollBarPart APart, TcxButtonState AState) const override;
  void DrawSchedulerNavigatorButton(TcxCanvas* ACanvas, const TRect& R,
                                    TcxButtonState AState) const override;
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
  TColor GetSplitterOuterColor(bool AHighlighted) const override;
  TSize GetSplitterSize(bool AHorizontal) const override;
  void DrawPrintPreviewBackground(TcxCanvas* ACanvas, const TRect& R) const override;

  // The look's own colours, which the Office 2003 look replaces.
  virtual TColor GetButtonBorderColor(TcxButtonState AState) const;
  virtual TColor GetBorderShadowColor() const;
  virtual TColor GetBorderDarkColor() const;
  virtual TColor BorderHighlightColor() const;

 protected:
  TcxUltraFlatLookAndFeelPainter() = default;
};

// The look-independent pieces the classic and flat looks share.
namespace cxPainterShared {
// Fills R (one pixel thick) with a tiled track pattern: bitmap 1 pressed, 0
// otherwise; nothing when the module has not built the patterns.
void FillScrollBarTrack(TcxCanvas* ACanvas, const TRect& R, bool APressed);
// The classic tab-border strip (shared by the Standard and Flat looks).
void DrawClassicTabBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorder ABorder,
                          TcxBorders ABorders, bool AVertical);
// The classic header border (raised inner edge with corner touches).
void DrawClassicHeaderBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders);
// The classic filter drop-down button.
void DrawClassicFilterDropDownButton(const TcxCustomLookAndFeelPainter* APainter,
                                     TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                     bool AIsFilterActive);
}  // namespace cxPainterShared
