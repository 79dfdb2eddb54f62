#pragma once

namespace tavrin {

// Failure texts of reading a bootstrapped curve at any date, thrown as plain texts (or, for one date of a
// block, shown in that date's cell).
namespace messages {
// The curve block: the three columns the curve function returns, pillars in date order from today on.
inline constexpr const char* CurveBlockShape =
    "The curve must be the 3-column block of sched_df_curve: date, discount factor, zero rate.";
inline constexpr const char* CurveBlockNotNumbers = "Every cell of the curve block must be a number.";
inline constexpr const char* CurveDatesNotIncreasing = "The curve's pillar dates must increase strictly.";
inline constexpr const char* CurveBeforeToday = "The curve's first pillar is before today.";

// The methods and the quoting, checked before any date is read.
inline constexpr const char* UnknownInterpolationId = "Unknown interpolation id: use 1 to 5.";
inline constexpr const char* UnknownExtrapolationId = "Unknown extrapolation id: use 1 to 5.";
inline constexpr const char* InvalidZeroRateFrequency =
    "The zero-rate frequency must be 1 to 5 or a number of periods a year.";
inline constexpr const char* ForwardShapesDiffer =
    "startDates and endDates must have the same shape, or one of them be a single date.";

// One date the curve cannot answer.
inline constexpr const char* DateNotANumber = "A date must be a number.";
inline constexpr const char* DateBeforeCurve = "Date is before the curve's first pillar.";
inline constexpr const char* NoZeroRateAtToday = "A zero rate needs a date after today.";
// Zero or negative discount factors, or a logarithm of a zero rate at or below zero, leave no number.
inline constexpr const char* NoFiniteValue = "The curve has no finite value at this date.";
} // namespace messages

} // namespace tavrin
