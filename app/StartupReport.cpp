#include "app/StartupReport.h"

#include "platform/core/Modules.h"

#include "platform/gui/Forms.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/ImgList.h"

#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

const wchar_t kVariable[] = L"LANZE_STARTUP_REPORT";
const wchar_t kProfileVariable[] = L"LANZE_STARTUP_PROFILE";

std::wstring EnvironmentValue(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), size));
  return value;
}

BOOL CALLBACK CountChild(HWND, LPARAM counter) {
  ++*reinterpret_cast<long*>(counter);
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM counters) {
  auto* c = reinterpret_cast<long*>(counters);
  ++c[0];
  EnumChildWindows(window, &CountChild, reinterpret_cast<LPARAM>(&c[1]));
  return TRUE;
}

double MillisecondsSinceStart() {
  FILETIME created, exited, kernel, user, now;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1;
  GetSystemTimeAsFileTime(&now);
  auto ticks = [](const FILETIME& t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return double(ticks(now) - ticks(created)) / 10000.0;
}

std::string Utf8(const String& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// The start-up profile: the stages recorded so far, as text, and where the
// last one ended. Empty file name: no profile.
struct TProfile {
  std::wstring FileName;
  std::string Lines;
  LARGE_INTEGER Frequency{};
  LARGE_INTEGER Last{};
};
TProfile& Profile() {
  static TProfile profile;
  return profile;
}

void ProfileMark(const std::string& stage) {
  TProfile& p = Profile();
  if (p.FileName.empty()) return;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  const double took = double(now.QuadPart - p.Last.QuadPart) * 1000.0 / double(p.Frequency.QuadPart);
  char text[256];
  snprintf(text, sizeof text, "%-40s at %7.1f ms  took %6.2f ms  working set %7.0f KB\n", stage.c_str(),
           MillisecondsSinceStart(), took, memory.WorkingSetSize / 1024.0);
  p.Lines += text;
  QueryPerformanceCounter(&p.Last);   // the mark's own cost goes to no stage
}

void ObserveStep(const TModuleStep& step, bool finished) {
  if (finished) ProfileMark("step " + Utf8(step.Name));
  else QueryPerformanceCounter(&Profile().Last);
}

std::string Figures() {
  std::string out;
  // What the user sees of the application: its title and the main window.
  out += "application_title=" + Utf8(Application->Title()) + "\n";
  if (TForm* main = Application->MainForm()) out += "main_form_caption=" + Utf8(main->Caption()) + "\n";
  auto line = [&out](const char* key, double value) {
    char text[64];
    snprintf(text, sizeof text, "%s=%.1f\n", key, value);
    out += text;
  };
  line("ms_since_process_start", MillisecondsSinceStart());
  long windows[2] = {0, 0};
  EnumThreadWindows(GetCurrentThreadId(), &CountTopLevel, reinterpret_cast<LPARAM>(windows));
  line("top_level_windows", windows[0]);
  line("child_windows", windows[1]);
  static const char* const kinds[gokCount] = {"pens", "brushes", "fonts", "bitmaps",
                                              "palettes", "regions", "dcs", "icons", "metafiles"};
  line("gdi_objects", GdiAccounting::Live());
  for (int k = 0; k < gokCount; ++k)
    line((std::string("gdi_") + kinds[k]).c_str(), GdiAccounting::Live(static_cast<TGdiObjectKind>(k)));
  line("image_lists", ImgListLiveHandles());
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) {
    line("working_set_kb", memory.WorkingSetSize / 1024.0);
    line("peak_working_set_kb", memory.PeakWorkingSetSize / 1024.0);
  }
  return out;
}

// Written beside the target and renamed over it, so a reader never sees half.
void WriteReport(const std::wstring& fileName, const std::string& text) {
  const std::wstring temp = fileName + L".part";
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != text.size() || !MoveFileExW(temp.c_str(), fileName.c_str(), MOVEFILE_REPLACE_EXISTING))
    DeleteFileW(temp.c_str());
}

class TStartupReport : public TObject {
 public:
  explicit TStartupReport(std::wstring fileName) : fileName_(std::move(fileName)) {}

  void Arm() {
    previous_ = Application->OnIdle;
    Application->OnIdle = TIdleEvent::Bind<&TStartupReport::Idle>(this);
  }

 private:
  // Once: puts the previous handler back and goes.
  void Idle(TObject* Sender, bool& Done) {
    const TIdleEvent previous = previous_;
    Application->OnIdle = previous;
    if (!fileName_.empty()) WriteReport(fileName_, Figures());
    if (!Profile().FileName.empty()) {
      ProfileMark("first idle");
      SetModuleStepObserver(nullptr);
      WriteReport(Profile().FileName, Profile().Lines);
    }
    TObject::Free(this);
    if (previous) previous(Sender, Done);
  }

  std::wstring fileName_;
  TIdleEvent previous_;
};

}  // namespace

void StartStartupProfile() {
  TProfile& p = Profile();
  p.FileName = EnvironmentValue(kProfileVariable);
  if (p.FileName.empty()) return;
  QueryPerformanceFrequency(&p.Frequency);
  QueryPerformanceCounter(&p.Last);
  ProfileMark("program entry");
  SetModuleStepObserver(&ObserveStep);
}

void StartupProfileMark(const char* stage) { ProfileMark(stage); }

void ArmStartupReport() {
  std::wstring fileName = EnvironmentValue(kVariable);
  if (!Application || (fileName.empty() && Profile().FileName.empty())) return;
  (Make<TStartupReport>(std::move(fileName)))->Arm();
}
