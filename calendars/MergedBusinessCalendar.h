#pragma once

#include "calendars/BusinessCalendar.h"

#include <memory>
#include <vector>

// Joins an ordered list of calendars: the first member's holidays as they stand, then each later member's
// dates that are not yet listed.
class MergedBusinessCalendar : public BusinessCalendar {
public:
    explicit MergedBusinessCalendar(std::vector<std::unique_ptr<BusinessCalendar>> calendars);

    std::vector<double> holidays(int32_t start, int32_t end) const override;
    void appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const override;

    const std::vector<std::unique_ptr<BusinessCalendar>>& calendars() const { return calendars_; }

private:
    std::vector<std::unique_ptr<BusinessCalendar>> calendars_;
};
