#include "skins/SkinsModules.h"

#include "skins/dxSkinsCore.h"
#include "skins/dxSkinsDefaultPainters.h"
#include "skins/dxSkinsLookAndFeelPainter.h"

std::span<const TModuleStep> SkinsEngineModules() {
  static const TModuleStep steps[] = {
      {L"dxSkinsCore", &dxSkinsCoreInitialize, &dxSkinsCoreFinalize},
  };
  return steps;
}

std::span<const TModuleStep> SkinsPainterModules() {
  static const TModuleStep steps[] = {
      {L"dxSkinsDefaultPainters", &dxSkinsDefaultPaintersInitialize, &dxSkinsDefaultPaintersFinalize},
      {L"dxSkinsLookAndFeelPainter", &dxSkinsLookAndFeelPainterInitialize, &dxSkinsLookAndFeelPainterFinalize},
  };
  return steps;
}
