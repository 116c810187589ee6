// The program block of 岚泽家具生产设计系统.
#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/gui/Forms.h"

#include "app/ProgramModules.h"
#include "app/StartupReport.h"
#include "app/Unit5.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  StartStartupProfile();
  try {
    InitializeModules(ProgramModules());
  } catch (const Exception& e) {
    // No application object to report through: the modules it needs did not start.
    MessageBoxW(nullptr, e.Message.c_str(), nullptr, MB_OK | MB_ICONSTOP);
    return 1;
  }
  int exitCode = 0;
  try {
    StartupProfileMark("modules started");
    Application->Initialize();
    Application->SetMainFormOnTaskBar(true);
    Application->SetTitle(L"岚泽家具生产设计系统");
    StartupProfileMark("application set up");
    Application->CreateForm(TForm5::StaticClass(), Form5);
    StartupProfileMark("main form created");
    ArmStartupReport();
    Application->Run();
  } catch (Exception& e) {
    Application->ShowException(e);
    exitCode = 1;
  }
  // The forms go while the library they are made of still runs: its shutdown
  // steps free the objects (styles, timers, registries) their controls use.
  try {
    Application->DestroyComponents();
  } catch (const Exception& e) {
    MessageBoxW(nullptr, e.Message.c_str(), nullptr, MB_OK | MB_ICONSTOP);
    exitCode = 1;
  }
  try {
    FinalizeModules();
  } catch (const Exception& e) {
    MessageBoxW(nullptr, e.Message.c_str(), nullptr, MB_OK | MB_ICONSTOP);
    exitCode = 1;
  }
  return exitCode;
}
