#include "calendars/maintained/XNYSCalendar.h"

#include "calendars/HolidayRules.h"

namespace tavrin {

namespace {

// Every unscheduled full-day closing since 1990. Late openings and early closes are not closings.
constexpr std::array<holiday_rules::TableDay, 11> kUnscheduledClosings{{
    {1994, 4, 27}, // funeral of former President Nixon
    {2001, 9, 11}, // attacks on the World Trade Center, reopened on Monday 17 September
    {2001, 9, 12},
    {2001, 9, 13},
    {2001, 9, 14},
    {2004, 6, 11},  // national day of mourning, Reagan
    {2007, 1, 2},   // national day of mourning, Ford
    {2012, 10, 29}, // Hurricane Sandy
    {2012, 10, 30}, // Hurricane Sandy
    {2018, 12, 5},  // national day of mourning, G.H.W. Bush
    {2025, 1, 9},   // national day of mourning, Carter
}};
static_assert(holiday_rules::isInYearOrder(kUnscheduledClosings));

} // namespace

// The New York Stock Exchange. A holiday on a Saturday closes the Friday before and one on a Sunday the
// Monday after, except New Year's Day: a Saturday 1 January closes nothing, since the Friday before ends the
// accounting year. Columbus Day and Veterans Day are trading days.
void XNYSCalendar::appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const {
    using namespace holiday_rules;
    const YearDates date(year);
    const std::size_t from = out.size();
    out.push_back(sundayToMonday(date(1, 1)));                  // New Year's Day
    appendIf(out, year >= 1998, date.nthWeekday(3, Monday, 1)); // Martin Luther King Jr. Day, from 1998
    appendIf(out, year >= 1971, date.nthWeekday(3, Monday, 2)); // Washington's Birthday
    out.push_back(easterMonday(year) - 3);                      // Good Friday, jobs report or not
    appendIf(out, year >= 1971, date.lastMonday(5));            // Memorial Day
    appendIf(out, year >= 2022, weekendToNearestWeekday(date(19, 6))); // Juneteenth, closed from 2022
    out.push_back(weekendToNearestWeekday(date(4, 7)));                // Independence Day
    out.push_back(date.nthWeekday(1, Monday, 9));                      // Labor Day
    out.push_back(date.nthWeekday(4, Thursday, 11));                   // Thanksgiving Day
    out.push_back(weekendToNearestWeekday(date(25, 12)));              // Christmas Day
    appendTableDays(kUnscheduledClosings, year, out);                  // unscheduled closings
    dropWeekends(out, from);
}

// From 2026, past the unscheduled closings, the weekdays and Easter tell all.
bool XNYSCalendar::kindOfYear(const YearFacts& year, uint64_t& kind, std::vector<int64_t>&) const {
    kind = static_cast<uint64_t>(year.easterMondayDayOfYear());
    return year.year() >= 2026;
}

} // namespace tavrin
