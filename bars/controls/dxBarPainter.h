// The bar painter: the stateless drawing and metrics strategy of toolbars,
// menus and item controls. Looks derive from it and override operations;
// every operation works on its arguments only, so one object per class
// serves every bar (TdxBarPainter::Instance()).
#pragma once

#include "bars/controls/dxBarItemControls.h"
#include "bars/controls/dxBarPaintRoutines.h"
#include "bars/controls/dxBarControls.h"
#include "foundation/cxLookAndFeelPainters.h"

class TcxCanvas;
class TCustomdxBarControl;
class TdxBarControl;
class TdxBarCustomHintViewInfo;
class TdxDockControl;
class TStrings;
enum TdxCorner : int;

// TdxBarMDIButton: bars/model/dxBarBase.h.

// What the frame operations read of a sub-menu window: the window fills it
// from its own state before it asks the painter to draw its frame, its
// separators, its scroll buttons or its expand mark. Rectangles are in the
// coordinates of the device context drawn on.
struct TdxBarSubMenuFrame {
  // The menu window; its background fills continue the menu's background.
  TCustomdxBarControl* Control = nullptr;
  bool Detachable = false;             // detaching allowed and the sub-item detachable
  bool DetachCaptionSelected = false;  // the mouse is over the detach caption
  int DetachCaptionHeight = 0;
  TRect DetachCaptionRect;
  TRect OwnerLinkRect;                 // the strip where the menu touches its owner
  HBRUSH ToolbarBrush = nullptr;       // the items' brush
  HBRUSH BkBrush = nullptr;            // the menu's background brush
  HBRUSH LightBrush = nullptr;         // the brush of rarely used items
  HPALETTE LightPalette = nullptr;     // its palette on displays of 8 bits or less
  int BandWidth = 0;                   // the owner's band, 0 when none
  int TextSize = 0;
  int IconAreaSize = 0;
  int MarkSize = 0;
  int ArrowSize = 0;                   // the size of its scroll arrows
  int ScrollButtonHeight = 0;
  TRect ScrollAreaRect;
  TBitmap* BackgroundBitmap = nullptr;
};

// One item of a sub-menu as its frame operations see it.
struct TdxBarSubMenuItemFrame {
  TdxBarItemControl* Control = nullptr;
  TRect AreaRect;
  bool NonRecent = false;          // a rarely used item
  bool ChangeRecentGroup = false;  // starts a group of the other recency
};

class TdxBarPainter : public TObject {
  DECLARE_CLASS(TdxBarPainter, TObject)
  TdxBarPainter() = default;
  static const TdxBarPainter* Instance();

  // Common metrics.
  // The height of "Wg" on the canvas plus 6: the unit of item heights.
  virtual int GetDefaultTextSize(TcxCanvas* ACanvas) const;
  virtual int GetPopupWindowBorderWidth() const { return 2; }
  virtual int GetBorderSize() const { return 0; }
  virtual int GetControlCaptionOffset(TdxBarItemControl* AControl) const;
  virtual TRect GetCaptionOffsets() const { return TRect(2, 2, 2, 3); }
  virtual TRect EditBaseIndents() const { return TRect(4, 0, 0, 0); }
  virtual int TextAreaOffset(TdxBarItemControl* AControl) const;
  // The text area offset of an item in a menu of that text size.
  virtual int SubMenuTextAreaOffset(int ATextSize) const { return ATextSize + 1; }
  virtual int GetTailAreaSize(TdxBarItemControl* AControl) const;
  virtual TRect ItemControlGetIndents(TdxBarItemControlDrawParams* AParams, int APart) const;
  virtual int GetIconAreaSize(TCustomdxBarControl* ABarControl) const;
  virtual int LoweredBorderSize(TdxBarItemControl*) const { return 0; }
  virtual int GlyphDownShift(TdxBarItemControl*) const { return 0; }
  virtual bool AllowsLargeIcons() const { return true; }
  virtual bool IsFlatGlyphImage() const { return false; }
  virtual bool IsFlatItemText() const { return false; }
  virtual bool IsFlatItemTextForMenu() const;
  virtual bool IsCustomSelectedTextColorExists(TdxBarItemControl*) const { return false; }
  virtual bool IsItemTextSelectedInverted() const { return true; }
  virtual bool IsButtonControlArrowFlat() const { return IsFlatItemText(); }
  virtual bool IsDropDownRepaintNeeded() const { return IsFlatItemText(); }
  virtual bool HasOwnBarBackground() const { return false; }
  // A look with a bar background of its own draws the whole bar window here.
  virtual void PaintOwnBarBackground(TdxBarControl*, HDC) const {}
  // The bar's background over its client area, where no item covered it.
  virtual void PrepareBarBackground(TCustomdxBarControl* ABarControl) const {
    ABarControl->DrawBackgroundRect(ABarControl->cxCanvas()->Handle(), ABarControl->ClientRect(), false, clNone,
                                    ABarControl->GetToolbarBrush());
  }
  virtual bool NeedsDoubleBuffering() const { return false; }
  virtual bool DrawsEmbossedDisabled() const { return false; }
  virtual int GetToolbarsOffsetForAutoAlign() const { return 0; }
  virtual bool ArrowUsesTextColor() const { return false; }
  virtual bool SupportsFading() const { return false; }
  virtual bool BarHeightIsCompact(TCustomdxBarControl*, const TRect& ARect) const { return ARect.Height() < 17; }
  // (size div 3 - 1, size mod 3).
  static TPoint SplitInThirds(int ASize) { return TPoint(ASize / 3 - 1, ASize % 3); }
  virtual int AdjustCellGap(int AGap) const { return AGap; }

  // Text colours as system colour values.
  virtual TColor ItemTextColor(TdxBarItemControl* AControl, bool ASelected, bool AFlat) const;
  virtual TColor EnabledTextColor(TdxBarItemControl* AControl, bool ASelected, bool AFlat) const {
    return ItemTextColor(AControl, ASelected, AFlat);
  }
  virtual void DisabledTextColorPair(TdxBarItemControl* AControl, bool ASelected, bool AFlat, TColor& AMain,
                                     TColor& AOffset) const;
  void GetTextColors(TdxBarItemControl* AControl, bool AEnabled, bool ASelected, bool AFlat, TColor& AOffset,
                     TColor& AMain) const;

  // Buttons.
  virtual int GetButtonBorderWidth() const { return 7; }
  virtual int GetButtonBorderHeight() const { return 6; }
  virtual int GetButtonWidth(int AIconSize, int ATextSize) const;
  virtual int GetButtonHeight(int AIconSize, int ATextSize) const;
  TSize GetButtonSize(int AIconSize, int ATextSize) const {
    return TSize(GetButtonWidth(AIconSize, ATextSize), GetButtonHeight(AIconSize, ATextSize));
  }
  virtual TSize GetDefaultArrowSignSize() const { return TSize(5, 3); }
  // Doubled while the manager's large icons are on (or ALargeIcons asks for it), and odd.
  virtual int RealButtonArrowWidth(TdxBarManager* AManager, bool ALargeIcons = false) const;
  virtual int RealLargeButtonArrowWidth(TdxBarManager* AManager) const;
  virtual int ComboBoxArrowWidth(TCustomdxBarControl*, int AUnit) const { return 2 * AUnit - 1; }
  virtual void CorrectButtonControlDefaultHeight(int&) const {}
  virtual void CorrectButtonControlDefaultWidth(int&) const {}
  virtual void AddArrowWidth(TdxBarButtonLikeControlDrawParams* AParams, int& AWidth) const;
  // The face (part 0) and, for a drop-down, the arrow part (part 1) of a button.
  virtual void CalculateButtonParts(TdxBarButtonLikeControlDrawParams* AParams, std::vector<TRect>& AParts,
                                    const TRect& ABounds) const;
  // The edit field (part 0) and the drop-down button (part 3) of a combo.
  virtual void CalculateComboParts(TdxBarItemControlDrawParams* AParams, std::vector<TRect>& AParts,
                                   const TRect& ABounds, int AArrowWidth) const;
  virtual TRect ComboControlButtonOffsets(TdxBarPaintType APaintType) const {
    return EditControlBorderOffsets(APaintType);
  }
  virtual int ComboControlArrowOffset() const { return 1; }
  virtual void DrawButtonLikeControl(TdxBarButtonLikeControlDrawParams* AParams, const TRect& ARect) const;

  // Toolbars.
  virtual int BorderSizeX() const;
  virtual int BorderSizeY() const;
  virtual int BeforeFingersSize() const { return 0; }
  virtual int EmptyFingersSize() const { return 0; }
  virtual int FingersSize(TdxBarControl*) const { return 0; }
  virtual int GripperSize() const { return 3; }
  virtual int BarBorderSize() const { return 1; }
  virtual TRect BarBorderSizes(TdxBar*, TdxBarDockingStyle) const { return TRect(2, 2, 2, 2); }
  virtual int BarBeginGroupSize() const { return 6; }
  // The background strips on both sides of a toolbar's group line.
  virtual int BarBeginGroupSideSize() const { return (BarBeginGroupSize() - 2) / 2; }
  virtual int BarCaptionSize() const;
  int BarCaptionAreaSize() const { return BarCaptionSize() + 1; }
  virtual TSize BarCloseButtonSize() const { return TSize(BarCaptionSize(), BarCaptionSize()); }
  virtual int BarHorSize() const { return 0; }
  virtual int BarTopSize() const { return 0; }
  virtual int BarBottomSize() const { return 0; }
  virtual int BarDockedGetRowIndent() const { return 0; }
  virtual bool BarAllowHotTrack() const { return true; }
  virtual bool BarAllowQuickCustomizing() const { return true; }
  virtual int MarkSizeX(TCustomdxBarControl*) const { return 11; }
  virtual int StatusBarTopBorderSize() const { return 2; }
  virtual TRect StatusBarBorderOffsets() const { return TRect(); }
  virtual TSize StatusBarGripSize(TdxBarManager*) const;
  virtual int SubMenuControlNormalItemHeight() const { return 19; }
  int BarFingersSize(TdxBarControl* ABarControl) const;
  // Offsets from the toolbar window's edges to its item area.
  virtual TRect GetToolbarContentOffsets(TdxBar* ABar, TdxBarDockingStyle AStyle, bool AHasSizeGrip) const;
  // The toolbar, hot and pressed-hot brushes of the manager's bars (a look
  // with brushes of its own reads the manager's; nil: code without a manager).
  virtual HBRUSH BarToolbarBrush(TdxBarManager* AManager = nullptr) const;
  virtual HBRUSH BarToolbarBrushEx(TCustomdxBarControl* ABarControl) const;
  virtual HBRUSH BarToolbarSelBrush(TdxBarManager* AManager = nullptr) const;
  virtual HBRUSH BarToolbarDownedSelBrush(TdxBarManager* AManager = nullptr) const;

  // Backgrounds.
  virtual void DrawBackground(TdxBarItemControl* AControl, HDC DC, const TRect& ARect, HBRUSH ABrush,
                              bool AOpaque) const;
  // The same from the item's values: the values' bar paints behind a transparent part.
  void DrawBackground(const TdxBarItemPaintValues& AValues, HDC DC, const TRect& ARect, HBRUSH ABrush,
                      bool AOpaque) const;
  // What the drawing operations of an item read of it and its bar.
  void FillItemPaintValues(TdxBarItemControl* AControl, TdxBarItemPaintValues& AValues) const;
  virtual void BarDrawBackground(TCustomdxBarControl* ABarControl, HDC DC, const TRect& ADestR,
                                 const TRect& ASourceR, HBRUSH ABrush, TColor AColor) const;
  virtual void DockControlFillBackground(TdxDockControl* ADock, HDC DC, const TRect& ADestR, const TRect& ASourceR,
                                         HBRUSH ABrush, TColor AColor) const;
  virtual void BarDrawBeginGroup(TCustomdxBarControl* ABarControl, HDC DC, const TRect& ARect, HBRUSH ABrush,
                                 bool AHorizontal) const;
  // The plain look has no border of its own around a docked toolbar: the
  // toolbar's background runs up to its edge.
  virtual void BarDrawDockedBarBorder(TdxBarControl* ABarControl, HDC DC, const TRect& ARect, HBRUSH ABrush) const;
  // Only for a look whose bars have a background of their own (HasOwnBarBackground).
  virtual void PaintOwnBarBackground(TCustomdxBarControl*, HDC, const TRect&) const {}
  // The item's bar paints its own background behind ASourceR.
  void DrawItemBackground(TdxBarItemControl* AControl, TcxCanvas* ACanvas, const TRect& ASourceR,
                          HBRUSH ABrush) const;
  // The manager's picture behind toolbars; nil when it has none.
  static TBitmap* ManagerBarBackgroundBitmap(TCustomdxBarControl* ABarControl);
  // Anything but the plain brush behind the bar's items: a colour or a picture
  // of the toolbar or of its manager, or a look's own background.
  bool BarHasCustomBackground(TCustomdxBarControl* ABarControl) const;

  // Triangular arrows. The look-and-feel painter's points of an arrow of
  // ASize in R, moved so that the filled triangle covers whole pixels: the
  // points then bound the arrow's pixels with their right and bottom edges
  // excluded.
  static void CalculateArrowPoints(const TRect& R, int ASize, TcxArrowDirection ADirection,
                                   TcxArrowPoints& APoints);
  static TRect GetArrowRectByPoints(const TcxArrowPoints& APoints, TcxArrowDirection ADirection);
  // Combines the arrow's pixels into the canvas clip region (ACombine: RGN_AND, RGN_DIFF, ...).
  static void SetArrowRegion(TcxCanvas* ACanvas, TcxArrowDirection ADirection, const TcxArrowPoints& APoints,
                             int ACombine);
  virtual void FillWithColor(HDC DC, const TRect& R, TColor AColor) const;
  // A drop-down arrow sized from R (half of its extent less 8, at least 3),
  // and one of an explicit size, both centred; adDown or adRight.
  void RenderDropArrow(HDC DC, const TRect& R, TcxArrowDirection ADirection, TColor AColor, bool AFlat,
                       bool ASelected, bool AEnabled) const;
  void RenderLargeDropArrow(HDC DC, const TRect& R, TcxArrowDirection ADirection, int ASize, TColor AColor,
                            bool AFlat, bool ASelected, bool AEnabled) const;

  // Quick customization: the check square at the left of an item of the
  // popup that lists a toolbar's links.
  virtual void DrawQuickCustItemFrame(TdxBarItemControl* AControl, HDC DC, TRect& R, TRect& ACheckRect,
                                      bool ASelected) const;
  virtual void DrawQuickCustItemFrameSelected(TdxBarItemControl*, HDC, const TRect&, const TRect&, bool) const {}
  // The list box of a combo's drop-down.
  virtual int DropDownListBoxBorderSize() const { return 2; }
  virtual void DropDownListBoxDrawBorder(HDC DC, TColor AColor, const TRect& R) const;

  // ---- Glyphs, item text and button-like controls (dxBarPainterGlyphs.cpp)
  // The parent's brushes an item is drawn with (the bar's own background,
  // its hot, pressed and pressed-hot tints).
  HBRUSH ItemBackgroundBrush(TdxBarItemControl* AControl) const;
  HBRUSH ParentSelectedBrush(TdxBarItemControl* AControl) const;
  HBRUSH ParentDownedBrush(TdxBarItemControl* AControl) const;
  HBRUSH ParentDownedSelectedBrush(TdxBarItemControl* AControl) const;
  // A link of a menu's rarely used group.
  static bool IsNonRecent(TdxBarItemControl* AControl);
  // The manager whose brushes draw what is drawn; nil for what has none.
  static TdxBarManager* BarManagerOf(TCustomdxBarControl* ABarControl);
  static TdxBarManager* BarManagerOf(TdxBarItemControl* AControl);
  virtual HBRUSH BarToolbarDownedBrush(TdxBarManager* AManager = nullptr) const;
  // The manager's flat toolbar brush, whatever the look.
  virtual HBRUSH BarControlOwnerBrush(TdxBarManager* AManager = nullptr) const;
  virtual bool IsNativeBackground() const { return false; }
  virtual bool IsGlyphImageHasShadow() const { return false; }
  // The manager's MakeDisabledImagesFaded.
  virtual bool FadesDisabledImages(TCustomdxBarControl* ABarControl) const;
  virtual int GlyphDrawDownedShift(TdxBarItemControl*) const { return 0; }
  // The frame of a hot element; the plain look has none (the looks frame it their way).
  virtual void OutlineSelection(HDC, const TRect&) const {}
  // The one-pixel ring of R: with ABrush when opaque, else the bar's own background.
  void DrawBackgroundFrameRect(TdxBarItemControl* AControl, HDC DC, const TRect& R, HBRUSH ABrush,
                               bool AOpaque) const;
  void DrawBackgroundFrameRect(const TdxBarItemPaintValues& AValues, HDC DC, const TRect& R, HBRUSH ABrush,
                               bool AOpaque) const;
  virtual HBRUSH GlyphBkgndBrush(TdxBarItemControl* AControl, TdxBarPaintType APaintType, bool AGlyphEmpty,
                                 bool ASelected, bool ADowned, bool ADrawDowned, bool ADroppedDown,
                                 bool AForceUseBkBrush, bool AGrayScale) const;
  virtual bool IsGlyphImageTransparent(TdxBarItemControl* AControl) const;
  virtual bool IsGlyphImageBackgroundOpaque(TdxBarItemControl* AControl, bool ADown, bool ADrawDowned,
                                            bool ASelected, bool AGlyphEmpty) const;
  virtual void FrameGlyphArea(TdxBarItemControl* AControl, HDC DC, HBRUSH ABrush, bool ARoom, const TRect& R,
                              TdxBarPaintType APaintType, bool AGlyphEmpty, bool ASelected, bool ADowned,
                              bool ADrawDowned, bool ADroppedDown, bool AIsSplit) const;
  virtual void DrawCheckMarkOverGlyph(TdxBarItemControl* AControl, HDC DC, const TRect& R,
                                      TdxBarPaintType APaintType, bool ADown) const;
  // The check mark of a checked menu item without image, at (X, Y) in
  // AScale; each look draws its own.
  virtual void PaintCheckGlyph(TdxBarItemControl*, HDC, int, int, int) const {}
  // Where a glyph of AImageSize goes in ARect.
  // What decides the drawn size of a small glyph.
  struct TGlyphSizing {
    bool InMenu = false;
    bool StretchGlyphs = false;  // the manager's: menus stretch by the bar's scale
    double Ratio = 1;            // the bar's scale factor
    bool LargeIcons = false;     // large icons on and allowed by the look
    TSize LargeImageSize;        // the large images' size when the manager draws them now, else empty
    bool HasLargeGlyph = false;  // the item brings a large glyph of its own
  };
  // The drawn size of an image of AImageSize in AArea.
  static TSize ScaledGlyphSize(const TGlyphSizing& ASizing, const TSize& AImageSize, const TRect& AArea);
  TGlyphSizing GlyphSizingOf(TdxBarItemControl* AControl, TdxBarPaintType APaintType) const;
  TRect GetSmallImageBounds(TdxBarItemControl* AControl, const TRect& ARect, TdxBarPaintType APaintType,
                            const TSize& AImageSize, bool ACentered, bool ADown, bool ADrawDowned) const;
  TRect GetLargeImageBounds(TdxBarItemControl* AControl, const TRect& ARect, TdxBarPaintType APaintType,
                            TdxBarItemControlViewStructure AStructure, const TSize& AImageSize) const;
  struct TGlyphArgs {
    TRect Rect, FullBounds;
    TdxBarPaintType PaintType = ptHorz;
    TdxBarItemControlViewStructure Structure;
    TdxBarItemControlViewSize Size = cvsSmall;
    bool GlyphEmpty = false, Selected = false, Down = false, DrawDowned = false, DroppedDown = false;
    bool Centered = false, ForceUseBkBrush = false, GrayScale = false, Split = false;
    bool Enabled = true;  // a disabled glyph is drawn disabled or faded
  };
  // Places the glyph (the bounds go to the control's view info) and draws it
  // with its background and frame; answers the image bounds.
  virtual TRect DrawGlyph(TdxBarItemControl* AControl, HDC DC, const TGlyphArgs& AArgs) const;
  // The same in the control's own view size and view structure, with empty full bounds.
  TRect DrawGlyph(TdxBarItemControl* AControl, HDC DC, const TRect& ARect, TdxBarPaintType APaintType,
                  bool AGlyphEmpty, bool ASelected, bool ADown) const;
  // The control's image for the view size (its bitmap, or list and index;
  // AGlyphEmpty turns true when it has none) and where it goes in ARect.
  void GetImageParams(TdxBarItemControl* AControl, const TRect& ARect, TdxBarPaintType APaintType,
                      TdxBarItemControlViewStructure AStructure, TdxBarItemControlViewSize ASize, bool ACentered,
                      bool ASelected, bool ADown, bool ADrawDowned, bool& AGlyphEmpty, TBitmap*& AGlyph,
                      TCustomImageList*& AImages, int& AImageIndex, TRect& AImageBounds) const;
  void DrawGlyphAndBkgnd(TdxBarItemControl* AControl, HDC DC, const TGlyphArgs& AArgs, const TRect& AGlyphRect,
                         TBitmap* AGlyph, TCustomImageList* AImages, int AImageIndex) const;
  void DrawItemText(TdxBarItemControl* AControl, HDC DC, const String& AText, const TRect& ARect, UINT AAlignment,
                    bool AEnabled, bool ASelected, bool ARotated, bool AClipped, bool AFlat, UINT AFormat) const;
  // The caption's rectangle after the glyph and its alignment (DT_...).
  UINT LayoutGlyphAndCaption(TdxBarButtonLikeControlDrawParams* AParams, const TRect& AImageBounds,
                             TRect& ACaptionRect) const;
  virtual void OffsetCaptionBounds(bool ADown, bool ADrawDowned, TRect& R) const;
  virtual void DrawLowered(HDC DC, TRect& R) const;
  virtual HBRUSH ButtonControlArrowBrush(TdxBarButtonLikeControlDrawParams* AParams) const;
  virtual bool IsButtonControlArrowDrawSelected(TdxBarButtonLikeControlDrawParams* AParams) const;
  virtual bool IsButtonControlArrowBackgroundOpaque(TdxBarButtonLikeControlDrawParams* AParams) const;
  virtual void DrawButtonControlArrowBackground(TdxBarButtonLikeControlDrawParams* AParams, TRect& R,
                                                HBRUSH ABrush) const;
  void DrawSplitControlArrow(TdxBarButtonLikeControlDrawParams* AParams, const TRect& R) const;
  void DrawButtonControlArrow(TdxBarButtonLikeControlDrawParams* AParams, TRect R) const;
  void DrawAssociateControlArrow(TdxBarButtonLikeControlDrawParams* AParams, TRect R) const;
  virtual TColor ArrowColorFor(TdxBarButtonLikeControlDrawParams* AParams) const;
  // A look that keeps the caption of a pressed item in place.
  virtual bool KeepsCaptionUnshifted(TdxBarItemControl*) const { return false; }
  void PaintButtonCaptionText(TdxBarButtonLikeControlDrawParams* AParams, const TRect& ARect, UINT AFormat,
                              UINT AAlignment) const;
  void DrawButtonLikeControlCaption(TdxBarButtonLikeControlDrawParams* AParams, const TRect& ARect,
                                    const TRect& AImageBounds) const;
  // The single-line rectangle of the caption on the control's canvas.
  TRect MeasureCaptionRect(TdxBarItemControlDrawParams* AParams) const;
  // Word-wrapped into at most AMaxLines lines; the last takes the rest of the
  // text, cut with an ellipsis.
  void DrawItemMultilineText(TdxBarItemControlDrawParams* AParams, const String& AText, const TRect& ARect,
                             UINT AAlignment, int AMaxLines) const;

  // Items in menus: the icon column, the caption with its description and short cut.
  virtual void DrawItemBackgroundInSubMenu(TdxBarItemControlDrawParams*, const TRect&) const {}
  void DrawGlyphAndTextInSubMenu(TdxBarButtonLikeControlDrawParams* AParams, const TRect& ARect) const;
  void DrawItemTextInSubMenu(TdxBarItemControlDrawParams* AParams, const TRect& ARect) const;

  // ---- Edits, combos, spin edits, progress bars and static controls (dxBarPainterEdits.cpp)
  // Edit fields: metrics. Area 0 is the icon area, area 1 the caption area.
  virtual TRect EditControlBorderOffsets(TdxBarPaintType) const { return TRect(2, 2, 2, 2); }
  virtual int EditControlCaptionRelativeLeftIndent(TdxBarEditLikeControlDrawParams*) const { return 2; }
  virtual int EditControlCaptionAbsoluteLeftIndent() const { return 2; }
  virtual int EditControlCaptionRightIndent() const { return 4; }
  virtual TRect EditControlSubMenuGlyphIndents() const { return TRect(4, 0, 0, 0); }
  virtual bool EditControlShowIconDefault() const { return false; }
  virtual bool EditControlGlyphIsDrawSelected(TdxBarEditLikeControlDrawParams*) const { return false; }
  virtual bool HasEditControlExternalFrame(TdxBarPaintType, bool) const { return false; }
  virtual bool EditControlCaptionBackgroundIsOpaque(TdxBarEditLikeControlDrawParams* AParams) const;
  virtual bool EditControlCaptionRightIndentIsOpaque(TdxBarEditLikeControlDrawParams* AParams) const;
  virtual HBRUSH EditControlGetRightCaptionIndentBrush(TdxBarEditLikeControlDrawParams* AParams) const;
  int EditControlCaptionLeftIndent(TdxBarEditLikeControlDrawParams* AParams) const;
  TRect EditControlIndents(TdxBarEditLikeControlDrawParams* AParams, int AArea) const;
  virtual TRect GetEditTextVerticalOffsets() const { return TRect(0, 2, 0, 2); }
  // The text margins inside the field and the difference of their height
  // to the item captions' margins.
  void GetEditTextParams(TRect& AOffsets, int& AHeightCorrection) const;
  void ApplyEditTextMargins(TRect& R) const;
  // The height of an edit item of the bar for a text height.
  int EditTextSize(TCustomdxBarControl* ABarControl, int ATextHeight) const;
  TRect EditControlGetContentRect(TdxBarPaintType APaintType, const TRect& AFieldRect) const;
  // Part 0 the field, part 1 the icon, part 2 the caption.
  virtual void CalculateEditParts(TdxBarEditLikeControlDrawParams* AParams, std::vector<TRect>& AParts,
                                  const TRect& ABounds, const TRect& AFieldRect, int AIconAreaWidth,
                                  int ACaptionAreaWidth) const;
  // Edit fields: colours.
  virtual TColor EditGetEnabledBkColor() const { return clWindow; }
  virtual TColor EditGetDisabledBkColor(const TdxBarItemPaintValues& AValues) const;
  TColor EditGetDisabledBkColor(TdxBarItemControl* AControl) const;
  virtual TColor EditGetEnabledTextColor() const { return clWindowText; }
  virtual TColor EditGetDisabledTextColor() const { return clGrayText; }
  TColor EditGetBkColor(TdxBarEditLikeControlDrawParams* AParams) const;
  TColor EditGetTextColor(TdxBarEditLikeControlDrawParams* AParams) const;
  void EditGetColors(TdxBarEditLikeControlDrawParams* AParams, TColor& ATextColor, TColor& ABkColor) const;
  virtual bool EditButtonAllowOffsetContent() const { return true; }
  virtual bool EditButtonAllowCompositeFrame() const { return false; }
  virtual bool EditButtonIsCustomBorder() const { return false; }
  virtual bool EditButtonIsCustomBackground() const { return false; }
  virtual bool EditButtonAllowHotTrack(TdxBarItemControlDrawParams* AParams) const { return AParams->DrawSelected; }
  // The buttons of an editor hosted in a bar keep the editor's own look here.
  virtual void EditButtonCorrectDefaultWidth(int&) const {}
  virtual void EditButtonDrawBackground(TcxCanvas*, const TRect&, int) const {}
  virtual void EditButtonDrawBorder(TcxCanvas*, TRect&, int) const {}
  // The look-and-feel an editor hosted in a bar draws with: the manager's style applied to it.
  void EditGetRealLookAndFeel(TdxBarManager* AManager, TcxLookAndFeel* ALookAndFeel) const;
  // Edit fields: drawing. The parts are the control's.
  virtual void DrawEditLikeControl(TdxBarEditLikeControlDrawParams* AParams, const TRect& ARect) const;
  virtual void EditControlDrawBackground(TdxBarEditLikeControlDrawParams* AParams) const;
  virtual void EditControlDrawSelectionFrame(TdxBarEditLikeControlDrawParams* AParams, const TRect& ARect) const;
  // Draws the border and leaves ARect inside it.
  virtual void EditControlDrawBorder(TdxBarEditLikeControlDrawParams* AParams, TRect& ARect) const;
  virtual void EditControlDrawGlyph(TdxBarEditLikeControlDrawParams* AParams, const TRect& ARect) const;
  virtual void EditControlDrawCaption(TdxBarEditLikeControlDrawParams* AParams, const TRect& ARect) const;
  // The field while no edit window covers it: the item's text (the text
  // being edited while its link holds the focus).
  virtual void EditControlDrawTextField(TdxBarEditLikeControlDrawParams* AParams, TcxCanvas* ACanvas,
                                        const TRect& ARect, const String& AText) const;
  virtual void EditDrawInterior(TcxCanvas* ACanvas, const TRect& ARect, const String& AText) const;
  // Tells the edit window's owner about a changed text and selects all of it.
  void EditControlUpdateWndText(HWND AWindow, bool ATextDiffers) const;
  // One line of a combo's list; AIndex -1 is the combo's own text.
  virtual void CustomComboDrawItem(TcxCanvas* ACanvas, const String& AText, TStrings* AItems, int AIndex,
                                   const TRect& ARect, bool AInteriorIsDrawing) const;
  // The line's background and its text from (2, ATextTop) in the rectangle.
  static void PaintComboItem(TcxCanvas* ACanvas, const String& AText, TStrings* AItems, int AIndex,
                             const TRect& ARect, int ATextTop);

  // Combo buttons.
  virtual TColor ComboControlArrowColor(TdxBarEditLikeControlDrawParams*) const { return clBtnText; }
  virtual HBRUSH ComboControlButtonBrush(TdxBarEditLikeControlDrawParams* AParams) const;
  virtual void ComboControlDrawArrowButton(TdxBarEditLikeControlDrawParams* AParams, const TRect& ARect,
                                           bool AInClientArea) const;
  virtual void ComboControlDrawSimpleButton(TdxBarEditLikeControlDrawParams*, TRect&, HBRUSH) const {}
  void PaintComboArrow(TdxBarEditLikeControlDrawParams* AParams, const TRect& ARect, TColor AColor,
                       int ASize) const;

  // Colour combos: part 4 is the custom-colour button.
  virtual bool ColorComboHasCompleteFrame() const { return false; }
  virtual TRect GetCustomColorButtonIndents() const { return TRect(1, 2, 1, 2); }
  int GetCustomColorButtonWidth(TdxBarPaintType APaintType, const TRect& ARect) const;
  void SplitColorComboParts(TdxBarColorComboControlDrawParams* AParams, const TRect& AFieldRect,
                            TRect& AButtonRect) const;
  virtual void CalculateColorComboParts(TdxBarColorComboControlDrawParams* AParams, std::vector<TRect>& AParts,
                                        const TRect& AFieldRect, int AArrowWidth) const;
  bool IsCustomColorButtonVisible(TdxBarItemControlDrawParams* AParams) const;
  void ColorComboCorrectFrameRect(TdxBarColorComboControlDrawParams* AParams, TRect& ARect) const;
  virtual void ColorComboDrawCustomButton(TdxBarColorComboControlDrawParams* AParams, const TRect& ARect) const;
  virtual void ColorComboDrawCustomButtonAdjacentZone(TdxBarColorComboControlDrawParams* AParams,
                                                      const TRect& ARect) const;
  void PaintCustomColorDots(TdxBarColorComboControlDrawParams* AParams, const TRect& ARect) const;
  virtual void FillColorCell(TdxBarItemControlDrawParams* AParams, const TRect& ARect) const;
  virtual void OffsetEllipsisBounds(bool ADown, TRect& R) const { OffsetCaptionBounds(ADown, false, R); }
  virtual void DrawDisabledShadowRect(const TdxBarItemPaintValues& AValues, HDC DC, const TRect& ARect) const;
  void DrawDisabledShadowRect(TdxBarItemControl* AControl, HDC DC, const TRect& ARect) const;
  // A button face framed and filled by state; ARect ends up inside the frame.
  virtual void FrameAndFillRect(const TdxBarItemPaintValues&, HDC, TRect&, bool, bool, bool) const {}
  void FrameAndFillRect(TdxBarItemControl* AControl, HDC DC, TRect& R, bool AEnabled, bool ASelected,
                        bool APressed) const;

  // Spin edits: part 3 the upper, part 4 the lower button.
  static TSize GetSpinEditArrowSize(int AHeight);
  virtual TRect GetSpinEditButtonIndents() const { return TRect(1, 0, 1, 0); }
  int GetSpinEditButtonWidth(TdxBarPaintType APaintType, const TRect& ARect) const;
  // Button 1 (up) or 2 (down) at the right of the field; none when the
  // buttons would take half of the field or more.
  TRect GetSpinEditButtonBounds(TdxBarItemControlDrawParams* AParams, const TRect& AFieldRect, int AButton) const;
  virtual void CalculateSpinEditParts(TdxBarSpinEditDrawParams* AParams, std::vector<TRect>& AParts,
                                      const TRect& AFieldRect) const;
  void SpinEditCorrectFrameRect(TdxBarSpinEditDrawParams* AParams, TRect& ARect) const;
  // 4 disabled, 3 pressed, 2 hot, 1 normal.
  int GetSpinEditButtonState(TdxBarSpinEditDrawParams* AParams, int AButtonIndex) const;
  TPoint GetSpinEditArrowPos(TdxBarSpinEditDrawParams* AParams, const TRect& ARect, int AButtonIndex) const;
  virtual void SpinEditControlDrawButton(TdxBarSpinEditDrawParams* AParams, const TRect& ARect,
                                         int AButtonIndex) const;
  virtual void PaintSpinArrow(TdxBarSpinEditDrawParams* AParams, TPoint APos, int AButtonIndex) const;
  // A filled triangle AWidth wide with its base at APos, pointing up or down.
  static void FillSpinArrow(HDC DC, TPoint APos, int AWidth, bool AUp, TColor AColor);
  virtual void SpinEditControlDrawButtonsAdjacentZone(TdxBarSpinEditDrawParams* AParams, const TRect& ARect) const;

  // Progress bars.
  virtual TColor ProgressControlBarBrushColor() const { return clHighlight; }
  virtual bool CanUpdateBarPartly() const { return false; }
  virtual int ProgressControlBarHeight() const { return 12; }
  virtual int ProgressControlIndent() const { return 0; }
  virtual void ProgressControlDrawBar(TdxBarProgressControlDrawParams* AParams, const TRect& ABarRect,
                                      TColor AColor) const;
  virtual void ProgressControlDrawBackground(TdxBarProgressControlDrawParams* AParams, const TRect& ABarRect) const;
  virtual void ProgressControlDrawChunks(TdxBarProgressControlDrawParams* AParams, const TRect& ABand,
                                         HBRUSH ABrush) const;
  virtual void ProgressControlFillContent(TdxBarProgressControlDrawParams* AParams, const TRect& R,
                                          HBRUSH ABrush) const;
  virtual void ProgressControlFillDiscreteContent(TdxBarProgressControlDrawParams* AParams, const TRect& R,
                                                  HBRUSH ABrush) const;

  // Static controls.
  static int StaticControlGetBorderOffsets(TdxBarStaticBorderStyle AStyle);
  virtual bool StaticBackgroundIsOpaque(TdxBarStaticLikeControlDrawParams* AParams) const;
  virtual TRect SeparatorControlGetIndents(TdxBarItemControlDrawParams*, int) const { return TRect(6, 0, 0, 0); }
  // The indent strips, the border; ARect ends up as the content rectangle.
  virtual void DrawStaticLikeControl(TdxBarStaticLikeControlDrawParams* AParams, TRect& ARect,
                                     const TRect& AIndents) const;
  virtual void DrawStaticBorder(TdxBarStaticLikeControlDrawParams* AParams, TRect& ARect) const;
  virtual void DrawStaticBackground(TdxBarStaticLikeControlDrawParams* AParams, const TRect& ARect) const;
  virtual void DrawStaticGlyphAndCaption(TdxBarStaticLikeControlDrawParams* AParams, const TRect& ARect) const;
  virtual void DrawSeparatorControl(TdxBarSeparatorControlDrawParams* AParams, const TRect& ARect) const;
  virtual void DrawSeparatorGlyphAndCaption(TdxBarSeparatorControlDrawParams* AParams, const TRect& ARect) const {
    DrawStaticGlyphAndCaption(AParams, ARect);
  }

  // In-place sub-items: a sub item's links shown inside its menu under a header.
  virtual HBRUSH InPlaceSubItemControlBrush() const { return dxBarSysBrush(COLOR_BTNSHADOW); }
  int InPlaceSubItemGetArrowWidth(TdxBarItemControlDrawParams* AParams) const;
  virtual int InPlaceSubItemGetTextIndent() const { return 5; }
  virtual bool InPlaceSubItemControlIsFlatItemText(TdxBarInPlaceSubItemControlDrawParams* AParams) const {
    return AParams->DrawSelected;
  }
  virtual bool InPlaceSubItemControlIsArrowSelected(TdxBarInPlaceSubItemControlDrawParams*) const { return true; }
  virtual void InPlaceSubItemControlDrawInMenu(TdxBarInPlaceSubItemControlDrawParams* AParams,
                                               const TRect& ARect) const;
  virtual void InPlaceSubItemControlDrawBackground(TdxBarInPlaceSubItemControlDrawParams* AParams,
                                                   const TRect& ARect) const;
  virtual void InPlaceSubItemControlDrawArrow(TdxBarInPlaceSubItemControlDrawParams* AParams, bool AExpanded,
                                              const TRect& ARect) const;

  // Containers in menus and the application menu's frame (screen tips: dxBarHintWindow.cpp).
  virtual int ContainerControlSubMenuOffset() const { return 0; }
  virtual TRect ApplicationMenuGetFrameSizes() const { return TRect(); }
  virtual void ApplicationMenuDrawBorder(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R) const {
    SubMenuControlDrawBorder(AMenu, DC, R);
  }
  virtual void ApplicationMenuDrawButton(TdxBarItemControlDrawParams*, const TRect&) const {}
  // The content rectangle outside the items area, in the menu's pressed brush.
  virtual void ApplicationMenuDrawContentArea(const TdxBarSubMenuFrame& AMenu, TcxCanvas* ACanvas,
                                              const TRect& AContentRect, const TRect& AItemsArea) const;
  // The extra pane of an application menu: its picture, else the colour or brush.
  virtual void ExtraMenuControlDrawBackground(TCustomdxBarControl* AControl, TcxCanvas* ACanvas, const TRect& R,
                                              HBRUSH ABrush, TColor AColor) const;
  virtual void ExtraMenuControlDrawBeginGroup(TCustomdxBarControl* AControl, TcxCanvas* ACanvas, const TRect& R,
                                              HBRUSH ABrush, bool AHorizontal) const;

  // Date navigator buttons.
  virtual bool IsDateNavigatorFlat() const { return false; }
  virtual TColor DateNavigatorHeaderColor() const { return clBtnFace; }
  virtual void DateNavigatorDrawButton(HDC DC, const TRect& ARect, const String& ACaption, bool APressed) const;
  // Button text on the button face, centred, shifted by AOffset.
  static void PaintButtonFaceText(HDC DC, const TRect& ARect, bool AOpaque, const String& AText, int AOffset);

  // The system panel of drop-down windows that bar items open.
  virtual int SysPanelSize() const;
  // AClient (window coordinates) shrinks by the frame and, for a sizable
  // window, by the panel on the side of the grip; the grip goes to the corner
  // away from the control of the item's current link.
  void SysPanelCalcSize(HWND AWindow, TRect& AClient, TdxCorner& AGripCorner, TdxBarItem* AItem,
                        bool ASizable) const;
  virtual void SysPanelDraw(HWND AWindow, bool ASizable, bool ACloseButtonHot, bool ACloseButtonPressed,
                            TRect& ACloseButtonRect, TRect& AGripRect, TdxCorner AGripCorner) const;
  // The brush the parent bar paints its own background with.
  HBRUSH ParentBkBrush(TdxBarItemControl* AControl) const;
  // ---- Toolbar and sub-menu frames (dxBarPainterFrames.cpp)
  virtual TRect BarBorderPaintSizes(TdxBarControl*, const TRect&) const;
  virtual bool BarCaptionTransparent() const { return false; }
  virtual bool BarUseSystemClose() const { return false; }
  virtual bool BarUseSystemNCBorder() const { return false; }
  virtual bool BarChildrenHaveShadows() const { return false; }
  virtual bool IsQuickControlPopupOnRight() const { return false; }
  virtual bool NonRecentItemsPlain() const { return false; }
  virtual HBRUSH BarToolbarBrushEx2(TCustomdxBarControl* ABarControl) const {
    return BarToolbarBrush(BarManagerOf(ABarControl));
  }
  virtual TColor FloatingCaptionBackColor(TdxBarControl* ABarControl) const;
  virtual TColor FloatingCaptionTextColor(TdxBarControl*) const { return clCaptionText; }
  virtual TColor MarkGlyphColor(TCustomdxBarControl*, TdxBarMarkState) const { return clCaptionText; }
  // A system colour index.
  virtual int MarkElementSysColor(TCustomdxBarControl*) const { return COLOR_BTNTEXT; }
  virtual bool BarHasShadow(TCustomdxBarControl* ABarControl) const;
  bool BarLinkedOwnerHasShadow(TCustomdxBarControl* ABarControl) const;

  // Floating frame and caption; rectangles in window coordinates.
  TRect CalcFloatingCaptionRect(const TRect& AWindowRect) const;
  // Draws the border inside AR and shrinks AR to what it leaves inside.
  virtual void BarDrawFloatingBarBorder(TdxBarControl*, HDC, TRect&, const TRect&, HBRUSH) const {}
  virtual void BarDrawFloatingBarCaption(TdxBarControl* ABarControl, HDC DC, const TRect& ACaptionRect,
                                         const TRect& AClientRect, HBRUSH ABrush) const;
  virtual void BarCaptionFillBackground(TdxBarControl* ABarControl, HDC DC, const TRect& R, HBRUSH ABrush) const;
  // Where the caption text starts and where the caption ends when the bar has a mark.
  virtual void ShiftFloatingCaption(TdxBarControl* ABarControl, TRect& ACaption, int& ATextLeft) const;
  // AState: 0 normal, 1 hot, 2 pressed.
  virtual void BarDrawCaptionElement(TdxBarControl* ABarControl, HDC DC, const TRect& R, int AState) const;
  virtual void BarDrawCloseButton(TdxBarControl*, HDC, const TRect&) const {}
  // AState: 0 normal, 1 disabled, 2 hot, 3 held with the cursor away, 4 held.
  virtual void BarDrawMDIButton(TdxBarControl*, TdxBarMDIButton, int, HDC, const TRect&) const {}

  // The mark: the customize button at the toolbar's end, with chevrons for hidden items.
  // In client coordinates; a floating bar's lies in its caption.
  virtual TRect BarMarkItemRect(TdxBarControl* ABarControl) const;
  TRect BarMarkRect(TdxBarControl* ABarControl) const { return BarMarkItemRect(ABarControl); }
  virtual void BarMarkRectInvalidate(TdxBarControl* ABarControl) const;
  virtual void BarDrawMark(TdxBarControl* ABarControl, HDC DC, const TRect& R) const;
  void PaintMarkArrow(TdxBarControl* ABarControl, HDC DC, const TRect& R) const;
  virtual void BarDrawMarks(TdxBarControl* ABarControl, TcxCanvas* ACanvas, const TRect& R, HBRUSH ABrush) const;
  virtual void BarDrawMarkElements(TdxBarControl* ABarControl, HDC DC, const TRect& R) const;
  virtual void PaintChevron(TdxBarControl* ABarControl, HDC DC, const TPoint& APos) const;
  virtual void PaintBarWindowFrame(TdxBarControl*, HDC, const TRect&, HBRUSH) const {}

  // Status bars and backgrounds.
  virtual void BarDrawStatusBarBorder(TdxBarControl* ABarControl, HDC DC, const TRect& R, HBRUSH ABrush) const;
  virtual void BarDrawStatusBarGrip(TdxBarControl* ABarControl, HDC DC, const TRect& R, HBRUSH ABrush) const;
  virtual void PaintSizeGrip(TdxBarControl* ABarControl, HDC DC, const TRect& R) const;
  virtual void StatusBarFillBackground(TdxBarControl* ABarControl, HDC DC, const TRect& ADestR,
                                       const TRect& ASourceR, HBRUSH ABrush, TColor AColor) const;
  void BarFillParentBackground(TCustomdxBarControl* ABarControl, HDC DC, const TRect& ADestR, const TRect& ASourceR,
                               HBRUSH ABrush, TColor AColor) const;
  virtual void BarDrawDockedBackground(TCustomdxBarControl* ABarControl, HDC DC, const TRect& ADestR,
                                       const TRect& ASourceR, HBRUSH ABrush, TColor AColor) const;
  virtual void BarDrawFloatingBackground(TCustomdxBarControl* ABarControl, HDC DC, const TRect& ADestR,
                                         const TRect& ASourceR, HBRUSH ABrush, TColor AColor) const;
  virtual void BarDrawOwnerLink(TCustomdxBarControl* ABarControl, HDC DC, const TRect& ALinkR) const;

  // Sub-menus.
  virtual int SubMenuBeginGroupIndent() const { return 0; }
  virtual bool SubMenuControlHasBand() const { return false; }
  virtual bool SubMenuControlIsOffsetRecentGroupNeeded() const { return false; }
  virtual int SubMenuControlArrowsOffset() const { return 2; }
  virtual int SubMenuControlArrowWidth(int ATextSize) const { return ATextSize / 4 * 3 + 1; }
  virtual int SubMenuControlBeginGroupSize() const { return 10; }
  virtual int SubMenuControlNCBorderSize() const { return 1; }
  virtual int SubMenuControlClientBorderSize() const { return 1; }
  int SubMenuControlBorderSize() const { return SubMenuControlNCBorderSize() + SubMenuControlClientBorderSize(); }
  virtual int SubMenuControlInternalBorderSize() const { return 0; }
  virtual int SubMenuControlInternalBorderOffset() const { return 0; }
  virtual int SubMenuExtraOffset() const { return 0; }
  virtual TRect SubMenuControlContentRectOffset(const TdxBarSubMenuFrame& AMenu) const;
  virtual int SubMenuControlDetachCaptionAreaSize(const TdxBarSubMenuFrame& AMenu) const {
    return AMenu.DetachCaptionHeight + 3;
  }
  virtual TRect SubMenuControlOffsetDetachCaptionRect(const TRect& R) const;
  virtual int SubMenuControlMarkArrowSize(int AMarkSize) const { return (AMarkSize - 6) / 2; }
  virtual int SubMenuControlGetBandSize(const TdxBarSubMenuFrame& AMenu) const { return AMenu.IconAreaSize; }
  virtual int SubMenuControlGetControlContentIndent(const TdxBarSubMenuFrame& AMenu) const;
  virtual int SubMenuControlTextSize(TcxCanvas* ACanvas) const { return GetDefaultTextSize(ACanvas); }
  virtual HBRUSH SubMenuControlToolbarItemsBrush() const;
  virtual int SubMenuGetSeparatorSize() const { return 2; }
  int ScrollButtonHeight(const TdxBarSubMenuFrame& AMenu) const { return AMenu.ScrollButtonHeight; }
  // The arrow width and the mark size of a menu from its text size and its font.
  virtual void SubMenuControlCalcDrawingConsts(TcxCanvas* ACanvas, int ATextSize, int& AArrowWidth,
                                               int& AMarkSize) const;
  virtual TRect SubMenuControlBeginGroupRect(const TdxBarSubMenuFrame& AMenu, const TdxBarSubMenuItemFrame& AItem,
                                             const TRect& AItemRect) const;
  virtual void SubMenuControlDrawBorder(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R) const;
  virtual void SubMenuControlDrawClientBorder(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R,
                                              HBRUSH ABrush) const;
  virtual void SubMenuControlDrawDetachCaption(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R) const;
  virtual void SubMenuControlDrawBackground(const TdxBarSubMenuFrame& AMenu, TcxCanvas* ACanvas, const TRect& R,
                                            HBRUSH ABrush, TColor AColor) const;
  virtual void SubMenuControlPrepareBkBrush(const TdxBarSubMenuFrame& AMenu, HBRUSH& ABrush) const;
  virtual void SubMenuControlDrawBeginGroup(const TdxBarSubMenuFrame& AMenu, const TdxBarSubMenuItemFrame& AItem,
                                            TcxCanvas* ACanvas, const TRect& R) const;
  virtual void SubMenuControlDrawSeparator(TcxCanvas* ACanvas, const TRect& R) const;
  virtual void SubMenuControlDrawItemFrame(const TdxBarSubMenuFrame&, const TdxBarSubMenuItemFrame&, HDC,
                                           const TRect&) const {}
  virtual void SubMenuControlDrawScrollButton(const TdxBarSubMenuFrame&, HDC, const TRect&) const {}
  virtual TRect SubMenuControlGetItemIconRect(const TRect& AItemRect, int AIconAreaSize) const;
  virtual int SubMenuControlGetItemTextIndent(const TdxBarSubMenuFrame& AMenu) const {
    return SubMenuControlGetBandSize(AMenu) + 3;
  }
  virtual TRect SubMenuControlGetItemTextRect(TdxBarItemControlDrawParams* AParams, const TRect& AItemRect) const;
  // The menu an item control sits in, as the frame operations see it.
  TdxBarSubMenuFrame SubMenuFrameOf(TdxBarItemControl* AControl) const;
  TdxBarSubMenuFrame SubMenuFrameOf(const TdxBarItemPaintValues& AValues) const;
  TRect SubMenuItemIconRect(TdxBarItemControl* AControl, const TRect& AItemRect) const;
  // The menu's own background behind R (continuing its bitmap), or ABrush when opaque.
  static void SubMenuFillBackground(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R, HBRUSH ABrush,
                                    bool AOpaque);
  TRect ScrollButtonRect(const TdxBarSubMenuFrame& AMenu, bool AAtBottom) const;
  // AItem is the first visible item (upper button) or the last one (lower button).
  void PaintSubMenuScroller(const TdxBarSubMenuFrame& AMenu, TcxCanvas* ACanvas, bool AAtBottom,
                            const TdxBarSubMenuItemFrame& AItem) const;
  void PaintScrollArrow(const TdxBarSubMenuFrame& AMenu, TcxCanvas* ACanvas, const TRect& R,
                        TcxArrowDirection ADirection, TColor AColor) const;
  virtual void PaintRecentGroupEdge(const TdxBarSubMenuFrame& AMenu, TcxCanvas* ACanvas, bool AAtTop,
                                    const TdxBarSubMenuItemFrame& AItem) const;
  void PaintItemNearScroller(const TdxBarSubMenuFrame& AMenu, TcxCanvas* ACanvas,
                             const TdxBarSubMenuItemFrame& AItem) const;
  virtual void PaintSunkenItemFrame(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R) const;
  // The expand mark of a menu that hides its rarely used items.
  virtual void SubMenuControlDrawMarkContent(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R,
                                             bool ASelected) const;
  void PaintSubMenuToBitmap(const TdxBarSubMenuFrame& AMenu, TcxCanvas* ACanvas, const TRect& R,
                            bool ASelected) const;
  // ---- Hints and screen tips (dxBarHintWindow.cpp)
  // The plain hint a bar shows for its own parts.
  virtual TdxBarCustomHintViewInfo* MakeHintViewInfo(TdxBarManager* AManager, const String& AHint,
                                                     const String& AShortCut) const;
  // The top-left screen point of a hint window that height for a bar's part.
  virtual TPoint CalcHintWindowRect(TCustomdxBarControl* ABarControl, const TRect& AItemRect, int AWindowHeight,
                                    const TPoint& ACursorPos) const;
  virtual void ScreenTipDrawBackground(TcxCanvas*, const TRect&) const {}
  virtual void ScreenTipDrawFooterLine(TcxCanvas*, const TRect&) const {}
  // clDefault: the band's font colour.
  virtual TColor ScreenTipGetTitleTextColor() const { return clDefault; }
  virtual TColor ScreenTipGetDescriptionTextColor() const { return clDefault; }
  virtual int ScreenTipGetFooterLineSize() const { return 3; }
};

