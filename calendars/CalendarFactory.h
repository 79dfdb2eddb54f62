#pragma once

#include "calendars/MergedBusinessCalendar.h"

#include <memory>
#include <string>
#include <vector>

// The pieces of text between separators; k separators give k + 1 pieces, empty ones included.
std::vector<std::wstring> splitText(const std::wstring& text, wchar_t separator);

class CalendarFactory {
public:
    // Comma-separated calendar names, case-sensitive ("Invalid holiday calendar !!!" for any other piece).
    std::unique_ptr<MergedBusinessCalendar> createCalendar(std::wstring text) const;
};
