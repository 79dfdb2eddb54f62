#include <gtest/gtest.h>

#include "CurveMarketData.h"
#include "curves/CurveMessages.h"
#include "curves/CurveQuery.h"
#include "curves/CurveQueryMessages.h"
#include "curves/Rates.h"
#include "dates/Messages.h"
#include "daycount/DayCount.h"
#include "daycount/Messages.h"

#include <cmath>
#include <exception>
#include <functional>
#include <string>
#include <vector>

using namespace tavrin;

using market::CurveInputs;

namespace {

constexpr double kToday = market::kToday;

std::string failureOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const char* text) {
        return text;
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

CurveConvention convention() {
    return {SerialDate(static_cast<int32_t>(kToday)), DayCountConvention::Act365F,
            CompoundingFrequency::Annual};
}

CurveBuild demoCurve(int16_t interpolation, int16_t extrapolation) {
    CurveInputs in;
    in.interpId = interpolation;
    in.extrapolId = extrapolation;
    return market::bootstrap(in);
}

// The curve block as the worksheet function returns it and a sheet holds it.
xll::CellMatrix tableOf(const CurvePillars& pillars) {
    return xll::CellMatrix(pillarTable(pillars));
}

DateCells row(const std::vector<double>& dates) {
    xll::CellMatrix m(1, static_cast<uint32_t>(dates.size()));
    for (uint32_t i = 0; i < dates.size(); ++i)
        m(0, i) = xll::MatrixCell(dates[i]);
    return dateCells(m);
}

// ---- The reading is the bootstrap's own ----

TEST(CurveQuery, ReadsEveryDayInsideThePillarsAsTheBootstrap) {
    for (int16_t id = 1; id <= 5; ++id) {
        SCOPED_TRACE(id);
        const CurvePillars pillars = demoCurve(id, id).pillars;
        const CurveQuery query(convention(), id, id, pillars);
        size_t next = 0; // the next pillar at or after the day
        for (int32_t day = static_cast<int32_t>(pillars.dates.front()); day < pillars.dates.back(); ++day) {
            while (pillars.dates[next] < day)
                ++next;
            const CurveReading df = query.discountFactor(day);
            ASSERT_TRUE(df.ok()) << day;
            if (pillars.dates[next] == day) {
                ASSERT_EQ(df.value, pillars.discountFactors[next]) << day;
                ASSERT_EQ(query.zeroRate(day).value, pillars.zeroRates[next]) << day;
            } else {
                ASSERT_EQ(df.value, curveDiscountFactor(SerialDate(day), pillars,
                                                        parseInterpolationMethod(id), convention()))
                    << day;
            }
        }
    }
}

TEST(CurveQuery, ExtrapolatesBeyondTheLastPillarAsTheBootstrap) {
    // The bootstrap extrapolates when it makes a pillar of a date beyond the last one.
    for (int16_t extrapolation = 1; extrapolation <= 5; ++extrapolation) {
        SCOPED_TRACE(extrapolation);
        const CurvePillars pillars = demoCurve(3, extrapolation).pillars;
        const CurveQuery query(convention(), 3, extrapolation, pillars);
        for (const double date : {pillars.dates.back() + 1, pillars.dates.back() + 400, 60000.0}) {
            SCOPED_TRACE(date);
            CurvePillars extended = pillars;
            const auto at = static_cast<size_t>(
                ensurePillar(toSerialDate(date), extended, InterpolationMethod::LogLinearZeroRates,
                             parseInterpolationMethod(extrapolation), convention()) +
                1);
            ASSERT_EQ(extended.dates[at], date);
            EXPECT_EQ(query.discountFactor(date).value, extended.discountFactors[at]);
            EXPECT_EQ(query.zeroRate(date).value, extended.zeroRates[at]);
        }
    }
}

TEST(CurveQuery, TodayAndFractionsOfDays) {
    const CurvePillars pillars = demoCurve(3, 3).pillars;
    const CurveQuery query(convention(), 3, 3, pillars);
    // Today is before the first pillar (the overnight deposit) and still answers a discount factor of 1.
    EXPECT_EQ(query.discountFactor(kToday).value, 1.0);
    EXPECT_STREQ(query.zeroRate(kToday).failure, messages::NoZeroRateAtToday);
    // Dates are whole days: a time of day reads the day itself.
    EXPECT_EQ(query.discountFactor(41000.75).value, query.discountFactor(41000).value);
    EXPECT_EQ(query.discountFactor(pillars.dates[7] + 0.5).value, pillars.discountFactors[7]);
}

// Every par swap of the demo market, valued on its fixed-leg schedule with the discount factors read off the
// final curve, is worth nothing. The coupons are discounted with the curve; the last one, under the
// zero-rate methods, at the simple rate of the maturity's zero rate, which is how the solver prices it.
// Under the spline (id 5) the solver's spline runs through the fixed-leg schedule points, which the curve
// block does not hold; the natural spline through the pillars differs from it by up to 0.1 basis point of
// value between them.
TEST(CurveQuery, ParSwapsRepriceOnTheCurve) {
    for (int16_t id = 1; id <= 5; ++id) {
        SCOPED_TRACE(id);
        const CurveBuild build = demoCurve(id, id);
        const CurveQuery query(convention(), id, id, build.pillars);
        const std::vector<SerialDate>& S = build.fixedSchedule;
        for (const market::SwapQuote& swap : market::kSwaps) {
            SCOPED_TRACE(swap.years);
            const auto n = static_cast<size_t>(swap.years * 2);
            const double c = swap.ratePercent / 100.0;
            double fixed = 0.0;
            for (size_t i = 1; i < n; ++i)
                fixed += c * dayCountFraction(S[i - 1], S[i], DayCountConvention::Thirty360E) *
                         query.discountFactor(S[i].serial()).value;
            const double maturity = query.discountFactor(S[n].serial()).value;
            double last = maturity;
            if (id == 1 || id == 3 || id == 5)
                last = simpleDiscountFactor(query.zeroRate(S[n].serial()).value, convention().today, S[n],
                                            DayCountConvention::Thirty360E);
            fixed += c * dayCountFraction(S[n - 1], S[n], DayCountConvention::Thirty360E) * last;
            EXPECT_NEAR(fixed - (1.0 - maturity), 0.0, id == 5 ? 2e-5 : 1e-9);
        }
    }
}

// ---- The worksheet functions: shapes and messages ----

TEST(CurveQueryFunctions, AnswersInTheShapeOfTheDates) {
    const CurvePillars pillars = demoCurve(3, 3).pillars;
    const xll::CellMatrix curve = tableOf(pillars);
    xll::CellMatrix block(2, 3);
    const std::vector<double> dates{40806, 40900, 41540, 45000, 52000, 40805};
    for (uint32_t i = 0; i < 6; ++i)
        block(i / 3, i % 3) = xll::MatrixCell(dates[i]);
    const CurveAnswers answers = sched_CurveDF(kToday, L"Act/365F", 1, 3, 3, curve, dateCells(block));
    ASSERT_EQ(answers.values.rows(), 2);
    ASSERT_EQ(answers.values.columns(), 3);
    EXPECT_TRUE(answers.failures.empty());
    const CurveQuery query(convention(), 3, 3, pillars);
    for (int32_t i = 0; i < 6; ++i)
        EXPECT_EQ(answers.values(i / 3, i % 3), query.discountFactor(dates[static_cast<size_t>(i)]).value)
            << i;

    // Cells without an answer carry their message; the others still answer.
    block(0, 1) = xll::MatrixCell("21/12/2011");
    block(1, 0) = xll::MatrixCell();
    block(1, 1) = xll::MatrixCell(40000.0);
    block(1, 2) = xll::MatrixCell(1e300);
    const CurveAnswers zeros = sched_CurveZeroRate(kToday, L"Act/365F", 1, 3, 3, curve, dateCells(block));
    struct Expected {
        int32_t row, column;
        const char* message;
    };
    const std::vector<Expected> expected{{0, 1, messages::DateNotANumber},
                                         {1, 0, messages::DateNotANumber},
                                         {1, 1, messages::DateBeforeCurve},
                                         {1, 2, messages::InvalidDate}};
    ASSERT_EQ(zeros.failures.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(zeros.failures[i].row, expected[i].row);
        EXPECT_EQ(zeros.failures[i].column, expected[i].column);
        EXPECT_STREQ(zeros.failures[i].message, expected[i].message);
    }
    EXPECT_EQ(zeros.values(0, 0), pillars.zeroRates[0]);
}

TEST(CurveQueryFunctions, ValuesThatAreNoNumberBecomeMessages) {
    // A zero rate at or below zero has no logarithm, and a discount factor of zero no forward rate to it.
    CurvePillars pillars;
    pillars.dates = {40806, 40868, 41540};
    pillars.discountFactors = {0.9999, 0.0, 0.9};
    pillars.zeroRates = {0.01, -0.5, 0.02};
    const CurveQuery logLinear(convention(), 3, 3, pillars);
    EXPECT_STREQ(logLinear.discountFactor(40830).failure, messages::NoFiniteValue);
    EXPECT_EQ(logLinear.zeroRate(40868).value, -0.5); // the pillar's own value is a number
    const CurveQuery linear(convention(), 2, 2, pillars);
    EXPECT_STREQ(linear.forwardRate(40806, 40868, DayCountConvention::Act360).failure,
                 messages::NoFiniteValue);
    EXPECT_TRUE(linear.forwardRate(40806, 40830, DayCountConvention::Act360).ok());
}

TEST(CurveQueryFunctions, ForwardRatesPairDatesCellByCell) {
    const CurvePillars pillars = demoCurve(4, 4).pillars;
    const xll::CellMatrix curve = tableOf(pillars);
    const CurveQuery query(convention(), 4, 4, pillars);
    auto forward = [&](double start, double end) {
        const SerialDate s = toSerialDate(start);
        const SerialDate e = toSerialDate(end);
        return (query.discountFactor(start).value / query.discountFactor(end).value - 1.0) /
               dayCountFraction(s, e, DayCountConvention::Act360);
    };
    // One start against a row of ends, a row of starts against one end, and cell by cell.
    const CurveAnswers fromSpot = sched_CurveForwardRate(kToday, L"Act/365F", 1, 4, 4, curve, row({40807}),
                                                         row({40898, 40989, 52000}), L"Act/360");
    ASSERT_EQ(fromSpot.values.columns(), 3);
    EXPECT_DOUBLE_EQ(fromSpot.values(0, 1), forward(40807, 40989));
    EXPECT_DOUBLE_EQ(fromSpot.values(0, 2), forward(40807, 52000));
    const CurveAnswers toOne = sched_CurveForwardRate(kToday, L"Act/365F", 1, 4, 4, curve,
                                                      row({40805, 41000, 42000}), row({43000}), L"Act/360");
    EXPECT_DOUBLE_EQ(toOne.values(0, 0), forward(40805, 43000));
    const CurveAnswers pairs =
        sched_CurveForwardRate(kToday, L"Act/365F", 1, 4, 4, curve, row({40898, 41000, 41000}),
                               row({40989, 41000, 40990}), L"Act/360");
    EXPECT_DOUBLE_EQ(pairs.values(0, 0), forward(40898, 40989));
    // A 3-month forward on a constant-forward curve inside one futures strip is the strip's own rate.
    EXPECT_NEAR(pairs.values(0, 0), (1.0 / market::kFutures[1].forwardDiscountFactor - 1.0) * 360.0 / 91.0,
                1e-12);
    ASSERT_EQ(pairs.failures.size(), 2u); // an empty period, and one that ends before it starts
    EXPECT_STREQ(pairs.failures[0].message, messages::PeriodEndBeforeStart);
    EXPECT_STREQ(pairs.failures[1].message, messages::PeriodEndBeforeStart);

    EXPECT_EQ(failureOf([&] {
                  sched_CurveForwardRate(kToday, L"Act/365F", 1, 4, 4, curve, row({40898, 41000}),
                                         row({40989, 41000, 40990}), L"Act/360");
              }),
              messages::ForwardShapesDiffer);
    EXPECT_EQ(failureOf([&] {
                  sched_CurveForwardRate(kToday, L"Act/365F", 1, 4, 4, curve, row({40898}), row({40989}),
                                         L"Act/364");
              }),
              messages::InvalidDcfConvention);
}

TEST(CurveQueryFunctions, RefusesCurvesAndArgumentsItCannotRead) {
    const CurvePillars pillars = demoCurve(3, 3).pillars;
    const xll::CellMatrix good = tableOf(pillars);
    auto edited = [&](uint32_t r, uint32_t c, xll::MatrixCell cell) {
        xll::CellMatrix m = good;
        m(r, c) = cell;
        return m;
    };
    xll::CellMatrix twoColumns(3, 2);
    xll::CellMatrix oneRow(1, 3);
    for (uint32_t c = 0; c < 3; ++c)
        oneRow(0, c) = good(0, c);
    struct Case {
        const char* note;
        std::wstring dayCount;
        int16_t frequency, interpolation, extrapolation;
        xll::CellMatrix curve;
        const char* expected;
    };
    const std::vector<Case> cases{
        {"a valid curve", L"Act/365F", 1, 3, 3, good, ""},
        {"two columns", L"Act/365F", 1, 3, 3, twoColumns, messages::CurveBlockShape},
        {"a heading row", L"Act/365F", 1, 3, 3, edited(0, 0, xll::MatrixCell("Date")),
         messages::CurveBlockNotNumbers},
        {"an empty cell", L"Act/365F", 1, 3, 3, edited(5, 2, xll::MatrixCell()),
         messages::CurveBlockNotNumbers},
        {"one pillar", L"Act/365F", 1, 3, 3, oneRow, messages::TooFewPillars},
        {"a repeated date", L"Act/365F", 1, 3, 3, edited(5, 0, good(4, 0)),
         messages::CurveDatesNotIncreasing},
        {"dates out of order", L"Act/365F", 1, 3, 3, edited(5, 0, xll::MatrixCell(40800.0)),
         messages::CurveDatesNotIncreasing},
        {"a pillar before today", L"Act/365F", 1, 3, 3, edited(0, 0, xll::MatrixCell(40800.0)),
         messages::CurveBeforeToday},
        {"interpolation id 0", L"Act/365F", 1, 0, 3, good, messages::UnknownInterpolationId},
        {"interpolation id 6", L"Act/365F", 1, 6, 3, good, messages::UnknownInterpolationId},
        {"extrapolation id 7", L"Act/365F", 1, 3, 7, good, messages::UnknownExtrapolationId},
        {"frequency 0", L"Act/365F", 0, 3, 3, good, messages::InvalidZeroRateFrequency},
        {"an unknown day count", L"Act/366", 1, 3, 3, good, messages::InvalidDcfConvention},
        // Argument order decides between two faults: the quoting comes before the curve block.
        {"both", L"Act/366", 1, 3, 3, twoColumns, messages::InvalidDcfConvention},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.note);
        EXPECT_EQ(failureOf([&] {
                      sched_CurveDF(kToday, c.dayCount, c.frequency, c.interpolation, c.extrapolation,
                                    c.curve, row({41000}));
                  }),
                  c.expected);
    }
}

} // namespace
