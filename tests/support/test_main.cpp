// The main of every test executable.
#include "platform/WinApi.h"

#include "tests/support/LeakCheck.h"
#include "tests/support/TestModules.h"

// Set by the CMake test function for the executables that link the GUI layer.
#ifdef LANZE_TESTS_LINK_GUI
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/ImgList.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

// --- what a test may leave behind ------------------------------------------------

std::string Utf8(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.resize(size_t(n) - 1);
  return out;
}

BOOL CALLBACK AddWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

BOOL CALLBACK AddWindowAndChildren(HWND window, LPARAM list) {
  AddWindow(window, list);
  EnumChildWindows(window, &AddWindow, list);   // every descendant, not just the direct children
  return TRUE;
}

// Every window of the calling thread: its top-level windows with all their
// descendants, and its message-only windows (which EnumThreadWindows does not
// see), sorted.
std::vector<HWND> ThreadWindows() {
  std::vector<HWND> list;
  const DWORD thread = GetCurrentThreadId();
  EnumThreadWindows(thread, &AddWindowAndChildren, reinterpret_cast<LPARAM>(&list));
  for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
       w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr))
    if (GetWindowThreadProcessId(w, nullptr) == thread) AddWindowAndChildren(w, reinterpret_cast<LPARAM>(&list));
  std::sort(list.begin(), list.end());
  list.erase(std::unique(list.begin(), list.end()), list.end());
  return list;
}

std::string DescribeWindow(HWND window) {
  wchar_t cls[128] = L"", caption[128] = L"";
  GetClassNameW(window, cls, int(std::size(cls)));
  // Not GetWindowText: a window of another thread would have to answer a message.
  InternalGetWindowText(window, caption, int(std::size(caption)));
  std::string out = Utf8(cls);
  if (caption[0]) out += " \"" + Utf8(caption) + "\"";
  if (HWND parent = GetAncestor(window, GA_PARENT); parent && parent != GetDesktopWindow()) {
    wchar_t parentClass[128] = L"";
    GetClassNameW(parent, parentClass, int(std::size(parentClass)));
    out += " (child of " + Utf8(parentClass) + ")";
  }
  return out;
}

struct TLiveCount {
  const char* What;
  long Live;
};

#ifdef LANZE_TESTS_LINK_GUI
const char* const kGdiKindNames[] = {"pen", "brush", "font", "bitmap", "palette", "region", "DC", "icon", "metafile"};
static_assert(std::size(kGdiKindNames) == gokCount, "name every GDI object kind");
#endif

struct TSnapshot {
  std::vector<TLiveCount> Counts;   // the same entries in the same order in every snapshot
  std::vector<HWND> Windows;
};

TSnapshot TakeSnapshot() {
  TSnapshot s;
#ifdef LANZE_TESTS_LINK_GUI
  for (int kind = 0; kind < gokCount; ++kind)
    s.Counts.push_back({kGdiKindNames[kind], GdiAccounting::Live(static_cast<TGdiObjectKind>(kind))});
  s.Counts.push_back({"image list", ImgListLiveHandles()});
#endif
  s.Windows = ThreadWindows();
  return s;
}

// What `after` holds more of than `before`, e.g.
// `2 brush (3 -> 5), 1 window(s) (4 -> 5): TForm1 "Caption"`; empty when nothing
// was left behind. Windows are compared by count (a test may destroy and make
// again a window that existed before it); the new ones are named.
std::string Leftovers(const TSnapshot& before, const TSnapshot& after) {
  std::ostringstream out;
  const char* sep = "";
  for (size_t i = 0; i < after.Counts.size(); ++i) {
    const long grown = after.Counts[i].Live - before.Counts[i].Live;
    if (grown > 0) {
      out << sep << grown << ' ' << after.Counts[i].What << " (" << before.Counts[i].Live << " -> "
          << after.Counts[i].Live << ')';
      sep = ", ";
    }
  }
  const long grown = long(after.Windows.size()) - long(before.Windows.size());
  if (grown > 0) {
    out << sep << grown << " window(s) (" << before.Windows.size() << " -> " << after.Windows.size() << ')';
    std::vector<HWND> added;
    std::set_difference(after.Windows.begin(), after.Windows.end(), before.Windows.begin(), before.Windows.end(),
                        std::back_inserter(added));
    const char* listSep = ": ";
    for (HWND w : added) {
      out << listSep << DescribeWindow(w);
      listSep = "; ";
    }
  }
  return out.str();
}

// Takes what grew from `before` to `after` into `baseline`: what a test left
// behind is the test's, not its suite's set-up's or tear-down's.
void Absorb(TSnapshot& baseline, const TSnapshot& testBefore, const TSnapshot& testAfter) {
  for (size_t i = 0; i < baseline.Counts.size(); ++i)
    baseline.Counts[i].Live += std::max(0L, testAfter.Counts[i].Live - testBefore.Counts[i].Live);
  std::vector<HWND> added, merged;
  std::set_difference(testAfter.Windows.begin(), testAfter.Windows.end(), testBefore.Windows.begin(),
                      testBefore.Windows.end(), std::back_inserter(added));
  std::set_union(baseline.Windows.begin(), baseline.Windows.end(), added.begin(), added.end(),
                 std::back_inserter(merged));
  baseline.Windows = std::move(merged);
}

std::string g_keepReason;

// Fails the test (and the test suite's own set-up and tear-down) that ends
// with more live objects of a kind, or more windows, than it started with.
class TLeakListener : public testing::EmptyTestEventListener {
 public:
  void OnTestSuiteStart(const testing::TestSuite&) override {
    WarmUp();
    suiteBefore_ = TakeSnapshot();
  }
  void OnTestSuiteEnd(const testing::TestSuite& suite) override {
    const std::string left = Leftovers(suiteBefore_, TakeSnapshot());
    if (!left.empty())
      ADD_FAILURE() << "the test suite " << suite.name() << " leaked, outside its tests: " << left;
  }

  void OnTestStart(const testing::TestInfo&) override {
    g_keepReason.clear();
    // What the test before shut down and started again is made again here,
    // before the count, not in the first test that needs it; nor is it the
    // suite's.
    const TSnapshot unwarmed = TakeSnapshot();
    WarmUp();
    testBefore_ = TakeSnapshot();
    Absorb(suiteBefore_, unwarmed, testBefore_);
  }
  void OnTestEnd(const testing::TestInfo& test) override {
    const TSnapshot after = TakeSnapshot();
    Absorb(suiteBefore_, testBefore_, after);
    const std::string left = Leftovers(testBefore_, after);
    const std::string reason = std::move(g_keepReason);
    g_keepReason.clear();
    if (left.empty()) return;
    if (!reason.empty()) {
      std::printf("[  KEEPS   ] %s.%s keeps on purpose (%s): %s\n", test.test_suite_name(), test.name(),
                  reason.c_str(), left.c_str());
      std::fflush(stdout);
      return;
    }
    ADD_FAILURE_AT(test.file(), test.line()) << "the test leaked " << left;
  }

 private:
  static void WarmUp() {
    try {
      WarmUpTestCaches();
    } catch (const std::exception& e) {
      ADD_FAILURE() << "making the process-wide objects before the test failed: " << e.what();
    }
  }

  TSnapshot suiteBefore_, testBefore_;
};

// A crash names the test it happened in and ends the process at once: Wine would
// otherwise start its debugger, which can take the rest of the run's time.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  std::fprintf(stderr, "\n*** crash: exception %08lx at %p in %s.%s\n",
               static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
               info->ExceptionRecord->ExceptionAddress, test ? test->test_suite_name() : "(no test)",
               test ? test->name() : "");
  std::fflush(stdout);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void KeepsResourcesOnPurpose(const char* reason) {
  g_keepReason = reason && *reason ? reason : "no reason given";
}

int main(int argc, char** argv)
{
    // A crash must end the test process with a failure code, not wait for someone to
    // dismiss Wine's crash dialog (the run would hang until its timeout).
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(&ReportCrash);

    testing::InitGoogleTest(&argc, argv);

    // Tests see the process as the program sees it: every module of the layers
    // under test started in program order, and shut down afterwards.
    const std::vector<TModuleStep> modules = TestModules();
    InitializeModules(modules);
    WarmUpTestCaches();
    // Appended after the result printer: gtest reports a test's end to the
    // listeners in reverse order, so the leak is counted before the result is printed.
    testing::UnitTest::GetInstance()->listeners().Append(new TLeakListener);
    const int result = RUN_ALL_TESTS();
    try {
        FinalizeModules();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "module shutdown failed: %s\n", e.what());
        return 1;
    }
    return result;
}
