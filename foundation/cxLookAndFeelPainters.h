// Look-and-feel painters: the stateless objects that draw every standard
// element of the library (buttons, arrows, check boxes, headers, footers,
// scroll bars, tabs, group boxes, track bars, splitters ...) and answer its
// metrics and default colours. A control asks the painter its look-and-feel
// chose; the painter draws on a TcxCanvas from the values it is given and
// never reads the control.
//
// There is one painter object per painter class and no state in any of them:
// a painter class is referred to by a pointer to its object
// (TcxCustomLookAndFeelPainterClass), got from the class's Instance(). Every
// operation is virtual, so a look overrides only the small pieces (a border,
// a face colour) and inherits the composing operations (a button is border +
// face + caption) written once here.
//
// Overloaded operations (DrawArrow, DrawCheckButton): a painter that overrides
// one overload adds `using TcxCustomLookAndFeelPainter::DrawArrow;` (or
// DrawCheckButton) so the other stays visible through it.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/Lists.h"
#include "platform/core/System.h"
#include "platform/gui/Graphics.h"
#include "foundation/cxGraphicsCanvas.h"

#include <array>

class TCustomImageList;
class TWinControl;
// Declared with the popup windows; redeclared here to keep this header small.
enum TcxPopupBorderStyle : int;

// ---------------------------------------------------------------------------
// Types
// ---------------------------------------------------------------------------

DECLARE_ENUM(TcxLookAndFeelStyle, lfsFlat, lfsStandard, lfsUltraFlat, lfsNative, lfsOffice11)
// The look a look-and-feel object is set to (the native style and skins are
// separate settings of the look-and-feel).
DECLARE_ENUM(TcxLookAndFeelKind, lfFlat, lfStandard, lfUltraFlat, lfOffice11)
DECLARE_ENUM(TcxArrowDirection, adUp, adDown, adLeft, adRight)
using TcxArrowPoints = std::array<TPoint, 3>;
DECLARE_ENUM(TcxEditBtnKind, cxbkCloseBtn, cxbkComboBtn, cxbkEditorBtn, cxbkEllipsisBtn,
             cxbkSpinUpBtn, cxbkSpinDownBtn, cxbkSpinLeftBtn, cxbkSpinRightBtn)
DECLARE_ENUM(TcxEditStateColorKind, esckNormal, esckDisabled, esckInactive, esckReadOnly)
DECLARE_ENUM(TcxButtonState, cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled)
DECLARE_ENUM(TcxCalcButtonKind, cbBack, cbCancel, cbClear, cbMC, cbMR, cbMS, cbMP, cbNum0,
             cbNum1, cbNum2, cbNum3, cbNum4, cbNum5, cbNum6, cbNum7, cbNum8, cbNum9, cbSign,
             cbDecimal, cbDiv, cbMul, cbSub, cbAdd, cbSqrt, cbPercent, cbRev, cbEqual, cbNone)
DECLARE_ENUM(TcxCheckBoxState, cbsUnchecked, cbsChecked, cbsGrayed)
DECLARE_ENUM(TcxGroupBoxCaptionPosition, cxgpTop, cxgpBottom, cxgpLeft, cxgpRight, cxgpCenter)
DECLARE_ENUM(TcxHeaderArrows, haNone, haLeft, haRight, haBoth)
DECLARE_ENUM(TcxIndicatorKind, ikNone, ikArrow, ikEdit, ikInsert, ikMultiDot, ikMultiArrow,
             ikFilter)
// Which sides of a cell touch another cell.
DECLARE_ENUM(TcxNeighbor, nLeft, nTop, nRight, nBottom)
using TcxNeighbors = TSet<TcxNeighbor, 4>;
DECLARE_ENUM(TcxScrollBarPart, sbpNone, sbpLineUp, sbpLineDown, sbpThumbnail, sbpPageUp,
             sbpPageDown)
DECLARE_ENUM(TcxTrackBarTicksAlign, tbtaUp, tbtaDown, tbtaBoth)

// Draws a custom background; answers True when it did (then nothing else
// fills it).
using TcxDrawBackgroundEvent = TClosure<bool(TcxCanvas* ACanvas, const TRect& ABounds)>;

class TcxCustomLookAndFeelPainter;
using TcxCustomLookAndFeelPainterClass = const TcxCustomLookAndFeelPainter*;

// Told after a skin painter was registered or unregistered by name.
// {7665B7CA-2C4B-48B9-ABA2-FA530E7EA468}
inline constexpr GUID IID_IcxLookAndFeelPainterListener = {
    0x7665B7CA, 0x2C4B, 0x48B9, {0xAB, 0xA2, 0xFA, 0x53, 0x0E, 0x7E, 0xA4, 0x68}};
class IcxLookAndFeelPainterListener : public IInterface {
 public:
  virtual void HandlePainterRegistryChange(TcxCustomLookAndFeelPainterClass APainter) = 0;
};

// lfsFlat, lfsUltraFlat and lfsOffice11 give their kind; lfsStandard and
// lfsNative give lfStandard.
TcxLookAndFeelKind cxLookAndFeelKindFromStyle(TcxLookAndFeelStyle AStyle);

// ---------------------------------------------------------------------------
// Shared resources the painters read
// ---------------------------------------------------------------------------

// The painter module's shared resources (the module lives with the
// skin-painter registry): the size is measured by its start-up, the image list
// and the bitmaps are made when first asked for; all are freed by its shutdown.
// Outside start-up .. shutdown the size is (0, 0) and the image list and
// bitmaps are nil, and the painters draw nothing from them.
extern TSize cxCheckButtonGlyphSize;
// Six row-indicator images; image (kind - 1) for an indicator kind.
TCustomImageList* cxIndicatorImages();
// Scroll-bar track patterns: 0 normal, 1 pressed.
TBitmap* cxScrollBarPatternBitmaps(int AIndex);

// The shared radio-button image list draws and measures the radio glyphs; its
// module installs these at start-up and clears them at shutdown. Without them
// DrawRadioButton draws nothing and RadioButtonSize answers (0, 0).
using TcxDrawRadioButtonImageProc = void (*)(TcxCanvas* ACanvas, int X, int Y,
                                             TColor ABrushColor, TcxLookAndFeelKind AKind,
                                             TcxButtonState AState, bool AChecked,
                                             bool AFocused, bool AIsDesigning);
using TcxRadioButtonImageSizeProc = TSize (*)();
extern TcxDrawRadioButtonImageProc cxDrawRadioButtonImageHook;
extern TcxRadioButtonImageSizeProc cxRadioButtonImageSizeHook;

// ---------------------------------------------------------------------------
// TcxCustomLookAndFeelPainter
// ---------------------------------------------------------------------------

// The root painter. Its answers are neutral: default colours, zero borders,
// and for many drawing operations nothing at all. The virtual operations are
// declared in their fixed slot order, which derived painters (including the
// skin painter) follow. The first nine are meant for the painters themselves;
// they are public because one painter often evaluates another's operations.
class TcxCustomLookAndFeelPainter : public TObject {
  DECLARE_CLASS(TcxCustomLookAndFeelPainter, TObject)
  // The one object of this class.
  static TcxCustomLookAndFeelPainterClass Instance();

  // ===== Operations for the painters =======================================

  virtual TColor DefaultDateNavigatorHeaderHighlightTextColor() const;
  // Not transparent: ARect filled with AColor. Transparent: ARect tiled with
  // ABitmap when there is one, else nothing.
  virtual void FillPanelBackground(TcxCanvas* ACanvas, const TRect& ARect, bool ATransparent,
                                   TColor AColor, TBitmap* ABitmap) const;
  virtual void DrawDropDownTriangle(TcxCanvas* ACanvas, const TRect& R, TColor AColor) const;
  // The background (callback, else ABkColor), then a non-empty text.
  virtual void DrawCellContent(TcxCanvas* ACanvas, const TRect& ABounds,
                               const TRect& ATextAreaBounds, TcxButtonState AState,
                               TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                               bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                               TFont* AFont, TColor ATextColor, TColor ABkColor,
                               const TcxDrawBackgroundEvent& AOnDrawBackground,
                               bool AIsFooter) const;
  virtual void DrawFooterPanelFrame(TcxCanvas* ACanvas, const TRect& ABounds,
                                    TcxBorders ABorders) const;
  virtual void DrawSchedulerNavigationButtonContent(TcxCanvas* ACanvas, const TRect& ARect,
                                                    const TRect& AArrowRect,
                                                    bool AIsNextButton,
                                                    TcxButtonState AState) const;
  virtual TRect FooterCellContentBounds(const TRect& ABounds) const;
  virtual TRect FooterCellTextAreaBounds(const TRect& ABounds) const;
  // A band AThickness wide through the centre of ABounds, across its full
  // height (vertical) or width.
  virtual TRect CenteredSeparatorRect(const TRect& ABounds, int AThickness,
                                      bool AIsVertical) const;

  // ===== Identity ===========================================================

  virtual TcxLookAndFeelStyle LookAndFeelStyle() const;
  // True: controls drawn in this look repaint wholly when resized.
  virtual bool NeedRedrawOnResize() const;

  // ===== Default colours ====================================================

  virtual TColor DefaultContentColor() const;
  virtual TColor DefaultContentEvenColor() const;
  virtual TColor DefaultContentOddColor() const;
  virtual TColor DefaultContentTextColor() const;
  virtual TColor DefaultEditorBackgroundColor(bool AIsDisabled) const;
  // clDefault: the look has no editor colour of its own.
  virtual TColor DefaultEditorBackgroundColorEx(TcxEditStateColorKind AKind) const;
  virtual TColor DefaultEditorTextColor(bool AIsDisabled) const;
  virtual TColor DefaultEditorTextColorEx(TcxEditStateColorKind AKind) const;
  virtual TColor DefaultFilterBoxColor() const;
  virtual TColor DefaultFilterBoxTextColor() const;
  virtual TColor DefaultFixedSeparatorColor() const;
  virtual TColor DefaultFooterColor() const;
  virtual TColor DefaultFooterTextColor() const;
  virtual TColor DefaultGridDetailsSiteColor() const;
  virtual TColor DefaultGridLineColor() const;
  virtual TColor DefaultGroupByBoxColor() const;
  virtual TColor DefaultGroupByBoxTextColor() const;
  virtual TColor DefaultGroupColor() const;
  virtual TColor DefaultGroupTextColor() const;
  virtual TColor DefaultHeaderBackgroundColor() const;
  virtual TColor DefaultHeaderBackgroundTextColor() const;
  virtual TColor DefaultHeaderColor() const;
  virtual TColor DefaultHeaderTextColor() const;
  virtual TColor DefaultHyperlinkTextColor() const;
  virtual TColor DefaultInactiveColor() const;
  virtual TColor DefaultInactiveTextColor() const;
  virtual TColor DefaultPreviewTextColor() const;
  virtual TColor DefaultRecordSeparatorColor() const;
  virtual TColor DefaultSizeGripAreaColor() const;
  virtual TColor DefaultVGridBandLineColor() const;
  virtual TColor DefaultVGridCategoryColor() const;
  virtual TColor DefaultVGridCategoryTextColor() const;
  virtual TColor DefaultVGridHeaderColor() const;
  virtual TColor DefaultVGridHeaderTextColor() const;
  virtual TColor DefaultVGridLineColor() const;
  virtual TColor DefaultDateNavigatorContentColor() const;
  virtual TColor DefaultDateNavigatorHeaderColor() const;
  virtual TColor DefaultDateNavigatorHeaderTextColor(bool AIsHighlight) const;
  virtual TColor DefaultDateNavigatorHolydayTextColor() const;
  virtual TColor DefaultDateNavigatorInactiveTextColor() const;
  virtual TColor DefaultDateNavigatorSelectionColor() const;
  virtual TColor DefaultDateNavigatorSelectionTextColor() const;
  virtual TColor DefaultDateNavigatorSeparator1Color() const;
  virtual TColor DefaultDateNavigatorSeparator2Color() const;
  virtual TColor DefaultDateNavigatorTextColor() const;
  virtual TColor DefaultDateNavigatorTodayFrameColor() const;
  virtual TColor DefaultDateNavigatorTodayTextColor() const;
  virtual TColor DefaultSchedulerBackgroundColor() const;
  virtual TColor DefaultSchedulerTextColor() const;
  virtual TColor DefaultSchedulerBorderColor() const;
  virtual TColor DefaultSchedulerControlColor() const;
  virtual TColor DefaultSchedulerNavigatorColor() const;
  virtual TColor DefaultSchedulerTimeRulerColor() const;
  virtual TColor DefaultSchedulerTimeRulerTextColor() const;
  virtual TColor DefaultSchedulerViewContentColor() const;
  virtual TColor DefaultSchedulerViewSelectedTextColor() const;
  virtual TColor DefaultSchedulerViewTextColor() const;
  virtual TColor DefaultSelectionColor() const;
  virtual TColor DefaultSelectionTextColor() const;
  virtual TColor DefaultSeparatorColor() const;
  virtual TColor DefaultTabColor() const;
  virtual TColor DefaultTabTextColor() const;
  virtual TColor DefaultTabsBackgroundColor() const;
  virtual TColor DefaultTimeGridMajorScaleColor() const;
  virtual TColor DefaultTimeGridMajorScaleTextColor() const;
  virtual TColor DefaultTimeGridMinorScaleColor() const;
  virtual TColor DefaultTimeGridMinorScaleTextColor() const;
  virtual TColor DefaultTimeGridSelectionBarColor() const;
  virtual TColor DefaultChartDiagramValueBorderColor() const;
  virtual TColor DefaultChartDiagramValueCaptionTextColor() const;
  virtual TColor DefaultChartHistogramAxisColor() const;
  virtual TColor DefaultChartHistogramGridLineColor() const;
  virtual TColor DefaultChartHistogramPlotColor() const;
  virtual TColor DefaultChartPieDiagramSeriesSiteBorderColor() const;
  virtual TColor DefaultChartPieDiagramSeriesSiteCaptionColor() const;
  virtual TColor DefaultChartPieDiagramSeriesSiteCaptionTextColor() const;
  virtual TColor DefaultChartToolBoxDataLevelInfoBorderColor() const;
  virtual TColor DefaultChartToolBoxItemSeparatorColor() const;

  // ===== Arrows, borders and separators ====================================

  // The corners of an arrow triangle in R; AArrowSize 0 sizes it from R.
  static void CalculateArrowPoints(const TRect& R, TcxArrowPoints& P,
                                   TcxArrowDirection AArrowDirection, bool AProportional,
                                   int AArrowSize = 0);
  // A proportional arrow filled in AColor.
  virtual void DrawArrow(TcxCanvas* ACanvas, const TRect& R, TcxArrowDirection AArrowDirection,
                         TColor AColor) const;
  // The button background (border or face), then the arrow in the symbol colour.
  virtual void DrawArrow(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                         TcxArrowDirection AArrowDirection, bool ADrawBorder) const;
  virtual void DrawArrowBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const;
  virtual void DrawScrollBarArrow(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                  TcxArrowDirection AArrowDirection) const;
  virtual int BorderSize() const;
  virtual void DrawBorder(TcxCanvas* ACanvas, const TRect& R) const;
  virtual void DrawSeparator(TcxCanvas* ACanvas, const TRect& R, bool AIsVertical) const;

  // ===== Buttons ============================================================

  virtual TRect AdjustGroupButtonDisplayRect(const TRect& R, int AButtonCount,
                                             int AButtonIndex) const;
  virtual int ButtonBorderSize(TcxButtonState AState) const;
  virtual TColor ButtonColor(TcxButtonState AState) const;
  // R shrunk by the look's focus margin; R itself when that is empty.
  virtual TRect ButtonFocusRect(TcxCanvas* ACanvas, const TRect& R) const;
  // Border widths (left, top, right, bottom) of a button in a group.
  virtual TRect ButtonGroupBorderSizes(int AButtonCount, int AButtonIndex) const;
  virtual int ButtonTextOffset() const;
  // Pixels a pressed button's caption moves right and down.
  virtual int ButtonTextShift() const;
  // The colour of captions and symbols; ADefaultColor (clDefault: the look's
  // own) where the state has no colour of its own.
  virtual TColor ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor) const;
  virtual TcxButtonState ButtonSymbolState(TcxButtonState AState) const;
  // Border (with ADrawBorder), face (AColor or ButtonColor), caption
  // (ATextColor or ButtonSymbolColor). AIsToolButton is for the native look.
  virtual void DrawButton(TcxCanvas* ACanvas, const TRect& R, const String& ACaption,
                          TcxButtonState AState, bool ADrawBorder, TColor AColor,
                          TColor ATextColor, bool AWordWrap, bool AIsToolButton) const;
  // A 2-pixel-thick diagonal cross, FilterCloseButtonSize's width wide.
  void DrawButtonCross(TcxCanvas* ACanvas, const TRect& R, TColor AColor,
                       TcxButtonState AState) const;
  virtual void DrawButtonInGroup(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                 int AButtonCount, int AButtonIndex,
                                 TColor ABackgroundColor) const;
  virtual void DrawButtonBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const;
  virtual void DrawButtonGroupBorder(TcxCanvas* ACanvas, const TRect& R, bool AInplace,
                                     bool ASelected) const;

  // ===== Expand buttons =====================================================

  virtual void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                                TColor AColor) const;
  // A button with the double chevron.
  virtual void DrawExpandButtonEx(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                  bool AExpanded) const;
  // True: a tree or grid draws the expand button before the row content.
  virtual bool DrawExpandButtonFirst() const;
  virtual void DrawGroupExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                                     TcxButtonState AState) const;
  // A framed plus/minus sign.
  virtual void DrawSmallExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                                     TColor ABorderColor, TColor AColor) const;
  virtual int ExpandButtonSize() const;
  virtual int GroupExpandButtonSize() const;
  // True: buttons of this look change when the mouse is over them.
  virtual bool IsButtonHotTrack() const;
  virtual bool IsPointOverGroupExpandButton(const TRect& R, const TPoint& P) const;
  virtual int SmallExpandButtonSize() const;

  // ===== Check boxes, radio buttons and label lines ========================

  virtual int CheckBorderSize() const;
  virtual TColor CheckButtonColor(TcxButtonState AState) const;
  virtual TSize CheckButtonSize() const;
  // The check area (when the brush is solid) and, when checked, the mark.
  virtual void DrawCheck(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                         bool AChecked, TColor AColor) const;
  virtual void DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const;
  virtual void DrawCheckButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                               bool AChecked) const;
  // Border, then the check area shrunk by CheckBorderSize, then the mark.
  virtual void DrawCheckButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                               TcxCheckBoxState ACheckState) const;
  // The radio glyph of this look with its top-left at (X, Y); ABrushColor
  // clDefault leaves the canvas around the glyph as it is.
  virtual void DrawRadioButton(TcxCanvas* ACanvas, int X, int Y, TcxButtonState AButtonState,
                               bool AChecked, bool AFocused, TColor ABrushColor,
                               bool AIsDesigning) const;
  virtual TSize RadioButtonSize() const;
  // An etched line: AOuterColor on the top (left) edge, AInnerColor on the
  // bottom (right) one.
  virtual void DrawLabelLine(TcxCanvas* ACanvas, const TRect& R, TColor AOuterColor,
                             TColor AInnerColor, bool AIsVertical) const;
  virtual int LabelLineHeight() const;

  // ===== Headers ============================================================

  // DrawHeaderBorder, then DrawCellContent in the content bounds.
  virtual void DrawHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                          TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                          TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                          bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                          TFont* AFont, TColor ATextColor, TColor ABkColor,
                          const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsLast,
                          bool AIsGroup) const;
  virtual void DrawHeaderEx(TcxCanvas* ACanvas, const TRect& ABounds,
                            const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                            TcxBorders ABorders, TcxButtonState AState,
                            TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                            bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                            TFont* AFont, TColor ATextColor, TColor ABkColor,
                            const TcxDrawBackgroundEvent& AOnDrawBackground) const;
  virtual void DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
                                TcxBorders ABorders) const;
  virtual void DrawHeaderPressed(TcxCanvas* ACanvas, const TRect& ABounds) const;
  virtual void DrawHeaderControlSection(TcxCanvas* ACanvas, const TRect& ABounds,
                                        const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                                        TcxBorders ABorders, TcxButtonState AState,
                                        TAlignment AAlignmentHorz,
                                        TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                        bool AShowEndEllipsis, const String& AText,
                                        TFont* AFont, TColor ATextColor,
                                        TColor ABkColor) const;
  virtual void DrawHeaderControlSectionBorder(TcxCanvas* ACanvas, const TRect& R,
                                              TcxBorders ABorders,
                                              TcxButtonState AState) const;
  virtual void DrawHeaderControlSectionContent(TcxCanvas* ACanvas, const TRect& ABounds,
                                               const TRect& ATextAreaBounds,
                                               TcxButtonState AState,
                                               TAlignment AAlignmentHorz,
                                               TcxAlignmentVert AAlignmentVert,
                                               bool AMultiLine, bool AShowEndEllipsis,
                                               const String& AText, TFont* AFont,
                                               TColor ATextColor, TColor ABkColor) const;
  virtual void DrawHeaderControlSectionText(TcxCanvas* ACanvas, const TRect& ATextAreaBounds,
                                            TcxButtonState AState, TAlignment AAlignmentHorz,
                                            TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                            bool AShowEndEllipsis, const String& AText,
                                            TFont* AFont, TColor ATextColor) const;
  virtual void DrawHeaderSeparator(TcxCanvas* ACanvas, const TRect& ABounds, int AIndentSize,
                                   TColor AColor, const TcxViewParams& AViewParams) const;
  virtual void DrawSortingMark(TcxCanvas* ACanvas, const TRect& R,
                               bool AAscendingSorting) const;
  // The borders the look draws for a header with these neighbours.
  virtual TcxBorders HeaderBorders(TcxNeighbors ANeighbors) const;
  virtual int HeaderBorderSize() const;
  virtual TRect HeaderBounds(const TRect& ABounds, TcxNeighbors ANeighbors,
                             TcxBorders ABorders) const;
  virtual TRect HeaderContentBounds(const TRect& ABounds, TcxBorders ABorders) const;
  virtual bool HeaderDrawCellsFirst() const;
  virtual int HeaderHeight(int AFontHeight) const;
  virtual int HeaderControlSectionBorderSize(TcxButtonState AState) const;
  virtual TRect HeaderControlSectionTextAreaBounds(const TRect& ABounds,
                                                   TcxButtonState AState) const;
  virtual TRect HeaderControlSectionContentBounds(const TRect& ABounds,
                                                  TcxButtonState AState) const;
  virtual int HeaderWidth(TcxCanvas* ACanvas, TcxBorders ABorders, const String& AText,
                          TFont* AFont) const;
  virtual bool IsHeaderHotTrack() const;
  virtual TPoint SortingMarkAreaSize() const;
  virtual TPoint SortingMarkSize() const;

  // ===== Group-by box and grid rows ========================================

  virtual void DrawGroupByBox(TcxCanvas* ACanvas, const TRect& ARect, bool ATransparent,
                              TColor ABackgroundColor, TBitmap* ABackgroundBitmap) const;
  virtual TColor GridGroupRowStyleOffice11ContentColor(bool AHasData) const;
  virtual TColor GridGroupRowStyleOffice11SeparatorColor() const;
  virtual TColor GridGroupRowStyleOffice11TextColor() const;
  virtual bool GridDrawHeaderCellsFirst() const;
  virtual TColor PivotGridHeadersAreaColor() const;
  virtual TColor PivotGridHeadersAreaTextColor() const;

  // ===== Footers ============================================================

  virtual TcxBorders FooterBorders() const;
  virtual int FooterBorderSize() const;
  virtual int FooterCellBorderSize() const;
  virtual int FooterCellOffset() const;
  virtual bool FooterDrawCellsFirst() const;
  virtual TColor FooterSeparatorColor() const;
  virtual int FooterSeparatorSize() const;
  // Content and frame clipped to ABounds; the clip region is restored even
  // when a step raises.
  void DrawFooterPanel(TcxCanvas* ACanvas, const TRect& ABounds,
                       const TcxViewParams& AViewParams, TcxBorders ABorders) const;
  virtual void DrawFooterCell(TcxCanvas* ACanvas, const TRect& ABounds,
                              TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                              bool AMultiLine, const String& AText, TFont* AFont,
                              TColor ATextColor, TColor ABkColor,
                              const TcxDrawBackgroundEvent& AOnDrawBackground) const;
  virtual void DrawFooterCellContent(TcxCanvas* ACanvas, const TRect& ABounds,
                                     TAlignment AAlignmentHorz,
                                     TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                     const String& AText, TFont* AFont, TColor ATextColor,
                                     TColor ABkColor,
                                     const TcxDrawBackgroundEvent& AOnDrawBackground) const;
  virtual void DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const;
  virtual void DrawFooterCellBorder(TcxCanvas* ACanvas, const TRect& R) const;
  virtual void DrawFooterContent(TcxCanvas* ACanvas, const TRect& ARect,
                                 const TcxViewParams& AViewParams) const;
  virtual void DrawFooterSeparator(TcxCanvas* ACanvas, const TRect& R) const;

  // ===== Filter panel, windows and tabs ====================================

  virtual void DrawFilterActivateButton(TcxCanvas* ACanvas, const TRect& R,
                                        TcxButtonState AState, bool AChecked) const;
  virtual void DrawFilterCloseButton(TcxCanvas* ACanvas, const TRect& R,
                                     TcxButtonState AState) const;
  virtual void DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R,
                                        TcxButtonState AState, bool AIsFilterActive) const;
  virtual void DrawFilterPanel(TcxCanvas* ACanvas, const TRect& ARect, bool ATransparent,
                               TColor ABackgroundColor, TBitmap* ABackgroundBitmap) const;
  virtual TPoint FilterActivateButtonSize() const;
  virtual TPoint FilterCloseButtonSize() const;
  virtual TPoint FilterDropDownButtonSize() const;
  virtual void DrawWindowContent(TcxCanvas* ACanvas, const TRect& ARect) const;
  virtual TcxPopupBorderStyle PopupBorderStyle() const;
  virtual void DrawTab(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                       const String& AText, TcxButtonState AState, bool AVertical,
                       TFont* AFont, TColor ATextColor, TColor ABkColor,
                       bool AShowPrefix) const;
  virtual void DrawTabBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorder ABorder,
                             TcxBorders ABorders, bool AVertical) const;
  virtual void DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                            bool AVertical) const;
  virtual bool IsDrawTabImplemented(bool AVertical) const;
  virtual bool IsTabHotTrack(bool AVertical) const;
  virtual int TabBorderSize(bool AVertical) const;

  // ===== Row indicator ======================================================

  virtual void DrawIndicatorCustomizationMark(TcxCanvas* ACanvas, const TRect& R,
                                              TColor AColor) const;
  virtual void DrawIndicatorImage(TcxCanvas* ACanvas, const TRect& R,
                                  TcxIndicatorKind AKind) const;
  virtual void DrawIndicatorItem(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind,
                                 TColor AColor,
                                 const TcxDrawBackgroundEvent& AOnDrawBackground) const;
  virtual void DrawIndicatorItemEx(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind,
                                   TColor AColor,
                                   const TcxDrawBackgroundEvent& AOnDrawBackground) const;
  virtual bool IndicatorDrawItemsFirst() const;

  // ===== Scroll bars and size grip =========================================

  virtual int ScrollBarMinimalThumbSize(bool AVertical) const;
  virtual void DrawScrollBarBackground(TcxCanvas* ACanvas, const TRect& R,
                                       bool AHorizontal) const;
  virtual void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                 TcxScrollBarPart APart, TcxButtonState AState) const;
  virtual TSize SizeGripSize() const;
  virtual void DrawSizeGrip(TcxCanvas* ACanvas, const TRect& ARect,
                            TColor ABackgroundColor) const;

  // ===== Scheduler and date navigator ======================================

  virtual void CalculateSchedulerNavigationButtonRects(bool AIsNextButton, bool ACollapsed,
                                                       TSize APrevButtonTextSize,
                                                       TSize ANextButtonTextSize,
                                                       TRect& ABounds, TRect& ATextRect,
                                                       TRect& AArrowRect) const;
  virtual void DrawMonthHeader(TcxCanvas* ACanvas, const TRect& ABounds, const String& AText,
                               TcxNeighbors ANeighbors, const TcxViewParams& AViewParams,
                               TcxHeaderArrows AArrows, int ASideWidth,
                               const TcxDrawBackgroundEvent& AOnDrawBackground) const;
  virtual void DrawSchedulerBorder(TcxCanvas* ACanvas, const TRect& R) const;
  virtual void DrawSchedulerEventProgress(TcxCanvas* ACanvas, const TRect& ABounds,
                                          const TRect& AProgress,
                                          const TcxViewParams& AViewParams,
                                          bool ATransparent) const;
  virtual void DrawSchedulerNavigationButton(TcxCanvas* ACanvas, const TRect& ARect,
                                             bool AIsNextButton, TcxButtonState AState,
                                             const String& AText, const TRect& ATextRect,
                                             const TRect& AArrowRect) const;
  virtual void DrawSchedulerNavigationButtonArrow(TcxCanvas* ACanvas, const TRect& ARect,
                                                  bool AIsNextButton, TColor AColor) const;
  virtual void DrawSchedulerNavigatorButton(TcxCanvas* ACanvas, const TRect& R,
                                            TcxButtonState AState) const;
  virtual void DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, const TRect& R,
                                           const TcxViewParams& AViewParams,
                                           bool AIsHorizontal) const;
  virtual TRect SchedulerEventProgressOffsets() const;
  virtual TColor SchedulerNavigationButtonTextColor(bool AIsNextButton, TcxButtonState AState,
                                                    TColor ADefaultColor) const;
  virtual void SchedulerNavigationButtonSizes(bool AIsNextButton, TRect& ABorders,
                                              TSize& AArrowSize, bool& AHasTextArea) const;
  virtual int ChartToolBoxDataLevelInfoBorderSize() const;

  // ===== Clock, editor buttons and navigators ==============================

  virtual void DrawClock(TcxCanvas* ACanvas, const TRect& ARect, TDateTime ADateTime,
                         TColor ABackgroundColor) const;
  virtual void DrawEditorButton(TcxCanvas* ACanvas, const TRect& ARect,
                                TcxEditBtnKind AButtonKind, TcxButtonState AState) const;
  virtual int EditButtonTextOffset() const;
  virtual TSize EditButtonSize() const;
  virtual TColor EditButtonTextColor() const;
  virtual TColor GetContainerBorderColor(bool AIsHighlightBorder) const;
  // Draws the header and shrinks R to what is left inside its edge.
  virtual void DrawDateNavigatorDateHeader(TcxCanvas* ACanvas, TRect& R) const;
  virtual void DrawNavigatorGlyph(TcxCanvas* ACanvas, TCustomImageList* AImageList,
                                  int AImageIndex, int AButtonIndex, const TRect& AGlyphRect,
                                  bool AEnabled, bool AUserGlyphs) const;
  virtual TSize NavigatorGlyphSize() const;

  // ===== Progress bars ======================================================

  virtual void DrawProgressBarBorder(TcxCanvas* ACanvas, const TRect& ARect,
                                     bool AVertical) const;
  virtual void DrawProgressBarChunk(TcxCanvas* ACanvas, const TRect& ARect,
                                    bool AVertical) const;
  virtual void DrawProgressBarText(TcxCanvas* ACanvas, bool AVertical, bool ASolid,
                                   const String& AText, const TRect& ATextRect,
                                   const TRect& AProgressBarRect,
                                   const TRect& AProgressChunkRect, TColor ATextColor) const;
  virtual TRect ProgressBarBorderSize(bool AVertical) const;
  virtual TColor ProgressBarTextColor() const;
  virtual TColor ProgressBarTextColorEx(bool AIsFilledArea) const;

  // ===== Group boxes and panels ============================================

  virtual void DrawGroupBoxBackground(TcxCanvas* ACanvas, const TRect& ABounds,
                                      const TRect& ARect) const;
  virtual void DrawGroupBoxCaption(TcxCanvas* ACanvas, const TRect& ACaptionRect,
                                   TcxGroupBoxCaptionPosition ACaptionPosition) const;
  virtual void DrawGroupBoxContent(TcxCanvas* ACanvas, const TRect& ABorderRect,
                                   TcxGroupBoxCaptionPosition ACaptionPosition,
                                   TcxBorders ABorders) const;
  virtual void DrawGroupBoxExpandButton(TcxCanvas* ACanvas, const TRect& R,
                                        TcxButtonState AState, bool AExpanded) const;
  virtual void DrawGroupBoxFrame(TcxCanvas* ACanvas, const TRect& R, bool AEnabled,
                                 TcxGroupBoxCaptionPosition ACaptionPosition,
                                 TcxBorders ABorders) const;
  virtual TRect GroupBoxBorderSize(bool ACaption,
                                   TcxGroupBoxCaptionPosition ACaptionPosition) const;
  virtual TColor GroupBoxTextColor(bool AEnabled,
                                   TcxGroupBoxCaptionPosition ACaptionPosition) const;
  virtual bool IsGroupBoxTransparent(bool AIsCaption,
                                     TcxGroupBoxCaptionPosition ACaptionPosition) const;
  virtual void DrawPanelBackground(TcxCanvas* ACanvas, TWinControl* AControl,
                                   const TRect& ABounds, TColor AColorFrom,
                                   TColor AColorTo) const;
  virtual void DrawPanelBorders(TcxCanvas* ACanvas, const TRect& ABorderRect) const;
  virtual void DrawPanelCaption(TcxCanvas* ACanvas, const TRect& ACaptionRect,
                                TcxGroupBoxCaptionPosition ACaptionPosition) const;
  virtual void DrawPanelContent(TcxCanvas* ACanvas, const TRect& ABorderRect,
                                bool ABorder) const;
  virtual TRect PanelBorderSize() const;
  virtual TColor PanelTextColor() const;

  // ===== Track bars =========================================================

  virtual void CorrectThumbRect(TcxCanvas* ACanvas, TRect& ARect, bool AHorizontal,
                                TcxTrackBarTicksAlign ATicks) const;
  virtual void DrawTrackBarTrack(TcxCanvas* ACanvas, const TRect& ARect,
                                 const TRect& ASelection, bool AShowSelection, bool AEnabled,
                                 bool AHorizontal, TColor ATrackColor) const;
  virtual void DrawTrackBarTrackBounds(TcxCanvas* ACanvas, const TRect& ARect) const;
  virtual void DrawTrackBarThumb(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                                 bool AHorizontal, TcxTrackBarTicksAlign ATicks,
                                 TColor AThumbColor) const;
  virtual void DrawTrackBarThumbBorderUpDown(TcxCanvas* ACanvas,
                                             const TPointArray& ALightPolyLine,
                                             const TPointArray& AShadowPolyLine,
                                             const TPointArray& ADarkPolyLine) const;
  virtual void DrawTrackBarThumbBorderBoth(TcxCanvas* ACanvas, const TRect& ARect) const;
  virtual TSize TrackBarThumbSize(bool AHorizontal) const;
  virtual TColor TrackBarTicksColor(bool AText) const;
  virtual int TrackBarTrackSize() const;

  // ===== Splitters, layout control, print preview and others ===============

  virtual TColor GetSplitterInnerColor(bool AHighlighted) const;
  virtual TColor GetSplitterOuterColor(bool AHighlighted) const;
  virtual void DrawSplitter(TcxCanvas* ACanvas, const TRect& ARect, bool AHighlighted,
                            bool AClicked, bool AHorizontal) const;
  virtual TSize GetSplitterSize(bool AHorizontal) const;
  virtual TColor LayoutControlEmptyAreaColor() const;
  virtual void DrawLayoutControlBackground(TcxCanvas* ACanvas, const TRect& R) const;
  virtual TRect PrintPreviewPageBordersWidth() const;
  virtual void DrawPrintPreviewBackground(TcxCanvas* ACanvas, const TRect& R) const;
  virtual void DrawPrintPreviewPageBackground(TcxCanvas* ACanvas, const TRect& ABorderRect,
                                              const TRect& AContentRect, bool ASelected,
                                              bool ADrawContent) const;
  virtual TColor CalcEditButtonTextColor(TcxCalcButtonKind AButtonKind) const;
  virtual TColor GetCustomizationFormListBackgroundColor() const;

  // ===== Drawing routines shared by the looks ==============================

  // The plus (collapsed) or minus (expanded) sign centred in R.
  static void DrawExpandSign(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                             TColor AColor);
  // Two chevrons in ButtonSymbolColor(AState), pointing up when expanded.
  void DrawGroupExpandSign(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                           bool AExpanded) const;
  // A SortingMarkSize triangle: the right edge (and, ascending, the base) in
  // AColor1, the rest in AColor2.
  void DrawSortingTriangle(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting,
                           TColor AColor1, TColor AColor2) const;
  // The left and/or right triangles of a month header, ASideWidth in from its sides.
  void DrawMonthHeaderArrows(TcxCanvas* ACanvas, const TRect& ABounds, TColor AColor,
                             int ASideWidth, TcxHeaderArrows AArrows) const;

 protected:
  TcxCustomLookAndFeelPainter() = default;
};
