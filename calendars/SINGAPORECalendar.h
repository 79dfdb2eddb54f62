#pragma once

#include "calendars/BusinessCalendar.h"

namespace tavrin {

class SINGAPORECalendar : public BusinessCalendar {
public:
    void appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const override;
};

} // namespace tavrin
