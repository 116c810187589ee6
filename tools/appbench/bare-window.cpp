// The least any program can do for appbench's "idle" under the same system: a maximized
// window with the main window's caption, shown and painted with one fill. No toolbar, no
// picture. Measured beside the program and the reference (`appbench RUNS --floor`), it shows
// how much of their time the system's own process start and window work leave them.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
      EndPaint(h, &ps);
      return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcW(h, m, w, l);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = L"BareWindow";
  RegisterClassW(&wc);
  HWND h = CreateWindowW(wc.lpszClassName, L"岚泽家具生产设计系统3.0", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                         0, 0, 873, 401, nullptr, nullptr, instance, nullptr);
  ShowWindow(h, SW_SHOWMAXIMIZED);
  UpdateWindow(h);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
