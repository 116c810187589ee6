// The window behind every bar of the toolbar system: it holds the links it
// shows and their item controls, turns mouse and keyboard messages into calls
// on them, keeps the selected and hot-tracked link, the chain of bars that
// opened one another and the process-wide active bar, and delegates layout
// and drawing to its painter. Toolbar windows and menus derive from it.
#pragma once

#include "bars/controls/dxBarItemControls.h"
#include "bars/controls/dxBarToolbarLayout.h"
#include "platform/gui/Controls.h"

class TcxCanvas;
class TdxBarPainter;
class TdxBarShadow;
class TdxDockControl;

DECLARE_ENUM(TdxBarMarkState, msNone, msSelected, msPressed)
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

// The layout result of a bar: its item controls' view infos in display order
// and the separators between them.
class TCustomdxBarControlViewInfo : public TObject {
  DECLARE_CLASS(TCustomdxBarControlViewInfo, TObject)
  explicit TCustomdxBarControlViewInfo(TCustomdxBarControl* ABarControl) : FBarControl(ABarControl) {}
  virtual void ClearLayout();
  virtual void Calculate() { ClearLayout(); }
  TCustomdxBarControl* BarControl() const { return FBarControl; }
  int ItemControlCount() const { return static_cast<int>(FItems.size()); }
  TdxBarItemControlViewInfo* ItemControlViewInfo(int AIndex) const { return FItems.at(AIndex); }
  int GetItemControlIndex(TdxBarItemControl* AControl) const;
  bool IsItemControlVisible(TdxBarItemControl* AControl) const { return GetItemControlIndex(AControl) >= 0; }
  void AddItemControlViewInfo(TdxBarItemControlViewInfo* AViewInfo) { FItems.push_back(AViewInfo); }
  void RemoveItemControlViewInfo(TdxBarItemControlViewInfo* AViewInfo);
  const std::vector<TdxBarLayoutSeparator>& Separators() const { return FSeparators; }
  void AddSeparator(const TdxBarLayoutSeparator& ASeparator) { FSeparators.push_back(ASeparator); }

 private:
  TCustomdxBarControl* FBarControl;
  std::vector<TdxBarItemControlViewInfo*> FItems;
  std::vector<TdxBarLayoutSeparator> FSeparators;
};

class TCustomdxBarControl : public TCustomControl, public IdxBarControl {
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

  TdxBarManager* BarManager() const;
  TdxBarItemLinks* ItemLinks() const { return FItemLinks; }
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
  TdxBarDockingStyle DockingStyle() const { return FDockingStyle; }
  TdxDockControl* DockControl() const { return FDockControl; }

  // Metrics.
  int TextSize() const { return FTextSize; }
  double Ratio() const { return FRatio; }
  int MarkSize() const { return FMarkSize; }
  int MenuArrowHeight() const { return FMenuArrowHeight; }
  int MenuArrowWidth() const { return FMenuArrowWidth; }
  int IconAreaSize() const { return FIconAreaSize; }
  int ComboBoxArrowWidth() const { return FComboBoxArrowWidth; }
  virtual void CalcMetrics();
  virtual int CalcTextSize();
  int ItemTextSize(TdxBarItemControl*) const { return FTextSize; }
  virtual int BeginGroupSize();
  int LinkBeginGroupSize(TdxBarItemLink* ALink);
  virtual int MarkAreaSize() { return HasMark() ? FMarkSize : 0; }
  virtual bool HasMark() { return false; }
  int NormalItemHeight();
  HBRUSH BkBrush() const { return FBkBrush; }
  virtual HBRUSH GetToolbarBrush();
  // The bar's own background picture; nil for none.
  virtual TBitmap* GetBackgroundBitmap() { return nullptr; }
  virtual bool IsRestSpaceItem(TdxBarItemControl*) { return false; }
  virtual bool IsRealVertical() { return false; }
  virtual TdxBarItemViewLevel DefaultItemViewLevel(TdxBarItemControl*) { return ivlDefault; }

  // Layout.
  void RecalcBar(bool ARebuildControls);
  virtual void CalcLayout();
  virtual void CalculateViewInfo();
  void BuildControls();
  void ClearControls();
  TdxBarItemControl* ItemAtPos(TPoint APos);
  TRect GetItemRect(TdxBarItemControl* AControl);
  virtual TRect GetItemHitRect(TdxBarItemControl* AControl) { return GetItemRect(AControl); }
  bool OwnsItemControl(TdxBarItemControl* AControl);

  // Painting.
  virtual void DrawBackgroundRect(HDC DC, const TRect& ARect, bool AInClientCoords, TColor AColor, HBRUSH ABrush);
  void RepaintItemControl(TdxBarItemControl* AControl);
  void DrawItemControl(TcxCanvas* ACanvas, TdxBarItemControl* AControl);
  void PaintItemControls();

  // Selection, activity, focus and chains.
  TdxBarItemLink* SelectedLink() const { return FSelectedLink; }
  TdxBarItemControl* SelectedControl() const;
  virtual void SetSelectedItemControl(TdxBarItemControl* AControl);
  void SelectItemControlNavigated(TdxBarItemControl* AControl);
  void ChangeSelectedItemControl(TdxBarItemControl* AValue);
  bool IsActive() const { return FIsActive; }
  void SetIsActive(bool AValue);
  bool IsDowned() const { return FIsDowned; }
  void SetIsDowned(bool AValue) { FIsDowned = AValue; }
  bool IsCustomizing();
  bool IsFocused();
  void BarGetFocus(TdxBarItemControl* ASelectedItem) { EnterBarFocus(ASelectedItem); }
  void BarLostFocus();
  void HideAll();
  void CloseByEscape();
  bool ClosedByEscape() const { return FClosedByEscape; }
  virtual bool HidesOnDeactivate() { return false; }
  virtual bool CanShowItemHints() { return !FIsActive; }
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
  TdxBarMarkState MarkState() const { return FMarkState; }
  virtual void ChangeMarkState(TdxBarMarkState AValue) { FMarkState = AValue; }

  TNotifyEvent OnDestroy;

  // ---- drop shadow (dxBarShadows.cpp): placed, shown and hidden with the window.
  TdxBarShadow* Shadow() const { return FShadow; }
  virtual bool HasShadow();
  virtual bool IsShadowVisible();
  // The rectangle of the owner the shadow joins (screen); empty for none.
  virtual TRect GetShadowOwnerBounds() { return TRect(); }
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
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  virtual TClass GetViewInfoClass() { return TCustomdxBarControlViewInfo::StaticClass(); }
  virtual void RecalcLayout(bool ARebuildControls);
  virtual bool IsUpdateLocked();
  virtual void CalcItemsRect();
  void CalcItemRects(TdxBarPaintType AKind);
  virtual void CalcToolbarItemRects() {}
  virtual void AssignDefaultFont() {}
  virtual void BoundsChanged() {}
  virtual void PaintBar();
  virtual void HotTrackAt(TShiftState AShift, TPoint APoint, TdxBarItemControl* AControl);
  void TrackLink(TdxBarItemLink* ALink, TShiftState AShift, TPoint APoint);
  virtual void ItemMouseDown(TMouseButton AButton, TShiftState AShift, TPoint APoint, TdxBarItemControl* AControl);
  virtual void ItemMouseMove(TShiftState AShift, TPoint APoint, TdxBarItemControl* AControl);
  virtual void ItemMouseUp(TMouseButton AButton, TShiftState AShift, TPoint APoint, TdxBarItemControl* AControl);
  virtual void PressItemControl(TdxBarItemControl* AControl);
  virtual void BarMouseLeave();
  void MouseLeaveHandler();
  virtual bool KeepsHotStateOnLeave() { return false; }
  virtual void EnterBarFocus(TdxBarItemControl* AControl);
  virtual void LeaveBarFocus();
  virtual void ApplyIsActive(bool AValue);
  bool IsInputContextActive();
  virtual void HideChain();
  virtual void HandleBarKey(TWMKey& Message);
  void KeyDownMessage(TMessage& Message);
  void ClickSelectedByKeyboard();
  void SetViewState(TdxBarViewState AValue);
  void NotifyItemsWindowDestroying();
  void UpdateCanvasFont();
  // The window moved, changed size, showed or hid: the shadow follows (dxBarShadows.cpp).
  void ShadowFollowWindow(UINT ASwpFlags);

  TdxBarItemLinks* FItemLinks = nullptr;
  TcxCanvas* FCanvas = nullptr;
  TdxBarShadow* FShadow = nullptr;  // drop shadow
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
  TdxBarStates FState;
  TdxBarViewState FViewState = dxbvsNormal;
  TdxBarMarkState FMarkState = msNone;
  HBRUSH FBkBrush = nullptr;
  TRect FItemsRect;
  TPoint FLastMousePos;
  // Whether FLastMousePos holds a position: every point is a real screen
  // position on some monitor layout, so no point can stand for "none".
  bool FHasLastMousePos = false;
  bool FClosedByEscape = false;
  bool FIgnoreMouseClick = false;
  bool FIsActive = false;
  bool FIsDowned = false;
  bool FTrackingMouse = false;
  int FTextSize = 0;
  double FRatio = 1;
  int FMenuArrowHeight = 4;
  int FMenuArrowWidth = 0;
  int FIconAreaSize = 0;
  int FComboBoxArrowWidth = 0;
  int FMarkSize = 0;
};

// The process-wide list of live bar windows and the active bar (the one that
// holds the menu and keyboard mode), nil when none.
bool dxBarIsLiveControl(TObject* AControl);
TCustomdxBarControl* dxBarActiveBarControl();
