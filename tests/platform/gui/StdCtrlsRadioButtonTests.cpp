// TRadioButton: the system's radio button window, one checked button per
// parent, checked by clicks, mouse presses, keys and code, and streamed.
#include "StdCtrlsTestSupport.h"

#include "platform/core/SysUtils.h"
#include "tests/support/TestObjects.h"

using namespace stdtest;

namespace {

// Logs the clicks of controls as "click:<caption>".
class TClickLog : public TEventLog {
 public:
  void Clicked(TObject* sender) { Add(L"click:" + static_cast<TControl*>(sender)->Caption()); }
  TNotifyEvent Event() { return TNotifyEvent::Bind<&TClickLog::Clicked>(this); }
};

class StdCtrlsRadioButtonTest : public StdCtrlsTest {
 protected:
  // Three buttons on the form and one in a group box, each logging its clicks
  // as "click:<caption>".
  void SetUp() override {
    StdCtrlsTest::SetUp();
    for (int i = 0; i < 3; ++i) {
      radio[i] = Place<TRadioButton>(8, 8 + 24 * i);
      radio[i]->SetCaption(i == 2 ? L"&Third" : i == 1 ? L"Second" : L"First");
      radio[i]->OnClick = log.Event();
    }
    group = Place<TGroupBox>(200, 8, 150, 80);
    other = Make<TRadioButton>(form);
    other->SetParent(group);
    other->SetBounds(8, 24, 113, 17);
    other->SetCaption(L"Other");
    other->OnClick = log.Event();
  }

  // Which buttons are checked, as the objects and as the windows say.
  std::vector<bool> Checked() const {
    std::vector<bool> result;
    for (TRadioButton* r : {radio[0], radio[1], radio[2], other}) {
      const bool window = SendMessageW(r->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
      EXPECT_EQ(window, r->Checked()) << Narrow(r->Caption());
      result.push_back(r->Checked());
    }
    return result;
  }

  static std::string Narrow(const String& s) { return UTF8Encode(s); }

  TRadioButton* radio[3] = {};
  TRadioButton* other = nullptr;
  TGroupBox* group = nullptr;
  TClickLog log;
};

using Checks = std::vector<bool>;

TEST_F(StdCtrlsRadioButtonTest, WindowIsARadioButtonThatKeepsItsStateAcrossRecreation) {
  radio[1]->SetChecked(true);   // before the window
  HWND wnd = radio[1]->Handle();
  EXPECT_TRUE(SuperclassesSystemClass(wnd, L"BUTTON"));
  EXPECT_EQ(StyleOf(wnd) & 0x0F, static_cast<DWORD>(BS_RADIOBUTTON));
  EXPECT_FALSE(StyleOf(wnd) & BS_LEFTTEXT);
  EXPECT_EQ(SendMessageW(wnd, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(log.Entries, std::vector<String>{L"click:Second"}) << "checking in code clicks too";

  radio[1]->SetAlignment(taLeftJustify);   // recreates the window
  EXPECT_NE(radio[1]->Handle(), nullptr);
  EXPECT_TRUE(StyleOf(radio[1]->Handle()) & BS_LEFTTEXT);
  EXPECT_EQ(SendMessageW(radio[1]->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(log.Entries.size(), 1u);
}

// Checking one button unchecks the others of its parent, not those of
// another parent; only a change clicks, and only the checked button is a
// tab stop.
TEST_F(StdCtrlsRadioButtonTest, CheckingUnchecksTheSiblingsOfTheSameParent) {
  other->SetChecked(true);
  SendMessageW(radio[0]->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(Checked(), (Checks{true, false, false, true}));
  SendMessageW(radio[2]->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(Checked(), (Checks{false, false, true, true}));
  SendMessageW(radio[2]->Handle(), BM_CLICK, 0, 0);   // already checked
  radio[1]->SetChecked(true);
  EXPECT_EQ(Checked(), (Checks{false, true, false, true}));
  radio[1]->SetChecked(false);                        // unchecking clicks nothing
  EXPECT_EQ(Checked(), (Checks{false, false, false, true}));
  EXPECT_EQ(log.Entries, (std::vector<String>{L"click:Other", L"click:First", L"click:&Third", L"click:Second"}));

  radio[0]->SetChecked(true);
  EXPECT_EQ((std::vector<bool>{radio[0]->TabStop(), radio[1]->TabStop(), radio[2]->TabStop()}),
            (Checks{true, false, false}));
  EXPECT_TRUE(StyleOf(radio[0]->Handle()) & WS_TABSTOP);
  EXPECT_FALSE(StyleOf(radio[2]->Handle()) & WS_TABSTOP);
}

// A press and release over the button checks it; a press that is released
// elsewhere checks nothing, although the press gave the button the focus
// (which by itself checks a radio button).
TEST_F(StdCtrlsRadioButtonTest, MousePressAndReleaseOverTheButtonChecksIt) {
  form->Show();
  PumpPending();
  radio[0]->SetChecked(true);
  log.Entries.clear();
  HWND wnd = radio[1]->Handle();
  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  EXPECT_TRUE(radio[1]->Focused());
  EXPECT_EQ(Checked(), (Checks{true, false, false, false}));
  SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(300, 4));
  PumpPending();
  EXPECT_EQ(Checked(), (Checks{true, false, false, false}));
  EXPECT_TRUE(log.Entries.empty());

  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  PumpPending();
  EXPECT_EQ(Checked(), (Checks{false, true, false, false}));
  EXPECT_EQ(log.Entries, std::vector<String>{L"click:Second"});
}

// The arrow keys move through the buttons of a parent and the one reached
// checks itself; the space bar checks the focused button; the accelerator
// focuses and so checks its button.
TEST_F(StdCtrlsRadioButtonTest, KeysMoveTheCheckThroughTheGroup) {
  form->Show();
  PumpPending();
  radio[0]->SetChecked(true);
  radio[0]->SetFocus();
  log.Entries.clear();

  PostMessageW(radio[0]->Handle(), WM_KEYDOWN, VK_DOWN, 1);
  Application->ProcessMessages();
  EXPECT_TRUE(radio[1]->Focused());
  EXPECT_EQ(Checked(), (Checks{false, true, false, false}));

  PostMessageW(radio[1]->Handle(), WM_KEYDOWN, VK_UP, 1);
  Application->ProcessMessages();
  EXPECT_TRUE(radio[0]->Focused());
  EXPECT_EQ(Checked(), (Checks{true, false, false, false}));

  // The focus goes back without checking (a press elsewhere keeps it
  // unchecked), then the space bar checks it.
  SendMessageW(radio[1]->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  SendMessageW(radio[1]->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(300, 4));
  ASSERT_TRUE(radio[1]->Focused());
  PostMessageW(radio[1]->Handle(), WM_KEYDOWN, VK_SPACE, 1);
  PostMessageW(radio[1]->Handle(), WM_KEYUP, VK_SPACE, 0xC0000001);
  Application->ProcessMessages();
  EXPECT_EQ(Checked(), (Checks{false, true, false, false}));

  EXPECT_EQ(radio[2]->Perform(CM_DIALOGCHAR, L't', 0), 1);
  EXPECT_TRUE(radio[2]->Focused());
  EXPECT_EQ(Checked(), (Checks{false, false, true, false}));
  EXPECT_EQ(radio[1]->Perform(CM_DIALOGCHAR, L't', 0), 0);
  EXPECT_EQ(log.Entries,
            (std::vector<String>{L"click:Second", L"click:First", L"click:Second", L"click:&Third"}));
}

TEST_F(StdCtrlsRadioButtonTest, StoredDefinitionSetsCheckedAndAlignment) {
  const char* text =
      "object Form1: TForm\n"
      "  object RadioButton1: TRadioButton\n"
      "    Left = 8\n    Top = 8\n    Caption = 'Millimetres'\n    Checked = True\n    TabStop = True\n"
      "  end\n"
      "  object RadioButton2: TRadioButton\n"
      "    Left = 8\n    Top = 30\n    Caption = 'Inches'\n    Alignment = taLeftJustify\n    WordWrap = True\n"
      "  end\n"
      "end\n";
  auto owned = MakeOwned<TForm>(nullptr, 0);
  TForm* page = owned.get();
  ReadDefinition(text, page);
  auto* mm = dynamic_cast<TRadioButton*>(page->FindComponent(L"RadioButton1"));
  auto* inches = dynamic_cast<TRadioButton*>(page->FindComponent(L"RadioButton2"));
  ASSERT_TRUE(mm && inches);
  EXPECT_TRUE(mm->Checked());
  EXPECT_FALSE(inches->Checked());
  EXPECT_EQ(inches->Alignment(), taLeftJustify);
  EXPECT_TRUE(inches->WordWrap());
  EXPECT_EQ(SendMessageW(mm->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(StyleOf(inches->Handle()) & BS_MULTILINE);

  inches->SetChecked(true);
  const String written = WriteDefinition(page);
  const size_t second = written.find(L"object RadioButton2");
  ASSERT_NE(second, String::npos);
  EXPECT_EQ(written.find(L"Checked = True"), written.find(L"Checked = True", second));
  EXPECT_NE(written.find(L"Checked = True", second), String::npos);
  EXPECT_NE(written.find(L"Alignment = taLeftJustify"), String::npos);
  EXPECT_EQ(written.find(L"Alignment = taRightJustify"), String::npos) << "the default is not stored";
}

}  // namespace
