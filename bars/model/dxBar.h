// The bar model: manager, toolbars, item links and items, with the module's
// routines, texts and start-up steps.
#pragma once

#include "bars/model/dxBarBase.h"
#include "bars/model/dxBarComponents.h"
#include "bars/model/dxBarDrawing.h"
#include "bars/model/dxBarHints.h"
#include "bars/model/dxBarHooks.h"
#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarLayoutStorage.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarMerging.h"
#include "bars/model/dxBarPainterChoice.h"
#include "bars/model/dxBarRoutines.h"
#include "bars/model/dxBarScreenTip.h"
#include "bars/model/dxBarStrs.h"
#include "bars/model/dxBarToolbars.h"
#include "platform/core/Modules.h"

#include <span>

// The bar texts' step: it runs before the customization form's class, which
// comes before the bar module's own step.
std::span<const TModuleStep> BarTextsModules();
// The bar module's step (manager list, item classes for the stream).
std::span<const TModuleStep> BarModuleModules();
