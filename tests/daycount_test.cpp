#include "daycount/DayCount.h"

#include "dates/Messages.h"
#include "daycount/Messages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

using namespace tavrin;

namespace {

SerialDate d(int32_t day, int32_t month, int32_t year) {
    return SerialDate(day, month, year);
}

// The fraction under a convention read from its name, as a worksheet call reads it.
double fractionNamed(SerialDate start, SerialDate end, const std::wstring& name) {
    return dayCountFraction(start, end, parseDayCountConvention(name));
}

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

struct FractionCase {
    const char* note;
    SerialDate start, end;
    std::wstring convention;
    double expected;
};

void expectFractions(const std::vector<FractionCase>& cases) {
    for (const FractionCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.note << " [" << narrow(c.convention) << "]");
        EXPECT_DOUBLE_EQ(fractionNamed(c.start, c.end, c.convention), c.expected);
    }
}

const char* failureOf(SerialDate start, SerialDate end, const std::wstring& convention) {
    try {
        fractionNamed(start, end, convention);
    } catch (const char* message) {
        return message;
    }
    return "no failure";
}

const std::vector<std::wstring> kAllConventions{L"Act/365F",      L"Act/360",     L"Act/365L", L"Act/365A",
                                                L"NL/365",        L"30/360 ISDA", L"30E/360",  L"30E+/360",
                                                L"30/360 German", L"30/360 US",   L"Act/Act"};

} // namespace

TEST(DayCountFraction, HalfYearUnderEveryConvention) {
    // 15 January to 15 July 2011: 181 days of a common year, six 30-day months.
    const std::vector<double> expected{181.0 / 365, 181.0 / 360, 181.0 / 365, 181.0 / 365, 181.0 / 365, 0.5,
                                       0.5,         0.5,         0.5,         0.5,         181.0 / 365};
    for (std::size_t i = 0; i < kAllConventions.size(); ++i) {
        SCOPED_TRACE(narrow(kAllConventions[i]));
        EXPECT_DOUBLE_EQ(fractionNamed(d(15, 1, 2011), d(15, 7, 2011), kAllConventions[i]), expected[i]);
    }
}

TEST(DayCountFraction, EqualDatesGiveZeroExceptThirtyEPlusOnTheThirtyFirst) {
    // 29 February counts at both ends of NL/365's leap-day count, yet an empty period is still no time.
    for (const SerialDate day : {d(15, 3, 2011), d(31, 1, 2011), d(29, 2, 2012), d(28, 2, 2011)}) {
        for (const std::wstring& convention : kAllConventions) {
            SCOPED_TRACE(::testing::Message() << day.serial() << " " << narrow(convention));
            const bool movesToNextMonth = day.day() == 31 && convention == L"30E+/360";
            EXPECT_EQ(fractionNamed(day, day, convention), movesToNextMonth ? 1.0 / 360 : 0.0);
        }
    }
}

TEST(DayCountFraction, LeapYearDivisors) {
    expectFractions({
        {"ends on 1 January of a leap year", d(1, 7, 2011), d(1, 1, 2012), L"Act/365L", 184.0 / 366},
        {"holds 29 February but ends in a common year", d(1, 1, 2012), d(1, 1, 2013), L"Act/365L",
         366.0 / 365},
        {"two 29 Februaries: divisor 367", d(1, 1, 2012), d(31, 12, 2016), L"Act/365A", 1826.0 / 367},
        {"two 29 Februaries dropped", d(1, 1, 2012), d(31, 12, 2016), L"NL/365", 1824.0 / 365},
        {"a start on 29 February counts", d(29, 2, 2012), d(1, 3, 2012), L"Act/365A", 1.0 / 366},
        {"a start on 29 February counts", d(29, 2, 2012), d(1, 3, 2012), L"NL/365", 0.0},
        {"an end on 29 February counts", d(28, 2, 2012), d(29, 2, 2012), L"Act/365A", 1.0 / 366},
        {"29 February 1900 exists", d(1, 1, 1900), d(1, 1, 1901), L"NL/365", 1.0},
    });
}

TEST(DayCountFraction, ThirtyThreeSixtyEndOfMonthRules) {
    expectFractions({
        {"28 February of a common year stays", d(28, 2, 2011), d(31, 3, 2011), L"30/360 German", 32.0 / 360},
        {"29 February becomes the 30th", d(29, 2, 2012), d(31, 3, 2012), L"30/360 German", 30.0 / 360},
        {"February's end is the 30th, so the 31st is too", d(28, 2, 2011), d(31, 3, 2011), L"30/360 US",
         30.0 / 360},
        {"February's end to a non-end 28 February", d(28, 2, 2011), d(28, 2, 2012), L"30/360 US",
         358.0 / 360},
        {"February's end to February's end", d(28, 2, 2011), d(29, 2, 2012), L"30/360 US", 1.0},
        {"the 31st after a mid-month start stays", d(15, 1, 2011), d(31, 3, 2011), L"30/360 US", 76.0 / 360},
        {"30th to 31st", d(30, 4, 2011), d(31, 5, 2011), L"30/360 ISDA", 30.0 / 360},
        {"29th to 31st keeps the 31st", d(29, 4, 2011), d(31, 5, 2011), L"30/360 ISDA", 32.0 / 360},
        {"the 31st always becomes the 30th", d(29, 4, 2011), d(31, 5, 2011), L"30E/360", 31.0 / 360},
        {"31 December is month 13", d(31, 1, 2011), d(31, 12, 2011), L"30E+/360", 331.0 / 360},
    });
}

TEST(DayCountFraction, ActActSplitsOnceAtTheEndOfTheStartYear) {
    expectFractions({
        {"common to common: no split", d(1, 7, 2011), d(1, 7, 2013), L"Act/Act", 731.0 / 365},
        {"leap start year", d(1, 7, 2012), d(1, 7, 2013), L"Act/Act", 184.0 / 366 + 181.0 / 365},
        {"leap end year", d(1, 7, 2011), d(1, 7, 2012), L"Act/Act", 184.0 / 365 + 182.0 / 366},
        {"one divisor for the remainder", d(1, 7, 2011), d(1, 7, 2016), L"Act/Act",
         184.0 / 365 + 1643.0 / 366},
        {"ending on 31 December: no split", d(1, 7, 2012), d(31, 12, 2012), L"Act/Act", 183.0 / 366},
    });
}

TEST(DayCountFraction, NamesAndFailureOrder) {
    const SerialDate early = d(1, 1, 2011), late = d(2, 1, 2011);
    for (const wchar_t* name : {L"act/act", L"ACT/365F", L"30e/360", L"30/360 GERMAN"})
        EXPECT_NO_THROW(fractionNamed(early, late, name)) << narrow(name);
    for (const wchar_t* name : {L"Act/365", L"Actual/360", L"30/360", L"Act/360 ", L""})
        EXPECT_STREQ(failureOf(early, late, name), messages::InvalidDcfConvention) << narrow(name);
    // The order of the dates is checked before the name.
    EXPECT_STREQ(failureOf(late, early, L"Act/360"), messages::PeriodEndBeforeStart);
    EXPECT_STREQ(failureOf(late, early, L"no such convention"), messages::PeriodEndBeforeStart);
}

TEST(DayCountFraction, WorksheetDatesAreTruncated) {
    EXPECT_EQ(sched_DCF(40000.7, 40181.2, L"Act/360"), 181.0 / 360);
    EXPECT_EQ(sched_DCF(-0.5, 0.9, L"Act/360"), 0.0);
    for (const double bad : {std::nan(""), std::numeric_limits<double>::infinity(), 3e9}) {
        try {
            sched_DCF(1, bad, L"Act/360");
            ADD_FAILURE() << bad << ": no failure";
        } catch (const char* message) {
            EXPECT_STREQ(message, messages::InvalidDate) << bad;
        }
    }
}

// The leap days are counted in closed form; check that against counting 29 Februaries one by one.
TEST(DayCountFraction, LeapDayCountMatchesCountingOneByOne) {
    for (int32_t start = -3; start < 9 * 366; ++start) {
        for (int32_t end = start + 1; end < start + 3 * 366; end += 7) {
            int64_t leapDays = 0;
            for (int32_t year = 1900; year <= SerialDate(end).year(); year += 4)
                leapDays += start <= d(29, 2, year).serial() && d(29, 2, year).serial() <= end ? 1 : 0;
            const double noLeap = fractionNamed(SerialDate(start), SerialDate(end), L"NL/365");
            ASSERT_EQ(end - start - std::round(noLeap * 365), leapDays) << start << " -> " << end;
        }
    }
}

TEST(DayCountFraction, WholeDateRangeNeitherOverflowsNorLoops) {
    const SerialDate first(std::numeric_limits<int32_t>::min()), last(std::numeric_limits<int32_t>::max());
    // Day numbers below 1 are days of January 1900, down to -2^31.
    EXPECT_EQ(fractionNamed(first, d(1, 1, 1900), L"30E/360"), (1.0 + 2147483648.0) / 360);
    int64_t leapDays = 0;
    for (int32_t year = 1900; year <= last.year(); year += 4)
        leapDays += dayNumber64(29, 2, year) <= last.serial() ? 1 : 0;
    EXPECT_DOUBLE_EQ(fractionNamed(first, last, L"Act/365A"), 4294967295.0 / (365 + leapDays));
    for (const std::wstring& convention : kAllConventions)
        EXPECT_TRUE(std::isfinite(fractionNamed(first, last, convention))) << narrow(convention);
}
