#include "platform/WinApi.h"
#include "foundation/cxControlsHints.h"

#include "foundation/cxControlsRoutines.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/dxCore.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Hint animation
// ---------------------------------------------------------------------------

namespace {

TcxAnimateWindowProc gAnimateWindowReplacement = nullptr;

TcxAnimateWindowProc SystemAnimateWindow() {
  static const TcxAnimateWindowProc proc = [] {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return TcxAnimateWindowProc(nullptr);
    return reinterpret_cast<TcxAnimateWindowProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "AnimateWindow")));
  }();
  return proc;
}

bool SystemFlag(UINT AAction) {
  BOOL value = FALSE;
  return SystemParametersInfoW(AAction, 0, &value, 0) && value;
}

}  // namespace

TcxHintAnimationStyle cxGetHintEffectiveAnimationStyle(TcxHintAnimationStyle AStyle, bool ASystemAnimation,
                                                       bool ASystemFade) {
  if (AStyle == cxhaNone || !ASystemAnimation) return cxhaNone;
  if (AStyle == cxhaAuto) return ASystemFade ? cxhaFadeIn : cxhaSlideDownward;
  return AStyle;
}

DWORD cxGetHintAnimationFlags(TcxHintAnimationStyle AStyle) {
  DWORD flags = 0;
  switch (AStyle) {
    case cxhaSlideFromLeft: flags = AW_HOR_POSITIVE; break;
    case cxhaSlideFromRight: flags = AW_HOR_NEGATIVE; break;
    case cxhaSlideDownward: flags = AW_VER_POSITIVE; break;
    case cxhaSlideUpward: flags = AW_VER_NEGATIVE; break;
    case cxhaSlideFromCenter: flags = AW_CENTER; break;
    case cxhaHide: flags = AW_HIDE; break;
    case cxhaActivate: flags = AW_ACTIVATE; break;
    case cxhaFadeIn: flags = AW_BLEND; break;
    case cxhaAuto:
    case cxhaNone: return 0;
  }
  return flags | AW_SLIDE;
}

TcxAnimateWindowProc cxGetAnimateWindowProc() {
  return gAnimateWindowReplacement ? gAnimateWindowReplacement : SystemAnimateWindow();
}

TcxAnimateWindowProc cxSetAnimateWindowProc(TcxAnimateWindowProc AProc) {
  TcxAnimateWindowProc previous = gAnimateWindowReplacement;
  gAnimateWindowReplacement = AProc;
  return previous;
}

// ---------------------------------------------------------------------------
// TcxBaseHintWindow
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxBaseHintWindow, THintWindow, (ConstructWith<TcxBaseHintWindow, TComponent>))
  b.Message<&TcxBaseHintWindow::CMTextChanged>(CM_TEXTCHANGED);
  b.Message<&TcxBaseHintWindow::WMEraseBkgnd>(WM_ERASEBKGND);
  b.Message<&TcxBaseHintWindow::WMNCHitTest>(WM_NCHITTEST);
  b.Message<&TcxBaseHintWindow::WMNCPaint>(WM_NCPAINT);
END_CLASS

TcxBaseHintWindow::TcxBaseHintWindow(TComponent* AOwner) : THintWindow(AOwner) {
  FAnimationStyle = cxhaAuto;
  FAnimationDelay = 100;
}

void TcxBaseHintWindow::CreateParams(TCreateParams& Params) {
  THintWindow::CreateParams(Params);
  if (FStandardHint) return;
  if (FBorderStyle == bsNone) Params.Style &= ~static_cast<DWORD>(WS_BORDER);
  Params.ExStyle |= WS_EX_TOPMOST;
}

void TcxBaseHintWindow::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TRect workArea;
  cxWorkAreaFromPoint(TPoint(ALeft, ATop), workArea);
  // Right and bottom edges first: a hint larger than the work area keeps its
  // top-left corner inside.
  ALeft = std::max(workArea.Left, std::min(ALeft, workArea.Right - AWidth));
  ATop = std::max(workArea.Top, std::min(ATop, workArea.Bottom - AHeight));
  THintWindow::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TcxBaseHintWindow::ActivateHint(TRect ARect, const String& AHint) {
  if (FStandardHint) {
    THintWindow::ActivateHint(ARect, AHint);
    return;
  }
  activating_ = true;
  try {
    SetCaption(AHint);
    AdjustHintBounds(ARect);
    SetBounds(ARect.Left, ARect.Top, ARect.Width(), ARect.Height());
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    if (dxIsWindowsXPOrLater) UpdateWindowRegion();
    if (static_cast<int>(AHint.size()) < cxHintMaxAnimatedLength && cxGetAnimateWindowProc()) Animate();
    if (!dxIsWindowsXPOrLater) UpdateWindowRegion();
    ShowWithoutActivation();
    Invalidate();
    FHintAreaBounds = TRect();
  } catch (...) {
    lastActive_ = GetTickCount();
    activating_ = false;
    throw;
  }
  lastActive_ = GetTickCount();
  activating_ = false;
}

void TcxBaseHintWindow::Animate() {
  const TcxHintAnimationStyle style = cxGetHintEffectiveAnimationStyle(
      FAnimationStyle, SystemFlag(SPI_GETTOOLTIPANIMATION), SystemFlag(SPI_GETTOOLTIPFADE));
  if (style == cxhaNone) return;
  TcxAnimateWindowProc animateWindow = cxGetAnimateWindowProc();
  if (!animateWindow) return;
  if (!dxIsWindowsXPOrLater) ClearWindowRegion();
  animateWindow(Handle(), static_cast<DWORD>(FAnimationDelay), cxGetHintAnimationFlags(style));
}

void TcxBaseHintWindow::SetHintAreaBounds(const TRect& ABounds) { FHintAreaBounds = ABounds; }

void TcxBaseHintWindow::SetBorderStyle(TBorderStyle AValue) {
  if (FBorderStyle == AValue) return;
  FBorderStyle = AValue;
  if (HandleAllocated()) RecreateWnd();
}

void TcxBaseHintWindow::SetStandardHint(bool AValue) {
  if (FStandardHint == AValue) return;
  FStandardHint = AValue;
  if (HandleAllocated()) RecreateWnd();
}

void TcxBaseHintWindow::AdjustHintBounds(TRect&) {}

void TcxBaseHintWindow::ClearWindowRegion() {
  if (HandleAllocated()) SetWindowRgn(WindowHandle(), nullptr, TRUE);
}

void TcxBaseHintWindow::UpdateWindowRegion() {}

void TcxBaseHintWindow::ShowWithoutActivation() { ShowWindow(Handle(), SW_SHOWNOACTIVATE); }

void TcxBaseHintWindow::CMTextChanged(TMessage& Message) {
  // The platform's hint resizes itself to a new text; ours keeps the bounds
  // ActivateHint gives it.
  if (FStandardHint) DispatchInherited(TcxBaseHintWindow::StaticClass(), &Message);
}

void TcxBaseHintWindow::WMEraseBkgnd(TWMEraseBkgnd& Message) {
  if (FNeedEraseBackground)
    DispatchInherited(TcxBaseHintWindow::StaticClass(), &Message);
  else
    Message.Result = 1;
}

void TcxBaseHintWindow::WMNCHitTest(TWMNCHitTest& Message) { Message.Result = HTTRANSPARENT; }

void TcxBaseHintWindow::WMNCPaint(TMessage& Message) {
  // The platform's hint paints its edge into the window DC; without a border
  // that edge would land on the client area.
  if (FStandardHint || FBorderStyle != bsNone)
    DispatchInherited(TcxBaseHintWindow::StaticClass(), &Message);
  else
    DefaultHandler(&Message);
}

// ---------------------------------------------------------------------------
// Popup placement
// ---------------------------------------------------------------------------

TPoint cxCalculatePopupPosition(const TRect& R, const TSize& ASize, TcxPopupDirection ADirection,
                                TcxPopupAlignHorz AAlignHorz, TcxPopupAlignVert AAlignVert,
                                const TcxWorkAreaLookup& AWorkArea) {
  const int W = ASize.cx, H = ASize.cy;
  TPoint p, anchor;
  if (AAlignHorz == pahCenter) p.X = anchor.X = (R.Left + R.Right - W) / 2;
  if (AAlignVert == pavCenter) p.Y = anchor.Y = (R.Top + R.Bottom - H) / 2;

  auto place = [&](TcxPopupAlignHorz AHorz, TcxPopupAlignVert AVert) {
    if (ADirection == pdVertical) {
      if (AHorz == pahLeft) p.X = R.Left;
      if (AHorz == pahRight) p.X = R.Right - W;
      if (AVert == pavTop) p.Y = R.Top - H;
      if (AVert == pavBottom) p.Y = R.Bottom;
    } else {
      if (AHorz == pahLeft) p.X = R.Left - W;
      if (AHorz == pahRight) p.X = R.Right;
      if (AVert == pavTop) p.Y = R.Top;
      if (AVert == pavBottom) p.Y = R.Bottom - H;
    }
  };
  place(AAlignHorz, AAlignVert);
  if (AAlignHorz == pahLeft) anchor.X = R.Left;
  if (AAlignHorz == pahRight) anchor.X = R.Right;
  if (AAlignVert == pavTop) anchor.Y = R.Top;
  if (AAlignVert == pavBottom) anchor.Y = R.Bottom;

  const TRect WA = AWorkArea(anchor);
  if (ADirection == pdVertical) {
    const bool moreRoomAbove = R.Top - WA.Top > WA.Bottom - R.Bottom;
    if (AAlignVert == pavTop && p.Y < WA.Top && !moreRoomAbove)
      AAlignVert = pavBottom;
    else if (AAlignVert == pavBottom && p.Y + H > WA.Bottom && moreRoomAbove)
      AAlignVert = pavTop;
  } else {
    const bool moreRoomLeft = R.Left - WA.Left > WA.Right - R.Right;
    if (AAlignHorz == pahLeft && p.X < WA.Left && !moreRoomLeft)
      AAlignHorz = pahRight;
    else if (AAlignHorz == pahRight && p.X + W > WA.Right && moreRoomLeft)
      AAlignHorz = pahLeft;
  }
  place(AAlignHorz, AAlignVert);

  if (ADirection == pdVertical || AAlignHorz == pahCenter) {
    if (p.X + W > WA.Right) p.X = WA.Right - W;
    if (p.X < WA.Left) p.X = WA.Left;
  }
  if (ADirection == pdHorizontal || AAlignVert == pavCenter) {
    if (p.Y + H > WA.Bottom) p.Y = WA.Bottom - H;
    if (p.Y < WA.Top) p.Y = WA.Top;
  }
  return p;
}

// ---------------------------------------------------------------------------
// TcxPopupWindow
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxPopupWindow, TForm, (ConstructPlain<TcxPopupWindow>))
  b.Message<&TcxPopupWindow::WMActivate>(WM_ACTIVATE);
  b.Message<&TcxPopupWindow::WMActivateApp>(WM_ACTIVATEAPP);
END_CLASS

TcxPopupWindow::TcxPopupWindow() : TForm(nullptr, 0) {
  TCustomForm::SetBorderStyle(bsNone);
  SetDefaultMonitor(dmDesktop);
  SetFormStyle(fsStayOnTop);
  FCanvas = Make<TcxCanvas>(Canvas());
}

TcxPopupWindow::~TcxPopupWindow() {
  if (FOwnerParent) FOwnerParent->RemoveFreeNotification(this);
  FreeAndNil(FCanvas);
}

void TcxPopupWindow::Popup() {
  InheritOwnerFont();
  CalculateSize();
  TPoint position;
  CalculatePosition(position);
  SetLeft(position.X);
  CalculatePosition(position);
  SetTop(position.Y);
  Show();
}

void TcxPopupWindow::CloseUp() { Hide(); }

void TcxPopupWindow::SetBorderSpace(int AValue) {
  RemoveContentOffset();
  FBorderSpace = AValue;
}

void TcxPopupWindow::SetBorderStyle(TcxPopupBorderStyle AValue) {
  RemoveContentOffset();
  FBorderStyle = AValue;
}

void TcxPopupWindow::SetOwnerParent(TControl* AValue) {
  if (FOwnerParent == AValue) return;
  if (FOwnerParent) FOwnerParent->RemoveFreeNotification(this);
  FOwnerParent = AValue;
  if (FOwnerParent) FOwnerParent->FreeNotification(this);
}

void TcxPopupWindow::Notification(TComponent* AComponent, TOperation operation) {
  TForm::Notification(AComponent, operation);
  if (operation == opRemove && AComponent == FOwnerParent) FOwnerParent = nullptr;
}

void TcxPopupWindow::CalculatePosition(TPoint& APosition) {
  APosition = cxCalculatePopupPosition(GetOwnerScreenBounds(), TSize(Width(), Height()), FDirection,
                                       FAlignHorz, FAlignVert, [](const TPoint& AAnchor) {
                                         TRect workArea;
                                         cxWorkAreaFromPoint(AAnchor, workArea);
                                         return workArea;
                                       });
}

// The children keep their positions relative to the content; the indent in
// force is remembered, so that sizing again (each Popup does) or changing
// the frame never moves them twice.
void TcxPopupWindow::CalculateSize() {
  if (!FAdjustable) return;
  const TPoint offset(ContentIndent(0), ContentIndent(1));
  const int count = ControlCount();
  int maxRight = 0, maxBottom = 0;
  for (int i = 0; i < count; ++i) {
    const TRect bounds = Controls(i)->BoundsRect();
    const int right = bounds.Right - FAppliedContentOffset.X, bottom = bounds.Bottom - FAppliedContentOffset.Y;
    if (i == 0 || right > maxRight) maxRight = right;
    if (i == 0 || bottom > maxBottom) maxBottom = bottom;
  }
  const int dx = offset.X - FAppliedContentOffset.X, dy = offset.Y - FAppliedContentOffset.Y;
  if (dx != 0 || dy != 0) {
    for (int i = 0; i < count; ++i) {
      TControl* control = Controls(i);
      control->SetBounds(control->Left() + dx, control->Top() + dy, control->Width(), control->Height());
    }
  }
  FAppliedContentOffset = offset;
  if (count > 0)
    SetBounds(Left(), Top(), offset.X + maxRight + ContentIndent(2), offset.Y + maxBottom + ContentIndent(3));
}

void TcxPopupWindow::RemoveContentOffset() {
  if (FAppliedContentOffset == TPoint()) return;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* control = Controls(i);
    control->SetBounds(control->Left() - FAppliedContentOffset.X, control->Top() - FAppliedContentOffset.Y,
                       control->Width(), control->Height());
  }
  FAppliedContentOffset = TPoint();
}

int TcxPopupWindow::ContentIndent(int) { return GetBorderSize() + FBorderSpace; }

int TcxPopupWindow::GetBorderSize() {
  switch (FBorderStyle) {
    case pbsNone: return 0;
    case pbsUltraFlat:
    case pbsFlat: return 1;
    case pbs3D: return 2;
  }
  return 0;
}

TRect TcxPopupWindow::GetClientBounds() {
  TRect r = ClientRect();
  r.Left += ContentIndent(0);
  r.Top += ContentIndent(1);
  r.Right -= ContentIndent(2);
  r.Bottom -= ContentIndent(3);
  return r;
}

TRect TcxPopupWindow::GetOwnerScreenBounds() {
  if (!FOwnerParent) return FOwnerBounds;
  return TRect(FOwnerParent->ClientToScreen(TPoint(FOwnerBounds.Left, FOwnerBounds.Top)),
               FOwnerParent->ClientToScreen(TPoint(FOwnerBounds.Right, FOwnerBounds.Bottom)));
}

void TcxPopupWindow::InheritOwnerFont() {
  if (FOwnerParent) Font()->Assign(FOwnerParent->Font());
}

void TcxPopupWindow::DrawFrame() {
  TRect r(0, 0, Width(), Height());
  switch (FBorderStyle) {
    case pbsNone:
      break;
    case pbsUltraFlat:
      FCanvas->FrameRect(r, FFrameColor);
      break;
    case pbsFlat:
      FCanvas->DrawEdge(r, false, false);
      break;
    case pbs3D:
      FCanvas->DrawEdge(r, false, true);
      r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
      FCanvas->DrawEdge(r, false, false);
      break;
  }
}

void TcxPopupWindow::Paint() {
  TForm::Paint();
  DrawFrame();
}

void TcxPopupWindow::Deactivate() {
  TControlGuard guard(this);
  TForm::Deactivate();
  if (guard.Alive()) CloseUp();
}

void TcxPopupWindow::WMActivate(TWMActivate& Message) {
  DispatchInherited(TcxPopupWindow::StaticClass(), &Message);
  if (Message.Active == WA_INACTIVE) return;
  // The owner's caption keeps looking active while the popup is open.
  FPrevActiveWindow = Message.ActiveWindow;
  if (FPrevActiveWindow) SendMessageW(FPrevActiveWindow, WM_NCACTIVATE, TRUE, 0);
}

void TcxPopupWindow::WMActivateApp(TWMActivateApp& Message) {
  DispatchInherited(TcxPopupWindow::StaticClass(), &Message);
  if (Message.Active) return;
  TControlGuard guard(this);
  if (FPrevActiveWindow && IsWindow(FPrevActiveWindow)) SendMessageW(FPrevActiveWindow, WM_NCACTIVATE, FALSE, 0);
  if (guard.Alive()) CloseUp();
}
