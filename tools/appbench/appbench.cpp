// appbench: measures the start of the program as a user sees it, side by side with a
// reference made with the platform's common controls alone.
//
//   appbench [RUNS] [--floor] (default 5 runs of each; lanze.exe, native-toolbar.exe and
//                             appdata\background.jpg are looked for beside appbench.exe;
//                             --floor also starts bare-window.exe, a captioned window shown
//                             maximized with one fill: the least any program takes)
//
// The program and the reference are started alternately, RUNS times each, so that a change
// of the machine's load touches both alike. Each run takes the time until the main window is
// visible and until the input is idle (the window shown and painted), reads the peak working
// set from outside (GetProcessMemoryInfo on the process handle, the same for both), and for
// the program the figures it writes at its first idle moment (LANZE_STARTUP_REPORT: time
// since process creation, memory, windows, GDI objects, image lists). It then hovers over
// one toolbar button and takes the time until the button's new look reaches the screen,
// asks the window to close and checks the exit code. It prints every run, the medians and
// the ratios program/reference. Every wait is bounded.
#include "platform/WinApi.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

const wchar_t kCaption[] = L"岚泽家具生产设计系统3.0";

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

struct Search {
  DWORD ProcessId;
  HWND Found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->ProcessId || !IsWindowVisible(window)) return TRUE;
  wchar_t text[64] = {};
  GetWindowTextW(window, text, 64);
  if (std::wstring(text) != kCaption) return TRUE;
  search->Found = window;
  return FALSE;
}

std::map<std::string, double> ReadReport(const std::wstring& fileName) {
  std::map<std::string, double> figures;
  HANDLE file = CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return figures;
  char buffer[4096];
  DWORD read = 0;
  ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr);
  CloseHandle(file);
  buffer[read] = 0;
  for (char* line = strtok(buffer, "\r\n"); line; line = strtok(nullptr, "\r\n")) {
    char* equals = strchr(line, '=');
    if (!equals) continue;
    *equals = 0;
    figures[line] = atof(equals + 1);
  }
  return figures;
}

// ---- Hovering over a toolbar button ---------------------------------------------------
// Neither program is asked anything: the cursor is moved as a user's mouse would move it
// and the screen is read until the toolbar's pixels change.

void MoveCursor(POINT at) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

POINT RestingPoint() {  // over the picture, far from the toolbar
  return {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) * 3 / 4};
}

// The screen pixels of a rectangle, read through the desktop's device context.
class ScreenStrip {
 public:
  explicit ScreenStrip(const RECT& r) : rect_(r) {
    screen_ = GetDC(nullptr);
    memory_ = CreateCompatibleDC(screen_);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = r.right - r.left;
    info.bmiHeader.biHeight = -(r.bottom - r.top);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    bitmap_ = CreateDIBSection(memory_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    old_ = SelectObject(memory_, bitmap_);
  }
  ~ScreenStrip() {
    SelectObject(memory_, old_);
    DeleteObject(bitmap_);
    DeleteDC(memory_);
    ReleaseDC(nullptr, screen_);
  }
  ScreenStrip(const ScreenStrip&) = delete;
  ScreenStrip& operator=(const ScreenStrip&) = delete;

  std::vector<unsigned char> Read() {
    const int w = rect_.right - rect_.left, h = rect_.bottom - rect_.top;
    BitBlt(memory_, 0, 0, w, h, screen_, rect_.left, rect_.top, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const unsigned char*>(bits_);
    return std::vector<unsigned char>(p, p + size_t(w) * h * 4);
  }

 private:
  RECT rect_;
  HDC screen_, memory_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  void* bits_ = nullptr;
};

struct Band {
  HWND Main;
  RECT Found;
  bool Any;
};

// The toolbar: the lowest visible descendant at the top of the main window's client area
// that spans at least half its width (the program's bar inside its dock, or the reference's
// toolbar control).
BOOL CALLBACK FindToolbar(HWND window, LPARAM param) {
  auto* band = reinterpret_cast<Band*>(param);
  if (!IsWindowVisible(window)) return TRUE;
  RECT client, r;
  GetClientRect(band->Main, &client);
  MapWindowPoints(band->Main, nullptr, reinterpret_cast<POINT*>(&client), 2);
  GetWindowRect(window, &r);
  const int h = r.bottom - r.top;
  if (r.top > client.top + 4 || h <= 8 || h > 120 || (r.right - r.left) * 2 < client.right - client.left) return TRUE;
  if (!band->Any || h < band->Found.bottom - band->Found.top) band->Found = r;
  band->Any = true;
  return TRUE;
}

// Hovers over the first point along the toolbar that changes its look; returns the time from
// the move to the changed pixels on screen, or -1. `offset` keeps the point found for the next
// run. The cursor is taken away again and the toolbar's look left restored.
double HoverRepaint(HWND main, int& offset) {
  Band band{main, {}, false};
  EnumChildWindows(main, &FindToolbar, reinterpret_cast<LPARAM>(&band));
  if (!band.Any) return -1;
  const RECT r = band.Found;
  ScreenStrip strip(r);
  const int y = (r.top + r.bottom) / 2;
  const int first = offset > 0 ? offset : 6, last = offset > 0 ? offset : 320;
  for (int x = first; x <= last; x += 10) {
    MoveCursor(RestingPoint());
    const double settle = Now();
    std::vector<unsigned char> before = strip.Read(), now;
    while (Now() - settle < 300) {  // a hover left by the last point fades out first
      Sleep(20);
      now = strip.Read();
      if (now == before) break;
      before = now;
    }
    const double start = Now();
    MoveCursor({r.left + x, y});
    while (Now() - start < 250) {
      if (strip.Read() != before) {
        const double elapsed = Now() - start;
        offset = x;
        MoveCursor(RestingPoint());
        for (const double leave = Now(); Now() - leave < 500 && strip.Read() != before;) Sleep(5);
        return elapsed;
      }
    }
  }
  MoveCursor(RestingPoint());
  return -1;
}

// ---- One run -------------------------------------------------------------------------

struct Subject {
  const wchar_t* Name;
  std::wstring Exe, Arguments;
  bool Reports;       // writes LANZE_STARTUP_REPORT
  bool Hovers = true;  // has a toolbar to hover over
  int HoverOffset = 0;
};

struct Run {
  double Shown = -1, Idle = -1, PeakKb = -1, Hover = -1;
  std::map<std::string, double> Report;
  DWORD ExitCode = STILL_ACTIVE;
};

bool RunOnce(Subject& subject, const std::wstring& reportFile, Run& run) {
  DeleteFileW(reportFile.c_str());
  SetEnvironmentVariableW(L"LANZE_STARTUP_REPORT", subject.Reports ? reportFile.c_str() : nullptr);
  MoveCursor(RestingPoint());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + subject.Exe + L"\"" + subject.Arguments;
  const double start = Now();
  if (!CreateProcessW(subject.Exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    fwprintf(stderr, L"appbench: cannot start %ls (error %lu)\n", subject.Exe.c_str(), GetLastError());
    return false;
  }
  Search search{process.dwProcessId, nullptr};
  while (Now() - start < 30000 && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
    EnumWindows(&FindMainWindow, reinterpret_cast<LPARAM>(&search));
    if (search.Found) break;
    Sleep(1);
  }
  if (search.Found) {
    run.Shown = Now() - start;
    if (WaitForInputIdle(process.hProcess, 30000) == 0) run.Idle = Now() - start;
    if (subject.Reports) {
      for (int i = 0; i < 1000 && GetFileAttributesW(reportFile.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(10);
      run.Report = ReadReport(reportFile);
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory) && memory.PeakWorkingSetSize)
      run.PeakKb = memory.PeakWorkingSetSize / 1024.0;
    if (subject.Hovers) run.Hover = HoverRepaint(search.Found, subject.HoverOffset);
    PostMessageW(search.Found, WM_CLOSE, 0, 0);
  } else {
    fwprintf(stderr, L"appbench: the main window of %ls did not show within 30 s\n", subject.Name);
  }
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
    fwprintf(stderr, L"appbench: %ls did not end; stopping it\n", subject.Name);
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 5000);
  }
  GetExitCodeProcess(process.hProcess, &run.ExitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  DeleteFileW(reportFile.c_str());
  return search.Found != nullptr;
}

double Median(const std::vector<double>& all) {
  std::vector<double> values;
  for (double v : all)
    if (v >= 0) values.push_back(v);
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Series {
  std::vector<double> Shown, Idle, PeakKb, Hover, InProcess;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
  wchar_t self[MAX_PATH * 2];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
  std::wstring folder(self, n);
  folder.erase(folder.find_last_of(L"\\/") + 1);
  wchar_t tempFolder[MAX_PATH];
  GetTempPathW(MAX_PATH, tempFolder);
  const std::wstring reportFile =
      std::wstring(tempFolder) + L"lanze-startup-" + std::to_wstring(GetCurrentProcessId()) + L".txt";

  const bool floor = argc > 2 && std::wstring(argv[2]) == L"--floor";
  const int count = floor ? 3 : 2;
  Subject subjects[3] = {{L"program", folder + L"lanze.exe", L"", true},
                         {L"reference", folder + L"native-toolbar.exe",
                          L" \"" + folder + L"appdata\\background.jpg\"", false},
                         {L"bare window", folder + L"bare-window.exe", L"", false, false}};
  Series series[3];
  bool ok = true;
  for (int i = 0; i < runs; ++i) {
    for (int s = 0; s < count; ++s) {
      Run run;
      if (!RunOnce(subjects[s], reportFile, run)) {
        ok = false;
        continue;
      }
      auto figure = [&run](const char* key) {
        auto it = run.Report.find(key);
        return it == run.Report.end() ? -1.0 : it->second;
      };
      wprintf(L"run %d %ls: shown %.0f ms, idle %.0f ms, peak working set %.0f KB, hover repaint %.1f ms "
              L"(%d px into the toolbar), exit code %lu\n",
              i + 1, subjects[s].Name, run.Shown, run.Idle, run.PeakKb, run.Hover, subjects[s].HoverOffset,
              run.ExitCode);
      if (subjects[s].Reports)
        wprintf(L"  own report: %.0f ms since creation; peak working set %.0f KB; windows %.0f top-level + %.0f "
                L"child; GDI objects %.0f (bitmaps %.0f, DCs %.0f, fonts %.0f, brushes %.0f, pens %.0f); "
                L"image lists %.0f\n",
                figure("ms_since_process_start"), figure("peak_working_set_kb"), figure("top_level_windows"),
                figure("child_windows"), figure("gdi_objects"), figure("gdi_bitmaps"), figure("gdi_dcs"),
                figure("gdi_fonts"), figure("gdi_brushes"), figure("gdi_pens"), figure("image_lists"));
      if (run.ExitCode != 0) ok = false;
      series[s].Shown.push_back(run.Shown);
      series[s].Idle.push_back(run.Idle);
      series[s].PeakKb.push_back(run.PeakKb);
      series[s].Hover.push_back(run.Hover);
      series[s].InProcess.push_back(figure("ms_since_process_start"));
    }
  }
  wprintf(L"\nmedians of %d runs each   program   reference   ratio%ls\n", runs,
          floor ? L"   bare window   ratio to the reference" : L"");
  auto row = [&series, floor](const wchar_t* name, std::vector<double> Series::*member, const wchar_t* unit) {
    const double a = Median(series[0].*member), b = Median(series[1].*member);
    wprintf(L"%-26ls %7.1f %ls %7.1f %ls   %5.2f", name, a, unit, b, unit, a >= 0 && b > 0 ? a / b : -1.0);
    if (floor) {
      const double c = Median(series[2].*member);
      wprintf(L"   %7.1f %ls   %5.2f", c, unit, c >= 0 && b > 0 ? c / b : -1.0);
    }
    wprintf(L"\n");
  };
  row(L"shown", &Series::Shown, L"ms");
  row(L"idle (shown and painted)", &Series::Idle, L"ms");
  row(L"peak working set", &Series::PeakKb, L"KB");
  row(L"hover repaint", &Series::Hover, L"ms");
  wprintf(L"program's own time from creation to first idle: %.0f ms\n", Median(series[0].InProcess));
  return ok ? 0 : 1;
}
