// Character and variant properties in the component stream: their type
// information, the stored form of each value (text -> binary -> object ->
// binary -> text), defaults and ancestors, and what the reader refuses.
#include "platform/WinApi.h"
#include "platform/core/Components.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"
#include "platform/core/Variants.h"

#include "tests/platform/core/StreamForms.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace propkindstest {

class TKindItem : public TCollectionItem {
  DECLARE_CLASS(TKindItem, TCollectionItem)
  explicit TKindItem(TCollection* collection) : TCollectionItem(collection) {}
  Variant Value;
};

class TKindWidget : public TComponent {
  DECLARE_CLASS(TKindWidget, TComponent)
  explicit TKindWidget(TComponent* owner)
      : TComponent(owner), Items(Make<TOwnedCollection>(this, TKindItem::StaticClass())) {}
  ~TKindWidget() override { TObject::Free(Items); }

  const Variant& GetValue() const { return value_; }
  void SetValue(const Variant& v) { value_ = v; }
  TOwnedCollection* GetItems() const { return Items; }
  TKindItem* Item(int i) const { return static_cast<TKindItem*>(Items->Items(i)); }

  Char Mask = 0;
  Char Separator = L',';
  int Number = 0;
  TOwnedCollection* Items;

 private:
  Variant value_;
};

BEGIN_CLASS(TKindItem, TCollectionItem, (ConstructWith<TKindItem, TCollection>))
  b.Field(L"Value", &TKindItem::Value);
END_CLASS

BEGIN_CLASS(TKindWidget, TComponent, (ConstructWith<TKindWidget, TComponent>))
  b.Prop(L"Value", &TKindWidget::GetValue, &TKindWidget::SetValue);
  DefaultValue(b.Field(L"Mask", &TKindWidget::Mask), 0);
  DefaultValue(b.Field(L"Separator", &TKindWidget::Separator), L',');
  DefaultValue(b.Field(L"Number", &TKindWidget::Number), 0);
  b.Prop(L"Items", &TKindWidget::GetItems, nullptr);
END_CLASS

using streamforms::Bytes;
using streamforms::Save;
using streamforms::StreamBytes;
using streamforms::Text;

// The binary form of a widget definition whose properties are given as text lines.
Bytes Bin(const std::string& properties, const std::string& header = "object") {
  return streamforms::Bin(header + " W: TKindWidget\n" + properties + "end\n");
}

Owned<TKindWidget> Load(const Bytes& bin, TKindWidget* into = nullptr) {
  TBytesStream s(bin);
  TComponent* read = ReadComponentFromStream(&s, into);
  if (into) return nullptr;
  auto* widget = dynamic_cast<TKindWidget*>(read);
  if (!widget) TObject::Free(read);
  return Owned<TKindWidget>(widget);
}

class FilerPropertyKinds : public ::testing::Test {
 protected:
  void SetUp() override { RegisterClasses({TKindWidget::StaticClass()}); }
};

TEST_F(FilerPropertyKinds, CharAndVariantPropertiesHaveTheirOwnKinds) {
  const TClass cls = TKindWidget::StaticClass();
  const TPropInfo* mask = cls->FindProperty(L"Mask");
  const TPropInfo* value = cls->FindProperty(L"Value");
  ASSERT_TRUE(mask && value);
  EXPECT_EQ(mask->Kind(), tkWChar);
  EXPECT_EQ(mask->PropType, WideCharTypeInfo());
  EXPECT_EQ(value->Kind(), tkVariant);
  EXPECT_EQ(TKindItem::StaticClass()->FindProperty(L"Value")->Kind(), tkVariant) << "a published field";
  EXPECT_FALSE(value->IsReadOnly());

  auto w = Own(Make<TKindWidget>(nullptr));
  value->SetVariant(w.get(), Variant(L"x"));
  EXPECT_EQ(VarToStr(w->GetValue()), L"x");
  EXPECT_EQ(VarToStr(value->GetVariant(w.get())), L"x");
  mask->SetOrd(w.get(), L'#');
  EXPECT_EQ(w->Mask, L'#');
}

// Each row: a value as text, what the object holds after reading it, and the
// text the object writes back (the same text unless the stream normalizes it;
// empty when nothing is written).
// Strings: which string kind a stored string reads back as is ReadVariant's
// business; here only that it is a string with that text.
constexpr TVarType kAnyString = 0xFFFF;

struct VariantRow {
  const char* text;
  TVarType type;
  const wchar_t* value;  // VarToStr of the value read
  const char* written;
};

TEST_F(FilerPropertyKinds, VariantValuesRoundTripThroughBothForms) {
  const VariantRow rows[] = {
      {"42", varShortInt, L"42", nullptr},
      {"-1000", varSmallint, L"-1000", nullptr},
      {"100000", varInteger, L"100000", nullptr},
      {"-81985529216486895", varInt64, L"-81985529216486895", nullptr},
      {"2.25f", varDouble, L"2.25", nullptr},
      {"0.1f", varDouble, L"0.1", nullptr},
      {"1.5s", varSingle, L"1.5", nullptr},
      {"-12.3456c", varCurrency, L"-12.3456", nullptr},
      {"45000.75d", varDate, nullptr, nullptr},
      {"'abc'", kAnyString, L"abc", nullptr},
      {"#23706#27901' '#9", kAnyString, L"岚泽 \t", nullptr},
      {"''", kAnyString, L"", nullptr},
      {"True", varBoolean, nullptr, nullptr},
      {"False", varBoolean, nullptr, nullptr},
      {"Null", varNull, L"", nullptr},
      {"(\n  1\n  'x'\n  (\n    False\n    -2.5f))", varArray | varVariant, nullptr, nullptr},
      // An extended number is read into a Double and written as one.
      {"1.5", varDouble, L"1.5", "1.5f"},
      // nil is Unassigned, which is not stored.
      {"nil", varEmpty, L"", ""},
  };
  for (const VariantRow& row : rows) {
    SCOPED_TRACE(row.text);
    const Bytes source = Bin(std::string("Value = ") + row.text + "\n");
    Owned<TKindWidget> w;
    ASSERT_NO_THROW(w = Load(source));
    const Variant& v = w->GetValue();
    if (row.type == kAnyString) {
      EXPECT_TRUE(VarIsStr(v)) << VarType(v);
    } else {
      EXPECT_EQ(VarType(v), row.type);
    }
    if (row.value) {
      EXPECT_EQ(VarToStr(v), row.value);
    }
    if (row.type == varDate) {
      EXPECT_EQ(v.AsDateTime(), 45000.75);
    }
    if (row.type == varBoolean) {
      EXPECT_EQ(v.AsBoolean(), std::string(row.text) == "True");
    }
    if (row.type == (varArray | varVariant)) {
      ASSERT_EQ(VarArrayHighBound(v, 1), 2);
      EXPECT_EQ(VarToStr(VarArrayGet(v, 1)), L"x");
      EXPECT_EQ(VarArrayGet(VarArrayGet(v, 2), 1).AsDouble(), -2.5);
    }
    const std::string written = row.written ? row.written : row.text;
    const Bytes expected = Bin(written.empty() ? "" : "Value = " + written + "\n");
    const Bytes saved = Save(w.get());
    EXPECT_EQ(saved, expected) << Text(saved);
  }
}

struct CharRow {
  const char* prop;
  const char* text;
  Char value;
  const char* written;  // as `text` when null; empty when not stored
};

TEST_F(FilerPropertyKinds, CharValuesRoundTripThroughBothForms) {
  const CharRow rows[] = {
      {"Mask", "'*'", L'*', nullptr},
      {"Mask", "''''", L'\'', nullptr},
      {"Mask", "#9", L'\t', nullptr},
      {"Mask", "#23706", L'岚', nullptr},
      {"Mask", "#55296", 0xD800, nullptr},  // a lone surrogate is a character too
      {"Mask", "#$2A", L'*', "'*'"},
      // Streams of old hold the character code.
      {"Mask", "42", L'*', "'*'"},
      {"Mask", "65535", 0xFFFF, "#65535"},
      // The default is not stored; away from it, character 0 is.
      {"Mask", "#0", 0, ""},
      {"Separator", "','", L',', ""},
      {"Separator", "#0", 0, nullptr},
  };
  for (const CharRow& row : rows) {
    SCOPED_TRACE(std::string(row.prop) + " = " + row.text);
    const Bytes source = Bin(std::string(row.prop) + " = " + row.text + "\n");
    Owned<TKindWidget> w;
    ASSERT_NO_THROW(w = Load(source));
    EXPECT_EQ(std::string(row.prop) == "Mask" ? w->Mask : w->Separator, row.value);
    const std::string written = row.written ? row.written : row.text;
    const Bytes expected = Bin(written.empty() ? "" : std::string(row.prop) + " = " + written + "\n");
    const Bytes saved = Save(w.get());
    EXPECT_EQ(saved, expected) << Text(saved);
  }
  // The binary form is a one-character string.
  auto w = Own(Make<TKindWidget>(nullptr));
  w->SetName(L"W");
  w->Mask = L'*';
  const Bytes saved = Save(w.get());
  const Bytes value = {4, 'M', 'a', 's', 'k', vaString, 1, '*', 0};
  EXPECT_NE(std::search(saved.begin(), saved.end(), value.begin(), value.end()), saved.end()) << Text(saved);
}

TEST_F(FilerPropertyKinds, UnassignedIsNotStoredAndNullIs) {
  auto w = Own(Make<TKindWidget>(nullptr));
  w->SetName(L"W");
  EXPECT_EQ(Save(w.get()), Bin("")) << Text(Save(w.get()));

  // Null in a property and in a collection item, where the byte of Null is
  // also the one that ends the item's properties.
  w->SetValue(Null());
  static_cast<TKindItem*>(w->Items->Add())->Value = Null();
  static_cast<TKindItem*>(w->Items->Add())->Value = Variant(5);
  const Bytes expected = Bin("Value = Null\nItems = <\n  item\n    Value = Null\n  end\n  item\n    Value = 5\n  end>\n");
  const Bytes saved = Save(w.get());
  EXPECT_EQ(saved, expected) << Text(saved);
  Owned<TKindWidget> back = Load(saved);
  EXPECT_TRUE(VarIsNull(back->GetValue()));
  ASSERT_EQ(back->Items->Count(), 2);
  EXPECT_TRUE(VarIsNull(back->Item(0)->Value));
  EXPECT_EQ(back->Item(1)->Value.AsInteger(), 5);
}

TEST_F(FilerPropertyKinds, DescendantStoresOnlyValuesThatDifferFromItsAncestor) {
  auto base = Own(Make<TKindWidget>(nullptr));
  base->SetName(L"W");
  base->SetValue(Variant(5));
  base->Mask = L'*';
  const Bytes baseBytes = Save(base.get());

  struct Case {
    const char* what;
    Variant value;
    Char mask;
    const char* diff;
  } cases[] = {
      {"same", Variant(5), L'*', ""},
      {"same stored form, other integer kind", Variant(static_cast<short>(5)), L'*', ""},
      {"other value", Variant(L"岚"), L'#', "Value = #23706\nMask = '#'\n"},
      {"back to the defaults", Unassigned(), 0, "Value = nil\nMask = #0\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto derived = Own(Make<TKindWidget>(nullptr));
    Load(baseBytes, derived.get());
    derived->SetValue(c.value);
    derived->Mask = c.mask;
    const Bytes diff = Save(derived.get(), base.get());
    EXPECT_EQ(diff, Bin(c.diff, "inherited")) << Text(diff);

    // Read on top of the ancestor's definition, the difference gives the derived values.
    auto rebuilt = Own(Make<TKindWidget>(nullptr));
    Load(baseBytes, rebuilt.get());
    Load(diff, rebuilt.get());
    EXPECT_EQ(Save(rebuilt.get()), Save(derived.get())) << Text(Save(rebuilt.get()));
  }
}

TEST_F(FilerPropertyKinds, ValuesOfAnotherKindAreRefused) {
  const char* cases[] = {
      "Mask = 'ab'",   "Mask = ''",        "Mask = 65536",      "Mask = -1",
      "Mask = True",   "Mask = Star",      "Mask = 1.5",        "Mask = ('*')",
      "Value = Ident", "Value = [a]",      "Value = <>",        "Value = (1 Ident)",
      "Value = (\n  1\n  (\n    [a]))",
  };
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    const String prop = std::string(text).rfind("Mask", 0) == 0 ? L"Mask" : L"Value";
    try {
      Load(Bin(std::string(text) + "\n"));
      ADD_FAILURE() << "no error";
    } catch (EReadError& e) {
      EXPECT_EQ(e.Message, L"Error reading W." + prop + L": Invalid property value");
    }
  }
}

// Collects the errors a reader offers and skips them.
class TErrorSkipper : public TObject {
 public:
  std::vector<String> messages;
  void Handle(TReader*, const String& message, bool& handled) {
    messages.push_back(message);
    handled = true;
  }
};

TEST_F(FilerPropertyKinds, RefusedValuesCanBeSkipped) {
  const Bytes data = Bin("Value = (\n  1\n  Ident\n  2)\nMask = 'ab'\nNumber = 5\nSeparator = ';'\n");
  TErrorSkipper skipper;
  TBytesStream s(data);
  TReader reader(&s);
  reader.OnError = TReaderError::Bind<&TErrorSkipper::Handle>(&skipper);
  Owned<TComponent> read(reader.ReadRootComponent(nullptr));
  auto* w = static_cast<TKindWidget*>(read.get());
  EXPECT_TRUE(VarIsEmpty(w->GetValue()));
  EXPECT_EQ(w->Mask, 0);
  EXPECT_EQ(w->Number, 5) << "reading went on after the refused values";
  EXPECT_EQ(w->Separator, L';');
  EXPECT_EQ(skipper.messages, (std::vector<String>{L"Error reading W.Value: Invalid property value",
                                                   L"Error reading W.Mask: Invalid property value"}));
}

TEST_F(FilerPropertyKinds, VariantsTheStreamCannotHoldFailTheWriteAndNameTheProperty) {
  auto w = Own(Make<TKindWidget>(nullptr));
  w->SetName(L"W");
  w->SetValue(VarArrayCreate({0, 1, 0, 1}, varVariant));
  TMemoryStream m;
  try {
    WriteComponentToStream(&m, w.get());
    ADD_FAILURE() << "no error";
  } catch (EWriteError& e) {
    EXPECT_EQ(e.Message.rfind(L"Property Value: ", 0), 0u) << e.what();
  }
  EXPECT_EQ(m.Size(), 0) << "nothing of a failed write reaches the stream";
}

}  // namespace propkindstest
