#include "calendars/CalendarFactory.h"

#include "calendars/JAPANCalendar.h"
#include "calendars/Messages.h"
#include "calendars/NYSECalendar.h"
#include "calendars/SINGAPORECalendar.h"
#include "calendars/SWITZERLANDCalendar.h"
#include "calendars/TARGETCalendar.h"
#include "calendars/UKCalendar.h"
#include "calendars/USCalendar.h"
#include "calendars/WeekdaysOnlyCalendar.h"

#include <array>
#include <utility>

std::vector<std::wstring> splitText(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> pieces;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == separator) {
            pieces.push_back(text.substr(begin, i - begin));
            begin = i + 1;
        }
    }
    pieces.push_back(text.substr(begin));
    return pieces;
}

namespace {

template <class Calendar>
std::unique_ptr<BusinessCalendar> make() {
    return std::make_unique<Calendar>();
}

struct CalendarName {
    const wchar_t* name;
    std::unique_ptr<BusinessCalendar> (*make)();
};

// Names are matched exactly: no case folding and no trimming of blanks.
constexpr std::array<CalendarName, 11> kCalendarNames{{
    {L"WEEKDAYS", make<WeekdaysOnlyCalendar>},
    {L"US", make<USCalendar>},
    {L"NYSE", make<NYSECalendar>},
    {L"NY", make<NYSECalendar>},
    {L"UK", make<UKCalendar>},
    {L"LONDON", make<UKCalendar>},
    {L"LON", make<UKCalendar>},
    {L"JAPAN", make<JAPANCalendar>},
    {L"TARGET", make<TARGETCalendar>},
    {L"SINGAPORE", make<SINGAPORECalendar>},
    {L"SWITZERLAND", make<SWITZERLANDCalendar>},
}};

std::unique_ptr<BusinessCalendar> makeCalendar(const std::wstring& name) {
    for (const CalendarName& entry : kCalendarNames)
        if (name == entry.name)
            return entry.make();
    throw messages::InvalidHolidayCalendar;
}

} // namespace

std::unique_ptr<MergedBusinessCalendar> CalendarFactory::createCalendar(std::wstring text) const {
    std::vector<std::unique_ptr<BusinessCalendar>> members;
    for (const std::wstring& name : splitText(text, L','))
        members.push_back(makeCalendar(name));
    return std::make_unique<MergedBusinessCalendar>(std::move(members));
}
