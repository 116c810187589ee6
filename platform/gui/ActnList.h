// Actions: commands kept apart from the controls and menu items that invoke
// them. An action's clients (menu items, buttons, bar items) hold an action
// link; the action pushes its property changes through the links and the
// links decide per property whether the client still follows the action.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/Components.h"

#include <vector>

class TBasicAction;
class TBasicActionLink;
class TCustomActionList;
class TCustomImageList;
class TStrings;
struct TWMKey;

using TShortCut = Word;
using THelpContext = int;
// How help is looked up for a control or an action: by keyword or by context number.
DECLARE_ENUM(THelpType, htKeyword, htContext)

// Handled = true stops the search for someone else to run or update the action.
using TActionEvent = TClosure<void(TBasicAction* Action, bool& Handled)>;
// Lets the action change or suppress the hint shown for it.
using THintEvent = TClosure<void(String& HintStr, bool& CanShow)>;

// ---------------------------------------------------------------------------
// TBasicActionLink
// ---------------------------------------------------------------------------

// Binds one client object to an action. Made through a class reference
// (NewInstance(client)) so that AssignClient of the most derived class sees
// the client; `new` alone must be followed by AfterConstruction().
class TBasicActionLink : public TObject {
  DECLARE_CLASS(TBasicActionLink, TObject)
  explicit TBasicActionLink(TObject* AClient);
  ~TBasicActionLink() override;
  void AfterConstruction() override;

  TBasicAction* Action() const { return action_; }
  // Leaves the old action's client list and joins the new one's.
  virtual void SetAction(TBasicAction* value);
  // Runs the action with `AComponent` as its ActionComponent; false when
  // there is no action or nobody handled it.
  virtual bool Execute(TComponent* AComponent = nullptr);
  virtual bool Update();
  virtual bool IsOnExecuteLinked();
  virtual void SetOnExecute(const TNotifyEvent& value);

  // Called with the action whenever the action reports a change.
  TNotifyEvent OnChange;

  // The client the link was made for (before AssignClient's conversion).
  TObject* Client() const { return client_; }

  // The action calls this when it changes; fires OnChange.
  virtual void Change();

 protected:
  // Where a derived link takes its typed client; raises EInvalidCast when the
  // client is of the wrong class.
  virtual void AssignClient(TObject* AClient);

 private:
  friend class TBasicAction;
  TBasicAction* action_ = nullptr;
  TObject* client_ = nullptr;
  // Set while Execute runs, so that it notices the link being freed.
  bool* destroyedFlag_ = nullptr;
};

// ---------------------------------------------------------------------------
// TBasicAction
// ---------------------------------------------------------------------------

class TBasicAction : public TComponent {
  DECLARE_CLASS(TBasicAction, TComponent)
  explicit TBasicAction(TComponent* AOwner);
  ~TBasicAction() override;

  // Runs the action: true when someone (OnExecute or a target) handled it.
  virtual bool Execute();
  // Lets the action update its state: true when someone handled it.
  virtual bool Update();
  // Target handling of standard actions: whether the action can work on
  // `Target`, and doing so. The base class handles no target.
  virtual bool HandlesTarget(TObject* Target);
  virtual void UpdateTarget(TObject* Target);
  virtual void ExecuteTarget(TObject* Target);
  // Whether the action's list currently neither runs nor updates it.
  virtual bool Suspended() { return false; }

  // The client that is executing the action (set by the link's Execute).
  TComponent* ActionComponent() const { return actionComponent_; }
  void SetActionComponent(TComponent* value);

  void RegisterChanges(TBasicActionLink* value);
  void UnRegisterChanges(TBasicActionLink* value);
  int ClientCount() const { return static_cast<int>(clients_.size()); }
  // Raises EListError for an index out of range.
  TBasicActionLink* Clients(int index) const;

  void Notification(TComponent* AComponent, TOperation operation) override;

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;
  // Fired on every change; the links then get Change.
  TNotifyEvent OnChange;

  // Fires OnChange and then tells every link.
  virtual void Change();

 protected:
  // OnExecute / OnUpdate alone, as the base operations.
  bool DoExecute();
  bool DoUpdate();
  const std::vector<TBasicActionLink*>& ClientList() const { return clients_; }

 private:
  std::vector<TBasicActionLink*> clients_;
  TComponent* actionComponent_ = nullptr;
};

// ---------------------------------------------------------------------------
// TContainedAction
// ---------------------------------------------------------------------------

// An action that lives in an action list and is streamed as its child.
class TContainedAction : public TBasicAction {
  DECLARE_CLASS(TContainedAction, TBasicAction)
  explicit TContainedAction(TComponent* AOwner);
  ~TContainedAction() override;

  TCustomActionList* ActionList() const { return actionList_; }
  void SetActionList(TCustomActionList* value);
  const String& Category() const { return category_; }
  void SetCategory(const String& value);
  // Position in the action list, -1 outside one.
  int Index() const;
  void SetIndex(int value);

  // The list first (its OnExecute / OnUpdate), then the application, then
  // the action's own event, then the active form's targets.
  bool Execute() override;
  bool Update() override;

  bool Suspended() override;

  bool HasParent() override;
  TComponent* GetParentComponent() override;
  void SetParentComponent(TComponent* value) override;
  void ReadState(TReader* reader) override;

 private:
  friend class TCustomActionList;
  TCustomActionList* actionList_ = nullptr;
  String category_;
};

// ---------------------------------------------------------------------------
// TCustomAction / TAction
// ---------------------------------------------------------------------------

class TCustomAction : public TContainedAction {
  DECLARE_CLASS(TCustomAction, TContainedAction)
  explicit TCustomAction(TComponent* AOwner);
  ~TCustomAction() override;

  // Runs the action when it is enabled (after an update), toggling Checked
  // first when AutoCheck is on.
  bool Execute() override;
  bool Update() override;

  // Copies the action's properties into another custom action.
  void AssignTo(TPersistent* Dest) override;
  // OnHint decides; false suppresses the hint.
  virtual bool DoHint(String& HintStr);

  // Every setter tells the links (TActionLink::SetXxx) and then Change().
  const String& Caption() const { return caption_; }
  void SetCaption(const String& value);
  bool Checked() const { return checked_; }
  // Checking an action of a group (GroupIndex > 0) unchecks the others of
  // the same group in the same action list.
  void SetChecked(bool value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  THelpContext HelpContext() const { return helpContext_; }
  void SetHelpContext(THelpContext value);
  const String& HelpKeyword() const { return helpKeyword_; }
  void SetHelpKeyword(const String& value);
  THelpType HelpType() const { return helpType_; }
  void SetHelpType(THelpType value);
  const String& Hint() const { return hint_; }
  void SetHint(const String& value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value);
  // Further shortcuts of the action, one ShortCutToText text per line.
  TStrings* SecondaryShortCuts();
  void SetSecondaryShortCuts(TStrings* value);
  bool IsSecondaryShortCutsStored() const;
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  // When nobody handles an update and the action has no OnExecute, the
  // update disables the action.
  bool DisableIfNoHandler() const { return disableIfNoHandler_; }
  void SetDisableIfNoHandler(bool value) { disableIfNoHandler_ = value; }
  // The action list's images, null without a list.
  TCustomImageList* Images() const;
  // Whether `shortCut` is the action's ShortCut or one of its secondary ones.
  bool HandleShortCut(TShortCut shortCut);

  THintEvent OnHint;

 private:
  String caption_;
  String hint_;
  String helpKeyword_;
  THelpContext helpContext_ = 0;
  THelpType helpType_ = htContext;
  int imageIndex_ = -1;
  int groupIndex_ = 0;
  TShortCut shortCut_ = 0;
  TStrings* secondaryShortCuts_ = nullptr;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool autoCheck_ = false;
  bool disableIfNoHandler_ = true;
  bool checking_ = false;
};

// The action of the stored definitions: everything published.
class TAction : public TCustomAction {
  DECLARE_CLASS(TAction, TCustomAction)
  explicit TAction(TComponent* AOwner);
};

// ---------------------------------------------------------------------------
// TActionLink
// ---------------------------------------------------------------------------

// The link of a client that shows an action's properties. The IsXxxLinked
// tests say whether the client still follows the action for a property
// (linked properties are not stored with the client); the SetXxx operations
// carry a change of the action into the client and do nothing here.
class TActionLink : public TBasicActionLink {
  DECLARE_CLASS(TActionLink, TBasicActionLink)
  explicit TActionLink(TObject* AClient);

  // Here: the action is a TCustomAction.
  virtual bool IsCaptionLinked();
  virtual bool IsCheckedLinked();
  virtual bool IsEnabledLinked();
  virtual bool IsGroupIndexLinked();
  virtual bool IsHelpContextLinked();
  // The help context, keyword and type together: a client follows the
  // action's help as a whole.
  virtual bool IsHelpLinked();
  virtual bool IsHintLinked();
  virtual bool IsImageIndexLinked();
  virtual bool IsShortCutLinked();
  virtual bool IsVisibleLinked();
  virtual bool IsAutoCheckLinked();
  bool IsOnExecuteLinked() override;

  virtual void SetAutoCheck(bool value);
  virtual void SetCaption(const String& value);
  virtual void SetChecked(bool value);
  virtual void SetEnabled(bool value);
  virtual void SetGroupIndex(int value);
  virtual void SetHelpContext(THelpContext value);
  virtual void SetHelpKeyword(const String& value);
  virtual void SetHelpType(THelpType value);
  virtual void SetHint(const String& value);
  virtual void SetImageIndex(int value);
  virtual void SetShortCut(TShortCut value);
  virtual void SetVisible(bool value);
  void SetOnExecute(const TNotifyEvent& value) override;

 protected:
  // The action as a TCustomAction, null for other actions.
  TCustomAction* CustomAction() const;
};

// ---------------------------------------------------------------------------
// Action lists
// ---------------------------------------------------------------------------

// asSuspended: the list neither executes nor updates its actions;
// asSuspendedEnabled: the same, and every action is enabled on entering it.
DECLARE_ENUM(TActionListState, asNormal, asSuspended, asSuspendedEnabled)

class TCustomActionList : public TComponent {
  DECLARE_CLASS(TCustomActionList, TComponent)
  explicit TCustomActionList(TComponent* AOwner);
  ~TCustomActionList() override;

  int ActionCount() const { return static_cast<int>(actions_.size()); }
  // Raises EListError for an index out of range.
  TContainedAction* Actions(int index) const;
  int IndexOfAction(TContainedAction* action) const;

  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  TActionListState State() const { return state_; }
  void SetState(TActionListState value);

  // OnExecute / OnUpdate of the list for one of its actions; true when the
  // handler said it handled the action. Nothing happens while suspended.
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);
  // Runs the action whose shortcut (or secondary shortcut) matches, after
  // an update, when it is enabled; true when one ran.
  bool IsShortCut(TShortCut shortCut);
  // The same for a key message (Shift and Ctrl from the keyboard state, Alt
  // from the message).
  bool IsShortCut(TWMKey& Message);
  // Updates every action of the list (skipped while suspended, loading or
  // designing).
  void UpdateActions();

  void GetChildren(TGetChildProc proc, TComponent* root) override;
  void SetChildOrder(TComponent* child, int order) override;
  void Notification(TComponent* AComponent, TOperation operation) override;

  TActionEvent OnExecute;
  TActionEvent OnUpdate;
  TNotifyEvent OnChange;

  // Fires OnChange; actions call it when one of them changed.
  virtual void Change();

 private:
  friend class TContainedAction;
  void AddAction(TContainedAction* action);
  void RemoveAction(TContainedAction* action);

  std::vector<TContainedAction*> actions_;
  TCustomImageList* images_ = nullptr;
  TActionListState state_ = asNormal;
};

class TActionList : public TCustomActionList {
  DECLARE_CLASS(TActionList, TCustomActionList)
  explicit TActionList(TComponent* AOwner);
};

// ---------------------------------------------------------------------------
// Process-wide hooks
// ---------------------------------------------------------------------------

// How actions reach the application: the application's own action events
// (asked after the action list, before the action's OnExecute / OnUpdate)
// and the search for a target among the active form and its controls (asked
// last). The forms module installs them; unset ones answer false.
using TActionDispatchProc = bool (*)(TBasicAction* action);
struct TActionDispatchHooks {
  TActionDispatchProc ApplicationExecute = nullptr;
  TActionDispatchProc ApplicationUpdate = nullptr;
  TActionDispatchProc TargetExecute = nullptr;
  TActionDispatchProc TargetUpdate = nullptr;
};
void SetActionDispatchHooks(const TActionDispatchHooks& hooks);

// The application's idle step: updates the actions of every live action list
// (TCustomActionList::UpdateActions), in creation order.
void UpdateActionListsOnIdle();

void ActnListInitialize();
void ActnListFinalize();
