// TCustomForm and TForm.
#include "platform/gui/Forms.h"

#include "platform/core/Filer.h"
#include "platform/core/Lists.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Menus.h"

#include <algorithm>

namespace {

// Bumped by every focus change, so that a focus notification can tell
// whether its handler moved the focus elsewhere meanwhile.
int gFocusCount = 0;

bool SendFocusMessage(HWND window, UINT msg) {
  const int count = gFocusCount;
  SendMessageW(window, msg, 0, 0);
  return gFocusCount == count;
}

int ShowCommandOf(TWindowState state) {
  switch (state) {
    case wsMinimized: return SW_SHOWMINIMIZED;
    case wsMaximized: return SW_SHOWMAXIMIZED;
    default: return SW_SHOWNORMAL;
  }
}

// A form definition also stores what the designer knew; the run time reads
// and forgets it.
void SkipValue(TReader* reader) { reader->SkipValue(); }

// A control can become the active control of a hidden form: only the
// controls between it and the form must be visible and enabled.
bool CanFocusOnForm(TWinControl* control, TCustomForm* form) {
  for (TControl* c = control; c && c != form; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Life
// ---------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner, int) : TWinControl(AOwner) { InitForm(); }

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  InitForm();
  createdFromDefinition_ = true;
}

void TCustomForm::InitForm() {
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TWinControl::SetBounds(0, 0, 320, 240);
  icon_ = Make<TIcon>();
  icon_->OnChange = TNotifyEvent::Bind<&TCustomForm::IconChanged>(this);
  auto* canvas = Make<TControlCanvas>();
  canvas->SetControl(this);
  canvas_ = canvas;
  SetVisible(false);
  SetParentColor(false);
  SetParentFont(false);
  SetColor(clBtnFace);
  if (Screen) {
    pixelsPerInch_ = Screen->PixelsPerInch();
    Screen->AddForm(this);
  }
}

TCustomForm::~TCustomForm() {
  if (Screen) Screen->RemoveForm(this);
  if (Application) Application->FormDestroyed(this);
  if (menu_) menu_->RemoveFreeNotification(this);
  if (popupParent_) popupParent_->RemoveFreeNotification(this);
  TObject::Free(canvas_);
  TObject::Free(icon_);
}

void TCustomForm::AfterConstruction() {
  TWinControl::AfterConstruction();
  if (createdFromDefinition_) {
    formState_ += fsCreating;
    try {
      const TClass cls = ClassType();
      if (cls != TForm::StaticClass() && cls != TCustomForm::StaticClass() &&
          !InitInheritedComponent(this, TForm::StaticClass()))
        throw EResNotFound(L"Resource " + ClassName() + L" not found");
    } catch (...) {
      formState_ -= fsCreating;
      throw;
    }
    formState_ -= fsCreating;
  }
  DoCreate();
  if (formState_.Contains(fsActivated)) {
    formState_ -= fsActivated;
    Activate();
  }
  if (formState_.Contains(fsVisible)) {
    formState_ -= fsVisible;
    SetVisible(true);
  }
}

void TCustomForm::BeforeDestruction() {
  if (Application) Application->FormDestroyed(this);
  if (!destroyNotified_) {
    destroyNotified_ = true;
    // A form goes away hidden (OnHide runs), then tells OnDestroy.
    if (formStyle_ != fsMDIChild && Visible() && HandleAllocated()) {
      try {
        Hide();
      } catch (...) {
        if (!Application) throw;
        Application->HandleException(this);
      }
    }
    DoDestroy();
  }
  // The screen must not report a form that is half gone.
  if (Screen) Screen->RemoveForm(this);
  if (menu_) menu_->SetWindowHandle(nullptr);
  TWinControl::BeforeDestruction();
}

void TCustomForm::DoCreate() {
  if (!OnCreate) return;
  try {
    OnCreate(this);
  } catch (...) {
    if (!Application) throw;
    Application->HandleException(this);
  }
}

void TCustomForm::DoDestroy() {
  if (!OnDestroy) return;
  try {
    OnDestroy(this);
  } catch (...) {
    if (!Application) throw;
    Application->HandleException(this);
  }
}

// ---------------------------------------------------------------------------
// Component stream
// ---------------------------------------------------------------------------

void TCustomForm::DefineProperties(TFiler* filer) {
  TWinControl::DefineProperties(filer);
  filer->DefineProperty(
      L"TextHeight", [this](TReader* r) { textHeight_ = r->ReadInteger(); },
      [this](TWriter* w) { w->WriteInteger(textHeight_); }, textHeight_ > 0);
  filer->DefineProperty(L"IgnoreFontProperty", &SkipValue, nullptr, false);
}

void TCustomForm::ReadState(TReader* reader) {
  DisableAlign();
  storedClientWidth_ = 0;
  storedClientHeight_ = 0;
  textHeight_ = 0;
  try {
    TWinControl::ReadState(reader);
  } catch (...) {
    EnableAlign();
    throw;
  }
  ApplyStoredClientSize();
  EnableAlign();
}

void TCustomForm::SetStoredClientWidth(int value) {
  if (controlState_.Contains(csReadingState))
    storedClientWidth_ = value;
  else
    SetClientWidth(value);
}

void TCustomForm::SetStoredClientHeight(int value) {
  if (controlState_.Contains(csReadingState))
    storedClientHeight_ = value;
  else
    SetClientHeight(value);
}

void TCustomForm::ApplyStoredClientSize() {
  if (storedClientWidth_ > 0) SetClientWidth(storedClientWidth_);
  if (storedClientHeight_ > 0) SetClientHeight(storedClientHeight_);
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  if (activeControl_) {
    TWinControl* control = activeControl_;
    activeControl_ = nullptr;
    if (CanFocusOnForm(control, this)) SetActiveControl(control);
  }
}

void TCustomForm::Notification(TComponent* AComponent, TOperation operation) {
  TWinControl::Notification(AComponent, operation);
  if (operation != opRemove) return;
  if (AComponent == menu_) SetMenu(nullptr);
  if (AComponent == popupParent_) {
    popupParent_ = nullptr;
    if (popupMode_ == pmExplicit && HandleAllocated() && !ComponentState().Contains(csDestroying)) RecreateWnd();
  }
  if (AComponent == activeControl_) activeControl_ = nullptr;
}

// Besides its child controls, a form stores the components it owns that
// have no parent (menus, action lists, image lists, ...).
void TCustomForm::GetChildren(TGetChildProc proc, TComponent* root) {
  TWinControl::GetChildren(proc, root);
  if (root != this) return;
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* c = Components(i);
    if (!c->HasParent()) proc(c);
  }
}

// ---------------------------------------------------------------------------
// The window
// ---------------------------------------------------------------------------

HWND TCustomForm::PopupOwnerWindow(const TCreateParams& Params) {
  if (!Application) return Params.WndParent;
  TForm* mainForm = Application->MainForm();
  const bool onTaskBar = Application->MainFormOnTaskBar();
  auto mainOrApp = [&]() -> HWND {
    if (onTaskBar) {
      if (mainForm && mainForm != this) return mainForm->Handle();
      return nullptr;
    }
    return Application->Handle();
  };
  if (mainForm == this) return onTaskBar ? nullptr : Application->Handle();
  switch (popupMode_) {
    case pmAuto: {
      HWND wnd = nullptr;
      if (TCustomForm* active = Screen ? Screen->ActiveCustomForm() : nullptr; active && active != this)
        wnd = active->Handle();
      if (wnd && (IsIconic(wnd) || !IsWindowVisible(wnd) || !IsWindowEnabled(wnd))) wnd = nullptr;
      return wnd ? wnd : mainOrApp();
    }
    case pmExplicit:
      if (popupParent_ && popupParent_ != this) return popupParent_->Handle();
      return mainOrApp();
    default:
      return mainOrApp();
  }
}

void TCustomForm::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  const bool topLevel = !Parent() && !ParentWindow();
  Params.WindowClass.style = CS_DBLCLKS;
  if (topLevel) Params.Style &= ~(WS_CHILD | WS_GROUP | WS_TABSTOP);
  if (ComponentState().Contains(csDesigning)) return;
  TBorderIcons icons = borderIcons_;
  TFormBorderStyle style = borderStyle_;
  if (formStyle_ == fsMDIChild && (style == bsNone || style == bsDialog)) style = bsSizeable;
  switch (style) {
    case bsNone:
      if (topLevel) Params.Style |= WS_POPUP;
      icons = {};
      break;
    case bsSingle:
    case bsToolWindow:
      Params.Style |= WS_CAPTION | WS_BORDER;
      break;
    case bsSizeable:
    case bsSizeToolWin:
      Params.Style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case bsDialog:
      Params.Style |= WS_POPUP | WS_CAPTION;
      Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      icons = icons * TBorderIcons{biSystemMenu, biHelp};
      Params.WindowClass.style |= CS_SAVEBITS | CS_BYTEALIGNWINDOW;
      break;
  }
  if (style == bsToolWindow || style == bsSizeToolWin) Params.ExStyle |= WS_EX_TOOLWINDOW;
  if (icons.Contains(biSystemMenu)) {
    Params.Style |= WS_SYSMENU;
    if (icons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
    if (icons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
    if (icons.Contains(biHelp) && (style == bsDialog || !(icons.Contains(biMinimize) || icons.Contains(biMaximize))))
      Params.ExStyle |= WS_EX_CONTEXTHELP;
  }
  if (formStyle_ == fsMDIChild) Params.ExStyle |= WS_EX_MDICHILD;
  if (alphaBlend_ || transparentColor_) Params.ExStyle |= WS_EX_LAYERED;
  if (!topLevel) return;
  // A form that will show maximized is made maximized while still hidden: its
  // controls are laid out once, at the size they are shown with, and the show
  // itself changes no size. The stored bounds stay the window's restored ones.
  if (windowState_ == wsMaximized && formStyle_ != fsMDIChild) Params.Style |= WS_MAXIMIZE;
  Params.WndParent = PopupOwnerWindow(Params);
  if (formStyle_ == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
  if (Application && Application->MainFormOnTaskBar() && Application->MainForm() == this)
    Params.ExStyle |= WS_EX_APPWINDOW;
  // The system's default place and size exist for overlapped windows only
  // (a popup asked for them would land at 0, 0 without size).
  if (!(Params.Style & WS_POPUP)) {
    if (position_ == poDefault || position_ == poDefaultPosOnly) {
      Params.X = CW_USEDEFAULT;
      Params.Y = CW_USEDEFAULT;
    }
    if (position_ == poDefault || position_ == poDefaultSizeOnly) {
      Params.Width = CW_USEDEFAULT;
      Params.Height = CW_USEDEFAULT;
    }
  }
}

void TCustomForm::CreateWindowHandle(const TCreateParams& Params) {
  if (formStyle_ != fsMDIChild || ComponentState().Contains(csDesigning)) {
    TWinControl::CreateWindowHandle(Params);
    return;
  }
  TCustomForm* frame = Application ? Application->MainForm() : nullptr;
  if (!frame || frame->FormStyle() != fsMDIForm || !frame->ClientHandle())
    throw EInvalidOperation(L"Cannot create form. No MDI forms are currently active");
  MDICREATESTRUCTW mcs{};
  mcs.szClass = Params.WinClassName;
  mcs.szTitle = Params.Caption;
  mcs.hOwner = Params.WindowClass.hInstance;
  mcs.x = Params.X;
  mcs.y = Params.Y;
  mcs.cx = Params.Width;
  mcs.cy = Params.Height;
  mcs.style = Params.Style & ~(WS_POPUP | WS_VISIBLE);
  auto h = reinterpret_cast<HWND>(SendMessageW(frame->ClientHandle(), WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  if (h && IsWindow(h) && FindControl(h) == this) {
    TWinControl::SetWindowHandle(h);
    formState_ += fsCreatedMDIChild;
  }
}

void TCustomForm::CreateWnd() {
  TWinControl::CreateWnd();
  HWND h = WindowHandle();
  if (!h) return;
  if (formStyle_ == fsMDIForm && !clientHandle_) {
    CLIENTCREATESTRUCT ccs{};
    ccs.hWindowMenu = nullptr;
    ccs.idFirstChild = 0xFF00;
    const TRect r = ClientRect();
    clientHandle_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                                    WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | WS_CLIPCHILDREN | WS_HSCROLL |
                                        WS_VSCROLL | WS_CLIPSIBLINGS | MDIS_ALLCHILDSTYLES,
                                    0, 0, r.Width(), r.Height(), h, nullptr, GetModuleHandleW(nullptr), &ccs);
    // Into the area the aligned controls leave (AlignControls).
    if (clientHandle_) Realign();
  }
  if (menu_) {
    ::SetMenu(h, menu_->Handle());
    menu_->SetWindowHandle(h);
    // The window keeps its client size when the menu bar takes room.
    if (storedClientHeight_ > 0 || storedClientWidth_ > 0) ApplyStoredClientSize();
  }
  UpdateLayered();
  // A new window has no icon of its own: only one to give is sent (the
  // system answers WM_SETICON by building the icon for the window manager).
  if (icon_->HandleAllocated() || !icon_->Empty()) UpdateWindowIcon();
}

void TCustomForm::DestroyWnd() {
  if (menu_) menu_->SetWindowHandle(nullptr);
  clientHandle_ = nullptr;   // a child window: it goes with ours
  formState_ -= fsCreatedMDIChild;
  TWinControl::DestroyWnd();
}

void TCustomForm::DefaultHandler(void* Message) {
  HWND h = WindowHandle();
  if (h && (clientHandle_ || formState_.Contains(fsCreatedMDIChild))) {
    TMessage& m = *static_cast<TMessage*>(Message);
    // WM_SIZE not to the frame's default, which would stretch the MDI client
    // over the whole client area: AlignControls places it.
    const bool ownSize = m.Msg == WM_SIZE && clientHandle_;
    if (!(m.Msg >= CN_CTLCOLORMSGBOX && m.Msg <= CN_CTLCOLORSTATIC) && !ownSize) {
      if (clientHandle_)
        m.Result = DefFrameProcW(h, clientHandle_, m.Msg, m.WParam, m.LParam);
      else
        m.Result = DefMDIChildProcW(h, m.Msg, m.WParam, m.LParam);
      return;
    }
  }
  TWinControl::DefaultHandler(Message);
}

void TCustomForm::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ACTIVATE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      ++gFocusCount;
      break;
  }
  TWinControl::WndProc(Message);
}

void TCustomForm::RecreateWhenAllocated() {
  if (HandleAllocated() && !ComponentState().Contains(csDesigning)) RecreateWnd();
}

// The frame of a form with the given client size, from the window styles
// the form has (or would have).
TRect TCustomForm::FrameForClient(TPoint clientSize) {
  DWORD style, exStyle;
  if (HWND h = WindowHandle()) {
    style = static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE));
    exStyle = static_cast<DWORD>(GetWindowLongW(h, GWL_EXSTYLE));
  } else {
    TCreateParams params;
    CreateParams(params);
    style = params.Style;
    exStyle = params.ExStyle;
  }
  RECT r{0, 0, clientSize.X, clientSize.Y};
  const BOOL hasMenu = WindowHandle() ? ::GetMenu(WindowHandle()) != nullptr : menu_ != nullptr;
  AdjustWindowRectEx(&r, style & ~WS_MINIMIZE & ~WS_MAXIMIZE, hasMenu, exStyle);
  return {r.left, r.top, r.right, r.bottom};
}

TRect TCustomForm::ClientRect() {
  if (HandleAllocated() && !IsIconic(WindowHandle())) return TWinControl::ClientRect();
  // No window (or an icon): the client area the frame would leave.
  const TRect frame = FrameForClient({0, 0});
  return {0, 0, std::max(0, width_ - frame.Width()), std::max(0, height_ - frame.Height())};
}

void TCustomForm::SetClientSize(TPoint value) {
  const TRect client = ClientRect();
  SetBounds(left_, top_, width_ - client.Right + value.X, height_ - client.Bottom + value.Y);
}

// The form paints itself (OnPaint) where it has no windowless children too:
// the paint goes through PaintHandler and PaintWindow.
void TCustomForm::WMPaint(TWMPaint& Message) {
  if (HWND h = WindowHandle(); h && IsIconic(h)) {
    DispatchInherited(TCustomForm::StaticClass(), &Message);
    return;
  }
  const bool custom = controlState_.Contains(csCustomPaint);
  controlState_ += csCustomPaint;
  TControlGuard guard(this);
  try {
    DispatchInherited(TCustomForm::StaticClass(), &Message);
  } catch (...) {
    if (guard.Alive() && !custom) controlState_ -= csCustomPaint;
    throw;
  }
  if (guard.Alive() && !custom) controlState_ -= csCustomPaint;
}

void TCustomForm::PaintWindow(HDC DC) {
  auto* canvas = static_cast<TControlCanvas*>(canvas_);
  canvas->Lock();
  canvas->SetHandle(DC);
  TControlGuard guard(this);
  try {
    canvas->UpdateTextFlags();
    Paint();
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

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomForm::UpdateLayered() {
  HWND h = WindowHandle();
  if (!h) return;
  const LONG ex = GetWindowLongW(h, GWL_EXSTYLE);
  const bool want = alphaBlend_ || transparentColor_;
  if (want) {
    if (!(ex & WS_EX_LAYERED)) SetWindowLongW(h, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SetLayeredWindowAttributes(h, ColorToGDI(transparentColorValue_), alphaBlendValue_,
                               (alphaBlend_ ? LWA_ALPHA : 0) | (transparentColor_ ? LWA_COLORKEY : 0));
  } else if (ex & WS_EX_LAYERED) {
    SetWindowLongW(h, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
    RedrawWindow(h, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

void TCustomForm::UpdateWindowIcon() {
  HWND h = WindowHandle();
  if (!h) return;
  HICON icon = icon_->HandleAllocated() || !icon_->Empty() ? icon_->Handle() : nullptr;
  SendMessageW(h, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(h, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void TCustomForm::IconChanged(TObject*) { UpdateWindowIcon(); }

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

void TCustomForm::SetWindowState(TWindowState value) {
  if (windowState_ == value) return;
  windowState_ = value;
  if (!ComponentState().Contains(csDesigning) && Showing()) ShowWindow(Handle(), ShowCommandOf(value));
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
  if (borderStyle_ == value) return;
  borderStyle_ = value;
  RecreateWhenAllocated();
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
  if (borderIcons_ == value) return;
  borderIcons_ = value;
  RecreateWhenAllocated();
}

void TCustomForm::SetFormStyle(TFormStyle value) {
  if (formStyle_ == value) return;
  if (value == fsMDIChild && Application && Application->MainForm() == this)
    throw EInvalidOperation(L"Cannot make the main form an MDI child");
  const TFormStyle old = formStyle_;
  formStyle_ = value;
  if (!HandleAllocated() || ComponentState().Contains(csDesigning)) return;
  if ((old == fsStayOnTop) != (value == fsStayOnTop) && old != fsMDIChild && value != fsMDIChild &&
      old != fsMDIForm && value != fsMDIForm) {
    SetWindowPos(WindowHandle(), value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  RecreateWnd();
}

void TCustomForm::SetPosition(TPosition value) { position_ = value; }

void TCustomForm::SetPopupMode(TPopupMode value) {
  if (popupMode_ == value) return;
  popupMode_ = value;
  if (value != pmExplicit && popupParent_) {
    popupParent_->RemoveFreeNotification(this);
    popupParent_ = nullptr;
  }
  RecreateWhenAllocated();
}

void TCustomForm::SetPopupParent(TCustomForm* value) {
  if (value == this) throw EInvalidOperation(L"A form cannot be its own popup parent");
  if (popupParent_ == value) return;
  if (popupParent_) popupParent_->RemoveFreeNotification(this);
  popupParent_ = value;
  if (value) {
    value->FreeNotification(this);
    popupMode_ = pmExplicit;
  }
  RecreateWhenAllocated();
}

void TCustomForm::SetAlphaBlend(bool value) {
  if (alphaBlend_ == value) return;
  alphaBlend_ = value;
  UpdateLayered();
}

void TCustomForm::SetAlphaBlendValue(Byte value) {
  if (alphaBlendValue_ == value) return;
  alphaBlendValue_ = value;
  UpdateLayered();
}

void TCustomForm::SetTransparentColor(bool value) {
  if (transparentColor_ == value) return;
  transparentColor_ = value;
  UpdateLayered();
}

void TCustomForm::SetTransparentColorValue(TColor value) {
  if (transparentColorValue_ == value) return;
  transparentColorValue_ = value;
  UpdateLayered();
}

void TCustomForm::SetIcon(TIcon* value) { icon_->Assign(value); }

void TCustomForm::SetMenu(TMainMenu* value) {
  if (menu_ == value) return;
  if (menu_) {
    menu_->RemoveFreeNotification(this);
    menu_->SetWindowHandle(nullptr);
  }
  menu_ = value;
  if (value) value->FreeNotification(this);
  HWND h = WindowHandle();
  if (!h || ComponentState().Contains(csDestroying)) return;
  if (value) {
    ::SetMenu(h, value->Handle());
    value->SetWindowHandle(h);
  } else {
    ::SetMenu(h, nullptr);
  }
}

TMonitor* TCustomForm::Monitor() {
  if (!Screen) return nullptr;
  if (HWND h = WindowHandle()) return Screen->MonitorFromWindow(h);
  return Screen->MonitorFromRect(BoundsRect());
}

// ---------------------------------------------------------------------------
// Showing
// ---------------------------------------------------------------------------

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::SetFormVisible(bool value) {
  if (formState_.Contains(fsCreating)) {
    if (value)
      formState_ += fsVisible;
    else
      formState_ -= fsVisible;
    return;
  }
  SetVisible(value);
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

// Places a form that is about to show as its Position asks, once.
void TCustomForm::ApplyPosition() {
  if (formStyle_ == fsMDIChild) return;
  TRect area;
  bool center = true;
  switch (position_) {
    case poScreenCenter: {
      TMonitor* m = nullptr;
      if (Screen) {
        switch (defaultMonitor_) {
          case dmPrimary: m = Screen->PrimaryMonitor(); break;
          case dmMainForm:
            if (Application && Application->MainForm() && Application->MainForm() != this)
              m = Application->MainForm()->Monitor();
            break;
          case dmActiveForm:
            if (Screen->ActiveCustomForm() && Screen->ActiveCustomForm() != this)
              m = Screen->ActiveCustomForm()->Monitor();
            break;
          default: break;
        }
        if (!m) m = Screen->PrimaryMonitor();
      }
      area = m ? m->WorkareaRect() : TRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
      break;
    }
    case poDesktopCenter:
      area = Screen ? Screen->DesktopRect() : TRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
      break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
      TCustomForm* center = nullptr;
      if (position_ == poOwnerFormCenter) center = dynamic_cast<TCustomForm*>(Owner());
      if (!center && Application) center = Application->MainForm();
      if (!center || center == this || !center->HandleAllocated()) {
        area = Screen ? Screen->WorkAreaRect() : TRect();
      } else {
        area = center->BoundsRect();
      }
      break;
    }
    default:
      center = false;
      break;
  }
  if (!center) return;
  // A form made maximized while hidden is centred at the size it restores to.
  int width = width_, height = height_;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (HWND h = WindowHandle(); h && IsZoomed(h) && GetWindowPlacement(h, &placement)) {
    width = placement.rcNormalPosition.right - placement.rcNormalPosition.left;
    height = placement.rcNormalPosition.bottom - placement.rcNormalPosition.top;
  }
  int x = area.Left + (area.Width() - width) / 2;
  int y = area.Top + (area.Height() - height) / 2;
  // Keep the caption reachable on the monitor.
  if (Screen) {
    const TRect work = Screen->MonitorFromPoint({x + width / 2, y + height / 2})->WorkareaRect();
    x = std::max(work.Left, std::min(x, work.Right - width));
    y = std::max(work.Top, std::min(y, work.Bottom - height));
  }
  SetBounds(x, y, width, height);
  position_ = poDesigned;
}

void TCustomForm::CMShowingChanged(TMessage&) {
  if (formState_.Contains(fsShowing)) throw EInvalidOperation(L"Cannot change Visible in OnShow or OnHide");
  formState_ += fsShowing;
  TControlGuard guard(this);
  try {
    HWND h = Handle();
    if (Showing()) {
      try {
        DoShow();
      } catch (...) {
        if (!Application) throw;
        Application->HandleException(this);
      }
      if (!guard.Alive()) return;
      ApplyPosition();
      if (formStyle_ == fsMDIChild && windowState_ == wsMaximized)
        SendMessageW(GetParent(h), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(h), 0);
      ShowWindow(h, ShowCommandOf(windowState_));
      if (guard.Alive() && formStyle_ == fsMDIChild)
        SendMessageW(GetParent(h), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(h), 0);
    } else {
      try {
        DoHide();
      } catch (...) {
        if (!Application) throw;
        Application->HandleException(this);
      }
      if (!guard.Alive()) return;
      if (formState_.Contains(fsModal))
        SetWindowPos(h, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      else
        ShowWindow(h, SW_HIDE);
    }
  } catch (...) {
    if (guard.Alive()) formState_ -= fsShowing;
    throw;
  }
  if (guard.Alive()) formState_ -= fsShowing;
}

// ---------------------------------------------------------------------------
// Closing
// ---------------------------------------------------------------------------

bool TCustomForm::CloseQuery() {
  if (formStyle_ == fsMDIForm) {
    for (int i = 0; i < MDIChildCount(); ++i)
      if (!MDIChildren(i)->CloseQuery()) return false;
  }
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

void TCustomForm::Close() {
  if (formState_.Contains(fsModal)) {
    modalResult_ = mrCancel;
    return;
  }
  TControlGuard guard(this);
  if (!CloseQuery() || !guard.Alive()) return;
  TCloseAction action = caHide;
  if (formStyle_ == fsMDIChild) action = borderIcons_.Contains(biMinimize) ? caMinimize : caNone;
  DoClose(action);
  if (!guard.Alive() || action == caNone) return;
  if (Application && Application->MainForm() == this)
    Application->Terminate();
  else if (action == caHide)
    Hide();
  else if (action == caMinimize)
    SetWindowState(wsMinimized);
  else
    Release();
}

void TCustomForm::Release() { PostMessageW(Handle(), CM_RELEASE, 0, 0); }

void TCustomForm::CMRelease(TMessage&) { TObject::Free(this); }

void TCustomForm::WMClose(TWMNoParams&) { Close(); }

void TCustomForm::WMQueryEndSession(TWMQueryEndSession& Message) { Message.Result = CloseQuery() ? 1 : 0; }

void TCustomForm::CloseModal() {
  try {
    TCloseAction action = caNone;
    if (CloseQuery()) {
      action = caHide;
      DoClose(action);
    }
    switch (action) {
      case caNone: modalResult_ = mrNone; break;
      case caFree: Release(); break;
      default: break;
    }
  } catch (...) {
    modalResult_ = mrNone;
    if (!Application) throw;
    Application->HandleException(this);
  }
}

int TCustomForm::ShowModal() {
  if (!Application) throw EInvalidOperation(L"The application object does not exist");
  CancelDrag();
  if (Visible() || !Enabled() || formState_.Contains(fsModal) || formStyle_ == fsMDIChild)
    throw EInvalidOperation(L"Cannot make a visible window modal");
  if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  if (Application) Application->ModalStarted();
  TControlGuard guard(this);
  int result = mrNone;
  formState_ += fsModal;
  HWND activeWindow = GetActiveWindow();
  TCustomForm* savedFocused = Screen ? Screen->FocusedForm() : nullptr;
  TCursor savedCursor = crDefault;
  int savedCursorCount = 0;
  if (Screen) {
    Screen->saveFocusedList_.insert(Screen->saveFocusedList_.begin(), savedFocused);
    Screen->SetFocusedForm(this);
    savedCursor = Screen->Cursor();
    Screen->SetCursor(crDefault);
    savedCursorCount = Screen->CursorCount();
  }
  std::vector<HWND>* windowList = DisableTaskWindows(nullptr);
  auto restore = [&] {
    if (Screen) {
      if (Screen->CursorCount() == savedCursorCount)
        Screen->SetCursor(savedCursor);
      else
        Screen->SetCursor(crDefault);
    }
    EnableTaskWindows(windowList);
    windowList = nullptr;
    if (Screen) {
      auto& list = Screen->saveFocusedList_;
      if (!list.empty()) {
        Screen->SetFocusedForm(list.front());
        list.erase(list.begin());
      } else {
        Screen->SetFocusedForm(nullptr);
      }
    }
    if (activeWindow && IsWindow(activeWindow)) SetActiveWindow(activeWindow);
    if (guard.Alive()) formState_ -= fsModal;
    if (Application) Application->ModalFinished();
  };
  try {
    Show();
    try {
      SendMessageW(Handle(), CM_ACTIVATE, 0, 0);
      modalResult_ = mrNone;
      do {
        Application->HandleMessage();
        if (!guard.Alive()) break;
        if (Application->Terminated())
          modalResult_ = mrCancel;
        else if (modalResult_ != mrNone)
          CloseModal();
      } while (guard.Alive() && modalResult_ == mrNone);
      if (guard.Alive()) {
        result = modalResult_;
        SendMessageW(Handle(), CM_DEACTIVATE, 0, 0);
        if (GetActiveWindow() != WindowHandle()) activeWindow = nullptr;
      } else {
        result = mrCancel;
      }
    } catch (...) {
      if (guard.Alive()) Hide();
      throw;
    }
    if (guard.Alive()) Hide();
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return result;
}

// ---------------------------------------------------------------------------
// Focus and activation
// ---------------------------------------------------------------------------

bool TCustomForm::CanFocus() { return Visible() && Enabled(); }

void TCustomForm::SetFocus() {
  if (active_) return;
  if (!CanFocus()) throw EInvalidOperation(L"Cannot focus a disabled or invisible window");
  SetWindowFocus();
}

void TCustomForm::SetWindowFocus() {
  HWND target = activeControl_ ? activeControl_->Handle() : Handle();
  ::SetFocus(target);
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (activeControl_ == Control) return;
  if (Control && (Control == this || GetParentForm(Control) != this ||
                  (!ComponentState().Contains(csLoading) && !CanFocusOnForm(Control, this))))
    throw EInvalidOperation(L"Cannot focus a disabled or invisible window");
  activeControl_ = Control;
  if (!ComponentState().Contains(csLoading) && !ComponentState().Contains(csDestroying) && active_)
    SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* Control) {
  const bool wasActive = active_;
  SetActiveControl(Control);
  if (!wasActive) SetFocus();
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
  TWinControl::DefocusControl(Control, Removing);
  if (activeControl_ && Control->ContainsControl(activeControl_)) activeControl_ = nullptr;
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  if (Control->ControlState().Contains(csFocusing)) return true;
  ++gFocusCount;
  activeControl_ = Control != this ? Control : nullptr;
  TControlGuard self(this);
  TControlGuard target(Control);
  if (Screen) {
    Screen->activeControl_ = Control;
    Screen->activeCustomForm_ = this;
    Screen->activeForm_ = dynamic_cast<TForm*>(this);
    Screen->MoveToFront(this);
  }
  Control->SetControlState(Control->ControlState() + csFocusing);
  auto done = [&](bool result) {
    if (target.Alive()) Control->SetControlState(Control->ControlState() - csFocusing);
    if (Screen) Screen->UpdateLastActive();
    return result;
  };
  if (Screen && Screen->FocusedForm() != this) {
    if (TCustomForm* previous = Screen->FocusedForm()) {
      Screen->SetFocusedForm(nullptr);
      if (previous->HandleAllocated() && !SendFocusMessage(previous->WindowHandle(), CM_DEACTIVATE))
        return done(false);
    }
    if (!self.Alive()) return done(false);
    Screen->SetFocusedForm(this);
    if (!SendFocusMessage(Handle(), CM_ACTIVATE)) return done(false);
  }
  if (!self.Alive() || !target.Alive()) return done(false);
  // The exits and enters of the controls between the old and the new focus
  // (the base class guards against re-entry itself).
  Control->SetControlState(Control->ControlState() - csFocusing);
  if (!TWinControl::SetFocusedControl(Control)) return done(false);
  if (!self.Alive() || !target.Alive()) return done(false);
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
  return done(true);
}

void TCustomForm::SetActive(bool value) {
  active_ = value;
  if (!value) return;
  if (!activeControl_ && !ComponentState().Contains(csDesigning))
    activeControl_ = FindNextControl(nullptr, true, true, false);
  SetWindowFocus();
}

void TCustomForm::WMActivate(TWMActivate& Message) {
  if (formStyle_ != fsMDIForm || ComponentState().Contains(csDesigning))
    SetActive(Message.Active != WA_INACTIVE);
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::CMActivate(TMessage&) {
  if (!ComponentState().Contains(csReading))
    Activate();
  else
    formState_ += fsActivated;
}

void TCustomForm::CMDeactivate(TMessage&) {
  if (!ComponentState().Contains(csReading))
    Deactivate();
  else
    formState_ -= fsActivated;
}

void TCustomForm::SendCancelMode(TControl* Sender) {
  if (active_ && activeControl_) activeControl_->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
}

// The form's own shortcuts: OnShortCut, the menu, then the action lists the
// form owns.
bool TCustomForm::IsFormShortCut(TWMKey& Message) {
  bool handled = false;
  if (OnShortCut) OnShortCut(Message, handled);
  if (handled) return true;
  if (menu_ && menu_->WindowHandle() && menu_->IsShortCut(Message)) return true;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* list = dynamic_cast<TCustomActionList*>(Components(i)); list && list->IsShortCut(Message))
      return true;
  return false;
}

bool TCustomForm::IsShortCut(TWMKey& Message) {
  if (IsFormShortCut(Message)) return true;
  // What the form does not take goes to the application (OnShortCut and the
  // main form's shortcuts), as a key no control wanted.
  return Application && Application->IsShortCut(Message, this);
}

void TCustomForm::CMDialogKey(TWMKey& Message) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (Message.CharCode) {
      case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
          Message.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (activeControl_ && activeControl_->Parent()) {
          activeControl_->Parent()->SelectNext(activeControl_,
                                               Message.CharCode == VK_RIGHT || Message.CharCode == VK_DOWN, false);
          Message.Result = 1;
        }
        return;
    }
  }
  DispatchInherited(TCustomForm::StaticClass(), &Message);
}

// ---------------------------------------------------------------------------
// Other messages
// ---------------------------------------------------------------------------

void TCustomForm::WMCommand(TWMCommand& Message) {
  if (Message.Ctl == nullptr && menu_ && menu_->DispatchCommand(Message.ItemID)) return;
  DispatchInherited(TCustomForm::StaticClass(), &Message);
}

void TCustomForm::WMInitMenuPopup(TWMInitMenuPopup& Message) {
  if (menu_ && menu_->DispatchPopup(Message.MenuPopup)) return;
  DispatchInherited(TCustomForm::StaticClass(), &Message);
}

void TCustomForm::WMMenuSelect(TWMMenuSelect& Message) {
  DispatchInherited(TCustomForm::StaticClass(), &Message);
  if (!menu_ || !Application) return;
  String hint;
  if (Message.MenuFlag != 0xFFFF || Message.Menu) {
    const bool popup = (Message.MenuFlag & MF_POPUP) != 0;
    const UINT_PTR id = popup ? reinterpret_cast<UINT_PTR>(GetSubMenu(Message.Menu, Message.IDItem)) : Message.IDItem;
    if (TMenuItem* item = menu_->FindItem(id, popup ? fkHandle : fkCommand)) hint = item->Hint();
  }
  Application->SetHint(GetLongHint(hint));
}

void TCustomForm::WMSize(TWMSize& Message) {
  // Only a shown window reports the user's choice: the sizes sent while the
  // window is created must not undo a WindowState waiting for the show.
  if (HWND h = WindowHandle(); h && IsWindowVisible(h) && !ComponentState().Contains(csDesigning)) {
    switch (Message.SizeType) {
      case SIZE_RESTORED: windowState_ = wsNormal; break;
      case SIZE_MINIMIZED: windowState_ = wsMinimized; break;
      case SIZE_MAXIMIZED: windowState_ = wsMaximized; break;
    }
  }
  // The base class realigns, which places the MDI client (AlignControls).
  DispatchInherited(TCustomForm::StaticClass(), &Message);
}

// The MDI client takes the area the aligned controls leave, as an alClient
// control would: docked bars and panels stay clear of the MDI children.
void TCustomForm::AlignControls(TControl* AControl, TRect& Rect) {
  TControlGuard guard(this);
  TWinControl::AlignControls(AControl, Rect);
  if (!guard.Alive() || !clientHandle_) return;
  SetWindowPos(clientHandle_, nullptr, Rect.Left, Rect.Top, std::max(0, Rect.Width()), std::max(0, Rect.Height()),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomForm::WMSysCommand(TWMSysCommand& Message) {
  if ((Message.CmdType & 0xFFF0) == SC_MINIMIZE && Application && Application->MainForm() == this &&
      !Application->MainFormOnTaskBar()) {
    Application->Minimize();
    return;
  }
  DispatchInherited(TCustomForm::StaticClass(), &Message);
}

void TCustomForm::WMEraseBkgnd(TWMEraseBkgnd& Message) {
  if (clientHandle_) {
    Message.Result = 1;
    return;
  }
  DispatchInherited(TCustomForm::StaticClass(), &Message);
}

void TCustomForm::WMDestroy(TMessage& Message) {
  active_ = false;
  DispatchInherited(TCustomForm::StaticClass(), &Message);
}

void TCustomForm::CMTextChanged(TMessage& Message) {
  DispatchInherited(TCustomForm::StaticClass(), &Message);
  if (Application && Application->MainForm() == this && !Application->MainFormOnTaskBar() &&
      Application->Title().empty())
    SetWindowTextW(Application->Handle(), Text().c_str());
}

void TCustomForm::CMMenuChanged(TMessage&) {
  if (HWND h = WindowHandle(); h && menu_) {
    ::SetMenu(h, menu_->Handle());
    DrawMenuBar(h);
  }
}

// ---------------------------------------------------------------------------
// Actions
// ---------------------------------------------------------------------------

namespace {

void UpdateControlActions(TWinControl* container) {
  for (int i = 0; i < container->ControlCount(); ++i) {
    TControl* c = container->Controls(i);
    if (!c->Visible()) continue;
    c->InitiateAction();
    if (auto* w = dynamic_cast<TWinControl*>(c)) UpdateControlActions(w);
  }
}

void UpdateMenuActions(TMenuItem* item) {
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    child->InitiateAction();
    UpdateMenuActions(child);
  }
}

}  // namespace

void TCustomForm::UpdateActions() {
  if (ComponentState().Contains(csDesigning) || !Showing()) return;
  InitiateAction();
  UpdateControlActions(this);
  if (menu_) UpdateMenuActions(menu_->Items());
}

// ---------------------------------------------------------------------------
// MDI
// ---------------------------------------------------------------------------

TCustomForm* TCustomForm::ActiveMDIChild() {
  if (!clientHandle_) return nullptr;
  auto h = reinterpret_cast<HWND>(SendMessageW(clientHandle_, WM_MDIGETACTIVE, 0, 0));
  return dynamic_cast<TCustomForm*>(FindControl(h));
}

int TCustomForm::MDIChildCount() {
  int n = 0;
  if (clientHandle_ && Screen)
    for (int i = 0; i < Screen->CustomFormCount(); ++i) {
      TCustomForm* f = Screen->CustomForms(i);
      if (f->FormStyle() == fsMDIChild && f->HandleAllocated() && GetParent(f->WindowHandle()) == clientHandle_) ++n;
    }
  return n;
}

TCustomForm* TCustomForm::MDIChildren(int index) {
  if (clientHandle_ && Screen)
    for (int i = 0; i < Screen->CustomFormCount(); ++i) {
      TCustomForm* f = Screen->CustomForms(i);
      if (f->FormStyle() == fsMDIChild && f->HandleAllocated() && GetParent(f->WindowHandle()) == clientHandle_ &&
          index-- == 0)
        return f;
    }
  throw EListError(L"List index out of bounds");
}

void TCustomForm::Cascade() {
  if (clientHandle_) SendMessageW(clientHandle_, WM_MDICASCADE, 0, 0);
}

void TCustomForm::Tile() {
  if (clientHandle_) SendMessageW(clientHandle_, WM_MDITILE, MDITILE_VERTICAL, 0);
}

void TCustomForm::ArrangeIcons() {
  if (clientHandle_) SendMessageW(clientHandle_, WM_MDIICONARRANGE, 0, 0);
}

void TCustomForm::Next() {
  if (clientHandle_) SendMessageW(clientHandle_, WM_MDINEXT, 0, 0);
}

void TCustomForm::Previous() {
  if (clientHandle_) SendMessageW(clientHandle_, WM_MDINEXT, 0, 1);
}

// ---------------------------------------------------------------------------
// Module routines
// ---------------------------------------------------------------------------

TCustomForm* GetParentForm(TControl* Control, bool TopForm) {
  if (!Control) return nullptr;
  while ((TopForm || !dynamic_cast<TCustomForm*>(Control)) && Control->Parent()) Control = Control->Parent();
  return dynamic_cast<TCustomForm*>(Control);
}

TCustomForm* ValidParentForm(TControl* Control, bool TopForm) {
  TCustomForm* form = GetParentForm(Control, TopForm);
  if (!form)
    throw EInvalidOperation(L"Control '" + (Control ? Control->Name() : String()) + L"' has no parent window");
  return form;
}

// ---------------------------------------------------------------------------
// Class information
// ---------------------------------------------------------------------------

BEGIN_CLASS(TCustomForm, TWinControl, nullptr)
  b.Message<&TCustomForm::WMActivate>(WM_ACTIVATE);
  b.Message<&TCustomForm::WMClose>(WM_CLOSE);
  b.Message<&TCustomForm::WMCommand>(WM_COMMAND);
  b.Message<&TCustomForm::WMInitMenuPopup>(WM_INITMENUPOPUP);
  b.Message<&TCustomForm::WMMenuSelect>(WM_MENUSELECT);
  b.Message<&TCustomForm::WMSize>(WM_SIZE);
  b.Message<&TCustomForm::WMSysCommand>(WM_SYSCOMMAND);
  b.Message<&TCustomForm::WMQueryEndSession>(WM_QUERYENDSESSION);
  b.Message<&TCustomForm::WMEraseBkgnd>(WM_ERASEBKGND);
  b.Message<&TCustomForm::WMPaint>(WM_PAINT);
  b.Message<&TCustomForm::WMDestroy>(WM_DESTROY);
  b.Message<&TCustomForm::CMActivate>(CM_ACTIVATE);
  b.Message<&TCustomForm::CMDeactivate>(CM_DEACTIVATE);
  b.Message<&TCustomForm::CMShowingChanged>(CM_SHOWINGCHANGED);
  b.Message<&TCustomForm::CMDialogKey>(CM_DIALOGKEY);
  b.Message<&TCustomForm::CMRelease>(CM_RELEASE);
  b.Message<&TCustomForm::CMTextChanged>(CM_TEXTCHANGED);
  b.Message<&TCustomForm::CMMenuChanged>(CM_MENUCHANGED);
END_CLASS

namespace {

// Designer values a stored definition may hold: read and forgotten.
template <class T>
void PublishDesignerValues(TClassBuilder<T>& b) {
  b.Prop(L"ExplicitLeft", [](T*) { return 0; }, [](T*, int) {});
  b.Prop(L"ExplicitTop", [](T*) { return 0; }, [](T*, int) {});
  b.Prop(L"ExplicitWidth", [](T*) { return 0; }, [](T*, int) {});
  b.Prop(L"ExplicitHeight", [](T*) { return 0; }, [](T*, int) {});
  b.Prop(L"AutoScroll", [](T*) { return false; }, [](T*, bool) {});
}

}  // namespace

BEGIN_CLASS(TForm, TCustomForm, (ConstructWith<TForm, TComponent>))
  PublishControl(b, {L"Action", L"Align", L"Anchors", L"AutoSize", L"BiDiMode", L"BorderWidth", L"Caption",
                     L"Color", L"Constraints", L"Ctl3D", L"DragKind", L"DragMode", L"Enabled", L"Font",
                     L"ParentBiDiMode", L"ParentFont", L"PopupMenu", L"ShowHint", L"OnClick", L"OnDblClick",
                     L"OnDragDrop", L"OnDragOver", L"OnEndDrag", L"OnStartDrag", L"OnKeyDown", L"OnKeyPress",
                     L"OnKeyUp", L"OnMouseDown", L"OnMouseMove", L"OnMouseUp", L"OnMouseWheel",
                     L"OnMouseWheelDown", L"OnMouseWheelUp", L"OnMouseEnter", L"OnMouseLeave", L"OnResize",
                     L"OnCanResize", L"OnConstrainedResize", L"OnContextPopup"});
  b.Prop(L"ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
  DefaultValue(b.Prop(L"AlphaBlend", &TCustomForm::AlphaBlend, &TCustomForm::SetAlphaBlend), false);
  DefaultValue(b.Prop(L"AlphaBlendValue", &TCustomForm::AlphaBlendValue, &TCustomForm::SetAlphaBlendValue), 255);
  DefaultValue(b.Prop(L"BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons),
               TBorderIcons{biSystemMenu, biMinimize, biMaximize}.ToBits());
  DefaultValue(b.Prop(L"BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle), bsSizeable);
  b.Prop(L"ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetStoredClientHeight);
  b.Prop(L"ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetStoredClientWidth);
  DefaultValue(b.Prop(L"DefaultMonitor", &TCustomForm::DefaultMonitor, &TCustomForm::SetDefaultMonitor),
               dmActiveForm);
  DefaultValue(b.Prop(L"FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle), fsNormal);
  b.Prop(L"Icon", &TCustomForm::Icon, &TCustomForm::SetIcon);
  DefaultValue(b.Prop(L"KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview), false);
  b.Prop(L"Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
  DefaultValue(b.Prop(L"OldCreateOrder", &TCustomForm::OldCreateOrder, &TCustomForm::SetOldCreateOrder), false);
  b.Prop(L"PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch);
  DefaultValue(b.Prop(L"PopupMode", &TCustomForm::PopupMode, &TCustomForm::SetPopupMode), pmNone);
  b.Prop(L"PopupParent", &TCustomForm::PopupParent, &TCustomForm::SetPopupParent);
  DefaultValue(b.Prop(L"Position", &TCustomForm::Position, &TCustomForm::SetPosition), poDefaultPosOnly);
  DefaultValue(b.Prop(L"Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled), true);
  DefaultValue(b.Prop(L"TransparentColor", &TCustomForm::TransparentColor, &TCustomForm::SetTransparentColor),
               false);
  b.Prop(L"TransparentColorValue", &TCustomForm::TransparentColorValue, &TCustomForm::SetTransparentColorValue,
         ColorTypeInfo());
  DefaultValue(b.Prop(L"Visible", &TCustomForm::Visible, &TCustomForm::SetFormVisible), false);
  DefaultValue(b.Prop(L"WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState), wsNormal);
  PublishDesignerValues(b);
  b.Prop(L"OnActivate", &TCustomForm::OnActivate, &TCustomForm::OnActivate);
  b.Prop(L"OnClose", &TCustomForm::OnClose, &TCustomForm::OnClose);
  b.Prop(L"OnCloseQuery", &TCustomForm::OnCloseQuery, &TCustomForm::OnCloseQuery);
  b.Prop(L"OnCreate", &TCustomForm::OnCreate, &TCustomForm::OnCreate);
  b.Prop(L"OnDeactivate", &TCustomForm::OnDeactivate, &TCustomForm::OnDeactivate);
  b.Prop(L"OnDestroy", &TCustomForm::OnDestroy, &TCustomForm::OnDestroy);
  b.Prop(L"OnHide", &TCustomForm::OnHide, &TCustomForm::OnHide);
  b.Prop(L"OnPaint", &TCustomForm::OnPaint, &TCustomForm::OnPaint);
  b.Prop(L"OnShortCut", &TCustomForm::OnShortCut, &TCustomForm::OnShortCut);
  b.Prop(L"OnShow", &TCustomForm::OnShow, &TCustomForm::OnShow);
END_CLASS
