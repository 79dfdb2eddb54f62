#pragma once

// The business-day operations transcribed day by day, as plainly as possible, to check the fast ones
// against. Holiday lists are built literally (member after member, a later member adding what is not yet
// listed) and every search grows its window one day at a time. The only shortcut: a window's count is
// carried over from the previous step while the years it reaches stay the same (the day joining it is
// checked against the holidays of those years), and recounted from scratch when they change. Where the
// literal search would never end or leave the 32-bit range, the result is empty (the library fails with
// "Invalid date!!" there).

#include "calendars/BusinessCalendar.h"
#include "calendars/MergedBusinessCalendar.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

using namespace tavrin;

namespace reference {

inline int32_t yearOf(int64_t day) {
    return SerialDate(static_cast<int32_t>(day)).year();
}

inline int64_t firstDayOf(int32_t year) {
    return dayNumber64(1, 1, year);
}
inline int64_t lastDayOf(int32_t year) {
    return dayNumber64(31, 12, year);
}

// One calendar's holidays(start, end): every year's rule dates from year(start) to year(end) within
// [start, end], year by year.
inline std::vector<double> memberHolidays(const BusinessCalendar& calendar, int64_t start, int64_t end) {
    std::vector<double> result;
    if (start > end)
        return result;
    for (int32_t year = yearOf(start); year <= yearOf(end); ++year) {
        std::vector<int64_t> dates;
        calendar.appendHolidaysOfYear(year, dates);
        for (const int64_t day : dates)
            if (day >= start && day <= end)
                result.push_back(static_cast<double>(day));
    }
    return result;
}

inline std::vector<double> holidays(const MergedBusinessCalendar& calendar, int64_t start, int64_t end) {
    const auto& members = calendar.calendars();
    std::vector<double> result = memberHolidays(*members.front(), start, end);
    for (std::size_t i = 1; i < members.size(); ++i)
        for (const double day : memberHolidays(*members[i], start, end))
            if (std::find(result.begin(), result.end(), day) == result.end())
                result.push_back(day);
    return result;
}

// A holiday list sorted, only to look days up in it quickly.
inline std::vector<double> sorted(std::vector<double> list) {
    std::sort(list.begin(), list.end());
    return list;
}

// Whether day is open when the holidays are `listed` (weekends by the remainder rule, then extras).
inline bool open(const BusinessCalendar& calendar, const std::vector<double>& listed, int64_t day) {
    if (day % 7 < 2)
        return false;
    const auto& extras = calendar.extraHolidays();
    const auto value = static_cast<double>(day);
    return std::find(extras.begin(), extras.end(), value) == extras.end() &&
           !std::binary_search(listed.begin(), listed.end(), value);
}

inline std::vector<double> nonBusinessDays(const MergedBusinessCalendar& calendar, int64_t start,
                                           int64_t end) {
    std::vector<double> result;
    const std::vector<double> listed = sorted(holidays(calendar, start, end));
    for (int64_t day = start; day < end; ++day)
        if (!open(calendar, listed, day))
            result.push_back(static_cast<double>(day));
    return result;
}

inline bool isBusinessDay(const MergedBusinessCalendar& calendar, int64_t day) {
    return nonBusinessDays(calendar, day, day + 1).empty();
}

inline int64_t businessDayCount(const MergedBusinessCalendar& calendar, int64_t start, int64_t end) {
    if (end <= start)
        return end - start;
    return (end - start) - static_cast<int64_t>(nonBusinessDays(calendar, start, end).size());
}

// Business days in the window [lo, hi], seen as nonBusinessDays(lo, hi + 1) sees them.
inline int64_t windowCount(const MergedBusinessCalendar& calendar, int64_t lo, int64_t hi) {
    return (hi - lo + 1) - static_cast<int64_t>(nonBusinessDays(calendar, lo, hi + 1).size());
}

inline std::optional<int64_t> plusBusinessDays(const MergedBusinessCalendar& calendar, int64_t day,
                                               int64_t n) {
    constexpr int64_t kLast = std::numeric_limits<int32_t>::max();
    if (n == 0)
        return day;
    if (n > 0) {
        int64_t h = day + n;
        if (h + 1 > kLast)
            return std::nullopt;
        int32_t reached = yearOf(h + 1);
        // While the window's end stays in the year reached, it sees these holidays.
        const auto listUpTo = [&] {
            return sorted(holidays(calendar, day + 1, std::min(lastDayOf(reached), kLast)));
        };
        std::vector<double> listed = listUpTo();
        int64_t count = windowCount(calendar, day + 1, h);
        while (count != n) {
            if (++h + 1 > kLast)
                return std::nullopt;
            if (yearOf(h + 1) != reached) { // the window reaches a new year: recount it
                reached = yearOf(h + 1);
                listed = listUpTo();
                count = windowCount(calendar, day + 1, h);
            } else {
                count += open(calendar, listed, h) ? 1 : 0;
            }
        }
        return h;
    }
    int64_t l = day + n;
    int32_t reached = yearOf(l);
    const auto listFrom = [&] {
        return sorted(holidays(
            calendar, reached == 1900 ? std::numeric_limits<int32_t>::min() : firstDayOf(reached), day));
    };
    std::vector<double> listed = listFrom();
    int64_t count = windowCount(calendar, l, day - 1);
    while (count != -n) {
        if (l <= 1) // days of 1 and below are weekends: the search would never end
            return std::nullopt;
        if (yearOf(--l) != reached) {
            reached = yearOf(l);
            listed = listFrom();
            count = windowCount(calendar, l, day - 1);
        } else {
            count += open(calendar, listed, l) ? 1 : 0;
        }
    }
    return l;
}

inline std::optional<int64_t> lastBusinessDayOfMonth(const MergedBusinessCalendar& calendar, int64_t day) {
    const int64_t monthEnd = SerialDate(static_cast<int32_t>(day)).endOfMonth().serial();
    return isBusinessDay(calendar, monthEnd) ? monthEnd : plusBusinessDays(calendar, monthEnd, -1);
}

inline std::optional<int64_t> adjust(const MergedBusinessCalendar& calendar, int64_t day,
                                     const std::wstring& convention) {
    if (isBusinessDay(calendar, day))
        return day;
    const auto is = [&](wchar_t letter) {
        return convention.size() == 1 && (convention[0] == letter || convention[0] == (letter ^ 0x20));
    };
    if (is(L'p'))
        return plusBusinessDays(calendar, day, -1);
    if (is(L's'))
        return plusBusinessDays(calendar, day, 1);
    if (is(L'm')) {
        const auto following = plusBusinessDays(calendar, day, 1);
        if (!following)
            return std::nullopt;
        if (SerialDate(static_cast<int32_t>(*following)).month() ==
            SerialDate(static_cast<int32_t>(day)).month())
            return following;
        return plusBusinessDays(calendar, day, -1);
    }
    return day;
}

// The listing: the merged list put in order by an exchange sort that swaps only on strictly smaller values.
inline std::vector<double> sortedHolidays(const MergedBusinessCalendar& calendar, int64_t start,
                                          int64_t end) {
    std::vector<double> list = holidays(calendar, start, end);
    for (std::size_t i = 0; i < list.size(); ++i)
        for (std::size_t j = i + 1; j < list.size(); ++j)
            if (list[j] < list[i])
                std::swap(list[i], list[j]);
    return list;
}

} // namespace reference
