#include "calendars/HolidaySweep.h"

#include "dates/SerialDate.h"

namespace tavrin {

namespace sweep {

int32_t yearOf(int64_t day) {
    return SerialDate(static_cast<int32_t>(day)).year();
}

int64_t firstDayOfYear(int32_t year) {
    return dayNumber64(1, 1, year);
}

int64_t lastDayOfYear(int32_t year) {
    return dayNumber64(31, 12, year);
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

bool DayRing::insert(int64_t key) {
    uint64_t& word = bits_[slot(key) / 64];
    const uint64_t bit = uint64_t{1} << (slot(key) % 64);
    const bool added = (word & bit) == 0;
    word |= bit;
    highest_ = std::max(highest_, key);
    return added;
}

bool DayRing::contains(int64_t key) const {
    return (bits_[slot(key) / 64] >> (slot(key) % 64)) & 1;
}

int64_t DayRing::count(int64_t lo, int64_t hi) const {
    int64_t n = 0;
    forWords(lo, std::min(hi, highest_),
             [&](std::size_t word, uint64_t mask) { n += std::popcount(bits_[word] & mask); });
    return n;
}

void DayRing::erase(int64_t lo, int64_t hi) {
    forWords(lo, std::min(hi, highest_), [&](std::size_t word, uint64_t mask) { bits_[word] &= ~mask; });
}

} // namespace sweep

} // namespace tavrin
