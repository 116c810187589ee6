// The program itself, started as a user starts it: the main window shows
// maximized with its caption and is the task bar's window, the application
// carries the title, and asking the window to close ends the program with
// exit code 0.
#include "platform/WinApi.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#ifndef LANZE_EXE
#error "LANZE_EXE (the path of lanze.exe) must be defined by the build"
#endif

namespace {

const wchar_t kCaption[] = L"岚泽家具生产设计系统3.0";
const wchar_t kTitle[] = L"岚泽家具生产设计系统";

// The program's path as Windows sees it (the build gives a Unix path).
std::wstring ProgramPath() {
  const std::string path = LANZE_EXE;
  std::wstring wide(path.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(),
                                  static_cast<int>(wide.size())));
  if (!wide.empty() && wide[0] == L'/') {
    for (wchar_t& c : wide)
      if (c == L'/') c = L'\\';
    wide = L"Z:" + wide;
  }
  return wide;
}

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

struct Search {
  DWORD ProcessId;
  const wchar_t* ClassName;   // null: the visible window with the main caption
  HWND Found = nullptr;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != s->ProcessId) return TRUE;
  const bool match = s->ClassName ? ClassOf(window) == s->ClassName
                                  : IsWindowVisible(window) && WindowText(window) == kCaption;
  if (!match) return TRUE;
  s->Found = window;
  return FALSE;
}

HWND FindWindowOf(DWORD pid, const wchar_t* className) {
  Search s{pid, className};
  EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&s));
  return s.Found;
}

std::string Utf8(const std::wstring& text) {
  std::string out(text.size() * 3, '\0');
  out.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                 static_cast<int>(out.size()), nullptr, nullptr));
  return out;
}

// A wait for the started program that ends on what happened; the bound only
// ends it should the program hang, so it is generous: starting a program
// under a loaded machine may take long, and must not fail the test.
constexpr DWORD kProgramHangBoundMs = 120000;

// The "key=value" lines of the program's start-up report, which it writes
// (whole, by renaming) at its first idle moment, after its main window
// showed; empty when the program ended or hung before.
std::map<std::string, std::string> ReadReport(const std::wstring& fileName, HANDLE process) {
  std::map<std::string, std::string> lines;
  const auto written = [&] { return GetFileAttributesW(fileName.c_str()) != INVALID_FILE_ATTRIBUTES; };
  const auto ended = [&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; };
  // Wakes when the program ends, else looks again shortly; a program that ended
  // without writing the report has nothing more to give.
  WaitUntil([&] { return written() || ended(); }, [&] { WaitForSingleObject(process, 20); },
            kProgramHangBoundMs);
  if (!written()) return lines;
  HANDLE file = CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return lines;
  std::string text(65536, '\0');
  DWORD read = 0;
  ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
  CloseHandle(file);
  text.resize(read);
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    const size_t equals = line.find('=');
    if (equals != std::string::npos) lines[line.substr(0, equals)] = line.substr(equals + 1);
    start = end + 1;
  }
  return lines;
}

// The started program, asked for its start-up report; stopped should a test
// end before it did.
class Program {
 public:
  Program() {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    report_ = std::wstring(folder) + L"lanze-app-tests-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    DeleteFileW(report_.c_str());
  }
  bool Start() {
    SetEnvironmentVariableW(L"LANZE_STARTUP_REPORT", report_.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const std::wstring exe = ProgramPath();
    std::wstring commandLine = L"\"" + exe + L"\"";
    const bool started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &info_) != FALSE;
    SetEnvironmentVariableW(L"LANZE_STARTUP_REPORT", nullptr);
    return started;
  }
  const std::wstring& ReportFile() const { return report_; }
  ~Program() {
    DeleteFileW(report_.c_str());
    if (!info_.hProcess) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info_.hProcess, 99);
      WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  DWORD Id() const { return info_.dwProcessId; }
  HANDLE Process() const { return info_.hProcess; }
  // The exit code once the program ended, STILL_ACTIVE should it hang.
  DWORD WaitExit() const {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(info_.hProcess, kProgramHangBoundMs) == WAIT_OBJECT_0)
      GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }

 private:
  std::wstring report_;
  PROCESS_INFORMATION info_{};
};

// The lower-case file names of the DLLs a process has loaded.
std::vector<std::wstring> LoadedModules(HANDLE process) {
  std::vector<HMODULE> modules(512);
  DWORD needed = 0;
  if (!EnumProcessModules(process, modules.data(), DWORD(modules.size() * sizeof(HMODULE)), &needed)) return {};
  modules.resize(std::min<size_t>(modules.size(), needed / sizeof(HMODULE)));
  std::vector<std::wstring> names;
  for (HMODULE m : modules) {
    wchar_t name[MAX_PATH];
    if (!GetModuleBaseNameW(process, m, name, MAX_PATH)) continue;
    CharLowerW(name);
    names.push_back(name);
  }
  return names;
}

TEST(Program, ShowsItsMaximizedMainWindowAndEndsWhenItCloses) {
  Program program;
  ASSERT_TRUE(program.Start()) << "cannot start " << testing::PrintToString(ProgramPath());

  // The report comes once the program runs its message loop, its main
  // window shown.
  const auto report = ReadReport(program.ReportFile(), program.Process());
  ASSERT_FALSE(report.empty()) << "no start-up report: the program ended or hung first";
  const HWND main = FindWindowOf(program.Id(), nullptr);
  ASSERT_NE(main, nullptr) << "the main window is not shown";
  EXPECT_NE(FindWindowW(nullptr, kCaption), nullptr);
  EXPECT_TRUE(IsZoomed(main));

  // The main form is the task bar's window (its own, unowned, WS_EX_APPWINDOW)...
  EXPECT_EQ(GetWindow(main, GW_OWNER), nullptr);
  EXPECT_TRUE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  // ...and the application object holds the title. Its hidden window, which
  // would show it, is only made on first use, so the program reports it.
  EXPECT_EQ(report.count("application_title") ? report.at("application_title") : "", Utf8(kTitle));
  EXPECT_EQ(report.count("main_form_caption") ? report.at("main_form_caption") : "", Utf8(kCaption));
  if (HWND application = FindWindowOf(program.Id(), L"TApplication")) {
    EXPECT_EQ(WindowText(application), kTitle);
    EXPECT_FALSE(IsWindowVisible(application));
  }

  ASSERT_TRUE(PostMessageW(main, WM_CLOSE, 0, 0));
  EXPECT_EQ(program.WaitExit(), 0u);
}

// Whether this 32-bit process runs under qemu's user-mode emulation (the test scripts say so
// on hosts whose kernel refuses 32-bit code). The programs it starts run there too.
bool Emulated32() {
  return sizeof(void*) == 4 && GetEnvironmentVariableW(L"LANZE_32BIT_EMULATION", nullptr, 0) != 0;
}

TEST(Program, StartsWithoutTheLibrariesOfFeaturesNotUsedYet) {
  // Reading another process's module list fails between processes of the emulator.
  if (Emulated32())
    GTEST_SKIP() << "another emulated process's loaded modules cannot be read under qemu's user-mode emulation";
  Program program;
  ASSERT_TRUE(program.Start());
  ASSERT_FALSE(ReadReport(program.ReportFile(), program.Process()).empty());
  const HWND main = FindWindowOf(program.Id(), nullptr);
  ASSERT_NE(main, nullptr);

  // Shown and painted without the DLLs of features not used yet (file
  // dialogs, printing, sounds): they load when first used.
  const std::vector<std::wstring> loaded = LoadedModules(program.Process());
  ASSERT_FALSE(loaded.empty());
  for (const wchar_t* unused : {L"comdlg32.dll", L"winspool.drv", L"compstui.dll", L"winmm.dll", L"msacm32.dll"})
    EXPECT_EQ(std::count(loaded.begin(), loaded.end(), std::wstring(unused)), 0) << testing::PrintToString(unused);

  ASSERT_TRUE(PostMessageW(main, WM_CLOSE, 0, 0));
  EXPECT_EQ(program.WaitExit(), 0u);
}


// The toolbar window of the main window (a grandchild: the dock holds it).
BOOL CALLBACK FindToolbar(HWND window, LPARAM param) {
  if (ClassOf(window).rfind(L"TdxBarControl", 0) != 0) return TRUE;
  *reinterpret_cast<HWND*>(param) = window;
  return FALSE;
}

// The client area of the main window's toolbar on the screen; empty without one.
RECT ToolbarOnScreen(HWND main) {
  HWND toolbar = nullptr;
  RECT client{};
  EnumChildWindows(main, &FindToolbar, reinterpret_cast<LPARAM>(&toolbar));
  if (!toolbar) return client;
  GetClientRect(toolbar, &client);
  MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return client;
}

// Starts the program and finds its main window and its toolbar's client
// area on the screen.
void StartWithToolbar(Program& program, HWND& main, RECT& client) {
  ASSERT_TRUE(program.Start());
  ASSERT_FALSE(ReadReport(program.ReportFile(), program.Process()).empty());
  main = FindWindowOf(program.Id(), nullptr);
  ASSERT_NE(main, nullptr);
  client = ToolbarOnScreen(main);
  ASSERT_GT(client.right - client.left, 300) << "no toolbar window";
}

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF color = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return color;
}

TEST(Program, ToolbarButtonsHotTrackAndOnlyTheExitButtonEndsTheProgram) {
  Program program;
  HWND main = nullptr;
  RECT client{};
  ASSERT_NO_FATAL_FAILURE(StartWithToolbar(program, main, client));

  // The group separators are the only shadow-coloured pixels of the idle
  // toolbar's top row: one before "材料库", "修改密码" and "退出系统" each.
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), highlight = GetSysColor(COLOR_HIGHLIGHT);
  std::vector<int> separators;
  for (int x = client.left; x < client.right; ++x)
    if (ScreenPixel(x, client.top) == shadow) separators.push_back(x);
  ASSERT_EQ(separators.size(), 3u) << "the idle toolbar as drawn does not show three separators";
  // A button starts after its separator's 5-pixel cell (the line is its middle column).
  struct Button {
    const char* Caption;
    int Left;
  } const buttons[] = {{"订单查询", static_cast<int>(client.left)},
                       {"材料库", separators[0] + 3},
                       {"修改密码", separators[1] + 3},
                       {"退出系统", separators[2] + 3}};
  const int middle = (client.top + client.bottom) / 2;
  const auto hot = [&](int left) { return ScreenPixel(left, client.top) == highlight; };
  const auto running = [&] { return WaitForSingleObject(program.Process(), 0) == WAIT_TIMEOUT; };
  for (const Button& button : buttons) {
    SCOPED_TRACE(button.Caption);
    // Hovering shows the hot state (the highlight frame) on that button only.
    SendPointer(button.Left + 11, middle, 0);
    ASSERT_TRUE(WaitUntil([&] { return hot(button.Left) || !running(); }, [&] { WaitForSingleObject(program.Process(), 10); }));
    ASSERT_TRUE(running());
    if (&button != &buttons[0]) EXPECT_FALSE(hot(buttons[0].Left));
    SendPointer(button.Left + 11, middle, MOUSEEVENTF_LEFTDOWN);
    SendPointer(button.Left + 11, middle, MOUSEEVENTF_LEFTUP);
  }
  // Every click before the last was handled before the pointer's next move
  // made the next button hot, and left the program running; the exit button
  // ends it.
  EXPECT_EQ(program.WaitExit(), 0u);
}

// The program's hint window, shown; null while it is not.
BOOL CALLBACK FindShownHint(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != s->ProcessId || !IsWindowVisible(window) || ClassOf(window).rfind(L"TdxBarHintWindow", 0) != 0)
    return TRUE;
  s->Found = window;
  return FALSE;
}

HWND ShownHintWindow(DWORD pid) {
  Search s{pid, nullptr};
  EnumWindows(&FindShownHint, reinterpret_cast<LPARAM>(&s));
  return s.Found;
}

TEST(Program, HoveringAButtonWithAHintShowsItsCaptionAndOneWithoutTakesItAway) {
  Program program;
  HWND main = nullptr;
  RECT client{};
  ASSERT_NO_FATAL_FAILURE(StartWithToolbar(program, main, client));
  const int middle = (client.top + client.bottom) / 2;
  const auto step = [&] { WaitForSingleObject(program.Process(), 10); };

  // "订单查询" is the first button; its hint shows once the program's show
  // timer ran (the wait ends on the window, however long the timer takes).
  SendPointer(client.left + 11, middle, 0);
  ASSERT_TRUE(WaitUntil([&] { return ShownHintWindow(program.Id()) != nullptr; }, step));
  const HWND hint = ShownHintWindow(program.Id());
  EXPECT_EQ(WindowText(hint), L"订单查询");
  RECT bounds;
  GetWindowRect(hint, &bounds);
  EXPECT_GT(bounds.top, middle);
  ASSERT_TRUE(WaitUntil([&] { return ScreenPixel(bounds.left + 2, bounds.top + 3) == GetSysColor(COLOR_INFOBK); }, step))
      << "the hint is not drawn";

  // Left of the first separator the toolbar's fourth button has no hint:
  // taking the pointer there takes the hint away.
  int separator = client.left;
  while (separator < client.right && ScreenPixel(separator, client.top) != GetSysColor(COLOR_BTNSHADOW)) ++separator;
  ASSERT_LT(separator, client.right);
  SendPointer(separator - 12, middle, 0);
  EXPECT_TRUE(WaitUntil([&] { return ShownHintWindow(program.Id()) == nullptr; }, step));

  ASSERT_TRUE(PostMessageW(main, WM_CLOSE, 0, 0));
  EXPECT_EQ(program.WaitExit(), 0u);
}

}  // namespace
