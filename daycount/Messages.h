#pragma once

namespace tavrin {

// Failure texts of the day-count and schedule layer, thrown as plain texts like those of the date layer.
namespace messages {
inline constexpr const char* PeriodEndBeforeStart =
    "Period start date should be less than the period end date!!!";
inline constexpr const char* InvalidDcfConvention = "Invalid DCF convention.";

inline constexpr const char* FirstRegularBeforeEffective =
    "The effective date should be less than first regular date.";
inline constexpr const char* LastRegularBeforeFirstRegular =
    "The first regular date should be less than the last regular date.";
inline constexpr const char* MaturityBeforeLastRegular =
    "The Maturity date should be greater than last regular date.";
inline constexpr const char* RollDayMismatch = " Roll day does not match for first regular payment date. ";
inline constexpr const char* InvalidRollDay = "Invalid roll day !!!";
inline constexpr const char* InvalidScheduleInputs = "Invalid schedule inputs !!!";
// A schedule is returned as one worksheet column, which holds at most 1,048,576 rows.
inline constexpr const char* ScheduleTooLong = "The schedule would have more than 1048576 dates.";
} // namespace messages

} // namespace tavrin
