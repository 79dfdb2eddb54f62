#pragma once

// The host's 1900 date system: day 1 is 1 January 1900, 29 February 1900 exists (day 60), and from then on
// the Gregorian calendar, so 2100 is not a leap year. Day 0 is shown as 0 January 1900; the last day is
// 31 December 9999 (2 958 465).

#include <cstdint>
#include <optional>

namespace xlhost {

inline constexpr int32_t kLastHostDay = 2958465;

// DATE(year, month, day) as the spreadsheet computes it: each argument truncated; years 0 to 1899 are
// counted from 1900; months and days outside their range carry into the year and month. Nullopt (#NUM!)
// for a year outside 0 to 9999 or a result outside 0 to 2 958 465.
std::optional<int32_t> hostDate(double year, double month, double day);

struct HostYmd {
    int32_t year;
    int32_t month;
    int32_t day;
};
// The calendar date of a day number (truncated); nullopt outside 0 to 2 958 465.
std::optional<HostYmd> hostCalendarDate(double serial);

} // namespace xlhost
