#pragma once

// The curve's inputs as values: the quote rows of its three segments, its conventions and its settlement
// calendar. The worksheet reads them from its cells and texts once; the bootstrap never sees a cell.

#include "calendars/BusinessDayConvention.h"
#include "calendars/MergedBusinessCalendar.h"
#include "curves/Interpolation.h"
#include "curves/Rates.h"
#include "dates/Tenor.h"
#include "daycount/DayCount.h"

#include <exception>
#include <memory>
#include <optional>
#include <vector>

namespace tavrin {

struct MoneyMarketQuote {
    double date;
    double discountFactor; // from today to the date
};

struct FuturesQuote {
    double start;
    double end;
    double forwardDiscountFactor; // from start to end
};

struct SwapQuote {
    double ratePercent;
    double years;
};

// The used rows of one segment in sheet order, up to the first row that could not be read. Its failure is
// raised by the bootstrap after the rows before it, which is where reading the cells row by row met it.
template <class Quote>
struct QuoteRows {
    std::vector<Quote> rows;
    std::exception_ptr unreadable;
};

// A futures row is read in two steps: its start before the start becomes a pillar, its end after. When the
// unreadable row's start was read, it still becomes a pillar before the failure is raised.
struct FuturesRows : QuoteRows<FuturesQuote> {
    std::optional<double> unreadableRowStart;
};

struct SwapLeg {
    Tenor tenor;
    DayCountConvention dayCount = DayCountConvention::Act365F; // the floating leg's is never used
    double rollDay = 0;
};

struct CurveConventions {
    double today = 0; // truncated to a day wherever a date is needed
    DayCountConvention zeroRateDayCount = DayCountConvention::Act365F;
    CompoundingFrequency zeroRateFrequency = CompoundingFrequency::Annual;
    InterpolationMethod interpolation = InterpolationMethod::LogLinearZeroRates;
    InterpolationMethod extrapolation = InterpolationMethod::LogLinearZeroRates;
    SwapLeg floatingLeg;
    SwapLeg fixedLeg;
    BusinessDayConvention adjustment = BusinessDayConvention::Unadjusted;
};

// The settlement calendar built once from its text with the extra holidays, or the failure building it
// raised, kept to be raised where the swap schedules first need the calendar (after the fixed leg's tenor
// and the valuation date are checked).
class SettlementCalendar {
public:
    static SettlementCalendar build(const std::wstring& text, std::vector<double> extraHolidays) noexcept;

    const BusinessCalendar& get() const;

private:
    std::shared_ptr<const MergedBusinessCalendar> calendar_;
    std::exception_ptr failure_;
};

struct CurveRequest {
    CurveConventions conventions;
    SettlementCalendar calendar;
    QuoteRows<MoneyMarketQuote> moneyMarket;
    FuturesRows futures;
    QuoteRows<SwapQuote> swaps;
};

} // namespace tavrin
