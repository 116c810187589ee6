// Texts of the product "DataFilter": filter operator captions, the Boolean
// and blank captions and the filter-box items.
#pragma once

#include "platform/core/ResStrings.h"

#define CX_DATA_FILTER_TEXTS(X)                                                       \
  X(cxSFilterOperatorEqual, 62100, "equals")                                          \
  X(cxSFilterOperatorNotEqual, 62101, "does not equal")                               \
  X(cxSFilterOperatorLess, 62102, "is less than")                                     \
  X(cxSFilterOperatorLessEqual, 62103, "is less than or equal to")                    \
  X(cxSFilterOperatorGreater, 62104, "is greater than")                               \
  X(cxSFilterOperatorGreaterEqual, 62105, "is greater than or equal to")              \
  X(cxSFilterOperatorLike, 62106, "like")                                             \
  X(cxSFilterOperatorNotLike, 62107, "not like")                                      \
  X(cxSFilterOperatorBetween, 62108, "between")                                       \
  X(cxSFilterOperatorNotBetween, 62109, "not between")                                \
  X(cxSFilterOperatorInList, 62110, "in")                                             \
  X(cxSFilterOperatorNotInList, 62111, "not in")                                      \
  X(cxSFilterOperatorYesterday, 62112, "is yesterday")                                \
  X(cxSFilterOperatorToday, 62113, "is today")                                        \
  X(cxSFilterOperatorTomorrow, 62114, "is tomorrow")                                  \
  X(cxSFilterOperatorLast7Days, 62115, "is last 7 days")                              \
  X(cxSFilterOperatorLastWeek, 62116, "is last week")                                 \
  X(cxSFilterOperatorLast14Days, 62117, "is last 14 days")                            \
  X(cxSFilterOperatorLastTwoWeeks, 62118, "is last two weeks")                        \
  X(cxSFilterOperatorLast30Days, 62119, "is last 30 days")                            \
  X(cxSFilterOperatorLastMonth, 62120, "is last month")                               \
  X(cxSFilterOperatorLastYear, 62121, "is last year")                                 \
  X(cxSFilterOperatorPast, 62122, "is past")                                          \
  X(cxSFilterOperatorThisWeek, 62123, "is this week")                                 \
  X(cxSFilterOperatorThisMonth, 62124, "is this month")                               \
  X(cxSFilterOperatorThisYear, 62125, "is this year")                                 \
  X(cxSFilterOperatorNext7Days, 62126, "is next 7 days")                              \
  X(cxSFilterOperatorNextWeek, 62127, "is next week")                                 \
  X(cxSFilterOperatorNext14Days, 62128, "is next 14 days")                            \
  X(cxSFilterOperatorNextTwoWeeks, 62129, "is next two weeks")                        \
  X(cxSFilterOperatorNext30Days, 62130, "is next 30 days")                            \
  X(cxSFilterOperatorNextMonth, 62131, "is next month")                               \
  X(cxSFilterOperatorNextYear, 62132, "is next year")                                 \
  X(cxSFilterOperatorFuture, 62133, "is future")                                      \
  X(cxSFilterAndCaption, 62134, "and")                                                \
  X(cxSFilterOrCaption, 62135, "or")                                                  \
  X(cxSFilterNotCaption, 62136, "not")                                                \
  X(cxSFilterBlankCaption, 62137, "blank")                                            \
  X(cxSFilterOperatorIsNull, 62138, "is blank")                                       \
  X(cxSFilterOperatorIsNotNull, 62139, "is not blank")                                \
  X(cxSFilterOperatorBeginsWith, 62140, "begins with")                                \
  X(cxSFilterOperatorDoesNotBeginWith, 62141, "does not begin with")                  \
  X(cxSFilterOperatorEndsWith, 62142, "ends with")                                    \
  X(cxSFilterOperatorDoesNotEndWith, 62143, "does not end with")                      \
  X(cxSFilterOperatorContains, 62144, "contains")                                     \
  X(cxSFilterOperatorDoesNotContain, 62145, "does not contain")                       \
  X(cxSFilterBoxAllCaption, 62146, "(All)")                                           \
  X(cxSFilterBoxCustomCaption, 62147, "(Custom...)")                                  \
  X(cxSFilterBoxBlanksCaption, 62148, "(Blanks)")                                     \
  X(cxSFilterBoxNonBlanksCaption, 62149, "(NonBlanks)")

CX_DATA_FILTER_TEXTS(RESOURCESTRING)

void cxFilterConstsInitialize();
void cxFilterConstsFinalize();
