// The component stream: a small component hierarchy with every kind of
// property, written and read back; defaults and ancestors; inherited
// definitions from resources; errors and hostile streams.
#include "platform/WinApi.h"
#include "platform/core/Components.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/ObjectText.h"
#include "platform/core/StringLists.h"
#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"
#include "platform/core/Variants.h"
#include "tests/platform/core/StreamForms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace filertest {

// Live test components, to show that nothing a failed read made survives it.
int g_live = 0;
// The widgets alive, to catch a reference that outlived its component.
std::set<const void*> g_widgets;
// Names of the components in the order their Loaded ran.
std::vector<String> g_loaded;

bool SameName(const String& a, const String& b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

DECLARE_ENUM(TShade, shRed, shGreen, shBlue, shYellow)
using TShades = TSet<TShade, 8>;

// An integer type whose values have names, like colours.
const TTypeInfo* TintTypeInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t;
    t.Kind = tkInteger;
    t.Name = L"TTint";
    return t;
  }();
  return &info;
}
constexpr TIdentMapEntry kTints[] = {{0x0000FF, L"tnRed"}, {0xF0F0F0, L"tnFace"}};
bool TintToInt(const String& ident, int& value) { return IdentToInt(ident, value, kTints); }
bool IntToTint(int value, String& ident) { return IntToIdent(value, ident, kTints); }

class TTestFont : public TPersistent {
  DECLARE_CLASS(TTestFont, TPersistent)
  TTestFont() = default;
  String Name = L"Tahoma";
  int Size = 8;
  TShades Style;
};

class TTestWidget;

class TTestItem : public TCollectionItem {
  DECLARE_CLASS(TTestItem, TCollectionItem)
  explicit TTestItem(TCollection* collection) : TCollectionItem(collection) {}
  String Caption;
  int Width = 0;
  TTestWidget* Link = nullptr;
};

// A component with a property of every kind; widgets nest in each other's
// blocks like controls in a panel.
class TTestWidget : public TComponent {
  DECLARE_CLASS(TTestWidget, TComponent)
  explicit TTestWidget(TComponent* owner)
      : TComponent(owner),
        Font(Make<TTestFont>()),
        Items(Make<TOwnedCollection>(this, TTestItem::StaticClass())),
        Lines(Make<TStringList>()) {
    ++g_live;
    g_widgets.insert(this);
    loadingWhenCreated = ComponentState().Contains(csLoading);
  }
  ~TTestWidget() override {
    EXPECT_TRUE(!Buddy || g_widgets.count(Buddy)) << "Buddy outlived its component";
    g_widgets.erase(this);
    SetParentWidget(nullptr);
    for (TTestWidget* c : children) c->parent = nullptr;
    TObject::Free(Font);
    TObject::Free(Items);
    TObject::Free(Lines);
    --g_live;
  }

  std::int8_t Small = 0;
  std::int16_t Medium = 0;
  int Number = 0;
  Int64 Big = 0;
  TShade Shade = shRed;
  TShades Shades;
  bool Enabled = true;
  float Ratio = 0;
  double Scale = 0;
  double Precise = 0;
  double Price = 0;
  TDateTime When = 0;
  int Tint = 0;
  String Caption;
  String Hint;
  TTestWidget* Buddy = nullptr;
  TTestFont* Font;
  TOwnedCollection* Items;
  TStringList* Lines;
  std::vector<Byte> Data;
  TNotifyEvent OnClick;

  TTestWidget* parent = nullptr;
  std::vector<TTestWidget*> children;
  bool loadingWhenCreated = false;
  int loadedCount = 0;
  TTestWidget* buddyAtLoaded = nullptr;

  void SetBuddy(TTestWidget* value) {
    if (Buddy == value) return;
    if (Buddy) Buddy->RemoveFreeNotification(this);
    Buddy = value;
    if (Buddy) Buddy->FreeNotification(this);
  }
  void SetParentWidget(TTestWidget* value) {
    if (parent == value) return;
    if (parent) std::erase(parent->children, this);
    parent = value;
    if (parent) parent->children.push_back(this);
  }
  TTestFont* GetFont() const { return Font; }
  TOwnedCollection* GetItems() const { return Items; }
  TStringList* GetLines() const { return Lines; }
  TTestItem* Item(int i) const { return static_cast<TTestItem*>(Items->Items(i)); }

  void Loaded() override {
    TComponent::Loaded();
    ++loadedCount;
    buddyAtLoaded = Buddy;
    g_loaded.push_back(Name());
  }
  void Notification(TComponent* c, TOperation operation) override {
    TComponent::Notification(c, operation);
    if (operation == opRemove && c == Buddy) Buddy = nullptr;
  }
  void GetChildren(TGetChildProc proc, TComponent* root) override {
    for (TTestWidget* c : children)
      if (c->Owner() == root) proc(c);
  }
  bool HasParent() override { return parent != nullptr; }
  TComponent* GetParentComponent() override { return parent; }
  void SetParentComponent(TComponent* value) override { SetParentWidget(dynamic_cast<TTestWidget*>(value)); }
  void SetChildOrder(TComponent* child, int order) override {
    auto it = std::find(children.begin(), children.end(), child);
    if (it == children.end() || order < 0 || order >= static_cast<int>(children.size())) return;
    children.erase(it);
    children.insert(children.begin() + order, static_cast<TTestWidget*>(child));
  }

 protected:
  void DefineProperties(TFiler* filer) override {
    TComponent::DefineProperties(filer);
    bool hasData = !Data.empty();
    if (auto* a = dynamic_cast<TTestWidget*>(filer->Ancestor())) hasData = a->Data != Data;
    filer->DefineBinaryProperty(
        L"Data",
        [this](TStream* s) {
          Data.resize(static_cast<size_t>(s->Size()));
          if (!Data.empty()) s->ReadBuffer(Data.data(), static_cast<int>(Data.size()));
        },
        [this](TStream* s) {
          if (!Data.empty()) s->WriteBuffer(Data.data(), static_cast<int>(Data.size()));
        },
        hasData);
  }
};

// A form-like root: its direct children are the owned components without a parent.
class TTestRoot : public TComponent {
  DECLARE_CLASS(TTestRoot, TComponent)
  explicit TTestRoot(TComponent* owner) : TComponent(owner) { ++g_live; }
  ~TTestRoot() override { --g_live; }
  TTestWidget* Widget1 = nullptr;
  int clicks = 0;
  int loadedCount = 0;
  void WidgetClick(TObject*) { ++clicks; }
  void WrongShape(int) {}
  void Loaded() override {
    TComponent::Loaded();
    ++loadedCount;
    g_loaded.push_back(Name());
  }
  void GetChildren(TGetChildProc proc, TComponent*) override {
    for (int i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->HasParent()) proc(Components(i));
  }
  void SetChildOrder(TComponent* child, int order) override { child->SetComponentIndex(order); }
};

class TFilerBaseRoot : public TTestRoot {
  DECLARE_CLASS(TFilerBaseRoot, TTestRoot)
  explicit TFilerBaseRoot(TComponent* owner) : TTestRoot(owner) {}
};

class TFilerDerivedRoot : public TFilerBaseRoot {
  DECLARE_CLASS(TFilerDerivedRoot, TFilerBaseRoot)
  explicit TFilerDerivedRoot(TComponent* owner) : TFilerBaseRoot(owner) {}
};

BEGIN_CLASS(TTestFont, TPersistent, (ConstructPlain<TTestFont>))
  b.Field(L"Name", &TTestFont::Name).Stored = [](TObject* o) { return static_cast<TTestFont*>(o)->Name != L"Tahoma"; };
  DefaultValue(b.Field(L"Size", &TTestFont::Size), 8);
  DefaultValue(b.Field(L"Style", &TTestFont::Style), 0);
END_CLASS

BEGIN_CLASS(TTestItem, TCollectionItem, (ConstructWith<TTestItem, TCollection>))
  b.Field(L"Caption", &TTestItem::Caption);
  DefaultValue(b.Field(L"Width", &TTestItem::Width), 0);
  b.Field(L"Link", &TTestItem::Link);
END_CLASS

BEGIN_CLASS(TTestWidget, TComponent, (ConstructWith<TTestWidget, TComponent>))
  DefaultValue(b.Field(L"Small", &TTestWidget::Small), 0);
  DefaultValue(b.Field(L"Medium", &TTestWidget::Medium), 0);
  b.Field(L"Number", &TTestWidget::Number);  // no default: always stored
  DefaultValue(b.Field(L"Big", &TTestWidget::Big), 0);
  DefaultValue(b.Field(L"Shade", &TTestWidget::Shade), shRed);
  DefaultValue(b.Field(L"Shades", &TTestWidget::Shades), 0);
  DefaultValue(b.Field(L"Enabled", &TTestWidget::Enabled), 1);
  b.Field(L"Ratio", &TTestWidget::Ratio);
  b.Field(L"Scale", &TTestWidget::Scale);
  b.Field(L"Precise", &TTestWidget::Precise, FloatTypeInfo(ftExtended));
  b.Field(L"Price", &TTestWidget::Price, FloatTypeInfo(ftCurr));
  b.Field(L"When", &TTestWidget::When, DateTimeTypeInfo());
  DefaultValue(b.Field(L"Tint", &TTestWidget::Tint, TintTypeInfo()), 0);
  b.Field(L"Caption", &TTestWidget::Caption);
  b.Field(L"Hint", &TTestWidget::Hint);
  b.Prop(L"Buddy", [](TTestWidget* w) { return w->Buddy; }, &TTestWidget::SetBuddy);
  b.Prop(L"Font", &TTestWidget::GetFont, nullptr);
  b.Prop(L"Items", &TTestWidget::GetItems, nullptr);
  b.Prop(L"Lines", &TTestWidget::GetLines, nullptr);
  b.Field(L"OnClick", &TTestWidget::OnClick);
END_CLASS

BEGIN_CLASS(TTestRoot, TComponent, (ConstructWith<TTestRoot, TComponent>))
  b.Field(L"Widget1", &TTestRoot::Widget1);
  b.Method<&TTestRoot::WidgetClick>(L"WidgetClick");
  b.Method<&TTestRoot::WrongShape>(L"WrongShape");
END_CLASS

IMPLEMENT_CLASS(TFilerBaseRoot, TTestRoot, (ConstructWith<TFilerBaseRoot, TComponent>))
IMPLEMENT_CLASS(TFilerDerivedRoot, TFilerBaseRoot, (ConstructWith<TFilerDerivedRoot, TComponent>))

void RegisterTestClasses() {
  RegisterClasses({TTestRoot::StaticClass(), TTestWidget::StaticClass(), TFilerBaseRoot::StaticClass(),
                   TFilerDerivedRoot::StaticClass()});
  RegisterIntegerConsts(TintTypeInfo(), &TintToInt, &IntToTint);
}

int LiveComponents() { return g_live; }

// Roots other streams refer to by name ("Other.Remote").
std::vector<TComponent*> g_globals;
TComponent* FindTestGlobal(const String& name) {
  for (TComponent* c : g_globals)
    if (SameName(c->Name(), name)) return c;
  return nullptr;
}

struct Freer {
  void operator()(TObject* o) const { TObject::Free(o); }
};
template <class T>
using Owned = std::unique_ptr<T, Freer>;

using streamforms::Bin;
using streamforms::Bytes;
using streamforms::Save;
using streamforms::StreamBytes;
using streamforms::Text;

TComponent* Load(const Bytes& bin, TComponent* root = nullptr) {
  TBytesStream s(bin);
  return ReadComponentFromStream(&s, root);
}

// Streams of every shape the hierarchy has, for the mutation test.
std::vector<Bytes> SampleStreams() {
  return {
      Bin("object Root: TTestRoot\n"
          "  object Widget1: TTestWidget\n"
          "    Small = -5\n    Medium = 1000\n    Number = 100000\n    Big = 1099511627776\n"
          "    Shade = shBlue\n    Shades = [shRed, shYellow]\n    Enabled = False\n"
          "    Ratio = 1.5s\n    Scale = 2.25f\n    Precise = 3.125\n    Price = 12.3456c\n    When = 45000.5d\n"
          "    Tint = tnFace\n    Caption = 'Hello'\n    Hint = '岚泽家具'\n    Buddy = Widget2\n"
          "    Font.Name = '宋体'\n    Font.Size = 12\n"
          "    Items = <\n      item\n        Caption = 'one'\n        Link = Widget1\n      end\n"
          "      item [4]\n        Width = 20\n      end>\n"
          "    Lines.Strings = (\n      'a'\n      '第二行')\n"
          "    Data = {0102030400FF}\n    OnClick = WidgetClick\n"
          "    object Widget2: TTestWidget\n      Number = 2\n      Buddy = Widget1\n    end\n"
          "  end\n"
          "  object Widget3: TTestWidget\n    Number = 3\n  end\n"
          "end\n"),
      Bin("object Root: TTestRoot\n"
          "  inline Widget4: TTestWidget\n    Number = 4\n  end\n"
          "  object Widget5: TTestWidget [0]\n    Buddy = Other.Remote\n    Items = <>\n  end\n"
          "end\n"),
  };
}

// ---------------------------------------------------------------------------

class Filer : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestClasses();
    g_loaded.clear();
    live_ = g_live;
  }
  void TearDown() override { EXPECT_EQ(g_live, live_) << "test components leaked or freed twice"; }

  // A root with a property of every kind set, children nested in another's
  // block, references forward, backward and to another root.
  Owned<TTestRoot> MakeFull(TComponent* remote) {
    Owned<TTestRoot> root(Make<TTestRoot>(nullptr));
    root->SetName(L"Root");
    auto* w1 = Make<TTestWidget>(root.get());
    w1->SetName(L"Widget1");
    auto* w2 = Make<TTestWidget>(root.get());
    w2->SetName(L"Widget2");
    w2->SetParentWidget(w1);
    auto* w3 = Make<TTestWidget>(root.get());
    w3->SetName(L"Widget3");
    w1->Small = -5;
    w1->Medium = 1000;
    w1->Number = 100000;
    w1->Big = Int64(1) << 40;
    w1->Shade = shBlue;
    w1->Shades = {shRed, shYellow};
    w1->Enabled = false;
    w1->Ratio = 1.5f;
    w1->Scale = 2.25;
    w1->Precise = 3.125;
    w1->Price = 12.3456;
    w1->When = 45000.5;
    w1->Tint = 0xF0F0F0;
    w1->Caption = L"Hello";
    w1->Hint = L"岚泽家具";
    w1->SetBuddy(w2);
    w1->Font->Name = L"宋体";
    w1->Font->Size = 12;
    w1->Font->Style = {shGreen};
    auto* item = static_cast<TTestItem*>(w1->Items->Add());
    item->Caption = L"one";
    item->Link = w1;
    static_cast<TTestItem*>(w1->Items->Add())->Width = 20;
    w1->Lines->Add(L"a");
    w1->Lines->Add(L"第二行");
    w1->Data = {1, 2, 3, 0, 255};
    w1->OnClick = TNotifyEvent::Bind<&TTestRoot::WidgetClick>(root.get());
    w2->Number = 2;
    w2->SetBuddy(w1);
    w3->Number = 3;
    w3->SetBuddy(static_cast<TTestWidget*>(remote));
    return root;
  }

  int live_ = 0;
};

struct GlobalRoot {
  explicit GlobalRoot(TComponent* c) {
    g_globals.push_back(c);
    RegisterFindGlobalComponentProc(&FindTestGlobal);
  }
  ~GlobalRoot() {
    g_globals.clear();
    UnregisterFindGlobalComponentProc(&FindTestGlobal);
  }
};

// ---------------------------------------------------------------------------
// Writing and reading back
// ---------------------------------------------------------------------------

TEST_F(Filer, RoundTripKeepsEveryKindOfProperty) {
  Owned<TTestRoot> other(Make<TTestRoot>(nullptr));
  other->SetName(L"Other");
  auto* remote = Make<TTestWidget>(other.get());
  remote->SetName(L"Remote");
  GlobalRoot global(other.get());

  Owned<TTestRoot> root = MakeFull(remote);
  const Bytes first = Save(root.get());
  Owned<TComponent> copyHolder(Load(first));
  auto* copy = dynamic_cast<TTestRoot*>(copyHolder.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Name(), L"Root");
  ASSERT_EQ(copy->ComponentCount(), 3);

  auto* w1 = dynamic_cast<TTestWidget*>(copy->FindComponent(L"Widget1"));
  auto* w2 = dynamic_cast<TTestWidget*>(copy->FindComponent(L"widget2"));
  auto* w3 = dynamic_cast<TTestWidget*>(copy->FindComponent(L"Widget3"));
  ASSERT_TRUE(w1 && w2 && w3);
  EXPECT_EQ(copy->Widget1, w1) << "published field bound by name";
  EXPECT_EQ(w1->Small, -5);
  EXPECT_EQ(w1->Medium, 1000);
  EXPECT_EQ(w1->Number, 100000);
  EXPECT_EQ(w1->Big, Int64(1) << 40);
  EXPECT_EQ(w1->Shade, shBlue);
  EXPECT_TRUE(w1->Shades == TShades({shRed, shYellow}));
  EXPECT_FALSE(w1->Enabled);
  EXPECT_EQ(w1->Ratio, 1.5f);
  EXPECT_EQ(w1->Scale, 2.25);
  EXPECT_EQ(w1->Precise, 3.125);
  EXPECT_EQ(w1->Price, 12.3456);
  EXPECT_EQ(w1->When, 45000.5);
  EXPECT_EQ(w1->Tint, 0xF0F0F0);
  EXPECT_EQ(w1->Caption, L"Hello");
  EXPECT_EQ(w1->Hint, L"岚泽家具");
  EXPECT_EQ(w1->Buddy, w2) << "forward reference";
  EXPECT_EQ(w2->Buddy, w1) << "backward reference";
  EXPECT_EQ(w3->Buddy, remote) << "reference into another root";
  EXPECT_EQ(w1->Font->Name, L"宋体");
  EXPECT_EQ(w1->Font->Size, 12);
  EXPECT_TRUE(w1->Font->Style == TShades({shGreen}));
  ASSERT_EQ(w1->Items->Count(), 2);
  EXPECT_EQ(w1->Item(0)->Caption, L"one");
  EXPECT_EQ(w1->Item(0)->Link, w1) << "reference from a collection item";
  EXPECT_EQ(w1->Item(1)->Width, 20);
  ASSERT_EQ(w1->Lines->Count(), 2);
  EXPECT_EQ(w1->Lines->Get(1), L"第二行");
  EXPECT_EQ(w1->Data, Bytes({1, 2, 3, 0, 255}));
  ASSERT_TRUE(w1->OnClick.Assigned());
  w1->OnClick(w1);
  EXPECT_EQ(copy->clicks, 1) << "event bound to the root's published method";
  EXPECT_EQ(w2->Owner(), copy) << "a child stored in another's block belongs to the root";
  EXPECT_EQ(w2->parent, w1);
  EXPECT_EQ(w1->parent, nullptr);
  for (TTestWidget* w : {w1, w2, w3}) {
    EXPECT_TRUE(w->loadingWhenCreated);
    EXPECT_FALSE(w->ComponentState().Contains(csLoading));
    EXPECT_FALSE(w->ComponentState().Contains(csReading));
  }

  EXPECT_NE(Text(first).find("Tint = tnFace"), std::string::npos) << "integer written by its name";
  const Bytes second = Save(copy);
  EXPECT_EQ(first, second) << Text(first) << "\n---\n" << Text(second);
}

// A stored definition kept as text survives text -> binary -> objects ->
// binary -> text unchanged: nothing is lost or reordered by loading it.
// (The text is in the writer's canonical order: published properties, then
// defined ones; collection items without order indexes.)
TEST_F(Filer, TextDefinitionSurvivesLoadingAndSaving) {
  const Bytes source =
      Bin("object Root: TTestRoot\n"
          "  object Widget1: TTestWidget\n"
          "    Small = -5\n    Medium = 1000\n    Number = 100000\n    Big = 1099511627776\n"
          "    Shade = shBlue\n    Shades = [shRed, shYellow]\n    Enabled = False\n"
          "    Ratio = 1.5s\n    Scale = 2.25f\n    Precise = 3.125\n    Price = 12.3456c\n    When = 45000.5d\n"
          "    Tint = tnFace\n    Caption = 'Hello'\n    Hint = '岚泽家具'\n    Buddy = Widget2\n"
          "    Font.Name = '宋体'\n    Font.Size = 12\n"
          "    Items = <\n      item\n        Caption = 'one'\n        Link = Widget1\n      end\n"
          "      item\n        Width = 20\n      end>\n"
          "    Lines.Strings = (\n      'a'\n      '第二行')\n"
          "    OnClick = WidgetClick\n    Data = {0102030400FF}\n"
          "    object Widget2: TTestWidget\n      Number = 2\n      Buddy = Widget1\n    end\n"
          "  end\n"
          "  object Widget3: TTestWidget\n    Number = 3\n  end\n"
          "end\n");
  Owned<TComponent> loaded(Load(source));
  EXPECT_EQ(Text(Save(loaded.get())), Text(source));
}

// Non-visual components keep their design-surface position through the
// defined "Left"/"Top" values; an unplaced one stores neither.
TEST_F(Filer, DesignPositionOfNonVisualComponents) {
  const Bytes source = Bin("object Root: TTestRoot\n  object Widget1: TTestWidget\n    Number = 0\n    Left = 320\n    Top = 160\n"
                           "  end\n  object Widget2: TTestWidget\n    Number = 0\n  end\nend\n");
  Owned<TComponent> loaded(Load(source));
  EXPECT_EQ(loaded->FindComponent(L"Widget1")->DesignInfo(), (160 << 16) | 320);
  EXPECT_EQ(Save(loaded.get()), source) << Text(Save(loaded.get()));
}

TEST_F(Filer, DefaultsAreNotWritten) {
  Owned<TTestRoot> root(Make<TTestRoot>(nullptr));
  root->SetName(L"Root");
  auto* w = Make<TTestWidget>(root.get());
  w->SetName(L"Widget1");
  EXPECT_FALSE(w->loadingWhenCreated);
  // Number has no default; Font.Name is stored only when not "Tahoma".
  EXPECT_EQ(Save(root.get()), Bin("object Root: TTestRoot\n"
                                  "  object Widget1: TTestWidget\n    Number = 0\n  end\n"
                                  "end\n"))
      << Text(Save(root.get()));

  w->Font->Name = L"Arial";
  w->Enabled = false;
  w->Shade = shGreen;
  EXPECT_EQ(Save(root.get()), Bin("object Root: TTestRoot\n"
                                  "  object Widget1: TTestWidget\n"
                                  "    Number = 0\n    Shade = shGreen\n    Enabled = False\n"
                                  "    Font.Name = 'Arial'\n  end\n"
                                  "end\n"))
      << Text(Save(root.get()));
}

TEST_F(Filer, WriterPicksTheSmallestEncoding) {
  struct Case {
    const char* what;
    std::function<void(TWriter&)> write;
    Bytes expected;
  } cases[] = {
      {"int8", [](TWriter& w) { w.WriteInteger(-128); }, {vaInt8, 0x80}},
      {"int16", [](TWriter& w) { w.WriteInteger(128); }, {vaInt16, 0x80, 0x00}},
      {"int32", [](TWriter& w) { w.WriteInteger(40000); }, {vaInt32, 0x40, 0x9C, 0, 0}},
      {"int64", [](TWriter& w) { w.WriteInteger(Int64(1) << 33); }, {vaInt64, 0, 0, 0, 0, 2, 0, 0, 0}},
      {"ascii", [](TWriter& w) { w.WriteString(L"ab"); }, {vaString, 2, 'a', 'b'}},
      {"empty", [](TWriter& w) { w.WriteString(String()); }, {vaString, 0}},
      {"wide", [](TWriter& w) { w.WriteString(L"岚x"); }, {vaWString, 2, 0, 0, 0, 0x9A, 0x5C, 'x', 0}},
      {"true", [](TWriter& w) { w.WriteIdent(L"true"); }, {vaTrue}},
      {"nil", [](TWriter& w) { w.WriteIdent(L"nil"); }, {vaNil}},
      {"null", [](TWriter& w) { w.WriteIdent(L"Null"); }, {vaNull}},
      {"ident", [](TWriter& w) { w.WriteIdent(L"Foo"); }, {vaIdent, 3, 'F', 'o', 'o'}},
      {"extended", [](TWriter& w) { w.WriteFloat(1.5L); }, {vaExtended, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}},
      {"single", [](TWriter& w) { w.WriteSingle(1.5f); }, {vaSingle, 0, 0, 0xC0, 0x3F}},
      {"currency", [](TWriter& w) { w.WriteCurrency(1.25); }, {vaCurrency, 0xD4, 0x30, 0, 0, 0, 0, 0, 0}},
      {"set", [](TWriter& w) { w.WriteSet(0b1010, &SetTypeInfo(TypeInfoOf<TShade>())); },
       {vaSet, 7, 's', 'h', 'G', 'r', 'e', 'e', 'n', 8, 's', 'h', 'Y', 'e', 'l', 'l', 'o', 'w', 0}},
      {"list", [](TWriter& w) { w.WriteListBegin(); w.WriteBoolean(false); w.WriteListEnd(); }, {vaList, vaFalse, vaNull}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TMemoryStream m;
    {
      TWriter w(&m);
      c.write(w);
    }
    EXPECT_EQ(StreamBytes(m), c.expected);
  }
  Bytes longAscii = {vaLString, 44, 1, 0, 0};
  longAscii.insert(longAscii.end(), 300, 'x');
  TMemoryStream m;
  {
    TWriter w(&m);
    w.WriteString(String(300, L'x'));
  }
  EXPECT_EQ(StreamBytes(m), longAscii);
}

// The value of one property of a widget root, in the encoding given.
Bytes WidgetWith(const std::string& prop, const Bytes& value) {
  Bytes b = {'T', 'P', 'F', '0', 11};
  for (char c : std::string("TTestWidget")) b.push_back(c);
  b.push_back(1);
  b.push_back('W');
  b.push_back(static_cast<Byte>(prop.size()));
  b.insert(b.end(), prop.begin(), prop.end());
  b.insert(b.end(), value.begin(), value.end());
  b.push_back(0);
  b.push_back(0);
  return b;
}

TEST_F(Filer, ReadsEveryValueKindIntoMatchingProperties) {
  struct Case {
    const char* prop;
    Bytes value;
    std::function<bool(TTestWidget*)> check;
  } cases[] = {
      {"Number", {vaInt8, 0xFD}, [](TTestWidget* w) { return w->Number == -3; }},
      {"Number", {vaInt16, 0x00, 0x80}, [](TTestWidget* w) { return w->Number == -32768; }},
      {"Number", {vaInt32, 1, 0, 1, 0}, [](TTestWidget* w) { return w->Number == 65537; }},
      {"Number", {vaInt64, 7, 0, 0, 0, 0, 0, 0, 0}, [](TTestWidget* w) { return w->Number == 7; }},
      {"Big", {vaInt64, 0, 0, 0, 0, 0, 0, 0, 0x80}, [](TTestWidget* w) { return w->Big == INT64_MIN; }},
      {"Big", {vaInt8, 5}, [](TTestWidget* w) { return w->Big == 5; }},
      {"Scale", {vaExtended, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}, [](TTestWidget* w) { return w->Scale == 1.5; }},
      {"Scale", {vaDouble, 0, 0, 0, 0, 0, 0, 0x02, 0x40}, [](TTestWidget* w) { return w->Scale == 2.25; }},
      {"Scale", {vaSingle, 0, 0, 0xC0, 0x3F}, [](TTestWidget* w) { return w->Scale == 1.5; }},
      {"Scale", {vaCurrency, 0xD4, 0x30, 0, 0, 0, 0, 0, 0}, [](TTestWidget* w) { return w->Scale == 1.25; }},
      {"Scale", {vaInt16, 0xE8, 0x03}, [](TTestWidget* w) { return w->Scale == 1000; }},
      {"Price", {vaExtended, 0, 0, 0, 0, 0, 0, 0, 0xA0, 0x01, 0x40}, [](TTestWidget* w) { return w->Price == 5; }},
      {"When", {vaDate, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F}, [](TTestWidget* w) { return w->When == 1.5; }},
      {"Ratio", {vaDouble, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F}, [](TTestWidget* w) { return w->Ratio == 1.5f; }},
      {"Caption", {vaString, 2, 'h', 'i'}, [](TTestWidget* w) { return w->Caption == L"hi"; }},
      {"Caption", {vaLString, 2, 0, 0, 0, 'h', 'i'}, [](TTestWidget* w) { return w->Caption == L"hi"; }},
      {"Caption", {vaWString, 1, 0, 0, 0, 0x9A, 0x5C}, [](TTestWidget* w) { return w->Caption == L"岚"; }},
      {"Caption", {vaUTF8String, 3, 0, 0, 0, 0xE5, 0xB2, 0x9A}, [](TTestWidget* w) { return w->Caption == L"岚"; }},
      {"Shade", {vaIdent, 6, 's', 'h', 'b', 'l', 'u', 'e'}, [](TTestWidget* w) { return w->Shade == shBlue; }},
      {"Enabled", {vaFalse}, [](TTestWidget* w) { return !w->Enabled; }},
      {"Shades", {vaSet, 5, 's', 'h', 'R', 'e', 'd', 0}, [](TTestWidget* w) { return w->Shades == TShades({shRed}); }},
      {"Shades", {vaSet, 0}, [](TTestWidget* w) { return w->Shades.Empty(); }},
      {"Tint", {vaIdent, 5, 't', 'n', 'R', 'e', 'd'}, [](TTestWidget* w) { return w->Tint == 0xFF; }},
      {"Tint", {vaInt32, 0x78, 0x56, 0x34, 0x12}, [](TTestWidget* w) { return w->Tint == 0x12345678; }},
      {"Font.Size", {vaInt8, 20}, [](TTestWidget* w) { return w->Font->Size == 20; }},
      {"Lines.Strings", {vaList, vaString, 1, 'x', vaWString, 1, 0, 0, 0, 0xFD, 0x6C, vaNull},
       [](TTestWidget* w) { return w->Lines->Count() == 2 && w->Lines->Get(1) == L"泽"; }},
      {"Data", {vaBinary, 2, 0, 0, 0, 0xAB, 0xCD}, [](TTestWidget* w) { return w->Data == Bytes({0xAB, 0xCD}); }},
      {"Items", {vaCollection, vaList, 7, 'C', 'a', 'p', 't', 'i', 'o', 'n', vaString, 1, 'a', 0,
                 vaInt8, 9, vaList, 5, 'W', 'i', 'd', 't', 'h', vaInt8, 4, 0, vaNull},
       [](TTestWidget* w) { return w->Items->Count() == 2 && w->Item(0)->Caption == L"a" && w->Item(1)->Width == 4; }},
      {"Buddy", {vaNil}, [](TTestWidget* w) { return w->Buddy == nullptr; }},
      {"Tag", {vaInt32, 0xFF, 0xFF, 0xFF, 0x7F}, [](TTestWidget* w) { return w->Tag() == 0x7FFFFFFF; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.prop) + " " + std::to_string(c.value[0]));
    Owned<TComponent> w;
    ASSERT_NO_THROW(w.reset(Load(WidgetWith(c.prop, c.value))));
    auto* widget = dynamic_cast<TTestWidget*>(w.get());
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(c.check(widget));
  }
}


TEST_F(Filer, ReferencesResolveAfterTheWholeStream) {
  // Referenced before it exists, by itself, and from inside a collection item.
  Owned<TComponent> root(Load(Bin("object Root: TTestRoot\n"
                                  "  object A: TTestWidget\n    Buddy = C\n    Items = <\n      item\n"
                                  "        Link = C\n      end>\n  end\n"
                                  "  object B: TTestWidget\n    Buddy = B\n  end\n"
                                  "  object C: TTestWidget\n  end\n"
                                  "end\n")));
  auto* a = static_cast<TTestWidget*>(root->FindComponent(L"A"));
  auto* b = static_cast<TTestWidget*>(root->FindComponent(L"B"));
  auto* c = static_cast<TTestWidget*>(root->FindComponent(L"C"));
  EXPECT_EQ(a->Buddy, c);
  EXPECT_EQ(a->buddyAtLoaded, c) << "Loaded runs after the references are set";
  EXPECT_EQ(a->Item(0)->Link, c);
  EXPECT_EQ(b->Buddy, b);
}

TEST_F(Filer, LoadedRunsOnceForEveryComponentAfterTheRead) {
  Owned<TComponent> root(Load(Bin("object Root: TTestRoot\n"
                                  "  object A: TTestWidget\n    object B: TTestWidget\n    end\n  end\n"
                                  "  object C: TTestWidget\n  end\n"
                                  "end\n")));
  // The root first, then each component when its block ends.
  EXPECT_EQ(g_loaded, (std::vector<String>{L"Root", L"B", L"A", L"C"}));
  EXPECT_EQ(static_cast<TTestRoot*>(root.get())->loadedCount, 1);
}

TEST_F(Filer, ReferenceToAnotherRootWaitsUntilThatRootExists) {
  const Bytes stream = Bin("object Root: TTestRoot\n  object A: TTestWidget\n    Buddy = Other.Remote\n  end\nend\n");
  Owned<TComponent> root(Load(stream));
  auto* a = static_cast<TTestWidget*>(root->FindComponent(L"A"));
  EXPECT_EQ(a->Buddy, nullptr);

  Owned<TTestRoot> other(Make<TTestRoot>(nullptr));
  other->SetName(L"Other");
  auto* remote = Make<TTestWidget>(other.get());
  remote->SetName(L"Remote");
  GlobalRoot global(other.get());
  GlobalFixupReferences();
  EXPECT_EQ(a->Buddy, remote);

  // Read while the other root exists: resolved at once. A reference that
  // still waits when its component goes is forgotten with it.
  Owned<TComponent> second(Load(stream));
  EXPECT_EQ(static_cast<TTestWidget*>(second->FindComponent(L"A"))->Buddy, remote);
  other->SetName(L"Renamed");
  Owned<TComponent> third(Load(stream));
  third.reset();
  other->SetName(L"Other");
  GlobalFixupReferences();
}

TEST_F(Filer, DescendantStoresOnlyWhatDiffersFromItsAncestor) {
  Owned<TTestRoot> base(Make<TTestRoot>(nullptr));
  base->SetName(L"Root");
  for (const wchar_t* name : {L"A", L"B", L"C"}) {
    auto* w = Make<TTestWidget>(base.get());
    w->SetName(name);
    w->Number = 1;
    w->Data = {7};
    static_cast<TTestItem*>(w->Items->Add())->Caption = L"x";
    w->Lines->Add(L"line");
  }
  base->FindComponent(L"A")->SetTag(3);
  const Bytes baseBytes = Save(base.get());

  Owned<TTestRoot> derived(static_cast<TTestRoot*>(Load(baseBytes, Make<TTestRoot>(nullptr))));
  derived->FindComponent(L"B")->SetComponentIndex(0);
  static_cast<TTestWidget*>(derived->FindComponent(L"A"))->Number = 2;
  auto* d = Make<TTestWidget>(derived.get());
  d->SetName(L"D");
  d->Number = 4;
  const Bytes diff = Save(derived.get(), base.get());
  // C is unchanged and omitted; B only moved.
  EXPECT_EQ(diff, Bin("inherited Root: TTestRoot\n"
                      "  inherited B: TTestWidget [0]\n  end\n"
                      "  inherited A: TTestWidget [1]\n    Number = 2\n  end\n"
                      "  object D: TTestWidget\n    Number = 4\n  end\n"
                      "end\n"))
      << Text(diff);

  // The inherited definition read on top of the base one gives the derived root.
  Owned<TTestRoot> rebuilt(Make<TTestRoot>(nullptr));
  Load(baseBytes, rebuilt.get());
  Load(diff, rebuilt.get());
  EXPECT_EQ(Save(rebuilt.get()), Save(derived.get())) << Text(Save(rebuilt.get()));
}

TEST_F(Filer, InheritedDefinitionsFromResourcesAncestorsFirst) {
  Owned<TFilerDerivedRoot> root(Make<TFilerDerivedRoot>(nullptr));
  EXPECT_TRUE(InitInheritedComponent(root.get(), TTestRoot::StaticClass()));
  EXPECT_EQ(root->Name(), L"DerivedRoot");
  EXPECT_EQ(root->Tag(), 2);
  ASSERT_EQ(root->ComponentCount(), 2);
  auto* w1 = static_cast<TTestWidget*>(root->FindComponent(L"Widget1"));
  auto* w2 = static_cast<TTestWidget*>(root->FindComponent(L"Widget2"));
  ASSERT_TRUE(w1 && w2);
  EXPECT_EQ(root->Widget1, w1);
  EXPECT_EQ(w1->Caption, L"base");
  EXPECT_EQ(w1->Number, 2);
  EXPECT_EQ(w2->Number, 3);
  // Loaded once for each, after both definitions.
  EXPECT_EQ(root->loadedCount, 1);
  EXPECT_EQ(w1->loadedCount, 1);
  EXPECT_EQ(w2->loadedCount, 1);
  EXPECT_FALSE(root->ComponentState().Contains(csLoading));

  Owned<TTestRoot> plain(Make<TTestRoot>(nullptr));
  EXPECT_FALSE(InitInheritedComponent(plain.get(), TComponent::StaticClass())) << "no definition for the class";
}

TEST_F(Filer, ComponentResourcesAndResourceFiles) {
  Owned<TComponent> root(ReadComponentRes(L"FILERTESTROOT", nullptr));
  ASSERT_NE(dynamic_cast<TTestRoot*>(root.get()), nullptr);
  EXPECT_EQ(root->Name(), L"ResRoot");
  auto* w = static_cast<TTestWidget*>(root->FindComponent(L"Widget1"));
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Number, 7);
  EXPECT_EQ(w->Caption, L"From resource");
  EXPECT_THROW(ReadComponentRes(L"NOSUCHDEFINITION", nullptr), EResNotFound);

  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  const String file = String(dir) + L"lanze-filer-" + std::to_wstring(GetCurrentProcessId()) + L".res";
  WriteComponentResFile(file, root.get());
  Owned<TComponent> back(ReadComponentResFile(file, nullptr));
  EXPECT_EQ(Save(back.get()), Save(root.get()));
  {
    TFileStream f(file, fmCreate);
    f.WriteBuffer("TPF0", 4);
  }
  EXPECT_THROW(ReadComponentResFile(file, nullptr), EInvalidImage);
  DeleteFileW(file.c_str());
}

TEST_F(Filer, ReadComponentsAddsEachToTheOwner) {
  Bytes list = Bin("object A: TTestWidget\n  Number = 1\nend\n");
  const Bytes second = Bin("object B: TTestWidget\n  Buddy = A\nend\n");
  list.insert(list.end(), second.begin(), second.end());
  list.push_back(vaNull);
  Owned<TTestRoot> owner(Make<TTestRoot>(nullptr));
  std::vector<TComponent*> read;
  TBytesStream s(list);
  TReader reader(&s);
  reader.ReadComponents(owner.get(), nullptr, [&](TComponent* c) { read.push_back(c); });
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0]->Owner(), owner.get());
  EXPECT_EQ(static_cast<TTestWidget*>(read[1])->Buddy, read[0]);
  EXPECT_EQ(static_cast<TTestWidget*>(read[0])->loadedCount, 1);
}

// ---------------------------------------------------------------------------
// Errors
// ---------------------------------------------------------------------------

struct ErrorCase {
  const char* text;
  const wchar_t* exception;
  const wchar_t* message;
};

TEST_F(Filer, BadDefinitionsRaiseClearErrors) {
  const ErrorCase cases[] = {
      {"object W: TTestWidget\n  Bogus = 1\nend\n", L"EReadError", L"Error reading W.Bogus: Property Bogus does not exist"},
      {"object W: TTestWidget\n  Font.Bogus = 1\nend\n", L"EReadError",
       L"Error reading W.Font.Bogus: Property Bogus does not exist"},
      {"object W: TTestWidget\n  Caption.Size = 1\nend\n", L"EReadError",
       L"Error reading W.Caption.Size: Property Caption does not exist"},
      {"object W: TTestWidget\n  Shade = shPurple\nend\n", L"EReadError", L"Error reading W.Shade: Invalid property value"},
      {"object W: TTestWidget\n  Number = 'ten'\nend\n", L"EReadError", L"Error reading W.Number: Invalid property value"},
      {"object W: TTestWidget\n  Shades = [shRed, shPink]\nend\n", L"EReadError",
       L"Error reading W.Shades: Invalid property value"},
      {"object W: TTestWidget\n  Tint = tnBlue\nend\n", L"EReadError", L"Error reading W.Tint: Invalid property value"},
      {"object W: TTestWidget\n  Number = 5000000000\nend\n", L"EReadError",
       L"Error reading W.Number: Invalid property value"},
      {"object W: TTestWidget\n  Font = nil\nend\n", L"EReadError", L"Error reading W.Font: Property is read-only"},
      {"object R: TTestRoot\n  object W: TTestWidget\n    OnClick = Missing\n  end\nend\n", L"EReadError",
       L"Error reading W.OnClick: Method 'Missing' not found"},
      {"object R: TTestRoot\n  object W: TTestWidget\n    OnClick = WrongShape\n  end\nend\n", L"EReadError",
       L"Error reading W.OnClick: Method 'WrongShape' has an incompatible parameter list"},
      {"object R: TTestRoot\n  object W: TTestWidget\n    Buddy = Owner\n  end\nend\n", L"EReadError",
       L"Error reading W.Buddy: Invalid property value"},
      {"object R: TTestRoot\n  object W: TNoSuchClass\n  end\nend\n", L"EClassNotFound",
       L"Class TNoSuchClass not found at byte 17"},
      {"object R: TPersistent\nend\n", L"EClassNotFound", L"Class TPersistent not found at byte 4"},
      {"object R: TTestRoot\n  object A: TTestWidget\n  end\n  object a: TTestWidget\n  end\nend\n",
       L"EComponentError", L"A component named a already exists"},
      {"inherited R: TTestRoot\n  inherited Ghost: TTestWidget\n  end\nend\n", L"EReadError",
       L"Ancestor for 'Ghost' not found at byte 19"},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      Owned<TComponent> r(Load(Bin(c.text)));
      ADD_FAILURE() << "no error";
    } catch (Exception& e) {
      EXPECT_STREQ(e.ClassName(), c.exception);
      EXPECT_NE(e.Message.find(c.message), String::npos) << e.what();
    }
  }
}

// Collects the errors a reader offers and skips them.
class TErrorCollector : public TObject {
 public:
  std::vector<String> messages;
  void Handle(TReader*, const String& message, bool& handled) {
    messages.push_back(message);
    handled = true;
  }
};

TEST_F(Filer, OnErrorSkipsPropertiesThatCannotBeRead) {
  TErrorCollector collector;
  auto read = [&](const char* text) {
    const Bytes data = Bin(text);
    TBytesStream s(data);
    TReader reader(&s);
    reader.OnError = TReaderError::Bind<&TErrorCollector::Handle>(&collector);
    return Owned<TComponent>(reader.ReadRootComponent(nullptr));
  };
  Owned<TComponent> w = read(
      "object W: TTestWidget\n  Bogus = (1 2)\n  Shade = shPurple\n  Number = 5\n"
      "  Items = <\n    item\n      Bogus2 = 3\n      Caption = 'ok'\n    end>\nend\n");
  auto* widget = static_cast<TTestWidget*>(w.get());
  EXPECT_EQ(widget->Number, 5);
  ASSERT_EQ(widget->Items->Count(), 1);
  EXPECT_EQ(widget->Item(0)->Caption, L"ok");
  EXPECT_EQ(collector.messages,
            (std::vector<String>{L"Error reading W.Bogus: Property Bogus does not exist",
                                 L"Error reading W.Shade: Invalid property value",
                                 L"Error reading TTestItem.Bogus2: Property Bogus2 does not exist"}));
  w.reset();
  // Inside a defined property the end of the value is unknown: no skipping.
  EXPECT_THROW(read("object W: TTestWidget\n  Lines.Strings = (\n    5)\n  Number = 1\nend\n"), EReadError);
}

TEST_F(Filer, FailedReadFreesWhatItMadeAndNothingElse) {
  const Bytes stream = Bin("object Root: TTestRoot\n"
                           "  object Widget1: TTestWidget\n    object Inner: TTestWidget\n    end\n  end\n"
                           "  object Bad: TTestWidget\n    Buddy = Widget1\n    Bogus = 1\n  end\n"
                           "end\n");
  EXPECT_THROW(Load(stream), EReadError);

  Owned<TTestRoot> root(Make<TTestRoot>(nullptr));
  root->SetName(L"Root");
  auto* keep = Make<TTestWidget>(root.get());
  keep->SetName(L"Keep");
  EXPECT_THROW(Load(stream, root.get()), EReadError);
  ASSERT_EQ(root->ComponentCount(), 1);
  EXPECT_EQ(root->Components(0), keep);
  EXPECT_EQ(root->Widget1, nullptr) << "the field of a freed component is cleared";
  EXPECT_FALSE(root->ComponentState().Contains(csLoading));
  EXPECT_FALSE(root->ComponentState().Contains(csReading));
  EXPECT_TRUE(g_loaded.empty()) << "nothing is Loaded from a failed read";
}

TEST_F(Filer, TruncatedStreamsFailAtTheirEnd) {
  const Bytes full = SampleStreams()[0];
  Owned<TTestRoot> existing(Make<TTestRoot>(nullptr));
  for (size_t n = 0; n < full.size(); ++n) {
    const Bytes part(full.begin(), full.begin() + n);
    for (TComponent* into : {static_cast<TComponent*>(nullptr), static_cast<TComponent*>(existing.get())}) {
      try {
        Load(part, into);
        ADD_FAILURE() << "read " << n << " bytes";
      } catch (EReadError& e) {
        const String expected = n < 4 ? L"Invalid stream format at byte 0" : L"Unexpected end of stream";
        if (e.Message.find(expected) == String::npos) ADD_FAILURE() << n << ": " << e.what();
      }
      ASSERT_EQ(existing->ComponentCount(), 0);
    }
  }
}

TEST_F(Filer, HostileLengthsCountsAndNestingAreRefused) {
  auto nested = [](int depth, Bytes inner) {
    Bytes b = WidgetWith("Bogus", {});
    b.resize(b.size() - 2);
    for (int i = 0; i < depth; ++i) b.push_back(vaList);
    b.insert(b.end(), inner.begin(), inner.end());
    for (int i = 0; i < depth; ++i) b.push_back(vaNull);
    b.push_back(0);
    b.push_back(0);
    return b;
  };
  Bytes deepComponents = {'T', 'P', 'F', '0'};
  for (int i = 0; i < 100; ++i) {
    deepComponents.push_back(11);
    for (char c : std::string("TTestWidget")) deepComponents.push_back(c);
    deepComponents.push_back(0);
    deepComponents.push_back(0);  // no properties
  }
  deepComponents.insert(deepComponents.end(), 200, 0);
  struct Case {
    const char* what;
    Bytes data;
    const wchar_t* message;
  } cases[] = {
      {"ansi length", WidgetWith("Caption", {vaLString, 0xFF, 0xFF, 0xFF, 0x7F}), L"Unexpected end of stream (length 2147483647) at byte 27"},
      {"wide count", WidgetWith("Caption", {vaWString, 0, 0, 0, 0x40}), L"Unexpected end of stream (length 1073741824) at byte 27"},
      {"utf8 past end", WidgetWith("Caption", {vaUTF8String, 16, 0, 0, 0, 'a'}), L"Unexpected end of stream (length 16) at byte 27"},
      {"negative binary", WidgetWith("Data", {vaBinary, 0xFF, 0xFF, 0xFF, 0xFF}), L"Invalid length -1 at byte 24"},
      {"unknown value tag", WidgetWith("Number", {0x7F}), L"Invalid value type 127 at byte 25"},
      {"unknown flags", {'T', 'P', 'F', '0', 0xF8, 0}, L"Invalid component flags at byte 4"},
      {"bad signature", {'T', 'P', 'F', '1'}, L"Invalid stream format at byte 0"},
      {"nested values", nested(100, {}), L"nesting deeper than 64"},
      {"nested components", deepComponents, L"nesting deeper than 64"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      Owned<TComponent> r(Load(c.data));
      ADD_FAILURE() << "no error";
    } catch (EReadError& e) {
      EXPECT_NE(e.Message.find(c.message), String::npos) << e.what();
    }
  }
}

}  // namespace filertest

namespace filertest {

// Answers what the stream cannot: a renamed class, a method under an old name,
// a component name that is taken.
class TReaderHelp : public TObject {
 public:
  TTestRoot* root = nullptr;
  void FindClass(TReader*, const String& className, TClass& cls) {
    if (className == L"TOldWidget") cls = TTestWidget::StaticClass();
  }
  void FindMethod(TReader*, const String& name, TMethod& method, bool& error) {
    if (name != L"OldClick") return;
    method = TNotifyEvent::Bind<&TTestRoot::WidgetClick>(root).Method();
    error = false;
  }
  void SetName(TReader*, TComponent*, String& name) {
    if (name == L"Taken") name = L"Taken2";
  }
};

TEST_F(Filer, ReaderEventsResolveWhatTheStreamCannot) {
  Owned<TTestRoot> root(Make<TTestRoot>(nullptr));
  (Make<TTestWidget>(root.get()))->SetName(L"Taken");
  TReaderHelp help;
  help.root = root.get();
  const Bytes data = Bin("object Root: TTestRoot\n  object Taken: TOldWidget\n    OnClick = OldClick\n  end\nend\n");
  TBytesStream s(data);
  TReader reader(&s);
  reader.OnFindComponentClass = TFindComponentClassEvent::Bind<&TReaderHelp::FindClass>(&help);
  reader.OnFindMethod = TFindMethodEvent::Bind<&TReaderHelp::FindMethod>(&help);
  reader.OnSetName = TSetNameEvent::Bind<&TReaderHelp::SetName>(&help);
  reader.ReadRootComponent(root.get());
  auto* w = dynamic_cast<TTestWidget*>(root->FindComponent(L"Taken2"));
  ASSERT_NE(w, nullptr);
  w->OnClick(w);
  EXPECT_EQ(root->clicks, 1);
}

}  // namespace filertest

namespace filertest {

TEST_F(Filer, VariantsKeepTheirKind) {
  const Variant values[] = {Unassigned(),
                            Null(),
                            Variant(static_cast<signed char>(-5)),
                            Variant(static_cast<short>(1000)),
                            Variant(100000),
                            Variant(Int64(1) << 40),
                            Variant(1.5f),
                            Variant(2.25),
                            Variant(Currency::FromRaw(123456)),
                            VarFromDateTime(45000.25),
                            Variant(L"岚泽"),
                            Variant(true),
                            VarArrayOf({Variant(1), Variant(L"x"), VarArrayOf({Variant(false)})})};
  for (const Variant& v : values) {
    SCOPED_TRACE(testing::Message() << VarType(v));
    TMemoryStream m;
    {
      TWriter w(&m);
      w.WriteVariant(v);
    }
    m.SetPosition(0);
    TReader r(&m);
    const Variant back = r.ReadVariant();
    EXPECT_EQ(VarType(back), VarType(v));
    if (VarIsArray(v)) {
      ASSERT_EQ(VarArrayHighBound(back, 1), 2);
      EXPECT_EQ(VarToStr(VarArrayGet(back, 1)), L"x");
      EXPECT_FALSE(VarArrayGet(VarArrayGet(back, 2), 0).AsBoolean());
    } else {
      EXPECT_TRUE(VarSameValue(back, v));
    }
    EXPECT_EQ(r.Position(), m.Size());
  }
  TMemoryStream m;
  TWriter w(&m);
  EXPECT_THROW(w.WriteVariant(VarArrayCreate({0, 1, 0, 1}, varVariant)), EWriteError);
  // A Null inside a list would read as the list's end: refused when written, at any depth,
  // rather than stored in a form nobody can read back.
  EXPECT_THROW(w.WriteVariant(VarArrayOf({Variant(1), Null(), Variant(2)})), EWriteError);
  EXPECT_THROW(w.WriteVariant(VarArrayOf({VarArrayOf({Null()})})), EWriteError);
}

}  // namespace filertest

namespace filertest {

// Floating-point patterns the x87 traps on once its exceptions are unmasked
// (as the platform runs): read as NaN or infinity without a trap.
TEST_F(Filer, OddFloatPatternsReadWithoutFloatingPointTraps) {
  struct Case {
    Bytes value;
    bool nan;
  } cases[] = {
      {{vaExtended, 1, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}, true},     // signalling NaN
      {{vaExtended, 0, 0, 0, 0, 0, 0, 0, 0x40, 0xFF, 0x3F}, true},     // unnormal
      {{vaExtended, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x7F}, false},    // far beyond a double
      {{vaExtended, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF}, false},    // minus infinity
      {{vaDouble, 1, 0, 0, 0, 0, 0, 0xF0, 0x7F}, true},                // signalling NaN
      {{vaSingle, 1, 0, 0x80, 0x7F}, true},                            // signalling NaN
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.value[0]));
    const unsigned saved = _control87(0, 0);
    _control87(_EM_UNDERFLOW | _EM_INEXACT | _EM_DENORMAL, _MCW_EM);
    double scale = 0;
    {
      Owned<TComponent> w(Load(WidgetWith("Scale", c.value)));
      scale = static_cast<TTestWidget*>(w.get())->Scale;
    }
    _clearfp();
    _control87(saved, _MCW_EM);
    EXPECT_EQ(std::isnan(scale), c.nan);
    EXPECT_EQ(std::isinf(scale), !c.nan);
  }
}

}  // namespace filertest
