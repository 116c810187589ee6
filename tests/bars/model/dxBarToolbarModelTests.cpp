// Bar components, groups and toolbars as the model keeps them: the design-time
// selection protocol, the object lists, a toolbar's settings, docks and
// merge bookkeeping, without windows.
#include "tests/bars/model/dxBarTestSupport.h"

#include "bars/model/dxBarStrs.h"

#include <gtest/gtest.h>

namespace {

class TDesignBarForm : public TBarTestForm {
 public:
  TDesignBarForm() : TBarTestForm(nullptr) {}
  using TComponent::SetDesigning;
};

// A designer that records what it is asked and answers as told.
struct TRecordingDesigner : IdxBarDesigner {
  bool AllowDelete = true;
  TdxBarSelectionStatus Status = ssActiveSelected;
  std::vector<std::pair<TPersistent*, TdxBarSelectionOperation>> Selected;
  bool CanDeleteComponent(TComponent*) override { return AllowDelete; }
  TdxBarSelectionStatus GetSelectionStatus(TPersistent*) override { return Status; }
  void SelectObject(TPersistent* AObject, TdxBarSelectionOperation AOperation) override {
    Selected.emplace_back(AObject, AOperation);
  }
  String UniqueName(const String& ABaseName) override { return ABaseName; }
  void ShowDefaultEventHandler(TComponent*) override {}
};

TRecordingDesigner* gDesigner = nullptr;
IdxBarDesigner* ProvideDesigner(TdxBarManager*) { return gDesigner; }

class TDesignerScope {
 public:
  explicit TDesignerScope(TRecordingDesigner* ADesigner) : FSaved(dxBarDesignerLookup()) {
    gDesigner = ADesigner;
    dxBarDesignerLookup() = &ProvideDesigner;
  }
  ~TDesignerScope() {
    dxBarDesignerLookup() = FSaved;
    gDesigner = nullptr;
  }

 private:
  TdxBarDesignerLookup FSaved;
};

// A free-standing dock of some manager.
class TOwnedFakeDock : public TFakeDock {
 public:
  TOwnedFakeDock(TdxBarDockingStyle AStyle, TdxBarManager* AManager) : TFakeDock(AStyle, TRect()), Manager(AManager) {}
  TdxBarManager* DockBarManager() override { return Manager; }
  TdxBarManager* Manager;
};

// A component that records the removals it hears of.
class TRemovalListener : public TComponent {
  DECLARE_CLASS(TRemovalListener, TComponent)
  explicit TRemovalListener(TComponent* AOwner) : TComponent(AOwner) {}
  void Notification(TComponent* AComponent, TOperation AOperation) override {
    TComponent::Notification(AComponent, AOperation);
    if (AOperation == opRemove) Heard.push_back(AComponent);
  }
  std::vector<TComponent*> Heard;
};
IMPLEMENT_CLASS(TRemovalListener, TComponent, nullptr)

struct TStyleChanges : TObject {
  int Count = 0;
  void Changed(TdxBarManager*, TdxBar*) { ++Count; }
};

class dxBarToolbarModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(Make<TBarTestForm>(nullptr));
    manager = Make<TdxBarManager>(form.get());
  }
  TObjectPtr<TBarTestForm> form;
  TdxBarManager* manager = nullptr;
};

}  // namespace

TEST(dxObjectList, CopiesAddAndAnswerTheirEnds) {
  TObject a, b;
  TdxObjectList source, unique;
  EXPECT_EQ(source.First(), nullptr);
  EXPECT_EQ(source.Last(), nullptr);
  source.Add(&a);
  source.Add(&b);
  unique.Add(&b);
  unique.AddList(&source);
  EXPECT_EQ(unique.Count(), 2);
  EXPECT_EQ(unique.First(), &b);
  EXPECT_EQ(unique.Last(), &a);
  // Into a plain list everything goes, after the list was cleared.
  TObjectList plain(false);
  plain.Add(&a);
  source.CopyTo(&plain);
  ASSERT_EQ(plain.Count(), 2);
  EXPECT_EQ(plain.Get(0), &a);
  TdxObjectList copy;
  copy.CopyFrom(&plain);
  EXPECT_EQ(copy.Count(), 2);
}

TEST_F(dxBarToolbarModelTest, NestedGroupsPassVisibilityAndSkipMissingStoredMembers) {
  TdxBarGroup* outer = manager->CreateGroup();
  TdxBarGroup* inner = manager->CreateGroup();
  TdxBarButton* a = manager->AddButton();
  TdxBarButton* b = manager->AddButton();
  a->SetName(L"btnA");
  b->SetName(L"btnB");
  inner->Add(a);
  outer->Add(inner);
  outer->Add(b);
  outer->SetVisible(ivInCustomizing);
  EXPECT_EQ(a->Visible(), ivInCustomizing);
  EXPECT_EQ(inner->Visible(), ivInCustomizing);
  EXPECT_EQ(b->Visible(), ivInCustomizing);
  inner->SetName(L"grpInner");
  outer->SetName(L"grpOuter");

  String text = stdtest::WriteDefinition(form.get());
  // A stored member whose component is gone is skipped.
  const size_t at = text.find(L"'btnB'");
  ASSERT_NE(at, String::npos);
  text.replace(at, 6, L"'btnGone'");
  TObjectPtr<TBarTestForm> copy(ReadBarForm(std::string(text.begin(), text.end())));
  auto* readOuter = dynamic_cast<TdxBarGroup*>(copy->FindComponent(L"grpOuter"));
  ASSERT_NE(readOuter, nullptr);
  ASSERT_EQ(readOuter->Count(), 1);
  EXPECT_EQ(readOuter->Items(0), copy->FindComponent(L"grpInner"));
}

TEST_F(dxBarToolbarModelTest, SelectionAnswersNeutrallyWithoutDesigner) {
  // A plain bar component (items answer for themselves).
  TdxBarGroup* button = manager->CreateGroup();
  EXPECT_TRUE(button->MayBeDeleted(true));
  EXPECT_EQ(button->DesignSelectionState(), ssUnselected);
  EXPECT_FALSE(button->IsDesignSelected());
  EXPECT_EQ(button->SelectableParentObject(), form.get());
  EXPECT_EQ(button->SelectableInstance(), button);
  EXPECT_EQ(button->SupportedCustomizationActions(), TdxBarCustomizationActions{caDelete});
  EXPECT_FALSE(button->SelectParentInDesigner());
  TdxObjectList masters;
  button->CollectMasterObjects(&masters);
  EXPECT_EQ(masters.First(), form.get());

  TdxBar* first = manager->AddToolBar();
  TdxBar* second = manager->AddToolBar();
  EXPECT_EQ(first->FollowingSelectable(), second);
  EXPECT_EQ(second->FollowingSelectable(), first);
  // At run time a user's toolbar that may be closed may be deleted; a designed one not.
  EXPECT_TRUE(first->MayBeDeleted(true));
  first->SetAllowClose(false);
  EXPECT_FALSE(first->MayBeDeleted(true));
  IdxBarSelectableItem* reference = second;
  second->DeleteFromDesigner(reference, true);
  EXPECT_EQ(reference, nullptr);
  EXPECT_EQ(manager->Bars()->Count(), 1);
  EXPECT_EQ(first->FollowingSelectable(), nullptr);
}

TEST(dxBarSelection, DesignerDecidesDeletionAndSelection) {
  TObjectPtr<TDesignBarForm> form(Make<TDesignBarForm>());
  TdxBarManager* manager = Make<TdxBarManager>(form.get());
  form->SetDesigning(true);
  TRecordingDesigner designer;
  TDesignerScope scope(&designer);
  TdxBarButton* button = manager->AddButton();
  TdxBar* bar = manager->AddToolBar();
  EXPECT_TRUE(button->IsDesignSelected());
  EXPECT_TRUE(bar->IsDesignSelected());
  designer.AllowDelete = false;
  IdxBarSelectableItem* reference = button;
  button->DeleteFromDesigner(reference, true);
  EXPECT_EQ(reference, button);  // refused: nothing freed
  EXPECT_FALSE(bar->MayBeDeleted(true));
  button->SelectInDesigner(soAdd);
  EXPECT_TRUE(bar->SelectParentInDesigner());
  ASSERT_EQ(designer.Selected.size(), 2u);
  EXPECT_EQ(designer.Selected[0].first, button);
  EXPECT_EQ(designer.Selected[0].second, soAdd);
  // Without a dock window the toolbar's parent object is the form.
  EXPECT_EQ(designer.Selected[1].first, form.get());
  EXPECT_EQ(designer.Selected[1].second, soExclusive);
  form->SetDesigning(false);
}

TEST_F(dxBarToolbarModelTest, SettersClampRefuseAndForce) {
  TdxBar* bar = manager->AddToolBar();
  TdxBar* other = manager->AddToolBar();
  other->SetCaption(L"Tools");
  bar->SetCaption(L"Tools");
  EXPECT_NE(bar->Caption(), L"Tools");
  bar->SetDockedLeft(-5);
  EXPECT_EQ(bar->DockedLeft(), 0);
  bar->SetIsMainMenu(true);
  EXPECT_TRUE(bar->WholeRow());
  EXPECT_TRUE(bar->MultiLine());
  EXPECT_EQ(manager->MainMenuBar(), bar);
  bar->SetMultiLine(false);
  EXPECT_TRUE(bar->MultiLine()) << "the main menu keeps several lines";
  other->SetIsMainMenu(true);
  EXPECT_FALSE(bar->IsMainMenu());
  EXPECT_FALSE(bar->WholeRow());
  EXPECT_FALSE(bar->IsClosable() && other->IsClosable());
  bar->SetIsNameLocked(true);
  bar->SetName(L"LegacyName");
  bar->SetIsNameLocked(false);
  EXPECT_EQ(bar->OldName(), L"LegacyName");
  EXPECT_NE(bar->Name(), L"LegacyName");
  bar->SetLockUpdate(true);
  EXPECT_TRUE(manager->IsUpdateLocked());
  bar->SetLockUpdate(false);
  EXPECT_FALSE(manager->IsUpdateLocked());
}

TEST_F(dxBarToolbarModelTest, AssignCopiesTheListedSettingsOnly) {
  TdxBar* source = manager->AddToolBar();
  source->SetCaption(L"Source");
  source->SetAllowClose(false);
  source->SetDockingStyle(dsLeft);
  source->SetDockedTop(40);
  source->SetRow(2);
  source->SetUseRestSpace(true);
  source->SetAlphaBlendValue(100);
  source->SetKeyTip(L"S");
  source->SetMultiLine(true);
  TdxBar* target = manager->AddToolBar();
  target->Assign(source);
  EXPECT_FALSE(target->AllowClose());
  EXPECT_EQ(target->DockingStyle(), dsLeft);
  EXPECT_EQ(target->DockedTop(), 40);
  EXPECT_EQ(target->Row(), 2);
  EXPECT_TRUE(target->UseRestSpace());
  EXPECT_NE(target->Caption(), L"Source");  // a caption the manager has already
  EXPECT_EQ(target->AlphaBlendValue(), 255);
  EXPECT_EQ(target->KeyTip(), L"");
  EXPECT_FALSE(target->MultiLine());
}

TEST_F(dxBarToolbarModelTest, DockControlsSetTheStyleAndForeignOnesAreIgnored) {
  TStyleChanges changes;
  manager->OnBarDockingStyleChange = TdxBarEvent::Bind<&TStyleChanges::Changed>(&changes);
  TdxBar* bar = manager->AddToolBar();
  TOwnedFakeDock own(dsLeft, manager), foreign(dsRight, nullptr);
  TObjectPtr<TBarTestForm> otherForm(Make<TBarTestForm>(nullptr));
  foreign.Manager = Make<TdxBarManager>(otherForm.get());
  bar->SetDockControl(&own);
  EXPECT_EQ(bar->DockControl(), &own);
  EXPECT_EQ(bar->DockingStyle(), dsLeft);
  EXPECT_EQ(bar->RealDockControl(), &own);
  EXPECT_EQ(changes.Count, 1);
  bar->SetDockControl(&foreign);
  bar->SetDockedDockControl(&foreign);
  bar->Move(&foreign, 0, 10);
  EXPECT_EQ(bar->DockControl(), &own);
  EXPECT_EQ(bar->DockedDockControl(), nullptr);
  // A side dock given to ChangeDockingStyle counts as none: the side dock takes the bar.
  bar->ChangeDockingStyle(dsTop, manager->Bars()->DockControls(dsTop));
  EXPECT_EQ(bar->DockControl(), nullptr);
  EXPECT_EQ(bar->DockingStyle(), dsTop);
  EXPECT_EQ(bar->RealDockControl(), manager->Bars()->DockControls(dsTop));
  EXPECT_EQ(changes.Count, 2);
  bar->Move(5, 6);
  EXPECT_EQ(bar->DockingStyle(), dsNone);
  EXPECT_EQ(bar->RealDockControl(), nullptr);
  EXPECT_EQ(bar->FloatLeft(), 5);
  EXPECT_EQ(bar->FloatTop(), 6);
  // A dock that goes leaves the bar without it.
  bar->SetDockedDockControl(&own);
  bar->DockControlRemoving(&own, true);
  EXPECT_EQ(bar->DockedDockControl(), nullptr);
  manager->OnBarDockingStyleChange = nullptr;
}

TEST_F(dxBarToolbarModelTest, SubItemsHearWhenTheirToolbarGoes) {
  TdxBar* bar = manager->AddToolBar();
  TObjectPtr<TRemovalListener> first(Make<TRemovalListener>(nullptr)), second(Make<TRemovalListener>(nullptr));
  bar->AddFreeNotification(first.get());
  bar->AddFreeNotification(second.get());
  bar->RemoveFreeNotification(second.get());
  TObject::Free(bar);
  EXPECT_EQ(first->Heard, std::vector<TComponent*>{bar});
  EXPECT_TRUE(second->Heard.empty());
}

// Names are compared as the form compares its components' names: a name
// that differs only in case is taken too.
TEST_F(dxBarToolbarModelTest, NewToolbarsAreNamedAfterTheManager) {
  manager->SetName(L"BarManager");
  TdxBar* first = manager->Bars()->Add();
  EXPECT_EQ(first->Name(), L"BarManagerBar1");
  EXPECT_EQ(manager->Bars()->Add()->Name(), L"BarManagerBar2");
  first->SetName(L"barmanagerbar3");
  EXPECT_EQ(manager->Bars()->Add()->Name(), L"BarManagerBar1");
  EXPECT_EQ(manager->Bars()->Add()->Name(), L"BarManagerBar4");
}
