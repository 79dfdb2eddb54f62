// The eighteen worksheet functions as the host registers them. The records are created during static
// initialisation in this order (definition order within one file), which is the order of registration and of
// the host's function list.

#include "src/XlfRegistration.h"

namespace {

using xll::XlfRegistration;

// The category under which the host lists every function.
const char* const kCategory = "Tavrin_Schedules";

const XlfRegistration plusMonths("xlsched_plusMonths", "sched_plusMonths",
                                 " This function adds required number of months to a date ", kCategory,
                                 {
                                     {"iDate", " Input date ", "B"},
                                     {"iMonths", " Number of months to be added ", "XLF_OPER"},
                                 });

const XlfRegistration endOfMonth("xlsched_endOfMonth", "sched_endOfMonth",
                                 " This function returns last day of the month ", kCategory,
                                 {
                                     {"iDate", " Input date ", "B"},
                                 });

const XlfRegistration BusinessDayCount("xlsched_BusinessDayCount", "sched_BusinessDayCount",
                                       " Returns the number of business days between the input date. "
                                       "Inclusive of start date but exclusive of end date. ",
                                       kCategory,
                                       {
                                           {"startDate", " Start date ", "B"},
                                           {"endDate", " End date ", "B"},
                                           {"holidayCalendar", " Calendar string ", "XLL_WSTR"},
                                           {"xtraHolidays", " Extra holiday list ", "XLF_OPER"},
                                       });

const XlfRegistration IsBusinessDay("xlsched_IsBusinessDay", "sched_IsBusinessDay",
                                    " Performs the business day check ", kCategory,
                                    {
                                        {"iDate", " Input date ", "B"},
                                        {"holidayCalendar", " Calendar string ", "XLL_WSTR"},
                                        {"xtraHolidays", " Extra holidays list ", "XLF_OPER"},
                                    });

const XlfRegistration plusBusinessDays("xlsched_plusBusinessDays", "sched_plusBusinessDays",
                                       " Adds Business days to the input date ", kCategory,
                                       {
                                           {"iDate", " Input date ", "B"},
                                           {"numberOfDays", " Number of business days to be added ", "B"},
                                           {"holidayCalendar", " Calendar string ", "XLL_WSTR"},
                                           {"xtraHolidays", " Extra holidays list ", "XLF_OPER"},
                                       });

const XlfRegistration Holidays("xlsched_Holidays", "sched_Holidays",
                               " Displays non business days for a given calendar ", kCategory,
                               {
                                   {"startDate", " Start date ", "B"},
                                   {"endDate", " End date ", "B"},
                                   {"holidayCalendar", " Calendar string ", "XLL_WSTR"},
                                   {"xtraHolidays", " Extra holidays list ", "XLF_OPER"},
                               });

const XlfRegistration Schedule(
    "xlsched_Schedule", "sched_Schedule", " Generates schedule for a given set of parameters ", kCategory,
    {
        {"effective_date", " Effective date ", "B"},
        {"first_regular_schedule_date", " First regular schedule date ", "B"},
        {"last_regular_schedule_date", " Last regular schedule date ", "B"},
        {"maturity", " Maturity ", "B"},
        {"rollDay", " Roll day ", "B"},
        {"tenor", " Tenor 1M,2M,3M,4M,6M,12M,1Y,2Y,3Y etc. ", "XLL_WSTR"},
        {"ctrl", " Control 'u' for unadjusted, 'm' for Modfollowing, 's' succeeding and 'p' for preceeding ",
         "XLL_WSTR"},
        {"holidayCalendar", " Holiday calendar ", "XLL_WSTR"},
        {"xtraHolidays", " Extra holiday list ", "XLF_OPER"},
    });

const XlfRegistration DCF("xlsched_DCF", "sched_DCF", " Calculates DCF given the day count convention ",
                          kCategory,
                          {
                              {"period_start_date", " Period start date ", "B"},
                              {"period_end_date", " Period end date ", "B"},
                              {"dayCountConvention", " Day count convention ", "XLL_WSTR"},
                          });

const XlfRegistration discountFactor("xlsched_discountFactor", "sched_discountFactor",
                                     " Calculates Discount factor given the day count convention ", kCategory,
                                     {
                                         {"spotRate", " Spot rate ", "B"},
                                         {"period_start_date", " Period start date ", "B"},
                                         {"period_end_date", " Period end date ", "B"},
                                         {"dayCountConvention", " Day count convention ", "XLL_WSTR"},
                                     });

const XlfRegistration
    forwardRate("xlsched_forwardRate", "sched_forwardRate",
                " Calculates form forward rate given the spot rates ", kCategory,
                {
                    {"refDate", " Date on which the forward rate needs to be calculated ", "B"},
                    {"spotRate1", " Spot rate of the first tenor ", "B"},
                    {"maturity1", " maturity date for the first tenor ", "B"},
                    {"spotRate2", " Spot rate of the second tenor ", "B"},
                    {"maturity2", " maturity date for the second tenor ", "B"},
                    {"dayCountConvention", " Day count convention ", "XLL_WSTR"},
                });

const XlfRegistration Tenor2Month("xlsched_Tenor2Month", "sched_Tenor2Month", " Tenor to month ", kCategory,
                                  {
                                      {"tenor", " Tenor ", "XLL_WSTR"},
                                  });

const XlfRegistration previousBusinessDay("xlsched_previousBusinessDay", "sched_previousBusinessDay",
                                          " Returns Previous business day ", kCategory,
                                          {
                                              {"iDate", " Input date ", "B"},
                                              {"holidayCalendar", " Calendar string ", "XLL_WSTR"},
                                              {"xtraHolidays", " Extra holidays list ", "XLF_OPER"},
                                          });

const XlfRegistration nextBusinessDay("xlsched_nextBusinessDay", "sched_nextBusinessDay",
                                      " Returns Next business day ", kCategory,
                                      {
                                          {"iDate", " Input date ", "B"},
                                          {"holidayCalendar", " Calendar string ", "XLL_WSTR"},
                                          {"xtraHolidays", " Extra holidays list ", "XLF_OPER"},
                                      });

const XlfRegistration LastBusDayOfMonth("xlsched_LastBusDayOfMonth", "sched_LastBusDayOfMonth",
                                        " Returns Last business day of the month ", kCategory,
                                        {
                                            {"iDate", " Input date ", "B"},
                                            {"holidayCalendar", " Calendar string ", "XLL_WSTR"},
                                            {"xtraHolidays", " Extra holidays list ", "XLF_OPER"},
                                        });

const XlfRegistration AdjustToBusDay(
    "xlsched_AdjustToBusDay", "sched_AdjustToBusDay",
    " Returns Adjusted business day based on the Holiday Calendar and Business day convention ", kCategory,
    {
        {"iDate", " Input date ", "B"},
        {"ctrl", " Control 'u' for unadjusted, 'm' for Modfollowing, 's' succeeding and 'p' for preceeding ",
         "XLL_WSTR"},
        {"holidayCalendar", " Calendar string ", "XLL_WSTR"},
        {"xtraHolidays", " Extra holidays list ", "XLF_OPER"},
    });

const XlfRegistration thirdWednesDayOfMonth("xlsched_thirdWednesDayOfMonth", "sched_thirdWednesDayOfMonth",
                                            " Returns the third wednesday of the month ", kCategory,
                                            {
                                                {"iDate", " Input date ", "B"},
                                            });

const XlfRegistration df_curve(
    "xlsched_df_curve", "sched_df_curve", " Output DF array. Format - Date, Discount factor and Zero rate ",
    kCategory,
    {
        {"today", " Valuation date ", "B"},
        {"zeroRate_dayConv", " Zero rate - Day count convention ", "XLL_WSTR"},
        {"zeroRate_freq", " Zero rate - frequency ", "XLF_OPER"},
        {"interpId",
         " Interpolation Id - Linear zero rates = 1, Linear discount factors = 2, Log linear zero rates = 3, "
         "Constant forward zero rates = 4, Cubic spline zero rates = 5 ",
         "XLF_OPER"},
        {"extrapolId",
         " Extrapolation Id - Linear zero rates = 1, Linear discount factors = 2, Log linear zero rates = 3, "
         "Constant forward zero rates = 4 ",
         "XLF_OPER"},
        {"moneyMkt_df_mtrx", " Money market data ", "XLF_OPER"},
        {"future_df_Matrix", " future market data ", "XLF_OPER"},
        {"swap_flttenor", " Payment frequency tenor for the floating leg in swaps markets data ", "XLL_WSTR"},
        {"swap_fltdayConv", " Day count convention for the floating leg in swaps markets data ", "XLL_WSTR"},
        {"rollDay_floatLeg", " Roll day for the floating leg in swaps markets data ", "B"},
        {"swap_fixtenor", " Payment frequency tenor for the fixed leg in swaps markets data ", "XLL_WSTR"},
        {"swap_fixdayConv", " Day count convention for the fixed leg in swaps markets data ", "XLL_WSTR"},
        {"rollDay_fixedLeg", " Roll day for the fixed leg in swaps markets data ", "B"},
        {"swap_dfMtrx", " Swaps Market data ", "XLF_OPER"},
        {"holidayCalendar", " Settlement calendar ", "XLL_WSTR"},
        {"ctrl", " m for modified, u for unadjusted or f for following ", "XLL_WSTR"},
        {"xtraHolidays", " extra holidays ", "XLF_OPER"},
    });

const XlfRegistration
    ZeroRate("xlsched_ZeroRate", "sched_ZeroRate", " Returns the zero rate from discount factor ", kCategory,
             {
                 {"today", " Today. The discount factor calculated from today to curve date. ", "B"},
                 {"curveDate", " Curve Date. The discount factor calculated from today to curve date. ", "B"},
                 {"discountFactor", " The discount factor ", "B"},
                 {"zeroRate_dayConv", " Day count convention ", "XLL_WSTR"},
                 {"zeroRate_freq",
                  " Compounding frequency ID : 1=annual, 2=semiannual, 3=quaterly, 4=daily, 5=continuously "
                  "compounded. ",
                  "XLF_OPER"},
             });

// Reading the curve of sched_df_curve at any date, registered after the eighteen.

const XlfRegistration CurveDF(
    "xlsched_CurveDF", "sched_CurveDF",
    " Discount factor at each date, read off a curve of sched_df_curve as its bootstrap reads it ", kCategory,
    {
        {"today", " Valuation date of the curve ", "B"},
        {"zeroRate_dayConv", " Zero rate - Day count convention of the curve ", "XLL_WSTR"},
        {"zeroRate_freq", " Zero rate - frequency of the curve ", "XLF_OPER"},
        {"interpId",
         " Interpolation Id - Linear zero rates = 1, Linear discount factors = 2, Log linear zero rates = 3, "
         "Constant forward zero rates = 4, Cubic spline zero rates = 5 ",
         "XLF_OPER"},
        {"extrapolId",
         " Extrapolation Id - Linear zero rates = 1, Linear discount factors = 2, Log linear zero rates = 3, "
         "Constant forward zero rates = 4, Cubic spline zero rates = 5 ",
         "XLF_OPER"},
        {"curve", " Curve of sched_df_curve: Date, Discount factor and Zero rate ", "XLF_OPER"},
        {"dates", " Date, or a row, column or block of dates ", "XLF_OPER"},
    });

const XlfRegistration CurveZeroRate(
    "xlsched_CurveZeroRate", "sched_CurveZeroRate",
    " Zero rate at each date in the curve's day count and frequency, read off a curve of sched_df_curve ",
    kCategory,
    {
        {"today", " Valuation date of the curve ", "B"},
        {"zeroRate_dayConv", " Zero rate - Day count convention of the curve ", "XLL_WSTR"},
        {"zeroRate_freq", " Zero rate - frequency of the curve ", "XLF_OPER"},
        {"interpId",
         " Interpolation Id - Linear zero rates = 1, Linear discount factors = 2, Log linear zero rates = 3, "
         "Constant forward zero rates = 4, Cubic spline zero rates = 5 ",
         "XLF_OPER"},
        {"extrapolId",
         " Extrapolation Id - Linear zero rates = 1, Linear discount factors = 2, Log linear zero rates = 3, "
         "Constant forward zero rates = 4, Cubic spline zero rates = 5 ",
         "XLF_OPER"},
        {"curve", " Curve of sched_df_curve: Date, Discount factor and Zero rate ", "XLF_OPER"},
        {"dates", " Date, or a row, column or block of dates ", "XLF_OPER"},
    });

const XlfRegistration CurveForwardRate(
    "xlsched_CurveForwardRate", "sched_CurveForwardRate",
    " Simple forward rate between each start and end date, read off a curve of sched_df_curve ", kCategory,
    {
        {"today", " Valuation date of the curve ", "B"},
        {"zeroRate_dayConv", " Zero rate - Day count convention of the curve ", "XLL_WSTR"},
        {"zeroRate_freq", " Zero rate - frequency of the curve ", "XLF_OPER"},
        {"interpId",
         " Interpolation Id - Linear zero rates = 1, Linear discount factors = 2, Log linear zero rates = 3, "
         "Constant forward zero rates = 4, Cubic spline zero rates = 5 ",
         "XLF_OPER"},
        {"extrapolId",
         " Extrapolation Id - Linear zero rates = 1, Linear discount factors = 2, Log linear zero rates = 3, "
         "Constant forward zero rates = 4, Cubic spline zero rates = 5 ",
         "XLF_OPER"},
        {"curve", " Curve of sched_df_curve: Date, Discount factor and Zero rate ", "XLF_OPER"},
        {"startDates", " Period start date, or a row, column or block of them ", "XLF_OPER"},
        {"endDates", " Period end date, or a row, column or block of them ", "XLF_OPER"},
        {"dayCountConvention", " Day count convention of the forward rate ", "XLL_WSTR"},
    });

} // namespace
