#include "platform/WinApi.h"
#include "editors/core/cxEdit.h"

#include "editors/core/cxEditButtons.h"
#include "editors/core/cxFilterEditsController.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Streams.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// An editor kind that keeps its text itself, as an inner edit would: typed
// characters go to the text as a user action, the value is the text.
class TTextProperties : public TcxCustomEditProperties {
  DECLARE_CLASS(TTextProperties, TcxCustomEditProperties)
  using TcxCustomEditProperties::TcxCustomEditProperties;
  bool UsesDisplayValue() override { return true; }
  bool CanCompareEditValue() override { return true; }
  bool IsResetEditClass() override { return true; }
  TcxCustomEditClass GetContainerClass() const override;
};

class TTextEdit : public TcxCustomEdit {
  DECLARE_CLASS(TTextEdit, TcxCustomEdit)
  using TcxCustomEdit::TcxCustomEdit;
  TcxCustomEditPropertiesClass GetPropertiesClass() const override {
    return TcxCustomEditPropertiesClass::Of<TTextProperties>();
  }
  String Text;

 protected:
  bool IsEditingChar(Char C) override { return C >= 32; }
  void ProcessKeyPress(Char& Key) override {
    if (!CheckKeyPress(Key) || Key < 32) return;
    Text += Key;
    SetModifiedAfterEnter(true);
    HandleContentChange();
  }
  String GetInnerEditText() override { return Text; }
  void SetInnerEditValue(const Variant& V) override { Text = VarToStr(V); }
  void UpdateTextFromEditValue() override { Text = VarToStr(EditValue()); }
  void ApplyDisplayValue(const Variant& V) override { SetInternalEditValue(V); }
  Variant GetValueFromEditingText() override { return Variant(Text); }
};

TcxCustomEditClass TTextProperties::GetContainerClass() const { return TcxCustomEditClass::Of<TTextEdit>(); }

struct TEvents : TObject {
  int Changes = 0;
  int ValueChanges = 0;
  int Clicks = 0;
  int Posts = 0;
  bool RejectNext = false;
  String ErrorText = L"bad value";
  void Change(TObject*) { ++Changes; }
  void ValueChange(TObject*) { ++ValueChanges; }
  void ButtonClick(TObject*, int) { ++Clicks; }
  void Post(TObject*) { ++Posts; }
  // Rejects texts that begin with "x".
  void Validate(TObject*, Variant& DisplayValue, String& ErrorText, bool& Error) {
    if (VarToStr(DisplayValue).rfind(L"x", 0) == 0) {
      Error = true;
      ErrorText = this->ErrorText;
    }
  }
};

// A form with the editor under test and a button to take the focus away.
struct TEditForm {
  Owned<TForm> Form{Make<TForm>(nullptr, 0)};
  TTextEdit* Edit;
  TButton* Other;
  TEvents Events;

  TEditForm() {
    Form->SetBounds(40, 40, 300, 200);
    Edit = static_cast<TTextEdit*>(Make<TTextEdit>(Form.get()));
    Edit->SetParent(Form.get());
    Edit->SetBounds(10, 10, 120, 24);
    Other = Make<TButton>(Form.get());
    Other->SetParent(Form.get());
    Other->SetBounds(10, 50, 80, 24);
    TcxCustomEditProperties* p = Edit->Properties();
    p->OnChange = TNotifyEvent::Bind<&TEvents::Change>(&Events);
    p->OnEditValueChanged = TNotifyEvent::Bind<&TEvents::ValueChange>(&Events);
    p->OnValidate = TcxEditValidateEvent::Bind<&TEvents::Validate>(&Events);
    p->OnButtonClick = TcxEditButtonClickEvent::Bind<&TEvents::ButtonClick>(&Events);
    Form->Show();
    SetForegroundWindow(Form->Handle());
    SetActiveWindow(Form->Handle());
    PumpMessagesUntil([this] { return GetActiveWindow() == Form->WindowHandle(); });
    // Showing the form focuses its first control: every case starts elsewhere.
    FocusOther();
  }

  void Key(WORD AKey, bool ACtrl = false) {
    BYTE state[256];
    GetKeyboardState(state);
    if (ACtrl) {
      BYTE withCtrl[256];
      std::copy(std::begin(state), std::end(state), withCtrl);
      withCtrl[VK_CONTROL] = 0x80;
      SetKeyboardState(withCtrl);
    }
    SendMessageW(GetFocus(), WM_KEYDOWN, AKey, 1);
    if (ACtrl) SetKeyboardState(state);
  }
  void Char(wchar_t C) { SendMessageW(GetFocus(), WM_CHAR, C, 1); }
  void Type(const wchar_t* AText) {
    for (const wchar_t* c = AText; *c; ++c) Char(*c);
  }
  void FocusEdit() {
    Edit->SetFocus();
    PumpMessagesUntil([this] { return GetFocus() == Edit->Handle(); });
  }
  void FocusOther() {
    Other->SetFocus();
    PumpMessagesUntil([this] { return GetFocus() == Other->Handle(); });
  }
};

}  // namespace

BEGIN_CLASS(TTextProperties, TcxCustomEditProperties, (ConstructWith<TTextProperties, TPersistent>))
  b.Publish({L"Alignment", L"AssignedValues", L"ReadOnly", L"MaxValue"});
END_CLASS
BEGIN_CLASS(TTextEdit, TcxCustomEdit, (ConstructWith<TTextEdit, TComponent>))
  b.template Constructor<TComponent*, bool>();
  b.Publish({L"EditValue", L"Properties", L"Style", L"StyleHot"});
END_CLASS

// Sequences of real focus moves and key messages; after each, the events
// that fired, the value and the state flags.
TEST(cxCustomEdit, StateMachineSequences) {
  struct TCase {
    const char* Name;
    void (*Setup)(TEditForm&);
    void (*Steps)(TEditForm&);
    int Changes, ValueChanges;
    const wchar_t* Value;
    bool Modified, ModifiedAfterEnter;
  } cases[] = {
      {"typing marks modified; leaving validates, takes the text and keeps the editor modified", nullptr,
       [](TEditForm& f) {
         f.FocusEdit();
         f.Type(L"ab");
         f.FocusOther();
       },
       3, 1, L"ab", true, false},
      {"Esc reverts to the value at focus enter (no value change) and swallows the Esc character",
       [](TEditForm& f) { f.Edit->SetEditValue(Variant(String(L"old"))); },
       [](TEditForm& f) {
         f.FocusEdit();
         f.Type(L"zz");
         f.Key(VK_ESCAPE);
         f.Char(27);
         f.FocusOther();
       },
       2, 0, L"old", true, false},
      {"Enter validates and posts when asked to; the held-back events fire once",
       [](TEditForm& f) { f.Edit->Properties()->SetValidateOnEnter(true); },
       [](TEditForm& f) {
         f.FocusEdit();
         f.Type(L"q");
         f.Key(VK_RETURN);
       },
       2, 1, L"q", true, true},
      {"the clear key clears, fires once and marks validated",
       [](TEditForm& f) {
         f.Edit->SetEditValue(Variant(String(L"v")));
         f.Edit->Properties()->SetClearKey(VK_DELETE);
       },
       [](TEditForm& f) {
         f.FocusEdit();
         f.Key(VK_DELETE);
       },
       1, 1, L"", true, true},
      {"a value set from code clears the modified flags", nullptr,
       [](TEditForm& f) {
         f.FocusEdit();
         f.Type(L"a");
         f.Edit->SetEditValue(Variant(String(L"code")));
       },
       2, 1, L"code", false, false},
      {"the same value twice fires once", nullptr,
       [](TEditForm& f) {
         f.Edit->SetEditValue(Variant(String(L"same")));
         f.Edit->SetEditValue(Variant(String(L"same")));
       },
       1, 1, L"same", false, false},
      {"a read-only editor refuses typed characters",
       [](TEditForm& f) { f.Edit->Properties()->SetReadOnly(true); },
       [](TEditForm& f) {
         f.FocusEdit();
         f.Type(L"no");
         f.FocusOther();
       },
       0, 0, L"", false, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TEditForm f;
    if (c.Setup) c.Setup(f);
    f.Events.Changes = f.Events.ValueChanges = 0;
    c.Steps(f);
    EXPECT_EQ(f.Events.Changes, c.Changes);
    EXPECT_EQ(f.Events.ValueChanges, c.ValueChanges);
    EXPECT_EQ(VarToStr(f.Edit->EditValue()), c.Value);
    EXPECT_EQ(f.Edit->EditModified(), c.Modified);
    EXPECT_EQ(f.Edit->ModifiedAfterEnter(), c.ModifiedAfterEnter);
  }
}

TEST(cxCustomEdit, HeldBackEventsFireOnceOnTheLastUnlock) {
  TEditForm f;
  f.Edit->LockChangeEvents(true);
  f.Edit->LockChangeEvents(true);
  for (int i = 0; i < 5; ++i) f.Edit->SetEditValue(Variant(i));
  EXPECT_EQ(f.Events.ValueChanges, 0);
  f.Edit->LockChangeEvents(false);
  EXPECT_EQ(f.Events.ValueChanges, 0);
  f.Edit->LockChangeEvents(false);
  EXPECT_EQ(f.Events.Changes, 1);
  EXPECT_EQ(f.Events.ValueChanges, 1);
  // Unlocking without invoking drops them; an exception in the locked
  // section still lets them fire at the unlock.
  f.Edit->LockChangeEvents(true);
  f.Edit->SetEditValue(Variant(42));
  f.Edit->LockChangeEvents(false, false);
  EXPECT_EQ(f.Events.ValueChanges, 1);
  try {
    f.Edit->LockChangeEvents(true);
    struct TUnlock {
      TcxCustomEdit* Edit;
      ~TUnlock() { Edit->LockChangeEvents(false); }
    } unlock{f.Edit};
    f.Edit->SetEditValue(Variant(43));
    throw Exception(L"stop");
  } catch (Exception&) {
  }
  EXPECT_EQ(f.Events.ValueChanges, 2);
  // Assignments are ignored while value changing is locked.
  f.Edit->LockEditValueChanging(true);
  f.Edit->SetEditValue(Variant(44));
  f.Edit->LockEditValueChanging(false);
  EXPECT_EQ(f.Edit->EditValue().AsInteger(), 43);
}

TEST(cxCustomEdit, AFailedValidationKeepsTheFocusAndTheText) {
  TEditForm f;
  f.FocusEdit();
  f.Type(L"x1");
  EXPECT_FALSE(f.Edit->ValidateEdit(false));
  EXPECT_EQ(f.Edit->Text, L"x1");
  EXPECT_THROW(f.Edit->ValidateEdit(true), EcxEditValidationError);
  EXPECT_TRUE(f.Edit->ModifiedAfterEnter());
  // An empty message aborts silently.
  f.Events.ErrorText = String();
  EXPECT_THROW(f.Edit->ValidateEdit(true), EAbort);
  // Not modified after enter: valid without asking the handler.
  f.Edit->SetModifiedAfterEnter(false);
  EXPECT_TRUE(f.Edit->ValidateEdit(true));
}

TEST(cxCustomEdit, ClickKeyClicksTheDefaultButtonOnly) {
  TEditForm f;
  f.FocusEdit();
  f.Key(VK_RETURN, true);
  EXPECT_EQ(f.Events.Clicks, 0);
  TcxEditButton* button = f.Edit->Properties()->Buttons()->Add();
  button->SetDefault(true);
  f.Key(VK_RETURN, true);
  EXPECT_EQ(f.Events.Clicks, 1);
}

TEST(cxCustomEdit, TabMovesTheFocusUnlessTheAfterKeyDownHandlerKeepsIt) {
  struct TKeep : TObject {
    bool Keep = false;
    void AfterKeyDown(TObject*, Word& Key, TShiftState) {
      if (Keep) Key = 0;
    }
  } keep;
  TEditForm f;
  f.Edit->OnAfterKeyDown = TKeyEvent::Bind<&TKeep::AfterKeyDown>(&keep);
  f.FocusEdit();
  keep.Keep = true;
  f.Key(VK_TAB);
  EXPECT_EQ(GetFocus(), f.Edit->Handle());
  keep.Keep = false;
  f.Key(VK_TAB);
  PumpMessagesUntil([&] { return GetFocus() == f.Other->Handle(); });
  EXPECT_EQ(GetFocus(), f.Other->Handle());
}

TEST(cxCustomEdit, AFailedPostInPlaceIsReported) {
  struct TFailingPost : TObject {
    void Post(TObject*) { throw Exception(L"the host refused"); }
  } failing;
  Owned<TForm> form{Make<TForm>(nullptr, 0)};
  TcxCustomEdit* edit = TcxCustomEditClass::Of<TTextEdit>().Create(form.get(), true);
  edit->OnPostEditValue = TNotifyEvent::Bind<&TFailingPost::Post>(&failing);
  EXPECT_THROW(edit->CommitEditValue(false), Exception);
  EXPECT_FALSE(edit->IsPosting());
}

TEST(cxCustomEdit, RepositoryItemsReplaceAndReturnTheOwnProperties) {
  struct TOtherProperties : TcxCustomEditProperties {
    using TcxCustomEditProperties::TcxCustomEditProperties;
  };
  TEditForm f;
  TcxEditRepository* repository = Make<TcxEditRepository>(f.Form.get());
  struct TTextItem : TcxEditRepositoryItem {
    using TcxEditRepositoryItem::TcxEditRepositoryItem;
    TcxCustomEditPropertiesClass GetEditPropertiesClass() const override {
      return TcxCustomEditPropertiesClass::Of<TTextProperties>();
    }
  };
  auto* item = static_cast<TcxEditRepositoryItem*>(Make<TTextItem>(f.Form.get()));
  item->SetRepository(repository);
  f.Edit->SetRepositoryItem(item);
  EXPECT_EQ(f.Edit->ActiveProperties(), item->Properties());
  EXPECT_EQ(f.Edit->Properties()->IDefaultValuesProvider(), nullptr);
  EXPECT_EQ(item->Properties()->IDefaultValuesProvider(), f.Edit->DataBinding()->IDefaultValuesProvider());
  f.Edit->SetRepositoryItem(nullptr);
  EXPECT_EQ(f.Edit->ActiveProperties(), f.Edit->Properties());
  EXPECT_EQ(f.Edit->Properties()->IDefaultValuesProvider(), f.Edit->DataBinding()->IDefaultValuesProvider());
  // An item of an unrelated kind is refused and changes nothing.
  struct TBaseItem : TcxEditRepositoryItem {
    using TcxEditRepositoryItem::TcxEditRepositoryItem;
  };
  auto* other = static_cast<TcxEditRepositoryItem*>(Make<TBaseItem>(f.Form.get()));
  EXPECT_THROW(f.Edit->SetRepositoryItem(other), EcxEditError);
  EXPECT_EQ(f.Edit->RepositoryItem(), nullptr);
  // Freeing the item clears the editor's reference.
  f.Edit->SetRepositoryItem(item);
  TObject::Free(item);
  EXPECT_EQ(f.Edit->RepositoryItem(), nullptr);
  EXPECT_EQ(f.Edit->ActiveProperties(), f.Edit->Properties());
}

TEST(cxInplaceEditList, OneEditorPerPropertiesUntilDisconnected) {
  Owned<TForm> form{Make<TForm>(nullptr, 0)};
  TcxInplaceEditList* list = Make<TcxInplaceEditList>(form.get());
  TcxCustomEditProperties* a = Make<TTextProperties>(nullptr);
  TcxCustomEditProperties* b = Make<TTextProperties>(nullptr);
  TcxCustomEdit* editA = list->GetEdit(a);
  EXPECT_TRUE(editA->IsInplace());
  EXPECT_FALSE(editA->Visible());
  a->SetBeepOnError(true);
  EXPECT_EQ(list->GetEdit(a), editA);
  EXPECT_TRUE(editA->Properties()->BeepOnError());
  TcxCustomEdit* editB = list->GetEdit(b);
  EXPECT_NE(editB, editA);
  // A freed properties object leaves its editor free for the next one.
  TObject::Free(a);
  TcxCustomEditProperties* c = Make<TTextProperties>(nullptr);
  EXPECT_EQ(list->GetEdit(c), editA);
  EXPECT_EQ(list->Count(), 2);
  TObject::Free(list);
  TObject::Free(b);
  TObject::Free(c);
}

TEST(cxEditStyles, ValuesResolveThroughTheControllerAndTheBaseStyle) {
  TEditForm f;
  TcxCustomEditStyle* normal = f.Edit->Style();
  auto* hot = static_cast<TcxCustomEditStyle*>(f.Edit->StyleHot());
  EXPECT_EQ(normal->GradientDirection(), egdDown);
  EXPECT_EQ(normal->ButtonStyle(), btsDefault);
  // ButtonTransparency set on the hot style goes to the base style.
  hot->SetButtonTransparency(ebtHideInactive);
  EXPECT_EQ(normal->ButtonTransparency(), ebtHideInactive);
  EXPECT_EQ(hot->ButtonTransparency(), ebtHideInactive);
  // ButtonStyle set on the hot style stays there.
  hot->SetButtonStyle(btsFlat);
  EXPECT_EQ(hot->ButtonStyle(), btsFlat);
  EXPECT_EQ(normal->ButtonStyle(), btsDefault);
  // The default controller's assigned value reaches every standalone editor.
  cxDefaultEditStyleController()->Style()->SetButtonStyle(bts3D);
  EXPECT_EQ(normal->ButtonStyle(), bts3D);
  EXPECT_TRUE(normal->IsValueAssigned(svButtonStyle));
  // An in-place editor's style never falls back to it.
  Owned<TForm> form{Make<TForm>(nullptr, 0)};
  TcxCustomEdit* inplace = TcxCustomEditClass::Of<TTextEdit>().Create(form.get(), true);
  EXPECT_EQ(inplace->Style()->ButtonStyle(), btsDefault);
  cxDefaultEditStyleController()->Style()->RestoreDefaults();
}

// Real presses and releases on the editor's window: a click on a button
// fires it; a press dragged off the button before the release does not.
TEST(cxCustomEdit, ButtonClicksComeFromPressAndReleaseOverTheButton) {
  TEditForm f;
  TcxEditButton* button = f.Edit->Properties()->Buttons()->Add();
  button->SetKind(bkEllipsis);
  button->SetWidth(20);
  f.Edit->SetBounds(10, 10, 120, 24);
  PumpQueuedMessages();
  TcxCustomEditViewInfo* viewInfo = f.Edit->EditViewInfo();
  ASSERT_EQ(viewInfo->ButtonCount(), 1);
  const TRect r = viewInfo->ButtonsInfo[0]->Bounds;
  const LPARAM over = MAKELPARAM((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  const LPARAM away = MAKELPARAM(5, 5);
  const HWND wnd = f.Edit->Handle();
  struct TSequence {
    const char* Name;
    LPARAM Release;
    int Clicks;
  } sequences[] = {{"press and release over the button", over, 1}, {"released elsewhere", away, 0}};
  for (const TSequence& s : sequences) {
    SCOPED_TRACE(s.Name);
    f.Events.Clicks = 0;
    SendMessageW(wnd, WM_MOUSEMOVE, 0, over);
    SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, over);
    EXPECT_EQ(viewInfo->PressedButton, 0);
    SendMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, s.Release);
    SendMessageW(wnd, WM_LBUTTONUP, 0, s.Release);
    EXPECT_EQ(f.Events.Clicks, s.Clicks);
    EXPECT_EQ(viewInfo->PressedButton, -1);
  }
}

TEST(cxFilterEditHelper, MakesAnEditorForTheColumnsSettings) {
  class TTextFilterHelper : public TcxCustomFilterEditHelper {
   public:
    TcxCustomEditPropertiesClass GetFilterEditPropertiesClass() const override {
      return TcxCustomEditPropertiesClass::Of<TTextProperties>();
    }
  };
  static const TTextFilterHelper helper;
  Owned<TcxCustomEditProperties> column{Make<TTextProperties>(nullptr)};
  column->SetReadOnly(true);
  TcxCustomEdit* first = helper.GetFilterEdit(column.get());
  TcxCustomEdit* second = helper.GetFilterEdit(column.get());
  EXPECT_NE(first, second);
  EXPECT_FALSE(first->ActiveProperties()->ReadOnly());
  EXPECT_TRUE(first->ActiveProperties()->ValidateOnEnter());
  TObject::Free(first);
  TObject::Free(second);
  Owned<TForm> form{Make<TForm>(nullptr, 0)};
  TcxInplaceEditList* list = Make<TcxInplaceEditList>(form.get());
  TcxCustomEdit* inplace = helper.GetFilterEdit(column.get(), list);
  EXPECT_EQ(helper.GetFilterEdit(column.get(), list), inplace);
  EXPECT_TRUE(inplace->IsInplace());
  TObject::Free(list);
}

TEST(cxCustomEdit, ButtonAcceleratorsAndHints) {
  TEditForm f;
  TcxEditButton* open = f.Edit->Properties()->Buttons()->Add();
  open->SetKind(bkText);
  open->SetCaption(L"&Open");
  open->SetWidth(30);
  open->SetHint(L"Open|Opens the file");
  PumpQueuedMessages();
  TcxCustomEditViewInfo* viewInfo = f.Edit->EditViewInfo();
  ASSERT_EQ(viewInfo->ButtonCount(), 1);
  // The accelerator clicks an enabled button and answers 1; others pass.
  EXPECT_EQ(f.Edit->Perform(CM_DIALOGCHAR, L'o', 0), 1);
  EXPECT_EQ(f.Events.Clicks, 1);
  EXPECT_EQ(f.Edit->Perform(CM_DIALOGCHAR, L'x', 0), 0);
  open->SetEnabled(false);
  PumpQueuedMessages();
  f.Edit->ShortRefreshContainer(false);
  EXPECT_EQ(f.Edit->Perform(CM_DIALOGCHAR, L'o', 0), 0);
  EXPECT_EQ(f.Events.Clicks, 1);

  struct THintCase {
    const char* Name;
    TPoint At;
    bool ShowHint;
    LRESULT Result;
    const wchar_t* Text;
  } cases[] = {
      {"over the button: the short part of its hint", {}, false, 0, L"Open"},
      {"over the text, the editor's own hint", TPoint(5, 5), true, 0, L"Editor"},
      {"over the text without ShowHint", TPoint(5, 5), false, 0, L""},
      {"outside the editor", TPoint(-5, -5), true, 1, L""},
  };
  f.Edit->SetHint(L"Editor|The editor under test");
  const TRect button = viewInfo->ButtonsInfo[0]->Bounds;
  cases[0].At = TPoint(button.Left + 2, button.Top + 2);
  for (const THintCase& c : cases) {
    SCOPED_TRACE(c.Name);
    f.Edit->SetShowHint(c.ShowHint);
    THintInfo info;
    info.CursorPos = c.At;
    EXPECT_EQ(f.Edit->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)), c.Result);
    if (c.Result == 0) EXPECT_EQ(info.HintStr, c.Text);
  }
}

TEST(cxCustomEdit, ClipboardMessagesGoToTheEditorsOperations) {
  class TClipEdit : public TTextEdit {
   public:
    using TTextEdit::TTextEdit;
    String Log;
    void CopyToClipboard() override { Log += L"copy;"; }
    void CutToClipboard() override { Log += KeyboardAction() ? L"cut by user;" : L"cut;"; }
    void PasteFromClipboard() override { Log += KeyboardAction() ? L"paste by user;" : L"paste;"; }
  };
  Owned<TForm> form{Make<TForm>(nullptr, 0)};
  auto* edit = static_cast<TClipEdit*>(TcxCustomEditClass::Of<TClipEdit>().Create(form.get(), false));
  edit->SetParent(form.get());
  const HWND wnd = edit->Handle();
  SendMessageW(wnd, WM_COPY, 0, 0);
  SendMessageW(wnd, WM_CUT, 0, 0);
  SendMessageW(wnd, WM_PASTE, 0, 0);
  EXPECT_EQ(edit->Log, L"copy;cut by user;paste by user;");
  // A read-only editor copies on cut and ignores paste.
  edit->Properties()->SetReadOnly(true);
  edit->Log.clear();
  SendMessageW(wnd, WM_CUT, 0, 0);
  SendMessageW(wnd, WM_PASTE, 0, 0);
  EXPECT_EQ(edit->Log, L"copy;");
}

// The messages an in-place activation by mouse sends to the editor's window.
TEST(cxCustomEdit, ActivationByMouseSendsAPressOrOnlyARelease) {
  class TLoggingEdit : public TTextEdit {
   public:
    using TTextEdit::TTextEdit;
    std::vector<UINT> Log;
    void WndProc(TMessage& Message) override {
      if (Message.Msg == WM_MOUSEMOVE || Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONUP)
        Log.push_back(Message.Msg);
      TTextEdit::WndProc(Message);
    }
  };
  Owned<TForm> form{Make<TForm>(nullptr, 0)};
  form->SetBounds(30, 30, 200, 100);
  form->Show();
  auto* edit = static_cast<TLoggingEdit*>(TcxCustomEditClass::Of<TLoggingEdit>().Create(form.get(), true));
  edit->SetParent(form.get());
  edit->SetBounds(10, 10, 100, 20);
  TcxCustomEditData* data = nullptr;
  edit->ActivateByMouse(TShiftState(), 15, 15, data);
  EXPECT_EQ(edit->Log, (std::vector<UINT>{WM_LBUTTONUP}));
  EXPECT_TRUE(edit->Deactivate());
  edit->Log.clear();
  edit->ActivateByMouse(TShiftState{ssLeft}, 15, 15, data);
  ASSERT_GE(edit->Log.size(), 2u);
  EXPECT_EQ(edit->Log[0], static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(edit->Log[1], static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_TRUE(edit->Deactivate());
  ReleaseCapture();
}

TEST(cxCustomEdit, NavigationKeysReachAfterKeyDownAndAreDropped) {
  struct TAfter : TObject {
    std::vector<Word> Keys;
    void AfterKeyDown(TObject*, Word& Key, TShiftState) { Keys.push_back(Key); }
  } after;
  TEditForm f;
  f.Edit->OnAfterKeyDown = TKeyEvent::Bind<&TAfter::AfterKeyDown>(&after);
  f.FocusEdit();
  for (Word key : {VK_LEFT, VK_DOWN, VK_HOME, VK_NEXT}) {
    Word k = key;
    f.Key(k);
  }
  EXPECT_EQ(after.Keys, (std::vector<Word>{VK_LEFT, VK_DOWN, VK_HOME, VK_NEXT}));
  // A key the editor does not know goes on untouched and is not reported.
  f.Key('A');
  EXPECT_EQ(after.Keys.size(), 4u);
}

TEST(cxCustomEdit, ResetWithoutARevertableKindChangesNothing) {
  Owned<TForm> form{Make<TForm>(nullptr, 0)};
  TcxCustomEdit* edit = Make<TcxCustomEdit>(form.get());
  edit->SetEditValue(Variant(7));
  edit->SetModifiedAfterEnter(true);
  edit->Reset();
  EXPECT_EQ(edit->EditValue().AsInteger(), 7);
  EXPECT_TRUE(edit->ModifiedAfterEnter());
}

// With buttons that size the editor, a standalone editor takes the width its
// border and buttons need; in place, or with automatic sizing off, it keeps its size.
TEST(cxCustomEdit, AutomaticWidthFollowsTheButtons) {
  TEditForm f;
  f.Edit->Style()->SetBorderStyle(ebsSingle);
  f.Edit->Style()->SetTransparentBorder(false);
  TcxEditButton* a = f.Edit->Properties()->Buttons()->Add();
  a->SetWidth(20);
  TcxEditButton* b = f.Edit->Properties()->Buttons()->Add();
  b->SetWidth(25);
  f.Edit->Properties()->SetButtonsViewStyle(bvsButtonsAutoWidth);
  PumpQueuedMessages();
  EXPECT_TRUE(f.Edit->AutoSize());
  EXPECT_EQ(f.Edit->Width(), 2 + 20 + 25);
  b->SetWidth(35);
  PumpQueuedMessages();
  EXPECT_EQ(f.Edit->Width(), 2 + 20 + 35);
  f.Edit->SetAutoSize(false);
  f.Edit->SetBounds(10, 10, 150, 24);
  PumpQueuedMessages();
  EXPECT_EQ(f.Edit->Width(), 150);
  Owned<TForm> form{Make<TForm>(nullptr, 0)};
  TcxCustomEdit* inplace = TcxCustomEditClass::Of<TTextEdit>().Create(form.get(), true);
  EXPECT_FALSE(inplace->AutoSize());
  inplace->SetAutoSize(true);
  EXPECT_FALSE(inplace->AutoSize());
}

// A style controller in a stored definition keeps exactly the editor values
// that were set, on the style they were set on.
TEST(cxEditStyles, AControllerStoresAndReadsItsEditorValues) {
  auto controller = MakeOwned<TcxEditStyleController>(nullptr);
  controller->SetName(L"EditStyles");
  controller->Style()->SetButtonStyle(btsFlat);
  controller->StyleHot()->SetButtonStyle(bts3D);
  controller->StyleHot()->SetGradient(true);   // goes to the normal style
  Owned<TMemoryStream> binary(Make<TMemoryStream>()), text(Make<TMemoryStream>());
  WriteComponentToStream(binary.get(), controller.get());
  binary->SetPosition(0);
  ObjectBinaryToText(binary.get(), text.get());
  const std::string written(static_cast<const char*>(text->Memory()), static_cast<size_t>(text->Size()));
  for (const char* line : {"Style.ButtonStyle = btsFlat", "StyleHot.ButtonStyle = bts3D", "Style.Gradient = True"})
    EXPECT_NE(written.find(line), std::string::npos) << line << "\n" << written;
  for (const char* absent : {"Style.ButtonTransparency", "StyleHot.Gradient", "StyleFocused.ButtonStyle"})
    EXPECT_EQ(written.find(absent), std::string::npos) << absent << "\n" << written;
  binary->SetPosition(0);
  auto read = MakeOwned<TcxEditStyleController>(nullptr);
  ReadComponentFromStream(binary.get(), read.get());
  EXPECT_EQ(read->Style()->ButtonStyle(), btsFlat);
  EXPECT_EQ(read->StyleHot()->ButtonStyle(), bts3D);
  EXPECT_TRUE(read->Style()->Gradient());
  EXPECT_FALSE(read->Style()->IsValueAssigned(svButtonTransparency));
}

// An editor in a stored definition: its value, its properties (alignment,
// read-only, the bounds and their flags) and its style come back as set.
TEST(cxCustomEdit, StoredEditorsKeepTheirValuePropertiesAndStyle) {
  auto edit = Own(static_cast<TTextEdit*>(Make<TTextEdit>(nullptr)));
  edit->SetName(L"Edit1");
  edit->SetEditValue(Variant(String(L"kept")));
  edit->Properties()->Alignment()->SetHorz(taRightJustify);
  edit->Properties()->SetReadOnly(true);
  edit->Properties()->SetMaxValue(0);
  edit->Style()->SetColor(clYellow);
  edit->Style()->SetBorderStyle(ebsThick);
  Owned<TMemoryStream> binary(Make<TMemoryStream>()), text(Make<TMemoryStream>());
  WriteComponentToStream(binary.get(), edit.get());
  binary->SetPosition(0);
  ObjectBinaryToText(binary.get(), text.get());
  const std::string written(static_cast<const char*>(text->Memory()), static_cast<size_t>(text->Size()));
  for (const char* line : {"EditValue = 'kept'", "Properties.Alignment.Horz = taRightJustify", "Properties.ReadOnly = True",
                           "Properties.AssignedValues.MaxValue = True", "Style.Color = clYellow",
                           "Style.BorderStyle = cbsThick"})
    EXPECT_NE(written.find(line), std::string::npos) << line << "\n" << written;
  // Hidden from this editor: the editor-only style values.
  edit->Style()->SetButtonStyle(btsFlat);
  binary->Clear();
  text->Clear();
  WriteComponentToStream(binary.get(), edit.get());
  binary->SetPosition(0);
  ObjectBinaryToText(binary.get(), text.get());
  const std::string again(static_cast<const char*>(text->Memory()), static_cast<size_t>(text->Size()));
  EXPECT_EQ(again.find("ButtonStyle"), std::string::npos) << again;

  binary->SetPosition(0);
  auto read = Own(static_cast<TTextEdit*>(Make<TTextEdit>(nullptr)));
  ReadComponentFromStream(binary.get(), read.get());
  EXPECT_EQ(VarToStr(read->EditValue()), L"kept");
  EXPECT_EQ(read->Properties()->Alignment()->Horz(), taRightJustify);
  EXPECT_TRUE(read->Properties()->ReadOnly());
  EXPECT_TRUE(read->Properties()->AssignedValues()->MaxValue());
  EXPECT_EQ(read->Style()->Color(), clYellow);
  EXPECT_EQ(read->Style()->BorderStyle(), ebsThick);
}
