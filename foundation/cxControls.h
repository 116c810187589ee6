// The library's base window control: a library canvas, an owned
// look-and-feel, an optional painter-drawn border, its own scroll bars and
// size grip, the wanted-keys set, a popup menu of either kind, font
// listeners, a mouse-capture object, its own drag and drop and design-time
// hit testing. Also the child component that belongs to such a control and
// the module's start-up and shutdown.
#pragma once

#include "platform/WinApi.h"
#include "platform/gui/Controls.h"
#include "platform/gui/StdCtrls.h"
#include "foundation/cxClassesComponents.h"
#include "foundation/cxControlsRoutines.h"
#include "foundation/cxControlsTracking.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/cxScrollBar.h"
#include "foundation/dxCore.h"

class TcxCanvas;
class TcxControl;
class TcxControlChildComponent;
class TcxDragAndDropObject;
class TcxDragImageList;
class IcxFontListener;

DECLARE_ENUM(TcxControlBorderStyle, cxcbsNone, cxcbsDefault)
DECLARE_ENUM(TcxDragAndDropState, ddsNone, ddsStarting, ddsInProcess)
DECLARE_ENUM(TcxKey, kAll, kArrows, kChars, kTab)
using TcxKeys = TSet<TcxKey, 4>;
DECLARE_ENUM(TcxDirection, dirNone, dirLeft, dirRight, dirUp, dirDown)

// {6065B58B-C557-4464-A67D-64183FD13F25}
inline constexpr GUID IID_IcxLookAndFeelAccess = {
    0x6065B58B, 0xC557, 0x4464, {0xA6, 0x7D, 0x64, 0x18, 0x3F, 0xD1, 0x3F, 0x25}};
class IcxLookAndFeelAccess {
 public:
  virtual TcxLookAndFeel* GetLookAndFeel() = 0;

 protected:
  ~IcxLookAndFeelAccess() = default;
};

// {ACB73657-6066-4564-9A3D-D4D0273AA82F}
inline constexpr GUID IID_IcxCaptureHolder = {
    0xACB73657, 0x6066, 0x4564, {0x9A, 0x3D, 0xD4, 0xD0, 0x27, 0x3A, 0xA8, 0x2F}};
// A mouse-capture object that wants to know when it loses the capture.
class IcxCaptureHolder {
 public:
  virtual void CancelCapture() = 0;

 protected:
  ~IcxCaptureHolder() = default;
};

using TcxDragAndDropObjectClass = TClassOf<TcxDragAndDropObject, TcxControl*>;
using TcxDragImageListClass = TClassOf<TcxDragImageList, TComponent*>;

// ---------------------------------------------------------------------------
// The control's own scroll bars and size grip
// ---------------------------------------------------------------------------

// The pending state of one bar while the control decides which bars show.
struct TcxScrollBarData {
  int Min = 0;
  int Max = 0;
  int Position = 0;
  int PageSize = 0;
  TScrollBarInc SmallChange = 1;
  TScrollBarInc LargeChange = 1;
  bool Enabled = false;
  bool Visible = false;
  bool AllowShow = false;
  bool AllowHide = false;
};

class TcxControlScrollBar : public TcxScrollBar {
  DECLARE_CLASS(TcxControlScrollBar, TcxScrollBar)
  explicit TcxControlScrollBar(TComponent* AOwner);
  ~TcxControlScrollBar() override;

  // Makes the bar what Data says.
  void ApplyData();
  TcxScrollBarData Data;

  void WndProc(TMessage& Message) override;

 protected:
  virtual void FocusParent();
  void CMDesignHitTest(TMessage& Message);
};

class TcxSizeGrip : public TCustomControl {
  DECLARE_CLASS(TcxSizeGrip, TCustomControl)
  explicit TcxSizeGrip(TComponent* AOwner);
  ~TcxSizeGrip() override;
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel; }

 protected:
  void Paint() override;
  void WMEraseBkgnd(TWMEraseBkgnd& Message);

 private:
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues);
  TcxLookAndFeel* FLookAndFeel = nullptr;
};

// ---------------------------------------------------------------------------
// TcxControl
// ---------------------------------------------------------------------------

class TcxControl : public TCustomControl, public IdxLocalizerListener, public IcxLookAndFeelAccess {
  DECLARE_CLASS(TcxControl, TCustomControl)
  explicit TcxControl(TComponent* AOwner);
  ~TcxControl() override;
  void AfterConstruction() override;

  // ---- canvas and invalidation
  // The control's canvas with a window; without one a screen canvas made once.
  TcxCanvas* ActiveCanvas();
  TcxCanvas* Canvas() const { return FCanvas; }
  void InvalidateRect(const TRect& R, bool EraseBackground);
  void InvalidateRgn(HRGN ARegion, bool EraseBackground);
  void InvalidateWithChildren();
  void UpdateWithChildren();

  // ---- mouse
  bool IsMouseInPressedArea(int X, int Y);
  void PostMouseMove();
  void PostMouseMove(const TPoint& AMousePos);
  const TPoint& MouseDownPos() const { return FMouseDownPos; }
  TObject* MouseCaptureObject() const { return FMouseCaptureObject; }
  void SetMouseCaptureObject(TObject* AValue);
  virtual bool AcceptMousePosForClick(int X, int Y);

  // ---- scrolling
  void ScrollContent(TcxDirection ADirection);
  void ScrollWindow(int DX, int DY, const TRect& AScrollRect);
  void SetScrollBarInfo(TScrollBarKind AScrollBarKind, int AMin, int AMax, int AStep, int APage, int APos,
                        bool AAllowShow, bool AAllowHide);
  void LockScrollBars();
  void UnlockScrollBars();
  bool IsHScrollBarVisible();
  bool IsVScrollBarVisible();
  TcxControlScrollBar* HScrollBar() const { return FHScrollBar; }
  TcxControlScrollBar* VScrollBar() const { return FVScrollBar; }
  TcxSizeGrip* SizeGrip() const { return FSizeGrip; }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle AValue);
  bool IsScrollingContent() const { return FIsScrollingContent; }
  // The thread timer of a running panning (0 when none).
  UINT_PTR PanningTimerID() const { return FPanningTimerID; }

  // ---- font listeners
  void AddFontListener(IcxFontListener* AListener);
  void RemoveFontListener(IcxFontListener* AListener);

  // ---- drag and drop
  virtual void BeginDragAndDrop();
  void FinishDragAndDrop(bool Accepted);
  virtual bool StartDrag(TDragObject* DragObject);
  TDragImageList* GetDragImages() override;
  TcxDragAndDropObject* DragAndDropObject();
  virtual TcxDragAndDropObjectClass DragAndDropObjectClass();
  void SetDragAndDropObjectClass(TcxDragAndDropObjectClass AValue) { FDragAndDropObjectClass = AValue; }
  TcxDragAndDropState DragAndDropState() const { return FDragAndDropState; }
  void SetDragAndDropState(TcxDragAndDropState AValue);
  virtual bool IsCopyDragKeyDown();

  // ---- focus
  virtual bool CanFocusEx();
  bool FocusOnClick() const { return FFocusOnClick; }
  void SetFocusOnClick(bool AValue) { FFocusOnClick = AValue; }

  // ---- other properties
  // The content rectangle: set explicitly, else the client rectangle (the
  // window's own bounds are SetBoundsRect / SetBounds with four numbers).
  virtual TRect Bounds();
  void SetBounds(const TRect& AValue);
  using TCustomControl::SetBounds;
  virtual TRect ClientBounds();
  TcxControlBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TcxControlBorderStyle AValue);
  TcxKeys Keys() const { return FKeys; }
  void SetKeys(TcxKeys AValue) { FKeys = AValue; }
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel; }
  void SetLookAndFeel(TcxLookAndFeel* AValue);
  // A TPopupMenu or a component implementing IcxMenuPopupSource; anything
  // else is stored as null.
  TComponent* PopupMenuComponent() const { return FPopupMenu; }
  void SetPopupMenuComponent(TComponent* AValue);
  // The platform's query: the menu only when it is a TPopupMenu.
  TPopupMenu* PopupMenu() override;
  virtual bool IsDesigning();
  virtual bool IsFocused();
  void TranslationChanged() override {}

  // IcxLookAndFeelAccess
  TcxLookAndFeel* GetLookAndFeel() override { return EffectiveLookAndFeel(); }

  TNotifyEvent OnFocusChanged;

  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  // ---- virtual operations introduced
  virtual bool ShowContextPopupMenu(TComponent* APopupMenu, int X, int Y);
  virtual void NotifyDesignerModified();
  virtual void StartMouseDownAction(TMouseButton AButton, int X, int Y);
  virtual void BeforeMouseDown(TMouseButton /*AButton*/, TShiftState /*AShift*/, int /*X*/, int /*Y*/) {}
  virtual void BringInternalControlsToFront();
  virtual void CancelMouseOperations();
  virtual int BorderExtent();
  virtual TCursor DefaultCursorValue(int X, int Y);
  virtual TScrollStyle MouseWheelScrollKind();
  virtual void ParentInternalControls();
  virtual bool CanFocusOnClick();
  virtual bool CanFocusOnClickAt(int X, int Y);
  virtual bool CanFocusFromScrollBar(TcxControlScrollBar* AScrollBar);
  virtual bool WantsDefaultEraseBkgnd() { return false; }
  // False when the control's paint sets every pixel of what it repaints exactly once, so that
  // drawing straight onto the window cannot flicker and a buffer would only cost a copy.
  virtual bool PaintsThroughBuffer() { return true; }
  virtual bool IsInternalControl(TControl* AControl);
  virtual bool NeedsRedrawOnResize() { return false; }
  virtual bool AdjustsMousePosOnFocus() { return true; }
  virtual void ParentBackgroundChanged() {}
  virtual TcxLookAndFeel* EffectiveLookAndFeel() { return FLookAndFeel; }
  virtual TcxCustomLookAndFeelPainterClass ActivePainter();
  virtual void LookAndFeelChanged(TcxLookAndFeel* /*Sender*/, TcxLookAndFeelValues /*AChangedValues*/) {}
  virtual bool CanScrollContent(TcxDirection /*ADirection*/) { return false; }
  virtual void CalcHScrollBarBounds(TRect& R);
  virtual void CalcSizeGripBounds(TRect& R);
  virtual void CalcVScrollBarBounds(TRect& R);
  virtual void CalcScrollBarParams() {}
  virtual bool CanDropRedundantScrollBar(TScrollBarKind /*AKind*/) { return false; }
  virtual bool HasOwnScrollBars() { return true; }
  virtual bool KeepsScrollBarsInFront();
  virtual void HandleScroll(TScrollBarKind /*AKind*/, TScrollCode /*AScrollCode*/, int& /*APos*/) {}
  virtual void PlaceScrollBars();
  virtual void RefreshScrollBarStates();
  virtual void RecalcScrollBars();
  virtual bool AllowsDesignDragAt(int /*X*/, int /*Y*/) { return true; }
  virtual void DrawDragImage(TcxCanvas* /*ACanvas*/, const TRect& /*R*/) {}
  virtual TcxDragImageListClass GetDragImagesClass();
  virtual TPoint GetDragImageSize() { return {0, 0}; }
  virtual bool HasDragImages() { return false; }
  virtual void InitDragImages(TcxDragImageList* AImages);

  // ---- notifications (dynamic in the platform)
  virtual void AddChildComponent(TcxControlChildComponent* AComponent);
  virtual void RemoveChildComponent(TcxControlChildComponent* AComponent);
  virtual void ResetMouseState();
  virtual bool DesignHitTestAt(int X, int Y, TShiftState AShift);
  virtual TClass DragObjectClass();
  virtual void MouseEntered(TControl* AControl);
  virtual void MouseLeft(TControl* AControl);
  virtual bool IsFocusAllowed() { return true; }
  virtual void AfterBoundsChange();
  virtual void AfterColorChange() {}
  virtual void AfterCursorChange();
  virtual void AfterFocusChange();
  virtual void AfterFontChange();
  virtual void AfterTextChange() {}
  virtual void AfterVisibleChange() {}
  virtual bool MayKeepMouseUnfocused() { return false; }
  virtual void StepDragAndDrop(const TPoint& P, bool& Accepted);
  virtual void EndDragAndDrop(bool Accepted);
  virtual bool CanStartDragAndDropAt(int /*X*/, int /*Y*/) { return false; }
  virtual bool CanStartAutoDragAt(int X, int Y);

  // ---- platform overrides
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWindowHandle() override;
  void Resize() override;
  void Paint() override;
  void PaintWindow(HDC DC) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  void DoStartDrag(TDragObject*& DragObject) override;
  void DoEndDrag(TObject* Target, int X, int Y) override;
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;

  // ---- message handlers
  void WMPaint(TWMPaint& Message);
  void WMEraseBkgnd(TWMEraseBkgnd& Message);
  void WMGetDlgCode(TWMGetDlgCode& Message);
  void WMCancelMode(TWMNoParams& Message);
  void WMNCCalcSize(TWMNCCalcSize& Message);
  void WMSetCursor(TWMSetCursor& Message);
  void DXMSettingsChanged(TMessage& Message);
  void CNKeyDown(TWMKey& Message);
  void CNSysKeyDown(TWMKey& Message);
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMCursorChanged(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMInvalidate(TMessage& Message);
  void CMDesignHitTest(TMessage& Message);

  // The scroll-bar objects follow HasOwnScrollBars.
  void SyncScrollBarObjects();
  void DestroyScrollBarObjects();
  // Middle-button panning (a nested message loop until it ends).
  void DoScrollContent();
  bool FCreatingWindow = false;
  TcxControlBorderStyle FBorderStyle = cxcbsNone;

 private:
  friend class TcxControlChildComponent;
  friend class TcxControlScrollBar;
  friend class TcxDragControlObject;
  void LookAndFeelChangeHandler(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues);
  void ScrollBarScrollHandler(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
  void CalcScrollBarsParamsLoop();
  void CheckParentBackground();
  bool OfferKeyToPopupMenus(TWMKey& Message);
  void HandleMouseNotice(TMessage& Message, TNotifyEvent& AEvent, void (TcxControl::*ANotify)(TControl*));

  TcxCanvas* FActiveCanvas = nullptr;
  bool FCalculatingScrollBarsParams = false;
  TcxCanvas* FCanvas = nullptr;
  TCursor FDefaultCursor = crDefault;
  TcxDragAndDropObject* FDragAndDropObject = nullptr;
  TcxDragAndDropObjectClass FDragAndDropObjectClass;
  TCursor FDragAndDropPrevCursor = crDefault;
  TcxDragAndDropState FDragAndDropState = ddsNone;
  TcxDragImageList* FDragImages = nullptr;
  bool FFinishingDragAndDrop = false;
  bool FFocusOnClick = true;
  std::vector<IcxFontListener*> FFontListenerList;
  TcxControlScrollBar* FHScrollBar = nullptr;
  TcxControlScrollBar* FVScrollBar = nullptr;
  TcxSizeGrip* FSizeGrip = nullptr;
  bool FInitialHScrollBarVisible = false;
  bool FInitialVScrollBarVisible = false;
  bool FIsInitialScrollBarsParams = false;
  TcxKeys FKeys;
  TcxLookAndFeel* FLookAndFeel = nullptr;
  bool FMouseButtonPressed = false;
  TObject* FMouseCaptureObject = nullptr;
  TPoint FMouseDownPos;
  bool FMouseRightButtonReleased = false;
  TComponent* FPopupMenu = nullptr;
  TScrollStyle FScrollBars = ssBoth;
  int FScrollBarsLockCount = 0;
  bool FScrollBarsUpdateNeeded = false;
  bool FUpdatingScrollBars = false;
  bool FIsScrollingContent = false;
  bool FLastParentBackground = true;
  TRect FBounds;
  UINT_PTR FPanningTimerID = 0;
};

// A component that belongs to a base control without being a window.
class TcxControlChildComponent : public TcxComponent {
  DECLARE_CLASS(TcxControlChildComponent, TcxComponent)
  explicit TcxControlChildComponent(TComponent* AOwner);
  // With the control's owner as owner when AAssignOwner, else none.
  TcxControlChildComponent(TcxControl* AControl, bool AAssignOwner);
  ~TcxControlChildComponent() override;

  TcxControl* Control() const { return FControl; }
  virtual void SetControl(TcxControl* AValue) { FControl = AValue; }
  bool IsLoading() const;
  virtual bool IsDestroying() const;

  TComponent* GetParentComponent() override;
  bool HasParent() override;
  void SetParentComponent(TComponent* Value) override;

 protected:
  // Run by the constructor; nothing here.
  virtual void Initialize() {}

 private:
  TcxControl* FControl = nullptr;
};

// ---------------------------------------------------------------------------
// Panning: direction, speed and cursor for a point, as values
// ---------------------------------------------------------------------------

struct TcxPanningStep {
  TcxDirection Direction = dirNone;
  int Speed = 0;   // 0 inside the neutral zone, else 1..12
  bool Moved = false;   // outside the neutral zone
};
// AMarkerWidth is the marker's width W; AScreen the screen's size.
TcxPanningStep cxPanningStepAt(const TPoint& AOrigin, const TPoint& P, int AMarkerWidth, bool AHorzVisible,
                               bool AVertVisible, const TSize& AScreen);
// Cursor identifiers 2101..2107 for a direction and the visible bars.
TCursor cxPanningCursor(TcxDirection ADirection, bool AHorzVisible, bool AVertVisible);

// The wheel's line count as a number of steps: the system's number, with
// "one screen at a time" (WHEEL_PAGESCROLL) counted as one page's worth.
int cxWheelScrollSteps(UINT ASystemLines, int APageLines);

// Cursor identifiers installed by the module.
inline constexpr TCursor crcxDragCopy = 2100;
inline constexpr TCursor crcxFullScroll = 2101;
inline constexpr TCursor crcxHorScroll = 2102;
inline constexpr TCursor crcxVerScroll = 2103;
inline constexpr TCursor crcxUpScroll = 2104;
inline constexpr TCursor crcxRightScroll = 2105;
inline constexpr TCursor crcxDownScroll = 2106;
inline constexpr TCursor crcxLeftScroll = 2107;
inline constexpr TCursor crcxRemove = 2108;
inline constexpr TCursor crcxVertSize = 2109;
inline constexpr TCursor crcxHorzSize = 2110;
inline constexpr TCursor crcxMultiDrag = 2111;
inline constexpr TCursor crcxNoDrop = 2112;
inline constexpr TCursor crcxDrag = 2113;
inline constexpr TCursor crcxHandPoint = -2099;
inline constexpr TCursor crcxColorPicker = 2114;
inline constexpr TCursor crcxMultiDragCopy = 2115;

// A cursor kept in the resources as the bytes of a cursor file (RCDATA):
// each resource script numbers its cursor images from one, so a layer with a
// script of its own keeps its cursors so; null when missing or damaged.
HCURSOR cxLoadCursorFromResourceData(HMODULE AModule, const wchar_t* AName);

// The module's start-up and shutdown. Shutdown with mouse tracking left
// frees the trackers, finishes the rest of the shutdown and then raises
// EdxException "MouseTrackingTimerList.Count <> 0".
void cxControlsInitialize();
void cxControlsFinalize();
// The handle of user32 taken at start-up.
HMODULE cxUser32Module();
