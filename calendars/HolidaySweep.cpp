#include "calendars/HolidaySweep.h"

#include "dates/SerialDate.h"

#include <algorithm>

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
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    return days;
}

DayRuns::Entry* DayRuns::find(int64_t key) {
    for (Run& run : runs_) {
        const auto first = run.entries.begin() + static_cast<std::ptrdiff_t>(run.head);
        if (key < first->key || key > run.entries.back().key)
            continue;
        const auto it = std::lower_bound(first, run.entries.end(), key,
                                         [](const Entry& e, int64_t k) { return e.key < k; });
        if (it != run.entries.end() && it->key == key)
            return &*it;
    }
    return nullptr;
}

void DayRuns::insert(Entry entry) {
    // Append to the run whose last key is the highest below the new one, so runs stay few and tight.
    Run* best = nullptr;
    for (Run& run : runs_)
        if (run.entries.back().key < entry.key &&
            (best == nullptr || run.entries.back().key > best->entries.back().key))
            best = &run;
    if (best == nullptr) {
        runs_.emplace_back();
        best = &runs_.back();
    }
    best->entries.push_back(entry);
}

std::size_t DayRuns::size() const {
    std::size_t n = 0;
    for (const Run& run : runs_)
        n += run.entries.size() - run.head;
    return n;
}

std::size_t DayRuns::frontRun() const {
    std::size_t best = 0;
    for (std::size_t i = 1; i < runs_.size(); ++i)
        if (runs_[i].entries[runs_[i].head].key < runs_[best].entries[runs_[best].head].key)
            best = i;
    return best;
}

const DayRuns::Entry& DayRuns::front() const {
    const Run& run = runs_[frontRun()];
    return run.entries[run.head];
}

void DayRuns::popFront() {
    const std::size_t index = frontRun();
    Run& run = runs_[index];
    ++run.head;
    if (run.head == run.entries.size()) {
        runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(index));
    } else if (run.head >= 256 && 2 * run.head >= run.entries.size()) {
        // Drop the removed prefix now and then, so a long sweep holds only the days still in play.
        run.entries.erase(run.entries.begin(), run.entries.begin() + static_cast<std::ptrdiff_t>(run.head));
        run.head = 0;
    }
}

} // namespace sweep
