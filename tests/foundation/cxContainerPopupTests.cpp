#include "foundation/cxContainerPopup.h"

#include "platform/core/Exceptions.h"
#include "platform/gui/StdCtrls.h"
#include "tests/foundation/cxContainerTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using cxtest::TActiveForm;

class TTestPopup : public TcxCustomPopupWindow {
 public:
  explicit TTestPopup(TWinControl* AOwnerControl) : TcxCustomPopupWindow(AOwnerControl) {}
  std::vector<std::string>* Log = nullptr;
  std::string Name = "popup";
  bool Consume = false;
  bool FitToWorkArea = false;
  bool ConsumeClosingClick(HWND, UINT, const TPoint&, TShiftState) override { return Consume; }

 protected:
  bool ShouldFitToWorkArea() override { return FitToWorkArea; }
  void NotifyShowing() override { Note("showing"); }
  void NotifyShowed() override { Note(ModalResult() == mrNone ? "showed" : "showed with a result"); }
  void NotifyClosing() override { Note("closing"); }
  void NotifyClosed() override { Note("closed"); }

 private:
  void Note(const char* what) {
    if (!Log) return;
    const bool shown = HandleAllocated() && IsWindowVisible(WindowHandle());
    Log->push_back(Name + " " + what + (shown ? " (shown)" : " (hidden)"));
  }
};

// An owner control on an active form, and a popup that opens below it.
struct TPopupOnForm {
  TActiveForm Active;
  TEdit* Owner;
  TEdit* Elsewhere;
  TTestPopup* Popup;
  TEdit* Content;
  std::vector<std::string> Log;
  TPopupOnForm() {
    Owner = Make<TEdit>(Active.Form.get());
    Owner->SetParent(Active.Form.get());
    Owner->SetBounds(10, 10, 120, 24);
    Elsewhere = Make<TEdit>(Active.Form.get());
    Elsewhere->SetParent(Active.Form.get());
    Elsewhere->SetBounds(10, 180, 120, 24);
    Owner->Handle();
    Popup = MakePopup(Owner, "popup");
    Content = Make<TEdit>(Popup);
    Content->SetParent(Popup);
    Content->SetBounds(0, 0, 100, 24);
    PumpQueuedMessages();
  }
  ~TPopupOnForm() {
    for (TTestPopup* p : Made) TObject::Free(p);
  }
  TTestPopup* MakePopup(TWinControl* AOwner, const char* AName) {
    TTestPopup* p = Make<TTestPopup>(AOwner);
    p->Log = &Log;
    p->Name = AName;
    p->SetModalMode(false);
    p->SetOwnerParent(AOwner);
    p->SetOwnerBounds(TRect(0, 0, AOwner->Width(), AOwner->Height()));
    Made.push_back(p);
    return p;
  }
  TPoint ScreenCenter(TControl* AControl) {
    return AControl->ClientToScreen(TPoint(AControl->Width() / 2, AControl->Height() / 2));
  }
  std::vector<TTestPopup*> Made;
};

// Records the system keys a window receives.
struct TKeyRecorder {
  HWND Wnd = nullptr;
  static std::vector<WPARAM>& Keys() {
    static std::vector<WPARAM> keys;
    return keys;
  }
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSKEYDOWN) {
      Keys().push_back(wParam);
      return 0;
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
  }
  TKeyRecorder() {
    static const ATOM atom = [] {
      WNDCLASSW c{};
      c.lpfnWndProc = &Proc;
      c.hInstance = GetModuleHandleW(nullptr);
      c.lpszClassName = L"LanzeTestSysKeyRecorder";
      return RegisterClassW(&c);
    }();
    (void)atom;
    Keys().clear();
    Wnd = CreateWindowExW(0, L"LanzeTestSysKeyRecorder", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  }
  ~TKeyRecorder() { DestroyWindow(Wnd); }
};

}  // namespace

TEST(cxCustomPopupWindow, OpensAndClosesWithItsNotificationsInOrder) {
  TPopupOnForm t;
  t.Popup->Popup(t.Content);
  ASSERT_TRUE(t.Popup->IsVisible());
  EXPECT_EQ(cxVisiblePopupCount(), 1);
  EXPECT_EQ(t.Popup->FocusedControl(), t.Content);
  EXPECT_EQ(GetFocus(), t.Content->WindowHandle());
  EXPECT_TRUE(t.Popup->Focused());
  // Below the owner.
  EXPECT_EQ(t.Popup->Top(), t.Owner->ClientToScreen(TPoint(0, t.Owner->Height())).Y);
  t.Popup->Popup(t.Content);   // open already: nothing
  t.Popup->CloseUp();
  t.Popup->CloseUp();          // closed already: nothing
  EXPECT_FALSE(t.Popup->IsVisible());
  EXPECT_EQ(t.Log, (std::vector<std::string>{"popup showing (hidden)", "popup showed (shown)",
                                             "popup closing (shown)", "popup closed (hidden)"}));
  // An owner that is not showing opens nothing.
  t.Log.clear();
  t.Owner->Hide();
  t.Popup->Popup(t.Content);
  EXPECT_FALSE(t.Popup->IsVisible());
  EXPECT_TRUE(t.Log.empty());
}

TEST(cxCustomPopupWindow, OutsideClickClosesAndPassesOn) {
  TPopupOnForm t;
  t.Popup->Popup(t.Content);
  ASSERT_TRUE(t.Popup->IsVisible());
  cxtest::ClickAt(t.ScreenCenter(t.Elsewhere));
  EXPECT_FALSE(t.Popup->IsVisible());
  EXPECT_EQ(GetFocus(), t.Elsewhere->WindowHandle());
  EXPECT_FALSE(t.Popup->JustClosed());
}

// The owner learns through JustClosed that the click closed its popup (so a
// drop-down button does not open it again); the click itself reaches it.
TEST(cxCustomPopupWindow, ClickOnTheOwnersDropDownAreaClosesAndTellsTheOwner) {
  TPopupOnForm t;
  struct TDowns : TObject {
    int Count = 0;
    void Down(TObject*, TMouseButton, TShiftState, int, int) { ++Count; }
  } downs;
  t.Owner->OnMouseDown = TMouseEvent::Bind<&TDowns::Down>(&downs);
  for (bool consume : {true, false}) {
    SCOPED_TRACE(consume ? "consumed" : "passed");
    downs.Count = 0;
    t.Popup->Consume = consume;
    t.Popup->Popup(t.Content);
    ASSERT_TRUE(t.Popup->IsVisible());
    cxtest::ClickAt(t.ScreenCenter(t.Owner));
    EXPECT_FALSE(t.Popup->IsVisible());
    EXPECT_EQ(downs.Count, 1);
    EXPECT_EQ(t.Popup->JustClosed(), consume);
    EXPECT_FALSE(t.Popup->JustClosed());   // read and cleared
  }
  t.Owner->OnMouseDown = nullptr;
}

TEST(cxCustomPopupWindow, NestedPopupsAndHidingTheOwner) {
  TPopupOnForm t;
  t.Popup->SetBounds(0, 0, 200, 80);
  t.Popup->Popup(t.Content);
  TTestPopup* child = t.MakePopup(t.Content, "child");
  auto* childContent = Make<TEdit>(child);
  childContent->SetParent(child);
  childContent->SetBounds(0, 0, 80, 24);
  child->Popup(childContent);
  ASSERT_EQ(cxVisiblePopupCount(), 2);
  // The child belongs to the first popup's content.
  EXPECT_TRUE(cxIsWindowInsideControl(t.Popup, child->WindowHandle()));
  EXPECT_TRUE(cxIsControlWindow(t.Popup, child->WindowHandle(), true));

  // A click inside the child closes neither.
  cxtest::ClickAt(t.ScreenCenter(childContent));
  EXPECT_TRUE(child->IsVisible());
  EXPECT_TRUE(t.Popup->IsVisible());

  // The owner's window being hidden closes its popup and the later one,
  // newest first.
  t.Log.clear();
  SendMessageW(t.Owner->WindowHandle(), WM_SHOWWINDOW, FALSE, 0);
  EXPECT_EQ(cxVisiblePopupCount(), 0);
  EXPECT_EQ(t.Log, (std::vector<std::string>{"child closing (shown)", "child closed (hidden)",
                                             "popup closing (shown)", "popup closed (hidden)"}));

  // Hidden as controls are (a window position change), the owner takes its
  // own popup away; the nested one goes with the next click, since its
  // owner's form is a popup that is no longer open.
  t.Popup->Popup(t.Content);
  child->Popup(childContent);
  t.Log.clear();
  t.Owner->Hide();
  EXPECT_FALSE(t.Popup->IsVisible());
  cxtest::ClickAt(t.ScreenCenter(t.Elsewhere));
  EXPECT_EQ(cxVisiblePopupCount(), 0);
  EXPECT_EQ(t.Log, (std::vector<std::string>{"popup closing (shown)", "popup closed (hidden)",
                                             "child closing (shown)", "child closed (hidden)"}));
}

TEST(cxCustomPopupWindow, PopupOpenedFromAGrandchildIsInsideTheControl) {
  TPopupOnForm t;
  auto* box = Make<TGroupBox>(t.Active.Form.get());
  box->SetParent(t.Active.Form.get());
  box->SetBounds(150, 10, 150, 100);
  auto* inner = Make<TGroupBox>(box);
  inner->SetParent(box);
  inner->SetBounds(5, 15, 120, 70);
  auto* grandchild = Make<TEdit>(inner);
  grandchild->SetParent(inner);
  grandchild->SetBounds(5, 15, 80, 24);
  grandchild->Handle();
  TTestPopup* popup = t.MakePopup(grandchild, "deep");
  popup->SetCaptureFocus(false);
  popup->Popup(nullptr);
  ASSERT_TRUE(popup->IsVisible());
  EXPECT_TRUE(cxIsWindowInsideControl(box, popup->WindowHandle()));
  EXPECT_FALSE(cxIsWindowInsideControl(t.Owner, popup->WindowHandle()));
  EXPECT_TRUE(cxIsWindowOnControlForm(grandchild, box->WindowHandle()));
  popup->CloseUp();
}

TEST(cxCustomPopupWindow, SystemKeysWhileAPopupIsOpen) {
  TPopupOnForm t;
  TKeyRecorder recorder;
  t.Popup->SetCaptureFocus(false);
  t.Popup->Popup(nullptr);
  ASSERT_TRUE(t.Popup->IsVisible());
  const std::pair<WPARAM, bool> cases[] = {{VK_F4, true},     {VK_PRIOR, true}, {VK_NEXT, true},
                                           {VK_END, true},    {VK_HOME, true},  {VK_LEFT, true},
                                           {VK_DOWN, true},   {'A', false},     {VK_RETURN, false},
                                           {VK_SPACE, false}, {VK_F5, false}};
  for (auto [key, passes] : cases) {
    TKeyRecorder::Keys().clear();
    PostMessageW(recorder.Wnd, WM_SYSKEYDOWN, key, 0x20000000);
    PumpQueuedMessages();
    EXPECT_EQ(TKeyRecorder::Keys().size(), passes ? 1u : 0u) << "key " << key;
  }
  t.Popup->CloseUp();
  // With no popup open every key passes.
  TKeyRecorder::Keys().clear();
  PostMessageW(recorder.Wnd, WM_SYSKEYDOWN, 'A', 0x20000000);
  PumpQueuedMessages();
  EXPECT_EQ(TKeyRecorder::Keys().size(), 1u);
}

TEST(cxCustomPopupWindow, ModalLoopDropsAltKeysAndClosesOnAModalResult) {
  TPopupOnForm t;
  TKeyRecorder recorder;
  t.Popup->SetModalMode(true);
  THangGuard hang([&] { t.Popup->CloseUp(); });
  TPostedAction keys([&] {
    PostMessageW(recorder.Wnd, WM_SYSKEYDOWN, VK_SPACE, 0x20000000);
    PostMessageW(recorder.Wnd, WM_SYSKEYDOWN, 'A', 0x20000000);
  });
  TPostedAction result([&] { t.Popup->SetModalResult(mrOk); });
  t.Popup->Popup(t.Content);
  EXPECT_FALSE(hang.Fired());
  EXPECT_TRUE(keys.Ran());
  EXPECT_TRUE(result.Ran());
  EXPECT_FALSE(t.Popup->IsVisible());
  PumpQueuedMessages();
  EXPECT_EQ(TKeyRecorder::Keys(), std::vector<WPARAM>{'A'});
}

TEST(cxCustomPopupWindow, ApplicationDeactivationAndClosingByMessage) {
  TPopupOnForm t;
  t.Popup->SetCaptureFocus(false);
  t.Popup->Popup(nullptr);
  ASSERT_TRUE(t.Popup->IsVisible());
  SendMessageW(t.Active.Form->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_FALSE(t.Popup->IsVisible());

  // Switching the kind of window of an open popup reopens it as the other.
  t.Popup->Popup(nullptr);
  t.Popup->SetCaptureFocus(true);
  ASSERT_TRUE(t.Popup->IsVisible());
  EXPECT_EQ(GetWindowLongW(t.Popup->WindowHandle(), GWL_STYLE) & (WS_CHILD | WS_POPUP), LONG(WS_POPUP));
  EXPECT_EQ(GetFocus(), t.Content->WindowHandle());
  t.Popup->SetCaptureFocus(false);
  ASSERT_TRUE(t.Popup->IsVisible());
  EXPECT_EQ(GetWindowLongW(t.Popup->WindowHandle(), GWL_STYLE) & (WS_CHILD | WS_POPUP), LONG(WS_CHILD));
  EXPECT_TRUE(GetWindowLongW(t.Popup->WindowHandle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  t.Popup->SetCaptureFocus(true);
  t.Popup->ClosePopup();
  EXPECT_TRUE(t.Popup->IsVisible());   // later, when the message is handled
  PumpQueuedMessages();
  EXPECT_FALSE(t.Popup->IsVisible());
}

TEST(cxCustomPopupWindow, FittingIntoTheWorkArea) {
  TPopupOnForm t;
  TRect wa;
  cxWorkAreaFromPoint(TPoint(0, 0), wa);
  t.Popup->FitToWorkArea = true;
  struct Case {
    const char* name;
    TPoint position;
    TSize size;
    TPoint expectedPosition;
    TSize expectedSize;
  };
  const Case cases[] = {
      {"inside", TPoint(wa.Left + 10, wa.Top + 10), TSize(100, 50), TPoint(wa.Left + 10, wa.Top + 10), TSize(100, 50)},
      {"left of it", TPoint(wa.Left - 30, wa.Top + 10), TSize(100, 50), TPoint(wa.Left, wa.Top + 10), TSize(70, 50)},
      {"past the bottom right", TPoint(wa.Right - 40, wa.Bottom - 20), TSize(100, 50),
       TPoint(wa.Right - 40, wa.Bottom - 20), TSize(40, 20)},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    t.Popup->SetBounds(0, 0, k.size.cx, k.size.cy);
    TPoint p = k.position;
    t.Popup->CorrectBoundsWithDesktopWorkArea(p);
    EXPECT_EQ(p, k.expectedPosition);
    EXPECT_EQ(TSize(t.Popup->Width(), t.Popup->Height()), k.expectedSize);
  }
  t.Popup->FitToWorkArea = false;
  TPoint p(wa.Left - 30, wa.Top - 30);
  t.Popup->CorrectBoundsWithDesktopWorkArea(p);
  EXPECT_EQ(p, TPoint(wa.Left - 30, wa.Top - 30));
}

TEST(cxCustomPopupWindow, ListConsistencyIsAsserted) {
  TPopupOnForm t;
  EXPECT_THROW(cxAddVisiblePopup(nullptr), EAssertionFailed);
  EXPECT_THROW(cxRemoveVisiblePopup(t.Popup), EAssertionFailed);
  cxAddVisiblePopup(t.Popup);
  EXPECT_THROW(cxAddVisiblePopup(t.Popup), EAssertionFailed);
  cxRemoveVisiblePopup(t.Popup);
  EXPECT_EQ(cxVisiblePopupCount(), 0);
}

TEST(cxCustomPopupWindow, ActivatingAnotherFormClosesIt) {
  TPopupOnForm t;
  t.Popup->Popup(t.Content);
  ASSERT_TRUE(PumpMessagesUntil([&] { return GetActiveWindow() == t.Popup->WindowHandle(); }));
  TActiveForm other(TRect(400, 60, 600, 200));
  EXPECT_TRUE(PumpMessagesUntil([&] { return !t.Popup->IsVisible(); }));
  // Deactivation locked: the popup stays.
  t.Popup->Popup(t.Content);
  ASSERT_TRUE(PumpMessagesUntil([&] { return GetActiveWindow() == t.Popup->WindowHandle(); }));
  t.Popup->LockDeactivate(true);
  cxtest::Activate(other.Form->Handle());
  EXPECT_TRUE(t.Popup->IsVisible());
  t.Popup->LockDeactivate(false);
  t.Popup->CloseUp();
}

TEST(cxCustomPopupWindow, OwnerCaptionStaysActiveWhileAPopupIsOpen) {
  TPopupOnForm t;
  struct TRecorder : TObject {
    std::vector<WPARAM> NCActivate;
    TWndMethod Saved;
    void Proc(TMessage& M) {
      if (M.Msg == WM_NCACTIVATE) NCActivate.push_back(M.WParam);
      Saved(M);
    }
  } recorder;
  TForm* form = t.Active.Form.get();
  recorder.Saved = form->WindowProc;
  form->WindowProc = TWndMethod::Bind<&TRecorder::Proc>(&recorder);
  t.Popup->SetCaptureFocus(false);
  t.Popup->Popup(nullptr);
  ASSERT_TRUE(t.Popup->IsVisible());
  recorder.NCActivate.clear();
  // Swallowed on the way: the form never sees it, and the sender is told
  // it was handled.
  EXPECT_EQ(SendMessageW(form->Handle(), WM_NCACTIVATE, FALSE, 0), LRESULT(1));
  EXPECT_TRUE(recorder.NCActivate.empty());
  SendMessageW(form->Handle(), WM_NCACTIVATE, TRUE, 0);
  EXPECT_EQ(recorder.NCActivate, std::vector<WPARAM>{TRUE});
  t.Popup->CloseUp();
  recorder.NCActivate.clear();
  SendMessageW(form->Handle(), WM_NCACTIVATE, FALSE, 0);
  EXPECT_EQ(recorder.NCActivate, std::vector<WPARAM>{FALSE});

  // Another form took the activation meanwhile: when the last popup closes
  // the owner's caption is drawn inactive at last.
  t.Popup->Popup(nullptr);
  TActiveForm other(TRect(400, 60, 600, 200));
  ASSERT_TRUE(t.Popup->IsVisible());
  recorder.NCActivate.clear();
  t.Popup->CloseUp();
  EXPECT_EQ(recorder.NCActivate, std::vector<WPARAM>{FALSE});
  form->WindowProc = recorder.Saved;
}

TEST(cxCustomPopupWindow, ClosingWindowsClosePopups) {
  {
    SCOPED_TRACE("the popup's own window closed");
    TPopupOnForm t;
    t.Popup->Popup(t.Content);
    ASSERT_TRUE(t.Popup->IsVisible());
    SendMessageW(t.Popup->WindowHandle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(t.Popup->IsVisible());
    // It took the focus; closing it closes the window it was opened from.
    EXPECT_FALSE(t.Active.Form->Visible());
  }
  {
    SCOPED_TRACE("the owner's form closed under a popup without focus");
    TPopupOnForm t;
    t.Popup->SetCaptureFocus(false);
    t.Popup->Popup(nullptr);
    ASSERT_TRUE(t.Popup->IsVisible());
    SendMessageW(t.Active.Form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(t.Popup->IsVisible());
  }
  {
    SCOPED_TRACE("another window closed");
    TPopupOnForm t;
    t.Popup->SetCaptureFocus(false);
    t.Popup->Popup(nullptr);
    TActiveForm other(TRect(400, 60, 600, 200));
    SendMessageW(other.Form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(t.Popup->IsVisible());
    t.Popup->CloseUp();
  }
}

TEST(cxCustomPopupWindow, OwnerTakesTheFocusBackWhenThePopupHides) {
  TPopupOnForm t;
  t.Owner->SetFocus();
  PumpQueuedMessages();
  t.Popup->Popup(t.Content);
  ASSERT_EQ(GetFocus(), t.Content->WindowHandle());
  // The form's own window takes the focus while the popup stays open.
  t.Popup->LockDeactivate(true);
  ::SetFocus(t.Active.Form->Handle());
  PumpQueuedMessages();
  ASSERT_EQ(GetFocus(), t.Active.Form->WindowHandle());
  ASSERT_TRUE(t.Popup->IsVisible());
  t.Popup->LockDeactivate(false);
  t.Popup->CloseUp();
  PumpQueuedMessages();
  EXPECT_EQ(GetFocus(), t.Owner->WindowHandle());
}
