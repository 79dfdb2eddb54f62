#include "calendars/NYSECalendar.h"

#include "calendars/HolidayRules.h"

namespace tavrin {

// The US rules without Columbus Day and Veterans Day.
void NYSECalendar::appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const {
    using namespace holiday_rules;
    const auto date = [year](int32_t day, int32_t month) { return dayNumber64(day, month, year); };
    out.push_back(sundayToMonday(date(1, 1)));            // New Year's Day; a Saturday is not moved
    out.push_back(nthWeekday(3, Monday, 1, year));        // Martin Luther King Day
    out.push_back(nthWeekday(3, Monday, 2, year));        // Presidents' Day
    out.push_back(easterMonday(year) - 3);                // Good Friday
    out.push_back(lastMonday(5, year));                   // Memorial Day
    out.push_back(weekendToNearestWeekday(date(4, 7)));   // Independence Day
    out.push_back(nthWeekday(1, Monday, 9, year));        // Labor Day
    out.push_back(nthWeekday(4, Thursday, 11, year));     // Thanksgiving
    out.push_back(weekendToNearestWeekday(date(25, 12))); // Christmas Day
}

// No rule starts or ends: every year's dates follow from its weekdays and Easter.
bool NYSECalendar::kindOfYear(const YearFacts& year, uint64_t& kind, std::vector<int64_t>&) const {
    kind = static_cast<uint64_t>(year.easterMondayDayOfYear());
    return true;
}

} // namespace tavrin
