#pragma once

// The worksheet functions' C entry points, exported under these plain names and defined in EntryPoints.cpp,
// which includes this header: a definition that disagrees with its declaration here does not build, so the
// catalogue (Catalogue.cpp) can take each function's registration letters from these signatures.

#include "src/XlfOper.h"
#include "src/api/XlCall.h"

extern "C" {

XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_plusMonths(double iDate, xll::LPXLFOPER iMonths);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_endOfMonth(double iDate);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_BusinessDayCount(double startDate, double endDate,
                                                               xll::XlfTextArgument holidayCalendar,
                                                               xll::LPXLFOPER xtraHolidays);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_IsBusinessDay(double iDate,
                                                            xll::XlfTextArgument holidayCalendar,
                                                            xll::LPXLFOPER xtraHolidays);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_plusBusinessDays(double iDate, double numberOfDays,
                                                               xll::XlfTextArgument holidayCalendar,
                                                               xll::LPXLFOPER xtraHolidays);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_Holidays(double startDate, double endDate,
                                                       xll::XlfTextArgument holidayCalendar,
                                                       xll::LPXLFOPER xtraHolidays);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL
xlsched_Schedule(double effective_date, double first_regular_schedule_date, double last_regular_schedule_date,
                 double maturity, double rollDay, xll::XlfTextArgument tenor, xll::XlfTextArgument ctrl,
                 xll::XlfTextArgument holidayCalendar, xll::LPXLFOPER xtraHolidays);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_DCF(double period_start_date, double period_end_date,
                                                  xll::XlfTextArgument dayCountConvention);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_discountFactor(double spotRate, double period_start_date,
                                                             double period_end_date,
                                                             xll::XlfTextArgument dayCountConvention);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_forwardRate(double refDate, double spotRate1, double maturity1,
                                                          double spotRate2, double maturity2,
                                                          xll::XlfTextArgument dayCountConvention);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_Tenor2Month(xll::XlfTextArgument tenor);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_previousBusinessDay(double iDate,
                                                                  xll::XlfTextArgument holidayCalendar,
                                                                  xll::LPXLFOPER xtraHolidays);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_nextBusinessDay(double iDate,
                                                              xll::XlfTextArgument holidayCalendar,
                                                              xll::LPXLFOPER xtraHolidays);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_LastBusDayOfMonth(double iDate,
                                                                xll::XlfTextArgument holidayCalendar,
                                                                xll::LPXLFOPER xtraHolidays);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_AdjustToBusDay(double iDate, xll::XlfTextArgument ctrl,
                                                             xll::XlfTextArgument holidayCalendar,
                                                             xll::LPXLFOPER xtraHolidays);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_thirdWednesDayOfMonth(double iDate);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_df_curve(
    double today, xll::XlfTextArgument zeroRate_dayConv, xll::LPXLFOPER zeroRate_freq,
    xll::LPXLFOPER interpId, xll::LPXLFOPER extrapolId, xll::LPXLFOPER moneyMkt_df_mtrx,
    xll::LPXLFOPER future_df_Matrix, xll::XlfTextArgument swap_flttenor, xll::XlfTextArgument swap_fltdayConv,
    double rollDay_floatLeg, xll::XlfTextArgument swap_fixtenor, xll::XlfTextArgument swap_fixdayConv,
    double rollDay_fixedLeg, xll::LPXLFOPER swap_dfMtrx, xll::XlfTextArgument holidayCalendar,
    xll::XlfTextArgument ctrl, xll::LPXLFOPER xtraHolidays);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_ZeroRate(double today, double curveDate, double discountFactor,
                                                       xll::XlfTextArgument zeroRate_dayConv,
                                                       xll::LPXLFOPER zeroRate_freq);

XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_CurveDF(double today, xll::XlfTextArgument zeroRate_dayConv,
                                                      xll::LPXLFOPER zeroRate_freq, xll::LPXLFOPER interpId,
                                                      xll::LPXLFOPER extrapolId, xll::LPXLFOPER curve,
                                                      xll::LPXLFOPER dates);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_CurveZeroRate(
    double today, xll::XlfTextArgument zeroRate_dayConv, xll::LPXLFOPER zeroRate_freq,
    xll::LPXLFOPER interpId, xll::LPXLFOPER extrapolId, xll::LPXLFOPER curve, xll::LPXLFOPER dates);
XLL_EXPORT xll::LPXLFOPER XLL_STDCALL xlsched_CurveForwardRate(
    double today, xll::XlfTextArgument zeroRate_dayConv, xll::LPXLFOPER zeroRate_freq,
    xll::LPXLFOPER interpId, xll::LPXLFOPER extrapolId, xll::LPXLFOPER curve, xll::LPXLFOPER startDates,
    xll::LPXLFOPER endDates, xll::XlfTextArgument dayCountConvention);

} // extern "C"
