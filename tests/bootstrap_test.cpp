#include <gtest/gtest.h>

#include "CurveMarketData.h"
#include "curves/CurveMessages.h"
#include "curves/Rates.h"
#include "curves/Spline.h"
#include "curves/SwapSolver.h"
#include "dates/Messages.h"
#include "daycount/DayCount.h"
#include "daycount/Messages.h"
#include "matrix/MatrixMessages.h"

#include <cmath>
#include <cstring>
#include <exception>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using namespace tavrin;

using market::CurveInputs;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kSolverTolerance = 1e-9;

// The text of a plain-text throw or of a standard exception, or "" when the call succeeds.
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

std::string failureOf(const CurveInputs& in) {
    return failureOf([&] { market::bootstrap(in); });
}

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameBits(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!sameBits(a[i], b[i]))
            return false;
    return true;
}

// ---- The swap objective and bisection written out plainly, step by step, as a reference ----

SwapValue referenceObjective(double x, const ParSwap& s) {
    const size_t k = s.known.size();
    const auto n = static_cast<size_t>(s.periods);
    const double c = s.ratePercent / 100.0;
    const CurveConvention& cv = s.convention;
    const double today = cv.today.serial();
    const auto& S = s.schedule;
    auto tau = [&](size_t a, size_t b) { return dayCountFraction(S[a], S[b], s.fixedDayCount); };
    auto dfz = [&](double z, size_t i) {
        return discountFactorFromZeroRate(z, cv.today, S[i], cv.zeroRateDayCount, cv.zeroRateFrequency);
    };
    auto forward = [&](double f, size_t i) {
        return s.known.discountFactors[k - 1] *
               discountFactorFromZeroRate(f, S[k - 1], S[i], cv.zeroRateDayCount, cv.zeroRateFrequency);
    };
    double pv = 0.0;
    for (size_t i = 1; i < k; ++i)
        pv = pv + (s.known.discountFactors[i] * c) * tau(i - 1, i);
    std::vector<double> zeros = s.known.zeroRates, days = s.known.days;
    zeros.push_back(x);
    days.push_back(S[n].serial() - today);
    const double xl = S[k - 1].serial() - today, xn = S[n].serial() - today;
    SwapValue out{0.0, {}};
    double df = 0.0;
    for (size_t i = k; static_cast<double>(i) < s.periods; ++i) {
        const double xi = S[i].serial() - today;
        switch (static_cast<int16_t>(s.interpolationMethod)) {
        case 1:
            df = dfz(interpolateLinear(xi, xl, s.known.zeroRates[k - 1], xn, x), i);
            break;
        case 2:
            df = interpolateLinear(xi, xl, s.known.discountFactors[k - 1], xn, x);
            break;
        case 3:
            df = dfz(interpolateLogLinear(xi, xl, s.known.zeroRates[k - 1], xn, x), i);
            break;
        case 4:
            df = forward(x, i);
            break;
        case 5: {
            const double z = cubicSplineZeroRate(xi, days, zeros);
            df = dfz(z, i);
            zeros.insert(zeros.begin() + static_cast<std::ptrdiff_t>(i), z);
            days.insert(days.begin() + static_cast<std::ptrdiff_t>(i), xi);
            break;
        }
        default:
            break;
        }
        pv = tau(i - 1, i) * (c * df) + pv;
        out.discountFactors.push_back(df);
    }
    const auto m = static_cast<size_t>(s.periods - 1);
    double dfn = 0.0;
    const auto id = static_cast<int16_t>(s.interpolationMethod);
    if (id == 1 || id == 3 || id == 5) {
        const double simple = simpleDiscountFactor(x, cv.today, S[n], s.fixedDayCount);
        pv = tau(m, n) * (c * simple) + pv;
        dfn = dfz(x, n);
    } else if (id == 4) {
        dfn = forward(x, n);
        pv = tau(m, n) * (c * dfn) + pv;
    } else {
        dfn = x;
        pv = tau(m, n) * (c * x) + pv;
    }
    out.discountFactors.push_back(dfn);
    out.value = pv - (1.0 - dfn);
    return out;
}

constexpr const char* kNeverEnds = "the plain bisection never ends";

// Three evaluations at every step, nothing reused; a step cap stands in for the loop that never ends.
std::vector<double> referenceBisection(const ParSwap& s) {
    double lo = 0.0;
    double hi = s.interpolationMethod == InterpolationMethod::ConstantForwardRates
                    ? s.known.discountFactors.back()
                    : 1.0;
    for (int step = 0; step < 5000; ++step) {
        const SwapValue h = referenceObjective(hi, s);
        const SwapValue l = referenceObjective(lo, s);
        const double mid = (lo + hi) * 0.5;
        const SwapValue m = referenceObjective(mid, s);
        if (1e-9 * 1e-9 > std::fabs(hi - lo))
            throw messages::SolutionNotReached;
        if (std::fabs(h.value - l.value) < 1e-9 || m.value == 0.0) {
            const auto id = static_cast<int16_t>(s.interpolationMethod);
            return id == 1 || id == 3 || id == 5 ? h.discountFactors : l.discountFactors;
        }
        if (m.value * l.value > 0.0)
            lo = mid;
        else
            hi = mid;
    }
    throw kNeverEnds;
}

// A synthetic fixed leg: semiannual unadjusted dates from a spot date, with the first k points known on an
// upward-sloping annual zero curve.
struct SyntheticSwap {
    CurveConvention convention{SerialDate(40805), DayCountConvention::Act365F, CompoundingFrequency::Annual};
    DayCountConvention fixedDayCount = DayCountConvention::Thirty360E;
    std::vector<SerialDate> schedule;
    ScheduleCurve known;

    explicit SyntheticSwap(size_t k, size_t points = 21) {
        for (size_t i = 0; i < points; ++i)
            schedule.push_back(SerialDate(40807).plusMonths(static_cast<int32_t>(6 * i)));
        for (size_t i = 0; i < k; ++i) {
            const double days = schedule[i].serial() - 40805.0;
            const double zero = 0.01 + 0.002 * days / 365.0;
            known.zeroRates.push_back(zero);
            known.discountFactors.push_back(std::pow(1.0 + zero, -days / 365.0));
            known.days.push_back(days);
        }
    }
    ParSwap swap(InterpolationMethod method, double ratePercent, double periods) const {
        return ParSwap{known, schedule, fixedDayCount, method, convention, ratePercent, periods};
    }
    ParSwap swap(int16_t id, double ratePercent, double periods) const {
        return swap(parseInterpolationMethod(id), ratePercent, periods);
    }
};

} // namespace

// ---- Swap objective and solver ----

TEST(SwapParObjective, MatchesThePlainEvaluationBitForBit) {
    for (size_t k : {1u, 2u, 4u}) {
        const SyntheticSwap data(k);
        for (size_t n : {k, k + 1, k + 6, size_t{20}}) {
            for (int16_t method : {1, 2, 3, 4, 5, 0, 7}) {
                const ParSwap swap = data.swap(method, 2.5, static_cast<double>(n));
                for (double x : {0.0, 0.0137, 0.03, 0.5, 0.98, 1.0}) {
                    SCOPED_TRACE(::testing::Message()
                                 << "k " << k << " n " << n << " method " << method << " x " << x);
                    const SwapValue fast = swapParObjective(x, swap);
                    const SwapValue plain = referenceObjective(x, swap);
                    EXPECT_TRUE(sameBits(fast.value, plain.value)) << fast.value << " vs " << plain.value;
                    EXPECT_TRUE(sameBits(fast.discountFactors, plain.discountFactors));
                    EXPECT_EQ(fast.discountFactors.size(), n - k + 1);
                }
            }
        }
    }
}

TEST(SolveSwapMaturity, ReusingBracketEndsGivesThePlainBisectionsResult) {
    for (size_t k : {1u, 3u}) {
        const SyntheticSwap data(k);
        for (int16_t method : {1, 2, 3, 4, 5, 0}) {
            for (double rate : {0.5, 2.0, 4.0}) {
                SCOPED_TRACE(::testing::Message() << "k " << k << " method " << method << " rate " << rate);
                const ParSwap swap = data.swap(method, rate, 10);
                EXPECT_TRUE(sameBits(solveSwapMaturity(swap), referenceBisection(swap)));
            }
        }
    }
}

TEST(SolveSwapMaturity, BracketsThatCannotCloseFailInsteadOfLooping) {
    // A root near 0.49 with a slope so steep that two neighbouring doubles around it differ in value by more
    // than 1e-9: the bracket closes on two neighbours and its midpoint is one of them.
    SyntheticSwap steep(1);
    steep.known.discountFactors = {-0.6};
    const ParSwap steepSwap = steep.swap(InterpolationMethod::LinearDiscountFactors, 1e11, 10);
    EXPECT_EQ(failureOf([&] { referenceBisection(steepSwap); }), kNeverEnds);
    EXPECT_EQ(failureOf([&] { solveSwapMaturity(steepSwap); }), messages::SolutionNotReached);

    // An end of the bracket that is not a number: the last known factor is NaN under the forward method.
    SyntheticSwap nanEnd(3);
    nanEnd.known.discountFactors.back() = kNaN;
    const ParSwap nanEndSwap = nanEnd.swap(InterpolationMethod::ConstantForwardRates, 2.0, 10);
    EXPECT_EQ(failureOf([&] { referenceBisection(nanEndSwap); }), kNeverEnds);
    EXPECT_EQ(failureOf([&] { solveSwapMaturity(nanEndSwap); }), messages::SolutionNotReached);

    // Values that are not numbers close the bracket on 0, where the width test ends it in both.
    SyntheticSwap nanValues(3);
    nanValues.known.zeroRates.back() = kNaN;
    const ParSwap nanValuesSwap = nanValues.swap(InterpolationMethod::LinearZeroRates, 2.0, 10);
    EXPECT_EQ(failureOf([&] { referenceBisection(nanValuesSwap); }), messages::SolutionNotReached);
    EXPECT_EQ(failureOf([&] { solveSwapMaturity(nanValuesSwap); }), messages::SolutionNotReached);

    // Without a sign change the search runs to an end and stops there once the values meet.
    const SyntheticSwap data(3);
    const ParSwap oneSigned = data.swap(InterpolationMethod::LinearDiscountFactors, -1e11, 10);
    EXPECT_TRUE(sameBits(solveSwapMaturity(oneSigned), referenceBisection(oneSigned)));
}

TEST(SolveSwapMaturity, ForwardMethodCannotReachAboveTheLastKnownFactor) {
    const SyntheticSwap data(3);
    // 60% needs a forward rate far above the bracket's upper end (the last known factor, about 0.99): the
    // search closes on that end and returns the values computed just below it, without failing.
    const ParSwap swap = data.swap(4, 60.0, 10);
    const std::vector<double> dfs = solveSwapMaturity(swap);
    const double hi = data.known.discountFactors.back();
    const SwapValue atHi = swapParObjective(hi, swap);
    EXPECT_NEAR(dfs.back(), atHi.discountFactors.back(), 1e-8);
    EXPECT_GT(std::fabs(atHi.value), 0.1);
}

TEST(SwapParObjective, RefusesSwapsTheScheduleCannotValue) {
    const SyntheticSwap data(3);
    const SyntheticSwap none(0);
    const struct {
        const char* note;
        const SyntheticSwap& data;
        double periods;
        const char* expected;
    } rows[] = {
        {"no known schedule point", none, 4, messages::SpotNotBeforeLastPillar},
        {"zero periods", data, 0, messages::InvalidSwapPeriods},
        {"half a period", data, 0.5, messages::InvalidSwapPeriods},
        {"a fraction of a period", data, 4.5, messages::InvalidSwapPeriods},
        {"negative", data, -4, messages::InvalidSwapPeriods},
        {"not a number", data, kNaN, messages::InvalidSwapPeriods},
        {"beyond the schedule", data, 21, messages::SwapBeyondSchedule},
        {"huge", data, 1e300, messages::SwapBeyondSchedule},
        {"infinite", data, std::numeric_limits<double>::infinity(), messages::SwapBeyondSchedule},
        {"at a known point", data, 2, messages::SwapMaturityNotIncreasing},
        {"last period of the schedule", data, 20, ""},
        {"first unknown point", data, 3, ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.note);
        EXPECT_EQ(failureOf([&] { swapParObjective(0.02, r.data.swap(1, 2.0, r.periods)); }), r.expected);
        if (*r.expected != '\0') {
            EXPECT_EQ(failureOf([&] { solveSwapMaturity(r.data.swap(1, 2.0, r.periods)); }), r.expected);
        }
    }
}

// ---- The whole bootstrap on realistic market data ----

TEST(Bootstrap, EveryMethodRepricesItsInputs) {
    for (int16_t id = 1; id <= 5; ++id) {
        SCOPED_TRACE(id);
        CurveInputs in;
        in.interpId = in.extrapolId = id;
        const CurveBuild build = market::bootstrap(in);
        const CurvePillars& p = build.pillars;
        const auto& S = build.fixedSchedule;
        const ScheduleCurve& sc = build.scheduleCurve;
        ASSERT_EQ(p.size(), 4u + 1u + 8u + 15u); // the first futures start falls between two deposits
        ASSERT_EQ(sc.size(), 61u);

        for (size_t i = 0; i < market::kMoneyMarket.size(); ++i) {
            const size_t at = i == 0 ? 0 : i + 1; // after the first futures start
            EXPECT_EQ(p.dates[at], market::kMoneyMarket[i].date);
            EXPECT_EQ(p.discountFactors[at], market::kMoneyMarket[i].discountFactor);
        }
        for (size_t f = 0; f < market::kFutures.size(); ++f) {
            const size_t start = f == 0 ? 1 : 4 + f;
            const size_t end = 5 + f;
            EXPECT_EQ(p.dates[start], market::kFutures[f].start);
            EXPECT_EQ(p.dates[end], market::kFutures[f].end);
            EXPECT_NEAR(p.discountFactors[end] / p.discountFactors[start],
                        market::kFutures[f].forwardDiscountFactor, 1e-15);
        }
        for (size_t s = 0; s < market::kSwaps.size(); ++s) {
            const auto n = static_cast<size_t>(market::kSwaps[s].years * 2);
            SCOPED_TRACE(market::kSwaps[s].years);
            EXPECT_EQ(p.dates[13 + s], S[n].serial());
            EXPECT_EQ(p.discountFactors[13 + s], sc.discountFactors[n]);
            // The par value on the schedule's discount factors, the last coupon discounted as the solver
            // does for the zero-rate methods.
            const double c = market::kSwaps[s].ratePercent / 100.0;
            double pv = 0.0;
            for (size_t i = 1; i < n; ++i)
                pv += c * dayCountFraction(S[i - 1], S[i], DayCountConvention::Thirty360E) *
                      sc.discountFactors[i];
            double last = sc.discountFactors[n];
            if (id == 1 || id == 3 || id == 5)
                last = simpleDiscountFactor(sc.zeroRates[n], SerialDate(40805), S[n],
                                            DayCountConvention::Thirty360E);
            pv += c * dayCountFraction(S[n - 1], S[n], DayCountConvention::Thirty360E) * last;
            EXPECT_NEAR(pv - (1.0 - sc.discountFactors[n]), 0.0, kSolverTolerance);
        }
        for (size_t i = 1; i < p.size(); ++i) {
            EXPECT_LT(p.dates[i - 1], p.dates[i]);
            EXPECT_LT(p.discountFactors[i], p.discountFactors[i - 1]);
        }
        for (size_t i = 1; i < sc.size(); ++i)
            EXPECT_LT(sc.discountFactors[i], sc.discountFactors[i - 1]);
    }
}

TEST(Bootstrap, FloatingLegEntersNoValue) {
    const xll::NumberMatrix base = market::curveTable(CurveInputs{});
    CurveInputs in;
    in.swapFloatTenor = L"6M";
    in.swapFloatDayConv = L"Act/365F";
    in.rollDayFloatLeg = 21;
    const xll::NumberMatrix other = market::curveTable(in);
    ASSERT_EQ(other.rows(), base.rows());
    for (int32_t i = 0; i < base.rows(); ++i)
        EXPECT_TRUE(sameBits(other(i, 1), base(i, 1)));
    // Its schedule is still built, and its failures still end the call.
    in.rollDayFloatLeg = 20;
    EXPECT_EQ(failureOf(in), messages::RollDayMismatch);
}

TEST(Bootstrap, MoneyMarketSegment) {
    CurveInputs in;
    in.futures = xll::CellMatrix();
    in.swaps = xll::CellMatrix();
    in.zeroRateFreq = 5;
    // Out of date order, a blank row and today itself with factor 1.
    in.moneyMarket = xll::CellMatrix(5, 2);
    in.moneyMarket(0, 0) = xll::MatrixCell(40837.0);
    in.moneyMarket(0, 1) = xll::MatrixCell(0.9988);
    in.moneyMarket(1, 0) = xll::MatrixCell(40805.0);
    in.moneyMarket(1, 1) = xll::MatrixCell(1.0);
    in.moneyMarket(3, 0) = xll::MatrixCell(40814.5);
    in.moneyMarket(3, 1) = xll::MatrixCell(0.9997);
    const CurveBuild build = market::bootstrap(in);
    const CurvePillars& p = build.pillars;
    EXPECT_EQ(p.dates, (std::vector<double>{40837.0, 40805.0, 40814.5}));
    EXPECT_EQ(p.days, (std::vector<double>{32.0, 0.0, 9.5}));
    EXPECT_EQ(p.discountFactors, (std::vector<double>{0.9988, 1.0, 0.9997}));
    EXPECT_NEAR(p.zeroRates[0], -std::log(0.9988) * 365 / 32, 1e-15);
    EXPECT_TRUE(std::isnan(p.zeroRates[1])); // a zero-length period under continuous compounding
    EXPECT_NEAR(p.zeroRates[2], -std::log(0.9997) * 365 / 9, 1e-15); // the zero rate takes whole days
}

TEST(Bootstrap, MoneyMarketRowsAreReadOnlyWhenUsed) {
    CurveInputs textDate;
    textDate.moneyMarket(2, 0) = xll::MatrixCell("1M");
    EXPECT_EQ(failureOf(textDate), xll::messages::NotANumber);

    CurveInputs omitted; // an omitted range arrives as a 1 x 1 matrix
    omitted.moneyMarket = xll::CellMatrix(1, 1);
    EXPECT_EQ(failureOf(omitted), xll::messages::InvalidSubscript);

    CurveInputs blank;
    blank.moneyMarket = xll::CellMatrix(3, 2);
    EXPECT_EQ(failureOf(blank), messages::NoMoneyMarketRows);

    CurveInputs noSwapMatrix;
    noSwapMatrix.swaps = xll::CellMatrix(1, 1);
    EXPECT_EQ(failureOf(noSwapMatrix), "");
}

TEST(Bootstrap, FuturesSegment) {
    CurveInputs in;
    in.swaps = xll::CellMatrix();
    in.interpId = 2;
    in.extrapolId = 2;
    // Two deposits, a strip starting between them, one starting on its end (chained) and one starting beyond
    // every pillar (extrapolated), ending on an existing pillar date.
    in.moneyMarket = xll::CellMatrix(2, 2);
    in.moneyMarket(0, 0) = xll::MatrixCell(40806.0);
    in.moneyMarket(0, 1) = xll::MatrixCell(0.9999);
    in.moneyMarket(1, 0) = xll::MatrixCell(40868.0);
    in.moneyMarket(1, 1) = xll::MatrixCell(0.997);
    in.futures = xll::CellMatrix(4, 3);
    const double rows[][3] = {
        {40837, 40898, 0.996}, {40898, 40989, 0.995}, {41000, 41100, 0.994}, {40850, 40868, 0.999}};
    for (uint32_t r = 0; r < 4; ++r)
        for (uint32_t j = 0; j < 3; ++j)
            in.futures(r, j) = xll::MatrixCell(rows[r][j]);
    const CurvePillars p = market::bootstrap(in).pillars;
    EXPECT_EQ(p.dates, (std::vector<double>{40806, 40837, 40850, 40868, 40868, 40898, 40989, 41000, 41100}));
    const double start1 = 0.9999 + (0.997 - 0.9999) * 31 / 62;
    EXPECT_NEAR(p.discountFactors[1], start1, 1e-15);
    EXPECT_NEAR(p.discountFactors[5], start1 * 0.996, 1e-15);
    EXPECT_NEAR(p.discountFactors[6], start1 * 0.996 * 0.995, 1e-15);
    // Beyond the last pillar by linear discount factors through the last two.
    const double slope = (p.discountFactors[6] - p.discountFactors[5]) / 91;
    EXPECT_NEAR(p.discountFactors[7], p.discountFactors[6] + 11 * slope, 1e-15);
    EXPECT_NEAR(p.discountFactors[8], p.discountFactors[7] * 0.994, 1e-15);
    // An end date on an existing pillar gives a second pillar after it.
    EXPECT_EQ(p.discountFactors[3], 0.997);
    EXPECT_NEAR(p.discountFactors[4], p.discountFactors[2] * 0.999, 1e-15);
}

TEST(Bootstrap, SwapSegment) {
    CurveInputs in;
    in.swaps = xll::CellMatrix(3, 2);
    const double quotes[][2] = {{1.67, 2}, {2.14, 5}, {2.67, 10}};
    for (uint32_t r = 0; r < 3; ++r) {
        in.swaps(r, 0) = xll::MatrixCell(quotes[r][0]);
        in.swaps(r, 1) = xll::MatrixCell(quotes[r][1]);
    }
    const CurveBuild build = market::bootstrap(in);
    const auto& S = build.fixedSchedule;
    ASSERT_EQ(S.size(), 101u);
    EXPECT_EQ(S[0].serial(), 40807);   // spot, Wednesday 21 September 2011
    EXPECT_EQ(S[4].serial(), 41540);   // 21 September 2013 is a Saturday: Monday the 23rd
    EXPECT_EQ(S[100].serial(), 59070); // 50 years on
    const CurvePillars& p = build.pillars;
    ASSERT_EQ(p.size(), 13u + 3u);
    EXPECT_EQ(p.dates[13], S[4].serial());
    EXPECT_EQ(p.dates[14], S[10].serial());
    EXPECT_EQ(p.dates[15], S[20].serial());
    EXPECT_EQ(build.scheduleCurve.size(), 21u);

    // Without swap rows the curve is what the first two segments made.
    CurveInputs noSwaps;
    noSwaps.swaps = xll::CellMatrix(4, 2);
    EXPECT_EQ(market::bootstrap(noSwaps).pillars.size(), 13u);
}

TEST(Bootstrap, UnknownInterpolationIdIsNotRejected) {
    CurveInputs in;
    in.interpId = 9;
    in.extrapolId = 9;
    // Known schedule factors are 0 and the solved unknown is the discount factor itself.
    const CurveBuild build = market::bootstrap(in);
    EXPECT_EQ(build.scheduleCurve.discountFactors[1], 0.0);
    EXPECT_EQ(build.pillars.size(), 28u);
}

TEST(Bootstrap, PreconditionsAreRefusedWithMessages) {
    struct Row {
        const char* note;
        std::function<void(CurveInputs&)> change;
        std::string expected;
    };
    auto setSwap = [](double rate, double years) {
        return [=](CurveInputs& in) {
            in.swaps = xll::CellMatrix(1, 2);
            in.swaps(0, 0) = xll::MatrixCell(rate);
            in.swaps(0, 1) = xll::MatrixCell(years);
        };
    };
    const Row rows[] = {
        {"no used money-market row", [](CurveInputs& in) { in.moneyMarket = xll::CellMatrix(); },
         messages::NoMoneyMarketRows},
        {"futures after one pillar",
         [](CurveInputs& in) {
             in.moneyMarket = xll::CellMatrix(1, 2);
             in.moneyMarket(0, 0) = xll::MatrixCell(40806.0);
             in.moneyMarket(0, 1) = xll::MatrixCell(0.9999);
         },
         messages::TooFewPillarsForFutures},
        {"futures start before the first pillar",
         [](CurveInputs& in) { in.futures(1, 0) = xll::MatrixCell(40805.0); },
         messages::FuturesStartBeforeCurve},
        {"schedule before the first pillar",
         [](CurveInputs& in) {
             in.moneyMarket(1, 0) = xll::MatrixCell(40810.0);
             in.futures = xll::CellMatrix();
         },
         messages::ScheduleBeforeCurve},
        {"spot not before the last pillar",
         [](CurveInputs& in) {
             in.moneyMarket = xll::CellMatrix(2, 2);
             in.moneyMarket(0, 0) = xll::MatrixCell(40806.0);
             in.moneyMarket(0, 1) = xll::MatrixCell(0.9999);
             in.moneyMarket(1, 0) = xll::MatrixCell(40807.0);
             in.moneyMarket(1, 1) = xll::MatrixCell(0.9998);
             in.futures = xll::CellMatrix();
         },
         messages::SpotNotBeforeLastPillar},
        {"fixed tenor over a year", [](CurveInputs& in) { in.swapFixedTenor = L"2Y"; },
         messages::InvalidSwapTenor},
        {"fixed tenor of no months", [](CurveInputs& in) { in.swapFixedTenor = L"0M"; },
         messages::InvalidTenor},
        {"negative fixed tenor", [](CurveInputs& in) { in.swapFixedTenor = L"-6M"; },
         messages::InvalidSwapTenor},
        {"floating tenor over a year", [](CurveInputs& in) { in.swapFloatTenor = L"13M"; },
         messages::InvalidSwapTenor},
        {"unreadable tenor", [](CurveInputs& in) { in.swapFixedTenor = L"6X"; }, messages::InvalidTenor},
        {"maturity beyond 50 years", setSwap(3.0, 51), messages::SwapBeyondSchedule},
        {"maturity not a number", setSwap(3.0, kNaN), messages::InvalidSwapPeriods},
        {"maturity infinite", setSwap(3.0, std::numeric_limits<double>::infinity()),
         messages::SwapBeyondSchedule},
        {"maturity huge", setSwap(3.0, 1e308), messages::SwapBeyondSchedule},
        {"maturity of a quarter", setSwap(3.0, 0.25), messages::InvalidSwapPeriods},
        {"maturity inside the futures", setSwap(1.5, 1), messages::SwapMaturityNotIncreasing},
        {"maturities decreasing",
         [](CurveInputs& in) {
             in.swaps(3, 1) = xll::MatrixCell(2.0); // the 4-year row becomes a second 2-year one
         },
         messages::SwapMaturityNotIncreasing},
        {"maturity in text", [](CurveInputs& in) { in.swaps(2, 1) = xll::MatrixCell("3Y"); },
         xll::messages::NotANumber},
        {"today not a date", [](CurveInputs& in) { in.today = kNaN; }, messages::InvalidDate},
        {"today beyond 32 bits", [](CurveInputs& in) { in.today = 1e10; }, messages::InvalidDate},
        {"money-market date beyond 32 bits",
         [](CurveInputs& in) { in.moneyMarket(4, 0) = xll::MatrixCell(1e12); }, messages::InvalidDate},
        {"futures end date not a date", [](CurveInputs& in) { in.futures(3, 1) = xll::MatrixCell(kNaN); },
         messages::InvalidDate},
        {"futures start date negative beyond 32 bits",
         [](CurveInputs& in) { in.futures(3, 0) = xll::MatrixCell(-1e12); }, messages::InvalidDate},
        {"money-market date before today",
         [](CurveInputs& in) { in.moneyMarket(1, 0) = xll::MatrixCell(40800.0); },
         messages::PeriodEndBeforeStart},
        {"unknown zero-rate day count", [](CurveInputs& in) { in.zeroRateDayConv = L"Act/365"; },
         messages::InvalidDcfConvention},
        {"unknown calendar", [](CurveInputs& in) { in.holidayCalendar = L"MOON"; },
         "Invalid holiday calendar !!!"},
        {"fixed roll day off the first regular date", [](CurveInputs& in) { in.rollDayFixedLeg = 15; },
         messages::RollDayMismatch},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.note);
        CurveInputs in;
        r.change(in);
        EXPECT_EQ(failureOf(in), r.expected);
    }
}

// The worksheet reads every text and cell before the bootstrap runs; of two faults, the one the bootstrap
// meets first must still be the one reported, whichever input holds it.
TEST(Bootstrap, OfTwoFaultsTheFirstOneMetIsReported) {
    struct Row {
        const char* note;
        std::function<void(CurveInputs&)> change;
        std::string expected;
    };
    const Row rows[] = {
        {"fixed tenor before the calendar",
         [](CurveInputs& in) {
             in.swapFixedTenor = L"6X";
             in.holidayCalendar = L"MOON";
         },
         messages::InvalidTenor},
        {"valuation date before the calendar",
         [](CurveInputs& in) {
             in.holidayCalendar = L"MOON";
             in.today = kNaN;
         },
         messages::InvalidDate},
        {"calendar before the market cells",
         [](CurveInputs& in) {
             in.holidayCalendar = L"MOON";
             in.moneyMarket(1, 0) = xll::MatrixCell("soon");
         },
         "Invalid holiday calendar !!!"},
        {"calendar before a matrix too narrow",
         [](CurveInputs& in) {
             in.holidayCalendar = L"MOON";
             in.futures = xll::CellMatrix(2, 2);
         },
         "Invalid holiday calendar !!!"},
        {"fixed schedule before the floating tenor",
         [](CurveInputs& in) {
             in.rollDayFixedLeg = 15;
             in.swapFloatTenor = L"6X";
         },
         messages::RollDayMismatch},
        {"floating tenor before the market cells",
         [](CurveInputs& in) {
             in.swapFloatTenor = L"6X";
             in.moneyMarket(1, 0) = xll::MatrixCell("soon");
         },
         messages::InvalidTenor},
        {"an earlier money-market row before a later cell",
         [](CurveInputs& in) {
             in.moneyMarket(1, 0) = xll::MatrixCell(40800.0);
             in.moneyMarket(2, 0) = xll::MatrixCell("soon");
         },
         messages::PeriodEndBeforeStart},
        {"the period before the zero-rate day count",
         [](CurveInputs& in) {
             in.moneyMarket(1, 0) = xll::MatrixCell(40800.0);
             in.zeroRateDayConv = L"Act/365";
         },
         messages::PeriodEndBeforeStart},
        {"a money-market cell before the zero-rate day count of a later row",
         [](CurveInputs& in) {
             in.moneyMarket(1, 0) = xll::MatrixCell("soon");
             in.zeroRateDayConv = L"Act/365";
         },
         xll::messages::NotANumber},
        {"a futures start before its own end cell",
         [](CurveInputs& in) {
             in.futures(1, 0) = xll::MatrixCell(40805.0);
             in.futures(1, 1) = xll::MatrixCell("later");
         },
         messages::FuturesStartBeforeCurve},
        {"a futures end cell once its start is a pillar",
         [](CurveInputs& in) {
             in.futures(2, 1) = xll::MatrixCell("later");
             in.futures(3, 0) = xll::MatrixCell(40805.0);
         },
         xll::messages::NotANumber},
        {"the spline at a futures start before that row's end cell",
         [](CurveInputs& in) {
             in.interpId = in.extrapolId = 5;
             in.moneyMarket(2, 0) = xll::MatrixCell(40806.0); // two deposits on one date
             in.futures(1, 1) = xll::MatrixCell("later");
         },
         messages::BadSplineInput},
        {"an earlier swap before a later swap cell",
         [](CurveInputs& in) {
             in.swaps(1, 1) = xll::MatrixCell(2.25);
             in.swaps(2, 1) = xll::MatrixCell("3Y");
         },
         messages::InvalidSwapPeriods},
        {"an unknown fixed day count only when a swap is valued",
         [](CurveInputs& in) {
             in.swapFixedDayConv = L"30/365";
             in.swaps(1, 1) = xll::MatrixCell(2.25);
         },
         messages::InvalidSwapPeriods},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.note);
        CurveInputs in;
        r.change(in);
        EXPECT_EQ(failureOf(in), r.expected);
    }
    CurveInputs noSwaps;
    noSwaps.swapFixedDayConv = L"30/365";
    noSwaps.swaps = xll::CellMatrix(1, 1);
    EXPECT_EQ(failureOf(noSwaps), "");
}

// Far more futures than pillars allowed: the pillars run out after about half of them, and each one costs
// no more than a constant on the way, so the refusal comes at once.
TEST(Bootstrap, FuturesBeyondThePillarLimitAreRefused) {
    CurveInputs in;
    in.interpId = in.extrapolId = 5;
    const uint32_t rows = 17000; // two pillars each: start and end of disjoint strips
    in.futures = xll::CellMatrix(rows, 3);
    for (uint32_t r = 0; r < rows; ++r) {
        in.futures(r, 0) = xll::MatrixCell(40900.0 + 2 * r);
        in.futures(r, 1) = xll::MatrixCell(40901.0 + 2 * r);
        in.futures(r, 2) = xll::MatrixCell(0.9999);
    }
    in.swaps = xll::CellMatrix(1, 1);
    EXPECT_EQ(failureOf(in), messages::TooManyPillars);
}

TEST(Bootstrap, SharedPillarDatesBreakOnlyTheSpline) {
    // A last strip from the 1-week to the 1-month deposit date: its end is a second pillar of that date.
    CurveInputs in;
    in.futures.pushBottom(xll::CellMatrix(1, 3));
    in.futures(9, 0) = xll::MatrixCell(40814.0);
    in.futures(9, 1) = xll::MatrixCell(40837.0);
    in.futures(9, 2) = xll::MatrixCell(0.999);
    for (int16_t id : {1, 2, 3, 4}) {
        SCOPED_TRACE(id);
        in.interpId = in.extrapolId = id;
        const CurvePillars p = market::bootstrap(in).pillars;
        ASSERT_EQ(p.size(), 29u);
        EXPECT_EQ(p.dates[3], p.dates[4]);
    }
    // A spline through two nodes of one abscissa is refused.
    in.interpId = in.extrapolId = 5;
    EXPECT_EQ(failureOf(in), messages::BadSplineInput);
}

TEST(Bootstrap, DemoTableForLogLinearZeroRates) {
    // Rows of examples/curve_market_data.md, as printed there (10 and 8 decimals).
    const struct {
        int32_t row;
        double date, discountFactor, zeroRate;
    } rows[] = {{1, 40807, 0.9999512327, 0.00893998},
                {13, 41540, 0.9671506195, 0.01672524},
                {21, 44460, 0.7629109630, 0.02739285},
                {27, 51767, 0.3973945983, 0.03120413}};
    const xll::NumberMatrix table = market::curveTable(CurveInputs{});
    ASSERT_EQ(table.rows(), 28);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.row);
        EXPECT_EQ(table(r.row, 0), r.date);
        EXPECT_NEAR(table(r.row, 1), r.discountFactor, 5e-11);
        EXPECT_NEAR(table(r.row, 2), r.zeroRate, 5e-9);
    }
}
