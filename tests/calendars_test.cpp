#include "calendars/Easter.h"
#include "calendars/HolidayRules.h"
#include "calendars/JAPANCalendar.h"
#include "calendars/NYSECalendar.h"
#include "calendars/SINGAPORECalendar.h"
#include "calendars/SWITZERLANDCalendar.h"
#include "calendars/TARGETCalendar.h"
#include "calendars/UKCalendar.h"
#include "calendars/USCalendar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

using namespace tavrin;

namespace {

const USCalendar us;
const NYSECalendar nyse;
const UKCalendar uk;
const TARGETCalendar target;
const SWITZERLANDCalendar switzerland;
const JAPANCalendar japan;
const SINGAPORECalendar singapore;

double d(int32_t day, int32_t month, int32_t year) {
    return SerialDate(day, month, year).serial();
}

const int32_t kLastYear = SerialDate(std::numeric_limits<int32_t>::max()).year();

// A whole year's list, in the calendar's own order, given as (day, month) pairs of that year.
struct Day {
    int32_t day;
    int32_t month;
};
struct YearCase {
    const char* note;
    const BusinessCalendar* calendar;
    int32_t year;
    std::vector<Day> expected;
};

void expectYearLists(const std::vector<YearCase>& cases) {
    for (const YearCase& c : cases) {
        SCOPED_TRACE(c.note);
        std::vector<double> expected;
        for (const Day& day : c.expected)
            expected.push_back(d(day.day, day.month, c.year));
        EXPECT_EQ(c.calendar->holidays(static_cast<int32_t>(d(1, 1, c.year)),
                                       static_cast<int32_t>(d(31, 12, c.year))),
                  expected);
    }
}

// Part of a year, or a span across years.
struct RangeCase {
    const char* note;
    const BusinessCalendar* calendar;
    double start;
    double end;
    std::vector<double> expected;
};

void expectRangeLists(const std::vector<RangeCase>& cases) {
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(c.note);
        EXPECT_EQ(c.calendar->holidays(static_cast<int32_t>(c.start), static_cast<int32_t>(c.end)),
                  c.expected);
    }
}

} // namespace

TEST(Easter, ComputationReproducesEveryTableEntry) {
    for (int32_t year = kEasterTableFirstYear; year <= kEasterTableLastYear; ++year) {
        SCOPED_TRACE(year);
        const int32_t tabulated = kEasterMondayTable[static_cast<std::size_t>(year - kEasterTableFirstYear)];
        EXPECT_EQ(gregorianEasterMondayDayOfYear(year), tabulated);
        EXPECT_EQ(easterMondayDayOfYear(year), tabulated);
    }
}

TEST(Easter, KnownYearsInsideAndOutsideTheTable) {
    const struct {
        int32_t year;
        int32_t dayOfYear;
        const char* note;
    } cases[] = {
        {1901, 98, "8 April"},
        {2000, 115, "24 April, a leap year"},
        {2008, 84, "24 March"},
        {2011, 115, "25 April"},
        {2038, 116, "26 April, the latest Easter"},
        {2100, 88, "29 March, 2100 not really leap"},
        {2199, 105, "last table year"},
        {1900, 106, "16 April, before the table"},
        {2285, 82, "23 March, after the table: Easter on 22 March, the earliest possible"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.note);
        EXPECT_EQ(easterMondayDayOfYear(c.year), c.dayOfYear) << c.year;
    }
}

TEST(Easter, RuleGivesAMondayInTheEasterWindowForEveryYear) {
    // Weekday from a proleptic Gregorian day count (1 January of year 1 is a Monday), independent of the
    // computus and of our own every-4th-year day numbers.
    const auto isRealMonday = [](int64_t year, int64_t dayOfYear) {
        const int64_t before = year - 1;
        return (365 * before + before / 4 - before / 100 + before / 400 + dayOfYear - 1) % 7 == 0;
    };
    const auto check = [&](int32_t year) {
        const int32_t t = gregorianEasterMondayDayOfYear(year);
        const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
        ASSERT_TRUE(isRealMonday(year, t)) << year;
        ASSERT_GE(t, 31 + 28 + (leap ? 1 : 0) + 23) << year;      // 23 March
        ASSERT_LE(t, 31 + 28 + (leap ? 1 : 0) + 31 + 26) << year; // 26 April
    };
    for (int32_t year = 1583; year <= 12000; ++year)
        check(year);
    for (int32_t year = kLastYear - 2000; year <= kLastYear; ++year)
        check(year);
    check(std::numeric_limits<int32_t>::max());
    // The Gregorian Easter dates repeat every 5,700,000 years.
    for (int32_t year = kEasterTableFirstYear; year <= kEasterTableLastYear; ++year)
        EXPECT_EQ(easterMondayDayOfYear(year + 5'700'000), easterMondayDayOfYear(year)) << year;
}

TEST(HolidayRules, WeekdayOfMonthLandsOnItsWeekdayAndWeek) {
    using namespace holiday_rules;
    for (int32_t year = 1900; year <= 2404; ++year) {
        for (int32_t month = 1; month <= 12; ++month) {
            for (int32_t w = Saturday; w <= Friday; ++w) {
                for (int32_t n = 1; n <= 4; ++n) {
                    const int64_t day = nthWeekday(n, static_cast<Weekday>(w), month, year);
                    const SerialDate::Ymd ymd = SerialDate(static_cast<int32_t>(day)).ymd();
                    ASSERT_EQ(weekdayOf(day), w) << year << "-" << month << " n=" << n;
                    ASSERT_EQ(ymd.month, month) << year << "-" << month << " n=" << n;
                    ASSERT_GE(ymd.day, 7 * (n - 1) + 1);
                    ASSERT_LE(ymd.day, 7 * n);
                }
            }
            const int64_t last = lastMonday(month, year);
            const SerialDate::Ymd ymd = SerialDate(static_cast<int32_t>(last)).ymd();
            ASSERT_EQ(weekdayOf(last), Monday);
            ASSERT_EQ(ymd.month, month) << year << "-" << month;
            ASSERT_GT(ymd.day, daysInMonth(month, year) - 7) << year << "-" << month;
        }
    }
}

// Case tables keep one row per case.
// clang-format off
TEST(USAndNYSECalendars, YearListsAndWeekendObservance) {
    expectYearLists({
        {"US 2000: Saturday 1 January not moved, Veterans Day from Saturday to Friday", &us, 2000,
         {{1, 1}, {17, 1}, {21, 2}, {21, 4}, {29, 5}, {4, 7}, {4, 9}, {9, 10}, {10, 11}, {23, 11}, {25, 12}}},
        {"NYSE 2000: no Columbus Day, no Veterans Day", &nyse, 2000,
         {{1, 1}, {17, 1}, {21, 2}, {21, 4}, {29, 5}, {4, 7}, {4, 9}, {23, 11}, {25, 12}}},
    });
    expectRangeLists({
        {"US: Saturday 1 January 2005 is not moved to Friday 31 December 2004", &us,
         d(31, 12, 2004), d(1, 1, 2005), {d(1, 1, 2005)}},
        {"NYSE: Sunday 1 January 2006 is Monday 2 January", &nyse, d(1, 1, 2006), d(2, 1, 2006),
         {d(2, 1, 2006)}},
        {"US 2010: 4 July a Sunday, 25 December a Saturday", &us, d(1, 7, 2010), d(31, 12, 2010),
         {d(5, 7, 2010), d(6, 9, 2010), d(11, 10, 2010), d(11, 11, 2010), d(25, 11, 2010), d(24, 12, 2010)}},
        {"NYSE 2010", &nyse, d(1, 7, 2010), d(31, 12, 2010),
         {d(5, 7, 2010), d(6, 9, 2010), d(25, 11, 2010), d(24, 12, 2010)}},
        {"NYSE across two years, year by year in rule order", &nyse, d(1, 11, 2005), d(28, 2, 2006),
         {d(24, 11, 2005), d(26, 12, 2005), d(2, 1, 2006), d(16, 1, 2006), d(20, 2, 2006)}},
        {"one-day range on a holiday", &us, d(4, 7, 2000), d(4, 7, 2000), {d(4, 7, 2000)}},
        {"one-day range on a business day", &us, d(5, 7, 2000), d(5, 7, 2000), {}},
        {"start after end", &us, d(31, 12, 2000), d(1, 1, 2000), {}},
    });
}

TEST(UKCalendar, YearListsAndChristmas) {
    expectYearLists({
        {"UK 2010", &uk, 2010, {{1, 1}, {2, 4}, {5, 4}, {3, 5}, {31, 5}, {30, 8}, {27, 12}, {28, 12}}},
    });
    expectRangeLists({ // Christmas and Boxing Day by the weekday of 25 December
        {"2004: a Saturday", &uk, d(20, 12, 2004), d(31, 12, 2004), {d(27, 12, 2004), d(28, 12, 2004)}},
        {"2005: a Sunday",   &uk, d(20, 12, 2005), d(31, 12, 2005), {d(26, 12, 2005), d(27, 12, 2005)}},
        {"2009: a Friday",   &uk, d(20, 12, 2009), d(31, 12, 2009), {d(25, 12, 2009), d(28, 12, 2009)}},
        {"2008: a Thursday", &uk, d(20, 12, 2008), d(31, 12, 2008), {d(25, 12, 2008), d(26, 12, 2008)}},
        {"each date meets the range alone", &uk, d(20, 12, 2004), d(27, 12, 2004), {d(27, 12, 2004)}},
        {"2005: Saturday 1 January is not moved", &uk, d(1, 1, 2005), d(3, 1, 2005), {d(1, 1, 2005)}},
    });
}

TEST(TARGETCalendar, YearListsAndOneOffClosingDays) {
    expectYearLists({
        {"1999: before the 2000 rules, with its closing day", &target, 1999, {{1, 1}, {25, 12}, {31, 12}}},
        {"2001", &target, 2001, {{1, 1}, {13, 4}, {16, 4}, {1, 5}, {25, 12}, {26, 12}, {31, 12}}},
        {"2002: no closing day", &target, 2002, {{1, 1}, {29, 3}, {1, 4}, {1, 5}, {25, 12}, {26, 12}}},
    });
    expectRangeLists({
        {"December 1998 to January 1999", &target, d(1, 12, 1998), d(31, 1, 1999),
         {d(25, 12, 1998), d(31, 12, 1998), d(1, 1, 1999)}},
    });
}

TEST(SWITZERLANDCalendar, YearListsWithTheDoubledFirstOfMay) {
    expectYearLists({
        {"2008: Ascension on 1 May, listed twice", &switzerland, 2008,
         {{1, 1}, {2, 1}, {21, 3}, {24, 3}, {1, 5}, {12, 5}, {1, 5}, {1, 8}, {25, 12}, {26, 12}}},
    });
}

TEST(JAPANCalendar, YearLists) {
    expectYearLists({
        {"2009: Children's Day on 6 May, day between two holidays on 22 September", &japan, 2009,
         {{1, 1}, {2, 1}, {3, 1}, {12, 1}, {11, 2}, {20, 3}, {29, 4}, {3, 5}, {4, 5}, {6, 5}, {20, 7},
          {21, 9}, {22, 9}, {23, 9}, {12, 10}, {3, 11}, {23, 11}, {23, 12}, {31, 12}}},
        {"1995: old fixed dates; Sunday 15 January and the Saturdays not moved; no Marine Day", &japan, 1995,
         {{1, 1}, {2, 1}, {3, 1}, {15, 1}, {11, 2}, {20, 3}, {29, 4}, {3, 5}, {4, 5}, {5, 5}, {15, 9},
          {22, 9}, {10, 10}, {3, 11}, {23, 11}, {23, 12}, {31, 12}}},
        {"2001: Marine Day 20 July; Sundays moved; Saturdays 5 May, 15 September, 3 November kept", &japan,
         2001,
         {{1, 1}, {2, 1}, {3, 1}, {8, 1}, {12, 2}, {20, 3}, {30, 4}, {3, 5}, {4, 5}, {6, 5}, {20, 7}, {15, 9},
          {24, 9}, {8, 10}, {3, 11}, {23, 11}, {24, 12}, {31, 12}}},
    });
}

TEST(JAPANCalendar, YearBoundsAndOneOffClosingDays) {
    expectRangeLists({
        {"2008: 3 May a Saturday, Monday 5 May not listed", &japan, d(1, 5, 2008), d(31, 5, 2008),
         {d(3, 5, 2008), d(4, 5, 2008), d(6, 5, 2008)}},
        {"2020: equinox one day after Respect for the Aged Day, no day between", &japan, d(1, 9, 2020),
         d(30, 9, 2020), {d(21, 9, 2020), d(22, 9, 2020)}},
        {"1996: Respect for the Aged Day from Sunday 15 September", &japan, d(1, 9, 1996), d(20, 9, 1996),
         {d(16, 9, 1996)}},
        {"1997: Marine Day from Sunday 20 July", &japan, d(1, 7, 1997), d(31, 7, 1997), {d(21, 7, 1997)}},
        {"1995: no Marine Day before 1996", &japan, d(1, 7, 1995), d(31, 7, 1995), {}},
        {"1988: no Emperor's Birthday", &japan, d(1, 12, 1988), d(31, 12, 1988), {d(31, 12, 1988)}},
        {"1989: Emperor's Birthday on a Saturday stays", &japan, d(1, 12, 1989), d(31, 12, 1989),
         {d(23, 12, 1989), d(31, 12, 1989)}},
        {"1989: closing day 24 February", &japan, d(1, 2, 1989), d(28, 2, 1989),
         {d(11, 2, 1989), d(24, 2, 1989)}},
        {"1959: closing day 10 April, after the year's rules", &japan, d(1, 4, 1959), d(30, 4, 1959),
         {d(29, 4, 1959), d(10, 4, 1959)}},
    });
    const std::vector<double> list =
        japan.holidays(static_cast<int32_t>(d(1, 1, 1989)), static_cast<int32_t>(d(31, 12, 1993)));
    for (const double day : {d(24, 2, 1989), d(12, 11, 1990), d(9, 6, 1993)})
        EXPECT_EQ(std::count(list.begin(), list.end(), day), 1) << day;
}

TEST(SINGAPORECalendar, YearLists) {
    expectYearLists({
        {"2010: Saturdays not moved", &singapore, 2010, {{1, 1}, {2, 4}, {1, 5}, {9, 8}, {25, 12}}},
    });
}

TEST(MarketCalendars, Year1900UsesTheEasterRuleCountedAsTheTable) {
    // T = 106 is Easter Monday's real day of 1900; added to our 1 January (our 1900 has a 29 February) it
    // lands on day 106. Day 1 has remainder 1, a Sunday.
    expectRangeLists({
        {"UK", &uk, d(1, 1, 1900), d(30, 6, 1900), {d(2, 1, 1900), 103, 106, d(7, 5, 1900), d(28, 5, 1900)}},
        {"SINGAPORE", &singapore, d(1, 1, 1900), d(31, 12, 1900),
         {d(1, 1, 1900), 103, d(1, 5, 1900), d(9, 8, 1900), d(25, 12, 1900)}},
    });
}
// clang-format on

TEST(MarketCalendars, EveryYearFrom1900ToTheEndOfTheDayRangeIsWellDefined) {
    // Rule counts per year; Japan's equinox rows drift out of their month in far years, so only the other
    // markets are held to their own year.
    const struct {
        const char* name;
        const BusinessCalendar* calendar;
        std::size_t in1900;
        std::size_t inFarYears;
        bool staysInYear;
    } markets[] = {
        {"US", &us, 11, 11, true},
        {"NYSE", &nyse, 9, 9, true},
        {"UK", &uk, 8, 8, true},
        {"TARGET", &target, 2, 6, true},
        {"SWITZERLAND", &switzerland, 10, 10, true},
        {"JAPAN", &japan, 16, 18, false},
        {"SINGAPORE", &singapore, 5, 5, true},
    };
    for (const auto& m : markets) {
        SCOPED_TRACE(m.name);
        for (const int32_t year : {1900, 2200, 9999, 5'000'000, kLastYear}) {
            SCOPED_TRACE(year);
            std::vector<int64_t> days;
            m.calendar->appendHolidaysOfYear(year, days);
            EXPECT_EQ(days.size(), year == 1900 ? m.in1900 : m.inFarYears);
            const int64_t first = dayNumber64(1, 1, year);
            const int64_t last = dayNumber64(31, 12, year);
            for (const int64_t day : days) {
                EXPECT_GE(day, 1);
                if (m.staysInYear) {
                    EXPECT_GE(day, first);
                    EXPECT_LE(day, last);
                }
            }
        }
        // The last year runs past the 32-bit range; what is listed stays inside it.
        const int32_t start = static_cast<int32_t>(d(1, 1, kLastYear));
        for (const double day : m.calendar->holidays(start, std::numeric_limits<int32_t>::max()))
            EXPECT_GE(day, start);
    }
}
