// Window procedures of the library: object instances that subclass windows
// made elsewhere, exceptions stopped at callback boundaries, registered
// message numbers kept out of message tables, window classes per class style
// and the MDI client's place among aligned controls.
#include "FormsTestSupport.h"

#include "platform/gui/Messaging.h"
#include "tests/support/ScopedHook.h"

#include <set>
#include <vector>

namespace {

class WindowProceduresTest : public FormsFixture {};

// A top-level system EDIT window of the thread, destroyed at the end of the scope.
class TScopedEdit {
 public:
  TScopedEdit() {
    wnd_ = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 120, 24, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  }
  ~TScopedEdit() {
    if (wnd_) DestroyWindow(wnd_);
  }
  HWND Handle() const { return wnd_; }

 private:
  HWND wnd_;
};

String TextOf(HWND wnd) {
  Char text[64] = {};
  GetWindowTextW(wnd, text, 64);
  return text;
}

// Subclasses a window through an object instance: swallows the character 'x',
// raises on WM_APP, and passes everything else to the previous procedure. Puts
// the previous procedure back and frees the instance when it goes, should a
// test leave early.
class TEditSubclass : public TObject {
 public:
  TEditSubclass(HWND wnd, std::vector<String>* log, const String& name) : wnd_(wnd), log_(log), name_(name) {}
  ~TEditSubclass() override { Unhook(); }
  void Hook() {
    proc_ = MakeObjectInstance(TWndMethod::Bind<&TEditSubclass::WndProc>(this));
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(wnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc_)));
  }
  // Returns the procedure that was installed.
  WNDPROC Unhook() {
    if (!proc_) return nullptr;
    auto installed = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(wnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_)));
    FreeObjectInstance(proc_);
    proc_ = nullptr;
    return installed;
  }
  WNDPROC Proc() const { return proc_; }
  WNDPROC Previous() const { return previous_; }
  std::vector<UINT> Seen;

 private:
  void WndProc(TMessage& m) {
    Seen.push_back(m.Msg);
    if (m.Msg == WM_SETTEXT && log_) log_->push_back(name_);
    if (m.Msg == WM_CHAR && m.WParam == L'x') return;
    if (m.Msg == WM_APP) throw EConvertError(L"subclass failed");
    m.Result = CallWindowProcW(previous_, wnd_, m.Msg, m.WParam, m.LParam);
  }
  HWND wnd_;
  std::vector<String>* log_;
  String name_;
  WNDPROC proc_ = nullptr;
  WNDPROC previous_ = nullptr;
};

// Counts its calls and answers 5.
class TSink : public TObject {
 public:
  int Calls = 0;
  void WndProc(TMessage& m) {
    ++Calls;
    m.Result = 5;
  }
};

bool Saw(const TEditSubclass& s, UINT msg) {
  for (UINT m : s.Seen)
    if (m == msg) return true;
  return false;
}

}  // namespace

TEST_F(WindowProceduresTest, ObjectInstanceSubclassesASystemEditUntilRestored) {
  TAppRecorder recorder;
  TScopedHook onException(Application->OnException, recorder.Event());
  const int liveAtStart = ObjectInstanceCount();
  TScopedEdit edit;
  ASSERT_NE(edit.Handle(), nullptr);
  const HWND wnd = edit.Handle();
  std::vector<String> order;
  TEditSubclass inner(wnd, &order, L"inner");
  inner.Hook();
  ASSERT_NE(inner.Proc(), nullptr);
  EXPECT_EQ(ObjectInstanceCount(), liveAtStart + 1);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(wnd, GWLP_WNDPROC)), inner.Proc());

  // The method sees the messages and the edit still does its work behind it.
  SetWindowTextW(wnd, L"abc");
  EXPECT_TRUE(Saw(inner, WM_SETTEXT));
  EXPECT_EQ(TextOf(wnd), L"abc");
  SendMessageW(wnd, EM_SETSEL, 3, 3);
  SendMessageW(wnd, WM_CHAR, L'x', 1);   // swallowed by the method
  SendMessageW(wnd, WM_CHAR, L'd', 1);
  EXPECT_EQ(TextOf(wnd), L"abcd");
  EXPECT_EQ(CallWindowProcW(inner.Proc(), wnd, WM_GETTEXTLENGTH, 0, 0), 4) << "a procedure CallWindowProcW takes";

  // An exception of the method reaches the application's handler, not the system.
  EXPECT_EQ(SendMessageW(wnd, WM_APP, 0, 0), 0);
  ASSERT_EQ(recorder.Exceptions.size(), 1u);
  EXPECT_EQ(recorder.Exceptions[0].Message, L"subclass failed");
  SetWindowTextW(wnd, L"again");
  EXPECT_EQ(TextOf(wnd), L"again");

  // A second subclassing on top of the first: each instance is a procedure of its own.
  {
    TEditSubclass outer(wnd, &order, L"outer");
    outer.Hook();
    EXPECT_NE(outer.Proc(), inner.Proc());
    EXPECT_EQ(outer.Previous(), inner.Proc());
    order.clear();
    SetWindowTextW(wnd, L"chain");
    EXPECT_EQ(order, (std::vector<String>{L"outer", L"inner"}));
    EXPECT_EQ(TextOf(wnd), L"chain");
    const WNDPROC outerProc = outer.Proc();
    EXPECT_EQ(outer.Unhook(), outerProc);
  }
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(wnd, GWLP_WNDPROC)), inner.Proc());

  // Restored and freed: the method sees nothing more, the edit works as before.
  const WNDPROC original = inner.Previous();
  const WNDPROC proc = inner.Proc();
  EXPECT_EQ(inner.Unhook(), proc);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(wnd, GWLP_WNDPROC)), original);
  inner.Seen.clear();
  SetWindowTextW(wnd, L"plain");
  EXPECT_TRUE(inner.Seen.empty());
  EXPECT_EQ(TextOf(wnd), L"plain");
  EXPECT_EQ(ObjectInstanceCount(), liveAtStart);
}

TEST_F(WindowProceduresTest, ObjectInstancesAreBoundedAndRefuseBadInput) {
  TScopedEdit edit;
  ASSERT_NE(edit.Handle(), nullptr);
  EXPECT_THROW(MakeObjectInstance(TWndMethod()), EInvalidOperation);
  FreeObjectInstance(nullptr);   // nothing
  EXPECT_THROW(FreeObjectInstance(&DefWindowProcW), EInvalidOperation) << "not made here";

  const int liveAtStart = ObjectInstanceCount();
  TSink sink;
  const TWndMethod method = TWndMethod::Bind<&TSink::WndProc>(&sink);
  const WNDPROC freed = MakeObjectInstance(method);
  FreeObjectInstance(freed);
  EXPECT_THROW(FreeObjectInstance(freed), EInvalidOperation) << "freed twice";
  // A window that still calls a freed instance gets the default handling,
  // not the method.
  EXPECT_EQ(CallWindowProcW(freed, edit.Handle(), WM_APP, 0, 0), 0);
  EXPECT_EQ(sink.Calls, 0);

  // Every live instance is a procedure of its own, up to the bound; a freed
  // one is handed out again last.
  std::vector<WNDPROC> procs;
  auto freeAll = [&] {
    for (WNDPROC p : procs) FreeObjectInstance(p);
    procs.clear();
  };
  try {
    for (int i = liveAtStart; i < kMaxObjectInstances; ++i) procs.push_back(MakeObjectInstance(method));
    EXPECT_EQ(ObjectInstanceCount(), kMaxObjectInstances);
    EXPECT_EQ(std::set<WNDPROC>(procs.begin(), procs.end()).size(), procs.size());
    EXPECT_NE(procs.front(), freed);
    EXPECT_THROW(MakeObjectInstance(method), EOutOfResources);
    EXPECT_EQ(CallWindowProcW(procs.back(), edit.Handle(), WM_APP, 0, 0), 5);
    EXPECT_EQ(sink.Calls, 1);
  } catch (...) {
    freeAll();
    throw;
  }
  freeAll();
  EXPECT_EQ(ObjectInstanceCount(), liveAtStart);
}

// ---------------------------------------------------------------------------
// Callback boundaries and registered messages
// ---------------------------------------------------------------------------

namespace {

constexpr UINT kHookMarker = WM_APP + 7;
HHOOK gGetMessageHook = nullptr;

LRESULT CALLBACK ThrowingGetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  GuardCallback([&] {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == kHookMarker)
      throw EConvertError(L"hook failed");
  });
  return CallNextHookEx(gGetMessageHook, code, wParam, lParam);
}

struct TGetMessageHookRemoval {
  ~TGetMessageHookRemoval() {
    if (gGetMessageHook) UnhookWindowsHookEx(gGetMessageHook);
    gGetMessageHook = nullptr;
  }
};

// Declares a registered message number in its message table.
class TRegisteredMessageProbe : public TObject {
  DECLARE_CLASS(TRegisteredMessageProbe, TObject)
  void Handler(TMessage& m) { m.Result = 1; }
};

}  // namespace

BEGIN_CLASS(TRegisteredMessageProbe, TObject, nullptr)
  b.Message<&TRegisteredMessageProbe::Handler>(0xC123);
END_CLASS

TEST_F(WindowProceduresTest, AnExceptionInAHookProcedureReachesOnExceptionAndMessagesGoOn) {
  TAppRecorder recorder;
  TScopedHook onException(Application->OnException, recorder.Event());
  int markers = 0;
  HWND wnd = nullptr;
  TMethodWindowRelease release(wnd);
  wnd = AllocateHWnd([&](TMessage& m) {
    if (m.Msg == kHookMarker)
      ++markers;
    else
      m.Result = DefWindowProcW(wnd, m.Msg, m.WParam, m.LParam);
  });
  TGetMessageHookRemoval removal;
  gGetMessageHook = SetWindowsHookExW(WH_GETMESSAGE, &ThrowingGetMessageHook, nullptr, GetCurrentThreadId());
  ASSERT_NE(gGetMessageHook, nullptr);

  PostMessageW(wnd, kHookMarker, 0, 0);
  PostMessageW(wnd, kHookMarker, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return markers == 2; })) << "each marker still reached its window";
  ASSERT_EQ(recorder.Exceptions.size(), 2u);
  EXPECT_EQ(recorder.Exceptions[0].ClassName, L"EConvertError");
  EXPECT_EQ(recorder.Exceptions[1].Message, L"hook failed");
}

TEST_F(WindowProceduresTest, MessageTablesRefuseRegisteredMessageNumbers) {
  TRegisteredMessageProbe probe;
  TMessage m{0xC123, 0, 0, 0};
  EXPECT_THROW(probe.Dispatch(&m), EInvalidOperation);
  EXPECT_EQ(m.Result, 0);
}

// ---------------------------------------------------------------------------
// Window classes and the MDI client
// ---------------------------------------------------------------------------

namespace {

// A control whose window class has a drop shadow or not, as each instance wishes.
class TWinProcStyleProbe : public TWinControl {
  DECLARE_CLASS(TWinProcStyleProbe, TWinControl)
  explicit TWinProcStyleProbe(TComponent* AOwner) : TWinControl(AOwner) {}
  bool Shadow = false;
  void CreateParams(TCreateParams& Params) override {
    TWinControl::CreateParams(Params);
    if (Shadow) Params.WindowClass.style |= CS_DROPSHADOW;
  }
};

DWORD ClassStyleOf(TWinControl* c) { return GetClassLongW(c->Handle(), GCL_STYLE); }
DWORD ClassAtomOf(TWinControl* c) { return GetClassLongW(c->Handle(), GCW_ATOM); }
String ClassNameOf(TWinControl* c) {
  Char name[128] = {};
  GetClassNameW(c->Handle(), name, 128);
  return name;
}

// Where a child window lies in the client area of `parent`.
TRect ChildRect(HWND child, HWND parent) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

IMPLEMENT_CLASS(TWinProcStyleProbe, TWinControl, nullptr)

TEST_F(WindowProceduresTest, EachClassStyleOfAControlClassGetsItsOwnWindowClass) {
  TObjectPtr<TForm> form(Make<TForm>(nullptr, 0));
  auto make = [&](bool shadow) {
    auto* probe = Make<TWinProcStyleProbe>(form.get());
    probe->Shadow = shadow;
    probe->SetParent(form.get());
    return probe;
  };
  TWinProcStyleProbe* plain = make(false);
  TWinProcStyleProbe* shadowed = make(true);
  TWinProcStyleProbe* plain2 = make(false);

  EXPECT_FALSE(ClassStyleOf(plain) & CS_DROPSHADOW);
  EXPECT_TRUE(ClassStyleOf(shadowed) & CS_DROPSHADOW);
  EXPECT_FALSE(ClassStyleOf(plain2) & CS_DROPSHADOW);
  EXPECT_EQ(ClassAtomOf(plain), ClassAtomOf(plain2)) << "one registration per style, not per window";
  EXPECT_NE(ClassAtomOf(plain), ClassAtomOf(shadowed));
  for (TWinControl* c : {static_cast<TWinControl*>(plain), static_cast<TWinControl*>(shadowed)}) {
    EXPECT_EQ(ClassNameOf(c).rfind(L"TWinProcStyleProbe", 0), 0u);
    EXPECT_EQ(FindControl(c->Handle()), c);
  }

  // Switched on, a recreated window joins the drop-shadow registration.
  plain2->Shadow = true;
  plain2->RecreateWnd();
  EXPECT_EQ(ClassAtomOf(plain2), ClassAtomOf(shadowed));
  EXPECT_EQ(FindControl(plain2->Handle()), plain2);
}

TEST_F(WindowProceduresTest, MDIClientTakesTheAreaAlignedControlsLeave) {
  TObjectPtr<TForm> frame(Make<TForm>(nullptr, 0));
  frame->SetPosition(poDesigned);
  frame->SetFormStyle(fsMDIForm);
  frame->SetBounds(50, 50, 400, 300);
  auto* bar = Make<TFormsTestPanel>(frame.get());
  bar->SetAlign(alTop);
  bar->SetHeight(40);
  bar->SetParent(frame.get());
  auto* status = Make<TFormsTestPanel>(frame.get());
  status->SetAlign(alBottom);
  status->SetHeight(20);
  status->SetParent(frame.get());
  const HWND h = frame->Handle();
  ASSERT_NE(frame->ClientHandle(), nullptr);

  auto expected = [&](int top) {
    const TRect c = frame->ClientRect();
    return TRect(0, top, c.Right, c.Bottom - 20);
  };
  EXPECT_EQ(ChildRect(frame->ClientHandle(), h), expected(40));
  EXPECT_EQ(ChildRect(bar->Handle(), h).Bottom, 40);

  frame->SetBounds(50, 50, 520, 380);
  EXPECT_EQ(ChildRect(frame->ClientHandle(), h), expected(40)) << "follows the form's size";
  EXPECT_GT(expected(40).Width(), 400);

  bar->SetHeight(60);
  EXPECT_EQ(ChildRect(frame->ClientHandle(), h), expected(60)) << "follows the bar's size";
}
