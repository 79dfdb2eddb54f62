#include "calendars/HolidayListing.h"

#include "calendars/HolidaySweep.h"
#include "calendars/Messages.h"

#include <map>

namespace tavrin {

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
    DayRing listed(span); // every member's days
    struct Listing {
        Release& release;
        const DayRing& listed;
        int64_t end;
        int32_t lastYear;
        DayRing fromFirst;                  // the first member's days
        std::map<int64_t, int64_t> repeats; // how often the first member lists a day beyond once (rare)

        bool wants(int64_t day) const { return day <= end; }
        void met(int64_t day, std::size_t member, bool) {
            if (member == 0 && !fromFirst.insert(day))
                ++repeats[day];
        }
        bool yearDone(int32_t year, int64_t base, int64_t settled) {
            if (year == lastYear) {
                release(listed, repeats, base, std::min<int64_t>(end, base + listed.size() - 1));
                return true;
            }
            const int64_t hi = std::min<int64_t>(settled - 1, end);
            if (listed.highest() >= base) { // anything held at all
                release(listed, repeats, base, hi);
                fromFirst.erase(base, hi);
            }
            return false;
        }
    } listing{release, listed, end, yearOf(end), DayRing(span), {}};
    sweepYears(members, {1, yearOf(start), start}, listed, listing);
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

} // namespace tavrin
