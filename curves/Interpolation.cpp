#include "curves/Interpolation.h"

#include "curves/CurveMessages.h"
#include "curves/Rates.h"
#include "curves/Spline.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace tavrin {

namespace {

// A value on a segment: methods 2 and 4 give a discount factor, the others a zero rate.
struct SegmentValue {
    double value;
    bool isDiscountFactor;
};

// The value at `date` by `method` on the segment starting at pillar i, with the abscissae x, xi, xj in days
// from today. Outside [xi, xj] the same formulas continue the segment. An unknown method gives zero rate 0.
SegmentValue segmentValue(SerialDate date, const CurvePillars& pillars, size_t i, double x, double xi,
                          double xj, InterpolationMethod method, const CurveConvention& c,
                          PillarIndex* index) {
    using enum InterpolationMethod;
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
        return {index ? index->spline().value(pillars.days, pillars.zeroRates, x)
                      : cubicSplineZeroRate(x, pillars.days, pillars.zeroRates),
                false};
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

size_t segmentOf(double date, const CurvePillars& pillars, const PillarIndex* index) {
    return index ? index->findSegment(date, pillars) : findSegment(date, pillars);
}

void insertPillar(CurvePillars& pillars, size_t at, double date, double days, double discountFactor,
                  double zeroRate, PillarIndex* index) {
    const auto offset = static_cast<std::ptrdiff_t>(at);
    pillars.dates.insert(pillars.dates.begin() + offset, date);
    pillars.days.insert(pillars.days.begin() + offset, days);
    pillars.discountFactors.insert(pillars.discountFactors.begin() + offset, discountFactor);
    pillars.zeroRates.insert(pillars.zeroRates.begin() + offset, zeroRate);
    if (index)
        index->inserted(at, pillars);
}

bool inOrder(const std::vector<double>& d, size_t i) {
    return d[i] <= d[i + 1];
}

} // namespace

PillarIndex::PillarIndex(const CurvePillars& pillars) {
    for (size_t i = 0; ascending_ && i + 1 < pillars.size(); ++i)
        ascending_ = inOrder(pillars.dates, i);
}

size_t PillarIndex::findSegment(double date, const CurvePillars& pillars) const {
    if (!ascending_)
        return tavrin::findSegment(date, pillars);
    // In ascending dates at most one segment holds a date: the one left of the first date beyond it.
    const std::vector<double>& d = pillars.dates;
    const auto beyond = static_cast<size_t>(std::upper_bound(d.begin(), d.end(), date) - d.begin());
    return beyond == 0 || beyond == d.size() ? kNoSegment : beyond - 1;
}

void PillarIndex::inserted(size_t at, const CurvePillars& pillars) {
    const std::vector<double>& d = pillars.dates;
    if (ascending_ && at > 0)
        ascending_ = inOrder(d, at - 1);
    if (ascending_ && at + 1 < d.size())
        ascending_ = inOrder(d, at);
    spline_.inserted(at, pillars.days, pillars.zeroRates);
}

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

double curveDiscountFactor(SerialDate date, const CurvePillars& pillars, InterpolationMethod method,
                           const CurveConvention& convention, PillarIndex* index) {
    if (date == convention.today)
        return 1.0;
    const size_t n = pillars.size();
    if (n < 2)
        throw messages::TooFewPillars;
    const double d = date.serial();
    const size_t i = segmentOf(d, pillars, index);
    if (i == kNoSegment)
        throw messages::DateOutsideCurve;
    if (method < InterpolationMethod::LinearZeroRates || method > InterpolationMethod::CubicSplineZeroRates)
        return 0.0;
    const double today = convention.today.serial();
    const SegmentValue v = segmentValue(date, pillars, i, d - today, pillars.dates[i] - today,
                                        pillars.dates[i + 1] - today, method, convention, index);
    return v.isDiscountFactor ? v.value : discountFactorAt(date, v.value, convention);
}

int16_t ensurePillar(SerialDate date, CurvePillars& pillars, InterpolationMethod interpolationMethod,
                     InterpolationMethod extrapolationMethod, const CurveConvention& convention,
                     PillarIndex* index) {
    const size_t n = pillars.size();
    if (n < 2)
        throw messages::TooFewPillars;
    // The returned index minus one must fit 16 bits, also after this insertion.
    if (n > static_cast<size_t>(std::numeric_limits<int16_t>::max()))
        throw messages::TooManyPillars;
    const double d = date.serial();
    // p counts the segments before the one that holds the date, so the new pillar goes to index p + 1.
    size_t segment = segmentOf(d, pillars, index);
    size_t p = segment;
    InterpolationMethod method = interpolationMethod;
    if (segment == kNoSegment) {
        // No segment holds a date beyond the last pillar, nor one before the first: extrapolating that from
        // the last segment would append it out of order.
        if (d < pillars.dates[0])
            throw messages::DateOutsideCurve;
        p = n - 1;
        segment = n - 2;
        method = extrapolationMethod;
    }

    const SegmentValue v =
        segmentValue(date, pillars, segment, d - convention.today.serial(), pillars.days[segment],
                     pillars.days[segment + 1], method, convention, index);
    if (d == pillars.dates[segment] || d == pillars.dates[segment + 1])
        return static_cast<int16_t>(static_cast<int>(p) - 1);

    const double discountFactor = v.isDiscountFactor ? v.value : discountFactorAt(date, v.value, convention);
    const double zeroRate = v.isDiscountFactor ? zeroRateAt(date, v.value, convention) : v.value;
    insertPillar(pillars, p + 1, d, d - convention.today.serial(), discountFactor, zeroRate, index);
    return static_cast<int16_t>(p);
}

void insertKnownPillar(double date, double zeroRate, double discountFactor, CurvePillars& pillars,
                       PillarIndex* index) {
    const size_t n = pillars.size();
    if (n == 0)
        throw messages::TooFewPillars;
    const double days = date - pillars.dates[0] + pillars.days[0];
    auto insertAt = [&](size_t at) {
        insertPillar(pillars, at, date, days, discountFactor, zeroRate, index);
    };
    const size_t segment = segmentOf(date, pillars, index);
    if (segment != kNoSegment)
        insertAt(segment + 1);
    if (date > pillars.dates.back())
        insertAt(pillars.size());
}

} // namespace tavrin
