#include "curves/Rates.h"

#include "daycount/DayCount.h"

#include <cmath>

namespace {

constexpr int16_t kContinuous = 5;

} // namespace

double periodsPerYear(int16_t frequency) {
    switch (frequency) {
    case 1:
        return 1.0;
    case 2:
        return 2.0;
    case 3:
        return 4.0;
    case 4:
        return 365.0; // daily compounding counts 365 days whatever the day count
    default:
        return frequency; // any other id compounds that many times a year
    }
}

double simpleDiscountFactor(double rate, SerialDate start, SerialDate end, const std::wstring& dayCount) {
    return 1.0 / (1.0 + rate * dayCountFraction(start, end, dayCount));
}

double simpleForwardRate(double referenceDate, double rate1, SerialDate maturity1, double rate2,
                         SerialDate maturity2, const std::wstring& dayCount) {
    const SerialDate reference = toSerialDate(referenceDate);
    const double df1 = simpleDiscountFactor(rate1, reference, maturity1, dayCount);
    const double df2 = simpleDiscountFactor(rate2, reference, maturity2, dayCount);
    return (df1 / df2 - 1.0) / dayCountFraction(maturity1, maturity2, dayCount);
}

// Zero or negative discount factors, empty spans and odd frequencies are not refused: the result is what
// IEEE arithmetic makes of the formula (an infinity or a NaN), for the caller to see.
double zeroRateFromDiscountFactor(SerialDate start, SerialDate end, double discountFactor,
                                  const std::wstring& dayCount, int16_t frequency) {
    const double t = dayCountFraction(start, end, dayCount);
    if (frequency == kContinuous)
        return std::log(discountFactor) * (-1.0 / t);
    const double n = periodsPerYear(frequency);
    return n * (std::pow(1.0 / discountFactor, 1.0 / (n * t)) - 1.0);
}

double discountFactorFromZeroRate(double zeroRate, SerialDate start, SerialDate end,
                                  const std::wstring& dayCount, int16_t frequency) {
    const double t = dayCountFraction(start, end, dayCount);
    if (frequency == kContinuous)
        return std::exp(-zeroRate * t);
    const double n = periodsPerYear(frequency);
    return 1.0 / std::pow(1.0 + zeroRate / n, n * t);
}

double sched_discountFactor(double spotRate, double start, double end, std::wstring dayCount) {
    return simpleDiscountFactor(spotRate, toSerialDate(start), toSerialDate(end), dayCount);
}

double sched_forwardRate(double referenceDate, double spotRate1, double maturity1, double spotRate2,
                         double maturity2, std::wstring dayCount) {
    return simpleForwardRate(referenceDate, spotRate1, toSerialDate(maturity1), spotRate2,
                             toSerialDate(maturity2), dayCount);
}

double sched_ZeroRate(double today, double curveDate, double discountFactor, std::wstring dayCount,
                      int16_t frequency) {
    return zeroRateFromDiscountFactor(toSerialDate(today), toSerialDate(curveDate), discountFactor, dayCount,
                                      frequency);
}
