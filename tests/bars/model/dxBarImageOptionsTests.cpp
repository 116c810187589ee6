// The manager's image options and backgrounds: glyph size, image lists that
// go away, the items that hear of a changed list; and what restyles the bars.
#include "tests/bars/model/dxBarFakeCustomization.h"
#include "tests/bars/model/dxBarTestSupport.h"
#include "tests/support/ScopedHook.h"

#include "foundation/dxThemeManager.h"
#include "platform/gui/ImgList.h"

#include <gtest/gtest.h>

namespace {

using NameList = std::vector<String>;

class TStyleCountingManager : public TdxBarManager {
  DECLARE_CLASS(TStyleCountingManager, TdxBarManager)
  explicit TStyleCountingManager(TComponent* AOwner) : TdxBarManager(AOwner) {}
  void StyleChanged() override {
    ++StyleChanges;
    TdxBarManager::StyleChanged();
  }
  int StyleChanges = 0;
};
IMPLEMENT_CLASS(TStyleCountingManager, TdxBarManager, nullptr)

class dxBarImageOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(Make<TBarTestForm>(nullptr));
    manager = Make<TStyleCountingManager>(form.get());
    options = manager->ImageOptions();
  }
  TObjectPtr<TBarTestForm> form;
  TStyleCountingManager* manager = nullptr;
  TdxBarImageOptions* options = nullptr;
};

TEST_F(dxBarImageOptionsTest, GlyphSizeFollowsLargeIconsAndTheLargeImages) {
  auto* large = Make<TImageList>(form.get(), 24, 24);
  const struct {
    bool largeIcons, useLargeImages, hasLargeImages;
    int size;
  } cases[] = {
      {false, false, false, 16}, {false, true, true, 16}, {true, false, true, 32},
      {true, true, false, 32},   {true, true, true, 24},
  };
  for (const auto& c : cases) {
    options->SetLargeImages(c.hasLargeImages ? large : nullptr);
    options->SetUseLargeImagesForLargeIcons(c.useLargeImages);
    manager->SetLargeIcons(c.largeIcons);
    EXPECT_EQ(options->GlyphSize(), c.size) << c.largeIcons << c.useLargeImages << c.hasLargeImages;
  }
  // The large images' own width when they are swapped while they serve.
  options->SetLargeImages(Make<TImageList>(form.get(), 48, 48));
  EXPECT_EQ(options->GlyphSize(), 48);
  // An open customization form shows the option: it hears of each change.
  TFakeCustomization customization;
  TScopedHook<IdxBarCustomization*> seam(dxBarCustomization(), &customization);
  manager->SetLargeIcons(false);
  manager->SetLargeIcons(false);
  EXPECT_EQ(customization.OptionsChanges, 1);
}

TEST_F(dxBarImageOptionsTest, AListThatGoesAwayLeavesEveryPropertyThatHeldIt) {
  auto* list = Make<TImageList>(form.get());
  options->SetImages(list);
  options->SetHotImages(list);
  options->SetDisabledImages(list);
  options->SetLargeImages(list);
  options->SetDisabledLargeImages(list);
  TObject::Free(list);
  EXPECT_EQ(options->Images(), nullptr);
  EXPECT_EQ(options->HotImages(), nullptr);
  EXPECT_EQ(options->DisabledImages(), nullptr);
  EXPECT_EQ(options->LargeImages(), nullptr);
  EXPECT_EQ(options->DisabledLargeImages(), nullptr);
}

TEST_F(dxBarImageOptionsTest, AssignCopiesAllButTheGlyphCache) {
  TObjectPtr<TBarTestForm> otherForm(Make<TBarTestForm>(nullptr));
  TdxBarImageOptions* source = Make<TdxBarManager>(otherForm.get())->ImageOptions();
  auto* images = Make<TImageList>(otherForm.get());
  source->SetImages(images);
  source->SetLargeIcons(true);
  source->SetImageListBkColor(clLime);
  source->SetStretchGlyphs(false);
  source->SetUseLeftBottomPixelAsTransparent(false);
  source->SetCacheGlyphs(false);
  options->Assign(source);
  EXPECT_EQ(options->Images(), images);
  EXPECT_TRUE(manager->LargeIcons());
  EXPECT_EQ(options->GlyphSize(), 32);
  EXPECT_EQ(options->ImageListBkColor(), clLime);
  EXPECT_FALSE(options->StretchGlyphs());
  EXPECT_FALSE(options->UseLeftBottomPixelAsTransparent());
  EXPECT_TRUE(options->CacheGlyphs());
  options->SetImages(nullptr);
}

TEST_F(dxBarImageOptionsTest, ItemsWithAnImageHearOfAChangedImageList) {
  dxBarAddItemClassToRegistry(TdxBarButton::StaticClass(), TTestItemControl::StaticClass());
  {
    TMenuLinksOwner menu(manager);
    TdxBarButton* withImage = manager->AddButton();
    withImage->SetImageIndex(2);
    TdxBarButton* without = manager->AddButton();
    menu.Links->Add(withImage);
    menu.Links->Add(without);
    menu.Links->CreateBarControl();
    auto notices = [&](int AIndex) {
      auto& list = static_cast<TTestItemControl*>(menu.Links->Items(AIndex)->Control())->Notices;
      const std::vector<String> copy = list;
      list.clear();
      return copy;
    };
    for (int i = 0; i < 2; ++i) menu.Links->Items(i)->CreateControl(), notices(i);
    auto* list = Make<TImageList>(form.get());
    options->SetImages(list);
    EXPECT_EQ(notices(0), NameList{L"image"});
    EXPECT_EQ(notices(1), NameList{});
    // A large image list concerns items with a large image only.
    options->SetLargeImages(list);
    EXPECT_EQ(notices(0), NameList{});
    options->SetImages(nullptr);
    options->SetLargeImages(nullptr);
  }
  dxBarRemoveItemClassFromRegistry(TdxBarButton::StaticClass());
}

TEST_F(dxBarImageOptionsTest, ANewBarBackgroundRestylesClearingAnEmptyOneDoesNot) {
  TdxBarBackgrounds* backgrounds = manager->Backgrounds();
  manager->StyleChanges = 0;
  backgrounds->SetBar(nullptr);
  EXPECT_EQ(manager->StyleChanges, 0);
  TObjectPtr<TBitmap> picture(Make<TBitmap>(8, 8));
  backgrounds->SetBar(picture.get());
  EXPECT_FALSE(backgrounds->Bar()->Empty());
  EXPECT_GE(manager->StyleChanges, 1);
  manager->StyleChanges = 0;
  backgrounds->SetSubMenu(picture.get());
  EXPECT_EQ(manager->StyleChanges, 0);
  EXPECT_FALSE(backgrounds->SubMenu()->Empty());
  backgrounds->SetBar(nullptr);
  EXPECT_TRUE(backgrounds->Bar()->Empty());
  EXPECT_GE(manager->StyleChanges, 1);
}

TEST_F(dxBarImageOptionsTest, EachTriggerRestylesTheBarsOnce) {
  const struct {
    const char* what;
    std::function<void()> change;
    int restyles;
  } cases[] = {
      {"style", [&] { manager->SetStyle(bmsFlat); }, 1},
      {"same style", [&] { manager->SetStyle(bmsFlat); }, 0},
      {"not docking", [&] { manager->SetNotDocking({dsLeft}); }, 1},
      {"same not docking", [&] { manager->SetNotDocking({dsLeft}); }, 0},
      {"look-and-feel", [&] { manager->LookAndFeel()->SetKind(lfOffice11); }, 1},
      {"theme",
       [&] {
         if (TdxThemeChangedEventReceiver* receiver = dxThemeChangedEventReceiver())
           SendMessageW(receiver->WindowHandle(), WM_THEMECHANGED, 0, 0);
         else
           manager->SetStyle(bmsStandard);  // without the visual-style library no theme changes come
       },
       1},
  };
  for (const auto& c : cases) {
    manager->StyleChanges = 0;
    c.change();
    EXPECT_EQ(manager->StyleChanges, c.restyles) << c.what;
  }
}

TEST(dxBarImageOptions, SettingsAndBackgroundReadBackFromTheStoredDefinition) {
  TObjectPtr<TBarTestForm> form(Make<TBarTestForm>(nullptr));
  form->SetName(L"Form1");
  auto* manager = Make<TdxBarManager>(form.get());
  manager->SetName(L"BarManager");
  TdxBarImageOptions* options = manager->ImageOptions();
  options->SetLargeIcons(true);
  options->SetUseLargeImagesForLargeIcons(true);
  options->SetImageListBkColor(clLime);
  options->SetStretchGlyphs(false);
  // The list comes after the manager in the stream: the reference is fixed up afterwards.
  auto* large = Make<TImageList>(form.get(), 24, 24);
  large->SetName(L"LargeList");
  options->SetLargeImages(large);
  TObjectPtr<TBitmap> picture(stdtest::NewBitmap(4, 4, clRed));
  manager->Backgrounds()->SetBar(picture.get());

  const String text = stdtest::WriteDefinition(form.get());
  // Defaults and an empty picture are not written.
  EXPECT_EQ(text.find(L"CacheGlyphs"), String::npos);
  EXPECT_EQ(text.find(L"SubMenu"), String::npos);
  TObjectPtr<TBarTestForm> copy(ReadBarForm(std::string(text.begin(), text.end())));
  TdxBarManager* read = ManagerOf(copy.get());
  ASSERT_NE(read, nullptr);
  TdxBarImageOptions* readOptions = read->ImageOptions();
  EXPECT_TRUE(read->LargeIcons());
  EXPECT_EQ(readOptions->ImageListBkColor(), clLime);
  EXPECT_FALSE(readOptions->StretchGlyphs());
  ASSERT_NE(readOptions->LargeImages(), nullptr);
  EXPECT_EQ(readOptions->LargeImages()->Name(), L"LargeList");
  EXPECT_EQ(readOptions->GlyphSize(), 24);
  EXPECT_EQ(read->Backgrounds()->Bar()->Width(), 4);
  EXPECT_TRUE(read->Backgrounds()->SubMenu()->Empty());
}

}  // namespace
