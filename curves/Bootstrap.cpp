#include "curves/Bootstrap.h"

#include "calendars/CalendarFactory.h"
#include "calendars/Messages.h"
#include "curves/Curve.h"
#include "curves/CurveMessages.h"
#include "curves/Rates.h"
#include "dates/Tenor.h"
#include "daycount/Schedule.h"

#include <cstddef>
#include <exception>
#include <memory>
#include <utility>

namespace tavrin {

namespace {

// The schedule reaches 50 years beyond the spot date, which bounds the longest swap.
constexpr int32_t kScheduleMonths = 600;

// Payments per year are 12 / months in whole numbers; outside 1 to 12 months they would be zero or less
// (or a division by zero), and a tenor of 0 months would never step through the schedule.
void requireLegTenor(int16_t months) {
    if (months < 1 || months > 12)
        throw messages::InvalidSwapTenor;
}

// A leg's schedule from the spot date to the 50-year maturity, regular from one tenor after the spot date
// to one tenor before the maturity, all adjusted on the settlement calendar.
std::vector<SerialDate> legSchedule(SerialDate spot, SerialDate maturity, int16_t months, const SwapLeg& leg,
                                    const BusinessCalendar& calendar, BusinessDayConvention adjustment) {
    const SerialDate firstRegular = adjustDate(calendar, spot.plusMonths(months), adjustment);
    const SerialDate lastRegular = adjustDate(calendar, maturity.plusMonths(-months), adjustment);
    return generateSchedule(spot.serial(), firstRegular.serial(), lastRegular.serial(), maturity.serial(),
                            leg.rollDay, leg.tenor, adjustment, calendar);
}

void appendPillar(CurvePillars& pillars, double date, double days, double discountFactor, double zeroRate) {
    pillars.dates.push_back(date);
    pillars.days.push_back(days);
    pillars.discountFactors.push_back(discountFactor);
    pillars.zeroRates.push_back(zeroRate);
}

double zeroRateAt(SerialDate date, double discountFactor, const CurveConvention& c) {
    return zeroRateFromDiscountFactor(c.today, date, discountFactor, c.zeroRateDayCount, c.zeroRateFrequency);
}

void raiseIfUnreadable(const std::exception_ptr& unreadable) {
    if (unreadable)
        std::rethrow_exception(unreadable);
}

// Money-market rows in sheet order (neither sorted nor checked for duplicates).
void addMoneyMarket(const QuoteRows<MoneyMarketQuote>& moneyMarket, const CurveConvention& c,
                    CurvePillars& pillars) {
    for (const MoneyMarketQuote& row : moneyMarket.rows)
        appendPillar(pillars, row.date, row.date - c.today.serial(), row.discountFactor,
                     zeroRateAt(toSerialDate(row.date), row.discountFactor, c));
    raiseIfUnreadable(moneyMarket.unreadable);
    if (pillars.size() == 0)
        throw messages::NoMoneyMarketRows;
}

// A futures start becomes a pillar (interpolated, or extrapolated beyond the last one); its index.
size_t addFuturesStart(double startDate, const CurveConventions& conventions, const CurveConvention& c,
                       CurvePillars& pillars, PillarIndex& index) {
    const SerialDate start = toSerialDate(startDate);
    if (pillars.size() < 2)
        throw messages::TooFewPillarsForFutures;
    if (start.serial() < pillars.dates[0] && index.findSegment(start.serial(), pillars) == kNoSegment)
        throw messages::FuturesStartBeforeCurve;
    const int16_t p =
        ensurePillar(start, pillars, conventions.interpolation, conventions.extrapolation, c, &index);
    return static_cast<size_t>(p + 1);
}

// The end date's discount factor is the start's times the forward discount factor. Each row sees the
// pillars of the rows above it.
void addFutures(const FuturesRows& futures, const CurveConventions& conventions, const CurveConvention& c,
                CurvePillars& pillars) {
    PillarIndex index(pillars);
    for (const FuturesQuote& row : futures.rows) {
        const size_t start = addFuturesStart(row.start, conventions, c, pillars, index);
        const SerialDate end = toSerialDate(row.end);
        const double discountFactor = row.forwardDiscountFactor * pillars.discountFactors[start];
        insertKnownPillar(end.serial(), zeroRateAt(end, discountFactor, c), discountFactor, pillars, &index);
    }
    if (futures.unreadableRowStart)
        addFuturesStart(*futures.unreadableRowStart, conventions, c, pillars, index);
    raiseIfUnreadable(futures.unreadable);
}

// The schedule points before the last pillar take their discount factors from the curve.
ScheduleCurve knownSchedulePoints(const std::vector<SerialDate>& schedule, const CurvePillars& pillars,
                                  InterpolationMethod interpolation, const CurveConvention& c) {
    ScheduleCurve known;
    PillarIndex index(pillars);
    const double lastPillar = pillars.dates.back();
    for (size_t i = 0; i < schedule.size() && schedule[i].serial() < lastPillar; ++i) {
        const SerialDate date = schedule[i];
        if (date != c.today && index.findSegment(date.serial(), pillars) == kNoSegment)
            throw messages::ScheduleBeforeCurve; // before the first pillar, since it is before the last
        const double discountFactor = curveDiscountFactor(date, pillars, interpolation, c, &index);
        known.discountFactors.push_back(discountFactor);
        known.zeroRates.push_back(zeroRateAt(date, discountFactor, c));
        known.days.push_back(date.serial() - static_cast<double>(c.today.serial()));
    }
    return known;
}

// Each swap row (rate in per cent, maturity in years) extends the schedule curve to its maturity and adds a
// pillar there.
void addSwaps(const QuoteRows<SwapQuote>& swaps, int paymentsPerYear, const std::vector<SerialDate>& schedule,
              DayCountConvention fixedDayCount, InterpolationMethod interpolation, const CurveConvention& c,
              ScheduleCurve& known, CurvePillars& pillars) {
    for (const SwapQuote& row : swaps.rows) {
        const ParSwap swap{
            known, schedule, fixedDayCount, interpolation, c, row.ratePercent, row.years * paymentsPerYear};
        const std::vector<double> solved = solveSwapMaturity(swap);
        for (double discountFactor : solved) {
            const SerialDate date = schedule[known.size()];
            known.discountFactors.push_back(discountFactor);
            known.zeroRates.push_back(zeroRateAt(date, discountFactor, c));
            known.days.push_back(date.serial() - static_cast<double>(c.today.serial()));
        }
        const size_t j = known.size() - 1;
        appendPillar(pillars, schedule[j].serial(), known.days[j], known.discountFactors[j],
                     known.zeroRates[j]);
    }
    raiseIfUnreadable(swaps.unreadable);
}

} // namespace

CurveBuild bootstrapCurve(const CurveRequest& request) {
    const CurveConventions& conventions = request.conventions;
    // The swap schedules come first, so their failures show even without swap rows.
    const int16_t fixedMonths = conventions.fixedLeg.tenor.months();
    requireLegTenor(fixedMonths);
    const SerialDate valuationDate = toSerialDate(conventions.today);
    const SerialDate spot = valuationDate.plusDays(2); // calendar days, not adjusted
    const BusinessCalendar& calendar = request.calendar.get();
    const BusinessDayConvention adjustment = conventions.adjustment;
    const SerialDate maturity = adjustDate(calendar, spot.plusMonths(kScheduleMonths), adjustment);

    CurveBuild build{
        {valuationDate, conventions.zeroRateDayCount, conventions.zeroRateFrequency}, {}, {}, {}};
    build.fixedSchedule =
        legSchedule(spot, maturity, fixedMonths, conventions.fixedLeg, calendar, adjustment);
    // The floating leg is built for its failures only: it is valued as 1 - DF(maturity).
    const int16_t floatMonths = conventions.floatingLeg.tenor.months();
    requireLegTenor(floatMonths);
    legSchedule(spot, maturity, floatMonths, conventions.floatingLeg, calendar, adjustment);
    const int paymentsPerYear = 12 / fixedMonths;

    const CurveConvention& c = build.convention;
    addMoneyMarket(request.moneyMarket, c, build.pillars);
    addFutures(request.futures, conventions, c, build.pillars);
    build.scheduleCurve =
        knownSchedulePoints(build.fixedSchedule, build.pillars, conventions.interpolation, c);
    addSwaps(request.swaps, paymentsPerYear, build.fixedSchedule, conventions.fixedLeg.dayCount,
             conventions.interpolation, c, build.scheduleCurve, build.pillars);
    return build;
}

xll::NumberMatrix pillarTable(const CurvePillars& pillars) {
    xll::NumberMatrix table(static_cast<int32_t>(pillars.size()), 3);
    for (int32_t i = 0; i < table.rows(); ++i) {
        const auto at = static_cast<size_t>(i);
        table(i, 0) = pillars.dates[at];
        table(i, 1) = pillars.discountFactors[at];
        table(i, 2) = pillars.zeroRates[at];
    }
    return table;
}

xll::NumberMatrix buildDiscountCurve(const CurveRequest& request) {
    return pillarTable(bootstrapCurve(request).pillars);
}

SettlementCalendar SettlementCalendar::build(const std::wstring& text,
                                             std::vector<double> extraHolidays) noexcept {
    SettlementCalendar result;
    try {
        std::unique_ptr<MergedBusinessCalendar> calendar = CalendarFactory().createCalendar(text);
        calendar->setExtraHolidays(std::move(extraHolidays));
        result.calendar_ = std::move(calendar);
    } catch (...) {
        result.failure_ = std::current_exception();
    }
    return result;
}

const BusinessCalendar& SettlementCalendar::get() const {
    if (failure_)
        std::rethrow_exception(failure_);
    if (!calendar_)
        throw messages::InvalidHolidayCalendar;
    return *calendar_;
}

} // namespace tavrin
