// The bar manager: the non-visual owner of a form's toolbars, items,
// categories and groups, with the option objects its toolbars share.
#pragma once

#include "bars/model/dxBarComponents.h"

#include "foundation/cxLookAndFeels.h"
#include "platform/core/StringLists.h"

#include <vector>

class TCustomForm;
class TCustomImageList;
class TFont;
class TMemIniFile;
class TWinControl;
class TcxLookAndFeel;
class TdxBarButton;
class TdxBarGroup;

DECLARE_ENUM(TdxBarInternalState, bisAfterLoading, bisBarsLoading, bisCreating, bisHandleCreating,
             bisModalActivating, bisFormActivating, bisToolbarsVisibleChanging, bisWasActive, bisStateSaving)
using TdxBarInternalStates = TSet<TdxBarInternalState, 16>;

using TdxBarEvent = TClosure<void(TdxBarManager* Sender, TdxBar* ABar)>;
using TdxBarVisibleChangeEvent = TClosure<void(TdxBarManager* Sender, TdxBar* ABar)>;
using TdxBarItemLinkEvent = TClosure<void(TdxBarManager* Sender, TdxBarItemLink* AItemLink)>;
using TdxBarClickItemEvent = TClosure<void(TdxBarManager* Sender, TdxBarItem* ClickedItem)>;
using TdxBarMergeItemLinkEvent =
    TClosure<void(TdxBarManager* Sender, TdxBarItemLinks* ADstItemLinks, TdxBarItemLinks* ASrcItemLinks,
                  TdxBarItemLink* ASrcItemLink, TdxBarItemMergeKind& AMergeKind, int& AMergeIndex)>;
using TdxBarCanDockingEvent =
    TClosure<void(TdxBar* Sender, TdxBarDockingStyle Style, IdxBarDockControl* DockControl, bool& CanDocking)>;

// The manager's categories: names, with the stored per-category item
// visibility and visibility kept beside them.
class TdxBarManagerCategories : public TStringList {
  DECLARE_CLASS(TdxBarManagerCategories, TStringList)
  explicit TdxBarManagerCategories(TdxBarManager* AManager) : FBarManager(AManager) {}
  void DefineProperties(TFiler* AFiler) override;
  TdxBarItemVisible ItemsVisible(int AIndex) const;
  bool Visible(int AIndex) const;

 private:
  void ReadItemsVisibles(TReader* AReader);
  void WriteItemsVisibles(TWriter* AWriter);
  void ReadVisibles(TReader* AReader);
  void WriteVisibles(TWriter* AWriter);
  TdxBarManager* FBarManager;
  std::vector<TdxBarItemVisible> FItemsVisibles;
  std::vector<bool> FVisibles;
};

// The image lists the manager's items draw from.
class TdxBarImageOptions : public TPersistent {
  DECLARE_CLASS(TdxBarImageOptions, TPersistent)
  explicit TdxBarImageOptions(TdxBarManager* AManager) : FBarManager(AManager) {}
  TPersistent* GetOwner() override;
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* AValue);
  TCustomImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* AValue);
  TCustomImageList* HotImages() const { return FHotImages; }
  void SetHotImages(TCustomImageList* AValue);
  // The image list went away.
  void ListFreed(TComponent* AList);

 private:
  void SetList(TCustomImageList*& AField, TCustomImageList* AValue);
  TdxBarManager* FBarManager;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FLargeImages = nullptr;
  TCustomImageList* FHotImages = nullptr;
};

// The links of popup menus to the controls they pop up on (the collection
// only: the links themselves come with the popup menus).
class TdxBarPopupMenuLink : public TCollectionItem {
  DECLARE_CLASS(TdxBarPopupMenuLink, TCollectionItem)
  explicit TdxBarPopupMenuLink(TCollection* ACollection) : TCollectionItem(ACollection) {}
};
class TdxBarPopupMenuLinks : public TOwnedCollection {
  DECLARE_CLASS(TdxBarPopupMenuLinks, TOwnedCollection)
  explicit TdxBarPopupMenuLinks(TdxBarManager* AManager);
};

class TdxBarManager : public TComponent {
  DECLARE_CLASS(TdxBarManager, TComponent)
  // EdxException when the owner is no windowed control or already has a manager.
  explicit TdxBarManager(TComponent* AOwner);
  ~TdxBarManager() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // Stream and ownership hooks.
  void DefineProperties(TFiler* AFiler) override;
  void GetChildren(TGetChildProc AProc, TComponent* ARoot) override;
  TComponent* GetChildOwner() override { return Owner(); }
  void SetChildOrder(TComponent* AChild, int AOrder) override;
  void ReadState(TReader* AReader) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation AOperation) override;

  // Update bracket: nested pairs relayout once, at the outermost EndUpdate.
  void BeginUpdate();
  void EndUpdate(bool ACheckBarsChanges = true);
  bool IsUpdateLocked() const { return FLockUpdateCount > 0; }
  bool LockUpdate() const { return FLockUpdate; }
  void SetLockUpdate(bool AValue);

  // Items, toolbars and groups.
  TdxBars* Bars() const { return FBars; }
  int ItemCount() const { return FItems->Count(); }
  TdxBarItem* Items(int AIndex) const;
  int GroupCount() const { return FGroups->Count(); }
  TdxBarGroup* Groups(int AIndex) const;
  // Nil for an index out of range.
  TdxBarItem* ItemAt(int AIndex) const;
  TdxBarGroup* GroupAt(int AIndex) const;
  TdxBarComponentList* ItemList() const { return FItems; }
  TdxBarComponentList* GroupList() const { return FGroups; }
  // The first item in item order with that name (case-insensitive), nil when none.
  TdxBarItem* GetItemByName(const String& AName) const;
  void GetAllItemsByCategory(int ACategory, TList* AList) const;
  // Clears the list and fills it with the actually visible items of the
  // category (all of them in design mode); answers their count.
  int GetItemsByCategory(int ACategory, TList* AList) const;
  // The class name without its first letter, then the first free number.
  String GetUniqueItemName(TClass AItemClass) const;
  TdxBarItemVisible CategoryItemsVisibleAt(int AIndex) const;
  bool CategoryVisibleAt(int AIndex) const;
  void MoveItem(int ACurIndex, int ANewIndex);
  TdxBar* BarByCaption(const String& ACaption) const;
  TdxBar* BarByComponentName(const String& AName) const;
  // ABaseName + the first number no toolbar's Name takes (compared as
  // component names are: without regard to case).
  String GetUniqueToolbarName(const String& ABaseName) const;
  TdxBarItem* AddItem(TClass AItemClass);
  TdxBarButton* AddButton();
  TdxBar* AddToolBar();
  TdxBarGroup* CreateGroup();

  // Most-recently-used bookkeeping.
  int MostRecentlyUsedUseCount() const { return FMostRecentlyUsedUseCount; }
  // Whether menus may show their recent items first (the effective style is
  // not the standard one).
  bool CanShowRecentItems() const;
  bool ShowsRecentItemsFirst() const { return FMenusShowRecentItemsFirst && CanShowRecentItems(); }
  // The effective style: for bmsUseLookAndFeel the style the look-and-feel
  // maps to (bmsUseLookAndFeel itself for a skin).
  TdxBarManagerStyle GetPaintStyle() const;
  bool IsFlatStyle() const { return FStyle == bmsFlat; }

  // Dock controls register themselves (the four side docks first).
  void RegisterDockControl(IdxBarDockControl* ADockControl);
  void UnregisterDockControl(IdxBarDockControl* ADockControl);
  int DockControlCount() const { return static_cast<int>(FDockControls.size()); }
  IdxBarDockControl* DockControlAt(int AIndex) const { return FDockControls.at(AIndex); }

  // Run-time customization: the flag and the links' lists (the dialogs come
  // with the customization layer).
  void Customizing(bool AValue);
  bool OtherManagerCustomizing() const;
  TdxBarItemControlBase* SelectedItem() const { return FSelectedItem; }
  void SetSelectedItem(TdxBarItemControlBase* AValue);
  // The same without designer notification.
  void StoreSelectedItem(TdxBarItemControlBase* AValue) { FSelectedItem = AValue; }

  // Whether the toolbar may dock there: neither the toolbar's nor the
  // manager's NotDocking holds the style, the dock accepts it, and OnDocking
  // may overturn the answer.
  virtual bool CanDockBar(TdxBar* ABar, TdxBarDockingStyle AStyle, IdxBarDockControl* ADockControl);
  // The click of an item: fires OnClickItem.
  virtual void DoClickItem(TdxBarItem* AItem);
  void DoItemLinkAdd(TdxBarItemLink* ALink);
  void DoItemLinkDelete(TdxBarItemLink* ALink);
  // Silent while the manager loads from the form.
  void DoItemLinkChange(TdxBarItemLink* ALink);
  void DoBarAdd(TdxBar* ABar);
  void DoBarDelete(TdxBar* ABar);
  void DoBarVisibleChange(TdxBar* ABar);
  virtual void DoBarDockingStyleChange(TdxBar* ABar);

  void SignalDesignerModified();
  void SetDesignerNotifyLock(bool ALock, bool ANotify = true);
  bool Modified() const { return FModified; }
  void SetModified(bool AValue) { FModified = AValue; }
  void ApplySystemFont();

  // State.
  TdxBarInternalStates InternalState() const { return FInternalState; }
  bool BarsLoading() const { return FInternalState.Contains(bisBarsLoading); }
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  // Loading from the form: from creation by the stream to the end of Loaded.
  bool LoadingFromForm() const { return IsLoading() || FInternalState.Contains(bisAfterLoading); }
  bool IsCustomizing() const { return FIsCustomizing || Designing(); }
  TWinControl* OwnerControl() const;
  bool IsCreatingHandles() const { return FInternalState.Contains(bisHandleCreating); }
  // The nearest form containing the owner; the nearest MDI child form
  // containing it, else its top-level form.
  TCustomForm* MainForm() const;
  TCustomForm* MasterForm() const;
  TCustomForm* TopLevelForm() const;
  bool ReadingAllowsReset() const { return FReadStateCount > 0 && FAllowReset; }
  TdxBar* MainMenuBar() const { return FMainMenuBar; }
  void SetMainMenuBar(TdxBar* ABar) { FMainMenuBar = ABar; }
  TMemIniFile* SavedState() const { return FSavedState; }

  // Published properties.
  bool AllowCallFromAnotherForm() const { return FAllowCallFromAnotherForm; }
  void SetAllowCallFromAnotherForm(bool AValue) { FAllowCallFromAnotherForm = AValue; }
  bool AllowReset() const { return FAllowReset; }
  void SetAllowReset(bool AValue) { FAllowReset = AValue; }
  bool AlwaysMerge() const { return FAlwaysMerge; }
  void SetAlwaysMerge(bool AValue) { FAlwaysMerge = AValue; }
  bool AlwaysSaveText() const { return FAlwaysSaveText; }
  void SetAlwaysSaveText(bool AValue) { FAlwaysSaveText = AValue; }
  bool AutoDockColor() const { return FAutoDockColor; }
  void SetAutoDockColor(bool AValue) { FAutoDockColor = AValue; }
  bool AutoHideEmptyBars() const { return FAutoHideEmptyBars; }
  void SetAutoHideEmptyBars(bool AValue);
  int ButtonArrowWidth() const { return FButtonArrowWidth; }
  void SetButtonArrowWidth(int AValue) { if (AValue >= 2) FButtonArrowWidth = AValue; }
  bool CanCustomize() const { return FCanCustomize; }
  void SetCanCustomize(bool AValue) { FCanCustomize = AValue; }
  TdxBarManagerCategories* Categories() const { return FCategories; }
  void SetCategories(TStrings* AValue) { FCategories->Assign(AValue); }
  TColor DockColor() const;
  void SetDockColor(TColor AValue);
  TFont* Font() const { return FFont; }
  void SetFont(TFont* AValue);
  TFont* EditFont() const { return FEditFont; }
  bool HideFloatingBarsWhenInactive() const { return FHideFloatingBarsWhenInactive; }
  void SetHideFloatingBarsWhenInactive(bool AValue) { FHideFloatingBarsWhenInactive = AValue; }
  TdxBarImageOptions* ImageOptions() const { return FImageOptions; }
  TCustomImageList* Images() const { return FImageOptions ? FImageOptions->Images() : nullptr; }
  int LargeButtonArrowWidth() const { return FLargeButtonArrowWidth; }
  void SetLargeButtonArrowWidth(int AValue) { if (AValue >= 2) FLargeButtonArrowWidth = AValue; }
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel; }
  TdxBarMenuAnimations MenuAnimations() const { return FMenuAnimations; }
  void SetMenuAnimations(TdxBarMenuAnimations AValue) { FMenuAnimations = AValue; }
  bool MenusShowRecentItemsFirst() const { return FMenusShowRecentItemsFirst; }
  void SetMenusShowRecentItemsFirst(bool AValue) { FMenusShowRecentItemsFirst = AValue; }
  int MostRecentItemsPercents() const { return FMostRecentItemsPercents; }
  void SetMostRecentItemsPercents(int AValue);
  TdxBarDockingStyles NotDocking() const { return FNotDocking; }
  void SetNotDocking(TdxBarDockingStyles AValue) { FNotDocking = AValue; }
  TdxBarPopupMenuLinks* PopupMenuLinks() const { return FPopupMenuLinks; }
  bool Scaled() const { return FScaled; }
  void SetScaled(bool AValue);
  bool ShowFullMenusAfterDelay() const { return FShowFullMenusAfterDelay; }
  void SetShowFullMenusAfterDelay(bool AValue) { FShowFullMenusAfterDelay = AValue; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool AValue) { FShowHint = AValue; }
  bool ShowHintForDisabledItems() const { return FShowHintForDisabledItems; }
  void SetShowHintForDisabledItems(bool AValue) { FShowHintForDisabledItems = AValue; }
  bool StoreInIniFile() const { return FStoreInIniFile; }
  void SetStoreInIniFile(bool AValue) { FStoreInIniFile = AValue; }
  bool StoreInRegistry() const { return FStoreInRegistry; }
  void SetStoreInRegistry(bool AValue) { FStoreInRegistry = AValue; }
  TdxBarManagerStyle Style() const { return FStyle; }
  void SetStyle(TdxBarManagerStyle AValue);
  bool UseF10ForMenu() const { return FUseF10ForMenu; }
  void SetUseF10ForMenu(bool AValue) { FUseF10ForMenu = AValue; }
  bool UseSystemFont() const { return FUseSystemFont; }
  void SetUseSystemFont(bool AValue);
  int WaitForDockingTime() const { return FWaitForDockingTime; }
  void SetWaitForDockingTime(int AValue) { if (AValue >= 0) FWaitForDockingTime = AValue; }

  TdxBarEvent OnBarAdd;
  TdxBarEvent OnBarDelete;
  TdxBarEvent OnBarDockingStyleChange;
  TdxBarVisibleChangeEvent OnBarVisibleChange;
  TdxBarItemLinkEvent OnItemLinkAdd;
  TdxBarItemLinkEvent OnItemLinkChange;
  TdxBarItemLinkEvent OnItemLinkDelete;
  TdxBarClickItemEvent OnClickItem;
  TdxBarCanDockingEvent OnDocking;
  TdxBarMergeItemLinkEvent OnMergeItemLink;

 protected:
  // Applies the style (the painter belongs to the bar controls).
  virtual void StyleChanged();

 private:
  void FontChanged(TObject* Sender);
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues);
  void UpdateEditFont();
  void CalcMostRecentlyUsedUseCount();
  void FinishLoading();
  void ReadBars(TReader* AReader);
  void ReadDockControlHeights(TReader* AReader);
  void WriteDockControlHeights(TWriter* AWriter);

  bool FAllowCallFromAnotherForm = false;
  bool FAllowReset = false;
  bool FAlwaysMerge = false;
  bool FAlwaysSaveText = false;
  bool FAutoDockColor = false;
  bool FAutoHideEmptyBars = false;
  bool FCanCustomize = false;
  bool FHideFloatingBarsWhenInactive = false;
  bool FMenusShowRecentItemsFirst = false;
  bool FShowFullMenusAfterDelay = false;
  bool FScaled = false;
  bool FShowHint = false;
  bool FShowHintForDisabledItems = false;
  bool FStoreInIniFile = false;
  bool FStoreInRegistry = false;
  bool FUseF10ForMenu = false;
  bool FUseSystemFont = false;

  TdxBars* FBars = nullptr;
  TdxBarManagerCategories* FCategories = nullptr;
  TdxBarComponentList* FGroups = nullptr;
  TComponentList* FInternalItems = nullptr;
  TdxBarComponentList* FItems = nullptr;
  TFont* FFont = nullptr;
  TFont* FEditFont = nullptr;
  TdxBarImageOptions* FImageOptions = nullptr;
  TcxLookAndFeel* FLookAndFeel = nullptr;
  TdxBarPopupMenuLinks* FPopupMenuLinks = nullptr;
  TMemIniFile* FSavedState = nullptr;

  int FButtonArrowWidth = 0;
  int FLargeButtonArrowWidth = 0;
  TColor FDockColor = 0;
  TdxBarMenuAnimations FMenuAnimations = maNone;
  int FMostRecentItemsPercents = 0;
  int FMostRecentlyUsedUseCount = 0;
  TdxBarDockingStyles FNotDocking;
  TdxBarManagerStyle FStyle = bmsEnhanced;
  int FWaitForDockingTime = 0;

  TdxBarInternalStates FInternalState;
  bool FInternalFontChange = false;
  bool FIsCustomizing = false;
  bool FLockUpdate = false;
  bool FModified = false;
  bool FDesignerModifiedInvoked = false;
  bool FLoadPending = false;
  int FLockDesignerModifiedCount = 0;
  int FLockUpdateCount = 0;
  int FReadStateCount = 0;
  TdxBar* FMainMenuBar = nullptr;
  std::vector<IdxBarDockControl*> FDockControls;
  TdxBarItemControlBase* FSelectedItem = nullptr;
};
