#include "foundation/cxContainerListBox.h"

#include "foundation/cxContainerInternal.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/Menus.h"
#include "platform/gui/OwnerDrawState.h"

#include <algorithm>

namespace {

using cxcontainer::TFlagScope;

bool IsBarShowing(TcxScrollBar* ABar) { return ABar && ABar->Visible(); }

// Messages after which the painted bars follow the native ones.
bool ChangesScrollBars(const TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETREDRAW:
      return Message.WParam != 0;
    case WM_WINDOWPOSCHANGED: case WM_HSCROLL: case WM_VSCROLL: case LB_ADDSTRING: case LB_INSERTSTRING:
    case LB_DELETESTRING: case LB_RESETCONTENT: case LB_SETCURSEL: case LB_SETHORIZONTALEXTENT:
    case LB_SETTOPINDEX: case LB_SETCARETINDEX: case WM_MOUSEWHEEL: case CM_WININICHANGE:
      return true;
  }
  return false;
}

}  // namespace

BEGIN_CLASS(TcxCustomInnerListBox, TListBox, (ConstructWith<TcxCustomInnerListBox, TComponent>))
  b.Message<&TcxCustomInnerListBox::WMGetDlgCode>(WM_GETDLGCODE);
  b.Message<&TcxCustomInnerListBox::WMSetFocus>(WM_SETFOCUS);
  b.Message<&TcxCustomInnerListBox::WMKillFocus>(WM_KILLFOCUS);
  b.Message<&TcxCustomInnerListBox::WMNCPaint>(WM_NCPAINT);
  b.Message<&TcxCustomInnerListBox::WMPrint>(WM_PRINT);
  b.Message<&TcxCustomInnerListBox::CMMouseLeave>(CM_MOUSELEAVE);
  b.Message<&TcxCustomInnerListBox::CNDrawItem>(CN_DRAWITEM);
END_CLASS

TcxCustomInnerListBox::TcxCustomInnerListBox(TComponent* AOwner) : TListBox(AOwner) {
  FCanvas = Make<TcxCanvas>(Canvas());
  FLookAndFeel = Make<TcxLookAndFeel>(this);
  FLookAndFeel->OnChanged = TcxLookAndFeelChangedEvent::Bind<&TcxCustomInnerListBox::LookAndFeelChanged>(this);
  auto makeBar = [this](TScrollBarKind AKind) {
    TcxScrollBar* bar = Make<TcxScrollBar>(this);
    bar->FreeNotification(this);
    bar->SetKind(AKind);
    bar->SetSmallChange(1);
    bar->SetVisible(false);
    bar->LookAndFeel()->SetMasterLookAndFeel(FLookAndFeel);
    return bar;
  };
  FHScrollBar = makeBar(sbHorizontal);
  FHScrollBar->OnScroll = TScrollEvent::Bind<&TcxCustomInnerListBox::HScrollHandler>(this);
  FVScrollBar = makeBar(sbVertical);
  FVScrollBar->OnScroll = TScrollEvent::Bind<&TcxCustomInnerListBox::VScrollHandler>(this);
  SetBorderStyle(bsNone);
  controlStyle_ -= csOpaque;
  controlStyle_ += csDoubleClicks;
  SetParentColor(false);
  SetParentFont(true);
}

TcxCustomInnerListBox::~TcxCustomInnerListBox() {
  // Bars on a parent go with the list box's owned components; the others now.
  if (FHScrollBar && !FHScrollBar->Parent()) FreeAndNil(FHScrollBar);
  if (FVScrollBar && !FVScrollBar->Parent()) FreeAndNil(FVScrollBar);
  if (FLookAndFeel) FLookAndFeel->OnChanged = nullptr;
  FreeAndNil(FLookAndFeel);
  FreeAndNil(FCanvas);
}

void TcxCustomInnerListBox::Notification(TComponent* AComponent, TOperation Operation) {
  TListBox::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FHScrollBar) FHScrollBar = nullptr;
  if (AComponent == FVScrollBar) FVScrollBar = nullptr;
}

void TcxCustomInnerListBox::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) { RedrawIfHandleAllocated(); }

void TcxCustomInnerListBox::RedrawIfHandleAllocated() {
  if (HandleAllocated()) Invalidate();
}

void TcxCustomInnerListBox::DestroyWnd() {
  FIsRedrawLocked = false;
  TListBox::DestroyWnd();
}

bool TcxCustomInnerListBox::ItemVisible(int Index) {
  const TRect r = ItemRect(Index);
  const TRect client(0, 0, Width(), Height());
  return client.Contains(TPoint(r.Left, r.Top)) || client.Contains(TPoint(r.Right - 1, r.Top)) ||
         client.Contains(TPoint(r.Left, r.Bottom - 1)) || client.Contains(TPoint(r.Right - 1, r.Bottom - 1));
}

TPopupMenu* TcxCustomInnerListBox::PopupMenu() { return FContainer ? FContainer->PopupMenu() : TListBox::PopupMenu(); }

// ---- input passed on to the container

void TcxCustomInnerListBox::DragDrop(TObject* Source, int X, int Y) {
  if (FContainer)
    static_cast<TControl*>(FContainer)->DragDrop(Source, X + Left(), Y + Top());
  else
    TListBox::DragDrop(Source, X, Y);
}

void TcxCustomInnerListBox::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  if (FContainer)
    static_cast<TControl*>(FContainer)->DragOver(Source, X + Left(), Y + Top(), State, Accept);
  else
    TListBox::DragOver(Source, X, Y, State, Accept);
}

void TcxCustomInnerListBox::KeyDown(Word& Key, TShiftState Shift) {
  TControlGuard guard(this);
  if (FContainer) static_cast<TWinControl*>(FContainer)->KeyDown(Key, Shift);
  if (guard.Alive() && Key != 0) TListBox::KeyDown(Key, Shift);
}

void TcxCustomInnerListBox::KeyPress(Char& Key) {
  TControlGuard guard(this);
  if (FContainer) {
    if (Key == VK_TAB) Key = 0;
    if (Key != 0) static_cast<TWinControl*>(FContainer)->KeyPress(Key);
    if (!guard.Alive()) return;
    if (Key == VK_RETURN) Key = 0;
  }
  if (Key == 0) return;
  // OnKeyPress, then our own search instead of the platform list's.
  TWinControl::KeyPress(Key);
  if (guard.Alive() && Key != 0) ProcessAutoCompleteKey(Key);
}

void TcxCustomInnerListBox::KeyUp(Word& Key, TShiftState Shift) {
  TControlGuard guard(this);
  if (FContainer) {
    if (Key == VK_TAB) Key = 0;
    if (Key != 0) static_cast<TWinControl*>(FContainer)->KeyUp(Key, Shift);
  }
  if (guard.Alive() && Key != 0) TListBox::KeyUp(Key, Shift);
}

void TcxCustomInnerListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TControlGuard guard(this);
  TListBox::MouseDown(Button, Shift, X, Y);
  if (!guard.Alive() || !FContainer) return;
  TcxContainer* container = FContainer;
  container->SetInnerControlMouseDown(true);
  TControlGuard containerGuard(container);
  try {
    static_cast<TControl*>(container)->MouseDown(Button, Shift, X + Left(), Y + Top());
  } catch (...) {
    if (containerGuard.Alive()) container->SetInnerControlMouseDown(false);
    throw;
  }
  if (containerGuard.Alive()) container->SetInnerControlMouseDown(false);
}

void TcxCustomInnerListBox::MouseMove(TShiftState Shift, int X, int Y) {
  TControlGuard guard(this);
  TListBox::MouseMove(Shift, X, Y);
  if (guard.Alive() && FContainer) static_cast<TControl*>(FContainer)->MouseMove(Shift, X + Left(), Y + Top());
}

void TcxCustomInnerListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TControlGuard guard(this);
  TListBox::MouseUp(Button, Shift, X, Y);
  if (guard.Alive() && FContainer) static_cast<TControl*>(FContainer)->MouseUp(Button, Shift, X + Left(), Y + Top());
}

void TcxCustomInnerListBox::Click() {
  TControlGuard guard(this);
  TListBox::Click();
  if (!guard.Alive()) return;
  if (FVScrollBar) FVScrollBar->SetPosition(TopIndex());
  if (FContainer) FContainer->Click();
}

void TcxCustomInnerListBox::DblClick() {
  TControlGuard guard(this);
  TListBox::DblClick();
  if (guard.Alive() && FContainer) FContainer->DblClick();
}

bool TcxCustomInnerListBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (FContainer && static_cast<TControl*>(FContainer)->DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  return TListBox::DoMouseWheel(Shift, WheelDelta, MousePos);
}

void TcxCustomInnerListBox::WMSetFocus(TWMSetFocus& Message) {
  TControlGuard guard(this);
  DispatchInherited(TcxCustomInnerListBox::StaticClass(), &Message);
  if (!guard.Alive() || !FContainer || FContainer->IsDestroying() || ComponentState().Contains(csDestroying)) return;
  if (FContainer->HandleAllocated() && Message.FocusedWnd == FContainer->WindowHandle()) return;
  FContainer->FocusChanged();
}

void TcxCustomInnerListBox::WMKillFocus(TWMKillFocus& Message) {
  TControlGuard guard(this);
  DispatchInherited(TcxCustomInnerListBox::StaticClass(), &Message);
  if (!guard.Alive() || !FContainer || FContainer->IsDestroying() || ComponentState().Contains(csDestroying)) return;
  FContainer->FocusChanged();
}

void TcxCustomInnerListBox::WMGetDlgCode(TWMGetDlgCode& Message) {
  DispatchInherited(TcxCustomInnerListBox::StaticClass(), &Message);
  if (!FContainer) return;
  Message.Result |= DLGC_WANTCHARS;
  if (GetKeyState(VK_CONTROL) >= 0) Message.Result |= DLGC_WANTTAB;
}

void TcxCustomInnerListBox::CMMouseLeave(TCMMouseEnterLeave& Message) {
  DispatchInherited(TcxCustomInnerListBox::StaticClass(), &Message);
  if (FContainer) FContainer->ShortRefreshContainer(true);
}

void TcxCustomInnerListBox::DefaultHandler(void* Message) {
  if (FContainer && FContainer->InnerControlDefaultHandler(*static_cast<TMessage*>(Message))) return;
  TListBox::DefaultHandler(Message);
}

// With automatic dragging the container drags; the list box's own drag is off
// meanwhile.
void TcxCustomInnerListBox::HandleAutomaticDragClick(TMessage& Message) {
  TControlGuard guard(this);
  TcxContainer* container = FContainer;
  TControlGuard containerGuard(container);
  const bool shift = (Message.WParam & MK_SHIFT) != 0, ctrl = (Message.WParam & MK_CONTROL) != 0;
  const TPoint point(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
  SetDragMode(dmManual);
  auto restore = [&] {
    if (guard.Alive()) SetDragMode(dmAutomatic);
  };
  try {
    if (MultiSelect() && (!shift || ctrl)) {
      const int item = ItemAtPos(point, true);
      if (item >= 0 && GetSelected(item)) {
        // The selection stays: the list never sees this click.
        container->BeginDrag(false);
        restore();
        return;
      }
    }
    TListBox::WndProc(Message);
    if (containerGuard.Alive() && !(MultiSelect() && (ctrl || shift))) container->BeginDrag(false);
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void TcxCustomInnerListBox::WndProc(TMessage& Message) {
  if (FContainer && FContainer->InnerControlMenuHandler(Message)) return;
  if (Message.Msg == WM_SETREDRAW) FIsRedrawLocked = Message.WParam == 0;
  TControlGuard guard(this);
  if (Message.Msg == WM_LBUTTONDOWN && FContainer && DragMode() == dmAutomatic &&
      !ComponentState().Contains(csDesigning)) {
    HandleAutomaticDragClick(Message);
  } else {
    TListBox::WndProc(Message);
  }
  if (!guard.Alive()) return;
  if (Message.Msg == WM_NCCALCSIZE && !FScrollBarsCalculating) {
    SetExternalScrollBarsParameters();
  } else if (ChangesScrollBars(Message)) {
    SetExternalScrollBarsParameters();
    if (Message.Msg == WM_WINDOWPOSCHANGED && HandleAllocated() && IsBarShowing(FHScrollBar) &&
        IsBarShowing(FVScrollBar)) {
      TRect corner = SizeGripCorner();
      RECT window{};
      GetWindowRect(WindowHandle(), &window);
      if (HRGN region = GdiCreateRectRgn(corner.Left + window.left, corner.Top + window.top,
                                         corner.Right + window.left, corner.Bottom + window.top)) {
        SendMessageW(WindowHandle(), WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0);
        GdiDeleteObject(region);
      }
    }
  }
}

// ---- painted scroll bars

void TcxCustomInnerListBox::PlaceScrollBar(TcxScrollBar* ABar, LONG AObjectId, int ABarKind) {
  if (!ABar) return;
  SCROLLBARINFO info{};
  bool show = false;
  TRect bounds;
  if (Parent() && HandleAllocated() && cxQueryScrollBarInfo(WindowHandle(), AObjectId, info) &&
      (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) == 0) {
    ABar->SetEnabled((info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0 && ABar->Parent() && ABar->Parent()->Enabled());
    const TPoint topLeft = Parent()->ScreenToClient(TPoint(info.rcScrollBar.left, info.rcScrollBar.top));
    const int w = info.rcScrollBar.right - info.rcScrollBar.left, h = info.rcScrollBar.bottom - info.rcScrollBar.top;
    show = !(topLeft.X < 0 || topLeft.Y < 0 || w > Width() || h > Height());
    if (show) bounds = TRect(topLeft.X, topLeft.Y, topLeft.X + w, topLeft.Y + h);
  }
  if (show) {
    if (ABar->Parent() != Parent()) {
      ++FScrollBarsLockCount;
      try {
        ABar->SetParent(Parent());
      } catch (...) {
        --FScrollBarsLockCount;
        throw;
      }
      --FScrollBarsLockCount;
    }
    ABar->SetCtl3D(false);
    ABar->SetBoundsRect(bounds);
    ABar->BringToFront();
  } else {
    ABar->SetBoundsRect(TRect());
  }
  ABar->SetVisible(show);
  if (!show) return;
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  if (!GetScrollInfo(WindowHandle(), ABarKind, &si)) return;
  const int page = std::max(0, std::min(static_cast<int>(si.nPage), si.nMax));
  // The bar's own order: minimum, maximum, position, page.
  ABar->SetScrollParams(si.nMin, si.nMax, si.nPos, page, true);
}

void TcxCustomInnerListBox::SetExternalScrollBarsParameters() {
  if (ComponentState().Contains(csDestroying) || FScrollBarsLockCount > 0 || !cxCanQueryScrollBarInfo() ||
      FIsRedrawLocked)
    return;
  TFlagScope calculating(FScrollBarsCalculating, true);
  PlaceScrollBar(FHScrollBar, OBJID_HSCROLL, SB_HORZ);
  PlaceScrollBar(FVScrollBar, OBJID_VSCROLL, SB_VERT);
}

void TcxCustomInnerListBox::HScrollHandler(TObject*, TScrollCode ScrollCode, int& ScrollPos) {
  if (!FHScrollBar || !FHScrollBar->HandleAllocated() || !HandleAllocated()) return;
  CallWindowProcW(DefWndProc(), WindowHandle(), WM_HSCROLL, MAKEWPARAM(ScrollCode, ScrollPos),
                  reinterpret_cast<LPARAM>(FHScrollBar->WindowHandle()));
  FHScrollBar->SetPosition(GetScrollPos(WindowHandle(), SB_HORZ));
}

void TcxCustomInnerListBox::VScrollHandler(TObject*, TScrollCode ScrollCode, int& ScrollPos) {
  if (!FVScrollBar || !FVScrollBar->HandleAllocated() || !HandleAllocated()) return;
  switch (ScrollCode) {
    case scLineUp:
    case scLineDown:
      SetTopIndex(ScrollPos);
      break;
    case scPosition:
    case scTrack:
      SetTopIndex(ScrollPos);
      FVScrollBar->SetPosition(GetScrollPos(WindowHandle(), SB_VERT));
      break;
    default:
      CallWindowProcW(DefWndProc(), WindowHandle(), WM_VSCROLL, MAKEWPARAM(ScrollCode, ScrollPos),
                      reinterpret_cast<LPARAM>(FVScrollBar->WindowHandle()));
      FVScrollBar->SetPosition(GetScrollPos(WindowHandle(), SB_VERT));
      break;
  }
}

TRect TcxCustomInnerListBox::SizeGripCorner() {
  if (!FContainer || !cxCanQueryScrollBarInfo() || !IsBarShowing(FHScrollBar) || !IsBarShowing(FVScrollBar))
    return TRect();
  const int left = FVScrollBar->Left() - Left(), top = FHScrollBar->Top() - Top();
  return TRect(left, top, left + FVScrollBar->Width(), top + FHScrollBar->Height());
}

void TcxCustomInnerListBox::FillSizeGripCorner() {
  const TRect corner = SizeGripCorner();
  if (!corner.IsEmpty()) cxFillSizeGripCorner(FContainer, corner);
}

void TcxCustomInnerListBox::WMNCPaint(TMessage& Message) {
  DispatchInherited(TcxCustomInnerListBox::StaticClass(), &Message);
  FillSizeGripCorner();
}

void TcxCustomInnerListBox::WMPrint(TWMPrint& Message) {
  if (Message.Flags & PRF_NONCLIENT) {
    Message.Flags &= ~PRF_NONCLIENT;
    FillSizeGripCorner();
  }
  DispatchInherited(TcxCustomInnerListBox::StaticClass(), &Message);
}

// Owner-drawn items: the focus rectangle only over the default drawing (an
// OnDrawItem handler draws its own).
void TcxCustomInnerListBox::CNDrawItem(TWMDrawItem& Message) {
  const DRAWITEMSTRUCT& dis = *Message.DrawItemStruct;
  auto* canvas = static_cast<TControlCanvas*>(Canvas());
  const TOwnerDrawState state = OwnerDrawStateFromFlags(dis.itemState);
  const int index = static_cast<int>(dis.itemID);
  const TRect rect(dis.rcItem.left, dis.rcItem.top, dis.rcItem.right, dis.rcItem.bottom);
  canvas->FreeHandle();
  canvas->SetHandle(dis.hDC);
  auto release = [&] { canvas->SetHandle(nullptr); };
  try {
    canvas->SetFont(Font());
    canvas->SetBrush(Brush());
    if (index >= 0 && state.Contains(odSelected)) {
      canvas->Brush()->SetColor(clHighlight);
      canvas->Font()->SetColor(clHighlightText);
    }
    if (index < 0)
      canvas->FillRect(rect);
    else
      DrawItem(index, rect, state);
    if (state.Contains(odFocused) && IsDefaultItemDrawing()) DrawFocusRect(dis.hDC, &dis.rcItem);
  } catch (...) {
    release();
    throw;
  }
  release();
  Message.Result = TRUE;
}

// ---- incremental search

void TcxCustomInnerListBox::ProcessAutoCompleteKey(Char& Key) {
  if (!AutoComplete()) return;
  const DWORD now = CurrentTickCount();
  if (now - FPrevKeyPressTime >= static_cast<DWORD>(AutoCompleteDelay())) FAutoCompleteFilter.clear();
  FPrevKeyPressTime = now;
  if (Key == VK_BACK) {
    if (!FAutoCompleteFilter.empty()) {
      FAutoCompleteFilter.pop_back();
      // A surrogate pair is one character.
      if (!FAutoCompleteFilter.empty() && IS_HIGH_SURROGATE(FAutoCompleteFilter.back()))
        FAutoCompleteFilter.pop_back();
    }
  } else if (Key < L' ') {
    // Enter, Esc and the other control characters are no part of an item's text.
    return;
  } else {
    // A Unicode window receives UTF-16 units: the only character that spans
    // two messages is a surrogate pair, whose second half is taken with it.
    FAutoCompleteFilter += Key;
    MSG next;
    if (IS_HIGH_SURROGATE(Key) && HandleAllocated() &&
        PeekMessageW(&next, WindowHandle(), WM_CHAR, WM_CHAR, PM_NOREMOVE) &&
        IS_LOW_SURROGATE(static_cast<Char>(next.wParam))) {
      PeekMessageW(&next, WindowHandle(), WM_CHAR, WM_CHAR, PM_REMOVE);
      FAutoCompleteFilter += static_cast<Char>(next.wParam);
    }
  }
  if (FAutoCompleteFilter.empty()) {
    SetItemIndex(0);
    Click();
    return;
  }
  if (!HandleAllocated()) return;
  const LRESULT found = SendMessageW(WindowHandle(), LB_FINDSTRING, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(FAutoCompleteFilter.c_str()));
  if (found != LB_ERR) {
    TControlGuard guard(this);
    if (MultiSelect()) {
      ClearSelection();
      SendMessageW(WindowHandle(), LB_SELITEMRANGE, TRUE, MAKELPARAM(found, found));
    }
    SetItemIndex(static_cast<int>(found));
    Click();
    if (!guard.Alive()) return;
  }
  if (Key != VK_BACK && Key != VK_RETURN && Key != VK_ESCAPE) Key = 0;
}
