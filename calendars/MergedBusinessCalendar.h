#pragma once

#include "calendars/BusinessCalendar.h"

#include <memory>
#include <vector>

namespace tavrin {

// Joins an ordered list of calendars: the first member's holidays as they stand, then each later member's
// dates that are not yet listed.
class MergedBusinessCalendar : public BusinessCalendar {
public:
    explicit MergedBusinessCalendar(std::vector<std::unique_ptr<BusinessCalendar>> calendars);

    std::vector<double> holidays(int32_t start, int32_t end) const override;
    void appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const override;
    bool hasSameRulesAs(const BusinessCalendar& other) const override { return this == &other; }

    const std::vector<std::unique_ptr<BusinessCalendar>>& calendars() const { return calendars_; }
    // The members without repeats of rules, first member first.
    const std::vector<const BusinessCalendar*>& distinctCalendars() const { return distinct_; }

private:
    std::vector<std::unique_ptr<BusinessCalendar>> calendars_;
    // The members whose rules no earlier member has, in order: a name given twice adds no date, and a text
    // naming one calendar thousands of times must cost no more than naming it once.
    std::vector<const BusinessCalendar*> distinct_;
};

} // namespace tavrin
