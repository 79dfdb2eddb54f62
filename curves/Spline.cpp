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

void GrowingNaturalSpline::moveGapTo(size_t node) {
    const auto gap = static_cast<std::ptrdiff_t>(gapSize_);
    const auto begin = entries_.begin();
    if (node < gap_)
        std::move_backward(begin + static_cast<std::ptrdiff_t>(node),
                           begin + static_cast<std::ptrdiff_t>(gap_),
                           begin + static_cast<std::ptrdiff_t>(gap_) + gap);
    else
        std::move(begin + static_cast<std::ptrdiff_t>(gap_) + gap,
                  begin + static_cast<std::ptrdiff_t>(node) + gap, begin + static_cast<std::ptrdiff_t>(gap_));
    gap_ = node;
}

void GrowingNaturalSpline::resizeWithoutGap(size_t n) {
    moveGapTo(entries_.size() - gapSize_);
    entries_.resize(n);
    gap_ = n;
    gapSize_ = 0;
}

void GrowingNaturalSpline::repairAfterInsertion(size_t at, const std::vector<double>& x,
                                                const std::vector<double>& y) {
    const size_t n = y.size(); // at least 3: the solution held had two nodes or more
    if (gapSize_ == 0) {
        const size_t held = entries_.size();
        moveGapTo(held);
        entries_.resize(held + std::max<size_t>(16, held));
        gapSize_ = entries_.size() - held;
    }
    moveGapTo(at);
    ++gap_; // the first place of the gap becomes the new node's entry
    --gapSize_;
    if (at == 0)
        entry(0).sweepY2 = entry(0).sweepU = 0.0; // natural first end
    // Sweep entry i reads nodes i - 1 to i + 1 and entry i - 1: the entries before at - 1 stand, and from
    // at + 2 on entry i reads the nodes the stored entry i (the old entry i - 1) read. Where a recomputed
    // entry equals the stored one, so does every entry after it.
    size_t met = n - 1; // the first sweep entry found standing; n - 1 when none was
    for (size_t i = at >= 2 ? at - 1 : 1; i + 1 < n; ++i) {
        const Entry& before = entry(i - 1);
        double y2 = 0.0;
        double u = 0.0;
        spline::forwardStep(x[i - 1], y[i - 1], x[i], y[i], x[i + 1], y[i + 1], before.sweepY2, before.sweepU,
                            y2, u);
        Entry& e = entry(i);
        if (i >= at + 2 && sameBits(y2, e.sweepY2) && sameBits(u, e.sweepU)) {
            met = i;
            break;
        }
        e.sweepY2 = y2;
        e.sweepU = u;
    }
    // Back entries from `met` on read only standing sweep entries. Below at - 1 the sweep entries stand too,
    // so a recomputed back entry there equal to the stored one makes every one below it stand.
    if (met == n - 1)
        entry(n - 1).backY2 = spline::naturalLastSecondDerivative(entry(n - 2).sweepY2, entry(n - 2).sweepU);
    for (size_t k = met; k-- > 0;) {
        Entry& e = entry(k);
        const double b = e.sweepY2 * entry(k + 1).backY2 + e.sweepU;
        if (k + 2 <= at && sameBits(b, e.backY2))
            break;
        e.backY2 = b;
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
        resizeWithoutGap(n);
        std::vector<Entry>& e = entries_;
        e[0].sweepY2 = e[0].sweepU = 0.0; // natural first end
        for (; swept_ + 1 < n; ++swept_) {
            const size_t i = swept_;
            spline::forwardStep(x[i - 1], y[i - 1], x[i], y[i], x[i + 1], y[i + 1], e[i - 1].sweepY2,
                                e[i - 1].sweepU, e[i].sweepY2, e[i].sweepU);
        }
        e[n - 1].backY2 = spline::naturalLastSecondDerivative(e[n - 2].sweepY2, e[n - 2].sweepU);
        for (size_t k = n - 1; k-- > 0;)
            e[k].backY2 = e[k].sweepY2 * e[k + 1].backY2 + e[k].sweepU;
        solved_ = n;
    }
    const auto lo = static_cast<size_t>(spline::bracket(x.data(), static_cast<int>(n), at));
    const size_t hi = lo + 1;
    if (x[hi] - x[lo] == 0.0)
        throw messages::BadSplineInput;
    return spline::piece(x[lo], x[hi], y[lo], y[hi], entry(lo).backY2, entry(hi).backY2, at);
}

} // namespace tavrin
