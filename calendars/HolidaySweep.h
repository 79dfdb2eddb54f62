#pragma once

// Building blocks of the business-day operations: weekday counting in closed form, and a set of rule
// holidays gathered year by year that releases each day once no later year can give it again.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace sweep {

inline constexpr int64_t kLastDay = std::numeric_limits<int32_t>::max();

// How far before 1 January or after 31 December of its own year a rule date may lie. Only the Japanese
// equinox formulas leave the year: they drift back by about 0.0153 days a year, to some 89,900 days before
// 1 January in the last years of the 32-bit range.
inline constexpr int64_t kRuleReachDays = 100'000;

// Remainders 2 to 6 by 7 are weekdays; every day of 1 and below (remainder 1, 0 or negative) is a weekend.
constexpr bool isWeekday(int64_t day) {
    return day % 7 >= 2;
}

// The number of weekdays among the days up to x.
constexpr int64_t weekdaysThrough(int64_t x) {
    if (x < 2)
        return 0;
    const int64_t rest = x % 7 - 1; // [-1, 5]
    return 5 * (x / 7) + (rest > 0 ? rest : 0);
}

// The c-th weekday counted from day 2 (c >= 1): the first day through which c weekdays have passed.
constexpr int64_t nthWeekday(int64_t c) {
    return 7 * ((c - 1) / 5) + 2 + (c - 1) % 5;
}

// The year a day number belongs to (every day of 366 and below is in 1900); the day must fit in 32 bits.
int32_t yearOf(int64_t day);
// 1 January and 31 December of a year from 1900 on, as 64-bit day numbers.
int64_t firstDayOfYear(int32_t year);
int64_t lastDayOfYear(int32_t year);

// The extra holidays that can close a business day: whole numbers of the 32-bit range falling on weekdays,
// sorted, each once. A fraction, NaN or a value beyond the range matches no day.
std::vector<int64_t> weekdayExtraHolidays(const std::vector<double>& extraHolidays);

// A set of 64-bit keys with a weight each, fed in roughly ascending order. Keys are kept in a few ascending
// runs: a key above every key of the main run is appended in constant time, and the occasional key arriving
// lower (a rule date drifting out of its year) extends or opens another run.
class DayRuns {
public:
    struct Entry {
        int64_t key;
        int64_t weight;
    };

    Entry* find(int64_t key);
    void insert(Entry entry); // the key must not be present
    bool empty() const { return runs_.empty(); }
    std::size_t size() const;
    const Entry& front() const; // smallest key; the set must not be empty
    void popFront();

private:
    struct Run {
        std::vector<Entry> entries;
        std::size_t head = 0; // entries before head are removed; a run always holds one entry at least
    };
    std::size_t frontRun() const; // index of the run holding the smallest key
    std::vector<Run> runs_;
};

} // namespace sweep
