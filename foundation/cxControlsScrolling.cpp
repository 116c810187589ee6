// The base control's own scroll bars and size grip, content scrolling, the
// mouse wheel and middle-button panning.
#include "foundation/cxClasses.h"
#include "foundation/cxControls.h"
#include "foundation/cxControlsTimer.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/Forms.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/Graphics.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The parameter loop settles within a pass or two; a descendant whose answers
// keep flipping must not hang the control.
constexpr int kMaxParameterPasses = 16;

// Panning: the timer's interval and the highest speed.
constexpr UINT kPanningInterval = 20;
constexpr int kMaxPanningSpeed = 12;

TScrollBarInc ClampInc(int AValue) { return std::clamp(AValue, kScrollBarIncMin, kScrollBarIncMax); }

}  // namespace

// ---------------------------------------------------------------------------
// TcxControlScrollBar
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxControlScrollBar, TcxScrollBar, (ConstructWith<TcxControlScrollBar, TComponent>))
  b.Message<&TcxControlScrollBar::CMDesignHitTest>(CM_DESIGNHITTEST);
END_CLASS

TcxControlScrollBar::TcxControlScrollBar(TComponent* AOwner) : TcxScrollBar(AOwner) {
  SetColor(clBtnFace);
  SetControlStyle(ControlStyle() - csFramed + csNoDesignVisible);
  SetTabStop(false);
  SetVisible(false);
}

TcxControlScrollBar::~TcxControlScrollBar() { cxClearObjectLinks(this); }

void TcxControlScrollBar::ApplyData() {
  if (Data.Visible) {
    SetScrollParams(Data.Min, Data.Max, Data.Position, Data.PageSize, true);
    SetSmallChange(ClampInc(Data.SmallChange));
    SetLargeChange(ClampInc(Data.LargeChange));
  }
  SetEnabled(Data.Enabled);
  if (Data.Visible != Visible()) {
    SetVisible(Data.Visible);
    Perform(CM_SHOWINGCHANGED, 0, 0);
  }
}

void TcxControlScrollBar::WndProc(TMessage& Message) {
  if (Message.Msg == WM_LBUTTONDOWN) {
    TcxObjectLink* link = cxCreateObjectLink(this);
    try {
      FocusParent();
    } catch (...) {
      cxReleaseObjectLink(link);
      throw;
    }
    const bool alive = link->Ref != nullptr;
    cxReleaseObjectLink(link);
    if (!alive) return;
  }
  TcxScrollBar::WndProc(Message);
}

void TcxControlScrollBar::FocusParent() {
  TWinControl* parent = Parent();
  if (auto* control = dynamic_cast<TcxControl*>(parent)) {
    if (control->CanFocusFromScrollBar(this)) control->SetFocus();
  } else if (parent && parent->CanFocus())
    parent->SetFocus();
}

void TcxControlScrollBar::CMDesignHitTest(TMessage& Message) { Message.Result = 1; }

// ---------------------------------------------------------------------------
// TcxSizeGrip
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxSizeGrip, TCustomControl, (ConstructWith<TcxSizeGrip, TComponent>))
  b.Message<&TcxSizeGrip::WMEraseBkgnd>(WM_ERASEBKGND);
END_CLASS

TcxSizeGrip::TcxSizeGrip(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clBtnFace);
  SetControlStyle(ControlStyle() + csNoDesignVisible);
  FLookAndFeel = Make<TcxLookAndFeel>(this);
  FLookAndFeel->OnChanged = TcxLookAndFeelChangedEvent::Bind<&TcxSizeGrip::LookAndFeelChanged>(this);
}

TcxSizeGrip::~TcxSizeGrip() { FreeAndNil(FLookAndFeel); }

void TcxSizeGrip::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) { Invalidate(); }

void TcxSizeGrip::WMEraseBkgnd(TWMEraseBkgnd& Message) { Message.Result = 1; }

void TcxSizeGrip::Paint() {
  Canvas()->Brush()->SetColor(FLookAndFeel->Painter()->DefaultSizeGripAreaColor());
  Canvas()->FillRect(ClientRect());
}

// ---------------------------------------------------------------------------
// TcxControl: bar objects
// ---------------------------------------------------------------------------

void TcxControl::SyncScrollBarObjects() {
  if (!HasOwnScrollBars()) {
    DestroyScrollBarObjects();
    return;
  }
  if (!FSizeGrip) {
    FHScrollBar = Make<TcxControlScrollBar>(nullptr);
    FVScrollBar = Make<TcxControlScrollBar>(nullptr);
    FVScrollBar->SetKind(sbVertical);
    FSizeGrip = Make<TcxSizeGrip>(nullptr);
    for (TcxControlScrollBar* bar : {FHScrollBar, FVScrollBar}) {
      bar->OnScroll = TScrollEvent::Bind<&TcxControl::ScrollBarScrollHandler>(this);
      bar->SetControlStyle(bar->ControlStyle() + csReplicatable);
      bar->LookAndFeel()->SetMasterLookAndFeel(FLookAndFeel);
    }
    FSizeGrip->SetControlStyle(FSizeGrip->ControlStyle() + csReplicatable);
    FSizeGrip->LookAndFeel()->SetMasterLookAndFeel(FLookAndFeel);
    if (!cxControlsIsFinalizing()) cxGetSettingsController()->AddListener(this);
  }
  if (HandleAllocated()) ParentInternalControls();
}

void TcxControl::DestroyScrollBarObjects() {
  if (!FSizeGrip) return;
  if (!cxControlsIsFinalizing()) cxGetSettingsController()->RemoveListener(this);
  FreeAndNil(FSizeGrip);
  FreeAndNil(FVScrollBar);
  FreeAndNil(FHScrollBar);
}

void TcxControl::ParentInternalControls() {
  if (!FSizeGrip) return;
  FHScrollBar->SetParent(this);
  FVScrollBar->SetParent(this);
  FSizeGrip->SetParent(this);
}

void TcxControl::ScrollBarScrollHandler(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos) {
  HandleScroll(static_cast<TcxScrollBar*>(Sender)->Kind(), ScrollCode, ScrollPos);
}

bool TcxControl::IsInternalControl(TControl* AControl) {
  return AControl && (AControl == FHScrollBar || AControl == FVScrollBar || AControl == FSizeGrip);
}

bool TcxControl::KeepsScrollBarsInFront() { return !IsDesigning(); }

void TcxControl::BringInternalControlsToFront() {
  if (!FSizeGrip) return;
  FHScrollBar->BringToFront();
  FVScrollBar->BringToFront();
  FSizeGrip->BringToFront();
}

void TcxControl::SetScrollBars(TScrollStyle AValue) {
  if (AValue == FScrollBars) return;
  FScrollBars = AValue;
  RecalcScrollBars();
}

bool TcxControl::IsHScrollBarVisible() {
  if (!FHScrollBar) return false;
  return FCalculatingScrollBarsParams ? FHScrollBar->Data.Visible : FHScrollBar->Visible();
}

bool TcxControl::IsVScrollBarVisible() {
  if (!FVScrollBar) return false;
  return FCalculatingScrollBarsParams ? FVScrollBar->Data.Visible : FVScrollBar->Visible();
}

// ---- geometry

TRect TcxControl::ClientBounds() {
  TRect r = Bounds();
  const int border = BorderExtent();
  r = TRect(r.Left + border, r.Top + border, r.Right - border, r.Bottom - border);
  if (IsHScrollBarVisible()) r.Bottom -= FHScrollBar->Height();
  if (IsVScrollBarVisible()) r.Right -= FVScrollBar->Width();
  return r;
}

void TcxControl::CalcHScrollBarBounds(TRect& R) {
  R = ClientBounds();
  R.Top = R.Bottom;
  R.Bottom = R.Top + FHScrollBar->Height();
}

void TcxControl::CalcVScrollBarBounds(TRect& R) {
  R = ClientBounds();
  R.Left = R.Right;
  R.Right = R.Left + FVScrollBar->Width();
}

void TcxControl::CalcSizeGripBounds(TRect& R) {
  R = TRect(FVScrollBar->Left(), FHScrollBar->Top(), FVScrollBar->Left() + FVScrollBar->Width(),
            FHScrollBar->Top() + FHScrollBar->Height());
}

void TcxControl::PlaceScrollBars() {
  if (!FSizeGrip) return;
  TRect r;
  if (FHScrollBar->Visible()) {
    CalcHScrollBarBounds(r);
    FHScrollBar->SetBoundsRect(r);
  }
  if (FVScrollBar->Visible()) {
    CalcVScrollBarBounds(r);
    FVScrollBar->SetBoundsRect(r);
  }
  if (FSizeGrip->Visible()) {
    CalcSizeGripBounds(r);
    FSizeGrip->SetBoundsRect(r);
  }
}

void TcxControl::RefreshScrollBarStates() {
  if (!FSizeGrip) return;
  for (TWinControl* c : {static_cast<TWinControl*>(FHScrollBar), static_cast<TWinControl*>(FVScrollBar),
                         static_cast<TWinControl*>(FSizeGrip)})
    if (c->Visible()) c->UpdateControlState();
}

// ---- parameters

void TcxControl::SetScrollBarInfo(TScrollBarKind AScrollBarKind, int AMin, int AMax, int AStep, int APage, int APos,
                                  bool AAllowShow, bool AAllowHide) {
  TcxControlScrollBar* bar = AScrollBarKind == sbHorizontal ? FHScrollBar : FVScrollBar;
  if (!bar) return;
  TcxScrollBarData& d = bar->Data;
  const TScrollStyle own = AScrollBarKind == sbHorizontal ? ssHorizontal : ssVertical;
  d.AllowShow = AAllowShow && (FScrollBars == ssBoth || FScrollBars == own);
  d.AllowHide = AAllowHide;
  if (!d.AllowShow) {
    d.Visible = false;
    return;
  }
  if (AMin > AMax || APage >= AMax - AMin + 1 || APos < AMin) {
    if (d.AllowHide)
      d.Visible = false;
    else {
      d.Enabled = false;
      d.Visible = true;
    }
    return;
  }
  d.Min = AMin;
  d.Max = AMax;
  d.Position = APos;
  d.PageSize = APage;
  d.SmallChange = AStep;
  d.LargeChange = APage;
  d.Enabled = true;
  d.Visible = true;
}

void TcxControl::CalcScrollBarsParamsLoop() {
  if (FCalculatingScrollBarsParams) return;
  FCalculatingScrollBarsParams = true;
  try {
    FHScrollBar->Data.Visible = false;
    FVScrollBar->Data.Visible = false;
    for (int pass = 0; pass < kMaxParameterPasses; ++pass) {
      const bool h = IsHScrollBarVisible();
      const bool v = IsVScrollBarVisible();
      CalcScrollBarParams();
      if (h == IsHScrollBarVisible() && v == IsVScrollBarVisible()) break;
    }
    const TcxScrollBarData hd = FHScrollBar->Data;
    const TcxScrollBarData vd = FVScrollBar->Data;
    if (hd.Visible && hd.Enabled && hd.AllowHide && vd.Visible && vd.Enabled && vd.AllowHide) {
      const int vWidth = FVScrollBar->Width();
      const int hHeight = FHScrollBar->Height();
      const bool hMarked =
          CanDropRedundantScrollBar(sbHorizontal) && hd.PageSize + vWidth >= hd.Max - hd.Min + 1;
      const bool vMarked =
          CanDropRedundantScrollBar(sbVertical) && vd.PageSize + hHeight >= vd.Max - vd.Min + 1;
      if (hMarked && vMarked) {
        SetScrollBarInfo(sbHorizontal, hd.Min, hd.Max, hd.SmallChange, hd.PageSize + vWidth, hd.Position,
                         hd.AllowShow, hd.AllowHide);
        SetScrollBarInfo(sbVertical, vd.Min, vd.Max, vd.SmallChange, vd.PageSize + hHeight, vd.Position,
                         vd.AllowShow, vd.AllowHide);
      }
    }
  } catch (...) {
    FCalculatingScrollBarsParams = false;
    throw;
  }
  FCalculatingScrollBarsParams = false;
}

void TcxControl::RecalcScrollBars() {
  if (!FSizeGrip) return;
  if (FScrollBarsLockCount > 0) {
    FScrollBarsUpdateNeeded = true;
    return;
  }
  const bool wasUpdating = FUpdatingScrollBars;
  if (!wasUpdating) {
    FInitialHScrollBarVisible = FHScrollBar->Visible();
    FInitialVScrollBarVisible = FVScrollBar->Visible();
  }
  FUpdatingScrollBars = true;
  const auto restore = [this, wasUpdating] {
    if (!wasUpdating) FIsInitialScrollBarsParams = false;
    FUpdatingScrollBars = wasUpdating;
  };
  try {
    const bool hVisible = FHScrollBar->Visible();
    const bool vVisible = FVScrollBar->Visible();
    if (!FIsInitialScrollBarsParams) {
      CalcScrollBarsParamsLoop();
      FIsInitialScrollBarsParams = wasUpdating && FHScrollBar->Data.Visible == FInitialHScrollBarVisible &&
                                   FVScrollBar->Data.Visible == FInitialVScrollBarVisible;
      if (FIsInitialScrollBarsParams) {
        // The nested run would undo what the outer one does and the bars
        // would flicker: keep the changed bar, disabled.
        const bool initial[2] = {FInitialHScrollBarVisible, FInitialVScrollBarVisible};
        TcxControlScrollBar* bars[2] = {FHScrollBar, FVScrollBar};
        for (int i = 0; i < 2; ++i)
          if (bars[i]->Visible() != initial[i]) {
            bars[i]->SetEnabled(false);
            bars[i]->SetVisible(true);
          }
      } else {
        FHScrollBar->ApplyData();
        FVScrollBar->ApplyData();
      }
    }
    if (FHScrollBar->Visible() != hVisible || FVScrollBar->Visible() != vVisible)
      AfterBoundsChange();
    else {
      FSizeGrip->SetVisible(FHScrollBar->Visible() && FVScrollBar->Visible());
      PlaceScrollBars();
      if (KeepsScrollBarsInFront()) BringInternalControlsToFront();
    }
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void TcxControl::LockScrollBars() {
  if (FScrollBarsLockCount == 0) FScrollBarsUpdateNeeded = false;
  ++FScrollBarsLockCount;
}

void TcxControl::UnlockScrollBars() {
  if (FScrollBarsLockCount < 1) return;
  if (--FScrollBarsLockCount == 0 && FScrollBarsUpdateNeeded) RecalcScrollBars();
}

void TcxControl::DXMSettingsChanged(TMessage&) {
  if (!FSizeGrip) return;
  const int h = GetSystemMetrics(SM_CYHSCROLL);
  const int w = GetSystemMetrics(SM_CXVSCROLL);
  if (FHScrollBar->Height() == h && FVScrollBar->Width() == w) return;
  FHScrollBar->SetHeight(h);
  FVScrollBar->SetWidth(w);
  AfterBoundsChange();
}

// ---- scrolling

void TcxControl::ScrollContent(TcxDirection ADirection) {
  if (ADirection == dirNone) return;
  if (!FSizeGrip && !CanScrollContent(ADirection)) return;
  const bool horizontal = ADirection == dirLeft || ADirection == dirRight;
  const TScrollBarKind kind = horizontal ? sbHorizontal : sbVertical;
  int pos = FSizeGrip ? (horizontal ? FHScrollBar : FVScrollBar)->Position() : 0;
  const TScrollCode code = ADirection == dirLeft || ADirection == dirUp ? scLineUp : scLineDown;
  HandleScroll(kind, code, pos);
  Update();
}

void TcxControl::ScrollWindow(int DX, int DY, const TRect& AScrollRect) {
  if (!HandleAllocated()) return;
  TDragObject* drag = cxCurrentDragObject();
  if (drag) drag->HideDragImage();
  ScrollWindowEx(WindowHandle(), DX, DY, reinterpret_cast<const RECT*>(&AScrollRect), nullptr, nullptr, nullptr,
                 SW_INVALIDATE | SW_ERASE);
  if (drag) drag->ShowDragImage();
}

TScrollStyle TcxControl::MouseWheelScrollKind() { return IsVScrollBarVisible() ? ssVertical : ssNone; }

int cxWheelScrollSteps(UINT ASystemLines, int APageLines) {
  const int page = std::max(APageLines, 1);
  // "One screen at a time" answers WHEEL_PAGESCROLL (UINT_MAX): taken as a
  // count it would step billions of times. A screen is one page of lines.
  if (ASystemLines == WHEEL_PAGESCROLL || ASystemLines > static_cast<UINT>(page)) return page;
  return static_cast<int>(ASystemLines);
}

bool TcxControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  const TScrollStyle kind = MouseWheelScrollKind();
  if (kind == ssNone) return false;
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  TcxControlScrollBar* bar = kind == ssVertical ? FVScrollBar : FHScrollBar;
  int pageLines = 1;
  if (bar) pageLines = std::max(1, bar->LargeChange() / std::max(1, static_cast<int>(bar->SmallChange())));
  const int steps = cxWheelScrollSteps(lines, pageLines);
  TcxDirection direction;
  if (kind == ssVertical)
    direction = WheelDelta > 0 ? dirUp : dirDown;
  else
    direction = WheelDelta > 0 ? dirLeft : dirRight;
  TcxObjectLink* link = cxCreateObjectLink(this);
  for (int i = 0; i < steps && link->Ref; ++i) ScrollContent(direction);
  cxReleaseObjectLink(link);
  return true;
}

// ---------------------------------------------------------------------------
// Middle-button panning
// ---------------------------------------------------------------------------

TcxPanningStep cxPanningStepAt(const TPoint& AOrigin, const TPoint& P, int AMarkerWidth, bool AHorzVisible,
                               bool AVertVisible, const TSize& AScreen) {
  const int half = AMarkerWidth / 2;
  TRect zone(AOrigin.X - half, AOrigin.Y - half, AOrigin.X - half + AMarkerWidth, AOrigin.Y - half + AMarkerWidth);
  if (!AHorzVisible) {
    zone.Left = 0;
    zone.Right = AScreen.cx;
  }
  if (!AVertVisible) {
    zone.Top = 0;
    zone.Bottom = AScreen.cy;
  }
  TcxPanningStep step;
  if (zone.Contains(P)) return step;
  step.Moved = true;
  const int dx = P.X - AOrigin.X;
  const int dy = P.Y - AOrigin.Y;
  const bool vertical = !AHorzVisible || (AVertVisible && std::abs(dy) >= std::abs(dx));
  int distance;
  if (vertical) {
    step.Direction = dy < 0 ? dirUp : dirDown;
    distance = std::abs(dy);
  } else {
    step.Direction = dx < 0 ? dirLeft : dirRight;
    distance = std::abs(dx);
  }
  step.Speed = std::clamp((distance - half) / 5 + 1, 1, kMaxPanningSpeed);
  return step;
}

TCursor cxPanningCursor(TcxDirection ADirection, bool AHorzVisible, bool AVertVisible) {
  switch (ADirection) {
    case dirLeft: return crcxLeftScroll;
    case dirRight: return crcxRightScroll;
    case dirUp: return crcxUpScroll;
    case dirDown: return crcxDownScroll;
    default: break;
  }
  if (AHorzVisible && AVertVisible) return crcxFullScroll;
  return AHorzVisible ? crcxHorScroll : crcxVerScroll;
}

namespace {

// The marker shown at the origin while panning: the bitmap in an elliptic
// window with a one-pixel frame.
class TPanningMarker {
 public:
  TPanningMarker(HWND AOwner, const TPoint& AOrigin, const wchar_t* ABitmapName) {
    FBitmap = GdiLoadBitmap(GetModuleHandleW(nullptr), ABitmapName);
    BITMAP info{};
    if (FBitmap) GetObjectW(FBitmap, sizeof(info), &info);
    FWidth = FBitmap ? info.bmWidth : 29;
    FHeight = FBitmap ? info.bmHeight : 29;
    FWindow = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP, AOrigin.X - FWidth / 2,
                              AOrigin.Y - FHeight / 2, FWidth, FHeight, AOwner, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
    if (!FWindow) return;
    if (HRGN region = CreateEllipticRgn(0, 0, FWidth + 1, FHeight + 1)) {
      // The window owns the region from here on.
      if (!SetWindowRgn(FWindow, region, TRUE)) DeleteObject(region);
    }
    SetWindowPos(FWindow, nullptr, 0, 0, 0, 0,
                 SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    Draw();
  }
  ~TPanningMarker() {
    if (FWindow) DestroyWindow(FWindow);
    if (FBitmap) GdiDeleteObject(FBitmap);
  }
  TPanningMarker(const TPanningMarker&) = delete;
  TPanningMarker& operator=(const TPanningMarker&) = delete;

  HWND Window() const { return FWindow; }
  int Width() const { return FWidth; }

 private:
  void Draw() {
    HDC dc = GetWindowDC(FWindow);
    if (!dc) return;
    if (FBitmap) {
      HDC memDC = GdiCreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(memDC, FBitmap);
      BitBlt(dc, 0, 0, FWidth, FHeight, memDC, 0, 0, SRCCOPY);
      SelectObject(memDC, old);
      GdiDeleteDC(memDC);
    }
    if (HRGN frame = CreateEllipticRgn(0, 0, FWidth + 1, FHeight + 1)) {
      FrameRgn(dc, frame, GetSysColorBrush(COLOR_WINDOWTEXT), 1, 1);
      DeleteObject(frame);
    }
    ReleaseDC(FWindow, dc);
  }

  HBITMAP FBitmap = nullptr;
  HWND FWindow = nullptr;
  int FWidth = 29;
  int FHeight = 29;
};

}  // namespace

void TcxControl::DoScrollContent() {
  const bool h = IsHScrollBarVisible();
  const bool v = IsVScrollBarVisible();
  if ((!h && !v) || !HandleAllocated()) return;
  FIsScrollingContent = true;
  POINT cursor;
  GetCursorPos(&cursor);
  const TPoint origin(cursor.x, cursor.y);
  const HWND wnd = WindowHandle();
  const wchar_t* bitmapName = h && v ? L"CX_FULLSCROLLBITMAP" : v ? L"CX_VERSCROLLBITMAP" : L"CX_HORSCROLLBITMAP";
  TcxObjectLink* link = cxCreateObjectLink(this);
  TPanningMarker marker(wnd, origin, bitmapName);
  const TSize screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  TcxDirection direction = dirNone;
  int speed = 1;
  int ticks = 0;
  bool moved = false;
  TPoint last = origin;
  const auto setCursor = [&] {
    const TCursor id = cxPanningCursor(direction, h, v);
    ::SetCursor(Screen ? Screen->Cursors(id) : LoadCursorW(nullptr, IDC_SIZEALL));
  };
  setCursor();
  const UINT_PTR timer = cxCurrentSetTimerProc()(nullptr, 0, kPanningInterval, nullptr);
  FPanningTimerID = timer;
  SetCapture(wnd);
  const auto finish = [&] {
    if (GetCapture() == wnd) ReleaseCapture();
    KillTimer(nullptr, timer);
    if (link->Ref) {
      FIsScrollingContent = false;
      FPanningTimerID = 0;
    }
    cxReleaseObjectLink(link);
  };
  try {
    while (GetCapture() == wnd) {
      MSG msg;
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == -1) break;
      if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (msg.message == WM_PAINT && msg.hwnd == marker.Window()) {
        ValidateRect(marker.Window(), nullptr);
        continue;
      }
      if ((msg.message >= WM_LBUTTONDOWN && msg.message <= WM_MBUTTONDOWN) ||
          (msg.message >= WM_MBUTTONDBLCLK && msg.message <= 526))
        break;
      bool stop = false;
      switch (msg.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
          stop = msg.wParam == VK_ESCAPE;
          break;
        case WM_TIMER:
          if (!msg.hwnd && msg.wParam == timer) {
            ++ticks;
            if (ticks % (kMaxPanningSpeed + 1 - speed) == 0) ScrollContent(speed == 0 ? dirNone : direction);
          }
          break;
        case WM_MOUSEMOVE: {
          POINT p{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
          ::ClientToScreen(msg.hwnd, &p);
          const TPoint sp(p.x, p.y);
          if (sp != last) {
            const TcxPanningStep step = cxPanningStepAt(origin, sp, marker.Width(), h, v, screen);
            direction = step.Direction;
            speed = step.Speed;
            moved = moved || step.Moved;
            setCursor();
            last = sp;
          }
          break;
        }
        case WM_MBUTTONUP:
          stop = moved;
          break;
        default:
          break;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (stop || !link->Ref) break;
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}
