#include "editors/family/EditorsFamilyModules.h"

#include "editors/family/cxImage.h"

std::span<const TModuleStep> EditorsFamilyModules() {
  static const TModuleStep steps[] = {
      {L"cxImage", &cxImageInitialize, &cxImageFinalize},
  };
  return steps;
}
