#include "calendars/maintained/USNYCalendar.h"

#include "calendars/HolidayRules.h"

namespace tavrin {

// New York banking days: the Federal Reserve Banks' holiday schedule. A holiday on a Sunday closes the Monday
// after; on a Saturday the Reserve Banks open on the Friday before, so no weekday closes (a Saturday 1
// January leaves 31 December open). No unscheduled closing is known since 1990: the mourning days of 2004,
// 2007, 2018 and 2025 left the Fed's payment systems running.
void USNYCalendar::appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const {
    using namespace holiday_rules;
    const YearDates date(year);
    const std::size_t from = out.size();
    out.push_back(sundayToMonday(date(1, 1)));                   // New Year's Day
    appendIf(out, year >= 1986, date.nthWeekday(3, Monday, 1));  // Martin Luther King Jr. Day
    appendIf(out, year >= 1971, date.nthWeekday(3, Monday, 2));  // Washington's Birthday
    appendIf(out, year >= 1971, date.lastMonday(5));             // Memorial Day
    appendIf(out, year >= 2022, sundayToMonday(date(19, 6)));    // Juneteenth, closed from 2022
    out.push_back(sundayToMonday(date(4, 7)));                   // Independence Day
    out.push_back(date.nthWeekday(1, Monday, 9));                // Labor Day
    appendIf(out, year >= 1971, date.nthWeekday(2, Monday, 10)); // Columbus Day
    appendIf(out, year >= 1978, sundayToMonday(date(11, 11)));   // Veterans Day, 11 Nov again
    out.push_back(date.nthWeekday(4, Thursday, 11));             // Thanksgiving Day
    out.push_back(sundayToMonday(date(25, 12)));                 // Christmas Day
    dropWeekends(out, from);
}

// From 2022, when Juneteenth joined, the weekdays tell all.
bool USNYCalendar::kindOfYear(const YearFacts& year, uint64_t& kind, std::vector<int64_t>&) const {
    kind = 0;
    return year.year() >= 2022;
}

} // namespace tavrin
