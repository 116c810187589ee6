// Precompiled for this layer's sources and tests (see platform/core/pch.h).
#pragma once
#include "foundation/pch.h"

#include "bars/model/dxBarBase.h"
#include "bars/model/dxBarComponents.h"
#include "bars/model/dxBarItem.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarRoutines.h"
#include "bars/model/dxBarToolbars.h"
