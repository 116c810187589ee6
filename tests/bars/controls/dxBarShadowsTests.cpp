// Bar shadows: the outline of strips for a bar and its owner, the alpha
// image of a strip, and the strip windows that show, move and hide with a
// floating toolbar.
#include "bars/controls/dxBarShadows.h"
#include "bars/model/dxBarDrawing.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "tests/bars/controls/dxBarControlsTestSupport.h"

#include <memory>
#include <thread>

namespace {

constexpr TdxBarShadowCorner L = TdxBarShadowCorner::scLeft;
constexpr TdxBarShadowCorner R = TdxBarShadowCorner::scRight;
constexpr TdxBarShadowCorner T = TdxBarShadowCorner::scTop;

struct TExpectedPart {
  TRect Bounds;
  TdxBarShadowPartKind Kind;
  TdxBarShadowCorners Corners;
};

bool SameParts(const std::vector<TdxBarShadowPartInfo>& AActual, const std::vector<TExpectedPart>& AExpected) {
  if (AActual.size() != AExpected.size()) return false;
  for (size_t i = 0; i < AActual.size(); ++i)
    if (!(AActual[i].Bounds == AExpected[i].Bounds) || AActual[i].Kind != AExpected[i].Kind ||
        !(AActual[i].Corners == AExpected[i].Corners))
      return false;
  return true;
}

// The alpha of pixel (x, y), counted from the top-left corner.
int AlphaAt(const std::vector<RGBQUAD>& AImage, int AWidth, int AHeight, int X, int Y) {
  return AImage.at(size_t(AHeight - 1 - Y) * AWidth + X).rgbReserved;
}

// Forces the solid, two-pixel shadow of displays with 256 colours or less.
class TEightBitScreen {
 public:
  TEightBitScreen() : saved_(dxBarScreenBitsPerPixel) { dxBarScreenBitsPerPixel = 8; }
  ~TEightBitScreen() { dxBarScreenBitsPerPixel = saved_; }

 private:
  int saved_;
};

}  // namespace

TEST(dxBarShadowOutline, PartsJoinTheOwnersShadow) {
  const TRect bar(100, 100, 200, 150);
  struct TCase {
    const char* Name;
    TRect Owner;
    bool Horizontal;
    std::vector<TExpectedPart> Parts;
  } cases[] = {
      {"no owner", TRect(), true,
       {{TRect(104, 150, 204, 154), spHorizontal, {L, R}}, {TRect(200, 104, 204, 150), spVertical, {T}}}},
      // A menu right under its button: nothing along the edge where they touch.
      {"owner above", TRect(100, 80, 140, 100), true,
       {{TRect(140, 84, 144, 100), spVertical, {T}},
        {TRect(104, 150, 204, 154), spHorizontal, {L, R}},
        {TRect(200, 104, 204, 150), spVertical, {T}}}},
      // A menu opening upwards: the owner comes second, the bar's shadow runs on down its side.
      {"owner below", TRect(100, 150, 140, 170), true,
       {{TRect(200, 104, 204, 150), spVertical, {T}},
        {TRect(104, 170, 144, 174), spHorizontal, {L, R}},
        {TRect(140, 150, 204, 154), spHorizontal, {R}},
        {TRect(140, 150, 144, 170), spVertical, {}}}},
      // A sub-menu beside the item that opened it.
      {"owner left", TRect(50, 100, 100, 120), false,
       {{TRect(200, 104, 204, 150), spVertical, {T}},
        {TRect(54, 120, 100, 124), spHorizontal, {L}},
        {TRect(104, 150, 204, 154), spHorizontal, {L, R}}}},
  };
  for (const TCase& c : cases) {
    const TdxBarShadowOutline outline = dxBarShadowOutline(c.Owner, bar);
    EXPECT_EQ(c.Horizontal, outline.Horizontal) << c.Name;
    EXPECT_TRUE(SameParts(dxBarShadowParts(outline, 4), c.Parts)) << c.Name;
  }
  // A bar as wide as the owner continues the owner's right shadow without a faded top.
  const auto wide = dxBarShadowParts(dxBarShadowOutline(TRect(100, 80, 200, 100), bar), 4);
  ASSERT_EQ(3u, wide.size());
  EXPECT_EQ(TRect(200, 100, 204, 150), wide[2].Bounds);
  EXPECT_TRUE(wide[2].Corners.Empty());
}

TEST(dxBarShadowOutline, AlphaFadesOutwardsAndAtTheEnds) {
  // A horizontal strip of 10 x 4 with both ends faded.
  const auto strip = dxBarShadowImage(spHorizontal, {L, R}, 10, 4, 4);
  struct TPixel {
    int X, Y, Alpha;
  } horizontal[] = {
      {5, 0, 60}, {5, 1, 45}, {5, 2, 30}, {5, 3, 15},  // from the bar's edge outward
      {0, 0, 12}, {1, 0, 24}, {2, 0, 36}, {3, 0, 48}, {4, 0, 60},  // the left end
      {9, 0, 12}, {8, 1, 18}, {6, 0, 48},                          // the right end
      {0, 3, 3},
  };
  for (const TPixel& p : horizontal) EXPECT_EQ(p.Alpha, AlphaAt(strip, 10, 4, p.X, p.Y)) << p.X << "," << p.Y;
  // A vertical strip of 4 x 10 fading at its top.
  const auto column = dxBarShadowImage(spVertical, {T}, 4, 10, 4);
  TPixel vertical[] = {{0, 5, 60}, {3, 5, 15}, {0, 0, 12}, {0, 1, 24}, {3, 0, 3}, {1, 3, 36}, {0, 4, 60}};
  for (const TPixel& p : vertical) EXPECT_EQ(p.Alpha, AlphaAt(column, 4, 10, p.X, p.Y)) << p.X << "," << p.Y;
  // Colour channels stay black.
  for (const RGBQUAD& q : strip) EXPECT_EQ(0, q.rgbRed + q.rgbGreen + q.rgbBlue);

  // Strips with faded ends smaller than the shadow are not shown; plain ones are.
  EXPECT_FALSE(dxBarShadowPartIsValid({T}, 4, 3, 4));
  EXPECT_FALSE(dxBarShadowPartIsValid({L}, 3, 4, 4));
  EXPECT_TRUE(dxBarShadowPartIsValid({}, 4, 1, 4));
  EXPECT_TRUE(dxBarShadowPartIsValid({L, R}, 4, 4, 4));
}

namespace {

class TBarShadowTest : public TBarWindowTest {
 protected:
  // A floating toolbar in the flat look, which casts a shadow.
  TdxBarControl* FloatingToolbar() {
    Manager->SetStyle(bmsFlat);
    TdxBar* bar = AddToolbar({L"订单查询", L"材料库"}, dsNone);
    TdxBarControl* control = ControlOf(bar);
    EXPECT_NE(control, nullptr);
    return control;
  }
  static TRect WindowRect(HWND AWnd) {
    RECT r;
    GetWindowRect(AWnd, &r);
    return TRect(r.left, r.top, r.right, r.bottom);
  }
  static std::vector<TRect> PartWindows(TdxBarShadow* AShadow) {
    std::vector<TRect> result;
    for (int i = 0; i < TdxBarShadow::MaxParts; ++i) {
      TdxBarShadowPart* part = AShadow->Parts(i);
      if (part && part->HandleAllocated() && IsWindowVisible(part->WindowHandle()))
        result.push_back(WindowRect(part->WindowHandle()));
    }
    return result;
  }
};

}  // namespace

TEST_F(TBarShadowTest, FloatingToolbarShadowShowsMovesAndHidesWithIt) {
  TdxBarControl* control = FloatingToolbar();
  ASSERT_NE(control, nullptr);
  TdxBarShadow* shadow = control->Shadow();
  ASSERT_TRUE(control->IsShadowVisible());
  EXPECT_TRUE(shadow->Visible());
  const int s = TdxBarShadow::ShadowSize();
  auto expected = [&] {
    const TRect w = WindowRect(control->WindowHandle());
    return std::vector<TRect>({TRect(w.Left + s, w.Bottom, w.Right + s, w.Bottom + s),
                               TRect(w.Right, w.Top + s, w.Right + s, w.Bottom)});
  };
  EXPECT_EQ(expected(), PartWindows(shadow));
  const HWND part = shadow->Parts(0)->WindowHandle();
  EXPECT_EQ(control->WindowHandle(), GetWindow(part, GW_OWNER));
  if (TdxBarShadow::Transparent()) {
    EXPECT_EQ(WS_EX_LAYERED | WS_EX_TRANSPARENT,
              GetWindowLongPtrW(part, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TRANSPARENT));
    // The strip's pixels as computed, on its 32-bit image.
    TRGBColors colors;
    shadow->Parts(0)->Image()->GetBitmapColors(colors);
    const TRect bounds = expected()[0];
    EXPECT_EQ(dxBarShadowImage(spHorizontal, {L, R}, bounds.Width(), bounds.Height(), 4).size(), colors.size());
    EXPECT_EQ(60, colors.at(size_t(bounds.Height() - 1) * bounds.Width() + 10).rgbReserved);
  }

  // Moved: the strips follow, next to the bar in the z-order (owned windows
  // stay above their owner, so no other window comes between).
  SetWindowPos(control->WindowHandle(), HWND_TOP, 300, 260, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  PumpQueuedMessages();
  EXPECT_EQ(expected(), PartWindows(shadow));
  const HWND above = GetWindow(control->WindowHandle(), GW_HWNDPREV);
  const HWND aboveThat = GetWindow(above, GW_HWNDPREV);
  for (HWND strip : {shadow->Parts(0)->WindowHandle(), shadow->Parts(1)->WindowHandle()})
    EXPECT_TRUE(strip == above || strip == aboveThat);

  // Hidden with the bar, their windows gone; shown again with it.
  ShowWindow(control->WindowHandle(), SW_HIDE);
  EXPECT_FALSE(shadow->Visible());
  for (int i = 0; i < TdxBarShadow::MaxParts; ++i)
    if (TdxBarShadowPart* p = shadow->Parts(i)) {
      EXPECT_FALSE(p->HandleAllocated());
    }
  ShowWindow(control->WindowHandle(), SW_SHOWNOACTIVATE);
  EXPECT_EQ(expected(), PartWindows(shadow));

  // Rebuilt on request (the system colours changed): new strips in the same places.
  TdxBarShadowPart* before = shadow->Parts(0);
  control->RefreshShadow();
  EXPECT_NE(before, shadow->Parts(0));
  EXPECT_EQ(expected(), PartWindows(shadow));
}

TEST_F(TBarShadowTest, PopupUnderItsOwnerCastsOneJoinedShadow) {
  Manager->SetStyle(bmsFlat);
  TdxBar* bar = AddToolbar({L"订单查询"});
  TdxBarControl* popup = TdxBarControl::CreateForPopup(ControlOf(bar), bar);
  // An owner narrower than the popup, on the screen: the popup opens right under it.
  const TRect owner(300, 200, 330, 222);
  popup->Popup(owner);
  PumpQueuedMessages();
  const TRect w = WindowRect(popup->WindowHandle());
  ASSERT_EQ(owner.Bottom, w.Top);
  ASSERT_GT(w.Right, owner.Right);
  EXPECT_EQ(owner, popup->GetShadowOwnerBounds());
  const int s = TdxBarShadow::ShadowSize();
  // The owner's right side and the popup's right and bottom sides; nothing
  // along the edge where the two touch.
  const std::vector<TRect> expected{TRect(owner.Right, owner.Top + s, owner.Right + s, owner.Bottom),
                                    TRect(w.Left + s, w.Bottom, w.Right + s, w.Bottom + s),
                                    TRect(w.Right, w.Top + s, w.Right + s, w.Bottom)};
  EXPECT_EQ(expected, PartWindows(popup->Shadow()));

  // Away from its owner the popup casts a shadow of its own.
  SetWindowPos(popup->WindowHandle(), nullptr, 500, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpQueuedMessages();
  const TRect moved = WindowRect(popup->WindowHandle());
  EXPECT_EQ(TRect(), popup->GetShadowOwnerBounds());
  EXPECT_EQ(std::vector<TRect>({TRect(moved.Left + s, moved.Bottom, moved.Right + s, moved.Bottom + s),
                                TRect(moved.Right, moved.Top + s, moved.Right + s, moved.Bottom)}),
            PartWindows(popup->Shadow()));
  TObject::Free(popup);
}

TEST_F(TBarShadowTest, DockedToolbarMakesNoShadow) {
  Manager->SetStyle(bmsFlat);
  TdxBarControl* control = ControlOf(AddToolbar({L"订单查询"}));
  ASSERT_NE(control, nullptr);
  EXPECT_FALSE(control->IsShadowVisible());
  EXPECT_EQ(0, control->Shadow()->PartCount());
}

TEST_F(TBarShadowTest, ClicksOnTheShadowReachTheWindowBehindIt) {
  // Both looks: the alpha strips and the solid ones of an 8-bit display.
  for (bool solid : {false, true}) {
    std::unique_ptr<TEightBitScreen> eightBits;
    if (solid) eightBits = std::make_unique<TEightBitScreen>();
    TdxBarControl* control = FloatingToolbar();
    ASSERT_NE(control, nullptr);
    const TRect w = WindowRect(control->WindowHandle());
    // A point on the bottom strip, over the form.
    const POINT onShadow{w.Left + 20, w.Bottom + 1};
    const HWND part = control->Shadow()->Parts(0)->WindowHandle();
    ASSERT_TRUE(WindowRect(part).Contains(TPoint(onShadow.x, onShadow.y)));
    // Hit-tested from another thread, as a click meant for another program's window is.
    HWND hit = nullptr;
    std::thread([&] { hit = WindowFromPoint(onShadow); }).join();
    EXPECT_EQ(Form->WindowHandle(), hit) << "solid " << solid;
    EXPECT_EQ(HTTRANSPARENT, SendMessageW(part, WM_NCHITTEST, 0, MAKELPARAM(onShadow.x, onShadow.y)));
    TObject::Free(control->Bar());
    PumpQueuedMessages();
  }
}

TEST_F(TBarShadowTest, EightBitDisplaysGetATwoPixelSolidShadow) {
  TEightBitScreen eightBits;
  EXPECT_FALSE(TdxBarShadow::Transparent());
  EXPECT_EQ(2, TdxBarShadow::ShadowSize());
  TdxBarControl* control = FloatingToolbar();
  ASSERT_NE(control, nullptr);
  TdxBarShadowPart* bottom = control->Shadow()->Parts(0);
  ASSERT_TRUE(bottom->HandleAllocated());
  const HWND part = bottom->WindowHandle();
  EXPECT_EQ(nullptr, bottom->Image());
  const TRect w = WindowRect(control->WindowHandle());
  EXPECT_EQ(TRect(w.Left + 2, w.Bottom, w.Right + 2, w.Bottom + 2), WindowRect(part));
  // Painted in the button-shadow colour, every pixel.
  UpdateWindow(part);
  HDC dc = GetDC(part);
  const COLORREF expected = GetSysColor(COLOR_BTNSHADOW);
  for (int x : {0, 1, w.Width() / 2, w.Width() - 1})
    for (int y : {0, 1}) EXPECT_EQ(expected, GetPixel(dc, x, y)) << x << "," << y;
  ReleaseDC(part, dc);
}

TEST_F(TBarShadowTest, StripTooSmallForItsFadedEndIsNotShown) {
  TdxBarControl* control = FloatingToolbar();
  ASSERT_NE(control, nullptr);
  TdxBarShadow* shadow = control->Shadow();
  const int s = TdxBarShadow::ShadowSize();
  // A bar only s + 1 pixels high: its right strip (faded at the top) is 1 pixel long.
  const TRect w = WindowRect(control->WindowHandle());
  shadow->SetOwnerBounds(TRect(), TRect(w.Left, w.Top, w.Right, w.Top + s + 1));
  ASSERT_EQ(2, shadow->PartCount());
  EXPECT_TRUE(shadow->Parts(0)->HandleAllocated());
  EXPECT_FALSE(shadow->Parts(1)->IsValid());
  EXPECT_FALSE(shadow->Parts(1)->HandleAllocated());
}
