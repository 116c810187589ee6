// Painting of the controls: the window's paint and erase handling, the
// windowless children painted by their parent, double buffering, PaintTo,
// the control canvas and its DC cache, TCustomControl and TGraphicControl.
#include "platform/gui/Controls.h"

#include "platform/gui/ControlsInternal.h"
#include "platform/gui/GdiAccounting.h"

#include <algorithm>

using namespace controlsdetail;

// ---------------------------------------------------------------------------
// The DCs held by control canvases
// ---------------------------------------------------------------------------

namespace {

// Runs `paint` with `canvas` drawing on `dc`; the canvas lets the DC go
// afterwards unless painting destroyed the control (and the canvas with it).
template <class F>
void PaintThroughCanvas(TControl* control, TCanvas* canvas, HDC dc, F&& paint) {
  canvas->Lock();
  canvas->SetHandle(dc);
  TControlGuard guard(control);
  try {
    paint();
  } catch (...) {
    if (guard.Alive()) {
      canvas->SetHandle(nullptr);
      canvas->Unlock();
    }
    throw;
  }
  if (guard.Alive()) {
    canvas->SetHandle(nullptr);
    canvas->Unlock();
  }
}

struct HeldDC {
  TControlCanvas* canvas;
  HWND window;
};

// Oldest first. A window DC from GetDC is a shared resource of the system:
// only a few are kept between paints.
std::vector<HeldDC>& HeldDCs() {
  static std::vector<HeldDC> list;
  return list;
}

constexpr size_t kHeldDCLimit = 4;

// Saves the DC state for a scope.
class TSavedDC {
 public:
  explicit TSavedDC(HDC dc) : dc_(dc), index_(SaveDC(dc)) {}
  ~TSavedDC() { RestoreDC(dc_, index_); }
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;

 private:
  HDC dc_;
  int index_;
};

void MoveWindowOrg(HDC dc, int dx, int dy) {
  POINT p;
  GetWindowOrgEx(dc, &p);
  SetWindowOrgEx(dc, p.x - dx, p.y - dy, nullptr);
}

}  // namespace

namespace controlsdetail {

void FreeWindowDeviceContexts(HWND wnd) {
  if (!wnd) return;
  std::vector<TControlCanvas*> victims;
  for (const HeldDC& h : HeldDCs())
    if (h.window == wnd) victims.push_back(h.canvas);
  for (TControlCanvas* c : victims) c->FreeHandle();
}

}  // namespace controlsdetail

void FreeDeviceContexts() {
  std::vector<TControlCanvas*> victims;
  for (const HeldDC& h : HeldDCs())
    if (h.canvas->LockCount() == 0) victims.push_back(h.canvas);
  for (TControlCanvas* c : victims) c->FreeHandle();
}

// ---------------------------------------------------------------------------
// TControlCanvas
// ---------------------------------------------------------------------------

TControlCanvas::TControlCanvas() = default;

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* value) {
  if (control_ == value) return;
  FreeHandle();
  control_ = value;
}

void TControlCanvas::FreeHandle() {
  if (!deviceContext_) return;
  if (CurrentHandle() == deviceContext_) SetHandle(nullptr);
  ReleaseDC(windowHandle_, deviceContext_);
  auto& list = HeldDCs();
  std::erase_if(list, [this](const HeldDC& h) { return h.canvas == this; });
  deviceContext_ = nullptr;
  windowHandle_ = nullptr;
}

void TControlCanvas::CreateHandle() {
  if (!control_) {
    TCanvas::CreateHandle();
    return;
  }
  if (!deviceContext_) {
    auto& list = HeldDCs();
    if (list.size() >= kHeldDCLimit) {
      auto it = std::find_if(list.begin(), list.end(), [](const HeldDC& h) { return h.canvas->LockCount() == 0; });
      if (it != list.end()) it->canvas->FreeHandle();
    }
    HWND wnd = nullptr;
    deviceContext_ = control_->GetDeviceContext(wnd);
    windowHandle_ = wnd;
    list.push_back({this, wnd});
  }
  SetHandle(deviceContext_);
  UpdateOrigin();
}

void TControlCanvas::UpdateOrigin() {
  if (!control_ || !CurrentHandle()) return;
  const TPoint p = control_->ClientOrigin();
  SetBrushOrgEx(CurrentHandle(), p.X, p.Y, nullptr);
}

void TControlCanvas::UpdateTextFlags() {
  if (!control_) return;
  if (control_->UseRightToLeftReading())
    SetTextFlags(TextFlags() | ETO_RTLREADING);
  else
    SetTextFlags(TextFlags() & ~ETO_RTLREADING);
}

IMPLEMENT_CLASS(TControlCanvas, TCanvas, (ConstructPlain<TControlCanvas>))

// ---------------------------------------------------------------------------
// TWinControl painting
// ---------------------------------------------------------------------------

void TWinControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::PaintWindow(HDC DC) {
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(&m);
}

void TWinControl::PaintHandler(TWMPaint& Message) {
  PAINTSTRUCT ps{};
  HDC dc = Message.DC;
  const bool own = dc == nullptr;
  if (own) dc = BeginPaint(handle_, &ps);
  TControlGuard guard(this);
  try {
    if (controls_.empty()) {
      PaintWindow(dc);
    } else {
      // Opaque windowless children cover the window: leave their area out.
      TSavedDC saved(dc);
      int clip = SIMPLEREGION;
      for (TControl* c : controls_) {
        if (c->Visible() && c->ControlStyle().Contains(csOpaque)) {
          clip = ExcludeClipRect(dc, c->Left(), c->Top(), c->Left() + c->Width(),
                                 c->Top() + c->Height());
          if (clip == NULLREGION) break;
        }
      }
      if (clip != NULLREGION) PaintWindow(dc);
    }
    if (guard.Alive()) PaintControls(dc, nullptr);
  } catch (...) {
    if (own && guard.Alive()) EndPaint(handle_, &ps);
    throw;
  }
  if (own && guard.Alive()) EndPaint(handle_, &ps);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  size_t i = 0;
  if (First) {
    auto it = std::find(controls_.begin(), controls_.end(), First);
    if (it != controls_.end()) i = static_cast<size_t>(it - controls_.begin());
  }
  TControlGuard guard(this);
  for (; i < controls_.size(); ++i) {
    TControl* c = controls_[i];
    const RECT r{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
    if (!c->Visible() || !RectVisible(DC, &r)) continue;
    const bool copy = controlState_.Contains(csPaintCopy);
    if (copy) c->controlState_ += csPaintCopy;
    {
      TSavedDC saved(DC);
      MoveWindowOrg(DC, c->Left(), c->Top());
      IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
      TControlGuard childGuard(c);
      c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
      if (!guard.Alive()) return;
      if (childGuard.Alive()) c->controlState_ -= csPaintCopy;
    }
  }
}

void TWinControl::WMPaint(TWMPaint& Message) {
  if (!doubleBuffered_ || Message.DC) {
    if (!controlState_.Contains(csCustomPaint) && controls_.empty())
      DispatchInherited(TWinControl::StaticClass(), &Message);
    else
      PaintHandler(Message);
    return;
  }
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(handle_, &ps);
  const TRect cr = ClientRect();
  HDC memDC = GdiCreateCompatibleDC(dc);
  HBITMAP bitmap = GdiCreateCompatibleBitmap(dc, std::max(1, cr.Right), std::max(1, cr.Bottom));
  HGDIOBJ old = SelectObject(memDC, bitmap);
  TControlGuard guard(this);
  auto cleanup = [&] {
    SelectObject(memDC, old);
    GdiDeleteObject(bitmap);
    GdiDeleteDC(memDC);
  };
  try {
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memDC), reinterpret_cast<LPARAM>(memDC));
    if (guard.Alive()) {
      Message.DC = memDC;
      WMPaint(Message);
      Message.DC = nullptr;
    }
    if (guard.Alive()) {
      BitBlt(dc, 0, 0, cr.Right, cr.Bottom, memDC, 0, 0, SRCCOPY);
      EndPaint(handle_, &ps);
    }
  } catch (...) {
    if (guard.Alive()) EndPaint(handle_, &ps);
    cleanup();
    throw;
  }
  cleanup();
}

void TWinControl::DrawParentBackground(HDC DC) {
  if (!parent_ || !parent_->HandleAllocated() || !handle_) {
    const TRect r = ClientRect();
    const RECT rr{r.Left, r.Top, r.Right, r.Bottom};
    FillRect(DC, &rr, brush_->Handle());
    return;
  }
  POINT origin{0, 0};
  MapWindowPoints(handle_, parent_->WindowHandle(), &origin, 1);
  const TRect r = ClientRect();
  TSavedDC saved(DC);
  IntersectClipRect(DC, 0, 0, r.Right, r.Bottom);
  POINT old;
  OffsetViewportOrgEx(DC, -origin.x, -origin.y, &old);
  // As the theme library does it: the parent erases and paints its client
  // area into our DC, moved so that our part lands on us.
  parent_->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
  parent_->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT);
}

void TWinControl::WMEraseBkgnd(TWMEraseBkgnd& Message) {
  const auto& m = reinterpret_cast<TMessage&>(Message);
  if (parent_ && controlStyle_.Contains(csParentBackground)) {
    DrawParentBackground(Message.DC);
  } else if (!doubleBuffered_ || m.WParam == static_cast<WPARAM>(m.LParam)) {
    const TRect r = ClientRect();
    const RECT rr{r.Left, r.Top, r.Right, r.Bottom};
    FillRect(Message.DC, &rr, brush_->Handle());
  }
  Message.Result = 1;
}

void TWinControl::WMPrintClient(TWMPrint& Message) {
  if (Message.Result != 1 && ((Message.Flags & PRF_CHECKVISIBLE) == 0 || Visible())) {
    TWMPaint paint{WM_PAINT, Message.DC, 0, 0};
    controlState_ += csPrintClient;
    TControlGuard guard(this);
    try {
      PaintHandler(paint);
    } catch (...) {
      if (guard.Alive()) controlState_ -= csPrintClient;
      throw;
    }
    if (guard.Alive()) controlState_ -= csPrintClient;
    Message.Result = 1;
    return;
  }
  DispatchInherited(TWinControl::StaticClass(), &Message);
}

void TWinControl::WMNCPaint(TMessage& Message) {
  DispatchInherited(TWinControl::StaticClass(), &Message);
  if (borderWidth_ <= 0 || !handle_) return;
  // The border area between the frame and the client area takes the brush.
  HDC dc = GetWindowDC(handle_);
  RECT wr, cr;
  GetWindowRect(handle_, &wr);
  ::GetClientRect(handle_, &cr);
  MapWindowPoints(handle_, nullptr, reinterpret_cast<POINT*>(&cr), 2);
  OffsetRect(&cr, -wr.left, -wr.top);
  RECT outer = cr;
  InflateRect(&outer, borderWidth_, borderWidth_);
  ExcludeClipRect(dc, cr.left, cr.top, cr.right, cr.bottom);
  FillRect(dc, &outer, brush_->Handle());
  ReleaseDC(handle_, dc);
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
  controlState_ += csPaintCopy;
  TControlGuard guard(this);
  try {
    TSavedDC saved(DC);
    MoveWindowOrg(DC, X, Y);
    IntersectClipRect(DC, 0, 0, width_, height_);
    // The frame of the window, then its client area where the client area lies.
    TPoint clientOffset{0, 0};
    if (HandleAllocated()) {
      RECT wr;
      GetWindowRect(handle_, &wr);
      POINT p{0, 0};
      ::ClientToScreen(handle_, &p);
      clientOffset = {p.x - wr.left, p.y - wr.top};
      if (clientOffset.X || clientOffset.Y)
        CallWindowProcW(defWndProc_ ? defWndProc_ : DefWindowProcW, handle_, WM_PRINT,
                        reinterpret_cast<WPARAM>(DC), PRF_NONCLIENT);
    }
    MoveWindowOrg(DC, clientOffset.X, clientOffset.Y);
    const TRect cr = ClientRect();
    IntersectClipRect(DC, 0, 0, cr.Right, cr.Bottom);
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
    if (guard.Alive()) Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    if (guard.Alive()) {
      const std::vector<TWinControl*> children = winControls_;
      for (TWinControl* w : children)
        if (w->Visible()) w->PaintTo(DC, w->Left(), w->Top());
    }
  } catch (...) {
    if (guard.Alive()) controlState_ -= csPaintCopy;
    throw;
  }
  if (guard.Alive()) controlState_ -= csPaintCopy;
}

// ---------------------------------------------------------------------------
// TCustomControl
// ---------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
  auto* canvas = Make<TControlCanvas>();
  canvas->SetControl(this);
  canvas_ = canvas;
}

TCustomControl::~TCustomControl() { TObject::Free(canvas_); }

void TCustomControl::WMPaint(TWMPaint& Message) {
  controlState_ += csCustomPaint;
  TControlGuard guard(this);
  try {
    DispatchInherited(TCustomControl::StaticClass(), &Message);
  } catch (...) {
    if (guard.Alive()) controlState_ -= csCustomPaint;
    throw;
  }
  if (guard.Alive()) controlState_ -= csCustomPaint;
}

void TCustomControl::PaintWindow(HDC DC) {
  PaintThroughCanvas(this, canvas_, DC, [this] {
    static_cast<TControlCanvas*>(canvas_)->UpdateTextFlags();
    Paint();
  });
}

BEGIN_CLASS(TCustomControl, TWinControl, nullptr)
  b.Message<&TCustomControl::WMPaint>(WM_PAINT);
END_CLASS

// ---------------------------------------------------------------------------
// TGraphicControl
// ---------------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
  auto* canvas = Make<TControlCanvas>();
  canvas->SetControl(this);
  canvas_ = canvas;
}

TGraphicControl::~TGraphicControl() {
  if (State().captureControl == this) SetCaptureControl(nullptr);
  TObject::Free(canvas_);
}

void TGraphicControl::WMPaint(TWMPaint& Message) {
  if (!Message.DC) return;
  PaintThroughCanvas(this, canvas_, Message.DC, [this] { Paint(); });
}

BEGIN_CLASS(TGraphicControl, TControl, nullptr)
  b.Message<&TGraphicControl::WMPaint>(WM_PAINT);
END_CLASS
