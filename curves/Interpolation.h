#pragma once

#include "dates/SerialDate.h"

#include <cstdint>
#include <string>
#include <vector>

// Interpolation and extrapolation method ids; the same numbering serves both.
enum InterpolationMethod : int16_t {
    LinearZeroRates = 1,
    LinearDiscountFactors = 2,
    LogLinearZeroRates = 3,
    ConstantForwardRates = 4,
    CubicSplineZeroRates = 5,
};

// How the curve quotes its zero rates: from today, in this day count and compounding frequency.
struct CurveConvention {
    SerialDate today;
    std::wstring zeroRateDayCount;
    int16_t zeroRateFrequency = 1;
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

double interpolateLinear(double x, double x1, double y1, double x2, double y2);
// Straight line in the logarithms: a zero or negative value yields a not-a-number, as IEEE arithmetic does.
double interpolateLogLinear(double x, double x1, double y1, double x2, double y2);

// The discount factor at a date with dates[0] <= date < dates[n - 1]; exactly 1 at today. An unknown method
// gives 0. Fewer than two pillars or a date outside that range fail with a message.
double curveDiscountFactor(SerialDate date, const CurvePillars& pillars, int16_t method,
                           const CurveConvention& convention);

// Makes the date a pillar, interpolated inside the pillars and extrapolated from the last two beyond them,
// and returns its index minus one. A date already a pillar keeps its values. Needs two pillars; a date
// before the first that no segment holds is refused.
int16_t ensurePillar(SerialDate date, CurvePillars& pillars, int16_t interpolationMethod,
                     int16_t extrapolationMethod, const CurveConvention& convention);

// Inserts a pillar with known values after the last pillar dated on or before it (a second pillar with
// the same date is kept), or appends it; a date before the first pillar is not inserted.
void insertKnownPillar(double date, double zeroRate, double discountFactor, CurvePillars& pillars);
