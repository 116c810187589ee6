// Precompiled for this layer's sources and tests (see platform/core/pch.h).
#pragma once
#include "foundation/pch.h"

#include "foundation/dxGDIPlusAPI.h"
#include "skins/dxSkinsCore.h"
