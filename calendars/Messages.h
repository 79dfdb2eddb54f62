#pragma once

#include <string>

namespace tavrin {

namespace messages {
inline constexpr const char* InvalidHolidayCalendar = "Invalid holiday calendar !!!";
// A holiday listing goes down one column of the grid, which has 1,048,576 rows.
inline constexpr const char* TooManyHolidays = "Too many holidays to list: more than 1048576 rows.";
// Singapore's lunar and religious holidays exist only as the yearly lists of the calendar's table.
inline constexpr const char* SingaporeYearsNotCovered =
    "SGSI calendar covers the years 2000 to 2027 only: no Singapore holidays are known for this date.";

// The holiday file users keep. A file that does not apply makes every function taking a calendar answer
// one of these texts; the line and the reason come first, so that a host cutting long texts keeps them.
inline constexpr const char* HolidayFileNoHeader =
    "the first row must be the header calendar,date,action,note";
inline constexpr const char* HolidayFileTooFewFields = "a row needs calendar,date,action (and a note)";
inline constexpr const char* HolidayFileUnknownCalendar = "unknown calendar name";
inline constexpr const char* HolidayFileBadDate = "the date must be a valid YYYY-MM-DD from 1900-01-01 on";
inline constexpr const char* HolidayFileBadAction = "the action must be add or remove";
inline constexpr const char* HolidayFileNotUtf8 = "the row is not UTF-8 text";
inline constexpr const char* HolidayFileConflict = "the date is both added and removed for this calendar";
inline constexpr const char* HolidayFileTooLarge = "the file is larger than 16 MB";
inline constexpr const char* HolidayFileCannotRead = "the file cannot be read";
inline constexpr const char* HolidayFileFixAndReopen = "Fix the file and reopen the add-in.";

// "Holiday file error at line 4: unknown calendar name. File: C:\x\tavrin_holidays.csv. Fix ..."
inline std::string holidayFileRowMessage(const std::string& file, int line, const char* reason) {
    return "Holiday file error at line " + std::to_string(line) + ": " + reason + ". File: " + file + ". " +
           HolidayFileFixAndReopen;
}
// "Holiday file error: the file cannot be read. File: C:\x\tavrin_holidays.csv. Fix ..."
inline std::string holidayFileMessage(const std::string& file, const char* reason) {
    return std::string("Holiday file error: ") + reason + ". File: " + file + ". " + HolidayFileFixAndReopen;
}
} // namespace messages

} // namespace tavrin
