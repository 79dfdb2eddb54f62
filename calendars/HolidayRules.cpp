#include "calendars/HolidayRules.h"

namespace tavrin {

namespace holiday_rules {

int64_t nthWeekday(int32_t n, Weekday weekday, int32_t month, int32_t year) {
    return onOrAfter(dayNumber64(1, month, year), weekday) + 7 * (n - 1);
}

int64_t lastMonday(int32_t month, int32_t year) {
    const int64_t firstOfNextMonth = dayNumber64(1, month, year) + daysInMonth(month, year);
    return onOrAfter(firstOfNextMonth, Monday) - 7;
}

std::pair<int64_t, int64_t> londonChristmasAndBoxingDay(int64_t christmas) {
    switch (weekdayOf(christmas)) {
    case Friday:
        return {christmas, christmas + 3};
    case Saturday:
        return {christmas + 2, christmas + 3};
    case Sunday:
        return {christmas + 1, christmas + 2};
    default:
        return {christmas, christmas + 1};
    }
}

void dropWeekends(std::vector<int64_t>& out, std::size_t from) {
    out.erase(std::remove_if(out.begin() + static_cast<std::ptrdiff_t>(from), out.end(),
                             [](int64_t day) { return isWeekend(day); }),
              out.end());
}

} // namespace holiday_rules

} // namespace tavrin
