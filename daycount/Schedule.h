#pragma once

#include "dates/SerialDate.h"

#include <string>
#include <vector>

// Effective date, first regular date, the regular dates stepped by the tenor with the roll day, and the
// maturity, all adjusted to business days under ctrl on the calendar with the extra holidays.
std::vector<SerialDate> generateSchedule(double effectiveDate, double firstRegularDate,
                                         double lastRegularDate, double maturity, double rollDay,
                                         const std::wstring& tenor, const std::wstring& ctrl,
                                         const std::wstring& holidayCalendar,
                                         const std::vector<double>& xtraHolidays);
std::vector<double> sched_Schedule(double effectiveDate, double firstRegularDate, double lastRegularDate,
                                   double maturity, double rollDay, std::wstring tenor, std::wstring ctrl,
                                   std::wstring holidayCalendar, std::vector<double> xtraHolidays);
