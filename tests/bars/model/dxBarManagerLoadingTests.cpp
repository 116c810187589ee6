// Loading the main window's bar definition, and writing a manager back.
#include "tests/bars/model/dxBarMainWindowDefinition.h"
#include "tests/bars/model/dxBarTestSupport.h"

#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ImgList.h"

#include <gtest/gtest.h>

namespace {

std::string Replaced(std::string AText, const std::string& AFrom, const std::string& ATo) {
  const size_t at = AText.find(AFrom);
  EXPECT_NE(at, std::string::npos) << AFrom;
  if (at != std::string::npos) AText.replace(at, AFrom.size(), ATo);
  return AText;
}

TEST(dxBarManagerLoading, MainWindowToolbarHasElevenLinksInLinkOrder) {
  TObjectPtr<TBarTestForm> form(ReadBarForm(kMainWindowBarsDefinition));
  TdxBarManager* manager = ManagerOf(form.get());
  ASSERT_NE(manager, nullptr);
  ASSERT_EQ(manager->Bars()->Count(), 1);
  TdxBar* bar = manager->Bars()->Items(0);
  EXPECT_EQ(bar->Name(), L"ExpMenu");
  EXPECT_EQ(bar->Owner(), form.get());
  TdxBarItemLinks* links = bar->ItemLinks();

  struct {
    const wchar_t* item;
    int itemIndex;
    bool beginGroup;
  } const expected[] = {
      {L"btnChangePwd", 0, false}, {L"btnChangeUser", 1, false}, {L"btnLogout", 2, false},
      {L"dxBarButton1", 6, false}, {L"dxBarButton7", 3, true},   {L"dxBarButton9", 4, false},
      {L"dxBarButton12", 5, false}, {L"btnConfig2", 7, false},   {L"btnPassword", 8, true},
      {L"btnHelp", 9, false},      {L"btnExit", 10, true},
  };
  ASSERT_EQ(links->Count(), 11);
  ASSERT_EQ(manager->ItemCount(), 11);
  for (int i = 0; i < 11; ++i) {
    SCOPED_TRACE(i);
    TdxBarItemLink* link = links->Items(i);
    ASSERT_NE(link->Item(), nullptr);
    EXPECT_EQ(link->Item()->Name(), expected[i].item);
    EXPECT_EQ(link->Item()->Index(), expected[i].itemIndex);
    EXPECT_EQ(manager->Items(expected[i].itemIndex), link->Item());
    EXPECT_EQ(link->BeginGroup(), expected[i].beginGroup);
    EXPECT_TRUE(link->Visible());
    EXPECT_EQ(link->VisibleIndex(), i);
    EXPECT_EQ(link->Item()->Owner(), form.get());
    EXPECT_EQ(link->Item()->Category(), 0);
    EXPECT_EQ(link->Item()->PaintStyle(), psCaptionGlyph);
  }
  auto* exit = dynamic_cast<TdxBarButton*>(manager->GetItemByName(L"btnExit"));
  ASSERT_NE(exit, nullptr);
  EXPECT_EQ(exit->Caption(), L"退出系统");
  EXPECT_EQ(exit->Hint(), L"退出系统");
  EXPECT_EQ(exit->ImageIndex(), 71);
  EXPECT_EQ(manager->GetItemByName(L"dxBarButton9")->Hint(), L"");
  EXPECT_EQ(manager->GetItemByName(L"dxBarButton1")->Caption(), L"生产用料统计");
}

TEST(dxBarManagerLoading, MainWindowManagerAndToolbarSettings) {
  TObjectPtr<TBarTestForm> form(ReadBarForm(kMainWindowBarsDefinition));
  TdxBarManager* manager = ManagerOf(form.get());
  ASSERT_NE(manager, nullptr);
  EXPECT_TRUE(manager->AlwaysSaveText());
  EXPECT_FALSE(manager->CanCustomize());
  EXPECT_EQ(manager->Style(), bmsUseLookAndFeel);
  EXPECT_TRUE(manager->UseSystemFont());
  EXPECT_EQ(manager->Images(), form->FindComponent(L"SmallImages"));
  ASSERT_EQ(manager->Categories()->Count(), 1);
  EXPECT_EQ(manager->Categories()->Get(0), L"Default");
  EXPECT_EQ(manager->Categories()->ItemsVisible(0), ivAlways);
  EXPECT_EQ(manager->DesignInfo(), (160 << 16) | 216);
  const struct {
    TdxBarDockingStyle side;
    int size;
  } docks[] = {{dsLeft, 0}, {dsTop, 27}, {dsRight, 0}, {dsBottom, 0}};
  for (const auto& dock : docks) EXPECT_EQ(manager->Bars()->DockControls(dock.side)->DockSize(), dock.size);

  TdxBar* bar = manager->Bars()->Items(0);
  EXPECT_EQ(bar->Caption(), L"EXPMenu");
  EXPECT_EQ(bar->DockingStyle(), dsTop);
  EXPECT_TRUE(bar->Visible());
  EXPECT_TRUE(bar->IsPredefined());
  EXPECT_TRUE(bar->OneOnRow());
  EXPECT_TRUE(bar->WholeRow());
  EXPECT_FALSE(bar->ShowMark());
  EXPECT_FALSE(bar->IsClosable());
  EXPECT_FALSE(bar->CanReset());
  EXPECT_FALSE(bar->AllowCustomizing());
  EXPECT_FALSE(bar->AllowQuickCustomizing());
  EXPECT_EQ(bar->Row(), 0);
  EXPECT_EQ(bar->FloatLeft(), 880);
  EXPECT_EQ(bar->FloatTop(), 8);
}

TEST(dxBarManagerLoading, ItemNamesResolveWithoutRegardToCaseAndUnknownNamesLeaveNoItem) {
  std::string text = Replaced(kMainWindowBarsDefinition, "ItemName = 'btnExit'", "ItemName = 'BTNEXIT'");
  text = Replaced(text, "ItemName = 'btnLogout'", "ItemName = 'noSuchItem'");
  TObjectPtr<TBarTestForm> form(ReadBarForm(text));
  TdxBarItemLinks* links = ManagerOf(form.get())->Bars()->Items(0)->ItemLinks();
  ASSERT_EQ(links->Count(), 11);
  EXPECT_EQ(links->Items(10)->Item(), form->FindComponent(L"btnExit"));
  TdxBarItemLink* orphan = links->Items(2);
  EXPECT_EQ(orphan->Item(), nullptr);
  EXPECT_EQ(orphan->AvailableIndex(), -1);
  EXPECT_EQ(orphan->VisibleIndex(), -1);
  EXPECT_EQ(links->VisibleItemCount(), 10);
}

TEST(dxBarManagerLoading, ExitButtonRunsTheFormsHandler) {
  TObjectPtr<TBarTestForm> form(ReadBarForm(kMainWindowBarsDefinition));
  TdxBarManager* manager = ManagerOf(form.get());
  manager->GetItemByName(L"btnHelp")->Click();
  EXPECT_EQ(form->ExitClicks, 0);
  manager->GetItemByName(L"btnExit")->Click();
  EXPECT_EQ(form->ExitClicks, 1);
}

// An item whose end of loading opens its manager's update bracket, as user
// code in a loaded handler may.
class TBracketOpeningButton : public TdxBarButton {
  DECLARE_CLASS(TBracketOpeningButton, TdxBarButton)
  explicit TBracketOpeningButton(TComponent* AOwner) : TdxBarButton(AOwner) {}
  void Loaded() override {
    TdxBarButton::Loaded();
    BarManager()->BeginUpdate();
  }
};
IMPLEMENT_CLASS(TBracketOpeningButton, TdxBarButton, (ConstructWith<TBracketOpeningButton, TComponent>))

TEST(dxBarManagerLoading, LoadInsideAnUpdateBracketFinishesWhenTheBracketCloses) {
  RegisterClass(TBracketOpeningButton::StaticClass());
  const std::string text = Replaced(kMainWindowBarsDefinition, "object btnHelp: TdxBarButton",
                                    "object btnHelp: TBracketOpeningButton");
  TObjectPtr<TBarTestForm> form(ReadBarForm(text));
  UnRegisterClass(TBracketOpeningButton::StaticClass());
  TdxBarManager* manager = ManagerOf(form.get());
  TdxBar* bar = manager->Bars()->Items(0);
  EXPECT_EQ(bar->ItemLinks()->Items(0)->Item(), nullptr);
  manager->EndUpdate();
  EXPECT_EQ(bar->ItemLinks()->Items(0)->Item(), form->FindComponent(L"btnChangePwd"));
  EXPECT_TRUE(bar->Visible());
  EXPECT_EQ(bar->DockingStyle(), dsTop);
}

TEST(dxBarManagerLoading, WrittenManagerReadsBack) {
  TObjectPtr<TBarTestForm> form(Make<TBarTestForm>(nullptr));
  form->SetName(L"Form1");
  auto* manager = Make<TdxBarManager>(form.get());
  manager->SetName(L"BarManager");
  manager->Categories()->Add(L"Files");
  TdxBar* bar1 = manager->AddToolBar();
  bar1->SetCaption(L"Main");
  bar1->SetDockingStyle(dsTop);
  bar1->SetVisible(true);
  TdxBar* bar2 = manager->AddToolBar();
  bar2->SetCaption(L"Tools");
  bar2->SetDockingStyle(dsLeft);
  TdxBarButton* open = manager->AddButton();
  open->SetName(L"btnOpen");
  open->SetCaption(L"&Open...");
  open->SetCategory(1);
  TdxBarButton* save = manager->AddButton();
  save->SetName(L"btnSave");
  save->SetCaption(L"Save");
  save->SetButtonStyle(bsChecked);
  save->SetImageIndex(3);
  bar1->ItemLinks()->Add(open);
  bar1->ItemLinks()->Add(save)->SetBeginGroup(true);
  bar2->ItemLinks()->Add(save);
  TdxBarGroup* group = manager->CreateGroup();
  group->SetName(L"grpFile");
  group->Add(open);
  group->Add(save);
  manager->Bars()->DockControls(dsTop)->SetDockSize(31);

  const String text = stdtest::WriteDefinition(form.get());
  TObjectPtr<TBarTestForm> copy(ReadBarForm(std::string(text.begin(), text.end())));
  TdxBarManager* read = ManagerOf(copy.get());
  ASSERT_NE(read, nullptr);
  ASSERT_EQ(read->Bars()->Count(), 2);
  EXPECT_EQ(read->Bars()->Items(0)->Name(), L"BarManagerBar1");
  EXPECT_EQ(read->Bars()->Items(0)->Caption(), L"Main");
  EXPECT_TRUE(read->Bars()->Items(0)->Visible());
  EXPECT_EQ(read->Bars()->Items(1)->Caption(), L"Tools");
  EXPECT_EQ(read->Bars()->Items(1)->DockingStyle(), dsLeft);
  EXPECT_FALSE(read->Bars()->Items(1)->Visible());
  EXPECT_EQ(read->Bars()->DockControls(dsTop)->DockSize(), 31);
  ASSERT_EQ(read->Categories()->Count(), 2);
  EXPECT_EQ(read->Categories()->Get(1), L"Files");
  ASSERT_EQ(read->ItemCount(), 2);
  // Items keep the manager's order (a category without items moves nothing).
  EXPECT_EQ(read->Items(0)->Name(), L"btnOpen");
  EXPECT_EQ(read->Items(1)->Name(), L"btnSave");
  EXPECT_EQ(read->Items(0)->Caption(), L"&Open...");
  EXPECT_EQ(read->Items(0)->Hint(), L"Open");
  EXPECT_EQ(read->Items(0)->Category(), 1);
  auto* readSave = dynamic_cast<TdxBarButton*>(read->Items(1));
  ASSERT_NE(readSave, nullptr);
  EXPECT_EQ(readSave->ButtonStyle(), bsChecked);
  EXPECT_EQ(readSave->ImageIndex(), 3);
  EXPECT_EQ(LinkNames(2, [&](int i) { return read->Bars()->Items(0)->ItemLinks()->Items(i); }),
            (std::vector<String>{L"btnOpen", L"btnSave"}));
  EXPECT_TRUE(read->Bars()->Items(0)->ItemLinks()->Items(1)->BeginGroup());
  EXPECT_EQ(readSave->LinkCount(), 2);
  ASSERT_EQ(read->GroupCount(), 1);
  EXPECT_EQ(read->Groups(0)->Name(), L"grpFile");
  ASSERT_EQ(read->Groups(0)->Count(), 2);
  EXPECT_EQ(read->Groups(0)->Items(0), read->Items(0));
  EXPECT_EQ(read->Groups(0)->Items(1), read->Items(1));
  // And the text written a second time is the same (the second form is
  // named apart from the first).
  const String again = stdtest::WriteDefinition(copy.get());
  EXPECT_EQ(again.substr(again.find(L'\n')), text.substr(text.find(L'\n')));
}


// A file name in the temporary folder, deleted when the test ends.
struct TTempFile {
  TTempFile() {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    Name = String(folder) + L"lanze-bar-layout-" + IntToStr(static_cast<int>(GetCurrentProcessId())) + L".ini";
    DeleteFileW(Name.c_str());
  }
  ~TTempFile() { DeleteFileW(Name.c_str()); }
  bool Exists() const { return GetFileAttributesW(Name.c_str()) != INVALID_FILE_ATTRIBUTES; }
  std::string Narrow() const { return std::string(Name.begin(), Name.end()); }
  String Name;
};

std::string StoredInIniFile(const std::string& AText, const TTempFile& AFile) {
  return Replaced(AText, "    CanCustomize = False\n",
                  "    CanCustomize = False\n    IniFileName = '" + AFile.Narrow() + "'\n    StoreInIniFile = True\n");
}

TEST(dxBarManagerLoading, StoredUserLayoutIsReadOverTheDesignedOne) {
  TTempFile file;
  {
    TObjectPtr<TBarTestForm> form(ReadBarForm(kMainWindowBarsDefinition));
    TdxBarManager* manager = ManagerOf(form.get());
    manager->Bars()->Items(0)->SetDockingStyle(dsLeft);
    manager->SaveToIniFile(file.Name);
  }
  TObjectPtr<TBarTestForm> form(ReadBarForm(StoredInIniFile(kMainWindowBarsDefinition, file)));
  TdxBarManager* manager = ManagerOf(form.get());
  EXPECT_EQ(manager->Bars()->Items(0)->DockingStyle(), dsLeft);
  // The designed layout stays what a reset goes back to.
  const String section = dxBarIniBaseSection(manager) + L"Bar0";
  EXPECT_EQ(manager->SavedState()->ReadInteger(section, L"DockingStyle", -1), dsTop);
}

TEST(dxBarManagerLoading, UnreadableUserLayoutLeavesTheDesignedOne) {
  TTempFile file;
  {
    TObjectPtr<TBarTestForm> form(ReadBarForm(kMainWindowBarsDefinition));
    TdxBarManager* manager = ManagerOf(form.get());
    manager->Bars()->Items(0)->SetDockingStyle(dsLeft);
    manager->SaveToIniFile(file.Name);
    // The toolbar's section cut away: the stored layout no longer reads whole.
    TObjectPtr<TMemIniFile> ini(Make<TMemIniFile>(file.Name));
    ini->EraseSection(dxBarIniBaseSection(manager) + L"Bar0");
    ini->UpdateFile();
  }
  TObjectPtr<TBarTestForm> form;
  EXPECT_EQ(RaisedMessage([&] { form.reset(ReadBarForm(StoredInIniFile(kMainWindowBarsDefinition, file))); }),
            L"<no error>");
  ASSERT_NE(form.get(), nullptr);
  EXPECT_EQ(ManagerOf(form.get())->Bars()->Items(0)->DockingStyle(), dsTop);
}

TEST(dxBarManagerLoading, CategoryItemVisibilityOfTheDefinitionReachesItsItems) {
  const std::string text =
      Replaced(kMainWindowBarsDefinition, "Categories.ItemsVisibles = (\n      2)", "Categories.ItemsVisibles = (\n      0)");
  TObjectPtr<TBarTestForm> form(ReadBarForm(text));
  TdxBarManager* manager = ManagerOf(form.get());
  EXPECT_EQ(manager->Categories()->ItemsVisible(0), ivNever);
  EXPECT_EQ(manager->GetItemByName(L"btnExit")->Visible(), ivNever);
  EXPECT_EQ(manager->Bars()->Items(0)->ItemLinks()->VisibleItemCount(), 0);
  // Written back as it was read.
  const String written = stdtest::WriteDefinition(form.get());
  EXPECT_NE(written.find(L"Categories.ItemsVisibles = (\r\n      0)"), String::npos);
}

TEST(dxBarManagerLoading, ToolbarsOfAnOldDefinitionAreRead) {
  std::string text = kMainWindowBarsDefinition;
  text = Replaced(text, "    DockControlHeights = (\n",
                  "    Bars = <\n"
                  "      item\n"
                  "        Caption = 'Old tools'\n"
                  "        DockingStyle = dsBottom\n"
                  "      end\n"
                  "      item\n"
                  "        Caption = 'Old menu'\n"
                  "      end>\n"
                  "    DockControlHeights = (\n");
  TObjectPtr<TBarTestForm> form(ReadBarForm(text));
  TdxBars* bars = ManagerOf(form.get())->Bars();
  // The child toolbar comes after the collection's two.
  ASSERT_EQ(bars->Count(), 3);
  EXPECT_EQ(bars->Items(0)->Caption(), L"Old tools");
  EXPECT_EQ(bars->Items(0)->DockingStyle(), dsBottom);
  EXPECT_EQ(bars->Items(1)->Caption(), L"Old menu");
  // Never written again.
  EXPECT_EQ(stdtest::WriteDefinition(form.get()).find(L"Bars = <"), String::npos);
}

TEST(dxBarManagerLoading, MalformedDockHeightsFailTheReadCleanly) {
  const std::string text = Replaced(kMainWindowBarsDefinition, "      27\n      0)", "      27)");
  EXPECT_NE(RaisedMessage([&] { TObject::Free(ReadBarForm(text)); }), L"<no error>");
}

}  // namespace
