#include "bars/controls/dxBarControls.h"

#include "bars/controls/dxBarDockControl.h"
#include "bars/controls/dxBarPainter.h"
#include "bars/controls/dxBarPainters.h"
#include "bars/controls/dxBarShadows.h"
#include "bars/model/dxBarScreenTip.h"
#include "foundation/cxClasses.h"
#include "foundation/cxControlsRoutines.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/Forms.h"

#include <algorithm>

namespace {

std::vector<TCustomdxBarControl*>& LiveControls() {
  static std::vector<TCustomdxBarControl*> list;
  return list;
}

TCustomdxBarControl*& ActiveBarControl() {
  static TCustomdxBarControl* active = nullptr;
  return active;
}

TPoint CursorPos() {
  POINT p{};
  GetCursorPos(&p);
  return TPoint(p.x, p.y);
}

}  // namespace

bool dxBarIsLiveControl(TObject* AControl) {
  if (!AControl) return false;
  const auto& list = LiveControls();
  return std::find(list.begin(), list.end(), AControl) != list.end();
}

TCustomdxBarControl* dxBarActiveBarControl() { return ActiveBarControl(); }

// ---------------------------------------------------------------------------
// TCustomdxBarControlViewInfo
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TCustomdxBarControlViewInfo, TObject, (ConstructWith<TCustomdxBarControlViewInfo, TCustomdxBarControl>))

void TCustomdxBarControlViewInfo::ClearLayout() {
  FItems.clear();
  FSeparators.clear();
}

int TCustomdxBarControlViewInfo::GetItemControlIndex(TdxBarItemControl* AControl) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i]->Control() == AControl) return static_cast<int>(i);
  return -1;
}

void TCustomdxBarControlViewInfo::RemoveItemControlViewInfo(TdxBarItemControlViewInfo* AViewInfo) {
  FItems.erase(std::remove(FItems.begin(), FItems.end(), AViewInfo), FItems.end());
}

// ---------------------------------------------------------------------------
// TCustomdxBarControl
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TCustomdxBarControl, TCustomControl, nullptr)

TCustomdxBarControl::TCustomdxBarControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FCanvas = Make<TcxCanvas>(Canvas());
  TControlStyle style = ControlStyle();
  style.Exclude(csCaptureMouse);
  style.Include(csDoubleClicks);
  SetControlStyle(style);
  SetColor(clBtnFace);
  FShadow = Make<TdxBarShadow>(this);  // drop shadow
  SetVisible(false);
  SetBounds(100, 100, 50, 30);
}

void TCustomdxBarControl::AfterConstruction() {
  TCustomControl::AfterConstruction();
  FViewInfo = static_cast<TCustomdxBarControlViewInfo*>(
      TClassOf<TCustomdxBarControlViewInfo, TCustomdxBarControl*>(GetViewInfoClass()).Create(this));
  LiveControls().push_back(this);
}

void TCustomdxBarControl::BeforeDestruction() {
  FState.Include(bsDestroying);
  if (FChildBar && !FChildBar->FState.Contains(bsDestroying)) {
    TCustomdxBarControl* child = FChildBar;
    FChildBar = nullptr;
    TObject::Free(child);
  }
  if (FParentBar && FParentBar->FChildBar == this) FParentBar->FChildBar = nullptr;
  TCustomControl::BeforeDestruction();
}

TCustomdxBarControl::~TCustomdxBarControl() {
  if (OnDestroy) OnDestroy(this);
  dxBarHintObjectDestroying(this);
  TdxBarManager* manager = BarManager();
  if (manager && FItemLinks) {
    auto* selected = dynamic_cast<TdxBarItemControl*>(manager->SelectedItem());
    if (selected && selected->Parent() == this) manager->StoreSelectedItem(nullptr);
  }
  if (ActiveBarControl() == this) ActiveBarControl() = FPrevActiveBarControl && dxBarIsLiveControl(FPrevActiveBarControl)
                                                            ? FPrevActiveBarControl
                                                            : nullptr;
  FState.Include(bsDestroyingWindow);
  TObject::Free(FShadow);  // drop shadow: its windows go before the bar's, which owns them
  FShadow = nullptr;
  if (HandleAllocated())
    DestroyHandle();
  else
    ClearControls();
  auto& list = LiveControls();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  cxClearObjectLinks(this);
  TObject::Free(FViewInfo);
  FViewInfo = nullptr;
  TObject::Free(FCanvas);
  FCanvas = nullptr;
  FState.Include(bsDestroyed);
}

bool TCustomdxBarControl::IsDestroying() {
  return FState.Contains(bsDestroying) || ComponentState().Contains(csDestroying);
}

TdxBarManager* TCustomdxBarControl::BarManager() const { return dynamic_cast<TdxBarManager*>(Owner()); }

void TCustomdxBarControl::SetItemLinks(TdxBarItemLinks* AValue) { FItemLinks = AValue; }

bool TCustomdxBarControl::IsWindowVisible() { return HandleAllocated() && ::IsWindowVisible(WindowHandle()); }

TcxCanvas* TCustomdxBarControl::cxCanvas() {
  if (!HandleAllocated()) {
    // Measuring before the window exists goes through the screen.
    TcxScreenCanvas* screen = cxGetSharedScreenCanvas();
    screen->Font()->Assign(Font());
    return screen;
  }
  return FCanvas;
}

const TdxBarPainter* TCustomdxBarControl::GetPainter() {
  if (FPainter) return FPainter;
  if (FParentBar) return FParentBar->GetPainter();
  if (FDockControl) return FDockControl->GetPainter();
  return dxBarManagerPainter(BarManager());
}

TdxBarBehaviorOptions TCustomdxBarControl::BehaviorOptions() {
  if (FParentBar) return FParentBar->BehaviorOptions();
  return {bboAllowDetach, bboAllowSelectWindowItemsWithoutFocusing, bboExtendItemWhenAlignedToClient};
}

void TCustomdxBarControl::SetParentBar(TCustomdxBarControl* AValue) {
  FParentBar = AValue;
  if (AValue && AValue->FChildBar != this) AValue->FChildBar = this;
}

bool TCustomdxBarControl::IsCustomizing() {
  TdxBarManager* manager = BarManager();
  return manager && manager->IsCustomizing();
}

// ---- metrics

int TCustomdxBarControl::CalcTextSize() { return GetPainter()->GetDefaultTextSize(cxCanvas()); }

int TCustomdxBarControl::NormalItemHeight() { return GetPainter()->SubMenuControlNormalItemHeight(); }

void TCustomdxBarControl::CalcMetrics() {
  FTextSize = CalcTextSize();
  const double ratio = static_cast<double>(FTextSize) / NormalItemHeight();
  FRatio = ratio >= 1 ? ratio : 1;
  FMenuArrowHeight = std::max(4, FTextSize / 5);
  FIconAreaSize = GetPainter()->GetIconAreaSize(this);
  TcxCanvas* canvas = cxCanvas();
  const int zeroWidth = canvas->TextWidth(L"0");
  FComboBoxArrowWidth = GetPainter()->ComboBoxArrowWidth(this, zeroWidth);
  FMenuArrowWidth = FTextSize / 4 * 3 + 1;
}

int TCustomdxBarControl::BeginGroupSize() { return GetPainter()->BarBeginGroupSize(); }

int TCustomdxBarControl::LinkBeginGroupSize(TdxBarItemLink* ALink) {
  return ALink && ALink->BeginGroup() && ALink->VisibleIndex() > 0 ? BeginGroupSize() : 0;
}

HBRUSH TCustomdxBarControl::GetToolbarBrush() { return GetPainter()->BarToolbarBrush(); }

// ---- layout

bool TCustomdxBarControl::IsUpdateLocked() {
  TdxBarManager* manager = BarManager();
  return manager && manager->IsUpdateLocked();
}

void TCustomdxBarControl::RecalcBar(bool ARebuildControls) {
  if (IsDestroying() || !HandleAllocated() || FState.Contains(bsCreatingControls) ||
      FState.Contains(bsDestroyingControls) || FState.Contains(bsRepaintBar) || IsUpdateLocked())
    return;
  FState.Include(bsRepaintBar);
  try {
    if (!IsCustomizing()) FSelectedLink = FSelectedLink && FSelectedLink->Control() ? FSelectedLink : nullptr;
    RecalcLayout(ARebuildControls);
  } catch (...) {
    FState.Exclude(bsRepaintBar);
    throw;
  }
  FState.Exclude(bsRepaintBar);
}

void TCustomdxBarControl::RecalcLayout(bool ARebuildControls) {
  if (ARebuildControls) RebuildItemControls();
}

void TCustomdxBarControl::RebuildItemControls() {
  ClearControls();
  BuildControls();
}

void TCustomdxBarControl::BuildControls() {
  if (FState.Contains(bsCreatingControls) || FState.Contains(bsDestroyingControls) || !FItemLinks) return;
  FState.Include(bsCreatingControls);
  try {
    for (int i = 0; i < FItemLinks->CanVisibleItemCount(); ++i) FItemLinks->CanVisibleItems(i)->CreateControl();
  } catch (...) {
    FState.Exclude(bsCreatingControls);
    throw;
  }
  FState.Exclude(bsCreatingControls);
}

void TCustomdxBarControl::ClearControls() {
  if (FState.Contains(bsCreatingControls) || FState.Contains(bsDestroyingControls) || !FItemLinks) return;
  FState.Include(bsDestroyingControls);
  if (FViewInfo) FViewInfo->ClearLayout();
  FSelectedLink = nullptr;
  FPrevTrackedLink = nullptr;
  FClickedControl = nullptr;
  for (int i = 0; i < FItemLinks->Count(); ++i) FItemLinks->Items(i)->DestroyControl();
  FState.Exclude(bsDestroyingControls);
}

void TCustomdxBarControl::CalcLayout() { CalcItemsRect(); }

void TCustomdxBarControl::CalcItemsRect() { FItemsRect = ClientRect(); }

void TCustomdxBarControl::CalcItemRects(TdxBarPaintType AKind) {
  if (FItemLinks) FItemLinks->RebuildLists();
  if (AKind == ptHorz || AKind == ptVert) CalcToolbarItemRects();
}

void TCustomdxBarControl::CalculateViewInfo() {
  if (FViewInfo) FViewInfo->Calculate();
}

TdxBarItemControl* TCustomdxBarControl::ItemAtPos(TPoint APos) {
  if (!FViewInfo) return nullptr;
  for (int i = 0; i < FViewInfo->ItemControlCount(); ++i) {
    TdxBarItemControlViewInfo* info = FViewInfo->ItemControlViewInfo(i);
    if (!info->Bounds().Contains(APos)) continue;
    TdxBarItemControl* control = info->Control();
    if (IsCustomizing() && (!control->AllowsCustomizing() || control->HiddenFromCustomizing())) return nullptr;
    return control;
  }
  return nullptr;
}

TRect TCustomdxBarControl::GetItemRect(TdxBarItemControl* AControl) {
  return AControl ? AControl->ItemBounds() : TRect();
}

bool TCustomdxBarControl::OwnsItemControl(TdxBarItemControl* AControl) {
  return AControl && FItemLinks && FItemLinks->IsControlExists(AControl);
}

void TCustomdxBarControl::LinkDestroying(TdxBarItemLink* ALink) {
  if (FSelectedLink == ALink) FSelectedLink = nullptr;
  if (FPrevTrackedLink == ALink) FPrevTrackedLink = nullptr;
  if (FClickedControl && FClickedControl->ItemLink() == ALink) FClickedControl = nullptr;
}

// ---- window

void TCustomdxBarControl::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.WindowClass.style |= CS_DBLCLKS;
}

void TCustomdxBarControl::CreateWnd() {
  TCustomControl::CreateWnd();
  AssignDefaultFont();
  CalcMetrics();
}

void TCustomdxBarControl::CreateWindowHandle(const TCreateParams& Params) {
  TCustomControl::CreateWindowHandle(Params);
  BuildControls();
}

void TCustomdxBarControl::DestroyWindowHandle() {
  if (FShadow) FShadow->SetVisible(false);  // drop shadow: the system would take its owned windows
  if (HandleAllocated()) NotifyItemsWindowDestroying();
  ClearControls();
  TCustomControl::DestroyWindowHandle();
}

void TCustomdxBarControl::NotifyItemsWindowDestroying() {
  if (FTrackingMouse) FTrackingMouse = false;
  if (!FItemLinks) return;
  for (int i = 0; i < FItemLinks->Count(); ++i)
    if (auto* control = dynamic_cast<TdxBarItemControl*>(FItemLinks->Items(i)->Control()))
      control->ParentWindowDestroying();
}

void TCustomdxBarControl::UpdateCanvasFont() {
  if (FState.Contains(bsUpdatingCanvasFont)) return;
  FState.Include(bsUpdatingCanvasFont);
  Canvas()->Font()->Assign(Font());
  FState.Exclude(bsUpdatingCanvasFont);
}

void TCustomdxBarControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS:
      // A bar window never keeps the focus: it goes back to the form.
      if (TdxBarManager* manager = BarManager())
        if (TWinControl* owner = manager->OwnerControl(); owner && owner->HandleAllocated())
          ::SetFocus(owner->WindowHandle());
      return;
    case WM_KILLFOCUS:
      TCustomControl::WndProc(Message);
      if (Message.WParam == 0 && dxBarIsLiveControl(this)) HideAll();
      return;
    case WM_MOUSEACTIVATE:
      Message.Result = MA_NOACTIVATE;
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_MOUSELEAVE:
      FTrackingMouse = false;
      MouseLeaveHandler();
      return;
    case WM_CAPTURECHANGED:
      TCustomControl::WndProc(Message);
      FClickedControl = nullptr;
      return;
    case WM_DESTROY:
      if (!IsDestroying()) {
        ChangeMarkState(msNone);
        NotifyItemsWindowDestroying();
      }
      break;
    case WM_WINDOWPOSCHANGED:
      TCustomControl::WndProc(Message);
      if (!IsDestroying()) {
        // drop shadow
        ShadowFollowWindow(Message.LParam ? reinterpret_cast<const WINDOWPOS*>(Message.LParam)->flags : 0);
        BoundsChanged();
      }
      return;
    case WM_KEYDOWN:
      KeyDownMessage(Message);
      return;
    case DXM_BAR_RECALC:
      RepaintBar();
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (FIgnoreMouseClick) return;
      break;
    default:
      break;
  }
  const bool mouse = (Message.Msg >= 0xA0 && Message.Msg <= 0xA9) || (Message.Msg >= 0x200 && Message.Msg <= 0x20E);
  if (mouse && !IsInActiveChain()) return;
  if (Message.Msg != WM_LBUTTONUP) {
    TCustomControl::WndProc(Message);
    if (Message.Msg == WM_MOUSEMOVE && dxBarIsLiveControl(this)) {
      // The position that later moves compare with: a move to the very same
      // place (a window appearing under the cursor) does not hot-track.
      if (IsMouseInputBlocked(true) && IsMouseInputBlocked(false))
        MouseLeaveHandler();
      else if (!IsMouseInputBlocked(true)) {
        FLastMousePos = CursorPos();
        FHasLastMousePos = true;
      }
    }
    return;
  }
  // WM_LBUTTONUP
  if (FIgnoreMouseClick) {
    FIgnoreMouseClick = false;
    return;
  }
  TCustomControl::WndProc(Message);
  if (!dxBarIsLiveControl(this)) return;
  TdxBarItemControl* captured = FClickedControl;
  if (captured && GetCapture() == WindowHandle()) ReleaseCapture();
  const TPoint p(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
  if (ClientRect().Contains(p) && FIsActive) {
    TdxBarItemControl* control = ItemAtPos(p);
    if (control && !IsCustomizing() && control->AcceptsMouse()) {
      if (control->Enabled() && control == SelectedControl()) {
        control->ExecuteClick(true);
      } else if (!control->Enabled() && control != SelectedControl() && Kind() == bkBarControl) {
        TdxBarItemControl* selected = SelectedControl();
        if (!(dynamic_cast<TdxBarButtonControl*>(selected) && selected->IsDroppedDown())) HideAll();
      }
    }
  }
  if (captured && dxBarIsLiveControl(this)) HideAll();
}

void TCustomdxBarControl::Paint() {
  if (IsDestroying()) return;
  PaintBar();
}

void TCustomdxBarControl::PaintBar() {
  FCanvas->SaveClipRegion();
  PaintItemControls();
  DrawBackgroundRect(FCanvas->Handle(), ClientRect(), false, clNone, GetToolbarBrush());
  FCanvas->RestoreClipRegion();
}

void TCustomdxBarControl::PaintItemControls() {
  if (!FViewInfo) return;
  for (int i = 0; i < FViewInfo->ItemControlCount(); ++i) {
    TdxBarItemControlViewInfo* info = FViewInfo->ItemControlViewInfo(i);
    TdxBarItemControl* control = info->Control();
    const bool canDraw = !IsDestroying() && control && control->ItemLink() && control->ItemLink()->Control() == control &&
                         !FState.Contains(bsPaintItem) && !IsUpdateLocked();
    // A hovered button invalidates its own rectangle: the others stay as they are on screen.
    if (canDraw && FCanvas->RectVisible(info->Bounds())) DrawItemControl(FCanvas, control);
    FCanvas->ExcludeClipRect(info->Bounds());
  }
}

void TCustomdxBarControl::DrawItemControl(TcxCanvas* ACanvas, TdxBarItemControl* AControl) {
  FState.Include(bsPaintItem);
  FBkBrush = GetToolbarBrush();
  const TRect bounds = AControl->ViewInfo()->Bounds();
  ACanvas->SaveClipRegion();
  try {
    ACanvas->IntersectClipRect(bounds);
    AControl->Paint(ACanvas, bounds, GetPaintType());
  } catch (...) {
    ACanvas->RestoreClipRegion();
    FState.Exclude(bsPaintItem);
    throw;
  }
  ACanvas->RestoreClipRegion();
  FState.Exclude(bsPaintItem);
}

void TCustomdxBarControl::DrawBackgroundRect(HDC DC, const TRect& ARect, bool, TColor AColor, HBRUSH ABrush) {
  GetPainter()->BarDrawBackground(this, DC, ARect, ARect, ABrush, AColor);
}

void TCustomdxBarControl::RepaintItemControl(TdxBarItemControl* AControl) {
  if (!AControl || !HandleAllocated()) return;
  const TRect r = AControl->ItemBounds();
  RECT rect{r.Left, r.Top, r.Right, r.Bottom};
  InvalidateRect(WindowHandle(), &rect, FALSE);
}

// ---- mouse

bool TCustomdxBarControl::IsInActiveChain() {
  TCustomdxBarControl* active = ActiveBarControl();
  if (!active) return true;
  for (TCustomdxBarControl* bar = active; bar; bar = bar->FParentBar)
    if (bar == this) return true;
  return false;
}

bool TCustomdxBarControl::IsMouseInputBlocked(bool ACheckPosition) {
  if (IsCustomizing() || !IsWindowVisible()) return true;
  const TPoint cursor = CursorPos();
  if (ACheckPosition) return FHasLastMousePos && cursor == FLastMousePos;
  RECT r;
  GetWindowRect(WindowHandle(), &r);
  return !TRect(r.left, r.top, r.right, r.bottom).Contains(cursor);
}

void TCustomdxBarControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  const TPoint p(X, Y);
  TdxBarItemControl* control = ItemAtPos(p);
  if (!FHasLastMousePos && !IsCustomizing()) HotTrackAt(Shift, p, control);
  if (!dxBarIsLiveControl(this)) return;
  if (Shift.Contains(ssDouble) && control && control == SelectedControl() && control->AcceptsDoubleClick()) {
    control->DefaultDoubleClickAction();
    return;
  }
  ItemMouseDown(Button, Shift, p, control);
}

void TCustomdxBarControl::ItemMouseDown(TMouseButton AButton, TShiftState AShift, TPoint APoint,
                                        TdxBarItemControl* AControl) {
  if (IsCustomizing() && AControl && !AControl->AllowsCustomizing()) return;
  if (AControl && !IsMouseInputBlocked(false)) AControl->HandleMouseDown(AButton, AShift, APoint.X, APoint.Y);
  if (!dxBarIsLiveControl(this)) return;
  if (AButton == mbLeft) {
    if (!IsCustomizing()) PressItemControl(AControl);
  } else if (AButton == mbRight) {
    if (AControl != SelectedControl()) BarLostFocus();
  }
}

void TCustomdxBarControl::PressItemControl(TdxBarItemControl* AControl) {
  if (!AControl || !AControl->Enabled() || !AControl->AcceptsMouse()) return;
  SetSelectedItemControl(AControl);
  if (TdxBarManager* manager = BarManager()) manager->HideHint();
  if (auto* button = dynamic_cast<TdxBarButtonLikeControl*>(SelectedControl())) button->ShowAnimation = true;
  AControl->Press(true);
  if (dxBarIsLiveControl(this) && OwnsItemControl(AControl))
    if (auto* button = dynamic_cast<TdxBarButtonControl*>(SelectedControl())) button->ShowAnimation = false;
}

void TCustomdxBarControl::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (IsDestroying()) return;
  const TPoint p(X, Y);
  TdxBarItemControl* control = ItemAtPos(p);
  if (!FHasLastMousePos && !IsMouseInputBlocked(false)) HotTrackAt(Shift, p, control);
  if (dxBarIsLiveControl(this)) ItemMouseMove(Shift, p, control);
}

void TCustomdxBarControl::HotTrackAt(TShiftState AShift, TPoint APoint, TdxBarItemControl* AControl) {
  if (!FTrackingMouse && HandleAllocated()) {
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, WindowHandle(), 0};
    FTrackingMouse = TrackMouseEvent(&track) != FALSE;
  }
  TrackLink(AControl ? AControl->ItemLink() : nullptr, AShift, APoint);
  SetViewState(dxbvsHot);
}

void TCustomdxBarControl::TrackLink(TdxBarItemLink* ALink, TShiftState AShift, TPoint APoint) {
  if (ALink != FPrevTrackedLink) {
    if (FPrevTrackedLink)
      if (auto* old = dynamic_cast<TdxBarItemControl*>(FPrevTrackedLink->Control())) old->HandleMouseLeave();
    FPrevTrackedLink = ALink;
    if (ALink)
      if (auto* control = dynamic_cast<TdxBarItemControl*>(ALink->Control()))
        control->HandleMouseEnter(AShift, APoint.X, APoint.Y);
  }
  if (FPrevTrackedLink)
    if (auto* control = dynamic_cast<TdxBarItemControl*>(FPrevTrackedLink->Control()))
      control->HandleMouseMove(AShift, APoint.X, APoint.Y);
}

void TCustomdxBarControl::SetViewState(TdxBarViewState AValue) {
  if (IsCustomizing()) return;
  FViewState = AValue;
}

void TCustomdxBarControl::ItemMouseMove(TShiftState AShift, TPoint APoint, TdxBarItemControl* AControl) {
  if (IsMouseInputBlocked(true)) return;
  TrackLink(AControl ? AControl->ItemLink() : nullptr, AShift, APoint);
  if (AControl && !AControl->IsMouseSelectable()) AControl = nullptr;
  if ((Kind() != bkBarControl || !FIsActive || AControl) && !FClickedControl && (AControl || !FChildBar))
    SelectItemControlNavigated(AControl);
}

void TCustomdxBarControl::MouseLeaveHandler() {
  FHasLastMousePos = false;
  if (!KeepsHotStateOnLeave()) BarMouseLeave();
}

void TCustomdxBarControl::BarMouseLeave() {
  SetViewState(dxbvsNormal);
  TrackLink(nullptr, TShiftState(), TPoint());
  if (FMarkState == msSelected) ChangeMarkState(msNone);
  TdxBarItemControl* selected = SelectedControl();
  if (!FClickedControl && selected && !selected->IsDroppedDown() && !IsCustomizing()) SelectItemControlNavigated(nullptr);
}

void TCustomdxBarControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  const TPoint p(X, Y);
  const TRect client = ClientRect();
  const TPoint inside(std::clamp(X, client.Left, std::max(client.Left, client.Right - 1)),
                      std::clamp(Y, client.Top, std::max(client.Top, client.Bottom - 1)));
  ItemMouseUp(Button, Shift, inside, ItemAtPos(p));
}

void TCustomdxBarControl::ItemMouseUp(TMouseButton AButton, TShiftState AShift, TPoint APoint,
                                      TdxBarItemControl* AControl) {
  if (AControl && !IsMouseInputBlocked(false)) AControl->HandleMouseUp(AButton, AShift, APoint.X, APoint.Y);
}

// ---- selection and activity

TdxBarItemControl* TCustomdxBarControl::SelectedControl() const {
  return FSelectedLink ? dynamic_cast<TdxBarItemControl*>(FSelectedLink->Control()) : nullptr;
}

void TCustomdxBarControl::SetSelectedItemControl(TdxBarItemControl* AControl) {
  if (!HandleAllocated() || IsDestroying()) return;
  TdxBarItemControl* old = SelectedControl();
  if (old == AControl) return;
  if (old && old->IsActive()) old->BecomeInactive(true);
  if (!dxBarIsLiveControl(this)) return;
  if (AControl) AControl->SetSelectedByMouse(false);
  ChangeSelectedItemControl(AControl);
}

void TCustomdxBarControl::SelectItemControlNavigated(TdxBarItemControl* AControl) {
  if (!HandleAllocated() || IsDestroying()) return;
  TdxBarItemControl* old = SelectedControl();
  if (old == AControl) return;
  if (old && old->IsActive()) old->BecomeInactive(false);
  if (!dxBarIsLiveControl(this)) return;
  if (AControl) AControl->SetSelectedByMouse(true);
  ChangeSelectedItemControl(AControl);
  TdxBarItemControl* selected = SelectedControl();
  if (dxBarIsLiveControl(this) && selected) {
    if (auto* button = dynamic_cast<TdxBarButtonLikeControl*>(selected)) button->ShowAnimation = true;
    selected->BecomeActive(false, true);
  }
}

void TCustomdxBarControl::ChangeSelectedItemControl(TdxBarItemControl* AValue) {
  TdxBarItemControl* old = SelectedControl();
  if (old == AValue) return;
  FSelectedLink = AValue ? AValue->ItemLink() : nullptr;
  TdxBarManager* manager = BarManager();
  if (manager) {
    if (IsCustomizing())
      manager->SetSelectedItem(AValue);
    else
      manager->StoreSelectedItem(AValue);
  }
  if (!dxBarIsLiveControl(this)) return;
  if (old) RepaintItemControl(old);
  if (AValue) RepaintItemControl(AValue);
  if (!AValue) SetCursor(crDefault);
  if (manager && (AValue || Kind() == bkSubMenu || FMarkState == msNone)) {
    manager->ActivateHint(true, String(), AValue);
    if (!dxBarIsLiveControl(this)) return;
  }
  const bool showHint = AValue && (AValue->Enabled() || (manager && manager->ShowHintForDisabledItems()));
  SetHint(showHint ? AValue->ShortHint() : String());
}

void TCustomdxBarControl::AdjustHintPosition(TPoint& APos, int AHeight) {
  const int d = dxBarScaleToScreenDPI(20);
  TRect workArea;
  cxWorkAreaFromPoint(APos, workArea);
  if (APos.Y + d + AHeight > workArea.Bottom) {
    POINT top{0, 0};
    if (HandleAllocated()) ::ClientToScreen(WindowHandle(), &top);
    APos.Y = top.y - AHeight;
  } else {
    APos.Y += d;
  }
}

void TCustomdxBarControl::SetIsActive(bool AValue) {
  if (TdxBarManager* manager = BarManager()) manager->HideHint();
  if ((AValue != FIsActive && IsInputContextActive()) || (IsCustomizing() && !AValue)) ApplyIsActive(AValue);
}

bool TCustomdxBarControl::IsInputContextActive() {
  return (Application && Application->Active()) || (HandleAllocated() && IsWindowEnabled(WindowHandle())) ||
         IsCustomizing();
}

void TCustomdxBarControl::ApplyIsActive(bool AValue) {
  TCustomdxBarControl*& active = ActiveBarControl();
  if (AValue) {
    if (active != this) {
      FPrevActiveBarControl = active;
      active = this;
    }
    FIsActive = true;
    return;
  }
  FIsActive = false;
  if (IsCustomizing())
    FSelectedLink = nullptr;
  else
    SetSelectedItemControl(nullptr);
  if (active == this) {
    TCustomdxBarControl* previous = FPrevActiveBarControl;
    active = previous && dxBarIsLiveControl(previous) && previous->FIsActive ? previous : nullptr;
  }
  FPrevActiveBarControl = nullptr;
}

namespace {

TCustomdxBarControl*& FocusedBarControl() {
  static TCustomdxBarControl* focused = nullptr;
  return focused;
}

}  // namespace

bool TCustomdxBarControl::IsFocused() { return FocusedBarControl() == this; }

void TCustomdxBarControl::EnterBarFocus(TdxBarItemControl* AControl) {
  FocusedBarControl() = this;
  SetSelectedItemControl(AControl);
  SetIsActive(true);
}

void TCustomdxBarControl::LeaveBarFocus() {
  if (FocusedBarControl() == this) FocusedBarControl() = nullptr;
  SetSelectedItemControl(nullptr);
  SetIsActive(false);
}

void TCustomdxBarControl::BarLostFocus() {
  if (IsFocused()) LeaveBarFocus();
}

void TCustomdxBarControl::HideAll() {
  if (FState.Contains(bsHideAll)) return;
  FState.Include(bsHideAll);
  HideChain();
  if (dxBarIsLiveControl(this)) FState.Exclude(bsHideAll);
}

void TCustomdxBarControl::HideChain() {
  SetIsActive(false);
  if (dxBarIsLiveControl(this) && FParentBar && !FClosedByEscape) FParentBar->HideAll();
}

void TCustomdxBarControl::CloseByEscape() {
  FClosedByEscape = true;
  HideAll();
}

// ---- keyboard

void TCustomdxBarControl::KeyDownMessage(TMessage& Message) {
  TcxObjectLink* self = cxCreateObjectLink(this);
  TCustomControl::WndProc(Message);
  const bool gone = !self->Ref;
  cxReleaseObjectLink(self);
  if (gone || !ActiveBarControl()) return;
  auto& key = reinterpret_cast<TWMKey&>(Message);
  Word code = key.CharCode;
  if (IsRealVertical()) {
    switch (code) {
      case VK_LEFT: code = VK_UP; break;
      case VK_UP: code = VK_LEFT; break;
      case VK_RIGHT: code = VK_DOWN; break;
      case VK_DOWN: code = VK_RIGHT; break;
      default: break;
    }
    key.CharCode = code;
  }
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  enum { kNone, kPrev, kNext } step = kNone;
  if (code == VK_LEFT) step = kPrev;
  if (code == VK_RIGHT) step = kNext;
  if (code == VK_TAB && !ctrl) step = shift ? kPrev : kNext;
  TdxBarItemLink* target = nullptr;
  if (FItemLinks) {
    if (code == VK_END) target = FItemLinks->LastSelectableLink();
    if (code == VK_HOME) target = FItemLinks->FirstSelectableLink();
    if (step == kPrev)
      target = FSelectedLink ? FItemLinks->PrevSelectableLink(FSelectedLink) : FItemLinks->FirstSelectableLink();
    if (step == kNext)
      target = FSelectedLink ? FItemLinks->NextSelectableLink(FSelectedLink) : FItemLinks->FirstSelectableLink();
  }
  if (target) {
    SetSelectedItemControl(dynamic_cast<TdxBarItemControl*>(target->Control()));
    return;
  }
  if (code == VK_MENU || (code == VK_F10 && BarManager() && BarManager()->UseF10ForMenu())) {
    key.CharCode = 0;
    HideAll();
    return;
  }
  if (dxBarIsLiveControl(this) && ActiveBarControl()) HandleBarKey(key);
}

void TCustomdxBarControl::HandleBarKey(TWMKey& Message) {
  if (Message.CharCode == VK_RETURN) ClickSelectedByKeyboard();
}

void TCustomdxBarControl::ClickSelectedByKeyboard() {
  if (TdxBarItemControl* selected = SelectedControl()) selected->PressAndClick(false);
}
