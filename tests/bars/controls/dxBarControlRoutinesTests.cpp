// The bar module's routines about bar windows (the active one, the root of a
// chain, the popup that hosts a control, the live ones), the glyphs item
// controls keep rendered, and the item classes the bar windows' start-up
// registers and their shutdown withdraws.
#include "bars/controls/dxBarControlRoutines.h"
#include "tests/bars/controls/dxBarControlsTestSupport.h"

#include "bars/controls/dxBarControlsModules.h"
#include "bars/controls/dxBarItemControls.h"
#include "bars/controls/dxBarPainters.h"
#include "foundation/cxContainerPopup.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/StdCtrls.h"
#include "tests/bars/controls/dxBarPaintDib.h"
#include "tests/support/BarWarmUp.h"

#include <gtest/gtest.h>

namespace {

TEST(dxBarControlsModule, StartUpRegistersTheItemClassesAgainstTheirControls) {
  TdxBarItemList* registry = dxBarSharedItemClassRegistry();
  ASSERT_NE(registry, nullptr);
  const struct {
    TClass item, control;
  } rows[] = {{TdxBarButton::StaticClass(), TdxBarButtonControl::StaticClass()},
              {TdxBarLargeButton::StaticClass(), TdxBarLargeButtonControl::StaticClass()}};
  for (int i = 0; i < static_cast<int>(std::size(rows)); ++i) {
    EXPECT_EQ(registry->ItemClassAt(i), rows[i].item) << i;
    EXPECT_EQ(registry->ItemControlClassOf(rows[i].item), rows[i].control) << i;
    EXPECT_EQ(registry->NthVisibleItemClass(i), rows[i].item) << i;
  }
}

TEST(dxBarControlsModule, ShutdownWithdrawsTheItemClassesAndStartUpBringsThemBack) {
  TdxBarItemList* registry = dxBarSharedItemClassRegistry();
  ASSERT_NE(registry, nullptr);
  const int count = registry->Count();
  dxBarControlsFinalize();
  EXPECT_EQ(registry->ItemControlClassOf(TdxBarButton::StaticClass()), nullptr);
  EXPECT_EQ(registry->Count(), count - 2);
  EXPECT_EQ(GetClass(L"TdxBarButton"), TdxBarButton::StaticClass()) << "the bar module's classes stay readable";
  EXPECT_EQ(dxBarToolbarControlFactory(), nullptr);
  EXPECT_EQ(dxBarSideDockFactory(), nullptr);
  dxBarControlsInitialize();
  EXPECT_EQ(registry->ItemControlClassOf(TdxBarButton::StaticClass()), TdxBarButtonControl::StaticClass());
  EXPECT_NE(dxBarToolbarControlFactory(), nullptr);
  // The flat look's brushes went with the shutdown; the count of live
  // objects expects them made.
  WarmUpBarControlsCaches();
}

// A toolbar window that may say it is an internal popup.
class TPopupLikeBar : public TdxBarControl {
  DECLARE_CLASS(TPopupLikeBar, TdxBarControl)
  TPopupLikeBar(TComponent* AOwner, bool AInternal) : TdxBarControl(AOwner), Internal(AInternal) {}
  bool IsInternalPopup() override { return Internal; }
  bool Internal;
};
IMPLEMENT_CLASS(TPopupLikeBar, TdxBarControl, nullptr)

TEST_F(TBarWindowTest, TheRootStopsAtAnInternalPopupOpenedFromAnOrdinaryBar) {
  auto* top = Make<TPopupLikeBar>(Form, false);
  auto* popup = Make<TPopupLikeBar>(Form, true);
  auto* inner = Make<TPopupLikeBar>(Form, true);
  auto* plain = Make<TPopupLikeBar>(Form, false);
  popup->SetParentBar(top);
  inner->SetParentBar(popup);
  plain->SetParentBar(inner);
  const struct {
    const char* what;
    TCustomdxBarControl* from;
    TCustomdxBarControl* root;
  } cases[] = {
      {"an ordinary bar opened from internal popups goes on", plain, popup},
      {"an internal popup opened from one goes on", inner, popup},
      {"an internal popup opened from an ordinary bar stops", popup, popup},
      {"the top", top, top},
  };
  for (const auto& c : cases) EXPECT_EQ(dxBarRootParentControl(c.from), c.root) << c.what;
  for (TPopupLikeBar* bar : {plain, inner, popup, top}) {
    EXPECT_TRUE(dxBarIsLiveControl(bar));
    TObject::Free(bar);
    EXPECT_FALSE(dxBarIsLiveControl(bar)) << "a destroyed bar window is no longer live";
  }
}

TEST_F(TBarWindowTest, AnItemControlKeepsItsGlyphRenderedAndDrawsItAsRenderedAnew) {
  TdxBar* bar = AddToolbar({L"One"});
  TdxBarButtonControl* control = ButtonControl(bar, 0);
  ASSERT_NE(control, nullptr);
  ASSERT_EQ(control->GlyphCache(), control->CachedImageOptions());
  // A glyph of four colours, drawn over a background brush.
  TObjectPtr<TBitmap> glyph(Make<TBitmap>());
  glyph->SetPixelFormat(pf24bit);
  glyph->SetSize(8, 8);
  const TColor colors[] = {clRed, clLime, clBlue, clYellow};
  for (int i = 0; i < 4; ++i) {
    glyph->Canvas()->Brush()->SetColor(colors[i]);
    glyph->Canvas()->FillRect(TRect(i % 2 * 4, i / 2 * 4, i % 2 * 4 + 4, i / 2 * 4 + 4));
  }
  HBRUSH brush = GdiCreateBrush(LOGBRUSH{BS_SOLID, RGB(200, 190, 180), 0});
  TFinally deleteBrush{[brush] { GdiDeleteObject(brush); }};
  TdxBarGlyphDrawArgs args;
  args.Brush = brush;
  args.UseLeftBottomPixelAsTransparent = false;
  args.Glyph = glyph.get();
  args.GlyphRect = TRect(2, 2, 10, 10);
  args.FullRect = TRect(0, 0, 12, 12);
  const struct {
    const char* what;
    TdxBarGlyphState state;
  } cases[] = {{"normal", {}},
               {"disabled", {false}},
               {"faded", {false, true}},
               {"dingy", {true, false, true}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    args.State = c.state;
    TPaintDib direct(12, 12), cached(12, 12), again(12, 12);
    dxBarDrawGlyphNoCache(direct.DC(), args);
    dxBarDrawItemGlyph(control, cached.DC(), args);
    ASSERT_TRUE(control->CachedImageOptions()->IsCached(dxBarGlyphDrawMode(c.state), glyph.get(), nullptr));
    dxBarDrawItemGlyph(control, again.DC(), args);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) {
        ASSERT_EQ(cached.At(x, y), direct.At(x, y)) << x << "," << y;
        ASSERT_EQ(again.At(x, y), direct.At(x, y)) << x << "," << y;
      }
  }
}

TEST_F(TBarWindowTest, TheRootOfAChainOfBarsAndTheActiveBar) {
  TdxBar* first = AddToolbar({L"One", L"Two"});
  TdxBar* second = AddToolbar({L"Three"});
  TdxBarControl* a = ControlOf(first);
  TdxBarControl* b = ControlOf(second);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(dxBarRootParentControl(a), a);
  EXPECT_EQ(dxBarRootParentControl(nullptr), nullptr);
  EXPECT_EQ(dxBarRootNonSubMenuControl(a), a);
  EXPECT_EQ(dxBarItemControlRootBar(ButtonControl(first, 1)), a);
  EXPECT_EQ(dxBarItemControlRootToolbar(ButtonControl(first, 1)), a);
  EXPECT_EQ(dxBarItemControlRootBar(nullptr), nullptr);
  b->SetParentBar(a);
  EXPECT_EQ(dxBarRootParentControl(b), a);
  EXPECT_EQ(dxBarItemControlRootBar(ButtonControl(second, 0)), a);
  b->SetParentBar(nullptr);

  EXPECT_EQ(dxBarCurrentActiveControl(), nullptr);
  EXPECT_EQ(dxBarActiveManager(), nullptr);
  EXPECT_FALSE(dxBarActiveControlEnabled());
  a->SetIsActive(true);
  EXPECT_EQ(dxBarCurrentActiveControl(), a);
  EXPECT_EQ(dxBarActiveManager(), Manager);
  EXPECT_TRUE(dxBarActiveControlEnabled());
  EnableWindow(a->Handle(), FALSE);
  EXPECT_FALSE(dxBarActiveControlEnabled());
  EnableWindow(a->Handle(), TRUE);
  a->SetIsActive(false);
  EXPECT_EQ(dxBarCurrentActiveControl(), nullptr);
}

class TPlainPopup : public TcxCustomPopupWindow {
 public:
  explicit TPlainPopup(TWinControl* AOwnerControl) : TcxCustomPopupWindow(AOwnerControl) {}
};

TEST(dxBarControlRoutines, TheHostPopupOfAControlInsideIt) {
  TObjectPtr<TForm> form(Make<TForm>(nullptr, 0));
  auto* owner = Make<TEdit>(form.get());
  owner->SetParent(form.get());
  owner->HandleNeeded();
  TObjectPtr<TPlainPopup> popup(Make<TPlainPopup>(owner));
  auto* content = Make<TEdit>(popup.get());
  content->SetParent(popup.get());
  content->HandleNeeded();
  EXPECT_EQ(dxBarFindHostPopupWindow(content, false), popup.get());
  EXPECT_EQ(dxBarFindHostPopupWindow(content, true), popup.get());
  EXPECT_EQ(dxBarFindHostPopupWindow(popup.get(), false), nullptr) << "not its own host";
  EXPECT_EQ(dxBarFindHostPopupWindow(owner, true), nullptr);
  auto* windowless = Make<TEdit>(popup.get());
  windowless->SetParent(popup.get());
  EXPECT_EQ(dxBarFindHostPopupWindow(windowless, false), nullptr) << "no window";
  EXPECT_EQ(dxBarFindHostPopupWindow(nullptr, false), nullptr);
}

}  // namespace
