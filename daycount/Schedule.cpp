#include "daycount/Schedule.h"

#include "calendars/CalendarFactory.h"
#include "dates/Messages.h"
#include "dates/Tenor.h"
#include "daycount/Messages.h"

#include <cstdint>
#include <limits>

namespace tavrin {

namespace {

using Ymd = SerialDate::Ymd;

// The schedule comes back as one worksheet column.
constexpr int64_t kMaxScheduleLength = 1048576;

bool isMonthEnd(const Ymd& d) {
    return d.day == daysInMonth(d.month, d.year);
}

int64_t monthIndex(SerialDate date) {
    const Ymd d = date.ymd();
    return 12 * static_cast<int64_t>(d.year) + d.month - 1;
}

// Order of the four dates as given, before truncation; equal dates pass.
void checkOrder(double effectiveDate, double firstRegularDate, double lastRegularDate, double maturity) {
    if (firstRegularDate < effectiveDate)
        throw messages::FirstRegularBeforeEffective;
    if (lastRegularDate < firstRegularDate)
        throw messages::LastRegularBeforeFirstRegular;
    if (lastRegularDate > maturity)
        throw messages::MaturityBeforeLastRegular;
}

// The first regular date must fall on the roll day, unless it ends its month (which suits any roll day).
void checkRollDay(SerialDate firstRegular, double rollDay) {
    const Ymd d = firstRegular.ymd();
    if (!isMonthEnd(d) && d.day != rollDay)
        throw messages::RollDayMismatch;
    if (!(rollDay >= 1 && rollDay <= 31)) // NaN is no day of the month either
        throw messages::InvalidRollDay;
}

// The tenor on (day clamped to the target month), then onto the roll day when the month has it, else to the
// month's end. A date that clamping left on a month end stays there whatever the roll day.
SerialDate nextRegularDate(SerialDate date, int32_t months, double rollDay) {
    const SerialDate stepped = date.plusMonths(months);
    const Ymd d = stepped.ymd();
    if (d.day == rollDay || isMonthEnd(d))
        return stepped;
    if (daysInMonth(d.month, d.year) >= rollDay)
        return stepped.plusDays(static_cast<int32_t>(rollDay - d.day));
    return stepped.endOfMonth();
}

// Steps from the first regular date (the list's last entry) by whole tenors while short of the last regular
// date, appending each date, and returns where the walk stopped.
SerialDate appendRegularDates(std::vector<SerialDate>& dates, int32_t months, double rollDay,
                              double lastRegularDate) {
    SerialDate date = dates.back();
    if (!(date.serial() < lastRegularDate))
        return date;
    // A walk backwards, or towards a date beyond the last day number, never arrives: it would step until it
    // left the date range and failed there.
    if (months < 0 || lastRegularDate > std::numeric_limits<int32_t>::max())
        throw messages::InvalidDate;

    // Each step moves on by the tenor and stays in the month it lands in, so the month count tells the length
    // before anything is built: a walk that lands on the last regular date takes exactly `steps`, one that
    // overshoots it one more.
    const int64_t monthsToGo = monthIndex(toSerialDate(lastRegularDate)) - monthIndex(date); // >= 0
    const int64_t steps = monthsToGo > 0 ? (monthsToGo - 1) / months + 1 : 1;
    if (static_cast<int64_t>(dates.size()) + steps + 1 > kMaxScheduleLength) // + 1 for the maturity
        throw messages::ScheduleTooLong;
    dates.reserve(dates.size() + static_cast<std::size_t>(steps) + 2);

    while (date.serial() < lastRegularDate) {
        date = nextRegularDate(date, months, rollDay);
        dates.push_back(date);
    }
    return date;
}

} // namespace

SerialDate adjustDate(const BusinessCalendar& calendar, SerialDate date, BusinessDayConvention convention) {
    return calendar.adjust(date, convention);
}

std::vector<SerialDate> adjustDates(const BusinessCalendar& calendar, std::vector<SerialDate> dates,
                                    BusinessDayConvention convention) {
    return calendar.adjustAll(std::move(dates), convention);
}

std::vector<SerialDate> unadjustedSchedule(double effectiveDate, double firstRegularDate,
                                           double lastRegularDate, double maturity, double rollDay,
                                           Tenor tenor) {
    const int16_t months = tenor.months();
    std::vector<SerialDate> dates{toSerialDate(effectiveDate), toSerialDate(firstRegularDate)};
    checkOrder(effectiveDate, firstRegularDate, lastRegularDate, maturity);
    checkRollDay(dates.back(), rollDay);

    // Whole tenors from the first regular date must land exactly on the last regular date.
    if (appendRegularDates(dates, months, rollDay, lastRegularDate).serial() != lastRegularDate)
        throw messages::InvalidScheduleInputs;
    dates.push_back(toSerialDate(maturity));
    return dates;
}

// Dates are stepped unadjusted and adjusted only at the end, so adjustment never shifts the roll.
std::vector<SerialDate> generateSchedule(double effectiveDate, double firstRegularDate,
                                         double lastRegularDate, double maturity, double rollDay, Tenor tenor,
                                         BusinessDayConvention convention, const BusinessCalendar& calendar) {
    return adjustDates(
        calendar,
        unadjustedSchedule(effectiveDate, firstRegularDate, lastRegularDate, maturity, rollDay, tenor),
        convention);
}

// The calendar text is read only once the dates stand: a schedule that cannot be stepped fails with its own
// message whatever the calendar.
std::vector<double> sched_Schedule(double effectiveDate, double firstRegularDate, double lastRegularDate,
                                   double maturity, double rollDay, std::wstring tenor, std::wstring ctrl,
                                   std::wstring holidayCalendar, std::vector<double> xtraHolidays) {
    std::vector<SerialDate> dates = unadjustedSchedule(effectiveDate, firstRegularDate, lastRegularDate,
                                                       maturity, rollDay, parseTenor(tenor));
    const auto calendar = CalendarFactory().createCalendar(std::move(holidayCalendar));
    calendar->setExtraHolidays(std::move(xtraHolidays));
    dates = adjustDates(*calendar, std::move(dates), parseBusinessDayConvention(ctrl));
    std::vector<double> serials;
    serials.reserve(dates.size());
    for (const SerialDate date : dates)
        serials.push_back(date.serial());
    return serials;
}

} // namespace tavrin
