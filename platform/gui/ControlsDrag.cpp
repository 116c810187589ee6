// Drag and drop between controls: the drag objects, the drag loop driven by
// a hidden capture window, and the CM_DRAG protocol with the targets.
#include "platform/gui/Controls.h"

#include "platform/gui/ControlsInternal.h"
#include "platform/gui/ImgList.h"

#include <cstdlib>

#include <windowsx.h>

using namespace controlsdetail;

namespace {

constexpr const Char* kCaptureClass = L"PlatformDragCapture";

struct DragState {
  TDragObject* object = nullptr;
  TControl* control = nullptr;     // the dragged control (BeginDrag)
  bool autoFree = false;
  HWND capture = nullptr;
  TPoint startPos;
  int threshold = 5;
  bool active = false;             // the mouse left the threshold
  bool lastAccepted = false;
  bool releasing = false;          // our own ReleaseCapture
  bool imageShown = false;
  HCURSOR saveCursor = nullptr;
  bool classRegistered = false;
};

DragState& Drag() {
  static DragState s;
  return s;
}

HCURSOR DragCursorHandle(TCursor cursor) {
  if (ControlsHooks().CursorHandle) return ControlsHooks().CursorHandle(cursor);
  switch (cursor) {
    case crNoDrop:
    case crNo: return LoadCursorW(nullptr, IDC_NO);
    case crNone: return nullptr;
    case crDefault:
    case crArrow: return LoadCursorW(nullptr, IDC_ARROW);
    default: return LoadCursorW(nullptr, IDC_ARROW);
  }
}

void DragDone(bool drop);
void DragTo(TPoint pos);

LRESULT CALLBACK CaptureWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  DragState& d = Drag();
  if (d.object && wnd == d.capture) {
    TMessage m{msg, wParam, lParam, 0};
    GuardCallback([&] { d.object->WndProc(m); });
    return m.Result;
  }
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

HWND CreateCaptureWindow() {
  DragState& d = Drag();
  HINSTANCE inst = GetModuleHandleW(nullptr);
  if (!d.classRegistered) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = CaptureWndProc;
    wc.hInstance = inst;
    wc.lpszClassName = kCaptureClass;
    if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) RaiseLastOSError();
    d.classRegistered = true;
  }
  HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, kCaptureClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, inst,
                           nullptr);
  if (!w) RaiseLastOSError();
  return w;
}

void DestroyCaptureWindow() {
  DragState& d = Drag();
  if (!d.capture) return;
  HWND w = d.capture;
  d.releasing = true;
  if (GetCapture() == w) ReleaseCapture();
  d.releasing = false;
  d.capture = nullptr;
  DestroyWindow(w);
}

LRESULT DragMessage(TControl* target, TDragMessage msg, TPoint pos) {
  DragState& d = Drag();
  TDragRec rec;
  rec.Pos = pos;
  rec.Source = d.object;
  rec.Target = target;
  return target->Perform(CM_DRAG, static_cast<WPARAM>(msg), reinterpret_cast<LPARAM>(&rec));
}

TPoint TargetPos(TControl* target, TPoint screen) {
  try {
    return target->ScreenToClient(screen);
  } catch (const Exception&) {
    return screen;
  }
}

void DragTo(TPoint pos) {
  DragState& d = Drag();
  if (!d.object) return;
  if (!d.active) {
    if (std::abs(d.startPos.X - pos.X) < d.threshold && std::abs(d.startPos.Y - pos.Y) < d.threshold) return;
    d.active = true;
    if (TDragImageList* images = d.object->GetDragImages()) {
      images->BeginDrag(GetDesktopWindow(), pos.X, pos.Y);
      d.imageShown = true;
    }
  }
  TDragObject* obj = d.object;
  TControl* target = FindDragTarget(pos, false);
  if (target != obj->DragTarget) {
    if (TControl* old = obj->DragTarget) {
      obj->DragTarget = nullptr;
      DragMessage(old, dmDragLeave, pos);
      if (d.object != obj) return;
    }
    obj->DragTarget = target;
    obj->DragPos = pos;
    if (target) {
      obj->DragTargetPos = TargetPos(target, pos);
      DragMessage(target, dmDragEnter, pos);
      if (d.object != obj) return;
    }
  }
  obj->DragPos = pos;
  target = obj->DragTarget;
  bool accepted = false;
  if (target) {
    obj->DragTargetPos = TargetPos(target, pos);
    accepted = DragMessage(target, dmDragMove, pos) != 0;
    if (d.object != obj) return;
  }
  d.lastAccepted = accepted;
  if (TDragImageList* images = obj->GetDragImages(); images && d.imageShown) images->DragMove(pos.X, pos.Y);
  ::SetCursor(DragCursorHandle(obj->GetDragCursor(accepted, pos.X, pos.Y)));
}

// Ends the drag. Without `notify` (shutdown, the dragged control dies) the
// controls hear nothing.
void FinishDrag(bool drop, bool notify) {
  DragState& d = Drag();
  TDragObject* obj = d.object;
  if (!obj || obj->Cancelling) return;
  obj->Cancelling = true;
  obj->Dropped = drop;
  const bool autoFree = d.autoFree;
  DestroyCaptureWindow();
  if (d.imageShown) {
    if (TDragImageList* images = obj->GetDragImages()) images->EndDrag();
    d.imageShown = false;
  }
  if (d.saveCursor) ::SetCursor(d.saveCursor);
  TControl* target = obj->DragTarget;
  const TPoint pos = obj->DragPos;
  bool accepted = false;
  TPoint targetPos{0, 0};
  if (notify && target && d.active) {
    // The target's last word (dsDragLeave) decides whether it takes the drop.
    targetPos = TargetPos(target, pos);
    accepted = DragMessage(target, dmDragLeave, pos) != 0 && drop;
    if (accepted && d.object == obj) DragMessage(target, dmDragDrop, pos);
  }
  d.object = nullptr;
  d.control = nullptr;
  d.active = false;
  d.autoFree = false;
  if (notify) {
    try {
      if (!accepted) targetPos = {0, 0};
      obj->Finished(accepted ? target : nullptr, targetPos.X, targetPos.Y, accepted);
    } catch (...) {
      if (autoFree) TObject::Free(obj);
      throw;
    }
  }
  if (autoFree) TObject::Free(obj);
}

void DragDone(bool drop) { FinishDrag(drop, true); }

void DragInit(TDragObject* obj, bool immediate, int threshold) {
  DragState& d = Drag();
  d.object = obj;
  obj->DragTarget = nullptr;
  obj->Cancelling = false;
  obj->Dropped = false;
  POINT p;
  GetCursorPos(&p);
  d.startPos = {p.x, p.y};
  obj->DragPos = d.startPos;
  d.saveCursor = ::GetCursor();
  d.threshold = std::max(0, threshold);
  d.active = false;
  d.lastAccepted = false;
  d.capture = CreateCaptureWindow();
  obj->DragHandle = d.capture;
  SetCapture(d.capture);
  if (immediate) {
    d.active = true;
    if (TDragImageList* images = obj->GetDragImages()) {
      images->BeginDrag(GetDesktopWindow(), d.startPos.X, d.startPos.Y);
      d.imageShown = true;
    }
    DragTo(d.startPos);
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Module routines
// ---------------------------------------------------------------------------

TDragObject* DragObject() { return Drag().object; }

void CancelDrag() {
  DragState& d = Drag();
  if (d.object)
    DragDone(false);
  d.control = nullptr;
}

TControl* FindDragTarget(TPoint Pos, bool AllowDisabled) {
  HWND w = WindowFromPoint({Pos.X, Pos.Y});
  TWinControl* c = nullptr;
  while (w && !(c = FindControl(w))) w = GetParent(w);
  if (!c) return nullptr;
  if (TControl* inner = c->ControlAtPos(c->ScreenToClient(Pos), AllowDisabled)) return inner;
  return c;
}

namespace controlsdetail {

void DoDragMsg(TControl* control, TCMDrag& message) {
  TDragRec* rec = message.DragRec;
  if (!rec || !rec->Source) return;
  TObject* source = rec->Source;
  if (auto* co = dynamic_cast<TDragControlObject*>(rec->Source)) source = co->Control();
  const TPoint p = TargetPos(control, rec->Pos);
  switch (message.DragMessage) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
      const TDragState state = message.DragMessage == dmDragEnter   ? dsDragEnter
                               : message.DragMessage == dmDragLeave ? dsDragLeave
                                                                     : dsDragMove;
      bool accept = true;
      control->DragOver(source, p.X, p.Y, state, accept);
      message.Result = accept ? 1 : 0;
      break;
    }
    case dmDragDrop:
      control->DragDrop(source, p.X, p.Y);
      break;
    case dmFindTarget:
      message.Result = reinterpret_cast<LRESULT>(control);
      break;
    default:
      break;
  }
}

void DragControlDestroying(TControl* control) {
  DragState& d = Drag();
  if (!d.object) return;
  if (d.object->DragTarget == control) d.object->DragTarget = nullptr;
  if (d.control == control) FinishDrag(false, false);
  else if (auto* co = dynamic_cast<TBaseDragControlObject*>(d.object); co && co->Control() == control)
    co->SetControl(nullptr);
}

void DragFinalize() {
  DragState& d = Drag();
  FinishDrag(false, false);
  if (d.classRegistered) {
    UnregisterClassW(kCaptureClass, GetModuleHandleW(nullptr));
    d.classRegistered = false;
  }
}

}  // namespace controlsdetail

// ---------------------------------------------------------------------------
// TControl's part
// ---------------------------------------------------------------------------

void TControl::CMDrag(TCMDrag& Message) { DoDragMsg(this, Message); }

void TControl::BeginDrag(bool Immediate, int Threshold) {
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->IsForm() && dragKind_ != dkDock)
    throw EInvalidOperation(L"Cannot drag a form");
  DragState& d = Drag();
  if (d.object || d.control) return;
  if (Threshold < 0) Threshold = ControlsHooks().DragThreshold;
  d.control = this;
  TControlGuard guard(this);
  TDragObject* obj = nullptr;
  DoStartDrag(obj);
  if (!guard.Alive() || d.control != this) {   // CancelDrag from OnStartDrag
    if (d.control == this) d.control = nullptr;
    return;
  }
  d.autoFree = false;
  if (!obj) {
    obj = Make<TDragControlObjectEx>(this);
  }
  d.autoFree = obj->AutoFree();
  try {
    DragInit(obj, Immediate, Threshold);
  } catch (...) {
    FinishDrag(false, false);
    throw;
  }
}

void TControl::EndDrag(bool Drop) {
  if (Dragging()) DragDone(Drop);
}

bool TControl::Dragging() const { return Drag().object && Drag().control == this; }

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  Accept = false;
  if (OnDragOver) {
    Accept = true;
    OnDragOver(this, Source, X, Y, State, Accept);
  }
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
  if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::DoStartDrag(TDragObject*& DragObject) {
  if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
  if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TControl::DragCanceled() {}

TDragImageList* TControl::GetDragImages() { return nullptr; }

// ---------------------------------------------------------------------------
// Drag objects
// ---------------------------------------------------------------------------

void TDragObject::Assign(TDragObject* source) {
  if (!source) return;
  AlwaysShowDragImages = source->AlwaysShowDragImages;
  DragHandle = source->DragHandle;
  DragPos = source->DragPos;
  DragTarget = source->DragTarget;
  DragTargetPos = source->DragTargetPos;
  MouseDeltaX = source->MouseDeltaX;
  MouseDeltaY = source->MouseDeltaY;
}

void TDragObject::Finished(TObject*, int, int, bool) {}

TCursor TDragObject::GetDragCursor(bool Accepted, int, int) { return Accepted ? crDrag : crNoDrop; }

TDragImageList* TDragObject::GetDragImages() { return nullptr; }

String TDragObject::Name() { return ClassName(); }

void TDragObject::HideDragImage() {
  if (TDragImageList* images = GetDragImages()) images->HideDragImage();
}

void TDragObject::ShowDragImage() {
  if (TDragImageList* images = GetDragImages()) images->ShowDragImage();
}

void TDragObject::WndProc(TMessage& Message) {
  DragState& d = Drag();
  switch (Message.Msg) {
    case WM_MOUSEMOVE: {
      POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
      ClientToScreen(DragHandle, &p);
      DragTo({p.x, p.y});
      break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
      ClientToScreen(DragHandle, &p);
      if (d.object == this && (p.x != DragPos.X || p.y != DragPos.Y) && d.active) DragTo({p.x, p.y});
      if (d.object == this) DragDone(true);
      break;
    }
    case WM_CAPTURECHANGED:
      if (!d.releasing && d.object == this) DragDone(false);
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (Message.WParam == VK_ESCAPE && Message.Msg == WM_KEYDOWN)
        DragDone(false);
      else if (Message.WParam == VK_CONTROL && d.active)
        DragTo(DragPos);
      break;
    case WM_CANCELMODE:
      if (d.object == this) DragDone(false);
      break;
    default:
      Message.Result = DefWindowProcW(DragHandle, Message.Msg, Message.WParam, Message.LParam);
      break;
  }
}

IMPLEMENT_CLASS(TDragObject, TObject, (ConstructPlain<TDragObject>))
IMPLEMENT_CLASS(TDragObjectEx, TDragObject, (ConstructPlain<TDragObjectEx>))

TBaseDragControlObject::TBaseDragControlObject(TControl* AControl) : control_(AControl) {}

void TBaseDragControlObject::Assign(TDragObject* source) {
  TDragObject::Assign(source);
  if (auto* s = dynamic_cast<TBaseDragControlObject*>(source)) control_ = s->control_;
}

void TBaseDragControlObject::Finished(TObject* Target, int X, int Y, bool Accepted) {
  if (!control_) return;
  if (!Accepted) {
    TControlGuard guard(control_);
    control_->DragCanceled();
    if (!guard.Alive()) return;
    Target = nullptr;
  }
  EndDrag(Target, X, Y);
}

void TBaseDragControlObject::EndDrag(TObject* Target, int X, int Y) {
  if (control_) control_->DoEndDrag(Target, X, Y);
}

TCursor TDragControlObject::GetDragCursor(bool Accepted, int X, int Y) {
  if (Accepted && Control()) return Control()->DragCursor();
  return TDragObject::GetDragCursor(Accepted, X, Y);
}

TDragImageList* TDragControlObject::GetDragImages() { return Control() ? Control()->GetDragImages() : nullptr; }

void TDragControlObject::HideDragImage() {
  if (TDragImageList* images = GetDragImages()) images->HideDragImage();
}

void TDragControlObject::ShowDragImage() {
  if (TDragImageList* images = GetDragImages()) images->ShowDragImage();
}

IMPLEMENT_CLASS(TBaseDragControlObject, TDragObject, nullptr)
IMPLEMENT_CLASS(TDragControlObject, TBaseDragControlObject, nullptr)
IMPLEMENT_CLASS(TDragControlObjectEx, TDragControlObject, nullptr)
