// The bar painter: the stateless drawing and metrics strategy of toolbars,
// menus and item controls. Looks derive from it and override operations;
// every operation works on its arguments only, so one object per class
// serves every bar (TdxBarPainter::Instance()).
#pragma once

#include "bars/controls/dxBarItemControls.h"

class TcxCanvas;
class TCustomdxBarControl;
class TdxBarControl;
class TdxBarCustomHintViewInfo;
class TdxDockControl;

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
  virtual bool NeedsDoubleBuffering() const { return false; }
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
  virtual TRect ComboControlButtonOffsets(TdxBarPaintType) const { return TRect(2, 2, 2, 2); }
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
  int BarBeginGroupSideSize() const { return (BarBeginGroupSize() - 2) / 2; }
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
  virtual HBRUSH BarToolbarBrush() const;
  virtual HBRUSH BarToolbarBrushEx(TCustomdxBarControl*) const { return BarToolbarBrush(); }
  virtual HBRUSH BarToolbarSelBrush() const;
  virtual HBRUSH BarToolbarDownedSelBrush() const;

  // Backgrounds.
  virtual void DrawBackground(TdxBarItemControl* AControl, HDC DC, const TRect& ARect, HBRUSH ABrush,
                              bool AOpaque) const;
  virtual void BarDrawBackground(TCustomdxBarControl* ABarControl, HDC DC, const TRect& ADestR,
                                 const TRect& ASourceR, HBRUSH ABrush, TColor AColor) const;
  virtual void DockControlFillBackground(TdxDockControl* ADock, HDC DC, const TRect& ADestR, const TRect& ASourceR,
                                         HBRUSH ABrush, TColor AColor) const;
  virtual void BarDrawBeginGroup(TCustomdxBarControl* ABarControl, HDC DC, const TRect& ARect, HBRUSH ABrush,
                                 bool AHorizontal) const;
  virtual void BarDrawDockedBarBorder(TdxBarControl* ABarControl, HDC DC, const TRect& ARect, HBRUSH ABrush) const;

  // ---- Glyphs, item text and button-like controls (dxBarPainterGlyphs.cpp)
  // The parent's brushes an item is drawn with (the bar's own background,
  // its hot, pressed and pressed-hot tints).
  HBRUSH ItemBackgroundBrush(TdxBarItemControl* AControl) const;
  HBRUSH ParentSelectedBrush(TdxBarItemControl* AControl) const;
  HBRUSH ParentDownedBrush(TdxBarItemControl* AControl) const;
  HBRUSH ParentDownedSelectedBrush(TdxBarItemControl* AControl) const;
  // A link of a menu's rarely used group.
  static bool IsNonRecent(TdxBarItemControl* AControl);
  virtual HBRUSH BarToolbarDownedBrush() const;
  virtual HBRUSH BarControlOwnerBrush() const { return BarToolbarBrush(); }
  virtual bool IsNativeBackground() const { return false; }
  virtual bool IsGlyphImageHasShadow() const { return false; }
  virtual bool FadesDisabledImages() const { return false; }
  virtual int GlyphDrawDownedShift(TdxBarItemControl*) const { return 0; }
  // A one-pixel frame in the system highlight colour.
  virtual void OutlineSelection(HDC DC, const TRect& R) const;
  // The one-pixel ring of R: with ABrush when opaque, else the bar's own background.
  void DrawBackgroundFrameRect(TdxBarItemControl* AControl, HDC DC, const TRect& R, HBRUSH ABrush,
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
  virtual void PaintCheckGlyph(TdxBarItemControl* AControl, HDC DC, int X, int Y, int AScale) const;
  // Where a glyph of AImageSize goes in ARect.
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
  };
  // Places the glyph (the bounds go to the control's view info) and draws it
  // with its background and frame; answers the image bounds.
  virtual TRect DrawGlyph(TdxBarItemControl* AControl, HDC DC, const TGlyphArgs& AArgs) const;
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

using TdxBarPainterClass = const TdxBarPainter*;
