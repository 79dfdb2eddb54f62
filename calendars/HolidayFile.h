#pragma once

// The holiday file users keep to bring any calendar up to date without a new release: rows of
// calendar,date,action,note that add closing days to a calendar or remove them from it. The add-in reads the
// file when it opens and installs the result here; every calendar made afterwards carries the amendments of
// its name. A file with a fault applies nothing, and every calendar request then fails with its message.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavrin {

namespace holiday_file {

// One calendar's amendments: day numbers, sorted, each once.
struct Amendments {
    std::vector<int64_t> added;
    std::vector<int64_t> removed;
};

struct Contents {
    // Empty when the file applies; otherwise the message every calendar request answers.
    std::string problem;
    // Amendments by the calendar's first name in the factory's table (aliases share them), sorted by name.
    std::vector<std::pair<std::wstring, Amendments>> calendars;

    const Amendments* amendmentsOf(const std::wstring& calendarName) const;
};

// Reads the text of a file (the name is only quoted in messages).
Contents parse(const std::string& fileName, std::string_view text);
// The contents of a file that exists but cannot be read.
Contents unreadable(const std::string& fileName, const char* reason);

// Installs the contents the calendars use from now on; `none` goes back to no file. Every installed version
// is kept for the life of the process, so that a calculation still running on another thread never sees
// its amendments released (the host reopens an add-in rarely, and the versions are small).
void install(Contents contents);
void installNone();
// The installed contents, or null when there is no file.
const Contents* installed();

} // namespace holiday_file

} // namespace tavrin
