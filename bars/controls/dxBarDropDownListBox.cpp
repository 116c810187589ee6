#include "bars/controls/dxBarDropDownListBox.h"

#include "bars/controls/dxBarControls.h"
#include "bars/controls/dxBarPainter.h"
#include "foundation/cxClasses.h"

namespace {

TPoint PointOf(const TMessage& Message) {
  return TPoint(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
}

}  // namespace

BEGIN_CLASS(TdxBarDropDownListBox, TCustomListBox, (ConstructWith<TdxBarDropDownListBox, TComponent>))
  b.Field(L"OnDrawItem", &TdxBarDropDownListBox::OnDrawItem);
  b.Field(L"OnMeasureItem", &TdxBarDropDownListBox::OnMeasureItem);
END_CLASS

TdxBarDropDownListBox::TdxBarDropDownListBox(TComponent* AOwner)
    : TCustomListBox(AOwner), FCombo(dynamic_cast<TdxBarItem*>(AOwner)) {
  SetBorderStyle(bsNone);
  SetStyle(lbOwnerDrawVariable);
  SetVisible(false);
}

IdxBarDropDownListCombo* TdxBarDropDownListBox::ComboInterface() const {
  return dynamic_cast<IdxBarDropDownListCombo*>(FCombo);
}

const TdxBarPainter* TdxBarDropDownListBox::Painter() const {
  TdxBarItemLink* link = FCombo ? FCombo->CurItemLink() : nullptr;
  IdxBarControl* bar = link ? link->BarControl() : nullptr;
  auto* control = bar ? dynamic_cast<TCustomdxBarControl*>(bar->BarControlObject()) : nullptr;
  return control ? control->Painter() : TdxBarPainter::Instance();
}

int TdxBarDropDownListBox::BorderSize() const { return Painter()->DropDownListBoxBorderSize(); }

void TdxBarDropDownListBox::CreateParams(TCreateParams& Params) {
  TCustomListBox::CreateParams(Params);
  Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WindowClass.style |= CS_SAVEBITS;
}

void TdxBarDropDownListBox::CreateWnd() {
  TCustomListBox::CreateWnd();
  // A top-level popup: no window it belongs to clips it or moves it.
  ::SetParent(WindowHandle(), nullptr);
  // The list draws its selection as focused without taking the keyboard focus.
  TMessage focus{};
  focus.Msg = WM_SETFOCUS;
  DefaultHandler(&focus);
}

void TdxBarDropDownListBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCCALCSIZE:
      CalcNonClientSize(Message);
      return;
    case WM_NCPAINT:
      PaintNonClientArea();
      Message.Result = 0;
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_MOUSEMOVE:
      MouseMoved(Message);
      return;
    case WM_CAPTURECHANGED:
      TCustomListBox::WndProc(Message);
      WaitForCapture = false;
      return;
    case WM_LBUTTONUP:
      LeftButtonReleased(Message);
      return;
    case WM_LBUTTONDOWN:
    case WM_KEYDOWN: {
      // The list's own selection changes reach no parent window (it has
      // none): they are noticed here.
      const int before = HandleAllocated() ? ItemIndex() : -1;
      TCustomListBox::WndProc(Message);
      if (HandleAllocated() && ItemIndex() != before) Click();
      return;
    }
    default:
      TCustomListBox::WndProc(Message);
  }
}

void TdxBarDropDownListBox::MouseMoved(TMessage& Message) {
  const TPoint p = PointOf(Message);
  if (WaitForCapture && GetCapture() == WindowHandle() && ClientRect().Contains(p)) {
    // The mouse entered the list with the button still held: the list's own
    // tracking starts as if the press had happened here.
    WaitForCapture = false;
    TMessage press{};
    press.Msg = WM_LBUTTONDOWN;
    press.WParam = MK_LBUTTON;
    press.LParam = Message.LParam;
    DefaultHandler(&press);
  }
  TcxObjectLink* self = cxCreateObjectLink(this);
  const int before = ItemIndex();
  TCustomListBox::WndProc(Message);
  const bool alive = self->Ref != nullptr;
  cxReleaseObjectLink(self);
  if (!alive || !HandleAllocated()) return;
  if (ItemIndex() != before) Click();
  const int index = ItemAtPos(p, true);
  if (index >= 0 && index != ItemIndex()) SetItemIndex(index);
}

void TdxBarDropDownListBox::LeftButtonReleased(TMessage& Message) {
  TcxObjectLink* self = cxCreateObjectLink(this);
  TCustomListBox::WndProc(Message);
  if (!self->Ref) {
    cxReleaseObjectLink(self);
    return;
  }
  if (WaitForCapture) {
    // Released without entering the list: the list stays open, nothing is chosen.
    cxReleaseObjectLink(self);
    ReleaseCapture();
    return;
  }
  const int chosen = ItemIndex();
  TdxBarItem* combo = FCombo;
  TcxObjectLink* comboAlive = combo ? cxCreateObjectLink(combo) : nullptr;
  auto release = [&] {
    cxReleaseObjectLink(comboAlive);
    cxReleaseObjectLink(self);
  };
  try {
    if (combo) {
      if (TdxBarItemLink* link = combo->CurItemLink()) link->RealItemLink()->BringToTopInRecentList(true);
      if (TdxBarManager* manager = combo->BarManager()) manager->HideAll();
    }
    if (comboAlive && comboAlive->Ref && chosen >= 0)
      if (IdxBarDropDownListCombo* owner = dynamic_cast<IdxBarDropDownListCombo*>(combo)) owner->ChooseListEntry(chosen);
  } catch (...) {
    release();
    throw;
  }
  release();
}

void TdxBarDropDownListBox::KeyPress(Char& Key) {
  if (ItemIndex() < 0 && Count() > 0) SetItemIndex(TopIndex());
  TCustomListBox::KeyPress(Key);
}

void TdxBarDropDownListBox::Click() {
  TCustomListBox::Click();
  const int index = HandleAllocated() ? ItemIndex() : -1;
  if (index >= 0)
    if (IdxBarDropDownListCombo* owner = ComboInterface()) owner->PreviewListEntry(index);
}

void TdxBarDropDownListBox::CalcNonClientSize(TMessage& Message) {
  TCustomListBox::WndProc(Message);
  auto* r = reinterpret_cast<RECT*>(Message.LParam);  // the first rectangle of either form
  const int size = BorderSize();
  r->left += size;
  r->top += size;
  r->right -= size;
  r->bottom -= size;
  if (r->right < r->left) r->right = r->left;
  if (r->bottom < r->top) r->bottom = r->top;
}

void TdxBarDropDownListBox::PaintNonClientArea() {
  HWND wnd = WindowHandle();
  HDC DC = GetWindowDC(wnd);
  if (!DC) return;
  RECT window, client;
  GetWindowRect(wnd, &window);
  GetClientRect(wnd, &client);
  POINT origin{0, 0};
  ::ClientToScreen(wnd, &origin);
  const int dx = origin.x - window.left, dy = origin.y - window.top;
  ExcludeClipRect(DC, client.left + dx, client.top + dy, client.right + dx, client.bottom + dy);
  Painter()->DropDownListBoxDrawBorder(DC, Color(), TRect(0, 0, window.right - window.left, window.bottom - window.top));
  ReleaseDC(wnd, DC);
}
