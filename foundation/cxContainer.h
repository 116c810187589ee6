// The container: the window control every editor of the library stands on.
// It paints a border, background and optional shadow from the style of its
// current state (normal, focused, disabled, hot), keeps a window region that
// trims the transparent border, and may host one inner window control that
// takes the keyboard, is clipped to the client area and whose native scroll
// bars it mirrors with painted ones.
#pragma once

#include "platform/WinApi.h"
#include "foundation/cxContainerRoutines.h"
#include "foundation/cxContainerStyles.h"
#include "foundation/cxControls.h"

class TcxContainer;

// Private messages of the containers and their popups.
inline constexpr UINT DXM_CLOSEPOPUPWINDOW = 0x807D;        // close a popup
inline constexpr UINT DXM_SHOWPOPUPWINDOW = 0x807E;         // open a popup again
inline constexpr UINT DXM_CONTAINERREFRESH = 0x807F;        // refresh a container's state
inline constexpr UINT DXM_UPDATESCROLLBARS = 0x8080;        // mirror the inner control's scroll bars
inline constexpr UINT DXM_BUFFEREDPAINTONGLASS = 0x8081;    // repaint a container or its inner control on glass

// {1B111318-D9C9-4C35-9EFF-5D95793C0106}
inline constexpr GUID IID_IcxContainerInnerControl = {
    0x1B111318, 0xD9C9, 0x4C35, {0x9E, 0xFF, 0x5D, 0x95, 0x79, 0x3C, 0x01, 0x06}};
// An inner control names itself and the container that hosts it.
class IcxContainerInnerControl {
 public:
  virtual TWinControl* GetControl() = 0;
  virtual TcxContainer* GetControlContainer() = 0;

 protected:
  ~IcxContainerInnerControl() = default;
};

struct TcxContainerActiveStyleData {
  TcxContainerState ContainerState;
  TcxContainerStyle* ActiveStyle = nullptr;
};

struct TcxContainerSizeGripData {
  TRect Bounds;
  bool Visible = false;
};

using TcxContainerViewInfoClass = TClassOf<TcxContainerViewInfo>;

// What the container paints of the state the pointer may change: hovering changes the picture
// only through these.
struct TcxContainerLook {
  bool Active = false;
  bool Disabled = false;
  TcxContainerBorderStyle BorderStyle = cbsNone;
  bool NativeStyle = false;
  int NativeState = 0;
  TColor BorderColor = clNone;
  TColor BackgroundColor = clNone;
  bool Shadow = false;
  bool SkinnedHot = false;   // a skin draws the hot frame from the state, not from a colour
  bool operator==(const TcxContainerLook&) const = default;
};

class TcxContainer : public TcxControl, public IcxMouseTrackingCaller {
  DECLARE_CLASS(TcxContainer, TcxControl)
  explicit TcxContainer(TComponent* AOwner);
  ~TcxContainer() override;
  void AfterConstruction() override;

  // ---- focus and the inner control
  bool Focused() override;
  void SetFocus() override;
  void GetTabOrderList(TList* List) override;
  TDragImageList* GetDragImages() override;
  // Inner controls call these from their default handler and their window
  // procedure and stop when they answer true.
  bool InnerControlDefaultHandler(TMessage& Message);
  bool InnerControlMenuHandler(TMessage& Message);
  // Mirrors the inner control's native scroll bars.
  void SetScrollBarsParameters(bool AIsScrolling = false);
  // The same, later (posted).
  void UpdateScrollBarsParameters();
  // The focus-changed notification (OnFocusChanged), for inner controls and
  // popups.
  void FocusChanged() { AfterFocusChange(); }

  // ---- painting and state
  void Invalidate() override;
  void Update() override;
  bool IsStylePropertyPublished(const String& APropertyName, bool AExtendedStyle);
  void LockAlignControls(bool ALock);
  void LockPopupMenu(bool ALock);
  void RestoreStyles();
  // The state refresh at the present cursor position.
  void ShortRefreshContainer(bool AIsMouseEvent);
  void TranslationChanged() override;
  // The current state style's visible font, in the skin's text colour when
  // the skin has one (owned by the style).
  TFont* StyledFont();

  // ---- properties
  TcxContainerStyles* Styles() const { return FStyles; }
  TcxContainerStyle* Style() const { return FStyles->Style(); }
  void SetStyle(TcxContainerStyle* AValue) { FStyles->SetStyle(AValue); }
  TcxContainerStyle* StyleFocused() const { return FStyles->StyleFocused(); }
  TcxContainerStyle* StyleDisabled() const { return FStyles->StyleDisabled(); }
  TcxContainerStyle* StyleHot() const { return FStyles->StyleHot(); }
  TcxContainerViewInfo* ViewInfo() const { return FViewInfo; }
  TWinControl* InnerControl() const { return FInnerControl; }
  void SetInnerControl(TWinControl* AValue);
  bool InnerControlMouseDown() const { return FInnerControlMouseDown; }
  void SetInnerControlMouseDown(bool AValue) { FInnerControlMouseDown = AValue; }
  bool IsDestroying() const;
  bool OnGlass() const { return FOnGlass; }
  void SetOnGlass(bool AValue) { FOnGlass = AValue; }
  TRect VisibleBounds() { return GetVisibleBounds(); }
  // The view info's client rectangle.
  TRect ClientBounds() override;
  TcxStyleController* FakeStyleController() { return Style()->StyleController(); }
  void SetFakeStyleController(TcxStyleController*) {}
  bool IsViewInfoCalculated() const { return FIsViewInfoCalculated; }
  const TcxContainerInnerControlBounds& InnerControlBounds() const { return FInnerControlBounds; }
  const TcxContainerSizeGripData& SizeGripData() const { return FSizeGripData; }
  void SetDragMode(TDragMode AValue) override;
  void SetDragKind(TDragKind AValue);

  // ---- public virtual operations
  virtual bool HasPopupWindow() { return false; }
  virtual bool IsInplace() { return false; }
  virtual bool PrefersParentColor() { return false; }
  virtual void ClearSavedChildControlRegions() { FInnerControlBounds.IsEmpty = true; }
  virtual TRect GetVisibleBounds();
  virtual bool IsContainerFocused() { return Focused(); }

  // IcxMouseTrackingCaller
  void TrackedMouseLeft() override { HandleMouseLeave(nullptr); }

  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;
  void DragCanceled() override;

 protected:
  // ---- virtual operations introduced
  virtual void ApplyStyleToInnerControl();
  virtual void SyncScrollBarWithInner(TcxControlScrollBar* ABar);
  virtual void RecalcViewInfo(const TPoint& AMousePos, bool AHotTrack);
  virtual bool CanMoveFocusOnTab() { return true; }
  virtual bool IsRegionRectangular();
  virtual bool CanRefreshNow();
  virtual bool AllowsContextPopupAt(const TPoint&) { return true; }
  virtual void TakeColorAndFontFromStyle(TObject* ASender);
  virtual HRGN BuildWindowRegion();
  virtual void QuickRefresh() { ShortRefreshContainer(false); }
  virtual bool InnerControlFallbackHandler(TMessage& Message);
  virtual void HandleQueuedEvents() {}
  virtual bool UpdateStateAt(const TPoint& AMousePos, TcxMouseButton AButton, TShiftState AShift);
  // A refresh the pointer caused repaints the control only when this answers true. A control
  // whose picture depends on nothing the pointer changes but the container's look compares
  // the look it painted with (ABefore) against the one just calculated.
  virtual bool LookChangedByMouse(const TcxContainerLook& /*ABefore*/) { return true; }
  TcxContainerLook CurrentLook() const;
  virtual void HandleMouseLeave(TControl* AControl);
  virtual TcxContainerStyle* CurrentStateStyle();
  virtual TColor ResolveBackgroundColor();
  virtual TColor ResolveBorderColor();
  // Per-side border widths (left, top, right, bottom); result: shadow drawn.
  virtual bool CalcBorderExtents(TRect& AExtents);
  virtual void GetPainterColors(TColor& ABackground, TColor& AText);
  virtual TcxEditStateColorKind GetPainterState();
  virtual TcxContainerInnerControlBounds CalcChildVisiblePart(const TRect& AAlignRect, TWinControl* AChild);
  virtual void CalcBorderFrameRect(TRect& ARect);
  virtual void CalcRegionCutoutRect(TRect& ARect) { ARect = TRect(); }
  virtual TcxContainerStyleClass ContainerStyleClass();
  virtual TcxContainerStylesClass ContainerStylesClass();
  virtual TcxContainerViewInfoClass ContainerViewInfoClass();
  virtual bool IsShadowDrawn();
  virtual void CallInnerControlWndProc(TMessage& Message);
  virtual TcxContainerStyle* PickStyleForState(TcxContainerState AState);
  virtual TcxContainerStyleValues GetHiddenStyleValues() { return TcxContainerStyleValues(); }
  virtual bool IsScrollBarInfoVisible(const SCROLLBARINFO& AInfo);
  virtual bool UsesPlainChildHandling() { return false; }
  virtual bool IsMouseTracked();
  virtual bool IsNativeStyleActive();
  virtual bool IsReadOnlyState() { return false; }
  virtual bool IsTransparentBackground() { return false; }
  virtual void AlignInnerControl();
  virtual void ClipCanvasToWindowRegion();
  virtual void ApplyWindowRegion();
  virtual TdxThemedObjectType NativeThemedObjectType() { return totEdit; }
  virtual int NativeThemePart();
  virtual int NativeThemeState();
  virtual TRect ScreenRectToClientBounds(const TRect& AScreenRect);
  virtual bool IsScrollBarUsable(TcxControlScrollBar* ABar, const SCROLLBARINFO& AInfo);
  virtual bool ReadInnerScrollBarInfo(TScrollBarKind AKind, SCROLLBARINFO& AInfo);
  virtual void FocusInnerControl();
  virtual void ShowScrollBarControl(TcxControlScrollBar* ABar, bool AShow);

  // The state set for the present conditions (hot tracking asked for when
  // AHotTrack and the point lies in the visible bounds).
  TcxContainerState CalculateContainerState(const TPoint& AMousePos, bool AHotTrack);
  // The state refresh; the single path by which the view changes.
  bool RefreshContainer(const TPoint& AMousePos, TcxMouseButton AButton, TShiftState AShift,
                        bool AIsMouseEvent);
  bool IsInnerControlFocused();

  // ---- overrides of the base control
  bool CanFocusOnClick() override;
  bool CanFocusFromScrollBar(TcxControlScrollBar*) override { return false; }
  TcxLookAndFeel* EffectiveLookAndFeel() override;
  bool HasOwnScrollBars() override { return false; }
  bool AllowsDesignDragAt(int, int) override { return false; }
  void RecalcScrollBars() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseEntered(TControl* AControl) override;
  void MouseLeft(TControl* AControl) override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void Paint() override;
  void Resize() override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CreateWindowHandle(const TCreateParams& Params) override;

  // ---- message handlers
  void WMPaint(TWMPaint& Message);
  void WMNCPaint(TMessage& Message);
  void WMNCCalcSize(TWMNCCalcSize& Message);
  void WMSetCursor(TWMSetCursor& Message);
  void WMSetFocus(TWMSetFocus& Message);
  void WMKillFocus(TWMKillFocus& Message);
  void WMWindowPosChanged(TWMWindowPosMsg& Message);
  void WMWindowPosChanging(TWMWindowPosMsg& Message);
  void CMColorChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMParentColorChanged(TMessage& Message);
  void CMParentFontChanged(TMessage& Message);
  void CMCursorChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMCtl3DChanged(TMessage& Message);
  void CMSysColorChange(TMessage& Message);
  void CNCtlColor(TMessage& Message);
  void DXMContainerRefresh(TMessage& Message);
  void DXMUpdateScrollBars(TMessage& Message);
  void DXMBufferedPaintOnGlass(TMessage& Message);

  TcxContainerActiveStyleData FActiveStyleData;
  bool FHasChanges = false;
  TcxContainerInnerControlBounds FInnerControlBounds;
  bool FInnerControlBufferedPaint = false;
  bool FInnerControlMouseDown = false;
  bool FIsViewInfoCalculated = false;
  int FLockAlignControlsCount = 0;
  int FPopupMenuLockCount = 0;
  int FRefreshLockCount = 0;
  bool FMouseRefresh = false;
  bool FScrollBarsCalculating = false;
  TcxContainerSizeGripData FSizeGripData;
  bool FInternalSetting = false;
  bool FIsCreating = false;

 private:
  // The window method of the inner control (the editors replace it).
  void InnerControlWndProc(TMessage& Message);
  TcxContainerState ComputeState(const TPoint& AMousePos, bool AHotTrack);
  TcxContainerHotState ComputeHotState();
  TcxContainerBorderStyle ComputeBorderStyle();

  TWinControl* FInnerControl = nullptr;
  bool FOnGlass = false;
  int FProcessEventsLockCount = 0;
  bool FRepaintOnGlass = false;
  TWndMethod FSaveInnerControlWndProc;
  TcxContainerStyles* FStyles = nullptr;
  TcxContainerViewInfo* FViewInfo = nullptr;
};
