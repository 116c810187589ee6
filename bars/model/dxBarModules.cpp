#include "bars/model/dxBar.h"

std::span<const TModuleStep> BarTextsModules() {
  static const TModuleStep steps[] = {{L"dxBarStrs", &dxBarStrsInitialize, &dxBarStrsFinalize}};
  return steps;
}

std::span<const TModuleStep> BarModuleModules() {
  static const TModuleStep steps[] = {{L"dxBar", &dxBarInitialize, &dxBarFinalize}};
  return steps;
}
