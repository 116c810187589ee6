// The flat look of toolbars and their items: a light toolbar colour made from
// the button face, hot and pressed items filled with highlight tints and
// framed in the highlight colour, washed-out glyphs that rise with a shadow
// when hot, single-line separators and a striped gripper.
#pragma once

#include "bars/controls/dxBarPainter.h"

// The five brushes of the flat look, made from the system colours. Each bar
// manager owns a set and rebuilds it when those colours change; the painter
// reads the set of the manager of what it draws.
struct TdxBarFlatBrushes {
  HBRUSH Border = nullptr;     // button shadow darkened to 80 %
  HBRUSH Toolbar = nullptr;    // button face moved 16 % toward white
  HBRUSH Downed = nullptr;     // face, highlight, window 11/9/73 %
  HBRUSH DownedSel = nullptr;  // 14/44/40 %
  HBRUSH Sel = nullptr;        // -2/30/72 %
};
// The manager's set (of the bar's or the item's manager); without a manager
// the process-wide set of the same colours, which code that has no manager
// draws with. That set is remade when the system colours change and freed at
// the bar controls' shutdown.
TdxBarFlatBrushes dxBarFlatBrushes(TdxBarManager* AManager);
TdxBarFlatBrushes dxBarFlatBrushes(TCustomdxBarControl* ABarControl);
TdxBarFlatBrushes dxBarFlatBrushes(TdxBarItemControl* AControl);
const TdxBarFlatBrushes& dxBarFlatBrushes();
void dxBarFreeFlatBrushes();

class TdxBarFlatPainter : public TdxBarPainter {
  DECLARE_CLASS(TdxBarFlatPainter, TdxBarPainter)
  TdxBarFlatPainter() = default;
  static const TdxBarFlatPainter* Instance();

  // Flags and metrics.
  bool IsFlatGlyphImage() const override { return true; }
  bool IsFlatItemText() const override { return true; }
  bool IsGlyphImageHasShadow() const override { return true; }
  int LoweredBorderSize(TdxBarItemControl*) const override { return 1; }
  int GetBorderSize() const override { return 1; }
  int BeforeFingersSize() const override { return 1; }
  int FingersSize(TdxBarControl*) const override { return GripperSize() + BeforeFingersSize() + 2; }
  int BarBeginGroupSize() const override { return 5; }
  int BarBeginGroupSideSize() const override { return (BarBeginGroupSize() - 1) / 2; }
  int SubMenuControlNormalItemHeight() const override { return 20; }
  int RealButtonArrowWidth(TdxBarManager* AManager, bool ALargeIcons = false) const override {
    return TdxBarPainter::RealButtonArrowWidth(AManager, ALargeIcons) - 1;
  }
  int RealLargeButtonArrowWidth(TdxBarManager* AManager) const override {
    return TdxBarPainter::RealLargeButtonArrowWidth(AManager) - 1;
  }
  void CorrectButtonControlDefaultHeight(int& AValue) const override { AValue += 2; }
  void CorrectButtonControlDefaultWidth(int& AValue) const override { AValue += 9; }
  int SubMenuTextAreaOffset(int ATextSize) const override { return ATextSize + 3; }
  // Items that take their parent's menu look (sub items of a main menu bar)
  // start their caption at a fixed indent.
  int GetControlCaptionOffset(TdxBarItemControl* AControl) const override;

  // Brushes.
  HBRUSH BarToolbarBrush(TdxBarManager* AManager = nullptr) const override {
    return dxBarFlatBrushes(AManager).Toolbar;
  }
  HBRUSH BarToolbarBrushEx(TCustomdxBarControl* ABarControl) const override;
  HBRUSH BarToolbarSelBrush(TdxBarManager* AManager = nullptr) const override { return dxBarFlatBrushes(AManager).Sel; }
  HBRUSH BarToolbarDownedBrush(TdxBarManager* AManager = nullptr) const override {
    return dxBarFlatBrushes(AManager).Downed;
  }
  HBRUSH BarToolbarDownedSelBrush(TdxBarManager* AManager = nullptr) const override {
    return dxBarFlatBrushes(AManager).DownedSel;
  }
  virtual HBRUSH ControlBackgroundBrush(TdxBarItemControl* AControl) const {
    return dxBarFlatBrushes(AControl).Toolbar;
  }

  // Selection frame, glyph area and button arrows.
  void OutlineSelection(HDC DC, const TRect& R) const override;
  HBRUSH GlyphBkgndBrush(TdxBarItemControl* AControl, TdxBarPaintType APaintType, bool AGlyphEmpty, bool ASelected,
                         bool ADowned, bool ADrawDowned, bool ADroppedDown, bool AForceUseBkBrush,
                         bool AGrayScale) const override;
  bool IsGlyphImageBackgroundOpaque(TdxBarItemControl* AControl, bool ADown, bool ADrawDowned, bool ASelected,
                                    bool AGlyphEmpty) const override;
  void FrameGlyphArea(TdxBarItemControl* AControl, HDC DC, HBRUSH ABrush, bool ARoom, const TRect& R,
                      TdxBarPaintType APaintType, bool AGlyphEmpty, bool ASelected, bool ADowned, bool ADrawDowned,
                      bool ADroppedDown, bool AIsSplit) const override;
  void PaintCheckGlyph(TdxBarItemControl* AControl, HDC DC, int X, int Y, int AScale) const override;
  void DrawLowered(HDC DC, TRect& R) const override;
  HBRUSH ButtonControlArrowBrush(TdxBarButtonLikeControlDrawParams* AParams) const override;
  void DrawButtonControlArrowBackground(TdxBarButtonLikeControlDrawParams* AParams, TRect& R,
                                        HBRUSH ABrush) const override;
  virtual void FrameControlBorder(TdxBarItemControl* AControl, HDC DC, const TRect& R, HBRUSH ABrush,
                                  TdxBarPaintType APaintType, bool ASelected, bool ADowned) const;

  // An element whose popup is open: framed in the border brush, filled with
  // the owner brush; the side that joins the popup stays open.
  virtual void BarDrawBarControlOwner(TCustomdxBarControl* AOwnerBar, HDC DC, const TRect& R,
                                      TCustomdxBarControl* APopupBar) const;
  virtual void BarDrawBarControlOwnerBorder(TCustomdxBarControl* AOwnerBar, HDC DC, const TRect& R,
                                            TdxBarItemControl* AItemControl, TCustomdxBarControl* APopupBar) const;
  virtual void BarDrawBarControlOwnerFrame(TCustomdxBarControl* AOwnerBar, HDC DC, const TRect& R) const;
  virtual void BarDrawBarControlOwnerLink(TCustomdxBarControl* AOwnerBar, HDC DC, const TRect& R,
                                          const TRect& ALinkR, TdxBarItemControl* AItemControl) const;
  // The owner border once the popup's link strip is known in the coordinates
  // of DC (empty: no popup window, the frame is closed).
  void BarDrawBarControlOwnerBorder(TCustomdxBarControl* AOwnerBar, HDC DC, const TRect& R,
                                    TdxBarItemControl* AItemControl, const TRect& ALinkR) const;

  // Toolbar frames.
  void BarDrawDockedBarBorder(TdxBarControl* ABarControl, HDC DC, const TRect& ARect, HBRUSH ABrush) const override;
  void BarDrawBeginGroup(TCustomdxBarControl* ABarControl, HDC DC, const TRect& ARect, HBRUSH ABrush,
                         bool AHorizontal) const override;

  // ---- Edits, combos, spin edits, static controls (dxBarFlatPainterEdits.cpp)
  bool CanUpdateBarPartly() const override { return true; }
  int ContainerControlSubMenuOffset() const override { return 9; }
  bool IsDateNavigatorFlat() const override { return true; }
  TRect EditControlBorderOffsets(TdxBarPaintType) const override { return TRect(1, 1, 1, 1); }
  int EditControlCaptionAbsoluteLeftIndent() const override { return 6; }
  int EditControlCaptionRightIndent() const override { return 5; }
  TRect EditControlSubMenuGlyphIndents() const override { return TRect(7, 0, 0, 0); }
  bool HasEditControlExternalFrame(TdxBarPaintType APaintType, bool ASelected) const override {
    return ASelected && APaintType == ptMenu;
  }
  bool EditControlCaptionRightIndentIsOpaque(TdxBarEditLikeControlDrawParams* AParams) const override;
  // Beside an icon in a menu the caption starts where menu item texts start.
  int EditControlCaptionRelativeLeftIndent(TdxBarEditLikeControlDrawParams* AParams) const override;
  bool EditControlGlyphIsDrawSelected(TdxBarEditLikeControlDrawParams* AParams) const override {
    return AParams->DrawSelected && AParams->PaintType == ptMenu;
  }
  HBRUSH EditControlGetRightCaptionIndentBrush(TdxBarEditLikeControlDrawParams* AParams) const override;
  void EditControlDrawBorder(TdxBarEditLikeControlDrawParams* AParams, TRect& ARect) const override;
  void EditControlDrawSelectionFrame(TdxBarEditLikeControlDrawParams* AParams, const TRect& ARect) const override;
  void CustomComboDrawItem(TcxCanvas* ACanvas, const String& AText, TStrings* AItems, int AIndex,
                           const TRect& ARect, bool AInteriorIsDrawing) const override;
  TColor ComboControlArrowColor(TdxBarEditLikeControlDrawParams* AParams) const override;
  HBRUSH ComboControlButtonBrush(TdxBarEditLikeControlDrawParams* AParams) const override;
  void ComboControlDrawSimpleButton(TdxBarEditLikeControlDrawParams* AParams, TRect& ARect,
                                    HBRUSH ABrush) const override;
  // The arrow part of a hot drop-down: pressed-hot while open or on a white face.
  HBRUSH HotArrowBrush(TdxBarItemControlDrawParams* AParams) const;
  using TdxBarPainter::FrameAndFillRect;
  void FrameAndFillRect(const TdxBarItemPaintValues& AValues, HDC DC, TRect& R, bool AEnabled, bool ASelected,
                        bool APressed) const override;
  void CalculateSpinEditParts(TdxBarSpinEditDrawParams* AParams, std::vector<TRect>& AParts,
                              const TRect& AFieldRect) const override;
  void SpinEditControlDrawButton(TdxBarSpinEditDrawParams* AParams, const TRect& ARect,
                                 int AButtonIndex) const override;
  void PaintSpinArrow(TdxBarSpinEditDrawParams* AParams, TPoint APos, int AButtonIndex) const override;
  virtual HBRUSH StaticBorderBrush(TdxBarItemControl*, TdxBarStaticBorderStyle) const {
    return dxBarSysBrush(COLOR_BTNSHADOW);
  }
  void DrawStaticBorder(TdxBarStaticLikeControlDrawParams* AParams, TRect& ARect) const override;
  void DateNavigatorDrawButton(HDC DC, const TRect& ARect, const String& ACaption, bool APressed) const override;
  bool InPlaceSubItemControlIsFlatItemText(TdxBarInPlaceSubItemControlDrawParams* AParams) const override {
    return TdxBarPainter::InPlaceSubItemControlIsFlatItemText(AParams) && IsFlatItemTextForMenu();
  }
  bool InPlaceSubItemControlIsArrowSelected(TdxBarInPlaceSubItemControlDrawParams* AParams) const override;
  void SysPanelDraw(HWND AWindow, bool ASizable, bool ACloseButtonHot, bool ACloseButtonPressed,
                    TRect& ACloseButtonRect, TRect& AGripRect, TdxCorner AGripCorner) const override;
  // ---- Floating frames, marks and sub-menu frames (dxBarFlatPainterFrames.cpp)
  bool BarChildrenHaveShadows() const override { return true; }
  bool IsQuickControlPopupOnRight() const override { return true; }
  int SubMenuBeginGroupIndent() const override { return 8; }
  int SubMenuControlArrowsOffset() const override { return 1; }
  int SubMenuControlBeginGroupSize() const override { return 5; }
  int SubMenuControlDetachCaptionAreaSize(const TdxBarSubMenuFrame& AMenu) const override {
    return AMenu.DetachCaptionHeight + 1;
  }
  TRect SubMenuControlOffsetDetachCaptionRect(const TRect& R) const override;
  HBRUSH BarToolbarBrushEx2(TCustomdxBarControl*) const override;
  HBRUSH SubMenuControlToolbarItemsBrush() const override;
  virtual TColor SubMenuControlGetSeparatorColor() const { return clBtnShadow; }
  TColor FloatingCaptionBackColor(TdxBarControl*) const override { return clInactiveCaption; }
  TColor MarkGlyphColor(TCustomdxBarControl* ABarControl, TdxBarMarkState AState) const override;
  int MarkElementSysColor(TCustomdxBarControl* ABarControl) const override;
  int SubMenuControlMarkArrowSize(int AMarkSize) const override;
  void SubMenuControlCalcDrawingConsts(TcxCanvas* ACanvas, int ATextSize, int& AArrowWidth,
                                       int& AMarkSize) const override;
  TRect SubMenuControlBeginGroupRect(const TdxBarSubMenuFrame& AMenu, const TdxBarSubMenuItemFrame& AItem,
                                     const TRect& AItemRect) const override;
  TRect SubMenuControlGetItemIconRect(const TRect& AItemRect, int AIconAreaSize) const override;
  int SubMenuControlGetItemTextIndent(const TdxBarSubMenuFrame& AMenu) const override {
    return TdxBarPainter::SubMenuControlGetItemTextIndent(AMenu) + 6;
  }
  TRect SubMenuControlGetItemTextRect(TdxBarItemControlDrawParams* AParams, const TRect& AItemRect) const override;
  int SubMenuControlTextSize(TcxCanvas* ACanvas) const override {
    return TdxBarPainter::SubMenuControlTextSize(ACanvas) + 1;
  }
  // A toolbar-coloured icon band beside a window-coloured text area; a hot
  // item framed and filled with the hot brush.
  void DrawItemBackgroundInSubMenu(TdxBarItemControlDrawParams* AParams, const TRect& ARect) const override;

  void BarDrawFloatingBarBorder(TdxBarControl* ABarControl, HDC DC, TRect& R, const TRect& AClientRect,
                                HBRUSH ABrush) const override;
  void ShiftFloatingCaption(TdxBarControl* ABarControl, TRect& ACaption, int& ATextLeft) const override;
  void BarDrawCloseButton(TdxBarControl* ABarControl, HDC DC, const TRect& R) const override;
  void BarDrawMark(TdxBarControl* ABarControl, HDC DC, const TRect& R) const override;
  void PaintBarWindowFrame(TdxBarControl* ABarControl, HDC DC, const TRect& R, HBRUSH ABrush) const override;
  void BarDrawMDIButton(TdxBarControl* ABarControl, TdxBarMDIButton AButton, int AState, HDC DC,
                        const TRect& R) const override;
  void DrawQuickCustItemFrame(TdxBarItemControl* AControl, HDC DC, TRect& R, TRect& ACheckRect,
                              bool ASelected) const override;
  void DrawQuickCustItemFrameSelected(TdxBarItemControl* AControl, HDC DC, const TRect& AWholeR, const TRect& R,
                                      bool ASelected) const override;

  void SubMenuControlDrawBorder(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R) const override;
  void SubMenuControlDrawClientBorder(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R,
                                      HBRUSH ABrush) const override;
  void SubMenuControlDrawDetachCaption(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R) const override;
  void SubMenuControlDrawBeginGroup(const TdxBarSubMenuFrame& AMenu, const TdxBarSubMenuItemFrame& AItem,
                                    TcxCanvas* ACanvas, const TRect& R) const override;
  void SubMenuControlDrawSeparator(TcxCanvas* ACanvas, const TRect& R) const override;
  void PaintRecentGroupEdge(const TdxBarSubMenuFrame&, TcxCanvas*, bool, const TdxBarSubMenuItemFrame&) const override {}
  void PaintSunkenItemFrame(const TdxBarSubMenuFrame& AMenu, HDC DC, const TRect& R) const override;
};
