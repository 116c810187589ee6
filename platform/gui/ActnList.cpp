#include "platform/gui/ActnList.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/StringLists.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Menus.h"
#include "platform/gui/Messages.h"

#include <algorithm>

namespace {

struct TActnListState {
  TActionDispatchHooks hooks;
  // Live action lists in creation order, for the idle update.
  std::vector<TCustomActionList*> lists;
};

TActnListState& ModuleState() {
  static TActnListState state;
  return state;
}

template <class T>
void EraseValue(std::vector<T*>& v, T* value) {
  v.erase(std::remove(v.begin(), v.end(), value), v.end());
}

}  // namespace

void SetActionDispatchHooks(const TActionDispatchHooks& hooks) { ModuleState().hooks = hooks; }

void UpdateActionListsOnIdle() {
  // A list's handlers may free lists (their own form, say): work on a copy
  // and skip those that are gone.
  const std::vector<TCustomActionList*> lists = ModuleState().lists;
  for (TCustomActionList* list : lists) {
    const auto& live = ModuleState().lists;
    if (std::find(live.begin(), live.end(), list) == live.end()) continue;
    list->UpdateActions();
  }
}

void ActnListInitialize() {
  RegisterClasses({TAction::StaticClass(), TActionList::StaticClass()});
}

void ActnListFinalize() {
  UnRegisterClasses({TAction::StaticClass(), TActionList::StaticClass()});
  ModuleState().hooks = TActionDispatchHooks();
}

// ---------------------------------------------------------------------------
// TBasicActionLink
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TBasicActionLink, TObject, (ConstructWith<TBasicActionLink, TObject>))

TBasicActionLink::TBasicActionLink(TObject* AClient) : client_(AClient) {}

TBasicActionLink::~TBasicActionLink() {
  if (destroyedFlag_) *destroyedFlag_ = true;
  if (action_) action_->UnRegisterChanges(this);
}

void TBasicActionLink::AfterConstruction() {
  TObject::AfterConstruction();
  AssignClient(client_);
}

void TBasicActionLink::AssignClient(TObject*) {}

void TBasicActionLink::SetAction(TBasicAction* value) {
  if (value == action_) return;
  if (action_) action_->UnRegisterChanges(this);
  if (value) value->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent) {
  if (!action_) return false;
  // The action's handler may free the client and with it this link (a
  // command that closes its form): the flag tells us not to touch it then.
  bool destroyed = false;
  bool* outer = destroyedFlag_;
  destroyedFlag_ = &destroyed;
  auto leave = [&] {
    if (destroyed) {
      if (outer) *outer = true;
      return;
    }
    destroyedFlag_ = outer;
    if (action_) action_->SetActionComponent(nullptr);
  };
  action_->SetActionComponent(AComponent);
  bool result;
  try {
    result = action_->Execute();
  } catch (...) {
    leave();
    throw;
  }
  leave();
  return result;
}

bool TBasicActionLink::Update() { return action_ && action_->Update(); }

bool TBasicActionLink::IsOnExecuteLinked() { return true; }

void TBasicActionLink::SetOnExecute(const TNotifyEvent&) {}

void TBasicActionLink::Change() {
  if (OnChange) OnChange(action_);
}

// ---------------------------------------------------------------------------
// TBasicAction
// ---------------------------------------------------------------------------

BEGIN_CLASS(TBasicAction, TComponent, nullptr)
  b.Prop(L"OnExecute", &TBasicAction::OnExecute, &TBasicAction::OnExecute);
  b.Prop(L"OnUpdate", &TBasicAction::OnUpdate, &TBasicAction::OnUpdate);
END_CLASS

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
  while (!clients_.empty()) UnRegisterChanges(clients_.back());
}

bool TBasicAction::DoExecute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::DoUpdate() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

bool TBasicAction::Execute() { return DoExecute(); }
bool TBasicAction::Update() { return DoUpdate(); }
bool TBasicAction::HandlesTarget(TObject*) { return false; }
void TBasicAction::UpdateTarget(TObject*) {}
void TBasicAction::ExecuteTarget(TObject*) {}

void TBasicAction::SetActionComponent(TComponent* value) {
  if (value == actionComponent_) return;
  if (actionComponent_) actionComponent_->RemoveFreeNotification(this);
  actionComponent_ = value;
  if (value) value->FreeNotification(this);
}

TBasicActionLink* TBasicAction::Clients(int index) const {
  if (index < 0 || index >= ClientCount())
    throw EListError(L"List index out of bounds (" + std::to_wstring(index) + L")");
  return clients_[index];
}

void TBasicAction::RegisterChanges(TBasicActionLink* value) {
  if (!value || value->action_ == this) return;
  if (value->action_) value->action_->UnRegisterChanges(value);
  value->action_ = this;
  clients_.push_back(value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* value) {
  if (!value) return;
  auto it = std::find(clients_.begin(), clients_.end(), value);
  if (it == clients_.end()) return;
  clients_.erase(it);
  value->action_ = nullptr;
}

void TBasicAction::Notification(TComponent* AComponent, TOperation operation) {
  TComponent::Notification(AComponent, operation);
  if (operation == opRemove && AComponent == actionComponent_) actionComponent_ = nullptr;
}

void TBasicAction::Change() {
  if (OnChange) OnChange(this);
  // A link's change handler may drop links (its client goes away): tell only
  // those that are still registered.
  const std::vector<TBasicActionLink*> links = clients_;
  for (TBasicActionLink* link : links)
    if (std::find(clients_.begin(), clients_.end(), link) != clients_.end()) link->Change();
}

// ---------------------------------------------------------------------------
// TContainedAction
// ---------------------------------------------------------------------------

BEGIN_CLASS(TContainedAction, TBasicAction, nullptr)
  b.Prop(L"Category", &TContainedAction::Category, &TContainedAction::SetCategory);
END_CLASS

TContainedAction::TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}

TContainedAction::~TContainedAction() {
  if (actionList_) actionList_->RemoveAction(this);
}

void TContainedAction::SetActionList(TCustomActionList* value) {
  if (value == actionList_) return;
  if (actionList_) actionList_->RemoveAction(this);
  if (value) value->AddAction(this);
}

void TContainedAction::SetCategory(const String& value) {
  if (value == category_) return;
  category_ = value;
  if (actionList_) actionList_->Change();
}

int TContainedAction::Index() const { return actionList_ ? actionList_->IndexOfAction(const_cast<TContainedAction*>(this)) : -1; }

void TContainedAction::SetIndex(int value) {
  const int cur = Index();
  if (cur < 0) return;
  const int count = actionList_->ActionCount();
  value = std::clamp(value, 0, count - 1);
  if (value == cur) return;
  auto& v = actionList_->actions_;
  v.erase(v.begin() + cur);
  v.insert(v.begin() + value, this);
  actionList_->Change();
}

bool TContainedAction::Suspended() { return actionList_ && actionList_->State() != asNormal; }

bool TContainedAction::Execute() {
  if (Suspended()) return false;
  const auto hooks = ModuleState().hooks;
  if (actionList_ && actionList_->ExecuteAction(this)) return true;
  if (hooks.ApplicationExecute && hooks.ApplicationExecute(this)) return true;
  if (TBasicAction::Execute()) return true;
  return hooks.TargetExecute && hooks.TargetExecute(this);
}

bool TContainedAction::Update() {
  if (Suspended()) return false;
  const auto hooks = ModuleState().hooks;
  if (actionList_ && actionList_->UpdateAction(this)) return true;
  if (hooks.ApplicationUpdate && hooks.ApplicationUpdate(this)) return true;
  if (TBasicAction::Update()) return true;
  return hooks.TargetUpdate && hooks.TargetUpdate(this);
}

bool TContainedAction::HasParent() { return actionList_ != nullptr; }

TComponent* TContainedAction::GetParentComponent() { return actionList_; }

void TContainedAction::SetParentComponent(TComponent* value) {
  // While read, an action stored outside a list (directly in its form) is
  // handed the form as parent: that only means "no list".
  if (value && !value->Is<TCustomActionList>() && ComponentState().Contains(csLoading)) return;
  if (value && !value->Is<TCustomActionList>())
    throw EInvalidCast(L"Invalid class typecast: " + value->ClassName() + L" is not an action list");
  SetActionList(static_cast<TCustomActionList*>(value));
}

void TContainedAction::ReadState(TReader* reader) {
  TBasicAction::ReadState(reader);
  if (TComponent* parent = reader->Parent(); parent && parent->Is<TCustomActionList>())
    SetActionList(static_cast<TCustomActionList*>(parent));
}

// ---------------------------------------------------------------------------
// TCustomAction
// ---------------------------------------------------------------------------

BEGIN_CLASS(TCustomAction, TContainedAction, nullptr)
END_CLASS

TCustomAction::TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

TCustomAction::~TCustomAction() { FreeAndNil(secondaryShortCuts_); }

namespace {
// The action's links that show its properties.
template <class F>
void ForEachActionLink(const std::vector<TBasicActionLink*>& clients, F&& f) {
  const std::vector<TBasicActionLink*> links = clients;
  for (TBasicActionLink* link : links)
    if (auto* al = dynamic_cast<TActionLink*>(link)) f(al);
}
}  // namespace

bool TCustomAction::Execute() {
  if (Suspended()) return false;
  Update();
  if (enabled_ && autoCheck_ && (!checked_ || groupIndex_ == 0)) SetChecked(!checked_);
  return enabled_ && TContainedAction::Execute();
}

bool TCustomAction::Update() {
  const bool handled = TContainedAction::Update();
  // Nothing can run an action that has neither its own OnExecute nor a list
  // that executes it: show it disabled. An action list's OnExecute counts,
  // since it may be the only code behind its actions.
  if (!handled && disableIfNoHandler_ && !Suspended() && !OnExecute &&
      !(ActionList() && ActionList()->OnExecute))
    SetEnabled(false);
  return handled;
}

void TCustomAction::AssignTo(TPersistent* Dest) {
  auto* d = dynamic_cast<TCustomAction*>(Dest);
  if (!d) {
    TContainedAction::AssignTo(Dest);
    return;
  }
  d->SetAutoCheck(autoCheck_);
  d->SetCaption(caption_);
  d->SetChecked(checked_);
  d->SetEnabled(enabled_);
  d->SetGroupIndex(groupIndex_);
  d->SetHelpContext(helpContext_);
  d->SetHelpKeyword(helpKeyword_);
  d->SetHelpType(helpType_);
  d->SetHint(hint_);
  d->SetImageIndex(imageIndex_);
  d->SetShortCut(shortCut_);
  d->SetVisible(visible_);
  d->SetDisableIfNoHandler(disableIfNoHandler_);
  if (secondaryShortCuts_) d->SetSecondaryShortCuts(secondaryShortCuts_);
  d->OnExecute = OnExecute;
  d->OnUpdate = OnUpdate;
  d->OnHint = OnHint;
  d->OnChange = OnChange;
}

bool TCustomAction::DoHint(String& HintStr) {
  bool canShow = true;
  if (OnHint) OnHint(HintStr, canShow);
  return canShow;
}

void TCustomAction::SetCaption(const String& value) {
  if (value == caption_) return;
  ForEachActionLink(ClientList(), [&](TActionLink* l) { l->SetCaption(value); });
  caption_ = value;
  Change();
}

void TCustomAction::SetChecked(bool value) {
  if (value == checked_ || checking_) return;
  checking_ = true;
  try {
    ForEachActionLink(ClientList(), [&](TActionLink* l) { l->SetChecked(value); });
    checked_ = value;
    if (groupIndex_ > 0 && checked_ && ActionList()) {
      for (int i = 0; i < ActionList()->ActionCount(); ++i) {
        auto* other = dynamic_cast<TCustomAction*>(ActionList()->Actions(i));
        if (other && other != this && other->groupIndex_ == groupIndex_) other->SetChecked(false);
      }
    }
    Change();
  } catch (...) {
    checking_ = false;
    throw;
  }
  checking_ = false;
}

void TCustomAction::SetEnabled(bool value) {
  if (value == enabled_) return;
  ForEachActionLink(ClientList(), [&](TActionLink* l) { l->SetEnabled(value); });
  enabled_ = value;
  Change();
}

void TCustomAction::SetHelpContext(THelpContext value) {
  if (value == helpContext_) return;
  ForEachActionLink(ClientList(), [&](TActionLink* l) { l->SetHelpContext(value); });
  helpContext_ = value;
  Change();
}

void TCustomAction::SetHelpKeyword(const String& value) {
  if (value == helpKeyword_) return;
  ForEachActionLink(ClientList(), [&](TActionLink* l) { l->SetHelpKeyword(value); });
  helpKeyword_ = value;
  Change();
}

void TCustomAction::SetHelpType(THelpType value) {
  if (value == helpType_) return;
  ForEachActionLink(ClientList(), [&](TActionLink* l) { l->SetHelpType(value); });
  helpType_ = value;
  Change();
}

void TCustomAction::SetHint(const String& value) {
  if (value == hint_) return;
  ForEachActionLink(ClientList(), [&](TActionLink* l) { l->SetHint(value); });
  hint_ = value;
  Change();
}

void TCustomAction::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  ForEachActionLink(ClientList(), [&](TActionLink* l) { l->SetImageIndex(value); });
  imageIndex_ = value;
  Change();
}

void TCustomAction::SetShortCut(TShortCut value) {
  if (value == shortCut_) return;
  ForEachActionLink(ClientList(), [&](TActionLink* l) { l->SetShortCut(value); });
  shortCut_ = value;
  Change();
}

TStrings* TCustomAction::SecondaryShortCuts() {
  if (!secondaryShortCuts_) secondaryShortCuts_ = Make<TStringList>();
  return secondaryShortCuts_;
}

void TCustomAction::SetSecondaryShortCuts(TStrings* value) {
  if (!value) {
    if (secondaryShortCuts_) secondaryShortCuts_->Clear();
    return;
  }
  SecondaryShortCuts()->Assign(value);
}

bool TCustomAction::IsSecondaryShortCutsStored() const {
  return secondaryShortCuts_ && secondaryShortCuts_->Count() > 0;
}

void TCustomAction::SetVisible(bool value) {
  if (value == visible_) return;
  ForEachActionLink(ClientList(), [&](TActionLink* l) { l->SetVisible(value); });
  visible_ = value;
  Change();
}

void TCustomAction::SetAutoCheck(bool value) {
  if (value == autoCheck_) return;
  ForEachActionLink(ClientList(), [&](TActionLink* l) { l->SetAutoCheck(value); });
  autoCheck_ = value;
  Change();
}

void TCustomAction::SetGroupIndex(int value) {
  if (value == groupIndex_) return;
  ForEachActionLink(ClientList(), [&](TActionLink* l) { l->SetGroupIndex(value); });
  groupIndex_ = value;
  // Joining a group where another action is checked: only one stays checked.
  if (groupIndex_ > 0 && checked_ && ActionList()) {
    for (int i = 0; i < ActionList()->ActionCount(); ++i) {
      auto* other = dynamic_cast<TCustomAction*>(ActionList()->Actions(i));
      if (other && other != this && other->groupIndex_ == groupIndex_) other->SetChecked(false);
    }
  }
  Change();
}

TCustomImageList* TCustomAction::Images() const { return ActionList() ? ActionList()->Images() : nullptr; }

bool TCustomAction::HandleShortCut(TShortCut shortCut) {
  if (shortCut == 0) return false;
  if (shortCut == shortCut_) return true;
  if (!secondaryShortCuts_) return false;
  for (int i = 0; i < secondaryShortCuts_->Count(); ++i)
    if (TextToShortCut(secondaryShortCuts_->Get(i)) == shortCut) return true;
  return false;
}

// ---------------------------------------------------------------------------
// TAction
// ---------------------------------------------------------------------------

BEGIN_CLASS(TAction, TCustomAction, (ConstructWith<TAction, TComponent>))
  DefaultValue(b.Prop(L"AutoCheck", &TAction::AutoCheck, &TAction::SetAutoCheck), 0);
  b.Prop(L"Caption", &TAction::Caption, &TAction::SetCaption);
  DefaultValue(b.Prop(L"Checked", &TAction::Checked, &TAction::SetChecked), 0);
  DefaultValue(b.Prop(L"DisableIfNoHandler", &TAction::DisableIfNoHandler, &TAction::SetDisableIfNoHandler), 1);
  DefaultValue(b.Prop(L"Enabled", &TAction::Enabled, &TAction::SetEnabled), 1);
  DefaultValue(b.Prop(L"GroupIndex", &TAction::GroupIndex, &TAction::SetGroupIndex), 0);
  DefaultValue(b.Prop(L"HelpContext", &TAction::HelpContext, &TAction::SetHelpContext), 0);
  b.Prop(L"HelpKeyword", &TAction::HelpKeyword, &TAction::SetHelpKeyword);
  DefaultValue(b.Prop(L"HelpType", &TAction::HelpType, &TAction::SetHelpType), htContext);
  b.Prop(L"Hint", &TAction::Hint, &TAction::SetHint);
  DefaultValue(b.Prop(L"ImageIndex", &TAction::ImageIndex, &TAction::SetImageIndex), -1);
  DefaultValue(b.Prop(L"ShortCut", &TAction::ShortCut, &TAction::SetShortCut), 0);
  b.Prop(L"SecondaryShortCuts", [](TAction* a) { return a->SecondaryShortCuts(); },
         [](TAction* a, TStrings* v) { a->SetSecondaryShortCuts(v); })
      .Stored = [](TObject* o) { return static_cast<TAction*>(o)->IsSecondaryShortCutsStored(); };
  DefaultValue(b.Prop(L"Visible", &TAction::Visible, &TAction::SetVisible), 1);
  b.Prop(L"OnHint", &TAction::OnHint, &TAction::OnHint);
END_CLASS

TAction::TAction(TComponent* AOwner) : TCustomAction(AOwner) {}

// ---------------------------------------------------------------------------
// TActionLink
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TActionLink, TBasicActionLink, (ConstructWith<TActionLink, TObject>))

TActionLink::TActionLink(TObject* AClient) : TBasicActionLink(AClient) {}

TCustomAction* TActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(Action()); }

bool TActionLink::IsCaptionLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsCheckedLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsEnabledLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsGroupIndexLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHelpContextLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHelpLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHintLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsImageIndexLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsShortCutLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsVisibleLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsAutoCheckLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsOnExecuteLinked() { return CustomAction() != nullptr; }

void TActionLink::SetAutoCheck(bool) {}
void TActionLink::SetCaption(const String&) {}
void TActionLink::SetChecked(bool) {}
void TActionLink::SetEnabled(bool) {}
void TActionLink::SetGroupIndex(int) {}
void TActionLink::SetHelpContext(THelpContext) {}
void TActionLink::SetHelpKeyword(const String&) {}
void TActionLink::SetHelpType(THelpType) {}
void TActionLink::SetHint(const String&) {}
void TActionLink::SetImageIndex(int) {}
void TActionLink::SetShortCut(TShortCut) {}
void TActionLink::SetVisible(bool) {}
void TActionLink::SetOnExecute(const TNotifyEvent&) {}

// ---------------------------------------------------------------------------
// TCustomActionList
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TCustomActionList, TComponent, nullptr)

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {
  ModuleState().lists.push_back(this);
}

TCustomActionList::~TCustomActionList() {
  EraseValue(ModuleState().lists, this);
  // The actions of a list go with it, whoever owns them.
  while (!actions_.empty()) TObject::Free(actions_.back());
  SetImages(nullptr);
}

TContainedAction* TCustomActionList::Actions(int index) const {
  if (index < 0 || index >= ActionCount())
    throw EListError(L"List index out of bounds (" + std::to_wstring(index) + L")");
  return actions_[index];
}

int TCustomActionList::IndexOfAction(TContainedAction* action) const {
  auto it = std::find(actions_.begin(), actions_.end(), action);
  return it == actions_.end() ? -1 : static_cast<int>(it - actions_.begin());
}

void TCustomActionList::SetImages(TCustomImageList* value) {
  if (value == images_) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = value;
  if (images_) images_->FreeNotification(this);
  Change();
}

void TCustomActionList::SetState(TActionListState value) {
  if (value == state_) return;
  state_ = value;
  if (state_ == asSuspendedEnabled) {
    for (size_t i = 0; i < actions_.size(); ++i)
      if (auto* a = dynamic_cast<TCustomAction*>(actions_[i])) a->SetEnabled(true);
  }
  Change();
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action) {
  bool handled = false;
  if (state_ == asNormal && OnExecute) OnExecute(Action, handled);
  return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action) {
  bool handled = false;
  if (state_ == asNormal && OnUpdate) OnUpdate(Action, handled);
  return handled;
}

bool TCustomActionList::IsShortCut(TShortCut shortCut) {
  if (shortCut == 0 || state_ != asNormal) return false;
  for (size_t i = 0; i < actions_.size(); ++i) {
    auto* a = dynamic_cast<TCustomAction*>(actions_[i]);
    if (!a || !a->HandleShortCut(shortCut)) continue;
    a->Update();
    if (!a->Enabled()) return false;
    a->Execute();
    return true;
  }
  return false;
}

bool TCustomActionList::IsShortCut(TWMKey& Message) {
  return IsShortCut(ShortCut(static_cast<Byte>(Message.CharCode), KeyDataToShiftState(Message.KeyData)));
}

void TCustomActionList::UpdateActions() {
  if (state_ != asNormal) return;
  const auto cs = ComponentState();
  if (cs.Contains(csLoading) || cs.Contains(csDesigning) || cs.Contains(csDestroying)) return;
  const std::vector<TContainedAction*> actions = actions_;
  for (TContainedAction* a : actions)
    if (IndexOfAction(a) >= 0) a->Update();
}

void TCustomActionList::GetChildren(TGetChildProc proc, TComponent* root) {
  for (TContainedAction* a : actions_)
    if (a->Owner() == root) proc(a);
}

void TCustomActionList::SetChildOrder(TComponent* child, int order) {
  auto* a = dynamic_cast<TContainedAction*>(child);
  if (a && a->ActionList() == this) a->SetIndex(order);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation operation) {
  TComponent::Notification(AComponent, operation);
  if (operation != opRemove) return;
  if (AComponent == images_) {
    images_ = nullptr;
    Change();
  }
}

void TCustomActionList::Change() {
  if (OnChange) OnChange(this);
}

void TCustomActionList::AddAction(TContainedAction* action) {
  actions_.push_back(action);
  action->actionList_ = this;
  Change();
}

void TCustomActionList::RemoveAction(TContainedAction* action) {
  EraseValue(actions_, action);
  action->actionList_ = nullptr;
  if (!ComponentState().Contains(csDestroying)) Change();
}

// ---------------------------------------------------------------------------
// TActionList
// ---------------------------------------------------------------------------

BEGIN_CLASS(TActionList, TCustomActionList, (ConstructWith<TActionList, TComponent>))
  b.Prop(L"Images", &TActionList::Images, &TActionList::SetImages);
  DefaultValue(b.Prop(L"State", &TActionList::State, &TActionList::SetState), asNormal);
  b.Prop(L"OnChange", &TActionList::OnChange, &TActionList::OnChange);
  b.Prop(L"OnExecute", &TActionList::OnExecute, &TActionList::OnExecute);
  b.Prop(L"OnUpdate", &TActionList::OnUpdate, &TActionList::OnUpdate);
END_CLASS

TActionList::TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}
