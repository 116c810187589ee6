// The editor control that every editor extends: one edit value, the display
// text of an optional inner edit, the modified state, the link to its data
// (TcxEditDataBinding), change events held back by a lock, validation,
// posting and revert; its keys, focus and buttons; its properties, own or a
// repository item's; in-place activation by a host.
#pragma once

#include "editors/core/cxEditProperties.h"
#include "editors/core/cxEditRepositoryItems.h"
#include "editors/core/cxEditStyles.h"
#include "editors/core/cxEditViewData.h"
#include "foundation/cxContainer.h"
#include "foundation/dxCore.h"

#include <vector>

class TcxCustomEdit;
class TcxCustomEditViewInfo;
class TcxCustomEditViewData;
class TcxTimer;

DECLARE_EXCEPTION(EcxEditError, EdxException)
DECLARE_EXCEPTION(EcxEditValidationError, EcxEditError)

struct TcxEditModifiedState {
  bool Modified = false;
  bool ModifiedAfterEnter = false;
};

using TcxEditEditingEvent = TClosure<void(TObject* Sender, bool& CanEdit)>;

// Holds back OnChange and OnEditValueChanged while locked; each fires at
// most once when the last lock goes (and only when asked to).
class TcxEditChangeEventsCatcher : public TObject {
  DECLARE_CLASS(TcxEditChangeEventsCatcher, TObject)
  explicit TcxEditChangeEventsCatcher(TcxCustomEdit* AEdit) : FEdit(AEdit) {}
  void Lock(bool ALock, bool AInvokeChangedOnUnlock = true);
  bool IsLocked() const { return FLockCount > 0; }
  bool OnChangeEvent = false;
  bool OnEditValueChangedEvent = false;

 private:
  TcxCustomEdit* FEdit;
  int FLockCount = 0;
};

// The link of a standalone editor to its data: here, the editor itself.
class TcxEditDataBinding : public TPersistent {
  DECLARE_CLASS(TcxEditDataBinding, TPersistent)
  explicit TcxEditDataBinding(TcxCustomEdit* AEdit);
  void AfterConstruction() override;
  ~TcxEditDataBinding() override;

  virtual void HandleDefaultValuesChanged();
  virtual Variant DisplayValue();
  virtual bool Editing();
  virtual bool Modified();
  virtual Variant StoredValue();
  virtual bool IsDataReadOnly() { return !IsDataAvailable(); }
  virtual void RequestRevert();
  virtual void SetDisplayValue(const Variant& Value);
  virtual bool EnterEditMode();
  virtual void SetStoredValue(const Variant&) {}
  virtual bool CanCheckEditorValue();
  virtual bool CanModify() { return IsDataAvailable(); }
  virtual bool CanPostEditorValue() { return Modified(); }
  virtual void SetModified();
  virtual void UpdateDisplayValue();
  virtual void UpdateNotConnectedDBEditDisplayValue() {}
  virtual TClassOf<TcxCustomEditDefaultValuesProvider, TPersistent*> GetDefaultValuesProviderClass() const;

  IcxEditDefaultValuesProvider* IDefaultValuesProvider() const { return FDefaultValuesProvider; }
  bool IsDataAvailable() { return FDefaultValuesProvider->IsDataAvailable(); }
  TcxCustomEdit* Edit() const { return FEdit; }

 private:
  TcxCustomEdit* FEdit;
  TcxCustomEditDefaultValuesProvider* FDefaultValuesProvider = nullptr;
};

// What a host keeps for one activation of an in-place editor.
class TcxCustomEditData : public TObject {
  DECLARE_CLASS(TcxCustomEditData, TObject)
  explicit TcxCustomEditData(TcxCustomEdit* AEdit);
  ~TcxCustomEditData() override;
  // Marks the data cleared; a live editor re-initializes it when current.
  void Clear();
  bool Cleared() const { return FCleared; }
  void SetCleared(bool AValue) { FCleared = AValue; }
  TcxCustomEdit* Edit() const { return FEdit; }

 private:
  friend class TcxCustomEdit;
  bool FCleared = false;
  TcxCustomEdit* FEdit;
};

class TcxCustomEdit : public TcxContainer,
                      public IcxEditRepositoryItemListener,
                      public IcxEditValidationSource {
  DECLARE_CLASS(TcxCustomEdit, TcxContainer)
  explicit TcxCustomEdit(TComponent* AOwner) : TcxCustomEdit(AOwner, false) {}
  TcxCustomEdit(TComponent* AOwner, bool AIsInplace);
  void AfterConstruction() override;
  void BeforeDestruction() override;
  ~TcxCustomEdit() override;

  // ---- value
  virtual Variant EditValue() { return FEditValue; }
  // Ignored while edit-value changing is locked.
  virtual void SetEditValue(const Variant& Value);
  virtual void SetInternalEditValue(const Variant& Value);
  virtual void AssignEditValueDirect(const Variant& Value) { StoreEditValue(Value, false); }
  virtual Variant EditingValue();
  virtual void Clear() { SetEditValue(GetClearedValue()); }
  void Reset();
  bool PostEditValue();
  bool ValidateEdit(bool ARaiseExceptionOnError);
  bool DoEditing();
  bool CanPostEditValue();
  void CommitEditValue(bool AValidateEdit);

  // ---- modified state and locks
  bool EditModified() const { return FModified; }
  void SetEditModified(bool Value);
  bool ModifiedAfterEnter() const { return FModifiedAfterEnter; }
  void SetModifiedAfterEnter(bool Value);
  bool IsEditValidated() const { return FIsEditValidated; }
  bool IsEditValidating() const { return FIsEditValidating; }
  bool IsPosting() const { return FIsPosting; }
  void PushModifiedState();
  void PopModifiedState();
  void LockChangeEvents(bool ALock, bool AInvokeChangedOnUnlock = true);
  bool AreChangeEventsLocked() const { return FChangeEventsCatcher->IsLocked(); }
  void LockClick(bool ALock);
  void LockEditValueChanging(bool ALock);
  bool KeyboardAction() const { return FKeyboardAction; }
  void SetKeyboardAction(bool Value) { FKeyboardAction = Value; }

  // ---- properties
  TcxCustomEditProperties* Properties() const { return FProperties; }
  void SetProperties(TcxCustomEditProperties* Value) { FProperties->Assign(Value); }
  TcxCustomEditProperties* ActiveProperties();
  TcxEditRepositoryItem* RepositoryItem() const { return FRepositoryItem; }
  // EcxEditError "The repository item is not acceptable" for an item of
  // another editor kind.
  void SetRepositoryItem(TcxEditRepositoryItem* Value);
  virtual bool IsRepositoryItemAcceptable(TcxEditRepositoryItem* AItem);
  virtual TcxCustomEditPropertiesClass GetPropertiesClass() const;
  TcxEditDataBinding* DataBinding() const { return FDataBinding; }
  TcxCustomEditStyle* Style() const { return static_cast<TcxCustomEditStyle*>(TcxContainer::Style()); }
  void SetEditStyle(TcxCustomEditStyle* Value) { Style()->Assign(Value); }
  TcxCustomEditStyle* StyleDisabled() const { return static_cast<TcxCustomEditStyle*>(TcxContainer::StyleDisabled()); }
  void SetStyleDisabled(TcxCustomEditStyle* Value) { StyleDisabled()->Assign(Value); }
  TcxCustomEditStyle* StyleFocused() const { return static_cast<TcxCustomEditStyle*>(TcxContainer::StyleFocused()); }
  void SetStyleFocused(TcxCustomEditStyle* Value) { StyleFocused()->Assign(Value); }
  TcxCustomEditStyle* StyleHot() const { return static_cast<TcxCustomEditStyle*>(TcxContainer::StyleHot()); }
  void SetStyleHot(TcxCustomEditStyle* Value) { StyleHot()->Assign(Value); }
  TcxCustomEditViewInfo* EditViewInfo() const { return static_cast<TcxCustomEditViewInfo*>(ViewInfo()); }
  // The visible index of the first button whose bounds hold the point, -1 when none.
  int ButtonIndexAt(const TPoint& APoint) const;
  bool IsInplace() override { return FIsInplace; }
  void SetParent(TWinControl* AParent) override;

  // ---- keys, focus, buttons
  virtual bool IsEditingKeyDown(Word, TShiftState) { return false; }
  virtual bool IsEditingChar(Char) { return false; }
  virtual bool CanModifyValue();
  virtual void FireButtonClick(int AButtonIndex);
  virtual void ClickDefaultButton();
  virtual bool IsButtonClickShortCut(Word Key, TShiftState Shift);
  bool IsClearOrClickKey(Word Key, TShiftState Shift);
  void FireAfterKeyDown(Word& Key, TShiftState Shift);
  void FireClosePopup(TcxEditCloseUpReason AReason);
  void MarkModifiedAndClick();
  bool InternalFocused();
  bool AcceptsMouseWheel(TShiftState Shift);
  bool HasDefaultButton();

  virtual void CopyToClipboard() {}
  virtual void CutToClipboard() {}
  virtual void PasteFromClipboard() {}
  bool Transparent() const { return FTransparent; }
  // A transparent standalone editor lets its parent show through.
  void SetTransparent(bool Value);
  bool AutoSize() const { return FAutoSize; }
  // Ignored in place.
  virtual void SetAutoSize(bool Value);
  bool AutoSizeEnabled() { return !FIsInplace && FAutoSize; }
  virtual bool AllowsAutoWidth() { return ActiveProperties()->ButtonsViewStyle() == bvsButtonsAutoWidth; }
  virtual bool AllowsAutoHeight() { return false; }
  // The size automatic sizing gives the editor now (its current size when
  // nothing is automatic).
  TSize CalculateAutoSize();

  // ---- in place
  void Activate(TcxCustomEditData*& AEditData);
  void ActivateByKey(Char AKey, TcxCustomEditData*& AEditData);
  void ActivateByMouse(TShiftState Shift, int X, int Y, TcxCustomEditData*& AEditData);
  bool Deactivate();
  virtual bool ForwardsActivationKey(Char) { return true; }

  // IcxEditRepositoryItemListener
  void ItemRemoved(TcxEditRepositoryItem* Sender) override;
  void PropertiesChanged(TcxEditRepositoryItem* Sender) override;
  // IcxEditValidationSource
  TcxCustomEditProperties* GetOwnProperties() override { return FProperties; }
  TcxCustomEditProperties* GetRepositoryItemProperties() override;
  String GetCurrentInnerEditText() override;

  TcxEditEditingEvent OnEditing;
  TNotifyEvent OnPostEditValue;
  TKeyEvent OnAfterKeyDown;

  // Texts the base class keeps for kinds without an inner edit control
  // (what GetInnerEditText answers and SetInnerEditValue stores).
  void CallOnChangeHandlers();
  void CallOnEditValueChangedHandlers();

 protected:
  virtual void InitializeEdit();
  virtual void BeginPosting() { FIsPosting = true; }
  virtual void EndPosting() { FIsPosting = false; }
  virtual void HandleContentChange();
  virtual void NotifyChange();
  virtual void NotifyEditValueChanged();
  virtual void ProcessKeyDown(Word& Key, TShiftState Shift);
  virtual void ProcessKeyPress(Char& Key) { CheckKeyPress(Key); }
  virtual void ProcessKeyUp(Word&, TShiftState) {}
  virtual void PrepareTabNavigation(TShiftState) {}
  virtual void HandleFocusChanged();
  virtual void CheckDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError);
  virtual void HandleFocusEnter();
  virtual void UpdateInnerEditReadOnly() {}
  virtual Variant GetClearedValue() { return Null(); }
  virtual TClassOf<TcxEditDataBinding, TcxCustomEdit*> GetDataBindingClass() const;
  virtual String GetInnerEditText() { return String(); }
  virtual void HandleValidationError(const String& AErrorText, bool AAbort);
  virtual bool AllowsEditing() { return true; }
  virtual Variant GetValueFromEditingText() { return EditValue(); }
  virtual void ApplyDisplayValue(const Variant&) {}
  virtual void StoreEditValue(const Variant& AValue, bool AFlag);
  virtual void ApplyDisplayValuePreservingState(const Variant& AValue);
  virtual bool HasFormFocus();
  virtual bool CanClickWhileLoading() { return false; }
  virtual bool IsCharAcceptable(Char AChar);
  virtual bool ShouldFireAfterKeyDown(Word, TShiftState) { return false; }
  virtual void ConvertToDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused);
  virtual void HandlePropertiesChanged(TObject* Sender);
  virtual bool IsValueReadOnly();
  virtual void AfterRepositoryItemChange() {}
  virtual void BeforeRepositoryItemChange() {}
  virtual void RevertEditValue();
  virtual bool TrySetDisplayText(const String&) { return false; }
  virtual void SetInnerEditValue(const Variant&) {}
  virtual void UpdateTextFromEditValue() {}
  virtual void UpdateEditValueFromText() {}
  virtual bool WantsTabKey() { return FIsInplace; }
  virtual bool RefreshesOnEnter() { return true; }
  virtual void RecalculateDisplayText() {}
  virtual bool CanProcessKeyDown(Word& Key, TShiftState Shift);
  virtual bool CheckKeyPress(Char& Key);
  virtual bool HandlesNavigationKeys() { return false; }
  virtual bool IsEditClass() { return false; }
  virtual void SelectAll() {}
  virtual void InitializeEditData() {}
  virtual TClassOf<TcxCustomEditData, TcxCustomEdit*> GetEditDataClass() const { return nullptr; }
  void ValidateAndPostOnExit(bool ACallExit);

  // ---- overrides of the container and the control
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void DoEnter() override;
  void DoExit() override;
  void Click() override;
  bool CanMoveFocusOnTab() override { return false; }
  TcxContainerViewInfoClass ContainerViewInfoClass() override;
  bool UpdateStateAt(const TPoint& AMousePos, TcxMouseButton AButton, TShiftState AShift) override;
  void RecalcViewInfo(const TPoint& AMousePos, bool AHotTrack) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  void AfterFocusChange() override;
  // A view data for the current state's style (the caller frees it).
  virtual TcxCustomEditViewData* CreateEditViewData();
  virtual void HandleButtonDown(int) {}
  virtual void HandleButtonUp(int) {}
  TcxContainerStyleClass ContainerStyleClass() override;
  TcxContainerStyleValues GetHiddenStyleValues() override;
  void Loaded() override;
  bool IsTransparentBackground() override { return DrawsTransparent(); }
  // Applies the automatic size, then places the inner edit.
  void AlignInnerControl() override;
  virtual bool DrawsTransparent() { return !FIsInplace && FTransparent; }

  // ---- messages
  void CMDialogChar(TWMKey& Message);
  void CMHintShow(TCMHintShow& Message);
  void WMCopy(TMessage& Message);
  void WMCut(TMessage& Message);
  void WMPaste(TMessage& Message);

  Variant FEditValue;
  Variant FPrevEditValue;
  bool FIsEditValidated = false;
  bool FIsEditValidating = false;
  bool FIsPosting = false;
  bool FKeyboardAction = false;
  bool FModifiedAfterEnter = false;
  bool FModified = false;
  bool FIsInplace;
  bool FIsEscapeDown = false;
  bool FIsEditValueResetting = false;
  bool FValidateErrorProcessing = false;
  bool FEditModeSetting = false;
  bool FFocused = false;
  int FLockValidate = 0;
  int FClickLockCount = 0;
  int FEditValueChangingLockCount = 0;
  int FCaptureButtonVisibleIndex = -1;
  TcxCustomEditData* FEditData = nullptr;
  TcxTimer* FDblClickTimer = nullptr;
  bool FTransparent = false;
  bool FIsJustCreated = true;
  bool FAutoSizing = false;
  bool FAutoSize = false;
  TcxMouseButton FStateButton = cxmbNone;
  TShiftState FStateShift;

 private:
  friend class TcxCustomEditData;
  void PropertiesChangedHandler(TObject* Sender) { HandlePropertiesChanged(Sender); }
  void DblClickTimerTick(TObject* Sender);

  TcxEditChangeEventsCatcher* FChangeEventsCatcher = nullptr;
  TcxEditDataBinding* FDataBinding = nullptr;
  TcxCustomEditProperties* FProperties = nullptr;
  TcxEditRepositoryItem* FRepositoryItem = nullptr;
  std::vector<TcxEditModifiedState> FPrevModifiedList;
};

// One hidden editor per properties object, reused by class, for hosts that
// edit many cells with one editor kind.
class TcxInplaceEditList : public TObject {
  DECLARE_CLASS(TcxInplaceEditList, TObject)
  explicit TcxInplaceEditList(TComponent* AEditorOwner);
  ~TcxInplaceEditList() override;

  TcxCustomEdit* FindEdit(TcxCustomEditProperties* AProperties);
  TcxCustomEdit* FindEdit(TcxCustomEditPropertiesClass APropertiesClass);
  // The editor of the properties, made when missing; its own properties
  // are assigned from AProperties each time (change events held back and
  // dropped).
  TcxCustomEdit* GetEdit(TcxCustomEditProperties* AProperties);
  TcxCustomEdit* GetEdit(TcxCustomEditPropertiesClass APropertiesClass);
  void RemoveItem(TcxCustomEditProperties* AProperties);
  void RemoveItem(TcxCustomEditPropertiesClass APropertiesClass);
  // The entry keeps its editor but forgets the properties object.
  void DisconnectProperties(TcxCustomEditProperties* AProperties);
  int Count() const { return static_cast<int>(FItems.size()); }

 private:
  struct TItem {
    TcxCustomEdit* Edit;
    TcxCustomEditProperties* Properties;
  };
  TcxCustomEdit* CreateEdit(TcxCustomEditPropertiesClass APropertiesClass);
  void RemoveAt(std::size_t AIndex);

  std::vector<TItem> FItems;
  TComponent* FEditorOwner;
};

// Sends a mouse message to the control's window with the key flags of the
// shift state and the point in lParam.
void cxForwardMouseMessage(TWinControl* AControl, UINT AMsg, TShiftState AShift, const TPoint& APoint);
// The shift state of the library's four-valued mouse button.
TShiftState cxMouseButtonShiftEx(TcxMouseButton AButton);
// In place the kind of the style's look-and-feel; standalone without buttons
// lfStandard; otherwise the kind the first button's style implies.
TcxLookAndFeelKind cxEditLookAndFeelKind(TcxCustomEdit* AEdit);

// The screen cursor of wheel scrolling in editors.
inline constexpr int crcxEditMouseWheel = 4101;

// The editor module: wheel cursor 4101, the default edit style controller
// (also the containers' default), the hooks of the properties objects.
void cxEditInitialize();
void cxEditFinalize();
