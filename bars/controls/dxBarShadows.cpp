#include "bars/controls/dxBarShadows.h"

#include "bars/controls/dxBarControls.h"
#include "bars/controls/dxBarPainter.h"

#include "bars/model/dxBarDrawing.h"
#include "bars/model/dxBarRoutines.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "platform/gui/Graphics.h"

#include <algorithm>

namespace {
constexpr TdxBarShadowCorner kLeftEnd = TdxBarShadowCorner::scLeft;
constexpr TdxBarShadowCorner kRightEnd = TdxBarShadowCorner::scRight;
constexpr TdxBarShadowCorner kTopEnd = TdxBarShadowCorner::scTop;
}  // namespace

// ---------------------------------------------------------------------------
// The outline as values
// ---------------------------------------------------------------------------

TdxBarShadowOutline dxBarShadowOutline(const TRect& AOwnerRect, const TRect& ABarRect) {
  TdxBarShadowOutline result;
  const TRect& o = AOwnerRect;
  const TRect& b = ABarRect;
  result.R1 = o;
  result.R2 = b;
  const bool ownerless = o.IsEmpty();
  result.Horizontal = ownerless || o.Bottom == b.Top || o.Top == b.Bottom;
  // R1 is the upper (or left) rectangle: an owner below (or right of) the bar comes second.
  if (!ownerless && ((result.Horizontal && o.Top == b.Bottom) || (!result.Horizontal && o.Left == b.Right)))
    std::swap(result.R1, result.R2);
  return result;
}

std::vector<TdxBarShadowPartInfo> dxBarShadowParts(const TdxBarShadowOutline& AOutline, int AShadowSize) {
  std::vector<TdxBarShadowPartInfo> result;
  const int s = AShadowSize;
  const TRect& r1 = AOutline.R1;
  const TRect& r2 = AOutline.R2;
  auto add = [&](int ALeft, int ATop, int ARight, int ABottom, TdxBarShadowPartKind AKind,
                 TdxBarShadowCorners ACorners) {
    const TRect bounds(ALeft, ATop, ARight, ABottom);
    if (!bounds.IsEmpty()) result.push_back({bounds, AKind, ACorners});
  };
  const TdxBarShadowCorners none;
  const TdxBarShadowCorners top{kTopEnd};
  const TdxBarShadowCorners left{kLeftEnd};
  const TdxBarShadowCorners right{kRightEnd};
  const TdxBarShadowCorners both{kLeftEnd, kRightEnd};
  if (AOutline.Horizontal) {
    const bool hasR1 = !r1.IsEmpty();
    if (hasR1) add(r1.Right, r1.Top + s, r1.Right + s, r1.Bottom, spVertical, top);
    add(r2.Left + s, r2.Bottom, r2.Right + s, r2.Bottom + s, spHorizontal, both);
    if (hasR1) {
      // The upper rectangle's bottom edge shows only where it is wider than the lower one.
      if (r1.Left + s < r2.Left) add(r1.Left + s, r1.Bottom, r2.Left, r1.Bottom + s, spHorizontal, left);
      if (r2.Right < r1.Right) add(r2.Right, r1.Bottom, r1.Right + s, r1.Bottom + s, spHorizontal, right);
    }
    if (!hasR1 || r1.Right < r2.Right)
      add(r2.Right, r2.Top + s, r2.Right + s, r2.Bottom, spVertical, top);
    else
      add(r2.Right, r2.Top, r2.Right + s, r2.Bottom, spVertical, none);  // it continues the upper shadow
  } else {
    add(r2.Right, r2.Top + s, r2.Right + s, r2.Bottom, spVertical, top);
    if (r1.Top + s < r2.Top) add(r1.Right, r1.Top + s, r1.Right + s, r2.Top, spVertical, top);
    if (r2.Bottom < r1.Bottom) {
      add(r1.Left + s, r1.Bottom, r1.Right + s, r1.Bottom + s, spHorizontal, both);
      add(r1.Right, r2.Bottom, r1.Right + s, r1.Bottom, spVertical, none);
    } else {
      add(r1.Left + s, r1.Bottom, r1.Right, r1.Bottom + s, spHorizontal, left);
    }
    if (r1.Bottom < r2.Bottom)
      add(r2.Left + s, r2.Bottom, r2.Right + s, r2.Bottom + s, spHorizontal, both);
    else
      add(r2.Left, r2.Bottom, r2.Right + s, r2.Bottom + s, spHorizontal, right);
  }
  return result;
}

bool dxBarShadowPartIsValid(const TdxBarShadowCorners& ACorners, int AWidth, int AHeight, int AShadowSize) {
  return ACorners.Empty() || (AWidth >= AShadowSize && AHeight >= AShadowSize);
}

std::vector<RGBQUAD> dxBarShadowImage(TdxBarShadowPartKind AKind, const TdxBarShadowCorners& ACorners, int AWidth,
                                      int AHeight, int AShadowSize) {
  const int w = std::max(AWidth, 0);
  const int h = std::max(AHeight, 0);
  const int s = AShadowSize;
  // Alpha by (x, y) from the top-left corner; the darkest next to the bar.
  std::vector<int> alpha(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) alpha[size_t(y) * w + x] = AKind == spHorizontal ? 15 * (h - y) : 15 * (w - x);
  auto fade = [&](int AX, int AY, int AStep) {
    if (AX < 0 || AY < 0 || AX >= w || AY >= h) return;
    int& a = alpha[size_t(AY) * w + AX];
    a = MulDiv(a, AStep + 1, s + 1);
  };
  // i runs along the strip from its end, j across it.
  for (int i = 0; i < s; ++i)
    for (int j = 0; j < s; ++j) {
      if (ACorners.Contains(kLeftEnd)) fade(i, j, i);
      if (ACorners.Contains(kRightEnd)) fade(w - 1 - i, j, i);
      if (ACorners.Contains(kTopEnd)) fade(j, i, i);
    }
  std::vector<RGBQUAD> result(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      RGBQUAD& pixel = result[size_t(h - 1 - y) * w + x];
      pixel = RGBQUAD{0, 0, 0, static_cast<BYTE>(alpha[size_t(y) * w + x])};
    }
  return result;
}

// ---------------------------------------------------------------------------
// TdxBarShadow
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TdxBarShadow, TObject, nullptr)

TdxBarShadow::TdxBarShadow(TWinControl* AOwner) : FOwner(AOwner) {}

TdxBarShadow::~TdxBarShadow() { FreeParts(FParts); }

bool TdxBarShadow::Transparent() {
  return dxBarLayeredWindowApi().UpdateLayeredWindow != nullptr && dxBarScreenBitsPerPixel > 8;
}

int TdxBarShadow::ShadowSize() { return Transparent() ? 4 : 2; }

int TdxBarShadow::PartCount() const {
  return static_cast<int>(std::count_if(FParts.begin(), FParts.end(), [](TdxBarShadowPart* p) { return p; }));
}

void TdxBarShadow::SetVisible(bool AValue) {
  if (FVisible == AValue) return;
  FVisible = AValue;
  for (TdxBarShadowPart* part : FParts) {
    if (!part) continue;
    if (AValue)
      part->Show();
    else
      part->Hide();
  }
}

void TdxBarShadow::SetOwnerBounds(const TRect& AOwnerRect, const TRect& ABarRect) {
  const TdxBarShadowOutline outline = dxBarShadowOutline(AOwnerRect, ABarRect);
  FR1 = outline.R1;
  FR2 = outline.R2;
  FHorizontal = outline.Horizontal;
  FStaleBounds = false;
  Refresh();
}

void TdxBarShadow::Refresh() {
  // The new strips show before the old ones go, so that a moving bar never
  // loses its shadow for a moment.
  TParts old = FParts;
  FParts = TParts{};
  try {
    FParts = BuildShadowParts();
  } catch (...) {
    FreeParts(old);
    throw;
  }
  FreeParts(old);
}

void TdxBarShadow::KeepBehindOwner() {
  for (TdxBarShadowPart* part : FParts)
    if (part) part->KeepBehindOwner();
}

TdxBarShadow::TParts TdxBarShadow::BuildShadowParts() {
  TParts parts{};
  TdxBarShadowOutline outline;
  outline.R1 = FR1;
  outline.R2 = FR2;
  outline.Horizontal = FHorizontal;
  size_t next = 0;
  try {
    for (const TdxBarShadowPartInfo& info : dxBarShadowParts(outline, ShadowSize())) {
      if (next == parts.size()) break;
      TdxBarShadowPart* part = Make<TdxBarShadowPart>(this, info.Corners, info.Kind);
      parts[next++] = part;
      part->UpdateBounds(info.Bounds);
    }
  } catch (...) {
    FreeParts(parts);
    throw;
  }
  return parts;
}

void TdxBarShadow::FreeParts(TParts& AParts) {
  for (TdxBarShadowPart*& part : AParts) {
    TObject::Free(part);
    part = nullptr;
  }
}

// ---------------------------------------------------------------------------
// TdxBarShadowPart
// ---------------------------------------------------------------------------

BEGIN_CLASS(TdxBarShadowPart, TCustomControl, nullptr)
  b.Message<&TdxBarShadowPart::WMNCHitTest>(WM_NCHITTEST);
END_CLASS

TdxBarShadowPart::TdxBarShadowPart(TdxBarShadow* AOwner, const TdxBarShadowCorners& ACorners,
                                   TdxBarShadowPartKind AKind)
    : TCustomControl(nullptr), FCorners(ACorners), FKind(AKind), FOwner(AOwner) {
  SetVisible(false);
}

TdxBarShadowPart::~TdxBarShadowPart() {
  if (HandleAllocated()) DestroyHandle();
  TObject::Free(FImage);
}

HWND TdxBarShadowPart::OwnerWindow() const {
  TWinControl* bar = FOwner ? FOwner->Owner() : nullptr;
  return bar ? bar->WindowHandle() : nullptr;
}

bool TdxBarShadowPart::IsValid() const {
  return dxBarShadowPartIsValid(FCorners, Width(), Height(), TdxBarShadow::ShadowSize());
}

void TdxBarShadowPart::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ExStyle = 0;
  // Layered and transparent to the mouse wherever layered windows exist: a
  // click on the shadow reaches the window behind it, also one of another
  // thread or program (the hit-test answer passes a click on only to
  // windows of this thread). A solid strip is a layered window of constant
  // full opacity.
  if (LayeredStrips()) Params.ExStyle |= WS_EX_LAYERED | WS_EX_TRANSPARENT;
  const HWND bar = OwnerWindow();
  if (bar && (GetWindowLongPtrW(bar, GWL_EXSTYLE) & WS_EX_TOPMOST)) Params.ExStyle |= WS_EX_TOPMOST;
  Params.WndParent = bar;
  Params.WindowClass.style = 0;
}

bool TdxBarShadowPart::LayeredStrips() {
  const TdxBarLayeredWindowApi& api = dxBarLayeredWindowApi();
  return TdxBarShadow::Transparent() || api.SetLayeredWindowAttributes != nullptr;
}

void TdxBarShadowPart::WMNCHitTest(TMessage& Message) { Message.Result = HTTRANSPARENT; }

void TdxBarShadowPart::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(clBtnShadow);
  canvas->FillRect(ClientRect());
}

void TdxBarShadowPart::UpdateBounds(const TRect& ARect) {
  SetBounds(ARect.Left, ARect.Top, ARect.Width(), ARect.Height());
  TObject::Free(FImage);
  FImage = nullptr;
  if (IsValid() && TdxBarShadow::Transparent()) {
    FImage = Make<TcxBitmap32>(ARect.Width(), ARect.Height());
    FImage->SetBitmapColors(dxBarShadowImage(FKind, FCorners, ARect.Width(), ARect.Height(), TdxBarShadow::ShadowSize()));
  }
  if (FOwner && FOwner->Visible()) Show();
}

void TdxBarShadowPart::Show() {
  if (!IsValid()) return;
  HandleNeeded();
  const HWND wnd = WindowHandle();
  if (!wnd) return;
  if (TdxBarShadow::Transparent() && FImage) {
    SIZE size{ClientWidth(), ClientHeight()};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    dxBarLayeredWindowApi().UpdateLayeredWindow(wnd, nullptr, nullptr, &size, FImage->Canvas()->Handle(), &source, 0,
                                                &blend, ULW_ALPHA);
    // The pixels stay in memory; the device bitmap is not kept for nothing.
    FImage->Dormant();
  } else if (LayeredStrips()) {
    dxBarLayeredWindowApi().SetLayeredWindowAttributes(wnd, 0, 255, LWA_ALPHA);
  }
  // Placed behind the bar window; the system keeps an owned window above its
  // owner, so the strip ends up right next to it, with nothing between.
  SetWindowPos(wnd, OwnerWindow(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TdxBarShadowPart::Hide() {
  if (!HandleAllocated()) return;
  ShowWindow(WindowHandle(), SW_HIDE);
  DestroyHandle();
}

void TdxBarShadowPart::KeepBehindOwner() {
  if (HandleAllocated() && IsWindowVisible(WindowHandle()))
    SetWindowPos(WindowHandle(), OwnerWindow(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------------------
// The bar window's side: its shadow follows it
// ---------------------------------------------------------------------------

bool TCustomdxBarControl::HasShadow() { return GetPainter()->BarHasShadow(this); }

bool TCustomdxBarControl::IsShadowVisible() { return HasShadow() && IsWindowVisible(); }

void TCustomdxBarControl::UpdateShadowBounds() {
  if (!FShadow) return;
  RECT window{};
  if (HandleAllocated()) GetWindowRect(WindowHandle(), &window);
  FShadow->SetOwnerBounds(GetShadowOwnerBounds(), TRect(window.left, window.top, window.right, window.bottom));
}

void TCustomdxBarControl::RefreshShadow() {
  if (FShadow) FShadow->Refresh();
}

void TCustomdxBarControl::ShadowFollowWindow(UINT ASwpFlags) {
  if (!FShadow) return;
  const bool visible = IsShadowVisible();
  const bool movedOrSized = (ASwpFlags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE);
  // The strips are rebuilt for the new bounds when they show or will show;
  // a bar without a shadow (a docked toolbar) makes none on its moves.
  if (movedOrSized) FShadow->BoundsChanged();
  if (FShadow->HasStaleBounds() && (visible || FShadow->Visible())) UpdateShadowBounds();
  FShadow->SetVisible(visible);
  if (!(ASwpFlags & SWP_NOZORDER)) FShadow->KeepBehindOwner();
}
