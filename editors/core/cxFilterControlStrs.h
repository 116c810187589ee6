// Texts of the product "FilterControl": the captions of the filter builder.
#pragma once

#include "platform/core/ResStrings.h"

#define CX_FILTER_CONTROL_TEXTS(X)                                                                 \
  X(cxSFilterBoolOperatorAnd, 62060, "AND")                                                        \
  X(cxSFilterBoolOperatorOr, 62061, "OR")                                                          \
  X(cxSFilterBoolOperatorNotAnd, 62062, "NOT AND")                                                 \
  X(cxSFilterBoolOperatorNotOr, 62063, "NOT OR")                                                   \
  X(cxSFilterRootButtonCaption, 62064, "Filter")                                                   \
  X(cxSFilterAddCondition, 62065, "Add &Condition")                                                \
  X(cxSFilterAddGroup, 62066, "Add &Group")                                                        \
  X(cxSFilterRemoveRow, 62067, "&Remove Row")                                                      \
  X(cxSFilterClearAll, 62068, "Clear &All")                                                        \
  X(cxSFilterFooterAddCondition, 62069, "press the button to add a new condition")                 \
  X(cxSFilterGroupCaption, 62070, "applies to the following conditions")                           \
  X(cxSFilterRootGroupCaption, 62071, "<root>")                                                    \
  X(cxSFilterControlNullString, 62072, "<empty>")                                                  \
  X(cxSFilterErrorBuilding, 62073, "Can't build filter from source")                               \
  X(cxSFilterDialogCaption, 62074, "Custom Filter")                                                \
  X(cxSFilterDialogInvalidValue, 62075, "Invalid value")                                           \
  X(cxSFilterDialogUse, 62076, "Use")                                                              \
  X(cxSFilterDialogSingleCharacter, 62077, "to represent any single character")                    \
  X(cxSFilterDialogCharactersSeries, 62078, "to represent any series of characters")               \
  X(cxSFilterDialogOperationAnd, 62079, "AND")                                                     \
  X(cxSFilterDialogOperationOr, 62080, "OR")                                                       \
  X(cxSFilterDialogRows, 62081, "Show rows where:")                                                \
  X(cxSFilterControlDialogCaption, 62082, "Filter builder")                                        \
  X(cxSFilterControlDialogNewFile, 62083, "untitled.flt")                                          \
  X(cxSFilterControlDialogOpenDialogCaption, 62084, "Open an existing filter")                     \
  X(cxSFilterControlDialogSaveDialogCaption, 62085, "Save the active filter to file")              \
  X(cxSFilterControlDialogActionSaveCaption, 62086, "&Save As...")                                 \
  X(cxSFilterControlDialogActionSaveHint, 62087, "Save As|Saves the active filter with a new name") \
  X(cxSFilterControlDialogActionOpenCaption, 62088, "&Open...")                                    \
  X(cxSFilterControlDialogActionOpenHint, 62089, "Open|Opens an existing filter")                  \
  X(cxSFilterControlDialogActionApplyCaption, 62090, "&Apply")                                     \
  X(cxSFilterControlDialogActionOkCaption, 62091, "OK")                                            \
  X(cxSFilterControlDialogActionCancelCaption, 62092, "Cancel")                                    \
  X(cxSFilterControlDialogFileExt, 62093, "flt")                                                   \
  X(cxSFilterControlDialogFileFilter, 62094, "Filters (*.flt)|*.flt")

CX_FILTER_CONTROL_TEXTS(RESOURCESTRING)

void cxFilterControlStrsInitialize();
void cxFilterControlStrsFinalize();
