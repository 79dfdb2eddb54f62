#include "calendars/maintained/CHZUCalendar.h"

#include "calendars/HolidayRules.h"

namespace tavrin {

// Zurich: the days that are no Swiss franc value days. There is no weekend substitution. 24 and 31 December
// are open: only the exchange closes then. 1 August closes in every year, as the banks kept it before it
// became a federal holiday in 1994. The millennium days 1999-12-31 and 2000-01-03 are not applied: no
// record shows the banks' clearing closed on them.
void CHZUCalendar::appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const {
    using namespace holiday_rules;
    const YearDates date(year);
    const std::size_t from = out.size();
    const int64_t easter = easterMonday(year);
    out.push_back(date(1, 1));                             // New Year's Day
    out.push_back(date(2, 1));                             // Berchtoldstag
    out.push_back(easter - 3);                             // Good Friday
    out.push_back(easter);                                 // Easter Monday
    out.push_back(date(1, 5));                             // Labour Day
    appendIf(out, easter + 38 != date(1, 5), easter + 38); // Ascension Day, unless it is 1 May (2008)
    out.push_back(easter + 49);                            // Whit Monday
    out.push_back(date(1, 8));                             // Swiss National Day
    out.push_back(date(25, 12));                           // Christmas Day
    out.push_back(date(26, 12));                           // St Stephen's Day
    dropWeekends(out, from);
}

// No rule starts or ends: every year's dates follow from its weekdays and Easter.
bool CHZUCalendar::kindOfYear(const YearFacts& year, uint64_t& kind, std::vector<int64_t>&) const {
    kind = static_cast<uint64_t>(year.easterMondayDayOfYear());
    return true;
}

} // namespace tavrin
