// The bar hint window: hovering a toolbar button shows its hint once the
// show timer fires, drawn as a screen tip below the cursor; a button without
// a hint shows none; the views lay out plain hints and screen tips.
#include "bars/controls/dxBarHintWindow.h"
#include "bars/controls/dxBarPainter.h"
#include "foundation/cxGraphicsCanvas.h"
#include "tests/bars/controls/dxBarControlsTestSupport.h"

#include <memory>

namespace {

TdxBarHintWindow* HintWindow() { return dynamic_cast<TdxBarHintWindow*>(dxBarHintWindow()); }

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF color = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return color;
}

class dxBarHintWindowTest : public TBarWindowTest {
 protected:
  // Runs the pending show-delay or auto-hide timer as its window timer would.
  void FireHintTimer() {
    const UINT_PTR id = dxBarHintTimers().HintTimer;
    ASSERT_NE(id, 0u) << "no hint timer runs";
    dxBarHintTimerFired(id);
    PumpQueuedMessages();
  }
  bool HintShown() { return HintWindow() && HintWindow()->IsVisible(); }
};

TEST_F(dxBarHintWindowTest, HoveredButtonShowsItsHintBelowTheCursorAndOneWithoutShowsNone) {
  TdxBar* bar = AddToolbar({L"订单查询", L"五金件", L"退出系统"});
  Manager->Items(0)->SetHint(L"订单查询|查询全部订单");
  Manager->Items(1)->SetHint(String());  // a caption gives a hint of its own
  Manager->Items(2)->SetHint(L"退出系统");
  ASSERT_NE(HintWindow(), nullptr);

  const TPoint over = ScreenCenter(bar, 0);
  MouseMoveTo(over);
  EXPECT_FALSE(HintShown()) << "a hint waits for its timer";
  EXPECT_EQ(dxBarHintTimers().HintTimerInterval, 1000u);
  FireHintTimer();
  ASSERT_TRUE(HintShown());
  TdxBarHintWindow* window = HintWindow();
  EXPECT_EQ(window->Caption(), L"订单查询") << "the short part of the hint";
  EXPECT_TRUE(window->IsScreenTipWindow());
  EXPECT_EQ(dxBarHintTimers().HintTimerInterval, 200000u) << "auto-hide of a screen-tip window";
  RECT r;
  GetWindowRect(window->WindowHandle(), &r);
  EXPECT_EQ(r.left, over.X);
  EXPECT_EQ(r.top, over.Y + 20);
  EXPECT_TRUE(GetWindowLongW(window->WindowHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  // Rounded corners: the window has a region (a plain hint has none).
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(GetWindowRgn(window->WindowHandle(), region), ERROR);
  DeleteObject(region);
  // Drawn: the hint background at the edge, the text colour inside the text.
  UpdateWindow(window->WindowHandle());
  EXPECT_EQ(ScreenPixel(r.left + 2, r.top + 3), static_cast<COLORREF>(ColorToRGB(clInfoBk)));
  const COLORREF text = static_cast<COLORREF>(ColorToRGB(clInfoText));
  bool textDrawn = false;
  for (int y = r.top + 6; y < r.bottom - 5 && !textDrawn; ++y)
    for (int x = r.left + 5; x < r.right - 6 && !textDrawn; ++x) textDrawn = ScreenPixel(x, y) == text;
  EXPECT_TRUE(textDrawn);

  // The next button has no hint: the tip goes at once and nothing replaces it.
  MouseMoveTo(ScreenCenter(bar, 1));
  EXPECT_FALSE(HintShown());
  FireHintTimer();
  EXPECT_FALSE(HintShown());
  EXPECT_EQ(dxBarHintTimers().HintTimer, 0u);

  // A button with a screen tip shows the whole tip, which goes with the tip.
  auto* repository = Make<TdxBarScreenTipRepository>(Form);
  TdxBarScreenTip* tip = repository->Items()->Add();
  tip->Header()->SetText(L"退出");
  tip->Description()->SetText(L"关闭主窗口并结束程序");
  Manager->Items(2)->SetScreenTip(tip);
  MouseMoveTo(ScreenCenter(bar, 2));
  FireHintTimer();
  ASSERT_TRUE(HintShown());
  EXPECT_EQ(HintWindow()->Caption(), L"退出系统");
  ASSERT_NE(dynamic_cast<TdxBarScreenTipViewInfo*>(HintWindow()->ViewInfo()), nullptr);
  EXPECT_EQ(HintWindow()->ClientWidth(), 210);
  TObject::Free(tip);
  EXPECT_FALSE(HintShown()) << "a freed tip takes its shown view with it";
  EXPECT_EQ(Manager->Items(2)->ScreenTip(), nullptr);
  FireHintTimer();
  EXPECT_FALSE(HintShown());

  // Pressing a button takes its hint away and cancels the one still waiting.
  MouseMoveTo(ScreenCenter(bar, 0));
  FireHintTimer();
  ASSERT_TRUE(HintShown());
  Click(ScreenCenter(bar, 0));
  EXPECT_FALSE(HintShown());
  // The click moved the link up its recent list and the toolbar rebuilt its
  // controls: the button under the resting cursor is hot again and asks anew.
  EXPECT_FALSE(dxBarHintTimers().HintTimerHides);
}

TEST_F(dxBarHintWindowTest, CustomTextShowsAPlainHintAndAnEmptyOneNothing) {
  AddToolbar({L"订单查询"});
  TdxBarHintWindow* window = HintWindow();
  ASSERT_NE(window, nullptr);
  Manager->ActivateHint(true, L"提示 plain");
  FireHintTimer();
  ASSERT_TRUE(HintShown());
  EXPECT_FALSE(window->IsScreenTipWindow());
  EXPECT_EQ(window->Caption(), L"提示 plain");
  auto* view = dynamic_cast<TdxBarHintViewInfo*>(window->ViewInfo());
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(window->ClientWidth(), view->BoundsRect().Width());
  EXPECT_EQ(view->GetTextRect(), TRect(3, 3, view->BoundsRect().Right - 1, view->BoundsRect().Bottom - 1));
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(window->WindowHandle(), region), ERROR) << "a plain hint is a plain rectangle";
  DeleteObject(region);

  Manager->HideHint();
  EXPECT_FALSE(HintShown());
  EXPECT_EQ(window->ViewInfo(), nullptr) << "hiding frees the view";
  EXPECT_FALSE(window->ActivateHintEx(Manager, String(), L"Ctrl+O"));
  EXPECT_FALSE(HintShown());
}

// ---------------------------------------------------------------------------
// Views as values
// ---------------------------------------------------------------------------

class dxBarScreenTipViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(Make<TComponent>(nullptr));
    repository = Make<TdxBarScreenTipRepository>(form.get());
    repository->SetName(L"Repo");
    tip = repository->Items()->Add();
  }
  std::unique_ptr<TdxBarScreenTipViewInfo, void (*)(TObject*)> Calculated() {
    std::unique_ptr<TdxBarScreenTipViewInfo, void (*)(TObject*)> view(
        static_cast<TdxBarScreenTipViewInfo*>(
            dxBarCreateHintViewInfo(nullptr, L"Hint", String(), TdxBarPainter::Instance(), tip)),
        &TObject::Free);
    view->Calculate(measure->Canvas());
    return view;
  }
  static void SetGlyph(TdxBarCustomScreenTipBand* ABand, int AWidth, int AHeight) {
    std::unique_ptr<TBitmap, void (*)(TObject*)> glyph(Make<TBitmap>(AWidth, AHeight), &TObject::Free);
    ABand->SetGlyph(glyph.get());
  }
  std::unique_ptr<TComponent, void (*)(TObject*)> form{nullptr, &TObject::Free};
  // Measures with fonts of its own, freed with the test.
  std::unique_ptr<TBitmap, void (*)(TObject*)> measure{Make<TBitmap>(1, 1), &TObject::Free};
  TdxBarScreenTipRepository* repository = nullptr;
  TdxBarScreenTip* tip = nullptr;
};

TEST_F(dxBarScreenTipViewTest, ViewChoiceFollowsTheRepositoryAndTheTip) {
  struct Case {
    bool HasTip, ShowDescription, UseHintAsHeader;
    const wchar_t* Header;
    bool FullTip;
    const wchar_t* Text;  // of the screen-tip-like hint
  } const cases[] = {
      {false, true, false, L"", false, L"Hint"},
      {true, true, false, L"Header", true, nullptr},
      {true, false, false, L"Header", false, L"Header"},
      {true, false, true, L"Header", false, L"Hint"},
      {true, false, false, L"", false, L"Hint"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.HasTip << c.ShowDescription << c.UseHintAsHeader);
    repository->SetShowDescription(c.ShowDescription);
    tip->SetUseHintAsHeader(c.UseHintAsHeader);
    tip->Header()->SetText(c.Header);
    std::unique_ptr<TdxBarCustomHintViewInfo, void (*)(TObject*)> view(
        dxBarCreateHintViewInfo(nullptr, L"Hint", String(), TdxBarPainter::Instance(), c.HasTip ? tip : nullptr),
        &TObject::Free);
    EXPECT_TRUE(view->IsScreenTipLike());
    EXPECT_EQ(dynamic_cast<TdxBarScreenTipViewInfo*>(view.get()) != nullptr, c.FullTip);
    if (auto* like = dynamic_cast<TdxBarLikeHintScreenTipViewInfo*>(view.get())) {
      EXPECT_EQ(like->Text(), c.Text);
    }
  }
}

TEST_F(dxBarScreenTipViewTest, TipWidthAndBandLayout) {
  tip->Header()->SetText(L"H");
  tip->Description()->SetText(L"Some description");
  auto view = Calculated();
  EXPECT_EQ(view->BoundsRect().Width(), 210);
  ASSERT_EQ(view->BandCount(), 2) << "an empty footer shows no band";
  TdxBarScreenTipBandViewInfo* header = view->Bands(0);
  TdxBarScreenTipBandViewInfo* description = view->Bands(1);
  EXPECT_EQ(header->TextBounds().Left, 6);
  EXPECT_EQ(header->TextBounds().Top, 6);
  EXPECT_EQ(header->BandBounds().Height(), header->TextSize().cy + 12);
  EXPECT_EQ(description->BandBounds().Top, header->BandBounds().Bottom);
  EXPECT_EQ(description->TextBounds(), TRect(14, description->BandBounds().Top + 6, 210 - 14,
                                              description->BandBounds().Top + 6 + description->TextSize().cy));
  EXPECT_EQ(view->BoundsRect().Height(), description->BandBounds().Bottom);

  // A description glyph widens the tip and takes the left of the band; a
  // glyph wider than its area is scaled down to it.
  SetGlyph(tip->Description(), 188, 40);
  view = Calculated();
  EXPECT_EQ(view->BoundsRect().Width(), 318);
  description = view->Bands(1);
  EXPECT_EQ(description->GlyphBounds(), TRect(14, description->BandBounds().Top + 6, 14 + 94,
                                               description->BandBounds().Top + 6 + 20));
  EXPECT_EQ(description->TextBounds().Left, 14 + 94 + 14);
  tip->Description()->SetTextAlign(stbtaLeft);
  view = Calculated();
  EXPECT_EQ(view->Bands(1)->GlyphBounds().Right, 318 - 14);

  // A long single-line header widens the tip; an explicit width is kept otherwise.
  tip->Header()->SetText(String(60, L'W'));
  view = Calculated();
  EXPECT_EQ(view->BoundsRect().Width(), view->Bands(0)->TextSize().cx + 12);
  tip->Header()->SetText(L"H");
  tip->SetWidth(250);
  EXPECT_EQ(Calculated()->BoundsRect().Width(), 250);
}

TEST_F(dxBarScreenTipViewTest, StandardFooterStandsInForTheTipsFooter) {
  tip->Header()->SetText(L"H");
  tip->Footer()->SetText(L"Own footer");
  tip->SetUseStandardFooter(true);
  EXPECT_EQ(Calculated()->BandCount(), 1) << "the standard footer has neither text nor glyph";
  repository->StandardFooter()->SetText(L"Press F1 for help");
  auto view = Calculated();
  ASSERT_EQ(view->BandCount(), 2);
  TdxBarScreenTipBandViewInfo* footer = view->Bands(1);
  EXPECT_EQ(footer->Band(), repository->StandardFooter());
  EXPECT_EQ(footer->TextBounds().Top, footer->BandBounds().Top + 9) << "the footer line adds to its margin";
}

}  // namespace
