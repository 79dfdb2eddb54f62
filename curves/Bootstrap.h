#pragma once

#include "curves/Interpolation.h"
#include "curves/SwapSolver.h"
#include "dates/SerialDate.h"
#include "matrix/CellMatrix.h"
#include "matrix/NumberMatrix.h"

#include <cstdint>
#include <string>
#include <vector>

// What the bootstrap builds on the way to its table: the pillars, the fixed-leg schedule and the schedule
// points whose discount factors the swaps fixed (known to tests and benchmarks; the worksheet sees only
// the table).
struct CurveBuild {
    CurveConvention convention;
    CurvePillars pillars;
    std::vector<SerialDate> fixedSchedule;
    ScheduleCurve scheduleCurve;
};

CurveBuild bootstrapCurve(double today, const std::wstring& zeroRateDayConv, int16_t zeroRateFreq,
                          int16_t interpId, int16_t extrapolId, const xll::CellMatrix& moneyMarket,
                          const xll::CellMatrix& futures, const std::wstring& swapFloatTenor,
                          const std::wstring& swapFloatDayConv, double rollDayFloatLeg,
                          const std::wstring& swapFixedTenor, const std::wstring& swapFixedDayConv,
                          double rollDayFixedLeg, const xll::CellMatrix& swaps,
                          const std::wstring& holidayCalendar, const std::wstring& ctrl,
                          const std::vector<double>& xtraHolidays);

// One row per pillar: date, discount factor, zero rate.
xll::NumberMatrix pillarTable(const CurvePillars& pillars);
