#pragma once

namespace messages {
inline constexpr const char* InvalidHolidayCalendar = "Invalid holiday calendar !!!";
} // namespace messages
