#include "editors/core/cxDataConsts.h"

#include "editors/core/cxEditTextsProduct.h"

CX_DEFINE_TEXT_PRODUCT(cxDataConsts, L"DataController", CX_DATA_CONTROLLER_TEXTS)
