// Item controls: the on-screen object of one item link inside one bar window.
// The control reads its item and link, answers the bar's layout questions
// (view levels, widths and heights), keeps the interaction state (hot part,
// pressed, active), fills the draw parameters and hands the drawing to the
// bar's painter. Button controls add pressing, checking and drop-downs.
#pragma once

#include "bars/controls/dxBarPaintRoutines.h"
#include "bars/model/dxBar.h"
#include "bars/model/dxBarHints.h"
#include "platform/gui/Controls.h"
#include "platform/gui/StdCtrls.h"

#include <vector>

class TCanvas;
class TCustomImageList;
class TcxCanvas;
class TCustomdxBarControl;
class TdxBarItemControl;
class TdxBarPainter;

DECLARE_ENUM(TdxBarPaintType, ptHorz, ptMenu, ptVert)
DECLARE_ENUM(TdxBarItemControlViewSize, cvsSmall, cvsMedium, cvsLarge)
DECLARE_ENUM(TdxBarItemControlPart, cpIcon, cpText)
using TdxBarItemControlViewStructure = TSet<TdxBarItemControlPart, 8>;
DECLARE_ENUM(TdxBarButtonGroupRealPosition, bgrpNone, bgrpStart, bgrpMember, bgrpFinish, bgrpSingle)
// The level a control takes when its bar has no preference.
inline constexpr TdxBarItemViewLevel ivlDefault = static_cast<TdxBarItemViewLevel>(4);

// Everything a painter needs to draw one item control.
class TdxBarItemControlDrawParams : public TObject {
  DECLARE_CLASS(TdxBarItemControlDrawParams, TObject)
  explicit TdxBarItemControlDrawParams(TdxBarItemControl* AControl) : FBarItemControl(AControl) {}

  TdxBarItemControlViewSize ViewSize() const { return FViewSize; }
  // A new size makes the control drop its rendered image.
  void SetViewSize(TdxBarItemControlViewSize AValue);
  TdxBarItemControl* BarItemControl() const { return FBarItemControl; }

  TcxCanvas* Canvas = nullptr;
  String Caption;
  String Description;
  String ShortCut;
  TdxBarPaintType PaintType = ptHorz;
  TdxBarItemControlViewStructure ViewStructure;
  bool Enabled = true;
  bool CanSelect = true;
  bool DrawSelected = false;
  bool DroppedDown = false;
  bool IsDropDown = false;
  int HotPartIndex = -1;
  bool IsCustomizing = false;
  bool IsPressed = false;
  bool SelectedByKey = false;
  TSize DefaultButtonSize;
  // What the painter reads of the control and its bar.
  TdxBarItemPaintValues PaintValues;

 private:
  TdxBarItemControlViewSize FViewSize = cvsSmall;
  TdxBarItemControl* FBarItemControl;
};

class TdxBarButtonLikeControlDrawParams : public TdxBarItemControlDrawParams {
  DECLARE_CLASS(TdxBarButtonLikeControlDrawParams, TdxBarItemControlDrawParams)
  using TdxBarItemControlDrawParams::TdxBarItemControlDrawParams;
  bool Downed = false;
  bool DrawDowned = false;
  bool DroppedDownFlat = false;
  bool SplitDropDown = false;
  bool DropDownEnabled = false;
  bool IsTextSelected = false;
  bool IsFlatText = false;
  bool GrayScale = false;
  bool IsLowered = false;
  bool IsMenuItem = false;
  TSize ArrowSize;
  TdxBarButtonGroupRealPosition ButtonGroup = bgrpNone;
};

DECLARE_ENUM(TdxBarStaticBorderStyle, sbsNone, sbsLowered, sbsRaised, sbsEtched, sbsBump)

// What an edit-like control draws itself between the painter's steps.
class TdxBarEditLikeControlSteps {
 public:
  virtual ~TdxBarEditLikeControlSteps() = default;
  // The border, then the canvas clipped to the field inside it.
  virtual void DrawBorderAndClip() = 0;
  virtual void DrawEditField() = 0;
};

// Edits, combos, spin edits and editor-hosting items.
class TdxBarEditLikeControlDrawParams : public TdxBarItemControlDrawParams {
  DECLARE_CLASS(TdxBarEditLikeControlDrawParams, TdxBarItemControlDrawParams)
  using TdxBarItemControlDrawParams::TdxBarItemControlDrawParams;
  bool Focused = false;
  bool IsTransparent = false;
  // The colours of the item's edit style; clDefault leaves the painter's own.
  TColor StyleBkColor = clDefault;
  TColor StyleTextColor = clDefault;
  TdxBarEditLikeControlSteps* Steps = nullptr;
};

class TdxBarColorComboControlDrawParams : public TdxBarEditLikeControlDrawParams {
  DECLARE_CLASS(TdxBarColorComboControlDrawParams, TdxBarEditLikeControlDrawParams)
  using TdxBarEditLikeControlDrawParams::TdxBarEditLikeControlDrawParams;
  bool IsShowCustomColorButton = true;
};

class TdxBarSpinEditDrawParams : public TdxBarEditLikeControlDrawParams {
  DECLARE_CLASS(TdxBarSpinEditDrawParams, TdxBarEditLikeControlDrawParams)
  using TdxBarEditLikeControlDrawParams::TdxBarEditLikeControlDrawParams;
  TSize ArrowSize;  // width and height of the arrows
  // The part index of the pressed button (3 upper, 4 lower), -1 for none.
  int ActiveButtonIndex = -1;
};

// Labels and the other static items.
class TdxBarStaticLikeControlDrawParams : public TdxBarItemControlDrawParams {
  DECLARE_CLASS(TdxBarStaticLikeControlDrawParams, TdxBarItemControlDrawParams)
  using TdxBarItemControlDrawParams::TdxBarItemControlDrawParams;
  TAlignment Alignment = taLeftJustify;
  bool AllowCenter = false;
  TRect BorderOffsets;
  TdxBarStaticBorderStyle BorderStyle = sbsNone;
  // The control's own background brush; none shows its bar's background.
  HBRUSH BackgroundBrush = nullptr;
};

class TdxBarSeparatorControlDrawParams : public TdxBarStaticLikeControlDrawParams {
  DECLARE_CLASS(TdxBarSeparatorControlDrawParams, TdxBarStaticLikeControlDrawParams)
  using TdxBarStaticLikeControlDrawParams::TdxBarStaticLikeControlDrawParams;
  bool IsTop = false;
};

class TdxBarProgressControlDrawParams : public TdxBarStaticLikeControlDrawParams {
  DECLARE_CLASS(TdxBarProgressControlDrawParams, TdxBarStaticLikeControlDrawParams)
  using TdxBarStaticLikeControlDrawParams::TdxBarStaticLikeControlDrawParams;
  int Min = 0;
  int Max = 100;
  int Position = 0;
  bool Smooth = false;
};

// A sub item shown expanded inside a menu.
class TdxBarInPlaceSubItemControlDrawParams : public TdxBarButtonLikeControlDrawParams {
  DECLARE_CLASS(TdxBarInPlaceSubItemControlDrawParams, TdxBarButtonLikeControlDrawParams)
  using TdxBarButtonLikeControlDrawParams::TdxBarButtonLikeControlDrawParams;
  bool IsExpanded = false;
};

// The control's record in its bar's layout: the allowed levels, the current
// level and the width per level, measured once.
class TdxBarItemControlViewInfo : public TObject {
  DECLARE_CLASS(TdxBarItemControlViewInfo, TObject)
  explicit TdxBarItemControlViewInfo(TdxBarItemControl* AControl);

  TdxBarItemControl* Control() const { return FControl; }
  TdxBarItemViewLevels AllowedViewLevels() const { return FAllowedViewLevels; }
  TdxBarItemViewLevel MinPossibleViewLevel() const { return FMinPossibleViewLevel; }
  TdxBarItemViewLevel ViewLevelForButtonGroup() const { return FViewLevelForButtonGroup; }
  TdxBarItemViewLevel ViewLevel() const { return FViewLevel; }
  void SetViewLevel(TdxBarItemViewLevel AValue) { FViewLevel = AValue; }
  const TRect& Bounds() const { return FBounds; }
  void SetBounds(const TRect& AValue) { FBounds = AValue; }
  TRect ImageBounds;
  // The control's width at an allowed level; EdxException for another level.
  int WidthAtViewLevel(TdxBarItemViewLevel ALevel);
  void ResetCachedValues();

 private:
  TdxBarItemControl* FControl;
  TdxBarItemViewLevels FAllowedViewLevels;
  TdxBarItemViewLevel FMinPossibleViewLevel = ivlSmallIconWithText;
  TdxBarItemViewLevel FViewLevelForButtonGroup = ivlSmallIconWithText;
  TdxBarItemViewLevel FViewLevel = ivlDefault;
  TRect FBounds;
  struct TLevelInfo {
    bool Cached = false;
    int Width = 0;
  } FLevelInfos[4];
};

class TdxBarItemControl : public TdxBarItemControlBase, public IdxBarHintSource {
  DECLARE_CLASS(TdxBarItemControl, TdxBarItemControlBase)
  explicit TdxBarItemControl(TdxBarItemLink* ALink);
  ~TdxBarItemControl() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  TCustomdxBarControl* Parent() const { return FParent; }
  TdxBarManager* BarManager() const;
  TdxBarItemControlDrawParams* DrawParams() const { return FDrawParams; }
  TdxBarItemControlViewInfo* ViewInfo() const { return FViewInfo; }
  const TdxBarPainter* Painter() const;
  TRect ItemBounds() const;
  virtual bool Enabled();
  bool IsActive() override { return FIsActive; }
  bool IsSelected();
  bool IsPressed() const { return FPressed; }
  int HotPartIndex() const { return FHotPartIndex; }
  const std::vector<TRect>& Parts() const { return FParts; }
  bool SelectedByMouse() const { return FSelectedByMouse; }
  void SetSelectedByMouse(bool AValue) { FSelectedByMouse = AValue; }
  // Written by the toolbar layout.
  bool BreakingRow = false;
  bool LastInRow = false;

  // Layout.
  int Width();
  int Height();
  TdxBarItemAlign EffectiveAlign();
  TdxBarItemViewLevels CheckedPossibleViewLevels();
  TdxBarItemViewLevels AllowedViewLevels();
  virtual int MinimalWidth() { return 1; }
  virtual int MinimalHeight() { return 1; }
  void RecalcState() override;
  void ClearDrawingCache(bool AResetViewInfo) override;
  void RecalcDrawingConsts() override;
  int HitTestPart(TPoint APoint) const;
  virtual int PartCount() { return 1; }
  virtual void CalcParts();
  void FillDrawParams(bool AFull) { DoFillDrawParams(AFull); }

  // Painting: the control into a rectangle of any canvas.
  void Paint(TcxCanvas* ACanvas, const TRect& ARect, TdxBarPaintType APaintType);
  TcxCanvas* GetPaintCanvas();
  HBRUSH BackgroundBrush();
  void Repaint() override;

  // Images.
  bool ResolveImage(TdxBarItemControlViewSize ASize, bool AHot, int& AIndex, TCustomImageList*& AList,
                    TBitmap*& AGlyph);
  bool HasImage(TdxBarItemControlViewSize ASize);
  TSize GetImageSize(TdxBarItemControlViewSize ASize, bool AHot = false);
  TdxBarItemControlViewSize ViewSizeForLevel(TdxBarItemViewLevel ALevel);
  TdxBarItemViewLevel CurrentViewLevel() const { return FViewInfo ? FViewInfo->ViewLevel() : ivlDefault; }

  // Interaction, called by the bar window.
  virtual void HandleMouseDown(TMouseButton, TShiftState, int, int) {}
  virtual void HandleMouseUp(TMouseButton, TShiftState, int, int) {}
  virtual void HandleMouseEnter(TShiftState, int X, int Y) { TrackHotPart(TPoint(X, Y)); }
  virtual void HandleMouseLeave() { TrackHotPart(TPoint(-1, -1)); }
  virtual void HandleMouseMove(TShiftState, int X, int Y) { TrackHotPart(TPoint(X, Y)); }
  virtual void HandleKeyDown(Word&, TShiftState) {}
  virtual bool AcceptsDoubleClick();
  virtual void DefaultDoubleClickAction() {}
  void TrackHotPart(TPoint APoint);
  void PressAndClick(bool AByMouse);
  virtual void BecomeActive(bool AImmediately, bool AByMouse);
  virtual void BecomeInactive(bool AImmediately);
  virtual void Press(bool) {}
  using TdxBarItemControlBase::ExecuteClick;
  void ExecuteClick() override { ExecuteClick(false); }
  virtual void ExecuteClick(bool AByMouse);
  virtual void ReleasePress(bool AIsSelected, bool& AStop);
  void SetPressed(bool AValue);
  virtual bool DrawsSelected() { return IsSelected(); }
  bool IsSelectable() override;
  virtual bool IsMouseSelectable() { return IsSelectable(); }
  virtual bool AcceptsMouse() { return IsSelectable() || ClickExecutesItem(); }
  virtual bool AllowsCustomizing();
  virtual bool HiddenFromCustomizing() { return false; }
  virtual bool CapturesMouse() { return false; }
  virtual bool HasDropDown() { return false; }
  virtual bool IsDroppedDown() { return false; }
  virtual bool OpensSubItems() { return false; }
  virtual bool HasWindow() { return false; }
  virtual bool CanLeave() { return true; }
  virtual void ShowOwnedWindows(bool) {}
  virtual void ParentWindowDestroying() {}
  virtual String ShortHint();

  // IdxBarHintSource: the hint of the selected control of a bar that shows
  // item hints, drawn as the item's screen tip, below the cursor.
  bool GetHintInfo(String& AHint, String& AShortCut) override;
  bool IsHintEnabled() override { return Enabled(); }
  TdxBarCustomHintViewInfo* MakeHintView(const String& AHint, const String& AShortCut) override;
  TPoint CalcHintPlacement(const TPoint& ACursorPos, int AWindowHeight) override;

  // Notices of the model.
  void BeginGroupChanged() override;
  void CaptionChanged() override;
  void EnabledStateChanged() override;
  void ImageChanged() override;
  void LargeImageChanged() override;
  void RefreshContent() override;
  void LinkVisibilityChanged() override;
  void WidthChanged() override;

 protected:
  friend class TdxBarItemControlViewInfo;
  friend class TdxBarPainter;
  void HideMenus() override;
  virtual TClass DrawParamsClass() { return TdxBarItemControlDrawParams::StaticClass(); }
  virtual void DoFillDrawParams(bool AFull);
  virtual TdxBarItemViewLevels GetPossibleViewLevels();
  virtual TdxBarItemControlViewStructure CalcViewStructure();
  virtual TdxBarItemControlViewStructure DefaultViewStructure() { return {}; }
  virtual TdxBarItemControlViewSize CalcViewSize();
  virtual TdxBarPaintType QueryPaintType();
  virtual void DrawInterior(const TRect&) {}
  virtual void PressedChanged();
  virtual bool UnclicksAfterClick() { return true; }

  // Sizes.
  virtual int CalcWidth();
  virtual int CalcHeight();
  virtual int HeightForViewSize();
  virtual int WidthForViewSize();
  virtual int NormalViewHeight();
  virtual int LargeViewWidth();
  virtual int LargeViewHeight();
  virtual int MenuItemHeight();
  virtual int MenuItemWidth();
  int SumAreaWidths() { return IconAreaWidth() + CaptionAreaWidth() + ControlAreaWidth(); }
  virtual int IconAreaWidth();
  virtual int CaptionAreaWidth();
  virtual int ControlAreaWidth() { return 0; }
  int MeasureCaption();
  int GetCaptionOffset();
  bool OnVerticalBar();

  // Images.
  virtual String FetchCaption();
  virtual TBitmap* FetchGlyph();
  virtual int FetchImageIndex();
  virtual int FetchLargeImageIndex();
  virtual TBitmap* FetchLargeGlyph();
  TCustomImageList* SmallImageList();
  TCustomImageList* LargeImageList();
  TCustomImageList* ImageListForSize(TdxBarItemControlViewSize ASize);
  int ImageIndexForSize(TdxBarItemControlViewSize ASize);
  bool UsesLargeImages(TdxBarItemControlViewSize ASize);
  bool HasLargeImage(TdxBarItemControlViewSize ASize);
  bool HasLargeGlyph(TdxBarItemControlViewSize ASize);
  bool LargeIconsActive();
  virtual TdxBarGlyphLayout GlyphLayout() { return glLeft; }

  TdxBarItemControlDrawParams* FDrawParams = nullptr;
  TdxBarItemControlViewInfo* FViewInfo = nullptr;
  TCustomdxBarControl* FParent = nullptr;
  std::vector<TRect> FParts;
  TcxCanvas* FActiveCanvas = nullptr;
  int FHotPartIndex = -1;
  int FTextSize = 0;
  bool FIsActive = false;
  bool FPressed = false;
  bool FSelectedByMouse = false;
};

// Everything that presses, hot-tracks and may open a drop-down.
class TdxBarButtonLikeControl : public TdxBarItemControl {
  DECLARE_CLASS(TdxBarButtonLikeControl, TdxBarItemControl)
  using TdxBarItemControl::TdxBarItemControl;
  void BeforeDestruction() override;

  bool ShowAnimation = false;
  void BecomeActive(bool AImmediately, bool AByMouse) override;
  void BecomeInactive(bool AImmediately) override;
  void ReleasePress(bool AIsSelected, bool& AStop) override;
  void HandleKeyDown(Word& AKey, TShiftState AShift) override;
  virtual bool IsAcceleratorChar(Word AKey);
  virtual void CloseUp(bool AHasSubMenu);
  virtual void DropDown(bool) {}
  virtual bool CanDropDownNow();

 protected:
  TClass DrawParamsClass() override { return TdxBarButtonLikeControlDrawParams::StaticClass(); }
  TdxBarButtonLikeControlDrawParams* ButtonParams() const {
    return static_cast<TdxBarButtonLikeControlDrawParams*>(FDrawParams);
  }
  void DoFillDrawParams(bool AFull) override;
  void DrawInterior(const TRect& ARect) override;
  virtual int DropDownArrowWidth();
  virtual void OpenByPress(bool AByMouse);
  virtual bool ArrowInTextColor();
  virtual bool HasCustomSelectedTextColor();
};

// The control of a TdxBarButton: plain, checked and drop-down styles.
class TdxBarButtonControl : public TdxBarButtonLikeControl {
  DECLARE_CLASS(TdxBarButtonControl, TdxBarButtonLikeControl)
  using TdxBarButtonLikeControl::TdxBarButtonLikeControl;

  TdxBarButton* ButtonItem() const { return dynamic_cast<TdxBarButton*>(Item()); }
  bool IsDroppedDown() override { return FDroppedDown; }
  bool DrawsSelected() override;
  void Press(bool AByMouse) override;
  void ExecuteClick(bool AByMouse) override;
  using TdxBarButtonLikeControl::ExecuteClick;
  void ReleasePress(bool AIsSelected, bool& AStop) override;
  void CalcParts() override;
  int PartCount() override;
  bool ClickClosesMenus() override;
  bool HasDropDown() override;
  bool CapturesMouse() override;
  void PaintStyleChanged() override;
  void CloseUp(bool AHasSubMenu) override;
  TdxBarPaintStyle EffectivePaintStyle();
  // Left button down over the control, on its face.
  bool IsPressedNow();

 protected:
  void DoFillDrawParams(bool AFull) override;
  void OpenByPress(bool AByMouse) override;
  bool ArrowInTextColor() override;
  bool HasCustomSelectedTextColor() override;
  int CalcHeight() override;
  int CalcWidth() override;
  int NormalViewHeight() override;
  TdxBarItemControlViewStructure DefaultViewStructure() override;
  TdxBarItemControlViewStructure CalcViewStructure() override;
  bool UnclicksAfterClick() override;
  virtual void AdjustPaintStyle(TdxBarPaintStyle& AStyle);
  bool FDroppedDown = false;
};

// The control of a TdxBarLargeButton: the large image, the item's own size.
class TdxBarLargeButtonControl : public TdxBarButtonControl {
  DECLARE_CLASS(TdxBarLargeButtonControl, TdxBarButtonControl)
  using TdxBarButtonControl::TdxBarButtonControl;
  TdxBarLargeButton* LargeButtonItem() const { return dynamic_cast<TdxBarLargeButton*>(Item()); }

 protected:
  int DropDownArrowWidth() override;
  TdxBarItemControlViewStructure DefaultViewStructure() override;
  TdxBarItemControlViewSize CalcViewSize() override;
  TdxBarItemViewLevels GetPossibleViewLevels() override;
  int HeightForViewSize() override;
  int WidthForViewSize() override;
  void AdjustPaintStyle(TdxBarPaintStyle& AStyle) override { AStyle = psCaption; }
  TdxBarGlyphLayout GlyphLayout() override;
};

// The pending delayed opening and closing of drop-downs in menus (400 ms each).
bool dxBarDropDownOpenPending(TdxBarButtonLikeControl* AControl);
bool dxBarDropDownClosePending(TdxBarButtonLikeControl* AControl);
