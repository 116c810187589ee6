#include "bars/model/dxBarLayoutStorage.h"

#include "bars/model/dxBar.h"

#include "foundation/cxClasses.h"

#include "platform/core/IniFiles.h"
#include "platform/core/Registry.h"
#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"

#include <algorithm>
#include <climits>
#include <cwctype>
#include <memory>
#include <optional>
#include <set>

namespace {

constexpr int LayoutVersion = 50;
// No layout the program writes comes near these; a larger count is damage.
constexpr int MaxStoredBars = 10000;
constexpr int MaxStoredLinks = 100000;

// The keys of the manager options section: in the registry they share the
// base key with whatever else the caller keeps there, so an earlier save is
// erased key by key.
const Char* const OptionKeys[] = {L"Version",   L"MenusShowRecentItemsFirst", L"ShowFullMenusAfterDelay",
                                  L"LargeIcons", L"MenuAnimations",            L"ShowHint",
                                  L"ShowShortCutInHint", L"BarCount"};

String MainSection(const String& ABase, TdxBarStoringKind AKind) {
  return AKind == skReg ? ABase : ABase + L"Main";
}
String BarSection(const String& ABase, int AIndex) { return ABase + L"Bar" + IntToStr(AIndex); }
String LinkSection(const String& AOwnerSection, TdxBarStoringKind AKind, int AIndex) {
  return AOwnerSection + dxBarSectionDelimiter(AKind) + L"ItemLink" + IntToStr(AIndex);
}

// Whether a subkey name below the registry base is one the layout writes.
bool IsLayoutSubkey(const String& AName) {
  if (SameText(AName, L"Items")) return true;
  if (AName.size() > 8 && SameText(AName.substr(0, 8), L"SubItem_")) return true;
  if (AName.size() <= 3 || !SameText(AName.substr(0, 3), L"Bar")) return false;
  for (size_t i = 3; i < AName.size(); ++i)
    if (AName[i] < L'0' || AName[i] > L'9') return false;
  return true;
}

Byte SetByte(unsigned ABits) { return static_cast<Byte>(ABits & 0xFF); }

void WriteByte(TCustomIniFile* AIni, const String& ASection, const String& AKey, Byte AValue) {
  TObjectPtr<TMemoryStream> stream(Make<TMemoryStream>());
  stream->Write(&AValue, 1);
  stream->SetPosition(0);
  AIni->WriteBinaryStream(ASection, AKey, stream.get());
}

// The toolbars a layout holds: all but those made by merging, in toolbar order.
std::vector<TdxBar*> StoredBars(TdxBarManager* AManager) {
  std::vector<TdxBar*> result;
  for (int i = 0; i < AManager->Bars()->Count(); ++i)
    if (!AManager->Bars()->Items(i)->CreatedByMerging()) result.push_back(AManager->Bars()->Items(i));
  return result;
}

TComponent* DockComponent(IdxBarDockControl* ADock) {
  return ADock ? dynamic_cast<TComponent*>(ADock->DockControlObject()) : nullptr;
}

void CallHandlers(TdxBarManager* AManager, TcxEventHandlerCollection* AHandlers, TCustomIniFile* AIni,
                  const String& ABase, TdxBarStoringKind AKind) {
  TdxBarIniFileEventData data;
  data.IniFile = AIni;
  data.StoringKind = AKind;
  data.BaseSection = ABase;
  data.Delimiter = dxBarSectionDelimiter(AKind);
  AHandlers->CallEvents(AManager, &data);
}

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

void EraseEarlierLayout(TCustomIniFile* AIni, const String& ABase, TdxBarStoringKind AKind) {
  TObjectPtr<TStringList> sections(Make<TStringList>());
  AIni->ReadSections(sections.get());
  if (AKind == skIni) {
    for (int i = 0; i < sections->Count(); ++i) {
      const String name = sections->Get(i);
      if (name.size() >= ABase.size() && name.compare(0, ABase.size(), ABase) == 0) AIni->EraseSection(name);
    }
    return;
  }
  // The registry base is the caller's key: only the subkeys and values the
  // layout writes go, never the key itself with the caller's other data.
  for (int i = 0; i < sections->Count(); ++i)
    if (IsLayoutSubkey(sections->Get(i))) AIni->EraseSection(ABase + sections->Get(i));
  for (const Char* key : OptionKeys) AIni->DeleteKey(ABase, key);
}

void WriteLink(TdxBarItemLink* ALink, TCustomIniFile* AIni, const String& ASection, TdxBarStoringKind AKind,
               bool AOfToolbar, bool AWithUsage, bool AStateSaving) {
  AIni->WriteString(ASection, L"ItemName", ALink->Item()->Name());
  AIni->WriteBool(ASection, L"BeginGroup", ALink->StoredBeginGroup());
  const TdxBarUserDefines defines = ALink->UserDefine();
  WriteByte(AIni, ASection, L"UserDefine", SetByte(defines.ToBits()));
  if (defines.Contains(udCaption)) AIni->WriteString(ASection, L"UserCaption", ALink->UserCaption());
  if (defines.Contains(udPaintStyle)) AIni->WriteInteger(ASection, L"UserPaintStyle", ALink->UserPaintStyle());
  if (defines.Contains(udWidth)) AIni->WriteInteger(ASection, L"UserWidth", ALink->UserWidth());
  if (AKind == skReg && defines.Contains(udGlyph) && ALink->UserGlyph()) {
    TObjectPtr<TMemoryStream> stream(Make<TMemoryStream>());
    ALink->UserGlyph()->SaveToStream(stream.get());
    stream->SetPosition(0);
    AIni->WriteBinaryStream(ASection, L"UserGlyph", stream.get());
  }
  if (AOfToolbar) {
    AIni->WriteInteger(ASection, L"ButtonGroup", ALink->ButtonGroup());
    AIni->WriteInteger(ASection, L"Position", ALink->Position());
    WriteByte(AIni, ASection, L"ViewLevels", SetByte(ALink->ViewLevels().ToBits()));
    AIni->WriteBool(ASection, L"Visible", ALink->Visible());
  }
  if (AWithUsage) {
    AIni->WriteInteger(ASection, L"UseCount", ALink->UseCount());
    AIni->WriteInteger(ASection, L"RecentIndex", ALink->IndexInRecentList());
  }
  if (AStateSaving) AIni->WriteBool(ASection, L"MostRecentlyUsed", ALink->MostRecentlyUsed());
}

// Only links of named items are stored; they are numbered without gaps.
void WriteLinks(TdxBarItemLinks* ALinks, TCustomIniFile* AIni, const String& ASection, TdxBarStoringKind AKind,
                bool AOfToolbar) {
  TdxBarManager* manager = ALinks->BarManager();
  const bool withUsage = manager->CanShowRecentItems() && ALinks->UseRecentItems();
  const bool stateSaving = manager->InternalState().Contains(bisStateSaving);
  int count = 0;
  for (int i = 0; i < ALinks->Count(); ++i) {
    TdxBarItemLink* link = ALinks->Items(i);
    if (!link->Item() || link->Item()->Name().empty() || link->CreatedFromMergingWith()) continue;
    WriteLink(link, AIni, LinkSection(ASection, AKind, count), AKind, AOfToolbar, withUsage, stateSaving);
    ++count;
  }
  AIni->WriteInteger(ASection, L"ItemLinkCount", count);
}

void WriteBar(TdxBarManager* AManager, TdxBar* ABar, TCustomIniFile* AIni, const String& ASection,
              TdxBarStoringKind AKind) {
  AIni->WriteString(ASection, L"Caption", ABar->Caption());
  if (const String path = dxBarDockControlPath(AManager, ABar->DockControl()); !path.empty())
    AIni->WriteString(ASection, L"DockControl", path);
  if (const String path = dxBarDockControlPath(AManager, ABar->DockedDockControl()); !path.empty())
    AIni->WriteString(ASection, L"DockedDockControl", path);
  AIni->WriteInteger(ASection, L"DockedDockingStyle", ABar->DockedDockingStyle());
  AIni->WriteInteger(ASection, L"DockedLeft", ABar->DockedLeft());
  AIni->WriteInteger(ASection, L"DockedTop", ABar->DockedTop());
  AIni->WriteInteger(ASection, L"DockingStyle", ABar->DockingStyle());
  AIni->WriteInteger(ASection, L"FloatClientHeight", ABar->FloatClientHeight());
  AIni->WriteInteger(ASection, L"FloatClientWidth", ABar->FloatClientWidth());
  AIni->WriteInteger(ASection, L"FloatLeft", ABar->FloatLeft());
  AIni->WriteInteger(ASection, L"FloatTop", ABar->FloatTop());
  AIni->WriteBool(ASection, L"OneOnRow", ABar->OneOnRow());
  AIni->WriteInteger(ASection, L"Row", ABar->Row());
  AIni->WriteBool(ASection, L"Visible",
                  ABar->MergedWith() ? ABar->VisibleBeforeMerging()
                                     : ABar->Visible() || AManager->RestoreQueueIndexOf(ABar) >= 0);
  WriteLinks(ABar->ItemLinks(), AIni, ASection, AKind, true);
}

// ---------------------------------------------------------------------------
// Reading: everything is read and checked into these records first
// ---------------------------------------------------------------------------

struct TLinkData {
  String ItemName;
  TdxBarItem* Item = nullptr;
  bool BeginGroup = false;
  std::optional<TdxBarUserDefines> UserDefine;
  String UserCaption;
  int UserPaintStyle = 0;
  int UserWidth = 100;
  std::shared_ptr<TBytes> UserGlyph;
  int ButtonGroup = 0;
  int Position = 0;
  std::optional<TdxBarItemViewLevels> ViewLevels;
  bool Visible = true;
  std::optional<int> UseCount;
  int RecentIndex = -1;
};

struct TLinksData {
  std::vector<TLinkData> Links;
};

struct TBarData {
  std::optional<String> Caption;
  // A dock path that no longer resolves reads as none.
  IdxBarDockControl* DockControl = nullptr;
  IdxBarDockControl* DockedDockControl = nullptr;
  std::optional<int> DockedDockingStyle, DockedLeft, DockedTop, FloatLeft, FloatTop, FloatClientWidth,
      FloatClientHeight, DockingStyle, Row;
  std::optional<bool> OneOnRow;
  bool Visible = false;
  TLinksData Links;
};

struct TLayoutData {
  std::optional<bool> MenusShowRecentItemsFirst, ShowFullMenusAfterDelay, LargeIcons, ShowHint, ShowShortCutInHint;
  std::optional<int> MenuAnimations;
  bool HasItemList = false;
  std::set<String> SavedItemNames;
  std::vector<TBarData> Bars;
};

// How a stored item name finds its item: the manager's items, or, while a
// toolbar is reset from the designed snapshot, the components of the form.
using TItemLookup = TdxBarItem* (*)(TdxBarManager* AManager, const String& AName);

TdxBarItem* ManagerItemByName(TdxBarManager* AManager, const String& AName) { return AManager->GetItemByName(AName); }

TdxBarItem* FormItemByName(TdxBarManager* AManager, const String& AName) {
  TComponent* owner = AManager->Owner();
  auto* item = owner ? dynamic_cast<TdxBarItem*>(owner->FindComponent(AName)) : nullptr;
  return item && item->BarManager() == AManager ? item : nullptr;
}

class TLayoutReader {
 public:
  TLayoutReader(TdxBarManager* AManager, TCustomIniFile* AIni, const String& ABase, TdxBarStoringKind AKind,
                TItemLookup ALookup = &ManagerItemByName)
      : FManager(AManager), FIni(AIni), FBase(ABase), FKind(AKind), FLookup(ALookup) {}

  // False when the store holds no layout of the manager at all.
  bool Read(TLayoutData& AData);
  void ReadBar(const String& ASection, TBarData& ABar);
  void ReadLinks(const String& ASection, bool AOfToolbar, TLinksData& ALinks);

 private:
  [[noreturn]] void Fail(const String& ASection, const String& AReason) const {
    throw EdxBarLayoutError(L"The toolbar layout cannot be loaded: [" + ASection + L"] " + AReason);
  }
  std::optional<int> Int(const String& ASection, const String& AKey, int AMin, int AMax);
  std::optional<bool> Bool(const String& ASection, const String& AKey);
  std::optional<Byte> FirstByte(const String& ASection, const String& AKey);
  void RequireSection(const String& ASection, const String& AWhat);
  void RequireKey(const String& ASection, const String& AKey);
  IdxBarDockControl* Dock(const String& ASection, const String& AKey);

  TdxBarManager* FManager;
  TCustomIniFile* FIni;
  String FBase;
  TdxBarStoringKind FKind;
  TItemLookup FLookup;
};

std::optional<int> TLayoutReader::Int(const String& ASection, const String& AKey, int AMin, int AMax) {
  if (!FIni->ValueExists(ASection, AKey)) return std::nullopt;
  const String text = Trim(FIni->ReadString(ASection, AKey, String()));
  int value = 0;
  if (!TryStrToInt(text, value)) Fail(ASection, AKey + L" is not a number: \"" + text + L"\"");
  if (value < AMin || value > AMax) Fail(ASection, AKey + L" is out of range: " + text);
  return value;
}

std::optional<bool> TLayoutReader::Bool(const String& ASection, const String& AKey) {
  const std::optional<int> value = Int(ASection, AKey, INT_MIN, INT_MAX);
  if (!value) return std::nullopt;
  return *value != 0;
}

// A one-byte set: hexadecimal pairs (or, in INI text written by older
// versions, one decimal digit), binary data in the registry.
std::optional<Byte> TLayoutReader::FirstByte(const String& ASection, const String& AKey) {
  if (!FIni->ValueExists(ASection, AKey)) return std::nullopt;
  if (FKind == skIni) {
    const String text = Trim(FIni->ReadString(ASection, AKey, String()));
    if (text.size() == 1) {
      if (text[0] < L'0' || text[0] > L'9') Fail(ASection, AKey + L" is not a set: \"" + text + L"\"");
      return static_cast<Byte>(text[0] - L'0');
    }
    if (text.size() < 2 || text.size() % 2 != 0 || !std::all_of(text.begin(), text.end(), iswxdigit))
      Fail(ASection, AKey + L" is not a set: \"" + text + L"\"");
  }
  TObjectPtr<TMemoryStream> stream(Make<TMemoryStream>());
  if (FIni->ReadBinaryStream(ASection, AKey, stream.get()) < 1) Fail(ASection, AKey + L" is empty");
  return static_cast<const Byte*>(stream->Memory())[0];
}

void TLayoutReader::RequireSection(const String& ASection, const String& AWhat) {
  if (!FIni->SectionExists(ASection)) Fail(ASection, AWhat + L" is missing");
}

// The writer always writes these keys; a section without one was cut short.
void TLayoutReader::RequireKey(const String& ASection, const String& AKey) {
  if (!FIni->ValueExists(ASection, AKey)) Fail(ASection, AKey + L" is missing: the section is incomplete");
}

IdxBarDockControl* TLayoutReader::Dock(const String& ASection, const String& AKey) {
  return dxBarFindDockControl(FManager, FIni->ReadString(ASection, AKey, String()));
}

bool TLayoutReader::Read(TLayoutData& AData) {
  const String main = MainSection(FBase, FKind);
  const std::optional<int> barCount = Int(main, L"BarCount", 0, MaxStoredBars);
  if (!barCount) {
    // Parts of a layout without its count: a save that was cut short.
    if (FIni->ValueExists(main, L"Version") || FIni->SectionExists(BarSection(FBase, 0)) ||
        FIni->ValueExists(FBase + L"Items", L"ItemCount"))
      Fail(main, L"the manager options are missing");
    return false;
  }
  if (FManager->CanShowRecentItems()) {
    AData.MenusShowRecentItemsFirst = Bool(main, L"MenusShowRecentItemsFirst");
    AData.ShowFullMenusAfterDelay = Bool(main, L"ShowFullMenusAfterDelay");
  }
  AData.LargeIcons = Bool(main, L"LargeIcons");
  AData.MenuAnimations = Int(main, L"MenuAnimations", maNone, maFade);
  AData.ShowHint = Bool(main, L"ShowHint");
  AData.ShowShortCutInHint = Bool(main, L"ShowShortCutInHint");

  const String items = FBase + L"Items";
  const std::optional<int> itemCount = Int(items, L"ItemCount", -1, INT_MAX);
  AData.HasItemList = itemCount && *itemCount >= 0;
  if (AData.HasItemList) {
    for (int i = 0; i < FManager->ItemCount(); ++i) {
      const String& name = FManager->Items(i)->Name();
      if (!name.empty() && Bool(items, name).value_or(false)) AData.SavedItemNames.insert(name);
    }
  }
  AData.Bars.resize(*barCount);
  for (int i = 0; i < *barCount; ++i) {
    const String section = BarSection(FBase, i);
    RequireSection(section, L"the toolbar section");
    RequireKey(section, L"Visible");
    RequireKey(section, L"ItemLinkCount");
    ReadBar(section, AData.Bars[i]);
  }
  // The items' own sections are checked now too, so that the items' hooks
  // apply what already read.
  TLinksData unused;
  for (int i = 0; i < FManager->ItemCount(); ++i) {
    TdxBarItem* item = FManager->Items(i);
    if (item->ItemLinks() && !item->Name().empty()) ReadLinks(dxBarSubItemSection(FBase, item), false, unused);
  }
  return true;
}

void TLayoutReader::ReadBar(const String& ASection, TBarData& ABar) {
  ReadLinks(ASection, true, ABar.Links);
  if (FIni->ValueExists(ASection, L"Caption")) ABar.Caption = FIni->ReadString(ASection, L"Caption", String());
  ABar.DockedDockControl = Dock(ASection, L"DockedDockControl");
  ABar.DockedDockingStyle = Int(ASection, L"DockedDockingStyle", dsNone, dsBottom);
  ABar.DockedLeft = Int(ASection, L"DockedLeft", INT_MIN, INT_MAX);
  ABar.DockedTop = Int(ASection, L"DockedTop", INT_MIN, INT_MAX);
  ABar.OneOnRow = Bool(ASection, L"OneOnRow");
  ABar.FloatLeft = Int(ASection, L"FloatLeft", INT_MIN, INT_MAX);
  ABar.FloatTop = Int(ASection, L"FloatTop", INT_MIN, INT_MAX);
  ABar.FloatClientWidth = Int(ASection, L"FloatClientWidth", INT_MIN, INT_MAX);
  ABar.FloatClientHeight = Int(ASection, L"FloatClientHeight", INT_MIN, INT_MAX);
  ABar.DockControl = Dock(ASection, L"DockControl");
  ABar.DockingStyle = Int(ASection, L"DockingStyle", dsNone, dsBottom);
  ABar.Row = Int(ASection, L"Row", 0, INT_MAX);
  ABar.Visible = Bool(ASection, L"Visible").value_or(false);
}

void TLayoutReader::ReadLinks(const String& ASection, bool AOfToolbar, TLinksData& ALinks) {
  const int count = Int(ASection, L"ItemLinkCount", 0, MaxStoredLinks).value_or(0);
  const bool withUsage = FManager->CanShowRecentItems();
  for (int j = 0; j < count; ++j) {
    const String section = LinkSection(ASection, FKind, j);
    RequireSection(section, L"the link section");
    RequireKey(section, L"ItemName");
    TLinkData link;
    link.ItemName = FIni->ReadString(section, L"ItemName", String());
    if (!link.ItemName.empty()) {
      // A stored link whose item is gone is dropped.
      link.Item = FLookup(FManager, link.ItemName);
      if (!link.Item) continue;
      link.BeginGroup = Bool(section, L"BeginGroup").value_or(false);
      if (std::optional<Byte> bits = FirstByte(section, L"UserDefine"))
        link.UserDefine = TdxBarUserDefines::FromBits(*bits & 0x0F);
      const TdxBarUserDefines defines = link.UserDefine.value_or(TdxBarUserDefines());
      if (defines.Contains(udCaption)) link.UserCaption = FIni->ReadString(section, L"UserCaption", String());
      if (defines.Contains(udPaintStyle))
        link.UserPaintStyle = Int(section, L"UserPaintStyle", psStandard, psCaptionGlyph).value_or(0);
      if (defines.Contains(udWidth)) link.UserWidth = Int(section, L"UserWidth", 0, INT_MAX).value_or(100);
      if (FKind == skReg && defines.Contains(udGlyph) && FIni->ValueExists(section, L"UserGlyph")) {
        TObjectPtr<TMemoryStream> stream(Make<TMemoryStream>());
        FIni->ReadBinaryStream(section, L"UserGlyph", stream.get());
        stream->SetPosition(0);
        TObjectPtr<TBitmap> check(Make<TBitmap>());
        try {
          check->LoadFromStream(stream.get());
        } catch (const Exception& e) {
          Fail(section, L"UserGlyph is no picture: " + e.Message);
        }
        auto* data = static_cast<const Byte*>(stream->Memory());
        link.UserGlyph = std::make_shared<TBytes>(data, data + stream->Size());
      }
      if (AOfToolbar) {
        link.ButtonGroup = Int(section, L"ButtonGroup", bgpNone, bgpMember).value_or(0);
        link.Position = Int(section, L"Position", ipBeginsNewRow, ipContinuesRow).value_or(0);
        if (std::optional<Byte> bits = FirstByte(section, L"ViewLevels"))
          link.ViewLevels = TdxBarItemViewLevels::FromBits(*bits & 0x0F);
        link.Visible = Bool(section, L"Visible").value_or(true);
      }
      if (withUsage) {
        link.UseCount = Int(section, L"UseCount", 0, INT_MAX).value_or(0);
        link.RecentIndex = Int(section, L"RecentIndex", -1, MaxStoredLinks).value_or(-1);
      }
    }
    ALinks.Links.push_back(std::move(link));
  }
}

// ---------------------------------------------------------------------------
// Applying the checked layout
// ---------------------------------------------------------------------------

void ApplyLink(TdxBarItemLink* ALink, const TLinkData& AData, bool AWithUsage) {
  ALink->SetItem(AData.Item);
  if (!AData.Item) return;
  ALink->SetBeginGroup(AData.BeginGroup);
  if (AData.UserDefine) ALink->SetUserDefine(*AData.UserDefine);
  const TdxBarUserDefines defines = ALink->UserDefine();
  if (defines.Contains(udCaption)) ALink->SetUserCaption(AData.UserCaption);
  if (defines.Contains(udPaintStyle)) ALink->SetUserPaintStyle(static_cast<TdxBarPaintStyle>(AData.UserPaintStyle));
  if (defines.Contains(udWidth)) ALink->SetUserWidth(AData.UserWidth);
  if (AData.UserGlyph && ALink->UserGlyph()) {
    TObjectPtr<TMemoryStream> stream(Make<TMemoryStream>());
    stream->Write(AData.UserGlyph->data(), static_cast<int>(AData.UserGlyph->size()));
    stream->SetPosition(0);
    ALink->UserGlyph()->LoadFromStream(stream.get());
  }
  ALink->SetButtonGroup(static_cast<TdxBarButtonGroupPosition>(AData.ButtonGroup));
  ALink->SetPosition(static_cast<TdxBarItemPosition>(AData.Position));
  if (AData.ViewLevels) ALink->SetViewLevels(*AData.ViewLevels);
  const bool usage = AWithUsage && AData.UseCount;
  ALink->SetLoadedUsage(AData.Visible, usage ? *AData.UseCount : 0, usage ? AData.RecentIndex : -1);
}

bool IsNewItem(TStringList* ANewItems, TdxBarItem* AItem) {
  return AItem && ANewItems && ANewItems->IndexOf(AItem->Name()) >= 0;
}

// Links of items added to the program after the save stay where the design
// put them; everything else comes from the store.
void ApplyLinks(TdxBarItemLinks* ALinks, const TLinksData& AData) {
  TStringList* newItems = ALinks->BarManager()->NewItems();
  std::vector<TdxBarItemLink*> kept;
  const bool withUsage = ALinks->BarManager()->CanShowRecentItems() && ALinks->UseRecentItems();
  ALinks->BeginUpdate();
  TFinally applyUsage{[&] {
    ALinks->EndUpdate();
    // Also after a failure, so that every link shows as its loaded state says.
    ALinks->ApplyLoadedUsageState(true);
  }};
  if (newItems && newItems->Count() > 0) {
    for (int i = ALinks->Count() - 1; i >= 0; --i) {
      TdxBarItemLink* link = ALinks->Items(i);
      if (!IsNewItem(newItems, link->Item())) {
        TObject::Free(link);
        continue;
      }
      link->ClearCreatedFromMerging();
      // The predecessor as the design had it: it may be dropped itself later on.
      TdxBarItemLink* prev = i > 0 ? ALinks->Items(i - 1) : nullptr;
      link->SetPrevItemName(prev && prev->Item() ? prev->Item()->Name() : String());
      kept.insert(kept.begin(), link);
    }
  } else {
    ALinks->Clear();
  }
  for (int j = static_cast<int>(AData.Links.size()) - 1; j >= 0; --j)
    ApplyLink(ALinks->Insert(0), AData.Links[j], withUsage);
  for (TdxBarItemLink* link : kept) {
    if (link->PrevItemName().empty()) {
      ALinks->Move(ALinks->IndexOf(link), 0);
      continue;
    }
    for (int i = 0; i < ALinks->Count(); ++i) {
      TdxBarItem* item = ALinks->Items(i)->Item();
      if (item && item->Name() == link->PrevItemName() && ALinks->Items(i) != link) {
        const int from = ALinks->IndexOf(link);
        ALinks->Move(from, from < i ? i : i + 1);
        break;
      }
    }
  }
  ALinks->RebuildLists();
}

// The toolbar's links, and with AFull its docking state, geometry and visibility.
void ApplyBar(TdxBar* ABar, const TBarData& AData, bool AFull) {
  ApplyLinks(ABar->ItemLinks(), AData.Links);
  if (!AFull) return;
  try {
    // A toolbar merged into another is taken back first, so that both
    // sides of the merge agree about it.
    if (TdxBar* target = ABar->MergedWith()) target->Unmerge(ABar);
    ABar->SetVisible(false);
    ABar->SetDockRow(nullptr);
    if (AData.Caption) ABar->SetCaption(*AData.Caption);
    ABar->SetDockedDockControl(AData.DockedDockControl);
    if (AData.DockedDockingStyle) ABar->SetDockedDockingStyle(static_cast<TdxBarDockingStyle>(*AData.DockedDockingStyle));
    if (AData.DockedLeft) ABar->SetDockedLeft(*AData.DockedLeft);
    if (AData.DockedTop) ABar->SetDockedTop(*AData.DockedTop);
    if (AData.OneOnRow) ABar->SetOneOnRow(*AData.OneOnRow);
    if (AData.FloatLeft) ABar->SetFloatLeft(*AData.FloatLeft);
    if (AData.FloatTop) ABar->SetFloatTop(*AData.FloatTop);
    if (AData.FloatClientWidth) ABar->SetFloatClientWidth(*AData.FloatClientWidth);
    if (AData.FloatClientHeight) ABar->SetFloatClientHeight(*AData.FloatClientHeight);
    if (AData.DockControl)
      ABar->SetDockControl(AData.DockControl);
    else if (IdxBarDockControl* current = ABar->DockControl(); current && current->DetachOnMissingReference())
      ABar->SetDockControl(nullptr);
    if (AData.DockingStyle) ABar->SetDockingStyle(static_cast<TdxBarDockingStyle>(*AData.DockingStyle));
    if (AData.Row) ABar->SetRow(*AData.Row);
    ABar->SetVisible(AData.Visible);
  } catch (const Exception&) {
    // A docking state the dock refuses must not hide the toolbar for good.
    ABar->SetVisible(true);
  }
}

// The section of the designed toolbar with that caption, empty when none.
String DesignedBarSection(TdxBarManager* AManager, TdxBar* ABar) {
  TMemIniFile* state = AManager->SavedState();
  if (!state) return String();
  const String base = dxBarIniBaseSection(AManager);
  const int count = state->ReadInteger(MainSection(base, skIni), L"BarCount", 0);
  for (int i = 0; i < count; ++i)
    if (state->ReadString(BarSection(base, i), L"Caption", String()) == ABar->Caption()) return BarSection(base, i);
  return String();
}

}  // namespace

// ---------------------------------------------------------------------------
// Public routines
// ---------------------------------------------------------------------------

String dxBarIniBaseSection(TdxBarManager* AManager) {
  String result = AManager->Name() + L".";
  for (TComponent* owner = AManager->Owner(); owner && !owner->Name().empty(); owner = owner->Owner()) {
    result = owner->Name() + L"." + result;
    if (dynamic_cast<TCustomForm*>(owner)) break;
  }
  return result;
}

String dxBarNormalizeRegistryPath(const String& APath) {
  if (APath.empty()) return APath;
  String result = APath;
  if (result.front() != L'\\') result = L"\\" + result;
  if (result.back() != L'\\') result += L"\\";
  return result;
}

String dxBarSubItemSection(const String& ABase, TdxBarItem* AItem) { return ABase + L"SubItem_" + AItem->Name(); }

String dxBarDockControlPath(TdxBarManager* AManager, IdxBarDockControl* ADock) {
  TComponent* dock = DockComponent(ADock);
  if (!dock || dock->Name().empty()) return String();
  String path = dock->Name();
  if (dock->Owner() == AManager->Owner()) return path;
  for (TComponent* owner = dock->Owner(); owner && !owner->Name().empty(); owner = owner->Owner()) {
    path = owner->Name() + L"." + path;
    if (dynamic_cast<TCustomForm*>(owner)) break;
  }
  return path;
}

IdxBarDockControl* dxBarFindDockControl(TdxBarManager* AManager, const String& APath) {
  if (APath.empty()) return nullptr;
  TComponent* found = nullptr;
  const size_t dot = APath.find(L'.');
  if (dot == String::npos) {
    found = FindNestedComponent(AManager->Owner(), APath);
  } else if (TComponent* root = FindGlobalComponent(APath.substr(0, dot))) {
    found = FindNestedComponent(root, APath.substr(dot + 1));
  }
  if (!found) return nullptr;
  // Only a free-standing dock of this manager can take its toolbars.
  for (int i = 0; i < AManager->DockControlCount(); ++i) {
    IdxBarDockControl* dock = AManager->DockControlAt(i);
    if (DockComponent(dock) == found && !AManager->IsSideDock(dock)) return dock;
  }
  return nullptr;
}

void dxBarWriteItemLinks(TdxBarItemLinks* ALinks, TCustomIniFile* AIniFile, const String& ASection,
                         TdxBarStoringKind AKind) {
  WriteLinks(ALinks, AIniFile, ASection, AKind, false);
}

void dxBarReadItemLinks(TdxBarItemLinks* ALinks, TCustomIniFile* AIniFile, const String& ASection,
                        TdxBarStoringKind AKind) {
  if (!AIniFile->ValueExists(ASection, L"ItemLinkCount")) return;
  TLinksData data;
  TLayoutReader(ALinks->BarManager(), AIniFile, String(), AKind).ReadLinks(ASection, false, data);
  ApplyLinks(ALinks, data);
}

void dxBarReloadLinkSettings(TdxBarItemLinks* ALinks, TCustomIniFile* ASavedState, const String& ASection) {
  const int count = std::min(ASavedState->ReadInteger(ASection, L"ItemLinkCount", 0), ALinks->Count());
  for (int j = 0; j < count; ++j)
    ALinks->Items(j)->SetMostRecentlyUsed(
        ASavedState->ReadBool(LinkSection(ASection, skIni, j), L"MostRecentlyUsed", true));
}

void dxBarWriteLayout(TdxBarManager* AManager, TCustomIniFile* AIni, const String& ABase, TdxBarStoringKind AKind) {
  EraseEarlierLayout(AIni, ABase, AKind);
  const String main = MainSection(ABase, AKind);
  AIni->WriteInteger(main, L"Version", LayoutVersion);
  if (AManager->CanShowRecentItems()) {
    AIni->WriteBool(main, L"MenusShowRecentItemsFirst", AManager->MenusShowRecentItemsFirst());
    AIni->WriteBool(main, L"ShowFullMenusAfterDelay", AManager->ShowFullMenusAfterDelay());
  }
  AIni->WriteBool(main, L"LargeIcons", AManager->LargeIcons());
  AIni->WriteInteger(main, L"MenuAnimations", AManager->MenuAnimations());
  AIni->WriteBool(main, L"ShowHint", AManager->ShowHint());
  AIni->WriteBool(main, L"ShowShortCutInHint", AManager->ShowShortCutInHint());
  const std::vector<TdxBar*> bars = StoredBars(AManager);
  AIni->WriteInteger(main, L"BarCount", static_cast<int>(bars.size()));

  const String items = ABase + L"Items";
  AIni->WriteInteger(items, L"ItemCount", AManager->ItemCount());
  for (int i = 0; i < AManager->ItemCount(); ++i)
    if (!AManager->Items(i)->Name().empty()) AIni->WriteBool(items, AManager->Items(i)->Name(), true);

  // Sections are numbered by the rule the reader follows: 0 to BarCount - 1
  // over the stored toolbars, so a toolbar made by merging leaves no gap.
  for (int i = 0; i < static_cast<int>(bars.size()); ++i)
    WriteBar(AManager, bars[i], AIni, BarSection(ABase, i), AKind);
  for (int i = 0; i < AManager->ItemCount(); ++i) AManager->Items(i)->SaveToIni(AIni, ABase, AKind);
  CallHandlers(AManager, AManager->WriteIniFileHandlers(), AIni, ABase, AKind);
}

void dxBarReadLayout(TdxBarManager* AManager, TCustomIniFile* AIni, const String& ABase, TdxBarStoringKind AKind) {
  TLayoutData data;
  if (!TLayoutReader(AManager, AIni, ABase, AKind).Read(data)) return;

  TObjectPtr<TStringList> newItems;
  if (data.HasItemList) {
    newItems.reset(Make<TStringList>());
    for (int i = 0; i < AManager->ItemCount(); ++i)
      if (!data.SavedItemNames.count(AManager->Items(i)->Name())) newItems->Add(AManager->Items(i)->Name());
  }
  dxBarInManagerUpdate(AManager, [&] {
    if (data.MenusShowRecentItemsFirst) AManager->SetMenusShowRecentItemsFirst(*data.MenusShowRecentItemsFirst);
    if (data.ShowFullMenusAfterDelay) AManager->SetShowFullMenusAfterDelay(*data.ShowFullMenusAfterDelay);
    if (data.LargeIcons) AManager->SetLargeIcons(*data.LargeIcons);
    if (data.MenuAnimations) AManager->SetMenuAnimations(static_cast<TdxBarMenuAnimations>(*data.MenuAnimations));
    if (data.ShowHint) AManager->SetShowHint(*data.ShowHint);
    if (data.ShowShortCutInHint) AManager->SetShowShortCutInHint(*data.ShowShortCutInHint);
    AManager->FNewItems = newItems.get();
    TFinally forgetNewItems{[&] { AManager->FNewItems = nullptr; }};
    std::vector<TdxBar*> bars = StoredBars(AManager);
    for (int i = 0; i < static_cast<int>(data.Bars.size()); ++i) {
      if (static_cast<int>(bars.size()) < i + 1) bars.push_back(AManager->Bars()->Add());
      ApplyBar(bars[i], data.Bars[i], true);
    }
    for (int i = 0; i < AManager->ItemCount(); ++i) AManager->Items(i)->LoadFromIni(AIni, ABase, AKind);
  });
  CallHandlers(AManager, AManager->ReadIniFileHandlers(), AIni, ABase, AKind);
}

// ---------------------------------------------------------------------------
// The designed layout kept in memory
// ---------------------------------------------------------------------------

void TdxBarManager::SaveDesignedState() {
  if (!FSavedState) return;
  FSavedState->Clear();
  FInternalState += bisStateSaving;
  TFinally done{[this] { FInternalState -= bisStateSaving; }};
  dxBarWriteLayout(this, FSavedState, dxBarIniBaseSection(this), skIni);
}

bool TdxBarManager::ResetToolBarToDesign(TdxBar* ABar) {
  const String section = ABar ? DesignedBarSection(this, ABar) : String();
  if (section.empty()) return false;
  DoBarBeforeReset(ABar);
  const String base = dxBarIniBaseSection(this);
  TBarData data;
  TLayoutReader(this, FSavedState, base, skIni, &FormItemByName).ReadBar(section, data);
  dxBarInManagerUpdate(this, [&] {
    ApplyBar(ABar, data, FUseFullReset);
    dxBarReloadLinkSettings(ABar->ItemLinks(), FSavedState, section);
    std::vector<TdxBarItem*> items;
    for (int i = 0; i < ABar->ItemLinks()->Count(); ++i)
      if (TdxBarItem* item = ABar->ItemLinks()->Items(i)->Item()) items.push_back(item);
    for (TdxBarItem* item : items) item->ResetFromSavedState(FSavedState, base);
  });
  DoBarAfterReset(ABar);
  return true;
}

void TdxBarManager::ResetToolBar(TdxBar* ABar) {
  if (ABar) ABar->ResetWithConfirmation();
}

void TdxBarManager::ResetUsageData() {
  if (!FSavedState) return;
  dxBarInManagerUpdate(this, [this] {
    const String base = dxBarIniBaseSection(this);
    for (int i = 0; i < ItemCount(); ++i) Items(i)->ReloadLinkSettings(FSavedState, base);
    for (int i = 0; i < FBars->Count(); ++i) {
      TdxBar* bar = FBars->Items(i);
      const String section = DesignedBarSection(this, bar);
      if (section.empty()) continue;
      dxBarReloadLinkSettings(bar->ItemLinks(), FSavedState, section);
      bar->ItemLinks()->ApplyLoadedUsageState(false);
    }
  });
}

// ---------------------------------------------------------------------------
// The manager's operations
// ---------------------------------------------------------------------------

TcxEventHandlerCollection* TdxBarManager::ReadIniFileHandlers() const {
  if (!FReadIniFileHandlers) FReadIniFileHandlers.reset(Make<TcxEventHandlerCollection>());
  return FReadIniFileHandlers.get();
}

TcxEventHandlerCollection* TdxBarManager::WriteIniFileHandlers() const {
  if (!FWriteIniFileHandlers) FWriteIniFileHandlers.reset(Make<TcxEventHandlerCollection>());
  return FWriteIniFileHandlers.get();
}

// With a stream pending (SaveToStream), the text goes there instead of a file.
void TdxBarManager::SaveToIniFile(const String& AFileName) {
  if (AFileName.empty() && !FIniFileStream) return;
  TObjectPtr<TMemIniFile> ini(Make<TMemIniFile>(FIniFileStream ? String() : AFileName));
  dxBarWriteLayout(this, ini.get(), dxBarIniBaseSection(this), skIni);
  ini->SetEncoding(teUTF8);
  if (FIniFileStream)
    ini->SaveToStream(FIniFileStream);
  else
    ini->UpdateFile();
}

void TdxBarManager::LoadFromIniFile(const String& AFileName) {
  if (AFileName.empty() && !FIniFileStream) return;
  TObjectPtr<TMemIniFile> ini(Make<TMemIniFile>(FIniFileStream ? String() : AFileName));
  // The text's encoding is found from its bytes: UTF-8 as written, or the
  // ANSI text of an older writer.
  if (FIniFileStream) ini->LoadFromStream(FIniFileStream);
  dxBarReadLayout(this, ini.get(), dxBarIniBaseSection(this), skIni);
}

void TdxBarManager::SaveToStream(TStream* AStream) {
  FIniFileStream = AStream;
  TFinally done{[this] { FIniFileStream = nullptr; }};
  SaveToIniFile(String());
}

void TdxBarManager::LoadFromStream(TStream* AStream) {
  FIniFileStream = AStream;
  TFinally done{[this] { FIniFileStream = nullptr; }};
  LoadFromIniFile(String());
}

void TdxBarManager::SaveToRegistry(const String& ARegistryPath) {
  const String path = dxBarNormalizeRegistryPath(ARegistryPath);
  if (path.empty()) return;
  TObjectPtr<TRegistryIniFile> ini(Make<TRegistryIniFile>(path));
  dxBarWriteLayout(this, ini.get(), path, skReg);
}

void TdxBarManager::LoadFromRegistry(const String& ARegistryPath) {
  const String path = dxBarNormalizeRegistryPath(ARegistryPath);
  if (path.empty()) return;
  TObjectPtr<TRegistryIniFile> ini(Make<TRegistryIniFile>(path, KEY_READ));
  dxBarReadLayout(this, ini.get(), path, skReg);
}
