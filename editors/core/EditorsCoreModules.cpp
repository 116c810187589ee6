#include "editors/core/EditorsCoreModules.h"

#include "editors/core/cxDataConsts.h"
#include "editors/core/cxDataStorage.h"
#include "editors/core/cxEdit.h"
#include "editors/core/cxEditConsts.h"
#include "editors/core/cxFilterConsts.h"
#include "editors/core/cxFilterControlStrs.h"
#include "editors/core/cxLibraryConsts.h"

std::span<const TModuleStep> EditorsCoreModules() {
  // The texts first (every later module shows them), then the value types
  // and the editor framework (wheel cursor, default edit style controller).
  static const TModuleStep steps[] = {
      {L"cxDataConsts", &cxDataConstsInitialize, &cxDataConstsFinalize},
      {L"cxLibraryConsts", &cxLibraryConstsInitialize, &cxLibraryConstsFinalize},
      {L"cxEditConsts", &cxEditConstsInitialize, &cxEditConstsFinalize},
      {L"cxFilterConsts", &cxFilterConstsInitialize, &cxFilterConstsFinalize},
      {L"cxFilterControlStrs", &cxFilterControlStrsInitialize, &cxFilterControlStrsFinalize},
      {L"cxDataStorage", &cxDataStorageInitialize, &cxDataStorageFinalize},
      {L"cxEdit", &cxEditInitialize, &cxEditFinalize},
  };
  return steps;
}
