// Item controls on a toolbar window: view levels, widths per level, images,
// and a control class that cannot be shown.
#include "bars/controls/dxBarPainter.h"
#include "foundation/dxCore.h"
#include "platform/gui/ImgList.h"
#include "tests/bars/controls/dxBarControlsTestSupport.h"

namespace {

// A control that offers no view level at all.
class TNoLevelsControl : public TdxBarButtonControl {
  DECLARE_CLASS(TNoLevelsControl, TdxBarButtonControl)
  using TdxBarButtonControl::TdxBarButtonControl;

 protected:
  TdxBarItemViewLevels GetPossibleViewLevels() override { return {}; }
};

IMPLEMENT_CLASS(TNoLevelsControl, TdxBarButtonControl, (ConstructWith<TNoLevelsControl, TdxBarItemLink>))

}  // namespace

TEST_F(TBarWindowTest, ViewLevelsFollowTheImageAndTheLink) {
  auto* images = Make<TImageList>(Form);
  images->SetWidth(16);
  images->SetHeight(16);
  auto* glyph = Make<TBitmap>();
  glyph->SetSize(16, 16);
  images->Add(glyph, nullptr);
  TObject::Free(glyph);
  Manager->ImageOptions()->SetImages(images);

  TdxBar* bar = AddToolbar({L"订单查询", L"材料库"});
  bar->ItemLinks()->Items(0)->Item()->SetImageIndex(0);
  TdxBarItemLink* withImage = bar->ItemLinks()->Items(0);
  TdxBarItemLink* captionOnly = bar->ItemLinks()->Items(1);
  withImage->RecreateControl();
  auto* imageControl = dynamic_cast<TdxBarItemControl*>(withImage->Control());
  auto* captionControl = dynamic_cast<TdxBarItemControl*>(captionOnly->Control());
  ASSERT_NE(imageControl, nullptr);
  ASSERT_NE(captionControl, nullptr);

  EXPECT_EQ((TdxBarItemViewLevels{ivlSmallIconWithText, ivlSmallIcon}), imageControl->AllowedViewLevels());
  EXPECT_EQ((TdxBarItemViewLevels{ivlSmallIconWithText}), captionControl->AllowedViewLevels());
  // Widths per level: the icon alone is narrower than icon and caption.
  TdxBarItemControlViewInfo* info = imageControl->ViewInfo();
  const int both = info->WidthAtViewLevel(ivlSmallIconWithText);
  const int icon = info->WidthAtViewLevel(ivlSmallIcon);
  EXPECT_LT(icon, both);
  EXPECT_EQ(imageControl->DrawParams()->DefaultButtonSize.cx, icon);
  // A level the control cannot show answers the most compact allowed one
  // instead of an error a user would see.
  EXPECT_EQ(icon, info->WidthAtViewLevel(ivlLargeIconWithText));

  // Image sizes: the list's, else 20 x 20 for a large view and the list's size for a small one.
  EXPECT_EQ(TSize(16, 16), imageControl->GetImageSize(cvsSmall));
  EXPECT_EQ(TSize(20, 20), captionControl->GetImageSize(cvsLarge));
  EXPECT_EQ(TSize(16, 16), captionControl->GetImageSize(cvsSmall));
  // The link narrows the levels; a link that allows none of them leaves the possible ones.
  withImage->SetViewLevels({ivlSmallIcon, ivlLargeIconWithText});
  captionOnly->SetViewLevels({ivlControlOnly});
  // (Changing a link's levels may give it a new control.)
  imageControl = dynamic_cast<TdxBarItemControl*>(withImage->Control());
  captionControl = dynamic_cast<TdxBarItemControl*>(captionOnly->Control());
  ASSERT_NE(imageControl, nullptr);
  ASSERT_NE(captionControl, nullptr);
  EXPECT_EQ((TdxBarItemViewLevels{ivlSmallIcon}), imageControl->AllowedViewLevels());
  EXPECT_EQ((TdxBarItemViewLevels{ivlSmallIconWithText}), captionControl->AllowedViewLevels());

}

TEST_F(TBarWindowTest, ControlWithoutViewLevelsCannotBeMade) {
  TdxBar* bar = AddToolbar({L"远程协助"});
  TdxBarItemLink* link = bar->ItemLinks()->Items(0);
  try {
    TObject::Free(Make<TNoLevelsControl>(link));
    FAIL() << "made a control without view levels";
  } catch (const EdxException& e) {
    EXPECT_EQ(L"TNoLevelsControl.GetPossibleViewLevels = []", e.Message);
  }
}

TEST_F(TBarWindowTest, ButtonWidthsAndPartsFollowTheStyle) {
  TdxBar* bar = AddToolbar({L"生产排单", L"工艺设置"});
  auto* dropDown = static_cast<TdxBarButton*>(bar->ItemLinks()->Items(1)->Item());
  const int plain = ButtonControl(bar, 1)->Width();
  dropDown->SetButtonStyle(bsDropDown);
  bar->ItemLinks()->Items(1)->RecreateControl();
  ControlOf(bar)->RepaintBar();
  TdxBarButtonControl* control = ButtonControl(bar, 1);
  const int arrow = control->Painter()->RealButtonArrowWidth(Manager);
  EXPECT_EQ(plain + arrow, control->Width());
  control->RecalcState();
  ASSERT_EQ(2u, control->Parts().size());
  const TRect bounds = control->ItemBounds();
  EXPECT_EQ(bounds.Right - arrow, control->Parts()[1].Left);
  EXPECT_EQ(control->Parts()[1].Left, control->Parts()[0].Right);
  // A release on the arrow part does not click the button.
  const TPoint arrowPoint = ControlOf(bar)->ClientToScreen(
      TPoint(bounds.Right - arrow / 2 - 1, (bounds.Top + bounds.Bottom) / 2));
  Click(arrowPoint);
  EXPECT_TRUE(Form->Clicks.empty());
  Click(ScreenCenter(bar, 0));
  EXPECT_EQ(1u, Form->Clicks.size());
}
