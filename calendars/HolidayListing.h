#pragma once

#include "calendars/MergedBusinessCalendar.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrin {

// The merged calendar's holidays from start to end, both included, in ascending order: the list `holidays`
// gives, sorted (equal dates side by side). A list longer than maxCount fails with "Too many holidays ..."
// before any of it is built.
std::vector<double> sortedHolidays(const MergedBusinessCalendar& calendar, int32_t start, int32_t end,
                                   std::size_t maxCount);

} // namespace tavrin
