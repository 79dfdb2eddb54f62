#include "curves/CurveQuery.h"

#include "curves/CurveMessages.h"
#include "curves/CurveQueryMessages.h"
#include "curves/Rates.h"
#include "curves/Spline.h"
#include "daycount/DayCount.h"
#include "daycount/Messages.h"

#include <bit>
#include <cmath>
#include <utility>

namespace tavrin {

namespace {

// The worksheet id of a method.
constexpr int16_t id(InterpolationMethod method) {
    return static_cast<int16_t>(method);
}
constexpr int16_t LinearZeroRates = id(InterpolationMethod::LinearZeroRates);
constexpr int16_t LinearDiscountFactors = id(InterpolationMethod::LinearDiscountFactors);
constexpr int16_t LogLinearZeroRates = id(InterpolationMethod::LogLinearZeroRates);
constexpr int16_t ConstantForwardRates = id(InterpolationMethod::ConstantForwardRates);
constexpr int16_t CubicSplineZeroRates = id(InterpolationMethod::CubicSplineZeroRates);

bool validMethod(int16_t id) {
    return id >= LinearZeroRates && id <= CubicSplineZeroRates;
}

bool uses(int16_t method, int16_t interpolation, int16_t extrapolation) {
    return interpolation == method || extrapolation == method;
}

} // namespace

void CurveQuery::checkQuoting(const CurveConvention& convention, int16_t interpolationMethod,
                              int16_t extrapolationMethod) {
    // An unknown day count would otherwise only show at the first date that needs a conversion.
    dayCountFraction(convention.today, convention.today, convention.zeroRateDayCount);
    // Frequencies 1 to 5 are named; any larger one compounds that many times a year, and none below 1 can.
    if (static_cast<int16_t>(convention.zeroRateFrequency) < 1)
        throw messages::InvalidZeroRateFrequency;
    if (!validMethod(interpolationMethod))
        throw messages::UnknownInterpolationId;
    if (!validMethod(extrapolationMethod))
        throw messages::UnknownExtrapolationId;
}

CurveQuery::CurveQuery(const CurveConvention& convention, int16_t interpolationMethod,
                       int16_t extrapolationMethod, CurvePillars pillars)
    : convention_(convention), interpolation_(interpolationMethod), extrapolation_(extrapolationMethod),
      pillars_(std::move(pillars)) {
    checkQuoting(convention_, interpolation_, extrapolation_);
    const size_t n = pillars_.size();
    if (n < 2)
        throw messages::TooFewPillars;
    // Unsorted or repeated dates would make the binary search below, and the spline, meaningless.
    for (size_t i = 1; i < n; ++i)
        if (!(pillars_.dates[i - 1] < pillars_.dates[i]))
            throw messages::CurveDatesNotIncreasing;
    const double today = convention_.today.serial();
    if (pillars_.dates[0] < today)
        throw messages::CurveBeforeToday;
    pillars_.days.resize(n);
    for (size_t i = 0; i < n; ++i)
        pillars_.days[i] = pillars_.dates[i] - today;

    // What the bootstrap recomputes at every date depends on the pillars only: computed once here, the same
    // operations on the same operands give the same doubles.
    if (uses(CubicSplineZeroRates, interpolation_, extrapolation_))
        splineSecondDerivatives_ = splineSecondDerivatives(
            pillars_.days, pillars_.zeroRates, static_cast<int>(n), spline::NaturalEnd, spline::NaturalEnd);
    if (uses(LogLinearZeroRates, interpolation_, extrapolation_))
        for (const double zeroRate : pillars_.zeroRates)
            logZeroRates_.push_back(std::log(zeroRate));
    if (uses(ConstantForwardRates, interpolation_, extrapolation_)) {
        segmentForwards_.resize(n - 1);
        for (size_t i = 0; i + 1 < n; ++i)
            segmentForwards_[i] = zeroRateFromDiscountFactor(
                toSerialDate(pillars_.dates[i]), toSerialDate(pillars_.dates[i + 1]),
                pillars_.discountFactors[i + 1] / pillars_.discountFactors[i], convention_.zeroRateDayCount,
                convention_.zeroRateFrequency);
    }
}

CurveQuery::Value CurveQuery::onSegment(SerialDate date, size_t i, int16_t method) const {
    const CurvePillars& p = pillars_;
    const double x = date.serial() - static_cast<double>(convention_.today.serial());
    const double xi = p.days[i];
    const double xj = p.days[i + 1];
    switch (method) {
    case LinearZeroRates:
        return {interpolateLinear(x, xi, p.zeroRates[i], xj, p.zeroRates[i + 1]), false};
    case LinearDiscountFactors:
        return {interpolateLinear(x, xi, p.discountFactors[i], xj, p.discountFactors[i + 1]), true};
    case LogLinearZeroRates: // interpolateLogLinear, with the logarithms taken once
        return {std::exp(interpolateLinear(x, xi, logZeroRates_[i], xj, logZeroRates_[i + 1])), false};
    case ConstantForwardRates:
        return {p.discountFactors[i] *
                    discountFactorFromZeroRate(segmentForwards_[i], toSerialDate(p.dates[i]), date,
                                               convention_.zeroRateDayCount, convention_.zeroRateFrequency),
                true};
    default: // the constructor admits the spline as the only other method
        return {splineValue(p.days, p.zeroRates, splineSecondDerivatives_, static_cast<int>(p.size()), x),
                false};
    }
}

CurveReading CurveQuery::read(double date, bool wantDiscountFactor) const {
    try {
        const SerialDate day = toSerialDate(date);
        const double d = day.serial();
        const std::vector<double>& dates = pillars_.dates;
        // The number of pillars on or before the date, so the one at index - 1 (if any) starts its segment: a
        // binary search without branches on the comparison, since dates in no order defeat the predictor.
        size_t index = 0;
        for (size_t step = std::bit_floor(dates.size()); step > 0; step >>= 1) {
            const size_t next = index + step;
            index = next <= dates.size() && dates[next - 1] <= d ? next : index;
        }
        if (index > 0 && dates[index - 1] == d)
            return {wantDiscountFactor ? pillars_.discountFactors[index - 1] : pillars_.zeroRates[index - 1]};
        if (day == convention_.today)
            return wantDiscountFactor ? CurveReading{1.0} : CurveReading{0.0, messages::NoZeroRateAtToday};
        if (index == 0)
            return {0.0, messages::DateBeforeCurve};
        const bool beyond = index == dates.size();
        const Value v = beyond ? onSegment(day, dates.size() - 2, extrapolation_)
                               : onSegment(day, index - 1, interpolation_);
        if (v.isDiscountFactor == wantDiscountFactor)
            return {v.value};
        const CurveConvention& c = convention_;
        if (wantDiscountFactor)
            return {
                discountFactorFromZeroRate(v.value, c.today, day, c.zeroRateDayCount, c.zeroRateFrequency)};
        return {zeroRateFromDiscountFactor(c.today, day, v.value, c.zeroRateDayCount, c.zeroRateFrequency)};
    } catch (const char* message) {
        return {0.0, message};
    }
}

namespace {

// A cell cannot show an infinity or a not-a-number as a number.
CurveReading finiteOrMessage(const CurveReading& reading) {
    if (reading.ok() && !std::isfinite(reading.value))
        return {0.0, messages::NoFiniteValue};
    return reading;
}

} // namespace

CurveReading CurveQuery::discountFactor(double date) const {
    return finiteOrMessage(read(date, true));
}

CurveReading CurveQuery::zeroRate(double date) const {
    return finiteOrMessage(read(date, false));
}

CurveReading CurveQuery::forwardRate(double start, double end, DayCountConvention dayCount) const {
    const CurveReading atStart = discountFactor(start);
    if (!atStart.ok())
        return atStart;
    const CurveReading atEnd = discountFactor(end);
    if (!atEnd.ok())
        return atEnd;
    try {
        const SerialDate from = toSerialDate(start);
        const SerialDate to = toSerialDate(end);
        // A period of no length has no rate.
        if (!(from < to))
            return {0.0, messages::PeriodEndBeforeStart};
        return finiteOrMessage({(atStart.value / atEnd.value - 1.0) / dayCountFraction(from, to, dayCount)});
    } catch (const char* message) {
        return {0.0, message};
    }
}

CurvePillars pillarsFromTable(const xll::CellMatrix& table) {
    if (table.columns() != 3)
        throw messages::CurveBlockShape;
    CurvePillars pillars;
    const uint32_t n = table.rows();
    pillars.dates.reserve(n);
    pillars.discountFactors.reserve(n);
    pillars.zeroRates.reserve(n);
    for (uint32_t r = 0; r < n; ++r) {
        for (uint32_t c = 0; c < 3; ++c)
            if (!table(r, c).isNumber())
                throw messages::CurveBlockNotNumbers;
        pillars.dates.push_back(table(r, 0).numericValue());
        pillars.discountFactors.push_back(table(r, 1).numericValue());
        pillars.zeroRates.push_back(table(r, 2).numericValue());
    }
    return pillars; // the query measures the days from its own today
}

namespace {

CurveQuery queryOf(double today, const std::wstring& zeroRateDayConv, int16_t zeroRateFreq, int16_t interpId,
                   int16_t extrapolId, const xll::CellMatrix& curve) {
    const CurveConvention convention{toSerialDate(today), parseDayCountConvention(zeroRateDayConv),
                                     parseCompoundingFrequency(zeroRateFreq)};
    // In argument order: the quoting and the methods before the curve block.
    CurveQuery::checkQuoting(convention, interpId, extrapolId);
    return CurveQuery(convention, interpId, extrapolId, pillarsFromTable(curve));
}

void record(CurveAnswers& answers, int32_t row, int32_t column, const CurveReading& reading) {
    if (reading.ok())
        answers.values(row, column) = reading.value;
    else
        answers.failures.push_back({row, column, reading.failure});
}

// One reading per cell of the dates, in their shape.
template <class Read>
CurveAnswers eachDate(const DateCells& dates, Read read) {
    CurveAnswers answers;
    answers.values = xll::NumberMatrix(dates.rows, dates.columns);
    size_t at = 0;
    for (int32_t r = 0; r < dates.rows; ++r)
        for (int32_t c = 0; c < dates.columns; ++c, ++at)
            record(answers, r, c,
                   dates.isNumber[at] ? read(dates.values[at]) : CurveReading{0.0, messages::DateNotANumber});
    return answers;
}

} // namespace

DateCells dateCells(const xll::CellMatrix& cells) {
    DateCells dates;
    dates.rows = static_cast<int32_t>(cells.rows());
    dates.columns = static_cast<int32_t>(cells.columns());
    for (uint32_t r = 0; r < cells.rows(); ++r)
        for (uint32_t c = 0; c < cells.columns(); ++c) {
            const bool number = cells(r, c).isNumber();
            dates.values.push_back(number ? cells(r, c).numericValue() : 0.0);
            dates.isNumber.push_back(number);
        }
    return dates;
}

CurveAnswers sched_CurveDF(double today, const std::wstring& zeroRateDayConv, int16_t zeroRateFreq,
                           int16_t interpId, int16_t extrapolId, const xll::CellMatrix& curve,
                           const DateCells& dates) {
    const CurveQuery query = queryOf(today, zeroRateDayConv, zeroRateFreq, interpId, extrapolId, curve);
    return eachDate(dates, [&](double date) { return query.discountFactor(date); });
}

CurveAnswers sched_CurveZeroRate(double today, const std::wstring& zeroRateDayConv, int16_t zeroRateFreq,
                                 int16_t interpId, int16_t extrapolId, const xll::CellMatrix& curve,
                                 const DateCells& dates) {
    const CurveQuery query = queryOf(today, zeroRateDayConv, zeroRateFreq, interpId, extrapolId, curve);
    return eachDate(dates, [&](double date) { return query.zeroRate(date); });
}

CurveAnswers sched_CurveForwardRate(double today, const std::wstring& zeroRateDayConv, int16_t zeroRateFreq,
                                    int16_t interpId, int16_t extrapolId, const xll::CellMatrix& curve,
                                    const DateCells& startDates, const DateCells& endDates,
                                    const std::wstring& dayCountConvention) {
    const CurveQuery query = queryOf(today, zeroRateDayConv, zeroRateFreq, interpId, extrapolId, curve);
    const DayCountConvention forwardDayCount = parseDayCountConvention(dayCountConvention);
    dayCountFraction(toSerialDate(today), toSerialDate(today), forwardDayCount);
    const bool singleStart = startDates.single();
    const bool singleEnd = endDates.single();
    if (!singleStart && !singleEnd &&
        (startDates.rows != endDates.rows || startDates.columns != endDates.columns))
        throw messages::ForwardShapesDiffer;
    const DateCells& shape = singleStart ? endDates : startDates;

    CurveAnswers answers;
    answers.values = xll::NumberMatrix(shape.rows, shape.columns);
    size_t at = 0;
    for (int32_t r = 0; r < shape.rows; ++r)
        for (int32_t c = 0; c < shape.columns; ++c, ++at) {
            const size_t s = singleStart ? 0 : at;
            const size_t e = singleEnd ? 0 : at;
            const CurveReading reading =
                startDates.isNumber[s] && endDates.isNumber[e]
                    ? query.forwardRate(startDates.values[s], endDates.values[e], forwardDayCount)
                    : CurveReading{0.0, messages::DateNotANumber};
            record(answers, r, c, reading);
        }
    return answers;
}

} // namespace tavrin
