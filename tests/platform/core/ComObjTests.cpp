// Class-library objects answering COM interfaces: one count for COM and
// library references, the interface table, and no exception leaving a COM method.
#include "platform/WinApi.h"
#include "platform/core/ComObj.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Lists.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A library interface, counted on the same count as the COM ones.
class IProbe : public IInterface {
 public:
  virtual int Probe() = 0;
};

// What a drag source answers; its answers are irrelevant here, its count is not.
using TDropSourceBase = TComImplements<TInterfacedObject, IDropSource, IProbe>;
class TDropSourceObject : public TDropSourceBase {
 public:
  explicit TDropSourceObject(int* freed) : freed_(freed) {}
  ~TDropSourceObject() override { ++*freed_; }

  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
    return ComGuard([&]() -> HRESULT {
      if (escape) throw EConvertError(L"drag failed");
      return S_OK;
    }, this);
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
  int Probe() override { return 7; }

 private:
  int* freed_;
};

// Two layers: the inner one answers IEnumVARIANT, the outer adds IOleWindow
// and a lookup of its own in front of the table.
using TWindowObjectInner = TComImplements<TInterfacedObject, IEnumVARIANT>;
using TWindowObjectBase = TComImplements<TWindowObjectInner, IOleWindow>;
class TWindowObject : public TWindowObjectBase {
 public:
  HRESULT STDMETHODCALLTYPE Next(ULONG, VARIANT*, ULONG* fetched) override {
    if (fetched) *fetched = 0;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE Reset() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* wnd) override {
    *wnd = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return S_OK; }

  bool RaiseInLookup = false;

 protected:
  void* ComInterface(REFIID iid) override {
    if (RaiseInLookup) throw EInvalidOperation(L"lookup failed");
    return TWindowObjectBase::ComInterface(iid);
  }
};

// A non-counted library object (its owner frees it) answering COM.
class TUncountedBase : public TObject, public IInterface {
 public:
  int _AddRef() override { return -1; }
  int _Release() override { return -1; }
};
class TUncountedSource : public TComImplements<TUncountedBase, IDropSource> {
 public:
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return S_OK; }
};

// Records what reaches the callback exception handler.
std::vector<std::wstring>& Reported() {
  static std::vector<std::wstring> reported;
  return reported;
}
void RecordException(TObject*) {
  try {
    throw;
  } catch (Exception& e) {
    Reported().push_back(std::wstring(e.ClassName()) + L": " + e.Message);
  } catch (std::exception&) {
    Reported().push_back(L"std::exception");
  }
}
class TRecordCallbackExceptions {
 public:
  TRecordCallbackExceptions() : previous_(SetCallbackExceptionHandler(&RecordException)) { Reported().clear(); }
  ~TRecordCallbackExceptions() { SetCallbackExceptionHandler(previous_); }

 private:
  TCallbackExceptionHandler previous_;
};

template <class I>
TComPtr<I> Query(IUnknown* unk, HRESULT expect = S_OK) {
  TComPtr<I> r;
  EXPECT_EQ(unk->QueryInterface(__uuidof(I), r.put_void()), expect);
  return r;
}

}  // namespace

TEST(ComObj, OneCountForComAndLibraryReferencesInEitherOrder) {
  for (const bool comGoesFirst : {true, false}) {
    SCOPED_TRACE(comGoesFirst ? "COM reference released first" : "library reference released first");
    int freed = 0;
    auto* obj = Make<TDropSourceObject>(&freed);
    TInterfacePtr<IProbe> library(obj);
    TComPtr<IDropSource> com = Query<IDropSource>(static_cast<IDropSource*>(obj));
    EXPECT_EQ(obj->RefCount(), 2);
    EXPECT_EQ(com->AddRef(), 3u);
    EXPECT_EQ(com->Release(), 2u);

    if (comGoesFirst) {
      com.reset();
      EXPECT_EQ(freed, 0);
      EXPECT_EQ(library->Probe(), 7);
      library = nullptr;
    } else {
      library = nullptr;
      EXPECT_EQ(freed, 0);
      EXPECT_EQ(com->GiveFeedback(0), DRAGDROP_S_USEDEFAULTCURSORS);
      com.reset();
    }
    EXPECT_EQ(freed, 1);
  }
}

TEST(ComObj, QueryInterfaceAnswersTheTableWithOneIdentity) {
  int freed = 0;
  {
    TComPtr<IDropSource> source(Make<TDropSourceObject>(&freed));
    TComPtr<IUnknown> identity = Query<IUnknown>(source.get());
    EXPECT_EQ(identity.get(), Query<IUnknown>(Query<IDropSource>(identity.get()).get()).get());
    // Not in the table: null and E_NOINTERFACE, no reference taken.
    IUnknown* stale = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(source->QueryInterface(IID_IDataObject, reinterpret_cast<void**>(&stale)), E_NOINTERFACE);
    EXPECT_EQ(stale, nullptr);
    EXPECT_EQ(source->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(static_cast<TDropSourceObject*>(source.get())->RefCount(), 2);
  }
  EXPECT_EQ(freed, 1);

  TComPtr<IOleWindow> window(Make<TWindowObject>());
  TComPtr<IUnknown> identity = Query<IUnknown>(window.get());
  TComPtr<IEnumVARIANT> inner = Query<IEnumVARIANT>(window.get());
  ASSERT_TRUE(inner);
  // The inner layer gave the identity; the outer one answers through it too.
  EXPECT_EQ(identity.get(), static_cast<IUnknown*>(inner.get()));
  EXPECT_EQ(Query<IUnknown>(inner.get()).get(), identity.get());
  EXPECT_EQ(Query<IOleWindow>(inner.get()).get(), window.get());
  Query<IDispatch>(window.get(), E_NOINTERFACE);
  Query<IDropSource>(window.get(), E_NOINTERFACE);
}

TEST(ComObj, AncestorInterfacesAreAnswered) {
  // IStream stands on ISequentialStream: asking for the ancestor finds it.
  class TStreamObject : public TComImplements<TInterfacedObject, IStream> {
   public:
    HRESULT STDMETHODCALLTYPE Read(void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
      return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }
  };
  TComPtr<IStream> stream(Make<TStreamObject>());
  EXPECT_EQ(Query<ISequentialStream>(stream.get()).get(), static_cast<ISequentialStream*>(stream.get()));
  Query<IPersist>(stream.get(), E_NOINTERFACE);
}

TEST(ComObj, ExceptionsStayInsideComMethods) {
  TRecordCallbackExceptions record;
  struct Case {
    const char* what;
    std::function<void()> body;
    HRESULT expect;
    const wchar_t* reported;  // null: nothing reaches the handler
  };
  const Case cases[] = {
      {"a library exception", [] { throw EConvertError(L"bad"); }, E_UNEXPECTED, L"EConvertError: bad"},
      {"a standard exception", [] { throw std::out_of_range("x"); }, E_UNEXPECTED, L"std::exception"},
      {"memory ran out", [] { throw std::bad_alloc(); }, E_OUTOFMEMORY, L"std::exception"},
      {"out of memory", [] { throw EOutOfMemory(L"full"); }, E_OUTOFMEMORY, L"EOutOfMemory: full"},
      {"an abort", [] { Abort(); }, E_ABORT, L"EAbort: Operation aborted"},
      {"a COM failure is the answer", [] { OleCheck(E_INVALIDARG); }, E_INVALIDARG, nullptr},
      {"a COM success passes", [] { OleCheck(S_FALSE); }, S_OK, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reported().clear();
    EXPECT_EQ(ComGuard(c.body), c.expect);
    if (c.reported) {
      ASSERT_EQ(Reported().size(), 1u);
      EXPECT_EQ(Reported()[0], c.reported);
    } else {
      EXPECT_TRUE(Reported().empty());
    }
  }

  // Through a real COM method, and through the lookup behind QueryInterface.
  Reported().clear();
  int freed = 0;
  TComPtr<IDropSource> source(Make<TDropSourceObject>(&freed));
  EXPECT_EQ(source->QueryContinueDrag(TRUE, 0), E_UNEXPECTED);
  EXPECT_EQ(source->QueryContinueDrag(FALSE, 0), S_OK);

  auto* window = Make<TWindowObject>();
  TComPtr<IOleWindow> held(window);
  window->RaiseInLookup = true;
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(held->QueryInterface(IID_IEnumVARIANT, &out), E_UNEXPECTED);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(window->RefCount(), 1);
  window->RaiseInLookup = false;
  EXPECT_EQ((std::vector<std::wstring>{L"EConvertError: drag failed", L"EInvalidOperation: lookup failed"}),
            Reported());
}

TEST(ComObj, OleCheckNamesTheCode) {
  EXPECT_EQ(OleCheck(S_OK), S_OK);
  EXPECT_EQ(OleCheck(S_FALSE), S_FALSE);
  try {
    OleCheck(E_NOINTERFACE);
    FAIL() << "no exception";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.ErrorCode, E_NOINTERFACE);
    EXPECT_FALSE(e.Message.empty());
  }
  try {
    OleCheck(static_cast<HRESULT>(0x8004F00D));  // no system text for it
    FAIL() << "no exception";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.Message, L"OLE error 8004F00D");
  }
}

TEST(ComObj, UncountedObjectsAreNotFreedByComClients) {
  TUncountedSource source;
  IDropSource* com = &source;
  EXPECT_EQ(com->AddRef(), 1u);
  EXPECT_EQ(com->Release(), 1u);
  TComPtr<IUnknown> unk = Query<IUnknown>(com);
  unk.reset();
  EXPECT_EQ(com->QueryContinueDrag(FALSE, 0), S_OK);  // still alive: its owner frees it
}

TEST(ComObj, ComPtrHoldsOneReference) {
  int freed = 0;
  auto* obj = Make<TDropSourceObject>(&freed);
  IDropSource* raw = obj;
  {
    TComPtr<IDropSource> a(raw);
    TComPtr<IDropSource> b = a;
    EXPECT_EQ(obj->RefCount(), 2);
    TComPtr<IDropSource> c = std::move(b);
    EXPECT_FALSE(b);
    a = c;  // the same target
    EXPECT_EQ(obj->RefCount(), 2);
    IDropSource* kept = c.detach();
    EXPECT_EQ(obj->RefCount(), 2);
    TComPtr<IDropSource> d = TComPtr<IDropSource>::attach(kept);
    EXPECT_EQ(obj->RefCount(), 2);
    EXPECT_EQ(d.query<IUnknown>().get(), Query<IUnknown>(raw).get());
    EXPECT_FALSE(d.query<IDataObject>());
    *d.put() = nullptr;  // put releases what it held
    EXPECT_EQ(obj->RefCount(), 1);
  }
  EXPECT_EQ(freed, 1);
}
