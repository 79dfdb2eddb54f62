#include "calendars/WeekdaysOnlyCalendar.h"

namespace tavrin {

// Only Saturdays and Sundays are closed: no rule holidays at all.
void WeekdaysOnlyCalendar::appendHolidaysOfYear(int32_t, std::vector<int64_t>&) const {}

// No year has a rule holiday: one kind.
bool WeekdaysOnlyCalendar::kindOfYear(const YearFacts&, uint64_t& kind, std::vector<int64_t>&) const {
    kind = 0;
    return true;
}

} // namespace tavrin
