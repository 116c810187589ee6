#include "bars/model/dxBarItemLinks.h"

#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarRoutines.h"
#include "bars/model/dxBarToolbars.h"

#include "foundation/cxClasses.h"
#include "foundation/dxCore.h"
#include "platform/core/Filer.h"
#include "platform/core/Variants.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Graphics.h"

#include <algorithm>

IMPLEMENT_CLASS(TdxBarItemControlBase, TcxIUnknownObject, nullptr)

BEGIN_CLASS(TdxBarItemLink, TcxInterfacedCollectionItem, (ConstructWith<TdxBarItemLink, TCollection>))
  using K = TdxBarItemLink;
  DefaultValue(b.Prop(L"BeginGroup", &K::StoredBeginGroup, &K::SetBeginGroup), 0);
  DefaultValue(b.Prop(L"ButtonGroup", &K::ButtonGroup, &K::SetButtonGroup), bgpNone);
  DefaultValue(b.Prop(L"Distributed", &K::Distributed, &K::SetDistributed), 1);
  DefaultValue(b.Prop(L"MostRecentlyUsed", &K::MostRecentlyUsed, &K::SetMostRecentlyUsed), 1);
  DefaultValue(b.Prop(L"Position", &K::Position, &K::SetPosition), ipBeginsNewRow);
  b.Prop(L"UserCaption", &K::UserCaption, &K::SetUserCaption);
  DefaultValue(b.Prop(L"UserDefine", &K::UserDefine, &K::SetUserDefine), 0);
  b.Prop(L"UserGlyph", &K::UserGlyph, &K::SetUserGlyph).Stored = [](TObject* o) {
    return !static_cast<K*>(o)->UserGlyph()->Empty();
  };
  DefaultValue(b.Prop(L"UserPaintStyle", &K::UserPaintStyle, &K::SetUserPaintStyle), psStandard);
  DefaultValue(b.Prop(L"UserWidth", &K::UserWidth, &K::SetUserWidth), 0);
  DefaultValue(b.Prop(L"ViewLevels", &K::ViewLevels, &K::SetViewLevels), dxBarAllViewLevels.ToBits());
  b.Prop(L"Visible", &K::Visible, &K::SetVisible);
END_CLASS

IMPLEMENT_CLASS(TdxBarItemLinks, TCollection, nullptr)
IMPLEMENT_CLASS(TdxBarControlItemLinks, TdxBarItemLinks, nullptr)
IMPLEMENT_CLASS(TdxBarSubMenuControlItemLinks, TdxBarItemLinks, nullptr)

BEGIN_CLASS(TdxBarItemOptions, TPersistent, nullptr)
  b.Prop(L"ShowDescriptions", &TdxBarItemOptions::ShowDescriptions, &TdxBarItemOptions::SetShowDescriptions).Stored =
      [](TObject* o) { return static_cast<TdxBarItemOptions*>(o)->HasAssignedValue(ioShowDescriptions); };
  b.Prop(L"ShowShortCuts", &TdxBarItemOptions::ShowShortCuts, &TdxBarItemOptions::SetShowShortCuts).Stored =
      [](TObject* o) { return static_cast<TdxBarItemOptions*>(o)->HasAssignedValue(ioShowShortCuts); };
  b.Prop(L"Size", &TdxBarItemOptions::Size, &TdxBarItemOptions::SetSize).Stored = [](TObject* o) {
    return static_cast<TdxBarItemOptions*>(o)->HasAssignedValue(ioSize);
  };
END_CLASS

namespace {

template <class T>
int IndexIn(const std::vector<T*>& AList, const T* AValue) {
  const auto it = std::find(AList.begin(), AList.end(), AValue);
  return it == AList.end() ? -1 : static_cast<int>(it - AList.begin());
}

template <class T>
void EraseFrom(std::vector<T*>& AList, const T* AValue) {
  AList.erase(std::remove(AList.begin(), AList.end(), AValue), AList.end());
}

}  // namespace

// ---------------------------------------------------------------------------
// TdxBarItemControlBase
// ---------------------------------------------------------------------------

TdxBarItem* TdxBarItemControlBase::Item() const { return FItemLink ? FItemLink->Item() : nullptr; }

void TdxBarItemControlBase::ExecuteClick() {
  // The click may free this control, its link and even the item: only
  // locals are used once the item's handlers have run.
  TdxBarItemLink* link = FItemLink;
  const bool executes = ClickExecutesItem();
  const bool closes = ClickClosesMenus();
  if (closes) {
    try {
      link->RealItemLink()->BringToTopInRecentList(true);
      if (link->RealItemLink() != link) link->BringToTopInRecentList(true);
    } catch (...) {
    }
    HideMenus();
  }
  TdxBarItem* item = link->Item();
  if (!executes || !item) return;
  TcxObjectLink* alive = cxCreateObjectLink(item);
  item->SetClickItemLink(closes ? link->RealItemLink() : link);
  try {
    item->DirectClick();
  } catch (...) {
    if (alive->Ref) item->SetClickItemLink(nullptr);
    cxReleaseObjectLink(alive);
    throw;
  }
  if (alive->Ref) item->SetClickItemLink(nullptr);
  cxReleaseObjectLink(alive);
}

// ---------------------------------------------------------------------------
// TdxBarItemLink
// ---------------------------------------------------------------------------

TdxBarItemLink::TdxBarItemLink(TCollection* ACollection) : TcxInterfacedCollectionItem(ACollection) {
  if (TdxBarManager* manager = BarManager()) FUseCount = manager->MostRecentlyUsedUseCount();
  FUserGlyph = dxBarNewNotifyingBitmap(TNotifyEvent::Bind<&TdxBarItemLink::UserGlyphChanged>(this));
  if (TdxBarItemLinks* owner = Owner()) owner->FRecentItems.push_back(this);
}

void TdxBarItemLink::AfterConstruction() {
  TcxInterfacedCollectionItem::AfterConstruction();
  if (TdxBarManager* manager = BarManager()) manager->DoItemLinkAdd(this);
}

void TdxBarItemLink::BeforeDestruction() {
  TcxInterfacedCollectionItem::BeforeDestruction();
  TdxBarManager* manager = BarManager();
  if (manager) manager->DoItemLinkDelete(this);
  IdxBarControl* bar = BarControl();
  if (bar && !bar->IsDestroying()) {
    if (manager && manager->SelectedItem() && manager->SelectedItem()->ItemLink() == this)
      manager->StoreSelectedItem(nullptr);
    bar->LinkDestroying(this);
  }
  DestroyControl();
  if (IdxBarDesignController* controller = dxBarDesignControllerSlot()) controller->DropSelection(this);
  if (FItem) {
    FItem->RemoveLink(this);
    FItem = nullptr;
  }
  LeaveOwnerLists();
}

void TdxBarItemLink::LeaveOwnerLists() {
  if (TdxBarItemLinks* owner = Owner()) {
    EraseFrom(owner->FRecentItems, this);
    EraseFrom(owner->FAvailableItems, this);
    EraseFrom(owner->FCanVisibleItems, this);
    EraseFrom(owner->FVisibleItems, this);
    EraseFrom(owner->FPrimaryForDistributionItems, this);
  }
}

void TdxBarItemLink::SetCollection(TCollection* AValue) {
  if (AValue == Collection()) return;
  if (AValue && !dynamic_cast<TdxBarItemLinks*>(AValue)) throw EInvalidCast(L"Invalid class typecast");
  TdxBarItemLinks* old = Owner();
  // The control belongs to the old collection's window.
  DestroyControl();
  LeaveOwnerLists();
  TcxInterfacedCollectionItem::SetCollection(AValue);
  if (old) old->RebuildLists();
  if (TdxBarItemLinks* owner = Owner()) {
    owner->FRecentItems.push_back(this);
    owner->RebuildLists();
  }
}

TdxBarItemLink::~TdxBarItemLink() { TObject::Free(FUserGlyph); }

TdxBarItemLinks* TdxBarItemLink::Owner() const { return static_cast<TdxBarItemLinks*>(Collection()); }

TdxBarManager* TdxBarItemLink::BarManager() const { return Owner() ? Owner()->BarManager() : nullptr; }

IdxBarControl* TdxBarItemLink::BarControl() const { return Owner() ? Owner()->BarControl() : nullptr; }

TdxBarItem* TdxBarItemLink::Item() const {
  if (!FItem && !FLoadedItemName.empty()) {
    TdxBarManager* manager = BarManager();
    if (manager && dxBarIsComparingWithAncestor(manager)) return manager->GetItemByName(FLoadedItemName);
  }
  return FItem;
}

void TdxBarItemLink::SetItem(TdxBarItem* AValue) { ChangeItem(AValue, false); }

void TdxBarItemLink::ChangeItem(TdxBarItem* AValue, bool AKeepLink) {
  if (FItem == AValue) return;
  TdxBarItemLinks* owner = Owner();
  if (owner) owner->BeginUpdate();
  try {
    DestroyControl();
    if (FItem) {
      FItem->RemoveLink(this);
      FItem = nullptr;
    }
    if (!AValue && !AKeepLink) {
      // Without an item the placement means nothing: the link goes.
      TObject::Free(this);
    } else if (AValue) {
      String error;
      if (owner && !owner->CanContainItem(AValue, error)) throw EdxException(error);
      FItem = AValue;
      FItem->AddLink(this);
      if (owner) {
        owner->RebuildLists();
        TComponent* component = owner->Owner();
        if (component && !component->ComponentState().Contains(csLoading)) ApplyMostRecentlyUsed();
        if (owner->UpdateCount() == 1)
          if (TdxBarManager* manager = BarManager()) manager->DoItemLinkChange(this);
      }
    } else if (owner) {
      owner->RebuildLists();
    }
  } catch (...) {
    if (owner) owner->EndUpdate();
    throw;
  }
  if (owner) owner->EndUpdate();
}

bool TdxBarItemLink::BeginGroup() const {
  TdxBarItemLinks* owner = Owner();
  if (!owner) return FBeginGroup;
  const int visibleIndex = VisibleIndex();
  if (FBeginGroup && visibleIndex != 0) {
    if (visibleIndex < 0) return true;
    return !dynamic_cast<TdxBarSeparator*>(owner->VisibleItems(visibleIndex - 1)->FItem);
  }
  // A window that widens client-aligned controls keeps a group start off
  // controls aligned to the centre or the right.
  const bool keepsOwnStart = [&] {
    IdxBarControl* bar = owner->BarControl();
    if (!bar || !FControl || !bar->ExtendsItemWhenAlignedToClient()) return false;
    const TdxBarItemAlign align = FControl->EffectiveAlign();
    return align == iaCenter || align == iaRight;
  }();
  if (visibleIndex > 0 && !keepsOwnStart) {
    const int previous = owner->VisibleItems(visibleIndex - 1)->Index();
    for (int i = previous + 1; i < Index(); ++i)
      if (owner->Items(i)->BeginGroup()) return true;
  }
  return false;
}

void TdxBarItemLink::SetBeginGroup(bool AValue) {
  if (FBeginGroup == AValue) return;
  FBeginGroup = AValue;
  if (FControl) FControl->BeginGroupChanged();
  Changed(false);
}

void TdxBarItemLink::SetButtonGroup(TdxBarButtonGroupPosition AValue) {
  if (FButtonGroup == AValue) return;
  FButtonGroup = AValue;
  Changed(true);
}

void TdxBarItemLink::SetDistributed(bool AValue) {
  if (FDistributed == AValue) return;
  FDistributed = AValue;
  if (TdxBarItemLinks* owner = Owner())
    if (!IsPrimaryForDistribution()) owner->FPrimaryForDistributionItems.push_back(this);
  Changed(true);
}

void TdxBarItemLink::SetDistributedWithoutPrimaryList(bool AValue) {
  if (FDistributed != AValue) {
    FDistributed = AValue;
    if (TdxBarManager* manager = BarManager()) manager->SignalDesignerModified();
  }
  if (TdxBarItemLinks* owner = Owner()) EraseFrom(owner->FPrimaryForDistributionItems, this);
}

bool TdxBarItemLink::IsPrimaryForDistribution() const {
  return Owner() && IndexIn(Owner()->FPrimaryForDistributionItems, this) >= 0;
}

void TdxBarItemLink::SetPosition(TdxBarItemPosition AValue) {
  if (FPosition == AValue) return;
  FPosition = AValue;
  Changed(true);
}

void TdxBarItemLink::SetViewLevels(TdxBarItemViewLevels AValue) {
  if (FViewLevels == AValue) return;
  FViewLevels = AValue;
  Changed(true);
}

void TdxBarItemLink::SetMostRecentlyUsed(bool AValue) {
  if (FMostRecentlyUsed == AValue) return;
  FMostRecentlyUsed = AValue;
  ApplyMostRecentlyUsed();
  if (IdxBarControl* control = BarControl()) control->RepaintBar();
  Changed(false);
}

void TdxBarItemLink::SetVisible(bool AValue) {
  TdxBarManager* manager = BarManager();
  TdxBarItemLinks* owner = Owner();
  if ((manager && manager->IsLoading()) || (owner && owner->FAssigning)) {
    FLoadedVisible = AValue;
    return;
  }
  if (FVisible == AValue) return;
  FVisible = AValue;
  if (!manager || !manager->Designing()) ApplyVisibility();
  Changed(false);
}

void TdxBarItemLink::NotifyUserDefineChange(TdxBarUserDefine AFlag) {
  if (!FControl) return;
  switch (AFlag) {
    case udCaption: FControl->CaptionChanged(); break;
    case udGlyph: FControl->ImageChanged(); break;
    case udPaintStyle: FControl->PaintStyleChanged(); break;
    case udWidth: FControl->WidthChanged(); break;
  }
}

void TdxBarItemLink::SetUserDefine(TdxBarUserDefines AValue) {
  if (FUserDefine == AValue) return;
  for (TdxBarUserDefine flag : {udCaption, udGlyph, udPaintStyle, udWidth}) {
    const bool was = FUserDefine.Contains(flag);
    const bool now = AValue.Contains(flag);
    if (was == now) continue;
    if (now) {
      FUserDefine.Include(flag);
    } else {
      FUserDefine.Exclude(flag);
      switch (flag) {
        case udCaption: FUserCaption.clear(); break;
        case udGlyph: FUserGlyph->Assign(nullptr); break;
        case udPaintStyle: FUserPaintStyle = psStandard; break;
        case udWidth: FUserWidth = 0; break;
      }
    }
    NotifyUserDefineChange(flag);
  }
  Changed(false);
}

void TdxBarItemLink::SetUserCaption(const String& AValue) {
  if (FUserCaption == AValue) return;
  FUserCaption = AValue;
  FUserDefine.Include(udCaption);
  NotifyUserDefineChange(udCaption);
  Changed(false);
}

void TdxBarItemLink::SetUserPaintStyle(TdxBarPaintStyle AValue) {
  if (PaintStyle() == AValue) return;
  FUserPaintStyle = AValue;
  FUserDefine.Include(udPaintStyle);
  NotifyUserDefineChange(udPaintStyle);
  Changed(false);
}

void TdxBarItemLink::SetUserWidth(int AValue) {
  if (Width() == AValue) return;
  FUserWidth = AValue;
  FUserDefine.Include(udWidth);
  NotifyUserDefineChange(udWidth);
  Changed(false);
}

void TdxBarItemLink::SetUserGlyph(TBitmap* AValue) {
  if (AValue == FUserGlyph) return;
  FUserGlyph->Assign(AValue);
  FUserDefine.Include(udGlyph);
  NotifyUserDefineChange(udGlyph);
  Changed(false);
}

void TdxBarItemLink::UserGlyphChanged(TObject*) { InvalidateControl(); }

void TdxBarItemLink::InvalidateControl() {
  if (FControl) FControl->Repaint();
}

String TdxBarItemLink::Caption() const {
  return FUserDefine.Contains(udCaption) || !FItem ? FUserCaption : FItem->Caption();
}

TBitmap* TdxBarItemLink::Glyph() const { return FUserDefine.Contains(udGlyph) || !FItem ? FUserGlyph : FItem->Glyph(); }

TdxBarPaintStyle TdxBarItemLink::PaintStyle() const {
  return FUserDefine.Contains(udPaintStyle) || !FItem ? FUserPaintStyle : FItem->PaintStyle();
}

int TdxBarItemLink::Width() const {
  if (FUserDefine.Contains(udWidth)) return FUserWidth;
  return FItem && FItem->LinksTakeItemWidth() ? FItem->Width() : 0;
}

int TdxBarItemLink::AvailableIndex() const { return Owner() ? Owner()->AvailableIndexOf(this) : -1; }
int TdxBarItemLink::CanVisibleIndex() const { return Owner() ? Owner()->CanVisibleIndexOf(this) : -1; }
int TdxBarItemLink::VisibleIndex() const { return Owner() ? Owner()->VisibleIndexOf(this) : -1; }
int TdxBarItemLink::IndexInRecentList() const { return Owner() ? IndexIn(Owner()->FRecentItems, this) : -1; }

void TdxBarItemLink::CreateControl() {
  if (FControl || !FItem) return;
  IdxBarControl* bar = BarControl();
  if (!bar || bar->IsDestroying()) return;
  const TClass cls = FItem->GetItemControlClass(bar->IsVertical());
  if (!cls || !cls->InheritsFrom(TdxBarItemControlBase::StaticClass())) return;
  FControl = static_cast<TdxBarItemControlBase*>(cls->NewInstance(this));
}

void TdxBarItemLink::DestroyControl() {
  TdxBarItemControlBase* control = FControl;
  FControl = nullptr;
  TObject::Free(control);
}

void TdxBarItemLink::RecreateControl() {
  TdxBarManager* manager = BarManager();
  if (manager && manager->IsUpdateLocked()) return;
  DestroyControl();
  CreateControl();
}

void TdxBarItemLink::MoveInRecentList(int AIndex) {
  TdxBarItemLinks* owner = Owner();
  if (!owner) {
    FPrevRecentIndex = AIndex;
    return;
  }
  auto& recent = owner->FRecentItems;
  const int target = std::min(AIndex, static_cast<int>(recent.size()) - 1);
  const int current = IndexIn(recent, this);
  if (current < 0 || current == target) return;
  recent.erase(recent.begin() + current);
  recent.insert(recent.begin() + target, this);
  owner->RebuildLists();
}

void TdxBarItemLink::BringToTopInRecentList(bool AIncCount) {
  if (!FItem || !FItem->ActuallyVisible() || !FVisible) return;
  TdxBarItemLinks* owner = Owner();
  const bool wasDisplayed = VisibleIndex() >= 0;
  if (!owner || owner->RecentItemsActive()) {
    MoveInRecentList(0);
    if (AIncCount) ++FUseCount;
  }
  if (CanVisibleIndex() < 0) return;
  if (!wasDisplayed && owner && owner->FBarControl) owner->FBarControl->ScheduleRepaint();
  // The menu chain: the link that opened this menu moves up too.
  if (owner)
    if (auto* parentItem = dynamic_cast<TdxBarItem*>(owner->Owner()))
      if (TdxBarItemLink* current = parentItem->CurItemLink()) current->RealItemLink()->BringToTopInRecentList(AIncCount);
}

void TdxBarItemLink::SendToBottomInRecentList() {
  TdxBarItemLinks* owner = Owner();
  const bool wasDisplayed = VisibleIndex() >= 0;
  MoveInRecentList(owner ? static_cast<int>(owner->FRecentItems.size()) - 1 : 0);
  if (wasDisplayed && owner && owner->FBarControl) owner->FBarControl->ScheduleRepaint();
}

void TdxBarItemLink::SaveRecentIndex() { FPrevRecentIndex = IndexInRecentList(); }

void TdxBarItemLink::RestoreRecentIndex() {
  if (FPrevRecentIndex >= 0) MoveInRecentList(FPrevRecentIndex);
}

void TdxBarItemLink::ApplyMostRecentlyUsed() {
  if (FMostRecentlyUsed) {
    if (TdxBarManager* manager = BarManager()) FUseCount = manager->MostRecentlyUsedUseCount();
    BringToTopInRecentList(false);
  } else {
    FUseCount = 0;
    SendToBottomInRecentList();
  }
}

void TdxBarItemLink::ApplyVisibility() {
  TdxBarItemLinks* owner = Owner();
  if (owner) owner->RebuildLists();
  if (FItem && FItem->ActuallyVisible() && FVisible) {
    BringToTopInRecentList(false);
    if (owner && owner->FBarControl) {
      CreateControl();
      if (FControl) FControl->LinkVisibilityChanged();
    }
  } else {
    SendToBottomInRecentList();
    if (FControl) {
      FControl->LinkVisibilityChanged();
      DestroyControl();
    }
  }
}

void TdxBarItemLink::PassBeginGroupToNext() {
  TdxBarItemLinks* owner = Owner();
  const int index = CanVisibleIndex();
  if (!FItem || !owner || index < 0 || index >= owner->CanVisibleItemCount() - 1) return;
  TdxBarItemLink* next = owner->CanVisibleItems(index + 1);
  if (index == 0 && next->BeginGroup())
    next->SetBeginGroup(false);
  else if (index > 0 && BeginGroup() && !next->BeginGroup())
    next->SetBeginGroup(true);
}

void TdxBarItemLink::ResolveLoadedItem() {
  if (FLoadedItemName.empty()) return;
  TdxBarManager* manager = BarManager();
  TdxBarItem* item = manager ? manager->GetItemByName(FLoadedItemName) : nullptr;
  FLoadedItemName.clear();
  if (item) SetItem(item);
}

void TdxBarItemLink::SetItemRect(const TRect& AValue) {
  FItemRect = AValue;
  if (FControl) FControl->RecalcState();
}

bool TdxBarItemLink::IsAccel(Word AKey, TShiftState AShift) const {
  if (AShift.Contains(ssCtrl)) return false;
  String caption = Caption();
  const int index = dxBarAccelCharIndex(caption, false);
  if (index == 0) return false;
  const Char c = caption[index - 1];
  if (c >= L'0' && c <= L'9') return AKey == c && AShift.Empty();
  return AKey == (VkKeyScanW(c) & 0xFF);
}

bool TdxBarItemLink::HasItem(const TdxBarItem* AItem) const {
  if (!FItem) return false;
  if (FItem == AItem) return true;
  TdxBarItemLinks* own = FItem->ItemLinks();
  return own && own != Owner() && own->HasItem(const_cast<TdxBarItem*>(AItem));
}

bool TdxBarItemLink::IsReferencedByLinksOwner(IdxBarLinksOwner* AOwner) const {
  if (!FItem || !AOwner) return false;
  if (dynamic_cast<IdxBarLinksOwner*>(FItem) == AOwner) return true;
  TdxBarItemLinks* own = FItem->ItemLinks();
  return own && own != Owner() && own->IsReferencedBy(AOwner);
}

bool TdxBarItemLink::ItemSupportsPaintStyle() const { return FItem && FItem->SupportsPaintStyle(); }

void TdxBarItemLink::UpdateItemFromAction() {
  if (FItem) FItem->UpdateFromAction();
}

TPoint TdxBarItemLink::ScreenToItemPoint(const TPoint& AScreenPoint) const {
  TPoint point = AScreenPoint;
  if (IdxBarControl* bar = BarControl())
    if (auto* window = dynamic_cast<TControl*>(bar->BarControlObject())) point = window->ScreenToClient(point);
  return TPoint(point.X - FItemRect.Left, point.Y - FItemRect.Top);
}

void TdxBarItemLink::CopyUsageFrom(TdxBarItemLink* ASource) {
  if (!ASource) return;
  FUseCount = ASource->FUseCount;
  const int index = ASource->IndexInRecentList();
  if (index >= 0) MoveInRecentList(index);
}

void TdxBarItemLink::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TdxBarItemLink*>(ASource);
  if (!source) {
    TcxInterfacedCollectionItem::Assign(ASource);
    return;
  }
  FData = source->FData;
  FUserCaption = source->FUserCaption;
  FUserGlyph->Assign(source->FUserGlyph);
  FUserPaintStyle = source->FUserPaintStyle;
  FUserWidth = source->FUserWidth;
  // In an inherited form being updated, the item of the same name in this
  // manager takes the source's place.
  TdxBarItem* item = source->Item();
  TdxBarManager* manager = BarManager();
  TComponent* target = Owner() ? Owner()->Owner() : nullptr;
  const bool updating = (manager && manager->ComponentState().Contains(csUpdating)) ||
                        (target && target->ComponentState().Contains(csUpdating));
  if (item && updating && manager) item = manager->GetItemByName(item->Name());
  // A link that loses its item here stays: it is being filled, not cleared.
  ChangeItem(item, true);
  SetUserDefine(source->FUserDefine);
  SetBeginGroup(source->BeginGroup());
  SetButtonGroup(source->FButtonGroup);
  SetDistributed(source->FDistributed);
  SetPosition(source->FPosition);
  SetViewLevels(source->FViewLevels);
  SetVisible(source->FVisible);
  // Outside a merge the copy is nobody's merge result (a merge records its
  // toolbar once the copy is made).
  FCreatedFromMergingWith = nullptr;
}

void TdxBarItemLink::DefineProperties(TFiler* AFiler) {
  TcxInterfacedCollectionItem::DefineProperties(AFiler);
  bool hasData = FItem != nullptr;
  if (auto* ancestor = dynamic_cast<TdxBarItemLink*>(AFiler->Ancestor())) {
    TdxBarItem* other = ancestor->Item();
    hasData = (other == nullptr) != (FItem == nullptr) || (other && FItem && other->Name() != FItem->Name());
  }
  AFiler->DefineProperty(
      L"ItemName", [this](TReader* r) { ReadItemName(r); }, [this](TWriter* w) { WriteItemName(w); }, hasData);
}

void TdxBarItemLink::ReadItemName(TReader* AReader) { FLoadedItemName = AReader->ReadString(); }

void TdxBarItemLink::WriteItemName(TWriter* AWriter) { AWriter->WriteString(FItem ? FItem->Name() : String()); }

// ---------------------------------------------------------------------------
// Design-time selection of a link
// ---------------------------------------------------------------------------

void TdxBarItemLink::DeleteFromDesigner(IdxBarSelectableItem*& AReference, bool) {
  AReference = nullptr;
  TObject::Free(this);
}

void TdxBarItemLink::RunCustomizationAction(TdxBarCustomizationAction AAction) {
  if (AAction == caReset) {
    SetUserDefine({});
    return;
  }
  IdxBarDesignController* controller = dxBarDesignControllerSlot();
  TdxBarItemLink* source = controller ? controller->CustomizingItemLink() : nullptr;
  if (!source) return;
  switch (AAction) {
    case caChangeCaption:
      if (FItem) FItem->SetCaption(source->Caption());
      break;
    case caChangeButtonPaintStyle: SetUserPaintStyle(source->UserPaintStyle()); break;
    case caChangePosition: SetPosition(source->Position()); break;
    case caChangeViewLevels: SetViewLevels(source->ViewLevels()); break;
    case caChangeButtonGroup: SetButtonGroup(source->ButtonGroup()); break;
    case caChangeDistributed: SetDistributed(source->Distributed()); break;
    case caChangeBeginGroup: SetBeginGroup(source->BeginGroup()); break;
    case caChangeVisible: SetVisible(source->Visible()); break;
    case caChangeRecentList: SetMostRecentlyUsed(source->MostRecentlyUsed()); break;
    default: break;
  }
}

void TdxBarItemLink::CollectMasterObjects(TdxObjectList* AList) {
  if (BarControl() && Owner()) AList->Add(Owner()->Owner());
  AList->Add(FItem);
}

IdxBarSelectableItem* TdxBarItemLink::FollowingSelectable() {
  TdxBarItemLink* next = Owner() ? Owner()->NextSelectableLink(this) : nullptr;
  return next != this ? next : nullptr;
}

TPersistent* TdxBarItemLink::SelectableParentObject() {
  return BarControl() && Owner() ? Owner()->Owner() : nullptr;
}

TdxBarSelectionStatus TdxBarItemLink::DesignSelectionState() {
  IdxBarDesigner* designer = dxBarDesignerOf(BarManager());
  return designer ? designer->GetSelectionStatus(this) : ssUnselected;
}

TdxBarCustomizationActions TdxBarItemLink::SupportedCustomizationActions() {
  return FItem ? FItem->SupportedCustomizationActions() : TdxBarCustomizationActions();
}

bool TdxBarItemLink::IsDesignSelected() {
  IdxBarDesigner* designer = dxBarDesignerOf(BarManager());
  return designer && (designer->GetSelectionStatus(this) == ssActiveSelected ||
                      (FItem && designer->GetSelectionStatus(FItem) == ssActiveSelected));
}

void TdxBarItemLink::SelectInDesigner(TdxBarSelectionOperation AOperation) {
  IdxBarDesigner* designer = dxBarDesignerOf(BarManager());
  if (!designer) return;
  if (AOperation == soExclude) designer->SelectObject(this, soExclude);
  if (FItem) designer->SelectObject(FItem, AOperation);
}

bool TdxBarItemLink::SelectParentInDesigner() {
  TdxBarManager* manager = BarManager();
  if (manager) manager->SetSelectedItem(nullptr);
  IdxBarControl* bar = BarControl();
  if (bar) bar->DeselectItemControl();
  if (IdxBarDesigner* designer = dxBarDesignerOf(manager))
    if (bar && Owner() && Owner()->Owner()) designer->SelectObject(Owner()->Owner(), soExclusive);
  return true;
}

void TdxBarItemLink::SelectionStateChanged() {
  if (FItem) FItem->SelectionStateChanged();
}

// ---------------------------------------------------------------------------
// TdxBarItemLinks
// ---------------------------------------------------------------------------

TdxBarItemLinks::TdxBarItemLinks(TdxBarManager* ABarManager, IdxBarLinksOwner* ALinksOwner)
    : TCollection(TdxBarItemLink::StaticClass()), FBarManager(ABarManager), FLinksOwner(ALinksOwner) {
  FItemOptions = Make<TdxBarItemOptions>(this);
}

void TdxBarItemLinks::BeforeDestruction() {
  TCollection::BeforeDestruction();
  DestroyBarControl();
}

// The links go while every list they leave still exists; the lists are only
// dropped afterwards.
TdxBarItemLinks::~TdxBarItemLinks() {
  FTearingDown = true;
  Clear();
  FAvailableItems.clear();
  FCanVisibleItems.clear();
  FVisibleItems.clear();
  FRecentItems.clear();
  FPrimaryForDistributionItems.clear();
  TObject::Free(FItemOptions);
}

TdxBarItemLink* TdxBarItemLinks::Add() { return static_cast<TdxBarItemLink*>(TCollection::Add()); }

TdxBarItemLink* TdxBarItemLinks::Add(TdxBarItem* AItem) {
  BeginUpdate();
  TdxBarItemLink* link = nullptr;
  try {
    link = Add();
    link->SetItem(AItem);
  } catch (...) {
    TObject::Free(link);
    EndUpdate();
    throw;
  }
  EndUpdate();
  return link;
}

TdxBarItemLink* TdxBarItemLinks::Insert(int AIndex) { return static_cast<TdxBarItemLink*>(TCollection::Insert(AIndex)); }

void TdxBarItemLinks::Move(int ACurIndex, int ANewIndex) {
  BeginUpdate();
  try {
    if (ACurIndex >= 0 && ACurIndex < Count() && ANewIndex >= 0 && ANewIndex < Count() && ACurIndex != ANewIndex)
      Items(ACurIndex)->SetIndex(ANewIndex);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  if (FBarControl) FBarControl->RepaintBar();
}

int TdxBarItemLinks::IndexOf(const TdxBarItemLink* ALink) const {
  return ALink && ALink->Collection() == this ? ALink->Index() : -1;
}

int TdxBarItemLinks::AvailableIndexOf(const TdxBarItemLink* ALink) const { return IndexIn(FAvailableItems, ALink); }
int TdxBarItemLinks::CanVisibleIndexOf(const TdxBarItemLink* ALink) const { return IndexIn(FCanVisibleItems, ALink); }
int TdxBarItemLinks::VisibleIndexOf(const TdxBarItemLink* ALink) const { return IndexIn(FVisibleItems, ALink); }

void TdxBarItemLinks::SetUseRecentItems(bool AValue) {
  if (FUseRecentItems == AValue) return;
  FUseRecentItems = AValue;
  RebuildLists();
}

bool TdxBarItemLinks::IsDesigning() const { return FBarManager && FBarManager->Designing(); }

bool TdxBarItemLinks::IsCustomizing() const { return FBarManager && FBarManager->IsCustomizing(); }

bool TdxBarItemLinks::CanContainItem(TdxBarItem* AItem, String& AErrorText) {
  AErrorText.clear();
  return !FLinksOwner || FLinksOwner->CanContainItem(AItem, AErrorText);
}

bool TdxBarItemLinks::HasItem(TdxBarItem* AItem) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->HasItem(AItem)) return true;
  return false;
}

bool TdxBarItemLinks::IsReferencedBy(IdxBarLinksOwner* AOwner) const {
  if (!AOwner) return false;
  if (AOwner->GetItemLinks() == this) return true;
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->IsReferencedByLinksOwner(AOwner)) return true;
  return false;
}

bool TdxBarItemLinks::IsControlExists(TdxBarItemControlBase* AControl) const {
  for (int i = 0; i < Count(); ++i)
    if (AControl && Items(i)->FControl == AControl) return true;
  return false;
}

TdxBarItemLink* TdxBarItemLinks::AddItemOfClass(TClass AItemClass, TComponent* AOwner) {
  TdxBarItemLink* link = Add();
  TdxBarItem* item = nullptr;
  try {
    TComponent* owner = AOwner ? AOwner : (FBarManager ? FBarManager->Owner() : nullptr);
    item = static_cast<TdxBarItem*>(AItemClass->NewInstance(owner));
    link->SetItem(item);
  } catch (...) {
    TObject::Free(item);
    TObject::Free(link);
    throw;
  }
  return link;
}

void TdxBarItemLinks::FreeForeignItems(TdxBarManager* AForeignManager) {
  TdxBarManager* bracket = dynamic_cast<TdxBar*>(Owner()) ? FBarManager : nullptr;
  if (bracket) bracket->BeginUpdate();
  TFinally done{[bracket] {
    if (bracket) bracket->EndUpdate();
  }};
  for (int i = Count() - 1; i >= 0; --i) {
    TdxBarItemLink* link = Items(i);
    TdxBarManager* manager = link->FItem ? link->FItem->BarManager() : link->BarManager();
    if (AForeignManager ? manager == AForeignManager : manager != FBarManager) TObject::Free(link);
  }
}

void TdxBarItemLinks::ClearItemRects() {
  for (int i = 0; i < Count(); ++i) Items(i)->SetItemRect(TRect());
}

bool TdxBarItemLinks::ShowsAllLinks() { return !dynamic_cast<TdxBar*>(Owner()); }

int TdxBarItemLinks::DisplayedLinkCount() {
  if (ShowsAllLinks() || !FBarControl) return VisibleItemCount();
  const TRect client = FBarControl->ClientRect();
  int count = 0;
  for (TdxBarItemLink* link : FVisibleItems) {
    const TRect& r = link->FItemRect;
    const bool inside = r.Left >= client.Left && r.Top >= client.Top && r.Right <= client.Right && r.Bottom <= client.Bottom;
    if (r.Right <= r.Left || r.Bottom <= r.Top || !inside) break;
    ++count;
  }
  return count;
}

namespace {

bool IsSelectableLink(TdxBarItemLink* ALink) { return ALink->Control() && ALink->Control()->IsSelectable(); }

}  // namespace

TdxBarItemLink* TdxBarItemLinks::StepSelectableLink(TdxBarItemLink* ALink, bool AAnyLink, int AStep) {
  const int count = DisplayedLinkCount();
  if (count == 0) return nullptr;
  if (!ALink) {
    for (int i = 0; i < count; ++i) {
      TdxBarItemLink* link = FVisibleItems[AStep > 0 ? i : count - 1 - i];
      if (IsSelectableLink(link)) return link;
    }
    return nullptr;
  }
  const int start = VisibleIndexOf(ALink);
  if (start < 0 || start >= count) return nullptr;
  for (int i = (start + AStep + count) % count; i != start; i = (i + AStep + count) % count) {
    TdxBarItemLink* link = FVisibleItems[i];
    if (AAnyLink || IsSelectableLink(link)) return link;
  }
  return nullptr;
}

TdxBarItemLink* TdxBarItemLinks::FirstSelectableLink() { return StepSelectableLink(nullptr, false, 1); }
TdxBarItemLink* TdxBarItemLinks::LastSelectableLink() { return StepSelectableLink(nullptr, false, -1); }
TdxBarItemLink* TdxBarItemLinks::NextSelectableLink(TdxBarItemLink* ALink, bool AAnyLink) {
  return StepSelectableLink(ALink, AAnyLink, 1);
}
TdxBarItemLink* TdxBarItemLinks::PrevSelectableLink(TdxBarItemLink* ALink, bool AAnyLink) {
  return StepSelectableLink(ALink, AAnyLink, -1);
}

TdxBarItemLink* TdxBarItemLinks::FindLinkByAccel(Word AKey, TShiftState AShift, TdxBarItemLink* AStartLink) {
  AShift.Exclude(ssAlt);
  return LocateAccelLink(AKey, AShift, AStartLink);
}

bool TdxBarItemLinks::AccelMatches(TdxBarItemLink* ALink, Word AKey, TShiftState AShift) const {
  return ALink->FItem && ALink->FItem->CanAccelerateLink(ALink) && ALink->IsAccel(AKey, AShift);
}

TdxBarItemLink* TdxBarControlItemLinks::LocateAccelLink(Word AKey, TShiftState AShift, TdxBarItemLink* AStartLink) {
  if (!BarControl() || !BarControl()->IsWindowVisible()) return nullptr;
  TdxBarItemLink* stop = AStartLink;
  TdxBarItemLink* link = AStartLink;
  for (;;) {
    link = NextSelectableLink(link);
    if (!link || link == stop) return nullptr;
    if (!stop) stop = link;
    if (AccelMatches(link, AKey, AShift)) return link;
  }
}

TdxBarItemLink* TdxBarSubMenuControlItemLinks::LocateAccelLink(Word AKey, TShiftState AShift,
                                                                 TdxBarItemLink* AStartLink) {
  const int count = CanVisibleItemCount();
  if (count == 0) return nullptr;
  int start = CanVisibleIndexOf(AStartLink);
  if (start < 0) start = 0;
  for (int step = 1; step <= count; ++step) {
    TdxBarItemLink* link = CanVisibleItems((start + step) % count);
    if (AccelMatches(link, AKey, AShift)) return link;
  }
  return nullptr;
}

Variant TdxBarItemLinks::DefaultItemOptionValue(TdxBarItemOption AOption) {
  switch (AOption) {
    case ioShowDescriptions: return Variant(false);
    case ioShowShortCuts: return Variant(true);
    default: return Variant(static_cast<int>(misNormal));
  }
}

Variant TdxBarItemLinks::ItemOptionValue(TdxBarItemOption AOption) {
  if (FItemOptions->HasAssignedValue(AOption) || !FParentItemLinks) {
    switch (AOption) {
      case ioShowDescriptions: return Variant(FItemOptions->ShowDescriptions());
      case ioShowShortCuts: return Variant(FItemOptions->ShowShortCuts());
      default: return Variant(static_cast<int>(FItemOptions->Size()));
    }
  }
  return FParentItemLinks->ItemOptionValue(AOption);
}

TdxBarMenuItemSize TdxBarItemLinks::EffectiveMenuItemSize() {
  return static_cast<TdxBarMenuItemSize>(ItemOptionValue(ioSize).AsInteger());
}

// ---------------------------------------------------------------------------
// TdxBarItemOptions
// ---------------------------------------------------------------------------

TdxBarItemOptions::TdxBarItemOptions(TdxBarItemLinks* AItemLinks) : FItemLinks(AItemLinks) {}

void TdxBarItemOptions::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TdxBarItemOptions*>(ASource);
  if (!source) {
    TPersistent::Assign(ASource);
    return;
  }
  FAssignedValues = source->FAssignedValues;
  FShowDescriptions = source->FShowDescriptions;
  FShowShortCuts = source->FShowShortCuts;
  FSize = source->FSize;
}

bool TdxBarItemOptions::ShowDescriptions() const {
  return HasAssignedValue(ioShowDescriptions) ? FShowDescriptions
                                              : FItemLinks->DefaultItemOptionValue(ioShowDescriptions).AsBoolean();
}

void TdxBarItemOptions::SetShowDescriptions(bool AValue) {
  FShowDescriptions = AValue;
  FAssignedValues.Include(ioShowDescriptions);
}

bool TdxBarItemOptions::ShowShortCuts() const {
  return HasAssignedValue(ioShowShortCuts) ? FShowShortCuts
                                           : FItemLinks->DefaultItemOptionValue(ioShowShortCuts).AsBoolean();
}

void TdxBarItemOptions::SetShowShortCuts(bool AValue) {
  FShowShortCuts = AValue;
  FAssignedValues.Include(ioShowShortCuts);
}

TdxBarMenuItemSize TdxBarItemOptions::Size() const {
  return HasAssignedValue(ioSize)
             ? FSize
             : static_cast<TdxBarMenuItemSize>(FItemLinks->DefaultItemOptionValue(ioSize).AsInteger());
}

void TdxBarItemOptions::SetSize(TdxBarMenuItemSize AValue) {
  FSize = AValue;
  FAssignedValues.Include(ioSize);
}

void TdxBarItemLinks::CreateBarControl() {
  if (FBarControl || !FLinksOwner) return;
  FBarControl = FLinksOwner->CreateBarControl();
  if (FBarControl) FBarControl->SetItemLinks(this);
}

void TdxBarItemLinks::DestroyBarControl() {
  IdxBarControl* control = FBarControl;
  if (!control) return;
  for (int i = 0; i < Count(); ++i) Items(i)->DestroyControl();
  FBarControl = nullptr;
  if (!control->IsDestroying()) TObject::Free(control->BarControlObject());
}

void TdxBarItemLinks::UpdateActionLinks() {
  for (int i = 0; i < Count(); ++i) Items(i)->UpdateItemFromAction();
}

bool TdxBarItemLinks::ExecuteShortCut(Word AShortCut) {
  if (AShortCut == 0) return false;
  // The actions' update handlers decide first whether their items are enabled.
  UpdateActionLinks();
  const std::vector<TdxBarItemLink*> links = FAvailableItems;
  for (TdxBarItemLink* link : links)
    if (link->FItem && link->FItem->ExecuteShortCut(AShortCut)) return true;
  return false;
}

bool TdxBarItemLinks::RecentItemsActive() const {
  return FBarManager && FBarManager->CanShowRecentItems() && FUseRecentItems &&
         (!FParentItemLinks || FParentItemLinks->RecentItemsActive());
}

int TdxBarItemLinks::CalcRecentItemCount() const {
  if (!RecentItemsActive()) return -1;
  int minCount = INT_MAX;
  int maxCount = 0;
  for (TdxBarItemLink* link : FCanVisibleItems) {
    minCount = std::min(minCount, link->FUseCount);
    maxCount = std::max(maxCount, link->FUseCount);
  }
  const int P = FBarManager->MostRecentItemsPercents();
  const int threshold = minCount + MulDiv(maxCount - minCount, 100 - P, 100);
  int result = 0;
  for (int i = CanVisibleItemCount() - 1; i >= 0; --i) {
    if (i >= static_cast<int>(FRecentItems.size())) continue;
    TdxBarItemLink* link = FRecentItems[i];
    if (link->Collection() == this && link->FUseCount >= threshold) {
      result = i + 1;
      break;
    }
  }
  return result == CanVisibleItemCount() ? -1 : result;
}

void TdxBarItemLinks::ChangeRecentItemCount(int AValue) {
  if (!RecentItemsActive()) AValue = -1;
  FPrevRecentItemCount = FRecentItemCount;
  if (AValue == FRecentItemCount) return;
  FRecentItemCount = AValue;
  RebuildLists();
}

void TdxBarItemLinks::RestoreRecentItemCount() {
  FRecentItemCount = FPrevRecentItemCount;
  RebuildLists();
}

void TdxBarItemLinks::ResolveLoadedItems() {
  for (int i = 0; i < Count(); ++i) Items(i)->ResolveLoadedItem();
  ApplyLoadedUsageState(true);
}

void TdxBarItemLinks::ApplyLoadedUsageState(bool AWithVisibility) {
  for (int i = Count() - 1; i >= 0; --i)
    if (Items(i)->FItem) Items(i)->ApplyMostRecentlyUsed();
  if (AWithVisibility)
    for (int i = Count() - 1; i >= 0; --i) Items(i)->SetVisible(Items(i)->FLoadedVisible);
  // Recent positions read from a stored layout, lowest position first.
  for (int position = 0; position < Count(); ++position)
    for (int i = 0; i < Count(); ++i) {
      TdxBarItemLink* link = Items(i);
      if (link->FLoadedRecentIndex != position) continue;
      link->FUseCount = link->FLoadedUseCount;
      link->MoveInRecentList(position);
      link->FLoadedRecentIndex = -1;
    }
  if (!AWithVisibility) {
    // Usage data alone: the links a menu can show lead the recent list.
    std::stable_partition(FRecentItems.begin(), FRecentItems.end(),
                          [this](TdxBarItemLink* ALink) { return IndexIn(FCanVisibleItems, ALink) >= 0; });
    RebuildLists();
  }
  for (int j = 0; j < Count(); ++j) Items(j)->FLoadedRecentIndex = -1;
  if (FBarControl) FBarControl->RebuildItemControls();
}

void TdxBarItemLinks::RebuildLists() {
  if (FTearingDown) return;
  FAvailableItems.clear();
  FCanVisibleItems.clear();
  FVisibleItems.clear();
  const bool designing = IsDesigning();
  for (int i = 0; i < Count(); ++i) {
    TdxBarItemLink* link = Items(i);
    if (!link->FItem || (!designing && !link->FItem->ActuallyVisible())) continue;
    FAvailableItems.push_back(link);
    if (designing || link->FVisible) {
      FCanVisibleItems.push_back(link);
      if (designing || FRecentItemCount == -1) FVisibleItems.push_back(link);
    }
  }
  if (!designing && FRecentItemCount > 0) {
    for (TdxBarItemLink* link : FRecentItems) {
      if (static_cast<int>(FVisibleItems.size()) >= FRecentItemCount) break;
      if (IndexIn(FCanVisibleItems, link) >= 0) FVisibleItems.push_back(link);
    }
    std::sort(FVisibleItems.begin(), FVisibleItems.end(), [this](TdxBarItemLink* a, TdxBarItemLink* b) {
      return IndexIn(FCanVisibleItems, a) < IndexIn(FCanVisibleItems, b);
    });
  }
  if (IsCustomizing() || UpdateCount() > 0) return;
  // Trailing separators and all but the last of a run disappear.
  bool laterIsSeparator = true;
  for (int i = static_cast<int>(FVisibleItems.size()) - 1; i >= 0; --i) {
    TdxBarItemLink* link = FVisibleItems[i];
    const bool isSeparator = dynamic_cast<TdxBarSeparator*>(link->FItem) != nullptr;
    if (isSeparator && laterIsSeparator) {
      FVisibleItems.erase(FVisibleItems.begin() + i);
      EraseFrom(FCanVisibleItems, link);
    } else {
      laterIsSeparator = isSeparator;
    }
  }
}

void TdxBarItemLinks::Merge(TdxBarItemLinks* ASource, TdxBar* AMergingBar) {
  for (int s = 0; s < ASource->Count(); ++s) {
    TdxBarItemLink* source = ASource->Items(s);
    TdxBarItem* sourceItem = source->FItem;
    if (!sourceItem) continue;
    TdxBarItemMergeKind kind = sourceItem->MergeKind();
    int position = -1;
    if (kind == mkMergeByCaption)
      for (int i = Count() - 1; i >= 0 && position < 0; --i) {
        TdxBarItem* item = Items(i)->FItem;
        if (item && item->MergeKind() == mkMergeByCaption && Items(i)->Caption() == source->Caption() &&
            item->IsSameKindBothWays(sourceItem))
          position = i;
      }
    if (kind != mkNone && position < 0) {
      // After the last link of the greatest merge order not above the source's.
      position = 0;
      int best = -1;
      for (int i = 0; i < Count(); ++i) {
        TdxBarItem* item = Items(i)->FItem;
        const int order = item ? item->MergeOrder() : 0;
        if (order <= sourceItem->MergeOrder() && order >= best) {
          best = order;
          position = i + 1;
        }
      }
      kind = mkAdd;
    }
    if (FBarManager) FBarManager->DoMergeItemLink(this, ASource, source, kind, position);
    if (position < 0) kind = mkNone;
    if (kind == mkMergeByCaption &&
        (position >= Count() || !Items(position)->FItem || !Items(position)->FItem->IsSameKindBothWays(sourceItem)))
      kind = mkNone;
    if (kind == mkAdd && position > Count()) kind = mkNone;
    if (kind == mkMergeByCaption) {
      TdxBarItemLinks* target = Items(position)->FItem->ItemLinks();
      if (target && sourceItem->ItemLinks()) target->Merge(sourceItem->ItemLinks(), AMergingBar);
    } else if (kind == mkAdd) {
      TdxBarItemLink* link = Insert(position);
      link->Assign(source);
      link->FCreatedFromMergingWith = AMergingBar;
    }
  }
}

void TdxBarItemLinks::Unmerge(TdxBar* ABar) {
  for (int i = Count() - 1; i >= 0; --i) {
    TdxBarItemLink* link = Items(i);
    if (link->FCreatedFromMergingWith && (!ABar || link->FCreatedFromMergingWith == ABar))
      TObject::Free(link);
    else if (link->FItem && link->FItem->ItemLinks() && link->FItem->ItemLinks() != this)
      link->FItem->ItemLinks()->Unmerge(ABar);
  }
}

void TdxBarItemLinks::Assign(TPersistent* ASource) {
  if (!dynamic_cast<TdxBarItemLinks*>(ASource)) {
    TCollection::Assign(ASource);
    return;
  }
  FAssigning = true;
  try {
    TCollection::Assign(ASource);
  } catch (...) {
    FAssigning = false;
    for (int i = 0; i < Count(); ++i) Items(i)->SetVisible(Items(i)->FLoadedVisible);
    throw;
  }
  FAssigning = false;
  for (int i = 0; i < Count(); ++i) Items(i)->SetVisible(Items(i)->FLoadedVisible);
}

void TdxBarItemLinks::Update(TCollectionItem* AItem) {
  if (FTearingDown) return;
  if (!AItem) RebuildLists();
  TComponent* owner = Owner();
  if (owner && owner->ComponentState().Contains(csDestroying)) return;
  TCollection::Update(AItem);
  // A window's own links are no part of the design.
  if (FBarManager && !FIsInternal) FBarManager->SignalDesignerModified();
  if (AItem) {
    if (FBarManager) FBarManager->DoItemLinkChange(static_cast<TdxBarItemLink*>(AItem));
    return;
  }
  if (FBarControl) FBarControl->RepaintBar();
  if (OnChange) OnChange(this);
}
