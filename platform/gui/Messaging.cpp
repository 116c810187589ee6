#include "platform/gui/Messaging.h"

#include "platform/core/Exceptions.h"
#include "platform/gui/Messages.h"

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
  try {
    target->Method(message);
  } catch (...) {
    ApplicationHandleException(nullptr);
  }
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

}  // namespace

HWND AllocateHWnd(std::function<void(TMessage& Message)> method) {
  HINSTANCE instance = ModuleInstance();
  RegisterUtilWindowClass(instance);
  // WS_POPUP without WS_VISIBLE: top-level (so broadcasts reach it) and never shown.
  HWND wnd = CreateWindowExW(WS_EX_TOOLWINDOW, kUtilWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                             nullptr, instance, nullptr);
  if (!wnd) RaiseLastOSError();
  if (method) {
    auto* target = new TUtilWindowTarget;
    target->Method = std::move(method);
    SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(target));
  }
  return wnd;
}

HWND AllocateHWnd(TWndMethod method) {
  if (!method) return AllocateHWnd(std::function<void(TMessage&)>());
  return AllocateHWnd(std::function<void(TMessage&)>([method](TMessage& m) { method(m); }));
}

void DeallocateHWnd(HWND wnd) {
  if (!wnd) return;
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
