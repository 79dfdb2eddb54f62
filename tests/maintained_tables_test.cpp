// The tables that JPTO and SGSI copy their years from are built by the compiler; this compares them, and
// JPTO's rules beyond its table, with the calendars as they derived every year when asked, kept here as the
// reference: the same days in the same order, for every covered year and far beyond.

#include "calendars/HolidayRules.h"
#include "calendars/maintained/JPTOCalendar.h"
#include "calendars/maintained/SGSICalendar.h"
#include "dates/SerialDate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

using namespace tavrin;

namespace {

namespace jpto_reference {

using holiday_rules::TableDay;

// The equinox days as proclaimed (each February for the next year), day of March and day of September.
struct EquinoxDays {
    int32_t vernal;
    int32_t autumnal;
};
constexpr int32_t kProclaimedFirstYear = 1990;
constexpr std::array<EquinoxDays, 38> kProclaimedEquinoxes{{
    {21, 23}, {21, 23}, {20, 23}, {20, 23}, {21, 23}, {21, 23}, {20, 23}, {20, 23},
    {21, 23}, {21, 23}, // 1990s
    {20, 23}, {20, 23}, {21, 23}, {21, 23}, {20, 23}, {20, 23}, {21, 23}, {21, 23},
    {20, 23}, {20, 23}, // 2000s
    {21, 23}, {21, 23}, {20, 22}, {20, 23}, {21, 23}, {21, 23}, {20, 22}, {20, 23},
    {21, 23}, {21, 23},                                                             // 2010s
    {20, 22}, {20, 23}, {21, 23}, {21, 23}, {20, 22}, {20, 23}, {20, 23}, {21, 23}, // 2020-27
}};

// The standard formula of the equinox day beyond the proclaimed years, in its three published ranges. Past
// 2150 no formula is published; the day is held within its usual days, so that it stays in its month.
int32_t equinoxDay(int32_t year, double base1900, double base1980, double base2100, int32_t lo, int32_t hi) {
    const double drift = 0.242194 * (year - 1980);
    double day = 0;
    if (year < 1980)
        day = base1900 + drift - (year - 1983) / 4; // the division truncates, as the formula is written
    else
        day = (year < 2100 ? base1980 : base2100) + drift - (year - 1980) / 4;
    return std::clamp(static_cast<int32_t>(day), lo, hi);
}

EquinoxDays equinoxDays(int32_t year) {
    const int32_t index = year - kProclaimedFirstYear;
    if (index >= 0 && index < static_cast<int32_t>(kProclaimedEquinoxes.size()))
        return kProclaimedEquinoxes[static_cast<std::size_t>(index)];
    return {equinoxDay(year, 20.8357, 20.8431, 21.8510, 19, 22),
            equinoxDay(year, 23.2588, 23.2488, 24.2488, 21, 24)};
}

// National holidays of one year only (enthronement, an imperial wedding), and the sports holidays moved
// for the Olympic Games of 2020, held in 2021.
constexpr std::array<TableDay, 12> kProclaimedHolidays{{
    {1990, 11, 12}, // enthronement ceremony (Akihito)
    {1993, 6, 9},   // wedding of Crown Prince Naruhito
    {2019, 4, 30},  // citizens' holiday, between Showa Day and 1 May
    {2019, 5, 1},   // the Emperor's enthronement day
    {2019, 5, 2},   // citizens' holiday, between 1 May and Constitution Memorial Day
    {2019, 10, 22}, // enthronement ceremony (Naruhito)
    {2020, 7, 23},  // Marine Day, moved
    {2020, 7, 24},  // Sports Day, moved
    {2020, 8, 10},  // Mountain Day, moved
    {2021, 7, 22},  // Marine Day, moved
    {2021, 7, 23},  // Sports Day, moved
    {2021, 8, 8},   // Mountain Day, moved (a Sunday: Monday 9 August is its substitute)
}};
static_assert(holiday_rules::isInYearOrder(kProclaimedHolidays));

// Years whose Marine Day, Mountain Day and Sports Day the table above moves.
constexpr std::array<int32_t, 2> kOlympicYears{2020, 2021};

// A year's days, few enough for a fixed array (at most 22 national holidays and as many extra days).
class Days {
public:
    void add(int64_t day) { days_[size_++] = day; }
    void addIf(bool holds, int64_t day) {
        if (holds)
            add(day);
    }
    // The rules come in date order but for the few proclaimed days: an insertion sort moves just those.
    void sort() {
        for (std::size_t i = 1; i < size_; ++i)
            for (std::size_t j = i; j > 0 && days_[j - 1] > days_[j]; --j)
                std::swap(days_[j - 1], days_[j]);
    }
    bool contains(int64_t day) const { return std::binary_search(begin(), end(), day); }
    const int64_t* begin() const { return days_.data(); }
    const int64_t* end() const { return days_.data() + size_; }
    int64_t* begin() { return days_.data(); }
    int64_t* end() { return days_.data() + size_; }

private:
    std::array<int64_t, 48> days_; // the first size_ are set
    std::size_t size_ = 0;
};

// The national holidays ("kokumin no shukujitsu") of one year, by the law as it stood in that year.
Days nationalHolidays(int32_t year) {
    using namespace holiday_rules;
    const YearDates date(year);
    const bool olympic = yearListed(kOlympicYears, year);
    const EquinoxDays equinox = equinoxDays(year);
    Days h;
    h.add(date(1, 1));                                                 // New Year's Day
    h.addIf(year <= 1999, date(15, 1));                                // Coming of Age Day, to 1999
    h.addIf(year >= 2000, date.nthWeekday(2, Monday, 1));              // Coming of Age Day, from 2000
    h.addIf(year >= 1967, date(11, 2));                                // National Foundation Day
    h.addIf(year >= 2020, date(23, 2));                                // Emperor's Birthday, from 2020
    h.add(date(equinox.vernal, 3));                                    // Vernal Equinox Day
    h.add(date(29, 4));                                                // Greenery Day, Showa Day from 2007
    h.add(date(3, 5));                                                 // Constitution Memorial Day
    h.addIf(year >= 2007, date(4, 5));                                 // Greenery Day, from 2007
    h.add(date(5, 5));                                                 // Children's Day
    h.addIf(year >= 1996 && year <= 2002, date(20, 7));                // Marine Day, 1996 to 2002
    h.addIf(year >= 2003 && !olympic, date.nthWeekday(3, Monday, 7));  // Marine Day, from 2003
    h.addIf(year >= 2016 && !olympic, date(11, 8));                    // Mountain Day, from 2016
    h.addIf(year >= 1966 && year <= 2002, date(15, 9));                // Respect for the Aged, to 2002
    h.addIf(year >= 2003, date.nthWeekday(3, Monday, 9));              // Respect for the Aged, from 2003
    h.add(date(equinox.autumnal, 9));                                  // Autumnal Equinox Day
    h.addIf(year >= 1966 && year <= 1999, date(10, 10));               // Health and Sports Day, to 1999
    h.addIf(year >= 2000 && !olympic, date.nthWeekday(2, Monday, 10)); // Sports Day, from 2000
    h.add(date(3, 11));                                                // Culture Day
    h.add(date(23, 11));                                               // Labour Thanksgiving Day
    h.addIf(year >= 1989 && year <= 2018, date(23, 12));               // Emperor's Birthday, 1989 to 2018
    const auto proclaimed =
        std::equal_range(kProclaimedHolidays.begin(), kProclaimedHolidays.end(), TableDay{year, 0, 0},
                         [](const TableDay& a, const TableDay& b) { return a.year < b.year; });
    for (auto day = proclaimed.first; day != proclaimed.second; ++day) // one-off and moved holidays
        h.add(date(day->day, day->month));
    h.sort();
    return h;
}

} // namespace jpto_reference

namespace sgsi_reference {

constexpr int32_t kFirstYear = 2000;
constexpr int32_t kLastYear = 2027;

struct MonthDay {
    int32_t month; // 0 marks an unused place
    int32_t day;
};

// The announced days of one year: the two days of Chinese New Year, Hari Raya Puasa, Vesak Day, Hari Raya
// Haji and Deepavali, then polling days and other one-off holidays, weekends included (a Sunday holiday
// gives a weekday in lieu). Where announcements were revised the final date stands: Deepavali 24 Oct 2003,
// 27 Oct 2008, Saturday 17 Oct 2009 (so 16 Nov 2009 is open), Saturday 2 Nov 2013 and 22 Oct 2014. Hari Raya
// Puasa 2026 is Saturday 21 March: three of four sources against one that has Friday 20 March.
using YearDays = std::array<MonthDay, 9>;
constexpr std::array<YearDays, kLastYear - kFirstYear + 1> kAnnouncedDays{{
    {{{2, 5}, {2, 6}, {1, 8}, {5, 18}, {3, 16}, {10, 26}, {12, 27}}},             // 2000: Puasa twice
    {{{1, 24}, {1, 25}, {12, 16}, {5, 7}, {3, 6}, {11, 14}, {11, 3}}},            // 2001: polling (Saturday)
    {{{2, 12}, {2, 13}, {12, 6}, {5, 26}, {2, 23}, {11, 3}}},                     // 2002
    {{{2, 1}, {2, 2}, {11, 25}, {5, 15}, {2, 12}, {10, 24}}},                     // 2003
    {{{1, 22}, {1, 23}, {11, 14}, {6, 2}, {2, 1}, {11, 11}}},                     // 2004
    {{{2, 9}, {2, 10}, {11, 3}, {5, 22}, {1, 21}, {11, 1}}},                      // 2005
    {{{1, 30}, {1, 31}, {10, 24}, {5, 12}, {1, 10}, {10, 21}, {12, 31}, {5, 6}}}, // 2006: Haji twice, polling
    {{{2, 19}, {2, 20}, {10, 13}, {5, 31}, {12, 20}, {11, 8}, {1, 2}}},        // 2007: 2 Jan in lieu of Haji
    {{{2, 7}, {2, 8}, {10, 1}, {5, 19}, {12, 8}, {10, 27}}},                   // 2008
    {{{1, 26}, {1, 27}, {9, 20}, {5, 9}, {11, 27}, {10, 17}}},                 // 2009
    {{{2, 14}, {2, 15}, {9, 10}, {5, 28}, {11, 17}, {11, 5}}},                 // 2010
    {{{2, 3}, {2, 4}, {8, 30}, {5, 17}, {11, 6}, {10, 26}, {5, 7}}},           // 2011: polling (Saturday)
    {{{1, 23}, {1, 24}, {8, 19}, {5, 5}, {10, 26}, {11, 13}}},                 // 2012
    {{{2, 10}, {2, 11}, {8, 8}, {5, 24}, {10, 15}, {11, 2}}},                  // 2013
    {{{1, 31}, {2, 1}, {7, 28}, {5, 13}, {10, 5}, {10, 22}}},                  // 2014
    {{{2, 19}, {2, 20}, {7, 17}, {6, 1}, {9, 24}, {11, 10}, {8, 7}, {9, 11}}}, // 2015: SG50, polling
    {{{2, 8}, {2, 9}, {7, 6}, {5, 21}, {9, 12}, {10, 29}}},                    // 2016
    {{{1, 28}, {1, 29}, {6, 25}, {5, 10}, {9, 1}, {10, 18}}},                  // 2017
    {{{2, 16}, {2, 17}, {6, 15}, {5, 29}, {8, 22}, {11, 6}}},                  // 2018
    {{{2, 5}, {2, 6}, {6, 5}, {5, 19}, {8, 11}, {10, 27}}},                    // 2019
    {{{1, 25}, {1, 26}, {5, 24}, {5, 7}, {7, 31}, {11, 14}, {7, 10}}},         // 2020: polling
    {{{2, 12}, {2, 13}, {5, 13}, {5, 26}, {7, 20}, {11, 4}}},                  // 2021
    {{{2, 1}, {2, 2}, {5, 3}, {5, 15}, {7, 10}, {10, 24}}},                    // 2022
    {{{1, 22}, {1, 23}, {4, 22}, {6, 2}, {6, 29}, {11, 12}, {9, 1}}},          // 2023: presidential polling
    {{{2, 10}, {2, 11}, {4, 10}, {5, 22}, {6, 17}, {10, 31}}},                 // 2024
    {{{1, 29}, {1, 30}, {3, 31}, {5, 12}, {6, 7}, {10, 20}, {5, 3}}},          // 2025: polling (Saturday)
    {{{2, 17}, {2, 18}, {3, 21}, {5, 31}, {5, 27}, {11, 8}}},                  // 2026
    {{{2, 6}, {2, 7}, {3, 10}, {5, 20}, {5, 17}, {10, 28}}},                   // 2027
}};

} // namespace sgsi_reference

// JPTO as it derived each year: its rules, then the listing of substitute and citizens' holidays.
void jptoByRules(int32_t year, std::vector<int64_t>& out) {
    using namespace holiday_rules;
    const YearDates date(year);
    const int64_t january2 = date(2, 1), january3 = date(3, 1);
    const jpto_reference::Days national = jpto_reference::nationalHolidays(year);
    // A substitute may be a national holiday too (before 2007), a citizens' holiday or 2 January: each day
    // is listed once.
    int64_t lastListed = 0;
    int64_t lastSubstitute = 0;
    const auto list = [&](int64_t day) {
        if (day != lastListed && !isWeekend(day))
            out.push_back(day);
        lastListed = day;
    };
    list(january2); // bank holiday
    list(january3); // bank holiday
    for (const int64_t* day = national.begin(); day != national.end(); ++day) {
        if (*day != january2 && *day != january3)
            list(*day);
        // Substitute holiday, from 1973: a national holiday on a Sunday makes the Monday a holiday; from 2007
        // the first day after it that is no national holiday (a Sunday 3 May gives Wednesday 6 May).
        if (year >= 1973 && weekdayOf(*day) == Sunday) {
            int64_t substitute = *day + 1;
            while (year >= 2007 && national.contains(substitute))
                ++substitute;
            if (substitute != january2 && substitute != january3)
                list(substitute);
            lastSubstitute = substitute;
        }
        // Citizens' holiday, from 1988: a day between two national holidays (before 2007 not a Sunday, which
        // no weekday closing depends on). The holidays are sorted, so such a day lies between neighbours two
        // days apart.
        if (year >= 1988 && day + 1 != national.end() && day[1] - day[0] == 2 && *day + 1 != lastSubstitute)
            list(*day + 1);
    }
    list(date(31, 12)); // bank holiday
}

// SGSI as it derived each covered year from its table of announced days.
void sgsiByRules(int32_t year, std::vector<int64_t>& out) {
    using namespace holiday_rules;
    const YearDates date(year);
    std::array<int64_t, 16> holidays; // the first `count` are set
    std::size_t count = 0;
    holidays[count++] = date(1, 1);             // New Year's Day
    holidays[count++] = easterMonday(year) - 3; // Good Friday
    holidays[count++] = date(1, 5);             // Labour Day
    holidays[count++] = date(9, 8);             // National Day
    holidays[count++] = date(25, 12);           // Christmas Day
    for (const sgsi_reference::MonthDay& day :
         sgsi_reference::kAnnouncedDays[static_cast<std::size_t>(year - sgsi_reference::kFirstYear)])
        if (day.month != 0)
            holidays[count++] = date(day.day, day.month); // announced and one-off days
    const auto begin = holidays.begin();
    const auto end = begin + static_cast<std::ptrdiff_t>(count);

    const std::size_t from = out.size();
    const int64_t lastDay = date(31, 12);
    // A year has a dozen holidays and a few days in lieu: looking through them beats sorting them.
    const auto taken = [&](int64_t d) {
        return std::find(begin, end, d) != end ||
               std::find(out.begin() + static_cast<std::ptrdiff_t>(from), out.end(), d) != out.end();
    };
    for (auto day = begin; day != end; ++day) {
        out.push_back(*day);
        if (weekdayOf(*day) != Sunday)
            continue;
        int64_t inLieu = *day + 1;
        while (taken(inLieu))
            ++inLieu;
        if (inLieu <= lastDay)
            out.push_back(inLieu);
    }
    dropWeekends(out, from);
}

std::vector<int64_t> yearOf(const BusinessCalendar& calendar, int32_t year) {
    std::vector<int64_t> days{-1}; // a day already in the list: a year is appended, never written over
    calendar.appendHolidaysOfYear(year, days);
    return days;
}

TEST(MaintainedCalendarTables, JptoTableAndRulesGiveWhatTheRulesGaveInEveryYear) {
    const JPTOCalendar calendar;
    std::vector<int32_t> years;
    for (int32_t year = 1900; year <= 2400; ++year) // the table's years 1990-2027 and the rules around them
        years.push_back(year);
    for (const int32_t year : {9999, 100000, 1234567, 5000000, 5880000}) // the equinox clamped, far years
        years.push_back(year);
    for (const int32_t year : years) {
        SCOPED_TRACE(year);
        std::vector<int64_t> expected{-1};
        jptoByRules(year, expected);
        EXPECT_EQ(yearOf(calendar, year), expected);
    }
}

TEST(MaintainedCalendarTables, SgsiTableGivesWhatTheRulesGaveInEveryCoveredYear) {
    const SGSICalendar calendar;
    for (int32_t year = SGSICalendar::kFirstYear; year <= SGSICalendar::kLastYear; ++year) {
        SCOPED_TRACE(year);
        std::vector<int64_t> expected{-1};
        sgsiByRules(year, expected);
        EXPECT_EQ(yearOf(calendar, year), expected);
    }
}

// The tables count days as dayNumber64 does, in the open so that the compiler can: every date of the years
// the calendars reach, and the years at the end of the 32-bit range.
TEST(MaintainedCalendarTables, YearDatesCountAsDayNumber64) {
    for (int32_t year = 1900; year <= 2400; ++year) {
        const holiday_rules::YearDates date(year);
        for (int32_t month = 1; month <= 12; ++month)
            for (int32_t day = 1; day <= daysInMonth(month, year); ++day)
                ASSERT_EQ(date(day, month), dayNumber64(day, month, year))
                    << day << "/" << month << "/" << year;
    }
    for (const int32_t year : {5879000, 5880000, 5880152})
        for (const int32_t month : {1, 2, 3, 12})
            EXPECT_EQ(holiday_rules::YearDates(year)(28, month), dayNumber64(28, month, year)) << year;
}

} // namespace
