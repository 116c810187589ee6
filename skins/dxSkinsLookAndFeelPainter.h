// The look-and-feel painter that draws from a skin: each operation reads one
// member of the skin's resolved element table and, where the skin lacks it,
// draws as the Office 2003 look does.
#pragma once

#include "foundation/cxLookAndFeelPaintersOffice11.h"
#include "skins/dxSkinInfo.h"

class TdxSkinElementCache;

// Greys a premultiplied 32-bit pixel row: red, green and blue become
// (2 x alpha + red + green + blue) div 5, alpha stays.
void dxSkinGrayPixels(RGBQUAD* APixels, int ACount);

// Button states as skin element states.
extern const TdxSkinElementState dxSkinButtonStateMap[5];

// The finished renderings the skin painter keeps of large, often repainted
// backgrounds: the scroll-bar tracks and the print-preview background.
class TdxSkinLookAndFeelPainterCacheManager : public TObject {
  DECLARE_CLASS(TdxSkinLookAndFeelPainterCacheManager, TObject)
  TdxSkinLookAndFeelPainterCacheManager();
  ~TdxSkinLookAndFeelPainterCacheManager() override;
  void DrawScrollBarBackground(HDC DC, const TRect& R, TdxSkinElement* AElement, bool AHorizontal);
  void DrawPreviewBackground(HDC DC, const TRect& R, TdxSkinElement* AElement);
  void Flush();

 private:
  TdxSkinElementCache* FScrollBarBackground[2];
  TdxSkinElementCache* FPrintingPreviewBackground;
};

// Nil outside the painter module's start-up .. shutdown.
TdxSkinLookAndFeelPainterCacheManager* dxSkinsPainterCacheManager();
void dxSkinsLookAndFeelPainterInitialize();
void dxSkinsLookAndFeelPainterFinalize();

class TdxSkinLookAndFeelPainter : public TcxOffice11LookAndFeelPainter {
  DECLARE_CLASS(TdxSkinLookAndFeelPainter, TcxOffice11LookAndFeelPainter)
  static TcxCustomLookAndFeelPainterClass Instance();

  // The table registered as this painter's data; nil when not registered.
  virtual TdxSkinLookAndFeelPainterInfo* SkinInfo() const;
  virtual String InternalUnitName() const { return L"dxSkinsLookAndFeelPainter"; }

  TColor DefaultContentColor() const override;
  TColor DefaultContentEvenColor() const override;
  TColor DefaultContentOddColor() const override;
  TColor DefaultContentTextColor() const override;
  TColor DefaultSelectionColor() const override;
  TColor DefaultSelectionTextColor() const override;
  TColor DefaultEditorBackgroundColorEx(TcxEditStateColorKind AKind) const override;
  TColor DefaultEditorTextColorEx(TcxEditStateColorKind AKind) const override;
  TColor DefaultHyperlinkTextColor() const override;
  TColor GetContainerBorderColor(bool AIsHighlightBorder) const override;

  using TcxOffice11LookAndFeelPainter::DrawCheckButton;
  void DrawButton(TcxCanvas* ACanvas, const TRect& R, const String& ACaption, TcxButtonState AState,
                  bool ADrawBorder, TColor AColor, TColor ATextColor, bool AWordWrap,
                  bool AIsToolButton) const override;
  int ButtonBorderSize(TcxButtonState AState) const override;
  TColor ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor) const override;
  void DrawCheckButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                       TcxCheckBoxState ACheckState) const override;
  void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const override;
  int ExpandButtonSize() const override;
  void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, const TRect& R, TcxScrollBarPart APart,
                         TcxButtonState AState) const override;
  void DrawScrollBarBackground(TcxCanvas* ACanvas, const TRect& R, bool AHorizontal) const override;
  int ScrollBarMinimalThumbSize(bool AVertical) const override;
  void DrawNavigatorGlyph(TcxCanvas* ACanvas, TCustomImageList* AImageList, int AImageIndex, int AButtonIndex,
                          const TRect& AGlyphRect, bool AEnabled, bool AUserGlyphs) const override;
  TSize NavigatorGlyphSize() const override;
  void DrawPrintPreviewBackground(TcxCanvas* ACanvas, const TRect& R) const override;

  // Editors, check and radio buttons, size grips, progress and track bars, splitters.
  TSize CheckButtonSize() const override;
  TSize RadioButtonSize() const override;
  void DrawRadioButton(TcxCanvas* ACanvas, int X, int Y, TcxButtonState AButtonState, bool AChecked, bool AFocused,
                       TColor ABrushColor, bool AIsDesigning) const override;
  void DrawLabelLine(TcxCanvas* ACanvas, const TRect& R, TColor AOuterColor, TColor AInnerColor,
                     bool AIsVertical) const override;
  int LabelLineHeight() const override;
  void DrawEditorButton(TcxCanvas* ACanvas, const TRect& ARect, TcxEditBtnKind AButtonKind,
                        TcxButtonState AState) const override;
  TSize EditButtonSize() const override;
  int EditButtonTextOffset() const override { return 1; }
  TColor EditButtonTextColor() const override;
  void DrawBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  TSize SizeGripSize() const override;
  void DrawSizeGrip(TcxCanvas* ACanvas, const TRect& ARect, TColor ABackgroundColor) const override;
  TColor DefaultSizeGripAreaColor() const override;
  void DrawProgressBarBorder(TcxCanvas* ACanvas, const TRect& ARect, bool AVertical) const override;
  void DrawProgressBarChunk(TcxCanvas* ACanvas, const TRect& ARect, bool AVertical) const override;
  void DrawTrackBarTrack(TcxCanvas* ACanvas, const TRect& ARect, const TRect& ASelection, bool AShowSelection,
                         bool AEnabled, bool AHorizontal, TColor ATrackColor) const override;
  int TrackBarTrackSize() const override;
  void DrawTrackBarThumb(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState, bool AHorizontal,
                         TcxTrackBarTicksAlign ATicks, TColor AThumbColor) const override;
  TSize TrackBarThumbSize(bool AHorizontal) const override;
  void DrawSplitter(TcxCanvas* ACanvas, const TRect& ARect, bool AHighlighted, bool AClicked,
                    bool AHorizontal) const override;
  TSize GetSplitterSize(bool AHorizontal) const override;
  void DrawWindowContent(TcxCanvas* ACanvas, const TRect& ARect) const override;
  TColor LayoutControlEmptyAreaColor() const override;
  TColor PanelTextColor() const override;

  // Group boxes and panels.
  void DrawGroupBoxBackground(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ARect) const override;
  void DrawGroupBoxCaption(TcxCanvas* ACanvas, const TRect& ACaptionRect,
                           TcxGroupBoxCaptionPosition ACaptionPosition) const override;
  void DrawGroupBoxContent(TcxCanvas* ACanvas, const TRect& ABorderRect, TcxGroupBoxCaptionPosition ACaptionPosition,
                           TcxBorders ABorders) const override;
  void DrawGroupBoxFrame(TcxCanvas* ACanvas, const TRect& R, bool AEnabled, TcxGroupBoxCaptionPosition ACaptionPosition,
                         TcxBorders ABorders) const override;
  void DrawGroupBoxExpandButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                bool AExpanded) const override;
  TRect GroupBoxBorderSize(bool ACaption, TcxGroupBoxCaptionPosition ACaptionPosition) const override;
  TColor GroupBoxTextColor(bool AEnabled, TcxGroupBoxCaptionPosition ACaptionPosition) const override;
  bool IsGroupBoxTransparent(bool AIsCaption, TcxGroupBoxCaptionPosition ACaptionPosition) const override;
  void DrawPanelBorders(TcxCanvas* ACanvas, const TRect& ABorderRect) const override;
  void DrawPanelContent(TcxCanvas* ACanvas, const TRect& ABorderRect, bool ABorder) const override;

  // Data views (headers, grid lines, group rows, indicators, filters, vertical grids).
  void DrawHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                  TcxBorders ABorders, TcxButtonState AState, TAlignment AAlignmentHorz,
                  TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                  TFont* AFont, TColor ATextColor, TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground,
                  bool AIsLast, bool AIsGroup) const override;
  void DrawCellContent(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds, TcxButtonState AState,
                       TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                       bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor, TColor ABkColor,
                       const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsFooter) const override;
  bool HeaderDrawCellsFirst() const override { return false; }
  void DrawGroupByBox(TcxCanvas* ACanvas, const TRect& ARect, bool ATransparent, TColor ABackgroundColor,
                      TBitmap* ABackgroundBitmap) const override;
  void DrawFilterPanel(TcxCanvas* ACanvas, const TRect& ARect, bool ATransparent, TColor ABackgroundColor,
                       TBitmap* ABackgroundBitmap) const override;
  void DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                bool AIsFilterActive) const override;
  void DrawIndicatorImage(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind) const override;
  TColor DefaultHeaderColor() const override;
  TColor DefaultHeaderTextColor() const override;
  TColor DefaultHeaderBackgroundColor() const override;
  TColor DefaultHeaderBackgroundTextColor() const override;
  TColor DefaultGroupByBoxTextColor() const override;
  TColor DefaultGridLineColor() const override;
  TColor DefaultFixedSeparatorColor() const override;
  TColor DefaultRecordSeparatorColor() const override;
  TColor DefaultSeparatorColor() const override;
  TColor DefaultGroupColor() const override;
  TColor DefaultGroupTextColor() const override;
  TColor DefaultGridDetailsSiteColor() const override;
  TColor DefaultFooterColor() const override { return DefaultHeaderColor(); }
  TColor FooterSeparatorColor() const override { return DefaultGridLineColor(); }
  TColor DefaultPreviewTextColor() const override { return DefaultHyperlinkTextColor(); }
  TColor DefaultFilterBoxTextColor() const override;
  TColor DefaultVGridLineColor() const override;
  TColor DefaultVGridBandLineColor() const override;
  TColor DefaultVGridCategoryColor() const override;
  TColor DefaultVGridCategoryTextColor() const override;
  TColor DefaultVGridHeaderColor() const override;
  TColor DefaultVGridHeaderTextColor() const override;
  TcxBorders HeaderBorders(TcxNeighbors ANeighbors) const override;
  bool GridDrawHeaderCellsFirst() const override;
  TColor PivotGridHeadersAreaColor() const override;
  TColor PivotGridHeadersAreaTextColor() const override;
  int FooterCellBorderSize() const override;
  void DrawFooterCellBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  bool FooterDrawCellsFirst() const override { return false; }
  bool IndicatorDrawItemsFirst() const override { return true; }

  // Schedulers and date navigators.
  void DrawSchedulerNavigationButtonContent(TcxCanvas* ACanvas, const TRect& ARect, const TRect& AArrowRect,
                                            bool AIsNextButton, TcxButtonState AState) const override;
  void CalculateSchedulerNavigationButtonRects(bool AIsNextButton, bool ACollapsed, TSize APrevButtonTextSize,
                                               TSize ANextButtonTextSize, TRect& ABounds, TRect& ATextRect,
                                               TRect& AArrowRect) const override;
  TColor SchedulerNavigationButtonTextColor(bool AIsNextButton, TcxButtonState AState,
                                            TColor ADefaultColor) const override;
  void DrawSchedulerNavigatorButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
  void DrawDateNavigatorDateHeader(TcxCanvas* ACanvas, TRect& R) const override;
  TColor DefaultSchedulerBackgroundColor() const override;
  TColor DefaultSchedulerControlColor() const override;
  TColor DefaultSchedulerBorderColor() const override;
  TColor DefaultSchedulerNavigatorColor() const override;
  TColor DefaultSchedulerViewTextColor() const override;
  TColor DefaultSchedulerViewSelectedTextColor() const override { return DefaultSchedulerViewTextColor(); }
  TColor DefaultDateNavigatorHeaderColor() const override { return DefaultHeaderColor(); }
  TColor DefaultDateNavigatorHeaderTextColor(bool) const override { return DefaultHeaderTextColor(); }
  TColor DefaultDateNavigatorTextColor() const override;
  TColor DefaultDateNavigatorHolydayTextColor() const override;
  TColor DefaultDateNavigatorInactiveTextColor() const override;
  TColor DefaultDateNavigatorSelectionColor() const override;
  TColor DefaultDateNavigatorSelectionTextColor() const override;
  TColor DefaultDateNavigatorSeparator1Color() const override;
  TColor DefaultDateNavigatorSeparator2Color() const override { return clNone; }
  TColor DefaultDateNavigatorTodayFrameColor() const override;
  TColor DefaultDateNavigatorTodayTextColor() const override;

 protected:
  TdxSkinLookAndFeelPainter() = default;
};
