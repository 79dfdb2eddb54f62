#pragma once

namespace tavrin {

// Failure texts of the interpolation, spline and bootstrap code, thrown as plain texts.
namespace messages {
inline constexpr const char* BadSplineInput = "Bad X array input to Cubic Spline Routine";
inline constexpr const char* SolutionNotReached = "Solution to the rate cannot be reached. Check inputs.";

// Questions the pillar list cannot answer: fewer than two pillars, or a date outside their range.
inline constexpr const char* TooFewPillars = "The curve needs at least two pillars.";
inline constexpr const char* DateOutsideCurve = "Date is outside the curve's pillars.";
inline constexpr const char* TooManyPillars = "Too many curve pillars.";

// Preconditions of the bootstrap on its market data.
inline constexpr const char* NoMoneyMarketRows = "At least one money market discount factor is needed.";
inline constexpr const char* TooFewPillarsForFutures =
    "At least two money market discount factors are needed before the futures.";
inline constexpr const char* FuturesStartBeforeCurve =
    "A futures start date is before the first money market date.";
inline constexpr const char* ScheduleBeforeCurve =
    "A swap schedule date is before the first money market date.";
inline constexpr const char* SpotNotBeforeLastPillar =
    "The swap spot date must be before the last money market or futures date.";
inline constexpr const char* InvalidSwapTenor = "Swap leg tenors must be from 1 to 12 months.";
inline constexpr const char* InvalidSwapPeriods =
    "A swap must run a whole number of fixed periods, at least one.";
inline constexpr const char* SwapBeyondSchedule = "A swap maturity is beyond the 50-year schedule.";
inline constexpr const char* SwapMaturityNotIncreasing =
    "Swap maturities must increase and lie beyond the money market and futures dates.";
} // namespace messages

} // namespace tavrin
