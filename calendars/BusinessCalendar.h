#pragma once

#include "dates/SerialDate.h"

#include <cstdint>
#include <string>
#include <typeinfo>
#include <vector>

namespace tavrin {

enum class BusinessDayConvention; // calendars/BusinessDayConvention.h

// What the kinds of years of several calendars are made of, worked out once per year however many calendars
// ask: 1 January, and Easter Monday's day of the year when a calendar first asks for it.
class YearFacts {
public:
    // 1 January as dayNumber64 gives it, in line: a walk asks for it every year of millions.
    explicit YearFacts(int32_t year)
        : year_(year), firstDay_(365 * (int64_t{year} - 1900) + (int64_t{year} - 1900 + 3) / 4 + 1) {}
    // The facts with Easter Monday's day of the year known already (a walk steps it from year to year).
    YearFacts(int32_t year, int32_t easterMonday) : YearFacts(year) { easterMonday_ = easterMonday; }
    int32_t year() const { return year_; }
    int64_t firstDay() const { return firstDay_; } // 1 January as a day number
    int32_t easterMondayDayOfYear() const;

private:
    int32_t year_;
    int64_t firstDay_;
    mutable int32_t easterMonday_ = 0; // 0 until asked
};

// True when the texts have the same length and every unit is equal or differs only in bit 0x20 (ASCII
// case-insensitive for letters). Shared by the business-day conventions and the day-count names.
bool equalsIgnoringCase(const std::wstring& a, const std::wstring& b);

// A holiday calendar and the business-day operations built on it. A day is a business day when it is
// neither a Saturday nor a Sunday, nor an extra holiday, nor a holiday by the calendar's rules.
class BusinessCalendar {
public:
    virtual ~BusinessCalendar() = default;

    // The rule holidays from the year of start to the year of end that lie in [start, end], year by year
    // in the order of the market's table (not sorted further). Empty when start > end.
    virtual std::vector<double> holidays(int32_t start, int32_t end) const;

    // Appends the rule holidays of one year in table order. Rules work in 64-bit day numbers so that the
    // years at the end of the 32-bit range cannot overflow; callers filter to their range.
    virtual void appendHolidaysOfYear(int32_t year, std::vector<int64_t>& out) const = 0;

    // Whether `other` gives the same rule holidays in every year, so that joining it adds nothing. The market
    // calendars keep no state besides the extra holidays (which are no rule holidays), so one class means one
    // rule set; a calendar with state of its own overrides this.
    virtual bool hasSameRulesAs(const BusinessCalendar& other) const {
        return typeid(*this) == typeid(other);
    }

    // The kind of a year, so that a span of millions of years is counted once per kind of year rather than
    // year by year. True when the year's rule dates, less those appended to `strays` (which may lie
    // anywhere), lie in the year, and every year of the same kind and the same place in the 28-year cycle of
    // weekdays (1 January's weekday and leap year) lists them at the same offsets from its 1 January. False,
    // the default, where a calendar cannot tell (a rule starting or ending, a one-off table): such a year is
    // walked as it is. Never throws.
    virtual bool kindOfYear(const YearFacts& year, uint64_t& kind, std::vector<int64_t>& strays) const;
    // The first year from which kindOfYear gives, for every year, Easter Monday's day of the year and no
    // strays: a walk over millions of years then takes the kind from the year's facts without asking. None
    // (the largest year), the default, leaves every year to kindOfYear.
    virtual int32_t easterKindsFrom() const;

    void setExtraHolidays(std::vector<double> extraHolidays);
    const std::vector<double>& extraHolidays() const { return extraHolidays_; }
    // The extra holidays that can close a business day, as day numbers: the whole ones of the 32-bit range
    // falling on weekdays, sorted, each once. Prepared once when they are set, so that no operation sorts
    // or scans the whole list again.
    const std::vector<int64_t>& closingExtraDays() const { return closingExtras_; }

    // Business-day operations (day numbers are signed 32-bit).
    std::vector<double> nonBusinessDays(int32_t start, int32_t end) const;
    bool isBusinessDay(int32_t day) const;
    int32_t businessDayCount(int32_t start, int32_t end) const;
    int32_t plusBusinessDays(int32_t day, int32_t n) const;
    int32_t nextBusinessDay(int32_t day) const;
    int32_t previousBusinessDay(int32_t day) const;
    int32_t lastBusinessDayOfMonth(int32_t day) const;
    SerialDate adjust(SerialDate date, BusinessDayConvention convention) const;
    std::vector<SerialDate> adjustAll(std::vector<SerialDate> dates, BusinessDayConvention convention) const;
    // The convention read from its text (parseBusinessDayConvention).
    SerialDate adjust(SerialDate date, std::wstring convention) const;
    std::vector<SerialDate> adjustAll(std::vector<SerialDate> dates, std::wstring convention) const;

private:
    std::vector<double> extraHolidays_;
    std::vector<int64_t> closingExtras_;
};

} // namespace tavrin
