#include "editors/core/cxLibraryConsts.h"

#include "editors/core/cxEditTextsProduct.h"

CX_DEFINE_TEXT_PRODUCT(cxLibraryConsts, L"CoreLibrary", CX_CORE_LIBRARY_TEXTS)
