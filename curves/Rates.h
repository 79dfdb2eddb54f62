#pragma once

#include "dates/SerialDate.h"

#include <cstdint>
#include <string>

// Compounding frequency ids: 1 annual, 2 semiannual, 3 quarterly, 4 daily (365), 5 continuous; any other
// id v compounds v times a year.
double periodsPerYear(int16_t frequency);

double simpleDiscountFactor(double rate, SerialDate start, SerialDate end, const std::wstring& dayCount);
double simpleForwardRate(double referenceDate, double rate1, SerialDate maturity1, double rate2,
                         SerialDate maturity2, const std::wstring& dayCount);
double zeroRateFromDiscountFactor(SerialDate start, SerialDate end, double discountFactor,
                                  const std::wstring& dayCount, int16_t frequency);
double discountFactorFromZeroRate(double zeroRate, SerialDate start, SerialDate end,
                                  const std::wstring& dayCount, int16_t frequency);

double sched_discountFactor(double spotRate, double start, double end, std::wstring dayCount);
double sched_forwardRate(double referenceDate, double spotRate1, double maturity1, double spotRate2,
                         double maturity2, std::wstring dayCount);
double sched_ZeroRate(double today, double curveDate, double discountFactor, std::wstring dayCount,
                      int16_t frequency);
