#pragma once

#include "calendars/BusinessCalendar.h"
#include "calendars/BusinessDayConvention.h"
#include "dates/SerialDate.h"
#include "dates/Tenor.h"

#include <string>
#include <vector>

namespace tavrin {

// Effective date, first regular date, the regular dates stepped by the tenor with the roll day, and the
// maturity, unadjusted. Fails with the schedule's messages before any calendar is consulted.
std::vector<SerialDate> unadjustedSchedule(double effectiveDate, double firstRegularDate,
                                           double lastRegularDate, double maturity, double rollDay,
                                           Tenor tenor);

// The unadjusted schedule, every date then adjusted to a business day of the calendar under the convention.
std::vector<SerialDate> generateSchedule(double effectiveDate, double firstRegularDate,
                                         double lastRegularDate, double maturity, double rollDay, Tenor tenor,
                                         BusinessDayConvention convention, const BusinessCalendar& calendar);

// The calendar's adjustment under a typed convention.
SerialDate adjustDate(const BusinessCalendar& calendar, SerialDate date, BusinessDayConvention convention);
std::vector<SerialDate> adjustDates(const BusinessCalendar& calendar, std::vector<SerialDate> dates,
                                    BusinessDayConvention convention);

std::vector<double> sched_Schedule(double effectiveDate, double firstRegularDate, double lastRegularDate,
                                   double maturity, double rollDay, std::wstring tenor, std::wstring ctrl,
                                   std::wstring holidayCalendar, std::vector<double> xtraHolidays);

} // namespace tavrin
