#include "calendars/Easter.h"

namespace tavrin {

// Easter Monday's day of the year, 1901 to 2199 (a year's Easter Monday lies between 23 March and 26 April).
const std::array<int32_t, kEasterTableLastYear - kEasterTableFirstYear + 1> kEasterMondayTable{
    /* 1901 */ 98,  90,  103, 95,  114, 106, 91,  111, 102, 87,
    /* 1911 */ 107, 99,  83,  103, 95,  115, 99,  91,  111, 96,
    /* 1921 */ 87,  107, 92,  112, 103, 95,  108, 100, 91,  111,
    /* 1931 */ 96,  88,  107, 92,  112, 104, 88,  108, 100, 85,
    /* 1941 */ 104, 96,  116, 101, 92,  112, 97,  89,  108, 100,
    /* 1951 */ 85,  105, 96,  109, 101, 93,  112, 97,  89,  109,
    /* 1961 */ 93,  113, 105, 90,  109, 101, 86,  106, 97,  89,
    /* 1971 */ 102, 94,  113, 105, 90,  110, 101, 86,  106, 98,
    /* 1981 */ 110, 102, 94,  114, 98,  90,  110, 95,  86,  106,
    /* 1991 */ 91,  111, 102, 94,  107, 99,  90,  103, 95,  115,
    /* 2001 */ 106, 91,  111, 103, 87,  107, 99,  84,  103, 95,
    /* 2011 */ 115, 100, 91,  111, 96,  88,  107, 92,  112, 104,
    /* 2021 */ 95,  108, 100, 92,  111, 96,  88,  108, 92,  112,
    /* 2031 */ 104, 89,  108, 100, 85,  105, 96,  116, 101, 93,
    /* 2041 */ 112, 97,  89,  109, 100, 85,  105, 97,  109, 101,
    /* 2051 */ 93,  113, 97,  89,  109, 94,  113, 105, 90,  110,
    /* 2061 */ 101, 86,  106, 98,  89,  102, 94,  114, 105, 90,
    /* 2071 */ 110, 102, 86,  106, 98,  111, 102, 94,  114, 99,
    /* 2081 */ 90,  110, 95,  87,  106, 91,  111, 103, 94,  107,
    /* 2091 */ 99,  91,  103, 95,  115, 107, 91,  111, 103, 88,
    /* 2101 */ 108, 100, 85,  105, 96,  109, 101, 93,  112, 97,
    /* 2111 */ 89,  109, 93,  113, 105, 90,  109, 101, 86,  106,
    /* 2121 */ 97,  89,  102, 94,  113, 105, 90,  110, 101, 86,
    /* 2131 */ 106, 98,  110, 102, 94,  114, 98,  90,  110, 95,
    /* 2141 */ 86,  106, 91,  111, 102, 94,  107, 99,  90,  103,
    /* 2151 */ 95,  115, 106, 91,  111, 103, 87,  107, 99,  84,
    /* 2161 */ 103, 95,  115, 100, 91,  111, 96,  88,  107, 92,
    /* 2171 */ 112, 104, 95,  108, 100, 92,  111, 96,  88,  108,
    /* 2181 */ 92,  112, 104, 89,  108, 100, 85,  105, 96,  116,
    /* 2191 */ 101, 93,  112, 97,  89,  109, 100, 85,  105,
};

namespace {

constexpr bool isGregorianLeapYear(int32_t year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

} // namespace

int32_t gregorianEasterMondayDayOfYear(int32_t year) {
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
    const int32_t beforeMarch = 31 + 28 + (isGregorianLeapYear(year) ? 1 : 0);
    return beforeMarch + 22 + afterMarch22 + 1; // the Monday after
}

int32_t easterMondayDayOfYear(int32_t year) {
    if (year >= kEasterTableFirstYear && year <= kEasterTableLastYear)
        return kEasterMondayTable[static_cast<std::size_t>(year - kEasterTableFirstYear)];
    return gregorianEasterMondayDayOfYear(year);
}

} // namespace tavrin
