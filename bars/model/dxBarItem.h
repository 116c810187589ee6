// Bar items: the commands of the toolbar system (caption, hint, glyphs,
// shortcut, category, enabled and visible state, an optional platform
// action, styles) and what a click runs. Buttons, large buttons, labels and
// separators.
#pragma once

#include "bars/model/dxBarComponents.h"
#include "bars/model/dxBarSelection.h"

#include <vector>

class TBasicAction;
class TBitmap;
class TCanvas;
class TCustomIniFile;
class TCustomImageList;
class TcxStyle;
class TdxBarItemActionLink;
class TdxBarItemStylesData;
class TdxBarScreenTip;
struct TcxViewParams;
enum TdxBarItemStyleChangeKind : int;

using TShortCut = Word;

class TdxBarItem : public TdxBarComponent {
  DECLARE_CLASS(TdxBarItem, TdxBarComponent)
  explicit TdxBarItem(TComponent* AOwner);
  ~TdxBarItem() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  bool Enabled() override;
  void SetEnabled(bool AValue) override;
  void SetVisible(TdxBarItemVisible AValue) override;
  void SetName(const String& ANewName) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // The platform action the item follows; nil without one.
  TBasicAction* Action() const;
  void SetAction(TBasicAction* AValue);
  TdxBarItemActionLink* ActionLink() const { return FActionLink; }
  // Lets the action bring the item up to date (its update handlers run).
  void UpdateFromAction();
  TdxBarItemAlign Align() const { return FAlign; }
  void SetAlign(TdxBarItemAlign AValue);
  bool CanSelect() const { return FCanSelect; }
  void SetCanSelect(bool AValue) { FCanSelect = AValue; }
  virtual String Caption() { return FCaption; }
  virtual void SetCaption(const String& AValue);
  // False while the caption follows the action's.
  virtual bool CaptionNeedsStoring();
  int Category() const { return FCategory; }
  void SetCategory(int AValue);
  const String& Description() const { return FDescription; }
  void SetDescription(const String& AValue);
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int AValue) { FHelpContext = AValue; }
  // The two-part hint: short part, "|", long part.
  const String& Hint() const { return FHint; }
  void SetHint(const String& AValue) { FHint = AValue; }
  // The short part of the hint is the caption without markers.
  bool HintMatchesCaption();
  // The larger hint shown in place of Hint; cleared when the tip is freed.
  TdxBarScreenTip* ScreenTip() const { return FScreenTip; }
  void SetScreenTip(TdxBarScreenTip* AValue);
  const String& KeyTip() const { return FKeyTip; }
  void SetKeyTip(const String& AValue) { FKeyTip = AValue; }
  TdxBarItemMergeKind MergeKind() const { return FMergeKind; }
  void SetMergeKind(TdxBarItemMergeKind AValue) { FMergeKind = AValue; }
  int MergeOrder() const { return FMergeOrder; }
  void SetMergeOrder(int AValue) { FMergeOrder = AValue < 0 ? 0 : AValue; }
  // The first style slot.
  TcxStyle* Style() const;
  void SetStyle(TcxStyle* AValue);
  TdxBarItemStylesData* StylesData() const { return FStylesData; }
  TBitmap* Glyph() const { return FGlyph; }
  void SetGlyph(TBitmap* AValue);
  TBitmap* LargeGlyph() const { return FLargeGlyph; }
  void SetLargeGlyph(TBitmap* AValue);
  TdxBarGlyphLayout GlyphLayout() const { return FGlyphLayout; }
  void SetGlyphLayout(TdxBarGlyphLayout AValue);
  int ImageIndex() const { return FImageIndex; }
  virtual void SetImageIndex(int AValue);
  int LargeImageIndex() const { return FLargeImageIndex; }
  virtual void SetLargeImageIndex(int AValue);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut AValue);
  TdxBarPaintStyle PaintStyle() const { return FPaintStyle; }
  void SetPaintStyle(TdxBarPaintStyle AValue);
  bool UnclickAfterDoing() const { return FUnclickAfterDoing; }
  void SetUnclickAfterDoing(bool AValue) { FUnclickAfterDoing = AValue; }
  virtual int Width() { return FWidth; }
  virtual void SetWidth(int AValue);
  TObject* Data() const { return FData; }
  void SetData(TObject* AValue) { FData = AValue; }
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool AValue);
  // Position in the manager's item list.
  int Index() const;
  void SetIndex(int AValue);

  // Visible ivAlways (with displayable content, or while customizing) or
  // ivInCustomizing while customizing.
  bool ActuallyVisible();
  TdxBarItemLink* ClickItemLink() const { return FClickItemLink; }
  void SetClickItemLink(TdxBarItemLink* ALink) { FClickItemLink = ALink; }
  // The first link whose item control exists and is active.
  TdxBarItemLink* CurItemLink() const;
  int LinkCount() const { return static_cast<int>(FLinks.size()); }
  TdxBarItemLink* LinkAt(int AIndex) const;
  bool VisibleForUser() const;
  // The caption without its first "&" and its first "...".
  String CaptionWithoutMarkers();
  // The manager's Images; whether they hold an image at ImageIndex.
  virtual TCustomImageList* GetCurImages();
  bool HasImage();
  static bool ImageListHasImage(TCustomImageList* AImages, int AIndex);
  // Default view values overridden by what the item's Style assigns.
  void GetStyleViewParams(TcxViewParams& AParams);
  // From another item: the item's properties and OnClick.
  void Assign(TPersistent* ASource) override;
  // Into a TCustomAction: the item's caption, state, image, shortcut and OnClick.
  void AssignTo(TPersistent* ADest) override;

  // The click path. Click (also from a shortcut) runs DirectClick when the
  // item may be clicked by shortcut; DirectClick does nothing for a disabled
  // item, else fires the manager's OnClickItem and then DoClick; what they
  // raise goes to the application's exception handler. DoClick runs OnClick,
  // or the action when OnClick is unset or is the action's own handler.
  virtual void Click();
  void DirectClick();
  virtual void DoClick();
  virtual bool ExecuteShortCut(TShortCut AShortCut);

  virtual bool CanBePlacedOn(int AContainerKind, TComponent* AContainer, String& AErrorText);
  virtual bool SupportsPaintStyle() { return false; }
  virtual bool CanClickByShortCut() { return true; }
  // The entry of the customization form's command list.
  virtual void DrawInCommandList(TCanvas* ACanvas, const TRect& ARect, bool ASelected);
  virtual void DrawCommandListBackground(TCanvas* ACanvas, const TRect& ARect);
  // The image index an action's ImageIndex goes to.
  virtual int EditableImageIndex() { return FImageIndex; }
  virtual void AssignEditableImageIndex(int AValue) { SetImageIndex(AValue); }
  virtual int StyleCount() { return 1; }
  virtual bool HasDisplayableContent() { return true; }
  // Whether merging by caption may join this item's links with the other's.
  virtual bool IsSameContainerKind(TdxBarItem*) { return false; }
  bool IsSameKindBothWays(TdxBarItem* AOther) { return IsSameContainerKind(AOther) && AOther->IsSameContainerKind(this); }
  virtual bool CanAccelerateLink(TdxBarItemLink* ALink);
  // The links of a drop-down menu or of a sub item; nil here.
  virtual TdxBarItemLinks* ItemLinks() { return nullptr; }
  // The item-control class registered for exactly this item's class.
  virtual TClass GetItemControlClass(bool AIsVertical);
  virtual String GetNewItemCaption();
  virtual String GetAddMessageName() { return String(); }
  virtual bool UsesStyleBackground() { return false; }
  // A toolbar was inserted into or removed from the manager.
  virtual void BarNotification(TdxBar*, bool /*AInserted*/) {}
  virtual bool HasHotImageIndex() { return false; }
  virtual bool HasLargeImageIndex() { return FImageIndex >= 0 || FLargeImageIndex >= 0; }
  // Items that want to hear when one of their controls is hidden by the layout.
  virtual bool WantsHiddenControlNotice() { return false; }
  virtual void HiddenControlNotice(TdxBarItemControlBase*) {}
  // Whether the links' Width is the item's (edit items).
  virtual bool LinksTakeItemWidth() { return false; }
  void ShowEventHandlerInDesigner();
  bool IsDesigning() const { return ComponentState().Contains(csDesigning); }
  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  // Items the customization lists leave out although they are visible.
  virtual bool IsHiddenFromCategoryLists() { return false; }

  // The item's own part of a user layout (items with links of their own
  // keep them there); nothing in the base item. The manager calls them
  // after its toolbars (dxBarLayoutStorage.h).
  virtual void ResetFromSavedState(TCustomIniFile* /*ASavedState*/, const String& /*ABaseSection*/) {}
  virtual void LoadFromIni(TCustomIniFile* /*AIniFile*/, const String& /*ABaseSection*/,
                           TdxBarStoringKind /*AStoringKind*/) {}
  virtual void ReloadLinkSettings(TCustomIniFile* /*ASavedState*/, const String& /*ABaseSection*/) {}
  virtual void SaveToIni(TCustomIniFile* /*AIniFile*/, const String& /*ABaseSection*/,
                         TdxBarStoringKind /*AStoringKind*/) {}

  // Change notices to the controls of the links.
  virtual void CaptionChanged();
  virtual void EnabledChanged();
  virtual void ImageIndexChanged();
  virtual void HotImageChanged();
  virtual void LargeImageIndexChanged();
  virtual void PaintStyleChanged();
  virtual void ShortCutChanged();
  virtual void VisibilityChanged();
  virtual void WidthChanged();
  virtual void RefreshLinkControls();
  // Every link control except one selected on an active window.
  virtual void RepaintUnfocusedControls();
  // The windows of those kinds that show a control of the item.
  virtual void RepaintBarsOfKinds(TdxBarKinds AKinds);
  void RepaintAllBars() { RepaintBarsOfKinds({bkBarControl, bkBarQuickControl, bkSubMenu}); }
  // Frees every link, inside one manager update when a link is shown.
  void DropAllLinks();

  // IdxBarSelectableItem: where an item answers otherwise than a bar
  // component (the selection state, selecting and the instance are the
  // component's).
  bool MayBeDeleted(bool ADeleteComponent) override;
  void DeleteFromDesigner(IdxBarSelectableItem*& AReference, bool ADeleteComponent) override;
  void RunCustomizationAction(TdxBarCustomizationAction AAction) override;
  void CollectMasterObjects(TdxObjectList* AList) override;
  IdxBarSelectableItem* FollowingSelectable() override;
  TPersistent* SelectableParentObject() override;
  TdxBarCustomizationActions SupportedCustomizationActions() override;
  void RefreshDesignView() override { RepaintUnfocusedControls(); }
  bool HasMultipleParts() override { return LinkCount() > 1; }
  bool SelectParentInDesigner() override;
  void SelectionStateChanged() override;
  // The manager's design-selected link when it is one of this item's, else the first link.
  TdxBarItemLink* DesignSelectedLink() const;

  void Loaded() override;
  bool HasParent() override { return FCategory >= 0 && FBarManager != nullptr; }
  TComponent* GetParentComponent() override;
  void SetParentComponent(TComponent* AParent) override;

  TNotifyEvent OnClick;
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;

 protected:
  virtual void BarManagerAssigned() {}
  void SetBarManager(TdxBarManager* AManager);
  // The action link's class (a TdxBarItemActionLink descendant).
  virtual TClass ActionLinkClass();
  // Takes the action's values: all of them, or with ACheckDefaults only
  // where the item still has its default.
  virtual void ApplyActionProperties(TBasicAction* AAction, bool ACheckDefaults);
  // Whether a new caption may carry the hint along (sub items: never).
  virtual bool CaptionSetsHint() { return true; }
  // Calls AProc with the control of every link that has one, skipping links
  // whose user settings override one of ASkipOverridden.
  template <class F>
  void ForEachLinkControl(F&& AProc, TdxBarUserDefines ASkipOverridden = {}) const;

  TdxBarPaintStyle FPaintStyle = psStandard;
  bool FShowCaption = false;
  bool FUnclickAfterDoing = false;

 private:
  friend class TdxBarItemLink;
  // The category list renumbers its items directly while categories move.
  friend class TdxBarManagerCategories;
  void AddLink(TdxBarItemLink* ALink);
  void RemoveLink(TdxBarItemLink* ALink);
  void GlyphChanged(TObject*) { ImageIndexChanged(); }
  void LargeGlyphChanged(TObject*) { LargeImageIndexChanged(); }
  void HandleActionChange(TObject* ASender);
  void HandleStylesChanged(TdxBarItemStyleChangeKind AKind);
  void MoveIntoCategoryOrder(int ACategory);
  bool IsControlOfActiveSelection(TdxBarItemControlBase* AControl) const;

  TdxBarItemActionLink* FActionLink = nullptr;
  TdxBarItemAlign FAlign = iaLeft;
  bool FCanSelect = true;
  String FCaption;
  int FCategory = -1;
  bool FCheckDefaults = false;
  TdxBarItemLink* FClickItemLink = nullptr;
  TObject* FData = nullptr;
  String FDescription;
  TBitmap* FGlyph = nullptr;
  int FHelpContext = 0;
  String FHint;
  int FImageIndex = -1;
  String FKeyTip;
  TBitmap* FLargeGlyph = nullptr;
  int FLargeImageIndex = -1;
  std::vector<TdxBarItemLink*> FLinks;
  TdxBarItemMergeKind FMergeKind = mkAdd;
  int FMergeOrder = 0;
  TShortCut FShortCut = 0;
  TdxBarItemStylesData* FStylesData = nullptr;
  TdxBarScreenTip* FScreenTip = nullptr;
  int FWidth = 0;
  TdxBarGlyphLayout FGlyphLayout = glTop;
};

DECLARE_ENUM(TdxBarButtonStyle, bsDefault, bsChecked, bsDropDown, bsCheckedDropDown)
DECLARE_ENUM(TdxBarButtonState, bstChecked, bstDropDown)
using TdxBarButtonStates = TSet<TdxBarButtonState, 8>;

class TdxBarButton : public TdxBarItem {
  DECLARE_CLASS(TdxBarButton, TdxBarItem)
  explicit TdxBarButton(TComponent* AOwner);

  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool AValue);
  TdxBarButtonStyle ButtonStyle() const;
  void SetButtonStyle(TdxBarButtonStyle AValue);
  bool CloseSubMenuOnClick() const { return FCloseSubMenuOnClick; }
  void SetCloseSubMenuOnClick(bool AValue) { FCloseSubMenuOnClick = AValue; }
  bool Down() const { return FDown; }
  void SetDown(bool AValue);
  bool DropDownEnabled() const { return FDropDownEnabled; }
  void SetDropDownEnabled(bool AValue);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int AValue);
  bool Lowered() const { return FLowered; }
  void SetLowered(bool AValue);
  bool IsCheckable() const { return FInternalStates.Contains(bstChecked); }

  void Click() override;
  bool SupportsPaintStyle() override { return true; }
  bool CanAccelerateLink(TdxBarItemLink* ALink) override;
  void PaintStyleChanged() override;
  String GetNewItemCaption() override;
  TdxBarCustomizationActions SupportedCustomizationActions() override;

 private:
  TdxBarButton* FindDownGroupButton();
  bool OtherGroupButtonDown();
  template <class F>
  void ForEachGroupButton(F&& AProc);

  bool FAllowAllUp = false;
  bool FCloseSubMenuOnClick = true;
  bool FDown = false;
  bool FDropDownEnabled = true;
  int FGroupIndex = 0;
  TdxBarButtonStates FInternalStates;
  bool FLowered = false;
};

// A button with large-icon settings; while SyncImageIndex is on, the small
// image index follows the large one.
class TdxBarLargeButton : public TdxBarButton {
  DECLARE_CLASS(TdxBarLargeButton, TdxBarButton)
  explicit TdxBarLargeButton(TComponent* AOwner);
  ~TdxBarLargeButton() override;

  bool AutoGrayScale() const { return FAutoGrayScale; }
  void SetAutoGrayScale(bool AValue);
  int Height() const { return FHeight; }
  void SetHeight(int AValue);
  TBitmap* HotGlyph() const { return FHotGlyph; }
  void SetHotGlyph(TBitmap* AValue);
  int HotImageIndex() const { return FHotImageIndex; }
  void SetHotImageIndex(int AValue);
  bool SyncImageIndex() const { return FSyncImageIndex; }
  void SetSyncImageIndex(bool AValue);
  void SetImageIndex(int AValue) override;
  void SetLargeImageIndex(int AValue) override;
  void LargeImageIndexChanged() override;
  void WidthChanged() override;
  void HotImageChanged() override;
  bool CanAccelerateLink(TdxBarItemLink* ALink) override;
  int EditableImageIndex() override { return LargeImageIndex(); }
  void AssignEditableImageIndex(int AValue) override { SetLargeImageIndex(AValue); }
  bool HasHotImageIndex() override { return FHotImageIndex >= 0; }
  bool HasLargeImageIndex() override { return LargeImageIndex() >= 0; }
  // The manager's HotImages / LargeImages hold an image at the index.
  bool HotImageAvailable();
  bool LargeImageAvailable();
  TdxBarCustomizationActions SupportedCustomizationActions() override;
  void DefineProperties(TFiler* AFiler) override;
  void Loaded() override;

 private:
  void HandleHotGlyphChanged(TObject*) { HotImageChanged(); }
  void ReadImageIndex(TReader* AReader);
  void WriteImageIndex(TWriter* AWriter);
  bool FAutoGrayScale = true;
  int FHeight = 0;
  TBitmap* FHotGlyph = nullptr;
  int FHotImageIndex = -1;
  bool FInSyncImageIndex = false;
  bool FSyncImageIndex = true;
  bool FSetImageIndex = false;
  bool FSetLargeImageIndex = false;
  bool FSetSyncImageIndex = false;
};

// A caption-only item.
class TdxBarLabel : public TdxBarItem {
  DECLARE_CLASS(TdxBarLabel, TdxBarItem)
  explicit TdxBarLabel(TComponent* AOwner);
};

// A separator: placed in menus only.
class TdxBarSeparator : public TdxBarLabel {
  DECLARE_CLASS(TdxBarSeparator, TdxBarLabel)
  explicit TdxBarSeparator(TComponent* AOwner) : TdxBarLabel(AOwner) {}
  bool CanBePlacedOn(int AContainerKind, TComponent* AContainer, String& AErrorText) override;
  String GetNewItemCaption() override;
  TdxBarCustomizationActions SupportedCustomizationActions() override;
};
