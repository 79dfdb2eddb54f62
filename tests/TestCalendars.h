#pragma once

// Calendars with chosen rule dates, for testing the business-day operations without the market rules.

#include "calendars/BusinessCalendar.h"
#include "calendars/MergedBusinessCalendar.h"

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

using namespace tavrin;

namespace testing_calendars {

// The rule dates of each year as given, in the given order (repeats and dates outside the year included).
class ListCalendar : public BusinessCalendar {
public:
    explicit ListCalendar(std::map<int32_t, std::vector<int64_t>> byYear) : byYear_(std::move(byYear)) {}
    void appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const override {
        if (const auto it = byYear_.find(year); it != byYear_.end())
            out.insert(out.end(), it->second.begin(), it->second.end());
    }
    bool hasSameRulesAs(const BusinessCalendar& other) const override { return this == &other; }

private:
    std::map<int32_t, std::vector<int64_t>> byYear_;
};

// Rule dates computed from the year, for rules that reach into neighbouring years.
class RuleCalendar : public BusinessCalendar {
public:
    using Rule = std::function<void(int32_t year, std::vector<int64_t>& out)>;
    explicit RuleCalendar(Rule rule) : rule_(std::move(rule)) {}
    void appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const override { rule_(year, out); }
    bool hasSameRulesAs(const BusinessCalendar& other) const override { return this == &other; }

private:
    Rule rule_;
};

// A year's rules that wander out of it in both directions, some twice, some far: a harsher test of the
// window semantics than any market calendar.
inline void driftingRules(int32_t year, std::vector<int64_t>& out) {
    const int64_t first = dayNumber64(1, 1, year);
    const int64_t last = dayNumber64(31, 12, year);
    out.push_back(first - 3 - year % 41);  // late in the year before
    out.push_back(first + 40 + year % 7);  // February
    out.push_back(first + 40 + year % 7);  // the same day again
    out.push_back(first + 150 - year % 5); // early summer
    out.push_back(last + 1 + year % 3);    // early in the year after
    out.push_back(last - 2);               // 29 December
    if (year % 3 == 0)
        out.push_back(first - 800 - year % 11); // two years back
    if (year % 5 == 0)
        out.push_back(last + 420); // beyond the next year's February
}

inline std::unique_ptr<MergedBusinessCalendar>
merged(std::vector<std::unique_ptr<BusinessCalendar>> members) {
    return std::make_unique<MergedBusinessCalendar>(std::move(members));
}

template <class... Calendars>
std::unique_ptr<MergedBusinessCalendar> mergedOf(std::unique_ptr<Calendars>... members) {
    std::vector<std::unique_ptr<BusinessCalendar>> list;
    (list.push_back(std::move(members)), ...);
    return merged(std::move(list));
}

} // namespace testing_calendars
