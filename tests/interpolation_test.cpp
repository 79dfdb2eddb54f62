#include <gtest/gtest.h>

#include "curves/CurveMessages.h"
#include "curves/Interpolation.h"
#include "curves/Spline.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace tavrin;

using enum InterpolationMethod;

namespace {

std::string thrownText(const std::function<void()>& call) {
    try {
        call();
    } catch (const char* text) {
        return text;
    }
    return "";
}

// Continuous compounding under Act/365F, so a zero rate z at d days is the discount factor exp(-z d / 365).
const SerialDate kToday(40000);
const CurveConvention kContinuous{kToday, DayCountConvention::Act365F, CompoundingFrequency::Continuous};

// A method by its worksheet id.
InterpolationMethod id(int16_t method) {
    return parseInterpolationMethod(method);
}

double df(double zero, double days) {
    return std::exp(-zero * days / 365.0);
}

double zeroOf(double discountFactor, double days) {
    return -std::log(discountFactor) * 365.0 / days;
}

SerialDate on(int days) {
    return SerialDate(kToday.serial() + days);
}

// Pillars at the given days from today with the given continuous zero rates.
CurvePillars pillarsAt(const std::vector<double>& days, const std::vector<double>& zeros) {
    CurvePillars p;
    for (size_t i = 0; i < days.size(); ++i) {
        p.dates.push_back(kToday.serial() + days[i]);
        p.days.push_back(days[i]);
        p.discountFactors.push_back(df(zeros[i], days[i]));
        p.zeroRates.push_back(zeros[i]);
    }
    return p;
}

} // namespace

TEST(CurveDiscountFactor, EachMethodBetweenTwoPillars) {
    const CurvePillars p = pillarsAt({100, 300}, {0.02, 0.04});
    const double x = 150;
    const double linearZero = 0.02 + (x - 100) * (0.04 - 0.02) / 200;
    const double logZero = std::exp(std::log(0.02) + (x - 100) * (std::log(0.04) - std::log(0.02)) / 200);
    const double forward = zeroOf(p.discountFactors[1] / p.discountFactors[0], 200);
    const struct {
        InterpolationMethod method;
        double expected;
    } rows[] = {
        {LinearZeroRates, df(linearZero, x)},
        {LinearDiscountFactors, p.discountFactors[0] + 0.25 * (p.discountFactors[1] - p.discountFactors[0])},
        {LogLinearZeroRates, df(logZero, x)},
        {ConstantForwardRates, p.discountFactors[0] * std::exp(-forward * 50 / 365.0)},
        {CubicSplineZeroRates, df(linearZero, x)}, // two nodes: the natural spline is the straight line
        {id(0), 0.0},
        {id(6), 0.0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.method));
        EXPECT_NEAR(curveDiscountFactor(on(150), p, r.method, kContinuous), r.expected, 1e-15);
    }
}

TEST(CurveDiscountFactor, TodayIsOneAndOtherDatesMustLieInsideThePillars) {
    const CurvePillars none;
    EXPECT_EQ(curveDiscountFactor(kToday, none, LinearZeroRates, kContinuous), 1.0);
    const CurvePillars p = pillarsAt({100, 300}, {0.02, 0.04});
    EXPECT_EQ(curveDiscountFactor(on(100), p, LinearZeroRates, kContinuous), p.discountFactors[0]);
    EXPECT_EQ(thrownText([&] { curveDiscountFactor(on(300), p, id(1), kContinuous); }),
              messages::DateOutsideCurve);
    EXPECT_EQ(thrownText([&] { curveDiscountFactor(on(99), p, id(1), kContinuous); }),
              messages::DateOutsideCurve);
    const CurvePillars one = pillarsAt({100}, {0.02});
    EXPECT_EQ(thrownText([&] { curveDiscountFactor(on(100), one, id(1), kContinuous); }),
              messages::TooFewPillars);
}

TEST(CurveDiscountFactor, ZeroRateOfZeroInLogLinear) {
    const CurvePillars p = pillarsAt({100, 200, 300}, {0.02, 0.0, 0.03});
    // Towards the zero the logarithm runs to -infinity, so the rate is 0; away from it -inf + inf is NaN.
    EXPECT_EQ(curveDiscountFactor(on(150), p, LogLinearZeroRates, kContinuous), 1.0);
    EXPECT_TRUE(std::isnan(curveDiscountFactor(on(250), p, LogLinearZeroRates, kContinuous)));
}

TEST(CurveDiscountFactor, SplineUsesAllPillarsAndSharedDates) {
    const CurvePillars p = pillarsAt({100, 200, 300}, {0.02, 0.03, 0.02});
    // Natural spline through three equally spaced nodes: the middle second derivative is -3 * 0.01 / 100^2
    // per day^2, which bends the midpoint of the first interval up by 0.01 * 3/8 / 2.
    const double zero = 0.025 + 0.01 * 0.1875;
    EXPECT_NEAR(curveDiscountFactor(on(150), p, CubicSplineZeroRates, kContinuous), df(zero, 150), 1e-15);

    // Two pillars on one date would divide by a zero width in the sweep and make every value NaN: refused.
    const CurvePillars twin = pillarsAt({100, 200, 200, 300}, {0.02, 0.03, 0.03, 0.02});
    EXPECT_EQ(thrownText([&] { curveDiscountFactor(on(250), twin, CubicSplineZeroRates, kContinuous); }),
              messages::BadSplineInput);
    // Beyond a shared last date the bracket is the pair itself.
    CurvePillars twinAtEnd = pillarsAt({100, 200, 200}, {0.02, 0.03, 0.03});
    EXPECT_EQ(thrownText([&] { ensurePillar(on(250), twinAtEnd, id(1), CubicSplineZeroRates, kContinuous); }),
              messages::BadSplineInput);
}

TEST(EnsurePillar, InsertsInsideAtTheSegmentAndReturnsIndexMinusOne) {
    CurvePillars p = pillarsAt({100, 200, 300}, {0.02, 0.03, 0.04});
    EXPECT_EQ(ensurePillar(on(250), p, LinearZeroRates, LinearDiscountFactors, kContinuous), 1);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p.dates[2], kToday.serial() + 250.0);
    EXPECT_EQ(p.days[2], 250.0);
    EXPECT_DOUBLE_EQ(p.zeroRates[2], 0.035);
    EXPECT_DOUBLE_EQ(p.discountFactors[2], df(0.035, 250));

    // A discount-factor method stores the factor and its zero rate.
    EXPECT_EQ(ensurePillar(on(150), p, LinearDiscountFactors, LinearZeroRates, kContinuous), 0);
    const double expected = (p.discountFactors[0] + p.discountFactors[2]) / 2;
    EXPECT_DOUBLE_EQ(p.discountFactors[1], expected);
    EXPECT_DOUBLE_EQ(p.zeroRates[1], zeroOf(expected, 150));
}

TEST(EnsurePillar, ExistingPillarsAreFoundAndKeepTheirValues) {
    CurvePillars p = pillarsAt({100, 200, 300}, {0.02, 0.03, 0.04});
    const CurvePillars before = p;
    const struct {
        int day;
        int16_t expected;
    } rows[] = {{100, -1}, {200, 0}, {300, 1}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.day);
        EXPECT_EQ(ensurePillar(on(r.day), p, LinearZeroRates, LinearZeroRates, kContinuous), r.expected);
        EXPECT_EQ(p.dates, before.dates);
        EXPECT_EQ(p.discountFactors, before.discountFactors);
    }
}

TEST(EnsurePillar, BeyondTheLastPillarEachExtrapolationContinuesTheLastSegment) {
    const CurvePillars base = pillarsAt({100, 200, 300}, {0.02, 0.03, 0.04});
    const double forward = zeroOf(base.discountFactors[2] / base.discountFactors[1], 100);
    const double dfSlope = (base.discountFactors[2] - base.discountFactors[1]) / 100;
    const double logZero = std::exp(std::log(0.04) + 100 * (std::log(0.04) - std::log(0.03)) / 100);
    const struct {
        InterpolationMethod method;
        double zero;
        double discountFactor;
    } rows[] = {
        {LinearZeroRates, 0.05, df(0.05, 400)},
        {LinearDiscountFactors, zeroOf(base.discountFactors[2] + 100 * dfSlope, 400),
         base.discountFactors[2] + 100 * dfSlope},
        {LogLinearZeroRates, logZero, df(logZero, 400)},
        {ConstantForwardRates, zeroOf(base.discountFactors[2] * std::exp(-forward * 100 / 365.0), 400),
         base.discountFactors[2] * std::exp(-forward * 100 / 365.0)},
        // The last piece of the natural spline is continued as a cubic: through collinear nodes, a line.
        {CubicSplineZeroRates, 0.05, df(0.05, 400)},
        // An unknown method stores a zero rate of 0.
        {id(9), 0.0, 1.0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.method));
        CurvePillars p = base;
        // The interpolation method is not the one asked beyond the pillars.
        EXPECT_EQ(ensurePillar(on(400), p, id(0), r.method, kContinuous), 2);
        ASSERT_EQ(p.size(), 4u);
        EXPECT_EQ(p.days[3], 400.0);
        EXPECT_NEAR(p.zeroRates[3], r.zero, 1e-14);
        EXPECT_NEAR(p.discountFactors[3], r.discountFactor, 1e-14);
    }
}

TEST(EnsurePillar, LinearDiscountFactorsGoBelowZeroFarOut) {
    CurvePillars p = pillarsAt({100, 3650}, {0.05, 0.08});
    ensurePillar(on(20000), p, LinearZeroRates, LinearDiscountFactors, kContinuous);
    EXPECT_LT(p.discountFactors.back(), 0.0);
    EXPECT_TRUE(std::isnan(p.zeroRates.back())); // the logarithm of a negative factor
}

TEST(EnsurePillar, RefusesWhatThePillarsCannotAnswer) {
    CurvePillars one = pillarsAt({100}, {0.02});
    EXPECT_EQ(thrownText([&] { ensurePillar(on(150), one, id(1), id(1), kContinuous); }),
              messages::TooFewPillars);
    CurvePillars p = pillarsAt({100, 200}, {0.02, 0.03});
    EXPECT_EQ(thrownText([&] { ensurePillar(on(99), p, id(1), id(1), kContinuous); }),
              messages::DateOutsideCurve);
    EXPECT_EQ(p.size(), 2u);
    // Out of order, a date before the first pillar that a later segment holds is still answered.
    CurvePillars unsorted = pillarsAt({200, 100, 300}, {0.03, 0.02, 0.04});
    EXPECT_EQ(ensurePillar(on(150), unsorted, id(1), id(1), kContinuous), 1);
    EXPECT_EQ(unsorted.dates[2], kToday.serial() + 150.0);

    // The returned index is 16 bits wide: a list it cannot index is refused, not wrapped around.
    std::vector<double> days(32768), zeros(32768, 0.02);
    for (size_t i = 0; i < days.size(); ++i)
        days[i] = 1.0 + static_cast<double>(i);
    CurvePillars many = pillarsAt(days, zeros);
    EXPECT_EQ(thrownText([&] { ensurePillar(on(40000), many, id(1), id(1), kContinuous); }),
              messages::TooManyPillars);
}

TEST(InsertKnownPillar, PositionRules) {
    const CurvePillars base = pillarsAt({100, 200, 300}, {0.02, 0.03, 0.04});
    const struct {
        const char* note;
        double date;
        int insertedAt; // -1: not inserted
    } rows[] = {
        {"inside", 40150.0, 1},
        {"equal to a pillar: a second one after it", 40200.0, 2},
        {"equal to the first", 40100.0, 1},
        {"beyond: appended", 40400.0, 3},
        {"equal to the last: not inserted", 40300.0, -1},
        {"before the first: not inserted", 40050.0, -1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.note);
        CurvePillars p = base;
        insertKnownPillar(r.date, 0.5, 0.25, p);
        ASSERT_EQ(p.size(), base.size() + (r.insertedAt >= 0 ? 1 : 0));
        ASSERT_EQ(p.days.size(), p.size());
        ASSERT_EQ(p.discountFactors.size(), p.size());
        ASSERT_EQ(p.zeroRates.size(), p.size());
        for (size_t i = 0; i < p.size(); ++i)
            EXPECT_EQ(p.days[i], p.dates[i] - kToday.serial());
        if (r.insertedAt < 0) {
            EXPECT_EQ(p.dates, base.dates);
            continue;
        }
        const auto at = static_cast<size_t>(r.insertedAt);
        EXPECT_EQ(p.dates[at], r.date);
        EXPECT_EQ(p.zeroRates[at], 0.5);
        EXPECT_EQ(p.discountFactors[at], 0.25);
    }
    CurvePillars one = pillarsAt({100}, {0.02});
    insertKnownPillar(40200.0, 0.5, 0.25, one);
    EXPECT_EQ(one.dates, (std::vector<double>{40100, 40200}));
    EXPECT_EQ(one.zeroRates[1], 0.5);
    EXPECT_EQ(one.discountFactors[1], 0.25);
    CurvePillars none;
    EXPECT_EQ(thrownText([&] { insertKnownPillar(40200.0, 0.5, 0.25, none); }), messages::TooFewPillars);
}

TEST(Spline, TwoNodesGiveTheStraightLineInsideAndBeyond) {
    for (double x : {-50.0, 0.0, 25.0, 100.0, 400.0}) {
        SCOPED_TRACE(x);
        EXPECT_NEAR(cubicSplineZeroRate(x, {0.0, 100.0}, {0.01, 0.03}), 0.01 + 0.0002 * x, 1e-17);
    }
}

TEST(Spline, NaturalAndClampedEnds) {
    // Natural spline through (0,0), (1,1), (2,0): second derivatives 0, -3, 0.
    const std::vector<double> x{0, 1, 2}, y{0, 1, 0};
    const auto y2 = splineSecondDerivatives(x, y, 3, spline::NaturalEnd, spline::NaturalEnd);
    EXPECT_EQ(y2, (std::vector<double>{0.0, -3.0, 0.0}));
    EXPECT_DOUBLE_EQ(splineValue(x, y, y2, 3, 0.5), 0.6875);
    for (size_t i = 0; i < x.size(); ++i)
        EXPECT_DOUBLE_EQ(cubicSplineZeroRate(x[i], x, y), y[i]);

    // End slopes given exactly: a cubic is reproduced, also between unequal nodes.
    const std::vector<double> cx{0, 1, 2.5, 3}, cy{0, 1, 15.625, 27};
    const auto c2 = splineSecondDerivatives(cx, cy, 4, 0.0, 27.0);
    EXPECT_NEAR(splineValue(cx, cy, c2, 4, 1.5), 3.375, 1e-12);
    EXPECT_NEAR(splineValue(cx, cy, c2, 4, 2.75), 2.75 * 2.75 * 2.75, 1e-12);
}

TEST(Spline, RefusesBadNodeLists) {
    // Two nodes of one abscissa fail wherever they stand, as do too few nodes or lists shorter than n.
    EXPECT_EQ(thrownText([] {
                  cubicSplineZeroRate(50, {100, 100, 200}, {1, 2, 3});
              }),
              messages::BadSplineInput);
    EXPECT_EQ(thrownText([] {
                  cubicSplineZeroRate(300, {100, 200, 200}, {1, 2, 3});
              }),
              messages::BadSplineInput);
    EXPECT_EQ(thrownText([] {
                  cubicSplineZeroRate(150, {100, 200, 200, 300}, {1, 2, 3, 4});
              }),
              messages::BadSplineInput);
    EXPECT_EQ(thrownText([] { cubicSplineZeroRate(150, {100}, {1}); }), messages::BadSplineInput);
    EXPECT_EQ(thrownText([] { cubicSplineZeroRate(150, {}, {}); }), messages::BadSplineInput);
    EXPECT_EQ(thrownText([] { cubicSplineZeroRate(150, {100}, {1, 2}); }), messages::BadSplineInput);
    const std::vector<double> x{0, 1}, y{0, 1}, shortY2{0};
    EXPECT_EQ(thrownText([&] { splineValue(x, y, shortY2, 2, 0.5); }), messages::BadSplineInput);
    EXPECT_EQ(thrownText([&] { splineSecondDerivatives(x, y, 3, 0, 0); }), messages::BadSplineInput);
}

namespace {

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The exact value (its bits, in hexadecimal) or the failure's text.
std::string answerOf(const std::function<double()>& call) {
    try {
        char text[64];
        std::snprintf(text, sizeof text, "%a", call());
        return text;
    } catch (const char* failure) {
        return failure;
    }
}

bool samePillars(const CurvePillars& a, const CurvePillars& b) {
    auto same = [](const std::vector<double>& x, const std::vector<double>& y) {
        if (x.size() != y.size())
            return false;
        for (size_t i = 0; i < x.size(); ++i)
            if (!sameBits(x[i], y[i]))
                return false;
        return true;
    };
    return same(a.dates, b.dates) && same(a.days, b.days) && same(a.discountFactors, b.discountFactors) &&
           same(a.zeroRates, b.zeroRates);
}

} // namespace

// The spline kept across insertions must give the doubles of the spline solved from scratch, wherever the
// nodes go in (end, middle, front) and wherever it is asked, and fail where that one fails.
TEST(GrowingNaturalSpline, MatchesTheSplineSolvedFromScratch) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (const char* order : {"appended", "anywhere", "in front"}) {
        SCOPED_TRACE(order);
        std::vector<double> x{10, 20}, y{0.02, 0.021};
        GrowingNaturalSpline growing;
        for (int step = 0; step < 300; ++step) {
            size_t at = x.size();
            double node = x.back() + 1 + 10 * unit(random);
            if (order[0] == 'a' && order[1] == 'n') {
                at = 1 + static_cast<size_t>(unit(random) * static_cast<double>(x.size() - 1));
                node = x[at - 1] + (x[at] - x[at - 1]) * (0.1 + 0.8 * unit(random));
            } else if (order[0] == 'i') {
                at = 0;
                node = x[0] - 1 - unit(random);
            }
            x.insert(x.begin() + static_cast<std::ptrdiff_t>(at), node);
            y.insert(y.begin() + static_cast<std::ptrdiff_t>(at), 0.02 + 0.01 * unit(random));
            growing.invalidateFrom(at);
            for (const double where : {x.front() - 5, x[x.size() / 2] + 0.5, x.back(), x.back() + 30}) {
                const double expected = cubicSplineZeroRate(where, x, y);
                ASSERT_TRUE(sameBits(growing.value(x, y, where), expected)) << step << " at " << where;
            }
        }
    }

    // A node on the abscissa of its neighbour fails until it is gone, wherever the spline is asked.
    std::vector<double> x{10, 20, 30}, y{0.01, 0.02, 0.03};
    GrowingNaturalSpline growing;
    EXPECT_EQ(growing.value(x, y, 25), cubicSplineZeroRate(25, x, y));
    x.insert(x.begin() + 1, 10.0);
    y.insert(y.begin() + 1, 0.015);
    growing.invalidateFrom(1);
    EXPECT_EQ(thrownText([&] { growing.value(x, y, 25); }), messages::BadSplineInput);
    EXPECT_EQ(thrownText([&] { growing.value(x, y, 25); }), messages::BadSplineInput);
    x[1] = 15.0;
    growing.invalidateFrom(1);
    EXPECT_TRUE(sameBits(growing.value(x, y, 25), cubicSplineZeroRate(25, x, y)));
    EXPECT_EQ(thrownText([&] { growing.value({1}, {1}, 0); }), messages::BadSplineInput);
}

// Pillars changed through an index end exactly as without one, for every method and also when the dates do
// not ascend (money-market rows out of order, a NaN), where segments must be searched from the first.
TEST(PillarIndex, InsertionsGiveThePillarsOfThePlainSearch) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> day(90, 700);
    const std::vector<std::vector<double>> starts{
        {100, 200, 300}, {100, 300, 200, 400}, {100, std::numeric_limits<double>::quiet_NaN(), 300}};
    for (size_t s = 0; s < starts.size(); ++s) {
        for (int16_t method = 1; method <= 5; ++method) {
            SCOPED_TRACE(::testing::Message() << "pillars " << s << ", method " << method);
            CurvePillars plain = pillarsAt(starts[s], std::vector<double>(starts[s].size(), 0.02));
            for (size_t i = 0; i < plain.size(); ++i)
                plain.zeroRates[i] += 0.001 * static_cast<double>(i);
            CurvePillars indexed = plain;
            PillarIndex index(indexed);
            for (int row = 0; row < 60; ++row) {
                const SerialDate start = on(day(random));
                const double end = start.serial() + day(random) / 10;
                const std::string plainFailure = thrownText([&] {
                    const int16_t p = ensurePillar(start, plain, id(method), id(method), kContinuous);
                    insertKnownPillar(end, 0.03, plain.discountFactors[static_cast<size_t>(p + 1)], plain);
                });
                const std::string indexedFailure = thrownText([&] {
                    const int16_t p =
                        ensurePillar(start, indexed, id(method), id(method), kContinuous, &index);
                    insertKnownPillar(end, 0.03, indexed.discountFactors[static_cast<size_t>(p + 1)], indexed,
                                      &index);
                });
                ASSERT_EQ(indexedFailure, plainFailure) << "row " << row;
                ASSERT_TRUE(samePillars(indexed, plain)) << "row " << row;
                const SerialDate asked = on(day(random));
                EXPECT_EQ(
                    answerOf(
                        [&] { return curveDiscountFactor(asked, indexed, id(method), kContinuous, &index); }),
                    answerOf([&] { return curveDiscountFactor(asked, plain, id(method), kContinuous); }));
            }
        }
    }
}

// Insertions reported one by one keep the whole solution and repair it near each new node; the values must
// still be the doubles of the spline solved from scratch. Long stretches of equal values are where a change
// travels furthest through the sweep (there nothing but rounding and underflow damps it), and a node on the
// abscissa of a neighbour must fail as the plain spline fails, also after further insertions.
TEST(GrowingNaturalSpline, RepairedInsertionsMatchTheSplineSolvedFromScratch) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double inf = std::numeric_limits<double>::infinity();
    for (const char* shape :
         {"curved", "flat", "flat after a bend", "spacings from 1e-6 to 1e6", "infinite"}) {
        SCOPED_TRACE(shape);
        const std::string s = shape;
        std::vector<double> x, y;
        for (int i = 0; i < 40; ++i) {
            x.push_back(i == 0 ? 10.0
                               : x.back() + (s[0] == 's' ? std::pow(10.0, 12 * unit(random) - 6) : 7.0));
            y.push_back(s == "flat" || (s[0] == 'f' && i > 3) ? 0.03 : 0.02 + 0.01 * unit(random));
        }
        if (s == "infinite")
            y[20] = inf;
        GrowingNaturalSpline growing;
        ASSERT_TRUE(sameBits(growing.value(x, y, 50), cubicSplineZeroRate(50, x, y)));
        for (int step = 0; step < 200; ++step) {
            const double where = unit(random);
            size_t at = x.size(); // appended, or in front, or between two nodes
            double node = x.back() + 1 + 10 * unit(random);
            if (where < 0.1) {
                at = 0;
                node = x[0] - 1;
            } else if (where < 0.8) {
                at = 1 + static_cast<size_t>(unit(random) * static_cast<double>(x.size() - 1));
                node = x[at - 1] + (x[at] - x[at - 1]) * (0.1 + 0.8 * unit(random));
            }
            x.insert(x.begin() + static_cast<std::ptrdiff_t>(at), node);
            y.insert(y.begin() + static_cast<std::ptrdiff_t>(at),
                     s[0] == 'f' ? 0.03 : 0.02 + 0.01 * unit(random));
            growing.inserted(at, x, y);
            for (const double asked :
                 {x.front() - 5, node, x[x.size() / 3] + 0.25, x.back(), x.back() + 30}) {
                ASSERT_EQ(answerOf([&] { return growing.value(x, y, asked); }),
                          answerOf([&] { return cubicSplineZeroRate(asked, x, y); }))
                    << step << " at " << asked;
                ASSERT_TRUE(sameBits(growing.value(x, y, asked), cubicSplineZeroRate(asked, x, y)));
            }
        }
    }

    std::vector<double> x{10, 20, 30, 40}, y{0.01, 0.02, 0.03, 0.025};
    GrowingNaturalSpline growing;
    EXPECT_TRUE(sameBits(growing.value(x, y, 25), cubicSplineZeroRate(25, x, y)));
    x.insert(x.begin() + 2, 20.0);
    y.insert(y.begin() + 2, 0.015);
    growing.inserted(2, x, y);
    EXPECT_EQ(thrownText([&] { growing.value(x, y, 25); }), messages::BadSplineInput);
    x.insert(x.begin() + 4, 35.0);
    y.insert(y.begin() + 4, 0.02);
    growing.inserted(4, x, y);
    EXPECT_EQ(thrownText([&] { growing.value(x, y, 35); }), messages::BadSplineInput);
    x.erase(x.begin() + 2);
    y.erase(y.begin() + 2);
    growing.invalidateFrom(2);
    EXPECT_TRUE(sameBits(growing.value(x, y, 36), cubicSplineZeroRate(36, x, y)));
    x.insert(x.begin() + 5, 50.0); // appended: the last node's second derivative is the natural end's
    y.insert(y.begin() + 5, 0.02);
    growing.inserted(5, x, y);
    EXPECT_TRUE(sameBits(growing.value(x, y, 45), cubicSplineZeroRate(45, x, y)));
}

namespace {

// A futures row as the bootstrap takes it: the start made a pillar, the end inserted with the start's
// discount factor times the forward one. Failures are kept as text; the pillars are left as the failure
// left them.
std::string addFuturesRow(CurvePillars& p, double start, double end, int16_t interpolation,
                          int16_t extrapolation, PillarIndex* index) {
    return thrownText([&] {
        const int16_t s =
            ensurePillar(SerialDate(start), p, id(interpolation), id(extrapolation), kContinuous, index);
        const double discountFactor = 0.9995 * p.discountFactors[static_cast<size_t>(s + 1)];
        insertKnownPillar(end, zeroOf(discountFactor, end - kToday.serial()), discountFactor, p, index);
    });
}

} // namespace

// A few hundred futures rows through one index (spline kept and repaired, segments bisected) end in the
// doubles, and fail with the texts, of the plain path, which searches every segment from the first and
// solves the whole spline for every value: rows in date order (starts on or beyond the last pillar), starts
// scattered among the pillars made so far, starts falling through the first segment, and dates on a coarse
// grid so that starts and ends fall on existing pillars. Every pair of interpolation and extrapolation ids.
TEST(PillarIndex, ManyFuturesRowsGiveThePillarsOfThePlainPath) {
    for (const char* order : {"in date order", "scattered", "falling", "on shared dates"}) {
        for (int16_t interpolation = 1; interpolation <= 5; ++interpolation) {
            for (int16_t extrapolation = 1; extrapolation <= 5; ++extrapolation) {
                SCOPED_TRACE(::testing::Message()
                             << order << ", ids " << interpolation << ", " << extrapolation);
                std::mt19937 random(static_cast<unsigned>(interpolation * 10 + extrapolation));
                std::uniform_int_distribution<int> unit(0, 999);
                CurvePillars plain = pillarsAt({30, 60, 90}, {0.02, 0.022, 0.021});
                CurvePillars indexed = plain;
                PillarIndex index(indexed);
                std::vector<std::string> failures;
                for (int row = 0; row < 300; ++row) {
                    const double last = plain.dates.back();
                    double start = last + unit(random) % 3; // on the last pillar or a day or two beyond
                    double end = start + 1 + unit(random) % 20;
                    if (order[0] == 's') {
                        start = kToday.serial() + 25 + unit(random) * (last - kToday.serial()) / 999;
                    } else if (order[0] == 'f') {
                        start = kToday.serial() + 5000 - 15 * row;
                        end = start + 7;
                        if (row == 0) {
                            start = last;
                            end = kToday.serial() + 6000;
                        }
                    } else if (order[0] == 'o') {
                        start = kToday.serial() + 30 + 10 * (unit(random) % 40);
                        end = start + 10 * (1 + unit(random) % 3);
                    }
                    start = std::floor(start);
                    const std::string plainFailure =
                        addFuturesRow(plain, start, end, interpolation, extrapolation, nullptr);
                    const std::string indexedFailure =
                        addFuturesRow(indexed, start, end, interpolation, extrapolation, &index);
                    ASSERT_EQ(indexedFailure, plainFailure) << "row " << row;
                    ASSERT_TRUE(samePillars(indexed, plain)) << "row " << row;
                    if (!plainFailure.empty())
                        failures.push_back(plainFailure);
                }
                // The grid's shared dates are what breaks the spline; elsewhere only the few starts before
                // the first pillar fail.
                if (order[0] == 'o' && interpolation == 5) {
                    EXPECT_FALSE(failures.empty());
                }
                const double asked = kToday.serial() + 45;
                EXPECT_EQ(answerOf([&] {
                              return curveDiscountFactor(SerialDate(asked), indexed, id(interpolation),
                                                         kContinuous, &index);
                          }),
                          answerOf([&] {
                              return curveDiscountFactor(SerialDate(asked), plain, id(interpolation),
                                                         kContinuous);
                          }));
            }
        }
    }
}
