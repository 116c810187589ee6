// Precompiled for this layer's sources and tests and the layers above (see
// platform/core/pch.h).
#pragma once
#include "platform/gui/pch.h"

#include "foundation/cxClasses.h"
#include "foundation/cxClassesComponents.h"
#include "foundation/cxGeometry.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxGraphicsRoutines.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/dxCore.h"
#include "foundation/dxThemeManager.h"
