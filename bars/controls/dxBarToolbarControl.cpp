#include "bars/controls/dxBarToolbarControl.h"

#include "bars/controls/dxBarDockControl.h"
#include "bars/controls/dxBarPainter.h"
#include "bars/controls/dxBarToolbarFrame.h"
#include "bars/model/dxBarCaptionButtons.h"
#include "bars/model/dxBarDrawing.h"
#include "bars/model/dxBarRoutines.h"
#include "bars/model/dxBarStrs.h"
#include "foundation/cxClasses.h"
#include "foundation/cxContainerRoutines.h"
#include "foundation/cxControlsRoutines.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/dxCore.h"
#include "foundation/dxOffice11.h"
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

TRect WindowRectOf(HWND AWnd) {
  RECT r{};
  if (!AWnd || !GetWindowRect(AWnd, &r)) return TRect();
  return TRect(r.left, r.top, r.right, r.bottom);
}

TPoint CursorPos() {
  POINT p{};
  GetCursorPos(&p);
  return TPoint(p.x, p.y);
}

// Follows a bar through calls that may free it.
class TBarLink {
 public:
  explicit TBarLink(TObject* AObject) : FLink(cxCreateObjectLink(AObject)) {}
  ~TBarLink() { cxReleaseObjectLink(FLink); }
  TBarLink(const TBarLink&) = delete;
  TBarLink& operator=(const TBarLink&) = delete;
  bool Alive() const { return FLink->Ref != nullptr; }

 private:
  TcxObjectLink* FLink;
};

// Raises the toolbar's internal lock for a scope.
class TInternalLock {
 public:
  explicit TInternalLock(TdxBarControl* ABar) : FBar(ABar) { FBar->BeginInternalLock(); }
  ~TInternalLock() { FBar->EndInternalLock(); }
  TInternalLock(const TInternalLock&) = delete;
  TInternalLock& operator=(const TInternalLock&) = delete;

 private:
  TdxBarControl* FBar;
};

// Tells the dock, for a scope, that a toolbar window of it is being destroyed
// (it keeps the toolbar's stored row meanwhile).
class TDockBarHandleDestroying {
 public:
  explicit TDockBarHandleDestroying(TdxDockControl* ADock) : FDock(ADock) {
    if (!FDock) return;
    FWas = FDock->IsBarHandleDestroying();
    FDock->SetBarHandleDestroying(true);
  }
  ~TDockBarHandleDestroying() {
    if (FDock) FDock->SetBarHandleDestroying(FWas);
  }
  TDockBarHandleDestroying(const TDockBarHandleDestroying&) = delete;
  TDockBarHandleDestroying& operator=(const TDockBarHandleDestroying&) = delete;

 private:
  TdxDockControl* FDock;
  bool FWas = false;
};

}  // namespace

IdxBarControl* dxBarCreateToolbarControl(TdxBarManager* AManager, TdxBar* ABar) {
  return TdxBarControl::CreateEx(AManager, ABar);
}

// ---------------------------------------------------------------------------
// TdxBarControlViewInfo
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TdxBarControlViewInfo, TCustomdxBarControlViewInfo,
                (ConstructWith<TdxBarControlViewInfo, TCustomdxBarControl>))

// ---------------------------------------------------------------------------
// TdxBarControl: life
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TdxBarControl, TCustomdxBarControl, nullptr)

TdxBarControl::TdxBarControl(TComponent* AOwner) : TCustomdxBarControl(AOwner) { Init(); }

TdxBarControl::TdxBarControl(TComponent* AOwner, TdxBar* ABar) : TCustomdxBarControl(AOwner), FBar(ABar) {
  Init();
  TdxBarDockingStyle style = ABar ? ABar->DockingStyle() : dsNone;
  IdxBarDockControl* realDock = ABar ? ABar->RealDockControl() : nullptr;
  TdxDockControl* dock = realDock ? dynamic_cast<TdxDockControl*>(realDock->DockControlObject()) : nullptr;
  if (!dock) style = dsNone;
  FDockingStyle = style;
  FDockControl = dock;
}

TdxBarControl* TdxBarControl::CreateEx(TComponent* AOwner, TdxBar* ABar) { return Make<TdxBarControl>(AOwner, ABar); }

TdxBarControl* TdxBarControl::CreateForPopup(TCustomdxBarControl* AParentBarControl, TdxBar* ABar) {
  TdxBarManager* manager = ABar ? ABar->BarManager() : nullptr;
  if (!manager) throw EdxException(L"A popup toolbar needs a toolbar of a manager");
  TdxBarControl* control = CreateEx(manager, ABar);
  control->FPopupBar = ABar;
  // A popup toolbar is a floating window of the manager's form, whatever its toolbar is.
  control->FDockingStyle = dsNone;
  control->FDockControl = nullptr;
  control->SetParentWindow(OwnerWindowOf(manager));
  control->SetParentBar(AParentBarControl);
  // The links the popup shows belong to a hidden toolbar of its own.
  TdxBar* internal = nullptr;
  TdxBars* bars = manager->Bars();
  bars->BeginUpdate();
  try {
    internal = bars->Add();
    internal->SetAllowQuickCustomizing(false);
    internal->SetHidden(true);
    if (AParentBarControl) internal->SetFont(AParentBarControl->Font());
    internal->SetUseOwnFont(false);
  } catch (...) {
    bars->EndUpdate();
    TObject::Free(control);
    throw;
  }
  bars->EndUpdate();
  control->FBar = internal;
  TdxBarItemLinks* links = internal->ItemLinks();
  links->SetBarControl(control);
  links->SetInternal(true);
  control->TCustomdxBarControl::SetItemLinks(links);
  return control;
}

void TdxBarControl::Init() {
  FMarkFadingHelper = dxBarCreateMarkFadingHelper(this);
  for (int i = 0; i < 3; ++i) FMDIButtonFadingHelper[i] = dxBarCreateMDIButtonFadingHelper(this, static_cast<TdxBarMDIButton>(i));
}

TdxBarControl::~TdxBarControl() {
  if (FDockControl && !FDockControl->ComponentState().Contains(csDestroying)) FDockControl->RemoveBarControl(this, true);
  BarLostFocus();
  if (FPrevFocusedBarControlLink) cxReleaseObjectLink(FPrevFocusedBarControlLink);
  FPrevFocusedBarControlLink = nullptr;
  dxBarFreeFadingHelpers(this);
  if (TdxBarManager* manager = BarManager(); manager && manager->Bars() &&
                                             manager->Bars()->MovingBarControl() == static_cast<IdxBarControl*>(this))
    manager->Bars()->SetMovingBar(nullptr, dsNone, TPoint());
  if (IsPopupWindow()) {
    // The popup's own hidden toolbar goes with it; its links lose this window first.
    if (HandleAllocated()) DestroyHandle();
    TdxBar* internal = FBar;
    TdxBarItemLinks* links = FItemLinks;
    FItemLinks = nullptr;
    FBar = nullptr;
    if (links) links->SetBarControl(nullptr);
    if (internal && !internal->ComponentState().Contains(csDestroying)) TObject::Free(internal);
  }
}

void TdxBarControl::BeforeDestruction() {
  TCustomdxBarControl::BeforeDestruction();
  StopMoreButtonsHintTimer();
  CancelMDIButtons();
}

void TdxBarControl::SetDockControl(TdxDockControl* AValue) {
  FDockControl = AValue;
  UpdateDoubleBuffered();
}

void TdxBarControl::SetItemLinks(TdxBarItemLinks* AValue) {
  TCustomdxBarControl::SetItemLinks(AValue);
  if (!FBar) return;
  if (FDockControl) {
    SetParent(FDockControl);
    TInternalLock lock(this);
    // A window made for a bar takes the bar's stored row and place.
    FDockControl->InsertBarControl(
        this, FDockControl->ClientToScreenPoint(TPoint(FBar->DockedLeft(), FBar->DockedTop())), false);
  } else {
    SetParentWindow(OwnerWindowOf(BarManager()));
    // The stored client width decides the rows the items wrap into.
    const TRect offsets = ContentOffsets(dsNone);
    const int width = FBar->FloatClientWidth() > 0 ? FBar->FloatClientWidth() + offsets.Left + offsets.Right : Width();
    SetBounds(FBar->FloatLeft(), FBar->FloatTop(), width, Height());
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

bool TdxBarControl::IsShowing() { return IsWindowVisible(); }
bool TdxBarControl::ShowsCloseButton() { return FDockingStyle == dsNone && FBar && FBar->IsClosable(); }

TdxBarCaptionButtons* TdxBarControl::CaptionButtons() {
  TdxBar* bar = FPopupBar ? FPopupBar : FBar;
  return bar ? bar->CaptionButtons() : nullptr;
}

bool TdxBarControl::HasCaptionButtons() { return CaptionButtons() && CaptionButtons()->Count() > 0; }
bool TdxBarControl::AllowsQuickCustomizing() { return FBar && FBar->AllowQuickCustomizing(); }
String TdxBarControl::GetCaptionText() { return FBar ? FBar->Caption() : String(); }
TFont* TdxBarControl::GetBarFont() { return FBar ? FBar->Font() : Font(); }
String TdxBarControl::GetMarkHint() { return cxLookUpResourceString(&dxSBAR_MOREBUTTONS); }
bool TdxBarControl::IsMainMenu() { return FBar && FBar->IsMainMenu(); }
bool TdxBarControl::IsStatusBar() { return FBar && FBar->IsStatusBarLike(); }
bool TdxBarControl::CanFade() { return GetPainter()->SupportsFading() && GetFader() != nullptr; }
TPersistent* TdxBarControl::GetOwnerObject() { return FBar; }
int TdxBarControl::BeginGroupSize() { return GetPainter()->BarBeginGroupSize(); }
TBitmap* TdxBarControl::GetBackgroundBitmap() { return FBar ? FBar->BackgroundBitmap() : nullptr; }

bool TdxBarControl::UsesNonFlatLook() {
  TdxBarManager* manager = BarManager();
  return FDockingStyle != dsNone || !manager || !manager->IsFlatStyle();
}

TFont* TdxBarControl::GetItemEditFont() {
  // A toolbar with a font of its own edits in it; the others in the manager's edit font.
  if (FBar && FBar->UseOwnFont()) return FBar->Font();
  return TCustomdxBarControl::GetItemEditFont();
}

bool TdxBarControl::AllowsCustomizing() {
  return TCustomdxBarControl::AllowsCustomizing() || (FBar && FBar->AllowCustomizing());
}

bool TdxBarControl::IsOutsidePopupWindow() {
  // A toolbar lies inside a library popup window when one of its window's
  // ancestors is a popup that is not the manager's form.
  if (!HandleAllocated()) return true;
  TdxBarManager* manager = BarManager();
  HWND form = OwnerWindowOf(manager);
  for (HWND wnd = ::GetParent(WindowHandle()); wnd; wnd = ::GetParent(wnd)) {
    if (wnd == form) return true;
    if ((GetWindowLongPtrW(wnd, GWL_STYLE) & WS_POPUP) && !(GetWindowLongPtrW(wnd, GWL_STYLE) & WS_CAPTION))
      return !dxBarIsLiveControl(FindControl(wnd));
  }
  return true;
}

TCustomForm* TdxBarControl::GetHostForm() {
  TdxBarManager* manager = BarManager();
  if (FDockControl) {
    TCustomForm* form = GetParentForm(FDockControl);
    if (form) return form;
  }
  return manager ? manager->MainForm() : nullptr;
}

TCustomForm* TdxBarControl::MasterForm() {
  TdxBarManager* manager = BarManager();
  return manager ? manager->MasterForm() : nullptr;
}

bool TdxBarControl::IsSizeGripShown() {
  // A status bar shows its grip in the corner of a form that can be sized.
  if (!FBar || !FBar->IsStatusBarLike() || !FBar->SizeGrip()) return false;
  TCustomForm* form = GetHostForm();
  return !form || form->WindowState() != wsMaximized;
}


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
  if (!IsWindowVisible()) return;
  Invalidate();
  // The frame follows: hatched while another manager customizes, and a custom
  // background continues under the frame.
  TdxBarManager* manager = BarManager();
  if (manager && manager->OtherManagerCustomizing())
    SendMessageW(WindowHandle(), WM_NCPAINT, 1, 0);
  else if (HasCustomBackground())
    SendMessageW(WindowHandle(), WM_NCPAINT, 0, 0);
}

void TdxBarControl::Repaint() {
  TdxBarManager* manager = BarManager();
  if (manager && manager->IsUpdateLocked()) {
    if (FBar) FBar->MarkChanged();
    return;
  }
  TCustomdxBarControl::Repaint();
}

// ---- fonts and caption

void TdxBarControl::AssignDefaultFont() {
  Font()->Assign(GetBarFont());
  UpdateCanvasFont();
}

void TdxBarControl::UpdateFont() {
  TFont* barFont = GetBarFont();
  const bool same = Font()->Data() == barFont->Data() && Font()->Color() == barFont->Color();
  // A changed font sends CM_FONTCHANGED by itself; an unchanged one is told anyway.
  Font()->Assign(barFont);
  if (same && HandleAllocated()) Perform(CM_FONTCHANGED, 0, 0);
}

void TdxBarControl::FontChanged(TMessage& Message) {
  UpdateCanvasFont();
  if (HandleAllocated()) {
    CalcMetrics();
    if (!IsInternalLocked()) {
      SetSelectedItemControl(nullptr);
      if (dxBarIsLiveControl(this)) RepaintBar();
    }
  }
  if (dxBarIsLiveControl(this)) TCustomdxBarControl::WndProc(Message);
}

void TdxBarControl::UpdateCaption() {
  if (!HandleAllocated()) return;
  SetWindowTextW(WindowHandle(), GetCaptionText().c_str());
  SendMessageW(WindowHandle(), WM_NCPAINT, 1, 0);
}

// ---- window bounds and position

void TdxBarControl::BoundsChanged(UINT ASwpFlags) {
  TCustomdxBarControl::BoundsChanged(ASwpFlags);
  if (!FBar || IsInternalLocked()) return;
  const UINT flags = ASwpFlags;
  if (!FMoving) {
    FBar->ChangeDockingStyle(FDockingStyle);
    StorePosition();
  }
  const bool moved = !(flags & SWP_NOMOVE);
  const bool sized = !(flags & SWP_NOSIZE);
  if ((moved || sized) && FQuickPopup && dxBarIsLiveControl(FQuickPopup) && HandleAllocated()) {
    // The quick-customization popup stays against the mark.
    const TRect mark = GetMarkRect();
    POINT a{mark.Left, mark.Top}, b{mark.Right, mark.Bottom};
    ::ClientToScreen(WindowHandle(), &a);
    ::ClientToScreen(WindowHandle(), &b);
    FQuickPopup->SetOwnerBounds(TRect(a.x, a.y, b.x, b.y));
    FQuickPopup->UpdateShadowBounds();
    if (FQuickPopup->HandleAllocated()) SendMessageW(FQuickPopup->WindowHandle(), WM_NCPAINT, 1, 0);
  }
  if (sized && moved == false && IsSizeGripShown() != FHasSizeGrip) RefreshFrame();
  if ((flags & SWP_HIDEWINDOW) && IsPopupWindow() && !IsDestroying()) CloseUp();
}

void TdxBarControl::StorePosition() {
  TdxBarManager* manager = BarManager();
  if (!FBar || !IsWindowVisible() || FMoving || !manager || manager->IsDestroying() || FPosSaving) return;
  FPosSaving = true;
  manager->SetDesignerNotifyLock(true);
  try {
    if (FDockingStyle != dsNone) {
      // A dock that is going, or destroying the window of one of its bars, keeps the stored place.
      const bool dockBusy = FDockControl && (FDockControl->ComponentState().Contains(csDestroying) ||
                                             FDockControl->TdxDockControl::IsBarHandleDestroying());
      if (!dockBusy && !manager->IsCreatingHandles()) {
        FBar->SetDockedDockingStyle(FDockingStyle);
        // A side dock is found again by the style; another dock is kept by name.
        FBar->SetDockedDockControl(FDockControl && FDockControl->IsSideDock() ? nullptr : FDockControl);
        int row = -1;
        if (FDockControl && FDockControl->FindCol(this, &row)) {
          FBar->SetOneOnRow(FDockControl->Row(row)->ColCount() == 1);
          FBar->SetDockedLeft(Left());
          FBar->SetDockedTop(Top());
        }
      }
    } else {
      FBar->SetFloatLeft(Left());
      FBar->SetFloatTop(Top());
      FBar->SetFloatClientWidth(ClientWidth());
      FBar->SetFloatClientHeight(ClientHeight());
    }
  } catch (...) {
    manager->SetDesignerNotifyLock(false, false);
    FPosSaving = false;
    throw;
  }
  manager->SetDesignerNotifyLock(false, false);
  FPosSaving = false;
}

int TdxBarControl::RowIndex() {
  int row = -1;
  if (FDockControl && FDockControl->FindCol(this, &row)) return row;
  return -1;
}

TdxDockCol* TdxBarControl::FindDockCol() { return FDockControl ? FDockControl->FindCol(this) : nullptr; }

int TdxBarControl::ColIndex() {
  int row = -1;
  if (!FDockControl || !FDockControl->FindCol(this, &row)) return -1;
  return FDockControl->Row(row)->IndexOfBarControl(this);
}

void TdxBarControl::RefreshFrame() {
  UpdateDoubleBuffered();
  ApplyFrameChange();
  RepaintBar();
}

void TdxBarControl::ApplyFrameChange() {
  if (!HandleAllocated()) return;
  SetWindowPos(WindowHandle(), nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TdxBarControl::ManagerStyleChanged() {
  UpdateControlStyle();
  CalcMetrics();
  if (FDockingStyle != dsNone) {
    RefreshFrame();
  } else if (IsWindowVisible()) {
    // A floating frame changes its size with the look: shown anew.
    ShowWindow(WindowHandle(), SW_HIDE);
    RepaintBar();
    ShowWindow(WindowHandle(), SW_SHOWNOACTIVATE);
  }
}

void TdxBarControl::ApplyAlphaBlend() {
  if (!FBar) return;
  const bool blended = FMoving || (FDockingStyle == dsNone && !IsInternalPopup());
  const int alpha = blended ? FBar->AlphaBlendValue() : 255;
  HWND wnd = FMoving ? FFloatingHandle : (HandleAllocated() ? WindowHandle() : nullptr);
  if (!wnd) return;
  const LONG_PTR exStyle = GetWindowLongPtrW(wnd, GWL_EXSTYLE);
  const auto& api = dxBarLayeredWindowApi();
  if (alpha < 255 && api.SetLayeredWindowAttributes) {
    SetWindowLongPtrW(wnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    api.SetLayeredWindowAttributes(wnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
  } else if (exStyle & WS_EX_LAYERED) {
    SetWindowLongPtrW(wnd, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
  }
}

void TdxBarControl::Resize() {
  TCustomdxBarControl::Resize();
  if (HasCaptionButtons()) NotifyBarResize(0);
}

void TdxBarControl::ShowFloatingWindow(bool AShow) {
  if (!HandleAllocated() || FDockingStyle != dsNone) return;
  if (AShow)
    ShowWithoutActivation();
  else
    Hide();
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
  SetWindowTextW(WindowHandle(), GetCaptionText().c_str());
  SendMessageW(WindowHandle(), WM_NCACTIVATE, 1, 0);
  if (!FMoving && !IsInternalLocked()) RecalcBar(false);
}

void TdxBarControl::WMDestroy(TMessage& Message) {
  TDockBarHandleDestroying destroying(FDockControl);
  StopMoreButtonsHintTimer();
  TCustomdxBarControl::WndProc(Message);
  // A window destroyed from outside (its dock's window went): the toolbar
  // hides and comes back when its dock has a window again.
  TdxBarManager* manager = BarManager();
  if (IsInternalLocked() || IsInternalPopup() || IsDestroying() || !FBar || !manager || manager->IsDestroying()) return;
  if (FBar->Visible()) {
    manager->QueueBarRestore(FBar);
    // Hiding frees this window object; the window, already on its way out,
    // finishes without it.
    DetachWindowHandle();
    FBar->SetVisible(false);
  }
}

void TdxBarControl::WMSetCursor(TMessage& Message) {
  TdxBarItemControl* designerSelected = IsCustomizing() ? DesignerSelectedItemControl() : nullptr;
  if (FIsResizing ||
      (designerSelected && designerSelected->IsSizingPoint(ScreenToClient(CursorPos())))) {
    if (Screen) ::SetCursor(Screen->Cursors(crdxBarEditSizing));
    Message.Result = 1;
    return;
  }
  if (!FMoving && CanDock() && LOWORD(Message.LParam) == HTCLIENT) UpdateMovingCursor();
  TCustomdxBarControl::WndProc(Message);
}

void TdxBarControl::WMCaptureChanged(TMessage& Message) {
  TCustomdxBarControl::WndProc(Message);
  if (FIsResizing && dxBarIsLiveControl(this)) EndItemSizing(false);
}

void TdxBarControl::EndItemSizing(bool AApply) {
  FIsResizing = false;
  if (TdxBarItemControl* control = DesignerSelectedItemControl()) control->EndSizing(AApply);
}

void TdxBarControl::BeginItemDrag(TPoint APoint, bool AWasSelected) {
  TdxBarItemControl* control = DesignerSelectedItemControl();
  if (AWasSelected && control && control->IsSizingPoint(APoint)) {
    FIsResizing = true;
    control->BeginSizing(APoint);
    SetCapture(WindowHandle());
    return;
  }
  TCustomdxBarControl::BeginItemDrag(APoint, AWasSelected);
}

TRect TdxBarControl::GetMoveZoneExtents() {
  if (FDockingStyle == dsNone || !FBar || FBar->BorderStyle() == bbsNone) return TRect();
  if (IsDockedTopOrBottom()) return TRect(-100, -100, 0, 100);
  return TRect(-100, -100, 100, 0);
}

void TdxBarControl::UpdateMovingCursor() {
  POINT p{};
  GetCursorPos(&p);
  const TPoint client = ScreenToClient(TPoint(p.x, p.y));
  SetCursor(FMoving || GetMoveZoneExtents().Contains(client) ? crSizeAll : crDefault);
}

void TdxBarControl::WndProc(TMessage& Message) {
  FCurrentMessage = Message;
  switch (Message.Msg) {
    case WM_SETFOCUS:
      // A toolbar never takes the focus this way.
      return;
    case WM_CANCELMODE:
      if (dxBarMDIButtonPressState().Pressed || dxBarMDIButtonPressState().Inside) {
        CancelMDIButtons();
        return;
      }
      break;
    case WM_NCCALCSIZE:
      WMNCCalcSize(Message);
      return;
    case WM_NCHITTEST:
      WMNCHitTest(Message);
      return;
    case WM_NCLBUTTONDOWN:
      WMNCLButtonDown(Message);
      return;
    case WM_SIZING:
      WMSizing(Message);
      return;
    case WM_GETMINMAXINFO:
      WMGetMinMaxInfo(Message);
      return;
    case WM_WINDOWPOSCHANGING:
      WMWindowPosChanging(Message);
      return;
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
      return;
    case WM_GETOBJECT:
      Message.Result = DefWindowProcW(WindowHandle(), Message.Msg, Message.WParam, Message.LParam);
      return;
    case WM_SIZE:
      if (!IsDestroying()) {
        TCustomdxBarControl::WndProc(Message);
        CalculateViewInfo();
      }
      return;
    case WM_MOUSEACTIVATE:
      Message.Result = MA_NOACTIVATE;
      // An inactive floating toolbar comes to the top without taking the activation.
      if (FDockingStyle == dsNone && !FIsActive && HandleAllocated())
        SetWindowPos(WindowHandle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      return;
    case WM_SETCURSOR:
      WMSetCursor(Message);
      return;
    case WM_DESTROY:
      WMDestroy(Message);
      return;
    case WM_TIMER:
      if (Message.WParam == dxBarMoreButtonsHintTimerID) {
        MoreButtonsHintTimerTick();
        return;
      }
      break;
    case CM_FONTCHANGED:
      FontChanged(Message);
      return;
    case WM_CAPTURECHANGED:
      WMCaptureChanged(Message);
      return;
    case WM_LBUTTONUP:
      if (FIgnoreMouseClick) break;
      if (FIsResizing) {
        EndItemSizing(true);
        if (dxBarIsLiveControl(this) && GetCapture() == WindowHandle()) ReleaseCapture();
        return;
      }
      if (dxBarMDIButtonPressState().Pressed) {
        ReleaseMDIButton(TPoint(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))));
        return;
      }
      break;
    case WM_LBUTTONDBLCLK:
      if (FIgnoreMouseClick) break;
      if (FHitTest == HTCAPTION && !(BarManager() && BarManager()->Designing())) {
        // The toolbar's window goes away with the switch: nothing of this
        // object is touched afterwards.
        ToggleDocking();
        return;
      }
      {
        const TPoint p(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
        if (HasMark() && AllowsMarkHotTrack() && GetMarkRect().Contains(p) && !IsCustomizing()) {
          ClickMark(p);
          return;
        }
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
  ResetBackgroundCache();
  if (HandleAllocated()) Perform(CM_FONTCHANGED, 0, 0);
  ApplyAlphaBlend();
}

// Binds the kept window of the current style: the docked one under the dock,
// the floating one owned by the manager's form (CreateWnd takes it over).
void TdxBarControl::TakeKeptWindow(TdxDockControl* ADock) {
  TInternalLock lock(this);
  if (FDockingStyle != dsNone) {
    SetParentWindow(nullptr);
    SetParent(ADock);
  } else {
    SetParent(nullptr);
    SetParentWindow(OwnerWindowOf(BarManager()));
  }
  HandleNeeded();
}

void TdxBarControl::ChangeDockControl(TdxBarDockingStyle AStyle, TdxDockControl* ADock) {
  if (!FBar || IsDestroying()) return;
  if (FMoving) {
    SetDockControl(ADock);
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
  {
    TInternalLock lock(this);
    DestroyHandle();
    SetDockControl(ADock);
    ChangeDockingStyle(AStyle);
    HandleNeeded();
  }
  ApplyFrameChange();
}

void TdxBarControl::SwitchMovingMode(bool AMoving) {
  if (FMoving == AMoving) return;
  FMovingChanging = true;
  FMoving = AMoving;
  // Windows of items unhook from their windows while both of the bar's windows live.
  try {
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
  } catch (...) {
    FMovingChanging = false;
    throw;
  }
  FMovingChanging = false;
  SetCursor(AMoving ? crSizeAll : crDefault);
  if (HandleAllocated()) SendMessageW(WindowHandle(), WM_SIZE, 0, 0);
  RepaintBar();
}

// ---- input

void TdxBarControl::ItemMouseDown(TMouseButton AButton, TShiftState AShift, TPoint APoint, TdxBarItemControl* AControl) {
  if (AButton == mbRight && GetCapture() == WindowHandle()) ReleaseCapture();
  TdxBarManager* manager = BarManager();
  if (AButton == mbLeft && manager && !manager->HideFloatingBarsWhenInactive() && FDockingStyle == dsNone &&
      !IsInternalPopup())
    if (TCustomForm* form = manager->TopLevelForm(); form && form->HandleAllocated())
      SetActiveWindow(form->WindowHandle());
  TBarLink self(this);
  TCustomdxBarControl::ItemMouseDown(AButton, AShift, APoint, AControl);
  if (AButton != mbLeft || !self.Alive()) return;
  if (!IsCustomizing() && PressMDIButton(APoint)) return;
  if (FHitTest == HTCAPTION) {
    POINT cursor;
    GetCursorPos(&cursor);
    const TRect window = WindowRectOf(WindowHandle());
    RX = TPoint(cursor.x - window.Left, window.Width());
    RY = TPoint(cursor.y - window.Top, window.Height());
    dxBarRunToolbarDragLoop(this);
    return;
  }
  if (HasMark() && GetMarkRect().Contains(APoint) && AllowsMarkHotTrack()) {
    ClickMark(APoint);
    return;
  }
  if (!IsCustomizing() && !ClientRect().Contains(APoint) && FHitTest != 0 && FHitTest != HTCLIENT) {
    POINT cursor;
    GetCursorPos(&cursor);
    SendMessageW(WindowHandle(), WM_NCLBUTTONDOWN, static_cast<WPARAM>(FHitTest), MAKELPARAM(cursor.x, cursor.y));
  }
}

void TdxBarControl::PressItemControl(TdxBarItemControl* AControl) {
  TBarLink self(this);
  if (AControl && AControl->Enabled() && AControl->AcceptsMouse()) {
    bool handled = false;
    if (!FIsActive || (BehaviorOptions().Contains(bboNeedsFocusWhenActive) && !IsFocused()))
      BarGetFocus(AControl);
    else
      AControl->ReleasePress(AControl == SelectedControl(), handled);
    if (!self.Alive() || handled) return;
    if (FIsActive && !AControl->HasWindow()) FIsDowned = true;
    TdxBarItemControl* selected = SelectedControl();
    if (selected && selected->CapturesMouse()) {
      FClickedControl = selected;
      SetCapture(WindowHandle());
      selected->Repaint();
    }
  } else {
    SetIsActive(false);
    if (!self.Alive()) return;
  }
  TCustomdxBarControl::PressItemControl(AControl);
}

void TdxBarControl::ItemMouseMove(TShiftState AShift, TPoint APoint, TdxBarItemControl* AControl) {
  TrackMDIButtons(APoint);
  if (dxBarMDIButtonPressState().Pressed) return;
  if (FIsResizing) {
    if (TdxBarItemControl* control = DesignerSelectedItemControl()) control->TrackSizing(APoint);
    return;
  }
  if (!IsMouseInputBlocked(false)) {
    if (TdxBarCaptionButtons* buttons = CaptionButtons()) {
      const TPoint offset = GetClientOffset();
      buttons->UpdateButtonStates(TPoint(APoint.X + offset.X, APoint.Y + offset.Y), false);
    }
    if (!dxBarActiveBarControl()) {
      if (AllowsMarkHotTrack() && FMarkState != msPressed)
        ChangeMarkState(GetMarkRect().Contains(APoint) ? msSelected : msNone);
      if (GetPainter()->BarAllowHotTrack() && ShowsCloseButton())
        SetCloseButtonState(GetCloseButtonRect().Contains(APoint) ? msSelected : msNone);
    }
  }
  if (dxBarIsLiveControl(this)) TCustomdxBarControl::ItemMouseMove(AShift, APoint, AControl);
}

void TdxBarControl::BarMouseLeave() {
  TCustomdxBarControl::BarMouseLeave();
  if (!dxBarIsLiveControl(this)) return;
  if (TdxBarCaptionButtons* buttons = CaptionButtons()) buttons->UpdateButtonStates(TPoint(-30000, -30000), false);
  if (!FIsActive) {
    SetCloseButtonState(msNone);
    TdxBarMDIButtonPressState& mdi = dxBarMDIButtonPressState();
    if (!mdi.Pressed && mdi.HotIndex >= 0) {
      mdi.HotIndex = -1;
      mdi.Inside = false;
      if (HasMDIArea()) RepaintMDIButtons();
    }
  } else if (auto* button = dynamic_cast<TdxBarButtonControl*>(SelectedControl())) {
    button->Repaint();
  }
}

bool TdxBarControl::IsMouseInputBlocked(bool ACheckPosition) {
  if (TCustomdxBarControl::IsMouseInputBlocked(ACheckPosition)) return true;
  TdxBarManager* manager = BarManager();
  if (FDockingStyle != dsNone && manager) {
    // A docked bar of a form that is not active waits, unless the active
    // window belongs to the manager's form.
    TCustomForm* host = GetHostForm();
    HWND active = GetActiveWindow();
    HWND owner = OwnerWindowOf(manager);
    const bool hostActive = host && host->HandleAllocated() && cxIsFormActivated(host);
    bool ownedByOwner = false;
    for (HWND wnd = active; wnd; wnd = GetWindow(wnd, GW_OWNER))
      if (wnd == owner || (owner && IsChild(wnd, owner))) ownedByOwner = true;
    if (host && !hostActive && !ownedByOwner) return true;
  }
  if (IdxBarDesignController* designer = dxBarDesignControllerSlot()) {
    TdxBarControl* quick = designer->QuickControl();
    if (quick && quick->BlocksOtherBars() && quick != this && !quick->IsAncestorOf(this)) return true;
  }
  return false;
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
  TBarLink self(this);
  if (!AValue) {
    if (IsCustomizing() && FSelectedLink) SetSelectedItemControl(nullptr);
    if (auto* button = dynamic_cast<TdxBarButtonControl*>(SelectedControl()); button && button->IsDroppedDown())
      button->BecomeInactive(true);
    FIsDowned = false;
    if (self.Alive() && !IsCustomizing()) BarLostFocus();
  }
  if (!self.Alive()) return;
  TCustomdxBarControl::ApplyIsActive(AValue);
  if (self.Alive() && !AValue) BarLostFocus();
}

void TdxBarControl::SetSelectedItemControl(TdxBarItemControl* AControl) {
  TdxBarItemControl* old = SelectedControl();
  TBarLink self(this);
  TCustomdxBarControl::SetSelectedItemControl(AControl);
  if (!self.Alive()) return;
  TdxBarItemControl* selected = SelectedControl();
  if (!selected || selected == old || selected->IsActive() || IsCustomizing()) return;
  // A sub item opens its menu as it is selected; the others turn active.
  if (selected->OpensSubItems())
    selected->Press(false);
  else
    selected->BecomeActive(true, false);
}

void TdxBarControl::SelectItemForCustomizing(TdxBarItemControl* AControl, TMouseButton AButton, TShiftState AShift) {
  TBarLink self(this);
  if (!AControl) SetIsActive(false);
  if (self.Alive()) TCustomdxBarControl::SelectItemForCustomizing(AControl, AButton, AShift);
}

void TdxBarControl::ShowCustomizePopup(TdxBarItemControl* AControl) {
  if (IsCustomizing()) {
    TCustomdxBarControl::ShowCustomizePopup(AControl);
    return;
  }
  if (IdxBarDesignController* designer = dxBarDesignControllerSlot())
    designer->ShowToolbarsPopup(BarManager(), GetPainter());
}

// ---- focus

void TdxBarControl::EnterBarFocus(TdxBarItemControl* AControl) {
  const TPoint cursor = CursorPos();
  // The bar under the cursor, when another, leaves its hot state.
  if (TWinControl* under = FindControl(WindowFromPoint(POINT{cursor.X, cursor.Y})))
    if (auto* other = dynamic_cast<TCustomdxBarControl*>(under); other && other != this && dxBarIsLiveControl(other))
      other->MouseLeaveHandler();
  TBarLink self(this);
  if (HWND active = GetActiveWindow()) SendMessageW(active, WM_CANCELMODE, 0, 0);
  if (!self.Alive()) return;
  FBeforeBarGetFocusFocusedWnd = GetFocus();
  const bool parentFocused = IsPopupWindow() && FParentBar && FParentBar->IsFocused();
  if (!IsCustomizing() && !parentFocused && IsOutsidePopupWindow())
    if (TCustomForm* form = MasterForm(); form && form->HandleAllocated()) SetForegroundWindow(form->WindowHandle());
  if (!AControl && FItemLinks) {
    // The first selectable link with a control, the entry of a maximized MDI
    // child's system menu (an item the manager made for itself) left out.
    TdxBarManager* manager = BarManager();
    auto isSystemMenuEntry = [manager](TdxBarItemLink* ALink) {
      TComponentList* internal = manager ? manager->InternalItems() : nullptr;
      return internal && ALink->Item() && internal->IndexOf(ALink->Item()) >= 0;
    };
    TdxBarItemLink* first = FItemLinks->FirstSelectableLink();
    for (TdxBarItemLink* link = first; link;) {
      auto* control = dynamic_cast<TdxBarItemControl*>(link->Control());
      if (control && !isSystemMenuEntry(link)) {
        AControl = control;
        break;
      }
      link = FItemLinks->NextSelectableLink(link);
      if (link == first) break;
    }
  }
  TCustomdxBarControl::EnterBarFocus(AControl);
  if (!self.Alive()) return;
  TdxBarManager* manager = BarManager();
  if (!manager || manager->FocusedBarControl() == static_cast<IdxBarControl*>(this)) return;
  // The bar that had the keyboard gets it back when this one lets go.
  IdxBarControl* previous = manager->FocusedBarControl();
  if (FPrevFocusedBarControlLink) cxReleaseObjectLink(FPrevFocusedBarControlLink);
  FPrevFocusedBarControlLink = previous ? cxCreateObjectLink(previous->BarControlObject()) : nullptr;
  manager->SetFocusedBarControl(this);
}

void TdxBarControl::LeaveBarFocus() {
  auto* previous =
      FPrevFocusedBarControlLink ? dynamic_cast<IdxBarControl*>(FPrevFocusedBarControlLink->Ref) : nullptr;
  if (FPrevFocusedBarControlLink) {
    cxReleaseObjectLink(FPrevFocusedBarControlLink);
    FPrevFocusedBarControlLink = nullptr;
  }
  TdxBarManager* manager = BarManager();
  if (manager && manager->FocusedBarControl() == static_cast<IdxBarControl*>(this))
    manager->SetFocusedBarControl(previous);
  TBarLink self(this);
  TCustomdxBarControl::LeaveBarFocus();
  if (!self.Alive()) return;
  if (manager) manager->RefreshHotTrackUnderMouse();
  TCustomForm* host = GetHostForm();
  HWND focus = FBeforeBarGetFocusFocusedWnd;
  FBeforeBarGetFocusFocusedWnd = nullptr;
  if (Application && Application->Active() && host && host->HandleAllocated() && cxIsFormActivated(host) && focus &&
      IsWindow(focus) && ::IsWindowVisible(focus))
    ::SetFocus(focus);
}

void TdxBarControl::HideChain() {
  TBarLink self(this);
  BarLostFocus();
  if (!self.Alive()) return;
  TCustomdxBarControl::HideChain();
  if (!self.Alive() || !IsPopupWindow()) return;
  // The click that closes the popup on its parent's mark does not open it again.
  if (FParentBar && GetKeyState(VK_LBUTTON) < 0) {
    POINT p{};
    GetCursorPos(&p);
    if (GetParentMarkScreenRect().Contains(TPoint(p.x, p.y))) FParentBar->SetIgnoreMouseClick(true);
  }
  CloseUp();
}

// ---- client painting

void TdxBarControl::Paint() {
  TcxCanvas* canvas = cxCanvas();
  canvas->SaveClipRegion();
  TCustomdxBarControl::Paint();
  TdxBarManager* manager = BarManager();
  if (manager && manager->OtherManagerCustomizing()) {
    canvas->RestoreClipRegion();
    dxBarHatchDisabledArea(canvas->Handle(), ClientRect());
    return;
  }
  canvas->RestoreClipRegion();
}

void TdxBarControl::PaintBar() {
  if (IsDestroying()) return;
  TdxBarManager* manager = BarManager();
  if (manager && !manager->Designing() && FItemLinks)
    for (int i = 0; i < FItemLinks->CanVisibleItemCount(); ++i) {
      TdxBarItemLink* link = FItemLinks->CanVisibleItems(i);
      if (link->VisibleIndex() >= 0 || !link->Item() || !link->Item()->WantsHiddenControlNotice()) continue;
      link->Item()->HiddenControlNotice(link->Control());
    }
  TcxCanvas* canvas = cxCanvas();
  const TdxBarPainter* painter = GetPainter();
  canvas->SaveClipRegion();
  if (painter->HasOwnBarBackground()) DrawBarBackground();
  PaintItemControls();
  for (const TdxBarItemSeparatorData& s : FViewInfo->Separators()) DrawSeparator(s.Bounds, s.Kind == skHorizontal);
  if (HasMDIArea()) DrawMDIButtons(canvas->Handle(), true, !ShowsMDIButtons());
  if (FDockingStyle != dsNone && HasMark()) {
    const TRect mark = painter->BarMarkItemRect(this);
    painter->BarDrawMarks(this, canvas, mark, GetToolbarBrush());
    canvas->ExcludeClipRect(mark);
  }
  if (!painter->HasOwnBarBackground()) DrawBarBackground();
  canvas->RestoreClipRegion();
  // The designer marks the toolbar it has selected.
  IdxBarDesignController* designer = dxBarDesignControllerSlot();
  if (manager && manager->Designing() && designer && FBar && designer->IsSelected(FBar)) {
    const TRect client = ClientRect();
    if (designer->NeedDefaultSelection(FBar)) {
      dxFrameSolidRect(canvas->Handle(), client, clWindowText);
    } else {
      const RECT r{client.Left, client.Top, client.Right, client.Bottom};
      DrawFocusRect(canvas->Handle(), &r);
    }
  }
}

void TdxBarControl::DrawSeparator(const TRect& ARect, bool AHorizontal) {
  TcxCanvas* canvas = cxCanvas();
  GetPainter()->BarDrawBeginGroup(this, canvas->Handle(), ARect, GetToolbarBrush(), AHorizontal);
  canvas->ExcludeClipRect(ARect);
}

void TdxBarControl::DrawBarBackground() { GetPainter()->PrepareBarBackground(this); }

TPoint TdxBarControl::GetClientOffset() {
  if (!HandleAllocated()) {
    const TRect offsets = ContentOffsets(FDockingStyle);
    return TPoint(offsets.Left, offsets.Top);
  }
  POINT p{0, 0};
  ::ClientToScreen(WindowHandle(), &p);
  const TRect window = WindowRectOf(WindowHandle());
  return TPoint(p.x - window.Left, p.y - window.Top);
}

TRect TdxBarControl::GetOuterBounds() {
  TRect r = BoundsRect();
  if (FDockingStyle != dsNone && FDockControl && FDockControl->HandleAllocated()) {
    const TRect dock = FDockControl->ClientRect();
    r = TRect(std::max(r.Left, dock.Left), std::max(r.Top, dock.Top), std::min(r.Right, dock.Right),
              std::min(r.Bottom, dock.Bottom));
    POINT a{r.Left, r.Top}, b{r.Right, r.Bottom};
    ::ClientToScreen(FDockControl->WindowHandle(), &a);
    ::ClientToScreen(FDockControl->WindowHandle(), &b);
    r = TRect(a.x, a.y, b.x, b.y);
  }
  return r;
}

bool TdxBarControl::HasBackgroundBitmap() {
  TdxBarManager* manager = BarManager();
  return TCustomdxBarControl::HasBackgroundBitmap() || (GetBackgroundBitmap() && !GetBackgroundBitmap()->Empty()) ||
         (manager && manager->Backgrounds() && manager->Backgrounds()->Bar() && !manager->Backgrounds()->Bar()->Empty());
}

bool TdxBarControl::HasCustomBackground() {
  return (FBar && FBar->Color() != clDefault) || HasBackgroundBitmap() || TCustomdxBarControl::HasCustomBackground() ||
         GetPainter()->HasOwnBarBackground();
}

// ---- popup toolbars

TPoint TdxBarControl::GetPopupSize() { return CalcSizeForDockingStyle(dsNone); }

void TdxBarControl::PopupEx(const TRect& R, TXDirection ADirection) {
  FClosedByEscape = false;
  const TPoint S = GetPopupSize();
  auto* parent = dynamic_cast<TdxBarControl*>(FParentBar);
  const bool verticalParent = parent && parent->IsRealVertical();
  TPoint P = verticalParent ? TPoint(R.Right, R.Top)
                            : (ADirection == xdLeft ? TPoint(R.Right - S.X, R.Bottom) : TPoint(R.Left, R.Bottom));
  TRect W;
  cxWorkAreaFromPoint(P, W);
  if (verticalParent) {
    if (P.X + S.X > W.Right) P.X = R.Left - S.X;
    P.Y = std::max(P.Y, W.Top);
    P.Y = std::min(P.Y, W.Bottom - S.Y);
  } else {
    P.X = std::max(P.X, W.Left);
    P.X = std::min(P.X, W.Right - S.X);
    if (P.Y + S.Y > W.Bottom) P.Y = R.Top - S.Y;
  }
  SetOwnerBounds(R);
  HandleNeeded();
  if (IsWindows6OrLater) {
    SetWindowPos(WindowHandle(), HWND_TOP, P.X, P.Y, S.X, S.Y, SWP_NOACTIVATE);
    ShowWindow(WindowHandle(), SW_SHOWNOACTIVATE);
  } else {
    SetWindowPos(WindowHandle(), HWND_TOP, P.X, P.Y, S.X, S.Y, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  }
  SetBounds(P.X, P.Y, S.X, S.Y);
}

void TdxBarControl::CloseUp() {
  if (auto* parent = dynamic_cast<TdxBarControl*>(FParentBar); parent && dxBarIsLiveControl(parent))
    parent->ChangeMarkState(msNone);
}

void TdxBarControl::Hide() {
  if (HandleAllocated())
    SetWindowPos(WindowHandle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  if (TdxBarItemControl* selected = SelectedControl()) selected->ShowOwnedWindows(false);
}
