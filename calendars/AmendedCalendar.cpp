#include "calendars/AmendedCalendar.h"

#include "calendars/HolidayRules.h"
#include "calendars/HolidaySweep.h"

#include <algorithm>

namespace tavrin {

// Rule dates lie in their year but for a few strays (the Japanese equinoxes in the far future), and a file
// removes a day or two of a year: those days are taken out one by one, and a list is searched day by day
// only when it has strays or the year many removals.
void AmendedCalendar::appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const {
    const std::size_t from = out.size();
    calendar_->appendHolidaysOfYear(year, out);
    const int64_t firstDay = sweep::firstDayOfYear(year);
    const int64_t lastDay = sweep::lastDayOfYear(year);
    const auto begin = out.begin() + static_cast<std::ptrdiff_t>(from);
    const std::vector<int64_t>& removed = amendments_.removed;
    if (!removed.empty()) {
        const auto yearFirst = std::lower_bound(removed.begin(), removed.end(), firstDay);
        auto yearLast = yearFirst;
        constexpr std::ptrdiff_t kFewRemovals = 8;
        while (yearLast != removed.end() && *yearLast <= lastDay && yearLast - yearFirst < kFewRemovals)
            ++yearLast;
        // More removals in the year, or a date outside it: each date is searched for.
        bool searched = yearLast != removed.end() && *yearLast <= lastDay;
        for (auto day = begin; day != out.end(); ++day)
            searched = searched || *day < firstDay || *day > lastDay;
        if (searched) {
            out.erase(std::remove_if(begin, out.end(),
                                     [&](int64_t day) {
                                         return std::binary_search(removed.begin(), removed.end(), day);
                                     }),
                      out.end());
        } else {
            for (auto day = yearFirst; day != yearLast; ++day)
                out.erase(std::remove(begin, out.end(), *day), out.end());
        }
    }
    const std::vector<int64_t>& added = amendments_.added;
    const auto first = std::lower_bound(added.begin(), added.end(), firstDay);
    const auto last = std::upper_bound(first, added.end(), lastDay);
    const std::size_t listed = out.size();
    for (auto day = first; day != last; ++day)
        // A weekend closes nothing more, and a day listed already would be listed twice.
        if (!holiday_rules::isWeekend(*day) &&
            std::find(out.begin() + static_cast<std::ptrdiff_t>(from),
                      out.begin() + static_cast<std::ptrdiff_t>(listed),
                      *day) == out.begin() + static_cast<std::ptrdiff_t>(listed))
            out.push_back(*day);
}

// The calendar's own kind where no amendment can touch the year: none adds a day to it, and none removes a
// day its rules could give (which may lie as far from it as rules reach).
bool AmendedCalendar::kindOfYear(const YearFacts& year, uint64_t& kind, std::vector<int64_t>& strays) const {
    const int64_t first = year.firstDay();
    const int64_t last = sweep::lastDayOfYear(year.year());
    const auto touches = [](const std::vector<int64_t>& days, int64_t lo, int64_t hi) {
        const auto at = std::lower_bound(days.begin(), days.end(), lo);
        return at != days.end() && *at <= hi;
    };
    if (touches(amendments_.added, first, last) ||
        touches(amendments_.removed, first - sweep::kRuleReachDays, last + sweep::kRuleReachDays))
        return false;
    return calendar_->kindOfYear(year, kind, strays);
}

// The same amendments on calendars of the same rules.
bool AmendedCalendar::hasSameRulesAs(const BusinessCalendar& other) const {
    const auto* amended = dynamic_cast<const AmendedCalendar*>(&other);
    return amended != nullptr && &amended->amendments_ == &amendments_ &&
           calendar_->hasSameRulesAs(*amended->calendar_);
}

} // namespace tavrin
