#include "curves/Interpolation.h"

#include "curves/CurveMessages.h"
#include "curves/Rates.h"
#include "curves/Spline.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace {

// A value on a segment: methods 2 and 4 give a discount factor, the others a zero rate.
struct SegmentValue {
    double value;
    bool isDiscountFactor;
};

bool contains(const CurvePillars& pillars, size_t i, double date) {
    return pillars.dates[i] <= date && date < pillars.dates[i + 1];
}

// The value at `date` by `method` on the segment starting at pillar i, with the abscissae x, xi, xj in days
// from today. Outside [xi, xj] the same formulas continue the segment. An unknown method gives zero rate 0.
SegmentValue segmentValue(SerialDate date, const CurvePillars& pillars, size_t i, double x, double xi,
                          double xj, int16_t method, const CurveConvention& c) {
    switch (method) {
    case LinearZeroRates:
        return {interpolateLinear(x, xi, pillars.zeroRates[i], xj, pillars.zeroRates[i + 1]), false};
    case LinearDiscountFactors:
        return {interpolateLinear(x, xi, pillars.discountFactors[i], xj, pillars.discountFactors[i + 1]),
                true};
    case LogLinearZeroRates:
        return {interpolateLogLinear(x, xi, pillars.zeroRates[i], xj, pillars.zeroRates[i + 1]), false};
    case ConstantForwardRates: {
        // The segment's forward rate, quoted in the curve's own convention from its left pillar.
        const SerialDate left = toSerialDate(pillars.dates[i]);
        const SerialDate right = toSerialDate(pillars.dates[i + 1]);
        const double forward = zeroRateFromDiscountFactor(
            left, right, pillars.discountFactors[i + 1] / pillars.discountFactors[i], c.zeroRateDayCount,
            c.zeroRateFrequency);
        return {pillars.discountFactors[i] *
                    discountFactorFromZeroRate(forward, left, date, c.zeroRateDayCount, c.zeroRateFrequency),
                true};
    }
    case CubicSplineZeroRates:
        return {cubicSplineZeroRate(x, pillars.days, pillars.zeroRates), false};
    default:
        return {0.0, false};
    }
}

double discountFactorAt(SerialDate date, double zeroRate, const CurveConvention& c) {
    return discountFactorFromZeroRate(zeroRate, c.today, date, c.zeroRateDayCount, c.zeroRateFrequency);
}

double zeroRateAt(SerialDate date, double discountFactor, const CurveConvention& c) {
    return zeroRateFromDiscountFactor(c.today, date, discountFactor, c.zeroRateDayCount, c.zeroRateFrequency);
}

} // namespace

double interpolateLinear(double x, double x1, double y1, double x2, double y2) {
    return y1 + (x - x1) * (y2 - y1) / (x2 - x1);
}

double interpolateLogLinear(double x, double x1, double y1, double x2, double y2) {
    return std::exp(interpolateLinear(x, x1, std::log(y1), x2, std::log(y2)));
}

double curveDiscountFactor(SerialDate date, const CurvePillars& pillars, int16_t method,
                           const CurveConvention& convention) {
    if (date == convention.today)
        return 1.0;
    const size_t n = pillars.size();
    if (n < 2)
        throw messages::TooFewPillars;
    const double d = date.serial();
    const double today = convention.today.serial();
    for (size_t i = 0; i + 1 < n; ++i) {
        if (!contains(pillars, i, d))
            continue;
        if (method < LinearZeroRates || method > CubicSplineZeroRates)
            return 0.0;
        const SegmentValue v = segmentValue(date, pillars, i, d - today, pillars.dates[i] - today,
                                            pillars.dates[i + 1] - today, method, convention);
        return v.isDiscountFactor ? v.value : discountFactorAt(date, v.value, convention);
    }
    throw messages::DateOutsideCurve;
}

int16_t ensurePillar(SerialDate date, CurvePillars& pillars, int16_t interpolationMethod,
                     int16_t extrapolationMethod, const CurveConvention& convention) {
    const size_t n = pillars.size();
    if (n < 2)
        throw messages::TooFewPillars;
    // The returned index minus one must fit 16 bits, also after this insertion.
    if (n > static_cast<size_t>(std::numeric_limits<int16_t>::max()))
        throw messages::TooManyPillars;
    const double d = date.serial();
    // Before the first pillar no segment holds the date, and extrapolating from the last one would append
    // it out of order.
    if (d < pillars.dates[0])
        throw messages::DateOutsideCurve;

    size_t p = 0;
    size_t segment = n - 2; // beyond the last pillar: extrapolate from the last two
    int16_t method = extrapolationMethod;
    for (size_t i = 0; i + 1 < n; ++i) {
        if (contains(pillars, i, d)) {
            segment = i;
            method = interpolationMethod;
            break;
        }
        ++p;
    }

    const SegmentValue v = segmentValue(date, pillars, segment, d - convention.today.serial(),
                                        pillars.days[segment], pillars.days[segment + 1], method, convention);
    if (d == pillars.dates[segment] || d == pillars.dates[segment + 1])
        return static_cast<int16_t>(static_cast<int>(p) - 1);

    const double discountFactor = v.isDiscountFactor ? v.value : discountFactorAt(date, v.value, convention);
    const double zeroRate = v.isDiscountFactor ? zeroRateAt(date, v.value, convention) : v.value;
    const auto at = static_cast<std::ptrdiff_t>(p + 1);
    pillars.dates.insert(pillars.dates.begin() + at, d);
    pillars.days.insert(pillars.days.begin() + at, d - convention.today.serial());
    pillars.discountFactors.insert(pillars.discountFactors.begin() + at, discountFactor);
    pillars.zeroRates.insert(pillars.zeroRates.begin() + at, zeroRate);
    return static_cast<int16_t>(p);
}

void insertKnownPillar(double date, double zeroRate, double discountFactor, CurvePillars& pillars) {
    const size_t n = pillars.size();
    if (n == 0)
        throw messages::TooFewPillars;
    const double days = date - pillars.dates[0] + pillars.days[0];
    auto insertAt = [&](size_t at) {
        const auto offset = static_cast<std::ptrdiff_t>(at);
        pillars.dates.insert(pillars.dates.begin() + offset, date);
        pillars.days.insert(pillars.days.begin() + offset, days);
        pillars.discountFactors.insert(pillars.discountFactors.begin() + offset, discountFactor);
        pillars.zeroRates.insert(pillars.zeroRates.begin() + offset, zeroRate);
    };
    for (size_t i = 0; i + 1 < n; ++i) {
        if (contains(pillars, i, date)) {
            insertAt(i + 1);
            break;
        }
    }
    if (date > pillars.dates.back())
        insertAt(pillars.size());
}
