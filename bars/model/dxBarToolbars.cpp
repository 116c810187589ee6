#include "bars/model/dxBarToolbars.h"

#include "bars/model/dxBarCaptionButtons.h"

#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarRoutines.h"

#include "bars/model/dxBarStrs.h"

#include "foundation/cxClasses.h"
#include "foundation/dxCore.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Graphics.h"

#include <algorithm>

BEGIN_CLASS(TdxBar, TcxComponentCollectionItem, (ConstructWith<TdxBar, TComponent>))
  using B = TdxBar;
  DefaultValue(b.Prop(L"AllowClose", &B::AllowClose, &B::SetAllowClose), 1);
  DefaultValue(b.Prop(L"AllowCustomizing", &B::AllowCustomizing, &B::SetAllowCustomizing), 1);
  DefaultValue(b.Prop(L"AllowQuickCustomizing", &B::AllowQuickCustomizing, &B::SetAllowQuickCustomizing), 1);
  DefaultValue(b.Prop(L"AllowReset", &B::AllowReset, &B::SetAllowReset), 1);
  DefaultValue(b.Prop(L"AlphaBlendValue", &B::AlphaBlendValue, &B::SetAlphaBlendValue), 255);
  DefaultValue(b.Prop(L"BorderStyle", &B::BorderStyle, &B::SetBorderStyle), bbsSingle);
  b.Prop(L"Caption", &B::Caption, &B::SetCaption);
  b.Prop(L"CaptionButtons", &B::CaptionButtons, nullptr);
  DefaultValue(b.Prop(L"Color", &B::Color, &B::SetColor, ColorTypeInfo()), clDefault);
  b.Prop(L"DockedDockingStyle", &B::DockedDockingStyle, &B::SetDockedDockingStyle);
  b.Prop(L"DockedLeft", &B::DockedLeft, &B::SetDockedLeft);
  b.Prop(L"DockedTop", &B::DockedTop, &B::SetDockedTop);
  b.Prop(L"DockingStyle", &B::DockingStyle, &B::SetDockingStyle);
  b.Prop(L"FloatLeft", &B::FloatLeft, &B::SetFloatLeft);
  b.Prop(L"FloatTop", &B::FloatTop, &B::SetFloatTop);
  b.Prop(L"FloatClientWidth", &B::FloatClientWidth, &B::SetFloatClientWidth);
  b.Prop(L"FloatClientHeight", &B::FloatClientHeight, &B::SetFloatClientHeight);
  b.Prop(L"Font", &B::Font, &B::SetFont).Stored = [](TObject* o) { return static_cast<B*>(o)->UseOwnFont(); };
  DefaultValue(b.Prop(L"Hidden", &B::Hidden, &B::SetHidden), 0);
  DefaultValue(b.Prop(L"IsMainMenu", &B::IsMainMenu, &B::SetIsMainMenu), 0);
  b.Prop(L"ItemLinks", &B::ItemLinks, &B::SetItemLinks);
  DefaultValue(b.Prop(L"MultiLine", &B::MultiLine, &B::SetMultiLine), 0);
  DefaultValue(b.Prop(L"NotDocking", &B::NotDocking, &B::SetNotDocking), 0);
  b.Prop(L"OldName", &B::OldName, &B::SetOldName);
  b.Prop(L"OneOnRow", &B::OneOnRow, &B::SetOneOnRow);
  DefaultValue(b.Prop(L"RotateWhenVertical", &B::RotateWhenVertical, &B::SetRotateWhenVertical), 1);
  b.Prop(L"Row", &B::Row, &B::SetRow);
  DefaultValue(b.Prop(L"ShowMark", &B::ShowMark, &B::SetShowMark), 1);
  DefaultValue(b.Prop(L"SizeGrip", &B::SizeGrip, &B::SetSizeGrip), 1);
  b.Prop(L"UseOwnFont", &B::UseOwnFont, &B::SetUseOwnFont);
  DefaultValue(b.Prop(L"UseRecentItems", &B::UseRecentItems, &B::SetUseRecentItems), 1);
  DefaultValue(b.Prop(L"UseRestSpace", &B::UseRestSpace, &B::SetUseRestSpace), 0);
  b.Prop(L"Visible", &B::Visible, &B::SetVisible);
  b.Prop(L"WholeRow", &B::WholeRow, &B::SetWholeRow);
END_CLASS

IMPLEMENT_CLASS(TdxBars, TcxComponentCollection, nullptr)

// ---------------------------------------------------------------------------
// TdxBar
// ---------------------------------------------------------------------------

TdxBar::TdxBar(TComponent* AOwner) : TcxComponentCollectionItem(AOwner), FColor(clDefault) {
  FCaptionButtons = Make<TdxBarCaptionButtons>(this);
  FFont = Make<TFont>();
  FFont->OnChange = TNotifyEvent::Bind<&TdxBar::FontChanged>(this);
}

void TdxBar::BeforeDestruction() {
  TcxComponentCollectionItem::BeforeDestruction();
  if (OnDestroy) OnDestroy(this);
  TdxBarManager* manager = BarManager();
  if (manager) manager->DoBarDelete(this);
  if (FMergedWith) FMergedWith->DetachMerged(this, false);
  while (!FMergedBars.empty()) DetachMerged(FMergedBars.back(), false);
  if (FItemLinks) FItemLinks->DestroyBarControl();
  FVisible = false;
  if (manager && manager->MainMenuBar() == this) manager->SetMainMenuBar(nullptr);
}

TdxBar::~TdxBar() {
  cxClearObjectLinks(this);
  FreeAndNil(FItemLinks);
  FreeAndNil(FCaptionButtons);
  FreeAndNil(FFont);
}

TcxComponentCollection* TdxBar::CollectionOfParent(TComponent* AParent) {
  auto* manager = dynamic_cast<TdxBarManager*>(AParent);
  if (!manager) throw EInvalidCast(L"Invalid class typecast");
  TcxComponentCollection* bars = manager->Bars();
  // The links need the manager: they are made as soon as the toolbar knows it.
  if (!FItemLinks) {
    FItemLinks = Make<TdxBarControlItemLinks>(manager, this);
    FInternalFontChange = true;
    FFont->Assign(manager->Font());
    FInternalFontChange = false;
  }
  return bars;
}

void TdxBar::AttachToManager() {
  TdxBarManager* manager = BarManager();
  if (!manager) return;
  manager->DoBarAdd(this);
}

TdxBarManager* TdxBar::BarManager() const {
  return Collection() ? static_cast<TdxBars*>(Collection())->BarManager() : nullptr;
}

TdxBars* TdxBar::Bars() const { return static_cast<TdxBars*>(Collection()); }

IdxBarControl* TdxBar::Control() const { return FItemLinks ? FItemLinks->BarControl() : nullptr; }

IdxBarDockControl* TdxBar::RealDockControl() const {
  TdxBars* bars = Bars();
  return bars && FDockingStyle != dsNone ? bars->DockControls(FDockingStyle) : nullptr;
}

bool TdxBar::ManagerLoading() const {
  TdxBarManager* manager = BarManager();
  return manager && manager->IsLoading();
}

void TdxBar::ReportChange() { Changed(); }

template <class T>
void TdxBar::ChangeValue(T& AField, T AValue) {
  if (AField == AValue) return;
  AField = AValue;
  ReportChange();
}

void TdxBar::SetItemLinks(TdxBarItemLinks* AValue) {
  if (FItemLinks && AValue) FItemLinks->Assign(AValue);
}

void TdxBar::SetCaption(const String& AValue) {
  if (FCaption == AValue) return;
  if (TdxBarManager* manager = BarManager(); manager && manager->BarByCaption(AValue)) return;
  FCaption = AValue;
  if (IdxBarControl* control = Control()) control->UpdateCaption();
  ReportChange();
}

void TdxBar::SetDockedDockingStyle(TdxBarDockingStyle AValue) { ChangeValue(FDockedDockingStyle, AValue); }

void TdxBar::SetDockedLeft(int AValue) { ChangeValue(FDockedLeft, AValue < 0 ? 0 : AValue); }

void TdxBar::SetDockedTop(int AValue) { ChangeValue(FDockedTop, AValue < 0 ? 0 : AValue); }

TdxBarDockingStyle TdxBar::DockingStyle() const {
  if (ManagerLoading() && dxBarIsComparingWithAncestor(const_cast<TdxBar*>(this))) return FLoadedDockingStyle;
  return FDockingStyle;
}

void TdxBar::ChangeDockingStyle(TdxBarDockingStyle AValue) {
  if (ManagerLoading() || FDockingStyle == AValue) return;
  FDockingStyle = AValue;
  if (TdxBarManager* manager = BarManager()) manager->DoBarDockingStyleChange(this);
  ReportChange();
}

void TdxBar::SetDockingStyle(TdxBarDockingStyle AValue) {
  if (ManagerLoading()) {
    FLoadedDockingStyle = AValue;
    return;
  }
  if (FDockingStyle == AValue) return;
  const bool wasShown = Control() != nullptr;
  if (wasShown) FItemLinks->DestroyBarControl();
  FDockingStyle = AValue;
  if (FItemLinks) FItemLinks->ChangeRecentItemCount(-1);
  if (wasShown) PlaceBarControl();
  if (TdxBarManager* manager = BarManager()) manager->DoBarDockingStyleChange(this);
  ReportChange();
}

void TdxBar::SetFloatLeft(int AValue) { ChangeValue(FFloatLeft, AValue); }

void TdxBar::SetFloatTop(int AValue) { ChangeValue(FFloatTop, AValue); }

void TdxBar::SetFloatClientWidth(int AValue) { ChangeValue(FFloatClientWidth, AValue); }

void TdxBar::SetFloatClientHeight(int AValue) { ChangeValue(FFloatClientHeight, AValue); }

void TdxBar::SetFont(TFont* AValue) { FFont->Assign(AValue); }

void TdxBar::FontChanged(TObject*) {
  if (!FInternalFontChange) FUseOwnFont = true;
  if (IdxBarControl* control = Control()) control->UpdateFont();
}

void TdxBar::ManagerFontChanged() {
  TdxBarManager* manager = BarManager();
  if (!manager || FUseOwnFont) return;
  FInternalFontChange = true;
  FFont->Assign(manager->Font());
  FInternalFontChange = false;
}

void TdxBar::SetUseOwnFont(bool AValue) {
  if (FUseOwnFont == AValue) return;
  FUseOwnFont = AValue;
  if (!AValue) ManagerFontChanged();
}

void TdxBar::SetHidden(bool AValue) { ChangeValue(FHidden, AValue); }

void TdxBar::SetIsMainMenu(bool AValue) {
  if (FIsMainMenu == AValue) return;
  TdxBarManager* manager = BarManager();
  if (AValue) {
    if (manager && manager->MainMenuBar() && manager->MainMenuBar() != this) manager->MainMenuBar()->SetIsMainMenu(false);
    FIsMainMenu = true;
    if (manager) manager->SetMainMenuBar(this);
    FWholeRow = FMultiLine = true;
  } else {
    FIsMainMenu = false;
    if (manager && manager->MainMenuBar() == this) manager->SetMainMenuBar(nullptr);
    FWholeRow = FMultiLine = false;
  }
  if (!ManagerLoading()) ReportChange();
}

void TdxBar::SetMultiLine(bool AValue) {
  if (FMultiLine == AValue || (!AValue && FIsMainMenu)) return;
  FMultiLine = AValue;
}

void TdxBar::SetOneOnRow(bool AValue) { ChangeValue(FOneOnRow, AValue); }

void TdxBar::SetRow(int AValue) { ChangeValue(FRow, AValue < 0 ? 0 : AValue); }

bool TdxBar::UseRecentItems() const { return !FItemLinks || FItemLinks->UseRecentItems(); }

void TdxBar::SetUseRecentItems(bool AValue) {
  if (FItemLinks) FItemLinks->SetUseRecentItems(AValue);
}

void TdxBar::SetVisible(bool AValue) {
  TdxBarManager* manager = BarManager();
  if (AValue && manager && manager->IsDestroying()) return;
  if (ManagerLoading()) {
    if (AValue != FVisible) FInternallyHidden = false;
    FLoadedVisible = AValue;
    return;
  }
  if (FVisible == AValue) return;
  FInternallyHidden = false;
  FVisible = AValue;
  if (FItemLinks) {
    if (AValue)
      PlaceBarControl();
    else
      FItemLinks->DestroyBarControl();
  }
  ReportChange();
  if (manager) manager->DoBarVisibleChange(this);
}

void TdxBar::PlaceBarControl() {
  // Without the bar controls layer there is no window to place.
  if (FItemLinks) FItemLinks->CreateBarControl();
}

void TdxBar::Merge(TdxBar* ABar) {
  auto text = [](const TResStringRec& ARecord) { return cxLookUpResourceString(&ARecord); };
  if (FMergedWith) throw EdxException(text(dxSBAR_CANTMERGEWITHMERGEDTOOLBAR));
  if (!ABar || ABar == this) throw EdxException(text(dxSBAR_CANTMERGETOOLBAR));
  if (ABar->FMergedWith == this)
    throw EdxException(Format(text(dxSBAR_TOOLBARSALREADYMERGED), {ABar->FCaption, FCaption}));
  if (!ABar->FMergedBars.empty()) throw EdxException(Format(text(dxSBAR_TOOLBARHASMERGEDTOOLBARS), {ABar->FCaption}));
  const bool wasMerged = ABar->FMergedWith != nullptr;
  if (ABar->FMergedWith) ABar->FMergedWith->DetachMerged(ABar, false);
  ABar->FMergedWith = this;
  FMergedBars.push_back(ABar);
  TdxBarManager* manager = BarManager();
  if (manager) manager->BeginUpdate();
  try {
    FItemLinks->Merge(ABar->FItemLinks, ABar);
  } catch (...) {
    if (manager) manager->EndUpdate();
    throw;
  }
  if (manager) manager->EndUpdate();
  if (!wasMerged) ABar->FVisibleBeforeMerging = ABar->FVisible;
  ABar->SetVisible(false);
}

void TdxBar::DetachMerged(TdxBar* ABar, bool ARestoreVisibility) {
  FItemLinks->Unmerge(ABar);
  FMergedBars.erase(std::remove(FMergedBars.begin(), FMergedBars.end(), ABar), FMergedBars.end());
  ABar->FMergedWith = nullptr;
  if (ARestoreVisibility) ABar->SetVisible(ABar->FVisibleBeforeMerging);
}

void TdxBar::Unmerge(TdxBar* ABar) {
  auto text = [](const TResStringRec& ARecord) { return cxLookUpResourceString(&ARecord); };
  if (ABar == this) throw EdxException(text(dxSBAR_CANTUNMERGETOOLBAR));
  if (ABar && !ABar->FMergedWith) return;
  if (ABar && ABar->FMergedWith != this)
    throw EdxException(Format(text(dxSBAR_TOOLBARSARENOTMERGED), {ABar->FCaption, FCaption}));
  if (!FMergedBars.empty()) {
    TdxBarManager* manager = BarManager();
    if (manager) manager->BeginUpdate();
    try {
      FItemLinks->Unmerge(ABar);
    } catch (...) {
      if (manager) manager->EndUpdate();
      throw;
    }
    if (manager) manager->EndUpdate();
    for (int i = static_cast<int>(FMergedBars.size()) - 1; i >= 0; --i)
      if (!ABar || FMergedBars[i] == ABar) DetachMerged(FMergedBars[i], true);
  }
  if (!FMergedBars.empty() || !FCreatedByMerging || FItemLinks->Count() > 0) return;
  if (FKeepWhenEmptyAfterUnmerge) {
    FCreatedByMergingBarVisibleBeforeCustomization = FVisible;
    SetVisible(false);
    SetHidden(true);
  } else {
    TObject::Free(this);
  }
}

void TdxBar::ChangeDockingStyle(TdxBarDockingStyle AStyle, IdxBarDockControl*) { SetDockingStyle(AStyle); }

void TdxBar::Move(int X, int Y) {
  SetDockingStyle(dsNone);
  SetFloatLeft(X);
  SetFloatTop(Y);
}

void TdxBar::ApplyLoadedState() {
  FIsPredefined = true;
  SetDockingStyle(FLoadedDockingStyle);
  SetVisible(FLoadedVisible);
}

bool TdxBar::IsVertical() const {
  const TdxBarDockingStyle style = DockingStyle();
  return (style == dsLeft || style == dsRight) && FRotateWhenVertical;
}

bool TdxBar::IsStatusBarLike() const { return FBorderStyle == bbsNone && DockingStyle() == dsBottom && FWholeRow; }

bool TdxBar::HasAllowedDockingStyle() const {
  const TdxBarDockingStyles all{dsNone, dsLeft, dsTop, dsRight, dsBottom};
  TdxBarManager* manager = BarManager();
  return FNotDocking != all && !(manager && manager->NotDocking() == all);
}

IdxBarControl* TdxBar::CreateBarControl() {
  TdxBarToolbarControlFactory factory = dxBarToolbarControlFactory();
  return factory ? factory(BarManager(), this) : nullptr;
}

bool TdxBar::CanContainItem(TdxBarItem* AItem, String& AErrorText) { return AItem->CanBePlacedOn(0, this, AErrorText); }

void TdxBar::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TdxBar*>(ASource);
  if (!source) {
    TcxComponentCollectionItem::Assign(ASource);
    return;
  }
  SetAllowClose(source->FAllowClose);
  SetAllowCustomizing(source->FAllowCustomizing);
  SetAllowQuickCustomizing(source->FAllowQuickCustomizing);
  SetAllowReset(source->FAllowReset);
  SetBorderStyle(source->FBorderStyle);
  SetCaption(source->FCaption);
  SetDockedDockingStyle(source->FDockedDockingStyle);
  SetDockedLeft(source->FDockedLeft);
  SetDockedTop(source->FDockedTop);
  SetFloatLeft(source->FFloatLeft);
  SetFloatTop(source->FFloatTop);
  SetFloatClientWidth(source->FFloatClientWidth);
  SetFloatClientHeight(source->FFloatClientHeight);
  SetHidden(source->FHidden);
  SetIsMainMenu(source->FIsMainMenu);
  SetItemLinks(source->FItemLinks);
  SetNotDocking(source->FNotDocking);
  SetOldName(source->FOldName);
  SetOneOnRow(source->FOneOnRow);
  SetRotateWhenVertical(source->FRotateWhenVertical);
  SetRow(source->FRow);
  SetShowMark(source->FShowMark);
  SetSizeGrip(source->FSizeGrip);
  SetWholeRow(source->FWholeRow);
  SetDockingStyle(source->DockingStyle());
  SetUseRecentItems(source->UseRecentItems());
  SetUseRestSpace(source->FUseRestSpace);
  SetColor(source->FColor);
  SetFont(source->FFont);
  SetUseOwnFont(source->FUseOwnFont);
  SetVisible(source->FVisible);
}

// ---------------------------------------------------------------------------
// Side docks without the bar controls layer
// ---------------------------------------------------------------------------

namespace {

// Keeps the size a side dock was given, so that the stored definition's
// dock sizes survive a round trip before the dock windows exist.
class TdxBarSideDockStandIn : public TObject, public IdxBarDockControl {
  DECLARE_CLASS(TdxBarSideDockStandIn, TObject)
  explicit TdxBarSideDockStandIn(TdxBarDockingStyle AStyle) : FStyle(AStyle) {}
  TObject* DockControlObject() override { return this; }
  TdxBarDockingStyle DockingStyle() override { return FStyle; }
  int DockSize() override { return FSize; }
  void SetDockSize(int AValue) override { FSize = AValue; }
  bool CanDockBar(TdxBar*) override { return true; }
  void UpdateDock() override {}
  bool CanReceiveFocus() override { return false; }
  bool DockingZoneContains(const TPoint&) override { return false; }

 private:
  TdxBarDockingStyle FStyle;
  int FSize = 0;
};

IMPLEMENT_CLASS(TdxBarSideDockStandIn, TObject, nullptr)

}  // namespace

// ---------------------------------------------------------------------------
// TdxBars
// ---------------------------------------------------------------------------

TdxBars::TdxBars(TdxBarManager* ABarManager)
    : TcxComponentCollection(ABarManager, TdxBar::StaticClass()), FBarManager(ABarManager) {
  for (TdxBarDockingStyle style : {dsLeft, dsTop, dsRight, dsBottom}) {
    TdxBarSideDockFactory factory = dxBarSideDockFactory();
    FDockControls[style] = factory ? factory(ABarManager, style) : Make<TdxBarSideDockStandIn>(style);
    ABarManager->RegisterDockControl(FDockControls[style]);
  }
}

TdxBars::~TdxBars() {
  for (IdxBarDockControl*& slot : FDockControls) {
    IdxBarDockControl* dock = slot;
    if (!dock) continue;
    FBarManager->UnregisterDockControl(dock);
    TObject::Free(dock->DockControlObject());
  }
  Clear();
}

void TdxBars::DockControlDestroyed(IdxBarDockControl* ADock) { FBarManager->UnregisterDockControl(ADock); }

void TdxBars::ForgetSideDock(IdxBarDockControl* ADock) {
  for (IdxBarDockControl*& dock : FDockControls)
    if (dock && dock == ADock) dock = nullptr;
}

IdxBarDockControl* TdxBars::DockControls(TdxBarDockingStyle AStyle) const {
  return AStyle >= dsLeft && AStyle <= dsBottom ? FDockControls[AStyle] : nullptr;
}

bool TdxBars::FindDockTarget(const TPoint& APoint, TdxBar* ABar, bool ACopyKeyDown, TdxBarDockingStyle& AStyle,
                             IdxBarDockControl*& ADockControl) const {
  AStyle = dsNone;
  ADockControl = nullptr;
  if (FMoving && ACopyKeyDown) return false;
  auto tryAt = [&](const TPoint& P) {
    for (TdxBarDockingStyle side : {dsLeft, dsRight, dsTop, dsBottom})
      for (int i = 0; i < FBarManager->DockControlCount(); ++i) {
        IdxBarDockControl* dock = FBarManager->DockControlAt(i);
        if (dock->DockingStyle() != side || !(dock->CanReceiveFocus() || FBarManager->Designing())) continue;
        if (FBarManager->CanDockBar(ABar, side, dock) && dock->DockingZoneContains(P)) {
          AStyle = side;
          ADockControl = dock;
          return true;
        }
      }
    return false;
  };
  if (tryAt(APoint)) return true;
  return FMoving && tryAt(TPoint(APoint.X - FMovingOffset.X, APoint.Y - FMovingOffset.Y));
}

void TdxBars::SetUpNewItem(TcxComponentCollectionItem* AItem) {
  TcxComponentCollection::SetUpNewItem(AItem);
  auto* bar = static_cast<TdxBar*>(AItem);
  bar->SetName(FBarManager->GetUniqueToolbarName(FBarManager->Name() + L"Bar"));
  bar->AttachToManager();
}

void TdxBars::NotifyChange(TcxComponentCollectionItem* AItem, TcxComponentCollectionNotification AAction) {
  TcxComponentCollection::NotifyChange(AItem, AAction);
  if (AItem && AAction == ccnChanged) FBarManager->SignalDesignerModified();
  if (AItem && (AAction == ccnExtracting || AAction == ccnExtracted || AAction == ccnDeleting))
    FBarManager->RemoveFromRestoreQueue(static_cast<TdxBar*>(AItem));
}
