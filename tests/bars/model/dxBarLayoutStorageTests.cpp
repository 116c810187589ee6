// The user's toolbar layout through INI files, streams and the registry:
// round trips, what a save may erase, and loads that are all or nothing.
#include "tests/bars/model/dxBarTestSupport.h"

#include "bars/model/dxBarLayoutStorage.h"
#include "foundation/cxClasses.h"

#include "platform/core/IniFiles.h"
#include "platform/core/Registry.h"
#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Graphics.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class dxBarLayoutStorageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(Make<TBarTestForm>(nullptr));
    form->SetName(L"Form5");
    manager = Make<TdxBarManager>(form.get());
    manager->SetName(L"BarManager");
    for (const Char* name : {L"btnOpen", L"btnSave", L"btnCut"}) {
      TdxBarItem* item = manager->AddButton();
      item->SetName(name);
    }
    manager->GetItemByName(L"btnOpen")->SetCaption(L"打开(&O)");
    TdxBar* file = manager->AddToolBar();
    file->SetCaption(L"文件");
    file->ItemLinks()->Add(Item(L"btnOpen"));
    file->ItemLinks()->Add(Item(L"btnSave"))->SetBeginGroup(true);
    file->SetDockingStyle(dsTop);
    file->SetVisible(true);
    TdxBar* edit = manager->AddToolBar();
    edit->SetCaption(L"编辑");
    edit->ItemLinks()->Add(Item(L"btnCut"));
    edit->SetDockingStyle(dsNone);
    edit->SetFloatLeft(120);
    edit->SetFloatTop(80);
    edit->SetVisible(false);
    wchar_t dir[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    GetTempFileNameW(dir, L"lay", 0, path);
    fileName = path;
    GUID guid;
    CoCreateGuid(&guid);
    wchar_t text[64];
    StringFromGUID2(guid, text, 64);
    regPath = String(L"Software\\LanzeTest-") + text;
  }
  void TearDown() override {
    DeleteFileW(fileName.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, regPath.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, regPath.c_str());
  }
  TdxBarItem* Item(const String& AName) { return manager->GetItemByName(AName); }
  TdxBar* Bar(int AIndex) { return manager->Bars()->Items(AIndex); }
  std::vector<String> Links(int ABar) {
    TdxBarItemLinks* links = Bar(ABar)->ItemLinks();
    return LinkNames(links->Count(), [links](int i) { return links->Items(i); });
  }
  // Everything the layout holds, as one text to compare.
  String State() {
    String s;
    for (int i = 0; i < manager->Bars()->Count(); ++i) {
      TdxBar* bar = Bar(i);
      s += Format(L"%s ds=%d row=%d fl=%d ft=%d vis=%d:",
                  {bar->Caption(), int(bar->DockingStyle()), bar->Row(), bar->FloatLeft(), bar->FloatTop(),
                   int(bar->Visible())});
      for (int j = 0; j < bar->ItemLinks()->Count(); ++j) {
        TdxBarItemLink* link = bar->ItemLinks()->Items(j);
        s += L" " + link->Item()->Name() + (link->StoredBeginGroup() ? L"|" : L"") +
             (link->UserDefine().Contains(udCaption) ? L"[" + link->UserCaption() + L"]" : String()) +
             (link->Visible() ? String() : String(L"(hidden)"));
      }
      // The most-recently-used order with the use counts.
      s += L" recent:";
      for (TdxBarItemLink* link : bar->ItemLinks()->RecentItems())
        s += L" " + link->Item()->Name() + L"*" + IntToStr(link->UseCount());
      s += L";";
    }
    return s;
  }
  void Scramble() {
    Bar(0)->ItemLinks()->Clear();
    Bar(0)->SetCaption(L"changed");
    Bar(1)->SetDockingStyle(dsLeft);
    Bar(1)->SetVisible(true);
  }

  TObjectPtr<TBarTestForm> form;
  TdxBarManager* manager = nullptr;
  String fileName;
  String regPath;
};

TEST_F(dxBarLayoutStorageTest, RoundTripsThroughEveryStore) {
  TdxBarItemLink* renamed = Bar(1)->ItemLinks()->Items(0);
  renamed->SetUserCaption(L"剪切");
  renamed->SetUserDefine({udCaption});
  // A recent order unlike the link order, with use counts of their own.
  Bar(1)->ItemLinks()->Add(Item(L"btnOpen"));
  Bar(1)->ItemLinks()->Add(Item(L"btnSave"))->SetVisible(false);
  Bar(1)->ItemLinks()->Items(1)->BringToTopInRecentList(true);
  Bar(1)->ItemLinks()->Items(1)->BringToTopInRecentList(true);
  Bar(1)->ItemLinks()->Items(0)->SendToBottomInRecentList();
  manager->SetMenusShowRecentItemsFirst(false);
  manager->SetShowHint(false);
  const String saved = State();
  ASSERT_NE(saved.find(L"recent: btnOpen*22 btnSave*20 btnCut*20;"), String::npos) << saved;
  TObjectPtr<TMemoryStream> stream(Make<TMemoryStream>());
  const struct {
    const char* store;
    std::function<void()> save, load;
  } stores[] = {
      {"ini file", [&] { manager->SaveToIniFile(fileName); }, [&] { manager->LoadFromIniFile(fileName); }},
      {"stream", [&] { manager->SaveToStream(stream.get()); },
       [&] {
         stream->SetPosition(0);
         manager->LoadFromStream(stream.get());
       }},
      {"registry", [&] { manager->SaveToRegistry(regPath); }, [&] { manager->LoadFromRegistry(regPath); }},
  };
  for (const auto& s : stores) {
    s.save();
    Scramble();
    Bar(1)->ItemLinks()->Items(0)->BringToTopInRecentList(true);
    manager->SetMenusShowRecentItemsFirst(true);
    manager->SetShowHint(true);
    ASSERT_NE(State(), saved) << s.store;
    s.load();
    EXPECT_EQ(State(), saved) << s.store;
    EXPECT_FALSE(manager->MenusShowRecentItemsFirst()) << s.store;
    EXPECT_FALSE(manager->ShowHint()) << s.store;
  }
  // The text is UTF-8 on disk, so the captions survive any code page.
  TObjectPtr<TFileStream> file(Make<TFileStream>(fileName, fmOpenRead));
  std::string bytes(static_cast<size_t>(file->Size()), '\0');
  file->Read(bytes.data(), static_cast<int>(bytes.size()));
  EXPECT_NE(bytes.find("[Form5.BarManager.Bar0]"), std::string::npos);
  EXPECT_NE(bytes.find("Caption=\xE6\x96\x87\xE4\xBB\xB6"), std::string::npos);  // 文件
  EXPECT_NE(bytes.find("Version=50"), std::string::npos);
}

TEST_F(dxBarLayoutStorageTest, RegistrySaveKeepsTheCallersOtherDataUnderTheKey) {
  {
    TObjectPtr<TRegistryIniFile> reg(Make<TRegistryIniFile>(regPath));
    reg->WriteString(L"Settings", L"Theme", L"dark");
    reg->WriteString(String(), L"UserName", L"lan");
    reg->WriteInteger(L"Bar7", L"Stale", 1);  // an earlier save with more toolbars
  }
  manager->SaveToRegistry(regPath);
  manager->SaveToRegistry(regPath);
  TObjectPtr<TRegistryIniFile> reg(Make<TRegistryIniFile>(regPath));
  EXPECT_EQ(reg->ReadString(L"Settings", L"Theme", L""), L"dark");
  EXPECT_EQ(reg->ReadString(String(), L"UserName", L""), L"lan");
  EXPECT_FALSE(reg->SectionExists(L"Bar7"));
  EXPECT_EQ(reg->ReadInteger(String(), L"BarCount", -1), 2);
  EXPECT_EQ(reg->ReadString(L"Bar0\\ItemLink1", L"ItemName", L""), L"btnSave");
}

TEST_F(dxBarLayoutStorageTest, RegistryPathIsNormalisedAndEmptyPathDoesNothing) {
  EXPECT_EQ(dxBarNormalizeRegistryPath(L"Software\\X"), L"\\Software\\X\\");
  EXPECT_EQ(dxBarNormalizeRegistryPath(L"\\Software\\X\\"), L"\\Software\\X\\");
  EXPECT_EQ(dxBarNormalizeRegistryPath(L""), L"");
  manager->SaveToRegistry(L"");
  manager->LoadFromRegistry(L"");
  manager->SaveToIniFile(L"");
  manager->LoadFromIniFile(L"");
  SUCCEED();
}

TEST_F(dxBarLayoutStorageTest, IniSaveErasesOnlyThisManagersSections) {
  {
    TObjectPtr<TMemIniFile> ini(Make<TMemIniFile>(fileName));
    ini->WriteString(L"Form5.BarManager2.Main", L"BarCount", L"0");
    ini->WriteString(L"Form5.BarManager.Bar9", L"Caption", L"stale");
    ini->WriteString(L"Program", L"Last", L"x");
    ini->UpdateFile();
  }
  manager->SaveToIniFile(fileName);
  TObjectPtr<TMemIniFile> ini(Make<TMemIniFile>(fileName));
  EXPECT_TRUE(ini->SectionExists(L"Form5.BarManager2.Main"));
  EXPECT_TRUE(ini->SectionExists(L"Program"));
  EXPECT_FALSE(ini->SectionExists(L"Form5.BarManager.Bar9"));
  EXPECT_TRUE(ini->SectionExists(L"Form5.BarManager.Bar1.ItemLink0"));
}

// Each case spoils a saved layout in one way; the load must refuse it whole.
TEST_F(dxBarLayoutStorageTest, CorruptOrPartialLayoutLeavesTheCurrentOneUntouched) {
  const struct {
    const char* name;
    std::function<void(TMemIniFile*)> spoil;
    const Char* reason;
  } cases[] = {
      {"toolbar section missing", [](TMemIniFile* i) { i->WriteInteger(L"Form5.BarManager.Main", L"BarCount", 3); },
       L"Bar2] the toolbar section is missing"},
      {"link section missing",
       [](TMemIniFile* i) { i->EraseSection(L"Form5.BarManager.Bar0.ItemLink1"); },
       L"Bar0.ItemLink1] the link section is missing"},
      {"number garbled", [](TMemIniFile* i) { i->WriteString(L"Form5.BarManager.Bar1", L"DockingStyle", L"top"); },
       L"DockingStyle is not a number"},
      {"ordinal out of range",
       [](TMemIniFile* i) { i->WriteString(L"Form5.BarManager.Bar1", L"DockingStyle", L"9"); },
       L"DockingStyle is out of range"},
      {"set garbled", [](TMemIniFile* i) { i->WriteString(L"Form5.BarManager.Bar0.ItemLink0", L"UserDefine", L"zz"); },
       L"UserDefine is not a set"},
      {"options missing", [](TMemIniFile* i) { i->EraseSection(L"Form5.BarManager.Main"); },
       L"the manager options are missing"},
      {"options cut short", [](TMemIniFile* i) { i->DeleteKey(L"Form5.BarManager.Main", L"BarCount"); },
       L"the manager options are missing"},
      // Without these a toolbar would silently hide or lose its links, with
      // no way back for a user who may not customize.
      {"toolbar visibility missing", [](TMemIniFile* i) { i->DeleteKey(L"Form5.BarManager.Bar0", L"Visible"); },
       L"Bar0] Visible is missing"},
      {"toolbar link count missing",
       [](TMemIniFile* i) { i->DeleteKey(L"Form5.BarManager.Bar0", L"ItemLinkCount"); },
       L"Bar0] ItemLinkCount is missing"},
      {"link without its item name",
       [](TMemIniFile* i) { i->DeleteKey(L"Form5.BarManager.Bar0.ItemLink0", L"ItemName"); },
       L"ItemLink0] ItemName is missing"},
      {"recent position out of range",
       [](TMemIniFile* i) { i->WriteString(L"Form5.BarManager.Bar0.ItemLink0", L"RecentIndex", L"-7"); },
       L"RecentIndex is out of range"},
      {"link count beyond any layout",
       [](TMemIniFile* i) { i->WriteString(L"Form5.BarManager.Bar1", L"ItemLinkCount", L"2000000000"); },
       L"ItemLinkCount is out of range"},
  };
  for (const auto& c : cases) {
    manager->SaveToIniFile(fileName);
    {
      TObjectPtr<TMemIniFile> ini(Make<TMemIniFile>(fileName));
      c.spoil(ini.get());
      ini->UpdateFile();
    }
    Scramble();
    const String before = State();
    String message;
    try {
      manager->LoadFromIniFile(fileName);
    } catch (const EdxBarLayoutError& e) {
      message = e.Message;
    }
    EXPECT_NE(message.find(c.reason), String::npos) << c.name << ": " << message;
    EXPECT_EQ(State(), before) << c.name;
    TearDown();  // a fresh form and file for the next case
    SetUp();
  }
}

TEST_F(dxBarLayoutStorageTest, FileWithoutThisManagersLayoutChangesNothing) {
  const String before = State();
  manager->LoadFromIniFile(fileName);  // the empty temporary file
  EXPECT_EQ(State(), before);
}

TEST_F(dxBarLayoutStorageTest, UserDefineReadsHexPairsAndOldSingleDigits) {
  for (const Char* stored : {L"05", L"5"}) {
    manager->SaveToIniFile(fileName);
    {
      TObjectPtr<TMemIniFile> ini(Make<TMemIniFile>(fileName));
      ini->WriteString(L"Form5.BarManager.Bar0.ItemLink0", L"UserDefine", stored);
      ini->WriteString(L"Form5.BarManager.Bar0.ItemLink0", L"UserPaintStyle", L"1");
      ini->UpdateFile();
    }
    manager->LoadFromIniFile(fileName);
    TdxBarItemLink* link = Bar(0)->ItemLinks()->Items(0);
    EXPECT_TRUE(link->UserDefine() == (TdxBarUserDefines{udCaption, udPaintStyle})) << stored;
    EXPECT_EQ(link->UserPaintStyle(), psCaption) << stored;
  }
}

TEST_F(dxBarLayoutStorageTest, LinksOfItemsAddedAfterTheSaveStayWhereTheDesignPutThem) {
  manager->SaveToIniFile(fileName);
  // The program gained two commands: one designed first on the toolbar, one after btnOpen.
  TdxBarItem* print = manager->AddButton();
  print->SetName(L"btnPrint");
  TdxBarItem* help = manager->AddButton();
  help->SetName(L"btnHelp");
  Bar(0)->ItemLinks()->Insert(0)->SetItem(help);
  Bar(0)->ItemLinks()->Insert(2)->SetItem(print);
  ASSERT_EQ(Links(0), (std::vector<String>{L"btnHelp", L"btnOpen", L"btnPrint", L"btnSave"}));
  {
    // The user had swapped the two stored links.
    TObjectPtr<TMemIniFile> ini(Make<TMemIniFile>(fileName));
    ini->WriteString(L"Form5.BarManager.Bar0.ItemLink0", L"ItemName", L"btnSave");
    ini->WriteString(L"Form5.BarManager.Bar0.ItemLink1", L"ItemName", L"btnOpen");
    ini->UpdateFile();
  }
  manager->LoadFromIniFile(fileName);
  EXPECT_EQ(Links(0), (std::vector<String>{L"btnHelp", L"btnSave", L"btnOpen", L"btnPrint"}));
}

TEST_F(dxBarLayoutStorageTest, StoredLinkOfAVanishedItemIsDropped) {
  manager->SaveToIniFile(fileName);
  TObject::Free(Item(L"btnSave"));
  manager->LoadFromIniFile(fileName);
  EXPECT_EQ(Links(0), (std::vector<String>{L"btnOpen"}));
}

TEST_F(dxBarLayoutStorageTest, RecentItemOptionsAreStoredOnlyWhenMenusCanShowThem) {
  for (TdxBarManagerStyle style : {bmsEnhanced, bmsStandard}) {
    manager->SetStyle(style);
    manager->SaveToIniFile(fileName);
    TObjectPtr<TMemIniFile> ini(Make<TMemIniFile>(fileName));
    EXPECT_EQ(ini->ValueExists(L"Form5.BarManager.Main", L"MenusShowRecentItemsFirst"), style != bmsStandard);
  }
}

}  // namespace

namespace {

TEST_F(dxBarLayoutStorageTest, ToolbarMadeByMergingLeavesNoGapInTheNumbering) {
  TdxBar* merged = manager->Bars()->Insert(1);
  merged->SetCaption(L"merged");
  merged->SetCreatedByMerging(true);
  const String saved = State();
  manager->SaveToIniFile(fileName);
  Bar(2)->SetFloatLeft(999);
  manager->LoadFromIniFile(fileName);
  EXPECT_EQ(State(), saved);
  TObjectPtr<TMemIniFile> ini(Make<TMemIniFile>(fileName));
  EXPECT_EQ(ini->ReadInteger(L"Form5.BarManager.Main", L"BarCount", -1), 2);
  EXPECT_EQ(ini->ReadString(L"Form5.BarManager.Bar1", L"Caption", L""), L"编辑");
}

}  // namespace

namespace {

TEST_F(dxBarLayoutStorageTest, ToolbarResetAndUsageDataComeBackFromTheDesign) {
  manager->SaveDesignedState();
  const String designed = State();
  Bar(0)->ItemLinks()->Clear();
  Bar(0)->ItemLinks()->Add(Item(L"btnCut"));
  EXPECT_TRUE(manager->ResetToolBarToDesign(Bar(0)));
  EXPECT_EQ(State(), designed);
  Bar(0)->SetCaption(L"renamed");
  EXPECT_FALSE(manager->ResetToolBarToDesign(Bar(0)));
  Bar(0)->SetCaption(L"文件");
  Bar(0)->ItemLinks()->Items(1)->SetMostRecentlyUsed(false);
  manager->ResetUsageData();
  EXPECT_TRUE(Bar(0)->ItemLinks()->Items(1)->MostRecentlyUsed());
}

TEST_F(dxBarLayoutStorageTest, ClosingTheFormSavesTheLayoutWhenAsked) {
  manager->SetStoreInIniFile(true);
  manager->SetIniFileName(fileName);
  form->HandleNeeded();
  form.reset();
  TObjectPtr<TMemIniFile> ini(Make<TMemIniFile>(fileName));
  EXPECT_EQ(ini->ReadString(L"Form5.BarManager.Bar1", L"Caption", L""), L"编辑");
}

}  // namespace

namespace {

TEST_F(dxBarLayoutStorageTest, UserGlyphTravelsThroughTheRegistryOnly) {
  TdxBarItemLink* link = Bar(0)->ItemLinks()->Items(0);
  link->UserGlyph()->SetWidth(4);
  link->UserGlyph()->SetHeight(3);
  SetPixelV(link->UserGlyph()->Canvas()->Handle(), 1, 1, RGB(255, 0, 0));
  link->SetUserDefine({udGlyph});
  manager->SaveToRegistry(regPath);
  manager->SaveToIniFile(fileName);
  Bar(0)->ItemLinks()->Clear();
  manager->LoadFromRegistry(regPath);
  TBitmap* glyph = Bar(0)->ItemLinks()->Items(0)->UserGlyph();
  EXPECT_EQ(glyph->Width(), 4);
  EXPECT_EQ(GetPixel(glyph->Canvas()->Handle(), 1, 1), RGB(255, 0, 0));
  TObjectPtr<TMemIniFile> ini(Make<TMemIniFile>(fileName));
  EXPECT_FALSE(ini->ValueExists(L"Form5.BarManager.Bar0.ItemLink0", L"UserGlyph"));
}

}  // namespace

namespace {

// A file cut short anywhere inside a toolbar's part (a full disk, a crash
// while writing) leaves usable toolbars: either the load is refused whole and
// nothing changes, or what read is a layout the writer could have written.
TEST_F(dxBarLayoutStorageTest, LayoutFileCutInsideAToolbarLeavesUsableToolbars) {
  manager->SaveToIniFile(fileName);
  std::string bytes;
  {
    TObjectPtr<TFileStream> file(Make<TFileStream>(fileName, fmOpenRead));
    bytes.resize(static_cast<size_t>(file->Size()));
    file->Read(bytes.data(), static_cast<int>(bytes.size()));
  }
  const size_t from = bytes.find("[Form5.BarManager.Bar0]");
  ASSERT_NE(from, std::string::npos);
  int refused = 0, loaded = 0;
  for (size_t cut = from + 10; cut < bytes.size(); cut += 7) {
    {
      TObjectPtr<TFileStream> file(Make<TFileStream>(fileName, fmCreate));
      file->Write(bytes.data(), static_cast<int>(cut));
    }
    Scramble();
    const String before = State();
    const String message = RaisedMessage([&] { manager->LoadFromIniFile(fileName); });
    if (message != L"<no error>") {
      ++refused;
      EXPECT_NE(message.find(L"cannot be loaded"), String::npos) << cut << ": " << message;
      EXPECT_EQ(State(), before) << cut;
      continue;
    }
    // Only the last link's keys can be lost this way: the first toolbar is
    // whole, and the second holds its link or, with its item name cut
    // short, none.
    ++loaded;
    EXPECT_EQ(Bar(0)->Caption(), L"文件") << cut;
    EXPECT_EQ(Links(0), (std::vector<String>{L"btnOpen", L"btnSave"})) << cut;
    EXPECT_TRUE(Bar(0)->Visible()) << cut;
    EXPECT_EQ(Bar(0)->DockingStyle(), dsTop) << cut;
    EXPECT_FALSE(Bar(1)->Visible()) << cut;
    EXPECT_LE(Links(1).size(), 1u) << cut;
    for (int i = 0; i < Bar(1)->ItemLinks()->Count(); ++i) EXPECT_TRUE(Bar(1)->ItemLinks()->Items(i)->Visible()) << cut;
  }
  EXPECT_GT(refused, 0);
  EXPECT_GT(loaded, 0);
}

// A free-standing dock of the form, the kind a layout names by path. Its
// docking style can be made to fail once, as a dock refusing a toolbar does.
class TTestDockControl : public TComponent, public IdxBarDockControl {
  DECLARE_CLASS(TTestDockControl, TComponent)
  explicit TTestDockControl(TComponent* AOwner) : TComponent(AOwner) {}
  TObject* DockControlObject() override { return this; }
  TdxBarDockingStyle DockingStyle() override {
    if (FailNext) {
      FailNext = false;
      throw EdxException(L"refused");
    }
    return dsTop;
  }
  int DockSize() override { return 0; }
  void SetDockSize(int) override {}
  bool CanDockBar(TdxBar*) override { return true; }
  void UpdateDock() override {}
  bool CanReceiveFocus() override { return true; }
  bool DockingZoneContains(const TPoint&) override { return false; }
  bool DetachOnMissingReference() override { return true; }
  bool FailNext = false;
};

TEST_F(dxBarLayoutStorageTest, FreeStandingDocksAreStoredByPathAndFoundAgain) {
  auto* dock1 = Make<TTestDockControl>(form.get());
  dock1->SetName(L"Dock1");
  auto* panel = Make<TComponent>(form.get());
  panel->SetName(L"Panel1");
  auto* dock2 = Make<TTestDockControl>(panel);
  dock2->SetName(L"Dock2");
  auto* unnamed = Make<TTestDockControl>(form.get());
  for (IdxBarDockControl* d : std::initializer_list<IdxBarDockControl*>{dock1, dock2, unnamed})
    manager->RegisterDockControl(d);
  EXPECT_EQ(dxBarDockControlPath(manager, dock1), L"Dock1");
  EXPECT_EQ(dxBarDockControlPath(manager, dock2), L"Form5.Panel1.Dock2");
  EXPECT_EQ(dxBarDockControlPath(manager, unnamed), L"");
  EXPECT_EQ(dxBarFindDockControl(manager, L"Form5.Panel1.Dock2"), dock2);
  EXPECT_EQ(dxBarFindDockControl(manager, L"Panel1"), nullptr);  // no dock
  EXPECT_EQ(dxBarFindDockControl(manager, L"Form9.Dock1"), nullptr);

  Bar(0)->SetDockControl(dock1);
  Bar(0)->SetDockedDockControl(dock2);
  Bar(1)->SetDockControl(unnamed);
  manager->SaveToIniFile(fileName);
  {
    TObjectPtr<TMemIniFile> ini(Make<TMemIniFile>(fileName));
    EXPECT_EQ(ini->ReadString(L"Form5.BarManager.Bar0", L"DockControl", L""), L"Dock1");
    EXPECT_EQ(ini->ReadString(L"Form5.BarManager.Bar0", L"DockedDockControl", L""), L"Form5.Panel1.Dock2");
    EXPECT_FALSE(ini->ValueExists(L"Form5.BarManager.Bar1", L"DockControl"));
  }
  Bar(0)->SetDockControl(nullptr);
  Bar(0)->SetDockedDockControl(nullptr);
  manager->LoadFromIniFile(fileName);
  EXPECT_EQ(Bar(0)->DockControl(), dock1);
  EXPECT_EQ(Bar(0)->DockedDockControl(), dock2);
  EXPECT_TRUE(Bar(0)->Visible());
  // A dock the layout does not name lets its toolbar go.
  EXPECT_EQ(Bar(1)->DockControl(), nullptr);
  {
    TObjectPtr<TMemIniFile> ini(Make<TMemIniFile>(fileName));
    ini->WriteString(L"Form5.BarManager.Bar0", L"DockControl", L"GoneDock");
    ini->UpdateFile();
  }
  manager->LoadFromIniFile(fileName);
  EXPECT_EQ(Bar(0)->DockControl(), nullptr);

  // A dock freed without a word to the manager (and owned by a component
  // the manager does not hear of) leaves its list, and the toolbars forget it.
  Bar(0)->SetDockControl(dock2);
  const int docks = manager->DockControlCount();
  TObject::Free(dock2);
  EXPECT_EQ(manager->DockControlCount(), docks - 1);
  EXPECT_EQ(Bar(0)->DockControl(), nullptr);
  EXPECT_FALSE(Bar(0)->Visible());
}

TEST_F(dxBarLayoutStorageTest, ToolbarWhoseDockingFailsIsLeftVisible) {
  auto* dock = Make<TTestDockControl>(form.get());
  dock->SetName(L"Dock1");
  manager->RegisterDockControl(dock);
  Bar(1)->SetDockControl(dock);
  ASSERT_FALSE(Bar(1)->Visible());
  manager->SaveToIniFile(fileName);
  Bar(1)->SetDockControl(nullptr);
  dock->FailNext = true;
  manager->LoadFromIniFile(fileName);
  EXPECT_FALSE(dock->FailNext);
  EXPECT_TRUE(Bar(0)->Visible());
  EXPECT_TRUE(Bar(1)->Visible());  // stored hidden, but its docking failed half way
  EXPECT_EQ(Links(1), (std::vector<String>{L"btnCut"}));
}

// Records what the manager's read and write handlers receive and keeps a
// section of its own beside the layout.
struct TIniListener : TObject {
  void Written(TObject* Sender, const void* AArgs) {
    const auto& data = *static_cast<const TdxBarIniFileEventData*>(AArgs);
    Calls.push_back(L"write " + data.BaseSection + L" " + data.Delimiter);
    data.IniFile->WriteString(data.BaseSection + L"Extra", L"Theme", L"dark");
    EXPECT_TRUE(Sender == Manager);
  }
  void Read(TObject*, const void* AArgs) {
    const auto& data = *static_cast<const TdxBarIniFileEventData*>(AArgs);
    Calls.push_back(L"read " + data.IniFile->ReadString(data.BaseSection + L"Extra", L"Theme", L"") +
                    (data.StoringKind == skReg ? L" reg" : L" ini"));
  }
  TdxBarManager* Manager = nullptr;
  std::vector<String> Calls;
};

TEST_F(dxBarLayoutStorageTest, HandlersKeepTheirOwnSectionsBesideTheLayout) {
  TIniListener listener;
  listener.Manager = manager;
  manager->WriteIniFileHandlers()->Add(TcxEventHandler::Bind<&TIniListener::Written>(&listener));
  manager->ReadIniFileHandlers()->Add(TcxEventHandler::Bind<&TIniListener::Read>(&listener));
  manager->SaveToIniFile(fileName);
  manager->LoadFromIniFile(fileName);
  manager->SaveToRegistry(regPath);
  manager->LoadFromRegistry(regPath);
  const String regBase = dxBarNormalizeRegistryPath(regPath);
  EXPECT_EQ(listener.Calls, (std::vector<String>{L"write Form5.BarManager. .", L"read dark ini",
                                                 L"write " + regBase + L" \\", L"read dark reg"}));
}

// An item with links of its own, as a sub-menu item keeps them.
class TTestSubItem : public TdxBarItem, public IdxBarLinksOwner {
  DECLARE_CLASS(TTestSubItem, TdxBarItem)
  explicit TTestSubItem(TComponent* AOwner) : TdxBarItem(AOwner) {}
  ~TTestSubItem() override { TObject::Free(FLinks); }
  TdxBarItemLinks* ItemLinks() override {
    if (!FLinks && BarManager()) FLinks = Make<TdxBarSubMenuControlItemLinks>(BarManager(), this);
    return FLinks;
  }
  TdxBarItemLinks* GetItemLinks() override { return ItemLinks(); }
  IdxBarControl* CreateBarControl() override { return nullptr; }
  bool CanContainItem(TdxBarItem*, String&) override { return true; }
  TComponent* GetInstance() override { return this; }
  void SaveToIni(TCustomIniFile* AIni, const String& ABase, TdxBarStoringKind AKind) override {
    if (!Name().empty()) dxBarWriteItemLinks(ItemLinks(), AIni, dxBarSubItemSection(ABase, this), AKind);
  }
  void LoadFromIni(TCustomIniFile* AIni, const String& ABase, TdxBarStoringKind AKind) override {
    if (!Name().empty()) dxBarReadItemLinks(ItemLinks(), AIni, dxBarSubItemSection(ABase, this), AKind);
  }
  void ResetFromSavedState(TCustomIniFile* AState, const String& ABase) override {
    ++Resets;
    LoadFromIni(AState, ABase, skIni);
  }
  int Resets = 0;

 private:
  TdxBarItemLinks* FLinks = nullptr;
};

TEST_F(dxBarLayoutStorageTest, ItemsWithLinksOfTheirOwnStoreThemInTheirSection) {
  auto* menu = static_cast<TTestSubItem*>(manager->AddItem(TTestSubItem::StaticClass()));
  menu->SetName(L"mnuFile");
  menu->ItemLinks()->Add(Item(L"btnSave"));
  menu->ItemLinks()->Add(Item(L"btnOpen"));
  manager->SaveToIniFile(fileName);
  {
    TObjectPtr<TMemIniFile> ini(Make<TMemIniFile>(fileName));
    EXPECT_EQ(ini->ReadInteger(L"Form5.BarManager.SubItem_mnuFile", L"ItemLinkCount", -1), 2);
    EXPECT_EQ(ini->ReadString(L"Form5.BarManager.SubItem_mnuFile.ItemLink1", L"ItemName", L""), L"btnOpen");
  }
  menu->ItemLinks()->Clear();
  manager->LoadFromIniFile(fileName);
  TdxBarItemLinks* links = menu->ItemLinks();
  EXPECT_EQ(LinkNames(links->Count(), [links](int i) { return links->Items(i); }),
            (std::vector<String>{L"btnSave", L"btnOpen"}));
  // Damage in the item's section refuses the whole layout, toolbars included.
  {
    TObjectPtr<TMemIniFile> ini(Make<TMemIniFile>(fileName));
    ini->EraseSection(L"Form5.BarManager.SubItem_mnuFile.ItemLink1");
    ini->UpdateFile();
  }
  Scramble();
  const String before = State();
  EXPECT_NE(RaisedMessage([&] { manager->LoadFromIniFile(fileName); }).find(L"SubItem_mnuFile.ItemLink1]"),
            String::npos);
  EXPECT_EQ(State(), before);
}

TEST_F(dxBarLayoutStorageTest, ResetReadsTheDesignWithEventsAndFullResetOnRequest) {
  auto* menu = static_cast<TTestSubItem*>(manager->AddItem(TTestSubItem::StaticClass()));
  menu->SetName(L"mnuFile");
  menu->ItemLinks()->Add(Item(L"btnSave"));
  Bar(0)->ItemLinks()->Add(menu);
  manager->SaveDesignedState();
  struct TResetLog : TObject {
    void Before(TdxBarManager*, TdxBar* ABar) { Log.push_back(L"before " + ABar->Caption()); }
    void After(TdxBarManager*, TdxBar* ABar) { Log.push_back(L"after " + ABar->Caption()); }
    std::vector<String> Log;
  } log;
  manager->OnBarBeforeReset = TdxBarEvent::Bind<&TResetLog::Before>(&log);
  manager->OnBarAfterReset = TdxBarEvent::Bind<&TResetLog::After>(&log);
  Bar(0)->SetDockingStyle(dsLeft);
  Bar(0)->ItemLinks()->Items(0)->SetVisible(false);
  menu->ItemLinks()->Clear();
  EXPECT_TRUE(manager->ResetToolBarToDesign(Bar(0)));
  EXPECT_EQ(log.Log, (std::vector<String>{L"before 文件", L"after 文件"}));
  EXPECT_TRUE(Bar(0)->ItemLinks()->Items(0)->Visible());
  EXPECT_EQ(Bar(0)->DockingStyle(), dsLeft);  // links only
  EXPECT_EQ(menu->Resets, 1);
  EXPECT_EQ(menu->ItemLinks()->Count(), 1);
  manager->SetUseFullReset(true);
  manager->ResetToolBarToDesign(Bar(0));
  EXPECT_EQ(Bar(0)->DockingStyle(), dsTop);
  EXPECT_TRUE(Bar(0)->Visible());
}

// A toolbar merged into another when a layout is read is taken back from it:
// the other one must not keep links of a toolbar it no longer holds.
TEST_F(dxBarLayoutStorageTest, ReadingTakesAMergedToolbarBackFromItsTarget) {
  manager->SaveToIniFile(fileName);
  Bar(0)->Merge(Bar(1));
  ASSERT_EQ(Links(0), (std::vector<String>{L"btnOpen", L"btnSave", L"btnCut"}));
  manager->LoadFromIniFile(fileName);
  EXPECT_EQ(Bar(1)->MergedWith(), nullptr);
  EXPECT_EQ(Bar(0)->MergedBarCount(), 0);
  EXPECT_EQ(Links(0), (std::vector<String>{L"btnOpen", L"btnSave"}));
  EXPECT_FALSE(Bar(1)->Visible());
}

}  // namespace

IMPLEMENT_CLASS(TTestDockControl, TComponent, nullptr)
IMPLEMENT_CLASS(TTestSubItem, TdxBarItem, (ConstructWith<TTestSubItem, TComponent>))
