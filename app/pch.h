// Precompiled for the program's sources and tests (see platform/core/pch.h).
#pragma once
#include "bars/controls/pch.h"
#include "editors/family/pch.h"
