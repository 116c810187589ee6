// Edit properties: the settings object of one editor kind, shared by a
// standalone editor, the in-place editors a host makes from it and the
// repository items; with its alignment, its assigned-value flags and the
// default-values provider through which data binding supplies defaults.
#pragma once

#include "foundation/cxClasses.h"
#include "platform/core/Variants.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/StdCtrls.h"

#include <functional>

class TcxEditButtons;
class TcxCanvas;
class TcxCustomEdit;
class TcxCustomEditProperties;
class TcxCustomEditStyle;
class TcxCustomEditViewData;

DECLARE_ENUM(TcxEditCloseUpReason, crUnknown, crTab, crClose, crCancel, crEnter)
DECLARE_ENUM(TcxEditButtonsViewStyle, bvsNormal, bvsButtonsOnly, bvsButtonsAutoWidth)
DECLARE_ENUM(TcxEditVertAlignment, taTopJustify, taBottomJustify, taVCenter)
DECLARE_ENUM(TcxBlobKind, bkNone, bkBlob, bkGraphic, bkMemo, bkOle)
DECLARE_ENUM(TcxDataEditValueSource, evsValue, evsText, evsKey)
DECLARE_ENUM(TcxEditSupportedOperation, esoAlwaysHotTrack, esoAutoHeight, esoEditing, esoFiltering,
             esoHorzAlignment, esoHotTrack, esoIncSearch, esoShowingCaption, esoSorting,
             esoSortingByDisplayText, esoTransparency)
using TcxEditSupportedOperations = TSet<TcxEditSupportedOperation, 11>;
DECLARE_ENUM(TcxEditSpecialFeature, esfBlobEditValue, esfMinSize, esfNoContentPart)
using TcxEditSpecialFeatures = TSet<TcxEditSpecialFeature, 3>;
// The first says the kind supports display formats; the second that it
// accepts no currency values.
DECLARE_ENUM(TcxEditDisplayFormatOption, dfoSupports, dfoNoCurrencyValue)
using TcxEditDisplayFormatOptions = TSet<TcxEditDisplayFormatOption, 2>;

struct TcxEditSizeProperties {
  int Height = -1;
  int MaxLineCount = 0;
  int Width = -1;
};

using TcxEditButtonClickEvent = TClosure<void(TObject* Sender, int AButtonIndex)>;
using TcxEditClosePopupEvent = TClosure<void(TObject* Sender, TcxEditCloseUpReason AReason)>;
using TcxEditValidateEvent =
    TClosure<void(TObject* Sender, Variant& DisplayValue, String& ErrorText, bool& Error)>;

// Defaults a data binding supplies. {AE727882-6FDF-4E3A-AB35-E58AB28EFE7B}
class IcxEditDefaultValuesProvider {
 public:
  virtual bool CanSetEditMode() = 0;
  virtual void ClearUsers() = 0;
  virtual TAlignment DefaultAlignment() = 0;
  virtual TcxBlobKind DefaultBlobKind() = 0;
  virtual bool DefaultCanModify() = 0;
  virtual String DefaultDisplayFormat() = 0;
  virtual String DefaultEditFormat() = 0;
  virtual String DefaultEditMask() = 0;
  virtual bool DefaultIsFloatValue() = 0;
  virtual int DefaultMaxLength() = 0;
  virtual double DefaultMaxValue() = 0;
  virtual double DefaultMinValue() = 0;
  virtual int DefaultPrecision() = 0;
  virtual bool DefaultReadOnly() = 0;
  virtual bool DefaultRequired() = 0;
  virtual TObject* GetInstance() = 0;
  virtual bool IsDataStorage() = 0;
  virtual bool IsBlob() = 0;
  virtual bool IsCurrency() = 0;
  virtual bool IsDataAvailable() = 0;
  virtual bool IsDisplayFormatDefined(bool AIsCurrencyValueAccepted) = 0;
  virtual bool IsOnGetTextAssigned() = 0;
  virtual bool IsOnSetTextAssigned() = 0;
  virtual bool IsValidChar(Char AChar) = 0;

 protected:
  ~IcxEditDefaultValuesProvider() = default;
};

// The provider of a standalone editor. Freeing it detaches it from every
// properties object that uses it.
class TcxCustomEditDefaultValuesProvider : public TcxInterfacedPersistent, public IcxEditDefaultValuesProvider {
  DECLARE_CLASS(TcxCustomEditDefaultValuesProvider, TcxInterfacedPersistent)
  explicit TcxCustomEditDefaultValuesProvider(TPersistent* AOwner);
  ~TcxCustomEditDefaultValuesProvider() override;

  bool CanSetEditMode() override { return true; }
  void ClearUsers() override;
  TAlignment DefaultAlignment() override { return taLeftJustify; }
  TcxBlobKind DefaultBlobKind() override { return bkMemo; }
  bool DefaultCanModify() override { return true; }
  String DefaultDisplayFormat() override { return String(); }
  String DefaultEditFormat() override { return String(); }
  String DefaultEditMask() override { return String(); }
  bool DefaultIsFloatValue() override { return false; }
  int DefaultMaxLength() override { return 0; }
  double DefaultMaxValue() override { return 0.0; }
  double DefaultMinValue() override { return 0.0; }
  int DefaultPrecision() override { return 15; }
  bool DefaultReadOnly() override { return false; }
  bool DefaultRequired() override { return false; }
  TObject* GetInstance() override { return this; }
  bool IsDataStorage() override { return false; }
  bool IsBlob() override { return false; }
  bool IsCurrency() override { return false; }
  bool IsDataAvailable() override { return true; }
  bool IsDisplayFormatDefined(bool) override { return false; }
  bool IsOnGetTextAssigned() override { return false; }
  bool IsOnSetTextAssigned() override { return false; }
  bool IsValidChar(Char) override { return true; }
};

class TcxEditAlignment : public TPersistent {
  DECLARE_CLASS(TcxEditAlignment, TPersistent)
  explicit TcxEditAlignment(TPersistent* AOwner);
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override { return FOwner; }

  TAlignment Horz() const { return FHorz; }
  // Marks it assigned; notifies unless the same value was assigned.
  void SetHorz(TAlignment Value);
  bool IsHorzAssigned() const { return FIsHorzAssigned; }
  TcxEditVertAlignment Vert() const { return FVert; }
  void SetVert(TcxEditVertAlignment Value);
  // Clears the assigned mark and notifies.
  void Reset();
  // Horz assigned or Vert not the default.
  bool IsStored() const { return FIsHorzAssigned || FVert != taTopJustify; }

  TNotifyEvent OnChanged;

 private:
  friend class TcxCustomEditProperties;
  void DoChanged();

  TAlignment FHorz = taLeftJustify;
  bool FIsHorzAssigned = false;
  TPersistent* FOwner;
  TcxEditVertAlignment FVert = taTopJustify;
};

// Which optional values of the properties were assigned.
class TcxCustomEditPropertiesValues : public TPersistent {
  DECLARE_CLASS(TcxCustomEditPropertiesValues, TPersistent)
  explicit TcxCustomEditPropertiesValues(TcxCustomEditProperties* AOwner);
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;
  // Clears the flags inside the owner's update bracket.
  virtual void RestoreDefaults();

  bool MaxValue() const { return FMaxValue; }
  void SetMaxValue(bool Value);
  bool MinValue() const { return FMinValue; }
  void SetMinValue(bool Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  TcxCustomEditProperties* Properties() const { return FOwner; }

 protected:
  void SetFlag(bool& AFlag, bool AValue);

 private:
  TcxCustomEditProperties* FOwner;
  bool FMaxValue = false;
  bool FMinValue = false;
  bool FReadOnly = false;
};

using TcxCustomEditPropertiesValuesClass = TClassOf<TcxCustomEditPropertiesValues, TcxCustomEditProperties*>;
using TcxCustomEditPropertiesClass = TClassOf<TcxCustomEditProperties, TPersistent*>;
using TcxEditButtonsClass = TClassOf<TcxEditButtons, TPersistent*, TClass>;
using TcxCustomEditClass = TClassOf<TcxCustomEdit, TComponent*, bool>;
using TcxCustomEditViewDataClass =
    TClassOf<TcxCustomEditViewData, TcxCustomEditProperties*, TcxCustomEditStyle*, bool>;

// What validation asks of the editor being validated.
class IcxEditValidationSource {
 public:
  virtual TcxCustomEditProperties* GetOwnProperties() = 0;
  // The repository item's properties, null without an item.
  virtual TcxCustomEditProperties* GetRepositoryItemProperties() = 0;
  virtual String GetCurrentInnerEditText() = 0;

 protected:
  ~IcxEditValidationSource() = default;
};

class TcxCustomEditProperties : public TcxInterfacedPersistent {
  DECLARE_CLASS(TcxCustomEditProperties, TcxInterfacedPersistent)
  explicit TcxCustomEditProperties(TPersistent* AOwner);
  void AfterConstruction() override;
  ~TcxCustomEditProperties() override;
  void Assign(TPersistent* Source) override;

  // Update bracket: changes inside it are reported once by the outermost
  // EndUpdate(true), and only when one happened.
  void BeginUpdate();
  void EndUpdate(bool AInvokeChanged = true);
  void Changed();
  bool ChangedLocked() const { return FChangedLocked || FUpdateCount > 0; }
  // While locked, changes are recorded and never replayed by unlocking.
  void LockUpdate(bool ALock) { FChangedLocked = ALock; }
  bool IsChanging() const { return FIsChangingCount > 0; }
  int UpdateCount() const { return FUpdateCount; }

  // Handlers and their dispatch.
  virtual void HandleAlignmentChanged(TObject* Sender);
  virtual void HandleButtonsChanged(TObject* Sender);
  virtual bool UsesDisplayValue() { return false; }
  virtual bool DefaultUseLeftAlignmentOnEditing() { return true; }
  virtual void ClearDefaultValuesProvider() { FIDefaultValuesProvider = nullptr; }
  virtual void CallOnPropertiesChanged();
  virtual void HandleFreeNotification(TComponent*) {}
  virtual TcxCustomEditPropertiesValuesClass GetValuesObjectClass() const;
  virtual TAlignment GetEffectiveHorzAlignment();
  virtual TcxEditDisplayFormatOptions QueryDisplayFormatOptions() { return TcxEditDisplayFormatOptions(); }
  virtual double MaxValue();
  virtual double MinValue();
  virtual void GetValidationErrorMessage(int AErrorKind, String& AText);
  virtual bool UsesDataDisplayFormat(bool AEditFocused);
  virtual bool TracksEditValueChanges() { return false; }
  virtual bool WantsTabs() { return false; }
  virtual bool DisplayDependsOnFocus() { return true; }
  virtual bool CanCompareEditValue() { return false; }
  virtual TcxEditButtonsClass GetButtonsClass() const;
  // The editor class of this kind (made in place with (owner, true)).
  virtual TcxCustomEditClass GetContainerClass() const;
  virtual TcxCustomEditViewDataClass GetViewDataClass() const;
  // A view data of GetViewDataClass for this object, style and mode.
  virtual TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace, bool APreviewMode = false);
  // Size queries, each through a temporary view data.
  TSize GetEditConstantPartSize(TcxCanvas* ACanvas, TcxCustomEditStyle* AEditStyle, bool AIsInplace,
                                TSize& AMinContentSize);
  TSize GetEditContentSize(TcxCanvas* ACanvas, TcxCustomEditStyle* AEditStyle, bool AIsInplace,
                           const Variant& AEditValue, const TcxEditSizeProperties& AEditSizeProperties);
  TSize GetEditSize(TcxCanvas* ACanvas, TcxCustomEditStyle* AEditStyle, bool AIsInplace, const Variant& AEditValue,
                    const TcxEditSizeProperties& AEditSizeProperties);
  virtual void Update(TcxCustomEditProperties*) {}
  virtual bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2);
  // A new object of the same class without an owner.
  virtual TcxCustomEditProperties* CreatePreviewProperties();
  virtual void DataChanged() {}
  virtual String GetDisplayText(const Variant&, bool AFullText = false, bool AIsInplace = true);
  virtual TcxEditSpecialFeatures GetSpecialFeatures() { return TcxEditSpecialFeatures(); }
  virtual TcxEditSupportedOperations GetSupportedOperations();
  virtual bool IsActivationKey(Char) { return false; }
  virtual bool IsEditValueValid(Variant&, bool) { return true; }
  virtual bool IsResetEditClass() { return false; }
  virtual void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused);
  virtual void RestoreDefaults();
  virtual void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, TObject* AEdit, bool& AError);
  virtual TcxDataEditValueSource GetEditValueSource(bool) { return evsValue; }

  // Runs OnValidate of the editor's own properties, then of its repository
  // item's; a handler that sets Error without changing the value makes the
  // editor's current text the display value.
  void RunValidateHandlers(Variant& ADisplayValue, String& AErrorText, bool& AChanged, TObject* AEdit,
                           bool& AError);
  bool IsValueEditorWithValueFormatting();
  // Assigned False, or not read-only and the provider allows modifying.
  bool IsEffectivelyModifiable();

  // Values.
  TcxEditAlignment* Alignment();
  void SetAlignment(TcxEditAlignment* Value);
  TcxCustomEditPropertiesValues* AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TcxCustomEditPropertiesValues* Value) { FAssignedValues->Assign(Value); }
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value);
  bool BeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool Value) { FBeepOnError = Value; }
  TcxEditButtons* Buttons() const { return FButtons; }
  void SetButtons(TcxEditButtons* Value);
  TcxEditButtonsViewStyle ButtonsViewStyle() const { return FButtonsViewStyle; }
  void SetButtonsViewStyle(TcxEditButtonsViewStyle Value);
  TShortCut ClearKey() const { return FClearKey; }
  void SetClearKey(TShortCut Value) { FClearKey = Value; }
  TShortCut ClickKey() const { return FClickKey; }
  void SetClickKey(TShortCut Value) { FClickKey = Value; }
  IcxEditDefaultValuesProvider* IDefaultValuesProvider() const { return FIDefaultValuesProvider; }
  // Signals Changed when the owner is an editor.
  void SetIDefaultValuesProvider(IcxEditDefaultValuesProvider* Value);
  // Stores the reference without any signal.
  void AssignDefaultValuesProviderQuietly(IcxEditDefaultValuesProvider* Value) { FIDefaultValuesProvider = Value; }
  bool ImmediatePost() const { return FImmediatePost; }
  void SetImmediatePost(bool Value) { FImmediatePost = Value; }
  TcxEditAlignment* InnerAlignment() const { return FInnerAlignment; }
  bool ReadOnly();
  void SetReadOnly(bool Value);
  void SetMaxValue(double Value);
  void SetMinValue(double Value);
  // Both bounds with one change signal, none when both were assigned already with these values.
  void SetMinMaxValues(double AMinValue, double AMaxValue);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool UseLeftAlignmentOnEditing() const { return FUseLeftAlignmentOnEditing; }
  void SetUseLeftAlignmentOnEditing(bool Value);
  bool UseMouseWheel() const { return FUseMouseWheel; }
  void SetUseMouseWheel(bool Value) { FUseMouseWheel = Value; }
  bool ValidateOnEnter() const { return FValidateOnEnter; }
  void SetValidateOnEnter(bool Value) { FValidateOnEnter = Value; }
  TcxFreeNotificator* FreeNotificator() const { return FFreeNotificator; }

  TcxEditButtonClickEvent OnButtonClick;
  TNotifyEvent OnChange;
  TcxEditClosePopupEvent OnClosePopup;
  TNotifyEvent OnEditValueChanged;
  TcxEditValidateEvent OnValidate;
  TNotifyEvent OnPropertiesChanged;

  // Every live properties object, in creation order.
  static const std::vector<TcxCustomEditProperties*>& LiveObjects();
  // Called by every properties object when it is destroyed (the in-place
  // editor lists forget it).
  static std::function<void(TcxCustomEditProperties*)>& DisconnectHook();

 private:
  bool OwnerIsDestroying();

  bool FAutoSelect = true;
  bool FBeepOnError = false;
  TcxEditButtons* FButtons = nullptr;
  TcxEditButtonsViewStyle FButtonsViewStyle = bvsNormal;
  bool FChangedOccurred = false;
  TShortCut FClearKey = 0;
  TShortCut FClickKey = 0x4000 | VK_RETURN;
  TcxFreeNotificator* FFreeNotificator = nullptr;
  bool FImmediatePost = false;
  TcxEditAlignment* FInnerAlignment = nullptr;
  int FIsChangingCount = 0;
  double FMaxValue = 0.0;
  double FMinValue = 0.0;
  bool FReadOnly = false;
  bool FTransparent = false;
  int FUpdateCount = 0;
  bool FUseLeftAlignmentOnEditing = true;
  bool FUseMouseWheel = true;
  bool FValidateOnEnter = false;
  TcxEditAlignment* FAlignment = nullptr;
  TcxCustomEditPropertiesValues* FAssignedValues = nullptr;
  bool FChangedLocked = false;
  IcxEditDefaultValuesProvider* FIDefaultValuesProvider = nullptr;
};

// Follows the owner chain of a persistent object to the first component.
TComponent* cxFindOwningComponent(TPersistent* APersistent);
