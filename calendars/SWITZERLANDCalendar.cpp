#include "calendars/SWITZERLANDCalendar.h"

#include "calendars/HolidayRules.h"

namespace tavrin {

// No Swiss date is moved off a weekend, and two rows landing on one day (Ascension on 1 May) both list it.
void SWITZERLANDCalendar::appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const {
    using namespace holiday_rules;
    const auto date = [year](int32_t day, int32_t month) { return dayNumber64(day, month, year); };
    const int64_t easter = easterMonday(year);
    out.push_back(date(1, 1));   // New Year's Day
    out.push_back(date(2, 1));   // Berchtold's Day
    out.push_back(easter - 3);   // Good Friday
    out.push_back(easter);       // Easter Monday
    out.push_back(easter + 38);  // Ascension Day
    out.push_back(easter + 49);  // Whit Monday
    out.push_back(date(1, 5));   // Labour Day
    out.push_back(date(1, 8));   // National Day
    out.push_back(date(25, 12)); // Christmas Day
    out.push_back(date(26, 12)); // St Stephen's Day
}

// No rule starts or ends: every year's dates follow from its weekdays and Easter.
bool SWITZERLANDCalendar::kindOfYear(const YearFacts& year, uint64_t& kind, std::vector<int64_t>&) const {
    kind = static_cast<uint64_t>(year.easterMondayDayOfYear());
    return true;
}

} // namespace tavrin
