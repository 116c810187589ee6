// Hint and popup windows: the animation choice, the hint's clamping into the
// work area, its window styles and messages; the popup placement table with
// an injected work area, then the real popup form: sizing around children,
// the frame, activation and closing when the activation goes.
#include "platform/WinApi.h"
#include "foundation/cxControlsHints.h"

#include "foundation/cxControlsRoutines.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"

#include "tests/foundation/cxControlsTestSupport.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

TRect WindowRect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return TRect(r.left, r.top, r.right, r.bottom);
}

TRect PrimaryWorkArea() {
  TRect r;
  cxWorkAreaFromPoint(TPoint(0, 0), r);
  return r;
}

// ---- AnimateWindow stand-in

struct AnimateCall {
  HWND Wnd;
  DWORD Time, Flags;
};
std::vector<AnimateCall> gAnimateCalls;
BOOL WINAPI RecordAnimateWindow(HWND AWnd, DWORD ATime, DWORD AFlags) {
  gAnimateCalls.push_back({AWnd, ATime, AFlags});
  return TRUE;
}

// Sets the system's tooltip settings for this session and puts the old
// values back.
class TooltipSettings {
 public:
  TooltipSettings() {
    SystemParametersInfoW(SPI_GETTOOLTIPANIMATION, 0, &animation_, 0);
    SystemParametersInfoW(SPI_GETTOOLTIPFADE, 0, &fade_, 0);
  }
  ~TooltipSettings() { Set(animation_, fade_); }
  static bool Set(BOOL animation, BOOL fade) {
    return SystemParametersInfoW(SPI_SETTOOLTIPANIMATION, 0, reinterpret_cast<void*>(INT_PTR(animation)), 0) &&
           SystemParametersInfoW(SPI_SETTOOLTIPFADE, 0, reinterpret_cast<void*>(INT_PTR(fade)), 0);
  }
  static bool Is(BOOL animation, BOOL fade) {
    BOOL a = !animation, f = !fade;
    SystemParametersInfoW(SPI_GETTOOLTIPANIMATION, 0, &a, 0);
    SystemParametersInfoW(SPI_GETTOOLTIPFADE, 0, &f, 0);
    return !a == !animation && !f == !fade;
  }

 private:
  BOOL animation_ = FALSE, fade_ = FALSE;
};

class THintProbe : public TcxBaseHintWindow {
 public:
  explicit THintProbe(TComponent* AOwner) : TcxBaseHintWindow(AOwner) {}
  using TcxBaseHintWindow::AdjustHintBounds;
  int RegionUpdates = 0;
  std::vector<TRect> AreasSeen;

 protected:
  void UpdateWindowRegion() override {
    ++RegionUpdates;
    AreasSeen.push_back(HintAreaBounds());
  }
};

// Replaces AnimateWindow for one test.
struct AnimateRecorder {
  TcxAnimateWindowProc saved;
  AnimateRecorder() : saved(cxSetAnimateWindowProc(&RecordAnimateWindow)) { gAnimateCalls.clear(); }
  ~AnimateRecorder() { cxSetAnimateWindowProc(saved); }
};

// A form that is the active window while a test runs.
struct ActiveForm {
  Owned<TForm> form{Make<TForm>(nullptr, 0)};
  ActiveForm() {
    form->SetBounds(60, 60, 200, 150);
    form->Show();
    SetForegroundWindow(form->Handle());
    SetActiveWindow(form->Handle());
    PumpMessagesUntil([this] { return GetActiveWindow() == form->WindowHandle(); });
  }
};

}  // namespace

// ---------------------------------------------------------------------------
// Hint window
// ---------------------------------------------------------------------------

TEST(cxBaseHintWindow, AnimationChoiceTable) {
  struct Case {
    TcxHintAnimationStyle style;
    bool animation, fade;
    TcxHintAnimationStyle expected;
  } cases[] = {
      {cxhaAuto, true, true, cxhaFadeIn},          {cxhaAuto, true, false, cxhaSlideDownward},
      {cxhaAuto, false, true, cxhaNone},           {cxhaNone, true, true, cxhaNone},
      {cxhaSlideFromLeft, true, false, cxhaSlideFromLeft},
      {cxhaSlideFromLeft, false, false, cxhaNone}, {cxhaFadeIn, true, false, cxhaFadeIn},
      {cxhaHide, true, true, cxhaHide},
  };
  for (const Case& c : cases)
    EXPECT_EQ(cxGetHintEffectiveAnimationStyle(c.style, c.animation, c.fade), c.expected)
        << EnumName(c.style) << " " << c.animation << c.fade;

  struct Flags {
    TcxHintAnimationStyle style;
    DWORD flags;
  } flags[] = {
      {cxhaSlideFromLeft, AW_HOR_POSITIVE | AW_SLIDE}, {cxhaSlideFromRight, AW_HOR_NEGATIVE | AW_SLIDE},
      {cxhaSlideDownward, AW_VER_POSITIVE | AW_SLIDE}, {cxhaSlideUpward, AW_VER_NEGATIVE | AW_SLIDE},
      {cxhaSlideFromCenter, AW_CENTER | AW_SLIDE},     {cxhaHide, AW_HIDE | AW_SLIDE},
      {cxhaActivate, AW_ACTIVATE | AW_SLIDE},          {cxhaFadeIn, AW_BLEND | AW_SLIDE},
      {cxhaAuto, 0},                                   {cxhaNone, 0},
  };
  for (const Flags& f : flags) EXPECT_EQ(cxGetHintAnimationFlags(f.style), f.flags) << EnumName(f.style);
}

TEST(cxBaseHintWindow, ActivateHintAnimatesShortHintsOnly) {
  EnsureControlsRoutinesModule();
  TooltipSettings restore;
  if (!TooltipSettings::Set(TRUE, TRUE) || !TooltipSettings::Is(TRUE, TRUE))
    GTEST_SKIP() << "the tooltip settings cannot be changed here";
  AnimateRecorder recorder;
  Owned<TcxBaseHintWindow> hint(Make<TcxBaseHintWindow>(nullptr));
  EXPECT_EQ(hint->GetAnimationStyle(), cxhaAuto);
  EXPECT_EQ(hint->GetAnimationDelay(), 100);
  const String text99(99, L'x'), text100(100, L'x');

  // cxhaAuto with the system's tooltip fade on: a blend for AnimationDelay ms.
  hint->SetAnimationDelay(150);
  hint->ActivateHint(TRect(100, 100, 300, 120), text99);
  ASSERT_EQ(gAnimateCalls.size(), 1u);
  EXPECT_EQ(gAnimateCalls[0].Wnd, hint->WindowHandle());
  EXPECT_EQ(gAnimateCalls[0].Time, 150u);
  EXPECT_EQ(gAnimateCalls[0].Flags, DWORD(AW_BLEND | AW_SLIDE));
  EXPECT_TRUE(IsWindowVisible(hint->WindowHandle()));

  gAnimateCalls.clear();
  hint->ActivateHint(TRect(100, 100, 300, 120), text100);
  EXPECT_TRUE(gAnimateCalls.empty());

  ASSERT_TRUE(TooltipSettings::Set(TRUE, FALSE));
  hint->ActivateHint(TRect(100, 100, 300, 120), L"short");
  ASSERT_EQ(gAnimateCalls.size(), 1u);
  EXPECT_EQ(gAnimateCalls[0].Flags, DWORD(AW_VER_POSITIVE | AW_SLIDE));

  gAnimateCalls.clear();
  hint->SetAnimationStyle(cxhaSlideFromRight);
  hint->ActivateHint(TRect(100, 100, 300, 120), L"short");
  ASSERT_EQ(gAnimateCalls.size(), 1u);
  EXPECT_EQ(gAnimateCalls[0].Flags, DWORD(AW_HOR_NEGATIVE | AW_SLIDE));

  gAnimateCalls.clear();
  hint->SetAnimationStyle(cxhaNone);
  hint->ActivateHint(TRect(100, 100, 300, 120), L"short");
  EXPECT_TRUE(gAnimateCalls.empty());

  hint->SetAnimationStyle(cxhaSlideFromRight);
  ASSERT_TRUE(TooltipSettings::Set(FALSE, TRUE));
  hint->ActivateHint(TRect(100, 100, 300, 120), L"short");
  EXPECT_TRUE(gAnimateCalls.empty());
  EXPECT_TRUE(IsWindowVisible(hint->WindowHandle()));
}

TEST(cxBaseHintWindow, KeptInsideTheWorkArea) {
  EnsureControlsRoutinesModule();
  AnimateRecorder recorder;
  Owned<TcxBaseHintWindow> hint(Make<TcxBaseHintWindow>(nullptr));
  const TRect wa = PrimaryWorkArea();
  struct Case {
    TRect asked;
    TRect expected;
  } cases[] = {
      // At the right edge, 200 wide: moved left onto the edge.
      {TRect(wa.Right - 50, wa.Top + 10, wa.Right + 150, wa.Top + 30),
       TRect(wa.Right - 200, wa.Top + 10, wa.Right, wa.Top + 30)},
      // Left of and above the work area: starts at its left and top.
      {TRect(wa.Left - 100, wa.Top - 40, wa.Left + 100, wa.Top - 20), TRect(wa.Left, wa.Top, wa.Left + 200, wa.Top + 20)},
      {TRect(wa.Left + 20, wa.Bottom - 5, wa.Left + 120, wa.Bottom + 25),
       TRect(wa.Left + 20, wa.Bottom - 30, wa.Left + 120, wa.Bottom)},
      // Inside: unchanged (the platform's hint would add 4 to the height).
      {TRect(wa.Left + 30, wa.Top + 40, wa.Left + 130, wa.Top + 60), TRect(wa.Left + 30, wa.Top + 40, wa.Left + 130, wa.Top + 60)},
      // Larger than the work area: the top-left corner stays inside.
      {TRect(wa.Left + 10, wa.Top + 10, wa.Left + 10 + wa.Width() + 50, wa.Top + 30),
       TRect(wa.Left, wa.Top + 10, wa.Left + wa.Width() + 50, wa.Top + 30)},
  };
  for (const Case& c : cases) {
    hint->ActivateHint(c.asked, L"clamped hint");
    EXPECT_EQ(WindowRect(hint->WindowHandle()), c.expected);
    EXPECT_EQ(hint->BoundsRect(), c.expected);
  }
}

TEST(cxBaseHintWindow, WindowStylesAndNoActivation) {
  EnsureControlsRoutinesModule();
  AnimateRecorder recorder;
  ActiveForm active;
  ASSERT_EQ(GetActiveWindow(), active.form->WindowHandle());
  Owned<TcxBaseHintWindow> hint(Make<TcxBaseHintWindow>(nullptr));
  hint->ActivateHint(TRect(300, 300, 420, 320), L"no activation");
  PumpQueuedMessages();
  HWND h = hint->WindowHandle();
  ASSERT_TRUE(IsWindowVisible(h));
  EXPECT_EQ(GetActiveWindow(), active.form->WindowHandle());
  EXPECT_EQ(GetForegroundWindow(), active.form->WindowHandle());
  const LONG style = GetWindowLongW(h, GWL_STYLE), exStyle = GetWindowLongW(h, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_BORDER);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_EQ(hint->Caption(), L"no activation");
  // The mouse falls through to the window below.
  EXPECT_EQ(SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(310, 310)), LRESULT(HTTRANSPARENT));

  hint->SetBorderStyle(bsSingle);   // made again with a border
  hint->ActivateHint(TRect(300, 300, 420, 320), L"bordered");
  EXPECT_TRUE(GetWindowLongW(hint->WindowHandle(), GWL_STYLE) & WS_BORDER);
  EXPECT_TRUE(GetWindowLongW(hint->WindowHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(cxBaseHintWindow, EraseBackgroundOnlyWhenAsked) {
  EnsureControlsRoutinesModule();
  AnimateRecorder recorder;
  Owned<TcxBaseHintWindow> hint(Make<TcxBaseHintWindow>(nullptr));
  hint->ActivateHint(TRect(300, 300, 340, 320), L"erase");
  Owned<TBitmap> bitmap(Make<TBitmap>());
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(40, 20);
  HDC dc = bitmap->Canvas()->Handle();
  auto fill = [&] {
    RECT r{0, 0, 40, 20};
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  };
  fill();
  EXPECT_EQ(SendMessageW(hint->WindowHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
  EXPECT_EQ(GetPixel(dc, 5, 5), RGB(255, 0, 255));

  hint->SetNeedEraseBackground(true);
  fill();
  EXPECT_EQ(SendMessageW(hint->WindowHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
  EXPECT_EQ(GetPixel(dc, 5, 5), ColorToGDI(hint->Color()));
}

TEST(cxBaseHintWindow, StandardHintBehavesLikeThePlatformHint) {
  EnsureControlsRoutinesModule();
  AnimateRecorder recorder;
  Owned<TcxBaseHintWindow> hint(Make<TcxBaseHintWindow>(nullptr));
  hint->SetStandardHint(true);
  hint->ActivateHint(TRect(200, 200, 300, 220), L"standard");
  HWND h = hint->WindowHandle();
  EXPECT_TRUE(GetWindowLongW(h, GWL_STYLE) & WS_BORDER);
  // The platform's hint adds 4 to the height and never animates.
  EXPECT_EQ(WindowRect(h), TRect(200, 200, 300, 224));
  EXPECT_TRUE(gAnimateCalls.empty());

  // Its text change resizes it to the text; ours keeps the bounds.
  hint->SetCaption(L"a much longer text than before");
  EXPECT_NE(hint->Width(), 100);
  Owned<TcxBaseHintWindow> own(Make<TcxBaseHintWindow>(nullptr));
  own->ActivateHint(TRect(200, 200, 300, 220), L"own");
  own->SetCaption(L"a much longer text than before");
  EXPECT_EQ(own->BoundsRect(), TRect(200, 200, 300, 220));
}

TEST(cxBaseHintWindow, HintAreaIsHandedToTheNextActivation) {
  EnsureControlsRoutinesModule();
  AnimateRecorder recorder;
  Owned<THintProbe> hint(Make<THintProbe>(nullptr));
  IcxHintAreaTarget* target = Supports<IcxHintAreaTarget>(static_cast<TObject*>(hint.get()));
  ASSERT_NE(target, nullptr);
  target->SetHintAreaBounds(TRect(1, 2, 3, 4));
  hint->ActivateHint(TRect(200, 200, 300, 220), L"area");
  ASSERT_EQ(hint->RegionUpdates, 1);
  EXPECT_EQ(hint->AreasSeen[0], TRect(1, 2, 3, 4));
  EXPECT_EQ(hint->HintAreaBounds(), TRect());
}

// ---------------------------------------------------------------------------
// Popup placement
// ---------------------------------------------------------------------------

TEST(cxPopupWindow, PlacementTable) {
  const TRect wa(0, 0, 1000, 800);
  struct Case {
    const char* name;
    TRect owner;
    TSize size;
    TcxPopupDirection direction;
    TcxPopupAlignHorz horz;
    TcxPopupAlignVert vert;
    TPoint expected, anchor;
  } cases[] = {
      // Below and above, aligned to either edge.
      {"below left", {100, 100, 200, 120}, {150, 100}, pdVertical, pahLeft, pavBottom, {100, 120}, {100, 120}},
      {"below right", {100, 100, 200, 120}, {150, 100}, pdVertical, pahRight, pavBottom, {50, 120}, {200, 120}},
      {"above left", {100, 300, 200, 320}, {150, 100}, pdVertical, pahLeft, pavTop, {100, 200}, {100, 300}},
      {"below centred", {100, 100, 201, 120}, {150, 100}, pdVertical, pahCenter, pavBottom, {75, 120}, {75, 120}},
      // Flips by room, in the opening direction only.
      {"below flips up", {100, 700, 200, 720}, {150, 150}, pdVertical, pahLeft, pavBottom, {100, 550}, {100, 720}},
      {"above flips down", {100, 50, 200, 70}, {150, 100}, pdVertical, pahLeft, pavTop, {100, 70}, {100, 50}},
      // Less room above: stays below and runs past the bottom; x clamped.
      {"no room anywhere", {950, 300, 990, 320}, {150, 600}, pdVertical, pahLeft, pavBottom, {850, 320}, {950, 320}},
      {"above without room", {100, 450, 200, 470}, {150, 600}, pdVertical, pahLeft, pavTop, {100, -150}, {100, 450}},
      // Centred on the owner, then clamped.
      {"centred clamped", {0, 100, 100, 120}, {150, 100}, pdVertical, pahCenter, pavBottom, {0, 120}, {-25, 120}},
      {"centred odd", {500, 100, 601, 120}, {150, 100}, pdVertical, pahCenter, pavBottom, {475, 120}, {475, 120}},
      {"centred vertically", {100, 10, 200, 30}, {150, 100}, pdVertical, pahLeft, pavCenter, {100, 0}, {100, -30}},
      // Beside the owner.
      {"right of", {100, 100, 200, 120}, {150, 100}, pdHorizontal, pahRight, pavTop, {200, 100}, {200, 100}},
      {"left of", {300, 100, 400, 120}, {150, 100}, pdHorizontal, pahLeft, pavBottom, {150, 20}, {300, 120}},
      {"right flips left", {900, 100, 950, 120}, {150, 100}, pdHorizontal, pahRight, pavTop, {750, 100}, {950, 100}},
      {"left flips right", {100, 100, 150, 120}, {150, 100}, pdHorizontal, pahLeft, pavTop, {150, 100}, {100, 100}},
      {"beside clamped vertically", {100, 10, 200, 30}, {150, 100}, pdHorizontal, pahRight, pavBottom, {200, 0}, {200, 30}},
      {"beside at the bottom", {100, 780, 200, 790}, {150, 100}, pdHorizontal, pahRight, pavTop, {200, 700}, {200, 780}},
      {"beside without room", {400, 100, 600, 120}, {500, 100}, pdHorizontal, pahRight, pavTop, {600, 100}, {600, 100}},
      {"beside centred", {100, 100, 200, 120}, {150, 100}, pdHorizontal, pahCenter, pavTop, {75, 100}, {75, 100}},
  };
  for (const Case& c : cases) {
    std::vector<TPoint> anchors;
    const TPoint p = cxCalculatePopupPosition(c.owner, c.size, c.direction, c.horz, c.vert, [&](const TPoint& a) {
      anchors.push_back(a);
      return wa;
    });
    EXPECT_EQ(p, c.expected) << c.name;
    ASSERT_EQ(anchors.size(), 1u) << c.name;
    EXPECT_EQ(anchors[0], c.anchor) << c.name;
  }
}

TEST(cxPopupWindow, WorkAreaOfTheAnchorsMonitor) {
  // Two monitors side by side; the owner straddles the border and the popup
  // is aligned to its right edge, which lies on the second monitor.
  auto twoMonitors = [](const TPoint& a) { return a.X < 1000 ? TRect(0, 0, 1000, 800) : TRect(1000, 0, 2000, 800); };
  const TRect owner(990, 100, 1010, 120);
  EXPECT_EQ(cxCalculatePopupPosition(owner, TSize(150, 100), pdVertical, pahRight, pavBottom, twoMonitors),
            TPoint(1000, 120));
  EXPECT_EQ(cxCalculatePopupPosition(owner, TSize(150, 100), pdVertical, pahLeft, pavBottom, twoMonitors),
            TPoint(850, 120));
}

// ---------------------------------------------------------------------------
// Popup window
// ---------------------------------------------------------------------------

namespace {

// Records the WM_NCACTIVATE values a plain window receives.
std::vector<WPARAM> gNCActivate;

class TPopupProbe : public TcxPopupWindow {
 public:
  using TcxPopupWindow::DrawFrame;
  int Closed = 0;
  // How many WM_NCACTIVATE the recording window had seen when the first
  // CloseUp ran.
  size_t NCActivateAtClose = 0;
  void CloseUp() override {
    if (Closed++ == 0) NCActivateAtClose = gNCActivate.size();
    TcxPopupWindow::CloseUp();
  }
};

LRESULT CALLBACK RecordingProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_NCACTIVATE) gNCActivate.push_back(w);
  return DefWindowProcW(h, msg, w, l);
}

HWND CreateRecordingWindow() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"cxPopupTestOwner";
    RegisterClassW(&wc);
    registered = true;
  }
  return CreateWindowExW(0, L"cxPopupTestOwner", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                         nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

TCustomControl* AddChild(TWinControl* parent, int x, int y, int w, int h) {
  auto* child = Make<TCustomControl>(parent);
  child->SetParent(parent);
  child->SetBounds(x, y, w, h);
  return child;
}

}  // namespace

TEST(cxPopupWindow, DefaultsAndIndents) {
  Owned<TcxPopupWindow> popup(Make<TcxPopupWindow>());
  EXPECT_EQ(popup->Owner(), nullptr);
  EXPECT_EQ(popup->TCustomForm::BorderStyle(), bsNone);
  EXPECT_EQ(popup->FormStyle(), fsStayOnTop);
  EXPECT_EQ(popup->DefaultMonitor(), dmDesktop);
  EXPECT_TRUE(popup->GetAdjustable());
  EXPECT_EQ(popup->GetAlignHorz(), pahLeft);
  EXPECT_EQ(popup->GetAlignVert(), pavBottom);
  EXPECT_EQ(popup->GetDirection(), pdVertical);
  EXPECT_EQ(popup->BorderStyle(), pbsNone);
  EXPECT_EQ(popup->GetFrameColor(), clWindowText);
  EXPECT_FALSE(popup->Visible());
  ASSERT_NE(popup->cxCanvas(), nullptr);
  EXPECT_EQ(popup->cxCanvas()->Canvas(), popup->Canvas());

  const std::pair<TcxPopupBorderStyle, int> sizes[] = {{pbsNone, 0}, {pbsUltraFlat, 1}, {pbsFlat, 1}, {pbs3D, 2}};
  for (auto [style, size] : sizes) {
    popup->SetBorderStyle(style);
    EXPECT_EQ(popup->GetBorderSize(), size) << EnumName(style);
  }
  popup->SetBorderStyle(pbs3D);
  popup->SetBorderSpace(4);
  popup->SetBounds(0, 0, 100, 80);
  for (int side = 0; side < 4; ++side) EXPECT_EQ(popup->ContentIndent(side), 6);
  EXPECT_EQ(popup->ClientBounds(), TRect(6, 6, 94, 74));
}

TEST(cxPopupWindow, SizesAroundItsChildrenOnce) {
  Owned<TcxPopupWindow> popup(Make<TcxPopupWindow>());
  TCustomControl* a = AddChild(popup.get(), 0, 0, 80, 40);
  TCustomControl* b = AddChild(popup.get(), 20, 50, 30, 10);
  popup->SetBorderStyle(pbs3D);
  popup->SetBorderSpace(4);
  for (int pass = 0; pass < 2; ++pass) {   // a second sizing (each Popup sizes) moves nothing
    popup->CalculateSize();
    EXPECT_EQ(a->BoundsRect(), TRect(6, 6, 86, 46)) << pass;
    EXPECT_EQ(b->BoundsRect(), TRect(26, 56, 56, 66)) << pass;
    EXPECT_EQ(popup->Width(), 6 + 80 + 6) << pass;
    EXPECT_EQ(popup->Height(), 6 + 60 + 6) << pass;
  }
  // A new frame takes the children back first; the next sizing applies it.
  popup->SetBorderStyle(pbsUltraFlat);
  EXPECT_EQ(a->BoundsRect(), TRect(0, 0, 80, 40));
  popup->CalculateSize();
  EXPECT_EQ(a->BoundsRect(), TRect(5, 5, 85, 45));
  EXPECT_EQ(popup->Width(), 5 + 80 + 5);
  popup->SetBorderSpace(0);
  popup->CalculateSize();
  EXPECT_EQ(a->BoundsRect(), TRect(1, 1, 81, 41));
  EXPECT_EQ(popup->Height(), 1 + 60 + 1);

  // Not adjustable: nothing moves. Without children the size stays.
  popup->SetAdjustable(false);
  popup->SetBorderSpace(10);
  popup->CalculateSize();
  EXPECT_EQ(a->BoundsRect(), TRect(0, 0, 80, 40));
  Owned<TcxPopupWindow> empty(Make<TcxPopupWindow>());
  empty->SetBounds(0, 0, 33, 44);
  empty->SetBorderStyle(pbs3D);
  empty->CalculateSize();
  EXPECT_EQ(empty->Width(), 33);
  EXPECT_EQ(empty->Height(), 44);
}

TEST(cxPopupWindow, DrawsItsFrame) {
  Owned<TPopupProbe> popup(Make<TPopupProbe>());
  popup->SetBounds(0, 0, 20, 16);
  Owned<TBitmap> bitmap(Make<TBitmap>());
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(20, 16);
  TCanvas* formCanvas = popup->cxCanvas()->Canvas();
  popup->cxCanvas()->SetCanvas(bitmap->Canvas());
  const COLORREF background = RGB(255, 0, 255);
  auto draw = [&](TcxPopupBorderStyle style) {
    HDC dc = bitmap->Canvas()->Handle();
    RECT r{0, 0, 20, 16};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    popup->SetBorderStyle(style);
    popup->DrawFrame();
    return dc;
  };
  auto rgb = [](TColor c) { return ColorToGDI(c); };

  HDC dc = draw(pbsNone);
  EXPECT_EQ(GetPixel(dc, 0, 0), background);

  popup->SetFrameColor(RGB(10, 20, 30));
  dc = draw(pbsUltraFlat);
  for (POINT p : {POINT{0, 0}, POINT{19, 0}, POINT{0, 15}, POINT{19, 15}, POINT{10, 0}, POINT{19, 8}})
    EXPECT_EQ(GetPixel(dc, p.x, p.y), RGB(10, 20, 30)) << p.x << "," << p.y;
  EXPECT_EQ(GetPixel(dc, 1, 1), background);

  dc = draw(pbsFlat);   // a raised inner edge
  EXPECT_EQ(GetPixel(dc, 0, 5), rgb(clBtnHighlight));
  EXPECT_EQ(GetPixel(dc, 19, 5), rgb(clBtnShadow));
  EXPECT_EQ(GetPixel(dc, 5, 15), rgb(clBtnShadow));
  EXPECT_EQ(GetPixel(dc, 1, 1), background);

  dc = draw(pbs3D);     // a raised outer edge, then a raised inner edge
  EXPECT_EQ(GetPixel(dc, 0, 5), rgb(cl3DLight));
  EXPECT_EQ(GetPixel(dc, 19, 5), rgb(cl3DDkShadow));
  EXPECT_EQ(GetPixel(dc, 1, 5), rgb(clBtnHighlight));
  EXPECT_EQ(GetPixel(dc, 18, 5), rgb(clBtnShadow));
  EXPECT_EQ(GetPixel(dc, 5, 14), rgb(clBtnShadow));
  EXPECT_EQ(GetPixel(dc, 2, 2), background);
  popup->cxCanvas()->SetCanvas(formCanvas);
}

TEST(cxPopupWindow, PopupOpensNextToItsOwner) {
  EnsureControlsRoutinesModule();
  Owned<TForm> ownerForm(Make<TForm>(nullptr, 0));
  ownerForm->SetBounds(100, 100, 300, 200);
  ownerForm->Font()->SetSize(14);
  ownerForm->Show();
  Owned<TcxPopupWindow> popup(Make<TcxPopupWindow>());
  TCustomControl* child = AddChild(popup.get(), 0, 0, 80, 40);
  popup->SetBorderStyle(pbsFlat);
  popup->SetOwnerParent(ownerForm.get());
  popup->SetOwnerBounds(TRect(10, 20, 110, 40));

  const TRect ownerScreen = popup->OwnerScreenBounds();
  const TPoint origin = ownerForm->ClientToScreen(TPoint(0, 0));
  EXPECT_EQ(ownerScreen, TRect(origin.X + 10, origin.Y + 20, origin.X + 110, origin.Y + 40));

  for (int pass = 0; pass < 2; ++pass) {
    popup->Popup();
    PumpQueuedMessages();
    HWND h = popup->WindowHandle();
    ASSERT_TRUE(IsWindowVisible(h)) << pass;
    EXPECT_EQ(WindowRect(h), TRect(ownerScreen.Left, ownerScreen.Bottom, ownerScreen.Left + 82, ownerScreen.Bottom + 42))
        << pass;
    EXPECT_EQ(child->BoundsRect(), TRect(1, 1, 81, 41)) << pass;
    EXPECT_TRUE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongW(h, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
    EXPECT_EQ(popup->Font()->Size(), 14);
    popup->CloseUp();
    EXPECT_FALSE(IsWindowVisible(h));
  }

  // The owner going away leaves a popup that opens at the bounds as given.
  ownerForm.reset();
  EXPECT_EQ(popup->GetOwnerParent(), nullptr);
  EXPECT_EQ(popup->OwnerScreenBounds(), TRect(10, 20, 110, 40));
}

TEST(cxPopupWindow, ApplicationDeactivationClosesIt) {
  EnsureControlsRoutinesModule();
  gNCActivate.clear();
  HWND owner = CreateRecordingWindow();
  ASSERT_NE(owner, nullptr);
  SetForegroundWindow(owner);
  SetActiveWindow(owner);
  ASSERT_TRUE(PumpMessagesUntil([&] { return GetActiveWindow() == owner; }));

  Owned<TPopupProbe> popup(Make<TPopupProbe>());
  popup->SetOwnerBounds(TRect(60, 60, 160, 80));
  popup->SetBounds(0, 0, 100, 60);
  gNCActivate.clear();
  popup->Popup();
  ASSERT_TRUE(PumpMessagesUntil([&] { return GetActiveWindow() == popup->WindowHandle(); }));
  EXPECT_EQ(popup->PrevActiveWindow(), owner);
  // The owner lost the activation but its caption was told to stay active.
  ASSERT_FALSE(gNCActivate.empty());
  EXPECT_EQ(gNCActivate.back(), WPARAM(TRUE));

  // Before it closes, the owner's caption is told to look inactive (here the
  // owner then gets the activation back, as the application stays active).
  gNCActivate.clear();
  SendMessageW(popup->WindowHandle(), WM_ACTIVATEAPP, FALSE, 0);
  ASSERT_GE(popup->Closed, 1);
  ASSERT_GE(popup->NCActivateAtClose, 1u);
  EXPECT_EQ(gNCActivate[popup->NCActivateAtClose - 1], WPARAM(FALSE));
  EXPECT_FALSE(IsWindowVisible(popup->WindowHandle()));
  EXPECT_FALSE(popup->Visible());

  // The application becoming active again leaves it closed.
  const int closed = popup->Closed;
  SendMessageW(popup->WindowHandle(), WM_ACTIVATEAPP, TRUE, 0);
  EXPECT_EQ(popup->Closed, closed);
  DestroyWindow(owner);
}

TEST(cxPopupWindow, ClosesWhenAnotherFormIsActivated) {
  EnsureControlsRoutinesModule();
  ActiveForm first;
  Owned<TPopupProbe> popup(Make<TPopupProbe>());
  popup->SetOwnerBounds(TRect(60, 60, 160, 80));
  popup->SetBounds(0, 0, 100, 60);
  popup->Popup();
  ASSERT_TRUE(PumpMessagesUntil([&] { return GetActiveWindow() == popup->WindowHandle(); }));

  ActiveForm second;
  ASSERT_TRUE(PumpMessagesUntil([&] { return popup->Closed > 0; }));
  EXPECT_FALSE(IsWindowVisible(popup->WindowHandle()));
  EXPECT_NE(popup->WindowHandle(), nullptr);   // closed, not freed
}
