// Toolbars: one toolbar's docking state, position, options and links, and
// the manager's collection of toolbars that owns the four side docks and
// moves toolbars with the mouse.
#pragma once

#include "bars/model/dxBarBase.h"
#include "bars/model/dxBarComponents.h"

#include <vector>

class TBitmap;
class TFont;
class TdxBarItemLinks;
class TdxBarMergeData;

// The extra buttons of a floating toolbar's caption (dxBarCaptionButtons.h).
class TdxBarCaptionButton;
class TdxBarCaptionButtons;

// What toolbars and the drag of a toolbar ask of toolbar windows. The bar
// controls layer fills the slot at its start-up; until then a toolbar's
// window (a fake in the model's tests) is only made and freed.
class IdxBarToolbarWindows {
 public:
  // Moves the window into a dock with the style, or out of any dock for a
  // nil dock; the caller holds the window's internal lock.
  virtual void ChangeDockControl(IdxBarControl* AControl, TdxBarDockingStyle AStyle, IdxBarDockControl* ADock) = 0;
  // Only the style follows (the toolbar's DockingStyle changed).
  virtual void ChangeDockingStyle(IdxBarControl* AControl, TdxBarDockingStyle AStyle) = 0;
  virtual TdxBarDockingStyle DockingStyle(IdxBarControl* AControl) = 0;
  virtual IdxBarDockControl* DockControl(IdxBarControl* AControl) = 0;
  // The lock that keeps a window from laying itself out while it changes docks.
  virtual void BeginInternalLock(IdxBarControl* AControl) = 0;
  virtual void EndInternalLock(IdxBarControl* AControl) = 0;
  virtual bool IsInternalLocked(IdxBarControl* AControl) = 0;
  // The outer size of the window for a style (dsNone: from the float client size).
  virtual TPoint CalcSizeForDockingStyle(IdxBarControl* AControl, TdxBarDockingStyle AStyle) = 0;
  // The window's bounds: in its dock's client coordinates when docked, on
  // the screen when floating.
  virtual TRect WindowBounds(IdxBarControl* AControl) = 0;
  virtual void SetWindowBounds(IdxBarControl* AControl, const TRect& ABounds) = 0;
  // Moves the window without activating, sizing or reordering it.
  virtual void SetWindowOrigin(IdxBarControl* AControl, const TPoint& AOrigin) = 0;
  // Shows the window without activating it, or hides it.
  virtual void ShowWindow(IdxBarControl* AControl, bool AShow) = 0;
  virtual HWND WindowHandle(IdxBarControl* AControl) = 0;
  // The window writes its position back into its toolbar.
  virtual void StorePosition(IdxBarControl* AControl) = 0;
  virtual void ApplyAlphaBlend(IdxBarControl* AControl) = 0;
  virtual void Invalidate(IdxBarControl* AControl) = 0;
  virtual bool CanClose(IdxBarControl* AControl) = 0;
  // Hooks for a value handed on by the toolbar and a changed glyph.
  virtual void NotifyBarResize(IdxBarControl* AControl, int AValue) = 0;
  virtual void NotifyBarChanged(IdxBarControl* AControl) = 0;
  // The painter's offsets of a toolbar's content for a style (left, top,
  // right, bottom): the real dock's painter, else the manager's.
  virtual TRect ContentOffsets(TdxBar* ABar, TdxBarDockingStyle AStyle, bool AHasSizeGrip) = 0;
  // The drag.
  virtual bool CanDock(IdxBarControl* AControl) = 0;
  virtual void SwitchMovingMode(IdxBarControl* AControl, bool AMoving) = 0;
  // Where the cursor lies inside the window while it is dragged, for a style.
  virtual TPoint DragOffsetForStyle(IdxBarControl* AControl, TdxBarDockingStyle AStyle) = 0;

 protected:
  ~IdxBarToolbarWindows() = default;
};

IdxBarToolbarWindows*& dxBarToolbarWindows();

class TdxBar : public TcxComponentCollectionItem, public IdxBarLinksOwner, public IdxBarSelectableItem {
  DECLARE_CLASS(TdxBar, TcxComponentCollectionItem)
  explicit TdxBar(TComponent* AOwner);
  ~TdxBar() override;
  void BeforeDestruction() override;

  TdxBarManager* BarManager() const override;
  TdxBars* Bars() const;
  TdxBarItemLinks* ItemLinks() const { return FItemLinks; }
  void SetItemLinks(TdxBarItemLinks* AValue);
  IdxBarControl* Control() const;
  // The free-standing dock the bar is docked in, else the manager's side
  // dock of its docking style; nil when floating.
  IdxBarDockControl* RealDockControl() const;

  bool AllowClose() const { return FAllowClose; }
  void SetAllowClose(bool AValue);
  bool AllowCustomizing() const { return FAllowCustomizing; }
  void SetAllowCustomizing(bool AValue) { FAllowCustomizing = AValue; }
  bool AllowQuickCustomizing() const { return FAllowQuickCustomizing; }
  void SetAllowQuickCustomizing(bool AValue);
  bool AllowReset() const { return FAllowReset; }
  void SetAllowReset(bool AValue) { FAllowReset = AValue; }
  int AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(int AValue);
  TBitmap* BackgroundBitmap() const { return FBackgroundBitmap; }
  void SetBackgroundBitmap(TBitmap* AValue);
  TdxBarBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TdxBarBorderStyle AValue);
  const String& Caption() const { return FCaption; }
  // A caption another toolbar of the manager bears is refused silently.
  void SetCaption(const String& AValue);
  TdxBarCaptionButtons* CaptionButtons() const { return FCaptionButtons; }
  TColor Color() const { return FColor; }
  void SetColor(TColor AValue);
  // The free-standing dock the bar is docked in (nil: a side dock or floating).
  IdxBarDockControl* DockControl() const;
  void SetDockControl(IdxBarDockControl* AValue);
  // The dock a floating bar returns to when docked again.
  IdxBarDockControl* DockedDockControl() const { return FDockedDockControl; }
  void SetDockedDockControl(IdxBarDockControl* AValue);
  TdxBarDockingStyle DockedDockingStyle() const;
  void SetDockedDockingStyle(TdxBarDockingStyle AValue);
  int DockedLeft() const { return FDockedLeft; }
  void SetDockedLeft(int AValue);
  int DockedTop() const { return FDockedTop; }
  void SetDockedTop(int AValue);
  TdxBarDockingStyle DockingStyle() const;
  void SetDockingStyle(TdxBarDockingStyle AValue);
  // The dock row holding the bar; the setter leaves the old row (freeing it
  // when it empties) and joins the new one.
  IdxBarDockRow* DockRow() const { return FDockRow; }
  void SetDockRow(IdxBarDockRow* AValue);
  int FloatLeft() const { return FFloatLeft; }
  void SetFloatLeft(int AValue);
  int FloatTop() const { return FFloatTop; }
  void SetFloatTop(int AValue);
  int FloatClientWidth() const { return FFloatClientWidth; }
  void SetFloatClientWidth(int AValue);
  int FloatClientHeight() const { return FFloatClientHeight; }
  void SetFloatClientHeight(int AValue);
  TFont* Font() const { return FFont; }
  void SetFont(TFont* AValue);
  // The font of edit items: a scaled copy of the bar's font.
  TFont* EditFont() const { return FEditFont; }
  TBitmap* Glyph() const { return FGlyph; }
  void SetGlyph(TBitmap* AValue);
  bool Hidden() const { return FHidden; }
  void SetHidden(bool AValue);
  bool IsMainMenu() const { return FIsMainMenu; }
  void SetIsMainMenu(bool AValue);
  const String& KeyTip() const { return FKeyTip; }
  void SetKeyTip(const String& AValue) { FKeyTip = AValue; }
  // True opens an update bracket of the manager, False closes it.
  bool LockUpdate() const { return FLockUpdate; }
  void SetLockUpdate(bool AValue);
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool AValue);
  TdxBarDockingStyles NotDocking() const { return FNotDocking; }
  void SetNotDocking(TdxBarDockingStyles AValue);
  const String& OldName() const { return FOldName; }
  void SetOldName(const String& AValue) { FOldName = AValue; }
  bool OneOnRow() const { return FOneOnRow; }
  void SetOneOnRow(bool AValue);
  bool RotateWhenVertical() const { return FRotateWhenVertical; }
  void SetRotateWhenVertical(bool AValue);
  // The index of the bar's dock row, else the stored row.
  int Row() const;
  void SetRow(int AValue);
  bool ShowMark() const { return FShowMark; }
  void SetShowMark(bool AValue);
  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool AValue);
  bool UseOwnFont() const { return FUseOwnFont; }
  void SetUseOwnFont(bool AValue);
  bool UseRecentItems() const;
  void SetUseRecentItems(bool AValue);
  bool UseRestSpace() const { return FUseRestSpace; }
  void SetUseRestSpace(bool AValue);
  bool Visible() const;
  void SetVisible(bool AValue);
  bool WholeRow() const { return FWholeRow; }
  void SetWholeRow(bool AValue);
  // While set (reading the manager's legacy toolbar list), a new name goes to OldName only.
  void SetIsNameLocked(bool AValue) { FIsNameLocked = AValue; }
  void SetName(const String& ANewName) override;

  // The references the component stream reads and writes.
  TComponent* DockControlReference() const;
  void SetDockControlReference(TComponent* AValue);
  TComponent* DockedDockControlReference() const;
  void SetDockedDockControlReference(TComponent* AValue);

  bool IsPredefined() const { return FIsPredefined; }
  // Hidden by the system (its links all became unavailable), not by the
  // user; every Visible assignment clears the mark.
  bool InternallyHidden() const { return FInternallyHidden; }
  void SetInternallyHidden(bool AValue) { FInternallyHidden = AValue; }
  bool IsVertical() const;
  // The user may close it: AllowClose, not the main menu, and its window agrees.
  bool IsClosable() const;
  bool CanReset() const { return FIsPredefined && FAllowReset; }
  bool HasAllowedDockingStyle() const;
  // No border, docked at the bottom and taking the whole row.
  bool IsStatusBarLike() const;
  // A status-bar-like bar with SizeGrip, its form not maximized, and its
  // window on the bottom edge of every parent's client area.
  bool IsSizeGripShown() const;
  // The painter's content offsets summed along x and along y.
  int ContentOffsetsWidth(TdxBarDockingStyle AStyle) const;
  int ContentOffsetsHeight(TdxBarDockingStyle AStyle) const;
  // It has a window and floats.
  bool HasFloatingWindow() const;
  bool ExecuteShortCut(Word AShortCut);
  // Records a layout change, applied when the manager's update bracket closes.
  void MarkChanged() { FChanged = true; }
  bool ChangedFlag() const { return FChanged; }
  // The manager no longer hides empty toolbars: none counts as hidden by it.
  void ForgetInternalHiding() { FInternallyHidden = false; }
  void ClearChanged() { FChanged = false; }
  // A side dock of the manager counts as none; the same style or another
  // dock sets the dock, else the style.
  void ChangeDockingStyle(TdxBarDockingStyle AStyle, IdxBarDockControl* ADockControl);
  // The bar's window moved itself: its style and the dock it sits in.
  void ChangeDockingStyle(TdxBarDockingStyle AStyle);
  // A docked bar floats; a floating one docks where it was docked last (a
  // bar never docked: in a new last row of the top dock), when allowed.
  void ToggleDocking();
  // A dock goes: the bar leaves it (hidden when it was its real dock) and
  // forgets it as its dock and as the dock to return to.
  void DockControlRemoving(IdxBarDockControl* ADock, bool AHide);
  // Floats the toolbar at a screen position.
  void Move(int X, int Y);
  // Docks it in a row of a dock at a position along it (nil: its current dock).
  void Move(IdxBarDockControl* ADockControl, int ARow, int APosition);
  void Move(TdxBarDockingStyle ADockingStyle, int ARow, int APosition);
  // Docks it next to another docked toolbar: at its place, or after it.
  void Move(TdxBar* ABar, bool AInsertAfter);
  // Merges ABar's links into this toolbar and hides ABar; EdxException for a
  // toolbar that cannot take part (the state is left unchanged).
  void Merge(TdxBar* ABar);
  // Takes back the links of ABar (of every merged toolbar for nil) and, with
  // ARestoreVisibility, shows them as they were; a toolbar made by merging
  // that becomes empty goes (or is only hidden when it is to survive).
  void Unmerge(TdxBar* ABar = nullptr, bool ARestoreVisibility = true);
  // The merge record (dxBarMerging.h).
  TdxBarMergeData* MergeData() const { return FMergeData; }
  TdxBar* MergedWith() const;
  int MergedBarCount() const;
  bool CreatedByMerging() const;
  bool VisibleBeforeMerging() const;
  void SetCreatedByMerging(bool AValue);
  void SetShouldNotBeDestroyedIfEmptyAfterUnmerge(bool AValue) { FShouldNotBeDestroyedIfEmptyAfterUnmerge = AValue; }
  // Back to the designed state; asks first (OK resets).
  void Reset();
  void ResetWithConfirmation();
  // Takes the loaded dock, docking state and visibility (the manager's Loaded).
  void ApplyLoadedState();
  // Takes the manager's font unless the toolbar has its own.
  void ManagerFontChanged();
  // Sub items that become this toolbar when detached hear when it goes.
  void AddFreeNotification(TComponent* AItem);
  void RemoveFreeNotification(TComponent* AItem);
  void Assign(TPersistent* ASource) override;
  void Updating() override;
  void Updated() override;

  // The bar-control class: the one its real dock asks for (nil: the window
  // layer's toolbar window).
  virtual TClass GetControlClass();
  // Hands a value on to the window's resize hook (the caption buttons' change).
  virtual void PassValueToControl(int AValue);

  // IdxBarLinksOwner
  TdxBarItemLinks* GetItemLinks() override { return FItemLinks; }
  IdxBarControl* CreateBarControl() override;
  bool CanContainItem(TdxBarItem* AItem, String& AErrorText) override;
  TComponent* GetInstance() override { return this; }

  // IdxBarSelectableItem
  bool MayBeDeleted(bool ADeleteComponent) override;
  void DeleteFromDesigner(IdxBarSelectableItem*& AReference, bool ADeleteComponent) override;
  void RunCustomizationAction(TdxBarCustomizationAction) override {}
  void CollectMasterObjects(TdxObjectList* AObjects) override;
  IdxBarSelectableItem* FollowingSelectable() override;
  TPersistent* SelectableParentObject() override;
  TdxBarSelectionStatus DesignSelectionState() override;
  TdxBarCustomizationActions SupportedCustomizationActions() override { return {caDelete}; }
  void RefreshDesignView() override;
  bool HasMultipleParts() override { return false; }
  bool IsDesignSelected() override { return DesignSelectionState() == ssActiveSelected; }
  void SelectInDesigner(TdxBarSelectionOperation AOperation) override;
  bool SelectParentInDesigner() override;
  void SelectionStateChanged() override;
  TPersistent* SelectableInstance() override { return this; }

  TNotifyEvent OnDestroy;

 protected:
  TcxComponentCollection* CollectionOfParent(TComponent* AParent) override;

 private:
  friend class TdxBars;
  void AttachToManager();
  void ReportChange();
  // Stores a changed value and reports the change.
  template <class T>
  bool ChangeValue(T& AField, T AValue);
  bool ManagerLoading() const;
  bool IsDestroyingBar() const;
  // A dock of another manager is ignored.
  bool IsForeignDock(IdxBarDockControl* ADock) const;
  void FontChanged(TObject* Sender);
  // The window hears of a change of the caption buttons.
  void CaptionButtonsChanged(TObject* Sender, TCollectionItem* AItem);
  void GlyphChanged(TObject* Sender);
  void BackgroundBitmapChanged(TObject* Sender);
  // A scaled copy of the font when the manager scales.
  void UpdateEditFont(TdxBarManager* AManager);
  // Places the window in its dock or at its floating position and shows it.
  void PlaceBarControl();
  // A position setter moved the bar: the window follows, now or after the update.
  void UpdateControlPosition();
  void RefreshControlFrame();
  void RepaintControl();
  // The dock row when it belongs to the real dock.
  IdxBarDockRow* OwnDockRow() const;
  // Appends one row to the dock, or rows up to AIndex (bounded); answers the row to join.
  IdxBarDockRow* AppendRows(IdxBarDockControl* ADock, int AIndex, bool AUntilIndex);
  // Takes ABar's merged links out and forgets it as merged.
  void DetachMerged(TdxBar* ABar, bool ARestoreVisibility);
  // A toolbar made by merging that no longer holds links goes (or only
  // hides when it is to survive); others stay.
  void DropIfEmptiedByUnmerge();
  // Hides or shows, keeping an MDI child owner's bounds.
  void SetVisibleKeepingMDIBounds(bool AValue);

  bool FAllowClose = true;
  bool FAllowCustomizing = true;
  bool FAllowQuickCustomizing = true;
  bool FAllowReset = true;
  Byte FAlphaBlendValue = 255;
  TBitmap* FBackgroundBitmap = nullptr;
  TdxBarBorderStyle FBorderStyle = bbsSingle;
  String FCaption;
  TdxBarCaptionButtons* FCaptionButtons = nullptr;
  bool FChanged = false;
  TColor FColor;
  bool FChangingDockingStyle = false;
  IdxBarDockControl* FDockControl = nullptr;
  IdxBarDockControl* FDockedDockControl = nullptr;
  TdxBarDockingStyle FDockedDockingStyle = dsTop;
  int FDockedLeft = 0;
  int FDockedTop = 0;
  TdxBarDockingStyle FDockingStyle = dsNone;
  IdxBarDockRow* FDockRow = nullptr;
  TFont* FEditFont = nullptr;
  int FFloatLeft = 0;
  int FFloatTop = 0;
  int FFloatClientWidth = 0;
  int FFloatClientHeight = 0;
  TFont* FFont = nullptr;
  std::vector<TComponent*> FFreeNotificationItems;
  TBitmap* FGlyph = nullptr;
  bool FHidden = false;
  bool FInternalFontChange = false;
  bool FInternallyHidden = false;
  bool FIsMainMenu = false;
  bool FIsNameLocked = false;
  bool FIsPredefined = false;
  TdxBarItemLinks* FItemLinks = nullptr;
  String FKeyTip;
  IdxBarDockControl* FLoadedDockControl = nullptr;
  TdxBarDockingStyle FLoadedDockingStyle = dsNone;
  bool FLoadedVisible = false;
  bool FLockUpdate = false;
  bool FNeedUpdateControlPosition = false;
  TdxBarDockingStyles FNotDocking;
  bool FMultiLine = false;
  bool FOneOnRow = false;
  String FOldName;
  bool FRotateWhenVertical = true;
  int FRow = 0;
  bool FShouldNotBeDestroyedIfEmptyAfterUnmerge = false;
  bool FShowMark = true;
  bool FSizeGrip = true;
  bool FUseOwnFont = false;
  bool FUseRestSpace = false;
  bool FVisible = false;
  bool FWholeRow = false;
  // Merge state.
  TdxBarMergeData* FMergeData = nullptr;
};

// The manager's four side docks, by docking style (dsNone holds none).
using TdxDockControls = IdxBarDockControl* [5];

class TdxBars : public TcxComponentCollection {
  DECLARE_CLASS(TdxBars, TcxComponentCollection)
  explicit TdxBars(TdxBarManager* ABarManager);
  ~TdxBars() override;

  TdxBarManager* BarManager() const { return FBarManager; }
  TdxBar* Add() { return static_cast<TdxBar*>(TcxComponentCollection::Add()); }
  TdxBar* Insert(int AIndex) { return static_cast<TdxBar*>(TcxComponentCollection::Insert(AIndex)); }
  TdxBar* Items(int AIndex) const { return static_cast<TdxBar*>(TcxComponentCollection::Items(AIndex)); }
  TdxBar* BarAt(int AIndex) const { return Items(AIndex); }
  TdxBar* operator[](int AIndex) const { return Items(AIndex); }
  // The side dock of a docking style (nil for dsNone).
  IdxBarDockControl* DockControls(TdxBarDockingStyle AStyle) const;
  // A side dock freed by its parent window (the form goes first): forgotten.
  void DockControlDestroyed(IdxBarDockControl* ADock);
  // Empties the side slot the dock fills (the manager's unregistering).
  void ForgetSideDock(IdxBarDockControl* ADock);
  int DockingZoneSize() const { return FDockingZoneSize; }
  // The first toolbar name ABaseName + n that no toolbar of the manager has
  // (exact comparison); the designer's service in design mode.
  String GetUniqueToolbarName(const String& ABaseName) const;
  // Every toolbar with a window repaints it.
  void RepaintBars();
  // Inserts a window into a dock (the side dock of the style for nil) at a
  // screen point, re-arranging it; removes it from its row again.
  void InsertBarControl(IdxBarControl* AControl, TdxBarDockingStyle AStyle, IdxBarDockControl* ADock,
                        const TPoint& AScreenPoint);
  void RealignBarControlRow(IdxBarControl* AControl, TdxBarDockingStyle AStyle, IdxBarDockControl* ADock);

  // The dock a toolbar at the screen point goes to: the sides in the order
  // left, right, top, bottom, each dock the manager allows whose zone holds
  // the point; while moving, once more without the moving offset. False
  // (floating) when none takes it, or while moving with the copy key down.
  bool FindDockTarget(const TPoint& APoint, TdxBar* ABar, bool ACopyKeyDown, TdxBarDockingStyle& AStyle,
                      IdxBarDockControl*& ADockControl) const;
  // The interactive move of a toolbar's window with the mouse: a modal loop
  // until the button is released, Esc is pressed or the capture is lost.
  void RunBarDragLoop(IdxBarControl* AControl);
  // Moves the dragged window to a screen point (the cursor plus the moving offset).
  void MoveBarControl(IdxBarControl* AControl, const TPoint& APoint);
  void MoveBarControl(IdxBarControl* AControl, const TPoint& APoint, bool ACopyKeyDown);

  // The state of a toolbar being moved with the mouse.
  bool IsMoving() const { return FMoving; }
  bool IsDocking() const { return FDocking; }
  void SetMoving(bool AValue, const TPoint& AMovingOffset = TPoint()) {
    FMoving = AValue;
    FMovingOffset = AMovingOffset;
  }
  const TPoint& MovingOffset() const { return FMovingOffset; }
  // The toolbar window being moved, the docking style it had when the move
  // began and the grab offset that does not change with its size; the drag
  // keeps the cursor there when the bar returns to that style.
  IdxBarControl* MovingBarControl() const { return FMovingBarControl; }
  TdxBarDockingStyle MovingBarOriginalDockingStyle() const { return FMovingBarOriginalDockingStyle; }
  const TPoint& MovingStaticOffset() const { return FMovingStaticOffset; }
  void SetMovingBar(IdxBarControl* AControl, TdxBarDockingStyle AOriginalStyle, const TPoint& AStaticOffset) {
    FMovingBarControl = AControl;
    FMovingBarOriginalDockingStyle = AOriginalStyle;
    FMovingStaticOffset = AStaticOffset;
  }

 protected:
  void SetUpNewItem(TcxComponentCollectionItem* AItem) override;
  void NotifyChange(TcxComponentCollectionItem* AItem, TcxComponentCollectionNotification AAction) override;

 private:
  friend void dxBarDockingTimerFired();
  void StartDockingDelay();
  void DockingDelayElapsed();

  TdxDockControls FDockControls = {nullptr, nullptr, nullptr, nullptr, nullptr};
  bool FDocking = false;
  int FDockingZoneSize = 23;
  TdxBarManager* FBarManager;
  bool FMoving = false;
  IdxBarControl* FMovingBarControl = nullptr;
  TdxBarDockingStyle FMovingBarOriginalDockingStyle = dsNone;
  TPoint FMovingOffset;
  TPoint FMovingStaticOffset;
};

// The docking delay of a dragged floating toolbar: its thread timer fired
// (the timer's callback; tests call it instead of waiting). Nothing when no
// delay runs.
void dxBarDockingTimerFired();
// Whether a docking delay runs.
bool dxBarDockingDelayPending();
