// A window hands an accessible object of the class library to a real
// accessibility client (WM_GETOBJECT, LresultFromObject, AccessibleObjectFromWindow):
// the client reads it through IAccessible, and the object goes exactly when
// the last reference, COM or library, goes.
#include "platform/WinApi.h"
#include "platform/core/ComObj.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Lists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

int gLiveAccessibles = 0;

// The library's side of the object: what its owner calls.
class IOwnedAccessible : public IInterface {
 public:
  // The owner is going: from now on the object answers empty.
  virtual void DetachOwner() = 0;
};

// A push button with three simple children, described as a control of the
// library describes itself.
using TButtonAccessibleBase = TComImplements<TInterfacedObject, IAccessible, IOleWindow, IOwnedAccessible>;
class TButtonAccessible : public TButtonAccessibleBase {
  DECLARE_CLASS(TButtonAccessible, TButtonAccessibleBase)
  explicit TButtonAccessible(HWND wnd) : wnd_(wnd) { ++gLiveAccessibles; }
  ~TButtonAccessible() override { --gLiveAccessibles; }

  void DetachOwner() override { wnd_ = nullptr; }

  // IDispatch: the object is reached through IAccessible only.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    return ComGuard([&]() -> HRESULT {
      if (!wnd_) return S_FALSE;
      return CreateStdAccessibleObject(wnd_, OBJID_WINDOW, IID_IDispatch, reinterpret_cast<void**>(parent));
    }, this);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    if (wnd_) *count = kChildren;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    return ComGuard([&]() -> HRESULT {
      ChildIndex(child);
      return S_FALSE;  // simple elements: no object of their own
    }, this);
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!name) return E_POINTER;
    *name = nullptr;
    return ComGuard([&]() -> HRESULT {
      if (!wnd_) return S_OK;
      const int index = ChildIndex(child);
      const std::wstring text = index == 0 ? std::wstring(L"确定") : L"Item " + std::to_wstring(index);
      *name = SysAllocString(text.c_str());
      if (!*name) throw std::bad_alloc();
      return S_OK;
    }, this);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override { return NoString(value); }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* description) override {
    if (!description) return E_POINTER;
    *description = nullptr;
    // Describing itself fails: the client sees a failure code, not an exception.
    return ComGuard([&]() -> HRESULT { throw EConvertError(L"no description"); }, this);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    VariantInit(role);
    return ComGuard([&]() -> HRESULT {
      if (!wnd_) return S_OK;
      V_VT(role) = VT_I4;
      V_I4(role) = ChildIndex(child) == 0 ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_LISTITEM;
      return S_OK;
    }, this);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT, VARIANT* state) override { return NoVariant(state); }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override { return NoString(help); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
    if (topic) *topic = 0;
    return NoString(file);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override { return NoString(shortcut); }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return NoVariant(child); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override { return NoVariant(children); }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* action) override { return NoString(action); }
  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE accLocation(LONG*, LONG*, LONG*, LONG*, VARIANT) override {
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG, VARIANT, VARIANT* end) override { return NoVariant(end); }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG, LONG, VARIANT* child) override { return NoVariant(child); }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }

  // IOleWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* wnd) override {
    if (!wnd) return E_POINTER;
    *wnd = wnd_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return S_OK; }

 private:
  static constexpr LONG kChildren = 3;

  // 0 for the object itself, else the child's id; a bad id is the method's answer E_INVALIDARG.
  static int ChildIndex(const VARIANT& child) {
    if (V_VT(&child) != VT_I4 || V_I4(&child) < 0 || V_I4(&child) > kChildren) OleCheck(E_INVALIDARG);
    return V_I4(&child);
  }
  static HRESULT NoString(BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return DISP_E_MEMBERNOTFOUND;
  }
  static HRESULT NoVariant(VARIANT* out) {
    if (!out) return E_POINTER;
    VariantInit(out);
    return DISP_E_MEMBERNOTFOUND;
  }

  HWND wnd_;
};

IMPLEMENT_CLASS(TButtonAccessible, TButtonAccessibleBase, nullptr)

// The window under test: answers WM_GETOBJECT for its client area with a
// TButtonAccessible, a new one per request or, when it keeps one as a control
// keeps its helper, the same one held through the library interface.
struct TAccessibleWindow {
  bool KeepsObject = false;
  TInterfacePtr<IOwnedAccessible> Kept;
  int Requests = 0;
};

LRESULT CALLBACK AccessibleWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TAccessibleWindow*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  // The object id travels in the low 32 bits, whatever the extension of the rest.
  if (msg == WM_GETOBJECT && self && static_cast<LONG>(lParam) == OBJID_CLIENT) {
    return GuardCallback<LRESULT>(0, [&]() -> LRESULT {
      ++self->Requests;
      TButtonAccessible* obj = nullptr;
      if (self->Kept) {
        obj = static_cast<TButtonAccessible*>(self->Kept.get());
      } else {
        obj = Make<TButtonAccessible>(wnd);
        if (self->KeepsObject) self->Kept = obj;
      }
      // Holds the object while it is handed over; a fresh one then lives by
      // the client's reference alone.
      TComPtr<IAccessible> handed(obj);
      return LresultFromObject(IID_IAccessible, wParam, handed.get());
    });
  }
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

const Char kWindowClass[] = L"LanzeAccessibleClientTest";

class AccessibleClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
    comStarted_ = true;
    WNDCLASSW cls{};
    cls.lpfnWndProc = &AccessibleWindowProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = kWindowClass;
    RegisterClassW(&cls);  // already registered by an earlier test: fine
    wnd_ = CreateWindowExW(0, kWindowClass, L"Accessible", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr,
                           nullptr, cls.hInstance, nullptr);
    ASSERT_NE(wnd_, nullptr);
    SetWindowLongPtrW(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&window_));
  }
  void TearDown() override {
    DestroyOurWindow();
    if (comStarted_) CoUninitialize();
    EXPECT_EQ(gLiveAccessibles, 0);
  }
  void DestroyOurWindow() {
    if (!wnd_) return;
    DestroyWindow(wnd_);
    wnd_ = nullptr;
    if (window_.Kept) window_.Kept->DetachOwner();
    window_.Kept = nullptr;
  }

  TComPtr<IAccessible> Client() {
    TComPtr<IAccessible> acc;
    const HRESULT hr = AccessibleObjectFromWindow(wnd_, OBJID_CLIENT, IID_IAccessible, acc.put_void());
    EXPECT_EQ(hr, S_OK);
    return acc;
  }

  static VARIANT Child(LONG id) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = id;
    return v;
  }
  static std::wstring Name(IAccessible* acc, LONG id, HRESULT expect = S_OK) {
    BSTR name = nullptr;
    EXPECT_EQ(acc->get_accName(Child(id), &name), expect);
    std::wstring r = name ? std::wstring(name, SysStringLen(name)) : std::wstring();
    SysFreeString(name);
    return r;
  }

  TAccessibleWindow window_;
  HWND wnd_ = nullptr;
  bool comStarted_ = false;
};

}  // namespace

TEST_F(AccessibleClientTest, ClientReadsTheObjectAndItGoesWithTheLastReference) {
  TComPtr<IAccessible> acc = Client();
  ASSERT_TRUE(acc);
  EXPECT_EQ(window_.Requests, 1);
  EXPECT_EQ(gLiveAccessibles, 1);

  EXPECT_EQ(Name(acc.get(), CHILDID_SELF), L"确定");
  EXPECT_EQ(Name(acc.get(), 2), L"Item 2");
  Name(acc.get(), 4, E_INVALIDARG);

  VARIANT role;
  VariantInit(&role);
  EXPECT_EQ(acc->get_accRole(Child(CHILDID_SELF), &role), S_OK);
  EXPECT_EQ(V_VT(&role), VT_I4);
  EXPECT_EQ(V_I4(&role), ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(acc->get_accRole(Child(1), &role), S_OK);
  EXPECT_EQ(V_I4(&role), ROLE_SYSTEM_LISTITEM);

  LONG count = -1;
  EXPECT_EQ(acc->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 3);
  TComPtr<IDispatch> child;
  EXPECT_EQ(acc->get_accChild(Child(1), child.put()), S_FALSE);
  EXPECT_FALSE(child);

  // The client reaches the object's other interfaces, with the one identity.
  TComPtr<IOleWindow> oleWindow = acc.query<IOleWindow>();
  ASSERT_TRUE(oleWindow);
  HWND reported = nullptr;
  EXPECT_EQ(oleWindow->GetWindow(&reported), S_OK);
  EXPECT_EQ(reported, wnd_);
  EXPECT_TRUE(acc.query<IDispatch>());
  EXPECT_EQ(acc.query<IUnknown>().get(), oleWindow.query<IUnknown>().get());
  EXPECT_FALSE(acc.query<IDataObject>());

  // Released one reference after the other: it goes at the last one, not before.
  oleWindow.reset();
  EXPECT_EQ(gLiveAccessibles, 1);
  EXPECT_EQ(acc.detach()->Release(), 0u);
  EXPECT_EQ(gLiveAccessibles, 0);

  // Each request builds a new object.
  TComPtr<IAccessible> again = Client();
  EXPECT_EQ(window_.Requests, 2);
  EXPECT_EQ(gLiveAccessibles, 1);
  again.reset();
  EXPECT_EQ(gLiveAccessibles, 0);
}

TEST_F(AccessibleClientTest, ParentIsTheStandardObjectOfTheWindow) {
  // The object hands the client a system object it made, as an out-parameter.
  // (Wine's standard window object answers IOleWindow only; its IAccessible
  // methods say E_NOTIMPL, so its role is not asked here.)
  TComPtr<IAccessible> acc = Client();
  ASSERT_TRUE(acc);
  TComPtr<IDispatch> parent;
  ASSERT_EQ(acc->get_accParent(parent.put()), S_OK);
  ASSERT_TRUE(parent.query<IAccessible>());
  TComPtr<IOleWindow> parentWindow = parent.query<IOleWindow>();
  ASSERT_TRUE(parentWindow);
  HWND reported = nullptr;
  EXPECT_EQ(parentWindow->GetWindow(&reported), S_OK);
  EXPECT_EQ(reported, wnd_);
  parent.reset();
  parentWindow.reset();
  acc.reset();
  EXPECT_EQ(gLiveAccessibles, 0);
}

TEST_F(AccessibleClientTest, ObjectKeptByItsWindowOutlivesTheWindowWhileTheClientHoldsIt) {
  window_.KeepsObject = true;
  TComPtr<IAccessible> first = Client();
  TComPtr<IAccessible> second = Client();
  ASSERT_TRUE(first && second);
  EXPECT_EQ(window_.Requests, 2);
  EXPECT_EQ(gLiveAccessibles, 1);  // the same object both times
  EXPECT_EQ(first.query<IUnknown>().get(), second.query<IUnknown>().get());
  second.reset();

  // The window goes and drops its library reference: the client's COM
  // reference keeps the object, which now answers empty.
  DestroyOurWindow();
  EXPECT_EQ(gLiveAccessibles, 1);
  EXPECT_EQ(Name(first.get(), CHILDID_SELF), L"");
  LONG count = 99;
  EXPECT_EQ(first->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 99);
  first.reset();
  EXPECT_EQ(gLiveAccessibles, 0);
}

TEST_F(AccessibleClientTest, ExceptionInAMethodReachesTheHandlerAndTheClientGetsAFailureCode) {
  static std::vector<std::wstring> reported;
  reported.clear();
  struct TRecord {
    TCallbackExceptionHandler previous = SetCallbackExceptionHandler([](TObject* sender) {
      try {
        throw;
      } catch (Exception& e) {
        reported.push_back(std::wstring(e.ClassName()) + L": " + e.Message +
                           (sender && sender->Is<TButtonAccessible>() ? L" (the object)" : L""));
      }
    });
    ~TRecord() { SetCallbackExceptionHandler(previous); }
  } record;

  TComPtr<IAccessible> acc = Client();
  ASSERT_TRUE(acc);
  BSTR description = reinterpret_cast<BSTR>(1);
  EXPECT_EQ(acc->get_accDescription(Child(CHILDID_SELF), &description), E_UNEXPECTED);
  EXPECT_EQ(description, nullptr);
  EXPECT_EQ(reported, std::vector<std::wstring>{L"EConvertError: no description (the object)"});
  // The object is unharmed.
  EXPECT_EQ(Name(acc.get(), CHILDID_SELF), L"确定");
}
