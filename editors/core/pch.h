// Precompiled for this layer's sources and tests (see platform/core/pch.h).
#pragma once
#include "foundation/pch.h"

#include "foundation/cxContainer.h"
#include "foundation/cxControls.h"
