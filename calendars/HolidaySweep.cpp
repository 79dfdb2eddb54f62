#include "calendars/HolidaySweep.h"

#include "calendars/Easter.h"
#include "dates/SerialDate.h"

namespace tavrin {

namespace sweep {

// As SerialDate's year, without its month and day: a long walk asks for the years of millions of days.
int32_t yearOf(int64_t day) {
    if (day <= 0)
        return 1900;
    const int64_t r = day - 1;        // days since 1 January 1900
    const int64_t inCycle = r % 1461; // [0, 1460], the cycle of four years opening with a leap year
    // (inCycle - 1) / 365 is 0 through the leap year's 366 days (-1 / 365 truncates to 0), then 1, 2, 3:
    // no branch for the stray days of a long walk to mispredict.
    const int64_t year = 1900 + 4 * (r / 1461) + (inCycle - 1) / 365;
    return static_cast<int32_t>(year);
}

std::vector<int64_t> weekdayExtraHolidays(const std::vector<double>& extraHolidays) {
    std::vector<int64_t> days;
    for (const double value : extraHolidays) {
        // The comparisons are false for NaN; inside the bounds the truncation is exact.
        if (!(value >= -2147483648.0 && value <= 2147483647.0))
            continue;
        const auto day = static_cast<int64_t>(value);
        if (static_cast<double>(day) == value && isWeekday(day))
            days.push_back(day);
    }
    if (!std::is_sorted(days.begin(), days.end())) // a column of dates usually comes in order
        std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    return days;
}

DayRing::DayRing(int64_t span)
    : mask_(std::bit_ceil(static_cast<uint64_t>(std::clamp<int64_t>(span, 64, kSize))) - 1),
      bits_((mask_ + 1) / 64, 0) {}

int64_t DayRing::count(int64_t lo, int64_t hi) const {
    int64_t n = 0;
    forWords(lo, std::min(hi, highest_),
             [&](std::size_t word, uint64_t mask) { n += std::popcount(bits_[word] & mask); });
    return n;
}

// The words between the first and the last are cleared whole: a walk by kinds erases some 250 words at a
// time.
void DayRing::erase(int64_t lo, int64_t hi) {
    hi = std::min(hi, highest_);
    if (hi < lo)
        return;
    const uint64_t first = slot(lo);
    const uint64_t last = first + static_cast<uint64_t>(hi - lo); // beyond mask_ when the range wraps
    const uint64_t words = bits_.size();
    const auto at = [&](uint64_t word) -> uint64_t& {
        return bits_[static_cast<std::size_t>(word & (words - 1))];
    };
    if (first / 64 == last / 64) {
        at(first / 64) &= ~((~uint64_t{0} << (first % 64)) & (~uint64_t{0} >> (63 - last % 64)));
        return;
    }
    at(first / 64) &= ~(~uint64_t{0} << (first % 64));
    at(last / 64) &= ~(~uint64_t{0} >> (63 - last % 64));
    // The whole words first / 64 + 1 to last / 64 - 1, in at most two pieces of the ring.
    const uint64_t begin = (first / 64 + 1) & (words - 1);
    const uint64_t count = std::min(last / 64 - first / 64 - 1, words);
    const uint64_t head = std::min(count, words - begin);
    std::fill_n(bits_.begin() + static_cast<std::ptrdiff_t>(begin), head, 0);
    std::fill_n(bits_.begin(), count - head, 0);
}

void EasterMondays::startCentury(int32_t century) {
    // As gregorianEasterMondayDayOfYear: the terms that change only with the century.
    century_ = century;
    const int32_t solar = century - century / 4;
    const int32_t lunar = (century - (century + 8) / 25 + 1) / 3;
    for (int32_t golden = 0; golden < 19; ++golden)
        epacts_[static_cast<std::size_t>(golden)] = (19 * golden + solar - lunar + 15) % 30;
    weekBase_ = 32 + 2 * (century % 4);
}

int32_t EasterMondays::of(int32_t year) {
    if (year < 0 || (year >= kEasterTableFirstYear && year <= kEasterTableLastYear))
        return easterMondayDayOfYear(year);
    if (year_ >= 0 && year == year_ + 1) {
        golden_ = golden_ == 18 ? 0 : golden_ + 1;
        if (inCentury_ == 99) {
            inCentury_ = 0;
            startCentury(century_ + 1);
        } else {
            ++inCentury_;
        }
    } else if (year_ >= 0 && year == year_ - 1) {
        golden_ = golden_ == 0 ? 18 : golden_ - 1;
        if (inCentury_ == 0) {
            inCentury_ = 99;
            startCentury(century_ - 1);
        } else {
            --inCentury_;
        }
    } else {
        golden_ = year % 19;
        inCentury_ = year % 100;
        startCentury(year / 100);
    }
    year_ = year;
    const int32_t epact = epacts_[static_cast<std::size_t>(golden_)];
    // Every term is at least 0 and so is the sum (weekBase_ >= 32 > epact + 3): unsigned division is the
    // cheaper one.
    const auto inCentury = static_cast<uint32_t>(inCentury_);
    const auto toSunday = static_cast<int32_t>(
        (static_cast<uint32_t>(weekBase_ - epact) + 2 * (inCentury / 4) - inCentury % 4) % 7);
    const auto late = static_cast<int32_t>(static_cast<uint32_t>(golden_ + 11 * epact + 22 * toSunday) / 451);
    const bool leap = year % 4 == 0 && (inCentury_ != 0 || century_ % 4 == 0);
    return 31 + 28 + (leap ? 1 : 0) + 22 + epact + toSunday - 7 * late + 1;
}

YearKinds::YearKinds(const std::vector<const BusinessCalendar*>& members)
    : members_(members), width_(members.size() + 1), key_(width_), table_(64, 0), common_(width_, 0),
      byEaster_(28 * kEasterSlots, 0) {
    easterFromAny_ = std::numeric_limits<int32_t>::max();
    easterFromAll_ = std::numeric_limits<int32_t>::min();
    for (std::size_t m = 0; m < members_.size(); ++m) {
        easterFrom_.push_back(members_[m]->easterKindsFrom());
        easterFromAny_ = std::min(easterFromAny_, easterFrom_.back());
        if (easterFrom_.back() == std::numeric_limits<int32_t>::max()) {
            asked_.push_back(m);
        } else {
            byEasterOnly_.push_back(m);
            easterFromAll_ = std::max(easterFromAll_, easterFrom_.back());
        }
    }
}

int32_t YearKinds::groupOf(int32_t year, std::vector<int64_t>& strays) {
    const std::size_t from = strays.size();
    // Easter Monday once for every member taking its kind from it (82, a day of the table, for none).
    const int32_t easter = year >= easterFromAny_ ? easter_.of(year) : 82;
    const YearFacts facts = year >= easterFromAny_ ? YearFacts(year, easter) : YearFacts(year);
    key_[0] = static_cast<uint64_t>(year % 28);
    bool common = true; // the kinds without Easter are common_'s
    const auto ask = [&](std::size_t m) {
        if (!members_[m]->kindOfYear(facts, key_[m + 1], strays))
            return false;
        common = common && key_[m + 1] != kEasterMark && common_[m + 1] == key_[m + 1];
        return true;
    };
    // Easter Monday lies in the table's range; any other value would go by the hash.
    const bool inTable = easter >= 64 && easter < 64 + static_cast<int32_t>(kEasterSlots);
    const std::size_t slot =
        static_cast<std::size_t>(key_[0]) * kEasterSlots + static_cast<std::size_t>(easter % 64);
    if (year >= easterFromAll_) {
        // Nearly every year of a long walk: the members taking their kind from Easter need no asking, and
        // their words of the key are written only when the table does not know the year's group yet.
        for (const std::size_t m : asked_) {
            if (!ask(m)) {
                strays.resize(from);
                return -1;
            }
        }
        common = common && easterMarked_;
        if (common && inTable && byEaster_[slot] != 0)
            return byEaster_[slot] - 2;
        for (const std::size_t m : byEasterOnly_)
            key_[m + 1] = static_cast<uint64_t>(easter);
    } else {
        for (std::size_t m = 0; m < members_.size(); ++m) {
            if (year >= easterFrom_[m]) {
                key_[m + 1] = static_cast<uint64_t>(easter);
                common = common && common_[m + 1] == kEasterMark;
                continue;
            }
            if (!ask(m)) {
                strays.resize(from);
                return -1;
            }
        }
    }
    // A walk whose kinds change often goes by the hash, rather than clear the table year after year.
    if (!inTable)
        return lookUp(year);
    if (!common) {
        if (commonChanges_ == kMaxCommonChanges)
            return lookUp(year);
        ++commonChanges_;
        for (std::size_t m = 0; m < members_.size(); ++m)
            common_[m + 1] = year >= easterFrom_[m] ? kEasterMark : key_[m + 1];
        easterMarked_ = std::all_of(byEasterOnly_.begin(), byEasterOnly_.end(),
                                    [&](std::size_t m) { return common_[m + 1] == kEasterMark; });
        std::fill(byEaster_.begin(), byEaster_.end(), 0);
    }
    int32_t& entry = byEaster_[slot];
    if (entry == 0)
        entry = lookUp(year) + 2; // -1 (never counted whole) kept as 1
    return entry - 2;
}

// The group of the key in key_, added when new; -1 when it is never counted whole.
int32_t YearKinds::lookUp(int32_t year) {
    uint64_t hash = 0;
    for (const uint64_t word : key_)
        hash = (hash ^ word) * 0x9E3779B97F4A7C15ULL;
    const std::size_t mask = table_.size() - 1;
    for (std::size_t at = (hash >> 32) & mask;; at = (at + 1) & mask) {
        const int32_t entry = table_[at];
        if (entry == 0) {
            const int32_t group = addGroup(year);
            table_[at] = group + 1;
            if (2 * closed_.size() > table_.size()) { // keep the table at most half full
                std::vector<int32_t> old(2 * table_.size(), 0);
                old.swap(table_);
                for (const int32_t e : old) {
                    if (e == 0)
                        continue;
                    const uint64_t* k = &keys_[static_cast<std::size_t>(e - 1) * width_];
                    uint64_t h = 0;
                    for (std::size_t w = 0; w < width_; ++w)
                        h = (h ^ k[w]) * 0x9E3779B97F4A7C15ULL;
                    std::size_t a = (h >> 32) & (table_.size() - 1);
                    while (table_[a] != 0)
                        a = (a + 1) & (table_.size() - 1);
                    table_[a] = e;
                }
            }
            return closed_[static_cast<std::size_t>(group)] < 0 ? -1 : group;
        }
        const auto group = static_cast<std::size_t>(entry - 1);
        const uint64_t* key = &keys_[group * width_];
        std::size_t w = 0;
        while (w < width_ && key[w] == key_[w])
            ++w;
        if (w == width_)
            return closed_[group] < 0 ? -1 : static_cast<int32_t>(group);
    }
}

// The group's days from its first year: each member's rule dates less its own strays. A date outside the
// year breaks the calendar's word; the group is then never counted whole (closed -1).
int32_t YearKinds::addGroup(int32_t year) {
    const YearFacts facts(year);
    const int64_t first = facts.firstDay();
    const int64_t last = lastDayOfYear(year);
    std::array<uint64_t, kWords> days{};
    std::array<uint64_t, kWords> daysBack{};
    const auto mark = [](std::array<uint64_t, kWords>& bits, int64_t offset) {
        bits[static_cast<std::size_t>(offset / 64)] |= uint64_t{1} << (offset % 64);
    };
    bool kept = true;
    std::vector<int64_t> strays;
    for (const BusinessCalendar* member : members_) {
        uint64_t kind = 0;
        strays.clear();
        member->kindOfYear(facts, kind, strays);
        scratch_.clear();
        member->appendHolidaysOfYear(year, scratch_);
        for (const int64_t day : scratch_) {
            if (std::find(strays.begin(), strays.end(), day) != strays.end())
                continue;
            if (day < first || day > last) {
                kept = false;
                continue;
            }
            if (isWeekday(day)) {
                mark(days, day - first);
                mark(daysBack, last - day);
            }
        }
    }
    int64_t closed = 0;
    for (const uint64_t word : days)
        closed += std::popcount(word);
    keys_.insert(keys_.end(), key_.begin(), key_.end());
    days_.push_back(days);
    daysBack_.push_back(daysBack);
    closed_.push_back(kept ? closed : -1);
    return static_cast<int32_t>(closed_.size() - 1);
}

} // namespace sweep

} // namespace tavrin
