// Precompiled for this layer's sources and tests (see platform/core/pch.h).
#pragma once
#include "editors/core/pch.h"

#include "editors/core/cxEdit.h"
#include "editors/core/cxEditButtons.h"
#include "editors/core/cxEditProperties.h"
#include "editors/core/cxEditRepositoryItems.h"
#include "editors/core/cxEditStyles.h"
#include "editors/core/cxEditViewData.h"
