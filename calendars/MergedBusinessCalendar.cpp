#include "calendars/MergedBusinessCalendar.h"

#include <algorithm>
#include <utility>

namespace tavrin {

MergedBusinessCalendar::MergedBusinessCalendar(std::vector<std::unique_ptr<BusinessCalendar>> calendars)
    : calendars_(std::move(calendars)) {
    for (const auto& calendar : calendars_) {
        const bool repeated =
            std::any_of(distinct_.begin(), distinct_.end(),
                        [&](const BusinessCalendar* seen) { return seen->hasSameRulesAs(*calendar); });
        if (!repeated)
            distinct_.push_back(calendar.get());
    }
}

// The first member's list stands as it is, repeats included (Switzerland lists 1 May twice when Ascension
// Day falls on it); a later member adds only the dates not listed yet, its own repeats included. A member
// with the same rules as an earlier one would add nothing and is skipped.
std::vector<double> MergedBusinessCalendar::holidays(int32_t start, int32_t end) const {
    if (distinct_.empty())
        return {};
    std::vector<double> result = distinct_.front()->holidays(start, end);
    std::vector<double> listed = result; // the same days, sorted for look-up
    std::sort(listed.begin(), listed.end());
    for (std::size_t i = 1; i < distinct_.size(); ++i) {
        std::vector<double> fresh; // the member's days not listed yet, in its order, repeats included
        for (const double day : distinct_[i]->holidays(start, end))
            if (!std::binary_search(listed.begin(), listed.end(), day))
                fresh.push_back(day);
        std::vector<double> added = fresh; // each of them once, sorted
        std::sort(added.begin(), added.end());
        added.erase(std::unique(added.begin(), added.end()), added.end());
        std::vector<bool> taken(added.size(), false);
        for (const double day : fresh) {
            const auto at =
                static_cast<std::size_t>(std::lower_bound(added.begin(), added.end(), day) - added.begin());
            if (!taken[at]) {
                taken[at] = true;
                result.push_back(day);
            }
        }
        const auto middle = static_cast<std::ptrdiff_t>(listed.size());
        listed.insert(listed.end(), added.begin(), added.end());
        std::inplace_merge(listed.begin(), listed.begin() + middle, listed.end());
    }
    return result;
}

// Every member's rule dates of the year, member after member; the business-day operations only ask whether
// a day is among them, so dates given twice are left for them to ignore.
void MergedBusinessCalendar::appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const {
    for (const BusinessCalendar* calendar : distinct_)
        calendar->appendHolidaysOfYear(year, out);
}

} // namespace tavrin
