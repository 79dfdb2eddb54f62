#include "calendars/UKCalendar.h"

#include "calendars/HolidayRules.h"

namespace tavrin {

namespace {

// Christmas Day and Boxing Day, chosen together by the weekday of 25 December so that both fall on
// weekdays.
void appendChristmasAndBoxingDay(int64_t christmas, std::vector<int64_t>& out) {
    using namespace holiday_rules;
    int64_t first = christmas;
    int64_t second = christmas + 1;
    if (weekdayOf(christmas + 1) == Saturday) { // Friday 25 and Monday 28
        second = christmas + 3;
    } else if (weekdayOf(christmas) == Saturday) { // Monday 27 and Tuesday 28
        first = christmas + 2;
        second = christmas + 3;
    } else if (weekdayOf(christmas) == Sunday) { // Monday 26 and Tuesday 27
        first = christmas + 1;
        second = christmas + 2;
    }
    out.push_back(first);
    out.push_back(second);
}

} // namespace

void UKCalendar::appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const {
    using namespace holiday_rules;
    const int64_t easter = easterMonday(year);
    out.push_back(sundayToMonday(dayNumber64(1, 1, year))); // New Year's Day; a Saturday is not moved
    out.push_back(easter - 3);                              // Good Friday
    out.push_back(easter);                                  // Easter Monday
    out.push_back(nthWeekday(1, Monday, 5, year));          // Early May bank holiday
    out.push_back(lastMonday(5, year));                     // Spring bank holiday
    out.push_back(lastMonday(8, year));                     // Summer bank holiday
    appendChristmasAndBoxingDay(dayNumber64(25, 12, year), out);
}

// No rule starts or ends: every year's dates follow from its weekdays and Easter.
bool UKCalendar::kindOfYear(const YearFacts& year, uint64_t& kind, std::vector<int64_t>&) const {
    kind = static_cast<uint64_t>(year.easterMondayDayOfYear());
    return true;
}

} // namespace tavrin
