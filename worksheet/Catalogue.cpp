// The worksheet functions, each declared once: its entry point (EntryPoints.h), its name on the sheet, its
// help, and a name and help per parameter. The registration letters come from the entry point's parameter
// types; the host registers the functions, and lists them, in the order below; worksheet/exports.txt must
// list them in the same order after the host's own entry points (checked when this file is compiled).
//
// To add a function: declare and define its entry point (EntryPoints.h, EntryPoints.cpp), add one
// WORKSHEET_FUNCTION below and its name to worksheet/exports.txt.

#include "src/XlfRegistration.h"
#include "worksheet/EntryPoints.h"
#include "worksheet/ExportList.h"

#include <cstddef>
#include <string_view>

namespace {

using xll::XlfDeclaration;

// The category under which the host lists every function.
constexpr std::string_view kCategory = "Tavrin_Schedules";

// Every function may run on several calculation threads at once. The bridge gives every type text the mark
// "$" on hosts from version 12 on and none before (registrationTypeText in src/XlfFuncDesc.cpp).
constexpr bool kThreadSafe = true;

// Arguments of the curve functions, described once.
constexpr std::string_view kCurveTodayHelp = " Valuation date of the curve ";
constexpr std::string_view kCurveDayCountHelp = " Zero rate - Day count convention of the curve ";
constexpr std::string_view kCurveFrequencyHelp = " Zero rate - frequency of the curve ";
constexpr std::string_view kCurveInterpolationHelp =
    " Interpolation Id - Linear zero rates = 1, Linear discount factors = 2, Log linear zero rates = 3, "
    "Constant forward zero rates = 4, Cubic spline zero rates = 5 ";
constexpr std::string_view kCurveExtrapolationHelp =
    " Extrapolation Id - Linear zero rates = 1, Linear discount factors = 2, Log linear zero rates = 3, "
    "Constant forward zero rates = 4, Cubic spline zero rates = 5 ";
constexpr std::string_view kCurveBlockHelp = " Curve of sched_df_curve: Date, Discount factor and Zero rate ";

// The exported name is the entry point's own, so the two cannot differ.
#define WORKSHEET_FUNCTION(entryPoint, ...) xll::xlfDeclare<&entryPoint>(#entryPoint, __VA_ARGS__)

constexpr XlfDeclaration kCatalogue[] = {
    WORKSHEET_FUNCTION(xlsched_plusMonths, "sched_plusMonths",
                       " This function adds required number of months to a date ",
                       {
                           {"iDate", " Input date "},
                           {"iMonths", " Number of months to be added "},
                       }),
    WORKSHEET_FUNCTION(xlsched_endOfMonth, "sched_endOfMonth",
                       " This function returns last day of the month ",
                       {
                           {"iDate", " Input date "},
                       }),
    WORKSHEET_FUNCTION(xlsched_BusinessDayCount, "sched_BusinessDayCount",
                       " Returns the number of business days between the input date. "
                       "Inclusive of start date but exclusive of end date. ",
                       {
                           {"startDate", " Start date "},
                           {"endDate", " End date "},
                           {"holidayCalendar", " Calendar string "},
                           {"xtraHolidays", " Extra holiday list "},
                       }),
    WORKSHEET_FUNCTION(xlsched_IsBusinessDay, "sched_IsBusinessDay", " Performs the business day check ",
                       {
                           {"iDate", " Input date "},
                           {"holidayCalendar", " Calendar string "},
                           {"xtraHolidays", " Extra holidays list "},
                       }),
    WORKSHEET_FUNCTION(xlsched_plusBusinessDays, "sched_plusBusinessDays",
                       " Adds Business days to the input date ",
                       {
                           {"iDate", " Input date "},
                           {"numberOfDays", " Number of business days to be added "},
                           {"holidayCalendar", " Calendar string "},
                           {"xtraHolidays", " Extra holidays list "},
                       }),
    WORKSHEET_FUNCTION(xlsched_Holidays, "sched_Holidays",
                       " Displays non business days for a given calendar ",
                       {
                           {"startDate", " Start date "},
                           {"endDate", " End date "},
                           {"holidayCalendar", " Calendar string "},
                           {"xtraHolidays", " Extra holidays list "},
                       }),
    WORKSHEET_FUNCTION(
        xlsched_Schedule, "sched_Schedule", " Generates schedule for a given set of parameters ",
        {
            {"effective_date", " Effective date "},
            {"first_regular_schedule_date", " First regular schedule date "},
            {"last_regular_schedule_date", " Last regular schedule date "},
            {"maturity", " Maturity "},
            {"rollDay", " Roll day "},
            {"tenor", " Tenor 1M,2M,3M,4M,6M,12M,1Y,2Y,3Y etc. "},
            {"ctrl",
             " Control 'u' for unadjusted, 'm' for Modfollowing, 's' succeeding and 'p' for preceeding "},
            {"holidayCalendar", " Holiday calendar "},
            {"xtraHolidays", " Extra holiday list "},
        }),
    WORKSHEET_FUNCTION(xlsched_DCF, "sched_DCF", " Calculates DCF given the day count convention ",
                       {
                           {"period_start_date", " Period start date "},
                           {"period_end_date", " Period end date "},
                           {"dayCountConvention", " Day count convention "},
                       }),
    WORKSHEET_FUNCTION(xlsched_discountFactor, "sched_discountFactor",
                       " Calculates Discount factor given the day count convention ",
                       {
                           {"spotRate", " Spot rate "},
                           {"period_start_date", " Period start date "},
                           {"period_end_date", " Period end date "},
                           {"dayCountConvention", " Day count convention "},
                       }),
    WORKSHEET_FUNCTION(xlsched_forwardRate, "sched_forwardRate",
                       " Calculates form forward rate given the spot rates ",
                       {
                           {"refDate", " Date on which the forward rate needs to be calculated "},
                           {"spotRate1", " Spot rate of the first tenor "},
                           {"maturity1", " maturity date for the first tenor "},
                           {"spotRate2", " Spot rate of the second tenor "},
                           {"maturity2", " maturity date for the second tenor "},
                           {"dayCountConvention", " Day count convention "},
                       }),
    WORKSHEET_FUNCTION(xlsched_Tenor2Month, "sched_Tenor2Month", " Tenor to month ",
                       {
                           {"tenor", " Tenor "},
                       }),
    WORKSHEET_FUNCTION(xlsched_previousBusinessDay, "sched_previousBusinessDay",
                       " Returns Previous business day ",
                       {
                           {"iDate", " Input date "},
                           {"holidayCalendar", " Calendar string "},
                           {"xtraHolidays", " Extra holidays list "},
                       }),
    WORKSHEET_FUNCTION(xlsched_nextBusinessDay, "sched_nextBusinessDay", " Returns Next business day ",
                       {
                           {"iDate", " Input date "},
                           {"holidayCalendar", " Calendar string "},
                           {"xtraHolidays", " Extra holidays list "},
                       }),
    WORKSHEET_FUNCTION(xlsched_LastBusDayOfMonth, "sched_LastBusDayOfMonth",
                       " Returns Last business day of the month ",
                       {
                           {"iDate", " Input date "},
                           {"holidayCalendar", " Calendar string "},
                           {"xtraHolidays", " Extra holidays list "},
                       }),
    WORKSHEET_FUNCTION(
        xlsched_AdjustToBusDay, "sched_AdjustToBusDay",
        " Returns Adjusted business day based on the Holiday Calendar and Business day convention ",
        {
            {"iDate", " Input date "},
            {"ctrl",
             " Control 'u' for unadjusted, 'm' for Modfollowing, 's' succeeding and 'p' for preceeding "},
            {"holidayCalendar", " Calendar string "},
            {"xtraHolidays", " Extra holidays list "},
        }),
    WORKSHEET_FUNCTION(xlsched_thirdWednesDayOfMonth, "sched_thirdWednesDayOfMonth",
                       " Returns the third wednesday of the month ",
                       {
                           {"iDate", " Input date "},
                       }),
    WORKSHEET_FUNCTION(
        xlsched_df_curve, "sched_df_curve", " Output DF array. Format - Date, Discount factor and Zero rate ",
        {
            {"today", " Valuation date "},
            {"zeroRate_dayConv", " Zero rate - Day count convention "},
            {"zeroRate_freq", " Zero rate - frequency "},
            {"interpId", kCurveInterpolationHelp},
            {"extrapolId", " Extrapolation Id - Linear zero rates = 1, Linear discount factors = 2, Log "
                           "linear zero rates = 3, "
                           "Constant forward zero rates = 4 "},
            {"moneyMkt_df_mtrx", " Money market data "},
            {"future_df_Matrix", " future market data "},
            {"swap_flttenor", " Payment frequency tenor for the floating leg in swaps markets data "},
            {"swap_fltdayConv", " Day count convention for the floating leg in swaps markets data "},
            {"rollDay_floatLeg", " Roll day for the floating leg in swaps markets data "},
            {"swap_fixtenor", " Payment frequency tenor for the fixed leg in swaps markets data "},
            {"swap_fixdayConv", " Day count convention for the fixed leg in swaps markets data "},
            {"rollDay_fixedLeg", " Roll day for the fixed leg in swaps markets data "},
            {"swap_dfMtrx", " Swaps Market data "},
            {"holidayCalendar", " Settlement calendar "},
            {"ctrl", " m for modified, u for unadjusted or f for following "},
            {"xtraHolidays", " extra holidays "},
        }),
    WORKSHEET_FUNCTION(
        xlsched_ZeroRate, "sched_ZeroRate", " Returns the zero rate from discount factor ",
        {
            {"today", " Today. The discount factor calculated from today to curve date. "},
            {"curveDate", " Curve Date. The discount factor calculated from today to curve date. "},
            {"discountFactor", " The discount factor "},
            {"zeroRate_dayConv", " Day count convention "},
            {"zeroRate_freq",
             " Compounding frequency ID : 1=annual, 2=semiannual, 3=quaterly, 4=daily, 5=continuously "
             "compounded. "},
        }),
    // Reading the curve of sched_df_curve at any date, registered after the eighteen.
    WORKSHEET_FUNCTION(
        xlsched_CurveDF, "sched_CurveDF",
        " Discount factor at each date, read off a curve of sched_df_curve as its bootstrap reads it ",
        {
            {"today", kCurveTodayHelp},
            {"zeroRate_dayConv", kCurveDayCountHelp},
            {"zeroRate_freq", kCurveFrequencyHelp},
            {"interpId", kCurveInterpolationHelp},
            {"extrapolId", kCurveExtrapolationHelp},
            {"curve", kCurveBlockHelp},
            {"dates", " Date, or a row, column or block of dates "},
        }),
    WORKSHEET_FUNCTION(
        xlsched_CurveZeroRate, "sched_CurveZeroRate",
        " Zero rate at each date in the curve's day count and frequency, read off a curve of sched_df_curve ",
        {
            {"today", kCurveTodayHelp},
            {"zeroRate_dayConv", kCurveDayCountHelp},
            {"zeroRate_freq", kCurveFrequencyHelp},
            {"interpId", kCurveInterpolationHelp},
            {"extrapolId", kCurveExtrapolationHelp},
            {"curve", kCurveBlockHelp},
            {"dates", " Date, or a row, column or block of dates "},
        }),
    WORKSHEET_FUNCTION(
        xlsched_CurveForwardRate, "sched_CurveForwardRate",
        " Simple forward rate between each start and end date, read off a curve of sched_df_curve ",
        {
            {"today", kCurveTodayHelp},
            {"zeroRate_dayConv", kCurveDayCountHelp},
            {"zeroRate_freq", kCurveFrequencyHelp},
            {"interpId", kCurveInterpolationHelp},
            {"extrapolId", kCurveExtrapolationHelp},
            {"curve", kCurveBlockHelp},
            {"startDates", " Period start date, or a row, column or block of them "},
            {"endDates", " Period end date, or a row, column or block of them "},
            {"dayCountConvention", " Day count convention of the forward rate "},
        }),
};

#undef WORKSHEET_FUNCTION

// The host's own entry points (src/XlOpenClose.cpp), exported before the worksheet functions.
constexpr std::string_view kHostEntryPoints[] = {"xlAutoOpen", "xlAutoClose", "xlAddInManagerInfo",
                                                 "xlAddInManagerInfo12"};

consteval bool exportListMatchesCatalogue() {
    constexpr std::size_t hostCount = std::size(kHostEntryPoints);
    if (std::size(worksheet::kExportList) != hostCount + std::size(kCatalogue))
        return false;
    for (std::size_t i = 0; i < hostCount; ++i)
        if (worksheet::kExportList[i] != kHostEntryPoints[i])
            return false;
    for (std::size_t i = 0; i < std::size(kCatalogue); ++i)
        if (worksheet::kExportList[hostCount + i] != kCatalogue[i].procedure)
            return false;
    return true;
}
static_assert(
    exportListMatchesCatalogue(),
    "worksheet/exports.txt must list the host's entry points, then every catalogue function's entry "
    "point in catalogue order");

const xll::XlfRegistration catalogue(kCatalogue, kCategory, kThreadSafe);

} // namespace
