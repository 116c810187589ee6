#include "app/ProgramModules.h"
#include "app/Unit5.h"
#include "bars/controls/dxBarControlsModules.h"
#include "bars/model/dxBar.h"
#include "foundation/FoundationModules.h"
#include "platform/gui/GuiModules.h"

const std::vector<TModuleStep>& ProgramModules() {
  static const TModuleStep appSteps[] = {
      {L"Unit5", &Unit5Initialize, &Unit5Finalize},
  };
  static const std::vector<TModuleStep> steps = [] {
    std::vector<TModuleStep> all;
    for (std::span<const TModuleStep> list :
         {PlatformCoreModules(), PlatformGuiModules(), FoundationModules(), BarTextsModules(), BarModuleModules(),
          BarControlsModules(),
          std::span<const TModuleStep>(appSteps)})
      all.insert(all.end(), list.begin(), list.end());
    return all;
  }();
  return steps;
}
