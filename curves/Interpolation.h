#pragma once

#include "curves/Rates.h"
#include "curves/Spline.h"
#include "dates/SerialDate.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavrin {

// Interpolation and extrapolation method ids; the same numbering serves both. Any other 16-bit id is a
// method too, which gives zero rates of 0 (or repeats a value in the swap solver), so reading one never
// fails.
enum class InterpolationMethod : int16_t {
    LinearZeroRates = 1,
    LinearDiscountFactors = 2,
    LogLinearZeroRates = 3,
    ConstantForwardRates = 4,
    CubicSplineZeroRates = 5,
};

inline InterpolationMethod parseInterpolationMethod(int16_t id) {
    return static_cast<InterpolationMethod>(id);
}

// How the curve quotes its zero rates: from today, in this day count and compounding frequency.
struct CurveConvention {
    SerialDate today;
    DayCountConvention zeroRateDayCount = DayCountConvention::Act365F;
    CompoundingFrequency zeroRateFrequency = CompoundingFrequency::Annual;
};

// The curve under construction, as parallel lists of equal length. Dates are day numbers held as doubles
// (money-market dates keep any fraction); days are date - today, the abscissa of every method.
struct CurvePillars {
    std::vector<double> dates;
    std::vector<double> days;
    std::vector<double> discountFactors;
    std::vector<double> zeroRates;

    size_t size() const { return dates.size(); }
};

// The first segment i with dates[i] <= date < dates[i + 1], scanning from the first pillar, or kNoSegment.
inline constexpr size_t kNoSegment = static_cast<size_t>(-1);
size_t findSegment(double date, const CurvePillars& pillars);

// What a run of questions and insertions on one pillar list may keep between them, within one call, so that
// a long list costs no more per insertion than the work the insertion really changes: whether the dates
// ascend (then the first segment holding a date is the only one, found by bisection) and the spline's
// sweep. Answers are exactly those without it. Made after the last change by other means; from then on the
// list changes only through the operations below, given this index.
class PillarIndex {
public:
    explicit PillarIndex(const CurvePillars& pillars);

    size_t findSegment(double date, const CurvePillars& pillars) const;
    // A pillar was inserted at `at`.
    void inserted(size_t at, const CurvePillars& pillars);
    GrowingNaturalSpline& spline() { return spline_; }

private:
    bool ascending_ = true; // every date <= the next; false once a NaN or a descent is in the list
    GrowingNaturalSpline spline_;
};

double interpolateLinear(double x, double x1, double y1, double x2, double y2);
// Straight line in the logarithms: a zero or negative value yields a not-a-number, as IEEE arithmetic does.
double interpolateLogLinear(double x, double x1, double y1, double x2, double y2);

// The discount factor at a date with dates[0] <= date < dates[n - 1]; exactly 1 at today. An unknown method
// gives 0. Fewer than two pillars or a date outside that range fail with a message.
double curveDiscountFactor(SerialDate date, const CurvePillars& pillars, InterpolationMethod method,
                           const CurveConvention& convention, PillarIndex* index = nullptr);

// Makes the date a pillar, interpolated inside the pillars and extrapolated from the last two beyond them,
// and returns its index minus one. A date already a pillar keeps its values. Needs two pillars; a date
// before the first that no segment holds is refused.
int16_t ensurePillar(SerialDate date, CurvePillars& pillars, InterpolationMethod interpolationMethod,
                     InterpolationMethod extrapolationMethod, const CurveConvention& convention,
                     PillarIndex* index = nullptr);

// Inserts a pillar with known values after the last pillar dated on or before it (a second pillar with
// the same date is kept), or appends it; a date before the first pillar is not inserted.
void insertKnownPillar(double date, double zeroRate, double discountFactor, CurvePillars& pillars,
                       PillarIndex* index = nullptr);

} // namespace tavrin
