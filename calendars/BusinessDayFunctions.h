#pragma once

#include <string>
#include <vector>

namespace tavrin {

// Library functions behind the business-day worksheet functions. Each builds the calendar named by the
// text, stores the extra holidays in it, truncates date arguments toward zero and runs one operation.
bool sched_IsBusinessDay(double date, std::wstring calendar, std::vector<double> extraHolidays);
double sched_BusinessDayCount(double start, double end, std::wstring calendar,
                              std::vector<double> extraHolidays);
double sched_plusBusinessDays(double date, double days, std::wstring calendar,
                              std::vector<double> extraHolidays);
double sched_nextBusinessDay(double date, std::wstring calendar, std::vector<double> extraHolidays);
double sched_previousBusinessDay(double date, std::wstring calendar, std::vector<double> extraHolidays);
double sched_LastBusDayOfMonth(double date, std::wstring calendar, std::vector<double> extraHolidays);
double sched_AdjustToBusDay(double date, std::wstring convention, std::wstring calendar,
                            std::vector<double> extraHolidays);
std::vector<double> sched_Holidays(double start, double end, std::wstring calendar,
                                   std::vector<double> extraHolidays);

} // namespace tavrin
