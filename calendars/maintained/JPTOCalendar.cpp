#include "calendars/maintained/JPTOCalendar.h"

#include "calendars/HolidayRules.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace tavrin {

namespace {

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
constexpr int32_t equinoxDay(int32_t year, double base1900, double base1980, double base2100, int32_t lo,
                             int32_t hi) {
    const double drift = 0.242194 * (year - 1980);
    double day = 0;
    if (year < 1980)
        day = base1900 + drift - (year - 1983) / 4; // the division truncates, as the formula is written
    else
        day = (year < 2100 ? base1980 : base2100) + drift - (year - 1980) / 4;
    return std::clamp(static_cast<int32_t>(day), lo, hi);
}

constexpr EquinoxDays equinoxDays(int32_t year) {
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
    constexpr void add(int64_t day) { days_[size_++] = day; }
    constexpr void addIf(bool holds, int64_t day) {
        if (holds)
            add(day);
    }
    // The rules come in date order but for the few proclaimed days: an insertion sort moves just those.
    constexpr void sort() {
        for (std::size_t i = 1; i < size_; ++i)
            for (std::size_t j = i; j > 0 && days_[j - 1] > days_[j]; --j)
                std::swap(days_[j - 1], days_[j]);
    }
    constexpr bool contains(int64_t day) const { return std::binary_search(begin(), end(), day); }
    constexpr const int64_t* begin() const { return days_.data(); }
    constexpr const int64_t* end() const { return days_.data() + size_; }
    constexpr int64_t* begin() { return days_.data(); }
    constexpr int64_t* end() { return days_.data() + size_; }

private:
    std::array<int64_t, 48> days_{}; // the first size_ are set
    std::size_t size_ = 0;
};

// The national holidays ("kokumin no shukujitsu") of one year, by the law as it stood in that year.
constexpr Days nationalHolidays(int32_t year) {
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

// Tokyo: the bank holidays, which are the national holidays, their substitutes and the citizens' holidays,
// plus 31 December and 2 and 3 January. Out is a row of the table below when the compiler builds it, the
// caller's list for the years beyond the table.
template <class Out>
constexpr void bankHolidays(int32_t year, Out& out) {
    using namespace holiday_rules;
    const YearDates date(year);
    const int64_t january2 = date(2, 1), january3 = date(3, 1);
    const Days national = nationalHolidays(year);
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

// The bank holidays of the years whose equinoxes are proclaimed, evaluated by the compiler from the rules
// above: those are the years sheets ask for, and copying a row costs a fraction of deriving the substitute
// and citizens' holidays again. The years beyond it (equinoxes from the formula, rules that go on) are
// derived when asked for.
struct TableYear {
    std::array<int64_t, 32> days{}; // the first size are set, in the order the rules give them
    std::size_t size = 0;
    constexpr void push_back(int64_t day) { days[size++] = day; }
};
constexpr int32_t kTableFirstYear = kProclaimedFirstYear;
constexpr int32_t kTableLastYear =
    kProclaimedFirstYear + static_cast<int32_t>(kProclaimedEquinoxes.size()) - 1;
constexpr auto kBankHolidayTable = [] {
    std::array<TableYear, kTableLastYear - kTableFirstYear + 1> table{};
    for (int32_t year = kTableFirstYear; year <= kTableLastYear; ++year)
        bankHolidays(year, table[static_cast<std::size_t>(year - kTableFirstYear)]);
    return table;
}();

} // namespace

void JPTOCalendar::appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const {
    if (year >= kTableFirstYear && year <= kTableLastYear) {
        const TableYear& row = kBankHolidayTable[static_cast<std::size_t>(year - kTableFirstYear)];
        out.insert(out.end(), row.days.begin(), row.days.begin() + static_cast<std::ptrdiff_t>(row.size));
        return;
    }
    bankHolidays(year, out);
}

// From 2028, past the proclaimed equinoxes and holidays, a year's days follow from its weekdays and the two
// equinox days (substitutes and citizens' holidays included).
bool JPTOCalendar::kindOfYear(const YearFacts& year, uint64_t& kind, std::vector<int64_t>&) const {
    const EquinoxDays equinox = equinoxDays(year.year());
    kind = static_cast<uint64_t>(equinox.vernal) * 64 + static_cast<uint64_t>(equinox.autumnal);
    return year.year() >= 2028;
}

} // namespace tavrin
