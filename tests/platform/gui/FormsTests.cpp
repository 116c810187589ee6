// TCustomForm / TForm: stored definitions, showing, closing, modal loops,
// activation and focus, window styles and owners.
#include "FormsTestSupport.h"

#include "platform/gui/Menus.h"
#include "platform/gui/Messaging.h"
#include "tests/support/ResizeLog.h"
#include "tests/support/ScopedHook.h"

#include <vector>

namespace {

class FormsTest : public FormsFixture {};

// The form of the stored definition forms_testform.txt (resource TFORMSTESTFORM).
class TFormsTestForm : public TForm {
  DECLARE_CLASS(TFormsTestForm, TForm)
  explicit TFormsTestForm(TComponent* AOwner) : TForm(AOwner) {}
  TFormsTestPanel* Panel1 = nullptr;
  int Created = 0;
  String CaptionAtCreate;
  void FormCreate(TObject*) {
    ++Created;
    CaptionAtCreate = Caption();
  }
};

// A form class without a stored definition.
class TFormsNoDefinitionForm : public TForm {
  DECLARE_CLASS(TFormsNoDefinitionForm, TForm)
  explicit TFormsNoDefinitionForm(TComponent* AOwner) : TForm(AOwner) {}
};

// Counts the events of a form.
class TFormEvents : public TObject {
 public:
  int Activated = 0, Deactivated = 0, Closed = 0, Shown = 0, Destroyed = 0;
  bool AllowClose = true;
  TCloseAction Action = caHide;
  void OnActivate(TObject*) { ++Activated; }
  void OnDeactivate(TObject*) { ++Deactivated; }
  void OnShow(TObject*) { ++Shown; }
  void OnDestroy(TObject*) { ++Destroyed; }
  void OnCloseQuery(TObject*, bool& CanClose) { CanClose = AllowClose; }
  void OnClose(TObject*, TCloseAction& A) {
    ++Closed;
    A = Action;
  }
  // Unhooks the forms that are still alive: a form the fixture frees after the test, or
  // one a failed assertion left open, must not call into this object once it is gone.
  ~TFormEvents() override {
    for (TCustomForm* f : attached_) {
      if (!FormAlive(f)) continue;
      f->OnActivate = nullptr;
      f->OnDeactivate = nullptr;
      f->OnShow = nullptr;
      f->OnDestroy = nullptr;
      f->OnCloseQuery = nullptr;
      f->OnClose = nullptr;
    }
  }
  void Attach(TCustomForm* f) {
    attached_.push_back(f);
    f->OnActivate = TNotifyEvent::Bind<&TFormEvents::OnActivate>(this);
    f->OnDeactivate = TNotifyEvent::Bind<&TFormEvents::OnDeactivate>(this);
    f->OnShow = TNotifyEvent::Bind<&TFormEvents::OnShow>(this);
    f->OnDestroy = TNotifyEvent::Bind<&TFormEvents::OnDestroy>(this);
    f->OnCloseQuery = TCloseQueryEvent::Bind<&TFormEvents::OnCloseQuery>(this);
    f->OnClose = TCloseEvent::Bind<&TFormEvents::OnClose>(this);
  }

 private:
  static bool FormAlive(TCustomForm* f) {
    for (int i = 0; Screen && i < Screen->CustomFormCount(); ++i)
      if (Screen->CustomForms(i) == f) return true;
    return false;
  }
  std::vector<TCustomForm*> attached_;
};

TForm* NewForm(TComponent* owner = nullptr) {
  auto* f = Make<TForm>(owner, 0);
  f->SetPosition(poDesigned);
  f->SetBounds(50, 50, 300, 200);
  return f;
}

String WindowText(HWND h) {
  Char buffer[256] = {};
  GetWindowTextW(h, buffer, 256);
  return buffer;
}

}  // namespace

BEGIN_CLASS(TFormsTestForm, TForm, (ConstructWith<TFormsTestForm, TComponent>))
  b.Field(L"Panel1", &TFormsTestForm::Panel1);
  b.Method<&TFormsTestForm::FormCreate>(L"FormCreate");
END_CLASS

IMPLEMENT_CLASS(TFormsNoDefinitionForm, TForm, (ConstructWith<TFormsNoDefinitionForm, TComponent>))

// ---------------------------------------------------------------------------
// Stored definitions
// ---------------------------------------------------------------------------

TEST_F(FormsTest, StoredDefinitionBuildsTheForm) {
  auto* form = static_cast<TFormsTestForm*>(TFormsTestForm::StaticClass()->NewInstance(nullptr));
  FormsOwned<TFormsTestForm> owned(form, &TObject::Free);

  EXPECT_EQ(form->Caption(), L"岚泽测试窗口");
  EXPECT_EQ(form->WindowState(), wsMaximized);
  EXPECT_EQ(form->Position(), poDesigned);
  EXPECT_EQ(form->Left(), 40);
  EXPECT_EQ(form->Top(), 30);
  EXPECT_EQ(form->ClientWidth(), 400);
  EXPECT_EQ(form->ClientHeight(), 250);
  EXPECT_EQ(form->TextHeight(), 13);
  EXPECT_EQ(form->PixelsPerInch(), 96);
  EXPECT_EQ(form->Font()->Name(), L"Tahoma");
  // The child, its field, and OnCreate after the whole definition was read.
  ASSERT_NE(form->Panel1, nullptr);
  EXPECT_EQ(form->Panel1->Parent(), form);
  EXPECT_EQ(form->Panel1->Owner(), form);
  EXPECT_EQ(form->Panel1->Width(), 100);
  EXPECT_EQ(form->Created, 1);
  EXPECT_EQ(form->CaptionAtCreate, L"岚泽测试窗口");
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(form->FormState().Empty());

  // Shown in the stored window state; restored to the stored client size.
  form->Show();
  HWND h = form->Handle();
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_TRUE(IsZoomed(h));
  EXPECT_EQ(WindowText(h), L"岚泽测试窗口");
  ShowWindow(h, SW_RESTORE);
  RECT client{};
  GetClientRect(h, &client);
  EXPECT_EQ(client.right, 400);
  EXPECT_EQ(client.bottom, 250);
  EXPECT_EQ(form->WindowState(), wsNormal);
}

TEST_F(FormsTest, FormWithoutDefinitionIsNotCreated) {
  const int before = Screen->CustomFormCount();
  TFormsNoDefinitionForm* form = reinterpret_cast<TFormsNoDefinitionForm*>(1);
  try {
    Application->CreateForm(TFormsNoDefinitionForm::StaticClass(), form);
    FAIL() << "no exception";
  } catch (EResNotFound& e) {
    EXPECT_EQ(e.Message, L"Resource TFormsNoDefinitionForm not found");
  }
  EXPECT_EQ(form, nullptr);
  EXPECT_EQ(Screen->CustomFormCount(), before);
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(FormsTest, CreateFormMakesTheFirstFormTheMainForm) {
  ASSERT_EQ(Application->MainForm(), nullptr);
  TForm* first = nullptr;
  TFormsTestForm* second = nullptr;
  Application->CreateForm(TForm::StaticClass(), first);
  Application->CreateForm(TFormsTestForm::StaticClass(), second);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(Application->MainForm(), first);
  EXPECT_EQ(first->Owner(), Application);
  EXPECT_EQ(second->Created, 1);
  EXPECT_TRUE(first->HandleAllocated());   // the main form's window exists from CreateForm on
  EXPECT_THROW(Application->CreateForm(TForm::StaticClass(), second), EInvalidCast);

  TObject::Free(first);
  EXPECT_EQ(Application->MainForm(), nullptr);
  EXPECT_EQ(Screen->FormCount(), 1);
}

// ---------------------------------------------------------------------------
// Closing
// ---------------------------------------------------------------------------

TEST_F(FormsTest, ClosingTheMainFormEndsRun) {
  TForm* mainForm = nullptr;
  Application->CreateForm(TForm::StaticClass(), mainForm);
  TFormEvents events;
  events.Attach(mainForm);
  PostMessageW(mainForm->Handle(), WM_CLOSE, 0, 0);
  TLoopGuard guard;
  Application->Run();
  EXPECT_FALSE(guard.Fired());
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(events.Shown, 1);    // Run showed the main form
  EXPECT_EQ(events.Closed, 1);
  EXPECT_EQ(Application->MainForm(), mainForm);   // closing does not free it
}

TEST_F(FormsTest, CloseQueryCanVeto) {
  auto form = FormsOwned<TForm>(NewForm(), &TObject::Free);
  TFormEvents events;
  events.Attach(form.get());
  form->Show();
  events.AllowClose = false;
  form->Close();
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(events.Closed, 0);
  events.AllowClose = true;
  form->Close();
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(events.Closed, 1);
}

TEST_F(FormsTest, CloseActionDecides) {
  struct Case {
    TCloseAction Action;
    bool Visible;
    bool Freed;
    TWindowState State;
  };
  const Case cases[] = {{caNone, true, false, wsNormal},
                        {caHide, false, false, wsNormal},
                        {caMinimize, true, false, wsMinimized},
                        {caFree, true, true, wsNormal}};
  for (const Case& c : cases) {
    SCOPED_TRACE(EnumName(c.Action));
    TForm* form = NewForm();
    TFormEvents events;
    events.Attach(form);
    events.Action = c.Action;
    form->Show();
    form->Close();
    EXPECT_EQ(form->Visible(), c.Visible);
    EXPECT_EQ(form->WindowState(), c.State);
    // caFree frees through a posted message: the form is still there now,
    // and gone once the queue has been served.
    EXPECT_EQ(events.Destroyed, 0);
    PumpPending();
    EXPECT_EQ(events.Destroyed, c.Freed ? 1 : 0);
    if (!c.Freed) TObject::Free(form);
  }
}

TEST_F(FormsTest, ReleaseFreesOnceTheQueueIsServed) {
  TForm* form = NewForm();
  TFormEvents events;
  events.Attach(form);
  const int count = Screen->CustomFormCount();
  form->Release();
  EXPECT_EQ(events.Destroyed, 0);
  EXPECT_EQ(Screen->CustomFormCount(), count);
  PumpPending();
  EXPECT_EQ(events.Destroyed, 1);
  EXPECT_EQ(Screen->CustomFormCount(), count - 1);
}

// ---------------------------------------------------------------------------
// Modal forms
// ---------------------------------------------------------------------------

TEST_F(FormsTest, ShowModalReturnsTheResultAPostedMessageSets) {
  auto other = FormsOwned<TForm>(NewForm(), &TObject::Free);
  other->Show();
  auto dialog = FormsOwned<TForm>(NewForm(), &TObject::Free);
  bool otherDisabledMeanwhile = false;
  HWND helper = nullptr;
  TMethodWindowRelease release(helper);
  helper = AllocateHWnd([&](TMessage& m) {
    if (m.Msg == WM_APP) {
      otherDisabledMeanwhile = !IsWindowEnabled(other->Handle());
      dialog->SetModalResult(mrYes);
      return;
    }
    m.Result = DefWindowProcW(helper, m.Msg, m.WParam, m.LParam);
  });
  PostMessageW(helper, WM_APP, 0, 0);
  TLoopGuard guard;
  EXPECT_EQ(dialog->ShowModal(), mrYes);
  EXPECT_FALSE(guard.Fired());
  EXPECT_TRUE(otherDisabledMeanwhile);
  EXPECT_TRUE(IsWindowEnabled(other->Handle()));
  EXPECT_FALSE(dialog->Visible());
  EXPECT_FALSE(dialog->FormState().Contains(fsModal));
  EXPECT_EQ(Application->ModalLevel(), 0);
  DeallocateHWnd(helper);

  // A visible form cannot become modal.
  EXPECT_THROW(other->ShowModal(), EInvalidOperation);
}

TEST_F(FormsTest, ClosingAModalFormGivesCancel) {
  auto dialog = FormsOwned<TForm>(NewForm(), &TObject::Free);
  TFormEvents events;
  events.Attach(dialog.get());
  PostMessageW(dialog->Handle(), WM_CLOSE, 0, 0);
  TLoopGuard guard;
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_FALSE(guard.Fired());
  EXPECT_EQ(events.Closed, 1);   // the modal loop asked OnCloseQuery / OnClose

  // A veto keeps the modal loop running until a result is accepted.
  events.AllowClose = false;
  int posts = 0;
  HWND helper = nullptr;
  TMethodWindowRelease release(helper);
  helper = AllocateHWnd([&](TMessage& m) {
    if (m.Msg == WM_APP) {
      if (++posts == 2) events.AllowClose = true;
      dialog->SetModalResult(mrOk);
      if (posts < 2) PostMessageW(helper, WM_APP, 0, 0);
      return;
    }
    m.Result = DefWindowProcW(helper, m.Msg, m.WParam, m.LParam);
  });
  PostMessageW(helper, WM_APP, 0, 0);
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(posts, 2);
  DeallocateHWnd(helper);
}

// ---------------------------------------------------------------------------
// Activation, focus, keys
// ---------------------------------------------------------------------------

TEST_F(FormsTest, ActivationFocusesTheActiveControlAndTracksTheScreen) {
  auto first = FormsOwned<TForm>(NewForm(), &TObject::Free);
  auto* panelA = Make<TFormsTestPanel>(first.get());
  panelA->SetParent(first.get());
  auto* panelB = Make<TFormsTestPanel>(first.get());
  panelB->SetParent(first.get());
  panelB->SetTop(40);
  first->SetActiveControl(panelB);
  TFormEvents firstEvents;
  firstEvents.Attach(first.get());
  int formChanges = 0;
  struct Counter : TObject {
    int* n;
    void Changed(TObject*) { ++*n; }
  } counter;
  counter.n = &formChanges;
  TScopedHook onActiveFormChange(Screen->OnActiveFormChange, TNotifyEvent::Bind<&Counter::Changed>(&counter));

  first->Show();
  PumpUntil([&] { return Screen->ActiveForm() == first.get(); });
  EXPECT_EQ(Screen->ActiveForm(), first.get());
  EXPECT_EQ(Screen->ActiveCustomForm(), first.get());
  EXPECT_EQ(Screen->Forms(0), first.get());
  EXPECT_EQ(GetFocus(), panelB->Handle());
  EXPECT_EQ(Screen->ActiveControl(), panelB);
  EXPECT_EQ(first->FocusedControl(), panelB);
  EXPECT_EQ(panelB->Entered, 1);
  EXPECT_EQ(firstEvents.Activated, 1);
  EXPECT_GE(formChanges, 1);

  // Focus moves inside the form: CM_EXIT / CM_ENTER, the active control follows.
  panelA->SetFocus();
  EXPECT_EQ(GetFocus(), panelA->Handle());
  EXPECT_EQ(first->ActiveControl(), panelA);
  EXPECT_EQ(panelB->Exited, 1);
  EXPECT_EQ(panelA->Entered, 1);

  // Another form takes over.
  auto second = FormsOwned<TForm>(NewForm(), &TObject::Free);
  second->Show();
  PumpUntil([&] { return Screen->ActiveForm() == second.get(); });
  EXPECT_EQ(Screen->ActiveForm(), second.get());
  EXPECT_EQ(Screen->Forms(0), second.get());
  EXPECT_EQ(firstEvents.Deactivated, 1);
  EXPECT_EQ(first->ActiveControl(), panelA);   // remembered for its next activation
  Screen->OnActiveFormChange = nullptr;

  // A control of another form cannot be the active control.
  auto* stranger = Make<TFormsTestPanel>(second.get());
  stranger->SetParent(second.get());
  EXPECT_THROW(first->SetActiveControl(stranger), EInvalidOperation);
  EXPECT_EQ(GetParentForm(stranger), second.get());
  auto orphan = FormsOwned<TFormsTestPanel>(Make<TFormsTestPanel>(nullptr), &TObject::Free);
  EXPECT_EQ(GetParentForm(orphan.get()), nullptr);
  EXPECT_THROW(ValidParentForm(orphan.get()), EInvalidOperation);
}

TEST_F(FormsTest, KeyPreviewLetsTheFormSeeKeysFirst) {
  auto form = FormsOwned<TForm>(NewForm(), &TObject::Free);
  auto* panel = Make<TFormsTestPanel>(form.get());
  panel->SetParent(form.get());
  struct Keys : TObject {
    std::vector<String> Seen;
    Word Swallow = 0;
    void FormKey(TObject*, Word& Key, TShiftState) {
      Seen.push_back(L"form");
      if (Key == Swallow) Key = 0;
    }
    void PanelKey(TObject*, Word&, TShiftState) { Seen.push_back(L"panel"); }
  } keys;
  TScopedHook formKey(form->OnKeyDown, TKeyEvent::Bind<&Keys::FormKey>(&keys));
  panel->OnKeyDown = TKeyEvent::Bind<&Keys::PanelKey>(&keys);
  form->Show();

  SendMessageW(panel->Handle(), WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(keys.Seen, std::vector<String>{L"panel"});

  form->SetKeyPreview(true);
  keys.Seen.clear();
  SendMessageW(panel->Handle(), WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(keys.Seen, (std::vector<String>{L"form", L"panel"}));

  keys.Seen.clear();
  keys.Swallow = 'B';
  SendMessageW(panel->Handle(), WM_KEYDOWN, 'B', 0);
  EXPECT_EQ(keys.Seen, std::vector<String>{L"form"});
}

// ---------------------------------------------------------------------------
// Window styles, owners, position, layering
// ---------------------------------------------------------------------------

TEST_F(FormsTest, BorderStyleAndIconsMakeTheWindowStyles) {
  struct Case {
    TFormBorderStyle Border;
    TBorderIcons Icons;
    DWORD StyleOn, StyleOff, ExOn;
  };
  const TBorderIcons all{biSystemMenu, biMinimize, biMaximize};
  const Case cases[] = {
      {bsSizeable, all, WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_CHILD, 0},
      {bsSingle, {biSystemMenu}, WS_CAPTION | WS_SYSMENU, WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0},
      {bsDialog, all, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
       WS_EX_DLGMODALFRAME},
      {bsNone, all, WS_POPUP, WS_CAPTION | WS_THICKFRAME | WS_SYSMENU, 0},
      {bsToolWindow, all, WS_CAPTION, WS_THICKFRAME, WS_EX_TOOLWINDOW},
      {bsSizeToolWin, all, WS_CAPTION | WS_THICKFRAME, 0, WS_EX_TOOLWINDOW},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(EnumName(c.Border));
    auto form = FormsOwned<TForm>(NewForm(), &TObject::Free);
    form->SetBorderStyle(c.Border);
    form->SetBorderIcons(c.Icons);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(form->Handle(), GWL_STYLE));
    const DWORD ex = static_cast<DWORD>(GetWindowLongW(form->Handle(), GWL_EXSTYLE));
    EXPECT_EQ(style & c.StyleOn, c.StyleOn);
    EXPECT_EQ(style & c.StyleOff, 0u);
    EXPECT_EQ(ex & c.ExOn, c.ExOn);
    // Changing the border of a live form recreates its window.
    form->SetBorderStyle(c.Border == bsSizeable ? bsSingle : bsSizeable);
    EXPECT_EQ((GetWindowLongW(form->Handle(), GWL_STYLE) & WS_THICKFRAME) != 0,
              form->BorderStyle() == bsSizeable);
  }
}

TEST_F(FormsTest, OwnerWindowFollowsPopupModeAndTaskBarSetting) {
  auto parent = FormsOwned<TForm>(NewForm(), &TObject::Free);
  auto form = FormsOwned<TForm>(NewForm(), &TObject::Free);
  EXPECT_EQ(GetWindow(form->Handle(), GW_OWNER), Application->Handle());

  form->SetPopupParent(parent.get());
  EXPECT_EQ(form->PopupMode(), pmExplicit);
  EXPECT_EQ(GetWindow(form->Handle(), GW_OWNER), parent->Handle());
  // The popup parent going away returns the form to the default owner.
  parent.reset();
  EXPECT_EQ(form->PopupParent(), nullptr);
  EXPECT_EQ(GetWindow(form->Handle(), GW_OWNER), Application->Handle());

  // With the main form on the task bar it has no owner and an own button,
  // and the other forms are owned by it.
  Application->SetMainFormOnTaskBar(true);
  TForm* mainForm = nullptr;
  Application->CreateForm(TForm::StaticClass(), mainForm);
  EXPECT_EQ(GetWindow(mainForm->Handle(), GW_OWNER), nullptr);
  EXPECT_TRUE(GetWindowLongW(mainForm->Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
  auto later = FormsOwned<TForm>(NewForm(), &TObject::Free);
  EXPECT_EQ(GetWindow(later->Handle(), GW_OWNER), mainForm->Handle());
  TObject::Free(mainForm);
  Application->SetMainFormOnTaskBar(false);
}

TEST_F(FormsTest, ScreenCenterPlacesTheFormOnceWhenShown) {
  auto form = FormsOwned<TForm>(NewForm(), &TObject::Free);
  form->SetBounds(0, 0, 300, 200);
  form->SetPosition(poScreenCenter);
  form->Show();
  const TRect work = Screen->PrimaryMonitor()->WorkareaRect();
  RECT r{};
  GetWindowRect(form->Handle(), &r);
  EXPECT_EQ(r.left, work.Left + (work.Width() - 300) / 2);
  EXPECT_EQ(r.top, work.Top + (work.Height() - 200) / 2);
  EXPECT_EQ(form->Position(), poDesigned);
}

// A form to be shown maximized is maximized while its window is still hidden: an aligned
// control meets only the size it is shown with, and the show changes no size.
TEST_F(FormsTest, MaximizedFormLaysOutItsControlsOnlyAtTheShownSize) {
  auto form = FormsOwned<TForm>(NewForm(), &TObject::Free);
  form->SetWindowState(wsMaximized);
  auto* panel = Make<TFormsTestPanel>(form.get());
  panel->SetParent(form.get());
  panel->SetAlign(alClient);
  TResizeLog log;
  panel->OnResize = TNotifyEvent::Bind<&TResizeLog::OnResize>(&log);

  HWND h = form->Handle();
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_TRUE(IsZoomed(h));
  form->Show();
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_TRUE(IsZoomed(h));
  RECT client{};
  GetClientRect(h, &client);
  ASSERT_FALSE(log.Sizes.empty());
  for (const TPoint& size : log.Sizes) {
    EXPECT_EQ(size.X, client.right);
    EXPECT_EQ(size.Y, client.bottom);
  }
  EXPECT_EQ(form->WindowState(), wsMaximized);

  // Restored, it takes the bounds it had before it was ever shown.
  ShowWindow(h, SW_RESTORE);
  RECT r{};
  GetWindowRect(h, &r);
  EXPECT_EQ(TRect(r.left, r.top, r.right, r.bottom), TRect(50, 50, 350, 250));
  EXPECT_EQ(form->WindowState(), wsNormal);
  panel->OnResize = nullptr;
}

// Bounds given to a hidden maximized form, by a caller or by its Position, are the
// bounds it restores to; the window stays hidden and maximized until it is shown.
TEST_F(FormsTest, HiddenMaximizedFormKeepsTheBoundsItRestoresTo) {
  const TRect work = Screen->PrimaryMonitor()->WorkareaRect();
  const int centredLeft = work.Left + (work.Width() - 320) / 2;
  const int centredTop = work.Top + (work.Height() - 210) / 2;
  struct Case {
    TPosition position;
    TRect restored;
  } const cases[] = {
      {poDesigned, TRect(60, 70, 380, 280)},
      {poScreenCenter, TRect(centredLeft, centredTop, centredLeft + 320, centredTop + 210)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.position));
    auto form = FormsOwned<TForm>(NewForm(), &TObject::Free);
    form->SetWindowState(wsMaximized);
    HWND h = form->Handle();
    form->SetBounds(60, 70, 320, 210);
    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_TRUE(IsZoomed(h));
    form->SetPosition(c.position);
    form->Show();
    EXPECT_TRUE(IsZoomed(h));
    ShowWindow(h, SW_RESTORE);
    RECT r{};
    GetWindowRect(h, &r);
    EXPECT_EQ(TRect(r.left, r.top, r.right, r.bottom), c.restored);
  }
}

TEST_F(FormsTest, AlphaBlendMakesALayeredWindow) {
  auto form = FormsOwned<TForm>(NewForm(), &TObject::Free);
  form->SetAlphaBlendValue(180);
  form->SetAlphaBlend(true);
  HWND h = form->Handle();
  EXPECT_TRUE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(h, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 180);
  EXPECT_TRUE(flags & LWA_ALPHA);
  form->SetAlphaBlend(false);
  EXPECT_FALSE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED);
}

// The window shows the form's icon from its creation on and loses it with
// the icon; a form without one sends no WM_SETICON at all (the system builds
// an icon for the window manager on each).
TEST_F(FormsTest, TheWindowTakesTheFormsIcon) {
  struct Recorder : TObject {
    explicit Recorder(TWndMethod previous) : Previous(previous) {}
    TWndMethod Previous;
    int SetIcons = 0;
    void WndProc(TMessage& m) {
      if (m.Msg == WM_SETICON) ++SetIcons;
      Previous(m);
    }
  };
  for (bool withIcon : {false, true}) {
    SCOPED_TRACE(withIcon ? "with an icon" : "without an icon");
    auto form = FormsOwned<TForm>(NewForm(), &TObject::Free);
    Recorder recorder(form->WindowProc);
    form->WindowProc = TWndMethod::Bind<&Recorder::WndProc>(&recorder);
    HICON icon = withIcon ? CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)) : nullptr;
    if (withIcon) form->Icon()->SetHandle(icon);   // taken over
    HWND h = form->Handle();
    EXPECT_EQ(recorder.SetIcons, withIcon ? 2 : 0);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_BIG, 0)), icon);
    auto none = FormsOwned<TIcon>(Make<TIcon>(), &TObject::Free);
    form->SetIcon(none.get());
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_BIG, 0)), nullptr);
    form->WindowProc = recorder.Previous;
  }
}

TEST_F(FormsTest, MDIFormHasAClientWindowAndChildren) {
  TForm* frame = nullptr;
  Application->CreateForm(TForm::StaticClass(), frame);
  frame->SetFormStyle(fsMDIForm);
  frame->Show();
  ASSERT_NE(frame->ClientHandle(), nullptr);
  Char cls[32] = {};
  GetClassNameW(frame->ClientHandle(), cls, 32);
  EXPECT_STREQ(cls, L"MDIClient");

  auto* child = Make<TForm>(Application, 0);
  child->SetFormStyle(fsMDIChild);
  child->Show();
  EXPECT_EQ(GetParent(child->Handle()), frame->ClientHandle());
  EXPECT_EQ(frame->MDIChildCount(), 1);
  EXPECT_EQ(frame->MDIChildren(0), child);
  EXPECT_EQ(frame->ActiveMDIChild(), child);
  TObject::Free(child);
  EXPECT_EQ(frame->MDIChildCount(), 0);
  TObject::Free(frame);
}

TEST_F(FormsTest, MainMenuCommandsReachTheirItems) {
  auto form = FormsOwned<TForm>(NewForm(), &TObject::Free);
  auto* menu = Make<TMainMenu>(form.get());
  auto* file = Make<TMenuItem>(menu);
  file->SetCaption(L"文件(&F)");
  auto* open = Make<TMenuItem>(menu);
  open->SetCaption(L"打开");
  file->Add(open);
  menu->Items()->Add(file);
  int clicks = 0;
  struct Clicks : TObject {
    int* n;
    void Click(TObject*) { ++*n; }
  } counter;
  counter.n = &clicks;
  open->OnClick = TNotifyEvent::Bind<&Clicks::Click>(&counter);

  form->SetClientHeight(150);
  form->SetMenu(menu);
  HWND h = form->Handle();
  EXPECT_EQ(GetMenu(h), menu->Handle());
  EXPECT_EQ(menu->WindowHandle(), h);
  SendMessageW(h, WM_COMMAND, MAKEWPARAM(open->Command(), 0), 0);
  EXPECT_EQ(clicks, 1);

  form->SetMenu(nullptr);
  EXPECT_EQ(GetMenu(h), nullptr);
  // A menu freed while the form uses it is forgotten.
  form->SetMenu(menu);
  TObject::Free(menu);
  EXPECT_EQ(form->Menu(), nullptr);
}

TEST_F(FormsTest, OnPaintDrawsOnTheFormsCanvas) {
  auto form = FormsOwned<TForm>(NewForm(), &TObject::Free);
  form->SetBorderStyle(bsNone);
  form->SetColor(clWhite);
  struct Painter : TObject {
    TForm* Form = nullptr;
    int Paints = 0;
    void Paint(TObject*) {
      ++Paints;
      Form->Canvas()->Brush()->SetColor(clRed);
      Form->Canvas()->FillRect(Rect(10, 10, 20, 20));
    }
  } painter;
  painter.Form = form.get();
  TScopedHook onPaint(form->OnPaint, TNotifyEvent::Bind<&Painter::Paint>(&painter));
  form->Show();
  form->Update();
  EXPECT_GE(painter.Paints, 1);

  auto bitmap = FormsOwned<TBitmap>(Make<TBitmap>(), &TObject::Free);
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(form->Width(), form->Height());
  form->PaintTo(bitmap->Canvas(), 0, 0);
  EXPECT_EQ(bitmap->Canvas()->GetPixel(15, 15), clRed);
  EXPECT_EQ(bitmap->Canvas()->GetPixel(9, 9), clWhite);
  EXPECT_EQ(bitmap->Canvas()->GetPixel(20, 20), clWhite);
}
