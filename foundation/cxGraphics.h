// The graphics module: canvas and regions, drawing routines, bitmaps and
// image lists. Include this to get all of it.
#pragma once

#include "foundation/cxGraphicsCanvas.h"
#if __has_include("foundation/cxGraphicsRoutines.h")
#include "foundation/cxGraphicsRoutines.h"
#endif
#if __has_include("foundation/cxGraphicsBitmaps.h")
#include "foundation/cxGraphicsBitmaps.h"
#endif
#if __has_include("foundation/cxGraphicsImageList.h")
#include "foundation/cxGraphicsImageList.h"
#endif
