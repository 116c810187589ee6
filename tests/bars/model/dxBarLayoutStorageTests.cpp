// The user's toolbar layout through INI files, streams and the registry:
// round trips, what a save may erase, and loads that are all or nothing.
#include "tests/bars/model/dxBarTestSupport.h"

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
             (link->UserDefine().Contains(udCaption) ? L"[" + link->UserCaption() + L"]" : String());
      }
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
  const String saved = State();
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
    ASSERT_NE(State(), saved) << s.store;
    s.load();
    EXPECT_EQ(State(), saved) << s.store;
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
