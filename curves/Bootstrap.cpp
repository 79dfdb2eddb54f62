#include "curves/Bootstrap.h"

#include "calendars/CalendarFactory.h"
#include "curves/Curve.h"
#include "curves/CurveMessages.h"
#include "curves/Rates.h"
#include "dates/Tenor.h"
#include "daycount/Schedule.h"

#include <cstddef>
#include <memory>

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
std::vector<SerialDate> legSchedule(SerialDate spot, SerialDate maturity, int16_t months, double rollDay,
                                    const std::wstring& tenor, const BusinessCalendar& calendar,
                                    const std::wstring& ctrl, const std::wstring& holidayCalendar,
                                    const std::vector<double>& xtraHolidays) {
    const SerialDate firstRegular = calendar.adjust(spot.plusMonths(months), ctrl);
    const SerialDate lastRegular = calendar.adjust(maturity.plusMonths(-months), ctrl);
    return generateSchedule(spot.serial(), firstRegular.serial(), lastRegular.serial(), maturity.serial(),
                            rollDay, tenor, ctrl, holidayCalendar, xtraHolidays);
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

// Money-market rows with a number in column 1, in matrix order (neither sorted nor checked for duplicates).
void addMoneyMarket(const xll::CellMatrix& moneyMarket, const CurveConvention& c, CurvePillars& pillars) {
    for (uint32_t r = 0; r < moneyMarket.rows(); ++r) {
        if (!moneyMarket(r, 1).isNumber())
            continue;
        const double date = moneyMarket(r, 0).numericValue();
        const double discountFactor = moneyMarket(r, 1).numericValue();
        appendPillar(pillars, date, date - c.today.serial(), discountFactor,
                     zeroRateAt(toSerialDate(date), discountFactor, c));
    }
    if (pillars.size() == 0)
        throw messages::NoMoneyMarketRows;
}

// Futures rows with a number in column 2: the start date becomes a pillar, the end date's discount factor
// is the start's times the forward discount factor. Each row sees the pillars of the rows above it.
void addFutures(const xll::CellMatrix& futures, int16_t interpId, int16_t extrapolId,
                const CurveConvention& c, CurvePillars& pillars) {
    for (uint32_t r = 0; r < futures.rows(); ++r) {
        if (!futures(r, 2).isNumber())
            continue;
        const SerialDate start = toSerialDate(futures(r, 0).numericValue());
        if (pillars.size() < 2)
            throw messages::TooFewPillarsForFutures;
        if (start.serial() < pillars.dates[0] && findSegment(start.serial(), pillars) == kNoSegment)
            throw messages::FuturesStartBeforeCurve;
        const int16_t p = ensurePillar(start, pillars, interpId, extrapolId, c);
        const double forward = futures(r, 2).numericValue();
        const SerialDate end = toSerialDate(futures(r, 1).numericValue());
        const double discountFactor = forward * pillars.discountFactors[static_cast<size_t>(p + 1)];
        insertKnownPillar(end.serial(), zeroRateAt(end, discountFactor, c), discountFactor, pillars);
    }
}

// The schedule points before the last pillar take their discount factors from the curve.
ScheduleCurve knownSchedulePoints(const std::vector<SerialDate>& schedule, const CurvePillars& pillars,
                                  int16_t interpId, const CurveConvention& c) {
    ScheduleCurve known;
    const double lastPillar = pillars.dates.back();
    for (size_t i = 0; i < schedule.size() && schedule[i].serial() < lastPillar; ++i) {
        const SerialDate date = schedule[i];
        if (date != c.today && findSegment(date.serial(), pillars) == kNoSegment)
            throw messages::ScheduleBeforeCurve; // before the first pillar, since it is before the last
        const double discountFactor = curveDiscountFactor(date, pillars, interpId, c);
        known.discountFactors.push_back(discountFactor);
        known.zeroRates.push_back(zeroRateAt(date, discountFactor, c));
        known.days.push_back(date.serial() - static_cast<double>(c.today.serial()));
    }
    return known;
}

// Each swap row with a number in column 0 (rate in per cent, maturity in years) extends the schedule curve
// to its maturity and adds a pillar there.
void addSwaps(const xll::CellMatrix& swaps, int paymentsPerYear, const std::vector<SerialDate>& schedule,
              const std::wstring& fixedDayCount, int16_t interpId, const CurveConvention& c,
              ScheduleCurve& known, CurvePillars& pillars) {
    for (uint32_t r = 0; r < swaps.rows(); ++r) {
        if (!swaps(r, 0).isNumber())
            continue;
        const double rate = swaps(r, 0).numericValue();
        const double years = swaps(r, 1).numericValue();
        const ParSwap swap{known, schedule, fixedDayCount, interpId, c, rate, years * paymentsPerYear};
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
}

} // namespace

CurveBuild bootstrapCurve(double today, const std::wstring& zeroRateDayConv, int16_t zeroRateFreq,
                          int16_t interpId, int16_t extrapolId, const xll::CellMatrix& moneyMarket,
                          const xll::CellMatrix& futures, const std::wstring& swapFloatTenor,
                          const std::wstring& /*swapFloatDayConv: the floating leg enters no value*/,
                          double rollDayFloatLeg, const std::wstring& swapFixedTenor,
                          const std::wstring& swapFixedDayConv, double rollDayFixedLeg,
                          const xll::CellMatrix& swaps, const std::wstring& holidayCalendar,
                          const std::wstring& ctrl, const std::vector<double>& xtraHolidays) {
    // The swap schedules come first, so their failures show even without swap rows.
    const int16_t fixedMonths = tenorToMonths(swapFixedTenor);
    requireLegTenor(fixedMonths);
    const SerialDate valuationDate = toSerialDate(today);
    const SerialDate spot = valuationDate.plusDays(2); // calendar days, not adjusted
    std::unique_ptr<MergedBusinessCalendar> calendar = CalendarFactory().createCalendar(holidayCalendar);
    calendar->setExtraHolidays(xtraHolidays);
    const SerialDate maturity = calendar->adjust(spot.plusMonths(kScheduleMonths), ctrl);

    CurveBuild build{{valuationDate, zeroRateDayConv, zeroRateFreq}, {}, {}, {}};
    build.fixedSchedule = legSchedule(spot, maturity, fixedMonths, rollDayFixedLeg, swapFixedTenor, *calendar,
                                      ctrl, holidayCalendar, xtraHolidays);
    // The floating leg is built for its failures only: it is valued as 1 - DF(maturity).
    const int16_t floatMonths = tenorToMonths(swapFloatTenor);
    requireLegTenor(floatMonths);
    legSchedule(spot, maturity, floatMonths, rollDayFloatLeg, swapFloatTenor, *calendar, ctrl,
                holidayCalendar, xtraHolidays);
    const int paymentsPerYear = 12 / fixedMonths;

    const CurveConvention& c = build.convention;
    addMoneyMarket(moneyMarket, c, build.pillars);
    addFutures(futures, interpId, extrapolId, c, build.pillars);
    build.scheduleCurve = knownSchedulePoints(build.fixedSchedule, build.pillars, interpId, c);
    addSwaps(swaps, paymentsPerYear, build.fixedSchedule, swapFixedDayConv, interpId, c, build.scheduleCurve,
             build.pillars);
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

xll::NumberMatrix buildDiscountCurve(double today, const std::wstring& zeroRateDayConv, int16_t zeroRateFreq,
                                     int16_t interpId, int16_t extrapolId, const xll::CellMatrix& moneyMarket,
                                     const xll::CellMatrix& futures, const std::wstring& swapFloatTenor,
                                     const std::wstring& swapFloatDayConv, double rollDayFloatLeg,
                                     const std::wstring& swapFixedTenor, const std::wstring& swapFixedDayConv,
                                     double rollDayFixedLeg, const xll::CellMatrix& swaps,
                                     const std::wstring& holidayCalendar, const std::wstring& ctrl,
                                     const std::vector<double>& xtraHolidays) {
    return pillarTable(bootstrapCurve(today, zeroRateDayConv, zeroRateFreq, interpId, extrapolId, moneyMarket,
                                      futures, swapFloatTenor, swapFloatDayConv, rollDayFloatLeg,
                                      swapFixedTenor, swapFixedDayConv, rollDayFixedLeg, swaps,
                                      holidayCalendar, ctrl, xtraHolidays)
                           .pillars);
}
