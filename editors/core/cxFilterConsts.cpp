#include "editors/core/cxFilterConsts.h"

#include "editors/core/cxEditTextsProduct.h"

CX_DEFINE_TEXT_PRODUCT(cxFilterConsts, L"DataFilter", CX_DATA_FILTER_TEXTS)
