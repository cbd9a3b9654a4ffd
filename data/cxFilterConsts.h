#pragma once
// The texts of the filter: operator captions, the words of filter captions
// and the fixed entries of a column's filter value list. They are read
// through LoadFilterText so that they can be replaced with the other library
// texts.
#include "platform/rtl/resstr.h"
#include "platform/rtl/types.h"

inline constexpr TResourceString cxSFilterOperatorEqual{65200, u"equals"};
inline constexpr TResourceString cxSFilterOperatorNotEqual{65201, u"does not equal"};
inline constexpr TResourceString cxSFilterOperatorLess{65202, u"is less than"};
inline constexpr TResourceString cxSFilterOperatorLessEqual{65203, u"is less than or equal to"};
inline constexpr TResourceString cxSFilterOperatorGreater{65204, u"is greater than"};
inline constexpr TResourceString cxSFilterOperatorGreaterEqual{65205, u"is greater than or equal to"};
inline constexpr TResourceString cxSFilterOperatorLike{65206, u"like"};
inline constexpr TResourceString cxSFilterOperatorNotLike{65207, u"not like"};
inline constexpr TResourceString cxSFilterOperatorBetween{65208, u"between"};
inline constexpr TResourceString cxSFilterOperatorNotBetween{65209, u"not between"};
inline constexpr TResourceString cxSFilterOperatorInList{65210, u"in"};
inline constexpr TResourceString cxSFilterOperatorNotInList{65211, u"not in"};
inline constexpr TResourceString cxSFilterOperatorYesterday{65212, u"is yesterday"};
inline constexpr TResourceString cxSFilterOperatorToday{65213, u"is today"};
inline constexpr TResourceString cxSFilterOperatorTomorrow{65214, u"is tomorrow"};
inline constexpr TResourceString cxSFilterOperatorLastWeek{65215, u"is last week"};
inline constexpr TResourceString cxSFilterOperatorLastMonth{65216, u"is last month"};
inline constexpr TResourceString cxSFilterOperatorLastYear{65217, u"is last year"};
inline constexpr TResourceString cxSFilterOperatorThisWeek{65218, u"is this week"};
inline constexpr TResourceString cxSFilterOperatorThisMonth{65219, u"is this month"};
inline constexpr TResourceString cxSFilterOperatorThisYear{65220, u"is this year"};
inline constexpr TResourceString cxSFilterOperatorNextWeek{65221, u"is next week"};
inline constexpr TResourceString cxSFilterOperatorNextMonth{65222, u"is next month"};
inline constexpr TResourceString cxSFilterOperatorNextYear{65223, u"is next year"};
inline constexpr TResourceString cxSFilterOperatorIsNull{65224, u"is blank"};
inline constexpr TResourceString cxSFilterOperatorIsNotNull{65225, u"is not blank"};
inline constexpr TResourceString cxSFilterOperatorBeginsWith{65226, u"begins with"};
inline constexpr TResourceString cxSFilterOperatorDoesNotBeginWith{65227, u"does not begin with"};
inline constexpr TResourceString cxSFilterOperatorEndsWith{65228, u"ends with"};
inline constexpr TResourceString cxSFilterOperatorDoesNotEndWith{65229, u"does not end with"};
inline constexpr TResourceString cxSFilterOperatorContains{65230, u"contains"};
inline constexpr TResourceString cxSFilterOperatorDoesNotContain{65231, u"does not contain"};

inline constexpr TResourceString cxSFilterAndCaption{65232, u"and"};
inline constexpr TResourceString cxSFilterOrCaption{65233, u"or"};
inline constexpr TResourceString cxSFilterNotCaption{65234, u"not"};
inline constexpr TResourceString cxSFilterBlankCaption{65235, u"blank"};

inline constexpr TResourceString cxSFilterBoxAllCaption{65236, u"(All)"};
inline constexpr TResourceString cxSFilterBoxCustomCaption{65237, u"(Custom...)"};
inline constexpr TResourceString cxSFilterBoxBlanksCaption{65238, u"(Blanks)"};
inline constexpr TResourceString cxSFilterBoxNonBlanksCaption{65239, u"(NonBlanks)"};

// A replacement source of the filter texts. Nothing is installed by default;
// the texts then come through the library's text accessor.
using TcxFilterTextHook = String (*)(const TResourceString& AResString);
void SetFilterTextHook(TcxFilterTextHook AHook);
TcxFilterTextHook GetFilterTextHook();

void LoadFilterText(const TResourceString& AResString, String& AText);
// The same, as a result.
String cxGetFilterText(const TResourceString& AResString);
