#include "curves/Spline.h"

#include "curves/CurveMessages.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace tavrin {

namespace {

void requireNodes(const std::vector<double>& x, const std::vector<double>& y, int n) {
    // One node has no interval, and n beyond the lists would read past them.
    if (n < 2 || static_cast<size_t>(n) > x.size() || static_cast<size_t>(n) > y.size())
        throw messages::BadSplineInput;
}

// Two nodes on one abscissa (two pillars on one date) leave the sweep dividing by a zero width, which would
// turn every value of the spline into not-a-number; they are refused like a zero-width bracket.
void requireDistinctNodes(const std::vector<double>& x, int n) {
    for (int i = 1; i < n; ++i)
        if (x[i] == x[i - 1])
            throw messages::BadSplineInput;
}

} // namespace

std::vector<double> splineSecondDerivatives(const std::vector<double>& x, const std::vector<double>& y, int n,
                                            double firstSlope, double lastSlope) {
    requireNodes(x, y, n);
    requireDistinctNodes(x, n);
    std::vector<double> y2(static_cast<size_t>(n));
    std::vector<double> u(static_cast<size_t>(n) - 1);
    if (firstSlope > 9.9e29) {
        y2[0] = u[0] = 0.0;
    } else {
        y2[0] = -0.5;
        u[0] = (3.0 / (x[1] - x[0])) * ((y[1] - y[0]) / (x[1] - x[0]) - firstSlope);
    }
    for (int i = 1; i < n - 1; ++i)
        spline::forwardStep(x[i - 1], y[i - 1], x[i], y[i], x[i + 1], y[i + 1], y2[i - 1], u[i - 1], y2[i],
                            u[i]);
    if (lastSlope > 9.9e29) {
        y2[n - 1] = spline::naturalLastSecondDerivative(y2[n - 2], u[n - 2]);
    } else {
        const double qn = 0.5;
        const double un =
            (3.0 / (x[n - 1] - x[n - 2])) * (lastSlope - (y[n - 1] - y[n - 2]) / (x[n - 1] - x[n - 2]));
        y2[n - 1] = (un - qn * u[n - 2]) / (qn * y2[n - 2] + 1.0);
    }
    for (int k = n - 2; k >= 0; --k)
        y2[k] = y2[k] * y2[k + 1] + u[k];
    return y2;
}

double splineValue(const std::vector<double>& xa, const std::vector<double>& ya,
                   const std::vector<double>& y2a, int n, double x) {
    requireNodes(xa, ya, n);
    if (static_cast<size_t>(n) > y2a.size())
        throw messages::BadSplineInput;
    const int lo = spline::bracket(xa.data(), n, x);
    const int hi = lo + 1;
    if (xa[hi] - xa[lo] == 0.0)
        throw messages::BadSplineInput;
    return spline::piece(xa[lo], xa[hi], ya[lo], ya[hi], y2a[lo], y2a[hi], x);
}

double cubicSplineZeroRate(double x, std::vector<double> days, std::vector<double> zeroRates) {
    const int n = static_cast<int>(zeroRates.size());
    const std::vector<double> y2 =
        splineSecondDerivatives(days, zeroRates, n, spline::NaturalEnd, spline::NaturalEnd);
    return splineValue(days, zeroRates, y2, n, x);
}

void GrowingNaturalSpline::invalidateFrom(size_t index) {
    // Sweep entry i reads nodes i - 1 to i + 1; the distinctness of node i reads nodes i - 1 and i.
    swept_ = std::max<size_t>(1, std::min(swept_, index == 0 ? 0 : index - 1));
    distinct_ = std::max<size_t>(1, std::min(distinct_, index));
}

double GrowingNaturalSpline::value(const std::vector<double>& x, const std::vector<double>& y, double at) {
    const size_t n = y.size();
    if (n < 2 || n > x.size() || n > static_cast<size_t>(std::numeric_limits<int>::max()))
        throw messages::BadSplineInput;
    for (; distinct_ < n; ++distinct_)
        if (x[distinct_] == x[distinct_ - 1])
            throw messages::BadSplineInput;
    if (sweepY2_.size() < n) {
        sweepY2_.resize(std::max(n, 2 * sweepY2_.size()));
        sweepU_.resize(sweepY2_.size());
        backY2_.resize(sweepY2_.size());
    }
    sweepY2_[0] = sweepU_[0] = 0.0; // natural first end
    for (; swept_ + 1 < n; ++swept_) {
        const size_t i = swept_;
        spline::forwardStep(x[i - 1], y[i - 1], x[i], y[i], x[i + 1], y[i + 1], sweepY2_[i - 1],
                            sweepU_[i - 1], sweepY2_[i], sweepU_[i]);
    }
    const auto lo = static_cast<size_t>(spline::bracket(x.data(), static_cast<int>(n), at));
    const size_t hi = lo + 1;
    if (x[hi] - x[lo] == 0.0)
        throw messages::BadSplineInput;
    backY2_[n - 1] = spline::naturalLastSecondDerivative(sweepY2_[n - 2], sweepU_[n - 2]);
    for (size_t k = n - 1; k-- > lo;)
        backY2_[k] = sweepY2_[k] * backY2_[k + 1] + sweepU_[k];
    return spline::piece(x[lo], x[hi], y[lo], y[hi], backY2_[lo], backY2_[hi], at);
}

} // namespace tavrin
