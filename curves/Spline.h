#pragma once

#include <cstddef>
#include <vector>

namespace tavrin {

// Natural cubic spline through (x[i], y[i]); abscissae ascending. Both entry points need at least two
// nodes and lists that hold n of them ("Bad X array input to Cubic Spline Routine" otherwise).

// The second derivatives at the nodes; an end slope above 9.9e29 makes that end natural.
std::vector<double> splineSecondDerivatives(const std::vector<double>& x, const std::vector<double>& y, int n,
                                            double firstSlope, double lastSlope);
// The spline at x, beyond the nodes by the end pieces. Two nodes with one abscissa bracketing x fail with
// "Bad X array input to Cubic Spline Routine".
double splineValue(const std::vector<double>& xa, const std::vector<double>& ya,
                   const std::vector<double>& y2a, int n, double x);
// The natural spline of the zero rates against days, evaluated at x.
double cubicSplineZeroRate(double x, std::vector<double> days, std::vector<double> zeroRates);

// The natural spline of a node list that changes by insertions, valued exactly as cubicSplineZeroRate
// values it (the same operations on the same doubles) without solving again what an insertion leaves
// standing. Once asked, it holds the whole solution: the forward sweep and the back substitution at every
// node, so a value costs a bisection. An insertion changes the sweep from the node before it on, but each
// sweep step damps what it receives (by a factor of at most about two thirds), so the recomputed entries
// meet the stored ones again, bit for bit, a few dozen nodes on; from there on every entry is what it was,
// as it is computed from the same doubles. The back substitution is repaired the same way downwards. Only
// where the two sequences never meet (a change that survives rounding all the way) is the rest of the list
// recomputed, which is what solving from scratch costs.
class GrowingNaturalSpline {
public:
    // The nodes from `index` on were inserted, removed or changed since the last value.
    void invalidateFrom(size_t index);
    // One node was inserted at `at` into (x, y), both already holding it.
    void inserted(size_t at, const std::vector<double>& x, const std::vector<double>& y);
    // The natural spline through (x[i], y[i]), i < y.size(), at `at`; fails as cubicSplineZeroRate fails.
    double value(const std::vector<double>& x, const std::vector<double>& y, double at);

private:
    // A node's sweep entries and its second derivative from the back substitution.
    struct Entry {
        double sweepY2 = 0.0;
        double sweepU = 0.0;
        double backY2 = 0.0;
    };

    void repairAfterInsertion(size_t at, const std::vector<double>& x, const std::vector<double>& y);
    // The entries are kept with a gap of unused places before node gap_, so that insertions close to one
    // another (rows falling to the front of the curve, rows in date order) move only the entries between
    // them, not every entry after them.
    Entry& entry(size_t node) { return entries_[node < gap_ ? node : node + gapSize_]; }
    void moveGapTo(size_t node);
    void resizeWithoutGap(size_t n);

    std::vector<Entry> entries_;
    size_t gap_ = 0;
    size_t gapSize_ = 0;
    size_t swept_ = 1; // sweep entries [0, swept_) belong to the current nodes (entry 0 is the natural end)
    size_t distinct_ = 1; // nodes [0, distinct_) differ from their left neighbours
    size_t solved_ = 0; // when not 0, the node count of the whole solution held (sweep and back substitution)
};

// The arithmetic steps of the spline, shared by the entry points above and by the swap solver, which
// maintains the same recurrences incrementally and must reproduce them to the last bit.
namespace spline {

inline constexpr double NaturalEnd = 1.1e30;

// Forward sweep at inner node i from its neighbours (x0, y0), (x1, y1), (x2, y2) and the previous entries.
inline void forwardStep(double x0, double y0, double x1, double y1, double x2, double y2, double y2Prev,
                        double uPrev, double& y2Out, double& uOut) {
    const double sig = (x1 - x0) / (x2 - x0);
    const double p = sig * y2Prev + 2.0;
    y2Out = (sig - 1.0) / p;
    const double u = (y2 - y1) / (x2 - x1) - (y1 - y0) / (x1 - x0);
    uOut = (6.0 * u / (x2 - x0) - sig * uPrev) / p;
}

// The last second derivative of a natural end, from the last forward entries.
inline double naturalLastSecondDerivative(double y2Prev, double uPrev) {
    const double qn = 0.0;
    const double un = 0.0;
    return (un - qn * uPrev) / (qn * y2Prev + 1.0);
}

// Lower bracket index (0-based) of x by bisection over n >= 2 ascending nodes; the upper one is lo + 1.
inline int bracket(const double* xa, int n, double x) {
    int lo = 1;
    int hi = n;
    while (hi - lo > 1) {
        const int k = (hi + lo) / 2;
        if (xa[k - 1] > x)
            hi = k;
        else
            lo = k;
    }
    return lo - 1;
}

// The cubic piece between two bracketing nodes; h must not be zero.
inline double piece(double xLo, double xHi, double yLo, double yHi, double y2Lo, double y2Hi, double x) {
    const double h = xHi - xLo;
    const double a = (xHi - x) / h;
    const double b = (x - xLo) / h;
    return a * yLo + b * yHi + ((a * a * a - a) * y2Lo + (b * b * b - b) * y2Hi) * (h * h) / 6.0;
}

} // namespace spline

} // namespace tavrin
