// The window behind every bar of the toolbar system: it holds the links it
// shows and their item controls, turns mouse and keyboard messages into calls
// on them, keeps the selected and hot-tracked link, the chain of bars that
// opened one another and the process-wide active bar, and delegates layout
// and drawing to its painter. Toolbar windows and menus derive from it.
#pragma once

#include "bars/controls/dxBarControlSeams.h"
#include "bars/controls/dxBarItemControls.h"
#include "bars/controls/dxBarToolbarLayout.h"
#include "foundation/cxControlsTracking.h"
#include "platform/gui/Controls.h"

#include <vector>

class IdxBarActiveMenus;
class TBitmap;
class TcxCanvas;
class TdxBarPainter;
class TdxBarShadow;
class TdxDockControl;
class TdxBarCustomHintViewInfo;
class TdxBarScreenTip;
class TdxFader;

DECLARE_ENUM(TdxBarMarkState, msNone, msSelected, msPressed)
// bvsNormal is an edit-button view style's name: the bar's states carry a prefix.
DECLARE_ENUM(TdxBarViewState, dxbvsNormal, dxbvsHot)
DECLARE_ENUM(TdxBarState, bsCreatingControls, bsDestroyingControls, bsDestroyingWindow, bsDestroying, bsDestroyed,
             bsHideAll, bsPaintItem, bsRepaintBar, bsUpdatingCanvasFont)
using TdxBarStates = TSet<TdxBarState, 16>;
DECLARE_ENUM(TdxBarBehaviorOption, bboAllowDetach, bboAllowSelectWindowItemsWithoutFocusing, bboAllowShowHints,
             bboClickItemsBySpaceKey, bboExtendItemWhenAlignedToClient, bboNeedsFocusWhenActive,
             bboMouseCantUnselectNavigationItem, bboUnmoved, bboItemCustomizePopup, bboSubMenuCaptureMouse)
using TdxBarBehaviorOptions = TSet<TdxBarBehaviorOption, 16>;

// A toolbar asks itself to lay out and repaint later.
inline constexpr UINT DXM_BAR_RECALC = 0x8065;
// An edit window on glass switches to buffered painting.
inline constexpr UINT DXM_BAR_BUFFEREDEDITPAINT = 0x8081;
// The colour that stands for "no colour" when a bar's background is drawn.
inline constexpr TColor dxBarEmptyBackgroundColor = static_cast<TColor>(0x1FFFFFFF);

// A separator a bar draws between its item controls: where, which way, and
// the item control it precedes.
struct TdxBarItemSeparatorData {
  TdxBarItemControl* AssociatedItemControl = nullptr;
  TRect Bounds;
  TdxBarItemSeparatorKind Kind = skVertical;
};

// The layout result of a bar: its item controls' view infos in display order
// and the separators between them.
class TCustomdxBarControlViewInfo : public TObject {
  DECLARE_CLASS(TCustomdxBarControlViewInfo, TObject)
  explicit TCustomdxBarControlViewInfo(TCustomdxBarControl* ABarControl) : FBarControl(ABarControl) {}
  virtual void ClearLayout();
  virtual void Calculate() { ClearLayout(); }
  TCustomdxBarControl* BarControl() const { return FBarControl; }
  int ItemControlCount() const { return static_cast<int>(FItemControlViewInfos.size()); }
  TdxBarItemControlViewInfo* ItemControlViewInfoAt(int AIndex) const { return FItemControlViewInfos.at(AIndex); }
  int GetItemControlIndex(TdxBarItemControl* AControl) const;
  bool IsItemControlVisible(TdxBarItemControl* AControl) const { return GetItemControlIndex(AControl) >= 0; }
  void AddItemControlViewInfo(TdxBarItemControlViewInfo* AViewInfo) { FItemControlViewInfos.push_back(AViewInfo); }
  // A control that leaves the layout leaves no separator associated with it.
  void RemoveItemControlViewInfo(TdxBarItemControlViewInfo* AViewInfo);
  int SeparatorCount() const { return static_cast<int>(FSeparatorsData.size()); }
  const TdxBarItemSeparatorData& SeparatorInfoAt(int AIndex) const { return FSeparatorsData.at(AIndex); }
  const std::vector<TdxBarItemSeparatorData>& Separators() const { return FSeparatorsData; }
  // AControl: the item control the separator precedes.
  void AppendSeparator(const TRect& ABounds, TdxBarItemSeparatorKind AKind, TdxBarItemControl* AControl);
  // Whether a separator precedes the control, and the index of the first one.
  bool IsAssociatedWithSeparator(TdxBarItemControl* AControl, int& ASeparatorIndex) const;

 private:
  TCustomdxBarControl* FBarControl;
  std::vector<TdxBarItemControlViewInfo*> FItemControlViewInfos;
  std::vector<TdxBarItemSeparatorData> FSeparatorsData;
};

// One item of a menu's column as the stacking sees it.
struct TdxBarMenuItemExtent {
  int BeginGroupSize = 0;
  int Height = 0;
};
// The menu items stacked from the top of the area: each placed item's
// rectangle (empty for the items after the walk stopped) and the bottom reached.
struct TdxBarMenuItemPlacement {
  std::vector<TRect> Rects;
  int Bottom = 0;
};
TdxBarMenuItemPlacement dxBarPlaceMenuItems(const TRect& AArea, const std::vector<TdxBarMenuItemExtent>& AItems,
                                            bool ACanShowPartialItem);
// Whether the bar touches its owner along an edge.
bool dxBarIsAdjacentToOwner(const TRect& AOwner, const TRect& ABounds);
// The one-pixel strip where a bar touches its owner (both screen rectangles),
// short of the owner's ends by a pixel: in window coordinates of the bar, or
// with AInParent moved one pixel out of the bar into the bar's parent
// coordinates; empty when the bar does not touch it.
TRect dxBarCalcOwnerLinkRect(const TRect& AOwner, const TRect& ABounds, bool AInParent);

class TCustomdxBarControl : public TCustomControl, public IdxBarControl, public IcxMouseTrackingArea {
  DECLARE_CLASS(TCustomdxBarControl, TCustomControl)
  // The owner is the bar manager.
  explicit TCustomdxBarControl(TComponent* AOwner);
  ~TCustomdxBarControl() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // IdxBarControl
  TObject* BarControlObject() override { return this; }
  bool IsDestroying() override;
  void SetItemLinks(TdxBarItemLinks* AValue) override;
  bool IsVertical() override { return false; }
  bool IsWindowVisible() override;
  TRect ClientRect() override { return TCustomControl::ClientRect(); }
  void ScheduleRepaint() override {}
  void RepaintBar() override { RecalcBar(true); }
  void RebuildItemControls() override;
  void LinkDestroying(TdxBarItemLink* ALink) override;
  void ActivateItemHint(bool AShow, const String& AHint, TObject* AHintObject) override;
  bool ExtendsItemWhenAlignedToClient() override { return BehaviorOptions().Contains(bboExtendItemWhenAlignedToClient); }
  HWND BarWindow() override { return HandleAllocated() ? WindowHandle() : nullptr; }
  TdxBarManager* ManagerOfBarControl() override { return BarManager(); }
  // The selection goes without the manager hearing of it: the manager (or
  // its designer) asks for it while it changes its own.
  void DeselectItemControl() override;
  void BarMouseLeft() override { MouseLeaveHandler(); }
  TdxBarItemControlBase* ItemControlAtScreenPoint(const TPoint& APoint) override;
  // No bar opened from this one is open.
  bool CanHideFloatingWindow() override { return !FChildBar; }
  void RefreshBarBackground() override;
  void RecalcBarLayout() override { RecalcBar(false); }
  // The view of a hint the bar shows for one of its parts (a screen tip when
  // one is given), and the top-left screen point of that hint window, of that
  // height, for a part at AItemRect (client coordinates).
  TdxBarCustomHintViewInfo* CreateHintViewInfo(const String& AHint, const String& AShortCut,
                                               TdxBarScreenTip* AScreenTip);
  TPoint ShowHintWindow(const TRect& AItemRect, int AWindowHeight, const TPoint& ACursorPos);
  // IcxMouseTrackingArea: the mouse left the bar's window; the window where it is now
  // (the bar moves while tracked: a dock lays it out anew), frame included.
  void TrackedMouseLeft() override;
  bool ContainsClientPoint(const TPoint& P) override;

  TdxBarManager* BarManager() const;
  TdxBarItemLinks* ItemLinks() const { return FItemLinks; }
  // The canvas to measure and draw with: the window's, or the screen's until the window exists.
  TcxCanvas* cxCanvas();
  TCustomdxBarControlViewInfo* ViewInfo() const { return FViewInfo; }
  const TdxBarPainter* Painter() { return GetPainter(); }
  virtual const TdxBarPainter* GetPainter();
  void SetPainter(const TdxBarPainter* AValue) { FPainter = AValue; }
  virtual TdxBarKind Kind() const { return bkBarControl; }
  virtual TdxBarPaintType GetPaintType() { return IsVertical() ? ptVert : ptHorz; }
  virtual TdxBarBehaviorOptions BehaviorOptions();
  TdxBarStates State() const { return FState; }
  TCustomdxBarControl* ParentBar() const { return FParentBar; }
  void SetParentBar(TCustomdxBarControl* AValue);
  TCustomdxBarControl* ChildBar() const { return FChildBar; }
  // The bar this one was opened from, when it is of the same kind.
  TCustomdxBarControl* SameKindParentBar() const;
  TdxBarDockingStyle DockingStyle() const { return FDockingStyle; }
  TdxDockControl* DockControl() const { return FDockControl; }
  virtual bool IsRealVertical() { return false; }
  virtual bool IsOnGlass() { return false; }
  virtual bool IsMainMenu() { return false; }
  virtual bool IsStatusBar() { return false; }
  virtual bool IsInternalPopup() { return false; }
  virtual bool IsPopupWindow() { return false; }
  virtual bool IsQuickCustomizationControl() { return false; }
  // The window is the bar's owner window (a popup's owner bar answers).
  virtual bool IsOwnerWindow(HWND) { return false; }
  // Where a child bar opened from this one is to go; false leaves it to the child.
  virtual bool GetChildPlacementRect(TRect&) { return false; }
  virtual bool ArrangesItemsVertically() { return IsRealVertical(); }
  virtual bool CanShowPartialItem() { return false; }
  virtual bool UsesNonFlatLook() { return true; }
  virtual bool AllowsMouseWheel() { return false; }
  virtual bool KeepsHotStateOnLeave() { return false; }
  virtual bool IsRestSpaceItem(TdxBarItemControl*) { return false; }
  virtual TdxBarItemViewLevel DefaultItemViewLevel(TdxBarItemControl*) { return ivlDefault; }
  // The object the designer selects for a press on the bar itself.
  virtual TPersistent* GetOwnerObject() { return nullptr; }

  // Metrics.
  int TextSize() const { return FTextSize; }
  double Ratio() const { return FRatio; }
  int MarkSize() const { return FMarkSize; }
  int MenuArrowHeight() const { return FMenuArrowHeight; }
  int MenuArrowWidth() const { return FMenuArrowWidth; }
  int IconAreaSize() const { return FIconAreaSize; }
  int ComboBoxArrowWidth() const { return FComboBoxArrowWidth; }
  int EditTextSize() const { return FEditTextSize; }
  HFONT EditFontHandle();
  virtual TFont* GetItemEditFont();
  virtual void CalcMetrics();
  virtual int CalcTextSize();
  virtual int CalcIconAreaSize();
  // The control's own text size when it has one, else the bar's.
  int ItemTextSize(TdxBarItemControl* AControl) const;
  virtual int BeginGroupSize();
  int LinkBeginGroupSize(TdxBarItemLink* ALink);
  virtual int MarkAreaSize() { return HasMark() ? FMarkSize : 0; }
  virtual bool HasMark() { return false; }
  virtual TRect GetMarkRect() { return TRect(); }
  // The mark state as drawn: selected while keyboard navigation stands on the mark.
  TdxBarMarkState GetMarkState() const { return FMarkSelectedByNavigation ? msSelected : FMarkState; }
  void SetMarkSelectedByNavigation(bool AValue) { FMarkSelectedByNavigation = AValue; }
  virtual int NormalItemHeight();
  virtual int FrameBorderSize();
  HBRUSH BkBrush() const { return FBkBrush; }
  virtual HBRUSH GetToolbarBrush();
  virtual HBRUSH GetDownedBrush();
  virtual HBRUSH GetDownedSelectedBrush();
  virtual HBRUSH GetSelectedBrush();
  virtual bool ChildrenHaveShadows();
  virtual bool CanFade() { return false; }
  virtual TdxFader* GetFader();
  const TRect& ItemsRect() const { return FItemsRect; }
  const TRect& VisibleItemsRect() const { return FVisibleItemsRect; }

  // Layout.
  void RecalcBar(bool ARebuildControls);
  virtual void CalcLayout();
  virtual void CalculateViewInfo();
  void BuildControls();
  void ClearControls();
  TdxBarItemControl* ItemAtPos(TPoint APos);
  TRect GetItemRect(TdxBarItemControl* AControl);
  virtual TRect GetItemHitRect(TdxBarItemControl* AControl) { return GetItemRect(AControl); }
  virtual TRect GetItemAreaRect(TdxBarItemControl* AControl, bool AWithSeparator = false);
  // A region of the item's area; the caller deletes it.
  virtual HRGN CreateItemRegion(TdxBarItemControl* AControl);
  bool OwnsItemControl(TdxBarItemControl* AControl);
  // The client rectangle in window coordinates.
  TRect ClientBounds();
  virtual TRect GetOuterBounds();
  // Container items show their links in place: their links are put into the
  // bar's links for the layout and taken out again.
  void ExpandContainerItems();
  void CollapseContainerItems();
  // Where a dragged item would drop: the link under the point, whether the
  // test ran across (vertically), before or after it, and on its separator.
  virtual bool HitTestDropLink(TPoint APoint, TdxBarItemLink*& ALink, bool& AVertical, bool& ABefore,
                               bool& AOnSeparator);

  // Painting.
  virtual void DrawBackgroundRect(HDC DC, const TRect& ARect, bool AInClientCoords, TColor AColor, HBRUSH ABrush);
  // The bar's background inside a region (window coordinates at the origin).
  void DrawBackgroundInRegion(HDC DC, HRGN ARegion);
  virtual void RepaintItemControl(TdxBarItemControl* AControl);
  void DrawItemControl(TcxCanvas* ACanvas, TdxBarItemControl* AControl);
  virtual void DrawItemControlContent(TdxBarItemControl* AControl, TcxCanvas* ACanvas, const TRect& ARect);
  virtual bool CanDrawItemControl(TdxBarItemControl* AControl);
  void PaintItemControls();
  virtual TBitmap* GetBackgroundBitmap() { return nullptr; }
  virtual TBitmap* GetItemsBackgroundBitmap() { return nullptr; }
  virtual bool HasBackgroundBitmap();
  virtual bool HasCustomBackground();
  // The cached background image; emptied whenever the background may change.
  TBitmap* BackgroundTempBitmap() const { return FBackgroundTempBitmap; }
  void ResetBackgroundCache();
  void UpdateDoubleBuffered();
  void UpdateControlStyle();
  void UpdateCanvasFont();
  virtual bool HasNonClientArea() { return true; }
  virtual TPoint GetClientOffset() { return TPoint(); }
  virtual void PaintNonClientArea(HDC) {}
  // The DC the non-client area is painted on (the window DC in the base).
  virtual HDC GetNonClientDC(HRGN AUpdateRegion);
  virtual void ReleaseNonClientDC(HDC DC);

  // Selection, activity, focus and chains.
  TdxBarItemLink* SelectedLink() const { return FSelectedLink; }
  TdxBarItemControl* SelectedControl() const;
  virtual void SetSelectedItemControl(TdxBarItemControl* AControl);
  void SelectItemControlNavigated(TdxBarItemControl* AControl);
  virtual void ChangeSelectedItemControl(TdxBarItemControl* AValue);
  // A control of the bar took the focus (it was selected, or opened its drop-down).
  virtual void NotifyItemControlFocused(TdxBarItemControl*) {}
  // The control of the designer-selected link when that link lies on this bar.
  TdxBarItemControl* DesignerSelectedItemControl();
  bool IsActive() const { return FIsActive; }
  void SetIsActive(bool AValue);
  bool IsDowned() const { return FIsDowned; }
  void SetIsDowned(bool AValue) { FIsDowned = AValue; }
  virtual bool IsCustomizing();
  bool IsFocused();
  void BarGetFocus(TdxBarItemControl* ASelectedItem) { EnterBarFocus(ASelectedItem); }
  void BarLostFocus();
  void HideAll();
  virtual void Hide();
  void CloseByEscape();
  bool ClosedByEscape() const { return FClosedByEscape; }
  void SetIgnoreMouseClick(bool AValue) { FIgnoreMouseClick = AValue; }
  bool IgnoreMouseClick() const { return FIgnoreMouseClick; }
  virtual bool HidesOnDeactivate() { return false; }
  virtual bool CanShowItemHints() { return !FIsActive; }
  virtual bool ShouldHideOnFocusChange(TdxBarManager* AManager, HWND AWnd);
  // Every selected control along the chain of child bars may be left.
  bool ChainAllowsHiding();
  // The window control of a bar item ended its editing.
  virtual void WinControlEditingDone(TdxBarItemControl* AControl);
  bool IsAncestorOf(TCustomdxBarControl* AControl);
  // The window is the bar window's child or the selected control's own window.
  bool OwnsWindow(HWND AWnd);
  // A press on a window the bar owns (an item's in-place window).
  virtual void OwnedWindowMouseDown(HWND) {}
  void ShowWithoutActivation();
  bool IsCursorOverWindow();
  bool IsPointInside(const TPoint& AScreenPoint);
  // Moves a hint window of that height from the cursor point APos to below
  // the cursor, or above the bar near the bottom of the work area.
  virtual void AdjustHintPosition(TPoint& APos, int AHeight);
  bool IsInActiveChain();
  virtual bool IsMouseInputBlocked(bool ACheckPosition);
  TPoint LastMousePos() const { return FLastMousePos; }
  bool HasLastMousePos() const { return FHasLastMousePos; }
  void ResetLastMousePos() override { FHasLastMousePos = false; }
  TdxBarItemLink* TrackedLink() const { return FPrevTrackedLink; }
  TdxBarViewState ViewState() const { return FViewState; }
  TdxBarMarkState MarkState() const { return GetMarkState(); }
  virtual void ChangeMarkState(TdxBarMarkState AValue) { FMarkState = AValue; }
  // The next (or previous) toolbar of this manager and the other active
  // managers that has a window and a selectable link; nil when none.
  TCustomdxBarControl* FindNextToolbar(bool AForward);
  void FocusNextToolbar(bool AForward);
  // The manager watches the mouse over one bar window at a time: a bar that
  // starts being watched makes the one watched before leave its hot state.
  void StartMouseTracking();
  TRect WindowAreaInClient();
  // The mouse left the bar: while the manager watches it, the watch ends and
  // the hot state, the tracked link and the mouse selection go.
  void MouseLeaveHandler();
  void StopMouseTracking();
  bool IsMouseTracking();

  // The owner that opened the bar (screen bounds) and the strip where they touch.
  const TRect& OwnerBounds() const { return FOwnerBounds; }
  void SetOwnerBounds(const TRect& AValue) { FOwnerBounds = AValue; }
  TWinControl* OwnerControl() const { return FOwnerControl; }
  void SetOwnerControl(TWinControl* AValue) { FOwnerControl = AValue; }
  virtual TWinControl* GetOwnerControl() { return FOwnerControl; }
  bool IsAdjacentToOwner();
  TRect CalcOwnerLinkRect(bool AInParent);

  const TNotifyEvent& OnDestroy() const { return FOnDestroy; }
  void SetOnDestroy(const TNotifyEvent& AValue) { FOnDestroy = AValue; }

  // ---- drop shadow (dxBarShadows.cpp): placed, shown and hidden with the window.
  TdxBarShadow* Shadow() const { return FShadow; }
  virtual bool HasShadow();
  virtual bool IsShadowVisible();
  // The rectangle of the owner the shadow joins (screen); empty for none.
  virtual TRect GetShadowOwnerBounds();
  void UpdateShadowBounds();
  void RefreshShadow() override;
  // ---- end of drop shadow

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CreateWindowHandle(const TCreateParams& Params) override;
  void DestroyWindowHandle() override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void Resize() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  virtual TClass GetViewInfoClass() { return TCustomdxBarControlViewInfo::StaticClass(); }
  virtual void RecalcLayout(bool ARebuildControls);
  virtual bool IsUpdateLocked();
  virtual void CalcItemsRect();
  void CalcItemRects(TdxBarPaintType AKind, int ATopIndex = 0);
  virtual void CalcToolbarItemRects() {}
  // Stacks the links from ATopIndex on; ABottom: the bottom reached.
  virtual void CalcMenuItemRects(int ATopIndex, int& ABottom);
  virtual void ReserveTopScrollArea() {}
  virtual void ReserveBottomScrollArea() {}
  virtual void MakeItemVisible(TdxBarItemControl*) {}
  virtual void AssignDefaultFont() {}
  virtual void ApplyAlphaBlend() {}
  // The window moved, changed size, showed or hid (the flags of its window
  // position): the shadow follows and the background is drawn anew.
  virtual void BoundsChanged(UINT ASwpFlags);
  virtual void PaintBar();
  virtual void CreateLinkControls();
  virtual void DestroyLinkControls();
  virtual void NotifyDestroy();
  virtual void BarMouseMove(TShiftState AShift, int X, int Y);
  virtual void HotTrackAt(TShiftState AShift, TPoint APoint, TdxBarItemControl* AControl);
  void TrackLink(TdxBarItemLink* ALink, TShiftState AShift, TPoint APoint);
  virtual void ItemMouseDown(TMouseButton AButton, TShiftState AShift, TPoint APoint, TdxBarItemControl* AControl);
  virtual void ItemMouseMove(TShiftState AShift, TPoint APoint, TdxBarItemControl* AControl);
  virtual void ItemMouseUp(TMouseButton AButton, TShiftState AShift, TPoint APoint, TdxBarItemControl* AControl);
  virtual void PressItemControl(TdxBarItemControl* AControl);
  virtual void BarMouseLeave();
  virtual void EnterBarFocus(TdxBarItemControl* AControl);
  virtual void LeaveBarFocus();
  virtual void ReturnFocus();
  virtual void ApplyIsActive(bool AValue);
  virtual void ViewStateChanged(TdxBarViewState) {}
  bool IsInputContextActive();
  bool IsEnabledWindow();
  virtual void HideChain();
  virtual void HandleBarKey(TWMKey& Message);
  void KeyDownMessage(TMessage& Message);
  // Key tips end first: the keyboard clicks the selected control.
  void ClickSelectedByKeyboard();
  TdxBarItemLink* FindLinkByAccel(Word AKey, TShiftState AShift, TdxBarItemLink* AAfter);
  // Nil for a disabled item; AShared: another link answers to the same key.
  TdxBarItemLink* FindEnabledLinkByAccel(Word AKey, TShiftState AShift, TdxBarItemLink* AAfter, bool& AShared);
  virtual void ActivateItemByAccel(TdxBarItemControl* AControl, bool AShared);
  // The selected enabled control takes the key when it is its own
  // accelerator character (a key that opens its drop-down).
  bool PassKeyToSelectedItem(Word& AKey, TShiftState AShift);
  void SetViewState(TdxBarViewState AValue);
  void NotifyItemsWindowDestroying();
  // The shadow follows the window (dxBarShadows.cpp).
  void ShadowFollowWindow(UINT ASwpFlags);
  // Customizing.
  virtual bool AllowsCustomizing() { return true; }
  virtual bool OpensCustomizePopupOn(bool APressed);
  virtual void SelectItemForCustomizing(TdxBarItemControl* AControl, TMouseButton AButton, TShiftState AShift);
  virtual void BeginItemDrag(TPoint APoint, bool AWasSelected);
  virtual void TrackDragPoint(TPoint) {}
  virtual void InitCustomizePopup() {}
  virtual void ShowCustomizePopup(TdxBarItemControl* AControl);
  void DrawDesignSelection(TcxCanvas* ACanvas, TdxBarItemControl* AControl, const TRect& ARect);

  TdxBarItemLinks* FItemLinks = nullptr;
  TcxCanvas* FActiveCanvas = nullptr;
  TBitmap* FBackgroundTempBitmap = nullptr;
  TcxCanvas* FCanvas = nullptr;
  TdxBarShadow* FShadow = nullptr;  // drop shadow
  TMessage FCurrentMessage{};
  TCustomdxBarControlViewInfo* FViewInfo = nullptr;
  const TdxBarPainter* FPainter = nullptr;
  TCustomdxBarControl* FChildBar = nullptr;
  TCustomdxBarControl* FParentBar = nullptr;
  TCustomdxBarControl* FPrevActiveBarControl = nullptr;
  TdxBarItemControl* FClickedControl = nullptr;
  TdxDockControl* FDockControl = nullptr;
  TdxBarDockingStyle FDockingStyle = dsNone;
  TdxBarItemLink* FPrevTrackedLink = nullptr;
  TdxBarItemLink* FSelectedLink = nullptr;
  // The container links taken out of the links while their contents show, by index.
  std::vector<std::pair<int, TdxBarItemLink*>>* FExpandedItemLinks = nullptr;
  TdxBarStates FState;
  TdxBarViewState FViewState = dxbvsNormal;
  TdxBarMarkState FMarkState = msNone;
  bool FMarkSelectedByNavigation = false;
  HBRUSH FBkBrush = nullptr;
  TRect FItemsRect;
  TRect FVisibleItemsRect;
  TRect FOwnerBounds;
  TWinControl* FOwnerControl = nullptr;
  TPoint FDragPoint;
  TPoint FLastMousePos;
  // Whether FLastMousePos holds a position: every point is a real screen
  // position on some monitor layout, so no point can stand for "none".
  bool FHasLastMousePos = false;
  bool FClosedByEscape = false;
  bool FDragDown = false;
  bool FIgnoreMouseClick = false;
  bool FIsActive = false;
  bool FIsDowned = false;
  bool FMovingChanging = false;
  int FTextSize = 0;
  double FRatio = 1;
  int FMenuArrowHeight = 4;
  int FMenuArrowWidth = 0;
  int FIconAreaSize = 0;
  int FComboBoxArrowWidth = 0;
  int FEditTextSize = 0;
  int FMarkSize = 0;
  TNotifyEvent FOnDestroy;
};

// The active bar (the one that holds the menu and keyboard mode), nil when
// none. Whether a bar window is still live: dxBarIsLiveControl (dxBarRoutines).
TCustomdxBarControl* dxBarActiveBarControl();
// The active bar and its chain as the bar model's hooks see them (the
// model's seam, filled at the bar windows' start-up).
IdxBarActiveMenus* dxBarControlsActiveMenus();
