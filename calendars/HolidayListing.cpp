#include "calendars/HolidayListing.h"

#include "calendars/HolidaySweep.h"
#include "calendars/Messages.h"

#include <algorithm>
#include <utility>

using namespace sweep;

namespace {

// Walks the years once and hands every listed day to `emit` in ascending order, with the number of times
// the merged list holds it: as often as the first member lists it, or once when only later members do.
template <class Emit>
void sweepHolidays(const MergedBusinessCalendar& calendar, int32_t start, int32_t end, Emit&& emit) {
    const auto& members = calendar.distinctCalendars();
    if (members.empty() || start > end)
        return;
    std::vector<int64_t> dates;
    std::vector<std::pair<int64_t, int64_t>> listed; // (day, 1 when from the first member, else 0)
    DayRuns open;                                    // key: day, weight: times the first member lists it
    const auto release = [&] {
        const DayRuns::Entry& entry = open.front();
        emit(static_cast<double>(entry.key), entry.weight > 0 ? entry.weight : 1);
        open.popFront();
    };
    const int32_t lastYear = yearOf(end);
    for (int32_t year = yearOf(start);; ++year) {
        listed.clear();
        for (std::size_t m = 0; m < members.size(); ++m) {
            dates.clear();
            members[m]->appendHolidaysOfYear(year, dates);
            for (const int64_t day : dates)
                if (day >= start && day <= end)
                    listed.emplace_back(day, m == 0 ? 1 : 0);
        }
        std::sort(listed.begin(), listed.end());
        for (std::size_t i = 0; i < listed.size();) {
            const int64_t day = listed[i].first;
            int64_t fromFirst = 0;
            for (; i < listed.size() && listed[i].first == day; ++i)
                fromFirst += listed[i].second;
            if (DayRuns::Entry* entry = open.find(day))
                entry->weight += fromFirst;
            else
                open.insert({day, fromFirst});
        }
        if (year == lastYear)
            break;
        // No later year gives a day this far back again.
        const int64_t settled = firstDayOfYear(year + 1) - kRuleReachDays;
        while (!open.empty() && open.front().key < settled)
            release();
    }
    while (!open.empty())
        release();
}

} // namespace

std::vector<double> sortedHolidays(const MergedBusinessCalendar& calendar, int32_t start, int32_t end,
                                   std::size_t maxCount) {
    // Counted first, so that a span of millions of years is refused without building its list.
    std::size_t count = 0;
    sweepHolidays(calendar, start, end, [&](double, int64_t times) {
        count += static_cast<std::size_t>(times);
        if (count > maxCount)
            throw messages::TooManyHolidays;
    });
    std::vector<double> result;
    result.reserve(count);
    sweepHolidays(calendar, start, end,
                  [&](double day, int64_t times) { result.insert(result.end(), times, day); });
    return result;
}
