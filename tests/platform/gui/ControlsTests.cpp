// Window life of controls: creation, handle recreation, teardown, adopting a
// foreign window, message dispatch and subclassing, reflection, text, stream.
#include "tests/platform/gui/ControlsTestSupport.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScopedHook.h"

#include "platform/core/Filer.h"
#include "platform/core/Streams.h"

#include <algorithm>

namespace ctltest {

// ---------------------------------------------------------------------------
// Support
// ---------------------------------------------------------------------------

int& LiveControls() {
  static int n = 0;
  return n;
}

std::vector<std::wstring>& Log() {
  static std::vector<std::wstring> log;
  return log;
}

bool PumpUntil(const std::function<bool()>& done) { return PumpMessagesUntil(done); }

void PumpPending() { PumpQueuedMessages(); }

namespace {
BOOL CALLBACK CountChild(HWND, LPARAM p) {
  ++*reinterpret_cast<int*>(p);
  return TRUE;
}
BOOL CALLBACK CountTop(HWND w, LPARAM p) {
  ++*reinterpret_cast<int*>(p);
  EnumChildWindows(w, CountChild, p);
  return TRUE;
}
}  // namespace

int ThreadWindowCount() {
  int n = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountTop, reinterpret_cast<LPARAM>(&n));
  return n;
}

TCtlPanel::TCtlPanel(TComponent* owner) : TCustomControl(owner) {
  ++LiveControls();
  controlStyle_ += csAcceptsControls;
  SetBounds(0, 0, 100, 50);
}

TCtlPanel::~TCtlPanel() { --LiveControls(); }

void TCtlPanel::Paint() {
  if (Fill != clNone) {
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(ClientRect());
  }
  if (PaintProc) PaintProc(this);
}

void TCtlPanel::WMUserTest(TMessage& m) { m.Result = 42; }
void TCtlPanel::CNCommand(TWMCommand& m) {
  LastCommand = m;
  m.Result = 7;
}
void TCtlPanel::CMDialogKeyTest(TWMKey& m) {
  if (DialogKeyTaken) {
    m.Result = 1;
    Note(L"dialogkey:" + Name() + L":" + std::to_wstring(m.CharCode));
    return;
  }
  DispatchInherited(TCtlPanel::StaticClass(), &m);
}
void TCtlPanel::CMMouseEnterTest(TCMMouseEnterLeave& m) {
  Note(L"cm_enter:" + Name() + L"<" + (m.Control ? m.Control->Name() : std::wstring(L"self")));
  DispatchInherited(TCtlPanel::StaticClass(), &m);
}
void TCtlPanel::CMMouseLeaveTest(TCMMouseEnterLeave& m) {
  Note(L"cm_leave:" + Name() + L"<" + (m.Control ? m.Control->Name() : std::wstring(L"self")));
  DispatchInherited(TCtlPanel::StaticClass(), &m);
}
void TCtlPanel::CMTextChangedTest(TMessage& m) {
  ++TextChanges;
  DispatchInherited(TCtlPanel::StaticClass(), &m);
}

TCtlGraphic::TCtlGraphic(TComponent* owner) : TGraphicControl(owner) {
  ++LiveControls();
  SetBounds(0, 0, 20, 20);
}
TCtlGraphic::~TCtlGraphic() { --LiveControls(); }
void TCtlGraphic::Paint() {
  Canvas()->Brush()->SetColor(Fill);
  Canvas()->FillRect(ClientRect());
}

namespace {
class TEventSink : public TObject {
 public:
  void Enter(TObject* s) { Note(L"enter:" + static_cast<TComponent*>(s)->Name()); }
  void Exit(TObject* s) { Note(L"exit:" + static_cast<TComponent*>(s)->Name()); }
  void Click(TObject* s) { Note(L"click:" + static_cast<TComponent*>(s)->Name()); }
  void DblClick(TObject* s) { Note(L"dblclick:" + static_cast<TComponent*>(s)->Name()); }
  void MouseEnter(TObject* s) { Note(L"mouseenter:" + static_cast<TComponent*>(s)->Name()); }
  void MouseLeave(TObject* s) { Note(L"mouseleave:" + static_cast<TComponent*>(s)->Name()); }
};
TEventSink& Sink() {
  static TEventSink sink;
  return sink;
}
}  // namespace

void LogEvents(TControl* c) {
  c->OnClick = TNotifyEvent::Bind<&TEventSink::Click>(&Sink());
  c->OnDblClick = TNotifyEvent::Bind<&TEventSink::DblClick>(&Sink());
  c->OnMouseEnter = TNotifyEvent::Bind<&TEventSink::MouseEnter>(&Sink());
  c->OnMouseLeave = TNotifyEvent::Bind<&TEventSink::MouseLeave>(&Sink());
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    w->OnEnter = TNotifyEvent::Bind<&TEventSink::Enter>(&Sink());
    w->OnExit = TNotifyEvent::Bind<&TEventSink::Exit>(&Sink());
  }
}

HostWindow::HostWindow(int w, int h) {
  wnd_ = CreateWindowExW(0, L"STATIC", L"controls test host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, w, h,
                         nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HostWindow::~HostWindow() { DestroyWindow(wnd_); }

void ControlsTest::SetUp() {
  Log().clear();
  liveAtStart = LiveControls();
  host = new HostWindow(400, 300);
  ASSERT_TRUE(host->Handle());
}

void ControlsTest::TearDown() {
  TObject::Free(root);
  root = nullptr;
  delete host;
  PumpPending();
  EXPECT_EQ(LiveControls(), liveAtStart) << "test controls left alive";
}

TCtlPanel* ControlsTest::MakeRoot(int w, int h) {
  root = Make<TCtlPanel>(nullptr);
  root->SetName(L"Root");
  root->SetBounds(0, 0, w, h);
  root->SetParentWindow(host->Handle());
  return root;
}

}  // namespace ctltest

using namespace ctltest;

BEGIN_CLASS(TCtlPanel, TCustomControl, (ConstructWith<TCtlPanel, TComponent>))
  PublishControl(b, {L"Align", L"Caption", L"Color", L"TabOrder", L"TabStop", L"Visible", L"OnClick"});
  b.Message<&TCtlPanel::WMUserTest>(WM_USER + 1);
  b.Message<&TCtlPanel::CNCommand>(CN_COMMAND);
  b.Message<&TCtlPanel::CMDialogKeyTest>(CM_DIALOGKEY);
  b.Message<&TCtlPanel::CMMouseEnterTest>(CM_MOUSEENTER);
  b.Message<&TCtlPanel::CMMouseLeaveTest>(CM_MOUSELEAVE);
  b.Message<&TCtlPanel::CMTextChangedTest>(CM_TEXTCHANGED);
END_CLASS

IMPLEMENT_CLASS(TCtlGraphic, TGraphicControl, (ConstructWith<TCtlGraphic, TComponent>))

namespace {

// ---------------------------------------------------------------------------
// Creation, recreation, teardown
// ---------------------------------------------------------------------------

using ControlsWindowTest = ControlsTest;

TEST_F(ControlsWindowTest, HandlesAreCreatedWithTheParentChainAndBoundToTheirControls) {
  MakeRoot();
  auto* a = Named(Make<TCtlPanel>(root), L"A");
  a->SetParent(root);
  a->SetBounds(10, 20, 120, 80);
  auto* b = Named(Make<TCtlPanel>(root), L"B");
  b->SetParent(a);
  b->SetBounds(5, 6, 30, 20);

  ASSERT_TRUE(root->HandleAllocated());
  ASSERT_TRUE(a->HandleAllocated()) << "a showing parent creates the handles of its children";
  ASSERT_TRUE(b->HandleAllocated());
  EXPECT_TRUE(root->Showing());
  EXPECT_TRUE(b->Showing());
  EXPECT_EQ(GetParent(root->Handle()), host->Handle());
  EXPECT_EQ(GetParent(a->Handle()), root->Handle());
  EXPECT_EQ(GetParent(b->Handle()), a->Handle());
  EXPECT_EQ(FindControl(a->Handle()), a);
  EXPECT_EQ(FindControl(host->Handle()), nullptr);
  Char cls[64];
  GetClassNameW(a->Handle(), cls, 64);
  EXPECT_STREQ(cls, L"TCtlPanel");
  RECT r;
  GetWindowRect(b->Handle(), &r);
  MapWindowPoints(nullptr, a->Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(TRect(r.left, r.top, r.right, r.bottom), TRect(5, 6, 35, 26));
}

TEST_F(ControlsWindowTest, RecreateWndKeepsChildrenTextAndBounds) {
  MakeRoot();
  auto* a = Named(Make<TCtlPanel>(root), L"A");
  a->SetParent(root);
  a->SetBounds(10, 20, 120, 80);
  auto* b = Named(Make<TCtlPanel>(root), L"B");
  b->SetParent(a);
  b->SetBounds(5, 6, 30, 20);
  auto* g = Named(Make<TCtlGraphic>(root), L"G");
  g->SetParent(a);
  a->SetText(L"caption of A");
  const HWND oldA = a->Handle(), oldB = b->Handle();

  a->RecreateWnd();

  ASSERT_TRUE(a->HandleAllocated());
  ASSERT_TRUE(b->HandleAllocated());
  EXPECT_FALSE(IsWindow(oldA));
  EXPECT_FALSE(IsWindow(oldB));
  EXPECT_NE(a->Handle(), oldA);
  EXPECT_EQ(GetParent(b->Handle()), a->Handle());
  EXPECT_EQ(FindControl(b->Handle()), b);
  EXPECT_EQ(a->ControlCount(), 2);
  EXPECT_EQ(g->Parent(), a);
  EXPECT_EQ(a->Text(), L"caption of A");
  Char text[64];
  GetWindowTextW(a->Handle(), text, 64);
  EXPECT_STREQ(text, L"caption of A");
  EXPECT_EQ(a->BoundsRect(), TRect(10, 20, 130, 100));
  EXPECT_EQ(b->BoundsRect(), TRect(5, 6, 35, 26));
  EXPECT_TRUE(b->Showing());
}

TEST_F(ControlsWindowTest, DestroyHandleKeepsTheControlAndHandleMakesANewWindow) {
  MakeRoot();
  auto* a = Make<TCtlPanel>(root);
  a->SetParent(root);
  a->SetText(L"kept");
  const HWND old = a->Handle();
  a->DestroyHandle();
  EXPECT_FALSE(a->HandleAllocated());
  EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(a->Text(), L"kept") << "the text lives in the control while it has no window";
  const HWND again = a->Handle();
  EXPECT_TRUE(IsWindow(again));
  EXPECT_EQ(a->Text(), L"kept");
}

TEST_F(ControlsWindowTest, AChildWithoutParentWindowCannotCreateItsHandle) {
  auto* lonely = Make<TCtlPanel>(nullptr);
  lonely->SetName(L"Lonely");
  try {
    lonely->Handle();
    ADD_FAILURE() << "no exception";
  } catch (EInvalidOperation& e) {
    EXPECT_EQ(e.Message, L"Control 'Lonely' has no parent window");
  }
  TObject::Free(lonely);
}

TEST_F(ControlsWindowTest, FreeingTheOwnerLeavesNoWindowAndNoControl) {
  const int windowsBefore = ThreadWindowCount();
  auto* owner = Make<TComponent>(nullptr);
  auto* top = Make<TCtlPanel>(owner);
  top->SetParentWindow(host->Handle());
  std::vector<HWND> handles;
  for (int i = 0; i < 3; ++i) {
    auto* p = Make<TCtlPanel>(owner);
    p->SetParent(top);
    auto* inner = Make<TCtlPanel>(owner);
    inner->SetParent(p);
    (Make<TCtlGraphic>(owner))->SetParent(inner);
    handles.push_back(p->Handle());
    handles.push_back(inner->Handle());
  }
  EXPECT_EQ(ThreadWindowCount(), windowsBefore + 7);
  EXPECT_EQ(LiveControls(), liveAtStart + 10);

  TObject::Free(owner);

  EXPECT_EQ(LiveControls(), liveAtStart);
  EXPECT_EQ(ThreadWindowCount(), windowsBefore);
  for (HWND h : handles) {
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(FindControl(h), nullptr);
  }
}

TEST_F(ControlsWindowTest, FreeingAParentFreesItsChildrenOwnedElsewhere) {
  MakeRoot();
  auto* owner = Make<TComponent>(nullptr);
  auto* p = Make<TCtlPanel>(owner);
  p->SetParent(root);
  auto* child = Make<TCtlPanel>(owner);
  child->SetParent(p);
  (Make<TCtlGraphic>(owner))->SetParent(child);
  const HWND ph = p->Handle(), ch = child->Handle();
  EXPECT_EQ(owner->ComponentCount(), 3);

  TObject::Free(p);

  EXPECT_FALSE(IsWindow(ph));
  EXPECT_FALSE(IsWindow(ch));
  EXPECT_EQ(owner->ComponentCount(), 0) << "freed children leave their owner";
  EXPECT_EQ(root->ControlCount(), 0);
  TObject::Free(owner);
}

TEST_F(ControlsWindowTest, AControlFreedInItsOwnClickHandlerDoesNotCrash) {
  MakeRoot();
  struct Killer : TObject {
    TControl* victim = nullptr;
    void Click(TObject*) { TObject::Free(victim); }
  } killer;
  auto* a = Make<TCtlPanel>(nullptr);
  a->SetParent(root);
  killer.victim = a;
  a->OnClick = TNotifyEvent::Bind<&Killer::Click>(&killer);
  const HWND h = a->Handle();
  const int live = LiveControls();

  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, Pt(5, 5));
  SendMessageW(h, WM_LBUTTONUP, 0, Pt(5, 5));

  EXPECT_EQ(LiveControls(), live - 1);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(root->ControlCount(), 0);
  EXPECT_EQ(GetCapture(), nullptr);
}

// ---------------------------------------------------------------------------
// Adopting a window
// ---------------------------------------------------------------------------

std::vector<UINT>& ForeignLog() {
  static std::vector<UINT> log;
  return log;
}

LRESULT CALLBACK ForeignProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_USER + 7) {
    ForeignLog().push_back(msg);
    return 99;
  }
  return DefWindowProcW(w, msg, wp, lp);
}

TEST_F(ControlsWindowTest, AnAdoptedWindowIsSubclassedAndCanBeGivenBack) {
  MakeRoot();
  WNDCLASSW wc{};
  wc.lpfnWndProc = ForeignProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"CtlTestForeign";
  RegisterClassW(&wc);
  HWND foreign = CreateWindowExW(0, L"CtlTestForeign", L"made elsewhere", WS_CHILD | WS_VISIBLE, 3, 4, 50, 40,
                                 root->Handle(), nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(foreign);
  ForeignLog().clear();
  auto* adopter = Make<TCtlPanel>(nullptr);

  adopter->AdoptWindowHandle(foreign);

  EXPECT_EQ(adopter->WindowHandle(), foreign);
  EXPECT_EQ(FindControl(foreign), adopter);
  EXPECT_EQ(adopter->BoundsRect(), TRect(3, 4, 53, 44));
  EXPECT_EQ(adopter->Text(), L"made elsewhere");
  EXPECT_EQ(SendMessageW(foreign, WM_USER + 1, 0, 0), 42) << "the control's message table sees the message";
  EXPECT_EQ(SendMessageW(foreign, WM_USER + 7, 0, 0), 99) << "unhandled messages reach the old procedure";
  EXPECT_EQ(ForeignLog().size(), 1u);

  auto* other = Make<TCtlPanel>(nullptr);
  EXPECT_THROW(other->AdoptWindowHandle(foreign), EInvalidOperation);
  TObject::Free(other);

  EXPECT_EQ(adopter->DetachWindowHandle(), foreign);
  EXPECT_FALSE(adopter->HandleAllocated());
  EXPECT_EQ(FindControl(foreign), nullptr);
  EXPECT_EQ(GetWindowLongPtrW(foreign, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&ForeignProc));
  TObject::Free(adopter);
  EXPECT_TRUE(IsWindow(foreign)) << "a detached window is not destroyed with the control";

  // Adopted and kept: the control destroys it.
  auto* keeper = Make<TCtlPanel>(nullptr);
  keeper->AdoptWindowHandle(foreign);
  TObject::Free(keeper);
  EXPECT_FALSE(IsWindow(foreign));
  UnregisterClassW(L"CtlTestForeign", wc.hInstance);
}

// ---------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------

class TRecorder : public TObject {
 public:
  TWndMethod Saved;
  std::vector<UINT> Seen;
  void Proc(TMessage& m) {
    Seen.push_back(m.Msg);
    if (m.Msg == WM_USER + 2) {
      m.Result = 5;
      return;
    }
    Saved(m);
  }
};

TEST_F(ControlsWindowTest, MessagesGoThroughWindowProcAndTheMessageTables) {
  MakeRoot();
  auto* a = Make<TCtlPanel>(root);
  a->SetParent(root);
  EXPECT_EQ(a->Perform(WM_USER + 1, 0, 0), 42);
  EXPECT_EQ(SendMessageW(a->Handle(), WM_USER + 1, 0, 0), 42);

  TRecorder rec;
  rec.Saved = a->WindowProc;
  {
    TScopedHook subclass(a->WindowProc, TWndMethod::Bind<&TRecorder::Proc>(&rec));
    EXPECT_EQ(SendMessageW(a->Handle(), WM_USER + 2, 0, 0), 5) << "the subclass took the message";
    EXPECT_EQ(SendMessageW(a->Handle(), WM_USER + 1, 0, 0), 42) << "and passed the other one on";
    EXPECT_EQ(a->Perform(WM_USER + 1, 0, 0), 42);
    EXPECT_EQ(std::count(rec.Seen.begin(), rec.Seen.end(), WM_USER + 1), 2);
  }
  rec.Seen.clear();
  SendMessageW(a->Handle(), WM_USER + 2, 0, 0);
  EXPECT_TRUE(rec.Seen.empty());
}

TEST_F(ControlsWindowTest, ParentReflectsNotificationsToTheChildControl) {
  MakeRoot();
  auto* child = Make<TCtlPanel>(root);
  child->SetParent(root);
  const LRESULT r = SendMessageW(root->Handle(), WM_COMMAND, MAKEWPARAM(12, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(child->Handle()));
  EXPECT_EQ(r, 7);
  EXPECT_EQ(child->LastCommand.Msg, CN_COMMAND);
  EXPECT_EQ(child->LastCommand.ItemID, 12);
  EXPECT_EQ(child->LastCommand.NotifyCode, BN_CLICKED);
  EXPECT_EQ(child->LastCommand.Ctl, child->Handle());

  // Colours: the child answers with its brush and sets its font colour.
  child->SetColor(clYellow);
  child->Font()->SetColor(clRed);
  HDC dc = GetDC(child->Handle());
  const LRESULT brush = SendMessageW(root->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(child->Handle()));
  EXPECT_EQ(brush, reinterpret_cast<LRESULT>(child->Brush()->Handle()));
  EXPECT_EQ(GetTextColor(dc), static_cast<COLORREF>(clRed));
  EXPECT_EQ(GetBkColor(dc), static_cast<COLORREF>(clYellow));
  ReleaseDC(child->Handle(), dc);
}

TEST_F(ControlsWindowTest, TextLivesInTheWindowOnceThereIsOne) {
  auto* a = Make<TCtlPanel>(nullptr);
  a->SetText(L"before");
  EXPECT_EQ(a->Text(), L"before");
  EXPECT_EQ(a->TextChanges, 1);
  a->SetText(L"before");
  EXPECT_EQ(a->TextChanges, 1) << "an unchanged text sends no CM_TEXTCHANGED";
  MakeRoot();
  a->SetParent(root);
  Char buf[32];
  GetWindowTextW(a->Handle(), buf, 32);
  EXPECT_STREQ(buf, L"before");
  SetWindowTextW(a->Handle(), L"from outside");
  EXPECT_EQ(a->Caption(), L"from outside");
  Char small[4];
  EXPECT_EQ(a->GetTextBuf(small, 4), 3);
  EXPECT_STREQ(small, L"fro");
}

TEST_F(ControlsWindowTest, TheStreamPutsChildControlsIntoTheirParents) {
  RegisterClasses({TCtlPanel::StaticClass()});
  auto* form = Make<TCtlPanel>(nullptr);
  form->SetName(L"Form");
  auto* p = Make<TCtlPanel>(form);
  p->SetName(L"Outer");
  p->SetParent(form);
  p->SetCaption(L"outer caption");
  auto* q = Make<TCtlPanel>(form);
  q->SetName(L"Inner");
  q->SetParent(p);
  q->SetAlign(alTop);
  auto* stream = Make<TMemoryStream>();
  WriteComponentToStream(stream, form);
  TObject::Free(form);

  stream->SetPosition(0);
  auto* copy = Make<TCtlPanel>(nullptr);
  ReadComponentFromStream(stream, copy);
  TObject::Free(stream);

  auto* outer = dynamic_cast<TCtlPanel*>(copy->FindComponent(L"Outer"));
  auto* inner = dynamic_cast<TCtlPanel*>(copy->FindComponent(L"Inner"));
  ASSERT_TRUE(outer && inner);
  EXPECT_EQ(outer->Parent(), copy);
  EXPECT_EQ(inner->Parent(), outer);
  EXPECT_EQ(outer->Caption(), L"outer caption");
  EXPECT_EQ(inner->Align(), alTop);
  TObject::Free(copy);
}

// A window control on the system's button class, as the standard controls
// build theirs.
class TCtlButton : public TWinControl {
  DECLARE_CLASS(TCtlButton, TWinControl)
 public:
  explicit TCtlButton(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 80, 24); }
  void CreateParams(TCreateParams& params) override {
    TWinControl::CreateParams(params);
    CreateSubClass(params, L"BUTTON");
    params.Style |= BS_PUSHBUTTON;
  }
  void CNCommand(TWMCommand& m) {
    if (m.NotifyCode == BN_CLICKED) ++clicks;
  }
  int clicks = 0;
};

BEGIN_CLASS(TCtlButton, TWinControl, (ConstructWith<TCtlButton, TComponent>))
  b.Message<&TCtlButton::CNCommand>(CN_COMMAND);
END_CLASS

TEST_F(ControlsWindowTest, ASuperclassedSystemControlWorksAndGetsItsNotificationsBack) {
  MakeRoot();
  auto* button = Make<TCtlButton>(root);
  button->SetText(L"Press");
  button->SetParent(root);
  const HWND h = button->Handle();
  Char cls[64];
  GetClassNameW(h, cls, 64);
  EXPECT_STREQ(cls, L"TCtlButton");
  EXPECT_NE(button->DefWndProc(), reinterpret_cast<WNDPROC>(DefWindowProcW)) << "the button's own procedure";
  Char text[16];
  GetWindowTextW(h, text, 16);
  EXPECT_STREQ(text, L"Press");
  SendMessageW(h, BM_CLICK, 0, 0);   // the button tells its parent, which reflects it
  EXPECT_EQ(button->clicks, 1);
  SendMessageW(h, BM_SETSTATE, TRUE, 0);
  EXPECT_TRUE(SendMessageW(h, BM_GETSTATE, 0, 0) & BST_PUSHED) << "the system class handles its messages";
}

TEST_F(ControlsWindowTest, VisibleShowsAndHidesTheWindowAndEnabledEnablesIt) {
  MakeRoot();
  auto* a = Make<TCtlPanel>(root);
  a->SetParent(root);
  const HWND h = a->Handle();
  EXPECT_TRUE(IsWindowVisible(h));
  a->Hide();
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_FALSE(a->Showing());
  a->Show();
  EXPECT_TRUE(IsWindowVisible(h));
  a->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(h));
  a->SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(h));
  // A child of a hidden parent gets its window only when the parent shows.
  a->Hide();
  auto* inner = Make<TCtlPanel>(root);
  inner->SetParent(a);
  EXPECT_FALSE(inner->HandleAllocated());
  a->Show();
  EXPECT_TRUE(inner->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(inner->Handle()));
}

TEST_F(ControlsWindowTest, TheCursorOfTheControlIsSetForItsClientArea) {
  MakeRoot();
  auto* a = Make<TCtlPanel>(root);
  a->SetParent(root);
  a->SetCursor(crHandPoint);
  EXPECT_EQ(SendMessageW(a->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(a->Handle()),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            1);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(ControlsWindowTest, AContextMenuRequestGoesToOnContextPopupInClientCoordinates) {
  MakeRoot();
  auto* a = Make<TCtlPanel>(root);
  a->SetParent(root);
  a->SetBounds(20, 30, 50, 50);
  struct Popup : TObject {
    std::vector<TPoint> points;
    void OnPopup(TObject*, TPoint p, bool& handled) {
      points.push_back(p);
      handled = true;
    }
  } popup;
  a->OnContextPopup = TContextPopupEvent::Bind<&Popup::OnPopup>(&popup);
  const TPoint screen = a->ClientToScreen({7, 9});
  EXPECT_EQ(SendMessageW(a->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(a->Handle()),
                         MAKELPARAM(screen.X, screen.Y)),
            1);
  SendMessageW(a->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(a->Handle()), MAKELPARAM(-1, -1));
  EXPECT_EQ(popup.points, (std::vector<TPoint>{{7, 9}, {-1, -1}}));
}

TEST(ControlsPublishing, UnknownPropertyNamesAreRefused) {
  TClassBuilder<TCtlPanel> b;
  EXPECT_THROW(PublishControl(b, {L"NoSuchProperty"}), EInvalidOperation);
  PublishControl(b, {L"TabStop", L"OnEnter"});
  EXPECT_EQ(b.Props.size(), 2u);
  TClassBuilder<TCtlGraphic> g;
  EXPECT_THROW(PublishControl(g, {L"TabStop"}), EInvalidOperation) << "window-control properties need a window control";
}

}  // namespace

// The code of a real scroll message, and the names the component stream stores.
TEST(ControlsScrollTypes, MessageCodesAndNames) {
  struct Case {
    WPARAM WParam;
    bool Known;
    TScrollCode Code;
  };
  const Case cases[] = {{SB_LINEUP, true, scLineUp},
                        {MAKEWPARAM(SB_THUMBTRACK, 1234), true, scTrack},
                        {MAKEWPARAM(SB_THUMBPOSITION, 0xFFFF), true, scPosition},
                        {SB_ENDSCROLL, true, scEndScroll},
                        {SB_ENDSCROLL + 1, false, scLineUp}};
  for (const Case& c : cases) {
    TScrollCode code = scLineUp;
    EXPECT_EQ(ScrollCodeOf(c.WParam, code), c.Known) << c.WParam;
    EXPECT_EQ(code, c.Code) << c.WParam;
  }
  EXPECT_EQ(EnumName(scEndScroll), L"scEndScroll");
  EXPECT_EQ(EnumName(sbVertical), L"sbVertical");
}
