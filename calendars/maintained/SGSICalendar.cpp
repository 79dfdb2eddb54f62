#include "calendars/maintained/SGSICalendar.h"

#include "calendars/HolidayRules.h"
#include "calendars/Messages.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace tavrin {

namespace {

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
constexpr std::array<YearDays, SGSICalendar::kLastYear - SGSICalendar::kFirstYear + 1> kAnnouncedDays{{
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

// Singapore's public holidays. A holiday on a Sunday gives the next day that is not itself a public holiday
// (so a Sunday first day of Chinese New Year gives the Tuesday); one on a Saturday gives the public nothing.
// The day in lieu of a Sunday 31 December falls in the next year, whose table carries it.
struct YearClosings {
    std::array<int64_t, 32> days{}; // the first size are set: each holiday and its day in lieu, weekdays only
    std::size_t size = 0;
};

constexpr YearClosings closingsOf(int32_t year) {
    using namespace holiday_rules;
    const YearDates date(year);
    // Easter by the Gregorian rule, which the Easter table reproduces in every covered year.
    const int64_t goodFriday = date(1, 1) + gregorianEasterMondayDayOfYear(year) - 1 - 3;
    std::array<int64_t, 16> holidays{}; // the first `count` are set
    std::size_t count = 0;
    holidays[count++] = date(1, 1);   // New Year's Day
    holidays[count++] = goodFriday;   // Good Friday
    holidays[count++] = date(1, 5);   // Labour Day
    holidays[count++] = date(9, 8);   // National Day
    holidays[count++] = date(25, 12); // Christmas Day
    for (const MonthDay& day : kAnnouncedDays[static_cast<std::size_t>(year - SGSICalendar::kFirstYear)])
        if (day.month != 0)
            holidays[count++] = date(day.day, day.month); // announced and one-off days
    const auto begin = holidays.begin();
    const auto end = begin + static_cast<std::ptrdiff_t>(count);

    YearClosings out;
    const int64_t lastDay = date(31, 12);
    // A year has a dozen holidays and a few days in lieu: looking through them beats sorting them.
    const auto taken = [&](int64_t d) {
        return std::find(begin, end, d) != end ||
               std::find(out.days.begin(), out.days.begin() + static_cast<std::ptrdiff_t>(out.size), d) !=
                   out.days.begin() + static_cast<std::ptrdiff_t>(out.size);
    };
    for (auto day = begin; day != end; ++day) {
        out.days[out.size++] = *day;
        if (weekdayOf(*day) != Sunday)
            continue;
        int64_t inLieu = *day + 1;
        while (taken(inLieu))
            ++inLieu;
        if (inLieu <= lastDay)
            out.days[out.size++] = inLieu;
    }
    // The market is closed on weekends anyway: only the weekdays are listed.
    out.size = static_cast<std::size_t>(
        std::remove_if(out.days.begin(), out.days.begin() + static_cast<std::ptrdiff_t>(out.size),
                       [](int64_t d) { return isWeekend(d); }) -
        out.days.begin());
    return out;
}

// Every covered year is known in advance, so the compiler evaluates the rules above once for all of them:
// a call copies its year's row.
constexpr auto kClosings = [] {
    std::array<YearClosings, SGSICalendar::kLastYear - SGSICalendar::kFirstYear + 1> table{};
    for (int32_t year = SGSICalendar::kFirstYear; year <= SGSICalendar::kLastYear; ++year)
        table[static_cast<std::size_t>(year - SGSICalendar::kFirstYear)] = closingsOf(year);
    return table;
}();

} // namespace

void SGSICalendar::appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const {
    if (year < kFirstYear || year > kLastYear)
        throw messages::SingaporeYearsNotCovered;
    const YearClosings& row = kClosings[static_cast<std::size_t>(year - kFirstYear)];
    out.insert(out.end(), row.days.begin(), row.days.begin() + static_cast<std::ptrdiff_t>(row.size));
}

} // namespace tavrin
