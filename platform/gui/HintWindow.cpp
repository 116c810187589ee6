// THintWindow.
#include "platform/gui/Forms.h"

namespace {

const UINT kHintTextFormat = DT_LEFT | DT_NOPREFIX | DT_WORDBREAK;

// Measures with the hint's font on a screen DC, so that measuring does not
// need the hint's own window.
TRect MeasureText(TFont* font, const String& text, int maxWidth, UINT format) {
  RECT r{0, 0, maxWidth, 0};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font->Handle());
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

BEGIN_CLASS(THintWindow, TCustomControl, (ConstructWith<THintWindow, TComponent>))
  b.Message<&THintWindow::WMNCHitTest>(WM_NCHITTEST);
  b.Message<&THintWindow::WMNCPaint>(WM_NCPAINT);
  b.Message<&THintWindow::CMTextChanged>(CM_TEXTCHANGED);
END_CLASS

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetParentFont(false);
  SetParentColor(false);
  SetColor(clInfoBk);
  if (Screen) Font()->Assign(Screen->HintFont());
  Font()->SetColor(clInfoText);
  Canvas()->Font()->Assign(Font());
  Canvas()->Brush()->SetStyle(bsClear);
}

void THintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.WindowClass.style |= CS_SAVEBITS | CS_DROPSHADOW;
  Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  if (!Params.WndParent && Application) Params.WndParent = Application->Handle();
}

TRect THintWindow::CalcHintRect(int MaxWidth, const String& AHint, void*) {
  TRect r = MeasureText(Font(), AHint, MaxWidth, kHintTextFormat);
  r.Right += 6;
  r.Bottom += 2;
  return r;
}

void THintWindow::ActivateHintData(TRect Rect, const String& AHint, void*) { ActivateHint(Rect, AHint); }

void THintWindow::ActivateHint(TRect Rect, const String& AHint) {
  activating_ = true;
  try {
    SetCaption(AHint);
    Rect.Bottom += 4;
    const int width = Rect.Width(), height = Rect.Height();
    // Into the desktop: the right and bottom edges first, then the left and
    // top ones, so a hint larger than the desktop keeps its top-left corner.
    const TRect desk = Screen ? Screen->DesktopRect()
                              : TRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    int left = Rect.Left, top = Rect.Top;
    if (top + height > desk.Bottom) top = desk.Bottom - height;
    if (left + width > desk.Right) left = desk.Right - width;
    if (left < desk.Left) left = desk.Left;
    if (top < desk.Top) top = desk.Top;
    SetBounds(left, top, width, height);
    if (Application && !ParentWindow()) SetParentWindow(Application->Handle());
    HWND h = Handle();
    SetWindowPos(h, HWND_TOPMOST, left, top, width, height, SWP_NOACTIVATE);
    ShowWindow(h, SW_SHOWNOACTIVATE);
    Invalidate();
  } catch (...) {
    lastActive_ = GetTickCount();
    activating_ = false;
    throw;
  }
  lastActive_ = GetTickCount();
  activating_ = false;
}

bool THintWindow::IsHintMsg(MSG& Msg) {
  const UINT m = Msg.message;
  return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || m == CM_ACTIVATE || m == CM_DEACTIVATE || m == CM_APPKEYDOWN ||
         m == CM_APPSYSCOMMAND || m == WM_COMMAND || (m > WM_MOUSEMOVE && m <= WM_MOUSELAST) ||
         m == WM_NCMOUSEMOVE;
}

void THintWindow::ReleaseHandle() { DestroyHandle(); }

void THintWindow::Paint() {
  TRect r = ClientRect();
  r.Left += 2;
  r.Top += 2;
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(bsClear);
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  const String text = Caption();
  HDC dc = canvas->Handle();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToGDI(Font()->Color()));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, kHintTextFormat);
}

void THintWindow::NCPaint(HDC DC) {
  RECT r{0, 0, Width(), Height()};
  DrawEdge(DC, &r, BDR_RAISEDOUTER, BF_RECT | BF_MONO);
}

void THintWindow::WMNCPaint(TMessage&) {
  HWND h = WindowHandle();
  if (!h) return;
  HDC dc = GetWindowDC(h);
  NCPaint(dc);
  ReleaseDC(h, dc);
}

void THintWindow::WMNCHitTest(TWMNCHitTest& Message) { Message.Result = HTTRANSPARENT; }

// A new text resizes the window to it at once, so that it does not flicker
// in its old size when it shows.
void THintWindow::CMTextChanged(TMessage& Message) {
  DispatchInherited(THintWindow::StaticClass(), &Message);
  const String text = Caption();
  const TRect r = MeasureText(Font(), text, 0, DT_LEFT | DT_NOPREFIX | DT_SINGLELINE);
  SetBounds(Left(), Top(), r.Width() + 6, r.Height() + 4);
}
