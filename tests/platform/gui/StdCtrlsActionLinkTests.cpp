// Action links of window controls and buttons: a control given an action
// shows the action's properties and follows its changes while they are
// linked; a check box or radio button and its action keep Checked together.
#include "StdCtrlsTestSupport.h"

#include "platform/core/SysUtils.h"
#include "platform/gui/ActnList.h"
#include "tests/support/TestObjects.h"

using namespace stdtest;

namespace {

// The lines of one component of a written definition, up to its "end".
String BlockOf(const String& written, const String& name) {
  const size_t start = written.find(L"object " + name + L":");
  if (start == String::npos) return String();
  const size_t indent = start - written.rfind(L'\n', start) - 1;
  const size_t end = written.find(L"\n" + String(indent, L' ') + L"end", start);
  return written.substr(start, end == String::npos ? String::npos : end - start);
}

// Logs the executions of actions as "execute:<caption>@<component>".
class TExecuteLog : public TEventLog {
 public:
  void Executed(TObject* sender) {
    auto* a = static_cast<TCustomAction*>(sender);
    Add(L"execute:" + a->Caption() + (a->ActionComponent() ? L"@" + a->ActionComponent()->Name() : String()));
  }
};

class StdCtrlsActionLinkTest : public StdCtrlsTest {
 protected:
  void SetUp() override {
    StdCtrlsTest::SetUp();
    list = Make<TActionList>(form);
  }

  // Named, as a stored definition refers to it by name.
  TAction* NewAction(const String& caption) {
    auto* a = Make<TAction>(form);
    a->SetName(L"Action" + IntToStr(++actions));
    a->SetActionList(list);
    a->SetCaption(caption);
    a->OnExecute = TNotifyEvent::Bind<&TExecuteLog::Executed>(&log);
    return a;
  }

  TActionList* list = nullptr;
  int actions = 0;
  TExecuteLog log;
};

// Every kind of control gets the link of its kind, which refuses a client
// of another kind.
TEST_F(StdCtrlsActionLinkTest, EachControlGetsTheLinkOfItsKind) {
  TAction* action = NewAction(L"Go");
  struct Case {
    TControl* control;
    TClass link;
  };
  const Case cases[] = {{Place<TLabel>(), TControlActionLink::StaticClass()},
                        {Place<TEdit>(), TWinControlActionLink::StaticClass()},
                        {Place<TButton>(), TButtonActionLink::StaticClass()},
                        {Place<TCheckBox>(), TButtonActionLink::StaticClass()},
                        {Place<TRadioButton>(), TButtonActionLink::StaticClass()}};
  for (const Case& c : cases) {
    c.control->SetAction(action);
    ASSERT_NE(c.control->ActionLink(), nullptr);
    EXPECT_EQ(c.control->ActionLink()->ClassType(), c.link) << UTF8Encode(c.control->ClassName());
    EXPECT_EQ(c.control->ActionLink()->Action(), action);
  }
  EXPECT_THROW(TWinControlActionLink::StaticClass()->NewInstance(cases[0].control), EInvalidCast);
  EXPECT_THROW(TButtonActionLink::StaticClass()->NewInstance(cases[1].control), EInvalidCast);
}

// A button given an action takes its caption, enabled state, hint,
// visibility, help and OnClick; a click runs the action; the action's
// changes reach the button until the button has a value of its own.
TEST_F(StdCtrlsActionLinkTest, ButtonTakesTheActionsPropertiesAndFollowsItsChanges) {
  TAction* action = NewAction(L"&Open");
  action->SetHint(L"Open a file");
  action->SetHelpContext(12);
  action->SetHelpKeyword(L"open");
  auto* button = Place<TButton>();
  button->SetName(L"OpenButton");
  button->SetAction(action);
  HWND wnd = button->Handle();
  Char text[32] = {};
  GetWindowTextW(wnd, text, 32);
  EXPECT_EQ(String(text), L"&Open");
  EXPECT_EQ(button->Hint(), L"Open a file");
  EXPECT_EQ(button->HelpContext(), 12);
  EXPECT_EQ(button->HelpKeyword(), L"open");
  EXPECT_TRUE(button->OnClick == action->OnExecute);

  SendMessageW(wnd, BM_CLICK, 0, 0);
  EXPECT_EQ(log.Entries, std::vector<String>{L"execute:&Open@OpenButton"});

  action->SetCaption(L"&Open...");
  action->SetEnabled(false);
  action->SetVisible(false);
  action->SetHelpType(htKeyword);
  GetWindowTextW(wnd, text, 32);
  EXPECT_EQ(String(text), L"&Open...");
  EXPECT_FALSE(IsWindowEnabled(wnd));
  EXPECT_FALSE(button->Visible());
  EXPECT_EQ(button->HelpType(), htKeyword);

  // A value of the button's own is no longer linked, and so is stored with
  // the button; help is linked as a whole.
  auto* link = dynamic_cast<TButtonActionLink*>(button->ActionLink());
  ASSERT_NE(link, nullptr);
  EXPECT_TRUE(link->IsCaptionLinked());
  EXPECT_TRUE(link->IsHelpContextLinked());
  EXPECT_EQ(BlockOf(WriteDefinition(form), L"OpenButton").find(L"Caption"), String::npos);
  button->SetCaption(L"Browse");
  button->SetHelpKeyword(L"browse");
  EXPECT_FALSE(link->IsCaptionLinked());
  EXPECT_FALSE(link->IsHelpLinked());
  EXPECT_FALSE(link->IsHelpContextLinked()) << "the context alone is still the action's";
  EXPECT_TRUE(link->IsHintLinked());
  EXPECT_NE(BlockOf(WriteDefinition(form), L"OpenButton").find(L"Caption = 'Browse'"), String::npos);

  // The action's next change shows all its values again.
  action->SetHint(L"Open");
  EXPECT_EQ(button->Caption(), L"&Open...");
  EXPECT_EQ(button->HelpKeyword(), L"open");
  EXPECT_TRUE(link->IsCaptionLinked());

  // Without the action the button keeps what it has.
  button->SetAction(nullptr);
  action->SetCaption(L"gone");
  EXPECT_EQ(button->Caption(), L"&Open...");
  EXPECT_EQ(button->ActionLink(), nullptr);
}

// A check box's Checked follows its action's (without a click) and a click
// of a check box whose action checks itself leaves both checked.
TEST_F(StdCtrlsActionLinkTest, CheckBoxAndItsActionKeepCheckedTogether) {
  TAction* action = NewAction(L"Grid");
  action->SetAutoCheck(true);
  auto* box = Place<TCheckBox>();
  box->SetName(L"GridBox");
  box->SetAction(action);
  action->SetChecked(true);
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(log.Entries.empty()) << "the action's state is shown, not clicked";

  for (bool expected : {false, true}) {
    SendMessageW(box->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(box->Checked(), expected);
    EXPECT_EQ(action->Checked(), expected);
  }
  EXPECT_EQ(log.Entries, (std::vector<String>{L"execute:Grid@GridBox", L"execute:Grid@GridBox"}));
  auto* link = dynamic_cast<TButtonActionLink*>(box->ActionLink());
  ASSERT_NE(link, nullptr);
  EXPECT_TRUE(link->IsCheckedLinked());

  // An action that does not check itself leaves the box on its own.
  action->SetAutoCheck(false);
  SendMessageW(box->Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(box->Checked());
  EXPECT_TRUE(action->Checked());
  EXPECT_FALSE(link->IsCheckedLinked());
}

// Radio buttons of grouped actions: a click checks the button and its
// action, the group unchecks the other actions and their buttons, also
// those of another parent; checking an action in code checks its button
// silently. A linked Checked is not stored with the button.
TEST_F(StdCtrlsActionLinkTest, RadioButtonsFollowTheirGroupedActions) {
  TAction* actions[3];
  TRadioButton* radios[3];
  auto* group = Place<TGroupBox>(200, 8, 150, 80);
  for (int i = 0; i < 3; ++i) {
    actions[i] = NewAction(L"Unit" + IntToStr(i));
    actions[i]->SetGroupIndex(1);
    actions[i]->SetAutoCheck(true);
    radios[i] = Make<TRadioButton>(form);
    radios[i]->SetName(L"Radio" + IntToStr(i));
    radios[i]->SetParent(i == 2 ? static_cast<TWinControl*>(group) : form);
    radios[i]->SetBounds(8, 8 + 24 * i, 113, 17);
    radios[i]->SetAction(actions[i]);
  }
  auto state = [&] {
    std::vector<String> s;
    for (int i = 0; i < 3; ++i)
      s.push_back(String(radios[i]->Checked() ? L"R" : L"r") + (actions[i]->Checked() ? L"A" : L"a"));
    return s;
  };
  actions[2]->SetChecked(true);
  EXPECT_EQ(state(), (std::vector<String>{L"ra", L"ra", L"RA"}));

  SendMessageW(radios[1]->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(state(), (std::vector<String>{L"ra", L"RA", L"ra"}));
  SendMessageW(radios[0]->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(state(), (std::vector<String>{L"RA", L"ra", L"ra"}));
  actions[1]->SetChecked(true);
  EXPECT_EQ(state(), (std::vector<String>{L"ra", L"RA", L"ra"}));
  EXPECT_EQ(log.Entries, (std::vector<String>{L"execute:Unit1@Radio1", L"execute:Unit0@Radio0"}));

  const String radio = BlockOf(WriteDefinition(form), L"Radio1");
  EXPECT_EQ(radio.find(L"Checked"), String::npos) << UTF8Encode(radio);
  EXPECT_EQ(radio.find(L"Caption"), String::npos);
}

}  // namespace
