// Screen tips and their repository: names, the header that follows a
// rename, the fonts a repository hands out and which of them it stores,
// the standard footer, copies, and a repository read from a stored
// definition.
#include "tests/bars/model/dxBarTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

template <class T>
using Owned = std::unique_ptr<T, void (*)(TObject*)>;

class dxBarScreenTipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    repository = Make<TdxBarScreenTipRepository>(form.get());
    repository->SetName(L"Repo");
  }
  Owned<TComponent> form{Make<TComponent>(nullptr), &TObject::Free};
  TdxBarScreenTipRepository* repository = nullptr;
};

TEST_F(dxBarScreenTipTest, NewTipsTakeUniqueNamesAndTheHeaderFollowsARename) {
  TdxBarScreenTip* first = repository->Items()->Add();
  TdxBarScreenTip* second = repository->Items()->Add();
  EXPECT_EQ(first->Name(), L"RepoScreenTip1");
  EXPECT_EQ(second->Name(), L"RepoScreenTip2");
  EXPECT_EQ(first->Owner(), form.get());
  EXPECT_EQ(first->Repository(), repository);
  EXPECT_EQ(first->Header()->Text(), L"RepoScreenTip1");
  EXPECT_EQ(first->GetDisplayName(), L"RepoScreenTip1 - 'RepoScreenTip1'");

  first->SetName(L"OpenTip");
  EXPECT_EQ(first->Header()->Text(), L"OpenTip");
  second->Header()->SetText(L"保存");
  second->SetName(L"SaveTip");
  EXPECT_EQ(second->Header()->Text(), L"保存");

  TObject::Free(first);
  EXPECT_EQ(repository->Items()->Count(), 1);
}

TEST_F(dxBarScreenTipTest, FontsAreTheSystemHintFontUntilSet) {
  for (TdxBarScreenTipBandType type : {stbHeader, stbDescription, stbFooter}) {
    SCOPED_TRACE(EnumName(type));
    TFont* font = repository->BandFont(type);
    EXPECT_EQ(font->Color(), TColor(0x4C4C4C));
    EXPECT_EQ(font->Style().Contains(fsBold), type != stbDescription);
    EXPECT_EQ(font->Name(), Screen->HintFont()->Name());
  }
  EXPECT_TRUE(repository->AssignedFonts().Empty());
  repository->HeaderFont()->SetColor(clRed);
  EXPECT_EQ(repository->AssignedFonts(), TdxScreenTipRepositoryFonts{stbHeader});
  EXPECT_EQ(repository->BandFont(stbHeader), repository->HeaderFont());
  EXPECT_NE(repository->BandFont(stbFooter), repository->FooterFont());

  TdxBarScreenTip* tip = repository->Items()->Add();
  EXPECT_EQ(tip->Header()->Font(), repository->HeaderFont());
  EXPECT_EQ(tip->Description()->Font()->Color(), TColor(0x4C4C4C));
}

TEST_F(dxBarScreenTipTest, StandardFooterStandsInWhenAsked) {
  TdxBarScreenTip* tip = repository->Items()->Add();
  EXPECT_EQ(tip->BandForType(stbFooter), tip->Footer());
  tip->SetUseStandardFooter(true);
  EXPECT_EQ(tip->BandForType(stbFooter), repository->StandardFooter());
  EXPECT_EQ(tip->BandForType(stbDescription), tip->Description());
  EXPECT_FALSE(dxBarScreenTipBandShown(repository->StandardFooter(), String()));
  EXPECT_TRUE(dxBarScreenTipBandShown(tip->Header(), String()));
  tip->Header()->SetText(String());
  EXPECT_FALSE(dxBarScreenTipBandShown(tip->Header(), String()));
  EXPECT_TRUE(dxBarScreenTipBandShown(tip->Header(), L"item hint"));
  EXPECT_EQ(tip->EffectiveWidth(), 210);
}

TEST_F(dxBarScreenTipTest, AssignCopiesTheBandsAndSettings) {
  TdxBarScreenTip* tip = repository->Items()->Add();
  tip->Description()->SetText(L"说明");
  tip->Description()->SetTextAlign(stbtaLeft);
  tip->SetWidth(300);
  tip->SetUseHintAsHeader(true);
  TdxBarScreenTip* copy = repository->Items()->Add();
  copy->Assign(tip);
  EXPECT_EQ(copy->Description()->Text(), L"说明");
  EXPECT_EQ(copy->Description()->TextAlign(), stbtaLeft);
  EXPECT_EQ(copy->Header()->Text(), tip->Header()->Text());
  EXPECT_EQ(copy->Width(), 300);
  EXPECT_TRUE(copy->UseHintAsHeader());
}

TEST(dxBarItemScreenTip, IsForgottenWhenTheTipIsFreed) {
  Owned<TBarTestForm> form(Make<TBarTestForm>(nullptr), &TObject::Free);
  TdxBarManager* manager = Make<TdxBarManager>(form.get());
  auto* repository = Make<TdxBarScreenTipRepository>(form.get());
  TdxBarItem* button = manager->AddButton();
  TdxBarScreenTip* tip = repository->Items()->Add();
  button->SetScreenTip(tip);
  EXPECT_EQ(button->ScreenTip(), tip);
  TObject::Free(tip);
  EXPECT_EQ(button->ScreenTip(), nullptr);
  button->SetScreenTip(repository->Items()->Add());
  TObject::Free(repository);
  EXPECT_EQ(button->ScreenTip(), nullptr) << "the repository frees its tips";
}

TEST(dxBarScreenTipStream, RepositoryAndTipsReadFromAStoredDefinition) {
  RegisterClass(TdxBarScreenTipRepository::StaticClass());
  const std::string text = R"(object Form1: TBarTestForm
  object Tips: TdxBarScreenTipRepository
    DescriptionFont.Color = clRed
    ShowDescription = False
    StandardFooter.Text = 'F1'
    Left = 8
    Top = 8
    object OpenTip: TdxBarScreenTip
      Header.Text = 'Open'
      Description.Text = 'Opens a file'
      Description.TextAlign = stbtaLeft
      UseStandardFooter = True
      Width = 250
    end
  end
end
)";
  std::unique_ptr<TBarTestForm, void (*)(TObject*)> form(ReadBarForm(text), &TObject::Free);
  UnRegisterClass(TdxBarScreenTipRepository::StaticClass());
  auto* repository = dynamic_cast<TdxBarScreenTipRepository*>(form->FindComponent(L"Tips"));
  ASSERT_NE(repository, nullptr);
  EXPECT_FALSE(repository->ShowDescription());
  EXPECT_TRUE(repository->AssignedFonts().Empty()) << "fonts read while loading are not marked as set";
  EXPECT_EQ(repository->StandardFooter()->Text(), L"F1");
  ASSERT_EQ(repository->Items()->Count(), 1);
  TdxBarScreenTip* tip = repository->Items()->Items(0);
  EXPECT_EQ(tip->Name(), L"OpenTip");
  EXPECT_EQ(tip->Header()->Text(), L"Open");
  EXPECT_EQ(tip->Description()->TextAlign(), stbtaLeft);
  EXPECT_TRUE(tip->UseStandardFooter());
  EXPECT_EQ(tip->EffectiveWidth(), 250);
}

}  // namespace
