// Styles: assigned-value tracking, listeners, slots with style-sheet chains,
// the component stream (published properties, repository children, stored
// resolution and font scaling) and the faults around destruction.
#include "foundation/cxStyles.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Filer.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Streams.h"

#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A form-like root: owns the repository and the styles, writes the components
// it owns that have no parent of their own, and publishes its fields.
class TStyleTestForm : public TComponent {
  DECLARE_CLASS(TStyleTestForm, TComponent)
  explicit TStyleTestForm(TComponent* AOwner) : TComponent(AOwner) {}
  void GetChildren(TGetChildProc Proc, TComponent* Root) override {
    TComponent::GetChildren(Proc, Root);
    for (int i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->HasParent()) Proc(Components(i));
  }
  TcxStyleRepository* Repository = nullptr;
  TcxStyle* Style1 = nullptr;
  TcxStyle* Style2 = nullptr;
};

// The same form, inherited.
class TStyleTestDerivedForm : public TStyleTestForm {
  DECLARE_CLASS(TStyleTestDerivedForm, TStyleTestForm)
  using TStyleTestForm::TStyleTestForm;
};

BEGIN_CLASS(TStyleTestForm, TComponent, (ConstructWith<TStyleTestForm, TComponent>))
  b.Field(L"Repository", &TStyleTestForm::Repository);
  b.Field(L"Style1", &TStyleTestForm::Style1);
  b.Field(L"Style2", &TStyleTestForm::Style2);
END_CLASS
IMPLEMENT_CLASS(TStyleTestDerivedForm, TStyleTestForm, (ConstructWith<TStyleTestDerivedForm, TComponent>))

// Slots that record every index reported as changed.
class TTestStyles : public TcxCustomStyles {
  DECLARE_CLASS(TTestStyles, TcxCustomStyles)
  using TcxCustomStyles::TcxCustomStyles;
  std::vector<int> Reported;

 protected:
  void HandleSlotChanged(int AIndex) override { Reported.push_back(AIndex); }
};
IMPLEMENT_CLASS(TTestStyles, TcxCustomStyles, (ConstructWith<TTestStyles, TPersistent>))

class TTestStyleSheet : public TcxCustomStyleSheet {
  DECLARE_CLASS(TTestStyleSheet, TcxCustomStyleSheet)
  using TcxCustomStyleSheet::TcxCustomStyleSheet;
  TcxCustomStylesClass StylesClass() override { return TcxCustomStylesClass::Of<TTestStyles>(); }
  TTestStyles* Styles() { return static_cast<TTestStyles*>(GetStyles()); }
};
IMPLEMENT_CLASS(TTestStyleSheet, TcxCustomStyleSheet, (ConstructWith<TTestStyleSheet, TComponent>))

// A component with slots, which looks at them while it is being loaded.
class TStylesUser : public TComponent {
  DECLARE_CLASS(TStylesUser, TComponent)
  explicit TStylesUser(TComponent* AOwner) : TComponent(AOwner), Styles(Make<TTestStyles>(this)) {}
  ~TStylesUser() override { TObject::Free(Styles); }
  void ReadState(TReader* Reader) override {
    TComponent::ReadState(Reader);
    ValueWhileLoading = Styles->GetValue(7);
    WasLoading = ComponentState().Contains(csLoading);
  }
  TTestStyles* Styles;
  TcxCustomStyle* ValueWhileLoading = nullptr;
  bool WasLoading = false;
};
IMPLEMENT_CLASS(TStylesUser, TComponent, (ConstructWith<TStylesUser, TComponent>))

class TCountingListener : public IcxStyleChangeListener {
 public:
  int Changed = 0, Removed = 0;
  bool LeavesOnRemoval = true;
  bool ComesBack = false;
  void NotifyStyleChanged(TcxCustomStyle*) override { ++Changed; }
  void NotifyStyleRemoved(TcxCustomStyle* Sender) override {
    ++Removed;
    if (LeavesOnRemoval) Sender->RemoveListener(this);
    if (ComesBack) Sender->AddListener(this);
  }
};

std::string ToText(TComponent* root) {
  TMemoryStream binary, text;
  WriteComponentToStream(&binary, root);
  binary.SetPosition(0);
  ObjectBinaryToText(&binary, &text);
  return std::string(static_cast<const char*>(text.Memory()), size_t(text.Size()));
}

void ReadText(const std::string& text, TComponent* root) {
  TMemoryStream in, binary;
  in.WriteBuffer(text.data(), int(text.size()));
  in.SetPosition(0);
  ObjectTextToBinary(&in, &binary);
  binary.SetPosition(0);
  ReadComponentFromStream(&binary, root);
}

class cxStylesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { cxStylesInitialize(); }
  static void TearDownTestSuite() { cxStylesFinalize(); }
};

// ---------------------------------------------------------------------------
// Values
// ---------------------------------------------------------------------------

TEST_F(cxStylesTest, AssignedValuesFollowTheValues) {
  auto style = Own(Make<TcxStyle>(nullptr));
  EXPECT_TRUE(style->AssignedValues().Empty());
  EXPECT_EQ(style->Color(), clDefault);
  EXPECT_EQ(style->TextColor(), clDefault);

  style->SetColor(clRed);
  style->SetTextColor(clBlue);
  EXPECT_EQ(style->AssignedValues(), (TcxStyleValues{svColor, svTextColor}));
  style->SetColor(clDefault);
  EXPECT_EQ(style->AssignedValues(), (TcxStyleValues{svTextColor}));

  style->Font()->SetHeight(-20);
  EXPECT_TRUE(style->AssignedValues().Contains(svFont));

  TBitmap bitmap;
  bitmap.SetSize(2, 2);
  style->SetBitmap(&bitmap);
  EXPECT_TRUE(style->AssignedValues().Contains(svBitmap));
  TBitmap empty;
  style->SetBitmap(&empty);
  EXPECT_FALSE(style->AssignedValues().Contains(svBitmap));

  // Defaults again; the font keeps its values but is no longer assigned.
  style->SetColor(clLime);
  TCountingListener listener;
  style->AddListener(&listener);
  style->RestoreDefaults();
  EXPECT_TRUE(style->AssignedValues().Empty());
  EXPECT_EQ(style->Color(), clDefault);
  EXPECT_EQ(style->TextColor(), clDefault);
  EXPECT_EQ(style->Font()->Height(), -20);
  EXPECT_EQ(listener.Changed, 1);
  style->RemoveListener(&listener);
}

TEST_F(cxStylesTest, AssignCopiesValuesAndExactlyTheAssignedSet) {
  auto source = Own(Make<TcxStyle>(nullptr));
  source->SetColor(clYellow);
  source->Font()->SetName(L"Courier New");
  source->SetAssignedValues({svColor});   // the font's values go along, unassigned
  auto target = Own(Make<TcxStyle>(nullptr));
  target->SetTextColor(clRed);
  TCountingListener listener;
  target->AddListener(&listener);
  target->Assign(source.get());
  EXPECT_EQ(target->Color(), clYellow);
  EXPECT_EQ(target->Font()->Name(), L"Courier New");
  EXPECT_EQ(target->TextColor(), clDefault);
  EXPECT_EQ(target->AssignedValues(), (TcxStyleValues{svColor}));
  EXPECT_EQ(listener.Changed, 1);
  target->RemoveListener(&listener);
}

// ---------------------------------------------------------------------------
// Listeners and destruction
// ---------------------------------------------------------------------------

TEST_F(cxStylesTest, DestructionEndsWhateverTheListenersDo) {
  // A listener that never leaves, and one that even comes back: the style is
  // freed all the same, and each hears of it once.
  TCountingListener stays, returns, polite;
  stays.LeavesOnRemoval = false;
  returns.ComesBack = true;
  auto* style = Make<TcxStyle>(nullptr);
  style->AddListener(&polite);
  style->AddListener(&stays);
  style->AddListener(&returns);
  style->AddListener(&stays);   // no duplicates
  EXPECT_EQ(style->ListenerCount(), 3);
  TObject::Free(style);
  EXPECT_EQ(stays.Removed, 1);
  EXPECT_EQ(returns.Removed, 1);
  EXPECT_EQ(polite.Removed, 1);
}

TEST_F(cxStylesTest, DestroyingAStyleClearsItsSlotsAndReportsEachIndex) {
  auto owner = Own(Make<TComponent>(nullptr));
  auto styles = Own(Make<TTestStyles>(owner.get()));
  auto* shared = Make<TcxStyle>(nullptr);
  auto other = Own(Make<TcxStyle>(nullptr));
  styles->SetValue(2, shared);
  styles->SetValue(3, other.get());
  styles->SetValue(5, shared);
  EXPECT_EQ(styles->Reported, (std::vector<int>{2, 3, 5}));
  EXPECT_EQ(shared->ListenerCount(), 1);

  shared->SetColor(clRed);
  EXPECT_EQ(styles->Reported, (std::vector<int>{2, 3, 5, 2, 5}));

  styles->Reported.clear();
  TObject::Free(shared);
  EXPECT_EQ(styles->Reported, (std::vector<int>{5, 2}));
  EXPECT_EQ(styles->GetValue(2), nullptr);
  EXPECT_EQ(styles->GetValue(5), nullptr);
  EXPECT_EQ(styles->GetValue(3), other.get());
}

TEST_F(cxStylesTest, ReplacingOneOfTwoSlotsKeepsListeningForTheOther) {
  auto styles = Own(Make<TTestStyles>(nullptr));
  auto* first = Make<TcxStyle>(nullptr);
  auto second = Own(Make<TcxStyle>(nullptr));
  styles->SetValue(1, first);
  styles->SetValue(4, first);
  styles->SetValue(1, second.get());
  EXPECT_EQ(first->ListenerCount(), 1);   // slot 4 still holds it
  styles->Reported.clear();
  TObject::Free(first);                   // slot 4 must not keep a dead style
  EXPECT_EQ(styles->Reported, (std::vector<int>{4}));
  EXPECT_EQ(styles->GetValue(4), nullptr);
  EXPECT_EQ(styles->GetValue(1), second.get());
  styles->SetValue(1, nullptr);
  EXPECT_EQ(second->ListenerCount(), 0);
  EXPECT_EQ(styles->SlotCount(), 0);
}

TEST_F(cxStylesTest, SlotsAreKeptInIndexOrder) {
  auto styles = Own(Make<TTestStyles>(nullptr));
  auto style = Own(Make<TcxStyle>(nullptr));
  for (int index : {9, 1, 5, 3, 7}) styles->SetValue(index, style.get());
  ASSERT_EQ(styles->SlotCount(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(styles->Slots(i).Index, 2 * i + 1);
  styles->Reported.clear();
  styles->SetValue(5, style.get());   // unchanged: nothing
  EXPECT_TRUE(styles->Reported.empty());
  styles->ResetStyles();
  EXPECT_EQ(styles->SlotCount(), 0);
  EXPECT_EQ(style->ListenerCount(), 0);
}

// ---------------------------------------------------------------------------
// Style sheets
// ---------------------------------------------------------------------------

TEST_F(cxStylesTest, SheetChainsFallBackAndRefuseCycles) {
  auto owner = Own(Make<TComponent>(nullptr));
  auto* a = Make<TTestStyleSheet>(owner.get());
  auto* b = Make<TTestStyleSheet>(owner.get());
  auto styleA = Own(Make<TcxStyle>(nullptr));
  auto styleB = Own(Make<TcxStyle>(nullptr));
  a->Styles()->SetValue(1, styleA.get());
  b->Styles()->SetValue(1, styleB.get());
  b->Styles()->SetValue(7, styleB.get());

  a->Styles()->SetStyleSheet(b);           // A -> B
  EXPECT_EQ(a->Styles()->StyleSheet(), b);
  b->Styles()->SetStyleSheet(a);           // B -> A would close the circle
  EXPECT_EQ(b->Styles()->StyleSheet(), nullptr);
  a->Styles()->SetStyleSheet(a);           // its own sheet
  EXPECT_EQ(a->Styles()->StyleSheet(), b);
  auto plain = Own(Make<TcxCustomStyles>(nullptr));
  EXPECT_FALSE(plain->IsValidStyleSheet(a));   // slots of another class
  EXPECT_TRUE(plain->IsValidStyleSheet(nullptr));

  // A user of A sees A's slot first, then B's through the chain, and hears of
  // each index of the chain once when it attaches.
  auto user = Own(Make<TTestStyles>(owner.get()));
  user->SetStyleSheet(a);
  std::sort(user->Reported.begin(), user->Reported.end());
  EXPECT_EQ(user->Reported, (std::vector<int>{1, 7}));
  EXPECT_EQ(user->GetValue(1), styleA.get());
  EXPECT_EQ(user->GetValue(7), styleB.get());
  EXPECT_EQ(user->GetValue(2), nullptr);

  // A change in B reaches users of B only; B's users include A's slots, whose
  // users include this one.
  user->Reported.clear();
  styleB->SetColor(clRed);
  std::sort(user->Reported.begin(), user->Reported.end());
  EXPECT_EQ(user->Reported, (std::vector<int>{1, 7}));

  // Freeing the sheet in the middle detaches its users.
  user->Reported.clear();
  TObject::Free(b);
  EXPECT_EQ(a->Styles()->StyleSheet(), nullptr);
  EXPECT_EQ(user->GetValue(7), nullptr);
  TObject::Free(a);
  EXPECT_EQ(user->StyleSheet(), nullptr);
}

TEST_F(cxStylesTest, SheetValuesAreNotUsedWhileTheOwnerLoads) {
  auto sheetOwner = Own(Make<TComponent>(nullptr));
  auto* sheet = Make<TTestStyleSheet>(sheetOwner.get());
  auto style = Own(Make<TcxStyle>(nullptr));
  sheet->Styles()->SetValue(7, style.get());
  auto user = Own(Make<TStylesUser>(nullptr));
  user->Styles->SetStyleSheet(sheet);
  ReadText("object User: TStylesUser\nend\n", user.get());
  EXPECT_TRUE(user->WasLoading);
  EXPECT_EQ(user->ValueWhileLoading, nullptr);
  EXPECT_EQ(user->Styles->GetValue(7), style.get());
}

TEST_F(cxStylesTest, SheetCaptionAndCopy) {
  auto form = Own(Make<TStyleTestForm>(nullptr));
  auto* repository = Make<TcxStyleRepository>(form.get());
  const auto sheetClass = TcxCustomStyleSheetClass::Of<TTestStyleSheet>();
  auto* sheet = static_cast<TTestStyleSheet*>(repository->CreateStyleSheetEx(sheetClass, form.get()));
  sheet->SetName(L"Sheet1");
  EXPECT_EQ(sheet->Caption(), L"Sheet1");
  sheet->SetCaption(L"SHEET1");
  EXPECT_EQ(sheet->Caption(), L"Sheet1");
  sheet->SetName(L"Renamed");
  EXPECT_EQ(sheet->Caption(), L"Renamed");
  sheet->SetCaption(L"Dark");
  EXPECT_EQ(sheet->Caption(), L"Dark");

  auto* style = static_cast<TcxStyle*>(repository->CreateItemEx(TcxCustomStyleClass::Of<TcxStyle>(), form.get()));
  style->SetColor(clNavy);
  sheet->Styles()->SetValue(3, style);
  auto* copy = static_cast<TTestStyleSheet*>(repository->CreateStyleSheetEx(sheetClass, form.get()));
  copy->CopyFrom(sheet);
  auto* copied = dynamic_cast<TcxStyle*>(copy->Styles()->GetValue(3));
  ASSERT_NE(copied, nullptr);
  EXPECT_NE(copied, style);
  EXPECT_EQ(copied->Color(), clNavy);
  EXPECT_EQ(copied->StyleRepository(), repository);
  EXPECT_EQ(copied->Owner(), form.get());
  EXPECT_EQ(repository->Count(), 2);
  EXPECT_EQ(copy->Index(), 1);
}

// ---------------------------------------------------------------------------
// Repository and the component stream
// ---------------------------------------------------------------------------

TEST_F(cxStylesTest, RepositoryListsAndFreesItsStyles) {
  auto form = Own(Make<TComponent>(nullptr));
  auto* repository = Make<TcxStyleRepository>(form.get());
  TcxCustomStyle* own = repository->CreateItem(TcxCustomStyleClass::Of<TcxStyle>());
  TcxCustomStyle* formOwned = repository->CreateItemEx(TcxCustomStyleClass::Of<TcxStyle>(), form.get());
  EXPECT_EQ(own->Owner(), repository);
  EXPECT_EQ(formOwned->Owner(), form.get());
  EXPECT_EQ(repository->Count(), 2);
  EXPECT_EQ(formOwned->Index(), 1);
  EXPECT_EQ(formOwned->GetParentComponent(), repository);
  EXPECT_THROW(repository->CreateItem(TcxCustomStyleClass(TComponent::StaticClass())), EInvalidCast);
  EXPECT_THROW(formOwned->SetParentComponent(form.get()), EInvalidCast);

  TObject::Free(own);   // a style freed elsewhere leaves the repository
  EXPECT_EQ(repository->Count(), 1);
  EXPECT_EQ(formOwned->Index(), 0);
  const int before = form->ComponentCount();
  repository->Clear();
  EXPECT_EQ(repository->Count(), 0);
  EXPECT_EQ(form->ComponentCount(), before - 1);
}

TEST_F(cxStylesTest, StylesRoundTripThroughTheComponentStream) {
  auto form = Own(Make<TStyleTestForm>(nullptr));
  form->SetName(L"StyleForm");
  auto* repository = Make<TcxStyleRepository>(form.get());
  repository->SetName(L"Repository");
  auto* style1 = static_cast<TcxStyle*>(repository->CreateItemEx(TcxCustomStyleClass::Of<TcxStyle>(), form.get()));
  style1->SetName(L"Style1");
  style1->SetColor(clRed);
  style1->Font()->SetName(L"Tahoma");
  style1->Font()->SetHeight(-13);
  TBitmap bitmap;
  bitmap.SetSize(3, 2);
  style1->SetBitmap(&bitmap);
  auto* style2 = static_cast<TcxStyle*>(repository->CreateItemEx(TcxCustomStyleClass::Of<TcxStyle>(), form.get()));
  style2->SetName(L"Style2");   // nothing assigned: nothing written

  const std::string text = ToText(form.get());
  EXPECT_NE(text.find("object Repository: TcxStyleRepository"), std::string::npos) << text;
  EXPECT_NE(text.find("PixelsPerInch = "), std::string::npos) << text;
  EXPECT_NE(text.find("object Style1: TcxStyle"), std::string::npos) << text;
  EXPECT_NE(text.find("AssignedValues = [svBitmap, svColor, svFont]"), std::string::npos) << text;
  EXPECT_NE(text.find("Color = clRed"), std::string::npos) << text;
  EXPECT_NE(text.find("Font.Height = -13"), std::string::npos) << text;
  EXPECT_NE(text.find("Bitmap.Data"), std::string::npos) << text;
  EXPECT_EQ(text.find("TextColor"), std::string::npos) << text;
  const size_t style2At = text.find("object Style2: TcxStyle");
  ASSERT_NE(style2At, std::string::npos) << text;
  EXPECT_EQ(text.find("Color", style2At), std::string::npos) << text;
  // The styles are written inside their repository's block.
  EXPECT_LT(text.find("object Repository"), text.find("object Style1"));

  auto loaded = Own(Make<TStyleTestForm>(nullptr));
  ReadText(text, loaded.get());
  ASSERT_NE(loaded->Repository, nullptr);
  ASSERT_NE(loaded->Style1, nullptr);
  EXPECT_EQ(loaded->Repository->Count(), 2);
  EXPECT_EQ(loaded->Style1->StyleRepository(), loaded->Repository);
  EXPECT_EQ(loaded->Style1->Owner(), loaded.get());
  EXPECT_EQ(loaded->Style1->AssignedValues(), (TcxStyleValues{svBitmap, svColor, svFont}));
  EXPECT_EQ(loaded->Style1->Color(), clRed);
  EXPECT_EQ(loaded->Style1->Font()->Height(), -13);
  EXPECT_EQ(loaded->Style1->Bitmap()->Width(), 3);
  EXPECT_TRUE(loaded->Style2->AssignedValues().Empty());
  EXPECT_EQ(loaded->Repository->PixelsPerInch(), ScreenPixelsPerInch());
}

TEST_F(cxStylesTest, FontHeightsScaleFromTheStoredResolution) {
  const int screen = ScreenPixelsPerInch();
  const int other = screen == 96 ? 120 : 96;
  struct Case {
    const char* name;
    bool scalable;
    int storedPpi;   // 0: none stored
    bool fontAssigned;
    int expected;
  };
  const Case cases[] = {
      {"scaled", true, other, true, MulDiv(-14, screen, other)},
      {"not scalable", false, other, true, -14},
      {"same resolution", true, screen, true, -14},
      {"no stored resolution", true, 0, true, -14},
      // An unassigned font is not written; loading leaves it alone (rescaling would assign it).
      {"font not assigned", true, other, false, DefaultFontData().Height},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = "object StyleForm: TStyleTestForm\n  object Repository: TcxStyleRepository\n";
    if (c.scalable) text += "    Scalable = True\n";
    if (c.storedPpi) text += "    PixelsPerInch = " + std::to_string(c.storedPpi) + "\n";
    text += "    object Style1: TcxStyle\n";
    if (c.fontAssigned) text += "      AssignedValues = [svFont]\n      Font.Height = -14\n";
    text += "    end\n  end\nend\n";
    auto form = Own(Make<TStyleTestForm>(nullptr));
    ReadText(text, form.get());
    ASSERT_NE(form->Style1, nullptr);
    EXPECT_EQ(form->Style1->Font()->Height(), c.expected);
    EXPECT_EQ(form->Style1->AssignedValues().Contains(svFont), c.fontAssigned);
  }
  // 96 -> 120 is the example of the rounding: -11 becomes -14.
  EXPECT_EQ(MulDiv(-11, 120, 96), -14);
}

TEST_F(cxStylesTest, AStyleOfTheAncestorFormStandsForTheInheritingFormsStyle) {
  auto base = Own(Make<TStyleTestForm>(nullptr));
  auto* baseStyle = Make<TcxStyle>(base.get());
  baseStyle->SetName(L"Highlight");
  auto derived = Own(Make<TStyleTestDerivedForm>(nullptr));
  auto* ownStyle = Make<TcxStyle>(derived.get());
  ownStyle->SetName(L"Highlight");
  auto* item = Make<TComponent>(derived.get());
  auto styles = Own(Make<TTestStyles>(item));
  styles->SetValue(0, baseStyle);
  EXPECT_EQ(styles->GetValue(0), ownStyle);
  // A style of the same form is taken as it is.
  styles->SetValue(1, ownStyle);
  EXPECT_EQ(styles->GetValue(1), ownStyle);
}

TEST_F(cxStylesTest, StyleIsRegisteredForStreaming) { EXPECT_EQ(GetClass(L"TcxStyle"), TcxStyle::StaticClass()); }

}  // namespace
