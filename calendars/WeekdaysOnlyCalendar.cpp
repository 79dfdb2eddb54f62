#include "calendars/WeekdaysOnlyCalendar.h"

namespace tavrin {

// Only Saturdays and Sundays are closed: no rule holidays at all.
void WeekdaysOnlyCalendar::appendHolidaysOfYear(int32_t, std::vector<int64_t>&) const {}

} // namespace tavrin
