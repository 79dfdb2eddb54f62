#include "xlhost/formula/HostDate.h"

#include <cmath>

namespace xlhost {
namespace {

// Days from 1 March of year 0 in the proleptic Gregorian calendar, for any year in [-1e6, 1e6].
int64_t gregorianDays(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;                                  // [0, 399]
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1; // [0, 365]
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;          // [0, 146096]
    return era * 146097 + doe;
}

void civilFromDays(int64_t z, int32_t& year, int32_t& month, int32_t& day) {
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;                                      // [0, 146096]
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365; // [0, 399]
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);               // [0, 365]
    const int64_t mp = (5 * doy + 2) / 153;                                    // [0, 11]
    day = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int32_t>(yoe + era * 400 + (month <= 2));
}

const int64_t kDayZero = gregorianDays(1899, 12, 31);

// The host's day number of the first of a month: Gregorian, plus the 29 February 1900 the host counts.
int64_t hostMonthStart(int64_t year, int64_t month) {
    const int64_t gregorian = gregorianDays(year, month, 1) - kDayZero;
    return gregorian >= 60 ? gregorian + 1 : gregorian;
}

} // namespace

std::optional<int32_t> hostDate(double year, double month, double day) {
    if (!std::isfinite(year) || !std::isfinite(month) || !std::isfinite(day))
        return std::nullopt;
    double y = std::trunc(year);
    if (y >= 0 && y < 1900)
        y += 1900;
    if (y < 1900 || y > 9999 || std::fabs(month) > 1e6 || std::fabs(day) > 1e8)
        return std::nullopt;
    // Carry whole years out of the month: [1, 12] remains.
    const int64_t m0 = static_cast<int64_t>(std::trunc(month)) - 1;
    const int64_t carry = m0 >= 0 ? m0 / 12 : (m0 - 11) / 12;
    const int64_t serial = hostMonthStart(static_cast<int64_t>(y) + carry, m0 - carry * 12 + 1) +
                           static_cast<int64_t>(std::trunc(day)) - 1;
    if (serial < 0 || serial > kLastHostDay)
        return std::nullopt;
    return static_cast<int32_t>(serial);
}

std::optional<HostYmd> hostCalendarDate(double serial) {
    if (!std::isfinite(serial) || serial < 0 || serial >= kLastHostDay + 1.0)
        return std::nullopt;
    const auto n = static_cast<int32_t>(serial);
    if (n == 0)
        return HostYmd{1900, 1, 0};
    if (n == 60)
        return HostYmd{1900, 2, 29};
    HostYmd ymd{};
    civilFromDays(kDayZero + (n > 60 ? n - 1 : n), ymd.year, ymd.month, ymd.day);
    return ymd;
}

} // namespace xlhost
