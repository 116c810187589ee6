#include "foundation/cxControls.h"
#include "foundation/cxClasses.h"
#include "foundation/cxControlsDragDrop.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TcxControl
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxControl, TCustomControl, (ConstructWith<TcxControl, TComponent>))
  b.Message<&TcxControl::WMPaint>(WM_PAINT);
  b.Message<&TcxControl::WMEraseBkgnd>(WM_ERASEBKGND);
  b.Message<&TcxControl::WMGetDlgCode>(WM_GETDLGCODE);
  b.Message<&TcxControl::WMCancelMode>(WM_CANCELMODE);
  b.Message<&TcxControl::WMNCCalcSize>(WM_NCCALCSIZE);
  b.Message<&TcxControl::WMSetCursor>(WM_SETCURSOR);
  b.Message<&TcxControl::DXMSettingsChanged>(DXM_SETTINGSCHANGED);
  b.Message<&TcxControl::CNKeyDown>(CN_KEYDOWN);
  b.Message<&TcxControl::CNSysKeyDown>(CN_SYSKEYDOWN);
  b.Message<&TcxControl::CMMouseEnter>(CM_MOUSEENTER);
  b.Message<&TcxControl::CMMouseLeave>(CM_MOUSELEAVE);
  b.Message<&TcxControl::CMFontChanged>(CM_FONTCHANGED);
  b.Message<&TcxControl::CMCursorChanged>(CM_CURSORCHANGED);
  b.Message<&TcxControl::CMColorChanged>(CM_COLORCHANGED);
  b.Message<&TcxControl::CMTextChanged>(CM_TEXTCHANGED);
  b.Message<&TcxControl::CMVisibleChanged>(CM_VISIBLECHANGED);
  b.Message<&TcxControl::CMInvalidate>(CM_INVALIDATE);
  b.Message<&TcxControl::CMDesignHitTest>(CM_DESIGNHITTEST);
END_CLASS

TcxControl::TcxControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FCanvas = Make<TcxCanvas>(TCustomControl::Canvas());
  FDefaultCursor = Cursor();
  FFocusOnClick = true;
  FLookAndFeel = Make<TcxLookAndFeel>(this);
  FLookAndFeel->OnChanged = TcxLookAndFeelChangedEvent::Bind<&TcxControl::LookAndFeelChangeHandler>(this);
  FScrollBars = ssBoth;
  FLastParentBackground = true;
  SetControlStyle(ControlStyle() + csParentBackground);
  dxGetResourceStringsRepository()->AddListener(this);
}

void TcxControl::AfterConstruction() {
  TCustomControl::AfterConstruction();
  // What descendants decide through virtual operations is asked here, where
  // their overrides answer.
  if (HasDragImages()) SetControlStyle(ControlStyle() + csDisplayDragImage);
  SyncScrollBarObjects();
  SetTabStop(IsFocusAllowed());
}

TcxControl::~TcxControl() {
  dxGetResourceStringsRepository()->RemoveListener(this);
  if (Dragging()) EndDrag(false);
  DestroyScrollBarObjects();
  FFontListenerList.clear();
  FreeAndNil(FDragAndDropObject);
  FreeAndNil(FDragImages);
  FreeAndNil(FActiveCanvas);
  FreeAndNil(FCanvas);
  FreeAndNil(FLookAndFeel);
  cxClearObjectLinks(this);
}

// ---- canvas and invalidation

TcxCanvas* TcxControl::ActiveCanvas() {
  if (HandleAllocated()) {
    FreeAndNil(FActiveCanvas);
    return FCanvas;
  }
  if (!FActiveCanvas) FActiveCanvas = Make<TcxScreenCanvas>();
  return FActiveCanvas;
}

void TcxControl::InvalidateRect(const TRect& R, bool EraseBackground) {
  if (HandleAllocated()) ::InvalidateRect(WindowHandle(), reinterpret_cast<const RECT*>(&R), EraseBackground);
}

void TcxControl::InvalidateRgn(HRGN ARegion, bool EraseBackground) {
  if (!HandleAllocated() || !ARegion) return;
  RECT box;
  if (GetRgnBox(ARegion, &box) == NULLREGION) return;
  ::InvalidateRgn(WindowHandle(), ARegion, EraseBackground);
}

void TcxControl::InvalidateWithChildren() {
  if (HandleAllocated())
    RedrawWindow(WindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_NOERASE);
}

void TcxControl::UpdateWithChildren() {
  if (HandleAllocated()) RedrawWindow(WindowHandle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// ---- properties

TRect TcxControl::Bounds() {
  if (!FBounds.IsEmpty()) return FBounds;
  if (HandleAllocated()) return ClientRect();
  return TRect(0, 0, Width(), Height());
}

void TcxControl::SetBounds(const TRect& AValue) {
  if (AValue == FBounds) return;
  FBounds = AValue;
  AfterBoundsChange();
}

void TcxControl::SetBorderStyle(TcxControlBorderStyle AValue) {
  if (AValue == FBorderStyle) return;
  FBorderStyle = AValue;
  AfterBoundsChange();
  Invalidate();
}

void TcxControl::SetLookAndFeel(TcxLookAndFeel* AValue) { FLookAndFeel->Assign(AValue); }

int TcxControl::BorderExtent() { return FBorderStyle == cxcbsNone ? 0 : ActivePainter()->BorderSize(); }

TcxCustomLookAndFeelPainterClass TcxControl::ActivePainter() { return FLookAndFeel->Painter(); }

TCursor TcxControl::DefaultCursorValue(int, int) { return FDefaultCursor; }

bool TcxControl::IsDesigning() { return ComponentState().Contains(csDesigning); }

bool TcxControl::IsFocused() { return Focused(); }

bool TcxControl::CanFocusOnClick() {
  return !IsDesigning() && FFocusOnClick && IsFocusAllowed() && CanFocus();
}

bool TcxControl::CanFocusOnClickAt(int, int) { return CanFocusOnClick(); }

bool TcxControl::CanFocusFromScrollBar(TcxControlScrollBar*) { return CanFocusOnClick(); }

bool TcxControl::CanFocusEx() {
  if (!CanFocus()) return false;
  TCustomForm* form = GetParentForm(this);
  return !form || (form->CanFocus() && form->Enabled() && form->Visible());
}

bool TcxControl::AcceptMousePosForClick(int X, int Y) {
  return DragMode() == dmManual || IsMouseInPressedArea(X, Y);
}

bool TcxControl::IsMouseInPressedArea(int X, int Y) { return cxIsInDragDetectArea(FMouseDownPos, X, Y); }

void TcxControl::PostMouseMove() {
  if (!HandleAllocated()) return;
  POINT p;
  GetCursorPos(&p);
  PostMouseMove(ScreenToClient(TPoint(p.x, p.y)));
}

void TcxControl::PostMouseMove(const TPoint& AMousePos) {
  if (HandleAllocated())
    PostMessageW(WindowHandle(), WM_MOUSEMOVE, 0,
                 MAKELPARAM(static_cast<Word>(AMousePos.X), static_cast<Word>(AMousePos.Y)));
}

void TcxControl::NotifyDesignerModified() { cxNotifyDesignerModified(this); }

bool TcxControl::ShowContextPopupMenu(TComponent* APopupMenu, int X, int Y) {
  return cxShowPopupMenu(this, APopupMenu, X, Y);
}

// ---- popup menu

void TcxControl::SetPopupMenuComponent(TComponent* AValue) {
  if (AValue && !dynamic_cast<TPopupMenu*>(AValue) && !dynamic_cast<IcxMenuPopupSource*>(AValue)) AValue = nullptr;
  if (AValue == FPopupMenu) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = AValue;
  if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

TPopupMenu* TcxControl::PopupMenu() { return dynamic_cast<TPopupMenu*>(FPopupMenu); }

void TcxControl::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TcxControl::DoContextPopup(TPoint MousePos, bool& Handled) {
  TCustomControl::DoContextPopup(MousePos, Handled);
  if (Handled) return;
  TPoint p = MousePos;
  if (p.X == -1 && p.Y == -1) p = TPoint(0, 0);
  p = ClientToScreen(p);
  Handled = ShowContextPopupMenu(FPopupMenu, p.X, p.Y);
}

bool TcxControl::OfferKeyToPopupMenus(TWMKey& Message) {
  for (TWinControl* c = this; c; c = c->Parent())
    if (auto* control = dynamic_cast<TcxControl*>(c))
      if (control->FPopupMenu && cxPopupMenuIsShortCut(control->FPopupMenu, Message)) return true;
  return false;
}

// ---- font listeners

void TcxControl::AddFontListener(IcxFontListener* AListener) {
  if (AListener && std::find(FFontListenerList.begin(), FFontListenerList.end(), AListener) == FFontListenerList.end())
    FFontListenerList.push_back(AListener);
}

void TcxControl::RemoveFontListener(IcxFontListener* AListener) {
  std::erase(FFontListenerList, AListener);
}

void TcxControl::AfterFontChange() {
  const std::vector<IcxFontListener*> listeners = FFontListenerList;
  for (IcxFontListener* listener : listeners) listener->FontChanged(this, Font());
  Invalidate();
}

// ---- notifications

void TcxControl::LookAndFeelChangeHandler(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) {
  if ((Application && Application->ComponentState().Contains(csDestroying)) ||
      ComponentState().Contains(csDestroying))
    return;
  LookAndFeelChanged(Sender, AChangedValues);
}

void TcxControl::AddChildComponent(TcxControlChildComponent* AComponent) { AComponent->SetControl(this); }

void TcxControl::RemoveChildComponent(TcxControlChildComponent* AComponent) { AComponent->SetControl(nullptr); }

void TcxControl::ResetMouseState() {
  FMouseButtonPressed = false;
  SetMouseCaptureObject(nullptr);
}

void TcxControl::MouseEntered(TControl* AControl) {
  if (OnMouseEnter) OnMouseEnter(AControl);
}

void TcxControl::MouseLeft(TControl* AControl) {
  if (OnMouseLeave) OnMouseLeave(AControl);
}

void TcxControl::AfterBoundsChange() {
  RecalcScrollBars();
  if (NeedsRedrawOnResize()) Invalidate();
}

void TcxControl::AfterCursorChange() { FDefaultCursor = Cursor(); }

void TcxControl::AfterFocusChange() {
  if (OnFocusChanged) OnFocusChanged(this);
}

bool TcxControl::CanStartAutoDragAt(int, int) { return FDragAndDropState == ddsNone; }

TClass TcxControl::DragObjectClass() { return TcxDragControlObject::StaticClass(); }

// ---- window

void TcxControl::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
}

void TcxControl::CreateWnd() {
  FCreatingWindow = true;
  try {
    TCustomControl::CreateWnd();
  } catch (...) {
    FCreatingWindow = false;
    throw;
  }
  FCreatingWindow = false;
  SyncScrollBarObjects();
  ParentInternalControls();
}

void TcxControl::DestroyWindowHandle() {
  TCustomControl::DestroyWindowHandle();
  SetControlState(ControlState() - csClicked);
}

void TcxControl::Resize() {
  TCustomControl::Resize();
  AfterBoundsChange();
}

// ---- painting

void TcxControl::WMPaint(TWMPaint& Message) {
  if (!Message.DC && dxIsWindows7 && !DoubleBuffered() && PaintsThroughBuffer()) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(WindowHandle(), &ps);
    TcxBitmap* bitmap = nullptr;
    try {
      const TRect r(ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom);
      if (!r.IsEmpty()) {
        bitmap = Make<TcxBitmap>(r.Width(), r.Height());
        TCanvas* canvas = bitmap->Canvas();
        canvas->Lock();
        HDC memDC = canvas->Handle();
        SetWindowOrgEx(memDC, r.Left, r.Top, nullptr);
        Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memDC), reinterpret_cast<LPARAM>(memDC));
        TWMPaint inner = Message;
        inner.DC = memDC;
        DispatchInherited(TcxControl::StaticClass(), &inner);
        SetWindowOrgEx(memDC, 0, 0, nullptr);
        BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), memDC, 0, 0, SRCCOPY);
        canvas->Unlock();
      }
    } catch (...) {
      TObject::Free(bitmap);
      EndPaint(WindowHandle(), &ps);
      throw;
    }
    TObject::Free(bitmap);
    EndPaint(WindowHandle(), &ps);
    return;
  }
  TDragObject* drag = cxCurrentDragObject();
  if (drag) drag->HideDragImage();
  try {
    DispatchInherited(TcxControl::StaticClass(), &Message);
  } catch (...) {
    if (drag) drag->ShowDragImage();
    throw;
  }
  if (drag) drag->ShowDragImage();
}

void TcxControl::Paint() {
  if (FBorderStyle == cxcbsDefault) {
    ActivePainter()->DrawBorder(FCanvas, Bounds());
    FCanvas->IntersectClipRect(ClientBounds());
  }
  TCustomControl::Paint();
  RefreshScrollBarStates();
}

void TcxControl::PaintWindow(HDC DC) {
  const bool save = TCustomControl::Canvas()->HandleAllocated();
  if (save) FCanvas->SaveDC();
  try {
    TCustomControl::PaintWindow(DC);
  } catch (...) {
    if (save) FCanvas->RestoreDC();
    throw;
  }
  if (save) FCanvas->RestoreDC();
}

void TcxControl::WMEraseBkgnd(TWMEraseBkgnd& Message) {
  if (WantsDefaultEraseBkgnd())
    DispatchInherited(TcxControl::StaticClass(), &Message);
  else
    Message.Result = 0;
}

void TcxControl::CheckParentBackground() {
  const bool value = ControlStyle().Contains(csParentBackground);
  if (value == FLastParentBackground) return;
  FLastParentBackground = value;
  ParentBackgroundChanged();
}

void TcxControl::CMInvalidate(TMessage& Message) {
  if (HandleAllocated() && !ComponentState().Contains(csDestroying))
    cxInvalidateControlWithParent(this, Message.WParam == 0, NeedsRedrawOnResize());
}

// ---- window procedure

void TcxControl::WndProc(TMessage& Message) {
  TcxObjectLink* link = cxCreateObjectLink(this);
  const auto alive = [&] { return link->Ref != nullptr && !ComponentState().Contains(csDestroying); };
  try {
    bool bypass = false;
    if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && !DragObject()) {
      auto& mouse = reinterpret_cast<TWMMouse&>(Message);
      bypass = IsDesigning() ? DesignHitTestAt(mouse.XPos, mouse.YPos, TShiftState{ssLeft})
                             : DragMode() == dmAutomatic;
      if (bypass) {
        // The platform's own drag start is skipped: this control starts
        // dragging itself once the mouse leaves the drag threshold.
        if (Width() > 32768 || Height() > 32768) {
          POINT p;
          GetCursorPos(&p);
          const TPoint c = ScreenToClient(TPoint(p.x, p.y));
          mouse.XPos = static_cast<std::int16_t>(c.X);
          mouse.YPos = static_cast<std::int16_t>(c.Y);
        }
        if (!IsControlMouseMsg(mouse)) {
          SetControlState(ControlState() + csLButtonDown);
          Dispatch(&Message);
          if (link->Ref) SetControlState(ControlState() - csLButtonDown);
        }
      }
    }
    if (!bypass) {
      if (Message.Msg == WM_RBUTTONUP) FMouseRightButtonReleased = true;
      TCustomControl::WndProc(Message);
    }
    if (alive()) {
      switch (Message.Msg) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
          AfterFocusChange();
          break;
        case WM_PAINT:
          CheckParentBackground();
          break;
        case WM_RBUTTONUP:
          FMouseRightButtonReleased = false;
          break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
          const TMouseButton button =
              Message.Msg == WM_LBUTTONDOWN ? mbLeft : Message.Msg == WM_RBUTTONDOWN ? mbRight : mbMiddle;
          const auto& mouse = reinterpret_cast<TWMMouse&>(Message);
          StartMouseDownAction(button, mouse.XPos, mouse.YPos);
          break;
        }
        default:
          break;
      }
    }
  } catch (...) {
    cxReleaseObjectLink(link);
    throw;
  }
  cxReleaseObjectLink(link);
}

void TcxControl::StartMouseDownAction(TMouseButton AButton, int X, int Y) {
  if (AButton == mbLeft) {
    if (DragMode() == dmAutomatic && MouseCapture() && (!IsDesigning() || AllowsDesignDragAt(X, Y)) &&
        CanStartAutoDragAt(X, Y) && cxWaitForDragStart(WindowHandle()) == cxDragStartDragging)
      BeginDrag(true, -1);
  } else if (AButton == mbMiddle)
    DoScrollContent();
}

// ---- mouse

void TcxControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TcxObjectLink* link = cxCreateObjectLink(this);
  try {
    FMouseDownPos = TPoint(X, Y);
    if (CanFocusOnClickAt(X, Y) && !Shift.Contains(ssDouble)) {
      const TPoint origin = ClientOrigin();
      SetFocus();
      if (!link->Ref) {
        cxReleaseObjectLink(link);
        return;
      }
      TCustomForm* form = GetParentForm(this);
      if (form && form->ActiveControl() == this && !Focused()) ::SetFocus(WindowHandle());
      if (!Focused() && !MayKeepMouseUnfocused()) {
        SetMouseCapture(false);
        cxReleaseObjectLink(link);
        return;
      }
      if (AdjustsMousePosOnFocus()) {
        const TPoint moved = ClientOrigin();
        X -= moved.X - origin.X;
        Y -= moved.Y - origin.Y;
      }
    }
    if (Button == mbLeft && !Shift.Contains(ssDouble) && CanStartDragAndDropAt(X, Y)) {
      if (DragAndDropObject()->ImmediateStart())
        BeginDragAndDrop();
      else
        SetDragAndDropState(ddsStarting);
    } else
      FinishDragAndDrop(false);
    if (link->Ref) BeforeMouseDown(Button, Shift, X, Y);
    if (link->Ref) TCustomControl::MouseDown(Button, Shift, X, Y);
    if (link->Ref && MouseCapture()) FMouseButtonPressed = true;
  } catch (...) {
    cxReleaseObjectLink(link);
    throw;
  }
  cxReleaseObjectLink(link);
}

void TcxControl::MouseMove(TShiftState Shift, int X, int Y) {
  const TCursor defaultCursor = FDefaultCursor;
  SetCursor(DefaultCursorValue(X, Y));
  FDefaultCursor = defaultCursor;
  TCustomControl::MouseMove(Shift, X, Y);
  if (FDragAndDropState == ddsStarting && !IsMouseInPressedArea(X, Y)) BeginDragAndDrop();
  if (FDragAndDropState == ddsInProcess) {
    bool accepted = false;
    StepDragAndDrop(TPoint(X, Y), accepted);
  }
}

void TcxControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FMouseButtonPressed = false;
  CancelMouseOperations();
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TcxControl::CancelMouseOperations() {
  FinishDragAndDrop(true);
  SetMouseCaptureObject(nullptr);
}

void TcxControl::SetMouseCaptureObject(TObject* AValue) {
  if (AValue == FMouseCaptureObject) return;
  if (auto* holder = dynamic_cast<IcxCaptureHolder*>(FMouseCaptureObject)) holder->CancelCapture();
  const bool wasCaptured = MouseCapture();
  FMouseCaptureObject = AValue;
  SetMouseCapture(AValue != nullptr);
  if (wasCaptured && !MouseCapture() && FDragAndDropState == ddsStarting) Perform(WM_CANCELMODE, 0, 0);
}

void TcxControl::WMCancelMode(TWMNoParams& Message) {
  DispatchInherited(TcxControl::StaticClass(), &Message);
  FinishDragAndDrop(false);
  ResetMouseState();
}

// ---- drag and drop

TcxDragAndDropObjectClass TcxControl::DragAndDropObjectClass() {
  return FDragAndDropObjectClass ? FDragAndDropObjectClass : TcxDragAndDropObjectClass::Of<TcxDragAndDropObject>();
}

TcxDragAndDropObject* TcxControl::DragAndDropObject() {
  if (!FDragAndDropObject) FDragAndDropObject = DragAndDropObjectClass().Create(this);
  return FDragAndDropObject;
}

void TcxControl::SetDragAndDropState(TcxDragAndDropState AValue) {
  if (AValue == FDragAndDropState) return;
  FDragAndDropState = AValue;
  if (AValue == ddsNone && !FFinishingDragAndDrop) ResetMouseState();
}

void TcxControl::BeginDragAndDrop() {
  DragAndDropObject()->DoBeginDragAndDrop();
  SetMouseCapture(true);
  FDragAndDropPrevCursor = Screen ? Screen->Cursor() : crDefault;
  FDragAndDropState = ddsInProcess;
}

void TcxControl::StepDragAndDrop(const TPoint& P, bool& Accepted) { DragAndDropObject()->DoDragAndDrop(P, Accepted); }

void TcxControl::EndDragAndDrop(bool Accepted) {
  SetDragAndDropState(ddsNone);
  if (Screen) Screen->SetCursor(FDragAndDropPrevCursor);
  SetMouseCapture(false);
  SetMouseCaptureObject(nullptr);
  DragAndDropObject()->DoEndDragAndDrop(Accepted);
}

void TcxControl::FinishDragAndDrop(bool Accepted) {
  if (FFinishingDragAndDrop) return;
  FFinishingDragAndDrop = true;
  try {
    if (FDragAndDropState == ddsInProcess)
      EndDragAndDrop(Accepted);
    else
      SetDragAndDropState(ddsNone);
    FreeAndNil(FDragAndDropObject);
  } catch (...) {
    FFinishingDragAndDrop = false;
    throw;
  }
  FFinishingDragAndDrop = false;
}

bool TcxControl::IsCopyDragKeyDown() { return GetAsyncKeyState(VK_CONTROL) < 0; }

bool TcxControl::StartDrag(TDragObject*) { return true; }

bool TcxControl::DesignHitTestAt(int, int, TShiftState) {
  return FDragAndDropState != ddsNone || FMouseButtonPressed;
}

void TcxControl::CMDesignHitTest(TMessage& Message) {
  DispatchInherited(TcxControl::StaticClass(), &Message);
  if (Message.Result == 0) {
    const auto& mouse = reinterpret_cast<TWMMouse&>(Message);
    Message.Result = DesignHitTestAt(mouse.XPos, mouse.YPos, (mouse.Keys & MK_LBUTTON) ? TShiftState{ssLeft} : TShiftState());
  }
}

void TcxControl::WMSetCursor(TWMSetCursor& Message) {
  if (IsDesigning() && FDragAndDropState == ddsNone && HandleAllocated()) {
    POINT sp;
    GetCursorPos(&sp);
    const TPoint p = ScreenToClient(TPoint(sp.x, sp.y));
    if (DesignHitTestAt(p.X, p.Y, TShiftState())) {
      ::SetCursor(Screen ? Screen->Cursors(DefaultCursorValue(p.X, p.Y)) : LoadCursorW(nullptr, IDC_ARROW));
      Message.Result = 1;
      return;
    }
  }
  DispatchInherited(TcxControl::StaticClass(), &Message);
}

void TcxControl::DoStartDrag(TDragObject*& DragObject) {
  Update();
  TCustomControl::DoStartDrag(DragObject);
  if (!DragObject) {
    const TClass cls = DragObjectClass();
    if (cls && cls->InheritsFrom(TcxDragControlObject::StaticClass())) DragObject = Make<TcxDragControlObject>(this);
  }
  if (!StartDrag(DragObject)) {
    TObject::Free(DragObject);
    DragObject = nullptr;
    CancelDrag();
  }
}

void TcxControl::DoEndDrag(TObject* Target, int X, int Y) {
  TCustomControl::DoEndDrag(Target, X, Y);
  FreeAndNil(FDragImages);
}

void TcxControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  TDragObject* drag = dynamic_cast<TDragObject*>(Source);
  if (!drag) drag = ::DragObject();
  if (drag) cxSetCurrentDragObject(State == dsDragLeave ? nullptr : drag);
  TCustomControl::DragOver(Source, X, Y, State, Accept);
}

TcxDragImageListClass TcxControl::GetDragImagesClass() { return TcxDragImageListClass::Of<TcxDragImageList>(); }

TDragImageList* TcxControl::GetDragImages() {
  if (!HasDragImages()) return nullptr;
  if (!FDragImages) {
    FDragImages = GetDragImagesClass().Create(nullptr);
    InitDragImages(FDragImages);
  }
  return FDragImages->Count() > 0 ? FDragImages : nullptr;
}

void TcxControl::InitDragImages(TcxDragImageList* AImages) {
  const TPoint size = GetDragImageSize();
  AImages->SetWidth(size.X);
  AImages->SetHeight(size.Y);
  if (size.X == 0 || size.Y == 0) return;
  TObjectPtr<TBitmap> bitmap(Make<TBitmap>());
  bitmap->SetSize(size.X, size.Y);
  {
    TObjectPtr<TcxCanvas> canvas(Make<TcxCanvas>(bitmap->Canvas()));
    DrawDragImage(canvas.get(), TRect(0, 0, size.X, size.Y));
  }
  AImages->AddMasked(bitmap.get(), bitmap->TransparentColor());
}

// ---- keyboard

void TcxControl::WMGetDlgCode(TWMGetDlgCode& Message) {
  LRESULT code = 0;
  if (FKeys.Contains(kAll)) code += DLGC_WANTALLKEYS;
  if (FKeys.Contains(kArrows)) code += DLGC_WANTARROWS;
  if (FKeys.Contains(kChars)) code += DLGC_WANTCHARS;
  if (FKeys.Contains(kTab) && GetKeyState(VK_CONTROL) >= 0) code += DLGC_WANTTAB;
  Message.Result = code;
}

void TcxControl::CNKeyDown(TWMKey& Message) {
  if (!IsDesigning() && OfferKeyToPopupMenus(Message)) {
    Message.Result = 1;
    return;
  }
  if (FDragAndDropState != ddsNone) {
    FinishDragAndDrop(false);
    Message.Result = 1;
    return;
  }
  DispatchInherited(TcxControl::StaticClass(), &Message);
}

void TcxControl::CNSysKeyDown(TWMKey& Message) {
  if (!IsDesigning() && OfferKeyToPopupMenus(Message)) {
    Message.Result = 1;
    return;
  }
  DispatchInherited(TcxControl::StaticClass(), &Message);
}

// ---- other messages

// The platform's handling tells the parents and fires the event itself for
// the control's own notice; here MouseEntered/MouseLeft fire it, once, for
// every notice (the control in lParam, else this one).
void TcxControl::HandleMouseNotice(TMessage& Message, TNotifyEvent& AEvent, void (TcxControl::*ANotify)(TControl*)) {
  const TNotifyEvent event = AEvent;
  AEvent = nullptr;
  TcxObjectLink* link = cxCreateObjectLink(this);
  try {
    DispatchInherited(TcxControl::StaticClass(), &Message);
  } catch (...) {
    if (link->Ref) AEvent = event;
    cxReleaseObjectLink(link);
    throw;
  }
  const bool alive = link->Ref != nullptr;
  cxReleaseObjectLink(link);
  if (!alive) return;
  AEvent = event;
  (this->*ANotify)(Message.LParam ? reinterpret_cast<TControl*>(Message.LParam) : this);
}

void TcxControl::CMMouseEnter(TMessage& Message) { HandleMouseNotice(Message, OnMouseEnter, &TcxControl::MouseEntered); }

void TcxControl::CMMouseLeave(TMessage& Message) { HandleMouseNotice(Message, OnMouseLeave, &TcxControl::MouseLeft); }

void TcxControl::CMFontChanged(TMessage& Message) {
  DispatchInherited(TcxControl::StaticClass(), &Message);
  AfterFontChange();
}

void TcxControl::CMCursorChanged(TMessage& Message) {
  AfterCursorChange();
  DispatchInherited(TcxControl::StaticClass(), &Message);
}

void TcxControl::CMColorChanged(TMessage& Message) {
  AfterColorChange();
  DispatchInherited(TcxControl::StaticClass(), &Message);
}

void TcxControl::CMTextChanged(TMessage& Message) {
  DispatchInherited(TcxControl::StaticClass(), &Message);
  AfterTextChange();
}

void TcxControl::CMVisibleChanged(TMessage& Message) {
  DispatchInherited(TcxControl::StaticClass(), &Message);
  AfterVisibleChange();
}

void TcxControl::WMNCCalcSize(TWMNCCalcSize& Message) {
  DispatchInherited(TcxControl::StaticClass(), &Message);
  if (HandleAllocated()) PostMessageW(WindowHandle(), DXM_SETTINGSCHANGED, 0, 0);
}

// ---------------------------------------------------------------------------
// TcxControlChildComponent
// ---------------------------------------------------------------------------

BEGIN_CLASS(TcxControlChildComponent, TcxComponent, (ConstructWith<TcxControlChildComponent, TComponent>))
END_CLASS

TcxControlChildComponent::TcxControlChildComponent(TComponent* AOwner) : TcxComponent(AOwner) { Initialize(); }

TcxControlChildComponent::TcxControlChildComponent(TcxControl* AControl, bool AAssignOwner)
    : TcxControlChildComponent(AAssignOwner && AControl ? AControl->Owner() : nullptr) {
  SetControl(AControl);
}

TcxControlChildComponent::~TcxControlChildComponent() {
  if (FControl) FControl->RemoveChildComponent(this);
}

bool TcxControlChildComponent::IsLoading() const { return ComponentState().Contains(csLoading); }

bool TcxControlChildComponent::IsDestroying() const { return ComponentState().Contains(csDestroying); }

TComponent* TcxControlChildComponent::GetParentComponent() { return FControl; }

bool TcxControlChildComponent::HasParent() { return FControl != nullptr; }

void TcxControlChildComponent::SetParentComponent(TComponent* Value) {
  TcxComponent::SetParentComponent(Value);
  if (auto* control = dynamic_cast<TcxControl*>(Value)) control->AddChildComponent(this);
}
