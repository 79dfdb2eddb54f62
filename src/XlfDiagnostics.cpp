#include "src/XlfDiagnostics.h"

#include <iostream>
#include <string>

namespace xll {

void reportLine(const char* file, int line, std::string_view text) {
    std::string_view name = file == nullptr ? std::string_view() : std::string_view(file);
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos)
        name.remove_prefix(slash + 1);
    std::string report;
    report.reserve(name.size() + text.size() + 16);
    report.append(name).append("(").append(std::to_string(line)).append("): ").append(text).append("\n");
    // Composed first and written at once, so that the line reaches the stream as one unit; the flush hands it
    // on (to the debugger output once the add-in has redirected the stream).
    std::cerr << report << std::flush;
}

} // namespace xll
