#pragma once

#include "calendars/BusinessCalendar.h"

#include <string>

namespace tavrin {

// How a date that is no business day is moved. Read from the one-letter ctrl text of the worksheet.
enum class BusinessDayConvention {
    Unadjusted,        // any other text: the date stays as it is
    Following,         // "s": the next business day
    ModifiedFollowing, // "m": the next business day, or the previous one when the next leaves the month
    Preceding,         // "p": the previous business day
};

// Either letter case; every other text (empty, "u", "f", longer texts) leaves dates unadjusted, so parsing
// never fails.
inline BusinessDayConvention parseBusinessDayConvention(const std::wstring& text) {
    if (equalsIgnoringCase(text, L"p"))
        return BusinessDayConvention::Preceding;
    if (equalsIgnoringCase(text, L"s"))
        return BusinessDayConvention::Following;
    if (equalsIgnoringCase(text, L"m"))
        return BusinessDayConvention::ModifiedFollowing;
    return BusinessDayConvention::Unadjusted;
}

} // namespace tavrin
