#include "platform/WinApi.h"
#include "editors/core/cxEditProperties.h"

#include "editors/core/cxEditButtons.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct TChangeCounter : TObject {
  int Count = 0;
  void Changed(TObject*) { ++Count; }
  void Closed(TObject*, TcxEditCloseUpReason) {}
};

// Properties with a counted change handler, freed when the test ends.
struct TCountedProperties {
  TCountedProperties() {
    Properties->OnPropertiesChanged = TNotifyEvent::Bind<&TChangeCounter::Changed>(&Counter);
  }
  ~TCountedProperties() { TObject::Free(Properties); }
  TChangeCounter Counter;
  TcxCustomEditProperties* Properties = Make<TcxCustomEditProperties>(nullptr);
};

struct TProvider : TcxCustomEditDefaultValuesProvider {
  TProvider() : TcxCustomEditDefaultValuesProvider(nullptr) {}
  TAlignment DefaultAlignment() override { return taRightJustify; }
  double DefaultMaxValue() override { return Max; }
  bool DefaultCanModify() override { return CanModify; }
  double Max = 0;
  bool CanModify = true;
};

}  // namespace

TEST(cxEditProperties, UpdateBracketsSignalOnceAndOnlyForRealChanges) {
  // Each step on fresh properties, with the number of OnPropertiesChanged calls.
  struct TCase {
    const char* Name;
    void (*Steps)(TcxCustomEditProperties*);
    int Expected;
  } cases[] = {
      {"a change", [](TcxCustomEditProperties* p) { p->SetAutoSelect(false); }, 1},
      {"the same value", [](TcxCustomEditProperties* p) { p->SetAutoSelect(true); }, 0},
      {"EndUpdate without BeginUpdate", [](TcxCustomEditProperties* p) { p->EndUpdate(); }, 0},
      {"nested, three changes",
       [](TcxCustomEditProperties* p) {
         p->BeginUpdate();
         p->BeginUpdate();
         p->SetAutoSelect(false);
         p->SetTransparent(true);
         p->EndUpdate();
         p->SetButtonsViewStyle(bvsButtonsOnly);
         p->EndUpdate();
       },
       1},
      {"a bracket without change", [](TcxCustomEditProperties* p) { p->BeginUpdate(); p->EndUpdate(); }, 0},
      {"EndUpdate(false) drops it",
       [](TcxCustomEditProperties* p) {
         p->BeginUpdate();
         p->SetTransparent(true);
         p->EndUpdate(false);
       },
       0},
      {"locked changes are never replayed",
       [](TcxCustomEditProperties* p) {
         p->LockUpdate(true);
         p->SetTransparent(true);
         p->LockUpdate(false);
       },
       0},
      {"read-only first assigned, then again",
       [](TcxCustomEditProperties* p) {
         p->SetReadOnly(false);
         p->SetReadOnly(false);
       },
       1},
      {"both bounds at once", [](TcxCustomEditProperties* p) { p->SetMinMaxValues(1, 5); }, 1},
      {"a button added", [](TcxCustomEditProperties* p) { p->Buttons()->Add(); }, 1},
  };
  for (const TCase& c : cases) {
    TCountedProperties p;
    c.Steps(p.Properties);
    EXPECT_EQ(p.Counter.Count, c.Expected) << c.Name;
  }
}

TEST(cxEditProperties, DefaultsAndAssign) {
  TCountedProperties p;
  EXPECT_EQ(p.Properties->ClickKey(), 16397);
  EXPECT_EQ(p.Properties->ClearKey(), 0);
  EXPECT_TRUE(p.Properties->AutoSelect());
  EXPECT_TRUE(p.Properties->UseMouseWheel());
  EXPECT_FALSE(p.Properties->ReadOnly());

  TcxCustomEditProperties* source = Make<TcxCustomEditProperties>(nullptr);
  TChangeCounter other;
  source->OnPropertiesChanged = TNotifyEvent::Bind<&TChangeCounter::Changed>(&other);
  source->OnClosePopup = TcxEditClosePopupEvent::Bind<&TChangeCounter::Closed>(&other);
  source->OnChange = TNotifyEvent::Bind<&TChangeCounter::Changed>(&other);
  source->SetMaxValue(7);
  source->SetReadOnly(true);
  source->Buttons()->Add()->SetKind(bkEllipsis);
  source->SetBeepOnError(true);
  source->Alignment()->SetHorz(taCenter);
  p.Properties->SetMinValue(3);
  p.Properties->Assign(source);
  EXPECT_EQ(p.Counter.Count, 2);  // the MinValue set, then one for the whole assignment
  EXPECT_TRUE(p.Properties->AssignedValues()->MaxValue());
  EXPECT_EQ(p.Properties->MaxValue(), 7);
  EXPECT_FALSE(p.Properties->AssignedValues()->MinValue());
  EXPECT_TRUE(p.Properties->ReadOnly());
  EXPECT_EQ(p.Properties->Buttons()->Count(), 1);
  EXPECT_EQ(p.Properties->Buttons()->Items(0)->Kind(), bkEllipsis);
  EXPECT_TRUE(p.Properties->BeepOnError());
  EXPECT_EQ(p.Properties->Alignment()->Horz(), taCenter);
  EXPECT_TRUE(static_cast<bool>(p.Properties->OnChange));
  // Neither the popup handler nor the change handler travel.
  EXPECT_FALSE(static_cast<bool>(p.Properties->OnClosePopup));
  EXPECT_EQ(p.Properties->OnPropertiesChanged, TNotifyEvent::Bind<&TChangeCounter::Changed>(&p.Counter));
  TObject::Free(source);
}

TEST(cxEditProperties, TheProviderSuppliesDefaultsAndLeavesWhenFreed) {
  TCountedProperties a, b;
  TProvider* provider = Make<TProvider>();
  provider->Max = 99;
  a.Properties->SetIDefaultValuesProvider(provider);
  // Without an assigned value the provider's maximum and alignment answer.
  EXPECT_EQ(a.Properties->MaxValue(), 99);
  EXPECT_EQ(b.Properties->MaxValue(), 0);
  EXPECT_EQ(a.Properties->Alignment()->Horz(), taRightJustify);
  EXPECT_FALSE(a.Properties->Alignment()->IsHorzAssigned());
  // Modifiability: assigned False wins, else the provider decides.
  provider->CanModify = false;
  EXPECT_FALSE(a.Properties->IsEffectivelyModifiable());
  a.Properties->SetReadOnly(false);
  EXPECT_TRUE(a.Properties->IsEffectivelyModifiable());
  TObject::Free(provider);
  EXPECT_EQ(a.Properties->IDefaultValuesProvider(), nullptr);
}

TEST(cxEditProperties, AChangeWhileTheOwnerIsDestroyedIsOnlyRecorded) {
  TComponent* owner = Make<TComponent>(nullptr);
  TcxCustomEditProperties* properties = Make<TcxCustomEditProperties>(owner);
  TChangeCounter counter;
  properties->OnPropertiesChanged = TNotifyEvent::Bind<&TChangeCounter::Changed>(&counter);
  owner->BeforeDestruction();
  properties->SetTransparent(true);
  EXPECT_EQ(counter.Count, 0);
  TObject::Free(properties);
  TObject::Free(owner);
}

TEST(cxEditProperties, ValidateHandlersCorrectOrKeepTheValue) {
  struct THandler : TObject {
    Variant NewValue;
    void Validate(TObject*, Variant& DisplayValue, String& ErrorText, bool& Error) {
      if (!VarIsEmpty(NewValue)) DisplayValue = NewValue;
      ErrorText = L"bad";
      Error = true;
    }
  } handler;
  TCountedProperties p;
  p.Properties->OnValidate = TcxEditValidateEvent::Bind<&THandler::Validate>(&handler);
  Variant value(String(L"12"));
  String text;
  bool changed = true, error = false;
  p.Properties->RunValidateHandlers(value, text, changed, nullptr, error);
  EXPECT_TRUE(error);
  EXPECT_FALSE(changed);
  EXPECT_EQ(text, L"bad");
  handler.NewValue = Variant(String(L"13"));
  error = false;
  p.Properties->RunValidateHandlers(value, text, changed, nullptr, error);
  EXPECT_TRUE(changed);
  EXPECT_EQ(value.AsString(), L"13");
  String message;
  p.Properties->GetValidationErrorMessage(0, message);
  EXPECT_EQ(message, L"Invalid input value. Use escape key to abandon changes");
}

TEST(cxEditButtons, TheModelSignalsAndKeepsOneDefault) {
  TCountedProperties p;
  TcxEditButtons* buttons = p.Properties->Buttons();
  TcxEditButton* first = buttons->Add();
  TcxEditButton* second = buttons->Add();
  TcxEditButton* third = buttons->Add();
  first->SetDefault(true);
  second->SetDefault(true);
  const int before = p.Counter.Count;
  third->SetDefault(true);
  EXPECT_FALSE(first->Default());
  EXPECT_FALSE(second->Default());
  EXPECT_TRUE(third->Default());
  EXPECT_EQ(p.Counter.Count, before + 1);
  third->SetWidth(-5);
  EXPECT_EQ(third->Width(), 0);
  third->SetWidth(20);
  EXPECT_EQ(third->Width(), 20);
  second->SetCaption(L"&Open");
  EXPECT_EQ(second->VisibleCaption(), L"Open");
  second->SetCaption(L"Save&");
  EXPECT_EQ(second->VisibleCaption(), L"Save_");
  second->SetVisible(false);
  EXPECT_EQ(buttons->VisibleCount(), 2);
  // Assign copies every setting.
  TcxCustomEditProperties* copy = Make<TcxCustomEditProperties>(nullptr);
  copy->SetButtons(buttons);
  ASSERT_EQ(copy->Buttons()->Count(), 3);
  EXPECT_TRUE(copy->Buttons()->Items(2)->Default());
  EXPECT_EQ(copy->Buttons()->Items(2)->Width(), 20);
  EXPECT_FALSE(copy->Buttons()->Items(1)->Visible());
  EXPECT_EQ(copy->Buttons()->Items(1)->VisibleCaption(), L"Save_");
  TObject::Free(copy);
  EXPECT_TRUE(p.Properties->GetSupportedOperations().Contains(esoHotTrack));
}
