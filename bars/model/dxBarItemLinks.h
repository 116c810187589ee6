// Item links (one placement of an item on a toolbar or menu) and the
// ordered link collections of toolbars and menus with their derived lists:
// available, can-visible, visible and the most-recently-used order.
#pragma once

#include "bars/model/dxBarBase.h"
#include "bars/model/dxBarSelection.h"

#include "platform/core/Variants.h"
#include "platform/gui/ShiftState.h"

#include <vector>

class TBitmap;

class TdxBarItemLink : public TcxInterfacedCollectionItem, public IdxBarSelectableItem {
  DECLARE_CLASS(TdxBarItemLink, TcxInterfacedCollectionItem)
  explicit TdxBarItemLink(TCollection* ACollection);
  ~TdxBarItemLink() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  TdxBarItemLinks* Owner() const;
  TdxBarManager* BarManager() const override;
  IdxBarControl* BarControl() const;
  // Moves the link into another link collection (nil: out of any); it
  // leaves the old one's lists and joins the new one's recent list at its end.
  void SetCollection(TCollection* AValue) override;

  TdxBarItem* Item() const;
  // Links the item. EdxException with the owner's text when the owner may
  // not hold the item; the link is then left without item. Nil frees the
  // link: the caller must not use it afterwards.
  void SetItem(TdxBarItem* AValue);
  // The effective flag: see the begin-group rule of the displayed links.
  bool BeginGroup() const;
  bool StoredBeginGroup() const { return FBeginGroup; }
  void SetBeginGroup(bool AValue);
  TdxBarButtonGroupPosition ButtonGroup() const { return FButtonGroup; }
  void SetButtonGroup(TdxBarButtonGroupPosition AValue);
  bool Distributed() const { return FDistributed; }
  // Also makes the link one of its collection's primary distribution links.
  void SetDistributed(bool AValue);
  // Sets the value and takes the link out of the primary distribution links.
  void SetDistributedWithoutPrimaryList(bool AValue);
  bool IsPrimaryForDistribution() const;
  bool MostRecentlyUsed() const { return FMostRecentlyUsed; }
  void SetMostRecentlyUsed(bool AValue);
  TdxBarItemPosition Position() const { return FPosition; }
  void SetPosition(TdxBarItemPosition AValue);
  TdxBarItemViewLevels ViewLevels() const { return FViewLevels; }
  void SetViewLevels(TdxBarItemViewLevels AValue);
  bool Visible() const { return FVisible; }
  void SetVisible(bool AValue);
  TdxBarUserDefines UserDefine() const { return FUserDefine; }
  void SetUserDefine(TdxBarUserDefines AValue);
  const String& UserCaption() const { return FUserCaption; }
  void SetUserCaption(const String& AValue);
  TdxBarPaintStyle UserPaintStyle() const { return FUserPaintStyle; }
  void SetUserPaintStyle(TdxBarPaintStyle AValue);
  int UserWidth() const { return FUserWidth; }
  void SetUserWidth(int AValue);
  TBitmap* UserGlyph() const { return FUserGlyph; }
  // Copies the picture; another bitmap object than the own one re-enters udGlyph.
  void SetUserGlyph(TBitmap* AValue);
  int Data() const { return FData; }
  void SetData(int AValue) { FData = AValue; }

  // Effective values: the user's override, else the item's.
  String Caption() const;
  TBitmap* Glyph() const;
  TdxBarPaintStyle PaintStyle() const;
  int Width() const;

  int AvailableIndex() const;
  int CanVisibleIndex() const;
  int VisibleIndex() const;
  int IndexInRecentList() const;
  int UseCount() const { return FUseCount; }
  void SetUseCount(int AValue) { FUseCount = AValue; }
  const String& LoadedItemName() const { return FLoadedItemName; }
  // Usage read from a stored layout, applied with the loaded usage state
  // (-1: no recent position was read); SetLoadedUsage hands it over.
  int LoadedRecentIndex() const { return FLoadedRecentIndex; }
  int LoadedUseCount() const { return FLoadedUseCount; }
  // The item name of the link before this one, as the layout reader found it.
  const String& PrevItemName() const { return FPrevItemName; }
  void SetPrevItemName(const String& AValue) { FPrevItemName = AValue; }
  // Set while the link is dragged away during customization.
  bool IsMarkedForDeletion() const { return FIsMarkedForDeletion; }
  void SetMarkedForDeletion(bool AValue) { FIsMarkedForDeletion = AValue; }
  TdxBarItemLink* OriginalItemLink() const { return FOriginalItemLink; }
  void SetOriginalItemLink(TdxBarItemLink* ALink) { FOriginalItemLink = ALink; }
  TdxBarItemLink* RealItemLink() { return FOriginalItemLink ? FOriginalItemLink : this; }
  // The toolbar whose merge made the link, nil otherwise.
  TdxBar* CreatedFromMergingWith() const { return FCreatedFromMergingWith; }
  TdxBarItemControlBase* Control() const { return FControl; }
  // Where the window placed the link, in its client coordinates.
  const TRect& ItemRect() const { return FItemRect; }
  void SetItemRect(const TRect& AValue);
  int RowHeight() const { return FRowHeight; }
  void SetRowHeight(int AValue) { FRowHeight = AValue; }
  // Whether the key (with the shift state) is the accelerator of the caption.
  bool IsAccel(Word AKey, TShiftState AShift) const;
  // Whether the link's item is AItem or, through its own links, contains it.
  bool HasItem(const TdxBarItem* AItem) const;
  // Whether the link's item is the links owner or holds links it references.
  bool IsReferencedByLinksOwner(IdxBarLinksOwner* AOwner) const;
  bool ItemSupportsPaintStyle() const;
  // Lets the item's action bring the item up to date.
  void UpdateItemFromAction();
  // A screen point relative to the link's ItemRect in its window.
  TPoint ScreenToItemPoint(const TPoint& AScreenPoint) const;
  // Asks the item control, if any, to repaint.
  virtual void InvalidateControl();

  void CreateControl();
  void DestroyControl();
  void RecreateControl();
  // Moves the link to the top of its recent list (counting a use with
  // AIncCount) when recent items are active; climbs the menu chain.
  void BringToTopInRecentList(bool AIncCount);
  void SendToBottomInRecentList();
  void SaveRecentIndex();
  void RestoreRecentIndex();
  // What a stored layout says of the link: applied with the collection's
  // loaded usage state (its visibility, use count and recent position).
  void SetLoadedUsage(bool AVisible, int AUseCount, int ARecentIndex) {
    FLoadedVisible = AVisible;
    FLoadedUseCount = AUseCount;
    FLoadedRecentIndex = ARecentIndex;
  }
  // A link the layout keeps as designed no longer counts as made by merging.
  void ClearCreatedFromMerging() { FCreatedFromMergingWith = nullptr; }
  // Applies the loaded item name: the manager's item of that name, or none.
  void ResolveLoadedItem();
  // A link dragged away leaves its group start to the next can-visible link
  // (or takes it from the next one when it is the first).
  void PassBeginGroupToNext();
  // Applies the link's visibility: rebuilds the lists and makes or frees the control.
  void ApplyVisibility();
  void ApplyMostRecentlyUsed();
  // Takes the other link's use count and recent-list position.
  void CopyUsageFrom(TdxBarItemLink* ASource);

  void Assign(TPersistent* ASource) override;
  void DefineProperties(TFiler* AFiler) override;

  // IdxBarSelectableItem
  bool MayBeDeleted(bool) override { return true; }
  void DeleteFromDesigner(IdxBarSelectableItem*& AReference, bool ADeleteComponent) override;
  void RunCustomizationAction(TdxBarCustomizationAction AAction) override;
  void CollectMasterObjects(TdxObjectList* AList) override;
  IdxBarSelectableItem* FollowingSelectable() override;
  TPersistent* SelectableParentObject() override;
  TdxBarSelectionStatus DesignSelectionState() override;
  TdxBarCustomizationActions SupportedCustomizationActions() override;
  void RefreshDesignView() override {}
  bool HasMultipleParts() override { return false; }
  bool IsDesignSelected() override;
  void SelectInDesigner(TdxBarSelectionOperation AOperation) override;
  bool SelectParentInDesigner() override;
  void SelectionStateChanged() override;
  TPersistent* SelectableInstance() override { return this; }

 private:
  friend class TdxBarItemLinks;
  void MoveInRecentList(int AIndex);
  // Changes the item; with nil, the link is freed unless AKeepLink.
  void ChangeItem(TdxBarItem* AValue, bool AKeepLink);
  // Leaves the collection's derived lists (before it leaves the collection).
  void LeaveOwnerLists();
  void NotifyUserDefineChange(TdxBarUserDefine AFlag);
  void ReadItemName(TReader* AReader);
  void WriteItemName(TWriter* AWriter);
  void UserGlyphChanged(TObject*);

  bool FBeginGroup = false;
  TdxBarButtonGroupPosition FButtonGroup = bgpNone;
  TdxBarItemControlBase* FControl = nullptr;
  int FData = 0;
  bool FDistributed = true;
  bool FIsMarkedForDeletion = false;
  TdxBarItem* FItem = nullptr;
  String FLoadedItemName;
  int FLoadedRecentIndex = -1;
  int FLoadedUseCount = 0;
  bool FLoadedVisible = true;
  bool FMostRecentlyUsed = true;
  TdxBarItemLink* FOriginalItemLink = nullptr;
  TdxBar* FCreatedFromMergingWith = nullptr;
  TdxBarItemPosition FPosition = ipBeginsNewRow;
  String FPrevItemName;
  int FPrevRecentIndex = -1;
  int FUseCount = 0;
  String FUserCaption;
  TdxBarUserDefines FUserDefine;
  TBitmap* FUserGlyph = nullptr;
  TdxBarPaintStyle FUserPaintStyle = psStandard;
  int FUserWidth = 0;
  TdxBarItemViewLevels FViewLevels = dxBarAllViewLevels;
  bool FVisible = true;
  TRect FItemRect;
  int FRowHeight = 0;
};

// Menu options of a link collection; an option not assigned here takes the
// collection's default.
class TdxBarItemOptions : public TPersistent {
  DECLARE_CLASS(TdxBarItemOptions, TPersistent)
  explicit TdxBarItemOptions(TdxBarItemLinks* AItemLinks);
  void Assign(TPersistent* ASource) override;
  TdxBarItemOptionValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TdxBarItemOptionValues AValue) { FAssignedValues = AValue; }
  bool HasAssignedValue(TdxBarItemOption AOption) const { return FAssignedValues.Contains(AOption); }
  bool ShowDescriptions() const;
  void SetShowDescriptions(bool AValue);
  bool ShowShortCuts() const;
  void SetShowShortCuts(bool AValue);
  TdxBarMenuItemSize Size() const;
  void SetSize(TdxBarMenuItemSize AValue);

 private:
  TdxBarItemLinks* FItemLinks;
  TdxBarItemOptionValues FAssignedValues;
  bool FShowDescriptions = false;
  bool FShowShortCuts = true;
  TdxBarMenuItemSize FSize = misNormal;
};

class TdxBarItemLinks : public TCollection {
  DECLARE_CLASS(TdxBarItemLinks, TCollection)
  TdxBarItemLinks(TdxBarManager* ABarManager, IdxBarLinksOwner* ALinksOwner);
  ~TdxBarItemLinks() override;
  void BeforeDestruction() override;

  TdxBarItemLink* Items(int AIndex) const { return static_cast<TdxBarItemLink*>(TCollection::Items(AIndex)); }
  TdxBarItemLink* operator[](int AIndex) const { return Items(AIndex); }
  TdxBarItemLink* Add();
  TdxBarItemLink* Add(TdxBarItem* AItem);
  TdxBarItemLink* Insert(int AIndex);
  void Move(int ACurIndex, int ANewIndex);
  int IndexOf(const TdxBarItemLink* ALink) const;

  int AvailableItemCount() const { return static_cast<int>(FAvailableItems.size()); }
  int CanVisibleItemCount() const { return static_cast<int>(FCanVisibleItems.size()); }
  int VisibleItemCount() const { return static_cast<int>(FVisibleItems.size()); }
  TdxBarItemLink* AvailableItems(int AIndex) const { return FAvailableItems.at(AIndex); }
  TdxBarItemLink* CanVisibleItems(int AIndex) const { return FCanVisibleItems.at(AIndex); }
  TdxBarItemLink* VisibleItems(int AIndex) const { return FVisibleItems.at(AIndex); }
  int AvailableIndexOf(const TdxBarItemLink* ALink) const;
  int CanVisibleIndexOf(const TdxBarItemLink* ALink) const;
  int VisibleIndexOf(const TdxBarItemLink* ALink) const;
  // Every link, most recently used first.
  int RecentItemCount() const { return FRecentItemCount; }
  const std::vector<TdxBarItemLink*>& RecentItems() const { return FRecentItems; }

  TdxBarManager* BarManager() const { return FBarManager; }
  IdxBarLinksOwner* LinksOwner() const { return FLinksOwner; }
  TComponent* Owner() const { return FLinksOwner ? FLinksOwner->GetInstance() : nullptr; }
  IdxBarControl* BarControl() const { return FBarControl; }
  bool Assigning() const { return FAssigning; }
  bool UseRecentItems() const { return FUseRecentItems; }
  void SetUseRecentItems(bool AValue);
  // The links of the window that opened this collection's window (a menu's parent).
  TdxBarItemLinks* ParentItemLinks() const { return FParentItemLinks; }
  void SetParentItemLinks(TdxBarItemLinks* ALinks) { FParentItemLinks = ALinks; }

  bool CanContainItem(TdxBarItem* AItem, String& AErrorText);
  // Some link's item is AItem, directly or through its own links.
  bool HasItem(TdxBarItem* AItem) const;
  // AOwner's links are these, or some link's item is AOwner or holds links it references.
  bool IsReferencedBy(IdxBarLinksOwner* AOwner) const;
  bool IsControlExists(TdxBarItemControlBase* AControl) const;
  // A link with a new item of the class owned by AOwner (the manager's owner
  // when nil); nothing is left behind when that fails.
  TdxBarItemLink* AddItemOfClass(TClass AItemClass, TComponent* AOwner);
  void ClearItemRects();
  // Frees the links whose manager is AForeignManager (nil: any other manager than the collection's).
  void FreeForeignItems(TdxBarManager* AForeignManager);
  // The links whose Distributed was set through the ordinary setter.
  int PrimaryForDistributionCount() const { return static_cast<int>(FPrimaryForDistributionItems.size()); }

  // Keyboard navigation over the displayed links.
  virtual bool ShowsAllLinks();
  int DisplayedLinkCount();
  TdxBarItemLink* FirstSelectableLink();
  TdxBarItemLink* LastSelectableLink();
  TdxBarItemLink* NextSelectableLink(TdxBarItemLink* ALink, bool AAnyLink = false);
  TdxBarItemLink* PrevSelectableLink(TdxBarItemLink* ALink, bool AAnyLink = false);
  // The next link after AStartLink whose caption accelerator is the key (Alt ignored).
  TdxBarItemLink* FindLinkByAccel(Word AKey, TShiftState AShift, TdxBarItemLink* AStartLink);

  TdxBarItemOptions* ItemOptions() const { return FItemOptions; }
  void SetItemOptions(TdxBarItemOptions* AValue) { FItemOptions->Assign(AValue); }
  virtual Variant DefaultItemOptionValue(TdxBarItemOption AOption);
  // The own value when assigned or without parent links, else the parent's.
  virtual Variant ItemOptionValue(TdxBarItemOption AOption);
  TdxBarMenuItemSize EffectiveMenuItemSize();
  void CreateBarControl();
  void DestroyBarControl();
  // Binds a window made elsewhere (a popup toolbar binds itself), or unbinds
  // a window that goes.
  void SetBarControl(IdxBarControl* AValue) { FBarControl = AValue; }
  // Links a window made for its own use (a popup toolbar's).
  bool IsInternal() const { return FIsInternal; }
  void SetInternal(bool AValue) { FIsInternal = AValue; }
  bool ExecuteShortCut(Word AShortCut);
  // Lets the action of every linked item bring its item up to date (the
  // actions' update handlers run).
  void UpdateActionLinks();

  // Recent items first: active when the manager can show them, the
  // collection uses them and its parent links do too.
  bool RecentItemsActive() const;
  int CalcRecentItemCount() const;
  void ChangeRecentItemCount(int AValue);
  void RestoreRecentItemCount();
  void ResolveLoadedItems();
  // After the form is read or a layout loaded: recent order and, with
  // AWithVisibility, each link's loaded visibility.
  void ApplyLoadedUsageState(bool AWithVisibility);
  void RebuildLists();

  // Merges the source's links into these (by caption into matching
  // containers, else by merge order); the new links record AMergingBar.
  void Merge(TdxBarItemLinks* ASource, TdxBar* AMergingBar);
  // Frees the links made by merging with ABar (any toolbar for nil), also in
  // the links of the items here.
  void Unmerge(TdxBar* ABar);

  void Assign(TPersistent* ASource) override;
  void Update(TCollectionItem* AItem) override;

  TNotifyEvent OnChange;

 protected:
  virtual TdxBarItemLink* LocateAccelLink(Word AKey, TShiftState AShift, TdxBarItemLink* AStartLink) = 0;
  bool AccelMatches(TdxBarItemLink* ALink, Word AKey, TShiftState AShift) const;

 private:
  TdxBarItemLink* StepSelectableLink(TdxBarItemLink* ALink, bool AAnyLink, int AStep);
  friend class TdxBarItemLink;
  bool IsCustomizing() const;
  bool IsDesigning() const;

  bool FAssigning = false;
  std::vector<TdxBarItemLink*> FAvailableItems;
  std::vector<TdxBarItemLink*> FCanVisibleItems;
  std::vector<TdxBarItemLink*> FVisibleItems;
  std::vector<TdxBarItemLink*> FRecentItems;
  IdxBarControl* FBarControl = nullptr;
  TdxBarManager* FBarManager;
  IdxBarLinksOwner* FLinksOwner;
  TdxBarItemLinks* FParentItemLinks = nullptr;
  int FPrevRecentItemCount = -1;
  int FRecentItemCount = -1;
  bool FUseRecentItems = true;
  bool FTearingDown = false;
  TdxBarItemOptions* FItemOptions = nullptr;
  std::vector<TdxBarItemLink*> FPrimaryForDistributionItems;
  bool FIsInternal = false;
};

// The links of a toolbar: accelerators are searched among the displayed,
// selectable links while the window is shown.
class TdxBarControlItemLinks : public TdxBarItemLinks {
  DECLARE_CLASS(TdxBarControlItemLinks, TdxBarItemLinks)
  using TdxBarItemLinks::TdxBarItemLinks;

 protected:
  TdxBarItemLink* LocateAccelLink(Word AKey, TShiftState AShift, TdxBarItemLink* AStartLink) override;
};

// The links of a menu: every can-visible link takes part in accelerator
// searches, also those the recent-items truncation hides.
class TdxBarSubMenuControlItemLinks : public TdxBarItemLinks {
  DECLARE_CLASS(TdxBarSubMenuControlItemLinks, TdxBarItemLinks)
  using TdxBarItemLinks::TdxBarItemLinks;
  bool ShowsAllLinks() override { return true; }

 protected:
  TdxBarItemLink* LocateAccelLink(Word AKey, TShiftState AShift, TdxBarItemLink* AStartLink) override;
};
