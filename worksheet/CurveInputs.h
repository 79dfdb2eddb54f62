#pragma once

// Where sched_df_curve's cells and texts become the curve's values. Texts and ids are parsed into their
// types (a text that names nothing is a value that fails where it is first used), the settlement calendar
// is built once, and the market matrices become quote rows under the row rules: a row is used when its test
// cell holds a number (column 1 of the money market, 2 of the futures, 0 of the swaps), the cells of a used
// row are read in the order the bootstrap needs them, and the first cell that cannot be read ends the rows
// with the matrices' own failure, raised by the bootstrap where it would have read that cell.

#include "curves/CurveData.h"
#include "matrix/CellMatrix.h"

#include <cstdint>
#include <string>
#include <vector>

namespace worksheet {

// The arguments of sched_df_curve as the entry point converts them from the host's values.
struct CurveArguments {
    double today = 0;
    std::wstring zeroRateDayConv;
    int16_t zeroRateFreq = 0;
    int16_t interpId = 0;
    int16_t extrapolId = 0;
    xll::CellMatrix moneyMarket;
    xll::CellMatrix futures;
    std::wstring swapFloatTenor;
    std::wstring swapFloatDayConv;
    double rollDayFloatLeg = 0;
    std::wstring swapFixedTenor;
    std::wstring swapFixedDayConv;
    double rollDayFixedLeg = 0;
    xll::CellMatrix swaps;
    std::wstring holidayCalendar;
    std::wstring ctrl;
    std::vector<double> xtraHolidays;
};

tavrin::QuoteRows<tavrin::MoneyMarketQuote> readMoneyMarketRows(const xll::CellMatrix& matrix);
tavrin::FuturesRows readFuturesRows(const xll::CellMatrix& matrix);
tavrin::QuoteRows<tavrin::SwapQuote> readSwapRows(const xll::CellMatrix& matrix);

tavrin::CurveRequest readCurveArguments(const CurveArguments& arguments);

} // namespace worksheet
