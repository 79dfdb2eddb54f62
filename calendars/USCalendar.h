#pragma once

#include "calendars/BusinessCalendar.h"

namespace tavrin {

class USCalendar : public BusinessCalendar {
public:
    void appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const override;
    bool kindOfYear(const YearFacts& year, uint64_t& kind, std::vector<int64_t>& strays) const override;
    int32_t easterKindsFrom() const override { return 1900; }
};

} // namespace tavrin
