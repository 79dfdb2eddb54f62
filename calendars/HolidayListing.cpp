#include "calendars/HolidayListing.h"

#include "calendars/HolidaySweep.h"
#include "calendars/Messages.h"

#include <map>

using namespace sweep;

namespace {

// Walks the years once, gathering every member's rule dates in [start, end], and hands the days that no
// later year can give again to release(ring, repeats, lo, hi): the days listed in [lo, hi] are in the ring;
// the merged list holds each once, or as often as the first member lists it, which `repeats` records beyond
// the first time.
template <class Release>
void sweepHolidays(const MergedBusinessCalendar& calendar, int32_t start, int32_t end, Release&& release) {
    const auto& members = calendar.distinctCalendars();
    if (members.empty() || start > end)
        return;
    const int64_t span = int64_t{end} - start + 1;
    DayRing listed(span);               // every member's days
    DayRing fromFirst(span);            // the first member's days
    std::map<int64_t, int64_t> repeats; // how often the first member lists a day beyond once (rare)
    int64_t floor = firstDayOfYear(yearOf(start)) - kRuleReachDays; // no rule date lies lower
    std::vector<int64_t> dates;
    const int32_t lastYear = yearOf(end);
    for (int32_t year = yearOf(start);; ++year) {
        // The rings hold the days from here on; rings as long as the span hold all of it.
        const int64_t base = std::max<int64_t>(floor, start);
        for (std::size_t m = 0; m < members.size(); ++m) {
            dates.clear();
            members[m]->appendHolidaysOfYear(year, dates);
            for (const int64_t day : dates) {
                if (day < base || day > end || day - base >= listed.size())
                    continue;
                listed.insert(day);
                if (m == 0 && !fromFirst.insert(day))
                    ++repeats[day];
            }
        }
        if (year == lastYear) {
            release(listed, repeats, base, std::min<int64_t>(end, base + listed.size() - 1));
            return;
        }
        // No later year gives a day this far back: those are final.
        const int64_t settled = firstDayOfYear(year + 1) - kRuleReachDays;
        const int64_t hi = std::min<int64_t>(settled - 1, end);
        if (listed.highest() >= base) { // anything held at all
            release(listed, repeats, base, hi);
            listed.erase(base, hi);
            fromFirst.erase(base, hi);
        }
        floor = settled;
    }
}

// Repeats recorded in [lo, hi], dropped from the record.
int64_t takeRepeats(std::map<int64_t, int64_t>& repeats, int64_t lo, int64_t hi) {
    int64_t n = 0;
    const auto first = repeats.lower_bound(lo);
    auto last = first;
    for (; last != repeats.end() && last->first <= hi; ++last)
        n += last->second;
    repeats.erase(first, last);
    return n;
}

} // namespace

std::vector<double> sortedHolidays(const MergedBusinessCalendar& calendar, int32_t start, int32_t end,
                                   std::size_t maxCount) {
    const auto tooMany = [&](std::size_t count) {
        if (count > maxCount)
            throw messages::TooManyHolidays;
    };
    // A span of no more days than the list may hold cannot give more days than that: only repeats of the
    // first member's dates could, and those are checked as the list grows. Longer spans (up to millions of
    // years) are counted first, so that an overlong list is refused without being built.
    if (int64_t{end} - start + 1 > static_cast<int64_t>(maxCount)) {
        std::size_t count = 0;
        sweepHolidays(
            calendar, start, end, [&](const DayRing& listed, auto& repeats, int64_t lo, int64_t hi) {
                count += static_cast<std::size_t>(listed.count(lo, hi) + takeRepeats(repeats, lo, hi));
                tooMany(count);
            });
    }
    std::vector<double> result;
    sweepHolidays(calendar, start, end, [&](const DayRing& listed, auto& repeats, int64_t lo, int64_t hi) {
        listed.forEach(lo, hi, [&](int64_t day) {
            const auto it = repeats.empty() ? repeats.end() : repeats.find(day);
            const int64_t times = it == repeats.end() ? 1 : 1 + it->second;
            if (it != repeats.end())
                repeats.erase(it);
            result.insert(result.end(), static_cast<std::size_t>(times), static_cast<double>(day));
        });
        tooMany(result.size());
    });
    return result;
}
