// COM interfaces answered by class-library objects.
//
// An object of the class library that implements COM interfaces (IAccessible,
// IDataObject, IDropSource, ...) keeps ONE reference count: the one its library
// interfaces count with (IInterface::_AddRef/_Release, TInterfacedObject).
// COM clients and library code may hold it at the same time; it is freed when
// the last reference of either kind goes, never while the other still holds it.
//
//   using TItemAccessibleBase = TComImplements<TInterfacedObject, IAccessible, IOleWindow>;
//   class TItemAccessible : public TItemAccessibleBase {
//     DECLARE_CLASS(TItemAccessible, TItemAccessibleBase)
//     HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
//       return ComGuard([&] { ...; return S_OK; }, this);
//     }
//     ...
//   };
//
// The interface list is the table of what QueryInterface answers: each COM
// interface named there, its COM ancestors (IAccessible also answers
// IDispatch), and IUnknown as the object's one identity. A class answers
// more (or fewer) by overriding ComInterface. Library interfaces (derived from
// IInterface) may stand in the same list; they are reached with Supports, not
// QueryInterface, and count on the same count.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Lists.h"

#include <new>
#include <type_traits>
#include <utility>

// ---------------------------------------------------------------------------
// Errors
// ---------------------------------------------------------------------------

DECLARE_EXCEPTION(EOleError, Exception)

// A failed COM call, with its HRESULT. Raised inside a COM method (through
// ComGuard), it is that method's answer rather than a fault: the code is
// returned and nothing is reported.
class EOleSysError : public EOleError {
 public:
  EOleSysError(String message, HRESULT errorCode) : EOleError(std::move(message)), ErrorCode(errorCode) {}
  const Char* ClassName() const override { return L"EOleSysError"; }
  HRESULT ErrorCode;
};

// Raises EOleSysError, with the system's text for the code, when `result`
// is a failure code; returns it otherwise (S_FALSE is a success).
HRESULT OleCheck(HRESULT result);

// ---------------------------------------------------------------------------
// Method bodies
// ---------------------------------------------------------------------------

// Runs the body of a COM method: no exception unwinds into the caller's
// frames. EOleSysError gives its code; any other exception goes to the
// callback exception handler (HandleCallbackException) and gives
// E_OUTOFMEMORY when memory ran out, E_ABORT for EAbort, else E_UNEXPECTED.
// A body that returns nothing answers S_OK.
template <class F>
HRESULT ComGuard(F&& body, TObject* sender = nullptr) noexcept {
  try {
    if constexpr (std::is_void_v<std::invoke_result_t<F&&>>) {
      static_cast<F&&>(body)();
      return S_OK;
    } else {
      return static_cast<F&&>(body)();
    }
  } catch (const EOleSysError& e) {
    return e.ErrorCode;
  } catch (const EAbort&) {
    HandleCallbackException(sender);
    return E_ABORT;
  } catch (const EOutOfMemory&) {
    HandleCallbackException(sender);
    return E_OUTOFMEMORY;
  } catch (const std::bad_alloc&) {
    HandleCallbackException(sender);
    return E_OUTOFMEMORY;
  } catch (...) {
    HandleCallbackException(sender);
    return E_UNEXPECTED;
  }
}

// ---------------------------------------------------------------------------
// Implementing COM interfaces
// ---------------------------------------------------------------------------

namespace ComObjDetail {

template <class I>
inline constexpr bool kIsCom = std::is_base_of_v<IUnknown, I>;

// The interface `iid` of `self` as `I` or one of I's COM ancestors, or null.
// The ancestors known here are those of the interfaces the library answers
// (IDispatch, ISequentialStream, IPersist, IOleWindow); a class that needs
// another answers it in its ComInterface.
template <class I, class Self>
void* Match(Self* self, REFIID iid) {
  I* p = static_cast<I*>(self);
  if (IsEqualIID(iid, __uuidof(I))) return p;
  if constexpr (std::is_base_of_v<IDispatch, I>)
    if (IsEqualIID(iid, __uuidof(IDispatch))) return static_cast<IDispatch*>(p);
  if constexpr (std::is_base_of_v<ISequentialStream, I>)
    if (IsEqualIID(iid, __uuidof(ISequentialStream))) return static_cast<ISequentialStream*>(p);
  if constexpr (std::is_base_of_v<IPersist, I>)
    if (IsEqualIID(iid, __uuidof(IPersist))) return static_cast<IPersist*>(p);
  if constexpr (std::is_base_of_v<IOleWindow, I>)
    if (IsEqualIID(iid, __uuidof(IOleWindow))) return static_cast<IOleWindow*>(p);
  return nullptr;
}

template <class Self, class I, class... Rest>
void* Find(Self* self, REFIID iid) {
  if constexpr (kIsCom<I>) {
    if (void* p = Match<I>(self, iid)) return p;
  }
  if constexpr (sizeof...(Rest) > 0)
    return Find<Self, Rest...>(self, iid);
  else
    return nullptr;
}

// The first COM interface of the list: the object's IUnknown.
template <class Self, class I, class... Rest>
IUnknown* Identity(Self* self) {
  if constexpr (kIsCom<I>)
    return static_cast<I*>(self);
  else
    return Identity<Self, Rest...>(self);
}

// COM's counts are unsigned: an object that is not counted (its _AddRef
// answers -1, it lives by its owner's rules) reports one reference.
inline ULONG ComCount(int count) { return static_cast<ULONG>(count < 0 ? 1 : count); }

}  // namespace ComObjDetail

// `Base` (a class-library class implementing IInterface, usually
// TInterfacedObject) with the COM interfaces `Interfaces` added. Every COM
// AddRef/Release is the object's _AddRef/_Release. A class that adds
// interfaces to one built this way derives from TComImplements<ThatClass, ...>
// again; the object keeps the identity its innermost layer gave it.
template <class Base, class... Interfaces>
class TComImplements : public Base, public Interfaces... {
  static_assert(std::is_base_of_v<TObject, Base> && std::is_base_of_v<IInterface, Base>,
                "TComImplements adds COM interfaces to a counted class-library class");
  static_assert((ComObjDetail::kIsCom<Interfaces> || ...) || requires { Base::kComImplementsLayer; },
                "name at least one COM interface");

 public:
  using Base::Base;
  // Marks the layers, so that an outer one asks the inner ones first.
  static constexpr bool kComImplementsLayer = true;

  // IUnknown. QueryInterface answers what ComInterface answers, with a reference added.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    return ComGuard(
        [&]() -> HRESULT {
          void* p = ComInterface(iid);
          if (!p) return E_NOINTERFACE;
          this->_AddRef();
          *out = p;
          return S_OK;
        },
        this);
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    int count = 0;
    ComGuard([&] { count = this->_AddRef(); }, this);
    return ComObjDetail::ComCount(count);
  }
  ULONG STDMETHODCALLTYPE Release() override {
    // The last release frees the object: nothing of it is used afterwards,
    // and it is not named as the sender of what its destruction raised.
    int count = 0;
    ComGuard([&] { count = this->_Release(); });
    return ComObjDetail::ComCount(count);
  }

  // The one count, also for the library interfaces of the list.
  int _AddRef() override { return Base::_AddRef(); }
  int _Release() override { return Base::_Release(); }

 protected:
  // The interface `iid` of this object without a reference added, or null.
  // Override to answer more or fewer; the result must stay the same for the
  // object's life (IUnknown above all), as COM requires.
  virtual void* ComInterface(REFIID iid) {
    if constexpr (requires { Base::kComImplementsLayer; }) {
      if (void* p = Base::ComInterface(iid)) return p;
    } else {
      if (IsEqualIID(iid, __uuidof(IUnknown))) return ComObjDetail::Identity<TComImplements, Interfaces...>(this);
    }
    return ComObjDetail::Find<TComImplements, Interfaces...>(this, iid);
  }
};

// ---------------------------------------------------------------------------
// Holding COM references
// ---------------------------------------------------------------------------

// Holds one reference to a COM interface, as TInterfacePtr does for library
// interfaces: copying adds one, destruction releases it. Out-parameters of COM
// calls are received with put() / put_void():
//   TComPtr<IAccessible> acc;
//   OleCheck(AccessibleObjectFromWindow(wnd, OBJID_CLIENT, IID_IAccessible, acc.put_void()));
template <class I>
class TComPtr {
 public:
  TComPtr() = default;
  TComPtr(std::nullptr_t) {}
  // Adds a reference to `p`; the caller keeps its own.
  explicit TComPtr(I* p) : p_(p) {
    if (p_) p_->AddRef();
  }
  TComPtr(const TComPtr& o) : TComPtr(o.p_) {}
  TComPtr(TComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ~TComPtr() { reset(); }
  TComPtr& operator=(TComPtr o) noexcept {
    swap(o);
    return *this;
  }

  // Takes over a reference the caller owns (the result of a COM call).
  static TComPtr attach(I* p) {
    TComPtr r;
    r.p_ = p;
    return r;
  }
  // Gives up the reference without releasing it.
  I* detach() { return std::exchange(p_, nullptr); }
  void reset() {
    if (I* p = std::exchange(p_, nullptr)) p->Release();
  }
  void swap(TComPtr& o) noexcept { std::swap(p_, o.p_); }
  // Releases what is held and lends the slot to a call that stores a new reference.
  I** put() {
    reset();
    return &p_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }

  // The interface `J` of the same object, or null when it has none.
  template <class J>
  TComPtr<J> query() const {
    TComPtr<J> r;
    if (p_) p_->QueryInterface(__uuidof(J), r.put_void());
    return r;
  }

  I* get() const { return p_; }
  I* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  I* p_ = nullptr;
};
