// TWinControl: the window, its procedure and message handling, focus and keys.
#include "platform/gui/Controls.h"

#include "platform/core/Lists.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ControlsInternal.h"
#include "platform/gui/Menus.h"

#include <windowsx.h>

#include <unordered_map>

using namespace controlsdetail;

namespace {

// The control whose window CreateWnd is creating: the start-up window
// procedure binds the first window that sends it a message.
TWinControl* creationControl = nullptr;

HCURSOR SystemCursor(TCursor cursor) {
  const Char* id = nullptr;
  switch (cursor) {
    case crNone: return nullptr;
    case crArrow: id = IDC_ARROW; break;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crNo: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    case crHSplit: id = IDC_SIZEWE; break;
    case crVSplit: id = IDC_SIZENS; break;
    default: id = IDC_ARROW; break;
  }
  return LoadCursorW(nullptr, id);
}

HCURSOR CursorHandle(TCursor cursor) {
  if (ControlsHooks().CursorHandle) return ControlsHooks().CursorHandle(cursor);
  return SystemCursor(cursor);
}

// The name of a further registration of a window class, for another class
// style: "<name>.<style in hex>", the name shortened to fit the record.
String StyleVariantName(const Char* name, UINT style) {
  const String suffix = L"." + IntToHex(static_cast<unsigned>(style), 8);
  const size_t room = std::size(TCreateParams{}.WinClassName) - 1 - suffix.size();
  return String(name).substr(0, room) + suffix;
}

}  // namespace

// ---------------------------------------------------------------------------
// Window procedures
// ---------------------------------------------------------------------------

namespace controlsdetail {

LRESULT CALLBACK InitWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* c = creationControl;
  if (!c) return DefWindowProcW(wnd, msg, wParam, lParam);
  creationControl = nullptr;
  ControlsWindowAccess::Bind(c, wnd);   // raises nothing; WindowProcedure guards the rest
  return WindowProcedure(wnd, msg, wParam, lParam);
}

LRESULT CALLBACK WindowProcedure(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* c = ControlOfWindow(wnd);
  if (!c) return DefWindowProcW(wnd, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  {
    TControlGuard guard(c);
    try {
      c->WindowProc(m);
    } catch (...) {
      HandleCallbackException(guard.Alive() ? c : nullptr);
    }
    if (msg == WM_NCDESTROY) {
      UnbindControlWindow(wnd);
      FreeWindowDeviceContexts(wnd);
      if (guard.Alive()) {
        ControlsWindowAccess::Forget(c, wnd);
      }
    }
  }
  return m.Result;
}

// The windows bound to controls. The window property shows the binding to whoever looks
// at the window; this table answers the window procedure and FindControl, which would
// otherwise ask the window server for the property on every message.
namespace {

struct TControlWindows {
  SRWLOCK Lock = SRWLOCK_INIT;
  std::unordered_map<HWND, TWinControl*> Controls;
};

TControlWindows& ControlWindows() {
  static TControlWindows windows;
  return windows;
}

}  // namespace

void BindControlWindow(HWND wnd, TWinControl* control) {
  SetPropW(wnd, kControlProp, control);
  TControlWindows& w = ControlWindows();
  AcquireSRWLockExclusive(&w.Lock);
  w.Controls[wnd] = control;
  ReleaseSRWLockExclusive(&w.Lock);
}

void UnbindControlWindow(HWND wnd) {
  RemovePropW(wnd, kControlProp);
  TControlWindows& w = ControlWindows();
  AcquireSRWLockExclusive(&w.Lock);
  w.Controls.erase(wnd);
  ReleaseSRWLockExclusive(&w.Lock);
}

// No window, however it went, may lead to a control that is gone.
void ForgetControlWindows(TWinControl* control) {
  TControlWindows& w = ControlWindows();
  AcquireSRWLockExclusive(&w.Lock);
  std::erase_if(w.Controls, [control](const auto& entry) { return entry.second == control; });
  ReleaseSRWLockExclusive(&w.Lock);
}

TWinControl* ControlOfWindow(HWND wnd) {
  TControlWindows& w = ControlWindows();
  AcquireSRWLockShared(&w.Lock);
  const auto found = w.Controls.find(wnd);
  TWinControl* control = found == w.Controls.end() ? nullptr : found->second;
  ReleaseSRWLockShared(&w.Lock);
  return control;
}

}  // namespace controlsdetail

void ControlsWindowAccess::Bind(TWinControl* c, HWND wnd) { c->BindWindow(wnd, false); }
void ControlsWindowAccess::Forget(TWinControl* c, HWND wnd) { c->UnbindWindow(wnd); }

// Only windows of this process are ever bound.
TWinControl* FindControl(HWND Handle) { return Handle ? ControlOfWindow(Handle) : nullptr; }

void TWinControl::BindWindow(HWND wnd, bool subclass) {
  BindControlWindow(wnd, this);
  handle_ = wnd;
  auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(wnd, GWLP_WNDPROC));
  if (subclass) defWndProc_ = current;
  if (current != WindowProcedure)
    SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProcedure));
}

void TWinControl::UnbindWindow(HWND wnd) {
  ModuleState& st = State();
  if (st.mouseControl && (st.mouseControl == this || st.mouseControl->Parent() == this) && handle_ == wnd)
    st.mouseControl = nullptr;
  if (handle_ == wnd) {
    handle_ = nullptr;
    showing_ = false;
    adopted_ = false;
  }
}

// ---------------------------------------------------------------------------
// Life
// ---------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
  brush_ = Make<TBrush>();
  brush_->SetColor(color_);
}

void TWinControl::BeforeDestruction() {
  TControl::BeforeDestruction();
  if (parent_) RemoveFocus(true);
  // Destroys the child windows with ours while every object is whole.
  if (handle_) DestroyWindowHandle();
}

TWinControl::~TWinControl() {
  if (handle_) {
    // Freed without BeforeDestruction: the window must not outlive us.
    HWND h = handle_;
    UnbindControlWindow(h);
    handle_ = nullptr;
    DestroyWindow(h);
  }
  // Leave the parent while we are still a window control to it.
  SetParent(nullptr);
  while (!controls_.empty() || !winControls_.empty()) {
    TControl* c = winControls_.empty() ? controls_.back() : static_cast<TControl*>(winControls_.back());
    Remove(c);
    TObject::Free(c);
  }
  TObject::Free(brush_);
  ForgetControlWindows(this);
}

// ---------------------------------------------------------------------------
// The window
// ---------------------------------------------------------------------------

HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

void TWinControl::HandleNeeded() {
  if (handle_) return;
  if (parent_) parent_->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  CreateWnd();
  if (!handle_) return;
  if (parent_)
    SetWindowPos(handle_, parent_->PrecedingWindow(this), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->UpdateAnchorRules();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams{};
  Params.Caption = text_.c_str();
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (controlStyle_.Contains(csAcceptsControls)) {
    Params.Style |= WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!ComponentState().Contains(csDesigning) && !Enabled()) Params.Style |= WS_DISABLED;
  if (tabStop_) Params.Style |= WS_TABSTOP;
  Params.X = left_;
  Params.Y = top_;
  Params.Width = width_;
  Params.Height = height_;
  Params.WndParent = parent_ ? parent_->Handle() : parentWindow_;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.WindowClass.lpfnWndProc = DefWindowProcW;
  Params.WindowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  Params.WindowClass.hbrBackground = nullptr;
  Params.WindowClass.hInstance = GetModuleHandleW(nullptr);
  const String name = ClassName();
  const size_t n = std::min<size_t>(name.size(), std::size(Params.WinClassName) - 1);
  name.copy(Params.WinClassName, n);
  Params.WinClassName[n] = 0;
}

void TWinControl::CreateSubClass(TCreateParams& Params, const Char* ControlClassName) {
  if (!ControlClassName) return;
  const HINSTANCE saveInstance = Params.WindowClass.hInstance;
  if (!GetClassInfoW(GetModuleHandleW(nullptr), ControlClassName, &Params.WindowClass) &&
      !GetClassInfoW(nullptr, ControlClassName, &Params.WindowClass))
    throw EInvalidOperation(Format(L"Window class %s not found", {String(ControlClassName)}));
  Params.WindowClass.hInstance = saveInstance;
  Params.WindowClass.style =
      (Params.WindowClass.style & ~(CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS)) | CS_VREDRAW | CS_HREDRAW;
}

// A control's window class is registered under its C++ class name. The
// system gives the class style to every window of a class, so a class whose
// CreateParams asks for different class styles for different instances (a
// drop shadow for some only) gets one registration per style: the first one
// seen under the plain name, each further one under StyleVariantName. The
// other class fields do not vary between the instances of a C++ class: those
// of the first registration stay. Leaves the name to create the window with
// in Params.WinClassName.
void TWinControl::RegisterWindowClass(TCreateParams& Params) {
  const HINSTANCE instance = Params.WindowClass.hInstance;
  String name = Params.WinClassName;
  WNDCLASSW existing{};
  bool registered = GetClassInfoW(instance, name.c_str(), &existing);
  if (registered && existing.lpfnWndProc == InitWndProc && existing.style != Params.WindowClass.style) {
    name = StyleVariantName(Params.WinClassName, Params.WindowClass.style);
    registered = GetClassInfoW(instance, name.c_str(), &existing);
  }
  // A class of the name that is not ours (left by another module) is replaced.
  if (!registered || existing.lpfnWndProc != InitWndProc) {
    if (registered) UnregisterClassW(name.c_str(), instance);
    WNDCLASSW wc = Params.WindowClass;
    wc.lpfnWndProc = InitWndProc;
    wc.lpszClassName = name.c_str();
    wc.lpszMenuName = nullptr;
    if (!RegisterClassW(&wc)) RaiseLastOSError();
    auto& names = State().registeredClasses;
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  name.copy(Params.WinClassName, name.size());
  Params.WinClassName[name.size()] = 0;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if (!params.WndParent && (params.Style & WS_CHILD)) {
    auto* owner = dynamic_cast<TWinControl*>(Owner());
    if (owner && owner->ComponentState().Contains(csReading))
      params.WndParent = owner->Handle();
    else
      RaiseParentRequired(this);
  }
  defWndProc_ = params.WindowClass.lpfnWndProc ? params.WindowClass.lpfnWndProc : DefWindowProcW;
  RegisterWindowClass(params);
  creationControl = this;
  try {
    CreateWindowHandle(params);
  } catch (...) {
    creationControl = nullptr;
    throw;
  }
  creationControl = nullptr;
  if (!handle_) RaiseLastOSError();
  if ((GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD) && GetWindowLongPtrW(handle_, GWLP_ID) == 0)
    SetWindowLongPtrW(handle_, GWLP_ID, reinterpret_cast<LONG_PTR>(handle_));
  text_.clear();   // the window keeps the text now
  UpdateBounds();
  Perform(WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), 1);
  if (AutoSize()) AdjustSize();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HWND h = CreateWindowExW(Params.ExStyle, Params.WinClassName, Params.Caption, Params.Style, Params.X, Params.Y,
                           Params.Width, Params.Height, Params.WndParent, nullptr, Params.WindowClass.hInstance,
                           Params.Param);
  // The start-up procedure has bound the window already; a window that died
  // during creation has unbound itself.
  if (h && IsWindow(h) && FindControl(h) == this) handle_ = h;
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  const std::vector<TWinControl*> children = winControls_;
  for (TWinControl* w : children) w->DestroyHandle();
  if (handle_) DestroyWnd();
}

void TWinControl::DestroyWnd() {
  text_ = Text();
  FreeWindowDeviceContexts(handle_);
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  HWND h = handle_;
  if (!h) return;
  controlState_ += csDestroyingHandle;
  const bool ok = !IsWindow(h) || DestroyWindow(h);
  const DWORD err = ok ? 0 : GetLastError();
  controlState_ -= csDestroyingHandle;
  if (handle_ == h) {
    if (!ok) RaiseLastOSError(err);
    UnbindControlWindow(h);
    handle_ = nullptr;
    showing_ = false;
  }
}

void TWinControl::SetRecreating(bool value) {
  if (value)
    controlState_ += csRecreating;
  else
    controlState_ -= csRecreating;
  for (TWinControl* w : winControls_) w->SetRecreating(value);
}

void TWinControl::RecreateWnd() {
  if (handle_) Perform(CM_RECREATEWND, 0, 0);
}

void TWinControl::CMRecreateWnd(TMessage&) {
  const bool wasFocused = Focused();
  SetRecreating(true);
  try {
    DestroyHandle();
    UpdateControlState();
  } catch (...) {
    SetRecreating(false);
    throw;
  }
  SetRecreating(false);
  if (wasFocused && handle_) ::SetFocus(handle_);
}

void TWinControl::SetWindowHandle(HWND value) {
  if (value && FindControl(value) != this) {
    AdoptWindowHandle(value);
    return;
  }
  handle_ = value;
  if (!value) showing_ = false;
}

void TWinControl::AdoptWindowHandle(HWND wnd) {
  if (!wnd || !IsWindow(wnd)) throw EInvalidOperation(L"Invalid window handle");
  TWinControl* owner = FindControl(wnd);
  if (owner == this) {
    handle_ = wnd;
    return;
  }
  if (owner) throw EInvalidOperation(L"The window belongs to another control");
  if (handle_) throw EInvalidOperation(Format(L"Control '%s' already has a window", {Name()}));
  BindWindow(wnd, true);
  adopted_ = true;
  text_.clear();
  UpdateBounds();
  showing_ = IsWindowVisible(wnd) != FALSE;
}

HWND TWinControl::DetachWindowHandle() {
  HWND h = handle_;
  if (!h) return nullptr;
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(h, GWLP_WNDPROC)) == WindowProcedure && defWndProc_)
    SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(defWndProc_));
  UnbindControlWindow(h);
  FreeWindowDeviceContexts(h);
  UnbindWindow(h);
  return h;
}

void TWinControl::SetParentWindow(HWND value) {
  if (parent_ || parentWindow_ == value) return;
  if (handle_ && parentWindow_ && value) {
    parentWindow_ = value;
    ::SetParent(handle_, value);
  } else {
    DestroyHandle();
    parentWindow_ = value;
  }
  UpdateControlState();
}

void TWinControl::SetParent(TWinControl* AParent) {
  if (parent_ != AParent && AParent && parentWindow_) {
    DestroyHandle();
    parentWindow_ = nullptr;
  }
  TControl::SetParent(AParent);
}

// ---------------------------------------------------------------------------
// Showing
// ---------------------------------------------------------------------------

void TWinControl::UpdateShowing() {
  const bool show = Visible() && !controlState_.Contains(csReadingState);
  if (show) {
    if (!handle_) CreateHandle();
    const std::vector<TWinControl*> children = winControls_;
    for (TWinControl* w : children) w->UpdateShowing();
  }
  if (handle_ && showing_ != show) {
    showing_ = show;
    try {
      Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
      showing_ = !show;
      throw;
    }
  }
}

void TWinControl::UpdateControlState() {
  TWinControl* c = this;
  while (c->parent_) {
    c = c->parent_;
    if (!c->showing_) return;
  }
  if (c->IsForm() || c->parentWindow_) UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&) {
  SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                   (showing_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage&) {
  if (!Visible() && parent_) RemoveFocus(false);
  UpdateControlState();
}

void TWinControl::ShowControl(TControl*) {}

// ---------------------------------------------------------------------------
// Message handling
// ---------------------------------------------------------------------------

void TWinControl::DefaultHandler(void* Message) {
  if (!handle_) {
    TControl::DefaultHandler(Message);
    return;
  }
  TMessage& m = *static_cast<TMessage*>(Message);
  if (m.Msg >= CN_CTLCOLORMSGBOX && m.Msg <= CN_CTLCOLORSTATIC) {
    auto dc = reinterpret_cast<HDC>(m.WParam);
    SetTextColor(dc, ColorToGDI(font_->Color()));
    SetBkColor(dc, ColorToGDI(brush_->Color()));
    m.Result = reinterpret_cast<LRESULT>(brush_->Handle());
    return;
  }
  m.Result = CallWindowProcW(defWndProc_ ? defWndProc_ : DefWindowProcW, handle_, m.Msg, m.WParam, m.LParam);
}

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS: {
      TWinControl* root = TopLevelParent();
      if (root && !root->SetFocusedControl(this)) return;
      break;
    }
    case WM_KILLFOCUS:
      if (controlState_.Contains(csFocusing)) return;
      break;
    case WM_NCHITTEST: {
      TControl::WndProc(Message);
      if (Message.Result == HTTRANSPARENT && handle_) {
        const TPoint p = ScreenToClient({GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
        if (ControlAtPos(p, false)) Message.Result = HTCLIENT;
      }
      return;
    }
    case WM_MOUSEMOVE: {
      auto& mm = reinterpret_cast<TWMMouse&>(Message);
      const TPoint p{mm.XPos, mm.YPos};
      TControl* target = nullptr;
      if (ClientRect().Contains(p)) {
        target = ControlAtPos(p, false);
        if (!target) target = this;
      }
      TControlGuard guard(this);
      UpdateMouseControl(target);
      if (!guard.Alive()) return;
      break;
    }
    case WM_MOUSELEAVE: {
      TControl* mc = State().mouseControl;
      if (mc && (mc == this || mc->Parent() == this)) UpdateMouseControl(nullptr);
      break;
    }
    case WM_CANCELMODE: {
      TControl* cc = State().captureControl;
      if (handle_ && GetCapture() == handle_ && cc && cc->Parent() == this) cc->Perform(WM_CANCELMODE, 0, 0);
      break;
    }
  }
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL &&
      Message.Msg != WM_MOUSEHWHEEL) {
    if (IsControlMouseMsg(reinterpret_cast<TWMMouse&>(Message))) {
      if (Message.Result == 0 && handle_)
        DefWindowProcW(handle_, Message.Msg, Message.WParam, Message.LParam);
      return;
    }
  } else if (Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST) {
    // Keys of the dragged control steer the drag (Esc cancels it).
    if (Dragging()) {
      if (TDragObject* obj = DragObject()) obj->WndProc(Message);
      return;
    }
  }
  TControl::WndProc(Message);
}

void TWinControl::UpdateMouseControl(TControl* control) {
  ModuleState& st = State();
  if (control && handle_) {
    TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, handle_, 0};
    TrackMouseEvent(&tme);
  }
  if (st.mouseControl == control) return;
  TControl* old = st.mouseControl;
  st.mouseControl = control;
  if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
  // The leave handler may have freed the new control: it is then forgotten.
  if (control && st.mouseControl == control) control->Perform(CM_MOUSEENTER, 0, 0);
}

bool TWinControl::IsControlMouseMsg(TWMMouse& Message) {
  TControl* control = nullptr;
  if (handle_ && GetCapture() == handle_) {
    TControl* cc = State().captureControl;
    if (cc && cc->Parent() == this) control = cc;
  } else {
    control = ControlAtPos({Message.XPos, Message.YPos}, false);
  }
  if (!control) return false;
  const TPoint p{Message.XPos - control->Left(), Message.YPos - control->Top()};
  Message.Result = control->Perform(Message.Msg, Message.Keys, PointToLParam(p));
  return true;
}

bool TWinControl::DoControlMsg(HWND ControlHandle, void* Message) {
  TWinControl* control = FindControl(ControlHandle);
  if (!control || control == this) return false;
  TMessage& m = *static_cast<TMessage*>(Message);
  m.Result = control->Perform(m.Msg + CN_BASE, m.WParam, m.LParam);
  return true;
}

void TWinControl::WMCommand(TWMCommand& Message) {
  if (!DoControlMsg(Message.Ctl, &Message)) DispatchInherited(TWinControl::StaticClass(), &Message);
}

void TWinControl::WMNotify(TWMNotify& Message) {
  if (!Message.NMHdr || !DoControlMsg(Message.NMHdr->hwndFrom, &Message))
    DispatchInherited(TWinControl::StaticClass(), &Message);
}

void TWinControl::WMDrawItem(TWMDrawItem& Message) {
  const DRAWITEMSTRUCT* d = Message.DrawItemStruct;
  if (!d || d->CtlType == ODT_MENU || !DoControlMsg(d->hwndItem, &Message))
    DispatchInherited(TWinControl::StaticClass(), &Message);
}

void TWinControl::WMMeasureItem(TWMMeasureItem& Message) {
  const MEASUREITEMSTRUCT* mi = Message.MeasureItemStruct;
  // A child window's control ID is its handle (CreateWnd sets it so). The
  // record keeps only 32 bits of it: window handles have no more significant
  // bits on 64-bit Windows either, and are widened back sign-extended.
  if (!mi || mi->CtlType == ODT_MENU ||
      !DoControlMsg(reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(mi->CtlID))), &Message))
    DispatchInherited(TWinControl::StaticClass(), &Message);
}

void TWinControl::WMDeleteItem(TWMDeleteItem& Message) {
  const DELETEITEMSTRUCT* d = Message.DeleteItemStruct;
  if (!d || !DoControlMsg(d->hwndItem, &Message)) DispatchInherited(TWinControl::StaticClass(), &Message);
}

void TWinControl::WMCompareItem(TWMCompareItem& Message) {
  const COMPAREITEMSTRUCT* c = Message.CompareItemStruct;
  if (!c || !DoControlMsg(c->hwndItem, &Message)) DispatchInherited(TWinControl::StaticClass(), &Message);
}

void TWinControl::WMHScroll(TWMScroll& Message) {
  if (!Message.ScrollBar || !DoControlMsg(Message.ScrollBar, &Message))
    DispatchInherited(TWinControl::StaticClass(), &Message);
}

void TWinControl::WMVScroll(TWMScroll& Message) {
  if (!Message.ScrollBar || !DoControlMsg(Message.ScrollBar, &Message))
    DispatchInherited(TWinControl::StaticClass(), &Message);
}

void TWinControl::WMCtlColor(TWMCtlColor& Message) {
  // A child window of ours chooses its colours itself (CN_CTLCOLOR*); other
  // windows get the default colours.
  if (!DoControlMsg(Message.ChildWnd, &Message)) DispatchInherited(TWinControl::StaticClass(), &Message);
}

void TWinControl::WMSize(TWMSize& Message) {
  TControlGuard guard(this);
  UpdateBounds();
  DispatchInherited(TWinControl::StaticClass(), &Message);
  if (!guard.Alive()) return;
  Realign();
  if (guard.Alive() && !ComponentState().Contains(csLoading)) Resize();
}

void TWinControl::WMMove(TWMMove& Message) {
  DispatchInherited(TWinControl::StaticClass(), &Message);
  if (handle_) UpdateBounds();
}

void TWinControl::WMWindowPosChanged(TWMWindowPosMsg& Message) {
  if (!Message.WindowPos || !handle_) return;
  if (!controlState_.Contains(csDestroyingHandle)) UpdateBounds();
  DispatchInherited(TWinControl::StaticClass(), &Message);
}

void TWinControl::WMWindowPosChanging(TWMWindowPosMsg& Message) {
  if (Message.WindowPos && !ComponentState().Contains(csReading) && !ComponentState().Contains(csDestroying)) {
    WINDOWPOS& wp = *Message.WindowPos;
    if (!(wp.flags & SWP_NOSIZE)) {
      int w = wp.cx, h = wp.cy;
      if (!CheckNewSize(w, h))
        wp.flags |= SWP_NOSIZE;
      else {
        wp.cx = w;
        wp.cy = h;
      }
    }
  }
  DispatchInherited(TWinControl::StaticClass(), &Message);
}

void TWinControl::WMNCCalcSize(TWMNCCalcSize& Message) {
  DispatchInherited(TWinControl::StaticClass(), &Message);
  if (borderWidth_ > 0 && Message.CalcSize_Params) {
    // rgrc[0] when CalcValidRects, else the RECT itself: the first member either way.
    auto* r = reinterpret_cast<RECT*>(Message.CalcSize_Params);
    InflateRect(r, -borderWidth_, -borderWidth_);
  }
}

void TWinControl::WMSetCursor(TWMSetCursor& Message) {
  if (Message.CursorWnd == handle_ && static_cast<short>(Message.HitTest) == HTCLIENT) {
    TCursor cursor = ControlsHooks().ScreenCursor ? ControlsHooks().ScreenCursor() : crDefault;
    if (cursor == crDefault) {
      POINT p;
      GetCursorPos(&p);
      if (TControl* c = ControlAtPos(ScreenToClient({p.x, p.y}), false)) cursor = c->Cursor();
      if (cursor == crDefault) cursor = Cursor();
    }
    if (cursor != crDefault) {
      ::SetCursor(CursorHandle(cursor));
      Message.Result = 1;
      return;
    }
  }
  DispatchInherited(TWinControl::StaticClass(), &Message);
}

void TWinControl::WMMouseLeave(TMessage& Message) { DispatchInherited(TWinControl::StaticClass(), &Message); }

void TWinControl::WMDestroy(TMessage& Message) { DispatchInherited(TWinControl::StaticClass(), &Message); }

void TWinControl::WMNCDestroy(TMessage& Message) { DispatchInherited(TWinControl::StaticClass(), &Message); }

void TWinControl::CMInvalidate(TMessage& Message) {
  if (!handle_ || ComponentState().Contains(csDestroying)) return;
  if (parent_) parent_->Perform(CM_INVALIDATE, 1, 0);
  if (Message.WParam == 0) InvalidateRect(handle_, nullptr, !controlStyle_.Contains(csOpaque));
}

void TWinControl::CMEnabledChanged(TMessage&) {
  if (!Enabled() && parent_) RemoveFocus(false);
  if (handle_ && !ComponentState().Contains(csDesigning)) EnableWindow(handle_, Enabled());
}

void TWinControl::CMFontChanged(TMessage& Message) {
  DispatchInherited(TWinControl::StaticClass(), &Message);
  if (handle_) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), 0);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMColorChanged(TMessage& Message) {
  DispatchInherited(TWinControl::StaticClass(), &Message);
  brush_->SetColor(color_);
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMCursorChanged(TMessage&) {
  if (!handle_ || GetCapture()) return;
  POINT p;
  GetCursorPos(&p);
  if (WindowFromPoint(p) == handle_)
    SendMessageW(handle_, WM_SETCURSOR, reinterpret_cast<WPARAM>(handle_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

void TWinControl::CMBorderChanged(TMessage&) {
  if (handle_)
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
  Realign();
  Invalidate();
}

void TWinControl::CMCtl3DChanged(TMessage&) { NotifyControls(CM_PARENTCTL3DCHANGED); }
void TWinControl::CMShowHintChanged(TMessage&) { NotifyControls(CM_PARENTSHOWHINTCHANGED); }
void TWinControl::CMBiDiModeChanged(TMessage&) { NotifyControls(CM_PARENTBIDIMODECHANGED); }
void TWinControl::CMSysColorChange(TMessage& Message) { Broadcast(&Message); }
void TWinControl::CMWinIniChange(TMessage& Message) { Broadcast(&Message); }
void TWinControl::CMFontChange(TMessage& Message) { Broadcast(&Message); }
void TWinControl::CMTimeChange(TMessage& Message) { Broadcast(&Message); }
void TWinControl::CMFocusChanged(TCMFocusChanged& Message) { Broadcast(&Message); }
void TWinControl::CMDialogKey(TWMKey& Message) { Broadcast(&Message); }
void TWinControl::CMDialogChar(TWMKey& Message) { Broadcast(&Message); }

void TWinControl::CMChildKey(TCMChildKey& Message) {
  if (parent_) Message.Result = parent_->Perform(CM_CHILDKEY, Message.CharCode, reinterpret_cast<LPARAM>(Message.Sender));
}

void TWinControl::CMTabStopChanged(TMessage&) {
  if (!handle_) return;
  LONG style = GetWindowLongW(handle_, GWL_STYLE);
  style = tabStop_ ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
  SetWindowLongW(handle_, GWL_STYLE, style);
}

// ---------------------------------------------------------------------------
// Bounds
// ---------------------------------------------------------------------------

TRect TWinControl::ClientRect() {
  if (handle_) {
    RECT r;
    ::GetClientRect(handle_, &r);
    return {r.left, r.top, r.right, r.bottom};
  }
  return {0, 0, std::max(0, width_ - 2 * borderWidth_), std::max(0, height_ - 2 * borderWidth_)};
}

TPoint TWinControl::ClientOrigin() {
  POINT p{0, 0};
  ::ClientToScreen(Handle(), &p);
  return {p.x, p.y};
}

void TWinControl::UpdateBounds() {
  if (!handle_) return;
  RECT r;
  GetWindowRect(handle_, &r);
  if (GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD) {
    if (HWND parent = GetParent(handle_)) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  left_ = r.left;
  top_ = r.top;
  width_ = r.right - r.left;
  height_ = r.bottom - r.top;
  UpdateAnchorRules();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (!CheckNewSize(AWidth, AHeight)) return;
  if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
  // An icon, or a window made maximized while hidden, takes the bounds as the ones it restores to.
  const bool placed = handle_ && (IsIconic(handle_) || (IsZoomed(handle_) && !IsWindowVisible(handle_)));
  if (handle_ && !placed) {
    SetWindowPos(handle_, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    if (handle_) {
      WINDOWPLACEMENT wp{};
      wp.length = sizeof(wp);
      GetWindowPlacement(handle_, &wp);
      wp.rcNormalPosition = {ALeft, ATop, ALeft + AWidth, ATop + AHeight};
      // The placement's show command would show a hidden window.
      if (!IsWindowVisible(handle_)) wp.showCmd = SW_HIDE;
      SetWindowPlacement(handle_, &wp);
    }
  }
  UpdateAnchorRules();
  RequestAlign();
}

void TWinControl::SetZOrder(bool TopMost) {
  if (parent_) {
    auto& list = parent_->winControls_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it != list.end()) {
      list.erase(it);
      if (TopMost)
        list.push_back(this);
      else
        list.insert(list.begin(), this);
    }
  }
  if (handle_)
    SetWindowPos(handle_, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

HWND TWinControl::PrecedingWindow(TWinControl* Control) const {
  auto it = std::find(winControls_.begin(), winControls_.end(), Control);
  if (it != winControls_.end())
    for (++it; it != winControls_.end(); ++it)
      if ((*it)->handle_) return (*it)->handle_;
  return HWND_TOP;
}

HDC TWinControl::GetDeviceContext(HWND& WindowHandle) {
  HDC dc = ComponentState().Contains(csDesigning) ? GetDCEx(Handle(), nullptr, DCX_CACHE | DCX_CLIPSIBLINGS)
                                                  : GetDC(Handle());
  if (!dc) throw EOutOfResources(L"Error creating window device context");
  WindowHandle = handle_;
  return dc;
}

// ---------------------------------------------------------------------------
// Focus
// ---------------------------------------------------------------------------

bool TWinControl::CanFocus() {
  for (TControl* c = this; c; c = c->parent_)
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
  TWinControl* root = TopLevelParent();
  if (root && root != this) {
    root->FocusControl(this);
    return;
  }
  if (!CanFocus()) throw EInvalidOperation(L"Cannot focus a disabled or invisible window");
  ::SetFocus(Handle());
}

void TWinControl::FocusControl(TWinControl* Control) {
  if (!Control->CanFocus()) throw EInvalidOperation(L"Cannot focus a disabled or invisible window");
  ::SetFocus(Control->Handle());
}

bool TWinControl::SetFocusedControl(TWinControl* Control) {
  if (Control->controlState_.Contains(csFocusing)) return true;
  TControlGuard self(this);
  TControlGuard target(Control);
  const HWND focusHandle = Control->handle_;
  if (!focusedChild_) focusedChild_ = this;
  // CM_EXIT from the old focused control up to the common parent...
  while (focusedChild_ && !focusedChild_->ContainsControl(Control)) {
    TWinControl* c = focusedChild_;
    TWinControl* up = c->parent_;
    focusedChild_ = up;
    c->Perform(CM_EXIT, 0, 0);
    if (!self.Alive() || !target.Alive()) return false;
    if (focusHandle != GetFocus()) return false;   // OnExit moved the focus elsewhere
  }
  if (!focusedChild_) focusedChild_ = this;
  // ...then CM_ENTER from below the common parent down to the new one.
  while (focusedChild_ != Control) {
    TWinControl* c = Control;
    while (c->parent_ && c->parent_ != focusedChild_) c = c->parent_;
    focusedChild_ = c;
    c->Perform(CM_ENTER, 0, 0);
    if (!self.Alive() || !target.Alive()) return false;
    if (focusHandle != GetFocus()) return false;
  }
  return true;
}

void TWinControl::DefocusControl(TWinControl* Control, bool Removing) {
  if (Removing && focusedChild_ && Control->ContainsControl(focusedChild_)) focusedChild_ = Control->parent_;
  if (!Control->handle_) return;
  HWND focus = GetFocus();
  if (focus && (focus == Control->handle_ || IsChild(Control->handle_, focus))) {
    if (handle_ && this != Control)
      ::SetFocus(handle_);
    else
      ::SetFocus(nullptr);
  }
}

void TWinControl::RemoveFocus(bool Removing) {
  TWinControl* root = TopLevelParent();
  if (root && root != this) root->DefocusControl(this, Removing);
}

bool TWinControl::IsShortCut(TWMKey&) { return false; }
bool TWinControl::WantChildKey(TControl*, TMessage&) { return false; }
void TWinControl::SendCancelMode(TControl*) {}

void TWinControl::WMSetFocus(TWMSetFocus& Message) { DispatchInherited(TWinControl::StaticClass(), &Message); }
void TWinControl::WMKillFocus(TWMKillFocus& Message) { DispatchInherited(TWinControl::StaticClass(), &Message); }

void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

// ---------------------------------------------------------------------------
// Keyboard
// ---------------------------------------------------------------------------

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyPress(Char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

bool TWinControl::DoKeyDown(TWMKey& Message) {
  TControlGuard guard(this);
  TWinControl* root = TopLevelParent();
  if (root && root != this && root->KeyPreview() && root->DoKeyDown(Message)) return true;
  if (!guard.Alive()) return true;
  if (!controlStyle_.Contains(csNoStdEvents)) {
    Word key = Message.CharCode;
    KeyDown(key, KeyDataToShiftState(Message.KeyData));
    if (!guard.Alive()) return true;
    Message.CharCode = key;
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyPress(TWMKey& Message) {
  TControlGuard guard(this);
  TWinControl* root = TopLevelParent();
  if (root && root != this && root->KeyPreview() && root->DoKeyPress(Message)) return true;
  if (!guard.Alive()) return true;
  if (!controlStyle_.Contains(csNoStdEvents)) {
    Char ch = static_cast<Char>(Message.CharCode);
    KeyPress(ch);
    if (!guard.Alive()) return true;
    Message.CharCode = ch;
    if (ch == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyUp(TWMKey& Message) {
  TControlGuard guard(this);
  TWinControl* root = TopLevelParent();
  if (root && root != this && root->KeyPreview() && root->DoKeyUp(Message)) return true;
  if (!guard.Alive()) return true;
  if (!controlStyle_.Contains(csNoStdEvents)) {
    Word key = Message.CharCode;
    KeyUp(key, KeyDataToShiftState(Message.KeyData));
    if (!guard.Alive()) return true;
    Message.CharCode = key;
    if (key == 0) return true;
  }
  return false;
}

void TWinControl::WMKeyDown(TWMKey& Message) {
  if (!DoKeyDown(Message)) DispatchInherited(TWinControl::StaticClass(), &Message);
}

void TWinControl::WMSysKeyDown(TWMKey& Message) {
  if (!DoKeyDown(Message)) DispatchInherited(TWinControl::StaticClass(), &Message);
}

void TWinControl::WMKeyUp(TWMKey& Message) {
  if (!DoKeyUp(Message)) DispatchInherited(TWinControl::StaticClass(), &Message);
}

void TWinControl::WMSysKeyUp(TWMKey& Message) {
  if (!DoKeyUp(Message)) DispatchInherited(TWinControl::StaticClass(), &Message);
}

void TWinControl::WMChar(TWMKey& Message) {
  if (!DoKeyPress(Message)) DispatchInherited(TWinControl::StaticClass(), &Message);
}

bool TWinControl::IsMenuKey(TWMKey& Message) {
  if (ComponentState().Contains(csDesigning)) return false;
  for (TControl* c = this; c; c = c->Parent()) {
    TPopupMenu* menu = c->PopupMenu();
    if (menu && menu->IsShortCut(Message)) return true;
  }
  TWinControl* root = TopLevelParent();
  return root && root->IsShortCut(Message);
}

void TWinControl::CNKeyDown(TWMKey& Message) {
  Message.Result = 1;
  TControlGuard guard(this);
  if (IsMenuKey(Message) || !guard.Alive()) return;
  if (!ComponentState().Contains(csDesigning)) {
    if (Perform(CM_CHILDKEY, Message.CharCode, reinterpret_cast<LPARAM>(this)) != 0 || !guard.Alive()) return;
    LRESULT mask = 0;
    switch (Message.CharCode) {
      case VK_TAB: mask = DLGC_WANTTAB; break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN: mask = DLGC_WANTARROWS; break;
      case VK_RETURN:
      case VK_EXECUTE:
      case VK_ESCAPE:
      case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    }
    if (mask && Perform(CM_WANTSPECIALKEY, Message.CharCode, Message.KeyData) == 0 &&
        (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0) {
      if (!guard.Alive()) return;
      TWinControl* root = TopLevelParent();
      if (root && root->Perform(CM_DIALOGKEY, Message.CharCode, Message.KeyData) != 0) return;
      if (!guard.Alive()) return;
    }
  }
  Message.Result = 0;
}

void TWinControl::CNKeyUp(TWMKey& Message) { Message.Result = 0; }

void TWinControl::CNChar(TWMKey& Message) {
  if (ComponentState().Contains(csDesigning)) return;
  Message.Result = 1;
  TControlGuard guard(this);
  if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0 && guard.Alive()) {
    TWinControl* root = TopLevelParent();
    if (root && root->Perform(CM_DIALOGCHAR, Message.CharCode, Message.KeyData) != 0) return;
  }
  if (guard.Alive()) Message.Result = 0;
}

void TWinControl::CNSysKeyDown(TWMKey& Message) {
  Message.Result = 1;
  TControlGuard guard(this);
  if (IsMenuKey(Message) || !guard.Alive()) return;
  if (!ComponentState().Contains(csDesigning)) {
    if (Perform(CM_CHILDKEY, Message.CharCode, reinterpret_cast<LPARAM>(this)) != 0 || !guard.Alive()) return;
    TWinControl* root = TopLevelParent();
    if (root && root->Perform(CM_DIALOGKEY, Message.CharCode, Message.KeyData) != 0) return;
    if (!guard.Alive()) return;
  }
  Message.Result = 0;
}

void TWinControl::CNSysChar(TWMKey& Message) {
  if (Message.CharCode == VK_SPACE) return;
  TWinControl* root = TopLevelParent();
  if (root) Message.Result = root->Perform(CM_DIALOGCHAR, Message.CharCode, Message.KeyData);
}

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

void TWinControl::SetBorderWidth(TBorderWidth value) {
  if (borderWidth_ == value) return;
  borderWidth_ = value;
  Perform(CM_BORDERCHANGED, 0, 0);
}

void TWinControl::SetTabStop(bool value) {
  if (tabStop_ == value) return;
  tabStop_ = value;
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

void TWinControl::SetParentBackground(bool value) {
  if (ParentBackground() == value) return;
  if (value)
    controlStyle_ += csParentBackground;
  else
    controlStyle_ -= csParentBackground;
  Invalidate();
}

// ---------------------------------------------------------------------------
// Class information
// ---------------------------------------------------------------------------

BEGIN_CLASS(TWinControl, TControl, nullptr)
  // Declared for descendants to publish (b.Publish), like TControl's.
  DefaultValue(b.DeclareProp(L"BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth), 0);
  DefaultValue(b.DeclareProp(L"DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered),
               false);
  b.DeclareProp(L"ParentBackground", &TWinControl::ParentBackground, &TWinControl::SetParentBackground);
  DefaultValue(b.DeclareProp(L"TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder), -1);
  b.DeclareProp(L"TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
  b.DeclareField(L"OnEnter", &TWinControl::OnEnter);
  b.DeclareField(L"OnExit", &TWinControl::OnExit);
  b.DeclareField(L"OnKeyDown", &TWinControl::OnKeyDown);
  b.DeclareField(L"OnKeyPress", &TWinControl::OnKeyPress);
  b.DeclareField(L"OnKeyUp", &TWinControl::OnKeyUp);
  b.Message<&TWinControl::WMPaint>(WM_PAINT);
  b.Message<&TWinControl::WMEraseBkgnd>(WM_ERASEBKGND);
  b.Message<&TWinControl::WMPrintClient>(WM_PRINTCLIENT);
  b.Message<&TWinControl::WMNCPaint>(WM_NCPAINT);
  b.Message<&TWinControl::WMNCCalcSize>(WM_NCCALCSIZE);
  b.Message<&TWinControl::WMSize>(WM_SIZE);
  b.Message<&TWinControl::WMMove>(WM_MOVE);
  b.Message<&TWinControl::WMWindowPosChanged>(WM_WINDOWPOSCHANGED);
  b.Message<&TWinControl::WMWindowPosChanging>(WM_WINDOWPOSCHANGING);
  b.Message<&TWinControl::WMSetCursor>(WM_SETCURSOR);
  b.Message<&TWinControl::WMSetFocus>(WM_SETFOCUS);
  b.Message<&TWinControl::WMKillFocus>(WM_KILLFOCUS);
  b.Message<&TWinControl::WMKeyDown>(WM_KEYDOWN);
  b.Message<&TWinControl::WMKeyUp>(WM_KEYUP);
  b.Message<&TWinControl::WMChar>(WM_CHAR);
  b.Message<&TWinControl::WMSysKeyDown>(WM_SYSKEYDOWN);
  b.Message<&TWinControl::WMSysKeyUp>(WM_SYSKEYUP);
  b.Message<&TWinControl::WMCommand>(WM_COMMAND);
  b.Message<&TWinControl::WMNotify>(WM_NOTIFY);
  b.Message<&TWinControl::WMDrawItem>(WM_DRAWITEM);
  b.Message<&TWinControl::WMMeasureItem>(WM_MEASUREITEM);
  b.Message<&TWinControl::WMDeleteItem>(WM_DELETEITEM);
  b.Message<&TWinControl::WMCompareItem>(WM_COMPAREITEM);
  b.Message<&TWinControl::WMHScroll>(WM_HSCROLL);
  b.Message<&TWinControl::WMVScroll>(WM_VSCROLL);
  for (UINT m = WM_CTLCOLORMSGBOX; m <= WM_CTLCOLORSTATIC; ++m) b.Message<&TWinControl::WMCtlColor>(m);
  b.Message<&TWinControl::WMMouseLeave>(WM_MOUSELEAVE);
  b.Message<&TWinControl::WMDestroy>(WM_DESTROY);
  b.Message<&TWinControl::WMNCDestroy>(WM_NCDESTROY);
  b.Message<&TWinControl::CNKeyDown>(CN_KEYDOWN);
  b.Message<&TWinControl::CNKeyUp>(CN_KEYUP);
  b.Message<&TWinControl::CNChar>(CN_CHAR);
  b.Message<&TWinControl::CNSysKeyDown>(CN_SYSKEYDOWN);
  b.Message<&TWinControl::CNSysChar>(CN_SYSCHAR);
  b.Message<&TWinControl::CMShowingChanged>(CM_SHOWINGCHANGED);
  b.Message<&TWinControl::CMVisibleChanged>(CM_VISIBLECHANGED);
  b.Message<&TWinControl::CMEnabledChanged>(CM_ENABLEDCHANGED);
  b.Message<&TWinControl::CMFontChanged>(CM_FONTCHANGED);
  b.Message<&TWinControl::CMColorChanged>(CM_COLORCHANGED);
  b.Message<&TWinControl::CMCursorChanged>(CM_CURSORCHANGED);
  b.Message<&TWinControl::CMBorderChanged>(CM_BORDERCHANGED);
  b.Message<&TWinControl::CMInvalidate>(CM_INVALIDATE);
  b.Message<&TWinControl::CMRecreateWnd>(CM_RECREATEWND);
  b.Message<&TWinControl::CMEnter>(CM_ENTER);
  b.Message<&TWinControl::CMExit>(CM_EXIT);
  b.Message<&TWinControl::CMDialogKey>(CM_DIALOGKEY);
  b.Message<&TWinControl::CMDialogChar>(CM_DIALOGCHAR);
  b.Message<&TWinControl::CMChildKey>(CM_CHILDKEY);
  b.Message<&TWinControl::CMFocusChanged>(CM_FOCUSCHANGED);
  b.Message<&TWinControl::CMSysColorChange>(CM_SYSCOLORCHANGE);
  b.Message<&TWinControl::CMWinIniChange>(CM_WININICHANGE);
  b.Message<&TWinControl::CMFontChange>(CM_FONTCHANGE);
  b.Message<&TWinControl::CMTimeChange>(CM_TIMECHANGE);
  b.Message<&TWinControl::CMCtl3DChanged>(CM_CTL3DCHANGED);
  b.Message<&TWinControl::CMTabStopChanged>(CM_TABSTOPCHANGED);
  b.Message<&TWinControl::CMShowHintChanged>(CM_SHOWHINTCHANGED);
  b.Message<&TWinControl::CMBiDiModeChanged>(CM_BIDIMODECHANGED);
END_CLASS
