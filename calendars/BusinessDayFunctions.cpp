#include "calendars/BusinessDayFunctions.h"

#include "calendars/CalendarFactory.h"
#include "calendars/HolidayListing.h"
#include "dates/SerialDate.h"

#include <utility>

namespace tavrin {

namespace {

// The rows of the host's grid: no longer holiday list can be shown.
constexpr std::size_t kMaxHolidayRows = 1'048'576;

std::unique_ptr<MergedBusinessCalendar> makeCalendar(std::wstring text, std::vector<double> extraHolidays) {
    auto calendar = CalendarFactory().createCalendar(std::move(text));
    calendar->setExtraHolidays(std::move(extraHolidays));
    return calendar;
}

// Dates, and the count of business days to step, are truncated toward zero; outside 32 bits they fail with
// "Invalid date!!".
int32_t truncated(double value) {
    return toSerialDate(value).serial();
}

} // namespace

bool sched_IsBusinessDay(double date, std::wstring calendar, std::vector<double> extraHolidays) {
    const auto merged = makeCalendar(std::move(calendar), std::move(extraHolidays));
    return merged->isBusinessDay(truncated(date));
}

double sched_BusinessDayCount(double start, double end, std::wstring calendar,
                              std::vector<double> extraHolidays) {
    const auto merged = makeCalendar(std::move(calendar), std::move(extraHolidays));
    return merged->businessDayCount(truncated(start), truncated(end));
}

double sched_plusBusinessDays(double date, double days, std::wstring calendar,
                              std::vector<double> extraHolidays) {
    const auto merged = makeCalendar(std::move(calendar), std::move(extraHolidays));
    return merged->plusBusinessDays(truncated(date), truncated(days));
}

double sched_nextBusinessDay(double date, std::wstring calendar, std::vector<double> extraHolidays) {
    const auto merged = makeCalendar(std::move(calendar), std::move(extraHolidays));
    return merged->nextBusinessDay(truncated(date));
}

double sched_previousBusinessDay(double date, std::wstring calendar, std::vector<double> extraHolidays) {
    const auto merged = makeCalendar(std::move(calendar), std::move(extraHolidays));
    return merged->previousBusinessDay(truncated(date));
}

double sched_LastBusDayOfMonth(double date, std::wstring calendar, std::vector<double> extraHolidays) {
    const auto merged = makeCalendar(std::move(calendar), std::move(extraHolidays));
    return merged->lastBusinessDayOfMonth(truncated(date));
}

double sched_AdjustToBusDay(double date, std::wstring convention, std::wstring calendar,
                            std::vector<double> extraHolidays) {
    const auto merged = makeCalendar(std::move(calendar), std::move(extraHolidays));
    return merged->adjust(toSerialDate(date), std::move(convention)).serial();
}

// The extra holidays are stored like everywhere else but never listed: only rule holidays are.
std::vector<double> sched_Holidays(double start, double end, std::wstring calendar,
                                   std::vector<double> extraHolidays) {
    const auto merged = makeCalendar(std::move(calendar), std::move(extraHolidays));
    return sortedHolidays(*merged, truncated(start), truncated(end), kMaxHolidayRows);
}

} // namespace tavrin
