#include "platform/gui/Messaging.h"

#include "platform/core/Exceptions.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Messages.h"

#include <algorithm>
#include <array>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

namespace {

const Char kUtilWindowClass[] = L"TPUtilWindow";

// What a utility window calls. Lives until the window is deallocated and no
// call of the method is running any more (the method may deallocate its own
// window).
struct TUtilWindowTarget {
  std::function<void(TMessage&)> Method;
  int Running = 0;
  bool Released = false;
};

LRESULT CALLBACK UtilWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* target = reinterpret_cast<TUtilWindowTarget*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (!target || target->Released) return DefWindowProcW(wnd, msg, wParam, lParam);
  TMessage message{};
  message.Msg = msg;
  message.WParam = wParam;
  message.LParam = lParam;
  message.Result = 0;
  ++target->Running;
  GuardCallback([&] { target->Method(message); });
  if (--target->Running == 0 && target->Released) delete target;
  return message.Result;
}

HINSTANCE ModuleInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&UtilWindowProc), &module);
  return module;
}

void RegisterUtilWindowClass(HINSTANCE instance) {
  WNDCLASSW existing{};
  if (GetClassInfoW(instance, kUtilWindowClass, &existing)) return;
  WNDCLASSW cls{};
  cls.lpfnWndProc = &UtilWindowProc;
  cls.hInstance = instance;
  cls.lpszClassName = kUtilWindowClass;
  // Another thread may have registered it meanwhile: that is fine too.
  if (!RegisterClassW(&cls) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) RaiseLastOSError();
}

// ---------------------------------------------------------------------------
// Object instances
// ---------------------------------------------------------------------------
//
// An object instance is one of a fixed set of compiled window procedures,
// each bound to a slot that holds the method. Generated machine-code thunks
// would allow any number, but would need pages written and then made
// executable, and different code for each target; the 32-bit build cannot
// even run on every build host, so its thunks would ship untested. Compiled
// procedures are real functions on both targets, each with an address of its
// own (what SetWindowLongPtrW, CallWindowProcW and a chain of subclassings
// need), and nothing executable is ever written. A lookup through a window
// property would need no slots, but one shared procedure cannot tell apart
// two subclassings of the same window. The price is a bound on the instances
// alive at once: a window is subclassed only while it exists, so that is the
// number of subclassed windows on screen, far below the bound.

struct TInstanceSlot {
  TWndMethod Method;
  bool Live = false;
};

struct TInstancePool {
  std::mutex Lock;
  std::array<TInstanceSlot, kMaxObjectInstances> Slots;
  // Freed slots go to the back: a slot is handed out again as late as
  // possible, so that a window still calling a freed instance by mistake
  // reaches DefWindowProcW rather than somebody else's method.
  std::deque<size_t> Free;
  int LiveCount = 0;

  TInstancePool() {
    for (size_t i = 0; i < Slots.size(); ++i) Free.push_back(i);
  }

  TWndMethod MethodOf(size_t slot) {
    std::lock_guard<std::mutex> lock(Lock);
    return Slots[slot].Live ? Slots[slot].Method : TWndMethod();
  }
};

TInstancePool& InstancePool() {
  static TInstancePool pool;
  return pool;
}

// The body every instance procedure shares (kept out of line: it is called
// from every one of them).
[[gnu::noinline]] LRESULT InstanceWndProc(size_t slot, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  bool bound = false;
  GuardCallback([&] {
    // A copy: the method may free its own instance.
    const TWndMethod method = InstancePool().MethodOf(slot);
    if (!method) return;
    bound = true;
    method(message);
  });
  return bound ? message.Result : DefWindowProcW(wnd, msg, wParam, lParam);
}

template <size_t Slot>
LRESULT CALLBACK InstanceProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return InstanceWndProc(Slot, wnd, msg, wParam, lParam);
}

template <size_t... Slot>
constexpr std::array<WNDPROC, sizeof...(Slot)> InstanceProcs(std::index_sequence<Slot...>) {
  return {&InstanceProc<Slot>...};
}

constexpr std::array<WNDPROC, kMaxObjectInstances> kInstanceProcs =
    InstanceProcs(std::make_index_sequence<kMaxObjectInstances>());

}  // namespace

WNDPROC MakeObjectInstance(TWndMethod method) {
  if (!method) throw EInvalidOperation(L"An object instance needs a method");
  TInstancePool& pool = InstancePool();
  std::lock_guard<std::mutex> lock(pool.Lock);
  if (pool.Free.empty())
    throw EOutOfResources(Format(L"Too many object instances (%d alive)", {pool.LiveCount}));
  const size_t slot = pool.Free.front();
  pool.Free.pop_front();
  pool.Slots[slot] = {method, true};
  ++pool.LiveCount;
  return kInstanceProcs[slot];
}

void FreeObjectInstance(WNDPROC proc) {
  if (!proc) return;
  TInstancePool& pool = InstancePool();
  std::lock_guard<std::mutex> lock(pool.Lock);
  size_t slot = 0;
  while (slot < kInstanceProcs.size() && kInstanceProcs[slot] != proc) ++slot;
  if (slot == kInstanceProcs.size() || !pool.Slots[slot].Live)
    throw EInvalidOperation(L"The window procedure is not a live object instance");
  pool.Slots[slot] = {};
  pool.Free.push_back(slot);
  --pool.LiveCount;
}

int ObjectInstanceCount() {
  TInstancePool& pool = InstancePool();
  std::lock_guard<std::mutex> lock(pool.Lock);
  return pool.LiveCount;
}

namespace {

HWND CreateUtilWindow(HWND parent, std::function<void(TMessage&)> method) {
  HINSTANCE instance = ModuleInstance();
  RegisterUtilWindowClass(instance);
  HWND wnd = CreateWindowExW(WS_EX_TOOLWINDOW, kUtilWindowClass, L"", WS_POPUP, 0, 0, 0, 0, parent, nullptr,
                             instance, nullptr);
  if (!wnd) RaiseLastOSError();
  if (method) {
    auto* target = new TUtilWindowTarget;
    target->Method = std::move(method);
    SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(target));
  }
  return wnd;
}

// The messages the system sends to every top-level window, which a
// message-only window never sees.
bool IsBroadcastMessage(UINT msg) {
  switch (msg) {
    case WM_SETTINGCHANGE: case WM_SYSCOLORCHANGE: case WM_THEMECHANGED: case WM_PALETTECHANGED:
    case WM_PALETTEISCHANGING: case WM_FONTCHANGE: case WM_DISPLAYCHANGE: case WM_TIMECHANGE:
    case WM_DEVMODECHANGE: case WM_DEVICECHANGE: case WM_POWERBROADCAST: case WM_USERCHANGED:
    case WM_ENDSESSION: case WM_DWMCOMPOSITIONCHANGED: case WM_DWMCOLORIZATIONCOLORCHANGED:
      return true;
    default:
      return msg >= 0xC000 && msg <= 0xFFFF;   // registered messages go to HWND_BROADCAST too
  }
}

// The listening windows of one thread and the top-level window that hears
// the broadcasts for them.
struct TBroadcastRelay {
  HWND Window = nullptr;
  std::vector<HWND> Listeners;

  void Forward(TMessage& message) {
    message.Result = DefWindowProcW(Window, message.Msg, message.WParam, message.LParam);
    if (!IsBroadcastMessage(message.Msg)) return;
    // A copy: a listener may deallocate itself or another one meanwhile.
    const std::vector<HWND> listeners = Listeners;
    for (HWND wnd : listeners)
      if (std::find(Listeners.begin(), Listeners.end(), wnd) != Listeners.end())
        SendMessageW(wnd, message.Msg, message.WParam, message.LParam);
  }
};

TBroadcastRelay& ThreadRelay() {
  thread_local TBroadcastRelay relay;
  return relay;
}

}  // namespace

HWND AllocateHWnd(std::function<void(TMessage& Message)> method) {
  // WS_POPUP without WS_VISIBLE: top-level (so broadcasts reach it) and never shown.
  return CreateUtilWindow(nullptr, std::move(method));
}

HWND AllocateHWnd(TWndMethod method) {
  if (!method) return AllocateHWnd(std::function<void(TMessage&)>());
  return AllocateHWnd(std::function<void(TMessage&)>([method](TMessage& m) { method(m); }));
}

HWND AllocateMessageHWnd(std::function<void(TMessage& Message)> method, bool hearBroadcasts) {
  HWND wnd = CreateUtilWindow(HWND_MESSAGE, std::move(method));
  if (!hearBroadcasts) return wnd;
  TBroadcastRelay& relay = ThreadRelay();
  if (!relay.Window) {
    try {
      relay.Window = AllocateHWnd([&relay](TMessage& m) { relay.Forward(m); });
    } catch (...) {
      DeallocateHWnd(wnd);
      throw;
    }
  }
  relay.Listeners.push_back(wnd);
  return wnd;
}

HWND AllocateMessageHWnd(TWndMethod method, bool hearBroadcasts) {
  if (!method) return AllocateMessageHWnd(std::function<void(TMessage&)>(), hearBroadcasts);
  return AllocateMessageHWnd(std::function<void(TMessage&)>([method](TMessage& m) { method(m); }), hearBroadcasts);
}

void DeallocateHWnd(HWND wnd) {
  if (!wnd) return;
  TBroadcastRelay& relay = ThreadRelay();
  if (auto it = std::find(relay.Listeners.begin(), relay.Listeners.end(), wnd); it != relay.Listeners.end()) {
    relay.Listeners.erase(it);
    if (relay.Listeners.empty()) DeallocateHWnd(std::exchange(relay.Window, nullptr));
  }
  auto* target = reinterpret_cast<TUtilWindowTarget*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (target) {
    SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
    // A method that deallocates its own window keeps running: free its target
    // once it has returned.
    if (target->Running > 0)
      target->Released = true;
    else
      delete target;
  }
  DestroyWindow(wnd);
}
