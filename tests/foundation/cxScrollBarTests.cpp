// The painter-drawn scroll bar: layout of arrows, thumb and page areas; the
// range rules; scroll steps and events; the arrow repeat driven through the
// shared timer window; thumb dragging with snap-back; pixels per part state.
#include "platform/WinApi.h"
#include "foundation/cxScrollBar.h"

#include "foundation/cxControlsTimer.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxLookAndFeels.h"
#include "platform/core/Filer.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Streams.h"
#include "platform/gui/Forms.h"

#include "tests/foundation/cxControlsTestSupport.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TestDib.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

struct Dib : TTestDib {
  using TTestDib::TTestDib;
  DWORD At(int x, int y) const { return RawAt(x, y) & 0xFFFFFF; }
};

struct ScrollRecord {
  TScrollCode Code;
  int Pos;
};

struct EventLog : TObject {
  std::vector<ScrollRecord> Scrolls;
  int Changes = 0;
  int ForcedPos = -1;   // OnScroll replaces the position when >= 0
  void Scroll(TObject*, TScrollCode ACode, int& APos) {
    if (ForcedPos >= 0) APos = ForcedPos;
    Scrolls.push_back({ACode, APos});
  }
  void Change(TObject*) { ++Changes; }
};

// A shown form with one bar at (10, 10).
struct BarFixture {
  Owned<TForm> form{Make<TForm>(nullptr, 0)};
  TcxScrollBar* bar = nullptr;
  EventLog log;

  explicit BarFixture(TScrollBarKind AKind = sbHorizontal, int ALength = 200) {
    form->SetBounds(100, 100, 400, 300);
    bar = Make<TcxScrollBar>(form.get());
    bar->SetParent(form.get());
    bar->SetKind(AKind);
    if (AKind == sbHorizontal)
      bar->SetBounds(10, 10, ALength, GetSystemMetrics(SM_CYHSCROLL));
    else
      bar->SetBounds(10, 10, GetSystemMetrics(SM_CXVSCROLL), ALength);
    bar->OnScroll = TScrollEvent::Bind<&EventLog::Scroll>(&log);
    bar->OnChange = TNotifyEvent::Bind<&EventLog::Change>(&log);
    form->Show();
    PumpQueuedMessages();
  }
  ~BarFixture() { ReleaseCapture(); }

  HWND Wnd() { return bar->Handle(); }
  TPoint Center(const TRect& R) const { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }
  void Send(UINT AMsg, WPARAM AKeys, const TPoint& P) {
    SendMessageW(Wnd(), AMsg, AKeys, MAKELPARAM(static_cast<Word>(P.X), static_cast<Word>(P.Y)));
  }
  void Press(const TPoint& P) { Send(WM_LBUTTONDOWN, MK_LBUTTON, P); }
  void Move(const TPoint& P) { Send(WM_MOUSEMOVE, MK_LBUTTON, P); }
  void Release(const TPoint& P) { Send(WM_LBUTTONUP, 0, P); }
  // Puts the cursor over a client point of the bar.
  void CursorTo(const TPoint& P) {
    const TPoint s = bar->ClientToScreen(P);
    SetCursorPos(s.X, s.Y);
  }
  // One tick of the repeat timer, through the shared timer window.
  void Tick() { SendMessageW(cxGetTimerWindowHandle(), WM_TIMER, bar->Timer()->EventID(), 0); }
  int CountScrolls(TScrollCode ACode) const {
    int n = 0;
    for (const ScrollRecord& r : log.Scrolls) n += r.Code == ACode;
    return n;
  }
};

}  // namespace

TEST(cxScrollBar, LayoutTable) {
  const int L = GetSystemMetrics(SM_CYHSCROLL);
  const int thumb = GetSystemMetrics(SM_CXHTHUMB);
  const int T = 200 - 2 * L;
  struct Case {
    const char* name;
    int width, min, max, page, pos;
    bool enabled;
    TRect thumbRect;   // empty: no thumb
  } cases[] = {
      {"no page, at the start", 200, 0, 100, 0, 0, true, TRect(L, 0, L + thumb, L)},
      {"no page, at the end", 200, 0, 100, 0, 100, true, TRect(200 - L - thumb, 0, 200 - L, L)},
      {"no page, in the middle", 200, 0, 100, 0, 50, true,
       TRect(L + MulDiv(T - thumb, 50, 100), 0, L + MulDiv(T - thumb, 50, 100) + thumb, L)},
      {"a tenth of the range", 200, 0, 99, 10, 0, true, TRect(L, 0, L + MulDiv(T, 10, 100), L)},
      {"a tenth, at the last page", 200, 0, 99, 10, 90, true, TRect(200 - L - MulDiv(T, 10, 100), 0, 200 - L, L)},
      {"page covering the range fills the track", 200, 50, 99, 50, 50, true, TRect(L, 0, 200 - L, L)},
      {"empty range without page: thumb at the start", 200, 5, 5, 0, 5, true, TRect(L, 0, L + thumb, L)},
      {"empty range with a page", 200, 5, 5, 1, 5, true, TRect()},
      {"disabled", 200, 0, 100, 0, 50, false, TRect()},
      {"shorter than two arrows", L, 0, 100, 0, 0, true, TRect()},
  };
  for (const Case& c : cases) {
    BarFixture f(sbHorizontal, c.width);
    f.bar->SetScrollParams(c.min, c.max, c.pos, c.page);
    f.bar->SetEnabled(c.enabled);
    const TcxScrollBarViewInfo* vi = f.bar->ViewInfo();
    const int arrow = std::min(L, c.width / 2);
    EXPECT_EQ(vi->TopLeftArrowRect(), TRect(0, 0, arrow, L)) << c.name;
    EXPECT_EQ(vi->BottomRightArrowRect(), TRect(c.width - arrow, 0, c.width, L)) << c.name;
    EXPECT_EQ(vi->ThumbnailRect(), c.thumbRect) << c.name;
    if (c.thumbRect.IsEmpty()) {
      EXPECT_TRUE(vi->PageUpRect().IsEmpty() && vi->PageDownRect().IsEmpty()) << c.name;
    } else {
      EXPECT_EQ(vi->PageUpRect(), TRect(arrow, 0, c.thumbRect.Left, L)) << c.name;
      EXPECT_EQ(vi->PageDownRect(), TRect(c.thumbRect.Right, 0, c.width - arrow, L)) << c.name;
    }
  }
}

TEST(cxScrollBar, VerticalKindSwapsTheSizeAndLaysOutDownwards) {
  BarFixture f(sbHorizontal, 150);
  const int h = f.bar->Height();
  f.bar->SetKind(sbVertical);
  EXPECT_EQ(f.bar->Width(), h);
  EXPECT_EQ(f.bar->Height(), 150);
  const int L = std::min(GetSystemMetrics(SM_CXVSCROLL), 75);
  EXPECT_EQ(f.bar->ViewInfo()->TopLeftArrowRect(), TRect(0, 0, h, L));
  EXPECT_EQ(f.bar->ViewInfo()->BottomRightArrowRect(), TRect(0, 150 - L, h, 150));
  EXPECT_EQ(f.bar->GetScrollBarPart(TPoint(h / 2, 150 - 1)), sbpLineDown);
}

TEST(cxScrollBar, ScrollParamsRules) {
  BarFixture f;
  f.bar->SetScrollParams(0, 10, 20, 0);
  EXPECT_EQ(f.bar->Position(), 10);
  EXPECT_EQ(f.log.Changes, 1);
  // A page larger than the range is refused and nothing changes.
  try {
    f.bar->SetScrollParams(0, 10, 5, 11);
    ADD_FAILURE() << "no exception";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message, L"Scrollbar property out of range");
  }
  EXPECT_THROW(f.bar->SetScrollParams(10, 5, 5, 0), EInvalidOperation);
  EXPECT_EQ(f.bar->Min(), 0);
  EXPECT_EQ(f.bar->Max(), 10);
  EXPECT_EQ(f.bar->Position(), 10);
  EXPECT_EQ(f.bar->PageSize(), 0);
  // A range below zero with a page that fits it is accepted.
  f.bar->SetScrollParams(-50, 5, -50, 20);
  EXPECT_EQ(f.bar->Min(), -50);
  EXPECT_EQ(f.bar->PageSize(), 20);
  // The same values again: no change event.
  const int changes = f.log.Changes;
  f.bar->SetScrollParams(-50, 5, -50, 20);
  EXPECT_EQ(f.log.Changes, changes);
}

TEST(cxScrollBar, ScrollStepsClampAndReport) {
  BarFixture f;
  f.bar->SetScrollParams(0, 100, 98, 0);
  f.bar->SetSmallChange(5);
  f.log.Scrolls.clear();
  f.log.Changes = 0;
  f.Press(f.Center(f.bar->ViewInfo()->BottomRightArrowRect()));
  ASSERT_EQ(f.log.Scrolls.size(), 1u);
  EXPECT_EQ(f.log.Scrolls[0].Code, scLineDown);
  EXPECT_EQ(f.log.Scrolls[0].Pos, 100);
  EXPECT_EQ(f.bar->Position(), 100);
  EXPECT_EQ(f.log.Changes, 1);
  f.Release(f.Center(f.bar->ViewInfo()->BottomRightArrowRect()));
  EXPECT_EQ(f.log.Scrolls.back().Code, scEndScroll);
  // The handler may move the position, which is clamped again.
  f.log.ForcedPos = 500;
  f.Press(f.Center(f.bar->ViewInfo()->TopLeftArrowRect()));
  EXPECT_EQ(f.bar->Position(), 100);
  f.log.ForcedPos = 40;
  f.Release(TPoint(-5, -5));
  EXPECT_EQ(f.bar->Position(), 40);
}

TEST(cxScrollBar, ArrowRepeatsAfter400ThenEvery60WhileOverTheArrow) {
  TTimerStandIn timers;
  BarFixture f;
  f.bar->SetScrollParams(0, 1000, 0, 0);
  const TPoint arrow = f.Center(f.bar->ViewInfo()->BottomRightArrowRect());
  f.CursorTo(arrow);
  f.Press(arrow);
  EXPECT_EQ(f.CountScrolls(scLineDown), 1);
  ASSERT_TRUE(f.bar->Timer()->TimerOn());
  EXPECT_EQ(TTimerStandIn::Intervals().back(), 400u);
  f.Tick();
  EXPECT_EQ(f.CountScrolls(scLineDown), 2);
  EXPECT_EQ(TTimerStandIn::Intervals().back(), 60u);
  f.Tick();
  f.Tick();
  EXPECT_EQ(f.CountScrolls(scLineDown), 4);
  // Off the arrow the steps pause; back over it they resume.
  const TPoint away(f.bar->Width() / 2, f.bar->Height() / 2);
  f.CursorTo(away);
  f.Move(away);
  EXPECT_FALSE(f.bar->Timer()->TimerOn());
  f.CursorTo(arrow);
  f.Move(arrow);
  EXPECT_TRUE(f.bar->Timer()->TimerOn());
  f.Tick();
  EXPECT_EQ(f.CountScrolls(scLineDown), 5);
  f.Release(arrow);
  EXPECT_FALSE(f.bar->Timer()->TimerOn());
  EXPECT_EQ(f.bar->State().PressedPart, sbpNone);
  EXPECT_EQ(f.log.Scrolls.back().Code, scEndScroll);
  EXPECT_EQ(f.bar->Position(), 5);
}

TEST(cxScrollBar, LosingTheCaptureEndsThePress) {
  TTimerStandIn timers;
  BarFixture f;
  f.bar->SetScrollParams(0, 100, 50, 0);
  f.bar->SetLargeChange(10);
  const TRect pageDown = f.bar->ViewInfo()->PageDownRect();
  f.CursorTo(f.Center(pageDown));
  f.Press(f.Center(pageDown));
  EXPECT_EQ(f.bar->Position(), 60);
  ReleaseCapture();
  f.Tick();
  EXPECT_EQ(f.bar->State().PressedPart, sbpNone);
  EXPECT_FALSE(f.bar->Timer()->TimerOn());
  EXPECT_EQ(f.bar->Position(), 60);
}

TEST(cxScrollBar, ThumbDragFollowsAndSnapsBackFarAway) {
  for (bool unlimited : {false, true}) {
    BarFixture f;
    f.bar->SetScrollParams(0, 100, 0, 0);
    f.bar->SetUnlimitedTracking(unlimited);
    const TRect thumb = f.bar->ViewInfo()->ThumbnailRect();
    const TPoint grab = f.Center(thumb);
    f.Press(grab);
    f.Move(TPoint(grab.X + 40, grab.Y));
    EXPECT_EQ(f.bar->ViewInfo()->ThumbnailRect().Left, thumb.Left + 40) << unlimited;
    const int tracked = f.bar->Position();
    EXPECT_GT(tracked, 0) << unlimited;
    EXPECT_EQ(f.log.Scrolls.back().Code, scTrack) << unlimited;
    EXPECT_EQ(f.log.Scrolls.back().Pos, tracked) << unlimited;
    // 140 pixels below the bar is outside the tracking area.
    f.Move(TPoint(grab.X + 40, f.bar->Height() + 140));
    if (unlimited) {
      EXPECT_EQ(f.bar->Position(), tracked);
    } else {
      EXPECT_EQ(f.bar->Position(), 0);
      EXPECT_EQ(f.bar->ViewInfo()->ThumbnailRect(), thumb);
    }
    f.log.Scrolls.clear();
    f.Release(TPoint(grab.X + 40, f.bar->Height() + 140));
    ASSERT_GE(f.log.Scrolls.size(), 2u);
    EXPECT_EQ(f.log.Scrolls[f.log.Scrolls.size() - 2].Code, scPosition) << unlimited;
    EXPECT_EQ(f.log.Scrolls.back().Code, scEndScroll) << unlimited;
    EXPECT_EQ(f.bar->Position(), unlimited ? tracked : 0);
  }
}

TEST(cxScrollBar, ThumbFillingTheTrackStaysAtMin) {
  BarFixture f;
  f.bar->SetScrollParams(50, 99, 50, 50);
  const TRect thumb = f.bar->ViewInfo()->ThumbnailRect();
  ASSERT_FALSE(thumb.IsEmpty());
  const TPoint grab = f.Center(thumb);
  f.Press(grab);
  f.Move(TPoint(grab.X + 30, grab.Y));
  EXPECT_EQ(f.bar->ViewInfo()->ThumbnailRect(), thumb);
  f.Release(TPoint(grab.X + 30, grab.Y));
  EXPECT_EQ(f.bar->Position(), 50);
}

TEST(cxScrollBar, PartsPaintInTheirStates) {
  // Each case sets the bar up, then every listed part must show exactly what
  // the painter draws for that part in the expected state.
  struct Expect {
    TcxScrollBarPart part;
    TcxButtonState state;
  };
  struct Case {
    const char* name;
    TcxLookAndFeelKind kind;
    std::function<void(BarFixture&)> setUp;
    std::vector<Expect> parts;
  };
  const auto arrowDown = [](BarFixture& f) { return f.Center(f.bar->ViewInfo()->BottomRightArrowRect()); };
  const std::vector<Case> cases = {
      {"idle", lfUltraFlat, [](BarFixture&) {},
       {{sbpLineUp, cxbsNormal}, {sbpLineDown, cxbsNormal}, {sbpThumbnail, cxbsNormal}, {sbpPageDown, cxbsNormal}}},
      {"hot arrow", lfUltraFlat,
       [](BarFixture& f) { f.Send(WM_MOUSEMOVE, 0, f.Center(f.bar->ViewInfo()->TopLeftArrowRect())); },
       {{sbpLineUp, cxbsHot}, {sbpLineDown, cxbsNormal}}},
      {"hot thumb with hot tracking", lfUltraFlat,
       [](BarFixture& f) { f.Send(WM_MOUSEMOVE, 0, f.Center(f.bar->ViewInfo()->ThumbnailRect())); },
       {{sbpThumbnail, cxbsHot}, {sbpLineUp, cxbsNormal}}},
      {"hot thumb without hot tracking", lfStandard,
       [](BarFixture& f) { f.Send(WM_MOUSEMOVE, 0, f.Center(f.bar->ViewInfo()->ThumbnailRect())); },
       {{sbpThumbnail, cxbsNormal}}},
      {"pressed arrow", lfUltraFlat, [&](BarFixture& f) { f.Press(arrowDown(f)); },
       {{sbpLineDown, cxbsPressed}, {sbpLineUp, cxbsNormal}}},
      {"pressed arrow, standard", lfStandard, [&](BarFixture& f) { f.Press(arrowDown(f)); },
       {{sbpLineDown, cxbsPressed}}},
      {"disabled", lfUltraFlat, [](BarFixture& f) { f.bar->SetEnabled(false); },
       {{sbpLineUp, cxbsDisabled}, {sbpLineDown, cxbsDisabled}}},
  };
  for (const Case& c : cases) {
    TTimerStandIn timers;
    BarFixture f;
    f.bar->LookAndFeel()->SetKind(c.kind);
    f.bar->SetScrollParams(0, 100, 30, 20);
    c.setUp(f);
    const int w = f.bar->Width(), h = f.bar->Height();
    Dib painted(w, h), expected(w, h);
    f.bar->PaintTo(painted.DC(), 0, 0);
    const auto partRect = [&f](TcxScrollBarPart APart) {
      const TcxScrollBarViewInfo* vi = f.bar->ViewInfo();
      switch (APart) {
        case sbpLineUp: return vi->TopLeftArrowRect();
        case sbpLineDown: return vi->BottomRightArrowRect();
        case sbpThumbnail: return vi->ThumbnailRect();
        case sbpPageUp: return vi->PageUpRect();
        default: return vi->PageDownRect();
      }
    };
    {
      Owned<TCanvas> platformCanvas = MakeOwned<TCanvas>();
      platformCanvas->SetHandle(expected.DC());
      Owned<TcxCanvas> cx = MakeOwned<TcxCanvas>(platformCanvas.get());
      TcxCustomLookAndFeelPainterClass painter = f.bar->LookAndFeel()->GetAvailablePainter(totScrollBar);
      painter->DrawScrollBarBackground(cx.get(), TRect(0, 0, w, h), true);
      for (const Expect& e : c.parts) painter->DrawScrollBarPart(cx.get(), true, partRect(e.part), e.part, e.state);
      platformCanvas->SetHandle(nullptr);
    }
    for (const Expect& e : c.parts) {
      const TRect r = partRect(e.part);
      ASSERT_FALSE(r.IsEmpty()) << c.name;
      int differing = 0;
      for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) differing += painted.At(x, y) != expected.At(x, y);
      EXPECT_EQ(differing, 0) << c.name << ", part " << int(e.part);
    }
  }
}

namespace {

// A view info that moves both arrows 1 pixel inwards, and a bar that uses it.
class TInsetViewInfo : public TcxScrollBarViewInfo {
  DECLARE_CLASS(TInsetViewInfo, TcxScrollBarViewInfo)
  explicit TInsetViewInfo(TcxScrollBar* AScrollBar) : TcxScrollBarViewInfo(AScrollBar) {}
  int Calculations = 0;

 protected:
  void DoCalculate() override {
    ++Calculations;
    TcxScrollBarViewInfo::DoCalculate();
  }
};
IMPLEMENT_CLASS(TInsetViewInfo, TcxScrollBarViewInfo, (ConstructWith<TInsetViewInfo, TcxScrollBar>))

class TInsetScrollBar : public TcxScrollBar {
 public:
  explicit TInsetScrollBar(TComponent* AOwner) : TcxScrollBar(AOwner) {}

 protected:
  TcxScrollBarViewInfoClass GetViewInfoClass() override {
    return TcxScrollBarViewInfoClass::Of<TInsetViewInfo>();
  }
};

}  // namespace

TEST(cxScrollBar, ADescendantChoosesItsViewInfo) {
  Owned<TInsetScrollBar> bar = MakeOwned<TInsetScrollBar>(nullptr);
  auto* viewInfo = dynamic_cast<TInsetViewInfo*>(bar->ViewInfo());
  ASSERT_NE(viewInfo, nullptr);
  const int before = viewInfo->Calculations;
  bar->SetBounds(0, 0, 150, 17);
  EXPECT_EQ(viewInfo->Calculations, before + 1);
}

TEST(cxScrollBar, PageAreaRepeatsUntilTheThumbReachesTheCursor) {
  TTimerStandIn timers;
  BarFixture f;
  f.bar->SetScrollParams(0, 100, 0, 10);
  f.bar->SetLargeChange(10);
  const TPoint nearEnd(f.bar->ViewInfo()->BottomRightArrowRect().Left - 2, f.bar->Height() / 2);
  f.CursorTo(nearEnd);
  f.Press(nearEnd);
  EXPECT_EQ(f.bar->State().PressedPart, sbpPageDown);
  for (int i = 0; i < 20 && f.bar->Timer()->TimerOn(); ++i) f.Tick();
  // The steps stop once the thumb lies under the cursor.
  EXPECT_FALSE(f.bar->Timer()->TimerOn());
  EXPECT_GT(f.bar->Position(), 50);
  EXPECT_EQ(f.bar->GetScrollBarPart(nearEnd), sbpThumbnail);
  f.Release(nearEnd);
}

TEST(cxScrollBar, StoredPropertiesRoundTrip) {
  Owned<TcxScrollBar> bar = MakeOwned<TcxScrollBar>(nullptr);
  bar->SetName(L"Bar");
  bar->SetKind(sbVertical);
  bar->SetScrollParams(-20, 50, 7, 5);
  bar->SetLargeChange(9);
  bar->SetUnlimitedTracking(true);
  bar->LookAndFeel()->SetKind(lfFlat);
  Owned<TMemoryStream> binary(Make<TMemoryStream>()), text(Make<TMemoryStream>());
  WriteComponentToStream(binary.get(), bar.get());
  binary->SetPosition(0);
  ObjectBinaryToText(binary.get(), text.get());
  const std::string written(static_cast<const char*>(text->Memory()), static_cast<size_t>(text->Size()));
  for (const char* line : {"Kind = sbVertical", "LargeChange = 9", "Max = 50", "Min = -20", "PageSize = 5",
                           "Position = 7", "UnlimitedTracking = True", "LookAndFeel.Kind = lfFlat"})
    EXPECT_NE(written.find(line), std::string::npos) << line << "\n" << written;
  EXPECT_EQ(written.find("SmallChange"), std::string::npos) << written;
  binary->SetPosition(0);
  Owned<TcxScrollBar> read = MakeOwned<TcxScrollBar>(nullptr);
  ReadComponentFromStream(binary.get(), read.get());
  EXPECT_EQ(read->Kind(), sbVertical);
  EXPECT_EQ(read->Min(), -20);
  EXPECT_EQ(read->Max(), 50);
  EXPECT_EQ(read->Position(), 7);
  EXPECT_EQ(read->PageSize(), 5);
  EXPECT_EQ(read->LookAndFeel()->Kind(), lfFlat);
}

TEST(cxScrollBar, LeavingClearsTheHotPartButNotADraggedThumb) {
  BarFixture f;
  f.bar->SetScrollParams(0, 100, 0, 0);
  f.Send(WM_MOUSEMOVE, 0, f.Center(f.bar->ViewInfo()->TopLeftArrowRect()));
  ASSERT_EQ(f.bar->State().HotPart, sbpLineUp);
  SendMessageW(f.Wnd(), CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(f.bar->State().HotPart, sbpNone);
  const TPoint grab = f.Center(f.bar->ViewInfo()->ThumbnailRect());
  f.Press(grab);
  SendMessageW(f.Wnd(), CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(f.bar->State().HotPart, sbpThumbnail);
  f.Release(grab);
}
