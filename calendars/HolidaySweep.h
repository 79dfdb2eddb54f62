#pragma once

// The engine of the business-day operations: weekday counting in closed form, a set of days for gathering
// rule holidays, and the one walk over the years that counting, stepping, listing and adjusting share.

#include "calendars/BusinessCalendar.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace tavrin {

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

// The c-th weekday counted from day 2 (c >= 1): the first day through which c weekdays have passed. In
// unsigned arithmetic, the cheaper division (a long step recomputes it every year).
constexpr int64_t nthWeekday(int64_t c) {
    const auto before = static_cast<uint64_t>(c - 1);
    return static_cast<int64_t>(7 * (before / 5) + 2 + before % 5);
}

// The year a day number belongs to (every day of 366 and below is in 1900); the day must fit in 32 bits.
int32_t yearOf(int64_t day);
// 1 January and 31 December of a year from 1900 on, as 64-bit day numbers (dayNumber64's, in line: every
// fourth year is a leap year, 1900 the first).
constexpr int64_t firstDayOfYear(int32_t year) {
    const auto years = static_cast<uint64_t>(int64_t{year} - 1900); // unsigned: the cheaper division
    return static_cast<int64_t>(365 * years + (years + 3) / 4 + 1);
}
constexpr int64_t lastDayOfYear(int32_t year) {
    return firstDayOfYear(year + 1) - 1;
}

// The extra holidays that can close a business day: whole numbers of the 32-bit range falling on weekdays,
// sorted, each once. A fraction, NaN or a value beyond the range matches no day.
std::vector<int64_t> weekdayExtraHolidays(const std::vector<double>& extraHolidays);

// A set of keys (days, or days negated) that all lie within a band of `size` consecutive keys, one bit per
// key in a ring. A sweep over years keeps the band from the lowest key still needed to the highest one a
// year's rules can give: two reaches of a rule and two years, less than kSize. Keys leaving the band at the
// bottom must be erased before keys above it arrive; a sweep over a shorter span can use a smaller ring.
class DayRing {
public:
    static constexpr int64_t kSize = int64_t{1} << 18;
    static_assert(kSize > 2 * kRuleReachDays + 2 * 366);

    // A ring of at least `span` keys (at most kSize).
    explicit DayRing(int64_t span = kSize);

    int64_t size() const { return mask_ + 1; }
    int64_t highest() const { return highest_; } // no key above it is in the set
    // In line: a walk inserts every closed day it meets.
    bool insert(int64_t key) {
        uint64_t& word = bits_[slot(key) / 64];
        const uint64_t bit = uint64_t{1} << (slot(key) % 64);
        const bool added = (word & bit) == 0;
        word |= bit;
        highest_ = std::max(highest_, key);
        return added;
    }
    // Keys in [lo, hi] (hi - lo < size(); an empty range when hi < lo).
    int64_t count(int64_t lo, int64_t hi) const;
    // Adds the keys from + i for the bits i set in `bits` (keys within size() of one another), and answers
    // how many of them were in the set already: a year counted as a whole joins in a few words.
    template <std::size_t N>
    int64_t merge(int64_t from, const std::array<uint64_t, N>& bits);
    void erase(int64_t lo, int64_t hi);
    // Calls f(key) for every key in [lo, hi], ascending.
    template <class F>
    void forEach(int64_t lo, int64_t hi, F&& f) const;

private:
    std::size_t slot(int64_t key) const {
        return static_cast<std::size_t>(static_cast<uint64_t>(key) & mask_);
    }
    // Runs g(word index, mask) over the words covering [lo, hi], ascending.
    template <class G>
    void forWords(int64_t lo, int64_t hi, G&& g) const;
    uint64_t mask_;
    std::vector<uint64_t> bits_;
    int64_t highest_ = std::numeric_limits<int64_t>::min(); // no key above it is set: nothing to visit there
};

// The words are walked by index, the first and last one masked: a walk by kinds erases and scans a few
// words for every year of millions.
template <class G>
void DayRing::forWords(int64_t lo, int64_t hi, G&& g) const {
    if (hi < lo)
        return;
    const uint64_t first = slot(lo);
    const uint64_t last = first + static_cast<uint64_t>(hi - lo); // beyond mask_ when the range wraps
    const uint64_t wordMask = bits_.size() - 1;
    for (uint64_t word = first / 64; word <= last / 64; ++word) {
        uint64_t mask = ~uint64_t{0};
        if (word == first / 64)
            mask &= ~uint64_t{0} << (first % 64);
        if (word == last / 64)
            mask &= ~uint64_t{0} >> (63 - last % 64);
        g(static_cast<std::size_t>(word & wordMask), mask);
    }
}

template <std::size_t N>
int64_t DayRing::merge(int64_t from, const std::array<uint64_t, N>& bits) {
    const std::size_t first = slot(from);
    const unsigned shift = first % 64;
    // Word i of the ring's piece takes the low bits of bits[i] and the high bits of bits[i - 1]; the second
    // shift in two steps gives none when the piece starts on a word.
    std::array<uint64_t, N + 1> parts;
    uint64_t carry = 0;
#pragma GCC unroll 8
    for (std::size_t i = 0; i < N; ++i) {
        parts[i] = (bits[i] << shift) | carry;
        carry = (bits[i] >> 1) >> (63 - shift);
    }
    parts[N] = carry;
    // The piece nearly always lies in one stretch of the ring's words, and nearly always holds none of the
    // keys yet: the population count (a library call where the target lacks the instruction) only then.
    const std::size_t words = bits_.size();
    const std::size_t at = first / 64;
    uint64_t* const data = bits_.data();
    int64_t held = 0;
    if (at + N < words) {
        uint64_t* const piece = data + at;
        uint64_t any = 0;
#pragma GCC unroll 8
        for (std::size_t i = 0; i <= N; ++i)
            any |= piece[i] & parts[i];
        if (any != 0) [[unlikely]] {
            for (std::size_t i = 0; i <= N; ++i)
                held += std::popcount(piece[i] & parts[i]);
        }
#pragma GCC unroll 8
        for (std::size_t i = 0; i <= N; ++i)
            piece[i] |= parts[i];
    } else {
        for (std::size_t i = 0; i <= N; ++i) {
            uint64_t& word = data[(at + i) & (words - 1)];
            held += std::popcount(word & parts[i]);
            word |= parts[i];
        }
    }
    highest_ = std::max(highest_, from + static_cast<int64_t>(64 * N) - 1);
    return held;
}

template <class F>
void DayRing::forEach(int64_t lo, int64_t hi, F&& f) const {
    hi = std::min(hi, highest_);
    int64_t wordStart = lo - static_cast<int64_t>(slot(lo) % 64); // the key of the word's bit 0
    forWords(lo, hi, [&](std::size_t word, uint64_t mask) {
        for (uint64_t set = bits_[word] & mask; set != 0; set &= set - 1)
            f(wordStart + std::countr_zero(set));
        wordStart += 64;
    });
}

// Whether a day is among sorted extra holidays. A sweep over millions of years asks this of every rule date;
// nearly all of them lie outside the few years the list covers, which the bounds tell at once.
inline bool isExtra(const std::vector<int64_t>& extraDays, int64_t day) {
    return !extraDays.empty() && day >= extraDays.front() && day <= extraDays.back() &&
           std::binary_search(extraDays.begin(), extraDays.end(), day);
}

// Where a walk over the years starts. Keys are days walking forward and days negated walking backward, so
// that keys grow the way the walk goes.
struct SweepStart {
    int64_t direction; // +1 or -1
    int32_t year;      // the first year whose rules are asked for
    int64_t lowestKey; // no key below it is wanted
};

// Whether no extra holiday lies in [lo, hi]. Nearly every year of a long span lies outside the few years the
// list covers, which the bounds tell at once.
inline bool noExtraIn(const std::vector<int64_t>& extraDays, int64_t lo, int64_t hi) {
    if (extraDays.empty() || hi < extraDays.front() || lo > extraDays.back())
        return true;
    const auto at = std::lower_bound(extraDays.begin(), extraDays.end(), lo);
    return at == extraDays.end() || *at > hi;
}

// Easter Monday's day of the year (easterMondayDayOfYear) for the years of a walk, one after the other: the
// Gregorian rule's terms of a century are worked out once for its hundred years, and the year's place in
// the cycles moves on by one.
class EasterMondays {
public:
    int32_t of(int32_t year);

private:
    void startCentury(int32_t century);
    int32_t year_ = -1; // the year the terms below are for; none yet
    int32_t golden_ = 0;
    int32_t inCentury_ = 0;
    int32_t century_ = 0;
    int32_t weekBase_ = 0;             // 32 + 2 * (century % 4)
    std::array<int32_t, 19> epacts_{}; // by golden number
};

// The kinds of years (BusinessCalendar::kindOfYear) of a walk's members, found as the walk meets them. Years
// whose members all have a kind are grouped by the members' kinds and the place in the 28-year cycle of
// weekdays; each group's closed weekdays, the rule dates less the strays, are gathered once from the first
// year met, kept as a bit per day of the year in either direction of a walk.
class YearKinds {
public:
    static constexpr std::size_t kWords = 6; // 366 days

    explicit YearKinds(const std::vector<const BusinessCalendar*>& members);

    // The group of a year, its strays appended to `strays`; -1 when a member has no kind for it.
    int32_t groupOf(int32_t year, std::vector<int64_t>& strays);
    // The weekdays a group closes, and which: bit i is the day i days after 1 January (direction +1) or
    // before 31 December (-1), the order of a walk's keys.
    int64_t closed(int32_t group) const { return closed_[static_cast<std::size_t>(group)]; }
    const std::array<uint64_t, kWords>& days(int32_t group, int64_t direction) const {
        return (direction > 0 ? days_ : daysBack_)[static_cast<std::size_t>(group)];
    }

private:
    int32_t lookUp(int32_t year);
    int32_t addGroup(int32_t year);

    std::vector<const BusinessCalendar*> members_;
    std::vector<int32_t> easterFrom_;       // by member: easterKindsFrom()
    int32_t easterFromAny_;                 // the least of them
    int32_t easterFromAll_;                 // the greatest of those that are not none
    std::vector<std::size_t> asked_;        // the members whose kinds come from kindOfYear in every year
    std::vector<std::size_t> byEasterOnly_; // the others
    EasterMondays easter_;
    std::size_t width_;          // words of a group's key: the place in the cycle and each member's kind
    std::vector<uint64_t> key_;  // the key being looked up
    std::vector<uint64_t> keys_; // every group's key, width_ words each
    std::vector<int32_t> table_; // open addressing on the keys' hash: group + 1, 0 when free
    // Nearly every year of a long walk has the same kinds of its members without Easter, and then its group
    // follows from the place in the cycle and Easter Monday alone: a table by those two, for the key
    // `common_` (the words of the members with Easter marked), spares the hash and the comparison.
    static constexpr uint64_t kEasterMark = ~uint64_t{0};
    static constexpr std::size_t kEasterSlots = 64; // Easter Monday's day of the year lies in [82, 118]
    std::vector<uint64_t> common_;
    bool easterMarked_ = false;     // common_ marks every member of byEasterOnly_
    std::vector<int32_t> byEaster_; // group + 2 by place in the cycle and Easter Monday modulo 64; 0 unknown
    static constexpr int32_t kMaxCommonChanges = 64;
    int32_t commonChanges_ = 0;
    std::vector<int64_t> closed_; // by group
    // By group: the weekdays closed, from 1 January on and from 31 December back.
    std::vector<std::array<uint64_t, kWords>> days_;
    std::vector<std::array<uint64_t, kWords>> daysBack_;
    std::vector<int64_t> scratch_;
};

// Walks the years from start.year in the direction, asking each member for the rule dates of one year at a
// time, and only when the walk reaches that year (a calendar may refuse a year it does not cover; its
// exception leaves the walk as it is). The wanted keys gather in `ring`. A year's rule may lie up to
// kRuleReachDays outside it, so after each year the keys more than that before the next year are final:
// no later year can give them again. This is the one place that knows how far rules reach.
//
// The client answers three questions:
//   bool wants(int64_t key)                               whether a rule date joins the ring
//   void met(int64_t key, std::size_t member, bool fresh) a wanted date joined (fresh: it was not held yet)
//   bool yearDone(int32_t year, int64_t base, int64_t settled)
//                                                         the year's dates are in; the keys held in
//                                                         [base, settled) are final. True ends the walk;
//                                                         otherwise those keys leave the ring.
//
// With `kinds`, a year whose members all have a kind may be counted as a whole instead; the client then
// answers two more:
//   bool takesWhole(int64_t firstKey, int64_t lastKey)    whether it would count the year's closed weekdays,
//                                                         keys firstKey to lastKey, at once (no extra
//                                                         holiday among them)
//   void tookWhole(int64_t closed)                        it does: so many weekdays closed that the ring
//                                                         does not hold
// and only the year's strays go through the ring: the year's closed days join the ring at once, so that a
// stray meeting one of them is no further day, and strays met on them already are not counted twice.
// The final keys a walk by kinds may leave in the ring before releasing them: the ring must hold them
// besides two reaches of a rule and two years.
inline constexpr int64_t kEraseBatch = 16'384;
static_assert(DayRing::kSize > 2 * kRuleReachDays + 3 * 366 + kEraseBatch);

template <class Client>
void sweepYears(const std::vector<const BusinessCalendar*>& members, const SweepStart& start, DayRing& ring,
                Client& client, YearKinds* kinds = nullptr) {
    const int64_t direction = start.direction;
    // The lowest key any year of the walk can give.
    int64_t floor = direction > 0 ? firstDayOfYear(start.year) - kRuleReachDays
                                  : -(lastDayOfYear(start.year) + kRuleReachDays);
    std::vector<int64_t> dates;
    // No key below it is in the ring. A walk by kinds releases the final keys in batches of some 45 years
    // rather than year by year (the ring has room for them); otherwise kept is the year's base.
    int64_t kept = std::max(floor, start.lowestKey);
    const bool batched = kinds != nullptr && ring.size() == DayRing::kSize;
    for (int32_t year = start.year;; year += static_cast<int32_t>(direction)) {
        // The ring holds the keys from here on; a ring as long as the span holds all of it.
        const int64_t base = std::max(floor, start.lowestKey);
        if (!batched)
            kept = base;
        const auto offer = [&](int64_t day, std::size_t m) {
            const int64_t key = direction * day;
            // The band test only keeps a calendar breaking the reach of its rules from corrupting the ring.
            if (key < base || key - kept >= ring.size() || !client.wants(key))
                return;
            client.met(key, m, ring.insert(key));
        };
        bool whole = false;
        if constexpr (requires(int64_t key) {
                          client.takesWhole(key, key);
                          client.tookWhole(key);
                      }) {
            if (kinds != nullptr) {
                dates.clear();
                const int32_t group = kinds->groupOf(year, dates);
                const int64_t first = firstDayOfYear(year);
                const int64_t last = first + (isLeapYear(year) ? 365 : 364);
                const int64_t firstKey = direction > 0 ? first : -last;
                const int64_t lastKey = direction > 0 ? last : -first;
                whole = group >= 0 && client.takesWhole(firstKey, lastKey);
                if (whole) {
                    // Strays of other years met already on the group's days were counted then.
                    const int64_t held = ring.merge(firstKey, kinds->days(group, direction));
                    client.tookWhole(kinds->closed(group) - held);
                    for (const int64_t day : dates)
                        offer(day, 0);
                }
            }
        }
        if (!whole) {
            for (std::size_t m = 0; m < members.size(); ++m) {
                dates.clear();
                members[m]->appendHolidaysOfYear(year, dates);
                for (const int64_t day : dates)
                    offer(day, m);
            }
        }
        // Walking back, nothing lies before 1900, whose year holds every day up to 366: all is final.
        const int64_t settled = direction > 0  ? firstDayOfYear(year + 1) - kRuleReachDays
                                : year <= 1900 ? std::numeric_limits<int64_t>::max()
                                               : -(lastDayOfYear(year - 1) + kRuleReachDays);
        if (client.yearDone(year, base, settled))
            return;
        if (!batched || settled > kept + kEraseBatch) {
            ring.erase(kept, settled - 1);
            kept = settled;
        }
        floor = settled;
    }
}

// How the business-day operations walk a span: year by year, or (for long spans) counting the years whose
// members all have a kind once per group. Both give the same answers; the operations choose by the span's
// length, and the tests compare the two.
enum class Walk { yearByYear, byKinds };

// The weekdays of [start, end) closed in the window [start, end) (start < end).
int64_t closedWeekdays(const BusinessCalendar& calendar, int64_t start, int64_t end, Walk walk);
// The steps-th business day (steps >= 1) after (direction +1) or before (-1) `day`; "Invalid date!!" when
// it leaves the 32-bit range.
int64_t stepBusinessDays(const BusinessCalendar& calendar, int64_t day, int64_t steps, int64_t direction,
                         Walk walk);

} // namespace sweep

} // namespace tavrin
