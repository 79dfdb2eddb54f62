#include "curves/SwapSolver.h"

#include "curves/CurveMessages.h"
#include "curves/Rates.h"
#include "curves/Spline.h"
#include "daycount/DayCount.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tavrin {

namespace {

constexpr double kTolerance = 1e-9;

using Method = InterpolationMethod;

// The objective of one swap. Everything that does not depend on the trial value (the accrual fractions,
// the known coupons, the spline's sweep over the known points) is computed once here; each evaluation then
// repeats only the operations that involve the trial value, in the order and form of a full evaluation,
// so the results are the same doubles.
class SwapObjective {
public:
    explicit SwapObjective(const ParSwap& swap);

    double operator()(double x, std::vector<double>& discountFactors);

    double upperBracket() const {
        return swap_.interpolationMethod == Method::ConstantForwardRates ? known_.discountFactors[k_ - 1]
                                                                         : 1.0;
    }
    bool solvesForZeroRate() const {
        const Method m = swap_.interpolationMethod;
        return m == Method::LinearZeroRates || m == Method::LogLinearZeroRates ||
               m == Method::CubicSplineZeroRates;
    }

private:
    double discountFactorOfZero(double zeroRate, size_t i) const {
        return discountFactorOver(zeroRate, fromToday_[i], swap_.convention.zeroRateFrequency);
    }
    double forwardDiscountFactor(double forwardRate, size_t i) const {
        return known_.discountFactors[k_ - 1] *
               discountFactorOver(forwardRate, fromLastKnown_[i], swap_.convention.zeroRateFrequency);
    }
    double splineZeroRate(size_t i);

    const ParSwap& swap_;
    const ScheduleCurve& known_;
    const std::vector<SerialDate>& schedule_;
    size_t k_ = 0;
    size_t n_ = 0;
    double coupon_ = 0.0;
    double knownCoupons_ = 0.0;
    std::vector<double> accruals_; // [i]: fixed-leg fraction of S[i - 1] to S[i]
    std::vector<double> days_;     // [i]: S[i] - today
    // Year fractions in the curve's day count, of today to S[i] and of S[k - 1] to S[i] (i >= k), for the
    // methods that convert with them; and of today to the maturity in the fixed leg's day count.
    std::vector<double> fromToday_, fromLastKnown_;
    double maturityFixedFraction_ = 0.0;

    // The spline's nodes (known points, points interpolated so far, the trial point last) and its forward
    // sweep; entries up to k - 2 depend on known points only.
    std::vector<double> nodeX_, nodeY_, sweepY2_, sweepU_, backY2_;
};

SwapObjective::SwapObjective(const ParSwap& swap)
    : swap_(swap), known_(swap.known), schedule_(swap.schedule), k_(swap.known.size()) {
    if (k_ == 0 || known_.zeroRates.size() != k_ || known_.days.size() != k_)
        throw messages::SpotNotBeforeLastPillar;
    const double periods = swap.periods;
    if (!(periods >= 1.0) || periods != std::floor(periods))
        throw messages::InvalidSwapPeriods;
    if (periods >= static_cast<double>(schedule_.size()))
        throw messages::SwapBeyondSchedule;
    n_ = static_cast<size_t>(periods);
    if (n_ < k_)
        throw messages::SwapMaturityNotIncreasing;

    coupon_ = swap.ratePercent / 100.0;
    const double today = swap.convention.today.serial();
    accruals_.assign(n_ + 1, 0.0);
    days_.assign(n_ + 1, 0.0);
    for (size_t i = 0; i <= n_; ++i) {
        days_[i] = schedule_[i].serial() - today;
        if (i > 0)
            accruals_[i] = dayCountFraction(schedule_[i - 1], schedule_[i], swap.fixedDayCount);
    }
    for (size_t i = 1; i < k_; ++i)
        knownCoupons_ = knownCoupons_ + (known_.discountFactors[i] * coupon_) * accruals_[i];

    // Every trial value meets the same periods: their fractions are computed once. (They cannot fail here:
    // the day counts were used before, and every date from S[k - 1] on is on or after today.)
    const CurveConvention& c = swap.convention;
    if (solvesForZeroRate()) {
        fromToday_.assign(n_ + 1, 0.0);
        for (size_t i = k_; i <= n_; ++i)
            fromToday_[i] = dayCountFraction(c.today, schedule_[i], c.zeroRateDayCount);
        maturityFixedFraction_ = dayCountFraction(c.today, schedule_[n_], swap.fixedDayCount);
    } else if (swap.interpolationMethod == Method::ConstantForwardRates) {
        fromLastKnown_.assign(n_ + 1, 0.0);
        for (size_t i = k_; i <= n_; ++i)
            fromLastKnown_[i] = dayCountFraction(schedule_[k_ - 1], schedule_[i], c.zeroRateDayCount);
    }

    if (swap.interpolationMethod == Method::CubicSplineZeroRates) {
        nodeX_.assign(n_ + 1, 0.0);
        nodeY_.assign(n_ + 1, 0.0);
        std::copy(known_.days.begin(), known_.days.end(), nodeX_.begin());
        std::copy(known_.zeroRates.begin(), known_.zeroRates.end(), nodeY_.begin());
        sweepY2_.assign(n_ + 1, 0.0); // natural first end: y2[0] = u[0] = 0
        sweepU_.assign(n_ + 1, 0.0);
        backY2_.assign(n_ + 1, 0.0);
        for (size_t j = 1; j + 1 < k_; ++j)
            spline::forwardStep(nodeX_[j - 1], nodeY_[j - 1], nodeX_[j], nodeY_[j], nodeX_[j + 1],
                                nodeY_[j + 1], sweepY2_[j - 1], sweepU_[j - 1], sweepY2_[j], sweepU_[j]);
    }
}

// The natural spline through nodes 0 ... i (node i the trial point) at S[i], which then becomes node i.
// Sweep entries below i - 2 are unchanged since the previous point (below k - 1 since construction), and
// the back substitution is only carried down to the bracket, whose two values are all the piece needs.
double SwapObjective::splineZeroRate(size_t i) {
    const size_t first = std::max<size_t>(1, i == k_ ? k_ - 1 : i - 2);
    for (size_t j = first; j < i; ++j)
        spline::forwardStep(nodeX_[j - 1], nodeY_[j - 1], nodeX_[j], nodeY_[j], nodeX_[j + 1], nodeY_[j + 1],
                            sweepY2_[j - 1], sweepU_[j - 1], sweepY2_[j], sweepU_[j]);
    const double x = days_[i];
    const int count = static_cast<int>(i + 1);
    const auto lo = static_cast<size_t>(spline::bracket(nodeX_.data(), count, x));
    const size_t hi = lo + 1;
    if (nodeX_[hi] - nodeX_[lo] == 0.0)
        throw messages::BadSplineInput;
    backY2_[i] = spline::naturalLastSecondDerivative(sweepY2_[i - 1], sweepU_[i - 1]);
    for (size_t j = i; j-- > lo;)
        backY2_[j] = sweepY2_[j] * backY2_[j + 1] + sweepU_[j];
    const double z =
        spline::piece(nodeX_[lo], nodeX_[hi], nodeY_[lo], nodeY_[hi], backY2_[lo], backY2_[hi], x);
    // The trial point moves up one place behind the new node.
    nodeX_[i + 1] = nodeX_[i];
    nodeY_[i + 1] = nodeY_[i];
    nodeX_[i] = x;
    nodeY_[i] = z;
    return z;
}

double SwapObjective::operator()(double x, std::vector<double>& discountFactors) {
    discountFactors.clear();
    const size_t last = k_ - 1;
    const double xn = days_[n_];
    if (swap_.interpolationMethod == Method::CubicSplineZeroRates) {
        nodeX_[k_] = xn;
        nodeY_[k_] = x;
    }
    double pv = knownCoupons_;
    double df = 0.0; // an unknown method repeats the previous factor, 0 before the first
    for (size_t i = k_; i < n_; ++i) {
        switch (swap_.interpolationMethod) {
        case Method::LinearZeroRates:
            df = discountFactorOfZero(interpolateLinear(days_[i], days_[last], known_.zeroRates[last], xn, x),
                                      i);
            break;
        case Method::LinearDiscountFactors:
            df = interpolateLinear(days_[i], days_[last], known_.discountFactors[last], xn, x);
            break;
        case Method::LogLinearZeroRates:
            df = discountFactorOfZero(
                interpolateLogLinear(days_[i], days_[last], known_.zeroRates[last], xn, x), i);
            break;
        case Method::ConstantForwardRates:
            df = forwardDiscountFactor(x, i);
            break;
        case Method::CubicSplineZeroRates:
            df = discountFactorOfZero(splineZeroRate(i), i);
            break;
        default:
            break;
        }
        pv = accruals_[i] * (coupon_ * df) + pv;
        discountFactors.push_back(df);
    }

    double maturityDf = 0.0;
    if (solvesForZeroRate()) {
        // The last coupon is discounted at the simple rate x under the fixed-leg day count.
        const double simple = simpleDiscountFactorOver(x, maturityFixedFraction_);
        pv = accruals_[n_] * (coupon_ * simple) + pv;
        maturityDf = discountFactorOfZero(x, n_);
    } else {
        maturityDf =
            swap_.interpolationMethod == Method::ConstantForwardRates ? forwardDiscountFactor(x, n_) : x;
        pv = accruals_[n_] * (coupon_ * maturityDf) + pv;
    }
    discountFactors.push_back(maturityDf);
    return pv - (1.0 - maturityDf);
}

} // namespace

SwapValue swapParObjective(double x, const ParSwap& swap) {
    SwapObjective objective(swap);
    SwapValue result{0.0, {}};
    result.value = objective(x, result.discountFactors);
    return result;
}

std::vector<double> solveSwapMaturity(const ParSwap& swap) {
    SwapObjective f(swap);
    double lo = 0.0;
    double hi = f.upperBracket();
    std::vector<double> atLo, atHi, atMid;
    // An end of the bracket that does not move keeps its value: the objective is a pure function.
    double fHi = f(hi, atHi);
    double fLo = f(lo, atLo);
    for (;;) {
        const double mid = (lo + hi) * 0.5;
        const double fMid = f(mid, atMid);
        if (kTolerance * kTolerance > std::fabs(hi - lo))
            throw messages::SolutionNotReached;
        if (std::fabs(fHi - fLo) < kTolerance || fMid == 0.0)
            return f.solvesForZeroRate() ? atHi : atLo;
        // Above about 0.0045 neighbouring doubles lie further apart than the width test, and a bracket end
        // that is not a number never passes it: a bracket that can no longer shrink has failed.
        if (mid == lo || mid == hi || std::isnan(lo) || std::isnan(hi) || std::isnan(mid))
            throw messages::SolutionNotReached;
        if (fMid * fLo > 0.0) {
            lo = mid;
            fLo = fMid;
            std::swap(atLo, atMid);
        } else {
            hi = mid;
            fHi = fMid;
            std::swap(atHi, atMid);
        }
    }
}

} // namespace tavrin
