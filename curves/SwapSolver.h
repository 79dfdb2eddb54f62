#pragma once

#include "curves/Interpolation.h"
#include "dates/SerialDate.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavrin {

// The fixed-leg schedule dates S[0] ... S[k - 1] whose discount factors are known: parallel lists of
// discount factors, zero rates in the curve's convention, and days from today. Swaps extend it.
struct ScheduleCurve {
    std::vector<double> discountFactors;
    std::vector<double> zeroRates;
    std::vector<double> days;

    size_t size() const { return discountFactors.size(); }
};

// A par swap on the fixed-leg schedule S: the fixed rate in per cent, the count of fixed periods (S[periods]
// is its maturity), valued against the known schedule points and the curve's convention.
struct ParSwap {
    const ScheduleCurve& known;
    const std::vector<SerialDate>& schedule;
    DayCountConvention fixedDayCount;
    InterpolationMethod interpolationMethod;
    const CurveConvention& convention;
    double ratePercent;
    double periods;
};

struct SwapValue {
    double value;
    // Discount factors of S[k] ... S[n].
    std::vector<double> discountFactors;
};

// The swap's value when the unknown at its maturity is x: the zero rate (methods 1, 3, 5), the discount
// factor (2 and unknown ids) or the forward rate from the last known point (4). The floating leg is worth
// 1 - DF(S[n]).
//
// Refuses swaps the schedule cannot value: no known point, periods not a whole number of one or more,
// a maturity beyond the schedule or not beyond the known points.
SwapValue swapParObjective(double x, const ParSwap& swap);

// Solves the unknown by bisection until the values at the bracket ends differ by less than 1e-9, and
// returns the discount factors of S[k] ... S[n]. A bracket that closes without meeting that test fails with
// "Solution to the rate cannot be reached. Check inputs.".
std::vector<double> solveSwapMaturity(const ParSwap& swap);

} // namespace tavrin
