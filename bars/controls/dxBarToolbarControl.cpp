#include "bars/controls/dxBarToolbarControl.h"

#include "bars/controls/dxBarDockControl.h"
#include "bars/controls/dxBarPainter.h"
#include "bars/model/dxBarDrawing.h"
#include "foundation/cxClasses.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ImgList.h"

#include <algorithm>

namespace {

TdxDockControl* SideDock(TdxBarManager* AManager, TdxBarDockingStyle AStyle) {
  if (!AManager || !AManager->Bars()) return nullptr;
  IdxBarDockControl* dock = AManager->Bars()->DockControls(AStyle);
  return dock ? dynamic_cast<TdxDockControl*>(dock->DockControlObject()) : nullptr;
}

HWND OwnerWindowOf(TdxBarManager* AManager) {
  TWinControl* owner = AManager ? AManager->OwnerControl() : nullptr;
  return owner ? owner->Handle() : nullptr;
}

}  // namespace

IdxBarControl* dxBarCreateToolbarControl(TdxBarManager* AManager, TdxBar* ABar) {
  return Make<TdxBarControl>(AManager, ABar);
}

// ---------------------------------------------------------------------------
// TdxBarControlViewInfo
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TdxBarControlViewInfo, TCustomdxBarControlViewInfo,
                (ConstructWith<TdxBarControlViewInfo, TCustomdxBarControl>))

// ---------------------------------------------------------------------------
// TdxBarControl
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TdxBarControl, TCustomdxBarControl, nullptr)

TdxBarControl::TdxBarControl(TComponent* AOwner, TdxBar* ABar) : TCustomdxBarControl(AOwner), FBar(ABar) {
  TdxBarDockingStyle style = ABar ? ABar->DockingStyle() : dsNone;
  IdxBarDockControl* realDock = ABar ? ABar->RealDockControl() : nullptr;
  TdxDockControl* dock = realDock ? dynamic_cast<TdxDockControl*>(realDock->DockControlObject()) : nullptr;
  if (!dock) style = dsNone;
  FDockingStyle = style;
  FDockControl = dock;
}

TdxBarControl::~TdxBarControl() {
  if (FDockControl && !FDockControl->ComponentState().Contains(csDestroying)) FDockControl->RemoveBarControl(this, true);
  BarLostFocus();
}

void TdxBarControl::SetDockControl(TdxDockControl* AValue) { FDockControl = AValue; }

void TdxBarControl::SetItemLinks(TdxBarItemLinks* AValue) {
  TCustomdxBarControl::SetItemLinks(AValue);
  if (!FBar) return;
  if (FDockControl) {
    SetParent(FDockControl);
    BeginInternalLock();
    try {
      // A window made for a bar takes the bar's stored row and place.
      FDockControl->InsertBarControl(
          this, FDockControl->ClientToScreenPoint(TPoint(FBar->DockedLeft(), FBar->DockedTop())), false);
    } catch (...) {
      EndInternalLock();
      throw;
    }
    EndInternalLock();
  } else {
    SetParentWindow(OwnerWindowOf(BarManager()));
    SetBounds(FBar->FloatLeft(), FBar->FloatTop(), Width(), Height());
  }
  SetVisible(true);
  if (HandleAllocated()) RepaintBar();
}

bool TdxBarControl::IsRealVertical() { return IsDockedLeftOrRight(); }
bool TdxBarControl::IsVertical() { return IsRealVertical() && FBar && FBar->RotateWhenVertical(); }
bool TdxBarControl::IsMultiRowLayout() const { return FDockingStyle == dsNone || (FBar && FBar->MultiLine()); }
bool TdxBarControl::CanDock() { return FBar && FBar->HasAllowedDockingStyle(); }

bool TdxBarControl::HasMark() {
  return FBar && FBar->ShowMark() &&
         (FTruncated || (GetPainter()->BarAllowQuickCustomizing() && FBar->AllowQuickCustomizing()));
}

HBRUSH TdxBarControl::GetToolbarBrush() { return GetPainter()->BarToolbarBrushEx(this); }

void TdxBarControl::ScheduleRepaint() {
  TdxBarManager* manager = BarManager();
  if (manager && manager->CanShowRecentItems() && FDockingStyle != dsNone && HandleAllocated())
    PostMessageW(WindowHandle(), DXM_BAR_RECALC, 0, 0);
}

// ---- sizes: the sizes for a docking style, the wrap, item placement, the
// view info, overflow and drop targets are in dxBarToolbarSizing.cpp.

TRect TdxBarControl::ContentOffsets(TdxBarDockingStyle AStyle) {
  return GetPainter()->GetToolbarContentOffsets(FBar, AStyle, false);
}

// ---- layout

bool TdxBarControl::IsUpdateLocked() {
  const bool locked = TCustomdxBarControl::IsUpdateLocked();
  if (locked && FBar) FBar->MarkChanged();
  return locked;
}

void TdxBarControl::RecalcLayout(bool ARebuildControls) {
  FItemSizesValid = false;
  TCustomdxBarControl::RecalcLayout(ARebuildControls);
  if (FDockingStyle != dsNone && FDockControl) {
    FDockControl->UpdateDock();
  } else if (HandleAllocated()) {
    const TPoint size = CalcSizeForLength(dsNone, ClientWidth());
    SetClientWidth(size.X);
    SetClientHeight(size.Y);
    CalculateViewInfo();
  }
  if (IsWindowVisible()) Invalidate();
}

void TdxBarControl::AssignDefaultFont() {
  if (FBar) Font()->Assign(FBar->Font());
  UpdateCanvasFont();
}

void TdxBarControl::BoundsChanged() {
  if (!FBar || IsInternalLocked() || FMoving) return;
  FBar->ChangeDockingStyle(FDockingStyle);
  StorePosition();
}

void TdxBarControl::StorePosition() {
  TdxBarManager* manager = BarManager();
  if (!FBar || !IsWindowVisible() || FMoving || !manager || manager->IsDestroying() || FPosSaving) return;
  FPosSaving = true;
  if (FDockingStyle != dsNone) {
    FBar->SetDockedDockingStyle(FDockingStyle);
    int row = -1;
    if (FDockControl && FDockControl->FindCol(this, &row)) {
      FBar->SetOneOnRow(FDockControl->Row(row)->ColCount() == 1);
      FBar->SetDockedLeft(Left());
      FBar->SetDockedTop(Top());
    }
  } else {
    FBar->SetFloatLeft(Left());
    FBar->SetFloatTop(Top());
    FBar->SetFloatClientWidth(ClientWidth());
    FBar->SetFloatClientHeight(ClientHeight());
  }
  FPosSaving = false;
}

// ---- window

void TdxBarControl::CreateParams(TCreateParams& Params) {
  TCustomdxBarControl::CreateParams(Params);
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.ExStyle = 0;
  if (FDockingStyle != dsNone) {
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  } else {
    Params.Style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    Params.WndParent = OwnerWindowOf(BarManager());
  }
}

void TdxBarControl::CreateWnd() {
  const bool adopt = FMoving && IsInternalLocked();
  HWND kept = FDockingStyle != dsNone ? FDockedHandle : FFloatingHandle;
  if (adopt && kept && IsWindow(kept)) {
    AdoptWindowHandle(kept);
    AssignDefaultFont();
    CalcMetrics();
    BuildControls();
  } else {
    TCustomdxBarControl::CreateWnd();
  }
  if (FBar) SetWindowTextW(WindowHandle(), FBar->Caption().c_str());
  SendMessageW(WindowHandle(), WM_NCACTIVATE, 1, 0);
  if (!FMoving && !IsInternalLocked()) RecalcBar(false);
}

void TdxBarControl::WMNCCalcSize(TMessage& Message) {
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
  const TRect offsets = ContentOffsets(FDockingStyle);
  RECT& r = params->rgrc[0];
  r.left += offsets.Left;
  r.top += offsets.Top;
  r.right = std::max(r.left, static_cast<LONG>(r.right - offsets.Right));
  r.bottom = std::max(r.top, static_cast<LONG>(r.bottom - offsets.Bottom));
  Message.Result = 0;
}

void TdxBarControl::WMNCHitTest(TMessage& Message) {
  // The frame and the free client area move the toolbar; they answer client
  // so that the press arrives as a client press and starts the drag there.
  const TPoint screen(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
  const TPoint client = ScreenToClient(screen);
  FHitTest = ClientRect().Contains(client) && ItemAtPos(client) ? HTCLIENT : HTCAPTION;
  if (FHitTest == HTCAPTION && !CanDock() && FDockingStyle != dsNone) FHitTest = HTCLIENT;
  Message.Result = HTCLIENT;
}

void TdxBarControl::WMNCPaint(TMessage&) {
  HDC DC = GetWindowDC(WindowHandle());
  if (!DC) return;
  DrawFrame(DC);
  ReleaseDC(WindowHandle(), DC);
}

void TdxBarControl::DrawFrame(HDC DC) {
  RECT window;
  GetWindowRect(WindowHandle(), &window);
  const TRect bounds(0, 0, window.right - window.left, window.bottom - window.top);
  const TRect offsets = ContentOffsets(FDockingStyle);
  const TRect client(offsets.Left, offsets.Top, bounds.Right - offsets.Right, bounds.Bottom - offsets.Bottom);
  const TdxBarPainter* painter = GetPainter();
  HBRUSH brush = GetToolbarBrush();
  HRGN savedClip = nullptr;
  bool hadClip = false;
  dxBarSaveDCClip(DC, savedClip, hadClip);
  ExcludeClipRect(DC, client.Left, client.Top, client.Right, client.Bottom);
  const bool floating = FDockingStyle == dsNone;
  if (floating || !FBar || FBar->BorderStyle() == bbsSingle) {
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
    const int state = SaveDC(DC);
    IntersectClipRect(DC, inner.Left, inner.Top, inner.Right, inner.Bottom);
    DrawBackgroundRect(DC, inner, false, clNone, brush);
    RestoreDC(DC, state);
    if (!floating)
      painter->BarDrawDockedBarBorder(this, DC, bounds, brush);
    else if (CanClose())
      painter->BarDrawFloatingBarCaption(this, DC, painter->CalcFloatingCaptionRect(bounds), client, brush);
  } else if (FBar->IsStatusBarLike()) {
    painter->BarDrawStatusBarBorder(this, DC, bounds, brush);
  }
  dxBarRestoreDCClip(DC, savedClip, hadClip);
}

TRect TdxBarControl::ClientToWindowRect(const TRect& R) {
  const TRect offsets = ContentOffsets(FDockingStyle);
  return TRect(R.Left + offsets.Left, R.Top + offsets.Top, R.Right + offsets.Left, R.Bottom + offsets.Top);
}

TRect TdxBarControl::GetCaptionRect() {
  const TRect offsets = ContentOffsets(FDockingStyle);
  const TRect caption = GetPainter()->CalcFloatingCaptionRect(TRect(0, 0, Width(), Height()));
  return TRect(caption.Left - offsets.Left, caption.Top - offsets.Top, caption.Right - offsets.Left,
               caption.Bottom - offsets.Top);
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

TRect TdxBarControl::GetMarkWindowRect() { return ClientToWindowRect(GetPainter()->BarMarkRect(this)); }

void TdxBarControl::SetCloseButtonState(TdxBarMarkState AValue) {
  if (FCloseButtonState == AValue) return;
  FCloseButtonState = AValue;
  if (!HandleAllocated()) return;
  if (HDC DC = GetWindowDC(WindowHandle())) {
    GetPainter()->BarDrawCloseButton(this, DC, GetCloseButtonWindowRect());
    ReleaseDC(WindowHandle(), DC);
  }
}

void TdxBarControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS:
      return;
    case WM_NCCALCSIZE:
      WMNCCalcSize(Message);
      return;
    case WM_NCHITTEST:
      WMNCHitTest(Message);
      return;
    case WM_NCPAINT:
      WMNCPaint(Message);
      return;
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
      return;
    case WM_SIZING:
      // A floating bar dragged by an edge re-wraps its items (dxBarToolbarSizing.cpp).
      if (FDockingStyle == dsNone && Message.LParam) {
        RECT& r = *reinterpret_cast<RECT*>(Message.LParam);
        const TRect bounds =
            CalcFloatingSizingRect(static_cast<int>(Message.WParam), TRect(r.left, r.top, r.right, r.bottom));
        r = RECT{bounds.Left, bounds.Top, bounds.Right, bounds.Bottom};
        Message.Result = 1;
        return;
      }
      break;
    case WM_SIZE:
      if (!IsDestroying()) {
        TCustomdxBarControl::WndProc(Message);
        CalculateViewInfo();
      }
      return;
    case WM_LBUTTONDBLCLK:
      if (FHitTest == HTCAPTION && !(BarManager() && BarManager()->Designing())) {
        // The toolbar's window goes away with the switch: nothing of this
        // object is touched afterwards.
        ToggleDocking();
        return;
      }
      break;
    default:
      break;
  }
  TCustomdxBarControl::WndProc(Message);
}

void TdxBarControl::ToggleDocking() {
  if (FBar) FBar->ToggleDocking();
}

// ---- docking and moving

void TdxBarControl::ChangeDockingStyle(TdxBarDockingStyle AStyle) {
  FItemSizesValid = false;
  if (AStyle != FDockingStyle) FTruncated = false;
  FDockingStyle = AStyle;
  if (HandleAllocated()) Perform(CM_FONTCHANGED, 0, 0);
}

// Binds the kept window of the current style: the docked one under the dock,
// the floating one owned by the manager's form (CreateWnd takes it over).
void TdxBarControl::TakeKeptWindow(TdxDockControl* ADock) {
  BeginInternalLock();
  try {
    if (FDockingStyle != dsNone) {
      SetParentWindow(nullptr);
      SetParent(ADock);
    } else {
      SetParent(nullptr);
      SetParentWindow(OwnerWindowOf(BarManager()));
    }
    HandleNeeded();
  } catch (...) {
    EndInternalLock();
    throw;
  }
  EndInternalLock();
}

void TdxBarControl::ChangeDockControl(TdxBarDockingStyle AStyle, TdxDockControl* ADock) {
  if (!FBar || IsDestroying()) return;
  if (FMoving) {
    FDockControl = ADock;
    ChangeDockingStyle(AStyle);
    // Drop the handle in use and take the kept one of the new style.
    DetachWindowHandle();
    TakeKeptWindow(ADock);
    if (AStyle != dsNone) {
      ::SetParent(FDockedHandle, ADock->Handle());
      ShowWindow(FFloatingHandle, SW_HIDE);
    } else {
      ShowWindow(FDockedHandle, SW_HIDE);
      ::SetParent(FDockedHandle, nullptr);
    }
    RepaintBar();
    return;
  }
  BeginInternalLock();
  try {
    DestroyHandle();
    FDockControl = ADock;
    ChangeDockingStyle(AStyle);
    HandleNeeded();
  } catch (...) {
    EndInternalLock();
    throw;
  }
  EndInternalLock();
  SetWindowPos(WindowHandle(), nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TdxBarControl::SwitchMovingMode(bool AMoving) {
  if (FMoving == AMoving) return;
  FMoving = AMoving;
  if (AMoving) {
    // Both windows exist while the toolbar is dragged; the one of the style
    // in use is bound to the control, the other is kept aside.
    HandleNeeded();
    const TdxBarDockingStyle style = FDockingStyle;
    TdxDockControl* dock = FDockControl;
    HWND current = DetachWindowHandle();
    ClearControls();
    if (style != dsNone) {
      FDockedHandle = current;
      FDockingStyle = dsNone;
      FDockControl = nullptr;
      SetParent(nullptr);
      SetParentWindow(OwnerWindowOf(BarManager()));
      HandleNeeded();
      FFloatingHandle = DetachWindowHandle();
    } else {
      FFloatingHandle = current;
      TdxDockControl* left = SideDock(BarManager(), dsLeft);
      FDockingStyle = dsLeft;
      FDockControl = left;
      SetParentWindow(nullptr);
      SetParent(left);
      HandleNeeded();
      FDockedHandle = DetachWindowHandle();
      ::SetParent(FDockedHandle, nullptr);
    }
    ShowWindow(style != dsNone ? FFloatingHandle : FDockedHandle, SW_HIDE);
    FDockingStyle = style;
    FDockControl = dock;
    TakeKeptWindow(dock);
  } else {
    // The window of the style not in use goes.
    HWND unused = FDockingStyle != dsNone ? FFloatingHandle : FDockedHandle;
    FDockedHandle = FFloatingHandle = nullptr;
    if (unused && unused != WindowHandle() && IsWindow(unused)) DestroyWindow(unused);
    StorePosition();
  }
  SetCursor(AMoving ? crSizeAll : crDefault);
  if (HandleAllocated()) SendMessageW(WindowHandle(), WM_SIZE, 0, 0);
  RepaintBar();
}

// ---- input

void TdxBarControl::ItemMouseDown(TMouseButton AButton, TShiftState AShift, TPoint APoint, TdxBarItemControl* AControl) {
  if (AButton == mbRight && GetCapture() == WindowHandle()) ReleaseCapture();
  TCustomdxBarControl::ItemMouseDown(AButton, AShift, APoint, AControl);
  if (AButton != mbLeft || !dxBarIsLiveControl(this)) return;
  if (FHitTest == HTCAPTION && !AControl && !IsCustomizing()) {
    POINT cursor;
    GetCursorPos(&cursor);
    RECT window;
    GetWindowRect(WindowHandle(), &window);
    RX = TPoint(cursor.x - window.left, window.right - window.left);
    RY = TPoint(cursor.y - window.top, window.bottom - window.top);
    dxBarRunToolbarDragLoop(this);
  }
}

void TdxBarControl::PressItemControl(TdxBarItemControl* AControl) {
  if (AControl && AControl->Enabled() && AControl->AcceptsMouse()) {
    bool handled = false;
    if (!FIsActive || (BehaviorOptions().Contains(bboNeedsFocusWhenActive) && !IsFocused()))
      BarGetFocus(AControl);
    else
      AControl->ReleasePress(AControl == SelectedControl(), handled);
    if (!dxBarIsLiveControl(this) || handled) return;
    if (FIsActive && !AControl->HasWindow()) FIsDowned = true;
    TdxBarItemControl* selected = SelectedControl();
    if (selected && selected->CapturesMouse()) {
      FClickedControl = selected;
      SetCapture(WindowHandle());
      selected->Repaint();
    }
  } else {
    SetIsActive(false);
  }
  TCustomdxBarControl::PressItemControl(AControl);
}

void TdxBarControl::HandleBarKey(TWMKey& Message) {
  if (Message.CharCode == VK_ESCAPE) {
    Message.CharCode = 0;
    CloseByEscape();
    return;
  }
  TCustomdxBarControl::HandleBarKey(Message);
}

void TdxBarControl::ApplyIsActive(bool AValue) {
  if (!AValue) {
    if (auto* button = dynamic_cast<TdxBarButtonControl*>(SelectedControl()); button && button->IsDroppedDown())
      button->BecomeInactive(true);
    FIsDowned = false;
    if (!IsCustomizing()) BarLostFocus();
  }
  if (!dxBarIsLiveControl(this)) return;
  TCustomdxBarControl::ApplyIsActive(AValue);
  if (!AValue) BarLostFocus();
}

void TdxBarControl::SetSelectedItemControl(TdxBarItemControl* AControl) {
  TdxBarItemControl* old = SelectedControl();
  TCustomdxBarControl::SetSelectedItemControl(AControl);
  if (!dxBarIsLiveControl(this)) return;
  TdxBarItemControl* selected = SelectedControl();
  if (selected && selected != old && !selected->IsActive() && !IsCustomizing()) selected->BecomeActive(true, false);
}

// ---- painting

void TdxBarControl::PaintBar() {
  if (IsDestroying()) return;
  TcxCanvas* canvas = cxCanvas();
  canvas->SaveClipRegion();
  PaintItemControls();
  const TdxBarPainter* painter = GetPainter();
  for (const TdxBarLayoutSeparator& s : FViewInfo->Separators()) {
    painter->BarDrawBeginGroup(this, canvas->Handle(), s.Bounds, GetToolbarBrush(), s.Kind == skHorizontal);
    canvas->ExcludeClipRect(s.Bounds);
  }
  if (FDockingStyle != dsNone && HasMark()) {
    const TRect mark = painter->BarMarkRect(this);
    DrawBackgroundRect(canvas->Handle(), mark, false, clNone, GetToolbarBrush());
    painter->BarDrawMarks(this, canvas, mark, GetToolbarBrush());
    canvas->ExcludeClipRect(mark);
  }
  DrawBackgroundRect(canvas->Handle(), ClientRect(), false, clNone, GetToolbarBrush());
  canvas->RestoreClipRegion();
}
