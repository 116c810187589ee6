// Stored data is the same bytes whichever target (32 or 64 bits) writes it,
// and each target reads what the other wrote. Each format writes a fixed
// sample with the library and compares it byte for byte with a golden file in
// tests/platform/core/samples/ (embedded by stored_samples.rc), then reads the
// golden file and checks every value. Both suites run these tests against the
// same golden files.
//
// To regenerate the golden files after a deliberate change of a format, run
//   LANZE_WRITE_SAMPLES='Z:\tmp\samples' <build>/wine-exec <build>/platform_core_tests.exe
//       --gtest_filter='StoredSamples*'
// (the folder as the test program sees it; it must exist), inspect the files
// with a hex dump for anything pointer-sized, padding or uninitialised, copy
// them into samples/ and rebuild. The registry sample is the exported
// key/value/type/bytes listing of the layout, not a registry file.
#include "platform/WinApi.h"
#include "platform/core/Components.h"
#include "platform/core/Filer.h"
#include "platform/core/IniFiles.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Registry.h"
#include "platform/core/StringLists.h"
#include "platform/core/SysUtils.h"
#include "platform/core/Streams.h"
#include "platform/core/Variants.h"

#include "tests/support/StoredSamples.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using storedsamples::BytesOfStream;
using storedsamples::CheckSample;

namespace storedsamples {

// ---------------------------------------------------------------------------
// The component sample: nested components with a property of every kind.
// Classes of its own, not the filer tests' alike ones: the golden bytes hold
// their names and properties, so a change to another test's fixture must not
// change them.
// ---------------------------------------------------------------------------

DECLARE_ENUM(TSampleShade, shRed, shGreen, shBlue, shYellow)
using TSampleShades = TSet<TSampleShade, 8>;

const TTypeInfo* SampleTintTypeInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t;
    t.Kind = tkInteger;
    t.Name = L"TSampleTint";
    return t;
  }();
  return &info;
}
constexpr TIdentMapEntry kSampleTints[] = {{0x0000FF, L"tnRed"}, {0xF0F0F0, L"tnFace"}};
bool SampleTintToInt(const String& ident, int& value) { return IdentToInt(ident, value, kSampleTints); }
bool IntToSampleTint(int value, String& ident) { return IntToIdent(value, ident, kSampleTints); }

class TSampleFont : public TPersistent {
  DECLARE_CLASS(TSampleFont, TPersistent)
  TSampleFont() = default;
  String Name = L"Tahoma";
  int Size = 8;
  TSampleShades Style;
};

class TSampleWidget;

class TSampleItem : public TCollectionItem {
  DECLARE_CLASS(TSampleItem, TCollectionItem)
  explicit TSampleItem(TCollection* collection) : TCollectionItem(collection) {}
  String Caption;
  int Width = 0;
  TSampleWidget* Link = nullptr;
};

class TSampleWidget : public TComponent {
  DECLARE_CLASS(TSampleWidget, TComponent)
  explicit TSampleWidget(TComponent* owner)
      : TComponent(owner),
        Font(Make<TSampleFont>()),
        Items(Make<TOwnedCollection>(this, TSampleItem::StaticClass())),
        Lines(Make<TStringList>()) {}
  ~TSampleWidget() override {
    SetParentWidget(nullptr);
    for (TSampleWidget* c : children) c->parent = nullptr;
    TObject::Free(Font);
    TObject::Free(Items);
    TObject::Free(Lines);
  }

  std::int8_t Small = 0;
  std::int16_t Medium = 0;
  int Number = 0;
  Int64 Big = 0;
  TSampleShade Shade = shRed;
  TSampleShades Shades;
  bool Enabled = true;
  float Ratio = 0;
  double Scale = 0;
  double Precise = 0;
  double Price = 0;
  TDateTime When = 0;
  int Tint = 0;
  String Caption;
  String Hint;
  String Note;
  TSampleWidget* Buddy = nullptr;
  TSampleFont* Font;
  TOwnedCollection* Items;
  TStringList* Lines;
  TBytes Data;
  Variant Extras;
  TNotifyEvent OnClick;

  TSampleWidget* parent = nullptr;
  std::vector<TSampleWidget*> children;

  TSampleFont* GetFont() const { return Font; }
  TOwnedCollection* GetItems() const { return Items; }
  TStringList* GetLines() const { return Lines; }
  TSampleItem* Item(int i) const { return static_cast<TSampleItem*>(Items->Items(i)); }
  void SetParentWidget(TSampleWidget* value) {
    if (parent == value) return;
    if (parent) std::erase(parent->children, this);
    parent = value;
    if (parent) parent->children.push_back(this);
  }
  void GetChildren(TGetChildProc proc, TComponent* root) override {
    for (TSampleWidget* c : children)
      if (c->Owner() == root) proc(c);
  }
  bool HasParent() override { return parent != nullptr; }
  TComponent* GetParentComponent() override { return parent; }
  void SetParentComponent(TComponent* value) override { SetParentWidget(dynamic_cast<TSampleWidget*>(value)); }

 protected:
  // Bytes and a list of variants: the stream's binary and list values.
  void DefineProperties(TFiler* filer) override {
    TComponent::DefineProperties(filer);
    filer->DefineBinaryProperty(
        L"Data",
        [this](TStream* s) {
          Data.resize(static_cast<size_t>(s->Size()));
          if (!Data.empty()) s->ReadBuffer(Data.data(), static_cast<int>(Data.size()));
        },
        [this](TStream* s) { s->WriteBuffer(Data.data(), static_cast<int>(Data.size())); }, !Data.empty());
    filer->DefineProperty(
        L"Extras", [this](TReader* r) { Extras = r->ReadVariant(); }, [this](TWriter* w) { w->WriteVariant(Extras); },
        !VarIsEmpty(Extras));
  }
};

class TSampleRoot : public TComponent {
  DECLARE_CLASS(TSampleRoot, TComponent)
  explicit TSampleRoot(TComponent* owner) : TComponent(owner) {}
  TSampleWidget* Panel = nullptr;
  void PanelClick(TObject*) {}
  void GetChildren(TGetChildProc proc, TComponent*) override {
    for (int i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->HasParent()) proc(Components(i));
  }
};

BEGIN_CLASS(TSampleFont, TPersistent, (ConstructPlain<TSampleFont>))
  b.Field(L"Name", &TSampleFont::Name).Stored = [](TObject* o) {
    return static_cast<TSampleFont*>(o)->Name != L"Tahoma";
  };
  DefaultValue(b.Field(L"Size", &TSampleFont::Size), 8);
  DefaultValue(b.Field(L"Style", &TSampleFont::Style), 0);
END_CLASS

BEGIN_CLASS(TSampleItem, TCollectionItem, (ConstructWith<TSampleItem, TCollection>))
  b.Field(L"Caption", &TSampleItem::Caption);
  DefaultValue(b.Field(L"Width", &TSampleItem::Width), 0);
  b.Field(L"Link", &TSampleItem::Link);
END_CLASS

BEGIN_CLASS(TSampleWidget, TComponent, (ConstructWith<TSampleWidget, TComponent>))
  DefaultValue(b.Field(L"Small", &TSampleWidget::Small), 0);
  DefaultValue(b.Field(L"Medium", &TSampleWidget::Medium), 0);
  b.Field(L"Number", &TSampleWidget::Number);
  DefaultValue(b.Field(L"Big", &TSampleWidget::Big), 0);
  DefaultValue(b.Field(L"Shade", &TSampleWidget::Shade), shRed);
  DefaultValue(b.Field(L"Shades", &TSampleWidget::Shades), 0);
  DefaultValue(b.Field(L"Enabled", &TSampleWidget::Enabled), 1);
  b.Field(L"Ratio", &TSampleWidget::Ratio);
  b.Field(L"Scale", &TSampleWidget::Scale);
  b.Field(L"Precise", &TSampleWidget::Precise, FloatTypeInfo(ftExtended));
  b.Field(L"Price", &TSampleWidget::Price, FloatTypeInfo(ftCurr));
  b.Field(L"When", &TSampleWidget::When, DateTimeTypeInfo());
  DefaultValue(b.Field(L"Tint", &TSampleWidget::Tint, SampleTintTypeInfo()), 0);
  b.Field(L"Caption", &TSampleWidget::Caption);
  b.Field(L"Hint", &TSampleWidget::Hint);
  b.Field(L"Note", &TSampleWidget::Note);
  b.Field(L"Buddy", &TSampleWidget::Buddy);
  b.Prop(L"Font", &TSampleWidget::GetFont, nullptr);
  b.Prop(L"Items", &TSampleWidget::GetItems, nullptr);
  b.Prop(L"Lines", &TSampleWidget::GetLines, nullptr);
  b.Field(L"OnClick", &TSampleWidget::OnClick);
END_CLASS

BEGIN_CLASS(TSampleRoot, TComponent, (ConstructWith<TSampleRoot, TComponent>))
  b.Field(L"Panel", &TSampleRoot::Panel);
  b.Method<&TSampleRoot::PanelClick>(L"PanelClick");
END_CLASS

// Longer than a short string can hold: stored as vaLString.
String LongNote() {
  String s;
  for (int i = 0; s.size() < 300; ++i) s += L"line " + std::to_wstring(i) + L"; ";
  return s;
}

const String kChinese = L"岚泽家具生产设计系统 \U00020BB7";   // one character outside the BMP too
const TBytes kData = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF, 0x54, 0x50, 0x46, 0x30};
constexpr Int64 kBig = -0x0123456789ABCDEFll;

Owned<TSampleRoot> MakeSampleRoot() {
  auto root = MakeOwned<TSampleRoot>(nullptr);
  root->SetName(L"Sample");
  root->SetTag(-7);
  auto* panel = Make<TSampleWidget>(root.get());
  panel->SetName(L"Panel");
  auto* button = Make<TSampleWidget>(root.get());
  button->SetName(L"Button");
  button->SetParentWidget(panel);
  auto* spare = Make<TSampleWidget>(root.get());
  spare->SetName(L"Spare");
  spare->SetDesignInfo((160 << 16) | 320);

  panel->Small = -5;
  panel->Medium = -1000;
  panel->Number = -100000;
  panel->Big = kBig;
  panel->Shade = shBlue;
  panel->Shades = {shRed, shYellow};
  panel->Enabled = false;
  panel->Ratio = -1.5f;
  panel->Scale = 0.1;
  panel->Precise = 1.0 / 3.0;
  panel->Price = -12.3456;
  panel->When = 45000.75;
  panel->Tint = 0xF0F0F0;
  panel->Caption = L"Panel";
  panel->Hint = kChinese;
  panel->Note = LongNote();
  panel->Buddy = button;
  panel->Font->Name = L"宋体";
  panel->Font->Size = -12;
  panel->Font->Style = {shGreen};
  auto* first = static_cast<TSampleItem*>(panel->Items->Add());
  first->Caption = L"第一项";
  first->Width = -1;
  first->Link = panel;
  static_cast<TSampleItem*>(panel->Items->Add())->Width = 300;
  panel->Lines->Add(L"a");
  panel->Lines->Add(L"第二行");
  panel->Data = kData;
  // (Not Null: its tag is the one that ends a list.)
  panel->Extras = VarArrayOf({Variant(kBig), Variant(Currency::FromRaw(-123456)),
                              VarArrayOf({Variant(false), Variant(-2.5)}), Variant(L"值"), Variant(true)});
  panel->OnClick = TNotifyEvent::Bind<&TSampleRoot::PanelClick>(root.get());
  button->Number = 2;
  button->Buddy = panel;
  spare->Number = 0;
  return root;
}

void ExpectSampleRoot(TComponent* component) {
  auto* root = dynamic_cast<TSampleRoot*>(component);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->Name(), L"Sample");
  EXPECT_EQ(root->Tag(), -7);
  ASSERT_EQ(root->ComponentCount(), 3);
  auto* panel = dynamic_cast<TSampleWidget*>(root->FindComponent(L"Panel"));
  auto* button = dynamic_cast<TSampleWidget*>(root->FindComponent(L"Button"));
  auto* spare = dynamic_cast<TSampleWidget*>(root->FindComponent(L"Spare"));
  ASSERT_TRUE(panel && button && spare);
  EXPECT_EQ(root->Panel, panel);
  EXPECT_EQ(button->parent, panel);
  EXPECT_EQ(spare->DesignInfo(), (160 << 16) | 320);

  EXPECT_EQ(panel->Small, -5);
  EXPECT_EQ(panel->Medium, -1000);
  EXPECT_EQ(panel->Number, -100000);
  EXPECT_EQ(panel->Big, kBig);
  EXPECT_EQ(panel->Shade, shBlue);
  EXPECT_TRUE(panel->Shades == TSampleShades({shRed, shYellow}));
  EXPECT_FALSE(panel->Enabled);
  EXPECT_EQ(panel->Ratio, -1.5f);
  EXPECT_EQ(panel->Scale, 0.1);
  EXPECT_EQ(panel->Precise, 1.0 / 3.0);
  EXPECT_EQ(panel->Price, -12.3456);
  EXPECT_EQ(panel->When, 45000.75);
  EXPECT_EQ(panel->Tint, 0xF0F0F0);
  EXPECT_EQ(panel->Caption, L"Panel");
  EXPECT_EQ(panel->Hint, kChinese);
  EXPECT_EQ(panel->Note, LongNote());
  EXPECT_EQ(panel->Buddy, button);
  EXPECT_EQ(panel->Font->Name, L"宋体");
  EXPECT_EQ(panel->Font->Size, -12);
  EXPECT_TRUE(panel->Font->Style == TSampleShades({shGreen}));
  ASSERT_EQ(panel->Items->Count(), 2);
  EXPECT_EQ(panel->Item(0)->Caption, L"第一项");
  EXPECT_EQ(panel->Item(0)->Width, -1);
  EXPECT_EQ(panel->Item(0)->Link, panel);
  EXPECT_EQ(panel->Item(1)->Width, 300);
  ASSERT_EQ(panel->Lines->Count(), 2);
  EXPECT_EQ(panel->Lines->Get(1), L"第二行");
  EXPECT_EQ(panel->Data, kData);
  ASSERT_TRUE(VarIsArray(panel->Extras));
  ASSERT_EQ(VarArrayHighBound(panel->Extras, 1), 4);
  EXPECT_EQ(VarArrayGet(panel->Extras, 0).AsInt64(), kBig);
  EXPECT_EQ(VarArrayGet(panel->Extras, 1).AsCurrency().Value, -123456);
  const Variant inner = VarArrayGet(panel->Extras, 2);
  ASSERT_TRUE(VarIsArray(inner));
  EXPECT_FALSE(VarArrayGet(inner, 0).AsBoolean());
  EXPECT_EQ(VarArrayGet(inner, 1).AsDouble(), -2.5);
  EXPECT_EQ(VarToStr(VarArrayGet(panel->Extras, 3)), L"值");
  EXPECT_TRUE(VarArrayGet(panel->Extras, 4).AsBoolean());
  EXPECT_TRUE(panel->OnClick.Assigned());
  EXPECT_EQ(button->Number, 2);
  EXPECT_EQ(button->Buddy, panel);
  EXPECT_EQ(spare->Number, 0);
}

// ---------------------------------------------------------------------------
// The INI sample
// ---------------------------------------------------------------------------

const TBytes kIniBlob = {0x00, 0x10, 0x7F, 0x80, 0xAB, 0xFF};

// The same calls for every INI class.
void WriteIniSample(TCustomIniFile* ini) {
  ini->WriteString(L"General", L"Caption", kChinese);
  ini->WriteInteger(L"General", L"Count", -42);
  ini->WriteInteger(L"General", L"Largest", 2147483647);
  ini->WriteBool(L"General", L"Enabled", true);
  ini->WriteFloat(L"General", L"Ratio", -2.5);
  ini->WriteString(L"General", L"Empty", String());
  TBytesStream blob(kIniBlob);
  ini->WriteBinaryStream(L"Data", L"Blob", &blob);
  ini->WriteInteger(L"主窗口", L"宽度", 1024);
  ini->WriteString(L"主窗口", L"标题", L"岚泽家具");
}

void ExpectIniSample(TCustomIniFile* ini) {
  TStringList sections;
  ini->ReadSections(&sections);
  ASSERT_EQ(sections.Count(), 3);
  EXPECT_EQ(sections.Get(2), L"主窗口");
  EXPECT_EQ(ini->ReadString(L"General", L"Caption", L"?"), kChinese);
  EXPECT_EQ(ini->ReadInteger(L"General", L"Count", 0), -42);
  EXPECT_EQ(ini->ReadInteger(L"General", L"Largest", 0), 2147483647);
  EXPECT_TRUE(ini->ReadBool(L"General", L"Enabled", false));
  EXPECT_EQ(ini->ReadFloat(L"General", L"Ratio", 0), -2.5);
  EXPECT_TRUE(ini->ValueExists(L"General", L"Empty"));
  EXPECT_EQ(ini->ReadString(L"General", L"Empty", L"?"), L"");
  TMemoryStream blob;
  EXPECT_EQ(ini->ReadBinaryStream(L"Data", L"Blob", &blob), static_cast<int>(kIniBlob.size()));
  EXPECT_EQ(BytesOfStream(&blob), kIniBlob);
  EXPECT_EQ(ini->ReadInteger(L"主窗口", L"宽度", 0), 1024);
  EXPECT_EQ(ini->ReadString(L"主窗口", L"标题", L"?"), L"岚泽家具");
}

String TempFileName(const String& stem) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return String(dir) + L"lanze-sample-" + std::to_wstring(GetCurrentProcessId()) + L"-" + stem;
}

TBytes FileBytes(const String& file) {
  TMemoryStream m;
  m.LoadFromFile(file);
  return BytesOfStream(&m);
}

void WriteFileBytes(const String& file, const TBytes& bytes) {
  TFileStream stream(file, fmCreate);
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
}

// ---------------------------------------------------------------------------
// The registry sample, exported as text
// ---------------------------------------------------------------------------

std::string Utf8(const String& s) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
  return out;
}

String FromUtf8(const std::string& s) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  String out(static_cast<size_t>(std::max(n, 0)), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
}

bool OrdinalLess(const String& a, const String& b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), FALSE) ==
         CSTR_LESS_THAN;
}

// The keys below `path` (itself first, "" for it), sorted, each as a line
// "[sub\key]" followed by its values, sorted by name, as lines
// "name"=type:hex bytes. UTF-8, lines ending in LF.
void ExportKey(HKEY root, const String& path, const String& relative, std::string& out) {
  HKEY key;
  ASSERT_EQ(RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS) << Utf8(path);
  DWORD subKeys = 0, maxSubKey = 0, values = 0, maxName = 0, maxData = 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr, &values, &maxName, &maxData,
                   nullptr, nullptr);
  struct Value {
    String Name;
    DWORD Type;
    TBytes Data;
  };
  std::vector<Value> list;
  for (DWORD i = 0; i < values; ++i) {
    String name(maxName + 1, L'\0');
    DWORD nameLen = maxName + 1, type = 0, size = maxData;
    TBytes data(maxData);
    ASSERT_EQ(RegEnumValueW(key, i, name.data(), &nameLen, nullptr, &type, data.data(), &size), ERROR_SUCCESS);
    name.resize(nameLen);
    data.resize(size);
    list.push_back({name, type, data});
  }
  std::vector<String> keys;
  for (DWORD i = 0; i < subKeys; ++i) {
    String name(maxSubKey + 1, L'\0');
    DWORD nameLen = maxSubKey + 1;
    ASSERT_EQ(RegEnumKeyExW(key, i, name.data(), &nameLen, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    name.resize(nameLen);
    keys.push_back(name);
  }
  RegCloseKey(key);
  std::sort(list.begin(), list.end(), [](const Value& a, const Value& b) { return OrdinalLess(a.Name, b.Name); });
  std::sort(keys.begin(), keys.end(), OrdinalLess);

  out += "[" + Utf8(relative) + "]\n";
  char cell[16];
  for (const Value& v : list) {
    std::snprintf(cell, sizeof cell, "%lu:", static_cast<unsigned long>(v.Type));
    out += "\"" + Utf8(v.Name) + "\"=" + cell;
    for (size_t i = 0; i < v.Data.size(); ++i) {
      std::snprintf(cell, sizeof cell, i ? " %02X" : "%02X", v.Data[i]);
      out += cell;
    }
    out += "\n";
  }
  for (const String& k : keys)
    ExportKey(root, path + L"\\" + k, relative.empty() ? k : relative + L"\\" + k, out);
}

// Writes an export made by ExportKey below `path`, value by value, past the
// classes under test.
void ImportKey(HKEY root, const String& path, const std::string& text) {
  HKEY key = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (line.empty()) continue;
    if (line.front() == '[') {
      if (key) RegCloseKey(key);
      const String relative = FromUtf8(line.substr(1, line.size() - 2));
      const String full = relative.empty() ? path : path + L"\\" + relative;
      ASSERT_EQ(RegCreateKeyExW(root, full.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                ERROR_SUCCESS);
      continue;
    }
    ASSERT_NE(key, nullptr) << line;
    const size_t close = line.find("\"=");
    const size_t colon = line.find(':', close);
    ASSERT_TRUE(line.front() == '"' && close != std::string::npos && colon != std::string::npos) << line;
    const String name = FromUtf8(line.substr(1, close - 1));
    const DWORD type = std::stoul(line.substr(close + 2, colon - close - 2));
    TBytes data;
    for (size_t i = colon + 1; i + 2 <= line.size(); i += 3)
      data.push_back(static_cast<Byte>(std::stoul(line.substr(i, 2), nullptr, 16)));
    ASSERT_EQ(RegSetValueExW(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
  }
  if (key) RegCloseKey(key);
}

const TBytes kRegBlob = {0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x01};

void WriteRegistrySample(const String& base) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(base, true));
  reg.WriteString(L"Caption", kChinese);
  reg.WriteString(L"Empty", String());
  reg.WriteExpandString(L"Path", L"%TEMP%\\岚泽");
  reg.WriteInteger(L"Count", -42);
  reg.WriteInteger(L"Largest", 2147483647);
  reg.WriteBool(L"Enabled", true);
  reg.WriteFloat(L"Ratio", -2.5);
  reg.WriteDateTime(L"When", 45000.75);
  reg.WriteBinaryData(L"Blob", kRegBlob.data(), static_cast<int>(kRegBlob.size()));
  ASSERT_TRUE(reg.OpenKey(L"窗口\\主窗口", true));
  reg.WriteInteger(L"宽度", 1024);
  reg.WriteString(L"标题", L"岚泽家具");
  reg.CloseKey();
  ASSERT_TRUE(reg.CreateKey(base + L"\\Empty"));

  // Sections of a registry INI file are keys, its values keep their types.
  TRegistryIniFile ini(base + L"\\Settings");
  ini.WriteInteger(L"Layout", L"Columns", -3);
  ini.WriteFloat(L"Layout", L"Zoom", 1.25);
  ini.WriteBool(L"Layout", L"Grid", false);
  ini.WriteString(L"Layout", L"Font", L"宋体");
  TBytesStream blob(kRegBlob);
  ini.WriteBinaryStream(L"Layout", L"Blob", &blob);
}

void ExpectRegistrySample(const String& base) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly(base));
  EXPECT_EQ(reg.ReadString(L"Caption"), kChinese);
  EXPECT_EQ(reg.GetDataType(L"Empty"), rdString);
  EXPECT_EQ(reg.ReadString(L"Empty"), L"");
  EXPECT_EQ(reg.GetDataType(L"Path"), rdExpandString);
  EXPECT_EQ(reg.ReadExpandString(L"Path"), L"%TEMP%\\岚泽");
  EXPECT_EQ(reg.ReadInteger(L"Count"), -42);
  EXPECT_EQ(reg.ReadInteger(L"Largest"), 2147483647);
  EXPECT_TRUE(reg.ReadBool(L"Enabled"));
  EXPECT_EQ(reg.ReadFloat(L"Ratio"), -2.5);
  EXPECT_EQ(reg.ReadDateTime(L"When"), 45000.75);
  TBytes blob(16);
  EXPECT_EQ(reg.ReadBinaryData(L"Blob", blob.data(), static_cast<int>(blob.size())), 6);
  blob.resize(6);
  EXPECT_EQ(blob, kRegBlob);
  // A path beginning with '\' starts at the root, not at the open key.
  EXPECT_TRUE(reg.KeyExists(L"\\" + base + L"\\Empty"));
  ASSERT_TRUE(reg.OpenKeyReadOnly(L"\\" + base + L"\\窗口\\主窗口"));
  EXPECT_EQ(reg.ReadInteger(L"宽度"), 1024);
  EXPECT_EQ(reg.ReadString(L"标题"), L"岚泽家具");
  reg.CloseKey();

  TRegistryIniFile ini(base + L"\\Settings");
  EXPECT_EQ(ini.ReadInteger(L"Layout", L"Columns", 0), -3);
  EXPECT_EQ(ini.ReadFloat(L"Layout", L"Zoom", 0), 1.25);
  EXPECT_FALSE(ini.ReadBool(L"Layout", L"Grid", true));
  EXPECT_EQ(ini.ReadString(L"Layout", L"Font", L"?"), L"宋体");
  TMemoryStream read;
  EXPECT_EQ(ini.ReadBinaryStream(L"Layout", L"Blob", &read), 6);
  EXPECT_EQ(BytesOfStream(&read), kRegBlob);
}

// A fresh key below HKCU\Software, erased when the object goes.
struct TestKey {
  TestKey() {
    GUID guid;
    CoCreateGuid(&guid);
    wchar_t text[64];
    StringFromGUID2(guid, text, 64);
    Path = String(L"Software\\LanzeSample-") + text;
  }
  ~TestKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, Path.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, Path.c_str());
  }
  String Path;
};

// ---------------------------------------------------------------------------
// The samples
// ---------------------------------------------------------------------------

struct Sample {
  const Char* File;
  // The sample data as the library writes it.
  std::function<TBytes()> Write;
  // Reads the golden bytes and checks the values.
  std::function<void(const TBytes&)> Read;
};

TBytes ComponentBinary() {
  auto root = MakeSampleRoot();
  TMemoryStream m;
  WriteComponentToStream(&m, root.get());
  return BytesOfStream(&m);
}

void ReadComponentBinary(const TBytes& bytes) {
  TBytesStream s(bytes);
  Owned<TComponent> read(ReadComponentFromStream(&s, nullptr));
  ExpectSampleRoot(read.get());
  EXPECT_EQ(s.Position(), s.Size());
}

const Sample kSamples[] = {
    {L"component.bin", ComponentBinary, ReadComponentBinary},
    {L"component.txt",
     [] {
       TBytesStream binary(ComponentBinary());
       TMemoryStream text;
       ObjectBinaryToText(&binary, &text);
       return BytesOfStream(&text);
     },
     [](const TBytes& bytes) {
       TBytesStream text(bytes);
       TMemoryStream binary;
       ObjectTextToBinary(&text, &binary);
       ReadComponentBinary(BytesOfStream(&binary));
     }},
    {L"settings.ini",
     [] {
       TMemIniFile ini{String()};
       WriteIniSample(&ini);
       TMemoryStream m;
       ini.SaveToStream(&m);
       return BytesOfStream(&m);
     },
     [](const TBytes& bytes) {
       TMemIniFile ini{String()};
       TBytesStream s(bytes);
       ini.LoadFromStream(&s);
       ExpectIniSample(&ini);
     }},
    // The file-backed INI writes every value through to disk: the same file.
    {L"settings.ini",
     [] {
       const String file = TempFileName(L"write.ini");
       DeleteFileW(file.c_str());
       TBytes bytes;
       {
         TIniFile ini(file);
         WriteIniSample(&ini);
       }
       bytes = FileBytes(file);
       DeleteFileW(file.c_str());
       return bytes;
     },
     [](const TBytes& bytes) {
       const String file = TempFileName(L"read.ini");
       WriteFileBytes(file, bytes);
       {
         TIniFile ini(file);
         ExpectIniSample(&ini);
       }
       DeleteFileW(file.c_str());
     }},
    {L"registry.txt",
     [] {
       TestKey key;
       WriteRegistrySample(key.Path);
       std::string text;
       ExportKey(HKEY_CURRENT_USER, key.Path, String(), text);
       return TBytes(text.begin(), text.end());
     },
     [](const TBytes& bytes) {
       TestKey key;
       ImportKey(HKEY_CURRENT_USER, key.Path, std::string(bytes.begin(), bytes.end()));
       ExpectRegistrySample(key.Path);
     }},
};

void PrintTo(const Sample& sample, std::ostream* os) { *os << storedsamples::AsciiName(sample.File); }

class Bytes : public testing::TestWithParam<Sample> {
 protected:
  static void SetUpTestSuite() {
    RegisterClasses({TSampleRoot::StaticClass(), TSampleWidget::StaticClass()});
    RegisterIntegerConsts(SampleTintTypeInfo(), &SampleTintToInt, &IntToSampleTint);
  }
  static void TearDownTestSuite() {
    UnregisterIntegerConsts(SampleTintTypeInfo());
    UnRegisterClasses({TSampleRoot::StaticClass(), TSampleWidget::StaticClass()});
  }
};

TEST_P(Bytes, WrittenAreTheGoldenFileAndItReadsBack) {
  const Sample& sample = GetParam();
  const TBytes golden = CheckSample(sample.File, sample.Write());
  sample.Read(golden);
}

std::string SampleName(const testing::TestParamInfo<Sample>& info) {
  return storedsamples::TestName(info.index, info.param.File);
}

INSTANTIATE_TEST_SUITE_P(StoredSamples, Bytes, testing::ValuesIn(kSamples), SampleName);

}  // namespace storedsamples
