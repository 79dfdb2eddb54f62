#pragma once

#include "matrix/CellMatrix.h"
#include "matrix/NumberMatrix.h"

#include <cstdint>
#include <string>
#include <vector>

// The discount curve bootstrapped from money-market discount factors, futures forward discount factors and
// par swap rates, returned as rows of (date, discount factor, zero rate).
xll::NumberMatrix buildDiscountCurve(double today, const std::wstring& zeroRateDayConv, int16_t zeroRateFreq,
                                     int16_t interpId, int16_t extrapolId, const xll::CellMatrix& moneyMarket,
                                     const xll::CellMatrix& futures, const std::wstring& swapFloatTenor,
                                     const std::wstring& swapFloatDayConv, double rollDayFloatLeg,
                                     const std::wstring& swapFixedTenor, const std::wstring& swapFixedDayConv,
                                     double rollDayFixedLeg, const xll::CellMatrix& swaps,
                                     const std::wstring& holidayCalendar, const std::wstring& ctrl,
                                     const std::vector<double>& xtraHolidays);
