// Item controls: the on-screen object of one item link inside one bar window.
// The control reads its item and link, answers the bar's layout questions
// (view levels, widths and heights), keeps the interaction state (hot part,
// pressed, active), fills the draw parameters and hands the drawing to the
// bar's painter. Button controls (dxBarButtonControls.cpp) add pressing,
// checking, fading and drop-downs.
#pragma once

#include "bars/controls/dxBarPaintRoutines.h"
#include "bars/model/dxBar.h"
#include "bars/model/dxBarHints.h"
#include "foundation/cxGraphicsRoutines.h"
#include "platform/gui/Controls.h"
#include "platform/gui/StdCtrls.h"

#include <vector>

class TCanvas;
class TCustomImageList;
class TcxAlphaBitmap;
class TcxCanvas;
class TcxStyle;
class TCustomdxBarControl;
class TdxBarControl;
class TdxBarItemControl;
class TdxBarPainter;
class TdxFader;
class IdxFadingElementData;

DECLARE_ENUM(TdxBarPaintType, ptHorz, ptMenu, ptVert)
DECLARE_ENUM(TdxBarItemControlViewSize, cvsSmall, cvsMedium, cvsLarge)
DECLARE_ENUM(TdxBarItemControlPart, cpIcon, cpText)
using TdxBarItemControlViewStructure = TSet<TdxBarItemControlPart, 8>;
DECLARE_ENUM(TdxBarButtonGroupRealPosition, bgrpNone, bgrpStart, bgrpMember, bgrpFinish, bgrpSingle)
// The level a control takes when its bar has no preference.
inline constexpr TdxBarItemViewLevel ivlDefault = static_cast<TdxBarItemViewLevel>(4);
// The levels a control really shows (ivlLargeIconWithText .. ivlControlOnly).
using TdxBarItemRealViewLevel = TdxBarItemViewLevel;

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

// The application-menu button: its content is as wide as the item asks.
class TdxBarApplicationMenuButtonControlDrawParams : public TdxBarButtonLikeControlDrawParams {
  DECLARE_CLASS(TdxBarApplicationMenuButtonControlDrawParams, TdxBarButtonLikeControlDrawParams)
  using TdxBarButtonLikeControlDrawParams::TdxBarButtonLikeControlDrawParams;
  int ContentWidth = 0;
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

// What a look that fades hot buttons draws: the normal and the hot image of
// a button (the control's draw parameters say which) and of a toolbar's mark.
class IdxBarFadingPainter {
 public:
  // Whether the images must be made opaque before they fade.
  virtual bool FadingImagesNeedOpaque() const = 0;
  virtual void DrawMarkFadingImage(TdxBarControl* ABarControl, HDC DC, bool AHot, const TRect& R) const = 0;
  // Draws the button's background on its parameters' canvas.
  virtual void DrawButtonFadingImage(TdxBarItemControlDrawParams* AParams) const = 0;

 protected:
  ~IdxBarFadingPainter() = default;
};

// How the bar's layout reads and writes one control's record.
class IdxBarItemControlViewInfo {
 public:
  virtual TdxBarItemAlign GetAlign() = 0;
  virtual TdxBarItemViewLevels GetAllowedViewLevels() = 0;
  virtual TRect GetBounds() = 0;
  virtual bool GetBeginGroup() = 0;
  // The link's place in a button group (none for a control outside groups).
  virtual TdxBarButtonGroupPosition GetButtonGroupPosition() = 0;
  virtual TdxBarItemViewLevel GetViewLevel() = 0;
  virtual int GetWidthAtViewLevel(TdxBarItemViewLevel ALevel) = 0;
  virtual bool GetSupportsMultiColumnLayout() = 0;
  virtual void PutBounds(const TRect& AValue) = 0;
  virtual void PutColumnRowCount(int AValue) = 0;
  virtual void PutRealPositionInButtonGroup(TdxBarButtonGroupRealPosition AValue) = 0;
  virtual void PutViewLevel(TdxBarItemViewLevel AValue) = 0;

 protected:
  ~IdxBarItemControlViewInfo() = default;
};

// A control laid out in several columns (a gallery) answers its widths
// itself while it is not collapsed. No control of this system does yet; the
// layout asks for it all the same.
class IdxBarMultiColumnItemControlViewInfo {
 public:
  virtual bool IsCollapsed() = 0;
  virtual int GetColumnCount() = 0;
  virtual int GetWidthForColumnCount(int AColumnCount) = 0;

 protected:
  ~IdxBarMultiColumnItemControlViewInfo() = default;
};

// The control's record in its bar's layout: the allowed levels, the current
// level and the width per level, measured once.
class TdxBarItemControlViewInfo : public TcxInterfacedPersistent, public IdxBarItemControlViewInfo {
  DECLARE_CLASS(TdxBarItemControlViewInfo, TcxInterfacedPersistent)
  explicit TdxBarItemControlViewInfo(TdxBarItemControl* AControl);
  virtual void ResetCachedValues();

  TdxBarItemControl* Control() const { return FControl; }
  TdxBarItemViewLevels AllowedViewLevels() const { return FAllowedViewLevels; }
  TdxBarItemRealViewLevel MinPossibleViewLevel() const { return FMinPossibleViewLevel; }
  TdxBarItemRealViewLevel ViewLevelForButtonGroup() const { return FViewLevelForButtonGroup; }
  TdxBarItemViewLevel ViewLevel() const { return FViewLevel; }
  void SetViewLevel(TdxBarItemViewLevel AValue) { FViewLevel = AValue; }
  const TRect& Bounds() const { return FBounds; }
  void SetBounds(const TRect& AValue) { FBounds = AValue; }
  // Read and written by the layout and the painter.
  TRect ImageBounds;
  int ColumnRowCount() const { return FColumnRowCount; }
  void SetColumnRowCount(int AValue) { FColumnRowCount = AValue; }
  int Row() const { return FRow; }
  void SetRow(int AValue) { FRow = AValue; }
  TdxBarButtonGroupRealPosition RealPositionInButtonGroup() const { return FRealPositionInButtonGroup; }
  void SetRealPositionInButtonGroup(TdxBarButtonGroupRealPosition AValue) { FRealPositionInButtonGroup = AValue; }
  // The control's width at an allowed level, measured once per level.
  int WidthAtViewLevel(TdxBarItemViewLevel ALevel);
  bool SupportsMultiColumnLayout();

  // IdxBarItemControlViewInfo
  TdxBarItemAlign GetAlign() override;
  TdxBarItemViewLevels GetAllowedViewLevels() override { return FAllowedViewLevels; }
  TRect GetBounds() override { return FBounds; }
  bool GetBeginGroup() override;
  TdxBarButtonGroupPosition GetButtonGroupPosition() override;
  TdxBarItemViewLevel GetViewLevel() override { return FViewLevel; }
  int GetWidthAtViewLevel(TdxBarItemViewLevel ALevel) override { return WidthAtViewLevel(ALevel); }
  bool GetSupportsMultiColumnLayout() override { return SupportsMultiColumnLayout(); }
  void PutBounds(const TRect& AValue) override { FBounds = AValue; }
  void PutColumnRowCount(int AValue) override { FColumnRowCount = AValue; }
  void PutRealPositionInButtonGroup(TdxBarButtonGroupRealPosition AValue) override {
    FRealPositionInButtonGroup = AValue;
  }
  void PutViewLevel(TdxBarItemViewLevel AValue) override { FViewLevel = AValue; }

 private:
  struct TLevelInfo {
    bool Cached = false;
    int Width = 0;
  };
  TdxBarItemViewLevels FAllowedViewLevels;
  TRect FBounds;
  int FColumnRowCount = 0;
  TdxBarItemRealViewLevel FMinPossibleViewLevel = ivlSmallIconWithText;
  TdxBarButtonGroupRealPosition FRealPositionInButtonGroup = bgrpNone;
  int FRow = 0;
  TdxBarItemViewLevel FViewLevel = ivlDefault;
  TdxBarItemRealViewLevel FViewLevelForButtonGroup = ivlSmallIconWithText;
  TLevelInfo FViewLevelInfos[4];
  TdxBarItemControl* FControl;
};

// One rendered image of a control, kept while its draw mode and its source
// (the glyph, or without one the image list) stay the same; the bar module's
// glyph drawing (dxBarDrawItemGlyph) renders into it and draws from it.
class TdxCachedImageOptions : public TObject, public IdxBarGlyphCache {
  DECLARE_CLASS(TdxCachedImageOptions, TObject)
  TdxCachedImageOptions();
  ~TdxCachedImageOptions() override;

  // IdxBarGlyphCache: renders the glyph (or AImages[AImageIndex]) as large
  // as ARect in the mode.
  void Cache(const TRect& ARect, TBitmap* AGlyph, TCustomImageList* AImages, int AImageIndex,
             TcxImageDrawMode ADrawMode, bool ASmoothImage, TColor ATransparentColor,
             bool AUseLeftBottomPixelAsTransparent) override;
  bool IsCached(TcxImageDrawMode ADrawMode, TBitmap* AGlyph, TCustomImageList* AImages) const override;
  // The rendering; empty before the first.
  TBitmap* CachedGlyph() override;
  void Reset() { FCached = false; }
  bool Cached() const { return FCached; }
  TcxAlphaBitmap* Glyph() const { return FGlyph; }

 private:
  bool FCached = false;
  TcxAlphaBitmap* FGlyph = nullptr;
  TcxImageDrawMode FCachedDrawMode = idmNormal;
  TCustomImageList* FCachedImages = nullptr;
  TBitmap* FCachedGlyph = nullptr;
};

// The font an item's style puts on the paint canvas, kept so that it can be
// put back.
struct TdxBarSavedFont {
  bool Changed = false;
  LOGFONTW Font{};
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
  TdxCachedImageOptions* CachedImageOptions() const { return FCachedImageOptions; }
  IdxBarGlyphCache* GlyphCache() override;
  virtual const TdxBarPainter* Painter() const;
  TClass PainterClass() const;
  TRect ItemBounds() const;
  virtual bool Enabled();
  bool IsActive() override { return FIsActive; }
  bool IsSelected();
  bool IsPressed() const { return FPressed; }
  int HotPartIndex() const { return FHotPartIndex; }
  const std::vector<TRect>& Parts() const { return FParts; }
  bool SelectedByMouse() const { return FSelectedByMouse; }
  void SetSelectedByMouse(bool AValue) { FSelectedByMouse = AValue; }
  int TextSize() const { return FTextSize; }
  // The data of the running hot-track fade, nil when none runs.
  IdxFadingElementData* FadingElementData() const { return FFadingElementData; }
  // The accessible object of the control; the accessibility layer makes it
  // on the first request (nil until that layer is there).
  TObject* IAccessibilityHelper();
  // Written by the toolbar layout.
  bool BreakingRow = false;
  bool LastInRow = false;
  // Written by the sub-menu: the link is a rarely used one, and the border
  // between the recent and the rarely used links lies before it.
  bool NonRecent = false;
  bool ChangeRecentGroup = false;

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
  virtual void FillDrawParams(bool AFull);

  // Painting: the control into a rectangle of any canvas.
  void Paint(TcxCanvas* ACanvas, const TRect& ARect, TdxBarPaintType APaintType);
  TcxCanvas* GetPaintCanvas();
  HBRUSH BackgroundBrush();
  void Repaint() override;
  virtual bool PaintsWholeArea() { return true; }
  virtual bool SupportsTransparency() { return false; }
  virtual bool DrawsShadow();
  virtual bool DrawsImageAsIs();
  virtual bool DrawsGrayScaleGlyph() { return false; }
  // The item's style font on the paint canvas; keeps the bar's text rotation.
  void ApplyStyleFont(HFONT AFontHandle, TcxStyle* AStyle, TdxBarSavedFont& ASaved);
  void RestoreStyleFont(TdxBarSavedFont& ASaved);

  // Images.
  virtual bool ResolveImage(TdxBarItemControlViewSize ASize, bool AHot, int& AIndex, TCustomImageList*& AList,
                            TBitmap*& AGlyph);
  bool HasImage(TdxBarItemControlViewSize ASize);
  TSize GetImageSize(TdxBarItemControlViewSize ASize, bool AHot = false);
  TdxBarItemControlViewSize ViewSizeForLevel(TdxBarItemViewLevel ALevel);
  TdxBarItemViewLevel CurrentViewLevel() const { return FViewInfo ? FViewInfo->ViewLevel() : ivlDefault; }
  bool LargeIconsActive();
  // The manager's glyph size now (16 without a manager).
  int CurrentGlyphSize();
  // The text height the control measures with: its own with a style font.
  int EffectiveTextSize();
  virtual TCustomImageList* FetchHotImages();

  // Interaction, called by the bar window (its dynamic handlers).
  virtual void HandleMouseDown(TMouseButton, TShiftState, int, int) {}
  virtual void HandleMouseUp(TMouseButton, TShiftState, int, int) {}
  virtual void HandleMouseEnter(TShiftState, int X, int Y) { TrackHotPart(TPoint(X, Y)); }
  virtual void HandleMouseLeave() { TrackHotPart(TPoint(-1, -1)); }
  virtual void HandleMouseMove(TShiftState, int X, int Y) { TrackHotPart(TPoint(X, Y)); }
  virtual void HandleKeyDown(Word&, TShiftState) {}
  virtual void HandleKeyUp(Word&, TShiftState) {}
  virtual void HandleKeyPress(Char&) {}
  virtual bool AcceptsDoubleClick();
  virtual void DefaultDoubleClickAction() {}
  void TrackHotPart(TPoint APoint);
  void PressAndClick(bool AByMouse);
  // An accelerator chose the control: it is pressed and clicked as by a key.
  void PressAndClickByKey() override { PressAndClick(false); }
  virtual void BecomeActive(bool AImmediately, bool AByMouse);
  virtual void BecomeInactive(bool AImmediately);
  virtual void Press(bool) {}
  using TdxBarItemControlBase::ExecuteClick;
  void ExecuteClick() override { ExecuteClick(false); }
  virtual void ExecuteClick(bool AByMouse);
  virtual void ReleasePress(bool AIsSelected, bool& AStop);
  void SetPressed(bool AValue);
  virtual bool DrawsSelected() { return IsSelected(); }
  // Whether a virtual key opens the control's drop-down.
  virtual bool IsAcceleratorChar(Word) { return false; }
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
  virtual bool CanLeaveFor(TdxBarManager*) { return CanLeave(); }
  virtual bool SupportsButtonGroup() { return false; }
  virtual bool ReservedQuery() { return false; }
  virtual bool UsesParentSubMenuStyle() { return false; }
  virtual bool HasToolbarHint();
  // Whether the window is the bar's window or one of its children.
  virtual bool OwnsWindow(HWND AWnd);
  // The window of a window-hosting control, nil here.
  virtual TObject* EmbeddedEditor() { return nullptr; }
  virtual TCustomdxBarControl* OpenSubMenuControl() { return nullptr; }
  virtual TRect GetWindowArea() { return TRect(); }
  virtual void ShowOwnedWindows(bool) {}
  virtual void ParentWindowDestroying() {}
  virtual void VisibilityNotified(bool) {}
  // Sizing by the mouse (controls with a size grip); the toolbar ends it with
  // True on the left button's release, with False when it loses the capture.
  virtual void BeginSizing(TPoint) {}
  virtual bool IsSizingPoint(TPoint) { return false; }
  virtual void EndSizing(bool) {}
  virtual void TrackSizing(TPoint) {}
  // The short part of the item's hint.
  String ShortHint();

  // Hints: the hint of the selected control of a bar that shows item hints.
  virtual bool QueryHint(bool& ASuppressed, String& AHint, String& AShortCut);
  virtual void FetchHintTexts(String& AHint, String& AShortCut);
  // IdxBarHintSource
  bool GetHintInfo(String& AHint, String& AShortCut) override;
  bool IsHintEnabled() override { return Enabled(); }
  TdxBarCustomHintViewInfo* MakeHintView(const String& AHint, const String& AShortCut) override;
  TPoint CalcHintPlacement(const TPoint& ACursorPos, int AWindowHeight) override;

  // Hot-track fading: the fader calls these from its timer.
  virtual bool CanAnimateFading() { return false; }
  virtual void RepaintForFading() { Repaint(); }
  virtual void StoreFadingData(IdxFadingElementData* AData) { FFadingElementData = AData; }
  virtual void ReleaseFadingData() { FFadingElementData = nullptr; }
  // The normal and the hot image (32-bit bitmaps the caller frees), nil when none.
  virtual void PrepareFadingImages(TBitmap*& ANormal, TBitmap*& AHot) {
    ANormal = nullptr;
    AHot = nullptr;
  }
  TdxFader* QueryFader();

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
  virtual TClass ControlViewInfoClass() { return TdxBarItemControlViewInfo::StaticClass(); }
  // The accessibility helper's class: the accessibility layer names it.
  virtual String AccessibilityHelperClass() { return L"TdxBarItemControlAccessibilityHelper"; }
  virtual TdxBarItemViewLevels GetPossibleViewLevels();
  virtual TdxBarItemControlViewStructure CalcViewStructure();
  virtual TdxBarItemControlViewStructure DefaultViewStructure() { return {}; }
  virtual TdxBarItemControlViewSize CalcViewSize();
  virtual TdxBarPaintType QueryPaintType();
  virtual void DrawInterior(const TRect&, TdxBarPaintType) {}
  virtual void PressedChanged();
  virtual bool UnclicksAfterClick() { return true; }
  virtual void CalcDrawingConsts();
  virtual int CalcTextAreaOffset();
  virtual TRect QueryIndents(int APart);
  virtual TdxBarMenuItemSize OwnerItemSizeMode();
  // The item's style (its first style slot), nil when it has none.
  TcxStyle* ItemStyle();
  bool StyleAssignsFont();

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
  virtual int GetCaptionOffset();
  virtual bool OnVerticalBar();

  // Images and texts.
  virtual String FetchCaption();
  virtual TBitmap* FetchGlyph();
  virtual int FetchImageIndex();
  virtual int FetchLargeImageIndex();
  virtual TBitmap* FetchLargeGlyph();
  virtual String FetchHint();
  virtual TShortCut FetchShortCut();
  virtual TCustomImageList* SmallImageList();
  virtual TCustomImageList* LargeImageList();
  virtual TCustomImageList* ImageListForSize(TdxBarItemControlViewSize ASize);
  virtual int ImageIndexForSize(TdxBarItemControlViewSize ASize);
  bool UsesLargeImages(TdxBarItemControlViewSize ASize);
  bool HasLargeImage(TdxBarItemControlViewSize ASize);
  bool HasLargeGlyph(TdxBarItemControlViewSize ASize);
  virtual TdxBarGlyphLayout GlyphLayout();

  TcxCanvas* FActiveCanvas = nullptr;
  HBRUSH FBkBrush = nullptr;
  TdxCachedImageOptions* FCachedImageOptions = nullptr;
  IdxFadingElementData* FFadingElementData = nullptr;
  TObject* FIAccessibilityHelper = nullptr;
  bool FIsActive = false;
  TCustomdxBarControl* FParent = nullptr;
  bool FPressed = false;
  bool FSelectedByMouse = false;
  int FTextSize = 0;
  TdxBarItemControlDrawParams* FDrawParams = nullptr;
  int FHotPartIndex = -1;
  std::vector<TRect> FParts;
  TdxBarItemControlViewInfo* FViewInfo = nullptr;

 private:
  // The object the fader animates for the control (made on the first fade).
  TObject* FFadingObject = nullptr;
  TObject* FadingObject();
};

// Makes the accessible object of an item control; filled by the
// accessibility layer (nil until then: controls have none).
using TdxBarItemControlAccessibilityHelperFactory = TObject* (*)(TdxBarItemControl* AControl, const String& AClassName);
TdxBarItemControlAccessibilityHelperFactory& dxBarItemControlAccessibilityHelperFactory();

// Everything that presses, hot-tracks and may open a drop-down.
class TdxBarButtonLikeControl : public TdxBarItemControl {
  DECLARE_CLASS(TdxBarButtonLikeControl, TdxBarItemControl)
  using TdxBarItemControl::TdxBarItemControl;
  void BeforeDestruction() override;

  // Whether the next drop-down the control opens is animated: the bar sets
  // it before it opens one on a user action.
  bool ShowAnimation = false;
  void FillDrawParams(bool AFull) override;
  bool SupportsButtonGroup() override { return true; }
  bool CanAnimateFading() override;
  void PrepareFadingImages(TBitmap*& ANormal, TBitmap*& AHot) override;
  void BecomeActive(bool AImmediately, bool AByMouse) override;
  void BecomeInactive(bool AImmediately) override;
  void ReleasePress(bool AIsSelected, bool& AStop) override;
  void HandleKeyDown(Word& AKey, TShiftState AShift) override;
  bool IsAcceleratorChar(Word AKey) override;
  virtual void CloseUp(bool AHasSubMenu);
  virtual void DropDown(bool) {}
  virtual bool CanDropDownNow();
  // The sub-menu window the control opens; nil here.
  virtual TCustomdxBarControl* SubMenuControl() { return nullptr; }
  virtual int DropDownArrowWidth();

 protected:
  TClass DrawParamsClass() override { return TdxBarButtonLikeControlDrawParams::StaticClass(); }
  String AccessibilityHelperClass() override { return L"TdxBarButtonLikeControlAccessibilityHelper"; }
  TdxBarButtonLikeControlDrawParams* ButtonParams() const {
    return static_cast<TdxBarButtonLikeControlDrawParams*>(FDrawParams);
  }
  void DrawInterior(const TRect& ARect, TdxBarPaintType APaintType) override;
  virtual void OpenByPress(bool AByMouse);
  virtual bool ArrowInTextColor();
  virtual bool HasCustomSelectedTextColor();
};

// The control of a TdxBarButton: plain, checked and drop-down styles.
class TdxBarButtonControl : public TdxBarButtonLikeControl {
  DECLARE_CLASS(TdxBarButtonControl, TdxBarButtonLikeControl)
  using TdxBarButtonLikeControl::TdxBarButtonLikeControl;

  TdxBarButton* ButtonItem() const { return dynamic_cast<TdxBarButton*>(Item()); }
  bool IsDroppedDown() override;
  bool DroppedDownFlag() const { return FDroppedDown; }
  bool DrawsSelected() override;
  void FillDrawParams(bool AFull) override;
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
  void DropDown(bool AByMouse) override;
  TCustomdxBarControl* SubMenuControl() override;
  TCustomdxBarControl* OpenSubMenuControl() override { return SubMenuControl(); }
  TdxBarPaintStyle EffectivePaintStyle();
  // The face is held down by the left button, or the control is pressed.
  bool IsPressedNow();
  // The left button is held down over the arrow of a drop-down button.
  bool DropDownPartPressed();

 protected:
  String AccessibilityHelperClass() override { return L"TdxBarButtonControlAccessibilityHelper"; }
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

// The control of a TdxBarLargeButton: the large and hot images, the item's
// own size and grey-scale glyphs.
class TdxBarLargeButtonControl : public TdxBarButtonControl {
  DECLARE_CLASS(TdxBarLargeButtonControl, TdxBarButtonControl)
  using TdxBarButtonControl::TdxBarButtonControl;
  TdxBarLargeButton* LargeButtonItem() const { return dynamic_cast<TdxBarLargeButton*>(Item()); }
  int DropDownArrowWidth() override;
  void HotImageChanged() override { LargeImageChanged(); }
  void LargeImageChanged() override;
  bool ResolveImage(TdxBarItemControlViewSize ASize, bool AHot, int& AIndex, TCustomImageList*& AList,
                    TBitmap*& AGlyph) override;
  bool DrawsGrayScaleGlyph() override;

 protected:
  TdxBarItemControlViewStructure DefaultViewStructure() override;
  TdxBarItemControlViewSize CalcViewSize() override;
  TdxBarItemViewLevels GetPossibleViewLevels() override;
  int HeightForViewSize() override;
  int WidthForViewSize() override;
  bool OnVerticalBar() override;
  void AdjustPaintStyle(TdxBarPaintStyle& AStyle) override { AStyle = psCaption; }
};

// The control of the application-menu button.
class TdxBarApplicationMenuButtonControl : public TdxBarButtonLikeControl {
  DECLARE_CLASS(TdxBarApplicationMenuButtonControl, TdxBarButtonLikeControl)
  using TdxBarButtonLikeControl::TdxBarButtonLikeControl;
  void FillDrawParams(bool AFull) override;
  void CaptionChanged() override;
  void ImageChanged() override;
  void LinkVisibilityChanged() override;
  void WidthChanged() override;

 protected:
  TClass DrawParamsClass() override { return TdxBarApplicationMenuButtonControlDrawParams::StaticClass(); }
  void DrawInterior(const TRect& ARect, TdxBarPaintType APaintType) override;
  TdxBarItemControlViewStructure DefaultViewStructure() override;
  TdxBarPaintType QueryPaintType() override { return ptHorz; }
  int WidthForViewSize() override;
  void RepaintParentWindow();
};

// The delayed opening and closing of drop-downs in menus (400 ms each):
// one pending opening and one pending closing in the process.
bool dxBarDropDownOpenPending(TdxBarButtonLikeControl* AControl);
bool dxBarDropDownClosePending(TdxBarButtonLikeControl* AControl);
// The thread timers behind them (0 when none runs), and what each runs when
// it fires, as the tests drive them.
UINT_PTR dxBarDropDownOpenTimer();
UINT_PTR dxBarDropDownCloseTimer();
void dxBarDropDownOpenTimerFired();
void dxBarDropDownCloseTimerFired();
