#include "calendars/maintained/EUTACalendar.h"

#include "calendars/HolidayRules.h"

namespace tavrin {

namespace {

constexpr std::array<holiday_rules::TableDay, 2> kExtraClosings{{
    {1999, 12, 31}, // the change to the year 2000
    {2001, 12, 31}, // the euro cash changeover
}};
static_assert(holiday_rules::isInYearOrder(kExtraClosings));

} // namespace

// The TARGET payment system's closing days (TARGET2 and T2 kept them). A closing day on a weekend is lost,
// not moved. Before TARGET (1999) only 1 January and 25 December close, as the markets it replaced did.
void EUTACalendar::appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const {
    using namespace holiday_rules;
    const YearDates date(year);
    const std::size_t from = out.size();
    const int64_t easter = easterMonday(year);
    out.push_back(date(1, 1));                  // New Year's Day
    appendIf(out, year >= 2000, easter - 3);    // Good Friday, from 2000
    appendIf(out, year >= 2000, easter);        // Easter Monday, from 2000
    appendIf(out, year >= 2000, date(1, 5));    // Labour Day, from 2000
    out.push_back(date(25, 12));                // Christmas Day
    appendIf(out, year >= 2000, date(26, 12));  // 26 December, from 2000
    appendTableDays(kExtraClosings, year, out); // extra closings
    dropWeekends(out, from);
}

// From 2002, past the rows that start in 2000 and the extra closings, the weekdays and Easter tell all.
bool EUTACalendar::kindOfYear(const YearFacts& year, uint64_t& kind, std::vector<int64_t>&) const {
    kind = static_cast<uint64_t>(year.easterMondayDayOfYear());
    return year.year() >= 2002;
}

} // namespace tavrin
