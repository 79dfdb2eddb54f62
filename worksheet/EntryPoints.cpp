// The eighteen exported entry points. Each converts its arguments in argument order (numbers registered as
// "B" arrive as doubles and pass as they are; texts become wide strings; value records are converted with the
// argument's name as context), calls the library function of the same worksheet name and returns the result
// as a value in temporary memory. Failures become the cell's value in worksheetCall.

#include "worksheet/EntryPoints.h"
#include "worksheet/CurveInputs.h"
#include "worksheet/WorksheetFrame.h"

#include "calendars/BusinessDayFunctions.h"
#include "curves/Curve.h"
#include "curves/CurveQuery.h"
#include "curves/Rates.h"
#include "dates/DateFunctions.h"
#include "daycount/DayCount.h"
#include "daycount/Schedule.h"
#include "src/XlfOper.h"
#include "src/api/XlCall.h"

#include <string>
#include <vector>

using namespace tavrin;

using worksheet::worksheetCall;
using xll::LPXLFOPER;
using xll::XlfOper;
using xll::XlfTextArgument;

namespace {

std::wstring text(XlfTextArgument argument) {
    return xll::wideTextArgument(argument);
}

std::vector<double> extraHolidays(LPXLFOPER argument) {
    return XlfOper(argument).toDoubleVector("xtraHolidays", xll::Line);
}

short shortArgument(LPXLFOPER argument, const char* name) {
    return XlfOper(argument).toShort(name);
}

xll::CellMatrix matrixArgument(LPXLFOPER argument, const char* name) {
    return XlfOper(argument).toCellMatrix(name);
}

// Dates read straight from the host's block, cell by cell, with no matrix in between: a call may carry
// many thousands. Anything but a block or a number (an omitted argument, a reference) goes through the
// matrix conversion, which knows every kind of value.
DateCells dateArgument(LPXLFOPER argument, const char* name) {
    const XlfOper oper(argument);
    DateCells dates;
    if (oper.isNumber()) {
        dates.rows = dates.columns = 1;
        dates.values.push_back(oper.toDouble(name));
        dates.isNumber.push_back(true);
        return dates;
    }
    if (!oper.isMulti())
        return dateCells(matrixArgument(argument, name));
    dates.rows = oper.rows();
    dates.columns = oper.columns();
    const auto cells = static_cast<size_t>(dates.rows) * static_cast<size_t>(dates.columns);
    dates.values.reserve(cells);
    dates.isNumber.reserve(cells);
    for (int32_t r = 0; r < dates.rows; ++r)
        for (int32_t c = 0; c < dates.columns; ++c) {
            const XlfOper cell = oper.element(r, c);
            const bool number = cell.isNumber();
            dates.values.push_back(number ? cell.toDouble() : 0.0); // a number cell cannot fail
            dates.isNumber.push_back(number);
        }
    return dates;
}

// A single date answers a single value; a block answers a block of its shape, with the message in each cell
// whose date has no value. The block is written element by element into one array record.
LPXLFOPER curveAnswer(const CurveAnswers& answers) {
    const xll::NumberMatrix& values = answers.values;
    if (values.rows() == 1 && values.columns() == 1)
        return answers.failures.empty() ? XlfOper(values(0, 0)).handle()
                                        : XlfOper(answers.failures.front().message).handle();
    if (values.rows() == 0 || values.columns() == 0)
        return XlfOper(values).handle();
    XlfOper block;
    block.setMulti(values.rows(), values.columns());
    for (int32_t r = 0; r < values.rows(); ++r)
        for (int32_t c = 0; c < values.columns(); ++c)
            block.element(r, c).setNumber(values(r, c));
    for (const CurveAnswers::Failure& f : answers.failures)
        block.element(f.row, f.column).setText(f.message);
    return block.handle();
}

// The arguments the three curve readers share, converted in argument order.
struct CurveQueryArguments {
    std::wstring dayCount;
    short frequency;
    short interpolation;
    short extrapolation;
    xll::CellMatrix curve;
};

CurveQueryArguments curveQueryArguments(XlfTextArgument zeroRate_dayConv, LPXLFOPER zeroRate_freq,
                                        LPXLFOPER interpId, LPXLFOPER extrapolId, LPXLFOPER curve) {
    CurveQueryArguments arguments;
    arguments.dayCount = text(zeroRate_dayConv);
    arguments.frequency = shortArgument(zeroRate_freq, "zeroRate_freq");
    arguments.interpolation = shortArgument(interpId, "interpId");
    arguments.extrapolation = shortArgument(extrapolId, "extrapolId");
    arguments.curve = matrixArgument(curve, "curve");
    return arguments;
}

} // namespace

extern "C" {

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_plusMonths(double iDate, LPXLFOPER iMonths) {
    return worksheetCall([&] {
        const short months = shortArgument(iMonths, "iMonths");
        return XlfOper(sched_plusMonths(iDate, months)).handle();
    });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_endOfMonth(double iDate) {
    return worksheetCall([&] { return XlfOper(sched_endOfMonth(iDate)).handle(); });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_BusinessDayCount(double startDate, double endDate,
                                                          XlfTextArgument holidayCalendar,
                                                          LPXLFOPER xtraHolidays) {
    return worksheetCall([&] {
        std::wstring calendar = text(holidayCalendar);
        std::vector<double> extra = extraHolidays(xtraHolidays);
        return XlfOper(sched_BusinessDayCount(startDate, endDate, std::move(calendar), std::move(extra)))
            .handle();
    });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_IsBusinessDay(double iDate, XlfTextArgument holidayCalendar,
                                                       LPXLFOPER xtraHolidays) {
    return worksheetCall([&] {
        std::wstring calendar = text(holidayCalendar);
        std::vector<double> extra = extraHolidays(xtraHolidays);
        return XlfOper(sched_IsBusinessDay(iDate, std::move(calendar), std::move(extra))).handle();
    });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_plusBusinessDays(double iDate, double numberOfDays,
                                                          XlfTextArgument holidayCalendar,
                                                          LPXLFOPER xtraHolidays) {
    return worksheetCall([&] {
        std::wstring calendar = text(holidayCalendar);
        std::vector<double> extra = extraHolidays(xtraHolidays);
        return XlfOper(sched_plusBusinessDays(iDate, numberOfDays, std::move(calendar), std::move(extra)))
            .handle();
    });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_Holidays(double startDate, double endDate,
                                                  XlfTextArgument holidayCalendar, LPXLFOPER xtraHolidays) {
    return worksheetCall([&] {
        std::wstring calendar = text(holidayCalendar);
        std::vector<double> extra = extraHolidays(xtraHolidays);
        return XlfOper(sched_Holidays(startDate, endDate, std::move(calendar), std::move(extra))).handle();
    });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_Schedule(double effective_date, double first_regular_schedule_date,
                                                  double last_regular_schedule_date, double maturity,
                                                  double rollDay, XlfTextArgument tenor, XlfTextArgument ctrl,
                                                  XlfTextArgument holidayCalendar, LPXLFOPER xtraHolidays) {
    return worksheetCall([&] {
        std::wstring tenorText = text(tenor);
        std::wstring convention = text(ctrl);
        std::wstring calendar = text(holidayCalendar);
        std::vector<double> extra = extraHolidays(xtraHolidays);
        return XlfOper(sched_Schedule(effective_date, first_regular_schedule_date, last_regular_schedule_date,
                                      maturity, rollDay, std::move(tenorText), std::move(convention),
                                      std::move(calendar), std::move(extra)))
            .handle();
    });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_DCF(double period_start_date, double period_end_date,
                                             XlfTextArgument dayCountConvention) {
    return worksheetCall([&] {
        std::wstring convention = text(dayCountConvention);
        return XlfOper(sched_DCF(period_start_date, period_end_date, std::move(convention))).handle();
    });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_discountFactor(double spotRate, double period_start_date,
                                                        double period_end_date,
                                                        XlfTextArgument dayCountConvention) {
    return worksheetCall([&] {
        std::wstring convention = text(dayCountConvention);
        return XlfOper(
                   sched_discountFactor(spotRate, period_start_date, period_end_date, std::move(convention)))
            .handle();
    });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_forwardRate(double refDate, double spotRate1, double maturity1,
                                                     double spotRate2, double maturity2,
                                                     XlfTextArgument dayCountConvention) {
    return worksheetCall([&] {
        std::wstring convention = text(dayCountConvention);
        return XlfOper(sched_forwardRate(refDate, spotRate1, maturity1, spotRate2, maturity2,
                                         std::move(convention)))
            .handle();
    });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_Tenor2Month(XlfTextArgument tenor) {
    return worksheetCall(
        [&] { return XlfOper(static_cast<short>(sched_Tenor2Month(text(tenor)))).handle(); });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_previousBusinessDay(double iDate, XlfTextArgument holidayCalendar,
                                                             LPXLFOPER xtraHolidays) {
    return worksheetCall([&] {
        std::wstring calendar = text(holidayCalendar);
        std::vector<double> extra = extraHolidays(xtraHolidays);
        return XlfOper(sched_previousBusinessDay(iDate, std::move(calendar), std::move(extra))).handle();
    });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_nextBusinessDay(double iDate, XlfTextArgument holidayCalendar,
                                                         LPXLFOPER xtraHolidays) {
    return worksheetCall([&] {
        std::wstring calendar = text(holidayCalendar);
        std::vector<double> extra = extraHolidays(xtraHolidays);
        return XlfOper(sched_nextBusinessDay(iDate, std::move(calendar), std::move(extra))).handle();
    });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_LastBusDayOfMonth(double iDate, XlfTextArgument holidayCalendar,
                                                           LPXLFOPER xtraHolidays) {
    return worksheetCall([&] {
        std::wstring calendar = text(holidayCalendar);
        std::vector<double> extra = extraHolidays(xtraHolidays);
        return XlfOper(sched_LastBusDayOfMonth(iDate, std::move(calendar), std::move(extra))).handle();
    });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_AdjustToBusDay(double iDate, XlfTextArgument ctrl,
                                                        XlfTextArgument holidayCalendar,
                                                        LPXLFOPER xtraHolidays) {
    return worksheetCall([&] {
        std::wstring convention = text(ctrl);
        std::wstring calendar = text(holidayCalendar);
        std::vector<double> extra = extraHolidays(xtraHolidays);
        return XlfOper(
                   sched_AdjustToBusDay(iDate, std::move(convention), std::move(calendar), std::move(extra)))
            .handle();
    });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_thirdWednesDayOfMonth(double iDate) {
    return worksheetCall([&] { return XlfOper(sched_thirdWednesDayOfMonth(iDate)).handle(); });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_df_curve(
    double today, XlfTextArgument zeroRate_dayConv, LPXLFOPER zeroRate_freq, LPXLFOPER interpId,
    LPXLFOPER extrapolId, LPXLFOPER moneyMkt_df_mtrx, LPXLFOPER future_df_Matrix,
    XlfTextArgument swap_flttenor, XlfTextArgument swap_fltdayConv, double rollDay_floatLeg,
    XlfTextArgument swap_fixtenor, XlfTextArgument swap_fixdayConv, double rollDay_fixedLeg,
    LPXLFOPER swap_dfMtrx, XlfTextArgument holidayCalendar, XlfTextArgument ctrl, LPXLFOPER xtraHolidays) {
    return worksheetCall([&] {
        worksheet::CurveArguments arguments;
        arguments.today = today;
        arguments.zeroRateDayConv = text(zeroRate_dayConv);
        arguments.zeroRateFreq = shortArgument(zeroRate_freq, "zeroRate_freq");
        arguments.interpId = shortArgument(interpId, "interpId");
        arguments.extrapolId = shortArgument(extrapolId, "extrapolId");
        arguments.moneyMarket = matrixArgument(moneyMkt_df_mtrx, "moneyMkt_df_mtrx");
        arguments.futures = matrixArgument(future_df_Matrix, "future_df_Matrix");
        arguments.swapFloatTenor = text(swap_flttenor);
        arguments.swapFloatDayConv = text(swap_fltdayConv);
        arguments.rollDayFloatLeg = rollDay_floatLeg;
        arguments.swapFixedTenor = text(swap_fixtenor);
        arguments.swapFixedDayConv = text(swap_fixdayConv);
        arguments.rollDayFixedLeg = rollDay_fixedLeg;
        arguments.swaps = matrixArgument(swap_dfMtrx, "swap_dfMtrx");
        arguments.holidayCalendar = text(holidayCalendar);
        arguments.ctrl = text(ctrl);
        arguments.xtraHolidays = extraHolidays(xtraHolidays);
        return XlfOper(buildDiscountCurve(worksheet::readCurveArguments(arguments))).handle();
    });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_ZeroRate(double today, double curveDate, double discountFactor,
                                                  XlfTextArgument zeroRate_dayConv, LPXLFOPER zeroRate_freq) {
    return worksheetCall([&] {
        std::wstring dayCount = text(zeroRate_dayConv);
        const short frequency = shortArgument(zeroRate_freq, "zeroRate_freq");
        return XlfOper(sched_ZeroRate(today, curveDate, discountFactor, std::move(dayCount), frequency))
            .handle();
    });
}

// The curve of sched_df_curve read at any date: the conventions and ids of the curve, the curve block, the
// dates (one, a row, a column or a block).

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_CurveDF(double today, XlfTextArgument zeroRate_dayConv,
                                                 LPXLFOPER zeroRate_freq, LPXLFOPER interpId,
                                                 LPXLFOPER extrapolId, LPXLFOPER curve, LPXLFOPER dates) {
    return worksheetCall([&] {
        const CurveQueryArguments c =
            curveQueryArguments(zeroRate_dayConv, zeroRate_freq, interpId, extrapolId, curve);
        const DateCells when = dateArgument(dates, "dates");
        return curveAnswer(
            sched_CurveDF(today, c.dayCount, c.frequency, c.interpolation, c.extrapolation, c.curve, when));
    });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_CurveZeroRate(double today, XlfTextArgument zeroRate_dayConv,
                                                       LPXLFOPER zeroRate_freq, LPXLFOPER interpId,
                                                       LPXLFOPER extrapolId, LPXLFOPER curve,
                                                       LPXLFOPER dates) {
    return worksheetCall([&] {
        const CurveQueryArguments c =
            curveQueryArguments(zeroRate_dayConv, zeroRate_freq, interpId, extrapolId, curve);
        const DateCells when = dateArgument(dates, "dates");
        return curveAnswer(sched_CurveZeroRate(today, c.dayCount, c.frequency, c.interpolation,
                                               c.extrapolation, c.curve, when));
    });
}

XLL_EXPORT LPXLFOPER XLL_STDCALL xlsched_CurveForwardRate(double today, XlfTextArgument zeroRate_dayConv,
                                                          LPXLFOPER zeroRate_freq, LPXLFOPER interpId,
                                                          LPXLFOPER extrapolId, LPXLFOPER curve,
                                                          LPXLFOPER startDates, LPXLFOPER endDates,
                                                          XlfTextArgument dayCountConvention) {
    return worksheetCall([&] {
        const CurveQueryArguments c =
            curveQueryArguments(zeroRate_dayConv, zeroRate_freq, interpId, extrapolId, curve);
        const DateCells starts = dateArgument(startDates, "startDates");
        const DateCells ends = dateArgument(endDates, "endDates");
        const std::wstring dayCount = text(dayCountConvention);
        return curveAnswer(sched_CurveForwardRate(today, c.dayCount, c.frequency, c.interpolation,
                                                  c.extrapolation, c.curve, starts, ends, dayCount));
    });
}

} // extern "C"
