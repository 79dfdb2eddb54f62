#include "calendars/JAPANCalendar.h"

#include "calendars/HolidayRules.h"

namespace tavrin {

namespace {

// Children's Day moves to 6 May when 5 May or one of the two holidays before it (3 and 4 May) falls on a
// weekend; 5 May is then not listed.
int64_t childrensDay(int64_t may5) {
    using holiday_rules::isWeekend;
    return isWeekend(may5) || isWeekend(may5 - 1) || isWeekend(may5 - 2) ? may5 + 1 : may5;
}

} // namespace

// Sunday holidays move to the Monday where a row says so; a Saturday is never moved. The equinoxes come
// from the day-of-month formulas, not from the Easter table.
void JAPANCalendar::appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const {
    using namespace holiday_rules;
    const auto date = [year](int32_t day, int32_t month) { return dayNumber64(day, month, year); };
    // Rows whose rule changed: a fixed date (moved from Sunday unless noted) became a Monday of the month.
    const int64_t comingOfAge = year >= 2000 ? nthWeekday(2, Monday, 1, year) : date(15, 1); // never moved
    const int64_t marine = year >= 2003 ? nthWeekday(3, Monday, 7, year) : sundayToMonday(date(20, 7));
    const int64_t respectForAged =
        year >= 2003 ? nthWeekday(3, Monday, 9, year) : sundayToMonday(date(15, 9));
    const int64_t healthAndSports =
        year >= 2000 ? nthWeekday(2, Monday, 10, year) : sundayToMonday(date(10, 10));
    // From 2003 the day after Respect for the Aged Day is a holiday when the equinox, as computed and
    // before any Sunday move, falls two days after it (day 0 of September is 31 August).
    const int32_t autumnalEquinox = autumnalEquinoxDay(year);
    const bool betweenTwoHolidays = year >= 2003 && autumnalEquinox - (respectForAged - date(0, 9)) == 2;

    out.push_back(date(1, 1));                                      // New Year holiday
    out.push_back(date(2, 1));                                      // New Year holiday
    out.push_back(date(3, 1));                                      // New Year holiday
    out.push_back(comingOfAge);                                     // Coming of Age Day
    out.push_back(sundayToMonday(date(11, 2)));                     // National Foundation Day
    out.push_back(sundayToMonday(date(vernalEquinoxDay(year), 3))); // Vernal Equinox Day
    out.push_back(sundayToMonday(date(29, 4)));                     // Greenery Day
    out.push_back(date(3, 5));                                      // Constitution Memorial Day
    out.push_back(date(4, 5));                                      // national holiday
    out.push_back(childrensDay(date(5, 5)));                        // Children's Day
    appendIf(out, year >= 1996, marine);                            // Marine Day, from 1996
    out.push_back(respectForAged);                                  // Respect for the Aged Day
    appendIf(out, betweenTwoHolidays, respectForAged + 1);          // day between two holidays
    out.push_back(sundayToMonday(date(autumnalEquinox, 9)));        // Autumnal Equinox Day
    out.push_back(healthAndSports);                                 // Health and Sports Day
    out.push_back(sundayToMonday(date(3, 11)));                     // Culture Day
    out.push_back(sundayToMonday(date(23, 11)));                    // Labour Thanksgiving Day
    appendIf(out, year >= 1989, sundayToMonday(date(23, 12)));      // Emperor's Birthday, from 1989
    out.push_back(date(31, 12));                                    // year-end closing
    appendIf(out, year == 1959, date(10, 4));                       // one-off closing day
    appendIf(out, year == 1989, date(24, 2));                       // one-off closing day
    appendIf(out, year == 1990, date(12, 11));                      // one-off closing day
    appendIf(out, year == 1993, date(9, 6));                        // one-off closing day
}

// From 2003 the rows are fixed, but the equinoxes drift back a day every 65 years or so: they are the
// strays. Once both lie before the year (after about 19 300) they can no more meet the year's other days
// or the day between two holidays, and the rest follows from the weekdays. Before that the year is walked.
bool JAPANCalendar::kindOfYear(const YearFacts& year, uint64_t& kind, std::vector<int64_t>& strays) const {
    using holiday_rules::sundayToMonday;
    if (year.year() < 2003)
        return false;
    // Day d of March, as dayNumber64 gives it, is 58 + d days after 1 January (59 + d in a leap year), and
    // day d of September 184 days later.
    const int64_t beforeMarch = year.firstDay() + 58 + (isLeapYear(year.year()) ? 1 : 0);
    const int64_t vernal = sundayToMonday(beforeMarch + vernalEquinoxDay(year.year()));
    const int64_t autumnal = sundayToMonday(beforeMarch + 184 + autumnalEquinoxDay(year.year()));
    if (vernal >= year.firstDay() || autumnal >= year.firstDay())
        return false;
    strays.push_back(vernal);
    strays.push_back(autumnal);
    kind = 0;
    return true;
}

} // namespace tavrin
