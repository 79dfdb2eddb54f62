#include "calendars/maintained/USGSCalendar.h"

#include "calendars/HolidayRules.h"

namespace tavrin {

namespace {

// Unscheduled full closes of the bond market. Early closes are no closings: 2001-09-17, 2007-01-02 (Ford),
// 2012-10-29 (the day before the Sandy close) and 2025-01-09 (Carter). The Nixon funeral, 1994-04-27, left
// the bond market open as far as any record shows.
constexpr std::array<holiday_rules::TableDay, 5> kFullCloses{{
    {2001, 9, 11},  // attacks on the World Trade Center
    {2001, 9, 12},  // trading resumed on 13 September
    {2004, 6, 11},  // national day of mourning, Reagan
    {2012, 10, 30}, // Hurricane Sandy
    {2018, 12, 5},  // national day of mourning, G.H.W. Bush
}};
static_assert(holiday_rules::isInYearOrder(kFullCloses));

} // namespace

// The US government securities market as a settlement calendar: the Federal Reserve holidays plus Good
// Friday, with the bond market's own weekend handling. Good Friday is closed every year: when the March jobs
// report falls on it the market only closes early, but its recommendation calls such a day no good
// settlement day, which is what a settlement calendar must know. A Saturday New Year's Day or Veterans Day
// closes no Friday; Juneteenth, Independence Day and Christmas Day on a Saturday close the Friday before.
void USGSCalendar::appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const {
    using namespace holiday_rules;
    const YearDates date(year);
    const std::size_t from = out.size();
    out.push_back(sundayToMonday(date(1, 1)));                         // New Year's Day
    appendIf(out, year >= 1986, date.nthWeekday(3, Monday, 1));        // Martin Luther King Jr. Day
    appendIf(out, year >= 1971, date.nthWeekday(3, Monday, 2));        // Washington's Birthday
    out.push_back(easterMonday(year) - 3);                             // Good Friday
    appendIf(out, year >= 1971, date.lastMonday(5));                   // Memorial Day
    appendIf(out, year >= 2022, weekendToNearestWeekday(date(19, 6))); // Juneteenth, closed from 2022
    out.push_back(weekendToNearestWeekday(date(4, 7)));                // Independence Day
    out.push_back(date.nthWeekday(1, Monday, 9));                      // Labor Day
    appendIf(out, year >= 1971, date.nthWeekday(2, Monday, 10));       // Columbus Day
    appendIf(out, year >= 1978, sundayToMonday(date(11, 11)));         // Veterans Day
    out.push_back(date.nthWeekday(4, Thursday, 11));                   // Thanksgiving Day
    out.push_back(weekendToNearestWeekday(date(25, 12)));              // Christmas Day
    appendTableDays(kFullCloses, year, out);                           // unscheduled full closes
    dropWeekends(out, from);
}

// From 2023, past Juneteenth's start and the unscheduled closes, the weekdays and Easter tell all.
bool USGSCalendar::kindOfYear(const YearFacts& year, uint64_t& kind, std::vector<int64_t>&) const {
    kind = static_cast<uint64_t>(year.easterMondayDayOfYear());
    return year.year() >= 2023;
}

} // namespace tavrin
