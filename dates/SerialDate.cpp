#include "dates/SerialDate.h"

#include "dates/Messages.h"

#include <array>
#include <limits>

namespace tavrin {

namespace {

constexpr std::array<int32_t, 12> kMonthLengths{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
// Days before each month in a common year; a leap year adds one from March on.
constexpr std::array<int32_t, 13> kDaysBeforeMonth{0,   31,  59,  90,  120, 151, 181,
                                                   212, 243, 273, 304, 334, 365};
constexpr int32_t kDaysPerCycle = 4 * 365 + 1; // four years, the first of them (1900, 1904, ...) a leap year

// Days from 1 January 1900 (exclusive) to 1 January of `year`, for year >= 1900: every year divisible by 4
// has 366 days, so ceil((year - 1900) / 4) of the years before `year` are leap years.
constexpr int64_t daysBeforeYear(int64_t year) {
    const int64_t years = year - 1900;
    return 365 * years + (years + 3) / 4;
}

} // namespace

int32_t daysInMonth(int32_t month, int32_t year) {
    if (month < 1 || month > 12)
        throw messages::InvalidDate;
    return kMonthLengths[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
}

SerialDate checkedSerialDate(int64_t serial) {
    if (serial < std::numeric_limits<int32_t>::min() || serial > std::numeric_limits<int32_t>::max())
        throw messages::InvalidDate;
    return SerialDate(static_cast<int32_t>(serial));
}

SerialDate toSerialDate(double date) {
    // The comparisons are false for NaN; the bounds keep every value that truncates into int32.
    if (!(date > -2147483649.0 && date < 2147483648.0))
        throw messages::InvalidDate;
    return SerialDate(static_cast<int32_t>(date));
}

SerialDate::SerialDate(int32_t day, int32_t month, int32_t year) {
    if (year < 1900 || month < 1 || month > 12)
        throw messages::InvalidDate;
    const int64_t monthStart =
        kDaysBeforeMonth[month - 1] + (month > 2 && tavrin::isLeapYear(year) ? 1 : 0); // [0, 335]
    serial_ = checkedSerialDate(daysBeforeYear(year) + monthStart + day).serial();
}

SerialDate::Ymd SerialDate::ymd() const {
    // Counting from 1900 leaves anything up to day 0 in January 1900, as day 0 or a negative day.
    if (serial_ <= 0)
        return {1900, 1, serial_};
    const int32_t r = serial_ - 1;           // days since 1 January 1900, [0, 2^31 - 2]
    const int32_t cycle = r / kDaysPerCycle; // [0, 1470049]
    int32_t inCycle = r % kDaysPerCycle;     // [0, 1460]
    int32_t year = 1900 + 4 * cycle;         // [1900, 5880096]
    if (inCycle >= 366) {                    // past the leap year that opens the cycle
        inCycle -= 366;                      // [0, 1094]
        year += 1 + inCycle / 365;
        inCycle %= 365;
    }
    const int32_t dayOfYear = inCycle + 1; // [1, 366]
    const int32_t leap = tavrin::isLeapYear(year) ? 1 : 0;
    int32_t month = 1;
    while (month < 12 && dayOfYear > kDaysBeforeMonth[month] + (month >= 2 ? leap : 0))
        ++month;
    const int32_t before = kDaysBeforeMonth[month - 1] + (month > 2 ? leap : 0);
    return {year, month, dayOfYear - before};
}

bool SerialDate::isLeapYear() const {
    return tavrin::isLeapYear(year());
}

SerialDate SerialDate::plusDays(int32_t n) const {
    return checkedSerialDate(static_cast<int64_t>(serial_) + n);
}

SerialDate SerialDate::plusMonths(int32_t n) const {
    const Ymd d = ymd();
    int64_t month = d.month + n % 12; // the remainder keeps the sign of n
    int64_t year = d.year + static_cast<int64_t>(n / 12);
    if (month < 1) {
        month += 12;
        --year;
    } else if (month > 12) {
        month -= 12;
        ++year;
    }
    if (year < 1900 || year > std::numeric_limits<int32_t>::max())
        throw messages::InvalidDate;
    const int32_t m = static_cast<int32_t>(month);
    const int32_t y = static_cast<int32_t>(year);
    // Only clamped to the target month's length: there is no end-of-month rule.
    const int32_t day = d.day < daysInMonth(m, y) ? d.day : daysInMonth(m, y);
    return SerialDate(day, m, y);
}

SerialDate SerialDate::endOfMonth() const {
    const Ymd d = ymd();
    return checkedSerialDate(static_cast<int64_t>(serial_) + daysInMonth(d.month, d.year) - d.day);
}

SerialDate SerialDate::thirdWednesdayOfMonth() const {
    const Ymd d = ymd();
    const SerialDate first(1, d.month, d.year);
    const int32_t w = first.weekday(); // a first of the month is never before day 1, so [0, 6]
    const int32_t toWednesday = w <= 4 ? 4 - w : 11 - w;
    return first.plusDays(toWednesday + 14);
}

int64_t dayNumber64(int32_t day, int32_t month, int32_t year) {
    return daysBeforeYear(year) + kDaysBeforeMonth[month - 1] + (month > 2 && isLeapYear(year) ? 1 : 0) + day;
}

} // namespace tavrin
