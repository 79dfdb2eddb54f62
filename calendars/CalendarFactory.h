#pragma once

#include "calendars/MergedBusinessCalendar.h"

#include <memory>
#include <string>
#include <vector>

namespace tavrin {

// The pieces of text between separators; k separators give k + 1 pieces, empty ones included.
std::vector<std::wstring> splitText(const std::wstring& text, wchar_t separator);

// The first name in the factory's table of the calendar a name makes (aliases such as "NY" and "NYSE" give
// the same), or null when the name is no calendar's. The holiday file keys its amendments by it.
const wchar_t* calendarFamily(const std::wstring& name);

class CalendarFactory {
public:
    // Comma-separated calendar names, case-sensitive ("Invalid holiday calendar !!!" for any other piece).
    // With a holiday file installed, each member carries the file's amendments of its name; a file that
    // does not apply fails every text with its message.
    std::unique_ptr<MergedBusinessCalendar> createCalendar(std::wstring text) const;
};

} // namespace tavrin
