#pragma once

// Market data of one realistic euro curve, shared by the bootstrap tests and the curve benchmark (and kept in
// examples/curve_market_data.md for the demo sheet): 4 money-market discount factors, 8 consecutive futures
// strips from IMM date to IMM date, 15 semiannual par swaps from 2 to 30 years, on the TARGET calendar.

#include "curves/Bootstrap.h"
#include "curves/Curve.h"
#include "matrix/CellMatrix.h"
#include "worksheet/CurveInputs.h"

#include <cstdint>
#include <string>
#include <vector>

using namespace tavrin;

namespace market {

inline constexpr double kToday = 40805; // Monday 19 September 2011; spot is Wednesday 21 September

struct MoneyMarketQuote {
    double date;
    double discountFactor;
};
// Overnight, 1 week, 1 month, 2 months: deposits at 0.85%, 1.10%, 1.35%, 1.45% Act/360.
inline const std::vector<MoneyMarketQuote> kMoneyMarket{
    {40806, 0.9999763894}, {40814, 0.9997250756}, {40837, 0.9988014383}, {40868, 0.9974689226}};

struct FuturesQuote {
    double start;
    double end;
    double forwardDiscountFactor;
};
// Prices 98.55, 98.60, 98.62, 98.55, 98.42, 98.25, 98.05, 97.85 as Act/360 forward discount factors.
inline const std::vector<FuturesQuote> kFutures{{40807, 40898, 0.9963481074}, {40898, 40989, 0.9964735907},
                                                {40989, 41080, 0.9965237928}, {41080, 41171, 0.9963481074},
                                                {41171, 41262, 0.9960219988}, {41262, 41353, 0.9955958710},
                                                {41353, 41444, 0.9950950108}, {41444, 41535, 0.9945946543}};

struct SwapQuote {
    double ratePercent;
    double years;
};
inline const std::vector<SwapQuote> kSwaps{{1.67, 2},  {1.83, 3},  {1.99, 4},  {2.14, 5},  {2.28, 6},
                                           {2.40, 7},  {2.50, 8},  {2.59, 9},  {2.67, 10}, {2.74, 11},
                                           {2.80, 12}, {2.93, 15}, {3.03, 20}, {3.05, 25}, {3.03, 30}};

// The matrices as a sheet holds them, each under a heading row that the bootstrap skips.
inline xll::CellMatrix moneyMarketMatrix() {
    xll::CellMatrix m(static_cast<uint32_t>(kMoneyMarket.size() + 1), 2);
    m(0, 0) = xll::MatrixCell("Date");
    m(0, 1) = xll::MatrixCell("DF");
    for (uint32_t i = 0; i < kMoneyMarket.size(); ++i) {
        m(i + 1, 0) = xll::MatrixCell(kMoneyMarket[i].date);
        m(i + 1, 1) = xll::MatrixCell(kMoneyMarket[i].discountFactor);
    }
    return m;
}

inline xll::CellMatrix futuresMatrix() {
    xll::CellMatrix m(static_cast<uint32_t>(kFutures.size() + 1), 3);
    m(0, 0) = xll::MatrixCell("Start");
    m(0, 1) = xll::MatrixCell("End");
    m(0, 2) = xll::MatrixCell("Forward DF");
    for (uint32_t i = 0; i < kFutures.size(); ++i) {
        m(i + 1, 0) = xll::MatrixCell(kFutures[i].start);
        m(i + 1, 1) = xll::MatrixCell(kFutures[i].end);
        m(i + 1, 2) = xll::MatrixCell(kFutures[i].forwardDiscountFactor);
    }
    return m;
}

inline xll::CellMatrix swapMatrix() {
    xll::CellMatrix m(static_cast<uint32_t>(kSwaps.size() + 1), 2);
    m(0, 0) = xll::MatrixCell("Rate %");
    m(0, 1) = xll::MatrixCell("Years");
    for (uint32_t i = 0; i < kSwaps.size(); ++i) {
        m(i + 1, 0) = xll::MatrixCell(kSwaps[i].ratePercent);
        m(i + 1, 1) = xll::MatrixCell(kSwaps[i].years);
    }
    return m;
}

// Every argument of the curve function, set to the realistic curve; tests change one at a time.
struct CurveInputs : worksheet::CurveArguments {
    CurveInputs() {
        today = kToday;
        zeroRateDayConv = L"Act/365F";
        zeroRateFreq = 1;
        interpId = 3;
        extrapolId = 3;
        moneyMarket = moneyMarketMatrix();
        futures = futuresMatrix();
        swapFloatTenor = L"3M";
        swapFloatDayConv = L"Act/360";
        rollDayFloatLeg = 21;
        swapFixedTenor = L"6M";
        swapFixedDayConv = L"30E/360";
        rollDayFixedLeg = 21;
        swaps = swapMatrix();
        holidayCalendar = L"TARGET";
        ctrl = L"m";
    }
};

// The curve as the worksheet function builds it: the arguments read as the entry point reads them.
inline CurveBuild bootstrap(const CurveInputs& in) {
    return bootstrapCurve(worksheet::readCurveArguments(in));
}

inline xll::NumberMatrix curveTable(const CurveInputs& in) {
    return buildDiscountCurve(worksheet::readCurveArguments(in));
}

} // namespace market
