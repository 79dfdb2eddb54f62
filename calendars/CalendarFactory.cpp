#include "calendars/CalendarFactory.h"

#include "calendars/AmendedCalendar.h"
#include "calendars/HolidayFile.h"
#include "calendars/JAPANCalendar.h"
#include "calendars/Messages.h"
#include "calendars/NYSECalendar.h"
#include "calendars/SINGAPORECalendar.h"
#include "calendars/SWITZERLANDCalendar.h"
#include "calendars/TARGETCalendar.h"
#include "calendars/UKCalendar.h"
#include "calendars/USCalendar.h"
#include "calendars/WeekdaysOnlyCalendar.h"
#include "calendars/maintained/CHZUCalendar.h"
#include "calendars/maintained/EUTACalendar.h"
#include "calendars/maintained/GBLOCalendar.h"
#include "calendars/maintained/JPTOCalendar.h"
#include "calendars/maintained/SGSICalendar.h"
#include "calendars/maintained/USGSCalendar.h"
#include "calendars/maintained/USNYCalendar.h"
#include "calendars/maintained/XNYSCalendar.h"

#include <array>
#include <string_view>
#include <utility>

namespace tavrin {

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
    std::wstring_view name; // its length is known, so most names are told apart without a character compare
    std::unique_ptr<BusinessCalendar> (*make)();
};

// Names are matched exactly: no case folding and no trimming of blanks. The eight fixed-rule calendars
// first, then the maintained calendars of today's markets, named by their business-centre codes.
constexpr std::array<CalendarName, 19> kCalendarNames{{
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
    {L"USNY", make<USNYCalendar>},
    {L"USGS", make<USGSCalendar>},
    {L"XNYS", make<XNYSCalendar>},
    {L"GBLO", make<GBLOCalendar>},
    {L"EUTA", make<EUTACalendar>},
    {L"CHZU", make<CHZUCalendar>},
    {L"JPTO", make<JPTOCalendar>},
    {L"SGSI", make<SGSICalendar>},
}};

// The length and the first letter tell nearly every pair of names apart without a call to compare them.
const CalendarName* findName(const std::wstring& name) {
    if (name.empty())
        return nullptr;
    for (const CalendarName& entry : kCalendarNames)
        if (name.size() == entry.name.size() && name.front() == entry.name.front() && name == entry.name)
            return &entry;
    return nullptr;
}

// The first name of the entry's calendar: the holiday file amends a calendar under any of its names.
const wchar_t* familyOf(const CalendarName& entry) {
    for (const CalendarName& first : kCalendarNames)
        if (first.make == entry.make)
            return first.name.data();
    return entry.name.data();
}

std::unique_ptr<BusinessCalendar> makeCalendar(const std::wstring& name, const holiday_file::Contents* file) {
    const CalendarName* entry = findName(name);
    if (entry == nullptr)
        throw messages::InvalidHolidayCalendar;
    std::unique_ptr<BusinessCalendar> calendar = entry->make();
    if (file != nullptr)
        if (const holiday_file::Amendments* amendments = file->amendmentsOf(familyOf(*entry)))
            return std::make_unique<AmendedCalendar>(std::move(calendar), *amendments);
    return calendar;
}

} // namespace

const wchar_t* calendarFamily(const std::wstring& name) {
    const CalendarName* entry = findName(name);
    return entry == nullptr ? nullptr : familyOf(*entry);
}

std::unique_ptr<MergedBusinessCalendar> CalendarFactory::createCalendar(std::wstring text) const {
    const holiday_file::Contents* file = holiday_file::installed();
    if (file != nullptr && !file->problem.empty())
        throw file->problem;
    std::vector<std::unique_ptr<BusinessCalendar>> members;
    for (const std::wstring& name : splitText(text, L','))
        members.push_back(makeCalendar(name, file));
    return std::make_unique<MergedBusinessCalendar>(std::move(members));
}

} // namespace tavrin
