// Toolbars: one toolbar's docking state, position, options and links, and
// the manager's collection of toolbars that owns the four side docks.
#pragma once

#include "bars/model/dxBarBase.h"

#include <vector>

class TFont;
class TdxBarItemLinks;

// The extra buttons of a floating toolbar's caption (dxBarCaptionButtons.h).
class TdxBarCaptionButton;
class TdxBarCaptionButtons;

class TdxBar : public TcxComponentCollectionItem, public IdxBarLinksOwner {
  DECLARE_CLASS(TdxBar, TcxComponentCollectionItem)
  explicit TdxBar(TComponent* AOwner);
  ~TdxBar() override;
  void BeforeDestruction() override;

  TdxBarManager* BarManager() const;
  TdxBars* Bars() const;
  TdxBarItemLinks* ItemLinks() const { return FItemLinks; }
  void SetItemLinks(TdxBarItemLinks* AValue);
  IdxBarControl* Control() const;
  // The side dock of the docking style, nil when floating.
  IdxBarDockControl* RealDockControl() const;

  bool AllowClose() const { return FAllowClose; }
  void SetAllowClose(bool AValue) { FAllowClose = AValue; }
  bool AllowCustomizing() const { return FAllowCustomizing; }
  void SetAllowCustomizing(bool AValue) { FAllowCustomizing = AValue; }
  bool AllowQuickCustomizing() const { return FAllowQuickCustomizing; }
  void SetAllowQuickCustomizing(bool AValue) { FAllowQuickCustomizing = AValue; }
  bool AllowReset() const { return FAllowReset; }
  void SetAllowReset(bool AValue) { FAllowReset = AValue; }
  int AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(int AValue) { FAlphaBlendValue = static_cast<Byte>(AValue); }
  TdxBarBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TdxBarBorderStyle AValue) { FBorderStyle = AValue; }
  const String& Caption() const { return FCaption; }
  // A caption another toolbar of the manager bears is refused silently.
  void SetCaption(const String& AValue);
  TdxBarCaptionButtons* CaptionButtons() const { return FCaptionButtons; }
  TColor Color() const { return FColor; }
  void SetColor(TColor AValue) { FColor = AValue; }
  TdxBarDockingStyle DockedDockingStyle() const { return FDockedDockingStyle; }
  void SetDockedDockingStyle(TdxBarDockingStyle AValue);
  int DockedLeft() const { return FDockedLeft; }
  void SetDockedLeft(int AValue);
  int DockedTop() const { return FDockedTop; }
  void SetDockedTop(int AValue);
  TdxBarDockingStyle DockingStyle() const;
  void SetDockingStyle(TdxBarDockingStyle AValue);
  // The bar's window moved itself to another style (a drag, a dock of its
  // own): the style is stored and the window kept.
  void ChangeDockingStyle(TdxBarDockingStyle AValue);
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
  bool Hidden() const { return FHidden; }
  void SetHidden(bool AValue);
  bool IsMainMenu() const { return FIsMainMenu; }
  void SetIsMainMenu(bool AValue);
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool AValue);
  TdxBarDockingStyles NotDocking() const { return FNotDocking; }
  void SetNotDocking(TdxBarDockingStyles AValue) { FNotDocking = AValue; }
  const String& OldName() const { return FOldName; }
  void SetOldName(const String& AValue) { FOldName = AValue; }
  bool OneOnRow() const { return FOneOnRow; }
  void SetOneOnRow(bool AValue);
  bool RotateWhenVertical() const { return FRotateWhenVertical; }
  void SetRotateWhenVertical(bool AValue) {
    if (FRotateWhenVertical == AValue) return;
    FRotateWhenVertical = AValue;
    if (IdxBarControl* control = Control()) control->UpdateFont();
  }
  int Row() const { return FRow; }
  void SetRow(int AValue);
  bool ShowMark() const { return FShowMark; }
  void SetShowMark(bool AValue) { FShowMark = AValue; }
  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool AValue) { FSizeGrip = AValue; }
  bool UseOwnFont() const { return FUseOwnFont; }
  void SetUseOwnFont(bool AValue);
  bool UseRecentItems() const;
  void SetUseRecentItems(bool AValue);
  bool UseRestSpace() const { return FUseRestSpace; }
  void SetUseRestSpace(bool AValue) { FUseRestSpace = AValue; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool AValue);
  bool WholeRow() const { return FWholeRow; }
  void SetWholeRow(bool AValue) { FWholeRow = AValue; }

  bool IsPredefined() const { return FIsPredefined; }
  bool IsVertical() const;
  bool IsClosable() const { return FAllowClose && !FIsMainMenu; }
  bool CanReset() const { return FIsPredefined && FAllowReset; }
  bool HasAllowedDockingStyle() const;
  // No border, docked at the bottom and taking the whole row.
  bool IsStatusBarLike() const;
  // Records a layout change, applied when the manager's update bracket closes.
  void MarkChanged() { FChanged = true; }
  bool ChangedFlag() const { return FChanged; }
  void ClearChanged() { FChanged = false; }
  // A side dock of the manager counts as none; only the manager's side docks
  // exist so far, so this sets the docking style.
  void ChangeDockingStyle(TdxBarDockingStyle AStyle, IdxBarDockControl* ADockControl);
  // Floats the toolbar at a screen position.
  void Move(int X, int Y);
  // Merges ABar's links into this toolbar and hides ABar; EdxException for a
  // toolbar that cannot take part (the state is left unchanged).
  void Merge(TdxBar* ABar);
  // Takes back the links of ABar (of every merged toolbar for nil) and shows
  // them as they were; a toolbar made by merging that becomes empty goes
  // (or is only hidden when it is to survive).
  void Unmerge(TdxBar* ABar = nullptr);
  TdxBar* MergedWith() const { return FMergedWith; }
  int MergedBarCount() const { return static_cast<int>(FMergedBars.size()); }
  bool CreatedByMerging() const { return FCreatedByMerging; }
  bool VisibleBeforeMerging() const { return FVisibleBeforeMerging; }
  void SetCreatedByMerging(bool AValue) { FCreatedByMerging = AValue; }
  void SetShouldNotBeDestroyedIfEmptyAfterUnmerge(bool AValue) { FKeepWhenEmptyAfterUnmerge = AValue; }
  // Takes the loaded docking state and visibility (the manager's Loaded).
  void ApplyLoadedState();
  // Takes the manager's font unless the toolbar has its own.
  void ManagerFontChanged();
  void Assign(TPersistent* ASource) override;

  // IdxBarLinksOwner
  TdxBarItemLinks* GetItemLinks() override { return FItemLinks; }
  IdxBarControl* CreateBarControl() override;
  bool CanContainItem(TdxBarItem* AItem, String& AErrorText) override;
  TComponent* GetInstance() override { return this; }

  TNotifyEvent OnDestroy;

 protected:
  TcxComponentCollection* CollectionOfParent(TComponent* AParent) override;

 private:
  friend class TdxBars;
  void AttachToManager();
  void ReportChange();
  // Stores a changed value and reports the change.
  template <class T>
  void ChangeValue(T& AField, T AValue);
  bool ManagerLoading() const;
  void FontChanged(TObject* Sender);
  void PlaceBarControl();
  // Takes ABar's merged links out and forgets it as merged.
  void DetachMerged(TdxBar* ABar, bool ARestoreVisibility);

  bool FAllowClose = true;
  bool FAllowCustomizing = true;
  bool FAllowQuickCustomizing = true;
  bool FAllowReset = true;
  Byte FAlphaBlendValue = 255;
  TdxBarBorderStyle FBorderStyle = bbsSingle;
  String FCaption;
  TdxBarCaptionButtons* FCaptionButtons = nullptr;
  bool FChanged = false;
  TColor FColor;
  TdxBarDockingStyle FDockedDockingStyle = dsTop;
  int FDockedLeft = 0;
  int FDockedTop = 0;
  TdxBarDockingStyle FDockingStyle = dsNone;
  int FFloatLeft = 0;
  int FFloatTop = 0;
  int FFloatClientWidth = 0;
  int FFloatClientHeight = 0;
  TFont* FFont = nullptr;
  bool FHidden = false;
  bool FInternalFontChange = false;
  bool FInternallyHidden = false;
  bool FIsMainMenu = false;
  bool FIsPredefined = false;
  TdxBarItemLinks* FItemLinks = nullptr;
  TdxBarDockingStyle FLoadedDockingStyle = dsNone;
  bool FLoadedVisible = false;
  bool FMultiLine = false;
  TdxBarDockingStyles FNotDocking;
  String FOldName;
  bool FOneOnRow = false;
  bool FRotateWhenVertical = true;
  int FRow = 0;
  bool FShowMark = true;
  bool FSizeGrip = true;
  bool FUseOwnFont = false;
  bool FUseRestSpace = false;
  bool FVisible = false;
  bool FWholeRow = false;
  // Merge state.
  TdxBar* FMergedWith = nullptr;
  std::vector<TdxBar*> FMergedBars;
  bool FVisibleBeforeMerging = false;
  bool FCreatedByMerging = false;
  bool FCreatedByMergingBarVisibleBeforeCustomization = false;
  bool FKeepWhenEmptyAfterUnmerge = false;
};

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
  // The dock a toolbar at the screen point goes to: the sides in the order
  // left, right, top, bottom, each dock the manager allows whose zone holds
  // the point; while moving, once more without the moving offset. False
  // (floating) when none takes it, or while moving with the copy key down.
  bool FindDockTarget(const TPoint& APoint, TdxBar* ABar, bool ACopyKeyDown, TdxBarDockingStyle& AStyle,
                      IdxBarDockControl*& ADockControl) const;
  // The state of a toolbar being moved with the mouse (the drag loop of the
  // windows sets it).
  bool IsMoving() const { return FMoving; }
  void SetMoving(bool AValue, const TPoint& AMovingOffset = TPoint()) {
    FMoving = AValue;
    FMovingOffset = AMovingOffset;
  }
  // The toolbar window being moved, nil when none.
  IdxBarControl* MovingBarControl() const { return FMovingBarControl; }
  void SetMovingBarControl(IdxBarControl* AValue) { FMovingBarControl = AValue; }

 protected:
  void SetUpNewItem(TcxComponentCollectionItem* AItem) override;
  void NotifyChange(TcxComponentCollectionItem* AItem, TcxComponentCollectionNotification AAction) override;

 private:
  TdxBarManager* FBarManager;
  IdxBarDockControl* FDockControls[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
  int FDockingZoneSize = 23;
  bool FMoving = false;
  TPoint FMovingOffset;
  IdxBarControl* FMovingBarControl = nullptr;
};
