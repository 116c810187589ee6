// Precompiled for this layer's sources and tests (see platform/core/pch.h).
#pragma once
#include "bars/model/pch.h"

#include "bars/model/dxBar.h"
#include "bars/controls/dxBarControls.h"
#include "bars/controls/dxBarItemControls.h"
#include "bars/controls/dxBarPainter.h"
