#include "bars/model/dxBarItem.h"

#include "bars/model/dxBarItemActions.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarRoutines.h"
#include "bars/model/dxBarScreenTip.h"
#include "bars/model/dxBarStrs.h"
#include "bars/model/dxBarToolbars.h"

#include "foundation/cxClasses.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxGraphicsRoutines.h"
#include "platform/core/Filer.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"

#include <algorithm>

namespace {

// Stored while the item has no action link or the link does not report the
// property as following the action.
template <bool (TdxBarItemActionLink::*Linked)()>
bool NotLinked(TObject* AItem) {
  TdxBarItemActionLink* link = static_cast<TdxBarItem*>(AItem)->ActionLink();
  return !link || !(link->*Linked)();
}

bool IsLargeButton(TObject* AItem) { return AItem->InheritsFrom(TdxBarLargeButton::StaticClass()); }

template <class T>
void PublishItemProperties(TClassBuilder<T>& b) {
  b.Prop(L"Action", &T::Action, &T::SetAction);
  DefaultValue(b.Prop(L"Align", &T::Align, &T::SetAlign), iaLeft);
  b.Prop(L"Caption", [](T* o) { return o->Caption(); }, [](T* o, const String& v) { o->SetCaption(v); }).Stored =
      [](TObject* o) { return static_cast<T*>(o)->CaptionNeedsStoring(); };
  b.Prop(L"Category", &T::Category, &T::SetCategory);
  b.Prop(L"Description", &T::Description, &T::SetDescription);
  DefaultValue(b.Prop(L"Enabled", [](T* o) { return o->Enabled(); }, [](T* o, bool v) { o->SetEnabled(v); }), 1)
      .Stored = NotLinked<&TdxBarItemActionLink::IsEnabledLinked>;
  DefaultValue(b.Prop(L"HelpContext", &T::HelpContext, &T::SetHelpContext), 0).Stored =
      NotLinked<&TdxBarItemActionLink::IsHelpContextLinked>;
  b.Prop(L"Hint", &T::Hint, &T::SetHint).Stored = NotLinked<&TdxBarItemActionLink::IsHintLinked>;
  b.Prop(L"KeyTip", &T::KeyTip, &T::SetKeyTip);
  DefaultValue(b.Prop(L"MergeKind", &T::MergeKind, &T::SetMergeKind), mkAdd);
  DefaultValue(b.Prop(L"MergeOrder", &T::MergeOrder, &T::SetMergeOrder), 0);
  b.Prop(L"Style", &T::Style, &T::SetStyle);
  b.Prop(L"ScreenTip", &T::ScreenTip, &T::SetScreenTip);
  b.Prop(L"Visible", &T::Visible, [](T* o, TdxBarItemVisible v) { o->SetVisible(v); }).Stored =
      NotLinked<&TdxBarItemActionLink::IsVisibleLinked>;
  b.Prop(L"OnDestroy", &T::OnDestroy, &T::OnDestroy);
}

template <class T>
void PublishButtonProperties(TClassBuilder<T>& b) {
  DefaultValue(b.Prop(L"AllowAllUp", &T::AllowAllUp, &T::SetAllowAllUp), 0);
  DefaultValue(b.Prop(L"ButtonStyle", &T::ButtonStyle, &T::SetButtonStyle), bsDefault);
  DefaultValue(b.Prop(L"CloseSubMenuOnClick", &T::CloseSubMenuOnClick, &T::SetCloseSubMenuOnClick), 1);
  DefaultValue(b.Prop(L"DropDownEnabled", &T::DropDownEnabled, &T::SetDropDownEnabled), 1);
  DefaultValue(b.Prop(L"GroupIndex", &T::GroupIndex, &T::SetGroupIndex), 0);
  DefaultValue(b.Prop(L"Down", &T::Down, &T::SetDown), 0).Stored = NotLinked<&TdxBarItemActionLink::IsCheckedLinked>;
  b.Prop(L"Glyph", &T::Glyph, &T::SetGlyph).Stored = [](TObject* o) { return !static_cast<T*>(o)->Glyph()->Empty(); };
  b.Prop(L"LargeGlyph", &T::LargeGlyph, &T::SetLargeGlyph).Stored = [](TObject* o) {
    return !static_cast<T*>(o)->LargeGlyph()->Empty();
  };
  DefaultValue(b.Prop(L"Lowered", &T::Lowered, &T::SetLowered), 0);
  DefaultValue(b.Prop(L"ShortCut", &T::ShortCut, &T::SetShortCut), 0).Stored =
      NotLinked<&TdxBarItemActionLink::IsShortCutLinked>;
  DefaultValue(b.Prop(L"UnclickAfterDoing", &T::UnclickAfterDoing, &T::SetUnclickAfterDoing), 1);
  b.Prop(L"OnClick", &T::OnClick, &T::OnClick).Stored = NotLinked<&TdxBarItemActionLink::IsOnExecuteLinked>;
}

}  // namespace

IMPLEMENT_CLASS(TdxBarItem, TdxBarComponent, nullptr)

BEGIN_CLASS(TdxBarButton, TdxBarItem, (ConstructWith<TdxBarButton, TComponent>))
  PublishItemProperties(b);
  PublishButtonProperties(b);
  // A large button carries its small index in a property of its own, and
  // its large index is the one an action's image index follows.
  DefaultValue(b.Prop(L"ImageIndex", &TdxBarButton::ImageIndex, [](TdxBarButton* o, int v) { o->SetImageIndex(v); }), -1)
      .Stored = [](TObject* o) { return !IsLargeButton(o) && NotLinked<&TdxBarItemActionLink::IsImageIndexLinked>(o); };
  DefaultValue(b.Prop(L"LargeImageIndex", &TdxBarButton::LargeImageIndex,
                      [](TdxBarButton* o, int v) { o->SetLargeImageIndex(v); }), -1)
      .Stored = [](TObject* o) { return !IsLargeButton(o) || NotLinked<&TdxBarItemActionLink::IsImageIndexLinked>(o); };
  DefaultValue(b.Prop(L"PaintStyle", &TdxBarButton::PaintStyle, &TdxBarButton::SetPaintStyle), psStandard);
END_CLASS

BEGIN_CLASS(TdxBarLargeButton, TdxBarButton, (ConstructWith<TdxBarLargeButton, TComponent>))
  using L = TdxBarLargeButton;
  DefaultValue(b.Prop(L"AutoGrayScale", &L::AutoGrayScale, &L::SetAutoGrayScale), 1);
  DefaultValue(b.Prop(L"GlyphLayout", &L::GlyphLayout, &L::SetGlyphLayout), glTop);
  DefaultValue(b.Prop(L"Height", &L::Height, &L::SetHeight), 0);
  b.Prop(L"HotGlyph", &L::HotGlyph, &L::SetHotGlyph).Stored = [](TObject* o) {
    return !static_cast<L*>(o)->HotGlyph()->Empty();
  };
  DefaultValue(b.Prop(L"HotImageIndex", &L::HotImageIndex, &L::SetHotImageIndex), -1);
  DefaultValue(b.Prop(L"ShowCaption", &L::ShowCaption, &L::SetShowCaption), 1);
  DefaultValue(b.Prop(L"SyncImageIndex", &L::SyncImageIndex, &L::SetSyncImageIndex), 1);
  DefaultValue(b.Prop(L"Width", [](L* o) { return o->Width(); }, [](L* o, int v) { o->SetWidth(v); }), 0);
END_CLASS

BEGIN_CLASS(TdxBarLabel, TdxBarItem, (ConstructWith<TdxBarLabel, TComponent>))
  PublishItemProperties(b);
END_CLASS

BEGIN_CLASS(TdxBarSeparator, TdxBarLabel, (ConstructWith<TdxBarSeparator, TComponent>))
  DefaultValue(b.Prop(L"ShowCaption", &TdxBarSeparator::ShowCaption, &TdxBarSeparator::SetShowCaption), 1);
END_CLASS

// Texts that items load straight from the program's string table, not
// through the text repository: a replacement there does not change them.
static String DirectText(const TResStringRec& ARecord) { return LoadResString(&ARecord); }

// ---------------------------------------------------------------------------
// TdxBarItem
// ---------------------------------------------------------------------------

TdxBarItem::TdxBarItem(TComponent* AOwner) : TdxBarComponent(AOwner) {
  TdxBarManager* manager = dxBarManagerFromObject(AOwner);
  // Only an item made without owner may join whichever manager exists; one
  // made on a form without a manager must not join another form's manager.
  if (!manager && !AOwner)
    if (TdxBarManagerList* list = dxBarManagerList()) manager = list->ManagerAt(0);
  if (manager) SetBarManager(manager);
  FGlyph = dxBarNewNotifyingBitmap(TNotifyEvent::Bind<&TdxBarItem::GlyphChanged>(this));
  FLargeGlyph = dxBarNewNotifyingBitmap(TNotifyEvent::Bind<&TdxBarItem::LargeGlyphChanged>(this));
}

void TdxBarItem::AfterConstruction() {
  TdxBarComponent::AfterConstruction();
  // The slot count is the class's: known only once the object is whole.
  if (!FStylesData) {
    FStylesData = Make<TdxBarItemStylesData>(this, StyleCount());
    FStylesData->OnChange =
        TdxBarItemStylesDataChangeEvent::Bind<&TdxBarItem::HandleStylesChanged>(this);
  }
}

void TdxBarItem::BeforeDestruction() {
  TdxBarComponent::BeforeDestruction();
  if (OnDestroy) OnDestroy(this);
  DropAllLinks();
}

TdxBarItem::~TdxBarItem() {
  TObject::Free(FStylesData);
  FStylesData = nullptr;
  while (!FLinks.empty()) TObject::Free(FLinks.back());
  TObject::Free(FActionLink);
  FActionLink = nullptr;
  TObject::Free(FLargeGlyph);
  TObject::Free(FGlyph);
  cxClearObjectLinks(this);
  if (FBarManager && FBarManager->ItemList()) FBarManager->ItemList()->Remove(this);
}

void TdxBarItem::SetBarManager(TdxBarManager* AManager) {
  if (FBarManager == AManager) return;
  if (FBarManager && FBarManager->ItemList()) FBarManager->ItemList()->Remove(this);
  FBarManager = AManager;
  if (FBarManager) FBarManager->ItemList()->Add(this);
}

TComponent* TdxBarItem::GetParentComponent() { return HasParent() ? FBarManager : nullptr; }

void TdxBarItem::SetParentComponent(TComponent* AParent) {
  auto* manager = dynamic_cast<TdxBarManager*>(AParent);
  if (!manager) {
    // An item without category is stored with its form, which the reader
    // then offers as parent: the item keeps the manager it found.
    if (IsLoading()) return;
    throw EInvalidCast(L"Invalid class typecast");
  }
  SetBarManager(manager);
  BarManagerAssigned();
}

void TdxBarItem::Loaded() {
  TdxBarComponent::Loaded();
  if (TBasicAction* action = Action()) ApplyActionProperties(action, true);
  if (OnCreate) OnCreate(this);
}

bool TdxBarItem::Enabled() {
  if (FBarManager && FBarManager->IsCustomizing() && !FBarManager->Designing() && FCategory >= 0) return true;
  return FEnabled;
}

void TdxBarItem::SetEnabled(bool AValue) {
  if (FEnabled == AValue) return;
  FEnabled = AValue;
  if (!IsLoading()) EnabledChanged();
}

void TdxBarItem::SetVisible(TdxBarItemVisible AValue) {
  if (FVisible == AValue) return;
  FVisible = AValue;
  if (!IsLoading() && !ComponentState().Contains(csDesigning)) VisibilityChanged();
}

void TdxBarItem::SetName(const String& ANewName) {
  TdxBarComponent::SetName(ANewName);
  if (!(ComponentState().Contains(csDesigning) && ANewName.empty())) NotifyListsOfChange(false);
}

void TdxBarItem::SetAlign(TdxBarItemAlign AValue) {
  if (FAlign == AValue) return;
  FAlign = AValue;
  RepaintAllBars();
}

void TdxBarItem::SetGlyphLayout(TdxBarGlyphLayout AValue) {
  if (FGlyphLayout == AValue) return;
  FGlyphLayout = AValue;
  RepaintAllBars();
}

String TdxBarItem::CaptionWithoutMarkers() {
  String caption = Caption();
  const size_t amp = caption.find(L'&');
  if (amp != String::npos) caption.erase(amp, 1);
  const size_t dots = caption.find(L"...");
  if (dots != String::npos) caption.erase(dots, 3);
  return caption;
}

bool TdxBarItem::HintMatchesCaption() {
  const size_t bar = FHint.find(L'|');
  return (bar == String::npos ? FHint : FHint.substr(0, bar)) == CaptionWithoutMarkers();
}

bool TdxBarItem::CaptionNeedsStoring() { return !FActionLink || !FActionLink->IsCaptionLinked(); }

void TdxBarItem::SetCaption(const String& AValue) {
  if (FCaption == AValue) return;
  const bool hintFollows =
      !IsLoading() && !FCheckDefaults && CaptionSetsHint() && (FHint.empty() || HintMatchesCaption());
  FCaption = AValue;
  if (IsLoading()) return;
  if (hintFollows) {
    const size_t bar = FHint.find(L'|');
    FHint = CaptionWithoutMarkers() + (bar == String::npos ? String() : FHint.substr(bar));
  }
  CaptionChanged();
}

void TdxBarItem::SetCategory(int AValue) {
  if (IsLoading()) {
    FCategory = AValue;
    return;
  }
  if (!FBarManager || AValue < 0 || AValue >= FBarManager->Categories()->Count()) return;
  MoveIntoCategoryOrder(AValue);
  FCategory = AValue;
  NotifyListsOfChange(true);
}

// Behind the last item of the category in the manager's item list.
void TdxBarItem::MoveIntoCategoryOrder(int ACategory) {
  TList items;
  if (FBarManager->GetAllItemsByCategory(ACategory, &items) == 0) return;
  const int last = FBarManager->ItemList()->IndexOf(static_cast<TdxBarItem*>(items.Last()));
  const int own = Index();
  FBarManager->MoveItem(own, last < own ? last + 1 : last);
}

void TdxBarItem::SetDescription(const String& AValue) {
  if (FDescription == AValue) return;
  FDescription = AValue;
  NotifyListsOfChange(false);
}

void TdxBarItem::SetGlyph(TBitmap* AValue) { FGlyph->Assign(AValue); }

void TdxBarItem::SetLargeGlyph(TBitmap* AValue) { FLargeGlyph->Assign(AValue); }

void TdxBarItem::SetImageIndex(int AValue) {
  if (FImageIndex == AValue) return;
  FImageIndex = AValue;
  ImageIndexChanged();
}

void TdxBarItem::SetLargeImageIndex(int AValue) {
  if (FLargeImageIndex == AValue) return;
  FLargeImageIndex = AValue;
  LargeImageIndexChanged();
}

void TdxBarItem::SetShortCut(TShortCut AValue) {
  if (FShortCut == AValue) return;
  FShortCut = AValue;
  if (!IsLoading()) ShortCutChanged();
}

void TdxBarItem::SetPaintStyle(TdxBarPaintStyle AValue) {
  if (FPaintStyle == AValue) return;
  FPaintStyle = AValue;
  if (!IsLoading()) PaintStyleChanged();
}

void TdxBarItem::SetShowCaption(bool AValue) {
  if (FShowCaption == AValue) return;
  FShowCaption = AValue;
  if (!IsLoading()) RepaintAllBars();
}

void TdxBarItem::SetWidth(int AValue) {
  if (AValue < 0 || AValue == FWidth) return;
  FWidth = AValue;
  WidthChanged();
}

int TdxBarItem::Index() const {
  return FBarManager ? FBarManager->ItemList()->IndexOf(const_cast<TdxBarItem*>(this)) : -1;
}

void TdxBarItem::SetIndex(int AValue) {
  if (FBarManager) FBarManager->MoveItem(Index(), AValue);
}

bool TdxBarItem::ActuallyVisible() {
  const bool customizing = FBarManager && FBarManager->IsCustomizing();
  return (FVisible == ivAlways && (HasDisplayableContent() || customizing)) ||
         (FVisible == ivInCustomizing && customizing);
}

TdxBarItemLink* TdxBarItem::CurItemLink() const {
  for (TdxBarItemLink* link : FLinks)
    if (link->Control() && link->Control()->IsActive()) return link;
  return nullptr;
}

TdxBarItemLink* TdxBarItem::LinkAt(int AIndex) const {
  return AIndex >= 0 && AIndex < LinkCount() ? FLinks[AIndex] : nullptr;
}

bool TdxBarItem::VisibleForUser() const {
  return std::any_of(FLinks.begin(), FLinks.end(), [](TdxBarItemLink* l) { return l->CanVisibleIndex() != -1; });
}

void TdxBarItem::AddLink(TdxBarItemLink* ALink) { FLinks.push_back(ALink); }

void TdxBarItem::RemoveLink(TdxBarItemLink* ALink) {
  FLinks.erase(std::remove(FLinks.begin(), FLinks.end(), ALink), FLinks.end());
}

TCustomImageList* TdxBarItem::GetCurImages() { return FBarManager ? FBarManager->Images() : nullptr; }

bool TdxBarItem::ImageListHasImage(TCustomImageList* AImages, int AIndex) { return cxIsValidImageIndex(AImages, AIndex); }

bool TdxBarItem::HasImage() { return ImageListHasImage(GetCurImages(), FImageIndex); }

void TdxBarItem::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TdxBarItem*>(ASource);
  if (!source) {
    TdxBarComponent::Assign(ASource);
    return;
  }
  SetAction(source->Action());
  SetAlign(source->FAlign);
  SetCaption(source->Caption());
  SetCategory(source->FCategory);
  SetDescription(source->FDescription);
  SetEnabled(source->FEnabled);
  SetHelpContext(source->FHelpContext);
  SetHint(source->FHint);
  SetKeyTip(source->FKeyTip);
  SetMergeKind(source->FMergeKind);
  SetMergeOrder(source->FMergeOrder);
  SetStyle(source->Style());
  SetScreenTip(source->FScreenTip);
  SetVisible(source->FVisible);
  SetData(source->FData);
  SetGlyph(source->FGlyph);
  SetImageIndex(source->FImageIndex);
  SetLargeGlyph(source->FLargeGlyph);
  SetLargeImageIndex(source->FLargeImageIndex);
  SetShortCut(source->FShortCut);
  OnClick = source->OnClick;
}

void TdxBarItem::AssignTo(TPersistent* ADest) {
  auto* action = dynamic_cast<TCustomAction*>(ADest);
  if (!action) {
    TdxBarComponent::AssignTo(ADest);
    return;
  }
  action->SetCaption(Caption());
  if (auto* button = dynamic_cast<TdxBarButton*>(this)) action->SetChecked(button->Down());
  action->SetEnabled(Enabled());
  action->SetHelpContext(FHelpContext);
  action->SetHint(FHint);
  action->SetImageIndex(FImageIndex);
  action->SetShortCut(FShortCut);
  // An item shown only while customizing leaves the action as it is.
  if (FVisible != ivInCustomizing) action->SetVisible(FVisible == ivAlways);
  action->OnExecute = OnClick;
}

// ---------------------------------------------------------------------------
// Action binding
// ---------------------------------------------------------------------------

TBasicAction* TdxBarItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

TClass TdxBarItem::ActionLinkClass() { return TdxBarItemActionLink::StaticClass(); }

void TdxBarItem::SetAction(TBasicAction* AValue) {
  TBasicAction* old = Action();
  if (old == AValue) return;
  if (old) old->RemoveFreeNotification(this);
  if (!AValue) {
    TObject::Free(FActionLink);
    FActionLink = nullptr;
    return;
  }
  // Values taken from an action still being read do not count as a change
  // of the design.
  const bool actionLoading = AValue->ComponentState().Contains(csLoading);
  TdxBarManager* lockedManager = actionLoading ? FBarManager : nullptr;
  if (lockedManager) lockedManager->SetDesignerNotifyLock(true);
  TFinally unlock{[lockedManager] {
    if (lockedManager) lockedManager->SetDesignerNotifyLock(false);
  }};
  if (!FActionLink) {
    const TClass cls = ActionLinkClass();
    if (!cls || !cls->InheritsFrom(TdxBarItemActionLink::StaticClass()))
      throw EInvalidCast(L"Invalid class typecast");
    FActionLink = static_cast<TdxBarItemActionLink*>(cls->NewInstance(static_cast<TObject*>(this)));
  }
  FActionLink->SetAction(AValue);
  FActionLink->OnChange = TNotifyEvent::Bind<&TdxBarItem::HandleActionChange>(this);
  ApplyActionProperties(AValue, actionLoading);
  AValue->FreeNotification(this);
}

void TdxBarItem::UpdateFromAction() {
  if (FActionLink) FActionLink->Update();
}

void TdxBarItem::HandleActionChange(TObject* ASender) {
  if (ASender && ASender == Action()) ApplyActionProperties(Action(), false);
}

void TdxBarItem::ApplyActionProperties(TBasicAction* AAction, bool ACheckDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(AAction);
  if (!action) return;
  if (!ACheckDefaults || FCaption.empty()) {
    // In check-defaults mode the caption arrives without taking the hint along.
    FCheckDefaults = ACheckDefaults;
    TFinally reset{[this] { FCheckDefaults = false; }};
    SetCaption(action->Caption());
  }
  if (auto* button = dynamic_cast<TdxBarButton*>(this))
    if (!ACheckDefaults || !button->Down()) button->SetDown(action->Checked());
  if (!ACheckDefaults || Enabled()) SetEnabled(action->Enabled());
  if (!ACheckDefaults || FHelpContext == 0) SetHelpContext(action->HelpContext());
  if (!ACheckDefaults || FHint.empty()) SetHint(action->Hint());
  if (!ACheckDefaults || EditableImageIndex() == -1) AssignEditableImageIndex(action->ImageIndex());
  if (!ACheckDefaults || FShortCut == 0) SetShortCut(action->ShortCut());
  if (!ACheckDefaults || FVisible == ivAlways) SetVisible(dxBarVisibleFromBoolean(action->Visible()));
  if (!ACheckDefaults || !OnClick) OnClick = action->OnExecute;
}

// ---------------------------------------------------------------------------
// Styles
// ---------------------------------------------------------------------------

TcxStyle* TdxBarItem::Style() const { return FStylesData ? FStylesData->GetStyle(0) : nullptr; }

void TdxBarItem::SetStyle(TcxStyle* AValue) {
  if (FStylesData) FStylesData->SetStyle(0, AValue);
}

void TdxBarItem::HandleStylesChanged(TdxBarItemStyleChangeKind AKind) {
  if (ComponentState().Contains(csDestroying)) return;
  if (AKind == sckStructure) {
    const std::vector<TdxBarItemLink*> links = FLinks;
    for (TdxBarItemLink* link : links)
      if (link->Control()) link->RecreateControl();
    RepaintAllBars();
  } else if (AKind == sckDrawing) {
    ForEachLinkControl([](TdxBarItemControlBase* c) { c->RecalcDrawingConsts(); });
    RepaintUnfocusedControls();
  }
}

void TdxBarItem::GetStyleViewParams(TcxViewParams& AParams) {
  AParams = TcxViewParams();
  TcxStyle* style = Style();
  if (!style) return;
  const TcxStyleValues values = style->AssignedValues();
  if (values.Contains(svBitmap)) AParams.Bitmap = style->Bitmap();
  if (values.Contains(svColor)) AParams.Color = style->Color();
  if (values.Contains(svFont)) AParams.Font = style->Font();
  if (values.Contains(svTextColor)) AParams.TextColor = style->TextColor();
}

// ---------------------------------------------------------------------------
// Click path
// ---------------------------------------------------------------------------

void TdxBarItem::Click() {
  if (CanClickByShortCut()) DirectClick();
}

void TdxBarItem::DirectClick() {
  if (!Enabled()) return;
  try {
    if (FBarManager) FBarManager->DoClickItem(this);
    DoClick();
  } catch (...) {
    Application->HandleException(this);
  }
}

void TdxBarItem::DoClick() {
  TBasicAction* action = Action();
  // Only the code is compared: OnClick taken from the action runs the action
  // (its list and update handlers included), not the handler alone.
  if (OnClick && (!action || OnClick.Method().Code != action->OnExecute.Method().Code)) {
    OnClick(this);
    return;
  }
  if (IsDesigning()) return;
  if (FActionLink) FActionLink->Execute(this);
}

bool TdxBarItem::ExecuteShortCut(TShortCut AShortCut) {
  if (!Enabled()) return false;
  if (CanClickByShortCut() && AShortCut == FShortCut) {
    Click();
    return true;
  }
  if (TdxBarItemLinks* links = ItemLinks()) return links->ExecuteShortCut(AShortCut);
  return false;
}

bool TdxBarItem::CanBePlacedOn(int, TComponent*, String& AErrorText) {
  AErrorText.clear();
  return true;
}

bool TdxBarItem::CanAccelerateLink(TdxBarItemLink*) { return Enabled(); }

TClass TdxBarItem::GetItemControlClass(bool) {
  TdxBarItemList* registry = dxBarSharedItemClassRegistry();
  return registry ? registry->ItemControlClassOf(ClassType()) : nullptr;
}

String TdxBarItem::GetNewItemCaption() { return DirectText(dxSBAR_NEWITEMCAPTION); }

void TdxBarItem::DrawInCommandList(TCanvas* ACanvas, const TRect& ARect, bool ASelected) {
  const String caption = dxBarRemoveAccelChars(Caption());
  if (TdxBarCommandListDrawProc draw = dxBarCommandListDrawer()) {
    draw(ACanvas, ARect, ASelected, caption, this);
    return;
  }
  // Without the customization form's painter: the system's list look.
  if (ASelected) {
    ACanvas->Brush()->SetColor(clHighlight);
    ACanvas->FillRect(ARect);
  } else {
    DrawCommandListBackground(ACanvas, ARect);
  }
  ACanvas->Font()->SetColor(ASelected ? clHighlightText : clWindowText);
  TRect textRect = ARect;
  textRect.Left += 2;
  String text = caption;
  ACanvas->TextRect(textRect, text, {tfSingleLine, tfVerticalCenter, tfNoPrefix, tfEndEllipsis});
}

void TdxBarItem::DrawCommandListBackground(TCanvas* ACanvas, const TRect& ARect) {
  ACanvas->Brush()->SetColor(clWindow);
  ACanvas->FillRect(ARect);
}

void TdxBarItem::ShowEventHandlerInDesigner() {
  if (IdxBarDesigner* designer = dxBarDesignerOf(FBarManager)) designer->ShowDefaultEventHandler(this);
}

// ---------------------------------------------------------------------------
// Change notices
// ---------------------------------------------------------------------------

template <class F>
void TdxBarItem::ForEachLinkControl(F&& AProc, TdxBarUserDefines ASkipOverridden) const {
  const std::vector<TdxBarItemLink*> links = FLinks;
  for (TdxBarItemLink* link : links)
    if (TdxBarItemControlBase* control = link->Control())
      if ((link->UserDefine() * ASkipOverridden).Empty()) AProc(control);
}

void TdxBarItem::CaptionChanged() {
  ForEachLinkControl([](TdxBarItemControlBase* c) { c->CaptionChanged(); }, {udCaption});
  NotifyListsOfChange(false);
}

void TdxBarItem::EnabledChanged() {
  ForEachLinkControl([](TdxBarItemControlBase* c) {
    c->ClearDrawingCache(false);
    c->EnabledStateChanged();
  });
}

void TdxBarItem::ImageIndexChanged() {
  ForEachLinkControl([](TdxBarItemControlBase* c) { c->ClearDrawingCache(true); }, {udGlyph});
  ForEachLinkControl([](TdxBarItemControlBase* c) { c->ImageChanged(); }, {udGlyph});
  NotifyListsOfChange(false);
}

void TdxBarItem::HotImageChanged() {
  ForEachLinkControl([](TdxBarItemControlBase* c) {
    c->ClearDrawingCache(false);
    c->HotImageChanged();
  });
}

void TdxBarItem::LargeImageIndexChanged() {
  ForEachLinkControl([](TdxBarItemControlBase* c) { c->ClearDrawingCache(true); });
  ForEachLinkControl([](TdxBarItemControlBase* c) { c->LargeImageChanged(); });
  NotifyListsOfChange(false);
}

void TdxBarItem::PaintStyleChanged() {}

void TdxBarItem::ShortCutChanged() {
  RepaintBarsOfKinds({bkSubMenu});
  NotifyListsOfChange(false);
}

void TdxBarItem::VisibilityChanged() {
  if (FBarManager) FBarManager->BeginUpdate();
  try {
    const std::vector<TdxBarItemLink*> links = FLinks;
    for (TdxBarItemLink* link : links) link->ApplyVisibility();
  } catch (...) {
    if (FBarManager) FBarManager->EndUpdate();
    throw;
  }
  if (FBarManager) FBarManager->EndUpdate();
  NotifyListsOfChange(false);
}

void TdxBarItem::WidthChanged() {
  ForEachLinkControl([](TdxBarItemControlBase* c) { c->WidthChanged(); }, {udWidth});
}

void TdxBarItem::RefreshLinkControls() {
  ForEachLinkControl([](TdxBarItemControlBase* c) { c->RefreshContent(); });
}

// A control selected on a window in menu or keyboard mode keeps the look
// that window gave it.
bool TdxBarItem::IsControlOfActiveSelection(TdxBarItemControlBase* AControl) const {
  IdxBarControl* bar = AControl->ItemLink() ? AControl->ItemLink()->BarControl() : nullptr;
  return bar && AControl->IsSelected() && bar->IsActive();
}

void TdxBarItem::RepaintUnfocusedControls() {
  ForEachLinkControl([this](TdxBarItemControlBase* c) {
    if (!IsControlOfActiveSelection(c)) c->Repaint();
  });
}

void TdxBarItem::RepaintBarsOfKinds(TdxBarKinds AKinds) {
  const std::vector<TdxBarItemLink*> links = FLinks;
  for (TdxBarItemLink* link : links) {
    TdxBarItemControlBase* control = link->Control();
    IdxBarControl* bar = link->BarControl();
    if (!control || !bar || !AKinds.Contains(bar->Kind()) || IsControlOfActiveSelection(control)) continue;
    bar->RepaintBar();
  }
}

void TdxBarItem::DropAllLinks() {
  if (FLinks.empty()) return;
  TdxBarManager* manager = FBarManager && !FBarManager->IsDestroying() ? FBarManager : nullptr;
  const bool bracket = manager && std::any_of(FLinks.begin(), FLinks.end(), [](TdxBarItemLink* l) {
                         return l->BarControl() != nullptr;
                       }) && !manager->IsUpdateLocked();
  if (bracket) manager->BeginUpdate();
  try {
    while (!FLinks.empty()) TObject::Free(FLinks.back());
  } catch (...) {
    if (bracket) manager->EndUpdate();
    throw;
  }
  if (bracket) manager->EndUpdate();
}

// ---------------------------------------------------------------------------
// Design-time selection
// ---------------------------------------------------------------------------

bool TdxBarItem::MayBeDeleted(bool ADeleteComponent) {
  if (LinkCount() > 0 && !ADeleteComponent) return true;
  IdxBarDesigner* designer = dxBarDesignerOf(FBarManager);
  return !designer || designer->CanDeleteComponent(this);
}

void TdxBarItem::DeleteFromDesigner(IdxBarSelectableItem*& AReference, bool ADeleteComponent) {
  if (ADeleteComponent || LinkCount() == 0)
    TdxBarComponent::DeleteFromDesigner(AReference, ADeleteComponent);
  else
    DropAllLinks();
}

void TdxBarItem::RunCustomizationAction(TdxBarCustomizationAction AAction) {
  if (LinkCount() != 1) return;
  TdxBarItemLink* link = FLinks.front();
  IdxBarDesignController* controller = dxBarDesignControllerSlot();
  if (controller && controller->LastSelectedItem() == static_cast<IdxBarSelectableItem*>(link)) return;
  link->RunCustomizationAction(AAction);
}

void TdxBarItem::CollectMasterObjects(TdxObjectList* AList) {
  if (FBarManager) AList->Add(FBarManager->Owner());
}

TdxBarItemLink* TdxBarItem::DesignSelectedLink() const {
  IdxBarDesignController* controller = dxBarDesignControllerSlot();
  TdxBarItemLink* link = controller && FBarManager ? controller->DesignSelectedLink(FBarManager) : nullptr;
  if (link && link->Item() == this) return link;
  return LinkAt(0);
}

IdxBarSelectableItem* TdxBarItem::FollowingSelectable() {
  TdxBarItemLink* start = DesignSelectedLink();
  if (!start) return nullptr;
  for (IdxBarSelectableItem* next = start->FollowingSelectable(); next && next != start;
       next = next->FollowingSelectable()) {
    auto* link = dynamic_cast<TdxBarItemLink*>(next);
    if (!link) return nullptr;
    if (link->Item() && link->Item() != this) return link->Item();
  }
  return nullptr;
}

TPersistent* TdxBarItem::SelectableParentObject() {
  TdxBarItemLink* link = DesignSelectedLink();
  return link && link->BarControl() ? link->Owner()->Owner() : nullptr;
}

TdxBarCustomizationActions TdxBarItem::SupportedCustomizationActions() {
  if (!FBarManager || !FBarManager->Designing()) return {caReset, caDeleteLink, caChangeCaption, caChangeBeginGroup};
  IdxBarDesignController* controller = dxBarDesignControllerSlot();
  if (controller && controller->CustomizingItemLink())
    return {caReset,         caDelete,           caDeleteItem,        caDeleteLink,
            caChangeCaption, caChangePosition,   caChangeViewLevels,  caChangeDistributed,
            caChangeBeginGroup, caChangeVisible, caChangeRecentList};
  return {caDelete};
}

bool TdxBarItem::SelectParentInDesigner() {
  TdxBarItemLink* link = DesignSelectedLink();
  if (!link) return false;
  if (IdxBarDesigner* designer = dxBarDesignerOf(FBarManager))
    if (TComponent* owner = link->Owner() ? link->Owner()->Owner() : nullptr) designer->SelectObject(owner, soExclusive);
  return true;
}

void TdxBarItem::SelectionStateChanged() {
  if (IdxBarDesignController* controller = dxBarDesignControllerSlot()) controller->SynchronizeLastSelectedItem();
  ForEachLinkControl([](TdxBarItemControlBase* c) { c->Repaint(); });
}

// ---------------------------------------------------------------------------
// TdxBarButton
// ---------------------------------------------------------------------------

TdxBarButton::TdxBarButton(TComponent* AOwner) : TdxBarItem(AOwner) { FUnclickAfterDoing = true; }

TdxBarButtonStyle TdxBarButton::ButtonStyle() const {
  const bool checked = FInternalStates.Contains(bstChecked);
  const bool dropDown = FInternalStates.Contains(bstDropDown);
  return checked ? (dropDown ? bsCheckedDropDown : bsChecked) : (dropDown ? bsDropDown : bsDefault);
}

void TdxBarButton::SetButtonStyle(TdxBarButtonStyle AValue) {
  if (ButtonStyle() == AValue) return;
  FInternalStates = {};
  if (AValue == bsChecked || AValue == bsCheckedDropDown) FInternalStates.Include(bstChecked);
  if (AValue == bsDropDown || AValue == bsCheckedDropDown) FInternalStates.Include(bstDropDown);
  SetDown(false);
  if (!IsLoading()) RepaintAllBars();
  NotifyListsOfChange(false);
}

template <class F>
void TdxBarButton::ForEachGroupButton(F&& AProc) {
  if (!FBarManager) return;
  for (int i = 0; i < FBarManager->ItemCount(); ++i)
    if (auto* button = dynamic_cast<TdxBarButton*>(FBarManager->Items(i)))
      if (button != this && button->FGroupIndex == FGroupIndex) AProc(button);
}

TdxBarButton* TdxBarButton::FindDownGroupButton() {
  TdxBarButton* found = nullptr;
  ForEachGroupButton([&found](TdxBarButton* b) {
    if (!found && b->IsCheckable() && b->FDown) found = b;
  });
  return found;
}

bool TdxBarButton::OtherGroupButtonDown() { return FindDownGroupButton() != nullptr; }

void TdxBarButton::SetAllowAllUp(bool AValue) {
  if (FAllowAllUp == AValue) return;
  FAllowAllUp = AValue;
  if (FGroupIndex != 0) ForEachGroupButton([AValue](TdxBarButton* b) { b->FAllowAllUp = AValue; });
}

void TdxBarButton::SetDown(bool AValue) {
  if (FDown == AValue || (AValue && !IsCheckable())) return;
  TdxBarButton* previous = nullptr;
  if (!IsLoading() && IsCheckable() && FGroupIndex != 0) {
    if (AValue)
      previous = FindDownGroupButton();
    else if (!FAllowAllUp && !OtherGroupButtonDown())
      return;
  }
  FDown = AValue;
  if (IsLoading()) return;
  RepaintUnfocusedControls();
  if (previous) previous->SetDown(false);
}

void TdxBarButton::SetDropDownEnabled(bool AValue) {
  if (FDropDownEnabled == AValue) return;
  FDropDownEnabled = AValue;
  if (!IsLoading()) RepaintUnfocusedControls();
}

void TdxBarButton::SetGroupIndex(int AValue) {
  if (FGroupIndex == AValue) return;
  FGroupIndex = IsCheckable() ? AValue : 0;
  SetDown(false);
}

void TdxBarButton::SetLowered(bool AValue) {
  if (FLowered == AValue) return;
  FLowered = AValue;
  if (!IsLoading()) RepaintAllBars();
}

void TdxBarButton::Click() {
  if (Enabled() && IsCheckable()) SetDown(!FDown);
  TdxBarItem::Click();
}

bool TdxBarButton::CanAccelerateLink(TdxBarItemLink* ALink) {
  if (!TdxBarItem::CanAccelerateLink(ALink)) return false;
  if (!ALink || !dynamic_cast<TdxBar*>(ALink->Owner()->Owner())) return true;
  const TdxBarPaintStyle style = ALink->PaintStyle();
  return style == psCaption || style == psCaptionGlyph;
}

void TdxBarButton::PaintStyleChanged() {
  ForEachLinkControl([](TdxBarItemControlBase* c) { c->PaintStyleChanged(); }, {udPaintStyle});
}

String TdxBarButton::GetNewItemCaption() { return DirectText(dxSBAR_NEWBUTTONCAPTION); }

TdxBarCustomizationActions TdxBarButton::SupportedCustomizationActions() {
  TdxBarCustomizationActions actions = TdxBarItem::SupportedCustomizationActions();
  actions.Include(caChangeButtonPaintStyle);
  if (BarManager() && BarManager()->Designing()) actions.Include(caChangeButtonGroup);
  return actions;
}

// ---------------------------------------------------------------------------
// TdxBarLargeButton
// ---------------------------------------------------------------------------

TdxBarLargeButton::TdxBarLargeButton(TComponent* AOwner) : TdxBarButton(AOwner) {
  FShowCaption = true;
  FHotGlyph = dxBarNewNotifyingBitmap(TNotifyEvent::Bind<&TdxBarLargeButton::HandleHotGlyphChanged>(this));
}

TdxBarLargeButton::~TdxBarLargeButton() {
  TObject::Free(FHotGlyph);
  FHotGlyph = nullptr;
}

void TdxBarLargeButton::SetHotGlyph(TBitmap* AValue) { FHotGlyph->Assign(AValue); }

void TdxBarLargeButton::HotImageChanged() {
  ForEachLinkControl([](TdxBarItemControlBase* c) { c->HotImageChanged(); });
}

bool TdxBarLargeButton::HotImageAvailable() {
  TdxBarImageOptions* options = BarManager() ? BarManager()->ImageOptions() : nullptr;
  return options && ImageListHasImage(options->HotImages(), FHotImageIndex);
}

bool TdxBarLargeButton::LargeImageAvailable() {
  TdxBarImageOptions* options = BarManager() ? BarManager()->ImageOptions() : nullptr;
  return options && ImageListHasImage(options->LargeImages(), LargeImageIndex());
}

TdxBarCustomizationActions TdxBarLargeButton::SupportedCustomizationActions() {
  TdxBarCustomizationActions actions = TdxBarButton::SupportedCustomizationActions();
  actions.Exclude(caChangeButtonPaintStyle);
  return actions;
}

void TdxBarLargeButton::SetAutoGrayScale(bool AValue) {
  if (FAutoGrayScale == AValue) return;
  FAutoGrayScale = AValue;
  RepaintUnfocusedControls();
}

void TdxBarLargeButton::SetHeight(int AValue) {
  if (AValue < 0 || AValue == FHeight) return;
  FHeight = AValue;
  RepaintAllBars();
}

void TdxBarLargeButton::SetHotImageIndex(int AValue) {
  if (FHotImageIndex == AValue) return;
  FHotImageIndex = AValue;
  HotImageChanged();
}

void TdxBarLargeButton::SetSyncImageIndex(bool AValue) {
  if (IsLoading() && !FInSyncImageIndex) FSetSyncImageIndex = true;
  if (FSyncImageIndex == AValue) return;
  FSyncImageIndex = AValue;
  if (FSyncImageIndex) LargeImageIndexChanged();
}

void TdxBarLargeButton::SetLargeImageIndex(int AValue) {
  if (IsLoading() && !FInSyncImageIndex) FSetLargeImageIndex = true;
  TdxBarButton::SetLargeImageIndex(AValue);
}

void TdxBarLargeButton::LargeImageIndexChanged() {
  if (!FInSyncImageIndex && FSyncImageIndex) {
    if (IsLoading() && FSetImageIndex) {
      FSyncImageIndex = LargeImageIndex() == ImageIndex();
    } else {
      FInSyncImageIndex = true;
      TdxBarButton::SetImageIndex(LargeImageIndex());
      FInSyncImageIndex = false;
    }
  }
  TdxBarButton::LargeImageIndexChanged();
}

void TdxBarLargeButton::SetImageIndex(int AValue) {
  if (IsLoading() && !FInSyncImageIndex) FSetImageIndex = true;
  TdxBarButton::SetImageIndex(AValue);
  if (FInSyncImageIndex) return;
  if (IsLoading()) {
    if (LargeImageIndex() == -1 && (FSyncImageIndex || !FSetSyncImageIndex)) {
      FInSyncImageIndex = true;
      TdxBarButton::SetLargeImageIndex(ImageIndex());
      FInSyncImageIndex = false;
    }
  } else {
    FSyncImageIndex = false;
  }
}

void TdxBarLargeButton::WidthChanged() { RepaintAllBars(); }

bool TdxBarLargeButton::CanAccelerateLink(TdxBarItemLink* ALink) {
  if (!TdxBarButton::CanAccelerateLink(ALink)) return false;
  return !ALink || !dynamic_cast<TdxBar*>(ALink->Owner()->Owner()) || ShowCaption();
}

void TdxBarLargeButton::DefineProperties(TFiler* AFiler) {
  TdxBarButton::DefineProperties(AFiler);
  AFiler->DefineProperty(
      L"ImageIndex", [this](TReader* r) { ReadImageIndex(r); }, [this](TWriter* w) { WriteImageIndex(w); },
      !FSyncImageIndex);
}

void TdxBarLargeButton::ReadImageIndex(TReader* AReader) { SetImageIndex(AReader->ReadInteger()); }

void TdxBarLargeButton::WriteImageIndex(TWriter* AWriter) { AWriter->WriteInteger(ImageIndex()); }

void TdxBarLargeButton::Loaded() {
  TdxBarButton::Loaded();
  FSetImageIndex = FSetLargeImageIndex = FSetSyncImageIndex = false;
}

// ---------------------------------------------------------------------------
// Labels and separators
// ---------------------------------------------------------------------------

TdxBarLabel::TdxBarLabel(TComponent* AOwner) : TdxBarItem(AOwner) { FShowCaption = true; }

bool TdxBarSeparator::CanBePlacedOn(int AContainerKind, TComponent*, String& AErrorText) {
  if (AContainerKind == 1) {
    AErrorText.clear();
    return true;
  }
  AErrorText = DirectText(dxSBAR_CANTPLACESEPARATOR);
  return false;
}

String TdxBarSeparator::GetNewItemCaption() { return DirectText(dxSBAR_NEWSEPARATORCAPTION); }

TdxBarCustomizationActions TdxBarSeparator::SupportedCustomizationActions() {
  TdxBarCustomizationActions actions = TdxBarLabel::SupportedCustomizationActions();
  actions.Exclude(caChangeRecentList);
  return actions;
}

void TdxBarItem::SetScreenTip(TdxBarScreenTip* AValue) {
  if (FScreenTip == AValue) return;
  if (FScreenTip) FScreenTip->RemoveFreeNotification(this);
  FScreenTip = AValue;
  if (FScreenTip) FScreenTip->FreeNotification(this);
}

void TdxBarItem::Notification(TComponent* AComponent, TOperation Operation) {
  TdxBarComponent::Notification(AComponent, Operation);
  if (Operation != opRemove || !AComponent) return;
  if (AComponent == FScreenTip) FScreenTip = nullptr;
  if (AComponent == Action()) SetAction(nullptr);
}
