#include "curves/Spline.h"

#include "curves/CurveMessages.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace tavrin {

namespace {

bool sameBits(double a, double b) {
    return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

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
    solved_ = 0;
}

void GrowingNaturalSpline::inserted(size_t at, const std::vector<double>& x, const std::vector<double>& y) {
    const size_t n = y.size();
    // A node on the abscissa of a neighbour is left to value(), which refuses it.
    const bool repairable = solved_ != 0 && n == solved_ + 1 && x.size() >= n && at < n &&
                            (at == 0 || x[at] != x[at - 1]) && (at + 1 == n || x[at + 1] != x[at]);
    if (repairable)
        repairAfterInsertion(at, x, y);
    else
        invalidateFrom(at);
}

void GrowingNaturalSpline::repairAfterInsertion(size_t at, const std::vector<double>& x,
                                                const std::vector<double>& y) {
    const size_t n = y.size(); // at least 3: the solution held had two nodes or more
    const auto offset = static_cast<std::ptrdiff_t>(at);
    for (std::vector<double>* v : {&sweepY2_, &sweepU_, &backY2_})
        v->insert(v->begin() + offset, 0.0);
    // Sweep entry i reads nodes i - 1 to i + 1 and entry i - 1: the entries before at - 1 stand, and from
    // at + 2 on entry i reads the nodes the stored entry i (the old entry i - 1) read. Where a recomputed
    // entry equals the stored one, so does every entry after it.
    size_t met = n - 1; // the first sweep entry found standing; n - 1 when none was
    for (size_t i = at >= 2 ? at - 1 : 1; i + 1 < n; ++i) {
        double y2 = 0.0;
        double u = 0.0;
        spline::forwardStep(x[i - 1], y[i - 1], x[i], y[i], x[i + 1], y[i + 1], sweepY2_[i - 1],
                            sweepU_[i - 1], y2, u);
        if (i >= at + 2 && sameBits(y2, sweepY2_[i]) && sameBits(u, sweepU_[i])) {
            met = i;
            break;
        }
        sweepY2_[i] = y2;
        sweepU_[i] = u;
    }
    // Back entries from `met` on read only standing sweep entries. Below at - 1 the sweep entries stand too,
    // so a recomputed back entry there equal to the stored one makes every one below it stand.
    if (met == n - 1)
        backY2_[n - 1] = spline::naturalLastSecondDerivative(sweepY2_[n - 2], sweepU_[n - 2]);
    for (size_t k = met; k-- > 0;) {
        const double b = sweepY2_[k] * backY2_[k + 1] + sweepU_[k];
        if (k + 2 <= at && sameBits(b, backY2_[k]))
            break;
        backY2_[k] = b;
    }
    solved_ = n;
    swept_ = n - 1;
    distinct_ = n;
}

double GrowingNaturalSpline::value(const std::vector<double>& x, const std::vector<double>& y, double at) {
    const size_t n = y.size();
    if (n < 2 || n > x.size() || n > static_cast<size_t>(std::numeric_limits<int>::max()))
        throw messages::BadSplineInput;
    if (solved_ != n) {
        for (; distinct_ < n; ++distinct_)
            if (x[distinct_] == x[distinct_ - 1])
                throw messages::BadSplineInput;
        for (std::vector<double>* v : {&sweepY2_, &sweepU_, &backY2_})
            v->resize(n);
        sweepY2_[0] = sweepU_[0] = 0.0; // natural first end
        for (; swept_ + 1 < n; ++swept_) {
            const size_t i = swept_;
            spline::forwardStep(x[i - 1], y[i - 1], x[i], y[i], x[i + 1], y[i + 1], sweepY2_[i - 1],
                                sweepU_[i - 1], sweepY2_[i], sweepU_[i]);
        }
        backY2_[n - 1] = spline::naturalLastSecondDerivative(sweepY2_[n - 2], sweepU_[n - 2]);
        for (size_t k = n - 1; k-- > 0;)
            backY2_[k] = sweepY2_[k] * backY2_[k + 1] + sweepU_[k];
        solved_ = n;
    }
    const auto lo = static_cast<size_t>(spline::bracket(x.data(), static_cast<int>(n), at));
    const size_t hi = lo + 1;
    if (x[hi] - x[lo] == 0.0)
        throw messages::BadSplineInput;
    return spline::piece(x[lo], x[hi], y[lo], y[hi], backY2_[lo], backY2_[hi], at);
}

} // namespace tavrin
