// Texts of the product "CoreLibrary": registry and storing messages and the
// keywords of smart date input.
#pragma once

#include "platform/core/ResStrings.h"

#define CX_CORE_LIBRARY_TEXTS(X)                                                             \
  X(scxCantCreateRegistryKey, 62020, "Can't create the registry key: \\%s")                  \
  X(scxCantOpenRegistryKey, 62021, "Can't open the registry key: \\%s")                      \
  X(scxErrorStoreObject, 62022, "Error store %s object")                                     \
  X(scxConverterCantCreateStyleRepository, 62023, "Can't create the Style Repository")       \
  X(cxSDateToday, 62024, "today")                                                            \
  X(cxSDateYesterday, 62025, "yesterday")                                                    \
  X(cxSDateTomorrow, 62026, "tomorrow")                                                      \
  X(cxSDateSunday, 62027, "Sunday")                                                          \
  X(cxSDateMonday, 62028, "Monday")                                                          \
  X(cxSDateTuesday, 62029, "Tuesday")                                                        \
  X(cxSDateWednesday, 62030, "Wednesday")                                                    \
  X(cxSDateThursday, 62031, "Thursday")                                                      \
  X(cxSDateFriday, 62032, "Friday")                                                          \
  X(cxSDateSaturday, 62033, "Saturday")                                                      \
  X(cxSDateFirst, 62034, "first")                                                            \
  X(cxSDateSecond, 62035, "second")                                                          \
  X(cxSDateThird, 62036, "third")                                                            \
  X(cxSDateFourth, 62037, "fourth")                                                          \
  X(cxSDateFifth, 62038, "fifth")                                                            \
  X(cxSDateSixth, 62039, "sixth")                                                            \
  X(cxSDateSeventh, 62040, "seventh")                                                        \
  X(cxSDateBOM, 62041, "bom")                                                                \
  X(cxSDateEOM, 62042, "eom")                                                                \
  X(cxSDateNow, 62043, "now")

CX_CORE_LIBRARY_TEXTS(RESOURCESTRING)

void cxLibraryConstsInitialize();
void cxLibraryConstsFinalize();
