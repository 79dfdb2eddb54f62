#include "calendars/HolidayFile.h"

#include "calendars/CalendarFactory.h"
#include "calendars/Messages.h"
#include "dates/SerialDate.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>

namespace tavrin {

namespace holiday_file {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A field as a spreadsheet program writes it: blanks around it and one pair of quotes are not part of it.
std::string_view field(std::string_view text) {
    text = trimmed(text);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
               return lower(x) == lower(y);
           });
}

bool isUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80                    ? 1
                                   : lead >= 0xC2 && lead <= 0xDF ? 2
                                   : lead >= 0xE0 && lead <= 0xEF ? 3
                                   : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                                  : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        const auto second = static_cast<unsigned char>(length > 1 ? text[i + 1] : 0);
        // Overlong forms, UTF-16 surrogates and code points beyond U+10FFFF.
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
            (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
            return false;
        i += length;
    }
    return true;
}

// YYYY-MM-DD of a real date from 1900 on, as a day number; -1 when it is none.
int64_t dayOf(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return -1;
    int32_t parts[3] = {0, 0, 0};
    const std::size_t starts[3] = {0, 5, 8};
    const std::size_t lengths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p)
        for (std::size_t i = starts[p]; i < starts[p] + lengths[p]; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            parts[p] = parts[p] * 10 + (text[i] - '0');
        }
    const auto [year, month, day] = parts;
    if (year < 1900 || month < 1 || month > 12 || day < 1)
        return -1;
    // The real calendar's month lengths: 29 February exists only in real leap years (our day numbers
    // would accept 1900-02-29, which no user means).
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    const int32_t length = month == 2 ? (leap ? 29 : 28) : daysInMonth(month, year);
    if (day > length)
        return -1;
    return dayNumber64(day, month, year);
}

void sortOnce(std::vector<int64_t>& days) {
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
}

struct Row {
    std::wstring calendar;
    int64_t day;
    bool add;
    int line;
};

} // namespace

const Amendments* Contents::amendmentsOf(const std::wstring& calendarName) const {
    const auto at =
        std::lower_bound(calendars.begin(), calendars.end(), calendarName,
                         [](const auto& entry, const std::wstring& name) { return entry.first < name; });
    return at != calendars.end() && at->first == calendarName ? &at->second : nullptr;
}

Contents unreadable(const std::string& fileName, const char* reason) {
    Contents contents;
    contents.problem = messages::holidayFileMessage(fileName, reason);
    return contents;
}

Contents parse(const std::string& fileName, std::string_view text) {
    const auto fail = [&](int line, const char* reason) {
        Contents contents;
        contents.problem = messages::holidayFileRowMessage(fileName, line, reason);
        return contents;
    };
    if (text.substr(0, 3) == "\xEF\xBB\xBF") // a byte-order mark some editors write
        text.remove_prefix(3);
    std::vector<Row> rows;
    bool headerSeen = false;
    int line = 0;
    while (!text.empty()) {
        ++line;
        const std::size_t end = text.find('\n');
        std::string_view row = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!row.empty() && row.back() == '\r')
            row.remove_suffix(1);
        if (!isUtf8(row))
            return fail(line, messages::HolidayFileNotUtf8);
        if (trimmed(row).empty() || trimmed(row).front() == '#')
            continue;
        // The note is everything after the third comma, commas included.
        std::string_view fields[3];
        std::size_t begin = 0;
        for (int f = 0; f < 3; ++f) {
            const std::size_t comma = row.find(',', begin);
            if (comma == std::string_view::npos && f < 2)
                return fail(line,
                            headerSeen ? messages::HolidayFileTooFewFields : messages::HolidayFileNoHeader);
            fields[f] = field(row.substr(begin, comma == std::string_view::npos ? row.npos : comma - begin));
            begin = comma == std::string_view::npos ? row.size() : comma + 1;
        }
        if (!headerSeen) {
            const std::string_view note = field(row.substr(std::min(begin, row.size())));
            if (!equalsIgnoringCase(fields[0], "calendar") || !equalsIgnoringCase(fields[1], "date") ||
                !equalsIgnoringCase(fields[2], "action") ||
                !(note.empty() || equalsIgnoringCase(note, "note")))
                return fail(line, messages::HolidayFileNoHeader);
            headerSeen = true;
            continue;
        }
        // Calendar names are plain ASCII; anything else names no calendar.
        const std::wstring name(fields[0].begin(), fields[0].end());
        const wchar_t* family = calendarFamily(name);
        if (family == nullptr)
            return fail(line, messages::HolidayFileUnknownCalendar);
        const int64_t day = dayOf(fields[1]);
        if (day < 0)
            return fail(line, messages::HolidayFileBadDate);
        const bool add = equalsIgnoringCase(fields[2], "add");
        if (!add && !equalsIgnoringCase(fields[2], "remove"))
            return fail(line, messages::HolidayFileBadAction);
        rows.push_back({family, day, add, line});
    }

    std::map<std::wstring, Amendments> byCalendar;
    for (const Row& row : rows)
        (row.add ? byCalendar[row.calendar].added : byCalendar[row.calendar].removed).push_back(row.day);
    for (auto& [name, amendments] : byCalendar) {
        sortOnce(amendments.added);
        sortOnce(amendments.removed);
    }
    // A day both added and removed has no meaning: the later of the two rows is the fault.
    for (const Row& row : rows) {
        const Amendments& a = byCalendar[row.calendar];
        if (std::binary_search(a.added.begin(), a.added.end(), row.day) &&
            std::binary_search(a.removed.begin(), a.removed.end(), row.day)) {
            int later = row.line;
            for (const Row& other : rows)
                if (other.calendar == row.calendar && other.day == row.day && other.add != row.add)
                    later = std::max(later, other.line);
            return fail(later, messages::HolidayFileConflict);
        }
    }
    Contents contents;
    contents.calendars.assign(std::make_move_iterator(byCalendar.begin()),
                              std::make_move_iterator(byCalendar.end()));
    return contents;
}

namespace {

std::mutex installing;
std::atomic<const Contents*> current{nullptr};

std::vector<std::unique_ptr<const Contents>>& versions() {
    static std::vector<std::unique_ptr<const Contents>> kept;
    return kept;
}

} // namespace

void install(Contents contents) {
    const std::lock_guard<std::mutex> lock(installing);
    versions().push_back(std::make_unique<const Contents>(std::move(contents)));
    current.store(versions().back().get(), std::memory_order_release);
}

void installNone() {
    current.store(nullptr, std::memory_order_release);
}

const Contents* installed() {
    return current.load(std::memory_order_acquire);
}

} // namespace holiday_file

} // namespace tavrin
