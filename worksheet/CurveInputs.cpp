#include "worksheet/CurveInputs.h"

#include <exception>

using namespace tavrin;

namespace worksheet {

QuoteRows<MoneyMarketQuote> readMoneyMarketRows(const xll::CellMatrix& m) {
    QuoteRows<MoneyMarketQuote> result;
    try {
        for (uint32_t r = 0; r < m.rows(); ++r) {
            if (!m(r, 1).isNumber())
                continue;
            const double date = m(r, 0).numericValue();
            result.rows.push_back({date, m(r, 1).numericValue()});
        }
    } catch (...) {
        result.unreadable = std::current_exception();
    }
    return result;
}

FuturesRows readFuturesRows(const xll::CellMatrix& m) {
    FuturesRows result;
    try {
        for (uint32_t r = 0; r < m.rows(); ++r) {
            if (!m(r, 2).isNumber())
                continue;
            const double start = m(r, 0).numericValue();
            // The end is read only once the start is a pillar.
            result.unreadableRowStart = start;
            const double forward = m(r, 2).numericValue();
            const double end = m(r, 1).numericValue();
            result.unreadableRowStart.reset();
            result.rows.push_back({start, end, forward});
        }
    } catch (...) {
        result.unreadable = std::current_exception();
    }
    return result;
}

QuoteRows<SwapQuote> readSwapRows(const xll::CellMatrix& m) {
    QuoteRows<SwapQuote> result;
    try {
        for (uint32_t r = 0; r < m.rows(); ++r) {
            if (!m(r, 0).isNumber())
                continue;
            const double rate = m(r, 0).numericValue();
            result.rows.push_back({rate, m(r, 1).numericValue()});
        }
    } catch (...) {
        result.unreadable = std::current_exception();
    }
    return result;
}

CurveRequest readCurveArguments(const CurveArguments& a) {
    CurveRequest request;
    CurveConventions& c = request.conventions;
    c.today = a.today;
    c.zeroRateDayCount = parseDayCountConvention(a.zeroRateDayConv);
    c.zeroRateFrequency = parseCompoundingFrequency(a.zeroRateFreq);
    c.interpolation = parseInterpolationMethod(a.interpId);
    c.extrapolation = parseInterpolationMethod(a.extrapolId);
    c.floatingLeg = {parseTenor(a.swapFloatTenor), parseDayCountConvention(a.swapFloatDayConv),
                     a.rollDayFloatLeg};
    c.fixedLeg = {parseTenor(a.swapFixedTenor), parseDayCountConvention(a.swapFixedDayConv),
                  a.rollDayFixedLeg};
    c.adjustment = parseBusinessDayConvention(a.ctrl);
    request.calendar = SettlementCalendar::build(a.holidayCalendar, a.xtraHolidays);
    request.moneyMarket = readMoneyMarketRows(a.moneyMarket);
    request.futures = readFuturesRows(a.futures);
    request.swaps = readSwapRows(a.swaps);
    return request;
}

} // namespace worksheet
