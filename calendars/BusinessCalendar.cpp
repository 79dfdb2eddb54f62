#include "calendars/BusinessCalendar.h"

#include "calendars/Easter.h"
#include "calendars/HolidaySweep.h"

#include <limits>
#include <utility>

namespace tavrin {

bool equalsIgnoringCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && a[i] != (b[i] ^ 0x20))
            return false;
    return true;
}

int32_t YearFacts::easterMondayDayOfYear() const {
    if (easterMonday_ == 0)
        easterMonday_ = tavrin::easterMondayDayOfYear(year_);
    return easterMonday_;
}

bool BusinessCalendar::kindOfYear(const YearFacts&, uint64_t&, std::vector<int64_t>&) const {
    return false;
}

int32_t BusinessCalendar::easterKindsFrom() const {
    return std::numeric_limits<int32_t>::max();
}

std::vector<double> BusinessCalendar::holidays(int32_t start, int32_t end) const {
    std::vector<double> result;
    if (start > end)
        return result;
    std::vector<int64_t> ofYear;
    const int32_t lastYear = SerialDate(end).year();
    for (int32_t year = SerialDate(start).year(); year <= lastYear; ++year) {
        ofYear.clear();
        appendHolidaysOfYear(year, ofYear);
        for (const int64_t day : ofYear)
            if (day >= start && day <= end)
                result.push_back(static_cast<double>(day));
    }
    return result;
}

void BusinessCalendar::setExtraHolidays(std::vector<double> extraHolidays) {
    extraHolidays_ = std::move(extraHolidays);
    closingExtras_ = sweep::weekdayExtraHolidays(extraHolidays_);
}

} // namespace tavrin
