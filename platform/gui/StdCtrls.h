// Standard controls of the platform class library, built on the system's
// window classes: the label (painted by its parent), the single- and
// multi-line edits, push buttons, check boxes and radio buttons, list boxes,
// combo boxes and the group box.
//
// Each window control superclasses its system class (CreateSubClass) and
// hears about itself through the notifications its parent reflects back as
// CN_COMMAND, CN_DRAWITEM and CN_MEASUREITEM. State that lives in the window
// (text, items, selection, modified flag) is kept in the object while there
// is no window and is carried over when the window is recreated.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/StringLists.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/OwnerDrawState.h"

#include <vector>

class TStringList;
class TListBoxStrings;
class TComboBoxStrings;
class TMemoStrings;

// ---------------------------------------------------------------------------
// Shared enumerations
// ---------------------------------------------------------------------------

DECLARE_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)
// The two sides a check box may put its text on.
using TLeftRight = TAlignment;
DECLARE_ENUM(TTextLayout, tlTop, tlCenter, tlBottom)
DECLARE_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)
DECLARE_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)
// The input method mode an edit asks for (kept with the control; the
// platform's edits store it without acting on it here).
DECLARE_ENUM(TImeMode, imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata,
             imChinese, imSHanguel, imHanguel)
using TImeName = String;
DECLARE_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)
DECLARE_ENUM(TListBoxStyle, lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable)
DECLARE_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable)

// Owner drawing of list and combo box items.
using TDrawItemEvent = TClosure<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TClosure<void(TWinControl* Control, int Index, int& Height)>;

// Whether `key` is the accelerator of `caption` (the character after a
// single '&', compared without case).
bool IsAccel(Word key, const String& caption);

// ---------------------------------------------------------------------------
// TCustomLabel, TLabel
// ---------------------------------------------------------------------------

class TCustomLabel : public TGraphicControl {
  DECLARE_CLASS(TCustomLabel, TGraphicControl)
  explicit TCustomLabel(TComponent* AOwner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool Transparent() const { return !controlStyle_.Contains(csOpaque); }
  void SetTransparent(bool value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  // The control that an accelerator of the caption focuses.
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* value);
  void SetAutoSize(bool value) override;

  void Paint() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation operation) override;

 protected:
  // Draws (or with DT_CALCRECT measures) the caption in `Rect`; the flags
  // are the alignment and word-wrap flags of the label.
  virtual void DoDrawText(TRect& Rect, UINT Flags);
  // Resizes the label to its caption when AutoSize is set, keeping the
  // side given by the alignment in place.
  virtual void AdjustBounds();
  // The caption as drawn: "&&" is one ampersand when ShowAccelChar is set.
  virtual String GetLabelText();

  void CMTextChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMDialogChar(TWMKey& Message);

 private:
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
  DECLARE_CLASS(TLabel, TCustomLabel)
  using TCustomLabel::TCustomLabel;
};

// ---------------------------------------------------------------------------
// TCustomEdit, TEdit
// ---------------------------------------------------------------------------

class TCustomEdit : public TWinControl {
  DECLARE_CLASS(TCustomEdit, TWinControl)
  explicit TCustomEdit(TComponent* AOwner);

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

  // ---- settings (a change of a style setting recreates the window)
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool value) { autoSelect_ = value; }
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  // 0: no limit beyond the system's.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  bool OEMConvert() const { return oemConvert_; }
  void SetOEMConvert(bool value);
  // 0: the text shows as typed.
  Char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(Char value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  // Grey text shown while the edit is empty.
  String TextHint() const { return textHint_; }
  void SetTextHint(const String& value);
  TImeMode ImeMode() const { return imeMode_; }
  void SetImeMode(TImeMode value) { imeMode_ = value; }
  TImeName ImeName() const { return imeName_; }
  void SetImeName(const TImeName& value) { imeName_ = value; }

  // ---- text and selection (through the window when it exists)
  bool Modified();
  void SetModified(bool value);
  bool CanUndo();
  void Undo();
  void ClearUndo();
  void Clear();
  void ClearSelection();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void SelectAll();
  int SelStart();
  void SetSelStart(int value);
  int SelLength();
  void SetSelLength(int value);
  String SelText();
  // Replaces the selection (undoable).
  void SetSelText(const String& value);
  // The selected text into a buffer of BufSize characters (with the 0).
  int GetSelTextBuf(Char* Buffer, int BufSize);
  void SetSelTextBuf(const Char* Buffer);

  TNotifyEvent OnChange;

 protected:
  // Fires OnChange; called for EN_CHANGE (not while the window is made).
  virtual void Change();
  // The single-line edit's height from its font and border.
  virtual void AdjustHeight();
  void Loaded() override;
  void SetAutoSize(bool value) override;

  void CNCommand(TWMCommand& Message);
  void CMEnter(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMCtl3DChanged(TMessage& Message);
  void WMSetFont(TWMSetFont& Message);

  bool creating_ = false;

 private:
  void UpdateHeight();
  TBorderStyle borderStyle_ = bsSingle;
  TEditCharCase charCase_ = ecNormal;
  bool autoSelect_ = true;
  bool hideSelection_ = true;
  bool oemConvert_ = false;
  bool readOnly_ = false;
  bool modified_ = false;
  int maxLength_ = 0;
  Char passwordChar_ = 0;
  String textHint_;
  TImeMode imeMode_ = imDontCare;
  TImeName imeName_;
};

class TEdit : public TCustomEdit {
  DECLARE_CLASS(TEdit, TCustomEdit)
  using TCustomEdit::TCustomEdit;
};

// ---------------------------------------------------------------------------
// TCustomMemo, TMemo
// ---------------------------------------------------------------------------

// A multi-line edit. Lines are the text's lines as separated by line breaks
// (a long line wrapped on screen is one line).
class TCustomMemo : public TCustomEdit {
  DECLARE_CLASS(TCustomMemo, TCustomEdit)
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;

  void CreateParams(TCreateParams& Params) override;

  TStrings* Lines() const;
  void SetLines(TStrings* value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool value) { wantReturns_ = value; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value) { wantTabs_ = value; }
  // Caret position: X the column, Y the line (of the edit's own lines).
  TPoint CaretPos();
  void SetCaretPos(TPoint value);

 protected:
  void AdjustHeight() override {}
  void KeyPress(Char& Key) override;
  void WMGetDlgCode(TWMGetDlgCode& Message);

 private:
  TMemoStrings* lines_;
  TAlignment alignment_ = taLeftJustify;
  TScrollStyle scrollBars_ = ssNone;
  bool wordWrap_ = true;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
};

class TMemo : public TCustomMemo {
  DECLARE_CLASS(TMemo, TCustomMemo)
  using TCustomMemo::TCustomMemo;
};

// ---------------------------------------------------------------------------
// TButtonControl, TButton, TCheckBox
// ---------------------------------------------------------------------------

class TButtonControl : public TWinControl {
  DECLARE_CLASS(TButtonControl, TWinControl)
  explicit TButtonControl(TComponent* AOwner);

  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  // Click events are held back while setting the state from code inside
  // the control.
  bool ClicksDisabled() const { return clicksDisabled_; }
  void SetClicksDisabled(bool value) { clicksDisabled_ = value; }
  virtual bool Checked() { return false; }
  virtual void SetChecked(bool) {}

 protected:
  void CreateParams(TCreateParams& Params) override;
  // A press of the mouse focuses the button first, with clicks held back:
  // a radio button that gets the focus clicks itself, and the click of a
  // press belongs to its release. CN_COMMAND is dropped while clicks are
  // held back.
  void WndProc(TMessage& Message) override;
  // TButtonActionLink.
  TClass GetActionLinkClass() override;
  // Takes the action's Checked (held back: no click) unless defaults are
  // checked and the button is already checked.
  void ActionChange(TObject* Sender, bool CheckDefaults) override;

 private:
  bool clicksDisabled_ = false;
  bool wordWrap_ = false;
};

class TCustomButton : public TButtonControl {
  DECLARE_CLASS(TCustomButton, TButtonControl)
  explicit TCustomButton(TComponent* AOwner);

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  // Sets the parent form's ModalResult, then fires OnClick.
  void Click() override;

  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int value) { modalResult_ = value; }
  // Whether the button draws as the one Enter presses (the focused button,
  // or the default button while no button has the focus).
  bool Active() const { return active_; }

 protected:
  // Switches the window between BS_PUSHBUTTON and BS_DEFPUSHBUTTON.
  virtual void SetButtonStyle(bool ADefault);

  void CNCommand(TWMCommand& Message);
  void CMDialogKey(TWMKey& Message);
  void CMDialogChar(TWMKey& Message);
  void CMFocusChanged(TCMFocusChanged& Message);

  bool default_ = false;
  bool active_ = false;

 private:
  bool cancel_ = false;
  int modalResult_ = 0;
};

class TButton : public TCustomButton {
  DECLARE_CLASS(TButton, TCustomButton)
  using TCustomButton::TCustomButton;
};

class TCustomCheckBox : public TButtonControl {
  DECLARE_CLASS(TCustomCheckBox, TButtonControl)
  explicit TCustomCheckBox(TComponent* AOwner);

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;

  TLeftRight Alignment() const { return alignment_; }
  void SetAlignment(TLeftRight value);
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool value) { allowGrayed_ = value; }
  TCheckBoxState State() const { return state_; }
  // Shows the state and fires OnClick when it changed.
  void SetState(TCheckBoxState value);
  bool Checked() override { return state_ == cbChecked; }
  void SetChecked(bool value) override { SetState(value ? cbChecked : cbUnchecked); }

 protected:
  // The next state of a click: unchecked, (grayed,) checked, unchecked.
  virtual void Toggle();

  void CNCommand(TWMCommand& Message);
  void CMDialogChar(TWMKey& Message);

 private:
  TLeftRight alignment_ = taRightJustify;
  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false;
};

class TCheckBox : public TCustomCheckBox {
  DECLARE_CLASS(TCheckBox, TCustomCheckBox)
  using TCustomCheckBox::TCustomCheckBox;
};

// ---------------------------------------------------------------------------
// TRadioButton
// ---------------------------------------------------------------------------

// One choice of several: checking a radio button unchecks the other radio
// buttons of the same parent (and the actions with AutoCheck behind them).
// Only the checked button of a group is a tab stop; the arrow keys move
// through the group, and a radio button that gets the focus from the
// keyboard checks itself.
class TRadioButton : public TButtonControl {
  DECLARE_CLASS(TRadioButton, TButtonControl)
  explicit TRadioButton(TComponent* AOwner);

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;

  // The side of the circle the caption is on.
  TLeftRight Alignment() const { return alignment_; }
  void SetAlignment(TLeftRight value);
  bool Checked() override { return checked_; }
  // Checking unchecks the siblings, then fires OnClick (unless clicks are
  // held back); unchecking fires nothing.
  void SetChecked(bool value) override;

 protected:
  void CNCommand(TWMCommand& Message);
  void CMDialogChar(TWMKey& Message);
  // The focus from the keyboard or from code checks the button, as the
  // system's radio buttons do (not every version of the system does);
  // a mouse press leaves the check to its release.
  void WMSetFocus(TWMSetFocus& Message);

 private:
  void TurnSiblingsOff();

  TLeftRight alignment_ = taRightJustify;
  bool checked_ = false;
};

// ---------------------------------------------------------------------------
// TButtonActionLink
// ---------------------------------------------------------------------------

// The link of a button control (push button, check box, radio button):
// besides the window control link's properties, the button's Checked
// follows the action's while the two are equal, and is set without a click.
class TButtonActionLink : public TWinControlActionLink {
  DECLARE_CLASS(TButtonActionLink, TWinControlActionLink)
  explicit TButtonActionLink(TObject* AClient);

  TButtonControl* ClientButton() const { return button_; }
  bool IsCheckedLinked() override;
  void SetChecked(bool value) override;

 protected:
  // EInvalidCast unless the client is a button control.
  void AssignClient(TObject* AClient) override;

 private:
  TButtonControl* button_ = nullptr;
};

// ---------------------------------------------------------------------------
// TCustomGroupBox, TGroupBox
// ---------------------------------------------------------------------------

// A captioned frame that holds controls; painted by the control itself.
class TCustomGroupBox : public TCustomControl {
  DECLARE_CLASS(TCustomGroupBox, TCustomControl)
  explicit TCustomGroupBox(TComponent* AOwner);

  void CreateParams(TCreateParams& Params) override;
  void AdjustClientRect(TRect& Rect) override;
  void Paint() override;

 protected:
  void CMTextChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMDialogChar(TWMKey& Message);
};

class TGroupBox : public TCustomGroupBox {
  DECLARE_CLASS(TGroupBox, TCustomGroupBox)
  using TCustomGroupBox::TCustomGroupBox;
};

// ---------------------------------------------------------------------------
// TCustomListBox, TListBox
// ---------------------------------------------------------------------------

class TCustomListBox : public TWinControl {
  DECLARE_CLASS(TCustomListBox, TWinControl)
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& Message) override;

  // ---- items
  TStrings* Items() const;
  void SetItems(TStrings* value);
  int Count();
  void Clear();
  void DeleteSelected();
  // The item under a client point; a point below the last item gives Count
  // unless Existing, which gives -1 as does any point outside the client area.
  int ItemAtPos(TPoint Pos, bool Existing);
  // The rectangle of an item; Count gives the rectangle just below the last one.
  TRect ItemRect(int Index);
  // The object stored with an item (LB_GETITEMDATA); descendants that keep
  // their items elsewhere override both.
  virtual NativeInt GetItemData(int Index);
  virtual void SetItemData(int Index, NativeInt AData);

  // ---- selection
  // The selected item; in a multi-select list the item with the focus.
  // -1 for none. Descendants may add to the setter.
  virtual int ItemIndex();
  virtual void SetItemIndex(int value);
  // EListError for an index out of range.
  bool GetSelected(int Index);
  void SetSelected(int Index, bool value);
  // Selected items of a multi-select list; -1 for a single-select list.
  int SelCount();
  void ClearSelection();
  void SelectAll();
  int TopIndex();
  void SetTopIndex(int value);

  // ---- settings (a change of a style setting recreates the window)
  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle value);
  // Height of the items of a fixed owner-drawn list (and the default of a
  // variable one); a standard list reports its font's row height.
  int ItemHeight();
  void SetItemHeight(int value);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value);
  bool ExtendedSelect() const { return extendedSelect_; }
  void SetExtendedSelect(bool value);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  int Columns() const { return columns_; }
  void SetColumns(int value);
  bool IntegralHeight() const { return integralHeight_; }
  void SetIntegralHeight(bool value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int value);
  // Horizontal scroll extent in pixels.
  int ScrollWidth();
  void SetScrollWidth(int value);
  // Typing selects the first item that starts with the characters typed
  // within AutoCompleteDelay milliseconds of each other.
  bool AutoComplete() const { return autoComplete_; }
  void SetAutoComplete(bool value) { autoComplete_ = value; }
  int AutoCompleteDelay() const { return autoCompleteDelay_; }
  void SetAutoCompleteDelay(int value) { autoCompleteDelay_ = value; }

  // The canvas owner drawing paints on (bound to the item's DC while the
  // item is drawn).
  TCanvas* Canvas() const { return canvas_; }

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

 protected:
  // Paints one item on Canvas: OnDrawItem, or the item's text.
  virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
  // The height of an item of a variable owner-drawn list: OnMeasureItem.
  virtual void MeasureItem(int Index, int& Height);
  void KeyPress(Char& Key) override;
  void Loaded() override;

  void CNCommand(TWMCommand& Message);
  void CNDrawItem(TWMDrawItem& Message);
  void CNMeasureItem(TWMMeasureItem& Message);
  void WMLButtonDown(TWMMouse& Message);
  void CMCtl3DChanged(TMessage& Message);

 private:
  friend class TListBoxStrings;
  void ApplyColumnWidth();
  TListBoxStrings* items_;
  TCanvas* canvas_;
  TListBoxStyle style_ = lbStandard;
  TBorderStyle borderStyle_ = bsSingle;
  int itemHeight_ = 16;
  int columns_ = 0;
  int tabWidth_ = 0;
  int scrollWidth_ = 0;
  int autoCompleteDelay_ = 500;
  bool multiSelect_ = false;
  bool extendedSelect_ = true;
  bool sorted_ = false;
  bool integralHeight_ = false;
  bool autoComplete_ = true;
  // Kept while there is no window.
  int saveItemIndex_ = -1;
  int saveTopIndex_ = 0;
  std::vector<bool> saveSelected_;
  String filter_;
  DWORD lastKeyTime_ = 0;
};

class TListBox : public TCustomListBox {
  DECLARE_CLASS(TListBox, TCustomListBox)
  using TCustomListBox::TCustomListBox;
};

// ---------------------------------------------------------------------------
// TCustomComboBox, TComboBox
// ---------------------------------------------------------------------------

class TCustomComboBox : public TWinControl {
  DECLARE_CLASS(TCustomComboBox, TWinControl)
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& Message) override;

  TStrings* Items() const;
  void SetItems(TStrings* value);
  void Clear();
  virtual int ItemIndex();
  virtual void SetItemIndex(int value);
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle value);
  // Items the dropped list shows without scrolling.
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int value);
  bool DroppedDown();
  void SetDroppedDown(bool value);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  int ItemHeight();
  void SetItemHeight(int value);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase value);
  int SelStart();
  void SetSelStart(int value);
  int SelLength();
  void SetSelLength(int value);
  void SelectAll();
  // The window of the edit part (csDropDown, csSimple), else null.
  HWND EditHandle() const { return editHandle_; }
  // The window of the list part, null until the window exists.
  HWND ListHandle() const { return listHandle_; }
  TCanvas* Canvas() const { return canvas_; }

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

 protected:
  virtual void Change();
  // OnSelect, or OnChange without one.
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();
  virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int& Height);
  // Sizes the dropped list to DropDownCount items.
  void AdjustDropDown();

  void CNCommand(TWMCommand& Message);
  void CNDrawItem(TWMDrawItem& Message);
  void CNMeasureItem(TWMMeasureItem& Message);

 private:
  friend class TComboBoxStrings;
  static LRESULT CALLBACK EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT EditMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  bool IsOwnerDraw() const { return style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable; }

  TComboBoxStrings* items_;
  TCanvas* canvas_;
  HWND editHandle_ = nullptr;
  HWND listHandle_ = nullptr;
  WNDPROC editDefProc_ = nullptr;
  TComboBoxStyle style_ = csDropDown;
  TEditCharCase charCase_ = ecNormal;
  int dropDownCount_ = 8;
  int itemHeight_ = 16;
  int maxLength_ = 0;
  bool sorted_ = false;
  int saveItemIndex_ = -1;
};

class TComboBox : public TCustomComboBox {
  DECLARE_CLASS(TComboBox, TCustomComboBox)
  using TCustomComboBox::TCustomComboBox;
};

// Module start-up: registers the classes of this module and of ExtCtrls,
// Buttons and ComCtrls for the component stream.
void StdCtrlsInitialize();
void StdCtrlsFinalize();
