// Texts of the product "DataController": the messages of the data layer.
#pragma once

#include "platform/core/ResStrings.h"

#define CX_DATA_CONTROLLER_TEXTS(X)                                                          \
  X(cxSDataReadError, 62000, "Stream read error")                                            \
  X(cxSDataWriteError, 62001, "Stream write error")                                          \
  X(cxSDataItemExistError, 62002, "Item already exists")                                     \
  X(cxSDataRecordIndexError, 62003, "RecordIndex out of range")                              \
  X(cxSDataItemIndexError, 62004, "ItemIndex out of range")                                  \
  X(cxSDataProviderModeError, 62005, "This operation is not supported in provider mode")     \
  X(cxSDataInvalidStreamFormat, 62006, "Invalid stream format")                              \
  X(cxSDataRowIndexError, 62007, "RowIndex out of range")                                    \
  X(cxSDataCustomDataSourceInvalidCompare, 62008, "GetInfoForCompare not implemented")       \
  X(cxSDBDetailFilterControllerNotFound, 62009, "DetailFilterController not found")          \
  X(cxSDBNotInGridMode, 62010, "DataController not in GridMode")                             \
  X(cxSDBKeyFieldNotFound, 62011, "Key Field not found")

CX_DATA_CONTROLLER_TEXTS(RESOURCESTRING)

// Registers the product with the text repository; shutdown removes it.
void cxDataConstsInitialize();
void cxDataConstsFinalize();
