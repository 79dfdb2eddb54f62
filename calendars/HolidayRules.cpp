#include "calendars/HolidayRules.h"

namespace holiday_rules {

int64_t nthWeekday(int32_t n, Weekday weekday, int32_t month, int32_t year) {
    return onOrAfter(dayNumber64(1, month, year), weekday) + 7 * (n - 1);
}

int64_t lastMonday(int32_t month, int32_t year) {
    const int64_t firstOfNextMonth = dayNumber64(1, month, year) + daysInMonth(month, year);
    return onOrAfter(firstOfNextMonth, Monday) - 7;
}

} // namespace holiday_rules
