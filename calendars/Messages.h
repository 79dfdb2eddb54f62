#pragma once

namespace messages {
inline constexpr const char* InvalidHolidayCalendar = "Invalid holiday calendar !!!";
// A holiday listing goes down one column of the grid, which has 1,048,576 rows.
inline constexpr const char* TooManyHolidays = "Too many holidays to list: more than 1048576 rows.";
} // namespace messages
