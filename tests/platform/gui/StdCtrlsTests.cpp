// Standard controls: the system classes they superclass, property <-> window
// state, state kept across RecreateWnd, events from real window messages,
// owner drawing and the group box's own painting.
#include "StdCtrlsTestSupport.h"

#include "platform/core/StringLists.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/GdiAccounting.h"

using namespace stdtest;

namespace {

class StdCtrlsEditTest : public StdCtrlsTest {};
class StdCtrlsButtonTest : public StdCtrlsTest {};
class StdCtrlsLabelTest : public StdCtrlsTest {};
class StdCtrlsListBoxTest : public StdCtrlsTest {};
class StdCtrlsComboBoxTest : public StdCtrlsTest {};
class StdCtrlsGroupBoxTest : public StdCtrlsTest {};

int TextHeightOf(TFont* font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font->Handle());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight;
}

SIZE TextExtentOf(TFont* font, const String& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font->Handle());
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size;
}

// ---------------------------------------------------------------------------
// Edit and memo
// ---------------------------------------------------------------------------

TEST_F(StdCtrlsEditTest, WindowIsAnEditWithTheStylesOfTheSettings) {
  auto* edit = Place<TEdit>();
  edit->SetReadOnly(true);
  edit->SetMaxLength(5);
  edit->SetPasswordChar(L'#');
  HWND wnd = edit->Handle();
  EXPECT_EQ(WindowClassOf(wnd), L"TEdit");
  EXPECT_TRUE(SuperclassesSystemClass(wnd, L"EDIT"));
  EXPECT_TRUE(StyleOf(wnd) & ES_AUTOHSCROLL);
  EXPECT_TRUE(StyleOf(wnd) & ES_READONLY);
  EXPECT_TRUE(StyleOf(wnd) & WS_TABSTOP);
  EXPECT_TRUE(ExStyleOf(wnd) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(SendMessageW(wnd, EM_GETLIMITTEXT, 0, 0), 5);
  EXPECT_EQ(SendMessageW(wnd, EM_GETPASSWORDCHAR, 0, 0), L'#');

  // Settings changed on a live window reach it.
  edit->SetReadOnly(false);
  EXPECT_FALSE(StyleOf(edit->Handle()) & ES_READONLY);
  edit->SetBorderStyle(bsNone);
  EXPECT_FALSE(ExStyleOf(edit->Handle()) & WS_EX_CLIENTEDGE);
  edit->SetCharCase(ecUpperCase);
  EXPECT_TRUE(StyleOf(edit->Handle()) & ES_UPPERCASE);
  // The single-line edit's height follows its font: text height plus the frame.
  auto* sized = Place<TEdit>();
  EXPECT_EQ(sized->Height(), TextHeightOf(sized->Font()) + 8 * GetSystemMetrics(SM_CYBORDER));
}

TEST_F(StdCtrlsEditTest, TextSelectionAndModifiedSurviveRecreation) {
  auto* edit = Place<TEdit>();
  edit->SetText(L"hello world");
  edit->SetModified(true);
  // Before the window: kept in the object.
  EXPECT_EQ(edit->Text(), L"hello world");
  EXPECT_TRUE(edit->Modified());
  HWND first = edit->Handle();
  Char buf[64] = {};
  GetWindowTextW(first, buf, 64);
  EXPECT_STREQ(buf, L"hello world");
  EXPECT_TRUE(SendMessageW(first, EM_GETMODIFY, 0, 0));

  edit->SetSelStart(6);
  edit->SetSelLength(5);
  EXPECT_EQ(edit->SelStart(), 6);
  EXPECT_EQ(edit->SelLength(), 5);
  EXPECT_EQ(edit->SelText(), L"world");
  edit->SetSelText(L"there");
  EXPECT_EQ(edit->Text(), L"hello there");

  edit->SetHideSelection(false);   // recreates the window
  EXPECT_NE(edit->Handle(), first);
  EXPECT_TRUE(StyleOf(edit->Handle()) & ES_NOHIDESEL);
  EXPECT_EQ(edit->Text(), L"hello there");
  EXPECT_TRUE(edit->Modified());
  edit->SetModified(false);
  EXPECT_FALSE(SendMessageW(edit->Handle(), EM_GETMODIFY, 0, 0));
}

TEST_F(StdCtrlsEditTest, OnChangeComesFromTheWindowsChangeNotification) {
  TEventLog log;
  auto* edit = Place<TEdit>();
  edit->OnChange = log.OnChange();
  edit->SetText(L"abc");   // before the window: nothing to notify
  edit->HandleNeeded();
  EXPECT_EQ(log.Count(L"change"), 0) << "making the window is no change";

  SendMessageW(edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"xyz"));
  EXPECT_EQ(log.Count(L"change"), 1);
  SendMessageW(edit->Handle(), EM_SETSEL, 3, 3);
  SendMessageW(edit->Handle(), WM_CHAR, L'!', 1);
  EXPECT_EQ(log.Count(L"change"), 2);
  EXPECT_EQ(edit->Text(), L"xyz!");
  EXPECT_TRUE(edit->Modified()) << "typing marks the text modified";
}

TEST_F(StdCtrlsEditTest, FocusSelectsAllTheTextWithAutoSelect) {
  auto* edit = Place<TEdit>();
  auto* other = Place<TEdit>(8, 40);
  edit->SetText(L"abcdef");
  form->Show();
  PumpPending();
  other->SetFocus();
  edit->SetFocus();
  EXPECT_EQ(edit->SelStart(), 0);
  EXPECT_EQ(edit->SelLength(), 6);
  edit->SetSelStart(2);
  edit->SetAutoSelect(false);
  other->SetFocus();
  edit->SetFocus();
  EXPECT_EQ(edit->SelLength(), 0);
}

TEST_F(StdCtrlsEditTest, UndoAndClipboardOperationsWorkOnTheWindow) {
  auto* edit = Place<TEdit>();
  edit->HandleNeeded();
  edit->SetText(L"one");
  edit->ClearUndo();
  EXPECT_FALSE(edit->CanUndo());
  SendMessageW(edit->Handle(), EM_SETSEL, 3, 3);
  SendMessageW(edit->Handle(), WM_CHAR, L'X', 1);
  EXPECT_TRUE(edit->CanUndo());
  edit->Undo();
  EXPECT_EQ(edit->Text(), L"one");

  edit->SelectAll();
  edit->CutToClipboard();
  EXPECT_EQ(edit->Text(), L"");
  edit->PasteFromClipboard();
  edit->PasteFromClipboard();
  EXPECT_EQ(edit->Text(), L"oneone");
  edit->SetSelStart(0);
  edit->SetSelLength(3);
  edit->ClearSelection();
  EXPECT_EQ(edit->Text(), L"one");
}

TEST_F(StdCtrlsEditTest, MemoLinesAreTheTextsLines) {
  auto* memo = Place<TMemo>(8, 8, 200, 100);
  TStrings* lines = memo->Lines();
  lines->Add(L"first");
  lines->Add(L"second");
  EXPECT_EQ(memo->Text(), L"first\r\nsecond\r\n");
  memo->HandleNeeded();
  EXPECT_TRUE(StyleOf(memo->Handle()) & ES_MULTILINE);
  EXPECT_TRUE(SuperclassesSystemClass(memo->Handle(), L"EDIT"));
  lines->Insert(1, L"middle");
  EXPECT_EQ(lines->Count(), 3);
  EXPECT_EQ(lines->Get(1), L"middle");
  lines->Delete(0);
  EXPECT_EQ(memo->Text(), L"middle\r\nsecond\r\n");
  lines->Put(1, L"last");
  EXPECT_EQ(lines->Get(1), L"last");
  EXPECT_THROW(lines->Get(2), EStringListError);

  // A long line wrapped on screen is still one line.
  memo->SetText(String(300, L'w') + L"\r\nshort");
  EXPECT_EQ(lines->Count(), 2);
  memo->SetWordWrap(false);   // recreates the window
  EXPECT_TRUE(StyleOf(memo->Handle()) & ES_AUTOHSCROLL);
  EXPECT_EQ(lines->Get(1), L"short");

  memo->SetCaretPos({2, 1});
  EXPECT_EQ(memo->CaretPos(), TPoint(2, 1));
}

// ---------------------------------------------------------------------------
// Buttons and check boxes
// ---------------------------------------------------------------------------

TEST_F(StdCtrlsButtonTest, ButtonClicksFromTheWindowAndSetsTheFormsModalResult) {
  TEventLog log;
  auto* button = Place<TButton>();
  button->SetCaption(L"&Go");
  button->SetModalResult(mrOk);
  button->OnClick = log.OnClick();
  HWND wnd = button->Handle();
  EXPECT_TRUE(SuperclassesSystemClass(wnd, L"BUTTON"));
  EXPECT_EQ(StyleOf(wnd) & 0x0F, static_cast<DWORD>(BS_PUSHBUTTON));
  button->SetDefault(true);
  EXPECT_EQ(StyleOf(wnd) & 0x0F, static_cast<DWORD>(BS_DEFPUSHBUTTON));

  SendMessageW(wnd, BM_CLICK, 0, 0);
  EXPECT_EQ(log.Count(L"click"), 1);
  EXPECT_EQ(form->ModalResult(), mrOk);
  form->SetModalResult(mrNone);

  // Enter presses the default button, Esc the cancel button, the
  // accelerator its button; other keys pass. (Keys go to controls that can
  // take the focus: the form shows.)
  auto* cancel = Place<TButton>(100, 8);
  form->Show();
  PumpPending();
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  EXPECT_EQ(cancel->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 1);
  EXPECT_EQ(form->ModalResult(), mrCancel);
  EXPECT_EQ(button->Perform(CM_DIALOGKEY, VK_RETURN, 0), 1);
  EXPECT_EQ(log.Count(L"click"), 2);
  EXPECT_EQ(button->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 0);
  EXPECT_EQ(button->Perform(CM_DIALOGCHAR, L'g', 0), 1);
  EXPECT_EQ(log.Count(L"click"), 3);
}

TEST_F(StdCtrlsButtonTest, ModalFormEndsWithTheClickedButtonsResult) {
  auto* button = Place<TButton>();
  button->SetModalResult(mrYes);
  TLoopGuard guard;
  PostMessageW(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form->ShowModal(), mrYes);
  EXPECT_FALSE(guard.Fired());
}

TEST_F(StdCtrlsButtonTest, CheckBoxStateFollowsClicksAndCode) {
  TEventLog log;
  auto* box = Place<TCheckBox>();
  box->SetChecked(true);   // before the window
  box->OnClick = log.OnClick();
  HWND wnd = box->Handle();
  EXPECT_TRUE(SuperclassesSystemClass(wnd, L"BUTTON"));
  EXPECT_EQ(StyleOf(wnd) & 0x0F, static_cast<DWORD>(BS_3STATE));
  EXPECT_EQ(SendMessageW(wnd, BM_GETCHECK, 0, 0), BST_CHECKED);

  SendMessageW(wnd, BM_CLICK, 0, 0);
  EXPECT_EQ(box->State(), cbUnchecked);
  EXPECT_EQ(SendMessageW(wnd, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(log.Count(L"click"), 1);

  // With AllowGrayed a click goes through the grayed state.
  box->SetAllowGrayed(true);
  const TCheckBoxState expected[] = {cbGrayed, cbChecked, cbUnchecked};
  for (TCheckBoxState s : expected) {
    SendMessageW(box->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(box->State(), s);
    EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), static_cast<LRESULT>(s));
  }
  EXPECT_EQ(log.Count(L"click"), 4);

  // Setting the state in code clicks too; the same state does not.
  box->SetState(cbGrayed);
  box->SetState(cbGrayed);
  EXPECT_EQ(log.Count(L"click"), 5);
  box->SetAlignment(taLeftJustify);   // recreates the window
  EXPECT_TRUE(StyleOf(box->Handle()) & BS_LEFTTEXT);
  EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
}

// ---------------------------------------------------------------------------
// Label
// ---------------------------------------------------------------------------

TEST_F(StdCtrlsLabelTest, AutoSizeFitsTheCaptionAndKeepsTheAlignedSide) {
  auto* label = Place<TLabel>(50, 10);
  label->SetCaption(L"Some caption");
  const SIZE size = TextExtentOf(label->Font(), L"Some caption");
  EXPECT_EQ(label->Width(), size.cx);
  EXPECT_EQ(label->Height(), size.cy);
  EXPECT_EQ(label->Left(), 50);

  // Right-aligned: the right edge stays where it was.
  const int right = label->Left() + label->Width();
  label->SetAlignment(taRightJustify);
  label->SetCaption(L"Hi");
  EXPECT_EQ(label->Left() + label->Width(), right);
  EXPECT_EQ(label->Width(), TextExtentOf(label->Font(), L"Hi").cx);

  // "&&" is one ampersand; without ShowAccelChar both show.
  label->SetAlignment(taLeftJustify);
  label->SetCaption(L"A&&B");
  EXPECT_EQ(label->Width(), TextExtentOf(label->Font(), L"A&B").cx);
  label->SetShowAccelChar(false);
  EXPECT_EQ(label->Width(), TextExtentOf(label->Font(), L"A&&B").cx);
}

TEST_F(StdCtrlsLabelTest, OpaqueLabelFillsItsColourTransparentOneLeavesTheBackground) {
  auto* label = Place<TLabel>(0, 0);
  label->SetAutoSize(false);
  label->SetBounds(0, 0, 20, 10);
  label->SetColor(clRed);
  std::unique_ptr<TBitmap, void (*)(TObject*)> bmp(NewBitmap(20, 10, clWhite), &TObject::Free);
  label->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bmp->Canvas()->Handle()), 0);
  EXPECT_EQ(PixelAt(bmp.get(), 0, 0), clRed);
  EXPECT_EQ(PixelAt(bmp.get(), 19, 9), clRed);

  label->SetTransparent(true);
  std::unique_ptr<TBitmap, void (*)(TObject*)> clear(NewBitmap(20, 10, clWhite), &TObject::Free);
  label->Perform(WM_PAINT, reinterpret_cast<WPARAM>(clear->Canvas()->Handle()), 0);
  EXPECT_EQ(PixelAt(clear.get(), 0, 0), clWhite);
  EXPECT_EQ(PixelAt(clear.get(), 19, 9), clWhite);
}

TEST_F(StdCtrlsLabelTest, AcceleratorFocusesTheFocusControl) {
  auto* edit = Place<TEdit>(8, 40);
  auto* label = Place<TLabel>();
  label->SetCaption(L"&Name:");
  label->SetFocusControl(edit);
  form->Show();
  PumpPending();
  EXPECT_EQ(label->Perform(CM_DIALOGCHAR, L'n', 0), 1);
  EXPECT_EQ(GetFocus(), edit->Handle());
  EXPECT_EQ(label->Perform(CM_DIALOGCHAR, L'x', 0), 0);
  // The focus control going away clears the reference.
  TObject::Free(edit);
  EXPECT_EQ(label->FocusControl(), nullptr);
}

// ---------------------------------------------------------------------------
// List box
// ---------------------------------------------------------------------------

TEST_F(StdCtrlsListBoxTest, ItemsLiveInTheWindowAndSurviveRecreation) {
  auto* list = Place<TListBox>();
  TObject marker;
  // Items before the window are kept and go into it when it is made.
  list->Items()->AddObject(L"beta", &marker);
  list->Items()->Add(L"alpha");
  list->SetItemIndex(1);
  HWND wnd = list->Handle();
  EXPECT_TRUE(SuperclassesSystemClass(wnd, L"LISTBOX"));
  EXPECT_TRUE(StyleOf(wnd) & LBS_NOTIFY);
  EXPECT_EQ(SendMessageW(wnd, LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(wnd, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(list->Items()->GetObject(0), &marker);

  list->Items()->Insert(1, L"gamma");
  EXPECT_EQ(SendMessageW(wnd, LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(list->Items()->IndexOf(L"GAMMA"), 1);
  list->SetTopIndex(1);

  // A sorted list is made again: the items come back in sorted order, each
  // with its object.
  list->SetSorted(true);
  HWND sorted = list->Handle();
  EXPECT_NE(sorted, wnd);
  EXPECT_TRUE(StyleOf(sorted) & LBS_SORT);
  ASSERT_EQ(list->Count(), 3);
  EXPECT_EQ(list->Items()->Get(0), L"alpha");
  EXPECT_EQ(list->Items()->Get(1), L"beta");
  EXPECT_EQ(list->Items()->GetObject(1), &marker);
  EXPECT_EQ(list->Items()->Add(L"aardvark"), 0);

  EXPECT_THROW(list->Items()->Get(10), EStringListError);
  EXPECT_THROW(list->GetSelected(10), EListError);
  list->Clear();
  EXPECT_EQ(SendMessageW(sorted, LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(StdCtrlsListBoxTest, MultiSelectionIsKeptAcrossRecreation) {
  auto* list = Place<TListBox>();
  list->SetMultiSelect(true);
  for (const Char* s : {L"a", L"b", L"c", L"d"}) list->Items()->Add(s);
  list->SetSelected(1, true);
  list->SetSelected(3, true);
  EXPECT_EQ(list->SelCount(), 2);
  HWND wnd = list->Handle();
  EXPECT_TRUE(StyleOf(wnd) & LBS_EXTENDEDSEL);
  EXPECT_EQ(SendMessageW(wnd, LB_GETSELCOUNT, 0, 0), 2);

  list->SetExtendedSelect(false);   // recreates the window
  EXPECT_TRUE(StyleOf(list->Handle()) & LBS_MULTIPLESEL);
  EXPECT_TRUE(list->GetSelected(1));
  EXPECT_FALSE(list->GetSelected(2));
  EXPECT_TRUE(list->GetSelected(3));
  list->SelectAll();
  EXPECT_EQ(list->SelCount(), 4);
  list->ClearSelection();
  EXPECT_EQ(list->SelCount(), 0);

  auto* single = Place<TListBox>(200, 8);
  EXPECT_EQ(single->SelCount(), -1);
  EXPECT_EQ(single->ItemIndex(), -1);
}

TEST_F(StdCtrlsListBoxTest, ClickingAnItemSelectsItAndClicks) {
  TEventLog log;
  auto* list = Place<TListBox>(8, 8, 120, 100);
  for (const Char* s : {L"one", L"two", L"three"}) list->Items()->Add(s);
  list->OnClick = log.OnClick();
  form->Show();
  PumpPending();
  const TRect r = list->ItemRect(2);
  EXPECT_GT(r.Height(), 0);
  const LPARAM at = MAKELPARAM(r.Left + 5, r.Top + r.Height() / 2);
  EXPECT_EQ(list->ItemAtPos({r.Left + 5, r.Top + 1}, true), 2);
  EXPECT_EQ(list->ItemAtPos({5, r.Bottom + 20}, true), -1);
  EXPECT_EQ(list->ItemAtPos({5, r.Bottom + 20}, false), 3) << "below the last item: Count";
  EXPECT_EQ(list->ItemRect(3).Top, r.Bottom) << "the rectangle after the last item";

  SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(list->Handle(), WM_LBUTTONUP, 0, at);
  PumpPending();
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(log.Count(L"click"), 1) << "LBN_SELCHANGE clicks once";
  // Setting the index in code is no click.
  list->SetItemIndex(0);
  EXPECT_EQ(log.Count(L"click"), 1);
}

// Records the owner drawing and measuring of a list box.
class TDrawRecorder : public TObject {
 public:
  struct Call {
    int Index;
    TRect Rect;
    TOwnerDrawState State;
  };
  std::vector<Call> Calls;
  TCanvas* Canvas = nullptr;
  void DrawItem(TWinControl*, int Index, TRect Rect, TOwnerDrawState State) {
    Calls.push_back({Index, Rect, State});
    static const TColor colors[] = {clRed, clLime, clBlue, clYellow};
    Canvas->Brush()->SetColor(colors[Index % 4]);
    Canvas->FillRect(Rect);
  }
  void MeasureItem(TWinControl*, int Index, int& Height) { Height = 10 + 5 * Index; }
  const Call* Last(int index) const {
    for (auto it = Calls.rbegin(); it != Calls.rend(); ++it)
      if (it->Index == index) return &*it;
    return nullptr;
  }
};

TEST_F(StdCtrlsListBoxTest, OwnerDrawnItemsGetTheirRectangleAndState) {
  TDrawRecorder recorder;
  auto* list = Place<TListBox>(0, 0, 100, 80);
  list->SetBorderStyle(bsNone);
  list->SetStyle(lbOwnerDrawFixed);
  list->SetItemHeight(20);
  recorder.Canvas = list->Canvas();
  list->OnDrawItem = TDrawItemEvent::Bind<&TDrawRecorder::DrawItem>(&recorder);
  for (const Char* s : {L"a", L"b", L"c"}) list->Items()->Add(s);
  list->SetItemIndex(1);
  HWND wnd = list->Handle();
  EXPECT_TRUE(StyleOf(wnd) & LBS_OWNERDRAWFIXED);
  EXPECT_EQ(list->ItemHeight(), 20);
  EXPECT_EQ(list->ItemRect(2), TRect(0, 40, 100, 60));

  std::unique_ptr<TBitmap, void (*)(TObject*)> bmp(NewBitmap(100, 80, clWhite), &TObject::Free);
  list->PaintTo(bmp->Canvas()->Handle(), 0, 0);
  ASSERT_NE(recorder.Last(2), nullptr);
  EXPECT_EQ(recorder.Last(2)->Rect, TRect(0, 40, 100, 60));
  EXPECT_FALSE(recorder.Last(0)->State.Contains(odSelected));
  EXPECT_TRUE(recorder.Last(1)->State.Contains(odSelected));
  // The handler's colours are what the list shows.
  EXPECT_EQ(PixelAt(bmp.get(), 50, 10), clRed);
  EXPECT_EQ(PixelAt(bmp.get(), 50, 30), clLime);
  EXPECT_EQ(PixelAt(bmp.get(), 50, 50), clBlue);
}

TEST_F(StdCtrlsListBoxTest, VariableItemsAreMeasuredByOnMeasureItem) {
  TDrawRecorder recorder;
  auto* list = Place<TListBox>(0, 0, 100, 120);
  list->SetStyle(lbOwnerDrawVariable);
  recorder.Canvas = list->Canvas();
  list->OnMeasureItem = TMeasureItemEvent::Bind<&TDrawRecorder::MeasureItem>(&recorder);
  list->OnDrawItem = TDrawItemEvent::Bind<&TDrawRecorder::DrawItem>(&recorder);
  // Added before the window: measured when they go into it.
  for (const Char* s : {L"a", L"b"}) list->Items()->Add(s);
  list->HandleNeeded();
  list->Items()->Add(L"c");
  EXPECT_TRUE(StyleOf(list->Handle()) & LBS_OWNERDRAWVARIABLE);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list->ItemRect(i).Height(), 10 + 5 * i) << i;
  list->RecreateWnd();
  list->HandleNeeded();   // a hidden form's controls get their windows again on demand
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list->ItemRect(i).Height(), 10 + 5 * i) << "after recreation " << i;
}

// ---------------------------------------------------------------------------
// Combo box
// ---------------------------------------------------------------------------

TEST_F(StdCtrlsComboBoxTest, StylesItemsAndTextFollowTheWindow) {
  auto* combo = Place<TComboBox>();
  for (const Char* s : {L"red", L"green", L"blue"}) combo->Items()->Add(s);
  combo->SetText(L"typed");
  HWND wnd = combo->Handle();
  EXPECT_TRUE(SuperclassesSystemClass(wnd, L"COMBOBOX"));
  EXPECT_EQ(StyleOf(wnd) & 3, static_cast<DWORD>(CBS_DROPDOWN));
  EXPECT_NE(combo->EditHandle(), nullptr);
  EXPECT_EQ(SendMessageW(wnd, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(combo->Text(), L"typed") << "the kept text goes into the edit";

  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Text(), L"green");
  combo->SetCharCase(ecUpperCase);   // recreates the window
  EXPECT_TRUE(StyleOf(combo->Handle()) & CBS_UPPERCASE);
  EXPECT_EQ(combo->Items()->Count(), 3);
  EXPECT_EQ(combo->ItemIndex(), 1);

  combo->SetStyle(csDropDownList);
  EXPECT_EQ(StyleOf(combo->Handle()) & 3, static_cast<DWORD>(CBS_DROPDOWNLIST));
  EXPECT_EQ(combo->EditHandle(), nullptr);
  EXPECT_EQ(combo->ItemIndex(), 1);
  combo->SetText(L"blue");   // a list's text chooses its item
  EXPECT_EQ(combo->ItemIndex(), 2);
  combo->SetText(L"purple");
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_THROW(combo->Items()->Get(5), EStringListError);
}

TEST_F(StdCtrlsComboBoxTest, SelectingAndTypingGiveTheirEvents) {
  TEventLog log;
  auto* combo = Place<TComboBox>();
  combo->SetStyle(csDropDownList);
  for (const Char* s : {L"a", L"b", L"c"}) combo->Items()->Add(s);
  combo->SetItemIndex(0);
  combo->OnChange = log.OnChange();
  combo->OnClick = log.OnClick();
  form->Show();
  PumpPending();
  // A key moves the selection: CBN_SELCHANGE clicks and, without OnSelect,
  // changes.
  SendMessageW(combo->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(log.Count(L"click"), 1);
  EXPECT_EQ(log.Count(L"change"), 1);
  combo->OnSelect = log.OnSelect();
  SendMessageW(combo->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(log.Count(L"select"), 1);
  EXPECT_EQ(log.Count(L"change"), 1);

  // Typing into the edit part changes the text and goes through the key events.
  combo->SetStyle(csDropDown);
  combo->SetText(L"");
  int keys = 0;
  struct Keys : TObject {
    int* count;
    void Press(TObject*, Char& Key) {
      ++*count;
      if (Key == L'z') Key = 0;   // swallowed
    }
  } keyHandler;
  keyHandler.count = &keys;
  combo->OnKeyPress = TKeyPressEvent::Bind<&Keys::Press>(&keyHandler);
  SendMessageW(combo->EditHandle(), WM_CHAR, L'q', 1);
  SendMessageW(combo->EditHandle(), WM_CHAR, L'z', 1);
  EXPECT_EQ(keys, 2);
  EXPECT_EQ(combo->Text(), L"q");
  EXPECT_EQ(log.Count(L"change"), 2) << "CBN_EDITCHANGE";
}

TEST_F(StdCtrlsComboBoxTest, OwnerDrawnItemsAreMeasuredAndDrawnByTheEvents) {
  TDrawRecorder recorder;
  auto* combo = Place<TComboBox>(0, 0, 120, 24);
  combo->SetStyle(csOwnerDrawVariable);
  recorder.Canvas = combo->Canvas();
  combo->OnMeasureItem = TMeasureItemEvent::Bind<&TDrawRecorder::MeasureItem>(&recorder);
  combo->OnDrawItem = TDrawItemEvent::Bind<&TDrawRecorder::DrawItem>(&recorder);
  for (const Char* s : {L"a", L"b", L"c"}) combo->Items()->Add(s);
  combo->SetItemIndex(2);
  HWND wnd = combo->Handle();
  EXPECT_TRUE(StyleOf(wnd) & CBS_OWNERDRAWVARIABLE);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(SendMessageW(wnd, CB_GETITEMHEIGHT, i, 0), 10 + 5 * i) << i;
  form->Show();
  PumpPending();
  combo->Repaint();
  // The selection field shows the selected item, drawn by the handler.
  ASSERT_NE(recorder.Last(2), nullptr);
  EXPECT_TRUE(recorder.Last(2)->State.Contains(odComboBoxEdit));
}

TEST_F(StdCtrlsComboBoxTest, DroppedListShowsDropDownCountItems) {
  auto* combo = Place<TComboBox>();
  combo->SetStyle(csDropDownList);
  for (int i = 0; i < 20; ++i) combo->Items()->Add(L"item" + std::to_wstring(i));
  combo->SetDropDownCount(5);
  form->Show();
  PumpPending();
  for (int count : {5, 10}) {
    combo->SetDropDownCount(count);
    combo->SetDroppedDown(true);
    PumpPending();
    EXPECT_TRUE(combo->DroppedDown());
    RECT r{};
    GetWindowRect(combo->ListHandle(), &r);
    EXPECT_EQ(r.bottom - r.top, count * combo->ItemHeight() + 2) << count;
    combo->SetDroppedDown(false);
  }
}

// ---------------------------------------------------------------------------
// Group box
// ---------------------------------------------------------------------------

TEST_F(StdCtrlsGroupBoxTest, FramePixelsAndClientAreaBelowTheCaption) {
  auto* box = Place<TGroupBox>(0, 0, 60, 50);
  box->SetColor(clWhite);
  box->HandleNeeded();
  auto* inner = Make<TPanel>(form);
  inner->SetParent(box);
  inner->SetAlign(alClient);
  const int th = TextHeightOf(box->Font());
  EXPECT_EQ(inner->BoundsRect(), TRect(2, th + 2, 58, 48));

  inner->SetVisible(false);
  std::unique_ptr<TBitmap, void (*)(TObject*)> bmp(NewBitmap(60, 50, clBlack), &TObject::Free);
  box->PaintTo(bmp->Canvas()->Handle(), 0, 0);
  const int top = th / 2 - 1;
  const TColor shadow = Rgb(clBtnShadow), light = Rgb(clBtnHighlight);
  EXPECT_EQ(PixelAt(bmp.get(), 0, top + 10), shadow);
  EXPECT_EQ(PixelAt(bmp.get(), 1, top + 10), light);
  EXPECT_EQ(PixelAt(bmp.get(), 58, top + 10), shadow);
  EXPECT_EQ(PixelAt(bmp.get(), 59, top + 10), light);
  EXPECT_EQ(PixelAt(bmp.get(), 20, top), shadow);
  EXPECT_EQ(PixelAt(bmp.get(), 20, 48), shadow);
  EXPECT_EQ(PixelAt(bmp.get(), 20, 49), light);
  EXPECT_EQ(PixelAt(bmp.get(), 20, 20), clWhite) << "inside: the box's colour";
  EXPECT_EQ(PixelAt(bmp.get(), 20, 0), clWhite) << "above the frame";
}

// ---------------------------------------------------------------------------
// Resources
// ---------------------------------------------------------------------------

BOOL CALLBACK CountChild(HWND, LPARAM counter) {
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

int ChildWindowCount(HWND parent) {
  int n = 0;
  EnumChildWindows(parent, CountChild, reinterpret_cast<LPARAM>(&n));
  return n;
}

// One control of every kind, shown, painted and recreated, on `owner`.
void BuildAll(TComponent* owner, TWinControl* parent) {
  auto place = [&](TControl* c, int x, int y) {
    c->SetParent(parent);
    c->SetLeft(x);
    c->SetTop(y);
  };
  auto* edit = Make<TEdit>(owner);
  place(edit, 0, 0);
  edit->SetText(L"text");
  place(Make<TMemo>(owner), 130, 0);
  auto* label = Make<TLabel>(owner);
  place(label, 0, 30);
  label->SetCaption(L"label");
  place(Make<TButton>(owner), 0, 50);
  auto* check = Make<TCheckBox>(owner);
  place(check, 80, 50);
  check->SetChecked(true);
  auto* list = Make<TListBox>(owner);
  place(list, 0, 80);
  list->SetStyle(lbOwnerDrawFixed);
  list->Items()->Add(L"a");
  auto* combo = Make<TComboBox>(owner);
  place(combo, 130, 100);
  combo->SetStyle(csOwnerDrawFixed);
  combo->Items()->Add(L"b");
  combo->SetItemIndex(0);
  auto* group = Make<TGroupBox>(owner);
  place(group, 280, 0);
  group->SetCaption(L"group");
  auto* panel = Make<TPanel>(owner);
  place(panel, 280, 110);
  place(Make<TBevel>(owner), 0, 190);
  auto* bit = Make<TBitBtn>(owner);
  place(bit, 60, 190);
  bit->SetKind(bkAbort);
  auto* pages = Make<TPageControl>(owner);
  place(pages, 140, 160);
  auto* sheet = Make<TTabSheet>(owner);
  sheet->SetPageControl(pages);
  sheet->SetCaption(L"sheet");
  auto* tree = Make<TTreeView>(owner);
  place(tree, 0, 230);
  tree->Items()->AddChild(tree->Items()->Add(nullptr, L"root"), L"leaf");
  auto* bar = Make<TToolBar>(owner);
  bar->SetParent(parent);
  auto* tool = Make<TToolButton>(owner);
  tool->SetParent(bar);
  tool->SetCaption(L"tool");
}

TEST_F(StdCtrlsTest, ControlsLeaveNoWindowsOrGdiObjectsBehind) {
  form->Show();
  auto round = [&] {
    auto* owner = Make<TComponent>(nullptr);
    BuildAll(owner, form);
    PumpPending();
    auto* bmp = NewBitmap(400, 300, clWhite);
    form->PaintTo(bmp->Canvas()->Handle(), 0, 0);
    TObject::Free(bmp);
    for (int i = 0; i < owner->ComponentCount(); ++i)
      if (auto* w = dynamic_cast<TWinControl*>(owner->Components(i)); w && w->HandleAllocated()) w->RecreateWnd();
    PumpPending();
    TObject::Free(owner);
  };
  round();   // fills the caches of fonts and brushes shared by later users
  const long gdi = GdiAccounting::Live();
  const int windows = ChildWindowCount(form->Handle());
  round();
  EXPECT_EQ(GdiAccounting::Live(), gdi);
  EXPECT_EQ(ChildWindowCount(form->Handle()), windows);
  EXPECT_EQ(windows, 0);
}

// ---------------------------------------------------------------------------
// Stored definitions
// ---------------------------------------------------------------------------

TEST_F(StdCtrlsTest, StoredDefinitionSetsThePublishedProperties) {
  const char* text =
      "object Form1: TForm\n"
      "  object Label1: TLabel\n"
      "    Left = 8\n    Top = 8\n    Caption = '&Toolbar name:'\n    FocusControl = Edit1\n"
      "    Transparent = True\n"
      "  end\n"
      "  object Edit1: TEdit\n"
      "    Left = 8\n    Top = 27\n    Width = 251\n    Height = 21\n    MaxLength = 10\n    Text = 'x'\n"
      "    PasswordChar = '*'\n"
      "  end\n"
      "  object CheckBox1: TCheckBox\n"
      "    Left = 8\n    Top = 60\n    Caption = 'Large'\n    State = cbChecked\n"
      "  end\n"
      "  object ListBox1: TListBox\n"
      "    Left = 8\n    Top = 80\n    Style = lbOwnerDrawFixed\n    ItemHeight = 22\n    MultiSelect = True\n"
      "    Items.Strings = (\n      'one'\n      'two')\n"
      "  end\n"
      "  object ComboBox1: TComboBox\n"
      "    Left = 140\n    Top = 80\n    Style = csDropDownList\n    DropDownCount = 100\n"
      "    Items.Strings = (\n      'None'\n      'Random')\n"
      "  end\n"
      "  object Button1: TButton\n"
      "    Left = 186\n    Top = 58\n    Caption = 'OK'\n    Default = True\n    ModalResult = 1\n"
      "  end\n"
      "end\n";
  ReadDefinition(text, form);
  auto* label = dynamic_cast<TLabel*>(form->FindComponent(L"Label1"));
  auto* edit = dynamic_cast<TEdit*>(form->FindComponent(L"Edit1"));
  auto* box = dynamic_cast<TCheckBox*>(form->FindComponent(L"CheckBox1"));
  auto* list = dynamic_cast<TListBox*>(form->FindComponent(L"ListBox1"));
  auto* combo = dynamic_cast<TComboBox*>(form->FindComponent(L"ComboBox1"));
  auto* button = dynamic_cast<TButton*>(form->FindComponent(L"Button1"));
  ASSERT_TRUE(label && edit && box && list && combo && button);
  EXPECT_EQ(label->FocusControl(), edit);
  EXPECT_TRUE(label->Transparent());
  EXPECT_EQ(label->Parent(), form);
  EXPECT_EQ(edit->MaxLength(), 10);
  EXPECT_EQ(edit->Text(), L"x");
  EXPECT_EQ(edit->PasswordChar(), L'*');
  EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETPASSWORDCHAR, 0, 0), L'*');
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(list->Style(), lbOwnerDrawFixed);
  EXPECT_EQ(list->ItemHeight(), 22);
  EXPECT_TRUE(list->MultiSelect());
  EXPECT_EQ(list->Items()->Count(), 2);
  EXPECT_EQ(combo->DropDownCount(), 100);
  EXPECT_EQ(combo->Items()->Get(1), L"Random");
  EXPECT_TRUE(button->Default());
  EXPECT_EQ(button->ModalResult(), mrOk);
  EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(list->Handle(), LB_GETITEMHEIGHT, 0, 0), 22);

  // Written back, the settings that differ from the defaults are stored.
  const String written = WriteDefinition(form);
  EXPECT_NE(written.find(L"ItemHeight = 22"), String::npos);
  EXPECT_NE(written.find(L"PasswordChar = '*'"), String::npos) << "a character, stored as one";
  EXPECT_NE(written.find(L"State = cbChecked"), String::npos);
  EXPECT_EQ(written.find(L"Checked = True"), String::npos) << "State carries it";
  EXPECT_NE(written.find(L"'Random'"), String::npos);
}

}  // namespace
