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

size_t findSegment(double date, const CurvePillars& pillars) {
    const std::vector<double>& d = pillars.dates;
    for (size_t i = 0; i + 1 < d.size(); ++i)
        if (d[i] <= date && date < d[i + 1])
            return i;
    return kNoSegment;
}

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
    const size_t i = findSegment(d, pillars);
    if (i == kNoSegment)
        throw messages::DateOutsideCurve;
    if (method < LinearZeroRates || method > CubicSplineZeroRates)
        return 0.0;
    const double today = convention.today.serial();
    const SegmentValue v = segmentValue(date, pillars, i, d - today, pillars.dates[i] - today,
                                        pillars.dates[i + 1] - today, method, convention);
    return v.isDiscountFactor ? v.value : discountFactorAt(date, v.value, convention);
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
    // p counts the segments before the one that holds the date, so the new pillar goes to index p + 1.
    size_t segment = findSegment(d, pillars);
    size_t p = segment;
    int16_t method = interpolationMethod;
    if (segment == kNoSegment) {
        // No segment holds a date beyond the last pillar, nor one before the first: extrapolating that from
        // the last segment would append it out of order.
        if (d < pillars.dates[0])
            throw messages::DateOutsideCurve;
        p = n - 1;
        segment = n - 2;
        method = extrapolationMethod;
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
    const size_t segment = findSegment(date, pillars);
    if (segment != kNoSegment)
        insertAt(segment + 1);
    if (date > pillars.dates.back())
        insertAt(pillars.size());
}
