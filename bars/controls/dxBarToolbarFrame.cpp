// The non-client side of a toolbar window: its frame, the hit test that
// turns the frame into move and resize zones, the floating caption's close
// and caption buttons with their capture loop, resizing and keeping a
// floating toolbar on the screen, the MDI buttons of a main menu bar and the
// mark with its hint timer and fades.
#include "bars/controls/dxBarToolbarFrame.h"

#include "bars/controls/dxBarDockControl.h"
#include "bars/controls/dxBarPainter.h"
#include "bars/controls/dxBarToolbarControl.h"
#include "bars/model/dxBarCaptionButtons.h"
#include "bars/model/dxBarDrawing.h"
#include "bars/model/dxBarHints.h"
#include "bars/model/dxBarScreenTip.h"
#include "bars/model/dxBarHooks.h"
#include "bars/model/dxBarRoutines.h"
#include "foundation/cxClasses.h"
#include "foundation/cxControlsRoutines.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxGraphicsRoutines.h"
#include "foundation/dxFading.h"
#include "platform/gui/Forms.h"
#include "platform/gui/GdiAccounting.h"

#include <algorithm>
#include <functional>

// ---------------------------------------------------------------------------
// Values
// ---------------------------------------------------------------------------

TdxBarFrameHitTest dxBarFrameHitTest(const TdxBarFrameHitTestInput& I) {
  if (I.Unmoved) return {I.Inherited, I.Inherited};
  const bool docked = I.DockingStyle != dsNone;
  if (docked) {
    if (I.Inherited == HTCLIENT && I.OverItem) return {HTCLIENT, HTCLIENT};
    if (I.Inherited == HTCLIENT || I.Inherited == HTNOWHERE) {
      const bool vertical = I.DockingStyle == dsLeft || I.DockingStyle == dsRight;
      const bool notBefore = vertical ? I.Client.Y >= 0 : I.Client.X >= 0;
      if (notBefore && (I.OverMDIArea || I.OverMark)) return {I.Inherited, 0};
      if (I.OverSizeGrip) return {HTBOTTOMRIGHT, HTBOTTOMRIGHT};
      return {HTCLIENT, HTCAPTION};
    }
    return {HTCLIENT, I.Inherited};
  }
  if (I.Inherited == HTNOWHERE) {
    const int w = I.WindowSize.cx, h = I.WindowSize.cy;
    if (I.Window.Y < I.BorderSizeY) return {HTTOP, 0};
    if (I.Window.X >= w - I.BorderSizeX) return {HTRIGHT, 0};
    if (I.Window.Y >= h - I.BorderSizeY) return {HTBOTTOM, 0};
    if (I.Window.X < I.BorderSizeX) return {HTLEFT, 0};
    if (!I.Customizing && I.OverMark) return {HTCLIENT, HTCLIENT};
    if (I.OverCloseButton) return I.UseSystemClose ? TdxBarFrameHitTest{HTCLOSE, HTCLIENT} : TdxBarFrameHitTest{HTCLIENT, HTCLOSE};
    // A caption button is pressed through the frame's button loop, not dragged.
    if (I.OverCaptionButton) return {HTCLIENT, HTOBJECT};
    return {HTCLIENT, HTCAPTION};
  }
  if (I.Inherited == HTCLIENT) {
    if (I.OverItem || I.OverMDIArea) return {HTCLIENT, 0};
    return {HTCLIENT, HTCAPTION};
  }
  return {I.Inherited, I.Inherited};
}

TRect dxBarKeepFloatingRectOnScreen(const TRect& ARect, const std::vector<TRect>& AWorkAreas,
                                    const TRect& AMouseWorkArea, bool& AMoved) {
  AMoved = false;
  for (const TRect& area : AWorkAreas)
    if (ARect.Left < area.Right && area.Left < ARect.Right && ARect.Top < area.Bottom && area.Top < ARect.Bottom)
      return ARect;
  const TRect& W = AMouseWorkArea;
  TRect R = ARect;
  const int width = R.Width(), height = R.Height();
  auto moveX = [&](int X) {
    R.Left = X;
    R.Right = X + width;
    AMoved = true;
  };
  auto moveY = [&](int Y) {
    R.Top = Y;
    R.Bottom = Y + height;
    AMoved = true;
  };
  if (ARect.Right <= W.Left) moveX(W.Left);
  if (ARect.Bottom <= W.Top) moveY(W.Top);
  if (ARect.Left >= W.Right) moveX(W.Right - width);
  if (ARect.Top >= W.Bottom) moveY(W.Bottom - height);
  return R;
}

TRect dxBarMDIButtonRect(const TdxBarMDIButtonsGeometry& G, int AButton) {
  const int length = (G.Vertical ? G.Client.cy : G.Client.cx) - (G.Docked ? G.MarkAreaSize : 0);
  const int thick = G.Vertical ? G.Client.cx : G.Client.cy;
  const int along = G.Vertical ? G.ButtonHeight : G.ButtonWidth;
  const int across = G.Vertical ? G.ButtonWidth : G.ButtonHeight;
  int top;
  if (!G.MultiRow)
    top = (thick - across) / 2;
  else if (G.OwnRow)
    top = thick - across;
  else
    top = thick - (G.LastRowHeight - across) / 2 - across;
  int start;
  if (G.ShowsMDIButtons) {
    start = length - G.MDIAreaLength + AButton * along;
    if (AButton == 2) start += 2;
  } else {
    start = length - along;
  }
  if (!G.Vertical) return TRect(start, top, start + along, top + across);
  // Along runs downwards, across is measured from the right edge.
  return TRect(thick - top - across, start, thick - top, start + along);
}

std::vector<TRect> dxBarLayoutCaptionButtons(const TRect& ACaption, int ARight, int ACount) {
  std::vector<TRect> rects(std::max(ACount, 0));
  const int size = ACaption.Height();
  int right = ARight;
  for (int i = 0; i < ACount; ++i) {
    const int left = right - size;
    if (left < ACaption.Left) break;
    rects[i] = TRect(left, ACaption.Top, right, ACaption.Bottom);
    right = left;
  }
  return rects;
}

TdxBarMDIButtonPressState& dxBarMDIButtonPressState() {
  static TdxBarMDIButtonPressState state;
  return state;
}

namespace {

TRect WindowRectOf(HWND AWnd) {
  RECT r{};
  if (!AWnd || !GetWindowRect(AWnd, &r)) return TRect();
  return TRect(r.left, r.top, r.right, r.bottom);
}

TPoint CursorPos() {
  POINT p{};
  GetCursorPos(&p);
  return TPoint(p.x, p.y);
}

BOOL CALLBACK CollectWorkArea(HMONITOR AMonitor, HDC, LPRECT, LPARAM AData) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(AMonitor, &info))
    reinterpret_cast<std::vector<TRect>*>(AData)->push_back(
        TRect(info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom));
  return TRUE;
}

// Follows a bar through calls that may free it.
class TBarLink {
 public:
  explicit TBarLink(TObject* AObject) : FLink(cxCreateObjectLink(AObject)) {}
  ~TBarLink() { cxReleaseObjectLink(FLink); }
  TBarLink(const TBarLink&) = delete;
  TBarLink& operator=(const TBarLink&) = delete;
  bool Alive() const { return FLink->Ref != nullptr; }

 private:
  TcxObjectLink* FLink;
};

// The two looks of a part, drawn into 32-bit bitmaps of its size.
void CaptureFrames(const TRect& APart, TBitmap*& AFirst, TBitmap*& ASecond, bool AOpaque,
                   const std::function<void(HDC, int, const TRect&)>& ADraw) {
  const TRect r(0, 0, APart.Width(), APart.Height());
  auto make = [&](int AState) {
    auto* bitmap = Make<TcxBitmap32>(r.Width(), r.Height(), true);
    ADraw(bitmap->Canvas()->Handle(), AState, r);
    if (AOpaque) bitmap->MakeOpaque();
    return static_cast<TBitmap*>(bitmap);
  };
  AFirst = make(0);
  ASecond = make(1);
}

}  // namespace

// ---------------------------------------------------------------------------
// Fading helpers
// ---------------------------------------------------------------------------

class TdxBarControlMarkFadingHelper : public TdxFadingObjectHelper {
  DECLARE_CLASS(TdxBarControlMarkFadingHelper, TdxFadingObjectHelper)
  explicit TdxBarControlMarkFadingHelper(TdxBarControl* AOwner) : FOwner(AOwner) {}
  bool CanFadeNow() override {
    return FOwner->CanFade() && FOwner->HasMark() && FOwner->GetMarkState() != msPressed;
  }
  void RepaintOwner() override { FOwner->InvalidateMark(); }
  void CaptureFadeFrames(TBitmap*& AFirst, TBitmap*& ASecond, int&, int&, int&, int&) override {
    auto* painter = dynamic_cast<const IdxBarFadingPainter*>(FOwner->GetPainter());
    if (!painter) return;
    const TRect mark = FOwner->GetMarkRect();
    CaptureFrames(mark, AFirst, ASecond, painter->FadingImagesNeedOpaque(),
                  [&](HDC DC, int AState, const TRect& R) { painter->DrawMarkFadingImage(FOwner, DC, AState != 0, R); });
  }

 private:
  TdxBarControl* FOwner;
};
IMPLEMENT_CLASS(TdxBarControlMarkFadingHelper, TdxFadingObjectHelper, nullptr)

class TdxBarControlMDIButtonFadingHelper : public TdxFadingObjectHelper {
  DECLARE_CLASS(TdxBarControlMDIButtonFadingHelper, TdxFadingObjectHelper)
  TdxBarControlMDIButtonFadingHelper(TdxBarControl* AOwner, TdxBarMDIButton AButton)
      : FMDIButton(AButton), FOwner(AOwner) {}
  bool CanFadeNow() override { return FOwner->CanFade() && FOwner->HasMDIArea(); }
  void RepaintOwner() override {
    if (!FOwner->HandleAllocated()) return;
    const TRect r = FOwner->GetMDIButtonRect(FMDIButton);
    const RECT rect{r.Left, r.Top, r.Right, r.Bottom};
    InvalidateRect(FOwner->WindowHandle(), &rect, TRUE);
  }
  void FadeIn() {
    if (CanFadeNow()) FOwner->GetFader()->FadeIn(this);
  }
  void FadeOut() {
    if (CanFadeNow()) FOwner->GetFader()->FadeOut(this);
  }
  void CaptureFadeFrames(TBitmap*& AFirst, TBitmap*& ASecond, int&, int&, int&, int&) override {
    auto* fading = dynamic_cast<const IdxBarFadingPainter*>(FOwner->GetPainter());
    if (!fading) return;
    const TdxBarPainter* painter = FOwner->GetPainter();
    CaptureFrames(FOwner->GetMDIButtonRect(FMDIButton), AFirst, ASecond, fading->FadingImagesNeedOpaque(),
                  [&](HDC DC, int AState, const TRect& R) {
                    painter->BarDrawMDIButton(FOwner, FMDIButton, AState == 0 ? 0 : 2, DC, R);
                  });
  }
  TdxBarMDIButton MDIButton() const { return FMDIButton; }

 private:
  TdxBarMDIButton FMDIButton;
  TdxBarControl* FOwner;
};
IMPLEMENT_CLASS(TdxBarControlMDIButtonFadingHelper, TdxFadingObjectHelper, nullptr)

TdxBarControlMarkFadingHelper* dxBarCreateMarkFadingHelper(TdxBarControl* AOwner) {
  return Make<TdxBarControlMarkFadingHelper>(AOwner);
}

TdxBarControlMDIButtonFadingHelper* dxBarCreateMDIButtonFadingHelper(TdxBarControl* AOwner, int AButton) {
  return Make<TdxBarControlMDIButtonFadingHelper>(AOwner, static_cast<TdxBarMDIButton>(AButton));
}

void dxBarFreeCaptionButtonHint(TdxBarControl* AOwner);

void dxBarFreeFadingHelpers(TdxBarControl* AOwner) {
  dxBarFreeCaptionButtonHint(AOwner);
  // A helper leaves the fader at once when it goes.
  FreeAndNil(AOwner->FMarkFadingHelper);
  for (auto*& helper : AOwner->FMDIButtonFadingHelper) FreeAndNil(helper);
}

// ---------------------------------------------------------------------------
// Client area, hit test, sizing
// ---------------------------------------------------------------------------

void TdxBarControl::WMNCCalcSize(TMessage& Message) {
  if (!FMovingChanging) FHasSizeGrip = IsSizeGripShown();
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
  const TRect offsets = GetPainter()->GetToolbarContentOffsets(FBar, FDockingStyle, FHasSizeGrip);
  RECT& r = params->rgrc[0];
  r.left += offsets.Left;
  r.top += offsets.Top;
  r.right = std::max(r.left, static_cast<LONG>(r.right - offsets.Right));
  r.bottom = std::max(r.top, static_cast<LONG>(r.bottom - offsets.Bottom));
  Message.Result = 0;
}

void TdxBarControl::WMNCHitTest(TMessage& Message) {
  TCustomdxBarControl::WndProc(Message);
  const int inherited = static_cast<int>(Message.Result);
  if (!dxBarIsLiveControl(this)) return;
  const TPoint screen(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
  const TRect window = WindowRectOf(WindowHandle());
  TdxBarFrameHitTestInput input;
  input.Inherited = inherited;
  input.Unmoved = BehaviorOptions().Contains(bboUnmoved);
  input.DockingStyle = FDockingStyle;
  input.Customizing = IsCustomizing();
  input.Client = ScreenToClient(screen);
  input.Window = TPoint(screen.X - window.Left, screen.Y - window.Top);
  input.WindowSize = TSize(window.Width(), window.Height());
  input.BorderSizeX = GetPainter()->BorderSizeX();
  input.BorderSizeY = GetPainter()->BorderSizeY();
  if (ClientRect().Contains(input.Client))
    if (TdxBarItemControl* item = ItemAtPos(input.Client)) input.OverItem = input.Customizing || item->AcceptsMouse();
  input.OverMDIArea = HasMDIArea() && MDIButtonAt(input.Client, 0) >= 0;
  input.OverMark = HasMark() && GetMarkRect().Contains(input.Client);
  input.OverSizeGrip = FHasSizeGrip && GetSizeGripRect().Contains(input.Client);
  input.OverCloseButton = GetCloseButtonRect().Contains(input.Client);
  input.OverCaptionButton =
      FDockingStyle == dsNone && CaptionButtons() && CaptionButtons()->IndexOfButtonAt(input.Window) >= 0;
  input.UseSystemClose = GetPainter()->BarUseSystemClose();
  const TdxBarFrameHitTest result = dxBarFrameHitTest(input);
  FHitTest = result.HitTest;
  Message.Result = result.Answer;
}

void TdxBarControl::WMSizing(TMessage& Message) {
  if (FDockingStyle != dsNone) {
    TCustomdxBarControl::WndProc(Message);
    return;
  }
  auto* r = reinterpret_cast<RECT*>(Message.LParam);
  const TRect proposed(r->left, r->top, r->right, r->bottom);
  const TRect result = CalcFloatingSizingRect(static_cast<int>(Message.WParam), proposed);
  *r = RECT{result.Left, result.Top, result.Right, result.Bottom};
  Message.Result = 1;
}

void TdxBarControl::WMGetMinMaxInfo(TMessage& Message) {
  auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
  info->ptMinTrackSize = POINT{10, 10};
  info->ptMaxTrackSize = POINT{30000, 30000};
  info->ptMaxSize = POINT{30000, 30000};
  info->ptMaxPosition = POINT{30000, 30000};
  Message.Result = 0;
}

void TdxBarControl::WMWindowPosChanging(TMessage& Message) {
  TCustomdxBarControl::WndProc(Message);
  auto* pos = reinterpret_cast<WINDOWPOS*>(Message.LParam);
  if (FDockingStyle != dsNone || !pos || !HandleAllocated()) return;
  if ((pos->flags & SWP_NOMOVE) && (pos->flags & SWP_NOSIZE)) return;
  const TRect current = WindowRectOf(WindowHandle());
  const int x = pos->flags & SWP_NOMOVE ? current.Left : pos->x;
  const int y = pos->flags & SWP_NOMOVE ? current.Top : pos->y;
  const int cx = pos->flags & SWP_NOSIZE ? current.Width() : pos->cx;
  const int cy = pos->flags & SWP_NOSIZE ? current.Height() : pos->cy;
  std::vector<TRect> areas;
  EnumDisplayMonitors(nullptr, nullptr, &CollectWorkArea, reinterpret_cast<LPARAM>(&areas));
  TRect mouseArea;
  cxWorkAreaFromPoint(CursorPos(), mouseArea);
  bool moved = false;
  const TRect kept = dxBarKeepFloatingRectOnScreen(TRect(x, y, x + cx, y + cy), areas, mouseArea, moved);
  if (!moved) return;
  pos->x = kept.Left;
  pos->y = kept.Top;
  pos->flags &= ~static_cast<UINT>(SWP_NOMOVE);
}

// ---------------------------------------------------------------------------
// Geometry of the frame's parts
// ---------------------------------------------------------------------------

TRect TdxBarControl::ClientToWindowRect(const TRect& R) {
  const TPoint offset = GetClientOffset();
  return TRect(R.Left + offset.X, R.Top + offset.Y, R.Right + offset.X, R.Bottom + offset.Y);
}

TRect TdxBarControl::GetCaptionRect() {
  const TPoint offset = GetClientOffset();
  const TRect caption = GetPainter()->CalcFloatingCaptionRect(TRect(0, 0, Width(), Height()));
  return TRect(caption.Left - offset.X, caption.Top - offset.Y, caption.Right - offset.X, caption.Bottom - offset.Y);
}

TRect TdxBarControl::GetCloseButtonRect() {
  if (!ShowsCloseButton()) return TRect();
  const TdxBarPainter* painter = GetPainter();
  TRect R = GetCaptionRect();
  R.Left = R.Right - painter->BarCaptionSize();
  const TSize size = painter->BarCloseButtonSize();
  // Centred along each axis where the button is smaller than its place.
  if (size.cx < R.Width()) {
    R.Left += R.Width() / 2 - size.cx / 2;
    R.Right = R.Left + size.cx;
  }
  if (size.cy < R.Height()) {
    R.Top += R.Height() / 2 - size.cy / 2;
    R.Bottom = R.Top + size.cy;
  }
  return R;
}

TRect TdxBarControl::GetSizeGripRect() {
  TdxBarManager* manager = BarManager();
  const TSize grip = GetPainter()->StatusBarGripSize(manager);
  const int w = ClientWidth(), h = ClientHeight();
  return TRect(w, h - grip.cy, w + grip.cx, h);
}

TRect TdxBarControl::GetMarkRect() { return GetPainter()->BarMarkRect(this); }

TRect TdxBarControl::GetMarkWindowRect() { return ClientToWindowRect(GetMarkRect()); }

void TdxBarControl::LayoutCaptionButtons() {
  TdxBarCaptionButtons* buttons = CaptionButtons();
  if (!buttons) return;
  if (FDockingStyle != dsNone || !HandleAllocated()) {
    for (int i = 0; i < buttons->Count(); ++i) buttons->Items(i)->SetRect(TRect());
    return;
  }
  const TRect caption = ClientToWindowRect(GetCaptionRect());
  int right = caption.Right;
  if (HasMark())
    right = GetMarkWindowRect().Left - 1;
  else if (ShowsCloseButton())
    right = GetCloseButtonWindowRect().Left - 1;
  const std::vector<TRect> rects = dxBarLayoutCaptionButtons(caption, right, buttons->Count());
  for (int i = 0; i < buttons->Count(); ++i) buttons->Items(i)->SetRect(rects[i]);
}

// ---------------------------------------------------------------------------
// Frame painting
// ---------------------------------------------------------------------------

bool TdxBarControl::HasNonClientArea() {
  if (IsDestroying() || !HandleAllocated()) return false;
  const TRect window = WindowRectOf(WindowHandle());
  const TRect client = ClientRect();
  return client.Width() < window.Width() || client.Height() < window.Height();
}

HDC TdxBarControl::GetNonClientDC(HRGN AUpdateRegion) {
  TdxBarManager* manager = BarManager();
  FNonClientWindowDC = GetWindowDC(WindowHandle());
  if (!manager || !manager->OtherManagerCustomizing()) return FNonClientWindowDC;
  // While another manager customizes, the frame is drawn off the screen and
  // covered with the hatch of a disabled area before it goes to the window.
  const TRect window = WindowRectOf(WindowHandle());
  const TRect bounds(0, 0, window.Width(), window.Height());
  FPrevClipRgn = Make<TcxRegion>(bounds);
  if (AUpdateRegion && reinterpret_cast<INT_PTR>(AUpdateRegion) != 1) {
    HRGN update = GdiCreateRectRgn(0, 0, 0, 0);
    CombineRgn(update, AUpdateRegion, nullptr, RGN_COPY);
    OffsetRgn(update, -window.Left, -window.Top);
    FPrevClipRgn->Combine(Make<TcxRegion>(update), roIntersect);
  }
  FPrevClipRgn->Combine(Make<TcxRegion>(ClientBounds()), roSubtract);
  FDrawBitmap = Make<TcxBitmap32>(bounds.Width(), bounds.Height());
  FDrawBitmap->cxCanvas()->SetClipRegion(FPrevClipRgn, roSet, false);
  return FDrawBitmap->Canvas()->Handle();
}

void TdxBarControl::ReleaseNonClientDC(HDC) {
  FreeAndNil(FDrawBitmap);
  FreeAndNil(FPrevClipRgn);
  if (FNonClientWindowDC) ReleaseDC(WindowHandle(), FNonClientWindowDC);
  FNonClientWindowDC = nullptr;
}

void TdxBarControl::PaintNonClientArea(HDC DC) {
  DrawFrame(DC);
  if (!FDrawBitmap || DC != FDrawBitmap->Canvas()->Handle() || !FNonClientWindowDC) return;
  const TRect window = WindowRectOf(WindowHandle());
  const TRect bounds(0, 0, window.Width(), window.Height());
  dxBarHatchDisabledArea(DC, bounds);
  const int saved = SaveDC(FNonClientWindowDC);
  SelectClipRgn(FNonClientWindowDC, FPrevClipRgn->Handle());
  BitBlt(FNonClientWindowDC, 0, 0, bounds.Width(), bounds.Height(), DC, 0, 0, SRCCOPY);
  RestoreDC(FNonClientWindowDC, saved);
}

void TdxBarControl::DrawFrame(HDC DC) {
  const TRect window = WindowRectOf(WindowHandle());
  const TRect bounds(0, 0, window.Width(), window.Height());
  const TRect client = ClientBounds();
  const TdxBarPainter* painter = GetPainter();
  HBRUSH brush = GetToolbarBrush();
  if (painter->HasOwnBarBackground()) {
    painter->PaintOwnBarBackground(this, DC);
    return;
  }
  HRGN savedClip = nullptr;
  bool hadClip = false;
  dxBarSaveDCClip(DC, savedClip, hadClip);
  ExcludeClipRect(DC, client.Left, client.Top, client.Right, client.Bottom);
  const bool floating = FDockingStyle == dsNone;
  if (floating || (FBar && FBar->BorderStyle() != bbsNone)) {
    TRect inner = bounds;
    if (floating) {
      painter->BarDrawFloatingBarBorder(this, DC, inner, client, brush);
      if (CanClose()) {
        inner.Left -= painter->BarHorSize();
        inner.Right += painter->BarHorSize();
        inner.Top -= painter->BarTopSize();
        inner.Bottom += painter->BarBottomSize();
      }
    } else {
      const TRect sizes = painter->BarBorderPaintSizes(this, bounds);
      inner = TRect(sizes.Left, sizes.Top, bounds.Right - sizes.Right, bounds.Bottom - sizes.Bottom);
    }
    // What lies between the border and the client area continues the bar's background.
    HRGN ring = GdiCreateRectRgn(inner.Left, inner.Top, inner.Right, inner.Bottom);
    HRGN clientRegion = GdiCreateRectRgn(client.Left, client.Top, client.Right, client.Bottom);
    CombineRgn(ring, ring, clientRegion, RGN_XOR);
    DrawBackgroundInRegion(DC, ring);
    GdiDeleteObject(clientRegion);
    GdiDeleteObject(ring);
    if (!floating) {
      painter->BarDrawDockedBarBorder(this, DC, bounds, brush);
    } else if (CanClose()) {
      painter->BarDrawFloatingBarCaption(this, DC, painter->CalcFloatingCaptionRect(bounds), client, brush);
      LayoutCaptionButtons();
      if (TdxBarCaptionButtons* buttons = CaptionButtons())
        for (int i = 0; i < buttons->Count(); ++i) {
          TdxBarCaptionButton* button = buttons->Items(i);
          const TRect r = button->Rect();
          if (r.IsEmpty()) continue;
          const int state = button->State() == TdxBarCaptionButton::StatePressed ? 2
                            : button->State() == TdxBarCaptionButton::StateHot ? 1
                                                                                : 0;
          painter->BarDrawCaptionElement(this, DC, r, state);
          if (!button->Glyph()->Empty())
            cxDrawImageOnBackground(DC, r, r, button->Glyph(), nullptr, -1,
                                    button->Enabled() ? idmNormal : idmDisabled);
        }
    }
  } else if (FBar && FBar->IsStatusBarLike()) {
    painter->BarDrawStatusBarBorder(this, DC, bounds, brush);
    if (FHasSizeGrip) painter->BarDrawStatusBarGrip(this, DC, bounds, brush);
  }
  dxBarRestoreDCClip(DC, savedClip, hadClip);
}

void TdxBarControl::SetCloseButtonState(TdxBarMarkState AValue) {
  if (FCloseButtonState == AValue) return;
  FCloseButtonState = AValue;
  if (!HandleAllocated()) return;
  if (HDC DC = GetWindowDC(WindowHandle())) {
    GetPainter()->BarDrawCloseButton(this, DC, GetCloseButtonWindowRect());
    ReleaseDC(WindowHandle(), DC);
  }
}

// ---------------------------------------------------------------------------
// The close button and the caption buttons
// ---------------------------------------------------------------------------

void TdxBarControl::WMNCLButtonDown(TMessage& Message) {
  TBarLink self(this);
  if (IsOutsidePopupWindow()) HideAll();
  if (!self.Alive()) return;
  const TRect window = WindowRectOf(WindowHandle());
  const TPoint cursor = CursorPos();
  const TPoint P(cursor.X - window.Left, cursor.Y - window.Top);
  int hit = -1;
  if (GetCloseButtonWindowRect().Contains(P))
    hit = -2;
  else if (TdxBarCaptionButtons* buttons = FDockingStyle == dsNone ? CaptionButtons() : nullptr)
    hit = buttons->IndexOfButtonAt(P);
  if (hit == -1) {
    TCustomdxBarControl::WndProc(Message);
    return;
  }
  TdxBarManager* manager = BarManager();
  if (manager && !manager->HideFloatingBarsWhenInactive())
    if (TCustomForm* form = manager->TopLevelForm(); form && form->HandleAllocated()) SetActiveWindow(form->WindowHandle());
  TdxBar* bar = FBar;
  const bool released = TrackCaptionButton(hit, P);
  if (!released || !self.Alive()) return;
  if (hit == -2) {
    // Hiding the toolbar frees this window: only the toolbar and the manager are used afterwards.
    bar->SetVisible(false);
    if (manager) {
      manager->SignalDesignerModified();
      if (manager->OnBarClose) manager->OnBarClose(manager, bar);
    }
    return;
  }
  ClickCaptionButton(hit);
}

void TdxBarControl::UpdateCaptionButtonState(int AButton, TPoint AWindowPoint, bool APressed) {
  if (AButton == -2) {
    const bool over = GetCloseButtonWindowRect().Contains(AWindowPoint);
    SetCloseButtonState(over && APressed ? msPressed : (over || APressed) ? msSelected : msNone);
    return;
  }
  if (TdxBarCaptionButtons* buttons = CaptionButtons()) buttons->UpdateButtonStates(AWindowPoint, APressed);
}

bool TdxBarControl::TrackCaptionButton(int AButton, TPoint AWindowPoint) {
  TBarLink self(this);
  auto hitAt = [&](TPoint P) {
    if (AButton == -2) return GetCloseButtonWindowRect().Contains(P) ? -2 : -1;
    TdxBarCaptionButtons* buttons = CaptionButtons();
    return buttons ? buttons->IndexOfButtonAt(P) : -1;
  };
  auto windowPoint = [&] {
    const TRect window = WindowRectOf(WindowHandle());
    const TPoint cursor = CursorPos();
    return TPoint(cursor.X - window.Left, cursor.Y - window.Top);
  };
  UpdateCaptionButtonState(AButton, AWindowPoint, true);
  SetCapture(WindowHandle());
  // Keys do nothing while a caption button is held.
  dxBarSetKeysBlocked(true);
  bool releasedOver = false;
  try {
    while (self.Alive() && GetCapture() == WindowHandle()) {
      MSG msg{};
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == -1) break;
      if (got == 0) {
        // The outer loop still has to see the quit request.
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (msg.message == WM_LBUTTONUP) {
        releasedOver = hitAt(windowPoint()) == AButton;
        break;
      }
      if (msg.message == WM_MOUSEMOVE) {
        const TPoint cursor = CursorPos();
        if (WindowRectOf(WindowHandle()).Contains(cursor)) {
          if (!FHasLastMousePos) HotTrackAt(TShiftState(), ScreenToClient(cursor), nullptr);
          FLastMousePos = cursor;
          FHasLastMousePos = true;
          UpdateCaptionButtonState(AButton, windowPoint(), true);
        }
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  } catch (...) {
    dxBarSetKeysBlocked(false);
    if (self.Alive()) {
      if (GetCapture() == WindowHandle()) ReleaseCapture();
      UpdateCaptionButtonState(AButton, windowPoint(), false);
    }
    throw;
  }
  dxBarSetKeysBlocked(false);
  if (!self.Alive()) return false;
  if (GetCapture() == WindowHandle()) ReleaseCapture();
  UpdateCaptionButtonState(AButton, windowPoint(), false);
  return releasedOver;
}

// The hint of a caption button as the hint window asks for it: the button's
// hint while it is hot, drawn as its screen tip, below the button.
class TdxBarCaptionButtonHint : public TObject, public IdxBarHintSource {
  DECLARE_CLASS(TdxBarCaptionButtonHint, TObject)
  explicit TdxBarCaptionButtonHint(TdxBarControl* ABar) : FBar(ABar) {}
  TdxBarCaptionButton* Button = nullptr;

  bool GetHintInfo(String& AHint, String& AShortCut) override {
    if (!Button || Button->State() != TdxBarCaptionButton::StateHot) return false;
    AHint = Button->Hint();
    AShortCut.clear();
    return !AHint.empty() || Button->ScreenTip();
  }
  bool IsHintEnabled() override { return Button && Button->Enabled(); }
  TdxBarCustomHintViewInfo* MakeHintView(const String& AHint, const String& AShortCut) override {
    return FBar->CreateHintViewInfo(AHint, AShortCut, Button ? Button->ScreenTip() : nullptr);
  }
  TPoint CalcHintPlacement(const TPoint& ACursorPos, int AWindowHeight) override {
    if (!Button) return ACursorPos;
    // The hint goes below the button's left corner (the rectangle is in window coordinates).
    const TPoint offset = FBar->GetClientOffset();
    const TRect r = Button->Rect();
    const TRect client(r.Left - offset.X, r.Top - offset.Y, r.Right - offset.X, r.Bottom - offset.Y);
    const TPoint corner = FBar->ClientToScreen(TPoint(client.Left, client.Bottom));
    return FBar->ShowHintWindow(client, AWindowHeight, corner);
  }

 private:
  TdxBarControl* FBar;
};
IMPLEMENT_CLASS(TdxBarCaptionButtonHint, TObject, nullptr)

void TdxBarControl::ActivateItemHint(bool AShow, const String& AHint, TObject* AHintObject) {
  auto* button = dynamic_cast<TdxBarCaptionButton*>(AHintObject);
  if (!button) {
    TCustomdxBarControl::ActivateItemHint(AShow, AHint, AHintObject);
    return;
  }
  TdxBarManager* manager = BarManager();
  if (!manager) return;
  if (!FCaptionButtonHint) FCaptionButtonHint = Make<TdxBarCaptionButtonHint>(this);
  if (AShow) {
    FCaptionButtonHint->Button = button;
    manager->ActivateHint(true, String(), FCaptionButtonHint);
  } else if (FCaptionButtonHint->Button == button) {
    manager->HideHint();
    FCaptionButtonHint->Button = nullptr;
  }
}

void dxBarFreeCaptionButtonHint(TdxBarControl* AOwner) {
  if (!AOwner->FCaptionButtonHint) return;
  dxBarHintObjectDestroying(AOwner->FCaptionButtonHint);
  FreeAndNil(AOwner->FCaptionButtonHint);
}

void TdxBarControl::ClickCaptionButton(int AIndex) {
  TdxBarCaptionButtons* buttons = CaptionButtons();
  if (!buttons || AIndex < 0 || AIndex >= buttons->Count()) return;
  TdxBarCaptionButton* button = buttons->Items(AIndex);
  if (!IsOutsidePopupWindow()) {
    TBarLink self(this);
    HideAll();
    if (!self.Alive()) {
      button->Click();
      return;
    }
  }
  button->Click();
}

// ---------------------------------------------------------------------------
// MDI buttons
// ---------------------------------------------------------------------------

bool TdxBarControl::ShowsMDIButtons() {
  TdxBarManager* manager = BarManager();
  if (!IsMainMenu() || !manager || !manager->IsMDIMaximized()) return false;
  const HWND child = manager->ActiveMDIChild();
  return child && (GetWindowLongPtrW(child, GWL_STYLE) & WS_SYSMENU);
}

bool TdxBarControl::HasMDIArea() {
  TdxBarManager* manager = BarManager();
  return ShowsMDIButtons() || (IsMainMenu() && manager && manager->ShowCloseButton());
}

int TdxBarControl::MDIAreaWidth() {
  return dxBarToolbarMDIAreaSize(ShowsMDIButtons(), IsDockedLeftOrRight(), TSize(FMDIButtonWidth, FMDIButtonHeight)).cx;
}

int TdxBarControl::MDIAreaHeight() {
  return dxBarToolbarMDIAreaSize(ShowsMDIButtons(), IsDockedLeftOrRight(), TSize(FMDIButtonWidth, FMDIButtonHeight)).cy;
}

bool TdxBarControl::IsMDIButtonEnabled(TdxBarMDIButton AButton, int AMask) {
  if (AButton == mdibRestore) return true;
  const bool showsButtons = ShowsMDIButtons();
  if (AButton == mdibClose && !showsButtons) return true;
  TdxBarManager* manager = BarManager();
  const HWND child = manager ? manager->ActiveMDIChild() : nullptr;
  if (!child) return false;
  HMENU menu = GetSystemMenu(child, FALSE);
  if (!menu) return false;
  const UINT command = AButton == mdibMinimize ? SC_MINIMIZE : AButton == mdibRestore ? SC_RESTORE : SC_CLOSE;
  const UINT state = GetMenuState(menu, command, MF_BYCOMMAND);
  if (state == static_cast<UINT>(-1)) return false;
  return (state & static_cast<UINT>(AMask)) == 0;
}

TdxBarMDIButtonsGeometry TdxBarControl::MDIButtonsGeometry() {
  TdxBarMDIButtonsGeometry g;
  const TRect client = ClientRect();
  g.Client = TSize(client.Width(), client.Height());
  g.Docked = FDockingStyle != dsNone;
  g.Vertical = IsDockedLeftOrRight();
  g.MarkAreaSize = MarkAreaSize();
  g.ButtonWidth = FMDIButtonWidth;
  g.ButtonHeight = FMDIButtonHeight;
  g.ShowsMDIButtons = ShowsMDIButtons();
  g.MDIAreaLength = g.Vertical ? MDIAreaHeight() : MDIAreaWidth();
  g.MultiRow = IsMultiRowLayout();
  if (g.MultiRow) {
    // The last row as the item layout placed it.
    const TdxBarToolbarPlacement& placement = FLayout.Placement;
    const int length = (g.Vertical ? g.Client.cy : g.Client.cx) - (g.Docked ? g.MarkAreaSize : 0);
    const bool placed = placement.LastRowHeight > 0;
    g.OwnRow = placed && placement.LastRowEnd + g.MDIAreaLength > length;
    g.LastRowHeight = placed ? placement.LastRowHeight : g.Client.cy;
  }
  return g;
}

TRect TdxBarControl::GetMDIButtonRect(TdxBarMDIButton AButton) {
  return dxBarMDIButtonRect(MDIButtonsGeometry(), static_cast<int>(AButton));
}

int TdxBarControl::MDIButtonAt(TPoint APoint, int AMask) {
  if (!HasMDIArea()) return -1;
  const bool all = ShowsMDIButtons();
  for (int i = all ? 0 : 2; i < 3; ++i) {
    const auto button = static_cast<TdxBarMDIButton>(i);
    if ((AMask == 0 || IsMDIButtonEnabled(button, AMask)) && GetMDIButtonRect(button).Contains(APoint)) return i;
  }
  return -1;
}

int TdxBarControl::MDIButtonDrawState(TdxBarMDIButton AButton) {
  if (!IsMDIButtonEnabled(AButton, 3)) return 1;
  const TdxBarMDIButtonPressState& s = dxBarMDIButtonPressState();
  const int index = static_cast<int>(AButton);
  if (s.Pressed && s.HeldIndex == index) return s.Inside ? 4 : 3;
  if (!s.Pressed && s.HotIndex == index && s.Inside) return 2;
  return 0;
}

void TdxBarControl::DrawMDIButtons(HDC DC, bool AExclude, bool AOnlyCloseButton) {
  const TdxBarPainter* painter = GetPainter();
  for (int i = AOnlyCloseButton ? 2 : 0; i < 3; ++i) {
    const auto button = static_cast<TdxBarMDIButton>(i);
    const TRect r = GetMDIButtonRect(button);
    TdxBarControlMDIButtonFadingHelper* helper = FMDIButtonFadingHelper[i];
    if (!helper || helper->IsEmpty())
      painter->BarDrawMDIButton(this, button, MDIButtonDrawState(button), DC, r);
    else
      helper->DrawImage(DC, r);
    if (AExclude) cxCanvas()->ExcludeClipRect(r);
  }
}

void TdxBarControl::RepaintMDIButtons() {
  if (!HandleAllocated()) return;
  HDC DC = GetDC(WindowHandle());
  if (!DC) return;
  DrawMDIButtons(DC, false, !ShowsMDIButtons());
  ReleaseDC(WindowHandle(), DC);
}

bool TdxBarControl::PressMDIButton(TPoint APoint) {
  const int index = MDIButtonAt(APoint, 3);
  if (index < 0) return false;
  TdxBarMDIButtonPressState& s = dxBarMDIButtonPressState();
  s.Pressed = true;
  s.Inside = true;
  s.HeldIndex = index;
  s.HotIndex = index;
  RepaintMDIButtons();
  SetCapture(WindowHandle());
  return true;
}

void TdxBarControl::TrackMDIButtons(TPoint APoint) {
  if (!HasMDIArea()) return;
  TdxBarMDIButtonPressState& s = dxBarMDIButtonPressState();
  if (s.Pressed) {
    const bool inside = s.HeldIndex >= 0 && GetMDIButtonRect(static_cast<TdxBarMDIButton>(s.HeldIndex)).Contains(APoint);
    if (inside != s.Inside) {
      s.Inside = inside;
      RepaintMDIButtons();
    }
    return;
  }
  const int hot = MDIButtonAt(APoint, 1);
  s.Inside = hot >= 0;
  if (hot == s.HotIndex) return;
  const int old = s.HotIndex;
  s.HotIndex = hot;
  if (old >= 0 && FMDIButtonFadingHelper[old]) FMDIButtonFadingHelper[old]->FadeOut();
  if (hot >= 0 && FMDIButtonFadingHelper[hot]) FMDIButtonFadingHelper[hot]->FadeIn();
  RepaintMDIButtons();
}

bool TdxBarControl::ReleaseMDIButton(TPoint APoint) {
  TdxBarMDIButtonPressState& s = dxBarMDIButtonPressState();
  if (!s.Pressed) return false;
  const int held = s.HeldIndex;
  if (GetCapture() == WindowHandle()) ReleaseCapture();
  s = TdxBarMDIButtonPressState();
  RepaintMDIButtons();
  const bool showsButtons = ShowsMDIButtons();
  if (MDIButtonAt(APoint, 3) != held) return true;
  TdxBarManager* manager = BarManager();
  if (showsButtons) {
    // The command goes to the maximized child as if its own caption button was clicked.
    if (manager) manager->DoMDIButtonCommand(static_cast<TdxBarMDIButton>(held));
  } else if (manager && manager->OnCloseButtonClick) {
    manager->OnCloseButtonClick(manager);
  }
  return true;
}

void TdxBarControl::CancelMDIButtons() {
  TdxBarMDIButtonPressState& s = dxBarMDIButtonPressState();
  if (!s.Pressed && !s.Inside) return;
  if (HandleAllocated() && GetCapture() == WindowHandle()) ReleaseCapture();
  s = TdxBarMDIButtonPressState();
  if (!IsDestroying() && HasMDIArea()) RepaintMDIButtons();
}

// ---------------------------------------------------------------------------
// The mark
// ---------------------------------------------------------------------------

bool TdxBarControl::AllowsMarkHotTrack() { return GetPainter()->BarAllowQuickCustomizing() && HasMark(); }

void TdxBarControl::InvalidateMark() {
  if (HandleAllocated()) GetPainter()->BarMarkRectInvalidate(this);
}

void TdxBarControl::ClickMark(TPoint) { ChangeMarkState(FMarkState == msPressed ? msSelected : msPressed); }

void TdxBarControl::ChangeMarkState(TdxBarMarkState AValue) {
  if (IsCustomizing() || FMarkState == AValue) return;
  const TdxBarMarkState old = FMarkState;
  FMarkState = AValue;
  StopMoreButtonsHintTimer();
  TBarLink self(this);
  TdxBarManager* manager = BarManager();
  if (AValue == msPressed) {
    if (IdxBarDesignController* designer = dxBarDesignControllerSlot(); designer && HandleAllocated()) {
      const TRect mark = GetMarkRect();
      POINT a{mark.Left, mark.Top}, b{mark.Right, mark.Bottom};
      ::ClientToScreen(WindowHandle(), &a);
      ::ClientToScreen(WindowHandle(), &b);
      FQuickPopup = designer->ShowQuickControl(this, TRect(a.x, a.y, b.x, b.y));
      if (!self.Alive()) return;
    }
  } else {
    if (FQuickPopup) {
      TdxBarControl* popup = FQuickPopup;
      FQuickPopup = nullptr;
      if (dxBarIsLiveControl(popup)) TObject::Free(popup);
      if (!self.Alive()) return;
    }
    if (AValue == msSelected) {
      if (FDockingStyle == dsNone) StartMoreButtonsHintTimer();
      if (manager) manager->ActivateHint(true, GetMarkHint(), this);
    } else if (!SelectedControl() && manager) {
      manager->HideHint();
    }
    if (!self.Alive()) return;
  }
  if (FMarkFadingHelper && FMarkFadingHelper->IsFadingAllowed()) {
    if (old == msSelected)
      GetFader()->FadeOut(FMarkFadingHelper);
    else if (old == msNone)
      GetFader()->FadeIn(FMarkFadingHelper);
  }
  InvalidateMark();
}

TRect TdxBarControl::GetParentMarkScreenRect() {
  auto* parent = dynamic_cast<TdxBarControl*>(FParentBar);
  if (!parent || !parent->HandleAllocated()) return TRect();
  const TRect mark = parent->GetMarkRect();
  POINT a{mark.Left, mark.Top}, b{mark.Right, mark.Bottom};
  ::ClientToScreen(parent->WindowHandle(), &a);
  ::ClientToScreen(parent->WindowHandle(), &b);
  return TRect(a.x, a.y, b.x, b.y);
}

void TdxBarControl::StartMoreButtonsHintTimer() {
  if (!HandleAllocated()) return;
  FMoreButtonsHintTimer = SetTimer(WindowHandle(), dxBarMoreButtonsHintTimerID, dxBarMoreButtonsHintTimerInterval, nullptr);
}

void TdxBarControl::StopMoreButtonsHintTimer() {
  if (!FMoreButtonsHintTimer) return;
  if (HandleAllocated()) KillTimer(WindowHandle(), dxBarMoreButtonsHintTimerID);
  FMoreButtonsHintTimer = 0;
}

void TdxBarControl::MoreButtonsHintTimerTick() {
  if (IsWindowVisible() && GetMarkRect().Contains(ScreenToClient(CursorPos()))) return;
  StopMoreButtonsHintTimer();
  if (FMarkState == msSelected) ChangeMarkState(msNone);
}
