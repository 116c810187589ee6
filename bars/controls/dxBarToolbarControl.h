// The window of one toolbar: a child of a dock control while docked, a popup
// owned by the manager's owner form while floating, or a popup toolbar opened
// from another bar. It computes its sizes and item layout (through
// TdxBarToolbarLayout), switches between docked and floating (keeping both
// window handles while it is dragged), stores its position in its TdxBar and
// draws its frame: gripper, floating caption with close, caption and MDI
// buttons, and the mark (dxBarToolbarFrame.cpp).
#pragma once

#include "bars/controls/dxBarControls.h"

class TdxBarControl;
class TcxBitmap32;
class TcxObjectLink;
class TcxRegion;
class TdxBarControlMarkFadingHelper;
class TdxBarControlMDIButtonFadingHelper;
class TdxBarCaptionButtonHint;
class TdxDockCol;
class TdxDockControl;
struct TdxBarMDIButtonsGeometry;

DECLARE_ENUM(TXDirection, xdLeft, xdRight)

// The window timer of the mark's hint on floating toolbars.
inline constexpr UINT_PTR dxBarMoreButtonsHintTimerID = 1;
inline constexpr UINT dxBarMoreButtonsHintTimerInterval = 50;

// The toolbar's view info: the item controls as placed, and a separator
// before each placed link that begins a group (dxBarToolbarSizing.cpp).
class TdxBarControlViewInfo : public TCustomdxBarControlViewInfo {
  DECLARE_CLASS(TdxBarControlViewInfo, TCustomdxBarControlViewInfo)
  using TCustomdxBarControlViewInfo::TCustomdxBarControlViewInfo;
  void Calculate() override;
  TdxBarControl* BarControl() const;

 protected:
  virtual void AddSeparatorForLink(TdxBarItemLink* ALink);
  virtual bool ReservedViewInfoQuery() { return false; }
  virtual bool AllowsSeparators() { return true; }
  virtual void AddLinkSeparator(const TRect& ABounds, TdxBarItemSeparatorKind AKind, TdxBarItemControl* AControl);
  // The calculation never stops early on a toolbar.
  virtual bool StopsAtControl(TdxBarItemControl*) { return false; }
};

class TdxBarControl : public TCustomdxBarControl {
  DECLARE_CLASS(TdxBarControl, TCustomdxBarControl)
  explicit TdxBarControl(TComponent* AOwner);
  TdxBarControl(TComponent* AOwner, TdxBar* ABar);
  ~TdxBarControl() override;
  void BeforeDestruction() override;
  // A toolbar window for a bar.
  static TdxBarControl* CreateEx(TComponent* AOwner, TdxBar* ABar);
  // A toolbar that pops up from another bar and shows ABar's caption
  // buttons: it shows the links of a hidden bar of its own.
  static TdxBarControl* CreateForPopup(TCustomdxBarControl* AParentBarControl, TdxBar* ABar);

  TdxBar* Bar() const { return FBar; }
  TdxBar* PopupBar() const { return FPopupBar; }
  // The links arrive right after the window object is made: it takes its
  // place in its dock (its stored row and position) or floats, and shows.
  void SetItemLinks(TdxBarItemLinks* AValue) override;
  bool IsVertical() override;
  bool IsRealVertical() override;
  bool IsDockedLeftOrRight() const { return FDockingStyle == dsLeft || FDockingStyle == dsRight; }
  bool IsDockedTopOrBottom() const { return FDockingStyle == dsTop || FDockingStyle == dsBottom; }
  bool IsMultiRowLayout() const;
  bool HasMark() override;
  virtual bool CanDock();
  bool Truncated() const { return FTruncated; }
  void SetTruncated(bool AValue) { FTruncated = AValue; }
  void SetDockControl(TdxDockControl* AValue);
  bool IsRestSpaceItem(TdxBarItemControl* AControl) override;
  HBRUSH GetToolbarBrush() override;
  void ScheduleRepaint() override;
  void CalcMetrics() override;
  void RefreshFrame() override;
  void ShowFloatingWindow(bool AShow) override;

  // Simple answers of the toolbar.
  TdxBarKind Kind() const override { return bkBarControl; }
  virtual bool IsShowing();
  virtual bool CanClose() { return true; }
  virtual bool ShowsCloseButton();
  virtual bool HasCaptionButtons();
  virtual bool AllowsQuickCustomizing();
  virtual bool AllowsRowBreakOnOverflow() { return false; }
  virtual String GetCaptionText();
  virtual TFont* GetBarFont();
  virtual String GetMarkHint();
  virtual bool BlocksOtherBars() { return true; }
  virtual bool IsOutsidePopupWindow();
  virtual TCustomForm* GetHostForm();
  TCustomForm* MasterForm();
  bool IsMainMenu() override;
  bool IsStatusBar() override;
  bool IsInternalPopup() override { return IsPopupWindow(); }
  bool IsPopupWindow() override { return FPopupBar != nullptr; }
  bool HidesOnDeactivate() override { return IsPopupWindow(); }
  bool CanFade() override;
  bool UsesNonFlatLook() override;
  TFont* GetItemEditFont() override;
  TBitmap* GetBackgroundBitmap() override;
  TPersistent* GetOwnerObject() override;
  int BeginGroupSize() override;
  bool IsSizeGripShown();
  virtual void NotifyBarResize(int) {}
  virtual void NotifyBarChanged() {}

  // Sizes for a docking style and a length (values of the current item sizes).
  int CalcWidthForStyle(TdxBarDockingStyle AStyle);
  int CalcHeightForStyle(TdxBarDockingStyle AStyle);
  int CalcFullWidthForStyle(TdxBarDockingStyle AStyle);
  int CalcFullHeightForStyle(TdxBarDockingStyle AStyle);
  TPoint CalcSizeForLength(TdxBarDockingStyle AStyle, int ALength);
  TPoint CalcSizeForHeight(TdxBarDockingStyle AStyle, int AHeight);
  // The outer size of the window for a style.
  TPoint CalcSizeForDockingStyle(TdxBarDockingStyle AStyle);
  TRect ContentOffsets(TdxBarDockingStyle AStyle);
  TRect GetItemHitRect(TdxBarItemControl* AControl) override;
  // ---- sizing and item layout (dxBarToolbarSizing.cpp)
  // The multi-row wrap for a length: marks the controls that start a row and
  // grows ASize to the rows' extent.
  void WrapItems(bool ASubtractMark, int ALength, TPoint& ASize);
  // Where the cursor lies in the window while it is dragged in a style.
  TPoint DragOffsetForStyle(TdxBarDockingStyle AStyle);
  // The hit rectangle of the control, and the separator before it; the caller deletes it.
  HRGN CreateItemRegion(TdxBarItemControl* AControl);
  // Where a dragged item lands at a client point: the link it goes before
  // or after (nil: nowhere), whether the test ran vertically and whether the
  // point lies on the separator before the link.
  bool HitTestDropLink(TPoint APoint, TdxBarItemLink*& ALink, bool& AVertical, bool& ABefore, bool& AOnSeparator) override;
  // A floating bar dragged by an edge to APropose (window rectangle): the
  // rectangle it takes, its items re-wrapped; the current one for a corner.
  TRect CalcFloatingSizingRect(int AEdge, const TRect& AProposed);
  // Copies of the links left out of the bar, for the overflow popup (each
  // copy's original link is the toolbar's link).
  void FillOverflowLinks(TdxBarItemLinks* ALinks);
  // The item sizes are measured once per layout pass and reused by the size
  // queries of the pass (a dock asks many for each toolbar); anything that can
  // change them drops them.
  void InvalidateItemSizes() { FItemSizesValid = false; }
  void RebuildItemControls() override;
  // The layout as last computed.
  const TdxBarToolbarLayout& Layout() const { return FLayout; }

  // Docking.
  void ChangeDockingStyle(TdxBarDockingStyle AStyle);
  void ChangeDockControl(TdxBarDockingStyle AStyle, TdxDockControl* ADock);
  void SwitchMovingMode(bool AMoving);
  bool Moving() const { return FMoving; }
  HWND DockedHandle() const { return FDockedHandle; }
  HWND FloatingHandle() const { return FFloatingHandle; }
  void StorePosition();
  void BeginInternalLock() { ++FInternalLockCount; }
  void EndInternalLock() { if (FInternalLockCount > 0) --FInternalLockCount; }
  bool IsInternalLocked() const { return FInternalLockCount > 0; }
  void ManagerStyleChanged();
  // Applies a changed frame: client area, frame and layout.
  void ApplyFrameChange();
  // The dock's row and column of the toolbar, -1 when not docked.
  int RowIndex();
  int ColIndex();
  // The toolbar's column in its dock, nil when not docked.
  TdxDockCol* FindDockCol();
  // Written by the dock's row arrangement.
  int MinSize = 0;
  int MaxSize = 0;
  int NewLeft = 0, NewTop = 0, NewWidth = 0, NewHeight = 0;
  // Where the cursor grabbed the window: (offset, extent) per axis.
  TPoint RX, RY;
  int HitTest() const { return FHitTest; }
  // An item of the bar is being resized while customizing.
  bool IsResizing() const { return FIsResizing; }

  // Popup toolbars.
  void Popup(const TRect& AOwnerRect) { PopupEx(AOwnerRect, xdRight); }
  // Opens below the owner (AOwnerRect in screen coordinates), or beside a
  // vertical parent bar, kept on the work area.
  virtual void PopupEx(const TRect& AOwnerRect, TXDirection ADirection);
  virtual void CloseUp();
  void Hide() override;
  virtual TPoint GetPopupSize();

  // Inside the manager's update bracket the repaint waits for the bracket's end.
  void Repaint() override;

  // Fonts and caption.
  void UpdateFont() override;
  void UpdateCaption() override;

  // ---- The frame (dxBarToolbarFrame.cpp). Client coordinates unless named
  // window rectangles; the floating caption lies above the client area.
  TdxBarMarkState CloseButtonState() const { return FCloseButtonState; }
  // Redraws the button at once when the state changes.
  void SetCloseButtonState(TdxBarMarkState AValue);
  TRect GetCaptionRect();
  TRect GetCloseButtonRect();
  TRect GetCloseButtonWindowRect() { return ClientToWindowRect(GetCloseButtonRect()); }
  TRect GetSizeGripRect();
  TRect GetMarkRect() override;
  TRect GetMarkWindowRect();
  TRect ClientToWindowRect(const TRect& R);
  bool HasSizeGrip() const { return FHasSizeGrip; }
  // The non-client area: border, gripper, floating caption, status-bar grip.
  virtual void DrawFrame(HDC DC);
  void PaintNonClientArea(HDC DC) override;
  HDC GetNonClientDC(HRGN AUpdateRegion) override;
  void ReleaseNonClientDC(HDC DC) override;
  bool HasNonClientArea() override;
  TPoint GetClientOffset() override;
  TRect GetOuterBounds() override;
  bool HasBackgroundBitmap() override;
  bool HasCustomBackground() override;
  // Caption buttons (window coordinates).
  virtual void ClickCaptionButton(int AIndex);
  // A caption button's hint shows its screen tip at the button.
  void ActivateItemHint(bool AShow, const String& AHint, TObject* AHintObject) override;
  TdxBarCaptionButtons* CaptionButtons();
  void LayoutCaptionButtons();

  // MDI buttons of the main menu bar.
  virtual bool ShowsMDIButtons();
  bool HasMDIArea();
  int MDIAreaWidth();
  int MDIAreaHeight();
  int MDIButtonWidth() const { return FMDIButtonWidth; }
  int MDIButtonHeight() const { return FMDIButtonHeight; }
  TRect GetMDIButtonRect(TdxBarMDIButton AButton);
  // AMask: 3 = grayed or disabled when pressing, 1 = grayed when hot tracking.
  bool IsMDIButtonEnabled(TdxBarMDIButton AButton, int AMask);
  void DrawMDIButtons(HDC DC, bool AExclude, bool AOnlyCloseButton);
  void RepaintMDIButtons();
  // The state value the painter draws an MDI button in.
  int MDIButtonDrawState(TdxBarMDIButton AButton);

  // The mark.
  bool AllowsMarkHotTrack();
  void ChangeMarkState(TdxBarMarkState AValue) override;
  void ClickMark(TPoint APoint);
  void InvalidateMark();
  TRect GetParentMarkScreenRect();
  TdxBarControl* QuickPopup() const { return FQuickPopup; }
  void StartMoreButtonsHintTimer();
  void StopMoreButtonsHintTimer();
  // What the timer does on each tick.
  void MoreButtonsHintTimerTick();
  bool MoreButtonsHintTimerRunning() const { return FMoreButtonsHintTimer != 0; }
  TdxBarControlMarkFadingHelper* MarkFadingHelper() const { return FMarkFadingHelper; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void Resize() override;
  TClass GetViewInfoClass() override { return TdxBarControlViewInfo::StaticClass(); }
  void RecalcLayout(bool ARebuildControls) override;
  bool IsUpdateLocked() override;
  void CalcLayout() override;
  void CalcToolbarItemRects() override;
  void AssignDefaultFont() override;
  void ApplyAlphaBlend() override;
  void BoundsChanged(UINT ASwpFlags) override;
  void PaintBar() override;
  virtual void DrawSeparator(const TRect& ARect, bool AHorizontal);
  virtual void DrawBarBackground();
  void ItemMouseDown(TMouseButton AButton, TShiftState AShift, TPoint APoint, TdxBarItemControl* AControl) override;
  void ItemMouseMove(TShiftState AShift, TPoint APoint, TdxBarItemControl* AControl) override;
  void BarMouseLeave() override;
  void PressItemControl(TdxBarItemControl* AControl) override;
  bool IsMouseInputBlocked(bool ACheckPosition) override;
  void HandleBarKey(TWMKey& Message) override;
  void ApplyIsActive(bool AValue) override;
  void SetSelectedItemControl(TdxBarItemControl* AControl) override;
  void SelectItemForCustomizing(TdxBarItemControl* AControl, TMouseButton AButton, TShiftState AShift) override;
  void ShowCustomizePopup(TdxBarItemControl* AControl) override;
  void EnterBarFocus(TdxBarItemControl* AControl) override;
  void LeaveBarFocus() override;
  void HideChain() override;
  bool AllowsCustomizing() override;
  // A press on the sizing border of the control already selected resizes it.
  void BeginItemDrag(TPoint APoint, bool AWasSelected) override;
  // The gripper area before the client area, where the cursor shows it moves the bar.
  virtual TRect GetMoveZoneExtents();
  void UpdateMovingCursor();

 private:
  friend class TdxBarControlViewInfo;
  friend class TdxBarControlMarkFadingHelper;
  friend class TdxBarControlMDIButtonFadingHelper;
  friend void dxBarFreeFadingHelpers(TdxBarControl* AOwner);
  friend void dxBarFreeCaptionButtonHint(TdxBarControl* AOwner);
  // Fills the layout's items from the item controls of the displayed links.
  void FillLayout();
  // Hands a size's row breaks and recent count to the controls and links.
  void ApplySize(const TdxBarToolbarSize& ASize, bool AKeepRecentCount);
  void ToggleDocking();
  void TakeKeptWindow(TdxDockControl* ADock);
  void Init();
  void WMNCCalcSize(TMessage& Message);
  void WMNCHitTest(TMessage& Message);
  void WMNCLButtonDown(TMessage& Message);
  void WMSizing(TMessage& Message);
  void WMGetMinMaxInfo(TMessage& Message);
  void WMWindowPosChanging(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void WMDestroy(TMessage& Message);
  void WMCaptureChanged(TMessage& Message);
  // Ends an item resize: applied on the button's release, dropped when the capture goes.
  void EndItemSizing(bool AApply);
  void FontChanged(TMessage& Message);
  // The caption-button loop: the close button (-2) or a caption button is
  // held until the left button comes up; true when released over it.
  bool TrackCaptionButton(int AButton, TPoint AWindowPoint);
  void UpdateCaptionButtonState(int AButton, TPoint AWindowPoint, bool APressed);
  // MDI buttons.
  int MDIButtonAt(TPoint APoint, int AMask);
  bool PressMDIButton(TPoint APoint);
  void TrackMDIButtons(TPoint APoint);
  bool ReleaseMDIButton(TPoint APoint);
  void CancelMDIButtons();
  TdxBarMDIButtonsGeometry MDIButtonsGeometry();

  TdxBar* FBar = nullptr;
  HWND FBeforeBarGetFocusFocusedWnd = nullptr;
  TdxBarMarkState FCloseButtonState = msNone;
  HWND FDockedHandle = nullptr;
  HWND FFloatingHandle = nullptr;
  TcxBitmap32* FDrawBitmap = nullptr;
  HDC FNonClientWindowDC = nullptr;
  bool FIsResizing = false;
  bool FHasSizeGrip = false;
  int FHitTest = HTCLIENT;
  int FInternalLockCount = 0;
  TdxBarControlMarkFadingHelper* FMarkFadingHelper = nullptr;
  TdxBarControlMDIButtonFadingHelper* FMDIButtonFadingHelper[3] = {nullptr, nullptr, nullptr};
  int FMDIButtonWidth = 0;
  int FMDIButtonHeight = 0;
  UINT_PTR FMoreButtonsHintTimer = 0;
  bool FMoving = false;
  TdxBar* FPopupBar = nullptr;
  bool FPosSaving = false;
  TcxRegion* FPrevClipRgn = nullptr;
  TcxObjectLink* FPrevFocusedBarControlLink = nullptr;
  TdxBarControl* FQuickPopup = nullptr;
  TdxBarCaptionButtonHint* FCaptionButtonHint = nullptr;
  bool FTruncated = false;
  TdxBarToolbarLayout FLayout;
  std::vector<TdxBarItemLink*> FLayoutLinks;
  bool FItemSizesValid = false;
  int FCloseButtonWidth = 0;
  std::vector<TSize> FItemSizes;
};

// Makes the window of a visible toolbar (the model's seam).
IdxBarControl* dxBarCreateToolbarControl(TdxBarManager* AManager, TdxBar* ABar);
