#include "platform/gui/GuiModules.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"

std::span<const TModuleStep> PlatformGuiModules() {
  // Forms last: it installs the application's hooks into the modules before it.
  static const TModuleStep steps[] = {
      {L"Graphics", &GraphicsInitialize, &GraphicsFinalize},
      {L"ImgList", &ImgListInitialize, &ImgListFinalize},
      {L"ActnList", &ActnListInitialize, &ActnListFinalize},
      {L"Menus", &MenusInitialize, &MenusFinalize},
      {L"Controls", &ControlsInitialize, &ControlsFinalize},
      {L"StdCtrls", &StdCtrlsInitialize, &StdCtrlsFinalize},
      {L"Clipboard", &ClipboardInitialize, &ClipboardFinalize},
      {L"Forms", &FormsInitialize, &FormsFinalize},
  };
  return steps;
}
