#include "platform/gui/Graphics.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/GraphicsInternal.h"

#include <vector>

IMPLEMENT_CLASS(TCanvas, TPersistent, ConstructPlain<TCanvas>)

namespace {
const TCanvasState kAllValid{csHandleValid, csFontValid, csPenValid, csBrushValid};

const POINT* AsPoints(std::span<const TPoint> points) {
  static_assert(sizeof(TPoint) == sizeof(POINT));
  return reinterpret_cast<const POINT*>(points.data());
}

// A work bitmap deleted when the scope ends, also when a step after it raises.
struct TBitmapOfScope {
  HBITMAP Bitmap;
  ~TBitmapOfScope() { GdiDeleteObject(Bitmap); }
};
}  // namespace

TMemoryDC::TMemoryDC(HBITMAP bitmap, HDC compatible) : dc_(GdiCreateCompatibleDC(compatible)) {
  if (!dc_) throw EOutOfResources(L"Out of system resources");
  if (bitmap) old_ = SelectObject(dc_, bitmap);
}

TMemoryDC::~TMemoryDC() {
  if (old_) SelectObject(dc_, old_);
  GdiDeleteDC(dc_);
}

void TransparentStretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy,
                           int sw, int sh, HDC maskDC, int mx, int my) {
  // The source with its transparent pixels made black...
  HBITMAP work = GdiCreateCompatibleBitmap(src, sw, sh);
  if (!work) throw EOutOfResources(L"Out of system resources");
  const TBitmapOfScope deleteWork{work};
  {
    TMemoryDC mem(work);
    SetTextColor(mem.Handle(), RGB(0, 0, 0));
    SetBkColor(mem.Handle(), RGB(255, 255, 255));
    BitBlt(mem.Handle(), 0, 0, sw, sh, maskDC, mx, my, SRCCOPY);
    BitBlt(mem.Handle(), 0, 0, sw, sh, src, sx, sy, SRCERASE);   // src & ~mask
    // ...then the destination cleared where the image is opaque, and the two combined.
    const COLORREF oldText = SetTextColor(dst, RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(dst, RGB(255, 255, 255));
    StretchBlt(dst, x, y, w, h, maskDC, mx, my, sw, sh, SRCAND);
    StretchBlt(dst, x, y, w, h, mem.Handle(), 0, 0, sw, sh, SRCINVERT);
    SetTextColor(dst, oldText);
    SetBkColor(dst, oldBack);
  }
}

TCanvas::TCanvas() {
  InitializeCriticalSection(&lock_);
  font_ = Make<TFont>();
  font_->OnChange = TNotifyEvent::Bind<&TCanvas::FontChanged>(this);
  pen_ = Make<TPen>();
  pen_->OnChange = TNotifyEvent::Bind<&TCanvas::PenChanged>(this);
  brush_ = Make<TBrush>();
  brush_->OnChange = TNotifyEvent::Bind<&TCanvas::BrushChanged>(this);
}

TCanvas::~TCanvas() {
  SetHandle(nullptr);
  TObject::Free(font_);
  TObject::Free(pen_);
  TObject::Free(brush_);
  DeleteCriticalSection(&lock_);
}

// ---- Handle and the selected objects ----------------------------------------

HDC TCanvas::Handle() {
  Changing();
  RequiredState(kAllValid);
  return handle_;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == handle_) return;
  if (handle_) {
    DeselectHandles();
    POINT p;
    if (GetCurrentPositionEx(handle_, &p)) penPos_ = {p.x, p.y};
    handle_ = nullptr;
    state_ -= csHandleValid;
  }
  if (dc) {
    handle_ = dc;
    state_ = {csHandleValid};
    MoveToEx(dc, penPos_.X, penPos_.Y, nullptr);
  }
}

void TCanvas::RequiredState(TCanvasState required) {
  const TCanvasState needed = required - state_;
  if (needed.Empty()) return;
  if (needed.Contains(csHandleValid)) {
    CreateHandle();
    if (!handle_) throw EInvalidOperation(L"Canvas does not allow drawing");
    state_ += csHandleValid;
  }
  // Each object counts as selected as soon as it is: when making a later one
  // raises, a change to an earlier one must still take it out of the DC
  // before its handle goes.
  if (needed.Contains(csFontValid)) {
    SelectFont();
    state_ += csFontValid;
  }
  if (needed.Contains(csPenValid)) {
    SelectPen();
    state_ += csPenValid;
  }
  if (needed.Contains(csBrushValid)) {
    SelectBrush();
    state_ += csBrushValid;
  }
}

void TCanvas::SelectFont() {
  HGDIOBJ prev = SelectObject(handle_, font_->Handle());
  if (!oldFont_) oldFont_ = prev;
  SetTextColor(handle_, static_cast<COLORREF>(ColorToRGB(font_->Color())));
}

void TCanvas::SelectPen() {
  static const int kRop2[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN,
                              R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN,
                              R2_MERGEPEN, R2_NOTMERGEPEN, R2_MASKPEN, R2_NOTMASKPEN,
                              R2_XORPEN, R2_NOTXORPEN};
  HGDIOBJ prev = SelectObject(handle_, pen_->Handle());
  if (!oldPen_) oldPen_ = prev;
  const TPenMode mode = pen_->Mode();
  SetROP2(handle_, mode >= pmBlack && mode <= pmNotXor ? kRop2[mode] : R2_COPYPEN);
}

void TCanvas::SelectBrush() {
  HBRUSH brush = brush_->Handle();
  UnrealizeObject(brush);
  HGDIOBJ prev = SelectObject(handle_, brush);
  if (!oldBrush_) oldBrush_ = prev;
  SetBkColor(handle_, static_cast<COLORREF>(ColorToRGB(brush_->Color())));
  SetBkMode(handle_, brush_->Style() == bsSolid ? OPAQUE : TRANSPARENT);
}

void TCanvas::DeselectHandles() {
  if (!handle_) return;
  if (oldFont_) SelectObject(handle_, oldFont_);
  if (oldPen_) SelectObject(handle_, oldPen_);
  if (oldBrush_) SelectObject(handle_, oldBrush_);
  oldFont_ = oldPen_ = oldBrush_ = nullptr;
  state_ -= TCanvasState{csFontValid, csPenValid, csBrushValid};
}

void TCanvas::FontChanged(TObject*) {
  if (!state_.Contains(csFontValid)) return;
  // Put the DC's own font back now: the old handle may be deleted right after.
  state_ -= csFontValid;
  SelectObject(handle_, oldFont_);
  oldFont_ = nullptr;
}

void TCanvas::PenChanged(TObject*) {
  if (!state_.Contains(csPenValid)) return;
  state_ -= csPenValid;
  SelectObject(handle_, oldPen_);
  oldPen_ = nullptr;
}

void TCanvas::BrushChanged(TObject*) {
  if (!state_.Contains(csBrushValid)) return;
  state_ -= csBrushValid;
  SelectObject(handle_, oldBrush_);
  oldBrush_ = nullptr;
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::SetFont(TFont* value) { font_->Assign(value); }
void TCanvas::SetPen(TPen* value) { pen_->Assign(value); }
void TCanvas::SetBrush(TBrush* value) { brush_->Assign(value); }

void TCanvas::Changed() {
  if (OnChange.Assigned()) OnChange(this);
}

void TCanvas::Changing() {
  if (OnChanging.Assigned()) OnChanging(this);
}

// ---- Locking ------------------------------------------------------------------

void TCanvas::Lock() {
  EnterCriticalSection(&lock_);
  ++lockCount_;
}

void TCanvas::Unlock() {
  --lockCount_;
  LeaveCriticalSection(&lock_);
}

bool TCanvas::TryLock() {
  if (!TryEnterCriticalSection(&lock_)) return false;
  ++lockCount_;
  return true;
}

// ---- Queries ------------------------------------------------------------------

TRect TCanvas::ClipRect() {
  RequiredState({csHandleValid});
  RECT r{};
  GetClipBox(handle_, &r);
  return {r.left, r.top, r.right, r.bottom};
}

TPoint TCanvas::PenPos() {
  if (!handle_) return penPos_;
  POINT p{};
  GetCurrentPositionEx(handle_, &p);
  return {p.x, p.y};
}

TColor TCanvas::GetPixel(int x, int y) {
  RequiredState({csHandleValid});
  return static_cast<TColor>(::GetPixel(handle_, x, y));
}

TSize TCanvas::TextExtent(const String& text) {
  RequiredState({csHandleValid, csFontValid});
  SIZE s{};
  GetTextExtentPoint32W(handle_, text.c_str(), static_cast<int>(text.size()), &s);
  return {s.cx, s.cy};
}

// ---- Drawing ------------------------------------------------------------------

void TCanvas::SetPixel(int x, int y, TColor color) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  ::SetPixel(handle_, x, y, static_cast<COLORREF>(ColorToRGB(color)));
  Changed();
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  ::Arc(handle_, x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Pie(handle_, x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Ellipse(handle_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Rectangle(handle_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::RoundRect(handle_, x1, y1, x2, y2, x3, y3);
  Changed();
}

void TCanvas::FillRect(const TRect& rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::FillRect(handle_, &r, brush_->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::FrameRect(handle_, &r, brush_->Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::DrawFocusRect(handle_, &r);
  Changed();
}

void TCanvas::MoveTo(int x, int y) {
  RequiredState({csHandleValid});
  MoveToEx(handle_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::LineTo(handle_, x, y);
  Changed();
}

void TCanvas::Polygon(std::span<const TPoint> points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polygon(handle_, AsPoints(points), static_cast<int>(points.size()));
  Changed();
}

void TCanvas::Polyline(std::span<const TPoint> points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polyline(handle_, AsPoints(points), static_cast<int>(points.size()));
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  canvas->RequiredState({csHandleValid, csBrushValid});
  StretchBlt(handle_, dest.Left, dest.Top, dest.Width(), dest.Height(), canvas->handle_,
             source.Left, source.Top, source.Width(), source.Height(), copyMode_);
  Changed();
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor color) {
  if (!bitmap || bitmap->Empty() || dest.IsEmpty() || source.IsEmpty()) return;
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  TCanvas* from = bitmap->Canvas();
  from->RequiredState({csHandleValid});
  const int sw = source.Width(), sh = source.Height();
  const int dw = dest.Width(), dh = dest.Height();

  // Mask: white where the source has `color`.
  const TBitmapOfScope mask{GdiCreateBitmap(sw, sh, 1, 1, nullptr)};
  const TBitmapOfScope work{mask.Bitmap ? GdiCreateCompatibleBitmap(handle_, dw, dh) : nullptr};
  if (!work.Bitmap) throw EOutOfResources(L"Out of system resources");
  {
    HBRUSH brush = brush_->Handle();
    TMemoryDC maskDC(mask.Bitmap);
    const COLORREF oldBack = SetBkColor(from->handle_, static_cast<COLORREF>(ColorToRGB(color)));
    BitBlt(maskDC.Handle(), 0, 0, sw, sh, from->handle_, source.Left, source.Top, SRCCOPY);
    SetBkColor(from->handle_, oldBack);

    TMemoryDC workDC(work.Bitmap, handle_);
    SetStretchBltMode(workDC.Handle(), COLORONCOLOR);
    StretchBlt(workDC.Handle(), 0, 0, dw, dh, from->handle_, source.Left, source.Top, sw, sh, SRCCOPY);
    SetTextColor(workDC.Handle(), RGB(0, 0, 0));
    SetBkColor(workDC.Handle(), RGB(255, 255, 255));
    // Clear the masked pixels (D & ~S), then paint the brush into them (D | (P & S)).
    StretchBlt(workDC.Handle(), 0, 0, dw, dh, maskDC.Handle(), 0, 0, sw, sh, 0x00220326);
    HGDIOBJ oldBrush = SelectObject(workDC.Handle(), brush);
    SetBrushOrgEx(workDC.Handle(), -dest.Left, -dest.Top, nullptr);
    StretchBlt(workDC.Handle(), 0, 0, dw, dh, maskDC.Handle(), 0, 0, sw, sh, 0x00EA02E9);
    SelectObject(workDC.Handle(), oldBrush);
    BitBlt(handle_, dest.Left, dest.Top, dw, dh, workDC.Handle(), 0, 0, SRCCOPY);
  }
  Changed();
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  // A monochrome image takes the canvas colours.
  SetBkColor(handle_, static_cast<COLORREF>(ColorToRGB(brush_->Color())));
  SetTextColor(handle_, static_cast<COLORREF>(ColorToRGB(font_->Color())));
  graphic->Draw(this, Bounds(x, y, graphic->Width(), graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState(kAllValid);
  graphic->Draw(this, rect);
  Changed();
}

void TCanvas::TextOut(int x, int y, const String& text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  ExtTextOutW(handle_, x, y, static_cast<UINT>(textFlags_), nullptr, text.c_str(),
              static_cast<UINT>(text.size()), nullptr);
  MoveTo(x + TextWidth(text), y);
  Changed();
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const String& text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  UINT options = ETO_CLIPPED | static_cast<UINT>(textFlags_);
  if (brush_->Style() != bsClear) options |= ETO_OPAQUE;
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ExtTextOutW(handle_, x, y, options, &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
  Changed();
}

void TCanvas::TextRect(TRect& rect, String& text, TTextFormat format) {
  static const UINT kFlags[] = {
      DT_BOTTOM, DT_CALCRECT, DT_CENTER, DT_EDITCONTROL, DT_END_ELLIPSIS, DT_PATH_ELLIPSIS,
      DT_EXPANDTABS, DT_EXTERNALLEADING, DT_LEFT, DT_MODIFYSTRING, DT_NOCLIP, DT_NOPREFIX,
      DT_RIGHT, DT_RTLREADING, DT_SINGLELINE, DT_TOP, DT_VCENTER, DT_WORDBREAK,
      DT_HIDEPREFIX, DT_NOFULLWIDTHCHARBREAK, DT_PREFIXONLY, DT_TABSTOP, DT_WORD_ELLIPSIS};
  UINT flags = 0;
  for (int i = tfBottom; i <= tfWordEllipsis; ++i)
    if (format.Contains(static_cast<TTextFormats>(i))) flags |= kFlags[i];
  const bool calcOnly = format.Contains(tfCalcRect);
  if (!calcOnly) Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  // DT_MODIFYSTRING writes the ellipsis into the buffer: give it room for it.
  std::vector<Char> buffer(text.begin(), text.end());
  buffer.resize(text.size() + 5, 0);
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  const int oldMode = brush_->Style() == bsClear ? SetBkMode(handle_, TRANSPARENT) : 0;
  DrawTextExW(handle_, buffer.data(), static_cast<int>(text.size()), &r, flags, nullptr);
  if (oldMode) SetBkMode(handle_, oldMode);
  if (format.Contains(tfModifyString)) text = buffer.data();
  if (calcOnly) rect = {r.left, r.top, r.right, r.bottom};
  else Changed();
}
