// appbench: measures the start of the program as a user sees it.
//
//   appbench [RUNS]          (default 5 runs; lanze.exe is looked for beside appbench.exe)
//
// Each run starts lanze.exe, takes the time until its main window is visible
// and until its input is idle (the window shown and painted), reads the
// figures the program writes at its first idle moment (LANZE_STARTUP_REPORT:
// time since process creation, memory, windows, GDI objects, image lists),
// asks the window to close and checks the exit code. It prints every run and
// the median of the times. Every wait is bounded.
#include "platform/WinApi.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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

struct Run {
  double Shown = -1, Idle = -1;
  std::map<std::string, double> Report;
  double ChildPeakKb = -1;
  DWORD ExitCode = STILL_ACTIVE;
};

bool RunOnce(const std::wstring& exe, const std::wstring& reportFile, Run& run) {
  DeleteFileW(reportFile.c_str());
  SetEnvironmentVariableW(L"LANZE_STARTUP_REPORT", reportFile.c_str());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + exe + L"\"";
  const double start = Now();
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    fwprintf(stderr, L"appbench: cannot start %ls (error %lu)\n", exe.c_str(), GetLastError());
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
    for (int i = 0; i < 1000 && GetFileAttributesW(reportFile.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(10);
    run.Report = ReadReport(reportFile);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory) && memory.PeakWorkingSetSize)
      run.ChildPeakKb = memory.PeakWorkingSetSize / 1024.0;
    PostMessageW(search.Found, WM_CLOSE, 0, 0);
  } else {
    fwprintf(stderr, L"appbench: the main window did not show within 30 s\n");
  }
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
    fwprintf(stderr, L"appbench: the program did not end; stopping it\n");
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 5000);
  }
  GetExitCodeProcess(process.hProcess, &run.ExitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  DeleteFileW(reportFile.c_str());
  return search.Found != nullptr;
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
  wchar_t self[MAX_PATH * 2];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
  std::wstring folder(self, n);
  folder.erase(folder.find_last_of(L"\\/") + 1);
  const std::wstring exe = folder + L"lanze.exe";
  wchar_t tempFolder[MAX_PATH];
  GetTempPathW(MAX_PATH, tempFolder);
  const std::wstring reportFile =
      std::wstring(tempFolder) + L"lanze-startup-" + std::to_wstring(GetCurrentProcessId()) + L".txt";

  std::vector<double> shown, idle, inProcess;
  bool ok = true;
  for (int i = 0; i < runs; ++i) {
    Run run;
    if (!RunOnce(exe, reportFile, run)) {
      ok = false;
      continue;
    }
    auto figure = [&run](const char* key) {
      auto it = run.Report.find(key);
      return it == run.Report.end() ? -1.0 : it->second;
    };
    wprintf(L"run %d: shown %.0f ms, idle %.0f ms, in-process %.0f ms since creation; peak working set %.0f KB "
            L"(child as seen from here %.0f KB); windows %.0f top-level + %.0f child; GDI objects %.0f "
            L"(bitmaps %.0f, DCs %.0f, fonts %.0f, brushes %.0f, pens %.0f); image lists %.0f; exit code %lu\n",
            i + 1, run.Shown, run.Idle, figure("ms_since_process_start"), figure("peak_working_set_kb"),
            run.ChildPeakKb, figure("top_level_windows"), figure("child_windows"), figure("gdi_objects"),
            figure("gdi_bitmaps"), figure("gdi_dcs"), figure("gdi_fonts"), figure("gdi_brushes"), figure("gdi_pens"),
            figure("image_lists"), run.ExitCode);
    if (run.ExitCode != 0) ok = false;
    shown.push_back(run.Shown);
    if (run.Idle >= 0) idle.push_back(run.Idle);
    if (figure("ms_since_process_start") >= 0) inProcess.push_back(figure("ms_since_process_start"));
  }
  wprintf(L"median of %d runs: shown %.0f ms, idle (shown and painted) %.0f ms, in-process %.0f ms\n", runs,
          Median(shown), Median(idle), Median(inProcess));
  return ok ? 0 : 1;
}
