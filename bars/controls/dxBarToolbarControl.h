// The window of one toolbar: a child of a dock control while docked, a popup
// owned by the manager's owner form while floating. It computes its sizes and
// item layout (through TdxBarToolbarLayout), switches between docked and
// floating (keeping both window handles while it is dragged) and stores its
// position in its TdxBar.
#pragma once

#include "bars/controls/dxBarControls.h"

class TdxBarControl;
class TdxDockControl;

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
  explicit TdxBarControl(TComponent* AOwner) : TCustomdxBarControl(AOwner) {}
  TdxBarControl(TComponent* AOwner, TdxBar* ABar);
  ~TdxBarControl() override;

  TdxBar* Bar() const { return FBar; }
  // The links arrive right after the window object is made: it takes its
  // place in its dock (its stored row and position) or floats, and shows.
  void SetItemLinks(TdxBarItemLinks* AValue) override;
  bool IsVertical() override;
  bool IsRealVertical() override;
  bool IsDockedLeftOrRight() const { return FDockingStyle == dsLeft || FDockingStyle == dsRight; }
  bool IsMultiRowLayout() const;
  bool HasMark() override;
  bool CanDock();
  bool Truncated() const { return FTruncated; }
  void SetTruncated(bool AValue) { FTruncated = AValue; }
  void SetDockControl(TdxDockControl* AValue);
  bool IsRestSpaceItem(TdxBarItemControl* AControl) override;
  HBRUSH GetToolbarBrush() override;
  void ScheduleRepaint() override;
  void CalcMetrics() override;

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
  // The MDI buttons or the manager's close button at the end of the main menu bar.
  bool HasMDIArea();
  int MDIAreaWidth();
  int MDIAreaHeight();
  int MDIButtonWidth() const { return FMDIButtonWidth; }
  int MDIButtonHeight() const { return FMDIButtonHeight; }
  virtual bool AllowsRowBreakOnOverflow() { return false; }
  virtual TPoint GetPopupSize() { return TPoint(0, 0); }
  // The hit rectangle of the control, and the separator before it; the caller deletes it.
  HRGN CreateItemRegion(TdxBarItemControl* AControl);
  // Where a dragged item lands at a client point: the link it goes before
  // or after (nil: nowhere), whether the test ran vertically and whether the
  // point lies on the separator before the link.
  void HitTestDropLink(TPoint APoint, TdxBarItemLink*& ALink, bool& AVertical, bool& ABefore, bool& AOnSeparator);
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
  // Written by the dock's row arrangement.
  int MinSize = 0;
  int MaxSize = 0;
  int NewLeft = 0, NewTop = 0, NewWidth = 0, NewHeight = 0;
  // Where the cursor grabbed the window: (offset, extent) per axis.
  TPoint RX, RY;
  int HitTest() const { return FHitTest; }

  // The floating frame: caption, close button and mark (client coordinates
  // unless named window rectangles; the caption lies above the client area).
  bool ShowsCloseButton() const { return FDockingStyle == dsNone && FBar && FBar->IsClosable(); }
  // Whether the user may close the window at all (a toolbar may; the
  // quick-customization window may not).
  virtual bool CanClose() { return true; }
  TdxBarMarkState CloseButtonState() const { return FCloseButtonState; }
  // Redraws the button at once when the state changes.
  void SetCloseButtonState(TdxBarMarkState AValue);
  TRect GetCaptionRect();
  TRect GetCloseButtonRect();
  TRect GetCloseButtonWindowRect() { return ClientToWindowRect(GetCloseButtonRect()); }
  TRect GetMarkWindowRect();
  TRect ClientToWindowRect(const TRect& R);
  // The non-client area: border, gripper, floating caption, status-bar grip.
  void DrawFrame(HDC DC);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  TClass GetViewInfoClass() override { return TdxBarControlViewInfo::StaticClass(); }
  void RecalcLayout(bool ARebuildControls) override;
  bool IsUpdateLocked() override;
  void CalcLayout() override;
  void CalcToolbarItemRects() override;
  void AssignDefaultFont() override;
  void BoundsChanged() override;
  void PaintBar() override;
  void ItemMouseDown(TMouseButton AButton, TShiftState AShift, TPoint APoint, TdxBarItemControl* AControl) override;
  void PressItemControl(TdxBarItemControl* AControl) override;
  void HandleBarKey(TWMKey& Message) override;
  void ApplyIsActive(bool AValue) override;
  void SetSelectedItemControl(TdxBarItemControl* AControl) override;

 private:
  friend class TdxBarControlViewInfo;
  // Fills the layout's items from the item controls of the displayed links.
  void FillLayout();
  // Hands a size's row breaks and recent count to the controls and links.
  void ApplySize(const TdxBarToolbarSize& ASize, bool AKeepRecentCount);
  void ToggleDocking();
  void TakeKeptWindow(TdxDockControl* ADock);
  void WMNCCalcSize(TMessage& Message);
  void WMNCHitTest(TMessage& Message);
  void WMNCPaint(TMessage& Message);

  TdxBar* FBar = nullptr;
  TdxBarToolbarLayout FLayout;
  std::vector<TdxBarItemLink*> FLayoutLinks;
  HWND FDockedHandle = nullptr;
  HWND FFloatingHandle = nullptr;
  int FHitTest = HTCLIENT;
  int FInternalLockCount = 0;
  bool FMoving = false;
  bool FPosSaving = false;
  bool FTruncated = false;
  bool FItemSizesValid = false;
  int FCloseButtonWidth = 0;
  int FMDIButtonWidth = 0;
  int FMDIButtonHeight = 0;
  TdxBarMarkState FCloseButtonState = msNone;
  std::vector<TSize> FItemSizes;
};

// Makes the window of a visible toolbar (the model's seam).
IdxBarControl* dxBarCreateToolbarControl(TdxBarManager* AManager, TdxBar* ABar);
