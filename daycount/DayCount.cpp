#include "daycount/DayCount.h"

#include "calendars/BusinessCalendar.h"
#include "daycount/Messages.h"

#include <array>
#include <cstdint>

namespace tavrin {

namespace {

using Convention = DayCountConvention;

struct NamedConvention {
    std::wstring name;
    Convention rule;
};

// In the order they are tried; the first case-insensitive match decides.
const std::array<NamedConvention, 11>& namedConventions() {
    static const std::array<NamedConvention, 11> table{{
        {L"Act/365F", Convention::Act365F},
        {L"Act/360", Convention::Act360},
        {L"Act/365L", Convention::Act365L},
        {L"Act/365A", Convention::Act365A},
        {L"NL/365", Convention::NL365},
        {L"30/360 ISDA", Convention::Thirty360Isda},
        {L"30E/360", Convention::Thirty360E},
        {L"30E+/360", Convention::Thirty360EPlus},
        {L"30/360 German", Convention::Thirty360German},
        {L"30/360 US", Convention::Thirty360US},
        {L"Act/Act", Convention::ActAct},
    }};
    return table;
}

using Ymd = SerialDate::Ymd;

// 64 bits: years reach about 5.9 million, and day numbers below 1 put days down to -2^31 in January 1900.
double thirty360(const Ymd& s, const Ymd& e) {
    const int64_t days = 360 * (static_cast<int64_t>(e.year) - s.year) + 30 * (e.month - s.month) +
                         (static_cast<int64_t>(e.day) - s.day);
    return static_cast<double>(days) / 360.0;
}

bool isLastDayOfFebruary(const Ymd& d) {
    return d.month == 2 && d.day == daysInMonth(2, d.year);
}

// 29 Februaries in [start, end], both ends included, without walking the years: the leap years from the
// start year to the end year, less the start year's when the period begins after its 29 February and the
// end year's when the period ends before its 29 February (both cannot apply to one year, as start <= end).
// Day numbers of zero and below sit in January 1900, before its 29 February.
int64_t leapDaysIn(const Ymd& s, const Ymd& e) {
    int64_t count = e.year / 4 - (s.year - 1) / 4; // years are at least 1900, so division floors
    if (isLeapYear(s.year) && s.month > 2)
        --count;
    if (isLeapYear(e.year) && (e.month < 2 || (e.month == 2 && e.day < 29)))
        --count;
    return count;
}

double actualActual(int64_t start, int64_t end, const Ymd& s, const Ymd& e) {
    // Split once, at the end of the start year; the whole remainder takes one divisor.
    const int64_t yearEnd = dayNumber64(31, 12, s.year);
    const auto head = static_cast<double>(yearEnd - start + 1);
    const auto tail = static_cast<double>(end - yearEnd - 1);
    if (end > yearEnd && isLeapYear(s.year))
        return head / 366.0 + tail / 365.0;
    if (end > yearEnd && isLeapYear(e.year))
        return head / 365.0 + tail / 366.0;
    return static_cast<double>(end - start) / (isLeapYear(s.year) ? 366.0 : 365.0);
}

} // namespace

DayCountConvention parseDayCountConvention(const std::wstring& text) {
    for (const NamedConvention& entry : namedConventions())
        if (entry.name.size() == text.size() && equalsIgnoringCase(text, entry.name))
            return entry.rule;
    return Convention::Unrecognised;
}

double dayCountFraction(SerialDate start, SerialDate end, DayCountConvention rule) {
    if (end < start)
        throw messages::PeriodEndBeforeStart;
    const int64_t from = start.serial();
    const int64_t to = end.serial();
    const auto days = static_cast<double>(to - from);
    // The two plain actual-day counts need no calendar dates: a curve read at thousands of dates spends a
    // good part of its time splitting them otherwise.
    if (rule == Convention::Act365F)
        return days / 365.0;
    if (rule == Convention::Act360)
        return days / 360.0;
    Ymd s = start.ymd();
    Ymd e = end.ymd();

    switch (rule) {
    case Convention::Act365F:
    case Convention::Act360:
        break; // answered above
    case Convention::Act365L:
        return days / (isLeapYear(e.year) ? 366.0 : 365.0);
    case Convention::Act365A:
        return days / static_cast<double>(365 + leapDaysIn(s, e));
    case Convention::NL365:
        // A period of no days is no time, even on a 29 February, which the count includes at both ends.
        if (from == to)
            return 0.0;
        return (days - static_cast<double>(leapDaysIn(s, e))) / 365.0;
    case Convention::Thirty360Isda:
        if (s.day == 31)
            s.day = 30;
        if (e.day == 31 && s.day == 30)
            e.day = 30;
        return thirty360(s, e);
    case Convention::Thirty360E:
        if (s.day == 31)
            s.day = 30;
        if (e.day == 31)
            e.day = 30;
        return thirty360(s, e);
    case Convention::Thirty360EPlus:
        if (s.day == 31)
            s.day = 30;
        if (e.day == 31) {
            // 31 December becomes month 13 of the same year.
            e.day = 1;
            ++e.month;
        }
        return thirty360(s, e);
    case Convention::Thirty360German:
        if (s.day == 31)
            s.day = 30;
        if (e.day == 31)
            e.day = 30;
        // Only 29 February moves to the 30th; 28 February of a common year stays.
        if (s.month == 2 && s.day == 29)
            s.day = 30;
        if (e.month == 2 && e.day == 29)
            e.day = 30;
        return thirty360(s, e);
    case Convention::Thirty360US: {
        const bool startsOnFebruaryEnd = isLastDayOfFebruary(s);
        if (startsOnFebruaryEnd && isLastDayOfFebruary(e))
            e.day = 30;
        if (startsOnFebruaryEnd)
            s.day = 30;
        if (e.day == 31 && s.day >= 30)
            e.day = 30;
        if (s.day == 31)
            s.day = 30;
        return thirty360(s, e);
    }
    case Convention::ActAct:
        return actualActual(from, to, s, e);
    case Convention::Unrecognised:
        break;
    }
    throw messages::InvalidDcfConvention;
}

double sched_DCF(double start, double end, std::wstring convention) {
    return dayCountFraction(toSerialDate(start), toSerialDate(end), parseDayCountConvention(convention));
}

} // namespace tavrin
