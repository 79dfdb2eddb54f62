#include "curves/Rates.h"

#include "dates/Messages.h"
#include "daycount/Messages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

using namespace tavrin;

namespace {

SerialDate date(int32_t day, int32_t month, int32_t year) {
    return SerialDate(day, month, year);
}

// 365 days of a common year: exactly one year under Act/365F.
const SerialDate kStart = date(1, 1, 2011);
const SerialDate kOneYearOn = date(1, 1, 2012);

// The conversions with their conventions given as a worksheet call gives them (texts and ids).
DayCountConvention named(const std::wstring& dayCount) {
    return parseDayCountConvention(dayCount);
}
double simpleDiscountFactor(double rate, SerialDate start, SerialDate end, const std::wstring& dayCount) {
    return ::simpleDiscountFactor(rate, start, end, named(dayCount));
}
double simpleForwardRate(double reference, double rate1, SerialDate maturity1, double rate2,
                         SerialDate maturity2, const std::wstring& dayCount) {
    return ::simpleForwardRate(toSerialDate(reference), rate1, maturity1, rate2, maturity2, named(dayCount));
}
double zeroRateFromDiscountFactor(SerialDate start, SerialDate end, double discountFactor,
                                  const std::wstring& dayCount, int16_t frequency) {
    return ::zeroRateFromDiscountFactor(start, end, discountFactor, named(dayCount),
                                        parseCompoundingFrequency(frequency));
}
double discountFactorFromZeroRate(double zeroRate, SerialDate start, SerialDate end,
                                  const std::wstring& dayCount, int16_t frequency) {
    return ::discountFactorFromZeroRate(zeroRate, start, end, named(dayCount),
                                        parseCompoundingFrequency(frequency));
}

template <typename Call>
const char* failureOf(Call call) {
    try {
        call();
    } catch (const char* message) {
        return message;
    }
    return "no failure";
}

} // namespace

TEST(SimpleRates, DiscountFactorAndForwardRate) {
    EXPECT_EQ(simpleDiscountFactor(0.05, kStart, kStart, L"Act/365F"), 1.0);
    EXPECT_DOUBLE_EQ(simpleDiscountFactor(0.05, kStart, kOneYearOn, L"Act/365F"), 1 / 1.05);
    EXPECT_DOUBLE_EQ(simpleDiscountFactor(0.05, kStart, kOneYearOn, L"Act/360"), 1 / (1 + 0.05 * 365 / 360));

    // 4% for six months and 5% for a year: the forward over the second half is (DF1 / DF2 - 1) / t12.
    const SerialDate half = date(1, 7, 2011);
    const double df1 = 1 / (1 + 0.04 * 181 / 365), df2 = 1 / 1.05;
    EXPECT_DOUBLE_EQ(simpleForwardRate(kStart.serial() + 0.9, 0.04, half, 0.05, kOneYearOn, L"Act/365F"),
                     (df1 / df2 - 1) / (184.0 / 365));
    EXPECT_DOUBLE_EQ(sched_forwardRate(kStart.serial(), 0.04, half.serial() + 0.5, 0.05,
                                       kOneYearOn.serial() + 0.5, L"ACT/365F"),
                     (df1 / df2 - 1) / (184.0 / 365));
    EXPECT_DOUBLE_EQ(
        sched_discountFactor(0.05, kStart.serial() + 0.7, kOneYearOn.serial() + 0.2, L"Act/365F"), 1 / 1.05);
}

TEST(CompoundedRates, DiscountFactorsByFrequency) {
    const struct {
        const char* note;
        std::wstring dayCount;
        int16_t frequency;
        double expected;
    } cases[] = {
        {"annual", L"Act/365F", 1, 1 / 1.05},
        {"semiannual", L"Act/365F", 2, 1 / (1.025 * 1.025)},
        {"quarterly", L"Act/365F", 3, 1 / std::pow(1.0125, 4)},
        {"daily: 365 periods", L"Act/365F", 4, 1 / std::pow(1 + 0.05 / 365, 365)},
        {"daily: still 365 periods under Act/360", L"Act/360", 4,
         1 / std::pow(1 + 0.05 / 365, 365 * 365.0 / 360)},
        {"continuous", L"Act/365F", 5, std::exp(-0.05)},
        {"six times a year", L"Act/365F", 6, 1 / std::pow(1 + 0.05 / 6, 6)},
        {"monthly", L"Act/365F", 12, 1 / std::pow(1 + 0.05 / 12, 12)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.note);
        EXPECT_DOUBLE_EQ(discountFactorFromZeroRate(0.05, kStart, kOneYearOn, c.dayCount, c.frequency),
                         c.expected);
    }
}

TEST(CompoundedRates, ZeroRateInvertsDiscountFactor) {
    const SerialDate ends[] = {date(2, 1, 2011), date(15, 7, 2011), date(31, 12, 2040)};
    for (const int16_t frequency : {1, 2, 3, 4, 5, 6, 12, 52, -2}) {
        for (const SerialDate end : ends) {
            for (const double zero : {0.05, -0.003, 0.0}) {
                SCOPED_TRACE(::testing::Message()
                             << "frequency " << frequency << ", end " << end.serial() << ", rate " << zero);
                const double df = discountFactorFromZeroRate(zero, kStart, end, L"Act/360", frequency);
                EXPECT_NEAR(zeroRateFromDiscountFactor(kStart, end, df, L"Act/360", frequency), zero, 1e-12);
            }
        }
    }
    EXPECT_NEAR(sched_ZeroRate(kStart.serial() + 0.5, kOneYearOn.serial() + 0.5, 1 / 1.05, L"Act/365F", 1),
                0.05, 1e-15);
}

// Nothing but the day count fails: degenerate inputs give what IEEE arithmetic gives.
TEST(RateConversions, DegenerateInputsGiveIeeeResults) {
    // Equal rates and maturities: a zero year fraction under the forward.
    EXPECT_TRUE(
        std::isnan(simpleForwardRate(kStart.serial(), 0.05, kOneYearOn, 0.05, kOneYearOn, L"Act/360")));
    EXPECT_TRUE(std::isnan(zeroRateFromDiscountFactor(kStart, kStart, 1.0, L"Act/360", 5)));
    EXPECT_EQ(zeroRateFromDiscountFactor(kStart, kOneYearOn, 0.0, L"Act/365F", 5), HUGE_VAL);
    EXPECT_EQ(zeroRateFromDiscountFactor(kStart, kOneYearOn, 0.0, L"Act/365F", 1), HUGE_VAL);
    EXPECT_TRUE(std::isnan(zeroRateFromDiscountFactor(kStart, kOneYearOn, -0.5, L"Act/365F", 5)));
    EXPECT_TRUE(std::isnan(zeroRateFromDiscountFactor(kStart, kOneYearOn, -0.5, L"Act/365F", 2)));
    EXPECT_EQ(discountFactorFromZeroRate(0.05, kStart, kOneYearOn, L"Act/365F", 0), 1.0); // (1 + inf)^0
    EXPECT_EQ(simpleDiscountFactor(-1.0, kStart, kOneYearOn, L"Act/365F"), HUGE_VAL);
}

TEST(RateConversions, DayCountFailuresPassThrough) {
    EXPECT_STREQ(failureOf([] { discountFactorFromZeroRate(0.05, kStart, kOneYearOn, L"Act/366", 1); }),
                 messages::InvalidDcfConvention);
    // Both maturities on or after the reference date, the second on or after the first.
    EXPECT_STREQ(
        failureOf([] { simpleForwardRate(kOneYearOn.serial(), 0.05, kStart, 0.05, kOneYearOn, L"Act/360"); }),
        messages::PeriodEndBeforeStart);
    EXPECT_STREQ(
        failureOf([] { simpleForwardRate(kStart.serial(), 0.05, kOneYearOn, 0.05, kStart, L"Act/360"); }),
        messages::PeriodEndBeforeStart);
    EXPECT_STREQ(failureOf([] { sched_forwardRate(NAN, 0.05, 40000, 0.05, 40100, L"Act/360"); }),
                 messages::InvalidDate);
}
