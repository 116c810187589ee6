// Editor layout: the short-lived view data that computes, for given bounds,
// pointer position, mouse button and shift state, the view info of an
// editor: its border, colours, client rectangle and the placement and states
// of its buttons; and the view info's hit tests and change tracking.
#pragma once

#include "editors/core/cxEditButtons.h"
#include "editors/core/cxEditProperties.h"
#include "editors/core/cxEditStyles.h"
#include "foundation/cxContainerRoutines.h"
#include "foundation/cxContainerStyles.h"
#include "platform/gui/ImgList.h"

#include <vector>

class TcxCustomEdit;

DECLARE_ENUM(TcxEditPaintOption, epoAllowZeroHeight, epoAutoHeight, epoHasExternalBorder, epoShowEndEllipsis,
             epoShowFocusRectWhenInplace)
using TcxEditPaintOptions = TSet<TcxEditPaintOption, 5>;

class TcxCustomEditViewInfo : public TcxContainerViewInfo {
  DECLARE_CLASS(TcxCustomEditViewInfo, TcxContainerViewInfo)
  TcxCustomEditViewInfo();
  ~TcxCustomEditViewInfo() override;

  // Border, colours, state and the buttons' states and bounds.
  void Assign(TObject* Source) override;
  void Offset(int DX, int DY) override;
  TcxContainerBorderStyle EffectiveBorderStyle() override { return BorderStyle; }

  // The first button whose bounds hold P; -1 inside BorderRect, else -2.
  int HitTestButton(const TPoint& P) const;
  // -1: BorderRect narrowed past the outer buttons; a button: its bounds.
  TRect GetPartBounds(int AIndex) const;
  void RememberButtonStates();
  bool ButtonStatesChanged() const;
  bool IsHotTrack() const;
  void SetButtonCount(int ACount);
  // Invalidates on the window what differs from AOld: everything but the
  // inner edit rectangle when the native state, background colour, button
  // count or (with paintable content) the container state changed; else the
  // border band when the border colour or style changed; then each button
  // that changed. Without an old view info all of it. Nothing without a
  // window. Answers whether anything was invalidated.
  bool Repaint(HWND AWindow, const TRect& AInnerEditRect, const TcxCustomEditViewInfo* AOld);
  virtual bool HasPaintableContent() { return true; }

  // Painting: each visible button (border by its style, face, content by
  // its kind), and the content step: the background in the background
  // colour with the buttons clipped out, then the buttons.
  virtual void PaintEditButton(TcxCanvas* ACanvas, int AButtonVisibleIndex);
  void DrawButtons(TcxCanvas* ACanvas);
  // The colours an editor proposes for its buttons; both start as clDefault.
  virtual void GetCustomButtonColors(TColor& ABrushColor, TColor& ATextColor);
  // The font of text buttons (not owned); null draws in the canvas's font.
  TFont* Font = nullptr;
  int ButtonCount() const { return static_cast<int>(ButtonsInfo.size()); }

  std::vector<TcxEditButtonViewInfo*> ButtonsInfo;
  TcxCustomEdit* Edit = nullptr;
  TcxCustomEditProperties* EditProperties = nullptr;
  TRect BorderExtent;
  bool Enabled = true;
  bool Focused = false;
  bool HasBackground = false;
  bool HasContentOffsets = false;
  bool HasTextButtons = false;
  bool IsButtonReallyPressed = false;
  bool IsDesigning = false;
  bool IsInplace = false;
  bool IsSelected = false;
  bool Transparent = false;
  TRect InnerEditRect;
  TRect ShadowRect;
  int LastPressedButton = -1;
  int LastSelectedButton = -1;
  int PressedButton = -1;
  int SelectedButton = -1;
  int Left = 0;
  int Top = 0;
  TColor TextColor = clWindowText;
  TcxEditPaintOptions PaintOptions;
  TcxEditPopupBorderStyle PopupBorderStyle = epbsDefault;

 protected:
  void PaintContent(TcxCanvas* ACanvas) override;
  virtual void DrawButtonBorder(TcxCanvas* ACanvas, TcxEditButtonViewInfo* AButton, TColor& ABrushColor,
                                TColor& APenColor, TRect& AContentRect, TRect& ARect);
  virtual void DrawButtonContent(TcxCanvas* ACanvas, TcxEditButtonViewInfo* AButton, TRect AContentRect,
                                 TColor APenColor, bool AOffset);

 private:
  bool FPaintingButtons = false;
};

using TcxEditGetDefaultButtonWidthEvent = TClosure<void(TObject* Sender, int AIndex, int& ADefaultWidth)>;

class TcxCustomEditViewData : public TObject {
  DECLARE_CLASS(TcxCustomEditViewData, TObject)
  TcxCustomEditViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace);

  // Fills AViewInfo for the bounds, pointer and buttons.
  virtual void Calculate(const TRect& ABounds, const TPoint& P, TcxMouseButton AButton, TShiftState AShift,
                         TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent);
  virtual TcxContainerState GetContainerStateAt(TcxCustomEditViewInfo* AViewInfo, const TPoint& P,
                                                TShiftState AShift);
  virtual TRect GetBorderExtent();
  virtual TRect GetButtonsExtent();
  virtual TRect GetClientExtent(TcxCustomEditViewInfo* AViewInfo);
  virtual TcxEditBorderStyle GetBorderStyle();
  virtual TColor GetBorderColor();
  virtual bool HasShadow();
  virtual bool IsButtonPressable(TcxCustomEditViewInfo*, int) { return true; }
  virtual bool ShowsButtonPressed(TcxCustomEditViewInfo*, int) { return false; }
  virtual bool IgnoreButtonWhileStretching(int) { return false; }
  TcxEditButtonStyle ResolveButtonsStyle();

  // Sizes. The constant part is what borders and buttons take; the content
  // part what the value needs (nothing in the base class).
  virtual void MeasureConstantPart(TcxCanvas* ACanvas, TSize& ASize, TcxCustomEditViewInfo* AViewInfo,
                                   TSize& AMinContentSize);
  virtual TSize MeasureContent(TcxCanvas*, const Variant&, const TcxEditSizeProperties&) { return TSize(); }
  // The default content offsets: standalone (1, 1, 1, 3), in place (1, 1, 1, 1).
  virtual TRect GetDefaultContentOffsets();
  TSize GetEditContentSizeCorrection();
  // Without a view info one is calculated for the largest bounds.
  TSize GetEditConstantPartSize(TcxCanvas* ACanvas, TSize& AMinContentSize, TcxCustomEditViewInfo* AViewInfo = nullptr);
  virtual TSize GetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                   const TcxEditSizeProperties& AEditSizeProperties);
  // A negative requested width leaves the width to the content.
  TSize GetEditSize(TcxCanvas* ACanvas, const Variant& AEditValue, const TcxEditSizeProperties& AEditSizeProperties,
                    TcxCustomEditViewInfo* AViewInfo = nullptr);

  TcxCustomEdit* Edit = nullptr;
  TcxCustomEditProperties* Properties;
  TcxCustomEditStyle* Style;
  bool IsInplace;
  TRect Bounds;
  bool ButtonsOnlyStyle = false;
  int ButtonVisibleCount = 0;
  TcxContainerState ContainerState;
  TRect ContentOffset;
  bool Enabled = true;
  bool Focused = false;
  bool IsDesigning = false;
  bool PreviewMode = false;
  bool Selected = false;
  bool HasCapture = false;          // the editor holds the mouse capture
  int CaptureButtonIndex = -1;      // the button that holds it
  TRect VisibleBounds;              // empty: Bounds less ContentOffset
  TcxEditGetDefaultButtonWidthEvent OnGetDefaultButtonWidth;

 protected:
  virtual void CalculateButtonsViewInfo(const TRect& ABounds, const TPoint& P, TShiftState AShift,
                                        TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent);
  virtual void CalculateButtonBounds(TcxCustomEditViewInfo* AViewInfo, int AButtonVisibleIndex, TRect& ButtonsRect);
  virtual void CheckButtonsOnly(TcxCustomEditViewInfo* AViewInfo, int APrevButtonsWidth, int AButtonsWidth);

 private:
  int FLeftSideLeftmostButtonIndex = -1;
  int FLeftSideRightmostButtonIndex = -1;
  int FRightSideLeftmostButtonIndex = -1;
  int FRightSideRightmostButtonIndex = -1;
};

// Default buttons style by border style and by look-and-feel kind.
TcxEditButtonStyle cxDefaultButtonStyleByBorder(TcxEditBorderStyle ABorderStyle);
TcxEditButtonStyle cxDefaultButtonStyleByKind(TcxLookAndFeelKind AKind);

// The width an edit button takes: its own width (at least the border size
// of 4), a glyph's width or its caption's (+3) plus the border (a caption at
// least the horizontal scroll-bar height), other kinds that height.
int cxCalcEditButtonWidth(TcxCanvas* ACanvas, const TcxEditButtonViewInfo* AButtonViewInfo);
// Vertical room the buttons' frames take by buttons style.
int cxEditButtonsContentVerticalOffset(TcxEditButtonStyle AButtonsStyle);
// The frame, the background outside the client area (all of it with
// AFillInterior) and the buttons of an editor's view info.
void cxDrawEditBackgroundAndButtons(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, bool AFillInterior);
// A glyph whose transparent colour shows the background colour (or nothing
// for clNone); disabled glyphs are drawn in the disabled look.
void cxDrawGlyphToCanvas(TcxCanvas* ACanvas, int X, int Y, TColor ABackgroundColor, bool AEnabled,
                         TBitmap* AGlyph);
// An image-list image drawn on a background colour at ARect's top-left.
void cxDrawImageListItemOpaque(TcxCanvas* ACanvas, TCustomImageList* AImages, int AImageIndex,
                               TColor ABackgroundColor, const TRect& ARect, bool AEnabled = true);
bool cxBitmapHasImage(TBitmap* ABitmap);
// AShowButtons and at least one button in the properties.
bool cxEditHasVisibleButtons(TcxCustomEditProperties* AProperties, bool AShowButtons);
