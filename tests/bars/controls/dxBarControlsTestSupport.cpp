#include "tests/bars/controls/dxBarControlsTestSupport.h"

#include "foundation/cxControlsTracking.h"

BEGIN_CLASS(TBarWindowForm, TForm, (ConstructWith<TBarWindowForm, TComponent>))
END_CLASS

void TBarWindowTest::SetUp() {
  Form = Make<TBarWindowForm>(nullptr);
  Form->SetBounds(40, 40, 640, 320);
  Manager = Make<TdxBarManager>(Form);
}

void TBarWindowTest::TearDown() {
  if (GetCapture()) ReleaseCapture();
  TObject::Free(Form);
  PumpQueuedMessages();
}

TdxBar* TBarWindowTest::AddToolbar(std::initializer_list<const wchar_t*> ACaptions, TdxBarDockingStyle AStyle) {
  TdxBar* bar = Manager->AddToolBar();
  bar->SetDockingStyle(AStyle);
  for (const wchar_t* caption : ACaptions) {
    TdxBarButton* button = Manager->AddButton();
    button->SetCaption(caption);
    button->OnClick = TNotifyEvent::Bind<&TBarWindowForm::ButtonClick>(Form);
    bar->ItemLinks()->Add(button);
  }
  bar->SetVisible(true);
  if (!Form->Visible()) Form->Show();
  PumpQueuedMessages();
  return bar;
}

TdxBarControl* TBarWindowTest::ControlOf(TdxBar* ABar) const {
  return ABar->Control() ? dynamic_cast<TdxBarControl*>(ABar->Control()->BarControlObject()) : nullptr;
}

TdxDockControl* TBarWindowTest::Dock(TdxBarDockingStyle AStyle) const {
  return dynamic_cast<TdxDockControl*>(Manager->Bars()->DockControls(AStyle)->DockControlObject());
}

TdxBarButtonControl* TBarWindowTest::ButtonControl(TdxBar* ABar, int AIndex) const {
  return dynamic_cast<TdxBarButtonControl*>(ABar->ItemLinks()->Items(AIndex)->Control());
}

TPoint TBarWindowTest::ScreenCenter(TdxBar* ABar, int AIndex) const {
  const TRect r = ABar->ItemLinks()->Items(AIndex)->ItemRect();
  return ControlOf(ABar)->ClientToScreen(TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
}

void TBarWindowTest::SendMouse(UINT AMessage, TPoint AScreen, WPARAM AKeys) {
  SetCursorPos(AScreen.X, AScreen.Y);
  HWND wnd = WindowFromPoint(POINT{AScreen.X, AScreen.Y});
  if (GetCapture()) wnd = GetCapture();
  ASSERT_NE(wnd, nullptr);
  POINT client{AScreen.X, AScreen.Y};
  ScreenToClient(wnd, &client);
  PostMessageW(wnd, AMessage, AKeys, MAKELPARAM(client.x, client.y));
  PumpQueuedMessages();
  // A bar learns that the mouse left it from its tracking timer; its check runs here
  // as the next tick would, so no test waits on the clock. (A click handler may
  // have freed the form and its manager.)
  if (Form)
    for (int i = 0; i < Manager->Bars()->Count(); ++i)
      if (TdxBarControl* bar = ControlOf(Manager->Bars()->Items(i)))
        if (TMouseTrackingTimer* tracker = cxMouseTrackingTimerOf(bar)) tracker->Tick(nullptr);
  PumpQueuedMessages();
}

void TBarWindowTest::MouseMoveTo(TPoint AScreen) { SendMouse(WM_MOUSEMOVE, AScreen, 0); }

void TBarWindowTest::MouseDown(TPoint AScreen, bool ADouble) {
  SendMouse(ADouble ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, AScreen, MK_LBUTTON);
}

void TBarWindowTest::MouseUp(TPoint AScreen) { SendMouse(WM_LBUTTONUP, AScreen, 0); }

void TBarWindowTest::Click(TPoint AScreen) {
  MouseMoveTo(AScreen);
  MouseDown(AScreen);
  MouseUp(AScreen);
}
