#include "foundation/cxContainer.h"
#include "foundation/cxContainerListBox.h"

#include "foundation/dxOffice11.h"
#include "platform/core/Lists.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/StdCtrls.h"
#include "tests/foundation/cxContainerTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using cxtest::TActiveForm;

class TTestContainer : public TcxContainer {
 public:
  explicit TTestContainer(TComponent* AOwner) : TcxContainer(AOwner) {}
  using TcxContainer::AlignControls;
  using TcxContainer::CurrentStateStyle;
  using TcxContainer::IsViewInfoCalculated;
  bool UpdateAt(const TPoint& P, TShiftState AShift) { return UpdateStateAt(P, cxmbNone, AShift); }
  bool Extents(TRect& R) { return CalcBorderExtents(R); }
  void HoldRefreshes(bool AHold) { FRefreshLockCount += AHold ? 1 : -1; }
  void Frame(TRect& R) { CalcBorderFrameRect(R); }
  int FocusChanges = 0;
  int StyleTakes = 0;
  bool Native = false;
  bool HasOwnBars = false;

 protected:
  void AfterFocusChange() override {
    ++FocusChanges;
    TcxContainer::AfterFocusChange();
  }
  void TakeColorAndFontFromStyle(TObject* ASender) override {
    ++StyleTakes;
    TcxContainer::TakeColorAndFontFromStyle(ASender);
  }
  bool IsNativeStyleActive() override { return Native; }
  bool HasOwnScrollBars() override { return HasOwnBars; }
};

// A container on a shown, active form.
struct TContainerOnForm {
  TActiveForm Active;
  TTestContainer* Container;
  TEdit* Other;
  TContainerOnForm() {
    Container = Make<TTestContainer>(Active.Form.get());
    Container->SetParent(Active.Form.get());
    Container->SetBounds(20, 20, 120, 60);
    Other = Make<TEdit>(Form());
    Other->SetParent(Form());
    Other->SetBounds(20, 120, 100, 24);
    Container->Handle();
    PumpQueuedMessages();
  }
  void FocusElsewhere() {
    Other->SetFocus();
    PumpQueuedMessages();
  }
  TForm* Form() const { return Active.Form.get(); }
};

TRect WindowRegionBox(HWND AWnd) {
  HRGN region = GdiCreateRectRgn(0, 0, 0, 0);
  RECT box{};
  const int kind = GetWindowRgn(AWnd, region);
  if (kind != ERROR) GetRgnBox(region, &box);
  GdiDeleteObject(region);
  return kind == ERROR ? TRect(-1, -1, -1, -1) : TRect(box.left, box.top, box.right, box.bottom);
}

}  // namespace

TEST(cxContainer, StateStyleAndBorderTable) {
  TContainerOnForm t;
  TTestContainer* c = t.Container;
  struct Case {
    const char* name;
    bool enabled, focused, inside, hotTrack;
    TShiftState shift;
    TcxContainerState state;
    TcxContainerStateItem style;
    TcxContainerHotState hot;
  };
  const TPoint inside(30, 30), outside(-1, -1);
  const Case cases[] = {
      {"idle", true, false, false, true, {}, {csNormal}, csNormal, chsNormal},
      {"hot", true, false, true, true, {}, {csNormal, csHotTrack}, csHotTrack, chsSelected},
      {"hot with a button held", true, false, true, true, {ssLeft}, {csNormal}, csNormal, chsNormal},
      {"hot with Ctrl held", true, false, true, true, {ssCtrl}, {csNormal}, csNormal, chsNormal},
      {"hot tracking off", true, false, true, false, {}, {csNormal}, csNormal, chsNoHotTrack},
      {"focused and hot", true, true, true, true, {}, {csActive, csHotTrack}, csActive, chsSelected},
      {"focused", true, true, false, true, {}, {csActive}, csActive, chsSelected},
      {"disabled", false, false, true, true, {}, {csDisabled}, csDisabled, chsNormal},
  };
  c->Style()->SetBorderStyle(cbsUltraFlat);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    c->Style()->SetHotTrack(k.hotTrack);
    c->SetEnabled(k.enabled);
    if (k.focused)
      c->SetFocus();
    else
      t.FocusElsewhere();
    PumpQueuedMessages();
    ASSERT_EQ(c->Focused(), k.focused);
    c->UpdateAt(k.inside ? inside : outside, k.shift);
    // A first update may pick the style of the state before; the second
    // sees the settled one.
    c->UpdateAt(k.inside ? inside : outside, k.shift);
    EXPECT_EQ(c->ViewInfo()->ContainerState, k.state);
    EXPECT_EQ(c->CurrentStateStyle(), c->Styles()->Get(k.style));
    EXPECT_EQ(c->ViewInfo()->HotState, k.hot);
    // Ultra-flat borders are one-pixel single frames.
    EXPECT_EQ(c->ViewInfo()->BorderStyle, cbsSingle);
  }
  c->SetEnabled(true);
}

TEST(cxContainer, HotTrackingFollowsTheRealMouse) {
  TContainerOnForm t;
  TTestContainer* c = t.Container;
  const TPoint outside = c->ClientToScreen(TPoint(c->Width() + 40, c->Height() + 40));
  SetCursorPos(outside.X, outside.Y);
  PumpQueuedMessages();
  c->ShortRefreshContainer(false);
  ASSERT_FALSE(c->ViewInfo()->ContainerState.Contains(csHotTrack));

  // The mouse comes in: hot, and tracked until it leaves.
  const TPoint inside = c->ClientToScreen(TPoint(c->Width() / 2, c->Height() / 2));
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  move.mi.dx = MulDiv(inside.X, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  move.mi.dy = MulDiv(inside.Y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  cxtest::SendInputs({move});
  ASSERT_TRUE(PumpMessagesUntil([c] { return c->ViewInfo()->ContainerState.Contains(csHotTrack); }));
  EXPECT_EQ(c->CurrentStateStyle(), c->StyleHot());
  ASSERT_TRUE(cxIsMouseTracking(c));

  // Gone again: the tracking timer's next tick (driven here) notices.
  SetCursorPos(outside.X, outside.Y);
  cxMouseTrackingTimerOf(c)->Tick(nullptr);
  EXPECT_FALSE(cxIsMouseTracking(c));
  EXPECT_FALSE(c->ViewInfo()->ContainerState.Contains(csHotTrack));
  EXPECT_EQ(c->CurrentStateStyle(), c->Style());
}

// A refresh takes the cursor as over the container only where the container's window is
// the one under it: not beside the window, not where a sibling window covers it.
TEST(cxContainer, RefreshSeesTheCursorOnlyWhereTheWindowIsUnderIt) {
  TContainerOnForm t;
  TTestContainer* c = t.Container;
  t.Other->SetBounds(c->Left() + c->Width() - 30, c->Top() + 10, 60, 24);
  t.Other->BringToFront();
  PumpQueuedMessages();
  struct Case {
    const char* name;
    TPoint client;
    bool hot;
  } const cases[] = {
      {"over the container", TPoint(10, c->Height() / 2), true},
      {"beside its window", TPoint(c->Width() + 40, c->Height() / 2), false},
      {"over a sibling that covers it", TPoint(c->Width() - 10, 20), false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const TPoint screen = c->ClientToScreen(k.client);
    SetCursorPos(screen.X, screen.Y);
    c->ShortRefreshContainer(false);
    EXPECT_EQ(c->ViewInfo()->ContainerState.Contains(csHotTrack), k.hot);
  }
  SetCursorPos(0, 0);
  c->ShortRefreshContainer(false);
  PumpQueuedMessages();
}

TEST(cxContainer, BorderColorsOfTheFlatLooks) {
  TContainerOnForm t;
  TTestContainer* c = t.Container;
  struct Case {
    TcxContainerBorderStyle border;
    bool focused;
    TColor expected;
  };
  const Case cases[] = {{cbsUltraFlat, false, clBtnShadow},
                        {cbsUltraFlat, true, clHighlight},
                        {cbsOffice11, false, clBtnShadow},
                        {cbsOffice11, true, dxOffice11Palette.SelectedFrame}};
  for (const Case& k : cases) {
    c->Style()->SetBorderStyle(k.border);
    if (k.focused)
      c->SetFocus();
    else
      t.FocusElsewhere();
    PumpQueuedMessages();
    c->UpdateAt(TPoint(-1, -1), {});
    c->UpdateAt(TPoint(-1, -1), {});
    EXPECT_EQ(c->ViewInfo()->BorderColor, k.expected) << EnumName(k.border) << " focused " << k.focused;
  }
}

TEST(cxContainer, ExtentsVisibleBoundsAndWindowRegion) {
  TContainerOnForm t;
  TTestContainer* c = t.Container;
  struct Case {
    const char* name;
    bool transparent, shadow, native;
    TcxBorders edges;
    TRect extents, visible, region;
  };
  // Container 120 x 60, single border of 1 pixel.
  const Case cases[] = {
      {"transparent border", true, false, false, cxBordersAll, TRect(2, 2, 2, 2), TRect(1, 1, 119, 59),
       TRect(1, 1, 119, 59)},
      {"transparent with shadow", true, true, false, cxBordersAll, TRect(2, 2, 5, 5), TRect(1, 1, 116, 56),
       TRect(1, 1, 119, 59)},
      {"plain border", false, false, false, cxBordersAll, TRect(1, 1, 1, 1), TRect(0, 0, 120, 60),
       TRect(0, 0, 120, 60)},
      {"plain border, left and top only", false, false, false, TcxBorders{bLeft, bTop}, TRect(1, 1, 0, 0),
       TRect(0, 0, 120, 60), TRect(0, 0, 120, 60)},
      {"shadow", false, true, false, cxBordersAll, TRect(1, 1, 4, 4), TRect(0, 0, 117, 57), TRect(0, 0, 120, 60)},
      {"native", false, false, true, cxBordersAll, TRect(2, 2, 2, 2), TRect(0, 0, 120, 60), TRect(-1, -1, -1, -1)},
  };
  c->Style()->SetBorderStyle(cbsSingle);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    c->Native = k.native;
    c->Style()->SetTransparentBorder(k.transparent);
    c->Style()->SetShadow(k.shadow);
    c->Style()->SetEdges(k.edges);
    c->ShortRefreshContainer(false);
    TRect extents;
    EXPECT_EQ(c->Extents(extents), k.shadow && !k.native);
    EXPECT_EQ(extents, k.extents);
    EXPECT_EQ(c->VisibleBounds(), k.visible);
    EXPECT_EQ(c->ClientBounds(), TRect(k.extents.Left, k.extents.Top, 120 - k.extents.Right, 60 - k.extents.Bottom));
    if (k.native) continue;
    EXPECT_EQ(WindowRegionBox(c->WindowHandle()), k.region);
  }
}

TEST(cxContainer, ColorAndFontFollowTheNormalStyle) {
  TContainerOnForm t;
  TTestContainer* c = t.Container;
  c->StyleTakes = 0;
  c->SetColor(clRed);
  EXPECT_TRUE(c->Style()->AssignedValues().Contains(csvColor));
  EXPECT_EQ(c->Style()->Color(), clRed);
  EXPECT_EQ(c->Color(), clRed);
  EXPECT_EQ(c->StyleTakes, 1);   // once: the write back does not come round again

  c->Style()->SetColor(clLime);
  EXPECT_EQ(c->Color(), clLime);

  // Following the parent's colour: the style's own colour is dropped.
  c->SetParentColor(true);
  t.Form()->SetColor(clYellow);
  EXPECT_EQ(c->Color(), clYellow);
  EXPECT_FALSE(c->Style()->AssignedValues().Contains(csvColor));
  EXPECT_EQ(c->Style()->Color(), clYellow);

  // A font written on the container becomes the style's without marking it.
  c->Font()->SetSize(17);
  EXPECT_EQ(c->Style()->Font()->Size(), 17);
  c->Style()->Font()->SetSize(19);
  EXPECT_TRUE(c->Style()->AssignedValues().Contains(csvFont));
  EXPECT_EQ(c->Font()->Size(), 19);
  EXPECT_FALSE(c->ParentFont());
}

TEST(cxContainer, RefreshThatCannotRunLeavesTheViewStaleUntilThePaint) {
  TActiveForm active;
  auto* c = Make<TTestContainer>(active.Form.get());
  c->SetBounds(10, 10, 80, 30);
  c->ShortRefreshContainer(false);   // no window yet
  EXPECT_FALSE(c->IsViewInfoCalculated());
  EXPECT_EQ(c->ViewInfo()->Bounds, TRect());
  c->SetParent(active.Form.get());
  UpdateWindow(c->Handle());
  PumpQueuedMessages();
  EXPECT_TRUE(c->IsViewInfoCalculated());
  EXPECT_EQ(c->ViewInfo()->Bounds, TRect(0, 0, 80, 30));

  // Asked while refreshing is held off: nothing changes but the mark.
  c->Style()->SetBorderStyle(cbsSingle);
  c->HoldRefreshes(true);
  c->Style()->SetBorderColor(clFuchsia);
  c->HoldRefreshes(false);
  EXPECT_FALSE(c->IsViewInfoCalculated());
  EXPECT_NE(c->ViewInfo()->BorderColor, clFuchsia);
  // The next paint recalculates first.
  InvalidateRect(c->WindowHandle(), nullptr, FALSE);
  UpdateWindow(c->WindowHandle());
  EXPECT_TRUE(c->IsViewInfoCalculated());
  EXPECT_EQ(c->ViewInfo()->BorderColor, clFuchsia);
}

TEST(cxContainer, LongCaptionIsSetAfterCreation) {
  for (size_t length : {size_t(65535), size_t(65536)}) {
    TActiveForm active;
    auto* c = Make<TTestContainer>(active.Form.get());
    c->SetParent(active.Form.get());
    c->SetText(String(length, L'x'));
    c->Handle();
    EXPECT_EQ(GetWindowTextLengthW(c->WindowHandle()), int(length));
  }
}

// ---------------------------------------------------------------------------
// The inner control
// ---------------------------------------------------------------------------

namespace {

struct TContainerWithInner : TContainerOnForm {
  TcxCustomInnerListBox* Inner;
  TContainerWithInner() {
    Inner = Make<TcxCustomInnerListBox>(Container);
    Inner->SetContainer(Container);
    Inner->SetParent(Container);
    Container->SetInnerControl(Inner);
    Container->ShortRefreshContainer(false);
    PumpQueuedMessages();
  }
};

}  // namespace

TEST(cxContainerInnerControl, FocusGoesToTheInnerControlWithoutLoops) {
  TContainerWithInner t;
  TTestContainer* c = t.Container;
  EXPECT_EQ(t.Inner->BoundsRect(), c->ViewInfo()->ClientRect);
  c->SetFocus();
  PumpQueuedMessages();
  EXPECT_EQ(GetFocus(), t.Inner->WindowHandle());
  EXPECT_TRUE(c->Focused());
  c->ShortRefreshContainer(false);
  EXPECT_EQ(c->ViewInfo()->ContainerState, TcxContainerState{csActive});

  // Focus handed back from the inner window to the container's own does
  // not run the container's focus handling again (only the inner window's
  // loss is told), and the focus is not sent back: no ping-pong.
  const int changes = c->FocusChanges;
  SetFocus(c->WindowHandle());
  PumpQueuedMessages();
  EXPECT_EQ(GetFocus(), c->WindowHandle());
  EXPECT_EQ(c->FocusChanges, changes + 1);
  // Losing the focus to the inner window is swallowed too.
  SendMessageW(c->WindowHandle(), WM_KILLFOCUS, reinterpret_cast<WPARAM>(t.Inner->WindowHandle()), 0);
  EXPECT_EQ(c->FocusChanges, changes + 1);
}

TEST(cxContainerInnerControl, KeysAreForwardedUnchanged) {
  TContainerWithInner t;
  struct TRecorder : TObject {
    std::vector<std::pair<WPARAM, LPARAM>> Chars;
    TWndMethod Saved;
    TcxCustomInnerListBox* Inner = nullptr;
    void Proc(TMessage& M) {
      if (M.Msg == WM_CHAR) Chars.emplace_back(M.WParam, M.LParam);
      Saved(M);
    }
  } recorder;
  recorder.Inner = t.Inner;
  recorder.Saved = t.Inner->WindowProc;
  t.Inner->WindowProc = TWndMethod::Bind<&TRecorder::Proc>(&recorder);
  int containerKeyPresses = 0;
  struct TKeys : TObject {
    int* Count;
    void Press(TObject*, Char&) { ++*Count; }
  } keys;
  keys.Count = &containerKeyPresses;
  t.Container->OnKeyPress = TKeyPressEvent::Bind<&TKeys::Press>(&keys);
  SendMessageW(t.Container->WindowHandle(), WM_CHAR, L'q', 0x00100001);
  t.Inner->WindowProc = recorder.Saved;
  t.Container->OnKeyPress = nullptr;
  ASSERT_EQ(recorder.Chars.size(), 1u);
  EXPECT_EQ(recorder.Chars[0], std::make_pair(WPARAM(L'q'), LPARAM(0x00100001)));
  // The container saw it only as the inner list box passed it on.
  EXPECT_EQ(containerKeyPresses, 1);
}

TEST(cxContainerInnerControl, TabMovesThroughTheForm) {
  TContainerWithInner t;
  t.Container->SetFocus();
  PumpQueuedMessages();
  ASSERT_EQ(GetFocus(), t.Inner->WindowHandle());
  int innerKeyPresses = 0;
  struct TKeys : TObject {
    int* Count;
    void Press(TObject*, Char& Key) {
      if (Key == VK_TAB) ++*Count;
    }
  } keys;
  keys.Count = &innerKeyPresses;
  t.Inner->OnKeyPress = TKeyPressEvent::Bind<&TKeys::Press>(&keys);
  cxtest::PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), t.Other->WindowHandle());
  cxtest::PressKey(VK_TAB, {VK_SHIFT});
  EXPECT_EQ(GetFocus(), t.Inner->WindowHandle());
  EXPECT_EQ(innerKeyPresses, 0);
  t.Inner->OnKeyPress = nullptr;
}

TEST(cxContainerInnerControl, ChildClippingTable) {
  TContainerOnForm t;
  TTestContainer* c = t.Container;
  auto* child = Make<TEdit>(c);
  child->SetParent(c);
  child->Handle();
  struct Case {
    const char* name;
    TRect align, child;
    bool empty;
    TRect region;
  };
  const Case cases[] = {
      {"inside", TRect(0, 0, 100, 50), TRect(10, 10, 40, 30), true, TRect()},
      {"sticks out on the right", TRect(0, 0, 100, 50), TRect(80, 10, 130, 30), false, TRect(0, 0, 20, 20)},
      {"sticks out left and bottom", TRect(10, 0, 100, 50), TRect(0, 40, 30, 60), false, TRect(10, 0, 30, 10)},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    child->SetBoundsRect(k.child);
    TRect align = k.align;
    c->AlignControls(child, align);
    EXPECT_EQ(c->InnerControlBounds().IsEmpty, k.empty);
    EXPECT_EQ(WindowRegionBox(child->WindowHandle()), k.empty ? TRect(-1, -1, -1, -1) : k.region);
  }
}

namespace {

// A native list box that names its container, with no painted bars of its own.
class TPlainInnerList : public TListBox, public IcxContainerInnerControl {
 public:
  explicit TPlainInnerList(TComponent* AOwner) : TListBox(AOwner) {}
  TcxContainer* Container = nullptr;
  TWinControl* GetControl() override { return this; }
  TcxContainer* GetControlContainer() override { return Container; }
};

}  // namespace

TEST(cxContainerInnerControl, MirroredScrollBarsFollowTheNativeOnes) {
  struct TPlain : TContainerOnForm {
    TPlainInnerList* Inner;
    TPlain() {
      Container->HasOwnBars = true;
      Container->RecreateWnd();
      Inner = Make<TPlainInnerList>(Container);
      Inner->Container = Container;
      Inner->SetParent(Container);
      Container->SetInnerControl(Inner);
      Container->Handle();
      Container->ShortRefreshContainer(false);
    }
  } t;
  TTestContainer* c = t.Container;
  for (int i = 0; i < 40; ++i) t.Inner->Items()->Add(L"line " + IntToStr(i));
  c->SetScrollBarsParameters(false);
  ASSERT_TRUE(c->VScrollBar());
  ASSERT_TRUE(c->VScrollBar()->Visible());
  EXPECT_FALSE(c->HScrollBar()->Visible());
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  GetScrollInfo(t.Inner->WindowHandle(), SB_VERT, &si);
  EXPECT_EQ(c->VScrollBar()->Max(), si.nMax);
  EXPECT_EQ(c->VScrollBar()->PageSize(), std::min<int>(si.nPage, si.nMax));
  SCROLLBARINFO info{};
  ASSERT_TRUE(cxQueryScrollBarInfo(t.Inner->WindowHandle(), OBJID_VSCROLL, info));
  const TPoint topLeft = c->ScreenToClient(TPoint(info.rcScrollBar.left, info.rcScrollBar.top));
  EXPECT_EQ(c->VScrollBar()->BoundsRect().TopLeft(), topLeft);
  // One bar only: no size grip.
  EXPECT_FALSE(c->SizeGripData().Visible);
  // The position goes to the bar's own place in its parameters.
  t.Inner->SetTopIndex(12);
  c->SetScrollBarsParameters(false);
  EXPECT_EQ(c->VScrollBar()->Position(), GetScrollPos(t.Inner->WindowHandle(), SB_VERT));
  EXPECT_EQ(c->VScrollBar()->Position(), 12);

  // Both bars: the size grip between them, painted by the inner control on
  // a WM_NCPAINT that comes only when the grip appears or moves.
  struct TRecorder : TObject {
    std::vector<TRect> Regions;
    TWndMethod Saved;
    void Proc(TMessage& M) {
      if (M.Msg == WM_NCPAINT && M.WParam > 1) {
        RECT box{};
        GetRgnBox(reinterpret_cast<HRGN>(M.WParam), &box);
        Regions.push_back(TRect(box.left, box.top, box.right, box.bottom));
      }
      Saved(M);
    }
  } recorder;
  recorder.Saved = t.Inner->WindowProc;
  t.Inner->WindowProc = TWndMethod::Bind<&TRecorder::Proc>(&recorder);
  t.Inner->SetScrollWidth(1000);
  PumpQueuedMessages();
  recorder.Regions.clear();
  c->SetScrollBarsParameters(false);
  ASSERT_TRUE(c->HScrollBar()->Visible());
  ASSERT_TRUE(c->SizeGripData().Visible);
  TRect grip;
  cxGetContainerSizeGripRect(c, grip);
  EXPECT_EQ(c->SizeGripData().Bounds, grip);
  RECT window{};
  GetWindowRect(t.Inner->WindowHandle(), &window);
  // (Moving the bars makes the system repaint what they uncover as well.)
  const TRect gripOnScreen(grip.Left + window.left, grip.Top + window.top, grip.Right + window.left,
                           grip.Bottom + window.top);
  EXPECT_EQ(std::count(recorder.Regions.begin(), recorder.Regions.end(), gripOnScreen), 1);
  // The vertical bar's left and the horizontal bar's top, in the inner
  // window's coordinates.
  EXPECT_EQ(grip.Left + window.left, c->ClientToScreen(c->VScrollBar()->BoundsRect().TopLeft()).X);
  EXPECT_EQ(grip.Top + window.top, c->ClientToScreen(c->HScrollBar()->BoundsRect().TopLeft()).Y);
  recorder.Regions.clear();
  c->SetScrollBarsParameters(false);
  EXPECT_TRUE(recorder.Regions.empty());
  t.Inner->WindowProc = recorder.Saved;
}

namespace {

// A menu of the library's own kind, which the platform's shortcut search
// does not know.
class TMenuSource : public TComponent, public IcxMenuPopupSource {
 public:
  explicit TMenuSource(TComponent* AOwner) : TComponent(AOwner) {}
  int Taken = 0;
  bool IsMenuShortCut(TWMKey& AMessage) override {
    if (AMessage.CharCode != 'K' || GetKeyState(VK_CONTROL) >= 0) return false;
    ++Taken;
    return true;
  }
  void PopupAt(int, int) override {}
};

}  // namespace

TEST(cxContainerInnerControl, MenuShortcutsOfTheContainerReachTheInnerControl) {
  TContainerWithInner t;
  auto* menu = Make<TMenuSource>(t.Form());
  t.Container->SetPopupMenuComponent(menu);
  ASSERT_EQ(t.Container->PopupMenuComponent(), menu);
  t.Container->SetFocus();
  PumpQueuedMessages();
  ASSERT_EQ(GetFocus(), t.Inner->WindowHandle());
  cxtest::PressKey('K', {VK_CONTROL});
  EXPECT_EQ(menu->Taken, 1);
  cxtest::PressKey('J', {VK_CONTROL});
  EXPECT_EQ(menu->Taken, 1);
  t.Container->SetPopupMenuComponent(nullptr);
}
