#pragma once

#include "calendars/BusinessCalendar.h"
#include "calendars/HolidayFile.h"

#include <memory>

namespace tavrin {

// A calendar with the holiday file's amendments of its name: the removed days taken out of each year's list
// and the added ones (weekdays not listed yet) appended to it.
class AmendedCalendar : public BusinessCalendar {
public:
    AmendedCalendar(std::unique_ptr<BusinessCalendar> calendar, const holiday_file::Amendments& amendments)
        : calendar_(std::move(calendar)), amendments_(amendments) {}

    void appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const override;
    bool kindOfYear(const YearFacts& year, uint64_t& kind, std::vector<int64_t>& strays) const override;
    bool hasSameRulesAs(const BusinessCalendar& other) const override;

private:
    std::unique_ptr<BusinessCalendar> calendar_;
    const holiday_file::Amendments& amendments_; // installed for the life of the process
};

} // namespace tavrin
