// Reads the users' holiday file each time the host opens the add-in: the file named by the environment
// variable TAVRIN_HOLIDAYS, or else tavrin_holidays.csv in the add-in's own folder. No file changes nothing.
// A file that cannot be read or has a bad row is reported on the diagnostic stream, and every function taking
// a calendar then answers its message until the file is fixed and the add-in reopened.

#include "calendars/HolidayFile.h"
#include "calendars/Messages.h"
#include "src/XlfDiagnostics.h"
#include "src/XlfOpenActions.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

using namespace tavrin;

namespace {

constexpr const char* kVariable = "TAVRIN_HOLIDAYS";
constexpr const char* kFileName = "tavrin_holidays.csv";
// A holiday file is a few hundred rows; a bound keeps a wrong file from taking the host's memory.
constexpr std::uintmax_t kMaxBytes = 16u << 20;

// tavrin_holidays.csv beside the add-in, or empty when the add-in's file is not known.
std::string fileBesideAddIn() {
    const std::string folder = xll::addInFolder();
    return folder.empty() ? std::string() : folder + kFileName;
}

holiday_file::Contents read(const std::string& file) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error)
        return holiday_file::unreadable(file, messages::HolidayFileCannotRead);
    if (size > kMaxBytes)
        return holiday_file::unreadable(file, messages::HolidayFileTooLarge);
    std::ifstream stream(file, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    if (!stream && !stream.eof())
        return holiday_file::unreadable(file, messages::HolidayFileCannotRead);
    return holiday_file::parse(file, text);
}

void loadHolidayFile() {
    try {
        std::string file = xll::environmentValue(kVariable);
        if (file.empty()) {
            file = fileBesideAddIn();
            std::error_code error;
            if (file.empty() || !std::filesystem::exists(file, error)) {
                holiday_file::installNone();
                return;
            }
        }
        holiday_file::Contents contents = read(file);
        if (!contents.problem.empty())
            XLL_REPORT(contents.problem);
        holiday_file::install(std::move(contents));
    } catch (...) {
        // Out of memory while reading: the calendars stay as they were, and the add-in opens.
    }
}

const xll::XlfOpenAction loading(&loadHolidayFile);

} // namespace
