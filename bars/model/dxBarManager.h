// The bar manager: the non-visual owner of a form's toolbars, items,
// categories and groups, with the option objects its toolbars share.
#pragma once

#include "bars/model/dxBarComponents.h"

#include "foundation/cxLookAndFeels.h"
#include "platform/core/StringLists.h"
#include "platform/gui/ShiftState.h"

#include <vector>

class TCustomForm;
class TControl;
class TBitmap;
class TChangeLink;
class TCustomImageList;
class TcxEventHandlerCollection;
class TcxFreeNotificator;
class TCustomIniFile;
class TdxThemeChangedNotificator;
class TFont;
class TMemIniFile;
class TStream;
class TWinControl;
class TcxLookAndFeel;
class TcxEventHandlerCollection;
class TdxBarButton;
class TdxBarGroup;
struct TdxBarStyleChoiceInput;

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
using TdxBarMergeEvent = TClosure<void(TdxBarManager* Sender, TdxBarManager* ChildBarManager, bool AddItems)>;
using TdxBarShowPopupEvent = TClosure<void(TdxBarManager* Sender, TdxBarItemLinks* PopupItemLinks)>;

// The data of one category, kept as the object of the category's string; a
// category without data shows its items always and is itself visible.
class TdxBarCategoryData : public TObject {
  DECLARE_CLASS(TdxBarCategoryData, TObject)
  TdxBarCategoryData() = default;
  TdxBarItemVisible ItemsVisible = ivAlways;
  // Read with the form and applied once the manager has loaded.
  TdxBarItemVisible LoadedItemsVisible = ivAlways;
  bool Visible = true;
};

// The manager's categories: names, each with its data as the string's object
// (dxBarCategories.cpp). Items refer to categories by index, so every change
// of the list carries the items' indexes along.
class TdxBarManagerCategories : public TStringList {
  DECLARE_CLASS(TdxBarManagerCategories, TStringList)
  explicit TdxBarManagerCategories(TdxBarManager* AManager) : FBarManager(AManager) {}
  ~TdxBarManagerCategories() override;
  void DefineProperties(TFiler* AFiler) override;
  TdxBarManager* Owner() const { return FBarManager; }
  TdxBarItemVisible ItemsVisible(int AIndex) const;
  bool Visible(int AIndex) const;
  // The category's data, nil without data or for an index out of range.
  TdxBarCategoryData* Data(int AIndex) const;
  // The data, made with the defaults when missing; nil out of range.
  TdxBarCategoryData* NeedData(int AIndex);
  // Another category list's data is copied, never shared.
  void Assign(TPersistent* ASource) override;
  // Deleting a category frees its items, and the last one deleted leaves a
  // new default category.
  void Delete(int AIndex) override;
  void Clear() override;
  void Exchange(int AIndex1, int AIndex2) override;
  void Move(int ACurIndex, int ANewIndex) override;
  // Sorts through Exchange, so that the items follow their categories.
  void CustomSort(TStringListSortCompare ACompare) override;
  // Only category data is kept as a string's object.
  void PutObject(int AIndex, TObject* AObject) override;
  void SetItemsVisible(int AIndex, TdxBarItemVisible AValue);
  void SetVisible(int AIndex, bool AValue);
  // The end of loading from the form: every category with data takes its
  // loaded item visibility (TdxBarManager::SetCategoryItemsVisible).
  void ApplyLoadedItemsVisible();

 protected:
  // Every insertion (Insert, and Add of a sorted list) moves the items of
  // the later categories up.
  void InsertItem(int AIndex, const String& S, TObject* AObject) override;
  void Changed() override;

 private:
  void ReadItemsVisibles(TReader* AReader);
  void WriteItemsVisibles(TWriter* AWriter);
  void ReadVisibles(TReader* AReader);
  void WriteVisibles(TWriter* AWriter);
  TdxBarManager* FBarManager;
  bool FMoving = false;
};

// The image lists of the image options by the item images they hold.
enum class TdxBarImageListKind { Normal, Hot, Large };

// An option object of a manager: the manager is its owner for naming and streaming.
class TdxBarPersistent : public TPersistent {
  DECLARE_CLASS(TdxBarPersistent, TPersistent)
  explicit TdxBarPersistent(TdxBarManager* AManager) : FBarManager(AManager) {}
  TPersistent* GetOwner() override;
  TdxBarManager* BarManager() const { return FBarManager; }

 protected:
  TdxBarManager* FBarManager;
};

// The image lists and glyph settings every toolbar of the manager uses
// (dxBarImageOptions.cpp).
class TdxBarImageOptions : public TdxBarPersistent {
  DECLARE_CLASS(TdxBarImageOptions, TdxBarPersistent)
  explicit TdxBarImageOptions(TdxBarManager* AManager);
  ~TdxBarImageOptions() override;
  // From another image options object; CacheGlyphs stays.
  void Assign(TPersistent* ASource) override;

  TCustomImageList* DisabledImages() const { return FDisabledImages; }
  void SetDisabledImages(TCustomImageList* AValue);
  TCustomImageList* DisabledLargeImages() const { return FDisabledLargeImages; }
  void SetDisabledLargeImages(TCustomImageList* AValue);
  TCustomImageList* HotImages() const { return FHotImages; }
  void SetHotImages(TCustomImageList* AValue);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* AValue);
  TCustomImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* AValue);
  bool CacheGlyphs() const { return FCacheGlyphs; }
  void SetCacheGlyphs(bool AValue) { FCacheGlyphs = AValue; }
  // 16; with LargeIcons 32, or the width of LargeImages when they serve.
  int GlyphSize() const { return FGlyphSize; }
  TColor ImageListBkColor() const { return FImageListBkColor; }
  void SetImageListBkColor(TColor AValue);
  bool LargeIcons() const { return FLargeIcons; }
  void SetLargeIcons(bool AValue);
  bool MakeDisabledImagesFaded() const { return FMakeDisabledImagesFaded; }
  void SetMakeDisabledImagesFaded(bool AValue);
  bool SmoothGlyphs() const { return FSmoothGlyphs; }
  void SetSmoothGlyphs(bool AValue) { FSmoothGlyphs = AValue; }
  bool StretchGlyphs() const { return FStretchGlyphs; }
  void SetStretchGlyphs(bool AValue) { FStretchGlyphs = AValue; }
  bool UseLargeImagesForLargeIcons() const { return FUseLargeImagesForLargeIcons; }
  void SetUseLargeImagesForLargeIcons(bool AValue);
  bool UseLeftBottomPixelAsTransparent() const { return FUseLeftBottomPixelAsTransparent; }
  void SetUseLeftBottomPixelAsTransparent(bool AValue);

  bool AnyImageListLoading() const;
  bool UsesLargeImagesForLargeIcons() const { return FUseLargeImagesForLargeIcons && FLargeImages; }
  void UpdateGlyphSize();

  TNotifyEvent OnImageOptionsChange;
  TNotifyEvent OnLargeIconsChange;

 private:
  void SetList(TCustomImageList*& AField, TCustomImageList* AValue, TChangeLink* ALink);
  void SetOption(bool& AField, bool AValue);
  void DoImageOptionsChange();
  void DoLargeIconsChange();
  void ListFreed(TComponent* AList);
  void ImagesChanged(TObject* Sender);
  void HotImagesChanged(TObject* Sender);
  void LargeImagesChanged(TObject* Sender);

  TCustomImageList* FDisabledImages = nullptr;
  TCustomImageList* FDisabledLargeImages = nullptr;
  TCustomImageList* FHotImages = nullptr;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FLargeImages = nullptr;
  TChangeLink* FImagesChangeLink = nullptr;
  TChangeLink* FLargeImagesChangeLink = nullptr;
  TChangeLink* FHotImagesChangeLink = nullptr;
  TChangeLink* FDisabledImagesChangeLink = nullptr;
  TChangeLink* FDisabledLargeImagesChangeLink = nullptr;
  bool FCacheGlyphs = true;
  int FGlyphSize = 16;
  TColor FImageListBkColor = clFuchsia;
  bool FLargeIcons = false;
  bool FMakeDisabledImagesFaded = false;
  bool FSmoothGlyphs = false;
  bool FStretchGlyphs = true;
  bool FUseLargeImagesForLargeIcons = false;
  bool FUseLeftBottomPixelAsTransparent = true;
  TcxFreeNotificator* FNotifyComponent = nullptr;
};

// Pictures toolbars (Bar) and sub-menus (SubMenu) paint behind their items;
// empty by default.
class TdxBarBackgrounds : public TdxBarPersistent {
  DECLARE_CLASS(TdxBarBackgrounds, TdxBarPersistent)
  explicit TdxBarBackgrounds(TdxBarManager* AManager);
  ~TdxBarBackgrounds() override;
  void Assign(TPersistent* ASource) override;
  TBitmap* Bar() const { return FBarBackgroundBitmap; }
  // A new picture, or clearing one that is there, restyles the bars.
  void SetBar(TBitmap* AValue);
  TBitmap* SubMenu() const { return FSubMenuBackgroundBitmap; }
  void SetSubMenu(TBitmap* AValue);

 private:
  void BarChanged(TObject* Sender);
  TBitmap* FBarBackgroundBitmap = nullptr;
  TBitmap* FSubMenuBackgroundBitmap = nullptr;
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
  // A control or popup menu goes: the links that name it forget it. The
  // links of the popup menus hold neither yet.
  void ComponentRemoved(TComponent* AComponent);
  // Runs the shortcut in the popup menu linked to the control; false while
  // the links hold no popup menus.
  bool RunShortCut(TControl* AControl, Word AShortCut);
};

// What the MDI state handlers hear: a child was activated, deactivated, or
// the active child was maximized or restored.
DECLARE_ENUM(TdxBarMDIStateChange, mdiscActivated, mdiscDeactivated, mdiscMaximizedChanged)
struct TdxBarMDIStateChangeEventData {
  TdxBarMDIStateChange Change = mdiscActivated;
  HWND Wnd = nullptr;
};
// Makes the entry of a maximized MDI child's system menu: an item owned by
// AOwner that keeps the child's window. Filled by the layer that has sub
// items; nil leaves the main menu without that entry.
using TdxBarSystemMenuItemMaker = TdxBarItem* (*)(TComponent* AOwner, HWND AChild);
TdxBarSystemMenuItemMaker& dxBarSystemMenuItemMaker();

// The rectangle moved (up, down, left, right in this order) until it lies in the work area where it fits.
TRect dxBarKeepRectInWorkArea(TRect ARect, const TRect& AWorkArea);

// The name dialog of the customization layer: edits the caption of a new or
// a renamed toolbar; false when cancelled. Nil until that layer starts.
DECLARE_ENUM(TdxBarToolbarNameMode, tnmAdd, tnmRename)
using TdxBarToolbarNameDialog = bool (*)(TdxBarManager* AManager, TdxBarToolbarNameMode AMode, String& ACaption);
TdxBarToolbarNameDialog& dxBarToolbarNameDialog();
// The customization layer's form: shown for a manager or closed (AShow
// false), and the one open now (nil when none). Nil until that layer starts.
using TdxBarShowCustomizationForm = void (*)(TdxBarManager* AManager, bool AShow);
TdxBarShowCustomizationForm& dxBarShowCustomizationForm();
using TdxBarGetCustomizationForm = TWinControl* (*)();
TdxBarGetCustomizationForm& dxBarGetCustomizationForm();

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

  // Update bracket: nested pairs relayout once, at the outermost EndUpdate.
  void BeginUpdate();
  void EndUpdate(bool ACheckBarsChanges = true);
  bool IsUpdateLocked() const { return FLockUpdateCount > 0; }
  bool LockUpdate() const { return FLockUpdate; }
  void SetLockUpdate(bool AValue);
  // The bracket of the MDI state check: it never switches the docks'
  // redrawing; its closing runs the relayout only when asked.
  void BeginUpdateWithoutRedraw() { ++FLockUpdateCount; }
  void EndUpdateWithoutRedraw(bool ARelayout);

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
  // Clears the list and fills it with every item of the category; answers their count.
  int GetAllItemsByCategory(int ACategory, TList* AList) const;
  // Clears the list and fills it with the actually visible items of the
  // category (all of them in design mode); answers their count.
  int GetItemsByCategory(int ACategory, TList* AList) const;
  // The class name without its first letter, then the first free number.
  String GetUniqueItemName(TClass AItemClass) const;
  TdxBarItemVisible CategoryItemsVisibleAt(int AIndex) const;
  // The items of the category that showed as it did take the new value
  // (dxBarCategories.cpp).
  void SetCategoryItemsVisible(int AIndex, TdxBarItemVisible AValue);
  void SetCategoryVisibleFlag(int AIndex, bool AValue);
  bool CategoryVisibleAt(int AIndex) const;
  // The index of the N-th visible category (from 0), -1 when there is none;
  // N itself in design mode.
  int VisibleCategoryToIndex(int N) const;
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
  // maps to (never the skin); bmsXP stays bmsXP without themes.
  TdxBarManagerStyle GetPaintStyle() const;
  // The style the painter is chosen by (bmsUseLookAndFeel for a skin), the
  // painter class for it, and a look-and-feel that draws like the bars
  // (dxBarPainterChoice.cpp).
  TdxBarManagerStyle ResolvedStyle() const;
  virtual TdxBarPainterClass PainterClassForStyle() const;
  void ApplyStyleToLookAndFeel(TcxLookAndFeel* ALookAndFeel) const;
  bool IsFlatStyle() const { return FStyle == bmsFlat; }

  // Dock controls register themselves (the four side docks first).
  void RegisterDockControl(IdxBarDockControl* ADockControl);
  void UnregisterDockControl(IdxBarDockControl* ADockControl);
  int DockControlCount() const { return static_cast<int>(FDockControls.size()); }
  IdxBarDockControl* DockControlAt(int AIndex) const { return FDockControls.at(AIndex); }
  // The first four registered docks are the sides, in the order left, top, right, bottom.
  IdxBarDockControl* SideDockControl(TdxBarDockingStyle AStyle) const;
  bool IsSideDock(IdxBarDockControl* ADockControl) const;

  // Run-time customization: the flag and the links' lists (the dialogs come
  // with the customization layer).
  void Customizing(bool AValue);
  bool OtherManagerCustomizing() const;
  // Closes the open menus (and a toolbar's menu mode), when there are any.
  void HideAll();
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
  // Customized by the user at run time (design mode aside).
  bool IsRunTimeCustomizing() const { return FIsCustomizing; }
  TWinControl* OwnerControl() const;
  bool IsCreatingHandles() const { return FInternalState.Contains(bisHandleCreating); }
  // The nearest form containing the owner; the nearest MDI child form
  // containing it, else its top-level form.
  TCustomForm* MainForm() const;
  TCustomForm* MasterForm() const;
  TCustomForm* TopLevelForm() const;
  bool ReadingAllowsReset() const { return FReadStateCount > 0 && FAllowReset; }
  // Nil while the main-menu toolbar's window cannot serve as the main menu.
  TdxBar* MainMenuBar() const;
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
  // On change every dock control takes its colour again.
  void SetAutoDockColor(bool AValue);
  bool AutoHideEmptyBars() const { return FAutoHideEmptyBars; }
  void SetAutoHideEmptyBars(bool AValue);
  int ButtonArrowWidth() const { return FButtonArrowWidth; }
  void SetButtonArrowWidth(int AValue);
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
  void SetHideFloatingBarsWhenInactive(bool AValue);
  TdxBarImageOptions* ImageOptions() const { return FImageOptions; }
  TCustomImageList* Images() const { return FImageOptions ? FImageOptions->Images() : nullptr; }
  TdxBarBackgrounds* Backgrounds() const { return FBackgrounds; }
  void SetBackgrounds(TdxBarBackgrounds* AValue) { FBackgrounds->Assign(AValue); }
  int LargeButtonArrowWidth() const { return FLargeButtonArrowWidth; }
  void SetLargeButtonArrowWidth(int AValue);
  bool LargeIcons() const { return FImageOptions->LargeIcons(); }
  void SetLargeIcons(bool AValue) { FImageOptions->SetLargeIcons(AValue); }
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel; }
  TdxBarMenuAnimations MenuAnimations() const { return FMenuAnimations; }
  void SetMenuAnimations(TdxBarMenuAnimations AValue);
  bool MenusShowRecentItemsFirst() const { return FMenusShowRecentItemsFirst; }
  void SetMenusShowRecentItemsFirst(bool AValue);
  int MostRecentItemsPercents() const { return FMostRecentItemsPercents; }
  void SetMostRecentItemsPercents(int AValue);
  TdxBarDockingStyles NotDocking() const { return FNotDocking; }
  // Restyles the bars on a change.
  void SetNotDocking(TdxBarDockingStyles AValue);
  TdxBarPopupMenuLinks* PopupMenuLinks() const { return FPopupMenuLinks; }
  bool Scaled() const { return FScaled; }
  void SetScaled(bool AValue);
  bool ShowFullMenusAfterDelay() const { return FShowFullMenusAfterDelay; }
  void SetShowFullMenusAfterDelay(bool AValue);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool AValue);
  bool ShowShortCutInHint() const { return FShowShortCutInHint; }
  void SetShowShortCutInHint(bool AValue);
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
  // Docks draw a sunken edge around their rows; on change every dock control refreshes its frames.
  int WaitForDockingTime() const { return FWaitForDockingTime; }
  void SetWaitForDockingTime(int AValue) { if (AValue >= 0) FWaitForDockingTime = AValue; }

  // Hints (dxBarHints.cpp): a show request waits for the show delay unless a
  // hint is up or was just hidden; the hide calls pass no text and no object.
  void ActivateHint(bool AShow, const String& ACustomHint = String(), TObject* AHintObject = nullptr);
  void HideHint();
  bool IsHintShowing() const;

  // Keys (dxBarKeyboard.cpp): runs the shortcut in the toolbars of the
  // managers of the owner's form; the link with the accelerator there.
  bool ExecuteShortCut(Word AShortCut);
  TdxBarItemLink* FindAccelLink(Word AKey, TShiftState AShift);

  // Messages of the owner's window and its ancestors (dxBarOwnerMessages.cpp).
  void HandleOwnerWindowMessage(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam);
  void SetFormActive(bool AActive, bool AForce, HWND AOtherWnd);
  // Whether the owner lies in an MDI child form.
  bool InMDIChild() const;
  bool MainFormActive() const { return FMainFormActive; }
  // Moves floating toolbars back into the work area of the owner's monitor.
  void KeepFloatingBarsInWorkArea();
  const String& IniFileName() const { return FIniFileName; }
  void SetIniFileName(const String& AValue) { FIniFileName = AValue; }
  const String& RegistryPath() const { return FRegistryPath; }
  // Kept with one backslash in front and one at the end.
  void SetRegistryPath(const String& AValue);

  // Operations on items and toolbars (dxBarOperations.cpp).
  TdxBar* BarByOldName(const String& AName) const;
  // ABaseName + the first number no toolbar's Caption takes.
  String GetUniqueToolbarCaption(const String& ABaseName) const;
  void ExchangeItems(int AIndex1, int AIndex2);
  int GetCountByCategory(int ACategory) const;
  // Nil out of range.
  TdxBarItem* GetItemByCategory(int ACategory, int AIndex) const;
  // A floating-placed toolbar captioned "Custom n" with a row of its own;
  // nil when the name dialog was cancelled.
  TdxBar* AddToolBar(bool AIsMainMenu, bool ANeedEditCaption = false);
  // With confirmation the user is asked first; Cancel keeps the toolbar.
  void DeleteToolBar(TdxBar* ABar, bool AConfirmation);
  // A caption confirmed in the name dialog becomes the toolbar's.
  void RenameToolBar(TdxBar* ABar);
  // Asks first (Yes resets).
  void ResetUsageDataWithConfirmation();
  // False only for a frame's manager being designed inside a form.
  bool CanEditInDesigner() const;
  // The window that owns the manager's dialogs: the customization form while
  // it is open, else the application window when shown, else the owner's.
  HWND DialogParentHandle() const;
  // The drag of an item (and its link) while customizing, run by the design
  // controller; nothing without one.
  void RunItemDrag(TdxBarItem* AItem, TdxBarItemLink* AItemLink);
  // The objects of the form designer's selection that are selected in it
  // (the list stays empty without designer).
  void FetchSelectedObjects(TdxObjectList* AList) const;
  // Around a modal dialog: the floating toolbars' windows are disabled, and
  // those are enabled again afterwards.
  void DisableFloatingBarWindows();
  void EnableFloatingBarWindows();
  // The bar window the mouse is tracked for: the previous one hears that the
  // mouse left it.
  void StartMouseTracking(IdxBarControl* AControl);
  void ReleaseMouseTracking(IdxBarControl* AControl);
  bool IsMouseTrackingControl(IdxBarControl* AControl) const { return AControl && AControl == FMouseTrackingBarControl; }
  // Hot tracking of the bar window under the mouse (of AControl only, when
  // given) starts again, as if the mouse had just moved there.
  void RefreshHotTrackUnderMouse(IdxBarControl* AControl = nullptr);
  // Toolbars that want to be visible while their docks have no window yet.
  void BeginBarRestoring();
  void QueueBarRestore(TdxBar* ABar);
  void RemoveFromRestoreQueue(TdxBar* ABar);
  int RestoreQueueIndexOf(TdxBar* ABar) const;
  int RestoreQueueCount() const { return static_cast<int>(FBarRestoringList.size()); }
  void FreeBarRestoring();
  // Shows the queued toolbars of that dock (of any dock for nil).
  void RestoreQueuedBars(IdxBarDockControl* ADockControl);

  // The designed layout, kept in memory once loading from the form ends:
  // toolbars are reset from it (links and their usage) and usage data is
  // cleared back to it (dxBarLayoutStorage.cpp). A toolbar is found there by
  // its caption; false when it is not.
  void SaveDesignedState();
  bool ResetToolBarToDesign(TdxBar* ABar);
  // Asks first.
  void ResetToolBar(TdxBar* ABar);
  void ResetUsageData();

  // The user's layout (dxBarLayoutStorage.cpp). Saving replaces what an
  // earlier save of this manager wrote there and nothing else; loading
  // applies a layout only when all of it reads (EdxBarLayoutError).
  // Empty names and paths do nothing.
  void SaveToIniFile(const String& AFileName);
  void LoadFromIniFile(const String& AFileName);
  void SaveToStream(TStream* AStream);
  void LoadFromStream(TStream* AStream);
  void SaveToRegistry(const String& ARegistryPath);
  void LoadFromRegistry(const String& ARegistryPath);
  // Other components keep their own sections beside the layout: called after
  // a layout is read or written with a TdxBarIniFileEventData.
  TcxEventHandlerCollection* ReadIniFileHandlers() const;
  TcxEventHandlerCollection* WriteIniFileHandlers() const;
  // While a layout is read: the names of the items the layout did not know
  // (added to the program after it was saved); nil otherwise.
  TStringList* NewItems() const { return FNewItems; }
  // A reset toolbar takes back its designed docking state too, not only its links.
  bool UseFullReset() const { return FUseFullReset; }
  void SetUseFullReset(bool AValue) { FUseFullReset = AValue; }
  virtual void DoBarBeforeReset(TdxBar* ABar);
  virtual void DoBarAfterReset(TdxBar* ABar);

  // --- The manager's own settings, objects and state (further members) ---

  void Notification(TComponent* AComponent, TOperation AOperation) override;
  // In design mode the items named after the manager follow its new name.
  void SetName(const String& NewName) override;

  bool AutoAlignBars() const { return FAutoAlignBars; }
  void SetAutoAlignBars(bool AValue);
  bool FlatCloseButton() const { return FFlatCloseButton; }
  void SetFlatCloseButton(bool AValue);
  TBitmap* HelpButtonGlyph() const { return FHelpButtonGlyph; }
  void SetHelpButtonGlyph(TBitmap* AValue);
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int AValue) { FHelpContext = AValue; }
  bool ShowCloseButton() const { return FShowCloseButton; }
  void SetShowCloseButton(bool AValue);
  bool ShowHelpButton() const { return FShowHelpButton; }
  void SetShowHelpButton(bool AValue);
  bool SunkenBorder() const { return FSunkenBorder; }
  void SetSunkenBorder(bool AValue);
  // The font of floating toolbars' captions, made from Font.
  TFont* BarCaptionFont() const { return FBarCaptionFont; }

  TcxEventHandlerCollection* SystemFontChangedHandlers() const { return FSystemFontChangedHandlers; }
  // Objects the customization popups make for the manager; freed with it.
  TComponentList* OwnedObjects() const { return FOwnedObjects; }
  // The manager's popup menus (they join and leave themselves).
  void AddPopupMenu(TComponent* APopupMenu);
  void RemovePopupMenu(TComponent* APopupMenu);
  int PopupMenuCount() const;
  TComponent* PopupMenuAt(int AIndex) const;

  // The painter every bar of the manager draws with, chosen again whenever
  // the style changes; nil until the bar windows' layer fills its slots.
  TdxBarPainterClass DefaultPainter() const { return FDefaultPainter ? FDefaultPainter : PainterClassForStyle(); }
  TdxBarPainterClass PainterClass() const { return DefaultPainter(); }
  bool ThemeAvailable() const { return FThemeAvailable; }
  bool IsChangingStyle() const { return FChangingStyle; }
  // The brushes of flat and themed toolbars (the screen's nearest colours),
  // made again when the system colours change.
  HBRUSH FlatToolbarsBorderBrush() const { return FFlatToolbarsBorderBrush; }
  HBRUSH FlatToolbarsBrush() const { return FFlatToolbarsBrush; }
  HBRUSH FlatToolbarsDownedBrush() const { return FFlatToolbarsDownedBrush; }
  HBRUSH FlatToolbarsDownedSelBrush() const { return FFlatToolbarsDownedSelBrush; }
  HBRUSH FlatToolbarsSelBrush() const { return FFlatToolbarsSelBrush; }
  // Nil without usable themes.
  HBRUSH ThemeToolbarsBrush() const { return FThemeToolbarsBrush; }
  // The brushes made again and the bars repainted (system colours changed).
  void RefreshDrawingResources();

  // The nearest form containing the owner.
  TCustomForm* ParentForm() const { return MainForm(); }
  // The main-menu toolbar's window while the toolbar serves as main menu.
  IdxBarControl* MainMenuControl() const;
  // The manager of the nearest windowed parent of the owner's window.
  TdxBarManager* ParentBarManager() const;
  // The bar control the mouse is tracked over, the bar control that has the
  // keyboard, and a sub-menu whose links changed inside the update bracket
  // (the bar windows set them).
  IdxBarControl* MouseTrackingBarControl() const { return FMouseTrackingBarControl; }
  void SetMouseTrackingBarControl(IdxBarControl* AValue) { FMouseTrackingBarControl = AValue; }
  IdxBarControl* FocusedBarControl() const { return FFocusedBarControl; }
  void SetFocusedBarControl(IdxBarControl* AValue) { FFocusedBarControl = AValue; }
  void SetChangedSubMenuControl(IdxBarControl* AValue) { FChangedSubMenuControl = AValue; }
  // A bar window goes: the manager forgets it.
  void BarControlDestroying(IdxBarControl* AControl);

  // Event dispatchers.
  virtual void DoBarClose(TdxBar* ABar);
  virtual void DoCloseButtonClick();
  virtual void DoHelpButtonClick();
  virtual void DoShowCustomizingPopup(TdxBarItemLinks* APopupItemLinks);
  virtual void DoShowToolbarsPopup(TdxBarItemLinks* APopupItemLinks);

  TdxBarEvent OnBarClose;
  TNotifyEvent OnCloseButtonClick;
  TNotifyEvent OnHelpButtonClick;
  TNotifyEvent OnHideCustomizingForm;
  TNotifyEvent OnShowCustomizingForm;
  TdxBarMergeEvent OnMenuMerge;
  TdxBarMergeEvent OnMerge;
  TdxBarShowPopupEvent OnShowCustomizingPopup;
  TdxBarShowPopupEvent OnShowToolbarsPopup;

  TdxBarEvent OnBarAdd;
  TdxBarEvent OnBarAfterReset;
  TdxBarEvent OnBarBeforeReset;
  TdxBarEvent OnBarDelete;
  TdxBarEvent OnBarDockingStyleChange;
  TdxBarVisibleChangeEvent OnBarVisibleChange;
  TdxBarItemLinkEvent OnItemLinkAdd;
  TdxBarItemLinkEvent OnItemLinkChange;
  TdxBarItemLinkEvent OnItemLinkDelete;
  TdxBarClickItemEvent OnClickItem;
  TdxBarCanDockingEvent OnDocking;
  TdxBarMergeItemLinkEvent OnMergeItemLink;

  // MDI (dxBarMDI.cpp). The active child of the application main form's
  // MDI client, 0 without one.
  HWND ActiveMDIChild() const;
  // Sends the active MDI child the button's system command.
  void DoMDIButtonCommand(TdxBarMDIButton AButton);
  // ARecursive: the owner lies in an MDI child form; else the owner is one.
  bool OwnerIsMDIChild(bool ARecursive) const;
  bool IsMDIMaximized() const { return FIsMDIMaximized; }
  // Follows the main form's MDI children: their activation, deactivation
  // and maximized state (the call-window hook runs it for the main form's
  // manager).
  void CheckMDIState();
  // Hear every MDI change with a TdxBarMDIStateChangeEventData.
  TcxEventHandlerCollection* MDIStateChangedHandlers() const;
  // Items the manager made for itself (a maximized child's system menu).
  TComponentList* InternalItems() const { return FInternalItems; }

  // Merging whole managers (dxBarMerging.cpp). Each visible toolbar of
  // ABarManager merges into the toolbar of the same caption, or, with
  // ACanCreateNewBar, into a new one made for it. EdxException, with nothing
  // changed, for nil, this manager, or a manager whose toolbars take part in
  // merges already.
  void Merge(TdxBarManager* ABarManager, bool ACanCreateNewBar);
  // Takes back from every toolbar the toolbars of ABarManager merged into it.
  void Unmerge(TdxBarManager* ABarManager);
  // Before the user customizes: every merge into this manager's toolbars
  // (of AManager's toolbars only, when given) is undone, and with ASaving
  // remembered; toolbars made by merging that empty are hidden, not freed.
  void MergeOrUnmergeBars(TdxBarManager* AManager, bool ASaving);
  // After customizing: the remembered merges are made again.
  void RestoreMergesAfterCustomizing();
  // Lets OnMergeItemLink choose how and where one link is merged.
  void DoMergeItemLink(TdxBarItemLinks* ADstItemLinks, TdxBarItemLinks* ASrcItemLinks, TdxBarItemLink* ASrcItemLink,
                       TdxBarItemMergeKind& AMergeKind, int& AMergeIndex);

  // The image options' reactions (dxBarImageOptions.cpp): the items of the
  // links hear of a changed image list; the toolbars repaint.
  void ImageListChanged(TdxBarImageListKind AKind);
  void ImageOptionsChanged(TObject* Sender);
  void LargeIconsChanged(TObject* Sender);
  // Applies the style (the painter belongs to the bar controls).
  virtual void StyleChanged();

 private:
  TdxBarStyleChoiceInput StyleChoiceInput() const;
  void FontChanged(TObject* Sender);
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues);
  void ThemeChanged();
  void FormActivated(WORD AState, HWND AOtherWnd, bool AMinimized, HWND AWnd);
  void ShowOrHideFloatingBars(bool AActive, bool AForce, HWND AOtherWnd);
  void UpdateEditFont();
  void CalcMostRecentlyUsedUseCount();
  void FinishLoading();
  void ReadBars(TReader* AReader);
  void ReadDockControlHeights(TReader* AReader);
  void WriteDockControlHeights(TWriter* AWriter);
  void SortItemsByCategory();
  void CheckBrokenLinks();
  void LoadUserLayout();
  void RunUpdateStateStep(bool ACheckBarsChanges, bool ARebuild);
  void RebuildPainter();
  void RefreshBarsDrawing();
  void CreateDrawingResources();
  void FreeDrawingResources();
  void HelpButtonGlyphChanged(TObject* Sender);
  void MenuOptionChanged();
  void RepaintMainMenuFrame();
  void UpdateFloatingBarsVisibility();
  void ApplicationActivated(bool AActive);
  void CancelMode();
  void ShowHelp(const HELPINFO& AInfo);
  void ShowItemHelp(TdxBarItemControlBase* AItemControl, int ABarHelpContext);
  void CreateDockWindows();

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
  bool FShowShortCutInHint = false;
  bool FMainFormActive = false;
  bool FBarRestoring = false;
  std::vector<TdxBar*> FBarRestoringList;
  String FIniFileName;
  String FRegistryPath;
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
  TdxBarBackgrounds* FBackgrounds = nullptr;
  TdxThemeChangedNotificator* FThemeChangedNotificator = nullptr;
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

  bool FAutoAlignBars = false;
  bool FFlatCloseButton = false;
  bool FShowCloseButton = false;
  bool FShowHelpButton = false;
  bool FSunkenBorder = false;
  int FHelpContext = 0;
  TFont* FBarCaptionFont = nullptr;
  TBitmap* FHelpButtonGlyph = nullptr;
  TComponentList* FOwnedObjects = nullptr;
  TComponentList* FPopupMenus = nullptr;
  TcxEventHandlerCollection* FSystemFontChangedHandlers = nullptr;
  TdxBarPainterClass FDefaultPainter = nullptr;
  bool FThemeAvailable = false;
  bool FChangingStyle = false;
  HBRUSH FFlatToolbarsBorderBrush = nullptr;
  HBRUSH FFlatToolbarsBrush = nullptr;
  HBRUSH FFlatToolbarsDownedBrush = nullptr;
  HBRUSH FFlatToolbarsDownedSelBrush = nullptr;
  HBRUSH FFlatToolbarsSelBrush = nullptr;
  HBRUSH FThemeToolbarsBrush = nullptr;
  IdxBarControl* FFocusedBarControl = nullptr;
  IdxBarControl* FChangedSubMenuControl = nullptr;
  // The dock windows whose redrawing the open update bracket switched off.
  std::vector<HWND> FFrozenDockWindows;
  // Layout storage (dxBarLayoutStorage.cpp).
  friend void dxBarReadLayout(TdxBarManager* AManager, TCustomIniFile* AIniFile, const String& ABase,
                              TdxBarStoringKind AKind);
  mutable TObjectPtr<TcxEventHandlerCollection> FReadIniFileHandlers;
  mutable TObjectPtr<TcxEventHandlerCollection> FWriteIniFileHandlers;
  TStream* FIniFileStream = nullptr;
  TStringList* FNewItems = nullptr;
  bool FUseFullReset = false;
  // Operations (dxBarOperations.cpp).
  std::vector<TdxBar*> FDisabledToolBarsList;
  IdxBarControl* FMouseTrackingBarControl = nullptr;
  // MDI (dxBarMDI.cpp).
  void ReportMDIChange(TdxBarMDIStateChange AChange, HWND AWnd);
  bool FIsMDIMaximized = false;
  HWND FPrevActiveMDIChild = nullptr;
  mutable TObjectPtr<TcxEventHandlerCollection> FMDIStateChangedHandlers;
};

// The colours of the flat toolbars' brushes, from the system colours.
struct TdxBarFlatToolbarColors {
  TColor Border, Background, Downed, DownedSelected, Selected;
};
TdxBarFlatToolbarColors dxBarFlatToolbarColors();

// Runs AWork inside the manager's update bracket, which closes also when AWork raises.
template <class F>
void dxBarInManagerUpdate(TdxBarManager* AManager, F&& AWork) {
  AManager->BeginUpdate();
  try {
    AWork();
  } catch (...) {
    AManager->EndUpdate();
    throw;
  }
  AManager->EndUpdate();
}
