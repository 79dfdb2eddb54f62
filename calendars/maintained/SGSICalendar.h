#pragma once

#include "calendars/BusinessCalendar.h"

namespace tavrin {

// Singapore's lunar and religious holidays are announced year by year, so the calendar knows only the years
// of its table. Any other year fails with messages::SingaporeYearsNotCovered, never a silent business day.
class SGSICalendar : public BusinessCalendar {
public:
    static constexpr int32_t kFirstYear = 2000;
    static constexpr int32_t kLastYear = 2027;

    void appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const override;
};

} // namespace tavrin
