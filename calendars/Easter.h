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

// The Gregorian Easter rule alone, for any year from 0 on; it reproduces every entry of the table. In the
// header so that calendars whose years are all known can build their tables at compile time.
constexpr int32_t gregorianEasterMondayDayOfYear(int32_t year) {
    // The anonymous Gregorian computus. Every term is non-negative for year >= 0 and far inside int32 for
    // every int32 year (the largest product is 19 * 18 + 21474836).
    const int32_t golden = year % 19;                              // [0, 18], place in the Metonic cycle
    const int32_t century = year / 100;                            // [0, 21474836]
    const int32_t inCentury = year % 100;                          // [0, 99]
    const int32_t solar = century - century / 4;                   // century years that skip the leap day
    const int32_t lunar = (century - (century + 8) / 25 + 1) / 3;  // drift of the Moon's cycle
    const int32_t epact = (19 * golden + solar - lunar + 15) % 30; // [0, 29], full moon after 21 March
    const int32_t toSunday =
        (32 + 2 * (century % 4) + 2 * (inCentury / 4) - epact - inCentury % 4) % 7; // [0, 6]
    const int32_t late = (golden + 11 * epact + 22 * toSunday) / 451; // [0, 1], the two late-moon cases
    const int32_t afterMarch22 = epact + toSunday - 7 * late;         // [0, 34], Easter Sunday
    const bool gregorianLeapYear = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    const int32_t beforeMarch = 31 + 28 + (gregorianLeapYear ? 1 : 0);
    return beforeMarch + 22 + afterMarch22 + 1; // the Monday after
}

inline constexpr int32_t kEasterTableFirstYear = 1901;
inline constexpr int32_t kEasterTableLastYear = 2199;
extern const std::array<int32_t, kEasterTableLastYear - kEasterTableFirstYear + 1> kEasterMondayTable;

} // namespace tavrin
