#include "calendars/maintained/GBLOCalendar.h"

#include "calendars/HolidayRules.h"

namespace tavrin {

namespace {

// Years whose early May or spring bank holiday was moved by proclamation; the moved day is in the table
// of proclaimed days below.
constexpr std::array<int32_t, 2> kEarlyMayMoved{1995, 2020};
constexpr std::array<int32_t, 3> kSpringMoved{2002, 2012, 2022};

// Bank holidays proclaimed for one year: moved holidays and extra ones.
constexpr std::array<holiday_rules::TableDay, 12> kProclaimedDays{{
    {1995, 5, 8},   // early May holiday moved to VE Day (50th anniversary)
    {1999, 12, 31}, // Millennium
    {2002, 6, 3},   // Golden Jubilee
    {2002, 6, 4},   // spring holiday moved from 27 May
    {2011, 4, 29},  // royal wedding
    {2012, 6, 4},   // spring holiday moved from 28 May
    {2012, 6, 5},   // Diamond Jubilee
    {2020, 5, 8},   // early May holiday moved to VE Day (75th anniversary)
    {2022, 6, 2},   // spring holiday moved from 30 May
    {2022, 6, 3},   // Platinum Jubilee
    {2022, 9, 19},  // state funeral of Queen Elizabeth II
    {2023, 5, 8},   // coronation of King Charles III (the early May holiday stayed on 1 May)
}};
static_assert(holiday_rules::isInYearOrder(kProclaimedDays));

} // namespace

// London: the bank holidays of England and Wales.
void GBLOCalendar::appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const {
    using namespace holiday_rules;
    const YearDates date(year);
    const std::size_t from = out.size();
    const int64_t easter = easterMonday(year);
    const auto [christmas, boxingDay] = londonChristmasAndBoxingDay(date(25, 12));
    appendIf(out, year >= 1974, weekendToMonday(date(1, 1))); // New Year's Day
    out.push_back(easter - 3);                                // Good Friday
    out.push_back(easter);                                    // Easter Monday
    appendIf(out, year >= 1978 && !yearListed(kEarlyMayMoved, year), date.nthWeekday(1, Monday, 5)); // May
    appendIf(out, year >= 1971 && !yearListed(kSpringMoved, year), date.lastMonday(5)); // spring holiday
    appendIf(out, year >= 1971, date.lastMonday(8));                                    // summer holiday
    out.push_back(christmas);                                                           // Christmas Day
    out.push_back(boxingDay);                                                           // Boxing Day
    appendTableDays(kProclaimedDays, year, out);                                        // proclaimed days
    dropWeekends(out, from);
}

// From 2024, past the proclaimed days, the weekdays and Easter tell all.
bool GBLOCalendar::kindOfYear(const YearFacts& year, uint64_t& kind, std::vector<int64_t>&) const {
    kind = static_cast<uint64_t>(year.easterMondayDayOfYear());
    return year.year() >= 2024;
}

} // namespace tavrin
