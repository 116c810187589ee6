#include "bars/model/dxBarManager.h"

#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarRoutines.h"
#include "bars/model/dxBarHints.h"
#include "bars/model/dxBarStrs.h"
#include "bars/model/dxBarToolbars.h"

#include "foundation/cxClasses.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/dxCore.h"
#include "foundation/dxThemeManager.h"
#include "platform/core/Filer.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"

#include <algorithm>

BEGIN_CLASS(TdxBarManagerCategories, TStringList, (ConstructWith<TdxBarManagerCategories, TdxBarManager>))
END_CLASS

BEGIN_CLASS(TdxBarPopupMenuLink, TCollectionItem, (ConstructWith<TdxBarPopupMenuLink, TCollection>))
END_CLASS
IMPLEMENT_CLASS(TdxBarPopupMenuLinks, TOwnedCollection, nullptr)

BEGIN_CLASS(TdxBarManager, TComponent, (ConstructWith<TdxBarManager, TComponent>))
  using M = TdxBarManager;
  DefaultValue(b.Prop(L"AllowCallFromAnotherForm", &M::AllowCallFromAnotherForm, &M::SetAllowCallFromAnotherForm), 0);
  DefaultValue(b.Prop(L"AllowReset", &M::AllowReset, &M::SetAllowReset), 1);
  DefaultValue(b.Prop(L"AlwaysMerge", &M::AlwaysMerge, &M::SetAlwaysMerge), 0);
  DefaultValue(b.Prop(L"AlwaysSaveText", &M::AlwaysSaveText, &M::SetAlwaysSaveText), 0);
  DefaultValue(b.Prop(L"AutoAlignBars", &M::AutoAlignBars, &M::SetAutoAlignBars), 0);
  DefaultValue(b.Prop(L"AutoDockColor", &M::AutoDockColor, &M::SetAutoDockColor), 1);
  DefaultValue(b.Prop(L"AutoHideEmptyBars", &M::AutoHideEmptyBars, &M::SetAutoHideEmptyBars), 0);
  b.Prop(L"Backgrounds", &M::Backgrounds, &M::SetBackgrounds);
  DefaultValue(b.Prop(L"ButtonArrowWidth", &M::ButtonArrowWidth, &M::SetButtonArrowWidth), 11);
  DefaultValue(b.Prop(L"CanCustomize", &M::CanCustomize, &M::SetCanCustomize), 1);
  b.Prop(L"Categories", &M::Categories, [](M* m, TdxBarManagerCategories* v) { m->SetCategories(v); });
  b.Prop(L"DockColor", &M::DockColor, &M::SetDockColor, ColorTypeInfo()).Stored = [](TObject* o) {
    return !static_cast<M*>(o)->AutoDockColor();
  };
  b.Prop(L"Font", &M::Font, &M::SetFont);
  DefaultValue(b.Prop(L"HideFloatingBarsWhenInactive", &M::HideFloatingBarsWhenInactive,
                      &M::SetHideFloatingBarsWhenInactive), 1);
  b.Prop(L"ImageOptions", &M::ImageOptions, nullptr);
  DefaultValue(b.Prop(L"LargeButtonArrowWidth", &M::LargeButtonArrowWidth, &M::SetLargeButtonArrowWidth), 13);
  b.Prop(L"LookAndFeel", &M::LookAndFeel, nullptr);
  DefaultValue(b.Prop(L"MenuAnimations", &M::MenuAnimations, &M::SetMenuAnimations), maNone);
  DefaultValue(b.Prop(L"MenusShowRecentItemsFirst", &M::MenusShowRecentItemsFirst, &M::SetMenusShowRecentItemsFirst), 1);
  DefaultValue(b.Prop(L"MostRecentItemsPercents", &M::MostRecentItemsPercents, &M::SetMostRecentItemsPercents), 95);
  DefaultValue(b.Prop(L"NotDocking", &M::NotDocking, &M::SetNotDocking), 0);
  b.Prop(L"PopupMenuLinks", &M::PopupMenuLinks, nullptr);
  DefaultValue(b.Prop(L"Scaled", &M::Scaled, &M::SetScaled), 1);
  DefaultValue(b.Prop(L"ShowFullMenusAfterDelay", &M::ShowFullMenusAfterDelay, &M::SetShowFullMenusAfterDelay), 1);
  DefaultValue(b.Prop(L"ShowHint", &M::ShowHint, &M::SetShowHint), 1);
  DefaultValue(b.Prop(L"ShowHintForDisabledItems", &M::ShowHintForDisabledItems, &M::SetShowHintForDisabledItems), 1);
  DefaultValue(b.Prop(L"StoreInIniFile", &M::StoreInIniFile, &M::SetStoreInIniFile), 0);
  DefaultValue(b.Prop(L"StoreInRegistry", &M::StoreInRegistry, &M::SetStoreInRegistry), 0);
  DefaultValue(b.Prop(L"Style", &M::Style, &M::SetStyle), bmsEnhanced);
  DefaultValue(b.Prop(L"SunkenBorder", &M::SunkenBorder, &M::SetSunkenBorder), 0);
  DefaultValue(b.Prop(L"UseF10ForMenu", &M::UseF10ForMenu, &M::SetUseF10ForMenu), 1);
  b.Prop(L"UseSystemFont", &M::UseSystemFont, &M::SetUseSystemFont);
  DefaultValue(b.Prop(L"WaitForDockingTime", &M::WaitForDockingTime, &M::SetWaitForDockingTime), 21);
END_CLASS

// ---------------------------------------------------------------------------
// Categories, image options, popup-menu links
// ---------------------------------------------------------------------------

TdxBarItemVisible TdxBarManagerCategories::ItemsVisible(int AIndex) const {
  return AIndex >= 0 && AIndex < static_cast<int>(FItemsVisibles.size()) ? FItemsVisibles[AIndex] : ivAlways;
}

bool TdxBarManagerCategories::Visible(int AIndex) const {
  return AIndex >= 0 && AIndex < static_cast<int>(FVisibles.size()) ? FVisibles[AIndex] : true;
}

void TdxBarManagerCategories::DefineProperties(TFiler* AFiler) {
  TStringList::DefineProperties(AFiler);
  AFiler->DefineProperty(
      L"ItemsVisibles", [this](TReader* r) { ReadItemsVisibles(r); }, [this](TWriter* w) { WriteItemsVisibles(w); },
      Count() > 0);
  AFiler->DefineProperty(
      L"Visibles", [this](TReader* r) { ReadVisibles(r); }, [this](TWriter* w) { WriteVisibles(w); }, Count() > 0);
}

void TdxBarManagerCategories::ReadItemsVisibles(TReader* AReader) {
  FItemsVisibles.clear();
  AReader->ReadListBegin();
  while (!AReader->EndOfList()) {
    const int value = AReader->ReadInteger();
    FItemsVisibles.push_back(value >= ivNever && value <= ivAlways ? static_cast<TdxBarItemVisible>(value) : ivAlways);
  }
  AReader->ReadListEnd();
}

void TdxBarManagerCategories::WriteItemsVisibles(TWriter* AWriter) {
  AWriter->WriteListBegin();
  for (int i = 0; i < Count(); ++i) AWriter->WriteInteger(static_cast<int>(ItemsVisible(i)));
  AWriter->WriteListEnd();
}

void TdxBarManagerCategories::ReadVisibles(TReader* AReader) {
  FVisibles.clear();
  AReader->ReadListBegin();
  while (!AReader->EndOfList()) FVisibles.push_back(AReader->ReadBoolean());
  AReader->ReadListEnd();
}

void TdxBarManagerCategories::WriteVisibles(TWriter* AWriter) {
  AWriter->WriteListBegin();
  for (int i = 0; i < Count(); ++i) AWriter->WriteBoolean(Visible(i));
  AWriter->WriteListEnd();
}

TdxBarPopupMenuLinks::TdxBarPopupMenuLinks(TdxBarManager* AManager)
    : TOwnedCollection(AManager, TdxBarPopupMenuLink::StaticClass()) {}

// ---------------------------------------------------------------------------
// TdxBarManager: creation and destruction
// ---------------------------------------------------------------------------

namespace {

// The owner checks run before anything is built: a refused manager leaves
// nothing to undo.
TComponent* CheckedManagerOwner(TComponent* AOwner) {
  if (!AOwner && Application && Application->MainForm()) AOwner = Application->MainForm();
  if (!dynamic_cast<TWinControl*>(AOwner))
    throw EdxException(cxLookUpResourceString(&dxSBAR_BARMANAGERBADOWNER));
  if (dxBarManagerFromObject(AOwner))
    throw EdxException(cxLookUpResourceString(&dxSBAR_BARMANAGERMORETHANONE));
  return AOwner;
}

}  // namespace

TdxBarManager::TdxBarManager(TComponent* AOwner) : TComponent(CheckedManagerOwner(AOwner)) {
  FLookAndFeel = Make<TcxLookAndFeel>(this);
  FLookAndFeel->OnChanged = TcxLookAndFeelChangedEvent::Bind<&TdxBarManager::LookAndFeelChanged>(this);
  FStyle = bmsEnhanced;
  FAllowReset = true;
  FAutoDockColor = true;
  FInternalItems = Make<TComponentList>(true);
  FItems = Make<TdxBarComponentList>();
  FCategories = Make<TdxBarManagerCategories>(this);
  FBars = Make<TdxBars>(this);
  FCanCustomize = true;
  FDockColor = clBtnFace;
  FEditFont = Make<TFont>();
  FFont = Make<TFont>();
  FFont->OnChange = TNotifyEvent::Bind<&TdxBarManager::FontChanged>(this);
  FGroups = Make<TdxBarComponentList>();
  FHideFloatingBarsWhenInactive = true;
  FButtonArrowWidth = 11;
  FLargeButtonArrowWidth = 13;
  FMenusShowRecentItemsFirst = true;
  FMostRecentItemsPercents = 95;
  CalcMostRecentlyUsedUseCount();
  FPopupMenuLinks = Make<TdxBarPopupMenuLinks>(this);
  FScaled = true;
  FShowFullMenusAfterDelay = true;
  FShowHint = true;
  FShowHintForDisabledItems = true;
  FUseF10ForMenu = true;
  FWaitForDockingTime = 21;
  FImageOptions = Make<TdxBarImageOptions>(this);
  FImageOptions->OnImageOptionsChange = TNotifyEvent::Bind<&TdxBarManager::ImageOptionsChanged>(this);
  FImageOptions->OnLargeIconsChange = TNotifyEvent::Bind<&TdxBarManager::LargeIconsChanged>(this);
  FBackgrounds = Make<TdxBarBackgrounds>(this);
  FThemeChangedNotificator = Make<TdxThemeChangedNotificator>();
  FThemeChangedNotificator->OnThemeChanged = TdxThemeChangedEvent::Bind<&TdxBarManager::ThemeChanged>(this);
  FSavedState = Make<TMemIniFile>(L"");
  // Last: a manager that failed to build is never in the list.
  if (TdxBarManagerList* list = dxBarManagerList()) list->Add(this);
}

void TdxBarManager::AfterConstruction() {
  TComponent::AfterConstruction();
  // Outside the constructor, where the design state is known.
  SetUseSystemFont(true);
  FCategories->Add(cxLookUpResourceString(&dxSBAR_DEFAULTCATEGORYNAME));
}

void TdxBarManager::BeforeDestruction() {
  TComponent::BeforeDestruction();
  dxBarHintManagerDestroying(this);
  if (TdxBarManagerList* list = dxBarManagerList()) list->Remove(this);
}

// Toolbars and items go first: their teardown still reads the manager's
// fonts, image options and look-and-feel.
TdxBarManager::~TdxBarManager() {
  FreeAndNil(FThemeChangedNotificator);
  if (FGroups) {
    FGroups->SetOwnsObjects(true);
    FreeAndNil(FGroups);
  }
  FreeAndNil(FBars);
  FreeAndNil(FInternalItems);
  if (FItems) {
    FItems->SetOwnsObjects(true);
    FreeAndNil(FItems);
  }
  FreeAndNil(FSavedState);
  FreeAndNil(FBackgrounds);
  FreeAndNil(FImageOptions);
  FreeAndNil(FLookAndFeel);
  FreeAndNil(FFont);
  FreeAndNil(FEditFont);
  FreeAndNil(FCategories);
  FreeAndNil(FPopupMenuLinks);
}

// ---------------------------------------------------------------------------
// Stream
// ---------------------------------------------------------------------------

void TdxBarManager::DefineProperties(TFiler* AFiler) {
  TComponent::DefineProperties(AFiler);
  AFiler->DefineProperty(
      L"DockControlHeights", [this](TReader* r) { ReadDockControlHeights(r); },
      [this](TWriter* w) { WriteDockControlHeights(w); }, true);
}

void TdxBarManager::ReadDockControlHeights(TReader* AReader) {
  AReader->ReadListBegin();
  try {
    for (TdxBarDockingStyle style : {dsLeft, dsRight, dsTop, dsBottom}) {
      const int size = AReader->ReadInteger();
      if (IdxBarDockControl* dock = FBars->DockControls(style)) dock->SetDockSize(size);
    }
  } catch (...) {
    AReader->ReadListEnd();
    throw;
  }
  AReader->ReadListEnd();
}

void TdxBarManager::WriteDockControlHeights(TWriter* AWriter) {
  AWriter->WriteListBegin();
  for (TdxBarDockingStyle style : {dsLeft, dsRight, dsTop, dsBottom}) {
    IdxBarDockControl* dock = FBars->DockControls(style);
    AWriter->WriteInteger(dock ? dock->DockSize() : 0);
  }
  AWriter->WriteListEnd();
}

void TdxBarManager::GetChildren(TGetChildProc AProc, TComponent* ARoot) {
  for (int i = 0; i < FBars->Count(); ++i)
    if (FBars->Items(i)->Owner() == ARoot) AProc(FBars->Items(i));
  for (int i = 0; i < ItemCount(); ++i)
    if (Items(i)->Owner() == ARoot && Items(i)->Category() >= 0) AProc(Items(i));
  for (int i = 0; i < GroupCount(); ++i)
    if (Groups(i)->Owner() == ARoot) AProc(Groups(i));
}

void TdxBarManager::SetChildOrder(TComponent* AChild, int AOrder) {
  TComponent::SetChildOrder(AChild, AOrder);
  if (auto* item = dynamic_cast<TdxBarItem*>(AChild))
    item->SetIndex(AOrder - FBars->Count());
  else if (auto* group = dynamic_cast<TdxBarGroup*>(AChild))
    group->SetIndex(AOrder - FBars->Count() - ItemCount());
}

void TdxBarManager::ReadState(TReader* AReader) {
  TComponent::ReadState(AReader);
  ++FReadStateCount;
}

void TdxBarManager::Loaded() {
  TComponent::Loaded();
  // Inside an update bracket the work waits for the bracket to close
  // (EndUpdate runs it), so that the links still find their items.
  if (IsUpdateLocked()) {
    FLoadPending = true;
    return;
  }
  FinishLoading();
}

void TdxBarManager::FinishLoading() {
  FLoadPending = false;
  FInternalState += bisAfterLoading;
  struct TClearAfterLoading {
    TdxBarManager* M;
    ~TClearAfterLoading() { M->FInternalState -= bisAfterLoading; }
  } clearAfterLoading{this};
  for (int i = 0; i < ItemCount(); ++i)
    if (TdxBarItemLinks* links = Items(i)->ItemLinks()) links->ResolveLoadedItems();
  for (int i = 0; i < FBars->Count(); ++i) FBars->Items(i)->ItemLinks()->ResolveLoadedItems();
  {
    FInternalState += bisBarsLoading;
    struct TClearBarsLoading {
      TdxBarManager* M;
      ~TClearBarsLoading() { M->FInternalState -= bisBarsLoading; }
    } clearBarsLoading{this};
    for (int i = 0; i < FBars->Count(); ++i) FBars->Items(i)->ApplyLoadedState();
  }
  for (IdxBarDockControl* dock : FDockControls) dock->UpdateDock();
  if (!Designing()) SaveDesignedState();
}

// ---------------------------------------------------------------------------
// Update bracket
// ---------------------------------------------------------------------------

void TdxBarManager::BeginUpdate() { ++FLockUpdateCount; }

void TdxBarManager::EndUpdate(bool ACheckBarsChanges) {
  if (FLockUpdateCount == 0) return;
  if (--FLockUpdateCount > 0 || IsDestroying()) return;
  for (int i = 0; i < FBars->Count(); ++i) {
    TdxBar* bar = FBars->Items(i);
    if (IdxBarControl* control = bar->Control()) {
      if (ACheckBarsChanges && bar->ChangedFlag()) control->RebuildItemControls();
      control->RepaintBar();
    }
  }
  for (int i = 0; i < FBars->Count(); ++i) FBars->Items(i)->ClearChanged();
  if (FLoadPending) FinishLoading();
}

void TdxBarManager::SetLockUpdate(bool AValue) {
  if (FLockUpdate == AValue) return;
  FLockUpdate = AValue;
  if (AValue)
    BeginUpdate();
  else
    EndUpdate(false);
}

// ---------------------------------------------------------------------------
// Items, toolbars and groups
// ---------------------------------------------------------------------------

TdxBarItem* TdxBarManager::Items(int AIndex) const { return static_cast<TdxBarItem*>(FItems->Items(AIndex)); }

TdxBarGroup* TdxBarManager::Groups(int AIndex) const { return static_cast<TdxBarGroup*>(FGroups->Items(AIndex)); }

TdxBarItem* TdxBarManager::ItemAt(int AIndex) const {
  return AIndex >= 0 && AIndex < ItemCount() ? Items(AIndex) : nullptr;
}

TdxBarGroup* TdxBarManager::GroupAt(int AIndex) const {
  return AIndex >= 0 && AIndex < GroupCount() ? Groups(AIndex) : nullptr;
}

int TdxBarManager::GetItemsByCategory(int ACategory, TList* AList) const {
  AList->Clear();
  if (ACategory < 0 || ACategory >= FCategories->Count()) return 0;
  for (int i = 0; i < ItemCount(); ++i) {
    TdxBarItem* item = Items(i);
    if (item->Category() == ACategory && (Designing() || item->ActuallyVisible())) AList->Add(item);
  }
  return AList->Count();
}

String TdxBarManager::GetUniqueItemName(TClass AItemClass) const {
  const String base = String(AItemClass->Name).substr(1);
  for (int n = 1;; ++n) {
    const String name = base + IntToStr(n);
    if (!(Owner() && Owner()->FindComponent(name)) && !GetItemByName(name)) return name;
  }
}

TdxBarItemVisible TdxBarManager::CategoryItemsVisibleAt(int AIndex) const {
  return AIndex >= 0 && AIndex < FCategories->Count() ? FCategories->ItemsVisible(AIndex) : ivNever;
}

bool TdxBarManager::CategoryVisibleAt(int AIndex) const {
  return AIndex >= 0 && AIndex < FCategories->Count() && FCategories->Visible(AIndex);
}

TdxBarItem* TdxBarManager::GetItemByName(const String& AName) const {
  for (int i = 0; i < ItemCount(); ++i)
    if (SameText(Items(i)->Name(), AName)) return Items(i);
  return nullptr;
}

int TdxBarManager::GetAllItemsByCategory(int ACategory, TList* AList) const {
  AList->Clear();
  if (ACategory < 0 || ACategory >= FCategories->Count()) return 0;
  for (int i = 0; i < ItemCount(); ++i)
    if (Items(i)->Category() == ACategory) AList->Add(Items(i));
  return AList->Count();
}

void TdxBarManager::MoveItem(int ACurIndex, int ANewIndex) {
  if (ACurIndex == ANewIndex || ACurIndex < 0 || ANewIndex < 0 || ACurIndex >= ItemCount() || ANewIndex >= ItemCount())
    return;
  FItems->Move(ACurIndex, ANewIndex);
  SignalDesignerModified();
}

TdxBar* TdxBarManager::BarByCaption(const String& ACaption) const {
  for (int i = 0; i < FBars->Count(); ++i)
    if (FBars->Items(i)->Caption() == ACaption) return FBars->Items(i);
  return nullptr;
}

TdxBar* TdxBarManager::BarByComponentName(const String& AName) const {
  for (int i = 0; i < FBars->Count(); ++i)
    if (SameText(FBars->Items(i)->Name(), AName)) return FBars->Items(i);
  return nullptr;
}

String TdxBarManager::GetUniqueToolbarName(const String& ABaseName) const {
  for (int n = 1;; ++n) {
    const String name = ABaseName + IntToStr(n);
    if (!BarByComponentName(name) && !(Owner() && Owner()->FindComponent(name))) return name;
  }
}

TdxBarItem* TdxBarManager::AddItem(TClass AItemClass) {
  auto* item = static_cast<TdxBarItem*>(AItemClass->NewInstance(Owner()));
  if (item->BarManager() != this) item->SetParentComponent(this);
  if (FCategories->Count() == 0) FCategories->Add(cxLookUpResourceString(&dxSBAR_DEFAULTCATEGORYNAME));
  // The default category by the name the program's resources hold, past any
  // translation in the repository; the first category when none bears it.
  item->SetCategory(std::max(0, FCategories->IndexOf(LoadResString(&dxSBAR_DEFAULTCATEGORYNAME))));
  return item;
}

TdxBarButton* TdxBarManager::AddButton() { return static_cast<TdxBarButton*>(AddItem(TdxBarButton::StaticClass())); }

TdxBar* TdxBarManager::AddToolBar() { return FBars->Add(); }

TdxBarGroup* TdxBarManager::CreateGroup() {
  auto* group = Make<TdxBarGroup>(Owner());
  group->SetParentComponent(this);
  return group;
}

void TdxBarManager::CalcMostRecentlyUsedUseCount() {
  if (FMostRecentItemsPercents >= 100) {
    FMostRecentlyUsedUseCount = 0;
    return;
  }
  const int rest = 100 - FMostRecentItemsPercents;
  FMostRecentlyUsedUseCount = (100 + rest - 1) / rest;
}

void TdxBarManager::SetMostRecentItemsPercents(int AValue) {
  if (AValue > 100) AValue = 100;
  if (AValue < 0) AValue = 0;
  FMostRecentItemsPercents = AValue;
  CalcMostRecentlyUsedUseCount();
}

// GetPaintStyle: dxBarPainterChoice.cpp.

bool TdxBarManager::CanShowRecentItems() const { return GetPaintStyle() != bmsStandard; }

void TdxBarManager::RegisterDockControl(IdxBarDockControl* ADockControl) {
  if (ADockControl && std::find(FDockControls.begin(), FDockControls.end(), ADockControl) == FDockControls.end())
    FDockControls.push_back(ADockControl);
}

void TdxBarManager::UnregisterDockControl(IdxBarDockControl* ADockControl) {
  if (!ADockControl) return;
  // A dock that goes while the form lives leaves its toolbars without a
  // place: they hide rather than float at a stale position. When the form
  // goes, the toolbars go with it and keep the visibility the layout saves.
  TWinControl* owner = OwnerControl();
  if (FBars && !IsDestroying() && !(owner && owner->ComponentState().Contains(csDestroying))) {
    std::vector<TdxBar*> bars;
    for (int i = 0; i < FBars->Count(); ++i) bars.push_back(FBars->Items(i));
    for (TdxBar* bar : bars)
      if (FBars->IndexOf(bar) >= 0 && bar->RealDockControl() == ADockControl) bar->SetVisible(false);
  }
  FDockControls.erase(std::remove(FDockControls.begin(), FDockControls.end(), ADockControl), FDockControls.end());
  if (FBars) FBars->ForgetSideDock(ADockControl);
}

void TdxBarManager::Customizing(bool AValue) {
  if (FIsCustomizing == AValue) return;
  // One customization at a time in the process.
  if (AValue && dxBarManagerList() && dxBarManagerList()->CustomizingBarManager()) return;
  HideAll();
  FIsCustomizing = AValue;
  for (int i = 0; i < FBars->Count(); ++i) FBars->Items(i)->ItemLinks()->RebuildLists();
  for (int i = 0; i < ItemCount(); ++i)
    if (TdxBarItemLinks* links = Items(i)->ItemLinks()) links->RebuildLists();
  for (int i = 0; i < FBars->Count(); ++i)
    if (IdxBarControl* control = FBars->Items(i)->Control()) control->RebuildItemControls();
  StyleChanged();
}

bool TdxBarManager::OtherManagerCustomizing() const {
  TdxBarManagerList* list = dxBarManagerList();
  for (int i = 0; list && i < list->Count(); ++i)
    if (list->ManagerAt(i) != this && list->ManagerAt(i)->FIsCustomizing) return true;
  return false;
}

void TdxBarManager::SetSelectedItem(TdxBarItemControlBase* AValue) {
  if (FSelectedItem == AValue) return;
  FSelectedItem = AValue;
  SignalDesignerModified();
}

// ---------------------------------------------------------------------------
// Events and designer notification
// ---------------------------------------------------------------------------

bool TdxBarManager::CanDockBar(TdxBar* ABar, TdxBarDockingStyle AStyle, IdxBarDockControl* ADockControl) {
  // A free-standing dock decides itself; the manager's NotDocking speaks for the sides.
  bool result = !ABar->NotDocking().Contains(AStyle) &&
                (ADockControl && !IsSideDock(ADockControl) ? ADockControl->CanDockBar(ABar)
                                                           : !FNotDocking.Contains(AStyle));
  if (OnDocking) OnDocking(ABar, AStyle, ADockControl, result);
  return result;
}

void TdxBarManager::DoClickItem(TdxBarItem* AItem) {
  if (OnClickItem) OnClickItem(this, AItem);
}

void TdxBarManager::DoItemLinkAdd(TdxBarItemLink* ALink) {
  if (!LoadingFromForm() && OnItemLinkAdd) OnItemLinkAdd(this, ALink);
}

void TdxBarManager::DoItemLinkDelete(TdxBarItemLink* ALink) {
  if (!IsDestroying() && OnItemLinkDelete) OnItemLinkDelete(this, ALink);
}

void TdxBarManager::DoItemLinkChange(TdxBarItemLink* ALink) {
  if (!LoadingFromForm() && OnItemLinkChange) OnItemLinkChange(this, ALink);
}

void TdxBarManager::DoBarAdd(TdxBar* ABar) {
  if (!LoadingFromForm() && OnBarAdd) OnBarAdd(this, ABar);
}

void TdxBarManager::DoBarDelete(TdxBar* ABar) {
  if (!IsDestroying() && OnBarDelete) OnBarDelete(this, ABar);
}

void TdxBarManager::DoBarVisibleChange(TdxBar* ABar) {
  if (!IsDestroying() && OnBarVisibleChange) OnBarVisibleChange(this, ABar);
}

void TdxBarManager::DoBarDockingStyleChange(TdxBar* ABar) {
  if (BarsLoading()) return;
  if (OnBarDockingStyleChange) OnBarDockingStyleChange(this, ABar);
}

void TdxBarManager::SignalDesignerModified() {
  if (LoadingFromForm() || IsDestroying()) return;
  if (FLockDesignerModifiedCount > 0) {
    FDesignerModifiedInvoked = true;
    return;
  }
  FModified = true;
}

void TdxBarManager::SetDesignerNotifyLock(bool ALock, bool ANotify) {
  if (ALock) {
    if (FLockDesignerModifiedCount++ == 0) FDesignerModifiedInvoked = false;
    return;
  }
  if (FLockDesignerModifiedCount == 0) return;
  if (--FLockDesignerModifiedCount == 0 && ANotify && FDesignerModifiedInvoked) SignalDesignerModified();
}

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

TWinControl* TdxBarManager::OwnerControl() const { return dynamic_cast<TWinControl*>(Owner()); }

TCustomForm* TdxBarManager::MainForm() const {
  TWinControl* owner = OwnerControl();
  return owner ? GetParentForm(owner, false) : nullptr;
}

TCustomForm* TdxBarManager::TopLevelForm() const {
  TWinControl* owner = OwnerControl();
  return owner ? GetParentForm(owner, true) : nullptr;
}

TCustomForm* TdxBarManager::MasterForm() const {
  for (TControl* control = OwnerControl(); control; control = control->Parent())
    if (auto* form = dynamic_cast<TCustomForm*>(control); form && form->FormStyle() == fsMDIChild) return form;
  return TopLevelForm();
}

void TdxBarManager::SetAutoHideEmptyBars(bool AValue) { FAutoHideEmptyBars = AValue; }

TColor TdxBarManager::DockColor() const {
  if (FAutoDockColor)
    if (TWinControl* owner = OwnerControl()) return owner->Color();
  return FDockColor;
}

void TdxBarManager::SetDockColor(TColor AValue) {
  FDockColor = AValue;
  FAutoDockColor = false;
  for (IdxBarDockControl* dock : FDockControls) dock->UpdateColor();
}

void TdxBarManager::SetAutoDockColor(bool AValue) {
  if (FAutoDockColor == AValue) return;
  FAutoDockColor = AValue;
  for (IdxBarDockControl* dock : FDockControls) dock->UpdateColor();
}

void TdxBarManager::SetSunkenBorder(bool AValue) {
  if (FSunkenBorder == AValue) return;
  FSunkenBorder = AValue;
  for (IdxBarDockControl* dock : FDockControls) dock->RefreshFrames();
}

void TdxBarManager::SetAutoAlignBars(bool AValue) {
  if (FAutoAlignBars == AValue) return;
  FAutoAlignBars = AValue;
  for (IdxBarDockControl* dock : FDockControls) dock->UpdateDock();
}

void TdxBarManager::SetFont(TFont* AValue) { FFont->Assign(AValue); }

void TdxBarManager::SetScaled(bool AValue) {
  if (FScaled == AValue) return;
  FScaled = AValue;
  if (FScaled && !FUseSystemFont) ApplySystemFont();
}

void TdxBarManager::SetStyle(TdxBarManagerStyle AValue) {
  if (FStyle == AValue) return;
  FStyle = AValue;
  StyleChanged();
}

void TdxBarManager::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {
  if (!IsDestroying()) StyleChanged();
}

void TdxBarManager::ThemeChanged() { StyleChanged(); }

void TdxBarManager::SetNotDocking(TdxBarDockingStyles AValue) {
  if (FNotDocking == AValue) return;
  FNotDocking = AValue;
  StyleChanged();
}

void TdxBarManager::StyleChanged() {
  for (int i = 0; i < FBars->Count(); ++i)
    if (IdxBarControl* control = FBars->Items(i)->Control()) control->RepaintBar();
}

void TdxBarManager::SetUseSystemFont(bool AValue) {
  if (FUseSystemFont == AValue) return;
  FUseSystemFont = AValue;
  if (FUseSystemFont) ApplySystemFont();
}

void TdxBarManager::ApplySystemFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return;
  const LOGFONTW& menu = metrics.lfMenuFont;
  if (FUseSystemFont) {
    FInternalFontChange = true;
    try {
      FFont->SetName(menu.lfFaceName);
      FFont->SetHeight(menu.lfHeight);
      FFont->SetCharset(menu.lfCharSet);
    } catch (...) {
      FInternalFontChange = false;
      throw;
    }
    FInternalFontChange = false;
  } else if (FScaled) {
    FInternalFontChange = true;
    FFont->SetHeight(menu.lfHeight);
    FInternalFontChange = false;
  }
}

void TdxBarManager::FontChanged(TObject*) {
  if (!FInternalFontChange) FUseSystemFont = false;
  UpdateEditFont();
  for (int i = 0; i < FBars->Count(); ++i) FBars->Items(i)->ManagerFontChanged();
}

void TdxBarManager::UpdateEditFont() { FEditFont->Assign(FFont); }
