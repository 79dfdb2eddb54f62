#include "calendars/TARGETCalendar.h"

#include "calendars/HolidayRules.h"

namespace tavrin {

// No TARGET date is moved off a weekend.
void TARGETCalendar::appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const {
    using namespace holiday_rules;
    const auto date = [year](int32_t day, int32_t month) { return dayNumber64(day, month, year); };
    const int64_t easter = easterMonday(year);
    out.push_back(date(1, 1));                 // New Year's Day
    appendIf(out, year >= 2000, easter - 3);   // Good Friday, from 2000
    appendIf(out, year >= 2000, easter);       // Easter Monday, from 2000
    appendIf(out, year >= 2000, date(1, 5));   // Labour Day, from 2000
    out.push_back(date(25, 12));               // Christmas Day
    appendIf(out, year >= 2000, date(26, 12)); // 26 December, from 2000
    appendIf(out, year == 1998, date(31, 12)); // one-off closing day
    appendIf(out, year == 1999, date(31, 12)); // one-off closing day
    appendIf(out, year == 2001, date(31, 12)); // one-off closing day
}

// From 2002, past the rows that start in 2000 and the one-off closings, the weekdays and Easter tell all.
bool TARGETCalendar::kindOfYear(const YearFacts& year, uint64_t& kind, std::vector<int64_t>&) const {
    kind = static_cast<uint64_t>(year.easterMondayDayOfYear());
    return year.year() >= 2002;
}

} // namespace tavrin
