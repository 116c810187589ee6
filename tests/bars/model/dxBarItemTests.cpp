// Items bound to platform actions, item styles, the notices items and links
// send to the controls and windows that show them, and the links' moves
// between collections.
#include "tests/bars/model/dxBarTestSupport.h"

#include "bars/model/dxBarItemActions.h"
#include "foundation/cxStyles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ActnList.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace {

using NameList = std::vector<String>;

constexpr TShortCut kCtrlR = 0x4000 | 'R';
constexpr TShortCut kCtrlG = 0x4000 | 'G';

// The part of a written definition between "object <name>:" and its "end".
String ObjectText(const String& AText, const String& AName) {
  const size_t start = AText.find(L"object " + AName + L":");
  if (start == String::npos) return String();
  const size_t end = AText.find(L"end", start);
  return AText.substr(start, end - start);
}

struct TActionRecorder : TObject {
  int Executed = 0;
  int ItemClicks = 0;
  TObject* Sender = nullptr;
  void Execute(TObject* ASender) {
    ++Executed;
    Sender = ASender;
  }
  void ItemClick(TObject*) { ++ItemClicks; }
};

class dxBarItemActionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(Make<TBarTestForm>(nullptr));
    form->SetName(L"Form1");
    manager = Make<TdxBarManager>(form.get());
    manager->SetName(L"BarManager");
    actions = Make<TActionList>(form.get());
    actions->SetName(L"ActionList1");
    action = Make<TAction>(form.get());
    action->SetName(L"Action1");
    action->SetActionList(actions);
    action->SetCaption(L"&Run");
    action->SetHint(L"Runs it");
    action->SetShortCut(kCtrlR);
    action->SetHelpContext(7);
    action->SetImageIndex(5);
    action->OnExecute = TNotifyEvent::Bind<&TBarTestForm::btnExitClick>(form.get());
    button = manager->AddButton();
    button->SetName(L"btnRun");
    button->SetButtonStyle(bsChecked);
  }
  TObjectPtr<TBarTestForm> form;
  TdxBarManager* manager = nullptr;
  TActionList* actions = nullptr;
  TAction* action = nullptr;
  TdxBarButton* button = nullptr;
};

TEST_F(dxBarItemActionTest, TheItemTakesTheActionsValuesAndFollowsItsChanges) {
  button->SetAction(action);
  EXPECT_EQ(button->Action(), action);
  EXPECT_EQ(button->Caption(), L"&Run");
  EXPECT_EQ(button->Hint(), L"Runs it");
  EXPECT_EQ(button->ShortCut(), kCtrlR);
  EXPECT_EQ(button->HelpContext(), 7);
  EXPECT_EQ(button->ImageIndex(), 5);
  EXPECT_EQ(button->OnClick.Method().Code, action->OnExecute.Method().Code);

  action->SetCaption(L"&Go");
  action->SetEnabled(false);
  action->SetChecked(true);
  action->SetShortCut(kCtrlG);
  action->SetVisible(false);
  EXPECT_EQ(button->Caption(), L"&Go");
  EXPECT_FALSE(button->Enabled());
  EXPECT_TRUE(button->Down());
  EXPECT_EQ(button->ShortCut(), kCtrlG);
  EXPECT_EQ(button->Visible(), ivNever);
  action->SetVisible(true);
  action->SetChecked(false);
  EXPECT_EQ(button->Visible(), ivAlways);
  EXPECT_FALSE(button->Down());

  // A caption of its own: no longer linked, but a later change of the
  // action still brings all of the action's values.
  button->SetCaption(L"Mine");
  EXPECT_FALSE(button->ActionLink()->IsCaptionLinked());
  EXPECT_TRUE(button->CaptionNeedsStoring());
  action->SetHint(L"Another hint");
  EXPECT_EQ(button->Caption(), L"&Go");
  EXPECT_EQ(button->Hint(), L"Another hint");

  TObject::Free(action);
  EXPECT_EQ(button->Action(), nullptr);
  EXPECT_EQ(button->ActionLink(), nullptr);
  EXPECT_EQ(button->Caption(), L"&Go") << "the item keeps what it took";
}

TEST_F(dxBarItemActionTest, AnActionOutlivesItsItem) {
  button->SetAction(action);
  TdxBarButton* second = manager->AddButton();
  second->SetAction(action);
  TObject::Free(button);
  EXPECT_EQ(action->ClientCount(), 1);
  action->SetCaption(L"Still here");
  EXPECT_EQ(second->Caption(), L"Still here");
}

TEST_F(dxBarItemActionTest, ShortCutsOfLinksAskTheActionsUpdateFirst) {
  struct TUpdater : TObject {
    bool Enable = true;
    void Update(TObject* ASender) { static_cast<TAction*>(ASender)->SetEnabled(Enable); }
  } updater;
  TActionRecorder recorder;
  action->OnExecute = TNotifyEvent::Bind<&TActionRecorder::Execute>(&recorder);
  action->OnUpdate = TNotifyEvent::Bind<&TUpdater::Update>(&updater);
  button->SetAction(action);
  TMenuLinksOwner menu(manager);
  menu.Links->Add(button);
  updater.Enable = false;
  menu.Links->UpdateActionLinks();
  EXPECT_FALSE(button->Enabled());
  updater.Enable = true;
  EXPECT_TRUE(menu.Links->ExecuteShortCut(kCtrlR)) << "the update enabled the item before the shortcut was offered";
  EXPECT_EQ(recorder.Executed, 1);
  updater.Enable = false;
  EXPECT_FALSE(menu.Links->ExecuteShortCut(kCtrlR));
  EXPECT_EQ(recorder.Executed, 1);
  EXPECT_FALSE(menu.Links->ExecuteShortCut(0));
}

TEST_F(dxBarItemActionTest, AClickRunsTheActionUnlessTheItemHasAHandlerOfItsOwn) {
  TActionRecorder recorder;
  action->OnExecute = TNotifyEvent::Bind<&TActionRecorder::Execute>(&recorder);
  button->SetAction(action);
  button->Click();
  EXPECT_EQ(recorder.Executed, 1);
  EXPECT_EQ(recorder.Sender, action) << "the action ran, not its handler on the item's behalf";
  EXPECT_TRUE(button->Down()) << "a checkable button toggles before the action runs";
  // The same handler bound to another object still counts as the action's own.
  TActionRecorder other;
  button->OnClick = TNotifyEvent::Bind<&TActionRecorder::Execute>(&other);
  button->Click();
  EXPECT_EQ(recorder.Executed, 2);
  EXPECT_EQ(other.Executed, 0);
  button->OnClick = TNotifyEvent::Bind<&TActionRecorder::ItemClick>(&recorder);
  button->Click();
  EXPECT_EQ(recorder.ItemClicks, 1);
  EXPECT_EQ(recorder.Executed, 2);
  // A disabled action disables the item: nothing runs.
  button->OnClick = action->OnExecute;
  action->SetEnabled(false);
  button->Click();
  EXPECT_EQ(recorder.Executed, 2);
}

TEST_F(dxBarItemActionTest, ValuesThatFollowTheActionAreNotStored) {
  button->SetAction(action);
  action->SetChecked(true);
  String item = ObjectText(stdtest::WriteDefinition(form.get()), L"btnRun");
  ASSERT_FALSE(item.empty());
  EXPECT_NE(item.find(L"Action = Action1"), String::npos) << item;
  for (const wchar_t* property : {L"Caption =", L"Hint =", L"ShortCut =", L"HelpContext =", L"ImageIndex =",
                                  L"Down =", L"Visible =", L"OnClick ="})
    EXPECT_EQ(item.find(property), String::npos) << property << " in\n" << item;

  button->SetCaption(L"Mine");
  button->SetHint(L"My hint");
  item = ObjectText(stdtest::WriteDefinition(form.get()), L"btnRun");
  EXPECT_NE(item.find(L"Caption = 'Mine'"), String::npos) << item;
  EXPECT_NE(item.find(L"Hint = 'My hint'"), String::npos) << item;
  EXPECT_EQ(item.find(L"ShortCut ="), String::npos) << item;
}

TEST_F(dxBarItemActionTest, ARoundTripRestoresTheActionsValuesWhereTheItemHasDefaults) {
  button->SetAction(action);
  TdxBarLargeButton* large = static_cast<TdxBarLargeButton*>(manager->AddItem(TdxBarLargeButton::StaticClass()));
  large->SetName(L"btnLarge");
  large->SetAction(action);
  TdxBarButton* own = manager->AddButton();
  own->SetName(L"btnOwn");
  own->SetCaption(L"Own");
  own->SetHint(L"Own hint");
  own->SetImageIndex(2);
  own->SetAction(action);  // an action set at run time brings all of its values
  EXPECT_EQ(own->Caption(), L"&Run");
  own->SetCaption(L"Own");
  own->SetHint(L"Own hint");
  own->SetImageIndex(2);
  own->OnClick = TNotifyEvent::Bind<&TBarTestForm::btnExitClick>(form.get());
  const String text = stdtest::WriteDefinition(form.get());

  TObjectPtr<TBarTestForm> copy(ReadBarForm(std::string(text.begin(), text.end())));
  TdxBarManager* read = ManagerOf(copy.get());
  ASSERT_NE(read, nullptr);
  auto* action1 = dynamic_cast<TAction*>(copy->FindComponent(L"Action1"));
  ASSERT_NE(action1, nullptr);
  const struct {
    const wchar_t* name;
    const wchar_t* caption;
    const wchar_t* hint;
    int imageIndex;
  } cases[] = {{L"btnRun", L"&Run", L"Runs it", 5}, {L"btnOwn", L"Own", L"Own hint", 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto* item = dynamic_cast<TdxBarButton*>(read->GetItemByName(c.name));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Action(), action1);
    EXPECT_EQ(item->Caption(), c.caption);
    EXPECT_EQ(item->Hint(), c.hint);
    EXPECT_EQ(item->ImageIndex(), c.imageIndex);
    EXPECT_EQ(item->ShortCut(), kCtrlR);
    EXPECT_EQ(item->HelpContext(), 7);
    EXPECT_EQ(item->OnClick.Method().Code, action1->OnExecute.Method().Code);
  }
  // A large button's image index from the action is its large one.
  auto* readLarge = dynamic_cast<TdxBarLargeButton*>(read->GetItemByName(L"btnLarge"));
  ASSERT_NE(readLarge, nullptr);
  EXPECT_EQ(readLarge->LargeImageIndex(), 5);
  EXPECT_EQ(readLarge->ImageIndex(), 5);
  // Written again, the copy gives the same text (the copy's form is named apart).
  const String again = stdtest::WriteDefinition(copy.get());
  EXPECT_EQ(again.substr(again.find(L'\n')), text.substr(text.find(L'\n')));
}

TEST_F(dxBarItemActionTest, AnItemWithoutCategoryIsStoredWithTheFormAndReadBack) {
  auto* loose = Make<TdxBarButton>(form.get());
  loose->SetName(L"btnLoose");
  loose->SetCaption(L"Loose");
  ASSERT_EQ(loose->BarManager(), manager);
  EXPECT_EQ(loose->GetParentComponent(), nullptr);
  const String text = stdtest::WriteDefinition(form.get());
  ASSERT_NE(text.find(L"\n  object btnLoose: TdxBarButton"), String::npos) << "a child of the form\n" << text;

  TObjectPtr<TBarTestForm> copy(ReadBarForm(std::string(text.begin(), text.end())));
  TdxBarManager* read = ManagerOf(copy.get());
  ASSERT_NE(read, nullptr);
  auto* readLoose = dynamic_cast<TdxBarButton*>(copy->FindComponent(L"btnLoose"));
  ASSERT_NE(readLoose, nullptr);
  EXPECT_EQ(readLoose->BarManager(), read);
  EXPECT_EQ(readLoose->Category(), -1);
  EXPECT_EQ(readLoose->Caption(), L"Loose");
  // Outside reading, only a manager can be an item's parent.
  EXPECT_NE(RaisedMessage([&] { readLoose->SetParentComponent(copy.get()); }), L"<no error>");
  EXPECT_EQ(readLoose->BarManager(), read);
}

TEST_F(dxBarItemActionTest, CheckDefaultsTakesOnlyWhatTheItemLeftAtItsDefault) {
  const char* definition =
      "object Form1: TBarTestForm\n"
      "  object BarManager: TdxBarManager\n"
      "    Categories.Strings = (\n"
      "      'Default')\n"
      "    Categories.ItemsVisibles = (\n"
      "      2)\n"
      "    Categories.Visibles = (\n"
      "      True)\n"
      "    PopupMenuLinks = <>\n"
      "    DockControlHeights = (\n"
      "      0\n"
      "      0\n"
      "      0\n"
      "      0)\n"
      "    object btnBare: TdxBarButton\n"
      "      Action = Action1\n"
      "      Category = 0\n"
      "    end\n"
      "    object btnOwn: TdxBarButton\n"
      "      Action = Action1\n"
      "      Caption = 'Own'\n"
      "      Category = 0\n"
      "      Enabled = False\n"
      "      HelpContext = 3\n"
      "      Hint = 'Own hint'\n"
      "      Visible = ivInCustomizing\n"
      "      ImageIndex = 2\n"
      "      ShortCut = 16455\n"
      "    end\n"
      "  end\n"
      "  object ActionList1: TActionList\n"
      "    object Action1: TAction\n"
      "      Caption = 'Act'\n"
      "      Enabled = True\n"
      "      HelpContext = 9\n"
      "      Hint = 'Act hint'\n"
      "      ImageIndex = 5\n"
      "      ShortCut = 16466\n"
      "      Visible = False\n"
      "      OnExecute = btnExitClick\n"
      "    end\n"
      "  end\n"
      "end\n";
  TObjectPtr<TBarTestForm> read(ReadBarForm(definition));
  TdxBarManager* readManager = ManagerOf(read.get());
  ASSERT_NE(readManager, nullptr);
  auto* bare = readManager->GetItemByName(L"btnBare");
  auto* own = readManager->GetItemByName(L"btnOwn");
  ASSERT_TRUE(bare && own);
  const struct {
    const char* what;
    String bareValue, ownValue, expectedBare, expectedOwn;
  } cases[] = {
      {"caption", bare->Caption(), own->Caption(), L"Act", L"Own"},
      {"hint", bare->Hint(), own->Hint(), L"Act hint", L"Own hint"},
      {"help context", IntToStr(bare->HelpContext()), IntToStr(own->HelpContext()), L"9", L"3"},
      {"image index", IntToStr(bare->ImageIndex()), IntToStr(own->ImageIndex()), L"5", L"2"},
      {"shortcut", IntToStr(bare->ShortCut()), IntToStr(own->ShortCut()), L"16466", L"16455"},
      {"enabled", BoolToStr(bare->Enabled(), true), BoolToStr(own->Enabled(), true), L"True", L"False"},
      {"visible", IntToStr(bare->Visible()), IntToStr(own->Visible()), IntToStr(ivNever), IntToStr(ivInCustomizing)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.bareValue, c.expectedBare);
    EXPECT_EQ(c.ownValue, c.expectedOwn);
  }
  bare->SetVisible(ivAlways);
  bare->SetEnabled(true);
  bare->Click();
  EXPECT_EQ(read->ExitClicks, 1) << "the handler came from the action";
}

TEST_F(dxBarItemActionTest, AnItemCopiesItselfIntoAnAction) {
  TActionRecorder recorder;
  button->SetCaption(L"&Save");
  button->SetHint(L"Saves");
  button->SetDown(true);
  button->SetImageIndex(4);
  button->SetShortCut(kCtrlG);
  button->SetEnabled(false);
  button->OnClick = TNotifyEvent::Bind<&TActionRecorder::ItemClick>(&recorder);
  TObjectPtr<TAction> target(Make<TAction>(nullptr));
  target->Assign(button);
  EXPECT_EQ(target->Caption(), L"&Save");
  EXPECT_EQ(target->Hint(), L"Saves");
  EXPECT_TRUE(target->Checked());
  EXPECT_EQ(target->ImageIndex(), 4);
  EXPECT_EQ(target->ShortCut(), kCtrlG);
  EXPECT_FALSE(target->Enabled());
  EXPECT_TRUE(target->OnExecute == button->OnClick);
  // Shown only while customizing: the action keeps its own visibility.
  target->SetVisible(false);
  button->SetVisible(ivInCustomizing);
  target->Assign(button);
  EXPECT_FALSE(target->Visible());
  button->SetVisible(ivAlways);
  target->Assign(button);
  EXPECT_TRUE(target->Visible());
  EXPECT_NE(RaisedMessage([&] { form->Assign(button); }), L"<no error>");
}

TEST(dxBarItemCategory, AnItemJoiningACategoryMovesBehindItsLastItem) {
  TObjectPtr<TBarTestForm> form(Make<TBarTestForm>(nullptr));
  auto* manager = Make<TdxBarManager>(form.get());
  TdxBarItem* items[3];
  for (int i = 0; i < 3; ++i) {
    items[i] = manager->AddButton();
    items[i]->SetName(String(1, static_cast<wchar_t>(L'P' + i)));
  }
  manager->Categories()->Add(L"Second");
  auto order = [manager] {
    std::vector<String> names;
    for (int i = 0; i < manager->ItemCount(); ++i) names.push_back(manager->Items(i)->Name());
    return names;
  };
  const struct {
    const char* what;
    int item, category;
    std::vector<String> order;
    int expectedCategory;
  } cases[] = {
      {"into an empty category: no move", 1, 1, {L"P", L"Q", L"R"}, 1},
      {"behind the category's last item, which lies after it", 0, 1, {L"Q", L"P", L"R"}, 1},
      {"behind the category's last item, which lies before it", 2, 1, {L"Q", L"P", L"R"}, 1},
      {"an index past the categories is ignored", 2, 5, {L"Q", L"P", L"R"}, 1},
      {"a negative index is ignored", 2, -1, {L"Q", L"P", L"R"}, 1},
      {"back into the first category, now empty", 0, 0, {L"Q", L"P", L"R"}, 0},
      {"behind the first category's item", 1, 0, {L"P", L"Q", L"R"}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    items[c.item]->SetCategory(c.category);
    EXPECT_EQ(order(), c.order);
    EXPECT_EQ(items[c.item]->Category(), c.expectedCategory);
  }
}

// ---------------------------------------------------------------------------
// Style slots
// ---------------------------------------------------------------------------

struct TStyleChanges : TObject {
  std::vector<TdxBarItemStyleChangeKind> Kinds;
  void Changed(TdxBarItemStyleChangeKind AKind) { Kinds.push_back(AKind); }
};

class dxBarItemStylesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    repository.reset(Make<TcxStyleRepository>(nullptr));
    styleA = static_cast<TcxStyle*>(repository->CreateItem(TcxCustomStyleClass::Of<TcxStyle>()));
    styleB = static_cast<TcxStyle*>(repository->CreateItem(TcxCustomStyleClass::Of<TcxStyle>()));
    data.reset(Make<TdxBarItemStylesData>(nullptr, 2));
    data->OnChange = TdxBarItemStylesDataChangeEvent::Bind<&TStyleChanges::Changed>(&changes);
  }
  std::vector<TdxBarItemStyleChangeKind> Take() {
    std::vector<TdxBarItemStyleChangeKind> kinds = changes.Kinds;
    changes.Kinds.clear();
    return kinds;
  }
  TObjectPtr<TcxStyleRepository> repository;
  TcxStyle* styleA = nullptr;
  TcxStyle* styleB = nullptr;
  TObjectPtr<TdxBarItemStylesData> data;
  TStyleChanges changes;
};

using Kinds = std::vector<TdxBarItemStyleChangeKind>;

TEST_F(dxBarItemStylesTest, AChangeOfTheStyleReportsWhatItMeansForTheControls) {
  data->SetStyle(0, styleA);
  EXPECT_EQ(Take(), Kinds{}) << "an empty style changes nothing";
  TObjectPtr<TBitmap> picture(stdtest::NewBitmap(4, 4, clRed));
  const struct {
    const char* what;
    std::function<void()> change;
    Kinds expected;
  } cases[] = {
      {"colour", [&] { styleA->SetColor(clRed); }, {sckDrawing}},
      {"same colour again", [&] { styleA->SetColor(clRed); }, {}},
      {"text colour", [&] { styleA->SetTextColor(clBlue); }, {sckDrawing}},
      {"bitmap only", [&] { styleA->SetBitmap(picture.get()); }, {}},
      {"font", [&] { styleA->Font()->SetHeight(-20); }, {sckStructure}},
      {"font and colour in one notification",
       [&] {
         styleB->SetColor(clGreen);
         styleB->Font()->SetHeight(-30);
         styleA->Assign(styleB);
       },
       {sckStructure}},
      {"colour unassigned", [&] { styleA->SetColor(clDefault); }, {sckDrawing}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.change();
    EXPECT_EQ(Take(), c.expected);
  }
}

TEST_F(dxBarItemStylesTest, AssigningAStyleComparesWithTheSnapshot) {
  styleA->SetColor(clRed);
  styleB->SetColor(clRed);
  data->SetStyle(0, styleA);
  EXPECT_EQ(Take(), Kinds{sckDrawing});
  data->SetStyle(0, styleB);
  EXPECT_EQ(Take(), Kinds{}) << "the same values";
  styleB->Font()->SetHeight(-18);
  EXPECT_EQ(Take(), Kinds{sckStructure});
  data->SetStyle(0, nullptr);
  EXPECT_EQ(Take(), Kinds{sckStructure});
}

TEST_F(dxBarItemStylesTest, AStyleInTwoSlotsIsListenedToOnce) {
  data->SetStyle(0, styleA);
  data->SetStyle(1, styleA);
  EXPECT_EQ(styleA->ListenerCount(), 1);
  EXPECT_EQ(data->UseCount(styleA), 2);
  styleA->SetColor(clRed);
  EXPECT_EQ(Take(), Kinds{sckDrawing}) << "one report for both slots";
  data->SetStyle(0, nullptr);
  EXPECT_EQ(styleA->ListenerCount(), 1);
  data->SetStyle(1, nullptr);
  EXPECT_EQ(styleA->ListenerCount(), 0);
  // A freed style leaves every slot that held it.
  data->SetStyle(0, styleB);
  data->SetStyle(1, styleB);
  TObject::Free(styleB);
  EXPECT_EQ(data->GetStyle(0), nullptr);
  EXPECT_EQ(data->GetStyle(1), nullptr);
  // Freeing the slots object leaves the style.
  data->SetStyle(0, styleA);
  data.reset();
  EXPECT_EQ(styleA->ListenerCount(), 0);
}

TEST_F(dxBarItemStylesTest, AStructureChangeOutweighsDrawingChangesWhileLocked) {
  data->LockChanges(true);
  data->NotifyChange(sckDrawing);
  data->NotifyChange(sckStructure);
  data->NotifyChange(sckDrawing);
  EXPECT_EQ(Take(), Kinds{});
  data->LockChanges(false);
  EXPECT_EQ(Take(), Kinds{sckStructure});
  data->LockChanges(true);
  data->LockChanges(false);
  EXPECT_EQ(Take(), Kinds{}) << "nothing pending, nothing reported";
}

// ---------------------------------------------------------------------------
// Notices to the controls and windows of an item's links
// ---------------------------------------------------------------------------

// A window of a given kind that counts its repaints.
class TKindBarControl : public TObject, public IdxBarControl {
  DECLARE_CLASS(TKindBarControl, TObject)
  explicit TKindBarControl(TdxBarKind AKind) : FKind(AKind) {}
  TObject* BarControlObject() override { return this; }
  bool IsDestroying() override { return false; }
  void SetItemLinks(TdxBarItemLinks*) override {}
  bool IsVertical() override { return false; }
  bool IsWindowVisible() override { return true; }
  TRect ClientRect() override { return TRect(0, 0, 200, 20); }
  void ScheduleRepaint() override {}
  void RepaintBar() override { ++Repaints; }
  void RebuildItemControls() override {}
  void LinkDestroying(TdxBarItemLink*) override {}
  TdxBarKind Kind() const override { return FKind; }
  bool IsActive() const override { return Active; }
  int Repaints = 0;
  bool Active = false;

 private:
  TdxBarKind FKind;
};

IMPLEMENT_CLASS(TKindBarControl, TObject, nullptr)

// Records every notice; may pretend to be its window's selected control.
class TNoticeControl : public TdxBarItemControlBase {
  DECLARE_CLASS(TNoticeControl, TdxBarItemControlBase)
  explicit TNoticeControl(TdxBarItemLink* ALink) : TdxBarItemControlBase(ALink) { ++Created; }
  void CaptionChanged() override { Notices.push_back(L"caption"); }
  void ImageChanged() override { Notices.push_back(L"image"); }
  void LargeImageChanged() override { Notices.push_back(L"large image"); }
  void HotImageChanged() override { Notices.push_back(L"hot image"); }
  void PaintStyleChanged() override { Notices.push_back(L"paint style"); }
  void WidthChanged() override { Notices.push_back(L"width"); }
  void RecalcDrawingConsts() override { Notices.push_back(L"drawing consts"); }
  void Repaint() override { Notices.push_back(L"repaint"); }
  bool IsSelected() override { return Selected; }
  std::vector<String> Notices;
  bool Selected = false;
  static inline int Created = 0;
};

IMPLEMENT_CLASS(TNoticeControl, TdxBarItemControlBase, (ConstructWith<TNoticeControl, TdxBarItemLink>))

class TKindLinksOwner : public IdxBarLinksOwner {
 public:
  TKindLinksOwner(TdxBarManager* AManager, TdxBarKind AKind)
      : Links(Make<TdxBarSubMenuControlItemLinks>(AManager, this)), FKind(AKind) {}
  ~TKindLinksOwner() { TObject::Free(Links); }
  TdxBarItemLinks* GetItemLinks() override { return Links; }
  IdxBarControl* CreateBarControl() override { return Make<TKindBarControl>(FKind); }
  bool CanContainItem(TdxBarItem*, String&) override { return true; }
  TComponent* GetInstance() override { return nullptr; }
  TKindBarControl* Bar() { return static_cast<TKindBarControl*>(Links->BarControl()->BarControlObject()); }
  TdxBarItemLinks* Links;

 private:
  TdxBarKind FKind;
};

class dxBarItemNoticesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(Make<TBarTestForm>(nullptr));
    manager = Make<TdxBarManager>(form.get());
    for (TClass cls : {TdxBarButton::StaticClass(), TdxBarLargeButton::StaticClass()})
      dxBarAddItemClassToRegistry(cls, TNoticeControl::StaticClass());
    toolbar = std::make_unique<TKindLinksOwner>(manager, bkBarControl);
    menu = std::make_unique<TKindLinksOwner>(manager, bkSubMenu);
    toolbar->Links->CreateBarControl();
    menu->Links->CreateBarControl();
  }
  void TearDown() override {
    toolbar.reset();
    menu.reset();
    for (TClass cls : {TdxBarButton::StaticClass(), TdxBarLargeButton::StaticClass()})
      dxBarRemoveItemClassFromRegistry(cls);
  }
  TdxBarItemLink* Place(TKindLinksOwner* AOwner, TdxBarItem* AItem) {
    TdxBarItemLink* link = AOwner->Links->Add(AItem);
    link->CreateControl();
    return link;
  }
  static std::vector<String> Take(TdxBarItemLink* ALink) {
    auto& list = static_cast<TNoticeControl*>(ALink->Control())->Notices;
    std::vector<String> copy = list;
    list.clear();
    return copy;
  }
  TObjectPtr<TBarTestForm> form;
  TdxBarManager* manager = nullptr;
  std::unique_ptr<TKindLinksOwner> toolbar, menu;
};

TEST_F(dxBarItemNoticesTest, LinksWhoseUserSettingsOverrideAValueHearNothingOfItsChange) {
  TdxBarButton* button = manager->AddButton();
  TdxBarItemLink* plain = Place(toolbar.get(), button);
  TdxBarItemLink* own = Place(menu.get(), button);
  own->SetUserCaption(L"Own");
  own->SetUserPaintStyle(psCaption);
  own->SetUserWidth(30);
  TObjectPtr<TBitmap> glyph(stdtest::NewBitmap(4, 4, clRed));
  own->SetUserGlyph(glyph.get());
  EXPECT_EQ(own->UserDefine(), (TdxBarUserDefines{udCaption, udGlyph, udPaintStyle, udWidth}));
  Take(plain);
  Take(own);
  const struct {
    const char* what;
    std::function<void()> change;
    NameList plainNotices, ownNotices;
  } cases[] = {
      {"caption", [&] { button->SetCaption(L"New"); }, {L"caption"}, {}},
      {"image index", [&] { button->SetImageIndex(3); }, {L"image"}, {}},
      {"glyph", [&] { button->SetGlyph(glyph.get()); }, {L"image"}, {}},
      {"paint style", [&] { button->SetPaintStyle(psCaptionGlyph); }, {L"paint style"}, {}},
      {"width", [&] { button->SetWidth(50); }, {L"width"}, {}},
      {"large image: no override", [&] { button->SetLargeImageIndex(2); }, {L"large image"}, {L"large image"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.change();
    EXPECT_EQ(Take(plain), c.plainNotices);
    EXPECT_EQ(Take(own), c.ownNotices);
  }
  // Giving up an override tells the control once and brings the item's value back.
  own->SetUserDefine({udGlyph, udPaintStyle, udWidth});
  EXPECT_EQ(Take(own), NameList{L"caption"});
  EXPECT_EQ(own->Caption(), L"New");
}

TEST_F(dxBarItemNoticesTest, OnlyTheWindowsOfTheKindsAskedForRepaint) {
  TdxBarButton* button = manager->AddButton();
  TdxBarItemLink* onToolbar = Place(toolbar.get(), button);
  Place(menu.get(), button);
  const struct {
    const char* what;
    std::function<void()> change;
    int toolbarRepaints, menuRepaints;
  } cases[] = {
      {"shortcut: menus only", [&] { button->SetShortCut(kCtrlR); }, 0, 1},
      {"align: every kind", [&] { button->SetAlign(iaRight); }, 1, 1},
      {"lowered: every kind", [&] { button->SetLowered(true); }, 1, 1},
      {"selected control of an active toolbar keeps its look",
       [&] {
         toolbar->Bar()->Active = true;
         static_cast<TNoticeControl*>(onToolbar->Control())->Selected = true;
         button->SetAlign(iaLeft);
       },
       0, 1},
      {"selected control of an inactive toolbar",
       [&] {
         toolbar->Bar()->Active = false;
         button->SetAlign(iaRight);
       },
       1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    toolbar->Bar()->Repaints = menu->Bar()->Repaints = 0;
    c.change();
    EXPECT_EQ(toolbar->Bar()->Repaints, c.toolbarRepaints);
    EXPECT_EQ(menu->Bar()->Repaints, c.menuRepaints);
  }
  // The unfocused controls repaint; the selected one on the active toolbar does not.
  toolbar->Bar()->Active = true;
  Take(onToolbar);
  button->SetDropDownEnabled(false);
  EXPECT_EQ(Take(onToolbar), NameList{});
}

TEST_F(dxBarItemNoticesTest, StyleChangesRepaintOrRebuildTheControls) {
  TObjectPtr<TcxStyleRepository> repository(Make<TcxStyleRepository>(nullptr));
  auto* style = static_cast<TcxStyle*>(repository->CreateItem(TcxCustomStyleClass::Of<TcxStyle>()));
  TdxBarButton* button = manager->AddButton();
  TdxBarItemLink* link = Place(toolbar.get(), button);
  button->SetStyle(style);
  EXPECT_EQ(button->Style(), style);
  Take(link);
  style->SetColor(clYellow);
  EXPECT_EQ(Take(link), (NameList{L"drawing consts", L"repaint"}));
  TcxViewParams params;
  button->GetStyleViewParams(params);
  EXPECT_EQ(params.Color, clYellow);
  EXPECT_EQ(params.Font, nullptr) << "a value the style does not assign keeps its default";
  EXPECT_EQ(params.TextColor, clDefault);

  const int created = TNoticeControl::Created;
  toolbar->Bar()->Repaints = 0;
  style->Font()->SetStyle({fsBold});
  ASSERT_NE(link->Control(), nullptr);
  EXPECT_EQ(TNoticeControl::Created, created + 1) << "a font change makes the control anew";
  EXPECT_EQ(toolbar->Bar()->Repaints, 1);
  button->GetStyleViewParams(params);
  EXPECT_EQ(params.Font, style->Font());
  TObject::Free(style);
  EXPECT_EQ(button->Style(), nullptr);
}

TEST_F(dxBarItemNoticesTest, LargeButtonsHotGlyphAndImages) {
  auto* large = static_cast<TdxBarLargeButton*>(manager->AddItem(TdxBarLargeButton::StaticClass()));
  TdxBarItemLink* link = Place(toolbar.get(), large);
  Take(link);
  TObjectPtr<TBitmap> glyph(stdtest::NewBitmap(4, 4, clRed));
  large->SetHotGlyph(glyph.get());
  EXPECT_FALSE(large->HotGlyph()->Empty());
  EXPECT_EQ(Take(link), NameList{L"hot image"});
  large->SetHotImageIndex(1);
  EXPECT_EQ(Take(link), NameList{L"hot image"});
  EXPECT_TRUE(large->HasHotImageIndex());
  EXPECT_FALSE(large->HotImageAvailable()) << "the manager has no hot images";
  EXPECT_FALSE(large->HasLargeImageIndex());
  large->SetLargeImageIndex(0);
  EXPECT_TRUE(large->HasLargeImageIndex());
  EXPECT_FALSE(large->LargeImageAvailable());
  EXPECT_EQ(large->EditableImageIndex(), 0);
}

// ---------------------------------------------------------------------------
// Links moving between collections, usage state, distribution
// ---------------------------------------------------------------------------

class dxBarLinkMovesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(Make<TBarTestForm>(nullptr));
    manager = Make<TdxBarManager>(form.get());
    first = std::make_unique<TMenuLinksOwner>(manager);
    second = std::make_unique<TMenuLinksOwner>(manager);
  }
  void TearDown() override {
    first.reset();
    second.reset();
  }
  TdxBarItemLink* Add(TMenuLinksOwner* AOwner, const wchar_t* AName) {
    TdxBarButton* button = manager->AddButton();
    button->SetName(AName);
    return AOwner->Links->Add(button);
  }
  static NameList Recent(TMenuLinksOwner* AOwner) {
    const auto& recent = AOwner->Links->RecentItems();
    return LinkNames(static_cast<int>(recent.size()), [&recent](int i) { return recent[i]; });
  }
  TObjectPtr<TBarTestForm> form;
  TdxBarManager* manager = nullptr;
  std::unique_ptr<TMenuLinksOwner> first, second;
};

TEST_F(dxBarLinkMovesTest, ALinkMovedToAnotherCollectionLeavesTheOldListsAndJoinsTheNewRecentList) {
  TdxBarItemLink* a = Add(first.get(), L"A");
  Add(first.get(), L"B");
  Add(second.get(), L"C");
  a->SetCollection(second->Links);
  EXPECT_EQ(a->Owner(), second->Links);
  EXPECT_EQ(Recent(first.get()), NameList{L"B"});
  EXPECT_EQ(Recent(second.get()), (NameList{L"C", L"A"}));
  EXPECT_EQ(first->Links->VisibleItemCount(), 1);
  EXPECT_EQ(second->Links->VisibleIndexOf(a), 1);
  EXPECT_EQ(a->Item()->LinkCount(), 1);
}

TEST_F(dxBarLinkMovesTest, LoadedRecentPositionsAndUseCountsAreApplied) {
  TdxBarItemLink* a = Add(first.get(), L"A");
  TdxBarItemLink* b = Add(first.get(), L"B");
  TdxBarItemLink* c = Add(first.get(), L"C");
  TdxBarItemLink* hidden = Add(first.get(), L"D");
  hidden->SetVisible(false);
  c->SetLoadedUsage(true, 9, 0);
  a->SetLoadedUsage(true, 4, 2);
  b->SetMostRecentlyUsed(false);
  first->Links->ApplyLoadedUsageState(false);
  EXPECT_EQ(c->UseCount(), 9);
  EXPECT_EQ(a->UseCount(), 4);
  EXPECT_EQ(c->LoadedRecentIndex(), -1);
  // C read at the front and A third, then the links a menu can show are
  // put before the hidden one, keeping their order.
  EXPECT_EQ(Recent(first.get()), (NameList{L"C", L"A", L"B", L"D"}));
}

TEST_F(dxBarLinkMovesTest, DistributedThroughTheOrdinarySetterMarksAPrimaryLink) {
  TdxBarItemLink* a = Add(first.get(), L"A");
  a->SetDistributed(false);
  EXPECT_TRUE(a->IsPrimaryForDistribution());
  a->SetDistributedWithoutPrimaryList(true);
  EXPECT_TRUE(a->Distributed());
  EXPECT_FALSE(a->IsPrimaryForDistribution());
  a->SetDistributed(false);
  EXPECT_EQ(first->Links->PrimaryForDistributionCount(), 1);
  TObject::Free(a);
  EXPECT_EQ(first->Links->PrimaryForDistributionCount(), 0);
}

TEST_F(dxBarLinkMovesTest, AssignedLinksCopyTheSourcesSettings) {
  TdxBarItemLink* a = Add(first.get(), L"A");
  Add(first.get(), L"B")->SetBeginGroup(true);
  a->SetUserCaption(L"Mine");
  a->SetUserWidth(44);
  a->SetViewLevels({ivlSmallIcon});
  a->SetData(12);
  second->Links->Assign(first->Links);
  ASSERT_EQ(second->Links->Count(), 2);
  TdxBarItemLink* copy = second->Links->Items(0);
  EXPECT_EQ(copy->Item(), a->Item());
  EXPECT_EQ(copy->Caption(), L"Mine");
  EXPECT_EQ(copy->Width(), 44);
  EXPECT_EQ(copy->UserDefine(), (TdxBarUserDefines{udCaption, udWidth}));
  EXPECT_EQ(copy->ViewLevels(), TdxBarItemViewLevels{ivlSmallIcon});
  EXPECT_EQ(copy->Data(), 12);
  EXPECT_TRUE(second->Links->Items(1)->BeginGroup());
  EXPECT_EQ(a->Item()->LinkCount(), 2);
  // Filled from a link without item, a link loses its item but stays.
  TdxBarItemLink* empty = second->Links->Add();
  copy->Assign(empty);
  EXPECT_EQ(second->Links->IndexOf(copy), 0);
  EXPECT_EQ(copy->Item(), nullptr);
  EXPECT_EQ(a->Item()->LinkCount(), 1);
  // A merge records its toolbar; a copy made outside a merge does not.
  TdxBar* bar = manager->AddToolBar();
  TMenuLinksOwner merged(manager), copied(manager);
  merged.Links->Merge(first->Links, bar);
  ASSERT_EQ(merged.Links->Count(), 2);
  EXPECT_EQ(merged.Links->Items(0)->CreatedFromMergingWith(), bar);
  copied.Links->Assign(merged.Links);
  ASSERT_EQ(copied.Links->Count(), 2);
  EXPECT_EQ(copied.Links->Items(0)->CreatedFromMergingWith(), nullptr);
  copied.Links->Unmerge(bar);
  EXPECT_EQ(copied.Links->Count(), 2) << "nothing of the copy goes with the merge";
}

// ---------------------------------------------------------------------------
// Design-time selection without a designer (the program's case)
// ---------------------------------------------------------------------------

// Answers what the selection code asks; every other question keeps the
// controller's neutral answer.
class TFakeDesignController : public IdxBarDesignController {
 public:
  TdxBarItemLink* CustomizingItemLink() override { return Customizing; }
  IdxBarSelectableItem* LastSelectedItem() override { return LastSelected; }
  void DropSelection(IdxBarSelectableItem* AItem) override {
    if (LastSelected == AItem) LastSelected = nullptr;
  }
  void SynchronizeLastSelectedItem() override { ++Synchronized; }
  TdxBarItemLink* DesignSelectedLink(TdxBarManager*) override { return DesignSelected; }
  TdxBarItemLink* Customizing = nullptr;
  IdxBarSelectableItem* LastSelected = nullptr;
  TdxBarItemLink* DesignSelected = nullptr;
  int Synchronized = 0;
};

// Puts the controller into the slot for the scope.
class TControllerScope {
 public:
  explicit TControllerScope(IdxBarDesignController* AController) : FSaved(dxBarDesignControllerSlot()) {
    dxBarDesignControllerSlot() = AController;
  }
  ~TControllerScope() { dxBarDesignControllerSlot() = FSaved; }

 private:
  IdxBarDesignController* FSaved;
};

TEST_F(dxBarLinkMovesTest, CustomizationActionsCopyTheCustomizingLinksSettings) {
  TdxBarItemLink* a = Add(first.get(), L"A");
  TdxBarItemLink* model = Add(second.get(), L"M");
  model->SetPosition(ipContinuesRow);
  model->SetVisible(false);
  model->SetUserPaintStyle(psCaption);
  TFakeDesignController controller;
  controller.Customizing = model;
  {
    TControllerScope scope(&controller);
    for (TdxBarCustomizationAction action : {caChangePosition, caChangeVisible, caChangeButtonPaintStyle})
      a->Item()->RunCustomizationAction(action);  // one link: the item hands the action to it
    EXPECT_EQ(a->Position(), ipContinuesRow);
    EXPECT_FALSE(a->Visible());
    EXPECT_EQ(a->PaintStyle(), psCaption);
    a->RunCustomizationAction(caReset);
    EXPECT_EQ(a->UserDefine(), TdxBarUserDefines{});
    controller.LastSelected = model;
    TObject::Free(model);
    EXPECT_EQ(controller.LastSelected, nullptr) << "a freed link leaves the selection";
  }

  EXPECT_EQ(a->Item()->SupportedCustomizationActions(),
            (TdxBarCustomizationActions{caReset, caDeleteLink, caChangeCaption, caChangeBeginGroup,
                                        caChangeButtonPaintStyle}));
  EXPECT_EQ(a->SupportedCustomizationActions(), a->Item()->SupportedCustomizationActions());
  EXPECT_EQ(a->DesignSelectionState(), ssUnselected);
  // Deleting an item that has links from the designer drops its links only.
  TdxBarItem* item = a->Item();
  IdxBarSelectableItem* reference = item;
  EXPECT_TRUE(item->MayBeDeleted(false));
  item->DeleteFromDesigner(reference, false);
  EXPECT_EQ(item->LinkCount(), 0);
  EXPECT_EQ(first->Links->Count(), 0);
  item->DeleteFromDesigner(reference, true);
  EXPECT_EQ(reference, nullptr);
  EXPECT_EQ(manager->GetItemByName(L"A"), nullptr);
}

// ---------------------------------------------------------------------------
// Design-time selection with a designer: items and links answer for
// themselves, not with a bar component's defaults
// ---------------------------------------------------------------------------

class TDesignForm : public TBarTestForm {
 public:
  TDesignForm() : TBarTestForm(nullptr) {}
  using TComponent::SetDesigning;
};

// Reports the status it was given per object and records what it is asked
// to select.
struct TStatusDesigner : IdxBarDesigner {
  std::map<TPersistent*, TdxBarSelectionStatus> Status;
  std::vector<std::pair<TPersistent*, TdxBarSelectionOperation>> Selected;
  bool AllowDelete = true;
  bool CanDeleteComponent(TComponent*) override { return AllowDelete; }
  TdxBarSelectionStatus GetSelectionStatus(TPersistent* AObject) override {
    const auto it = Status.find(AObject);
    return it == Status.end() ? ssUnselected : it->second;
  }
  void SelectObject(TPersistent* AObject, TdxBarSelectionOperation AOperation) override {
    Selected.emplace_back(AObject, AOperation);
  }
  String UniqueName(const String& ABaseName) override { return ABaseName; }
  void ShowDefaultEventHandler(TComponent*) override {}
  std::vector<std::pair<TPersistent*, TdxBarSelectionOperation>> Take() { return std::exchange(Selected, {}); }
};

TStatusDesigner* gStatusDesigner = nullptr;
IdxBarDesigner* StatusDesigner(TdxBarManager*) { return gStatusDesigner; }

// A menu that a component of the form owns, so that a link's parent can be selected.
class TOwnedMenu : public TMenuLinksOwner {
 public:
  TOwnedMenu(TdxBarManager* AManager, TComponent* AInstance) : TMenuLinksOwner(AManager), Instance(AInstance) {}
  TComponent* GetInstance() override { return Instance; }
  TComponent* Instance;
};

using Selections = std::vector<std::pair<TPersistent*, TdxBarSelectionOperation>>;

// A designed form whose menu shows A, B, A again and a link without item;
// every link with an item has a selectable control.
class dxBarItemSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(Make<TDesignForm>());
    manager = Make<TdxBarManager>(form.get());
    menuOwner = Make<TComponent>(form.get());
    form->SetDesigning(true);
    savedLookup = dxBarDesignerLookup();
    gStatusDesigner = &designer;
    dxBarDesignerLookup() = &StatusDesigner;
    savedController = dxBarDesignControllerSlot();
    dxBarDesignControllerSlot() = &controller;
    dxBarAddItemClassToRegistry(TdxBarButton::StaticClass(), TTestItemControl::StaticClass());
    menu = std::make_unique<TOwnedMenu>(manager, menuOwner);
    a = manager->AddButton();
    b = manager->AddButton();
    a1 = menu->Links->Add(a);
    bLink = menu->Links->Add(b);
    a2 = menu->Links->Add(a);
    menu->Links->Add();
    menu->Links->CreateBarControl();
    for (TdxBarItemLink* link : {a1, bLink, a2}) link->CreateControl();
  }
  void TearDown() override {
    menu.reset();
    dxBarRemoveItemClassFromRegistry(TdxBarButton::StaticClass());
    dxBarDesignControllerSlot() = savedController;
    dxBarDesignerLookup() = savedLookup;
    gStatusDesigner = nullptr;
    form->SetDesigning(false);
  }
  TObjectPtr<TDesignForm> form;
  TdxBarManager* manager = nullptr;
  TComponent* menuOwner = nullptr;
  std::unique_ptr<TOwnedMenu> menu;
  TStatusDesigner designer;
  TFakeDesignController controller;
  TdxBarDesignerLookup savedLookup = nullptr;
  IdxBarDesignController* savedController = nullptr;
  TdxBarButton *a = nullptr, *b = nullptr;
  TdxBarItemLink *a1 = nullptr, *bLink = nullptr, *a2 = nullptr;
};

TEST_F(dxBarItemSelectionTest, AnItemAnswersThroughItsDesignSelectedLink) {
  EXPECT_EQ(a->DesignSelectedLink(), a1) << "nothing selected: the first link";
  controller.DesignSelected = bLink;
  EXPECT_EQ(a->DesignSelectedLink(), a1) << "another item's link does not count";
  controller.DesignSelected = a2;
  EXPECT_EQ(a->DesignSelectedLink(), a2);

  // The walk from A's selected link wraps past the link without item and
  // past A's own first link to the next other item.
  EXPECT_EQ(a2->FollowingSelectable(), a1);
  EXPECT_EQ(bLink->FollowingSelectable(), a2);
  EXPECT_EQ(a->FollowingSelectable(), b);
  EXPECT_EQ(b->FollowingSelectable(), a);
  EXPECT_EQ(a->SelectableParentObject(), menuOwner);
  EXPECT_TRUE(a->HasMultipleParts());
  EXPECT_FALSE(b->HasMultipleParts());

  EXPECT_TRUE(a->SelectParentInDesigner());
  EXPECT_EQ(designer.Take(), (Selections{{menuOwner, soExclusive}}));
  TdxBarButton* unplaced = manager->AddButton();
  EXPECT_FALSE(unplaced->SelectParentInDesigner());
  EXPECT_EQ(unplaced->SelectableParentObject(), nullptr);
  EXPECT_EQ(unplaced->FollowingSelectable(), nullptr);
  EXPECT_TRUE(designer.Take().empty());

  TdxObjectList masters;
  a->CollectMasterObjects(&masters);
  ASSERT_EQ(masters.Count(), 1);
  EXPECT_EQ(masters.First(), form.get()) << "the manager's owner";
  masters.Clear();
  a2->CollectMasterObjects(&masters);
  ASSERT_EQ(masters.Count(), 2);
  EXPECT_EQ(masters.First(), menuOwner);
  EXPECT_EQ(masters.Last(), a);

  a->SelectionStateChanged();
  a2->SelectionStateChanged();
  EXPECT_EQ(controller.Synchronized, 2) << "a link hands the change to its item";
}

TEST_F(dxBarItemSelectionTest, ALinkCountsAsSelectedWithItsItemAndSelectsTheItem) {
  designer.Status[a1] = ssActiveSelected;
  designer.Status[a] = ssInactiveSelected;
  EXPECT_TRUE(a1->IsDesignSelected());
  EXPECT_FALSE(a2->IsDesignSelected());
  EXPECT_FALSE(a->IsDesignSelected());
  EXPECT_EQ(a->DesignSelectionState(), ssInactiveSelected);
  EXPECT_EQ(a1->DesignSelectionState(), ssActiveSelected);
  designer.Status[a] = ssActiveSelected;
  EXPECT_TRUE(a2->IsDesignSelected()) << "its item is selected";

  a2->SelectInDesigner(soAdd);
  EXPECT_EQ(designer.Take(), (Selections{{a, soAdd}}));
  a2->SelectInDesigner(soExclude);
  EXPECT_EQ(designer.Take(), (Selections{{a2, soExclude}, {a, soExclude}}));
  a->SelectInDesigner(soExclusive);
  EXPECT_EQ(designer.Take(), (Selections{{a, soExclusive}}));

  EXPECT_TRUE(a2->SelectParentInDesigner());
  EXPECT_EQ(designer.Take(), (Selections{{menuOwner, soExclusive}}));
  EXPECT_EQ(manager->SelectedItem(), nullptr);
}

TEST_F(dxBarItemSelectionTest, DesignModeActionsAndDeletion) {
  TdxBarItem* separator = manager->AddItem(TdxBarSeparator::StaticClass());
  const TdxBarCustomizationActions linkActions{
      caReset,          caDelete,           caDeleteItem,        caDeleteLink,       caChangeCaption,   caChangePosition,
      caChangeViewLevels, caChangeDistributed, caChangeBeginGroup, caChangeVisible, caChangeRecentList};
  const TdxBarCustomizationActions buttonExtras{caChangeButtonPaintStyle, caChangeButtonGroup};
  EXPECT_EQ(a->SupportedCustomizationActions(), TdxBarCustomizationActions{caDelete} + buttonExtras);
  EXPECT_EQ(separator->SupportedCustomizationActions(), TdxBarCustomizationActions{caDelete});
  TdxBarItemLink* model = menu->Links->Add(b);
  model->SetPosition(ipContinuesRow);
  controller.Customizing = model;
  EXPECT_EQ(a->SupportedCustomizationActions(), linkActions + buttonExtras);
  EXPECT_EQ(separator->SupportedCustomizationActions(), linkActions - caChangeRecentList);
  EXPECT_EQ(a1->SupportedCustomizationActions(), a->SupportedCustomizationActions());

  // An item hands an action to its only link, unless that link is the
  // design controller's last selected object; with two links, to none.
  TdxBarButton* single = manager->AddButton();
  TdxBarItemLink* only = menu->Links->Add(single);
  controller.LastSelected = only;
  single->RunCustomizationAction(caChangePosition);
  EXPECT_EQ(only->Position(), ipBeginsNewRow);
  controller.LastSelected = nullptr;
  single->RunCustomizationAction(caChangePosition);
  EXPECT_EQ(only->Position(), ipContinuesRow);
  a->RunCustomizationAction(caChangePosition);
  EXPECT_EQ(a1->Position(), ipBeginsNewRow);
  EXPECT_EQ(a2->Position(), ipBeginsNewRow);

  // The designer decides deletion of the component, not of its placements.
  designer.AllowDelete = false;
  EXPECT_TRUE(a->MayBeDeleted(false));
  EXPECT_FALSE(a->MayBeDeleted(true));
  EXPECT_TRUE(a1->MayBeDeleted(true));
  IdxBarSelectableItem* reference = a;
  a->DeleteFromDesigner(reference, false);
  EXPECT_EQ(a->LinkCount(), 0);
  EXPECT_EQ(reference, a);
  EXPECT_FALSE(a->MayBeDeleted(false)) << "without links the component itself would go";
  a->DeleteFromDesigner(reference, true);
  EXPECT_EQ(manager->Items(0), a) << "refused: the item stays";
  designer.AllowDelete = true;
  a->DeleteFromDesigner(reference, true);
  EXPECT_EQ(reference, nullptr);
  EXPECT_EQ(manager->ItemCount(), 3);
}

TEST_F(dxBarItemSelectionTest, InDesignModeAClickRunsNoAction) {
  TActionRecorder recorder;
  auto* action = Make<TAction>(form.get());
  action->OnExecute = TNotifyEvent::Bind<&TActionRecorder::Execute>(&recorder);
  a->SetAction(action);
  a->Click();
  EXPECT_EQ(recorder.Executed, 0);
  a->OnClick = TNotifyEvent::Bind<&TActionRecorder::ItemClick>(&recorder);
  a->Click();
  EXPECT_EQ(recorder.ItemClicks, 1) << "a handler of the item's own still runs";
  form->SetDesigning(false);
  a->OnClick = action->OnExecute;
  a->Click();
  EXPECT_EQ(recorder.Executed, 1);
}

}  // namespace
