#pragma once

#include <compare>
#include <cstdint>

namespace tavrin {

// A date as a day number in the spreadsheet's 1900 date system: day 1 is 1 January 1900.
//
// Every year divisible by 4 is a leap year, with no century rule: 29 February 1900 exists (as it does in
// the host) and so do 29 February 2100, 2200, 2300, 2500 ... (which the host lacks, so from 1 March 2100 on
// our day numbers run one ahead of the host's, from 1 March 2200 two ahead, and so on). The weekday is the
// signed remainder of the day number by 7: 0 Saturday, 1 Sunday, 2 Monday ... 6 Friday; zero and negative day
// numbers therefore count as weekend days.
//
// Day numbers of zero and below decompose as day 0 or negative days of January 1900.
class SerialDate {
public:
    struct Ymd {
        int32_t year;
        int32_t month; // 1 to 12
        int32_t day;   // 1 to 31, or <= 0 for day numbers of zero and below
    };

    constexpr SerialDate() = default;
    constexpr explicit SerialDate(int32_t serial) : serial_(serial) {}
    // Day is an offset into the month (day 0 is the last day of the month before); the year must be 1900 or
    // later and the month 1 to 12, and the result must fit a 32-bit day number, else "Invalid date!!".
    SerialDate(int32_t day, int32_t month, int32_t year);

    constexpr int32_t serial() const { return serial_; }
    Ymd ymd() const;
    int32_t year() const { return ymd().year; }
    int32_t month() const { return ymd().month; }
    int32_t day() const { return ymd().day; }

    // Signed remainder by 7: 0 Saturday, 1 Sunday, 2 Monday ... 6 Friday (negative below day 0).
    constexpr int32_t weekday() const { return serial_ % 7; }
    constexpr bool isWeekend() const { return weekday() < 2; }
    constexpr bool isSaturday() const { return weekday() == 0; }
    constexpr bool isSunday() const { return weekday() == 1; }
    bool isLeapYear() const;

    // Date arithmetic whose result leaves the 32-bit day range fails with "Invalid date!!".
    SerialDate plusDays(int32_t n) const;
    SerialDate plusMonths(int32_t n) const;
    SerialDate endOfMonth() const;
    SerialDate thirdWednesdayOfMonth() const;

    friend constexpr bool operator==(SerialDate a, SerialDate b) = default;
    friend constexpr auto operator<=>(SerialDate a, SerialDate b) = default;

private:
    int32_t serial_ = 0;
};

constexpr bool isLeapYear(int32_t year) {
    return year % 4 == 0;
}
// Month 1 to 12 ("Invalid date!!" otherwise).
int32_t daysInMonth(int32_t month, int32_t year);

// A day number held in a double (a worksheet date), truncated toward zero. NaN, infinities and values
// outside the 32-bit range fail with "Invalid date!!".
SerialDate toSerialDate(double date);
// A 64-bit day number checked into the 32-bit range ("Invalid date!!" outside it).
SerialDate checkedSerialDate(int64_t serial);

namespace detail {
// The quarter-, hundred- and four-hundred-year terms truncate toward zero, so years before 2000 shift
// differently from a floored formula (1990 gives 20 March, not 21). The hundred-year term is added, so the
// day drifts back about 0.0153 days a year: by the end of the 32-bit range it lies some 90,000 days before
// March. Years are widened to 64 bits so that no int32 year overflows; the result stays well inside int32.
// The sum is evaluated left to right, as written, so that the truncation sees the same rounding. In line,
// so that a walk over millions of years asking for both equinoxes works out the terms once.
inline int32_t equinoxDay(double base, int32_t year) {
    const int64_t a = static_cast<int64_t>(year) - 2000;
    const int64_t c = a / 4 + a / 100 - a / 400;
    return static_cast<int32_t>(base + 0.242194 * static_cast<double>(a) - static_cast<double>(c));
}
} // namespace detail

// Day of March (vernal) and of September (autumnal) of the equinox, as the Japanese calendar fixes it.
inline int32_t vernalEquinoxDay(int32_t year) {
    return detail::equinoxDay(20.69115, year);
}
inline int32_t autumnalEquinoxDay(int32_t year) {
    return detail::equinoxDay(23.09, year);
}

// The day number of day/month/year in 64 bits, unchecked: holiday rules of years near the end of the
// 32-bit range may land just beyond it and are filtered afterwards. Needs year >= 1900, month 1 to 12.
int64_t dayNumber64(int32_t day, int32_t month, int32_t year);

} // namespace tavrin
