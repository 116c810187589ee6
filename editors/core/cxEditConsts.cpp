#include "editors/core/cxEditConsts.h"

#include "editors/core/cxEditTextsProduct.h"

CX_DEFINE_TEXT_PRODUCT(cxEditConsts, L"ZuvovuvEzavova Library", CX_EDIT_TEXTS)
