#pragma once

#include "dates/SerialDate.h"
#include "daycount/DayCount.h"

#include <cstdint>
#include <string>

namespace tavrin {

// Compounding frequency ids as the worksheet gives them. Any other id v compounds v times a year, so every
// 16-bit id is a frequency and reading one never fails.
enum class CompoundingFrequency : int16_t {
    Annual = 1,
    Semiannual = 2,
    Quarterly = 3,
    Daily = 4, // 365 times a year whatever the day count
    Continuous = 5,
};

inline CompoundingFrequency parseCompoundingFrequency(int16_t id) {
    return static_cast<CompoundingFrequency>(id);
}

double periodsPerYear(CompoundingFrequency frequency);

double simpleDiscountFactor(double rate, SerialDate start, SerialDate end, DayCountConvention dayCount);
double simpleForwardRate(SerialDate reference, double rate1, SerialDate maturity1, double rate2,
                         SerialDate maturity2, DayCountConvention dayCount);
double zeroRateFromDiscountFactor(SerialDate start, SerialDate end, double discountFactor,
                                  DayCountConvention dayCount, CompoundingFrequency frequency);
double discountFactorFromZeroRate(double zeroRate, SerialDate start, SerialDate end,
                                  DayCountConvention dayCount, CompoundingFrequency frequency);

// The same conversions over a year fraction already computed, for callers that value one period many times
// (the conversions above are these after the day count).
double simpleDiscountFactorOver(double rate, double yearFraction);
double discountFactorOver(double zeroRate, double yearFraction, CompoundingFrequency frequency);

double sched_discountFactor(double spotRate, double start, double end, std::wstring dayCount);
double sched_forwardRate(double referenceDate, double spotRate1, double maturity1, double spotRate2,
                         double maturity2, std::wstring dayCount);
double sched_ZeroRate(double today, double curveDate, double discountFactor, std::wstring dayCount,
                      int16_t frequency);

} // namespace tavrin
