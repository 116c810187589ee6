#include "editors/core/cxFilterControlStrs.h"

#include "editors/core/cxEditTextsProduct.h"

CX_DEFINE_TEXT_PRODUCT(cxFilterControlStrs, L"FilterControl", CX_FILTER_CONTROL_TEXTS)
