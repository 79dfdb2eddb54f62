#pragma once

#include <array>
#include <cstdint>

namespace tavrin {

// Day of the year (1 January = 1, real Gregorian calendar) of Easter Monday for any year: the table for
// 1901-2199, the Gregorian Easter rule elsewhere. Good Friday is J + T - 4, Ascension J + T + 37 and Whit
// Monday J + T + 48, with J the day number of 1 January.
//
// T counts days of the real Gregorian year while J is ours (every fourth year leap), so J + T - 1 is a
// Monday from 1901 to 2100 only: in 1900 and after 2100 our extra leap days shift it off the Monday.
int32_t easterMondayDayOfYear(int32_t year);

// The Gregorian Easter rule alone, for any year from 0 on; it reproduces every entry of the table.
int32_t gregorianEasterMondayDayOfYear(int32_t year);

inline constexpr int32_t kEasterTableFirstYear = 1901;
inline constexpr int32_t kEasterTableLastYear = 2199;
extern const std::array<int32_t, kEasterTableLastYear - kEasterTableFirstYear + 1> kEasterMondayTable;

} // namespace tavrin
