#include "bars/model/dxBarManager.h"

#include "bars/model/dxBarHooks.h"
#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarLayoutStorage.h"
#include "bars/model/dxBarPainterChoice.h"
#include "bars/model/dxBarRoutines.h"
#include "bars/model/dxBarHints.h"
#include "bars/model/dxBarSelection.h"
#include "bars/model/dxBarStrs.h"
#include "bars/model/dxBarToolbars.h"

#include "foundation/cxClasses.h"
#include "foundation/cxControlsRoutines.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/dxCore.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxThemeManager.h"
#include "foundation/dxUxTheme.h"
#include "platform/core/Filer.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"

#include <algorithm>
#include <vsstyle.h>
#include <vssym32.h>

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
  DefaultValue(b.Prop(L"FlatCloseButton", &M::FlatCloseButton, &M::SetFlatCloseButton), 0);
  b.Prop(L"Font", &M::Font, &M::SetFont);
  b.Prop(L"HelpButtonGlyph", &M::HelpButtonGlyph, &M::SetHelpButtonGlyph).Stored = [](TObject* o) {
    return !static_cast<M*>(o)->HelpButtonGlyph()->Empty();
  };
  DefaultValue(b.Prop(L"HelpContext", &M::HelpContext, &M::SetHelpContext), 0);
  DefaultValue(b.Prop(L"HideFloatingBarsWhenInactive", &M::HideFloatingBarsWhenInactive,
                      &M::SetHideFloatingBarsWhenInactive), 1);
  b.Prop(L"ImageOptions", &M::ImageOptions, nullptr);
  b.Prop(L"IniFileName", [](M* m) { return m->IniFileName(); }, [](M* m, const String& v) { m->SetIniFileName(v); })
      .Stored = [](TObject* o) { return !static_cast<M*>(o)->IniFileName().empty(); };
  DefaultValue(b.Prop(L"LargeButtonArrowWidth", &M::LargeButtonArrowWidth, &M::SetLargeButtonArrowWidth), 13);
  b.Prop(L"LookAndFeel", &M::LookAndFeel, nullptr);
  DefaultValue(b.Prop(L"MenuAnimations", &M::MenuAnimations, &M::SetMenuAnimations), maNone);
  DefaultValue(b.Prop(L"MenusShowRecentItemsFirst", &M::MenusShowRecentItemsFirst, &M::SetMenusShowRecentItemsFirst), 1);
  DefaultValue(b.Prop(L"MostRecentItemsPercents", &M::MostRecentItemsPercents, &M::SetMostRecentItemsPercents), 95);
  DefaultValue(b.Prop(L"NotDocking", &M::NotDocking, &M::SetNotDocking), 0);
  b.Prop(L"PopupMenuLinks", &M::PopupMenuLinks, nullptr);
  b.Prop(L"RegistryPath", [](M* m) { return m->RegistryPath(); },
         [](M* m, const String& v) { m->SetRegistryPath(v); })
      .Stored = [](TObject* o) { return !static_cast<M*>(o)->RegistryPath().empty(); };
  DefaultValue(b.Prop(L"Scaled", &M::Scaled, &M::SetScaled), 1);
  DefaultValue(b.Prop(L"ShowCloseButton", &M::ShowCloseButton, &M::SetShowCloseButton), 0);
  DefaultValue(b.Prop(L"ShowFullMenusAfterDelay", &M::ShowFullMenusAfterDelay, &M::SetShowFullMenusAfterDelay), 1);
  DefaultValue(b.Prop(L"ShowHelpButton", &M::ShowHelpButton, &M::SetShowHelpButton), 0);
  DefaultValue(b.Prop(L"ShowHint", &M::ShowHint, &M::SetShowHint), 1);
  DefaultValue(b.Prop(L"ShowHintForDisabledItems", &M::ShowHintForDisabledItems, &M::SetShowHintForDisabledItems), 1);
  DefaultValue(b.Prop(L"ShowShortCutInHint", &M::ShowShortCutInHint, &M::SetShowShortCutInHint), 0);
  DefaultValue(b.Prop(L"StoreInIniFile", &M::StoreInIniFile, &M::SetStoreInIniFile), 0);
  DefaultValue(b.Prop(L"StoreInRegistry", &M::StoreInRegistry, &M::SetStoreInRegistry), 0);
  DefaultValue(b.Prop(L"Style", &M::Style, &M::SetStyle), bmsEnhanced);
  DefaultValue(b.Prop(L"SunkenBorder", &M::SunkenBorder, &M::SetSunkenBorder), 0);
  DefaultValue(b.Prop(L"UseF10ForMenu", &M::UseF10ForMenu, &M::SetUseF10ForMenu), 1);
  DefaultValue(b.Prop(L"UseFullReset", &M::UseFullReset, &M::SetUseFullReset), 0);
  b.Prop(L"UseSystemFont", &M::UseSystemFont, &M::SetUseSystemFont);
  DefaultValue(b.Prop(L"WaitForDockingTime", &M::WaitForDockingTime, &M::SetWaitForDockingTime), 21);
  b.Prop(L"OnBarAdd", &M::OnBarAdd, &M::OnBarAdd);
  b.Prop(L"OnBarAfterReset", &M::OnBarAfterReset, &M::OnBarAfterReset);
  b.Prop(L"OnBarBeforeReset", &M::OnBarBeforeReset, &M::OnBarBeforeReset);
  b.Prop(L"OnBarClose", &M::OnBarClose, &M::OnBarClose);
  b.Prop(L"OnBarDelete", &M::OnBarDelete, &M::OnBarDelete);
  b.Prop(L"OnBarDockingStyleChange", &M::OnBarDockingStyleChange, &M::OnBarDockingStyleChange);
  b.Prop(L"OnBarVisibleChange", &M::OnBarVisibleChange, &M::OnBarVisibleChange);
  b.Prop(L"OnClickItem", &M::OnClickItem, &M::OnClickItem);
  b.Prop(L"OnCloseButtonClick", &M::OnCloseButtonClick, &M::OnCloseButtonClick);
  b.Prop(L"OnDocking", &M::OnDocking, &M::OnDocking);
  b.Prop(L"OnHelpButtonClick", &M::OnHelpButtonClick, &M::OnHelpButtonClick);
  b.Prop(L"OnHideCustomizingForm", &M::OnHideCustomizingForm, &M::OnHideCustomizingForm);
  b.Prop(L"OnItemLinkAdd", &M::OnItemLinkAdd, &M::OnItemLinkAdd);
  b.Prop(L"OnItemLinkChange", &M::OnItemLinkChange, &M::OnItemLinkChange);
  b.Prop(L"OnItemLinkDelete", &M::OnItemLinkDelete, &M::OnItemLinkDelete);
  b.Prop(L"OnMenuMerge", &M::OnMenuMerge, &M::OnMenuMerge);
  b.Prop(L"OnMerge", &M::OnMerge, &M::OnMerge);
  b.Prop(L"OnMergeItemLink", &M::OnMergeItemLink, &M::OnMergeItemLink);
  b.Prop(L"OnShowCustomizingForm", &M::OnShowCustomizingForm, &M::OnShowCustomizingForm);
  b.Prop(L"OnShowCustomizingPopup", &M::OnShowCustomizingPopup, &M::OnShowCustomizingPopup);
  b.Prop(L"OnShowToolbarsPopup", &M::OnShowToolbarsPopup, &M::OnShowToolbarsPopup);
END_CLASS

// ---------------------------------------------------------------------------
// Categories, image options, popup-menu links
// ---------------------------------------------------------------------------

// The category list itself: dxBarCategories.cpp.

TdxBarPopupMenuLinks::TdxBarPopupMenuLinks(TdxBarManager* AManager)
    : TOwnedCollection(AManager, TdxBarPopupMenuLink::StaticClass()) {}

void TdxBarPopupMenuLinks::ComponentRemoved(TComponent*) {}

bool TdxBarPopupMenuLinks::RunShortCut(TControl*, Word) { return false; }

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
  FBackgrounds = Make<TdxBarBackgrounds>(this);
  FLookAndFeel = Make<TcxLookAndFeel>(this);
  FLookAndFeel->OnChanged = TcxLookAndFeelChangedEvent::Bind<&TdxBarManager::LookAndFeelChanged>(this);
  // A painter exists from the start.
  FStyle = bmsEnhanced;
  RebuildPainter();
  FAllowReset = true;
  FAutoDockColor = true;
  FInternalItems = Make<TComponentList>(true);
  FItems = Make<TdxBarComponentList>();
  FCategories = Make<TdxBarManagerCategories>(this);
  FPopupMenus = Make<TComponentList>(false);
  FBars = Make<TdxBars>(this);
  FSystemFontChangedHandlers = Make<TcxEventHandlerCollection>();
  FCanCustomize = true;
  FDockColor = clBtnFace;
  FBarCaptionFont = Make<TFont>();
  FEditFont = Make<TFont>();
  FFont = Make<TFont>();
  FFont->OnChange = TNotifyEvent::Bind<&TdxBarManager::FontChanged>(this);
  FGroups = Make<TdxBarComponentList>();
  FOwnedObjects = Make<TComponentList>(true);
  FHelpButtonGlyph = dxBarNewNotifyingBitmap(TNotifyEvent::Bind<&TdxBarManager::HelpButtonGlyphChanged>(this));
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
  CreateDrawingResources();
  dxAddOffice11ColorsUser();
  FImageOptions = Make<TdxBarImageOptions>(this);
  FImageOptions->OnImageOptionsChange = TNotifyEvent::Bind<&TdxBarManager::ImageOptionsChanged>(this);
  FImageOptions->OnLargeIconsChange = TNotifyEvent::Bind<&TdxBarManager::LargeIconsChanged>(this);
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
  if (TdxBarManagerList* list = dxBarManagerList()) list->Remove(this);
  dxBarHintManagerDestroying(this);
  if (FIsCustomizing) Customizing(false);
}

// Toolbars and items go first: their teardown still reads the manager's
// fonts, image options and look-and-feel. A manager refused by its owner
// checks never gets here: its constructor did not run.
TdxBarManager::~TdxBarManager() {
  FreeAndNil(FThemeChangedNotificator);
  // The popup menus go with the manager.
  while (FPopupMenus && FPopupMenus->Count() > 0) {
    TComponent* menu = FPopupMenus->Get(FPopupMenus->Count() - 1);
    FPopupMenus->Extract(menu);
    TObject::Free(menu);
  }
  FreeAndNil(FPopupMenus);
  FreeAndNil(FOwnedObjects);
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
  FreeAndNil(FSystemFontChangedHandlers);
  FreeDrawingResources();
  dxRemoveOffice11ColorsUser();
  FreeAndNil(FHelpButtonGlyph);
  FreeAndNil(FSavedState);
  FreeAndNil(FBackgrounds);
  FreeAndNil(FImageOptions);
  FreeAndNil(FLookAndFeel);
  FreeAndNil(FFont);
  FreeAndNil(FEditFont);
  FreeAndNil(FBarCaptionFont);
  FreeAndNil(FCategories);
  FreeAndNil(FPopupMenuLinks);
}

// ---------------------------------------------------------------------------
// Stream
// ---------------------------------------------------------------------------

void TdxBarManager::DefineProperties(TFiler* AFiler) {
  TComponent::DefineProperties(AFiler);
  // Definitions of old kept their toolbars in a collection of the manager.
  AFiler->DefineProperty(L"Bars", [this](TReader* r) { ReadBars(r); }, nullptr, false);
  AFiler->DefineProperty(
      L"DockControlHeights", [this](TReader* r) { ReadDockControlHeights(r); },
      [this](TWriter* w) { WriteDockControlHeights(w); }, true);
}

void TdxBarManager::ReadBars(TReader* AReader) {
  if (AReader->ReadValue() != vaCollection) throw EReadError(L"Collection expected");
  for (int i = 0; !AReader->EndOfList(); ++i) {
    // The order index of an entry is not needed: entries come in order.
    switch (AReader->NextValue()) {
      case vaInt8: case vaInt16: case vaInt32: AReader->ReadInteger(); break;
      default: break;
    }
    TdxBar* bar = i < FBars->Count() ? FBars->Items(i) : FBars->Add();
    AReader->ReadListBegin();
    while (!AReader->EndOfList()) AReader->ReadProperty(bar);
    AReader->ReadListEnd();
  }
  AReader->ReadListEnd();
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
  {
    FInternalState += bisAfterLoading;
    struct TClearAfterLoading {
      TdxBarManager* M;
      ~TClearAfterLoading() { M->FInternalState -= bisAfterLoading; }
    } clearAfterLoading{this};
    for (int i = 0; i < ItemCount(); ++i)
      if (TdxBarItemLinks* links = Items(i)->ItemLinks()) links->ResolveLoadedItems();
    for (int i = 0; i < FBars->Count(); ++i) FBars->Items(i)->ItemLinks()->ResolveLoadedItems();
    if (Designing()) SortItemsByCategory();
    {
      FInternalState += bisBarsLoading;
      struct TClearBarsLoading {
        TdxBarManager* M;
        ~TClearBarsLoading() { M->FInternalState -= bisBarsLoading; }
      } clearBarsLoading{this};
      for (int i = 0; i < FBars->Count(); ++i) FBars->Items(i)->ApplyLoadedState();
      // The designed layout first, then the user's over it: a toolbar's
      // reset goes back to the design.
      if (!Designing()) {
        SaveDesignedState();
        LoadUserLayout();
      }
    }
    dxBarInManagerUpdate(this, [this] { FCategories->ApplyLoadedItemsVisible(); });
    for (IdxBarDockControl* dock : FDockControls) dock->UpdateDock();
  }
  if (Designing()) CheckBrokenLinks();
}

// A user layout that cannot be read leaves the designed one: the program
// still starts, and the next save replaces the unreadable layout.
void TdxBarManager::LoadUserLayout() {
  try {
    if (FStoreInRegistry) LoadFromRegistry(FRegistryPath);
  } catch (EdxBarLayoutError&) {
  }
  try {
    if (FStoreInIniFile) LoadFromIniFile(FIniFileName);
  } catch (EdxBarLayoutError&) {
  }
}

// Stable: the items of one category keep their order.
void TdxBarManager::SortItemsByCategory() {
  for (bool moved = true; moved;) {
    moved = false;
    for (int i = 0; i + 1 < ItemCount(); ++i)
      if (Items(i + 1)->Category() < Items(i)->Category()) {
        MoveItem(i + 1, i);
        moved = true;
      }
  }
}

void TdxBarManager::CheckBrokenLinks() {
  std::vector<TdxBarItemLink*> broken;
  auto collect = [&broken](TdxBarItemLinks* ALinks) {
    for (int i = 0; ALinks && i < ALinks->Count(); ++i)
      if (!ALinks->Items(i)->Item()) broken.push_back(ALinks->Items(i));
  };
  for (int i = 0; i < ItemCount(); ++i) collect(Items(i)->ItemLinks());
  for (int i = 0; i < FBars->Count(); ++i) collect(FBars->Items(i)->ItemLinks());
  if (broken.empty()) return;
  String path;
  cxGetComponentDottedPath(this, path);
  const String text = path +
                      L" has broken bar item links. These links are not associated with any bar item, and may cause "
                      L"problems when creating a bar layout.\r\n\r\nDo you want to delete broken bar item links?";
  switch (MessageBoxW(nullptr, text.c_str(), L"DodivedEvar", MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDYES:
      for (TdxBarItemLink* link : broken) TObject::Free(link);
      SignalDesignerModified();
      break;
    case IDCANCEL:
      Abort();
    default:
      break;
  }
}

// ---------------------------------------------------------------------------
// Update bracket
// ---------------------------------------------------------------------------

// The docks stop redrawing while the bracket is open. Redrawing switched
// off hides a window from IsWindowVisible, so the bracket remembers the
// windows it froze and thaws exactly those.
void TdxBarManager::BeginUpdate() {
  if (FLockUpdateCount++ > 0) return;
  for (IdxBarDockControl* dock : FDockControls)
    if (HWND wnd = dock->DockWindow(); wnd && IsWindowVisible(wnd)) {
      SendMessageW(wnd, WM_SETREDRAW, FALSE, 0);
      FFrozenDockWindows.push_back(wnd);
    }
}

void TdxBarManager::EndUpdate(bool ACheckBarsChanges) {
  if (FLockUpdateCount == 0) return;
  if (--FLockUpdateCount > 0) return;
  std::vector<HWND> frozen;
  frozen.swap(FFrozenDockWindows);
  if (!IsDestroying()) {
    for (HWND wnd : frozen)
      if (IsWindow(wnd)) SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
    RunUpdateStateStep(ACheckBarsChanges, true);
  }
  if (FLoadPending) FinishLoading();
}

void TdxBarManager::EndUpdateWithoutRedraw(bool ARelayout) {
  if (FLockUpdateCount == 0) return;
  if (--FLockUpdateCount > 0) return;
  std::vector<HWND> frozen;
  frozen.swap(FFrozenDockWindows);
  for (HWND wnd : frozen)
    if (IsWindow(wnd)) SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
  if (IsDestroying()) return;
  if (ARelayout) {
    RunUpdateStateStep(true, true);
  } else {
    for (int i = 0; i < FBars->Count(); ++i) FBars->Items(i)->ClearChanged();
  }
  if (FLoadPending) FinishLoading();
}

void TdxBarManager::RunUpdateStateStep(bool ACheckBarsChanges, bool ARebuild) {
  if (IdxBarControl* subMenu = FChangedSubMenuControl) {
    FChangedSubMenuControl = nullptr;
    subMenu->RepaintBar();
  }
  std::vector<IdxBarControl*> changed, others;
  for (int i = 0; i < FBars->Count(); ++i) {
    TdxBar* bar = FBars->Items(i);
    if (IdxBarControl* control = bar->Control())
      (ACheckBarsChanges && bar->ChangedFlag() ? changed : others).push_back(control);
  }
  if (ARebuild)
    for (IdxBarControl* control : changed) control->RebuildItemControls();
  for (IdxBarControl* control : changed) control->RecalcBarLayout();
  for (IdxBarDockControl* dock : FDockControls) {
    dock->FreeEmptyRows();
    if (HWND wnd = dock->DockWindow(); wnd && IsWindowVisible(wnd)) {
      dock->UpdateDock();
      SendMessageW(wnd, WM_NCPAINT, 1, 0);
    }
  }
  for (IdxBarControl* control : others) control->ApplyBarFrameChange();
  for (int i = 0; i < FBars->Count(); ++i) FBars->Items(i)->ClearChanged();
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
    if (item->Category() == ACategory && (Designing() || (item->ActuallyVisible() && !item->IsHiddenFromCategoryLists())))
      AList->Add(item);
  }
  return AList->Count();
}

String TdxBarManager::GetUniqueItemName(TClass AItemClass) const {
  const String base = String(AItemClass->Name).substr(1);
  if (IdxBarDesigner* designer = dxBarDesignerOf(const_cast<TdxBarManager*>(this))) return designer->UniqueName(base);
  for (int n = 1;; ++n) {
    const String name = base + IntToStr(n);
    if (!(Owner() && Owner()->FindComponent(name)) && !GetItemByName(name)) return name;
  }
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
  if (IdxBarDesigner* designer = dxBarDesignerOf(const_cast<TdxBarManager*>(this)); designer && !LoadingFromForm())
    return designer->UniqueName(ABaseName);
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
  if (!ADockControl || std::find(FDockControls.begin(), FDockControls.end(), ADockControl) != FDockControls.end())
    return;
  FDockControls.push_back(ADockControl);
  // A dock freed without unregistering must not stay in the list.
  if (auto* component = dynamic_cast<TComponent*>(ADockControl->DockControlObject())) component->FreeNotification(this);
}

// UnregisterDockControl, Customizing, SetSelectedItem: dxBarOperations.cpp.

bool TdxBarManager::OtherManagerCustomizing() const {
  TdxBarManagerList* list = dxBarManagerList();
  for (int i = 0; list && i < list->Count(); ++i)
    if (list->ManagerAt(i) != this && list->ManagerAt(i)->FIsCustomizing) return true;
  return false;
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
  if (!Designing() || ComponentState().Contains(csUpdating)) return;
  TWinControl* owner = OwnerControl();
  if ((owner && owner->ControlState().Contains(csRecreating)) || FInternalState.Contains(bisHandleCreating) ||
      (FImageOptions && FImageOptions->AnyImageListLoading()))
    return;
  if (IdxBarCustomization* customization = dxBarCustomization()) customization->DesignerModified(MainForm());
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

TdxBarManager* TdxBarManager::ParentBarManager() const {
  TWinControl* owner = OwnerControl();
  if (!owner || !owner->HandleAllocated()) return nullptr;
  for (HWND wnd = dxBarChildParent(owner->Handle()); wnd; wnd = dxBarChildParent(wnd))
    if (TWinControl* control = FindControl(wnd)) return dxBarManagerFromObject(control);
  return nullptr;
}

TdxBar* TdxBarManager::MainMenuBar() const {
  IdxBarControl* control = FMainMenuBar ? FMainMenuBar->Control() : nullptr;
  return control && !control->CanActAsMainMenu() ? nullptr : FMainMenuBar;
}

IdxBarControl* TdxBarManager::MainMenuControl() const {
  if (!FMainMenuBar) return nullptr;
  IdxBarControl* control = FMainMenuBar->Control();
  return control && control->CanActAsMainMenu() ? control : nullptr;
}

void TdxBarManager::BarControlDestroying(IdxBarControl* AControl) {
  if (!AControl) return;
  if (FMouseTrackingBarControl == AControl) FMouseTrackingBarControl = nullptr;
  if (FFocusedBarControl == AControl) FFocusedBarControl = nullptr;
  if (FChangedSubMenuControl == AControl) FChangedSubMenuControl = nullptr;
}

void TdxBarManager::AddPopupMenu(TComponent* APopupMenu) {
  if (APopupMenu && FPopupMenus->IndexOf(APopupMenu) < 0) FPopupMenus->Add(APopupMenu);
}

void TdxBarManager::RemovePopupMenu(TComponent* APopupMenu) {
  if (FPopupMenus) FPopupMenus->Remove(APopupMenu);
}

int TdxBarManager::PopupMenuCount() const { return FPopupMenus ? FPopupMenus->Count() : 0; }

TComponent* TdxBarManager::PopupMenuAt(int AIndex) const {
  return AIndex >= 0 && AIndex < PopupMenuCount() ? FPopupMenus->Get(AIndex) : nullptr;
}

void TdxBarManager::Notification(TComponent* AComponent, TOperation AOperation) {
  TComponent::Notification(AComponent, AOperation);
  if (AOperation != opRemove || !AComponent) return;
  if (FPopupMenuLinks) FPopupMenuLinks->ComponentRemoved(AComponent);
  RemovePopupMenu(AComponent);
  for (IdxBarDockControl* dock : FDockControls)
    if (dock->DockControlObject() == AComponent) {
      UnregisterDockControl(dock);
      break;
    }
}

void TdxBarManager::SetName(const String& NewName) {
  const String oldName = Name();
  TComponent::SetName(NewName);
  if (!Designing() || oldName.empty() || SameText(oldName, Name()) || !Owner()) return;
  // The owner's list changes while items are renamed: the candidates first.
  std::vector<TdxBarItem*> items;
  for (int i = 0; i < Owner()->ComponentCount(); ++i)
    if (auto* item = dynamic_cast<TdxBarItem*>(Owner()->Components(i));
        item && item->Name().size() > oldName.size() && SameText(item->Name().substr(0, oldName.size()), oldName))
      items.push_back(item);
  for (TdxBarItem* item : items) {
    try {
      item->SetName(Name() + item->Name().substr(oldName.size()));
    } catch (EComponentError&) {
      // A name another component bears: the item keeps its own.
    }
  }
}

// ---------------------------------------------------------------------------
// Event dispatchers
// ---------------------------------------------------------------------------

void TdxBarManager::DoBarAfterReset(TdxBar* ABar) {
  if (OnBarAfterReset) OnBarAfterReset(this, ABar);
}

void TdxBarManager::DoBarBeforeReset(TdxBar* ABar) {
  if (OnBarBeforeReset) OnBarBeforeReset(this, ABar);
}

void TdxBarManager::DoBarClose(TdxBar* ABar) {
  if (OnBarClose) OnBarClose(this, ABar);
}

void TdxBarManager::DoCloseButtonClick() {
  if (OnCloseButtonClick) OnCloseButtonClick(this);
}

void TdxBarManager::DoHelpButtonClick() {
  if (OnHelpButtonClick) OnHelpButtonClick(this);
}

void TdxBarManager::DoShowCustomizingPopup(TdxBarItemLinks* APopupItemLinks) {
  if (OnShowCustomizingPopup) OnShowCustomizingPopup(this, APopupItemLinks);
}

void TdxBarManager::DoShowToolbarsPopup(TdxBarItemLinks* APopupItemLinks) {
  if (OnShowToolbarsPopup) OnShowToolbarsPopup(this, APopupItemLinks);
}

// ---------------------------------------------------------------------------
// Setters
// ---------------------------------------------------------------------------

void TdxBarManager::SetAutoAlignBars(bool AValue) {
  if (FAutoAlignBars == AValue) return;
  FAutoAlignBars = AValue;
  if (!LoadingFromForm()) RunUpdateStateStep(true, false);
}

void TdxBarManager::SetAutoDockColor(bool AValue) {
  if (FAutoDockColor == AValue) return;
  FAutoDockColor = AValue;
  for (IdxBarDockControl* dock : FDockControls) dock->UpdateColor();
}

void TdxBarManager::SetAutoHideEmptyBars(bool AValue) {
  if (FAutoHideEmptyBars == AValue) return;
  FAutoHideEmptyBars = AValue;
  if (!AValue)
    for (int i = 0; i < FBars->Count(); ++i) FBars->Items(i)->ForgetInternalHiding();
}

void TdxBarManager::SetButtonArrowWidth(int AValue) {
  if (AValue < 2 || AValue == FButtonArrowWidth) return;
  FButtonArrowWidth = AValue;
  for (int i = 0; i < FBars->Count(); ++i)
    if (IdxBarControl* control = FBars->Items(i)->Control()) control->RepaintBar();
}

void TdxBarManager::SetLargeButtonArrowWidth(int AValue) {
  if (AValue < 2 || AValue == FLargeButtonArrowWidth) return;
  FLargeButtonArrowWidth = AValue;
  for (int i = 0; i < FBars->Count(); ++i)
    if (IdxBarControl* control = FBars->Items(i)->Control()) control->RepaintBar();
}

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

// The main menu shows the close button: the button's look changes.
void TdxBarManager::RepaintMainMenuFrame() {
  if (!FMainMenuBar || !FMainMenuBar->Visible()) return;
  if (IdxBarControl* control = FMainMenuBar->Control()) {
    control->DeselectItemControl();
    control->RepaintBar();
  }
}

void TdxBarManager::SetFlatCloseButton(bool AValue) {
  if (FFlatCloseButton == AValue) return;
  FFlatCloseButton = AValue;
  RepaintMainMenuFrame();
}

void TdxBarManager::SetShowCloseButton(bool AValue) {
  if (FShowCloseButton == AValue) return;
  FShowCloseButton = AValue;
  RepaintMainMenuFrame();
}

void TdxBarManager::SetHelpButtonGlyph(TBitmap* AValue) { FHelpButtonGlyph->Assign(AValue); }

void TdxBarManager::HelpButtonGlyphChanged(TObject*) {
  if (IdxBarCustomization* customization = dxBarCustomization()) customization->FormHelpButtonChanged();
}

void TdxBarManager::SetShowHelpButton(bool AValue) {
  if (FShowHelpButton == AValue) return;
  FShowHelpButton = AValue;
  if (IdxBarCustomization* customization = dxBarCustomization()) customization->FormHelpButtonChanged();
}

void TdxBarManager::SetSunkenBorder(bool AValue) {
  if (FSunkenBorder == AValue) return;
  FSunkenBorder = AValue;
  for (IdxBarDockControl* dock : FDockControls) dock->RefreshFrames();
}

void TdxBarManager::SetHideFloatingBarsWhenInactive(bool AValue) {
  if (FHideFloatingBarsWhenInactive == AValue) return;
  FHideFloatingBarsWhenInactive = AValue;
  if (!LoadingFromForm()) UpdateFloatingBarsVisibility();
}

// Menu options the designer and an open customization form show.
void TdxBarManager::MenuOptionChanged() {
  SignalDesignerModified();
  if (IdxBarCustomization* customization = dxBarCustomization()) customization->FormOptionsChanged();
}

void TdxBarManager::SetMenuAnimations(TdxBarMenuAnimations AValue) {
  if (FMenuAnimations == AValue) return;
  FMenuAnimations = AValue;
  MenuOptionChanged();
}

void TdxBarManager::SetMenusShowRecentItemsFirst(bool AValue) {
  if (FMenusShowRecentItemsFirst == AValue) return;
  FMenusShowRecentItemsFirst = AValue;
  MenuOptionChanged();
}

void TdxBarManager::SetShowFullMenusAfterDelay(bool AValue) {
  if (FShowFullMenusAfterDelay == AValue) return;
  FShowFullMenusAfterDelay = AValue;
  MenuOptionChanged();
}

void TdxBarManager::SetShowHint(bool AValue) {
  if (FShowHint == AValue) return;
  FShowHint = AValue;
  MenuOptionChanged();
}

void TdxBarManager::SetShowShortCutInHint(bool AValue) {
  if (FShowShortCutInHint == AValue) return;
  FShowShortCutInHint = AValue;
  MenuOptionChanged();
}

void TdxBarManager::SetRegistryPath(const String& AValue) {
  FRegistryPath = AValue;
  FRegistryPath = dxBarNormalizeRegistryPath(FRegistryPath);
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

// A new visual style may bring another toolbar fill colour.
void TdxBarManager::ThemeChanged() {
  RebuildPainter();
  CreateDrawingResources();
  StyleChanged();
}

void TdxBarManager::SetNotDocking(TdxBarDockingStyles AValue) {
  if (FNotDocking == AValue) return;
  FNotDocking = AValue;
  StyleChanged();
}

void TdxBarManager::SetUseSystemFont(bool AValue) {
  if (FUseSystemFont == AValue) return;
  FUseSystemFont = AValue;
  if (FUseSystemFont) ApplySystemFont();
}

// ---------------------------------------------------------------------------
// Fonts
// ---------------------------------------------------------------------------

namespace {

bool NonClientMetrics(NONCLIENTMETRICSW& AMetrics) {
  AMetrics = NONCLIENTMETRICSW{};
  AMetrics.cbSize = sizeof(AMetrics);
  return SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(AMetrics), &AMetrics, 0);
}

// Hands a font made here over to a TFont, which counts it as its own.
void GiveFontHandle(TFont* AFont, HFONT AHandle) {
  if (!AHandle) return;
  GdiDisown(AHandle);
  AFont->SetHandle(AHandle);
}

}  // namespace

void TdxBarManager::ApplySystemFont() {
  NONCLIENTMETRICSW metrics;
  if (!NonClientMetrics(metrics)) return;
  if (FUseSystemFont) {
    // The flag survives the change this makes.
    FInternalFontChange = true;
    TFinally done{[this] { FInternalFontChange = false; }};
    GiveFontHandle(FFont, GdiCreateFont(metrics.lfMenuFont));
  } else if (FScaled) {
    FFont->SetHeight(metrics.lfMenuFont.lfHeight);
  }
}

void TdxBarManager::FontChanged(TObject*) {
  if (!FInternalFontChange) FUseSystemFont = false;
  if (FScaled) {
    NONCLIENTMETRICSW metrics;
    if (NonClientMetrics(metrics)) {
      const TNotifyEvent handler = FFont->OnChange;
      FFont->OnChange = nullptr;
      TFinally restore{[&] { FFont->OnChange = handler; }};
      FFont->SetHeight(metrics.lfMenuFont.lfHeight);
    }
  }
  UpdateEditFont();
  GiveFontHandle(FBarCaptionFont, dxBarCreateMenuFont(FFont, FUseSystemFont));
  FSystemFontChangedHandlers->CallEvents(this, nullptr);
  for (int i = 0; i < FBars->Count(); ++i) FBars->Items(i)->ManagerFontChanged();
}

void TdxBarManager::UpdateEditFont() { dxBarAssignScaledFont(FFont, FEditFont, FScaled); }

// ---------------------------------------------------------------------------
// Style, painter and drawing resources
// ---------------------------------------------------------------------------

void TdxBarManager::RebuildPainter() {
  FThemeAvailable = dxBarThemeAvailable();
  FDefaultPainter = PainterClassForStyle();
}

void TdxBarManager::StyleChanged() {
  if (FChangingStyle) return;
  FChangingStyle = true;
  TFinally done{[this] { FChangingStyle = false; }};
  RebuildPainter();
  if (FBars)
    for (int i = 0; i < FBars->Count(); ++i)
      if (IdxBarControl* control = FBars->Items(i)->Control()) control->ManagerStyleChanged();
  if (IdxBarCustomization* customization = dxBarCustomization(); customization && customization->FormWindow())
    customization->FormStyleChanged();
  RefreshBarsDrawing();
}

void TdxBarManager::RefreshBarsDrawing() {
  for (IdxBarDockControl* dock : FDockControls) dock->RefreshBackground();
  if (!FBars) return;
  for (int i = 0; i < FBars->Count(); ++i)
    if (IdxBarControl* control = FBars->Items(i)->Control()) control->RefreshBarBackground();
}

TdxBarFlatToolbarColors dxBarFlatToolbarColors() {
  auto channels = [](COLORREF AColor, auto AChange) {
    return static_cast<TColor>(RGB(AChange(GetRValue(AColor)), AChange(GetGValue(AColor)), AChange(GetBValue(AColor))));
  };
  TdxBarFlatToolbarColors colors;
  colors.Border = channels(GetSysColor(COLOR_BTNSHADOW), [](int c) { return MulDiv(c, 8, 10); });
  colors.Background = channels(GetSysColor(COLOR_BTNFACE), [](int c) { return c + (255 - c) * 16 / 100; });
  colors.Downed = dxBlendLightColor(11, 9, 73);
  colors.DownedSelected = dxBlendLightColor(14, 44, 40);
  colors.Selected = dxBlendLightColor(-2, 30, 72);
  return colors;
}

namespace {

HBRUSH NewSolidBrush(COLORREF AColor) {
  LOGBRUSH brush{BS_SOLID, AColor, 0};
  return GdiCreateBrush(brush);
}

void DeleteBrush(HBRUSH& ABrush) {
  if (ABrush) GdiDeleteObject(ABrush);
  ABrush = nullptr;
}

}  // namespace

void TdxBarManager::CreateDrawingResources() {
  FreeDrawingResources();
  const TdxBarFlatToolbarColors colors = dxBarFlatToolbarColors();
  HDC screen = GetDC(nullptr);
  auto nearest = [screen](TColor AColor) {
    const COLORREF rgb = static_cast<COLORREF>(ColorToRGB(AColor));
    const COLORREF shown = screen ? GetNearestColor(screen, rgb) : CLR_INVALID;
    return shown == CLR_INVALID ? rgb : shown;
  };
  FFlatToolbarsBorderBrush = NewSolidBrush(nearest(colors.Border));
  FFlatToolbarsBrush = NewSolidBrush(nearest(colors.Background));
  FFlatToolbarsDownedBrush = NewSolidBrush(nearest(colors.Downed));
  FFlatToolbarsDownedSelBrush = NewSolidBrush(nearest(colors.DownedSelected));
  FFlatToolbarsSelBrush = NewSolidBrush(nearest(colors.Selected));
  if (screen) ReleaseDC(nullptr, screen);
  if (FThemeAvailable) {
    COLORREF fill = GetSysColor(COLOR_BTNFACE);
    COLORREF themed = 0;
    if (TdxTheme theme = dxAcquireThemeHandle(totToolBar);
        theme && SUCCEEDED(dxUxGetThemeColor(theme, 0, 0, TMT_FILLCOLOR, themed)))
      fill = themed;
    FThemeToolbarsBrush = NewSolidBrush(fill);
  }
}

void TdxBarManager::FreeDrawingResources() {
  for (HBRUSH* brush : {&FFlatToolbarsBorderBrush, &FFlatToolbarsBrush, &FFlatToolbarsDownedBrush,
                        &FFlatToolbarsDownedSelBrush, &FFlatToolbarsSelBrush, &FThemeToolbarsBrush})
    DeleteBrush(*brush);
}

void TdxBarManager::RefreshDrawingResources() {
  CreateDrawingResources();
  dxReloadOffice11Colors();
  RefreshBarsDrawing();
}
