#pragma once

#include <cstdint>
#include <string>

namespace tavrin {

// Library functions behind the month-arithmetic worksheet functions. Dates arrive as doubles and are
// truncated toward zero; results are day numbers as doubles.
double sched_plusMonths(double date, int16_t months);
double sched_endOfMonth(double date);
double sched_thirdWednesDayOfMonth(double date);
int16_t sched_Tenor2Month(std::wstring tenor);

} // namespace tavrin
