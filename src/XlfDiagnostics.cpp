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
    // Composed first and handed to the stream's buffer in one piece, so that the line stays one unit; the
    // flush hands it on (the add-in's own buffer passes a whole line to the debugger output at once). The
    // buffer is written directly: the stream object's formatting state is shared by every thread, and calls
    // on several threads may report at the same time.
    std::streambuf* out = std::cerr.rdbuf();
    if (out == nullptr)
        return;
    out->sputn(report.data(), static_cast<std::streamsize>(report.size()));
    out->pubsync();
}

} // namespace xll
