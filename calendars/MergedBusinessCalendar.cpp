#include "calendars/MergedBusinessCalendar.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

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
    if (distinct_.size() == 1)
        return result;
    std::unordered_set<double> listed(result.begin(), result.end());
    for (std::size_t i = 1; i < distinct_.size(); ++i)
        for (const double day : distinct_[i]->holidays(start, end))
            if (listed.insert(day).second)
                result.push_back(day);
    return result;
}

// Every member's rule dates of the year, member after member; the business-day operations only ask whether
// a day is among them, so dates given twice are left for them to ignore.
void MergedBusinessCalendar::appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const {
    for (const BusinessCalendar* calendar : distinct_)
        calendar->appendHolidaysOfYear(year, out);
}
