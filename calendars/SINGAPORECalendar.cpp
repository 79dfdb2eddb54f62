#include "calendars/SINGAPORECalendar.h"

#include "calendars/HolidayRules.h"

namespace tavrin {

// No Singapore date is moved off a weekend.
void SINGAPORECalendar::appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const {
    using namespace holiday_rules;
    const auto date = [year](int32_t day, int32_t month) { return dayNumber64(day, month, year); };
    out.push_back(date(1, 1));             // New Year's Day
    out.push_back(easterMonday(year) - 3); // Good Friday
    out.push_back(date(1, 5));             // Labour Day
    out.push_back(date(9, 8));             // National Day
    out.push_back(date(25, 12));           // Christmas Day
}

// No rule starts or ends: every year's dates follow from its weekdays and Easter.
bool SINGAPORECalendar::kindOfYear(const YearFacts& year, uint64_t& kind, std::vector<int64_t>&) const {
    kind = static_cast<uint64_t>(year.easterMondayDayOfYear());
    return true;
}

} // namespace tavrin
