#pragma once

#include "calendars/Easter.h"
#include "dates/SerialDate.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace tavrin {

// Weekday arithmetic shared by the market calendars. Days are 64-bit day numbers of years from 1900 on, so
// they are at least 1 and their remainder by 7 is the weekday.
namespace holiday_rules {

enum Weekday : int32_t { Saturday = 0, Sunday, Monday, Tuesday, Wednesday, Thursday, Friday };

constexpr int32_t weekdayOf(int64_t day) {
    return static_cast<int32_t>(day % 7);
}

constexpr bool isWeekend(int64_t day) {
    return weekdayOf(day) < Monday;
}

// The first `weekday` on or after `day`.
constexpr int64_t onOrAfter(int64_t day, Weekday weekday) {
    return day + (weekday - weekdayOf(day) + 7) % 7;
}

// The n-th (from 1) `weekday` of a month.
int64_t nthWeekday(int32_t n, Weekday weekday, int32_t month, int32_t year);

// The last Monday of a month: the first Monday of the next month minus 7.
int64_t lastMonday(int32_t month, int32_t year);

// A Sunday holiday is taken on the Monday after; a Saturday one stays where it is.
constexpr int64_t sundayToMonday(int64_t day) {
    return weekdayOf(day) == Sunday ? day + 1 : day;
}

// A Saturday holiday is taken on the Friday before, a Sunday one on the Monday after.
constexpr int64_t weekendToNearestWeekday(int64_t day) {
    const int32_t w = weekdayOf(day);
    return w == Saturday ? day - 1 : w == Sunday ? day + 1 : day;
}

// A Saturday or Sunday holiday is taken on the Monday after.
constexpr int64_t weekendToMonday(int64_t day) {
    return onOrAfter(day, Monday);
}

// Easter Monday as J + T - 1 (J our 1 January, T its day of the year); Good Friday is 3 days before,
// Ascension 38 and Whit Monday 49 days after.
inline int64_t easterMonday(int32_t year) {
    return dayNumber64(1, 1, year) + easterMondayDayOfYear(year) - 1;
}

// Appends the day of a row whose year condition holds; a row whose condition fails gives nothing.
inline void appendIf(std::vector<int64_t>& out, bool holds, int64_t day) {
    if (holds)
        out.push_back(day);
}

// The dates of one year counted from its 1 January: the date arithmetic runs once per year, not once per
// rule. Same day numbers as dayNumber64 (every fourth year a leap year, day 1 is 1 January 1900), computed
// here in the open so that tables of known years can be built at compile time. Needs year >= 1900.
class YearDates {
public:
    constexpr explicit YearDates(int32_t year)
        : year_(year), jan1_(365 * (int64_t{year} - 1900) + (int64_t{year} - 1900 + 3) / 4 + 1) {}

    constexpr int32_t year() const { return year_; }
    constexpr int64_t operator()(int32_t day, int32_t month) const {
        constexpr std::array<int32_t, 12> kDaysBefore{0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
        return jan1_ + kDaysBefore[static_cast<std::size_t>(month - 1)] +
               (month > 2 && isLeapYear(year_) ? 1 : 0) + day - 1;
    }
    // The n-th (from 1) `weekday` of a month.
    constexpr int64_t nthWeekday(int32_t n, Weekday weekday, int32_t month) const {
        return onOrAfter((*this)(1, month), weekday) + 7 * (n - 1);
    }
    // The last Monday of a month: the first Monday of the next month minus 7.
    constexpr int64_t lastMonday(int32_t month) const {
        const int64_t firstOfNextMonth = month == 12 ? (*this)(31, 12) + 1 : (*this)(1, month + 1);
        return onOrAfter(firstOfNextMonth, Monday) - 7;
    }

private:
    int32_t year_;
    int64_t jan1_;
};

// A day of a year-keyed table: one-off closings, moved holidays and proclaimed dates.
struct TableDay {
    int32_t year;
    int32_t month;
    int32_t day;
};

// Whether a table is in year order, so that a year's rows can be found by binary search.
template <std::size_t N>
constexpr bool isInYearOrder(const std::array<TableDay, N>& table) {
    return std::is_sorted(table.begin(), table.end(),
                          [](const TableDay& a, const TableDay& b) { return a.year < b.year; });
}

// Appends the days a year-ordered table holds for one year (looked up, not scanned).
template <std::size_t N>
void appendTableDays(const std::array<TableDay, N>& table, int32_t year, std::vector<int64_t>& out) {
    const auto rows = std::equal_range(table.begin(), table.end(), TableDay{year, 0, 0},
                                       [](const TableDay& a, const TableDay& b) { return a.year < b.year; });
    for (auto row = rows.first; row != rows.second; ++row)
        out.push_back(dayNumber64(row->day, row->month, year));
}

// Whether a sorted list of years holds a year.
template <std::size_t N>
constexpr bool yearListed(const std::array<int32_t, N>& years, int32_t year) {
    return std::binary_search(years.begin(), years.end(), year);
}

// Christmas Day and Boxing Day as London observes them, chosen together by the weekday of 25 December so
// that both fall on weekdays: Friday 25 gives Monday 28, Saturday 25 gives Monday 27 and Tuesday 28, Sunday
// 25 gives Monday 26 and Tuesday 27.
std::pair<int64_t, int64_t> londonChristmasAndBoxingDay(int64_t christmas);

// The maintained calendars list only the days a market is closed: the days appended from `from` on are cut to
// weekdays. Their rules give each day once; the listing sorts.
void dropWeekends(std::vector<int64_t>& out, std::size_t from);

} // namespace holiday_rules

} // namespace tavrin
