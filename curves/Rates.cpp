#include "curves/Rates.h"

#include <cmath>

namespace tavrin {

double periodsPerYear(CompoundingFrequency frequency) {
    switch (frequency) {
    case CompoundingFrequency::Annual:
        return 1.0;
    case CompoundingFrequency::Semiannual:
        return 2.0;
    case CompoundingFrequency::Quarterly:
        return 4.0;
    case CompoundingFrequency::Daily:
        return 365.0;
    default:
        return static_cast<int16_t>(frequency); // any other id compounds that many times a year
    }
}

double simpleDiscountFactorOver(double rate, double yearFraction) {
    return 1.0 / (1.0 + rate * yearFraction);
}

double discountFactorOver(double zeroRate, double t, CompoundingFrequency frequency) {
    if (frequency == CompoundingFrequency::Continuous)
        return std::exp(-zeroRate * t);
    const double n = periodsPerYear(frequency);
    return 1.0 / std::pow(1.0 + zeroRate / n, n * t);
}

double simpleDiscountFactor(double rate, SerialDate start, SerialDate end, DayCountConvention dayCount) {
    return simpleDiscountFactorOver(rate, dayCountFraction(start, end, dayCount));
}

double simpleForwardRate(SerialDate reference, double rate1, SerialDate maturity1, double rate2,
                         SerialDate maturity2, DayCountConvention dayCount) {
    const double df1 = simpleDiscountFactor(rate1, reference, maturity1, dayCount);
    const double df2 = simpleDiscountFactor(rate2, reference, maturity2, dayCount);
    return (df1 / df2 - 1.0) / dayCountFraction(maturity1, maturity2, dayCount);
}

// Zero or negative discount factors, empty spans and odd frequencies are not refused: the result is what
// IEEE arithmetic makes of the formula (an infinity or a NaN), for the caller to see.
double zeroRateFromDiscountFactor(SerialDate start, SerialDate end, double discountFactor,
                                  DayCountConvention dayCount, CompoundingFrequency frequency) {
    const double t = dayCountFraction(start, end, dayCount);
    if (frequency == CompoundingFrequency::Continuous)
        return std::log(discountFactor) * (-1.0 / t);
    const double n = periodsPerYear(frequency);
    return n * (std::pow(1.0 / discountFactor, 1.0 / (n * t)) - 1.0);
}

double discountFactorFromZeroRate(double zeroRate, SerialDate start, SerialDate end,
                                  DayCountConvention dayCount, CompoundingFrequency frequency) {
    return discountFactorOver(zeroRate, dayCountFraction(start, end, dayCount), frequency);
}

double sched_discountFactor(double spotRate, double start, double end, std::wstring dayCount) {
    return simpleDiscountFactor(spotRate, toSerialDate(start), toSerialDate(end),
                                parseDayCountConvention(dayCount));
}

double sched_forwardRate(double referenceDate, double spotRate1, double maturity1, double spotRate2,
                         double maturity2, std::wstring dayCount) {
    const SerialDate first = toSerialDate(maturity1);
    const SerialDate second = toSerialDate(maturity2);
    return simpleForwardRate(toSerialDate(referenceDate), spotRate1, first, spotRate2, second,
                             parseDayCountConvention(dayCount));
}

double sched_ZeroRate(double today, double curveDate, double discountFactor, std::wstring dayCount,
                      int16_t frequency) {
    return zeroRateFromDiscountFactor(toSerialDate(today), toSerialDate(curveDate), discountFactor,
                                      parseDayCountConvention(dayCount),
                                      parseCompoundingFrequency(frequency));
}

} // namespace tavrin
